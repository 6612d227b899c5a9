// The engine on the Windows adapters, for the tests under Wine:
//
//     WinProbe scenes OUT_FOLDER
//         draws every device scene on Direct3D 9 and writes each back buffer as OUT_FOLDER/<name>.png
//     WinProbe game [--frames N] [--seconds S] [--png FRAME:PATH]...
//         the program's game mode in the working folder (banner, start-up, WinMain and its frame
//         loop); frame FRAME (from 0) is written as a PNG before it is shown, and after N frames
//         (or S seconds, for a game that shows no frames) the window is closed as a user would. A message box that appears is answered and its
//         caption and text printed on standard output, so that no run ever waits for a person.
//     WinProbe sound WAV_PATH
//         the sound start-up on a window, then the WAV loaded into a slot and played for a moment
//
// Exit code 0 when the run went through, 2 for bad arguments, 1 when the probe itself failed.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/entry.h"
#include "audio/sound.h"
#include "base/platform.h"
#include "platform/softgpu/frame_png.h"
#include "platform/win32/d3d9_render_device.h"
#include "platform/win32/win32_host.h"
#include "render/backend.h"
#include "render/queue.h"
#include "tests/windows/device_scenes.h"

#include "platform/win32/win32_api.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: WinProbe scenes OUT_FOLDER | game [--frames N] [--png FRAME:PATH]... | sound WAV_PATH\n");
    return 2;
}

bool WriteBackBuffer(const std::string& path) {
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    if (!HostRenderDevice().ReadBackBuffer(pixels, width, height) ||
        !WriteArgbPng(path.c_str(), pixels.data(), width, height, width)) {
        std::fprintf(stderr, "WinProbe: cannot read the back buffer into %s\n", path.c_str());
        return false;
    }
    return true;
}

// A plain window of the game's client size, for the probes that do not run the game itself.
intptr_t PlainWindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return GetPlatform().DefWindowProc(window, message, wParam, lParam);
}

void* MakeWindow() {
    Platform& platform = GetPlatform();
    void* instance = platform.GetModuleHandle();
    platform.RegisterClass(PlatformWindowClass{0x40, PlainWindowProc, instance, 101, "WinProbe"});
    PlatformRect rect{kWindowLeft, kWindowTop, kWindowLeft + 640, kWindowTop + 480};
    platform.AdjustWindowRect(rect, kWindowStyle, false);
    void* window = platform.CreateWindow(0, "WinProbe", "WinProbe", kWindowStyle, rect.left, rect.top,
                                         rect.right - rect.left, rect.bottom - rect.top, instance);
    if (window != nullptr) platform.ShowWindow(window, 10);
    return window;
}

struct SceneShot {
    std::string path;
    bool written = false;
};

int RunScenes(const std::string& folder) {
    void* window = MakeWindow();
    if (window == nullptr) return 1;
    InitQueue2D();
    InitRenderer(window, GetRenderDevice());
    SetCamera();
    SceneShot shot;
    HostRenderDevice().SetPresentHook([](void* user) {
        SceneShot& s = *static_cast<SceneShot*>(user);
        s.written = WriteBackBuffer(s.path);
    }, &shot);
    int failures = 0;
    for (const DeviceScene& scene : DeviceScenes()) {
        std::vector<TextureHandle*> textures;
        shot = SceneShot{folder + "/" + scene.name + ".png"};
        g_renderBackend.BeginFrame();
        scene.draw(textures);
        FlushQueue();
        if (!shot.written) ++failures;
        for (TextureHandle* texture : textures)
            g_renderBackend.ReleaseTexture(texture);
    }
    return failures == 0 ? 0 : 1;
}

struct GameRun {
    unsigned long frames = 300;
    unsigned long seconds = 0;
    std::vector<std::pair<unsigned long, std::string>> shots;
    unsigned long presented = 0;
};
GameRun g_game;

void OnGamePresent(void*) {
    const unsigned long frame = g_game.presented++;
    for (const auto& [at, path] : g_game.shots) {
        if (at == frame) WriteBackBuffer(path);
    }
    if (g_game.presented == g_game.frames) {
        PostMessageA(static_cast<HWND>(HostRenderDevice().FocusWindow()), WM_CLOSE, 0, 0);
    }
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    if (text[0] != 0) reinterpret_cast<std::string*>(texts)->append(std::string(" | ") + text);
    return TRUE;
}

// Answers every message box of this process: prints its caption and texts, then presses its button.
DWORD WINAPI AnswerMessageBoxes(void*) {
    const DWORD process = GetCurrentProcessId();
    for (;;) {
        Sleep(50);
        for (HWND box = FindWindowA("#32770", nullptr); box != nullptr;
             box = FindWindowExA(nullptr, box, "#32770", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner != process || !IsWindowVisible(box)) continue;
            char caption[256] = {};
            GetWindowTextA(box, caption, sizeof caption);
            std::string texts;
            EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
            std::printf("message box: %s%s\n", caption, texts.c_str());
            std::fflush(stdout);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            Sleep(200);
        }
    }
}

DWORD WINAPI CloseGameLater(void*) {
    Sleep(g_game.seconds * 1000);
    PostMessageA(FindWindowA("ClassDX", nullptr), WM_CLOSE, 0, 0);
    return 0;
}

int RunGame(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--frames" && i + 1 < argc) {
            char* end = nullptr;
            g_game.frames = std::strtoul(argv[++i], &end, 10);
            if (*end != '\0' || g_game.frames == 0) return Usage();
        } else if (argument == "--seconds" && i + 1 < argc) {
            char* end = nullptr;
            g_game.seconds = std::strtoul(argv[++i], &end, 10);
            if (*end != '\0' || g_game.seconds == 0) return Usage();
        } else if (argument == "--png" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long frame = std::strtoul(argv[++i], &end, 10);
            if (end == argv[i] || *end != ':' || end[1] == '\0') return Usage();
            g_game.shots.emplace_back(frame, end + 1);
        } else {
            return Usage();
        }
    }
    HostRenderDevice().SetPresentHook(OnGamePresent, nullptr);
    CreateThread(nullptr, 0, AnswerMessageBoxes, nullptr, 0, nullptr);
    if (g_game.seconds != 0) CreateThread(nullptr, 0, CloseGameLater, nullptr, 0, nullptr);
    char name[] = "Main.exe";
    char* programArguments[] = {name, nullptr};
    ProgramMain(1, programArguments);
}

int RunSound(const std::string& path) {
    CreateThread(nullptr, 0, AnswerMessageBoxes, nullptr, 0, nullptr);
    void* window = MakeWindow();
    if (window == nullptr) return 1;
    InitSound(window, GetSoundDevice());
    const int slot = LoadSoundByName(path.c_str());
    std::printf("slot %d\n", slot);
    PlaySoundByName(path.c_str());
    Sleep(300);
    StopSoundByName(path.c_str());
    RemoveSoundByName(path.c_str());
    std::fflush(stdout);
    return slot >= 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    SetPlatform(CreateHostPlatform());
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "scenes" && argc == 3) return RunScenes(argv[2]);
    if (command == "game") return RunGame(argc, argv);
    if (command == "sound" && argc == 3) return RunSound(argv[2]);
    return Usage();
}
