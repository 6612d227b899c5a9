#pragma once
// A silent sound device: buffers are kept in memory with their play state, nothing is heard. It
// holds every call to the port's rules, so tests can read what a sound would do.

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "audio/sound_device.h"

class NullSoundDevice : public SoundDevice {
public:
    struct Buffer {
        bool primary = false;
        uint32_t references = 1;
        std::vector<uint8_t> data;
        bool locked = false;
        bool playing = false;
        bool looping = false;
        uint32_t position = 0;
        int32_t volume = kSoundVolumeMax;
    };

    // Create's result: kSoundNoDriver stands for a machine without sound.
    SoundResult createResult = kSoundOk;

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

    // The live buffer of a handle, or null.
    const Buffer* Find(SoundBuffer buffer) const;
    size_t LiveBuffers() const { return buffers_.size(); }

private:
    Buffer* Get(SoundBuffer buffer);

    std::map<SoundBuffer, Buffer> buffers_;
    SoundBuffer next_ = 1;
};
