#pragma once
// The end-of-level and death pop-ups: the framed pictures drawn over the frozen game,
// the choice of the death picture by the killer, and the three painters.
#include <array>
#include <string>

#include "tesk/toolkit/Dib16.h"

// Chooses the death picture for the killer's class name ("tSnake", "tSpider",
// "tCherryBomb", anything else; compared ignoring case): six times in ten a general
// picture whatever the killer, otherwise one of the killer's own when it has them.
// Called by the hero when it dies.
void ChooseDeathPopup(const std::string& killerClassName);
// Zeroes the pop-ups' item highlights (on every change into a menu mode).
void ResetEndOfLevelPopupHighlights();
// The painters of modes 35, 33 and 34, drawing into CurrentDib centred on it. A picture
// not chosen yet (null) leaves the base and the items alone on screen.
void DrawDeathPopup();
void DrawSolvedPopup();
void DrawPartiallySolvedPopup();

// The framed bases: small (402 x 304) under the death picture, large (426 x 356) under
// the result pictures.
extern tSprite SmallPopupBase;
extern tSprite LargePopupBase;
// The death pictures (402 x 144, masked by "PopUpTop_Death.bmp"): picture n of a kind is
// element n - 1 ("Popup_GeneralDeath1.Jpg" is GeneralDeath[0]).
extern std::array<tSprite, 6> GeneralDeath;
extern std::array<tSprite, 3> SnakeDeath;
extern std::array<tSprite, 3> SpiderDeath;
extern std::array<tSprite, 3> BombDeath;
// The death picture ChooseDeathPopup chose; null before the first death.
extern tSprite* CurrentDeathPopup;

// The level-result picture the engine chose at the level end: SolvedPicture or
// PartiallySolvedPicture.
extern tSprite* CurrentResultPopup;
// The two result pictures (426 x 160, masked by "PopupTop_LevelCompleted.bmp"); they
// exist for the whole run and the loader sets their frames.
extern tSprite SolvedPicture;
extern tSprite PartiallySolvedPicture;

// The items' highlight levels (0..1), driven by the pop-ups' handlers; the painters draw
// item i with the font glow round(level x 29).
extern std::array<float, 3> DeathItemGlow;
extern std::array<float, 4> ResultItemGlow;

// Registers every pop-up picture for loading on its first draw and makes the sprites.
void LoadEndOfLevelPopupsGraphicsData();
void FreeEndOfLevelPopupsGraphicsData();
