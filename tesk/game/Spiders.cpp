// Spiders: wall followers that attack the hero and blow up when boxed in.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/game/Units.h"

const TTypeInfo TypeInfo_tWallFollowing = MakeEnumType("tWallFollowing", {"LeftWall", "RightWall"});

TP_CLASS_INFO(tSpider, tPlayerAwareUnit,
              OrdProp("InitialDirection", &TypeInfo_tDirection, &tSpider::GetInitialDirection,
                      &tSpider::SetInitialDirection),
              OrdProp("WallFollowing", &TypeInfo_tWallFollowing, &tSpider::GetWallFollowing,
                      &tSpider::SetWallFollowing))

namespace {

tDirection Clockwise(tDirection d) { return static_cast<tDirection>((static_cast<uint8_t>(d) + 1) & 3); }
tDirection Anticlockwise(tDirection d) { return static_cast<tDirection>((static_cast<uint8_t>(d) + 3) & 3); }

size_t DirectionIndex(tDirection d) { return static_cast<size_t>(d) & 3; }

}  // namespace

tSpider::tSpider()
{
    Sprite = &UnitSprites.Spider[DirectionIndex(Left)][0];
    DrawLayer = 3;
}

void tSpider::SetInitialDirection(tDirection d)
{
    if (d <= Left)
        InitialDirection = d;
}

void tSpider::SetWallFollowing(tWallFollowing w)
{
    if (w <= RightWall)
        WallFollowing = w;
}

void tSpider::Reset()
{
    tUnit::Reset();
    SpiderState = ssRoaming;
    Sprite = &UnitSprites.Spider[DirectionIndex(Direction)][0];
    MunchTicks = 0;
    WallTurns = 0;
    Patience = 0;
}

bool tSpider::TryPush(tUnit* pusher, tDirection) { return IsHeroUnit(pusher); }
bool tSpider::QueryPush(tUnit* pusher, tDirection) { return IsHeroUnit(pusher); }

bool tSpider::WillInteractWithThePlayerNextTurn()
{
    const tPlayer* hero = Player();
    if (!hero || !hero->AtTarget())
        return false;
    const int32_t dx = std::abs(TargetX - hero->CellX), dy = std::abs(TargetY - hero->CellY);
    return (dx == 0 && dy == 1) || (dy == 0 && dx == 1);
}

void tSpider::TakeTurn()
{
    switch (SpiderState) {
    case ssTrapped: {
        auto blast = std::make_unique<tExplosion1>();
        blast->X = X;
        blast->Y = Y;
        blast->CellX = CellX;
        blast->CellY = CellY;
        if (GameLevel)
            GameLevel->AddUnit(std::move(blast));
        SpiderState = ssExploded;
        return;
    }
    case ssExploded:
        HitNeighbours();
        SpiderState = ssBlastDone;
        return;
    case ssBlastDone:
        Dead = true;
        SpiderState = ssGone;
        return;
    case ssRoaming:
        Roam();
        return;
    default:
        return;
    }
}

void tSpider::HitNeighbours()
{
    static constexpr tCellDelta Neighbours[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};  // left, right, above, below
    for (const tCellDelta& n : Neighbours) {
        tUnit* u = UnitAtCell(CellX + n.DX, CellY + n.DY);
        if (!u)
            continue;
        if (u->InheritsFrom(tBoulder::StaticClass())) {
            ExplodeOver(u);
        } else if (u->InheritsFrom(tCherryBomb::StaticClass())) {
            auto* bomb = static_cast<tCherryBomb*>(u);
            if (bomb->BombState != bsDetonated && bomb->BombState != bsExploding)
                bomb->Detonate();
        }
    }
}

void tSpider::Roam()
{
    if (!GameLevel)
        return;
    if (tPlayer* hero = Player()) {
        const int32_t dx = std::abs(hero->CellX - CellX), dy = std::abs(hero->CellY - CellY);
        if ((dx == 0 && dy <= 1) || (dy == 0 && dx <= 1)) {
            SpiderState = ssAttacking;
            PlayUnitSound(usSpiderAttack);
            // The mode field alone: the hero starts dying when the spider reaches him.
            if (Engine)
                Engine->GameMode = gmDying;
            StartMoveTo(hero->CellX, hero->CellY);
            MunchTicks = 110;
            return;
        }
    }
    const bool right = WallFollowing == RightWall;
    if (WallTurns >= 0)
        Direction = right ? Clockwise(Direction) : Anticlockwise(Direction);
    const tCellDelta d = DirectionDelta[DirectionIndex(Direction)];
    const int32_t nx = CellX + d.DX, ny = CellY + d.DY;
    if (!IsCellBlocked(nx, ny) && !GameLevel->UnitHeadingTo(nx, ny)) {
        --WallTurns;
        StartMoveInDirection(Direction);
        PlayUnitSound(usSpiderShuffle);
        Patience = 5;
        return;
    }
    WallTurns = 4;
    // Away from the wall a quarter at a time, back to where it started at most.
    const tDirection start = Direction;
    for (;;) {
        Direction = right ? Anticlockwise(Direction) : Clockwise(Direction);
        if (Direction == start)
            break;
        const tCellDelta t = DirectionDelta[DirectionIndex(Direction)];
        if (!IsCellBlocked(CellX + t.DX, CellY + t.DY)) {
            PlayUnitSound(usSpiderShuffle);
            StartMoveInDirection(Direction);
            Patience = 5;
            return;
        }
    }
    if (--Patience > 0)
        return;
    SpiderState = ssTrapped;
    PlayUnitSound(usSpiderTrapped);
}

void tSpider::ShowFrame()
{
    const float f = std::trunc(TurnFraction * static_cast<float>(SpiderFrames));
    const size_t frame = f > 0 ? std::min(static_cast<size_t>(f), static_cast<size_t>(SpiderFrames - 1)) : 0;
    Sprite = &UnitSprites.Spider[DirectionIndex(Direction)][frame];
}

void tSpider::Move()
{
    tUnit::Move();
    ShowFrame();
}

void tSpider::DeathAnimMove()
{
    if (SpiderState != ssAttacking)
        return;
    X += DX;
    Y += DY;
    if (tPlayer* hero = Player()) {
        const float dx = hero->X - X, dy = hero->Y - Y;
        if (dx * dx + dy * dy < 0.125f) {
            hero->SetDeathMode(1, tSpider::StaticClass());
            X = hero->X;
            Y = hero->Y;
            if (--MunchTicks < 0) {
                PlayUnitSound(usSpiderMunching);
                MunchTicks = 99999999;
            }
        }
    }
    ShowFrame();
}

// ---------------------------------------------------------------------------------------
// Pictures

void CutSpiderSprites()
{
    // Rows by direction: Up, Right, Down, Left.
    static constexpr int32_t Rows[4] = {52, 26, 78, 0};
    for (size_t d = 0; d < 4; ++d)
        CutSpriteRun(UnitSprites.Spider[d], SpiderFrames, "Spider.jpg", 0, Rows[d], 36, 0, 36, 26, 18, 13);
}

void DetachSpiderSprites()
{
    DetachSprites(UnitSprites.Spider);
}
