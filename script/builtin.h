#pragma once
// The one signature of every native function scripts can call, and a row of the tables that make
// them visible to the compiler.

#include <cstdint>

#include "script/value.h"

struct ScriptMachine;

// `arguments` are the caller's `argumentCount` stack slots, contiguous, first argument first. They
// stay on the caller's stack; a function that changes one in place makes it unique first. Errors that
// stop the script go through RaiseScriptError and return void.
using BuiltinFunction = Value (*)(ScriptMachine& machine, int32_t argumentCount, Value* arguments);

// A builtin of one real argument whose result is a real that depends on that argument alone, as a
// plain function: the machine may call it itself in the middle of a computation.
using RealFunction = double (*)(double);

struct BuiltinEntry {
    const char* name;
    BuiltinFunction function;  // null: a call does nothing
    int32_t argumentCount;
    RealFunction real = nullptr;  // for `function` when it is one: its result for a real argument
};
