#include "ecs/entity_bindings.h"

#include <cmath>

#include "ecs/entity.h"
#include "script/machine.h"

namespace {

// The id a script passed, truncated toward zero; NaN and infinities become -1 (no entity).
int64_t IdArgument(const Value& value) {
    const double real = ValueToReal(value);
    if (!std::isfinite(real) || std::fabs(real) > 1e15) return -1;
    return static_cast<int64_t>(real);
}

// Ids outside the table are refused with a warning; 0 also when the builtin changes an entity.
bool CheckId(int64_t id, bool entityRequired, const char* builtin) {
    if (IsEntityIdInRange(id) && !(entityRequired && id == 0)) return true;
    ReportInvalidEntityId(id, builtin);
    return false;
}

}  // namespace

Value EcsCreate(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, CreateEntity(ValueToBoolean(arguments[0])));
}

Value EcsRemove(ScriptMachine& machine, int32_t, Value* arguments) {
    const int64_t id = IdArgument(arguments[0]);
    // Nothing is deleted for a negative id, nor for one past the table (which also warns).
    if (id < 0 || !CheckId(id, false, "ECS_Remove")) return NewReal(*machine.types, -1);
    DeleteEntity(static_cast<EntityId>(id));
    return NewReal(*machine.types, 0);
}

Value EcsSetActive(ScriptMachine&, int32_t, Value* arguments) {
    const int64_t id = IdArgument(arguments[0]);
    if (CheckId(id, true, "ECS_SetActive")) g_entities.active[id] = ValueToBoolean(arguments[1]) ? 1 : 0;
    return Value();
}

Value EcsIsActive(ScriptMachine& machine, int32_t, Value* arguments) {
    const int64_t id = IdArgument(arguments[0]);
    return NewBoolean(*machine.types, CheckId(id, false, "ECS_IsActive") && g_entities.active[id] != 0);
}

Value EcsExists(ScriptMachine& machine, int32_t, Value* arguments) {
    const int64_t id = IdArgument(arguments[0]);
    return NewBoolean(*machine.types, CheckId(id, false, "ECS_Exists") && g_entities.exists[id] != 0);
}

Value EcsEntityCount(ScriptMachine& machine, int32_t, Value*) {
    return NewReal(*machine.types, g_entities.count);
}
