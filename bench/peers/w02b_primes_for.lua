-- W2b: W2 with a for loop over the divisors up to sqrt(n).
local count = 0
for n = 2, 199999 do
  local isp = 1
  for d = 2, math.floor(math.sqrt(n)) do
    if n % d == 0 then
      isp = 0
      break
    end
  end
  count = count + isp
end
print(count)
