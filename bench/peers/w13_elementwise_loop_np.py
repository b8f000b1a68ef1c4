# W13: five repetitions of y = sin(x)^2 + x*x; s += sum(y) on 10^7 elements.
import numpy as np

x = np.linspace(0, 1, 10000000)
s = 0.0
for r in range(5):
    y = np.sin(x) ** 2 + x * x
    s += np.sum(y)
print(repr(float(s)))
