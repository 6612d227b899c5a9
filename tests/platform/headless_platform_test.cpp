#include "platform/headless/headless_platform.h"

#include <gtest/gtest.h>

namespace {

TEST(HeadlessPlatform, TimePassesOnlyBySleeping) {
    HeadlessPlatform p;
    EXPECT_EQ(p.TimeGetTime(), 0u);
    p.Sleep(16);
    EXPECT_EQ(p.TimeGetTime(), 16u);
    EXPECT_EQ(p.QueryPerformanceCounter(), 16 * p.QueryPerformanceFrequency() / 1000);
    p.Advance(500);
    EXPECT_EQ(p.TimeGetTime(), 16u);
}

TEST(HeadlessPlatform, LocalTimeFollowsTheVirtualClock) {
    HeadlessPlatform p;
    PlatformLocalTime t = p.GetLocalTime();
    EXPECT_EQ(t.year, 2000);
    EXPECT_EQ(t.day, 1);
    p.Sleep(25 * 3600 * 1000 + 61 * 1000 + 5);
    t = p.GetLocalTime();
    EXPECT_EQ(t.day, 2);
    EXPECT_EQ(t.dayOfWeek, 0);
    EXPECT_EQ(t.hour, 1);
    EXPECT_EQ(t.minute, 1);
    EXPECT_EQ(t.second, 1);
    EXPECT_EQ(t.milliseconds, 5);
}

TEST(HeadlessPlatform, LocalTimeSecondsCountFrom1970) {
    HeadlessPlatform p;
    Platform* previous = g_platform.platform;
    SetPlatform(&p);
    EXPECT_EQ(LocalTimeSeconds(), 946684800);  // 2000-01-01 00:00:00
    SetPlatform(previous);
}

TEST(HeadlessPlatform, KeyEventsArriveAtTheirFrame) {
    HeadlessPlatform p;
    p.AddKeyEvent({2, 'Z', true});
    p.AddKeyEvent({2, 'Z', true});
    p.AddKeyEvent({4, 'Z', false});
    EXPECT_TRUE(p.TakeKeyEvents(1).empty());
    EXPECT_EQ(p.GetKeyState('Z'), 0);
    const auto due = p.TakeKeyEvents(2);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_FALSE(due[0].wasDown);
    EXPECT_TRUE(due[1].wasDown);  // an auto-repeat
    EXPECT_NE(p.GetKeyState('Z') & 0x8000, 0);
    EXPECT_EQ(p.TakeKeyEvents(4).size(), 1u);
    EXPECT_EQ(p.GetKeyState('Z'), 0);
}

TEST(HeadlessPlatform, ParsesKeyEventTexts) {
    ScriptedKeyEvent e{};
    ASSERT_TRUE(ParseScriptedKeyEvent("10:0x5A:down", e));
    EXPECT_EQ(e.frame, 10u);
    EXPECT_EQ(e.virtualKey, 0x5A);
    EXPECT_TRUE(e.down);
    ASSERT_TRUE(ParseScriptedKeyEvent("0:37:up", e));
    EXPECT_EQ(e.virtualKey, 37);
    EXPECT_FALSE(e.down);
    EXPECT_FALSE(ParseScriptedKeyEvent("1:300:up", e));
    EXPECT_FALSE(ParseScriptedKeyEvent("1:-1:up", e));
    EXPECT_FALSE(ParseScriptedKeyEvent("x:1:up", e));
    EXPECT_FALSE(ParseScriptedKeyEvent("1:1:pressed", e));
    EXPECT_FALSE(ParseScriptedKeyEvent("1:1", e));
}

}  // namespace
