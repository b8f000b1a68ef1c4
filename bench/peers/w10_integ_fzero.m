% W10: a quadrature and a root search, each called 1000 times.
h = @(x) x .* x - 2;
t = 0;
r = 0;
for i = 1:1000
  t = t + quad(h, 0, 1);
  r = r + fzero(h, 1);
end
printf("%.10g\n", t + r);
