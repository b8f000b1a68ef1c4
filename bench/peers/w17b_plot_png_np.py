# W17b: a curve of 10^6 points, saved as a PNG picture (matplotlib, Agg).
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

x = np.arange(1000000) / 10000
lines = plt.plot(x, np.sin(x) + 0.5 * np.sin(3.7 * x))
plt.savefig("w17b.png")
print(len(lines) + 1)
