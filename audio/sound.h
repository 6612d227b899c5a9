#pragma once
// The sound slots: 16 buffers, each filled from one WAV file and named by the path a script loaded it
// with. Sounds play once from the start at full volume.

#include <cstddef>
#include <cstdint>

#include "audio/sound_device.h"

inline constexpr int kSoundSlotCount = 16;
inline constexpr size_t kSoundNameBytes = 256;
// The result of a load that took no slot; never a slot number.
inline constexpr int kNoSoundSlot = -1;

struct SoundSlot {
    bool occupied;
    SoundBuffer buffer;          // 0: none
    char name[kSoundNameBytes];  // zero-terminated; kept when the slot is freed
};

struct SoundState {
    SoundDevice* device;  // null until a device was created: then nothing is called on it
    SoundBuffer primary;
    SoundSlot slots[kSoundSlotCount];
};
extern SoundState g_sound;

// The device the program plays through; set once at start-up by the platform (tests install their
// own). None: the game runs silently.
void SetSoundDevice(SoundDevice* device);
SoundDevice* GetSoundDevice();

// Creates the device's sound object, its cooperative level for `window` and the primary buffer in the
// engine's format. A device that cannot be created leaves the game silent with one message.
void InitSound(void* window, SoundDevice* device);

// Loads the WAV file at `path` into a new buffer in the first free slot: its number, or kNoSoundSlot
// (with a message) when the file gives no sound or every slot is taken. The slot's name is not set.
int LoadWavIntoSlot(const char* path);

// The builtins' work, by path (names compared as bytes, the path cut to the name field first).
int LoadSoundByName(const char* path);
void RemoveSoundByName(const char* path);
void PlaySoundByName(const char* path);
void StopSoundByName(const char* path);

// Plays slot `slot` once from the start at full volume (a message for an empty slot).
void PlaySlot(int slot);

// Releases every buffer and forgets the device (for tests and for running several games in one
// process); the installed device stays installed.
void ResetSound();
