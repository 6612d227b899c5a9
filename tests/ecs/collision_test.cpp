#include "ecs/collision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ecs/entity_system.h"
#include "ecs/object_type.h"
#include "platform/headless/headless_platform.h"
#include "tests/support/capture_console.h"

namespace {

class CollisionTest : public ::testing::Test {
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

Matrix4 At(float x, float y, float scaleX = 1, float scaleY = 1) {
    Matrix4 m = kIdentityMatrix;
    m.m[0][0] = scaleX;
    m.m[1][1] = scaleY;
    m.m[3][0] = x;
    m.m[3][1] = y;
    return m;
}

ColliderComponent Circle(float x, float y, float radius) {
    ColliderComponent c;
    SetColliderCircle(c, x, y, radius);
    return c;
}

ColliderComponent Rect(float left, float top, float bottom, float right) {
    ColliderComponent c;
    SetColliderRect(c, left, top, bottom, right);
    return c;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(CollisionGeometry, EdgeCases) {
    const Matrix4 origin = At(0, 0);
    // Circles meet at their entities' positions, strictly closer than the sum of the radii; their own
    // offsets do not move them.
    EXPECT_TRUE(Intersects(origin, Circle(0, 0, 3), At(5, 0), Circle(0, 0, 3)));
    EXPECT_FALSE(Intersects(origin, Circle(0, 0, 3), At(6, 0), Circle(0, 0, 3)));
    EXPECT_TRUE(Intersects(origin, Circle(100, 0, 3), At(5, 0), Circle(0, 0, 3)));
    // No reach: radius 0, negative or NaN, even at the very same place or inside a rectangle.
    for (float r : {0.0f, -1.0f, kNaN}) {
        EXPECT_FALSE(Intersects(origin, Circle(0, 0, r), origin, Circle(0, 0, 3))) << r;
        EXPECT_FALSE(Intersects(origin, Rect(-10, -10, 10, 10), origin, Circle(0, 0, r))) << r;
    }

    // A rectangle with equal sides is a line, and one with all corners equal a point: each edge of
    // length 0 is that point, not something touching everything.
    const ColliderComponent point = Rect(4, 4, 4, 4);
    EXPECT_TRUE(Intersects(origin, point, origin, Circle(5, 5, 2)));
    EXPECT_FALSE(Intersects(origin, point, origin, Circle(50, 50, 2)));
    ColliderComponent laser;
    SetColliderSegment(laser, 0, 0, 100, 0, 0);
    EXPECT_TRUE(Intersects(origin, laser, origin, Circle(30, -1.5f, 2)));
    EXPECT_FALSE(Intersects(origin, laser, origin, Circle(103, 0, 2)));  // on its line, past the end
    // Width 8: 4 either side of the line.
    SetColliderSegment(laser, 0, 0, 0, 100, 8);
    EXPECT_TRUE(Intersects(origin, laser, origin, Circle(5.5f, 50, 2)));
    EXPECT_FALSE(Intersects(origin, laser, origin, Circle(6.5f, 50, 2)));

    // A centre inside touches with no edge in reach, whichever way the corners turn: given right to
    // left, or mirrored by a negative scale.
    for (const ColliderComponent& square : {Rect(-10, -10, 10, 10), Rect(10, -10, 10, -10)}) {
        EXPECT_TRUE(Intersects(origin, square, origin, Circle(1, 1, 1)));
        EXPECT_TRUE(Intersects(At(0, 0, -1, 1), square, origin, Circle(1, 1, 1)));
        EXPECT_FALSE(Intersects(origin, square, origin, Circle(14, 0, 3)));
        EXPECT_TRUE(Intersects(origin, square, origin, Circle(12, 0, 2)));  // exactly within reach
    }

    // The corners and the circle's offset are placed by their transforms; the radius is not scaled.
    EXPECT_TRUE(Intersects(At(100, 0, 2, 2), Rect(-5, -5, 5, 5), At(0, 0, 2, 2), Circle(55.5f, 0, 1)));
    EXPECT_FALSE(Intersects(At(100, 0, 2, 2), Rect(-5, -5, 5, 5), At(0, 0, 2, 2), Circle(56, 0, 1)));

    // Nothing else meets, and no number breaks the tests.
    EXPECT_FALSE(Intersects(origin, Rect(-10, -10, 10, 10), origin, Rect(-10, -10, 10, 10)));
    EXPECT_FALSE(Intersects(origin, ColliderComponent{}, origin, Circle(0, 0, 3)));
    EXPECT_FALSE(Intersects(origin, Rect(-10, -10, 10, 10), origin, Circle(kNaN, 0, 3)));
    EXPECT_FALSE(Intersects(origin, Rect(kNaN, -10, 10, 10), origin, Circle(0, 0, 3)));
    Matrix4 flat = origin;
    flat.m[3][3] = 0;  // no projective divide possible
    EXPECT_FALSE(Intersects(flat, Rect(-10, -10, 10, 10), origin, Circle(0, 0, 3)));
}

EntityId CircleEntity(float x, int32_t type, uint8_t* multipleId = nullptr) {
    const EntityId id = CreateEntity(true);
    MovementComponent& movement = *AddMovement(id);
    movement.x = x;
    RebuildTransform(movement);
    const uint8_t added = AddCollider(id);
    SetColliderCircle(*LookupCollider(id, added), 0, 0, 3);
    g_objectTypes.types[id] = type;
    if (multipleId != nullptr) *multipleId = added;
    return id;
}

// An enemy among six of its own shots must still see the player's: the five places go to hits the
// caller takes.
TEST_F(CollisionTest, FilteredQueryKeepsItsFivePlacesForAcceptedHits) {
    const EntityId enemy = CircleEntity(0, 103);
    for (int i = 0; i < 6; ++i)
        CircleEntity(1, 106);
    EntityId wanted[2] = {CircleEntity(2, 107), CircleEntity(3, 107)};

    const HitList all = QueryCollider(enemy, 0, false);
    ASSERT_EQ(all.count, 5);
    EXPECT_EQ(all.hits[0].id, enemy + 1);

    auto wantedOnly = [](const ColliderHit& hit, void* context) {
        const EntityId* ids = static_cast<const EntityId*>(context);
        return hit.id == ids[0] || hit.id == ids[1];
    };
    const HitList used = QueryCollider(enemy, 0, false, wantedOnly, wanted);
    ASSERT_EQ(used.count, 2);
    EXPECT_EQ(used.hits[0].id, wanted[0]);
    EXPECT_EQ(used.hits[1].id, wanted[1]);
    EXPECT_EQ(used.hits[1].multipleId, 0);

    uint32_t count = 0;
    EXPECT_TRUE(CountTouching(enemy, 0, count));
    EXPECT_EQ(count, 8u);
    // Same-type pairs are left out unless asked for.
    g_objectTypes.types[wanted[0]] = 103;
    EXPECT_EQ(QueryCollider(enemy, 0, false, wantedOnly, wanted).count, 1);
    EXPECT_EQ(QueryCollider(enemy, 0, true, wantedOnly, wanted).count, 2);
}

TEST_F(CollisionTest, NumbersAndCapacityHaveLimits) {
    CaptureConsole console;
    const EntityId crowded = CreateEntity(true);
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(AddCollider(crowded), i);
    // Every number below 255 is taken; 255 itself names no collider.
    EXPECT_EQ(AddCollider(crowded), MULTIPLE_ERROR);
    EXPECT_EQ(console.Text(), "\nECS warning: Unable to add another Collider Component to Entity " +
                                  std::to_string(crowded) + ", all 255 multipleIds are in use");
    // A removed number is the next one handed out.
    ASSERT_TRUE(RemoveNthCollider(crowded, 8));
    EXPECT_EQ(AddCollider(crowded), 7);

    while (g_collision.count < kCollisionCapacity)
        AddCollider(CreateEntity(true));
    console.Clear();
    const EntityId late = CreateEntity(true);
    EXPECT_EQ(AddCollider(late), MULTIPLE_ERROR);
    EXPECT_EQ(console.Text(), "\nECS warning: Unable to add Collision Component to Entity " +
                                  std::to_string(late) + ", all 2048 components are in use");

    // Deleting the entity frees all its colliders, including those moved into freed places.
    DeleteEntity(crowded);
    EXPECT_EQ(g_collision.count, kCollisionCapacity - 255);
    EXPECT_EQ(LookupCollider(crowded, 0), nullptr);
    EXPECT_EQ(AddCollider(late), 0);
}

}  // namespace
