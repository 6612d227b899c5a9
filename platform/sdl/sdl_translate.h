#pragma once
// SDL input in the shape of Windows messages, and where the play area sits in a resized window.

#include <SDL2/SDL.h>

#include <cstdint>

// Windows virtual-key code of a key, 0 for keys the engine has no code for. Both shift keys give
// the generic shift code (as the window messages do); likewise control and alt.
uint32_t VirtualKeyOfScancode(SDL_Scancode scancode);

// The Windows scan code and extended bit (bits 16 to 24 of a key message's lParam) for the keys
// whose side the engine asks about: the two shifts, controls and alts.
uint32_t KeyScanBits(SDL_Scancode scancode);

// The side variant (0xA0 to 0xA5) named by a modifier message, 0 for other keys.
uint32_t SideKeyOfMessage(uint32_t virtualKey, intptr_t lParam);

// Alt held, Alt itself or F10: Windows sends these as system-key messages.
bool IsSystemKey(uint32_t virtualKey, bool altDown);

// lParam of a key message: repeat count 1, scan bits, context bit (Alt held), previous state
// (set for auto-repeats and key-ups), transition (set for key-ups).
intptr_t KeyMessageParam(uint32_t scanBits, bool down, bool repeat, bool altDown);

// The frame shown at the largest whole multiple that fits the window (at least 1), centred.
struct FrameLayout {
    int scale;
    int left, top;
};
FrameLayout LayoutFrame(int windowWidth, int windowHeight, int frameWidth, int frameHeight);

// A window pixel in play-area pixels (left of or above the frame gives negative values).
void WindowToPlayArea(const FrameLayout& layout, int x, int y, int& playX, int& playY);

// lParam of a mouse message: the signed 16-bit halves.
intptr_t MouseMessageParam(int x, int y);
