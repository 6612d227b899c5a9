#include "ecs/entity_bindings.h"

#include <gtest/gtest.h>

#include "ecs/entity.h"
#include "ecs/entity_system.h"
#include "platform/headless/headless_platform.h"
#include "script/machine.h"
#include "tests/support/capture_console.h"

namespace {

class EntityBindingsTest : public ::testing::Test {
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

    Value Call(BuiltinFunction function, Value a = Value(), Value b = Value()) {
        Value arguments[2] = {a, b};
        return function(machine_, 2, arguments);
    }
    Value Real(double r) { return NewReal(engine_.types, r); }

    HeadlessPlatform platform_;
    Platform* previous_ = nullptr;
    ScriptEngine engine_;
    ScriptMachine machine_{engine_};
};

TEST_F(EntityBindingsTest, CreateTakesTheTruthOfAnyKind) {
    EXPECT_EQ(ValueToReal(Call(EcsCreate, Real(1))), 2);
    EXPECT_EQ(g_entities.active[2], 1);
    Call(EcsCreate, NewString(engine_.types, u""));
    EXPECT_EQ(g_entities.active[3], 0);
    Call(EcsCreate, NewString(engine_.types, u"x"));
    EXPECT_EQ(g_entities.active[4], 1);
    Call(EcsCreate, NewChar(engine_.types, 0));
    EXPECT_EQ(g_entities.active[5], 0);
    Call(EcsCreate, NewBoolean(engine_.types, true));
    EXPECT_EQ(g_entities.active[6], 1);
    Call(EcsCreate, Value());
    EXPECT_EQ(g_entities.active[7], 0);
    EXPECT_EQ(ValueToReal(Call(EcsEntityCount)), 7);
}

TEST_F(EntityBindingsTest, RemoveAndQueries) {
    Call(EcsCreate, Real(1));
    EXPECT_TRUE(ValueToBoolean(Call(EcsIsActive, Real(2.9))));
    EXPECT_TRUE(ValueToBoolean(Call(EcsExists, Real(2))));
    Call(EcsSetActive, Real(2), Real(0));
    EXPECT_FALSE(ValueToBoolean(Call(EcsIsActive, Real(2))));
    Call(EcsSetActive, Real(2), Real(1));
    EXPECT_EQ(ValueToReal(Call(EcsRemove, Real(-1))), -1);
    EXPECT_EQ(ValueToReal(Call(EcsRemove, Real(99))), 0);  // no such entity: nothing happens
    EXPECT_EQ(ValueToReal(Call(EcsRemove, Real(2))), 0);
    EXPECT_FALSE(ValueToBoolean(Call(EcsIsActive, Real(2))));
    EXPECT_FALSE(ValueToBoolean(Call(EcsExists, Real(2))));
    EXPECT_EQ(ValueToReal(Call(EcsEntityCount)), 1);
}

TEST_F(EntityBindingsTest, IdsPastTheTableAreRefused) {
    CaptureConsole console;
    EXPECT_FALSE(ValueToBoolean(Call(EcsExists, Real(4096))));
    EXPECT_FALSE(ValueToBoolean(Call(EcsIsActive, Real(65537))));  // not taken as id 1
    EXPECT_EQ(ValueToReal(Call(EcsRemove, Real(5000))), -1);
    Call(EcsSetActive, Real(0), Real(1));
    Call(EcsSetActive, Real(-3), Real(1));
    EXPECT_EQ(console.Text(),
              "\nECS warning: Invalid Entity 4096 while executing ECS_Exists"
              "\nECS warning: Invalid Entity 65537 while executing ECS_IsActive"
              "\nECS warning: Invalid Entity 5000 while executing ECS_Remove"
              "\nECS warning: Invalid Entity 0 while executing ECS_SetActive"
              "\nECS warning: Invalid Entity -3 while executing ECS_SetActive");
    EXPECT_EQ(g_entities.active[0], 0);
    console.Clear();
    // Asking about id 0 is no fault: it names no entity.
    EXPECT_FALSE(ValueToBoolean(Call(EcsExists, Real(0))));
    EXPECT_EQ(console.Text(), "");
}

}  // namespace
