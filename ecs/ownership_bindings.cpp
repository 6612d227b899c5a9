#include "ecs/ownership_bindings.h"

#include "base/console.h"
#include "ecs/binding_args.h"
#include "ecs/ownership.h"

namespace {

// The owner value of a script slot. Slots past the table are refused: their owner value would wrap
// onto entity ids or name no script.
bool ScriptOwnerAt(const BuiltinArgs& args, int index, const char* builtin, uint16_t& owner) {
    const int64_t slot = args.Integer(index);
    if (slot < 0 || slot >= kOwnerScriptSlots) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{Invalid Script} aquablack{%lld} yellowblack{while executing} "
            "aquablack{%s}",
            static_cast<long long>(slot), builtin);
        return false;
    }
    owner = static_cast<uint16_t>(kScriptOwnerBase + slot);
    return true;
}

}  // namespace

Value SysOwnershipSet(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    EntityId owner = 0;
    if (args.ExistingEntityAt(0, "SysOwnership_Set", id) && args.ExistingEntityAt(1, "SysOwnership_Set", owner))
        SetOwner(id, owner);
    return {};
}

Value SysOwnershipSetId(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    uint16_t owner = 0;
    if (args.ExistingEntityAt(0, "SysOwnership_SetId", id) && ScriptOwnerAt(args, 1, "SysOwnership_SetId", owner))
        SetOwner(id, owner);
    return {};
}

Value SysOwnershipUnset(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    EntityId id = 0;
    if (BuiltinArgs(argumentCount, arguments).EntityIdAt(0, "SysOwnership_Unset", id)) UnsetOwner(id);
    return {};
}

Value SysOwnershipRemoveId(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    uint16_t owner = 0;
    if (ScriptOwnerAt(BuiltinArgs(argumentCount, arguments), 0, "SysOwnership_RemoveId", owner))
        DeleteOwnedBy(owner);
    return {};
}

Value SysOwnershipRemoveIdType(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    uint16_t owner = 0;
    // The type is compared as a byte: 261 asks for type 5, and a stored 261 matches no request.
    if (ScriptOwnerAt(args, 0, "SysOwnership_RemoveIdType", owner)) DeleteOwnedByOfType(owner, args.Byte(1));
    return {};
}
