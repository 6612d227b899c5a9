#include "ecs/script_hooks.h"

ScriptHooks g_scriptHooks;

int CallingScriptSlot(const ScriptMachine& machine, int none) {
    const int slot = g_scriptHooks.slotOfMachine != nullptr ? g_scriptHooks.slotOfMachine(machine) : -1;
    return slot < 0 ? none : slot;
}

bool IsPlayerScriptSlot(int slot) {
    return g_scriptHooks.isPlayerScript != nullptr && g_scriptHooks.isPlayerScript(slot);
}
