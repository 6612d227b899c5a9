#include "render/vertex.h"

#include "base/console.h"
#include "render/device.h"

namespace {

struct VertexRow {
    uint32_t size;
    uint32_t fvf;
    uint32_t colorOffset;
    uint32_t uvOffset;
};

// Indexed by type; a size of 0 marks a type without a row.
constexpr VertexRow kRows[kVertexTypeCount] = {
    {0, 0, 0, 0},
    {0, 0, 0, 0},
    {0, 0, 0, 0},
    {20, FVF_XYZRHW | FVF_DIFFUSE, 16, 0},
    {16, FVF_XYZ | FVF_DIFFUSE, 12, 0},
    {24, FVF_XYZRHW | FVF_TEX1, 0, 16},
    {20, FVF_XYZ | FVF_TEX1, 0, 12},
    {28, FVF_XYZRHW | FVF_DIFFUSE | FVF_TEX1, 16, 20},
    {24, FVF_XYZ | FVF_DIFFUSE | FVF_TEX1, 12, 16},
};

const VertexRow* RowOf(uint32_t type) {
    return type < kVertexTypeCount && kRows[type].size != 0 ? &kRows[type] : nullptr;
}

}  // namespace

uint32_t VertexSizeOf(uint32_t type) {
    const VertexRow* row = RowOf(type);
    return row != nullptr ? row->size : 0;
}

uint32_t Vertex_GetSize(uint32_t type) {
    if (type == VERTEX_NOTSET) {
        ConsolePrintf(
            "\nblueblack{Vertex error:} yellowblack{Vertex_GetSize encountered vertex type} aquablack{VERTEX_NOTSET} "
            "yellowblack{, returning} aquablack{0}");
        return 0;
    }
    const VertexRow* row = RowOf(type);
    if (row == nullptr) {
        ConsolePrintf(
            "\nredblack{Vertex error:} yellowblack{Vertex_GetSize encountered an unknown vertex type} "
            "aquablack{%i}yellowblack{, returning} aquablack{0}",
            static_cast<int>(type));
        return 0;
    }
    return row->size;
}

bool VertexIsPreTransformed(uint32_t type) {
    const VertexRow* row = RowOf(type);
    return row != nullptr && (row->fvf & FVF_XYZRHW) != 0;
}

bool VertexIsColored(uint32_t type) {
    const VertexRow* row = RowOf(type);
    return row != nullptr && (row->fvf & FVF_DIFFUSE) != 0;
}

bool VertexIsTextured(uint32_t type) {
    const VertexRow* row = RowOf(type);
    return row != nullptr && (row->fvf & FVF_TEX1) != 0;
}

uint32_t VertexColorOffset(uint32_t type) {
    const VertexRow* row = RowOf(type);
    return row != nullptr ? row->colorOffset : 0;
}

uint32_t VertexUVOffset(uint32_t type) {
    const VertexRow* row = RowOf(type);
    return row != nullptr ? row->uvOffset : 0;
}

uint32_t VertexD3D9_GetFVFFromFormat(uint32_t type) {
    const VertexRow* row = RowOf(type);
    if (row == nullptr) {
        ConsolePrintf(
            "\nredblack{VertexD3D9 error:} yellowblack{VertexD3D9_GetFVFFromFormat encountered invalid vertex "
            "format, returning} aquablack{FVF_TEXTURE}");
        return FVF_XYZ | FVF_TEX1;
    }
    return row->fvf;
}

uint32_t VertexD3D9_GetVertexSize(uint32_t type) {
    const VertexRow* row = RowOf(type);
    if (row == nullptr) {
        ConsolePrintf(
            "\nredblack{VertexD3D9 error:} yellowblack{VertexD3D9_GetVertexSize encountered an unknown vertex "
            "type} aquablack{%i}yellowblack{, returning} aquablack{VERTEX_TEXTURE}",
            static_cast<int>(type));
        return 20;
    }
    return row->size;
}
