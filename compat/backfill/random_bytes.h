#pragma once
// The byte generator behind SystemFunction036: two multiply-with-carry words, a xor-shift word and
// a congruential word, combined per byte. Plain C over fixed-width integers so that the library and
// the native unit tests share it.
#include <stdint.h>

typedef struct BackfillRandom {
    uint32_t mwcHigh;  // seeded from the tick count
    uint32_t mwcLow;   // seeded from the thread id
    uint32_t shift;    // seeded from the process id
    uint32_t congruential;  // seeded from the background colour
} BackfillRandom;

static inline uint8_t BackfillRandomByte(BackfillRandom* r) {
    r->mwcHigh = 36969u * (r->mwcHigh & 0xFFFFu) + (r->mwcHigh >> 16);
    r->mwcLow = 18000u * (r->mwcLow & 0xFFFFu) + (r->mwcLow >> 16);
    r->shift ^= r->shift << 17;
    r->shift ^= r->shift >> 13;
    r->shift ^= r->shift << 5;
    r->congruential = r->congruential * 69069u + 1234567u;
    return (uint8_t)(((r->congruential ^ r->mwcLow) + r->shift) & 0xFFu);
}

// Bytes per cluster times a cluster count, in 64 bits: a disk of more than 4 GiB must not wrap.
static inline uint64_t BackfillClusterBytes(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t clusters) {
    return (uint64_t)sectorsPerCluster * bytesPerSector * clusters;
}
