#include "ecs/enemy.h"

#include "base/console.h"
#include "ecs/binding_args.h"
#include "ecs/collision.h"
#include "ecs/shot.h"
#include "ecs/system_callbacks.h"

EnemySystem g_enemies;

namespace {

const char kEnemyMissing[] =
    "\nblueblack{ECS warning:} yellowblack{Unable to find Enemy Component for Entity} aquablack{%i} "
    "yellowblack{while executing} ";

void EnemyDeletionCallback(EntityId id) {
    g_enemies.store.Remove(id);
}

// Player shots are the hits an enemy can use; entities without a Shot component are listed too, so
// that their warning is printed, while the enemy's own bullets never crowd the list.
bool IsNotEnemyShot(const ColliderHit& hit, void*) {
    const ShotRecord* shot = LookupShot(hit.id);
    return shot == nullptr || shot->playerShot == 1;
}

}  // namespace

void ResetEnemySystem() {
    g_enemies.store.Reset();
}

void InitEnemySystem() {
    g_enemies.store.name = "Enemy";
    g_enemies.store.missingWarning = kEnemyMissing;
    AddDeletionCallback(EnemyDeletionCallback);
    AddUpdateCallback(UpdateEnemies);
}

EnemyRecord* AddEnemy(EntityId id) {
    if (!IsEntityIdInRange(id) || id == 0 || g_entities.exists[id] == 0) {
        ReportInvalidEntityId(id, "AddEnemy");
        return nullptr;
    }
    if (EnemyRecord* existing = LookupEnemy(id)) return existing;
    return g_enemies.store.Add(id);
}

EnemyRecord* LookupEnemy(EntityId id) {
    return g_enemies.store.Lookup(id);
}

EnemyRecord* FindEnemy(EntityId id) {
    return g_enemies.store.Find(id);
}

uint16_t AddedLife(uint16_t life, int64_t amount) {
    const int64_t sum = static_cast<int64_t>(life) + amount;
    return static_cast<uint16_t>(sum < 0 ? 0 : sum > 65535 ? 65535 : sum);
}

int8_t DamageRate(int64_t percent) {
    return static_cast<int8_t>(percent < -128 ? -128 : percent > 127 ? 127 : percent);
}

void UpdateEnemies() {
    auto& store = g_enemies.store;
    // A deleted enemy's place takes the last record, which waits for the next frame.
    for (uint16_t i = 0; i < store.count; ++i) {
        const EntityId id = store.ids[i];
        EnemyRecord& enemy = store.records[i];
        enemy.hitCount = 0;
        const HitList hits = QueryCollider(id, enemy.shotCollider, false, IsNotEnemyShot);
        for (uint8_t h = 0; h < hits.count; ++h) {
            const ShotRecord* shot = FindShot(hits.hits[h].id);
            if (shot == nullptr) {
                ReportReturning("SysShot_IsPlayerShot", "aquablack{0}");
                continue;
            }
            if (shot->playerShot != 1) continue;
            ++enemy.hitCount;
            if (enemy.life > 0) {
                const int32_t taken = static_cast<int32_t>(enemy.damageRateShot) * shot->damage / 100;
                enemy.life = AddedLife(enemy.life, -static_cast<int64_t>(taken));
            } else {
                DeleteEntity(id);
                break;
            }
        }
    }
}
