#pragma once
// The game engine: the one object that runs the game. The main window calls Step once
// per timer tick and DrawFrame once per frame; a single mode byte (GameMode) selects what
// a tick does and what a frame shows, with a small stack of modes so that a menu opened
// over a running game returns to the mode it interrupted. The engine owns the level, the
// level set with its progress, the music module and the three input devices, and holds
// the turn timing, the early move, the playfield drawing and the solution recorder's
// hot-words.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/StringList.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/Inputs.h"
#include "tesk/game/Levels.h"
#include "tesk/toolkit/Dib16.h"

class TPaintBox;
class TCanvas;

// Game modes.
constexpr uint8_t gmNone = 0;
constexpr uint8_t gmExitProgram = 1;
constexpr uint8_t gmPlaying = 2;
constexpr uint8_t gmEditing = 3;
constexpr uint8_t gmDying = 4;
constexpr uint8_t gmTransition = 5;
constexpr uint8_t gmVideo = 6;
constexpr uint8_t gmLevelStart = 7;
constexpr uint8_t gmVideoMissing = 8;
constexpr uint8_t gmDead = 9;
constexpr uint8_t gmLevelEnd = 10;
constexpr uint8_t gmSetCompleted = 11;
constexpr uint8_t gmDeathChoiceMade = 12;
constexpr uint8_t gmMainMenu = 13;
constexpr uint8_t gmResetWarp = 14;
constexpr uint8_t gmLoadGame = 15;
constexpr uint8_t gmSaveGame = 16;
constexpr uint8_t gmOptions = 17;
constexpr uint8_t gmVideoOptions = 18;
constexpr uint8_t gmAdvancedVideoOptions = 19;
constexpr uint8_t gmSoundOptions = 20;
constexpr uint8_t gmAdvancedSoundOptions = 21;
constexpr uint8_t gmSpareSlabA = 22;
constexpr uint8_t gmSpareSlabB = 23;
constexpr uint8_t gmExtrasMenu = 24;
constexpr uint8_t gmInstructions = 25;
constexpr uint8_t gmCredits = 26;
constexpr uint8_t gmHighScores = 27;
constexpr uint8_t gmUnused28 = 28;
constexpr uint8_t gmLevelPick = 29;
constexpr uint8_t gmNextUnsolvedLevel = 30;
constexpr uint8_t gmUnused31 = 31;
constexpr uint8_t gmShowScreenDone = 32;
constexpr uint8_t gmSolvedPopup = 33;
constexpr uint8_t gmPartiallySolvedPopup = 34;
constexpr uint8_t gmDeathPopup = 35;

// The menu modes: the main menu (13), the slab pages and pickers (15..27) and the three
// pop-ups (33..35). They are painted over the dimmed snapshot and handle action 8 themselves
// (all but 13).
bool IsMenuMode(uint8_t mode);
// The slab pages, pickers and pop-ups (15..27, 33..35).
bool IsSlabOrPopupMode(uint8_t mode);

// The death pop-up's choice (PendingAction).
constexpr uint8_t paMenu = 3;
constexpr uint8_t paTryAgain = 4;
constexpr uint8_t paLevelPick = 5;

// Entry statuses of a level set.
constexpr int32_t lsUnsolved = 0;
constexpr int32_t lsPartiallySolved = 1;
constexpr int32_t lsSolved = 2;

constexpr int32_t ModeStackLimit = 11;
constexpr int32_t FrameWidth = 640;
constexpr int32_t FrameHeight = 480;

class tGameEngine {
public:
    tGameEngine();
    ~tGameEngine();
    tGameEngine(const tGameEngine&) = delete;
    tGameEngine& operator=(const tGameEngine&) = delete;

    // ---- fields, all public but the edit mode: the shell, the screens, the units and
    // the editor use them
    // The editor edits the level: units are shown and found at their initial cells.
    // SetEditMode alone changes it.
    bool EditMode() const { return FEditMode; }
    std::string LevelFileName;
    std::array<uint8_t, 12> ModeStack{};
    int32_t ModeStackDepth = 0;
    uint8_t GameMode = gmNone;
    int32_t TransitionFrame = 0;
    std::unique_ptr<tDib16> TransitionDib;
    int32_t LevelStartTicks = 0;
    std::unique_ptr<tDib16> LevelStartDib;
    uint8_t TransitionTarget = 0;
    std::string LevelSetName;
    std::unique_ptr<tDib16> CursorSaveDib;
    int32_t CursorSaveX = 0;
    int32_t CursorSaveY = 0;
    bool InputAllowed = false;
    bool CursorDrawn = false;
    int32_t MouseX = 0;
    int32_t MouseY = 0;
    bool MouseMoved = false;
    uint8_t SliderDrag = 0;
    bool TurnBegan = false;
    std::string SpeedMessage;
    uint8_t PendingAction = 0;
    tUnit* LookAheadPlayer = nullptr;  // not owned
    int32_t SpeedMessageTicks = 0;
    bool WebLinkRequested = false;
    bool PreDrawingBackground = false;
    std::array<int32_t, 6> MenuItemGlow{};
    uint8_t MenuItem = 0;
    int32_t TickCount = 0;
    int32_t TurnCount = 0;
    int32_t LevelTicks = 0;
    int32_t FrameCount = 0;
    int32_t DeadTicks = 0;
    bool ResetWarpDone = false;
    int32_t FrameTicks = 0;
    tDib16* BackgroundDib = nullptr;  // in the image registry
    std::unique_ptr<tDib16> OverlaySnapshotDib;
    tLevel Level;
    std::unique_ptr<tGameModule> MusicModule;
    TStringList LevelSet;     // entry lines; the status of each is its object value
    TStringList LevelTitles;  // one title per entry
    bool ShowSolid = false;
    bool EditorVisible = false;
    tSprite* CursorUnitSprite = nullptr;  // not owned
    int32_t MouseCellX = -1;
    int32_t MouseCellY = -1;
    tInputDevice* Input = nullptr;  // one of the three below
    tInputDevice LiveInput;
    tInputDevice PreviousInput;
    tInputDevice PreviousInput2;
    bool AcceptInput = false;
    int32_t EntryIndex = 0;
    bool FullRedraw = false;
    std::string VideoFileName;
    bool GameRunning = false;
    bool RestartRequested = false;
    std::string MusicName;
    bool ShowLookAheadDiagnostics = false;
    bool LookAheadActive = false;
    // The set was already complete when it was loaded.
    bool SetCompletedBefore = false;

    // ---- modes, overlays, step and frame
    void SetGameMode(uint8_t m);
    void PushGameMode();
    void PopGameMode();
    void StartTransition(uint8_t target);
    void BeginOverlay();
    void OpenMenu();
    void BeginPopup();
    void EndOverlay();
    void CloseMenu();
    void EndPopup();
    void Step();
    void DrawFrame();
    tUnit* UnitAtCell(int32_t x, int32_t y) const;
    void SetEditMode(bool on);
    void TransitionStep();

    // ---- mode handlers and painters of the screens
    void MainMenuStep();
    void DeathPopupStep();
    void LevelResultPopupStep();
    void DrawMainMenu();
    void OptionsMenuStep();
    void VideoOptionsStep();
    void AdvancedVideoOptionsStep();
    void SoundOptionsStep();
    void AdvancedSoundOptionsStep();
    void ExtrasMenuStep();
    void InstructionsStep();
    void CreditsStep();
    void HighScoresStep();
    void LoadGameStep();
    void SaveGameStep();

    // ---- turn loop, speed and early move
    // The turn timing of a tick in modes 2 and 4 (part of Step).
    void RunTurnTiming();
    void RunTurnTick();
    void TakeTurns();
    void HandleSpeedKeys();
    void StartLookAheadMove();
    void DrawSpeedMessage();
    // The editor's look-ahead dial on OOTDiagnosticsBox (nothing while it is null).
    void DrawLookAheadDiagnostics();

    // ---- level loading, level start and drawing
    void LoadLevel(const std::string& name);
    void NewLevel();
    void LoadLevelGraphics();
    void SetMusic(const std::string& name);
    void SetBackground(const std::string& name);
    void RestartLevel(bool withTransition);
    void RestartLevelWithMusic();
    void LevelStartStep();
    void DrawLevelStart();
    void DrawGameScreen();
    void RedrawAll();
    void CopyBackground();
    void RestoreBackground();
    void DrawPlayfield();
    void DrawEditorCursor();
    void UpdateMousePosition();
    void DrawMouseCursor();
    void EraseMouseCursor();

    // ---- level sets, progress, level end and solutions
    void LoadLevelSet(const std::string& name);
    void ReadLevelTitles();
    void LoadProgress();
    void SaveProgress();
    void ClearProgress();
    int32_t GetLevelStatus(int32_t i) const;
    void SetLevelStatus(int32_t i, int32_t status);
    void RecordLevelResult();
    bool AllLevelsSolved() const;
    bool IsLevelEntry(int32_t i) const;
    bool IsDummyLevelEntry(int32_t i) const;
    void StartCurrentEntry();
    void StartSetEntry(const std::string& line);
    void StartLevelFile(const std::string& file);
    void NextSetEntry();
    void NextUnsolvedEntry();
    void GoToSetEntry(int32_t i);
    void LevelEndStep();
    void StartSolutionRecording();
    void PlaySolution();

    // The progress file's path: the program folder, the set name up to its last "." and
    // ".Progress".
    std::string ProgressFileName() const;
    // The background picture is set, still registered and loaded.
    bool BackgroundLoaded() const;

private:
    bool FEditMode = false;
};

// The one engine (created and freed by the main window).
extern tGameEngine* Engine;

// ---- turn-timing globals (PlayfieldX and TicksPerTurn are in Units.h)
extern int32_t SpeedOffset;
extern int32_t TickInTurn;
extern float TurnFraction;
extern float PreviousTurnFraction;
extern int32_t LookAheadTicks;
extern int32_t LookAheadLength;
extern float LookAheadProgress;
extern int32_t LookAheadFromX;
extern int32_t LookAheadFromY;
extern int32_t LookAheadToX;
extern int32_t LookAheadToY;
extern bool LookAheadEnabled;
constexpr uint16_t TurnActions = 0x0E7C;
constexpr uint16_t AllActions = 0x3FFF;

// The editor's look-ahead page paint box; null until the editor sets it.
extern TPaintBox* OOTDiagnosticsBox;
// The editor's marking colour (0x00BBGGRR).
extern int32_t EditorCursorColor;
// The main menu's six captions.
extern std::array<std::string, 6> MainMenuItems;
// The selected item of the death pop-up (0..2) and of the level-result pop-ups (0..3);
// each keeps its value from one showing to the next.
extern uint8_t DeathItemSelection;
extern uint8_t ResultItemSelection;

// Four 24 x 24 boxes round (x, y) showing the arrow actions of a device: filled with
// heldColor while held, notHeldColor otherwise, outlined white while latched, black
// otherwise (colours 0x00BBGGRR).
void DrawArrowKeyState(TCanvas& canvas, const tInputDevice& device, int32_t x, int32_t y, int32_t heldColor,
                       int32_t notHeldColor);

// The level number caption of an entry: 3 characters, "  1", " 54"; in "Gromble.set"
// entries from 54 on are " B1", " B2", ...
std::string LevelNumberCaption(const std::string& setName, int32_t entryIndex);

// A file name from data or the editor that stays inside the data folders: not absolute
// (no leading "\" or "/", no drive letter) and without a ".." component.
bool IsContainedDataName(const std::string& name);
// The solution file of a level: "Solutions\" + the level name up to its last "." +
// ".Solution".
std::string SolutionFileName(const std::string& levelName);

// True while an engine step, a frame, a level-set load or an entry start runs: the main
// window defers rebuilds and closing meanwhile.
bool EngineBusy();
class tEngineBusyScope {
public:
    tEngineBusyScope();
    ~tEngineBusyScope();
    tEngineBusyScope(const tEngineBusyScope&) = delete;
    tEngineBusyScope& operator=(const tEngineBusyScope&) = delete;
};

// The entry given by TP_START_ENTRY (decimal, 0 or more); -1 when unset or not such a
// number. The shell starts that entry in place of opening the menu (tests and tools).
int32_t TestStartEntry();
