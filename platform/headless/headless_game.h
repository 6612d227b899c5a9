#pragma once
// Game mode on the headless platform: what the window's message pump does before each frame, done
// with the scripted key events instead.

#include <cstdint>

#include "platform/headless/headless_platform.h"

// Delivers the key events due at `frame` (frames count from 0) as key-down and key-up messages, then
// runs the frame.
void RunHeadlessFrame(HeadlessPlatform& platform, uint32_t frame);
