// 16-bit surfaces: memory DIBs and the DirectDraw frame buffer, row access, device
// contexts, presentation, the drawing target stack, and the registry of named images.
#include "tesk/toolkit/Dib16.h"

#include <algorithm>

#include "platform/FramePresenter.h"
#include "platform/Streams.h"
#include "tesk/toolkit/Misc.h"

IDirectDraw2* DirectDrawObject = nullptr;
IDirectDraw* DirectDrawObject1 = nullptr;
TForm* MainFormRef = nullptr;
tDib16* CurrentDib = nullptr;
int32_t ScanLineRebuilds = 0;

namespace {

tDib16* gDibStack[DibStackDepth] = {};
int32_t gDibStackDepth = 0;

std::vector<std::unique_ptr<tDib16>>& Registry()
{
    static std::vector<std::unique_ptr<tDib16>> registry;
    return registry;
}

template <class T>
void ReleaseObject(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

} // namespace

EDirectDraw::EDirectDraw(const std::string& place, HRESULT code)
    : Exception(place + "\r" + DirectDrawErrorText(code))
{
}

// ---------------------------------------------------------------------------------------
// DirectDraw objects of the process

void CreateDirectDraw()
{
    IDirectDraw* dd1 = nullptr;
    if (DirectDrawCreate(nullptr, &dd1, nullptr) != DD_OK || !dd1)
        throw EDirectDraw("Couldn't Create a DirectDraw Object");
    void* dd2 = nullptr;
    if (dd1->QueryInterface(IID_IDirectDraw2, &dd2) != DD_OK || !dd2) {
        dd1->Release();
        throw EDirectDraw("Couldn't Create a DirectDraw2 Object");
    }
    DirectDrawObject1 = dd1;
    DirectDrawObject = static_cast<IDirectDraw2*>(dd2);
}

void RequestDisplayType(uint8_t displayType)
{
    if (MainFormRef)
        PostMessage(MainFormRef->Handle(), WM_SETDISPLAYTYPE, displayType, 0);
}

void ReleaseDirectDraw()
{
    if (DirectDrawObject) {
        DirectDrawObject->RestoreDisplayMode();
        DirectDrawObject->Release();
        DirectDrawObject = nullptr;
    }
    if (DirectDrawObject1) {
        DirectDrawObject1->Release();
        DirectDrawObject1 = nullptr;
    }
}

// ---------------------------------------------------------------------------------------
// Construction

tDib16::tDib16(int32_t width, int32_t height) : Width(width), Height(height)
{
    ClipRect = TRect{0, 0, width, height};
    CreateSurface();
}

tDib16::tDib16(PrimaryTag, int32_t width, int32_t height) : Width(width), Height(height)
{
    ClipRect = TRect{0, 0, width, height};
    IsPrimary = true;
    UsesDirectDraw = true;
    if (!DirectDrawObject || !MainFormRef)
        throw Exception("The frame buffer needs DirectDraw and the main window");
    CreateSurface();
}

std::unique_ptr<tDib16> tDib16::CreatePrimary(int32_t width, int32_t height)
{
    return std::make_unique<tDib16>(PrimaryTag{}, width, height);
}

tDib16::~tDib16()
{
    ReleaseSurface();
    FreeCoverMask();
}

// A surface that exists is made again at the new size; without one only the field changes.
static void ChangeDimension(tDib16& dib, int32_t& dimension, int32_t value)
{
    const bool hadSurface = dib.HasSurface();
    if (hadSurface)
        dib.ReleaseSurface();
    dimension = value;
    if (hadSurface)
        dib.CreateSurface();
}

void tDib16::SetWidth(int32_t value)
{
    ChangeDimension(*this, Width, value);
}

void tDib16::SetHeight(int32_t value)
{
    ChangeDimension(*this, Height, value);
}

bool tDib16::HasSurface() const { return FBitmap || DrawingSurface || ViewingSurface; }

// ---------------------------------------------------------------------------------------
// Pixel store

void tDib16::CreateSurface()
{
    if (HasSurface())
        ReleaseSurface();
    try {
        if (!UsesDirectDraw) {
            auto bitmap = std::make_unique<TBitmap>();
            bitmap->SetPixelFormat(pf16bit);
            bitmap->SetBitFields(CurrentBitFields());
            bitmap->SetSize(Width, Height);
            FBitmap = std::move(bitmap);
            MakeScanLinePointers();
        } else {
            DDSURFACEDESC desc{};
            desc.dwSize = DDSURFACEDESC_SIZE;
            desc.dwFlags = DDSD_CAPS;
            desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
            HRESULT hr = DirectDrawObject->CreateSurface(&desc, &FPrimarySurface, nullptr);
            if (hr != DD_OK)
                throw EDirectDraw("DirectDraw.CreateSurface (primary surface) failed", hr);
            void* obj = nullptr;
            hr = FPrimarySurface->QueryInterface(IID_IDirectDrawSurface3, &obj);
            if (hr != DD_OK)
                throw EDirectDraw("OwnedSurfaceA.QueryInterface (primary surface) failed", hr);
            FOwnedSurfaceA = static_cast<IDirectDrawSurface3*>(obj);
            ViewingSurface = FOwnedSurfaceA;
            hr = DirectDrawObject->CreateClipper(0, &FClipper, nullptr);
            if (hr != DD_OK)
                throw EDirectDraw("DirectDraw.CreateClipper Failed", hr);
            hr = FClipper->SetHWnd(0, PresentWindowOf(MainFormRef));
            if (hr != DD_OK)
                throw EDirectDraw("Clipper.SetHWnd Failed", hr);
            hr = ViewingSurface->SetClipper(FClipper);
            if (hr != DD_OK)
                throw EDirectDraw("ViewingSurface.SetClipper Failed", hr);
            DDSURFACEDESC screen{};
            screen.dwSize = DDSURFACEDESC_SIZE;
            ViewingSurface->GetSurfaceDesc(&screen);
            SetScreenPixelFormat(screen.ddpfPixelFormat);

            DDSURFACEDESC back{};
            back.dwSize = DDSURFACEDESC_SIZE;
            back.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
            back.dwHeight = static_cast<DWORD>(Height);
            back.dwWidth = static_cast<DWORD>(Width);
            back.ddpfPixelFormat.dwFlags = DDPF_RGB;
            back.ddpfPixelFormat.dwRGBBitCount = 16;
            back.ddpfPixelFormat.dwRBitMask = static_cast<DWORD>(PixelFormat.R.Mask);
            back.ddpfPixelFormat.dwGBitMask = static_cast<DWORD>(PixelFormat.G.Mask);
            back.ddpfPixelFormat.dwBBitMask = static_cast<DWORD>(PixelFormat.B.Mask);
            back.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
            if (SystemMemoryBackBuffer)
                back.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
            hr = DirectDrawObject->CreateSurface(&back, &FBackSurface, nullptr);
            if (hr != DD_OK)
                throw EDirectDraw("DirectDraw.CreateSurface (windowed backbuffer) Failed", hr);
            obj = nullptr;
            hr = FBackSurface->QueryInterface(IID_IDirectDrawSurface3, &obj);
            if (hr != DD_OK)
                throw EDirectDraw("OwnedSurfaceB.QueryInterface (Windowed backbuffer) failed", hr);
            FOwnedSurfaceB = static_cast<IDirectDrawSurface3*>(obj);
            DrawingSurface = FOwnedSurfaceB;
        }
        AllocCoverMask();
    } catch (...) {
        ReleaseSurface();
        throw;
    }
}

void tDib16::ReleaseSurface()
{
    FBitmap.reset();
    if (CachedDC && DrawingSurface)
        DrawingSurface->ReleaseDC(CachedDC);
    CachedDC = nullptr;
    if (DrawingSurface)
        DrawingSurface->Unlock(nullptr);
    DrawingSurface = nullptr;
    ViewingSurface = nullptr;
    ReleaseObject(FOwnedSurfaceA);
    ReleaseObject(FOwnedSurfaceB);
    ReleaseObject(FPrimarySurface);
    ReleaseObject(FBackSurface);
    ReleaseObject(FClipper);
    ScanLinesValid = false;
    FScanLinePointers.clear();
    FRowPixels = 0;
}

TBitmap& tDib16::Bitmap()
{
    if (!FBitmap)
        throw Exception("Reading a Bitmap from a tDib16 that has no current bitmap");
    return *FBitmap;
}

TCanvas& tDib16::Canvas() { return Bitmap().Canvas(); }

// ---------------------------------------------------------------------------------------
// Row access and locking

void tDib16::BeginDraw() { RestoreIfLost(); }

void tDib16::EndDraw() { Unlock(); }

void tDib16::RestoreIfLost()
{
    if (DrawingSurface && DrawingSurface->IsLost() == DDERR_SURFACELOST)
        DrawingSurface->Restore();
}

void tDib16::Unlock()
{
    if (DrawingSurface) {
        if (DrawingSurface->Locked())
            DrawingSurface->Unlock(nullptr);
        ScanLinesValid = false;
    }
}

void tDib16::MakeScanLinePointers()
{
    ++ScanLineRebuilds;
    const int32_t rows = std::max(Height, 0);
    if (FBitmap) {
        FScanLinePointers.assign(FBitmap->Empty() ? 0 : static_cast<size_t>(FBitmap->Height()), nullptr);
        for (int32_t y = 0; y < static_cast<int32_t>(FScanLinePointers.size()); ++y)
            FScanLinePointers[y] = reinterpret_cast<uint16_t*>(FBitmap->ScanLine(y));
        FRowPixels = FBitmap->RowBytes() / 2;
    } else if (DrawingSurface) {
        if (DrawingSurface->IsLost() == DDERR_SURFACELOST)
            DrawingSurface->Restore();
        if (DrawingSurface->Locked())
            DrawingSurface->Unlock(nullptr);
        DDSURFACEDESC desc{};
        desc.dwSize = DDSURFACEDESC_SIZE;
        if (DrawingSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK || !desc.lpSurface ||
            static_cast<int64_t>(desc.dwHeight) < rows)
            throw Exception("Couldn't make ScanLinePointers");
        auto* base = static_cast<uint8_t*>(desc.lpSurface);
        FScanLinePointers.assign(static_cast<size_t>(rows), nullptr);
        for (int32_t y = 0; y < rows; ++y)
            FScanLinePointers[y] = reinterpret_cast<uint16_t*>(base + static_cast<ptrdiff_t>(y) * desc.lPitch);
        FRowPixels = desc.lPitch / 2;
    } else {
        // No pixel store at all: there are no rows to hand out.
        FScanLinePointers.clear();
        throw Exception("Bitmap " + Name + " has no surface!");
    }
    if (TouchedRows.size() != static_cast<size_t>(rows))
        TouchedRows.assign(static_cast<size_t>(rows), 0);
    ScanLinesValid = true;
}

void tDib16::CheckRow(int32_t y) const
{
    if (y < 0 || y >= Height)
        throw Exception("Row " + std::to_string(y) + " is outside bitmap " + Name + " (" +
                        std::to_string(Width) + " x " + std::to_string(Height) + ")");
}

uint16_t* tDib16::ScanLine(int32_t y)
{
    if (!ScanLinesValid)
        MakeScanLinePointers();
    CheckRow(y);
    if (static_cast<size_t>(y) >= FScanLinePointers.size())
        throw Exception("Bitmap " + Name + " has no surface!");
    TouchedRows[y] = 1;
    return FScanLinePointers[y];
}

uint16_t* tDib16::ScanLines(int32_t y, int32_t count, int32_t& pitch)
{
    if (!ScanLinesValid)
        MakeScanLinePointers();
    if (count <= 0) {
        pitch = FRowPixels;
        return nullptr;
    }
    CheckRow(y);
    CheckRow(y + count - 1);
    if (static_cast<size_t>(y + count) > FScanLinePointers.size())
        throw Exception("Bitmap " + Name + " has no surface!");
    std::fill_n(TouchedRows.begin() + y, count, 1);
    pitch = FRowPixels;
    return FScanLinePointers[y];
}

HDC tDib16::GetDC()
{
    if (FBitmap)
        return FBitmap->Handle();
    if (DrawingSurface) {
        if (!CachedDC) {
            HRESULT hr = DrawingSurface->GetDC(&CachedDC);
            if (hr != DD_OK) {
                CachedDC = nullptr;
                throw EDirectDraw("Surface.GetDC failed", hr);
            }
        }
        return CachedDC;
    }
    return nullptr;
}

void tDib16::ReleaseDC()
{
    if (DrawingSurface) {
        HDC dc = CachedDC;
        CachedDC = nullptr;
        HRESULT hr = DrawingSurface->ReleaseDC(dc);
        if (hr != DD_OK)
            throw EDirectDraw("Surface.ReleaseDC failed", hr);
    }
}

void tDib16::PageFlip()
{
    if (!IsPrimary || !ViewingSurface || !DrawingSurface)
        return;
    if (ViewingSurface->IsLost() == DDERR_SURFACELOST)
        ViewingSurface->Restore();
    Unlock();
    if (DrawingSurface->IsLost() == DDERR_SURFACELOST)
        DrawingSurface->Restore();
    const TRect client = MainFormRef ? MainFormRef->ClientRect() : TRect{};
    const TPoint topLeft = MainFormRef ? MainFormRef->ClientToScreen(Point(0, 0)) : TPoint{};
    const TPoint bottomRight =
        MainFormRef ? MainFormRef->ClientToScreen(Point(client.Right, client.Bottom)) : TPoint{};
    const TRect dest{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
    const TRect src{0, 0, Width, Height};
    HRESULT hr = ViewingSurface->Blt(&dest, DrawingSurface, &src, DDBLT_WAIT, nullptr);
    if (hr != DD_OK)
        throw EDirectDraw("Couldn't blit pageflip", hr);
}

// ---------------------------------------------------------------------------------------
// Drawing target stack

void PushDib()
{
    if (gDibStackDepth >= DibStackDepth)
        throw Exception("dibStack overflow");
    gDibStack[gDibStackDepth++] = CurrentDib;
}

void PopDib()
{
    if (gDibStackDepth <= 0)
        throw Exception("dibStack underflow");
    CurrentDib = gDibStack[--gDibStackDepth];
}

int32_t DibStackDepthUsed() { return gDibStackDepth; }

tDibTarget::tDibTarget(tDib16* target)
{
    PushDib();
    CurrentDib = target;
}

tDibTarget::~tDibTarget()
{
    if (gDibStackDepth > 0)
        CurrentDib = gDibStack[--gDibStackDepth];
}

// ---------------------------------------------------------------------------------------
// Registry

const std::vector<std::unique_ptr<tDib16>>& DibRegistry() { return Registry(); }

tDib16* FindDib(const std::string& name)
{
    const std::string key = LowerCased(name);
    for (const auto& dib : Registry())
        if (dib->Name == key)
            return dib.get();
    return nullptr;
}

void RegisterDib(std::unique_ptr<tDib16> dib)
{
    if (!dib)
        return;
    if (FindDib(dib->Name))
        throw Exception("Dib16 name '" + dib->Name + "' Registered twice");
    Registry().push_back(std::move(dib));
}

tDib16* tDib16::CreateNamed(const std::string& name, bool load)
{
    std::unique_ptr<tDib16> dib(new tDib16());
    dib->Name = name;
    dib->MaskName = name + ".mask";
    MakeLower(dib->Name);
    tDib16* raw = dib.get();
    RegisterDib(std::move(dib));
    if (load)
        raw->Load();
    return raw;
}

std::unique_ptr<tDib16> tDib16::CreateFromFile(const std::string& name)
{
    std::unique_ptr<tDib16> dib(new tDib16());
    dib->Name = name;
    dib->Load();
    return dib;
}

tDib16* FindOrLoadDib(const std::string& name, bool load)
{
    tDib16* dib = FindDib(name);
    if (!dib)
        dib = tDib16::CreateNamed(name, false);
    if (load)
        dib->Load();
    return dib;
}

void FreeAllDibs()
{
    auto& registry = Registry();
    while (!registry.empty()) {
        std::unique_ptr<tDib16> last = std::move(registry.back());
        registry.pop_back();
        if (CurrentDib == last.get())
            CurrentDib = nullptr;
    }
}
