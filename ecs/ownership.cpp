#include "ecs/ownership.h"

// No entity has an owner until the Ownership store is part of the build, so nothing is owned.
void DeleteOwnedBy(uint16_t) {}
