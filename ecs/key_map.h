#pragma once
// Key maps: a dictionary of script values per entity, for scripts to keep per-object data. Keys are
// the text form of a script value, so 1 and "1.000000" name the same entry.

#include <map>
#include <string>

#include "ecs/component_store.h"
#include "script/type_table.h"
#include "script/value.h"

struct KeyMapComponent {
    std::map<std::u16string, Value, std::less<>> values;  // typed by the system's own types
};

inline constexpr uint16_t kKeyMapCapacity = 2048;

struct KeyMapSystem {
    // Types of the stored values, apart from any script: the storing script may close while the
    // values stay. First, so that it outlives them.
    TypeTable types;
    ComponentStore<KeyMapComponent, kKeyMapCapacity> store{
        "KeyMap",
        "\nblueblack{ECS warning:} yellowblack{Unable to find KeyMap Component for Entity} aquablack{%i} "
        "yellowblack{while executing} "};
};
extern KeyMapSystem g_keyMaps;

// No key maps; every stored value released.
void ResetKeyMapSystem();
// Registers the deletion callback.
void InitKeyMapSystem();

// An empty key map for the entity; nothing when it has one. An id without a live entity is refused.
void AddKeyMap(EntityId id);
// Also the deletion callback: the map and its values go with the component.
void RemoveKeyMap(EntityId id);
