#include "script/preprocessor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "script/preprocessor_steps.h"
#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kMissingAutoInclude =
    "\nPreprocessor warning: Line 1 Could not #include SCRIPT/SYSTEM/AUTOINCL.QSF (IfStream failure)";

// The colour of the first segment that is exactly `text`; 0xFF when there is none.
int AttributeOf(const CaptureConsole& console, const std::string& text) {
    for (const ConsoleSegment& segment : console.Segments()) {
        if (segment.text == text) return segment.attribute;
    }
    return 0xFF;
}

// Include files are opened relative to the working directory, so every test runs inside its own folder.
class Preprocessor : public ::testing::Test {
protected:
    Preprocessor() : cwd(dir.Path()) {}

    // Preprocess with an empty default include, so results show only the script's own text.
    std::string Run(const std::string& text, const std::string& base = "") {
        if (!dir.Exists(kDefaultIncludePath)) dir.WriteFile(kDefaultIncludePath, "");
        return Preprocess(text, base);
    }

    TempDir dir;
    ScopedWorkingDirectory cwd;
    CaptureConsole console;
};

TEST_F(Preprocessor, PlainTextGetsTheDefaultIncludeOnLineOne) {
    dir.WriteFile(kDefaultIncludePath, "let a;\nlet b;\n");
    EXPECT_EQ(Preprocess("x = 1;\ny = 2;", ""), "let a;let b; x = 1;\ny = 2;");
    EXPECT_EQ(console.Text(), "");
}

TEST_F(Preprocessor, MissingDefaultIncludeLeavesASpaceAndWarns) {
    EXPECT_EQ(Preprocess("x = 1;\n", ""), " x = 1;\n");
    EXPECT_EQ(console.Text(), kMissingAutoInclude);
    EXPECT_EQ(AttributeOf(console, "Preprocessor warning:"), 0x09);
    EXPECT_EQ(AttributeOf(console, "SCRIPT/SYSTEM/AUTOINCL.QSF"), 0x0B);
}

TEST_F(Preprocessor, ConvertCommentsTurnsLineCommentsIntoBlockComments) {
    EXPECT_EQ(ConvertComments("a; // note\nb;"), "a; /* note*/\nb;");
    EXPECT_EQ(ConvertComments("// open at the end"), "/* open at the end");
    EXPECT_EQ(ConvertComments("// a // b\n"), "/* a // b*/\n");
    EXPECT_EQ(ConvertComments("/* x // y */ z // w\n"), "/* x // y */ z /* w*/\n");
    EXPECT_EQ(ConvertComments("x / y\n"), "x / y\n");
}

TEST_F(Preprocessor, IncludedFileArrivesOnOneLineAndLaterLinesKeepTheirNumbers) {
    dir.WriteFile("three.qsf", "one\ntwo // c\nthree\n");
    EXPECT_EQ(Run("#include \"three.qsf\" tail\n__LINE__\n"), " onetwo /* c*/three  tail\n2\n");
}

TEST_F(Preprocessor, DefinesApplyEverywhereAndRemoveTheirLine) {
    dir.WriteFile("early.qsf", "MAX");
    // The define line is gone, so __LINE__ below it is one smaller than in the file.
    EXPECT_EQ(Run("#include \"early.qsf\"\n#define MAX 10\nMAXIMUM = MAX;\n__LINE__\n"),
              " 10 \n10IMUM = 10;\n3\n");
}

TEST_F(Preprocessor, DefinesOfIncludedFilesApplyToTheWholeText) {
    // Table order: SLOW is replaced first, so the SPEED it brings in is replaced after it.
    dir.WriteFile("defs.qsf", "#define SLOW SPEED / 2\n#define SPEED 4\n");
    EXPECT_EQ(Run("#include \"defs.qsf\"\nx = SLOW;\n"), "  \nx = 4 / 2;\n");
}

TEST_F(Preprocessor, DefineDirectivesInCommentsAreKept) {
    EXPECT_EQ(Run("// #define A 1\n/* #define B 2 */\nA B\n"), " /* #define A 1*/\n/* #define B 2 */\nA B\n");
}

TEST_F(Preprocessor, DefineWithoutValueTakesItsNameAcrossTheLineBreak) {
    std::vector<DefineEntry> defines;
    EXPECT_EQ(CollectDefines("#define FLAG\nnext line\nkept", defines), "kept");
    ASSERT_EQ(defines.size(), 1u);
    EXPECT_EQ(defines[0].name, "FLAG\nnext");
    EXPECT_EQ(defines[0].value, "line");
}

TEST_F(Preprocessor, LineAndFileInTopLevelAndIncludedFiles) {
    dir.WriteFile("lib/a.qsf", "// first\n__FILE__:__LINE__");
    EXPECT_EQ(Run("\n#include \"./lib/a.qsf\"\n__FILE__ __LINE__ /* __LINE__ */\n"),
              " \n/* first*/lib/a.qsf:2 \nTop level script (not #included) 3 /* __LINE__ */\n");
}

TEST_F(Preprocessor, DotPathsResolveAgainstTheIncludingFile) {
    dir.WriteFile("SCRIPT/STAGE/lib/a.qsf", "a #include \"./b.qsf\" #include \"SCRIPT/top.qsf\"");
    dir.WriteFile("SCRIPT/STAGE/lib/b.qsf", "b");
    dir.WriteFile("SCRIPT/top.qsf", "top");
    EXPECT_EQ(Run("#include \"./lib/a.qsf\"", "SCRIPT/STAGE/"), " a b  top  ");
    EXPECT_EQ(console.Text(), "");
}

TEST_F(Preprocessor, MissingIncludeWarnsWithLineAndResolvedPath) {
    EXPECT_EQ(Run("\n\n#include \"./gone.qsf\" x", "SCRIPT/"), " \n\n  x");
    EXPECT_EQ(console.Text(),
              "\nPreprocessor warning: Line 3 Could not #include SCRIPT/gone.qsf (IfStream failure)");
    console.Clear();
    dir.WriteFile("folder/file.qsf", "x");
    EXPECT_EQ(Run("#include \"folder\""), "  ");
    EXPECT_EQ(console.Text(), "\nPreprocessor warning: Line 1 Could not #include folder (IfStream failure)");
}

TEST_F(Preprocessor, IncludesInsideCommentsAreIgnored) {
    dir.WriteFile("a.qsf", "A");
    EXPECT_EQ(Run("/* #include \"a.qsf\" */ // #include \"a.qsf\"\n"),
              " /* #include \"a.qsf\" */ /* #include \"a.qsf\"*/\n");
}

TEST_F(Preprocessor, IncludedFilesReadCrLfAsLf) {
    dir.WriteFile("crlf.qsf", "a\r\n// c\r\nb\r\n");
    EXPECT_EQ(Run("#include \"crlf.qsf\"\r"), " a/* c*/b \r");
}

// An included file whose last line is a comment without a line break must not comment out the
// rest of the including line.
TEST_F(Preprocessor, OpenLineCommentAtEndOfIncludedFileIsClosed) {
    dir.WriteFile("tail.qsf", "x; // no final line break");
    EXPECT_EQ(Run("#include \"tail.qsf\" y;\nz;"), " x; /* no final line break*/  y;\nz;");
}

TEST_F(Preprocessor, CommentChecksReportMismatchesWithTheirLine) {
    CheckComments("a\nb */\n/* c */ */");
    EXPECT_EQ(console.Text(),
              "\nPreprocessor error: Line 2 Comment mismatch: Encountered */ without /*"
              "\nPreprocessor error: Line 3 Comment mismatch: Encountered */ without /*"
              "\nPreprocessor diagnostics: 2 more comment(s) were closed than opened");
    EXPECT_EQ(AttributeOf(console, "Preprocessor error:"), 0x0C);
    EXPECT_EQ(AttributeOf(console, "*/"), 0x0A);
    EXPECT_EQ(AttributeOf(console, "Preprocessor diagnostics:"), 0x0D);

    console.Clear();
    CheckComments("/* /* */");
    EXPECT_EQ(console.Text(), "\nPreprocessor diagnostics: 1 more comment(s) were opened than closed");
    console.Clear();
    CheckComments("/* a */ /*/");  // overlapping pairs both count
    EXPECT_EQ(console.Text(), "");
}

TEST_F(Preprocessor, SelfReferentialDefinesAreSkippedWithAWarning) {
    EXPECT_EQ(Run("#define LOOP LOOP + 1\n#define ONE 1\nLOOP ONE\n"), " LOOP 1\n");
    EXPECT_EQ(console.Text(),
              "\nPreprocessor warning: Define LOOP contains its own name in its value and is not replaced");
    EXPECT_EQ(AttributeOf(console, "Preprocessor warning:"), 0x09);
    EXPECT_EQ(AttributeOf(console, "LOOP"), 0x0B);
}

TEST_F(Preprocessor, DefineWithEmptyNameIsSkippedWithAWarning) {
    EXPECT_EQ(Run("abc\n#define   "), " abc\n");
    EXPECT_EQ(console.Text(),
              "\nPreprocessor warning: Define with an empty name and the value  is not replaced");
}

TEST_F(Preprocessor, RunawayDefineIsSkippedWithAWarning) {
    // Each "a" in front of a "b" doubles the b's: 2^40 characters if left to run.
    EXPECT_EQ(Run("#define ab bba\n" + std::string(40, 'a') + "b"), " " + std::string(40, 'a') + "b");
    EXPECT_EQ(console.Text(),
              "\nPreprocessor warning: Define ab keeps forming its own name again and is not replaced");
}

TEST_F(Preprocessor, SelfIncludeStopsAtTheDepthLimitKeepingTheText) {
    dir.WriteFile("self.qsf", "x\n#include \"self.qsf\"");
    const std::string result = Run("#include \"self.qsf\" end");
    std::string expected = " ";
    for (int i = 0; i < kMaxIncludeDepth; ++i)
        expected += "x";
    expected += std::string(kMaxIncludeDepth + 1, ' ') + " end";
    EXPECT_EQ(result, expected);
    EXPECT_EQ(
        console.Text(),
        "\nPreprocessor warning: Line 2 Could not #include self.qsf (include depth limit of 64 reached)");
}

TEST_F(Preprocessor, MutualIncludesThatBranchStillEndQuickly) {
    dir.WriteFile("a.qsf", "a #include \"b.qsf\" #include \"b.qsf\"");
    dir.WriteFile("b.qsf", "b #include \"a.qsf\" #include \"a.qsf\"");
    const std::string result = Run("#include \"a.qsf\"\nafter\n");
    EXPECT_EQ(result.substr(result.size() - 7), "\nafter\n");
    EXPECT_NE(console.Text().find("Could not #include a.qsf (include depth limit of 64 reached)"),
              std::string::npos);
}

TEST_F(Preprocessor, IncludeWithoutTwoQuotesOnItsLineIsDropped) {
    dir.WriteFile("a.qsf", "A");
    EXPECT_EQ(Run("x #include a.qsf y\nnext \"quoted\";\n#include \"a.qsf\n\"z\"\n#include"),
              " x \nnext \"quoted\";\n\n\"z\"\n");
    const std::string warning =
        " #include without a path in two quote characters, the rest of the line is ignored";
    EXPECT_EQ(console.Text(), "\nPreprocessor warning: Line 1" + warning + "\nPreprocessor warning: Line 3" +
                                  warning + "\nPreprocessor warning: Line 5" + warning);
}

TEST(PreprocessorPaths, GetDirectory) {
    EXPECT_EQ(GetDirectory("SCRIPT/SYSTEM/MAIN.QSF"), "SCRIPT/SYSTEM/");
    EXPECT_EQ(GetDirectory("dir\\sub\\file.txt"), "dir/sub/");
    EXPECT_EQ(GetDirectory("a\\b/c"), "a/b/");
    EXPECT_EQ(GetDirectory("file.txt"), "");
    EXPECT_EQ(GetDirectory("SCRIPT/"), "SCRIPT/");
    EXPECT_EQ(GetDirectory(""), "");
}

// The replacement as the engine defines it: replace the first occurrence, search again from the start.
// Empty when it has not ended after `maxSteps` replacements.
std::optional<std::string> RestartingReplaceAll(std::string text, const std::string& from,
                                                const std::string& to, int maxSteps) {
    for (size_t at; (at = text.find(from)) != std::string::npos;) {
        if (maxSteps-- == 0) return std::nullopt;
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST(PreprocessorReplaceAll, MatchesRestartingFromTheBeginning) {
    std::mt19937 random(12345);
    auto word = [&](size_t minLength, size_t maxLength) {
        std::string s(std::uniform_int_distribution<size_t>(minLength, maxLength)(random), 'a');
        for (char& c : s) {
            c = static_cast<char>('a' + std::uniform_int_distribution<int>(0, 2)(random));
        }
        return s;
    };
    int compared = 0;
    for (int round = 0; round < 30000; ++round) {
        const std::string from = word(1, 4);
        const std::string to = word(0, from.size() + 2);
        const std::string text = word(0, 40);
        if (to.find(from) != std::string::npos) continue;
        const std::optional<std::string> expected = RestartingReplaceAll(text, from, to, 2000);
        if (!expected) continue;  // growing without end; the refusal is tested below
        const std::optional<std::string> fast = ReplaceAll(text, from, to);
        ASSERT_TRUE(fast.has_value()) << text << " / " << from << " -> " << to;
        ASSERT_EQ(*fast, *expected) << text << " / " << from << " -> " << to;
        ++compared;
    }
    EXPECT_GT(compared, 20000);
}

TEST(PreprocessorReplaceAll, RefusesReplacementsThatNeverEnd) {
    EXPECT_FALSE(ReplaceAll("abc", "", "x").has_value());
    EXPECT_FALSE(ReplaceAll("abc", "b", "abc").has_value());
    EXPECT_FALSE(ReplaceAll(std::string(30, 'a') + "b", "ab", "bba").has_value());
    EXPECT_EQ(ReplaceAll("aab", "ab", "ba"), "baa");
    EXPECT_EQ(ReplaceAll("nothing here", "X", "Y"), "nothing here");
}

TEST(PreprocessorReplaceAll, LargeScriptWithManyUsesIsLinear) {
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "x = SPEED * i;\n";
    }
    const std::optional<std::string> result = ReplaceAll(text, "SPEED", "(1.5 + BASE)");
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->size(), text.size() + 200000 * 7);
    EXPECT_EQ(result->substr(0, 24), "x = (1.5 + BASE) * i;\nx ");
}

}  // namespace
