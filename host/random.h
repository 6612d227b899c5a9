#pragma once
// The scripts' random generator: the same numbers from the same seed on every platform.

#include <cstdint>

struct RandomState {
    uint32_t state = 1;
};
extern RandomState g_random;

// Seeds the generator (start-up passes the current time).
void InitRandom(uint32_t seed);
// Back to the state of a freshly started program, as if seeded with 1.
void ResetRandom();
void SeedRandom(uint32_t seed);
// Advances the state and returns the next number, 0 to 32767.
uint32_t NextRandom();
