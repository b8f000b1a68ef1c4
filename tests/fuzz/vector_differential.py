#!/usr/bin/env python3
"""Random elementwise expressions, each evaluated on 300 elements (the block
program) and on three slices of 100 (the tree), run by hand:

    tests/fuzz/vector_differential.py [SEED [COUNT]] | build/vemlor --run /dev/stdin

The script prints how many expressions differ in any element, then their
numbers; anything but "0" and "[]" is a fault of the block program.
"""
import random
import sys

FUNCTIONS = ["sin", "cos", "exp", "log", "sqrt", "abs", "atan", "tanh", "erf", "floor", "asinh"]
LEAVES = ["t", "t", "u", "k", "2", "3.5", "0.5", "(-1.25)", "pi"]


def expression(depth):
    r = random.random()
    if depth <= 0 or r < 0.25:
        return random.choice(LEAVES)
    if r < 0.4:
        return "%s(%s)" % (random.choice(FUNCTIONS), expression(depth - 1))
    if r < 0.45:
        return "(-(%s))" % expression(depth - 1)
    op = random.choice("+-*/^+*")
    a, b = expression(depth - 1), expression(depth - 1)
    if op == "^":
        b = random.choice(["2", "3", "0.5", "(-1)", "t", "1.5", "(%s)" % b])
    return ("(%s) %s (%s)" if random.random() < 0.5 else "%s %s %s") % (a, op, b)


def main():
    random.seed(int(sys.argv[1]) if len(sys.argv) > 1 else 1)
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    print("k = 1:300; x = linspace(0.1, 3, 300); y = linspace(-2, 1, 300);")
    print("bad = 0; which = [];")
    slices = ", ".join("F(x[%d:%d], y[%d:%d], k[%d:%d])" % ((s, s + 99) * 3) for s in (1, 101, 201))
    for i in range(count):
        # + 0*t keeps a constant expression a vector of the same length.
        print("F(t, u, k) := %s + 0*t" % expression(5))
        print("a = F(x, y, k); b = [%s];" % slices)
        print("if sum(a == b) + sum(isnan(a) * isnan(b)) ~= 300 { bad += 1; which ,= %d }" % i)
    print("bad;;")
    print("which;;")


if __name__ == "__main__":
    main()
