# W2b: W2 with a for loop over the divisors up to sqrt(n).
import math


def main():
    count = 0
    for n in range(2, 200000):
        isp = 1
        for d in range(2, math.isqrt(n) + 1):
            if n % d == 0:
                isp = 0
                break
        count += isp
    print(count)


main()
