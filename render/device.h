#pragma once
// The graphics device the back end draws through: the Direct3D 9 fixed-function subset the engine
// uses, with Direct3D's own numbers, so that the Windows adapter passes calls straight through and
// every other adapter (software rasteriser, null, recording) can be held to the same meaning.
//
// Conventions of every adapter:
// - Results are HRESULT-like codes: kDeviceOk (0) for success, a negative code for failure. A call
//   on a lost device that is documented to fail says so; other calls succeed and do nothing visible.
// - Resources are named by handles: DeviceBuffer for vertex buffers, DeviceTexture for textures. 0
//   names none; a handle stays valid until released; a released or unknown handle given to a call
//   makes the call fail with kDeviceInvalidCall (a lock gives no memory) and draws nothing.
// - Matrices are row-vector matrices (render/matrix.h): a vertex v becomes v x world x view x
//   projection, then x and y are divided by w and mapped from [-1, 1] to the viewport (y upward).
// - Colours are 32-bit A8R8G8B8: alpha << 24 | red << 16 | green << 8 | blue.

#include <cstdint>

#include "render/matrix.h"

using DeviceResult = int32_t;
using DeviceBuffer = uint32_t;
using DeviceTexture = uint32_t;

// Results (D3D_OK, D3DERR_*).
inline constexpr DeviceResult kDeviceOk = 0;
inline constexpr DeviceResult kDeviceLost = static_cast<int32_t>(0x88760868);       // D3DERR_DEVICELOST
inline constexpr DeviceResult kDeviceNotReset = static_cast<int32_t>(0x88760869);   // D3DERR_DEVICENOTRESET
inline constexpr DeviceResult kDeviceInvalidCall = static_cast<int32_t>(0x8876086C);  // D3DERR_INVALIDCALL
inline constexpr DeviceResult kDeviceOutOfVideoMemory = static_cast<int32_t>(0x8876017C);
inline constexpr DeviceResult kDeviceOutOfMemory = static_cast<int32_t>(0x8007000E);  // E_OUTOFMEMORY

// Flexible vertex format bits (D3DFVF_*). A vertex holds, in this order: x, y, z (floats), rhw
// (float, with XYZRHW only), the diffuse colour (32-bit A8R8G8B8), then u, v (floats, with TEX1).
inline constexpr uint32_t FVF_XYZ = 0x002;
inline constexpr uint32_t FVF_XYZRHW = 0x004;
inline constexpr uint32_t FVF_DIFFUSE = 0x040;
inline constexpr uint32_t FVF_TEX1 = 0x100;

// Primitive types (D3DPT_*).
inline constexpr uint32_t PT_POINTLIST = 1;
inline constexpr uint32_t PT_LINELIST = 2;
inline constexpr uint32_t PT_LINESTRIP = 3;
inline constexpr uint32_t PT_TRIANGLELIST = 4;
inline constexpr uint32_t PT_TRIANGLESTRIP = 5;
inline constexpr uint32_t PT_TRIANGLEFAN = 6;

// Transform states (D3DTS_*).
inline constexpr uint32_t TS_VIEW = 2;
inline constexpr uint32_t TS_PROJECTION = 3;
inline constexpr uint32_t TS_WORLD = 256;

// Render states (D3DRS_*) and their values.
inline constexpr uint32_t RS_ZENABLE = 7;            // 0 off, 1 on (less-equal against the depth buffer)
inline constexpr uint32_t RS_FILLMODE = 8;           // FILL_*
inline constexpr uint32_t RS_SHADEMODE = 9;          // SHADE_*
inline constexpr uint32_t RS_ZWRITEENABLE = 14;      // 0, 1
inline constexpr uint32_t RS_ALPHATESTENABLE = 15;   // 0, 1
inline constexpr uint32_t RS_SRCBLEND = 19;          // BLEND_*
inline constexpr uint32_t RS_DESTBLEND = 20;         // BLEND_*
inline constexpr uint32_t RS_CULLMODE = 22;          // CULL_*
inline constexpr uint32_t RS_ALPHAREF = 24;          // 0 to 255
inline constexpr uint32_t RS_ALPHAFUNC = 25;         // CMP_*
inline constexpr uint32_t RS_ALPHABLENDENABLE = 27;  // 0, 1
inline constexpr uint32_t RS_LIGHTING = 137;         // 0, 1
inline constexpr uint32_t RS_BLENDOP = 171;          // BLENDOP_*
inline constexpr uint32_t RS_SCISSORTESTENABLE = 174;  // 0, 1

inline constexpr uint32_t SHADE_FLAT = 1, SHADE_GOURAUD = 2, SHADE_PHONG = 3;
inline constexpr uint32_t CULL_NONE = 1, CULL_CW = 2, CULL_CCW = 3;
inline constexpr uint32_t FILL_POINT = 1, FILL_WIREFRAME = 2, FILL_SOLID = 3;
inline constexpr uint32_t BLENDOP_ADD = 1, BLENDOP_SUBTRACT = 2, BLENDOP_REVSUBTRACT = 3, BLENDOP_MIN = 4,
                          BLENDOP_MAX = 5;
// BLEND_ZERO 1, ONE 2, SRCCOLOR 3, INVSRCCOLOR 4, SRCALPHA 5, INVSRCALPHA 6, DESTALPHA 7,
// INVDESTALPHA 8, DESTCOLOR 9, INVDESTCOLOR 10.
inline constexpr uint32_t BLEND_ZERO = 1, BLEND_SRCALPHA = 5, BLEND_INVSRCALPHA = 6;
inline constexpr uint32_t CMP_NEVER = 1, CMP_LESS = 2, CMP_EQUAL = 3, CMP_LESSEQUAL = 4, CMP_GREATER = 5,
                          CMP_NOTEQUAL = 6, CMP_GREATEREQUAL = 7, CMP_ALWAYS = 8;

// Sampler states (D3DSAMP_*) and filters (D3DTEXF_*).
inline constexpr uint32_t SAMP_MAGFILTER = 5, SAMP_MINFILTER = 6, SAMP_MIPFILTER = 7;
inline constexpr uint32_t TEXF_NONE = 0, TEXF_POINT = 1, TEXF_LINEAR = 2;

// Clear flags (D3DCLEAR_*), lock flags (D3DLOCK_*), usage (D3DUSAGE_*), formats (D3DFMT_*), pools
// (D3DPOOL_*).
inline constexpr uint32_t CLEAR_TARGET = 1, CLEAR_ZBUFFER = 2, CLEAR_STENCIL = 4;
inline constexpr uint32_t LOCK_READONLY = 0x10, LOCK_NOOVERWRITE = 0x1000, LOCK_DISCARD = 0x2000;
inline constexpr uint32_t USAGE_WRITEONLY = 0x8, USAGE_DYNAMIC = 0x200;
inline constexpr uint32_t FMT_UNKNOWN = 0, FMT_A8R8G8B8 = 21, FMT_D16 = 80;
inline constexpr uint32_t POOL_DEFAULT = 0, POOL_MANAGED = 1, POOL_SYSTEMMEM = 2;

// Device creation (D3DDEVTYPE_HAL, D3DCREATE_*) and capabilities (D3DDEVCAPS_*, D3DPRASTERCAPS_*,
// D3DPCMPCAPS_*).
inline constexpr uint32_t DEVTYPE_HAL = 1;
inline constexpr uint32_t CREATE_FPU_PRESERVE = 0x2, CREATE_PUREDEVICE = 0x10,
                          CREATE_SOFTWARE_VERTEXPROCESSING = 0x20, CREATE_HARDWARE_VERTEXPROCESSING = 0x40;
inline constexpr uint32_t DEVCAPS_HWTRANSFORMANDLIGHT = 0x10000, DEVCAPS_PUREDEVICE = 0x100000;
inline constexpr uint32_t PRASTERCAPS_SCISSORTEST = 0x01000000;
inline constexpr uint32_t PCMPCAPS_GREATEREQUAL = 0x40;

// Presentation (D3DSWAPEFFECT_DISCARD, D3DPRESENTFLAG_LOCKABLE_BACKBUFFER,
// D3DPRESENT_INTERVAL_IMMEDIATE).
inline constexpr uint32_t SWAPEFFECT_DISCARD = 1;
inline constexpr uint32_t PRESENTFLAG_LOCKABLE_BACKBUFFER = 1;
inline constexpr uint32_t PRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

// The fields of D3DCAPS9 the engine reads.
struct DeviceCaps {
    uint32_t devCaps;
    uint32_t rasterCaps;
    uint32_t alphaCmpCaps;
    uint32_t maxTextureWidth;
    uint32_t maxTextureHeight;
};

// D3DPRESENT_PARAMETERS.
struct PresentParameters {
    uint32_t backBufferWidth;   // 0: the client width of the device window (written back)
    uint32_t backBufferHeight;  // 0: the client height (written back)
    uint32_t backBufferFormat;  // FMT_UNKNOWN in a window: the display's format (written back)
    uint32_t backBufferCount;   // 0 means 1 (written back)
    uint32_t multiSampleType;
    uint32_t multiSampleQuality;
    uint32_t swapEffect;
    void* deviceWindow;  // null: the focus window
    bool windowed;
    bool enableAutoDepthStencil;
    uint32_t autoDepthStencilFormat;
    uint32_t flags;
    uint32_t fullScreenRefreshRate;
    uint32_t presentationInterval;
};

// RECT: left and top inside, right and bottom outside.
struct DeviceRect {
    int32_t left, top, right, bottom;
};

// D3DLOCKED_RECT: rows of `pitch` bytes from `bits`, top row first.
struct LockedRect {
    int32_t pitch;
    void* bits;
};

class RenderDevice {
public:
    virtual ~RenderDevice() = default;

    // IDirect3D9::GetDeviceCaps of the default adapter, hardware device type: what a device created
    // on it will report. Fails when there is no usable adapter.
    virtual DeviceResult GetAdapterCaps(DeviceCaps& caps) = 0;
    // IDirect3D9::CreateDevice (default adapter, hardware type). Writes the chosen back-buffer size,
    // format and count back into `parameters`. On success the device state is Direct3D's initial
    // one: every render state, sampler state and transform at its default, no texture, no stream,
    // no FVF, scissor rectangle the whole back buffer. Creating a second time replaces the device
    // (and releases every resource of the first).
    virtual DeviceResult CreateDevice(void* focusWindow, uint32_t behaviorFlags, PresentParameters& parameters) = 0;
    // IDirect3DDevice9::GetDeviceCaps.
    virtual DeviceResult GetDeviceCaps(DeviceCaps& caps) = 0;

    // kDeviceOk while the device can draw; kDeviceLost while it cannot and cannot be reset yet (full
    // screen lost its focus); kDeviceNotReset when Reset would now succeed.
    virtual DeviceResult TestCooperativeLevel() = 0;
    // Re-creates the swap chain with `parameters` (written back as by CreateDevice) and puts every
    // state back to its initial value. Fails with kDeviceInvalidCall while a resource of the default
    // pool (vertex buffers here) is still alive, and with kDeviceLost while the device is lost; after
    // a failure only TestCooperativeLevel, Reset and releases may be called. Managed textures
    // survive a reset with their contents.
    virtual DeviceResult Reset(PresentParameters& parameters) = 0;
    // Fills the whole viewport (only the scissor rectangle while RS_SCISSORTESTENABLE is 1): CLEAR_TARGET with `color`, CLEAR_ZBUFFER with `z` (0 to 1),
    // CLEAR_STENCIL with `stencil`. Without a depth buffer, CLEAR_ZBUFFER fails.
    virtual DeviceResult Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) = 0;
    // Brackets the draws of a frame; a second BeginScene before EndScene fails, as does EndScene
    // without BeginScene.
    virtual DeviceResult BeginScene() = 0;
    virtual DeviceResult EndScene() = 0;
    // Shows the whole back buffer in the device window; kDeviceLost when the device is lost. With
    // SWAPEFFECT_DISCARD the back buffer's contents are undefined afterwards.
    virtual DeviceResult Present() = 0;

    // Sets TS_WORLD, TS_VIEW or TS_PROJECTION; the matrix is copied.
    virtual DeviceResult SetTransform(uint32_t state, const Matrix4& matrix) = 0;
    // RS_* state to a value as listed above. Setting a state to the value it has is allowed and is
    // no error; states are applied to the draws that follow.
    virtual DeviceResult SetRenderState(uint32_t state, uint32_t value) = 0;
    // SAMP_* state of sampler `sampler` (0 to 15).
    virtual DeviceResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) = 0;
    // Pixels outside `rect` are not drawn while RS_SCISSORTESTENABLE is 1.
    virtual DeviceResult SetScissorRect(const DeviceRect& rect) = 0;
    // Binds a texture to stage 0 to 7 (0: none; stage 0 without a texture gives the vertex colour,
    // or white without one). Stage 0 modulates texture colour and alpha with the diffuse colour.
    virtual DeviceResult SetTexture(uint32_t stage, DeviceTexture texture) = 0;
    // The vertex format of the stream's vertices (FVF_* bits).
    virtual DeviceResult SetFVF(uint32_t fvf) = 0;

    // A vertex buffer of `length` bytes; usage USAGE_* bits, pool POOL_*. Its contents start
    // undefined.
    virtual DeviceResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                            DeviceBuffer& buffer) = 0;
    // Memory for bytes [offset, offset + size) of the buffer (size 0: to the end), writable until
    // Unlock. LOCK_DISCARD (dynamic buffers) gives fresh memory whose contents are undefined. A
    // second lock before Unlock fails.
    virtual DeviceResult LockVertexBuffer(DeviceBuffer buffer, uint32_t offset, uint32_t size, void*& data,
                                          uint32_t flags) = 0;
    virtual DeviceResult UnlockVertexBuffer(DeviceBuffer buffer) = 0;
    virtual void ReleaseVertexBuffer(DeviceBuffer buffer) = 0;
    // Draws read vertices of stream 0 from `offset` bytes into the buffer, one every `stride` bytes.
    virtual DeviceResult SetStreamSource(uint32_t stream, DeviceBuffer buffer, uint32_t offset, uint32_t stride) = 0;
    // Draws `primitiveCount` primitives of PT_* `type` from the stream, starting at vertex
    // `startVertex`, with the current states, texture and FVF: a point list takes 1 vertex per
    // primitive, a line list 2, a line strip 1 after the first, a triangle list 3, a strip or a fan 1
    // after the first two. Fails outside BeginScene/EndScene, without a stream, without an FVF, or
    // when the vertices needed pass the end of the buffer (nothing is drawn then).
    virtual DeviceResult DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) = 0;

    // A texture of width x height texels (each 1 or more), `levels` mip levels (1 here), usage 0,
    // format FMT_A8R8G8B8, pool POOL_MANAGED. Sizes beyond the caps' maxima fail.
    virtual DeviceResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                       uint32_t format, uint32_t pool, DeviceTexture& texture) = 0;
    // The whole level: `locked.pitch` bytes per row (at least width x 4), rows top to bottom, each
    // texel 4 bytes in the memory order blue, green, red, alpha. LOCK_DISCARD: contents undefined.
    virtual DeviceResult LockRect(DeviceTexture texture, uint32_t level, LockedRect& locked, uint32_t flags) = 0;
    virtual DeviceResult UnlockRect(DeviceTexture texture, uint32_t level) = 0;
    virtual void ReleaseTexture(DeviceTexture texture) = 0;
};

// The device the program draws with; set once at start-up (tests install their own). None: the
// renderer keeps its bookkeeping and draws nothing.
struct RenderDevicePort {
    RenderDevice* device = nullptr;
};
extern RenderDevicePort g_renderDevicePort;

void SetRenderDevice(RenderDevice* device);
RenderDevice* GetRenderDevice();
