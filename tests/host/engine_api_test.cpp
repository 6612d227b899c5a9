#include "host/engine_api.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "app/frame_loop.h"
#include "base/frame_stats.h"
#include "base/input_state.h"
#include "host/common_data.h"
#include "host/common_data_builtins.h"
#include "host/script_manager.h"
#include "host/system_data.h"
#include "script/machine.h"
#include "tests/support/capture_console.h"

namespace {

class EngineApiTest : public ::testing::Test {
protected:
    void SetUp() override { ResetGame(); }
    void TearDown() override { ResetGame(); }

    Value Text(const char16_t* text) { return NewString(engine_.types, text); }
    Value Real(double real) { return NewReal(engine_.types, real); }

    ScriptEngine engine_;
    ScriptMachine machine_{engine_};
};

TEST_F(EngineApiTest, LogTextKeepsItsPercentSignsAndColours) {
    CaptureConsole console;
    Value text = Text(u"%s at limeblack{50%} of %d");
    EXPECT_TRUE(ApiWriteLog(machine_, 1, &text).IsVoid());
    EXPECT_EQ(console.Segments(),
              (std::vector<ConsoleSegment>{{0x0F, "\n%s at "}, {0x0A, "50%"}, {0x0F, " of %d"}}));

    console.Clear();
    Value more = Text(u" and on");
    ApiAppendLog(machine_, 1, &more);
    EXPECT_EQ(console.Segments(), (std::vector<ConsoleSegment>{{0x0F, " and on"}}));

    console.Clear();
    Value error = Text(u"%n%n%n");
    EXPECT_TRUE(ApiRaiseError(machine_, 1, &error).IsVoid());
    EXPECT_EQ(console.Segments(),
              (std::vector<ConsoleSegment>{{0x0F, "\n"}, {0x0C, "Script Error:"}, {0x0F, " %n%n%n"}}));
    EXPECT_FALSE(machine_.error.raised);
}

TEST_F(EngineApiTest, KeyAndMouseStatesComeFromTheInputTables) {
    g_input.keys.states[0x41] = KeyHeld;
    g_input.keys.states[0xFF] = KeyReleased;
    g_input.mousePosition = {639, -3};
    for (double key : {65.0, 65.9, 321.0}) {
        Value argument = Real(key);
        EXPECT_EQ(ValueToReal(ApiGetKeyState(machine_, 1, &argument)), KeyHeld) << key;
    }
    Value minusOne = Real(-1);
    EXPECT_EQ(ValueToReal(ApiGetKeyState(machine_, 1, &minusOne)), KeyReleased);
    EXPECT_EQ(ValueToReal(ApiGetMouseX(machine_, 0, nullptr)), 639);
    EXPECT_EQ(ValueToReal(ApiGetMouseY(machine_, 0, nullptr)), -3);

    CaptureConsole console;
    Value infinite = Real(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(ValueToReal(ApiGetKeyState(machine_, 1, &infinite)), KeyFree);
    EXPECT_EQ(console.Text(), "\nVantor Interface warning: GetKeyState was given the invalid index -inf");
}

TEST_F(EngineApiTest, FrameRatesAreMeansOfAllSamples) {
    for (int i = 0; i < kFrameStatsSamples; ++i) {
        g_frameStats.achievedRate[i] = i < 9 ? 50.0f : 62.5f;
        g_frameStats.unlimitedRate[i] = static_cast<float>(i);
    }
    EXPECT_DOUBLE_EQ(ValueToReal(ApiGetCurrentFps(machine_, 0, nullptr)), (9 * 50.0 + 36 * 62.5) / 45);
    EXPECT_DOUBLE_EQ(ValueToReal(ApiGetUnlimitedFps(machine_, 0, nullptr)), 22.0);
    EXPECT_EQ(ValueToReal(ApiGetScreenWidth(machine_, 0, nullptr)), 640);
    EXPECT_EQ(ValueToReal(ApiGetScreenHeight(machine_, 0, nullptr)), 480);
}

TEST_F(EngineApiTest, ScriptDirectoryOfTheCallingSlot) {
    EXPECT_EQ(ValueToText(ApiGetCurrentScriptDirectory(machine_, 0, nullptr)), u"");
    ScriptSlot& slot = g_scripts.slots[4];
    slot.engine = std::make_unique<ScriptEngine>();
    slot.machine = std::make_unique<ScriptMachine>(*slot.engine);
    for (auto [path, directory] :
         {std::pair{"A/B\\C.QSF", u"A/B\\C.QSF"}, {"./x/y.qsf", u"./x/y.qsf"}, {"MAIN.QSF", u"MAIN.QSF"}}) {
        slot.path = path;
        const Value result = ApiGetCurrentScriptDirectory(*slot.machine, 0, nullptr);
        EXPECT_TRUE(IsString(result));
        EXPECT_EQ(ValueToText(result), directory) << path;
    }
}

// Stored values are typed apart from the script that stored them, so they outlive its program, and
// resetting releases every one of them.
TEST_F(EngineApiTest, StoredValuesOutliveTheirProgramAndResetReleasesThem) {
    {
        ScriptEngine engine;
        ScriptMachine machine(engine);
        Value list = NewArray(engine.types.ArrayOf(engine.types.String()));
        list.Body()->elements.Append(NewString(engine.types, u"kept"));
        Value arguments[3] = {NewString(engine.types, u"Area"), NewString(engine.types, u"key"), list};
        ApiSetAreaCommonData(machine, 3, arguments);
        Value slot[2] = {NewReal(engine.types, 9), list};
        ApiSystemDataSetValue(machine, 2, slot);
    }
    Value arguments[3] = {Text(u"Area"), Text(u"key"), Value()};
    const Value got = ApiGetAreaCommonData(machine_, 3, arguments);
    ASSERT_TRUE(got.IsArray());
    EXPECT_EQ(got.Type(), engine_.types.ArrayOf(engine_.types.String()));
    EXPECT_EQ(ValueToText(got), u"[kept]");
    Value nine = Real(9);
    EXPECT_EQ(ValueToText(ApiSystemDataGetValue(machine_, 1, &nine)), u"[kept]");

    // The stored array and its string, once in each store; their characters are the stores' types'.
    const size_t liveBefore = g_valuePool.liveBodies;
    ResetCommonData();
    ResetSystemData();
    EXPECT_EQ(liveBefore - g_valuePool.liveBodies, 4u);
}

}  // namespace
