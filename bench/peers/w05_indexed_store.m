% W5: x(i) = i*i into a preallocated row of 10^6 elements.
n = 1000000;
x = zeros(1, n);
for i = 1:n
  x(i) = i * i;
end
printf("%.10g\n", sum(x));
