// Keys, jewels and exits: the collectables and the goal of a level.
#include <cmath>

#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Random.h"

const TTypeInfo TypeInfo_tJewelkinds = MakeEnumType("tJewelkinds", {"Blue_50", "Magenta_100", "Yellow_250", "Green_1000"});
const TTypeInfo TypeInfo_tExitKind =
    MakeEnumType("tExitKind", {"ExitDoor", "ExitUpDoor", "ExitLeft", "ExitRight", "ExitHatch"});

TP_CLASS_INFO(tKey, tPlayerAwareUnit)
TP_CLASS_INFO(tJewel, tPlayerAwareUnit, OrdProp("Kind", &TypeInfo_tJewelkinds, &tJewel::GetKind, &tJewel::SetKind))
TP_CLASS_INFO(tExit, tPlayerAwareUnit, OrdProp("Kind", &TypeInfo_tExitKind, &tExit::GetKind, &tExit::SetKind))

namespace {

// Whether the level's hero stands on the unit's cell.
bool HeroOn(const tPlayerAwareUnit& unit)
{
    const tPlayer* hero = unit.Player();
    return hero && hero->IsAt(unit.CellX, unit.CellY);
}

// One tick of a spin: the counter runs 0 .. 3 * lastFrame and the picture is its third,
// so the last picture shows for one tick of each cycle.
void Spin(int32_t& ticks, int32_t lastFrame)
{
    if (++ticks > 3 * lastFrame || ticks < 0)
        ticks = 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// tKey

tKey::tKey()
{
    Sprite = &UnitSprites.KeyInitial;
    SpinTicks = Random(93);
}

void tKey::Move()
{
    tUnit::Move();
    Spin(SpinTicks, SpinFrames - 1);
    Sprite = &UnitSprites.Key[static_cast<size_t>(SpinTicks / 3)];
}

void tKey::TakeTurn()
{
    if (!HeroOn(*this))
        return;
    Dead = true;
    ++CollectedKeys;
    PlayUnitSound(usCollectKey);
}

bool tKey::QueryPush(tUnit* pusher, tDirection) { return IsHeroUnit(pusher); }

void tKey::Reset()
{
    tUnit::Reset();
    ++LevelKeys;
}

// ---------------------------------------------------------------------------------------
// tJewel

tJewel::tJewel()
{
    Sprite = &UnitSprites.JewelInitial;
    SpinTicks = Random(93);
}

void tJewel::SetKind(tJewelkinds kind)
{
    if (kind < JewelKinds)
        Kind = kind;
}

void tJewel::Move()
{
    tUnit::Move();
    const int32_t last = JewelLastFrame[Kind];
    Spin(SpinTicks, last);
    Sprite = &UnitSprites.Jewel[Kind][static_cast<size_t>(SpinTicks / 3)];
}

void tJewel::TakeTurn()
{
    if (!HeroOn(*this))
        return;
    Dead = true;
    ++CollectedGems;
    PlayUnitSound(usCollectGem);
}

bool tJewel::QueryPush(tUnit* pusher, tDirection) { return IsHeroUnit(pusher); }

void tJewel::Reset()
{
    tUnit::Reset();
    Sprite = &UnitSprites.Jewel[Kind][0];
    ++LevelGems;
}

// ---------------------------------------------------------------------------------------
// tExit

tExit::tExit()
{
    SetKind(ExitDoor);
    StaticSprite = true;
}

void tExit::SetKind(tExitKind kind)
{
    if (kind >= ExitKinds)
        return;
    Sprite = &UnitSprites.Exit[kind][0];
    Kind = kind;
}

bool tExit::TryPush(tUnit* pusher, tDirection)
{
    if (IsHeroUnit(pusher) && CollectedKeys == LevelKeys && !Opening) {
        Opening = true;
        PlayUnitSound(usOpeningDoor);
        StaticSprite = false;
    }
    return false;
}

void tExit::Move()
{
    tUnit::Move();
    if (!Opening)
        return;
    const float open = static_cast<float>((static_cast<float>(OpenTurns) + TurnFraction) * 0.5f);
    const float f = std::trunc(open * static_cast<float>(ExitFrames));
    const int32_t frame = f < 0 ? 0 : f >= ExitFrames ? ExitFrames - 1 : static_cast<int32_t>(f);
    Sprite = &UnitSprites.Exit[Kind][static_cast<size_t>(frame)];
}

void tExit::TakeTurn()
{
    if (!Opening || Sprite == &UnitSprites.Exit[Kind][0])
        return;
    if (++OpenTurns >= 2) {
        if (Engine)
            Engine->GameMode = gmLevelEnd;
        Opening = false;
        OpenTurns = 0;
    }
}

void tExit::Reset()
{
    tUnit::Reset();
    Opening = false;
    OpenTurns = 0;
    Sprite = &UnitSprites.Exit[Kind][0];
    StaticSprite = true;
}
