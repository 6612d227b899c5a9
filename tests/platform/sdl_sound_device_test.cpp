// The SDL sound device on SDL's dummy driver: the mixer is driven by hand, so nothing waits on time.
#include "platform/sdl/sdl_sound_device.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class SdlSoundDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(device.Create(), kSoundOk);
        device.PauseCallback(true);  // the dummy driver's thread would otherwise mix along
        const SoundBufferDesc primary = {kSoundBufferDescSize, BCAPS_PRIMARYBUFFER | BCAPS_CTRLVOLUME, 0, nullptr};
        ASSERT_EQ(device.CreateSoundBuffer(primary, &this->primary), kSoundOk);
        ASSERT_EQ(device.SetFormat(this->primary, kEngineSoundFormat), kSoundOk);
    }

    // A buffer of stereo frames holding `samples`.
    SoundBuffer Make(const std::vector<int16_t>& samples) {
        const SoundBufferDesc desc = {kSoundBufferDescSize, BCAPS_CTRLVOLUME,
                                      static_cast<uint32_t>(samples.size() * 2), &kEngineSoundFormat};
        SoundBuffer buffer = 0;
        EXPECT_EQ(device.CreateSoundBuffer(desc, &buffer), kSoundOk);
        void* part1 = nullptr;
        void* part2 = nullptr;
        uint32_t bytes1 = 0, bytes2 = 0;
        EXPECT_EQ(device.Lock(buffer, 0, 0, &part1, &bytes1, &part2, &bytes2, BLOCK_ENTIREBUFFER), kSoundOk);
        EXPECT_EQ(bytes1, samples.size() * 2);
        std::memcpy(part1, samples.data(), bytes1);
        EXPECT_EQ(device.Unlock(buffer, part1, bytes1, part2, bytes2), kSoundOk);
        return buffer;
    }

    std::vector<int16_t> Mix(uint32_t frames) {
        std::vector<int16_t> out(frames * 2, 99);
        device.Mix(out.data(), frames);
        return out;
    }

    SdlSoundDevice device;
    SoundBuffer primary = 0;
};

TEST_F(SdlSoundDeviceTest, MixesPlayingBuffersWithClampingVolumeStopAndLooping) {
    const SoundBuffer a = Make({1000, -1000, 30000, -30000, 5, 6});
    const SoundBuffer b = Make({2000, 2000, 10000, -10000});
    // Nothing plays yet: silence, and a new buffer is silence until written.
    EXPECT_EQ(Mix(2), (std::vector<int16_t>{0, 0, 0, 0}));

    ASSERT_EQ(device.Play(a, 0), kSoundOk);
    ASSERT_EQ(device.Play(b, 0), kSoundOk);
    // Summed, clamped to 16 bits; a one-shot buffer stops at its end and goes back to its start.
    EXPECT_EQ(Mix(4), (std::vector<int16_t>{3000, 1000, 32767, -32768, 5, 6, 0, 0}));
    EXPECT_FALSE(device.IsPlaying(a));
    EXPECT_FALSE(device.IsPlaying(b));

    // Volume in hundredths of a decibel: -600 is about half, the minimum is silence.
    ASSERT_EQ(device.SetVolume(a, -602), kSoundOk);
    ASSERT_EQ(device.SetCurrentPosition(a, 0), kSoundOk);
    ASSERT_EQ(device.Play(a, 0), kSoundOk);
    const std::vector<int16_t> half = Mix(1);
    EXPECT_NEAR(half[0], 500, 2);
    EXPECT_NEAR(half[1], -500, 2);
    ASSERT_EQ(device.SetVolume(a, kSoundVolumeMin), kSoundOk);
    EXPECT_EQ(Mix(1), (std::vector<int16_t>{0, 0}));
    EXPECT_EQ(device.SetVolume(a, 1), kSoundInvalidParam);

    // Stop keeps the position; Play goes on from there.
    ASSERT_EQ(device.SetVolume(a, kSoundVolumeMax), kSoundOk);
    ASSERT_EQ(device.Stop(a), kSoundOk);
    EXPECT_EQ(Mix(1), (std::vector<int16_t>{0, 0}));
    ASSERT_EQ(device.Play(a, 0), kSoundOk);
    EXPECT_EQ(Mix(2), (std::vector<int16_t>{5, 6, 0, 0}));

    // Looping plays on from the start until stopped.
    ASSERT_EQ(device.Play(b, BPLAY_LOOPING), kSoundOk);
    EXPECT_EQ(Mix(3), (std::vector<int16_t>{2000, 2000, 10000, -10000, 2000, 2000}));
    EXPECT_TRUE(device.IsPlaying(b));
    ASSERT_EQ(device.Stop(b), kSoundOk);
    EXPECT_EQ(Mix(1), (std::vector<int16_t>{0, 0}));
}

TEST_F(SdlSoundDeviceTest, ReferencesFormatsAndBadHandles) {
    const SoundBuffer a = Make({1, 2});
    SoundBuffer a8 = 0;
    ASSERT_EQ(device.QueryBuffer8(a, &a8), kSoundOk);
    EXPECT_EQ(a8, a);
    EXPECT_EQ(device.Release(a), 1u);
    ASSERT_EQ(device.Play(a8, BPLAY_LOOPING), kSoundOk);
    EXPECT_EQ(device.Release(a8), 0u);
    // Gone: calls fail and the mixer no longer hears it.
    EXPECT_EQ(device.Play(a8, 0), kSoundInvalidParam);
    EXPECT_EQ(device.Release(a8), 0u);
    EXPECT_EQ(Mix(1), (std::vector<int16_t>{0, 0}));

    SoundFormat mono = kEngineSoundFormat;
    mono.channels = 1;
    SoundBuffer none = 7;
    EXPECT_EQ(device.CreateSoundBuffer({kSoundBufferDescSize, 0, 8, &mono}, &none), kSoundBadFormat);
    EXPECT_EQ(none, 0u);
    EXPECT_EQ(device.CreateSoundBuffer({kSoundBufferDescSize, 0, 6, &kEngineSoundFormat}, &none), kSoundInvalidParam);
    EXPECT_EQ(device.CreateSoundBuffer({kSoundBufferDescSize, 0, 0, &kEngineSoundFormat}, &none), kSoundInvalidParam);
    EXPECT_EQ(device.CreateSoundBuffer({kSoundBufferDescSize, 0, 8, nullptr}, &none), kSoundBadFormat);
    EXPECT_EQ(device.SetFormat(primary, mono), kSoundBadFormat);
    EXPECT_EQ(device.Play(primary, 0), kSoundInvalidParam);
    EXPECT_EQ(device.SetCurrentPosition(12345, 0), kSoundInvalidParam);
    void* part = nullptr;
    uint32_t bytes = 0;
    EXPECT_EQ(device.Lock(12345, 0, 4, &part, &bytes, nullptr, nullptr, 0), kSoundInvalidParam);
    EXPECT_EQ(part, nullptr);
    EXPECT_EQ(device.Unlock(12345, nullptr, 0, nullptr, 0), kSoundInvalidParam);
}

}  // namespace
