#include "render/backend.h"

#include <cstring>
#include <new>

#include "base/console.h"
#include "base/platform.h"

RendererState g_renderer;
RenderDevicePort g_renderDevicePort;

void SetRenderDevice(RenderDevice* device) {
    g_renderDevicePort.device = device;
}

RenderDevice* GetRenderDevice() {
    return g_renderDevicePort.device;
}

namespace {

// Engine numbers to the device's; values past a table take its fallback.
uint32_t ShadeMode(uint32_t v) { return v < 3 ? SHADE_FLAT + v : 0; }
uint32_t CullMode(uint32_t v) { return v < 3 ? CULL_NONE + v : CULL_NONE; }
uint32_t BlendOperation(uint32_t v) { return v < 5 ? BLENDOP_ADD + v : BLENDOP_ADD; }
uint32_t BlendFactor(uint32_t v) { return v < 10 ? v + 1 : BLEND_ZERO; }
uint32_t CompareFunction(uint32_t v) {
    constexpr uint32_t kCompare[8] = {CMP_NEVER,    CMP_LESS,    CMP_LESSEQUAL,    CMP_EQUAL,
                                      CMP_NOTEQUAL, CMP_GREATER, CMP_GREATEREQUAL, CMP_ALWAYS};
    return v < 8 ? kCompare[v] : CMP_ALWAYS;
}
uint32_t Filter(uint32_t v) { return v < 3 ? v : TEXF_NONE; }
uint32_t FillMode(uint32_t v) { return v < 3 ? FILL_POINT + v : FILL_SOLID; }

RenderDevice* Device() {
    return g_renderer.device;
}

bool HasScissor() {
    return (g_renderer.caps.rasterCaps & PRASTERCAPS_SCISSORTEST) != 0;
}

bool HasAlphaCompare() {
    return (g_renderer.caps.alphaCmpCaps & PCMPCAPS_GREATEREQUAL) != 0;
}

void SendScissorRect(const RenderStateBlock& b) {
    Device()->SetScissorRect(DeviceRect{b.scissorLeft, b.scissorTop, b.scissorRight, b.scissorBottom});
}

void CreateVertexBuffers() {
    for (uint32_t type = 0; type < kVertexTypeCount; ++type) {
        if (VertexSizeOf(type) == 0) continue;
        DeviceBuffer buffer = 0;
        if (Device()->CreateVertexBuffer(kVertexBufferBytes, USAGE_DYNAMIC | USAGE_WRITEONLY,
                                         VertexD3D9_GetFVFFromFormat(type), POOL_DEFAULT, buffer) != kDeviceOk) {
            buffer = 0;
        }
        g_renderer.vertexBuffers[type] = buffer;
    }
}

void ReleaseVertexBuffers() {
    for (DeviceBuffer& buffer : g_renderer.vertexBuffers) {
        if (buffer != 0) Device()->ReleaseVertexBuffer(buffer);
        buffer = 0;
    }
}

// Vertex buffers of the default pool must go before a reset and come back after it; the device
// forgets its states and transforms, so the whole default block and the camera are sent again.
bool ResetDevice() {
    ReleaseVertexBuffers();
    if (Device()->Reset(g_renderer.present) != kDeviceOk) {
        g_renderer.resetPending = true;
        return false;
    }
    g_renderer.resetPending = false;
    CreateVertexBuffers();
    ApplyAllStates(g_renderer.defaultStates);
    SetCamera();
    return true;
}

bool DeviceCanReset() {
    const DeviceResult result = Device()->TestCooperativeLevel();
    return result == kDeviceOk || result == kDeviceNotReset;
}

void BackendSetTexture(const TextureHandle* handle) {
    if (Device() != nullptr) Device()->SetTexture(0, handle != nullptr ? handle->texture : 0);
}

void SetTransform(uint32_t state, const Matrix4& matrix) {
    if (Device() != nullptr) Device()->SetTransform(state, matrix);
}
void SetWorldTransform(const Matrix4& matrix) { SetTransform(TS_WORLD, matrix); }
void SetViewTransform(const Matrix4& matrix) { SetTransform(TS_VIEW, matrix); }
void SetProjectionTransform(const Matrix4& matrix) { SetTransform(TS_PROJECTION, matrix); }

void GetDefaultRenderState(RenderStateBlock& block) { block = g_renderer.defaultStates; }
void SetDefaultRenderState(const RenderStateBlock& block) { g_renderer.defaultStates = block; }

// Texture records live outside the fixed heaps: their number is bounded by the texture slots, the
// fonts and the sheets, not by a frame.
TextureHandle* NewTextureHandle(uint32_t width, uint32_t height) {
    TextureHandle* handle = new (std::nothrow) TextureHandle{};
    if (handle == nullptr) return nullptr;
    handle->textureWidth = static_cast<uint16_t>(width);
    handle->textureHeight = static_cast<uint16_t>(height);
    if (Device() != nullptr && width != 0 && height != 0) {
        DeviceTexture texture = 0;
        if (Device()->CreateTexture(width, height, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, texture) == kDeviceOk) {
            handle->texture = texture;
        }
    }
    return handle;
}

// Sizes the 16-bit fields of a record can hold; larger ones were refused when the image was read.
uint32_t TextureSide(uint32_t size) {
    const uint32_t side = PowerOfTwoAtLeast(size);
    return size == 0 ? 0 : (side > kMaxImageSide ? kMaxImageSide : side);
}

TextureHandle* CreateTexture(uint32_t width, uint32_t height) {
    TextureHandle* handle = NewTextureHandle(TextureSide(width), TextureSide(height));
    if (handle == nullptr) {
        ConsolePrintf("\nredblack{Direct3D9 error:} yellowblack{Unable to allocate memory to create texture}");
    }
    return handle;
}

TextureHandle* CreateTextureFromImage(Image* image) {
    const uint32_t width = image != nullptr ? TextureSide(image->textureWidth) : 0;
    const uint32_t height = image != nullptr ? TextureSide(image->textureHeight) : 0;
    TextureHandle* handle = NewTextureHandle(width, height);
    if (handle == nullptr) {
        ConsolePrintf(
            "\nredblack{Direct3D9 error:} yellowblack{Unable to allocate memory to create texture from image at} "
            "aquablack{0x%08X}",
            static_cast<unsigned>(reinterpret_cast<uintptr_t>(image)));
        return nullptr;
    }
    handle->image = image;
    RenderD3D9_UpdateTexture(handle);
    return handle;
}

void ReleaseTexture(TextureHandle* handle) {
    if (handle == nullptr) return;
    if (handle->texture != 0 && Device() != nullptr) Device()->ReleaseTexture(handle->texture);
    FreeImage(handle->image);
    delete handle;
}

// One vertex in the device's layout: positions and texture coordinates as stored (coordinates scaled
// to the region of the texture the image covers), the colour as A8R8G8B8.
void ConvertVertex(const uint8_t* from, uint8_t* to, uint32_t type, float uScale, float vScale) {
    const uint32_t size = VertexSizeOf(type);
    std::memcpy(to, from, size);
    if (VertexIsColored(type)) {
        const uint32_t at = VertexColorOffset(type);
        const uint32_t color = uint32_t{from[at + 3]} << 24 | uint32_t{from[at]} << 16 |
                               uint32_t{from[at + 1]} << 8 | uint32_t{from[at + 2]};
        std::memcpy(to + at, &color, 4);
    }
    if (VertexIsTextured(type)) {
        const uint32_t at = VertexUVOffset(type);
        float uv[2];
        std::memcpy(uv, from + at, sizeof uv);
        uv[0] *= uScale;
        uv[1] *= vScale;
        std::memcpy(to + at, uv, sizeof uv);
    }
}

}  // namespace

RenderBackend g_renderBackend = {
    BeginFrame,        EndFrame,          CreateTextureFromImage, CreateTexture,         RenderD3D9_UpdateTexture,
    ReleaseTexture,    BackendSetTexture, SetWorldTransform,      SetViewTransform,      SetProjectionTransform,
    GetDefaultRenderState, SetDefaultRenderState, DrawMesh,
};

void ResetRenderer() {
    g_renderer = RendererState{};
    g_renderer.screenWidth = 640;
    g_renderer.screenHeight = 480;
    g_renderer.present.windowed = true;
    g_renderBackend = RenderBackend{
        BeginFrame,        EndFrame,          CreateTextureFromImage, CreateTexture,         RenderD3D9_UpdateTexture,
        ReleaseTexture,    BackendSetTexture, SetWorldTransform,      SetViewTransform,      SetProjectionTransform,
        GetDefaultRenderState, SetDefaultRenderState, DrawMesh,
    };
}

void InitRenderer(void* window, RenderDevice* device) {
    ResetRenderer();
    RendererState& r = g_renderer;
    r.window = window;
    r.defaultStates = RenderStateBlock{};
    r.cache = r.defaultStates;
    if (device == nullptr) return;
    r.device = device;

    DeviceCaps adapterCaps{};
    device->GetAdapterCaps(adapterCaps);
    uint32_t behaviour = CREATE_SOFTWARE_VERTEXPROCESSING | CREATE_FPU_PRESERVE;
    if ((adapterCaps.devCaps & DEVCAPS_HWTRANSFORMANDLIGHT) != 0) {
        behaviour = CREATE_HARDWARE_VERTEXPROCESSING | CREATE_FPU_PRESERVE;
        if ((adapterCaps.devCaps & DEVCAPS_PUREDEVICE) != 0) behaviour |= CREATE_PUREDEVICE;
    }
    PresentParameters& p = r.present;
    p = PresentParameters{};
    p.backBufferFormat = FMT_UNKNOWN;
    p.swapEffect = SWAPEFFECT_DISCARD;
    p.windowed = true;
    p.enableAutoDepthStencil = true;
    p.autoDepthStencilFormat = FMT_D16;
    p.flags = PRESENTFLAG_LOCKABLE_BACKBUFFER;
    p.presentationInterval = PRESENT_INTERVAL_IMMEDIATE;
    if (device->CreateDevice(window, behaviour, p) != kDeviceOk) {
        // Without a device nothing can be drawn; the game still runs.
        ConsolePrintf("\nredblack{Direct3D9 error:} yellowblack{Unable to create the device, nothing will be drawn}");
        r.device = nullptr;
        return;
    }
    CreateVertexBuffers();
    device->GetDeviceCaps(r.caps);
    ApplyAllStates(r.defaultStates);
}

void SetCamera() {
    const float eye[3] = {320, -240, -30};
    const float at[3] = {320, -240, 0};
    const float up[3] = {0, 1, 0};
    g_renderBackend.SetViewTransform(MatrixLookAtLH(eye, at, up));
    g_renderBackend.SetProjectionTransform(MatrixOrthoLH(640 - 0.5f, 480 - 0.5f, 1.0f, 1000000.0f));
    g_renderBackend.SetWorldTransform(kIdentityMatrix);
}

void BeginFrame() {
    if (Device() == nullptr) return;
    Device()->Clear(CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    Device()->Clear(CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    Device()->BeginScene();
}

void EndFrame() {
    if (Device() == nullptr) return;
    Device()->EndScene();
    Device()->Present();
}

void ApplyAllStates(const RenderStateBlock& b) {
    RenderDevice* d = Device();
    g_renderer.cache = b;
    if (d == nullptr) return;
    d->SetRenderState(RS_LIGHTING, b.lighting);
    d->SetRenderState(RS_ZENABLE, b.zTest);
    d->SetRenderState(RS_ZWRITEENABLE, b.zWrite);
    d->SetRenderState(RS_CULLMODE, CullMode(b.cullMode));
    d->SetRenderState(RS_ALPHABLENDENABLE, b.alphaBlend);
    d->SetRenderState(RS_BLENDOP, BlendOperation(b.blendOperation));
    d->SetRenderState(RS_SRCBLEND, BlendFactor(b.sourceBlend));
    d->SetRenderState(RS_DESTBLEND, BlendFactor(b.destBlend));
    if (HasScissor()) d->SetRenderState(RS_SCISSORTESTENABLE, b.scissorEnable);
    SendScissorRect(b);
    if (HasAlphaCompare()) {
        d->SetRenderState(RS_ALPHATESTENABLE, b.alphaTest);
        d->SetRenderState(RS_ALPHAREF, b.alphaRef);
        d->SetRenderState(RS_ALPHAFUNC, CompareFunction(b.alphaFunc));
    }
    d->SetSamplerState(0, SAMP_MAGFILTER, Filter(b.magFilter));
    d->SetSamplerState(0, SAMP_MINFILTER, Filter(b.minFilter));
    d->SetSamplerState(0, SAMP_MIPFILTER, Filter(b.mipFilter));
    d->SetRenderState(RS_FILLMODE, FillMode(b.fillMode));
}

void ApplyChangedStates(const RenderStateBlock& b) {
    RenderStateBlock& c = g_renderer.cache;
    RenderDevice* d = Device();
    if (d == nullptr) {
        c = b;
        return;
    }
    if (b.lighting != c.lighting) d->SetRenderState(RS_LIGHTING, b.lighting);
    if (b.shadeMode != c.shadeMode) d->SetRenderState(RS_SHADEMODE, ShadeMode(b.shadeMode));
    if (b.zTest != c.zTest) d->SetRenderState(RS_ZENABLE, b.zTest);
    if (b.zWrite != c.zWrite) d->SetRenderState(RS_ZWRITEENABLE, b.zWrite);
    if (b.cullMode != c.cullMode) d->SetRenderState(RS_CULLMODE, CullMode(b.cullMode));
    if (b.alphaBlend != c.alphaBlend) d->SetRenderState(RS_ALPHABLENDENABLE, b.alphaBlend);
    if (b.blendOperation != c.blendOperation) d->SetRenderState(RS_BLENDOP, BlendOperation(b.blendOperation));
    if (b.sourceBlend != c.sourceBlend || b.destBlend != c.destBlend) {
        d->SetRenderState(RS_SRCBLEND, BlendFactor(b.sourceBlend));
        d->SetRenderState(RS_DESTBLEND, BlendFactor(b.destBlend));
    }
    if (b.scissorEnable != c.scissorEnable && HasScissor()) {
        d->SetRenderState(RS_SCISSORTESTENABLE, b.scissorEnable);
    }
    if (b.scissorLeft != c.scissorLeft || b.scissorTop != c.scissorTop || b.scissorRight != c.scissorRight ||
        b.scissorBottom != c.scissorBottom) {
        SendScissorRect(b);
    }
    if (HasAlphaCompare()) {
        if (b.alphaTest != c.alphaTest) d->SetRenderState(RS_ALPHATESTENABLE, b.alphaTest);
        if (b.alphaRef != c.alphaRef) d->SetRenderState(RS_ALPHAREF, b.alphaRef);
        if (b.alphaFunc != c.alphaFunc) d->SetRenderState(RS_ALPHAFUNC, CompareFunction(b.alphaFunc));
    }
    if (b.magFilter != c.magFilter) d->SetSamplerState(0, SAMP_MAGFILTER, Filter(b.magFilter));
    if (b.minFilter != c.minFilter) d->SetSamplerState(0, SAMP_MINFILTER, Filter(b.minFilter));
    if (b.mipFilter != c.mipFilter) d->SetSamplerState(0, SAMP_MIPFILTER, Filter(b.mipFilter));
    if (b.fillMode != c.fillMode) d->SetRenderState(RS_FILLMODE, FillMode(b.fillMode));
    c = b;
}

int64_t PrimitiveCount(uint32_t layout, uint32_t vertexCount) {
    const int64_t n = vertexCount;
    switch (layout) {
        case PT_POINTLIST: return n;
        case PT_LINELIST: return n / 2;
        case PT_LINESTRIP: return n - 1;
        case PT_TRIANGLELIST: return n / 3;
        case PT_TRIANGLESTRIP:
        case PT_TRIANGLEFAN: return n - 2;
        default:
            ConsolePrintf(
                "\nredblack{Direct3D9 error:} yellowblack{Attempted to calculate primitive verticesCount on unknown "
                "vertex type} aquablack{%u}yellowblack{, returning vertex verticesCount}",
                layout);
            return n;
    }
}

void DrawMesh(const uint8_t* vertices, uint32_t vertexCount, uint32_t vertexType, uint32_t vertexLayout,
              const RenderStateBlock& states, const TextureHandle* texture) {
    RenderDevice* d = Device();
    if (d == nullptr || vertices == nullptr || vertexCount == 0) return;
    const uint32_t size = VertexSizeOf(vertexType);
    if (size == 0) {
        // No buffer holds such vertices; the format's own message says why nothing is drawn.
        VertexD3D9_GetFVFFromFormat(vertexType);
        return;
    }
    const DeviceBuffer buffer = g_renderer.vertexBuffers[vertexType];
    const uint64_t bytes = uint64_t{vertexCount} * size;
    const int64_t primitives = PrimitiveCount(vertexLayout, vertexCount);
    uint32_t primitiveType = vertexLayout;
    if (primitiveType < PT_POINTLIST || primitiveType > PT_TRIANGLEFAN) {
        ConsolePrintf(
            "\nredblack{Direct3D9 error:} yellowblack{Attempted to render using unknown vertex layout} "
            "aquablack{%u}yellowblack{, falling back to} aquablack{D3DPT_POINTLIST}",
            vertexLayout);
        primitiveType = PT_POINTLIST;
    }
    // Too few vertices for one primitive, no buffer, or more vertices than it holds: nothing to draw.
    if (primitives <= 0 || buffer == 0 || bytes > kVertexBufferBytes) return;

    ApplyChangedStates(states);
    d->SetTexture(0, texture != nullptr ? texture->texture : 0);
    d->SetFVF(VertexD3D9_GetFVFFromFormat(vertexType));
    void* data = nullptr;
    if (d->LockVertexBuffer(buffer, 0, 0, data, LOCK_DISCARD) == kDeviceOk && data != nullptr) {
        float uScale = 1, vScale = 1;
        if (texture != nullptr && texture->image != nullptr && texture->textureWidth != 0 &&
            texture->textureHeight != 0) {
            uScale = static_cast<float>(texture->image->width) / texture->textureWidth;
            vScale = static_cast<float>(texture->image->height) / texture->textureHeight;
        }
        uint8_t* to = static_cast<uint8_t*>(data);
        for (uint32_t i = 0; i < vertexCount; ++i)
            ConvertVertex(vertices + uint64_t{i} * size, to + uint64_t{i} * size, vertexType, uScale, vScale);
        d->UnlockVertexBuffer(buffer);
        d->SetStreamSource(0, buffer, 0, VertexD3D9_GetVertexSize(vertexType));
        d->DrawPrimitive(primitiveType, 0, static_cast<uint32_t>(primitives));
    }
    d->SetTexture(0, 0);
}

uint32_t MaxTextureSide() {
    if (Device() == nullptr) return kMaxImageSide;
    uint32_t side = g_renderer.caps.maxTextureWidth < g_renderer.caps.maxTextureHeight ? g_renderer.caps.maxTextureWidth
                                                                                         : g_renderer.caps.maxTextureHeight;
    return side == 0 || side > kMaxImageSide ? kMaxImageSide : side;
}

void RenderD3D9_UpdateTexture(TextureHandle* handle) {
    if (handle == nullptr || handle->image == nullptr) return;
    const Image& image = *handle->image;
    if (image.width > handle->textureWidth || image.height > handle->textureHeight) {
        ConsolePrintf(
            "\nredblack{Direct3D9 error:} aquablack{RenderD3D9_UpdateTexture} yellowblack{failed due to texture size} "
            "aquablack{%ux%i} yellowblack{being larger than the texture size} aquablack{%ux%u}",
            image.width, static_cast<int>(image.height), static_cast<unsigned>(handle->textureWidth),
            static_cast<unsigned>(handle->textureHeight));
        return;
    }
    if (Device() == nullptr || handle->texture == 0) return;
    LockedRect locked{};
    if (Device()->LockRect(handle->texture, 0, locked, LOCK_DISCARD) != kDeviceOk || locked.bits == nullptr) return;
    const uint32_t rowBytes = uint32_t{handle->textureWidth} * 4;
    if (locked.pitch < 0 || static_cast<uint32_t>(locked.pitch) < rowBytes) {
        Device()->UnlockRect(handle->texture, 0);
        return;
    }
    uint8_t* bits = static_cast<uint8_t*>(locked.bits);
    for (uint32_t row = 0; row < handle->textureHeight; ++row) {
        uint8_t* to = bits + size_t{row} * static_cast<uint32_t>(locked.pitch);
        uint32_t copied = 0;
        if (row < image.height) {
            copied = image.width * 4;
            std::memcpy(to, image.pixels + size_t{row} * image.width * 4, copied);
        }
        std::memset(to + copied, 0, rowBytes - copied);
    }
    Device()->UnlockRect(handle->texture, 0);
}

bool IsDeviceLost() {
    if (Device() == nullptr) return false;
    if (g_renderer.resetPending) return true;
    const DeviceResult result = Device()->TestCooperativeLevel();
    return result == kDeviceLost || result == kDeviceNotReset;
}

void RecoverDevice() {
    if (Device() == nullptr || !DeviceCanReset()) return;
    ResetDevice();
}

bool IsWindowed() {
    return g_renderer.present.windowed;
}

void SetFullscreen() {
    RendererState& r = g_renderer;
    if (Device() == nullptr || !r.present.windowed) return;
    r.savedWidth = r.present.backBufferWidth;
    r.savedHeight = r.present.backBufferHeight;
    r.present.backBufferWidth = r.screenWidth;
    r.present.backBufferHeight = r.screenHeight;
    r.present.windowed = false;
    Platform& platform = GetPlatform();
    r.savedStyle = platform.GetWindowLong(r.window, kWindowLongStyle);
    r.savedExStyle = platform.GetWindowLong(r.window, kWindowLongExStyle) & ~kWindowExTopmost;
    if (DeviceCanReset()) ResetDevice();
}

void SetWindowed() {
    RendererState& r = g_renderer;
    if (Device() == nullptr || r.present.windowed) return;
    r.screenWidth = r.present.backBufferWidth;
    r.screenHeight = r.present.backBufferHeight;
    r.present.backBufferWidth = r.savedWidth;
    r.present.backBufferHeight = r.savedHeight;
    r.present.windowed = true;
    if (DeviceCanReset()) ResetDevice();
    Platform& platform = GetPlatform();
    platform.SetWindowLong(r.window, kWindowLongStyle, r.savedStyle);
    platform.SetWindowLong(r.window, kWindowLongExStyle, r.savedExStyle);
    PlatformRect rect{kWindowLeft, kWindowTop, kWindowLeft + static_cast<int32_t>(r.savedWidth),
                      kWindowTop + static_cast<int32_t>(r.savedHeight)};
    platform.AdjustWindowRect(rect, kWindowStyle, false);
    platform.SetWindowPos(r.window, kWindowNoTopmost, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                          kSetWindowPosNoMove | kSetWindowPosNoZOrder | kSetWindowPosNoActivate |
                              kSetWindowPosFrameChanged);
}
