// The hero and the warps: the arrow-key arbitration, a turn's decision from the keys or
// the recorder, appearing, walk and idle pictures, dying, restarting, the show-screen
// double, the look-ahead copy and the warps' timing.
#include "tests/tesk/game/UnitFixture.h"

#include "tesk/game/Inputs.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Levels.h"

namespace {

constexpr int aUp = 2, aDown = 3, aLeft = 4, aRight = 5, aDrop = 6, aRestart = 9;

class HeroTest : public UnitSuite {
protected:
    // An active hero standing at (x, y).
    tActualPlayer* ActiveHero(int32_t x, int32_t y)
    {
        tActualPlayer* hero = Put<tActualPlayer>(x, y);
        Level().FreeTemporaryUnits();  // its arrival warp
        hero->PlayerState = psActive;
        return hero;
    }
    void Solid(int32_t x, int32_t y) { Level().Cell(x, y).Solid = 1; }
    // A device with the given actions held (in order, the last one pressed last) and
    // others only latched.
    static void Hold(tInputDevice& d, std::initializer_list<int> held, std::initializer_list<int> latched = {})
    {
        for (int a : latched) {
            d.Press(a);
            d.Release(a);
        }
        for (int a : held)
            d.Press(a);
    }
};

TEST_F(HeroTest, ActionDirectionMapsTheFourArrows)
{
    EXPECT_EQ(ActionDirection(aUp).Direction, Up);
    EXPECT_EQ(ActionDirection(aRight).Direction, Right);
    EXPECT_EQ(ActionDirection(aDown).Direction, Down);
    EXPECT_EQ(ActionDirection(aLeft).Direction, Left);
    for (uint32_t a : {0u, 1u, 6u, 9u, 14u, 0x7FFFFFFFu}) {
        EXPECT_FALSE(ActionDirection(a).HasDirection) << a;
        EXPECT_EQ(ActionDirection(a).Direction, Down) << a;
    }
}

TEST_F(HeroTest, ChooseHeroActionArbitratesTheArrows)
{
    struct Case {
        const char* What;
        std::initializer_list<int> Held, Latched;
        bool WallAbove;
        uint32_t Want;
    };
    const Case cases[] = {
        {"held and free", {aUp}, {}, false, aUp},
        {"held but blocked gives way to a perpendicular key", {aLeft, aUp}, {}, true, aLeft},
        {"held but blocked, nothing else", {aUp}, {}, true, aUp},
        {"the last pressed of two held free keys", {aRight, aDown}, {}, false, aDown},
        {"the last pressed of two opposite held keys", {aUp, aDown}, {aLeft}, false, aDown},
        {"a latched tap counts", {}, {aRight}, false, aRight},
        {"a blocked held key gives way to a tapped perpendicular one", {aUp}, {aLeft}, true, aLeft},
        {"nothing", {}, {}, false, 0},
        {"Space is an action too", {}, {aDrop}, false, aDrop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        tActualPlayer* hero = ActiveHero(5, 5);
        if (c.WallAbove)
            Solid(5, 4);
        tInputDevice d;
        Hold(d, c.Held, c.Latched);
        EXPECT_EQ(ChooseHeroAction(d, *hero), c.Want);
        Level().FreeAllUnits();
        Level().Cell(5, 4).Solid = 0;
    }
    // Up and Down held with Left the last action but released and unlatched: no vertical
    // move and nothing else.
    tActualPlayer* hero = ActiveHero(5, 5);
    tInputDevice d;
    Hold(d, {aUp, aDown, aLeft});
    d.Release(aLeft);
    d.ClearLatched(AllActions);
    EXPECT_EQ(ChooseHeroAction(d, *hero), 0u);
}

TEST_F(HeroTest, ATurnStepsWhereTheKeysSayAndKeepsTheFacingWhenBlocked)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    hero->Direction = Left;
    Solid(5, 4);
    Press(aUp);
    Turn();
    EXPECT_FALSE(hero->Moving);
    EXPECT_EQ(hero->Direction, Left);  // a refused step keeps the facing
    Release(aUp);
    Press(aRight);
    Turn();
    EXPECT_TRUE(hero->Moving);
    EXPECT_EQ(hero->Direction, Right);
    EXPECT_EQ(hero->TargetX, 6);
    Release(aRight);
    Turn();
    EXPECT_EQ(hero->CellX, 6);
    EXPECT_TRUE(hero->HasVisited(5, 5));
    EXPECT_TRUE(hero->HasVisited(6, 5));
    EXPECT_FALSE(hero->HasVisited(7, 5));
    EXPECT_FALSE(hero->HasVisited(-1, 0));
    EXPECT_FALSE(hero->HasVisited(16, 0));
    EXPECT_FALSE(hero->HasVisited(0, 15));
    EXPECT_TRUE(hero->IsAt(6, 5));
}

TEST_F(HeroTest, TheRecorderDrivesTheHeroAndRecordsItsChoices)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    Recorder.StartRecording();
    Press(aLeft);
    Turn();
    Release(aLeft);
    Press(aDrop);
    Turn();
    EXPECT_EQ(Recorder.Length(), 2);
    EXPECT_EQ(Recorder.Value(0), aLeft * 2);
    EXPECT_EQ(Recorder.Value(1), aDrop * 2 + 1);  // Space alone is the chosen action: no step
    Eng->LiveInput.ClearLatched(AllActions);
    Release(aDrop);

    // Playback: a step right, then values out of range, negative and past the record.
    Level().FreeAllUnits();
    hero = ActiveHero(5, 5);
    tUnit* carried = Level().AddUnit(std::make_unique<tBoulder>());
    CarryUnit(carried);
    carried->Held = true;
    Recorder.StartRecording();
    for (int32_t v : {aRight * 2 + 1, 14 * 2, -1, 99 * 2 + 1})
        Recorder.RecordValue(v);
    Recorder.StartPlayback();
    Press(aUp);  // ignored while playing back
    Turn();
    EXPECT_EQ(hero->TargetX, 6);
    EXPECT_EQ(hero->TargetY, 5);
    EXPECT_FALSE(carried->Held);  // dropped where the hero stood
    EXPECT_EQ(carried->CellX, 5);
    EXPECT_EQ(carried->X, 5.0f);
    for (int i = 0; i < 5; ++i) {
        Turn();
        EXPECT_FALSE(hero->Moving) << i;
        EXPECT_EQ(hero->CellX, 6) << i;
    }
}

TEST_F(HeroTest, TheHeroAppearsFromItsWarpAfterTwoTurns)
{
    for (const bool drawing : {true, false}) {
        SCOPED_TRACE(drawing ? "drawn every tick" : "never drawn");
        ReadUnits("Begin Player\r\n   InitialX = 4\r\n   InitialY = 4\r\nEnd Player\r\n");
        auto* hero = static_cast<tActualPlayer*>(Level().Player);
        ASSERT_NE(hero, nullptr);
        EXPECT_EQ(hero->PlayerState, psAppearing);
        EXPECT_EQ(hero->Sprite, nullptr);
        ASSERT_EQ(CountOf(tWarp::StaticClass()), 1);
        const tUnit* warp = Level().UnitList[1];
        EXPECT_EQ(warp->X, 4.0f);
        EXPECT_EQ(warp->DrawLayer, 3);
        Press(aRight);
        // Boundaries fall on ticks 12, 24 and 36: two appearing turns, then active.
        for (int i = 0; i < 35; ++i) {
            Tick();
            if (drawing)
                Draw();
        }
        EXPECT_EQ(hero->PlayerState, psAppearing);
        EXPECT_EQ(hero->Sprite, nullptr);
        Tick();
        EXPECT_EQ(hero->PlayerState, psActive);
        EXPECT_FALSE(hero->Moving);
        // One draw per tick is not more than one tick per frame; no draw at all is.
        EXPECT_EQ(FrameByTickAnimation, !drawing);
        EXPECT_EQ(hero->Sprite, &HeroSprites.Stand[Up][static_cast<size_t>(hero->IdleVariant)]);
        Ticks(12);
        EXPECT_EQ(hero->TargetX, 5);  // the held key steps at the next boundary
        Ticks(22);
        EXPECT_EQ(CountOf(tWarp::StaticClass()), 1);
        Tick();  // the warp's 71st move
        EXPECT_EQ(CountOf(tWarp::StaticClass()), 0);
        Release(aRight);
        Level().FreeAllUnits();
    }
}

TEST_F(HeroTest, WalkFramesFollowTheTicksOrTheTurnFraction)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    struct Case {
        bool ByTicks, Parity;
        tDirection Dir;
        int32_t TickInTurn;
        int32_t Frame;
    } cases[] = {
        {true, false, Right, 0, 0},  {true, false, Right, 3, 2},   {true, false, Right, 9, 6},
        {true, true, Right, 0, 8},   {true, true, Right, 11, 15},  {true, false, Left, 3, 14},
        {true, true, Up, 11, 1},     {false, false, Down, 6, 8},   {false, true, Down, 6, 8},
        {false, false, Up, 6, 8},    {false, false, Right, 9, 12}, {false, false, Left, 9, 4},
        {false, false, Right, 1, 1}, {false, false, Right, 0, 0},
    };
    for (const Case& c : cases) {
        FrameByTickAnimation = c.ByTicks;
        hero->StepParity = c.Parity;
        hero->Direction = c.Dir;
        hero->Walked = true;
        TickInTurn = c.TickInTurn;
        TurnFraction = static_cast<float>(c.TickInTurn) / 12.0f;
        hero->Move();
        EXPECT_EQ(hero->Sprite, &HeroSprites.Walk[c.Dir][static_cast<size_t>(c.Frame)])
            << c.ByTicks << c.Parity << " dir " << int(c.Dir) << " tick " << c.TickInTurn;
    }
    // Halves go to the even frame.
    FrameByTickAnimation = false;
    hero->Direction = Right;
    TurnFraction = 1.5f / 16.0f;
    hero->Move();
    EXPECT_EQ(hero->Sprite, &HeroSprites.Walk[Right][2]);
    TurnFraction = 2.5f / 16.0f;
    hero->Move();
    EXPECT_EQ(hero->Sprite, &HeroSprites.Walk[Right][2]);
}

TEST_F(HeroTest, StandingShowsVariantZeroAfterAStepThenRandomVariants)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    hero->Walked = true;
    hero->Move();
    hero->Walked = false;
    for (int i = 0; i < 50; ++i) {
        hero->Move();
        ASSERT_EQ(hero->Sprite, &HeroSprites.Stand[hero->Direction][0]) << i;
    }
    std::vector<int> seen(3, 0);
    for (int i = 0; i < 5000; ++i) {
        hero->Move();
        ASSERT_GE(hero->IdleTicks, 0);
        ASSERT_LT(hero->IdleTicks, 100);
        ++seen[static_cast<size_t>(hero->IdleVariant)];
        ASSERT_EQ(hero->Sprite, &HeroSprites.Stand[hero->Direction][static_cast<size_t>(hero->IdleVariant)]);
    }
    for (int v = 0; v < 3; ++v)
        EXPECT_GT(seen[static_cast<size_t>(v)], 0) << v;
}

TEST_F(HeroTest, IdleVariantsFollowTheSeededSchedule)
{
    // After a step the countdown is 50: variant 0 stays up for 50 standing ticks and the
    // 51st draws the next countdown (50 + Random(50)) and then the variant (Random(3));
    // each variant stays up for its countdown plus one tick. The fake hero does the same
    // with the Down pictures.
    constexpr uint64_t Seed = 4242;
    SetRandomSeed(Seed);
    struct Draw {
        int32_t Countdown, Variant;
    };
    std::vector<Draw> draws;
    for (int i = 0; i < 8; ++i) {
        const int32_t countdown = 50 + Random(50);
        draws.push_back({countdown, Random(3)});
    }
    for (const bool fake : {false, true}) {
        SCOPED_TRACE(fake ? "fake hero" : "hero");
        tPlayer* hero = nullptr;
        if (fake) {
            hero = Put<tFakePlayer>(5, 5);
            Level().FreeTemporaryUnits();
            hero->PlayerState = psActive;
        } else {
            hero = ActiveHero(5, 5);
        }
        hero->Direction = Left;
        const tDirection shown = fake ? Down : Left;
        hero->IdleTicks = 50;  // as a step leaves it
        hero->IdleVariant = 0;
        hero->Walked = false;
        SetRandomSeed(Seed);
        int32_t tick = 0, variant = 0, nextChange = 51;
        for (const Draw& d : draws) {
            for (; tick < nextChange; ++tick) {
                hero->Move();
                ASSERT_EQ(hero->Sprite, &HeroSprites.Stand[shown][static_cast<size_t>(tick + 1 < nextChange ? variant : d.Variant)])
                    << "standing tick " << tick + 1;
            }
            variant = d.Variant;
            EXPECT_EQ(hero->IdleVariant, variant);
            EXPECT_EQ(hero->IdleTicks, d.Countdown);
            nextChange += d.Countdown + 1;
        }
        Level().FreeAllUnits();
    }
}

TEST_F(HeroTest, RestartStartsOneResetWarpAndTheLevelRestarts)
{
    ReadUnits("Begin Player\r\n   InitialX = 4\r\n   InitialY = 4\r\nEnd Player\r\n");
    Ticks(36 + 12 + 3);
    auto* hero = static_cast<tActualPlayer*>(Level().Player);
    ASSERT_EQ(hero->PlayerState, psActive);
    Press(aRestart);
    Tick();
    EXPECT_EQ(hero->PlayerState, psNone);
    EXPECT_EQ(Eng->GameMode, gmResetWarp);
    EXPECT_EQ(Eng->PendingAction, paTryAgain);
    ASSERT_EQ(CountOf(tResetWarp::StaticClass()), 1);
    Release(aRestart);
    Ticks(35);
    EXPECT_NE(hero->Sprite, nullptr);
    Tick();  // the warp's 36th move
    EXPECT_EQ(hero->Sprite, nullptr);
    Press(aRestart);  // presses while it runs start nothing more
    Ticks(34);
    EXPECT_EQ(CountOf(tResetWarp::StaticClass()), 1);
    EXPECT_EQ(WarpsDone, 0);
    Tick();  // the 71st: done
    EXPECT_EQ(WarpsDone, 1);
    EXPECT_EQ(hero->PlayerState, psAppearing);
}

TEST_F(HeroTest, DyingRunsItsPicturesThenADeadHeroWarpsOutOnSpaceOrRestart)
{
    for (int key : {aDrop, aRestart, 0}) {
        SCOPED_TRACE(key);
        tActualPlayer* hero = ActiveHero(5, 5);
        hero->SetDeathMode(1, tSnake::StaticClass());
        EXPECT_EQ(hero->PlayerState, psDying);
        EXPECT_EQ(hero->Killer, tSnake::StaticClass());
        EXPECT_EQ(hero->DeathKind, 1);
        EXPECT_EQ(Eng->GameMode, gmDying);
        hero->SetDeathMode(0, tSpider::StaticClass());  // ignored while dying
        EXPECT_EQ(hero->Killer, tSnake::StaticClass());
        for (int t = 1; t < 40; ++t) {
            hero->DeathAnimMove();
            ASSERT_EQ(hero->Sprite, &HeroSprites.Dying[static_cast<size_t>(std::min(13, t / 3))]) << t;
        }
        EXPECT_EQ(Eng->GameMode, gmDying);
        Recorder.StartRecording();
        Recorder.StartPlayback();
        hero->DeathAnimMove();
        EXPECT_EQ(hero->PlayerState, psNone);
        EXPECT_EQ(Eng->GameMode, gmDead);  // through SetGameMode: a playing recorder stops
        EXPECT_EQ(Recorder.State(), rsStopped);
        hero->SetDeathMode(0, tSpider::StaticClass());  // ignored once dead
        EXPECT_EQ(Eng->GameMode, gmDead);
        for (int i = 0; i < 5; ++i)
            hero->DeathAnimMove();
        EXPECT_EQ(CountOf(tResetWarp::StaticClass()), 0);
        if (key) {
            Press(key);
        } else {
            Eng->GameMode = gmDeathChoiceMade;
        }
        hero->DeathAnimMove();
        hero->DeathAnimMove();
        ASSERT_EQ(CountOf(tResetWarp::StaticClass()), 1);
        EXPECT_EQ(Eng->GameMode, gmResetWarp);
        const tUnit* warp = Level().UnitList[Level().UnitList.Count() - 1];
        EXPECT_FLOAT_EQ(warp->Y, 5.2f);
        EXPECT_FLOAT_EQ(warp->X, 5.0f);
        Release(key);
        Eng->LiveInput.ClearLatched(AllActions);
        Level().FreeAllUnits();
        Eng->GameMode = gmPlaying;
    }
}

TEST_F(HeroTest, DeathModeTakesEffectWhileAppearing)
{
    tActualPlayer* hero = Put<tActualPlayer>(5, 5);
    ASSERT_EQ(hero->PlayerState, psAppearing);
    hero->SetDeathMode(0, nullptr);
    EXPECT_EQ(hero->PlayerState, psDying);
    EXPECT_EQ(hero->Killer, nullptr);
}

TEST_F(HeroTest, TheShowScreenDoubleEndsTheScreenOnAnyKey)
{
    ReadUnits("Begin FakePlayer\r\n   InitialX = 7\r\n   InitialY = 7\r\nEnd FakePlayer\r\n");
    auto* fake = static_cast<tFakePlayer*>(Level().Player);
    ASSERT_NE(fake, nullptr);
    EXPECT_TRUE(fake->WillInteractWithThePlayerNextTurn());
    EXPECT_FALSE(fake->QueryPush(fake, Up));
    EXPECT_FALSE(fake->TryPush(fake, Up));
    Press(aLeft);  // a key while it appears changes nothing
    Ticks(35);
    Release(aLeft);
    EXPECT_EQ(Eng->GameMode, gmPlaying);
    Ticks(40);
    EXPECT_EQ(fake->PlayerState, psActive);
    EXPECT_EQ(fake->X, 7.0f);
    EXPECT_EQ(fake->Sprite, &HeroSprites.Stand[Down][static_cast<size_t>(fake->IdleVariant)]);
    EXPECT_FALSE(fake->HasVisited(7, 7));  // its turns only count down
    Eng->LiveInput.KeyDown(65);
    Tick();
    EXPECT_EQ(fake->PlayerState, psNone);
    EXPECT_EQ(Eng->GameMode, gmShowScreenDone);
    EXPECT_EQ(CountOf(tResetWarp::StaticClass()), 1);
}

TEST_F(HeroTest, BesideAPlayingHeroTheDoubleIsAFigureThatTheKeysLeaveStanding)
{
    const std::string hero = Block("Player", 3, 7);
    const std::string fake = Block("FakePlayer", 7, 7);
    for (const bool fakeFirst : {false, true}) {
        SCOPED_TRACE(fakeFirst ? "double read first" : "hero read first");
        ReadUnits(fakeFirst ? fake + hero : hero + fake);
        auto* player = dynamic_cast<tActualPlayer*>(Level().Player);
        ASSERT_NE(player, nullptr);
        tFakePlayer* double_ = First<tFakePlayer>();
        ASSERT_NE(double_, nullptr);
        Ticks(75);
        ASSERT_EQ(double_->PlayerState, psActive);
        Eng->LiveInput.KeyDown(65);
        Press(aRight);
        Ticks(60);
        Release(aRight);
        EXPECT_EQ(Eng->GameMode, gmPlaying);
        EXPECT_EQ(double_->PlayerState, psActive);
        EXPECT_EQ(Level().Player, player);
        EXPECT_EQ(player->CellX, 6);  // walked up to the double, which does not give way
        EXPECT_EQ(double_->CellX, 7);
        Restart();
        EXPECT_EQ(Level().Player, player);
        Level().FreeAllUnits();
        Eng->GameMode = gmPlaying;
    }
}

TEST_F(HeroTest, TheLookAheadCopyAsksWithoutPushingAndStaysOnARefusal)
{
    tOOTPlayer oot;
    EXPECT_EQ(oot.DrawLayer, 0);
    EXPECT_FALSE(oot.ClaimsCells);
    EXPECT_EQ(oot.PlayerState, psNone);
    EXPECT_EQ(oot.Sprite, nullptr);
    ActiveHero(5, 5);
    tBoulder* boulder = Put<tBoulder>(6, 5);
    Solid(4, 5);
    Level().BeginTurn();
    oot.CellX = 5;
    oot.CellY = 5;
    oot.TargetX = 9;
    oot.TargetY = 9;
    oot.Direction = Right;
    Press(aRight);
    oot.TakeTurn();
    EXPECT_EQ(oot.TargetX, 6);  // the boulder could move
    EXPECT_FALSE(boulder->Moving);
    EXPECT_FALSE(CellClaimed(6, 5));
    EXPECT_FALSE(CellClaimed(7, 5));
    Release(aRight);
    Eng->LiveInput.ClearLatched(AllActions);
    oot.Direction = Left;
    oot.TargetX = 9;
    Press(aLeft);
    oot.TakeTurn();
    EXPECT_EQ(oot.TargetX, 5);
    EXPECT_EQ(oot.TargetY, 5);
    EXPECT_EQ(oot.Direction, Left);

    // Its pictures follow the look-ahead timing.
    oot.Direction = Right;
    LookAheadLength = 20;
    LookAheadTicks = 10;
    LookAheadProgress = 0.5f;
    FrameByTickAnimation = true;
    oot.StepParity = false;
    oot.Move();
    EXPECT_EQ(oot.Sprite, &HeroSprites.Walk[Right][4]);
    FrameByTickAnimation = false;
    oot.Move();
    EXPECT_EQ(oot.Sprite, &HeroSprites.Walk[Right][8]);
    EXPECT_EQ(oot.X, 0.0f);  // it is placed by the engine, never moved
}

TEST_F(HeroTest, TheHeroIsNotDrawnDuringAnEarlyMove)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    hero->Sprite = &HeroSprites.Walk[Down][0];
    PlayerFrameCount = 0;
    Eng->LookAheadActive = true;
    FillFrame(0);
    Draw();
    EXPECT_EQ(PlayerFrameCount, 0);
    EXPECT_EQ(Frame->ScanLine(5 * 32 + 16)[128 + 5 * 32 + 16], 0);
    Eng->LookAheadActive = false;
    Draw();
    EXPECT_EQ(PlayerFrameCount, 1);
}

TEST_F(HeroTest, ResetInTheEditorShowsTheHeroWithoutAWarp)
{
    Eng->GameMode = gmEditing;
    tActualPlayer* hero = Put<tActualPlayer>(2, 3);
    EXPECT_EQ(hero->Sprite, &HeroSprites.Walk[Down][0]);
    EXPECT_EQ(CountOf(tWarp::StaticClass()), 0);
    EXPECT_EQ(Level().Player, hero);
}

TEST_F(HeroTest, TwoHeroesBothResetAndTheLastIsTheLevelsHero)
{
    ReadUnits("Begin Player\r\n   InitialX = 2\r\nEnd Player\r\nBegin Player\r\n   InitialX = 8\r\nEnd Player\r\n");
    ASSERT_NE(Level().Player, nullptr);
    EXPECT_EQ(Level().Player->InitialX, 8);
    EXPECT_EQ(CountOf(tWarp::StaticClass()), 2);
    Press(aDown);
    Ticks(60);
    for (int32_t i = 0; i < Level().UnitList.Count(); ++i) {
        const tUnit* u = Level().UnitList[i];
        if (u->ClassType() == tActualPlayer::StaticClass()) {
            EXPECT_EQ(u->CellY, 1) << u->InitialX;
        }
    }
}

TEST_F(HeroTest, WarpsPlayTheirPicturesAndDieAfterSeventyOneMoves)
{
    tWarp in;
    EXPECT_TRUE(in.Temporary);
    EXPECT_TRUE(in.WillInteractWithThePlayerNextTurn());
    tResetWarp out;
    EXPECT_EQ(Eng->GameMode, gmResetWarp);
    EXPECT_TRUE(out.Outgoing);
    EXPECT_EQ(out.X, 0.0f);  // no hero: it stays where it is
    for (int n = 1; n <= 70; ++n) {
        in.Move();
        out.DeathAnimMove();
        ASSERT_EQ(in.Sprite, &HeroSprites.Warp[static_cast<size_t>(n)]) << n;
        ASSERT_EQ(out.Sprite, &HeroSprites.Warp[static_cast<size_t>(70 - n)]) << n;
        ASSERT_FALSE(in.Dead);
    }
    EXPECT_FALSE(Eng->ResetWarpDone);
    in.Move();
    out.Move();
    EXPECT_TRUE(in.Dead);
    EXPECT_TRUE(out.Dead);
    EXPECT_TRUE(Eng->ResetWarpDone);
}

}  // namespace
