#include "platform/headless/headless_game.h"

#include "app/frame_loop.h"
#include "base/input_state.h"

void RunHeadlessFrame(HeadlessPlatform& platform, uint32_t frame) {
    for (const HeadlessPlatform::DueKeyEvent& key : platform.TakeKeyEvents(frame)) {
        if (key.down) {
            HandleKeyDown(key.virtualKey, key.wasDown);
        } else {
            HandleKeyUp(key.virtualKey);
        }
    }
    RunFrame();
}
