#include "app/window_proc.h"

#include "base/input_state.h"
#include "base/platform.h"

namespace {

void HandleMouseMove(void* window, uintptr_t wParam, intptr_t lParam) {
    const int x = static_cast<int16_t>(lParam & 0xFFFF);
    const int y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
    InputState& input = g_input;
    Platform& platform = GetPlatform();
    // Column 0 and row 0 count as outside, as they always have for the games written against it.
    if (x > 0 && x < kPlayAreaWidth && y > 0 && y < kPlayAreaHeight) {
        input.mousePosition = MousePosition{static_cast<int16_t>(x), static_cast<int16_t>(y)};
        if (!input.mouseCaptured) {
            platform.SetCapture(window);
            input.mouseCaptured = true;
        }
    } else if ((wParam & (kMouseLeftHeld | kMouseRightHeld)) != 0) {
        // The capture keeps a drag alive outside; its position stays on the play area's edge.
        const int clampedX = x < 0 ? 0 : (x > kPlayAreaWidth - 1 ? kPlayAreaWidth - 1 : x);
        const int clampedY = y < 0 ? 0 : (y > kPlayAreaHeight - 1 ? kPlayAreaHeight - 1 : y);
        input.mousePosition = MousePosition{static_cast<int16_t>(clampedX), static_cast<int16_t>(clampedY)};
    } else {
        platform.ReleaseCapture();
        input.mouseCaptured = false;
        input.mouseButtons.states[1] = KeyReleased;
        input.mouseButtons.states[2] = KeyReleased;
    }
}

}  // namespace

intptr_t WindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Platform& platform = GetPlatform();
    switch (message) {
        case kMessageDestroy:
            platform.PostQuitMessage(0);
            break;
        case kMessageKeyDown:
            HandleKeyDown(static_cast<uint32_t>(wParam), (lParam & kKeyPreviousStateBit) != 0);
            break;
        case kMessageKeyUp:
            HandleKeyUp(static_cast<uint32_t>(wParam));
            break;
        case kMessageMouseMove:
            HandleMouseMove(window, wParam, lParam);
            break;
        case kMessageLeftButtonDown:
            g_input.mouseButtons.states[1] = KeyPushed;
            break;
        case kMessageLeftButtonUp:
            g_input.mouseButtons.states[1] = KeyReleased;
            break;
        case kMessageRightButtonDown:
            g_input.mouseButtons.states[2] = KeyPushed;
            break;
        case kMessageRightButtonUp:
            g_input.mouseButtons.states[2] = KeyReleased;
            break;
        default:  // system keys (Alt and F10 combinations) included: they belong to the window
            break;
    }
    return platform.DefWindowProc(window, message, wParam, lParam);
}
