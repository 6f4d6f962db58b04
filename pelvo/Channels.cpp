#include "pelvo/Channels.h"

#include <algorithm>
#include <cstring>

#include "platform/Streams.h"

namespace pelvo {

namespace {

const char* const ErrNot256 = "Channels support 256-colors bitmaps only!";
const char* const ErrFormat = "Invalid stream format!";

// Reads exactly count bytes; a short stream is a malformed channel.
void ReadExact(TStream& stream, void* buffer, int32_t count)
{
    if (count <= 0)
        return;
    uint8_t* p = static_cast<uint8_t*>(buffer);
    int32_t done = 0;
    while (done < count) {
        const int32_t n = stream.Read(p + done, count - done);
        if (n <= 0)
            throw EChannelError(ErrFormat);
        done += n;
    }
}

int32_t Le32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
void Put32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

TRect Intersect(const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty())
        return TRect{};
    return r;
}

uint8_t ColorByte(TColor color, int index)  // index 0 = blue, 1 = green, 2 = red
{
    const uint32_t c = static_cast<uint32_t>(color);
    switch (index) {
    case 0:
        return uint8_t(c >> 16);
    case 1:
        return uint8_t(c >> 8);
    default:
        return uint8_t(c);
    }
}

void CheckSide(int32_t side)
{
    if (side <= 0 || side > MaxChannelSide)
        throw EChannelError(ErrFormat);
}

}  // namespace

int32_t FrameSource(int32_t pos, int32_t start, int32_t end, int32_t half, int32_t size)
{
    const int32_t fromStart = pos - start;
    const int32_t fromEnd = end - 1 - pos;
    if (fromStart < half)
        return fromStart;
    if (fromEnd < half)
        return std::min(2 * half - fromEnd, size - 1);
    return half;
}

TRect AlignRect(const TRect& rect, int32_t w, int32_t h, TAligns align)
{
    const int32_t L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
    switch (align) {
    case aFrame:
    case aTile:
    case aStretch:
        return rect;
    case aFrameLeft:
        return Rect(L, T, L + w, B);
    case aFrameTop:
        return Rect(L, T, R, T + h);
    case aFrameRight:
        return Rect(R - w, T, R, B);
    case aFrameBottom:
        return Rect(L, B - h, R, B);
    case aScale: {
        if (w <= 0 || h <= 0)
            return rect;
        const int64_t rw = R - L, rh = B - T;
        // Compare rw / w with rh / h without rounding.
        if (rw * h <= rh * w) {
            const int32_t nh = static_cast<int32_t>((rw * h * 2 + w) / (2 * w));
            const int32_t top = T + (static_cast<int32_t>(rh) - nh) / 2;
            return Rect(L, top, R, top + nh);
        }
        const int32_t nw = static_cast<int32_t>((rh * w * 2 + h) / (2 * h));
        const int32_t left = L + (static_cast<int32_t>(rw) - nw) / 2;
        return Rect(left, T, left + nw, B);
    }
    default:
        break;
    }
    int32_t left = L, top = T;
    switch (align) {
    case aCenter:
    case aUp:
    case aDown:
        left = (L + R - w) / 2;
        break;
    case aRight:
    case aRightUp:
    case aRightDown:
        left = R - w;
        break;
    default:
        break;
    }
    switch (align) {
    case aCenter:
    case aLeft:
    case aRight:
        top = (T + B - h) / 2;
        break;
    case aDown:
    case aLeftDown:
    case aRightDown:
        top = B - h;
        break;
    default:
        break;
    }
    return Bounds(left, top, w, h);
}

// ---- TProChannel -----------------------------------------------------------

void TProChannel::SetSize(int32_t width, int32_t height)
{
    if (width == FWidth && height == FHeight)
        return;
    const bool wasActive = FActive;
    Release();
    FWidth = width;
    FHeight = height;
    if (wasActive)
        Allocate();
}

void TProChannel::SetActive(bool active)
{
    if (active == FActive)
        return;
    if (active)
        Allocate();
    else
        Release();
}

// ---- TChannel --------------------------------------------------------------

uint8_t* TChannel::PixelAddress(int32_t x, int32_t y)
{
    if (!FActive)
        return nullptr;
    return FBits.data() + static_cast<size_t>(FHeight - 1 - y) * Stride() + x;
}

void TChannel::Allocate()
{
    if (FActive)
        return;
    if (FWidth <= 0 || FHeight <= 0)
        return;
    FBits.assign(static_cast<size_t>(ImageSize()), 0);
    FPalette.assign(1024, 0);
    FActive = true;
}

void TChannel::Release()
{
    FBits.clear();
    FBits.shrink_to_fit();
    FPalette.clear();
    FPalette.shrink_to_fit();
    FActive = false;
    Changed();
}

void TChannel::Assign(const TChannel& source)
{
    if (&source == this)
        return;
    Release();
    if (!source.Active())
        return;
    FWidth = source.FWidth;
    FHeight = source.FHeight;
    Allocate();
    FPalette = source.FPalette;
    FBits = source.FBits;
    Changed();
}

bool TChannel::SameContents(const TChannel& other) const
{
    if (FActive != other.FActive || FWidth != other.FWidth || FHeight != other.FHeight ||
        FChannelKind != other.FChannelKind)
        return false;
    if (FChannelKind == ckPicture && FPalette != other.FPalette)
        return false;
    return FBits == other.FBits;
}

void TChannel::ReadData(TStream& stream)
{
    Release();
    uint8_t head[4];
    ReadExact(stream, head, 4);
    const int32_t headerSize = Le32(head);
    if (headerSize == 0)
        return;
    if (headerSize == 12) {
        uint8_t core[8];
        ReadExact(stream, core, 8);
        const int32_t w = Le16(core), h = Le16(core + 2);
        if (Le16(core + 6) != 8)
            throw EChannelError(ErrNot256);
        CheckSide(w);
        CheckSide(h);
        FWidth = w;
        FHeight = h;
        uint8_t triples[768];
        ReadExact(stream, triples, 768);
        Allocate();
        if (FChannelKind == ckPicture)
            for (int i = 0; i < 256; ++i) {
                FPalette[i * 4] = triples[i * 3];
                FPalette[i * 4 + 1] = triples[i * 3 + 1];
                FPalette[i * 4 + 2] = triples[i * 3 + 2];
                FPalette[i * 4 + 3] = 0;
            }
    } else if (headerSize == 40) {
        uint8_t info[36];
        ReadExact(stream, info, 36);
        const int32_t w = Le32(info), h = Le32(info + 4);
        if (Le16(info + 10) != 8)
            throw EChannelError(ErrNot256);
        CheckSide(w);
        CheckSide(h);
        const uint32_t used = static_cast<uint32_t>(Le32(info + 28));
        const uint32_t colours = used == 0 ? 256 : used;
        if (colours > 256)
            throw EChannelError(ErrFormat);
        FWidth = w;
        FHeight = h;
        uint8_t quads[1024];
        ReadExact(stream, quads, static_cast<int32_t>(colours * 4));
        Allocate();
        if (FChannelKind == ckPicture)
            for (uint32_t i = 0; i < colours; ++i) {
                std::memcpy(&FPalette[i * 4], &quads[i * 4], 3);
                FPalette[i * 4 + 3] = 0;
            }
    } else {
        throw EChannelError(ErrFormat);
    }
    try {
        ReadExact(stream, FBits.data(), ImageSize());
    } catch (...) {
        Release();
        throw;
    }
    Changed();
}

void TChannel::WriteData(TStream& stream) const
{
    uint8_t head[40] = {};
    if (!FActive) {
        stream.WriteBuffer(head, 4);
        return;
    }
    Put32(head, 40);
    Put32(head + 4, static_cast<uint32_t>(FWidth));
    Put32(head + 8, static_cast<uint32_t>(FHeight));
    head[14] = 8;
    Put32(head + 32, 256);
    stream.WriteBuffer(head, 40);
    stream.WriteBuffer(FPalette.data(), 1024);
    stream.WriteBuffer(FBits.data(), ImageSize());
}

void TChannel::LoadFromMemory(const void* data, size_t size)
{
    TMemoryStream stream;
    if (size > 0)
        stream.WriteBuffer(data, static_cast<int32_t>(std::min<size_t>(size, 0x7FFFFFFF)));
    stream.SetPosition(0);
    ReadData(stream);
}

std::string TChannel::SaveToString() const
{
    TMemoryStream stream;
    WriteData(stream);
    std::string out(static_cast<size_t>(stream.Size()), '\0');
    stream.SetPosition(0);
    if (!out.empty())
        stream.ReadBuffer(out.data(), static_cast<int32_t>(out.size()));
    return out;
}

// ---- TRGBChannel -----------------------------------------------------------

uint8_t* TRGBChannel::PixelAddress(int32_t x, int32_t y)
{
    if (!FActive)
        return nullptr;
    return FBitmap->ScanLine(y) + 3 * x;
}

void TRGBChannel::Allocate()
{
    if (FActive)
        return;
    if (FWidth <= 0 || FHeight <= 0)
        return;
    try {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->SetPixelFormat(pf24bit);
        bitmap->SetSize(FWidth, FHeight);
        FBitmap = std::move(bitmap);
    } catch (const std::bad_alloc&) {
        throw EChannelError("Unable to Create DIB Section!");
    }
    FActive = true;
}

void TRGBChannel::Release()
{
    FBitmap.reset();
    FActive = false;
}

TCanvas& TRGBChannel::Canvas()
{
    if (!FBitmap)
        throw EChannelError("Unable to Create DIB Section!");
    return FBitmap->Canvas();
}

namespace {

// The part of a w x h source at (x, y) that lands inside target bounds and clip.
struct Span {
    TRect Dest;  // in target coordinates
    int32_t SrcX = 0;
    int32_t SrcY = 0;
};

bool Place(const TRect& targetBounds, const TRect& clip, int32_t x, int32_t y, int32_t w, int32_t h, Span& s)
{
    s.Dest = Intersect(Intersect(Bounds(x, y, w, h), targetBounds), clip);
    if (s.Dest.IsEmpty())
        return false;
    s.SrcX = s.Dest.Left - x;
    s.SrcY = s.Dest.Top - y;
    return true;
}

}  // namespace

void TRGBChannel::DrawPicture(const TRect& clip, int32_t x, int32_t y, const TChannel& picture, uint8_t alpha)
{
    if (!FActive || !picture.Active() || picture.ChannelKind() != ckPicture)
        return;
    Span s;
    if (!Place(GetBounds(), clip, x, y, picture.Width(), picture.Height(), s))
        return;
    const uint8_t* pal = picture.Palette();
    for (int32_t row = 0; row < s.Dest.Height(); ++row) {
        uint8_t* d = PixelAddress(s.Dest.Left, s.Dest.Top + row);
        const uint8_t* c = picture.PixelAddress(s.SrcX, s.SrcY + row);
        for (int32_t i = 0; i < s.Dest.Width(); ++i, d += 3) {
            const uint8_t* e = pal + c[i] * 4;
            for (int k = 0; k < 3; ++k)
                d[k] = BlendPicture(d[k], e[k], alpha);
        }
    }
}

void TRGBChannel::DrawPictureMasked(const TRect& clip, int32_t x, int32_t y, const TChannel& picture,
                                    const TChannel& mask, uint8_t alpha)
{
    if (!FActive || !picture.Active() || picture.ChannelKind() != ckPicture || !mask.Active() ||
        mask.ChannelKind() != ckMask)
        return;
    if (mask.Width() != picture.Width() || mask.Height() != picture.Height())
        return;
    Span s;
    if (!Place(GetBounds(), clip, x, y, picture.Width(), picture.Height(), s))
        return;
    const uint8_t* pal = picture.Palette();
    for (int32_t row = 0; row < s.Dest.Height(); ++row) {
        uint8_t* d = PixelAddress(s.Dest.Left, s.Dest.Top + row);
        const uint8_t* c = picture.PixelAddress(s.SrcX, s.SrcY + row);
        const uint8_t* m = mask.PixelAddress(s.SrcX, s.SrcY + row);
        for (int32_t i = 0; i < s.Dest.Width(); ++i, d += 3) {
            const uint8_t* e = pal + c[i] * 4;
            for (int k = 0; k < 3; ++k)
                d[k] = BlendMasked(d[k], e[k], m[i], alpha);
        }
    }
}

void TRGBChannel::DrawMaskColor(const TRect& clip, int32_t x, int32_t y, const TChannel& mask, TColor color,
                                uint8_t alpha)
{
    if (!FActive || !mask.Active() || mask.ChannelKind() != ckMask)
        return;
    Span s;
    if (!Place(GetBounds(), clip, x, y, mask.Width(), mask.Height(), s))
        return;
    const uint8_t col[3] = {ColorByte(color, 0), ColorByte(color, 1), ColorByte(color, 2)};
    for (int32_t row = 0; row < s.Dest.Height(); ++row) {
        uint8_t* d = PixelAddress(s.Dest.Left, s.Dest.Top + row);
        const uint8_t* m = mask.PixelAddress(s.SrcX, s.SrcY + row);
        for (int32_t i = 0; i < s.Dest.Width(); ++i, d += 3)
            for (int k = 0; k < 3; ++k)
                d[k] = m[i] == 255 ? col[k]
                                   : static_cast<uint8_t>(((int32_t(col[k]) - d[k]) * m[i] * alpha + d[k] * 65536) >> 16);
    }
}

void TRGBChannel::DrawMaskRelief(const TRect& clip, int32_t x, int32_t y, const TChannel& mask)
{
    if (!FActive || !mask.Active() || mask.ChannelKind() != ckMask)
        return;
    Span s;
    if (!Place(GetBounds(), clip, x, y, mask.Width(), mask.Height(), s))
        return;
    for (int32_t row = 0; row < s.Dest.Height(); ++row) {
        uint8_t* d = PixelAddress(s.Dest.Left, s.Dest.Top + row);
        const uint8_t* m = mask.PixelAddress(s.SrcX, s.SrcY + row);
        for (int32_t i = 0; i < s.Dest.Width(); ++i, d += 3)
            if (m[i] != 127)
                for (int k = 0; k < 3; ++k)
                    d[k] = BlendRelief(d[k], m[i]);
    }
}

void TRGBChannel::DrawMaskFrame(const TRect& clip, const TRect& rect, const TChannel& mask)
{
    if (!FActive || !mask.Active() || mask.ChannelKind() != ckMask)
        return;
    const int32_t mw = mask.Width(), mh = mask.Height();
    if (rect.Width() < mw || rect.Height() < mh)
        return;
    const TRect area = Intersect(Intersect(rect, GetBounds()), clip);
    if (area.IsEmpty())
        return;
    const int32_t halfW = mw / 2, halfH = mh / 2;
    auto source = FrameSource;
    for (int32_t y = area.Top; y < area.Bottom; ++y) {
        const int32_t my = source(y, rect.Top, rect.Bottom, halfH, mh);
        const uint8_t* mrow = mask.PixelAddress(0, my);
        uint8_t* d = PixelAddress(area.Left, y);
        for (int32_t x = area.Left; x < area.Right; ++x, d += 3) {
            const uint8_t m = mrow[source(x, rect.Left, rect.Right, halfW, mw)];
            if (m != 127)
                for (int k = 0; k < 3; ++k)
                    d[k] = BlendRelief(d[k], m);
        }
    }
}

void TRGBChannel::DrawTexture(const TRect& clip, const TRect& rect, TAligns placement, const TChannel& mask,
                              TColor color)
{
    if (!FActive || !mask.Active() || mask.ChannelKind() != ckMask)
        return;
    const int32_t mw = mask.Width(), mh = mask.Height();
    const TRect place = AlignRect(rect, mw, mh, placement);
    const TRect limit = Intersect(Intersect(place, GetBounds()), clip);
    if (limit.IsEmpty())
        return;
    auto one = [&](int32_t x, int32_t y) {
        if (color == clNone)
            DrawMaskRelief(limit, x, y, mask);
        else
            DrawMaskColor(limit, x, y, mask, color, 255);
    };
    if (placement <= aFrameBottom) {
        if (place.Width() >= mw && place.Height() >= mh)
            DrawMaskFrame(limit, place, mask);
        return;
    }
    if (placement >= aTile) {
        // Only the tiles that meet the visible part are drawn.
        const int32_t c0 = (limit.Left - place.Left) / mw, c1 = (limit.Right - 1 - place.Left) / mw;
        const int32_t r0 = (limit.Top - place.Top) / mh, r1 = (limit.Bottom - 1 - place.Top) / mh;
        for (int32_t r = r0; r <= r1; ++r)
            for (int32_t c = c0; c <= c1; ++c)
                one(place.Left + c * mw, place.Top + r * mh);
        return;
    }
    one(place.Left, place.Top);
}

}  // namespace pelvo
