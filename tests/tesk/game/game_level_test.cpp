// The level model's passes and queries, and the unit base class's grid tests, start-move
// operations, carried queue and kind registry.
#include <gtest/gtest.h>

#include <optional>

#include "TestUnits.h"
#include "tests/support/TestGameLevel.h"

namespace {

class LevelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestKinds();
        useLevel.emplace(level);
        TicksPerTurn = 12;
        ClearCarriedUnits();
        tTestWalker::TurnLog.clear();
        tTestWalker::MoveCount = 0;
    }
    void TearDown() override
    {
        useLevel.reset();
        ClearCarriedUnits();
    }

    template <class T>
    T* Put(int x, int y, uint8_t layer = 1, tDirection d = Right)
    {
        auto u = std::make_unique<T>();
        u->SetInitialX(x);
        u->SetInitialY(y);
        u->InitialDirection = d;
        u->DrawLayer = layer;
        u->Reset();
        return static_cast<T*>(level.AddUnit(std::move(u)));
    }

    tLevel level;
    std::optional<TestGameLevel> useLevel;
};

TEST_F(LevelTest, BeginTurnStopsUnitsSnapsCellsAndFillsRowLists)
{
    tUnit* a = Put<tTestBlock>(3, 4);
    tUnit* b = Put<tTestBlock>(5, 4);
    tUnit* c = Put<tTestBlock>(0, 14);
    a->DX = 0.5f;
    a->Moving = true;
    a->X = 3.5f;  // ties go to the even neighbour
    b->X = 5.5f;
    level.BeginTurn();
    EXPECT_EQ(a->CellX, 4);
    EXPECT_EQ(b->CellX, 6);
    EXPECT_FALSE(a->Moving);
    EXPECT_EQ(a->DX, 0);
    EXPECT_EQ(level.RowLists[4], (std::vector<tUnit*>{a, b}));
    EXPECT_EQ(level.RowLists[14], std::vector<tUnit*>{c});
    // A unit off the grid stands in no row list.
    c->Y = 20;
    level.BeginTurn();
    EXPECT_TRUE(level.RowLists[14].empty());
}

TEST_F(LevelTest, UnitQueriesLookOnlyAtLiveUnitsInTheRowLists)
{
    tUnit* a = Put<tTestBlock>(3, 4);
    tUnit* held = Put<tTestBlock>(6, 4);
    tUnit* walker = Put<tTestWalker>(8, 4);
    held->Held = true;
    level.BeginTurn();
    EXPECT_EQ(level.UnitAt(3, 4), a);
    EXPECT_EQ(level.UnitAt(6, 4), nullptr);
    EXPECT_EQ(level.UnitAt(16, 4), nullptr);
    EXPECT_EQ(level.UnitAt(3, -1), nullptr);
    EXPECT_EQ(level.UnitAt(3, 15), nullptr);
    EXPECT_EQ(level.UnitOfClassAt(8, 4, tTestWalker::StaticClass()), walker);
    // Exactly that class: a descendant's class or an ancestor does not match.
    EXPECT_EQ(level.UnitOfClassAt(8, 4, tUnit::StaticClass()), nullptr);
    EXPECT_EQ(level.UnitOfClassAt(8, -1, tTestWalker::StaticClass()), nullptr);
    a->TargetX = 2;
    EXPECT_EQ(level.UnitHeadingTo(2, 4), a);
    EXPECT_EQ(level.UnitHeadingTo(2, 99), nullptr);
    a->Dead = true;
    EXPECT_EQ(level.UnitAt(3, 4), nullptr);
    // Initial cells: every unit, live or not.
    EXPECT_EQ(level.UnitAtInitialCell(6, 4), held);
    EXPECT_EQ(level.UnitAtInitialCell(3, 4), a);
    EXPECT_EQ(level.UnitAtInitialCell(-5, 99), nullptr);
    // Outside the engine's edit mode the units' own lookup asks the live cells.
    EXPECT_EQ(UnitAtCell(6, 4), nullptr);
}

TEST_F(LevelTest, TakeTurnsLetsThePlayerGoFirstAndSkipsTheDead)
{
    tUnit* w1 = Put<tTestWalker>(1, 1);
    tUnit* dead = Put<tTestWalker>(1, 3);
    tUnit* player = Put<tTestPlayer>(1, 5);
    tUnit* w2 = Put<tTestWalker>(1, 7);
    dead->Dead = true;
    level.Player = player;
    level.BeginTurn();
    level.TakeTurns();
    EXPECT_EQ(tTestWalker::TurnLog, (std::vector<const tUnit*>{player, w1, w2}));
    // Dead units still move.
    level.MoveUnits();
    EXPECT_EQ(tTestWalker::MoveCount, 4);

    // No player: the other units take their turns all the same.
    tTestWalker::TurnLog.clear();
    level.Player = nullptr;
    level.BeginTurn();
    level.TakeTurns();
    EXPECT_EQ(tTestWalker::TurnLog.size(), 3u);
}

TEST_F(LevelTest, ClaimsBlockLaterUnitsWithinOnePassAndMovesArriveAfterATurn)
{
    // Two walkers heading for the same cell: the first in list order gets it.
    tTestWalker* a = Put<tTestWalker>(2, 2, 1, Right);
    tTestWalker* b = Put<tTestWalker>(4, 2, 1, Left);
    level.BeginTurn();
    level.TakeTurns();
    EXPECT_TRUE(a->Moving);
    EXPECT_FALSE(b->Moving);
    EXPECT_TRUE(CellClaimed(3, 2));
    for (int t = 0; t < TicksPerTurn; ++t)
        level.MoveUnits();
    EXPECT_FALSE(CellClaimed(3, 2));  // claims live for one pass
    level.BeginTurn();
    EXPECT_EQ(a->CellX, 3);
    EXPECT_EQ(level.UnitAt(3, 2), a);
}

TEST_F(LevelTest, EnteringTestsSolidThenClaimThenOccupant)
{
    tTestWalker* w = Put<tTestWalker>(5, 5, 1, Right);
    tTestBlock* block = Put<tTestBlock>(6, 5);
    tTestBlock* wall = Put<tTestBlock>(8, 5);
    level.Cell(9, 5).Solid = 1;
    level.BeginTurn();
    EXPECT_TRUE(w->IsSolidAt(16, 0));
    EXPECT_TRUE(w->IsSolidAt(0, -1));
    EXPECT_TRUE(w->IsSolidAt(9, 5));
    EXPECT_FALSE(w->IsSolidAt(0, 0));
    EXPECT_TRUE(w->IsCellBlocked(-1, 3));
    EXPECT_TRUE(w->IsCellBlocked(6, 5));
    EXPECT_FALSE(w->IsCellBlocked(5, 6));
    ClaimCell(5, 6);
    EXPECT_TRUE(w->IsCellBlocked(5, 6));
    EXPECT_FALSE(w->CanEnter(5, 6));

    // Asking does not push; entering pushes the block along.
    EXPECT_TRUE(w->CouldEnter(6, 5));
    EXPECT_EQ(block->Pushes, 0);
    EXPECT_TRUE(w->CanEnter(6, 5));
    EXPECT_EQ(block->Pushes, 1);
    EXPECT_TRUE(block->Moving);
    // A block against a solid cell cannot be pushed.
    w->Direction = Right;
    EXPECT_FALSE(wall->QueryPush(w, Right));
    // An occupant that is leaving does not block.
    wall->TargetX = 8;
    wall->TargetY = 6;
    EXPECT_TRUE(w->CouldEnter(8, 5));
}

TEST_F(LevelTest, StartMovesSetVelocityAndClaim)
{
    tTestBlock* u = Put<tTestBlock>(5, 5);
    level.BeginTurn();
    u->Direction = Left;
    u->StartMoveOn();
    EXPECT_EQ(u->TargetX, 4);
    EXPECT_FLOAT_EQ(u->DX, -1.0f / 12);
    EXPECT_TRUE(CellClaimed(4, 5));
    EXPECT_EQ(u->Direction, Left);

    level.ClaimMap.fill(0);
    u->ClaimsCells = false;
    u->StartMoveInDirection(Down);
    EXPECT_FALSE(CellClaimed(5, 6));
    EXPECT_EQ(u->Direction, Left);  // not changed by the move
    // StartMoveTo claims even without ClaimsCells.
    TicksPerTurn = 6;
    u->StartMoveTo(7, 5);
    EXPECT_TRUE(CellClaimed(7, 5));
    EXPECT_FLOAT_EQ(u->DX, 2.0f / 6);
    // A target outside the grid is never marked in the claim map.
    u->CellX = 0;
    u->StartMoveInDirection(Left);
    u->ClaimsCells = true;
    u->StartMoveInDirection(Left);
    EXPECT_EQ(u->TargetX, -1);
    u->CellY = 14;
    u->StartMoveTo(15, 15);
    EXPECT_FALSE(CellClaimed(15, 15));
}

TEST_F(LevelTest, SortDrawOrderByLayerThenRoundedRow)
{
    tUnit* low = Put<tTestBlock>(0, 9, 0);
    tUnit* topRow = Put<tTestBlock>(0, 1, 2);
    tUnit* bottomRow = Put<tTestBlock>(0, 8, 1);
    tUnit* middle = Put<tTestBlock>(0, 3, 1);
    bottomRow->Y = 2.5f;  // rounds to 2: above middle
    level.SortDrawOrder();
    std::vector<tUnit*> order;
    for (int i = 0; i < level.UnitList.Count(); ++i)
        order.push_back(level.UnitList[i]);
    EXPECT_EQ(order, (std::vector<tUnit*>{low, bottomRow, middle, topRow}));
    EXPECT_EQ(CompareDrawOrder(middle, middle), 0);
    EXPECT_EQ(CompareDrawOrder(low, topRow), -1);
    EXPECT_EQ(CompareDrawOrder(topRow, low), 1);
}

TEST_F(LevelTest, RestartFreesTemporaryUnitsAndKeepsNoFreedReferences)
{
    tTestBlock* kept = Put<tTestBlock>(2, 2);
    tTestBlock* temp = Put<tTestBlock>(4, 2);
    tTestBlock* tempCarried = Put<tTestBlock>(6, 2);
    temp->Temporary = true;
    tempCarried->Temporary = true;
    level.Player = temp;
    level.BeginTurn();
    tempCarried->PickUp();
    kept->X = 9;
    LevelGems = 5;
    level.Restart();
    EXPECT_EQ(level.UnitList.Count(), 1);
    EXPECT_EQ(LevelGems, 0);
    EXPECT_EQ(kept->X, 2);
    EXPECT_EQ(level.Player, nullptr);
    EXPECT_EQ(CarriedCount, 0);
    for (const auto& row : level.RowLists)
        for (tUnit* u : row)
            EXPECT_EQ(u, kept);
}

TEST_F(LevelTest, FreeDeadTemporaryUnitsLeavesTheRowListsClean)
{
    tTestBlock* liveTemp = Put<tTestBlock>(1, 1);
    tTestBlock* deadTemp = Put<tTestBlock>(2, 1);
    tTestBlock* deadLoaded = Put<tTestBlock>(3, 1);
    liveTemp->Temporary = deadTemp->Temporary = true;
    deadTemp->Dead = deadLoaded->Dead = true;
    level.BeginTurn();
    level.FreeDeadTemporaryUnits();
    EXPECT_EQ(level.UnitList.Count(), 2);
    EXPECT_EQ(level.RowLists[1], (std::vector<tUnit*>{liveTemp, deadLoaded}));
    EXPECT_EQ(level.UnitAt(2, 1), nullptr);
}

TEST_F(LevelTest, PassesOverEveryUnit)
{
    tTestWalker* a = Put<tTestWalker>(1, 1);
    tTestWalker* b = Put<tTestWalker>(2, 2);
    EXPECT_FALSE(level.AnyUnitWillInteract());
    b->Interacts = true;
    EXPECT_TRUE(level.AnyUnitWillInteract());
    level.PauseUnitSounds();
    EXPECT_EQ(a->Pauses + b->Pauses, 2);
    a->X = 1.4f;
    a->Y = 2.6f;
    level.DeathAnimUnits();
    EXPECT_EQ(a->CellX, 1);
    EXPECT_EQ(a->CellY, 3);
}

TEST_F(LevelTest, InitialCellSettersKeepTheGrid)
{
    tTestBlock u;
    struct Case {
        int value;
        int x, y;
    };
    for (const Case& c : {Case{15, 15, 0}, Case{16, 15, 0}, Case{-1, 15, 0}, Case{14, 14, 14}, Case{15, 15, 14}, Case{0, 0, 0}}) {
        u.SetInitialX(c.value);
        u.SetInitialY(c.value);
        EXPECT_EQ(u.InitialX, c.x) << c.value;
        EXPECT_EQ(u.InitialY, c.y) << c.value;
    }
    // The constructor's state.
    tTestBlock fresh;
    EXPECT_EQ(fresh.DrawLayer, 1);
    EXPECT_TRUE(fresh.ClaimsCells);
    EXPECT_FALSE(fresh.Occupies);
}

TEST_F(LevelTest, CarriedQueueHoldsThreeFirstInFirstOut)
{
    tTestBlock* u[4];
    for (int i = 0; i < 4; ++i) {
        u[i] = Put<tTestBlock>(i, 0);
        u[i]->PickUp();
    }
    EXPECT_TRUE(CarryQueueFull());
    EXPECT_FALSE(u[3]->Held);
    EXPECT_TRUE(u[2]->Held);
    EXPECT_EQ(TakeCarriedUnit(), u[0]);
    EXPECT_EQ(TakeCarriedUnit(), u[1]);
    // A carried unit that is freed leaves the queue.
    u[3]->PickUp();
    level.FreeUnit(u[2]);
    EXPECT_EQ(TakeCarriedUnit(), u[3]);
    EXPECT_EQ(TakeCarriedUnit(), nullptr);
    u[0]->Drop();
    EXPECT_FALSE(u[0]->Held);
}

TEST_F(LevelTest, KindRegistryMatchesNamesExactly)
{
    EXPECT_EQ(UnitClassByName("Sign"), tTestSign::StaticClass());
    EXPECT_EQ(UnitClassByName("sign"), tUnit::StaticClass());
    EXPECT_EQ(UnitClassByName("player"), tUnit::StaticClass());
    EXPECT_EQ(UnitClassByName(""), tUnit::StaticClass());
    // The first record wins both ways.
    EXPECT_EQ(UnitClassByName("FakePlayer"), tTestPlayer::StaticClass());
    EXPECT_EQ(UnitKindName(tTestPlayer::StaticClass()), "Player");
    EXPECT_EQ(UnitKindName(tTestWalker::StaticClass()), "Walker");
    EXPECT_EQ(UnitKindName(tUnit::StaticClass()), "");
    std::unique_ptr<tUnit> made = CreateUnit(UnitClassByName("Block"));
    EXPECT_EQ(made->ClassName(), "tTestBlock");
    EXPECT_THROW(CreateUnit(TPersistent::StaticClass()), EPropertyError);
}

}  // namespace
