#pragma once
// Who owns an entity: another entity, or the script in a slot (owner value kScriptOwnerBase + slot).

#include <cstdint>

inline constexpr uint16_t kScriptOwnerBase = 4096;

// Deletes every entity that `owner` owns (and, through their deletion, what they own in turn).
void DeleteOwnedBy(uint16_t owner);
