// Keys, jewels and exits turn by turn: taking keys and jewels and the counters, the spin
// pictures of each kind, exits that stay shut, open on a bump and end the level, two
// exits, and each exit kind's pictures.
#include "tests/tesk/game/KindsFixture.h"

#include <cmath>

#include "tesk/game/Levels.h"

namespace {

constexpr int aUp = 2, aLeft = 4, aRight = 5;

class CollectablesTest : public KindsSuite {
protected:
    void TearDown() override
    {
        for (int a : {aUp, aLeft, aRight})
            Release(a);
        Eng->LiveInput.ClearLatched(AllActions);
        KindsSuite::TearDown();
    }
    // The level read and restarted, its hero already active.
    tActualPlayer* Start(const std::string& blocks)
    {
        ReadUnits(blocks);
        auto* hero = static_cast<tActualPlayer*>(Level().Player);
        Level().FreeTemporaryUnits();
        hero->PlayerState = psActive;
        return hero;
    }
    // One step with the arrow down at the next boundary only.
    void Step(int action)
    {
        Press(action);
        Turn();
        Release(action);
        Eng->LiveInput.ClearLatched(AllActions);
    }
    // The frame of an exit's picture, -1 when it is none of its kind's.
    static int32_t ExitFrame(const tExit& exit)
    {
        for (size_t f = 0; f < ExitFrames; ++f)
            if (exit.Sprite == &UnitSprites.Exit[exit.Kind][f])
                return static_cast<int32_t>(f);
        return -1;
    }
};

TEST_F(CollectablesTest, KeysAndJewelsAreTakenAtTheBoundaryAfterTheHeroSteppedOn)
{
    struct Case {
        std::string Block;
        tUnitSound Sound;
        int32_t* Collected;
        int32_t* Counted;
    };
    const Case cases[] = {
        {Block("Key", 6, 5), usCollectKey, &CollectedKeys, &LevelKeys},
        {Block("Jewel", 6, 5, {"Kind = Blue_50"}), usCollectGem, &CollectedGems, &LevelGems},
        {Block("Jewel", 6, 5, {"Kind = Magenta_100"}), usCollectGem, &CollectedGems, &LevelGems},
        {Block("Jewel", 6, 5, {"Kind = Yellow_250"}), usCollectGem, &CollectedGems, &LevelGems},
        {Block("Jewel", 6, 5, {"Kind = Green_1000"}), usCollectGem, &CollectedGems, &LevelGems},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Block);
        tActualPlayer* hero = Start(Block("Player", 5, 5) + c.Block + Block("Key", 1, 1) + Block("Jewel", 1, 2));
        tPlayerAwareUnit* item = static_cast<tPlayerAwareUnit*>(Level().UnitList[1]);
        EXPECT_EQ(*c.Counted, 2);
        EXPECT_TRUE(item->QueryPush(hero, Right));
        EXPECT_FALSE(item->QueryPush(All<tKey>().back(), Right));
        EXPECT_EQ(PlaysDuring(c.Sound, [&] { Step(aRight); }), 0);  // the hero steps in
        EXPECT_FALSE(item->Dead);
        EXPECT_EQ(*c.Collected, 0);
        EXPECT_EQ(PlaysDuring(c.Sound, [&] { Turn(); }), 1);  // and takes it at the boundary
        EXPECT_TRUE(item->Dead);
        EXPECT_EQ(*c.Collected, 1);
        EXPECT_EQ(PlaysDuring(c.Sound, [&] { Turn(); }), 0);
        EXPECT_EQ(*c.Collected, 1);
        // The restart counts them again from zero.
        Restart();
        EXPECT_EQ(*c.Counted, 2);
        EXPECT_EQ(*c.Collected, 0);
        EXPECT_FALSE(item->Dead);
    }
}

TEST_F(CollectablesTest, KeysAndJewelsSpinThroughTheirOwnColumns)
{
    // The first spin tick comes from the seeded generator.
    SetRandomSeed(99);
    const int32_t first = Random(93);
    SetRandomSeed(99);
    tKey seeded;
    EXPECT_EQ(seeded.SpinTicks, first);
    EXPECT_EQ(seeded.Sprite, &UnitSprites.KeyInitial);
    EXPECT_EQ(tJewel().Sprite, &UnitSprites.JewelInitial);

    struct Case {
        const char* What;
        int32_t Kind;  // -1: the key
        int32_t Column, LastFrame;
    };
    const Case cases[] = {
        {"key", -1, 0, 31},          {"Blue_50", Blue_50, 32, 31},         {"Magenta_100", Magenta_100, 64, 15},
        {"Green_1000", Green_1000, 96, 15}, {"Yellow_250", Yellow_250, 128, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        std::unique_ptr<tUnit> unit;
        int32_t* ticks = nullptr;
        const std::array<tSprite, SpinFrames>* frames = nullptr;
        if (c.Kind < 0) {
            auto key = std::make_unique<tKey>();
            ticks = &key->SpinTicks;
            frames = &UnitSprites.Key;
            unit = std::move(key);
        } else {
            auto jewel = std::make_unique<tJewel>();
            jewel->SetKind(static_cast<tJewelkinds>(c.Kind));
            jewel->Reset();
            EXPECT_EQ(jewel->Sprite, &UnitSprites.Jewel[static_cast<size_t>(c.Kind)][0]);
            ticks = &jewel->SpinTicks;
            frames = &UnitSprites.Jewel[static_cast<size_t>(c.Kind)];
            unit = std::move(jewel);
        }
        // A count left above the kind's range (a Random(93) start) starts the cycle again.
        *ticks = 92;
        unit->Move();
        EXPECT_EQ(*ticks, c.LastFrame == 31 ? 93 : 0);
        *ticks = 3 * c.LastFrame;  // the cycle starts with the next tick
        std::vector<int32_t> shown;
        for (int i = 0; i < 200; ++i) {
            unit->Move();
            const auto f = static_cast<int32_t>(unit->Sprite - frames->data());
            ASSERT_GE(f, 0);
            ASSERT_LE(f, c.LastFrame);
            ASSERT_EQ(unit->Sprite->SrcX, c.Column);
            ASSERT_EQ(unit->Sprite->SrcY, 24 * f);
            shown.push_back(f);
        }
        // Every frame three ticks, the last one a single tick: a cycle of 3 * last + 1.
        const int32_t cycle = 3 * c.LastFrame + 1;
        for (int32_t i = 0; i < cycle; ++i)
            EXPECT_EQ(shown[static_cast<size_t>(i)], i / 3) << i;
        for (size_t i = static_cast<size_t>(cycle); i < shown.size(); ++i)
            ASSERT_EQ(shown[i], shown[i - static_cast<size_t>(cycle)]) << i;
    }
}

TEST_F(CollectablesTest, AnExitStaysShutWhileAKeyIsLeft)
{
    tActualPlayer* hero = Start(Block("Player", 5, 5) + Block("Exit", 6, 5) + Block("Key", 9, 9));
    tExit* exit = All<tExit>()[0];
    hero->Direction = Up;
    const std::set<int> before = PlayingHandles();
    Step(aRight);
    Turn();
    EXPECT_EQ(PlayingHandles(), before);
    EXPECT_FALSE(exit->Opening);
    EXPECT_TRUE(exit->StaticSprite);
    EXPECT_EQ(ExitFrame(*exit), 0);
    EXPECT_FALSE(hero->Moving);
    EXPECT_EQ(hero->Direction, Up);
    EXPECT_FALSE(exit->TryPush(hero, Right));
    EXPECT_FALSE(exit->QueryPush(hero, Right));
}

TEST_F(CollectablesTest, TheLastKeyLetsTheExitOpenAndTheLevelEndsTwoTurnsLater)
{
    for (const bool keys : {true, false}) {
        SCOPED_TRACE(keys ? "after the last key" : "a level without keys");
        tActualPlayer* hero = Start(Block("Player", 5, 5) + Block("Exit", 6, 5, {"Kind = ExitRight"}) +
                                    (keys ? Block("Key", 5, 4) : std::string()));
        Eng->GameMode = gmPlaying;
        tExit* exit = All<tExit>()[0];
        if (keys) {
            Step(aUp);
            Turn();
            EXPECT_EQ(CollectedKeys, 1);
            Step(3);  // back down
            Turn();
        }
        hero->Direction = Left;
        const int32_t heroX = hero->CellX;
        // Bump and keep the arrow held to the end.
        Press(aRight);
        int opened = 0;
        std::vector<int32_t> boundariesSeen;
        for (int tick = 0; tick < 60 && Eng->GameMode == gmPlaying; ++tick) {
            opened += PlaysDuring(usOpeningDoor, [&] { Tick(); });
            if (!exit->Opening && Eng->GameMode == gmPlaying) {
                ASSERT_EQ(ExitFrame(*exit), 0) << tick;
                continue;
            }
            if (Eng->GameMode != gmPlaying)
                break;
            EXPECT_FALSE(exit->StaticSprite);
            const float open = (static_cast<float>(exit->OpenTurns) + TurnFraction) * 0.5f;
            EXPECT_EQ(ExitFrame(*exit), static_cast<int32_t>(std::trunc(open * 7))) << tick;
            if (TickInTurn == 0)
                boundariesSeen.push_back(exit->OpenTurns);
        }
        Release(aRight);
        EXPECT_EQ(Eng->GameMode, gmLevelEnd);
        EXPECT_EQ(opened, 1);
        // Opened at one boundary, counted at the next one (the picture no longer closed)
        // and ended at the one after.
        EXPECT_EQ(boundariesSeen, (std::vector<int32_t>{0, 1}));
        EXPECT_FALSE(exit->Opening);
        EXPECT_EQ(exit->OpenTurns, 0);
        EXPECT_EQ(hero->CellX, heroX);  // never entered the exit's cell
        EXPECT_EQ(hero->Direction, Left);
        Eng->GameMode = gmPlaying;
    }
}

TEST_F(CollectablesTest, TwoExitsOpenOnTheirOwnBumpsAndTheFirstToFinishEndsTheLevel)
{
    Start(Block("Player", 5, 5) + Block("Exit", 6, 5) + Block("Exit", 4, 5, {"Kind = ExitLeft"}));
    tExit* right = All<tExit>()[0];
    tExit* left = All<tExit>()[1];
    Step(aRight);
    EXPECT_TRUE(right->Opening);
    EXPECT_FALSE(left->Opening);
    Step(aLeft);
    EXPECT_TRUE(left->Opening);
    EXPECT_EQ(right->OpenTurns, 1);
    EXPECT_EQ(left->OpenTurns, 0);
    EXPECT_EQ(Eng->GameMode, gmPlaying);
    Turn();
    EXPECT_EQ(Eng->GameMode, gmLevelEnd);
    EXPECT_FALSE(right->Opening);
    EXPECT_EQ(left->OpenTurns, 1);
}

TEST_F(CollectablesTest, EachExitKindShowsItsRowOfPictures)
{
    struct Case {
        tExitKind Kind;
        int32_t Y, Height, HotY;
    };
    const Case cases[] = {
        {ExitDoor, 64, 64, 16}, {ExitUpDoor, 0, 64, 16}, {ExitLeft, 128, 32, 16}, {ExitRight, 160, 32, 16}, {ExitHatch, 192, 64, 45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Kind));
        tExit exit;
        exit.SetKind(c.Kind);
        EXPECT_EQ(exit.Kind, c.Kind);
        ASSERT_EQ(exit.Sprite, &UnitSprites.Exit[c.Kind][0]);
        for (size_t f = 0; f < ExitFrames; ++f) {
            const tSprite& s = UnitSprites.Exit[c.Kind][f];
            EXPECT_EQ(s.Source, FindDib("Exits.Jpg"));
            EXPECT_EQ((std::vector<int32_t>{s.SrcX, s.SrcY, s.Width, s.Height, s.HotSpotX, s.HotSpotY}),
                      (std::vector<int32_t>{32 * static_cast<int32_t>(f), c.Y, 32, c.Height, 16, c.HotY}));
        }
        exit.SetKind(static_cast<tExitKind>(ExitKinds));  // out of range: nothing changes
        EXPECT_EQ(exit.Kind, c.Kind);
    }
}

}  // namespace
