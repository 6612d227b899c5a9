#include "platform/softgpu/frame_png.h"

#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

bool WriteArgbPng(const char* path, const uint32_t* pixels, uint32_t width, uint32_t height, uint32_t pitch) {
    if (path == nullptr || pixels == nullptr || width == 0 || height == 0 || width > 65535 || height > 65535) {
        return false;
    }
    std::vector<unsigned char> rgba(size_t{width} * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t c = pixels[size_t{y} * pitch + x];
            unsigned char* to = &rgba[(size_t{y} * width + x) * 4];
            to[0] = static_cast<unsigned char>(c >> 16);
            to[1] = static_cast<unsigned char>(c >> 8);
            to[2] = static_cast<unsigned char>(c);
            to[3] = static_cast<unsigned char>(c >> 24);
        }
    }
    return stbi_write_png(path, static_cast<int>(width), static_cast<int>(height), 4, rgba.data(),
                          static_cast<int>(width * 4)) != 0;
}
