#include "render/queue.h"

#include <cstring>

#include "base/console.h"
#include "render/backend.h"
#include "render/device.h"
#include "render/vertex.h"

Queue2D g_queue2D;

namespace {

MeshBatch* Batches() {
    return static_cast<MeshBatch*>(g_queue2D.batches);
}

uint32_t BatchCount() {
    return g_queue2D.batches != nullptr ? VectorCount(g_queue2D.batches) : 0;
}

MeshBatch* FindBatch(uint32_t vertexType, uint32_t vertexLayout, uint8_t priority, const RenderStateBlock& states,
                     const TextureHandle* texture) {
    // Line strips joined end to end would draw a line between them.
    if (vertexLayout == PT_LINESTRIP) return nullptr;
    MeshBatch* batches = Batches();
    const uint32_t count = BatchCount();
    for (uint32_t i = 0; i < count; ++i) {
        MeshBatch& b = batches[i];
        if (b.texture == texture && b.renderPriority == priority && b.vertexType == vertexType &&
            b.vertexLayout == vertexLayout && b.states == states) {
            return &b;
        }
    }
    return nullptr;
}

void ReportNotQueued(const uint8_t* vertices, uint32_t vertexCount, uint8_t priority) {
    ConsolePrintf(
        "\nredblack{Queue2D error:} yellowblack{Out of memory, mesh at} aquablack{0x%08X} yellowblack{with} "
        "aquablack{%u} yellowblack{vertices and Render Priority of} aquablack{%u} yellowblack{was not queued}",
        static_cast<unsigned>(reinterpret_cast<uintptr_t>(vertices)), vertexCount, static_cast<unsigned>(priority));
}

void Transform2D(uint8_t* vertex, const Matrix4& w) {
    float p[2];
    std::memcpy(p, vertex, sizeof p);
    const float h = w.m[0][3] * p[0] + w.m[1][3] * p[1] + w.m[3][3];
    const float x = (w.m[0][0] * p[0] + w.m[1][0] * p[1] + w.m[3][0]) / h;
    const float y = (w.m[0][1] * p[0] + w.m[1][1] * p[1] + w.m[3][1]) / h;
    p[0] = x;
    p[1] = y;
    std::memcpy(vertex, p, sizeof p);
}

}  // namespace

void InitQueue2D() {
    ResetQueue2D();
    g_queue2D.heap = FixedHeapInit(g_queue2D.region, kRenderQueueHeapBytes);
    if (g_queue2D.heap != nullptr) g_queue2D.batches = VectorCreate(g_queue2D.heap, 0, 1, sizeof(MeshBatch));
}

void ResetQueue2D() {
    g_queue2D.heap = nullptr;
    g_queue2D.batches = nullptr;
}

uint32_t QueuedBatchCount() {
    return BatchCount();
}

void QueueMesh(const uint8_t* vertices, uint32_t vertexCount, uint32_t vertexType, uint32_t vertexLayout,
               const Matrix4& world, uint8_t renderPriority, const RenderStateBlock& states,
               const TextureHandle* texture) {
    if (g_queue2D.batches == nullptr || vertices == nullptr || vertexCount == 0) return;
    const uint32_t size = VertexSizeOf(vertexType);
    if (size == 0) return;

    MeshBatch* batch = FindBatch(vertexType, vertexLayout, renderPriority, states, texture);
    if (batch == nullptr) {
        MeshBatch fresh{};
        fresh.renderPriority = renderPriority;
        fresh.vertexType = vertexType;
        fresh.vertexLayout = vertexLayout;
        fresh.states = states;
        fresh.texture = texture;
        const uint64_t capacity = uint64_t{vertexCount} * 2;
        fresh.vertices = capacity <= UINT32_MAX
                             ? VectorCreate(g_queue2D.heap, 0, static_cast<uint32_t>(capacity), size)
                             : nullptr;
        if (fresh.vertices == nullptr) return;
        batch = static_cast<MeshBatch*>(VectorAppend(g_queue2D.batches, &fresh, 1));
        if (batch == nullptr) {
            VectorFree(fresh.vertices);
            ReportNotQueued(vertices, vertexCount, renderPriority);
            return;
        }
    }
    const uint32_t first = VectorCount(batch->vertices);
    if (VectorAppend(batch->vertices, vertices, vertexCount) == nullptr) {
        ReportNotQueued(vertices, vertexCount, renderPriority);
        return;
    }
    uint8_t* appended = static_cast<uint8_t*>(batch->vertices) + uint64_t{first} * size;
    for (uint32_t i = 0; i < vertexCount; ++i)
        Transform2D(appended + uint64_t{i} * size, world);
}

void FlushQueue() {
    g_renderBackend.SetWorldTransform(kIdentityMatrix);
    const uint32_t count = BatchCount();
    MeshBatch* batches = Batches();
    auto draw = [](MeshBatch& b) {
        // The 2D queue never uses the depth buffer.
        RenderStateBlock states = b.states;
        states.zTest = false;
        states.zWrite = false;
        g_renderBackend.DrawMesh(static_cast<const uint8_t*>(b.vertices), VectorCount(b.vertices), b.vertexType,
                                 b.vertexLayout, states, b.texture);
    };
    if (count == 1) {
        draw(batches[0]);
    } else {
        for (int priority = 0; priority <= 255; ++priority) {
            for (uint32_t i = 0; i < count; ++i) {
                if (batches[i].renderPriority == priority) draw(batches[i]);
            }
        }
    }
    g_renderBackend.EndFrame();
    for (uint32_t i = 0; i < count; ++i)
        VectorFree(batches[i].vertices);
    if (g_queue2D.batches != nullptr) VectorClearHalve(g_queue2D.batches);
}
