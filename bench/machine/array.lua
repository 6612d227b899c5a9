-- Appending to an array, then reading and writing its elements by index.
local a = {}
for i = 0, 200000 - 1 do
    a[#a + 1] = i
end
local b = {}
for i = 0, 200000 - 1 do
    b[#b + 1] = i * 2
end
local sum = 0
for _ = 1, 3 do
    for i = 0, 200000 - 1 do
        sum = sum + a[i + 1] + b[i + 1]
    end
end
for i = 0, 200000 - 1 do
    a[i + 1] = b[i + 1] - a[i + 1]
end
print(string.format("%f", sum))
print(string.format("%f", a[200000]))
print(string.format("%f", #a + #b))
