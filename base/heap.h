#pragma once
// Fixed-size first-fit heaps in static storage, and the growable arrays kept in them.
//
// A heap is one region: a FixedHeap header, then a chain of blocks that tiles the rest of the region
// exactly. Each block is a HeapBlockHeader followed by its payload. Allocation walks the chain
// first-fit and splits; release only clears the in-use flag, and free neighbours are merged by the
// next search or reallocation that walks over them. A heap never grows.
//
// A vector's handle points to its first element; its HeapVector header sits right in front of it,
// at the start of the block's payload. Operations that may move a vector take the handle by
// reference and update it.
//
// Layout on a 32-bit build: heap header 12 bytes, block header 8 bytes, vector header 16 bytes,
// block sizes exactly as requested (so headers may sit on unaligned addresses).
// Layout on a 64-bit build: the vector header holds a 64-bit pointer, so every payload is kept
// 8-byte aligned: heap header 16 bytes (4 bytes of padding), block header 8 bytes, vector header
// 24 bytes (4 bytes of padding), block sizes rounded up to a multiple of 8 and the region's usable
// length rounded down to one. Only the byte counts reported in messages differ between the two;
// heap addresses in messages are the low 32 bits of the address.

#include <cstdint>
#include <cstring>

// Unit to which block sizes are rounded up: 1 (no rounding) on 32-bit builds.
inline constexpr uint32_t kHeapSizeUnit = sizeof(void*) == 4 ? 1 : 8;

struct alignas(sizeof(void*) == 4 ? 4 : 8) FixedHeap {
    uint32_t totalBytes;     // whole region, header included
    uint32_t capacityBytes;  // total bytes minus the header; set once, not used afterwards
    uint32_t freeEstimate;   // only reported in messages, never trusted for decisions
};

struct HeapBlockHeader {
    uint32_t size;  // payload bytes; the next block starts header + size bytes after this one
    uint8_t inUse;
    uint8_t unused[3];
};

struct HeapVector {
    FixedHeap* heap;
    uint32_t count;
    uint32_t capacity;
    uint32_t elementSize;
};

inline constexpr uint32_t kHeapHeaderBytes = sizeof(FixedHeap);
inline constexpr uint32_t kHeapBlockHeaderBytes = sizeof(HeapBlockHeader);
inline constexpr uint32_t kVectorHeaderBytes = sizeof(HeapVector);
// Regions handed to FixedHeapInit must be aligned to this (declare them alignas(FixedHeap)).
inline constexpr uint32_t kHeapRegionAlignment = alignof(FixedHeap);

static_assert(kHeapBlockHeaderBytes == 8);
static_assert(sizeof(void*) != 4 || (kHeapHeaderBytes == 12 && kVectorHeaderBytes == 16));
static_assert(kHeapHeaderBytes % kHeapSizeUnit == 0 && kVectorHeaderBytes % kHeapSizeUnit == 0);

// The program's three heaps: render queue, render system, text.
inline constexpr uint32_t kRenderQueueHeapBytes = 1048576;
inline constexpr uint32_t kRenderSystemHeapBytes = 1048576;
inline constexpr uint32_t kTextHeapBytes = 0x4000;

// Lays a heap over `region` with one free block spanning it. Returns null (and leaves the region
// alone) when the region is misaligned or too small to hold the header and one block header.
FixedHeap* FixedHeapInit(void* region, uint32_t totalBytes);

// First fit with forward merging of free blocks; prints a memory error and returns null if none fits.
// On 32-bit builds the header may be unaligned: copy it out rather than reading it in place.
HeapBlockHeader* FixedHeapFindFree(FixedHeap* heap, uint32_t size);
void* FixedHeapAlloc(FixedHeap* heap, uint32_t size);
// Null `payload` allocates. Grows or shrinks in place when the following free space allows, else
// moves; on failure returns null and the old block stays allocated and unchanged.
void* FixedHeapRealloc(FixedHeap* heap, void* payload, uint32_t newSize);
// Null is ignored.
void FixedHeapFree(FixedHeap* heap, void* payload);

// Returns the handle (first element) or null. The elements are not cleared.
void* VectorCreate(FixedHeap* heap, uint32_t count, uint32_t reserve, uint32_t elementSize);
// Grows the room to `newCapacity` elements, zero-filling the new slots; a smaller or equal capacity
// succeeds without change. On failure the vector is left as it was.
bool VectorReserve(void*& handle, uint32_t newCapacity);
// Copies `n` elements behind the last one, growing to 1.5 x (capacity + n) when full. Returns the
// first appended element, or null (nothing appended) when the vector cannot grow.
void* VectorAppend(void*& handle, const void* source, uint32_t n);
// Sets the element count; growing past the room reserves exactly `count` (new elements zeroed). On
// failure the vector is left as it was.
bool VectorSetCount(void*& handle, uint32_t count);
// Empties the vector and halves its room in place; the handle stays valid.
void VectorClearHalve(void* handle);
// Null is ignored.
void VectorFree(void* handle);

// A copy of the header of the vector at `handle` (the header may be unaligned on 32-bit builds).
inline HeapVector VectorHeader(const void* handle) {
    HeapVector header;
    std::memcpy(&header, static_cast<const unsigned char*>(handle) - kVectorHeaderBytes, sizeof header);
    return header;
}
inline uint32_t VectorCount(const void* handle) {
    return VectorHeader(handle).count;
}
