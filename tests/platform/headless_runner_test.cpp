#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "render/image.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(HeadlessRunner, RunsTheDemo) {
    // Beside the program: build/<preset>/tools/Headless.
    const std::filesystem::path runner =
        std::filesystem::path(SPARREL_MAIN_PATH).parent_path() / "tools" / "Headless";
    TempDir work;
    const ProgramRun run =
        RunProgram(runner.string(), {"--frames", "300", SPARREL_SOURCE_DIR "/demo"}, work.Path());
    EXPECT_EQ(run.exitCode, 0) << run.standardError;
    // Without keys the demo stays on its title.
    EXPECT_NE(run.standardOutput.find("main: ready"), std::string::npos) << run.standardOutput;
    EXPECT_EQ(run.standardOutput.find("started"), std::string::npos) << run.standardOutput;
    EXPECT_EQ(run.standardError.find("rror"), std::string::npos) << run.standardError;
}

TEST(HeadlessRunner, RefusesBadArguments) {
    const std::filesystem::path runner =
        std::filesystem::path(SPARREL_MAIN_PATH).parent_path() / "tools" / "Headless";
    TempDir work;
    EXPECT_EQ(RunProgram(runner.string(), {"--key", "1:300:down"}, work.Path()).exitCode, 2);
    EXPECT_EQ(RunProgram(runner.string(), {"--frames", "-1"}, work.Path()).exitCode, 2);
    EXPECT_EQ(RunProgram(runner.string(), {"--frames", "1", "missing-folder"}, work.Path()).exitCode, 1);
}

}  // namespace

// Memory the system refuses, not only the length limit of one array: the script that asked stops with
// a run-time error and the game goes on. Address-space limits and the sanitizers' shadow memory do
// not mix, so this runs in the plain builds only.
TEST(HeadlessRunner, ScriptOutOfMemoryStopsOnlyThatScript) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address-space limit under AddressSanitizer";
#endif
    const std::filesystem::path runner =
        std::filesystem::path(SPARREL_MAIN_PATH).parent_path() / "tools" / "Headless";
    TempDir game;
    game.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    game.WriteFile("SCRIPT/SYSTEM/MAIN.QSF",
                   "@Initialize { StartScript(LoadScript(\"SCRIPT/HOARDER.QSF\")); }\n"
                   "@MainLoop { print(\"frame\"); }\n");
    // Copies of a 4-million-element array, each within the length limit, kept until memory runs out.
    game.WriteFile("SCRIPT/HOARDER.QSF",
                   "let kept = [];\n"
                   "@Initialize {\n"
                   "    let a = [1];\n"
                   "    while (length(a) < 4194304) { a = a ~ a; }\n"
                   "    loop { kept = kept ~ [a ~ [1]]; }\n"
                   "}\n");
    const ProgramRun run = RunProgram(
        "/bin/sh", {"-c", "ulimit -v 1000000 && exec \"$0\" --frames 3", runner.string()}, game.Path());
    EXPECT_EQ(run.exitCode, 0) << run.standardError;
    EXPECT_NE(run.standardError.find("Machine error: Line 5 Out of memory"), std::string::npos)
        << run.standardError;
    EXPECT_EQ(run.standardOutput, "frame\nframe\nframe\n");
}

// The same game folder and the same scripted keys give the same bytes on every run: the clock is
// virtual, the random generator is seeded from it, and the systems walk their stores in order.
TEST(HeadlessRunner, ReplaysAreIdentical) {
    const std::filesystem::path runner =
        std::filesystem::path(SPARREL_MAIN_PATH).parent_path() / "tools" / "Headless";
    TempDir game;
    game.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    game.WriteFile("SCRIPT/SYSTEM/MAIN.QSF",
                   "let ship = ECS_Create(true);\n"
                   "SysMovement_Add(ship);\n"
                   "SysMovement_SetPosition(ship, 200, 300, 0);\n"
                   "SysPlayer_Add(ship);\n"
                   "let frame = 0;\n"
                   "@MainLoop {\n"
                   "    frame++;\n"
                   "    let shot = Intrin_CreateShotA2(200, 100, rand(1, 3), rand(0, 360), 0, 0, 1, 0);\n"
                   "    print(itoa(frame) ~ \" \" ~ ToString(SysMovement_GetPosition(ship)) ~ \" \" ~ "
                   "ToString(SysMovement_GetPosition(shot)) ~ \" \" ~ itoa(ECS_EntityCount()));\n"
                   "}\n");
    const std::vector<std::string> arguments = {"--frames", "240", "--key", "10:37:down", "--key", "50:160:down",
                                                "--key", "90:37:up", "--key", "95:38:down"};
    const ProgramRun first = RunProgram(runner.string(), arguments, game.Path());
    const ProgramRun second = RunProgram(runner.string(), arguments, game.Path());
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.standardOutput, second.standardOutput);
    EXPECT_EQ(first.standardError, second.standardError);
    EXPECT_NE(first.standardOutput.find("240 "), std::string::npos);
}

// A text scene drawn by the software device through the whole engine (script, text layout, render
// queue) matches its reference frame exactly. SPARREL_UPDATE_FRAMES=1 writes the reference anew.
TEST(HeadlessRunner, TextSceneMatchesItsReferenceFrame) {
    const std::filesystem::path runner =
        std::filesystem::path(SPARREL_MAIN_PATH).parent_path() / "tools" / "Headless";
    const std::string frames = SPARREL_SOURCE_DIR "/tests/platform/frames/";
    TempDir work;
    const std::string written = (work.Path() / "frame.png").string();
    const ProgramRun run =
        RunProgram(runner.string(), {"--frames", "3", "--png", "2:" + written, frames + "text_scene"}, work.Path());
    ASSERT_EQ(run.exitCode, 0) << run.standardError;
    if (std::getenv("SPARREL_UPDATE_FRAMES") != nullptr)
        std::filesystem::copy_file(written, frames + "text_scene.png", std::filesystem::copy_options::overwrite_existing);
    Image* frame = LoadImage(written.c_str());
    Image* reference = LoadImage((frames + "text_scene.png").c_str());
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(frame->width, reference->width);
    EXPECT_EQ(frame->height, reference->height);
    if (frame->width == reference->width && frame->height == reference->height) {
        EXPECT_EQ(std::memcmp(frame->pixels, reference->pixels, size_t{frame->width} * frame->height * 4), 0);
    }
    FreeImage(frame);
    FreeImage(reference);
}
