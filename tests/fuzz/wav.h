// WAV reading on arbitrary bytes: no read or write outside the buffers, every file either refused
// with a report or made into whole 16-bit stereo frames no larger than a sound buffer.
#pragma once
#include "audio/wav.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/sound_device.h"
#include "tests/fuzz/quiet_console.h"

inline int FuzzWav(const uint8_t* data, size_t size) {
    QuietConsole quiet;
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    std::vector<uint8_t> samples;
    const bool read = ReadWav(file, &samples);
    std::fclose(file);
    if (read && (samples.empty() || samples.size() % 4 != 0 || samples.size() > kSoundBufferMaxBytes)) __builtin_trap();
    if (!read && !samples.empty()) __builtin_trap();
    return 0;
}
