# W3: a quick function called 10^6 times from a loop.
def f(x):
    return x * x + 1


def main():
    s = 0.0
    for i in range(1, 1000001):
        s = s + f(i)
    print(repr(s))


main()
