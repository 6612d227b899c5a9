#include "app/frame_loop.h"

#include "base/frame_stats.h"
#include "base/input_state.h"
#include "base/platform.h"
#include "ecs/entity_system.h"
#include "ecs/system_callbacks.h"
#include "host/common_data.h"
#include "host/random.h"
#include "host/script_manager.h"
#include "host/system_data.h"

FrameLoopState g_frameLoop;

void StartGame() {
    // Seconds of the platform's clock: the headless platform's virtual clock makes runs repeat.
    InitRandom(static_cast<uint32_t>(LocalTimeSeconds()));
    InstallScriptHooks();
    InitEntitySystem();
    InitCommonData();
    const int slot = CreateScript(kMainScriptPath);
    StartScriptSlot(slot);
    Platform& platform = GetPlatform();
    g_frameLoop.counterFrequency = platform.QueryPerformanceFrequency();
    platform.TimeBeginPeriod(1);
}

void RunFrame() {
    Platform& platform = GetPlatform();
    // Budgets of 17, 16, 16 ms average 60 frames per second.
    const uint32_t start = platform.TimeGetTime();
    const uint32_t deadline = start + (g_frameLoop.frameCounter % 3 == 0 ? 17 : 16);
    const int64_t workStart = platform.QueryPerformanceCounter();

    // The presentation-mode switch on F11 joins here with the renderer.
    UpdateScripts();
    RunUpdateCallbacks();
    // BeginFrame joins here with the renderer.
    RunRenderCallbacks();
    // FlushQueue joins here with the renderer.
    ++g_frameLoop.frameCounter;

    FrameStats& stats = g_frameStats;
    // A frame whose work the counter cannot resolve counts as one tick rather than dividing by zero.
    int64_t ticks = platform.QueryPerformanceCounter() - workStart;
    if (ticks < 1) ticks = 1;
    stats.unlimitedRate[stats.ringIndex] =
        static_cast<float>(static_cast<double>(g_frameLoop.counterFrequency) / static_cast<double>(ticks));

    uint32_t now = platform.TimeGetTime();
    if (now >= start) {  // else the millisecond counter wrapped: no wait and no sample this frame
        while (now < deadline) {
            platform.Sleep(1);
            now = platform.TimeGetTime();
        }
        const uint32_t elapsed = now - start;
        stats.achievedRate[stats.ringIndex] = elapsed == 0 ? 1000.0f : 1000.0f / static_cast<float>(elapsed);
        stats.ringIndex = (stats.ringIndex + 1) % kFrameStatsSamples;
    }

    AgeInputStates();
}

void ResetGame() {
    ResetScriptManager();
    ResetEntitySystem();
    ResetCommonData();
    ResetSystemData();
    ResetInputState();
    ResetFrameStats();
    ResetRandom();
    g_frameLoop = FrameLoopState{};
}
