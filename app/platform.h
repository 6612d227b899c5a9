#pragma once
// What the engine needs from the operating system, shaped after the Windows calls it makes.
// Adapters under platform/ implement it; the core never includes their headers.

#include <cstdint>

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

// Ends the process through the platform with `exitCode`.
[[noreturn]] void PlatformExitProcess(unsigned exitCode);
