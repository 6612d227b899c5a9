#pragma once
// Fixed-size slots for value bodies. Scripts create a body for nearly every operation, so taking and
// returning one is a free-list pop and push; the pool keeps its chunks for reuse and counts the live
// bodies, which makes leaks visible to tests. Under AddressSanitizer every slot is a separate
// allocation instead, so the sanitizer sees each body's lifetime.

#include <cstddef>
#include <cstdint>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define SPARREL_VALUE_POOL_PASSTHROUGH 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SPARREL_VALUE_POOL_PASSTHROUGH 1
#endif
#endif
#ifndef SPARREL_VALUE_POOL_PASSTHROUGH
#define SPARREL_VALUE_POOL_PASSTHROUGH 0
#endif

// Room for one body: count, type, element list and the 8-byte scalar.
inline constexpr size_t kValuePoolSlotBytes = sizeof(void*) == 8 ? 40 : 32;
inline constexpr size_t kValuePoolChunkBytes = 64 * 1024;

struct ValuePool {
    void* freeList = nullptr;  // returned slots, linked through their first bytes
    char* carve = nullptr;     // untouched rest of the newest chunk
    char* carveEnd = nullptr;
    void* chunks = nullptr;  // every chunk, linked through its first bytes
    size_t chunkCount = 0;
    size_t liveBodies = 0;
};
extern ValuePool g_valuePool;

void InitValuePool();
// Gives the chunks back to the system; only when no body is alive (otherwise nothing happens).
void ResetValuePool();

void* ValuePoolAllocateSlow();

inline void* ValuePoolAllocate() {
    ++g_valuePool.liveBodies;
#if SPARREL_VALUE_POOL_PASSTHROUGH
    return ::operator new(kValuePoolSlotBytes);
#else
    void* slot = g_valuePool.freeList;
    if (slot != nullptr) {
        g_valuePool.freeList = *static_cast<void**>(slot);
        return slot;
    }
    return ValuePoolAllocateSlow();
#endif
}

inline void ValuePoolFree(void* slot) {
    --g_valuePool.liveBodies;
#if SPARREL_VALUE_POOL_PASSTHROUGH
    ::operator delete(slot);
#else
    *static_cast<void**>(slot) = g_valuePool.freeList;
    g_valuePool.freeList = slot;
#endif
}
