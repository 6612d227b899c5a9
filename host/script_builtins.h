#pragma once
// The builtins through which scripts load, start, restart and close scripts, exchange results and
// send each other events.

#include "script/builtin.h"

Value ScriptLoadScript(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptStartScript(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptRestartScript(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptCloseScript(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptIsCloseScript(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptGetOwnScriptId(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptGetEventArgument(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptGetScriptResult(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptSetScriptResult(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (flag): the calling script's auto-delete flag.
Value ScriptSetAutoDeleteObject(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptNotifyEvent(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptNotifyEventAll(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptGetCurrentScriptInfo(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptGetScriptInfo(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ScriptGetEventType(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
