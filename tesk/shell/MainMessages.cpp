// The main window's private messages and the display-change message: rebuilds of the
// display (a new display type, reloaded data, a changed desktop), the restart of the
// sound library, and closing. A rebuild asked for while set-up or teardown runs is
// dropped; one asked for while an engine call, a loader's message pump or a modal loop
// is on the stack waits until it has returned (the latest request wins).
#include <cstdio>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Fmod.h"
#include "platform/FramePresenter.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Settings.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/Faudio.h"
#include "tesk/toolkit/Misc.h"

namespace {

// Sets a flag for a scope and clears it on every way out.
class tFlagScope {
public:
    explicit tFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~tFlagScope() { FFlag = false; }
    tFlagScope(const tFlagScope&) = delete;
    tFlagScope& operator=(const tFlagScope&) = delete;

private:
    bool& FFlag;
};

} // namespace

void TForm1::WMSetDisplayType(TMessage& Message)
{
    if (Message.WParam > dtFullScreenBitmap)
        return;
    RequestRebuild(tRebuildKind::DisplayType, static_cast<uint8_t>(Message.WParam));
}

void TForm1::WMReloadData(TMessage&)
{
    RequestRebuild(tRebuildKind::ReloadData, 0);
}

void TForm1::WMDisplayChange(TMessage& Message)
{
    if (ActiveDisplayType != dtWindowedDirectDraw && ActiveDisplayType != dtWindowedBitmap)
        return;
    DesktopDepth = static_cast<int32_t>(Message.WParam);
    Desktop16 = DesktopDepth == 16;
    RequestRebuild(tRebuildKind::DisplayChange, 0);
}

void TForm1::WMCloseGame(TMessage&)
{
    Close();
}

void TForm1::RequestRebuild(tRebuildKind kind, uint8_t type)
{
    if (SettingUp || ShuttingDown || Closing)
        return;
    if (MustDefer()) {
        FPendingRebuild = tRebuildRequest{kind, type};
        return;
    }
    RunRebuild(tRebuildRequest{kind, type});
}

void TForm1::RunRebuild(const tRebuildRequest& request)
{
    switch (request.Kind) {
    case tRebuildKind::DisplayType:
        Rebuild(request.Type);
        break;
    case tRebuildKind::ReloadData:
        DrawCentredText("Reloading data...", 20, false);
        Rebuild(ChooseDisplayType());
        break;
    case tRebuildKind::DisplayChange:
        Desktop16 = DesktopDepth == 16;
        Rebuild(ChooseDisplayType());
        break;
    case tRebuildKind::None:
        break;
    }
}

void TForm1::Rebuild(uint8_t displayType)
{
    SettingUp = true;
    try {
        ShutDownEverything();
        SetDisplayType(displayType);
        SetUpEverything();
        if (Engine)
            Engine->LiveInput.ResetKeys();
    } catch (const std::exception& e) {
        // As a failed start: the box with the step that failed, and the program ends
        // without writing its settings.
        FailSetUp(e);
    }
    SettingUp = false;
    RunDeferred();
}

void TForm1::DrawCentredText(const std::string& text, int fontSize, bool boxed)
{
    TCanvas& canvas = PaintBox2->Canvas();
    canvas.Font.SetSize(fontSize);
    canvas.Font.Color = clWhite;
    canvas.Pen.Color = clWhite;
    canvas.Brush.Color = clBlack;
    canvas.Brush.Style = bsSolid;
    const int w = ClientWidth();
    const int h = ClientHeight();
    const TPoint extent = canvas.TextExtent(text);
    const int tw = extent.X;
    const int th = extent.Y;
    TRect shown{0, 0, w, h};
    if (boxed) {
        shown = TRect{(w - tw) / 2 - 1, (h - th) / 2 - 1, (w + tw) / 2 + 1, (h + th) / 2 + 1};
        canvas.Rectangle(shown);
    } else {
        canvas.FillRect(shown);
    }
    canvas.TextOut((w - tw) / 2, (h - th) / 2, text);
    canvas.Font.SetSize(8);
    ShowSurfaceOverFrame(this, shown);
}

void TForm1::WMReinitAudio(TMessage&)
{
    if (SettingUp || ShuttingDown || Closing || ReinitialisingAudio)
        return;
    if (MustDefer()) {
        // Samples the interrupted code uses would be freed under it.
        FPendingReinitAudio = true;
        return;
    }
    ReinitialiseAudio();
}

void TForm1::ReinitialiseAudio()
{
    std::string music;
    {
        const tFlagScope reinitialising(ReinitialisingAudio);
        DrawCentredText("Reinitializing audio", 20, true);
        if (Engine) {
            music = Engine->MusicName;
            Engine->SetMusic("");
        }
        try {
            DoneAudio();
            InitAudio();
            if (!FSoundStarted)
                throw eFSoundError("FSOUND_Init");
        } catch (const std::exception& e) {
            // The chosen output fails here: the game goes on without sound, on the silent
            // output (the setting stays as the user chose it).
            const std::string text = dynamic_cast<const Exception*>(&e) ? static_cast<const Exception&>(e).Message()
                                                                        : std::string(e.what());
            ShowMessage(text);
            try {
                DoneAudio();
                InitFMODOnOutput(FSOUND_OUTPUT_NOSOUND);
                LoadSoundData();
            } catch (const std::exception& again) {
                std::fprintf(stderr, "Sound stays off: %s\n", again.what());
            }
        }
    }
    Application->ProcessMessages();
    if (Engine && !music.empty()) {
        Engine->SetMusic(music);
        if (Engine->MusicModule)
            Engine->MusicModule->Play();
    }
}
