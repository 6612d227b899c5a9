#include "host/script_builtins.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "base/console.h"
#include "host/script_manager.h"
#include "script/value_copy.h"
#include "script/machine.h"
#include "script/text_narrow.h"

namespace {

// The slot an id argument names; ids outside the table are refused with a warning naming the builtin.
bool SlotArgument(const Value& value, const char* builtin, int& slot) {
    const double real = ValueToReal(value);
    const double id = std::trunc(real);
    if (std::isfinite(id) && id >= 0 && id < kScriptSlotCount) {
        slot = static_cast<int>(id);
        return true;
    }
    char text[64];
    std::snprintf(text, sizeof text, std::isfinite(id) ? "%.0f" : "%g", id);
    ConsolePrintf(
        "\nblueblack{VM Warning:} aquablack{%s} yellowblack{was given the invalid script ID} aquablack{%s}",
        builtin, text);
    return false;
}

// The calling script's slot; a machine in no slot gets the warning naming the builtin.
bool OwnSlot(const ScriptMachine& machine, const char* builtin, int& slot) {
    slot = FindScriptSlot(machine);
    if (slot >= 0) return true;
    ConsolePrintf("\nblueblack{VM Warning:} aquablack{%s} yellowblack{did not find the Virtual Machine}",
                  builtin);
    return false;
}

Value InfoText(ScriptMachine& machine, const char* narrow) {
    return NewString(*machine.types, NarrowToText(narrow));
}

Value ScriptInfo(ScriptMachine& machine, const ScriptHeader& header, const Value& infoType) {
    const double type = std::trunc(ValueToReal(infoType));
    if (type == 6) return NewReal(*machine.types, static_cast<double>(header.kind));
    if (type == 7) {
        ConsolePrintf(
            "fuchsiablack{Vantor Interface diagnostics:} yellowblack{GetScriptInfoA1 info type} "
            "aquablack{INFO_SCRIPT_PATH} yellowblack{is not implemented}");
        return Value();
    }
    if (type == 8) return InfoText(machine, header.id);
    if (type == 9) return InfoText(machine, header.title);
    if (type == 10) return InfoText(machine, header.description);
    if (type == 11) return InfoText(machine, header.imagePath);
    if (type == 12) {
        ConsolePrintf(
            "fuchsiablack{Vantor Interface diagnostics:} yellowblack{GetScriptInfoA1 info type} "
            "aquablack{INFO_SCRIPT_REPLAY_NAME} yellowblack{is not implemented}");
    }
    return Value();
}

}  // namespace

Value ScriptLoadScript(ScriptMachine& machine, int32_t, Value* arguments) {
    const std::string path = TextToNarrow(ValueToText(arguments[0]));
    return NewReal(*machine.types, CreateScript(path));
}

Value ScriptStartScript(ScriptMachine&, int32_t, Value* arguments) {
    int slot;
    if (!SlotArgument(arguments[0], "StartScript", slot)) return Value();
    StartScriptSlot(slot);
    return Value();
}

Value ScriptRestartScript(ScriptMachine&, int32_t, Value* arguments) {
    int slot;
    if (SlotArgument(arguments[0], "RestartScript", slot))
        g_scripts.slots[slot].request = ScriptRequestRestart;
    return Value();
}

Value ScriptCloseScript(ScriptMachine&, int32_t, Value* arguments) {
    int slot;
    if (!SlotArgument(arguments[0], "CloseScript", slot)) return Value();
    ConsolePrintf("\ngreenblack{VM Status:} yellowblack{Shutting down Virtual Machine} aquablack{%i}", slot);
    g_scripts.slots[slot].request = ScriptRequestClose;
    return Value();
}

Value ScriptIsCloseScript(ScriptMachine& machine, int32_t, Value* arguments) {
    int slot;
    if (!SlotArgument(arguments[0], "IsCloseScript", slot)) return Value();
    return NewBoolean(*machine.types, !g_scripts.slots[slot].machine);
}

Value ScriptGetOwnScriptId(ScriptMachine& machine, int32_t, Value*) {
    const int slot = FindScriptSlot(machine);
    if (slot < 0) {
        ConsolePrintf(
            "\nblueblack{VM Warning:} aquablack{GetOwnScriptId()} yellowblack{did not find the Virtual "
            "Machine}");
    }
    return NewReal(*machine.types, slot);
}

Value ScriptGetEventArgument(ScriptMachine& machine, int32_t, Value* arguments) {
    const double index = std::trunc(ValueToReal(arguments[0]));
    if (!std::isfinite(index) || std::fabs(index) > 1e15) return Value();
    const size_t wrapped = static_cast<uint8_t>(static_cast<int64_t>(index));
    if (wrapped >= g_scripts.eventArguments.size()) return Value();
    return CopyValueInto(g_scripts.eventArguments[wrapped], *machine.types);
}

Value ScriptGetScriptResult(ScriptMachine& machine, int32_t, Value* arguments) {
    int slot;
    if (!SlotArgument(arguments[0], "GetScriptResult", slot)) return Value();
    return CopyValueInto(g_scripts.slots[slot].result, *machine.types);
}

Value ScriptSetScriptResult(ScriptMachine& machine, int32_t, Value* arguments) {
    int slot;
    if (OwnSlot(machine, "SetScriptResult", slot)) {
        g_scripts.slots[slot].result = CopyValueInto(arguments[0], g_scripts.types);
    }
    return Value();
}

Value ScriptSetAutoDeleteObject(ScriptMachine& machine, int32_t, Value* arguments) {
    int slot;
    if (OwnSlot(machine, "SetAutoDeleteObject", slot))
        g_scripts.slots[slot].autoDelete = ValueToBoolean(arguments[0]);
    return Value();
}

Value ScriptNotifyEvent(ScriptMachine&, int32_t, Value* arguments) {
    int slot;
    if (!SlotArgument(arguments[0], "NotifyEvent", slot)) return Value();
    const double eventType = ValueToReal(arguments[1]);
    g_scripts.eventArguments.push_back(CopyValueInto(arguments[2], g_scripts.types));
    g_scripts.eventType = eventType;
    FireEvent("Event", slot);
    g_scripts.eventArguments.clear();
    return Value();
}

Value ScriptNotifyEventAll(ScriptMachine&, int32_t, Value* arguments) {
    const double eventType = ValueToReal(arguments[0]);
    g_scripts.eventArguments.push_back(CopyValueInto(arguments[1], g_scripts.types));
    Broadcast(eventType);
    g_scripts.eventArguments.clear();
    return Value();
}

Value ScriptGetCurrentScriptInfo(ScriptMachine& machine, int32_t, Value* arguments) {
    int slot;
    if (!OwnSlot(machine, "GetCurrentScriptInfoA1", slot)) return Value();
    return ScriptInfo(machine, g_scripts.slots[slot].header, arguments[0]);
}

Value ScriptGetScriptInfo(ScriptMachine& machine, int32_t, Value* arguments) {
    int slot;
    if (!SlotArgument(arguments[0], "GetScriptInfoA1", slot)) return Value();
    return ScriptInfo(machine, g_scripts.slots[slot].header, arguments[1]);
}

Value ScriptGetEventType(ScriptMachine& machine, int32_t, Value*) {
    return NewReal(*machine.types, g_scripts.eventType);
}
