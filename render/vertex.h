#pragma once
// The vertex types meshes are made of, the primitive layouts they are drawn as, and the device's
// view of both. A vertex is stored as bytes: positions and texture coordinates are floats, the
// colour four bytes red, green, blue, alpha (converted to the device's colour when uploaded).

#include <cstdint>

inline constexpr uint32_t VERTEX_NOTSET = 0;
inline constexpr uint32_t VERTEX_COLOR_PT = 3;         // x, y, z, rhw, colour
inline constexpr uint32_t VERTEX_COLOR = 4;            // x, y, z, colour
inline constexpr uint32_t VERTEX_TEXTURE_PT = 5;       // x, y, z, rhw, u, v
inline constexpr uint32_t VERTEX_TEXTURE = 6;          // x, y, z, u, v
inline constexpr uint32_t VERTEX_COLORTEXTURE_PT = 7;  // x, y, z, rhw, colour, u, v
inline constexpr uint32_t VERTEX_COLORTEXTURE = 8;     // x, y, z, colour, u, v
inline constexpr uint32_t kVertexTypeCount = 9;        // types are below this

// Largest vertex, for stack copies.
inline constexpr uint32_t kMaxVertexBytes = 28;

// Byte size of one vertex; 0 (with a message) for VERTEX_NOTSET and unknown types.
uint32_t Vertex_GetSize(uint32_t type);
// Size and offsets without messages; 0 size for types without a row.
uint32_t VertexSizeOf(uint32_t type);
bool VertexIsPreTransformed(uint32_t type);
bool VertexIsColored(uint32_t type);
bool VertexIsTextured(uint32_t type);
// Offsets inside one vertex; only meaningful for types that have the field.
uint32_t VertexColorOffset(uint32_t type);
uint32_t VertexUVOffset(uint32_t type);

// The device's vertex format bits; 0x102 (with a message) for types without a row.
uint32_t VertexD3D9_GetFVFFromFormat(uint32_t type);
// The stream stride; 20 (with a message) for types without a row.
uint32_t VertexD3D9_GetVertexSize(uint32_t type);
