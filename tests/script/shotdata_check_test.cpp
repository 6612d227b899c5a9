#include "script/shotdata_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

const char* const kSheet = "SCRIPT/SYSTEM/VANTOR/Default_ShotData.sht";

std::string SourceFile(const std::string& relative) {
    std::ifstream in(std::string(SPARREL_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ShotDataTokenCheck, DemoSheetGivesTheReferenceTokenFileSilently) {
    TempDir dir;
    dir.WriteFile(kSheet, SourceFile(std::string("demo/") + kSheet));
    CaptureConsole console;
    {
        ScopedWorkingDirectory cwd(dir.Path());
        RunShotDataTokenCheck();
    }
    EXPECT_EQ(dir.ReadFile("DCOMP.TKB"), SourceFile("tests/cli/data/DCOMP.TKB"));
    EXPECT_EQ(console.Text(), "");
}

TEST(ShotDataTokenCheck, WithoutSheetOnlyTheMissingTokenFileIsMentioned) {
    TempDir dir;
    CaptureConsole console;
    {
        ScopedWorkingDirectory cwd(dir.Path());
        RunShotDataTokenCheck();
    }
    EXPECT_FALSE(dir.Exists("DCOMP.TKB"));
    EXPECT_EQ(console.Text(), "\nTKB Warning: Could not open file DCOMP.TKB for reading");
}

TEST(ShotDataTokenCheck, TokenFileIsRewrittenAtEveryStart) {
    TempDir dir;
    dir.WriteFile("DCOMP.TKB", std::string(1000, 'x'));
    dir.WriteFile(kSheet, "id = 1");
    CaptureConsole console;
    ScopedWorkingDirectory cwd(dir.Path());
    RunShotDataTokenCheck();
    EXPECT_EQ(dir.ReadFile("DCOMP.TKB"), std::string("\x44\x11\x2D\x01\x01", 5));
    EXPECT_EQ(console.Text(), "");
}

TEST(ShotDataTokenCheck, ScansHeaderEveryEntryAndEntryOneAgain) {
    TempDir dir;
    // The header scan reports the "=" missing after shot_image; the second entry's missing "=" is
    // reported by its own scan and again by the repeated scan of entry 1.
    dir.WriteFile(kSheet, "shot_image \"a.png\" ShotData { id = 1 } ShotData { id 2 }");
    CaptureConsole console;
    ScopedWorkingDirectory cwd(dir.Path());
    RunShotDataTokenCheck();
    const std::string missing = "\nBinary Scanner error: Line 1 expected = (Assign)";
    EXPECT_EQ(console.Text(), missing + missing + missing);
}

}  // namespace
