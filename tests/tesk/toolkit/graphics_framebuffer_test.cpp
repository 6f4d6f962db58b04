// The DirectDraw frame buffer of a main window: creation, locking, device contexts,
// presentation with PageFlip (read back from the window) and the display-type request.
#include "platform/FramePresenter.h"
#include "platform/TestHooks.h"
#include "tests/tesk/toolkit/GraphicsFixture.h"

namespace {

class FrameBufferTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        Form = new TForm();
        Form->SetClientWidth(640);
        Form->SetClientHeight(480);
        Form->Show();
        MainFormRef = Form;
        SetDirectDrawPitchPadding(64);
    }
    void TearDown() override
    {
        Frame.reset();
        ReleaseDirectDraw();
        MainFormRef = nullptr;
        Form->Free();
        SetDirectDrawScreenFormat(BitFields565);
        GraphicsTest::TearDown();
    }
    void Create(const TBitFields& screen)
    {
        SetDirectDrawScreenFormat(screen);
        CreateDirectDraw();
        Frame = tDib16::CreatePrimary(640, 480);
    }
    TForm* Form = nullptr;
    std::unique_ptr<tDib16> Frame;
};

} // namespace

TEST_F(FrameBufferTest, AdoptsTheScreenFormatAndReloadsImages)
{
    Dir.Write("key.jpg", [] {
        TBitmap b;
        b.SetSize(8, 8);
        b.Canvas().Brush.Color = clFuchsia;
        b.Canvas().FillRect(Rect(0, 0, 8, 8));
        return EncodeJpeg(b, {100});
    }());
    tDib16* key = FindOrLoadDib("key.jpg", true);
    EXPECT_EQ(key->ScanLine(0)[0], 0xF81F);
    Create(BitFields555);
    EXPECT_TRUE(Frame->IsPrimary);
    EXPECT_TRUE(Frame->UsesDirectDraw);
    EXPECT_FALSE(Is565);
    EXPECT_EQ(RGBToPixel(255, 0, 255), 0x7C1F);
    EXPECT_EQ(key->ScanLine(0)[0], 0x7C1F); // reloaded in the screen's format
    EXPECT_NE(Frame->DrawingSurface, nullptr);
    EXPECT_NE(Frame->ViewingSurface, nullptr);
    EXPECT_EQ(Frame->DrawingSurface->Caps(), DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    EXPECT_THROW(Frame->Bitmap(), Exception);
}

TEST_F(FrameBufferTest, RowsComeFromALockThatDrawingReleases)
{
    Create(BitFields565);
    const int32_t rebuilds = ScanLineRebuilds;
    IDirectDrawSurface* back = Frame->DrawingSurface;
    const int32_t locks = back->LockCount();
    uint16_t* row0 = Frame->ScanLine(0);
    uint16_t* row1 = Frame->ScanLine(1);
    EXPECT_GT(row1 - row0, 640); // the pitch is not assumed to be the width
    EXPECT_EQ(Frame->RowPixels(), row1 - row0);
    EXPECT_TRUE(back->Locked());
    Frame->ScanLine(479)[639] = 0x1234;
    EXPECT_EQ(ScanLineRebuilds, rebuilds + 1);
    Frame->EndDraw();
    EXPECT_FALSE(back->Locked());
    EXPECT_FALSE(Frame->ScanLinesValid);
    EXPECT_EQ(Frame->ScanLine(479)[639], 0x1234); // locks again
    EXPECT_EQ(ScanLineRebuilds, rebuilds + 2);
    EXPECT_EQ(back->LockCount(), locks + 2);
    // A lost surface is restored before it is locked or drawn on.
    Frame->Unlock();
    back->MarkLost();
    Frame->BeginDraw();
    EXPECT_EQ(back->IsLost(), DD_OK);
    back->MarkLost();
    Frame->ScanLine(0);
    Frame->EndDraw();
}

TEST_F(FrameBufferTest, DeviceContextIsCachedUntilReleased)
{
    Create(BitFields565);
    HDC first = Frame->GetDC();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Frame->GetDC(), first);
    EXPECT_EQ(Frame->CachedDC, first);
    Frame->ReleaseDC();
    EXPECT_EQ(Frame->CachedDC, nullptr);
    try {
        Frame->ReleaseDC();
        FAIL();
    } catch (const EDirectDraw& e) {
        EXPECT_EQ(e.Message().rfind("Surface.ReleaseDC failed\r", 0), 0u);
    }
    {
        tDibDC dc(*Frame);
        EXPECT_NE(dc.Handle(), nullptr);
    }
    EXPECT_EQ(Frame->CachedDC, nullptr);
}

TEST_F(FrameBufferTest, PageFlipShowsTheFrameInTheWindow)
{
    Create(BitFields565);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            Frame->ScanLine(y)[x] = x < 320 ? RGBToPixel(255, 0, 0) : RGBToPixel(0, 0, 255);
    Frame->ScanLine(479)[639] = 0xFFFF;
    TPresentWindow window = PresentWindowOf(Form);
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1280, 960}}) {
        Form->SetClientWidth(w);
        Form->SetClientHeight(h);
        // The screen was switched away and back meanwhile: restored without an error.
        Frame->ViewingSurface->MarkLost();
        Frame->PageFlip();
        EXPECT_FALSE(Frame->DrawingSurface->Locked());
        EXPECT_EQ(GrabWindowPixel(window, 0, 0), RGB(248, 0, 0));
        EXPECT_EQ(GrabWindowPixel(window, w / 2 + 1, h / 2), RGB(0, 0, 248));
        EXPECT_EQ(GrabWindowPixel(window, w - 1, h - 1), RGB(248, 252, 248));
    }
    // The bitmap path shows a memory frame the same way.
    tDib16 memory(640, 480);
    FillAll(memory, RGBToPixel(0, 255, 0));
    PresentBitmap(Form, memory.Bitmap());
    EXPECT_EQ(GrabWindowPixel(window, 100, 100), RGB(0, 252, 0));
}

TEST_F(FrameBufferTest, DisplayTypeRequestIsPostedToTheMainWindow)
{
    std::vector<WPARAM> seen;
    Form->SetMessageHandler(WM_SETDISPLAYTYPE, [&](TMessage& m) { seen.push_back(m.WParam); });
    RequestDisplayType(2);
    TestHooks::RunPostedMessages();
    EXPECT_EQ(seen, (std::vector<WPARAM>{2}));
}

TEST_F(FrameBufferTest, FailuresNameTheirPlace)
{
    MainFormRef = nullptr;
    CreateDirectDraw();
    EXPECT_THROW(tDib16::CreatePrimary(640, 480), Exception);
    ReleaseDirectDraw();
    MainFormRef = Form;
    EXPECT_THROW(tDib16::CreatePrimary(640, 480), Exception); // no DirectDraw
}
