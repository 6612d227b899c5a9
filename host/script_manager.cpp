#include "host/script_manager.h"

#include <cstring>
#include <exception>
#include <utility>

#include "base/console.h"
#include "base/text_file.h"
#include "ecs/ownership.h"
#include "ecs/script_hooks.h"
#include "host/builtin_table.h"
#include "script/compiler.h"
#include "script/preprocessor.h"

ScriptManager g_scripts;

namespace {

// Messages of scripts may hold any characters, so they travel as arguments, never as the format.
bool ReportCompileError(const ScriptEngine& engine) {
    if (!engine.hasError) return false;
    ConsolePrintf("\nredblack{Engine error:} Line aquablack{%d} %s", static_cast<int>(engine.errorLine),
                  engine.errorMessage.c_str());
    return true;
}

bool ReportMachineError(const ScriptMachine& machine) {
    if (!machine.error.raised) return false;
    ConsolePrintf("\nredblack{Machine error:} Line aquablack{%d} %s", static_cast<int>(machine.error.line),
                  machine.error.message.c_str());
    return true;
}

void LoadSlot(int i, const std::string& path) {
    ScriptSlot& slot = g_scripts.slots[i];
    slot.path = path;
    slot.source = Preprocess(ReadTextFile(path), GetDirectory(path));
    slot.header = ParseHeader(slot.source);
}

// Compiles the slot's source and runs its top level; a reported error ends the start, and the slot
// keeps its engine and machine.
void StartSlot(int i) {
    ScriptSlot& slot = g_scripts.slots[i];
    std::unique_ptr<ScriptEngine> engine = Compile(slot.source, BuiltinTable());
    slot.machine.reset();
    slot.engine = std::move(engine);
    slot.machine = std::make_unique<ScriptMachine>(*slot.engine);
    if (ReportCompileError(*slot.engine)) return;
    ScriptMachine& machine = *slot.machine;
    machine.Run();
    if (ReportMachineError(machine)) return;
    FireEvent("Loading", i);
}

// Finalize, the script's entities, then the machine before the engine it runs.
void FinalizeSlot(int i) {
    ScriptSlot& slot = g_scripts.slots[i];
    if (!slot.engine || !slot.machine) return;
    FireEvent("Finalize", i);
    slot.started = false;
    if (slot.autoDelete) DeleteOwnedBy(static_cast<uint16_t>(kScriptOwnerBase + i));
    slot.machine.reset();
    slot.engine.reset();
}

void ClearSlot(int i) {
    ScriptSlot& slot = g_scripts.slots[i];
    slot.path.clear();
    slot.source.clear();
    std::memset(&slot.header, 0, sizeof slot.header);
}

}  // namespace

void ResetScriptManager() {
    for (ScriptSlot& slot : g_scripts.slots) {
        slot.machine.reset();
        slot.engine.reset();
        slot = ScriptSlot{};
    }
    g_scripts.liveCount = 0;
    g_scripts.eventType = 0;
    g_scripts.eventDepth = 0;
    g_scripts.eventArguments.clear();
}

int CreateScript(const std::string& path) {
    for (int i = 0; i < kScriptSlotCount; ++i) {
        ScriptSlot& slot = g_scripts.slots[i];
        if (slot.machine) continue;
        slot.request = ScriptRequestNone;
        slot.autoDelete = true;
        slot.started = false;
        try {
            LoadSlot(i, path);
        } catch (const std::exception& error) {
            ConsolePrintf("%s", error.what());
            continue;
        }
        StartSlot(i);
        ++g_scripts.liveCount;
        return i;
    }
    ConsolePrintf(
        "\nredblack{VM Error: }yellowblack{Virtual Machine limit reached, can not create new virtual "
        "machine!}");
    return kNoScriptSlot;
}

void FireEvent(const char* name, int i) {
    if (i < 0 || i >= kScriptSlotCount) return;
    ScriptSlot& slot = g_scripts.slots[i];
    if (!slot.engine || !slot.machine) return;
    const Block* event = slot.engine->FindEvent(name);
    if (event == nullptr) return;
    if (ReportCompileError(*slot.engine)) return;
    if (g_scripts.eventDepth >= kMaxNestedEvents) {
        ConsolePrintf(
            "\nblueblack{VM Warning:} yellowblack{Events nested too deeply, event} aquablack{%s} "
            "yellowblack{not delivered to Virtual Machine} aquablack{%i}",
            name, i);
        return;
    }
    struct DepthGuard {
        DepthGuard() { ++g_scripts.eventDepth; }
        ~DepthGuard() { --g_scripts.eventDepth; }
    } depth;
    ScriptMachine& machine = *slot.machine;
    machine.RunEvent(event);
    ReportMachineError(machine);
}

void StartScriptSlot(int i) {
    if (i < 0 || i >= kScriptSlotCount) return;
    ScriptSlot& slot = g_scripts.slots[i];
    if (slot.initializing) {
        ConsolePrintf(
            "\nblueblack{VM Warning:} yellowblack{Virtual Machine} aquablack{%i} yellowblack{is already "
            "being initialized}",
            i);
        return;
    }
    slot.initializing = true;
    FireEvent("Initialize", i);
    slot.initializing = false;
    slot.started = true;
}

void UpdateScripts() {
    for (int i = 0; i < kScriptSlotCount; ++i) {
        ScriptSlot& slot = g_scripts.slots[i];
        if (slot.request == ScriptRequestRestart) {
            slot.request = ScriptRequestNone;
            // A free slot has nothing to restart; compiling its emptied source would occupy it.
            if (!slot.machine) continue;
            FinalizeSlot(i);
            StartSlot(i);
        } else if (slot.request == ScriptRequestClose) {
            if (!slot.engine || !slot.machine) continue;
            FinalizeSlot(i);
            ClearSlot(i);
            --g_scripts.liveCount;
        }
    }
    for (int i = 0; i < kScriptSlotCount; ++i) {
        if (g_scripts.slots[i].started) FireEvent("MainLoop", i);
    }
}

void Broadcast(double eventType) {
    g_scripts.eventType = eventType;
    for (int i = 0; i < kScriptSlotCount; ++i) {
        if (g_scripts.slots[i].started) FireEvent("Event", i);
    }
}

int FindScriptSlot(const ScriptMachine& machine) {
    for (int i = 0; i < kScriptSlotCount; ++i) {
        if (g_scripts.slots[i].machine.get() == &machine) return i;
    }
    return -1;
}

void InstallScriptHooks() {
    g_scriptHooks.slotOfMachine = FindScriptSlot;
    g_scriptHooks.isPlayerScript = [](int slot) {
        return slot >= 0 && slot < kScriptSlotCount && g_scripts.slots[slot].machine &&
               g_scripts.slots[slot].header.kind == ScriptKind::Player;
    };
    g_scriptHooks.broadcast = Broadcast;
}
