#pragma once
// <windows.h> for the Windows adapters, without the A/W name macros that would rename the
// Platform port's methods (CreateWindow, PeekMessage, MessageBox...): the adapters call the ANSI
// functions by their own names.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CreateWindow
#undef DefWindowProc
#undef DispatchMessage
#undef GetCommandLine
#undef GetModuleHandle
#undef GetWindowLong
#undef MessageBox
#undef PeekMessage
#undef RegisterClass
#undef SetConsoleTitle
#undef SetWindowLong
#undef UnregisterClass
#undef LoadImage
