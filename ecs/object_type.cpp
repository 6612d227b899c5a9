#include "ecs/object_type.h"

#include <cstring>

#include "ecs/binding_args.h"

ObjectTypeTable g_objectTypes;

void ResetObjectTypes() {
    std::memset(&g_objectTypes, 0, sizeof g_objectTypes);
}

Value SysObjTypeSetType(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    // Any id of the table may carry a type, live or not; 0 names no entity.
    if (!args.EntityIdAt(0, "SysObjType_SetType", id)) return {};
    if (id == 0) {
        ReportInvalidEntityId(id, "SysObjType_SetType");
        return {};
    }
    g_objectTypes.types[id] = args.Int32(1);
    return {};
}

Value SysObjTypeGetType(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    EntityId id = 0;
    if (!BuiltinArgs(argumentCount, arguments).EntityIdAt(0, "SysObjType_GetType", id)) return RealResult(machine, 0);
    return RealResult(machine, g_objectTypes.types[id]);
}
