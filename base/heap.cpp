#include "base/heap.h"

#include <algorithm>
#include <cstddef>

#include "base/console.h"

namespace {

// Offsets and requested sizes are carried in 64 bits, so a size near 4 GiB plus a header can never
// wrap around into a small number and pass a bounds check.

unsigned char* Base(FixedHeap* heap) {
    return reinterpret_cast<unsigned char*>(heap);
}

uint64_t OffsetOf(FixedHeap* heap, const unsigned char* at) {
    return static_cast<uint64_t>(at - Base(heap));
}

// Block headers are read and written bytewise: on 32-bit builds they may sit on any address.
uint32_t BlockSize(const unsigned char* block) {
    uint32_t size;
    std::memcpy(&size, block + offsetof(HeapBlockHeader, size), sizeof size);
    return size;
}

void SetBlockSize(unsigned char* block, uint32_t size) {
    std::memcpy(block + offsetof(HeapBlockHeader, size), &size, sizeof size);
}

bool BlockInUse(const unsigned char* block) {
    return block[offsetof(HeapBlockHeader, inUse)] != 0;
}

void SetBlockInUse(unsigned char* block, bool inUse) {
    block[offsetof(HeapBlockHeader, inUse)] = inUse ? 1 : 0;
}

void WriteBlock(unsigned char* block, uint32_t size, bool inUse) {
    HeapBlockHeader header{size, static_cast<uint8_t>(inUse ? 1 : 0), {0, 0, 0}};
    std::memcpy(block, &header, sizeof header);
}

uint64_t RoundedSize(uint64_t size) {
    return (size + kHeapSizeUnit - 1) / kHeapSizeUnit * kHeapSizeUnit;
}

uint32_t AddressForMessage(const void* address) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
}

// Absorbs every free block that directly follows `block`; returns the resulting size.
uint32_t MergeForward(FixedHeap* heap, unsigned char* block) {
    const uint64_t offset = OffsetOf(heap, block);
    uint64_t size = BlockSize(block);
    for (;;) {
        const uint64_t next = offset + kHeapBlockHeaderBytes + size;
        if (next >= heap->totalBytes || BlockInUse(Base(heap) + next)) break;
        size += kHeapBlockHeaderBytes + BlockSize(Base(heap) + next);
    }
    // The chain tiles the region exactly, so the merged block still ends inside it.
    SetBlockSize(block, static_cast<uint32_t>(size));
    return static_cast<uint32_t>(size);
}

// Keeps `size` bytes in `block` and turns the rest into a free block, unless the rest would hold
// no more than an empty block.
void SplitBlock(FixedHeap* heap, unsigned char* block, uint32_t size) {
    const uint32_t have = BlockSize(block);
    const uint64_t rest = OffsetOf(heap, block) + kHeapBlockHeaderBytes + size;
    if (have > uint64_t{size} + kHeapBlockHeaderBytes && rest < heap->totalBytes) {
        SetBlockSize(block, size);
        WriteBlock(Base(heap) + rest, have - size - kHeapBlockHeaderBytes, false);
    }
}

// `request` is the rounded size; `reported` is what the caller asked for.
unsigned char* FindFree(FixedHeap* heap, uint64_t request, uint32_t reported) {
    uint64_t offset = kHeapHeaderBytes;
    while (offset + kHeapBlockHeaderBytes + request <= heap->totalBytes) {
        unsigned char* block = Base(heap) + offset;
        if (!BlockInUse(block) && MergeForward(heap, block) >= request) return block;
        offset += kHeapBlockHeaderBytes + BlockSize(block);
    }
    ConsolePrintf(
        "\nredblack{Memory error:} yellowblack{Could not find memory atleast} aquablack{%u} "
        "yellowblack{bytes large in heap} aquablack{0x%08X} yellowblack{with estimated} aquablack{%u} "
        "yellowblack{bytes left}",
        reported, AddressForMessage(heap), heap->freeEstimate);
    return nullptr;
}

// Splits a found block down to `size` and hands it out.
void* TakeBlock(FixedHeap* heap, unsigned char* block, uint32_t size) {
    SplitBlock(heap, block, size);
    SetBlockInUse(block, true);
    heap->freeEstimate -= size + kHeapBlockHeaderBytes;
    return block + kHeapBlockHeaderBytes;
}

// A payload pointer that does not lie in the heap's block area would make any header write land
// outside it.
bool PayloadInHeap(FixedHeap* heap, const void* payload) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(payload);
    const uintptr_t base = reinterpret_cast<uintptr_t>(heap);
    return at >= base + kHeapHeaderBytes + kHeapBlockHeaderBytes && at <= base + heap->totalBytes;
}

unsigned char* VectorBlock(void* handle) {
    return static_cast<unsigned char*>(handle) - kVectorHeaderBytes;
}

void StoreVectorHeader(void* handle, const HeapVector& header) {
    std::memcpy(VectorBlock(handle), &header, sizeof header);
}

bool GrowVector(void*& handle, uint64_t newCapacity) {
    HeapVector header = VectorHeader(handle);
    if (newCapacity <= header.capacity) return true;
    void* payload = nullptr;
    if (newCapacity <= UINT32_MAX) {
        const uint64_t bytes = newCapacity * header.elementSize + kVectorHeaderBytes;
        if (bytes <= UINT32_MAX) {
            payload = FixedHeapRealloc(header.heap, VectorBlock(handle), static_cast<uint32_t>(bytes));
        }
    }
    if (!payload) {
        ConsolePrintf(
            "\nredblack{Vector error:} yellowblack{Failed to reallocate a vector from} aquablack{%u} "
            "yellowblack{to} aquablack{%u} yellowblack{elements, due to} aquablack{realloc} "
            "yellowblack{failure, leaving vector as-is}",
            header.capacity, static_cast<uint32_t>(std::min<uint64_t>(newCapacity, UINT32_MAX)));
        return false;
    }
    unsigned char* elements = static_cast<unsigned char*>(payload) + kVectorHeaderBytes;
    std::memset(elements + uint64_t{header.capacity} * header.elementSize, 0,
                (newCapacity - header.capacity) * header.elementSize);
    header.capacity = static_cast<uint32_t>(newCapacity);
    handle = elements;
    StoreVectorHeader(handle, header);
    return true;
}

}  // namespace

FixedHeap* FixedHeapInit(void* region, uint32_t totalBytes) {
    const uint32_t usable = totalBytes / kHeapSizeUnit * kHeapSizeUnit;
    const bool usableRegion = region && reinterpret_cast<uintptr_t>(region) % kHeapRegionAlignment == 0 &&
                              usable >= kHeapHeaderBytes + kHeapBlockHeaderBytes;
    ENGINE_ASSERT_MSG(usableRegion, "heap region is misaligned or too small");
    if (!usableRegion) return nullptr;
    auto* heap = static_cast<FixedHeap*>(region);
    heap->totalBytes = usable;
    heap->capacityBytes = usable - kHeapHeaderBytes;
    heap->freeEstimate = usable - kHeapHeaderBytes;
    WriteBlock(Base(heap) + kHeapHeaderBytes, usable - kHeapHeaderBytes - kHeapBlockHeaderBytes, false);
    return heap;
}

HeapBlockHeader* FixedHeapFindFree(FixedHeap* heap, uint32_t size) {
    return reinterpret_cast<HeapBlockHeader*>(FindFree(heap, RoundedSize(size), size));
}

void* FixedHeapAlloc(FixedHeap* heap, uint32_t size) {
    const uint64_t request = RoundedSize(size);
    unsigned char* block = FindFree(heap, request, size);
    if (!block) {
        ConsolePrintf(
            "\nredblack{Memory error:} aquablack{malloc} yellowblack{was unable to locate} aquablack{%u} "
            "yellowblack{contiguous free bytes in heap} aquablack{0x%08X}yellowblack{, returning} "
            "aquablack{NULL}",
            size, AddressForMessage(heap));
        return nullptr;
    }
    // A found block is at least `request` bytes, so the rounded size fits in 32 bits.
    return TakeBlock(heap, block, static_cast<uint32_t>(request));
}

void* FixedHeapRealloc(FixedHeap* heap, void* payload, uint32_t newSize) {
    if (!payload) return FixedHeapAlloc(heap, newSize);
    unsigned char* block = static_cast<unsigned char*>(payload) - kHeapBlockHeaderBytes;
    const bool allocatedHere = PayloadInHeap(heap, payload) && BlockInUse(block);
    ENGINE_ASSERT_MSG(allocatedHere, "realloc of a pointer that is not an allocated block of this heap");
    if (!allocatedHere) return nullptr;
    const uint64_t request = RoundedSize(newSize);
    const uint32_t oldSize = BlockSize(block);
    SetBlockInUse(block, false);
    const uint32_t merged = MergeForward(heap, block);
    if (merged >= request) {
        SplitBlock(heap, block, static_cast<uint32_t>(request));
        SetBlockInUse(block, true);
        heap->freeEstimate += oldSize - static_cast<uint32_t>(request);
        return payload;
    }

    // Give the neighbours back and keep the block out of the search for its replacement.
    const uint64_t oldEnd = OffsetOf(heap, block) + kHeapBlockHeaderBytes + oldSize;
    if (merged > uint64_t{oldSize} + kHeapBlockHeaderBytes &&
        oldEnd + kHeapBlockHeaderBytes < heap->totalBytes) {
        SetBlockSize(block, oldSize);
        WriteBlock(Base(heap) + oldEnd, merged - oldSize - kHeapBlockHeaderBytes, false);
    }
    SetBlockInUse(block, true);

    unsigned char* moved = FindFree(heap, request, newSize);
    if (!moved) {
        ConsolePrintf(
            "\nredblack{Memory error:} aquablack{realloc} yellowblack{was unable to locate} aquablack{%u} "
            "yellowblack{contiguous free bytes in heap} aquablack{0x%08X}yellowblack{, returning} "
            "aquablack{NULL}",
            newSize, AddressForMessage(heap));
        return nullptr;
    }
    void* result = TakeBlock(heap, moved, static_cast<uint32_t>(request));
    const uint32_t currentSize = BlockSize(block);
    std::memcpy(result, payload, currentSize);
    heap->freeEstimate += currentSize + kHeapBlockHeaderBytes;
    SetBlockInUse(block, false);
    return result;
}

void FixedHeapFree(FixedHeap* heap, void* payload) {
    if (!payload) return;
    unsigned char* block = static_cast<unsigned char*>(payload) - kHeapBlockHeaderBytes;
    const bool allocatedHere = PayloadInHeap(heap, payload) && BlockInUse(block);
    ENGINE_ASSERT_MSG(allocatedHere, "free of a pointer that is not an allocated block of this heap");
    if (!allocatedHere) return;
    heap->freeEstimate += BlockSize(block) + kHeapBlockHeaderBytes;
    SetBlockInUse(block, false);
}

void* VectorCreate(FixedHeap* heap, uint32_t count, uint32_t reserve, uint32_t elementSize) {
    const uint32_t capacity = std::max(count, reserve);
    const uint64_t bytes = uint64_t{capacity} * elementSize + kVectorHeaderBytes;
    void* payload = bytes <= UINT32_MAX ? FixedHeapAlloc(heap, static_cast<uint32_t>(bytes)) : nullptr;
    if (!payload) {
        ConsolePrintf(
            "\nredblack{Vector error:} yellowblack{Failed to allocate a vector with} aquablack{%u} "
            "yellowblack{initial elements and} aquablack{%u} "
            "yellowblack{reserve capacity with an element size of} aquablack{%u}",
            count, capacity, elementSize);
        return nullptr;
    }
    void* handle = static_cast<unsigned char*>(payload) + kVectorHeaderBytes;
    StoreVectorHeader(handle, HeapVector{heap, count, capacity, elementSize});
    return handle;
}

bool VectorReserve(void*& handle, uint32_t newCapacity) {
    return handle && GrowVector(handle, newCapacity);
}

void* VectorAppend(void*& handle, const void* source, uint32_t n) {
    if (!handle) return nullptr;
    HeapVector header = VectorHeader(handle);
    if (uint64_t{header.count} + n > header.capacity) {
        const uint64_t s = uint64_t{header.capacity} + n;
        if (!GrowVector(handle, 2 * s - s / 2)) return nullptr;
        header = VectorHeader(handle);
    }
    unsigned char* first = static_cast<unsigned char*>(handle) + uint64_t{header.count} * header.elementSize;
    if (n > 0) std::memcpy(first, source, uint64_t{n} * header.elementSize);
    header.count += n;
    StoreVectorHeader(handle, header);
    return first;
}

bool VectorSetCount(void*& handle, uint32_t count) {
    if (!handle) return false;
    if (count > VectorHeader(handle).capacity && !GrowVector(handle, count)) return false;
    HeapVector header = VectorHeader(handle);
    header.count = count;
    StoreVectorHeader(handle, header);
    return true;
}

void VectorClearHalve(void* handle) {
    if (!handle) return;
    HeapVector header = VectorHeader(handle);
    header.count = 0;
    header.capacity /= 2;
    // Shrinking always succeeds in place, so the handle stays valid.
    FixedHeapRealloc(header.heap, VectorBlock(handle),
                     header.capacity * header.elementSize + kVectorHeaderBytes);
    StoreVectorHeader(handle, header);
}

void VectorFree(void* handle) {
    if (!handle) return;
    FixedHeapFree(VectorHeader(handle).heap, VectorBlock(handle));
}
