#pragma once
// The sound device on SDL2's audio: one output stream in the engine's format, fed by a mixer that
// sums the playing buffers (each at its volume) and clamps the sum to 16 bits.

#include <cstdint>
#include <map>
#include <vector>

#include "audio/sound_device.h"

class SdlSoundDevice final : public SoundDevice {
public:
    SdlSoundDevice() = default;
    ~SdlSoundDevice() override;
    SdlSoundDevice(const SdlSoundDevice&) = delete;
    SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

    // Opens SDL's default output; kSoundNoDriver when SDL has no audio device to open.
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

    // Mixes the next `frames` stereo frames of every playing buffer into `out` (which it overwrites)
    // and moves them on. SDL's callback calls it under the device lock; tests call it directly.
    void Mix(int16_t* out, uint32_t frames);
    // Stops or restarts SDL's calls of the mixer (tests drive it by hand and must not race them).
    void PauseCallback(bool paused);
    // Whether the buffer is playing (false for unknown handles).
    bool IsPlaying(SoundBuffer buffer);

private:
    struct Buffer {
        bool primary = false;
        uint32_t references = 1;
        std::vector<int16_t> samples;  // interleaved left, right
        std::vector<uint8_t> staging;  // what Lock hands out; Unlock copies it in under the lock
        bool locked = false;
        bool playing = false;
        bool looping = false;
        uint32_t frame = 0;  // next frame to play
        float gain = 1;
    };
    Buffer* Get(SoundBuffer buffer);
    void LockAudio();
    void UnlockAudio();
    static void Callback(void* self, uint8_t* stream, int length);

    uint32_t device_ = 0;  // SDL_AudioDeviceID; 0 until Create succeeds
    bool subsystem_ = false;
    std::map<SoundBuffer, Buffer> buffers_;
    SoundBuffer next_ = 1;
};
