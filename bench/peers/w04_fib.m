% W4: recursive fib(24), a function with if/else.
1;
function r = fib(n)
  if n < 2
    r = n;
  else
    r = fib(n - 1) + fib(n - 2);
  end
end
printf("%d\n", fib(24));
