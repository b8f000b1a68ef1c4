# W1b: W1 with op-assignments and a power.
def main():
    s = 0.0
    k = 1
    while k <= 10000000:
        s += 1 / k ** 2
        k += 1
    print(repr(s))


main()
