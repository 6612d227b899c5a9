#include <gtest/gtest.h>

#include "script/text_narrow.h"

namespace {

TEST(NarrowToText, DecodesEverySequenceLength) {
    EXPECT_EQ(NarrowToText("abc"), u"abc");
    EXPECT_EQ(NarrowToText("\xC3\xA9"), u"\u00E9");
    EXPECT_EQ(NarrowToText("\xE3\x81\x82"), u"\u3042");
    EXPECT_EQ(NarrowToText("\xF0\x9F\x8E\xAF"), u"\U0001F3AF");
    const std::u16string mixed = u"x\u00E9\u3042\U0001F3AFy";
    EXPECT_EQ(NarrowToText(TextToNarrow(mixed)), mixed);
}

TEST(NarrowToText, BytesThatAreNoCharacterBecomeReplacementCharacters) {
    EXPECT_EQ(NarrowToText("a\xFF\x62"), u"a\uFFFDb");
    EXPECT_EQ(NarrowToText("\xC0\x80"), u"\uFFFD\uFFFD");                       // overlong NUL
    EXPECT_EQ(NarrowToText("\xE3\x81"), u"\uFFFD\uFFFD");                       // cut short
    EXPECT_EQ(NarrowToText("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");             // encoded surrogate
    EXPECT_EQ(NarrowToText("\xF4\x90\x80\x80"), std::u16string(4, u'\uFFFD'));  // past U+10FFFF
    EXPECT_EQ(NarrowToText("\xE3\x61"), u"\uFFFDa");
}

}  // namespace
