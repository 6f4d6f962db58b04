// A level played in the real main window, headless, as the first entry of the set ("First
// Steps"): the level start slides in, the hero walks, pushes the boulder into the water,
// takes the key and leaves by the exit, and the level is stored as solved.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/Keys.h"
#include "tesk/game/Players.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

struct KeyHold {
    WORD Key;
    int Moves;
};

// The key sequence of tests/tesk/shell/files/FirstLevel.keys.
std::vector<KeyHold> ReadKeySequence(const std::string& name)
{
    std::ifstream in(std::string(TP_SOURCE_DIR) + "/tests/tesk/shell/files/" + name);
    std::vector<KeyHold> holds;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string key;
        int moves = 0;
        words >> key >> moves;
        const WORD code = key == "Right" ? VK_RIGHT : key == "Left" ? VK_LEFT : key == "Up" ? VK_UP : VK_DOWN;
        holds.push_back({code, moves});
    }
    return holds;
}

template <class T>
T* FirstUnit()
{
    for (int32_t i = 0; i < Engine->Level.UnitList.Count(); ++i)
        if (auto* u = dynamic_cast<T*>(Engine->Level.UnitList[i]))
            return u;
    return nullptr;
}

class Milestone : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        WriteFirstSteps(true);
        setenv("TP_START_ENTRY", "0", 1);
    }
    void TearDown() override
    {
        unsetenv("TP_START_ENTRY");
        ShellTest::TearDown();
    }
};

} // namespace

TEST_F(Milestone, TheFirstLevelPlaysToItsExit)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
    ASSERT_TRUE(Engine->GameRunning);
    EXPECT_EQ(Engine->EntryIndex, 0);
    // The level start slides the level in, then play begins.
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmLevelStart; }, 40));
    ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 200));
    tPlayer* hero = dynamic_cast<tPlayer*>(Engine->Level.Player);
    ASSERT_NE(hero, nullptr);
    tWater* water = FirstUnit<tWater>();
    ASSERT_NE(water, nullptr);
    ASSERT_NE(FirstUnit<tKey>(), nullptr);
    EXPECT_EQ(hero->CellX, 2);
    EXPECT_EQ(CollectedKeys, 0);

    bool walked = false, filled = false, keyTaken = false;
    for (const KeyHold& hold : ReadKeySequence("FirstLevel.keys")) {
        TestHooks::KeyDown(Form1, hold.Key);
        int moves = 0;
        for (int i = 0; i < (hold.Moves + 8) * 24 && moves < hold.Moves && Engine->GameMode == gmPlaying; ++i) {
            const TPoint before{hero->CellX, hero->CellY};
            Tick();
            moves += before != TPoint{hero->CellX, hero->CellY};
            walked = walked || hero->CellX > 2;
            filled = filled || water->Filled;
            keyTaken = keyTaken || CollectedKeys == 1;
        }
        TestHooks::KeyUp(Form1, hold.Key);
    }
    EXPECT_TRUE(walked);
    EXPECT_TRUE(filled) << "the boulder fills the water";
    EXPECT_TRUE(keyTaken);
    ASSERT_TRUE(TickUntil([] { return Engine->GameMode != gmPlaying; }, 200));
    EXPECT_TRUE(TickUntil([] { return Engine->GetLevelStatus(0) == lsSolved; }, 100));
    // The progress file in the program folder holds the solved status.
    const std::string progress = ScratchDir::Read(Engine->ProgressFileName());
    ASSERT_GE(progress.size(), 4u);
    EXPECT_EQ(progress[0], 2);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}
