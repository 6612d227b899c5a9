#pragma once
// Game mode after the window and devices exist: the engine's start-up and the work of one frame.
// The windowed game and the headless runner both call these, so the order lives here only.

#include <cstdint>

inline constexpr const char* kMainScriptPath = "SCRIPT/SYSTEM/MAIN.QSF";
inline constexpr const char* kMenuImagePath = "SCRIPT/MENU/IMG/SELECT.PNG";
inline constexpr const char* kMenuOverlayPath = "SCRIPT/MENU/IMG/SELECTB.PNG";

// Virtual-key code of the presentation-mode switch.
inline constexpr uint32_t kFullscreenKey = 0x7A;  // F11
// Wait of a frame whose device is lost and could not be reset, so that the loop does not spin.
inline constexpr uint32_t kLostDeviceWaitMilliseconds = 16;

struct Image;

struct FrameLoopState {
    uint16_t frameCounter;     // completed frames; wraps
    int64_t counterFrequency;  // performance-counter ticks per second, read at start-up
    // The menu images of start-up, the second copied into the first; kept for the process's life.
    Image* menuImage;
    Image* menuOverlay;
    void* window;  // the game window, or none
};
extern FrameLoopState g_frameLoop;

// Render queue and renderer on the device of the render port, engine state, then the main script
// loaded, initialised and started, then the frame clock, the menu images and the camera.
void StartGame();

// One frame: the device test (a lost device is recovered and the frame does nothing else), its
// time budget, the presentation-mode switch, the scripts, the systems' updates, drawing, frame
// statistics, the wait for the budget to pass, then input aging.
void RunFrame();

// Every piece of state StartGame and RunFrame touch back to its program-start value (for tests and
// for running several games in one process).
void ResetGame();
