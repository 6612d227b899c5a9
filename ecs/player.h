#pragma once
// The player's ship: moved with the arrow keys at a normal or focused speed, hit by enemies and enemy
// shots through its hitbox collider, grazing shots through a larger collider, and the life cycle of
// a hit (counterspell window, down state, invincibility). Grazes and lost lives reach the scripts as
// events 19 and 20.

#include <cstdint>

#include "ecs/component_store.h"
#include "ecs/entity.h"

enum PlayerState : uint32_t {
    PlayerNormal = 0,
    PlayerCounterspell = 1,
    PlayerDown = 2,
};

struct PlayerRecord {
    float unfocusSpeed = 4.0f;
    float focusSpeed = 1.6f;
    float power = 1.0f;
    float life = 2.0f;
    float spell = 3.0f;
    int32_t clip[4] = {0, 0, 384, 448};  // stored only: movement is not clipped
    uint16_t initialInvincibility = 120;
    uint16_t invincibility = 120;  // a new player starts invincible
    uint16_t initialDownState = 120;
    uint16_t downState = 0;
    uint16_t initialCounterspell = 15;
    uint16_t counterspell = 0;
    uint16_t counterspellFrameLoss = 3;
    uint16_t autoItemCollectLine = 65535;
    uint8_t hitboxCollider = 255;
    uint8_t grazeboxCollider = 255;
    uint8_t hitCount = 0;
    uint8_t grazeCount = 0;
    uint32_t state = PlayerNormal;
    uint8_t shotAllowed = 1;
    uint8_t spellAllowed = 1;
    uint8_t counterspellActive = 0;
    uint8_t spellActive = 0;
};

inline constexpr uint16_t kPlayerCapacity = 2;
inline constexpr double kGrazeEvent = 19;
inline constexpr double kLostLifeEvent = 20;

// Object types the player reacts to.
inline constexpr int32_t kEnemyObjectType = 103;
inline constexpr int32_t kFirstShotObjectType = 106;
inline constexpr int32_t kLastShotObjectType = 109;

// Virtual-key codes of the controls.
inline constexpr uint32_t kFocusKey = 160;  // left Shift
inline constexpr uint32_t kUpKey = 38;
inline constexpr uint32_t kDownKey = 40;
inline constexpr uint32_t kLeftKey = 37;
inline constexpr uint32_t kRightKey = 39;

struct PlayerSystem {
    ComponentStore<PlayerRecord, kPlayerCapacity> store;
};
extern PlayerSystem g_players;

void ResetPlayerSystem();
// Registers the update and deletion callbacks.
void InitPlayerSystem();

// Nothing when the entity already has one (a second record would double its speed and timers) or
// names no live entity.
PlayerRecord* AddPlayer(EntityId id);
PlayerRecord* LookupPlayer(EntityId id);
// With the Player warning when missing (the caller's own line follows).
PlayerRecord* FindPlayer(EntityId id);

void UpdatePlayers();
