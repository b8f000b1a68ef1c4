% W6: elementwise sin(x)^2 + x*x and its sum on 10^7 elements.
x = linspace(0, 1, 10000000);
y = sin(x) .^ 2 + x .* x;
printf("%.10g\n", sum(y));
