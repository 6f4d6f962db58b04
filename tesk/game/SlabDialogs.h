#pragma once
// The slab menus: the option, video, sound, extras, instruction and credit pages drawn
// on slab pictures over the dimmed game, the save-slot pickers, and the eight menu
// samples every menu, pop-up and dialog plays.
#include "tesk/game/GameSound.h"
#include "tesk/toolkit/Dib16.h"

// The menu samples. They exist for the whole run; loading fills them and an empty one
// plays nothing, so callers never test them.
extern tGameSample MenuMoveSound;
extern tGameSample MenuMouseMoveSound;
extern tGameSample MenuSelectSound;
extern tGameSample MenuCloseSound;
extern tGameSample SliderSound;
extern tGameSample InvalidOptionSound;
extern tGameSample MainMenuOpenSound;
extern tGameSample MainMenuCloseSound;

// The main menu's slab picture ("Menu_Main.Jpg"), drawn by the main-menu painter.
extern tSprite MainMenuSlab;

// Zeroes the pages' highlights (on every change into a menu mode).
void ResetSlabHighlights();
// Frees the page pictures loaded on use (when a menu closes).
void UnloadSlabImages();

// Painters of the slab modes.
void DrawOptionsSlab();
void DrawVideoSlab();
void DrawAdvancedVideoSlab();
void DrawSoundSlab();
void DrawAdvancedSoundSlab();
void DrawSpareSlabA();
void DrawSpareSlabB();
void DrawExtrasSlab();
void DrawInstructionsSlab();
void DrawCreditsSlab();
void DrawHighScoresSlab();
void DrawLoadGameSlab();
void DrawSaveGameSlab();

void InitSlabDialogs();
void DoneSlabDialogs();
void LoadSlabDialogGraphicsData();
void FreeSlabDialogGraphicsData();
void LoadSlabDialogSoundData();
void FreeSlabDialogSoundData();
