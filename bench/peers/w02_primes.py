# W2: primes below 2*10^5 by trial division, nested loops with break.
def main():
    count = 0
    for n in range(2, 200000):
        isp = 1
        d = 2
        while d * d <= n:
            if n % d == 0:
                isp = 0
                break
            d = d + 1
        count = count + isp
    print(count)


main()
