#include "render/image.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "base/console.h"
#include "render/stb_image_decoder.h"

uint32_t PowerOfTwoAtLeast(uint32_t size) {
    uint32_t power = 1;
    while (power < size && power < 0x80000000u)
        power <<= 1;
    return power;
}

namespace {

bool TooLarge(int width, int height, uint32_t maxSide, const char* path) {
    if (static_cast<uint32_t>(width) <= maxSide && static_cast<uint32_t>(height) <= maxSide) return false;
    ConsolePrintf(
        "\nredblack{Image error:} yellowblack{Image} aquablack{%s} yellowblack{of} aquablack{%ix%i} "
        "yellowblack{is larger than the largest texture} aquablack{%ux%u}",
        path, width, height, maxSide, maxSide);
    return true;
}

}  // namespace

Image* DecodeImage(std::FILE* file, const char* path, uint32_t maxSide) {
    if (maxSide > kMaxImageSide) maxSide = kMaxImageSide;
    int width = 0, height = 0;
    const long start = std::ftell(file);
    // The header first: a picture too large for a texture is refused before its pixels are decoded.
    if (StbImageInfo(file, width, height) && TooLarge(width, height, maxSide, path)) return nullptr;
    if (start >= 0) std::fseek(file, start, SEEK_SET);
    unsigned char* decoded = StbImageLoad(file, width, height);
    // Checked again: not every format tells its size before it is decoded.
    if (decoded != nullptr && TooLarge(width, height, maxSide, path)) {
        StbImageFree(decoded);
        return nullptr;
    }
    if (decoded == nullptr || width <= 0 || height <= 0) {
        StbImageFree(decoded);
        ConsolePrintf("\nredblack{Image error:} yellowblack{Unable to allocate enough memory to read image} "
                      "aquablack{%s}",
                      path);
        return nullptr;
    }
    const size_t bytes = size_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * 4;
    void* block = std::malloc(sizeof(Image) + bytes);
    if (block == nullptr) {
        ConsolePrintf("\nredblack{Image error:} yellowblack{Unable to allocate enough memory to copy image} "
                      "aquablack{%s}",
                      path);
        StbImageFree(decoded);
        return nullptr;
    }
    Image* image = new (block) Image{};
    image->width = static_cast<uint32_t>(width);
    image->height = static_cast<uint32_t>(height);
    image->channels = 4;
    image->textureWidth = PowerOfTwoAtLeast(image->width);
    image->textureHeight = PowerOfTwoAtLeast(image->height);
    image->pixels = static_cast<uint8_t*>(block) + sizeof(Image);
    std::memcpy(image->pixels, decoded, bytes);
    // The decoder gives red first; the device keeps blue first.
    for (size_t i = 0; i < bytes; i += 4) {
        const uint8_t red = image->pixels[i];
        image->pixels[i] = image->pixels[i + 2];
        image->pixels[i + 2] = red;
    }
    StbImageFree(decoded);
    return image;
}

Image* LoadImage(const char* path, uint32_t maxSide) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        ConsolePrintf("\nredblack{Image error:} yellowblack{Unable to allocate enough memory to read image} "
                      "aquablack{%s}",
                      path);
        return nullptr;
    }
    Image* image = DecodeImage(file, path, maxSide);
    std::fclose(file);
    return image;
}

void FreeImage(Image* image) {
    if (image == nullptr) return;
    image->~Image();
    std::free(image);
}
