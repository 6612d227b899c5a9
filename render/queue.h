#pragma once
// The 2D render queue: meshes handed over during a frame, transformed on the CPU and merged into
// batches of equal texture, priority, vertex type, layout and states, drawn at the frame's end by
// render priority with one draw call each.

#include <cstdint>

#include "base/heap.h"
#include "render/matrix.h"
#include "render/render_state.h"
#include "render/texture.h"

struct MeshBatch {
    uint8_t renderPriority;
    uint32_t vertexType;
    uint32_t vertexLayout;
    RenderStateBlock states;
    const TextureHandle* texture;
    void* vertices;  // growable array in the queue heap, elements of the type's size
};

struct Queue2D {
    alignas(FixedHeap) unsigned char region[kRenderQueueHeapBytes];
    FixedHeap* heap;
    void* batches;  // growable array of MeshBatch in the queue heap
};
extern Queue2D g_queue2D;

// The queue heap and an empty batch array (capacity 1).
void InitQueue2D();
// Without a heap or batches (tests).
void ResetQueue2D();

// Copies the mesh into the batch it joins (or a new one), transformed by `world` in two dimensions.
// Meshes of vertex types without a size, and line strips into an existing batch, are never merged.
void QueueMesh(const uint8_t* vertices, uint32_t vertexCount, uint32_t vertexType, uint32_t vertexLayout,
               const Matrix4& world, uint8_t renderPriority, const RenderStateBlock& states,
               const TextureHandle* texture);
// Draws every batch by priority 0 to 255 (queue order within one), ends the frame and empties the
// queue.
void FlushQueue();

uint32_t QueuedBatchCount();
