% W1: a scalar while loop, sum of 1/k^2 for k = 1 .. 10^7.
s = 0;
k = 1;
while k <= 10000000
  s = s + 1 / (k * k);
  k = k + 1;
end
printf("%.10g\n", s);
