#include "platform/ExtCtrls.h"

#include <QObject>
#include <QTimer>

#include "platform/Application.h"

// ---------------------------------------------------------------------------------------
// TPanel

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle |= csAcceptsControls;
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut bevel)
{
    if (bevel == FBevelOuter)
        return;
    FBevelOuter = bevel;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut bevel)
{
    if (bevel == FBevelInner)
        return;
    FBevelInner = bevel;
    Invalidate();
}

void TPanel::SetBevelWidth(int width)
{
    if (width == FBevelWidth || width < 1)
        return;
    FBevelWidth = width;
    Invalidate();
}

void TPanel::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    Invalidate();
}

void TPanel::Paint()
{
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        if (cut == bvSpace) {
            c.Frame3D(r, Color(), Color(), FBevelWidth);
            return;
        }
        const bool raised = cut == bvRaised;
        c.Frame3D(r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, FBevelWidth);
    };
    bevel(FBevelOuter);
    bevel(FBevelInner);
    c.Brush.Color = Color();
    c.Brush.Style = bsSolid;
    c.FillRect(r);
    if (!Caption().empty()) {
        c.Font = Font();
        c.Brush.Style = bsClear;
        uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
        flags |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
        c.DrawText(Caption(), r, flags);
    }
}

// ---------------------------------------------------------------------------------------
// TPaintBox

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle |= csReplicatable;
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

// ---------------------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle |= csReplicatable;
    SetBounds(0, 0, 105, 105);
    FPicture.OnChange = [this](TPicture*) { PictureChanged(); };
}

void TImage::PictureChanged()
{
    if (FAutoSize && FPicture.Width() > 0 && FPicture.Height() > 0)
        SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
    Invalidate();
}

void TImage::SetStretch(bool on)
{
    if (on == FStretch)
        return;
    FStretch = on;
    Invalidate();
}

void TImage::SetCenter(bool on)
{
    if (on == FCenter)
        return;
    FCenter = on;
    Invalidate();
}

void TImage::SetAutoSize(bool on)
{
    if (on == FAutoSize)
        return;
    FAutoSize = on;
    if (on)
        PictureChanged();
}

void TImage::Paint()
{
    const TGraphic* g = FPicture.Graphic();
    if (!g || g->Empty())
        return;
    TCanvas& c = Canvas();
    if (FStretch)
        c.StretchDraw(ClientRect(), *g);
    else if (FCenter)
        c.Draw((Width() - g->Width()) / 2, (Height() - g->Height()) / 2, *g);
    else
        c.Draw(0, 0, *g);
}

// ---------------------------------------------------------------------------------------
// TTimer

struct TTimerPrivate {
    QTimer Timer;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FPriv(std::make_unique<TTimerPrivate>())
{
    QObject::connect(&FPriv->Timer, &QTimer::timeout, [this] { Timer(); });
    UpdateTimer();
}

TTimer::~TTimer() { FPriv->Timer.stop(); }

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t interval)
{
    if (interval == FInterval)
        return;
    FInterval = interval;
    UpdateTimer();
}

bool TTimer::Running() const { return FPriv->Timer.isActive(); }

void TTimer::UpdateTimer()
{
    FPriv->Timer.stop();
    if (FEnabled && FInterval > 0)
        FPriv->Timer.start(static_cast<int>(std::min<uint32_t>(FInterval, 0x7FFFFFFF)));
}

void TTimer::Timer()
{
    if (OnTimer)
        CallProtected([this] { OnTimer(this); });
}
