#pragma once
// System data: 256 value slots every script shares for the whole run, all void at start.

#include <cstdint>

#include "script/type_table.h"
#include "script/value.h"

inline constexpr int kSystemDataSlots = 256;

struct SystemData {
    TypeTable types;  // of the stored values, apart from any script; first, so that it outlives them
    Value slots[kSystemDataSlots];
};
extern SystemData g_systemData;

// Every slot void again.
void ResetSystemData();
