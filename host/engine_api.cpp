#include "host/engine_api.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "base/console.h"
#include "base/frame_stats.h"
#include "base/input_state.h"
#include "host/script_manager.h"
#include "host/system_data.h"
#include "script/value_copy.h"
#include "script/machine.h"
#include "script/text_narrow.h"

namespace {

Value Real(ScriptMachine& machine, double real) {
    return NewReal(*machine.types, real);
}

// The number truncated toward zero, modulo 256 into 0..255 (so -1 names 255, as the low 8 bits of
// the integer would). A number with no integer value (NaN, an infinity) names nothing: the builtin
// warns and answers neutrally.
bool IndexModulo256(const Value& argument, const char* builtin, int& index) {
    const double whole = std::trunc(ValueToReal(argument));
    if (std::isfinite(whole)) {
        double wrapped = std::fmod(whole, 256.0);  // exact for every finite double
        if (wrapped < 0) wrapped += 256.0;
        index = static_cast<int>(wrapped);
        return true;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::isnan(whole) ? std::fabs(whole) : whole);  // no "-nan"
    ConsolePrintf(
        "\nblueblack{Vantor Interface warning:} aquablack{%s} yellowblack{was given the invalid index} "
        "aquablack{%s}",
        builtin, text);
    return false;
}

double RingMean(const float (&samples)[kFrameStatsSamples]) {
    double sum = 0;
    for (float sample : samples)
        sum += sample;
    return sum / kFrameStatsSamples;
}

std::string NarrowArgument(const Value& argument) {
    return TextToNarrow(ValueToText(argument));
}

}  // namespace

// The slot's path exactly as the script was loaded with it, file name included: scripts written for
// this engine strip the file name themselves.
Value ApiGetCurrentScriptDirectory(ScriptMachine& machine, int32_t, Value*) {
    const int slot = FindScriptSlot(machine);
    if (slot < 0) return NewString(*machine.types, u"");
    return NewString(*machine.types, NarrowToText(g_scripts.slots[slot].path));
}

Value ApiGetCurrentFps(ScriptMachine& machine, int32_t, Value*) {
    return Real(machine, RingMean(g_frameStats.achievedRate));
}

Value ApiGetUnlimitedFps(ScriptMachine& machine, int32_t, Value*) {
    return Real(machine, RingMean(g_frameStats.unlimitedRate));
}

// The text goes in as an argument, never as the format: a script's percent signs are text.
Value ApiWriteLog(ScriptMachine&, int32_t, Value* arguments) {
    ConsolePrintf("\n%s", NarrowArgument(arguments[0]).c_str());
    return Value();
}

Value ApiAppendLog(ScriptMachine&, int32_t, Value* arguments) {
    ConsolePrintf("%s", NarrowArgument(arguments[0]).c_str());
    return Value();
}

Value ApiRaiseError(ScriptMachine&, int32_t, Value* arguments) {
    ConsolePrintf("\nredblack{Script Error:} %s", NarrowArgument(arguments[0]).c_str());
    return Value();
}

Value ApiGetKeyState(ScriptMachine& machine, int32_t, Value* arguments) {
    int key;
    if (!IndexModulo256(arguments[0], "GetKeyState", key)) return Real(machine, KeyFree);
    return Real(machine, g_input.keys.states[key]);
}

Value ApiGetMouseX(ScriptMachine& machine, int32_t, Value*) {
    return Real(machine, g_input.mousePosition.x);
}

Value ApiGetMouseY(ScriptMachine& machine, int32_t, Value*) {
    return Real(machine, g_input.mousePosition.y);
}

Value ApiSystemDataGetValue(ScriptMachine& machine, int32_t, Value* arguments) {
    int slot;
    if (!IndexModulo256(arguments[0], "SystemData_GetValue", slot)) return Value();
    return CopyValueInto(g_systemData.slots[slot], *machine.types);
}

Value ApiSystemDataSetValue(ScriptMachine&, int32_t, Value* arguments) {
    int slot;
    if (IndexModulo256(arguments[0], "SystemData_SetValue", slot))
        g_systemData.slots[slot] = CopyValueInto(arguments[1], g_systemData.types);
    return Value();
}

Value ApiGetScreenWidth(ScriptMachine& machine, int32_t, Value*) {
    return Real(machine, kScreenWidth);
}

Value ApiGetScreenHeight(ScriptMachine& machine, int32_t, Value*) {
    return Real(machine, kScreenHeight);
}

Value ApiNotProvided(ScriptMachine& machine, const char* name) {
    ConsolePrintf("\nfuchsiablack{Vantor Interface diagnostics:} yellowblack{%s not implemented}", name);
    return Real(machine, 0);
}
