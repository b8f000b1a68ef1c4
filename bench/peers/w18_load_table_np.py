# W18 in NumPy: loadtxt of the table below its header line.
import numpy

m = numpy.loadtxt("table.txt", skiprows=1)
print(repr(m.sum()))
