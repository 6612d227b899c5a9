#pragma once
// Keyboard and mouse state as the window procedure records it and scripts and systems read it.
// A state changes only between frames; the end of each frame ages it.

#include <cstdint>

enum KeyState : int32_t {
    KeyFree = 0,
    KeyPushed = 1,    // went down since the last frame end
    KeyHeld = 2,      // down for longer
    KeyReleased = 3,  // went up since the last frame end
};

// Indexed by Windows virtual-key code.
struct KeyStateTable {
    int32_t states[256];
};

// Entry 1 is the left button, entry 2 the right one; the others stay free.
struct MouseButtonTable {
    int32_t states[8];
};

// Client pixels.
struct MousePosition {
    int16_t x;
    int16_t y;
};

struct InputState {
    KeyStateTable keys;
    MouseButtonTable mouseButtons;
    MousePosition mousePosition;
    bool mouseCaptured;
};
extern InputState g_input;

void ResetInputState();

// A key-down message; auto-repeats (the key was already down) change nothing.
void HandleKeyDown(uint32_t virtualKey, bool repeat);
void HandleKeyUp(uint32_t virtualKey);

// Pushed keys and buttons become held, released ones free.
void AgeInputStates();

// Pushed or held.
bool IsKeyDown(uint32_t virtualKey);
