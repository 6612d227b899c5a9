#pragma once
// Game mode: the window, the engine and the frame loop.

// The show-window value the program passes (SW_SHOWDEFAULT on Windows).
inline constexpr int kShowWindowDefault = 10;

// Runs the game until its window is destroyed; the result is the process exit code.
int WinMain(void* instance, void* previousInstance, const char* commandLine, int showCommand);
