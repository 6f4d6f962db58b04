// 16-bit surfaces: pixel stores, row access, the drawing target stack, device contexts and
// the DirectDraw frame buffer's surfaces.
#include "tests/tesk/toolkit/GraphicsFixture.h"

using SurfaceTest = GraphicsTest;

TEST_F(SurfaceTest, MemoryDibStoresPixelsInTheCurrentFormat)
{
    for (bool five55 : {false, true}) {
        if (five55)
            Use555();
        tDib16 dib(3, 2);
        EXPECT_EQ(dib.ClipRect, Rect(0, 0, 3, 2));
        EXPECT_TRUE(dib.HasSurface());
        EXPECT_EQ(dib.Bitmap().PixelFormat(), pf16bit);
        EXPECT_EQ(dib.Bitmap().BitFields(), CurrentBitFields());
        // Odd widths pad rows to 4 bytes; only row addresses are used.
        EXPECT_EQ(reinterpret_cast<uint8_t*>(dib.ScanLine(1)) - reinterpret_cast<uint8_t*>(dib.ScanLine(0)), 8);
        dib.ScanLine(0)[0] = RGBToPixel(255, 0, 255);
        EXPECT_EQ(dib.Bitmap().PixelColor(0, 0), RGB(248, 0, 248));
        // The canvas draws into the same pixels.
        dib.Canvas().SetPixel(2, 1, clWhite);
        EXPECT_EQ(dib.ScanLine(1)[2], RGBToPixel(255, 255, 255));
        EXPECT_EQ(dib.GetDC(), dib.Bitmap().Handle());
    }
}

TEST_F(SurfaceTest, RowAccessIsCheckedAndTouchesRows)
{
    tDib16 dib(4, 4);
    dib.ClearTouchedRows();
    dib.ScanLine(1);
    dib.ScanLine(3);
    EXPECT_EQ(dib.TouchedRows, (std::vector<uint8_t>{0, 1, 0, 1}));
    dib.ClearTouchedRows();
    EXPECT_EQ(dib.TouchedRows, (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_THROW(dib.ScanLine(4), Exception);
    EXPECT_THROW(dib.ScanLine(-1), Exception);
    // A memory DIB keeps its row table across Unlock.
    const int32_t rebuilds = ScanLineRebuilds;
    dib.Unlock();
    dib.ScanLine(0);
    EXPECT_EQ(ScanLineRebuilds, rebuilds);
}

TEST_F(SurfaceTest, ReleasedSurfaceHandsOutNoStaleRows)
{
    tDib16 dib(8, 8);
    dib.Name = "released.jpg";
    dib.ScanLine(0);
    dib.ReleaseSurface();
    EXPECT_FALSE(dib.HasSurface());
    try {
        dib.ScanLine(0);
        FAIL() << "a row of a DIB without pixels";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Bitmap released.jpg has no surface!");
    }
    try {
        dib.Bitmap();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Reading a Bitmap from a tDib16 that has no current bitmap");
    }
    EXPECT_EQ(dib.GetDC(), nullptr);
}

TEST_F(SurfaceTest, SizeChanges)
{
    tDib16* named = tDib16::CreateNamed("later.jpg", false);
    named->SetWidth(10);
    named->SetHeight(12);
    EXPECT_EQ(named->Width, 10);
    EXPECT_FALSE(named->HasSurface()); // only the value is stored

    tDib16 dib(4, 4);
    dib.SetUseCoverMask(true);
    EXPECT_EQ(dib.CoverMask.size(), 16u);
    dib.SetWidth(6);
    EXPECT_TRUE(dib.HasSurface());
    EXPECT_EQ(dib.Bitmap().Width(), 6);
    EXPECT_EQ(dib.CoverMask.size(), 24u); // the cover mask follows the size
    dib.ScanLine(3)[5] = 7;
}

TEST_F(SurfaceTest, DrawingTargetStack)
{
    tDib16 a(1, 1), b(1, 1);
    CurrentDib = &a;
    for (int i = 0; i < DibStackDepth; ++i)
        PushDib();
    CurrentDib = &b;
    try {
        PushDib();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "dibStack overflow");
    }
    EXPECT_EQ(CurrentDib, &b);
    for (int i = 0; i < DibStackDepth; ++i)
        PopDib();
    EXPECT_EQ(CurrentDib, &a);
    try {
        PopDib();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "dibStack underflow");
    }
    EXPECT_EQ(CurrentDib, &a);

    // A scoped target is given back however its scope ends.
    try {
        tDibTarget target(&b);
        EXPECT_EQ(CurrentDib, &b);
        throw Exception("File Missing 'BaseGfx.jpg'.");
    } catch (const Exception&) {
    }
    EXPECT_EQ(CurrentDib, &a);
    EXPECT_EQ(DibStackDepthUsed(), 0);
}

TEST_F(SurfaceTest, DirectDrawSurfacesLockWithTheirPitch)
{
    SetDirectDrawPitchPadding(64);
    CreateDirectDraw();
    ASSERT_NE(DirectDrawObject, nullptr);
    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = 640;
    desc.dwHeight = 480;
    desc.ddpfPixelFormat = DefaultPixelFormat;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* surface = nullptr;
    ASSERT_EQ(DirectDrawObject->CreateSurface(&desc, &surface, nullptr), DD_OK);
    DDSURFACEDESC lock{};
    lock.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(surface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_GT(lock.lPitch, 2 * 640);
    EXPECT_EQ(surface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
    surface->MarkLost();
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(surface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(surface->Restore(), DD_OK);
    EXPECT_EQ(surface->IsLost(), DD_OK);
    HDC dc = nullptr;
    EXPECT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(surface->GetDC(&dc), DDERR_DCALREADYCREATED);
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
    lock.dwSize = 100;
    EXPECT_EQ(surface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
    surface->Release();
    ReleaseDirectDraw();
    EXPECT_EQ(DirectDrawObject, nullptr);
}

TEST_F(SurfaceTest, DirectDrawCreationFailures)
{
    SetDirectDrawCreateFailure(DDERR_GENERIC);
    try {
        CreateDirectDraw();
        FAIL();
    } catch (const EDirectDraw& e) {
        EXPECT_EQ(e.Message(), "Couldn't Create a DirectDraw Object");
    }
    EXPECT_EQ(DirectDrawObject, nullptr);
    // The hook fails one creation only.
    CreateDirectDraw();
    void* again = nullptr;
    EXPECT_EQ(DirectDrawObject->QueryInterface(IID_IDirectDraw2, &again), DD_OK);
    EXPECT_EQ(again, DirectDrawObject);
    static_cast<IDirectDraw*>(again)->Release();
    EXPECT_EQ(DirectDrawObject->QueryInterface(IID_IDirectDrawSurface3, &again), DDERR_NOINTERFACE);
    ReleaseDirectDraw();

    // Messages: place, carriage return, the error's name and text.
    EDirectDraw e("Couldn't blit pageflip", DDERR_SURFACELOST);
    EXPECT_EQ(e.Message().rfind("Couldn't blit pageflip\rDDERR_SURFACELOST: ", 0), 0u);
    EXPECT_EQ(DirectDrawErrorText(static_cast<HRESULT>(0x88769999u)), "Unknown DirectDraw error $88769999");
}
