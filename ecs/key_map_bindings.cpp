#include "ecs/key_map_bindings.h"

#include "ecs/binding_args.h"
#include "ecs/key_map.h"
#include "script/machine.h"
#include "script/value_copy.h"

namespace {

// The entity's key map, or none after the messages every KeyMap builtin shares: the warning and the
// line of the getter, whichever builtin asked.
KeyMapComponent* FindKeyMap(const BuiltinArgs& args, const char* builtin) {
    EntityId id = 0;
    if (!args.EntityIdAt(0, builtin, id)) return nullptr;
    KeyMapComponent* keyMap = g_keyMaps.store.Find(id);
    if (keyMap == nullptr) ReportReturning("SysKeyMap_Get", "aquablack{NULL}");
    return keyMap;
}

}  // namespace

Value SysKeyMapAdd(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    EntityId id = 0;
    if (BuiltinArgs(argumentCount, arguments).ExistingEntityAt(0, "SysKeyMap_Add", id)) AddKeyMap(id);
    return {};
}

Value SysKeyMapRemove(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    EntityId id = 0;
    if (BuiltinArgs(argumentCount, arguments).EntityIdAt(0, "SysKeyMap_Remove", id)) RemoveKeyMap(id);
    return {};
}

Value SysKeyMapGetValue(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    KeyMapComponent* keyMap = FindKeyMap(args, "SysKeyMap_GetValue");
    if (keyMap == nullptr) return {};
    // A missing key is created, holding the empty value.
    const auto [entry, created] = keyMap->values.try_emplace(ValueToText(args[1]));
    if (created) return {};
    return CopyValueInto(entry->second, *machine.types);
}

Value SysKeyMapGetValueD(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    const KeyMapComponent* keyMap = FindKeyMap(args, "SysKeyMap_GetValueD");
    if (keyMap == nullptr) return {};
    const auto entry = keyMap->values.find(ValueToText(args[1]));
    if (entry == keyMap->values.end()) return args[2];
    return CopyValueInto(entry->second, *machine.types);
}

Value SysKeyMapSetValue(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    KeyMapComponent* keyMap = FindKeyMap(args, "SysKeyMap_SetValue");
    if (keyMap != nullptr) keyMap->values[ValueToText(args[1])] = CopyValueInto(args[2], g_keyMaps.types);
    return {};
}

Value SysKeyMapDeleteValue(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    KeyMapComponent* keyMap = FindKeyMap(args, "SysKeyMap_DeleteValue");
    if (keyMap != nullptr) keyMap->values.erase(ValueToText(args[1]));
    return {};
}

Value SysKeyMapIsValueExists(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    const KeyMapComponent* keyMap = FindKeyMap(args, "SysKeyMap_IsValueExists");
    if (keyMap == nullptr) return {};
    return BooleanResult(machine, keyMap->values.contains(ValueToText(args[1])));
}
