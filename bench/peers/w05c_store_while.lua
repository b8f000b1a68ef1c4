-- W5c: W5 with a while loop.
local n = 1000000
local x = {}
for i = 1, n do x[i] = 0.0 end
local i = 1
while i <= n do
  x[i] = i * i
  i = i + 1
end
local s = 0.0
for j = 1, n do s = s + x[j] end
print(string.format("%.10g", s))
