-- Task switching: ten coroutines each advance one step per round of the scheduler.
local steps = 0
local workers = {}
for i = 1, 10 do
    workers[i] = coroutine.wrap(function()
        while true do
            steps = steps + 1
            coroutine.yield()
        end
    end)
    workers[i]()  -- a new task runs at once, up to its first yield
end
for _ = 1, 100000 do
    for i = 1, 10 do workers[i]() end
end
print(string.format("%f", steps))
