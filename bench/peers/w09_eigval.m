% W9: eigenvalues of a 500x500 symmetric matrix; the check is the sum of their
% squares.
n = 500;
[j, i] = meshgrid(1:n, 1:n);
m = sin(i + 2 * j);
s = m + m';
ev = eig(s);
printf("%.10g\n", sum(ev .^ 2));
