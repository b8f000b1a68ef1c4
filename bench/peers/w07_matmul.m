% W7: a 1000x1000 matrix product of a(i,j) = sin(i+2j) and b(i,j) = cos(3i-j);
% the check is the sum of the squared elements of the product.
n = 1000;
[j, i] = meshgrid(1:n, 1:n);
a = sin(i + 2 * j);
b = cos(3 * i - j);
p = a * b;
printf("%.10g\n", sum(p(:) .^ 2));
