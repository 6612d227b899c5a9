#pragma once
// The image decoder library behind a narrow seam, so that only one file of the engine compiles it.

#include <cstdio>

// Width and height from the header of the picture at the stream's position; false when unknown.
bool StbImageInfo(std::FILE* file, int& width, int& height);
// 8-bit RGBA pixels, rows top to bottom, or null. Free with StbImageFree.
unsigned char* StbImageLoad(std::FILE* file, int& width, int& height);
void StbImageFree(unsigned char* pixels);
