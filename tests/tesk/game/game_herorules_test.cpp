// The hero's rules with sound and timing: the warps' teleport samples, the frame mode
// chosen while the hero appears, a tap between two boundaries, the walk-frame cycles of
// both modes, dropping carried units in order, the death picture chosen by the killer
// and a turn refused at a wall.
#include "tests/tesk/game/KindsFixture.h"

#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/Inputs.h"
#include "tesk/game/Levels.h"
#include "tests/tesk/game/TestUnits.h"

namespace {

constexpr int aUp = 2, aDown = 3, aLeft = 4, aRight = 5, aDrop = 6, aRestart = 9;

// A unit that notes the order in which it is dropped.
class tDropLog : public tUnit {
public:
    void Drop() override
    {
        tUnit::Drop();
        Order.push_back(this);
    }
    static inline std::vector<const tUnit*> Order;
};

class HeroRulesTest : public KindsSuite {
protected:
    void TearDown() override
    {
        for (int a : {aUp, aDown, aLeft, aRight, aDrop, aRestart})
            Release(a);
        Eng->LiveInput.ClearLatched(AllActions);
        tDropLog::Order.clear();
        KindsSuite::TearDown();
    }
    // How many channels play the hero sample now that were not playing in `before`.
    static int NewHeroSounds(const std::set<int>& before, tHeroSound sound)
    {
        const tGameSample* sample = HeroSample(sound);
        if (!sample || !sample->Sample())
            return 0;
        int n = 0;
        for (const FmodChannelState& c : FmodTest::PlayingChannels())
            n += c.sample == sample->Sample() && !before.count(c.handle) ? 1 : 0;
        return n;
    }
    // The ticks (1-based) at which the sample started, over n ticks.
    std::vector<int> HeroSoundTicks(tHeroSound sound, int n)
    {
        std::vector<int> out;
        for (int i = 1; i <= n; ++i) {
            const std::set<int> before = PlayingHandles();
            Tick();
            for (int k = NewHeroSounds(before, sound); k > 0; --k)
                out.push_back(i);
        }
        return out;
    }
    tActualPlayer* Hero() { return static_cast<tActualPlayer*>(Level().Player); }
};

TEST_F(HeroRulesTest, TheArrivalAndResetWarpsPlayTheirSamplesAtTheirFifthStep)
{
    ReadUnits("Begin Player\r\n   InitialX = 4\r\n   InitialY = 4\r\nEnd Player\r\n");
    EXPECT_EQ(HeroSoundTicks(hsTeleportIn, 80), std::vector<int>{5});
    ASSERT_EQ(Hero()->PlayerState, psActive);
    Press(aRestart);
    Tick();  // the reset warp is made in this tick
    Release(aRestart);
    EXPECT_EQ(Eng->GameMode, gmResetWarp);
    EXPECT_EQ(HeroSoundTicks(hsTeleportOut, 5), std::vector<int>{5});
}

TEST_F(HeroRulesTest, TheFrameModeFollowsTheTicksPerFrameWhileTheHeroAppears)
{
    struct Case {
        const char* What;
        int DrawEvery;  // 0: never
        bool ByTicks;
    };
    const Case cases[] = {{"a frame every tick", 1, false}, {"every third tick", 3, true}, {"no frame at all", 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        FrameByTickAnimation = !c.ByTicks;
        ReadUnits("Begin Player\r\n   InitialX = 4\r\n   InitialY = 4\r\nEnd Player\r\n");
        for (int i = 1; Hero()->PlayerState != psActive && i < 100; ++i) {
            Tick();
            if (c.DrawEvery && i % c.DrawEvery == 0)
                Draw();
        }
        EXPECT_EQ(FrameByTickAnimation, c.ByTicks);
    }
}

TEST_F(HeroRulesTest, ATapBetweenTwoBoundariesMakesExactlyOneStep)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    Ticks(2);
    EXPECT_LT(TurnFraction, 0.3f);
    Press(aRight);
    Release(aRight);
    Turn();
    EXPECT_TRUE(hero->Moving);
    EXPECT_EQ(hero->TargetX, 6);
    Turns(3);
    EXPECT_EQ(hero->CellX, 6);
    EXPECT_FALSE(hero->Moving);
}

TEST_F(HeroRulesTest, ABlockedTurnKeepsTheFacingAndPlaysNothing)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    hero->Direction = Right;
    Solid(4, 5);
    Press(aLeft);
    const std::set<int> before = PlayingHandles();
    Turns(2);
    EXPECT_EQ(PlayingHandles(), before);
    EXPECT_FALSE(hero->Moving);
    EXPECT_EQ(hero->Direction, Right);
    EXPECT_EQ(hero->CellX, 5);
}

TEST_F(HeroRulesTest, WalkFramesRunTheirCycleInBothModes)
{
    struct Case {
        const char* What;
        bool ByTicks, Parity;
        int32_t TicksPerTurn;
        tDirection Dir;
        std::vector<int32_t> Frames;  // by TickInTurn
    };
    const Case cases[] = {
        {"ticks, Down", true, false, 16, Down, {0, 0, 1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 6, 6, 7, 8}},
        {"ticks, Up", true, false, 16, Up, {15, 15, 15, 14, 14, 14, 13, 12, 12, 12, 11, 10, 10, 10, 9, 8}},
        {"ticks, Down, second step", true, true, 16, Down, {8, 8, 9, 10, 10, 10, 11, 12, 12, 12, 13, 14, 14, 14, 15, 15}},
        {"fraction, Down", false, false, 12, Down, {0, 1, 3, 4, 5, 7, 8, 9, 11, 12, 13, 15}},
        {"fraction, Left", false, false, 12, Left, {15, 15, 13, 12, 11, 9, 8, 7, 5, 4, 3, 1}},
    };
    tActualPlayer* hero = ActiveHero(5, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        FrameByTickAnimation = c.ByTicks;
        TicksPerTurn = c.TicksPerTurn;
        hero->StepParity = c.Parity;
        hero->Direction = c.Dir;
        hero->Walked = true;
        std::vector<int32_t> shown;
        for (int32_t k = 0; k < c.TicksPerTurn; ++k) {
            TickInTurn = k;
            TurnFraction = static_cast<float>(k) / static_cast<float>(c.TicksPerTurn);
            hero->Move();
            shown.push_back(static_cast<int32_t>(hero->Sprite - HeroSprites.Walk[c.Dir].data()));
        }
        EXPECT_EQ(shown, c.Frames);
    }
}

TEST_F(HeroRulesTest, SpaceDropsTheOldestCarriedUnitWhereTheHeroStands)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    tUnit* first = Level().AddUnit(std::make_unique<tDropLog>());
    tUnit* second = Level().AddUnit(std::make_unique<tDropLog>());
    first->PickUp();
    second->PickUp();
    EXPECT_TRUE(first->Held);
    // Walk one cell, then drop twice, then once with nothing carried.
    Press(aDown);
    Release(aDown);
    Turn();
    Turn();
    EXPECT_EQ(hero->CellY, 6);
    const std::vector<tUnit*> expected = {first, second};
    for (size_t i = 0; i < 3; ++i) {
        Press(aDrop);
        Release(aDrop);
        Turn();
        EXPECT_EQ(tDropLog::Order.size(), std::min<size_t>(i + 1, 2)) << i;
        if (i < 2) {
            const tUnit* u = expected[i];
            EXPECT_FALSE(u->Held);
            EXPECT_EQ(u->CellX, 5);
            EXPECT_EQ(u->CellY, 6);
            EXPECT_FLOAT_EQ(u->X, hero->X);
            EXPECT_FLOAT_EQ(u->Y, hero->Y);
            EXPECT_EQ(tDropLog::Order[i], u);
        }
    }
    EXPECT_FALSE(hero->Moving);  // Space alone makes no step
    EXPECT_EQ(CarriedCount, 0);
}

TEST_F(HeroRulesTest, TheDeathPictureIsChosenOnceFromTheKillersClassName)
{
    // A kind without pictures of its own gets the general ones; the spider its own now
    // and then.
    int spiders = 0;
    for (int i = 0; i < 40; ++i) {
        for (const TClass killer : {tTestWalker::StaticClass(), tSpider::StaticClass()}) {
            tActualPlayer* hero = ActiveHero(5, 5);
            CurrentDeathPopup = nullptr;
            hero->SetDeathMode(0, killer);
            ASSERT_NE(CurrentDeathPopup, nullptr);
            const bool general = CurrentDeathPopup >= GeneralDeath.data() && CurrentDeathPopup < GeneralDeath.data() + 6;
            const bool spider = CurrentDeathPopup >= SpiderDeath.data() && CurrentDeathPopup < SpiderDeath.data() + 3;
            EXPECT_TRUE(general || (killer == tSpider::StaticClass() && spider));
            spiders += spider ? 1 : 0;
            // A second death while dying chooses nothing.
            CurrentDeathPopup = nullptr;
            hero->SetDeathMode(1, tSnake::StaticClass());
            EXPECT_EQ(CurrentDeathPopup, nullptr);
            EXPECT_EQ(hero->Killer, killer);
            EXPECT_EQ(hero->DeathKind, 0);
            Level().FreeAllUnits();
            Eng->GameMode = gmPlaying;
        }
    }
    EXPECT_GT(spiders, 0);
}

TEST_F(HeroRulesTest, TheRecorderTakesOneValuePerActiveTurnOnly)
{
    ReadUnits("Begin Player\r\n   InitialX = 4\r\n   InitialY = 4\r\nEnd Player\r\n");
    Recorder.StartRecording();
    Turns(2);  // appearing
    EXPECT_EQ(Hero()->PlayerState, psAppearing);
    EXPECT_EQ(Recorder.Length(), 0);
    Turn();  // becomes active: no decision yet
    EXPECT_EQ(Hero()->PlayerState, psActive);
    EXPECT_EQ(Recorder.Length(), 0);
    Press(aRight);
    Turn();
    Release(aRight);
    Eng->LiveInput.ClearLatched(AllActions);
    Press(aDrop);
    Release(aDrop);
    Turn();
    Turn();
    EXPECT_EQ(Recorder.Length(), 3);
    EXPECT_EQ(Recorder.Value(0), aRight * 2);
    EXPECT_EQ(Recorder.Value(1), aDrop * 2 + 1);
    EXPECT_EQ(Recorder.Value(2), 0);
}

}  // namespace
