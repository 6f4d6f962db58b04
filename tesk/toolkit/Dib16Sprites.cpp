// Sprites: frames cut from named images, drawn into CurrentDib in one of their modes.
#include <algorithm>
#include <cstring>

#include "tesk/toolkit/Dib16.h"

namespace {

// A frame clipped against the target's clip rectangle and the source images' bounds.
struct ClippedFrame {
    int32_t dx, dy;   // first target pixel
    int32_t sx, sy;   // first pixel of the first frame
    int32_t sx2, sy2; // first pixel of the second frame
    int32_t w, h;
};

// Clips against the target's clip rectangle and records the result as a dirty rectangle
// of the target (also when it is empty); then keeps only pixels that exist in the source
// images. Returns false when nothing is left to draw.
bool ClipFrame(const tSprite& s, tDib16& target, int32_t x, int32_t y, bool twoFrames,
               ClippedFrame& c)
{
    const TRect& clip = target.ClipRect;
    c.dx = x - s.HotSpotX;
    c.dy = y - s.HotSpotY;
    c.sx = s.SrcX;
    c.sy = s.SrcY;
    c.sx2 = s.Src2X;
    c.sy2 = s.Src2Y;
    c.w = s.Width;
    c.h = s.Height;
    int32_t bottom = c.dy + c.h;
    int32_t right = c.dx + c.w;
    if (clip.Top - c.dy > 0) {
        const int32_t d = clip.Top - c.dy;
        c.h -= d;
        c.sy += d;
        c.sy2 += d;
        c.dy += d;
    }
    if (clip.Left - c.dx > 0) {
        const int32_t d = clip.Left - c.dx;
        c.w -= d;
        c.sx += d;
        c.sx2 += d;
        c.dx += d;
    }
    if (bottom - clip.Bottom > 0) {
        c.h -= bottom - clip.Bottom;
        bottom = clip.Bottom;
    }
    if (right - clip.Right > 0) {
        c.w -= right - clip.Right;
        right = clip.Right;
    }
    target.AddDirtyRect(TRect{c.dx, c.dy, right, bottom});
    if (c.w <= 0 || c.h <= 0)
        return false;

    // Pixels outside a source image are not drawn (a picture smaller than its sprite sheet).
    auto clipToSource = [&c](int32_t& sx, int32_t& sy, const tDib16* src, int32_t*& otherX,
                             int32_t*& otherY) {
        const int32_t sw = src ? src->Width : 0, sh = src ? src->Height : 0;
        if (sx < 0) {
            c.w += sx;
            c.dx -= sx;
            *otherX -= sx;
            sx = 0;
        }
        if (sy < 0) {
            c.h += sy;
            c.dy -= sy;
            *otherY -= sy;
            sy = 0;
        }
        if (sx + c.w > sw)
            c.w = sw - sx;
        if (sy + c.h > sh)
            c.h = sh - sy;
    };
    int32_t* ox = &c.sx2;
    int32_t* oy = &c.sy2;
    clipToSource(c.sx, c.sy, s.Source, ox, oy);
    if (twoFrames && c.w > 0 && c.h > 0) {
        ox = &c.sx;
        oy = &c.sy;
        clipToSource(c.sx2, c.sy2, s.Source2, ox, oy);
    }
    return c.w > 0 && c.h > 0;
}

inline uint16_t AddPixels(uint32_t s, uint32_t d, uint32_t mr, uint32_t mg, uint32_t mb)
{
    const uint32_t r = std::min(mr, (s & mr) + (d & mr));
    const uint32_t g = std::min(mg, (s & mg) + (d & mg));
    const uint32_t b = std::min(mb, (s & mb) + (d & mb));
    return static_cast<uint16_t>(r + g + b);
}

template <bool Fixed>
inline uint16_t Add(uint16_t s, uint16_t d)
{
    if constexpr (Fixed)
        return AddPixels(s, d, 0xF800, 0x07E0, 0x001F);
    else
        return AddPixels(s, d, static_cast<uint32_t>(PixelFormat.R.Mask),
                         static_cast<uint32_t>(PixelFormat.G.Mask),
                         static_cast<uint32_t>(PixelFormat.B.Mask));
}

// Row access for one frame: the first row and the distance between rows.
struct RowsOf {
    RowsOf(tDib16& dib, int32_t y, int32_t count) : First(dib.ScanLines(y, count, Pitch)) {}
    uint16_t* Row(int32_t k) const { return First + static_cast<ptrdiff_t>(k) * Pitch; }
    int32_t Pitch = 0;
    uint16_t* First;
};

void DrawOpaque(tDib16& t, tDib16& src, const ClippedFrame& c)
{
    const RowsOf d(t, c.dy, c.h), s(src, c.sy, c.h);
    for (int32_t j = 0; j < c.h; ++j)
        std::memcpy(d.Row(j) + c.dx, s.Row(j) + c.sx, static_cast<size_t>(c.w) * 2);
}

void DrawKeyed(tDib16& t, tDib16& src, const ClippedFrame& c, uint16_t key)
{
    const RowsOf d(t, c.dy, c.h), s(src, c.sy, c.h);
    for (int32_t j = 0; j < c.h; ++j) {
        uint16_t* __restrict dr = d.Row(j) + c.dx;
        const uint16_t* __restrict sr = s.Row(j) + c.sx;
        for (int32_t i = 0; i < c.w; ++i) {
            const uint16_t v = sr[i];
            dr[i] = v != key ? v : dr[i];
        }
    }
}

template <bool Fixed>
void DrawAdditive(tDib16& t, tDib16& src, const ClippedFrame& c, uint16_t key)
{
    const RowsOf d(t, c.dy, c.h), s(src, c.sy, c.h);
    for (int32_t j = 0; j < c.h; ++j) {
        uint16_t* __restrict dr = d.Row(j) + c.dx;
        const uint16_t* __restrict sr = s.Row(j) + c.sx;
        for (int32_t i = 0; i < c.w; ++i)
            if (sr[i] != key)
                dr[i] = Add<Fixed>(sr[i], dr[i]);
    }
}

template <bool Fixed>
void DrawDithered(tDib16& t, tDib16& src, tDib16& src2, const ClippedFrame& c, uint16_t key,
                  uint8_t pattern)
{
    if (pattern > 2)
        return;
    const RowsOf d(t, c.dy, c.h), s(src, c.sy, c.h), s2(src2, c.sy2, c.h);
    for (int32_t r = 0; r < c.h; ++r) {
        uint16_t* dr = d.Row(r) + c.dx;
        const uint16_t* s1 = s.Row(r) + c.sx;
        const uint16_t* s2r = s2.Row(r) + c.sx2;
        for (int32_t col = 0; col < c.w; ++col) {
            bool second;
            switch (pattern) {
            case 0:
                second = ((r + col) & 1) == 0;
                break;
            case 1:
                second = (r & 1) == 0 && (col & 1) == 1;
                break;
            default:
                second = !((r & 1) == 0 && (col & 1) == 1);
                break;
            }
            const uint16_t v = second ? s2r[col] : s1[col];
            if (v != key)
                dr[col] = Add<Fixed>(v, dr[col]);
        }
    }
}

// Covered variants: pixels whose cover byte is set are left alone.
enum class CoveredMode { Opaque, Keyed, Additive };

template <CoveredMode Mode>
void DrawCoveredRows(tDib16& t, tDib16& src, const ClippedFrame& c, uint16_t key)
{
    const size_t need = static_cast<size_t>(std::max(t.Width, 0)) * static_cast<size_t>(std::max(t.Height, 0));
    const bool haveMask = t.CoverMask.size() >= need;
    const RowsOf dRows(t, c.dy, c.h), sRows(src, c.sy, c.h);
    for (int32_t j = 0; j < c.h; ++j) {
        uint16_t* d = dRows.Row(j) + c.dx;
        const uint16_t* s = sRows.Row(j) + c.sx;
        const uint8_t* cover =
            haveMask ? t.CoverMask.data() + static_cast<size_t>(c.dy + j) * t.Width + c.dx : nullptr;
        for (int32_t i = 0; i < c.w; ++i) {
            if (cover && cover[i])
                continue;
            if constexpr (Mode == CoveredMode::Opaque) {
                d[i] = s[i];
            } else if constexpr (Mode == CoveredMode::Keyed) {
                if (s[i] != key)
                    d[i] = s[i];
            } else {
                if (s[i] != key && s[i] != 0)
                    d[i] = Add<false>(s[i], d[i]);
            }
        }
    }
}

void DrawCovered(tDib16& t, tDib16& src, const ClippedFrame& c, uint16_t key, CoveredMode mode)
{
    switch (mode) {
    case CoveredMode::Opaque: DrawCoveredRows<CoveredMode::Opaque>(t, src, c, key); break;
    case CoveredMode::Keyed: DrawCoveredRows<CoveredMode::Keyed>(t, src, c, key); break;
    case CoveredMode::Additive: DrawCoveredRows<CoveredMode::Additive>(t, src, c, key); break;
    }
}

} // namespace

tSprite::tSprite() { ColorKey = MakeRGBTriple(255, 0, 255); }

void tSprite::SetFrame(const std::string& imageName, int32_t x, int32_t y, int32_t width,
                       int32_t height)
{
    Source = FindDib(imageName);
    SrcX = x;
    SrcY = y;
    Width = width;
    Height = height;
    HotSpotX = width / 2;
    HotSpotY = height / 2;
}

void tSprite::SetFrame2(const std::string& imageName1, const std::string& imageName2, int32_t x1,
                        int32_t y1, int32_t x2, int32_t y2, int32_t width, int32_t height)
{
    SetFrame(imageName1, x1, y1, width, height);
    Source2 = FindDib(imageName2);
    Src2X = x2;
    Src2Y = y2;
}

void tSprite::SetMaskedFrame(const std::string& imageName, const std::string& maskName, int32_t x,
                             int32_t y, int32_t width, int32_t height)
{
    SetFrame(imageName, x, y, width, height);
    if (Source)
        Source->SetMaskName(maskName);
}

void tSprite::Draw(int32_t x, int32_t y)
{
    tDib16* target = CurrentDib;
    if (!Source || !target)
        return;
    tDrawScope scope(*target);
    Source->Load();
    if (Source2)
        Source2->Load();
    const uint16_t key = RGBToPixel(ColorKey.R, ColorKey.G, ColorKey.B);
    ClippedFrame c{};
    if (target->UseCoverMask && target->CoverMaskActive) {
        switch (DrawMode) {
        case 0:
            if (ClipFrame(*this, *target, x, y, false, c))
                DrawCovered(*target, *Source, c, key, CoveredMode::Keyed);
            break;
        case 1:
            if (ClipFrame(*this, *target, x, y, false, c))
                DrawCovered(*target, *Source, c, key, CoveredMode::Opaque);
            break;
        case 2:
        case 3:
            if (ClipFrame(*this, *target, x, y, false, c))
                DrawCovered(*target, *Source, c, key, CoveredMode::Additive);
            break;
        default:
            break;
        }
        return;
    }
    switch (DrawMode) {
    case 0:
        if (ClipFrame(*this, *target, x, y, false, c))
            DrawKeyed(*target, *Source, c, key);
        break;
    case 1:
        if (ClipFrame(*this, *target, x, y, false, c))
            DrawOpaque(*target, *Source, c);
        break;
    case 2:
        if (ClipFrame(*this, *target, x, y, false, c)) {
            if (Is565)
                DrawAdditive<true>(*target, *Source, c, key);
            else
                DrawAdditive<false>(*target, *Source, c, key);
        }
        break;
    case 3:
        if (ClipFrame(*this, *target, x, y, Source2 != nullptr, c) && Source2) {
            if (Is565)
                DrawDithered<true>(*target, *Source, *Source2, c, key, DitherPattern);
            else
                DrawDithered<false>(*target, *Source, *Source2, c, key, DitherPattern);
        }
        break;
    default:
        break;
    }
}

void tSprite::DrawToCoverMask(int32_t x, int32_t y)
{
    tDib16* target = CurrentDib;
    if (!Source || !target)
        return;
    ClippedFrame c{};
    const bool visible = ClipFrame(*this, *target, x, y, false, c);
    const size_t need = static_cast<size_t>(std::max(target->Width, 0)) *
                        static_cast<size_t>(std::max(target->Height, 0));
    if (visible && Source->HasSurface() && target->CoverMask.size() >= need) {
        const uint16_t key = RGBToPixel(ColorKey.R, ColorKey.G, ColorKey.B);
        const RowsOf sRows(*Source, c.sy, c.h);
        for (int32_t j = 0; j < c.h; ++j) {
            const uint16_t* s = sRows.Row(j) + c.sx;
            uint8_t* cover = target->CoverMask.data() + static_cast<size_t>(c.dy + j) * target->Width + c.dx;
            for (int32_t i = 0; i < c.w; ++i)
                if (s[i] != key)
                    cover[i] = 1;
        }
    }
    target->EndDraw();
}
