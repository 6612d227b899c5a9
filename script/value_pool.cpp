#include "script/value_pool.h"

#include <cstdlib>

ValuePool g_valuePool;

void InitValuePool() {
    g_valuePool = ValuePool{};
}

void ResetValuePool() {
    if (g_valuePool.liveBodies != 0) return;
    void* chunk = g_valuePool.chunks;
    while (chunk != nullptr) {
        void* next = *static_cast<void**>(chunk);
        std::free(chunk);
        chunk = next;
    }
    g_valuePool = ValuePool{};
}

void* ValuePoolAllocateSlow() {
    if (g_valuePool.carve == g_valuePool.carveEnd) {
        char* chunk = static_cast<char*>(std::malloc(kValuePoolChunkBytes));
        if (chunk == nullptr) throw std::bad_alloc();
        *reinterpret_cast<void**>(chunk) = g_valuePool.chunks;
        g_valuePool.chunks = chunk;
        ++g_valuePool.chunkCount;
        // The chunk link takes the first slot; the rest are handed out in order.
        g_valuePool.carve = chunk + kValuePoolSlotBytes;
        g_valuePool.carveEnd = chunk + (kValuePoolChunkBytes / kValuePoolSlotBytes) * kValuePoolSlotBytes;
    }
    void* slot = g_valuePool.carve;
    g_valuePool.carve += kValuePoolSlotBytes;
    return slot;
}
