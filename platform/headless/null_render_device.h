#pragma once
// A device that draws nothing: it keeps its buffers and textures in memory (so locks give real
// memory) and checks every call as a device would, so that the headless runner and the sanitizer
// builds exercise the back end's bookkeeping.

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "render/device.h"

class NullRenderDevice : public RenderDevice {
public:
    // What the adapter reports: hardware transform, scissor test, alpha compare, 4096 texels.
    static constexpr DeviceCaps kCaps{DEVCAPS_HWTRANSFORMANDLIGHT, PRASTERCAPS_SCISSORTEST, PCMPCAPS_GREATEREQUAL,
                                      4096, 4096};
    static constexpr uint32_t kClientWidth = 640, kClientHeight = 480;

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

    // Test controls: what TestCooperativeLevel answers, and whether Reset fails.
    DeviceResult cooperativeLevel = kDeviceOk;
    DeviceResult resetResult = kDeviceOk;

    size_t LiveBuffers() const { return buffers_.size(); }
    size_t LiveTextures() const { return textures_.size(); }
    // The texels of a texture (width x height x 4 bytes), or none.
    const std::vector<uint8_t>* TextureTexels(DeviceTexture texture) const;
    uint32_t DrawCount() const { return draws_; }

private:
    struct Buffer {
        std::vector<uint8_t> bytes;
        uint32_t pool;
        bool locked;
    };
    struct Texture {
        uint32_t width, height;
        std::vector<uint8_t> texels;
        bool locked;
    };
    bool created_ = false;
    bool inScene_ = false;
    uint32_t nextId_ = 1;
    std::map<DeviceBuffer, Buffer> buffers_;
    std::map<DeviceTexture, Texture> textures_;
    DeviceBuffer stream_ = 0;
    uint32_t streamOffset_ = 0, streamStride_ = 0;
    uint32_t fvf_ = 0;
    uint32_t draws_ = 0;
};
