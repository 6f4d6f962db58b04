// Game sound: samples from "samples\" with the MP3 fall-back, volumes from the settings,
// no failure of a sound reaching the game, one module playing at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Fmod.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/Settings.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SoundFixtures.h"

namespace {

std::string AsText(const soundfix::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string ReadFixture(const std::string& name)
{
    return ScratchDir::Read(std::string(TP_SOURCE_DIR) + "/tests/platform/files/" + name);
}

// A program folder with a few samples and modules, the library started on the silent
// output and the settings at their defaults.
class GameSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("samples/Ping.wav", AsText(soundfix::ConstantWav(1000, 100, 22050)));
        dir.Write("samples/Tone.mp3", ReadFixture("tone.mp3"));
        dir.Write("Music/First.mod", AsText(soundfix::MakeModule()));
        dir.Write("Music/Second.mod", AsText(soundfix::MakeModule(8, 1)));
        ResetPackageFiles(dir.Path());
        InstallPackageFileCallbacks();
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
        FmodTest::ClearOpenedNames();
    }
    void TearDown() override
    {
        SoundOn = true;
        SoundVolume = 5;
        MusicOn = true;
        MusicVolume = 5;
        FSOUND_Close();
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        ResetPackageFiles();
    }
    ScratchDir dir;
};

FmodChannelState StateOf(int channel)
{
    FmodChannelState state;
    EXPECT_TRUE(FmodTest::Channel(channel, state)) << "channel " << channel;
    return state;
}

}  // namespace

TEST_F(GameSound, SamplesPlayAtTheirOwnRateAndPanWithTheEffectsVolumeApplied)
{
    tGameSample ping;
    ping.LoadWav("Ping.wav");
    struct Case {
        int soundVolume, volume;
    } cases[] = {{5, 128}, {0, 0}, {10, 255}, {1, 26}, {7, 179}};
    for (const Case& c : cases) {
        SoundVolume = c.soundVolume;
        const FmodChannelState state = StateOf(ping.Play());
        EXPECT_EQ(state.volume, c.volume) << "SoundVolume " << c.soundVolume;
        EXPECT_EQ(state.frequency, 22050);
        EXPECT_EQ(state.pan, 128);  // the sample's own pan, not the full stereo pan
    }
    SoundVolume = 5;
    const int channel = ping.PlayVariant(7);
    EXPECT_EQ(StateOf(channel).volume, 128);
    const int again = ping.PlayOnChannel(channel);
    EXPECT_EQ(again & 0x7F, channel & 0x7F);
    EXPECT_EQ(StateOf(again).volume, 128);
}

TEST_F(GameSound, WithSoundOffNothingPlaysAndChannelZeroTouchesNothing)
{
    tGameSample ping;
    ping.LoadWav("Ping.wav");
    const int playing = ping.Play();
    SoundOn = false;
    EXPECT_EQ(ping.Play(), 0);
    EXPECT_EQ(ping.PlayOnChannel(playing), 0);
    EXPECT_EQ(FmodTest::PlayingChannels().size(), 1u);
    // What a bomb does with the channel it was given while sound was off.
    FSOUND_SetVolume(0, 0);
    FSOUND_StopSound(0);
    EXPECT_TRUE(StateOf(playing).playing);
    EXPECT_EQ(StateOf(playing).volume, 128);
}

TEST_F(GameSound, AFailedPlayGivesMinusOneInsteadOfRaising)
{
    tGameSample unloaded;
    EXPECT_EQ(unloaded.Play(), -1);
    EXPECT_EQ(unloaded.PlayOnChannel(3), -1);

    tGameSample fuse;
    fuse.LoadWav("Ping.wav");
    fuse.SetLoopMode(FSOUND_LOOP_NORMAL);
    for (int i = 0; i < 64; ++i)
        ASSERT_GT(fuse.Play(), 0);
    tGameSample other;
    other.LoadWav("Ping.wav");
    EXPECT_EQ(other.Play(), -1);  // every channel busy with a looping sound
    EXPECT_EQ(other.PlayOnChannel(0), -1);
}

TEST_F(GameSound, AMissingWavLoadsTheMp3OfTheSameName)
{
    tGameSample tone;
    tone.LoadWav("Tone.wav");
    EXPECT_NE(tone.Sample(), nullptr);
    EXPECT_EQ(LastOperation, "Loading samples\\Tone.mp3");
    EXPECT_EQ(FmodTest::OpenedNames(), std::vector<std::string>{"samples\\Tone.mp3"});

    tGameSample ping;
    ping.LoadWav("PING.WAV");  // found in any letter case: no fall-back
    EXPECT_EQ(LastOperation, "Loading samples\\PING.WAV");

    tGameSample missing;
    try {
        missing.LoadWav("Gone.wav");
        FAIL() << "a sound that exists in neither form loads";
    } catch (const eFSoundError& e) {
        EXPECT_EQ(e.Message(), "tSample.LoadWav(samples\\Gone.mp3)\r");
    }
    EXPECT_EQ(missing.Sample(), nullptr);
}

TEST_F(GameSound, ModulesLoadFromMusicAndPlayOneAtATimeAtTheMusicVolume)
{
    tGameModule first, second;
    first.Load("First.mod");
    second.Load("Second.mod");
    EXPECT_EQ(FmodTest::OpenedNames(), (std::vector<std::string>{"Music\\First.mod", "Music\\Second.mod"}));

    struct Case {
        bool musicOn;
        int musicVolume, master;
    } cases[] = {{true, 10, 128}, {true, 5, 64}, {true, 3, 38}, {true, 0, 0}, {false, 10, 0}};
    for (const Case& c : cases) {
        MusicOn = c.musicOn;
        MusicVolume = c.musicVolume;
        first.Play();
        EXPECT_EQ(first.GetMasterVolume(), c.master) << "MusicVolume " << c.musicVolume;
    }
    EXPECT_EQ(CurrentGameModule, &first);

    second.Play();
    EXPECT_EQ(CurrentGameModule, &second);
    FmodModuleState state;
    ASSERT_TRUE(FmodTest::Module(first.Module(), state));
    EXPECT_FALSE(state.playing);
    ASSERT_TRUE(FmodTest::Module(second.Module(), state));
    EXPECT_TRUE(state.playing);

    {
        tGameModule third;
        third.Load("First.mod");
        third.Play();
        EXPECT_EQ(CurrentGameModule, &third);
    }
    EXPECT_EQ(CurrentGameModule, nullptr);  // it went with the module
    ASSERT_TRUE(FmodTest::Module(second.Module(), state));
    EXPECT_FALSE(state.playing);
}

TEST(GameSoundDrivers, EachOutputListsTheDriversTheLibraryReports)
{
    InitGameSound();
    ASSERT_EQ(SoundDriverNames[0].Count(), 1);
    EXPECT_EQ(SoundDriverNames[0][0], "no sound");
    for (int output : {1, 2}) {
        FSOUND_SetOutput(output);
        ASSERT_EQ(SoundDriverNames[output].Count(), FSOUND_GetNumDrivers());
        for (int i = 0; i < SoundDriverNames[output].Count(); ++i)
            EXPECT_EQ(SoundDriverNames[output][i], FSOUND_GetDriverName(i));
    }
    InitGameSound();  // again: the lists are rebuilt, not appended to
    EXPECT_EQ(SoundDriverNames[0].Count(), 1);
    DoneGameSound();
    for (const TStringList& names : SoundDriverNames)
        EXPECT_EQ(names.Count(), 0);
}

TEST(GameSoundDrivers, UnderTheDummyDriverBothOutputsListTheSystemDevice)
{
    InitGameSound();
    for (int output : {1, 2}) {
        ASSERT_EQ(SoundDriverNames[output].Count(), 1) << output;
        EXPECT_EQ(SoundDriverNames[output][0], "System audio output device");
    }
    DoneGameSound();
}

TEST(GameSoundDrivers, TheDeviceNameHookReplacesTheMachinesListForOutputsOneAndTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {}, {"Speakers"}, {"", "lower case", std::string(300, 'x'), "Gr\xC3\xBC\xC3\x9F"}};
    for (const auto& names : cases) {
        FmodTest::SetDeviceNames(names);
        InitGameSound();
        EXPECT_EQ(SoundDriverNames[0].Count(), 1);
        EXPECT_EQ(SoundDriverNames[0][0], "no sound");
        for (int output : {1, 2}) {
            ASSERT_EQ(SoundDriverNames[output].Count(), static_cast<int>(names.size()));
            for (size_t i = 0; i < names.size(); ++i)
                EXPECT_EQ(SoundDriverNames[output][static_cast<int>(i)], names[i]);
            FSOUND_SetOutput(output);
            EXPECT_EQ(FSOUND_GetDriverName(static_cast<int>(names.size())), nullptr);
        }
    }
    FmodTest::SetDeviceNames(std::nullopt);
    InitGameSound();
    EXPECT_EQ(SoundDriverNames[1][0], "System audio output device");
    DoneGameSound();
}
