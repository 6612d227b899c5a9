// The back end and the queue against the recording device: the calls of start-up, of a frame, of
// the mode switch and of a lost device, the state cache, and the texture slots' reference counts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "base/input_state.h"
#include "ecs/entity.h"
#include "ecs/movement.h"
#include "ecs/render_system.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/recording_render_device.h"
#include "render/backend.h"
#include "render/queue.h"
#include "render/texture.h"
#include "tests/support/capture_console.h"
#include "tests/support/png_writer.h"
#include "tests/support/temp_dir.h"

namespace {

using Calls = std::vector<std::string>;

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousPlatform_ = g_platform.platform;
        SetPlatform(&platform_);
        ResetGame();
        InitQueue2D();
        InitRenderer(&platform_, &device_);
        SetCamera();
        device_.Take();
    }
    void TearDown() override {
        ResetGame();
        SetPlatform(previousPlatform_);
    }

    // Two triangles of a coloured, pre-transformed quad at (x, y).
    static std::vector<uint8_t> Quad(float x, float y) {
        std::vector<uint8_t> bytes;
        const float corners[6][2] = {{0, 0}, {8, 8}, {0, 8}, {8, 8}, {0, 0}, {8, 0}};
        for (const auto& c : corners) {
            const float v[4] = {x + c[0], y + c[1], 0, 1};
            bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(v), reinterpret_cast<const uint8_t*>(v) + 16);
            bytes.insert(bytes.end(), {255, 0, 0, 255});
        }
        return bytes;
    }
    void Queue(const std::vector<uint8_t>& mesh, uint8_t priority, const RenderStateBlock& states = {},
               uint32_t layout = PT_TRIANGLELIST) {
        QueueMesh(mesh.data(), static_cast<uint32_t>(mesh.size() / 20), VERTEX_COLOR_PT, layout,
                  MatrixTranslation(100, 50, 0), priority, states, nullptr);
    }

    HeadlessPlatform platform_;
    Platform* previousPlatform_ = nullptr;
    RecordingRenderDevice device_;
};

// Only the draws of a frame's calls, for order checks.
Calls Draws(const Calls& calls) {
    Calls draws;
    for (const std::string& call : calls) {
        if (call.rfind("DrawPrimitive", 0) == 0) draws.push_back(call);
    }
    return draws;
}

const Calls kDefaultStates = {
    "SetRenderState(137, 0)",  "SetRenderState(7, 0)",    "SetRenderState(14, 1)",   "SetRenderState(22, 3)",
    "SetRenderState(27, 1)",   "SetRenderState(171, 1)",  "SetRenderState(19, 5)",   "SetRenderState(20, 6)",
    "SetRenderState(174, 0)",  "SetScissorRect(0, 0, 0, 0)", "SetRenderState(15, 1)", "SetRenderState(24, 1)",
    "SetRenderState(25, 7)",   "SetSamplerState(0, 5, 1)", "SetSamplerState(0, 6, 1)", "SetSamplerState(0, 7, 0)",
    "SetRenderState(8, 3)",
};

TEST_F(RendererTest, StartUpCreatesTheDeviceItsBuffersTheDefaultStatesAndTheCamera) {
    ResetRenderer();
    InitRenderer(&platform_, &device_);
    SetCamera();
    Calls expected = {
        "GetAdapterCaps",
        "CreateDevice(0x42, 0, 0, true, true, 80, 0x1, 0x80000000)",
        "CreateVertexBuffer(1048576, 0x208, 0x44, 0, 7)",
        "CreateVertexBuffer(1048576, 0x208, 0x42, 0, 8)",
        "CreateVertexBuffer(1048576, 0x208, 0x104, 0, 9)",
        "CreateVertexBuffer(1048576, 0x208, 0x102, 0, 10)",
        "CreateVertexBuffer(1048576, 0x208, 0x144, 0, 11)",
        "CreateVertexBuffer(1048576, 0x208, 0x142, 0, 12)",
        "GetDeviceCaps",
    };
    expected.insert(expected.end(), kDefaultStates.begin(), kDefaultStates.end());
    expected.insert(expected.end(), {"SetTransform(2)", "SetTransform(3)", "SetTransform(256)"});
    EXPECT_EQ(device_.Take(), expected);
    // The creation wrote the window's client size back; the camera maps pixel (px, py) to (px, -py).
    EXPECT_EQ(g_renderer.present.backBufferWidth, 640u);
    EXPECT_FLOAT_EQ(device_.projection.m[0][0], 2 / 639.5f);
    EXPECT_FLOAT_EQ(device_.view.m[3][0], -320);
    EXPECT_FLOAT_EQ(device_.view.m[3][1], 240);
}

TEST_F(RendererTest, StatesAreSentOnlyWhenTheyDifferFromTheCache) {
    RenderStateBlock block;
    ApplyChangedStates(block);
    EXPECT_EQ(device_.Take(), Calls{});
    block.alphaRef = 9;
    block.destBlend = 1;
    block.scissorTop = 3;
    block.shadeMode = 1;
    ApplyChangedStates(block);
    ApplyChangedStates(block);
    // Both blend factors go together, the rectangle whole; shade mode only here.
    EXPECT_EQ(device_.Take(), (Calls{"SetRenderState(9, 2)", "SetRenderState(19, 5)", "SetRenderState(20, 2)",
                                     "SetScissorRect(0, 3, 0, 0)", "SetRenderState(24, 9)"}));
}

TEST_F(RendererTest, MeshesBatchByKeyAndDrawByPriority) {
    const std::vector<uint8_t> quad = Quad(0, 0);
    RenderStateBlock otherRef;
    otherRef.alphaRef = 2;
    Queue(quad, 255);
    Queue(quad, 30);
    Queue(quad, 30);            // joins the batch before it
    Queue(quad, 30, otherRef);  // another state block: a batch of its own
    Queue(quad, 0, {}, PT_LINESTRIP);
    Queue(quad, 0, {}, PT_LINESTRIP);  // strips never merge
    EXPECT_EQ(QueuedBatchCount(), 5u);
    const MeshBatch* batches = static_cast<const MeshBatch*>(g_queue2D.batches);
    EXPECT_EQ(VectorCount(batches[1].vertices), 12u);
    // Moved by the world matrix on the CPU.
    float moved[2];
    std::memcpy(moved, static_cast<const uint8_t*>(batches[1].vertices) + 20, sizeof moved);
    EXPECT_EQ(moved[0], 108);
    EXPECT_EQ(moved[1], 58);

    BeginFrame();
    FlushQueue();
    const Calls calls = device_.Take();
    EXPECT_EQ(Draws(calls), (Calls{"DrawPrimitive(3, 0, 5)", "DrawPrimitive(3, 0, 5)", "DrawPrimitive(4, 0, 4)",
                                   "DrawPrimitive(4, 0, 2)", "DrawPrimitive(4, 0, 2)"}));
    // One batch's calls in full: the queue never uses the depth buffer.
    const Calls first(calls.begin(), calls.begin() + 12);
    EXPECT_EQ(first, (Calls{"Clear(1, 0xFF000000, 1, 0)", "Clear(2, 0xFF000000, 1, 0)", "BeginScene",
                            "SetTransform(256)", "SetRenderState(14, 0)", "SetTexture(0, 0)", "SetFVF(0x44)",
                            "LockVertexBuffer(1, 0, 0, 0x2000)", "UnlockVertexBuffer(1)",
                            "SetStreamSource(0, 1, 0, 20)", "DrawPrimitive(3, 0, 5)", "SetTexture(0, 0)"}));
    EXPECT_EQ(calls[calls.size() - 2], "EndScene");
    EXPECT_EQ(calls.back(), "Present");
    EXPECT_EQ(QueuedBatchCount(), 0u);
    EXPECT_EQ(device_.DrawCount(), 5u);
}

TEST_F(RendererTest, MeshesBetweenThePlayfieldPrioritiesAreMovedIntoItAndClipped) {
    const uint8_t priorities[3] = {20, 21, 80};
    for (uint8_t priority : priorities) {
        const EntityId id = CreateEntity(true);
        AddMovement(id)->x = 5;
        RebuildTransform(*LookupMovement(id));
        RenderComponent& c = *AddRenderComponent(id);
        c.vertexType = VERTEX_COLOR_PT;
        SetVertexCount(c, id, 3);
        c.renderPriority = priority;
    }
    RenderSystemDraw();
    ASSERT_EQ(QueuedBatchCount(), 3u);
    const MeshBatch* batches = static_cast<const MeshBatch*>(g_queue2D.batches);
    float x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        std::memcpy(&x[i], batches[i].vertices, 4);
        std::memcpy(&y[i], static_cast<const uint8_t*>(batches[i].vertices) + 4, 4);
    }
    EXPECT_EQ(x[0], 5);
    EXPECT_EQ(x[1], 37);
    EXPECT_EQ(y[1], 16);
    EXPECT_EQ(x[2], 5);
    EXPECT_FALSE(batches[0].states.scissorEnable);
    EXPECT_TRUE(batches[1].states.scissorEnable);
    EXPECT_EQ(batches[1].states.scissorRight, 416);
    EXPECT_EQ(batches[1].states.scissorBottom, 464);
    // The component's own position and states are as they were.
    EXPECT_EQ(g_renderSystem.store.records[1].x, 0);
    EXPECT_FALSE(g_renderSystem.store.records[1].states.scissorEnable);
}

TEST_F(RendererTest, TooFewVerticesOrAnUnknownTypeDrawNothing) {
    const std::vector<uint8_t> quad = Quad(0, 0);
    CaptureConsole console;
    BeginFrame();
    DrawMesh(quad.data(), 2, VERTEX_COLOR_PT, PT_TRIANGLELIST, {}, nullptr);  // 2 / 3 = 0 triangles
    DrawMesh(quad.data(), 1, VERTEX_COLOR_PT, PT_TRIANGLESTRIP, {}, nullptr);  // 1 - 2 wraps
    DrawMesh(quad.data(), 6, 2, PT_TRIANGLELIST, {}, nullptr);
    EndFrame();
    EXPECT_EQ(device_.DrawCount(), 0u);
    EXPECT_NE(console.Text().find("VertexD3D9_GetFVFFromFormat encountered invalid vertex format"), std::string::npos);
}

TEST_F(RendererTest, TheFullscreenKeySwitchesAndSwitchesBack) {
    HandleKeyDown(kFullscreenKey, false);
    RunFrame();
    Calls calls = device_.Take();
    const Calls reset(calls.begin() + 1, calls.begin() + 9);
    EXPECT_EQ(reset, (Calls{"TestCooperativeLevel", "ReleaseVertexBuffer(1)", "ReleaseVertexBuffer(2)",
                            "ReleaseVertexBuffer(3)", "ReleaseVertexBuffer(4)", "ReleaseVertexBuffer(5)",
                            "ReleaseVertexBuffer(6)", "Reset(640, 480, false)"}));
    EXPECT_FALSE(IsWindowed());
    RunFrame();  // held, not pushed: no second switch
    EXPECT_FALSE(IsWindowed());

    HandleKeyUp(kFullscreenKey);
    RunFrame();
    HandleKeyDown(kFullscreenKey, false);
    RunFrame();
    EXPECT_TRUE(IsWindowed());
    EXPECT_EQ(g_renderer.present.backBufferWidth, 640u);
    const HeadlessPlatform::WindowPlacement& placement = platform_.LastWindowPlacement();
    EXPECT_EQ(placement.width, 640);
    EXPECT_EQ(placement.height, 480);
    EXPECT_EQ(placement.insertAfter, kWindowNoTopmost);
    EXPECT_EQ(placement.flags, 0x36u);
    EXPECT_EQ(platform_.GetWindowLong(nullptr, kWindowLongStyle), kWindowStyle);
    EXPECT_EQ(device_.LiveBuffers(), 6u);
}

TEST_F(RendererTest, ALostDeviceSkipsFramesWaitsAndIsResetWhenItCanBe) {
    device_.cooperativeLevel = kDeviceLost;
    const uint32_t before = platform_.TimeGetTime();
    RunFrame();
    EXPECT_EQ(device_.Take(), (Calls{"TestCooperativeLevel", "TestCooperativeLevel", "TestCooperativeLevel"}));
    EXPECT_EQ(platform_.TimeGetTime() - before, kLostDeviceWaitMilliseconds);
    EXPECT_EQ(g_frameLoop.frameCounter, 0);

    // The device can be reset, but the reset fails: the frame waits and the next one tries again.
    device_.cooperativeLevel = kDeviceNotReset;
    device_.resetResult = kDeviceInvalidCall;
    RunFrame();
    EXPECT_TRUE(g_renderer.resetPending);
    device_.resetResult = kDeviceOk;
    device_.Take();
    RunFrame();
    // The buffers went before the failed reset; they come back after the good one, with the states
    // and the camera (a reset forgets the transforms too).
    Calls calls = device_.Take();
    ASSERT_EQ(calls.size(), 12u + kDefaultStates.size());
    EXPECT_EQ(calls[0], "TestCooperativeLevel");
    EXPECT_EQ(calls[1], "Reset(640, 480, true)");
    EXPECT_EQ(calls[2], "CreateVertexBuffer(1048576, 0x208, 0x44, 0, 7)");
    EXPECT_EQ(Calls(calls.begin() + 8, calls.end() - 4), kDefaultStates);
    EXPECT_EQ(Calls(calls.end() - 4, calls.end() - 1),
              (Calls{"SetTransform(2)", "SetTransform(3)", "SetTransform(256)"}));
    EXPECT_EQ(calls.back(), "TestCooperativeLevel");
    EXPECT_FALSE(IsDeviceLost());
    RunFrame();
    EXPECT_EQ(g_frameLoop.frameCounter, 1);
}

TEST_F(RendererTest, TexturesAreCountedSharedByExactPathAndPaddedToPowersOfTwo) {
    TempDir folder;
    folder.WriteFile("img/a.png", SolidPng(100, 30, 10, 20, 30, 255));
    folder.WriteFile("IMG/A.PNG", SolidPng(1, 1, 0, 0, 0, 255));
    ScopedWorkingDirectory inFolder(folder.Path());

    TextureHandle* a = LoadScriptTexture("img/a.png");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(LoadScriptTexture("img/a.png"), a);
    EXPECT_NE(LoadScriptTexture("IMG/A.PNG"), a);
    EXPECT_EQ(FindTextureSlot("img/a.png")->referenceCount, 2);
    EXPECT_EQ(a->textureWidth, 128);
    EXPECT_EQ(a->textureHeight, 32);
    const std::vector<uint8_t>& texels = *device_.TextureTexels(a->texture);
    EXPECT_EQ(texels[0], 30);  // blue first
    EXPECT_EQ(texels[2], 10);
    EXPECT_EQ(texels[100 * 4 + 3], 0);           // past the image's right edge
    EXPECT_EQ(texels[30 * 128 * 4 + 3], 0);      // below it

    // A holder given the handle (a component) takes its own reference; the script's removals give
    // back only the script's, so the holder's texture stays.
    AddTextureHandleReference(a);
    RemoveTexture("img/a.png");
    RemoveTexture("img/a.png");
    RemoveTexture("img/a.png");
    ASSERT_NE(FindTextureSlot("img/a.png"), nullptr);
    EXPECT_EQ(FindTextureSlot("img/a.png")->referenceCount, 1);
    ReleaseTextureHandle(a);
    EXPECT_EQ(FindTextureSlot("img/a.png"), nullptr);
    EXPECT_EQ(device_.LiveTextures(), 1u);

    folder.WriteFile("wide.png", SolidPng(4097, 1, 0, 0, 0, 0));
    CaptureConsole console;
    EXPECT_EQ(GetTexture("wide.png"), nullptr);
    EXPECT_EQ(GetTexture("img/missing.png"), nullptr);
    EXPECT_EQ(FindTextureSlot("img/missing.png"), nullptr);
    EXPECT_EQ(GetTexture(std::string(300, 'x').c_str()), nullptr);
    for (int i = 0; i < kTextureSlots; ++i) {
        const std::string path = "t" + std::to_string(i) + ".png";
        folder.WriteFile(path, SolidPng(1, 1, 0, 0, 0, 0));
        if (i < kTextureSlots - 1) EXPECT_NE(GetTexture(path.c_str()), nullptr);
        else EXPECT_EQ(GetTexture(path.c_str()), nullptr);
    }
    EXPECT_EQ(console.Text(),
              "\nImage error: Image wide.png of 4097x1 is larger than the largest texture 4096x4096"
              "\nImage error: Unable to allocate enough memory to read image img/missing.png"
              "\nTextureMgr error: Texture path longer than 255 characters: " + std::string(64, 'x') + "..."
              "\nTextureMgr error: Out of Texture Slots (Limit = 64)");
}

}  // namespace
