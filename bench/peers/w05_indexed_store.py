# W5: x[i] = i*i into a preallocated list of 10^6 elements.
def main():
    n = 1000000
    x = [0.0] * n
    for i in range(1, n + 1):
        x[i - 1] = i * i
    print(repr(float(sum(x))))


main()
