#include "app/frame_loop.h"

#include <cstring>

#include "audio/sound.h"
#include "base/frame_stats.h"
#include "base/input_state.h"
#include "base/platform.h"
#include "ecs/entity_system.h"
#include "ecs/system_callbacks.h"
#include "host/common_data.h"
#include "host/random.h"
#include "host/script_manager.h"
#include "host/system_data.h"
#include "render/backend.h"
#include "render/image.h"
#include "render/queue.h"
#include "render/texture.h"

FrameLoopState g_frameLoop;

namespace {

// The second menu image over the top-left corner of the first, as far as the first reaches.
void LoadMenuImages() {
    FrameLoopState& f = g_frameLoop;
    f.menuImage = LoadImage(kMenuImagePath);
    f.menuOverlay = LoadImage(kMenuOverlayPath);
    if (f.menuImage == nullptr || f.menuOverlay == nullptr) return;
    const uint32_t width = f.menuOverlay->width < f.menuImage->width ? f.menuOverlay->width : f.menuImage->width;
    const uint32_t height = f.menuOverlay->height < f.menuImage->height ? f.menuOverlay->height : f.menuImage->height;
    for (uint32_t row = 0; row < height; ++row) {
        std::memcpy(f.menuImage->pixels + size_t{row} * f.menuImage->width * 4,
                    f.menuOverlay->pixels + size_t{row} * f.menuOverlay->width * 4, size_t{width} * 4);
    }
}

}  // namespace

void StartGame() {
    InitQueue2D();
    InitRenderer(g_frameLoop.window, GetRenderDevice());
    InitSound(g_frameLoop.window, GetSoundDevice());
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
    LoadMenuImages();
    SetCamera();
}

void RunFrame() {
    Platform& platform = GetPlatform();
    if (IsDeviceLost()) {
        RecoverDevice();
        // Still lost: wait a frame's time before the next attempt rather than spin.
        if (IsDeviceLost()) platform.Sleep(kLostDeviceWaitMilliseconds);
        AgeInputStates();
        return;
    }
    // Budgets of 17, 16, 16 ms average 60 frames per second.
    const uint32_t start = platform.TimeGetTime();
    const uint32_t deadline = start + (g_frameLoop.frameCounter % 3 == 0 ? 17 : 16);
    const int64_t workStart = platform.QueryPerformanceCounter();

    if (g_input.keys.states[kFullscreenKey] == KeyPushed) {
        if (IsWindowed()) {
            SetFullscreen();
        } else {
            SetWindowed();
        }
    }
    UpdateScripts();
    RunUpdateCallbacks();
    g_renderBackend.BeginFrame();
    RunRenderCallbacks();
    FlushQueue();
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
    ResetTextureManager();
    ResetQueue2D();
    ResetRenderer();
    ResetSound();
    FreeImage(g_frameLoop.menuImage);
    FreeImage(g_frameLoop.menuOverlay);
    ResetCommonData();
    ResetSystemData();
    ResetInputState();
    ResetFrameStats();
    ResetRandom();
    g_frameLoop = FrameLoopState{};
}
