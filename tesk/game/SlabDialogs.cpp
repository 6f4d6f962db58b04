#include "tesk/game/SlabDialogs.h"

#include "tesk/game/GameEngine.h"

tGameSample MenuMoveSound;
tGameSample MenuMouseMoveSound;
tGameSample MenuSelectSound;
tGameSample MenuCloseSound;
tGameSample SliderSound;
tGameSample InvalidOptionSound;
tGameSample MainMenuOpenSound;
tGameSample MainMenuCloseSound;
tSprite MainMenuSlab;

void ResetSlabHighlights() {}
void UnloadSlabImages() {}

void DrawOptionsSlab() {}
void DrawVideoSlab() {}
void DrawAdvancedVideoSlab() {}
void DrawSoundSlab() {}
void DrawAdvancedSoundSlab() {}
void DrawSpareSlabA() {}
void DrawSpareSlabB() {}
void DrawExtrasSlab() {}
void DrawInstructionsSlab() {}
void DrawCreditsSlab() {}
void DrawHighScoresSlab() {}
void DrawLoadGameSlab() {}
void DrawSaveGameSlab() {}

void InitSlabDialogs() {}
void DoneSlabDialogs() {}
void LoadSlabDialogGraphicsData() {}
void FreeSlabDialogGraphicsData() {}
void LoadSlabDialogSoundData() {}
void FreeSlabDialogSoundData() {}

// The page handlers and slot pickers of the engine.
void tGameEngine::OptionsMenuStep() {}
void tGameEngine::VideoOptionsStep() {}
void tGameEngine::AdvancedVideoOptionsStep() {}
void tGameEngine::SoundOptionsStep() {}
void tGameEngine::AdvancedSoundOptionsStep() {}
void tGameEngine::ExtrasMenuStep() {}
void tGameEngine::InstructionsStep() {}
void tGameEngine::CreditsStep() {}
void tGameEngine::HighScoresStep() {}
void tGameEngine::LoadGameStep() {}
void tGameEngine::SaveGameStep() {}
