#include "platform/sdl/sdl_translate.h"

#include <gtest/gtest.h>

#include "base/platform.h"

namespace {

TEST(SdlTranslateTest, ScancodesGiveWindowsVirtualKeys) {
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_Z), 0x5Au);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_X), 0x58u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_0), 0x30u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_9), 0x39u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_LEFT), 0x25u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_DOWN), 0x28u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_F10), 0x79u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_F11), 0x7Au);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_F12), 0x7Bu);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_RSHIFT), 0x10u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_LCTRL), 0x11u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_RALT), 0x12u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_ESCAPE), 0x1Bu);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_KP_5), 0x65u);
    EXPECT_EQ(VirtualKeyOfScancode(SDL_SCANCODE_APPLICATION), 0u);
}

TEST(SdlTranslateTest, ModifierSidesTravelInTheKeyParameter) {
    const uint32_t sides[][2] = {{SDL_SCANCODE_LSHIFT, 0xA0}, {SDL_SCANCODE_RSHIFT, 0xA1},
                                 {SDL_SCANCODE_LCTRL, 0xA2},  {SDL_SCANCODE_RCTRL, 0xA3},
                                 {SDL_SCANCODE_LALT, 0xA4},   {SDL_SCANCODE_RALT, 0xA5}};
    for (const auto& side : sides) {
        const SDL_Scancode scancode = static_cast<SDL_Scancode>(side[0]);
        const intptr_t lParam = KeyMessageParam(KeyScanBits(scancode), true, false, false);
        EXPECT_EQ(SideKeyOfMessage(VirtualKeyOfScancode(scancode), lParam), side[1]);
    }
    EXPECT_EQ(SideKeyOfMessage('Z', 0), 0u);
}

TEST(SdlTranslateTest, KeyParameterBitsAndSystemKeys) {
    EXPECT_EQ(KeyMessageParam(0, true, false, false), 1);
    EXPECT_EQ(KeyMessageParam(0, true, true, false) & kKeyPreviousStateBit, kKeyPreviousStateBit);
    EXPECT_EQ(static_cast<uint32_t>(KeyMessageParam(0, false, false, true)), 0xE0000001u);
    EXPECT_TRUE(IsSystemKey(0x79, false));
    EXPECT_TRUE(IsSystemKey(0x12, false));
    EXPECT_TRUE(IsSystemKey('X', true));
    EXPECT_FALSE(IsSystemKey('X', false));
    EXPECT_FALSE(IsSystemKey(0x7A, false));
}

TEST(SdlTranslateTest, WholeMultiplesCentredAndWindowPixelsInPlayArea) {
    FrameLayout layout = LayoutFrame(640, 480, 640, 480);
    EXPECT_EQ(layout.scale, 1);
    EXPECT_EQ(layout.left, 0);
    layout = LayoutFrame(1920, 1080, 640, 480);  // 3 across but only 2 down
    EXPECT_EQ(layout.scale, 2);
    EXPECT_EQ(layout.left, 320);
    EXPECT_EQ(layout.top, 60);
    int x = 0, y = 0;
    WindowToPlayArea(layout, 321, 61, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    WindowToPlayArea(layout, 319, 1079, x, y);  // in the black borders
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, 509);
    EXPECT_EQ(LayoutFrame(600, 400, 640, 480).scale, 1);
    const intptr_t lParam = MouseMessageParam(-1, 509);
    EXPECT_EQ(static_cast<int16_t>(lParam & 0xFFFF), -1);
    EXPECT_EQ(static_cast<int16_t>((lParam >> 16) & 0xFFFF), 509);
}

}  // namespace
