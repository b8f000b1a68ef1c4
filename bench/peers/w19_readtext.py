# W19 in CPython: readlines of a 100 MB text file.
with open("lines.txt") as f:
    lines = f.readlines()
print(len(lines))
