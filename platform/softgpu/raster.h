#pragma once
// Rasterisation of the software device: triangles, lines and points through the fixed-function
// pixel pipeline of texture stage 0, alpha test, depth test and blending, onto a 32-bit target.
//
// Pre-transformed positions are pixels whose centres lie at integer coordinates. Triangle edges are
// snapped to 1/256 pixel and tested with integer edge functions under the top-left rule, so two
// triangles that share an edge cover each pixel along it exactly once.

#include <cstdint>

// One vertex as the rasteriser sees it: a position (screen pixels with z and 1/w, or clip space
// with w in `rhw`), the diffuse colour as 0-255 floats and the texture coordinates.
struct RasterVertex {
    float x, y, z, rhw;
    float r, g, b, a;
    float u, v;
};

struct RasterPipeline {
    uint32_t* color = nullptr;  // rows of `pitch` pixels
    uint16_t* depth = nullptr;  // same layout, or none
    int32_t pitch = 0;
    int32_t width = 0, height = 0;  // the viewport: the whole target
    // Pixels drawn: [clipLeft, clipRight) x [clipTop, clipBottom), inside the viewport.
    int32_t clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;

    const uint32_t* texels = nullptr;  // none: colour and alpha come from the diffuse colour
    uint32_t texWidth = 0, texHeight = 0;
    bool linearMag = false, linearMin = false;

    uint32_t cull = 1;      // CULL_*
    uint32_t fill = 3;      // FILL_*
    bool alphaTest = false;
    uint32_t alphaFunc = 8; // CMP_*
    uint32_t alphaRef = 0;
    bool blend = false;
    uint32_t blendOp = 1, srcBlend = 2, destBlend = 1;  // BLENDOP_*, BLEND_*
    bool zEnable = false, zWrite = false;
};

// `clipSpace`: the vertices are homogeneous clip coordinates still to be clipped to 0 <= z <= w
// and mapped to the viewport; otherwise they are pre-transformed pixels. Culling, fill mode and
// clipping to the pipeline's rectangle are applied here.
void RasterTriangle(const RasterPipeline& pipeline, const RasterVertex& a, const RasterVertex& b,
                    const RasterVertex& c, bool clipSpace);
// Aliased lines under the diamond-exit rule: the last pixel of a segment is left out, so the
// segments of a strip never draw their shared pixel twice.
void RasterLine(const RasterPipeline& pipeline, const RasterVertex& a, const RasterVertex& b, bool clipSpace);
// A one-pixel point: the pixel whose square around its centre holds the position (top-left rule).
void RasterPoint(const RasterPipeline& pipeline, const RasterVertex& a, bool clipSpace);
