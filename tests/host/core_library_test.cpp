#include "host/core_library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "host/random.h"
#include "script/engine.h"
#include "script/machine.h"
#include "script/text_narrow.h"
#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

class CoreLibraryTest : public testing::Test {
protected:
    void SetUp() override { ResetRandom(); }
    void TearDown() override { ResetRandom(); }

    Value Real(double real) { return NewReal(engine_.types, real); }
    Value Text(std::string_view text) { return NewString(engine_.types, NarrowToText(text)); }

    Value Call(BuiltinFunction function, std::vector<Value> arguments) {
        Value result = function(machine_, static_cast<int32_t>(arguments.size()), arguments.data());
        EXPECT_FALSE(machine_.error.raised) << machine_.error.message;
        return result;
    }
    double CallReal(BuiltinFunction function, std::vector<Value> arguments) {
        Value result = Call(function, std::move(arguments));
        EXPECT_EQ(result.Type(), engine_.types.Real());
        return ValueToReal(result);
    }
    std::string CallText(BuiltinFunction function, std::vector<Value> arguments) {
        Value result = Call(function, std::move(arguments));
        EXPECT_EQ(result.Type(), engine_.types.String());
        return TextToNarrow(ValueToText(result));
    }

    ScriptEngine engine_;
    ScriptMachine machine_{engine_};
};

TEST_F(CoreLibraryTest, PrintWritesTheTextAndALineEndToTheOutput) {
    CaptureOutput output;
    EXPECT_TRUE(Call(CorePrint, {Real(5)}).IsVoid());
    Call(CorePrint, {Value()});
    Call(CorePrint, {Text("caf\xC3\xA9")});
    EXPECT_EQ(output.Text(), "5.000000\n(VOID)\ncaf\xC3\xA9\n");
}

TEST_F(CoreLibraryTest, MinAndMaxKeepTheFirstArgumentUnlessTheSecondWins) {
    EXPECT_EQ(CallReal(CoreMin, {Real(2), Real(1)}), 1.0);
    EXPECT_EQ(CallReal(CoreMax, {Real(2), Real(1)}), 2.0);
    // Ties and NaN show which argument is returned.
    EXPECT_FALSE(std::signbit(CallReal(CoreMin, {Real(0.0), Real(-0.0)})));
    EXPECT_TRUE(std::signbit(CallReal(CoreMax, {Real(-0.0), Real(0.0)})));
    EXPECT_TRUE(std::isnan(CallReal(CoreMin, {Real(kNaN), Real(1)})));
    EXPECT_EQ(CallReal(CoreMax, {Real(1), Real(kNaN)}), 1.0);
    EXPECT_EQ(CallReal(CoreMax, {Text("3"), NewBoolean(engine_.types, true)}), 3.0);
}

TEST_F(CoreLibraryTest, TrigonometryWorksInDegreesWithTheSinglePrecisionPi) {
    const double piF = 3.1415927410125732;
    EXPECT_EQ(CallReal(CoreToRadian, {Real(180)}), piF);
    EXPECT_EQ(CallReal(CoreToDegree, {Real(piF)}), 180.0);
    EXPECT_EQ(CallReal(CoreCos, {Real(60)}), std::cos(60 * piF / 180));
    EXPECT_NEAR(CallReal(CoreCos, {Real(90)}), 0.0, 1e-7);
    EXPECT_NEAR(CallReal(CoreSin, {Real(30)}), 0.5, 1e-7);
    EXPECT_NEAR(CallReal(CoreTan, {Real(45)}), 1.0, 1e-7);
    EXPECT_NEAR(CallReal(CoreAcos, {Real(0)}), 90.0, 1e-5);
    EXPECT_NEAR(CallReal(CoreAsin, {Real(1)}), 90.0, 1e-5);
    EXPECT_NEAR(CallReal(CoreAtan, {Real(1)}), 45.0, 1e-5);
    EXPECT_EQ(CallReal(CoreAcos, {Real(-1)}), M_PI * 180 / piF);
    // atan2 takes y first.
    EXPECT_NEAR(CallReal(CoreAtan2, {Real(1), Real(0)}), 90.0, 1e-5);
    EXPECT_NEAR(CallReal(CoreAtan2, {Real(-1), Real(0)}), -90.0, 1e-5);
    EXPECT_NEAR(CallReal(CoreAtan2, {Real(0), Real(-1)}), 180.0, 1e-5);
    EXPECT_NEAR(CallReal(CoreAtan2, {Real(1), Real(1)}), 45.0, 1e-5);
}

TEST_F(CoreLibraryTest, RandFollowsTheSeededSequence) {
    EXPECT_TRUE(Call(CoreSrand, {Real(12345)}).IsVoid());
    EXPECT_EQ(CallReal(CoreRand, {Real(0), Real(100000)}), 7584.0);  // span capped at 32767
    EXPECT_EQ(CallReal(CoreRand, {Real(10), Real(20)}), 14.0);       // 10 + 19164 mod 10
    EXPECT_EQ(CallReal(CoreRand, {Real(-5), Real(5)}), -5 + 25795 % 10);
    EXPECT_EQ(CallReal(CoreRand, {Real(0), Real(2.5)}), 22125 % 3);  // half rounds away from zero
    EXPECT_EQ(CallReal(CoreRand, {Real(0.25), Real(7)}), 0.25 + 5828 % 7);
}

TEST_F(CoreLibraryTest, SrandTakesTheLowBitsOfTheWholePart) {
    Call(CoreSrand, {Real(12345.9)});
    EXPECT_EQ(g_random.state, 12345u);
    Call(CoreSrand, {Real(-1)});
    EXPECT_EQ(g_random.state, 0xFFFFFFFFu);
    Call(CoreSrand, {Real(4294967296.0 * 3 + 7)});
    EXPECT_EQ(g_random.state, 7u);
    Call(CoreSrand, {Real(kNaN)});
    EXPECT_EQ(g_random.state, 0u);
    Call(CoreSrand, {Real(-kInfinity)});
    EXPECT_EQ(g_random.state, 0u);
}

TEST_F(CoreLibraryTest, RandWithAnEmptyOrReversedSpanGivesTheMinimumAndStillAdvances) {
    Call(CoreSrand, {Real(12345)});
    EXPECT_EQ(CallReal(CoreRand, {Real(5), Real(5)}), 5.0);
    EXPECT_EQ(CallReal(CoreRand, {Real(10), Real(0)}), 10.0);
    EXPECT_EQ(CallReal(CoreRand, {Real(0), Real(0.4)}), 0.0);
    EXPECT_EQ(CallReal(CoreRand, {Real(0), Real(kNaN)}), 0.0);
    EXPECT_EQ(CallReal(CoreRand, {Real(40000), Real(50000)}), 40000.0);  // the cap makes it reversed
    // Five numbers were drawn: the sixth of the sequence comes next.
    SeedRandom(12345);
    for (int i = 0; i < 5; ++i)
        NextRandom();
    const uint32_t sixth = NextRandom();
    Call(CoreSrand, {Real(12345)});
    for (int i = 0; i < 5; ++i)
        CallReal(CoreRand, {Real(1), Real(1)});
    EXPECT_EQ(CallReal(CoreRand, {Real(0), Real(100000)}), sixth % 32767);
}

TEST_F(CoreLibraryTest, RandOverTheWholeRangeGivesWholeNumbersBelow32767) {
    Call(CoreSrand, {Real(1)});
    for (int i = 0; i < 2000; ++i) {
        const double value = CallReal(CoreRand, {Real(0), Real(100000)});
        ASSERT_EQ(value, std::trunc(value));
        ASSERT_GE(value, 0.0);
        ASSERT_LE(value, 32766.0);
    }
}

TEST_F(CoreLibraryTest, ItoaTruncatesAndSaturatesToThe32BitRange) {
    EXPECT_EQ(CallText(CoreItoa, {Real(-2.7)}), "-2");
    EXPECT_EQ(CallText(CoreItoa, {Real(-0.5)}), "0");
    EXPECT_EQ(CallText(CoreItoa, {Real(2147483647.9)}), "2147483647");
    EXPECT_EQ(CallText(CoreItoa, {Real(3e9)}), "2147483647");
    EXPECT_EQ(CallText(CoreItoa, {Real(-2147483648.5)}), "-2147483648");
    EXPECT_EQ(CallText(CoreItoa, {Real(-kInfinity)}), "-2147483648");
    EXPECT_EQ(CallText(CoreItoa, {Real(kNaN)}), "0");
    EXPECT_EQ(CallText(CoreItoa, {Text("42.9")}), "42");
}

TEST_F(CoreLibraryTest, RtoaAndRtosPrintTheWholePartWithSixDecimals) {
    EXPECT_EQ(CallText(CoreRtoa, {Real(2.75)}), "2.000000");
    EXPECT_EQ(CallText(CoreRtoa, {Real(-2.75)}), "-2.000000");
    EXPECT_EQ(CallText(CoreRtoa, {Real(-0.5)}), "0.000000");
    EXPECT_EQ(CallText(CoreRtoa, {Real(1e30)}), "18446744073709551616.000000");
    EXPECT_EQ(CallText(CoreRtoa, {Real(-kInfinity)}), "-18446744073709551616.000000");
    EXPECT_EQ(CallText(CoreRtoa, {Real(kNaN)}), "0.000000");
    EXPECT_EQ(CallText(CoreRtoa, {Real(9007199254740993.0)}), "9007199254740992.000000");
    EXPECT_EQ(CallText(CoreRtos, {Text("%5.2f"), Real(2.75)}), "2.000000");
    EXPECT_EQ(CallText(CoreRtos, {Value(), Real(-7.5)}), "-7.000000");
}

TEST_F(CoreLibraryTest, AtoiReadsALeadingIntegerAndSaturates) {
    EXPECT_EQ(CallReal(CoreAtoi, {Text("12abc")}), 12.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Text(" \t-7x")}), -7.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Text("+3")}), 3.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Text("abc")}), 0.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Text("- 5")}), 0.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Text("")}), 0.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Text("2147483648")}), 2147483647.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Text("-2147483648")}), -2147483648.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Text("-99999999999999999999999")}), -2147483648.0);
    EXPECT_EQ(CallReal(CoreAtoi, {Real(3.9)}), 3.0);  // the text of a real is 3.900000
}

TEST_F(CoreLibraryTest, AtorReadsALeadingDecimalNumber) {
    EXPECT_EQ(CallReal(CoreAtor, {Text("abc")}), 0.0);
    EXPECT_EQ(CallReal(CoreAtor, {Text("  2.5e1x")}), 25.0);
    EXPECT_EQ(CallReal(CoreAtor, {Text("-0.125")}), -0.125);
    EXPECT_EQ(CallReal(CoreAtor, {Real(1.5)}), 1.5);
    EXPECT_EQ(CallReal(CoreAtor, {Value()}), 0.0);  // "(VOID)"
}

TEST_F(CoreLibraryTest, TrimStringRemovesEverySpaceAndOnlySpaces) {
    EXPECT_EQ(CallText(CoreTrimString, {Text(" a b ")}), "ab");
    EXPECT_EQ(CallText(CoreTrimString, {Text("\ta  b\n")}), "\tab\n");
    EXPECT_EQ(CallText(CoreTrimString, {Text("   ")}), "");
    EXPECT_EQ(CallText(CoreTrimString, {Text("\xE3\x80\x80x")}), "\xE3\x80\x80x");  // ideographic space
    EXPECT_EQ(CallText(CoreTrimString, {Real(1)}), "1.000000");
}

TEST_F(CoreLibraryTest, ToStringGivesTheTextFormAsAString) {
    Value array = NewArray(engine_.types.ArrayOf(engine_.types.Real()));
    array.Body()->elements.Append(Real(1));
    array.Body()->elements.Append(Real(2));
    EXPECT_EQ(CallText(CoreToString, {array}), "[1.000000,2.000000]");
    EXPECT_EQ(CallText(CoreToString, {Value()}), "(VOID)");
    EXPECT_EQ(CallText(CoreToString, {NewBoolean(engine_.types, false)}), "false");
}

class CoreDirectoryTest : public CoreLibraryTest {
protected:
    std::vector<std::string> Names(const Value& list) {
        EXPECT_EQ(list.Type(), engine_.types.ArrayOf(engine_.types.String()));
        std::vector<std::string> names;
        if (list.IsVoid()) return names;
        for (const Value& name : list.Body()->elements) {
            EXPECT_TRUE(IsString(name));
            names.push_back(TextToNarrow(ValueToText(name)));
        }
        return names;
    }
    Value Root() { return Text(dir_.Path().string()); }

    TempDir dir_;
};

TEST_F(CoreDirectoryTest, ListsFilesAndFoldersSeparatelyInByteOrder) {
    dir_.WriteFile("b.txt", "");
    dir_.WriteFile("A.txt", "");
    dir_.WriteFile("\xC3\xA9.sht", "");
    dir_.WriteFile("stage/x.qsf", "");
    std::filesystem::create_directory(dir_.Path() / "menu");
    using Strings = std::vector<std::string>;
    EXPECT_EQ(Names(Call(CoreGetFilePathList, {Root()})), (Strings{"A.txt", "b.txt", "\xC3\xA9.sht"}));
    EXPECT_EQ(Names(Call(CoreGetDirectoryList, {Root()})), (Strings{"menu", "stage"}));
    EXPECT_EQ(Names(Call(CoreGetFilePathList, {Text(dir_.Path().string() + "/stage/")})), (Strings{"x.qsf"}));
    // Names come back as characters, not as bytes.
    Value files = Call(CoreGetFilePathList, {Root()});
    EXPECT_EQ(ValueToText(files.Body()->elements[2]), u"\u00E9.sht");
}

TEST_F(CoreDirectoryTest, FolderWithoutSubfoldersGivesAnEmptyArray) {
    dir_.WriteFile("only-a-file", "");
    Value list = Call(CoreGetDirectoryList, {Root()});
    ASSERT_FALSE(list.IsVoid());
    EXPECT_EQ(list.Body()->elements.length, 0u);
    EXPECT_TRUE(Names(list).empty());
}

TEST_F(CoreDirectoryTest, MissingFolderWarnsAndGivesVoid) {
    CaptureConsole console;
    const std::string missing = dir_.Path().string() + "/missing";
    EXPECT_TRUE(Call(CoreGetDirectoryList, {Text(missing)}).IsVoid());
    EXPECT_EQ(console.Segments(), (std::vector<ConsoleSegment>{{0x0F, "\n"},
                                                               {0x09, "Filesystem warning:"},
                                                               {0x0F, " "},
                                                               {0x0E, "Could not open directory"},
                                                               {0x0F, " "},
                                                               {0x0B, missing}}));
    console.Clear();
    EXPECT_TRUE(Call(CoreGetFilePathList, {Text(missing + "/")}).IsVoid());
    EXPECT_EQ(console.Text(), "\nFilesystem warning: Could not open directory " + missing + "/");
}

}  // namespace
