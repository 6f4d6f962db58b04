// A 640 x 480 frame shown in a real (offscreen) window, through the DirectDraw stand-in's
// primary surface and through the bitmap path, read back from the window's pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "platform/Application.h"
#include "platform/DirectDraw.h"
#include "platform/Forms.h"
#include "platform/FramePresenter.h"
#include "tests/support/GuiApplication.h"
#include "tests/support/RunProgram.h"

namespace {

class PresentationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureGuiApplication();
    }
    void SetUp() override
    {
        Window = std::make_unique<QWidget>();
        Window->resize(640, 480);
        Window->show();
        QApplication::processEvents();
    }
    void TearDown() override { Window.reset(); }

    // A frame whose pixel (x, y) encodes its position: red from x, green from y, blue 5.
    static uint16_t FramePixel(const TBitFields& f, int x, int y)
    {
        return PackPixel16(f, static_cast<uint8_t>((x * 255) / 639), static_cast<uint8_t>((y * 255) / 479), 40);
    }
    static QRgb Expected(const TBitFields& f, int x, int y)
    {
        uint8_t r, g, b;
        UnpackPixel16(f, FramePixel(f, x, y), r, g, b);
        return qRgb(r, g, b);
    }
    QImage Grab()
    {
        QApplication::processEvents();
        return Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Checks corners and a spread of pixels of a window of the given size.
    void CheckWindow(const TBitFields& f, int w, int h)
    {
        QImage img = Grab();
        ASSERT_EQ(img.width(), w);
        ASSERT_EQ(img.height(), h);
        for (int y = 0; y < h; y += 37)
            for (int x = 0; x < w; x += 53)
                ASSERT_EQ(img.pixel(x, y) & 0xFFFFFF, Expected(f, x * 640 / w, y * 480 / h) & 0xFFFFFF)
                    << x << "," << y << " of " << w << " x " << h;
        EXPECT_EQ(img.pixel(w - 1, h - 1) & 0xFFFFFF, Expected(f, 639, 479) & 0xFFFFFF);
        EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, Expected(f, 0, 0) & 0xFFFFFF);
    }

    std::unique_ptr<QWidget> Window;
};

} // namespace

TEST_F(PresentationTest, DirectDrawPrimaryShowsTheBackBuffer)
{
    for (TBitFields fields : {BitFields565, BitFields555}) {
        SetDirectDrawScreenFormat(fields);
        IDirectDraw* dd = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        EXPECT_EQ(dd->SetCooperativeLevel(Window.get(), DDSCL_NORMAL), DD_OK);
        DDSURFACEDESC desc{};
        desc.dwSize = DDSURFACEDESC_SIZE;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface* primary = nullptr;
        ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
        IDirectDrawClipper* clipper = nullptr;
        ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
        EXPECT_EQ(clipper->SetHWnd(0, Window.get()), DD_OK);
        EXPECT_EQ(primary->SetClipper(clipper), DD_OK);
        DDSURFACEDESC screen{};
        screen.dwSize = DDSURFACEDESC_SIZE;
        EXPECT_EQ(primary->GetSurfaceDesc(&screen), DD_OK);
        EXPECT_EQ(screen.ddpfPixelFormat.dwRBitMask, fields.Red);
        EXPECT_EQ(screen.ddpfPixelFormat.dwGBitMask, fields.Green);
        EXPECT_EQ(screen.ddpfPixelFormat.dwFlags, DDPF_RGB);
        EXPECT_EQ(screen.ddpfPixelFormat.dwRGBBitCount, 16u);

        DDSURFACEDESC back{};
        back.dwSize = DDSURFACEDESC_SIZE;
        back.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
        back.dwWidth = 640;
        back.dwHeight = 480;
        back.ddpfPixelFormat = screen.ddpfPixelFormat;
        back.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface* buffer = nullptr;
        ASSERT_EQ(dd->CreateSurface(&back, &buffer, nullptr), DD_OK);
        DDSURFACEDESC lock{};
        lock.dwSize = DDSURFACEDESC_SIZE;
        ASSERT_EQ(buffer->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
        for (int y = 0; y < 480; ++y) {
            auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(lock.lpSurface) + y * lock.lPitch);
            for (int x = 0; x < 640; ++x)
                row[x] = FramePixel(fields, x, y);
        }
        buffer->Unlock(nullptr);

        for (auto [w, h] : {std::pair{640, 480}, std::pair{1280, 960}, std::pair{800, 500}}) {
            SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
            Window->resize(w, h);
            QApplication::processEvents();
            const QPoint origin = Window->mapToGlobal(QPoint(0, 0));
            const TRect dest{origin.x(), origin.y(), origin.x() + w, origin.y() + h};
            const TRect src{0, 0, 640, 480};
            ASSERT_EQ(primary->Blt(&dest, buffer, &src, DDBLT_WAIT, nullptr), DD_OK);
            CheckWindow(fields, w, h);
        }
        // A lost surface refuses the blit until restored.
        primary->MarkLost();
        EXPECT_EQ(primary->Blt(nullptr, buffer, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
        primary->Restore();
        EXPECT_EQ(primary->Blt(nullptr, buffer, nullptr, DDBLT_WAIT, nullptr), DD_OK);

        buffer->Release();
        clipper->Release();
        primary->Release();
        dd->Release();
    }
    SetDirectDrawScreenFormat(BitFields565);
}

TEST_F(PresentationTest, BitmapPathDrawsUnscaledOrStretched)
{
    for (TBitFields fields : {BitFields565, BitFields555}) {
        TBitmap frame;
        frame.SetPixelFormat(pf16bit);
        frame.SetBitFields(fields);
        frame.SetSize(640, 480);
        for (int y = 0; y < 480; ++y) {
            auto* row = reinterpret_cast<uint16_t*>(frame.ScanLine(y));
            for (int x = 0; x < 640; ++x)
                row[x] = FramePixel(fields, x, y);
        }
        for (auto [w, h] : {std::pair{640, 480}, std::pair{1280, 960}, std::pair{321, 999}}) {
            SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
            Window->resize(w, h);
            QApplication::processEvents();
            PresentFrame(Window.get(), frame.ScanLine(0), 640, 480, frame.RowBytes(), fields);
            CheckWindow(fields, w, h);
        }
    }
    // A window that grew shows black beside the last frame until the next one.
    Window->resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(Grab().pixel(680, 490) & 0xFFFFFF, 0u);
    // Before any frame, and after forgetting it, the window is black.
    ForgetPresentedFrame(Window.get());
    EXPECT_EQ(Grab().pixel(5, 5) & 0xFFFFFF, 0u);
}

// Setting the display mode makes the window of the cooperative level cover the screen,
// with the exclusive level and with the normal one; restoring the mode gives the window
// its frame and place back.
TEST_F(PresentationTest, ADisplayModeCoversTheScreenInsteadOfChangingIt)
{
    for (DWORD level : {DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, DDSCL_NORMAL}) {
        SCOPED_TRACE(level);
        Window->setGeometry(30, 40, 640, 480);
        QApplication::processEvents();
        const QRect before = Window->geometry();
        IDirectDraw* dd = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_NOHWND);
        ASSERT_EQ(dd->SetCooperativeLevel(Window.get(), level), DD_OK);
        EXPECT_EQ(dd->CooperativeLevel(), level);
        EXPECT_EQ(dd->SetDisplayMode(640, 480, 8, 0, 0), DDERR_UNSUPPORTED);
        EXPECT_FALSE(dd->DisplayModeSet());
        ASSERT_EQ(dd->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
        EXPECT_TRUE(dd->DisplayModeSet());
        QApplication::processEvents();
        EXPECT_TRUE(Window->isFullScreen());
        EXPECT_EQ(Window->geometry(), Window->screen()->geometry());
        EXPECT_EQ(dd->RestoreDisplayMode(), DD_OK);
        QApplication::processEvents();
        EXPECT_FALSE(Window->isFullScreen());
        EXPECT_EQ(Window->geometry(), before);
        EXPECT_EQ(dd->FlipToGDISurface(), DD_OK);
        dd->Release();
    }
}

TEST_F(PresentationTest, TextDrawnThroughASurfaceDeviceContextLandsInItsPixels)
{
    for (TBitFields fields : {BitFields565, BitFields555}) {
        SetDirectDrawScreenFormat(fields);
        IDirectDraw* dd = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        DDSURFACEDESC back{};
        back.dwSize = DDSURFACEDESC_SIZE;
        back.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        back.dwWidth = 64;
        back.dwHeight = 32;
        back.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        IDirectDrawSurface* buffer = nullptr;
        ASSERT_EQ(dd->CreateSurface(&back, &buffer, nullptr), DD_OK);
        HDC dc = nullptr;
        ASSERT_EQ(buffer->GetDC(&dc), DD_OK);
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.Brush.Style = bsClear;
        canvas.Font.Color = clWhite;
        canvas.Font.Height = 20;
        canvas.TextOut(2, 2, "Keys");
        EXPECT_EQ(buffer->ReleaseDC(dc), DD_OK);
        DDSURFACEDESC lock{};
        lock.dwSize = DDSURFACEDESC_SIZE;
        ASSERT_EQ(buffer->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
        int white = 0, other = 0;
        const uint16_t whitePixel = PackPixel16(fields, 255, 255, 255);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x) {
                const uint16_t p = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(lock.lpSurface) + y * lock.lPitch)[x];
                white += p == whitePixel;
                other += p != whitePixel && p != 0;
            }
        buffer->Unlock(nullptr);
        EXPECT_GT(white, 20);
        EXPECT_EQ(other, 0); // no antialiasing: text pixels are two-coloured
        buffer->Release();
        dd->Release();
    }
    SetDirectDrawScreenFormat(BitFields565);
}

namespace {

// A black frame with single-pixel dots, each of its own colour.
std::vector<uint16_t> DotFrame()
{
    std::vector<uint16_t> frame(640 * 480, 0);
    for (int y = 2; y < 480; y += 5)
        for (int x = 1; x < 640; x += 7)
            frame[static_cast<size_t>(y) * 640 + x] =
                PackPixel16(BitFields565, static_cast<uint8_t>(8 + x % 240), static_cast<uint8_t>(8 + y % 240), 200);
    return frame;
}

QRgb FrameColour(uint16_t p)
{
    uint8_t r, g, b;
    UnpackPixel16(BitFields565, p, r, g, b);
    return qRgb(r, g, b);
}

// Presents the dot frame at the window's size and checks, in device pixels, that every
// frame pixel became an exact n x n block.
void CheckWholeScale(QWidget* window, int logicalWidth, int logicalHeight)
{
    window->resize(logicalWidth, logicalHeight);
    QApplication::processEvents();
    const std::vector<uint16_t> frame = DotFrame();
    PresentFrame(window, reinterpret_cast<const uint8_t*>(frame.data()), 640, 480, 1280, BitFields565);
    QApplication::processEvents();
    const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.width() % 640, 0) << shown.width();
    const int n = shown.width() / 640;
    ASSERT_EQ(shown.height(), 480 * n);
    int mismatches = 0;
    for (int y = 0; y < shown.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            mismatches += (row[x] & 0xFFFFFF) != (FrameColour(frame[static_cast<size_t>(y / n) * 640 + x / n]) & 0xFFFFFF);
    }
    EXPECT_EQ(mismatches, 0) << "at " << n << " device pixels a frame pixel";
}

} // namespace

TEST_F(PresentationTest, FramesAreCrispAtEveryWindowSize)
{
    CheckWholeScale(Window.get(), 640, 480);
    CheckWholeScale(Window.get(), 1280, 960);
    // Any other size is stretched over the whole client area without new colours.
    Window->resize(1000, 700);
    QApplication::processEvents();
    const std::vector<uint16_t> frame = DotFrame();
    PresentFrame(Window.get(), reinterpret_cast<const uint8_t*>(frame.data()), 640, 480, 1280, BitFields565);
    QApplication::processEvents();
    std::set<QRgb> colours;
    for (uint16_t p : frame)
        colours.insert(FrameColour(p) & 0xFFFFFF);
    const QImage shown = Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(1000, 700));
    int foreign = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            foreign += colours.count(shown.pixel(x, y) & 0xFFFFFF) == 0;
    EXPECT_EQ(foreign, 0);
    EXPECT_EQ(shown.pixel(999, 699) & 0xFFFFFF, FrameColour(frame[479 * 640 + 639]) & 0xFFFFFF);
}

// Run in a child at a scale factor of 2 (below); alone it checks nothing.
TEST_F(PresentationTest, ChildAtScaleTwoShowsFramePixelsAsTwoByTwoBlocks)
{
    if (!std::getenv("TP_EXPECT_SCALE_TWO"))
        GTEST_SKIP() << "runs as a child of FramesAreCrispOnAScreenAtTwoHundredPercent";
    ASSERT_EQ(Window->devicePixelRatioF(), 2.0);
    CheckWholeScale(Window.get(), 640, 480);
    EXPECT_EQ(GrabWindowPixel(Window.get(), 639, 479), RGB(0, 0, 0));
    std::fprintf(stderr, "[checked in child]\n");
}

TEST_F(PresentationTest, FramesAreCrispOnAScreenAtTwoHundredPercent)
{
    const ProgramRun run = RunTestInChild("PresentationTest.ChildAtScaleTwoShowsFramePixelsAsTwoByTwoBlocks",
                                          {"QT_SCALE_FACTOR=2", "TP_EXPECT_SCALE_TWO=1"});
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_NE(run.Stderr.find("[checked in child]"), std::string::npos) << run.Stderr;
}

// What a form draws on its own surface shows over the frame it keeps, where asked.
TEST_F(PresentationTest, TextOnTheFormsSurfaceShowsOverTheKeptFrame)
{
    TForm* form = nullptr;
    Application->CreateForm(form);
    form->SetClientWidth(640);
    form->SetClientHeight(480);
    form->Show();
    QApplication::processEvents();
    std::vector<uint16_t> red(640 * 480, PackPixel16(BitFields565, 255, 0, 0));
    PresentFrame(PresentWindowOf(form), reinterpret_cast<const uint8_t*>(red.data()), 640, 480, 1280,
                 BitFields565);
    QApplication::processEvents();
    EXPECT_EQ(GrabWindowPixel(PresentWindowOf(form), 320, 240), RGB(248, 0, 0));
    TCanvas& canvas = form->Canvas();
    canvas.Brush.Color = clBlack;
    canvas.Brush.Style = bsSolid;
    canvas.Font.Color = clWhite;
    canvas.Font.Height = 20;
    const TRect band{0, 230, 640, 250};
    canvas.FillRect(band);
    canvas.TextOut(300, 230, "Loading");
    // Until shown over the frame, the frame covers it.
    EXPECT_EQ(GrabWindowPixel(PresentWindowOf(form), 2, 240), RGB(248, 0, 0));
    ShowSurfaceOverFrame(form, band);
    QApplication::processEvents();
    int white = 0;
    for (int y = band.Top; y < band.Bottom; ++y)
        for (int x = 290; x < 380; ++x)
            white += GrabWindowPixel(PresentWindowOf(form), x, y) == clWhite;
    EXPECT_GT(white, 20);
    EXPECT_EQ(GrabWindowPixel(PresentWindowOf(form), 2, 240), clBlack);
    EXPECT_EQ(GrabWindowPixel(PresentWindowOf(form), 320, 100), RGB(248, 0, 0));
    form->Free();
}
