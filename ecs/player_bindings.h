#pragma once
// The SysPlayer_ builtins. SysPlayer_SetSpell is bound to SysPlayer_SetPower's routine and
// SysPlayer_GetCounterspellFrame to SysPlayer_GetDownStateFrame's.

#include "script/builtin.h"

Value SysPlayerAdd(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerRemove(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetHitboxCollider(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetHitboxCollider(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetGrazeboxCollider(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetGrazeboxCollider(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetSpeed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetClip(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetLife(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetPower(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetInitialInvincibilityFrame(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetInitialDownStateFrame(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetInitialCounterspellFrame(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetCounterspellFrameLoss(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetAutoItemCollectLine(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetShotAllowed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerSetSpellAllowed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetState(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetFocusSpeed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetUnfocusSpeed(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetClip(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetLife(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetSpell(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetPower(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetInvincibilityFrame(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetDownStateFrame(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerIsPermitShot(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerIsPermitSpell(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerIsPlayerCounterspell(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerIsPlayerSpellActive(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysPlayerGetHitCount(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
