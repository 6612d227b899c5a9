-- Recursive calls: fib(27), three times.
local function Fib(n)
    if n < 2 then return n end
    return Fib(n - 1) + Fib(n - 2)
end
for _ = 1, 3 do
    print(string.format("%f", Fib(27)))
end
