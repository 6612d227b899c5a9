// The start-up token check as a user meets it: `Main help` run in a game folder.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

std::string SourceFile(const std::string& relative) {
    std::ifstream in(std::string(SPARREL_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(StartupTokenCheck, DefaultShotDataLeavesTheReferenceTokenFile) {
    TempDir dir;
    const std::string sheet = "SCRIPT/SYSTEM/VANTOR/Default_ShotData.sht";
    dir.WriteFile(sheet, SourceFile("demo/" + sheet));
    const ProgramRun run = RunProgram(SPARREL_MAIN_PATH, {"help"}, dir.Path());
    EXPECT_EQ(run.exitCode, 0);
    const std::string reference = SourceFile("tests/cli/data/DCOMP.TKB");
    ASSERT_FALSE(reference.empty());
    EXPECT_EQ(dir.ReadFile("DCOMP.TKB"), reference);
    EXPECT_EQ(run.standardError.find("Scanner"), std::string::npos) << run.standardError;
    EXPECT_EQ(run.standardError.find("TKB"), std::string::npos) << run.standardError;
    EXPECT_EQ(run.standardError.find("TKS"), std::string::npos) << run.standardError;
    EXPECT_NE(run.standardError.find("Command line operations:"), std::string::npos) << run.standardError;
}

TEST(StartupTokenCheck, WithoutShotDataStartUpGoesOn) {
    TempDir dir;
    const ProgramRun run = RunProgram(SPARREL_MAIN_PATH, {"help"}, dir.Path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(dir.Exists("DCOMP.TKB"));
    // The encoder is silent about the missing sheet; only the token file that is not there is mentioned.
    const std::string expected =
        "Sparrel Console\nApplication started\nTKB Warning: Could not open file DCOMP.TKB for reading\n"
        "Evaluating command line arguments...";
    EXPECT_EQ(run.standardError.substr(0, expected.size()), expected) << run.standardError;
    EXPECT_NE(run.standardError.find("Command line operations:"), std::string::npos) << run.standardError;
}

}  // namespace
