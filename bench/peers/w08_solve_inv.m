% W8: solve and inv of a 1000x1000 diagonally dominant system whose solution
% is all ones; the check is 1 when both residuals are tiny.
n = 1000;
[j, i] = meshgrid(1:n, 1:n);
a = sin(i + 2 * j) + n * eye(n);
b = a * ones(n, 1);
x = a \ b;
ai = inv(a);
e1 = max(abs(x - 1));
e2 = max(max(abs(ai * a - eye(n))));
printf("%d\n", e1 < 1e-9 && e2 < 1e-9);
