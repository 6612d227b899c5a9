#pragma once
// The builtins through which scripts keep values in common data. Functions without an area argument
// use "DEFAULT"; every function that names an area creates it when missing, except
// IsCommonDataAreaExists and the source of CopyCommonDataArea.

#include "script/builtin.h"

// (key, value)
Value ApiSetCommonData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (key, default)
Value ApiGetCommonData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiClearCommonData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (key)
Value ApiDeleteCommonData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (area, key, value)
Value ApiSetAreaCommonData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (area, key, default)
Value ApiGetAreaCommonData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (area)
Value ApiClearAreaCommonData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (area, key)
Value ApiDeleteAreaCommonData(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (area): the area exists and is empty afterwards.
Value ApiCreateCommonDataArea(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (area)
Value ApiIsCommonDataAreaExists(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (destination, source): the destination becomes a copy of an existing source.
Value ApiCopyCommonDataArea(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (area, unused): the area's keys in key order. Both key-list names call it.
Value ApiGetCommonDataKeyList(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
