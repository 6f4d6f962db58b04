// Requests that arrive while code is running that they would pull the ground from under
// (an engine call, a loader's message pump, a modal loop, set-up itself) wait, and run
// once it has returned; the sound library's restart; closing from the messages.
#include <gtest/gtest.h>

#include "tesk/game/GameSound.h"
#include "tests/tesk/shell/ShellHarness.h"

using Requests = ShellTest;

namespace {


} // namespace

TEST_F(Requests, ARebuildWaitsForALoadersMessagePumpOrAnEngineCall)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    // Inside a loader's message pump.
    PumpingMessages = true;
    SendMessage(Form1->Handle(), WM_SETDISPLAYTYPE, dtFullScreenBitmap, 0);
    SendMessage(Form1->Handle(), WM_SETDISPLAYTYPE, dtFullScreenDirectDraw, 0);  // the latest wins
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    PumpingMessages = false;
    Tick();
    EXPECT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    // Inside an engine call.
    {
        const tEngineBusyScope busy;
        SendMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
        EXPECT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    }
    Tick();
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

// Inside a modal loop (a message box here; the information pop-up likewise) the desktop
// change waits as well, and runs at the next tick.
TEST_F(Requests, ADisplayChangeDuringAModalLoopWaitsForItsEnd)
{
    WriteConfig("FullScreen=False\r\n");
    TestHooks::SetDesktopDepth(24);
    Start();
    ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    TestHooks::SetMessageBoxAnswer([](const TMessageBoxRequest&) {
        TestHooks::TriggerDisplayChange(16, TSize{800, 600});
        TestHooks::RunPostedMessages();
        EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
        return mrOk;
    });
    ReportProblem("A problem to show");
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"A problem to show"});
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedDirectDraw);
}

TEST_F(Requests, AnEarlyOrBusyCloseIsCarriedOutAfterwards)
{
    // Asked for during set-up (at one of its steps): the program ends once set-up is done.
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    TestHooks::SetMessageBoxAnswer([](const TMessageBoxRequest& r) {
        if (r.Text == "Enabling timer")
            Form1->Close();
        return mrOk;
    });
    Start({"-ShowDebugmessages"});
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Form1->SettingUp);
    EXPECT_NE(ReadConfig().find("SoundOn=True\r\n"), std::string::npos);
}

// A program asked to close before the display question comes asks nothing.
TEST_F(Requests, ACloseBeforeTheDisplayQuestionSkipsIt)
{
    WriteConfig("FullScreen=False\r\n");
    TestHooks::SetDesktopDepth(24);
    bool asked = false;
    TestHooks::SetModalStarted([&](TForm* form) {
        asked = asked || form == QueryDisplayForm;
        form->SetModalResult(mrRunWindowed);
    });
    TestHooks::SetMessageBoxAnswer([](const TMessageBoxRequest& r) {
        if (r.Text == "Attempting to Initialize FMOD")
            Form1->Close();
        return mrOk;
    });
    Start({"-ShowDebugmessages"});
    EXPECT_FALSE(asked);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_NE(ReadConfig().find("FullScreen=False\r\n"), std::string::npos);
}

TEST_F(Requests, ACloseDuringALoadersMessagePumpWaitsForTheNextTick)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    PumpingMessages = true;
    CloseWindow();
    EXPECT_FALSE(Application->Terminated());
    EXPECT_NE(Engine, nullptr);
    PumpingMessages = false;
    Tick();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(Engine, nullptr);
    EXPECT_NE(ReadConfig().find("BitBlt=True\r\n"), std::string::npos);
}

TEST_F(Requests, RebuildsAskedForDuringSetUpAreDropped)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    TestHooks::SetMessageBoxAnswer([](const TMessageBoxRequest& r) {
        if (r.Text == "Loading Graphics data") {
            SendMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
            SendMessage(Form1->Handle(), WM_SETDISPLAYTYPE, dtFullScreenBitmap, 0);
            SendMessage(Form1->Handle(), WM_REINITAUDIO, 0, 0);
        }
        return mrOk;
    });
    Start({"-ShowDebugmessages"});
    int begun = 0;
    for (const std::string& t : BoxTexts())
        begun += t == "SetUpEverything begins" || t == "Attempting to Initialize FMOD";
    EXPECT_EQ(begun, 2);
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    TestHooks::ClearMessageBoxLog();
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

// A failing output: the error once, then the sound goes on the silent output (the setting
// stays) and the game goes on.
TEST_F(Requests, AFailedAudioRestartFallsBackToTheSilentOutput)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\nSoundDevice=1\r\n");
    Start();
    ASSERT_EQ(FmodTest::ChosenOutput(), 1);
    FmodTest::FailInit(true);
    TestHooks::SetMessageBoxAnswer([](const TMessageBoxRequest&) {
        FmodTest::FailInit(false);
        return mrOk;
    });
    SendMessage(Form1->Handle(), WM_REINITAUDIO, 0, 0);
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_FALSE(Form1->ReinitialisingAudio);
    EXPECT_EQ(FmodTest::ChosenOutput(), 0);
    EXPECT_TRUE(FmodTest::Initialised());
    EXPECT_EQ(SoundDevice, 1);
    Engine->GameMode = gmPlaying;
    Tick();
    EXPECT_EQ(Engine->FrameTicks, 1);
    // A restart that works goes back to the chosen output.
    SendMessage(Form1->Handle(), WM_REINITAUDIO, 0, 0);
    EXPECT_EQ(FmodTest::ChosenOutput(), 1);
    EXPECT_EQ(BoxTexts().size(), 1u);
}
