// Dirty rectangles, touched rows, the cover mask, block copies, whole-surface pixel
// operations and lines.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tesk/toolkit/Dib16.h"

namespace {

TRect SurfaceBounds(const tDib16& dib) { return TRect{0, 0, std::max(dib.Width, 0), std::max(dib.Height, 0)}; }

// A clip rectangle kept within the surface's own bounds.
TRect SafeClip(const tDib16& dib)
{
    const TRect& c = dib.ClipRect;
    const TRect b = SurfaceBounds(dib);
    return TRect{std::max(c.Left, b.Left), std::max(c.Top, b.Top), std::min(c.Right, b.Right),
                 std::min(c.Bottom, b.Bottom)};
}

// Copies h rows of w pixels; the caller has clipped both sides.
void CopyRows(tDib16& dst, int32_t dstX, int32_t dstY, tDib16& src, int32_t srcX, int32_t srcY,
              int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0)
        return;
    int32_t dPitch = 0, sPitch = 0;
    uint16_t* d = dst.ScanLines(dstY, h, dPitch) + dstX;
    const uint16_t* s = src.ScanLines(srcY, h, sPitch) + srcX;
    for (int32_t k = 0; k < h; ++k)
        std::memmove(d + static_cast<ptrdiff_t>(k) * dPitch, s + static_cast<ptrdiff_t>(k) * sPitch,
                     static_cast<size_t>(w) * 2);
}

// Clips a copy of w x h pixels from (sx, sy) of src to (dx, dy) of dst to the given
// rectangles of both, moving the other side by the same amount.
void ClipCopy(const TRect& srcArea, const TRect& dstArea, int32_t& sx, int32_t& sy, int32_t& dx,
              int32_t& dy, int32_t& w, int32_t& h)
{
    auto edge = [](int32_t& a, int32_t& b, int32_t& len, int32_t lo) {
        if (a < lo) {
            len -= lo - a;
            b += lo - a;
            a = lo;
        }
    };
    edge(dx, sx, w, dstArea.Left);
    edge(dy, sy, h, dstArea.Top);
    edge(sx, dx, w, srcArea.Left);
    edge(sy, dy, h, srcArea.Top);
    w = std::min({w, dstArea.Right - dx, srcArea.Right - sx});
    h = std::min({h, dstArea.Bottom - dy, srcArea.Bottom - sy});
}

} // namespace

// ---------------------------------------------------------------------------------------
// Dirty rectangles and touched rows

void tDib16::AddDirtyRect(const TRect& rect)
{
    if (RecordDirtyRects && !DirtyRectsSuspended && DirtyRectCount < MaxDirtyRects)
        DirtyRects[DirtyRectCount++] = rect;
}

void tDib16::RestoreDirtyRects(tDib16& background, const TPoint& offset)
{
    for (int32_t i = 0; i < DirtyRectCount; ++i)
        CopyRectFrom(background, DirtyRects[i], offset);
    DirtyRectCount = 0;
}

void tDib16::ClearTouchedRows() { std::fill(TouchedRows.begin(), TouchedRows.end(), 0); }

// ---------------------------------------------------------------------------------------
// Cover mask

void tDib16::SetUseCoverMask(bool on)
{
    UseCoverMask = on;
    AllocCoverMask();
}

void tDib16::AllocCoverMask()
{
    FreeCoverMask();
    if (UseCoverMask && HasSurface())
        CoverMask.assign(static_cast<size_t>(std::max(Width, 0)) * static_cast<size_t>(std::max(Height, 0)), 0);
}

void tDib16::ClearCoverMask() { std::fill(CoverMask.begin(), CoverMask.end(), 0); }

void tDib16::FreeCoverMask()
{
    CoverMask.clear();
    CoverMask.shrink_to_fit();
}

// ---------------------------------------------------------------------------------------
// Block copies. Every copy stays inside both surfaces: a rectangle reaching outside one of
// them copies only the part that exists in both.

void tDib16::CopyRectFrom(tDib16& source, const TRect& rect, const TPoint& offset)
{
    tDrawScope a(*this), b(source);
    int32_t sx = rect.Left + offset.X, sy = rect.Top + offset.Y;
    int32_t dx = rect.Left, dy = rect.Top;
    int32_t w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
    ClipCopy(SurfaceBounds(source), SurfaceBounds(*this), sx, sy, dx, dy, w, h);
    CopyRows(*this, dx, dy, source, sx, sy, w, h);
}

void tDib16::CopyBlockFrom(tDib16& source, int32_t srcX, int32_t srcY, int32_t width,
                           int32_t height, int32_t dstX, int32_t dstY)
{
    tDrawScope a(*this), b(source);
    ClipCopy(SurfaceBounds(source), SurfaceBounds(*this), srcX, srcY, dstX, dstY, width, height);
    CopyRows(*this, dstX, dstY, source, srcX, srcY, width, height);
}

void tDib16::BlitFrom(tDib16& source, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                      int32_t dstX, int32_t dstY)
{
    tDrawScope a(*this), b(source);
    ClipCopy(SafeClip(source), SafeClip(*this), srcX, srcY, dstX, dstY, width, height);
    CopyRows(*this, dstX, dstY, source, srcX, srcY, width, height);
}

// ---------------------------------------------------------------------------------------
// Whole-surface operations

void tDib16::Fill(uint16_t pixel)
{
    const int32_t n = 2 * (Width / 2);
    for (int32_t y = 0; y < Height; ++y)
        std::fill_n(ScanLine(y), n, pixel);
    Unlock();
}

void tDib16::Darken(int32_t mode)
{
    if (mode < 0 || mode > 2)
        return;
    const int32_t half = Width / 2;
    for (int32_t y = 0; y < Height; ++y) {
        uint16_t* row = ScanLine(y);
        if (mode == 2) {
            for (int32_t x = 0; x < 2 * half; ++x)
                row[x] = DarkenTable[row[x]];
        } else {
            const int32_t first = mode == 0 ? (y & 1) : 1 - (y & 1);
            for (int32_t k = 0; k < half; ++k) {
                const int32_t x = first + 2 * k;
                if (x < Width)
                    row[x] = DarkenTable[row[x]];
            }
        }
    }
    Unlock();
}

void tDib16::HalveLight()
{
    for (int32_t y = 0; y < Height; ++y) {
        uint16_t* row = ScanLine(y);
        for (int32_t x = 0; x < Width; ++x)
            row[x] = HalfLightTable[row[x]];
    }
    Unlock();
}

void tDib16::Greyscale()
{
    const TChannelFormat& g = PixelFormat.G;
    const int32_t levels = (g.Mask >> g.Shift) + 1;
    std::vector<uint16_t> grey(static_cast<size_t>(levels));
    for (int32_t v = 0; v < levels; ++v) {
        const uint8_t c = static_cast<uint8_t>((v << (8 - g.Bits)) & 0xFF);
        grey[v] = RGBToPixel(c, c, c);
    }
    for (int32_t y = 0; y < Height; ++y) {
        uint16_t* row = ScanLine(y);
        for (int32_t x = 0; x < Width; ++x)
            row[x] = grey[(row[x] & g.Mask) >> g.Shift];
    }
    Unlock();
}

void tDib16::ShrinkFrom(tDib16& source)
{
    std::unique_ptr<tDib16> copy;
    tDib16* src = &source;
    if (src == this) {
        copy = std::make_unique<tDib16>(Width, Height);
        copy->CopyBlockFrom(*this, 0, 0, Width, Height, 0, 0);
        src = copy.get();
    }
    const int32_t w = src->Width / 2, h = src->Height / 2;
    if (w != Width || h != Height || !HasSurface()) {
        if (HasSurface())
            ReleaseSurface();
        Width = w;
        Height = h;
        CreateSurface();
    }
    ClipRect = TRect{0, 0, Width, Height};
    tDrawScope a(*this), b(*src);
    for (int32_t y = 0; y < h; ++y) {
        const uint16_t* r0 = src->ScanLine(2 * y);
        const uint16_t* r1 = src->ScanLine(2 * y + 1);
        uint16_t* d = ScanLine(y);
        for (int32_t x = 0; x < w; ++x) {
            uint8_t c[4][3];
            PixelToRGB(r0[2 * x], c[0][0], c[0][1], c[0][2]);
            PixelToRGB(r0[2 * x + 1], c[1][0], c[1][1], c[1][2]);
            PixelToRGB(r1[2 * x], c[2][0], c[2][1], c[2][2]);
            PixelToRGB(r1[2 * x + 1], c[3][0], c[3][1], c[3][2]);
            uint8_t out[3];
            for (int k = 0; k < 3; ++k) {
                const int32_t a = (c[0][k] + c[1][k] + c[2][k] + c[3][k]) >> 2;
                out[k] = static_cast<uint8_t>((a * a) >> 8);
            }
            d[x] = RGBToPixel(out[0], out[1], out[2]);
        }
    }
}

void tDib16::AddColor(const TRect& rect, uint16_t pixel)
{
    tDrawScope scope(*this);
    AddDirtyRect(rect);
    const TRect clip = SafeClip(*this);
    const TRect r{std::max(rect.Left, clip.Left), std::max(rect.Top, clip.Top),
                  std::min(rect.Right, clip.Right), std::min(rect.Bottom, clip.Bottom)};
    const uint32_t mr = static_cast<uint32_t>(PixelFormat.R.Mask);
    const uint32_t mg = static_cast<uint32_t>(PixelFormat.G.Mask);
    const uint32_t mb = static_cast<uint32_t>(PixelFormat.B.Mask);
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
        uint16_t* row = ScanLine(y);
        for (int32_t x = r.Left; x < r.Right; ++x) {
            const uint32_t d = row[x];
            row[x] = static_cast<uint16_t>(std::min(mr, (d & mr) + (pixel & mr)) +
                                           std::min(mg, (d & mg) + (pixel & mg)) +
                                           std::min(mb, (d & mb) + (pixel & mb)));
        }
    }
}

// ---------------------------------------------------------------------------------------
// Lines

void tDib16::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    PenPos = TPoint{x2, y2};
    if (y1 < y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    // Cohen-Sutherland against the last column and row inside the clip rectangle.
    const TRect clip = SafeClip(*this);
    const int32_t L = clip.Left, T = clip.Top, R = clip.Right - 1, B = clip.Bottom - 1;
    if (R < L || B < T)
        return;
    auto outcode = [&](int32_t x, int32_t y) {
        int code = 0;
        if (x < L)
            code |= 1;
        else if (x > R)
            code |= 2;
        if (y < T)
            code |= 4;
        else if (y > B)
            code |= 8;
        return code;
    };
    int c1 = outcode(x1, y1), c2 = outcode(x2, y2);
    for (int guard = 0; guard < 8; ++guard) {
        if ((c1 | c2) == 0) {
            DrawLine(x1, y1, x2, y2);
            return;
        }
        if (c1 & c2)
            return;
        const int out = c1 ? c1 : c2;
        const float dx = static_cast<float>(x2 - x1), dy = static_cast<float>(y2 - y1);
        int32_t x, y;
        if (out & 8) {
            y = B;
            x = x1 + static_cast<int32_t>(std::nearbyint(dx / dy * static_cast<float>(B - y1)));
        } else if (out & 4) {
            y = T;
            x = x1 + static_cast<int32_t>(std::nearbyint(dx / dy * static_cast<float>(T - y1)));
        } else if (out & 2) {
            x = R;
            y = y1 + static_cast<int32_t>(std::nearbyint(dy / dx * static_cast<float>(R - x1)));
        } else {
            x = L;
            y = y1 + static_cast<int32_t>(std::nearbyint(dy / dx * static_cast<float>(L - x1)));
        }
        if (out == c1) {
            x1 = x;
            y1 = y;
            c1 = outcode(x1, y1);
        } else {
            x2 = x;
            y2 = y;
            c2 = outcode(x2, y2);
        }
    }
}

void tDib16::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    AddDirtyRect(TRect{x1, y1, x2, y2});
    const int32_t dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int32_t dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int32_t err = dx + dy;
    int32_t x = x1, y = y1;
    for (;;) {
        // The line is clipped by its callers; a point off the surface is never written.
        if (x >= 0 && y >= 0 && x < Width && y < Height)
            ScanLine(y)[x] = PenColor;
        if (x == x2 && y == y2)
            break;
        const int32_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    Unlock();
}

void tDib16::FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    struct Suspend {
        bool& flag;
        ~Suspend() { flag = false; }
    } suspend{DirtyRectsSuspended};
    DirtyRectsSuspended = true;
    Line(left, top, right - 1, top);
    LineTo(right - 1, bottom - 1);
    LineTo(left, bottom - 1);
    LineTo(left, top);
    DirtyRectsSuspended = false;
    AddDirtyRect(TRect{left, top, right, bottom});
}
