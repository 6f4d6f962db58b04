// Pixel channels: the 8-bit pictures (card faces) and masks (layer textures) the card
// game draws with, the 24-bit composition buffer with a canvas, and the blend arithmetic
// that puts pictures and masks onto 24-bit pixels.
//
// Stored form of a TChannel ("Data" of a layer, and the card bitmaps): an int32 header
// size (0 = empty channel, 12 = core header, 40 = info header), the rest of a bitmap
// header, the palette (256 triples after a core header, "colours used" quads after an
// info header), then the pixel rows bottom-up, each padded to a multiple of 4 bytes.
// Only 8 bits per pixel are accepted. Writing always gives the info-header form with 256
// quads, or the four zero bytes of an empty channel.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/Types.h"

class TStream;

namespace pelvo {

class EChannelError : public Exception {
public:
    using Exception::Exception;
};

// The largest width or height a stored channel may have.
constexpr int32_t MaxChannelSide = 8192;

enum TAligns : uint8_t {
    aFrame,
    aFrameLeft,
    aFrameTop,
    aFrameRight,
    aFrameBottom,
    aCenter,
    aLeft,
    aUp,
    aRight,
    aDown,
    aLeftUp,
    aLeftDown,
    aRightUp,
    aRightDown,
    aTile,
    aScale,
    aStretch
};
using TChannelAlign = TAligns;  // aFrame..aTile
using TTextAlign = TAligns;     // aCenter..aRightDown

// Where a w x h channel goes in rect under the placement rule.
TRect AlignRect(const TRect& rect, int32_t w, int32_t h, TAligns align);

// The mask column (or row) that feeds position pos of a frame from start to end (end
// exclusive) stretched from a mask of that size, half = size / 2: the first half from
// the start, the last half from the end, the middle one repeated between. An even size
// has no column 2 x half; the source is clamped to the last one.
int32_t FrameSource(int32_t pos, int32_t start, int32_t end, int32_t half, int32_t size);

// Common part: size, activity and bottom-up rows of BytesPerPixel bytes.
class TProChannel : public TObject {
public:
    explicit TProChannel(uint8_t bytesPerPixel) : FBytesPerPixel(bytesPerPixel) {}
    ~TProChannel() override = default;

    TRect GetBounds() const { return Rect(0, 0, FWidth, FHeight); }
    void SetSize(int32_t width, int32_t height);
    bool Active() const { return FActive; }
    void SetActive(bool active);
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    uint8_t BytesPerPixel() const { return FBytesPerPixel; }
    int32_t Stride() const { return (FBytesPerPixel * FWidth + 3) & ~3; }
    int32_t ImageSize() const { return Stride() * FHeight; }
    // Pixel (x, y) counted from the top-left; nullptr when inactive.
    virtual uint8_t* PixelAddress(int32_t x, int32_t y) = 0;
    const uint8_t* PixelAddress(int32_t x, int32_t y) const
    {
        return const_cast<TProChannel*>(this)->PixelAddress(x, y);
    }

    virtual void Allocate() = 0;
    virtual void Release() = 0;

protected:
    bool FActive = false;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    uint8_t FBytesPerPixel = 0;
};

enum : uint8_t { ckPicture = 0, ckMask = 1 };

class TChannel : public TProChannel {
public:
    explicit TChannel(uint8_t kind = ckPicture) : TProChannel(1), FChannelKind(kind) {}

    uint8_t ChannelKind() const { return FChannelKind; }
    void SetChannelKind(uint8_t kind) { FChannelKind = kind; }
    // 256 entries of blue, green, red, 0 (empty while inactive).
    uint8_t* Palette() { return FPalette.empty() ? nullptr : FPalette.data(); }
    const uint8_t* Palette() const { return FPalette.empty() ? nullptr : FPalette.data(); }
    uint8_t* Bits() { return FBits.empty() ? nullptr : FBits.data(); }

    uint8_t* PixelAddress(int32_t x, int32_t y) override;
    using TProChannel::PixelAddress;

    void Allocate() override;
    void Release() override;
    void Assign(const TChannel& source);
    // True when both hold the same stored value (activity, size, kind, palette of a
    // picture, pixels).
    bool SameContents(const TChannel& other) const;

    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;
    void LoadFromMemory(const void* data, size_t size);
    std::string SaveToString() const;

    TNotifyEvent OnChange;

private:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }

    uint8_t FChannelKind = ckPicture;
    std::vector<uint8_t> FPalette;
    std::vector<uint8_t> FBits;
};

// A 24-bit buffer with a canvas. Pixel bytes are blue, green, red; PixelAddress hides
// the row order of the memory.
class TRGBChannel : public TProChannel {
public:
    TRGBChannel() : TProChannel(3) {}

    uint8_t* PixelAddress(int32_t x, int32_t y) override;
    using TProChannel::PixelAddress;
    void Allocate() override;
    void Release() override;
    // The canvas over the pixels (the channel must be active).
    TCanvas& Canvas();
    TBitmap* Bitmap() { return FBitmap.get(); }

    // The blend family. Each clips the placement to this channel and to clip, and does
    // nothing when a channel is empty or of the wrong kind.
    void DrawPicture(const TRect& clip, int32_t x, int32_t y, const TChannel& picture, uint8_t alpha);
    void DrawPictureMasked(const TRect& clip, int32_t x, int32_t y, const TChannel& picture,
                           const TChannel& mask, uint8_t alpha);
    void DrawMaskColor(const TRect& clip, int32_t x, int32_t y, const TChannel& mask, TColor color,
                       uint8_t alpha);
    void DrawMaskRelief(const TRect& clip, int32_t x, int32_t y, const TChannel& mask);
    void DrawMaskFrame(const TRect& clip, const TRect& rect, const TChannel& mask);
    void DrawTexture(const TRect& clip, const TRect& rect, TAligns placement, const TChannel& mask,
                     TColor color);

private:
    std::unique_ptr<TBitmap> FBitmap;
};

// The per-byte rules (d = target byte, c = colour byte, m = mask level, a = overall level).
inline uint8_t BlendPicture(uint8_t d, uint8_t c, uint8_t a)
{
    return static_cast<uint8_t>(((int32_t(c) - d) * a + d * 256) >> 8);
}
inline uint8_t BlendMasked(uint8_t d, uint8_t c, uint8_t m, uint8_t a)
{
    if (m == 255 && a == 255)
        return c;
    return static_cast<uint8_t>(((int32_t(c) - d) * m * a + d * 65536) >> 16);
}
inline uint8_t BlendRelief(uint8_t d, uint8_t m)
{
    if (m >= 128)
        return static_cast<uint8_t>(d + ((255 - d) * (m - 128)) / 128);
    if (m < 127)
        return static_cast<uint8_t>(d * m / 128);
    return d;
}

}  // namespace pelvo
