#pragma once
// Pictures and drawing of the class library, as the games use them: colours, rectangles,
// bitmaps in memory (16-bit bit-field, 24-bit B G R, 32-bit and 8-bit rows), the Windows
// bitmap file reader, the JPEG picture (decoded by libjpeg), and a canvas that draws on a
// bitmap or on any device context.
//
// Bitmap rows are stored top-down and padded to 4 bytes; callers use only row addresses.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Types.h"

class TStream;

// ---------------------------------------------------------------------------------------
// Geometry

// TPoint, TRect, Rect, Bounds and Point come from platform/Types.h.
// The common part of two rectangles; empty (all zero) when they do not overlap.
TRect IntersectRect(const TRect& a, const TRect& b);

// ---------------------------------------------------------------------------------------
// Colours: 0x00BBGGRR; system colours are 0x80000000 | index.

using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clPaletteRelative = 0x02000000;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnHighlight = clSystemColor | 20;

// Resolves system colours to their fixed classic values and drops the palette flag.
TColor ColorToRGB(TColor color);
inline uint8_t GetRValue(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
inline uint8_t GetGValue(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
inline uint8_t GetBValue(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
inline TColor RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}

// ---------------------------------------------------------------------------------------
// Errors

// A picture that cannot be read: not the expected format, damaged, or too large.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
// An operation the picture cannot do (a row out of range, a wrong pixel layout).
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};
// Raised by the JPEG decoder with libjpeg's own description of the fault.
class EJPEG : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

// The largest width or height a picture read from a file may have.
constexpr int32_t MaxPictureSide = 8192;

// ---------------------------------------------------------------------------------------
// Pixel layouts

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };

// A 16-bit layout given by its three channel masks (565: F800 07E0 001F; 555: 7C00 03E0 001F).
struct TBitFields {
    uint32_t Red = 0xF800;
    uint32_t Green = 0x07E0;
    uint32_t Blue = 0x001F;
    friend bool operator==(const TBitFields&, const TBitFields&) = default;
};
constexpr TBitFields BitFields565{0xF800, 0x07E0, 0x001F};
constexpr TBitFields BitFields555{0x7C00, 0x03E0, 0x001F};

// Converts 8-bit channels to a 16-bit pixel of the layout by dropping the low bits of each
// channel, and back (each channel shifted up, so 31 in five bits gives 248).
uint16_t PackPixel16(const TBitFields& fields, uint8_t r, uint8_t g, uint8_t b);
void UnpackPixel16(const TBitFields& fields, uint16_t pixel, uint8_t& r, uint8_t& g, uint8_t& b);

// ---------------------------------------------------------------------------------------
// Pens, brushes, fonts

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TBrushStyle { bsSolid, bsClear };
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

class TBitmap;

struct TPen {
    TColor Color = clBlack;
    int32_t Width = 1;
    TPenStyle Style = psSolid;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    // An 8 x 8 pattern; not owned. When set it replaces the colour.
    TBitmap* Bitmap = nullptr;
};

constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t RUSSIAN_CHARSET = 204;

struct TFont {
    std::string Name = "MS Sans Serif";
    // > 0: cell height; < 0: character height, in pixels.
    int32_t Height = -11;
    TFontStyles Style = 0;
    TColor Color = clWindowText;
    uint8_t Charset = DEFAULT_CHARSET;
    // Size in points at 96 pixels per inch.
    int32_t Size() const;
    void SetSize(int32_t points);
};

// Text is drawn crisp, without smoothing, unless a program asks for smooth text: then
// every caption, label and text control from here on is antialiased, with even letter
// spacing (for programs whose Cyrillic texts read poorly in the crisp face).
void SetSmoothText(bool on);
bool SmoothText();

// ---------------------------------------------------------------------------------------
// Device contexts: a drawing target over pixel memory that someone else owns (a bitmap, a
// surface of the DirectDraw stand-in, a window's retained picture).

class TDeviceContext;
using HDC = TDeviceContext*;

// Makes a device context over 16-bit (565 or 555), 24-bit (B G R) or 32-bit (B G R x)
// rows. The memory must outlive it. Raises EInvalidGraphicOperation for other layouts.
void FreeDeviceContext(TDeviceContext* dc);
struct TDeviceContextDeleter {
    void operator()(TDeviceContext* dc) const { FreeDeviceContext(dc); }
};
using TDeviceContextPtr = std::unique_ptr<TDeviceContext, TDeviceContextDeleter>;
TDeviceContextPtr MakeDeviceContext(uint8_t* bits, int32_t width, int32_t height, int32_t pitch,
                                    int32_t bitsPerPixel, const TBitFields& fields = BitFields565);

// Every context has an origin and a clip, saved and restored together. A logical point p
// is drawn at device point p + viewport origin - window origin. The clip is a region of
// device pixels, at first the whole context; the rectangles given to IntersectClipRect
// and ExcludeClipRect are logical, right and bottom exclusive (an inverted or empty one
// is empty). Every drawing call through a context (canvas operations, BitBlt,
// StretchBlt) honours both; DeviceContextInfo still gives the raw memory.
constexpr int ERROR_REGION = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
bool SetViewportOrgEx(HDC dc, int32_t x, int32_t y, TPoint* old);
bool OffsetViewportOrgEx(HDC dc, int32_t dx, int32_t dy, TPoint* old);
TPoint GetViewportOrgEx(HDC dc);
// Logical (x, y) lands at device (0, 0) (with the viewport origin at 0).
bool SetWindowOrgEx(HDC dc, int32_t x, int32_t y, TPoint* old);
TPoint GetWindowOrgEx(HDC dc);
// Each returns the kind of the clip left: NULLREGION, SIMPLEREGION or COMPLEXREGION.
int IntersectClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
int ExcludeClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Null removes the clip.
int SelectClipRgn(HDC dc, std::nullptr_t);
// The clip's bounding box in logical coordinates.
int GetClipBox(HDC dc, TRect& box);
// The logical point is inside the context and its clip.
bool PtVisible(HDC dc, int32_t x, int32_t y);
// Saves origin and clip; returns the new level (1, 2, ...).
int SaveDC(HDC dc);
// Restores the state saved at that level and drops the later ones; -1 the last saved.
// False for a level that does not exist.
bool RestoreDC(HDC dc, int level);

// ---------------------------------------------------------------------------------------
// Pictures

class TGraphic;
// A class reference for pictures: its name and how to make an empty one.
struct TGraphicClassInfo {
    const char* ClassName;
    std::unique_ptr<TGraphic> (*Create)();
};
using TGraphicClass = const TGraphicClassInfo*;

class TCanvas;

class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual TGraphicClass ClassType() const = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual bool Empty() const = 0;
    // Reads the picture from the stream's current position to its end.
    void LoadFromStream(TStream& stream);
    // Reads the picture from a block of bytes; raises EInvalidGraphic and leaves the
    // picture empty when the bytes are not a readable picture.
    virtual void LoadFromMemory(const void* data, size_t size) = 0;
    void LoadFromBytes(std::string_view bytes) { LoadFromMemory(bytes.data(), bytes.size()); }
    // A copy of the picture.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;
    bool Transparent = false;
};

// A bitmap in memory. Formats with pixel storage: pf8bit, pf16bit (bit-field masks),
// pf24bit (bytes B, G, R) and pf32bit (B, G, R, unused); other formats are stored as 24 bits.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    TBitmap(TBitmap&& other) noexcept : TBitmap() { Exchange(other); }
    TBitmap& operator=(TBitmap&& other) noexcept
    {
        Exchange(other);
        return *this;
    }

    static const TGraphicClassInfo ClassInfo;
    TGraphicClass ClassType() const override { return &ClassInfo; }

    int32_t Width() const override { return FWidth; }
    int32_t Height() const override { return FHeight; }
    bool Empty() const override { return FWidth <= 0 || FHeight <= 0; }
    void SetWidth(int32_t width) { SetSize(width, FHeight); }
    void SetHeight(int32_t height) { SetSize(FWidth, height); }
    // Changes the size; the pixels become black. Negative sizes count as 0.
    void SetSize(int32_t width, int32_t height);

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Changes the layout, converting the pixels that are there.
    void SetPixelFormat(TPixelFormat format);
    const TBitFields& BitFields() const { return FBitFields; }
    // The 16-bit layout of pf16bit rows (565 by default); converts the pixels that are there.
    void SetBitFields(const TBitFields& fields);
    int32_t BitsPerPixel() const;
    TBitmapHandleType HandleType = bmDIB;
    bool Monochrome() const { return false; }

    // Row y's first byte; raises EInvalidGraphicOperation "Scan line index out of range"
    // for rows outside the bitmap (and for every row of an empty bitmap).
    uint8_t* ScanLine(int32_t y);
    const uint8_t* ScanLine(int32_t y) const;
    int32_t RowBytes() const { return FRowBytes; }
    // The colour of a pixel as 0x00BBGGRR (clNone outside the bitmap).
    TColor PixelColor(int32_t x, int32_t y) const;
    void SetPixelColor(int32_t x, int32_t y, TColor color);

    TCanvas& Canvas();
    // The device context over this bitmap's pixels.
    HDC Handle();

    // Reads a Windows bitmap file (14-byte file header, info header, palette, rows).
    void LoadFromMemory(const void* data, size_t size) override;
    std::unique_ptr<TGraphic> Clone() const override;
    // Reads a bitmap without its file header (an info header, palette and rows).
    void LoadFromDibMemory(const void* data, size_t size);
    // Reads the program's "BITMAP" resource of that name; raises EResNotFound when there
    // is none.
    void LoadFromResourceName(const std::string& name);
    // Copies another bitmap (or empties this one when source is null).
    void Assign(const TBitmap* source);
    // Swaps pixels, size and layout with another bitmap.
    void Exchange(TBitmap& other) noexcept;
    void Dormant() {}
    void FreeImage() {}

    // The bottom-left pixel's colour with the palette-relative flag, as the class library
    // reports it.
    TColor TransparentColor() const;

private:
    void Reallocate(int32_t width, int32_t height, TPixelFormat format, bool keep);
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    int32_t FRowBytes = 0;
    TPixelFormat FPixelFormat = pf24bit;
    TBitFields FBitFields{};
    std::vector<uint8_t> FPixels;
    std::unique_ptr<TCanvas> FCanvas;
    TDeviceContextPtr FDC;
};

// The JPEG picture: decoded once by libjpeg (integer DCT, default upsampling) into 24-bit
// rows (B, G, R). Greyscale, CMYK, progressive and arithmetic-coded files are read.
class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    static const TGraphicClassInfo ClassInfo;
    TGraphicClass ClassType() const override { return &ClassInfo; }
    int32_t Width() const override;
    int32_t Height() const override;
    bool Empty() const override;
    // Raises EJPEG (or EInvalidGraphic for a refused size) and leaves the picture empty
    // when the data is not a complete, readable JPEG (a file that lacks only its
    // end-of-image marker is complete).
    void LoadFromMemory(const void* data, size_t size) override;
    std::unique_ptr<TGraphic> Clone() const override;
    // The decoded pixels as a 24-bit bitmap.
    const TBitmap& Bitmap() const { return FBitmap; }
    // Hands the decoded bitmap over (the picture becomes empty).
    void TakeBitmap(TBitmap& target);

private:
    TBitmap FBitmap;
};

// A picture holder: owns one picture of any class (or none) and tells when it changes.
class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // The picture held, or null.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Takes a copy of the picture (null empties the holder).
    void SetGraphic(const TGraphic* graphic);
    // The held picture as a bitmap; an empty bitmap replaces a picture of another class.
    TBitmap& Bitmap();
    // Copies another holder's picture (null empties this one).
    void Assign(const TPicture* source);
    int32_t Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int32_t Height() const { return FGraphic ? FGraphic->Height() : 0; }
    // Fired after every change of the picture held.
    std::function<void(TPicture*)> OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};

// Encodes a bitmap as a JPEG file (baseline unless asked otherwise). Used to make pictures
// for the programs' tools and checks.
struct TJpegEncodeOptions {
    int Quality = 90;
    bool Progressive = false;
    bool Grayscale = false;
    bool Arithmetic = false;
    // Stores four channels (Adobe-style inverted CMYK) instead of YCbCr.
    bool Cmyk = false;
};
std::string EncodeJpeg(TBitmap& bitmap, const TJpegEncodeOptions& options = {});

// ---------------------------------------------------------------------------------------
// Canvas

// DrawText flags.
constexpr uint32_t DT_TOP = 0x0;
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_CENTER = 0x1;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_VCENTER = 0x4;
constexpr uint32_t DT_BOTTOM = 0x8;
constexpr uint32_t DT_WORDBREAK = 0x10;
constexpr uint32_t DT_SINGLELINE = 0x20;
constexpr uint32_t DT_EXPANDTABS = 0x40;
constexpr uint32_t DT_CALCRECT = 0x400;
constexpr uint32_t DT_NOPREFIX = 0x800;

// Raster operations of CopyMode.
constexpr uint32_t cmSrcCopy = 0x00CC0020;
// D := (D and not S) or (P and S): the pattern where the source is set.
constexpr uint32_t ropPatternWhereSource = 0x00E20746;

class TCanvas {
public:
    // A canvas over a bitmap's pixels.
    explicit TCanvas(TBitmap* bitmap = nullptr);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The device context drawn on; setting one attaches the canvas to it (not owned).
    HDC Handle();
    void SetHandle(HDC dc);

    TPen Pen;
    TBrush Brush;
    TFont Font;
    uint32_t CopyMode = cmSrcCopy;
    TPoint PenPos;

    TColor Pixel(int32_t x, int32_t y);
    void SetPixel(int32_t x, int32_t y, TColor color);
    // The clip's bounding box in logical coordinates (GetClipBox).
    TRect ClipRect();
    void MoveTo(int32_t x, int32_t y) { PenPos = Point(x, y); }
    // Draws from the pen position to (x, y), leaving (x, y) itself unplotted.
    void LineTo(int32_t x, int32_t y);
    void FillRect(const TRect& rect);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& rect);
    // Pen outline and brush fill; the right and bottom edges are outside.
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Text in the font colour; with a solid brush the text cell is filled first.
    void TextOut(int32_t x, int32_t y, const std::string& text);
    void TextRect(const TRect& rect, int32_t x, int32_t y, const std::string& text);
    TPoint TextExtent(const std::string& text);
    // Text laid out in a rectangle by the DT_ flags; returns the height of the text. With
    // DT_CALCRECT nothing is drawn and the rectangle's right and bottom are set to fit
    // the text. Without DT_NOPREFIX "&" marks the next character as the accelerator (it
    // is underlined; "&&" shows one "&"). Vertical alignment needs DT_SINGLELINE.
    int32_t DrawText(const std::string& text, TRect& rect, uint32_t flags);
    // A dotted frame drawn by inverting pixels (drawing it twice removes it).
    void DrawFocusRect(const TRect& rect);
    // Top and left edges in one colour, bottom and right in the other, `width` pixels
    // deep; the rectangle shrinks by the frame.
    void Frame3D(TRect& rect, TColor topLeft, TColor bottomRight, int32_t width);
    int32_t TextWidth(const std::string& text) { return TextExtent(text).X; }
    int32_t TextHeight(const std::string& text) { return TextExtent(text).Y; }
    // Copies a picture unscaled with its top-left at (x, y).
    void Draw(int32_t x, int32_t y, const TGraphic& graphic);
    // Copies a picture scaled to the rectangle (nearest neighbour).
    void StretchDraw(const TRect& rect, const TGraphic& graphic);
    // Copies a rectangle of another canvas, scaled when the sizes differ (nearest
    // neighbour), converting the pixels to this canvas's layout.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

private:
    friend class TBitmap;
    TBitmap* FBitmap = nullptr;
    HDC FAttached = nullptr;
};

// Copies a rectangle between two device contexts with a raster operation: cmSrcCopy or
// ropPatternWhereSource (with the given brush colour as the pattern). Source pixels are
// first converted to the destination's layout. The copy is clipped to both contexts.
void BitBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC source,
            int32_t sx, int32_t sy, uint32_t rop, TColor brushColor = clBlack);
// Copies a rectangle scaled by nearest neighbour, converting the layout.
void StretchBlt(HDC dest, const TRect& destRect, HDC source, const TRect& sourceRect);

// Information about a device context, for code that draws into its memory directly.
struct TDeviceContextInfo {
    uint8_t* Bits = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Pitch = 0;
    int32_t BitsPerPixel = 0;
    TBitFields Fields{};
};
TDeviceContextInfo DeviceContextInfo(HDC dc);

// Writes a 16-bit frame into 32-bit rows (B, G, R, x), scaled to the target's size by
// nearest neighbour: target pixel (x, y) takes source pixel (x * sw / tw, y * sh / th).
// Each channel of v (b bits) becomes v shl (8 - b).
void Convert16To32Stretched(const uint8_t* src, int32_t srcWidth, int32_t srcHeight,
                            int32_t srcPitch, const TBitFields& fields, uint8_t* dst,
                            int32_t dstWidth, int32_t dstHeight, int32_t dstPitch);
