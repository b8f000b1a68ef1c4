# W17: a curve of 10^6 points, saved as an SVG file (matplotlib, Agg).
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

x = np.linspace(0, 100, 1000000)
lines = plt.plot(x, np.sin(x) + 0.5 * np.sin(3.7 * x), "b")
plt.savefig("w17.svg")
print(len(lines) + 1)
