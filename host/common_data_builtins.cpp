#include "host/common_data_builtins.h"

#include <string>
#include <utility>

#include "host/common_data.h"
#include "script/machine.h"

namespace {

CommonDataArea& DefaultArea() {
    return CommonDataAreaNamed(kDefaultCommonDataArea);
}

CommonDataArea& AreaArgument(const Value& name) {
    return CommonDataAreaNamed(ValueToText(name));
}

}  // namespace

Value ApiSetCommonData(ScriptMachine&, int32_t, Value* arguments) {
    SetCommonDataValue(DefaultArea(), ValueToText(arguments[0]), arguments[1]);
    return Value();
}

Value ApiGetCommonData(ScriptMachine& machine, int32_t, Value* arguments) {
    return GetCommonDataValue(DefaultArea(), ValueToText(arguments[0]), arguments[1], *machine.types);
}

Value ApiClearCommonData(ScriptMachine&, int32_t, Value*) {
    DefaultArea().clear();
    return Value();
}

Value ApiDeleteCommonData(ScriptMachine&, int32_t, Value* arguments) {
    CommonDataArea& area = DefaultArea();
    auto found = area.find(ValueToText(arguments[0]));
    if (found != area.end()) area.erase(found);
    return Value();
}

Value ApiSetAreaCommonData(ScriptMachine&, int32_t, Value* arguments) {
    SetCommonDataValue(AreaArgument(arguments[0]), ValueToText(arguments[1]), arguments[2]);
    return Value();
}

Value ApiGetAreaCommonData(ScriptMachine& machine, int32_t, Value* arguments) {
    return GetCommonDataValue(AreaArgument(arguments[0]), ValueToText(arguments[1]), arguments[2],
                              *machine.types);
}

Value ApiClearAreaCommonData(ScriptMachine&, int32_t, Value* arguments) {
    AreaArgument(arguments[0]).clear();
    return Value();
}

Value ApiDeleteAreaCommonData(ScriptMachine&, int32_t, Value* arguments) {
    CommonDataArea& area = AreaArgument(arguments[0]);
    auto found = area.find(ValueToText(arguments[1]));
    if (found != area.end()) area.erase(found);
    return Value();
}

Value ApiCreateCommonDataArea(ScriptMachine&, int32_t, Value* arguments) {
    AreaArgument(arguments[0]).clear();
    return Value();
}

Value ApiIsCommonDataAreaExists(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewBoolean(*machine.types, FindCommonDataArea(ValueToText(arguments[0])) != nullptr);
}

Value ApiCopyCommonDataArea(ScriptMachine&, int32_t, Value* arguments) {
    const CommonDataArea* source = FindCommonDataArea(ValueToText(arguments[1]));
    if (source == nullptr) return Value();
    // Stored values are never changed in place, so the copy shares them.
    CommonDataArea copy = *source;
    AreaArgument(arguments[0]) = std::move(copy);
    return Value();
}

Value ApiGetCommonDataKeyList(ScriptMachine& machine, int32_t, Value* arguments) {
    const CommonDataArea& area = AreaArgument(arguments[0]);
    TypeTable& types = *machine.types;
    Value keys = NewArray(types.ArrayOf(types.String()), static_cast<uint32_t>(area.size()));
    for (const auto& entry : area)
        keys.Body()->elements.Append(NewString(types, entry.first));
    return keys;
}
