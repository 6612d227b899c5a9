#pragma once
// The sound device on DirectSound 8: every call passed straight through. dsound.dll is loaded on
// first use; without it (or without an audio driver) Create reports that no driver is available.

#include <cstdint>
#include <vector>

#include "audio/sound_device.h"

struct IDirectSound8;
struct IDirectSoundBuffer;

class DirectSound8Device final : public SoundDevice {
public:
    DirectSound8Device() = default;
    ~DirectSound8Device() override;
    DirectSound8Device(const DirectSound8Device&) = delete;
    DirectSound8Device& operator=(const DirectSound8Device&) = delete;

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

private:
    // One handle per interface pointer handed out; it holds the references taken through it.
    struct Entry {
        IDirectSoundBuffer* buffer;  // also the IDirectSoundBuffer8, whose methods extend it
        uint32_t references;
    };
    IDirectSoundBuffer* Find(SoundBuffer handle) const;
    SoundBuffer Add(IDirectSoundBuffer* buffer);

    IDirectSound8* sound_ = nullptr;
    std::vector<Entry> entries_;  // handle = index + 1
};
