-- W3: a quick function called 10^6 times from a loop.
local function f(x) return x * x + 1 end
local s = 0.0
for i = 1, 1000000 do
  s = s + f(i)
end
print(string.format("%.10g", s))
