# W14: elementwise arithmetic only: (3x^2 - 2x + 1)/x on 10^7 elements, five times.
import numpy as np

x = np.linspace(1, 2, 10000000)
s = 0.0
for r in range(5):
    y = 3 * x * x - 2 * x + 1
    s += np.sum(y / x)
print(repr(float(s)))
