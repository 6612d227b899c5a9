// One frame of a busy bullet screen, part by part: the bench/frame game folder (2,046 moving,
// alpha-blended enemy shots, a player and an enemy: 2,048 sprites) run headless on the software
// device, timing the scripts, the update callbacks, the render callbacks with the queue, and the
// rasterisation. The same frame's triangles, taken from the device's vertex stream, are then drawn
// by SDL2's software renderer onto a 640 x 480 surface, the peer a Linux user would reach for.
//
//     frame_bench [frames]     (default 240; the first 30 warm up and are not counted)
//
// Prints mean and best milliseconds per frame and the ratios. It measures; it never fails.
#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/frame_loop.h"
#include "audio/sound.h"
#include "base/console.h"
#include "ecs/system_callbacks.h"
#include "host/script_manager.h"
#include "platform/headless/headless_platform.h"
#include "platform/softgpu/frame_png.h"
#include "platform/softgpu/soft_render_device.h"
#include "render/backend.h"
#include "render/queue.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The software device with its drawing timed, and the last frame's textured triangles kept for the
// peer.
class TimedDevice : public SoftRenderDevice {
public:
    DeviceResult Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) override {
        const auto start = Clock::now();
        const DeviceResult result = SoftRenderDevice::Clear(flags, color, z, stencil);
        raster += Clock::now() - start;
        return result;
    }
    DeviceResult SetFVF(uint32_t fvf) override {
        fvf_ = fvf;
        return SoftRenderDevice::SetFVF(fvf);
    }
    DeviceResult SetTexture(uint32_t stage, DeviceTexture texture) override {
        if (stage == 0) bound_ = texture;
        return SoftRenderDevice::SetTexture(stage, texture);
    }
    DeviceResult LockVertexBuffer(DeviceBuffer buffer, uint32_t offset, uint32_t size, void*& data,
                                  uint32_t flags) override {
        const DeviceResult result = SoftRenderDevice::LockVertexBuffer(buffer, offset, size, data, flags);
        locked_ = static_cast<const uint8_t*>(data);
        return result;
    }
    DeviceResult LockRect(DeviceTexture texture, uint32_t level, LockedRect& locked, uint32_t flags) override {
        const DeviceResult result = SoftRenderDevice::LockRect(texture, level, locked, flags);
        if (result == kDeviceOk) textures[texture] = locked;
        return result;
    }
    DeviceResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                               uint32_t pool, DeviceTexture& texture) override {
        const DeviceResult result = SoftRenderDevice::CreateTexture(width, height, levels, usage, format, pool, texture);
        if (result == kDeviceOk) {
            if (textures.size() <= texture) textures.resize(texture + 1), sizes.resize(texture + 1);
            sizes[texture] = {width, height};
        }
        return result;
    }
    DeviceResult DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override {
        // The engine's shots and sprites: pre-transformed, textured triangle lists.
        if (capture && type == PT_TRIANGLELIST && fvf_ == (FVF_XYZRHW | FVF_TEX1) && locked_ != nullptr) {
            for (uint32_t i = 0; i < primitiveCount * 3; ++i) {
                float v[6];
                std::memcpy(v, locked_ + (startVertex + i) * 24, sizeof v);
                SDL_Vertex out{};
                out.position = {v[0], v[1]};
                out.color = {255, 255, 255, 255};
                // SDL refuses coordinates outside 0 to 1, which the sprites' last texel row reaches.
                out.tex_coord = {std::clamp(v[4], 0.0f, 1.0f), std::clamp(v[5], 0.0f, 1.0f)};
                captured.push_back(out);
            }
            capturedTexture = bound_;
        }
        const auto start = Clock::now();
        const DeviceResult result = SoftRenderDevice::DrawPrimitive(type, startVertex, primitiveCount);
        raster += Clock::now() - start;
        return result;
    }

    Clock::duration raster{};
    bool capture = false;
    std::vector<SDL_Vertex> captured;
    DeviceTexture capturedTexture = 0;
    std::vector<LockedRect> textures;
    std::vector<std::pair<uint32_t, uint32_t>> sizes;

private:
    uint32_t fvf_ = 0;
    DeviceTexture bound_ = 0;
    const uint8_t* locked_ = nullptr;
};

// Round bullets with soft edges in four colours, then the player's and the enemy's 32 x 32 ships.
std::vector<uint32_t> SheetPixels() {
    std::vector<uint32_t> pixels(128 * 32, 0);
    const uint32_t tints[6] = {0xFF4060, 0x40A0FF, 0x60FF60, 0xFFE040, 0x80FFFF, 0xFF60FF};
    for (int sprite = 0; sprite < 6; ++sprite) {
        const int size = sprite < 4 ? 16 : 32, left = sprite < 4 ? sprite * 16 : 64 + (sprite - 4) * 32;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
                const float d = dx * dx + dy * dy;
                if (d >= 1) continue;
                const uint32_t alpha = static_cast<uint32_t>(255 * (1 - d * d));
                const uint32_t color = d < 0.25f ? 0xFFFFFF : tints[sprite];
                pixels[y * 128 + left + x] = alpha << 24 | color;
            }
    }
    return pixels;
}

struct Totals {
    double scripts = 0, updates = 0, renderQueue = 0, raster = 0, frame = 0, peer = 0;
    void Best(const Totals& t) {
        auto least = [](double& a, double b) { a = a == 0 || b < a ? b : a; };
        least(scripts, t.scripts), least(updates, t.updates), least(renderQueue, t.renderQueue);
        least(raster, t.raster), least(frame, t.frame), least(peer, t.peer);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 240;
    const int warmUp = 30;
    if (frames <= warmUp) {
        std::fprintf(stderr, "usage: frame_bench [frames > %d]\n", warmUp);
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("sparrel_frame_bench_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::copy(fs::path(SPARREL_BENCH_DIR) / "frame", folder, fs::copy_options::recursive);
    const std::vector<uint32_t> sheet = SheetPixels();
    WriteArgbPng((folder / "SCRIPT/SHOTS/SHOTS.PNG").c_str(), sheet.data(), 128, 32, 128);

    static HeadlessPlatform platform;
    static TimedDevice device;
    CreateHostPlatform();
    SetPlatform(&platform);
    SetRenderDevice(&device);
    SetSoundDevice(nullptr);  // timed without opening the audio device
    fs::current_path(folder);
    StartGame();

    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = surface != nullptr ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    SDL_Texture* peerTexture = nullptr;
    bool peerFailed = false;

    Totals sum, best;
    int counted = 0;
    for (int frame = 0; frame < frames; ++frame) {
        device.raster = {};
        device.capture = true;
        device.captured.clear();
        Totals t;
        const auto start = Clock::now();
        UpdateScripts();
        const auto scripted = Clock::now();
        RunUpdateCallbacks();
        const auto updated = Clock::now();
        g_renderBackend.BeginFrame();
        RunRenderCallbacks();
        FlushQueue();
        const auto drawn = Clock::now();
        t.scripts = Milliseconds(scripted - start);
        t.updates = Milliseconds(updated - scripted);
        t.raster = Milliseconds(device.raster);
        t.renderQueue = Milliseconds(drawn - updated) - t.raster;
        t.frame = Milliseconds(drawn - start);

        if (renderer != nullptr && device.capturedTexture != 0) {
            if (peerTexture == nullptr) {
                const auto [w, h] = device.sizes[device.capturedTexture];
                const LockedRect& texels = device.textures[device.capturedTexture];
                peerTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                                static_cast<int>(w), static_cast<int>(h));
                SDL_UpdateTexture(peerTexture, nullptr, texels.bits, texels.pitch);
                SDL_SetTextureBlendMode(peerTexture, SDL_BLENDMODE_BLEND);
            }
            const auto peerStart = Clock::now();
            SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
            SDL_RenderClear(renderer);
            if (SDL_RenderGeometry(renderer, peerTexture, device.captured.data(),
                                   static_cast<int>(device.captured.size()), nullptr, 0) != 0 && !peerFailed) {
                std::fprintf(stderr, "frame_bench: SDL_RenderGeometry: %s\n", SDL_GetError());
                peerFailed = true;
            }
            SDL_RenderFlush(renderer);
            t.peer = Milliseconds(Clock::now() - peerStart);
        }
        if (frame == frames - 1) {
            WriteArgbPng((fs::temp_directory_path() / "sparrel_frame_bench_last.png").c_str(), device.BackBuffer(),
                         device.Width(), device.Height(), device.Width());
            if (surface != nullptr) {
                WriteArgbPng((fs::temp_directory_path() / "sparrel_frame_bench_peer.png").c_str(),
                             static_cast<const uint32_t*>(surface->pixels), 640, 480,
                             static_cast<uint32_t>(surface->pitch / 4));
            }
        }
        if (frame < warmUp) continue;
        ++counted;
        sum.scripts += t.scripts, sum.updates += t.updates, sum.renderQueue += t.renderQueue;
        sum.raster += t.raster, sum.frame += t.frame, sum.peer += t.peer;
        best.Best(t);
    }
    const size_t sprites = device.captured.size() / 6;
    std::fflush(stdout);
    ConsolePrintf("\n");
    std::printf("frame_bench: %d frames counted, %zu sprites of 16 x 16 and 32 x 32 in the last frame\n", counted,
                sprites);
    std::printf("%-34s %10s %10s\n", "per frame, milliseconds", "mean", "best");
    auto row = [&](const char* name, double total, double least) {
        std::printf("%-34s %10.3f %10.3f\n", name, total / counted, least);
    };
    row("scripts", sum.scripts, best.scripts);
    row("update callbacks", sum.updates, best.updates);
    row("render callbacks and queue", sum.renderQueue, best.renderQueue);
    row("rasterisation (clear and draws)", sum.raster, best.raster);
    row("whole frame", sum.frame, best.frame);
    row("SDL2 software renderer, same sprites", sum.peer, best.peer);
    if (sum.peer > 0) {
        std::printf("rasterisation / SDL2: %.2f (mean), %.2f (best)\n", sum.raster / sum.peer, best.raster / best.peer);
    } else {
        std::printf("SDL2 software renderer not available\n");
    }
    std::printf("whole frame goal 2 ms: %s\n", sum.frame / counted <= 2.0 ? "met" : "not met");
    if (peerTexture != nullptr) SDL_DestroyTexture(peerTexture);
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    if (surface != nullptr) SDL_FreeSurface(surface);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    return 0;
}
