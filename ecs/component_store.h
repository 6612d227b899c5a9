#pragma once
// The dense layout every system keeps its components in: ids and records side by side, found by a
// linear scan that remembers the last hit, removed by moving the last component into the hole.

#include <cstdint>
#include <utility>

#include "base/console.h"
#include "ecs/entity.h"

template <typename Record, uint16_t Capacity>
struct ComponentStore {
    static constexpr uint16_t kCapacity = Capacity;

    // Fixed per system: the store's name for the full-store warning, and its missing-component
    // warning (a format with the entity id, ending in one space so the caller's line follows).
    const char* name;
    const char* missingWarning;

    EntityId ids[Capacity] = {};
    Record records[Capacity] = {};
    uint16_t count = 0;
    EntityId cacheId = 0;  // 0: empty
    uint16_t cacheIndex = 0;

    void Reset() {
        for (uint16_t i = 0; i < Capacity; ++i) {
            ids[i] = 0;
            records[i] = Record{};
        }
        count = 0;
        cacheId = 0;
        cacheIndex = 0;
    }

    // The entity's component; none (after the store's warning) when it has none.
    Record* Find(EntityId id) {
        Record* record = Lookup(id);
        if (record == nullptr) ConsolePrintf(missingWarning, static_cast<int>(id));
        return record;
    }

    // Find without the warning, for callers to whom a missing component is no fault.
    Record* Lookup(EntityId id) {
        if (id != 0 && id == cacheId) return &records[cacheIndex];
        for (uint16_t i = 0; i < count; ++i) {
            if (ids[i] == id) {
                cacheId = id;
                cacheIndex = i;
                return &records[i];
            }
        }
        return nullptr;
    }

    // Appends a fresh record for the entity. A full store refuses with a warning and gives none.
    Record* Add(EntityId id) {
        if (count >= Capacity) {
            ConsolePrintf(
                "\nblueblack{ECS warning:} yellowblack{Unable to add} aquablack{%s} yellowblack{Component to "
                "Entity} aquablack{%i}yellowblack{, all} aquablack{%u} yellowblack{components are in use}",
                name, static_cast<int>(id), static_cast<unsigned>(Capacity));
            return nullptr;
        }
        ids[count] = id;
        records[count] = Record{};
        return &records[count++];
    }

    // The last component moves into the hole, so storage order changes. An id the store does not hold
    // is ignored silently.
    void Remove(EntityId id) {
        for (uint16_t i = 0; i < count; ++i) {
            if (ids[i] != id) continue;
            const uint16_t last = static_cast<uint16_t>(count - 1);
            if (i != last) records[i] = std::move(records[last]);
            // Records may own resources (key maps hold script values): the vacated one lets them go.
            records[last] = Record{};
            ids[i] = ids[last];
            ids[last] = 0;
            cacheId = 0;
            --count;
            return;
        }
    }
};
