#pragma once
// The engine API builtins besides common data: logs, system data, keyboard and mouse state, screen
// size, frame rates, the calling script's directory, and the answer of the functions the engine does
// not provide. None of them stops a script.

#include "script/builtin.h"

inline constexpr double kScreenWidth = 640;
inline constexpr double kScreenHeight = 480;

// The directory of the calling script's file, with its closing separator; empty when the script
// was loaded from the working directory or the machine is in no slot.
Value ApiGetCurrentScriptDirectory(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// Means of the frame-rate rings the frame loop fills.
Value ApiGetCurrentFps(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiGetUnlimitedFps(ScriptMachine& machine, int32_t argumentCount, Value* arguments);

// (text): the script's text on the console as it stands (percent signs included), colour labels
// rendered. WriteLog starts a new line, AppendLog continues the current one, RaiseError reports a
// script error without stopping the script.
Value ApiWriteLog(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiAppendLog(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiRaiseError(ScriptMachine& machine, int32_t argumentCount, Value* arguments);

// (key): the key's input state, 0 to 3, of the key code taken modulo 256.
Value ApiGetKeyState(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiGetMouseX(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiGetMouseY(ScriptMachine& machine, int32_t argumentCount, Value* arguments);

// (index) and (index, value), the index taken modulo 256.
Value ApiSystemDataGetValue(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiSystemDataSetValue(ScriptMachine& machine, int32_t argumentCount, Value* arguments);

// The play screen's size, whatever the presentation mode.
Value ApiGetScreenWidth(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiGetScreenHeight(ScriptMachine& machine, int32_t argumentCount, Value* arguments);

// What a function of the older script interface that the engine does not provide answers: a
// diagnostic naming `name`, and real 0.
Value ApiNotProvided(ScriptMachine& machine, const char* name);
