% W2: primes below 2*10^5 by trial division, nested loops with break.
count = 0;
for n = 2:199999
  isp = 1;
  d = 2;
  while d * d <= n
    if mod(n, d) == 0
      isp = 0;
      break;
    end
    d = d + 1;
  end
  count = count + isp;
end
printf("%d\n", count);
