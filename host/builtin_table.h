#pragma once
// The builtins scripts can call, in the order the compiler registers them (after the operators).
// A later row of the same name replaces the earlier one's symbol.

#include <cstddef>
#include <span>

#include "script/builtin.h"

inline constexpr size_t kBuiltinCount = 429;

std::span<const BuiltinEntry> BuiltinTable();

// What a row's function is: the engine's own, the stand-in of a row whose subsystem is not in this
// build yet (it stops the script with "<name> is not available in this build"), or the stand-in of a
// function of the older script interface that the engine does not provide (it prints a diagnostic
// naming the row and returns 0).
enum class BuiltinKind { Engine, NotBuilt, NotProvided };
BuiltinKind KindOfBuiltin(BuiltinFunction function);
