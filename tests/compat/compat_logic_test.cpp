// The pure logic of the companion DLLs, natively: the byte generator behind SystemFunction036, the
// 64-bit disk sizes, and widebridge's counting, copying and name checks. The DLLs themselves are
// tested against kernel32 under Wine (tests/windows).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "compat/backfill/random_bytes.h"
#include "compat/widebridge/text_convert.h"

namespace {

std::vector<uint8_t> Bytes(BackfillRandom state, int count, BackfillRandom* after = nullptr) {
    std::vector<uint8_t> out;
    for (int i = 0; i < count; ++i) out.push_back(BackfillRandomByte(&state));
    if (after != nullptr) *after = state;
    return out;
}

TEST(BackfillRandom, CombinesItsFourGeneratorsPerByte) {
    EXPECT_EQ(Bytes({1, 2, 3, 4}, 8), (std::vector<uint8_t>{0x6E, 0x79, 0xCF, 0xE6, 0xE0, 0x38, 0xF4, 0xDC}));
    // Every word wraps at 32 bits.
    BackfillRandom after{};
    EXPECT_EQ(Bytes({0xFFFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 0xFFFFFFFFu}, 4, &after),
              (std::vector<uint8_t>{0x15, 0x99, 0x10, 0x37}));
    EXPECT_EQ(after.mwcHigh, 0x812A6031u);
    EXPECT_EQ(after.mwcLow, 0x1B30FAB6u);
    EXPECT_EQ(after.shift, 0xAC99F282u);
    EXPECT_EQ(after.congruential, 0x1A4F2203u);
    // The state carries on between calls: two halves are the whole.
    BackfillRandom middle{};
    const std::vector<uint8_t> first = Bytes({5, 6, 7, 8}, 4, &middle);
    std::vector<uint8_t> joined = first;
    for (uint8_t b : Bytes(middle, 4)) joined.push_back(b);
    EXPECT_EQ(joined, Bytes({5, 6, 7, 8}, 8));
}

TEST(BackfillDiskSizes, ProductsAboveFourGibibytesDoNotWrap) {
    EXPECT_EQ(BackfillClusterBytes(8, 512, 0x00FFFFFFu), 68719472640ull);
    EXPECT_EQ(BackfillClusterBytes(0xFFFFFFFFu, 0xFFFFFFFFu, 1), 0xFFFFFFFE00000001ull);
    EXPECT_EQ(BackfillClusterBytes(64, 4096, 0), 0ull);
}

std::vector<WidebridgeChar> Text(const char16_t* text) {
    std::vector<WidebridgeChar> out;
    do out.push_back(static_cast<WidebridgeChar>(*text));
    while (*text++ != 0);
    return out;
}

TEST(WidebridgeText, AnsiBuffersHoldTheWidestFormAndTheTerminator) {
    EXPECT_EQ(WidebridgeAnsiBytes(0), 1);
    EXPECT_EQ(WidebridgeAnsiBytes(5), 11);  // five double-byte characters and the terminator
    EXPECT_EQ(WidebridgeLength(Text(u"").data()), 0);
    EXPECT_EQ(WidebridgeLength(Text(u"caf\u00e9").data()), 4);
}

TEST(WidebridgeText, CopiesWholeOrCutToTheCountWithATerminator) {
    std::vector<WidebridgeChar> buffer(8, 'z');
    WidebridgeCopy(buffer.data(), Text(u"abc").data(), -1);
    EXPECT_EQ(buffer, (std::vector<WidebridgeChar>{'a', 'b', 'c', 0, 'z', 'z', 'z', 'z'}));
    WidebridgeCopy(buffer.data(), Text(u"wxyz").data(), 3);
    EXPECT_EQ(buffer, (std::vector<WidebridgeChar>{'w', 'x', 0, 0, 'z', 'z', 'z', 'z'}));
    WidebridgeCopy(buffer.data(), Text(u"wxyz").data(), 1);
    EXPECT_EQ(buffer[0], 0);
    WidebridgeCopy(buffer.data(), Text(u"ab").data(), 6);  // room to spare: the whole text
    EXPECT_EQ(buffer, (std::vector<WidebridgeChar>{'a', 'b', 0, 0, 'z', 'z', 'z', 'z'}));
}

TEST(WidebridgeText, EnvironmentBlocksEndAtTheDoubleTerminator) {
    EXPECT_EQ(WidebridgeBlockLength("A=1\0BB=22\0\0junk"), 11);
    EXPECT_EQ(WidebridgeBlockLength("\0"), 1);
}

TEST(WidebridgeText, ComputerNamesAcceptLettersDigitsAndTheListedMarks) {
    EXPECT_TRUE(WidebridgeValidComputerName(Text(u"Host-01").data()));
    EXPECT_TRUE(WidebridgeValidComputerName(Text(u"!#$%&'()-.@^_{}~").data()));
    EXPECT_TRUE(WidebridgeValidComputerName(Text(u"").data()));
    for (const char16_t* bad : {u"two words", u"star*", u"a/b", u"a\\b", u"comma,", u"caf\u00e9", u"plus+"})
        EXPECT_FALSE(WidebridgeValidComputerName(Text(bad).data())) << static_cast<int>(bad[0]);
}

}  // namespace
