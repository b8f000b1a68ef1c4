# W5c: W5 with a while loop.
def main():
    n = 1000000
    x = [0.0] * n
    i = 1
    while i <= n:
        x[i - 1] = i * i
        i += 1
    print(repr(float(sum(x))))


main()
