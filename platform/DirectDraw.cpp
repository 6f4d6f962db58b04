#include "platform/DirectDraw.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/FramePresenter.h"

namespace {

TBitFields gScreenFormat = BitFields565;
bool gScreenFormatChosen = false;
HRESULT gCreateFailure = DD_OK;
int32_t gPitchPadding = 64;

struct ErrorEntry {
    HRESULT code;
    const char* name;
    const char* text;
};

const ErrorEntry kErrors[] = {
    {DD_OK, "DD_OK", "The request completed successfully."},
    {DDERR_GENERIC, "DDERR_GENERIC", "There is an undefined error condition."},
    {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS", "One or more of the parameters passed to the method are incorrect."},
    {DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY", "DirectDraw does not have enough memory to perform the operation."},
    {DDERR_UNSUPPORTED, "DDERR_UNSUPPORTED", "The operation is not supported."},
    {DDERR_NOINTERFACE, "DDERR_NOINTERFACE", "The requested interface is not supported."},
    {DDERR_INVALIDOBJECT, "DDERR_INVALIDOBJECT", "DirectDraw received a pointer that was an invalid DirectDraw object."},
    {DDERR_INVALIDPIXELFORMAT, "DDERR_INVALIDPIXELFORMAT", "The pixel format was invalid as specified."},
    {DDERR_INVALIDRECT, "DDERR_INVALIDRECT", "The provided rectangle was invalid."},
    {DDERR_NOCLIPPERATTACHED, "DDERR_NOCLIPPERATTACHED", "No clipper object is attached to the surface object."},
    {DDERR_NOHWND, "DDERR_NOHWND", "Clipper notification requires a window handle, or no window handle has been previously set as the cooperative level window handle."},
    {DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY", "Access to the surface is refused because the surface is locked by another thread."},
    {DDERR_SURFACELOST, "DDERR_SURFACELOST", "Access to the surface is refused because the surface memory is gone. Call Restore on this surface to restore the memory associated with it."},
    {DDERR_NOTLOCKED, "DDERR_NOTLOCKED", "An attempt was made to unlock a surface that was not locked."},
    {DDERR_DCALREADYCREATED, "DDERR_DCALREADYCREATED", "A device context has already been returned for this surface. Only one device context can be retrieved for each surface."},
    {DDERR_NODC, "DDERR_NODC", "No device context exists for this surface."},
};

TBitFields FieldsOf(const DDPIXELFORMAT& f)
{
    return TBitFields{f.dwRBitMask, f.dwGBitMask, f.dwBBitMask};
}

// QueryInterface's answer: the object itself, with a new reference, when it knows the
// interface asked for.
template <typename Object>
HRESULT HandOut(Object* self, bool known, void** object)
{
    if (!object)
        return DDERR_INVALIDPARAMS;
    if (!known) {
        *object = nullptr;
        return DDERR_NOINTERFACE;
    }
    self->AddRef();
    *object = self;
    return DD_OK;
}

} // namespace

std::string DirectDrawErrorText(HRESULT code)
{
    for (const ErrorEntry& e : kErrors)
        if (e.code == code)
            return std::string(e.name) + ": " + e.text;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(code));
    return std::string("Unknown DirectDraw error $") + buf;
}

const GUID IID_IDirectDraw{0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID IID_IDirectDraw2{0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
const GUID IID_IDirectDrawSurface{0x6C14DB81, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID IID_IDirectDrawSurface3{0xDA044E00, 0x69B2, 0x11D0, {0xA1, 0xD5, 0x00, 0xAA, 0x00, 0xB8, 0xDF, 0xBB}};

void SetDirectDrawScreenFormat(const TBitFields& fields)
{
    gScreenFormat = fields;
    gScreenFormatChosen = true;
}

TBitFields DirectDrawScreenFormat() { return gScreenFormat; }
void SetDirectDrawCreateFailure(HRESULT code) { gCreateFailure = code; }
void SetDirectDrawPitchPadding(int32_t bytes) { gPitchPadding = bytes < 0 ? 0 : bytes & ~3; }

uint32_t IDirectDrawObject::Release()
{
    uint32_t left = --FRefCount;
    if (left == 0)
        delete this;
    return left;
}

// ---------------------------------------------------------------------------------------

HRESULT IDirectDrawClipper::QueryInterface(const GUID&, void** object)
{
    return HandOut(this, true, object);
}

HRESULT IDirectDrawClipper::SetHWnd(DWORD, DDWindowHandle window)
{
    FWindow = window;
    return DD_OK;
}

HRESULT IDirectDrawClipper::GetHWnd(DDWindowHandle* window)
{
    if (!window)
        return DDERR_INVALIDPARAMS;
    *window = FWindow;
    return DD_OK;
}

// ---------------------------------------------------------------------------------------

IDirectDrawSurface::IDirectDrawSurface(bool primary, int32_t width, int32_t height,
                                       const DDPIXELFORMAT& format, DWORD caps)
    : FPrimary(primary), FWidth(width), FHeight(height), FFormat(format),
      FCaps(caps)
{
    if (!primary) {
        FPitch = ((width * 2 + 3) & ~3) + gPitchPadding;
        FMemory.assign(static_cast<size_t>(FPitch) * static_cast<size_t>(height), 0);
    }
}

IDirectDrawSurface::~IDirectDrawSurface()
{
    if (FDC)
        FreeDeviceContext(FDC);
    if (FClipper)
        FClipper->Release();
}

HRESULT IDirectDrawSurface::QueryInterface(const GUID& iid, void** object)
{
    return HandOut(this, iid == IID_IDirectDrawSurface || iid == IID_IDirectDrawSurface3, object);
}

HRESULT IDirectDrawSurface::Lock(const TRect* rect, DDSURFACEDESC* desc, DWORD, void*)
{
    if (!desc || desc->dwSize != DDSURFACEDESC_SIZE)
        return DDERR_INVALIDPARAMS;
    if (FLost)
        return DDERR_SURFACELOST;
    if (FPrimary || FMemory.empty())
        return DDERR_UNSUPPORTED;
    if (FLocked)
        return DDERR_SURFACEBUSY;
    uint8_t* base = FMemory.data();
    if (rect) {
        if (rect->Left < 0 || rect->Top < 0 || rect->Right > FWidth || rect->Bottom > FHeight ||
            rect->IsEmpty())
            return DDERR_INVALIDRECT;
        base += static_cast<ptrdiff_t>(rect->Top) * FPitch + 2 * rect->Left;
    }
    desc->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_LPSURFACE;
    desc->dwWidth = static_cast<DWORD>(FWidth);
    desc->dwHeight = static_cast<DWORD>(FHeight);
    desc->lPitch = FPitch;
    desc->lpSurface = base;
    desc->ddpfPixelFormat = FFormat;
    FLocked = true;
    ++FLockCount;
    return DD_OK;
}

HRESULT IDirectDrawSurface::Unlock(void*)
{
    if (!FLocked)
        return DDERR_NOTLOCKED;
    FLocked = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface::IsLost() { return FLost ? DDERR_SURFACELOST : DD_OK; }

HRESULT IDirectDrawSurface::Restore()
{
    FLost = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetDC(HDC* dc)
{
    if (!dc)
        return DDERR_INVALIDPARAMS;
    if (FLost)
        return DDERR_SURFACELOST;
    if (FPrimary || FMemory.empty())
        return DDERR_UNSUPPORTED;
    if (FDC)
        return DDERR_DCALREADYCREATED;
    try {
        FDC = MakeDeviceContext(FMemory.data(), FWidth, FHeight, FPitch, 16, FieldsOf(FFormat))
                  .release();
    } catch (const std::exception&) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    *dc = FDC;
    return DD_OK;
}

HRESULT IDirectDrawSurface::ReleaseDC(HDC dc)
{
    if (!FDC || dc != FDC)
        return DDERR_NODC;
    FreeDeviceContext(FDC);
    FDC = nullptr;
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetSurfaceDesc(DDSURFACEDESC* desc)
{
    if (!desc || desc->dwSize != DDSURFACEDESC_SIZE)
        return DDERR_INVALIDPARAMS;
    desc->dwFlags = DDSD_CAPS | DDSD_PIXELFORMAT;
    desc->ddsCaps.dwCaps = FCaps;
    desc->ddpfPixelFormat = FFormat;
    if (FPrimary) {
        TRect client = FClipper ? WindowClientRect(FClipper->Window()) : TRect{};
        desc->dwWidth = static_cast<DWORD>(client.Width());
        desc->dwHeight = static_cast<DWORD>(client.Height());
    } else {
        desc->dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH;
        desc->dwWidth = static_cast<DWORD>(FWidth);
        desc->dwHeight = static_cast<DWORD>(FHeight);
        desc->lPitch = FPitch;
    }
    return DD_OK;
}

HRESULT IDirectDrawSurface::SetClipper(IDirectDrawClipper* clipper)
{
    if (clipper)
        clipper->AddRef();
    if (FClipper)
        FClipper->Release();
    FClipper = clipper;
    return DD_OK;
}

HRESULT IDirectDrawSurface::Blt(const TRect* destRect, IDirectDrawSurface* source,
                                const TRect* sourceRect, DWORD, void*)
{
    if (!source || source == this)
        return DDERR_INVALIDPARAMS;
    if (FLost || source->FLost)
        return DDERR_SURFACELOST;
    if (source->FPrimary || source->FMemory.empty())
        return DDERR_UNSUPPORTED;
    TRect src = sourceRect ? *sourceRect : TRect{0, 0, source->FWidth, source->FHeight};
    if (src.IsEmpty() || src.Left < 0 || src.Top < 0 || src.Right > source->FWidth ||
        src.Bottom > source->FHeight)
        return DDERR_INVALIDRECT;
    const uint8_t* bits = source->FMemory.data() + static_cast<ptrdiff_t>(src.Top) * source->FPitch +
                          2 * src.Left;
    if (FPrimary) {
        if (!FClipper || !FClipper->Window())
            return DDERR_NOCLIPPERATTACHED;
        DDWindowHandle window = FClipper->Window();
        TRect dest;
        if (destRect) {
            // Screen coordinates back to the window's client area.
            TPoint origin = WindowClientOrigin(window);
            dest = TRect{destRect->Left - origin.X, destRect->Top - origin.Y,
                         destRect->Right - origin.X, destRect->Bottom - origin.Y};
        } else {
            dest = WindowClientRect(window);
        }
        if (dest.IsEmpty())
            return DDERR_INVALIDRECT;
        PresentFrame(window, bits, src.Width(), src.Height(), source->FPitch,
                     FieldsOf(source->FFormat), &dest);
        return DD_OK;
    }
    if (FMemory.empty())
        return DDERR_UNSUPPORTED;
    TRect dest = destRect ? *destRect : TRect{0, 0, FWidth, FHeight};
    auto dstDC = MakeDeviceContext(FMemory.data(), FWidth, FHeight, FPitch, 16, FieldsOf(FFormat));
    auto srcDC = MakeDeviceContext(source->FMemory.data(), source->FWidth, source->FHeight,
                                   source->FPitch, 16, FieldsOf(source->FFormat));
    StretchBlt(dstDC.get(), dest, srcDC.get(), src);
    return DD_OK;
}

// ---------------------------------------------------------------------------------------

HRESULT IDirectDraw::QueryInterface(const GUID& iid, void** object)
{
    return HandOut(this, iid == IID_IDirectDraw || iid == IID_IDirectDraw2, object);
}

HRESULT IDirectDraw::SetCooperativeLevel(DDWindowHandle window, DWORD flags)
{
    if ((flags & DDSCL_EXCLUSIVE) && !window)
        return DDERR_NOHWND;
    FCooperativeLevel = flags;
    FWindow = window;
    return DD_OK;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD, DWORD)
{
    if (width == 0 || height == 0 || bitsPerPixel != 16)
        return DDERR_UNSUPPORTED;
    // The screen keeps its mode: the window of the cooperative level (exclusive or
    // normal) covers it and scales the frame.
    FModeSet = true;
    FModeWindow = FWindow;
    if (FModeWindow)
        SetWindowFullScreen(FModeWindow, true);
    return DD_OK;
}

HRESULT IDirectDraw::RestoreDisplayMode()
{
    if (FModeSet && FModeWindow)
        SetWindowFullScreen(FModeWindow, false);
    FModeSet = false;
    FModeWindow = nullptr;
    return DD_OK;
}

HRESULT IDirectDraw::CreateSurface(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void*)
{
    if (!desc || !surface || desc->dwSize != DDSURFACEDESC_SIZE || !(desc->dwFlags & DDSD_CAPS))
        return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    const DWORD caps = desc->ddsCaps.dwCaps;
    try {
        if (caps & DDSCAPS_PRIMARYSURFACE) {
            *surface = new IDirectDrawSurface(true, 0, 0, FScreenFormat, caps);
            return DD_OK;
        }
        if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT) || desc->dwWidth == 0 ||
            desc->dwHeight == 0 || desc->dwWidth > 16384 || desc->dwHeight > 16384)
            return DDERR_INVALIDPARAMS;
        DDPIXELFORMAT format = FScreenFormat;
        if (desc->dwFlags & DDSD_PIXELFORMAT) {
            const DDPIXELFORMAT& f = desc->ddpfPixelFormat;
            if (!(f.dwFlags & DDPF_RGB) || f.dwRGBBitCount != 16 || f.dwRBitMask == 0 ||
                f.dwGBitMask == 0 || f.dwBBitMask == 0 ||
                ((f.dwRBitMask | f.dwGBitMask | f.dwBBitMask) & ~0xFFFFu))
                return DDERR_INVALIDPIXELFORMAT;
            format.dwRBitMask = f.dwRBitMask;
            format.dwGBitMask = f.dwGBitMask;
            format.dwBBitMask = f.dwBBitMask;
        }
        *surface = new IDirectDrawSurface(false, static_cast<int32_t>(desc->dwWidth),
                                          static_cast<int32_t>(desc->dwHeight), format, caps);
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    return DD_OK;
}

HRESULT IDirectDraw::CreateClipper(DWORD, IDirectDrawClipper** clipper, void*)
{
    if (!clipper)
        return DDERR_INVALIDPARAMS;
    *clipper = new IDirectDrawClipper();
    return DD_OK;
}

HRESULT DirectDrawCreate(GUID*, IDirectDraw** directDraw, void*)
{
    if (!directDraw)
        return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (gCreateFailure != DD_OK) {
        HRESULT code = gCreateFailure;
        gCreateFailure = DD_OK;
        return code;
    }
    if (!gScreenFormatChosen) {
        const char* env = std::getenv("TP_SCREEN_FORMAT");
        gScreenFormat = (env && std::strcmp(env, "555") == 0) ? BitFields555 : BitFields565;
    }
    auto* dd = new IDirectDraw();
    dd->FScreenFormat = DDPIXELFORMAT{DDPIXELFORMAT_SIZE, DDPF_RGB, 0, 16, gScreenFormat.Red,
                                      gScreenFormat.Green, gScreenFormat.Blue, 0};
    *directDraw = dd;
    return DD_OK;
}
