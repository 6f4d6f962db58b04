// Whole levels played headless from the level start to the end with the game's own kinds,
// the real pictures and samples, every frame drawn: the level of every kind of the first
// half (pools, boulder, rubble, keys, jewels, exits) with a restart half-way, and a show
// screen. Chosen frames of the playfield are compared with recorded pictures
// (tests/tesk/game/files/replays/*.png; TP_UPDATE_PICTURES=1 records them again).
#include "tests/tesk/game/PlayedLevels.h"

namespace {

using namespace played;

// The playfield (x 128..639) compared with the recorded picture; a differing frame is
// left as <name>.actual.png in the build's bin folder.
void ExpectPlayfieldLooksLike(tEngineHarness& h, const std::string& name)
{
    const TBitmap picture = h.FramePicture(TRect{128, 0, FrameWidth, FrameHeight});
    const std::string reference = FixtureFile(name + ".png");
    const TPictureDifference d = CompareWithReference(picture, reference, 8);
    EXPECT_TRUE(d.SameSize) << "no reference picture " << reference;
    EXPECT_LT(d.Fraction(), 0.002) << name << ": " << d.Differing << " pixels differ (worst " << d.Worst << ")";
    if (!d.SameSize || d.Fraction() >= 0.002)
        SavePicturePng(picture, std::string(TP_BIN_DIR) + "/" + name + ".actual.png");
}

tUnit* UnitOf(tGameEngine& e, TClass cls, int32_t x, int32_t y)
{
    for (int32_t i = 0; i < e.Level.UnitList.Count(); ++i) {
        tUnit* u = e.Level.UnitList[i];
        if (u->ClassType() == cls && u->InitialX == x && u->InitialY == y)
            return u;
    }
    return nullptr;
}

class FirstHalfLevel : public ::testing::Test {
protected:
    void SetUp() override
    {
        L = std::make_unique<tPlayedLevel>("Levels\\FirstHalf.map", "FirstHalf.map");
        L->Start();
        ASSERT_EQ(L->E().GameMode, gmPlaying);
    }
    void TearDown() override { L.reset(); }
    tWater* Pool(int32_t x, int32_t y) { return dynamic_cast<tWater*>(UnitOf(L->E(), tWater::StaticClass(), x, y)); }
    tUnit* Boulder() { return UnitOf(L->E(), tBoulder::StaticClass(), 3, 1); }
    tExit* Exit(int32_t x, int32_t y) { return dynamic_cast<tExit*>(UnitOf(L->E(), tExit::StaticClass(), x, y)); }
    // The first turns: the boulder into the pool (the frame halfway through that push on
    // request), then round the pool to the first two jewels.
    void ToTheSecondJewel(const char* slidingFrame)
    {
        L->Script("RR");
        // The push into the pool, halfway.
        H().KeyDown(39);
        const int32_t turns = L->E().TurnCount;
        while (L->E().TurnCount == turns)
            L->Tick();
        H().KeyUp(39);
        for (int i = 0; i < TicksPerTurn / 2; ++i)
            L->Tick();
        EXPECT_TRUE(Boulder()->Moving);
        if (slidingFrame)
            ExpectPlayfieldLooksLike(H(), slidingFrame);
        L->Script(".");
        L->Script(".DDRRRRUURRR");
    }
    tEngineHarness& H() { return *L->H; }
    std::unique_ptr<tPlayedLevel> L;
};

TEST_F(FirstHalfLevel, PlaysFromTheStartToTheExitWithARestartHalfWay)
{
    ExpectPlayfieldLooksLike(H(), "FirstHalf_start");
    EXPECT_EQ(LevelKeys, 2);
    EXPECT_EQ(LevelGems, 4);
    ASSERT_TRUE(L->UntilHeroActive());
    tActualPlayer* hero = L->Hero();
    ASSERT_NE(hero, nullptr);
    ToTheSecondJewel("FirstHalf_sliding");
    L->Script(".");
    EXPECT_TRUE(Pool(5, 1)->Filled);
    EXPECT_EQ(Boulder()->Dead, true);
    EXPECT_EQ(hero->CellX, 11);
    EXPECT_EQ(hero->CellY, 1);
    EXPECT_EQ(CollectedGems, 2);
    // The walk after a turn of standing still began early.
    EXPECT_TRUE(L->SawEarlyMove);

    // Space with nothing carried: nothing is dropped and the hero stands.
    const int32_t units = L->E().Level.UnitList.Count();
    L->Script("*");
    EXPECT_EQ(L->E().Level.UnitList.Count(), units);
    EXPECT_EQ(hero->CellX, 11);

    // The menu for a few ticks, then back to play where it was left.
    H().Press(27);
    L->Tick();
    EXPECT_EQ(L->E().GameMode, gmMainMenu);
    for (int i = 0; i < 10; ++i)
        L->Tick();
    H().Press(27);
    L->Tick();
    EXPECT_EQ(L->E().GameMode, gmPlaying);
    EXPECT_EQ(hero->CellX, 11);

    // Restart: the reset warp, then the level as it was at the start.
    H().Press(82);
    L->Tick();
    EXPECT_EQ(L->E().GameMode, gmResetWarp);
    ASSERT_TRUE(L->RunUntil(gmPlaying, 400));
    EXPECT_EQ(CollectedGems, 0);
    EXPECT_EQ(CollectedKeys, 0);
    EXPECT_EQ(LevelKeys, 2);
    EXPECT_EQ(LevelGems, 4);
    EXPECT_FALSE(Pool(5, 1)->Filled);
    EXPECT_TRUE(Pool(3, 7)->Filled);  // pre-filled
    EXPECT_TRUE(Pool(9, 8)->Filled);
    EXPECT_FALSE(Boulder()->Dead);
    EXPECT_EQ(Boulder()->CellX, 3);
    hero = L->Hero();
    ASSERT_NE(hero, nullptr);

    // The whole way: the pool, the first two jewels, the key in the corner, the rubble
    // round the third jewel, the fourth, a bump on the hatch while a key lies, the second
    // key and the hatch again.
    ASSERT_TRUE(L->UntilHeroActive());
    ToTheSecondJewel(nullptr);
    L->Script("RRRDDLLLDDDRDR");
    EXPECT_EQ(CollectedKeys, 1) << L->Trail;
    EXPECT_EQ(CollectedGems, 4) << L->Trail;
    EXPECT_EQ(UnitOf(L->E(), tDirt::StaticClass(), 11, 3)->Dead, true);
    EXPECT_EQ(UnitOf(L->E(), tDirt::StaticClass(), 12, 3)->Dead, true);
    EXPECT_EQ(UnitOf(L->E(), tDirt::StaticClass(), 10, 4)->Dead, false);
    L->Script("DDDD");
    tExit* hatch = Exit(13, 11);
    ASSERT_NE(hatch, nullptr);
    EXPECT_FALSE(hatch->Opening);
    EXPECT_EQ(hero->CellY, 10);
    L->Script("LUDR");
    EXPECT_EQ(CollectedKeys, 2) << L->Trail;
    // The hatch opens on this bump and ends the level two turns later.
    L->Script("D");
    EXPECT_TRUE(hatch->Opening);
    EXPECT_EQ(hero->CellY, 10);
    while (hatch->Opening && hatch->OpenTurns < 1)
        L->Tick();
    L->Tick();
    ExpectPlayfieldLooksLike(H(), "FirstHalf_opening");
    ASSERT_TRUE(L->RunUntil(gmLevelEnd, 100));
    EXPECT_EQ(CollectedGems, LevelGems);
    EXPECT_EQ(CollectedKeys, LevelKeys);
    EXPECT_EQ(L->Modes, (std::vector<uint8_t>{gmLevelStart, gmPlaying, gmMainMenu, gmPlaying,
                                               gmResetWarp, gmTransition, gmLevelStart, gmPlaying, gmLevelEnd}));
}

TEST(ShowScreen, AKeyEndsTheShowScreen)
{
    tPlayedLevel l("Levels\\ShowScreen.map", "ShowScreen.map");
    l.Start();
    ASSERT_EQ(l.E().GameMode, gmPlaying);
    auto* fake = dynamic_cast<tFakePlayer*>(l.E().Level.Player);
    ASSERT_NE(fake, nullptr);
    for (int i = 0; i < 100; ++i)
        l.Tick();
    EXPECT_EQ(fake->PlayerState, psActive);
    EXPECT_EQ(l.E().GameMode, gmPlaying);
    l.H->Press(65);
    l.Tick();
    EXPECT_EQ(l.E().GameMode, gmShowScreenDone);
}

}  // namespace
