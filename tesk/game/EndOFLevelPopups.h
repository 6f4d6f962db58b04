#pragma once
// The end-of-level and death pop-ups: the framed pictures drawn over the frozen game,
// the choice of the death picture by the killer, and the three painters.
#include <string>

#include "tesk/toolkit/Dib16.h"

// Chooses the death picture for the killer's class name ("tSnake", "tSpider",
// "tCherryBomb", anything else). Called by the hero when it dies.
void ChooseDeathPopup(const std::string& killerClassName);
// Zeroes the pop-ups' item highlights (on every change into a menu mode).
void ResetEndOfLevelPopupHighlights();
void DrawDeathPopup();
void DrawSolvedPopup();
void DrawPartiallySolvedPopup();

// The level-result picture the engine chose at the level end: SolvedPicture or
// PartiallySolvedPicture.
extern tSprite* CurrentResultPopup;
// The two result pictures; they exist for the whole run and the loader sets their frames.
extern tSprite SolvedPicture;
extern tSprite PartiallySolvedPicture;

void LoadEndOfLevelPopupsGraphicsData();
void FreeEndOfLevelPopupsGraphicsData();
