// A small level played by keys through the real kinds, a frame drawn every tick: a bomb
// picked up and dropped to blow away the boulder in front of the key, a sign that opens
// once the key is taken, a spider boxed in that blows up, a snake whose row is never
// entered, and the exit; then the same level lost to the snake and to the bomb.
#include "tests/tesk/game/KindsFixture.h"

#include "tesk/game/Levels.h"

namespace {

constexpr int aUp = 2, aDown = 3, aLeft = 4, aRight = 5, aDrop = 6;

class KindsPlayTest : public KindsSuite {
protected:
    void Load()
    {
        std::string units = Block("Player", 1, 5) + Block("CherryBomb", 2, 5) + Block("Boulder", 7, 5) +
                            Block("Boulder", 8, 4) + Block("Boulder", 9, 5) + Block("Key", 8, 5) +
                            Block("Exit", 8, 9) + Block("Snake", 14, 1) +
                            Block("Info", 3, 12, {"Trigger = KeysLeft=0", "TriggerDelay = 2", "ImageName = BaseGfx.jpg",
                                                  "Caption = The door is open"}) +
                            Block("Spider", 12, 12);
        for (auto [x, y] : {std::pair{11, 12}, {13, 12}, {12, 11}, {12, 13}})
            units += Block("Boulder", x, y);
        ReadUnits(units);
        Hero = dynamic_cast<tActualPlayer*>(Level().Player);
        ASSERT_NE(Hero, nullptr);
        Modes.clear();
    }
    // Every tick with a frame, noting each new mode.
    void Run(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            Tick();
            Draw();
            if (Modes.empty() || Modes.back() != Eng->GameMode)
                Modes.push_back(Eng->GameMode);
        }
    }
    void RunTurns(int n)
    {
        for (int i = 0; i < n; ++i)
            Run(TicksPerTurn - TickInTurn);
    }
    // One step: the key is down at the next turn boundary only.
    void Step(int action)
    {
        Press(action);
        RunTurns(1);
        Release(action);
    }
    void Steps(int action, int n)
    {
        for (int i = 0; i < n; ++i)
            Step(action);
        RunTurns(1);
    }
    tCherryBomb* Bomb() const
    {
        for (int32_t i = 0; i < Eng->Level.UnitList.Count(); ++i)
            if (auto* b = dynamic_cast<tCherryBomb*>(Eng->Level.UnitList[i]))
                return b;
        return nullptr;
    }
    tUnit* Boulder(int32_t x, int32_t y) const { return Eng->Level.UnitOfClassAt(x, y, tBoulder::StaticClass()); }

    tActualPlayer* Hero = nullptr;
    std::vector<uint8_t> Modes;
};

TEST_F(KindsPlayTest, ABombClearsTheWayToTheKeyAndTheLevelIsSolved)
{
    Load();
    RunTurns(3);  // the hero appears; the boxed-in spider is trapped at once
    ASSERT_EQ(Hero->PlayerState, psActive);
    Steps(aRight, 1);
    ASSERT_EQ(Hero->CellX, 2);
    RunTurns(1);
    ASSERT_EQ(CarriedCount, 1);
    Steps(aRight, 4);
    ASSERT_EQ(Hero->CellX, 6);
    Step(aDrop);
    tCherryBomb* bomb = Bomb();
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(bomb->BombState, bsLit);
    EXPECT_EQ(bomb->CellX, 6);
    const int fuse = bomb->FuseChannel;
    FmodChannelState st;
    EXPECT_TRUE(FmodTest::Channel(fuse, st) && st.playing);
    Steps(aLeft, 3);
    ASSERT_EQ(Hero->CellX, 3);
    // The menu while the fuse burns: silent under it, full volume after.
    Level().PauseUnitSounds();
    EXPECT_TRUE(FmodTest::Channel(fuse, st) && st.volume == 0);
    Level().ResumeUnitSounds();
    EXPECT_TRUE(FmodTest::Channel(fuse, st) && st.volume == 255);
    RunTurns(20);
    EXPECT_EQ(bomb->BombState, bsExploding);
    EXPECT_EQ(bomb->FuseChannel, -1);
    EXPECT_EQ(Boulder(7, 5), nullptr);  // blown away
    EXPECT_NE(Boulder(8, 4), nullptr);
    EXPECT_EQ(Eng->GameMode, gmPlaying);
    // The boxed-in spider has blown up and taken its boulders with it.
    EXPECT_EQ(Boulder(11, 12), nullptr);
    EXPECT_EQ(Boulder(12, 11), nullptr);

    Steps(aRight, 5);
    ASSERT_EQ(Hero->CellX, 8);
    EXPECT_EQ(CollectedKeys, 1);
    RunTurns(3);
    ASSERT_EQ(PopUps.size(), 1u);
    EXPECT_EQ(PopUps[0].Caption, "THEDOORISOPEN");
    // Down past the boulders to the exit: back out, down column 7, and push on the door.
    Steps(aLeft, 1);
    Steps(aDown, 4);
    ASSERT_EQ(Hero->CellY, 9);
    Step(aRight);
    RunTurns(4);
    EXPECT_EQ(Eng->GameMode, gmLevelEnd);
    EXPECT_EQ(PopUps.size(), 1u);
    EXPECT_EQ(Modes, (std::vector<uint8_t>{gmPlaying, gmLevelEnd}));
}

TEST_F(KindsPlayTest, TheSnakesRowAndTheBombsBlastEachEndALife)
{
    Load();
    RunTurns(3);
    // Up to row 1, where the snake watches along a clear row.
    Steps(aUp, 4);
    EXPECT_EQ(Hero->CellY, 1);
    EXPECT_EQ(CountOf(tFireBall::StaticClass()), 1);
    Run(200);
    EXPECT_EQ(Hero->Killer, tSnake::StaticClass());
    EXPECT_EQ(Modes.front(), gmPlaying);
    EXPECT_NE(std::find(Modes.begin(), Modes.end(), gmDying), Modes.end());
    EXPECT_EQ(Eng->GameMode, gmDead);
    // The second life: the bomb dropped where the hero stays.
    Restart();
    Eng->GameMode = gmPlaying;
    Modes.clear();
    RunTurns(3);
    Steps(aRight, 1);
    RunTurns(1);
    Step(aDrop);
    RunTurns(25);
    EXPECT_EQ(Hero->Killer, tCherryBomb::StaticClass());
    Run(200);
    EXPECT_EQ(Eng->GameMode, gmDead);
    EXPECT_EQ(CountOf(tFireBall::StaticClass()), 0);
    // A restart puts the fuse out and the bomb back where it lay.
    Restart();
    EXPECT_EQ(Bomb()->BombState, bsLying);
    EXPECT_EQ(Bomb()->FuseChannel, -1);
    for (const FmodChannelState& c : FmodTest::PlayingChannels())
        EXPECT_NE(c.sample, UnitSample(usCherryBombFuse)->Sample());
}

}  // namespace
