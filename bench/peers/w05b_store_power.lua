-- W5b: W5 spelled x[i] = i^2.
local n = 1000000
local x = {}
for i = 1, n do x[i] = 0.0 end
for i = 1, n do
  x[i] = i ^ 2
end
local s = 0.0
for i = 1, n do s = s + x[i] end
print(string.format("%.10g", s))
