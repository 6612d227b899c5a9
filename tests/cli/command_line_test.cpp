// The program run as a user runs it: in a fresh working directory, console text read back plain
// (standard error is a file here, not a terminal).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kBanner = "Sparrel Console\nApplication started";
const std::string kEvaluating = "\nEvaluating command line arguments...";
const std::string kHelp =
    "\nDiagnostics: Command line operations:\n"
    "pp <InputFile> <OutputFile> - Preprocess a file and write output to a file\n"
    "cc <InputFile> <OutputFile> - Convert comments to C-Style comments";
const std::string kArgumentCountError =
    "\nCLI Error: Invalid amount of arguments, use argument help to show a list of available operations";

class CommandLine : public ::testing::Test {
protected:
    ProgramRun Run(const std::vector<std::string>& arguments) {
        return RunProgram(SPARREL_MAIN_PATH, arguments, dir.Path());
    }

    // The banner opens the output; what the command printed ends it. The start-up checks in
    // between are not this test's business.
    static void ExpectConsole(const ProgramRun& run, const std::string& tail) {
        EXPECT_EQ(run.standardError.substr(0, kBanner.size()), kBanner);
        ASSERT_GE(run.standardError.size(), tail.size()) << run.standardError;
        EXPECT_EQ(run.standardError.substr(run.standardError.size() - tail.size()), tail)
            << "whole output:\n"
            << run.standardError;
        EXPECT_EQ(run.standardOutput, "");
    }

    TempDir dir;
};

TEST_F(CommandLine, NoArgumentStartsGameMode) {
    // A video driver that does not exist stands for a machine without a display: game mode is
    // entered, says why it has no window and ends rather than running a loop nothing can close.
    const ProgramRun run =
        RunProgram("/bin/sh", {"-c", "SDL_VIDEODRIVER=nodisplay exec \"$0\"", SPARREL_MAIN_PATH}, dir.Path());
    EXPECT_EQ(run.exitCode, 1);
    ExpectConsole(run,
                  "\nCalling WinMain...\nApplication diagnostics: No display: nodisplay not available"
                  "\nApplication diagnostics: The game window cannot be created");
    EXPECT_EQ(run.standardError.find(kEvaluating), std::string::npos);

    // With no display at all SDL would fall back to a driver that draws nowhere: refused as well.
    const ProgramRun hidden = RunProgram(
        "/bin/sh", {"-c", "unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER; exec \"$0\"", SPARREL_MAIN_PATH}, dir.Path());
    EXPECT_EQ(hidden.exitCode, 1);
    EXPECT_NE(hidden.standardError.find("Application diagnostics: No display"), std::string::npos) << hidden.standardError;
    EXPECT_NE(hidden.standardError.find("The game window cannot be created"), std::string::npos);
}

TEST_F(CommandLine, HelpDecidesByFirstArgumentOnly) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"help"}, {"help", "pp"}, {"help", "pp", "in", "out", "more"}}) {
        const ProgramRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 0);
        ExpectConsole(run, kEvaluating + kHelp);
    }
    EXPECT_FALSE(dir.Exists("in"));
    EXPECT_FALSE(dir.Exists("out"));
}

TEST_F(CommandLine, WrongArgumentCountsReportAndExitWithZero) {
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"pp"},
                                               {"pp", "a.txt"},
                                               {"pp", "a.txt", "b.txt", "c.txt"},
                                               {"cc", "a.txt"},
                                               {"cc", "a", "b", "c"}}) {
        const ProgramRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 0);
        ExpectConsole(run, kEvaluating + kArgumentCountError);
    }
    EXPECT_FALSE(dir.Exists("b.txt"));
}

TEST_F(CommandLine, UnknownAndUpperCaseCommandsDoNothing) {
    dir.WriteFile("in.txt", "// x\n");
    for (const char* command : {"PP", "Help", "xyz", ""}) {
        const ProgramRun run = Run({command, "in.txt", "out.txt"});
        EXPECT_EQ(run.exitCode, 0);
        ExpectConsole(run, kEvaluating);
    }
    EXPECT_FALSE(dir.Exists("out.txt"));
}

TEST_F(CommandLine, PreprocessWritesFlattenedScript) {
    dir.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "// shared\r\n#define SPEED 3\r\nlet auto;\r\n");
    dir.WriteFile("script.qsf", "#Quillstorm[Stage]\r\nlet x = SPEED; // start\r\nprint(__LINE__);\r\n");
    const ProgramRun run = Run({"pp", "script.qsf", "out.qsf"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectConsole(run, kEvaluating + "\nPreprocessor diagnostics: Preprocessing script.qsf");
    EXPECT_EQ(dir.ReadFile("out.qsf"),
              "/* shared*/let auto; #Quillstorm[Stage]\nlet x = 3; /* start*/\nprint(3);\n");
}

TEST_F(CommandLine, PreprocessResolvesDotIncludesAgainstTheInputFolder) {
    // A Windows-style path: on this system the whole of it is one file name in the working folder,
    // but its folder part still gives the base directory dir/sub/.
    dir.WriteFile("dir\\sub\\file.txt", "#include \"./inc.qsf\"\nA\n");
    dir.WriteFile("dir/sub/inc.qsf", "from dir/sub\n");
    dir.WriteFile("file.txt", "#include \"./inc.qsf\"\nB\n");
    dir.WriteFile("inc.qsf", "from the working folder\n");

    ProgramRun run = Run({"pp", "dir\\sub\\file.txt", "out.txt"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(dir.ReadFile("out.txt"), " from dir/sub \nA\n");  // missing default include, then inc.qsf

    run = Run({"pp", "file.txt", "out.txt"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(dir.ReadFile("out.txt"), " from the working folder \nB\n");
    ExpectConsole(
        run,
        "\nPreprocessor diagnostics: Preprocessing file.txt"
        "\nPreprocessor warning: Line 1 Could not #include SCRIPT/SYSTEM/AUTOINCL.QSF (IfStream failure)");
}

TEST_F(CommandLine, PreprocessOfMissingInputStillWritesOutput) {
    dir.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "let auto;");
    const ProgramRun run = Run({"pp", "missing.qsf", "out.qsf"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectConsole(
        run,
        "\nPreprocessor diagnostics: Preprocessing missing.qsf\nCLI Error: Failed to read file missing.qsf");
    EXPECT_EQ(dir.ReadFile("out.qsf"), "let auto; ");
}

TEST_F(CommandLine, ConvertCommentsRewritesLineComments) {
    dir.WriteFile("in.qsf", "a; // one\r\n/* keep // this */ b;\r\n// last");
    const ProgramRun run = Run({"cc", "in.qsf", "out.qsf"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectConsole(run, kEvaluating + "\nPreprocessor diagnostics: Converting comments in.qsf");
    EXPECT_EQ(dir.ReadFile("out.qsf"), "a; /* one*/\n/* keep // this */ b;\n/* last");
}

TEST_F(CommandLine, ConvertCommentsOfMissingInputCreatesEmptyOutput) {
    const ProgramRun run = Run({"cc", "missing.txt", "out.txt"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectConsole(run,
                  "\nPreprocessor diagnostics: Converting comments missing.txt\nCLI Error: Failed to read "
                  "file missing.txt");
    EXPECT_TRUE(dir.Exists("out.txt"));
    EXPECT_EQ(dir.ReadFile("out.txt"), "");
}

TEST_F(CommandLine, UnwritableOutputIsReported) {
    dir.WriteFile("in.txt", "x\n");
    const ProgramRun run = Run({"cc", "in.txt", "no/such/folder/out.txt"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectConsole(run, "\nCLI Error: Failed to write file no/such/folder/out.txt");
}

}  // namespace
