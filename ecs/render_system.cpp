#include "ecs/render_system.h"

#include <cstring>

#include "base/console.h"
#include "ecs/movement.h"
#include "ecs/system_callbacks.h"
#include "render/backend.h"
#include "render/queue.h"

RenderSystem g_renderSystem;

namespace {

// Parent chains are never set by the engine; a bound keeps a cycle from looping.
constexpr int kMaxParentDepth = 16;

void RemoveOnDeletion(EntityId id) {
    RemoveRenderComponent(id, false);
}

FixedHeap* VertexHeap() {
    RenderSystem& s = g_renderSystem;
    if (s.heap == nullptr) s.heap = FixedHeapInit(s.heapRegion, kRenderSystemHeapBytes);
    return s.heap;
}

uint32_t ElementSize(const RenderComponent& c) {
    return c.vertices != nullptr ? VectorHeader(c.vertices).elementSize : 0;
}

uint8_t* VertexAt(const RenderComponent& c, uint32_t index) {
    return static_cast<uint8_t*>(c.vertices) + uint64_t{index} * ElementSize(c);
}

void WriteFloat(uint8_t* at, float value) {
    std::memcpy(at, &value, sizeof value);
}

void WriteWhite(uint8_t* at) {
    std::memset(at, 0xFF, 4);
}

// The array was made for another size of vertex than the type now names: its fields cannot be
// addressed by the type's offsets.
bool ArrayFitsType(const RenderComponent& c, EntityId id, const char* builtin) {
    if (ElementSize(c) == VertexSizeOf(c.vertexType)) return true;
    ConsolePrintf(
        "\nblueblack{ECS warning:} aquablack{%s} yellowblack{can not be used while the Vertex Type} aquablack{%u} "
        "yellowblack{does not match the vertices of Entity} aquablack{%i} yellowblack{(made for} aquablack{%u} "
        "yellowblack{bytes each)}",
        builtin, c.vertexType, static_cast<int>(id), ElementSize(c));
    return false;
}

void ResetVertices(RenderComponent& c, uint32_t from, uint32_t to) {
    if (c.vertices == nullptr) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} aquablack{SysRender_ResetVertices} yellowblack{can not be used before Vertices "
            "Size has been set via} aquablack{SysRender_SetVertexCount}");
        return;
    }
    if (ElementSize(c) != VertexSizeOf(c.vertexType)) return;
    for (uint32_t i = from; i < to; ++i) {
        uint8_t* v = VertexAt(c, i);
        // The heap hands back memory of deleted meshes: nothing of an earlier vertex may show through.
        std::memset(v, 0, ElementSize(c));
        switch (c.vertexType) {
            case VERTEX_COLOR_PT:
            case VERTEX_COLORTEXTURE_PT:
                WriteFloat(v + 12, 1.0f);
                WriteWhite(v + 16);
                break;
            case VERTEX_COLOR: WriteWhite(v + 12); break;
            case VERTEX_TEXTURE_PT: WriteFloat(v + 12, 1.0f); break;
            case VERTEX_COLORTEXTURE: WriteWhite(v + 12); break;
            default: break;
        }
    }
}

// The checks every per-vertex setter makes before its type check: an array, and the index inside it.
bool VertexReachable(const RenderComponent& c, EntityId id, uint32_t index, const char* builtin) {
    if (c.vertices == nullptr) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} aquablack{%s} yellowblack{can not be used before Vertices Size has been set "
            "via} aquablack{SysRender_SetVertexCount} yellowblack{on Entity} aquablack{%i}",
            builtin, static_cast<int>(id));
        return false;
    }
    const uint32_t count = VectorCount(c.vertices);
    if (index >= count) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} aquablack{%s} yellowblack{can not access} redblack{out-of-bounds} "
            "yellowblack{vertex} aquablack{%u} yellowblack{when Entity} aquablack{%i} yellowblack{only has} "
            "aquablack{%u} yellowblack{vertices}",
            builtin, index, static_cast<int>(id), count);
        return false;
    }
    return true;
}

bool NeedsPreTransformed(const RenderComponent& c, EntityId id, const char* builtin) {
    if (VertexIsPreTransformed(c.vertexType)) return true;
    ConsolePrintf(
        "\nblueblack{ECS warning:} aquablack{%s} yellowblack{can only be used on Pre-Transformed vertices } "
        "aquablack{VERTEX_TEXTURE_PT VERTEX_COLOR_PT VERTEX_COLORTEXTURE_PT} yellowblack{(Entity} "
        "aquablack{%i}yellowblack{)}",
        builtin, static_cast<int>(id));
    return false;
}

bool NeedsColored(const RenderComponent& c, EntityId id, const char* builtin) {
    if (VertexIsColored(c.vertexType)) return true;
    ConsolePrintf(
        "\nblueblack{ECS warning:} aquablack{%s} yellowblack{can only be used on colored vertices } "
        "aquablack{VERTEX_COLOR_PT VERTEX_COLOR VERTEX_COLORTEXTURE_PT VERTEX_COLORTEXTURE} yellowblack{(Entity} "
        "aquablack{%i}yellowblack{)}",
        builtin, static_cast<int>(id));
    return false;
}

bool NeedsTextured(const RenderComponent& c, EntityId id, const char* builtin) {
    if (VertexIsTextured(c.vertexType)) return true;
    ConsolePrintf(
        "\nblueblack{ECS warning:} aquablack{%s} yellowblack{can only be used on Textured vertices } "
        "aquablack{VERTEX_TEXTURE_PT VERTEX_TEXTURE VERTEX_COLORTEXTURE_PT VERTEX_COLORTEXTURE} yellowblack{(Entity} "
        "aquablack{%i}yellowblack{)}",
        builtin, static_cast<int>(id));
    return false;
}

// A texel coordinate over the image's last texel index; images of one texel (or none) have one
// coordinate, 0.
float TexelToCoordinate(int16_t texel, uint32_t imageSize) {
    return imageSize > 1 ? static_cast<float>(texel) / static_cast<float>(imageSize - 1) : 0.0f;
}

}  // namespace

void ResetRenderSystem() {
    RenderSystem& s = g_renderSystem;
    s.store.Reset();
    s.frame = StgFrame{};
    s.heap = nullptr;
}

void InitRenderSystem() {
    AddDeletionCallback(RemoveOnDeletion);
    AddRenderCallback(RenderSystemDraw);
}

RenderComponent* AddRenderComponent(EntityId id) {
    ComponentStore<RenderComponent, kRenderCapacity>& store = g_renderSystem.store;
    if (RenderComponent* existing = store.Lookup(id)) return existing;
    RenderComponent* c = store.Add(id);
    if (c == nullptr) return nullptr;
    g_renderBackend.GetDefaultRenderState(c->states);
    store.cacheId = id;
    store.cacheIndex = static_cast<uint16_t>(c - store.records);
    return c;
}

void RemoveRenderComponent(EntityId id, bool warn) {
    ComponentStore<RenderComponent, kRenderCapacity>& s = g_renderSystem.store;
    for (uint16_t i = 0; i < s.count; ++i) {
        if (s.ids[i] != id) continue;
        RenderComponent& c = s.records[i];
        VectorFree(c.vertices);
        ReleaseTextureHandle(c.texture);
        // Later components keep their order: it is the order meshes are queued in.
        for (uint16_t j = i; j + 1 < s.count; ++j) {
            s.records[j] = s.records[j + 1];
            s.ids[j] = s.ids[j + 1];
        }
        --s.count;
        s.records[s.count] = RenderComponent{};
        s.ids[s.count] = 0;
        s.cacheId = 0;
        return;
    }
    if (warn) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{Attempted to remove render component from entity} aquablack{%u} "
            "yellowblack{that does not have one}",
            static_cast<unsigned>(id));
    }
}

RenderComponent* FindRenderComponent(EntityId id) {
    return g_renderSystem.store.Find(id);
}

RenderComponent* LookupRenderComponent(EntityId id) {
    return g_renderSystem.store.Lookup(id);
}

uint32_t RenderVertexCount(const RenderComponent& c) {
    return c.vertices != nullptr ? VectorCount(c.vertices) : 0;
}

void SetVertexCount(RenderComponent& c, EntityId id, uint32_t count) {
    FixedHeap* heap = VertexHeap();
    if (heap == nullptr) return;
    if (c.vertices == nullptr) {
        const uint32_t size = Vertex_GetSize(c.vertexType);
        if (size == 0) {
            ConsolePrintf(
                "\nblueblack{ECS warning:} aquablack{SysRender_SetVertexCount} yellowblack{can not be used before "
                "Vertex Type has been set via} aquablack{SysRender_SetVerticesType} yellowblack{on Entity} "
                "aquablack{%i}",
                static_cast<int>(id));
            return;
        }
        c.vertices = VectorCreate(heap, count, count, size);
        if (c.vertices != nullptr) ResetVertices(c, 0, count);
        return;
    }
    if (!ArrayFitsType(c, id, "SysRender_SetVertexCount")) return;
    const uint32_t old = VectorCount(c.vertices);
    if (!VectorSetCount(c.vertices, count)) return;
    if (count > old) ResetVertices(c, old, count);
}

void SetVertexPosition(RenderComponent& c, EntityId id, uint16_t index, float x, float y, float z) {
    if (!VertexReachable(c, id, index, "SysRender_SetVertexPosition")) return;
    const float position[3] = {x, y, z};
    std::memcpy(VertexAt(c, index), position, sizeof position);
}

void SetVertexRHW(RenderComponent& c, EntityId id, uint16_t index, float rhw) {
    const char* name = "SysRender_SetVertexRHW";
    if (!VertexReachable(c, id, index, name) || !NeedsPreTransformed(c, id, name) || !ArrayFitsType(c, id, name)) {
        return;
    }
    WriteFloat(VertexAt(c, index) + 12, rhw);
}

void SetVertexColor(RenderComponent& c, EntityId id, uint16_t index, uint8_t red, uint8_t green, uint8_t blue) {
    const char* name = "SysRender_SetVertexColor";
    if (!VertexReachable(c, id, index, name) || !NeedsColored(c, id, name) || !ArrayFitsType(c, id, name)) return;
    uint8_t* color = VertexAt(c, index) + VertexColorOffset(c.vertexType);
    color[0] = red;
    color[1] = green;
    color[2] = blue;
}

void SetVertexAlpha(RenderComponent& c, EntityId id, uint16_t index, uint8_t alpha) {
    const char* name = "SysRender_SetVertexAlpha";
    if (!VertexReachable(c, id, index, name) || !NeedsColored(c, id, name) || !ArrayFitsType(c, id, name)) return;
    VertexAt(c, index)[VertexColorOffset(c.vertexType) + 3] = alpha;
}

void SetVertexUV(RenderComponent& c, EntityId id, uint16_t index, float u, float v) {
    const char* name = "SysRender_SetVertexUV";
    if (!VertexReachable(c, id, index, name) || !NeedsTextured(c, id, name) || !ArrayFitsType(c, id, name)) return;
    uint8_t* at = VertexAt(c, index) + VertexUVOffset(c.vertexType);
    WriteFloat(at, u);
    WriteFloat(at + 4, v);
}

void SetVertexUVT(RenderComponent& c, EntityId id, uint16_t index, int16_t tx, int16_t ty) {
    const char* name = "SysRender_SetVertexUVT";
    if (!VertexReachable(c, id, index, name)) return;
    if (c.texture == nullptr) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} aquablack{SysRender_SetVertexUVT} yellowblack{can not be used before Texture "
            "has been set via} aquablack{SysRender_SetTexture} yellowblack{on Entity} aquablack{%i}",
            static_cast<int>(id));
        return;
    }
    if (!NeedsTextured(c, id, name) || !ArrayFitsType(c, id, name)) return;
    const Image* image = c.texture->image;
    const uint32_t width = image != nullptr ? image->width : c.texture->textureWidth;
    const uint32_t height = image != nullptr ? image->height : c.texture->textureHeight;
    uint8_t* at = VertexAt(c, index) + VertexUVOffset(c.vertexType);
    WriteFloat(at, TexelToCoordinate(tx, width));
    WriteFloat(at + 4, TexelToCoordinate(ty, height));
}

void SetColorHSV(RenderComponent& c, uint8_t h, uint8_t s, uint8_t v) {
    if (s == 0) {
        c.red = c.green = c.blue = v;
    } else {
        c.red = v;
        c.green = static_cast<uint8_t>(int64_t{v} * (30720 * (256 - s) + int64_t{h} * s) / 7864320);
        c.blue = static_cast<uint8_t>((256 - s) * v / 256);
    }
    c.alpha = 255;
}

void GetColorHSV(const RenderComponent& c, uint8_t hsv[3]) {
    const int r = c.red, g = c.green, b = c.blue;
    const int max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int min = r < g ? (r < b ? r : b) : (g < b ? g : b);
    hsv[2] = static_cast<uint8_t>(max);
    if (max == min) {
        hsv[0] = 255;
        hsv[1] = 0;
        return;
    }
    const int d = max - min;
    int q;
    if (r == max) q = (g - b) * 30720 / d;
    else if (g == max) q = (b - r) * 30720 / d;
    else q = (r - g) * 30720 / d;
    hsv[0] = static_cast<uint8_t>(q);
    hsv[1] = static_cast<uint8_t>((256 * d - 8) / max);
}

void SetTextureHandle(RenderComponent& c, TextureHandle* handle) {
    // The new reference first: the old handle may be the same one.
    AddTextureHandleReference(handle);
    TextureHandle* old = c.texture;
    c.texture = handle;
    ReleaseTextureHandle(old);
}

void SetSourceRect(RenderComponent& c, EntityId id, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (c.vertices == nullptr) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} aquablack{SysRender_SetSourceRect} yellowblack{can not be used before Vertices "
            "Size has been set via} aquablack{SysRender_SetVertexCount} yellowblack{on Entity} aquablack{%i}",
            static_cast<int>(id));
        return;
    }
    const uint32_t count = VectorCount(c.vertices);
    if (count % 6 != 0) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} aquablack{SysRender_SetSourceRect} yellowblack{can only be used on 2D Sprites "
            "or 2D Sprite Lists which have multiples of 6 vertices, Entity} aquablack{%i} yellowblack{has} "
            "aquablack{%i}",
            static_cast<int>(id), static_cast<int>(count));
        return;
    }
    c.sourceLeft = left;
    c.sourceTop = top;
    c.sourceRight = right;
    c.sourceBottom = bottom;
    c.vertexLayout = 4;
    const int16_t l = static_cast<int16_t>(left), t = static_cast<int16_t>(top);
    const int16_t r = static_cast<int16_t>(right), b = static_cast<int16_t>(bottom);
    const int16_t corners[6][2] = {{l, t}, {r, b}, {l, b}, {r, b}, {l, t}, {r, t}};
    for (uint16_t k = 0; k < 6; ++k) {
        SetVertexUVT(c, id, static_cast<uint16_t>(c.editStart + k), corners[k][0], corners[k][1]);
    }
}

bool GetVertexPosition(RenderComponent& c, EntityId id, uint32_t index, float position[3]) {
    position[0] = position[1] = position[2] = 0;
    if (c.vertices == nullptr) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} aquablack{SysRender_GetVertexPosition} yellowblack{can not be used before "
            "Vertices Size has been set via} aquablack{SysRender_SetVertexCount} yellowblack{on Entity} "
            "aquablack{%i}",
            static_cast<int>(id));
        return false;
    }
    if (index < VectorCount(c.vertices)) std::memcpy(position, VertexAt(c, index), 3 * sizeof(float));
    return true;
}

void BakeTransform(RenderComponent& c, const Matrix4& m) {
    if (!c.editMode || c.vertices == nullptr) return;
    const uint32_t count = VectorCount(c.vertices);
    const uint32_t start = c.editStart;
    const uint32_t range = c.editCount != 0 ? c.editCount : (start <= count ? count - start : 0);
    if (start > count || start + range > count) {
        ConsolePrintf(
            "\nblueblack{ECS warning :} yellowblack{Attempted to transform} aquablack{%u} yellowblack{when the entity "
            "only has} aquablack{%u}",
            range, count);
        return;
    }
    for (uint32_t i = start; i < start + range; ++i) {
        float p[3];
        uint8_t* v = VertexAt(c, i);
        std::memcpy(p, v, sizeof p);
        const float w = p[0] * m.m[0][3] + p[1] * m.m[1][3] + p[2] * m.m[2][3] + m.m[3][3];
        float out[3];
        for (int k = 0; k < 3; ++k)
            out[k] = (p[0] * m.m[0][k] + p[1] * m.m[1][k] + p[2] * m.m[2][k] + m.m[3][k]) / w;
        std::memcpy(v, out, sizeof out);
    }
}

Matrix4 LocalTransform(const RenderComponent& c) {
    Matrix4 local = kIdentityMatrix;
    const RenderComponent* part = &c;
    for (int depth = 0; part != nullptr && depth < kMaxParentDepth; ++depth, part = part->parent) {
        const Matrix4 own = MatrixMultiply(
            MatrixMultiply(MatrixScaling(part->scaleX, part->scaleY, part->scaleZ),
                           MatrixYawPitchRoll(part->angleY, part->angleX, part->angleZ)),
            MatrixTranslation(part->x, part->y, part->z));
        local = MatrixMultiply(local, own);
    }
    return local;
}

void RenderSystemDraw() {
    ComponentStore<RenderComponent, kRenderCapacity>& s = g_renderSystem.store;
    const StgFrame& frame = g_renderSystem.frame;
    for (uint16_t i = 0; i < s.count; ++i) {
        const EntityId id = s.ids[i];
        RenderComponent& c = s.records[i];
        if (g_entities.exists[id] == 0 || !c.visible || c.vertices == nullptr) continue;
        // A mesh the type cannot describe, or a textured one without its texture, draws nothing.
        const uint32_t count = VectorCount(c.vertices);
        if (count == 0 || ElementSize(c) != VertexSizeOf(c.vertexType)) continue;
        if (VertexIsTextured(c.vertexType) && c.texture == nullptr) continue;

        Matrix4 movement = kIdentityMatrix;
        if (c.fixedAngle) {
            movement = SysMovement_GetTransformMatrixFixedAngle(id);
        } else if (const Matrix4* full = SysMovement_GetTransformMatrix(id)) {
            movement = *full;
        }
        if (c.spin != 0) c.angleZ += c.spin;

        const bool inFrame = frame.low < c.renderPriority && c.renderPriority < frame.high;
        const float savedX = c.x, savedY = c.y, savedZ = c.z;
        const RenderStateBlock savedStates = c.states;
        if (inFrame) {
            c.x += static_cast<float>(frame.left);
            c.y += static_cast<float>(frame.top);
            c.states.scissorLeft = static_cast<int16_t>(frame.left);
            c.states.scissorTop = static_cast<int16_t>(frame.top);
            c.states.scissorRight = static_cast<int16_t>(frame.right);
            c.states.scissorBottom = static_cast<int16_t>(frame.bottom);
            c.states.scissorEnable = true;
        }
        const Matrix4 world = c.editMode ? movement : MatrixMultiply(movement, LocalTransform(c));
        QueueMesh(static_cast<const uint8_t*>(c.vertices), count, c.vertexType, c.vertexLayout, world,
                  c.renderPriority, c.states, c.texture);
        if (inFrame) {
            c.x = savedX;
            c.y = savedY;
            c.z = savedZ;
            c.states = savedStates;
        }
    }
}
