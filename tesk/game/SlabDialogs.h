#pragma once
// The slab menus: the option, video, sound, extras, instruction and credit pages drawn
// on slab pictures over the dimmed game, the save-slot pickers, and the eight menu
// samples every menu, pop-up and dialog plays.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

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
// The pages' slab pictures (loaded on their first draw) and the slider knob.
extern tSprite OptionsSlab;
extern tSprite SoundSlab;
extern tSprite AdvancedSoundSlab;
extern tSprite VideoSlab;
extern tSprite AdvancedVideoSlab;
extern tSprite CreditsSlab;
extern tSprite SliderKnob;

// ---- page state: selections and highlight levels (0..1) persist from one visit to the
// next, except where entering a page resets them.
extern uint8_t OptionsSelection;
extern uint8_t SoundSelection;
extern uint8_t AdvancedSoundSelection;
extern uint8_t VideoSelection;
extern uint8_t AdvancedVideoSelection;
extern uint8_t ExtrasSelection;
extern std::array<float, 4> OptionsLevels;
extern std::array<float, 6> SoundLevels;
extern std::array<float, 3> AdvancedSoundLevels;
extern std::array<float, 6> VideoLevels;
extern std::array<float, 3> AdvancedVideoLevels;
extern std::array<float, 3> ExtrasLevels;

// The glows of an on/off choice's two words ("ON"/"YES" and "OFF"/"NO"): the word that
// matches the value brightens, the other fades.
struct tChoiceGlow {
    float On = 0;
    float Off = 0;
};
extern tChoiceGlow DialogsGlow;
extern tChoiceGlow SoundOnGlow;
extern tChoiceGlow MusicOnGlow;
extern tChoiceGlow AnimateWaterGlow;
extern tChoiceGlow FullScreenGlow;
extern tChoiceGlow SystemMemoryGlow;
extern tChoiceGlow BitBltGlow;

// The video choices being edited; they reach the settings through "APPLY CHANGES".
extern float PendingBrightness;
extern bool PendingAnimateWater;
extern bool PendingFullScreen;
extern bool PendingSystemMemoryBackBuffer;
extern bool PendingBitBlt;
extern bool VideoChanged;
extern int32_t ApplyPulseCounter;
extern float ApplyPulse;

// The sound output (0 none, 1 WaveOut, 2 DirectSound) and driver being chosen, the ones
// the name strips roll away from, and the rolls' progress (1 just changed, 0 settled).
extern uint8_t PendingSoundDevice;
extern uint8_t PreviousSoundDevice;
extern int32_t PendingSoundDriver;
extern int32_t PreviousSoundDriver;
extern float DeviceRoll;
extern float DriverRoll;

// The instruction page shown (1 or 2) and the glows of its buttons: the page-1 button,
// then buttons A and B of page 2 (0..0.95).
extern int32_t InstructionsPage;
extern std::array<float, 3> InstructionButtonGlows;
// Ticks since the credits page opened.
extern int32_t CreditsScroll;
// The extras menu's items.
extern const std::array<std::string, 3> ExtrasMenuItems;

// The sound-output names picture (354 x 87, one 29-row strip per output) and each
// output's driver-names picture (354 x 29 per name, at least one strip). Made by
// GenerateSoundTextDib; nullptr until then.
extern std::unique_ptr<tDib16> OutputNamesDib;
extern std::array<std::unique_ptr<tDib16>, 3> DriverNamesDibs;
// The fill of the name pictures wherever no letter lies: RGBToPixel(105, 76, 27).
uint16_t NameStripFill();

// Zeroes the highlights of the options, sound, advanced sound, video and advanced video
// pages (on every change into a menu mode).
void ResetSlabHighlights();
// Frees the page pictures loaded on use (when a menu closes); they load again on their
// next draw. Safe to call any number of times.
void UnloadSlabImages();
// The pending video choices differ from the settings.
bool VideoSettingsChanged();
// The brightness knob's step, 0..10, for any brightness (out of range and NaN included).
int32_t BrightnessKnob(float brightness);
// Draws a 29-row strip rolling from one name to another: fraction 1 shows the old name,
// 0 the new one; between, the old slides out one way on odd rows and the other way on
// even rows while the new one slides in. Rows outside a picture count as blank.
void DrawChoiceRoll(tDib16& oldPicture, int32_t oldY, tDib16& newPicture, int32_t newY, float fraction,
                    int32_t x, int32_t y);
// Draws the output and driver names in the menu font into their pictures.
void GenerateSoundTextDib();
// The band of "Credits.jpg" that the scroll counter shows in the credits window; once
// the picture has passed the window the scroll starts again.
void DrawCreditsBand();
// Darkens the credits window's top and bottom 16 rows, the outermost the most.
void FadeCreditsEdges();

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

// ---- save slots and high scores

constexpr int32_t SaveSlotCount = 8;
constexpr size_t SlotDescriptionLength = 80;
constexpr size_t SlotEpisodeLength = 40;

struct tSaveSlot {
    bool Empty = false;       // loading it is refused, saving it raises
    std::string Description;  // at most 80 characters
    std::string Episode;      // level-set name, at most 40 characters
    int32_t EpisodeIndex = 0; // entry of that set
    int32_t Score = 0;
    int32_t Room = 0;
    int32_t Bonus = 0;
};
// The table of slots (zeroed at start: nothing reads slot files back).
extern std::array<tSaveSlot, SaveSlotCount> SaveSlots;

struct tHighScore {
    std::string Name;
    int32_t Score = 0;
};
// Best first.
extern std::array<tHighScore, 8> HighScores;

// The pickers' state: the selected slot, the slot whose description is being typed (-1:
// none), the caret's blink counter (0..47), the text typed so far and the slots' glows.
extern int32_t SlotSelection;
extern int32_t EditSlot;
extern int32_t SlotCaretTicks;
extern std::string SlotDescriptionEdit;
extern std::array<float, SaveSlotCount> SlotLevels;

// "Save\Slot<index + 1>.sav" in the program folder.
std::string SaveSlotFileName(int32_t index);
// The slot file's text: six CR LF lines, Room, Score, Bonus, Description, Episode and
// EpisodeIndex.
std::string SaveSlotText(const tSaveSlot& slot);
// Writes the slot file of the table's slot: the text's length (int32, little-endian),
// then the text compressed as a zlib stream. A slot marked Empty raises "SaveSlot:
// Bugger!" and writes nothing; an index outside 0..7 raises as well. A missing "Save"
// folder is created; an existing file is replaced only once the new one is complete.
void SaveSlot(int32_t index);
// The same for a record that is not in the table yet.
void SaveSlotRecord(int32_t index, const tSaveSlot& slot);
