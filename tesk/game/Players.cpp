#include "tesk/game/Players.h"

bool FrameByTickAnimation = true;

TP_CLASS_INFO(tPlayer, tUnit)
TP_CLASS_INFO(tActualPlayer, tPlayer)
TP_CLASS_INFO(tFakePlayer, tPlayer)
TP_CLASS_INFO(tOOTPlayer, tPlayer)

bool tPlayer::HasVisited(int32_t, int32_t) const
{
    return false;
}

void tPlayer::FinishDying() {}

void tActualPlayer::SetDeathMode(uint8_t, TClass) {}
void tFakePlayer::SetDeathMode(uint8_t, TClass) {}
void tOOTPlayer::SetDeathMode(uint8_t, TClass) {}

void InitPlayerData() {}
void FreePlayerData() {}
void LoadPlayerGraphicsData() {}
void FreePlayerGraphicsData() {}
void LoadPlayerSoundData() {}
void FreePlayerSoundData() {}
