// The hero's early move through the engine's step with the game's own kinds: an arrow
// tapped late in a turn starts the look-ahead copy's step at once, one tapped before the
// turn is a third through waits for the turn, and nothing starts while the arrival warp
// still plays.
#include "tests/tesk/game/EngineHarness.h"

#include "platform/Keys.h"
#include "tesk/game/Players.h"

namespace {

class EarlyMoveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tHarnessOptions options;
        options.RealKinds = true;
        H = std::make_unique<tEngineHarness>(options);
        H->WriteLoose("Levels/Early.map",
                      "[Misc]\r\nTitle=Early\r\n[Units]\r\nBegin Player\r\n   InitialX = 4\r\n   InitialY = 6\r\nEnd Player\r\n");
        H->WriteSet("Early.set", {"Level Levels\\Early.map"});
        H->E().LoadLevelSet("Early.set");
        H->StartEntry(0);
        ASSERT_EQ(H->E().GameMode, gmPlaying);
    }
    void TearDown() override { H.reset(); }
    tActualPlayer* Hero() { return dynamic_cast<tActualPlayer*>(H->E().Level.Player); }
    int32_t Warps()
    {
        int32_t n = 0;
        for (int32_t i = 0; i < H->E().Level.UnitList.Count(); ++i)
            n += H->E().Level.UnitList[i]->InheritsFrom(tWarp::StaticClass()) ? 1 : 0;
        return n;
    }
    // Ticks until the next tick would be the one at TickInTurn k.
    void UntilBefore(int32_t k)
    {
        for (int i = 0; i < 100 && (TickInTurn + 1) % TicksPerTurn != k; ++i)
            H->Tick();
    }
    void TapRight() { H->Press(VK_RIGHT); }

    std::unique_ptr<tEngineHarness> H;
};

TEST_F(EarlyMoveTest, ALateTapStartsTheStepEarlyAndTheHeroTakesItAtTheBoundary)
{
    for (int i = 0; i < 400 && !(Hero() && Hero()->PlayerState == psActive); ++i)
        H->Tick();
    ASSERT_EQ(Hero()->PlayerState, psActive);

    // While the arrival warp plays it interacts: no early move.
    ASSERT_EQ(Warps(), 1);
    UntilBefore(5);
    TapRight();
    H->Tick();
    EXPECT_GT(TurnFraction, 0.3f);
    EXPECT_FALSE(H->E().LookAheadActive);
    for (int i = 0; i < 200 && (Warps() > 0 || Hero()->Moving || !Hero()->AtTarget()); ++i)
        H->Tick();
    ASSERT_EQ(Warps(), 0);
    const int32_t x = Hero()->CellX;

    // Tapped at a quarter of the turn: nothing yet; from the next tick (a third) the copy
    // walks.
    UntilBefore(3);
    TapRight();
    H->Tick();
    EXPECT_FLOAT_EQ(TurnFraction, 0.25f);
    EXPECT_FALSE(H->E().LookAheadActive);
    H->Tick();
    ASSERT_TRUE(H->E().LookAheadActive);
    EXPECT_EQ(LookAheadToX, x + 1);
    const tUnit* copy = H->E().LookAheadPlayer;
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, Hero());
    EXPECT_FALSE(Hero()->Moving);  // the hero itself waits for its turn
    bool walkFrame = false;
    for (const tSprite& s : HeroSprites.Walk[Right])
        walkFrame |= copy->Sprite == &s;
    EXPECT_TRUE(walkFrame);
    const int32_t frames = PlayerFrameCount;
    H->Tick();
    EXPECT_EQ(PlayerFrameCount, frames + 1);  // the copy is drawn, the hero is not
    // The hero's next turn makes that step.
    for (int i = 0; i < 20 && TickInTurn != 0; ++i)
        H->Tick();
    EXPECT_TRUE(Hero()->Moving);
    EXPECT_EQ(Hero()->TargetX, x + 1);
    EXPECT_EQ(Hero()->Direction, Right);
}

}  // namespace
