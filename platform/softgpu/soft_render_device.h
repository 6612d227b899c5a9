#pragma once
// A render device that draws in memory with Direct3D 9 fixed-function meaning, for exactly the
// states, formats and primitives the back end uses. The same calls always give the same pixels, so
// frames can be compared to the bit and written out as pictures.
//
// The back buffer has the display's format: 32-bit pixels laid out as A8R8G8B8 whose alpha byte is
// always 255 (destination alpha reads as one). Memory is taken when the device, a buffer or a
// texture is created; never while drawing.

#include <cstdint>
#include <vector>

#include "platform/softgpu/raster.h"
#include "render/device.h"

// X8R8G8B8: what a window's back buffer is given when it asks for the display's format.
inline constexpr uint32_t kSoftBackBufferFormat = 22;

class SoftRenderDevice : public RenderDevice {
public:
    static constexpr DeviceCaps kCaps{DEVCAPS_HWTRANSFORMANDLIGHT, PRASTERCAPS_SCISSORTEST, PCMPCAPS_GREATEREQUAL,
                                      4096, 4096};
    // The client size a window of the engine has; a back buffer of size 0 takes it.
    static constexpr uint32_t kClientWidth = 640, kClientHeight = 480;
    static constexpr uint32_t kMaxBackBufferSide = 4096;

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

    // The back buffer: Width() x Height() pixels, rows top to bottom, pitch Width(). Empty before
    // CreateDevice. After Present it keeps the frame shown until the next Clear or draw.
    const uint32_t* BackBuffer() const { return color_.data(); }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    uint64_t PresentCount() const { return presents_; }
    // The presentation mode of the last creation or reset: false while the device is full screen.
    bool Windowed() const { return windowed_; }
    // Called by Present with the finished frame (the SDL window shows it).
    using PresentHook = void (*)(void* user, const uint32_t* pixels, uint32_t width, uint32_t height);
    void SetPresentHook(PresentHook hook, void* user) {
        presentHook_ = hook;
        presentUser_ = user;
    }

private:
    struct Buffer {
        std::vector<uint8_t> bytes;
        uint32_t pool = 0;
        bool live = false, locked = false;
    };
    struct Texture {
        std::vector<uint32_t> texels;
        uint32_t width = 0, height = 0;
        bool live = false, locked = false;
    };

    void ResetStates();
    bool ApplyPresentParameters(PresentParameters& parameters);
    Buffer* FindBuffer(DeviceBuffer handle);
    Texture* FindTexture(DeviceTexture handle);
    // The draw's pipeline from the current states; false when nothing can be drawn.
    bool PreparePipeline(RasterPipeline& pipeline, bool& pretransformed);
    void FetchVertex(const uint8_t* from, bool pretransformed, RasterVertex& out) const;

    bool created_ = false, inScene_ = false;
    uint32_t width_ = 0, height_ = 0;
    std::vector<uint32_t> color_;
    std::vector<uint16_t> depth_;
    bool hasDepth_ = false;
    uint64_t presents_ = 0;
    bool windowed_ = true;
    PresentHook presentHook_ = nullptr;
    void* presentUser_ = nullptr;

    std::vector<Buffer> buffers_;    // handle = index + 1
    std::vector<Texture> textures_;  // handle = index + 1

    Matrix4 world_{}, view_{}, projection_{};
    Matrix4 combined_{};  // world x view x projection of the current draw
    uint32_t renderStates_[256] = {};
    uint32_t magFilter_ = TEXF_POINT, minFilter_ = TEXF_POINT;
    DeviceRect scissor_{};
    DeviceTexture texture_ = 0;
    uint32_t fvf_ = 0;
    DeviceBuffer stream_ = 0;
    uint32_t streamOffset_ = 0, streamStride_ = 0;
};
