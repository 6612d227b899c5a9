#pragma once
// A null device that writes down every call with its arguments, one line each, so tests can compare
// the calls of start-up, of a frame or of a mode switch with an expected list.

#include <string>
#include <vector>

#include "platform/headless/null_render_device.h"

class RecordingRenderDevice final : public NullRenderDevice {
public:
    // Lines such as "SetRenderState(7, 0)" or "BeginScene", numbers in decimal except flags and colours (0x...).
    std::vector<std::string> calls;
    // The last matrix set per transform state (world, view, projection).
    Matrix4 world = kIdentityMatrix, view = kIdentityMatrix, projection = kIdentityMatrix;

    // The calls since the last Take, and a fresh list.
    std::vector<std::string> Take();

    DeviceResult GetAdapterCaps(DeviceCaps& caps) override;
    DeviceResult CreateDevice(void* focusWindow, uint32_t behaviorFlags, PresentParameters& parameters) override;
    DeviceResult GetDeviceCaps(DeviceCaps& caps) override;
    DeviceResult TestCooperativeLevel() override;
    DeviceResult Reset(PresentParameters& parameters) override;
    DeviceResult Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) override;
    DeviceResult BeginScene() override;
    DeviceResult EndScene() override;
    DeviceResult Present() override;
    DeviceResult SetTransform(uint32_t state, const Matrix4& matrix) override;
    DeviceResult SetRenderState(uint32_t state, uint32_t value) override;
    DeviceResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) override;
    DeviceResult SetScissorRect(const DeviceRect& rect) override;
    DeviceResult SetTexture(uint32_t stage, DeviceTexture texture) override;
    DeviceResult SetFVF(uint32_t fvf) override;
    DeviceResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                    DeviceBuffer& buffer) override;
    DeviceResult LockVertexBuffer(DeviceBuffer buffer, uint32_t offset, uint32_t size, void*& data,
                                  uint32_t flags) override;
    DeviceResult UnlockVertexBuffer(DeviceBuffer buffer) override;
    void ReleaseVertexBuffer(DeviceBuffer buffer) override;
    DeviceResult SetStreamSource(uint32_t stream, DeviceBuffer buffer, uint32_t offset, uint32_t stride) override;
    DeviceResult DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override;
    DeviceResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                               uint32_t pool, DeviceTexture& texture) override;
    DeviceResult LockRect(DeviceTexture texture, uint32_t level, LockedRect& locked, uint32_t flags) override;
    DeviceResult UnlockRect(DeviceTexture texture, uint32_t level) override;
    void ReleaseTexture(DeviceTexture texture) override;

private:
    template <typename... Args>
    void Record(const char* name, Args... arguments);
};
