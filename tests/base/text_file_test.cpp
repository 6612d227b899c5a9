#include "base/text_file.h"

#include <gtest/gtest.h>

#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(TextFile, ReadFoldsCrLfOnlyAndKeepsOtherBytes) {
    TempDir dir;
    dir.WriteFile("a.txt", std::string("one\r\ntwo\rthree\n\r\n\0end\r", 22));
    CaptureConsole console;
    EXPECT_EQ(ReadTextFile((dir.Path() / "a.txt").string()), std::string("one\ntwo\rthree\n\n\0end\r", 20));
    EXPECT_EQ(console.Text(), "");
}

TEST(TextFile, ReadOfMissingFileOrFolderReportsAndReturnsEmpty) {
    TempDir dir;
    CaptureConsole console;
    const std::string missing = (dir.Path() / "missing.txt").string();
    EXPECT_EQ(ReadTextFile(missing), "");
    EXPECT_EQ(console.Text(), "\nCLI Error: Failed to read file " + missing);
    EXPECT_EQ(console.Segments()[1], (ConsoleSegment{0x0C, "CLI Error:"}));

    console.Clear();
    EXPECT_EQ(ReadTextFile(dir.Path().string()), "");
    EXPECT_EQ(console.Text(), "\nCLI Error: Failed to read file " + dir.Path().string());
}

TEST(TextFile, WriteTruncatesAndReportsUnwritablePath) {
    TempDir dir;
    dir.WriteFile("out.txt", "a much longer previous content\n");
    CaptureConsole console;
    WriteTextFile((dir.Path() / "out.txt").string(), "new\n");
    EXPECT_EQ(dir.ReadFile("out.txt"), "new\n");
    WriteTextFile((dir.Path() / "out.txt").string(), "");
    EXPECT_TRUE(dir.Exists("out.txt"));
    EXPECT_EQ(dir.ReadFile("out.txt"), "");
    EXPECT_EQ(console.Text(), "");

    const std::string bad = (dir.Path() / "no-such-folder" / "out.txt").string();
    WriteTextFile(bad, "x");
    EXPECT_EQ(console.Text(), "\nCLI Error: Failed to write file " + bad);
}

}  // namespace
