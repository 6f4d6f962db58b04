// The main window's keyboard and mouse: keys and buttons go to the engine's live input
// device, to the level-pick screen or to the editor; while the editor edits, presses on
// the playfield edit the level.
#include "platform/Application.h"
#include "platform/FramePresenter.h"
#include "platform/Keys.h"
#include "tesk/editor/EditorForm.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Players.h"
#include "tesk/game/Settings.h"
#include "tesk/shell/Unit1.h"

namespace {

bool NoModifiers(TShiftState shift)
{
    return !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
}

bool CtrlOnly(TShiftState shift)
{
    return shift.Contains(ssCtrl) && !shift.Contains(ssShift) && !shift.Contains(ssAlt);
}

// The code the input device knows a mouse button by.
uint16_t ButtonCode(TMouseButton button)
{
    switch (button) {
    case mbRight: return VK_RBUTTON;
    case mbMiddle: return VK_MBUTTON;
    default: return VK_LBUTTON;
    }
}

} // namespace

void TForm1::FormKeyDown(TObject*, WORD& Key, TShiftState Shift)
{
    if (!Engine)
        return;
    if (Key == VK_RETURN && Shift.Contains(ssAlt) && Engine->GameMode == gmPlaying) {
        // The key goes on to the input device as well, where it latches "confirm".
        FullScreen = !FullScreen;
        RequestDisplayType(ChooseDisplayType());
    }
    if (Key == VK_F1 && CtrlOnly(Shift))
        FrameByTickAnimation = !FrameByTickAnimation;
    if (Key == VK_F2 && CtrlOnly(Shift)) {
        SlowTimer = !SlowTimer;
        MMTimer1->SetInterval(SlowTimer ? 40 : 20);
    }
    // F12 belongs to the editor (it opens it), whatever the mode.
    if (Key == VK_F12 && NoModifiers(Shift)) {
        if (Editor)
            Editor->FormKeyDown(Key, Shift);
        return;
    }
    if (Engine->EditMode()) {
        if (Editor)
            Editor->FormKeyDown(Key, Shift);
        return;
    }
    switch (Engine->GameMode) {
    case gmSetCompleted:
        if (NoModifiers(Shift))
            EndCompletedSet();
        break;
    case gmLevelPick:
        LevelPickKeyDown(Key, Shift);
        break;
    default:
        if (Engine->AcceptInput)
            Engine->LiveInput.KeyDown(Key);
        break;
    }
}

void TForm1::FormKeyUp(TObject*, WORD& Key, TShiftState)
{
    if (Engine && Engine->AcceptInput)
        Engine->LiveInput.KeyUp(Key);
}

void TForm1::FormKeyPress(TObject*, char& Key)
{
    if (!Engine)
        return;
    if (Engine->GameMode == gmLevelPick && Key == 13 && LevelPickScreenVisible()) {
        LevelPickKeyPress(Key);
        return;
    }
    if (Engine->AcceptInput)
        Engine->LiveInput.KeyChar(Key);
}

namespace {

// A mouse position on the sending control, in the main window's client coordinates.
TPoint ToClient(TForm* form, TObject* sender, int x, int y)
{
    auto* control = dynamic_cast<TControl*>(sender);
    if (!control || control == form)
        return TPoint{x, y};
    return form->ScreenToClient(control->ClientToScreen(TPoint{x, y}));
}

} // namespace

void TForm1::PaintBox1MouseDown(TObject* Sender, TMouseButton Button, TShiftState, int X, int Y)
{
    if (!Engine)
        return;
    if (Engine->GameMode == gmSetCompleted && !Engine->EditMode()) {
        EndCompletedSet();
        return;
    }
    if (!Engine->EditMode()) {
        if (Engine->AcceptInput) {
            const uint16_t code = ButtonCode(Button);
            if (Application && Application->ActiveForm() != this)
                FActivatingPresses.push_back(tActivatingPress{code, false});
            Engine->LiveInput.KeyDown(code);
        }
        return;
    }
    const TPoint at = ToClient(this, Sender, X, Y);
    const TPoint cell = ClientCell(at.X, at.Y);
    if (cell.X >= 0)
        EditAtCell(Button, cell);
}

void TForm1::EditAtCell(TMouseButton Button, TPoint cell)
{
    if (Editor && Editor->PlayfieldMouseDown(Button, cell))
        DraggingUnit = true;
}

void TForm1::PaintBox1MouseMove(TObject* Sender, TShiftState, int X, int Y)
{
    if (!DraggingUnit || !Editor)
        return;
    const TPoint at = ToClient(this, Sender, X, Y);
    Editor->DragUnitTo(ClientCell(at.X, at.Y));
}

void TForm1::PaintBox1MouseUp(TObject*, TMouseButton Button, TShiftState, int, int)
{
    DraggingUnit = false;
    const uint16_t code = ButtonCode(Button);
    for (tActivatingPress& press : FActivatingPresses)
        if (press.Code == code)
            press.Released = true;
    if (Engine && Engine->AcceptInput)
        Engine->LiveInput.KeyUp(code);
}

void TForm1::ReplayActivatingPresses()
{
    if (!Engine || !Engine->AcceptInput)
        return;
    for (const tActivatingPress& press : FActivatingPresses) {
        Engine->LiveInput.KeyDown(press.Code);
        if (press.Released)
            Engine->LiveInput.KeyUp(press.Code);
    }
}

void TForm1::FormActivate(TObject*)
{
    if (WasInactive && (ActiveDisplayType == dtFullScreenDirectDraw || ActiveDisplayType == dtFullScreenBitmap)) {
        // The full-screen window takes the screen back.
        SetWindowState(wsNormal);
        if (DirectDrawObject && DirectDrawObject->DisplayModeSet())
            SetWindowFullScreen(PresentWindowOf(this), true);
        WasInactive = false;
    }
    if (Engine) {
        Engine->LiveInput.ResetKeys();
        ReplayActivatingPresses();
    }
}
