#include "app/winmain.h"

#include "app/frame_loop.h"
#include "app/window_proc.h"
#include "base/console.h"
#include "base/platform.h"
#include "render/backend.h"

namespace {

constexpr const char* kWindowClassName = "ClassDX";
constexpr const char* kWindowTitle = "DirectX";
constexpr uint32_t kClassOwnDeviceContext = 0x40;
constexpr int kIconResource = 101;

}  // namespace

int WinMain(void* instance, void* previousInstance, const char* commandLine, int showCommand) {
    (void)previousInstance;
    (void)commandLine;
    Platform& platform = GetPlatform();
    platform.RegisterClass(
        PlatformWindowClass{kClassOwnDeviceContext, WindowProc, instance, kIconResource, kWindowClassName});
    PlatformRect rect{kWindowLeft, kWindowTop, kWindowLeft + kPlayAreaWidth, kWindowTop + kPlayAreaHeight};
    platform.AdjustWindowRect(rect, kWindowStyle, false);
    void* window = platform.CreateWindow(0, kWindowClassName, kWindowTitle, kWindowStyle, rect.left, rect.top,
                                         rect.right - rect.left, rect.bottom - rect.top, instance);
    if (window == nullptr) {
        // Without a window no close can ever end the loop.
        ConsolePrintf("\nfuchsiablack{Application diagnostics:} yellowblack{The game window cannot be created}");
        platform.UnregisterClass(kWindowClassName, instance);
        return 1;
    }
    platform.ShowWindow(window, showCommand);
    platform.UpdateWindow(window);
    g_frameLoop.window = window;
    StartGame();

    PlatformMessage message{};
    for (;;) {
        if (platform.PeekMessage(message)) {
            if (message.message == kMessageQuit) break;
            platform.TranslateMessage(message);
            platform.DispatchMessage(message);
            continue;  // every waiting message before the next frame
        }
        RunFrame();
    }
    platform.UnregisterClass(kWindowClassName, instance);
    return 0;
}
