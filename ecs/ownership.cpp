#include "ecs/ownership.h"

#include <algorithm>

#include "ecs/entity.h"
#include "ecs/object_type.h"
#include "ecs/system_callbacks.h"

OwnershipSystem g_ownership;

namespace {

constexpr int32_t kAnyType = -1;  // object types compared are 0 to 255, so this matches none of them

// Marks every unreleased entity of `owner` (of `type`, unless any) released and queues it. The matching
// ids are collected before any deletion: a deletion moves records about the store, so a walk that
// deletes as it goes can step over an entity that was moved below it.
void Release(uint16_t owner, int32_t type) {
    OwnershipSystem& s = g_ownership;
    const size_t firstQueued = s.pending.size();
    for (uint16_t i = 0; i < s.store.count; ++i) {
        OwnershipComponent& record = s.store.records[i];
        if (record.owner != owner || record.released != 0) continue;
        if (type != kAnyType && g_objectTypes.types[s.store.ids[i]] != type) continue;
        record.released = 1;
        s.pending.push_back(s.store.ids[i]);
    }
    // Reversed, so that they come off the top in store order.
    std::reverse(s.pending.begin() + static_cast<std::ptrdiff_t>(firstQueued), s.pending.end());
}

// Deletes queued entities until none is left. Each deletion may queue what that entity owned, which
// then goes next: depth first, as a recursion would, but on the heap.
void Drain() {
    OwnershipSystem& s = g_ownership;
    if (s.draining) return;  // the outer drain takes what was just queued
    s.draining = true;
    while (!s.pending.empty()) {
        const EntityId id = s.pending.back();
        s.pending.pop_back();
        // Only an entity still held by its release: one deleted meanwhile, unset, or its id taken by
        // a new entity is left alone.
        const OwnershipComponent* record = s.store.Lookup(id);
        if (record != nullptr && record->released != 0 && g_entities.exists[id] != 0) DeleteEntity(id);
    }
    s.draining = false;
}

}  // namespace

void ResetOwnershipSystem() {
    g_ownership.store.Reset();
    g_ownership.pending.clear();
    g_ownership.draining = false;
}

void InitOwnershipSystem() {
    // Each entity is queued at most once per record, so this is what a cascade can need.
    g_ownership.pending.reserve(MAX_ENTITIES);
    AddDeletionCallback(OwnershipDeletionCallback);
}

void SetOwner(EntityId id, uint16_t owner) {
    if (!IsEntityIdInRange(id) || g_entities.exists[id] == 0) {
        ReportInvalidEntityId(id, "SetOwner");
        return;
    }
    OwnershipComponent* record = g_ownership.store.Lookup(id);
    if (record == nullptr) record = g_ownership.store.Add(id);
    if (record != nullptr) record->owner = owner;
}

void UnsetOwner(EntityId id) {
    g_ownership.store.Remove(id);
}

void DeleteOwnedBy(uint16_t owner) {
    Release(owner, kAnyType);
    Drain();
}

void DeleteOwnedByOfType(uint16_t owner, int32_t type) {
    Release(owner, type);
    Drain();
}

void OwnershipDeletionCallback(EntityId id) {
    g_ownership.store.Remove(id);
    DeleteOwnedBy(id);
}
