#pragma once
// An in-memory stand-in for DirectDraw: the objects, calls, flags, record sizes and result
// codes the display code uses. Surfaces are heap memory in a 16-bit format; the primary
// surface is the client area of the window its clipper is bound to, and a blit to it
// presents the frame in that window. Display modes are not changed: the program is told
// it has the mode it asked for, and the window of the cooperative level covers the screen
// until the mode is restored.
//
// The screen's pixel format is a setting: RGB565 unless SetDirectDrawScreenFormat chooses
// another or the environment variable TP_SCREEN_FORMAT is "555" when DirectDraw is created.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Graphics.h"

using HRESULT = int32_t;
using DWORD = uint32_t;
// A window as the display code hands it over: the platform's window object (a QWidget).
using DDWindowHandle = void*;

constexpr HRESULT DD_OK = 0;
constexpr HRESULT MakeDDResult(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT DDERR_INVALIDOBJECT = MakeDDResult(130);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDDResult(145);
constexpr HRESULT DDERR_INVALIDRECT = MakeDDResult(150);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = MakeDDResult(205);
constexpr HRESULT DDERR_NOHWND = MakeDDResult(569);
constexpr HRESULT DDERR_SURFACEBUSY = MakeDDResult(430);
constexpr HRESULT DDERR_SURFACELOST = MakeDDResult(450);
constexpr HRESULT DDERR_NOTLOCKED = MakeDDResult(584);
constexpr HRESULT DDERR_DCALREADYCREATED = MakeDDResult(620);
constexpr HRESULT DDERR_NODC = MakeDDResult(523);

// The symbolic name and description of a result code ("DDERR_SURFACELOST: ...").
std::string DirectDrawErrorText(HRESULT code);

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
    friend bool operator==(const GUID&, const GUID&) = default;
};
extern const GUID IID_IDirectDraw;
extern const GUID IID_IDirectDraw2;
extern const GUID IID_IDirectDrawSurface;
extern const GUID IID_IDirectDrawSurface3;

// Flags and capabilities.
constexpr DWORD DDSCL_NORMAL = 8;
constexpr DWORD DDSCL_FULLSCREEN = 1;
constexpr DWORD DDSCL_EXCLUSIVE = 16;
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSD_LPSURFACE = 0x800;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDPF_RGB = 0x40;
constexpr DWORD DDLOCK_WAIT = 1;
constexpr DWORD DDBLT_WAIT = 0x1000000;

// The size of a surface description as the display code fills it in.
constexpr DWORD DDSURFACEDESC_SIZE = 108;
constexpr DWORD DDPIXELFORMAT_SIZE = 32;

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};
static_assert(sizeof(DDPIXELFORMAT) == 32);

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    int32_t lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    void* lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

class IDirectDraw;

// Reference-counted base of the stand-in's objects.
class IDirectDrawObject {
public:
    virtual ~IDirectDrawObject() = default;
    uint32_t AddRef() { return ++FRefCount; }
    // Drops one reference; the object frees itself at zero. Returns the references left.
    uint32_t Release();
    // The same object answers for every version of its interface.
    virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;

protected:
    uint32_t FRefCount = 1;
};

class IDirectDrawClipper : public IDirectDrawObject {
public:
    HRESULT QueryInterface(const GUID& iid, void** object) override;
    HRESULT SetHWnd(DWORD flags, DDWindowHandle window);
    HRESULT GetHWnd(DDWindowHandle* window);
    DDWindowHandle Window() const { return FWindow; }

private:
    DDWindowHandle FWindow = nullptr;
};

class IDirectDrawSurface : public IDirectDrawObject {
public:
    IDirectDrawSurface(bool primary, int32_t width, int32_t height, const DDPIXELFORMAT& format,
                       DWORD caps);
    ~IDirectDrawSurface() override;
    HRESULT QueryInterface(const GUID& iid, void** object) override;
    HRESULT Lock(const TRect* rect, DDSURFACEDESC* desc, DWORD flags, void* event);
    HRESULT Unlock(void* rect);
    HRESULT IsLost();
    HRESULT Restore();
    HRESULT GetDC(HDC* dc);
    HRESULT ReleaseDC(HDC dc);
    HRESULT GetSurfaceDesc(DDSURFACEDESC* desc);
    HRESULT SetClipper(IDirectDrawClipper* clipper);
    // Copies the source rectangle of another surface to the destination rectangle (screen
    // coordinates for the primary surface), scaled by nearest neighbour.
    HRESULT Blt(const TRect* destRect, IDirectDrawSurface* source, const TRect* sourceRect,
                DWORD flags, void* fx);

    bool IsPrimary() const { return FPrimary; }
    DWORD Caps() const { return FCaps; }
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    int32_t Pitch() const { return FPitch; }
    const uint8_t* Memory() const { return FMemory.data(); }
    const DDPIXELFORMAT& Format() const { return FFormat; }
    IDirectDrawClipper* Clipper() const { return FClipper; }

    // Test hooks: how many times the surface was locked, and marking it lost (as a
    // display switch would).
    int32_t LockCount() const { return FLockCount; }
    bool Locked() const { return FLocked; }
    void MarkLost() { FLost = true; }

private:
    bool FPrimary;
    int32_t FWidth;
    int32_t FHeight;
    int32_t FPitch = 0;
    DDPIXELFORMAT FFormat{};
    DWORD FCaps;
    std::vector<uint8_t> FMemory;
    IDirectDrawClipper* FClipper = nullptr;
    HDC FDC = nullptr;
    bool FLost = false;
    bool FLocked = false;
    int32_t FLockCount = 0;
};
using IDirectDrawSurface3 = IDirectDrawSurface;

class IDirectDraw : public IDirectDrawObject {
public:
    HRESULT QueryInterface(const GUID& iid, void** object) override;
    HRESULT SetCooperativeLevel(DDWindowHandle window, DWORD flags);
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                           DWORD flags);
    HRESULT RestoreDisplayMode();
    HRESULT CreateSurface(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer);
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer);
    HRESULT FlipToGDISurface() { return DD_OK; }

    DWORD CooperativeLevel() const { return FCooperativeLevel; }
    DDWindowHandle CooperativeWindow() const { return FWindow; }
    bool DisplayModeSet() const { return FModeSet; }
    const DDPIXELFORMAT& ScreenFormat() const { return FScreenFormat; }

private:
    friend HRESULT DirectDrawCreate(GUID*, IDirectDraw**, void*);
    DWORD FCooperativeLevel = 0;
    DDWindowHandle FWindow = nullptr;
    bool FModeSet = false;
    // The window that covers the screen while the mode is set.
    DDWindowHandle FModeWindow = nullptr;
    DDPIXELFORMAT FScreenFormat{};
};
using IDirectDraw2 = IDirectDraw;

HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** directDraw, void* outer);

// Settings and test hooks of the stand-in.
void SetDirectDrawScreenFormat(const TBitFields& fields);
TBitFields DirectDrawScreenFormat();
// The next DirectDrawCreate fails with this code (0: succeed again).
void SetDirectDrawCreateFailure(HRESULT code);
// The pitch of new surfaces is this many bytes more than their rows need (default 64, so
// code that assumes a pitch of twice the width is caught).
void SetDirectDrawPitchPadding(int32_t bytes);
