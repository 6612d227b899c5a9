#pragma once
// The SysKeyMap_ builtins. Values are copied into the key-map system's own types when stored and
// back into the caller's types when read.

#include "script/builtin.h"

Value SysKeyMapAdd(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysKeyMapRemove(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysKeyMapGetValue(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysKeyMapGetValueD(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysKeyMapSetValue(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysKeyMapDeleteValue(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysKeyMapIsValueExists(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
