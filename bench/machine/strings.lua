-- String building, slicing and comparison.
local text = ""
for i = 0, 20000 - 1 do
    text = text .. "ab"
end
local words = 0
local word = ""
for i = 0, 100000 - 1 do
    word = "w" .. "x" .. "yz"
    if word == "wxyz" then words = words + 1 end
end
local piece = ""
for i = 0, 20000 - 1 do
    piece = string.sub(text, i + 1, i + 8)
end
print(string.format("%f", #text))
print(string.format("%f", words))
print(piece)
