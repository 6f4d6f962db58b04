#include "pelvo/Layers.h"

#include <algorithm>

#include "platform/Graphics.h"

namespace pelvo {

namespace {

int32_t StepsOf(uint32_t word)
{
    // The low bits hold the steps; a step below 0 is kept as a negative count.
    return static_cast<int32_t>(word << 4) >> 4;
}

uint32_t WithSteps(uint32_t word, int32_t steps)
{
    return (word & FadeInBit) | (static_cast<uint32_t>(steps) & (FadeInBit - 1));
}

bool Inside(const TRect& r, TPoint p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

}  // namespace

int32_t MaskLevelAt(const TChannel& mask, const TRect& rect, TAligns align, TPoint p)
{
    if (!mask.Active())
        return -1;
    const int32_t w = mask.Width(), h = mask.Height();
    const TRect place = AlignRect(rect, w, h, align);
    if (!Inside(place, p))
        return -1;
    if (align <= aFrameBottom) {
        if (place.Width() < w || place.Height() < h)
            return -1;
        return *mask.PixelAddress(FrameSource(p.X, place.Left, place.Right, w / 2, w),
                                  FrameSource(p.Y, place.Top, place.Bottom, h / 2, h));
    }
    if (align >= aTile)
        return *mask.PixelAddress((p.X - place.Left) % w, (p.Y - place.Top) % h);
    return *mask.PixelAddress(p.X - place.Left, p.Y - place.Top);
}

bool LayerTakesClick(const TChannel& mask, TAligns maskAlign, const TRect& client, TPoint p)
{
    if (maskAlign <= aFrameBottom)
        return false;
    const int32_t v = MaskLevelAt(mask, client, maskAlign, p);
    return v >= 0 && (v < 64 || v > 192);
}

bool ButtonTakesClick(const TChannel& mask, const TChannel& glyph, TAligns maskAlign, const TRect& client,
                      const TRect& inner, TPoint p)
{
    if (mask.Active())
        return MaskLevelAt(mask, client, maskAlign, p) > 128;
    if (!glyph.Active())
        return false;
    return Inside(AlignRect(inner, glyph.Width(), glyph.Height(), maskAlign), p);
}

bool TFadeList::Contains(const TFadeTarget* target) const
{
    return std::find(FTargets.begin(), FTargets.end(), target) != FTargets.end();
}

void TFadeList::FadeTo(TFadeTarget* target, uint32_t word)
{
    const auto it = std::find(FTargets.begin(), FTargets.end(), target);
    if (it == FTargets.end()) {
        FTargets.push_back(target);
        FWords.push_back(word);
        return;
    }
    uint32_t& current = FWords[static_cast<size_t>(it - FTargets.begin())];
    if ((current & FadeInBit) != (word & FadeInBit)) {
        const int32_t remaining = std::max<int32_t>(StepsOf(current), 0);
        current = WithSteps(word, static_cast<int32_t>(FadeSteps) - remaining);
    } else {
        current = word;
    }
}

void TFadeList::Tick()
{
    for (size_t i = FTargets.size(); i-- > 0;) {
        const int32_t steps = StepsOf(FWords[i]) - 1;
        FWords[i] = WithSteps(FWords[i], steps);
        const int32_t r = std::max(steps, 0);
        const bool fadingIn = (FWords[i] & FadeInBit) != 0;
        const int32_t c = fadingIn ? static_cast<int32_t>(FadeSteps) - r : r;
        TFadeTarget* t = FTargets[i];
        const int32_t inactive = t->GlyphInactive(), active = t->GlyphActive();
        t->SetGlyphLevel(static_cast<uint8_t>(inactive + c * (active - inactive) / static_cast<int32_t>(FadeSteps)));
        if (r == 0) {
            FTargets.erase(FTargets.begin() + static_cast<std::ptrdiff_t>(i));
            FWords.erase(FWords.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void TFadeList::Remove(TFadeTarget* target)
{
    const auto it = std::find(FTargets.begin(), FTargets.end(), target);
    if (it == FTargets.end())
        return;
    FWords.erase(FWords.begin() + (it - FTargets.begin()));
    FTargets.erase(it);
}

// ---- TLayer ----

namespace {

TRect Shifted(const TRect& r, TPoint by) { return Rect(r.Left + by.X, r.Top + by.Y, r.Right + by.X, r.Bottom + by.Y); }

TRect Common(const TRect& a, const TRect& b)
{
    TRect r = Rect(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                   std::min(a.Bottom, b.Bottom));
    if (r.Right < r.Left)
        r.Right = r.Left;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top;
    return r;
}

bool Overlap(const TRect& a, const TRect& b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

uint32_t CaptionFormat(TTextAlign align)
{
    switch (align) {
    case aLeft: return DT_SINGLELINE | DT_LEFT | DT_VCENTER;
    case aUp: return DT_CENTER | DT_TOP;
    case aRight: return DT_SINGLELINE | DT_RIGHT | DT_VCENTER;
    case aDown: return DT_SINGLELINE | DT_CENTER | DT_BOTTOM;
    case aLeftUp: return DT_LEFT | DT_TOP;
    case aLeftDown: return DT_SINGLELINE | DT_LEFT | DT_BOTTOM;
    case aRightUp: return DT_RIGHT | DT_TOP;
    case aRightDown: return DT_SINGLELINE | DT_RIGHT | DT_BOTTOM;
    default: return DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    }
}

}  // namespace

TLayer::TLayer(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
    FMask.OnChange = [this](TObject*) { Changed(true); };
}

TLayer::~TLayer()
{
    FMask.OnChange = nullptr;
    // Hidden first, so that the layers above compose again without it.
    if (Visible() && Parent())
        Hide();
}

void TLayer::SetCaptionFX(TTextFX fx)
{
    if (fx == FCaptionFX)
        return;
    FCaptionFX = fx;
    if (!Caption().empty())
        Changed(true);
}

void TLayer::SetCaptionAlign(TTextAlign align)
{
    if (align == FCaptionAlign)
        return;
    FCaptionAlign = align;
    if (!Caption().empty())
        Changed(true);
}

void TLayer::SetOffset(int index, int32_t value)
{
    int32_t& slot = FOffsets[index & 3];
    if (slot == value)
        return;
    slot = value;
    Realign();
    Changed(true);
}

void TLayer::SetOuter(int32_t outer)
{
    if (outer == FOuter)
        return;
    FOuter = outer;
    Realign();
}

void TLayer::SetMaskAlign(TChannelAlign align)
{
    if (align == FMaskAlign)
        return;
    FMaskAlign = align;
    if (FMask.Active())
        Changed(true);
}

bool TLayer::SeeThrough() const
{
    if (Color() == clNone)
        return true;
    for (int32_t o : FOffsets)
        if (o > 0)
            return true;
    return FMask.Active();
}

TRect TLayer::InnerRect() const
{
    return Rect(FOffsets[0], FOffsets[1], ClientWidth() - FOffsets[2], ClientHeight() - FOffsets[3]);
}

void TLayer::AlignControls(TControl* control, TRect& rect)
{
    rect = Rect(rect.Left + FOffsets[0] + FOuter, rect.Top + FOffsets[1] + FOuter,
                rect.Right - FOffsets[2] - FOuter, rect.Bottom - FOffsets[3] - FOuter);
    TCustomControl::AlignControls(control, rect);
}

bool TLayer::HitTest(int X, int Y) const
{
    if (Color() != clNone)
        return TCustomControl::HitTest(X, Y);
    return LayerTakesClick(FMask, FMaskAlign, ClientRect(), Point(X, Y));
}

bool TLayer::ExcludeFromFill(TRect& rect)
{
    if (!FMask.Active() || FMaskAlign <= aFrameBottom || Color() == clNone)
        return false;
    rect = AlignRect(ClientRect(), FMask.Width(), FMask.Height(), FMaskAlign);
    return true;
}

void TLayer::DrawMask(TRGBChannel& target, const TRect& clip, const TRect& client)
{
    target.DrawTexture(clip, client, FMaskAlign, FMask, Color());
}

void TLayer::DrawBehind(TRGBChannel& target, TPoint origin)
{
    TWinControl* parent = Parent();
    if (!parent)
        return;
    const TPoint parentOrigin = Point(origin.X - Left(), origin.Y - Top());
    if (auto* layer = dynamic_cast<TLayer*>(parent)) {
        layer->Compose(target, parentOrigin);
    } else {
        TCanvas& c = target.Canvas();
        c.Brush.Style = bsSolid;
        c.Brush.Color = parent->Color();
        c.FillRect(Shifted(ClientRect(), origin));
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* sibling = parent->Controls(i);
        if (sibling == this)
            break;
        if (!sibling->Visible() || !sibling->Windowed())
            continue;
        const TPoint at = Point(parentOrigin.X + sibling->Left(), parentOrigin.Y + sibling->Top());
        if (auto* layer = dynamic_cast<TLayer*>(sibling))
            layer->RenderTo(target, at, true);
        else
            static_cast<TWinControl*>(sibling)->PaintTo(target.Canvas(), at.X, at.Y);
    }
}

void TLayer::DrawCaption(TRGBChannel& target, const TRect& inner)
{
    const std::string text = Caption();
    TCanvas& c = target.Canvas();
    c.Font = Font();
    c.Brush.Style = bsClear;
    const uint32_t format = CaptionFormat(FCaptionAlign);
    auto draw = [&](int dx, int dy, TColor color) {
        TRect r = Shifted(inner, Point(dx, dy));
        c.Font.Color = color;
        c.DrawText(text, r, format);
    };
    if (FCaptionFX == tfxShadow || FCaptionFX == tfxEmboss)
        draw(1, 1, clBlack);
    if (FCaptionFX == tfxEmboss)
        draw(-1, -1, clWhite);
    draw(0, 0, Font().Color);
    c.Brush.Style = bsSolid;
}

void TLayer::Compose(TRGBChannel& target, TPoint origin)
{
    const TRect client = Shifted(ClientRect(), origin);
    const TRect inner = Shifted(InnerRect(), origin);
    if (SeeThrough()) {
        TRect excluded{};
        if (ExcludeFromBehind(excluded)) {
            // The excluded part is kept as it stands in the target.
            TRGBChannel keep;
            keep.SetSize(excluded.Width(), excluded.Height());
            keep.Allocate();
            const TRect at = Shifted(excluded, origin);
            BitBlt(keep.Canvas().Handle(), 0, 0, at.Width(), at.Height(), target.Canvas().Handle(), at.Left,
                   at.Top, cmSrcCopy);
            DrawBehind(target, origin);
            BitBlt(target.Canvas().Handle(), at.Left, at.Top, at.Width(), at.Height(), keep.Canvas().Handle(), 0,
                   0, cmSrcCopy);
        } else {
            DrawBehind(target, origin);
        }
    }
    DrawContent(target, client, inner);
    if (Color() != clNone && !inner.IsEmpty()) {
        TCanvas& c = target.Canvas();
        c.Brush.Style = bsSolid;
        c.Brush.Color = Color();
        TRect hole{};
        if (ExcludeFromFill(hole)) {
            const TRect h = Common(Shifted(hole, origin), inner);
            // The inner rectangle less the hole: up to four bands around it.
            if (h.IsEmpty()) {
                c.FillRect(inner);
            } else {
                c.FillRect(Rect(inner.Left, inner.Top, inner.Right, h.Top));
                c.FillRect(Rect(inner.Left, h.Bottom, inner.Right, inner.Bottom));
                c.FillRect(Rect(inner.Left, h.Top, h.Left, h.Bottom));
                c.FillRect(Rect(h.Right, h.Top, inner.Right, h.Bottom));
            }
        } else {
            c.FillRect(inner);
        }
    }
    if (!Caption().empty())
        DrawCaption(target, inner);
    DrawMask(target, client, client);
}

bool TLayer::ReadyBuffer()
{
    if (ClientWidth() <= 0 || ClientHeight() <= 0)
        return false;
    TBitmap* before = FBackBuffer.Bitmap();
    FBackBuffer.SetSize(ClientWidth(), ClientHeight());
    FBackBuffer.Allocate();
    if (!FBackBuffer.Active())
        return false;
    if (FBackBuffer.Bitmap() != before)
        FDirtyCount++;
    if (FDirtyCount > 0) {
        Compose(FBackBuffer, Point(0, 0));
        FDirtyCount = 0;
    }
    return true;
}

void TLayer::RenderTo(TRGBChannel& target, TPoint origin, bool withChildren)
{
    if (UsesBuffer()) {
        if (ReadyBuffer())
            BitBlt(target.Canvas().Handle(), origin.X, origin.Y, ClientWidth(), ClientHeight(),
                   FBackBuffer.Canvas().Handle(), 0, 0, cmSrcCopy);
    } else {
        Compose(target, origin);
        FDirtyCount = 0;
    }
    if (!withChildren)
        return;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        if (!child->Visible() || !child->Windowed())
            continue;
        const TPoint at = Point(origin.X + child->Left(), origin.Y + child->Top());
        if (auto* layer = dynamic_cast<TLayer*>(child))
            layer->RenderTo(target, at, true);
        else
            static_cast<TWinControl*>(child)->PaintTo(target.Canvas(), at.X, at.Y);
    }
}

void TLayer::Paint()
{
    if (ClientWidth() <= 0 || ClientHeight() <= 0)
        return;
    if (UsesBuffer()) {
        if (ReadyBuffer())
            BitBlt(Canvas().Handle(), 0, 0, ClientWidth(), ClientHeight(), FBackBuffer.Canvas().Handle(), 0, 0,
                   cmSrcCopy);
        return;
    }
    // Composed afresh each time into a scratch buffer.
    TRGBChannel scratch;
    scratch.SetSize(ClientWidth(), ClientHeight());
    scratch.Allocate();
    Compose(scratch, Point(0, 0));
    FDirtyCount = 0;
    BitBlt(Canvas().Handle(), 0, 0, ClientWidth(), ClientHeight(), scratch.Canvas().Handle(), 0, 0, cmSrcCopy);
}

void TLayer::Dirty(const TRect& area, bool includeChildren)
{
    (void)area;
    FDirtyCount++;
    Invalidate();
    if (!includeChildren)
        return;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* child = dynamic_cast<TLayer*>(Controls(i)); child && child->Visible() && child->SeeThrough())
            child->Dirty(child->ClientRect(), true);
}

void TLayer::MarkAbove(TWinControl* level, TControl* changed, const TRect& area)
{
    // area: the changed part in level's client coordinates.
    for (int i = level->ControlCount() - 1; i >= 0; --i) {
        TControl* c = level->Controls(i);
        if (c == changed)
            break;
        auto* layer = dynamic_cast<TLayer*>(c);
        if (!layer || !layer->Visible() || !layer->SeeThrough() || !Overlap(layer->BoundsRect(), area))
            continue;
        layer->Dirty(area, true);
    }
}

void TLayer::Changed(bool withSelf)
{
    if (!HandleAllocated() || !Visible())
        return;
    FDirtyCount++;
    if (withSelf)
        Invalidate();
    // Inside: every see-through child layer shows this layer through itself.
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* child = dynamic_cast<TLayer*>(Controls(i)); child && child->Visible() && child->SeeThrough())
            child->Dirty(child->ClientRect(), true);
    // Above, at each level up to the top-level window.
    TControl* changed = this;
    TRect area = BoundsRect();
    for (TWinControl* level = Parent(); level; level = level->Parent()) {
        MarkAbove(level, changed, area);
        area = Shifted(area, Point(level->Left(), level->Top()));
        changed = level;
        if (!level->Parent())
            break;
    }
}

void TLayer::ColorChanged()
{
    TCustomControl::ColorChanged();
    Changed(false);
}

void TLayer::FontChanged()
{
    TCustomControl::FontChanged();
    Changed(false);
}

void TLayer::TextChanged()
{
    Changed(true);
}

void TLayer::VisibleChanged()
{
    TCustomControl::VisibleChanged();
    if (Visible()) {
        Changed(true);
        return;
    }
    // Hidden: what lay under it shows again in the layers above it.
    TControl* changed = this;
    TRect area = BoundsRect();
    for (TWinControl* level = Parent(); level; level = level->Parent()) {
        MarkAbove(level, changed, area);
        area = Shifted(area, Point(level->Left(), level->Top()));
        changed = level;
    }
}

void TLayer::BoundsChanged()
{
    TCustomControl::BoundsChanged();
    if (Visible())
        Changed(true);
}

// ---- TButtonLayer ----

TButtonLayer::TButtonLayer(TComponent* AOwner) : TLayer(AOwner)
{
    SetColor(clNone);
    SetMaskAlign(aCenter);
    FGlyph.OnChange = [this](TObject*) {
        if (FGlyph.Active())
            SetBounds(Left(), Top(), OffsetLeft() + FGlyph.Width() + OffsetRight(),
                      OffsetTop() + FGlyph.Height() + OffsetBottom());
        Changed(true);
    };
}

TButtonLayer::~TButtonLayer()
{
    FGlyph.OnChange = nullptr;
    HitTimer().Remove(this);
}

void TButtonLayer::SetGlyphActive(uint8_t level)
{
    SetRestingLevel(FGlyphActive, level);
}

void TButtonLayer::SetGlyphInactive(uint8_t level)
{
    SetRestingLevel(FGlyphInactive, level);
}

void TButtonLayer::SetRestingLevel(uint8_t& resting, uint8_t level)
{
    if (level == resting)
        return;
    const uint8_t old = resting;
    resting = level;
    // A slot resting at the level that changed moves with it.
    if (old == FGlyphLevel)
        SetGlyphLevel(level);
}

void TButtonLayer::SetGlyphLevel(uint8_t level)
{
    if (level == FGlyphLevel)
        return;
    FGlyphLevel = level;
    if (FGlyph.Active())
        Changed(true);
}

bool TButtonLayer::HitTest(int X, int Y) const
{
    return ButtonTakesClick(Mask(), FGlyph, MaskAlign(), ClientRect(), InnerRect(), Point(X, Y));
}

void TButtonLayer::DrawContent(TRGBChannel& target, const TRect& clip, const TRect& inner)
{
    if (!FGlyph.Active())
        return;
    const TRect place = AlignRect(inner, FGlyph.Width(), FGlyph.Height(), MaskAlign());
    if (Mask().Active())
        target.DrawPictureMasked(clip, place.Left, place.Top, FGlyph, Mask(), FGlyphLevel);
    else
        target.DrawPicture(clip, place.Left, place.Top, FGlyph, FGlyphLevel);
}

void TButtonLayer::DrawMask(TRGBChannel& target, const TRect& clip, const TRect& client)
{
    if (!FGlyph.Active())
        TLayer::DrawMask(target, clip, client);
}

void TButtonLayer::MouseEnter()
{
    if (FadeActive && FGlyphActive != FGlyphInactive) {
        HitTimer().FadeTo(this, FadeInWord);
    } else {
        HitTimer().Remove(this);
        SetGlyphLevel(FGlyphActive);
    }
    TLayer::MouseEnter();
}

void TButtonLayer::MouseLeave()
{
    if (FadeInactive && FGlyphActive != FGlyphInactive) {
        HitTimer().FadeTo(this, FadeOutWord);
    } else {
        HitTimer().Remove(this);
        SetGlyphLevel(FGlyphInactive);
    }
    TLayer::MouseLeave();
}

// ---- THitTimer ----

THitTimer::THitTimer() : TTimer(nullptr)
{
    SetEnabled(false);
    SetInterval(FadeIntervalMs);
    OnTimer = [this](TObject*) {
        FFades.Tick();
        if (FFades.Empty())
            SetEnabled(false);
    };
}

void THitTimer::FadeTo(TButtonLayer* layer, uint32_t word)
{
    FFades.FadeTo(layer, word);
    SetEnabled(true);
}

void THitTimer::Remove(TButtonLayer* layer)
{
    FFades.Remove(layer);
    if (FFades.Empty())
        SetEnabled(false);
}

THitTimer& HitTimer()
{
    // Lives for the whole program; never freed, so that no layer outlives it.
    static THitTimer* const timer = new THitTimer;
    return *timer;
}

}  // namespace pelvo
