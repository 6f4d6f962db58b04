#include "platform/Graphics.h"

#include "platform/QtBridge.h"
#include "platform/Streams.h"
#include "platform/TestHooks.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

// ---------------------------------------------------------------------------------------
// Geometry and colours

TRect IntersectRect(const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty())
        return TRect{};
    return r;
}

TColor ColorToRGB(TColor color)
{
    if (color < 0) {
        switch (color & 0xFF) {
        case 5: // window
        case 20: // button highlight
            return 0xFFFFFF;
        case 6: // window frame
        case 8: // window text
        case 18: // button text
            return 0x000000;
        case 16: // button shadow
        case 17: // grey text
            return 0x808080;
        default: // button face, borders and the rest
            return 0xC0C0C0;
        }
    }
    return color & 0x00FFFFFF;
}

namespace {

struct ChannelLayout {
    uint32_t mask;
    int shift;
    int bits;
};

ChannelLayout Layout(uint32_t mask)
{
    ChannelLayout c{mask, 0, 0};
    if (mask == 0)
        return c;
    while (((mask >> c.shift) & 1u) == 0)
        ++c.shift;
    while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1u))
        ++c.bits;
    if (c.bits > 8) // wider channels keep their top 8 bits
        c.bits = 8;
    return c;
}

uint32_t PackChannel(const ChannelLayout& c, uint8_t v)
{
    if (c.bits == 0)
        return 0;
    return (static_cast<uint32_t>(v >> (8 - c.bits)) << c.shift) & c.mask;
}

uint8_t UnpackChannel(const ChannelLayout& c, uint32_t pixel)
{
    if (c.bits == 0)
        return 0;
    return static_cast<uint8_t>((((pixel & c.mask) >> c.shift) << (8 - c.bits)) & 0xFF);
}

} // namespace

uint16_t PackPixel16(const TBitFields& f, uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<uint16_t>(PackChannel(Layout(f.Red), r) | PackChannel(Layout(f.Green), g) |
                                 PackChannel(Layout(f.Blue), b));
}

void UnpackPixel16(const TBitFields& f, uint16_t pixel, uint8_t& r, uint8_t& g, uint8_t& b)
{
    r = UnpackChannel(Layout(f.Red), pixel);
    g = UnpackChannel(Layout(f.Green), pixel);
    b = UnpackChannel(Layout(f.Blue), pixel);
}

int32_t TFont::Size() const
{
    if (Height < 0)
        return static_cast<int32_t>(std::lround(-Height * 72.0 / 96.0));
    return static_cast<int32_t>(std::lround(Height * 72.0 / 96.0));
}

void TFont::SetSize(int32_t points)
{
    Height = -static_cast<int32_t>(std::lround(points * 96.0 / 72.0));
}

// ---------------------------------------------------------------------------------------
// Device contexts

// The state saved and restored together by SaveDC and RestoreDC.
struct TDeviceContextState {
    TPoint ViewportOrg;
    TPoint WindowOrg;
    bool Clipped = false; // false: the whole context
    QRegion Clip;         // device pixels, within the context's bounds
};

class TDeviceContext {
public:
    TDeviceContextInfo info;
    QImage image; // a view of the memory; null when Qt cannot paint this layout
    TDeviceContextState state;
    std::vector<TDeviceContextState> saved;

    QRect Bounds() const { return QRect(0, 0, info.Width, info.Height); }
    // Logical to device: p + viewport origin - window origin.
    int64_t OffsetX() const { return int64_t(state.ViewportOrg.X) - state.WindowOrg.X; }
    int64_t OffsetY() const { return int64_t(state.ViewportOrg.Y) - state.WindowOrg.Y; }
    // The visible device pixels: the clip, or the whole context.
    QRegion Visible() const { return state.Clipped ? state.Clip : QRegion(Bounds()); }
    // A logical rectangle in device pixels, cut to the context's bounds (so that far
    // origins never overflow).
    QRect DeviceRect(int64_t l, int64_t t, int64_t r, int64_t b) const
    {
        l = std::max<int64_t>(l + OffsetX(), 0);
        t = std::max<int64_t>(t + OffsetY(), 0);
        r = std::min<int64_t>(r + OffsetX(), info.Width);
        b = std::min<int64_t>(b + OffsetY(), info.Height);
        if (r <= l || b <= t)
            return QRect();
        return QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                     static_cast<int>(b - t));
    }
    bool DevicePoint(int32_t x, int32_t y, int32_t& dx, int32_t& dy) const
    {
        const int64_t px = x + OffsetX(), py = y + OffsetY();
        if (px < 0 || py < 0 || px >= info.Width || py >= info.Height)
            return false;
        dx = static_cast<int32_t>(px);
        dy = static_cast<int32_t>(py);
        return !state.Clipped || state.Clip.contains(QPoint(dx, dy));
    }
    // Calls f(TRect) for each visible part of a device rectangle.
    template <class F>
    void ForEachVisible(const QRect& device, F&& f) const
    {
        if (device.isEmpty())
            return;
        auto call = [&](const QRect& q) {
            if (!q.isEmpty())
                f(TRect{q.left(), q.top(), q.left() + q.width(), q.top() + q.height()});
        };
        if (!state.Clipped) {
            call(device & Bounds());
            return;
        }
        for (const QRect& part : state.Clip.intersected(device))
            call(part);
    }
    // A painter on the image with the origin and clip applied (check image first).
    void SetUpPainter(QPainter& p) const
    {
        if (state.Clipped)
            p.setClipRegion(state.Clip);
        p.translate(static_cast<qreal>(OffsetX()), static_cast<qreal>(OffsetY()));
    }
};

namespace {

bool QtFormatFor(int bpp, const TBitFields& f, QImage::Format& format)
{
    switch (bpp) {
    case 16:
        if (f == BitFields565) {
            format = QImage::Format_RGB16;
            return true;
        }
        if (f == BitFields555) {
            format = QImage::Format_RGB555;
            return true;
        }
        return false;
    case 24:
        format = QImage::Format_BGR888;
        return true;
    case 32:
        format = QImage::Format_RGB32;
        return true;
    case 8:
        format = QImage::Format_Grayscale8;
        return true;
    default:
        return false;
    }
}

// Reads pixel (x, y) as 8-bit channels.
inline void ReadRGB(const TDeviceContextInfo& d, int32_t x, int32_t y, uint8_t& r, uint8_t& g,
                    uint8_t& b)
{
    const uint8_t* row = d.Bits + static_cast<ptrdiff_t>(y) * d.Pitch;
    switch (d.BitsPerPixel) {
    case 16: {
        uint16_t p;
        std::memcpy(&p, row + 2 * x, 2);
        UnpackPixel16(d.Fields, p, r, g, b);
        break;
    }
    case 24:
        b = row[3 * x];
        g = row[3 * x + 1];
        r = row[3 * x + 2];
        break;
    case 32:
        b = row[4 * x];
        g = row[4 * x + 1];
        r = row[4 * x + 2];
        break;
    default:
        r = g = b = row[x];
        break;
    }
}

inline void WriteRGB(const TDeviceContextInfo& d, int32_t x, int32_t y, uint8_t r, uint8_t g,
                     uint8_t b)
{
    uint8_t* row = d.Bits + static_cast<ptrdiff_t>(y) * d.Pitch;
    switch (d.BitsPerPixel) {
    case 16: {
        uint16_t p = PackPixel16(d.Fields, r, g, b);
        std::memcpy(row + 2 * x, &p, 2);
        break;
    }
    case 24:
        row[3 * x] = b;
        row[3 * x + 1] = g;
        row[3 * x + 2] = r;
        break;
    case 32:
        row[4 * x] = b;
        row[4 * x + 1] = g;
        row[4 * x + 2] = r;
        row[4 * x + 3] = 0;
        break;
    default:
        row[x] = static_cast<uint8_t>((r * 77 + g * 150 + b * 29) >> 8);
        break;
    }
}

// Pixel value in the context's own layout for an 8-bit colour (16-bit layouts and
// 24/32-bit as B G R packed little-endian).
inline uint32_t NativePixel(const TDeviceContextInfo& d, TColor color)
{
    color = ColorToRGB(color);
    uint8_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    switch (d.BitsPerPixel) {
    case 16:
        return PackPixel16(d.Fields, r, g, b);
    case 24:
    case 32:
        return static_cast<uint32_t>(b) | (static_cast<uint32_t>(g) << 8) |
               (static_cast<uint32_t>(r) << 16);
    default:
        return static_cast<uint8_t>((r * 77 + g * 150 + b * 29) >> 8);
    }
}

inline uint32_t ReadNative(const TDeviceContextInfo& d, int32_t x, int32_t y)
{
    const uint8_t* row = d.Bits + static_cast<ptrdiff_t>(y) * d.Pitch;
    switch (d.BitsPerPixel) {
    case 16: {
        uint16_t p;
        std::memcpy(&p, row + 2 * x, 2);
        return p;
    }
    case 24:
        return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    case 32:
        return row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16);
    default:
        return row[x];
    }
}

inline void WriteNative(const TDeviceContextInfo& d, int32_t x, int32_t y, uint32_t v)
{
    uint8_t* row = d.Bits + static_cast<ptrdiff_t>(y) * d.Pitch;
    switch (d.BitsPerPixel) {
    case 16: {
        uint16_t p = static_cast<uint16_t>(v);
        std::memcpy(row + 2 * x, &p, 2);
        break;
    }
    case 24:
        row[3 * x] = v & 0xFF;
        row[3 * x + 1] = (v >> 8) & 0xFF;
        row[3 * x + 2] = (v >> 16) & 0xFF;
        break;
    case 32:
        row[4 * x] = v & 0xFF;
        row[4 * x + 1] = (v >> 8) & 0xFF;
        row[4 * x + 2] = (v >> 16) & 0xFF;
        row[4 * x + 3] = 0;
        break;
    default:
        row[x] = static_cast<uint8_t>(v);
        break;
    }
}

// Source pixel converted to the destination's layout.
inline uint32_t ConvertedPixel(const TDeviceContextInfo& s, int32_t sx, int32_t sy,
                               const TDeviceContextInfo& d)
{
    if (s.BitsPerPixel == d.BitsPerPixel && (s.BitsPerPixel != 16 || s.Fields == d.Fields))
        return ReadNative(s, sx, sy);
    uint8_t r, g, b;
    ReadRGB(s, sx, sy, r, g, b);
    switch (d.BitsPerPixel) {
    case 16:
        return PackPixel16(d.Fields, r, g, b);
    case 24:
    case 32:
        return b | (g << 8) | (r << 16);
    default:
        return static_cast<uint8_t>((r * 77 + g * 150 + b * 29) >> 8);
    }
}

} // namespace

TDeviceContextPtr MakeDeviceContext(uint8_t* bits, int32_t width, int32_t height, int32_t pitch,
                                    int32_t bitsPerPixel, const TBitFields& fields)
{
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        throw EInvalidGraphicOperation("Unsupported pixel layout for a device context");
    TDeviceContextPtr dc(new TDeviceContext());
    dc->info = TDeviceContextInfo{bits, std::max(width, 0), std::max(height, 0), pitch,
                                  bitsPerPixel, fields};
    QImage::Format format;
    if (bits && width > 0 && height > 0 && QtFormatFor(bitsPerPixel, fields, format))
        dc->image = QImage(bits, width, height, pitch, format);
    return dc;
}

void FreeDeviceContext(TDeviceContext* dc) { delete dc; }

TDeviceContextInfo DeviceContextInfo(HDC dc)
{
    return dc ? dc->info : TDeviceContextInfo{};
}

// ---------------------------------------------------------------------------------------
// Device-context state: origins, clip, saved levels

namespace {

int RegionKind(const TDeviceContext* dc)
{
    if (!dc->state.Clipped)
        return dc->info.Width > 0 && dc->info.Height > 0 ? SIMPLEREGION : NULLREGION;
    const int n = dc->state.Clip.rectCount();
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// A logical rectangle in device pixels, normalised (an inverted one is empty).
QRect ClipArgument(const TDeviceContext* dc, int32_t l, int32_t t, int32_t r, int32_t b)
{
    if (r <= l || b <= t)
        return QRect();
    return dc->DeviceRect(l, t, r, b);
}

TPoint Replace(TPoint& field, int32_t x, int32_t y)
{
    const TPoint old = field;
    field = Point(x, y);
    return old;
}

int32_t ClampToInt(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

bool SetViewportOrgEx(HDC dc, int32_t x, int32_t y, TPoint* old)
{
    if (!dc)
        return false;
    const TPoint was = Replace(dc->state.ViewportOrg, x, y);
    if (old)
        *old = was;
    return true;
}

bool OffsetViewportOrgEx(HDC dc, int32_t dx, int32_t dy, TPoint* old)
{
    if (!dc)
        return false;
    const TPoint was = dc->state.ViewportOrg;
    return SetViewportOrgEx(dc, ClampToInt(int64_t(was.X) + dx), ClampToInt(int64_t(was.Y) + dy), old);
}

TPoint GetViewportOrgEx(HDC dc) { return dc ? dc->state.ViewportOrg : TPoint{}; }

bool SetWindowOrgEx(HDC dc, int32_t x, int32_t y, TPoint* old)
{
    if (!dc)
        return false;
    const TPoint was = Replace(dc->state.WindowOrg, x, y);
    if (old)
        *old = was;
    return true;
}

TPoint GetWindowOrgEx(HDC dc) { return dc ? dc->state.WindowOrg : TPoint{}; }

int IntersectClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!dc)
        return ERROR_REGION;
    const QRect r = ClipArgument(dc, left, top, right, bottom);
    dc->state.Clip = dc->Visible().intersected(r);
    dc->state.Clipped = true;
    return RegionKind(dc);
}

int ExcludeClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!dc)
        return ERROR_REGION;
    const QRect r = ClipArgument(dc, left, top, right, bottom);
    dc->state.Clip = dc->Visible().subtracted(QRegion(r));
    dc->state.Clipped = true;
    return RegionKind(dc);
}

int SelectClipRgn(HDC dc, std::nullptr_t)
{
    if (!dc)
        return ERROR_REGION;
    dc->state.Clipped = false;
    dc->state.Clip = QRegion();
    return RegionKind(dc);
}

int GetClipBox(HDC dc, TRect& box)
{
    box = TRect{};
    if (!dc)
        return ERROR_REGION;
    const QRect b = dc->Visible().boundingRect();
    if (!b.isEmpty())
        box = TRect{ClampToInt(b.left() - dc->OffsetX()), ClampToInt(b.top() - dc->OffsetY()),
                    ClampToInt(b.left() + b.width() - dc->OffsetX()),
                    ClampToInt(b.top() + b.height() - dc->OffsetY())};
    return RegionKind(dc);
}

bool PtVisible(HDC dc, int32_t x, int32_t y)
{
    int32_t dx, dy;
    return dc && dc->DevicePoint(x, y, dx, dy);
}

int SaveDC(HDC dc)
{
    if (!dc)
        return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

bool RestoreDC(HDC dc, int level)
{
    if (!dc)
        return false;
    const int count = static_cast<int>(dc->saved.size());
    if (level < 0)
        level = count + 1 + level;
    if (level < 1 || level > count)
        return false;
    dc->state = dc->saved[static_cast<size_t>(level - 1)];
    dc->saved.resize(static_cast<size_t>(level - 1));
    return true;
}

// ---------------------------------------------------------------------------------------
// Copies between contexts

namespace {

// Copies in device pixels, cut to both contexts' bounds.
void RawBitBlt(const TDeviceContextInfo& d, int32_t x, int32_t y, int32_t width, int32_t height,
               const TDeviceContextInfo& s, int64_t sx64, int64_t sy64, uint32_t rop, TColor brushColor)
{
    if (!d.Bits || !s.Bits || width <= 0 || height <= 0)
        return;
    // Sources far outside give nothing to copy.
    if (sx64 >= s.Width || sy64 >= s.Height || sx64 + width <= 0 || sy64 + height <= 0)
        return;
    int32_t sx = static_cast<int32_t>(sx64), sy = static_cast<int32_t>(sy64);
    // Clip against both contexts, moving the other side by the same amount.
    if (x < 0) { width += x; sx -= x; x = 0; }
    if (y < 0) { height += y; sy -= y; y = 0; }
    if (sx < 0) { width += sx; x -= sx; sx = 0; }
    if (sy < 0) { height += sy; y -= sy; sy = 0; }
    width = std::min({width, d.Width - x, s.Width - sx});
    height = std::min({height, d.Height - y, s.Height - sy});
    if (width <= 0 || height <= 0)
        return;
    if (rop == ropPatternWhereSource) {
        const uint32_t pattern = NativePixel(d, brushColor);
        for (int32_t j = 0; j < height; ++j)
            for (int32_t i = 0; i < width; ++i) {
                uint32_t src = ConvertedPixel(s, sx + i, sy + j, d);
                uint32_t dst = ReadNative(d, x + i, y + j);
                WriteNative(d, x + i, y + j, (dst & ~src) | (pattern & src));
            }
        return;
    }
    const bool sameLayout =
        s.BitsPerPixel == d.BitsPerPixel && (s.BitsPerPixel != 16 || s.Fields == d.Fields);
    for (int32_t j = 0; j < height; ++j) {
        if (sameLayout) {
            const int bytes = d.BitsPerPixel / 8;
            std::memmove(d.Bits + static_cast<ptrdiff_t>(y + j) * d.Pitch + x * bytes,
                         s.Bits + static_cast<ptrdiff_t>(sy + j) * s.Pitch + sx * bytes,
                         static_cast<size_t>(width) * bytes);
        } else {
            for (int32_t i = 0; i < width; ++i)
                WriteNative(d, x + i, y + j, ConvertedPixel(s, sx + i, sy + j, d));
        }
    }
}

} // namespace

void BitBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC source,
            int32_t sx, int32_t sy, uint32_t rop, TColor brushColor)
{
    if (!dest || !source || width <= 0 || height <= 0)
        return;
    const QRect area = dest->DeviceRect(x, y, int64_t(x) + width, int64_t(y) + height);
    // Source pixel for device pixel (dx, dy) of the destination.
    const int64_t shiftX = int64_t(sx) + source->OffsetX() - (int64_t(x) + dest->OffsetX());
    const int64_t shiftY = int64_t(sy) + source->OffsetY() - (int64_t(y) + dest->OffsetY());
    dest->ForEachVisible(area, [&](const TRect& r) {
        RawBitBlt(dest->info, r.Left, r.Top, r.Width(), r.Height(), source->info, r.Left + shiftX,
                  r.Top + shiftY, rop, brushColor);
    });
}

void StretchBlt(HDC dest, const TRect& destRect, HDC source, const TRect& sourceRect)
{
    if (!dest || !source || destRect.IsEmpty() || sourceRect.IsEmpty())
        return;
    const TDeviceContextInfo& d = dest->info;
    const TDeviceContextInfo& s = source->info;
    if (!d.Bits || !s.Bits)
        return;
    const int64_t dw = destRect.Width(), dh = destRect.Height();
    const int64_t sw = sourceRect.Width(), sh = sourceRect.Height();
    // Equal sizes need no scaling: a block copy (row by row for equal layouts).
    if (dw == sw && dh == sh) {
        BitBlt(dest, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), source,
               sourceRect.Left, sourceRect.Top, cmSrcCopy);
        return;
    }
    const int64_t dl = destRect.Left + dest->OffsetX(), dt = destRect.Top + dest->OffsetY();
    const int64_t sl = sourceRect.Left + source->OffsetX(), st = sourceRect.Top + source->OffsetY();
    const QRect area = dest->DeviceRect(destRect.Left, destRect.Top, destRect.Right, destRect.Bottom);
    dest->ForEachVisible(area, [&](const TRect& r) {
        for (int32_t y = r.Top; y < r.Bottom; ++y) {
            const int64_t syy = st + (y - dt) * sh / dh;
            if (syy < 0 || syy >= s.Height)
                continue;
            for (int32_t x = r.Left; x < r.Right; ++x) {
                const int64_t sxx = sl + (x - dl) * sw / dw;
                if (sxx < 0 || sxx >= s.Width)
                    continue;
                WriteNative(d, x, y,
                            ConvertedPixel(s, static_cast<int32_t>(sxx), static_cast<int32_t>(syy), d));
            }
        }
    });
}

namespace {

// A 16-bit layout whose three channels are runs of at most 8 bits: each converts with
// two shifts, which the compiler vectorises.
struct TShiftChannels {
    uint32_t Mask[3];
    int Down[3];
    int Up[3];
};

bool ShiftChannelsOf(const TBitFields& fields, TShiftChannels& out)
{
    const uint32_t masks[3] = {fields.Red, fields.Green, fields.Blue};
    for (int i = 0; i < 3; ++i) {
        const ChannelLayout c = Layout(masks[i]);
        if (masks[i] == 0 || masks[i] != (((1u << c.bits) - 1u) << c.shift))
            return false;
        out.Mask[i] = masks[i];
        out.Down[i] = c.shift;
        out.Up[i] = 8 - c.bits;
    }
    return true;
}

// The conversion of one pixel: fixed shifts for the two screen formats, the layout's own
// otherwise.
template <uint32_t RM, int RD, int RU, uint32_t GM, int GD, int GU, uint32_t BM, int BD, int BU>
struct TFixedShifts {
    uint32_t operator()(uint32_t p) const
    {
        return 0xFF000000u | (((p & RM) >> RD) << (RU + 16)) | (((p & GM) >> GD) << (GU + 8)) | (((p & BM) >> BD) << BU);
    }
};
using TShifts565 = TFixedShifts<0xF800, 11, 3, 0x07E0, 5, 2, 0x001F, 0, 3>;
using TShifts555 = TFixedShifts<0x7C00, 10, 3, 0x03E0, 5, 3, 0x001F, 0, 3>;

struct TLayoutShifts {
    uint32_t rm, gm, bm;
    int rd, gd, bd, ru, gu, bu;
    explicit TLayoutShifts(const TShiftChannels& c)
        : rm(c.Mask[0]), gm(c.Mask[1]), bm(c.Mask[2]), rd(c.Down[0]), gd(c.Down[1]), bd(c.Down[2]),
          ru(c.Up[0] + 16), gu(c.Up[1] + 8), bu(c.Up[2])
    {
    }
    uint32_t operator()(uint32_t p) const
    {
        return 0xFF000000u | (((p & rm) >> rd) << ru) | (((p & gm) >> gd) << gu) | (((p & bm) >> bd) << bu);
    }
};

// One source row to `scale` copies of each pixel.
template <class Convert>
void ShiftConvertRow(const uint16_t* src, int32_t width, uint32_t* dst, int32_t scale, const Convert& convert)
{
    if (scale == 1) {
        for (int32_t x = 0; x < width; ++x)
            dst[x] = convert(src[x]);
    } else if (scale == 2) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = convert(src[x]);
            dst[2 * x] = v;
            dst[2 * x + 1] = v;
        }
    } else {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = convert(src[x]);
            for (int32_t k = 0; k < scale; ++k)
                dst[x * scale + k] = v;
        }
    }
}

// Whole multiples of the source size: each source row is converted once, into a run of
// equal pixels per source pixel, and copied for the other rows of its block. Any other
// size: each source row is converted once into a row of its own, from which the target's
// rows take their columns; a target row that maps to the same source row as the one
// above is a copy of it.
template <class Convert>
void ShiftConvertFrame(const uint8_t* src, int32_t srcWidth, int32_t srcHeight, int32_t srcPitch, uint8_t* dst,
                       int32_t dstWidth, int32_t dstHeight, int32_t dstPitch, const Convert& convert)
{
    const int32_t scale = dstWidth / srcWidth;
    if (scale >= 1 && dstWidth == scale * srcWidth && dstHeight == scale * srcHeight) {
        for (int32_t y = 0; y < srcHeight; ++y) {
            const auto* srow = reinterpret_cast<const uint16_t*>(src + static_cast<ptrdiff_t>(y) * srcPitch);
            uint8_t* first = dst + static_cast<ptrdiff_t>(y) * scale * dstPitch;
            ShiftConvertRow(srow, srcWidth, reinterpret_cast<uint32_t*>(first), scale, convert);
            for (int32_t k = 1; k < scale; ++k)
                std::memcpy(first + static_cast<ptrdiff_t>(k) * dstPitch, first, static_cast<size_t>(dstWidth) * 4);
        }
        return;
    }
    std::vector<int32_t> columns(static_cast<size_t>(dstWidth));
    for (int32_t x = 0; x < dstWidth; ++x)
        columns[static_cast<size_t>(x)] = static_cast<int32_t>(static_cast<int64_t>(x) * srcWidth / dstWidth);
    std::vector<uint32_t> converted(static_cast<size_t>(srcWidth));
    int32_t previous = -1;
    for (int32_t y = 0; y < dstHeight; ++y) {
        const int32_t sy = static_cast<int32_t>(static_cast<int64_t>(y) * srcHeight / dstHeight);
        uint8_t* drow = dst + static_cast<ptrdiff_t>(y) * dstPitch;
        if (sy == previous) {
            std::memcpy(drow, drow - dstPitch, static_cast<size_t>(dstWidth) * 4);
            continue;
        }
        previous = sy;
        ShiftConvertRow(reinterpret_cast<const uint16_t*>(src + static_cast<ptrdiff_t>(sy) * srcPitch), srcWidth,
                        converted.data(), 1, convert);
        auto* out = reinterpret_cast<uint32_t*>(drow);
        for (int32_t x = 0; x < dstWidth; ++x)
            out[x] = converted[static_cast<size_t>(columns[static_cast<size_t>(x)])];
    }
}

} // namespace

void Convert16To32Stretched(const uint8_t* src, int32_t srcWidth, int32_t srcHeight,
                            int32_t srcPitch, const TBitFields& fields, uint8_t* dst,
                            int32_t dstWidth, int32_t dstHeight, int32_t dstPitch)
{
    if (!src || !dst || srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0)
        return;
    const bool aligned = (reinterpret_cast<uintptr_t>(src) % 2 == 0) && srcPitch % 2 == 0 &&
                         (reinterpret_cast<uintptr_t>(dst) % 4 == 0) && dstPitch % 4 == 0;
    TShiftChannels channels{};
    if (aligned && fields == BitFields565) {
        ShiftConvertFrame(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch, TShifts565{});
        return;
    }
    if (aligned && fields == BitFields555) {
        ShiftConvertFrame(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch, TShifts555{});
        return;
    }
    if (aligned && ShiftChannelsOf(fields, channels)) {
        ShiftConvertFrame(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch,
                          TLayoutShifts(channels));
        return;
    }
    // Layouts the shifts cannot convert (channels in pieces): one table from the 16-bit
    // pixel to the 32-bit one.
    static thread_local std::vector<uint32_t> table;
    static thread_local TBitFields tableFields{0, 0, 0};
    if (table.empty() || !(tableFields == fields)) {
        table.resize(65536);
        for (uint32_t p = 0; p < 65536; ++p) {
            uint8_t r, g, b;
            UnpackPixel16(fields, static_cast<uint16_t>(p), r, g, b);
            table[p] = 0xFF000000u | b | (g << 8) | (r << 16);
        }
        tableFields = fields;
    }
    std::vector<int32_t> columns(static_cast<size_t>(dstWidth));
    for (int32_t x = 0; x < dstWidth; ++x)
        columns[x] = static_cast<int32_t>(static_cast<int64_t>(x) * srcWidth / dstWidth);
    for (int32_t y = 0; y < dstHeight; ++y) {
        const int32_t sy = static_cast<int32_t>(static_cast<int64_t>(y) * srcHeight / dstHeight);
        const uint8_t* srow = src + static_cast<ptrdiff_t>(sy) * srcPitch;
        uint32_t* drow = reinterpret_cast<uint32_t*>(dst + static_cast<ptrdiff_t>(y) * dstPitch);
        for (int32_t x = 0; x < dstWidth; ++x) {
            uint16_t p;
            std::memcpy(&p, srow + 2 * columns[x], 2);
            drow[x] = table[p];
        }
    }
}

// ---------------------------------------------------------------------------------------
// Pictures

void TGraphic::LoadFromStream(TStream& stream)
{
    const int64_t left = stream.Size() - stream.Position();
    // No picture file of the games comes near this; a larger one is refused unread.
    constexpr int64_t MaxPictureFileBytes = int64_t(256) * 1024 * 1024;
    if (left > MaxPictureFileBytes)
        throw EInvalidGraphic("Picture file of " + std::to_string(left) + " bytes is too large");
    std::vector<uint8_t> bytes(static_cast<size_t>(left > 0 ? left : 0));
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    LoadFromMemory(bytes.data(), bytes.size());
}

// ---------------------------------------------------------------------------------------
// TBitmap

const TGraphicClassInfo TBitmap::ClassInfo{
    "TBitmap", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TBitmap>(); }};

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

namespace {

int32_t StorageBits(TPixelFormat f)
{
    switch (f) {
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf32bit:
        return 32;
    default:
        return 24;
    }
}

} // namespace

int32_t TBitmap::BitsPerPixel() const { return StorageBits(FPixelFormat); }

void TBitmap::Reallocate(int32_t width, int32_t height, TPixelFormat format, bool keep)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int32_t bpp = StorageBits(format);
    const int64_t rowBytes = ((static_cast<int64_t>(width) * bpp + 31) / 32) * 4;
    const int64_t total = rowBytes * height;
    if (rowBytes > INT32_MAX || total > (int64_t(1) << 32))
        throw EInvalidGraphic("Bitmap of " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels is too large");
    std::vector<uint8_t> pixels;
    try {
        pixels.assign(static_cast<size_t>(total), 0);
    } catch (const std::bad_alloc&) {
        throw EInvalidGraphic("Not enough memory for a bitmap of " + std::to_string(width) +
                              " x " + std::to_string(height) + " pixels");
    }
    TBitmap old;
    if (keep && !Empty()) {
        old.FWidth = FWidth;
        old.FHeight = FHeight;
        old.FRowBytes = FRowBytes;
        old.FPixelFormat = FPixelFormat;
        old.FBitFields = FBitFields;
        old.FPixels.swap(FPixels);
    }
    FDC.reset();
    FWidth = width;
    FHeight = height;
    FRowBytes = static_cast<int32_t>(rowBytes);
    FPixelFormat = format;
    FPixels.swap(pixels);
    if (keep && !old.Empty() && !Empty()) {
        auto od = old.Handle();
        BitBlt(Handle(), 0, 0, FWidth, FHeight, od, 0, 0, cmSrcCopy);
    }
}

void TBitmap::SetSize(int32_t width, int32_t height)
{
    if (width == FWidth && height == FHeight)
        return;
    Reallocate(width, height, FPixelFormat, false);
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == pfDevice || format == pfCustom || format == pf1bit || format == pf4bit)
        format = pf24bit;
    if (format == pf15bit) {
        format = pf16bit;
        if (FPixelFormat != pf16bit) {
            FBitFields = BitFields555;
        } else if (!(FBitFields == BitFields555)) {
            SetBitFields(BitFields555);
            return;
        }
    }
    if (format == FPixelFormat)
        return;
    Reallocate(FWidth, FHeight, format, true);
}

void TBitmap::SetBitFields(const TBitFields& fields)
{
    if (fields == FBitFields)
        return;
    if (FPixelFormat != pf16bit || Empty()) {
        FBitFields = fields;
        FDC.reset();
        return;
    }
    TBitmap old;
    old.FWidth = FWidth;
    old.FHeight = FHeight;
    old.FRowBytes = FRowBytes;
    old.FPixelFormat = FPixelFormat;
    old.FBitFields = FBitFields;
    old.FPixels = FPixels;
    FBitFields = fields;
    FDC.reset();
    BitBlt(Handle(), 0, 0, FWidth, FHeight, old.Handle(), 0, 0, cmSrcCopy);
}

uint8_t* TBitmap::ScanLine(int32_t y)
{
    if (y < 0 || y >= FHeight || FWidth <= 0)
        throw EInvalidGraphicOperation("Scan line index out of range");
    return FPixels.data() + static_cast<ptrdiff_t>(y) * FRowBytes;
}

const uint8_t* TBitmap::ScanLine(int32_t y) const
{
    return const_cast<TBitmap*>(this)->ScanLine(y);
}

TColor TBitmap::PixelColor(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
        return clNone;
    TDeviceContextInfo info{const_cast<uint8_t*>(FPixels.data()), FWidth, FHeight, FRowBytes,
                            BitsPerPixel(), FBitFields};
    uint8_t r, g, b;
    ReadRGB(info, x, y, r, g, b);
    return RGB(r, g, b);
}

void TBitmap::SetPixelColor(int32_t x, int32_t y, TColor color)
{
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
        return;
    color = ColorToRGB(color);
    TDeviceContextInfo info{FPixels.data(), FWidth, FHeight, FRowBytes, BitsPerPixel(),
                            FBitFields};
    WriteRGB(info, x, y, GetRValue(color), GetGValue(color), GetBValue(color));
}

TCanvas& TBitmap::Canvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TCanvas>(this);
    return *FCanvas;
}

HDC TBitmap::Handle()
{
    if (!FDC)
        FDC = MakeDeviceContext(FPixels.empty() ? nullptr : FPixels.data(), FWidth, FHeight,
                                FRowBytes, BitsPerPixel(), FBitFields);
    return FDC.get();
}

void TBitmap::Assign(const TBitmap* source)
{
    if (source == this)
        return;
    FDC.reset();
    if (!source) {
        FWidth = FHeight = FRowBytes = 0;
        FPixels.clear();
        return;
    }
    FWidth = source->FWidth;
    FHeight = source->FHeight;
    FRowBytes = source->FRowBytes;
    FPixelFormat = source->FPixelFormat;
    FBitFields = source->FBitFields;
    FPixels = source->FPixels;
    Transparent = source->Transparent;
}

std::unique_ptr<TGraphic> TBitmap::Clone() const
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(this);
    return copy;
}

void TPicture::SetGraphic(const TGraphic* graphic)
{
    FGraphic = graphic ? graphic->Clone() : nullptr;
    Changed();
}

TBitmap& TPicture::Bitmap()
{
    if (!FGraphic || FGraphic->ClassType() != &TBitmap::ClassInfo) {
        FGraphic = std::make_unique<TBitmap>();
        Changed();
    }
    return static_cast<TBitmap&>(*FGraphic);
}

void TPicture::Assign(const TPicture* source)
{
    if (source == this)
        return;
    SetGraphic(source ? source->Graphic() : nullptr);
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TBitmap::Exchange(TBitmap& other) noexcept
{
    std::swap(FWidth, other.FWidth);
    std::swap(FHeight, other.FHeight);
    std::swap(FRowBytes, other.FRowBytes);
    std::swap(FPixelFormat, other.FPixelFormat);
    std::swap(FBitFields, other.FBitFields);
    FPixels.swap(other.FPixels);
    FDC.reset();
    other.FDC.reset();
}

TColor TBitmap::TransparentColor() const
{
    if (Empty())
        return clDefault;
    return PixelColor(0, FHeight - 1) | clPaletteRelative;
}

// ---------------------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
TCanvas::~TCanvas() = default;

HDC TCanvas::Handle()
{
    if (FAttached)
        return FAttached;
    return FBitmap ? FBitmap->Handle() : nullptr;
}

void TCanvas::SetHandle(HDC dc) { FAttached = dc; }

namespace {

QColor ToQColor(TColor c)
{
    c = ColorToRGB(c);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool CanUseFonts() { return QGuiApplication::instance() != nullptr; }

// The pixels a text drawn from (x, baseline) may touch: its advance box and the glyphs'
// ink, with a pixel to spare on each side.
QRect TextArea(const QFont& font, const QString& text, int x, int baseline, const TPoint& extent)
{
    const QFontMetrics m(font);
    const QRect box(x, baseline - m.ascent(), extent.X, std::max(extent.Y, m.height()));
    return box.united(m.boundingRect(text).translated(x, baseline)).adjusted(-2, -2, 2, 2);
}

// Draws text on a device context, inside `area` (logical coordinates), with the context's
// origin and clip. Qt's raster engine draws aliased glyphs into 16-bit images wrongly (a
// second, misplaced copy half a row to the right), so on 16-bit rows the text is drawn on
// a 32-bit copy of the area, which is written back. The round trip leaves every pixel the
// text does not touch as it was.
template <class Paint>
void PaintText(HDC dc, const QRect& area, Paint paint)
{
    QImage& image = dc->image;
    const QRect device = dc->DeviceRect(area.left(), area.top(), int64_t(area.left()) + area.width(),
                                        int64_t(area.top()) + area.height());
    if (device.isEmpty())
        return;
    if (image.depth() != 16) {
        QPainter p(&image);
        dc->SetUpPainter(p);
        p.setClipRect(area, Qt::IntersectClip);
        paint(p);
        return;
    }
    QImage part = image.copy(device).convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&part);
        p.translate(-device.left(), -device.top());
        dc->SetUpPainter(p);
        p.setClipRect(area, Qt::IntersectClip);
        paint(p);
    }
    const QImage back = part.convertToFormat(image.format());
    const TDeviceContextInfo& d = dc->info;
    for (int y = 0; y < device.height(); ++y)
        std::memcpy(d.Bits + static_cast<ptrdiff_t>(device.top() + y) * d.Pitch + device.left() * 2,
                    back.constScanLine(y), static_cast<size_t>(device.width()) * 2);
}

} // namespace

namespace {
bool SmoothTextOn = false;
const TestHooks::TResetStep ResetSmoothText([] { SmoothTextOn = false; });
} // namespace

void SetSmoothText(bool on) { SmoothTextOn = on; }
bool SmoothText() { return SmoothTextOn; }

QFont ToQFont(const TFont& f)
{
    // The condensed face comes closest to the narrow system font the layouts were made
    // for, so captions fit the places given them.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStretch(QFont::Condensed);
    if (SmoothTextOn) {
        // Hinted only vertically: the glyphs keep their own widths, so the spacing of the
        // narrowed face stays even; the smoothing keeps round letters round at 11 pixels.
        font.setStyleStrategy(QFont::PreferAntialias);
        font.setHintingPreference(QFont::PreferVerticalHinting);
    } else {
        font.setStyleStrategy(QFont::NoAntialias);
    }
    font.setBold((f.Style & fsBold) != 0);
    font.setItalic((f.Style & fsItalic) != 0);
    font.setUnderline((f.Style & fsUnderline) != 0);
    font.setStrikeOut((f.Style & fsStrikeOut) != 0);
    if (f.Height < 0) {
        font.setPixelSize(-f.Height);
    } else if (f.Height > 0) {
        // A positive height is the whole cell: scale the em so the line height fits.
        font.setPixelSize(f.Height);
        int h = QFontMetrics(font).height();
        if (h > f.Height)
            font.setPixelSize(std::max(1, f.Height * f.Height / h));
    }
    return font;
}

TColor TCanvas::Pixel(int32_t x, int32_t y)
{
    HDC dc = Handle();
    int32_t dx, dy;
    if (!dc || !dc->DevicePoint(x, y, dx, dy))
        return clNone;
    uint8_t r, g, b;
    ReadRGB(dc->info, dx, dy, r, g, b);
    return RGB(r, g, b);
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor color)
{
    HDC dc = Handle();
    int32_t dx, dy;
    if (!dc || !dc->info.Bits || !dc->DevicePoint(x, y, dx, dy))
        return;
    color = ColorToRGB(color);
    WriteRGB(dc->info, dx, dy, GetRValue(color), GetGValue(color), GetBValue(color));
}

TRect TCanvas::ClipRect()
{
    TRect box;
    GetClipBox(Handle(), box);
    return box;
}

void TCanvas::FillRect(const TRect& rect)
{
    HDC dc = Handle();
    if (!dc || !dc->info.Bits || Brush.Style == bsClear)
        return;
    const TDeviceContextInfo& d = dc->info;
    const QRect area = dc->DeviceRect(rect.Left, rect.Top, rect.Right, rect.Bottom);
    const bool pattern = Brush.Bitmap && !Brush.Bitmap->Empty();
    const uint32_t v = NativePixel(d, Brush.Color);
    dc->ForEachVisible(area, [&](const TRect& r) {
        for (int32_t y = r.Top; y < r.Bottom; ++y)
            for (int32_t x = r.Left; x < r.Right; ++x) {
                if (pattern)
                    WriteNative(d, x, y,
                                NativePixel(d, Brush.Bitmap->PixelColor(x % Brush.Bitmap->Width(),
                                                                        y % Brush.Bitmap->Height())));
                else
                    WriteNative(d, x, y, v);
            }
    });
}

void TCanvas::FrameRect(const TRect& rect)
{
    if (rect.IsEmpty())
        return;
    TBrushStyle keep = Brush.Style;
    Brush.Style = bsSolid;
    FillRect(TRect{rect.Left, rect.Top, rect.Right, rect.Top + 1});
    FillRect(TRect{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
    FillRect(TRect{rect.Left, rect.Top, rect.Left + 1, rect.Bottom});
    FillRect(TRect{rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
    Brush.Style = keep;
}

void TCanvas::LineTo(int32_t x, int32_t y)
{
    HDC dc = Handle();
    const TPoint from = PenPos;
    PenPos = Point(x, y);
    if (!dc || !dc->info.Bits || Pen.Style == psClear)
        return;
    const TDeviceContextInfo& d = dc->info;
    const uint32_t v = NativePixel(d, Pen.Color);
    int32_t dx0, dy0;
    const int32_t half = std::max(Pen.Width, 1) / 2;
    const int32_t size = std::max(Pen.Width, 1);
    // Bresenham, without the end point.
    int32_t x0 = from.X, y0 = from.Y;
    const int32_t dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int32_t dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int32_t err = dx + dy;
    while (!(x0 == x && y0 == y)) {
        for (int32_t j = 0; j < size; ++j)
            for (int32_t i = 0; i < size; ++i) {
                if (dc->DevicePoint(x0 - half + i, y0 - half + j, dx0, dy0))
                    WriteNative(d, dx0, dy0, v);
            }
        int32_t e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

void TCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (right <= left || bottom <= top)
        return;
    FillRect(TRect{left, top, right, bottom});
    if (Pen.Style == psClear)
        return;
    TBrush keep = Brush;
    Brush = TBrush{Pen.Color, bsSolid, nullptr};
    const int32_t w = std::max(Pen.Width, 1);
    FillRect(TRect{left, top, right, std::min(bottom, top + w)});
    FillRect(TRect{left, std::max(top, bottom - w), right, bottom});
    FillRect(TRect{left, top, std::min(right, left + w), bottom});
    FillRect(TRect{std::max(left, right - w), top, right, bottom});
    Brush = keep;
}

void TCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    HDC dc = Handle();
    if (!dc || dc->image.isNull() || right <= left || bottom <= top ||
        !dc->Visible().intersects(dc->DeviceRect(left, top, right, bottom)))
        return;
    QPainter p(&dc->image);
    dc->SetUpPainter(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (Pen.Style == psClear)
        p.setPen(Qt::NoPen);
    else
        p.setPen(QPen(ToQColor(Pen.Color), std::max(Pen.Width, 1)));
    if (Brush.Style == bsClear)
        p.setBrush(Qt::NoBrush);
    else
        p.setBrush(ToQColor(Brush.Color));
    p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

TPoint TCanvas::TextExtent(const std::string& text)
{
    if (!CanUseFonts())
        return TPoint{};
    QFontMetrics m(ToQFont(Font));
    QString s = ToQString(text);
    return TPoint{static_cast<int32_t>(m.horizontalAdvance(s)), static_cast<int32_t>(m.height())};
}

void TCanvas::TextOut(int32_t x, int32_t y, const std::string& text)
{
    TPoint ext = TextExtent(text);
    if (Brush.Style == bsSolid)
        FillRect(TRect{x, y, x + ext.X, y + ext.Y});
    HDC dc = Handle();
    PenPos = Point(x + ext.X, y);
    if (!dc || dc->image.isNull() || !CanUseFonts() || text.empty() ||
        !dc->Visible().intersects(dc->DeviceRect(x, y, int64_t(x) + ext.X, int64_t(y) + ext.Y)))
        return;
    const QFont font = ToQFont(Font);
    const QString s = ToQString(text);
    const int baseline = y + QFontMetrics(font).ascent();
    PaintText(dc, TextArea(font, s, x, baseline, ext), [&](QPainter& p) {
        p.setRenderHint(QPainter::TextAntialiasing, SmoothTextOn);
        p.setFont(font);
        p.setPen(ToQColor(Font.Color));
        p.drawText(x, baseline, s);
    });
}

void TCanvas::TextRect(const TRect& rect, int32_t x, int32_t y, const std::string& text)
{
    HDC dc = Handle();
    TPoint ext = TextExtent(text);
    if (Brush.Style == bsSolid)
        FillRect(rect);
    if (!dc || dc->image.isNull() || !CanUseFonts() || text.empty() ||
        !dc->Visible().intersects(dc->DeviceRect(rect.Left, rect.Top, rect.Right, rect.Bottom)))
        return;
    const QFont font = ToQFont(Font);
    const QString s = ToQString(text);
    const int baseline = y + QFontMetrics(font).ascent();
    const QRect clip(rect.Left, rect.Top, rect.Width(), rect.Height());
    PaintText(dc, TextArea(font, s, x, baseline, ext).intersected(clip), [&](QPainter& p) {
        p.setFont(font);
        p.setPen(ToQColor(Font.Color));
        p.drawText(x, baseline, s);
    });
}

namespace {

struct TextLine {
    QString text;
    int underline = -1; // index of the accelerator character in text, or -1
};

// Removes accelerator marks: "&x" shows x underlined, "&&" shows "&".
TextLine StripPrefix(const QString& s, bool usePrefix)
{
    TextLine out;
    if (!usePrefix) {
        out.text = s;
        return out;
    }
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&') && i + 1 < s.size()) {
            ++i;
            if (s[i] != QLatin1Char('&') && out.underline < 0)
                out.underline = static_cast<int>(out.text.size());
        } else if (s[i] == QLatin1Char('&')) {
            continue; // a trailing "&" shows nothing
        }
        out.text += s[i];
    }
    return out;
}

// Breaks one paragraph into lines no wider than width (a word longer than the width
// stays on a line of its own).
std::vector<TextLine> WrapWords(const TextLine& para, const QFontMetrics& m, int width)
{
    std::vector<TextLine> lines;
    const QString& t = para.text;
    qsizetype start = 0;
    while (start <= t.size()) {
        qsizetype end = start, lastBreak = -1;
        while (end < t.size()) {
            if (t[end] == QLatin1Char(' '))
                lastBreak = end;
            if (m.horizontalAdvance(t.mid(start, end - start + 1)) > width && end > start)
                break;
            ++end;
        }
        qsizetype cut = end;
        qsizetype next = end;
        if (end < t.size() && lastBreak > start) {
            cut = lastBreak;
            next = lastBreak + 1;
        }
        TextLine line;
        line.text = t.mid(start, cut - start);
        if (para.underline >= start && para.underline < cut)
            line.underline = static_cast<int>(para.underline - start);
        lines.push_back(line);
        if (next >= t.size())
            break;
        start = next;
    }
    if (lines.empty())
        lines.push_back(TextLine{});
    return lines;
}

} // namespace

int32_t TCanvas::DrawText(const std::string& text, TRect& rect, uint32_t flags)
{
    if (!CanUseFonts())
        return 0;
    const QFont font = ToQFont(Font);
    const QFontMetrics m(font);
    QString all = ToQString(text);
    if (flags & DT_EXPANDTABS)
        all.replace(QLatin1Char('\t'), QStringLiteral("        "));
    all.remove(QLatin1Char('\r'));
    std::vector<TextLine> lines;
    const bool usePrefix = !(flags & DT_NOPREFIX);
    if (flags & DT_SINGLELINE) {
        all.replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines.push_back(StripPrefix(all, usePrefix));
    } else {
        for (const QString& para : all.split(QLatin1Char('\n'))) {
            TextLine stripped = StripPrefix(para, usePrefix);
            if (flags & DT_WORDBREAK) {
                for (TextLine& l : WrapWords(stripped, m, std::max(1, rect.Width())))
                    lines.push_back(l);
            } else {
                lines.push_back(stripped);
            }
        }
    }
    const int lineHeight = m.height();
    const int32_t total = static_cast<int32_t>(lines.size()) * lineHeight;
    if (flags & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& l : lines)
            widest = std::max(widest, static_cast<int>(m.horizontalAdvance(l.text)));
        rect.Right = rect.Left + widest;
        rect.Bottom = rect.Top + total;
        return total;
    }
    HDC dc = Handle();
    if (!dc || dc->image.isNull())
        return total;
    int32_t y = rect.Top;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_VCENTER)
            y = rect.Top + (rect.Height() - lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            y = rect.Bottom - lineHeight;
    }
    for (const TextLine& l : lines) {
        const int w = m.horizontalAdvance(l.text);
        int32_t x = rect.Left;
        if (flags & DT_CENTER)
            x = rect.Left + (rect.Width() - w) / 2;
        else if (flags & DT_RIGHT)
            x = rect.Right - w;
        if (Brush.Style == bsSolid)
            FillRect(TRect{x, y, x + w, y + lineHeight});
        if (!dc->Visible().intersects(dc->DeviceRect(x, y, int64_t(x) + w, int64_t(y) + lineHeight))) {
            y += lineHeight;
            continue;
        }
        const int baseline = y + m.ascent();
        const QRect area = TextArea(font, l.text, x, baseline, TPoint{w, lineHeight}).united(QRect(x, y, w, lineHeight + 2));
        PaintText(dc, area, [&](QPainter& p) {
            p.setFont(font);
            p.setPen(ToQColor(Font.Color));
            p.drawText(x, baseline, l.text);
            if (l.underline >= 0 && l.underline < l.text.size()) {
                const int ux = x + m.horizontalAdvance(l.text.left(l.underline));
                const int uw = std::max(1, static_cast<int>(m.horizontalAdvance(l.text.at(l.underline))));
                p.fillRect(QRect(ux, baseline + 1, uw, 1), ToQColor(Font.Color));
            }
        });
        y += lineHeight;
    }
    return total;
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    HDC dc = Handle();
    if (!dc || rect.IsEmpty())
        return;
    const TDeviceContextInfo& d = dc->info;
    if (!d.Bits)
        return;
    auto invert = [&](int32_t x, int32_t y) {
        int32_t dx, dy;
        if (!dc->DevicePoint(x, y, dx, dy))
            return;
        uint8_t r, g, b;
        ReadRGB(d, dx, dy, r, g, b);
        WriteRGB(d, dx, dy, static_cast<uint8_t>(255 - r), static_cast<uint8_t>(255 - g),
                 static_cast<uint8_t>(255 - b));
    };
    // Every other pixel along the edge, the phase continuing round the corners.
    for (int32_t x = rect.Left; x < rect.Right; x += 2) {
        invert(x, rect.Top);
        if (rect.Bottom - 1 > rect.Top)
            invert(x, rect.Bottom - 1);
    }
    for (int32_t y = rect.Top + 2; y < rect.Bottom - 1; y += 2) {
        invert(rect.Left, y);
        if (rect.Right - 1 > rect.Left)
            invert(rect.Right - 1, y);
    }
}

void TCanvas::Frame3D(TRect& rect, TColor topLeft, TColor bottomRight, int32_t width)
{
    TBrush keep = Brush;
    for (int32_t i = 0; i < width && !rect.IsEmpty(); ++i) {
        Brush = TBrush{topLeft, bsSolid, nullptr};
        FillRect(TRect{rect.Left, rect.Top, rect.Right - 1, rect.Top + 1});
        FillRect(TRect{rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1});
        Brush.Color = bottomRight;
        FillRect(TRect{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
        FillRect(TRect{rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
        rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
    Brush = keep;
}

namespace {

// A device context over a picture's pixels, for the canvas's copies.
HDC GraphicHandle(const TGraphic& graphic)
{
    if (graphic.ClassType() == &TBitmap::ClassInfo)
        return const_cast<TBitmap&>(static_cast<const TBitmap&>(graphic)).Handle();
    if (graphic.ClassType() == &TJPEGImage::ClassInfo)
        return const_cast<TBitmap&>(static_cast<const TJPEGImage&>(graphic).Bitmap()).Handle();
    return nullptr;
}

} // namespace

void TCanvas::Draw(int32_t x, int32_t y, const TGraphic& graphic)
{
    if (graphic.Empty())
        return;
    BitBlt(Handle(), x, y, graphic.Width(), graphic.Height(), GraphicHandle(graphic), 0, 0,
           cmSrcCopy);
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic)
{
    if (graphic.Empty())
        return;
    StretchBlt(Handle(), rect, GraphicHandle(graphic),
               TRect{0, 0, graphic.Width(), graphic.Height()});
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    if (dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height()) {
        BitBlt(Handle(), dest.Left, dest.Top, dest.Width(), dest.Height(), source.Handle(),
               sourceRect.Left, sourceRect.Top, CopyMode, Brush.Color);
        return;
    }
    StretchBlt(Handle(), dest, source.Handle(), sourceRect);
}
