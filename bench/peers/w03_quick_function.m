% W3: a quick function called 10^6 times from a loop.
f = @(x) x * x + 1;
s = 0;
for i = 1:1000000
  s = s + f(i);
end
printf("%.10g\n", s);
