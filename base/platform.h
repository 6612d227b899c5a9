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

// RECT: left and top inside, right and bottom outside.
struct PlatformRect {
    int32_t left, top, right, bottom;
};

// Window long indices (GWL_*), the topmost extended style bit, SetWindowPos's HWND_NOTOPMOST and
// flags (SWP_*).
inline constexpr int kWindowLongStyle = -16;
inline constexpr int kWindowLongExStyle = -20;
inline constexpr int32_t kWindowExTopmost = 0x8;
inline constexpr intptr_t kWindowNoTopmost = -2;
inline constexpr uint32_t kSetWindowPosNoMove = 0x2, kSetWindowPosNoZOrder = 0x4, kSetWindowPosNoActivate = 0x10,
                          kSetWindowPosFrameChanged = 0x20;

// Window messages the engine handles or sends (user32: WM_*), with the bits it reads.
inline constexpr uint32_t kMessageDestroy = 0x0002, kMessageClose = 0x0010, kMessageQuit = 0x0012;
inline constexpr uint32_t kMessageKeyDown = 0x0100, kMessageKeyUp = 0x0101, kMessageSysKeyDown = 0x0104,
                          kMessageSysKeyUp = 0x0105;
inline constexpr uint32_t kMessageMouseMove = 0x0200, kMessageLeftButtonDown = 0x0201, kMessageLeftButtonUp = 0x0202,
                          kMessageRightButtonDown = 0x0204, kMessageRightButtonUp = 0x0205;
// lParam of a key message: the key was already down (auto-repeat, and every key-up).
inline constexpr intptr_t kKeyPreviousStateBit = intptr_t{1} << 30;
// wParam of a mouse message: buttons held (MK_LBUTTON, MK_RBUTTON).
inline constexpr uintptr_t kMouseLeftHeld = 0x1, kMouseRightHeld = 0x2;

using PlatformWindowProc = intptr_t (*)(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// MSG, as far as the engine reads it.
struct PlatformMessage {
    void* window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// WNDCLASSEXA, as far as the engine fills it.
struct PlatformWindowClass {
    uint32_t style;
    PlatformWindowProc windowProc;
    void* instance;
    int iconResource;  // large and small icon of the program's resources
    const char* className;
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

    // Window style and size for the full-screen switch (user32: GetWindowLongA, SetWindowLongA,
    // AdjustWindowRect, SetWindowPos). Without a window they do nothing and give 0 or false.
    virtual int32_t GetWindowLong(void* window, int index) = 0;
    virtual int32_t SetWindowLong(void* window, int index, int32_t value) = 0;
    // Grows a client rectangle to the outer rectangle of a window of `style`.
    virtual bool AdjustWindowRect(PlatformRect& rect, uint32_t style, bool menu) = 0;
    virtual bool SetWindowPos(void* window, intptr_t insertAfter, int x, int y, int width, int height,
                              uint32_t flags) = 0;

    // Window and message pump (user32: RegisterClassExA, UnregisterClassA, CreateWindowExA,
    // ShowWindow, UpdateWindow, PeekMessageA with removal, TranslateMessage, DispatchMessageA,
    // DefWindowProcA, PostQuitMessage, SetCapture, ReleaseCapture). A platform without windows
    // creates none and never has a message waiting.
    virtual bool RegisterClass(const PlatformWindowClass&) { return false; }
    virtual bool UnregisterClass(const char*, void*) { return false; }
    virtual void* CreateWindow(uint32_t, const char*, const char*, uint32_t, int, int, int, int, void*) {
        return nullptr;
    }
    virtual bool ShowWindow(void*, int) { return false; }
    virtual bool UpdateWindow(void*) { return false; }
    virtual bool PeekMessage(PlatformMessage&) { return false; }
    virtual bool TranslateMessage(const PlatformMessage&) { return false; }
    virtual intptr_t DispatchMessage(const PlatformMessage&) { return 0; }
    virtual intptr_t DefWindowProc(void*, uint32_t, uintptr_t, intptr_t) { return 0; }
    virtual void PostQuitMessage(int) {}
    virtual void* SetCapture(void*) { return nullptr; }
    virtual bool ReleaseCapture() { return false; }

    // Modal message box owned by `window` (user32: MessageBoxA; style MB_* bits): the button
    // chosen. A platform without windows shows none and gives 0.
    virtual int MessageBox(void*, const char*, const char*, uint32_t) { return 0; }
};

// MessageBoxA's error icon (MB_ICONERROR).
inline constexpr uint32_t kMessageBoxIconError = 0x10;

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
