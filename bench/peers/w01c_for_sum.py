# W1c: W1 as a for loop.
def main():
    s = 0.0
    for k in range(1, 10000001):
        s = s + 1 / (k * k)
    print(repr(s))


main()
