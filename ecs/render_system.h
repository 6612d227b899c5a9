#pragma once
// The Render system: one mesh per entity, built and changed by scripts and by the shot and text
// systems, handed to the render queue once a frame with the entity's Movement transform.

#include <cstdint>

#include "base/heap.h"
#include "ecs/component_store.h"
#include "render/render_component.h"

inline constexpr uint16_t kRenderCapacity = 2048;

struct RenderSystem {
    ComponentStore<RenderComponent, kRenderCapacity> store{
        "Render",
        "\nblueblack{ECS warning:} yellowblack{Unable to find Render Component for Entity} aquablack{%i} "
        "yellowblack{while executing} "};
    StgFrame frame;
    // Vertex arrays; laid out on the first SetVertexCount.
    FixedHeap* heap;
    alignas(FixedHeap) unsigned char heapRegion[kRenderSystemHeapBytes];
};
extern RenderSystem g_renderSystem;

// No components (their arrays and textures dropped without release: tests reset the texture
// manager beside it), the heap forgotten, the frame at its start values.
void ResetRenderSystem();
// Registers the deletion and render callbacks.
void InitRenderSystem();

// A component with the defaults and the renderer's default states; nothing when the entity has one.
RenderComponent* AddRenderComponent(EntityId id);
// Frees the vertex array and releases the texture; `warn` prints the warning when there is none.
void RemoveRenderComponent(EntityId id, bool warn);
// The component, or none after the Render warning (the caller's own line follows).
RenderComponent* FindRenderComponent(EntityId id);
RenderComponent* LookupRenderComponent(EntityId id);

// The engine-side operations of the builtins of the same names; each names `builtin` in its
// messages. Vertex indices are 16-bit.
void SetVertexCount(RenderComponent& c, EntityId id, uint32_t count);
void SetVertexPosition(RenderComponent& c, EntityId id, uint16_t index, float x, float y, float z);
void SetVertexRHW(RenderComponent& c, EntityId id, uint16_t index, float rhw);
void SetVertexColor(RenderComponent& c, EntityId id, uint16_t index, uint8_t red, uint8_t green, uint8_t blue);
void SetVertexAlpha(RenderComponent& c, EntityId id, uint16_t index, uint8_t alpha);
void SetVertexUV(RenderComponent& c, EntityId id, uint16_t index, float u, float v);
void SetVertexUVT(RenderComponent& c, EntityId id, uint16_t index, int16_t tx, int16_t ty);
void SetColorHSV(RenderComponent& c, uint8_t h, uint8_t s, uint8_t v);
// [h, s, v] of the component colour.
void GetColorHSV(const RenderComponent& c, uint8_t hsv[3]);
// Stores the handle with one reference of its own; the old one is given back after.
void SetTextureHandle(RenderComponent& c, TextureHandle* handle);
void SetSourceRect(RenderComponent& c, EntityId id, int32_t left, int32_t top, int32_t right, int32_t bottom);
// [x, y, z] of the vertex; zeros past the count. False (with the message) without an array.
bool GetVertexPosition(RenderComponent& c, EntityId id, uint32_t index, float position[3]);
uint32_t RenderVertexCount(const RenderComponent& c);

// In edit mode: the vertices of the edit range taken through `matrix`.
void BakeTransform(RenderComponent& c, const Matrix4& matrix);
// Scale, then yaw-pitch-roll rotation, then translation, then the parents'.
Matrix4 LocalTransform(const RenderComponent& c);

// The render callback: every visible mesh of an existing entity queued, transformed.
void RenderSystemDraw();
