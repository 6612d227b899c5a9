#include "audio/sound.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/wav.h"
#include "base/console.h"
#include "base/platform.h"

SoundState g_sound;

namespace {

SoundDevice* g_installedDevice = nullptr;

bool Failed(SoundResult result) {
    return result < 0;
}

// The name a path is stored and compared under: cut to the name field.
void CutName(const char* path, char (&name)[kSoundNameBytes]) {
    std::memset(name, 0, sizeof name);
    if (path != nullptr) std::memcpy(name, path, strnlen(path, kSoundNameBytes - 1));
}

// A slot never loaded has an empty name, which no path names: an empty path finds nothing.
bool NameIs(const SoundSlot& slot, const char* path) {
    if (slot.name[0] == 0) return false;
    char name[kSoundNameBytes];
    CutName(path, name);
    return std::strcmp(slot.name, name) == 0;
}

int FirstFreeSlot() {
    for (int i = 0; i < kSoundSlotCount; ++i) {
        if (!g_sound.slots[i].occupied) return i;
    }
    return kNoSoundSlot;
}

// A new buffer in the engine's format holding `samples`: 0 when any step fails (reported).
SoundBuffer MakeBuffer(SoundDevice& device, const std::vector<uint8_t>& samples) {
    const SoundBufferDesc desc = {kSoundBufferDescSize, BCAPS_CTRLVOLUME, static_cast<uint32_t>(samples.size()),
                                  &kEngineSoundFormat};
    SoundBuffer temporary = 0;
    SoundResult result = device.CreateSoundBuffer(desc, &temporary);
    if (Failed(result) || temporary == 0) {
        ReportWavCheck(247, "!FAILED(result)", "IDirectSound8::CreateSoundBuffer failed to create temporary sound buffer");
        return 0;
    }
    SoundBuffer buffer = 0;
    result = device.QueryBuffer8(temporary, &buffer);
    device.Release(temporary);
    if (Failed(result) || buffer == 0) {
        ReportWavCheck(251, "!FAILED(result)", "IDirectSoundBuffer::QueryInterface failed to create secondary sound buffer");
        return 0;
    }
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    result = device.Lock(buffer, 0, 0, &part1, &bytes1, &part2, &bytes2, BLOCK_ENTIREBUFFER);
    if (Failed(result) || part1 == nullptr) {
        ReportWavCheck(274, "!FAILED(result)", "IDirectSoundBuffer8::Lock failed to lock buffer");
        device.Release(buffer);
        return 0;
    }
    // The device may give less than asked; never more than the samples are copied.
    const size_t first = bytes1 < samples.size() ? bytes1 : samples.size();
    std::memcpy(part1, samples.data(), first);
    if (part2 != nullptr && first < samples.size()) {
        const size_t second = bytes2 < samples.size() - first ? bytes2 : samples.size() - first;
        std::memcpy(part2, samples.data() + first, second);
    }
    result = device.Unlock(buffer, part1, bytes1, part2, bytes2);
    if (Failed(result)) {
        ReportWavCheck(281, "!FAILED(result)", "IDirectSoundBuffer8::Lock failed to lock buffer");
        device.Release(buffer);
        return 0;
    }
    return buffer;
}

}  // namespace

void SetSoundDevice(SoundDevice* device) {
    g_installedDevice = device;
}

SoundDevice* GetSoundDevice() {
    return g_installedDevice;
}

void InitSound(void* window, SoundDevice* device) {
    ResetSound();
    // No device installed: the platform offers no sound at all, and the game says nothing about it.
    if (device == nullptr) return;
    const SoundResult created = device->Create();
    if (Failed(created)) {
        // Only a missing driver is worth the player's attention; the console line is for the log.
        if (created == kSoundNoDriver && g_platform.platform != nullptr) {
            g_platform.platform->MessageBox(window, "No sound driver is available for use", "DirectSound 8",
                                            kMessageBoxIconError);
        }
        // One message, whatever the reason; the game runs on without sound.
        ConsolePrintf("\nredblack{DirectSound 8:} yellowblack{%s}",
                      created == kSoundNoDriver ? "No sound driver is available for use"
                                                : "The sound device could not be created; the game runs without sound");
        return;
    }
    g_sound.device = device;
    device->SetCooperativeLevel(window, SCL_PRIORITY);
    const SoundBufferDesc desc = {kSoundBufferDescSize, BCAPS_PRIMARYBUFFER | BCAPS_CTRLVOLUME, 0, nullptr};
    if (!Failed(device->CreateSoundBuffer(desc, &g_sound.primary)) && g_sound.primary != 0) {
        device->SetFormat(g_sound.primary, kEngineSoundFormat);
    }
}

int LoadWavIntoSlot(const char* path) {
    SoundDevice* device = g_sound.device;
    if (device == nullptr) return kNoSoundSlot;
    // A full table refuses before anything is read or made.
    const int slot = FirstFreeSlot();
    if (slot == kNoSoundSlot) {
        ConsolePrintf("\nblueblack{Sound warning:} yellowblack{No free sound slots available to load} aquablack{%s}",
                      path != nullptr ? path : "");
        return kNoSoundSlot;
    }
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        ReportWavCheck(186, "filePtr != 0", "fopen failed to open wave file!");
        return kNoSoundSlot;
    }
    std::vector<uint8_t> samples;
    const bool read = ReadWav(file, &samples);
    std::fclose(file);
    if (!read || samples.empty()) return kNoSoundSlot;
    const SoundBuffer buffer = MakeBuffer(*device, samples);
    if (buffer == 0) return kNoSoundSlot;
    g_sound.slots[slot].occupied = true;
    g_sound.slots[slot].buffer = buffer;
    return slot;
}

int LoadSoundByName(const char* path) {
    const int slot = LoadWavIntoSlot(path);
    if (slot != kNoSoundSlot) CutName(path, g_sound.slots[slot].name);
    return slot;
}

void RemoveSoundByName(const char* path) {
    if (g_sound.device == nullptr) return;
    for (SoundSlot& slot : g_sound.slots) {
        if (!NameIs(slot, path)) continue;
        if (slot.buffer != 0) g_sound.device->Release(slot.buffer);
        slot.buffer = 0;
        slot.occupied = false;
    }
}

void PlaySlot(int slot) {
    SoundDevice* device = g_sound.device;
    if (device == nullptr || slot < 0 || slot >= kSoundSlotCount) return;
    const SoundSlot& s = g_sound.slots[slot];
    if (!s.occupied) {
        ConsolePrintf("\nblueblack{Sound warning:} yellowblack{Attempted to play empty sound slot} aquablack{%i}", slot);
        return;
    }
    if (s.buffer == 0) {
        ConsolePrintf(
            "\nredblack{Sound error:} yellowblack{Attempted to play sound slot} aquablack{%i} yellowblack{which was "
            "occupied but pBuffer was NULL}",
            slot);
        return;
    }
    device->SetCurrentPosition(s.buffer, 0);
    device->SetVolume(s.buffer, kSoundVolumeMax);
    device->Play(s.buffer, 0);
}

void PlaySoundByName(const char* path) {
    if (g_sound.device == nullptr) return;
    bool matched = false;
    for (int i = 0; i < kSoundSlotCount; ++i) {
        if (!NameIs(g_sound.slots[i], path)) continue;
        matched = true;
        PlaySlot(i);
    }
    if (!matched) {
        ConsolePrintf(
            "\nblueblack{Sound warning:} yellowblack{A sound must be loaded using} aquablack{LoadSound} "
            "yellowblack{before playback}");
    }
}

void StopSoundByName(const char* path) {
    SoundDevice* device = g_sound.device;
    if (device == nullptr) return;
    for (int i = 0; i < kSoundSlotCount; ++i) {
        const SoundSlot& s = g_sound.slots[i];
        if (!NameIs(s, path)) continue;
        if (!s.occupied) {
            ConsolePrintf("\nblueblack{Sound warning:} yellowblack{Attempted to stop playing empty sound slot} aquablack{%i}",
                          i);
        } else if (s.buffer == 0) {
            ConsolePrintf(
                "\nredblack{Sound error:} yellowblack{Attempted to stop playing sound slot} aquablack{%i} "
                "yellowblack{which was occupied but pBuffer was NULL}",
                i);
        } else {
            device->Stop(s.buffer);
        }
    }
}

void ResetSound() {
    if (g_sound.device != nullptr) {
        for (SoundSlot& slot : g_sound.slots) {
            if (slot.buffer != 0) g_sound.device->Release(slot.buffer);
        }
        if (g_sound.primary != 0) g_sound.device->Release(g_sound.primary);
    }
    g_sound = SoundState{};
}
