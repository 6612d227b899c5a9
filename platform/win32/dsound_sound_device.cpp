#include "platform/win32/dsound_sound_device.h"

#include "platform/win32/win32_api.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <dsound.h>

namespace {

using DirectSoundCreate8Function = HRESULT(WINAPI*)(const GUID* device, IDirectSound8** sound, IUnknown* outer);

WAVEFORMATEX ToWaveFormat(const SoundFormat& f) {
    WAVEFORMATEX w{};
    w.wFormatTag = f.formatTag;
    w.nChannels = f.channels;
    w.nSamplesPerSec = f.samplesPerSec;
    w.nAvgBytesPerSec = f.avgBytesPerSec;
    w.nBlockAlign = f.blockAlign;
    w.wBitsPerSample = f.bitsPerSample;
    w.cbSize = 0;
    return w;
}

}  // namespace

DirectSound8Device::~DirectSound8Device() {
    for (Entry& entry : entries_) {
        while (entry.buffer != nullptr && entry.references-- > 0) entry.buffer->Release();
    }
    if (sound_ != nullptr) sound_->Release();
}

IDirectSoundBuffer* DirectSound8Device::Find(SoundBuffer handle) const {
    return handle >= 1 && handle <= entries_.size() ? entries_[handle - 1].buffer : nullptr;
}

SoundBuffer DirectSound8Device::Add(IDirectSoundBuffer* buffer) {
    entries_.push_back(Entry{buffer, 1});
    return static_cast<SoundBuffer>(entries_.size());
}

SoundResult DirectSound8Device::Create() {
    if (sound_ != nullptr) return kSoundOk;
    // No library or no entry point is a machine without DirectSound: no driver to play on.
    HMODULE module = LoadLibraryA("dsound.dll");
    if (module == nullptr) return kSoundNoDriver;
    const auto create = reinterpret_cast<DirectSoundCreate8Function>(
        reinterpret_cast<void*>(GetProcAddress(module, "DirectSoundCreate8")));
    if (create == nullptr) return kSoundNoDriver;
    IDirectSound8* sound = nullptr;
    const HRESULT result = create(nullptr, &sound, nullptr);
    if (FAILED(result) || sound == nullptr) return FAILED(result) ? result : kSoundNoDriver;
    sound_ = sound;
    return result;
}

SoundResult DirectSound8Device::SetCooperativeLevel(void* window, uint32_t level) {
    return sound_ != nullptr ? sound_->SetCooperativeLevel(static_cast<HWND>(window), level) : kSoundInvalidCall;
}

SoundResult DirectSound8Device::CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer* buffer) {
    if (buffer != nullptr) *buffer = 0;
    if (sound_ == nullptr || buffer == nullptr) return kSoundInvalidCall;
    WAVEFORMATEX format{};
    if (desc.format != nullptr) format = ToWaveFormat(*desc.format);
    DSBUFFERDESC d{};
    d.dwSize = sizeof d;  // the size of this build's structure, whatever the engine's record says
    d.dwFlags = desc.flags;
    d.dwBufferBytes = desc.bufferBytes;
    d.lpwfxFormat = desc.format != nullptr ? &format : nullptr;
    IDirectSoundBuffer* created = nullptr;
    const HRESULT result = sound_->CreateSoundBuffer(&d, &created, nullptr);
    if (FAILED(result) || created == nullptr) return FAILED(result) ? result : kSoundInvalidCall;
    *buffer = Add(created);
    return result;
}

SoundResult DirectSound8Device::SetFormat(SoundBuffer primary, const SoundFormat& format) {
    IDirectSoundBuffer* b = Find(primary);
    if (b == nullptr) return kSoundInvalidParam;
    const WAVEFORMATEX w = ToWaveFormat(format);
    return b->SetFormat(&w);
}

SoundResult DirectSound8Device::QueryBuffer8(SoundBuffer buffer, SoundBuffer* buffer8) {
    if (buffer8 != nullptr) *buffer8 = 0;
    IDirectSoundBuffer* b = Find(buffer);
    if (b == nullptr || buffer8 == nullptr) return kSoundInvalidParam;
    IDirectSoundBuffer8* b8 = nullptr;
    const HRESULT result = b->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&b8));
    if (FAILED(result) || b8 == nullptr) return FAILED(result) ? result : kSoundInvalidParam;
    *buffer8 = Add(reinterpret_cast<IDirectSoundBuffer*>(b8));
    return result;
}

uint32_t DirectSound8Device::Release(SoundBuffer buffer) {
    IDirectSoundBuffer* b = Find(buffer);
    if (b == nullptr) return 0;
    Entry& entry = entries_[buffer - 1];
    const ULONG left = b->Release();
    if (--entry.references == 0) entry.buffer = nullptr;
    return left;
}

SoundResult DirectSound8Device::Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, void** part1,
                                     uint32_t* bytes1, void** part2, uint32_t* bytes2, uint32_t flags) {
    IDirectSoundBuffer* b = Find(buffer);
    if (b == nullptr) return kSoundInvalidParam;
    DWORD size1 = 0, size2 = 0;
    const HRESULT result = b->Lock(offset, bytes, part1, &size1, part2, &size2, flags);
    if (bytes1 != nullptr) *bytes1 = size1;
    if (bytes2 != nullptr) *bytes2 = size2;
    return result;
}

SoundResult DirectSound8Device::Unlock(SoundBuffer buffer, void* part1, uint32_t bytes1, void* part2,
                                       uint32_t bytes2) {
    IDirectSoundBuffer* b = Find(buffer);
    return b != nullptr ? b->Unlock(part1, bytes1, part2, bytes2) : kSoundInvalidParam;
}

SoundResult DirectSound8Device::SetCurrentPosition(SoundBuffer buffer, uint32_t position) {
    IDirectSoundBuffer* b = Find(buffer);
    return b != nullptr ? b->SetCurrentPosition(position) : kSoundInvalidParam;
}

SoundResult DirectSound8Device::SetVolume(SoundBuffer buffer, int32_t volume) {
    IDirectSoundBuffer* b = Find(buffer);
    return b != nullptr ? b->SetVolume(volume) : kSoundInvalidParam;
}

SoundResult DirectSound8Device::Play(SoundBuffer buffer, uint32_t flags) {
    IDirectSoundBuffer* b = Find(buffer);
    return b != nullptr ? b->Play(0, 0, flags) : kSoundInvalidParam;
}

SoundResult DirectSound8Device::Stop(SoundBuffer buffer) {
    IDirectSoundBuffer* b = Find(buffer);
    return b != nullptr ? b->Stop() : kSoundInvalidParam;
}
