// Snakes and their fireballs.
#include <algorithm>
#include <cmath>
#include <memory>

#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Random.h"

TP_CLASS_INFO(tSnake, tPlayerAwareUnit)
TP_CLASS_INFO(tFireBall, tPlayerAwareUnit)

// ---------------------------------------------------------------------------------------
// tSnake

tSnake::tSnake()
{
    Sprite = &UnitSprites.SnakePalette;
    DrawLayer = 2;
}

void tSnake::Reset()
{
    tUnit::Reset();
    Phase = Random(15);
    PhaseStep = 1;
}

void tSnake::Move()
{
    tUnit::Move();
    Phase += PhaseStep;
    if (Phase == SnakePhases - 1 || Phase == 0)
        PhaseStep = -PhaseStep;
    const size_t i = static_cast<size_t>(std::clamp(Phase, 0, SnakePhases - 1));
    Sprite = FacingLeft ? &UnitSprites.SnakeLeft[i] : &UnitSprites.SnakeRight[i];
}

void tSnake::TakeTurn()
{
    const tPlayer* hero = Player();
    if (!hero || !GameLevel)
        return;
    if (hero->CellX < CellX)
        FacingLeft = true;
    else if (hero->CellX > CellX)
        FacingLeft = false;
    if (hero->CellY != CellY)
        return;
    // Water, filled or not, lets the shot pass; so do units that are not live.
    const int32_t from = std::min(hero->CellX, CellX) + 1, to = std::max(hero->CellX, CellX);
    for (int32_t x = from; x < to; ++x) {
        if (IsSolidAt(x, CellY))
            return;
        const tUnit* u = GameLevel->UnitAt(x, CellY);
        if (u && !u->InheritsFrom(tWater::StaticClass()))
            return;
    }
    PlayUnitSound(usSnakeAngry);
    PlayUnitSound(usSnakeFire);
    auto shot = std::make_unique<tFireBall>();
    shot->X = X;
    shot->Y = Y;
    shot->CellX = shot->TargetX = CellX;
    shot->CellY = shot->TargetY = CellY;
    GameLevel->AddUnit(std::move(shot));
    // The mode field alone: the hero starts dying when the shot reaches him.
    if (Engine)
        Engine->GameMode = gmDying;
}

// ---------------------------------------------------------------------------------------
// tFireBall

tFireBall::tFireBall()
{
    Temporary = true;
    DrawLayer = 3;
}

void tFireBall::DeathAnimMove()
{
    tPlayer* hero = Player();
    if (!hero)
        return;
    if (!Hit) {
        // A quarter cell per tick, whatever the game speed.
        if (hero->X >= X) {
            Sprite = &UnitSprites.FireBallRight;
            X += 0.25f;
        } else {
            Sprite = &UnitSprites.FireBallLeft;
            X -= 0.25f;
        }
        const float dx = hero->X - X, dy = hero->Y - Y;
        if (dx * dx + dy * dy < 0.125f) {
            Hit = true;
            Burn = 0;
            X = hero->X;
            Y = hero->Y;
            PlayUnitSound(usFireball);
        }
        return;
    }
    Burn += 0.5f;
    const float i = std::nearbyint(Burn);
    if (i < static_cast<float>(FlameFrames))
        Sprite = &UnitSprites.Flame[static_cast<size_t>(std::max(i, 0.0f))];
    else
        Dead = true;
    hero->SetDeathMode(0, tSnake::StaticClass());
}

// ---------------------------------------------------------------------------------------
// Pictures

void CutSnakeSprites()
{
    tUnitSprites& s = UnitSprites;
    CutSpriteRun(s.SnakeLeft, SnakePhases, "Snake1.Jpg", 0, 0, 0, 48, 32, 48, 16, 32);
    CutSpriteRun(s.SnakeRight, SnakePhases, "Snake1.Jpg", 32, 0, 0, 48, 32, 48, 16, 32);
    CutSprite(s.FireBallRight, "BaseGfx.jpg", 64, 256, 32, 32, 16, 16, dmAdditive);
    CutSprite(s.FireBallLeft, "BaseGfx.jpg", 96, 256, 32, 32, 16, 28, dmAdditive);
    CutSpriteRun(s.Flame, FlameFrames, "BaseGfx.jpg", 0, 160, 32, 0, 32, 32, 16, 16, dmAdditive);
}

void DetachSnakeSprites()
{
    tUnitSprites& s = UnitSprites;
    DetachSprites(s.SnakeLeft);
    DetachSprites(s.SnakeRight);
    DetachSprite(s.FireBallRight);
    DetachSprite(s.FireBallLeft);
    DetachSprites(s.Flame);
}
