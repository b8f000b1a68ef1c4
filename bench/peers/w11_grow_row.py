# W11: growing a list one element at a time, 10^5 times.
def main():
    r = []
    for i in range(1, 100001):
        r.append(i)
    print(sum(r))


main()
