// The SDL window behind the platform's window calls, on SDL's window-less dummy video driver:
// events pushed into SDL come out as the Win32-shaped messages the window procedure expects.
#include "platform/sdl/sdl_window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

std::vector<PlatformMessage> g_handled;

intptr_t RecordingProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    g_handled.push_back(PlatformMessage{window, message, wParam, lParam});
    return 0;
}

class SdlWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        g_handled.clear();
        ASSERT_TRUE(windows_.RegisterClass(PlatformWindowClass{0x40, RecordingProc, nullptr, 101, "ClassDX"}));
        window_ = windows_.CreateWindow("DirectX", 650, 150, 640, 480);
        if (window_ == nullptr) GTEST_SKIP() << "SDL's dummy video driver is not available: " << SDL_GetError();
        ASSERT_TRUE(windows_.ShowWindow(window_));
    }
    void Key(SDL_Scancode scancode, bool down, bool repeat = false) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.scancode = scancode;
        event.key.repeat = repeat ? 1 : 0;
        event.key.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(window_));
        SDL_PushEvent(&event);
    }
    std::vector<PlatformMessage> Drain() {
        std::vector<PlatformMessage> messages;
        PlatformMessage message{};
        while (windows_.PeekMessage(message)) messages.push_back(message);
        return messages;
    }
    SdlWindowSystem windows_;
    void* window_ = nullptr;
};

TEST_F(SdlWindowTest, KeysBecomeKeyMessagesWithRepeatAndSystemKeys) {
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Key(SDL_SCANCODE_Z, true);
    Key(SDL_SCANCODE_Z, true, true);
    Key(SDL_SCANCODE_Z, false);
    Key(SDL_SCANCODE_RALT, true);
    Key(SDL_SCANCODE_X, true);
    Key(SDL_SCANCODE_RALT, false);
    Key(SDL_SCANCODE_F10, true);
    Key(SDL_SCANCODE_RSHIFT, true);
    Key(SDL_SCANCODE_APPLICATION, true);  // no code: dropped
    const std::vector<PlatformMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 8u);
    const uint32_t expected[][3] = {{kMessageKeyDown, 'Z', 0x00000001u},    {kMessageKeyDown, 'Z', 0x40000001u},
                                    {kMessageKeyUp, 'Z', 0xC0000001u},      {kMessageSysKeyDown, 0x12, 0x01380001u},
                                    {kMessageSysKeyDown, 'X', 0x20000001u}, {kMessageSysKeyUp, 0x12, 0xE1380001u},
                                    {kMessageSysKeyDown, 0x79, 0x00000001u}, {kMessageKeyDown, 0x10, 0x00360001u}};
    for (size_t i = 0; i < messages.size(); ++i) {
        EXPECT_EQ(messages[i].window, window_) << i;
        EXPECT_EQ(messages[i].message, expected[i][0]) << i;
        EXPECT_EQ(messages[i].wParam, expected[i][1]) << i;
        EXPECT_EQ(static_cast<uint32_t>(messages[i].lParam), expected[i][2]) << i;
    }
    // The key state the modifier update reads: the right shift and the generic code are down.
    EXPECT_LT(windows_.GetKeyState(0xA1), 0);
    EXPECT_LT(windows_.GetKeyState(0x10), 0);
    EXPECT_EQ(windows_.GetKeyState(0xA0), 0);
    EXPECT_EQ(windows_.GetKeyState(0x12), 0);
}

TEST_F(SdlWindowTest, MouseInPlayAreaPixelsAndCloseEndsWithTheQuitMessage) {
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = 700;
    event.button.y = 10;
    SDL_PushEvent(&event);
    event = SDL_Event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 100;
    event.motion.y = 200;
    SDL_PushEvent(&event);
    event = SDL_Event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    std::vector<PlatformMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, kMessageLeftButtonDown);
    EXPECT_EQ(messages[0].wParam, kMouseLeftHeld);
    EXPECT_EQ(static_cast<int16_t>(messages[0].lParam & 0xFFFF), 700);
    EXPECT_EQ(messages[1].message, kMessageMouseMove);
    EXPECT_EQ(messages[1].wParam, kMouseLeftHeld);
    EXPECT_EQ(messages[1].lParam, (200 << 16) | 100);
    EXPECT_EQ(messages[2].message, kMessageClose);
    // The close goes through the default procedure: the window is destroyed and says so.
    windows_.DispatchMessage(messages[2]);
    EXPECT_EQ(g_handled.size(), 1u);
    windows_.DefWindowProc(messages[2].window, messages[2].message, 0, 0);
    ASSERT_EQ(g_handled.size(), 2u);
    EXPECT_EQ(g_handled[1].message, kMessageDestroy);
    windows_.PostQuitMessage(0);
    messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, kMessageQuit);
    EXPECT_TRUE(windows_.UnregisterClass("ClassDX"));
}

TEST_F(SdlWindowTest, ScreenshotKeyWritesTheShownFrame) {
    TempDir game;
    ScopedWorkingDirectory inGame(game.Path());
    std::vector<uint32_t> frame(640 * 480, 0xFF00FF00u);
    windows_.Present(frame.data(), 640, 480, true);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Key(SDL_SCANCODE_F12, true);
    Key(SDL_SCANCODE_F12, false);
    Key(SDL_SCANCODE_F12, true);
    EXPECT_EQ(Drain().size(), 3u);  // the engine hears the key too
    EXPECT_TRUE(game.Exists("SHOT0001.PNG"));
    EXPECT_TRUE(game.Exists("SHOT0002.PNG"));
    EXPECT_FALSE(game.Exists("SHOT0003.PNG"));
}

}  // namespace
