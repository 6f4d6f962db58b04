// The main window on a desktop with a window manager (Xvfb and openbox, 1280 x 1024):
// where it sits, with its frame, after each switch between a window and full screen,
// read back from the window system.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/Keys.h"
#include "tests/support/PrivateXServer.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

constexpr int ScreenWidth = 1280;
constexpr int ScreenHeight = 1024;
constexpr const char* ChildVariable = "TP_DESKTOP_CHILD";

std::string Text(const TRect& r)
{
    return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ") - (" + std::to_string(r.Right) + ", " +
           std::to_string(r.Bottom) + ")";
}

// Runs one test of DesktopChild in a child process on a private desktop.
void RunOnDesktop(const std::string& test)
{
    PrivateXServer x(ScreenWidth, ScreenHeight);
    ASSERT_TRUE(x.Running()) << x.Error();
    // The X keyboard library hands strndup names that end at the length given, not at a
    // zero, which the sanitizer's strict string checks take for a read past their end.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions = std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":strict_string_checks=0";
    const ProgramRun run = RunTestInChild("DesktopChild." + test,
                                          {"DISPLAY=" + x.Display(), "QT_QPA_PLATFORM=xcb",
                                           std::string(ChildVariable) + "=1", asanOptions},
                                          180);
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_NE(run.Stderr.find("[checked on the desktop]"), std::string::npos) << run.Stderr;
}

class DesktopChild : public ShellTest {
protected:
    void SetUp() override
    {
        if (!std::getenv(ChildVariable))
            GTEST_SKIP() << "runs in a child of a Desktop test";
        ShellTest::SetUp();
    }

    enum TLook { Framed, Covering };

    // The main window as the window system shows it once the window manager is done
    // with it: framed or covering the screen, and still for a moment.
    TWindowSystemGeometry Settled(TLook look)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        TWindowSystemGeometry last;
        int still = 0;
        while (std::chrono::steady_clock::now() < until) {
            Application->ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const TWindowSystemGeometry g = WindowSystemGeometry(TestHooks::NativeWindowId(Form1));
            const bool looks = g.Found && (look == Framed ? g.FrameTop > 0 && g.Client.Width() == 640
                                                          : g.Client == TRect{0, 0, ScreenWidth, ScreenHeight});
            still = looks && last.Found && g.Client == last.Client && g.FrameTop == last.FrameTop ? still + 1 : 0;
            last = g;
            if (still >= 6)
                return g;
        }
        ADD_FAILURE() << "the window did not settle " << (look == Framed ? "framed" : "covering the screen")
                      << "; last seen: client " << Text(last.Client) << ", frame top " << last.FrameTop;
        return last;
    }

    // The frame lies wholly on the screen, title bar included.
    static void ExpectOnScreen(const TWindowSystemGeometry& g)
    {
        const TRect f = g.Frame();
        EXPECT_GE(f.Left, 0) << Text(f);
        EXPECT_GE(f.Top, 0) << Text(f);
        EXPECT_LE(f.Right, ScreenWidth) << Text(f);
        EXPECT_LE(f.Bottom, ScreenHeight) << Text(f);
        EXPECT_EQ(g.Client.Width(), 640);
        EXPECT_EQ(g.Client.Height(), 480);
    }

    static void ExpectCentred(const TWindowSystemGeometry& g)
    {
        ExpectOnScreen(g);
        const TRect f = g.Frame();
        EXPECT_NEAR(f.Left, (ScreenWidth - f.Width()) / 2, 1) << Text(f);
        EXPECT_NEAR(f.Top, (ScreenHeight - f.Height()) / 2, 1) << Text(f);
    }

    void AltEnter()
    {
        Engine->GameMode = gmPlaying;
        TestHooks::KeyStroke(Form1, VK_RETURN, TShiftState{ssAlt});
        TestHooks::RunPostedMessages();
    }

    // "USE FULL SCREEN" on the video page, then "APPLY CHANGES".
    void ApplyFullScreen(bool on)
    {
        FullScreen = on;
        PostMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
        TestHooks::RunPostedMessages();
    }
};

} // namespace

TEST_F(DesktopChild, WindowComesBackWhereItWas)
{
    WriteConfig("FullScreen=False\r\n");
    Start(); // the display question is answered "Run Windowed"
    ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    ExpectCentred(Settled(Framed));

    // The player moves it.
    Form1->SetBounds(200, 150, Form1->Width(), Form1->Height());
    TWindowSystemGeometry g = Settled(Framed);
    EXPECT_EQ(g.Frame().Left, 200);
    EXPECT_EQ(g.Frame().Top, 150);

    for (int round = 0; round < 2; ++round) {
        AltEnter();
        ASSERT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
        Settled(Covering);
        AltEnter();
        ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
        g = Settled(Framed);
        ExpectOnScreen(g);
        EXPECT_EQ(g.Frame().Left, 200) << "round " << round;
        EXPECT_EQ(g.Frame().Top, 150) << "round " << round;
    }

    ApplyFullScreen(true);
    ASSERT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    Settled(Covering);
    ApplyFullScreen(false);
    ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    g = Settled(Framed);
    EXPECT_EQ(g.Frame().Left, 200);
    EXPECT_EQ(g.Frame().Top, 150);
    std::fprintf(stderr, "[checked on the desktop]\n");
}

TEST_F(DesktopChild, FullScreenFirstStartGoesToTheCentre)
{
    Start(); // no Config.cfg: full screen
    ASSERT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    Settled(Covering);
    ApplyFullScreen(false);
    ASSERT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    ExpectCentred(Settled(Framed));
    AltEnter();
    Settled(Covering);
    AltEnter();
    ExpectCentred(Settled(Framed));
    std::fprintf(stderr, "[checked on the desktop]\n");
}

TEST(Desktop, WindowComesBackWhereItWas) { RunOnDesktop("WindowComesBackWhereItWas"); }
TEST(Desktop, FullScreenFirstStartGoesToTheCentre) { RunOnDesktop("FullScreenFirstStartGoesToTheCentre"); }
