#include "tesk/toolkit/QuibComponents.h"

TColorButton::TColorButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = ControlStyle | csOpaque;
    SetColor(clBtnFace);
    Canvas().Brush.Style = bsSolid;
    Canvas().Pen.Color = clBlack;
    SetBounds(0, 0, 17, 17);
}

void TColorButton::SetBorderSize(int size)
{
    FBorderSize = size;
    Invalidate();
}

void TColorButton::SetColorProp(TColor& field, TColor color)
{
    field = color;
    Repaint();
}

void TColorButton::SetFlagProp(bool& field, bool on)
{
    field = on;
    Repaint();
}

void TColorButton::SetFaceColor(TColor color) { SetColorProp(FFaceColor, color); }
void TColorButton::SetTopLeftColor(TColor color) { SetColorProp(FTopLeftColor, color); }
void TColorButton::SetBottomRightColor(TColor color) { SetColorProp(FBottomRightColor, color); }
void TColorButton::SetHilightColor(TColor color) { SetColorProp(FHilightColor, color); }
void TColorButton::SetHeldDown(bool on) { SetFlagProp(FHeldDown, on); }
void TColorButton::SetDown(bool on) { SetFlagProp(FDown, on); }

void TColorButton::Paint()
{
    TCanvas& canvas = Canvas();
    TRect r = ClientRect();
    if (FDown || FHeldDown) {
        if (DrawWhenDown) {
            canvas.Frame3D(r, FBottomRightColor, FTopLeftColor, FBorderSize);
            canvas.Brush.Color = FHeldDown ? FHilightColor : FFaceColor;
            if (DrawFace)
                canvas.FillRect(r);
        }
    } else if (DrawWhenUp) {
        canvas.Frame3D(r, FTopLeftColor, FBottomRightColor, FBorderSize);
        canvas.Brush.Color = FFaceColor;
        if (DrawFace)
            canvas.FillRect(r);
    }
    if (OnPaint)
        OnPaint(this, canvas, FDown, FHeldDown);
}

void TColorButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) {
        SetHeldDown(true);
        SetMouseCapture(true);
    }
}

void TColorButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (Shift.Contains(ssLeft)) {
        const bool inside = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
        if (inside != FHeldDown)
            SetHeldDown(inside);
    }
}

void TColorButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft) {
        SetHeldDown(false);
        SetMouseCapture(false);
    }
}
