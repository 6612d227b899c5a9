// Image decoding on arbitrary bytes: no read or write outside the buffers, every picture either
// refused with a message or decoded whole.
#pragma once
#include "render/image.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "tests/fuzz/quiet_console.h"

inline int FuzzImage(const uint8_t* data, size_t size) {
    QuietConsole quiet;
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    // Small sides keep every decode within the fuzzer's memory limit.
    Image* image = DecodeImage(file, "fuzz", 1024);
    std::fclose(file);
    if (image != nullptr) {
        if (image->width == 0 || image->height == 0 || image->width > 1024 || image->height > 1024) __builtin_trap();
        if (image->textureWidth < image->width || image->textureHeight < image->height) __builtin_trap();
        volatile uint8_t last = image->pixels[size_t{image->width} * image->height * 4 - 1];
        (void)last;
    }
    FreeImage(image);
    return 0;
}
