#include "ecs/movement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "ecs/entity_system.h"
#include "ecs/system_callbacks.h"
#include "platform/headless/headless_platform.h"
#include "tests/support/capture_console.h"

namespace {

class MovementTest : public ::testing::Test {
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
    HeadlessPlatform platform_;
    Platform* previous_ = nullptr;
};

using Rows = float[3][3];

void Multiply(const Rows& a, const Rows& b, Rows& out) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
}

// The rotation built step by step: roll about Z, then pitch about X, then yaw about Y (row vectors).
void Composed(float yaw, float pitch, float roll, Rows& out) {
    const Rows z = {{std::cos(roll), std::sin(roll), 0}, {-std::sin(roll), std::cos(roll), 0}, {0, 0, 1}};
    const Rows x = {{1, 0, 0}, {0, std::cos(pitch), std::sin(pitch)}, {0, -std::sin(pitch), std::cos(pitch)}};
    const Rows y = {{std::cos(yaw), 0, -std::sin(yaw)}, {0, 1, 0}, {std::sin(yaw), 0, std::cos(yaw)}};
    Rows zx;
    Multiply(z, x, zx);
    Multiply(zx, y, out);
}

TEST_F(MovementTest, TransformIsScaleThenRollPitchYawThenPosition) {
    const EntityId id = CreateEntity(true);
    MovementComponent& c = *AddMovement(id);
    EXPECT_EQ(std::memcmp(&c.transform, &kIdentityMatrix, sizeof(Matrix4)), 0);
    c.scaleX = 2, c.scaleY = 3, c.scaleZ = 4;
    c.angleX = MovementRadians(30), c.angleY = MovementRadians(45), c.angleZ = MovementRadians(60);
    c.x = 5, c.y = 6, c.z = 7;
    RebuildTransform(c);

    Rows r;
    Composed(c.angleY, c.angleX, c.angleZ, r);
    const Matrix4& t = *SysMovement_GetTransformMatrix(id);
    const float scale[3] = {2, 3, 4};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(t.m[i][j], r[i][j] * scale[i], 1e-5) << i << "," << j;
        EXPECT_EQ(t.m[i][3], 0);
    }
    EXPECT_EQ(t.m[3][0], 5);
    EXPECT_EQ(t.m[3][1], 6);
    EXPECT_EQ(t.m[3][2], 7);
    EXPECT_EQ(t.m[3][3], 1);

    // Upright sprites: scale and position, no rotation.
    const Matrix4 fixed = SysMovement_GetTransformMatrixFixedAngle(id);
    const Matrix4 expected = {{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {5, 6, 7, 1}}};
    EXPECT_EQ(std::memcmp(&fixed, &expected, sizeof(Matrix4)), 0);
}

TEST_F(MovementTest, StepMovesAlongTheRotatedUpVectorAndSkipsInactiveEntities) {
    const EntityId id = CreateEntity(true);
    const EntityId idle = CreateEntity(false);
    MovementComponent& c = *AddMovement(id);
    c.angleX = 0.3f, c.angleY = 0.2f, c.angleZ = 0.1f, c.speed = 2;
    AddMovement(idle)->speed = 5;
    RunUpdateCallbacks();

    // Angle X is the yaw of the direction and angle Y its pitch; the step goes against row 1.
    Rows d;
    Composed(0.3f, 0.2f, 0.1f, d);
    EXPECT_NEAR(c.x, -2 * d[1][0], 1e-6);
    EXPECT_NEAR(c.y, -2 * d[1][1], 1e-6);
    EXPECT_NEAR(c.z, -2 * d[1][2], 1e-6);
    EXPECT_EQ(c.transform.m[3][1], c.y);
    EXPECT_EQ(LookupMovement(idle)->y, 0);
}

TEST_F(MovementTest, RemovalMovesTheLastComponentAndKeepsTheIndexTable) {
    const EntityId a = CreateEntity(true), b = CreateEntity(true), c = CreateEntity(true);
    AddMovement(a)->x = 1;
    AddMovement(b)->x = 2;
    AddMovement(c)->x = 3;
    DeleteEntity(a);
    EXPECT_EQ(g_movement.count, 2);
    EXPECT_EQ(g_movement.ids[0], c);
    EXPECT_EQ(LookupMovement(c)->x, 3);
    EXPECT_EQ(LookupMovement(b)->x, 2);
    EXPECT_EQ(LookupMovement(a), nullptr);
    RemoveMovement(c);
    RemoveMovement(c);  // none left: nothing happens
    EXPECT_EQ(g_movement.count, 1);
    EXPECT_EQ(LookupMovement(b)->x, 2);
    EXPECT_EQ(LookupMovement(65535), nullptr);
}

TEST_F(MovementTest, MatrixGettersWithoutTheComponentSayWhatTheyReturn) {
    CaptureConsole console;
    EXPECT_EQ(SysMovement_GetTransformMatrix(9), nullptr);
    const Matrix4 fixed = SysMovement_GetTransformMatrixFixedAngle(9);
    EXPECT_EQ(std::memcmp(&fixed, &kIdentityMatrix, sizeof(Matrix4)), 0);
    EXPECT_EQ(console.Text(),
              "\nECS warning: Unable to find Movement Component for Entity 9 while executing "
              "SysMovement_GetTransformMatrix, returning NULL"
              "\nECS warning: Unable to find Movement Component for Entity 9 while executing "
              "SysMovement_GetTransformMatrixFixedAngle, returning IDENTITY");
    EXPECT_EQ(console.Segments().back(), (ConsoleSegment{0x0C, "IDENTITY"}));
}

TEST_F(MovementTest, AFullStoreRefusesWithAWarning) {
    for (int i = 0; i < kMovementCapacity; ++i)
        ASSERT_NE(AddMovement(CreateEntity(true)), nullptr);
    CaptureConsole console;
    const EntityId extra = CreateEntity(true);
    EXPECT_EQ(AddMovement(extra), nullptr);
    EXPECT_EQ(console.Text(), "\nECS warning: Unable to add Movement Component to Entity " + std::to_string(extra) +
                                  ", all 2048 components are in use");
}

}  // namespace
