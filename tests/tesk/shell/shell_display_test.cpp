// The four display types, the rebuilds between them (Alt+Enter, reloaded data, a changed
// desktop) and their guards.
#include <gtest/gtest.h>

#include "platform/FramePresenter.h"
#include "platform/Keys.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

struct TypeCase {
    const char* Name;
    const char* Config;
    std::vector<std::string> Switches;
    int Depth;
    uint8_t Type;
    TBorderStyle Border;
    bool Covers;
    bool Primary;
    DWORD Level;
    bool ModeSet;
};
void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.Name; }

class DisplayTypes : public ShellTest, public ::testing::WithParamInterface<TypeCase> {};

bool CoversTheScreen()
{
    return Form1->Left() == 0 && Form1->Top() == 0 && Form1->ClientWidth() == Screen->Width() &&
           Form1->ClientHeight() == Screen->Height();
}

// Fills the frame buffer with one colour, presents it and reads the window back.
TColor PresentedPixel(uint8_t r, uint8_t g, uint8_t b, int x, int y)
{
    Form1->FrameBuffer->Fill(RGBToPixel(r, g, b));
    Form1->FrameBuffer->Unlock();
    Form1->PresentFrame();
    Application->ProcessMessages();
    return GrabWindowPixel(PresentWindowOf(Form1), x, y);
}

} // namespace

TEST_P(DisplayTypes, SetUpAsTheTypeSays)
{
    const TypeCase& c = GetParam();
    WriteConfig(c.Config);
    TestHooks::SetDesktopDepth(c.Depth);
    Start(c.Switches);
    ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(Form1->ActiveDisplayType, c.Type);
    EXPECT_EQ(Form1->BorderStyle(), c.Border);
    EXPECT_EQ(CoversTheScreen(), c.Covers);
    if (!c.Covers) {
        EXPECT_EQ(Form1->ClientWidth(), 640);
        EXPECT_EQ(Form1->ClientHeight(), 480);
    }
    ASSERT_NE(Form1->FrameBuffer, nullptr);
    EXPECT_EQ(Form1->FrameBuffer->IsPrimary, c.Primary);
    EXPECT_TRUE(Form1->FrameBuffer->RecordDirtyRects);
    EXPECT_TRUE(Form1->FrameBuffer->UseCoverMask);
    EXPECT_EQ(CurrentDib, Form1->FrameBuffer.get());
    ASSERT_NE(DirectDrawObject, nullptr);
    EXPECT_EQ(DirectDrawObject->CooperativeLevel(), c.Level);
    EXPECT_EQ(DirectDrawObject->DisplayModeSet(), c.ModeSet);
    EXPECT_EQ(DesktopDepth, c.Depth);
    EXPECT_EQ(Form1->Desktop16, c.Depth == 16);
    const int w = Form1->ClientWidth(), h = Form1->ClientHeight();
    EXPECT_EQ(PresentedPixel(255, 0, 0, w / 2, h / 2), RGB(248, 0, 0));
    EXPECT_EQ(PresentedPixel(0, 0, 255, w - 1, h - 1), RGB(0, 0, 248));
}

INSTANTIATE_TEST_SUITE_P(
    Types, DisplayTypes,
    ::testing::Values(
        TypeCase{"WindowedDirectDraw", "FullScreen=False\r\n", {}, 16, dtWindowedDirectDraw, bsSizeable, false, true,
                 DDSCL_NORMAL, false},
        TypeCase{"WindowedBitmap", "FullScreen=False\r\nBitBlt=True\r\n", {}, 32, dtWindowedBitmap, bsSizeable, false,
                 false, DDSCL_NORMAL, false},
        // The display question ("Run Windowed") on a desktop that is not 16 bits deep.
        TypeCase{"WindowedDirectDrawAsked", "FullScreen=False\r\n", {}, 24, dtWindowedBitmap, bsSizeable, false, false,
                 DDSCL_NORMAL, false},
        TypeCase{"FullScreenDirectDraw", "", {}, 32, dtFullScreenDirectDraw, bsNone, true, true,
                 DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, true},
        TypeCase{"FullScreenDirectDrawNotExclusive", "", {"-DontForceExclusiveMode"}, 16, dtFullScreenDirectDraw,
                 bsNone, true, true, DDSCL_NORMAL, true},
        TypeCase{"FullScreenDirectDrawExclusiveOn16Bits", "", {}, 16, dtFullScreenDirectDraw, bsNone, true, true,
                 DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, true},
        TypeCase{"FullScreenBitmap", "FullScreen=False\r\n", {"/FullScreen", "-bitblt"}, 32, dtFullScreenBitmap,
                 bsNone, true, false, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, true}),
    [](const auto& info) { return std::string(info.param.Name); });

using Display = ShellTest;

TEST_F(Display, AWindowedStartOnAScreenOf640CoversItWithoutABorder)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    TestHooks::SetScreenSize(TSize{640, 480});
    Start();
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    EXPECT_EQ(Form1->BorderStyle(), bsNone);
    EXPECT_EQ(Form1->Left(), 0);
    EXPECT_EQ(Form1->Top(), 0);
    EXPECT_EQ(Form1->ClientWidth(), 640);
    EXPECT_EQ(Form1->ClientHeight(), 480);
}

TEST_F(Display, AWindowedWindowCanBeResizedAndTheFrameFollows)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    Form1->SetClientWidth(1280);
    Form1->SetClientHeight(960);
    Application->ProcessMessages();
    EXPECT_EQ(PresentedPixel(0, 255, 0, 1279, 959), RGB(0, 252, 0));
}

namespace {

// The rebuilds begun since the log was cleared (with ShowDebugMessages every set-up step
// shows a box).
int SetUpsBegun()
{
    int n = 0;
    for (const std::string& t : BoxTexts())
        n += t == "SetUpEverything begins";
    return n;
}

} // namespace

TEST_F(Display, AltEnterTogglesFullScreenOnlyDuringPlay)
{
    Start();
    ASSERT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    Engine->GameMode = gmMainMenu;
    TestHooks::KeyStroke(Form1, VK_RETURN, TShiftState{ssAlt});
    // (The running timer may have queued its tick meanwhile: only a rebuild counts.)
    EXPECT_FALSE(RemovePostedMessage(Form1->Handle(), WM_SETDISPLAYTYPE));
    EXPECT_TRUE(FullScreen);

    Engine->GameMode = gmPlaying;
    TestHooks::KeyDown(Form1, VK_RETURN, TShiftState{ssAlt});
    // The key also reaches the input device, where it latches "confirm".
    EXPECT_TRUE(Engine->LiveInput.IsLatched(7));
    EXPECT_FALSE(FullScreen);
    TestHooks::RunPostedMessages();
    // Windowed DirectDraw on a desktop of more than 16 bits asks; the answer is the bitmap.
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    EXPECT_EQ(Form1->BorderStyle(), bsSizeable);
    EXPECT_EQ(Form1->ClientWidth(), 640);
    EXPECT_FALSE(DirectDrawObject->DisplayModeSet());
    EXPECT_FALSE(Engine->LiveInput.IsLatched(7)) << "the keys are reset after a rebuild";

    Engine->GameMode = gmPlaying;
    TestHooks::KeyStroke(Form1, VK_RETURN, TShiftState{ssAlt});
    TestHooks::RunPostedMessages();
    EXPECT_TRUE(FullScreen);
    EXPECT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    EXPECT_TRUE(DirectDrawObject->DisplayModeSet());
    EXPECT_TRUE(CoversTheScreen());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

TEST_F(Display, ASecondRebuildArrivingWhileOneRunsIsDropped)
{
    Start();
    ShowDebugMessages = true;
    TestHooks::ClearMessageBoxLog();
    PostMessage(Form1->Handle(), WM_SETDISPLAYTYPE, dtWindowedBitmap, 0);
    PostMessage(Form1->Handle(), WM_SETDISPLAYTYPE, dtFullScreenBitmap, 0);
    PostMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
    TestHooks::RunPostedMessages();
    EXPECT_EQ(SetUpsBegun(), 1);
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    // A display type that does not exist is no request.
    TestHooks::ClearMessageBoxLog();
    PostMessage(Form1->Handle(), WM_SETDISPLAYTYPE, 7, 0);
    TestHooks::RunPostedMessages();
    EXPECT_EQ(SetUpsBegun(), 0);
}

TEST_F(Display, ADesktopChangeRebuildsTheWindowedTypesOnly)
{
    WriteConfig("FullScreen=False\r\n");
    TestHooks::SetDesktopDepth(24);
    Start();
    ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    ShowDebugMessages = true;
    TestHooks::ClearMessageBoxLog();
    TestHooks::TriggerDisplayChange(16, TSize{1024, 768});
    TestHooks::RunPostedMessages();
    EXPECT_EQ(SetUpsBegun(), 1);
    EXPECT_TRUE(Form1->Desktop16);
    EXPECT_EQ(DesktopDepth, 16);
    // On a 16-bit desktop windowed DirectDraw needs no question.
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedDirectDraw);

    // Full screen: the display change is not the game's business.
    ShowDebugMessages = false;
    Engine->GameMode = gmPlaying;
    TestHooks::KeyStroke(Form1, VK_RETURN, TShiftState{ssAlt});
    TestHooks::RunPostedMessages();
    ASSERT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    ShowDebugMessages = true;
    TestHooks::ClearMessageBoxLog();
    TestHooks::TriggerDisplayChange(32, TSize{1024, 768});
    TestHooks::RunPostedMessages();
    EXPECT_EQ(SetUpsBegun(), 0);
    EXPECT_TRUE(Form1->Desktop16);
}

// A rebuild that fails ends the program as a failed start does, without writing the
// settings.
TEST_F(Display, AFailedRebuildShowsTheStepAndEndsTheProgram)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    SetDirectDrawCreateFailure(DDERR_GENERIC);
    PostMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
    TestHooks::RunPostedMessages();
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0].rfind("Couldn't Create a DirectDraw Object", 0), 0u);
    EXPECT_NE(BoxTexts()[0].find("\rLast operation performed: DebugMessage('Attempting to init DirectDraw')"),
              std::string::npos);
    EXPECT_TRUE(StartupFailed);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Form1->SettingUp);
    EXPECT_FALSE(Form1->ShuttingDown);
    FreeForms();
    EXPECT_EQ(ReadConfig(), "FullScreen=False\r\nBitBlt=True\r\n");
}
