#include "tesk/widgets/ShadowLabels.h"

#include "platform/Keys.h"

TExCustomLabel::TExCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    InitWidgetLibrary();
    ControlStyle |= csOpaque | csReplicatable;
    SetBounds(Left(), Top(), 65, 17);
    SetParentFont(true);
}

TExCustomLabel::~TExCustomLabel()
{
    *FAlive = false;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
}

void TExCustomLabel::SetFocusControl(TWinControl* control)
{
    if (FFocusControl && FFocusControl != control)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = control;
    if (control)
        control->FreeNotification(this);
    if (FShowFocus)
        Invalidate();
}

void TExCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) {
        FFocusControl = nullptr;
        FFocusActive = false;
        if (FShowFocus)
            Invalidate();
    }
}

void TExCustomLabel::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    Invalidate();
}

void TExCustomLabel::SetAutoSize(bool value)
{
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    AdjustBounds();
}

void TExCustomLabel::SetLayout(TTextLayout value)
{
    if (value == FLayout)
        return;
    FLayout = value;
    Invalidate();
}

void TExCustomLabel::SetShadowColor(TColor value)
{
    if (value == FShadowColor)
        return;
    FShadowColor = value;
    Invalidate();
}

void TExCustomLabel::SetShadowSize(uint8_t value)
{
    if (value == FShadowSize)
        return;
    FShadowSize = value;
    AdjustBounds();
    Invalidate();
}

void TExCustomLabel::SetShadowPos(TShadowPosition value)
{
    if (value == FShadowPos)
        return;
    FShadowPos = value;
    Invalidate();
}

void TExCustomLabel::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    AdjustBounds();
}

void TExCustomLabel::SetShowAccelChar(bool value)
{
    if (value == FShowAccelChar)
        return;
    FShowAccelChar = value;
    Invalidate();
}

void TExCustomLabel::SetShowFocus(bool value)
{
    if (value == FShowFocus)
        return;
    FShowFocus = value;
    Invalidate();
}

void TExCustomLabel::SetTransparent(bool value)
{
    if (value == Transparent())
        return;
    if (value)
        ControlStyle &= ~csOpaque;
    else
        ControlStyle |= csOpaque;
    Invalidate();
}

uint32_t TExCustomLabel::AlignmentFlag() const
{
    switch (FAlignment) {
    case taLeftJustify: return DT_LEFT;
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    }
    return DT_LEFT;
}

void TExCustomLabel::DrawCaption(TCanvas& canvas, TRect& rect, uint32_t flags)
{
    std::string text = Caption();
    if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&")))
        text += ' ';
    canvas.Font = Font();
    TShadowPosition position = FShadowPos;
    int size = FShadowSize;
    TColor shadow = FShadowColor;
    if (!Enabled()) {
        canvas.Font.Color = clGrayText;
        shadow = clBtnHighlight;
        if (size == 0 && NewStyleControls) {
            position = spRightBottom;
            size = 1;
        }
    }
    if (!FShowAccelChar)
        flags |= DT_NOPREFIX;
    canvas.Brush.Style = bsClear;
    DrawShadowText(canvas, text, rect, position, shadow, size, flags);
    canvas.Brush.Style = bsSolid;
}

void TExCustomLabel::Paint()
{
    if (!Enabled())
        FPressed = false;
    TCanvas& canvas = Canvas();
    const TRect client = ClientRect();
    if (!Transparent()) {
        canvas.Brush.Bitmap = nullptr;
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = Color();
        canvas.FillRect(client);
    }
    TRect rect = Rect(client.Left + LeftMargin + 1, client.Top, client.Right - RightMargin - 1, client.Bottom);
    const uint32_t flags = (FWordWrap ? DT_WORDBREAK : 0) | AlignmentFlag() | DT_EXPANDTABS;
    if (FLayout != tlTop) {
        TRect measured = rect;
        DrawCaption(canvas, measured, flags | DT_CALCRECT);
        measured.Left = rect.Left;
        measured.Right = rect.Right;
        const int shift = FLayout == tlBottom ? Height() - measured.Bottom : (Height() - measured.Bottom) / 2;
        measured.Top += shift;
        measured.Bottom += shift;
        rect = measured;
    }
    DrawCaption(canvas, rect, flags);
    if (FShowFocus && FFocusControl && FFocusActive) {
        rect.Left -= 1;
        rect.Right += 1;
        canvas.Brush.Color = Color();
        canvas.DrawFocusRect(rect);
    }
}

void TExCustomLabel::AdjustBounds()
{
    if (!FAutoSize)
        return;
    TBitmap measure;
    measure.SetSize(1, 1);
    TRect rect = Rect(LeftMargin + 1, 0, Width() - RightMargin - 1, Height());
    DrawCaption(measure.Canvas(), rect, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
    rect.Left -= LeftMargin + 1;
    rect.Right += RightMargin + 1;
    int x = Left();
    if (FAlignment == taRightJustify)
        x += Width() - rect.Right;
    SetBounds(x, Top(), rect.Right, rect.Bottom);
}

void TExCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TExCustomLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TExCustomLabel::TextChanged()
{
    Invalidate();
    AdjustBounds();
}

void TExCustomLabel::FocusChanged(TWinControl* NewFocus)
{
    const bool active = FFocusControl && NewFocus == FFocusControl;
    if (active != FFocusActive) {
        FFocusActive = active;
        if (FShowFocus)
            Invalidate();
    }
    TGraphicControl::FocusChanged(NewFocus);
}

bool TExCustomLabel::DialogChar(char Key, TShiftState Shift)
{
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Key, Caption())) {
        if (FFocusControl->CanFocus())
            FFocusControl->SetFocus();
        return true;
    }
    return TGraphicControl::DialogChar(Key, Shift);
}

void TExCustomLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    auto alive = FAlive;
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (!*alive)
        return;
    if (Button == mbLeft && Enabled())
        FPressed = true;
    else if (Button == mbRight)
        UpdateTracking();
}

void TExCustomLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    auto alive = FAlive;
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!*alive)
        return;
    if (Button == mbLeft) {
        FPressed = false;
        UpdateTracking();
    } else if (Button == mbRight) {
        UpdateTracking();
    }
}

void TExCustomLabel::MouseEnter()
{
    if (FMouseInControl || !Enabled() || !ThreadOwnsActiveWindow())
        return;
    FMouseInControl = true;
    TGraphicControl::MouseEnter();
}

void TExCustomLabel::MouseLeave()
{
    if (!FMouseInControl || !Enabled() || FPressed)
        return;
    FMouseInControl = false;
    TGraphicControl::MouseLeave();
}

void TExCustomLabel::UpdateTracking()
{
    const bool over = Enabled() && FindControlAtPos(GetCursorPos(), true) == this && ThreadOwnsActiveWindow();
    if (over && !FMouseInControl)
        MouseEnter();
    else if (!over && FMouseInControl)
        MouseLeave();
}

void TExCustomLabel::EnabledChanged()
{
    TGraphicControl::EnabledChanged();
    UpdateTracking();
}

void TExCustomLabel::VisibleChanged()
{
    TGraphicControl::VisibleChanged();
    if (Visible())
        UpdateTracking();
}
