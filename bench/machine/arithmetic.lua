-- Arithmetic in counting and conditional loops.
local sum = 0
for i = 0, 3000000 - 1 do
    sum = sum + i * 0.5 - i % 3
end
local n = 0
local product = 1
while n < 1500000 do
    product = product * 1.000001
    n = n + 1
end
local k = 0
for _ = 1, 1500000 do
    k = k + 2
end
print(string.format("%f", sum))
print(string.format("%f", product))
print(string.format("%f", k))
