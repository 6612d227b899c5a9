#pragma once
// The one-pass compiler: preprocessed script text to a ScriptEngine.

#include <memory>
#include <span>
#include <string>

#include "script/builtin.h"
#include "script/engine.h"

// Deepest nesting of blocks and parenthesised or prefixed expressions the compiler follows; deeper
// text is rejected with kNestingTooDeepMessage rather than exhausting the native stack.
inline constexpr int kMaxCompileNesting = 256;
inline constexpr const char* kNestingTooDeepMessage = "Blocks or expressions are nested too deeply";

// Compiles `source`. The operator functions are registered first, then `builtins` in row order (a
// later row of the same name replaces the earlier one), all into the scope of the top level. On the
// first error the engine carries hasError, the message and the line, and has no usable code.
std::unique_ptr<ScriptEngine> Compile(const std::string& source, std::span<const BuiltinEntry> builtins);
