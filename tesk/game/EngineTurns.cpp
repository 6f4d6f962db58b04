// The turn loop: turn timing, the speed keys and their message, the input history, the
// early move and the editor's look-ahead dial.
#include <cmath>

#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "tesk/game/EngineParts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Settings.h"

using namespace engine_parts;

namespace {

constexpr int ActionUp = 2;
constexpr int ActionDown = 3;
constexpr int ActionLeft = 4;
constexpr int ActionRight = 5;
constexpr int ActionFaster = 10;
constexpr int ActionSlower = 11;
constexpr int DeathPopupDelay = 50;
constexpr int32_t SpeedMessageDuration = 80;

bool RecorderIdle()
{
    return Recorder.State() == rsIdle || Recorder.State() == rsStopped;
}

} // namespace

void tGameEngine::RunTurnTiming()
{
    ++LevelTicks;
    ++LookAheadTicks;
    TickInTurn = TicksPerTurn > 0 ? LevelTicks % TicksPerTurn : 0;
    PreviousTurnFraction = TurnFraction;
    TurnFraction = TicksPerTurn > 0 ? static_cast<float>(TickInTurn) / static_cast<float>(TicksPerTurn) : 0.0f;
    // Without a hero there is no early move to make.
    if (GameMode == gmPlaying && LookAheadEnabled && Level.Player)
        StartLookAheadMove();
    else
        HandleSpeedKeys();
    if (LookAheadActive) {
        LookAheadProgress = static_cast<float>(LookAheadTicks) / static_cast<float>(LookAheadLength);
        if (LookAheadTicks >= LookAheadLength) {
            LookAheadActive = false;
            Input = &LiveInput;
        }
    }
}

void tGameEngine::RunTurnTick()
{
    if (RestartRequested)
        return;
    if (TickInTurn == 0) {
        Level.BeginTurn();
        PreviousInput2.Assign(PreviousInput);
        PreviousInput.Assign(LiveInput);
        if (GameMode == gmPlaying)
            TakeTurns();
        TurnBegan = true;
        Input->ClearLatched(TurnActions);
        ++TurnCount;
    }
    switch (GameMode) {
    case gmDying:
    case gmDead:
    case gmDeathChoiceMade:
    case gmResetWarp:
        Level.DeathAnimUnits();
        if (GameMode == gmDead) {
            ++DeadTicks;
            if (Dialogs && DeadTicks >= DeathPopupDelay) {
                BeginPopup();
                SetGameMode(gmDeathPopup);
            }
        }
        break;
    default:
        Level.MoveUnits();
        break;
    }
    Level.FreeDeadTemporaryUnits();
}

void tGameEngine::TakeTurns()
{
    // A level without a hero is shown but does not play.
    if (Level.Player)
        Level.TakeTurns();
}

void tGameEngine::HandleSpeedKeys()
{
    if (LookAheadActive || TickInTurn != 0 || GameMode != gmPlaying)
        return;
    const int32_t turns = TicksPerTurn > 0 ? LevelTicks / TicksPerTurn : 0;
    const auto apply = [&](int32_t offset) {
        SpeedOffset = std::clamp(offset, -6, 6);
        TicksPerTurn = 12 + SpeedOffset;
        LevelTicks = turns * TicksPerTurn;
        SpeedMessageTicks = SpeedMessageDuration;
        const int32_t shown = -SpeedOffset;
        SpeedMessage = shown >= 0 ? "Game Speed +" + std::to_string(shown) : "Game Speed " + std::to_string(shown);
    };
    if (Input->IsLatched(ActionSlower))
        apply(SpeedOffset + 1);
    if (Input->IsLatched(ActionFaster))
        apply(SpeedOffset - 1);
}

void tGameEngine::StartLookAheadMove()
{
    const bool arrow = LiveInput.IsLatched(ActionUp) || LiveInput.IsLatched(ActionDown) ||
                       LiveInput.IsLatched(ActionLeft) || LiveInput.IsLatched(ActionRight);
    if (!RecorderIdle() || LookAheadActive || !arrow) {
        HandleSpeedKeys();
        return;
    }
    tUnit* hero = Level.Player;
    if (!hero || !hero->AtTarget() || static_cast<double>(TurnFraction) <= 0.3 || Level.AnyUnitWillInteract())
        return;
    if (!LookAheadPlayer)
        return;
    tUnit& double_ = *LookAheadPlayer;
    double_.CellX = double_.TargetX = hero->CellX;
    double_.CellY = double_.TargetY = hero->CellY;
    double_.X = static_cast<float>(hero->CellX);
    double_.Y = static_cast<float>(hero->CellY);
    double_.Direction = hero->Direction;
    double_.TakeTurn();
    LookAheadFromX = hero->CellX;
    LookAheadFromY = hero->CellY;
    LookAheadToX = double_.TargetX;
    LookAheadToY = double_.TargetY;
    if (LookAheadFromX == LookAheadToX && LookAheadFromY == LookAheadToY)
        return;
    LookAheadActive = true;
    LookAheadLength = 2 * TicksPerTurn - TickInTurn;
    LookAheadTicks = 0;
    Input = &PreviousInput2;
    PreviousInput.Assign(LiveInput);
    LiveInput.ClearLatched(TurnActions);
}

void tGameEngine::DrawSpeedMessage()
{
    if (!CurrentDib)
        return;
    tDib16& frame = *CurrentDib;
    int32_t w = 0;
    {
        tDibDC dc(frame);
        TCanvas canvas;
        canvas.SetHandle(dc.Handle());
        canvas.Font.Name = "MS Sans Serif";
        canvas.Font.Height = 20;
        canvas.Font.Style = fsBold;
        canvas.Brush.Style = bsClear;
        w = canvas.TextExtent(SpeedMessage).X / 2;
        canvas.Font.Color = clBlack;
        for (const int dx : {-1, 1})
            for (const int dy : {-1, 1})
                canvas.TextOut(320 - w + dx, 100 + dy, SpeedMessage);
        canvas.Font.Color = clWhite;
        canvas.TextOut(320 - w, 100, SpeedMessage);
        canvas.SetHandle(nullptr);
    }
    frame.AddDirtyRect(TRect{320 - w - 1, 99, 321 + w, 121});
}

void tGameEngine::DrawLookAheadDiagnostics()
{
    if (!OOTDiagnosticsBox)
        return;
    TCanvas& canvas = OOTDiagnosticsBox->Canvas();
    const int32_t width = OOTDiagnosticsBox->Width();
    const int32_t cx = width / 2;
    const int32_t size = std::min(width, 180);
    const int32_t radius = size / 2 - 10;
    const int32_t cy = size / 2;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = 0xC0C0C0;
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = TurnBegan ? 6 : 2;
    TurnBegan = false;
    canvas.Ellipse(cx - radius, cy - radius, cx + radius, cy + radius);
    // A full turn of the dial is one game turn, 0 at the top, clockwise.
    const auto spoke = [&](double fraction, TColor color) {
        const double angle = fraction * 2.0 * 3.14159265358979323846;
        canvas.Pen.Color = color;
        canvas.MoveTo(cx, cy);
        canvas.LineTo(cx + static_cast<int32_t>(std::lround(std::sin(angle) * (radius - 4))),
                      cy - static_cast<int32_t>(std::lround(std::cos(angle) * (radius - 4))));
    };
    canvas.Pen.Width = 1;
    double from = PreviousTurnFraction;
    double to = TurnFraction;
    if (to < from)
        to += 1.0;
    for (int k = 0; k <= 8; ++k) {
        const int grey = 192 - 24 * k;
        spoke(from + (to - from) * k / 8.0, static_cast<TColor>(grey | grey << 8 | grey << 16));
    }
    if (LookAheadActive) {
        canvas.Pen.Width = 2;
        spoke(LookAheadProgress, 0x0000FF);
    }
    DrawArrowKeyState(canvas, LiveInput, cx, 190, 0xA08080, 0x804040);
    DrawArrowKeyState(canvas, PreviousInput, cx, 250, 0x80A080, 0x408040);
    DrawArrowKeyState(canvas, PreviousInput2, cx, 310, 0x8080A0, 0x404080);
}

void DrawArrowKeyState(TCanvas& canvas, const tInputDevice& device, int32_t x, int32_t y, int32_t heldColor,
                       int32_t notHeldColor)
{
    struct tBox {
        int action;
        int32_t left, top, right, bottom;
    };
    const tBox boxes[] = {{ActionUp, x - 12, y - 26, x + 12, y - 2},
                          {ActionDown, x - 12, y, x + 12, y + 24},
                          {ActionLeft, x - 38, y, x - 14, y + 24},
                          {ActionRight, x + 14, y, x + 38, y + 24}};
    canvas.Pen.Width = 2;
    canvas.Brush.Style = bsSolid;
    for (const tBox& b : boxes) {
        canvas.Pen.Color = device.IsLatched(b.action) ? clWhite : clBlack;
        canvas.Brush.Color = static_cast<TColor>(device.IsPressed(b.action) ? heldColor : notHeldColor);
        canvas.Rectangle(b.left, b.top, b.right, b.bottom);
    }
}
