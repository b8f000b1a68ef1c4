# W6: elementwise sin(x)^2 + x*x and its sum on 10^7 elements.
import numpy as np

x = np.linspace(0, 1, 10000000)
y = np.sin(x) ** 2 + x * x
print(repr(float(np.sum(y))))
