#include "ecs/binding_args.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "ecs/entity_system.h"
#include "ecs/key_map.h"
#include "ecs/movement.h"
#include "ecs/ownership.h"
#include "ecs/system_callbacks.h"
#include "host/builtin_table.h"
#include "platform/headless/headless_platform.h"
#include "script/machine.h"
#include "tests/support/capture_console.h"

namespace {

class SystemBindingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = g_platform.platform;
        SetPlatform(&platform_);
        ResetEntitySystem();
        InitEntitySystem();
    }
    void TearDown() override {
        ResetEntitySystem();
        SetPlatform(previous_);
    }
    Value Real(double r) { return NewReal(engine_.types, r); }

    HeadlessPlatform platform_;
    Platform* previous_ = nullptr;
    ScriptEngine engine_;
    ScriptMachine machine_{engine_};
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST_F(SystemBindingsTest, NumbersAreReadDefinedForEveryReal) {
    std::vector<Value> values = {Real(kNaN), Real(kInf), Real(-kInf), Real(1e300), Real(-2.9), Real(261.7),
                                 Real(65537), Real(1.5)};
    const BuiltinArgs args(static_cast<int32_t>(values.size()), values.data());
    EXPECT_EQ(args.Integer(0), 0);
    EXPECT_EQ(args.Integer(1), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(args.Integer(2), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(args.Int32(3), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(args.Integer(4), -2);
    EXPECT_EQ(args.Byte(5), 5);
    EXPECT_EQ(args.FrameCount(6), 1);
    EXPECT_EQ(args.Float(3), std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(args.Float(0)));
    EXPECT_TRUE(args.Flag(0));  // NaN is not 0
    EXPECT_FALSE(args.Flag(8)); // past the count: void, read as 0
    EXPECT_TRUE(args[8].IsVoid());
    EXPECT_TRUE(args[-1].IsVoid());

    CaptureConsole console;
    EntityId id = 99;
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(args.EntityIdAt(i, "Test", id));
    EXPECT_FALSE(args.EntityIdAt(6, "Test", id));  // the low 16 bits would make it 1
    EXPECT_FALSE(args.ExistingEntityAt(4, "Test", id));
    EXPECT_EQ(id, 99);
    EXPECT_EQ(console.Text(),
              "\nECS warning: Invalid Entity -1 while executing Test"
              "\nECS warning: Invalid Entity 9223372036854775807 while executing Test"
              "\nECS warning: Invalid Entity -9223372036854775808 while executing Test"
              "\nECS warning: Invalid Entity 9223372036854775807 while executing Test"
              "\nECS warning: Invalid Entity 65537 while executing Test"
              "\nECS warning: Invalid Entity -2 while executing Test");
    EXPECT_TRUE(args.ExistingEntityAt(7, "Test", id));  // entity 1, made at start-up
    EXPECT_EQ(id, 1);
}

// Every row of these systems, with every argument of one bad kind and any count up to one past its
// own, answers without a crash or a script error (AddressSanitizer watches the rest).
TEST_F(SystemBindingsTest, EveryRowTakesAnyArgumentKindAndCount) {
    const EntityId live = CreateEntity(true);
    AddMovement(live);
    AddKeyMap(live);
    SetOwner(CreateEntity(true), live);
    TypeTable& types = engine_.types;
    Value nested = NewArray(types.ArrayOf(types.ArrayOf(types.Real())));
    nested.Body()->elements.Append(NewArray(types.ArrayOf(types.Real())));
    const std::vector<Value> profiles = {
        Value(), Real(kNaN), Real(kInf), Real(-kInf), Real(-1), Real(1e300), Real(4096), Real(65535),
        Real(live), NewString(types, u"text"), NewBoolean(types, true), NewChar(types, u'x'), nested};
    CaptureConsole console;
    int calls = 0;
    for (const BuiltinEntry& entry : BuiltinTable()) {
        const std::string_view name = entry.name;
        if (!name.starts_with("SysMovement_") && !name.starts_with("SysKeyMap_") &&
            !name.starts_with("SysObjType_") && !name.starts_with("SysOwnership_"))
            continue;
        for (const Value& profile : profiles) {
            for (int32_t count = 0; count <= entry.argumentCount + 1; ++count) {
                std::vector<Value> arguments(static_cast<size_t>(count), profile);
                entry.function(machine_, count, arguments.empty() ? nullptr : arguments.data());
                ASSERT_FALSE(machine_.error.raised) << name;
                ++calls;
            }
        }
        RunUpdateCallbacks();
    }
    EXPECT_GT(calls, 53 * 13 * 2);
}

}  // namespace
