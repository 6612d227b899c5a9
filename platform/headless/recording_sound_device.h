#pragma once
// The silent device that also writes down every call it receives, one line each, for tests that
// pin what the sound slots ask of the device.

#include <string>
#include <vector>

#include "platform/headless/null_sound_device.h"

class RecordingSoundDevice final : public NullSoundDevice {
public:
    // "Name(arguments) -> result"; buffer handles as numbers, window as "window" or "null".
    std::vector<std::string> calls;

    SoundResult Create() override;
    SoundResult SetCooperativeLevel(void* window, uint32_t level) override;
    SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer* buffer) override;
    SoundResult SetFormat(SoundBuffer primary, const SoundFormat& format) override;
    SoundResult QueryBuffer8(SoundBuffer buffer, SoundBuffer* buffer8) override;
    uint32_t Release(SoundBuffer buffer) override;
    SoundResult Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1, void** part2,
                     uint32_t* bytes2, uint32_t flags) override;
    SoundResult Unlock(SoundBuffer buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) override;
    SoundResult SetCurrentPosition(SoundBuffer buffer, uint32_t position) override;
    SoundResult SetVolume(SoundBuffer buffer, int32_t volume) override;
    SoundResult Play(SoundBuffer buffer, uint32_t flags) override;
    SoundResult Stop(SoundBuffer buffer) override;
};
