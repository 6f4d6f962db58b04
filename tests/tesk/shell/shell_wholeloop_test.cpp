// The whole loop of the game in the real main window, headless: start, the main menu,
// "START GAME", the level pick, a level picked by a click (and, in another run, by the
// keys), played to the level-result pop-up (and, in another run, to the death pop-up),
// back to the level pick or the menu; the solved level's hint and face, and clearing the
// progress through the dialog.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "platform/MPlayer.h"
#include "platform/ShellAPI.h"
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/Players.h"
#include "tesk/toolkit/ImgBtn.h"
#include "tesk/toolkit/QuibComponents.h"
#include "tests/tesk/shell/ShellHarness.h"

extern uint8_t DeathItemSelection;
extern uint8_t ResultItemSelection;

namespace {

struct KeyHold {
    WORD Key;
    int Moves;
};

// The moves that solve the first level (tests/tesk/shell/files/FirstLevel.keys).
std::vector<KeyHold> FirstLevelKeys()
{
    std::ifstream in(std::string(TP_SOURCE_DIR) + "/tests/tesk/shell/files/FirstLevel.keys");
    std::vector<KeyHold> holds;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string key;
        int moves = 0;
        words >> key >> moves;
        holds.push_back({key == "Right" ? VK_RIGHT : key == "Left" ? VK_LEFT : key == "Up" ? VK_UP : VK_DOWN, moves});
    }
    return holds;
}

class WholeLoop : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        TestHooks::SetMediaPlayerFake(TestHooks::TMediaPlayerFake{});
        TestHooks::RecordShellLaunches(true);
        // The set: "First Steps", then a level whose snake watches the hero's row.
        WriteFirstSteps();
        const std::string first = FirstStepsLevel();
        ASSERT_FALSE(first.empty());
        std::string death = first.substr(0, first.find("[Units]"));
        const size_t title = death.find("Title=");
        ASSERT_NE(title, std::string::npos);
        death.replace(title, death.find('\n', title) - title, "Title=Snake Row\r");
        death += "[Units]\r\nBegin Player\r\n   InitialX = 2\r\n   InitialY = 7\r\nEnd Player\r\n"
                 "Begin Snake\r\n   InitialX = 13\r\n   InitialY = 7\r\nEnd Snake\r\n";
        Dir.Write("Levels/Death.map", death);
        Dir.Write("Gromble.set", "Level Levels\\First.map\r\nLevel Levels\\Death.map\r\n");
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        TestHooks::SetMediaPlayerFake(std::nullopt);
        TestHooks::RecordShellLaunches(false);
    }

    bool TickUntilMode(uint8_t mode, int limit = 600)
    {
        return TickUntil([mode] { return Engine && Engine->GameMode == mode; }, limit);
    }
    void Key(WORD key)
    {
        TestHooks::KeyStroke(Form1, key);
        Tick();
    }
    // A left click at the middle of a control on the main window.
    void ClickOn(TControl* control)
    {
        const TPoint at = Form1->ScreenToClient(control->ClientToScreen(
            TPoint{control->Width() / 2, control->Height() / 2}));
        TestHooks::MouseDown(Form1, mbLeft, at);
        TestHooks::MouseUp(Form1, mbLeft, at);
        TestHooks::RunPostedMessages();
    }
    static TColorButton* Button(int entry) { return Form1->LevelPickButtons[static_cast<size_t>(entry)]; }

    // From the start to the level pick through the main menu's "START GAME".
    void StartToLevelPick()
    {
        Start();
        ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
        ASSERT_TRUE(TickUntilMode(gmMainMenu));
        EXPECT_FALSE(Engine->GameRunning);
        ASSERT_EQ(Engine->LevelSet.Count(), 2);
        // Down to "START GAME" and on it, whichever item the menu starts on.
        for (int i = 0; i < 6 && Engine->MenuItem != 1; ++i)
            Key(VK_DOWN);
        ASSERT_EQ(Engine->MenuItem, 1);
        Key(VK_RETURN);
        ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmLevelPick && Form1->LevelPickScreenVisible(); }, 200));
    }
    // Play begins, after the level start.
    void UntilPlaying()
    {
        ASSERT_TRUE(TickUntilMode(gmPlaying));
        ASSERT_TRUE(Engine->GameRunning);
    }
    // Moves the pop-up's selection by keys to the item, then takes it.
    void ChooseByKeys(const uint8_t& selection, uint8_t item)
    {
        for (int i = 0; i < 8 && selection != item; ++i)
            Key(VK_DOWN);
        ASSERT_EQ(selection, item);
        Key(VK_RETURN);
    }
    // The solved face's colour in the corner of a level button: that of a button held down.
    TColor SolvedFaceCorner()
    {
        Button(1)->SetDown(true);
        const TColor c = TestHooks::ControlPixel(Button(1), 3, 3);
        Button(1)->SetDown(false);
        return c;
    }
};

} // namespace

TEST_F(WholeLoop, PickedByAClickSolvedThenBackToTheLevelPickAndTheProgressCleared)
{
    StartToLevelPick();
    EXPECT_EQ(Button(0)->Hint(), "First Steps");
    EXPECT_EQ(Button(1)->Hint(), "Snake Row");
    const TColor unsolvedCorner = TestHooks::ControlPixel(Button(0), 3, 3);
    const TColor solvedCorner = SolvedFaceCorner();
    ASSERT_NE(unsolvedCorner, solvedCorner);

    // A click on the first level's button starts it.
    ClickOn(Button(0));
    EXPECT_FALSE(Form1->LevelPickScreenVisible());
    UntilPlaying();
    EXPECT_EQ(Engine->EntryIndex, 0);
    tPlayer* hero = dynamic_cast<tPlayer*>(Engine->Level.Player);
    ASSERT_NE(hero, nullptr);
    for (const KeyHold& hold : FirstLevelKeys()) {
        TestHooks::KeyDown(Form1, hold.Key);
        int moves = 0;
        for (int i = 0; i < (hold.Moves + 8) * 24 && moves < hold.Moves && Engine->GameMode == gmPlaying; ++i) {
            const TPoint before{hero->CellX, hero->CellY};
            Tick();
            moves += before != TPoint{hero->CellX, hero->CellY};
        }
        TestHooks::KeyUp(Form1, hold.Key);
    }
    // The result pop-up, then "GO TO LEVEL..." back to the level pick.
    ASSERT_TRUE(TickUntil(
        [] { return Engine->GameMode == gmSolvedPopup || Engine->GameMode == gmPartiallySolvedPopup; }, 400));
    EXPECT_EQ(Engine->GetLevelStatus(0), lsSolved);
    ChooseByKeys(ResultItemSelection, 2);
    ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmLevelPick && Form1->LevelPickScreenVisible(); }, 200));
    EXPECT_FALSE(Engine->GameRunning);

    // The solved level: "(Solved)" under its title and the solved face with the marked number.
    EXPECT_EQ(Button(0)->Hint(), "First Steps\r\n(Solved)");
    EXPECT_EQ(Button(1)->Hint(), "Snake Row");
    EXPECT_EQ(TestHooks::ControlPixel(Button(0), 3, 3), solvedCorner);

    // Clearing the progress through the dialog, by its button and Enter on "CLEAR PROGRESS".
    bool asked = false;
    TestHooks::SetModalStarted([&](TForm* form) {
        if (form != ClearProgressDialog)
            return;
        asked = true;
        TestHooks::KeyStroke(ClearProgressDialog, VK_RETURN);
    });
    ClickOn(Form1->ClearProgressButton);
    TestHooks::SetModalStarted(nullptr);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Engine->GetLevelStatus(0), lsUnsolved);
    EXPECT_EQ(Button(0)->Hint(), "First Steps");
    EXPECT_EQ(TestHooks::ControlPixel(Button(0), 3, 3), unsolvedCorner);
    EXPECT_EQ(ScratchDir::Read(Engine->ProgressFileName()), std::string(8, '\0'));

    // Esc: the main menu again.
    Key(VK_ESCAPE);
    EXPECT_FALSE(Form1->LevelPickScreenVisible());
    EXPECT_TRUE(TickUntilMode(gmMainMenu));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

TEST_F(WholeLoop, PickedByTheKeysLostToTheSnakeThenTheMenu)
{
    StartToLevelPick();
    // Right to the second level, Enter starts it.
    Key(VK_RIGHT);
    EXPECT_EQ(Form1->SelectedLevel, 1);
    Key(VK_RETURN);
    EXPECT_FALSE(Form1->LevelPickScreenVisible());
    UntilPlaying();
    EXPECT_EQ(Engine->EntryIndex, 1);
    EXPECT_EQ(Engine->Level.Title, "Snake Row");
    // The snake's fire ends the life: the death pop-up, then "MENU".
    ASSERT_TRUE(TickUntilMode(gmDeathPopup));
    EXPECT_EQ(Engine->GetLevelStatus(1), lsUnsolved);
    ChooseByKeys(DeathItemSelection, 2);
    ASSERT_TRUE(TickUntilMode(gmMainMenu));
    EXPECT_FALSE(Form1->LevelPickScreenVisible());
    // And on from the menu to the level pick again.
    for (int i = 0; i < 6 && Engine->MenuItem != 1; ++i)
        Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmLevelPick && Form1->LevelPickScreenVisible(); }, 200));
    EXPECT_EQ(Form1->SelectedLevel, 1);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}
