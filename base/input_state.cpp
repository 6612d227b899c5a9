#include "base/input_state.h"

#include <cstring>

#include "base/platform.h"

InputState g_input;

namespace {

constexpr uint32_t kShift = 0x10;
constexpr uint32_t kControl = 0x11;
constexpr uint32_t kAlt = 0x12;

// The generic modifier messages do not say which side moved, so both sides are read back from the
// platform's key state.
void UpdateModifierSides(uint32_t virtualKey) {
    uint32_t left;
    if (virtualKey == kShift) {
        left = 0xA0;
    } else if (virtualKey == kControl) {
        left = 0xA2;
    } else if (virtualKey == kAlt) {
        left = 0xA4;
    } else {
        return;
    }
    for (uint32_t side = left; side <= left + 1; ++side) {
        const bool down = (GetPlatform().GetKeyState(static_cast<int>(side)) & 0x8000) != 0;
        g_input.keys.states[side] = down ? KeyPushed : KeyReleased;
    }
}

void Age(int32_t* states, int count) {
    for (int i = 0; i < count; ++i) {
        if (states[i] == KeyPushed) {
            states[i] = KeyHeld;
        } else if (states[i] == KeyReleased) {
            states[i] = KeyFree;
        }
    }
}

}  // namespace

void ResetInputState() {
    std::memset(&g_input, 0, sizeof g_input);
}

void HandleKeyDown(uint32_t virtualKey, bool repeat) {
    if (repeat) return;
    virtualKey &= 0xFF;
    g_input.keys.states[virtualKey] = KeyPushed;
    UpdateModifierSides(virtualKey);
}

void HandleKeyUp(uint32_t virtualKey) {
    virtualKey &= 0xFF;
    g_input.keys.states[virtualKey] = KeyReleased;
    UpdateModifierSides(virtualKey);
}

void AgeInputStates() {
    Age(g_input.keys.states, 256);
    Age(g_input.mouseButtons.states, 8);
}

bool IsKeyDown(uint32_t virtualKey) {
    const int32_t state = g_input.keys.states[virtualKey & 0xFF];
    return state == KeyPushed || state == KeyHeld;
}
