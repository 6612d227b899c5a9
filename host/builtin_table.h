#pragma once
// The builtins scripts can call, in the order the compiler registers them (after the operators).
// A later row of the same name replaces the earlier one's symbol.

#include <cstddef>
#include <span>

#include "script/builtin.h"

inline constexpr size_t kBuiltinCount = 429;

std::span<const BuiltinEntry> BuiltinTable();

// Whether `function` is the stand-in for a builtin whose subsystem is not in this build yet: it stops
// the script with "<name> is not available in this build".
bool IsUnavailableBuiltin(BuiltinFunction function);

// Whether `function` answers for a function of the older script interface that the engine does not
// provide: it prints a diagnostic naming its row and returns 0.
bool IsNotProvidedBuiltin(BuiltinFunction function);
