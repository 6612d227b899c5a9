#include "platform/softgpu/soft_render_device.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 out{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return out;
}

// Bytes of one vertex of a format, or 0 when it has no single position kind.
uint32_t VertexBytes(uint32_t fvf) {
    const bool xyz = (fvf & FVF_XYZ) != 0, rhw = (fvf & FVF_XYZRHW) != 0;
    if (xyz == rhw) return 0;
    return (rhw ? 16 : 12) + ((fvf & FVF_DIFFUSE) != 0 ? 4 : 0) + ((fvf & FVF_TEX1) != 0 ? 8 : 0);
}

// Vertices `count` primitives of `type` read.
uint64_t VerticesFor(uint32_t type, uint64_t count) {
    switch (type) {
        case PT_POINTLIST: return count;
        case PT_LINELIST: return count * 2;
        case PT_LINESTRIP: return count + 1;
        case PT_TRIANGLELIST: return count * 3;
        case PT_TRIANGLESTRIP:
        case PT_TRIANGLEFAN: return count + 2;
        default: return 0;
    }
}

}  // namespace

DeviceResult SoftRenderDevice::GetAdapterCaps(DeviceCaps& caps) {
    caps = kCaps;
    return kDeviceOk;
}

bool SoftRenderDevice::ApplyPresentParameters(PresentParameters& parameters) {
    if (parameters.backBufferWidth == 0) parameters.backBufferWidth = kClientWidth;
    if (parameters.backBufferHeight == 0) parameters.backBufferHeight = kClientHeight;
    if (parameters.backBufferWidth > kMaxBackBufferSide || parameters.backBufferHeight > kMaxBackBufferSide) {
        return false;
    }
    if (parameters.backBufferFormat == FMT_UNKNOWN) parameters.backBufferFormat = kSoftBackBufferFormat;
    if (parameters.backBufferCount == 0) parameters.backBufferCount = 1;
    width_ = parameters.backBufferWidth;
    height_ = parameters.backBufferHeight;
    const size_t pixels = size_t{width_} * height_;
    color_.assign(pixels, 0xFF000000u);
    hasDepth_ = parameters.enableAutoDepthStencil;
    windowed_ = parameters.windowed;
    depth_.assign(hasDepth_ ? pixels : 0, 0xFFFF);
    return true;
}

DeviceResult SoftRenderDevice::CreateDevice(void*, uint32_t, PresentParameters& parameters) {
    buffers_.clear();
    textures_.clear();
    created_ = false;
    if (!ApplyPresentParameters(parameters)) return kDeviceInvalidCall;
    created_ = true;
    ResetStates();
    return kDeviceOk;
}

void SoftRenderDevice::ResetStates() {
    inScene_ = false;
    world_ = view_ = projection_ = kIdentityMatrix;
    std::memset(renderStates_, 0, sizeof renderStates_);
    renderStates_[RS_ZENABLE] = hasDepth_ ? 1 : 0;
    renderStates_[RS_FILLMODE] = FILL_SOLID;
    renderStates_[RS_SHADEMODE] = SHADE_GOURAUD;
    renderStates_[RS_ZWRITEENABLE] = 1;
    renderStates_[RS_SRCBLEND] = 2;  // one
    renderStates_[RS_DESTBLEND] = BLEND_ZERO;
    renderStates_[RS_CULLMODE] = CULL_CCW;
    renderStates_[RS_ALPHAFUNC] = CMP_ALWAYS;
    renderStates_[RS_LIGHTING] = 1;
    renderStates_[RS_BLENDOP] = BLENDOP_ADD;
    magFilter_ = minFilter_ = TEXF_POINT;
    scissor_ = DeviceRect{0, 0, static_cast<int32_t>(width_), static_cast<int32_t>(height_)};
    texture_ = 0;
    fvf_ = 0;
    stream_ = 0;
    streamOffset_ = streamStride_ = 0;
}

DeviceResult SoftRenderDevice::GetDeviceCaps(DeviceCaps& caps) {
    caps = kCaps;
    return created_ ? kDeviceOk : kDeviceInvalidCall;
}

DeviceResult SoftRenderDevice::TestCooperativeLevel() {
    return kDeviceOk;  // memory is never taken away from a software device
}

DeviceResult SoftRenderDevice::Reset(PresentParameters& parameters) {
    if (!created_) return kDeviceInvalidCall;
    for (const Buffer& buffer : buffers_) {
        if (buffer.live && buffer.pool == POOL_DEFAULT) return kDeviceInvalidCall;
    }
    PresentParameters checked = parameters;
    if (checked.backBufferWidth == 0) checked.backBufferWidth = kClientWidth;
    if (checked.backBufferHeight == 0) checked.backBufferHeight = kClientHeight;
    if (checked.backBufferWidth > kMaxBackBufferSide || checked.backBufferHeight > kMaxBackBufferSide) {
        return kDeviceInvalidCall;
    }
    ApplyPresentParameters(parameters);
    ResetStates();
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::Clear(uint32_t flags, uint32_t color, float z, uint32_t) {
    if (!created_) return kDeviceInvalidCall;
    // D16 has no stencil, and without a depth buffer there is nothing to clear it in.
    if (((flags & CLEAR_ZBUFFER) != 0 && !hasDepth_) || (flags & CLEAR_STENCIL) != 0) return kDeviceInvalidCall;
    // Direct3D 9 clears only inside the scissor rectangle while the scissor test is on.
    int64_t left = 0, top = 0, right = width_, bottom = height_;
    if (renderStates_[RS_SCISSORTESTENABLE] != 0) {
        left = std::max<int64_t>(left, scissor_.left), top = std::max<int64_t>(top, scissor_.top);
        right = std::min<int64_t>(right, scissor_.right), bottom = std::min<int64_t>(bottom, scissor_.bottom);
    }
    if (!(z >= 0.0f)) z = 0.0f;
    if (z > 1.0f) z = 1.0f;
    const uint16_t depth = static_cast<uint16_t>(z * 65535.0f + 0.5f);
    for (int64_t y = top; y < bottom && left < right; ++y) {
        const size_t row = static_cast<size_t>(y) * width_;
        if ((flags & CLEAR_TARGET) != 0) std::fill(&color_[row + left], &color_[row + right], 0xFF000000u | color);
        if ((flags & CLEAR_ZBUFFER) != 0) std::fill(&depth_[row + left], &depth_[row + right], depth);
    }
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::BeginScene() {
    if (!created_ || inScene_) return kDeviceInvalidCall;
    inScene_ = true;
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::EndScene() {
    if (!inScene_) return kDeviceInvalidCall;
    inScene_ = false;
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::Present() {
    if (!created_) return kDeviceInvalidCall;
    ++presents_;
    if (presentHook_ != nullptr) presentHook_(presentUser_, color_.data(), width_, height_);
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::SetTransform(uint32_t state, const Matrix4& matrix) {
    switch (state) {
        case TS_WORLD: world_ = matrix; return kDeviceOk;
        case TS_VIEW: view_ = matrix; return kDeviceOk;
        case TS_PROJECTION: projection_ = matrix; return kDeviceOk;
        default: return kDeviceInvalidCall;
    }
}

DeviceResult SoftRenderDevice::SetRenderState(uint32_t state, uint32_t value) {
    if (state >= 256) return kDeviceInvalidCall;
    renderStates_[state] = value;
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    if (sampler > 15) return kDeviceInvalidCall;
    if (sampler != 0) return kDeviceOk;  // only stage 0 ever samples
    if (type == SAMP_MAGFILTER) magFilter_ = value;
    if (type == SAMP_MINFILTER) minFilter_ = value;
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::SetScissorRect(const DeviceRect& rect) {
    scissor_ = rect;
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::SetTexture(uint32_t stage, DeviceTexture texture) {
    if (stage > 7) return kDeviceInvalidCall;
    if (texture != 0 && FindTexture(texture) == nullptr) return kDeviceInvalidCall;
    if (stage == 0) texture_ = texture;
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::SetFVF(uint32_t fvf) {
    fvf_ = fvf;
    return kDeviceOk;
}

SoftRenderDevice::Buffer* SoftRenderDevice::FindBuffer(DeviceBuffer handle) {
    if (handle == 0 || handle > buffers_.size() || !buffers_[handle - 1].live) return nullptr;
    return &buffers_[handle - 1];
}

SoftRenderDevice::Texture* SoftRenderDevice::FindTexture(DeviceTexture handle) {
    if (handle == 0 || handle > textures_.size() || !textures_[handle - 1].live) return nullptr;
    return &textures_[handle - 1];
}

DeviceResult SoftRenderDevice::CreateVertexBuffer(uint32_t length, uint32_t, uint32_t, uint32_t pool,
                                                  DeviceBuffer& buffer) {
    buffer = 0;
    if (!created_ || length == 0 || length > (64u << 20)) return kDeviceInvalidCall;
    Buffer fresh;
    fresh.bytes.assign(length, 0);
    fresh.pool = pool;
    fresh.live = true;
    // Handles are never given out twice, so a released one stays unknown.
    buffers_.push_back(std::move(fresh));
    buffer = static_cast<DeviceBuffer>(buffers_.size());
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::LockVertexBuffer(DeviceBuffer handle, uint32_t offset, uint32_t size, void*& data,
                                                uint32_t) {
    data = nullptr;
    Buffer* buffer = FindBuffer(handle);
    if (buffer == nullptr || buffer->locked || offset > buffer->bytes.size()) return kDeviceInvalidCall;
    if (size != 0 && uint64_t{offset} + size > buffer->bytes.size()) return kDeviceInvalidCall;
    buffer->locked = true;
    data = buffer->bytes.data() + offset;
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::UnlockVertexBuffer(DeviceBuffer handle) {
    Buffer* buffer = FindBuffer(handle);
    if (buffer == nullptr || !buffer->locked) return kDeviceInvalidCall;
    buffer->locked = false;
    return kDeviceOk;
}

void SoftRenderDevice::ReleaseVertexBuffer(DeviceBuffer handle) {
    if (Buffer* buffer = FindBuffer(handle)) *buffer = Buffer{};
    if (handle == stream_) stream_ = 0;
}

DeviceResult SoftRenderDevice::SetStreamSource(uint32_t stream, DeviceBuffer buffer, uint32_t offset,
                                               uint32_t stride) {
    if (stream != 0) return stream < 16 ? kDeviceOk : kDeviceInvalidCall;
    if (buffer != 0 && FindBuffer(buffer) == nullptr) return kDeviceInvalidCall;
    stream_ = buffer;
    streamOffset_ = offset;
    streamStride_ = stride;
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t,
                                             uint32_t format, uint32_t, DeviceTexture& texture) {
    texture = 0;
    if (!created_ || width == 0 || height == 0 || width > kCaps.maxTextureWidth || height > kCaps.maxTextureHeight ||
        levels > 1 || format != FMT_A8R8G8B8) {
        return kDeviceInvalidCall;
    }
    Texture fresh;
    fresh.texels.assign(size_t{width} * height, 0);
    fresh.width = width;
    fresh.height = height;
    fresh.live = true;
    textures_.push_back(std::move(fresh));
    texture = static_cast<DeviceTexture>(textures_.size());
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::LockRect(DeviceTexture handle, uint32_t level, LockedRect& locked, uint32_t) {
    locked = LockedRect{0, nullptr};
    Texture* texture = FindTexture(handle);
    if (texture == nullptr || level != 0 || texture->locked) return kDeviceInvalidCall;
    texture->locked = true;
    locked.pitch = static_cast<int32_t>(texture->width * 4);
    locked.bits = texture->texels.data();
    return kDeviceOk;
}

DeviceResult SoftRenderDevice::UnlockRect(DeviceTexture handle, uint32_t level) {
    Texture* texture = FindTexture(handle);
    if (texture == nullptr || level != 0 || !texture->locked) return kDeviceInvalidCall;
    texture->locked = false;
    return kDeviceOk;
}

void SoftRenderDevice::ReleaseTexture(DeviceTexture handle) {
    if (Texture* texture = FindTexture(handle)) *texture = Texture{};
    if (handle == texture_) texture_ = 0;
}

bool SoftRenderDevice::PreparePipeline(RasterPipeline& p, bool& pretransformed) {
    pretransformed = (fvf_ & FVF_XYZRHW) != 0;
    p.color = color_.data();
    p.depth = hasDepth_ ? depth_.data() : nullptr;
    p.pitch = static_cast<int32_t>(width_);
    p.width = static_cast<int32_t>(width_);
    p.height = static_cast<int32_t>(height_);
    p.clipLeft = 0, p.clipTop = 0, p.clipRight = p.width, p.clipBottom = p.height;
    if (renderStates_[RS_SCISSORTESTENABLE] != 0) {
        p.clipLeft = std::max(p.clipLeft, scissor_.left);
        p.clipTop = std::max(p.clipTop, scissor_.top);
        p.clipRight = std::min(p.clipRight, scissor_.right);
        p.clipBottom = std::min(p.clipBottom, scissor_.bottom);
    }
    if (p.clipLeft >= p.clipRight || p.clipTop >= p.clipBottom) return false;

    const Texture* texture = FindTexture(texture_);
    if (texture != nullptr) {
        p.texels = texture->texels.data();
        p.texWidth = texture->width;
        p.texHeight = texture->height;
    }
    p.linearMag = magFilter_ == TEXF_LINEAR;
    p.linearMin = minFilter_ == TEXF_LINEAR;
    p.cull = renderStates_[RS_CULLMODE];
    p.fill = renderStates_[RS_FILLMODE];
    p.alphaTest = renderStates_[RS_ALPHATESTENABLE] != 0;
    p.alphaFunc = renderStates_[RS_ALPHAFUNC];
    p.alphaRef = renderStates_[RS_ALPHAREF] & 255;
    p.blend = renderStates_[RS_ALPHABLENDENABLE] != 0;
    p.blendOp = renderStates_[RS_BLENDOP];
    p.srcBlend = renderStates_[RS_SRCBLEND];
    p.destBlend = renderStates_[RS_DESTBLEND];
    // Depth writes happen only under the depth test, as on the real device.
    p.zEnable = renderStates_[RS_ZENABLE] != 0 && hasDepth_;
    p.zWrite = p.zEnable && renderStates_[RS_ZWRITEENABLE] != 0;
    return true;
}

void SoftRenderDevice::FetchVertex(const uint8_t* from, bool pretransformed, RasterVertex& out) const {
    float position[4] = {0, 0, 0, 1};
    std::memcpy(position, from, pretransformed ? 16 : 12);
    uint32_t at = pretransformed ? 16 : 12;
    uint32_t color = 0xFFFFFFFFu;  // no diffuse component: opaque white
    const bool diffuse = (fvf_ & FVF_DIFFUSE) != 0;
    if (diffuse) {
        std::memcpy(&color, from + at, 4);
        at += 4;
    }
    float uv[2] = {0, 0};
    if ((fvf_ & FVF_TEX1) != 0) std::memcpy(uv, from + at, 8);
    if (!pretransformed && renderStates_[RS_LIGHTING] != 0) {
        // Lighting with no lights, no ambient and the default material leaves black; the alpha is
        // the diffuse material's, taken from the vertex colour when there is one.
        color = diffuse ? color & 0xFF000000u : 0;
    }
    out.r = static_cast<float>((color >> 16) & 255);
    out.g = static_cast<float>((color >> 8) & 255);
    out.b = static_cast<float>(color & 255);
    out.a = static_cast<float>(color >> 24);
    out.u = uv[0];
    out.v = uv[1];
    if (pretransformed) {
        out.x = position[0], out.y = position[1], out.z = position[2], out.rhw = position[3];
        return;
    }
    // Clip space, with w carried in rhw until the rasteriser divides.
    const Matrix4& m = combined_;
    const float x = position[0], y = position[1], z = position[2];
    out.x = x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0];
    out.y = x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1];
    out.z = x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2];
    out.rhw = x * m.m[0][3] + y * m.m[1][3] + z * m.m[2][3] + m.m[3][3];
}

DeviceResult SoftRenderDevice::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    if (!inScene_) return kDeviceInvalidCall;
    const Buffer* buffer = FindBuffer(stream_);
    const uint32_t size = VertexBytes(fvf_);
    const uint64_t needed = VerticesFor(type, primitiveCount);
    if (buffer == nullptr || size == 0 || needed == 0 || streamStride_ < size) return kDeviceInvalidCall;
    const uint64_t end = uint64_t{streamOffset_} + (uint64_t{startVertex} + needed - 1) * streamStride_ + size;
    if (end > buffer->bytes.size()) return kDeviceInvalidCall;

    RasterPipeline p;
    bool pretransformed = false;
    if (!PreparePipeline(p, pretransformed)) return kDeviceOk;
    if (!pretransformed) combined_ = Multiply(Multiply(world_, view_), projection_);
    const uint8_t* base = buffer->bytes.data() + streamOffset_ + uint64_t{startVertex} * streamStride_;
    const uint32_t stride = streamStride_;
    const bool flat = renderStates_[RS_SHADEMODE] == SHADE_FLAT;
    auto fetch = [&](uint64_t index, RasterVertex& out) { FetchVertex(base + index * stride, pretransformed, out); };
    // Flat shading colours a primitive with the colour of its first vertex (a fan's second).
    auto flatten = [](RasterVertex& to, const RasterVertex& from) {
        to.r = from.r, to.g = from.g, to.b = from.b, to.a = from.a;
    };
    const bool clipSpace = !pretransformed;
    RasterVertex v[3];
    switch (type) {
        case PT_POINTLIST:
            for (uint64_t i = 0; i < primitiveCount; ++i) {
                fetch(i, v[0]);
                RasterPoint(p, v[0], clipSpace);
            }
            break;
        case PT_LINELIST:
        case PT_LINESTRIP:
            for (uint64_t i = 0; i < primitiveCount; ++i) {
                const uint64_t first = type == PT_LINELIST ? i * 2 : i;
                fetch(first, v[0]);
                fetch(first + 1, v[1]);
                if (flat) flatten(v[1], v[0]);
                RasterLine(p, v[0], v[1], clipSpace);
            }
            break;
        default:
            for (uint64_t i = 0; i < primitiveCount; ++i) {
                uint64_t a, b, c, provoking;
                if (type == PT_TRIANGLELIST) {
                    a = i * 3, b = a + 1, c = a + 2, provoking = a;
                } else if (type == PT_TRIANGLESTRIP) {
                    // Every second triangle of a strip is turned round to keep the strip's winding.
                    a = i, b = i + 1, c = i + 2, provoking = i;
                    if ((i & 1) != 0) std::swap(a, b);
                } else {
                    a = 0, b = i + 1, c = i + 2, provoking = i + 1;
                }
                fetch(a, v[0]);
                fetch(b, v[1]);
                fetch(c, v[2]);
                if (flat) {
                    RasterVertex first;
                    fetch(provoking, first);
                    for (RasterVertex& each : v)
                        flatten(each, first);
                }
                RasterTriangle(p, v[0], v[1], v[2], clipSpace);
            }
            break;
    }
    return kDeviceOk;
}
