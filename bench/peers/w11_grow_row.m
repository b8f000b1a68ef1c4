% W11: growing a row one element at a time, 10^5 times.
r = [];
for i = 1:100000
  r(end + 1) = i;
end
printf("%.10g\n", sum(r));
