#pragma once
// Shots: the bullets of the game. Entities with a Shot component carry damage, a graphic from a
// loaded shot sheet, a collider and a few timers; the update moves them through their lives and
// deletes them at the boundary, at their delete frame or when a player shot erases them.

#include <cstdint>
#include <string>

#include "ecs/component_store.h"
#include "ecs/entity.h"

struct ScriptMachine;
struct TextureHandle;

// One graphic of a loaded sheet.
struct ShotGraphic {
    uint16_t id = 0;
    int32_t rect[4] = {0, 0, 0, 0};  // left, top, right, bottom in texture pixels
    TextureHandle* texture = nullptr;  // the sheet's, held for the whole run
    uint8_t delayColor[3] = {255, 255, 255};
    int8_t angularVelocity = 0;
    uint8_t collision = 0;  // radius; 0: the graphic defines none
    uint8_t render = 0;
    uint8_t fixedAngle = 0;
};

inline constexpr uint16_t kEnemyGraphicCapacity = 2048;
inline constexpr uint16_t kPlayerGraphicCapacity = 256;

template <uint16_t Capacity>
struct ShotGraphicTable {
    ShotGraphic entries[Capacity];
    uint16_t count;
};

struct ShotRecord {
    uint16_t graphicId = 0;
    uint16_t damage = 0;
    uint16_t spawnDelay = 0;
    uint16_t deleteFrame = 0;        // frames left; 0: never
    uint16_t grazeInvalidFrame = 0;  // frames a grazed shot cannot be grazed again; 0: never again
    uint16_t grazeCounter = 0;       // 0: may be grazed; 65535: grazed for good
    EntityId childId = 0;            // released by this shot; 0: none
    uint16_t childDelay = 0;
    float childDistance = 0;
    float childAngle = 0;  // degrees
    uint32_t sourceBlendType = 0;
    uint8_t colliderId = 255;  // MULTIPLE_ERROR: none
    uint8_t penetration = 0;
    uint8_t collisionEnable = 1;
    uint8_t playerShot = 0;
    uint8_t autoDelete = 1;
    uint8_t spellResist = 0;
    uint8_t eraseShot = 0;
    uint8_t spellFactor = 0;
    uint8_t itemChange = 1;
};

inline constexpr uint16_t kShotCapacity = 2048;

struct ShotBoundary {
    int32_t left = 32, top = 16, right = 416, bottom = 464;
};
inline constexpr int32_t kShotBoundaryMargin = 64;

struct ShotSystem {
    ComponentStore<ShotRecord, kShotCapacity> store;
    ShotGraphicTable<kEnemyGraphicCapacity> enemyGraphics;
    ShotGraphicTable<kPlayerGraphicCapacity> playerGraphics;
    ShotBoundary boundary;
    uint16_t parentsWithChild;  // shots whose childId is set: deletions look for them only then
};
extern ShotSystem g_shots;

void ResetShotSystem();
// Registers the update and deletion callbacks.
void InitShotSystem();

// Sheets add to a table; a graphic id already there is overwritten.
void LoadEnemyShotData(const std::string& path);
void LoadPlayerShotData(const std::string& path);
// The first graphic with the id; an unknown id warns and gives the table's first entry, an empty
// table warns and gives an empty graphic.
const ShotGraphic& FindEnemyGraphic(uint16_t id);
const ShotGraphic& FindPlayerGraphic(uint16_t id);

// A fresh record with the defaults; nothing when the entity already has one or names no entity.
ShotRecord* AddShot(EntityId id);
void RemoveShot(EntityId id);
ShotRecord* LookupShot(EntityId id);
// With the Shot warning when missing (the caller's own line follows).
ShotRecord* FindShot(EntityId id);

// The graphic, its collision radius on the shot's collider and its sprite.
void SetShotGraphic(EntityId id, uint16_t graphicId);
void SetShotChild(EntityId parent, EntityId child, uint16_t delay, float distance, float angle);
// Mode 0: every shot; mode 1: the spell-resistant ones; others: none.
void DeleteAllShots(int64_t mode);

// A complete bullet owned by the calling script; returns its id (0 when the entity table is full).
EntityId CreateShotA2(ScriptMachine& machine, float x, float y, float speed, float angle, float acceleration,
                      float maxSpeed, uint16_t graphicId, uint16_t delay);

void UpdateShots();

// The sprite side of shots, kept apart from their logic.
TextureHandle* LoadSheetTexture(const std::string& imagePath);
void AddShotSprite(EntityId id);
void SetShotSprite(EntityId id, const ShotGraphic& graphic);
