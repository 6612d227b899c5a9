#include "ecs/entity.h"

#include <cstring>

#include "base/console.h"
#include "ecs/system_callbacks.h"

EntityTable g_entities;

void ResetEntityTable() {
    std::memset(&g_entities, 0, sizeof g_entities);
}

EntityId CreateEntity(bool active) {
    EntityTable& t = g_entities;
    // Every id is tried once, the most recent one last; only when all are taken does the most recent
    // holder give its id up.
    int i = t.lastIndex;
    bool found = false;
    for (int tries = 1; tries < MAX_ENTITIES; ++tries) {
        if (++i >= MAX_ENTITIES) i = 1;
        if (t.exists[i] == 0) {
            found = true;
            break;
        }
    }
    if (!found) {
        ConsolePrintf(
            "\nredblack{ECS error:} yellowblack{Maximum amount of entities reached, creating new entity at "
            "index} aquablack{%u}",
            static_cast<unsigned>(i));
        // The new entity must not inherit the old holder's components.
        DeleteEntity(static_cast<EntityId>(i));
    }
    const EntityId id = static_cast<EntityId>(i);
    if (t.exists[id] == 0) {
        ++t.count;
        t.exists[id] = 1;
    }
    t.active[id] = active ? 1 : 0;
    t.lastIndex = id;
    return id;
}

void DeleteEntity(EntityId id) {
    if (!IsEntityIdInRange(id)) {
        ReportInvalidEntityId(id, "DeleteEntity");
        return;
    }
    EntityTable& t = g_entities;
    if (t.exists[id] == 0) return;
    --t.count;
    t.exists[id] = 0;
    t.active[id] = 0;
    RunDeletionCallbacks(id);
}

void ReportInvalidEntityId(int64_t id, const char* operation) {
    ConsolePrintf(
        "\nblueblack{ECS warning:} yellowblack{Invalid Entity} aquablack{%lld} yellowblack{while executing} "
        "aquablack{%s}",
        static_cast<long long>(id), operation);
}
