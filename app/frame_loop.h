#pragma once
// Game mode after the window and devices exist: the engine's start-up and the work of one frame.
// The windowed game and the headless runner both call these, so the order lives here only.

#include <cstdint>

inline constexpr const char* kMainScriptPath = "SCRIPT/SYSTEM/MAIN.QSF";

struct FrameLoopState {
    uint16_t frameCounter;     // completed frames; wraps
    int64_t counterFrequency;  // performance-counter ticks per second, read at start-up
};
extern FrameLoopState g_frameLoop;

// Engine state, then the main script loaded, initialised and started, then the frame clock.
void StartGame();

// One frame: its time budget, the scripts, the systems' updates, drawing, frame statistics, the
// wait for the budget to pass, then input aging.
void RunFrame();

// Every piece of state StartGame and RunFrame touch back to its program-start value (for tests and
// for running several games in one process).
void ResetGame();
