-- W2: primes below 2*10^5 by trial division, nested loops with break.
local count = 0
for n = 2, 199999 do
  local isp = 1
  local d = 2
  while d * d <= n do
    if n % d == 0 then
      isp = 0
      break
    end
    d = d + 1
  end
  count = count + isp
end
print(count)
