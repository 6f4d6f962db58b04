// The sound library: set-up, decoding, the mixer's arithmetic on rendered buffers,
// channel handles, modules, file callbacks and bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/Fmod.h"
#include "platform/System.h"
#include "platform/TestHooks.h"
#include "platform/sound/SoundData.h"
#include "tests/support/AllocationWatch.h"
#include "tests/support/SoundFixtures.h"

using soundfix::Bytes;

namespace {

constexpr unsigned kMode = FSOUND_LOOP_OFF | FSOUND_8BITS | FSOUND_MONO;  // 41

std::string FixturePath(const std::string& name) { return std::string(TP_SOURCE_DIR) + "/tests/platform/files/" + name; }

Bytes ReadFixture(const std::string& name)
{
    std::ifstream in(FixturePath(name), std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

FSOUND_SAMPLE* LoadMemory(const Bytes& bytes, unsigned mode = kMode)
{
    return FSOUND_Sample_Load(FSOUND_UNMANAGED, reinterpret_cast<const char*>(bytes.data()), mode,
                              int(bytes.size()));
}

FMUSIC_MODULE* LoadModuleMemory(const Bytes& bytes) { return FMUSIC_LoadSongMemory(bytes.data(), int(bytes.size())); }

std::vector<int16_t> Render(int frames)
{
    std::vector<int16_t> out(size_t(frames) * 2, 12345);
    FmodTest::Render(out.data(), frames);
    return out;
}

int PeakOf(const std::vector<int16_t>& buffer)
{
    int peak = 0;
    for (int16_t v : buffer)
        peak = std::max(peak, std::abs(int(v)));
    return peak;
}

// In-memory files behind the callbacks, so that the tests see what the library opens.
std::map<std::string, Bytes> gFiles;
struct OpenFile {
    const Bytes* bytes;
    int position;
};
int gOpenCount = 0;

void* OpenMem(const char* name)
{
    auto it = gFiles.find(name);
    if (it == gFiles.end())
        return nullptr;
    ++gOpenCount;
    return new OpenFile{&it->second, 0};
}
void CloseMem(void* handle)
{
    --gOpenCount;
    delete static_cast<OpenFile*>(handle);
}
int ReadMem(void* buffer, int size, void* handle)
{
    auto* f = static_cast<OpenFile*>(handle);
    int n = std::max(0, std::min(size, int(f->bytes->size()) - f->position));
    if (n > 0)
        std::memcpy(buffer, f->bytes->data() + f->position, size_t(n));
    f->position += n;
    return n;
}
int SeekMem(void* handle, int position, signed char mode)
{
    auto* f = static_cast<OpenFile*>(handle);
    if (mode == 0)
        f->position = position;
    else if (mode == 1)
        f->position += position;
    else if (mode == 2)
        f->position = int(f->bytes->size()) + position;
    return f->position;
}
int TellMem(void* handle) { return static_cast<OpenFile*>(handle)->position; }
void* OpenThrows(const char*) { throw std::runtime_error("no such file"); }

class SoundLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The silent output keeps time by the tick count: it stands still unless a test
        // moves it on.
        TestHooks::SetTickCountSource([this] { return Now; });
        FmodTest::FailInit(false);
        FSOUND_File_SetCallbacks(OpenMem, CloseMem, ReadMem, SeekMem, TellMem);
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        FSOUND_SetDriver(0);
        ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
        FmodTest::ClearOpenedNames();
        gFiles.clear();
        gOpenCount = 0;
    }
    void TearDown() override
    {
        for (FSOUND_SAMPLE* s : samples)
            FSOUND_Sample_Free(s);
        for (FMUSIC_MODULE* m : modules)
            FMUSIC_FreeSong(m);
        FSOUND_Close();
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(gOpenCount, 0) << "every opened file is closed";
    }
    FSOUND_SAMPLE* Keep(FSOUND_SAMPLE* s)
    {
        if (s)
            samples.push_back(s);
        return s;
    }
    uint32_t Now = 1000;
    FMUSIC_MODULE* Keep(FMUSIC_MODULE* m)
    {
        if (m)
            modules.push_back(m);
        return m;
    }
    // A constant-level mono sample, played on a new channel with the given pan.
    int PlayConstant(int amplitude, int pan, int volume = 255, int frames = 4096)
    {
        FSOUND_SAMPLE* s = Keep(LoadMemory(soundfix::ConstantWav(amplitude, frames)));
        EXPECT_NE(s, nullptr);
        int channel = FSOUND_PlaySound(FSOUND_FREE, s);
        EXPECT_GT(channel, 0);
        FSOUND_SetPan(channel, pan);
        FSOUND_SetVolume(channel, volume);
        return channel;
    }
    std::vector<FSOUND_SAMPLE*> samples;
    std::vector<FMUSIC_MODULE*> modules;
};

}  // namespace

TEST_F(SoundLibrary, InitialisesWithoutADeviceAndReportsTheOutputsDrivers)
{
    EXPECT_TRUE(FmodTest::Initialised());
    EXPECT_FALSE(FmodTest::UsingDevice());
    EXPECT_EQ(FmodTest::ChosenOutput(), FSOUND_OUTPUT_NOSOUND);

    FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
    ASSERT_EQ(FSOUND_GetNumDrivers(), 1);
    EXPECT_STREQ(FSOUND_GetDriverName(0), "no sound");
    EXPECT_EQ(FSOUND_GetDriverName(1), nullptr);
    EXPECT_EQ(FSOUND_GetDriverName(-1), nullptr);

    // The device outputs list whatever SDL reports (the tests run on its dummy driver).
    for (int output : {FSOUND_OUTPUT_WAVEOUT, FSOUND_OUTPUT_DSOUND}) {
        FSOUND_SetOutput(output);
        const int n = FSOUND_GetNumDrivers();
        EXPECT_GE(n, 0);
        for (int i = 0; i < n; ++i)
            EXPECT_NE(FSOUND_GetDriverName(i), nullptr);
        EXPECT_EQ(FSOUND_GetDriverName(n), nullptr);
    }
}

TEST_F(SoundLibrary, DeviceOutputsFallBackToSilenceAndAFailedInitStopsLoading)
{
    FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    FSOUND_SetDriver(-1);
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    EXPECT_EQ(FmodTest::ChosenOutput(), FSOUND_OUTPUT_DSOUND);
    EXPECT_EQ(FmodTest::ChosenDriver(), -1);
    FSOUND_SAMPLE* s = Keep(LoadMemory(soundfix::ConstantWav(1000, 100)));
    ASSERT_NE(s, nullptr);
    EXPECT_GT(FSOUND_PlaySound(FSOUND_FREE, s), 0);

    FmodTest::FailInit(true);
    EXPECT_FALSE(FSOUND_Init(44100, 64, 0));
    EXPECT_FALSE(FmodTest::Initialised());
    EXPECT_EQ(LoadMemory(soundfix::ConstantWav(1000, 100)), nullptr);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), -1);
    FmodTest::FailInit(false);

    // Samples loaded before a close stay usable after the next start.
    FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    EXPECT_GT(FSOUND_PlaySound(FSOUND_FREE, s), 0);
    EXPECT_FALSE(FSOUND_Init(44100, 0, 0));
    EXPECT_FALSE(FSOUND_Init(0, 64, 0));
    // An output number from a damaged settings file: silence, no failure.
    EXPECT_FALSE(FSOUND_SetOutput(7));
    EXPECT_EQ(FSOUND_GetNumDrivers(), 0);
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    EXPECT_FALSE(FmodTest::UsingDevice());
    EXPECT_GT(FSOUND_PlaySound(FSOUND_FREE, s), 0);
}

TEST_F(SoundLibrary, DecodesWavFormatsWithTheirRateAndFileDefaults)
{
    struct Case {
        int bits, channels, rate;
        std::vector<int> values;
        int16_t left, right;  // first frame rendered at full volume, full stereo pan
    } cases[] = {
        {16, 1, 44100, {16384, 16384}, 16384, 16384},
        {8, 1, 44100, {64, 64}, 16384, 16384},
        {8, 1, 22050, {-128, -128}, -32768, -32768},
        {16, 2, 44100, {1000, -2000, 1000, -2000}, 1000, -2000},
        {8, 2, 11025, {32, -32, 32, -32}, 8192, -8192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.channels << " channels");
        FSOUND_SAMPLE* s = Keep(LoadMemory(soundfix::MakeWav(c.bits, c.channels, c.rate, c.values)));
        ASSERT_NE(s, nullptr);
        int frequency = 0, volume = 0, pan = 0, priority = 0;
        ASSERT_TRUE(FSOUND_Sample_GetDefaults(s, &frequency, &volume, &pan, &priority));
        EXPECT_EQ(frequency, c.rate);
        EXPECT_EQ(volume, 255);
        EXPECT_EQ(pan, 128);
        EXPECT_EQ(priority, 128);
        int channel = FSOUND_PlaySound(FSOUND_FREE, s);
        ASSERT_GT(channel, 0);
        FSOUND_SetPan(channel, FSOUND_STEREOPAN);
        std::vector<int16_t> out = Render(1);
        EXPECT_EQ(out[0], c.left);
        EXPECT_EQ(out[1], c.right);
        FSOUND_StopSound(channel);
    }
}

TEST_F(SoundLibrary, DecodesMp3AndRawData)
{
    const Bytes mp3 = ReadFixture("tone.mp3");
    ASSERT_FALSE(mp3.empty());
    FSOUND_SAMPLE* s = Keep(LoadMemory(mp3));
    ASSERT_NE(s, nullptr);
    int frequency = 0, volume = 0;
    ASSERT_TRUE(FSOUND_Sample_GetDefaults(s, &frequency, &volume, nullptr, nullptr));
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(volume, 255);
    int channel = FSOUND_PlaySound(FSOUND_FREE, s);
    FSOUND_SetPan(channel, FSOUND_STEREOPAN);
    EXPECT_GT(PeakOf(Render(4410)), 8000);  // a half-scale sine wave
    // A version 1 tag or zero padding after the last frame is not a cut-off frame.
    Bytes tagged = mp3;
    const std::string tag = "TAG" + std::string(125, ' ');
    tagged.insert(tagged.end(), tag.begin(), tag.end());
    Bytes padded = mp3;
    padded.insert(padded.end(), 9, 0);
    EXPECT_NE(Keep(LoadMemory(tagged)), nullptr);
    EXPECT_NE(Keep(LoadMemory(padded)), nullptr);

    // Raw data: the mode gives the format; 8-bit data is signed unless told otherwise.
    const Bytes raw = {0x40, 0x40, 0xC0, 0xC0};
    FSOUND_SAMPLE* signedRaw = Keep(LoadMemory(raw, kMode | FSOUND_LOADRAW));
    FSOUND_SAMPLE* unsignedRaw = Keep(LoadMemory(raw, kMode | FSOUND_LOADRAW | FSOUND_UNSIGNED));
    ASSERT_NE(signedRaw, nullptr);
    ASSERT_NE(unsignedRaw, nullptr);
    FSOUND_StopSound(channel);
    channel = FSOUND_PlaySound(FSOUND_FREE, signedRaw);
    FSOUND_SetPan(channel, FSOUND_STEREOPAN);
    EXPECT_EQ(Render(1)[0], 16384);
    FSOUND_StopSound(channel);
    channel = FSOUND_PlaySound(FSOUND_FREE, unsignedRaw);
    FSOUND_SetPan(channel, FSOUND_STEREOPAN);
    EXPECT_EQ(Render(1)[0], -16384);
    // Without the raw flag, data with no header is not a sound.
    EXPECT_EQ(LoadMemory(raw), nullptr);
}

TEST_F(SoundLibrary, MixerAppliesVolumePanAndTheEffectsMasterVolume)
{
    const int a = 20000;
    struct Case {
        const char* what;
        int pan, volume, master;
        double left, right;  // expected fraction of a
    } cases[] = {
        {"full stereo pan", FSOUND_STEREOPAN, 255, 255, 1.0, 1.0},
        {"half volume", FSOUND_STEREOPAN, 128, 255, 128.0 / 255, 128.0 / 255},
        {"hard left", 0, 255, 255, 1.0, 0.0},
        {"hard right", 255, 255, 255, 0.0, 1.0},
        {"centre", 128, 255, 255, 127.0 / 255, 128.0 / 255},
        {"effects master half", FSOUND_STEREOPAN, 255, 128, 128.0 / 255, 128.0 / 255},
        {"effects master off", FSOUND_STEREOPAN, 255, 0, 0.0, 0.0},
        {"silent channel", 0, 0, 255, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSOUND_SetSFXMasterVolume(c.master);
        int channel = PlayConstant(a, c.pan, c.volume);
        std::vector<int16_t> out = Render(8);
        EXPECT_NEAR(out[14], a * c.left, 1.0);
        EXPECT_NEAR(out[15], a * c.right, 1.0);
        FSOUND_StopSound(channel);
    }
    FSOUND_SetSFXMasterVolume(-5);
    EXPECT_EQ(FmodTest::SFXMasterVolume(), 0);
    FSOUND_SetSFXMasterVolume(300);
    EXPECT_EQ(FmodTest::SFXMasterVolume(), 255);
}

TEST_F(SoundLibrary, ChannelsAddAndClipInsteadOfWrapping)
{
    PlayConstant(20000, FSOUND_STEREOPAN);
    PlayConstant(20000, FSOUND_STEREOPAN);
    std::vector<int16_t> out = Render(4);
    EXPECT_EQ(out[0], 32767);
    auto stopAll = [] {
        for (const auto& state : FmodTest::PlayingChannels())
            FSOUND_StopSound(state.handle);
    };
    stopAll();
    PlayConstant(-30000, FSOUND_STEREOPAN);
    PlayConstant(-30000, FSOUND_STEREOPAN);
    EXPECT_EQ(Render(4)[0], -32768);

    // Two quiet channels add exactly.
    stopAll();
    PlayConstant(1000, FSOUND_STEREOPAN);
    PlayConstant(-300, FSOUND_STEREOPAN);
    EXPECT_EQ(Render(1)[0], 700);
}

TEST_F(SoundLibrary, SamplesEndLoopAndFollowTheirFrequency)
{
    FSOUND_SAMPLE* s = Keep(LoadMemory(soundfix::ConstantWav(1000, 100)));
    ASSERT_NE(s, nullptr);
    int once = FSOUND_PlaySound(FSOUND_FREE, s);
    int slow = FSOUND_PlaySound(FSOUND_FREE, s);
    FSOUND_SetFrequency(slow, 22050);
    FmodChannelState state;
    ASSERT_TRUE(FmodTest::Channel(slow, state));
    EXPECT_EQ(state.frequency, 22050);
    std::vector<int16_t> out = Render(150);
    EXPECT_NEAR(out[2 * 50 + 1], 2 * 1000 * 128 / 255.0, 1.0);  // both at the centre pan
    ASSERT_TRUE(FmodTest::Channel(once, state));
    EXPECT_FALSE(state.playing);  // 100 frames at the output rate
    ASSERT_TRUE(FmodTest::Channel(slow, state));
    EXPECT_TRUE(state.playing);  // half speed: 200 frames
    Render(60);
    ASSERT_TRUE(FmodTest::Channel(slow, state));
    EXPECT_FALSE(state.playing);
    // Silent channels (by their volume or the effects master volume) keep time too.
    const int quiet = FSOUND_PlaySound(FSOUND_FREE, s);
    FSOUND_SetVolume(quiet, 0);
    FSOUND_SetSFXMasterVolume(0);
    const int muted = FSOUND_PlaySound(FSOUND_FREE, s);
    Render(99);
    ASSERT_TRUE(FmodTest::Channel(quiet, state));
    EXPECT_TRUE(state.playing);
    ASSERT_TRUE(FmodTest::Channel(muted, state));
    EXPECT_TRUE(state.playing);
    Render(1);
    ASSERT_TRUE(FmodTest::Channel(quiet, state));
    EXPECT_FALSE(state.playing);
    ASSERT_TRUE(FmodTest::Channel(muted, state));
    EXPECT_FALSE(state.playing);
    FSOUND_SetSFXMasterVolume(255);

    ASSERT_TRUE(FSOUND_Sample_SetLoopMode(s, FSOUND_LOOP_NORMAL));
    int looping = FSOUND_PlaySound(FSOUND_FREE, s);
    ASSERT_TRUE(FmodTest::Channel(looping, state));
    EXPECT_EQ(state.loopMode, FSOUND_LOOP_NORMAL);
    Render(1000);
    ASSERT_TRUE(FmodTest::Channel(looping, state));
    EXPECT_TRUE(state.playing);
    EXPECT_FALSE(FSOUND_Sample_SetLoopMode(nullptr, FSOUND_LOOP_NORMAL));
}

TEST_F(SoundLibrary, ChannelHandlesAreNeverZeroAndGoStaleWhenReused)
{
    FSOUND_SAMPLE* s = Keep(LoadMemory(soundfix::ConstantWav(1000, 10)));
    ASSERT_NE(s, nullptr);
    int first = FSOUND_PlaySound(FSOUND_FREE, s);
    ASSERT_GT(first, 0);
    // Channel 0 is never a channel: calls on it touch nothing.
    EXPECT_FALSE(FSOUND_SetVolume(0, 0));
    EXPECT_FALSE(FSOUND_StopSound(0));
    EXPECT_FALSE(FSOUND_SetPan(0, 0));
    EXPECT_FALSE(FSOUND_SetFrequency(0, 8000));
    EXPECT_EQ(FSOUND_PlaySound(0, s), -1);
    FmodChannelState state;
    ASSERT_TRUE(FmodTest::Channel(first, state));
    EXPECT_TRUE(state.playing);
    EXPECT_EQ(state.volume, 255);

    // After the sound ends its slot is reused; the old handle no longer reaches it.
    Render(20);
    int second = FSOUND_PlaySound(FSOUND_FREE, s);
    ASSERT_GT(second, 0);
    EXPECT_NE(second, first);
    EXPECT_FALSE(FSOUND_StopSound(first));
    EXPECT_FALSE(FSOUND_SetVolume(first, 0));
    ASSERT_TRUE(FmodTest::Channel(second, state));
    EXPECT_TRUE(state.playing);
    EXPECT_EQ(state.volume, 255);
    EXPECT_FALSE(FmodTest::Channel(first, state));
    EXPECT_FALSE(FmodTest::Channel(-7, state));

    // Playing on a given channel replaces what plays there.
    int replaced = FSOUND_PlaySound(second, s);
    EXPECT_GT(replaced, 0);
    EXPECT_EQ(replaced & 0x7F, second & 0x7F);
    EXPECT_EQ(FSOUND_PlaySound(65, s), -1);  // beyond the 64 channels
}

// A handle kept across a close of the library never reaches the sound that a later init
// starts on the same slot.
TEST_F(SoundLibrary, ChannelHandlesFromBeforeACloseStayStaleAfterTheNextInit)
{
    FSOUND_SAMPLE* s = Keep(LoadMemory(soundfix::ConstantWav(1000, 4096)));
    ASSERT_NE(s, nullptr);
    const int before = FSOUND_PlaySound(1, s);
    ASSERT_GT(before, 0);
    FSOUND_Close();
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    const int after = FSOUND_PlaySound(1, s);
    ASSERT_GT(after, 0);
    EXPECT_EQ(after & 0x7F, before & 0x7F);
    EXPECT_NE(after, before);
    FmodChannelState state;
    EXPECT_FALSE(FmodTest::Channel(before, state));
    EXPECT_FALSE(FSOUND_StopSound(before));
    EXPECT_FALSE(FSOUND_SetVolume(before, 0));
    ASSERT_TRUE(FmodTest::Channel(after, state));
    EXPECT_TRUE(state.playing);
    EXPECT_EQ(state.volume, 255);
}

TEST_F(SoundLibrary, BusyChannelsAreTakenOverOldestFirstButLoopsAndHigherPrioritiesStay)
{
    FSOUND_SAMPLE* shortSound = Keep(LoadMemory(soundfix::ConstantWav(10, 1000)));
    FSOUND_SAMPLE* loop = Keep(LoadMemory(soundfix::ConstantWav(10, 1000)));
    FSOUND_SAMPLE* important = Keep(FSOUND_Sample_Alloc(FSOUND_UNMANAGED, 100, FSOUND_16BITS | FSOUND_MONO,
                                                        44100, 255, 128, 200));
    FSOUND_SAMPLE* minor = Keep(FSOUND_Sample_Alloc(FSOUND_UNMANAGED, 100, FSOUND_16BITS | FSOUND_MONO,
                                                    44100, 255, 128, 10));
    ASSERT_TRUE(shortSound && loop && important && minor);
    ASSERT_TRUE(FSOUND_Sample_SetLoopMode(loop, FSOUND_LOOP_NORMAL));

    std::vector<int> handles;
    for (int i = 0; i < 64; ++i)
        handles.push_back(FSOUND_PlaySound(FSOUND_FREE, i < 32 ? loop : shortSound));
    for (int h : handles)
        ASSERT_GT(h, 0);
    // The 65th sound takes the oldest non-looping channel.
    int extra = FSOUND_PlaySound(FSOUND_FREE, shortSound);
    ASSERT_GT(extra, 0);
    EXPECT_EQ(extra & 0x7F, handles[32] & 0x7F);
    EXPECT_FALSE(FSOUND_StopSound(handles[32]));
    // A sound of lower priority takes nothing from the default priority.
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, minor), -1);
    // Every channel looping: nothing is free.
    for (int i = 32; i < 64; ++i)
        FSOUND_PlaySound(handles[size_t(i)], loop);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, shortSound), -1);
    EXPECT_EQ(FmodTest::PlayingChannels().size(), 64u);
    // Freeing a sample stops the channels playing it.
    FSOUND_Sample_Free(loop);
    samples.erase(std::find(samples.begin(), samples.end(), loop));
    EXPECT_TRUE(FmodTest::PlayingChannels().empty());
    EXPECT_GT(FSOUND_PlaySound(FSOUND_FREE, important), 0);
    FSOUND_Sample_Free(loop);  // a second free of the same handle does nothing
}

TEST_F(SoundLibrary, AllocatedSamplesTakeUploadsInTheirFormat)
{
    FSOUND_SAMPLE* s = Keep(FSOUND_Sample_Alloc(FSOUND_UNMANAGED, 4, FSOUND_16BITS | FSOUND_STEREO,
                                                 22050, 200, FSOUND_STEREOPAN, 50));
    ASSERT_NE(s, nullptr);
    int frequency = 0, volume = 0, pan = 0, priority = 0;
    ASSERT_TRUE(FSOUND_Sample_GetDefaults(s, &frequency, &volume, &pan, &priority));
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(volume, 200);
    EXPECT_EQ(pan, FSOUND_STEREOPAN);
    EXPECT_EQ(priority, 50);
    const int16_t frames[8] = {255, -255, 255, -255, 255, -255, 255, -255};
    ASSERT_TRUE(FSOUND_Sample_Upload(s, frames, FSOUND_16BITS | FSOUND_STEREO));
    EXPECT_FALSE(FSOUND_Sample_Upload(s, frames, FSOUND_16BITS | FSOUND_MONO));  // wrong layout
    EXPECT_FALSE(FSOUND_Sample_Upload(s, nullptr, FSOUND_16BITS | FSOUND_STEREO));
    EXPECT_FALSE(FSOUND_Sample_Upload(nullptr, frames, FSOUND_16BITS | FSOUND_STEREO));
    ASSERT_GT(FSOUND_PlaySound(FSOUND_FREE, s), 0);
    std::vector<int16_t> out = Render(1);
    EXPECT_EQ(out[0], 200);
    EXPECT_EQ(out[1], -200);
    EXPECT_EQ(FSOUND_Sample_Alloc(FSOUND_UNMANAGED, 0, FSOUND_8BITS, 44100, 255, 128, 128), nullptr);
    EXPECT_EQ(FSOUND_Sample_Alloc(FSOUND_UNMANAGED, 10, FSOUND_8BITS, 0, 255, 128, 128), nullptr);
}

TEST_F(SoundLibrary, ModulesPlayStopPauseAndKeepTheirOwnVolume)
{
    const Bytes tune = soundfix::MakeModule(4, 3);
    // A fresh copy of the module played from the start.
    auto renderFresh = [&](int masterVolume) {
        FMUSIC_MODULE* fresh = LoadModuleMemory(tune);
        EXPECT_NE(fresh, nullptr);
        FMUSIC_SetMasterVolume(fresh, masterVolume);
        FMUSIC_PlaySong(fresh);
        std::vector<int16_t> out = Render(4096);
        FMUSIC_FreeSong(fresh);
        return out;
    };
    FMUSIC_MODULE* m = Keep(LoadModuleMemory(tune));
    ASSERT_NE(m, nullptr);
    FmodModuleState state;
    ASSERT_TRUE(FmodTest::Module(m, state));
    EXPECT_FALSE(state.playing);
    EXPECT_EQ(state.masterVolume, 256);
    EXPECT_EQ(PeakOf(Render(2048)), 0);

    const std::vector<int16_t> full = renderFresh(256);
    EXPECT_GT(PeakOf(full), 1000);
    // The effects master volume leaves music alone; the module's own volume scales it.
    FSOUND_SetSFXMasterVolume(0);
    EXPECT_EQ(renderFresh(256), full);
    EXPECT_NEAR(PeakOf(renderFresh(128)), PeakOf(full) / 2.0, 2.0);
    EXPECT_EQ(PeakOf(renderFresh(0)), 0);

    ASSERT_TRUE(FMUSIC_PlaySong(m));
    EXPECT_GT(PeakOf(Render(1024)), 0);
    ASSERT_TRUE(FMUSIC_SetMasterVolume(m, 128));
    EXPECT_EQ(FMUSIC_GetMasterVolume(m), 128);
    FMUSIC_SetMasterVolume(m, 999);
    EXPECT_EQ(FMUSIC_GetMasterVolume(m), 256);
    FMUSIC_SetMasterVolume(m, -3);
    EXPECT_EQ(FMUSIC_GetMasterVolume(m), 0);
    FMUSIC_SetMasterVolume(m, 256);

    ASSERT_TRUE(FMUSIC_SetPaused(m, -1));
    EXPECT_EQ(FMUSIC_GetPaused(m), -1);
    EXPECT_EQ(PeakOf(Render(1024)), 0);
    ASSERT_TRUE(FMUSIC_SetPaused(m, 0));
    EXPECT_EQ(FMUSIC_GetPaused(m), 0);
    EXPECT_GT(PeakOf(Render(1024)), 0);
    ASSERT_TRUE(FMUSIC_StopSong(m));
    EXPECT_EQ(PeakOf(Render(1024)), 0);
    ASSERT_TRUE(FmodTest::Module(m, state));
    EXPECT_FALSE(state.playing);

    // Orders.
    EXPECT_TRUE(FMUSIC_SetOrder(m, 2));
    EXPECT_EQ(FMUSIC_GetOrder(m), 2);
    EXPECT_FALSE(FMUSIC_SetOrder(m, 3));
    EXPECT_FALSE(FMUSIC_SetOrder(m, -1));

    // The module-command callback is only stored.
    auto callback = +[](FMUSIC_MODULE*, unsigned char) {};
    ASSERT_TRUE(FMUSIC_SetZxxCallback(m, callback));
    ASSERT_TRUE(FmodTest::Module(m, state));
    EXPECT_EQ(state.zxxCallback, callback);

    // Freeing a playing module stops it; stale module handles are refused.
    ASSERT_TRUE(FMUSIC_PlaySong(m));
    ASSERT_TRUE(FMUSIC_FreeSong(m));
    modules.clear();
    EXPECT_EQ(PeakOf(Render(1024)), 0);
    EXPECT_FALSE(FMUSIC_PlaySong(m));
    EXPECT_FALSE(FMUSIC_FreeSong(m));
    EXPECT_EQ(FMUSIC_GetMasterVolume(m), -1);
    EXPECT_EQ(FMUSIC_GetOrder(nullptr), -1);
}

TEST_F(SoundLibrary, AModuleLoopsAndSurvivesACloseOfTheLibrary)
{
    FMUSIC_MODULE* m = Keep(LoadModuleMemory(soundfix::MakeModule(4, 1)));
    ASSERT_NE(m, nullptr);
    ASSERT_TRUE(FMUSIC_PlaySong(m));
    Render(44100 * 3);  // one pattern lasts under 1.3 s at the default speed
    EXPECT_GT(PeakOf(Render(1024)), 0);
    FSOUND_Close();
    EXPECT_FALSE(FMUSIC_PlaySong(m));
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    ASSERT_TRUE(FMUSIC_PlaySong(m));
    EXPECT_GT(PeakOf(Render(1024)), 0);
}

TEST_F(SoundLibrary, FilesAreReadWholeThroughTheCallbacksUnderTheirFullName)
{
    const std::string longName = "samples\\" + std::string(300, 'x') + ".wav";
    gFiles[longName] = soundfix::ConstantWav(1000, 50);
    gFiles["Music\\Tune.mod"] = soundfix::MakeModule();
    FSOUND_SAMPLE* s = Keep(FSOUND_Sample_Load(FSOUND_UNMANAGED, longName.c_str(), kMode, 0));
    EXPECT_NE(s, nullptr);
    FMUSIC_MODULE* m = Keep(FMUSIC_LoadSong("Music\\Tune.mod"));
    EXPECT_NE(m, nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_UNMANAGED, "samples\\Missing.wav", kMode, 0), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong("Music\\Missing.xm"), nullptr);
    EXPECT_EQ(FmodTest::OpenedNames(),
              (std::vector<std::string>{longName, "Music\\Tune.mod", "samples\\Missing.wav", "Music\\Missing.xm"}));

    // The callbacks stay installed across a close and a new start.
    FSOUND_Close();
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    EXPECT_NE(Keep(FSOUND_Sample_Load(FSOUND_UNMANAGED, longName.c_str(), kMode, 0)), nullptr);

    // An open callback that throws is a failed load, not an escaping exception.
    FSOUND_File_SetCallbacks(OpenThrows, CloseMem, ReadMem, SeekMem, TellMem);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_UNMANAGED, longName.c_str(), kMode, 0), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong("Music\\Tune.mod"), nullptr);
}

TEST_F(SoundLibrary, WithoutCallbacksFilesComeFromDisk)
{
    FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
    const std::string path = testing::TempDir() + "sound_disk_" + std::to_string(getpid()) + ".wav";
    ASSERT_TRUE(soundfix::WriteFile(path, soundfix::ConstantWav(1000, 50)));
    EXPECT_NE(Keep(FSOUND_Sample_Load(FSOUND_UNMANAGED, path.c_str(), kMode, 0)), nullptr);
    EXPECT_NE(Keep(FSOUND_Sample_Load(FSOUND_UNMANAGED, FixturePath("tone.mp3").c_str(), kMode, 0)), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_UNMANAGED, (path + ".none").c_str(), kMode, 0), nullptr);
    std::remove(path.c_str());
}

TEST_F(SoundLibrary, BrokenSoundAndModuleFilesFailToLoad)
{
    const Bytes wav = soundfix::MakeWav(16, 1, 44100, std::vector<int>(1000, 100));
    const Bytes mp3 = ReadFixture("tone.mp3");
    const Bytes module = soundfix::MakeModule();
    auto cut = [](const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + std::min(n, b.size())); };
    auto patched = [](Bytes b, size_t at, std::initializer_list<uint8_t> bytes) {
        for (uint8_t v : bytes)
            b.at(at++) = v;
        return b;
    };
    Bytes garbage(3000);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t((i * 7919u) >> 3);
    Bytes id3Garbage = garbage;
    std::memcpy(id3Garbage.data(), "ID3\x03\x00\x00\x00\x00\x00\x10", 10);
    Bytes xmHeader(60, 0);
    std::memcpy(xmHeader.data(), "Extended Module: broken", 23);

    struct Case {
        const char* what;
        Bytes bytes;
    } sounds[] = {
        {"empty", {}},
        {"WAV cut inside the header", cut(wav, 30)},
        {"WAV without a data chunk", cut(wav, 36)},
        {"WAV with no channels", patched(wav, 22, {0, 0})},
        {"WAV with a rate of 0", patched(wav, 24, {0, 0, 0, 0})},
        {"WAV with 12-bit samples", patched(wav, 34, {12, 0})},
        {"WAV of an unknown encoding", patched(wav, 20, {0x99, 0x99})},
        {"RIFF of another kind", patched(wav, 8, {'A', 'V', 'I', ' '})},
        {"MP3 cut inside the first frame", cut(mp3, 60)},
        {"MP3 cut inside a later frame", cut(mp3, mp3.size() - 50)},
        {"MP3 tag followed by garbage", id3Garbage},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
        {"garbage", garbage},
    };
    for (const Case& c : sounds) {
        SCOPED_TRACE(c.what);
        gFiles["samples\\Broken.wav"] = c.bytes;
        EXPECT_EQ(FSOUND_Sample_Load(FSOUND_UNMANAGED, "samples\\Broken.wav", kMode, 0), nullptr);
        if (!c.bytes.empty()) {
            EXPECT_EQ(LoadMemory(c.bytes), nullptr);
        }
    }
    Case modules[] = {
        {"empty", {}},
        {"module cut inside the header", cut(module, 600)},
        {"XM header alone", xmHeader},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o'}},
        {"a WAV file", wav},
    };
    for (const Case& c : modules) {
        SCOPED_TRACE(c.what);
        gFiles["Music\\Broken.xm"] = c.bytes;
        EXPECT_EQ(FMUSIC_LoadSong("Music\\Broken.xm"), nullptr);
        if (!c.bytes.empty()) {
            EXPECT_EQ(LoadModuleMemory(c.bytes), nullptr);
        }
    }
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_UNMANAGED, nullptr, kMode, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_UNMANAGED, "x", kMode, -4), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
    EXPECT_EQ(FMUSIC_LoadSongMemory(module.data(), -1), nullptr);
}

// Chunk sizes are checked against the file before the decoder sees them: a "data" chunk
// claiming more than the file holds plays what it holds, a "fmt " chunk claiming more, or
// a file without either chunk, fails; nothing is allocated beyond a small multiple of the
// file's size, and nothing takes long.
TEST_F(SoundLibrary, WavChunkSizesAreCheckedAgainstTheFileBeforeDecoding)
{
    // 120 bytes: a 16-bit mono PCM file of 38 frames.
    const Bytes wav = soundfix::MakeWav(16, 1, 8000, std::vector<int>(38, 1000));
    ASSERT_EQ(wav.size(), 120u);
    auto withU32 = [](Bytes b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.at(at + size_t(i)) = uint8_t(v >> (8 * i));
        return b;
    };
    // A chunk of another kind inserted before "fmt " (at 12) or "data" (at 36).
    auto withChunk = [](Bytes b, size_t at, const char* id, uint32_t size, size_t bodyBytes) {
        Bytes chunk(id, id + 4);
        for (int i = 0; i < 4; ++i)
            chunk.push_back(uint8_t(size >> (8 * i)));
        chunk.insert(chunk.end(), bodyBytes, 'j');
        b.insert(b.begin() + long(at), chunk.begin(), chunk.end());
        return b;
    };
    struct Case {
        const char* what;
        Bytes bytes;
        int64_t frames; // 0: fails to load
    } cases[] = {
        {"as written", wav, 38},
        {"data size 0x7FFFFFF0", withU32(wav, 40, 0x7FFFFFF0), 38},
        {"data size 0xFFFFFFFF", withU32(wav, 40, 0xFFFFFFFF), 38},
        {"data size odd and larger", withU32(wav, 40, 77), 38},
        {"fmt size 0xFFFFFFFF", withU32(wav, 16, 0xFFFFFFFF), 0},
        {"fmt size past the end", withU32(wav, 16, 200), 0},
        {"a chunk before fmt whose end wraps 32 bits", withChunk(wav, 12, "junk", 0xFFFFFFF8, 0), 0},
        {"a chunk before data whose end wraps 32 bits", withChunk(wav, 36, "LIST", 0xFFFFFFFC, 4), 0},
        {"an odd-sized chunk before data", withChunk(wav, 36, "junk", 3, 4), 38},
        {"no fmt chunk", withU32(wav, 12, 0x6B6E756A), 0},
        {"no data chunk", withU32(wav, 36, 0x6B6E756A), 0},
        {"RIFF size smaller than the file", withU32(wav, 4, 20), 38},
        {"RIFF size 0", withU32(wav, 4, 0), 38},
        {"RIFF size larger than the file", withU32(wav, 4, 0xFFFFFFFF), 38},
        {"cut inside the data", Bytes(wav.begin(), wav.begin() + 101), 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSOUND_SAMPLE* s = nullptr;
        const auto start = std::chrono::steady_clock::now();
        const size_t largest = LargestAllocationDuring([&] { s = Keep(LoadMemory(c.bytes)); });
        // The allocation bound is the real check; this one only catches a hang, as the
        // machine may be loaded.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        if (AllocationsWatched()) {
            EXPECT_LT(largest, 64 * 1024u);
        }
        if (c.frames == 0) {
            EXPECT_EQ(s, nullptr);
            continue;
        }
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->frames, c.frames);
        EXPECT_EQ(s->frequency, 8000);
        EXPECT_FLOAT_EQ(s->data.back(), 1000.0f / 32768.0f);
    }
}

// An MS-ADPCM file (made by sox) whose last block is short keeps every whole frame it holds.
TEST_F(SoundLibrary, AShortLastAdpcmBlockKeepsItsWholeFrames)
{
    const Bytes adpcm = ReadFixture("adpcm_short_block.wav");
    ASSERT_EQ(adpcm.size(), 958u);
    FSOUND_SAMPLE* s = Keep(LoadMemory(adpcm));
    ASSERT_NE(s, nullptr);
    // Three whole blocks of 500 frames, then 188 frames in the 100 bytes of the last.
    EXPECT_EQ(s->frames, 1688);
    EXPECT_EQ(s->frequency, 8000);
    float peak = 0;
    for (float v : s->data)
        peak = std::max(peak, std::abs(v));
    EXPECT_GT(peak, 0.4f);
}

TEST_F(SoundLibrary, TheDeviceMixesWhileTheCallerPlaysAndFrees)
{
    // With SDL's dummy driver the device thread mixes in real time: calls on this
    // thread and the mixing must not race (run under ThreadSanitizer by hand).
    FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    FMUSIC_MODULE* m = Keep(LoadModuleMemory(soundfix::MakeModule(8, 2)));
    ASSERT_NE(m, nullptr);
    ASSERT_TRUE(FMUSIC_PlaySong(m));
    for (int round = 0; round < 200; ++round) {
        FSOUND_SAMPLE* s = LoadMemory(soundfix::ConstantWav(round * 10, 500));
        ASSERT_NE(s, nullptr);
        int channel = FSOUND_PlaySound(FSOUND_FREE, s);
        FSOUND_SetVolume(channel, round % 256);
        FSOUND_SetPan(channel, round % 2 ? FSOUND_STEREOPAN : 64);
        FMUSIC_SetMasterVolume(m, round);
        FSOUND_SetSFXMasterVolume(255 - round);
        if (round % 3 == 0)
            FSOUND_Sample_Free(s);
        else
            samples.push_back(s);
        if (round % 50 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    FSOUND_Close();
    EXPECT_FALSE(FmodTest::UsingDevice());
}

// Without a device, sounds still end after their length: the silent output moves on by
// the tick count until a test renders.
TEST_F(SoundLibrary, TheSilentOutputKeepsTime)
{
    FSOUND_SAMPLE* s = Keep(LoadMemory(soundfix::ConstantWav(1000, 882)));  // 20 ms
    ASSERT_NE(s, nullptr);
    const int h = FSOUND_PlaySound(FSOUND_FREE, s);
    ASSERT_GT(h, 0);
    FmodChannelState state;
    Now += 19;
    ASSERT_TRUE(FmodTest::Channel(h, state));
    EXPECT_TRUE(state.playing);
    Now += 81;
    EXPECT_TRUE(!FmodTest::Channel(h, state) || !state.playing) << "a 20 ms sound plays 100 ms later";
    EXPECT_TRUE(FmodTest::PlayingChannels().empty());

    // 500 plays spread over 2 s never run out of channels.
    for (int i = 0; i < 500; ++i) {
        Now += 4;
        ASSERT_GT(FSOUND_PlaySound(FSOUND_FREE, s), 0) << "play " << i;
        ASSERT_LE(FmodTest::PlayingChannels().size(), 6u);
    }

    // Looping sounds go round and keep playing.
    ASSERT_TRUE(FSOUND_Sample_SetLoopMode(s, FSOUND_LOOP_NORMAL));
    const int loop = FSOUND_PlaySound(FSOUND_FREE, s);
    Now += 3600000;
    ASSERT_TRUE(FmodTest::Channel(loop, state));
    EXPECT_TRUE(state.playing);

    // With the manual clock the output moves only when rendered.
    ASSERT_TRUE(FSOUND_Sample_SetLoopMode(s, FSOUND_LOOP_OFF));
    FmodTest::UseManualClock(true);
    const int held = FSOUND_PlaySound(FSOUND_FREE, s);
    Now += 1000;
    ASSERT_TRUE(FmodTest::Channel(held, state));
    EXPECT_TRUE(state.playing);
    Render(1000);
    EXPECT_TRUE(!FmodTest::Channel(held, state) || !state.playing);
}
