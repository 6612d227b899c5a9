#include "ecs/player.h"

#include "base/input_state.h"
#include "ecs/binding_args.h"
#include "ecs/collision.h"
#include "ecs/enemy.h"
#include "ecs/movement.h"
#include "ecs/object_type.h"
#include "ecs/script_hooks.h"
#include "ecs/shot.h"
#include "ecs/system_callbacks.h"

PlayerSystem g_players;

namespace {

const char kPlayerMissing[] =
    "\nblueblack{ECS warning:} yellowblack{Unable to find Player Component for Entity} aquablack{%i} "
    "yellowblack{while executing} ";

void PlayerDeletionCallback(EntityId id) {
    g_players.store.Remove(id);
}

bool IsShotType(int32_t type) {
    return type >= kFirstShotObjectType && type <= kLastShotObjectType;
}

// What hurts the player: an enemy touched with its player collider, or a shot that is no player
// shot. Other touching colliders are no hits and never crowd those out of the list.
bool HurtsPlayer(const ColliderHit& hit, void*) {
    const int32_t type = g_objectTypes.types[hit.id];
    if (type == kEnemyObjectType) {
        const EnemyRecord* enemy = FindEnemy(hit.id);
        if (enemy == nullptr) ReportReturning("SysEnemy_GetColliderPlayer", "aquablack{MULTIPLE_ERROR}");
        return (enemy != nullptr ? enemy->playerCollider : 255) == hit.multipleId;
    }
    if (!IsShotType(type)) return false;
    const ShotRecord* shot = FindShot(hit.id);
    if (shot == nullptr) ReportReturning("SysShot_IsPlayerShot", "aquablack{0}");
    return shot == nullptr || shot->playerShot == 0;
}

bool IsGrazeable(const ColliderHit& hit, void*) {
    if (!IsShotType(g_objectTypes.types[hit.id])) return false;
    const ShotRecord* shot = FindShot(hit.id);
    if (shot == nullptr) {
        ReportReturning("SysShot_IsPlayerShot", "aquablack{0}");
        ReportReturning("SysShot_Graze", "aquablack{FALSE}");
        return false;
    }
    return shot->playerShot == 0 && shot->grazeCounter == 0;
}

// Events run scripts, which may delete anything: the record is found again by id afterwards.
PlayerRecord* Broadcast(EntityId id, double eventType) {
    if (g_scriptHooks.broadcast != nullptr) g_scriptHooks.broadcast(eventType);
    if (g_entities.exists[id] == 0) return nullptr;
    return LookupPlayer(id);
}

// Returns false when the detection's events or deletions took the player away.
bool DetectHitsAndGrazes(EntityId id) {
    PlayerRecord* player = LookupPlayer(id);
    const HitList hits = QueryCollider(id, player->hitboxCollider, false, HurtsPlayer);
    uint8_t hitCount = 0;
    for (uint8_t h = 0; h < hits.count; ++h) {
        const EntityId other = hits.hits[h].id;
        if (g_objectTypes.types[other] != kEnemyObjectType && g_entities.exists[other] != 0) DeleteEntity(other);
        ++hitCount;
    }
    player = LookupPlayer(id);
    if (player == nullptr) return false;
    player->hitCount = hitCount;

    const HitList grazes = QueryCollider(id, player->grazeboxCollider, false, IsGrazeable);
    for (uint8_t g = 0; g < grazes.count; ++g) {
        ShotRecord* shot = LookupShot(grazes.hits[g].id);
        if (shot == nullptr) continue;
        shot->grazeCounter = shot->grazeInvalidFrame != 0 ? shot->grazeInvalidFrame : 65535;
        ++player->grazeCount;
    }
    if (player->grazeCount > 0) {
        player = Broadcast(id, kGrazeEvent);
        if (player == nullptr) return false;
    }
    if (player->hitCount > 0) {
        player->state = PlayerCounterspell;
        player->counterspell = player->initialCounterspell;
    }
    return true;
}

// One axis moved by one held key; a missing Movement component warns as the getter and setter would.
void Move(EntityId id, bool vertical, float delta) {
    MovementComponent* movement = FindMovement(id);
    if (movement == nullptr) {
        ReportReturning(vertical ? "SysMovement_GetY" : "SysMovement_GetX", "aquablack{0}");
        FindMovement(id);
        ReportMissingIn(vertical ? "SysMovement_SetY" : "SysMovement_SetX");
        return;
    }
    (vertical ? movement->y : movement->x) += delta;
    RebuildTransform(*movement);
}

void MoveWithKeys(EntityId id, const PlayerRecord& player) {
    const float speed = IsKeyDown(kFocusKey) ? player.focusSpeed : player.unfocusSpeed;
    if (IsKeyDown(kUpKey)) Move(id, true, -speed);
    if (IsKeyDown(kDownKey)) Move(id, true, speed);
    if (IsKeyDown(kLeftKey)) Move(id, false, -speed);
    if (IsKeyDown(kRightKey)) Move(id, false, speed);
}

void UpdatePlayer(EntityId id) {
    PlayerRecord* player = LookupPlayer(id);
    player->hitCount = 0;
    player->grazeCount = 0;
    switch (player->state) {
        case PlayerDown:
            if (player->downState > 0) {
                --player->downState;
            } else {
                player->invincibility = player->initialInvincibility;
                player->state = PlayerNormal;
            }
            return;
        case PlayerCounterspell:
            if (player->counterspell > 0) {
                --player->counterspell;
            } else {
                player->downState = player->initialDownState;
                player->state = PlayerDown;
                player->life -= 1;
                Broadcast(id, kLostLifeEvent);
            }
            return;
        default:
            break;
    }
    if (player->invincibility > 0) {
        --player->invincibility;
    } else if (!DetectHitsAndGrazes(id)) {
        return;
    }
    // The ship moves also in the frame a hit was detected.
    if (const PlayerRecord* moving = LookupPlayer(id)) MoveWithKeys(id, *moving);
}

}  // namespace

void ResetPlayerSystem() {
    g_players.store.Reset();
}

void InitPlayerSystem() {
    g_players.store.name = "Player";
    g_players.store.missingWarning = kPlayerMissing;
    AddDeletionCallback(PlayerDeletionCallback);
    AddUpdateCallback(UpdatePlayers);
}

PlayerRecord* AddPlayer(EntityId id) {
    if (!IsEntityIdInRange(id) || id == 0 || g_entities.exists[id] == 0) {
        ReportInvalidEntityId(id, "AddPlayer");
        return nullptr;
    }
    if (PlayerRecord* existing = LookupPlayer(id)) return existing;
    return g_players.store.Add(id);
}

PlayerRecord* LookupPlayer(EntityId id) {
    return g_players.store.Lookup(id);
}

PlayerRecord* FindPlayer(EntityId id) {
    return g_players.store.Find(id);
}

void UpdatePlayers() {
    // By id, not by place: events and deletions during one player's update may move or take the other.
    EntityId ids[kPlayerCapacity];
    const uint16_t count = g_players.store.count;
    for (uint16_t i = 0; i < count; ++i) ids[i] = g_players.store.ids[i];
    for (uint16_t i = 0; i < count; ++i) {
        if (g_entities.exists[ids[i]] == 0 || g_entities.active[ids[i]] == 0) continue;
        if (LookupPlayer(ids[i]) != nullptr) UpdatePlayer(ids[i]);
    }
}
