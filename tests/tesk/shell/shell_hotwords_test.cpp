// The typed hot-words in the main window, with real key events: "glimmerhound" records
// the play from a restart as the level's solution, "brackle" replays it, and the R they
// hold is theirs (it does not restart the level), while R alone, F6 and the arrows act
// as before.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Keys.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Players.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

class HotWords : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        WriteFirstSteps(true);
        setenv("TP_START_ENTRY", "0", 1);
        WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
        Start();
        ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
        ASSERT_TRUE(UntilHeroActive());
    }
    void TearDown() override
    {
        unsetenv("TP_START_ENTRY");
        ShellTest::TearDown();
    }
    static tActualPlayer* Hero() { return dynamic_cast<tActualPlayer*>(Engine->Level.Player); }
    bool UntilHeroActive()
    {
        return TickUntil([] { return Engine->GameMode == gmPlaying && Hero() && Hero()->PlayerState == psActive; }, 600);
    }
    // Each letter typed as the keyboard types it: the letter's key down, its character,
    // the key up.
    void Type(const std::string& word)
    {
        for (char c : word)
            TestHooks::KeyStroke(Form1, static_cast<WORD>(c - 'a' + 'A'));
    }
    std::string SolutionFile() const { return Dir / "Solutions/Levels/First.Solution"; }
};

} // namespace

TEST_F(HotWords, GlimmerhoundRecordsTheLevelAndBrackleReplaysIt)
{
    Type("glimmerhound");
    EXPECT_EQ(Recorder.State(), rsRecording);
    EXPECT_TRUE(Engine->RestartRequested) << "the play is recorded from a restart";
    EXPECT_FALSE(Engine->LiveInput.IsLatched(9)) << "the R of the word restarts nothing";
    ASSERT_TRUE(UntilHeroActive());
    TestHooks::KeyDown(Form1, VK_RIGHT);
    ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmLevelEnd; }, 3000)) << Hero()->CellX;
    TestHooks::KeyUp(Form1, VK_RIGHT);
    Tick();
    ASSERT_TRUE(std::filesystem::is_regular_file(SolutionFile()));
    EXPECT_EQ(Recorder.State(), rsStopped);

    // The recorded play, replayed with no key held, ends the level again.
    ASSERT_TRUE(UntilHeroActive());
    const int32_t startX = Hero()->CellX;
    Type("brackle");
    EXPECT_EQ(Recorder.State(), rsPlaying);
    EXPECT_FALSE(Engine->LiveInput.IsLatched(9));
    ASSERT_TRUE(UntilHeroActive());
    EXPECT_EQ(Hero()->CellX, startX);
    bool ended = false;
    for (int i = 0; i < 3000 && !ended; ++i) {
        Tick();
        ended = Engine->GameMode == gmLevelEnd && Recorder.State() == rsPlaying;
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(CollectedKeys, LevelKeys);
}

// R alone, F6 and R after a letter that begins no word, or after a finished word, still
// reach the restart; R alone restarts the level; the arrows walk.
TEST_F(HotWords, RAloneF6AndTheArrowsStillAct)
{
    struct Case {
        const char* What;
        std::string Before;  // letters typed first
        WORD Key;
    };
    for (const Case& c : {Case{"F6", "", VK_F6}, Case{"g, then R", "g", 'R'},
                          Case{"brackle typed in full, then R", "brackle", 'R'}, Case{"R alone", "", 'R'}}) {
        SCOPED_TRACE(c.What);
        Engine->LiveInput.ClearLatched(0x3FFF);
        Type(c.Before);
        TestHooks::KeyStroke(Form1, c.Key);
        EXPECT_TRUE(Engine->LiveInput.IsLatched(9));
    }
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmResetWarp; }, 3));
    EXPECT_EQ(Engine->PendingAction, paTryAgain);
    ASSERT_TRUE(UntilHeroActive());
    const int32_t x = Hero()->CellX;
    TestHooks::KeyDown(Form1, VK_RIGHT);
    EXPECT_TRUE(TickUntil([&] { return Hero()->CellX == x + 1; }, 60));
    TestHooks::KeyUp(Form1, VK_RIGHT);
    EXPECT_EQ(Recorder.State(), rsIdle);
}
