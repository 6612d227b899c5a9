#pragma once
// One entity's mesh: its vertices, how they are drawn, and the local transform applied to them.

#include <cstdint>

#include "render/render_state.h"
#include "render/texture.h"
#include "render/vertex.h"

struct RenderComponent {
    // Applied after this one's local transform; nothing in the engine sets it.
    RenderComponent* parent = nullptr;
    float scaleX = 1, scaleY = 1, scaleZ = 1;
    float angleX = 0, angleY = 0, angleZ = 0;  // radians: pitch, yaw, roll
    float x = 0, y = 0, z = 0;
    float spin = 0;  // added to angleZ every frame the mesh is drawn
    bool fixedAngle = false;
    bool visible = true;
    uint8_t renderPriority = 1;
    bool editMode = false;
    uint16_t editStart = 0, editCount = 0;  // editCount 0: to the last vertex
    uint32_t vertexType = VERTEX_NOTSET;
    uint32_t vertexLayout = 4;  // triangle list
    // Growable array in the render system's heap; its element size is fixed when it is made.
    void* vertices = nullptr;
    uint8_t red = 255, green = 255, blue = 255, alpha = 255;
    TextureHandle* texture = nullptr;
    int32_t sourceLeft = 0, sourceTop = 0, sourceRight = 255, sourceBottom = 255;
    RenderStateBlock states;
};

// The playfield and the priorities drawn inside it (both bounds excluded).
struct StgFrame {
    int32_t left = 32, top = 16, right = 416, bottom = 464;
    uint8_t low = 20, high = 80;
};
