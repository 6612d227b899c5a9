#pragma once
// The 28 operator functions that the compiler turns every operator of the language into, in table
// order. They follow the builtin calling convention and stop the script through RaiseScriptError.

#include "script/builtin.h"

inline constexpr int kOperatorCount = 28;
extern const BuiltinEntry OperatorTable[kOperatorCount];

// fmod of the two arguments as reals; also the core builtin modc.
Value OperatorRemainder(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
