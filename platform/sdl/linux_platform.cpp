// Platform of the Linux build: terminal console, monotonic clock, process exit, and the game window
// on SDL2 showing the frames of the software render device.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "base/console.h"
#include "base/platform.h"
#include "audio/sound.h"
#include "platform/sdl/sdl_sound_device.h"
#include "platform/sdl/sdl_window.h"
#include "platform/softgpu/soft_render_device.h"
#include "render/device.h"

namespace {

// Console colours in ANSI order swap the red and blue bits.
int AnsiColour(int consoleColour) {
    return ((consoleColour & 1) << 2) | (consoleColour & 2) | ((consoleColour & 4) >> 2);
}

class AnsiTerminalSink final : public ConsoleSink {
public:
    void SetAttribute(uint8_t attribute) override {
        const int fg = attribute & 0x0F;
        const int bg = attribute >> 4;
        std::fprintf(stderr, "\x1b[%d;%dm", (fg & 8 ? 90 : 30) + AnsiColour(fg), (bg & 8 ? 100 : 40) + AnsiColour(bg));
    }
    void Write(const char* text, size_t length) override { std::fwrite(text, 1, length, stderr); }
};

class LinuxPlatform final : public Platform {
public:
    void SetConsoleTitle(const char* title) override {
        if (isatty(STDERR_FILENO)) std::fprintf(stderr, "\x1b]0;%s\x07", title);
    }
    const char* GetCommandLine() override { return ""; }
    void* GetModuleHandle() override { return nullptr; }
    [[noreturn]] void ExitProcess(unsigned exitCode) override {
        std::fflush(stdout);
        std::fflush(stderr);
        std::exit(static_cast<int>(exitCode));
    }
    uint32_t TimeGetTime() override { return static_cast<uint32_t>(MonotonicNanoseconds() / 1000000); }
    void TimeBeginPeriod(uint32_t) override {}
    void Sleep(uint32_t milliseconds) override { usleep(milliseconds * 1000u); }
    int64_t QueryPerformanceCounter() override { return MonotonicNanoseconds(); }
    int64_t QueryPerformanceFrequency() override { return 1000000000; }
    PlatformLocalTime GetLocalTime() override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        tm local{};
        localtime_r(&now.tv_sec, &local);
        return PlatformLocalTime{
            static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
            static_cast<uint16_t>(local.tm_wday),        static_cast<uint16_t>(local.tm_mday),
            static_cast<uint16_t>(local.tm_hour),        static_cast<uint16_t>(local.tm_min),
            static_cast<uint16_t>(local.tm_sec),         static_cast<uint16_t>(now.tv_nsec / 1000000)};
    }
    int16_t GetKeyState(int virtualKey) override { return windows_.GetKeyState(virtualKey); }
    int MessageBox(void* owner, const char* text, const char* caption, uint32_t style) override {
        if (windows_.ShowMessageBox(text, caption, style)) return 1;
        return Platform::MessageBox(owner, text, caption, style);
    }
    int32_t GetWindowLong(void* window, int index) override { return windows_.GetWindowLong(window, index); }
    int32_t SetWindowLong(void* window, int index, int32_t value) override {
        return windows_.SetWindowLong(window, index, value);
    }
    // SDL sizes a window by its client area: the outer rectangle is the client rectangle.
    bool AdjustWindowRect(PlatformRect&, uint32_t, bool) override { return true; }
    bool SetWindowPos(void* window, intptr_t, int, int, int width, int height, uint32_t) override {
        return windows_.SetWindowPos(window, width, height);
    }
    bool RegisterClass(const PlatformWindowClass& windowClass) override { return windows_.RegisterClass(windowClass); }
    bool UnregisterClass(const char* className, void*) override { return windows_.UnregisterClass(className); }
    void* CreateWindow(uint32_t, const char*, const char* title, uint32_t, int x, int y, int width, int height,
                       void*) override {
        return windows_.CreateWindow(title, x, y, width, height);
    }
    bool ShowWindow(void* window, int) override { return windows_.ShowWindow(window); }
    bool UpdateWindow(void* window) override { return window != nullptr; }
    bool PeekMessage(PlatformMessage& message) override { return windows_.PeekMessage(message); }
    bool TranslateMessage(const PlatformMessage&) override { return false; }
    intptr_t DispatchMessage(const PlatformMessage& message) override { return windows_.DispatchMessage(message); }
    intptr_t DefWindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        return windows_.DefWindowProc(window, message, wParam, lParam);
    }
    void PostQuitMessage(int exitCode) override { windows_.PostQuitMessage(exitCode); }
    void* SetCapture(void* window) override { return windows_.SetCapture(window); }
    bool ReleaseCapture() override { return windows_.ReleaseCapture(); }

    SdlWindowSystem& Windows() { return windows_; }

private:
    static int64_t MonotonicNanoseconds() {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }

    SdlWindowSystem windows_;
};

void PresentToWindow(void* user, const uint32_t* pixels, uint32_t width, uint32_t height);

struct HostDevices {
    LinuxPlatform platform;
    SoftRenderDevice device;
    SdlSoundDevice sound;
};

HostDevices& Host() {
    static HostDevices host;
    return host;
}

void PresentToWindow(void*, const uint32_t* pixels, uint32_t width, uint32_t height) {
    HostDevices& host = Host();
    host.platform.Windows().Present(pixels, width, height, host.device.Windowed());
}

}  // namespace

Platform* CreateHostPlatform() {
    static AnsiTerminalSink terminalSink;
    if (isatty(STDERR_FILENO)) SetConsoleSink(&terminalSink);
    HostDevices& host = Host();
    // Programs that draw or play elsewhere (the headless runner) install their own devices afterwards.
    host.device.SetPresentHook(PresentToWindow, nullptr);
    SetRenderDevice(&host.device);
    // Opened when the game starts; without an audio device the game says so once and runs silent.
    SetSoundDevice(&host.sound);
    return &host.platform;
}
