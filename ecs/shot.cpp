#include "ecs/shot.h"

#include <cmath>
#include <vector>

#include "base/console.h"
#include "ecs/collision.h"
#include "ecs/movement.h"
#include "ecs/ownership.h"
#include "ecs/script_hooks.h"
#include "ecs/shot_sheet.h"
#include "ecs/system_callbacks.h"

ShotSystem g_shots;

namespace {

const char kShotMissing[] =
    "\nblueblack{ECS warning:} yellowblack{Unable to find Shot Component for Entity} aquablack{%i} "
    "yellowblack{while executing} ";

template <uint16_t Capacity>
void LoadInto(ShotGraphicTable<Capacity>& table, const char* tableName, const std::string& path) {
    const ShotSheet sheet = LoadShotSheet(path);
    TextureHandle* texture = LoadSheetTexture(sheet.imagePath);
    for (const ShotSheetRecord& record : sheet.records) {
        ShotGraphic* entry = nullptr;
        for (uint16_t i = 0; i < table.count && entry == nullptr; ++i) {
            if (table.entries[i].id == record.id) entry = &table.entries[i];
        }
        if (entry == nullptr) {
            if (table.count >= Capacity) {
                ConsolePrintf(
                    "\nblueblack{Shot sheet manager warning:} yellowblack{The} aquablack{%s} yellowblack{shot "
                    "table is full (} aquablack{%u} yellowblack{graphics), shot id} aquablack{%i} "
                    "yellowblack{of} aquablack{%s} yellowblack{is not added}",
                    tableName, static_cast<unsigned>(Capacity), static_cast<int>(record.id), path.c_str());
                continue;
            }
            entry = &table.entries[table.count++];
        }
        entry->id = record.id;
        for (int k = 0; k < 4; ++k) entry->rect[k] = record.rect[k];
        entry->texture = texture;
        for (int k = 0; k < 3; ++k) entry->delayColor[k] = record.delayColor[k];
        entry->angularVelocity = record.angularVelocity;
        entry->collision = record.collision;
        entry->render = 0;
        entry->fixedAngle = record.fixedAngle;
    }
}

template <uint16_t Capacity>
const ShotGraphic& FindIn(const ShotGraphicTable<Capacity>& table, uint16_t id) {
    for (uint16_t i = 0; i < table.count; ++i) {
        if (table.entries[i].id == id) return table.entries[i];
    }
    if (table.count == 0) {
        // Before any sheet there is no first entry to fall back on.
        static const ShotGraphic kEmpty{};
        ConsolePrintf(
            "\nblueblack{Shot sheet manager warning:} yellowblack{No shot sheet is loaded, shot id} "
            "aquablack{%i} yellowblack{gets an empty graphic}",
            static_cast<int>(id));
        return kEmpty;
    }
    ConsolePrintf(
        "\nblueblack{Shot sheet manager warning:} yellowblack{Unable to find a shot with id} aquablack{%i} "
        "yellowblack{in loaded enemy shotsheets, returning data from shot id} aquablack{0}",
        static_cast<int>(id));
    return table.entries[0];
}

void SetEntityPosition(EntityId id, float x, float y) {
    MovementComponent* movement = LookupMovement(id);
    if (movement == nullptr) return;
    movement->x = x;
    movement->y = y;
    RebuildTransform(*movement);
}

// A child whose entity is deleted is forgotten by its parent, so that an unrelated entity taking the
// same id later is never moved or activated by the release.
void ForgetChild(EntityId child) {
    if (g_shots.parentsWithChild == 0) return;
    auto& store = g_shots.store;
    for (uint16_t i = 0; i < store.count; ++i) {
        ShotRecord& shot = store.records[i];
        if (shot.childId != child) continue;
        shot.childId = 0;
        shot.childDelay = 0;
        shot.childAngle = 0;
        --g_shots.parentsWithChild;
    }
}

void ShotDeletionCallback(EntityId id) {
    ShotRecord* shot = LookupShot(id);
    if (shot != nullptr && shot->childId != 0) --g_shots.parentsWithChild;
    g_shots.store.Remove(id);
    ForgetChild(id);
}

void ReleaseChild(EntityId id, ShotRecord& shot) {
    const EntityId child = shot.childId;
    float x = 0;
    float y = 0;
    if (const MovementComponent* movement = LookupMovement(id)) {
        x = movement->x;
        y = movement->y;
    }
    if (shot.childDistance != 0) {
        const float radians = MovementRadians(shot.childAngle);
        x += shot.childDistance * std::cos(radians);
        y += shot.childDistance * std::sin(radians);
    }
    shot.childId = 0;
    shot.childDelay = 0;
    shot.childAngle = 0;
    --g_shots.parentsWithChild;
    if (!IsEntityIdInRange(child) || g_entities.exists[child] == 0) return;
    SetEntityPosition(child, x, y);
    g_entities.active[child] = 1;
}

bool IsEnemyShot(const ColliderHit& hit, void*) {
    const ShotRecord* shot = LookupShot(hit.id);
    return shot != nullptr && shot->playerShot == 0;
}

// A player shot erasing the enemy shots it touches. Returns false once it is deleted itself.
bool EraseTouchedShots(EntityId id) {
    const ShotRecord* shot = LookupShot(id);
    if (shot == nullptr) return false;
    const HitList hits = QueryCollider(id, shot->colliderId, true, IsEnemyShot);
    for (uint8_t h = 0; h < hits.count; ++h) {
        const EntityId hit = hits.hits[h].id;
        // An earlier deletion may have taken it (or its owner) already.
        if (g_entities.exists[hit] == 0 || LookupShot(hit) == nullptr) continue;
        DeleteEntity(hit);
        // Deletions move records: find this shot again.
        ShotRecord* self = LookupShot(id);
        if (self == nullptr) return false;
        if (self->penetration > 0) {
            --self->penetration;
        } else {
            DeleteEntity(id);
            return false;
        }
    }
    return true;
}

}  // namespace

void ResetShotSystem() {
    g_shots.store.Reset();
    g_shots.enemyGraphics.count = 0;
    g_shots.playerGraphics.count = 0;
    g_shots.boundary = ShotBoundary{};
    g_shots.parentsWithChild = 0;
}

void InitShotSystem() {
    g_shots.store.name = "Shot";
    g_shots.store.missingWarning = kShotMissing;
    AddDeletionCallback(ShotDeletionCallback);
    AddUpdateCallback(UpdateShots);
}

void LoadEnemyShotData(const std::string& path) {
    LoadInto(g_shots.enemyGraphics, "enemy", path);
}

void LoadPlayerShotData(const std::string& path) {
    LoadInto(g_shots.playerGraphics, "player", path);
}

const ShotGraphic& FindEnemyGraphic(uint16_t id) {
    return FindIn(g_shots.enemyGraphics, id);
}

const ShotGraphic& FindPlayerGraphic(uint16_t id) {
    return FindIn(g_shots.playerGraphics, id);
}

ShotRecord* AddShot(EntityId id) {
    if (!IsEntityIdInRange(id) || id == 0 || g_entities.exists[id] == 0) {
        ReportInvalidEntityId(id, "AddShot");
        return nullptr;
    }
    if (ShotRecord* existing = LookupShot(id)) return existing;
    return g_shots.store.Add(id);
}

void RemoveShot(EntityId id) {
    ShotRecord* shot = LookupShot(id);
    if (shot == nullptr) return;
    if (shot->childId != 0) --g_shots.parentsWithChild;
    g_shots.store.Remove(id);
}

ShotRecord* LookupShot(EntityId id) {
    return g_shots.store.Lookup(id);
}

ShotRecord* FindShot(EntityId id) {
    return g_shots.store.Find(id);
}

void SetShotGraphic(EntityId id, uint16_t graphicId) {
    ShotRecord* shot = LookupShot(id);
    if (shot == nullptr) return;
    shot->graphicId = graphicId;
    const ShotGraphic& graphic = shot->playerShot == 1 ? FindPlayerGraphic(graphicId) : FindEnemyGraphic(graphicId);
    if (graphic.collision != 0) {
        if (ColliderComponent* collider = LookupCollider(id, shot->colliderId))
            SetColliderCircle(*collider, 0, 0, graphic.collision);
    }
    SetShotSprite(id, graphic);
}

void SetShotChild(EntityId parent, EntityId child, uint16_t delay, float distance, float angle) {
    ShotRecord* shot = LookupShot(parent);
    if (shot == nullptr) return;
    if (shot->childId == 0 && child != 0) ++g_shots.parentsWithChild;
    if (shot->childId != 0 && child == 0) --g_shots.parentsWithChild;
    shot->childId = child;
    shot->childDelay = delay;
    shot->childDistance = distance;
    shot->childAngle = angle;
}

void DeleteAllShots(int64_t mode) {
    if (mode != 0 && mode != 1) return;
    // Each shot present now is considered once, whatever the deletions move or take with them.
    std::vector<EntityId> ids;
    for (uint16_t i = 0; i < g_shots.store.count; ++i) {
        if (mode == 0 || g_shots.store.records[i].spellResist == 1) ids.push_back(g_shots.store.ids[i]);
    }
    for (EntityId id : ids) {
        if (g_entities.exists[id] != 0 && LookupShot(id) != nullptr) DeleteEntity(id);
    }
}

EntityId CreateShotA2(ScriptMachine& machine, float x, float y, float speed, float angle, float acceleration,
                      float maxSpeed, uint16_t graphicId, uint16_t delay) {
    const EntityId id = CreateEntity(true);
    if (id == 0) return 0;
    const uint8_t colliderId = AddCollider(id);
    const int slot = CallingScriptSlot(machine, kOwnerScriptSlots);
    SetOwner(id, static_cast<uint16_t>(kScriptOwnerBase + slot));
    MovementComponent* movement = AddMovement(id);
    AddShotSprite(id);
    ShotRecord* shot = AddShot(id);
    if (movement == nullptr || shot == nullptr) return id;
    shot->colliderId = colliderId;
    float radius = 3;
    if (slot < kOwnerScriptSlots && IsPlayerScriptSlot(slot)) {
        shot->playerShot = 1;
        radius = 10;
    }
    if (ColliderComponent* collider = LookupCollider(id, colliderId)) SetColliderCircle(*collider, 0, 0, radius);
    movement->x = x;
    movement->y = y;
    movement->speed = speed;
    movement->acceleration = acceleration;
    movement->maxSpeed = maxSpeed;
    movement->angleZ = MovementRadians(angle + 90.0f);
    RebuildTransform(*movement);
    SetShotGraphic(id, graphicId);
    // The graphic may have changed the records: find the shot again.
    if (ShotRecord* created = LookupShot(id)) {
        created->spawnDelay = delay;
        created->autoDelete = 1;
    }
    return id;
}

void UpdateShots() {
    auto& store = g_shots.store;
    const ShotBoundary& b = g_shots.boundary;
    const float left = static_cast<float>(b.left) - kShotBoundaryMargin;
    const float top = static_cast<float>(b.top) - kShotBoundaryMargin;
    const float right = static_cast<float>(b.right) + kShotBoundaryMargin;
    const float bottom = static_cast<float>(b.bottom) + kShotBoundaryMargin;
    // A deletion moves the last record into the freed place; the walk goes on with the next index, so
    // the moved record waits for the next frame.
    for (uint16_t i = 0; i < store.count; ++i) {
        const EntityId id = store.ids[i];
        if (g_entities.active[id] == 0) continue;
        ShotRecord& shot = store.records[i];
        if (shot.autoDelete == 1) {
            const MovementComponent* movement = LookupMovement(id);
            const float x = movement != nullptr ? movement->x : 0.0f;
            const float y = movement != nullptr ? movement->y : 0.0f;
            // Written as "inside" so that NaN positions leave too.
            if (!(x >= left && y >= top && x <= right && y <= bottom)) {
                DeleteEntity(id);
                continue;
            }
        }
        if (shot.deleteFrame != 0 && --shot.deleteFrame == 0) {
            DeleteEntity(id);
            continue;
        }
        if (shot.grazeCounter != 0 && shot.grazeCounter != 65535) --shot.grazeCounter;
        if (shot.childId != 0) {
            if (shot.childDelay != 0) {
                --shot.childDelay;
            } else {
                ReleaseChild(id, shot);
            }
        }
        if (shot.playerShot == 1 && shot.penetration > 0 && shot.eraseShot == 1) EraseTouchedShots(id);
    }
}
