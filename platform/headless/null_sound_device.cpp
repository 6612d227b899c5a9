#include "platform/headless/null_sound_device.h"

SoundResult NullSoundDevice::Create() {
    return createResult;
}

SoundResult NullSoundDevice::SetCooperativeLevel(void*, uint32_t level) {
    return level == SCL_NORMAL || level == SCL_PRIORITY ? kSoundOk : kSoundInvalidParam;
}

SoundResult NullSoundDevice::CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer* buffer) {
    if (buffer == nullptr) return kSoundInvalidParam;
    *buffer = 0;
    Buffer made;
    if (desc.flags & BCAPS_PRIMARYBUFFER) {
        if (desc.bufferBytes != 0 || desc.format != nullptr) return kSoundInvalidParam;
        made.primary = true;
    } else {
        const SoundFormat* f = desc.format;
        if (f == nullptr || f->formatTag != WAVE_FORMAT_PCM || f->blockAlign == 0) return kSoundBadFormat;
        if (desc.bufferBytes < kSoundBufferMinBytes || desc.bufferBytes > kSoundBufferMaxBytes ||
            desc.bufferBytes % f->blockAlign != 0) {
            return kSoundInvalidParam;
        }
        made.data.assign(desc.bufferBytes, 0);
    }
    *buffer = next_++;
    buffers_.emplace(*buffer, std::move(made));
    return kSoundOk;
}

SoundResult NullSoundDevice::SetFormat(SoundBuffer primary, const SoundFormat& format) {
    Buffer* b = Get(primary);
    if (b == nullptr || !b->primary) return kSoundInvalidParam;
    return format.formatTag == WAVE_FORMAT_PCM ? kSoundOk : kSoundBadFormat;
}

SoundResult NullSoundDevice::QueryBuffer8(SoundBuffer buffer, SoundBuffer* buffer8) {
    if (buffer8 == nullptr) return kSoundInvalidParam;
    *buffer8 = 0;
    Buffer* b = Get(buffer);
    if (b == nullptr || b->primary) return kSoundInvalidParam;
    ++b->references;
    *buffer8 = buffer;
    return kSoundOk;
}

uint32_t NullSoundDevice::Release(SoundBuffer buffer) {
    Buffer* b = Get(buffer);
    if (b == nullptr) return 0;
    if (--b->references > 0) return b->references;
    buffers_.erase(buffer);
    return 0;
}

SoundResult NullSoundDevice::Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                                  void** part2, uint32_t* bytes2, uint32_t flags) {
    if (part1 == nullptr || bytes1 == nullptr) return kSoundInvalidParam;
    *part1 = nullptr;
    *bytes1 = 0;
    if (part2 != nullptr) *part2 = nullptr;
    if (bytes2 != nullptr) *bytes2 = 0;
    Buffer* b = Get(buffer);
    if (b == nullptr || b->primary || b->locked) return kSoundInvalidParam;
    const uint32_t size = static_cast<uint32_t>(b->data.size());
    if (flags & BLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size;
    }
    if (offset >= size || bytes == 0 || bytes > size) return kSoundInvalidParam;
    const uint32_t first = bytes < size - offset ? bytes : size - offset;
    *part1 = b->data.data() + offset;
    *bytes1 = first;
    if (first < bytes) {
        if (part2 == nullptr || bytes2 == nullptr) return kSoundInvalidParam;
        *part2 = b->data.data();
        *bytes2 = bytes - first;
    }
    b->locked = true;
    return kSoundOk;
}

SoundResult NullSoundDevice::Unlock(SoundBuffer buffer, void*, uint32_t, void*, uint32_t) {
    Buffer* b = Get(buffer);
    if (b == nullptr || !b->locked) return kSoundInvalidParam;
    b->locked = false;
    return kSoundOk;
}

SoundResult NullSoundDevice::SetCurrentPosition(SoundBuffer buffer, uint32_t position) {
    Buffer* b = Get(buffer);
    if (b == nullptr || b->primary || position >= b->data.size()) return kSoundInvalidParam;
    b->position = position;
    return kSoundOk;
}

SoundResult NullSoundDevice::SetVolume(SoundBuffer buffer, int32_t volume) {
    Buffer* b = Get(buffer);
    if (b == nullptr || volume < kSoundVolumeMin || volume > kSoundVolumeMax) return kSoundInvalidParam;
    b->volume = volume;
    return kSoundOk;
}

SoundResult NullSoundDevice::Play(SoundBuffer buffer, uint32_t flags) {
    Buffer* b = Get(buffer);
    if (b == nullptr || b->primary) return kSoundInvalidParam;
    b->playing = true;
    b->looping = (flags & BPLAY_LOOPING) != 0;
    return kSoundOk;
}

SoundResult NullSoundDevice::Stop(SoundBuffer buffer) {
    Buffer* b = Get(buffer);
    if (b == nullptr) return kSoundInvalidParam;
    b->playing = false;
    return kSoundOk;
}

const NullSoundDevice::Buffer* NullSoundDevice::Find(SoundBuffer buffer) const {
    const auto found = buffers_.find(buffer);
    return found == buffers_.end() ? nullptr : &found->second;
}

NullSoundDevice::Buffer* NullSoundDevice::Get(SoundBuffer buffer) {
    const auto found = buffers_.find(buffer);
    return found == buffers_.end() ? nullptr : &found->second;
}
