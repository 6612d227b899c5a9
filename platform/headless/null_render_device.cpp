#include "platform/headless/null_render_device.h"

DeviceResult NullRenderDevice::GetAdapterCaps(DeviceCaps& caps) {
    caps = kCaps;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::CreateDevice(void*, uint32_t, PresentParameters& parameters) {
    buffers_.clear();
    textures_.clear();
    created_ = true;
    inScene_ = false;
    stream_ = 0;
    fvf_ = 0;
    if (parameters.backBufferWidth == 0) parameters.backBufferWidth = kClientWidth;
    if (parameters.backBufferHeight == 0) parameters.backBufferHeight = kClientHeight;
    if (parameters.backBufferFormat == FMT_UNKNOWN) parameters.backBufferFormat = FMT_A8R8G8B8;
    if (parameters.backBufferCount == 0) parameters.backBufferCount = 1;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::GetDeviceCaps(DeviceCaps& caps) {
    caps = kCaps;
    return created_ ? kDeviceOk : kDeviceInvalidCall;
}

DeviceResult NullRenderDevice::TestCooperativeLevel() {
    return cooperativeLevel;
}

DeviceResult NullRenderDevice::Reset(PresentParameters& parameters) {
    if (cooperativeLevel == kDeviceLost) return kDeviceLost;
    for (const auto& [id, buffer] : buffers_) {
        if (buffer.pool == POOL_DEFAULT) return kDeviceInvalidCall;
    }
    if (resetResult != kDeviceOk) {
        cooperativeLevel = kDeviceNotReset;
        return resetResult;
    }
    cooperativeLevel = kDeviceOk;
    inScene_ = false;
    stream_ = 0;
    fvf_ = 0;
    if (parameters.backBufferWidth == 0) parameters.backBufferWidth = kClientWidth;
    if (parameters.backBufferHeight == 0) parameters.backBufferHeight = kClientHeight;
    if (parameters.backBufferFormat == FMT_UNKNOWN) parameters.backBufferFormat = FMT_A8R8G8B8;
    if (parameters.backBufferCount == 0) parameters.backBufferCount = 1;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::Clear(uint32_t, uint32_t, float, uint32_t) {
    return created_ ? kDeviceOk : kDeviceInvalidCall;
}

DeviceResult NullRenderDevice::BeginScene() {
    if (!created_ || inScene_) return kDeviceInvalidCall;
    inScene_ = true;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::EndScene() {
    if (!inScene_) return kDeviceInvalidCall;
    inScene_ = false;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::Present() {
    if (!created_) return kDeviceInvalidCall;
    return cooperativeLevel == kDeviceOk ? kDeviceOk : kDeviceLost;
}

DeviceResult NullRenderDevice::SetTransform(uint32_t, const Matrix4&) {
    return kDeviceOk;
}

DeviceResult NullRenderDevice::SetRenderState(uint32_t, uint32_t) {
    return kDeviceOk;
}

DeviceResult NullRenderDevice::SetSamplerState(uint32_t sampler, uint32_t, uint32_t) {
    return sampler < 16 ? kDeviceOk : kDeviceInvalidCall;
}

DeviceResult NullRenderDevice::SetScissorRect(const DeviceRect&) {
    return kDeviceOk;
}

DeviceResult NullRenderDevice::SetTexture(uint32_t stage, DeviceTexture texture) {
    if (stage >= 8 || (texture != 0 && textures_.count(texture) == 0)) return kDeviceInvalidCall;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::SetFVF(uint32_t fvf) {
    fvf_ = fvf;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::CreateVertexBuffer(uint32_t length, uint32_t, uint32_t, uint32_t pool,
                                                  DeviceBuffer& buffer) {
    if (!created_ || length == 0) return kDeviceInvalidCall;
    buffer = nextId_++;
    buffers_[buffer] = Buffer{std::vector<uint8_t>(length), pool, false};
    return kDeviceOk;
}

DeviceResult NullRenderDevice::LockVertexBuffer(DeviceBuffer buffer, uint32_t offset, uint32_t size, void*& data,
                                                uint32_t) {
    data = nullptr;
    auto found = buffers_.find(buffer);
    if (found == buffers_.end() || found->second.locked) return kDeviceInvalidCall;
    std::vector<uint8_t>& bytes = found->second.bytes;
    if (offset > bytes.size() || uint64_t{offset} + size > bytes.size()) return kDeviceInvalidCall;
    found->second.locked = true;
    data = bytes.data() + offset;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::UnlockVertexBuffer(DeviceBuffer buffer) {
    auto found = buffers_.find(buffer);
    if (found == buffers_.end() || !found->second.locked) return kDeviceInvalidCall;
    found->second.locked = false;
    return kDeviceOk;
}

void NullRenderDevice::ReleaseVertexBuffer(DeviceBuffer buffer) {
    buffers_.erase(buffer);
    if (stream_ == buffer) stream_ = 0;
}

DeviceResult NullRenderDevice::SetStreamSource(uint32_t stream, DeviceBuffer buffer, uint32_t offset,
                                               uint32_t stride) {
    if (stream != 0 || (buffer != 0 && buffers_.count(buffer) == 0)) return kDeviceInvalidCall;
    stream_ = buffer;
    streamOffset_ = offset;
    streamStride_ = stride;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    auto found = buffers_.find(stream_);
    if (!inScene_ || found == buffers_.end() || fvf_ == 0 || streamStride_ == 0) return kDeviceInvalidCall;
    uint64_t vertices = 0;
    switch (type) {
        case PT_POINTLIST: vertices = primitiveCount; break;
        case PT_LINELIST: vertices = uint64_t{primitiveCount} * 2; break;
        case PT_LINESTRIP: vertices = uint64_t{primitiveCount} + 1; break;
        case PT_TRIANGLELIST: vertices = uint64_t{primitiveCount} * 3; break;
        case PT_TRIANGLESTRIP:
        case PT_TRIANGLEFAN: vertices = uint64_t{primitiveCount} + 2; break;
        default: return kDeviceInvalidCall;
    }
    if (primitiveCount == 0 ||
        streamOffset_ + (uint64_t{startVertex} + vertices) * streamStride_ > found->second.bytes.size()) {
        return kDeviceInvalidCall;
    }
    ++draws_;
    return kDeviceOk;
}

DeviceResult NullRenderDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t,
                                             uint32_t format, uint32_t, DeviceTexture& texture) {
    if (!created_ || width == 0 || height == 0 || width > kCaps.maxTextureWidth || height > kCaps.maxTextureHeight ||
        levels != 1 || format != FMT_A8R8G8B8) {
        return kDeviceInvalidCall;
    }
    texture = nextId_++;
    textures_[texture] = Texture{width, height, std::vector<uint8_t>(size_t{width} * height * 4), false};
    return kDeviceOk;
}

DeviceResult NullRenderDevice::LockRect(DeviceTexture texture, uint32_t level, LockedRect& locked, uint32_t) {
    locked = LockedRect{0, nullptr};
    auto found = textures_.find(texture);
    if (found == textures_.end() || level != 0 || found->second.locked) return kDeviceInvalidCall;
    found->second.locked = true;
    locked.pitch = static_cast<int32_t>(found->second.width * 4);
    locked.bits = found->second.texels.data();
    return kDeviceOk;
}

DeviceResult NullRenderDevice::UnlockRect(DeviceTexture texture, uint32_t level) {
    auto found = textures_.find(texture);
    if (found == textures_.end() || level != 0 || !found->second.locked) return kDeviceInvalidCall;
    found->second.locked = false;
    return kDeviceOk;
}

void NullRenderDevice::ReleaseTexture(DeviceTexture texture) {
    textures_.erase(texture);
}

const std::vector<uint8_t>* NullRenderDevice::TextureTexels(DeviceTexture texture) const {
    auto found = textures_.find(texture);
    return found != textures_.end() ? &found->second.texels : nullptr;
}
