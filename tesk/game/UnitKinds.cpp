#include "tesk/game/Units.h"

TP_CLASS_INFO(tBoulder, tPlayerAwareUnit)
TP_CLASS_INFO(tWater, tUnit)
TP_CLASS_INFO(tDirt, tPlayerAwareUnit)
TP_CLASS_INFO(tKey, tPlayerAwareUnit)
TP_CLASS_INFO(tJewel, tPlayerAwareUnit)
TP_CLASS_INFO(tExit, tPlayerAwareUnit)
TP_CLASS_INFO(tSnake, tPlayerAwareUnit)
TP_CLASS_INFO(tSpider, tPlayerAwareUnit)
TP_CLASS_INFO(tCherryBomb, tPlayerAwareUnit)
TP_CLASS_INFO(tInfo, tPlayerAwareUnit)

void InitUnitData() {}
void FreeUnitData() {}
void LoadUnitGraphicsData() {}
void FreeUnitGraphicsData() {}
void LoadUnitSoundData() {}
void FreeUnitSoundData() {}
