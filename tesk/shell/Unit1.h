#pragma once
// The main window of Tesk. It owns the game engine and the 640 x 480 frame buffer, brings
// sound, display and graphics up (SetUpEverything) and down (ShutDownEverything) in one of
// the four display types, runs the game's loop from its multimedia timer, routes keyboard
// and mouse to the engine's live input device (or edits the level for the editor), and
// handles the program's private window messages, which rebuild display or sound.
#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/MMTimer.h"

class tGameEngine;
class TColorButton;
class TImgBtn;
class TMediaPlayer;

// Private messages of the main window (wParam as stated, lParam 0); WM_SETDISPLAYTYPE,
// WM_RELOADDATA and WM_REINITAUDIO come with the graphics layer.
constexpr UINT WM_STARTUP = 0x7818;
constexpr UINT WM_CLOSEGAME = 0x7819; // closes the main window
// Frees the media players whose video has ended (posted by their notification).
constexpr UINT WM_FREEPLAYERS = 0x781A;

// Display types: windowed or full screen, through DirectDraw surfaces or a plain bitmap.
constexpr uint8_t dtWindowedDirectDraw = 0;
constexpr uint8_t dtWindowedBitmap = 1;
constexpr uint8_t dtFullScreenDirectDraw = 2;
constexpr uint8_t dtFullScreenBitmap = 3;

// The display type the settings BitBlt and FullScreen give.
uint8_t ChooseDisplayType();

class TForm1 : public TForm {
public:
    TForm1();
    ~TForm1() override;

    // ---- layout
    TPaintBox* PaintBox2 = nullptr;   // the drawing surface, filling the client area
    TPanel* VideoPanel = nullptr;     // where videos play (hidden)
    TPaintBox* PaintBox1 = nullptr;   // fills the video panel
    TMMTimer* MMTimer1 = nullptr;     // the game's loop: 20 ms, off until set-up

    // ---- state
    uint8_t DisplayType = 0;
    uint8_t ActiveDisplayType = 1;  // the type the display was last set up with
    std::unique_ptr<tDib16> FrameBuffer;
    bool DirectDrawReady = false;
    bool SettingUp = false;
    bool ShuttingDown = false;
    bool SetUpDone = false;
    bool ReinitialisingAudio = false;
    bool Desktop16 = false;
    bool ForceExclusive = true;
    // The window's frame position for a windowed display: where the window was when it
    // last left one (for full screen, or a rebuild), so that it comes back there.
    int SavedLeft = 0;
    int SavedTop = 0;
    // A windowed display has placed the window in this run (before that, SavedLeft and
    // SavedTop mean nothing and the first one centres it).
    bool WindowPlaced = false;
    int32_t SfxVolume = 0;
    bool VideoPlaying = false;
    bool DraggingUnit = false;
    bool WasInactive = false;
    bool SlowTimer = false;
    int32_t FadeMusicVolume = 0;
    bool MusicWasOn = false;
    int32_t FadeTickCount = 0;
    bool Closing = false;

    // ---- start-up, set-up and teardown
    void FormCreate(TObject* Sender);
    void FormResize(TObject* Sender);
    void WMStartUp(TMessage& Message);
    void SetDisplayType(uint8_t t);
    void SetUpEverything();
    void InitAudio();
    // The sound library on the output of the SoundDevice setting (or another one).
    void InitFMOD();
    void InitFMODOnOutput(uint8_t output);
    void LoadSoundData();
    void FreeSoundData();
    void SetUpDisplayAndGraphics();
    // The drawing surface filled black, with pen and font white.
    void BlackenDrawingSurface();
    void InitDirectDrawAndDisplay();
    void SetUpDisplay(uint8_t t);
    void FitWindowToScreen(int w, int h);
    // Gives a windowed display the window at 640 x 480 at its saved place, centred on
    // the screen the first time.
    void PlaceWindow();
    // Keeps the place of a windowed window that is about to be taken down.
    void RememberWindowPlace();
    void LoadGraphicsData();
    void FreeGraphicsData();
    void ShutDownEverything();
    void FreeDisplayAndGraphics();
    void ReleaseDisplay();
    void DoneAudio();
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    // ---- the main tick and what it presents
    void MMTimer1Timer(TObject* Sender, int32_t Ticks);
    void VolumeFade();
    // The playfield cell under the pointer, or (-1, -1).
    TPoint MouseCell();
    // The same for a client position of the window.
    TPoint ClientCell(int x, int y);
    void PresentFrame();
    void PaintBox2Paint(TObject* Sender);
    void PaintBox1Paint(TObject* Sender);

    // ---- input
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char& Key);
    void PaintBox1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PaintBox1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void PaintBox1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FormActivate(TObject* Sender);

    // ---- window messages
    void WMSetDisplayType(TMessage& Message);
    void WMReloadData(TMessage& Message);
    void WMReinitAudio(TMessage& Message);
    void WMCloseGame(TMessage& Message);
    void WMDisplayChange(TMessage& Message);

    // ---- the level-pick screen (LevelPick.cpp)
    TPanel* LevelPickScreen = nullptr;
    TImage* PickLevelCaptionImage = nullptr;
    TImgBtn* BackToMenuButton = nullptr;
    TImgBtn* ClearProgressButton = nullptr;
    // Index = row x 9 + column, Tag = index + 1.
    std::array<TColorButton*, 54> LevelPickButtons{};
    // Tag 55..63 (entries 54..62).
    std::array<TColorButton*, 9> BonusLevelPickButtons{};
    // The selected entry, 0..62.
    int32_t SelectedLevel = 0;
    // "LevelPickButton.jpg" (in the image registry): the normal face left, the pressed
    // or solved face right.
    tDib16* LevelPickButtonDib = nullptr;
    // "Bonus1Button.jpg" .. "Bonus9Button.jpg" (in the image registry).
    std::array<tDib16*, 9> BonusButtonImages{};
    // Where one button is composed; they exist only while the screen is shown.
    std::unique_ptr<tDib16> LevelPickWorkDib;
    std::unique_ptr<tDib16> BonusWorkDib;

    void CreateLevelPickButtons();
    void LayoutLevelPickButtons();
    void ShowLevelPickScreen();
    void HideLevelPickScreen();
    void SelectLevelButton(int32_t i);
    void RepaintLevelButton(int32_t i);
    void StartPickedLevel(int32_t i);
    void LoadBonusButtonImages();
    void FreeBonusButtonImages();
    void LevelPickButtonPaint(TObject* Sender, TCanvas& Canvas, bool Down, bool HeldDown);
    void BonusLevelPickButtonPaint(TObject* Sender, TCanvas& Canvas, bool Down, bool HeldDown);
    void LevelPickButtonClick(TObject* Sender);
    void BackToMenuButtonClick(TObject* Sender);
    void ClearProgressButtonClick(TObject* Sender);
    void LevelPickKeyDown(WORD& Key, TShiftState Shift);
    void LevelPickKeyPress(char& Key);
    // The level-pick screen is showing (for the Enter key of FormKeyPress).
    bool LevelPickScreenVisible() const;

    // ---- video entries and the web link (VideoEntries.cpp)
    TMediaPlayer* MediaPlayer1 = nullptr;
    // The engine entered the video mode (6): plays its VideoFileName, then moves on.
    void StartVideoEntry();
    void MediaPlayer1Notify(TObject* Sender);
    // The client area changed: a playing video keeps covering it.
    void VideoPanelResized();
    // The engine asked for the help page (WebLinkRequested).
    void OpenWebLink();

    // ---- set completed (mode 11)
    void DrawSetCompletedScreen();
    void EndCompletedSet();

private:
    enum class tRebuildKind : uint8_t { None, DisplayType, ReloadData, DisplayChange };
    struct tRebuildRequest {
        tRebuildKind Kind = tRebuildKind::None;
        uint8_t Type = 0;
    };

    // A rebuild or close now would pull the ground from under code still running.
    bool MustDefer() const;
    void RequestRebuild(tRebuildKind kind, uint8_t type);
    void RunRebuild(const tRebuildRequest& request);
    void ReinitialiseAudio();
    void Rebuild(uint8_t displayType);
    // Runs what was deferred (a rebuild, then a close).
    void RunDeferred();
    void ShowReportedProblems();
    // A failure of set-up: the box with the last step, and the program ends.
    void FailSetUp(const std::exception& e);
    void RunTick(int32_t ticks);
    // A failure inside the tick's guard: told on standard error, or, when the tick before
    // failed the same way, kept to end the program with after the tick.
    void TickFailed(const std::exception& e);
    // The box of that failure, then the window closes and the program ends with status 1.
    void EndAfterFailure();
    void DrawCentredText(const std::string& text, int fontSize, bool boxed);
    void EditAtCell(TMouseButton Button, TPoint cell);
    // What is left when the program ends without a close (a failed start): freed quietly.
    void FreeWhatIsLeft();

    // Ends a video (finished or failed): the player goes once its handler has returned.
    void EndVideo(const std::string& error);
    void WMFreePlayers(TMessage& Message);
    // A video that ended while the end could not be acted on (a rebuild ran).
    void RunDeferredVideoEnd();
    std::vector<TMediaPlayer*> FPlayersToFree;
    std::optional<std::string> FDeferredVideoEnd;

    // A mouse button pressed on the window before the window system reported the window
    // active (the press that activates it may come first): the activation's key reset
    // gives it back, as if the activation had come first.
    struct tActivatingPress {
        uint16_t Code = 0;
        bool Released = false;
    };
    std::vector<tActivatingPress> FActivatingPresses;
    void ReplayActivatingPresses();

    std::unique_ptr<tGameEngine> FEngine;
    tRebuildRequest FPendingRebuild;
    bool FPendingClose = false;
    bool FPendingReinitAudio = false;
    bool FSoundStarted = false;  // the last FSOUND_Init succeeded
    int FTickDepth = 0;
    // The text of the last tick's failure (empty after a good tick); the box of a failure
    // that came twice in a row, and whether the program is ending on it.
    std::string FLastTickFailure;
    std::string FFailedForGood;
    bool FEndingAfterFailure = false;
    bool FFirstSetUpDone = false;
    bool FSetCompletedDrawn = false;
    int32_t FSetCompletedGlowTick = 0;
};

extern TForm1* Form1;

// Set when start-up or a rebuild failed, or the game's tick failed twice in a row the
// same way: the program then ends with status 1.
extern bool StartupFailed;

// Creates the program's nine forms in their order and posts WM_STARTUP to the main
// window: what the program block does before it runs the message loop.
void CreateProgramForms();

// The text of the box that reports a failed start-up: the exception's text, where it
// happened and the last step that was running.
std::string StartupFailureText(const std::string& message, uintptr_t address);
// What follows that text so that a user can act on it, each on a line of its own: the
// cause a failed sound or music load met ("Cause: File Missing '...'."), and why the data
// package beside the program is not mounted, with its full path. Empty when neither applies.
std::string FailureNotes(const std::exception& e);
// The whole box for the exception: StartupFailureText, then FailureNotes.
std::string FailureBoxText(const std::exception& e);
