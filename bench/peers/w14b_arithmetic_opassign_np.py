# W14b: W14 written with in-place operators on a copy.
import numpy as np

x = np.linspace(1, 2, 10000000)
s = 0.0
for r in range(5):
    y = x.copy()
    y *= 3
    y -= 2
    y += 1 / x
    s += np.sum(y)
print(repr(float(s)))
