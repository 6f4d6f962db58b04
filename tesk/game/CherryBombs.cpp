// Cherry bombs and explosions.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/Fmod.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Players.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Random.h"

TP_CLASS_INFO(tCherryBomb, tPlayerAwareUnit)
TP_CLASS_INFO(tExplosion1, tUnit)

int32_t LastPickupSoundTurn = -9;

namespace {

// The fuse flashes at these volumes in the last turns.
constexpr int FuseLoud = 64, FuseSilent = 0, FuseFull = 255;

int32_t ChebyshevDistance(const tUnit& a, const tUnit& b)
{
    return std::max(std::abs(a.CellX - b.CellX), std::abs(a.CellY - b.CellY));
}

// Puts the frame's cover-mask setting back on every way out of a blast draw.
class tCoverMaskBack {
public:
    explicit tCoverMaskBack(tDib16& dib) : FDib(dib) {}
    ~tCoverMaskBack() { FDib.CoverMaskActive = FDib.UseCoverMask; }
    tCoverMaskBack(const tCoverMaskBack&) = delete;
    tCoverMaskBack& operator=(const tCoverMaskBack&) = delete;

private:
    tDib16& FDib;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// tCherryBomb

tCherryBomb::tCherryBomb()
{
    Sprite = &UnitSprites.BombPalette;
}

tCherryBomb::~tCherryBomb()
{
    try {
        StopFuseSound();
    } catch (...) {
    }
}

void tCherryBomb::StopFuseSound()
{
    if (FuseChannel == -1)
        return;
    FSOUND_StopSound(FuseChannel);
    FSOUND_SetVolume(FuseChannel, FuseFull);
    FuseChannel = -1;
}

void tCherryBomb::Reset()
{
    tUnit::Reset();
    DrawLayer = 1;
    BombState = bsLying;
    Fuse = 20;
    Sprite = &UnitSprites.BombPalette;
    BlastTicks = 0;
    StopFuseSound();
    LastPickupSoundTurn = -9;
}

void tCherryBomb::Drop()
{
    tUnit::Drop();
    // Where the hero put it down.
    TargetX = CellX;
    TargetY = CellY;
    BombState = bsLit;
    StopFuseSound();
    FuseChannel = PlayUnitSound(usCherryBombFuse);
    PlayUnitSound(usDropBomb);
}

void tCherryBomb::Detonate()
{
    StopFuseSound();
    BombState = bsDetonated;
    PlayUnitSound(usCherryBombExplosion);
    DrawLayer = 3;
    BlastTurns = 2;
}

void tCherryBomb::PauseSound()
{
    if (FuseChannel != -1)
        FSOUND_SetVolume(FuseChannel, FuseSilent);
}

void tCherryBomb::ResumeSound()
{
    if (FuseChannel != -1)
        FSOUND_SetVolume(FuseChannel, FuseFull);
}

bool tCherryBomb::TryPush(tUnit* pusher, tDirection) { return IsHeroUnit(pusher); }
bool tCherryBomb::QueryPush(tUnit* pusher, tDirection) { return IsHeroUnit(pusher); }

bool tCherryBomb::WillInteractWithThePlayerNextTurn()
{
    const tPlayer* hero = Player();
    if (!hero || (BombState != bsLit && BombState != bsFlashing && BombState != bsExploding))
        return false;
    return ChebyshevDistance(*this, *hero) < 2;
}

void tCherryBomb::TakeTurn()
{
    switch (BombState) {
    case bsLying: {
        tPlayer* hero = Player();
        if (Held || !hero || hero->CellX != CellX || hero->CellY != CellY)
            return;
        const int32_t turn = Engine ? Engine->TurnCount : 0;
        if (!CarryQueueFull() && LastPickupSoundTurn + 10 < turn) {
            PlayUnitSound(usCherryBombPickup);
            LastPickupSoundTurn = turn;
        }
        PickUp();
        return;
    }
    case bsLit:
    case bsFlashing:
        --Fuse;
        if (Fuse < 5) {
            BombState = bsFlashing;
            if (FuseChannel != -1)
                FSOUND_SetVolume(FuseChannel, (Fuse & 1) != 0 ? FuseLoud : FuseSilent);
        }
        if (Fuse <= 0)
            Detonate();
        return;
    case bsDetonated:
        BombState = bsExploding;
        return;
    case bsExploding: {
        Occupies = false;
        --BlastTurns;
        if (BlastTurns == 0) {
            AreaBlast();
            return;
        }
        tPlayer* hero = Player();
        if (BlastTurns > 0 && hero && !hero->Dead && ChebyshevDistance(*this, *hero) <= 1)
            hero->SetDeathMode(0, tCherryBomb::StaticClass());
        return;
    }
    default:
        return;
    }
}

void tCherryBomb::AreaBlast()
{
    if (!GameLevel)
        return;
    // Explosions added here are not live, so the pass never reaches them.
    for (int32_t i = 0; i < GameLevel->UnitList.Count(); ++i) {
        tUnit* u = GameLevel->UnitList[i];
        if (u == this || !u->IsLive() || ChebyshevDistance(*this, *u) > 1)
            continue;
        if (u->InheritsFrom(tPlayer::StaticClass())) {
            static_cast<tPlayer*>(u)->SetDeathMode(0, tCherryBomb::StaticClass());
        } else if (u->InheritsFrom(tBoulder::StaticClass()) || u->InheritsFrom(tSpider::StaticClass()) ||
                   u->InheritsFrom(tDirt::StaticClass()) || u->InheritsFrom(tSnake::StaticClass())) {
            ExplodeOver(u);
        } else if (u->InheritsFrom(tCherryBomb::StaticClass())) {
            auto* bomb = static_cast<tCherryBomb*>(u);
            if (bomb->BombState == bsLying || bomb->BombState == bsLit || bomb->BombState == bsFlashing)
                bomb->Detonate();
        }
    }
}

void tCherryBomb::Move()
{
    tUnit::Move();
    if (BombState == bsFlashing) {
        ++FlashTicks;
        if (Random(20) + 4 < FlashTicks / 2)
            FlashTicks = 0;
    } else if (BombState == bsExploding) {
        ++BlastTicks;
        if (BlastTicks / 4 >= BombBlastFrames)
            Dead = true;
    }
}

void tCherryBomb::Draw()
{
    tUnitSprites& s = UnitSprites;
    switch (BombState) {
    case bsLying:
        Sprite = &s.BombPalette;
        break;
    case bsLit:
        LitFrame = std::clamp(LitFrame, 0, LitFrames - 1);
        Sprite = &s.BombLit[static_cast<size_t>(LitFrame)];
        LitFrame = (LitFrame + 1) % LitFrames;
        break;
    case bsFlashing:
        Sprite = &s.BombFlash[static_cast<size_t>(std::clamp(FlashTicks / 2, 0, BombFlashFrames - 1))];
        break;
    case bsExploding: {
        Sprite = &s.BombBlast[static_cast<size_t>(std::clamp(BlastTicks / 4, 0, BombBlastFrames - 1))];
        if (!CurrentDib)
            return;
        // The blast covers the overlay tiles; the units drawn after it are covered again.
        tCoverMaskBack back(*CurrentDib);
        CurrentDib->CoverMaskActive = false;
        tUnit::Draw();
        return;
    }
    default:
        break;
    }
    tUnit::Draw();
}

// ---------------------------------------------------------------------------------------
// tExplosion1

tExplosion1::tExplosion1()
{
    Temporary = true;
    PlayUnitSound(usSpiderExplosion);
    Sprite = &UnitSprites.Explosion[0];
    DrawLayer = 3;
}

void tExplosion1::AttachTo(tUnit* unit)
{
    Target = unit;
    if (!unit)
        return;
    X = unit->X;
    Y = unit->Y;
    CellX = unit->CellX;
    CellY = unit->CellY;
}

void tExplosion1::Move()
{
    ++BlastTicks;
    if (Target) {
        X = Target->X;
        Y = Target->Y;
    }
    if (BlastTicks < ExplosionFrames)
        Sprite = &UnitSprites.Explosion[static_cast<size_t>(BlastTicks)];
    else
        Dead = true;
}

void tExplosion1::TakeTurn()
{
    if (!Target)
        return;
    Target->Dead = true;
    Target = nullptr;
}

void ExplodeOver(tUnit* unit)
{
    if (!GameLevel || !unit)
        return;
    auto blast = std::make_unique<tExplosion1>();
    blast->AttachTo(unit);
    GameLevel->AddUnit(std::move(blast));
}

void StopFuseSounds()
{
    if (!GameLevel)
        return;
    for (int32_t i = 0; i < GameLevel->UnitList.Count(); ++i)
        if (GameLevel->UnitList[i]->InheritsFrom(tCherryBomb::StaticClass()))
            static_cast<tCherryBomb*>(GameLevel->UnitList[i])->StopFuseSound();
}

// ---------------------------------------------------------------------------------------
// Pictures

void CutBombSprites()
{
    tUnitSprites& s = UnitSprites;
    CutSpriteRun(s.BombLit, LitFrames, "BaseGfx.jpg", 32, 320, 32, 0, 32, 32, 16, 16);
    CutSpriteRun(s.BombFlash, BombFlashFrames, "BaseGfx.jpg", 128, 320, 32, 0, 32, 32, 16, 16);
    CutCentredSprite(s.BombBlast[0], "BaseGfx.jpg", 288, 320, 32, 32);
    CutCentredSprite(s.BombBlast[1], "BaseGfx.jpg", 320, 320, 32, 32);
    // The sheet's rows are numbered with the blast frames, so its first two go unused.
    for (size_t i = 2; i < BombBlastFrames; ++i)
        CutSprite(s.BombBlast[i], "FireBall.jpg", 0, 132 * static_cast<int32_t>(i), 160, 132, 78, 85, dmAdditive);
    CutSpriteRun(s.Explosion, ExplosionFrames, "Explosion1.jpg", 0, 0, 52, 0, 52, 54, 26, 27, dmAdditive);
}

void DetachBombSprites()
{
    tUnitSprites& s = UnitSprites;
    DetachSprites(s.BombLit);
    DetachSprites(s.BombFlash);
    DetachSprites(s.BombBlast);
    DetachSprites(s.Explosion);
}
