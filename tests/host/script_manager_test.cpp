#include "host/script_manager.h"

#include <gtest/gtest.h>

#include "app/frame_loop.h"
#include "host/builtin_table.h"
#include "host/script_builtins.h"
#include "platform/headless/headless_platform.h"
#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

class ScriptManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = g_platform.platform;
        SetPlatform(&platform_);
        ResetGame();
        game_.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    }
    void TearDown() override {
        ResetGame();
        SetPlatform(previous_);
    }

    HeadlessPlatform platform_;
    Platform* previous_ = nullptr;
    TempDir game_;
    ScopedWorkingDirectory inGame_{game_.Path()};
};

TEST_F(ScriptManagerTest, ReportsAreColouredAndCarryTheLine) {
    game_.WriteFile("A.QSF", "\n\nlet x;\nlet y = x;\n");
    CaptureConsole console;
    EXPECT_EQ(CreateScript("A.QSF"), 0);
    const std::vector<ConsoleSegment> segments = console.Segments();
    ASSERT_GE(segments.size(), 4u);
    EXPECT_EQ(segments[0].text, "\n");
    EXPECT_EQ(segments[1], (ConsoleSegment{0x0C, "Machine error:"}));
    EXPECT_EQ(segments[2].text, " Line ");
    EXPECT_EQ(segments[3], (ConsoleSegment{0x0B, "4"}));
    EXPECT_EQ(console.Text(),
              "\nMachine error: Line 4 Attempted to use a variable that has never been assigned");
}

TEST_F(ScriptManagerTest, BuiltinsCalledFromAMachineInNoSlot) {
    ScriptEngine engine;
    ScriptMachine machine(engine);
    Value argument = NewReal(engine.types, 6);
    CaptureConsole console;
    EXPECT_EQ(ValueToReal(ScriptGetOwnScriptId(machine, 0, nullptr)), -1);
    EXPECT_TRUE(ScriptSetScriptResult(machine, 1, &argument).IsVoid());
    EXPECT_TRUE(ScriptSetAutoDeleteObject(machine, 1, &argument).IsVoid());
    EXPECT_TRUE(ScriptGetCurrentScriptInfo(machine, 1, &argument).IsVoid());
    EXPECT_EQ(console.Text(),
              "\nVM Warning: GetOwnScriptId() did not find the Virtual Machine"
              "\nVM Warning: SetScriptResult did not find the Virtual Machine"
              "\nVM Warning: SetAutoDeleteObject did not find the Virtual Machine"
              "\nVM Warning: GetCurrentScriptInfoA1 did not find the Virtual Machine");
    EXPECT_FALSE(machine.error.raised);
}

TEST_F(ScriptManagerTest, AutoDeleteFlagOfTheCallingScript) {
    game_.WriteFile("C.QSF", "SetAutoDeleteObject(false);\n");
    game_.WriteFile("D.QSF", "@Loading { SetAutoDeleteObject([]); }\n");
    EXPECT_EQ(CreateScript("C.QSF"), 0);
    EXPECT_EQ(CreateScript("D.QSF"), 1);
    EXPECT_FALSE(g_scripts.slots[0].autoDelete);
    EXPECT_FALSE(g_scripts.slots[1].autoDelete);
    EXPECT_TRUE(g_scripts.slots[2].autoDelete);
}

TEST_F(ScriptManagerTest, RestartOfAFreeSlotLeavesItFree) {
    game_.WriteFile("E.QSF", "RestartScript(3);\n");
    CreateScript("E.QSF");
    UpdateScripts();
    EXPECT_FALSE(g_scripts.slots[3].machine);
    EXPECT_EQ(g_scripts.slots[3].request, ScriptRequestNone);
    EXPECT_EQ(g_scripts.liveCount, 1);
}

TEST_F(ScriptManagerTest, ClosingClearsTheSlotButKeepsItsResult) {
    game_.WriteFile("F.QSF", "#Title[\"f\"]\nSetScriptResult(7);\nCloseScript(0);\n");
    CaptureConsole console;
    CreateScript("F.QSF");
    EXPECT_EQ(g_scripts.liveCount, 1);
    EXPECT_STREQ(g_scripts.slots[0].header.title, "f");
    UpdateScripts();
    EXPECT_EQ(console.Text(), "\nVM Status: Shutting down Virtual Machine 0");
    const ScriptSlot& slot = g_scripts.slots[0];
    EXPECT_FALSE(slot.machine);
    EXPECT_FALSE(slot.engine);
    EXPECT_TRUE(slot.path.empty());
    EXPECT_TRUE(slot.source.empty());
    EXPECT_STREQ(slot.header.title, "");
    EXPECT_EQ(ValueToReal(slot.result), 7);
    EXPECT_EQ(g_scripts.liveCount, 0);
}

}  // namespace
