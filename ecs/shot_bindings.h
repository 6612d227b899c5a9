#pragma once
// The SysShot_ builtins, SysShotData_GetData and Intrin_CreateShotA2. SysShot_GetPenetration is bound
// to SysShot_GetDamage's routine and has none of its own.

#include "script/builtin.h"

Value SysShotAdd(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotRemove(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotDeleteAll(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetShotBoundary(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotLoadEnemyShotData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotLoadPlayerShotData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetCollider(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotGetCollider(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetAutoDelete(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotFadeDelete(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetDeleteFrame(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetSpawnDelay(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetSpellResist(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetGraphicId(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetSourceBlendType(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotToItem(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetGrazeInvalidFrame(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetPlayerShot(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetDamage(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetPenetration(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetEraseShot(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetSpellFactor(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotAddShotA1(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotAddShotA2(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetCollisionEnable(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotSetItemChange(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotGetDamage(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotGetDelay(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotIsGrazed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotIsPlayerShot(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotIsSpellResistant(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotGetGraphicId(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysShotDataGetData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value IntrinCreateShotA2(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
