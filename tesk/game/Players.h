#pragma once
// The hero: tPlayer, the base of the playable hero (tActualPlayer), the show-screen
// double (tFakePlayer) and the look-ahead copy the engine's early move uses (tOOTPlayer).
#include <cstdint>

#include "tesk/game/Units.h"

class tPlayer : public tUnit {
    TP_CLASS(tPlayer)
public:
    // Starts dying: kind 0 fire or bomb, 1 spider; killer is the class of the killing kind.
    virtual void SetDeathMode(uint8_t kind, TClass killer) = 0;
    bool IsAt(int32_t x, int32_t y) const { return CellX == x && CellY == y; }
    bool HasVisited(int32_t x, int32_t y) const;
    // Ends the dying animation: the engine enters gmDead.
    void FinishDying();
};

class tActualPlayer : public tPlayer {
    TP_CLASS(tActualPlayer)
public:
    void SetDeathMode(uint8_t kind, TClass killer) override;
};

class tFakePlayer : public tPlayer {
    TP_CLASS(tFakePlayer)
public:
    void SetDeathMode(uint8_t kind, TClass killer) override;
};

class tOOTPlayer : public tPlayer {
    TP_CLASS(tOOTPlayer)
public:
    void SetDeathMode(uint8_t kind, TClass killer) override;
};

// Hero frames follow the ticks (true) or the hero's own draws; the shell toggles it.
extern bool FrameByTickAnimation;

void InitPlayerData();
void FreePlayerData();
void LoadPlayerGraphicsData();
void FreePlayerGraphicsData();
void LoadPlayerSoundData();
void FreePlayerSoundData();
