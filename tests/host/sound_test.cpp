// Sound slots, WAV loading and the sound builtins against the recording device.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio/wav.h"
#include "base/platform.h"
#include "host/sound_builtins.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/recording_sound_device.h"
#include "script/engine.h"
#include "script/machine.h"
#include "script/value.h"
#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

void Put16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

struct WavFormat {
    uint16_t audioFormat = 1;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    const char* riff = "RIFF";
    const char* data = "data";
};

// A canonical WAV file: the 44-byte header saying `dataSize`, then `samples` as they are.
std::string Wav(const std::string& samples, WavFormat format = {}, int64_t dataSize = -1) {
    std::string s(format.riff, 4);
    Put32(s, static_cast<uint32_t>(36 + samples.size()));
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, format.audioFormat);
    Put16(s, format.channels);
    Put32(s, format.rate);
    Put32(s, format.rate * format.channels * format.bits / 8);
    Put16(s, format.channels * format.bits / 8);
    Put16(s, format.bits);
    s.append(format.data, 4);
    Put32(s, dataSize < 0 ? static_cast<uint32_t>(samples.size()) : static_cast<uint32_t>(dataSize));
    return s + samples;
}

// Stereo 16-bit frames from (left, right) pairs.
std::string Frames(const std::vector<int16_t>& values) {
    std::string s;
    for (int16_t v : values) Put16(s, static_cast<uint16_t>(v));
    return s;
}

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

int window;  // stands for the game window

class SoundTest : public testing::Test {
protected:
    void SetUp() override {
        InitSound(&window, &device);
        device.calls.clear();
    }
    void TearDown() override { ResetSound(); }

    std::string Write(const std::string& name, const std::string& content) {
        dir.WriteFile(name, content);
        return (dir.Path() / name).string();
    }
    std::vector<std::string> Calls() {
        std::vector<std::string> calls = std::move(device.calls);
        device.calls.clear();
        return calls;
    }

    TempDir dir;
    RecordingSoundDevice device;
};

TEST(SoundInit, CreatesTheObjectTheLevelAndThePrimaryBufferInTheEngineFormat) {
    RecordingSoundDevice device;
    CaptureConsole console;
    InitSound(&window, &device);
    EXPECT_EQ(device.calls, (std::vector<std::string>{
                                "Create() -> 0", "SetCooperativeLevel(window, 2) -> 0",
                                "CreateSoundBuffer(36, 129, 0, no format, buffer 1) -> 0",
                                "SetFormat(1, 1/2/44100/176400/4/16) -> 0"}));
    EXPECT_EQ(console.Text(), "");
    ResetSound();
    EXPECT_EQ(device.calls.back(), "Release(1) -> 0");
    EXPECT_EQ(device.LiveBuffers(), 0u);
}

TEST(SoundInit, WithoutADriverOneMessageThenEverythingIsAQuietNoOp) {
    RecordingSoundDevice device;
    device.createResult = kSoundNoDriver;
    CaptureConsole console;
    HeadlessPlatform platform;
    Platform* before = g_platform.platform;
    SetPlatform(&platform);
    InitSound(&window, &device);
    SetPlatform(before);
    // A box owned by the window, with the error icon; the headless platform answers it on the console.
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes()[0].text, "No sound driver is available for use");
    EXPECT_EQ(platform.MessageBoxes()[0].caption, "DirectSound 8");
    EXPECT_EQ(platform.MessageBoxes()[0].style, kMessageBoxIconError);
    EXPECT_EQ(console.Text(), "\nDirectSound 8: No sound driver is available for use");
    console.Clear();
    TempDir dir;
    dir.WriteFile("a.wav", Wav(Frames({1, 2})));
    const std::string path = (dir.Path() / "a.wav").string();
    EXPECT_EQ(LoadSoundByName(path.c_str()), kNoSoundSlot);
    PlaySoundByName(path.c_str());
    StopSoundByName(path.c_str());
    RemoveSoundByName(path.c_str());
    PlaySlot(0);
    EXPECT_EQ(console.Text(), "");
    EXPECT_EQ(device.calls, std::vector<std::string>{"Create() -> " + std::to_string(kSoundNoDriver)});
    ResetSound();
    EXPECT_EQ(device.calls.size(), 1u);

    // Another failure says so too; no device at all says nothing.
    RecordingSoundDevice broken;
    broken.createResult = kSoundOutOfMemory;
    SetPlatform(&platform);
    InitSound(&window, &broken);
    SetPlatform(before);
    EXPECT_EQ(platform.MessageBoxes().size(), 1u);  // only a missing driver shows the box
    EXPECT_NE(console.Text().find("without sound"), std::string::npos);
    console.Clear();
    InitSound(&window, nullptr);
    EXPECT_EQ(LoadSoundByName(path.c_str()), kNoSoundSlot);
    PlaySoundByName(path.c_str());
    EXPECT_EQ(console.Text(), "");
    ResetSound();
}

TEST_F(SoundTest, LoadPlayStopRemoveCallTheDeviceInOrder) {
    const std::string samples = Frames({100, -100, 200, -200});
    const std::string path = Write("shot.wav", Wav(samples));
    EXPECT_EQ(LoadSoundByName(path.c_str()), 0);
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "CreateSoundBuffer(36, 128, 8, 1/2/44100/176400/4/16, buffer 2) -> 0",
                           "QueryBuffer8(2, buffer 2) -> 0", "Release(2) -> 1", "Lock(2, 0, 0, 2) -> 0",
                           "Unlock(2, 8, 0) -> 0"}));
    EXPECT_TRUE(g_sound.slots[0].occupied);
    EXPECT_EQ(g_sound.slots[0].buffer, 2u);
    EXPECT_STREQ(g_sound.slots[0].name, path.c_str());
    EXPECT_EQ(device.Find(2)->data, Bytes(samples));

    PlaySoundByName(path.c_str());
    EXPECT_EQ(Calls(), (std::vector<std::string>{"SetCurrentPosition(2, 0) -> 0", "SetVolume(2, 0) -> 0",
                                                 "Play(2, 0) -> 0"}));
    EXPECT_TRUE(device.Find(2)->playing);
    // Playing again restarts from the start at full volume.
    device.SetCurrentPosition(2, 4);
    device.SetVolume(2, -500);
    Calls();
    PlaySoundByName(path.c_str());
    EXPECT_EQ(device.Find(2)->position, 0u);
    EXPECT_EQ(device.Find(2)->volume, 0);
    Calls();

    StopSoundByName(path.c_str());
    EXPECT_EQ(Calls(), std::vector<std::string>{"Stop(2) -> 0"});
    EXPECT_FALSE(device.Find(2)->playing);

    CaptureConsole console;
    RemoveSoundByName(path.c_str());
    EXPECT_EQ(Calls(), std::vector<std::string>{"Release(2) -> 0"});
    EXPECT_FALSE(g_sound.slots[0].occupied);
    EXPECT_EQ(g_sound.slots[0].buffer, 0u);
    EXPECT_STREQ(g_sound.slots[0].name, path.c_str());  // the name stays
    EXPECT_EQ(device.LiveBuffers(), 1u);                // the primary buffer only

    // The name still matches: the slot is reported empty, not "never loaded".
    PlaySoundByName(path.c_str());
    StopSoundByName(path.c_str());
    EXPECT_EQ(console.Text(),
              "\nSound warning: Attempted to play empty sound slot 0"
              "\nSound warning: Attempted to stop playing empty sound slot 0");
    EXPECT_TRUE(Calls().empty());

    // The freed slot is taken again and its name overwritten.
    const std::string other = Write("b.wav", Wav(samples));
    EXPECT_EQ(LoadSoundByName(other.c_str()), 0);
    EXPECT_STREQ(g_sound.slots[0].name, other.c_str());
}

TEST_F(SoundTest, SamePathTwiceTakesTwoSlotsAndPlaysBoth) {
    const std::string path = Write("a.wav", Wav(Frames({1, 1})));
    EXPECT_EQ(LoadSoundByName(path.c_str()), 0);
    EXPECT_EQ(LoadSoundByName(path.c_str()), 1);
    Calls();
    PlaySoundByName(path.c_str());
    EXPECT_EQ(Calls(), (std::vector<std::string>{"SetCurrentPosition(2, 0) -> 0", "SetVolume(2, 0) -> 0",
                                                 "Play(2, 0) -> 0", "SetCurrentPosition(3, 0) -> 0",
                                                 "SetVolume(3, 0) -> 0", "Play(3, 0) -> 0"}));
    RemoveSoundByName(path.c_str());
    EXPECT_FALSE(g_sound.slots[0].occupied);
    EXPECT_FALSE(g_sound.slots[1].occupied);
}

TEST_F(SoundTest, AFullTableRefusesWithAResultThatIsNoSlot) {
    const std::string first = Write("first.wav", Wav(Frames({7, 7})));
    const std::string path = Write("a.wav", Wav(Frames({1, 1})));
    EXPECT_EQ(LoadSoundByName(first.c_str()), 0);
    for (int i = 1; i < kSoundSlotCount; ++i) EXPECT_EQ(LoadSoundByName(path.c_str()), i);
    Calls();
    CaptureConsole console;
    const std::string extra = Write("extra.wav", Wav(Frames({1, 1})));
    EXPECT_EQ(LoadSoundByName(extra.c_str()), kNoSoundSlot);
    EXPECT_EQ(console.Text(), "\nSound warning: No free sound slots available to load " + extra);
    EXPECT_TRUE(Calls().empty());  // refused before any buffer is made
    EXPECT_STREQ(g_sound.slots[0].name, first.c_str());
    EXPECT_EQ(g_sound.slots[0].buffer, 2u);
    EXPECT_EQ(device.LiveBuffers(), 17u);
}

TEST_F(SoundTest, UnknownNamesEmptyNamesAndBadSlots) {
    CaptureConsole console;
    PlaySoundByName("nothing.wav");
    EXPECT_EQ(console.Text(), "\nSound warning: A sound must be loaded using LoadSound before playback");
    console.Clear();
    // Never-loaded slots have no name an empty path could find.
    StopSoundByName("");
    StopSoundByName(nullptr);
    RemoveSoundByName("");
    PlaySlot(-1);
    PlaySlot(kSoundSlotCount);
    EXPECT_EQ(console.Text(), "");
    PlaySoundByName("");
    EXPECT_EQ(console.Text(), "\nSound warning: A sound must be loaded using LoadSound before playback");
    EXPECT_TRUE(Calls().empty());
    // An occupied slot without a buffer is reported, never handed to the device.
    g_sound.slots[3].occupied = true;
    std::strcpy(g_sound.slots[3].name, "x");
    console.Clear();
    PlaySoundByName("x");
    StopSoundByName("x");
    EXPECT_EQ(console.Text(),
              "\nSound error: Attempted to play sound slot 3 which was occupied but pBuffer was NULL"
              "\nSound error: Attempted to stop playing sound slot 3 which was occupied but pBuffer was NULL");
    EXPECT_TRUE(Calls().empty());
}

TEST_F(SoundTest, LongNamesAreCutToTheirFieldAndStillFound) {
    Write("a.wav", Wav(Frames({1, 1})));
    // A path longer than the field that still names the file.
    std::string longPath = dir.Path().string();
    while (longPath.size() < 400) longPath += "/.";
    longPath += "/a.wav";
    ASSERT_GT(longPath.size(), kSoundNameBytes);
    EXPECT_EQ(LoadSoundByName(longPath.c_str()), 0);
    EXPECT_EQ(std::strlen(g_sound.slots[0].name), kSoundNameBytes - 1);
    EXPECT_EQ(std::string(g_sound.slots[0].name), longPath.substr(0, kSoundNameBytes - 1));
    Calls();
    PlaySoundByName(longPath.c_str());
    EXPECT_EQ(Calls().back(), "Play(2, 0) -> 0");
}

// The loader's report for check `line`, with its message line when one is given.
std::string Report(int line, const std::string& condition, const std::string& message = "") {
    std::string text = "\nAssertion failed at Source\\DSound : " + std::to_string(line) +
                       "\nWithin function: DirectSound_LoadWAV\nCondition: " + condition;
    if (!message.empty()) text += "\nMessage: " + message;
    return text;
}

TEST_F(SoundTest, FilesThatGiveNoSoundAreReportedAndTakeNoSlot) {
    CaptureConsole console;
    EXPECT_EQ(LoadSoundByName((dir.Path() / "missing.wav").string().c_str()), kNoSoundSlot);
    EXPECT_EQ(console.Text(), Report(186, "filePtr != 0", "fopen failed to open wave file!"));

    struct Case {
        std::string content;
        std::string report;
    };
    const std::string frames = Frames({1, 2, 3, 4});
    WavFormat notRiff;
    notRiff.riff = "RIFX";
    WavFormat notData;
    notData.data = "LIST";
    WavFormat floats;
    floats.audioFormat = 3;
    floats.bits = 32;
    WavFormat wide;
    wide.bits = 24;
    WavFormat slow;
    slow.rate = 4000;
    WavFormat many;
    many.channels = 6;
    const std::vector<Case> cases = {
        {Wav(frames).substr(0, 43), Report(190, "count == 1")},
        {Wav("", {}), Report(229, "waveFileHeader.dataSize >= blockAlign", "The wave file holds no samples")},
        {Wav(Frames({1}), {}), Report(229, "waveFileHeader.dataSize >= blockAlign", "The wave file holds no samples")},
        {Wav(frames, {}, 9), Report(235, "waveFileHeader.dataSize <= fileSize - 44",
                                    "The wave file is shorter than its data size")},
        {Wav(frames, {}, 0xFFFFFFF0u),
         Report(232, "waveFileHeader.dataSize <= DSBSIZE_MAX", "The wave file is larger than a sound buffer")},
        {Wav(frames, notRiff), Report(196,
                                      "(waveFileHeader.chunkId[0] == 'R') && (waveFileHeader.chunkId[1] == 'I') && "
                                      "(waveFileHeader.chunkId[2] == 'F') && (waveFileHeader.chunkId[3] == 'F')")},
        {Wav(frames, notData),
         Report(226, "(waveFileHeader.dataChunkId[0] == 'd') && (waveFileHeader.dataChunkId[1] == 'a') && "
                     "(waveFileHeader.dataChunkId[2] == 't') && (waveFileHeader.dataChunkId[3] == 'a')")},
        {Wav(frames, floats), Report(211, "waveFileHeader.audioFormat == WAVE_FORMAT_PCM") +
                                  Report(220, "waveFileHeader.bitsPerSample == 16")},
        {Wav(frames + "xx", wide), Report(220, "waveFileHeader.bitsPerSample == 16")},
        {Wav(frames, slow), Report(217, "waveFileHeader.sampleRate == 44100")},
        {Wav(frames + frames + frames, many), Report(214, "waveFileHeader.numChannels == 2")},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        console.Clear();
        const std::string path = Write("case" + std::to_string(i) + ".wav", cases[i].content);
        EXPECT_EQ(LoadSoundByName(path.c_str()), kNoSoundSlot) << i;
        EXPECT_EQ(console.Text(), cases[i].report) << i;
    }
    EXPECT_TRUE(Calls().empty());
    for (const SoundSlot& slot : g_sound.slots) EXPECT_FALSE(slot.occupied);
}

TEST_F(SoundTest, OtherPcmIsReportedThenConvertedToTheEngineFormat) {
    CaptureConsole console;
    WavFormat mono;
    mono.channels = 1;
    std::string path = Write("mono.wav", Wav(Frames({10, -20, 30}), mono));
    EXPECT_EQ(LoadSoundByName(path.c_str()), 0);
    EXPECT_EQ(console.Text(), Report(214, "waveFileHeader.numChannels == 2"));
    EXPECT_EQ(device.Find(2)->data, Bytes(Frames({10, 10, -20, -20, 30, 30})));

    console.Clear();
    WavFormat half;
    half.rate = 22050;
    path = Write("half.wav", Wav(Frames({1, 2, 3, 4}), half));
    EXPECT_EQ(LoadSoundByName(path.c_str()), 1);
    EXPECT_EQ(console.Text(), Report(217, "waveFileHeader.sampleRate == 44100"));
    EXPECT_EQ(device.Find(g_sound.slots[1].buffer)->data, Bytes(Frames({1, 2, 1, 2, 3, 4, 3, 4})));

    console.Clear();
    WavFormat bytes;
    bytes.bits = 8;
    bytes.channels = 1;
    path = Write("eight.wav", Wav(std::string("\x80\xff\x00", 3), bytes));
    EXPECT_EQ(LoadSoundByName(path.c_str()), 2);
    EXPECT_EQ(console.Text(),
              Report(214, "waveFileHeader.numChannels == 2") + Report(220, "waveFileHeader.bitsPerSample == 16"));
    EXPECT_EQ(device.Find(g_sound.slots[2].buffer)->data,
              Bytes(Frames({0, 0, 127 * 256, 127 * 256, -128 * 256, -128 * 256})));

    // A partial block at the end is left out rather than played as noise.
    console.Clear();
    path = Write("odd.wav", Wav(Frames({5, 6}) + "\x01\x02\x03"));
    EXPECT_EQ(LoadSoundByName(path.c_str()), 3);
    EXPECT_EQ(console.Text(), "");
    EXPECT_EQ(device.Find(g_sound.slots[3].buffer)->data, Bytes(Frames({5, 6})));
}

TEST_F(SoundTest, ABufferTheDeviceRefusesTakesNoSlot) {
    CaptureConsole console;
    // A device whose locks fail: the loader gives the new buffer back.
    class RefusingLock final : public NullSoundDevice {
    public:
        SoundResult Lock(SoundBuffer, uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*, uint32_t) override {
            return kSoundInvalidCall;
        }
    } refusing;
    ResetSound();
    InitSound(&window, &refusing);
    const std::string path = Write("a.wav", Wav(Frames({1, 1})));
    EXPECT_EQ(LoadSoundByName(path.c_str()), kNoSoundSlot);
    EXPECT_EQ(console.Text(), Report(274, "!FAILED(result)", "IDirectSoundBuffer8::Lock failed to lock buffer"));
    EXPECT_EQ(refusing.LiveBuffers(), 1u);
    EXPECT_FALSE(g_sound.slots[0].occupied);
    ResetSound();
}

TEST_F(SoundTest, BuiltinsTakeThePathAsTextAndAnswerWithTheSlot) {
    ScriptEngine engine;
    ScriptMachine machine(engine);
    const std::string path = Write("a.wav", Wav(Frames({1, 1})));
    std::vector<Value> arguments = {NewLatin1String(engine.types, path), NewReal(engine.types, 1),
                                    NewReal(engine.types, 2)};
    EXPECT_EQ(ValueToReal(ApiLoadSound(machine, 1, arguments.data())), 0.0);
    Calls();
    EXPECT_TRUE(ApiPlayBGM(machine, 3, arguments.data()).IsVoid());
    EXPECT_TRUE(ApiPlaySE(machine, 1, arguments.data()).IsVoid());
    EXPECT_TRUE(ApiStopSound(machine, 1, arguments.data()).IsVoid());
    EXPECT_TRUE(ApiRemoveSound(machine, 1, arguments.data()).IsVoid());
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "SetCurrentPosition(2, 0) -> 0", "SetVolume(2, 0) -> 0", "Play(2, 0) -> 0",
                           "SetCurrentPosition(2, 0) -> 0", "SetVolume(2, 0) -> 0", "Play(2, 0) -> 0",
                           "Stop(2) -> 0", "Release(2) -> 0"}));
    // No arguments at all: an empty path, which names no file and no slot.
    CaptureConsole console;
    EXPECT_EQ(ValueToReal(ApiLoadSound(machine, 0, nullptr)), -1.0);
    EXPECT_FALSE(machine.error.raised);
}

}  // namespace
