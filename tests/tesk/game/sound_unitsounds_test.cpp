// The samples of the hero and the unit kinds: loading order, the looping fuse, the MP3
// fall-back, missing and empty files, and playing when nothing is loaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Fmod.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/Players.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/toolkit/Faudio.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SoundFixtures.h"

namespace {

std::string AsText(const soundfix::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

class UnitSounds : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : HeroSoundFiles)
            Put(name);
        for (const char* name : UnitSoundFiles)
            Put(name);
        ResetPackageFiles(dir.Path());
        InstallPackageFileCallbacks();
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
        FmodTest::ClearOpenedNames();
    }
    void TearDown() override
    {
        FreeUnitSamples();
        FreeHeroSamples();
        FSOUND_Close();
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        ResetPackageFiles();
    }
    void Put(const std::string& name) { dir.Write("samples/" + name, AsText(soundfix::ConstantWav(800, 200, 22050))); }
    static std::string Base(const std::string& name) { return name.substr(name.find_last_of("\\/") + 1); }

    ScratchDir dir;
};

TEST_F(UnitSounds, LoadInOrderAndTheFuseLoops)
{
    LoadHeroSamples();
    LoadUnitSamples();
    std::vector<std::string> opened;
    for (const std::string& n : FmodTest::OpenedNames())
        opened.push_back(Base(n));
    std::vector<std::string> expected{"TeleportIn.wav", "TelePortOut.wav"};
    expected.insert(expected.end(), UnitSoundFiles.begin(), UnitSoundFiles.end());
    ASSERT_EQ(opened.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(opened[i], expected[i]);
    EXPECT_EQ(expected[2], "SpiderMunching.Wav");
    EXPECT_EQ(expected.back(), "OpeningDoor.Wav");

    const int fuse = PlayUnitSound(usCherryBombFuse);
    FmodChannelState state;
    ASSERT_TRUE(FmodTest::Channel(fuse, state));
    EXPECT_EQ(state.loopMode, FSOUND_LOOP_NORMAL);
    EXPECT_TRUE(FmodTest::Channel(PlayUnitSound(usSplosh), state));
    EXPECT_NE(state.loopMode, FSOUND_LOOP_NORMAL);
    EXPECT_TRUE(FmodTest::Channel(PlayHeroSound(hsTeleportOut), state));
}

TEST_F(UnitSounds, MissingWavFallsBackToMp3AndBothMissingFails)
{
    std::filesystem::remove(dir / "samples/Splosh.Wav");
    dir.Write("samples/Splosh.mp3", ScratchDir::Read(std::string(TP_SOURCE_DIR) + "/tests/platform/files/tone.mp3"));
    LoadUnitSamples();
    ASSERT_NE(UnitSample(usSplosh), nullptr);
    EXPECT_NE(UnitSample(usSplosh)->Sample(), nullptr);
    bool mp3 = false;
    for (const std::string& n : FmodTest::OpenedNames())
        mp3 = mp3 || Base(n) == "Splosh.mp3";
    EXPECT_TRUE(mp3);

    FreeUnitSamples();
    std::filesystem::remove(dir / "samples/Splosh.mp3");
    EXPECT_THROW(LoadUnitSamples(), eFSoundError);
    // The samples before the missing one are in place; the missing one and those after
    // it play nothing.
    EXPECT_NE(UnitSample(usSpiderExplosion), nullptr);
    EXPECT_EQ(UnitSample(usSplosh), nullptr);
    EXPECT_EQ(PlayUnitSound(usSplosh), -1);
    EXPECT_EQ(PlayUnitSound(usOpeningDoor), -1);
}

TEST_F(UnitSounds, EmptyWavGivesTheLoadError)
{
    dir.Write("samples/TeleportIn.wav", "");
    EXPECT_THROW(LoadHeroSamples(), eFSoundError);
    EXPECT_EQ(HeroSample(hsTeleportIn), nullptr);
    EXPECT_EQ(PlayHeroSound(hsTeleportIn), -1);
}

TEST_F(UnitSounds, NothingLoadedPlaysNothing)
{
    for (int s = 0; s < UnitSoundCount; ++s)
        EXPECT_EQ(PlayUnitSound(static_cast<tUnitSound>(s)), -1);
    EXPECT_EQ(PlayHeroSound(hsTeleportOut), -1);
    EXPECT_EQ(UnitSample(UnitSoundCount), nullptr);
}

TEST_F(UnitSounds, WarpsPlayTheirSampleOnTheirFifthMove)
{
    LoadHeroSamples();
    for (const bool outgoing : {false, true}) {
        tWarp warp;
        warp.Outgoing = outgoing;
        for (int i = 0; i < 4; ++i)
            warp.Move();
        EXPECT_TRUE(FmodTest::PlayingChannels().empty());
        warp.Move();
        const std::vector<FmodChannelState> playing = FmodTest::PlayingChannels();
        ASSERT_EQ(playing.size(), 1u);
        EXPECT_EQ(playing[0].sample, HeroSample(outgoing ? hsTeleportOut : hsTeleportIn)->Sample());
        for (int i = 0; i < 70; ++i)
            warp.Move();
        EXPECT_EQ(FmodTest::PlayingChannels().size(), 1u);
        for (const FmodChannelState& c : FmodTest::PlayingChannels())
            FSOUND_StopSound(c.handle);
    }
}

}  // namespace
