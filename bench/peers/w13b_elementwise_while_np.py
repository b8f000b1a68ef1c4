# W13b: W13 as a while loop, with the square and the product swapped.
import numpy as np

x = np.linspace(0, 1, 10000000)
s = 0.0
r = 0
while r < 5:
    s = s + np.sum(np.sin(x) * np.sin(x) + x ** 2)
    r += 1
print(repr(float(s)))
