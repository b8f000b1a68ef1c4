# W8: solve and inv of a 1000x1000 diagonally dominant system whose solution
# is all ones; the check is 1 when both residuals are tiny.
import numpy as np

n = 1000
i = np.arange(1, n + 1, dtype=float)[:, None]
j = np.arange(1, n + 1, dtype=float)[None, :]
a = np.sin(i + 2 * j) + n * np.eye(n)
b = a @ np.ones((n, 1))
x = np.linalg.solve(a, b)
ai = np.linalg.inv(a)
e1 = np.max(np.abs(x - 1))
e2 = np.max(np.abs(ai @ a - np.eye(n)))
print(1 if (e1 < 1e-9 and e2 < 1e-9) else 0)
