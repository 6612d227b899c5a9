-- Bullet patterns: sixteen emitters, each a coroutine that turns a ring of 32 bullets every frame,
-- with their angles from cos and sin (in degrees, with the engine's single-precision pi) and their
-- positions kept in tables, for 2,000 frames.
local PI = 3.1415927410125732
local sums = {}
for e = 1, 16 do sums[e] = 0 end
local emitters = {}
for e = 0, 15 do
    emitters[e + 1] = coroutine.wrap(function()
        local xs, ys = {}, {}
        for i = 1, 32 do
            xs[#xs + 1] = 0
            ys[#ys + 1] = 0
        end
        local spin = e * 7
        for _ = 1, 2000 do
            for i = 0, 31 do
                local angle = spin + i * 11.25
                xs[i + 1] = xs[i + 1] + math.cos(angle * PI / 180.0) * (1 + i * 0.125)
                ys[i + 1] = ys[i + 1] + math.sin(angle * PI / 180.0) * (1 + i * 0.125)
            end
            spin = spin + 3
            coroutine.yield()
        end
        local sum = 0
        for i = 1, 32 do sum = sum + xs[i] + ys[i] end
        sums[e + 1] = sum
    end)
    emitters[e + 1]()  -- a new task runs at once, up to its first yield
end
for _ = 1, 1999 do
    for e = 1, 16 do emitters[e]() end
end
for e = 1, 16 do emitters[e]() end
local total = 0
for e = 1, 16 do total = total + sums[e] end
print(string.format("%f", sums[1]))
print(string.format("%f", total))
