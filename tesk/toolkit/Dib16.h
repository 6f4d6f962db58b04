#pragma once
// Tesk's 16-bit graphics: the pixel format and its colour tables, 16-bit surfaces
// (tDib16: a bitmap in memory or the DirectDraw frame buffer), the registry of named
// images loaded from JPEG files, sprites with their draw modes, dirty rectangles, the
// cover mask and the pixel operations.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/DirectDraw.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

// ---------------------------------------------------------------------------------------
// Pixel format and colour tables

struct TChannelFormat {
    int32_t Shift = 0;
    int32_t Bits = 0;
    int32_t Divisor = 0;
    int32_t Mask = 0;
};
struct TPixelFormatInfo {
    TChannelFormat R, G, B;
};

// The current 16-bit format (RGB565 from start-up).
extern TPixelFormatInfo PixelFormat;
// The masks are exactly F800, 07E0, 001F (set by SetScreenPixelFormat only).
extern bool Is565;
extern uint16_t PixelBlack;
// Entry 0 is white.
extern std::array<uint16_t, 16> PixelGreys;
extern std::array<uint8_t, 256> BrightnessTable;
extern std::array<uint16_t, 65536> DarkenTable;
extern std::array<uint16_t, 65536> HalfLightTable;
// 0x00BBGGRR; default 0x00A080FF.
extern int32_t WaterTint;
extern std::array<uint16_t, 1024> WaterRamp;
extern DDPIXELFORMAT DefaultPixelFormat;
// The brightness setting (0.5 to 2.7, default 1.1) the brightness table is built from.
extern float DisplayBrightness;
// The DirectDraw back buffer lives in system memory (default on).
extern bool SystemMemoryBackBuffer;
// The format new memory surfaces get; always 16 bits per pixel here.
extern TPixelFormat BitmapPixelFormat;

// Adopts a format and rebuilds every table.
void SetPixelFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
// Adopts a DirectDraw pixel format and reloads every loaded registered image in it.
void SetScreenPixelFormat(const DDPIXELFORMAT& format);
// The current format's masks.
TBitFields CurrentBitFields();

uint16_t RGBToPixel(uint8_t r, uint8_t g, uint8_t b);
void PixelToRGB(uint16_t pixel, uint8_t& r, uint8_t& g, uint8_t& b);
uint16_t ColorToPixel(int32_t color);

struct TRGBTriple {
    uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const TRGBTriple&, const TRGBTriple&) = default;
};
TRGBTriple MakeRGBTriple(uint8_t r, uint8_t g, uint8_t b);
int32_t BrightenColor(int32_t color);
void SetWaterTint(int32_t color);
int32_t GetWaterTint();
void BuildBrightnessTable();
void BuildDarkenTable();
void BuildWaterRamp();

// ---------------------------------------------------------------------------------------
// Surfaces

// Raised for DirectDraw failures: the place, a carriage return, and the error's text.
class EDirectDraw : public Exception {
public:
    EDirectDraw(const std::string& place, HRESULT code);
    explicit EDirectDraw(const std::string& message) : Exception(message) {}
};

constexpr int32_t MaxDirtyRects = 1023;
constexpr int32_t DibStackDepth = 8;

class tDib16 {
public:
    // A memory DIB of the given size, in the current format.
    tDib16(int32_t width, int32_t height);
    struct PrimaryTag {};
    // The DirectDraw frame buffer (needs DirectDrawObject and MainFormRef).
    tDib16(PrimaryTag, int32_t width, int32_t height);
    ~tDib16();
    tDib16(const tDib16&) = delete;
    tDib16& operator=(const tDib16&) = delete;

    static std::unique_ptr<tDib16> CreatePrimary(int32_t width, int32_t height);
    // A registered image DIB (owned by the registry), loaded at once when load is set.
    static tDib16* CreateNamed(const std::string& name, bool load);
    // A one-off image DIB, loaded at once, not registered, without a mask.
    static std::unique_ptr<tDib16> CreateFromFile(const std::string& name);

    int32_t Width = 0;
    int32_t Height = 0;
    std::array<TRect, MaxDirtyRects> DirtyRects{};
    int32_t DirtyRectCount = 0;
    bool UseCoverMask = false;
    IDirectDrawSurface3* DrawingSurface = nullptr;
    IDirectDrawSurface3* ViewingSurface = nullptr;
    HDC CachedDC = nullptr;
    std::string MaskName;
    bool NoBrightnessChange = false;
    bool ScanLinesValid = false;
    bool CoverMaskActive = false;
    bool IsPrimary = false;
    bool UsesDirectDraw = false;
    std::vector<uint8_t> CoverMask;
    std::string Name;
    bool Loaded = false;
    TRect ClipRect{};
    uint16_t PenColor = 0;
    TPoint PenPos{};
    // One byte per row: 1 for every row handed out by ScanLine since the last clear.
    std::vector<uint8_t> TouchedRows;
    bool RecordDirtyRects = false;
    bool DirtyRectsSuspended = false;

    void SetWidth(int32_t value);
    void SetHeight(int32_t value);
    bool HasSurface() const;
    void CreateSurface();
    void ReleaseSurface();
    // The bitmap of a memory DIB; raises when there is none.
    TBitmap& Bitmap();
    TCanvas& Canvas();

    void BeginDraw();
    void EndDraw();
    void RestoreIfLost();
    void Unlock();
    void MakeScanLinePointers();
    // Row y's first pixel. Raises for rows outside the DIB and for a DIB without pixels.
    uint16_t* ScanLine(int32_t y);
    // Rows y .. y + count - 1 at once: the first row's address, with the distance between
    // rows in pixels in `pitch`. Marks the rows touched; raises like ScanLine.
    uint16_t* ScanLines(int32_t y, int32_t count, int32_t& pitch);
    HDC GetDC();
    void ReleaseDC();
    void PageFlip();

    // Image loading.
    void Load();
    void Unload();
    void UnloadImage() { Unload(); }
    void SetMaskName(const std::string& name);
    void ApplyMask();

    // Dirty rectangles and touched rows.
    void AddDirtyRect(const TRect& rect);
    void ClearDirtyRects() { DirtyRectCount = 0; }
    void RestoreDirtyRects(tDib16& background, const TPoint& offset);
    void ClearTouchedRows();

    // Cover mask.
    void SetUseCoverMask(bool on);
    void AllocCoverMask();
    void ClearCoverMask();
    void FreeCoverMask();

    // Block copies.
    void CopyRectFrom(tDib16& source, const TRect& rect, const TPoint& offset);
    void CopyBlockFrom(tDib16& source, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                       int32_t dstX, int32_t dstY);
    void BlitFrom(tDib16& source, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                  int32_t dstX, int32_t dstY);

    // Whole-DIB operations.
    void Fill(uint16_t pixel);
    void Darken(int32_t mode);
    void HalveLight();
    void Greyscale();
    void ShrinkFrom(tDib16& source);
    void AddColor(const TRect& rect, uint16_t pixel);

    // Lines.
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void LineTo(int32_t x, int32_t y) { Line(PenPos.X, PenPos.Y, x, y); }
    void FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

    // The pitch of rows in pixels (valid while ScanLinesValid).
    int32_t RowPixels() const { return FRowPixels; }

private:
    tDib16() = default;
    void CheckRow(int32_t y) const;
    std::unique_ptr<TBitmap> FBitmap;
    IDirectDrawClipper* FClipper = nullptr;
    IDirectDrawSurface* FPrimarySurface = nullptr;
    IDirectDrawSurface* FBackSurface = nullptr;
    IDirectDrawSurface3* FOwnedSurfaceA = nullptr;
    IDirectDrawSurface3* FOwnedSurfaceB = nullptr;
    std::vector<uint16_t*> FScanLinePointers;
    int32_t FRowPixels = 0;
};

// Process-wide DirectDraw objects.
extern IDirectDraw2* DirectDrawObject;
extern IDirectDraw* DirectDrawObject1;
// The main window: the clipper's window, the frame's destination and the receiver of
// display-type requests.
extern TForm* MainFormRef;
extern tDib16* CurrentDib;
// Rebuilds of row tables since the main tick last reset it.
extern int32_t ScanLineRebuilds;

void CreateDirectDraw();
void ReleaseDirectDraw();
// The message that asks the main window to switch to another display type (wParam).
constexpr UINT WM_SETDISPLAYTYPE = 0x7813;
// The main window reloads every picture and sound (posted after the video options apply).
constexpr UINT WM_RELOADDATA = 0x7814;
// The main window restarts the sound system (posted when the sound device changed).
constexpr UINT WM_REINITAUDIO = 0x7816;
// Posts WM_SETDISPLAYTYPE with the display type to MainFormRef.
void RequestDisplayType(uint8_t displayType);

void PushDib();
void PopDib();
int32_t DibStackDepthUsed();

// Saves CurrentDib on construction and restores it on every way out of the scope.
class tDibTarget {
public:
    explicit tDibTarget(tDib16* target);
    ~tDibTarget();
    tDibTarget(const tDibTarget&) = delete;
    tDibTarget& operator=(const tDibTarget&) = delete;
};

// Pairs BeginDraw and EndDraw.
class tDrawScope {
public:
    explicit tDrawScope(tDib16& dib) : FDib(dib) { FDib.BeginDraw(); }
    ~tDrawScope() { FDib.EndDraw(); }
    tDrawScope(const tDrawScope&) = delete;
    tDrawScope& operator=(const tDrawScope&) = delete;

private:
    tDib16& FDib;
};

// Pairs GetDC and ReleaseDC around text drawn on a surface; a failing release on the way
// out of a failed drawing is not reported over the first failure.
class tDibDC {
public:
    explicit tDibDC(tDib16& dib) : FDib(dib), FDC(dib.GetDC()) {}
    ~tDibDC()
    {
        try {
            FDib.ReleaseDC();
        } catch (...) {
        }
    }
    tDibDC(const tDibDC&) = delete;
    tDibDC& operator=(const tDibDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    tDib16& FDib;
    HDC FDC;
};

// ---------------------------------------------------------------------------------------
// Named image registry

void DoBrightnessChange(TBitmap& bitmap, const std::array<uint8_t, 256>& table);
tDib16* FindDib(const std::string& name);
void RegisterDib(std::unique_ptr<tDib16> dib);
tDib16* FindOrLoadDib(const std::string& name, bool load);
void FreeAllDibs();
// The registered DIBs in registration order.
const std::vector<std::unique_ptr<tDib16>>& DibRegistry();

// ---------------------------------------------------------------------------------------
// Sprites

class tSprite {
public:
    tSprite();
    tDib16* Source = nullptr;
    tDib16* Source2 = nullptr;
    uint8_t DitherPattern = 0;
    int32_t SrcY = 0, SrcX = 0;
    int32_t Src2Y = 0, Src2X = 0;
    int32_t Width = 0, Height = 0;
    int32_t HotSpotX = 0, HotSpotY = 0;
    uint8_t DrawMode = 0;
    int32_t CustomValue = 0;
    TRGBTriple ColorKey;

    void SetFrame(const std::string& imageName, int32_t x, int32_t y, int32_t width, int32_t height);
    void SetFrame2(const std::string& imageName1, const std::string& imageName2, int32_t x1,
                   int32_t y1, int32_t x2, int32_t y2, int32_t width, int32_t height);
    void SetMaskedFrame(const std::string& imageName, const std::string& maskName, int32_t x,
                        int32_t y, int32_t width, int32_t height);
    void Draw(int32_t x, int32_t y);
    void DrawToCoverMask(int32_t x, int32_t y);
};
