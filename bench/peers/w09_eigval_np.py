# W9: eigenvalues of a 500x500 symmetric matrix; the check is the sum of their
# squares.
import numpy as np

n = 500
i = np.arange(1, n + 1, dtype=float)[:, None]
j = np.arange(1, n + 1, dtype=float)[None, :]
m = np.sin(i + 2 * j)
s = m + m.T
ev = np.linalg.eigvalsh(s)
print(repr(float(np.sum(ev * ev))))
