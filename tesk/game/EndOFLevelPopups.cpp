#include "tesk/game/EndOFLevelPopups.h"

tSprite* CurrentResultPopup = nullptr;
tSprite SolvedPicture;
tSprite PartiallySolvedPicture;

void ChooseDeathPopup(const std::string&) {}
void ResetEndOfLevelPopupHighlights() {}
void DrawDeathPopup() {}
void DrawSolvedPopup() {}
void DrawPartiallySolvedPopup() {}

void LoadEndOfLevelPopupsGraphicsData() {}
void FreeEndOfLevelPopupsGraphicsData() {}
