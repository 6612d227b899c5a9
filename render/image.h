#pragma once
// Decoded pictures: 8-bit pixels in the device's texel order, with the power-of-two texture size
// they need.

#include <cstdint>
#include <cstdio>

// One allocation: the record, then its pixels.
struct Image {
    uint32_t width, height;
    uint32_t channels;  // always 4
    uint32_t textureWidth, textureHeight;
    uint8_t* pixels;  // width x height x 4 bytes, rows top to bottom, bytes blue, green, red, alpha
};

// The smallest power of two at least `size`: 1 for 0 and 1, 2^31 for sizes beyond it.
uint32_t PowerOfTwoAtLeast(uint32_t size);

// Largest side an image may have; larger ones are refused before they are decoded.
inline constexpr uint32_t kMaxImageSide = 16384;

// Reads and decodes a file (PNG, BMP, JPEG and the other formats of the decoder). Null, with a
// message naming `path`, when it cannot be read or decoded, or is larger than `maxSide` (or
// kMaxImageSide) on either side.
Image* LoadImage(const char* path, uint32_t maxSide = kMaxImageSide);
// The same from an open stream (read from its current position; the caller closes it).
Image* DecodeImage(std::FILE* file, const char* path, uint32_t maxSide = kMaxImageSide);
// Null is ignored.
void FreeImage(Image* image);
