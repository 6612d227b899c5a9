#include "render/stb_image_decoder.h"

// Pictures beyond this are refused by the decoder itself, whatever their header claims.
#define STBI_MAX_DIMENSIONS 16384
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

bool StbImageInfo(std::FILE* file, int& width, int& height) {
    int channels = 0;
    return stbi_info_from_file(file, &width, &height, &channels) != 0;
}

unsigned char* StbImageLoad(std::FILE* file, int& width, int& height) {
    int channels = 0;
    return stbi_load_from_file(file, &width, &height, &channels, 4);
}

void StbImageFree(unsigned char* pixels) {
    if (pixels != nullptr) stbi_image_free(pixels);
}
