// Boulders, water and dirt turn by turn: pushes the hero makes and the ones refused, a
// boulder filling water, pre-filled pools, the edges water takes from its neighbours,
// the boulder's look-ahead, the checkerboard of animated water, still water and dirt.
#include "tests/tesk/game/KindsFixture.h"

#include "tesk/game/Levels.h"
#include "tests/tesk/game/TestUnits.h"

namespace {

constexpr int aUp = 2, aRight = 5;
constexpr uint16_t Sentinel = 0x1234;

class BouldersTest : public KindsSuite {
protected:
    void TearDown() override
    {
        Eng->LiveInput.ClearLatched(AllActions);
        for (int a : {aUp, aRight})
            Release(a);
        KindsSuite::TearDown();
    }
    // The decision of one turn boundary with the arrow held, taken by the level's passes
    // directly; `before` runs between the row lists and the turns (claims made earlier in
    // the pass). Gives the number of slide sounds it started.
    int PushTurn(int action, const std::function<void()>& before = {})
    {
        Press(action);
        return PlaysDuring(usSlideStone, [&] {
            Boundary();
            if (before)
                before();
            Level().TakeTurns();
        });
    }
    void Clear()
    {
        Release(aRight);
        Release(aUp);
        Eng->LiveInput.ClearLatched(AllActions);
        Level().FreeAllUnits();
        Level().ClaimMap.fill(0);
        for (tCell& c : Level().Cells)
            c.Solid = 0;
    }
    std::vector<uint16_t> CellPixels(int32_t x, int32_t y)
    {
        std::vector<uint16_t> out;
        for (int r = 0; r < 32; ++r)
            for (int c = 0; c < 32; ++c)
                out.push_back(Frame->ScanLine(y * 32 + r)[PlayfieldX + x * 32 + c]);
        return out;
    }
    tActualPlayer* ActivateHero()
    {
        auto* hero = static_cast<tActualPlayer*>(Level().Player);
        Level().FreeTemporaryUnits();
        hero->PlayerState = psActive;
        return hero;
    }
};

TEST_F(BouldersTest, TheHeroPushesABoulderIntoAFreeCell)
{
    tActualPlayer* hero = ActiveHero(5, 5);
    tBoulder* boulder = Put<tBoulder>(6, 5);
    EXPECT_EQ(PushTurn(aRight), 1);
    EXPECT_TRUE(boulder->Moving);
    EXPECT_EQ(boulder->TargetX, 7);
    EXPECT_TRUE(CellClaimed(7, 5));
    EXPECT_TRUE(hero->Moving);
    EXPECT_EQ(hero->TargetX, 6);
    EXPECT_FALSE(CellClaimed(6, 5));  // the hero claims nothing
    // Both arrive together, a turn later.
    Release(aRight);
    Level().MoveUnits();
    for (int i = 0; i < 11; ++i)
        Level().MoveUnits();
    Boundary();
    EXPECT_EQ(boulder->CellX, 7);
    EXPECT_EQ(hero->CellX, 6);
    EXPECT_FLOAT_EQ(boulder->X, 7.0f);
}

TEST_F(BouldersTest, PushesIntoOccupiedCellsAreRefused)
{
    struct Case {
        const char* What;
        int32_t BoulderX;  // the hero stands just left of it
        std::function<void()> Beyond;
        bool ClaimFirst;
        bool Quiet = true;  // nothing on the level makes a sound of its own
    };
    const Case cases[] = {
        {"a solid cell", 6, [this] { Solid(7, 5); }, false},
        {"a cell claimed earlier in the pass", 6, nullptr, true},
        {"another boulder", 6, [this] { Put<tBoulder>(7, 5); }, false},
        {"dirt", 6, [this] { Put<tDirt>(7, 5); }, false},
        {"a key", 6, [this] { Put<tKey>(7, 5); }, false},
        {"a jewel", 6, [this] { Put<tJewel>(7, 5); }, false},
        {"an exit", 6, [this] { Put<tExit>(7, 5); }, false},
        {"a spider", 6, [this] { Put<tSpider>(7, 5); }, false, false},
        {"a cherry bomb", 6, [this] { Put<tCherryBomb>(7, 5); }, false},
        {"the level edge", 15, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        tActualPlayer* hero = ActiveHero(c.BoulderX - 1, 5);
        hero->Direction = Up;
        tBoulder* boulder = Put<tBoulder>(c.BoulderX, 5);
        if (c.Beyond)
            c.Beyond();
        const std::set<int> before = PlayingHandles();
        EXPECT_EQ(PushTurn(aRight, [&] {
                      if (c.ClaimFirst)
                          ClaimCell(7, 5);
                  }),
                  0);
        EXPECT_FALSE(boulder->Moving);
        EXPECT_EQ(boulder->TargetX, c.BoulderX);
        EXPECT_FALSE(hero->Moving);
        EXPECT_EQ(hero->Direction, Up);
        if (c.Quiet) {
            EXPECT_EQ(PlayingHandles(), before);  // no sound at all
        }
        Clear();
    }
}

TEST_F(BouldersTest, BouldersMoveIntoWaterAndOntoSigns)
{
    struct Case {
        const char* What;
        std::function<void()> Beyond;
    };
    const Case cases[] = {
        {"unfilled water", [this] { Put<tWater>(7, 5); }},
        {"filled water",
         [this] {
             auto* w = Put<tWater>(7, 5);
             w->Filled = true;
         }},
        {"pre-filled water",
         [this] {
             auto* w = Put<tWater>(7, 5);
             w->Boulder = true;
             w->Reset();
         }},
        {"a sign", [this] { Put<tInfo>(7, 5); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        ActiveHero(5, 5);
        tBoulder* boulder = Put<tBoulder>(6, 5);
        c.Beyond();
        EXPECT_EQ(PushTurn(aRight), 1);
        EXPECT_TRUE(boulder->Moving);
        EXPECT_EQ(boulder->TargetX, 7);
        Clear();
    }
}

TEST_F(BouldersTest, OnlyTheHeroPushesBoulders)
{
    auto* walker = Put<tTestWalker>(4, 5);
    walker->Direction = Right;
    tBoulder* boulder = Put<tBoulder>(5, 5);
    const int sounds = PlaysDuring(usSlideStone, [&] {
        Boundary();
        Level().TakeTurns();
    });
    EXPECT_EQ(sounds, 0);
    EXPECT_FALSE(walker->Moving);
    EXPECT_FALSE(boulder->Moving);
    EXPECT_FALSE(boulder->QueryPush(walker, Right));
    // A boulder asks the unit beyond; a boulder pushing a boulder is refused.
    tBoulder other;
    EXPECT_FALSE(boulder->QueryPush(&other, Right));
    EXPECT_FALSE(boulder->QueryPush(nullptr, Right));
}

TEST_F(BouldersTest, ABoulderFillsWaterAtTheNextBoundaryAndTheHeroWalksOver)
{
    ReadUnits(Block("Player", 5, 5) + Block("Boulder", 6, 5) + Block("Water", 7, 5) + Block("Water", 7, 6));
    tActualPlayer* hero = ActivateHero();
    tBoulder* boulder = All<tBoulder>()[0];
    tWater* pool = All<tWater>()[0];
    EXPECT_TRUE(pool->Occupies);
    Press(aRight);
    EXPECT_EQ(PlaysDuring(usSlideStone, [&] { Turn(); }), 1);
    Release(aRight);
    Eng->LiveInput.ClearLatched(AllActions);
    EXPECT_FALSE(pool->Filled);
    EXPECT_EQ(PlaysDuring(usSplosh, [&] { Turn(); }), 1);
    EXPECT_TRUE(pool->Filled);
    EXPECT_FALSE(pool->Occupies);
    EXPECT_TRUE(boulder->Dead);
    EXPECT_EQ(PlaysDuring(usSplosh, [&] { Turn(); }), 0);  // once

    // The filled picture over the water: the cell as composed plus the filled sprite.
    Eng->FrameCount = 0;
    FillFrame(Sentinel);
    pool->Filled = false;
    pool->Draw();
    tUnit cover;
    cover.Sprite = &UnitSprites.FilledWater;
    cover.X = 7;
    cover.Y = 5;
    cover.Draw();
    const std::vector<uint16_t> want = CellPixels(7, 5);
    FillFrame(Sentinel);
    pool->Filled = true;
    pool->Draw();
    EXPECT_EQ(CellPixels(7, 5), want);
    EXPECT_EQ(pool->Sprite, &UnitSprites.WaterPalette);  // the water's own picture is kept

    // The hero walks over the filled cell; the pool below still refuses him.
    Press(aRight);
    Turn();
    Release(aRight);
    Eng->LiveInput.ClearLatched(AllActions);
    Turn();
    EXPECT_EQ(hero->CellX, 7);
    Press(3);
    Turn();
    Release(3);
    Eng->LiveInput.ClearLatched(AllActions);
    EXPECT_FALSE(hero->Moving);
    EXPECT_EQ(hero->CellY, 5);

    // A restart opens the pool and brings the boulder back.
    Restart();
    EXPECT_FALSE(pool->Filled);
    EXPECT_TRUE(pool->Occupies);
    EXPECT_FALSE(boulder->Dead);
    EXPECT_EQ(boulder->CellX, 6);
}

TEST_F(BouldersTest, PreFilledWaterNeverBlocksAndUnfilledWaterRefusesTheHero)
{
    for (const bool prefilled : {false, true}) {
        SCOPED_TRACE(prefilled ? "pre-filled" : "unfilled");
        ReadUnits(Block("Player", 5, 5) + Block("Water", 6, 5, {prefilled ? "Boulder = True" : "Boulder = False"}));
        tActualPlayer* hero = ActivateHero();
        hero->Direction = Up;
        tWater* pool = All<tWater>()[0];
        EXPECT_EQ(pool->Filled, prefilled);
        EXPECT_EQ(pool->Occupies, !prefilled);
        Press(aRight);
        Turn();
        Release(aRight);
        Eng->LiveInput.ClearLatched(AllActions);
        EXPECT_EQ(hero->Moving, prefilled);
        EXPECT_EQ(hero->Direction, prefilled ? Right : Up);
        Turn();
        EXPECT_EQ(hero->CellX, prefilled ? 6 : 5);
        EXPECT_EQ(pool->Filled, prefilled);
    }
}

TEST_F(BouldersTest, WaterTakesItsEdgesFromTheOtherWatersInitialCells)
{
    struct Pool {
        int32_t X, Y;
        std::vector<std::string> More;
        uint8_t Edge;
        TPoint Template;  // inside the style's block
    };
    struct Case {
        const char* What;
        std::vector<Pool> Pools;
    };
    const Case cases[] = {
        {"a lone pool", {{4, 4, {}, 0, {96, 96}}}},
        {"a plus of five",
         {{5, 5, {}, 15, {0, 0}},
          {5, 4, {}, 4, {96, 64}},
          {6, 5, {}, 8, {96, 32}},
          {5, 6, {}, 1, {64, 96}},
          {4, 5, {}, 2, {32, 96}}}},
        {"a row of three", {{2, 9, {}, 2, {32, 96}}, {3, 9, {}, 10, {32, 32}}, {4, 9, {}, 8, {96, 32}}}},
        {"filled and pre-filled neighbours count",
         {{8, 8, {}, 2, {32, 96}}, {9, 8, {"Boulder = True"}, 8, {96, 32}}}},
        {"AutoEdge off keeps the edge read", {{1, 1, {"AutoEdge = False", "Edge = 5"}, 5, {64, 64}}, {2, 1, {}, 8, {96, 32}}}},
        {"at the grid's corners", {{0, 0, {}, 4, {96, 64}}, {0, 1, {}, 1, {64, 96}}, {15, 14, {}, 0, {96, 96}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        for (const tWaterEdgeStyle style : {weTypeA, weSquare}) {
            std::string blocks;
            for (const Pool& p : c.Pools) {
                std::vector<std::string> more = p.More;
                more.push_back(std::string("EdgeStyle = ") + (style == weTypeA ? "weTypeA" : "weSquare"));
                blocks += Block("Water", p.X, p.Y, more);
            }
            ReadUnits(blocks);
            const std::vector<tWater*> waters = All<tWater>();
            ASSERT_EQ(waters.size(), c.Pools.size());
            for (size_t i = 0; i < waters.size(); ++i) {
                EXPECT_EQ(waters[i]->Edge, c.Pools[i].Edge) << i;
                const TPoint at = WaterTemplateOrigin(waters[i]->EdgeStyle, waters[i]->Edge);
                EXPECT_EQ(at.X, c.Pools[i].Template.X + 128 * style) << i;
                EXPECT_EQ(at.Y, c.Pools[i].Template.Y) << i;
            }
            // Every restart recomputes them, also after a pool was filled.
            waters[0]->Filled = true;
            Restart();
            EXPECT_EQ(waters[0]->Edge, c.Pools[0].Edge);
        }
    }
}

TEST_F(BouldersTest, AWaterPlacedElsewhereTakesItsNewNeighboursAtItsReset)
{
    // As the editor moves a unit: a new initial cell and a reset, no restart.
    ReadUnits(Block("Water", 1, 1) + Block("Water", 2, 1));
    std::vector<tWater*> waters = All<tWater>();
    EXPECT_EQ(waters[0]->Edge, 2);
    waters[1]->SetInitialX(5);
    waters[1]->Reset();
    waters[0]->Reset();
    EXPECT_EQ(waters[0]->Edge, 0);
    EXPECT_EQ(waters[1]->Edge, 0);
    waters[1]->SetInitialX(1);
    waters[1]->SetInitialY(2);
    waters[0]->Reset();
    EXPECT_EQ(waters[0]->Edge, 4);
}

TEST_F(BouldersTest, TenThousandWatersLoadRestartAndPlay)
{
    std::string blocks = Block("Player", 0, 0);
    for (int i = 0; i < 10000; ++i)
        blocks += Block("Water", 1 + i % 15, i / 15 % 15);
    ReadUnits(blocks);
    Restart();
    EXPECT_EQ(All<tWater>().size(), 10000u);
    // Pools stacked on one cell see the same neighbours.
    EXPECT_EQ(All<tWater>()[0]->Edge, 4 + 2);
    Ticks(24);
    Draw();
    Draw();
}

TEST_F(BouldersTest, TheBoulderLooksAheadAtUnitsHeadingBeyondIt)
{
    struct Case {
        const char* What;
        int32_t HeroX, HeroY, BoulderX, BoulderY;
        int32_t WalkerX, WalkerY;  // -1: none; it walks one cell left
        bool Want;
    };
    const Case cases[] = {
        {"heading into the cell beyond", 5, 5, 7, 5, 10, 5, true},
        {"heading into the cell above it", 5, 5, 7, 5, 10, 4, true},
        {"heading into the cell below it", 5, 5, 7, 5, 10, 6, true},
        {"above and below also for a push along a column", 5, 2, 5, 4, 6, 7, true},
        {"heading elsewhere", 5, 5, 7, 5, 12, 5, false},
        {"nobody moving", 5, 5, 7, 5, -1, -1, false},
        {"not in the hero's row or column", 5, 5, 7, 6, 10, 7, false},
        {"the cell beyond lies outside", 13, 5, 15, 5, -1, -1, false},
        {"beyond the top edge", 5, 1, 5, 0, -1, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        ActiveHero(c.HeroX, c.HeroY);
        tBoulder* boulder = Put<tBoulder>(c.BoulderX, c.BoulderY);
        tTestWalker* walker = c.WalkerX >= 0 ? Put<tTestWalker>(c.WalkerX, c.WalkerY) : nullptr;
        Boundary();
        if (walker)
            walker->StartMoveInDirection(Left);
        EXPECT_EQ(boulder->WillInteractWithThePlayerNextTurn(), c.Want);
        if (walker) {
            // Once it has arrived it is no longer heading anywhere.
            walker->X -= 1;
            Boundary();
            EXPECT_FALSE(boulder->WillInteractWithThePlayerNextTurn());
        }
        Clear();
    }
    // Without a hero there is nothing to look ahead for.
    tBoulder* lone = Put<tBoulder>(7, 5);
    EXPECT_FALSE(lone->WillInteractWithThePlayerNextTurn());
}

TEST_F(BouldersTest, AnimatedWaterRecomposesACheckerboardOfCells)
{
    SetWaterTint(DefaultWaterTint);  // a ramp of many levels
    std::vector<tWater*> pool;
    for (int32_t y = 4; y < 7; ++y)
        for (int32_t x = 4; x < 7; ++x)
            pool.push_back(Put<tWater>(x, y));
    FillFrame(Sentinel);
    std::vector<tWaterPixels> last(pool.size());
    for (int32_t frame = 0; frame < 6; ++frame) {
        SCOPED_TRACE(frame);
        Eng->FrameCount = frame;
        Eng->TickCount = frame * 40;  // other grey frames each time
        for (size_t i = 0; i < pool.size(); ++i) {
            tWater* w = pool[i];
            w->Draw();
            const bool composed = frame < 2 || ((w->CellX ^ w->CellY ^ frame) & 1) != 0;
            EXPECT_EQ(w->SavedPixels != last[i], composed) << w->CellX << "," << w->CellY;
            // Composed or copied back, the cell shows its kept pixels.
            const std::vector<uint16_t> shown = CellPixels(w->CellX, w->CellY);
            EXPECT_TRUE(std::equal(shown.begin(), shown.end(), w->SavedPixels.begin())) << w->CellX << "," << w->CellY;
            last[i] = w->SavedPixels;
        }
    }
}

TEST_F(BouldersTest, StillWaterIsPaintedIntoTheBackgroundOnly)
{
    DontAnimateWater = true;
    tWater* pool = Put<tWater>(3, 3);
    EXPECT_TRUE(pool->PartOfBackground());
    FillFrame(Sentinel);
    for (int32_t frame = 0; frame < 4; ++frame) {
        Eng->FrameCount = frame;
        pool->Draw();
    }
    EXPECT_EQ(CellPixels(3, 3), std::vector<uint16_t>(32 * 32, Sentinel));
    EXPECT_EQ(pool->SavedPixels, tWaterPixels{});

    // Painted while the engine pre-draws the background (the background picture as the
    // target, the playfield at x 0), and in the editor.
    tDib16 background(512, 480);
    background.ClipRect = TRect{0, 0, 512, 480};
    CurrentDib = &background;
    PlayfieldX = 0;
    Eng->PreDrawingBackground = true;
    pool->Draw();
    Eng->PreDrawingBackground = false;
    EXPECT_NE(pool->SavedPixels, tWaterPixels{});
    EXPECT_EQ(background.ScanLine(3 * 32 + 16)[3 * 32 + 16], pool->SavedPixels[16 * 32 + 16]);
    CurrentDib = Frame.get();
    PlayfieldX = 128;
    Eng->SetEditMode(true);
    pool->Draw();
    EXPECT_NE(CellPixels(3, 3), std::vector<uint16_t>(32 * 32, Sentinel));
    Eng->SetEditMode(false);

    // A pool a boulder has filled still shows the filled picture on every frame.
    FillFrame(Sentinel);
    pool->Filled = true;
    Eng->FrameCount = 7;
    pool->Draw();
    std::vector<uint16_t> filled = CellPixels(3, 3);
    FillFrame(Sentinel);
    tUnit cover;
    cover.Sprite = &UnitSprites.FilledWater;
    cover.X = 3;
    cover.Y = 3;
    cover.Draw();
    EXPECT_EQ(filled, CellPixels(3, 3));
    EXPECT_NE(filled, std::vector<uint16_t>(32 * 32, Sentinel));
}

TEST_F(BouldersTest, TheHeroClearsDirtByStandingOnIt)
{
    ReadUnits(Block("Player", 5, 5) + Block("Dirt", 6, 5) + Block("Dirt", 9, 9));
    tActualPlayer* hero = ActivateHero();
    tDirt* dirt = All<tDirt>()[0];
    EXPECT_TRUE(dirt->QueryPush(hero, Right));
    EXPECT_FALSE(dirt->QueryPush(All<tDirt>()[1], Right));
    Press(aRight);
    EXPECT_EQ(PlaysDuring(usClearRubble, [&] { Turn(); }), 0);  // the hero steps in
    Release(aRight);
    Eng->LiveInput.ClearLatched(AllActions);
    EXPECT_FALSE(dirt->Dead);
    EXPECT_EQ(PlaysDuring(usClearRubble, [&] { Turn(); }), 1);  // and clears it at the boundary
    EXPECT_TRUE(dirt->Dead);
    EXPECT_FALSE(All<tDirt>()[1]->Dead);
    EXPECT_EQ(PlaysDuring(usClearRubble, [&] { Turn(); }), 0);
    Restart();
    EXPECT_FALSE(dirt->Dead);
    EXPECT_EQ(dirt->CellX, 6);
}

TEST_F(BouldersTest, WaterMarksItsCellDirtyInTheFrameBufferOnly)
{
    Frame->RecordDirtyRects = true;
    Frame->ClearDirtyRects();
    tWater* pool = Put<tWater>(2, 3);  // its reset marks the cell
    ASSERT_EQ(Frame->DirtyRectCount, 1);
    const TRect& r = Frame->DirtyRects[0];
    EXPECT_EQ((std::vector<int32_t>{r.Left, r.Top, r.Right, r.Bottom}), (std::vector<int32_t>{192, 96, 224, 128}));
    // While another target is drawn into, neither it nor the frame is marked.
    tDib16 other(64, 64);
    other.RecordDirtyRects = true;
    {
        tDibTarget target(&other);
        pool->Reset();
        Level().FreeUnit(Put<tWater>(5, 5));
        // The editor's view draws into whatever is the target and marks it.
        pool->DrawAtInitialCell();
    }
    EXPECT_EQ(other.DirtyRectCount, 1);
    EXPECT_EQ(Frame->DirtyRectCount, 1);
    Level().FreeUnit(pool);
    EXPECT_EQ(Frame->DirtyRectCount, 2);
    // Once the frame is gone (the shell clears CurrentDib first) nothing is marked.
    tWater* last = Put<tWater>(1, 1);
    CurrentDib = nullptr;
    last->Reset();
    Level().FreeUnit(last);
    CurrentDib = Frame.get();
    EXPECT_EQ(Frame->DirtyRectCount, 3);
}

}  // namespace
