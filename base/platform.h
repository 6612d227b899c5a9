#pragma once
// What the engine needs from the operating system, shaped after the Windows calls it makes.
// Adapters under platform/ implement it; the core never includes their headers.

#include <cstdint>

// Calendar time of the local time zone (kernel32: SYSTEMTIME).
struct PlatformLocalTime {
    uint16_t year;
    uint16_t month;      // 1 to 12
    uint16_t dayOfWeek;  // 0 = Sunday
    uint16_t day;        // 1 to 31
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Console (kernel32: SetConsoleTitleA).
    virtual void SetConsoleTitle(const char* title) = 0;

    // Process (kernel32: GetCommandLineA, GetModuleHandleA(NULL), ExitProcess).
    virtual const char* GetCommandLine() = 0;
    virtual void* GetModuleHandle() = 0;
    [[noreturn]] virtual void ExitProcess(unsigned exitCode) = 0;

    // Clock (winmm: timeGetTime, timeBeginPeriod; kernel32: Sleep, performance counter).
    virtual uint32_t TimeGetTime() = 0;
    virtual void TimeBeginPeriod(uint32_t milliseconds) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
    virtual int64_t QueryPerformanceCounter() = 0;
    virtual int64_t QueryPerformanceFrequency() = 0;

    // Local calendar time (kernel32: GetLocalTime).
    virtual PlatformLocalTime GetLocalTime() = 0;

    // Key state of the message being handled (user32: GetKeyState): bit 15 set while the key is down.
    virtual int16_t GetKeyState(int virtualKey) = 0;
};

struct PlatformState {
    Platform* platform = nullptr;
};
extern PlatformState g_platform;

// The platform of the running program; set once at start-up (tests install their own).
Platform& GetPlatform();
void SetPlatform(Platform* platform);

// Provided by the adapter that the program is linked with: the platform of this operating system.
// It also installs the console sink that suits the standard error stream.
Platform* CreateHostPlatform();

// Seconds from 1970-01-01 00:00:00 to the platform's local time, for seeding.
int64_t LocalTimeSeconds();

// Ends the process through the platform with `exitCode`.
[[noreturn]] void PlatformExitProcess(unsigned exitCode);
