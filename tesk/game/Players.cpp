#include "tesk/game/Players.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Inputs.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Levels.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/toolkit/Random.h"

int32_t PlayerTickCount = 0;
int32_t PlayerFrameCount = 0;
bool FrameByTickAnimation = true;

TP_CLASS_INFO(tPlayer, tUnit)
TP_CLASS_INFO(tActualPlayer, tPlayer)
TP_CLASS_INFO(tFakePlayer, tPlayer)
TP_CLASS_INFO(tOOTPlayer, tPlayer)
TP_CLASS_INFO(tWarp, tUnit)
TP_CLASS_INFO(tResetWarp, tWarp)

namespace {

constexpr int32_t ActionUp = 2, ActionDown = 3, ActionLeft = 4, ActionRight = 5;
constexpr int32_t ActionDrop = 6, ActionRestart = 9;

// The device the hero reads: the engine's Input (the previous turns' state during an
// early move).
const tInputDevice* HeroInput()
{
    return Engine ? Engine->Input : nullptr;
}

bool InputActive(int action)
{
    const tInputDevice* d = HeroInput();
    return d && d->IsActive(action);
}

uint8_t CurrentMode()
{
    return Engine ? Engine->GameMode : gmNone;
}

// Sets the engine's mode field alone (none of SetGameMode's side effects).
void PutGameMode(uint8_t mode)
{
    if (Engine)
        Engine->GameMode = mode;
}

void AddToLevel(std::unique_ptr<tUnit> unit)
{
    if (GameLevel)
        GameLevel->AddUnit(std::move(unit));
}

size_t DirectionIndex(tDirection d) { return static_cast<size_t>(d) & 3; }

}  // namespace

bool IsHeroUnit(const tUnit* unit)
{
    return unit && unit->InheritsFrom(tPlayer::StaticClass());
}

// ---------------------------------------------------------------------------------------
// Action choice

tActionDirection ActionDirection(uint32_t action)
{
    switch (action) {
    case ActionUp:
        return {Up, true};
    case ActionRight:
        return {Right, true};
    case ActionDown:
        return {Down, true};
    case ActionLeft:
        return {Left, true};
    default:
        return {Down, false};
    }
}

uint32_t ChooseHeroAction(const tInputDevice& device, tUnit& hero)
{
    uint32_t a = device.LastAction;
    const auto active = [&](uint32_t action) { return action < ActionCount && device.IsActive(static_cast<int>(action)); };
    const tActionDirection held = ActionDirection(a);
    if (held.HasDirection && device.IsPressed(static_cast<int>(a))) {
        const tCellDelta d = DirectionDelta[DirectionIndex(held.Direction)];
        if (hero.CouldEnter(hero.CellX + d.DX, hero.CellY + d.DY))
            return a;
    }
    const auto pair = [&](uint32_t first, uint32_t second) {
        const bool f = active(first), s = active(second);
        if (f != s)
            a = f ? first : second;
    };
    if (a == ActionUp || a == ActionDown) {
        pair(ActionUp, ActionDown);
        pair(ActionLeft, ActionRight);
    } else {
        pair(ActionLeft, ActionRight);
        pair(ActionUp, ActionDown);
    }
    return active(a) ? a : 0;
}

// ---------------------------------------------------------------------------------------
// tPlayer

tPlayer::tPlayer() = default;

void tPlayer::Draw()
{
    tUnit::Draw();
    ++PlayerFrameCount;
}

void tPlayer::TakeTurn()
{
    if (tLevel::InGrid(CellX, CellY))
        Visited[static_cast<size_t>(CellX * LevelHeight + CellY)] = 1;
}

void tPlayer::Reset()
{
    tUnit::Reset();
    AppearTurns = 0;
    Visited.fill(0);
    StepParity = false;
    DyingTicks = 0;
    DeathKind = 0;
    MoveTicks = 0;
    Walked = false;
    PlayerState = psNone;
    Killer = nullptr;
    IdleVariant = 0;
    IdleTicks = 0;
}

bool tPlayer::HasVisited(int32_t x, int32_t y) const
{
    return tLevel::InGrid(x, y) && Visited[static_cast<size_t>(x * LevelHeight + y)] != 0;
}

void tPlayer::FinishDying()
{
    PlayerState = psNone;
    if (Engine)
        Engine->SetGameMode(gmDead);
}

void tPlayer::CountAppearing()
{
    if (AppearTurns > 0) {
        --AppearTurns;
        return;
    }
    PlayerState = psActive;
    Sprite = &HeroSprites.Walk[DirectionIndex(Direction)][0];
    // With no frame drawn while appearing there are more ticks than frames.
    FrameByTickAnimation = PlayerFrameCount == 0 || PlayerTickCount / PlayerFrameCount > 1;
}

void tPlayer::StandIdle(tDirection facing)
{
    if (--IdleTicks < 0) {
        IdleTicks = 50 + Random(50);
        IdleVariant = Random(HeroStandVariants);
    }
    Sprite = &HeroSprites.Stand[DirectionIndex(facing)][static_cast<size_t>(std::clamp(IdleVariant, 0, HeroStandVariants - 1))];
}

void tPlayer::ShowWalkFrame(float t)
{
    if (Direction == Up || Direction == Left)
        t = 1.0f - t;
    const float f = std::nearbyint(t * 16.0f);
    const int32_t frame = f < 0 ? 0 : f > 15 ? 15 : static_cast<int32_t>(f);
    Sprite = &HeroSprites.Walk[DirectionIndex(Direction)][static_cast<size_t>(frame)];
}

void tPlayer::ResetHero()
{
    tPlayer::Reset();
    MoveTicks = 0;
    DyingTicks = 0;
    Dead = false;
    if (GameLevel)
        GameLevel->Player = this;
    if (CurrentMode() == gmEditing) {
        Sprite = &HeroSprites.Walk[DirectionIndex(Down)][0];
        return;
    }
    Sprite = nullptr;
    PlayerTickCount = 0;
    PlayerFrameCount = 0;
    auto warp = std::make_unique<tWarp>();
    warp->X = X;
    warp->Y = Y;
    AddToLevel(std::move(warp));
    PlayerState = psAppearing;
    AppearTurns = 2;
}

void tPlayer::TakeStep(uint32_t action, bool push)
{
    const tDirection previous = Direction;
    const tActionDirection ad = ActionDirection(action);
    Direction = ad.Direction;
    if (Walked)
        StepParity = !StepParity;
    Walked = false;
    if (ad.HasDirection) {
        const tCellDelta d = DirectionDelta[DirectionIndex(Direction)];
        const int32_t x = CellX + d.DX, y = CellY + d.DY;
        if (push ? CanEnter(x, y) : CouldEnter(x, y)) {
            StartMoveInDirection(Direction);
            Walked = true;
        }
    }
    if (!Walked)
        Direction = previous;
}

// ---------------------------------------------------------------------------------------
// tActualPlayer

tActualPlayer::tActualPlayer()
{
    DrawLayer = 2;
    ClaimsCells = false;
}

void tActualPlayer::Draw()
{
    if (Engine && Engine->LookAheadActive)
        return;
    tPlayer::Draw();
}

void tActualPlayer::TakeTurn()
{
    tPlayer::TakeTurn();
    if (PlayerState == psAppearing) {
        CountAppearing();
        return;
    }
    if (PlayerState != psActive)
        return;
    bool drop = false;
    uint32_t action = 0;
    if (Recorder.State() == rsPlaying) {
        const int32_t v = Recorder.PlayBackValue();
        drop = (v & 1) != 0;
        action = static_cast<uint32_t>(v) >> 1;
    } else if (const tInputDevice* input = HeroInput()) {
        drop = input->IsLatched(ActionDrop);
        action = ChooseHeroAction(*input, *this);
        if (Recorder.State() == rsRecording)
            Recorder.RecordValue(static_cast<int32_t>(action * 2 + (drop ? 1 : 0)));
    }
    if (drop) {
        if (tUnit* carried = TakeCarriedUnit()) {
            carried->CellX = CellX;
            carried->CellY = CellY;
            carried->X = X;
            carried->Y = Y;
            carried->Drop();
        }
    }
    TakeStep(action, true);
}

void tActualPlayer::Move()
{
    tUnit::Move();
    ++MoveTicks;
    ++PlayerTickCount;
    if (PlayerState != psActive)
        return;
    if (Walked) {
        float t = 0;
        if (FrameByTickAnimation)
            t = static_cast<float>(TickInTurn) / static_cast<float>(2 * std::max(TicksPerTurn, 1)) + (StepParity ? 0.5f : 0.0f);
        else
            t = TurnFraction;
        ShowWalkFrame(t);
        IdleTicks = 50;
        IdleVariant = 0;
    } else {
        StandIdle(Direction);
    }
    if (InputActive(ActionRestart)) {
        FinishDying();
        AddToLevel(std::make_unique<tResetWarp>());
        if (Engine)
            Engine->PendingAction = 4;
    }
}

void tActualPlayer::DeathAnimMove()
{
    if (PlayerState == psDying) {
        ++DyingTicks;
        Sprite = &HeroSprites.Dying[static_cast<size_t>(std::min(HeroDyingFrames - 1, DyingTicks / 3))];
        if (DyingTicks >= 40)
            FinishDying();
    }
    const uint8_t mode = CurrentMode();
    if ((mode == gmDead && (InputActive(ActionDrop) || InputActive(ActionRestart))) || mode == gmDeathChoiceMade) {
        auto warp = std::make_unique<tResetWarp>();
        warp->Y += 0.2f;
        AddToLevel(std::move(warp));
    }
}

bool tActualPlayer::TryPush(tUnit*, tDirection) { return true; }
bool tActualPlayer::QueryPush(tUnit*, tDirection) { return true; }

void tActualPlayer::Reset() { ResetHero(); }

void tActualPlayer::SetDeathMode(uint8_t kind, TClass killer)
{
    if (PlayerState == psDying || PlayerState == psNone)
        return;
    DyingTicks = 0;
    DeathKind = kind;
    PlayerState = psDying;
    Killer = killer;
    PutGameMode(gmDying);
    ChooseDeathPopup(killer ? killer->ClassName : std::string());
}

// ---------------------------------------------------------------------------------------
// tFakePlayer

tFakePlayer::tFakePlayer()
{
    DrawLayer = 2;
    ClaimsCells = false;
}

void tFakePlayer::TakeTurn()
{
    if (PlayerState == psAppearing)
        CountAppearing();
}

void tFakePlayer::Move()
{
    tUnit::Move();
    ++MoveTicks;
    ++PlayerTickCount;
    if (PlayerState != psActive)
        return;
    StandIdle(Down);
    // Beside a playing hero the double is a figure of the level and the keys are the hero's.
    if (Engine && Engine->LiveInput.AnyKey && GameLevel && GameLevel->Player == this) {
        FinishDying();
        AddToLevel(std::make_unique<tResetWarp>());
        PutGameMode(gmShowScreenDone);
    }
}

bool tFakePlayer::TryPush(tUnit*, tDirection) { return false; }
bool tFakePlayer::QueryPush(tUnit*, tDirection) { return false; }

void tFakePlayer::Reset()
{
    tUnit* hero = GameLevel ? GameLevel->Player : nullptr;
    ResetHero();
    // The level's hero is the playing one whenever the level has one, whatever the order.
    if (GameLevel && hero && hero != this && hero->InheritsFrom(tActualPlayer::StaticClass()))
        GameLevel->Player = hero;
}

// ---------------------------------------------------------------------------------------
// tOOTPlayer

tOOTPlayer::tOOTPlayer()
{
    DrawLayer = 0;
    ClaimsCells = false;
}

void tOOTPlayer::TakeTurn()
{
    tPlayer::TakeTurn();
    const tInputDevice* input = HeroInput();
    const uint32_t action = input ? ChooseHeroAction(*input, *this) : 0;
    TakeStep(action, false);
    if (!Walked) {
        TargetX = CellX;
        TargetY = CellY;
    }
}

void tOOTPlayer::Move()
{
    float t = 0;
    if (FrameByTickAnimation)
        t = static_cast<float>(LookAheadTicks) / static_cast<float>(2 * std::max(LookAheadLength, 1)) + (StepParity ? 0.5f : 0.0f);
    else
        t = LookAheadProgress;
    ShowWalkFrame(t);
}

// ---------------------------------------------------------------------------------------
// Warps

tWarp::tWarp()
{
    Temporary = true;
    DrawLayer = 3;
}

void tWarp::Move()
{
    const int32_t n = WarpTicks++;
    if (n == 4)
        PlayHeroSound(Outgoing ? hsTeleportOut : hsTeleportIn);
    if (WarpTicks < WarpPictures)
        Sprite = &HeroSprites.Warp[static_cast<size_t>(Outgoing ? WarpPictures - 1 - WarpTicks : WarpTicks)];
    else
        Dead = true;
}

tResetWarp::tResetWarp()
{
    PutGameMode(gmResetWarp);
    Outgoing = true;
    if (GameLevel && GameLevel->Player) {
        X = GameLevel->Player->X;
        Y = GameLevel->Player->Y;
    }
}

void tResetWarp::Move()
{
    tWarp::Move();
    tUnit* hero = GameLevel ? GameLevel->Player : nullptr;
    if (WarpTicks > 35 && hero)
        hero->Sprite = nullptr;
    if (WarpTicks > 70 && Engine)
        Engine->ResetWarpDone = true;
}

// ---------------------------------------------------------------------------------------
// Data

namespace {

std::unique_ptr<tOOTPlayer> LookAhead;

constexpr std::array<int32_t, 4> HeroColumn = {0, 96, 32, 64};  // Up, Right, Down, Left

}  // namespace

void InitPlayerData()
{
    RegisterUnitKind("Player", tActualPlayer::StaticClass(), &HeroSprites.Walk[DirectionIndex(Down)][1]);
    RegisterUnitKind("FakePlayer", tFakePlayer::StaticClass(), &HeroSprites.FakeHero);
    LookAhead = std::make_unique<tOOTPlayer>();
    if (Engine)
        Engine->LookAheadPlayer = LookAhead.get();
}

void FreePlayerData()
{
    if (Engine && Engine->LookAheadPlayer == LookAhead.get())
        Engine->LookAheadPlayer = nullptr;
    LookAhead.reset();
}

void LoadPlayerGraphicsData()
{
    FindOrLoadDib("ZoraWalking.jpg", true);
    FindOrLoadDib("ZoraStanding.jpg", true);
    FindOrLoadDib("ZoraDying.jpg", true);
    FindOrLoadDib("BaseGfx.jpg", false);
    RegisterUnbrightenedPicture("Warp.jpg");
    tHeroSprites& s = HeroSprites;
    for (size_t d = 0; d < 4; ++d) {
        CutSpriteRun(s.Walk[d], HeroWalkFrames, "ZoraWalking.jpg", HeroColumn[d], 0, 0, 64, 32, 64, 16, 34);
        CutSpriteRun(s.Stand[d], HeroStandVariants, "ZoraStanding.jpg", HeroColumn[d], 0, 0, 64, 32, 64, 16, 34);
    }
    CutSpriteRun(s.Dying, HeroDyingFrames, "ZoraDying.jpg", 0, 0, 0, 40, 40, 40, 20, 22);
    CutSpriteRun(s.Warp, WarpPictures, "Warp.jpg", 0, 0, 0, 30, 66, 30, 33, 15, dmAdditive);
    CutSprite(s.FakeHero, "ZoraWalking.jpg", 32, 64, 32, 64, 16, 32, dmAdditive);
}

void FreePlayerGraphicsData()
{
    tHeroSprites& s = HeroSprites;
    DetachSprites(s.Walk);
    DetachSprites(s.Stand);
    DetachSprites(s.Dying);
    DetachSprites(s.Warp);
    DetachSprite(s.FakeHero);
}

void LoadPlayerSoundData() { LoadHeroSamples(); }
void FreePlayerSoundData() { FreeHeroSamples(); }
