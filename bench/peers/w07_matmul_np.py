# W7: a 1000x1000 matrix product of a[i,j] = sin(i+2j) and b[i,j] = cos(3i-j)
# (1-based i, j); the check is the sum of the squared elements of the product.
import numpy as np

n = 1000
i = np.arange(1, n + 1, dtype=float)[:, None]
j = np.arange(1, n + 1, dtype=float)[None, :]
a = np.sin(i + 2 * j)
b = np.cos(3 * i - j)
p = a @ b
print(repr(float(np.sum(p * p))))
