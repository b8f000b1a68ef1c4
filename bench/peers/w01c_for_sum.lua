-- W1c: W1 as a for loop.
local s = 0.0
for k = 1, 10000000 do
  s = s + 1 / (k * k)
end
print(string.format("%.10g", s))
