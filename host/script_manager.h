#pragma once
// The table of running scripts: loading, starting, restarting and closing them, and delivering
// their events. A script's id is the index of its slot.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/script_header.h"
#include "script/engine.h"
#include "script/machine.h"
#include "script/type_table.h"
#include "script/value.h"

inline constexpr int kScriptSlotCount = 16;

enum ScriptRequest : int32_t {
    ScriptRequestNone = 0,
    ScriptRequestRestart = 1,
    ScriptRequestClose = 3,
};

struct ScriptSlot {
    bool started = false;  // "Initialize" delivered; only started slots get "MainLoop" and broadcasts
    bool initializing = false;  // inside its "Initialize", which must not be delivered again meanwhile
    int32_t request = ScriptRequestNone;
    bool autoDelete = true;  // finalising deletes the entities the script owns
    ScriptHeader header{};
    std::string path;
    std::string source;  // preprocessed text
    Value result;        // typed by the manager's own types, so it outlives the script
    std::unique_ptr<ScriptEngine> engine;
    std::unique_ptr<ScriptMachine> machine;  // a slot is free exactly when it has none
};

struct ScriptManager {
    // Types of the values the manager keeps (results, event arguments) apart from any script; first,
    // so that it outlives those values.
    TypeTable types;
    ScriptSlot slots[kScriptSlotCount];
    int32_t liveCount = 0;
    double eventType = 0;
    int32_t eventDepth = 0;  // event deliveries in progress, nested through builtins, across slots
    std::vector<Value> eventArguments;  // typed by `types`
};
extern ScriptManager g_scripts;

// Finalises nothing and fires no event: every slot emptied, counters and event state cleared.
void ResetScriptManager();

inline constexpr int kNoScriptSlot = kScriptSlotCount;

// Loads the file into the first free slot, compiles it, runs its top level and delivers "Loading".
// Returns the slot, or kNoScriptSlot (16) when every slot is taken.
int CreateScript(const std::string& path);

// Runs the slot's event routine `name` to completion, when the script has one; reports errors. A
// delivery past kMaxNestedEvents nested ones is refused with a warning.
void FireEvent(const char* name, int slot);

// Deliveries nested deeper than this are refused with a warning: each one holds the native stack of a
// machine run and a builtin call, and the program's main thread has 1 MiB of stack on Windows.
inline constexpr int32_t kMaxNestedEvents = 64;

// Delivers "Initialize" and marks the slot started. A slot inside its own "Initialize" is not
// initialised again (it would re-enter itself without end): a warning is printed instead.
void StartScriptSlot(int slot);

// Restart and close requests of all slots, then "MainLoop" of every started script in slot order.
void UpdateScripts();

// Sets the event type and delivers "Event" to every started script in slot order.
void Broadcast(double eventType);

// The slot whose machine this is, or -1.
int FindScriptSlot(const ScriptMachine& machine);

// Gives the entity systems what they need of the script manager (slots of machines, player scripts,
// broadcasts); called at start-up.
void InstallScriptHooks();
