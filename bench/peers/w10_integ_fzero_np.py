# W10: a quadrature and a root search, each called 1000 times on a Python
# function (SciPy's quad and newton stand in for integ and fzero).
from scipy import integrate, optimize


def h(x):
    return x * x - 2


t = 0.0
r = 0.0
for _ in range(1000):
    t = t + integrate.quad(h, 0, 1)[0]
    r = r + optimize.newton(h, 1.0)
print(repr(t + r))
