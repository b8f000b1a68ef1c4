-- W1d: W1 as a for loop with a power.
local s = 0.0
for k = 1, 1e7 do
  s = s + 1 / k ^ 2
end
print(string.format("%.10g", s))
