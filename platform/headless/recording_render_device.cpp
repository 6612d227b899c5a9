#include "platform/headless/recording_render_device.h"

#include <cstdio>
#include <utility>

namespace {

struct Hex {
    uint32_t value;
};

std::string Text(uint32_t value) { return std::to_string(value); }
std::string Text(int32_t value) { return std::to_string(value); }
std::string Text(bool value) { return value ? "true" : "false"; }
std::string Text(Hex value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value.value);
    return text;
}
std::string Text(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

}  // namespace

template <typename... Args>
void RecordingRenderDevice::Record(const char* name, Args... arguments) {
    if constexpr (sizeof...(Args) == 0) {
        calls.push_back(name);
        return;
    }
    std::string line = std::string(name) + "(";
    bool first = true;
    ((line += (first ? "" : ", ") + Text(arguments), first = false), ...);
    calls.push_back(line + ")");
}

std::vector<std::string> RecordingRenderDevice::Take() {
    return std::exchange(calls, {});
}

DeviceResult RecordingRenderDevice::GetAdapterCaps(DeviceCaps& caps) {
    Record("GetAdapterCaps");
    return NullRenderDevice::GetAdapterCaps(caps);
}

DeviceResult RecordingRenderDevice::CreateDevice(void* focusWindow, uint32_t behaviorFlags,
                                                 PresentParameters& p) {
    Record("CreateDevice", Hex{behaviorFlags}, p.backBufferWidth, p.backBufferHeight, p.windowed,
           p.enableAutoDepthStencil, p.autoDepthStencilFormat, Hex{p.flags}, Hex{p.presentationInterval});
    return NullRenderDevice::CreateDevice(focusWindow, behaviorFlags, p);
}

DeviceResult RecordingRenderDevice::GetDeviceCaps(DeviceCaps& caps) {
    Record("GetDeviceCaps");
    return NullRenderDevice::GetDeviceCaps(caps);
}

DeviceResult RecordingRenderDevice::TestCooperativeLevel() {
    Record("TestCooperativeLevel");
    return NullRenderDevice::TestCooperativeLevel();
}

DeviceResult RecordingRenderDevice::Reset(PresentParameters& p) {
    Record("Reset", p.backBufferWidth, p.backBufferHeight, p.windowed);
    return NullRenderDevice::Reset(p);
}

DeviceResult RecordingRenderDevice::Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) {
    Record("Clear", flags, Hex{color}, z, stencil);
    return NullRenderDevice::Clear(flags, color, z, stencil);
}

DeviceResult RecordingRenderDevice::BeginScene() {
    Record("BeginScene");
    return NullRenderDevice::BeginScene();
}

DeviceResult RecordingRenderDevice::EndScene() {
    Record("EndScene");
    return NullRenderDevice::EndScene();
}

DeviceResult RecordingRenderDevice::Present() {
    Record("Present");
    return NullRenderDevice::Present();
}

DeviceResult RecordingRenderDevice::SetTransform(uint32_t state, const Matrix4& matrix) {
    Record("SetTransform", state);
    if (state == TS_WORLD) world = matrix;
    if (state == TS_VIEW) view = matrix;
    if (state == TS_PROJECTION) projection = matrix;
    return NullRenderDevice::SetTransform(state, matrix);
}

DeviceResult RecordingRenderDevice::SetRenderState(uint32_t state, uint32_t value) {
    Record("SetRenderState", state, value);
    return NullRenderDevice::SetRenderState(state, value);
}

DeviceResult RecordingRenderDevice::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    Record("SetSamplerState", sampler, type, value);
    return NullRenderDevice::SetSamplerState(sampler, type, value);
}

DeviceResult RecordingRenderDevice::SetScissorRect(const DeviceRect& r) {
    Record("SetScissorRect", r.left, r.top, r.right, r.bottom);
    return NullRenderDevice::SetScissorRect(r);
}

DeviceResult RecordingRenderDevice::SetTexture(uint32_t stage, DeviceTexture texture) {
    Record("SetTexture", stage, texture);
    return NullRenderDevice::SetTexture(stage, texture);
}

DeviceResult RecordingRenderDevice::SetFVF(uint32_t fvf) {
    Record("SetFVF", Hex{fvf});
    return NullRenderDevice::SetFVF(fvf);
}

DeviceResult RecordingRenderDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                                       DeviceBuffer& buffer) {
    const DeviceResult result = NullRenderDevice::CreateVertexBuffer(length, usage, fvf, pool, buffer);
    Record("CreateVertexBuffer", length, Hex{usage}, Hex{fvf}, pool, buffer);
    return result;
}

DeviceResult RecordingRenderDevice::LockVertexBuffer(DeviceBuffer buffer, uint32_t offset, uint32_t size,
                                                     void*& data, uint32_t flags) {
    Record("LockVertexBuffer", buffer, offset, size, Hex{flags});
    return NullRenderDevice::LockVertexBuffer(buffer, offset, size, data, flags);
}

DeviceResult RecordingRenderDevice::UnlockVertexBuffer(DeviceBuffer buffer) {
    Record("UnlockVertexBuffer", buffer);
    return NullRenderDevice::UnlockVertexBuffer(buffer);
}

void RecordingRenderDevice::ReleaseVertexBuffer(DeviceBuffer buffer) {
    Record("ReleaseVertexBuffer", buffer);
    NullRenderDevice::ReleaseVertexBuffer(buffer);
}

DeviceResult RecordingRenderDevice::SetStreamSource(uint32_t stream, DeviceBuffer buffer, uint32_t offset,
                                                    uint32_t stride) {
    Record("SetStreamSource", stream, buffer, offset, stride);
    return NullRenderDevice::SetStreamSource(stream, buffer, offset, stride);
}

DeviceResult RecordingRenderDevice::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    Record("DrawPrimitive", type, startVertex, primitiveCount);
    return NullRenderDevice::DrawPrimitive(type, startVertex, primitiveCount);
}

DeviceResult RecordingRenderDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                                  uint32_t format, uint32_t pool, DeviceTexture& texture) {
    const DeviceResult result = NullRenderDevice::CreateTexture(width, height, levels, usage, format, pool, texture);
    Record("CreateTexture", width, height, levels, usage, format, pool, texture);
    return result;
}

DeviceResult RecordingRenderDevice::LockRect(DeviceTexture texture, uint32_t level, LockedRect& locked,
                                             uint32_t flags) {
    Record("LockRect", texture, level, Hex{flags});
    return NullRenderDevice::LockRect(texture, level, locked, flags);
}

DeviceResult RecordingRenderDevice::UnlockRect(DeviceTexture texture, uint32_t level) {
    Record("UnlockRect", texture, level);
    return NullRenderDevice::UnlockRect(texture, level);
}

void RecordingRenderDevice::ReleaseTexture(DeviceTexture texture) {
    Record("ReleaseTexture", texture);
    NullRenderDevice::ReleaseTexture(texture);
}
