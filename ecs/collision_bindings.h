#pragma once
// The SysCollision_ builtins.

#include "script/builtin.h"

Value SysCollisionAdd(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionRemoveAll(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionRemove(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionCount(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionCheck(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionGetType(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionSetNone(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionSetRect2D(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionSetRect2DSegment(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionSetCircle2D(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysCollisionSetCircle2DRelative(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
