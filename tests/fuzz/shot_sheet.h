// Shot-sheet reader on arbitrary text: every read ends, nothing is read outside the text, and every
// value stored is in its field's range.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "ecs/shot_sheet.h"
#include "tests/fuzz/quiet_console.h"

inline int FuzzShotSheet(const uint8_t* data, size_t size) {
    QuietConsole quiet;
    // An exact-size heap copy, so AddressSanitizer sees any read past the end.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ShotSheet sheet = ParseShotSheet(text, "SCRIPT/sheet.sht");
    if (sheet.records.size() > size) __builtin_trap();  // each record needs its own '{'
    if (sheet.imagePath.size() > size + 16) __builtin_trap();
    for (const ShotSheetRecord& record : sheet.records) {
        if (record.fixedAngle > 1) __builtin_trap();
    }
    return 0;
}
