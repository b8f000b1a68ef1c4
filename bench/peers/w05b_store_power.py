# W5b: W5 spelled x[i] = i**2.
def main():
    n = 1000000
    x = [0.0] * n
    for i in range(1, n + 1):
        x[i - 1] = i ** 2
    print(repr(float(sum(x))))


main()
