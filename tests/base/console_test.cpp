#include <gtest/gtest.h>

#include "base/console.h"
#include "tests/support/capture_console.h"

namespace {

using Segs = std::vector<ConsoleSegment>;

TEST(ColourPairs, NamesFollowForegroundThenBackground) {
    EXPECT_STREQ(ConsoleColourPairName(0), "blackblack");
    EXPECT_STREQ(ConsoleColourPairName(1), "navyblack");
    EXPECT_STREQ(ConsoleColourPairName(14), "yellowblack");
    EXPECT_STREQ(ConsoleColourPairName(15), "whiteblack");
    EXPECT_STREQ(ConsoleColourPairName(16), "blacknavy");
    EXPECT_STREQ(ConsoleColourPairName(0x0C), "redblack");
    EXPECT_STREQ(ConsoleColourPairName(0x0D), "fuchsiablack");
    EXPECT_STREQ(ConsoleColourPairName(255), "whitewhite");
}

TEST(ConsolePrintf, LabelIsColouredAndAttributeReset) {
    CaptureConsole console;
    ConsolePrintf("\nyellowblack{Application started}");
    EXPECT_EQ(console.Segments(), (Segs{{0x0F, "\n"}, {0x0E, "Application started"}}));
    EXPECT_EQ(console.Text(), "\nApplication started");
}

TEST(ConsolePrintf, TextWithoutLabelsIsUnchangedAndKeepsAttribute) {
    CaptureConsole console;
    console.SetAttribute(0x0C);
    ConsolePrintf("plain # text } with %d%%", 5);
    EXPECT_EQ(console.Segments(), (Segs{{0x0C, "plain # text } with 5%"}}));
}

TEST(ConsolePrintf, EmptyLabelJoinsSurroundingText) {
    CaptureConsole console;
    ConsolePrintf("a redblack{}b");
    EXPECT_EQ(console.Text(), "a b");
    EXPECT_EQ(console.Segments(), (Segs{{0x0F, "a b"}}));
}

TEST(ConsolePrintf, NameWithoutBraceAtFirstOccurrenceHidesLaterLabel) {
    CaptureConsole console;
    ConsolePrintf("yellowblack then yellowblack{x}");
    EXPECT_EQ(console.Segments(), (Segs{{0x0F, "yellowblack then yellowblack{x}"}}));
}

TEST(ConsolePrintf, RepeatedAndMixedLabelsPrintInTextOrder) {
    CaptureConsole console;
    ConsolePrintf("redblack{a}-aquablack{b}-redblack{c}");
    EXPECT_EQ(console.Segments(), (Segs{{0x0C, "a"}, {0x0F, "-"}, {0x0B, "b"}, {0x0F, "-"}, {0x0C, "c"}}));
}

TEST(ConsolePrintf, LabelsDoNotNestAndStrayBracesStay) {
    CaptureConsole console;
    ConsolePrintf("redblack{a{b}c} }");
    EXPECT_EQ(console.Text(), "a{bc} }");
}

TEST(ConsolePrintf, UnclosedLabelWarnsThenPrintsPlainly) {
    CaptureConsole console;
    ConsolePrintf("x aquablack{open");
    const std::string text = console.Text();
    EXPECT_EQ(text,
              "\nColor warning: A starting color label named aquablack was identified with no closing } "
              "bracket.\nFormat text: x aquablack{open\nFull   text: x aquablack{open\nPosition in full text: 2\n"
              "x aquablack{open");
}

TEST(ConsolePrintf, MisspeltNameIsNoLabel) {
    CaptureConsole console;
    ConsolePrintf("yelloblack{Failed}");
    EXPECT_EQ(console.Text(), "yelloblack{Failed}");
}

TEST(ConsolePrintf, InsertedTextIsRenderedAsLabelsAndPercentStays) {
    CaptureConsole console;
    ConsolePrintf("%s", "limeblack{100%}");
    EXPECT_EQ(console.Segments(), (Segs{{0x0A, "100%"}}));
}

TEST(ConsolePrintf, OutputIsCutTo8191Characters) {
    CaptureConsole console;
    std::string big(10000, 'z');
    ConsolePrintf("%s", big.c_str());
    EXPECT_EQ(console.Text().size(), 8191u);
}

TEST(EngineAssert, ReportsAndContinues) {
    CaptureConsole console;
    int reached = 0;
    ENGINE_ASSERT_MSG(1 + 1 == 3, "math");
    reached = 1;
    EXPECT_EQ(reached, 1);
    EXPECT_NE(console.Text().find("Assertion failed at "), std::string::npos);
    EXPECT_NE(console.Text().find("Condition: 1 + 1 == 3"), std::string::npos);
    EXPECT_NE(console.Text().find("\nMessage: math"), std::string::npos);
    console.Clear();
    ENGINE_ASSERT(true);
    EXPECT_EQ(console.Text(), "");
}

}  // namespace
