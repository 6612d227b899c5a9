#pragma once
// The game window's procedure: keyboard and mouse messages into the input state tables.

#include <cstdint>

// The play area's client size; mouse positions outside it count as outside the window.
inline constexpr int kPlayAreaWidth = 640, kPlayAreaHeight = 480;

// Handles the engine's messages, then always hands the message to the platform's default procedure.
intptr_t WindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
