#include "ecs/entity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ecs/component_store.h"
#include "ecs/entity_system.h"
#include "ecs/system_callbacks.h"
#include "platform/headless/headless_platform.h"
#include "tests/support/capture_console.h"

namespace {

class EntityTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = g_platform.platform;
        SetPlatform(&platform_);
        ResetEntitySystem();
    }
    void TearDown() override {
        ResetEntitySystem();
        SetPlatform(previous_);
    }
    HeadlessPlatform platform_;
    Platform* previous_ = nullptr;
};

TEST_F(EntityTest, StartUpTakesIdOneForAnInactiveEntity) {
    InitEntitySystem();
    EXPECT_EQ(g_entities.count, 1);
    EXPECT_EQ(g_entities.exists[1], 1);
    EXPECT_EQ(g_entities.active[1], 0);
    EXPECT_EQ(CreateEntity(true), 2);
    EXPECT_EQ(g_entities.active[2], 1);
}

TEST_F(EntityTest, IdsRotateSoFreedIdsWait) {
    InitEntitySystem();
    const EntityId a = CreateEntity(true);
    DeleteEntity(a);
    EXPECT_EQ(CreateEntity(true), a + 1);
    EXPECT_EQ(g_entities.exists[a], 0);
    EXPECT_EQ(g_entities.active[a], 0);
    EXPECT_EQ(g_entities.count, 2);
    DeleteEntity(a);  // no longer exists: nothing happens
    EXPECT_EQ(g_entities.count, 2);
}

TEST_F(EntityTest, SearchWrapsAfterTheLastIdAndSkipsIdsInUse) {
    InitEntitySystem();
    for (int i = 2; i < MAX_ENTITIES; ++i)
        CreateEntity(false);
    EXPECT_EQ(g_entities.count, 4095);
    DeleteEntity(1);
    DeleteEntity(3);
    EXPECT_EQ(CreateEntity(false), 1);
    EXPECT_EQ(CreateEntity(false), 3);
}

std::vector<EntityId> g_deleted;
void RecordDeletion(EntityId id) {
    g_deleted.push_back(id);
}

TEST_F(EntityTest, FullTableGivesTheMostRecentIdWithAnError) {
    InitEntitySystem();
    for (int i = 2; i < MAX_ENTITIES; ++i)
        CreateEntity(false);
    g_deleted.clear();
    AddDeletionCallback(RecordDeletion);
    CaptureConsole console;
    EXPECT_EQ(CreateEntity(true), 4095);
    EXPECT_EQ(console.Text(),
              "\nECS error: Maximum amount of entities reached, creating new entity at index 4095");
    // The old holder was deleted first, so no component of it stays with the new entity.
    EXPECT_EQ(g_deleted, std::vector<EntityId>{4095});
    EXPECT_EQ(g_entities.count, 4095);
    EXPECT_EQ(g_entities.active[4095], 1);
}

TEST_F(EntityTest, MostRecentIdIsTakenWhenItIsTheOnlyFreeOne) {
    InitEntitySystem();
    for (int i = 2; i < MAX_ENTITIES; ++i)
        CreateEntity(false);
    DeleteEntity(4095);
    CaptureConsole console;
    EXPECT_EQ(CreateEntity(false), 4095);
    EXPECT_EQ(console.Text(), "");
    EXPECT_EQ(g_entities.count, 4095);
}

// Deletion callbacks run in registration order; a callback may delete further entities.
std::vector<std::string> g_calls;
EntityId g_child = 0;
void FirstDeletion(EntityId id) {
    g_calls.push_back("first " + std::to_string(id));
}
void CascadeDeletion(EntityId id) {
    g_calls.push_back("cascade " + std::to_string(id));
    if (id != g_child) DeleteEntity(g_child);
}

TEST_F(EntityTest, DeletionCallbacksRunInOrderAndNest) {
    g_calls.clear();
    AddDeletionCallback(FirstDeletion);
    AddDeletionCallback(CascadeDeletion);
    InitEntitySystem();
    const EntityId parent = CreateEntity(true);
    g_child = CreateEntity(true);
    DeleteEntity(parent);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first 2", "cascade 2", "first 3", "cascade 3"}));
    EXPECT_EQ(g_entities.count, 1);
}

int g_updates = 0;
int g_renders = 0;
void CountUpdate() {
    ++g_updates;
}
void CountRender() {
    ++g_renders;
}
void RegisterRenderFromUpdate() {
    AddRenderCallback(CountRender);
}

TEST_F(EntityTest, CallbacksAreAddedOnce) {
    g_updates = 0;
    CaptureConsole console;
    AddUpdateCallback(CountUpdate);
    AddUpdateCallback(CountUpdate);
    AddRenderCallback(CountRender);
    AddRenderCallback(CountRender);
    AddDeletionCallback(FirstDeletion);
    AddDeletionCallback(FirstDeletion);
    EXPECT_EQ(console.Text(),
              "\nECS warning: Update callbacks can only be added once"
              "\nECS warning: Render callbacks can only be added once"
              "\nECS warning: Deletion callbacks can only be added once");
    RunUpdateCallbacks();
    EXPECT_EQ(g_updates, 1);
}

TEST_F(EntityTest, CallbackListsReadTheirCountAfterEachCall) {
    g_renders = 0;
    AddRenderCallback(RegisterRenderFromUpdate);
    RunRenderCallbacks();  // the callback it adds runs in the same pass
    EXPECT_EQ(g_renders, 1);
}

TEST_F(EntityTest, OutOfRangeIdsAreRefused) {
    CaptureConsole console;
    DeleteEntity(5000);
    EXPECT_EQ(console.Text(), "\nECS warning: Invalid Entity 5000 while executing DeleteEntity");
}

struct TestRecord {
    int value;
};

constexpr const char* kTestWarning =
    "\nblueblack{ECS warning:} yellowblack{Unable to find Test Component for Entity} aquablack{%i} "
    "yellowblack{while executing} ";

TEST(ComponentStore, FindsThroughTheCacheAndWarnsOnAMiss) {
    static ComponentStore<TestRecord, 4> store{"Test", kTestWarning};
    store.Reset();
    store.Add(5)->value = 50;
    store.Add(6)->value = 60;
    EXPECT_EQ(store.Find(6)->value, 60);
    EXPECT_EQ(store.cacheId, 6);
    EXPECT_EQ(store.cacheIndex, 1);
    CaptureConsole console;
    EXPECT_EQ(store.Find(7), nullptr);
    EXPECT_EQ(console.Text(), "\nECS warning: Unable to find Test Component for Entity 7 while executing ");
    console.Clear();
    EXPECT_EQ(store.Lookup(7), nullptr);
    EXPECT_EQ(console.Text(), "");
}

TEST(ComponentStore, RemovalMovesTheLastComponentIntoTheHole) {
    static ComponentStore<TestRecord, 4> store{"Test", kTestWarning};
    store.Reset();
    for (EntityId id = 1; id <= 3; ++id)
        store.Add(id)->value = id * 10;
    ASSERT_NE(store.Find(3), nullptr);  // cached at index 2
    store.Remove(1);
    EXPECT_EQ(store.count, 2);
    EXPECT_EQ(store.ids[0], 3);
    EXPECT_EQ(store.ids[2], 0);
    EXPECT_EQ(store.cacheId, 0);
    EXPECT_EQ(store.Find(3)->value, 30);
    EXPECT_EQ(store.cacheIndex, 0);
    CaptureConsole console;
    store.Remove(9);  // not held: silent
    EXPECT_EQ(store.count, 2);
    EXPECT_EQ(console.Text(), "");
}

TEST(ComponentStore, FullStoreRefusesTheAdd) {
    static ComponentStore<TestRecord, 2> store{"Test", kTestWarning};
    store.Reset();
    ASSERT_NE(store.Add(1), nullptr);
    ASSERT_NE(store.Add(2), nullptr);
    CaptureConsole console;
    EXPECT_EQ(store.Add(3), nullptr);
    EXPECT_EQ(store.count, 2);
    EXPECT_EQ(console.Text(),
              "\nECS warning: Unable to add Test Component to Entity 3, all 2 components are in use");
}

}  // namespace
