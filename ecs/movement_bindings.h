#pragma once
// The SysMovement_ builtins. Rows that the builtin table binds to another row's routine (the scale
// and angular-velocity getters, GetAcceleration) have no function of their own here.

#include "script/builtin.h"

Value SysMovementAdd(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementRemove(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetPosition(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetX(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetY(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetZ(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetRotation(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetAngleX(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetAngleY(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetAngleZ(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetScale(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetScaleX(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetScaleY(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetScaleZ(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetSpeed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetAngularVelocity(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetAngularVelocityX(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetAngularVelocityY(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetAngularVelocityZ(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetAcceleration(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementSetMaxSpeed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetPosition(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetX(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetY(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetZ(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetRotation(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetAngleX(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetAngleY(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetAngleZ(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetScale(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysMovementGetSpeed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
