#include "host/random.h"

RandomState g_random;

void InitRandom(uint32_t seed) {
    g_random.state = seed;
}

void ResetRandom() {
    g_random = RandomState{};
}

void SeedRandom(uint32_t seed) {
    g_random.state = seed;
}

uint32_t NextRandom() {
    // Unsigned arithmetic wraps modulo 2^32 by definition.
    g_random.state = g_random.state * 214013u + 2531011u;
    return (g_random.state >> 16) & 0x7FFFu;
}
