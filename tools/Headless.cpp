// Runs game mode without a window or sound: the main script of a game folder for a number of frames
// on a virtual clock, with key events from the command line. Prints what the game prints.
//
//     Headless [--frames N] [--key FRAME:KEY:down|up]... [--soft] [--png FRAME:PATH]... [GAME_FOLDER]
//
// KEY is a Windows virtual-key code (decimal, or hexadecimal with 0x); events of a frame are handled
// before that frame's work, frames counting from 0. Frames are drawn on a device that shows nothing,
// or with --soft (implied by --png) on the software device; --png writes the back buffer after the
// frame named as a PNG file (a relative PATH is taken from the folder Headless was started in).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include <system_error>

#include "base/console.h"
#include "app/frame_loop.h"
#include "base/platform.h"
#include "platform/headless/headless_game.h"
#include "platform/headless/null_render_device.h"
#include "platform/headless/null_sound_device.h"
#include "platform/softgpu/frame_png.h"
#include "platform/softgpu/soft_render_device.h"
#include "audio/sound.h"
#include "render/device.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: Headless [--frames N] [--key FRAME:KEY:down|up]... [--soft] [--png FRAME:PATH]... "
                 "[GAME_FOLDER]\n");
    return 2;
}

struct FrameShot {
    unsigned long frame;
    std::string path;
};

bool ParseFrameShot(const char* text, FrameShot& shot) {
    char* end = nullptr;
    if (text[0] < '0' || text[0] > '9') return false;
    shot.frame = std::strtoul(text, &end, 10);
    if (*end != ':' || end[1] == '\0') return false;
    shot.path = end + 1;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    static HeadlessPlatform platform;
    static NullRenderDevice nullDevice;
    static NullSoundDevice silentSound;  // sounds load and play as in the window, unheard
    static SoftRenderDevice softDevice;
    bool soft = false;
    std::vector<FrameShot> shots;
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
        } else if (argument == "--soft") {
            soft = true;
        } else if (argument == "--png" && i + 1 < argc) {
            FrameShot shot;
            if (!ParseFrameShot(argv[++i], shot)) return Usage();
            std::error_code ignored;
            shot.path = std::filesystem::absolute(shot.path, ignored).string();
            shots.push_back(shot);
            soft = true;
        } else if (argument.empty() || argument[0] == '-') {
            return Usage();
        } else {
            folder = argument;
        }
    }

    CreateHostPlatform();  // for its console sink: colours on a terminal, plain text otherwise
    SetPlatform(&platform);
    SetRenderDevice(soft ? static_cast<RenderDevice*>(&softDevice) : &nullDevice);
    SetSoundDevice(&silentSound);
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error) {
        std::fprintf(stderr, "Headless: cannot enter %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }

    StartGame();
    for (unsigned long frame = 0; frame < frames; ++frame) {
        RunHeadlessFrame(platform, static_cast<uint32_t>(frame));
        for (const FrameShot& shot : shots) {
            if (shot.frame != frame) continue;
            if (softDevice.Width() == 0 ||
                !WriteArgbPng(shot.path.c_str(), softDevice.BackBuffer(), softDevice.Width(), softDevice.Height(),
                              softDevice.Width())) {
                std::fprintf(stderr, "Headless: cannot write frame %lu to %s\n", frame, shot.path.c_str());
            }
        }
    }
    std::fflush(stdout);
    ConsolePrintf("\n");
    return 0;
}
