#include <gtest/gtest.h>

#include <filesystem>

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
    EXPECT_NE(run.standardOutput.find("demo over"), std::string::npos) << run.standardOutput;
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
