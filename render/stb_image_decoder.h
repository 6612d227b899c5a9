#pragma once
// The image decoder library behind a narrow seam, so that only one file of the engine compiles it.

#include <cstddef>
#include <cstdio>

// Width and height from the header of the picture at the stream's position; false when unknown.
bool StbImageInfo(std::FILE* file, int& width, int& height);
// 8-bit RGBA pixels, rows top to bottom, or null (also when the decoder would need a single block
// larger than `allocationLimit` bytes). Free with StbImageFree.
unsigned char* StbImageLoad(std::FILE* file, int& width, int& height, size_t allocationLimit);
void StbImageFree(unsigned char* pixels);
