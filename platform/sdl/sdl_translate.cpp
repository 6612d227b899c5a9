#include "platform/sdl/sdl_translate.h"

namespace {

constexpr uint32_t kShift = 0x10, kControl = 0x11, kAlt = 0x12, kF10 = 0x79;
constexpr uint32_t kExtendedBit = 1u << 24;

int FloorDivide(int value, int divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

}  // namespace

uint32_t VirtualKeyOfScancode(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return 0x70 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) return 0x61 + (scancode - SDL_SCANCODE_KP_1);
    switch (scancode) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_KP_0: return 0x60;
        case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return 0x0D;
        case SDL_SCANCODE_ESCAPE: return 0x1B;
        case SDL_SCANCODE_BACKSPACE: return 0x08;
        case SDL_SCANCODE_TAB: return 0x09;
        case SDL_SCANCODE_SPACE: return 0x20;
        case SDL_SCANCODE_PAGEUP: return 0x21;
        case SDL_SCANCODE_PAGEDOWN: return 0x22;
        case SDL_SCANCODE_END: return 0x23;
        case SDL_SCANCODE_HOME: return 0x24;
        case SDL_SCANCODE_LEFT: return 0x25;
        case SDL_SCANCODE_UP: return 0x26;
        case SDL_SCANCODE_RIGHT: return 0x27;
        case SDL_SCANCODE_DOWN: return 0x28;
        case SDL_SCANCODE_INSERT: return 0x2D;
        case SDL_SCANCODE_DELETE: return 0x2E;
        case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return kShift;
        case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return kControl;
        case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return kAlt;
        case SDL_SCANCODE_PAUSE: return 0x13;
        case SDL_SCANCODE_CAPSLOCK: return 0x14;
        case SDL_SCANCODE_KP_MULTIPLY: return 0x6A;
        case SDL_SCANCODE_KP_PLUS: return 0x6B;
        case SDL_SCANCODE_KP_MINUS: return 0x6D;
        case SDL_SCANCODE_KP_PERIOD: return 0x6E;
        case SDL_SCANCODE_KP_DIVIDE: return 0x6F;
        case SDL_SCANCODE_SEMICOLON: return 0xBA;
        case SDL_SCANCODE_EQUALS: return 0xBB;
        case SDL_SCANCODE_COMMA: return 0xBC;
        case SDL_SCANCODE_MINUS: return 0xBD;
        case SDL_SCANCODE_PERIOD: return 0xBE;
        case SDL_SCANCODE_SLASH: return 0xBF;
        case SDL_SCANCODE_GRAVE: return 0xC0;
        case SDL_SCANCODE_LEFTBRACKET: return 0xDB;
        case SDL_SCANCODE_BACKSLASH: return 0xDC;
        case SDL_SCANCODE_RIGHTBRACKET: return 0xDD;
        case SDL_SCANCODE_APOSTROPHE: return 0xDE;
        default: return 0;
    }
}

uint32_t KeyScanBits(SDL_Scancode scancode) {
    switch (scancode) {
        case SDL_SCANCODE_LSHIFT: return 0x2Au << 16;
        case SDL_SCANCODE_RSHIFT: return 0x36u << 16;
        case SDL_SCANCODE_LCTRL: return 0x1Du << 16;
        case SDL_SCANCODE_RCTRL: return (0x1Du << 16) | kExtendedBit;
        case SDL_SCANCODE_LALT: return 0x38u << 16;
        case SDL_SCANCODE_RALT: return (0x38u << 16) | kExtendedBit;
        default: return 0;
    }
}

uint32_t SideKeyOfMessage(uint32_t virtualKey, intptr_t lParam) {
    const bool extended = (lParam & kExtendedBit) != 0;
    switch (virtualKey & 0xFF) {
        case kShift: return ((lParam >> 16) & 0xFF) == 0x36 ? 0xA1 : 0xA0;
        case kControl: return extended ? 0xA3 : 0xA2;
        case kAlt: return extended ? 0xA5 : 0xA4;
        default: return 0;
    }
}

bool IsSystemKey(uint32_t virtualKey, bool altDown) {
    return altDown || virtualKey == kAlt || virtualKey == kF10;
}

intptr_t KeyMessageParam(uint32_t scanBits, bool down, bool repeat, bool altDown) {
    uint32_t bits = 1 | scanBits;
    if (altDown) bits |= 1u << 29;
    if (repeat || !down) bits |= 1u << 30;
    if (!down) bits |= 1u << 31;
    return static_cast<intptr_t>(bits);
}

FrameLayout LayoutFrame(int windowWidth, int windowHeight, int frameWidth, int frameHeight) {
    int scale = 1;
    if (frameWidth > 0 && frameHeight > 0) {
        const int across = windowWidth / frameWidth, down = windowHeight / frameHeight;
        scale = across < down ? across : down;
        if (scale < 1) scale = 1;
    }
    return FrameLayout{scale, (windowWidth - frameWidth * scale) / 2, (windowHeight - frameHeight * scale) / 2};
}

void WindowToPlayArea(const FrameLayout& layout, int x, int y, int& playX, int& playY) {
    playX = FloorDivide(x - layout.left, layout.scale);
    playY = FloorDivide(y - layout.top, layout.scale);
}

intptr_t MouseMessageParam(int x, int y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}
