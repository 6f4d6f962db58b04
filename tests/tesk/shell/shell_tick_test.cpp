// The main tick: what it does in each state, the sound fades, the cell under the
// pointer, the text of set-up over the last frame, problem reports, and the requests
// (rebuilds and closing) that wait while code they would pull the ground from under is
// on the stack.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/FramePresenter.h"
#include "platform/Keys.h"
#include "tesk/game/GameSound.h"
#include "tests/tesk/shell/ShellHarness.h"

using MainTick = ShellTest;

namespace {


int ModuleVolume()
{
    FmodModuleState state;
    if (!CurrentGameModule || !FmodTest::Module(CurrentGameModule->Module(), state))
        return -1;
    return state.masterVolume;
}

} // namespace

// In the background effects fade by 6 a tick and music by one step every 8 ticks; back
// in front effects rise by 15 a tick and music jumps back to its setting. Another window
// of the program in front (the editor) fades the music only.
TEST_F(MainTick, SoundFadesWhileTheGameIsNotInFront)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    tGameModule music;
    music.Load("Zodezodi.s3m");
    music.Play();
    ASSERT_EQ(CurrentGameModule, &music);
    Tick();
    EXPECT_EQ(FmodTest::SFXMasterVolume(), 255);
    EXPECT_EQ(ModuleVolume(), MusicMasterVolume(5));

    for (bool editorInFront : {false, true}) {
        SCOPED_TRACE(editorInFront ? "editor in front" : "another program in front");
        if (editorInFront)
            TestHooks::SetActiveForm(Editor);
        else
            TestHooks::SetApplicationActive(false);
        int sfx = 255, step = 5;
        for (int k = 0; k < 50; ++k) {
            Tick();
            if (!editorInFront)
                sfx = std::max(0, sfx - 6);
            if (k % 8 == 6 && step > 0)
                --step;
            ASSERT_EQ(FmodTest::SFXMasterVolume(), sfx) << "tick " << k;
            ASSERT_EQ(ModuleVolume(), MusicMasterVolume(step)) << "tick " << k;
        }
        if (!editorInFront) {
            EXPECT_TRUE(Form1->WasInactive);
        }
        TestHooks::SetApplicationActive(true);
        TestHooks::SetActiveForm(Form1);
        for (int k = 0; k < 20; ++k) {
            Tick();
            sfx = std::min(255, sfx + 15);
            ASSERT_EQ(FmodTest::SFXMasterVolume(), sfx) << "tick " << k;
            ASSERT_EQ(ModuleVolume(), MusicMasterVolume(5)) << "tick " << k;
        }
    }
    // With music off the module goes silent once.
    MusicOn = false;
    Tick();
    EXPECT_EQ(ModuleVolume(), 0);
    music.Stop();
}

TEST_F(MainTick, NothingStepsWhileAMessagePumpRunsAndDeliveriesAreCappedAtFour)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    Engine->GameMode = gmPlaying;
    Engine->FrameTicks = 0;
    PumpingMessages = true;
    Tick(3);
    EXPECT_EQ(Engine->FrameTicks, 0);
    PumpingMessages = false;
    Tick(7);
    EXPECT_EQ(Engine->FrameTicks, 4);
    Tick(2);
    EXPECT_EQ(Engine->FrameTicks, 2);
}

TEST_F(MainTick, TheExitModeClosesTheWindowAndWritesTheSettings)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    Engine->GameMode = gmExitProgram;
    Tick();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(Engine, nullptr);
    EXPECT_NE(ReadConfig().find("BitBlt=True\r\n"), std::string::npos);
}

// While set-up runs, the step it is at shows in a band over the last frame.
TEST_F(MainTick, TheStepOfSetUpShowsOverTheLastFrame)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    Form1->FrameBuffer->Fill(RGBToPixel(255, 0, 0));
    Form1->PresentFrame();
    Application->ProcessMessages();
    const TPresentWindow window = PresentWindowOf(Form1);
    ASSERT_EQ(GrabWindowPixel(window, 320, 240), RGB(248, 0, 0));
    Form1->SettingUp = true;
    LastOperation = "DebugMessage('Loading Graphics data')";
    Tick();
    Application->ProcessMessages();
    int white = 0;
    for (int y = 225; y < 255; ++y)
        for (int x = 200; x < 440; ++x)
            white += GrabWindowPixel(window, x, y) == clWhite;
    EXPECT_GT(white, 50);
    EXPECT_EQ(GrabWindowPixel(window, 320, 100), RGB(248, 0, 0));
    Form1->SettingUp = false;
}

TEST_F(MainTick, AProblemReportedDuringPlayIsShownOnceAfterTheTick)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    ::testing::internal::CaptureStderr();
    ReportProblem("Could not write the progress file");
    ReportProblem("Could not write the progress file");
    ::testing::internal::GetCapturedStderr();
    Tick();
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Could not write the progress file"});
}

// A failure inside the tick's guard is swallowed; its text goes to standard error once.
// A good tick between two failures keeps the game going.
TEST_F(MainTick, AFailingFrameIsToldOnceAndTheGameGoesOn)
{
    WriteConfig("FullScreen=False\r\n");
    TestHooks::SetDesktopDepth(16);
    Start();
    ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedDirectDraw);
    Engine->GameMode = gmPlaying;
    ::testing::internal::CaptureStderr();
    for (int round = 0; round < 3; ++round) {
        // A bitmap type over a DirectDraw frame buffer cannot present.
        Form1->ActiveDisplayType = dtWindowedBitmap;
        Tick();
        Form1->ActiveDisplayType = dtWindowedDirectDraw;
        Tick();
    }
    const std::string told = ::testing::internal::GetCapturedStderr();
    const std::string line = "The game's tick failed: Reading a Bitmap from a tDib16 that has no current bitmap";
    ASSERT_NE(told.find(line), std::string::npos) << told;
    EXPECT_EQ(told.find(line), told.rfind(line));
    EXPECT_NE(told.find("last operation"), std::string::npos);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
    EXPECT_FALSE(Application->Terminated());
    EXPECT_FALSE(StartupFailed);
}

// The same failure in two ticks running would come on every tick: one box with the
// failure and the last step, then the window closes (the settings are written) and the
// program ends with status 1. The ticks that come meanwhile do nothing.
TEST_F(MainTick, AFrameFailingTwiceRunningEndsTheProgramAfterOneBox)
{
    WriteConfig("FullScreen=False\r\n");
    TestHooks::SetDesktopDepth(16);
    Start();
    Engine->GameMode = gmPlaying;
    MusicVolume = 7;
    Form1->ActiveDisplayType = dtWindowedBitmap;
    ::testing::internal::CaptureStderr();
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
    int ticksDuringTheBox = 0;
    TestHooks::SetMessageBoxAnswer([&](const TMessageBoxRequest&) -> TModalResult {
        const int32_t steps = Engine->TickCount;
        Form1->MMTimer1Timer(Form1->MMTimer1, 1);
        ticksDuringTheBox += Engine->TickCount != steps;
        return mrOk;
    });
    Tick();
    Tick();
    ::testing::internal::GetCapturedStderr();
    const std::vector<std::string> boxes = BoxTexts();
    ASSERT_EQ(boxes.size(), 1u) << ::testing::PrintToString(boxes);
    EXPECT_EQ(boxes[0].rfind("Reading a Bitmap from a tDib16 that has no current bitmap at $", 0), 0u) << boxes[0];
    EXPECT_NE(boxes[0].find("\rLast operation performed: "), std::string::npos) << boxes[0];
    EXPECT_EQ(ticksDuringTheBox, 0);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(StartupFailed);
    EXPECT_EQ(Engine, nullptr);
    EXPECT_NE(ReadConfig().find("MusicVolume=7\r\n"), std::string::npos) << ReadConfig();
}

// ---------------------------------------------------------------------------------------
// The cell under the pointer

namespace {

struct CellCase {
    int ClientWidth, ClientHeight;
    int X, Y;         // client position
    int Column, Row;  // expected cell
};

} // namespace

TEST_F(MainTick, ThePointerMapsToACellThroughTheStretchedFrame)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    const CellCase cases[] = {
        {640, 480, 128, 0, 0, 0},      {640, 480, 159, 31, 0, 0},   {640, 480, 160, 32, 1, 1},
        {640, 480, 97, 10, 0, 0},      {640, 480, 127, 10, 0, 0},   {640, 480, 96, 10, -1, -1},
        {640, 480, 639, 479, 15, 14},  {640, 480, 640, 10, -1, -1}, {640, 480, 300, 480, -1, -1},
        {640, 480, 300, -1, 5, 0},     {640, 480, -40, 100, -1, -1}, {640, 480, 300, -33, -1, -1},
        {1280, 960, 256, 0, 0, 0},     {1280, 960, 1279, 959, 15, 14}, {1280, 960, 194, 20, 0, 0},
        {1000, 700, 200, 100, 0, 2},   {1000, 700, 999, 699, 15, 14}, {1000, 700, 150, 100, -1, -1},
        {640, 0, 300, 0, -1, -1},      {0, 0, 0, 0, -1, -1},
    };
    for (const CellCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.ClientWidth) + "x" + std::to_string(c.ClientHeight) + " at " +
                     std::to_string(c.X) + "," + std::to_string(c.Y));
        Form1->SetClientWidth(c.ClientWidth);
        Form1->SetClientHeight(c.ClientHeight);
        TestHooks::SetCursorPos(Form1->ClientToScreen(TPoint{c.X, c.Y}));
        EXPECT_EQ(Form1->MouseCell(), (TPoint{c.Column, c.Row}));
    }
    // The tick stores it in the engine (a zero-sized client included: no division).
    Form1->SetClientWidth(640);
    Form1->SetClientHeight(480);
    Engine->GameMode = gmPlaying;
    TestHooks::SetCursorPos(Form1->ClientToScreen(TPoint{128 + 5 * 32 + 3, 7 * 32 + 1}));
    Tick();
    EXPECT_EQ(Engine->MouseCellX, 5);
    EXPECT_EQ(Engine->MouseCellY, 7);
    Form1->SetClientHeight(0);
    Tick();
    EXPECT_EQ(Engine->MouseCellX, -1);
    EXPECT_EQ(Engine->MouseCellY, -1);
}
