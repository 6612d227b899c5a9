#include "script/machine.h"

void RaiseScriptError(ScriptMachine& machine, std::string_view message) {
    machine.error.raised = true;
    machine.error.message.assign(message);
    machine.finished = true;
}
