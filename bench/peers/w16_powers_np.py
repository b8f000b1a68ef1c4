# W16: powers with a scalar exponent on 10^7 elements, five times.
import numpy as np

x = np.linspace(1, 2, 10000000)
s = 0.0
for r in range(5):
    y = x ** 3 + x ** 0.5
    s += np.sum(y)
print(repr(float(s)))
