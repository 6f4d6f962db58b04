#include "tesk/toolkit/ImageButtons.h"

namespace {

const TGraphic* GraphicOf(const TPicture& picture)
{
    const TGraphic* g = picture.Graphic();
    return g && !g->Empty() ? g : nullptr;
}

} // namespace

TMultiImageButton::TMultiImageButton(TComponent* AOwner) : TButton(AOwner)
{
    for (TPicture* p : {&FDefaultUp, &FDefaultDown, &FFocusUp, &FFocusDown, &FOverUp, &FOverDown,
                        &FDisabledUp, &FDisabledDown})
        p->OnChange = [this](TPicture*) { PictureChanged(); };
}

void TMultiImageButton::SetAutoSize(bool on)
{
    if (on == FAutoSize)
        return;
    FAutoSize = on;
    PictureChanged();
}

void TMultiImageButton::PictureChanged()
{
    if (FAutoSize)
        if (const TGraphic* g = GraphicOf(FDefaultUp))
            SetBounds(Left(), Top(), g->Width(), g->Height());
    Invalidate();
}

const TGraphic* TMultiImageButton::ImageFor(TOwnerDrawState state) const
{
    const bool down = (state & odSelected) != 0;
    const TGraphic* chosen = FDefaultUp.Graphic();
    if (down && GraphicOf(FDefaultDown))
        chosen = FDefaultDown.Graphic();
    auto replace = [&](const TPicture& up, const TPicture& dn) {
        if (const TGraphic* g = GraphicOf(down ? dn : up))
            chosen = g;
    };
    if (state & odFocus)
        replace(FFocusUp, FFocusDown);
    if (FMouseOver)
        replace(FOverUp, FOverDown);
    if (state & odDisabled)
        replace(FDisabledUp, FDisabledDown);
    return chosen && !chosen->Empty() ? chosen : nullptr;
}

void TMultiImageButton::DrawButton(TCanvas& canvas, TOwnerDrawState state)
{
    const TRect client = ClientRect();
    if (const TGraphic* g = ImageFor(state)) {
        canvas.StretchDraw(client, *g);
        return;
    }
    const bool focused = (state & odFocus) != 0;
    TRect r = client;
    if (focused) {
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = clWindowFrame;
        canvas.FrameRect(r);
        r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
    if (state & odSelected) {
        canvas.Pen.Color = clBtnShadow;
        canvas.Pen.Width = 1;
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = clBtnFace;
        canvas.Rectangle(r);
    } else {
        DrawButtonFace(canvas, r, false, false);
    }
    if (focused)
        canvas.DrawFocusRect(Rect(client.Left + 4, client.Top + 4, client.Right - 4, client.Bottom - 4));
}

void TMultiImageButton::MouseEnter()
{
    FMouseOver = true;
    Repaint();
    TButton::MouseEnter();
}

void TMultiImageButton::MouseLeave()
{
    FMouseOver = false;
    Repaint();
    TButton::MouseLeave();
}
