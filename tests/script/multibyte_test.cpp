#include "script/multibyte.h"

#include <gtest/gtest.h>

namespace {

TEST(MultibyteToWide, DecodesUtf8IntoUtf16Units) {
    EXPECT_EQ(MultibyteToWide("abc"), u"abc");
    EXPECT_EQ(MultibyteToWide(""), u"");
    EXPECT_EQ(MultibyteToWide("\xC3\xA9\xE2\x9C\x93"), u"\u00E9\u2713");
    EXPECT_EQ(MultibyteToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(MultibyteToWide("\xEF\xBF\xBF\xF4\x8F\xBF\xBF"), u"\uFFFF\U0010FFFF");
}

TEST(MultibyteToWide, EachIllFormedSubpartBecomesOneReplacement) {
    // Stray continuation bytes and bytes that never start a sequence: one each.
    EXPECT_EQ(MultibyteToWide("a\x80\xBF"
                              "b"),
              u"a\uFFFD\uFFFDb");
    EXPECT_EQ(MultibyteToWide("\xC0\xC1\xF5\xFF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    // A sequence cut short is one replacement; the byte that broke it is read afresh.
    EXPECT_EQ(MultibyteToWide("\xE2\x9C"
                              "a"),
              u"\uFFFDa");
    EXPECT_EQ(MultibyteToWide("\xF0\x9F\x98"), u"\uFFFD");
    EXPECT_EQ(MultibyteToWide("\xE2\xC3\xA9"), u"\uFFFD\u00E9");
    // Overlong forms, surrogates and values above U+10FFFF are refused at their second byte.
    EXPECT_EQ(MultibyteToWide("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(MultibyteToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(MultibyteToWide("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(MultibyteToWide(std::string_view("\0a", 2)), std::u16string(u"\0a", 2));
}

}  // namespace
