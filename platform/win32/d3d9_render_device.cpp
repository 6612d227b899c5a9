#include "platform/win32/d3d9_render_device.h"

#include <cstring>

#include "platform/win32/win32_api.h"

#include <d3d9.h>

namespace {

// D3DERR_NOTAVAILABLE: what the device calls answer while there is no Direct3D.
constexpr DeviceResult kNotAvailable = static_cast<int32_t>(0x8876086A);

using Direct3DCreate9Function = IDirect3D9*(WINAPI*)(UINT sdkVersion);

void ToCaps(const D3DCAPS9& from, DeviceCaps& caps) {
    caps.devCaps = from.DevCaps;
    caps.rasterCaps = from.RasterCaps;
    caps.alphaCmpCaps = from.AlphaCmpCaps;
    caps.maxTextureWidth = from.MaxTextureWidth;
    caps.maxTextureHeight = from.MaxTextureHeight;
}

D3DPRESENT_PARAMETERS ToD3D(const PresentParameters& p) {
    D3DPRESENT_PARAMETERS d{};
    d.BackBufferWidth = p.backBufferWidth;
    d.BackBufferHeight = p.backBufferHeight;
    d.BackBufferFormat = static_cast<D3DFORMAT>(p.backBufferFormat);
    d.BackBufferCount = p.backBufferCount;
    d.MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(p.multiSampleType);
    d.MultiSampleQuality = p.multiSampleQuality;
    d.SwapEffect = static_cast<D3DSWAPEFFECT>(p.swapEffect);
    d.hDeviceWindow = static_cast<HWND>(p.deviceWindow);
    d.Windowed = p.windowed ? TRUE : FALSE;
    d.EnableAutoDepthStencil = p.enableAutoDepthStencil ? TRUE : FALSE;
    d.AutoDepthStencilFormat = static_cast<D3DFORMAT>(p.autoDepthStencilFormat);
    d.Flags = p.flags;
    d.FullScreen_RefreshRateInHz = p.fullScreenRefreshRate;
    d.PresentationInterval = p.presentationInterval;
    return d;
}

// Direct3D writes the sizes, format and count it chose back into the parameters.
void FromD3D(const D3DPRESENT_PARAMETERS& d, PresentParameters& p) {
    p.backBufferWidth = d.BackBufferWidth;
    p.backBufferHeight = d.BackBufferHeight;
    p.backBufferFormat = static_cast<uint32_t>(d.BackBufferFormat);
    p.backBufferCount = d.BackBufferCount;
}

}  // namespace

Direct3D9RenderDevice::~Direct3D9RenderDevice() {
    ReleaseResources();
    if (d3d_ != nullptr) d3d_->Release();
}

bool Direct3D9RenderDevice::Load() {
    if (d3d_ != nullptr) return true;
    if (loadTried_) return false;
    loadTried_ = true;
    HMODULE module = LoadLibraryA("d3d9.dll");
    if (module == nullptr) return false;
    const auto create =
        reinterpret_cast<Direct3DCreate9Function>(reinterpret_cast<void*>(GetProcAddress(module, "Direct3DCreate9")));
    if (create == nullptr) return false;
    d3d_ = create(D3D_SDK_VERSION);
    return d3d_ != nullptr;
}

void Direct3D9RenderDevice::ReleaseResources() {
    for (IDirect3DVertexBuffer9*& buffer : buffers_) {
        if (buffer != nullptr) buffer->Release();
        buffer = nullptr;
    }
    for (IDirect3DTexture9*& texture : textures_) {
        if (texture != nullptr) texture->Release();
        texture = nullptr;
    }
    if (device_ != nullptr) device_->Release();
    device_ = nullptr;
}

IDirect3DVertexBuffer9* Direct3D9RenderDevice::FindBuffer(DeviceBuffer handle) const {
    return handle >= 1 && handle <= buffers_.size() ? buffers_[handle - 1] : nullptr;
}

IDirect3DTexture9* Direct3D9RenderDevice::FindTexture(DeviceTexture handle) const {
    return handle >= 1 && handle <= textures_.size() ? textures_[handle - 1] : nullptr;
}

DeviceResult Direct3D9RenderDevice::GetAdapterCaps(DeviceCaps& caps) {
    caps = DeviceCaps{};
    if (!Load()) return kNotAvailable;
    D3DCAPS9 d3dCaps{};
    const HRESULT result = d3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &d3dCaps);
    if (SUCCEEDED(result)) ToCaps(d3dCaps, caps);
    return result;
}

DeviceResult Direct3D9RenderDevice::CreateDevice(void* focusWindow, uint32_t behaviorFlags,
                                                 PresentParameters& parameters) {
    ReleaseResources();
    if (!Load()) return kNotAvailable;
    D3DPRESENT_PARAMETERS d = ToD3D(parameters);
    IDirect3DDevice9* device = nullptr;
    const HRESULT result = d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, static_cast<HWND>(focusWindow),
                                              behaviorFlags, &d, &device);
    if (FAILED(result) || device == nullptr) return FAILED(result) ? result : kNotAvailable;
    device_ = device;
    focusWindow_ = focusWindow;
    FromD3D(d, parameters);
    return result;
}

DeviceResult Direct3D9RenderDevice::GetDeviceCaps(DeviceCaps& caps) {
    caps = DeviceCaps{};
    if (device_ == nullptr) return kNotAvailable;
    D3DCAPS9 d3dCaps{};
    const HRESULT result = device_->GetDeviceCaps(&d3dCaps);
    if (SUCCEEDED(result)) ToCaps(d3dCaps, caps);
    return result;
}

DeviceResult Direct3D9RenderDevice::TestCooperativeLevel() {
    return device_ != nullptr ? device_->TestCooperativeLevel() : kNotAvailable;
}

DeviceResult Direct3D9RenderDevice::Reset(PresentParameters& parameters) {
    if (device_ == nullptr) return kNotAvailable;
    D3DPRESENT_PARAMETERS d = ToD3D(parameters);
    const HRESULT result = device_->Reset(&d);
    if (SUCCEEDED(result)) FromD3D(d, parameters);
    return result;
}

DeviceResult Direct3D9RenderDevice::Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) {
    return device_ != nullptr ? device_->Clear(0, nullptr, flags, color, z, stencil) : kNotAvailable;
}

DeviceResult Direct3D9RenderDevice::BeginScene() {
    return device_ != nullptr ? device_->BeginScene() : kNotAvailable;
}

DeviceResult Direct3D9RenderDevice::EndScene() {
    return device_ != nullptr ? device_->EndScene() : kNotAvailable;
}

DeviceResult Direct3D9RenderDevice::Present() {
    if (device_ == nullptr) return kNotAvailable;
    if (presentHook_ != nullptr) presentHook_(presentUser_);
    return device_->Present(nullptr, nullptr, nullptr, nullptr);
}

DeviceResult Direct3D9RenderDevice::SetTransform(uint32_t state, const Matrix4& matrix) {
    if (device_ == nullptr) return kNotAvailable;
    static_assert(sizeof(D3DMATRIX) == sizeof(Matrix4));
    D3DMATRIX m;
    std::memcpy(&m, &matrix, sizeof m);
    return device_->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(state), &m);
}

DeviceResult Direct3D9RenderDevice::SetRenderState(uint32_t state, uint32_t value) {
    return device_ != nullptr ? device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value) : kNotAvailable;
}

DeviceResult Direct3D9RenderDevice::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    return device_ != nullptr ? device_->SetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(type), value)
                              : kNotAvailable;
}

DeviceResult Direct3D9RenderDevice::SetScissorRect(const DeviceRect& rect) {
    if (device_ == nullptr) return kNotAvailable;
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    return device_->SetScissorRect(&r);
}

DeviceResult Direct3D9RenderDevice::SetTexture(uint32_t stage, DeviceTexture texture) {
    if (device_ == nullptr) return kNotAvailable;
    IDirect3DTexture9* t = FindTexture(texture);
    if (texture != 0 && t == nullptr) return D3DERR_INVALIDCALL;
    return device_->SetTexture(stage, t);
}

DeviceResult Direct3D9RenderDevice::SetFVF(uint32_t fvf) {
    return device_ != nullptr ? device_->SetFVF(fvf) : kNotAvailable;
}

DeviceResult Direct3D9RenderDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                                       DeviceBuffer& buffer) {
    buffer = 0;
    if (device_ == nullptr) return kNotAvailable;
    IDirect3DVertexBuffer9* b = nullptr;
    const HRESULT result = device_->CreateVertexBuffer(length, usage, fvf, static_cast<D3DPOOL>(pool), &b, nullptr);
    if (FAILED(result) || b == nullptr) return FAILED(result) ? result : D3DERR_INVALIDCALL;
    buffers_.push_back(b);
    buffer = static_cast<DeviceBuffer>(buffers_.size());
    return result;
}

DeviceResult Direct3D9RenderDevice::LockVertexBuffer(DeviceBuffer buffer, uint32_t offset, uint32_t size, void*& data,
                                                     uint32_t flags) {
    data = nullptr;
    IDirect3DVertexBuffer9* b = FindBuffer(buffer);
    return b != nullptr ? b->Lock(offset, size, &data, flags) : D3DERR_INVALIDCALL;
}

DeviceResult Direct3D9RenderDevice::UnlockVertexBuffer(DeviceBuffer buffer) {
    IDirect3DVertexBuffer9* b = FindBuffer(buffer);
    return b != nullptr ? b->Unlock() : D3DERR_INVALIDCALL;
}

void Direct3D9RenderDevice::ReleaseVertexBuffer(DeviceBuffer buffer) {
    IDirect3DVertexBuffer9* b = FindBuffer(buffer);
    if (b == nullptr) return;
    b->Release();
    buffers_[buffer - 1] = nullptr;
}

DeviceResult Direct3D9RenderDevice::SetStreamSource(uint32_t stream, DeviceBuffer buffer, uint32_t offset,
                                                    uint32_t stride) {
    if (device_ == nullptr) return kNotAvailable;
    IDirect3DVertexBuffer9* b = FindBuffer(buffer);
    if (buffer != 0 && b == nullptr) return D3DERR_INVALIDCALL;
    return device_->SetStreamSource(stream, b, offset, stride);
}

DeviceResult Direct3D9RenderDevice::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    return device_ != nullptr ? device_->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(type), startVertex, primitiveCount)
                              : kNotAvailable;
}

DeviceResult Direct3D9RenderDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                                  uint32_t format, uint32_t pool, DeviceTexture& texture) {
    texture = 0;
    if (device_ == nullptr) return kNotAvailable;
    IDirect3DTexture9* t = nullptr;
    const HRESULT result = device_->CreateTexture(width, height, levels, usage, static_cast<D3DFORMAT>(format),
                                                  static_cast<D3DPOOL>(pool), &t, nullptr);
    if (FAILED(result) || t == nullptr) return FAILED(result) ? result : D3DERR_INVALIDCALL;
    textures_.push_back(t);
    texture = static_cast<DeviceTexture>(textures_.size());
    return result;
}

DeviceResult Direct3D9RenderDevice::LockRect(DeviceTexture texture, uint32_t level, LockedRect& locked,
                                             uint32_t flags) {
    locked = LockedRect{};
    IDirect3DTexture9* t = FindTexture(texture);
    if (t == nullptr) return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT rect{};
    const HRESULT result = t->LockRect(level, &rect, nullptr, flags);
    if (SUCCEEDED(result)) {
        locked.pitch = rect.Pitch;
        locked.bits = rect.pBits;
    }
    return result;
}

DeviceResult Direct3D9RenderDevice::UnlockRect(DeviceTexture texture, uint32_t level) {
    IDirect3DTexture9* t = FindTexture(texture);
    return t != nullptr ? t->UnlockRect(level) : D3DERR_INVALIDCALL;
}

void Direct3D9RenderDevice::ReleaseTexture(DeviceTexture texture) {
    IDirect3DTexture9* t = FindTexture(texture);
    if (t == nullptr) return;
    t->Release();
    textures_[texture - 1] = nullptr;
}

bool Direct3D9RenderDevice::ReadBackBuffer(std::vector<uint32_t>& pixels, uint32_t& width, uint32_t& height) {
    pixels.clear();
    width = height = 0;
    if (device_ == nullptr) return false;
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface)) || surface == nullptr) return false;
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT rect{};
    bool read = false;
    if (SUCCEEDED(surface->GetDesc(&desc)) && (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) &&
        SUCCEEDED(surface->LockRect(&rect, nullptr, D3DLOCK_READONLY))) {
        width = desc.Width;
        height = desc.Height;
        pixels.resize(size_t{width} * height);
        for (uint32_t y = 0; y < height; ++y) {
            const uint32_t* row =
                reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rect.pBits) + size_t{y} * rect.Pitch);
            for (uint32_t x = 0; x < width; ++x)
                pixels[size_t{y} * width + x] = row[x] | 0xFF000000u;
        }
        surface->UnlockRect();
        read = true;
    }
    surface->Release();
    return read;
}
