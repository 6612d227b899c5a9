#include "host/random.h"

#include <gtest/gtest.h>

namespace {

TEST(Random, FreshStateGivesTheKnownSequence) {
    ResetRandom();
    const uint32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (uint32_t value : expected)
        EXPECT_EQ(NextRandom(), value);
}

TEST(Random, SeedRestartsTheSequenceAndStateWrapsModulo2To32) {
    SeedRandom(12345);
    EXPECT_EQ(NextRandom(), 7584u);
    EXPECT_EQ(NextRandom(), 19164u);
    SeedRandom(0xFFFFFFFFu);
    // (2^32 - 1) * 214013 + 2531011 mod 2^32 = 2316998: bits 16 to 30 are 35.
    EXPECT_EQ(NextRandom(), 35u);
    EXPECT_EQ(g_random.state, 2316998u);
    InitRandom(12345);
    EXPECT_EQ(NextRandom(), 7584u);
}

}  // namespace
