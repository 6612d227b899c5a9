#pragma once
// The back end over the device: start-up, frames, the state cache, drawing one vertex array,
// textures, the full-screen switch and recovery of a lost device. The rest of the engine reaches it
// through the RenderBackend table.

#include <cstdint>

#include "render/device.h"
#include "render/matrix.h"
#include "render/render_state.h"
#include "render/texture.h"
#include "render/vertex.h"

struct RenderBackend {
    void (*BeginFrame)();
    void (*EndFrame)();
    TextureHandle* (*CreateTextureFromImage)(Image* image);
    TextureHandle* (*CreateTexture)(uint32_t width, uint32_t height);
    void (*UpdateTexture)(TextureHandle* handle);
    // Releases the device texture, the image and the record.
    void (*ReleaseTexture)(TextureHandle* handle);
    void (*SetTexture)(const TextureHandle* handle);
    void (*SetWorldTransform)(const Matrix4& matrix);
    void (*SetViewTransform)(const Matrix4& matrix);
    void (*SetProjectionTransform)(const Matrix4& matrix);
    void (*GetDefaultRenderState)(RenderStateBlock& block);
    void (*SetDefaultRenderState)(const RenderStateBlock& block);
    void (*DrawMesh)(const uint8_t* vertices, uint32_t vertexCount, uint32_t vertexType, uint32_t vertexLayout,
                     const RenderStateBlock& states, const TextureHandle* texture);
};
extern RenderBackend g_renderBackend;

inline constexpr uint32_t kVertexBufferBytes = 1048576;

struct RendererState {
    RenderDevice* device;  // null: bookkeeping only, nothing drawn
    void* window;
    DeviceCaps caps;
    PresentParameters present;
    DeviceBuffer vertexBuffers[kVertexTypeCount];  // one per vertex type with a row
    RenderStateBlock defaultStates;
    RenderStateBlock cache;  // what the device was last sent
    // A reset that failed: the device waits for the next recovery whatever its test says.
    bool resetPending;
    // Back-buffer size and window styles kept while full screen.
    uint32_t savedWidth, savedHeight;
    int32_t savedStyle, savedExStyle;
    uint32_t screenWidth, screenHeight;
};
extern RendererState g_renderer;

// Forgets the device (without calling it) and every state; the table points at the back end.
void ResetRenderer();
// Creates the device on `device` for `window`, its vertex buffers, and applies the default states.
void InitRenderer(void* window, RenderDevice* device);
// The fixed camera: view, projection and world.
void SetCamera();

void BeginFrame();
void EndFrame();
void DrawMesh(const uint8_t* vertices, uint32_t vertexCount, uint32_t vertexType, uint32_t vertexLayout,
              const RenderStateBlock& states, const TextureHandle* texture);

// Primitives of `layout` for n vertices; may be 0 or negative for too few vertices.
int64_t PrimitiveCount(uint32_t layout, uint32_t vertexCount);

// True when the frame must not draw: the device reports itself lost or not reset, or a reset failed.
bool IsDeviceLost();
void RecoverDevice();
bool IsWindowed();
void SetFullscreen();
void SetWindowed();

// Largest texture side the device takes (kMaxImageSide without a device).
uint32_t MaxTextureSide();

void ApplyAllStates(const RenderStateBlock& block);
void ApplyChangedStates(const RenderStateBlock& block);

void RenderD3D9_UpdateTexture(TextureHandle* handle);

// Window constants of the mode switch (user32).
inline constexpr int32_t kWindowStyle = 0x00CA0000;
inline constexpr int kWindowLeft = 650, kWindowTop = 150;
