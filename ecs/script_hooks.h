#pragma once
// What the entity systems need of the script manager, which sits above them: the script manager
// fills these at start-up. Left empty (tests of one system), no machine is in a slot and no event is
// raised.

struct ScriptMachine;

struct ScriptHooks {
    // The slot (0 to 15) whose machine this is, or -1.
    int (*slotOfMachine)(const ScriptMachine& machine) = nullptr;
    // Whether the script in the slot declared itself a player script.
    bool (*isPlayerScript)(int slot) = nullptr;
    // Sets the event type and delivers "Event" to every started script.
    void (*broadcast)(double eventType) = nullptr;
};
extern ScriptHooks g_scriptHooks;

// The calling script's slot, or `none` when it is in none.
int CallingScriptSlot(const ScriptMachine& machine, int none);
bool IsPlayerScriptSlot(int slot);
