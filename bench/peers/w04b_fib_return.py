# W4b: recursive fib(24) with an early return and several statements.
def fib(n):
    if n < 2:
        return n
    a = fib(n - 1)
    b = fib(n - 2)
    return a + b


print(fib(24))
