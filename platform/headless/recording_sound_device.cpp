#include "platform/headless/recording_sound_device.h"

namespace {

std::string Line(const char* call, const std::string& arguments, long long result) {
    return std::string(call) + "(" + arguments + ") -> " + std::to_string(result);
}

std::string N(long long value) {
    return std::to_string(value);
}

}  // namespace

SoundResult RecordingSoundDevice::Create() {
    const SoundResult r = NullSoundDevice::Create();
    calls.push_back(Line("Create", "", r));
    return r;
}

SoundResult RecordingSoundDevice::SetCooperativeLevel(void* window, uint32_t level) {
    const SoundResult r = NullSoundDevice::SetCooperativeLevel(window, level);
    calls.push_back(Line("SetCooperativeLevel", std::string(window ? "window" : "null") + ", " + N(level), r));
    return r;
}

SoundResult RecordingSoundDevice::CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer* buffer) {
    const SoundResult r = NullSoundDevice::CreateSoundBuffer(desc, buffer);
    std::string format = "no format";
    if (desc.format != nullptr) {
        const SoundFormat& f = *desc.format;
        format = N(f.formatTag) + "/" + N(f.channels) + "/" + N(f.samplesPerSec) + "/" + N(f.avgBytesPerSec) + "/" +
                 N(f.blockAlign) + "/" + N(f.bitsPerSample);
    }
    calls.push_back(Line("CreateSoundBuffer",
                         N(desc.size) + ", " + N(desc.flags) + ", " + N(desc.bufferBytes) + ", " + format + ", buffer " +
                             N(buffer != nullptr ? *buffer : 0),
                         r));
    return r;
}

SoundResult RecordingSoundDevice::SetFormat(SoundBuffer primary, const SoundFormat& f) {
    const SoundResult r = NullSoundDevice::SetFormat(primary, f);
    calls.push_back(Line("SetFormat",
                         N(primary) + ", " + N(f.formatTag) + "/" + N(f.channels) + "/" + N(f.samplesPerSec) + "/" +
                             N(f.avgBytesPerSec) + "/" + N(f.blockAlign) + "/" + N(f.bitsPerSample),
                         r));
    return r;
}

SoundResult RecordingSoundDevice::QueryBuffer8(SoundBuffer buffer, SoundBuffer* buffer8) {
    const SoundResult r = NullSoundDevice::QueryBuffer8(buffer, buffer8);
    calls.push_back(Line("QueryBuffer8", N(buffer) + ", buffer " + N(buffer8 != nullptr ? *buffer8 : 0), r));
    return r;
}

uint32_t RecordingSoundDevice::Release(SoundBuffer buffer) {
    const uint32_t r = NullSoundDevice::Release(buffer);
    calls.push_back(Line("Release", N(buffer), r));
    return r;
}

SoundResult RecordingSoundDevice::Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, void** part1,
                                       uint32_t* bytes1, void** part2, uint32_t* bytes2, uint32_t flags) {
    const SoundResult r = NullSoundDevice::Lock(buffer, offset, bytes, part1, bytes1, part2, bytes2, flags);
    calls.push_back(Line("Lock", N(buffer) + ", " + N(offset) + ", " + N(bytes) + ", " + N(flags), r));
    return r;
}

SoundResult RecordingSoundDevice::Unlock(SoundBuffer buffer, void* part1, uint32_t bytes1, void* part2,
                                         uint32_t bytes2) {
    const SoundResult r = NullSoundDevice::Unlock(buffer, part1, bytes1, part2, bytes2);
    calls.push_back(Line("Unlock", N(buffer) + ", " + N(bytes1) + ", " + N(bytes2), r));
    return r;
}

SoundResult RecordingSoundDevice::SetCurrentPosition(SoundBuffer buffer, uint32_t position) {
    const SoundResult r = NullSoundDevice::SetCurrentPosition(buffer, position);
    calls.push_back(Line("SetCurrentPosition", N(buffer) + ", " + N(position), r));
    return r;
}

SoundResult RecordingSoundDevice::SetVolume(SoundBuffer buffer, int32_t volume) {
    const SoundResult r = NullSoundDevice::SetVolume(buffer, volume);
    calls.push_back(Line("SetVolume", N(buffer) + ", " + N(volume), r));
    return r;
}

SoundResult RecordingSoundDevice::Play(SoundBuffer buffer, uint32_t flags) {
    const SoundResult r = NullSoundDevice::Play(buffer, flags);
    calls.push_back(Line("Play", N(buffer) + ", " + N(flags), r));
    return r;
}

SoundResult RecordingSoundDevice::Stop(SoundBuffer buffer) {
    const SoundResult r = NullSoundDevice::Stop(buffer);
    calls.push_back(Line("Stop", N(buffer), r));
    return r;
}
