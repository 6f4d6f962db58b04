// The main window over the real engine and unit kinds: steps per delivery, the modes the
// window acts on, rebuilds and the sound restart during play, the editor's view across a
// rebuild, and the completion screen of a finished level set.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Keys.h"
#include "tesk/game/GameSound.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

class Play : public ShellTest {
protected:
    void TearDown() override
    {
        unsetenv("TP_START_ENTRY");
        ShellTest::TearDown();
    }
    // Starts windowed in "First Steps", the first entry of the set, and ticks into play.
    void StartPlaying(const std::string& config = "FullScreen=False\r\nBitBlt=True\r\n")
    {
        WriteFirstSteps(true);
        setenv("TP_START_ENTRY", "0", 1);
        WriteConfig(config);
        Start();
        ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
        ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
    }
};

} // namespace

TEST_F(Play, ADeliveryStepsOncePerPeriodUpToFourButOnceRightAfterALevelStart)
{
    StartPlaying();
    Tick();
    Tick();
    ASSERT_GT(Engine->TickCount, 1);
    int32_t before = Engine->TickCount;
    Tick(7);
    EXPECT_EQ(Engine->TickCount, before + 4);
    Tick(3);
    EXPECT_EQ(Engine->TickCount, before + 7);
    Engine->RestartLevel(false);
    ASSERT_LE(Engine->TickCount, 1);
    before = Engine->TickCount;
    Tick(7);
    EXPECT_EQ(Engine->TickCount, before + 1);
}

TEST_F(Play, TheShowScreensEndOpensTheMenuAndGoesToTheLevelPickInTheSameTick)
{
    StartPlaying();
    Engine->SetGameMode(gmShowScreenDone);
    const int32_t frames = Engine->FrameCount;
    Tick();
    EXPECT_FALSE(Engine->GameRunning);
    EXPECT_EQ(Engine->GameMode, gmTransition);
    EXPECT_EQ(Engine->TransitionTarget, gmLevelPick);
    EXPECT_GT(Engine->FrameCount, frames) << "the frame is drawn in that tick";
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmLevelPick; }, 40));
}

// The sound library restarts under the running level: the same module plays again.
TEST_F(Play, RestartingTheSoundPlaysTheSameMusicAgain)
{
    StartPlaying();
    ASSERT_EQ(Engine->MusicName, "AncientStories2.xm");
    SendMessage(Form1->Handle(), WM_REINITAUDIO, 0, 0);
    EXPECT_FALSE(Form1->ReinitialisingAudio);
    EXPECT_EQ(Engine->MusicName, "AncientStories2.xm");
    ASSERT_NE(Engine->MusicModule, nullptr);
    FmodModuleState state;
    ASSERT_TRUE(FmodTest::Module(Engine->MusicModule->Module(), state));
    EXPECT_TRUE(state.playing);
    EXPECT_EQ(state.masterVolume, MusicMasterVolume(MusicVolume));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

// A folder named "Music" beside the program and a damaged module named by the level:
// the level plays without music and the restart of the sound has nothing to play again.
TEST_F(Play, RestartingTheSoundWithoutMusicToPlayAgain)
{
    Dir.Write("Music/AncientStories2.xm", "Extended Module: not really");
    StartPlaying();
    EXPECT_EQ(Engine->MusicName, "");
    SendMessage(Form1->Handle(), WM_REINITAUDIO, 0, 0);
    EXPECT_FALSE(Form1->ReinitialisingAudio);
    EXPECT_EQ(Engine->MusicModule, nullptr);
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

// Reloading the data twelve times with the menu open over the game leaves no mode behind
// on the stack: the menu still opens afterwards.
TEST_F(Play, TwelveReloadsOverTheMenuLeaveTheMenuWorking)
{
    StartPlaying();
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        TestHooks::KeyStroke(Form1, VK_ESCAPE);
        ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmMainMenu; }, 5));
        SendMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
        ASSERT_TRUE(Form1->SetUpDone);
        // The entry starts again, with nothing left on the stack.
        EXPECT_EQ(Engine->ModeStackDepth, 0);
        EXPECT_TRUE(Engine->GameRunning);
    }
    TestHooks::KeyStroke(Form1, VK_ESCAPE);
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmMainMenu; }, 5));
    EXPECT_EQ(Engine->ModeStackDepth, 1);
}

// The editor's view of a level (units drawn at their first cells) survives a rebuild:
// the unit sprites live on and the frames after it are drawn from them.
TEST_F(Play, TheEditorsViewIsDrawnAfterAReload)
{
    StartPlaying();
    Engine->SetEditMode(true);
    Engine->SetGameMode(gmEditing);
    Tick(2);
    SendMessage(Form1->Handle(), WM_RELOADDATA, 0, 0);
    ASSERT_TRUE(Form1->SetUpDone);
    Engine->SetEditMode(true);
    Engine->SetGameMode(gmEditing);
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_FALSE(Application->Terminated());
}

// A finished set: the frame darkened twice, with the news over it, until a key without
// modifiers or a click leads to the level pick with the menu behind it.
TEST_F(Play, TheCompletionScreenStaysUntilAPlainKeyOrAClick)
{
    StartPlaying();
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "key" : "click");
        Form1->FrameBuffer->Fill(RGBToPixel(200, 160, 120));
        Form1->FrameBuffer->Unlock();
        Engine->GameRunning = true;
        Engine->SetGameMode(gmSetCompleted);
        Tick();
        const uint16_t once = DarkenTable[RGBToPixel(200, 160, 120)];
        const uint16_t twice = DarkenTable[once];
        // Away from the text the frame is darkened twice; a second tick does not darken again.
        EXPECT_EQ(Form1->FrameBuffer->ScanLine(20)[20], twice);
        EXPECT_EQ(Form1->FrameBuffer->ScanLine(470)[600], twice);
        Tick();
        EXPECT_EQ(Form1->FrameBuffer->ScanLine(20)[20], twice);
        Form1->FrameBuffer->Unlock();
        TestHooks::KeyStroke(Form1, 'A', TShiftState{ssCtrl});
        Tick();
        EXPECT_EQ(Engine->GameMode, gmSetCompleted);
        if (way == 0)
            TestHooks::KeyStroke(Form1, 'A');
        else
            TestHooks::MouseDown(Form1, mbLeft, TPoint{300, 200});
        EXPECT_FALSE(Engine->GameRunning);
        EXPECT_EQ(Engine->GameMode, gmTransition);
        EXPECT_EQ(Engine->TransitionTarget, gmLevelPick);
        TestHooks::MouseUp(Form1, mbLeft, TPoint{300, 200});
        EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmLevelPick; }, 40));
        // Back into play for the second way.
        Engine->GoToSetEntry(0);
        ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
    }
}

TEST_F(Play, TheDesktopDepthAndTheDriverNameAreKeptForTheEditor)
{
    TestHooks::SetDesktopDepth(16);
    WriteConfig("FullScreen=False\r\nSoundDevice=0\r\n");
    Start();
    EXPECT_EQ(DesktopDepth, 16);
    const char* name = FSOUND_GetDriverName(0);
    EXPECT_EQ(SoundDriverText, name ? name : "");
    EXPECT_EQ(FmodTest::ChosenOutput(), 0);
}

// A bomb's fuse burns while the display is rebuilt: its channel is let go before the
// sound system closes, so nothing of the old session is called on afterwards.
TEST_F(Play, ARebuildLetsGoOfABurningFuse)
{
    StartPlaying();
    auto* bomb = static_cast<tCherryBomb*>(Engine->Level.AddUnit(std::make_unique<tCherryBomb>()));
    bomb->Reset();
    bomb->Drop();
    const int fuse = bomb->FuseChannel;
    FmodChannelState state;
    ASSERT_TRUE(FmodTest::Channel(fuse, state));
    ASSERT_TRUE(state.playing);
    Form1->ShutDownEverything();
    EXPECT_EQ(bomb->FuseChannel, -1);
    Form1->SetUpEverything();
    ASSERT_TRUE(Form1->SetUpDone);
    Tick(3);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

// A level file without a [Misc] section, or an empty one, as the first level: the level
// starts with the names a [Misc] section defaults to (backdrop, tile sets, music), so it
// loads and plays instead of failing on a picture without a name.
TEST_F(Play, ALevelWithoutItsMiscSectionPlaysWithTheDefaultNames)
{
    std::string level = FirstStepsLevel();
    level.erase(0, level.find("[Tiles]"));
    ASSERT_EQ(level.find("[Misc]"), std::string::npos);
    Dir.Write("Levels/Plain.map", level);
    Dir.Write("Gromble.set", "Level Levels\\Plain.map\r\n");
    StartPlaying();
    EXPECT_EQ(Engine->Level.Background, "Morrowfinch.jpg");
    EXPECT_EQ(Engine->Level.TileSet, "BasicTiles.jpg");
    EXPECT_EQ(Engine->Level.OverlayTileSet, "BasicOverlay.jpg");
    EXPECT_EQ(Engine->Level.WaterTint, 0x806040);
    EXPECT_EQ(Engine->MusicName, "AncientStories2.xm");
    ASSERT_NE(Engine->Level.Player, nullptr);
    const float startX = Engine->Level.Player->X;
    TestHooks::KeyDown(Form1, VK_RIGHT);
    EXPECT_TRUE(TickUntil([&] { return Engine->Level.Player->X > startX; }, 100));
    TestHooks::KeyUp(Form1, VK_RIGHT);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

TEST_F(Play, AnEmptyLevelFileStartsWithTheDefaultNamesAndRuns)
{
    Dir.Write("Levels/Empty.map", "");
    Dir.Write("Gromble.set", "Level Levels\\Empty.map\r\n");
    setenv("TP_START_ENTRY", "0", 1);
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(Engine->LevelFileName, "Levels\\Empty.map");
    EXPECT_EQ(Engine->Level.Background, "Morrowfinch.jpg");
    EXPECT_EQ(Engine->Level.Player, nullptr);
    const int32_t frames = Engine->FrameCount;
    for (int i = 0; i < 50; ++i)
        Tick();
    EXPECT_GT(Engine->FrameCount, frames);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
    EXPECT_FALSE(Application->Terminated());
}
