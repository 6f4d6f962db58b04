#pragma once
// The hero and the warps.
//
// Four classes share the base tPlayer: tActualPlayer, the hero the player steers (by the
// engine's input device, or by the recorder while a solution plays back); tFakePlayer, a
// hero double for show screens that never moves and ends the screen on any key; and
// tOOTPlayer, the look-ahead copy with which the engine starts the hero's next step
// early. tWarp is the teleport shown when the hero arrives, tResetWarp the outgoing one
// that ends a life or restarts the level.
#include <array>
#include <cstdint>

#include "tesk/game/Levels.h"
#include "tesk/game/Units.h"

class tInputDevice;

enum tPlayerState : uint8_t { psNone, psDying, psAppearing, psActive };

class tPlayer : public tUnit {
    TP_CLASS(tPlayer)
public:
    void Draw() override;
    void TakeTurn() override;
    void Reset() override;
    // Starts the hero's death by a unit of class `killer`; kind 0 fire or bomb, 1 spider.
    virtual void SetDeathMode(uint8_t kind, TClass killer) = 0;

    bool IsAt(int32_t x, int32_t y) const { return CellX == x && CellY == y; }
    // Whether the hero has stood on the cell since the level (re)started; false outside
    // the grid.
    bool HasVisited(int32_t x, int32_t y) const;
    // The end of a death: no state, and the engine enters gmDead.
    void FinishDying();

    int32_t AppearTurns = 0;
    std::array<uint8_t, LevelCells> Visited{};
    bool StepParity = false;
    int32_t DyingTicks = 0;
    uint8_t DeathKind = 0;
    int32_t MoveTicks = 0;
    bool Walked = false;
    tPlayerState PlayerState = psNone;
    TClass Killer = nullptr;
    int32_t IdleVariant = 0;
    int32_t IdleTicks = 0;

protected:
    tPlayer();
    // The appearing countdown of a turn: after AppearTurns turns the hero becomes active.
    void CountAppearing();
    // The standing picture facing `facing`, with a new idle variant now and then.
    void StandIdle(tDirection facing);
    // The walk picture for the step's progress t (0..1 over the step).
    void ShowWalkFrame(float t);
    // A hero's common reset: every field cleared, the level's hero, and (outside the
    // editor) a warp to appear from.
    void ResetHero();
    // The hero's decision steps after the action is chosen; `push` decides whether the
    // step may push (CanEnter) or only asks (CouldEnter).
    void TakeStep(uint32_t action, bool push);
};

// The hero the player steers.
class tActualPlayer : public tPlayer {
    TP_CLASS(tActualPlayer)
public:
    tActualPlayer();
    void Draw() override;
    void Move() override;
    void DeathAnimMove() override;
    void TakeTurn() override;
    bool TryPush(tUnit* pusher, tDirection direction) override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    void Reset() override;
    void SetDeathMode(uint8_t kind, TClass killer) override;
};

// The hero double of show screens.
class tFakePlayer : public tPlayer {
    TP_CLASS(tFakePlayer)
public:
    tFakePlayer();
    void Move() override;
    void TakeTurn() override;
    bool TryPush(tUnit* pusher, tDirection direction) override;
    bool QueryPush(tUnit* pusher, tDirection direction) override;
    bool WillInteractWithThePlayerNextTurn() override { return true; }
    void Reset() override;
    void SetDeathMode(uint8_t, TClass) override {}
};

// The look-ahead copy: decides the move the hero would make, without pushing anything.
class tOOTPlayer : public tPlayer {
    TP_CLASS(tOOTPlayer)
public:
    tOOTPlayer();
    void Move() override;
    void TakeTurn() override;
    void SetDeathMode(uint8_t, TClass) override {}
};

// The teleport picture of an arriving hero (outgoing: frames backwards).
class tWarp : public tUnit {
    TP_CLASS(tWarp)
public:
    tWarp();
    void Move() override;
    void DeathAnimMove() override { Move(); }
    bool WillInteractWithThePlayerNextTurn() override { return true; }

    int32_t WarpTicks = 0;
    bool Outgoing = false;
};

// The outgoing teleport that ends a life or restarts the level: it switches the engine
// to gmResetWarp, hides the hero half-way and signals the engine when it has played.
class tResetWarp : public tWarp {
    TP_CLASS(tResetWarp)
public:
    tResetWarp();
    void Move() override;
};

// Whether a unit is a hero (a tPlayer or a descendant).
bool IsHeroUnit(const tUnit* unit);

// Hero Move calls and hero draws since the last reset.
extern int32_t PlayerTickCount;
extern int32_t PlayerFrameCount;
// The walk animation runs by ticks (half the cycle per step) rather than by the turn
// fraction; chosen when the hero becomes active.
extern bool FrameByTickAnimation;

// The arrow-key arbitration of a device into one action: 2 Up, 3 Down, 4 Left, 5 Right,
// or another active action, or 0.
uint32_t ChooseHeroAction(const tInputDevice& device, tUnit& hero);
// The direction of an action, and whether it has one (2 Up, 3 Down, 4 Left, 5 Right).
struct tActionDirection {
    tDirection Direction = Down;
    bool HasDirection = false;
};
tActionDirection ActionDirection(uint32_t action);

void InitPlayerData();
void FreePlayerData();
void LoadPlayerGraphicsData();
void FreePlayerGraphicsData();
void LoadPlayerSoundData();
void FreePlayerSoundData();
