// Snakes and fireballs: facing and sway, the clear line along the row, the shot, the
// fireball's flight at any game speed and the flames that burn the hero.
#include "tests/tesk/game/KindsFixture.h"

#include <functional>

#include "tesk/game/Levels.h"

namespace {

class SnakeTest : public KindsSuite {
protected:
    // A snake at (x, y) with a standing hero at (hx, hy); the row lists built.
    tSnake* Scene(int32_t x, int32_t y, int32_t hx, int32_t hy)
    {
        Hero = ActiveHero(hx, hy);
        tSnake* snake = Put<tSnake>(x, y);
        return snake;
    }
    void Clear()
    {
        Level().FreeAllUnits();
        Level().Cells.fill(tCell{});
        Eng->GameMode = gmPlaying;
        StopAllSounds();
    }
    // One turn pass; whether the snakes fired (every sign of it checked).
    int FiredShots()
    {
        Boundary();
        const std::set<int> before = PlayingHandles();
        const int32_t shots = CountOf(tFireBall::StaticClass());
        Level().TakeTurns();
        const int32_t fired = CountOf(tFireBall::StaticClass()) - shots;
        EXPECT_EQ(NewlyPlaying(before, usSnakeAngry), fired);
        EXPECT_EQ(NewlyPlaying(before, usSnakeFire), fired);
        EXPECT_EQ(Eng->GameMode, fired > 0 ? gmDying : gmPlaying);
        if (Hero) {
            EXPECT_EQ(Hero->PlayerState, psActive);  // shot at, not yet hit
        }
        return fired;
    }
    tFireBall* Shot() const
    {
        for (int32_t i = 0; i < Eng->Level.UnitList.Count(); ++i)
            if (auto* f = dynamic_cast<tFireBall*>(Eng->Level.UnitList[i]))
                return f;
        return nullptr;
    }

    tActualPlayer* Hero = nullptr;
};

TEST_F(SnakeTest, FacesTheHeroAndSwaysBetweenZeroAndThirty)
{
    SetRandomSeed(77);
    const int32_t first = Random(15);
    SetRandomSeed(77);
    tSnake* snake = Scene(6, 5, 2, 7);
    EXPECT_EQ(snake->Phase, first);
    EXPECT_EQ(snake->PhaseStep, 1);
    EXPECT_EQ(snake->DrawLayer, 2);

    Boundary();
    Level().TakeTurns();
    EXPECT_TRUE(snake->FacingLeft);
    Hero->X = 9;
    Boundary();
    Level().TakeTurns();
    EXPECT_FALSE(snake->FacingLeft);
    Hero->X = 6;  // the snake's column keeps the facing
    Boundary();
    Level().TakeTurns();
    EXPECT_FALSE(snake->FacingLeft);
    snake->FacingLeft = true;
    Level().TakeTurns();
    EXPECT_TRUE(snake->FacingLeft);

    // The sway, tick by tick.
    int32_t phase = snake->Phase, step = 1;
    bool turnedAtTop = false, turnedAtBottom = false;
    for (int i = 0; i < 70; ++i) {
        snake->Move();
        phase += step;
        if (phase == 30 || phase == 0) {
            step = -step;
            (phase == 30 ? turnedAtTop : turnedAtBottom) = true;
        }
        ASSERT_EQ(snake->Phase, phase) << i;
        ASSERT_GE(snake->Phase, 0);
        ASSERT_LE(snake->Phase, 30);
        EXPECT_EQ(snake->Sprite, &UnitSprites.SnakeLeft[static_cast<size_t>(phase)]);
    }
    EXPECT_TRUE(turnedAtTop);
    EXPECT_TRUE(turnedAtBottom);
    snake->FacingLeft = false;
    snake->Move();
    EXPECT_EQ(snake->Sprite, &UnitSprites.SnakeRight[static_cast<size_t>(snake->Phase)]);
}

TEST_F(SnakeTest, FiresAlongAClearRow)
{
    struct Case {
        const char* What;
        int32_t HeroX;
        std::function<void()> Between;
    };
    const Case cases[] = {
        {"unfilled water between", 2, [this] { Put<tWater>(4, 5); }},
        {"filled water between", 2, [this] { Put<tWater>(4, 5)->Filled = true; }},
        {"only a sign between", 2, [this] { Put<tInfo>(4, 5); }},
        {"a key already taken", 2, [this] { Put<tKey>(4, 5)->Dead = true; }},
        {"a held bomb", 2, [this] { Put<tCherryBomb>(4, 5)->Held = true; }},
        {"adjacent on the left", 5, [] {}},
        {"adjacent on the right", 7, [] {}},
        {"across the whole row", 15, [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        tSnake* snake = Scene(6, 5, c.HeroX, 5);
        c.Between();
        EXPECT_EQ(FiredShots(), 1);
        const tFireBall* shot = Shot();
        ASSERT_NE(shot, nullptr);
        EXPECT_EQ(shot->X, snake->X);
        EXPECT_EQ(shot->Y, snake->Y);
        EXPECT_TRUE(shot->Temporary);
        EXPECT_EQ(shot->DrawLayer, 3);
        EXPECT_EQ(snake->FacingLeft, c.HeroX < 6);
        Clear();
    }
}

TEST_F(SnakeTest, ABlockedLineOrAnotherRowHoldsFire)
{
    struct Case {
        const char* What;
        std::function<void()> Between;
    };
    const Case cases[] = {
        {"a boulder", [this] { Put<tBoulder>(4, 5); }},
        {"dirt", [this] { Put<tDirt>(3, 5); }},
        {"a key", [this] { Put<tKey>(4, 5); }},
        {"a jewel", [this] { Put<tJewel>(5, 5); }},
        {"a cherry bomb", [this] { Put<tCherryBomb>(4, 5); }},
        {"a spider", [this] { Put<tSpider>(4, 5); }},
        {"a solid cell", [this] { Solid(4, 5); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Scene(6, 5, 2, 5);
        c.Between();
        EXPECT_EQ(FiredShots(), 0);
        Clear();
    }
    for (int32_t x = 0; x < LevelWidth; ++x)
        for (int32_t y : {4, 6}) {
            SCOPED_TRACE(x);
            Scene(6, 5, x, y);
            EXPECT_EQ(FiredShots(), 0);
            Clear();
        }
}

TEST_F(SnakeTest, TwoSnakesWithAClearLineFireTwoShotsInOneTurn)
{
    Scene(2, 5, 6, 5);
    Put<tSnake>(10, 5);
    EXPECT_EQ(FiredShots(), 2);
}

TEST_F(SnakeTest, TheFireballFliesAQuarterCellPerTickAtAnySpeed)
{
    for (int32_t ticks : {6, 18}) {
        SCOPED_TRACE(ticks);
        TicksPerTurn = ticks;
        Restart();
        tSnake* snake = Scene(6, 5, 3, 5);
        (void)snake;
        Boundary();
        Level().TakeTurns();
        tFireBall* shot = Shot();
        ASSERT_NE(shot, nullptr);
        int hits = 0, flying = 0;
        while (!shot->Hit) {
            const float before = shot->X;
            const std::set<int> playing = PlayingHandles();
            Level().DeathAnimUnits();
            hits += NewlyPlaying(playing, usFireball);
            if (!shot->Hit) {
                EXPECT_FLOAT_EQ(before - shot->X, 0.25f);
                EXPECT_EQ(shot->Sprite, &UnitSprites.FireBallLeft);
            }
            ASSERT_LT(++flying, 100);
        }
        // Three cells at a quarter per tick: the hit comes inside the last quarter.
        EXPECT_EQ(flying, 11);
        EXPECT_EQ(hits, 1);
        EXPECT_EQ(shot->X, Hero->X);
        for (int i = 0; i < 5; ++i) {
            const std::set<int> playing = PlayingHandles();
            Level().DeathAnimUnits();
            EXPECT_EQ(NewlyPlaying(playing, usFireball), 0);
        }
        Clear();
    }

    // A hero to the right, caught half-way between two cells: the hit is where he really is.
    Scene(2, 5, 5, 5);
    Boundary();
    Level().TakeTurns();
    tFireBall* shot = Shot();
    ASSERT_NE(shot, nullptr);
    Hero->X = 4.5f;
    int flying = 0;
    while (!shot->Hit && flying < 100) {
        Level().DeathAnimUnits();
        if (!shot->Hit) {
            EXPECT_EQ(shot->Sprite, &UnitSprites.FireBallRight);
        }
        ++flying;
    }
    EXPECT_EQ(flying, 9);  // 2.5 cells: within a quarter after nine ticks
    EXPECT_EQ(shot->X, 4.5f);
}

TEST_F(SnakeTest, TheFlightRunsThroughTheEnginesDyingMode)
{
    // Snake at 6, hero at 2: four cells, the hit on the fifteenth tick of flight.
    Scene(6, 5, 2, 5);
    Restart();
    Hero->PlayerState = psActive;
    Level().FreeTemporaryUnits();
    Turn();
    ASSERT_EQ(Eng->GameMode, gmDying);
    ASSERT_EQ(CountOf(tFireBall::StaticClass()), 1);
    int ticks = 0;
    while (!Shot()->Hit && ticks < 100) {
        Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 15);
    EXPECT_EQ(Hero->PlayerState, psActive);
    Tick();
    EXPECT_EQ(Hero->PlayerState, psDying);
    EXPECT_EQ(Hero->Killer, tSnake::StaticClass());
    // Thirteen more flame ticks, then the shot is gone (freed as a dead temporary unit).
    Ticks(12);
    EXPECT_EQ(CountOf(tFireBall::StaticClass()), 1);
    Tick();
    EXPECT_EQ(CountOf(tFireBall::StaticClass()), 0);
}

TEST_F(SnakeTest, TheFlamesBurnTheHeroFromTheFirstBurningTick)
{
    Scene(6, 5, 5, 5);
    Boundary();
    Level().TakeTurns();
    tFireBall* shot = Shot();
    ASSERT_NE(shot, nullptr);
    for (int i = 0; i < 3; ++i)
        Level().DeathAnimUnits();
    ASSERT_TRUE(shot->Hit);
    EXPECT_EQ(Hero->PlayerState, psActive);
    const int flames[] = {0, 1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 6, 6};
    for (size_t i = 0; i < std::size(flames); ++i) {
        Level().DeathAnimUnits();
        EXPECT_FALSE(shot->Dead) << i;
        EXPECT_EQ(shot->Sprite, &UnitSprites.Flame[static_cast<size_t>(flames[i])]) << i;
        EXPECT_EQ(Hero->PlayerState, psDying) << i;
        EXPECT_EQ(Hero->Killer, tSnake::StaticClass());
        EXPECT_EQ(Hero->DeathKind, 0);
    }
    Level().DeathAnimUnits();
    EXPECT_TRUE(shot->Dead);
}

}  // namespace
