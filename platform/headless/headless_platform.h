#pragma once
// A platform without a window or a real clock, for the headless runner and for tests: time passes
// only when the engine sleeps, and keys go down and up when a script of key events says so.

#include <cstdint>
#include <string>
#include <vector>

#include "base/platform.h"

struct ScriptedKeyEvent {
    uint32_t frame;  // delivered before this frame's work (frames count from 0)
    uint8_t virtualKey;
    bool down;
};

class HeadlessPlatform final : public Platform {
public:
    // The local time that virtual time 0 stands for; fixed, so seeded runs repeat exactly.
    static constexpr PlatformLocalTime kStartTime{2000, 1, 6, 1, 0, 0, 0, 0};

    void SetConsoleTitle(const char* title) override { title_ = title; }
    const char* GetCommandLine() override { return ""; }
    void* GetModuleHandle() override { return nullptr; }
    [[noreturn]] void ExitProcess(unsigned exitCode) override;

    uint32_t TimeGetTime() override { return static_cast<uint32_t>(microseconds_ / 1000); }
    void TimeBeginPeriod(uint32_t) override {}
    void Sleep(uint32_t milliseconds) override { microseconds_ += int64_t{milliseconds} * 1000; }
    int64_t QueryPerformanceCounter() override { return microseconds_; }
    int64_t QueryPerformanceFrequency() override { return 1000000; }
    PlatformLocalTime GetLocalTime() override;
    int16_t GetKeyState(int virtualKey) override;
    // One imaginary window: its two style longs are kept, its frame adds nothing to the client area,
    // and the last placement asked for is remembered.
    int32_t GetWindowLong(void* window, int index) override;
    int32_t SetWindowLong(void* window, int index, int32_t value) override;
    bool AdjustWindowRect(PlatformRect&, uint32_t, bool) override { return true; }
    bool SetWindowPos(void* window, intptr_t insertAfter, int x, int y, int width, int height,
                      uint32_t flags) override;
    struct WindowPlacement {
        intptr_t insertAfter;
        int x, y, width, height;
        uint32_t flags;
    };
    const WindowPlacement& LastWindowPlacement() const { return placement_; }
    // Boxes are answered at once (on the console, as the base platform does) and remembered.
    struct ShownMessageBox {
        std::string text, caption;
        uint32_t style;
    };
    int MessageBox(void* owner, const char* text, const char* caption, uint32_t style) override {
        messageBoxes_.push_back({text != nullptr ? text : "", caption != nullptr ? caption : "", style});
        return Platform::MessageBox(owner, text, caption, style);
    }
    const std::vector<ShownMessageBox>& MessageBoxes() const { return messageBoxes_; }

    // Moves the virtual clock on without a sleep (the cost of work, in tests).
    void Advance(int64_t microseconds) { microseconds_ += microseconds; }
    int64_t Microseconds() const { return microseconds_; }
    const std::string& ConsoleTitle() const { return title_; }

    // Events are delivered in the order given within a frame.
    void AddKeyEvent(const ScriptedKeyEvent& event) { events_.push_back(event); }
    // Takes the events due at `frame` (and any left over from earlier frames) and updates the key
    // state that GetKeyState reports. `wasDown` of each returned event tells an auto-repeat.
    struct DueKeyEvent {
        uint8_t virtualKey;
        bool down;
        bool wasDown;
    };
    std::vector<DueKeyEvent> TakeKeyEvents(uint32_t frame);

private:
    int64_t microseconds_ = 0;
    std::string title_;
    std::vector<ScriptedKeyEvent> events_;
    std::vector<ShownMessageBox> messageBoxes_;
    bool keyDown_[256] = {};
    int32_t style_ = 0x00CA0000;
    int32_t exStyle_ = 0;
    WindowPlacement placement_{};
};

// Parses "frame:key:down" or "frame:key:up" (key in decimal, or hexadecimal with 0x); false when
// the text is not of that form.
bool ParseScriptedKeyEvent(const std::string& text, ScriptedKeyEvent& event);
