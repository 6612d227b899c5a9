#include "ecs/collision_bindings.h"

#include "base/console.h"
#include "ecs/binding_args.h"
#include "ecs/collision.h"
#include "script/machine.h"

namespace {

// The collider named by arguments 0 (entity) and 1 (multipleId); none after the messages when the id
// is refused or the collider is missing. Setters print their own name after the Collider warning.
ColliderComponent* ColliderOfSetter(const BuiltinArgs& args, const char* builtin) {
    EntityId id = 0;
    if (!args.EntityIdAt(0, builtin, id)) return nullptr;
    ColliderComponent* collider = FindCollider(id, args.Byte(1));
    if (collider == nullptr) ReportMissingIn(builtin);
    return collider;
}

}  // namespace

Value SysCollisionAdd(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    EntityId id = 0;
    // A refused add answers with the number that names no collider, so that later calls with it
    // find nothing rather than another collider.
    if (!BuiltinArgs(argumentCount, arguments).ExistingEntityAt(0, "SysCollision_Add", id)) {
        return RealResult(machine, MULTIPLE_ERROR);
    }
    return RealResult(machine, AddCollider(id));
}

Value SysCollisionRemoveAll(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    EntityId id = 0;
    if (BuiltinArgs(argumentCount, arguments).EntityIdAt(0, "SysCollision_RemoveAll", id))
        RemoveAllColliders(id);
    return {};
}

Value SysCollisionRemove(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    if (!args.EntityIdAt(0, "SysCollision_Remove", id)) return {};
    // The position is counted in full, never wrapped onto a small number that names a collider.
    const int64_t n = args.Integer(1);
    if (!RemoveNthCollider(id, n)) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{Collision tried to delete a non existant component with "
            "multipleId of} aquablack{%lld} yellowblack{on Entity} aquablack{%u}",
            static_cast<long long>(n), static_cast<unsigned>(id));
    }
    return {};
}

Value SysCollisionCount(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    if (!args.EntityIdAt(0, "SysCollision_Count", id)) return RealResult(machine, 0);
    uint32_t count = 0;
    if (!CountTouching(id, args.Byte(1), count)) return NeutralReal(machine, "SysCollision_Count");
    return RealResult(machine, count);
}

Value SysCollisionCheck(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    HitList list;
    // A missing collider is reported by the query itself, whoever asks.
    if (args.EntityIdAt(0, "SysCollision_Check", id)) list = QueryCollider(id, args.Byte(1), false);
    TypeTable& types = *machine.types;
    Value result = NewArray(types.ArrayOf(types.Real()), 1u + list.count);
    result.Body()->elements.Append(NewReal(types, list.count));
    for (uint8_t i = 0; i < list.count; ++i)
        result.Body()->elements.Append(NewReal(types, list.hits[i].id));
    return result;
}

Value SysCollisionGetType(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    if (!args.EntityIdAt(0, "SysCollision_GetType", id)) return RealResult(machine, COL_NONE);
    const ColliderComponent* collider = FindCollider(id, args.Byte(1));
    if (collider == nullptr) {
        ReportReturning("SysCollision_GetType", "aquablack{COL_NONE}");
        return RealResult(machine, COL_NONE);
    }
    return RealResult(machine, collider->type);
}

Value SysCollisionSetNone(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    ColliderComponent* collider =
        ColliderOfSetter(BuiltinArgs(argumentCount, arguments), "SysCollision_SetNone");
    if (collider != nullptr) SetColliderNone(*collider);
    return {};
}

// Scripts give the sides as left, top, bottom, right.
Value SysCollisionSetRect2D(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    ColliderComponent* collider = ColliderOfSetter(args, "SysCollision_SetRect2D");
    if (collider != nullptr)
        SetColliderRect(*collider, args.Float(2), args.Float(3), args.Float(4), args.Float(5));
    return {};
}

Value SysCollisionSetRect2DSegment(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    ColliderComponent* collider = ColliderOfSetter(args, "SysCollision_SetRect2DSegment");
    if (collider != nullptr) {
        SetColliderSegment(*collider, args.Float(2), args.Float(3), args.Float(4), args.Float(5),
                           args.Float(6));
    }
    return {};
}

Value SysCollisionSetCircle2D(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    ColliderComponent* collider = ColliderOfSetter(args, "SysCollision_SetCircle2D");
    if (collider != nullptr) SetColliderCircle(*collider, args.Float(2), args.Float(3), args.Float(4));
    return {};
}

Value SysCollisionSetCircle2DRelative(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const BuiltinArgs args(argumentCount, arguments);
    ColliderComponent* collider = ColliderOfSetter(args, "SysCollision_SetCircle2DRelative");
    if (collider == nullptr) return {};
    if (collider->type != kColliderCircle) {
        ConsolePrintf(
            "blueblack{Intersection warning:} yellowblack{SetCircle2DRelative can only be used on Circle2D "
            "colliders}");
        return {};
    }
    collider->f[0] += args.Float(2);
    collider->f[1] += args.Float(3);
    collider->f[2] += args.Float(4);
    return {};
}
