#pragma once
// The fixed-function states of one mesh, in the engine's own numbering (the back end maps them to
// the device's). Copied by value into every component and every queued mesh; batches compare whole
// blocks.

#include <cstdint>

struct RenderStateBlock {
    bool lighting = false;
    uint32_t shadeMode = 0;   // 0 flat, 1 Gouraud, 2 Phong
    bool zTest = false;
    bool zWrite = true;
    uint32_t cullMode = 2;    // 0 none, 1 clockwise, 2 counter-clockwise
    bool alphaBlend = true;
    uint32_t blendOperation = 0;  // 0 add, 1 subtract, 2 reverse subtract, 3 min, 4 max
    uint32_t sourceBlend = 4;     // blend factors 0-9: zero, one, source colour, its inverse, source
    uint32_t destBlend = 5;       // alpha, its inverse, destination alpha, its inverse, destination colour, its inverse
    bool scissorEnable = false;
    int16_t scissorLeft = 0, scissorTop = 0, scissorRight = 0, scissorBottom = 0;
    bool alphaTest = true;
    uint8_t alphaRef = 1;
    uint32_t alphaFunc = 6;  // 0-7: never, less, less-equal, equal, not-equal, greater, greater-equal, always
    uint32_t magFilter = 1, minFilter = 1, mipFilter = 0;  // 0 none, 1 point, 2 linear
    uint32_t fillMode = 2;   // 0 point, 1 wireframe, 2 solid

    bool operator==(const RenderStateBlock&) const = default;
};
