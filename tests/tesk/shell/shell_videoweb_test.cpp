#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Files.h"
#include "platform/MPlayer.h"
#include "platform/ShellAPI.h"
#include "platform/TestHooks.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Settings.h"
#include "tesk/shell/LaunchBrowserU.h"
#include "tesk/shell/Unit1.h"
#include "tesk/toolkit/Misc.h"
#include "tests/support/ScratchDesktop.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

using Fake = TestHooks::TMediaPlayerFake;

// The program over a scratch folder holding a level set with video entries:
// 0 "Intro.ogv", 1 a level, 2 "Middle.ogv", 3 "Outro.ogv" (in the "Base" folder).
struct Videos : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        WriteFirstSteps();
        Dir.Write("Videos.set", "Video Intro.ogv\r\nLevel Levels\\First.map\r\nVideo Middle.ogv\r\nVideo Outro.ogv\r\n");
        for (const char* name : {"Intro.ogv", "Middle.ogv", "Base/Outro.ogv"})
            Dir.Write(name, "a video");
        // Windowed, so that a display change rebuilds too.
        WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    }
    void StartSet(std::vector<std::string> switches = {})
    {
        switches.insert(switches.end(), {"Set", "Videos.set"});
        Start(switches);
        ASSERT_NE(Engine, nullptr);
        ASSERT_EQ(Engine->LevelSet.Count(), 4);
    }
    // Starts an entry and delivers the tick that acts on it.
    void Play(int entry)
    {
        Engine->GoToSetEntry(entry);
        Tick();
    }
    // Runs the loop (with ticks) until no video plays and its player is gone.
    bool RunUntilVideoEnds(int ms = 5000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (Form1->VideoPlaying || TestHooks::LiveMediaPlayers() > 0) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            Application->ProcessMessages();
            Tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
};

} // namespace

TEST_F(Videos, AVideoCoversTheWindowWhileItPlaysThenTheSetMovesOn)
{
    TestHooks::SetMediaPlayerFake(Fake{60000});
    StartSet();
    Play(0);
    EXPECT_TRUE(Form1->VideoPlaying);
    ASSERT_NE(Form1->MediaPlayer1, nullptr);
    EXPECT_EQ(Engine->GameMode, gmVideo);
    EXPECT_TRUE(Form1->VideoPanel->Visible());
    EXPECT_EQ(Form1->VideoPanel->BoundsRect(), Form1->ClientRect());
    EXPECT_EQ(Form1->MediaPlayer1->DisplayRect(), Form1->ClientRect());
    EXPECT_EQ(Form1->MediaPlayer1->Display(), Form1->VideoPanel);
    EXPECT_EQ(Form1->MediaPlayer1->Owner(), Form1);
    EXPECT_EQ(TestHooks::MediaPlayerLog(), std::vector<std::string>{ResolvePath(Dir / "Intro.ogv")})
        << "the player gets the loose file's full path";

    // Keys and ticks meanwhile change nothing; the window keeps being covered.
    TestHooks::KeyStroke(Form1, VK_ESCAPE);
    TestHooks::KeyStroke(Form1, VK_RETURN);
    Tick(4);
    EXPECT_EQ(Engine->GameMode, gmVideo);
    Form1->SetClientWidth(800);
    Form1->SetClientHeight(600);
    Application->ProcessMessages();
    EXPECT_EQ(Form1->VideoPanel->BoundsRect(), Form1->ClientRect());
    EXPECT_EQ(Form1->MediaPlayer1->DisplayRect(), Form1->ClientRect());

    TestHooks::EndFakeVideosNow();
    ASSERT_TRUE(RunUntilVideoEnds());
    EXPECT_EQ(Form1->MediaPlayer1, nullptr);
    EXPECT_FALSE(Form1->VideoPanel->Visible());
    EXPECT_EQ(Engine->EntryIndex, 1) << "the level after the video starts";
    EXPECT_NE(Engine->GameMode, gmVideo);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Videos, NoVideoStartsTheEntryAfterTheVideoAtOnce)
{
    TestHooks::SetMediaPlayerFake(Fake{});
    StartSet({"NoVideo"});
    Play(0);
    EXPECT_FALSE(Form1->VideoPlaying);
    EXPECT_EQ(Engine->EntryIndex, 1);
    EXPECT_TRUE(TestHooks::MediaPlayerLog().empty());
    // A run of videos to the end of the set ends it.
    Play(2);
    Tick();
    EXPECT_EQ(Engine->GameMode, gmSetCompleted);
    EXPECT_EQ(TestHooks::LiveMediaPlayers(), 0);
}

TEST_F(Videos, VideosInARowPlayOneAfterTheOtherAndTheLastEndsTheSet)
{
    TestHooks::SetMediaPlayerFake(Fake{});
    StartSet();
    Play(2);
    ASSERT_TRUE(RunUntilVideoEnds());
    Tick(); // the tick that sees the next video entry
    ASSERT_TRUE(RunUntilVideoEnds());
    EXPECT_EQ(TestHooks::MediaPlayerLog(),
              (std::vector<std::string>{ResolvePath(Dir / "Middle.ogv"), ResolvePath(Dir / "Base/Outro.ogv")}));
    Tick();
    EXPECT_EQ(Engine->GameMode, gmSetCompleted);
}

TEST_F(Videos, AFailingVideoIsSkippedWithOneLineOnStandardErrorAndNoBox)
{
    StartSet();
    for (Fake::TFailure failure : {Fake::AtOpen, Fake::AtPlay, Fake::WhilePlaying}) {
        TestHooks::SetMediaPlayerFake(Fake{0, failure, "no decoder for this stream"});
        testing::internal::CaptureStderr();
        Play(0);
        ASSERT_TRUE(RunUntilVideoEnds()) << failure;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("Intro.ogv"), std::string::npos) << err;
        EXPECT_NE(err.find("no decoder for this stream"), std::string::npos) << err;
        EXPECT_EQ(err.find("no decoder", err.find("no decoder") + 1), std::string::npos) << "once: " << err;
        EXPECT_EQ(Engine->EntryIndex, 1) << failure;
        EXPECT_FALSE(Form1->VideoPanel->Visible());
    }
    // The real player with files it cannot play: empty, and bytes that are no video.
    TestHooks::SetMediaPlayerFake(std::nullopt);
    std::string noise(256 * 1024, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    for (const std::string& bytes : {std::string(), noise}) {
        Dir.Write("Intro.ogv", bytes);
        testing::internal::CaptureStderr();
        Play(0);
        EXPECT_TRUE(RunUntilVideoEnds(10000));
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Intro.ogv"), std::string::npos);
        EXPECT_EQ(Engine->EntryIndex, 1);
    }
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Videos, RebuildsWhileAVideoPlaysMakeNoSecondPlayer)
{
    TestHooks::SetMediaPlayerFake(Fake{60000});
    StartSet();
    Play(0);
    ASSERT_TRUE(Form1->VideoPlaying);
    PostMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
    TestHooks::RunPostedMessages();
    Tick();
    PostMessage(Form1->Handle(), WM_DISPLAYCHANGE, 0, 0);
    TestHooks::RunPostedMessages();
    Tick();
    EXPECT_EQ(TestHooks::LiveMediaPlayers(), 1);
    EXPECT_EQ(TestHooks::MediaPlayerLog().size(), 1u);
    EXPECT_EQ(Engine->GameMode, gmVideo) << "the rebuilt game is back in the video entry";
    // The video ends during a rebuild: the set moves on once the rebuild is over.
    PostMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
    TestHooks::EndFakeVideosNow();
    TestHooks::RunPostedMessages();
    ASSERT_TRUE(RunUntilVideoEnds());
    EXPECT_EQ(Engine->EntryIndex, 1);
    EXPECT_EQ(TestHooks::MediaPlayerLog().size(), 1u);
}

TEST_F(ShellTest, TheWebLinkOpensTheHelpPageBesideTheProgram)
{
    // A program folder whose path needs encoding.
    Override.reset();
    ScratchDir root;
    const std::string dir = root / "My Games/Gr\xC3\xB6mble";
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink(ScratchProgramDir::BuiltPackage(), dir + "/Base.Tarvol");
    Override = std::make_unique<ProgramDirOverride>(dir);
    const std::string page = root.Write("My Games/Gr\xC3\xB6mble/Gromble.html", "<html></html>");
    std::set<std::string> startupFiles;
    for (const auto& e : std::filesystem::directory_iterator(StartupDir()))
        startupFiles.insert(e.path().string());
    ScratchDesktop desktop;
    const std::string browser = desktop.FakeBrowser();
    desktop.Associate("text/html", "browser.desktop", browser + " %u");
    Start();

    // The desktop's browser gets the page's address, and the game makes way for it.
    Engine->WebLinkRequested = true;
    Tick();
    EXPECT_FALSE(Engine->WebLinkRequested);
    const std::vector<std::string> started = desktop.StartedWith();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], FileUrlOf(page));
    EXPECT_NE(started[0].find("/My%20Games/Gr%C3%B6mble/Gromble.html"), std::string::npos);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(Form1->WindowState(), wsMinimized);
    Form1->SetWindowState(wsNormal);

    // The browser is there but does not start: the game comes back and says so.
    TestHooks::FailShellLaunch(true);
    Engine->WebLinkRequested = true;
    Tick();
    EXPECT_FALSE(Engine->WebLinkRequested);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Could not find an associated browser"});
    EXPECT_EQ(Form1->WindowState(), wsNormal);

    // The page is missing.
    TestHooks::ClearMessageBoxLog();
    TestHooks::FailShellLaunch(false);
    TestHooks::RecordShellLaunches(true);
    std::filesystem::remove(page);
    Engine->WebLinkRequested = true;
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Could not find the help page\r" + HelpPagePath()});
    EXPECT_EQ(TestHooks::ShellLaunchLog().size(), 1u) << "no launch for a missing page";
    EXPECT_FALSE(Engine->WebLinkRequested);
    EXPECT_EQ(Form1->WindowState(), wsNormal);

    std::set<std::string> after;
    for (const auto& e : std::filesystem::directory_iterator(StartupDir()))
        after.insert(e.path().string());
    EXPECT_EQ(after, startupFiles) << "nothing written into the start-up folder";
}

// With no browser on the desktop the game, full screen or not, stays where it is (never
// minimised onto a black screen) and says so.
TEST_F(ShellTest, WithNoBrowserTheHelpPageLeavesTheGameInFront)
{
    Dir.Write("Gromble.html", "<html></html>");
    ScratchDesktop desktop;
    TestHooks::RecordShellLaunches(true);
    Start(); // no Config.cfg: full screen
    ASSERT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    Engine->WebLinkRequested = true;
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Could not find an associated browser"});
    EXPECT_TRUE(TestHooks::ShellLaunchLog().empty());
    EXPECT_EQ(Form1->WindowState(), wsNormal);
    EXPECT_FALSE(Engine->WebLinkRequested);

    // An association whose program is gone counts as none.
    desktop.Associate("text/html", "gone.desktop", desktop.Dir / "bin/gone %u");
    TestHooks::ClearMessageBoxLog();
    Engine->WebLinkRequested = true;
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Could not find an associated browser"});
    EXPECT_EQ(Form1->WindowState(), wsNormal);
}

TEST(HelpPage, TheBuildPlacesItBesideTheProgramNamingThePlayersKeys)
{
    const std::string page = ScratchDir::Read(std::string(TP_BIN_DIR) + "/Gromble.html");
    ASSERT_FALSE(page.empty());
    for (const char* text : {"<title>Gromble", "Arrow keys", "Space", "Enter", "Esc", "right mouse button", "F6 or R",
                             "Keypad + and keypad -", "Alt+Enter", "F12", "The level editor", "Boulders", "Snakes", "Spiders", "cherry bombs",
                             "Jewels", "Signs", "Dirt", "Credits"})
        EXPECT_NE(page.find(text), std::string::npos) << text;
    for (const char* hidden : {"Insert", "Home"})
        EXPECT_EQ(page.find(hidden), std::string::npos) << hidden;
}
