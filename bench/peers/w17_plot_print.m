% W17: a curve of 10^6 points, printed as an SVG file.
x = linspace(0, 100, 1000000);
h = plot(x, sin(x) + 0.5 * sin(3.7 * x), "b");
print("-dsvg", "w17.svg");
disp(2)
