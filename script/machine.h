#pragma once
// The machine that runs one compiled script. The virtual machine adds frames, tasks and the run loop;
// builtins and operators need only its error state and the program's types.

#include <cstdint>
#include <string>
#include <string_view>

#include "script/engine.h"

// Set by a failing instruction or builtin; the run ends after that instruction and the script manager
// reports the message with the line.
struct ScriptError {
    bool raised = false;  // the error flag; never cleared, so later runs end with the same report
    std::string message;
    int32_t line = -1;
};

struct ScriptMachine {
    explicit ScriptMachine(ScriptEngine& program) : engine(&program), types(&program.types) {}

    ScriptEngine* engine;  // not owned
    TypeTable* types;      // the engine's, kept at hand because nearly every operator builds a result
    ScriptError error;
    bool finished = false;
};

// Raises the error that stops the script: flag and finished on, `message` recorded.
void RaiseScriptError(ScriptMachine& machine, std::string_view message);
