#include "tesk/game/GameEngine.h"

#include <cerrno>
#include <cstdlib>

#include "platform/Exceptions.h"
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/LevelRecorder.h"
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

tGameEngine::tGameEngine()
{
    CursorSaveDib = std::make_unique<tDib16>(32, 32);
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
    FindUnitsAtInitialCells = EditMode;
}

tGameEngine::~tGameEngine()
{
    MusicModule.reset();
    if (BackgroundDib)
        BackgroundDib->Unload();
    BackgroundDib = nullptr;
    if (GameLevel == &Level)
        GameLevel = nullptr;
    FindUnitsAtInitialCells = false;
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

tUnit* tGameEngine::UnitAtCell(int32_t x, int32_t y) const
{
    return EditMode ? Level.UnitAtInitialCell(x, y) : Level.UnitAt(x, y);
}

std::string tGameEngine::ProgressFileName() const
{
    return {};
}

// Members still to be built: they do nothing yet.
void tGameEngine::StartTransition(uint8_t) {}
void tGameEngine::BeginOverlay() {}
void tGameEngine::OpenMenu() {}
void tGameEngine::BeginPopup() {}
void tGameEngine::EndOverlay() {}
void tGameEngine::CloseMenu() {}
void tGameEngine::EndPopup() {}
void tGameEngine::Step() {}
void tGameEngine::DrawFrame() {}
void tGameEngine::SetEditMode(bool on)
{
    EditMode = on;
    FindUnitsAtInitialCells = on;
}
void tGameEngine::TransitionStep() {}
void tGameEngine::RunTurnTick() {}
void tGameEngine::TakeTurns() {}
void tGameEngine::HandleSpeedKeys() {}
void tGameEngine::StartLookAheadMove() {}
void tGameEngine::DrawSpeedMessage() {}
void tGameEngine::DrawLookAheadDiagnostics() {}
void tGameEngine::LoadLevel(const std::string&) {}
void tGameEngine::NewLevel() {}
void tGameEngine::LoadLevelGraphics() {}
void tGameEngine::SetMusic(const std::string&) {}
void tGameEngine::SetBackground(const std::string&) {}
void tGameEngine::RestartLevel(bool) {}
void tGameEngine::RestartLevelWithMusic() {}
void tGameEngine::LevelStartStep() {}
void tGameEngine::DrawLevelStart() {}
void tGameEngine::DrawGameScreen() {}
void tGameEngine::RedrawAll() {}
void tGameEngine::CopyBackground() {}
void tGameEngine::RestoreBackground() {}
void tGameEngine::DrawPlayfield() {}
void tGameEngine::DrawEditorCursor() {}
void tGameEngine::UpdateMousePosition() {}
void tGameEngine::DrawMouseCursor() {}
void tGameEngine::EraseMouseCursor() {}
void tGameEngine::LoadLevelSet(const std::string&) {}
void tGameEngine::ReadLevelTitles() {}
void tGameEngine::LoadProgress() {}
void tGameEngine::SaveProgress() {}
void tGameEngine::ClearProgress() {}
int32_t tGameEngine::GetLevelStatus(int32_t) const
{
    return 0;
}
void tGameEngine::SetLevelStatus(int32_t, int32_t) {}
void tGameEngine::RecordLevelResult() {}
bool tGameEngine::AllLevelsSolved() const
{
    return false;
}
bool tGameEngine::IsLevelEntry(int32_t) const
{
    return false;
}
bool tGameEngine::IsDummyLevelEntry(int32_t) const
{
    return false;
}
void tGameEngine::StartCurrentEntry() {}
void tGameEngine::StartSetEntry(const std::string&) {}
void tGameEngine::StartLevelFile(const std::string&) {}
void tGameEngine::NextSetEntry() {}
void tGameEngine::NextUnsolvedEntry() {}
void tGameEngine::GoToSetEntry(int32_t) {}
void tGameEngine::LevelEndStep() {}
void tGameEngine::StartSolutionRecording() {}
void tGameEngine::PlaySolution() {}

void DrawArrowKeyState(TCanvas&, const tInputDevice&, int32_t, int32_t, int32_t, int32_t) {}

std::string LevelNumberCaption(const std::string&, int32_t)
{
    return "  1";
}

bool IsContainedDataName(const std::string&)
{
    return true;
}

std::string SolutionFileName(const std::string&)
{
    return {};
}
