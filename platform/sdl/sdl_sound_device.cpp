#include "platform/sdl/sdl_sound_device.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

SdlSoundDevice::~SdlSoundDevice() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSoundDevice::PauseCallback(bool paused) {
    if (device_ != 0) SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void SdlSoundDevice::LockAudio() {
    if (device_ != 0) SDL_LockAudioDevice(device_);
}

void SdlSoundDevice::UnlockAudio() {
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
}

SoundResult SdlSoundDevice::Create() {
    if (device_ != 0) return kSoundOk;
    if (!subsystem_) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return kSoundNoDriver;
        subsystem_ = true;
    }
    SDL_AudioSpec want;
    std::memset(&want, 0, sizeof want);
    want.freq = static_cast<int>(kEngineSoundFormat.samplesPerSec);
    want.format = AUDIO_S16LSB;
    want.channels = static_cast<Uint8>(kEngineSoundFormat.channels);
    want.samples = 1024;
    want.callback = &SdlSoundDevice::Callback;
    want.userdata = this;
    // SDL converts from this format to whatever the hardware takes.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (device_ == 0) return kSoundNoDriver;
    SDL_PauseAudioDevice(device_, 0);
    return kSoundOk;
}

SoundResult SdlSoundDevice::SetCooperativeLevel(void*, uint32_t level) {
    return level == SCL_NORMAL || level == SCL_PRIORITY ? kSoundOk : kSoundInvalidParam;
}

SoundResult SdlSoundDevice::CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer* buffer) {
    if (buffer == nullptr) return kSoundInvalidParam;
    *buffer = 0;
    Buffer made;
    if (desc.flags & BCAPS_PRIMARYBUFFER) {
        if (desc.bufferBytes != 0 || desc.format != nullptr) return kSoundInvalidParam;
        made.primary = true;
    } else {
        const SoundFormat* f = desc.format;
        // The mixer plays the engine's format only.
        if (f == nullptr || f->formatTag != WAVE_FORMAT_PCM || f->channels != 2 || f->bitsPerSample != 16 ||
            f->samplesPerSec != kEngineSoundFormat.samplesPerSec) {
            return kSoundBadFormat;
        }
        if (desc.bufferBytes < kSoundBufferMinBytes || desc.bufferBytes > kSoundBufferMaxBytes ||
            desc.bufferBytes % 4 != 0) {
            return kSoundInvalidParam;
        }
        made.samples.assign(desc.bufferBytes / 2, 0);
    }
    LockAudio();
    *buffer = next_++;
    buffers_.emplace(*buffer, std::move(made));
    UnlockAudio();
    return kSoundOk;
}

SoundResult SdlSoundDevice::SetFormat(SoundBuffer primary, const SoundFormat& format) {
    Buffer* b = Get(primary);
    if (b == nullptr || !b->primary) return kSoundInvalidParam;
    return format.formatTag == WAVE_FORMAT_PCM && format.channels == 2 && format.bitsPerSample == 16 &&
                   format.samplesPerSec == kEngineSoundFormat.samplesPerSec
               ? kSoundOk
               : kSoundBadFormat;
}

SoundResult SdlSoundDevice::QueryBuffer8(SoundBuffer buffer, SoundBuffer* buffer8) {
    if (buffer8 == nullptr) return kSoundInvalidParam;
    *buffer8 = 0;
    Buffer* b = Get(buffer);
    if (b == nullptr || b->primary) return kSoundInvalidParam;
    ++b->references;
    *buffer8 = buffer;
    return kSoundOk;
}

uint32_t SdlSoundDevice::Release(SoundBuffer buffer) {
    Buffer* b = Get(buffer);
    if (b == nullptr) return 0;
    if (--b->references > 0) return b->references;
    LockAudio();
    buffers_.erase(buffer);
    UnlockAudio();
    return 0;
}

SoundResult SdlSoundDevice::Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                                 void** part2, uint32_t* bytes2, uint32_t flags) {
    if (part1 == nullptr || bytes1 == nullptr) return kSoundInvalidParam;
    *part1 = nullptr;
    *bytes1 = 0;
    if (part2 != nullptr) *part2 = nullptr;
    if (bytes2 != nullptr) *bytes2 = 0;
    Buffer* b = Get(buffer);
    if (b == nullptr || b->primary || b->locked) return kSoundInvalidParam;
    const uint32_t size = static_cast<uint32_t>(b->samples.size() * 2);
    if (flags & BLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size;
    }
    if (offset >= size || bytes == 0 || bytes > size) return kSoundInvalidParam;
    // The mixer may be reading the samples: the caller writes into a copy.
    b->staging.resize(size);
    std::memcpy(b->staging.data(), b->samples.data(), size);
    const uint32_t first = bytes < size - offset ? bytes : size - offset;
    *part1 = b->staging.data() + offset;
    *bytes1 = first;
    if (first < bytes) {
        if (part2 == nullptr || bytes2 == nullptr) return kSoundInvalidParam;
        *part2 = b->staging.data();
        *bytes2 = bytes - first;
    }
    b->locked = true;
    return kSoundOk;
}

SoundResult SdlSoundDevice::Unlock(SoundBuffer buffer, void*, uint32_t, void*, uint32_t) {
    Buffer* b = Get(buffer);
    if (b == nullptr || !b->locked) return kSoundInvalidParam;
    LockAudio();
    // Samples are little-endian 16-bit, as on every machine SDL runs the engine on.
    std::memcpy(b->samples.data(), b->staging.data(), b->staging.size());
    UnlockAudio();
    b->locked = false;
    b->staging.clear();
    b->staging.shrink_to_fit();
    return kSoundOk;
}

SoundResult SdlSoundDevice::SetCurrentPosition(SoundBuffer buffer, uint32_t position) {
    Buffer* b = Get(buffer);
    if (b == nullptr || b->primary || position >= b->samples.size() * 2) return kSoundInvalidParam;
    LockAudio();
    b->frame = position / 4;
    UnlockAudio();
    return kSoundOk;
}

SoundResult SdlSoundDevice::SetVolume(SoundBuffer buffer, int32_t volume) {
    Buffer* b = Get(buffer);
    if (b == nullptr || volume < kSoundVolumeMin || volume > kSoundVolumeMax) return kSoundInvalidParam;
    // Hundredths of a decibel; the minimum is silence, not just very quiet.
    const float gain = volume <= kSoundVolumeMin ? 0.0f : std::pow(10.0f, static_cast<float>(volume) / 2000.0f);
    LockAudio();
    b->gain = gain;
    UnlockAudio();
    return kSoundOk;
}

SoundResult SdlSoundDevice::Play(SoundBuffer buffer, uint32_t flags) {
    Buffer* b = Get(buffer);
    if (b == nullptr || b->primary) return kSoundInvalidParam;
    LockAudio();
    b->playing = true;
    b->looping = (flags & BPLAY_LOOPING) != 0;
    UnlockAudio();
    return kSoundOk;
}

SoundResult SdlSoundDevice::Stop(SoundBuffer buffer) {
    Buffer* b = Get(buffer);
    if (b == nullptr) return kSoundInvalidParam;
    LockAudio();
    b->playing = false;
    UnlockAudio();
    return kSoundOk;
}

bool SdlSoundDevice::IsPlaying(SoundBuffer buffer) {
    Buffer* b = Get(buffer);
    if (b == nullptr) return false;
    LockAudio();
    const bool playing = b->playing;
    UnlockAudio();
    return playing;
}

void SdlSoundDevice::Mix(int16_t* out, uint32_t frames) {
    std::vector<float> sum(static_cast<size_t>(frames) * 2, 0.0f);
    for (auto& [handle, b] : buffers_) {
        if (!b.playing || b.primary) continue;
        const uint32_t total = static_cast<uint32_t>(b.samples.size() / 2);
        for (uint32_t i = 0; i < frames && b.playing; ++i) {
            if (b.frame >= total) {
                // The end: a looping buffer starts again, a one-shot one stops at its start.
                b.frame = 0;
                if (!b.looping) {
                    b.playing = false;
                    break;
                }
            }
            sum[i * 2] += b.samples[b.frame * 2] * b.gain;
            sum[i * 2 + 1] += b.samples[b.frame * 2 + 1] * b.gain;
            ++b.frame;
        }
        if (b.playing && !b.looping && b.frame >= total) {
            b.playing = false;
            b.frame = 0;
        }
    }
    for (size_t i = 0; i < sum.size(); ++i) {
        const float v = sum[i] > 32767.0f ? 32767.0f : (sum[i] < -32768.0f ? -32768.0f : sum[i]);
        out[i] = static_cast<int16_t>(v);
    }
}

void SdlSoundDevice::Callback(void* self, uint8_t* stream, int length) {
    if (length <= 0) return;
    static_cast<SdlSoundDevice*>(self)->Mix(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(length) / 4);
}

SdlSoundDevice::Buffer* SdlSoundDevice::Get(SoundBuffer buffer) {
    const auto found = buffers_.find(buffer);
    return found == buffers_.end() ? nullptr : &found->second;
}
