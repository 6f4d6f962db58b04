// The main window's tick: the engine steps, the frame drawn and presented, the sound
// fades, the cell under the pointer, the completion screen of a finished level set, and
// what was asked for while it could not be done at once (rebuilds, closing, problem
// reports).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Fmod.h"
#include "platform/FramePresenter.h"
#include "platform/Keys.h"
#include "tesk/editor/EditorForm.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/GameSound.h"
#include "tesk/game/Settings.h"
#include "tesk/game/Units.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/Misc.h"

namespace {

// When the program started, for the first-frame report (TP_REPORT_FIRST_FRAME).
const auto ProgramStart = std::chrono::steady_clock::now();
bool FirstFrameReported = false;

// Tick failures already told on standard error: each text once.
std::set<std::string>& ToldFailures()
{
    static std::set<std::string> told;
    return told;
}

void TellTickFailure(const std::string& text)
{
    if (!ToldFailures().insert(text).second)
        return;
    std::fprintf(stderr, "The game's tick failed: %s (last operation: %s)\n", text.c_str(), LastOperation.c_str());
}

struct tTickScope {
    int& Depth;
    explicit tTickScope(int& depth) : Depth(depth) { ++Depth; }
    ~tTickScope() { --Depth; }
    tTickScope(const tTickScope&) = delete;
    tTickScope& operator=(const tTickScope&) = delete;
};

} // namespace

void TForm1::MMTimer1Timer(TObject*, int32_t Ticks)
{
    // What arrived outside a tick and had to wait runs first.
    RunDeferred();
    {
        const tTickScope inTick(FTickDepth);
        RunTick(Ticks);
    }
    if (!FFailedForGood.empty() && !FEndingAfterFailure)
        EndAfterFailure();
    ShowReportedProblems();
    RunDeferred();
}

void TForm1::TickFailed(const std::exception& e)
{
    const std::string text = e.what();
    // A tick that fails as the one before did would fail so on every tick (a picture
    // that cannot be read is read again each time it is drawn, and nothing is ever
    // shown): that failure ends the program.
    if (text == FLastTickFailure) {
        if (FFailedForGood.empty())
            FFailedForGood = FailureBoxText(e);
    } else {
        // The game goes on in its mode; the failure is told once.
        TellTickFailure(text);
    }
    FLastTickFailure = text;
}

void TForm1::EndAfterFailure()
{
    // Shown once; the ticks do nothing meanwhile, and the window closes as its close
    // button would, so the settings are written.
    FEndingAfterFailure = true;
    MMTimer1->SetEnabled(false);
    ShowMessage(FFailedForGood);
    StartupFailed = true;
    Close();
}

void TForm1::RunTick(int32_t Ticks)
{
    if (ReinitialisingAudio || FEndingAfterFailure)
        return;
    VolumeFade();
    if (!Application->Active()) {
        WasInactive = true;
        return;
    }
    // From here the engine sees the presses latched so far; an activation reported
    // later no longer needs to give them back.
    FActivatingPresses.clear();
    Ticks = std::min(Ticks, 4);
    if (Closing)
        return;
    if (SettingUp) {
        // The step that set-up is at, centred in a band as high as the text.
        TCanvas& canvas = PaintBox2->Canvas();
        const TPoint extent = canvas.TextExtent(LastOperation);
        const int top = (ClientHeight() - extent.Y) / 2;
        const TRect band{0, top, ClientWidth(), top + extent.Y};
        canvas.FillRect(band);
        canvas.TextOut((ClientWidth() - extent.X) / 2, top, LastOperation);
        ShowSurfaceOverFrame(this, band);
        return;
    }
    if (VideoPlaying || PumpingMessages || !Engine)
        return;
    // The level-pick screen belongs to its mode: a game that left the mode another way
    // (a rebuild, an entry started from elsewhere) is not hidden behind it.
    if (Engine->GameMode != gmLevelPick && LevelPickScreenVisible())
        HideLevelPickScreen();
    if (Engine->GameMode != gmSetCompleted)
        FSetCompletedDrawn = false;
    switch (Engine->GameMode) {
    case gmSetCompleted:
        DrawSetCompletedScreen();
        return;
    case gmLevelPick:
        RepaintLevelButton(SelectedLevel);
        return;
    case gmShowScreenDone:
        Engine->GameRunning = false;
        Engine->OpenMenu();
        Engine->StartTransition(gmLevelPick);
        break;
    default:
        break;
    }
    Engine->FrameTicks = Ticks;
    ProfileBegin();
    try {
        const int32_t steps = Engine->TickCount > 1 ? Ticks : 1;
        for (int32_t i = 0; i < steps; ++i)
            Engine->Step();
        ProfileEnd();
        if (ProfilingOn)
            ProfileSample(MoveTime);
        const TPoint cell = MouseCell();
        Engine->MouseCellX = cell.X;
        Engine->MouseCellY = cell.Y;
        ProfileBegin();
        ScanLineRebuilds = 0;
        Engine->DrawFrame();
        ProfileEnd();
        if (ProfilingOn)
            ProfileSample(DrawTime);
        if (FrameBuffer)
            FrameBuffer->Unlock();
        ProfileBegin();
        PresentFrame();
        FLastTickFailure.clear();
    } catch (const std::exception& e) {
        TickFailed(e);
    }
    ProfileEnd();
    if (ProfilingOn)
        ProfileSample(BlitTime);
    if (!FirstFrameReported && Engine->GameMode == gmMainMenu && std::getenv("TP_REPORT_FIRST_FRAME")) {
        FirstFrameReported = true;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - ProgramStart).count();
        std::fprintf(stderr, "[first frame] %.3f s\n", seconds);
    }
    if (Editor && Editor->Visible())
        Editor->UpdateStatus();
    if (!Engine)
        return;
    if (Engine->GameMode == gmLevelPick)
        ShowLevelPickScreen();
    if (Engine->GameMode == gmVideo)
        StartVideoEntry();
    if (Engine->WebLinkRequested)
        OpenWebLink();
    if (Engine->GameMode == gmExitProgram)
        Close();
}

void TForm1::VolumeFade()
{
    const bool active = Application->Active();
    SfxVolume = active ? std::min(255, SfxVolume + 15) : std::max(0, SfxVolume - 6);
    FSOUND_SetSFXMasterVolume(SfxVolume);
    if (MusicOn) {
        if (active && Active()) {
            FadeTickCount = 0;
            if (!(FadeMusicVolume == MusicVolume && MusicWasOn)) {
                FadeMusicVolume = MusicVolume;
                MusicWasOn = true;
                if (CurrentGameModule)
                    CurrentGameModule->SetMasterVolume(MusicMasterVolume(MusicVolume));
            }
        } else {
            // Another program, or another window of this one (the editor), has the user.
            if (FadeTickCount % 8 == 6 && FadeMusicVolume > 0) {
                --FadeMusicVolume;
                if (CurrentGameModule)
                    CurrentGameModule->SetMasterVolume(MusicMasterVolume(FadeMusicVolume));
            }
            ++FadeTickCount;
        }
    } else {
        if (MusicWasOn && CurrentGameModule)
            CurrentGameModule->SetMasterVolume(0);
        MusicWasOn = false;
    }
}

TPoint TForm1::MouseCell()
{
    const TPoint p = ScreenToClient(GetCursorPos());
    return ClientCell(p.X, p.Y);
}

TPoint TForm1::ClientCell(int x, int y)
{
    const int64_t w = ClientWidth();
    const int64_t h = ClientHeight();
    if (w <= 0 || h <= 0)
        return TPoint{-1, -1};
    // Client to frame, then to cells; every division truncates toward zero.
    const int64_t fx = int64_t(x) * FrameWidth / w;
    const int64_t fy = int64_t(y) * FrameHeight / h;
    const int64_t column = (fx - PlayfieldX) / 32;
    const int64_t row = fy / 32;
    if (column < 0 || column > 15 || row < 0 || row > 14)
        return TPoint{-1, -1};
    return TPoint{static_cast<int32_t>(column), static_cast<int32_t>(row)};
}

void TForm1::PresentFrame()
{
    if (!SetUpDone || !FrameBuffer)
        return;
    if (ActiveDisplayType == dtWindowedDirectDraw || ActiveDisplayType == dtFullScreenDirectDraw)
        FrameBuffer->PageFlip();
    else
        PresentBitmap(this, FrameBuffer->Bitmap());
}

void TForm1::PaintBox2Paint(TObject*)
{
    if (SettingUp && DirectDrawReady)
        BlackenDrawingSurface();
    // While the program is active the tick presents.
    if (!Application->Active())
        PresentFrame();
}

void TForm1::PaintBox1Paint(TObject*)
{
    PresentFrame();
}

// ---------------------------------------------------------------------------------------
// The completion screen of a level set (mode 11): the frame as it stands, darkened,
// with the news in the menu font. No engine step runs meanwhile.

void TForm1::DrawSetCompletedScreen()
{
    if (!FrameBuffer)
        return;
    if (!FSetCompletedDrawn) {
        FSetCompletedDrawn = true;
        const tDibTarget target(FrameBuffer.get());
        {
            const tDrawScope scope(*FrameBuffer);
            FrameBuffer->Darken(2);
            FrameBuffer->Darken(2);
        }
        DrawMenuTextCentred(320, 200, "SET COMPLETED", 29);
        DrawMenuTextCentred(320, 280, "PRESS ANY KEY", 0);
        FrameBuffer->Unlock();
    }
    try {
        PresentFrame();
        FLastTickFailure.clear();
    } catch (const std::exception& e) {
        TickFailed(e);
    }
}

void TForm1::EndCompletedSet()
{
    FSetCompletedDrawn = false;
    Engine->GameRunning = false;
    if (CurrentDib)
        CurrentDib->CoverMaskActive = false;
    Engine->OpenMenu();
    Engine->StartTransition(gmLevelPick);
}

// ---------------------------------------------------------------------------------------
// Deferred requests and problem reports

bool TForm1::MustDefer() const
{
    return FTickDepth > 0 || EngineBusy() || PumpingMessages || ModalLoopsRunning() > 0;
}

void TForm1::RunDeferred()
{
    if (FPendingRebuild.Kind != tRebuildKind::None && !MustDefer()) {
        const tRebuildRequest request = FPendingRebuild;
        FPendingRebuild = {};
        if (!SettingUp && !ShuttingDown && !Closing)
            RunRebuild(request);
    }
    if (FPendingReinitAudio && !MustDefer()) {
        FPendingReinitAudio = false;
        if (!SettingUp && !ShuttingDown && !Closing)
            ReinitialiseAudio();
    }
    RunDeferredVideoEnd();
    if (FPendingClose && !SettingUp && !MustDefer()) {
        FPendingClose = false;
        Close();
    }
}

void TForm1::ShowReportedProblems()
{
    if (MustDefer())
        return;
    const std::vector<std::string> problems = TakeReportedProblems();
    if (problems.empty())
        return;
    std::string text;
    for (const std::string& p : problems)
        text += (text.empty() ? "" : "\r") + p;
    ShowMessage(text);
}
