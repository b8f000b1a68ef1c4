-- W5: x[i] = i*i into a preallocated array of 10^6 elements.
local n = 1000000
local x = {}
for i = 1, n do x[i] = 0.0 end
for i = 1, n do
  x[i] = i * i
end
local s = 0.0
for i = 1, n do s = s + x[i] end
print(string.format("%.10g", s))
