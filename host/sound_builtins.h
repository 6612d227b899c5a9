#pragma once
// The sound builtins of the engine API: sounds loaded, played, stopped and removed by path.

#include "script/builtin.h"

// (path): the slot the sound went into, or -1 when it took none.
Value ApiLoadSound(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (path): frees every slot of that name.
Value ApiRemoveSound(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (path, two numbers that are not used): plays every slot of that name from the start.
Value ApiPlayBGM(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (path): the same as PlayBGM.
Value ApiPlaySE(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (path): stops every slot of that name where it is.
Value ApiStopSound(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
