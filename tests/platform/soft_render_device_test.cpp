// The software device under the engine's own back end and queue: small scenes compared to the bit
// with the checked-in frames in tests/platform/frames (SPARREL_UPDATE_FRAMES=1 writes them anew),
// and the rasterisation rules that no picture shows at a glance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "platform/headless/headless_platform.h"
#include "platform/softgpu/frame_png.h"
#include "platform/softgpu/soft_render_device.h"
#include "render/backend.h"
#include "render/image.h"
#include "render/queue.h"
#include "render/vertex.h"

namespace {

struct V {
    float x, y, u = 0, v = 0;
    uint32_t rgba = 0xFFFFFFFFu;  // red in the top byte, as a script writes the four bytes
};

class SoftRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousPlatform_ = g_platform.platform;
        SetPlatform(&platform_);
        ResetGame();
        InitQueue2D();
        InitRenderer(&platform_, &device_);
        SetCamera();
        g_renderBackend.BeginFrame();
    }
    void TearDown() override {
        for (TextureHandle* texture : textures_)
            g_renderBackend.ReleaseTexture(texture);
        ResetGame();
        SetPlatform(previousPlatform_);
    }

    // Vertices of `type` in the engine's byte layout.
    static std::vector<uint8_t> Mesh(uint32_t type, const std::vector<V>& vertices) {
        std::vector<uint8_t> bytes(VertexSizeOf(type) * vertices.size());
        for (size_t i = 0; i < vertices.size(); ++i) {
            uint8_t* to = bytes.data() + i * VertexSizeOf(type);
            const float position[4] = {vertices[i].x, vertices[i].y, 0, 1};
            std::memcpy(to, position, VertexIsPreTransformed(type) ? 16 : 12);
            if (!VertexIsPreTransformed(type)) {  // the camera puts screen pixel (x, y) at (x, -y)
                const float flipped = -vertices[i].y;
                std::memcpy(to + 4, &flipped, 4);
            }
            if (VertexIsColored(type)) {
                const uint32_t c = vertices[i].rgba;
                const uint8_t rgba[4] = {uint8_t(c >> 24), uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
                std::memcpy(to + VertexColorOffset(type), rgba, 4);
            }
            if (VertexIsTextured(type)) {
                const float uv[2] = {vertices[i].u, vertices[i].v};
                std::memcpy(to + VertexUVOffset(type), uv, 8);
            }
        }
        return bytes;
    }
    // Two clockwise triangles covering [x, x + w) x [y, y + h), texture coordinates 0 to `uv`.
    static std::vector<V> Quad(float x, float y, float w, float h, uint32_t rgba = 0xFFFFFFFFu, float uv = 1) {
        const V tl{x, y, 0, 0, rgba}, tr{x + w, y, uv, 0, rgba}, br{x + w, y + h, uv, uv, rgba},
            bl{x, y + h, 0, uv, rgba};
        return {tl, tr, br, tl, br, bl};
    }
    void Draw(uint32_t type, const std::vector<V>& vertices, const RenderStateBlock& states = {},
              uint32_t layout = PT_TRIANGLELIST, const TextureHandle* texture = nullptr, uint8_t priority = 1) {
        const std::vector<uint8_t> bytes = Mesh(type, vertices);
        QueueMesh(bytes.data(), static_cast<uint32_t>(vertices.size()), type, layout, kIdentityMatrix, priority, states,
                  texture);
    }
    // A texture of w x h texels from a function of (x, y) giving A8R8G8B8.
    template <typename Texel>
    TextureHandle* MakeTexture(uint32_t w, uint32_t h, Texel texel) {
        TextureHandle* handle = g_renderBackend.CreateTexture(w, h);
        LockedRect locked{};
        EXPECT_EQ(device_.LockRect(handle->texture, 0, locked, 0), kDeviceOk);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const uint32_t value = texel(x, y);
                std::memcpy(static_cast<uint8_t*>(locked.bits) + y * locked.pitch + x * 4, &value, 4);
            }
        device_.UnlockRect(handle->texture, 0);
        textures_.push_back(handle);
        return handle;
    }
    uint32_t Pixel(int x, int y) const { return device_.BackBuffer()[y * device_.Width() + x]; }

    // Flushes the frame and compares the top-left w x h pixels with frames/<name>.png.
    void ExpectFrame(const std::string& name, uint32_t w, uint32_t h) {
        FlushQueue();
        const std::string path = std::string(SPARREL_SOURCE_DIR) + "/tests/platform/frames/" + name + ".png";
        if (std::getenv("SPARREL_UPDATE_FRAMES") != nullptr) {
            ASSERT_TRUE(WriteArgbPng(path.c_str(), device_.BackBuffer(), w, h, device_.Width()));
        }
        Image* reference = LoadImage(path.c_str());
        ASSERT_NE(reference, nullptr) << path;
        ASSERT_EQ(reference->width, w);
        ASSERT_EQ(reference->height, h);
        int differing = 0;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                uint32_t expected;
                std::memcpy(&expected, reference->pixels + (y * w + x) * 4, 4);
                if (expected != Pixel(static_cast<int>(x), static_cast<int>(y)) && differing++ < 5) {
                    ADD_FAILURE() << name << " differs at (" << x << ", " << y << "): " << std::hex << Pixel(x, y)
                                  << " instead of " << expected;
                }
            }
        FreeImage(reference);
        EXPECT_EQ(differing, 0) << name;
    }

    HeadlessPlatform platform_;
    Platform* previousPlatform_ = nullptr;
    SoftRenderDevice device_;
    std::vector<TextureHandle*> textures_;
};

RenderStateBlock Opaque() {
    RenderStateBlock s;
    s.alphaBlend = false;
    s.alphaTest = false;
    return s;
}

// Every blend factor over a Gouraud-shaded backdrop, once with each operation.
TEST_F(SoftRenderTest, BlendModes) {
    RenderStateBlock backdrop = Opaque();
    backdrop.shadeMode = 1;
    std::vector<V> backdropQuad = {{0, 0, 0, 0, 0xFF0000FF}, {160, 0, 0, 0, 0x00FF00FF}, {160, 64, 0, 0, 0x0000FFFF},
                            {0, 0, 0, 0, 0xFF0000FF}, {160, 64, 0, 0, 0x0000FFFF}, {0, 64, 0, 0, 0xFFFFFFFF}};
    Draw(VERTEX_COLOR_PT, backdropQuad, backdrop);
    // Factors 0-9 as source (top row) and as destination (second row) against inverse source alpha
    // and source alpha; the operations 0-4 in the third row.
    for (uint32_t f = 0; f < 10; ++f) {
        RenderStateBlock s;
        s.sourceBlend = f;
        Draw(VERTEX_COLOR_PT, Quad(f * 16.0f, 0, 16, 16, 0x30C0F080u), s, PT_TRIANGLELIST, nullptr, 10 + f);
        s = RenderStateBlock{};
        s.destBlend = f;
        Draw(VERTEX_COLOR_PT, Quad(f * 16.0f, 16, 16, 16, 0x30C0F080u), s, PT_TRIANGLELIST, nullptr, 30 + f);
    }
    for (uint32_t op = 0; op < 5; ++op) {
        RenderStateBlock s;
        s.blendOperation = op;
        s.sourceBlend = 1;
        s.destBlend = 8;  // destination colour
        Draw(VERTEX_COLOR_PT, Quad(op * 32.0f, 32, 32, 16, 0x806040C0u), s, PT_TRIANGLELIST, nullptr, 50 + op);
    }
    // Flat shading takes the first vertex's colour; a triangle fan's second.
    RenderStateBlock flat;
    flat.shadeMode = 0;
    flat.alphaBlend = false;
    Draw(VERTEX_COLOR_PT, {{0, 48, 0, 0, 0xFF00FFFF}, {80, 48, 0, 0, 0x00FF00FF}, {80, 64, 0, 0, 0x0000FFFF}}, flat,
         PT_TRIANGLELIST, nullptr, 60);
    Draw(VERTEX_COLOR_PT,
         {{80, 48, 0, 0, 0x000000FF}, {160, 48, 0, 0, 0xFFFF00FF}, {160, 64, 0, 0, 0x00FFFFFF}, {80, 64, 0, 0, 0xFFFFFFFF}},
         flat, PT_TRIANGLEFAN, nullptr, 61);
    ExpectFrame("blend_modes", 160, 64);
}

// An alpha ramp through each comparison against 128, one row per function; the ramp's texels
// 0..255 in steps of 17.
TEST_F(SoftRenderTest, AlphaTest) {
    TextureHandle* ramp = MakeTexture(16, 1, [](uint32_t x, uint32_t) { return (x * 17) << 24 | 0x00FFC040u; });
    for (uint32_t func = 0; func < 8; ++func) {
        RenderStateBlock s;
        s.alphaFunc = func;
        s.alphaRef = 136;  // the texel of column 8
        s.alphaBlend = false;
        Draw(VERTEX_TEXTURE_PT, Quad(0, func * 4.0f, 64, 4), s, PT_TRIANGLELIST, ramp, 10 + func);
    }
    ExpectFrame("alpha_test", 64, 32);
}

// Scissor rectangles, and the playfield's own clipping of the middle priorities.
TEST_F(SoftRenderTest, Scissor) {
    RenderStateBlock s = Opaque();
    s.scissorEnable = true;
    s.scissorLeft = 10, s.scissorTop = 6, s.scissorRight = 30, s.scissorBottom = 20;
    Draw(VERTEX_COLOR_PT, Quad(0, 0, 48, 32, 0x40A0FFFFu), s);
    s.scissorLeft = 40, s.scissorTop = 40, s.scissorRight = 20, s.scissorBottom = 60;  // empty: nothing drawn
    Draw(VERTEX_COLOR_PT, Quad(0, 0, 48, 32, 0xFF0000FFu), s, PT_TRIANGLELIST, nullptr, 2);
    s.scissorLeft = -100, s.scissorTop = 24, s.scissorRight = 1000, s.scissorBottom = 28;  // wider than the target
    Draw(VERTEX_COLOR_PT, Quad(0, 0, 48, 32, 0xFFFF00FFu), s, PT_TRIANGLELIST, nullptr, 3);
    ExpectFrame("scissor", 48, 32);
}

// A textured sprite: pre-transformed and through the camera, point and linear filtering, tinted,
// magnified and minified, wrapped, and a copy whose first triangle is turned round, which the
// default culling removes.
TEST_F(SoftRenderTest, TexturedSprite) {
    TextureHandle* checker = MakeTexture(8, 8, [](uint32_t x, uint32_t y) {
        const uint32_t edge = x == 0 || y == 0 || x == 7 || y == 7;
        return edge ? 0xFFFFFFFFu : ((x ^ y) & 1) != 0 ? 0xFF2060E0u : 0x80E04020u;
    });
    RenderStateBlock point;
    Draw(VERTEX_TEXTURE_PT, Quad(0, 0, 8, 8), point, PT_TRIANGLELIST, checker);
    Draw(VERTEX_COLORTEXTURE_PT, Quad(8, 0, 16, 16, 0xFFFF80FFu), point, PT_TRIANGLELIST, checker);
    Draw(VERTEX_COLORTEXTURE, Quad(24, 0, 16, 16, 0x80FFFFFFu, 2), point, PT_TRIANGLELIST, checker);
    RenderStateBlock linear;
    linear.magFilter = 2;
    linear.minFilter = 2;
    Draw(VERTEX_TEXTURE_PT, Quad(40, 0, 24, 24), linear, PT_TRIANGLELIST, checker);
    Draw(VERTEX_TEXTURE_PT, Quad(0, 16, 4, 4), linear, PT_TRIANGLELIST, checker);  // minified
    std::vector<V> back = Quad(0, 24, 8, 8);
    std::swap(back[1], back[2]);
    Draw(VERTEX_TEXTURE_PT, back, point, PT_TRIANGLELIST, checker, 5);
    ExpectFrame("textured_sprite", 64, 32);
}

// A Gouraud line strip, a line list and points; strips draw their joints once.
TEST_F(SoftRenderTest, LineStrip) {
    RenderStateBlock s;
    s.shadeMode = 1;
    s.sourceBlend = 1;  // one, one: a pixel drawn twice would show
    s.destBlend = 1;
    Draw(VERTEX_COLOR_PT,
         {{2, 2, 0, 0, 0xFF000080}, {40, 10, 0, 0, 0x00FF0080}, {20, 30, 0, 0, 0x0000FF80}, {3.5f, 12.5f, 0, 0, 0xFFFFFF80},
          {46, 28, 0, 0, 0xFF00FF80}},
         s, PT_LINESTRIP);
    Draw(VERTEX_COLOR_PT, {{30, 2, 0, 0, 0xFFFF00FF}, {30, 20, 0, 0, 0xFFFF00FF}, {47, 31, 0, 0, 0x00FFFFFF},
                           {33, 17, 0, 0, 0x00FFFFFF}},
         s, PT_LINELIST, nullptr, 2);
    Draw(VERTEX_COLOR_PT, {{44, 4, 0, 0, 0xFFFFFFFF}, {45.5f, 4.5f, 0, 0, 0xFFFFFFFF}, {10, 30, 0, 0, 0xFF8000FF}}, s,
         PT_POINTLIST, nullptr, 3);
    ExpectFrame("line_strip", 48, 32);
}

// Edges shared by triangles are covered once: additive half-grey over a fan, a strip and a rotated
// quad gives one value everywhere inside; the top-left rule gives an 8 x 8 quad exactly 64 pixels.
TEST_F(SoftRenderTest, SharedEdgesCoverEachPixelOnce) {
    RenderStateBlock add;
    add.sourceBlend = 1, add.destBlend = 1, add.alphaTest = false;
    std::vector<V> fan = {{100, 100}};
    for (int i = 0; i <= 12; ++i) {
        const float a = static_cast<float>(i) * 0.5235988f;
        fan.push_back({100 + 40 * std::cos(a), 100 + 40 * std::sin(a)});
    }
    for (V& v : fan)
        v.rgba = 0x404040FFu;
    RenderStateBlock none = add;
    none.cullMode = 0;
    Draw(VERTEX_COLOR_PT, fan, none, PT_TRIANGLEFAN);
    std::vector<V> strip;
    for (int i = 0; i < 10; ++i)
        strip.push_back({200.3f + i * 7.1f, (i & 1) != 0 ? 140.7f : 100.2f, 0, 0, 0x404040FFu});
    Draw(VERTEX_COLOR_PT, strip, none, PT_TRIANGLESTRIP, nullptr, 2);
    Draw(VERTEX_COLOR_PT, Quad(300.5f, 10.25f, 8, 8, 0x404040FFu), add, PT_TRIANGLELIST, nullptr, 3);
    FlushQueue();
    int quad = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint32_t p = Pixel(x, y);
            ASSERT_TRUE(p == 0xFF000000u || p == 0xFF404040u) << x << ", " << y << ": " << std::hex << p;
            if (x >= 290 && y < 40 && p != 0xFF000000u) ++quad;
        }
    EXPECT_EQ(quad, 64);
    EXPECT_EQ(Pixel(100, 100), 0xFF404040u);
    EXPECT_EQ(Pixel(300, 10), 0xFF000000u);  // centre (300, 10) lies left of 300.5
    EXPECT_EQ(Pixel(301, 11), 0xFF404040u);
}

// Triangles with a horizontal edge over the whole screen height: each row between the edges is
// covered exactly. Horizontal edges keep no per-row quotient; stepping one anyway read values
// never set (the sanitizers' build reported the overflow).
TEST_F(SoftRenderTest, HorizontalEdgesOverEveryRow) {
    RenderStateBlock add;
    add.sourceBlend = 1, add.destBlend = 1, add.alphaTest = false, add.cullMode = 0;
    Draw(VERTEX_COLOR_PT, Quad(0, 0, 640, 480, 0x202020FFu), add);
    // Flat top from (0, 0) to (480, 0), apex (0, 480): row y covers x < 480 - y (pixel centres
    // lie on whole coordinates, as on the device; the slanted edge is a right edge, left out).
    Draw(VERTEX_COLOR_PT, {{0, 0, 0, 0, 0x202020FFu}, {480, 0, 0, 0, 0x202020FFu}, {0, 480, 0, 0, 0x202020FFu}}, add);
    FlushQueue();
    for (int y = 0; y < 480; ++y) {
        int covered = 0;
        for (int x = 0; x < 640; ++x) {
            const uint32_t p = Pixel(x, y);
            ASSERT_TRUE(p == 0xFF202020u || p == 0xFF404040u) << x << ", " << y << ": " << std::hex << p;
            covered += p == 0xFF404040u;
        }
        EXPECT_EQ(covered, 480 - y) << "row " << y;
    }
}

// Bad vertices (NaN, infinite, enormous, behind the camera) and bad calls draw nothing or clip;
// they never crash or write outside the target.
TEST_F(SoftRenderTest, BadInputIsHarmless) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    RenderStateBlock s = Opaque();
    s.cullMode = 0;
    Draw(VERTEX_COLOR_PT, {{nan, 0}, {10, 10}, {0, 10}}, s);
    Draw(VERTEX_COLOR_PT, {{inf, 0}, {10, 10}, {0, 10}}, s, PT_LINESTRIP, nullptr, 2);
    Draw(VERTEX_COLOR_PT, {{-1e30f, -1e30f, 0, 0, 0x00FF00FF}, {1e30f, -1e30f}, {0, 1e30f}}, s, PT_TRIANGLELIST, nullptr, 3);
    Draw(VERTEX_COLOR_PT, {{-1e30f, 5}, {1e30f, 5}}, s, PT_LINESTRIP, nullptr, 4);
    Draw(VERTEX_TEXTURE_PT, {{0, 0, nan, inf}, {10, 0, 1e30f, -1e30f}, {0, 10, 0, 0}}, s, PT_TRIANGLELIST,
         MakeTexture(3, 5, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; }), 5);
    FlushQueue();
    EXPECT_NE(Pixel(320, 240), 0xFF000000u);  // the enormous triangle, clipped, covers the screen
    // One corner on screen, two a trillion pixels away: clipped to the lower-right of (400, 300).
    g_renderBackend.BeginFrame();
    Draw(VERTEX_COLOR_PT, {{400, 300}, {1e12f, 300}, {400, 1e12f}}, s);
    FlushQueue();
    EXPECT_EQ(Pixel(639, 479), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(399, 300), 0xFF000000u);
    EXPECT_EQ(Pixel(400, 299), 0xFF000000u);
    EXPECT_EQ(device_.DrawPrimitive(PT_TRIANGLELIST, 0, 1), kDeviceInvalidCall);  // outside a scene
    EXPECT_EQ(device_.BeginScene(), kDeviceOk);
    EXPECT_EQ(device_.SetFVF(FVF_XYZ | FVF_XYZRHW), kDeviceOk);
    EXPECT_EQ(device_.DrawPrimitive(PT_TRIANGLELIST, 0, 1), kDeviceInvalidCall);  // no stream, bad format
    DeviceBuffer buffer = 0;
    ASSERT_EQ(device_.CreateVertexBuffer(64, 0, 0, POOL_MANAGED, buffer), kDeviceOk);
    device_.SetFVF(FVF_XYZRHW);
    device_.SetStreamSource(0, buffer, 0, 16);
    EXPECT_EQ(device_.DrawPrimitive(PT_TRIANGLELIST, 0, 2), kDeviceInvalidCall);  // past the buffer's end
    EXPECT_EQ(device_.DrawPrimitive(9, 0, 1), kDeviceInvalidCall);
    device_.ReleaseVertexBuffer(buffer);
    EXPECT_EQ(device_.DrawPrimitive(PT_POINTLIST, 0, 1), kDeviceInvalidCall);  // released stream
    EXPECT_EQ(device_.SetStreamSource(0, buffer, 0, 16), kDeviceInvalidCall);
    EXPECT_EQ(device_.EndScene(), kDeviceOk);
    DeviceTexture texture = 0;
    EXPECT_EQ(device_.CreateTexture(0, 4, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, texture), kDeviceInvalidCall);
    EXPECT_EQ(device_.CreateTexture(8192, 4, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, texture), kDeviceInvalidCall);
    EXPECT_EQ(device_.Clear(CLEAR_STENCIL, 0, 1, 0), kDeviceInvalidCall);  // D16 has no stencil
}

// Present hands the finished frame over; the back buffer reads back in the display format.
TEST_F(SoftRenderTest, PresentShowsTheFrame) {
    struct Seen {
        uint32_t first = 0, width = 0, frames = 0;
    } seen;
    device_.SetPresentHook(
        [](void* user, const uint32_t* pixels, uint32_t width, uint32_t) {
            Seen& s = *static_cast<Seen*>(user);
            s.first = pixels[0], s.width = width, ++s.frames;
        },
        &seen);
    Draw(VERTEX_COLOR_PT, Quad(0, 0, 2, 2, 0x10203000u), Opaque());  // alpha 0 is stored as 255
    FlushQueue();
    EXPECT_EQ(seen.frames, 1u);
    EXPECT_EQ(seen.width, 640u);
    EXPECT_EQ(seen.first, 0xFF102030u);
    EXPECT_EQ(device_.PresentCount(), 1u);
}

}  // namespace

namespace {

// The engine's presentation switch reaches the device as its mode: the window shows full screen
// while the device is not windowed, and the frame keeps the play area's size.
TEST_F(SoftRenderTest, PresentationSwitchSetsTheDeviceMode) {
    EXPECT_TRUE(device_.Windowed());
    SetFullscreen();
    EXPECT_FALSE(IsWindowed());
    EXPECT_FALSE(device_.Windowed());
    EXPECT_EQ(device_.Width(), 640u);
    EXPECT_EQ(device_.Height(), 480u);
    SetWindowed();
    EXPECT_TRUE(device_.Windowed());
    EXPECT_EQ(device_.Width(), 640u);
}

// A reset forgets the device's transforms; the camera comes back with it, so world-space meshes
// land on the same pixels after a switch.
TEST_F(SoftRenderTest, CameraSurvivesThePresentationSwitch) {
    Draw(VERTEX_COLOR, Quad(100, 50, 20, 10, 0xFF8000FFu), Opaque());
    FlushQueue();
    const std::vector<uint32_t> before(device_.BackBuffer(), device_.BackBuffer() + 640 * 480);
    EXPECT_EQ(before[55 * 640 + 105], 0xFFFF8000u);
    SetFullscreen();
    g_renderBackend.BeginFrame();
    Draw(VERTEX_COLOR, Quad(100, 50, 20, 10, 0xFF8000FFu), Opaque());
    FlushQueue();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), device_.BackBuffer()));
}

}  // namespace

namespace {

// As Direct3D 9 does, a clear with the scissor test on fills only the scissor rectangle.
TEST_F(SoftRenderTest, ClearKeepsToTheScissorRectangle) {
    device_.Clear(CLEAR_TARGET, 0xFF00FF00u, 1.0f, 0);
    device_.SetRenderState(RS_SCISSORTESTENABLE, 1);
    device_.SetScissorRect(DeviceRect{-5, 2, 4, 3});
    EXPECT_EQ(device_.Clear(CLEAR_TARGET | CLEAR_ZBUFFER, 0xFFFF0000u, 1.0f, 0), kDeviceOk);
    EXPECT_EQ(Pixel(0, 2), 0xFFFF0000u);
    EXPECT_EQ(Pixel(3, 2), 0xFFFF0000u);
    EXPECT_EQ(Pixel(4, 2), 0xFF00FF00u);
    EXPECT_EQ(Pixel(0, 3), 0xFF00FF00u);
    device_.SetScissorRect(DeviceRect{9, 9, 2, 2});  // empty: nothing cleared
    EXPECT_EQ(device_.Clear(CLEAR_TARGET, 0xFF0000FFu, 1.0f, 0), kDeviceOk);
    EXPECT_EQ(Pixel(5, 5), 0xFF00FF00u);
    device_.SetRenderState(RS_SCISSORTESTENABLE, 0);
    device_.Clear(CLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
    EXPECT_EQ(Pixel(639, 479), 0xFF0000FFu);
}

}  // namespace
