-- W11: growing an array one element at a time, 10^5 times.
local r = {}
for i = 1, 100000 do
  r[#r + 1] = i
end
local s = 0
for i = 1, #r do s = s + r[i] end
print(string.format("%.10g", s))
