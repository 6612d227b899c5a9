#include "base/input_state.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

namespace {

class InputStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = g_platform.platform;
        SetPlatform(&platform_);
        ResetInputState();
    }
    void TearDown() override {
        SetPlatform(previous_);
        ResetInputState();
    }
    HeadlessPlatform platform_;
    Platform* previous_ = nullptr;
};

TEST_F(InputStateTest, HeldKeyIsPushedForOneFrame) {
    HandleKeyDown('Z', false);
    EXPECT_EQ(g_input.keys.states['Z'], KeyPushed);
    EXPECT_TRUE(IsKeyDown('Z'));
    AgeInputStates();
    EXPECT_EQ(g_input.keys.states['Z'], KeyHeld);
    HandleKeyDown('Z', true);  // auto-repeat
    EXPECT_EQ(g_input.keys.states['Z'], KeyHeld);
    HandleKeyUp('Z');
    EXPECT_EQ(g_input.keys.states['Z'], KeyReleased);
    EXPECT_FALSE(IsKeyDown('Z'));
    AgeInputStates();
    EXPECT_EQ(g_input.keys.states['Z'], KeyFree);
}

TEST_F(InputStateTest, PressAndReleaseBetweenFramesIsSeenAsReleased) {
    HandleKeyDown('X', false);
    HandleKeyUp('X');
    EXPECT_EQ(g_input.keys.states['X'], KeyReleased);
    AgeInputStates();
    EXPECT_EQ(g_input.keys.states['X'], KeyFree);
}

TEST_F(InputStateTest, ModifierMessagesUpdateBothSidesFromThePlatform) {
    platform_.AddKeyEvent({0, 0xA1, true});  // right shift down as far as the platform knows
    platform_.TakeKeyEvents(0);
    HandleKeyDown(0x10, false);
    EXPECT_EQ(g_input.keys.states[0x10], KeyPushed);
    EXPECT_EQ(g_input.keys.states[0xA0], KeyReleased);
    EXPECT_EQ(g_input.keys.states[0xA1], KeyPushed);
}

TEST_F(InputStateTest, MouseButtonsAgeLikeKeys) {
    g_input.mouseButtons.states[1] = KeyPushed;
    g_input.mouseButtons.states[2] = KeyReleased;
    AgeInputStates();
    EXPECT_EQ(g_input.mouseButtons.states[1], KeyHeld);
    EXPECT_EQ(g_input.mouseButtons.states[2], KeyFree);
}

}  // namespace
