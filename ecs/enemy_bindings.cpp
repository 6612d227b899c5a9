#include "ecs/enemy_bindings.h"

#include "ecs/binding_args.h"
#include "ecs/enemy.h"

namespace {

enum class EnemyLookup { InvalidId, Missing, Found };

// An id outside the table gets the Invalid Entity warning alone; a missing component the Enemy
// warning, which the caller completes with its own line.
EnemyLookup EnemyAt(const BuiltinArgs& args, const char* builtin, EnemyRecord*& enemy) {
    EntityId id = 0;
    if (!args.EntityIdAt(0, builtin, id)) return EnemyLookup::InvalidId;
    enemy = FindEnemy(id);
    return enemy != nullptr ? EnemyLookup::Found : EnemyLookup::Missing;
}

template <typename Change>
Value Set(int32_t count, Value* values, const char* builtin, Change change) {
    const BuiltinArgs args(count, values);
    EnemyRecord* enemy = nullptr;
    const EnemyLookup found = EnemyAt(args, builtin, enemy);
    if (found == EnemyLookup::Found) change(*enemy, args);
    if (found == EnemyLookup::Missing) ReportMissingIn(builtin);
    return {};
}

Value Get(ScriptMachine& machine, int32_t count, Value* values, const char* builtin, double (*read)(const EnemyRecord&)) {
    EnemyRecord* enemy = nullptr;
    switch (EnemyAt(BuiltinArgs(count, values), builtin, enemy)) {
        case EnemyLookup::Found:
            return RealResult(machine, read(*enemy));
        case EnemyLookup::Missing:
            return NeutralReal(machine, builtin);
        case EnemyLookup::InvalidId:
            break;
    }
    return RealResult(machine, 0);
}

Value GetCollider(ScriptMachine& machine, int32_t count, Value* values, const char* builtin,
                  uint8_t EnemyRecord::*field) {
    EnemyRecord* enemy = nullptr;
    const EnemyLookup found = EnemyAt(BuiltinArgs(count, values), builtin, enemy);
    if (found == EnemyLookup::Found) return RealResult(machine, enemy->*field);
    if (found == EnemyLookup::Missing) ReportReturning(builtin, "aquablack{MULTIPLE_ERROR}");
    return RealResult(machine, 255);
}

}  // namespace

Value SysEnemyAdd(ScriptMachine&, int32_t count, Value* values) {
    EntityId id = 0;
    if (BuiltinArgs(count, values).ExistingEntityAt(0, "SysEnemy_Add", id)) AddEnemy(id);
    return {};
}

Value SysEnemyRemove(ScriptMachine&, int32_t count, Value* values) {
    EntityId id = 0;
    if (BuiltinArgs(count, values).EntityIdAt(0, "SysEnemy_Remove", id)) g_enemies.store.Remove(id);
    return {};
}

Value SysEnemyGetLife(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysEnemy_GetLife", [](const EnemyRecord& e) -> double { return e.life; });
}

Value SysEnemyGetDamageRateShot(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysEnemy_GetDamageRateShot",
               [](const EnemyRecord& e) -> double { return e.damageRateShot; });
}

Value SysEnemyGetDamageRateSpell(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysEnemy_GetDamageRateSpell",
               [](const EnemyRecord& e) -> double { return e.damageRateSpell; });
}

Value SysEnemyGetHitCount(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysEnemy_GetHitCount",
               [](const EnemyRecord& e) -> double { return e.hitCount; });
}

Value SysEnemySetLife(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysEnemy_SetLife",
               [](EnemyRecord& e, const BuiltinArgs& args) { e.life = args.FrameCount(1); });
}

Value SysEnemyAddLife(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysEnemy_AddLife",
               [](EnemyRecord& e, const BuiltinArgs& args) { e.life = AddedLife(e.life, args.Integer(1)); });
}

Value SysEnemySetDamageRateShot(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysEnemy_SetDamageRateShot",
               [](EnemyRecord& e, const BuiltinArgs& args) { e.damageRateShot = DamageRate(args.Integer(1)); });
}

Value SysEnemySetDamageRateSpell(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysEnemy_SetDamageRateSpell",
               [](EnemyRecord& e, const BuiltinArgs& args) { e.damageRateSpell = DamageRate(args.Integer(1)); });
}

Value SysEnemySetColliderShot(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysEnemy_SetColliderShot",
               [](EnemyRecord& e, const BuiltinArgs& args) { e.shotCollider = args.Byte(1); });
}

Value SysEnemyGetColliderShot(ScriptMachine& machine, int32_t count, Value* values) {
    return GetCollider(machine, count, values, "SysEnemy_GetColliderShot", &EnemyRecord::shotCollider);
}

Value SysEnemySetColliderPlayer(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysEnemy_SetColliderPlayer",
               [](EnemyRecord& e, const BuiltinArgs& args) { e.playerCollider = args.Byte(1); });
}

Value SysEnemyGetColliderPlayer(ScriptMachine& machine, int32_t count, Value* values) {
    return GetCollider(machine, count, values, "SysEnemy_GetColliderPlayer", &EnemyRecord::playerCollider);
}
