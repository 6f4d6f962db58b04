#include "tesk/widgets/Sliders.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/Exceptions.h"
#include "platform/Keys.h"
#include "platform/SysUtils.h"

namespace {

const char* const DefaultImageNames[4] = {"W95_HTB", "W95_HRL", "W95_VTB", "W95_VRL"};

int ClampToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int RoundToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

int64_t RoundToInt64(double v)
{
    if (!std::isfinite(v))
        return 0;
    const double r = std::nearbyint(v);
    constexpr double limit = 9.0e18;
    return static_cast<int64_t>(std::clamp(r, -limit, limit));
}

// Copies `count` pixels along the axis from the image at `from` to the ruler at `to`,
// clipped to both.
void CopyAlong(const TBitmap& image, TBitmap& ruler, bool horizontal, int from, int to, int count)
{
    const int imageLength = horizontal ? image.Width() : image.Height();
    const int rulerLength = horizontal ? ruler.Width() : ruler.Height();
    const int across = horizontal ? std::min(image.Height(), ruler.Height()) : std::min(image.Width(), ruler.Width());
    for (int i = 0; i < count; ++i) {
        const int s = from + i;
        const int d = to + i;
        if (s < 0 || d < 0 || s >= imageLength || d >= rulerLength)
            continue;
        for (int a = 0; a < across; ++a) {
            if (horizontal)
                ruler.SetPixelColor(d, a, image.PixelColor(s, a));
            else
                ruler.SetPixelColor(a, d, image.PixelColor(a, s));
        }
    }
}

} // namespace

TExCustomSlider::TExCustomSlider(TComponent* AOwner) : TCustomControl(AOwner)
{
    InitWidgetLibrary();
    ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks;
    SetTabStop(true);
    FRepeatTimer = std::make_unique<TTimer>(nullptr);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(400);
    FRepeatTimer->OnTimer = [this](TObject*) { RepeatStep(); };
    for (int i = 0; i < 4; ++i)
        LoadDefaultImage(i);
    FThumbRect = Bounds(0, 0, ThumbSize().X, ThumbSize().Y);
    SetBounds(Left(), Top(), 150, 40);
    FCreating = false;
    LayoutParts();
}

TExCustomSlider::~TExCustomSlider()
{
    *FAlive = false;
    OnChange = nullptr;
    OnChanged = nullptr;
    OnDrawPoints = nullptr;
    FRepeatTimer.reset();
}

void TExCustomSlider::LoadDefaultImage(int index)
{
    TBitmap& image = FImages[static_cast<size_t>(index)];
    try {
        image.LoadFromResourceName(DefaultImageNames[index]);
    } catch (const Exception&) {
        image.SetSize(0, 0);
    }
}

// ---------------------------------------------------------------------------------------
// Properties

void TExCustomSlider::SetImage(int index, const TBitmap* bitmap)
{
    if (index < 0 || index > 3)
        return;
    if (bitmap) {
        if (bitmap != &FImages[static_cast<size_t>(index)])
            FImages[static_cast<size_t>(index)].Assign(bitmap);
        FUserImages = static_cast<uint8_t>(FUserImages | (1u << index));
    } else {
        LoadDefaultImage(index);
        FUserImages = static_cast<uint8_t>(FUserImages & ~(1u << index));
    }
    if (index == siHThumb || index == siVThumb) {
        Invalidate();
        if ((index == siHThumb) == (FOrientation == soHorizontal))
            ApplyThumbSize();
    }
    if (!FCreating)
        Relayout();
}

void TExCustomSlider::ReadUserImages(TStream& stream)
{
    uint8_t bits = 0;
    if (stream.Read(&bits, 1) == 1)
        FUserImages = static_cast<uint8_t>(bits & 0x0F);
}

void TExCustomSlider::WriteUserImages(TStream& stream) { stream.Write(&FUserImages, 1); }

void TExCustomSlider::Loaded()
{
    TCustomControl::Loaded();
    for (int i = 0; i < 4; ++i)
        if (FUserImages & (1u << i))
            SetImage(i, &FImages[static_cast<size_t>(i)]);
}

void TExCustomSlider::SetEdgeSize(int value)
{
    const TBitmap& ruler = FOrientation == soHorizontal ? FImages[siHRuler] : FImages[siVRuler];
    const int64_t length = FOrientation == soHorizontal ? ruler.Width() : ruler.Height();
    if (value < 0 || 2 * static_cast<int64_t>(value) >= length || value == FEdgeSize)
        return;
    FEdgeSize = value;
    Relayout();
}

void TExCustomSlider::SetNumThumbStates(int value)
{
    value = std::clamp(value, 1, 2);
    if (value == FNumThumbStates)
        return;
    FNumThumbStates = value;
    ApplyThumbSize();
}

void TExCustomSlider::SetOrientation(TSliderOrientation value)
{
    if (value == FOrientation)
        return;
    FOrientation = value;
    Relayout();
    ApplyThumbSize();
    SetBounds(Left(), Top(), Height(), Width());
}

void TExCustomSlider::SetOptions(TSliderOptions value)
{
    if (value == FOptions)
        return;
    FOptions = value;
    Invalidate();
}

void TExCustomSlider::SetBevelStyle(TBevelCut value)
{
    if (value == FBevelStyle)
        return;
    FBevelStyle = value;
    Relayout();
    Realign();
    Repaint();
}

void TExCustomSlider::SetMinValue(int value)
{
    if (value != FMinValue)
        SetRange(value, FMaxValue);
}

void TExCustomSlider::SetMaxValue(int value)
{
    if (value != FMaxValue)
        SetRange(FMinValue, value);
}

void TExCustomSlider::SetIncrement(int value)
{
    const int64_t range = static_cast<int64_t>(FMaxValue) - FMinValue;
    if (value < 1 || value > range)
        throw ERangeError(PassText(Format("Value must be between %d and %d", {1, static_cast<long long>(range)})));
    if (value == FIncrement)
        return;
    FIncrement = value;
    auto alive = FAlive;
    SetValue(FValue);
    if (*alive)
        Invalidate();
}

void TExCustomSlider::SetRange(int min, int max)
{
    if (min >= max)
        return;
    FMinValue = min;
    FMaxValue = max;
    if (static_cast<int64_t>(max) < static_cast<int64_t>(min) + FIncrement)
        FIncrement = ClampToInt(static_cast<int64_t>(max) - min);
    if (FOptions & soShowPoints)
        Invalidate();
    auto alive = FAlive;
    SetValue(FValue);
    if (*alive)
        RangeChanged();
}

void TExCustomSlider::SetValue(int value)
{
    value = std::min(value, FMaxValue);
    value = std::max(value, FMinValue);
    const bool changed = value != FValue;
    FValue = value;
    MoveThumbTo(PositionOfValue(value));
    if (changed)
        Change();
}

void TExCustomSlider::Change()
{
    if (OnChange)
        OnChange(this);
}

void TExCustomSlider::Changed()
{
    if (OnChanged)
        OnChanged(this);
}

// ---------------------------------------------------------------------------------------
// Geometry

TRect TExCustomSlider::SliderArea() const
{
    TRect r = ClientRect();
    if (FBevelStyle != bvNone) {
        r.Left += FBevelWidth;
        r.Top += FBevelWidth;
        r.Right -= FBevelWidth;
        r.Bottom -= FBevelWidth;
    }
    return r;
}

TPoint TExCustomSlider::ThumbSize() const
{
    const TBitmap& thumb = FOrientation == soHorizontal ? FImages[siHThumb] : FImages[siVThumb];
    return Point(thumb.Width() / std::max(FNumThumbStates, 1), thumb.Height());
}

int TExCustomSlider::TrackRange() const
{
    const TPoint thumb = ThumbSize();
    return FOrientation == soHorizontal ? FRuler.Width() - thumb.X : FRuler.Height() - thumb.Y;
}

void TExCustomSlider::ComposeRuler(const TRect& area)
{
    const bool horizontal = FOrientation == soHorizontal;
    const TBitmap& image = horizontal ? FImages[siHRuler] : FImages[siVRuler];
    const int length = horizontal ? std::max(0, area.Width() - 12) : std::max(0, area.Height() - 12);
    TBitmap ruler;
    ruler.SetPixelFormat(pf24bit);
    if (horizontal)
        ruler.SetSize(length, image.Height());
    else
        ruler.SetSize(image.Width(), length);
    if (!ruler.Empty() && !image.Empty()) {
        // Parts no piece covers stay transparent.
        const TColor transparent = ColorToRGB(image.TransparentColor());
        for (int y = 0; y < ruler.Height(); ++y)
            for (int x = 0; x < ruler.Width(); ++x)
                ruler.SetPixelColor(x, y, transparent);
        const int L = horizontal ? image.Width() : image.Height();
        const int E = FEdgeSize;
        const int A = length - 2 * E;
        const int S = L - 2 * E;
        if (S <= 0) {
            CopyAlong(image, ruler, horizontal, 0, 0, L - E);
        } else {
            const int n = A / S;
            const int rem = A % S;
            for (int i = 0; i <= n; ++i) {
                if (i == 0)
                    CopyAlong(image, ruler, horizontal, 0, 0, L - E);
                else if (i < n)
                    CopyAlong(image, ruler, horizontal, E, E + i * S, S);
                else
                    CopyAlong(image, ruler, horizontal, E + S - rem, E + n * S, rem + E);
            }
        }
    }
    FRuler.Exchange(ruler);
}

void TExCustomSlider::LayoutParts()
{
    const int value = FValue;
    const TRect r = SliderArea();
    ComposeRuler(r);
    const TPoint thumb = ThumbSize();
    if (FOrientation == soHorizontal) {
        const int th = thumb.Y;
        const int rh = FRuler.Height();
        TPoint thumbAt{};
        if (rh < th) {
            thumbAt = Point(r.Left + 6, r.Top + 6);
            FRulerOrigin = Point(r.Left + 6, r.Top + 6 + (th - rh) / 2);
        } else {
            FRulerOrigin = Point(r.Left + 6, r.Top + 6);
            thumbAt = Point(r.Left + 6, r.Top + 6 + (rh - th) / 2);
        }
        FThumbRect = Bounds(thumbAt.X, thumbAt.Y, thumb.X, thumb.Y);
        FTickArea = Rect(FRulerOrigin.X, r.Top + 7 + std::max(rh, th), r.Right, r.Bottom);
    } else {
        const int tw = thumb.X;
        const int rw = FRuler.Width();
        TPoint thumbAt{};
        if (rw < tw) {
            thumbAt = Point(r.Left + 6, r.Top + 6);
            FRulerOrigin = Point(r.Left + 6 + (tw - rw) / 2, r.Top + 6);
        } else {
            FRulerOrigin = Point(r.Left + 6, r.Top + 6);
            thumbAt = Point(r.Left + 6 + (rw - tw) / 2, r.Top + 6);
        }
        FThumbRect = Bounds(thumbAt.X, thumbAt.Y, thumb.X, thumb.Y);
        FTickArea = Rect(r.Left + 7 + std::max(rw, tw), FRulerOrigin.Y, r.Right, r.Bottom);
    }
    SetValue(value);
}

void TExCustomSlider::Relayout()
{
    LayoutParts();
    Invalidate();
}

void TExCustomSlider::ApplyThumbSize()
{
    const TPoint thumb = ThumbSize();
    FThumbRect = Bounds(FThumbRect.Left, FThumbRect.Top, thumb.X, thumb.Y);
    SetValue(FValue);
}

int TExCustomSlider::PositionOfValue(int value) const
{
    const TRect r = SliderArea();
    const bool horizontal = FOrientation == soHorizontal;
    const int origin = horizontal ? r.Left + 6 : r.Top + 6;
    const int track = TrackRange();
    const int64_t range = static_cast<int64_t>(FMaxValue) - FMinValue;
    if (track <= 0 || range <= 0)
        return origin;
    const int d = RoundToInt(static_cast<double>(track) * (static_cast<double>(value) - FMinValue) /
                             static_cast<double>(range));
    const int64_t p = horizontal ? static_cast<int64_t>(r.Left) + 6 + d
                                 : static_cast<int64_t>(r.Bottom) - 6 - ThumbSize().Y - d;
    return ClampToInt(std::max<int64_t>(p, origin));
}

int TExCustomSlider::ValueAtPosition(int position) const
{
    const TRect r = SliderArea();
    const int track = TrackRange();
    const int64_t range = static_cast<int64_t>(FMaxValue) - FMinValue;
    if (track <= 0 || range <= 0)
        return FValue;
    const int64_t c = FOrientation == soHorizontal
                          ? static_cast<int64_t>(position) - r.Left - 6
                          : static_cast<int64_t>(ClientHeight()) - position - ThumbSize().Y - r.Left - 6;
    int64_t d = RoundToInt64(static_cast<double>(c) * static_cast<double>(range) / track);
    if (!(FOptions & soSmooth) && FIncrement > 0)
        d = RoundToInt64(static_cast<double>(d) / FIncrement) * FIncrement;
    const int64_t v = std::max<int64_t>(d, 0) + FMinValue;
    return ClampToInt(std::min<int64_t>(v, FMaxValue));
}

int TExCustomSlider::SnapPosition(int position) const
{
    const TRect r = SliderArea();
    const int origin = FOrientation == soHorizontal ? r.Left + 6 : r.Top + 6;
    const int track = TrackRange();
    if (track <= 0)
        return origin;
    const int64_t last = static_cast<int64_t>(origin) + track;
    int p = ClampToInt(std::clamp<int64_t>(position, origin, last));
    p = PositionOfValue(ValueAtPosition(p));
    return ClampToInt(std::min<int64_t>(p, last));
}

void TExCustomSlider::MoveThumbTo(int position)
{
    const int old = FValue;
    const int p = SnapPosition(position);
    Invalidate();
    if (FOrientation == soHorizontal)
        FThumbRect = Bounds(p, FThumbRect.Top, FThumbRect.Width(), FThumbRect.Height());
    else
        FThumbRect = Bounds(FThumbRect.Left, p, FThumbRect.Width(), FThumbRect.Height());
    if (FSliding) {
        FValue = ValueAtPosition(p);
        if (FValue != old)
            Change();
    }
}

void TExCustomSlider::StepBy(int kind)
{
    const int64_t inc = std::max(FIncrement, 1);
    int64_t target = 0;
    switch (kind) {
    case skToMin: target = FMinValue; break;
    case skToMax: target = FMaxValue; break;
    case skUp: target = inc * (RoundToInt64(static_cast<double>(FValue) / static_cast<double>(inc)) + 1); break;
    case skDown: target = inc * RoundToInt64(static_cast<double>(FValue) / static_cast<double>(inc)) - inc; break;
    default: return;
    }
    target = target >= FMaxValue ? FMaxValue : std::max<int64_t>(target, FMinValue);
    if (target != FValue)
        SetValue(static_cast<int>(target));
}

int TExCustomSlider::HitSide(int x, int y) const
{
    if (FOrientation == soHorizontal) {
        if (x < FThumbRect.Left)
            return skDown;
        if (x > FThumbRect.Right)
            return skUp;
    } else {
        if (y < FThumbRect.Top)
            return skUp;
        if (y > FThumbRect.Bottom)
            return skDown;
    }
    return skNone;
}

// ---------------------------------------------------------------------------------------
// Painting

std::vector<TExCustomSlider::TTick> TExCustomSlider::Ticks(int step, int length, int extremeLength) const
{
    std::vector<TTick> ticks;
    const int64_t range = static_cast<int64_t>(FMaxValue) - FMinValue;
    const int track = TrackRange();
    const int64_t f0 = std::max(step, 1);
    // The spacing g grows with k; find the first k where g >= 4 or g >= the track.
    auto countFor = [&](int64_t k) -> int64_t {
        if (range <= 0)
            return 0;
        return RoundToInt64(static_cast<double>(range) / (static_cast<double>(f0) * static_cast<double>(k)));
    };
    auto done = [&](int64_t k) {
        const int64_t count = countFor(k);
        const int64_t g = count > 0 ? track / count : track;
        return g >= 4 || g >= track;
    };
    int64_t k = 1;
    if (!done(1)) {
        int64_t hi = 2;
        while (!done(hi) && hi < (int64_t(1) << 40))
            hi *= 2;
        int64_t lo = hi / 2; // not done at lo
        while (hi - lo > 1) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (done(mid))
                hi = mid;
            else
                lo = mid;
        }
        k = hi;
    }
    const int64_t f = f0 * k;
    const int64_t count = std::min<int64_t>(countFor(k), 100000);
    const TPoint thumb = ThumbSize();
    const int half = (FOrientation == soHorizontal ? thumb.X : thumb.Y) / 2;
    for (int64_t i = 0; i <= count; ++i) {
        const int value = i == count ? FMaxValue : ClampToInt(FMinValue + i * f);
        TTick tick;
        tick.Value = value;
        tick.Length = value == FMinValue || value == FMaxValue ? extremeLength : length;
        tick.Position = ClampToInt(static_cast<int64_t>(PositionOfValue(value)) + half);
        ticks.push_back(tick);
    }
    return ticks;
}

void TExCustomSlider::PaintTicks(TCanvas& canvas, int step, int length, int extremeLength)
{
    canvas.Pen.Color = clWindowText;
    for (const TTick& tick : Ticks(step, length, extremeLength)) {
        if (FOrientation == soHorizontal) {
            canvas.MoveTo(tick.Position, FTickArea.Top);
            canvas.LineTo(tick.Position, FTickArea.Top + tick.Length);
        } else {
            canvas.MoveTo(FTickArea.Left, tick.Position);
            canvas.LineTo(FTickArea.Left + tick.Length, tick.Position);
        }
    }
}

void TExCustomSlider::DrawTicks(int step, int length, int extremeLength)
{
    PaintTicks(Canvas(), step, length, extremeLength);
}

void TExCustomSlider::PaintThumb(TPoint at, bool secondState)
{
    const TPoint size = Point(FThumbRect.Width(), FThumbRect.Height());
    if (size.X < 1 || size.Y < 1)
        return;
    FThumbBuffer.SetPixelFormat(pf32bit);
    FThumbBuffer.SetSize(size.X, size.Y);
    TCanvas& buffer = FThumbBuffer.Canvas();
    buffer.Brush.Bitmap = nullptr;
    buffer.Brush.Style = bsSolid;
    buffer.Brush.Color = Color();
    buffer.FillRect(Rect(0, 0, size.X, size.Y));
    TBitmap& image = FOrientation == soHorizontal ? FImages[siHThumb] : FImages[siVThumb];
    if (!image.Empty()) {
        TRect source = Rect(0, 0, image.Width(), image.Height());
        if (FNumThumbStates == 2) {
            const int half = image.Width() / 2;
            source = secondState ? Rect(half, 0, 2 * half, image.Height()) : Rect(0, 0, half, image.Height());
        }
        if (source.Width() > 0)
            DrawBitmapRectTransparent(buffer, 0, 0, source, image, image.TransparentColor());
    }
    Canvas().Draw(at.X, at.Y, FThumbBuffer);
}

void TExCustomSlider::Paint()
{
    TCanvas& canvas = Canvas();
    const TPoint at = Point(FThumbRect.Left, FThumbRect.Top);
    HDC dc = canvas.Handle();
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, at.X, at.Y, at.X + FThumbRect.Width(), at.Y + FThumbRect.Height());
    TRect r = ClientRect();
    if (FBevelStyle != bvNone) {
        if (FBevelStyle == bvLowered)
            canvas.Frame3D(r, clBtnShadow, clBtnHighlight, FBevelWidth);
        else
            canvas.Frame3D(r, clBtnHighlight, clBtnShadow, FBevelWidth);
    }
    if (ControlStyle & csOpaque) {
        canvas.Brush.Bitmap = nullptr;
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = Color();
        canvas.FillRect(r);
    }
    if (!FRuler.Empty())
        DrawBitmapTransparent(canvas, FRulerOrigin.X, FRulerOrigin.Y, FRuler, FRuler.TransparentColor());
    if ((FOptions & soShowFocus) && FFocused) {
        TRect focus = SliderArea();
        focus.Left += 2;
        focus.Top += 2;
        focus.Right -= 2;
        focus.Bottom -= 2;
        canvas.DrawFocusRect(focus);
    }
    if (FOptions & soShowPoints) {
        if (OnDrawPoints)
            OnDrawPoints(this);
        else
            PaintTicks(canvas, FIncrement, 3, 5);
    }
    RestoreDC(dc, saved);
    PaintThumb(at, FThumbDown || !Enabled());
}

// ---------------------------------------------------------------------------------------
// Mouse, keys and messages

void TExCustomSlider::ThumbPress(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Shift;
    if (Button != mbLeft || !CanChangeValue() || ReadOnly)
        return;
    FSliding = true;
    FThumbDown = true;
    FHitOffset = FOrientation == soVertical ? Y - FThumbRect.Top : X - FThumbRect.Left;
    Invalidate();
    Repaint();
}

void TExCustomSlider::ThumbDrag(TShiftState Shift, int X, int Y)
{
    (void)Shift;
    if (CanChangeValue() && !ReadOnly)
        MoveThumbTo((FOrientation == soVertical ? Y : X) - FHitOffset);
}

void TExCustomSlider::ThumbRelease(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Shift;
    (void)X;
    (void)Y;
    if (Button != mbLeft)
        return;
    FSliding = false;
    FThumbDown = false;
    Invalidate();
    Repaint();
    if (CanChangeValue() && !ReadOnly)
        Changed();
}

void TExCustomSlider::RepeatStep()
{
    if (HitSide(FPressPoint.X, FPressPoint.Y) == FPressSide) {
        auto alive = FAlive;
        StepBy(FPressSide);
        if (!*alive)
            return;
        if (!FTimerRunning && FRepeatTimer) {
            FRepeatTimer->SetInterval(400);
            FRepeatTimer->SetEnabled(true);
            FTimerRunning = true;
        }
    }
}

void TExCustomSlider::EndRulerPress()
{
    if (FTimerRunning && FRepeatTimer) {
        FRepeatTimer->SetEnabled(false);
        FTimerRunning = false;
    }
    FRulerPressed = false;
    SetMouseCapture(false);
    Changed();
}

void TExCustomSlider::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        // A slider kept out of the focus chain leaves the focus where it is.
        if (CanFocus() && TakesFocus())
            SetFocus();
        const TPoint p = Point(X, Y);
        if (PointInRectInclusive(p, FThumbRect)) {
            ThumbPress(Button, Shift, X, Y);
        } else {
            TRect ruler = Bounds(FRulerOrigin.X, FRulerOrigin.Y, FRuler.Width(), FRuler.Height());
            if (FOrientation == soHorizontal) {
                ruler.Top -= 3;
                ruler.Bottom += 3;
            } else {
                ruler.Left -= 3;
                ruler.Right += 3;
            }
            if (PointInRectInclusive(p, ruler) && CanChangeValue() && !ReadOnly) {
                SetMouseCapture(true);
                FRulerPressed = true;
                FPressPoint = p;
                FPressSide = HitSide(X, Y);
                auto alive = FAlive;
                RepeatStep();
                if (!*alive)
                    return;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TExCustomSlider::MouseMove(TShiftState Shift, int X, int Y)
{
    auto alive = FAlive;
    if (FSliding)
        ThumbDrag(Shift, X, Y);
    else if (FRulerPressed)
        FPressPoint = Point(X, Y);
    if (*alive)
        TCustomControl::MouseMove(Shift, X, Y);
}

void TExCustomSlider::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    auto alive = FAlive;
    if (FRulerPressed)
        EndRulerPress();
    if (*alive && FSliding)
        ThumbRelease(Button, Shift, X, Y);
    if (*alive)
        TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TExCustomSlider::KeyDown(WORD& Key, TShiftState Shift)
{
    if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
        int kind = skNone;
        switch (Key) {
        case VK_HOME: kind = skToMin; break;
        case VK_END: kind = skToMax; break;
        case VK_LEFT: if (FOrientation == soHorizontal) kind = skDown; break;
        case VK_RIGHT: if (FOrientation == soHorizontal) kind = skUp; break;
        case VK_UP: if (FOrientation == soVertical) kind = skUp; break;
        case VK_DOWN: if (FOrientation == soVertical) kind = skDown; break;
        default: break;
        }
        if (kind != skNone && CanChangeValue() && !ReadOnly) {
            Key = 0;
            auto alive = FAlive;
            StepBy(kind);
            if (*alive)
                Changed();
            if (!*alive)
                return;
        }
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TExCustomSlider::FocusChanged(TWinControl* NewFocus)
{
    const bool focused = NewFocus == this;
    if (focused != FFocused) {
        FFocused = focused;
        if (FOptions & soShowFocus)
            Invalidate();
    }
    TCustomControl::FocusChanged(NewFocus);
}

void TExCustomSlider::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    Invalidate();
}

void TExCustomSlider::BoundsChanged()
{
    TCustomControl::BoundsChanged();
    if (!FCreating)
        Relayout();
}

TCursor TExCustomSlider::CursorAt(int X, int Y)
{
    if (PointInRectInclusive(Point(X, Y), FThumbRect))
        return crExHand;
    return TCustomControl::CursorAt(X, Y);
}

void TExCustomSlider::AlignControls(TControl* control, TRect& rect)
{
    if (FBevelStyle != bvNone) {
        rect.Left += FBevelWidth;
        rect.Top += FBevelWidth;
        rect.Right -= FBevelWidth;
        rect.Bottom -= FBevelWidth;
    }
    TCustomControl::AlignControls(control, rect);
}
