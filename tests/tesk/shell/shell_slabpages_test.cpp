// The slab pages and the information pop-up in the whole program: video settings applied
// over and over while a game runs, and rebuild and close requests that arrive while a
// sign's pop-up is up inside the tick.
#include <filesystem>

#include "platform/Keys.h"
#include "tesk/game/PopUpForm.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/SlabRules.h"
#include "tests/support/JpegFiles.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

// A sign that shows its pop-up, from inside its turn, the first time a turn passes.
class tPopUpSignProbe : public tUnit {
    TP_CLASS(tPopUpSignProbe)
public:
    void TakeTurn() override
    {
        if (Shown || !PopUp)
            return;
        Shown = true;
        PopUp->ShowPopUp("Sign.jpg", TPoint{300, 300}, "A SIGN");
    }
    static inline bool Shown = false;
};
TP_CLASS_INFO(tPopUpSignProbe, tUnit)

class SlabShell : public ShellTest {
protected:
    void Key(WORD key)
    {
        TestHooks::KeyDown(Form1, key);
        TestHooks::KeyUp(Form1, key);
    }
    bool TickUntil(uint8_t mode, int limit = 400)
    {
        for (int i = 0; i < limit && Form1 && Engine; ++i) {
            if (Engine->GameMode == mode)
                return true;
            Tick();
        }
        return Engine && Engine->GameMode == mode;
    }
};

} // namespace

TEST_F(SlabShell, VideoSettingsAppliedTwelveTimesOverARunningGameLeaveTheMenuWorking)
{
    Start();
    Engine->GoToSetEntry(0);
    ASSERT_TRUE(TickUntil(gmPlaying));
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        Key(VK_ESCAPE);
        Tick();
        ASSERT_EQ(Engine->GameMode, gmMainMenu);
        ASSERT_EQ(Engine->ModeStackDepth, 1);
        slab::EnterVideoPage(*Engine);
        PendingBrightness = i % 2 ? 1.1f : 1.6f;
        VideoSelection = 5;
        Key(VK_RETURN);
        Tick();  // applies; the rebuild follows the tick and starts the entry again
        EXPECT_FLOAT_EQ(DisplayBrightness, PendingBrightness);
        EXPECT_EQ(Engine->ModeStackDepth, 0);
        EXPECT_EQ(Engine->OverlaySnapshotDib, nullptr);
        EXPECT_TRUE(Engine->GameRunning);
    }
    ASSERT_TRUE(TickUntil(gmPlaying));
    Key(VK_ESCAPE);
    Tick();
    EXPECT_EQ(Engine->GameMode, gmMainMenu);
    EXPECT_EQ(Engine->ModeStackDepth, 1);
}

TEST_F(SlabShell, RequestsDuringASignsPopUpWaitUntilItHasClosed)
{
    Dir.Write("Sign.jpg", MakeJpegFile(200, 150, [](int x, int) { return TColor(x < 100 ? 0x2060A0 : 0xA06020); }));
    // "First Steps" with the sign added.
    const std::string first = FirstStepsLevel();
    ASSERT_FALSE(first.empty());
    Dir.Write("Levels/Sign.map", first + "\r\nBegin PopUpSign\r\n   InitialX = 5\r\n   InitialY = 9\r\nEnd PopUpSign\r\n");
    Dir.Write("Sign.set", "Level Levels\\Sign.map\r\n");
    WriteConfig("FullScreen=False\r\nBitBlt=False\r\n");
    Start();
    ASSERT_NE(PopUp, nullptr);
    const uint8_t typeBefore = Form1->ActiveDisplayType;
    RegisterUnitKind("PopUpSign", tPopUpSignProbe::StaticClass(), nullptr);
    tPopUpSignProbe::Shown = false;
    Engine->LoadLevelSet("Sign.set");
    Engine->GoToSetEntry(0);
    PopUp->MMTimer1->SetInterval(0);  // the test delivers the pop-up's ticks

    tDib16* frameDuring = nullptr;
    int renders = 0;
    TestHooks::SetModalStarted([&](TForm* form) {
        if (form == QueryDisplayForm)
            form->SetModalResult(mrRunWindowed);
        if (form != PopUp)
            return;
        frameDuring = Form1->FrameBuffer.get();
        PostMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
        PostMessage(Form1->Handle(), WM_SETDISPLAYTYPE, typeBefore, 0);
        Form1->Close();
        for (int call = 0; call < 50; ++call) {
            TestHooks::RunPostedMessages();
            PopUp->MMTimer1Timer(PopUp->MMTimer1, 1);
            ++renders;
        }
        EXPECT_TRUE(PopUp->PoppedUp());
        // Nothing ran yet: the same frame buffer and display, the window still open.
        EXPECT_EQ(Form1->FrameBuffer.get(), frameDuring);
        EXPECT_EQ(Form1->ActiveDisplayType, typeBefore);
        EXPECT_FALSE(Form1->Closing);
        TestHooks::KeyDown(PopUp, VK_SPACE);
    });
    ASSERT_TRUE(TickUntil(gmPlaying));
    for (int i = 0; i < 40 && !tPopUpSignProbe::Shown; ++i)
        Tick();
    TestHooks::SetModalStarted(nullptr);
    ASSERT_TRUE(tPopUpSignProbe::Shown);
    EXPECT_EQ(renders, 50);
    EXPECT_FALSE(PopUp && PopUp->PoppedUp());
    // After the pop-up and the tick: a rebuild ran (a new frame buffer), then the close.
    ASSERT_NE(Form1, nullptr);
    EXPECT_TRUE(Form1->Closing);
    EXPECT_NE(Form1->FrameBuffer.get(), frameDuring);
}

TEST_F(SlabShell, AGlowSheetFailingInAPageIsToldByTheTickAndTheNextFrameDrawsAsBefore)
{
    Start();
    Engine->GoToSetEntry(0);
    ASSERT_TRUE(TickUntil(gmPlaying));
    Key(VK_ESCAPE);
    Tick();
    ASSERT_EQ(Engine->GameMode, gmMainMenu);
    slab::GoTo(*Engine, gmOptions);
    OptionsSelection = 1;
    for (int i = 0; i < 40; ++i)
        Tick();  // the highlights settle
    tDib16* frame = CurrentDib;
    ASSERT_NE(frame, nullptr);
    const TRect clip = frame->ClipRect;
    auto framePixels = [&] {
        std::vector<uint16_t> pixels;
        for (int y = 0; y < frame->Height; ++y)
            pixels.insert(pixels.end(), frame->ScanLine(y), frame->ScanLine(y) + frame->Width);
        return pixels;
    };
    Engine->FullRedraw = true;
    Tick();
    const std::vector<uint16_t> before = framePixels();

    // The sheet is released and its file made unreadable: its next use loads it and fails.
    tDib16* glow = FindDib("MenuFontGlow.Jpg");
    ASSERT_NE(glow, nullptr);
    glow->Unload();
    Dir.Write("MenuFontGlow.Jpg", "not a picture");
    const int depth = DibStackDepthUsed();
    testing::internal::CaptureStderr();
    Engine->FullRedraw = true;
    Tick();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("The game's tick failed"), std::string::npos) << told;
    EXPECT_EQ(Engine->GameMode, gmOptions);
    EXPECT_EQ(CurrentDib, frame);
    EXPECT_EQ(DibStackDepthUsed(), depth);
    EXPECT_EQ(frame->ClipRect, clip);

    std::filesystem::remove(std::filesystem::path(Dir.Path()) / "MenuFontGlow.Jpg");
    Engine->FullRedraw = true;
    Tick();
    EXPECT_EQ(CurrentDib, frame);
    EXPECT_TRUE(glow->Loaded);
    EXPECT_EQ(framePixels(), before);
}
