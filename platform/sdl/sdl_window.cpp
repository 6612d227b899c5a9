#include "platform/sdl/sdl_window.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/console.h"
#include "platform/sdl/sdl_translate.h"
#include "platform/softgpu/frame_png.h"

namespace {

constexpr int kPlayWidth = 640, kPlayHeight = 480;
constexpr uint32_t kAlt = 0x12, kShift = 0x10;
constexpr uint32_t kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
constexpr uint32_t kScreenshotKey = 0x7B;  // F12
// Half the stick's travel before it counts as an arrow key.
constexpr int kStickThreshold = 16384;

// The demo's keys on a game controller: the pad, shot (Z), bomb (X) and focus (left shift).
void PadButtonKey(uint8_t button, uint32_t& virtualKey, uint32_t& scanBits) {
    scanBits = 0;
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: virtualKey = kLeft; return;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: virtualKey = kUp; return;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: virtualKey = kRight; return;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: virtualKey = kDown; return;
        case SDL_CONTROLLER_BUTTON_A: virtualKey = 'Z'; return;
        case SDL_CONTROLLER_BUTTON_B: virtualKey = 'X'; return;
        case SDL_CONTROLLER_BUTTON_X:
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
            virtualKey = kShift;
            scanBits = KeyScanBits(SDL_SCANCODE_LSHIFT);
            return;
        default: virtualKey = 0; return;
    }
}

}  // namespace

SdlWindowSystem::~SdlWindowSystem() {
    DestroyWindow();
    if (videoStarted_) SDL_Quit();
}

bool SdlWindowSystem::RegisterClass(const PlatformWindowClass& windowClass) {
    if (classRegistered_ || windowClass.windowProc == nullptr) return false;
    proc_ = windowClass.windowProc;
    classRegistered_ = true;
    return true;
}

bool SdlWindowSystem::UnregisterClass(const char*) {
    if (!classRegistered_ || window_ != nullptr) return false;
    classRegistered_ = false;
    proc_ = nullptr;
    return true;
}

void* SdlWindowSystem::CreateWindow(const char* title, int x, int y, int width, int height) {
    if (!classRegistered_ || window_ != nullptr) return nullptr;
    if (!videoStarted_) {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            ConsolePrintf("\nfuchsiablack{Application diagnostics:} yellowblack{No display: %s}", SDL_GetError());
            return nullptr;
        }
        // Without a display SDL falls back to drivers that draw nowhere: a game nobody can see or
        // close must not start, unless SDL_VIDEODRIVER asks for such a driver (tests do).
        const char* driver = SDL_GetCurrentVideoDriver();
        const char* asked = std::getenv("SDL_VIDEODRIVER");
        if (driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
            (asked == nullptr || std::strcmp(asked, driver) != 0)) {
            ConsolePrintf("\nfuchsiablack{Application diagnostics:} yellowblack{No display: only the %s video driver "
                          "is available}",
                          driver);
            SDL_Quit();
            return nullptr;
        }
        // A missing controller subsystem only means no gamepad.
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        videoStarted_ = true;
    }
    // Whole-multiple scaling keeps bullets crisp only without filtering.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    window_ = SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) {
        ConsolePrintf("\nfuchsiablack{Application diagnostics:} yellowblack{No window: %s}", SDL_GetError());
        return nullptr;
    }
    SDL_SetWindowMinimumSize(window_, kPlayWidth, kPlayHeight);
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    style_ = 0;
    exStyle_ = 0;
    fullscreen_ = false;
    closeQueued_ = false;
    return window_;
}

bool SdlWindowSystem::ShowWindow(void* window) {
    if (window == nullptr || window != window_) return false;
    SDL_ShowWindow(window_);
    return true;
}

void SdlWindowSystem::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue_.push_back(PlatformMessage{window_, message, wParam, lParam});
}

void SdlWindowSystem::PostKey(uint32_t virtualKey, uint32_t scanBits, bool down, bool repeat) {
    const bool altDown = keyDown_[kAlt];
    const bool system = IsSystemKey(virtualKey, altDown);
    const uint32_t message = down ? (system ? kMessageSysKeyDown : kMessageKeyDown)
                                  : (system ? kMessageSysKeyUp : kMessageKeyUp);
    Post(message, virtualKey, KeyMessageParam(scanBits, down, repeat, altDown));
    // The key state moves when the event is read, so later events of this batch see it.
    keyDown_[virtualKey & 0xFF] = down;
    const uint32_t side = SideKeyOfMessage(virtualKey, static_cast<intptr_t>(scanBits));
    if (side != 0) keyDown_[side] = down;
}

void SdlWindowSystem::PostMouse(uint32_t message, int windowX, int windowY) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    const FrameLayout layout = LayoutFrame(width, height, textureWidth_ > 0 ? textureWidth_ : kPlayWidth,
                                           textureHeight_ > 0 ? textureHeight_ : kPlayHeight);
    int x = 0, y = 0;
    WindowToPlayArea(layout, windowX, windowY, x, y);
    Post(message, mouseButtons_, MouseMessageParam(x, y));
}

void SdlWindowSystem::PollEvents() {
    SDL_Event event;
    while (window_ != nullptr && SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                if (!closeQueued_) Post(kMessageClose, 0, 0);
                closeQueued_ = true;
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE && !closeQueued_) {
                    Post(kMessageClose, 0, 0);
                    closeQueued_ = true;
                } else if (event.window.event == SDL_WINDOWEVENT_LEAVE && capture_ != nullptr) {
                    // A captured window hears where the mouse went.
                    int globalX = 0, globalY = 0, windowX = 0, windowY = 0;
                    SDL_GetGlobalMouseState(&globalX, &globalY);
                    SDL_GetWindowPosition(window_, &windowX, &windowY);
                    PostMouse(kMessageMouseMove, globalX - windowX, globalY - windowY);
                }
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const bool down = event.type == SDL_KEYDOWN;
                const uint32_t key = VirtualKeyOfScancode(event.key.keysym.scancode);
                if (key == 0) break;
                PostKey(key, KeyScanBits(event.key.keysym.scancode), down, event.key.repeat != 0);
                if (down && key == kScreenshotKey && event.key.repeat == 0) TakeScreenshot();
                break;
            }
            case SDL_MOUSEMOTION:
                PostMouse(kMessageMouseMove, event.motion.x, event.motion.y);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const bool down = event.type == SDL_MOUSEBUTTONDOWN;
                uint32_t bit = 0, message = 0;
                if (event.button.button == SDL_BUTTON_LEFT) {
                    bit = kMouseLeftHeld;
                    message = down ? kMessageLeftButtonDown : kMessageLeftButtonUp;
                } else if (event.button.button == SDL_BUTTON_RIGHT) {
                    bit = kMouseRightHeld;
                    message = down ? kMessageRightButtonDown : kMessageRightButtonUp;
                } else {
                    break;
                }
                mouseButtons_ = down ? (mouseButtons_ | bit) : (mouseButtons_ & ~bit);
                PostMouse(message, event.button.x, event.button.y);
                break;
            }
            case SDL_CONTROLLERDEVICEADDED:
                SDL_GameControllerOpen(event.cdevice.which);
                break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP: {
                uint32_t key = 0, scanBits = 0;
                PadButtonKey(event.cbutton.button, key, scanBits);
                const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
                if (key != 0) PostKey(key, scanBits, down, down && keyDown_[key]);
                break;
            }
            case SDL_CONTROLLERAXISMOTION: {
                uint32_t negative = 0, positive = 0;
                if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
                    negative = kLeft, positive = kRight;
                } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
                    negative = kUp, positive = kDown;
                } else {
                    break;
                }
                const int value = event.caxis.value;
                for (uint32_t key : {negative, positive}) {
                    const bool held = key == negative ? value < -kStickThreshold : value > kStickThreshold;
                    const uint32_t bit = 1u << (key - kLeft);
                    if (held == ((padArrows_ & bit) != 0)) continue;
                    padArrows_ = held ? (padArrows_ | bit) : (padArrows_ & ~bit);
                    PostKey(key, 0, held, false);
                }
                break;
            }
            default:
                break;
        }
    }
}

bool SdlWindowSystem::PeekMessage(PlatformMessage& message) {
    if (queue_.empty()) PollEvents();
    if (queue_.empty()) return false;
    message = queue_.front();
    queue_.pop_front();
    return true;
}

intptr_t SdlWindowSystem::DispatchMessage(const PlatformMessage& message) {
    if (proc_ == nullptr || message.window == nullptr || message.window != window_) return 0;
    return proc_(message.window, message.message, message.wParam, message.lParam);
}

intptr_t SdlWindowSystem::DefWindowProc(void* window, uint32_t message, uintptr_t, intptr_t) {
    if (message == kMessageClose && window != nullptr && window == window_) {
        if (proc_ != nullptr) proc_(window, kMessageDestroy, 0, 0);
        DestroyWindow();
    }
    return 0;
}

void SdlWindowSystem::DestroyWindow() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    capture_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
    shownPixels_ = nullptr;
    // Messages for the window that is gone are dropped; the quit message stays.
    std::deque<PlatformMessage> kept;
    for (const PlatformMessage& queued : queue_) {
        if (queued.window == nullptr) kept.push_back(queued);
    }
    queue_.swap(kept);
}

bool SdlWindowSystem::ShowMessageBox(const char* text, const char* caption, uint32_t style) {
    if (!videoStarted_) return false;
    const Uint32 kind = (style & kMessageBoxIconError) != 0 ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    return SDL_ShowSimpleMessageBox(kind, caption, text, window_) == 0;
}

void SdlWindowSystem::PostQuitMessage(int exitCode) {
    queue_.push_back(PlatformMessage{nullptr, kMessageQuit, static_cast<uintptr_t>(exitCode), 0});
}

void* SdlWindowSystem::SetCapture(void* window) {
    void* previous = capture_;
    capture_ = window == window_ ? window : nullptr;
    return previous;
}

bool SdlWindowSystem::ReleaseCapture() {
    capture_ = nullptr;
    return true;
}

int16_t SdlWindowSystem::GetKeyState(int virtualKey) const {
    return keyDown_[virtualKey & 0xFF] ? static_cast<int16_t>(-32768) : int16_t{0};
}

int32_t SdlWindowSystem::GetWindowLong(void* window, int index) const {
    if (window == nullptr || window != window_) return 0;
    if (index == kWindowLongStyle) return style_;
    if (index == kWindowLongExStyle) return exStyle_;
    return 0;
}

int32_t SdlWindowSystem::SetWindowLong(void* window, int index, int32_t value) {
    if (window == nullptr || window != window_) return 0;
    int32_t& field = index == kWindowLongStyle ? style_ : exStyle_;
    if (index != kWindowLongStyle && index != kWindowLongExStyle) return 0;
    const int32_t previous = field;
    field = value;
    return previous;
}

bool SdlWindowSystem::SetWindowPos(void* window, int width, int height) {
    if (window == nullptr || window != window_) return false;
    // Called on the way back from full screen: leave it first so the size applies to the window.
    if (fullscreen_) {
        SDL_SetWindowFullscreen(window_, 0);
        fullscreen_ = false;
    }
    SDL_SetWindowSize(window_, width, height);
    return true;
}

void SdlWindowSystem::Present(const uint32_t* pixels, uint32_t width, uint32_t height, bool windowed) {
    if (window_ == nullptr || renderer_ == nullptr || pixels == nullptr || width == 0 || height == 0) return;
    if (windowed == fullscreen_) {
        SDL_SetWindowFullscreen(window_, windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
        fullscreen_ = !windowed;
    }
    if (texture_ == nullptr || textureWidth_ != static_cast<int>(width) || textureHeight_ != static_cast<int>(height)) {
        if (texture_ != nullptr) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                     static_cast<int>(width), static_cast<int>(height));
        if (texture_ == nullptr) return;
        SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
        textureWidth_ = static_cast<int>(width);
        textureHeight_ = static_cast<int>(height);
    }
    SDL_UpdateTexture(texture_, nullptr, pixels, static_cast<int>(width * 4));
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    const FrameLayout layout = LayoutFrame(outputWidth, outputHeight, textureWidth_, textureHeight_);
    const SDL_Rect target{layout.left, layout.top, textureWidth_ * layout.scale, textureHeight_ * layout.scale};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
    shownPixels_ = pixels;
    shownWidth_ = width;
    shownHeight_ = height;
}

void SdlWindowSystem::TakeScreenshot() {
    if (shownPixels_ == nullptr) return;
    char name[32];
    std::error_code error;
    for (int number = 1; number <= 9999; ++number) {
        std::snprintf(name, sizeof name, "SHOT%04d.PNG", number);
        if (std::filesystem::exists(name, error)) continue;
        if (WriteArgbPng(name, shownPixels_, shownWidth_, shownHeight_, shownWidth_)) {
            ConsolePrintf("\nyellowblack{Screenshot:} whiteblack{%s}", name);
        } else {
            ConsolePrintf("\nyellowblack{Screenshot not written:} whiteblack{%s}", name);
        }
        return;
    }
}
