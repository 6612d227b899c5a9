#include "audio/wav.h"

#include <algorithm>
#include <cstring>

#include "audio/sound_device.h"
#include "base/console.h"

namespace {

constexpr uint32_t kMinConvertedRate = 8000;
constexpr uint32_t kMaxConvertedRate = 192000;

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

WavHeader ParseHeader(const uint8_t* b) {
    WavHeader h;
    std::memcpy(h.chunkId, b, 4);
    h.chunkSize = U32(b + 4);
    std::memcpy(h.format, b + 8, 4);
    std::memcpy(h.subChunkId, b + 12, 4);
    h.subChunkSize = U32(b + 16);
    h.audioFormat = U16(b + 20);
    h.numChannels = U16(b + 22);
    h.sampleRate = U32(b + 24);
    h.byteRate = U32(b + 28);
    h.blockAlign = U16(b + 32);
    h.bitsPerSample = U16(b + 34);
    std::memcpy(h.dataChunkId, b + 36, 4);
    h.dataSize = U32(b + 40);
    return h;
}

bool Tag(const char* field, const char* tag) {
    return std::memcmp(field, tag, 4) == 0;
}

// One sample of frame `frame`, channel `channel`, as 16-bit.
int32_t SampleAt(const std::vector<uint8_t>& data, const WavHeader& h, uint64_t frame, uint32_t channel) {
    const uint32_t bytes = h.bitsPerSample / 8;
    const size_t at = static_cast<size_t>((frame * h.numChannels + channel) * bytes);
    if (bytes == 1) return (static_cast<int32_t>(data[at]) - 128) * 256;  // 8-bit PCM is unsigned
    return static_cast<int16_t>(U16(&data[at]));
}

}  // namespace

// The loader's assertion report: it names the source and routine scripts know.
void ReportWavCheck(int line, const char* condition, const char* message) {
    ConsolePrintf(
        "\nredblack{Assertion failed} yellowblack{at} aquablack{%s} : aquablack{%i}\nyellowblack{Within function:} "
        "aquablack{%s}\nyellowblack{Condition:} aquablack{%s}",
        "Source\\DSound", line, "DirectSound_LoadWAV", condition);
    if (message != nullptr) ConsolePrintf("\nyellowblack{Message:} aquablack{%s}", message);
}

bool ReadWav(std::FILE* file, std::vector<uint8_t>* samples) {
    samples->clear();
    uint8_t raw[kWavHeaderBytes];
    if (std::fread(raw, kWavHeaderBytes, 1, file) != 1) {
        ReportWavCheck(190, "count == 1", nullptr);
        return false;
    }
    const WavHeader h = ParseHeader(raw);
    // The container tags and the encoding decide whether the bytes are samples at all: no sound
    // without them. Channels, rate and width only decide how to convert.
    bool usable = true;
    if (!Tag(h.chunkId, "RIFF")) {
        ReportWavCheck(196,
                       "(waveFileHeader.chunkId[0] == 'R') && (waveFileHeader.chunkId[1] == 'I') && "
                       "(waveFileHeader.chunkId[2] == 'F') && (waveFileHeader.chunkId[3] == 'F')",
                       nullptr);
        usable = false;
    }
    if (!Tag(h.format, "WAVE")) {
        ReportWavCheck(202,
                       "(waveFileHeader.format[0] == 'W') && (waveFileHeader.format[1] == 'A') && "
                       "(waveFileHeader.format[2] == 'V') && (waveFileHeader.format[3] == 'E')",
                       nullptr);
        usable = false;
    }
    if (!Tag(h.subChunkId, "fmt ")) {
        ReportWavCheck(208,
                       "(waveFileHeader.subChunkId[0] == 'f') && (waveFileHeader.subChunkId[1] == 'm') && "
                       "(waveFileHeader.subChunkId[2] == 't') && (waveFileHeader.subChunkId[3] == ' ')",
                       nullptr);
        usable = false;
    }
    if (h.audioFormat != WAVE_FORMAT_PCM) {
        ReportWavCheck(211, "waveFileHeader.audioFormat == WAVE_FORMAT_PCM", nullptr);
        usable = false;
    }
    if (h.numChannels != 2) {
        ReportWavCheck(214, "waveFileHeader.numChannels == 2", nullptr);
        if (h.numChannels != 1) usable = false;
    }
    if (h.sampleRate != 44100) {
        ReportWavCheck(217, "waveFileHeader.sampleRate == 44100", nullptr);
        if (h.sampleRate < kMinConvertedRate || h.sampleRate > kMaxConvertedRate) usable = false;
    }
    if (h.bitsPerSample != 16) {
        ReportWavCheck(220, "waveFileHeader.bitsPerSample == 16", nullptr);
        if (h.bitsPerSample != 8) usable = false;
    }
    if (!Tag(h.dataChunkId, "data")) {
        ReportWavCheck(226,
                       "(waveFileHeader.dataChunkId[0] == 'd') && (waveFileHeader.dataChunkId[1] == 'a') && "
                       "(waveFileHeader.dataChunkId[2] == 't') && (waveFileHeader.dataChunkId[3] == 'a')",
                       nullptr);
        usable = false;
    }
    if (!usable) return false;

    const uint32_t frameBytes = h.numChannels * (h.bitsPerSample / 8u);
    if (h.dataSize < frameBytes) {
        ReportWavCheck(229, "waveFileHeader.dataSize >= blockAlign", "The wave file holds no samples");
        return false;
    }
    if (h.dataSize > kSoundBufferMaxBytes) {
        ReportWavCheck(232, "waveFileHeader.dataSize <= DSBSIZE_MAX", "The wave file is larger than a sound buffer");
        return false;
    }
    // The file must hold what the header promises: measured before anything that size is made.
    long end = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) end = std::ftell(file);
    if (end < static_cast<long>(kWavHeaderBytes) || static_cast<uint64_t>(end) - kWavHeaderBytes < h.dataSize ||
        std::fseek(file, kWavHeaderBytes, SEEK_SET) != 0) {
        ReportWavCheck(235, "waveFileHeader.dataSize <= fileSize - 44", "The wave file is shorter than its data size");
        return false;
    }
    // A short read never leaves unread bytes in the buffer.
    std::vector<uint8_t> data(h.dataSize);
    if (std::fread(data.data(), 1, data.size(), file) != data.size()) {
        ReportWavCheck(235, "count == waveFileHeader.dataSize", "The wave file is shorter than its data size");
        return false;
    }
    const uint64_t frames = h.dataSize / frameBytes;
    if (h.numChannels == 2 && h.bitsPerSample == 16 && h.sampleRate == 44100) {
        data.resize(static_cast<size_t>(frames * 4));  // whole blocks only
        *samples = std::move(data);
        return true;
    }
    // Other PCM: each output frame takes the source frame at its time (no filter; the sounds are short
    // effects), mono copied to both sides.
    const uint64_t outFrames = std::max<uint64_t>(1, frames * 44100 / h.sampleRate);
    if (outFrames * 4 > kSoundBufferMaxBytes) {
        ReportWavCheck(232, "waveFileHeader.dataSize <= DSBSIZE_MAX", "The wave file is larger than a sound buffer");
        return false;
    }
    samples->resize(static_cast<size_t>(outFrames * 4));
    for (uint64_t i = 0; i < outFrames; ++i) {
        const uint64_t from = std::min(frames - 1, i * h.sampleRate / 44100);
        const int32_t left = SampleAt(data, h, from, 0);
        const int32_t right = h.numChannels == 2 ? SampleAt(data, h, from, 1) : left;
        uint8_t* out = &(*samples)[static_cast<size_t>(i * 4)];
        out[0] = static_cast<uint8_t>(left & 0xFF);
        out[1] = static_cast<uint8_t>((left >> 8) & 0xFF);
        out[2] = static_cast<uint8_t>(right & 0xFF);
        out[3] = static_cast<uint8_t>((right >> 8) & 0xFF);
    }
    return true;
}
