#pragma once
// The game window on SDL2, behind the Platform port's window calls: one window whose SDL events
// become Win32-shaped messages, and which shows the frames of the software device.

#include <cstdint>
#include <deque>

#include "base/platform.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct _SDL_GameController;

class SdlWindowSystem {
public:
    SdlWindowSystem() = default;
    ~SdlWindowSystem();
    SdlWindowSystem(const SdlWindowSystem&) = delete;
    SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

    bool RegisterClass(const PlatformWindowClass& windowClass);
    bool UnregisterClass(const char* className);
    // Client size 640 x 480 or whatever was asked; resizable, shown by ShowWindow. None when SDL
    // has no video (the reason goes to the console).
    void* CreateWindow(const char* title, int x, int y, int width, int height);
    bool ShowWindow(void* window);
    bool PeekMessage(PlatformMessage& message);
    intptr_t DispatchMessage(const PlatformMessage& message);
    // A close destroys the window (the procedure sees the destroy message); nothing else is done.
    intptr_t DefWindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void PostQuitMessage(int exitCode);
    void* SetCapture(void* window);
    bool ReleaseCapture();
    int16_t GetKeyState(int virtualKey) const;
    int32_t GetWindowLong(void* window, int index) const;
    int32_t SetWindowLong(void* window, int index, int32_t value);
    bool SetWindowPos(void* window, int width, int height);

    // A modal box over the window, answered before it returns; false when SDL cannot show one.
    bool ShowMessageBox(const char* text, const char* caption, uint32_t style);

    // Shows a finished frame at a whole multiple of its size; the device's presentation mode
    // decides between the window and desktop full screen.
    void Present(const uint32_t* pixels, uint32_t width, uint32_t height, bool windowed);

private:
    void PollEvents();
    void Post(uint32_t message, uintptr_t wParam, intptr_t lParam);
    void PostKey(uint32_t virtualKey, uint32_t scanBits, bool down, bool repeat);
    void PostMouse(uint32_t message, int windowX, int windowY);
    void TakeScreenshot();
    void DestroyWindow();

    PlatformWindowProc proc_ = nullptr;
    bool classRegistered_ = false;
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0, textureHeight_ = 0;
    bool fullscreen_ = false;
    bool closeQueued_ = false;
    void* capture_ = nullptr;
    int32_t style_ = 0, exStyle_ = 0;
    uint32_t mouseButtons_ = 0;  // wParam bits of the buttons held
    uint32_t padArrows_ = 0;     // stick directions held, as bits of the arrow keys
    bool keyDown_[256] = {};
    std::deque<PlatformMessage> queue_;
    // The last frame shown, for the screenshot key; valid until the device draws again.
    const uint32_t* shownPixels_ = nullptr;
    uint32_t shownWidth_ = 0, shownHeight_ = 0;
};
