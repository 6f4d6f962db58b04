// The sound-library wrapper: fixed failure texts, ownership of samples and modules, and
// the values passed to the library.
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>

#include "platform/Fmod.h"
#include "platform/System.h"
#include "tesk/toolkit/Faudio.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SoundFixtures.h"
#include "tests/support/ZipBuilder.h"

namespace {

class SoundWrapper : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
        FmodTest::ClearOpenedNames();
        // Test processes may run side by side: every file name is their own.
        const std::string prefix = testing::TempDir() + "faudio_" + std::to_string(getpid()) + "_" +
                                   testing::UnitTest::GetInstance()->current_test_info()->name();
        wavPath = prefix + "_tone.wav";
        ASSERT_TRUE(soundfix::WriteFile(wavPath, soundfix::ConstantWav(1000, 2000, 22050)));
        modPath = prefix + "_tune.mod";
        ASSERT_TRUE(soundfix::WriteFile(modPath, soundfix::MakeModule()));
    }
    void TearDown() override
    {
        FSOUND_Close();
        std::remove(wavPath.c_str());
        std::remove(modPath.c_str());
    }
    std::string wavPath, modPath;
};

// The message of the exception fn raises, or "" when it raises none of ours.
template <class E>
std::string MessageOf(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const E& e) {
        return e.Message();
    }
    return "";
}

}  // namespace

TEST_F(SoundWrapper, FailuresRaiseTheirFixedTextWithACarriageReturn)
{
    tSample empty;
    tModule noModule;
    const soundfix::Bytes junk = {'j', 'u', 'n', 'k'};
    struct Case {
        std::function<void()> call;
        std::string message;
    } soundCases[] = {
        {[&] { empty.Lock(); }, "tSample.Lock\r"},
        {[&] { empty.UnLock(); }, "tSample.UnLock\r"},
        {[&] { empty.LoadWav("samples\\Nope.wav"); }, "tSample.LoadWav(samples\\Nope.wav)\r"},
        {[&] { empty.LoadWavA("Nope.wav"); }, "tSample.LoadWav(Nope.wav)\r"},
        {[&] { empty.LoadWavB("Nope.wav"); }, "tSample.LoadWav(Nope.wav)\r"},
        {[&] { empty.LoadWavMemory(junk.data(), int(junk.size())); }, "tSample.LoadWavMemory\r"},
        {[&] { empty.LoadWavMemory(junk.data(), 0); }, "tSample.LoadWavMemory\r"},
        {[&] { empty.LoadmpgMemory(junk.data(), int(junk.size())); }, "tSample.LoadmpgMemory\r"},
        {[&] { empty.LoadRaw("Nope.raw", FSOUND_8BITS | FSOUND_MONO); }, "tSample.LoadRaw\r"},
        {[&] { empty.AllocSample(0, FSOUND_8BITS, 44100, 255, 128, 128); }, "tSample.AllocSample\r"},
        {[&] { empty.Upload(junk.data(), FSOUND_8BITS); }, "Fsound.Upload\r"},
        {[&] { empty.Play(); }, "tSample.Play\r"},
        {[&] { empty.PlayOnChannel(1); }, "tSample.PlayOnChannel\r"},
        {[&] { empty.PlayAttrib(44100, 255, 128); }, "tSample.PlayAttrib\r"},
        {[&] { empty.PlayAttribOnChannel(1, 44100, 255, 128); }, "tSample.PlayAttribOnChannel\r"},
        {[&] { empty.SetLoopMode(FSOUND_LOOP_NORMAL); }, "tSample.SetLoopMode\r"},
        {[&] {
             int f, v, p, r;
             empty.GetDefaults(f, v, p, r);
         },
         "tSample.GetDefaults\r"},
    };
    for (const Case& c : soundCases)
        EXPECT_EQ(MessageOf<eFSoundError>(c.call), c.message);
    Case musicCases[] = {
        {[&] { noModule.Load("Music\\Nope.xm"); }, "tModule.Load\r"},
        {[&] { noModule.LoadFromMemory(junk.data(), int(junk.size())); }, "tModule.LoadFromMemory\r"},
        {[&] { noModule.Play(); }, "tModule.Play\r"},
    };
    for (const Case& c : musicCases)
        EXPECT_EQ(MessageOf<eFMusicError>(c.call), c.message);
    EXPECT_EQ(empty.Sample(), nullptr);
    EXPECT_EQ(noModule.Module(), nullptr);
    // Both derive from the base exception.
    EXPECT_EQ(MessageOf<Exception>([] { CheckSoundResult("x", false); }), "x\r");
    EXPECT_EQ(MessageOf<Exception>([] { CheckMusicResult("y", false); }), "y\r");
    EXPECT_EQ(MessageOf<Exception>([] { CheckSoundResult("x", true); }), "");
}

TEST_F(SoundWrapper, ALoadFreesTheHeldSampleAndAFailedOneLeavesNone)
{
    tSample sample;
    sample.LoadWav(wavPath);
    FSOUND_SAMPLE* first = sample.Sample();
    ASSERT_NE(first, nullptr);
    int channel = sample.Play();
    sample.LoadWavA(wavPath);
    EXPECT_NE(sample.Sample(), nullptr);
    int f = 0, v = 0, p = 0, r = 0;
    FmodChannelState state;
    EXPECT_FALSE(FmodTest::Channel(channel, state) && state.playing);  // stopped with the old sample

    FSOUND_SAMPLE* second = sample.Sample();
    EXPECT_THROW(sample.LoadWavB(wavPath + ".missing"), eFSoundError);
    EXPECT_EQ(sample.Sample(), nullptr);
    EXPECT_FALSE(FSOUND_Sample_GetDefaults(second, &f, &v, &p, &r));  // freed before the attempt

    tModule module;
    module.Load(modPath);
    FMUSIC_MODULE* song = module.Module();
    ASSERT_NE(song, nullptr);
    EXPECT_THROW(module.Load(modPath + ".missing"), eFMusicError);
    EXPECT_EQ(module.Module(), nullptr);
    EXPECT_EQ(FMUSIC_GetMasterVolume(song), -1);  // unloaded
}

TEST_F(SoundWrapper, PlayCallsPassFullStereoPanOrTheGivenAttributes)
{
    tSample sample;
    sample.LoadWav(wavPath);
    int frequency = 0, volume = 0, pan = 0, priority = 0;
    sample.GetDefaults(frequency, volume, pan, priority);
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(volume, 255);
    EXPECT_EQ(pan, 128);
    EXPECT_EQ(priority, 128);

    FmodChannelState state;
    int channel = sample.Play();
    ASSERT_TRUE(FmodTest::Channel(channel, state));
    EXPECT_EQ(state.pan, FSOUND_STEREOPAN);
    EXPECT_EQ(state.volume, 255);
    EXPECT_EQ(state.frequency, 22050);

    channel = sample.PlayOnChannel(channel);
    ASSERT_TRUE(FmodTest::Channel(channel, state));
    EXPECT_EQ(state.pan, FSOUND_STEREOPAN);

    channel = sample.PlayAttrib(11025, 99, 30);
    ASSERT_TRUE(FmodTest::Channel(channel, state));
    EXPECT_EQ(state.frequency, 11025);
    EXPECT_EQ(state.volume, 99);
    EXPECT_EQ(state.pan, 30);

    int again = sample.PlayAttribOnChannel(channel, 8000, 7, 250);
    EXPECT_EQ(again & 0x7F, channel & 0x7F);
    ASSERT_TRUE(FmodTest::Channel(again, state));
    EXPECT_EQ(state.frequency, 8000);
    EXPECT_EQ(state.volume, 7);
    EXPECT_EQ(state.pan, 250);

    sample.SetLoopMode(FSOUND_LOOP_NORMAL);
    ASSERT_TRUE(FmodTest::Channel(sample.Play(), state));
    EXPECT_EQ(state.loopMode, FSOUND_LOOP_NORMAL);
}

TEST_F(SoundWrapper, AllocatedAndRawSamples)
{
    // The two-sample sound lasts a quarter of a millisecond: the clock stands still until
    // it is rendered.
    const uint32_t now = GetTickCount();
    TestHooks::SetTickCountSource([now] { return now; });
    tSample sample;
    sample.AllocSample(2, FSOUND_8BITS | FSOUND_MONO, 8000, 255, FSOUND_STEREOPAN, 128);
    const int8_t data[2] = {64, 64};
    sample.Upload(data, FSOUND_8BITS | FSOUND_MONO);
    sample.Play();
    int16_t out[2];
    FmodTest::Render(out, 1);
    EXPECT_EQ(out[0], 16384);

    const std::string raw = wavPath + ".raw";
    ASSERT_TRUE(soundfix::WriteFile(raw, {0x80, 0x80, 0x80}));
    tSample rawSample;
    rawSample.LoadRaw(raw, FSOUND_8BITS | FSOUND_MONO | FSOUND_UNSIGNED);
    EXPECT_NE(rawSample.Sample(), nullptr);
    std::remove(raw.c_str());
}

TEST_F(SoundWrapper, ModuleCallsPassTheirValues)
{
    tModule module;
    module.Load(modPath);
    module.SetPaused(true);
    EXPECT_EQ(FMUSIC_GetPaused(module.Module()), -1);
    EXPECT_TRUE(module.GetPaused());
    module.SetPaused(false);
    EXPECT_EQ(FMUSIC_GetPaused(module.Module()), 0);
    EXPECT_FALSE(module.GetPaused());

    module.SetMasterVolume(77);
    EXPECT_EQ(module.GetMasterVolume(), 77);
    EXPECT_TRUE(module.SetOrder(1));
    EXPECT_EQ(module.GetOrder(), 1);
    EXPECT_FALSE(module.SetOrder(5));

    module.Play();
    FmodModuleState state;
    ASSERT_TRUE(FmodTest::Module(module.Module(), state));
    EXPECT_TRUE(state.playing);
    module.Stop();
    ASSERT_TRUE(FmodTest::Module(module.Module(), state));
    EXPECT_FALSE(state.playing);

    auto callback = +[](FMUSIC_MODULE*, unsigned char) {};
    module.SetZxxCallback(callback);
    ASSERT_TRUE(FmodTest::Module(module.Module(), state));
    EXPECT_EQ(state.zxxCallback, callback);

    const soundfix::Bytes tune = soundfix::MakeModule();
    module.LoadFromMemory(tune.data(), int(tune.size()));
    EXPECT_NE(module.Module(), nullptr);
    module.Unload();
    EXPECT_EQ(module.Module(), nullptr);
}

TEST_F(SoundWrapper, NamesReachTheLibraryWhole)
{
    const std::string longName = testing::TempDir() + std::string(280, 'n') + ".wav";
    tSample sample;
    EXPECT_THROW(sample.LoadWav(longName), eFSoundError);
    ASSERT_FALSE(FmodTest::OpenedNames().empty());
    EXPECT_EQ(FmodTest::OpenedNames().back(), longName);

    // A name with a zero byte inside would open a shorter name: refused outright.
    FmodTest::ClearOpenedNames();
    EXPECT_THROW(sample.LoadWav(wavPath + std::string(1, '\0') + "x"), eFSoundError);
    tModule module;
    EXPECT_THROW(module.Load(modPath + std::string(1, '\0') + "x"), eFMusicError);
    EXPECT_TRUE(FmodTest::OpenedNames().empty());
}

namespace {

std::string AsText(const soundfix::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A program folder with a loose sample and a data package holding a module and a
// sample, mounted, with the package callbacks installed.
class PackagedSounds : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
        FmodTest::ClearOpenedNames();
        tune = AsText(soundfix::MakeModule());
        dir.Write("samples/Loose.wav", AsText(soundfix::ConstantWav(1000, 100)));
        dir.Write("Base.Tarvol",
                  BuildZip({{"Music/Tune.mod", tune}, {"samples/Packed.wav", AsText(soundfix::ConstantWav(500, 100))}}));
        ResetPackageFiles(dir.Path());
        AddPackage(dir / "Base.Tarvol");
        InstallPackageFileCallbacks();
    }
    void TearDown() override
    {
        FSOUND_Close();
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        ResetPackageFiles();
    }
    ScratchDir dir;
    std::string tune;
};

}  // namespace

TEST_F(PackagedSounds, SamplesAndModulesLoadFromLooseFilesAndPackages)
{
    tSample loose, packed;
    loose.LoadWav("SAMPLES\\loose.WAV");
    packed.LoadWav("samples\\Packed.wav");
    EXPECT_NE(loose.Sample(), nullptr);
    EXPECT_NE(packed.Sample(), nullptr);
    tModule module;
    module.Load("Music\\Tune.mod");
    EXPECT_NE(module.Module(), nullptr);
    // The library sees the names exactly as the game gave them.
    EXPECT_EQ(FmodTest::OpenedNames(),
              (std::vector<std::string>{"SAMPLES\\loose.WAV", "samples\\Packed.wav", "Music\\Tune.mod"}));

    // A missing file is a failed load with the usual text, not the package layer's error.
    EXPECT_EQ(MessageOf<eFSoundError>([&] { loose.LoadWav("samples\\Gone.wav"); }),
              "tSample.LoadWav(samples\\Gone.wav)\r");
    EXPECT_EQ(MessageOf<eFMusicError>([&] { module.Load("Music\\Gone.xm"); }), "tModule.Load\r");
    // The callbacks survive a restart of the library.
    FSOUND_Close();
    ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
    packed.LoadWav("samples\\Packed.wav");
    EXPECT_NE(packed.Sample(), nullptr);
}

TEST_F(PackagedSounds, CallbacksReadSeekAndTellAPackagedFile)
{
    void* handle = PackageSoundFileOpen("music\\TUNE.MOD");
    ASSERT_NE(handle, nullptr);
    const int size = int(tune.size());
    struct Step {
        int position;
        signed char mode;
        int result;
    } steps[] = {
        {0, 2, size}, {10, 0, 10}, {5, 1, 15}, {-5, 2, size - 5}, {100, 7, size - 5}, {-1, -1, size - 5}, {20, 0, 20},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(PackageSoundFileSeek(handle, s.position, s.mode), s.result) << int(s.mode);
        EXPECT_EQ(PackageSoundFileTell(handle), s.result);
    }
    char bytes[4] = {};
    EXPECT_EQ(PackageSoundFileRead(bytes, 4, handle), 4);
    EXPECT_EQ(std::string(bytes, 4), tune.substr(20, 4));
    EXPECT_EQ(PackageSoundFileTell(handle), 24);
    PackageSoundFileSeek(handle, 0, 2);
    EXPECT_EQ(PackageSoundFileRead(bytes, 4, handle), 0);
    PackageSoundFileClose(handle);

    EXPECT_EQ(PackageSoundFileOpen("Music\\Gone.xm"), nullptr);
    EXPECT_EQ(PackageSoundFileOpen(nullptr), nullptr);
    EXPECT_EQ(PackageSoundFileRead(bytes, 4, nullptr), 0);
    EXPECT_EQ(PackageSoundFileSeek(nullptr, 0, 0), -1);
    EXPECT_EQ(PackageSoundFileTell(nullptr), -1);
}
