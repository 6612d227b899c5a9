#include "ecs/entity_system.h"

#include "ecs/collision.h"
#include "ecs/enemy.h"
#include "ecs/entity.h"
#include "ecs/key_map.h"
#include "ecs/movement.h"
#include "ecs/object_type.h"
#include "ecs/ownership.h"
#include "ecs/player.h"
#include "ecs/render_system.h"
#include "ecs/shot.h"
#include "ecs/system_callbacks.h"
#include "ecs/text.h"

// Deletion callbacks run in this order for every deleted entity, so Ownership comes last: an owner's
// own components are gone before the entities it owned are deleted.
const SystemInitEntry SystemInitTable[kSystemCount] = {
    {"Collision", InitCollisionSystem}, {"KeyMap", InitKeyMapSystem}, {"Movement", InitMovementSystem},
    {"Player", InitPlayerSystem},       {"Render", InitRenderSystem}, {"Shot", InitShotSystem},
    {"Enemy", InitEnemySystem},         {"Text", InitTextSystem},     {"Ownership", InitOwnershipSystem},
};

void InitEntitySystem() {
    for (const SystemInitEntry& entry : SystemInitTable) {
        if (entry.init != nullptr) entry.init();
    }
    g_entities.count = 0;
    g_entities.lastIndex = 0;
    CreateEntity(false);
}

void ResetEntitySystem() {
    ResetEntityTable();
    ResetSystemCallbacks();
    ResetCollisionSystem();
    ResetKeyMapSystem();
    ResetMovementSystem();
    ResetOwnershipSystem();
    ResetRenderSystem();
    ResetObjectTypes();
    ResetShotSystem();
    ResetPlayerSystem();
    ResetEnemySystem();
    ResetTextSystem();
}
