#include "render/stb_image_decoder.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Largest single allocation the decoder may make for the picture being decoded. A damaged file
// can claim chunks of gigabytes before its bytes run out; such claims are refused, not attempted.
size_t g_decoderAllocationLimit = SIZE_MAX;

void* LimitedMalloc(size_t size) {
    return size > g_decoderAllocationLimit ? nullptr : std::malloc(size);
}

void* LimitedRealloc(void* block, size_t size) {
    return size > g_decoderAllocationLimit ? nullptr : std::realloc(block, size);
}

}  // namespace

#define STBI_MALLOC(size) LimitedMalloc(size)
#define STBI_REALLOC(block, size) LimitedRealloc(block, size)
#define STBI_FREE(block) std::free(block)
// Pictures beyond this are refused by the decoder itself, whatever their header claims.
#define STBI_MAX_DIMENSIONS 16384
#define STBI_NO_HDR
#define STBI_NO_LINEAR
// PNG and BMP only: fuzzing found the packaged decoder's JPEG reader writing past its Huffman tables
// on damaged files, and the other readers are not needed by games.
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

bool StbImageInfo(std::FILE* file, int& width, int& height) {
    int channels = 0;
    return stbi_info_from_file(file, &width, &height, &channels) != 0;
}

unsigned char* StbImageLoad(std::FILE* file, int& width, int& height, size_t allocationLimit) {
    int channels = 0;
    g_decoderAllocationLimit = allocationLimit;
    unsigned char* pixels = stbi_load_from_file(file, &width, &height, &channels, 4);
    g_decoderAllocationLimit = SIZE_MAX;
    return pixels;
}

void StbImageFree(unsigned char* pixels) {
    if (pixels != nullptr) stbi_image_free(pixels);
}
