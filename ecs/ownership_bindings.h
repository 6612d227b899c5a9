#pragma once
// The SysOwnership_ builtins: owners are set by entity or by script slot, and a script's entities
// can be deleted all at once or by object type.

#include "script/builtin.h"

Value SysOwnershipSet(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysOwnershipSetId(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysOwnershipUnset(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysOwnershipRemoveId(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysOwnershipRemoveIdType(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
