#include "ecs/movement_bindings.h"

#include <initializer_list>

#include "ecs/binding_args.h"
#include "ecs/movement.h"

namespace {

using Field = float MovementComponent::*;

enum class Angles { Unchanged, FromDegrees };
enum class Matrix { Kept, Rebuilt };

// Stores arguments 1, 2, ... into `fields` of the entity's component.
Value SetFields(int32_t argumentCount, Value* arguments, const char* builtin, std::initializer_list<Field> fields,
                Angles angles, Matrix matrix) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    if (!args.EntityIdAt(0, builtin, id)) return {};
    MovementComponent* movement = FindMovement(id);
    if (movement == nullptr) {
        ReportMissingIn(builtin);
        return {};
    }
    int index = 1;
    for (Field field : fields) {
        const float value = args.Float(index++);
        movement->*field = angles == Angles::FromDegrees ? MovementRadians(value) : value;
    }
    if (matrix == Matrix::Rebuilt) RebuildTransform(*movement);
    return {};
}

Value GetField(ScriptMachine& machine, int32_t argumentCount, Value* arguments, const char* builtin, Field field) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    if (!args.EntityIdAt(0, builtin, id)) return RealResult(machine, 0);
    const MovementComponent* movement = FindMovement(id);
    if (movement == nullptr) return NeutralReal(machine, builtin);
    return RealResult(machine, movement->*field);
}

enum class Neutral { Zeros, Ones };

Value GetFields(ScriptMachine& machine, int32_t argumentCount, Value* arguments, const char* builtin, Field a,
                Field b, Field c, Neutral neutral) {
    const BuiltinArgs args(argumentCount, arguments);
    EntityId id = 0;
    const double fallback = neutral == Neutral::Ones ? 1 : 0;
    if (!args.EntityIdAt(0, builtin, id)) return RealArrayResult(machine, {fallback, fallback, fallback});
    const MovementComponent* movement = FindMovement(id);
    if (movement == nullptr) {
        return neutral == Neutral::Ones ? NeutralScale(machine, builtin) : NeutralPosition(machine, builtin);
    }
    return RealArrayResult(machine, {movement->*a, movement->*b, movement->*c});
}

using M = MovementComponent;

}  // namespace

Value SysMovementAdd(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    EntityId id = 0;
    if (BuiltinArgs(argumentCount, arguments).ExistingEntityAt(0, "SysMovement_Add", id)) AddMovement(id);
    return {};
}

Value SysMovementRemove(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    EntityId id = 0;
    if (BuiltinArgs(argumentCount, arguments).EntityIdAt(0, "SysMovement_Remove", id)) RemoveMovement(id);
    return {};
}

Value SysMovementSetPosition(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetPosition", {&M::x, &M::y, &M::z}, Angles::Unchanged, Matrix::Rebuilt);
}
Value SysMovementSetX(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetX", {&M::x}, Angles::Unchanged, Matrix::Rebuilt);
}
Value SysMovementSetY(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetY", {&M::y}, Angles::Unchanged, Matrix::Rebuilt);
}
Value SysMovementSetZ(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetZ", {&M::z}, Angles::Unchanged, Matrix::Rebuilt);
}
Value SysMovementSetRotation(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetRotation", {&M::angleX, &M::angleY, &M::angleZ}, Angles::FromDegrees,
                     Matrix::Rebuilt);
}
Value SysMovementSetAngleX(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetAngleX", {&M::angleX}, Angles::FromDegrees, Matrix::Rebuilt);
}
Value SysMovementSetAngleY(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetAngleY", {&M::angleY}, Angles::FromDegrees, Matrix::Rebuilt);
}
Value SysMovementSetAngleZ(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetAngleZ", {&M::angleZ}, Angles::FromDegrees, Matrix::Rebuilt);
}
Value SysMovementSetScale(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetScale", {&M::scaleX, &M::scaleY, &M::scaleZ}, Angles::Unchanged,
                     Matrix::Rebuilt);
}
Value SysMovementSetScaleX(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetScaleX", {&M::scaleX}, Angles::Unchanged, Matrix::Rebuilt);
}
Value SysMovementSetScaleY(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetScaleY", {&M::scaleY}, Angles::Unchanged, Matrix::Rebuilt);
}
Value SysMovementSetScaleZ(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetScaleZ", {&M::scaleZ}, Angles::Unchanged, Matrix::Rebuilt);
}
Value SysMovementSetSpeed(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetSpeed", {&M::speed}, Angles::Unchanged, Matrix::Rebuilt);
}
// Turn rates are radians per frame, stored as given; X, Y and Z land in other slots than their names.
Value SysMovementSetAngularVelocity(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetAngularVelocity", {&M::turnX, &M::turnY, &M::turnZ}, Angles::Unchanged,
                     Matrix::Kept);
}
Value SysMovementSetAngularVelocityX(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetAngularVelocityX", {&M::turnZ}, Angles::Unchanged, Matrix::Kept);
}
Value SysMovementSetAngularVelocityY(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetAngularVelocityY", {&M::turnX}, Angles::Unchanged, Matrix::Kept);
}
Value SysMovementSetAngularVelocityZ(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetAngularVelocityZ", {&M::turnY}, Angles::Unchanged, Matrix::Kept);
}
Value SysMovementSetAcceleration(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetAcceleration", {&M::acceleration}, Angles::Unchanged, Matrix::Kept);
}
Value SysMovementSetMaxSpeed(ScriptMachine&, int32_t n, Value* a) {
    return SetFields(n, a, "SysMovement_SetMaxSpeed", {&M::maxSpeed}, Angles::Unchanged, Matrix::Kept);
}

Value SysMovementGetPosition(ScriptMachine& m, int32_t n, Value* a) {
    return GetFields(m, n, a, "SysMovement_GetPosition", &M::x, &M::y, &M::z, Neutral::Zeros);
}
Value SysMovementGetX(ScriptMachine& m, int32_t n, Value* a) {
    return GetField(m, n, a, "SysMovement_GetX", &M::x);
}
Value SysMovementGetY(ScriptMachine& m, int32_t n, Value* a) {
    return GetField(m, n, a, "SysMovement_GetY", &M::y);
}
Value SysMovementGetZ(ScriptMachine& m, int32_t n, Value* a) {
    return GetField(m, n, a, "SysMovement_GetZ", &M::z);
}
Value SysMovementGetRotation(ScriptMachine& m, int32_t n, Value* a) {
    return GetFields(m, n, a, "SysMovement_GetRotation", &M::angleX, &M::angleY, &M::angleZ, Neutral::Zeros);
}
Value SysMovementGetAngleX(ScriptMachine& m, int32_t n, Value* a) {
    return GetField(m, n, a, "SysMovement_GetAngleX", &M::angleX);
}
Value SysMovementGetAngleY(ScriptMachine& m, int32_t n, Value* a) {
    return GetField(m, n, a, "SysMovement_GetAngleY", &M::angleY);
}
Value SysMovementGetAngleZ(ScriptMachine& m, int32_t n, Value* a) {
    return GetField(m, n, a, "SysMovement_GetAngleZ", &M::angleZ);
}
Value SysMovementGetScale(ScriptMachine& m, int32_t n, Value* a) {
    return GetFields(m, n, a, "SysMovement_GetScale", &M::scaleX, &M::scaleY, &M::scaleZ, Neutral::Ones);
}
Value SysMovementGetSpeed(ScriptMachine& m, int32_t n, Value* a) {
    return GetField(m, n, a, "SysMovement_GetSpeed", &M::speed);
}
