#include "ecs/key_map.h"

#include "ecs/system_callbacks.h"

KeyMapSystem g_keyMaps;

void ResetKeyMapSystem() {
    g_keyMaps.store.Reset();
}

void InitKeyMapSystem() {
    AddDeletionCallback(RemoveKeyMap);
}

void AddKeyMap(EntityId id) {
    if (!IsEntityIdInRange(id) || g_entities.exists[id] == 0) {
        ReportInvalidEntityId(id, "AddKeyMap");
        return;
    }
    if (g_keyMaps.store.Lookup(id) == nullptr) g_keyMaps.store.Add(id);
}

void RemoveKeyMap(EntityId id) {
    g_keyMaps.store.Remove(id);
}
