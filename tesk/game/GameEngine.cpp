#include "tesk/game/GameEngine.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "platform/Exceptions.h"
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/EngineParts.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/SidePanel.h"
#include "tesk/game/SlabDialogs.h"

tGameEngine* Engine = nullptr;

int32_t SpeedOffset = 0;
int32_t TickInTurn = 0;
float TurnFraction = 0;
float PreviousTurnFraction = 0;
int32_t LookAheadTicks = 0;
int32_t LookAheadLength = 0;
float LookAheadProgress = 0;
int32_t LookAheadFromX = 0;
int32_t LookAheadFromY = 0;
int32_t LookAheadToX = 0;
int32_t LookAheadToY = 0;
bool LookAheadEnabled = true;
TPaintBox* OOTDiagnosticsBox = nullptr;
int32_t EditorCursorColor = 0x00FFFFFF;

namespace {
int BusyDepth = 0;
} // namespace

bool EngineBusy()
{
    return BusyDepth > 0;
}

tEngineBusyScope::tEngineBusyScope()
{
    ++BusyDepth;
}

tEngineBusyScope::~tEngineBusyScope()
{
    --BusyDepth;
}

int32_t TestStartEntry()
{
    const char* value = std::getenv("TP_START_ENTRY");
    if (!value || !*value)
        return -1;
    for (const char* p = value; *p; ++p)
        if (*p < '0' || *p > '9')
            return -1;
    errno = 0;
    const long long n = std::strtoll(value, nullptr, 10);
    if (errno != 0 || n > INT32_MAX)
        return -1;
    return static_cast<int32_t>(n);
}

bool IsMenuMode(uint8_t mode)
{
    return mode == gmMainMenu || IsSlabOrPopupMode(mode);
}

bool IsSlabOrPopupMode(uint8_t mode)
{
    return (mode >= gmLoadGame && mode <= gmHighScores) || (mode >= gmSolvedPopup && mode <= gmDeathPopup);
}

namespace engine_parts {

void FillRectClipped(tDib16& dib, TRect rect, uint16_t pixel)
{
    rect.Left = std::max(rect.Left, 0);
    rect.Top = std::max(rect.Top, 0);
    rect.Right = std::min(rect.Right, dib.Width);
    rect.Bottom = std::min(rect.Bottom, dib.Height);
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        uint16_t* row = dib.ScanLine(y);
        std::fill(row + rect.Left, row + std::max(rect.Left, rect.Right), pixel);
    }
}

std::unique_ptr<tDib16> NewFrameSizedDib()
{
    const int32_t w = CurrentDib ? CurrentDib->Width : FrameWidth;
    const int32_t h = CurrentDib ? CurrentDib->Height : FrameHeight;
    auto dib = std::make_unique<tDib16>(w, h);
    dib->ClipRect = TRect{0, 0, w, h};
    return dib;
}

void CopyWholeDib(tDib16& target, tDib16& source)
{
    // Whatever the clip rectangles are (the frame's is the playfield's during play): the
    // side panel belongs to the copy.
    target.CopyBlockFrom(source, 0, 0, source.Width, source.Height, 0, 0);
}

} // namespace engine_parts

using namespace engine_parts;

tGameEngine::tGameEngine()
{
    CursorSaveDib = std::make_unique<tDib16>(32, 32);
    CursorSaveDib->ClipRect = TRect{0, 0, 32, 32};
    LookAheadEnabled = true;
    Input = &LiveInput;
    LiveInput.BindKey(1, 1);
    LiveInput.BindKey(2, 38);
    LiveInput.BindKey(3, 40);
    LiveInput.BindKey(4, 37);
    LiveInput.BindKey(5, 39);
    LiveInput.BindKey(6, 32);
    LiveInput.BindKey(7, 13);
    LiveInput.BindKey(8, 2);
    LiveInput.BindKey(8, 27);
    LiveInput.BindKey(9, 117);
    LiveInput.BindKey(9, 82);
    LiveInput.BindKey(10, 107);
    LiveInput.BindKey(11, 109);
    LiveInput.BindKey(12, 45);
    LiveInput.BindKey(13, 36);
    LiveInput.AddCheatCode("glimmerhound", [this] { StartSolutionRecording(); });
    LiveInput.AddCheatCode("brackle", [this] { PlaySolution(); });
    InputAllowed = true;
    MenuItem = 1;
    GameLevel = &Level;
}

tGameEngine::~tGameEngine()
{
    try {
        MusicModule.reset();
        // The background may already be gone with the image registry at shutdown.
        if (BackgroundLoaded())
            BackgroundDib->Unload();
    } catch (...) {
    }
    BackgroundDib = nullptr;
    if (GameLevel == &Level)
        GameLevel = nullptr;
}

bool tGameEngine::BackgroundLoaded() const
{
    if (!BackgroundDib)
        return false;
    for (const auto& dib : DibRegistry())
        if (dib.get() == BackgroundDib)
            return BackgroundDib->Loaded && BackgroundDib->HasSurface();
    return false;
}

void tGameEngine::SetGameMode(uint8_t m)
{
    GameMode = m;
    if (m == gmLevelStart) {
        LevelStartTicks = 0;
    } else if (m == gmDead) {
        if (MusicModule)
            MusicModule->Stop();
        if (Recorder.State() == rsPlaying)
            Recorder.Stop();
        DeadTicks = 0;
    } else if (m == gmLevelEnd) {
        if (MusicModule)
            MusicModule->Stop();
    }
    InputAllowed = m != gmTransition && m != gmLevelStart;
    if (IsMenuMode(m)) {
        SliderDrag = 0;
        ResetSlabHighlights();
        MenuItemGlow.fill(0);
        ResetEndOfLevelPopupHighlights();
    }
}

void tGameEngine::PushGameMode()
{
    if (ModeStackDepth >= ModeStackLimit)
        throw Exception("GameMode Stack overflow");
    ModeStack[static_cast<size_t>(ModeStackDepth++)] = GameMode;
}

void tGameEngine::PopGameMode()
{
    if (ModeStackDepth <= 0)
        throw Exception("GameMode Stack underflow");
    SetGameMode(ModeStack[static_cast<size_t>(--ModeStackDepth)]);
}

void tGameEngine::StartTransition(uint8_t target)
{
    if (CurrentDib) {
        CurrentDib->ClearDirtyRects();
        CurrentDib->CoverMaskActive = false;
    }
    TransitionTarget = target;
    SetGameMode(gmTransition);
    TransitionFrame = 0;
}

void tGameEngine::BeginOverlay()
{
    SidePanelMenuClicked = false;
    MenuButtonOver = false;
    MenuButtonPressedInside = false;
    if (GameRunning) {
        MenuItem = 0;
        EraseMouseCursor();
        PushGameMode();
        OverlaySnapshotDib.reset();
        OverlaySnapshotDib = NewFrameSizedDib();
        if (CurrentDib)
            CopyWholeDib(*OverlaySnapshotDib, *CurrentDib);
        OverlaySnapshotDib->HalveLight();
        if (CurrentDib)
            CurrentDib->CoverMaskActive = false;
        Level.PauseUnitSounds();
    } else {
        MenuItem = 1;
        OverlaySnapshotDib.reset();
        OverlaySnapshotDib = NewFrameSizedDib();
        OverlaySnapshotDib->Fill(PixelBlack);
    }
    FullRedraw = true;
    SetGameMode(gmMainMenu);
    Input->ClearLatched(AllActions);
}

void tGameEngine::OpenMenu()
{
    BeginOverlay();
    MainMenuOpenSound.Play();
}

void tGameEngine::BeginPopup()
{
    BeginOverlay();
}

void tGameEngine::EndOverlay()
{
    if (GameRunning) {
        PopGameMode();
        if (CurrentDib)
            CurrentDib->CoverMaskActive = CurrentDib->UseCoverMask;
        UnloadSlabImages();
        Level.ResumeUnitSounds();
    }
    Input->ClearLatched(AllActions);
    OverlaySnapshotDib.reset();
    FullRedraw = true;
}

void tGameEngine::CloseMenu()
{
    EndOverlay();
    MainMenuCloseSound.Play();
}

void tGameEngine::EndPopup()
{
    EndOverlay();
}

void tGameEngine::Step()
{
    tEngineBusyScope busy;
    UpdateMousePosition();
    const uint8_t entryMode = GameMode;
    if (SpeedMessageTicks > 0)
        --SpeedMessageTicks;
    if (GameMode != gmEditing) {
        ++TickCount;
        if (GameMode == gmPlaying || GameMode == gmDying)
            RunTurnTiming();
    }

    // The menu key; the slab pages and pop-ups answer it themselves.
    if (!IsSlabOrPopupMode(GameMode) && GameRunning && LiveInput.IsLatched(8)) {
        if (GameMode == gmMainMenu) {
            CloseMenu();
            Input->AnyKey = false;
        } else {
            OpenMenu();
        }
    }

    switch (GameMode) {
    case gmPlaying:
        if ((LiveInput.IsPressed(12) && LiveInput.IsLatched(13)) || (LiveInput.IsPressed(13) && LiveInput.IsLatched(12)))
            SetGameMode(gmLevelEnd);
        RunTurnTick();
        break;
    case gmDying:
    case gmDead:
    case gmDeathChoiceMade:
    case gmResetWarp:
        RunTurnTick();
        break;
    case gmLevelStart: LevelStartStep(); break;
    case gmVideoMissing: NextSetEntry(); break;
    case gmLevelEnd: LevelEndStep(); break;
    case gmMainMenu: MainMenuStep(); break;
    case gmLoadGame: LoadGameStep(); break;
    case gmSaveGame: SaveGameStep(); break;
    case gmOptions: OptionsMenuStep(); break;
    case gmVideoOptions: VideoOptionsStep(); break;
    case gmAdvancedVideoOptions: AdvancedVideoOptionsStep(); break;
    case gmSoundOptions: SoundOptionsStep(); break;
    case gmAdvancedSoundOptions: AdvancedSoundOptionsStep(); break;
    case gmExtrasMenu: ExtrasMenuStep(); break;
    case gmInstructions: InstructionsStep(); break;
    case gmCredits: CreditsStep(); break;
    case gmHighScores: HighScoresStep(); break;
    case gmNextUnsolvedLevel: NextUnsolvedEntry(); break;
    case gmSolvedPopup:
    case gmPartiallySolvedPopup: LevelResultPopupStep(); break;
    case gmDeathPopup: DeathPopupStep(); break;
    default: break;
    }

    if (GameMode == gmPlaying || GameMode == gmDying || GameMode == gmDead || GameMode == gmLevelEnd ||
        GameMode == gmSetCompleted) {
        UpdateSidePanelMouse(TPoint{MouseX, MouseY}, LiveInput.IsLatched(1), LiveInput.IsPressed(1));
        if (SidePanelMenuClicked) {
            OpenMenu();
            SidePanelMenuClicked = false;
            LiveInput.ClearLatched(AllActions);
        }
    }

    // In play the turn actions keep their latches until the next turn boundary.
    if (entryMode == gmPlaying && GameMode == gmPlaying)
        LiveInput.ClearLatched(1u << 1);
    else
        LiveInput.ClearLatched(AllActions);

    if (ResetWarpDone) {
        ResetWarpDone = false;
        if (PendingAction == paMenu || PendingAction == paLevelPick) {
            GameRunning = false;
            if (CurrentDib)
                CurrentDib->CoverMaskActive = false;
            Level.PauseUnitSounds();
            StartTransition(PendingAction == paMenu ? gmMainMenu : gmLevelPick);
        } else {
            RestartRequested = true;
        }
    }
    if (RestartRequested)
        RestartLevelWithMusic();
}

void tGameEngine::DrawFrame()
{
    tEngineBusyScope busy;
    if (ShowLookAheadDiagnostics)
        DrawLookAheadDiagnostics();
    EraseMouseCursor();
    ++FrameCount;
    // The menus and their pages cover the side panel as well: they draw over the whole
    // frame, and the playfield's clip of the game behind them comes back on every way out.
    std::optional<tRestore<TRect>> wholeFrame;
    if (CurrentDib && IsMenuMode(GameMode))
        wholeFrame.emplace(CurrentDib->ClipRect, TRect{0, 0, CurrentDib->Width, CurrentDib->Height});
    if (IsMenuMode(GameMode) && FullRedraw) {
        if (CurrentDib && OverlaySnapshotDib)
            CopyWholeDib(*CurrentDib, *OverlaySnapshotDib);
        FullRedraw = false;
    }
    switch (GameMode) {
    case gmTransition: TransitionStep(); break;
    case gmLevelStart: DrawLevelStart(); break;
    case gmMainMenu:
        if (CurrentDib) {
            tDrawScope scope(*CurrentDib);
            DrawMainMenu();
        }
        break;
    case gmLoadGame: DrawLoadGameSlab(); break;
    case gmSaveGame: DrawSaveGameSlab(); break;
    case gmOptions: DrawOptionsSlab(); break;
    case gmVideoOptions: DrawVideoSlab(); break;
    case gmAdvancedVideoOptions: DrawAdvancedVideoSlab(); break;
    case gmSoundOptions: DrawSoundSlab(); break;
    case gmAdvancedSoundOptions: DrawAdvancedSoundSlab(); break;
    case gmSpareSlabA: DrawSpareSlabA(); break;
    case gmSpareSlabB: DrawSpareSlabB(); break;
    case gmExtrasMenu: DrawExtrasSlab(); break;
    case gmInstructions: DrawInstructionsSlab(); break;
    case gmCredits: DrawCreditsSlab(); break;
    case gmHighScores: DrawHighScoresSlab(); break;
    case gmSolvedPopup: DrawSolvedPopup(); break;
    case gmPartiallySolvedPopup: DrawPartiallySolvedPopup(); break;
    case gmDeathPopup: DrawDeathPopup(); break;
    case gmUnused28:
    case gmLevelPick:
    case gmUnused31: break;
    default: DrawGameScreen(); break;
    }
    if (SpeedMessageTicks > 0)
        DrawSpeedMessage();
    DrawMouseCursor();
}

void tGameEngine::TransitionStep()
{
    if (!CurrentDib)
        return;
    tDib16& frame = *CurrentDib;
    frame.ClipRect = TRect{0, 0, frame.Width, frame.Height};
    if (TransitionFrame == 0 || !TransitionDib) {
        TransitionDib.reset();
        TransitionDib = NewFrameSizedDib();
        CopyWholeDib(*TransitionDib, frame);
    }
    TransitionDib->Darken(TransitionFrame & 1);
    CopyWholeDib(frame, *TransitionDib);
    ++TransitionFrame;
    if (TransitionFrame > 16) {
        if (TransitionTarget == gmMainMenu || TransitionTarget == gmLevelPick)
            BeginPopup();
        SetGameMode(TransitionTarget);
        TransitionDib.reset();
    }
}

tUnit* tGameEngine::UnitAtCell(int32_t x, int32_t y) const
{
    return FEditMode ? Level.UnitAtInitialCell(x, y) : Level.UnitAt(x, y);
}

void tGameEngine::SetEditMode(bool on)
{
    FEditMode = on;
    if (!Level.Background.empty())
        SetBackground(Level.Background);
}
