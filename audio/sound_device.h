#pragma once
// The sound device the engine plays through: the DirectSound 8 subset the sound slots use, with
// DirectSound's own numbers, so that the Windows adapter passes calls straight through and every
// other adapter (SDL mixer, null, recording) can be held to the same meaning.
//
// Conventions of every adapter:
// - Results are HRESULT-like codes: kSoundOk (0) for success, a negative code for failure.
// - Buffers are named by handles; 0 names none. A handle is reference counted like the interface it
//   stands for: CreateSoundBuffer gives one reference, QueryBuffer8 adds one to the same buffer and
//   Release takes one; the buffer goes (and stops) when the last reference is released. A released or
//   unknown handle makes a call fail with kSoundInvalidParam and changes nothing.
// - Sample data is PCM as the buffer's format says; a new secondary buffer holds silence (zero bytes),
//   never whatever memory held before.
// - Volume is in hundredths of a decibel of attenuation: kSoundVolumeMax (0) is the data as it is,
//   kSoundVolumeMin (-10000) is silence.

#include <cstdint>

using SoundResult = int32_t;
using SoundBuffer = uint32_t;

// Results (DS_OK, DSERR_*).
inline constexpr SoundResult kSoundOk = 0;
inline constexpr SoundResult kSoundNoDriver = static_cast<int32_t>(0x88780078);      // DSERR_NODRIVER
inline constexpr SoundResult kSoundInvalidCall = static_cast<int32_t>(0x88780032);   // DSERR_INVALIDCALL
inline constexpr SoundResult kSoundInvalidParam = static_cast<int32_t>(0x80070057);  // DSERR_INVALIDPARAM
inline constexpr SoundResult kSoundBadFormat = static_cast<int32_t>(0x88780064);     // DSERR_BADFORMAT
inline constexpr SoundResult kSoundOutOfMemory = static_cast<int32_t>(0x8007000E);   // DSERR_OUTOFMEMORY

// Cooperative levels (DSSCL_*).
inline constexpr uint32_t SCL_NORMAL = 1, SCL_PRIORITY = 2;

// Buffer description flags (DSBCAPS_*).
inline constexpr uint32_t BCAPS_PRIMARYBUFFER = 0x1;
inline constexpr uint32_t BCAPS_CTRLVOLUME = 0x80;

// Lock flags (DSBLOCK_*): ENTIREBUFFER ignores offset and size and locks all of it.
inline constexpr uint32_t BLOCK_ENTIREBUFFER = 0x2;

// Play flags (DSBPLAY_*): LOOPING plays on from the start at the end until stopped; without it the
// buffer stops at its end (and its position returns to 0).
inline constexpr uint32_t BPLAY_LOOPING = 0x1;

inline constexpr int32_t kSoundVolumeMax = 0;       // DSBVOLUME_MAX
inline constexpr int32_t kSoundVolumeMin = -10000;  // DSBVOLUME_MIN

// Sizes a secondary buffer may have (DSBSIZE_MIN, DSBSIZE_MAX).
inline constexpr uint32_t kSoundBufferMinBytes = 4;
inline constexpr uint32_t kSoundBufferMaxBytes = 0x0FFFFFFF;

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;

// WAVEFORMATEX without its extra bytes.
struct SoundFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};

// The format of every buffer the engine makes: 16-bit stereo PCM at 44100 Hz.
inline constexpr SoundFormat kEngineSoundFormat = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16};

// DSBUFFERDESC: size is the structure's size in the Windows program (36); a primary buffer has no
// size and no format.
struct SoundBufferDesc {
    uint32_t size;
    uint32_t flags;
    uint32_t bufferBytes;
    const SoundFormat* format;
};
inline constexpr uint32_t kSoundBufferDescSize = 36;

class SoundDevice {
public:
    virtual ~SoundDevice() = default;

    // DirectSoundCreate8 on the default device: kSoundNoDriver when there is no device to play on.
    // Every other call is only made after a successful Create.
    virtual SoundResult Create() = 0;
    // IDirectSound8::SetCooperativeLevel for the window (SCL_*).
    virtual SoundResult SetCooperativeLevel(void* window, uint32_t level) = 0;
    // IDirectSound8::CreateSoundBuffer: the primary buffer (BCAPS_PRIMARYBUFFER, no size, no format) or
    // a secondary buffer of `bufferBytes` (kSoundBufferMinBytes to kSoundBufferMaxBytes, whole
    // blocks) in `format`, filled with silence.
    virtual SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer* buffer) = 0;
    // IDirectSoundBuffer::SetFormat of the primary buffer: the format the device mixes in.
    virtual SoundResult SetFormat(SoundBuffer primary, const SoundFormat& format) = 0;
    // IDirectSoundBuffer::QueryInterface for IDirectSoundBuffer8: the same buffer, one reference more.
    virtual SoundResult QueryBuffer8(SoundBuffer buffer, SoundBuffer* buffer8) = 0;
    // IUnknown::Release: the references left.
    virtual uint32_t Release(SoundBuffer buffer) = 0;
    // IDirectSoundBuffer8::Lock of `bytes` from `offset` (or all with BLOCK_ENTIREBUFFER): the memory
    // in one or two regions (the second when the range wraps), writable until Unlock.
    virtual SoundResult Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                             void** part2, uint32_t* bytes2, uint32_t flags) = 0;
    // IDirectSoundBuffer8::Unlock with the two regions Lock gave: what was written there becomes the data.
    virtual SoundResult Unlock(SoundBuffer buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) = 0;
    // IDirectSoundBuffer8::SetCurrentPosition: the byte the next play starts from (whole blocks).
    virtual SoundResult SetCurrentPosition(SoundBuffer buffer, uint32_t position) = 0;
    // IDirectSoundBuffer8::SetVolume (kSoundVolumeMin to kSoundVolumeMax).
    virtual SoundResult SetVolume(SoundBuffer buffer, int32_t volume) = 0;
    // IDirectSoundBuffer8::Play from the current position (BPLAY_*); a playing buffer plays on.
    virtual SoundResult Play(SoundBuffer buffer, uint32_t flags) = 0;
    // IDirectSoundBuffer8::Stop: the position stays where it stopped.
    virtual SoundResult Stop(SoundBuffer buffer) = 0;
};
