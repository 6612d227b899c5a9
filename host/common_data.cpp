#include "host/common_data.h"

#include <utility>

#include "script/value_copy.h"

CommonData g_commonData;

void InitCommonData() {
    ResetCommonData();
    CommonDataAreaNamed(kDefaultCommonDataArea);
}

void ResetCommonData() {
    g_commonData.areas.clear();
}

CommonDataArea& CommonDataAreaNamed(std::u16string_view name) {
    auto found = g_commonData.areas.find(name);
    if (found != g_commonData.areas.end()) return found->second;
    return g_commonData.areas.emplace(std::u16string(name), CommonDataArea{}).first->second;
}

CommonDataArea* FindCommonDataArea(std::u16string_view name) {
    auto found = g_commonData.areas.find(name);
    return found == g_commonData.areas.end() ? nullptr : &found->second;
}

void SetCommonDataValue(CommonDataArea& area, std::u16string_view key, const Value& value) {
    Value stored = CopyValueInto(value, g_commonData.types);
    auto found = area.find(key);
    if (found != area.end()) {
        found->second = std::move(stored);
    } else {
        area.emplace(std::u16string(key), std::move(stored));
    }
}

Value GetCommonDataValue(const CommonDataArea& area, std::u16string_view key, const Value& fallback,
                         TypeTable& types) {
    auto found = area.find(key);
    if (found == area.end()) return fallback;
    return CopyValueInto(found->second, types);
}
