#include "app/frame_loop.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/frame_stats.h"
#include "base/input_state.h"
#include "ecs/entity.h"
#include "ecs/system_callbacks.h"
#include "host/random.h"
#include "host/script_manager.h"
#include "platform/headless/headless_platform.h"
#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

HeadlessPlatform* g_testPlatform = nullptr;
int64_t g_workMicroseconds = 0;
void DoWork() {
    g_testPlatform->Advance(g_workMicroseconds);
}

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = g_platform.platform;
        SetPlatform(&platform_);
        g_testPlatform = &platform_;
        g_workMicroseconds = 0;
        ResetGame();
        g_frameLoop.counterFrequency = platform_.QueryPerformanceFrequency();
        AddUpdateCallback(DoWork);
    }
    void TearDown() override {
        ResetGame();
        SetPlatform(previous_);
    }
    HeadlessPlatform platform_;
    Platform* previous_ = nullptr;
};

TEST_F(FrameLoopTest, BudgetsOf17_16_16Milliseconds) {
    const uint32_t expected[] = {17, 33, 49, 66, 82};
    for (uint32_t total : expected) {
        RunFrame();
        EXPECT_EQ(platform_.TimeGetTime(), total);
    }
    EXPECT_EQ(g_frameLoop.frameCounter, 5);
    EXPECT_FLOAT_EQ(g_frameStats.achievedRate[0], 1000.0f / 17);
    EXPECT_FLOAT_EQ(g_frameStats.achievedRate[1], 1000.0f / 16);
    EXPECT_EQ(g_frameStats.ringIndex, 5);
}

TEST_F(FrameLoopTest, WorkTimeGivesTheUnlimitedRateAndSlowFramesDoNotWait) {
    g_workMicroseconds = 2000;
    RunFrame();
    EXPECT_FLOAT_EQ(g_frameStats.unlimitedRate[0], 500.0f);
    EXPECT_EQ(platform_.TimeGetTime(), 17u);
    g_workMicroseconds = 20000;
    RunFrame();
    EXPECT_EQ(platform_.TimeGetTime(), 37u);
    EXPECT_FLOAT_EQ(g_frameStats.achievedRate[1], 50.0f);
    // Work the counter cannot measure counts as one tick.
    g_workMicroseconds = 0;
    RunFrame();
    EXPECT_TRUE(std::isfinite(g_frameStats.unlimitedRate[2]));
}

TEST_F(FrameLoopTest, RingWrapsAfter45Samples) {
    for (int i = 0; i < kFrameStatsSamples + 1; ++i)
        RunFrame();
    EXPECT_EQ(g_frameStats.ringIndex, 1);
}

TEST_F(FrameLoopTest, WrappingMillisecondCounterSkipsTheWaitAndTheSample) {
    platform_.Advance((int64_t{1} << 32) * 1000 - 5000);  // 5 ms before the counter wraps
    g_workMicroseconds = 10000;
    RunFrame();
    EXPECT_EQ(g_frameStats.ringIndex, 0);
    EXPECT_EQ(platform_.TimeGetTime(), 5u);
    EXPECT_FLOAT_EQ(g_frameStats.unlimitedRate[0], 100.0f);
}

TEST_F(FrameLoopTest, InputAgesAtTheEndOfTheFrame) {
    HandleKeyDown('Z', false);
    RunFrame();
    EXPECT_EQ(g_input.keys.states['Z'], KeyHeld);
}

TEST_F(FrameLoopTest, StartUpSeedsTheGeneratorCreatesEntityOneAndStartsTheMainScript) {
    TempDir game;
    game.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    game.WriteFile("SCRIPT/SYSTEM/MAIN.QSF", "@Initialize { }\n");
    ScopedWorkingDirectory inGame(game.Path());
    StartGame();
    EXPECT_EQ(g_random.state, 946684800u);  // 2000-01-01 00:00:00 of the headless clock
    EXPECT_EQ(g_entities.exists[1], 1);
    EXPECT_TRUE(g_scripts.slots[0].machine);
    EXPECT_TRUE(g_scripts.slots[0].started);
    EXPECT_EQ(g_scripts.slots[0].path, kMainScriptPath);
    EXPECT_EQ(g_scripts.liveCount, 1);
}

TEST_F(FrameLoopTest, MissingMainScriptIsReportedAndTheLoopRuns) {
    TempDir game;
    ScopedWorkingDirectory inGame(game.Path());
    CaptureConsole console;
    StartGame();
    RunFrame();
    EXPECT_NE(console.Text().find("Failed to read file SCRIPT/SYSTEM/MAIN.QSF"), std::string::npos);
}

}  // namespace
