-- A sieve of primes below 1,000,000, three times: table writes in while loops.
local count = 0
for _ = 1, 3 do
    local flags = {}
    for k = 1, 1000000 do flags[k] = true end
    count = 0
    local i = 2
    while i < 1000000 do
        if flags[i + 1] then
            count = count + 1
            local j = i * i
            while j < 1000000 do
                flags[j + 1] = false
                j = j + i
            end
        end
        i = i + 1
    end
end
print(string.format("%f", count))
