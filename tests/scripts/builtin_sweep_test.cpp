// Every builtin of the table, called by a script with hostile arguments: one call per game, run on
// the headless platform for two frames. A crash, a hang or a sanitizer report fails the run; a second
// script must keep running whatever the call did. Rows added to the table are swept without anyone
// listing them.
#include <gtest/gtest.h>

#include <string>

#include "app/frame_loop.h"
#include "host/builtin_table.h"
#include "platform/headless/headless_game.h"
#include "platform/headless/null_render_device.h"
#include "render/device.h"
#include "tests/support/capture_console.h"
#include "tests/support/png_writer.h"
#include "tests/support/temp_dir.h"

namespace {

struct ArgumentProfile {
    const char* name;
    const char* argument;  // script expression passed for every argument
};

const ArgumentProfile kProfiles[] = {
    {"Zeros", "0"},
    {"NaN", "0 / 0"},
    {"MinusOne", "-1"},
    {"Huge", "10 ^ 300"},
    {"Infinity", "-(10 ^ 400)"},
    {"Text", "\"SCRIPT/SYSTEM/MAIN.QSF\""},
    {"Array", "[1, [2], \"3\"]"},
    {"Void", "Nothing()"},
    {"LiveEntity", "entity"},
};

std::string CallOf(const BuiltinEntry& entry, const char* argument) {
    std::string call = std::string(entry.name) + "(";
    for (int32_t i = 0; i < entry.argumentCount; ++i) {
        if (i > 0) call += ", ";
        call += argument;
    }
    return call + ");";
}

class BuiltinSweepTest : public ::testing::TestWithParam<ArgumentProfile> {};

TEST_P(BuiltinSweepTest, EveryBuiltinLeavesTheGameRunning) {
    const ArgumentProfile& profile = GetParam();
    TempDir game;
    game.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    game.WriteFile("SCRIPT/SENTINEL.QSF", "@MainLoop { print(\"alive\"); }\n");
    game.WriteFile(kMenuImagePath, SolidPng(4, 4, 0, 0, 0, 255));
    game.WriteFile(kMenuOverlayPath, SolidPng(2, 2, 255, 255, 255, 255));
    ScopedWorkingDirectory inGame(game.Path());
    HeadlessPlatform platform;
    Platform* previous = g_platform.platform;
    SetPlatform(&platform);
    // A device that checks its calls, so that every draw the call leads to goes through the back end.
    NullRenderDevice device;
    RenderDevice* previousDevice = GetRenderDevice();
    SetRenderDevice(&device);
    for (const BuiltinEntry& entry : BuiltinTable()) {
        game.WriteFile("SCRIPT/SYSTEM/MAIN.QSF",
                       "function Nothing() { }\n"
                       "let entity = ECS_Create(true);\n"
                       "@Initialize {\n"
                       "    StartScript(LoadScript(\"SCRIPT/SENTINEL.QSF\"));\n"
                       "    " + CallOf(entry, profile.argument) + "\n"
                       "}\n"
                       "@MainLoop { " + CallOf(entry, profile.argument) + " }\n");
        CaptureConsole console;
        CaptureOutput output;
        ResetGame();
        StartGame();
        RunHeadlessFrame(platform, 0);
        RunHeadlessFrame(platform, 1);
        ResetGame();
        // The sentinel's two frames at least (a call may start more), among whatever else was printed.
        const std::string& text = output.Text();
        int alive = 0;
        for (size_t at = text.find("alive\n"); at != std::string::npos; at = text.find("alive\n", at + 1))
            ++alive;
        EXPECT_GE(alive, 2) << entry.name << " with " << profile.name << ":\n" << text << console.Text();
    }
    SetRenderDevice(previousDevice);
    SetPlatform(previous);
}

INSTANTIATE_TEST_SUITE_P(Profiles, BuiltinSweepTest, testing::ValuesIn(kProfiles),
                         [](const testing::TestParamInfo<ArgumentProfile>& info) { return info.param.name; });

}  // namespace
