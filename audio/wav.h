#pragma once
// WAV files as the sound slots load them: the canonical 44-byte header, then the samples, made into
// the engine's buffer format (16-bit stereo PCM at 44100 Hz).

#include <cstdint>
#include <cstdio>
#include <vector>

inline constexpr uint32_t kWavHeaderBytes = 44;

struct WavHeader {
    char chunkId[4];
    uint32_t chunkSize;
    char format[4];
    char subChunkId[4];
    uint32_t subChunkSize;
    uint16_t audioFormat;
    uint16_t numChannels;
    uint32_t sampleRate;
    uint32_t byteRate;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    char dataChunkId[4];
    uint32_t dataSize;
};

// Reads the header and the samples of the open file and converts them to the engine's format: PCM of
// 8 or 16 bits, 1 or 2 channels and 8000 to 192000 Hz is converted (after the report of the check it
// fails); anything else is refused. Every failed check prints its assertion report. False (and no
// samples) when the file gives no sound.
bool ReadWav(std::FILE* file, std::vector<uint8_t>* samples);

// The assertion report of a failed loading check (with a message line when `message` is not null).
void ReportWavCheck(int line, const char* condition, const char* message);
