#pragma once
// The unit-kind suite with sound: the samples of the built package loaded on the sound
// library's silent output, so a test can ask which samples a step started, and helpers
// for the snakes, spiders, bombs and signs tests (an active hero, solid cells, pop-up
// calls recorded through PopUpShowHook).
#include "tests/tesk/game/UnitFixture.h"

#include <functional>
#include <set>

#include "platform/Fmod.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/PopUpForm.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/toolkit/Faudio.h"

class KindsSuite : public UnitSuite {
public:
    static void SetUpTestSuite()
    {
        UnitSuite::SetUpTestSuite();
        InstallPackageFileCallbacks();
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        FSOUND_Init(44100, 64, 0);
        // Sounds end only when the mix is rendered: a loaded machine never ends one
        // between a step and its check.
        FmodTest::UseManualClock(true);
        LoadUnitSoundData();
        LoadPlayerSoundData();
    }
    static void TearDownTestSuite()
    {
        FreeUnitSoundData();
        FreePlayerSoundData();
        FSOUND_Close();
        FmodTest::UseManualClock(false);
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        UnitSuite::TearDownTestSuite();
    }

protected:
    struct tPopUpCall {
        std::string Image;
        TPoint Anchor;
        std::string Caption;
    };

    void SetUp() override
    {
        UnitSuite::SetUp();
        SoundOn = true;
        StopAllSounds();
        PopUpShowHook = [this](const std::string& image, TPoint anchor, const std::string& caption) {
            PopUps.push_back({image, anchor, caption});
            if (OnPopUp)
                OnPopUp();
        };
    }
    void TearDown() override
    {
        PopUpShowHook = nullptr;
        OnPopUp = nullptr;
        // Units (bombs) leave before the engine, while the sound library is up.
        Level().FreeAllUnits();
        StopAllSounds();
        SoundOn = true;
        UnitSuite::TearDown();
    }

    tActualPlayer* ActiveHero(int32_t x, int32_t y)
    {
        tActualPlayer* hero = Put<tActualPlayer>(x, y);
        Level().FreeTemporaryUnits();  // its arrival warp
        hero->PlayerState = psActive;
        return hero;
    }
    void Solid(int32_t x, int32_t y) { Level().Cell(x, y).Solid = 1; }
    // Builds the row lists and claims as a turn boundary does, without taking turns.
    void Boundary() { Level().BeginTurn(); }

    static void StopAllSounds()
    {
        for (const FmodChannelState& c : FmodTest::PlayingChannels())
            FSOUND_StopSound(c.handle);
    }
    // The handles of the channels playing now.
    static std::set<int> PlayingHandles()
    {
        std::set<int> out;
        for (const FmodChannelState& c : FmodTest::PlayingChannels())
            out.insert(c.handle);
        return out;
    }
    // How many channels play the sample now that were not playing in `before`.
    static int NewlyPlaying(const std::set<int>& before, tUnitSound sound)
    {
        const tGameSample* sample = UnitSample(sound);
        if (!sample || !sample->Sample())
            return 0;
        int n = 0;
        for (const FmodChannelState& c : FmodTest::PlayingChannels())
            n += c.sample == sample->Sample() && !before.count(c.handle) ? 1 : 0;
        return n;
    }
    // Runs a step and gives the sounds it started, by count.
    int PlaysDuring(tUnitSound sound, const std::function<void()>& step)
    {
        const std::set<int> before = PlayingHandles();
        step();
        return NewlyPlaying(before, sound);
    }

    std::vector<tPopUpCall> PopUps;
    std::function<void()> OnPopUp;
};
