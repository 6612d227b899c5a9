// Platform of the Linux build: terminal console, monotonic clock, process exit.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "base/console.h"
#include "base/platform.h"

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
    // No window yet, so no key is ever down.
    int16_t GetKeyState(int) override { return 0; }
    int32_t GetWindowLong(void*, int) override { return 0; }
    int32_t SetWindowLong(void*, int, int32_t) override { return 0; }
    bool AdjustWindowRect(PlatformRect&, uint32_t, bool) override { return false; }
    bool SetWindowPos(void*, intptr_t, int, int, int, int, uint32_t) override { return false; }

private:
    static int64_t MonotonicNanoseconds() {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
};

}  // namespace

Platform* CreateHostPlatform() {
    static LinuxPlatform platform;
    static AnsiTerminalSink terminalSink;
    if (isatty(STDERR_FILENO)) SetConsoleSink(&terminalSink);
    return &platform;
}
