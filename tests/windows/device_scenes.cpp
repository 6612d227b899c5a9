#include "tests/windows/device_scenes.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "render/backend.h"
#include "render/device.h"
#include "render/queue.h"
#include "render/vertex.h"

namespace {

struct V {
    float x, y, u = 0, v = 0;
    uint32_t rgba = 0xFFFFFFFFu;  // red in the top byte, as a script writes the four bytes
};

// Vertices of `type` in the engine's byte layout; the camera puts screen pixel (x, y) at (x, -y).
std::vector<uint8_t> Mesh(uint32_t type, const std::vector<V>& vertices) {
    std::vector<uint8_t> bytes(VertexSizeOf(type) * vertices.size());
    for (size_t i = 0; i < vertices.size(); ++i) {
        uint8_t* to = bytes.data() + i * VertexSizeOf(type);
        const float position[4] = {vertices[i].x, VertexIsPreTransformed(type) ? vertices[i].y : -vertices[i].y, 0, 1};
        std::memcpy(to, position, VertexIsPreTransformed(type) ? 16 : 12);
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
std::vector<V> Quad(float x, float y, float w, float h, uint32_t rgba = 0xFFFFFFFFu, float uv = 1) {
    const V tl{x, y, 0, 0, rgba}, tr{x + w, y, uv, 0, rgba}, br{x + w, y + h, uv, uv, rgba}, bl{x, y + h, 0, uv, rgba};
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
TextureHandle* MakeTexture(std::vector<TextureHandle*>& textures, uint32_t w, uint32_t h, Texel texel) {
    TextureHandle* handle = g_renderBackend.CreateTexture(w, h);
    if (handle == nullptr) return nullptr;
    textures.push_back(handle);
    RenderDevice* device = GetRenderDevice();
    LockedRect locked{};
    if (device == nullptr || device->LockRect(handle->texture, 0, locked, 0) != kDeviceOk) return handle;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t value = texel(x, y);
            std::memcpy(static_cast<uint8_t*>(locked.bits) + y * locked.pitch + x * 4, &value, 4);
        }
    device->UnlockRect(handle->texture, 0);
    return handle;
}

RenderStateBlock Opaque() {
    RenderStateBlock s;
    s.alphaBlend = false;
    s.alphaTest = false;
    return s;
}

// Every blend factor as source and as destination over a Gouraud-shaded backdrop, each operation,
// and flat shading of a list and a fan.
void BlendModes(std::vector<TextureHandle*>&) {
    RenderStateBlock backdrop = Opaque();
    backdrop.shadeMode = 1;
    Draw(VERTEX_COLOR_PT,
         {{0, 0, 0, 0, 0xFF0000FF}, {160, 0, 0, 0, 0x00FF00FF}, {160, 64, 0, 0, 0x0000FFFF},
          {0, 0, 0, 0, 0xFF0000FF}, {160, 64, 0, 0, 0x0000FFFF}, {0, 64, 0, 0, 0xFFFFFFFF}},
         backdrop);
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
        s.destBlend = 8;
        Draw(VERTEX_COLOR_PT, Quad(op * 32.0f, 32, 32, 16, 0x806040C0u), s, PT_TRIANGLELIST, nullptr, 50 + op);
    }
    RenderStateBlock flat;
    flat.shadeMode = 0;
    flat.alphaBlend = false;
    Draw(VERTEX_COLOR_PT, {{0, 48, 0, 0, 0xFF00FFFF}, {80, 48, 0, 0, 0x00FF00FF}, {80, 64, 0, 0, 0x0000FFFF}}, flat,
         PT_TRIANGLELIST, nullptr, 60);
    Draw(VERTEX_COLOR_PT,
         {{80, 48, 0, 0, 0x000000FF}, {160, 48, 0, 0, 0xFFFF00FF}, {160, 64, 0, 0, 0x00FFFFFF}, {80, 64, 0, 0, 0xFFFFFFFF}},
         flat, PT_TRIANGLEFAN, nullptr, 61);
}

// An alpha ramp through each comparison against 136, one row per function.
void AlphaTest(std::vector<TextureHandle*>& textures) {
    // Column 8 of the ramp holds alpha 136, the reference: equal passes the equal functions only.
    TextureHandle* ramp =
        MakeTexture(textures, 16, 1, [](uint32_t x, uint32_t) { return (x * 17) << 24 | 0x00FFC040u; });
    for (uint32_t func = 0; func < 8; ++func) {
        RenderStateBlock s;
        s.alphaFunc = func;
        s.alphaRef = 136;
        s.alphaBlend = false;
        Draw(VERTEX_TEXTURE_PT, Quad(0, func * 4.0f, 64, 4), s, PT_TRIANGLELIST, ramp, 10 + func);
    }
}

// A scissor rectangle, an empty one and one wider than the target.
void Scissor(std::vector<TextureHandle*>&) {
    RenderStateBlock s = Opaque();
    s.scissorEnable = true;
    s.scissorLeft = 10, s.scissorTop = 6, s.scissorRight = 30, s.scissorBottom = 20;
    Draw(VERTEX_COLOR_PT, Quad(0, 0, 48, 32, 0x40A0FFFFu), s);
    // Empty, but well formed: a rectangle whose right is left of its left is refused by the
    // Direct3D under Wine, which then keeps the previous one.
    s.scissorLeft = 20, s.scissorTop = 6, s.scissorRight = 20, s.scissorBottom = 20;
    Draw(VERTEX_COLOR_PT, Quad(0, 0, 48, 32, 0xFF0000FFu), s, PT_TRIANGLELIST, nullptr, 2);
    s.scissorLeft = -100, s.scissorTop = 24, s.scissorRight = 1000, s.scissorBottom = 28;
    Draw(VERTEX_COLOR_PT, Quad(0, 0, 48, 32, 0xFFFF00FFu), s, PT_TRIANGLELIST, nullptr, 3);
}

// Textured sprites: pre-transformed and through the camera, tinted and blended, point filtering,
// magnified, wrapped, and a copy turned round that the default culling removes. (Linear filtering is left to
// the software device's own tests: the two filter at different sub-texel precisions.)
void TexturedSprite(std::vector<TextureHandle*>& textures) {
    TextureHandle* checker = MakeTexture(textures, 8, 8, [](uint32_t x, uint32_t y) {
        const uint32_t edge = x == 0 || y == 0 || x == 7 || y == 7;
        return edge ? 0xFFFFFFFFu : ((x ^ y) & 1) != 0 ? 0xFF2060E0u : 0x80E04020u;
    });
    // A quarter pixel off the grid, so that no pixel samples exactly on a texel edge, where the
    // choice of texel is the rasteriser's own.
    const float q = 0.25f;
    RenderStateBlock point;
    Draw(VERTEX_TEXTURE_PT, Quad(q, q, 8, 8), point, PT_TRIANGLELIST, checker);
    Draw(VERTEX_COLORTEXTURE_PT, Quad(8 + q, q, 16, 16, 0xFFFF80FFu), point, PT_TRIANGLELIST, checker);
    Draw(VERTEX_COLORTEXTURE, Quad(24 + q, q, 16, 16, 0x80FFFFFFu, 2), point, PT_TRIANGLELIST, checker);
    Draw(VERTEX_TEXTURE, Quad(40 + q, q, 24, 24), point, PT_TRIANGLELIST, checker, 2);
    std::vector<V> back = Quad(q, 24 + q, 8, 8);
    std::swap(back[1], back[2]);
    Draw(VERTEX_TEXTURE_PT, back, point, PT_TRIANGLELIST, checker, 5);
}

// Meshes of every vertex type with no texture bound: what stage 0 gives without one, with and
// without a vertex colour, opaque and blended over a backdrop.
void Untextured(std::vector<TextureHandle*>&) {
    Draw(VERTEX_COLOR_PT, Quad(0, 32, 128, 16, 0x2040A0FFu), Opaque());
    const uint32_t types[] = {VERTEX_COLOR_PT, VERTEX_COLOR,           VERTEX_TEXTURE_PT,
                              VERTEX_TEXTURE,  VERTEX_COLORTEXTURE_PT, VERTEX_COLORTEXTURE};
    for (int i = 0; i < 6; ++i) {
        const float x = i * 20.0f;
        Draw(types[i], Quad(x, 0, 16, 16, 0xC08040FFu), Opaque(), PT_TRIANGLELIST, nullptr, 2);
        Draw(types[i], Quad(x, 28, 16, 24, 0x40C0E080u), RenderStateBlock{}, PT_TRIANGLELIST, nullptr, 3);
    }
}

// A Gouraud line strip, a line list and points, added one over one so a pixel drawn twice shows.
void LineStrip(std::vector<TextureHandle*>&) {
    RenderStateBlock s;
    s.shadeMode = 1;
    s.sourceBlend = 1;
    s.destBlend = 1;
    Draw(VERTEX_COLOR_PT,
         {{2, 2, 0, 0, 0xFF000080}, {40, 10, 0, 0, 0x00FF0080}, {20, 30, 0, 0, 0x0000FF80},
          {3.5f, 12.5f, 0, 0, 0xFFFFFF80}, {46, 28, 0, 0, 0xFF00FF80}},
         s, PT_LINESTRIP);
    Draw(VERTEX_COLOR_PT,
         {{30, 2, 0, 0, 0xFFFF00FF}, {30, 20, 0, 0, 0xFFFF00FF}, {47, 31, 0, 0, 0x00FFFFFF}, {33, 17, 0, 0, 0x00FFFFFF}},
         s, PT_LINELIST, nullptr, 2);
    Draw(VERTEX_COLOR_PT, {{44, 4, 0, 0, 0xFFFFFFFF}, {45.5f, 4.5f, 0, 0, 0xFFFFFFFF}, {10, 30, 0, 0, 0xFF8000FF}}, s,
         PT_POINTLIST, nullptr, 3);
}

}  // namespace

const std::vector<DeviceScene>& DeviceScenes() {
    static const std::vector<DeviceScene> scenes = {
        {"blend_modes", BlendModes}, {"alpha_test", AlphaTest}, {"scissor", Scissor},
        {"textured_sprite", TexturedSprite}, {"untextured", Untextured}, {"line_strip", LineStrip},
    };
    return scenes;
}
