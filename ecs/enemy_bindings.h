#pragma once
// The SysEnemy_ builtins.

#include "script/builtin.h"

Value SysEnemyAdd(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemyRemove(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemyGetLife(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemyGetDamageRateShot(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemyGetDamageRateSpell(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemyGetHitCount(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemySetLife(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemyAddLife(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemySetDamageRateShot(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemySetDamageRateSpell(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemySetColliderShot(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemyGetColliderShot(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemySetColliderPlayer(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysEnemyGetColliderPlayer(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
