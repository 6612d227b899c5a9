#pragma once
// The render device on Direct3D 9: every call passed straight through. d3d9.dll is loaded on first
// use, so a machine without it still runs the program (nothing is drawn, the back end says so).

#include <cstdint>
#include <vector>

#include "render/device.h"

struct IDirect3D9;
struct IDirect3DDevice9;
struct IDirect3DVertexBuffer9;
struct IDirect3DTexture9;

class Direct3D9RenderDevice final : public RenderDevice {
public:
    Direct3D9RenderDevice() = default;
    ~Direct3D9RenderDevice() override;
    Direct3D9RenderDevice(const Direct3D9RenderDevice&) = delete;
    Direct3D9RenderDevice& operator=(const Direct3D9RenderDevice&) = delete;

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

    // For programs that look at frames (the tests under Wine); the game never sets a hook. The hook
    // runs in Present before the frame is shown, while the back buffer still holds it.
    using PresentHook = void (*)(void* user);
    void SetPresentHook(PresentHook hook, void* user) {
        presentHook_ = hook;
        presentUser_ = user;
    }
    // The back buffer as A8R8G8B8 rows top to bottom (alpha forced to 255, as the display shows it);
    // false without a device or when it cannot be read.
    bool ReadBackBuffer(std::vector<uint32_t>& pixels, uint32_t& width, uint32_t& height);
    void* FocusWindow() const { return focusWindow_; }

private:
    bool Load();
    void ReleaseResources();
    IDirect3DVertexBuffer9* FindBuffer(DeviceBuffer handle) const;
    IDirect3DTexture9* FindTexture(DeviceTexture handle) const;

    bool loadTried_ = false;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    void* focusWindow_ = nullptr;
    std::vector<IDirect3DVertexBuffer9*> buffers_;  // handle = index + 1; null once released
    std::vector<IDirect3DTexture9*> textures_;      // handle = index + 1; null once released
    PresentHook presentHook_ = nullptr;
    void* presentUser_ = nullptr;
};
