#pragma once
// Who owns an entity: another entity, or the script in a slot (owner value kScriptOwnerBase + slot).
// Deleting an owner deletes what it owns, to any depth.

#include <cstdint>
#include <vector>

#include "ecs/component_store.h"

inline constexpr uint16_t kScriptOwnerBase = 4096;
// Script slots that can own entities; a larger slot would wrap the owner value onto entity ids.
inline constexpr int kOwnerScriptSlots = 16;

struct OwnershipComponent {
    uint16_t owner = 0;    // below 4096 an entity, else kScriptOwnerBase + script slot
    uint8_t released = 0;  // 1 once the owner's cascade has taken the entity, so it is taken once
};

inline constexpr uint16_t kOwnershipCapacity = 2048;

struct OwnershipSystem {
    ComponentStore<OwnershipComponent, kOwnershipCapacity> store{"Ownership", ""};
    // Released entities waiting to be deleted, the next on top. Cascades run from this list rather than
    // by recursion, so chains of any length take no stack.
    std::vector<EntityId> pending;
    bool draining = false;
};
extern OwnershipSystem g_ownership;

// No records, nothing pending.
void ResetOwnershipSystem();
// Registers the deletion callback.
void InitOwnershipSystem();

// The entity's record gets that owner (created when missing); an id without a live entity is refused.
void SetOwner(EntityId id, uint16_t owner);
// The entity has no owner any more.
void UnsetOwner(EntityId id);

// Deletes every entity that `owner` owns (and, through their deletion, what they own in turn).
void DeleteOwnedBy(uint16_t owner);
// The same, only for owned entities of that object type.
void DeleteOwnedByOfType(uint16_t owner, int32_t type);

// The deletion callback: drops the entity's own record and deletes what it owned.
void OwnershipDeletionCallback(EntityId id);
