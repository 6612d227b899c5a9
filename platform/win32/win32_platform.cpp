// Platform of the Windows program: the console, process, clocks, window class and window, message
// pump and message box of Win32, each call passed straight through; and the host's devices.
#include <cstdio>

#include "audio/sound.h"
#include "base/console.h"
#include "base/platform.h"
#include "platform/win32/d3d9_render_device.h"
#include "platform/win32/dsound_sound_device.h"
#include "platform/win32/win32_host.h"
#include "render/device.h"

#include "platform/win32/win32_api.h"

#include <mmsystem.h>

namespace {

// Colours on the console through the standard output handle, as the engine has always set them;
// where that handle is no console (redirected), the call fails and the text comes out plain.
class Win32ConsoleSink final : public ConsoleSink {
public:
    void SetAttribute(uint8_t attribute) override {
        if (handle_ == nullptr) handle_ = GetStdHandle(STD_OUTPUT_HANDLE);
        SetConsoleTextAttribute(handle_, attribute);
    }
    void Write(const char* text, size_t length) override { std::fwrite(text, 1, length, stderr); }

private:
    HANDLE handle_ = nullptr;
};

// The engine's window procedure, reached from the one class the program registers.
PlatformWindowProc g_engineWindowProc = nullptr;

LRESULT CALLBACK WindowProcTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_engineWindowProc == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return g_engineWindowProc(window, message, wParam, lParam);
}

class Win32Platform final : public Platform {
public:
    void SetConsoleTitle(const char* title) override { SetConsoleTitleA(title); }
    const char* GetCommandLine() override { return GetCommandLineA(); }
    void* GetModuleHandle() override { return GetModuleHandleA(nullptr); }
    [[noreturn]] void ExitProcess(unsigned exitCode) override {
        std::fflush(stdout);
        std::fflush(stderr);
        ::ExitProcess(exitCode);
    }
    uint32_t TimeGetTime() override { return timeGetTime(); }
    void TimeBeginPeriod(uint32_t milliseconds) override { timeBeginPeriod(milliseconds); }
    void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
    int64_t QueryPerformanceCounter() override {
        LARGE_INTEGER counter{};
        ::QueryPerformanceCounter(&counter);
        return counter.QuadPart;
    }
    int64_t QueryPerformanceFrequency() override {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart;
    }
    PlatformLocalTime GetLocalTime() override {
        SYSTEMTIME t{};
        ::GetLocalTime(&t);
        return PlatformLocalTime{t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
    }
    int16_t GetKeyState(int virtualKey) override { return ::GetKeyState(virtualKey); }
    int32_t GetWindowLong(void* window, int index) override {
        return static_cast<int32_t>(GetWindowLongA(static_cast<HWND>(window), index));
    }
    int32_t SetWindowLong(void* window, int index, int32_t value) override {
        return static_cast<int32_t>(SetWindowLongA(static_cast<HWND>(window), index, value));
    }
    bool AdjustWindowRect(PlatformRect& rect, uint32_t style, bool menu) override {
        RECT r{rect.left, rect.top, rect.right, rect.bottom};
        if (!::AdjustWindowRect(&r, style, menu ? TRUE : FALSE)) return false;
        rect = PlatformRect{r.left, r.top, r.right, r.bottom};
        return true;
    }
    bool SetWindowPos(void* window, intptr_t insertAfter, int x, int y, int width, int height,
                      uint32_t flags) override {
        return ::SetWindowPos(static_cast<HWND>(window), reinterpret_cast<HWND>(insertAfter), x, y, width, height,
                              flags) != FALSE;
    }
    bool RegisterClass(const PlatformWindowClass& windowClass) override {
        g_engineWindowProc = windowClass.windowProc;
        const HINSTANCE instance = static_cast<HINSTANCE>(windowClass.instance);
        WNDCLASSEXA c{};
        c.cbSize = sizeof c;
        c.style = windowClass.style;
        c.lpfnWndProc = WindowProcTrampoline;
        c.hInstance = instance;
        c.hIcon = static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(windowClass.iconResource), IMAGE_ICON, 32, 32, 0));
        c.hIconSm = static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(windowClass.iconResource), IMAGE_ICON, 16, 16, 0));
        c.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        c.lpszClassName = windowClass.className;
        return RegisterClassExA(&c) != 0;
    }
    bool UnregisterClass(const char* className, void* instance) override {
        return UnregisterClassA(className, static_cast<HINSTANCE>(instance)) != FALSE;
    }
    void* CreateWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style, int x, int y,
                       int width, int height, void* instance) override {
        return CreateWindowExA(exStyle, className, title, style, x, y, width, height, nullptr, nullptr,
                               static_cast<HINSTANCE>(instance), nullptr);
    }
    bool ShowWindow(void* window, int command) override { return ::ShowWindow(static_cast<HWND>(window), command); }
    bool UpdateWindow(void* window) override { return ::UpdateWindow(static_cast<HWND>(window)) != FALSE; }
    bool PeekMessage(PlatformMessage& message) override {
        if (!PeekMessageA(&last_, nullptr, 0, 0, PM_REMOVE)) return false;
        message = PlatformMessage{last_.hwnd, last_.message, last_.wParam, last_.lParam};
        return true;
    }
    bool TranslateMessage(const PlatformMessage& message) override {
        const MSG m = Full(message);
        return ::TranslateMessage(&m) != FALSE;
    }
    intptr_t DispatchMessage(const PlatformMessage& message) override {
        const MSG m = Full(message);
        return DispatchMessageA(&m);
    }
    intptr_t DefWindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        return DefWindowProcA(static_cast<HWND>(window), message, wParam, lParam);
    }
    void PostQuitMessage(int exitCode) override { ::PostQuitMessage(exitCode); }
    void* SetCapture(void* window) override { return ::SetCapture(static_cast<HWND>(window)); }
    bool ReleaseCapture() override { return ::ReleaseCapture() != FALSE; }
    int MessageBox(void* window, const char* text, const char* caption, uint32_t style) override {
        return MessageBoxA(static_cast<HWND>(window), text, caption, style);
    }

private:
    // The message as PeekMessage took it (time and cursor position included) when it is the one
    // handed back; otherwise one made from the engine's fields.
    MSG Full(const PlatformMessage& message) const {
        if (message.window == last_.hwnd && message.message == last_.message && message.wParam == last_.wParam &&
            message.lParam == last_.lParam) {
            return last_;
        }
        MSG m{};
        m.hwnd = static_cast<HWND>(message.window);
        m.message = message.message;
        m.wParam = message.wParam;
        m.lParam = message.lParam;
        return m;
    }

    MSG last_{};
};

struct HostDevices {
    Win32Platform platform;
    Direct3D9RenderDevice device;
    DirectSound8Device sound;
};

HostDevices& Host() {
    static HostDevices host;
    return host;
}

}  // namespace

Direct3D9RenderDevice& HostRenderDevice() { return Host().device; }
DirectSound8Device& HostSoundDevice() { return Host().sound; }

Platform* CreateHostPlatform() {
    static Win32ConsoleSink consoleSink;
    SetConsoleSink(&consoleSink);
    HostDevices& host = Host();
    SetRenderDevice(&host.device);
    SetSoundDevice(&host.sound);
    return &host.platform;
}
