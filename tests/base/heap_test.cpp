#include "base/heap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/capture_console.h"

namespace {

constexpr uint32_t H = kHeapHeaderBytes;
constexpr uint32_t B = kHeapBlockHeaderBytes;
constexpr uint32_t V = kVectorHeaderBytes;
constexpr bool k32Bit = sizeof(void*) == 4;

// Block size the heap uses for a request of `n` bytes.
uint32_t R(uint32_t n) {
    return (n + kHeapSizeUnit - 1) / kHeapSizeUnit * kHeapSizeUnit;
}

struct Block {
    uint32_t size;
    bool inUse;
    bool operator==(const Block&) const = default;
};

void PrintTo(const Block& b, std::ostream* os) {
    *os << "{" << b.size << (b.inUse ? ", used}" : ", free}");
}

std::vector<Block> Blocks(const FixedHeap* heap) {
    std::vector<Block> blocks;
    const auto* base = reinterpret_cast<const unsigned char*>(heap);
    for (uint64_t offset = H; offset < heap->totalBytes;) {
        HeapBlockHeader header;
        std::memcpy(&header, base + offset, sizeof header);
        blocks.push_back({header.size, header.inUse != 0});
        offset += B + header.size;
    }
    return blocks;
}

std::string Hex(const void* heap) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(reinterpret_cast<uintptr_t>(heap)));
    return text;
}

std::string NotFound(uint32_t size, const FixedHeap* heap) {
    return "\nMemory error: Could not find memory atleast " + std::to_string(size) + " bytes large in heap " +
           Hex(heap) + " with estimated " + std::to_string(heap->freeEstimate) + " bytes left";
}

std::string Unable(const char* function, uint32_t size, const FixedHeap* heap) {
    return std::string("\nMemory error: ") + function + " was unable to locate " + std::to_string(size) +
           " contiguous free bytes in heap " + Hex(heap) + ", returning NULL";
}

std::string VectorGrowFailed(uint32_t from, uint32_t to) {
    return "\nVector error: Failed to reallocate a vector from " + std::to_string(from) + " to " +
           std::to_string(to) + " elements, due to realloc failure, leaving vector as-is";
}

class HeapTest : public ::testing::Test {
protected:
    // Garbage first, so that nothing passes only because the region happened to be zero.
    FixedHeap* Init(uint32_t bytes) {
        std::memset(region_, 0xCD, sizeof region_);
        return FixedHeapInit(region_, bytes);
    }
    unsigned char* At(uint32_t offset) { return region_ + offset; }

    alignas(FixedHeap) unsigned char region_[kTextHeapBytes];
};

TEST_F(HeapTest, FreshHeapSplitsOnFirstAllocation) {
    FixedHeap* heap = Init(kTextHeapBytes);
    ASSERT_EQ(heap, reinterpret_cast<FixedHeap*>(region_));
    const uint32_t first = kTextHeapBytes - H - B;
    EXPECT_EQ(heap->capacityBytes, kTextHeapBytes - H);
    EXPECT_EQ(heap->freeEstimate, kTextHeapBytes - H);
    EXPECT_EQ(Blocks(heap), (std::vector<Block>{{first, false}}));

    void* p = FixedHeapAlloc(heap, 100);
    EXPECT_EQ(p, At(H + B));
    EXPECT_EQ(Blocks(heap), (std::vector<Block>{{R(100), true}, {first - R(100) - B, false}}));
    EXPECT_EQ(heap->freeEstimate, kTextHeapBytes - H - R(100) - B);
    if constexpr (k32Bit) {
        EXPECT_EQ(first, 16364u);
        EXPECT_EQ(Blocks(heap)[1].size, 16256u);
        EXPECT_EQ(heap->freeEstimate, 16264u);
    }
}

TEST_F(HeapTest, SpareOfAtMostOneHeaderIsNotSplitOff) {
    const uint32_t whole = 64 - H - B;
    FixedHeap* heap = Init(64);
    FixedHeapAlloc(heap, whole - B);
    EXPECT_EQ(Blocks(heap), (std::vector<Block>{{whole, true}}));
    EXPECT_EQ(heap->freeEstimate, B);  // dropped by request + 8 although the block is 8 bytes larger

    heap = Init(64);
    FixedHeapAlloc(heap, whole - B - kHeapSizeUnit);
    EXPECT_EQ(Blocks(heap), (std::vector<Block>{{whole - B - kHeapSizeUnit, true}, {kHeapSizeUnit, false}}));

    heap = Init(64);
    EXPECT_NE(FixedHeapAlloc(heap, whole), nullptr);
    EXPECT_EQ(heap->freeEstimate, 0u);
}

TEST_F(HeapTest, FailedAllocationPrintsBothMessages) {
    FixedHeap* heap = Init(64);
    const uint32_t whole = 64 - H - B;
    CaptureConsole console;
    EXPECT_EQ(FixedHeapAlloc(heap, whole + 1), nullptr);
    EXPECT_EQ(console.Text(), NotFound(whole + 1, heap) + Unable("malloc", whole + 1, heap));
    const std::vector<ConsoleSegment> malloc = {
        {0x0F, "\n"},          {0x0C, "Memory error:"},
        {0x0F, " "},           {0x0B, "malloc"},
        {0x0F, " "},           {0x0E, "was unable to locate"},
        {0x0F, " "},           {0x0B, std::to_string(whole + 1)},
        {0x0F, " "},           {0x0E, "contiguous free bytes in heap"},
        {0x0F, " "},           {0x0B, Hex(heap)},
        {0x0E, ", returning"}, {0x0F, " "},
        {0x0B, "NULL"}};
    const std::vector<ConsoleSegment> segments = console.Segments();
    ASSERT_GE(segments.size(), malloc.size());
    EXPECT_EQ(std::vector<ConsoleSegment>(segments.end() - malloc.size(), segments.end()), malloc);
    EXPECT_EQ(Blocks(heap), (std::vector<Block>{{whole, false}}));
}

TEST_F(HeapTest, SizesNearFourGigabytesFailWithoutWrapping) {
    FixedHeap* heap = Init(kTextHeapBytes);
    void* p = FixedHeapAlloc(heap, 16);
    const std::vector<Block> before = Blocks(heap);
    const uint32_t estimate = heap->freeEstimate;
    CaptureConsole console;
    for (uint32_t size : {UINT32_MAX, UINT32_MAX - 7, UINT32_MAX - 3, UINT32_MAX - H - B}) {
        EXPECT_EQ(FixedHeapAlloc(heap, size), nullptr) << size;
        EXPECT_EQ(FixedHeapRealloc(heap, p, size), nullptr) << size;
    }
    EXPECT_EQ(console.Text().find("Assertion"), std::string::npos);
    EXPECT_EQ(Blocks(heap), before);
    EXPECT_EQ(heap->freeEstimate, estimate);

    // Element bytes that would wrap to a small block.
    console.Clear();
    EXPECT_EQ(VectorCreate(heap, 0x40000000, 0, 4), nullptr);
    EXPECT_EQ(
        console.Text(),
        "\nVector error: Failed to allocate a vector with 1073741824 initial elements and 1073741824 reserve "
        "capacity with an element size of 4");
    void* v = VectorCreate(heap, 1, 1, 4);
    const std::vector<Block> withVector = Blocks(heap);
    console.Clear();
    EXPECT_FALSE(VectorReserve(v, 0x40000000));
    EXPECT_EQ(console.Text(), VectorGrowFailed(1, 0x40000000));
    EXPECT_EQ(VectorAppend(v, &estimate, UINT32_MAX), nullptr);
    EXPECT_EQ(VectorAppend(v, &estimate, 0x7FFFFFFF), nullptr);
    EXPECT_EQ(VectorCount(v), 1u);
    EXPECT_EQ(Blocks(heap), withVector);
}

TEST_F(HeapTest, ReleasedNeighboursMergeOnlyWhenASearchPassesThem) {
    FixedHeap* heap = Init(kTextHeapBytes);
    void* a = FixedHeapAlloc(heap, 16);
    void* b = FixedHeapAlloc(heap, 24);
    FixedHeapAlloc(heap, 8);
    const uint32_t rest = kTextHeapBytes - H - 4 * B - R(16) - R(24) - R(8);
    FixedHeapFree(heap, a);
    FixedHeapFree(heap, b);
    EXPECT_EQ(Blocks(heap),
              (std::vector<Block>{{R(16), false}, {R(24), false}, {R(8), true}, {rest, false}}));
    EXPECT_EQ(heap->freeEstimate, rest + B + R(16) + B + R(24) + B);

    EXPECT_EQ(FixedHeapFindFree(heap, 1), reinterpret_cast<HeapBlockHeader*>(At(H)));
    EXPECT_EQ(Blocks(heap), (std::vector<Block>{{R(16) + B + R(24), false}, {R(8), true}, {rest, false}}));
    EXPECT_EQ(FixedHeapAlloc(heap, R(16) + B + R(24)), a);
}

TEST_F(HeapTest, ReallocGrowsAndShrinksInPlace) {
    FixedHeap* heap = Init(kTextHeapBytes);
    auto* a = static_cast<unsigned char*>(FixedHeapAlloc(heap, 16));
    void* b = FixedHeapAlloc(heap, 64);
    FixedHeapAlloc(heap, 8);
    std::memset(a, 0x5A, 16);
    FixedHeapFree(heap, b);
    uint32_t estimate = heap->freeEstimate;

    EXPECT_EQ(FixedHeapRealloc(heap, a, 40), a);
    EXPECT_EQ(Blocks(heap)[0], (Block{R(40), true}));
    EXPECT_EQ(Blocks(heap)[1], (Block{R(16) + B + R(64) - R(40) - B, false}));
    EXPECT_EQ(heap->freeEstimate, estimate - (R(40) - R(16)));
    EXPECT_EQ(a[15], 0x5A);

    estimate = heap->freeEstimate;
    EXPECT_EQ(FixedHeapRealloc(heap, a, 8), a);
    EXPECT_EQ(Blocks(heap)[0], (Block{R(8), true}));
    EXPECT_EQ(heap->freeEstimate, estimate + R(40) - R(8));
    EXPECT_EQ(a[7], 0x5A);
}

TEST_F(HeapTest, ReallocShrinkSplitsOnlyMoreThanOneHeader) {
    FixedHeap* heap = Init(kTextHeapBytes);
    void* a = FixedHeapAlloc(heap, 24);
    FixedHeapAlloc(heap, 8);
    const uint32_t estimate = heap->freeEstimate;
    EXPECT_EQ(FixedHeapRealloc(heap, a, R(24) - B), a);
    EXPECT_EQ(Blocks(heap)[0], (Block{R(24), true}));
    EXPECT_EQ(heap->freeEstimate, estimate + B);
    EXPECT_EQ(FixedHeapRealloc(heap, a, R(24) - B - kHeapSizeUnit), a);
    EXPECT_EQ(Blocks(heap)[0], (Block{R(24) - B - kHeapSizeUnit, true}));
    EXPECT_EQ(Blocks(heap)[1], (Block{kHeapSizeUnit, false}));
    EXPECT_EQ(Blocks(heap)[2], (Block{R(8), true}));
}

TEST_F(HeapTest, ReallocMovesAndGivesBackTheMergedNeighbour) {
    FixedHeap* heap = Init(kTextHeapBytes);
    auto* a = static_cast<unsigned char*>(FixedHeapAlloc(heap, 16));
    void* gap = FixedHeapAlloc(heap, 32);
    FixedHeapAlloc(heap, 8);
    for (int i = 0; i < 16; ++i)
        a[i] = static_cast<unsigned char>(i);
    FixedHeapFree(heap, gap);
    const uint32_t estimate = heap->freeEstimate;
    const uint32_t rest = kTextHeapBytes - H - 4 * B - R(16) - R(32) - R(8);

    auto* moved = static_cast<unsigned char*>(FixedHeapRealloc(heap, a, 200));
    ASSERT_EQ(moved, At(H + 3 * B + R(16) + R(32) + R(8) + B));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(moved[i], i);
    EXPECT_EQ(Blocks(heap),
              (std::vector<Block>{
                  {R(16), false}, {R(32), false}, {R(8), true}, {R(200), true}, {rest - R(200) - B, false}}));
    EXPECT_EQ(heap->freeEstimate, estimate - (R(200) + B) + (R(16) + B));
}

TEST_F(HeapTest, FailedReallocKeepsTheOldBlock) {
    FixedHeap* heap = Init(256);
    auto* a = static_cast<unsigned char*>(FixedHeapAlloc(heap, 16));
    void* gap = FixedHeapAlloc(heap, 32);
    FixedHeapAlloc(heap, 256 - H - 3 * B - R(16) - R(32));  // exactly fills the rest
    std::memset(a, 0x77, 16);
    FixedHeapFree(heap, gap);
    const std::vector<Block> before = Blocks(heap);
    const uint32_t estimate = heap->freeEstimate;

    CaptureConsole console;
    EXPECT_EQ(FixedHeapRealloc(heap, a, 100), nullptr);
    EXPECT_EQ(console.Text(), NotFound(100, heap) + Unable("realloc", 100, heap));
    EXPECT_EQ(Blocks(heap), before);
    EXPECT_EQ(heap->freeEstimate, estimate);
    EXPECT_EQ(a[15], 0x77);
    EXPECT_EQ(FixedHeapRealloc(heap, nullptr, 8), gap);
}

TEST_F(HeapTest, BadArgumentsAreRefusedWithoutWriting) {
    CaptureConsole console;
    EXPECT_EQ(Init(H + B - 1), nullptr);
    EXPECT_EQ(FixedHeapInit(region_ + 1, 64), nullptr);
    FixedHeap* heap = Init(kTextHeapBytes);
    void* a = FixedHeapAlloc(heap, 16);
    FixedHeapFree(heap, nullptr);
    VectorFree(nullptr);
    const std::vector<Block> before = Blocks(heap);
    const uint32_t estimate = heap->freeEstimate;
    unsigned char outside[16];
    FixedHeapFree(heap, outside + 8);
    EXPECT_EQ(FixedHeapRealloc(heap, outside + 8, 4), nullptr);
    FixedHeapFree(heap, a);
    FixedHeapFree(heap, a);  // a second release must not raise the estimate again
    EXPECT_NE(console.Text().find("Assertion failed"), std::string::npos);
    EXPECT_EQ(heap->freeEstimate, estimate + R(16) + B);
    EXPECT_EQ(Blocks(heap).size(), before.size());
}

class VectorTest : public HeapTest {
protected:
    void SetUp() override { heap_ = Init(kTextHeapBytes); }
    FixedHeap* heap_ = nullptr;
};

TEST_F(VectorTest, CreateWritesHeaderInFrontOfElements) {
    void* v = VectorCreate(heap_, 2, 5, 4);
    ASSERT_EQ(v, At(H + B + V));
    const HeapVector header = VectorHeader(v);
    EXPECT_EQ(header.heap, heap_);
    EXPECT_EQ(header.count, 2u);
    EXPECT_EQ(header.capacity, 5u);
    EXPECT_EQ(header.elementSize, 4u);
    EXPECT_EQ(Blocks(heap_)[0], (Block{R(5 * 4 + V), true}));
    EXPECT_EQ(VectorHeader(VectorCreate(heap_, 7, 3, 2)).capacity, 7u);
}

TEST_F(VectorTest, AppendGrowsToOneAndAHalfTimesCapacityPlusAppended) {
    void* v = VectorCreate(heap_, 0, 1, 4);
    const uint32_t one = 11, more[3] = {22, 33, 44};
    EXPECT_EQ(VectorAppend(v, &one, 1), v);
    void* handle = v;
    auto* second = static_cast<uint32_t*>(VectorAppend(v, &more[0], 1));
    EXPECT_EQ(v, handle);  // the free space behind the block was taken in place
    EXPECT_EQ(second, static_cast<uint32_t*>(v) + 1);
    EXPECT_EQ(VectorHeader(v).capacity, 3u);  // s = 2

    EXPECT_NE(VectorAppend(v, more, 3), nullptr);  // count 2, capacity 3: s = 6, 12 - 3
    EXPECT_EQ(VectorHeader(v).capacity, 9u);
    EXPECT_EQ(VectorCount(v), 5u);
    const auto* elements = static_cast<const uint32_t*>(v);
    EXPECT_EQ(std::vector<uint32_t>(elements, elements + 9),
              (std::vector<uint32_t>{11, 22, 22, 33, 44, 0, 0, 0, 0}));
}

TEST_F(VectorTest, GrowthMovesPastAnOccupiedNeighbour) {
    void* v = VectorCreate(heap_, 0, 2, 8);
    FixedHeapAlloc(heap_, 4);
    const uint64_t items[3] = {1, 2, 3};
    VectorAppend(v, items, 2);
    void* old = v;
    EXPECT_NE(VectorAppend(v, &items[2], 1), nullptr);
    EXPECT_NE(v, old);
    EXPECT_EQ(VectorHeader(v).capacity, 5u);  // s = 3
    const auto* elements = static_cast<const uint64_t*>(v);
    EXPECT_EQ(std::vector<uint64_t>(elements, elements + 5), (std::vector<uint64_t>{1, 2, 3, 0, 0}));
    EXPECT_EQ(Blocks(heap_)[0], (Block{R(2 * 8 + V), false}));
}

TEST_F(VectorTest, FailedGrowthLeavesTheVectorIntact) {
    // After the vector and a guard block, one byte (one unit) too little for the grown vector.
    FixedHeap* heap = Init(H + 3 * B + R(2 * 4 + V) + R(5 * 4 + V) - kHeapSizeUnit);
    void* v = VectorCreate(heap, 0, 2, 4);
    FixedHeapAlloc(heap, 0);  // blocks growth in place
    const uint32_t items[3] = {7, 8, 9};
    VectorAppend(v, items, 2);
    void* old = v;
    const std::vector<Block> before = Blocks(heap);

    CaptureConsole console;
    EXPECT_EQ(VectorAppend(v, &items[2], 1), nullptr);
    const uint32_t bytes = 5 * 4 + V;  // s = 3, grown to 5
    EXPECT_EQ(console.Text(),
              NotFound(bytes, heap) + Unable("realloc", bytes, heap) + VectorGrowFailed(2, 5));
    EXPECT_EQ(v, old);
    EXPECT_EQ(Blocks(heap), before);
    EXPECT_EQ(VectorCount(v), 2u);
    EXPECT_EQ(VectorHeader(v).capacity, 2u);
    EXPECT_EQ(static_cast<uint32_t*>(v)[1], 8u);
}

TEST_F(VectorTest, ClearHalveShrinksInPlaceAndFreeReleases) {
    void* v = VectorCreate(heap_, 5, 5, 4);
    FixedHeapAlloc(heap_, 4);
    VectorClearHalve(v);
    EXPECT_EQ(VectorCount(v), 0u);
    EXPECT_EQ(VectorHeader(v).capacity, 2u);
    EXPECT_EQ(Blocks(heap_)[0], (Block{R(2 * 4 + V), true}));
    EXPECT_EQ(Blocks(heap_)[1], (Block{R(5 * 4 + V) - R(2 * 4 + V) - B, false}));
    VectorClearHalve(v);
    VectorClearHalve(v);
    EXPECT_EQ(VectorHeader(v).capacity, 0u);
    VectorFree(v);
    EXPECT_EQ(Blocks(heap_)[0].inUse, false);
}

}  // namespace
