// Spiders: the attack on a hero next to them, wall following, cells other units are
// heading into, being trapped and blowing up, the look-ahead question and the pictures.
#include "tests/tesk/game/KindsFixture.h"

#include "tesk/game/Levels.h"

namespace {

class SpiderTest : public KindsSuite {
protected:
    tSpider* Spider(int32_t x, int32_t y, tDirection d, tWallFollowing w)
    {
        auto* s = Put<tSpider>(x, y);
        s->InitialDirection = d;
        s->WallFollowing = w;
        s->Reset();
        return s;
    }
    void Clear()
    {
        Level().FreeAllUnits();
        Level().Cells.fill(tCell{});
        Level().ClaimMap.fill(0);
        Eng->GameMode = gmPlaying;
        StopAllSounds();
    }
    // Every cell solid but those listed.
    void OnlyOpen(std::initializer_list<std::pair<int32_t, int32_t>> open)
    {
        for (tCell& c : Level().Cells)
            c.Solid = 1;
        for (auto [x, y] : open)
            Level().Cell(x, y).Solid = 0;
    }
};

TEST_F(SpiderTest, AttacksAHeroNextToItInItsRowOrColumn)
{
    struct Case {
        const char* What;
        int32_t HX, HY;
    };
    const Case cases[] = {{"left", 4, 5}, {"right", 6, 5}, {"above", 5, 4}, {"below", 5, 6}, {"on its cell", 5, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        tActualPlayer* hero = ActiveHero(c.HX, c.HY);
        tSpider* spider = Spider(5, 5, Up, LeftWall);
        Boundary();
        EXPECT_EQ(PlaysDuring(usSpiderAttack, [&] { Level().TakeTurns(); }), 1);
        EXPECT_EQ(spider->SpiderState, ssAttacking);
        EXPECT_EQ(spider->MunchTicks, 110);
        EXPECT_EQ(Eng->GameMode, gmDying);
        EXPECT_TRUE(CellClaimed(c.HX, c.HY));
        EXPECT_EQ(spider->TargetX, c.HX);
        EXPECT_EQ(spider->TargetY, c.HY);
        EXPECT_FLOAT_EQ(spider->DX, static_cast<float>(c.HX - 5) / 12.0f);
        EXPECT_FLOAT_EQ(spider->DY, static_cast<float>(c.HY - 5) / 12.0f);
        EXPECT_EQ(hero->PlayerState, psActive);
        int ticks = 0;
        while (hero->PlayerState != psDying && ticks < 50) {
            Level().DeathAnimUnits();
            ++ticks;
        }
        EXPECT_LE(ticks, TicksPerTurn);
        EXPECT_EQ(hero->Killer, tSpider::StaticClass());
        EXPECT_EQ(hero->DeathKind, 1);
        EXPECT_EQ(spider->X, hero->X);
        EXPECT_EQ(spider->Y, hero->Y);
        Clear();
    }
}

TEST_F(SpiderTest, ADiagonalHeroIsNotAttacked)
{
    for (auto [hx, hy] : {std::pair{4, 4}, {6, 4}, {4, 6}, {6, 6}, {5, 3}, {7, 5}}) {
        ActiveHero(hx, hy);
        tSpider* spider = Spider(5, 5, Up, LeftWall);
        Boundary();
        EXPECT_EQ(PlaysDuring(usSpiderAttack, [&] { Level().TakeTurns(); }), 0);
        EXPECT_EQ(spider->SpiderState, ssRoaming);
        EXPECT_EQ(Eng->GameMode, gmPlaying);
        Clear();
    }
}

TEST_F(SpiderTest, MunchesOnceOnTheHundredAndEleventhTickOnTheHero)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    Spider(5, 5, Up, LeftWall);
    Boundary();
    Level().TakeTurns();
    int onHero = 0, munchedAt = 0, munches = 0;
    for (int tick = 0; tick < 300; ++tick) {
        const std::set<int> before = PlayingHandles();
        Level().DeathAnimUnits();
        if (hero->Killer)
            ++onHero;
        const int n = NewlyPlaying(before, usSpiderMunching);
        if (n && !munchedAt)
            munchedAt = onHero;
        munches += n;
    }
    EXPECT_EQ(munches, 1);
    EXPECT_EQ(munchedAt, 111);
}

TEST_F(SpiderTest, InOpenSpaceItTurnsToItsWallOnceThenWalksStraightOn)
{
    for (tWallFollowing w : {RightWall, LeftWall}) {
        ActiveHero(0, 0);
        tSpider* spider = Spider(7, 7, Up, w);
        EXPECT_EQ(spider->WallTurns, 0);
        EXPECT_EQ(spider->Patience, 0);
        const tDirection first = w == RightWall ? Right : Left;
        const int32_t step = w == RightWall ? 1 : -1;
        EXPECT_EQ(PlaysDuring(usSpiderShuffle, [&] { Turn(); }), 1);
        EXPECT_EQ(spider->Direction, first);
        EXPECT_EQ(spider->TargetX, 7 + step);
        EXPECT_EQ(spider->Patience, 5);
        for (int i = 2; i <= 4; ++i) {
            Turn();
            EXPECT_EQ(spider->Direction, first);
            EXPECT_EQ(spider->CellX, 7 + step * (i - 1));
        }
        Clear();
    }
}

TEST_F(SpiderTest, ARightWallSpiderWalksOutOfADeadEnd)
{
    ActiveHero(0, 0);
    OnlyOpen({{0, 0}, {2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}, {8, 5}});
    tSpider* spider = Spider(5, 5, Right, RightWall);
    std::vector<int32_t> columns;
    bool hugged = false;
    for (int i = 0; i < 12; ++i) {
        Turn();
        columns.push_back(spider->CellX);
        hugged = hugged || spider->WallTurns == 4;
    }
    EXPECT_TRUE(hugged);
    // Out to the dead end at column 8, back along the corridor and on to its other end.
    EXPECT_EQ(*std::max_element(columns.begin(), columns.end()), 8);
    EXPECT_EQ(*std::min_element(columns.begin(), columns.end()), 2);
    EXPECT_EQ(spider->SpiderState, ssRoaming);
}

TEST_F(SpiderTest, AfterABlockedTurnItHugsItsWallForFiveFreeSteps)
{
    ActiveHero(0, 0);
    tSpider* spider = Spider(7, 7, Up, RightWall);
    spider->WallTurns = 4;  // as a blocked turn leaves it
    const tDirection want[] = {Right, Down, Left, Up, Right, Right, Right};
    for (tDirection d : want) {
        Turn();
        EXPECT_EQ(spider->Direction, d);
    }
    EXPECT_EQ(spider->WallTurns, -3);
}

TEST_F(SpiderTest, DoesNotStepIntoACellAnotherUnitIsHeadingInto)
{
    // Walking straight up towards (5, 4).
    for (int variant = 0; variant < 2; ++variant) {
        SCOPED_TRACE(variant);
        ActiveHero(0, 0);
        tSpider* spider = Spider(5, 5, Up, LeftWall);
        spider->WallTurns = -1;
        tBoulder* boulder = Put<tBoulder>(3, 4);
        Boundary();
        if (variant == 0) {
            ClaimCell(5, 4);  // a claimed move earlier in the pass
        } else {
            boulder->TargetX = 5;  // a unit of that row heading to that column, no claim
        }
        Level().TakeTurns();
        EXPECT_FALSE(spider->TargetX == 5 && spider->TargetY == 4);
        EXPECT_EQ(spider->WallTurns, 4);
        EXPECT_TRUE(spider->Moving);  // it turned away instead
        Clear();
    }
}

// Only the straight step looks out for units heading into the cell; the turn away from a
// blocked step asks whether the cell itself is blocked, and takes one a unit is heading into.
TEST_F(SpiderTest, ItsTurnAwayTakesACellAnotherUnitIsHeadingInto)
{
    ActiveHero(0, 0);
    tSpider* spider = Spider(5, 5, Up, LeftWall);
    spider->WallTurns = -1;
    Solid(5, 4);
    tBoulder* boulder = Put<tBoulder>(7, 5);
    Boundary();
    boulder->TargetX = 6;  // heading to (6, 5), no claim
    ASSERT_EQ(Level().UnitHeadingTo(6, 5), boulder);
    Level().TakeTurns();
    EXPECT_EQ(spider->Direction, Right);  // the first quarter clockwise, away from its left wall
    EXPECT_EQ(spider->TargetX, 6);
    EXPECT_EQ(spider->TargetY, 5);
    EXPECT_EQ(spider->WallTurns, 4);
    EXPECT_EQ(spider->Patience, 5);
}

TEST_F(SpiderTest, TrappedAtOnceItBlowsUpOverFourTurns)
{
    ActiveHero(0, 0);
    tSpider* spider = Spider(5, 5, Up, RightWall);
    tBoulder* boulder = Put<tBoulder>(4, 5);
    tCherryBomb* bomb = Put<tCherryBomb>(6, 5);
    Solid(5, 4);
    Solid(5, 6);
    EXPECT_EQ(PlaysDuring(usSpiderTrapped, [&] { Turn(); }), 1);
    EXPECT_EQ(spider->SpiderState, ssTrapped);
    EXPECT_EQ(PlaysDuring(usSpiderExplosion, [&] { Turn(); }), 1);
    EXPECT_EQ(spider->SpiderState, ssExploded);
    ASSERT_EQ(CountOf(tExplosion1::StaticClass()), 1);
    std::set<int> before = PlayingHandles();
    Turn();
    EXPECT_EQ(NewlyPlaying(before, usSpiderExplosion), 1);  // over the boulder
    EXPECT_EQ(NewlyPlaying(before, usCherryBombExplosion), 1);
    EXPECT_EQ(bomb->BombState == bsDetonated || bomb->BombState == bsExploding, true);
    EXPECT_FALSE(boulder->Dead);
    EXPECT_FALSE(spider->Dead);
    Turn();
    EXPECT_TRUE(spider->Dead);
    EXPECT_EQ(spider->SpiderState, ssGone);
    EXPECT_TRUE(boulder->Dead);
    EXPECT_EQ(Eng->GameMode, gmPlaying);
}

TEST_F(SpiderTest, BoxedInAfterWalkingItWaitsFourTurnsAndGivesUpOnTheFifth)
{
    ActiveHero(0, 0);
    tSpider* spider = Spider(5, 5, Up, LeftWall);
    spider->WallTurns = -1;
    Turn();
    ASSERT_EQ(spider->TargetY, 4);
    Turn();  // arrives at (5, 4); boxed in there from now on
    ASSERT_EQ(spider->CellY, 4);
    spider->EndMove();
    spider->TargetX = 5;
    spider->TargetY = 4;
    spider->X = 5;
    spider->Y = 4;
    for (auto [x, y] : {std::pair{4, 4}, {6, 4}, {5, 3}, {5, 5}})
        Solid(x, y);
    for (int i = 1; i <= 4; ++i) {
        Turn();
        EXPECT_EQ(spider->SpiderState, ssRoaming) << i;
        EXPECT_EQ(spider->Patience, 5 - i);
    }
    EXPECT_EQ(PlaysDuring(usSpiderTrapped, [&] { Turn(); }), 1);
    EXPECT_EQ(spider->SpiderState, ssTrapped);
}

TEST_F(SpiderTest, WillInteractWhenAStandingHeroIsNextToItsTarget)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    tSpider* spider = Spider(7, 5, Left, LeftWall);
    spider->TargetX = 6;
    EXPECT_TRUE(spider->WillInteractWithThePlayerNextTurn());
    spider->TargetX = 5;  // on the hero's cell: not one step away
    EXPECT_FALSE(spider->WillInteractWithThePlayerNextTurn());
    spider->TargetX = 6;
    spider->TargetY = 6;  // diagonal
    EXPECT_FALSE(spider->WillInteractWithThePlayerNextTurn());
    spider->TargetY = 5;
    hero->TargetX = 4;  // walking
    EXPECT_FALSE(spider->WillInteractWithThePlayerNextTurn());
}

TEST_F(SpiderTest, TheHeroMayStepIntoItsCellAndIsAttacked)
{
    tActualPlayer* hero = ActiveHero(4, 5);
    tSpider* spider = Spider(5, 5, Up, LeftWall);
    Boundary();
    EXPECT_TRUE(spider->QueryPush(hero, Right));
    EXPECT_TRUE(spider->TryPush(hero, Right));
    Press(5);  // Right
    Level().TakeTurns();
    EXPECT_EQ(hero->TargetX, 5);
    EXPECT_TRUE(hero->Moving);
    EXPECT_EQ(spider->SpiderState, ssAttacking);
}

TEST_F(SpiderTest, PicturesByDirectionRowAndTurnFraction)
{
    const int32_t rows[4] = {52, 26, 78, 0};  // Up, Right, Down, Left
    tSpider* spider = Spider(5, 5, Up, LeftWall);
    EXPECT_EQ(spider->DrawLayer, 3);
    for (int d = 0; d < 4; ++d) {
        spider->Direction = static_cast<tDirection>(d);
        for (float f : {0.0f, 0.35f, 0.99f}) {
            TurnFraction = f;
            spider->Move();
            const size_t frame = static_cast<size_t>(f * 10);
            ASSERT_EQ(spider->Sprite, &UnitSprites.Spider[static_cast<size_t>(d)][frame]);
            EXPECT_EQ(spider->Sprite->SrcY, rows[d]);
            EXPECT_EQ(spider->Sprite->SrcX, 36 * static_cast<int32_t>(frame));
        }
    }
}

TEST_F(SpiderTest, BouldersAreNotPushedIntoSpidersSnakesOrBombs)
{
    tActualPlayer* hero = ActiveHero(3, 5);
    tBoulder* boulder = Put<tBoulder>(4, 5);
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        tUnit* occupant = kind == 0 ? static_cast<tUnit*>(Put<tSpider>(5, 5))
                          : kind == 1 ? static_cast<tUnit*>(Put<tSnake>(5, 5))
                                      : static_cast<tUnit*>(Put<tCherryBomb>(5, 5));
        Boundary();
        EXPECT_FALSE(boulder->QueryPush(hero, Right));
        EXPECT_FALSE(boulder->TryPush(hero, Right));
        EXPECT_FALSE(boulder->Moving);
        Level().FreeUnit(occupant);
    }
    Boundary();
    EXPECT_TRUE(boulder->QueryPush(hero, Right));
}

}  // namespace
