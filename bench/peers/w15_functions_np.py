# W15: four elementary functions of 10^7 elements, five times.
import numpy as np

x = np.linspace(1, 2, 10000000)
s = 0.0
for r in range(5):
    y = np.exp(-x) + np.log(x) + np.sqrt(x) + np.cos(x)
    s += np.sum(y)
print(repr(float(s)))
