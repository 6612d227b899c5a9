#pragma once
// The ECS_ builtins: scripts create, delete, activate and query entities.

#include "script/builtin.h"

Value EcsCreate(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value EcsRemove(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value EcsSetActive(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value EcsIsActive(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value EcsExists(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value EcsEntityCount(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
