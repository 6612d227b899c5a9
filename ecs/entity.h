#pragma once
// Entities: small integer ids with an exists and an active flag. Their data lives in the systems'
// component stores.

#include <cstdint>

using EntityId = uint16_t;  // 1 to 4095; 0 names no entity

inline constexpr int MAX_ENTITIES = 4096;

struct EntityTable {
    uint8_t exists[MAX_ENTITIES];
    uint8_t active[MAX_ENTITIES];  // gates the per-frame work of most systems
    uint16_t count;                // live entities
    uint16_t lastIndex;            // id handed out by the most recent creation
};
extern EntityTable g_entities;

// Every entry free, counters 0.
void ResetEntityTable();

// Hands out the next free id after the most recent one, wrapping after 4095, so that a freed id
// stays unused as long as possible.
EntityId CreateEntity(bool active);

// Clears the entity and runs every deletion callback for it at once (callbacks may delete further
// entities). Ids that do not exist are ignored.
void DeleteEntity(EntityId id);

inline bool IsEntityIdInRange(int64_t id) {
    return id >= 0 && id < MAX_ENTITIES;
}

// The warning for an id that names no entity slot (or 0 where an entity is required), naming the
// operation that refused it.
void ReportInvalidEntityId(int64_t id, const char* operation);
