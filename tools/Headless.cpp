// Runs game mode without a window or sound, drawing on a device that shows nothing: the main script of a game folder for a number
// of frames on a virtual clock, with key events from the command line. Prints what the game prints.
//
//     Headless [--frames N] [--key FRAME:KEY:down|up]... [GAME_FOLDER]
//
// KEY is a Windows virtual-key code (decimal, or hexadecimal with 0x); events of a frame are handled
// before that frame's work, frames counting from 0.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "base/console.h"
#include "app/frame_loop.h"
#include "base/platform.h"
#include "platform/headless/headless_game.h"
#include "platform/headless/null_render_device.h"
#include "render/device.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: Headless [--frames N] [--key FRAME:KEY:down|up]... [GAME_FOLDER]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    static HeadlessPlatform platform;
    static NullRenderDevice device;
    unsigned long frames = 300;
    std::string folder = ".";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--frames" && i + 1 < argc) {
            char* end = nullptr;
            frames = std::strtoul(argv[++i], &end, 10);
            if (*end != '\0' || argv[i][0] == '-') return Usage();
        } else if (argument == "--key" && i + 1 < argc) {
            ScriptedKeyEvent event{};
            if (!ParseScriptedKeyEvent(argv[++i], event)) return Usage();
            platform.AddKeyEvent(event);
        } else if (argument.empty() || argument[0] == '-') {
            return Usage();
        } else {
            folder = argument;
        }
    }

    CreateHostPlatform();  // for its console sink: colours on a terminal, plain text otherwise
    SetPlatform(&platform);
    SetRenderDevice(&device);
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error) {
        std::fprintf(stderr, "Headless: cannot enter %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }

    StartGame();
    for (unsigned long frame = 0; frame < frames; ++frame) {
        RunHeadlessFrame(platform, static_cast<uint32_t>(frame));
    }
    std::fflush(stdout);
    ConsolePrintf("\n");
    return 0;
}
