-- W1: a scalar while loop, sum of 1/k^2 for k = 1 .. 10^7.
local s, k = 0.0, 1
while k <= 10000000 do
  s = s + 1 / (k * k)
  k = k + 1
end
print(string.format("%.10g", s))
