// Whole levels played headless from the level start to the end with the game's own kinds,
// the real pictures and samples, every frame drawn: the level of every kind of the first
// half (pools, boulder, rubble, keys, jewels, exits) with a restart half-way, the level of
// every kind of the second half (bombs and a chain, spiders, snakes, signs) with three
// lives lost to a snake, a spider and a bomb, and a show screen. Chosen frames of the playfield are compared with recorded pictures
// (tests/tesk/game/files/replays/*.png; TP_UPDATE_PICTURES=1 records them again).
#include "tesk/game/UnitSounds.h"
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

std::string Times(int n, const std::string& s)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

class SecondHalfLevel : public ::testing::Test {
protected:
    void SetUp() override
    {
        L = std::make_unique<tPlayedLevel>("Levels\\SecondHalf.map", "SecondHalf.map");
        L->Start();
        ASSERT_EQ(L->E().GameMode, gmPlaying);
        ASSERT_TRUE(L->UntilHeroActive());
        L->Modes.clear();
    }
    void TearDown() override { L.reset(); }
    tEngineHarness& H() { return *L->H; }
    tSpider* RingSpider() { return dynamic_cast<tSpider*>(UnitOf(L->E(), tSpider::StaticClass(), 5, 7)); }
    tCherryBomb* Bomb(int32_t x, int32_t y)
    {
        return dynamic_cast<tCherryBomb*>(UnitOf(L->E(), tCherryBomb::StaticClass(), x, y));
    }
    tUnit* Unit(TClass cls, int32_t x, int32_t y) { return UnitOf(L->E(), cls, x, y); }
    static bool FusePlaying()
    {
        const tGameSample* fuse = UnitSample(usCherryBombFuse);
        for (const FmodChannelState& c : FmodTest::PlayingChannels())
            if (fuse && c.sample == fuse->Sample())
                return true;
        return false;
    }
    bool HeroAt(int32_t x, int32_t y)
    {
        tActualPlayer* hero = L->Hero();
        return hero && hero->CellX == x && hero->CellY == y;
    }
    // From the start along the top row: the three bombs, the first sign.
    void ToTheCorridor() { L->Script(Times(11, "R")); }
    // Down past the snake behind its boulder and along the bottom row; the first bomb
    // dropped by the boulder under the rubble, where it sets off the fourth.
    void ToTheChain() { L->Script(Times(11, "D") + Times(10, "L") + "*RRR"); }
    // Back through the blasted rubble to the corridor in front of the ring.
    void ToTheRing() { L->Script("LLLUUUUUR"); }
    std::unique_ptr<tPlayedLevel> L;
};

TEST_F(SecondHalfLevel, PlaysFromTheStartToTheExit)
{
    ToTheCorridor();
    EXPECT_EQ(CarriedCount, 3);
    ASSERT_EQ(L->PopUps.size(), 1u);
    EXPECT_EQ(L->PopUps[0].Image, "BaseGfx.jpg");
    EXPECT_EQ(L->PopUps[0].Caption, "THREEBOMBS");
    // The sign's cell in frame pixels (no main window: unchanged).
    EXPECT_EQ(L->PopUps[0].Anchor.X, 7 * 32 + 16 + 128);
    EXPECT_EQ(L->PopUps[0].Anchor.Y, 1 * 32 + 16);
    ToTheChain();
    EXPECT_TRUE(HeroAt(4, 12)) << L->Trail;
    tCherryBomb* dropped = Bomb(3, 1);
    ASSERT_NE(dropped, nullptr);
    EXPECT_EQ(dropped->CellX, 2);
    EXPECT_EQ(dropped->CellY, 12);
    EXPECT_EQ(dropped->BombState, bsLit);
    EXPECT_EQ(CarriedCount, 2);
    // The menu while the fuse burns: silent under it, full volume again after it.
    FmodChannelState fuse;
    ASSERT_TRUE(FmodTest::Channel(dropped->FuseChannel, fuse) && fuse.playing);
    H().Press(27);
    L->Tick();
    EXPECT_EQ(L->E().GameMode, gmMainMenu);
    EXPECT_TRUE(FmodTest::Channel(dropped->FuseChannel, fuse) && fuse.volume == 0);
    for (int i = 0; i < 10; ++i)
        L->Tick();
    H().Press(27);
    L->Tick();
    EXPECT_EQ(L->E().GameMode, gmPlaying);
    EXPECT_TRUE(FmodTest::Channel(dropped->FuseChannel, fuse) && fuse.volume == 255);
    // The blast over the boulder.
    for (int i = 0; i < 40 * TicksPerTurn && !(dropped->BombState == bsExploding && dropped->BlastTicks >= 24); ++i)
        L->Tick();
    ASSERT_EQ(dropped->BombState, bsExploding);
    ExpectPlayfieldLooksLike(H(), "SecondHalf_blast");
    // The chain: the fourth bomb goes off from the first one's blast, and the rubble goes
    // with the boulder.
    tCherryBomb* chained = Bomb(1, 11);
    ASSERT_NE(chained, nullptr);
    EXPECT_TRUE(L->WaitUntil([&] { return chained->BombState >= bsDetonated; }, 10));
    EXPECT_TRUE(L->WaitUntil([&] { return chained->Dead && dropped->Dead; }, 30));
    EXPECT_TRUE(Unit(tBoulder::StaticClass(), 2, 11)->Dead);
    EXPECT_TRUE(Unit(tDirt::StaticClass(), 2, 10)->Dead);
    EXPECT_TRUE(Unit(tDirt::StaticClass(), 1, 10)->Dead);
    EXPECT_EQ(L->E().GameMode, gmPlaying);
    EXPECT_FALSE(FusePlaying());

    // The second bomb dropped beside the ring as the spider comes round to it, the hero
    // two cells away when it blows.
    ToTheRing();
    EXPECT_TRUE(HeroAt(2, 7)) << L->Trail;
    L->Script(".");
    tSpider* spider = RingSpider();
    ASSERT_NE(spider, nullptr);
    ASSERT_TRUE(L->WaitUntil([&] { return spider->CellX == 9 && spider->CellY == 8; }, 20));
    L->Script("RlL");
    tCherryBomb* second = Bomb(4, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->CellX, 4);
    EXPECT_EQ(second->CellY, 7);
    EXPECT_EQ(second->BombState, bsLit);
    // The spider halfway through a step beside the lit bomb.
    bool pictured = false;
    for (int i = 0; i < 20 * TicksPerTurn && !pictured; ++i) {
        L->Tick();
        if (spider->Moving && spider->CellX == 5 && spider->CellY >= 6 && spider->CellY <= 8 &&
            TickInTurn == TicksPerTurn / 2) {
            ExpectPlayfieldLooksLike(H(), "SecondHalf_spider");
            pictured = true;
        }
    }
    EXPECT_TRUE(pictured);
    ASSERT_TRUE(L->WaitUntil([&] { return spider->Dead; }, 40)) << spider->CellX << "," << spider->CellY;
    EXPECT_TRUE(L->WaitUntil([&] { return second->Dead; }, 20));
    EXPECT_EQ(L->E().GameMode, gmPlaying);

    // Round the ring to the key, a bump while it still lies, and the door.
    L->Script("RRRUURRRRDDRR");
    EXPECT_TRUE(HeroAt(10, 7)) << L->Trail;
    EXPECT_EQ(CollectedKeys, 1);
    tExit* exit = dynamic_cast<tExit*>(Unit(tExit::StaticClass(), 11, 7));
    ASSERT_NE(exit, nullptr);
    EXPECT_FALSE(exit->Opening);
    L->Script("R");
    EXPECT_TRUE(exit->Opening);
    ASSERT_TRUE(L->RunUntil(gmLevelEnd, 100));
    ASSERT_EQ(L->PopUps.size(), 2u);
    EXPECT_EQ(L->PopUps[1].Caption, "THEWAYISOPEN");
    EXPECT_EQ(CarriedCount, 1);
    EXPECT_EQ(L->Modes, (std::vector<uint8_t>{gmPlaying, gmMainMenu, gmPlaying, gmLevelEnd}));
}

TEST_F(SecondHalfLevel, ThreeLivesEndInTheSnakesRowInTheSpidersReachAndBesideABomb)
{
    const auto lostLife = [&](const char* killer) {
        ASSERT_TRUE(L->RunUntil(gmDead, 400));
        ASSERT_NE(L->Hero(), nullptr);
        ASSERT_NE(L->Hero()->Killer, nullptr);
        EXPECT_EQ(L->Hero()->Killer->ClassName, killer);
        H().Press(32);
        L->Tick();
        EXPECT_EQ(L->E().GameMode, gmResetWarp);
        ASSERT_TRUE(L->RunUntil(gmPlaying, 400));
        // The level as it was: counters, bombs on the floor, no fuse burning.
        EXPECT_EQ(CollectedKeys, 0);
        EXPECT_EQ(CarriedCount, 0);
        EXPECT_EQ(Bomb(3, 1)->CellX, 3);
        EXPECT_EQ(Bomb(3, 1)->BombState, bsLying);
        EXPECT_FALSE(RingSpider()->Dead);
        EXPECT_FALSE(FusePlaying());
        EXPECT_EQ(L->Modes, (std::vector<uint8_t>{gmPlaying, gmDying, gmDead, gmResetWarp, gmTransition,
                                                   gmLevelStart, gmPlaying}));
        ASSERT_TRUE(L->UntilHeroActive());
        L->Modes.clear();
    };

    // Shot: down into the snake's row where only water lies between.
    L->Script(Times(11, "R") + Times(11, "D") + Times(6, "L") + "D.");
    bool pictured = false;
    for (int i = 0; i < 100 && !pictured; ++i) {
        L->Tick();
        for (int32_t u = 0; u < L->E().Level.UnitList.Count(); ++u)
            if (auto* f = dynamic_cast<tFireBall*>(L->E().Level.UnitList[u]); f && !f->Hit && f->X < 8.0f) {
                ExpectPlayfieldLooksLike(H(), "SecondHalf_fireball");
                pictured = true;
                break;
            }
    }
    EXPECT_TRUE(pictured);
    lostLife("tSnake");

    // Eaten: into the ring's corridor as the spider comes down the near side.
    ToTheCorridor();
    ToTheChain();
    ASSERT_TRUE(L->WaitUntil([&] { return Unit(tBoulder::StaticClass(), 2, 11)->Dead; }, 40));
    L->WaitUntil([] { return false; }, 8);
    ToTheRing();
    L->Script(".");
    tSpider* spider = RingSpider();
    ASSERT_TRUE(L->WaitUntil([&] { return spider->CellX == 5 && spider->CellY == 8; }, 20));
    L->Script("R.");
    lostLife("tSpider");

    // Blown up: the first bomb dropped where it was picked up, and the hero stays.
    L->Script("RR.*");
    EXPECT_EQ(Bomb(3, 1)->BombState, bsLit);
    lostLife("tCherryBomb");
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

// A show screen where a snake shares the double's row and a spider stands beside it: the
// snake fires and the spider attacks, the double cannot die, so the screen stays in the
// dying mode; nothing breaks and the menu key still opens and closes the menu.
TEST(ShowScreen, ASnakeAndASpiderBesideTheDoubleLeaveItDyingWithTheMenuAtHand)
{
    tPlayedLevel l("Levels\\ShowScreenGuarded.map", "ShowScreenGuarded.map");
    l.Start();
    auto* fake = dynamic_cast<tFakePlayer*>(l.E().Level.Player);
    ASSERT_NE(fake, nullptr);
    ASSERT_TRUE(l.RunUntil(gmDying, 200));
    for (int i = 0; i < 300; ++i)
        l.Tick();
    EXPECT_EQ(l.E().GameMode, gmDying);
    EXPECT_NE(fake->PlayerState, psDying);
    int32_t fireballs = 0;
    for (int32_t i = 0; i < l.E().Level.UnitList.Count(); ++i)
        fireballs += dynamic_cast<tFireBall*>(l.E().Level.UnitList[i]) ? 1 : 0;
    EXPECT_EQ(fireballs, 0);  // burnt out and freed
    l.H->Press(27);
    l.Tick();
    EXPECT_EQ(l.E().GameMode, gmMainMenu);
    for (int i = 0; i < 10; ++i)
        l.Tick();
    l.H->Press(27);
    l.Tick();
    EXPECT_EQ(l.E().GameMode, gmDying);
    for (int i = 0; i < 50; ++i)
        l.Tick();
    EXPECT_EQ(l.E().GameMode, gmDying);
}

}  // namespace
