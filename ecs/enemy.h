#pragma once
// Enemies: a life counter that player shots wear down, and the two colliders the enemy names: the
// one player shots hit and the one that hurts the player.

#include <cstdint>

#include "ecs/component_store.h"
#include "ecs/entity.h"

struct EnemyRecord {
    uint16_t life = 100;
    int8_t damageRateSpell = 100;  // percent
    int8_t damageRateShot = 100;   // percent of a player shot's damage taken; negative heals
    uint8_t shotCollider = 255;    // MULTIPLE_ERROR: none
    uint8_t playerCollider = 255;
    uint8_t hitCount = 0;  // player-shot hits this frame
};

inline constexpr uint16_t kEnemyCapacity = 64;

struct EnemySystem {
    ComponentStore<EnemyRecord, kEnemyCapacity> store;
};
extern EnemySystem g_enemies;

void ResetEnemySystem();
// Registers the update and deletion callbacks.
void InitEnemySystem();

// Nothing when the entity already has one or names no live entity.
EnemyRecord* AddEnemy(EntityId id);
EnemyRecord* LookupEnemy(EntityId id);
// With the Enemy warning when missing (the caller's own line follows).
EnemyRecord* FindEnemy(EntityId id);

// Life kept within 0 to 65535 whatever is added; rates kept within a signed byte.
uint16_t AddedLife(uint16_t life, int64_t amount);
int8_t DamageRate(int64_t percent);

void UpdateEnemies();
