-- W1b: W1 with a power: s = s + 1/k^2.
local s, k = 0.0, 1
while k <= 10000000 do
  s = s + 1 / k ^ 2
  k = k + 1
end
print(string.format("%.10g", s))
