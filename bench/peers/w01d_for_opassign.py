# W1d: W1 as a for loop with an op-assignment and a power.
def main():
    s = 0.0
    for k in range(1, 10000001):
        s += 1 / k ** 2
    print(repr(s))


main()
