#include "app/window_proc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/winmain.h"
#include "base/input_state.h"
#include "base/platform.h"
#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

// A window platform in memory: one window, a message queue, a clock that moves only when slept,
// and a journal of the window calls.
class FakeWindowPlatform final : public Platform {
public:
    void SetConsoleTitle(const char*) override {}
    const char* GetCommandLine() override { return ""; }
    void* GetModuleHandle() override { return nullptr; }
    [[noreturn]] void ExitProcess(unsigned) override { std::abort(); }
    uint32_t TimeGetTime() override { return now; }
    void TimeBeginPeriod(uint32_t) override {}
    void Sleep(uint32_t milliseconds) override { now += milliseconds; }
    int64_t QueryPerformanceCounter() override { return now; }
    int64_t QueryPerformanceFrequency() override { return 1000; }
    PlatformLocalTime GetLocalTime() override { return {}; }
    int16_t GetKeyState(int virtualKey) override { return keyDown[virtualKey & 0xFF] ? int16_t(-32768) : 0; }
    int32_t GetWindowLong(void*, int) override { return 0; }
    int32_t SetWindowLong(void*, int, int32_t) override { return 0; }
    bool AdjustWindowRect(PlatformRect& rect, uint32_t, bool) override {
        rect.left -= 3, rect.top -= 22, rect.right += 3, rect.bottom += 3;
        return true;
    }
    bool SetWindowPos(void*, intptr_t, int, int, int, int, uint32_t) override { return false; }

    bool RegisterClass(const PlatformWindowClass& windowClass) override {
        proc = windowClass.windowProc;
        Log("register " + std::string(windowClass.className) + " style " + std::to_string(windowClass.style) +
            " icon " + std::to_string(windowClass.iconResource));
        return true;
    }
    bool UnregisterClass(const char* className, void*) override {
        Log("unregister " + std::string(className));
        return true;
    }
    void* CreateWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style, int x, int y,
                       int width, int height, void*) override {
        Log("create " + std::to_string(exStyle) + " " + className + " " + title + " " + std::to_string(style) + " " +
            std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" + std::to_string(height));
        return createWindow ? Window() : nullptr;
    }
    bool ShowWindow(void*, int command) override {
        Log("show " + std::to_string(command));
        return true;
    }
    bool UpdateWindow(void*) override { return true; }
    bool PeekMessage(PlatformMessage& message) override {
        if (queue.empty()) {
            // The close arrives after the game has run a few frames.
            if (++framesBeforeClose > 3 && !closed) {
                closed = true;
                queue.push_back({Window(), kMessageClose, 0, 0});
            } else {
                return false;
            }
        }
        message = queue.front();
        queue.pop_front();
        return true;
    }
    intptr_t DispatchMessage(const PlatformMessage& message) override {
        return proc(message.window, message.message, message.wParam, message.lParam);
    }
    intptr_t DefWindowProc(void* window, uint32_t message, uintptr_t, intptr_t) override {
        ++defaultCalls;
        if (message == kMessageClose) proc(window, kMessageDestroy, 0, 0);
        return 0;
    }
    void PostQuitMessage(int code) override { queue.push_back({nullptr, kMessageQuit, uintptr_t(code), 0}); }
    void* SetCapture(void*) override {
        Log("capture");
        return nullptr;
    }
    bool ReleaseCapture() override {
        Log("release");
        return true;
    }

    void* Window() { return &window_; }
    void Log(const std::string& line) { journal.push_back(line); }

    uint32_t now = 0;
    bool keyDown[256] = {};
    bool createWindow = true;
    bool closed = false;
    int framesBeforeClose = 0;
    int defaultCalls = 0;
    PlatformWindowProc proc = nullptr;
    std::deque<PlatformMessage> queue;
    std::vector<std::string> journal;

private:
    int window_ = 0;
};

intptr_t Position(int x, int y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = g_platform.platform;
        SetPlatform(&platform_);
        ResetGame();
    }
    void TearDown() override {
        ResetGame();
        SetPlatform(previous_);
    }
    void Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        WindowProc(platform_.Window(), message, wParam, lParam);
    }
    FakeWindowPlatform platform_;
    Platform* previous_ = nullptr;
};

TEST_F(WindowProcTest, KeysAutoRepeatAndSystemKeys) {
    Send(kMessageKeyDown, 'Z', 1);
    EXPECT_EQ(g_input.keys.states['Z'], KeyPushed);
    AgeInputStates();
    // Auto-repeat (bit 30) changes nothing: the key stays held.
    Send(kMessageKeyDown, 'Z', kKeyPreviousStateBit | 1);
    EXPECT_EQ(g_input.keys.states['Z'], KeyHeld);
    // System keys (Alt combinations, F10) touch neither table.
    Send(kMessageSysKeyDown, 'X', (intptr_t{1} << 29) | 1);
    Send(kMessageSysKeyDown, 0x79, 1);
    Send(kMessageSysKeyUp, 0x79, kKeyPreviousStateBit | (intptr_t{1} << 31));
    EXPECT_EQ(g_input.keys.states['X'], KeyFree);
    EXPECT_EQ(g_input.keys.states[0x79], KeyFree);
    // Only the low 8 bits of the code index the table.
    Send(kMessageKeyUp, 0x15A, kKeyPreviousStateBit);
    EXPECT_EQ(g_input.keys.states['Z'], KeyReleased);
    // Every message goes on to the default procedure.
    EXPECT_EQ(platform_.defaultCalls, 6);
}

TEST_F(WindowProcTest, ModifierMessagesSetBothSidesFromTheKeyState) {
    platform_.keyDown[0xA1] = true;  // right shift
    Send(kMessageKeyDown, 0x10, 1);
    EXPECT_EQ(g_input.keys.states[0x10], KeyPushed);
    EXPECT_EQ(g_input.keys.states[0xA0], KeyReleased);
    EXPECT_EQ(g_input.keys.states[0xA1], KeyPushed);
    platform_.keyDown[0xA1] = false;
    platform_.keyDown[0xA4] = true;
    Send(kMessageKeyDown, 0x12, 1);
    EXPECT_EQ(g_input.keys.states[0xA4], KeyPushed);
    EXPECT_EQ(g_input.keys.states[0xA5], KeyReleased);
    Send(kMessageKeyUp, 0x10, kKeyPreviousStateBit);
    EXPECT_EQ(g_input.keys.states[0xA1], KeyReleased);
    // Other keys leave the sides alone.
    AgeInputStates();
    Send(kMessageKeyDown, 'A', 1);
    EXPECT_EQ(g_input.keys.states[0xA4], KeyHeld);
}

TEST_F(WindowProcTest, MouseInsideCapturesDragClampsOutsideReleases) {
    Send(kMessageMouseMove, 0, Position(100, 200));
    EXPECT_EQ(g_input.mousePosition.x, 100);
    EXPECT_EQ(g_input.mousePosition.y, 200);
    EXPECT_TRUE(g_input.mouseCaptured);
    Send(kMessageMouseMove, 0, Position(101, 200));  // already captured: no second capture
    Send(kMessageLeftButtonDown, kMouseLeftHeld, Position(101, 200));
    Send(kMessageRightButtonDown, kMouseLeftHeld | kMouseRightHeld, Position(101, 200));
    EXPECT_EQ(g_input.mouseButtons.states[1], KeyPushed);
    EXPECT_EQ(g_input.mouseButtons.states[2], KeyPushed);
    // A drag past the right and top edges stays on the play area's edge.
    Send(kMessageMouseMove, kMouseLeftHeld, Position(700, -5));
    EXPECT_EQ(g_input.mousePosition.x, 639);
    EXPECT_EQ(g_input.mousePosition.y, 0);
    EXPECT_TRUE(g_input.mouseCaptured);
    Send(kMessageRightButtonUp, kMouseLeftHeld, Position(700, -5));
    EXPECT_EQ(g_input.mouseButtons.states[2], KeyReleased);
    AgeInputStates();
    // x = 0 is outside: without a button the capture goes and both buttons count as released.
    Send(kMessageMouseMove, 0, Position(0, 300));
    EXPECT_FALSE(g_input.mouseCaptured);
    EXPECT_EQ(g_input.mouseButtons.states[1], KeyReleased);
    EXPECT_EQ(g_input.mouseButtons.states[2], KeyReleased);
    EXPECT_EQ(g_input.mousePosition.x, 639);
    EXPECT_EQ(g_input.mousePosition.y, 0);
    EXPECT_EQ(platform_.journal, (std::vector<std::string>{"capture", "release"}));
}

TEST_F(WindowProcTest, WinMainCreatesTheWindowRunsFramesAndEndsOnClose) {
    TempDir game;
    ScopedWorkingDirectory inGame(game.Path());
    CaptureConsole console;
    platform_.queue.push_back({platform_.Window(), kMessageKeyDown, 'Z', 1});
    EXPECT_EQ(WinMain(nullptr, nullptr, "", kShowWindowDefault), 0);
    EXPECT_EQ(platform_.journal,
              (std::vector<std::string>{"register ClassDX style 64 icon 101",
                                        "create 0 ClassDX DirectX 13238272 647,128 646x505", "show 10",
                                        "unregister ClassDX"}));
    // Three frames ran between the key and the close; the key was seen and aged.
    EXPECT_EQ(g_frameLoop.frameCounter, 3);
    EXPECT_EQ(g_input.keys.states['Z'], KeyHeld);
    EXPECT_EQ(platform_.now, 17u + 16 + 16);
}

TEST_F(WindowProcTest, WinMainWithoutAWindowSaysSoAndEnds) {
    CaptureConsole console;
    platform_.createWindow = false;
    EXPECT_EQ(WinMain(nullptr, nullptr, "", kShowWindowDefault), 1);
    EXPECT_NE(console.Text().find("The game window cannot be created"), std::string::npos);
    EXPECT_EQ(g_frameLoop.frameCounter, 0);
}

}  // namespace
