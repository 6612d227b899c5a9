#pragma once
// Common data: named areas of keyed values that every script shares for the whole run. Names and keys
// are script text, ordered by their UTF-16 code units as unsigned numbers.

#include <map>
#include <string>
#include <string_view>

#include "script/type_table.h"
#include "script/value.h"

using CommonDataArea = std::map<std::u16string, Value, std::less<>>;

inline constexpr std::u16string_view kDefaultCommonDataArea = u"DEFAULT";

struct CommonData {
    // Types of the stored values, apart from any script: a script's types go away with it, the values
    // stay. First, so that it outlives them.
    TypeTable types;
    std::map<std::u16string, CommonDataArea, std::less<>> areas;
};
extern CommonData g_commonData;

// No areas but an empty "DEFAULT".
void InitCommonData();
// No areas at all.
void ResetCommonData();

// The area of that name, created empty when missing.
CommonDataArea& CommonDataAreaNamed(std::u16string_view name);
// The area of that name, or null; never creates one.
CommonDataArea* FindCommonDataArea(std::u16string_view name);

// Stores a copy typed by the common data's own types; replaces (and releases) any earlier value.
void SetCommonDataValue(CommonDataArea& area, std::u16string_view key, const Value& value);
// The stored value of `key` retyped for `types`, or `fallback` (shared) when the area lacks the key.
Value GetCommonDataValue(const CommonDataArea& area, std::u16string_view key, const Value& fallback,
                         TypeTable& types);
