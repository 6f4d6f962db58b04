// The end-of-level and death pop-ups: which death picture a killer gets, where the bases
// and pictures land on the frame, pictures too small, too large or failing to load, and
// the overlay left balanced by every way out of the pop-ups over a running game.
#include <cstdio>
#include <map>

#include "tesk/game/EndOFLevelPopups.h"
#include "tests/tesk/game/EngineHarness.h"
#include "tests/tesk/game/SlabTestSupport.h"

namespace {

// ---- the death picture

struct DeathCounts {
    std::map<const tSprite*, int> Hits;
    int Total = 0;
    int In(const tSprite* first, size_t n) const
    {
        int sum = 0;
        for (size_t i = 0; i < n; ++i) {
            const auto it = Hits.find(first + i);
            sum += it == Hits.end() ? 0 : it->second;
        }
        return sum;
    }
    int Of(const tSprite* s) const { return In(s, 1); }
};

DeathCounts CountDeaths(const std::string& killer, int calls)
{
    DeathCounts c;
    for (int i = 0; i < calls; ++i) {
        CurrentDeathPopup = nullptr;
        ChooseDeathPopup(killer);
        ++c.Hits[CurrentDeathPopup];
        ++c.Total;
    }
    CurrentDeathPopup = nullptr;
    return c;
}

TEST(DeathPicture, SixInTenAreGeneralAndTheRestTheKillersOwn)
{
    struct Row {
        std::string Killer;
        const std::array<tSprite, 3>* Own;
    } rows[] = {{"tSpider", &SpiderDeath}, {"TCHERRYBOMB", &BombDeath}, {"tCherryBomb", &BombDeath},
                {"tSnake", &SnakeDeath},   {"tspider", &SpiderDeath}, {"TSPIDER", &SpiderDeath},
                {"tBoulder", nullptr},     {"", nullptr},             {"tSpiderling", nullptr},
                {std::string(10000, 'x'), nullptr}, {"tSpider" + std::string(9993, ' '), nullptr},
                {"\xFF\xFEtSnake", nullptr}};
    SetRandomSeed(20);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Killer.substr(0, 20));
        const DeathCounts c = CountDeaths(row.Killer, 10000);
        const int general = c.In(GeneralDeath.data(), 6);
        const int own = row.Own ? c.In(row.Own->data(), 3) : 0;
        // Every choice is one of the pictures of its kind, never outside the arrays.
        EXPECT_EQ(general + own, c.Total);
        for (size_t i = 0; i < 6; ++i) {
            EXPECT_GT(c.Of(&GeneralDeath[i]), 0) << "general picture " << i + 1;
        }
        if (row.Own) {
            EXPECT_NEAR(general / 10000.0, 0.6, 0.02);
            for (size_t i = 0; i < 3; ++i) {
                EXPECT_NEAR(c.Of(&(*row.Own)[i]) / 10000.0, 0.4 / 3, 0.015) << "own picture " << i + 1;
            }
        } else {
            EXPECT_EQ(general, c.Total);
        }
        for (const auto* other : {&SpiderDeath, &BombDeath, &SnakeDeath}) {
            if (other != row.Own) {
                EXPECT_EQ(c.In(other->data(), 3), 0);
            }
        }
    }
}

// ---- the painters

class PopupPainters : public SlabTest {
protected:
    void SetUp() override
    {
        SlabTest::SetUp();
        ResetEndOfLevelPopupHighlights();
        CurrentDeathPopup = nullptr;
        CurrentResultPopup = nullptr;
    }
    void TearDown() override
    {
        FreeEndOfLevelPopupsGraphicsData();
        CurrentDeathPopup = nullptr;
        CurrentResultPopup = nullptr;
        SlabTest::TearDown();
    }
    void WritePictures(int smallW = 402, int smallH = 304, int largeW = 426, int largeH = 356, int deathW = 402,
                       int deathH = 144, int resultW = 426, int resultH = 160)
    {
        Dir.Write("PopupBase_Small.jpg", FlatJpeg(smallW, smallH, SmallColor));
        Dir.Write("PopupBase_Large.jpg", FlatJpeg(largeW, largeH, LargeColor));
        Dir.Write("Popup_GeneralDeath1.Jpg", FlatJpeg(deathW, deathH, DeathColor));
        Dir.Write("Popup_Solved.jpg", FlatJpeg(resultW, resultH, ResultColor));
        Dir.Write("Popup_PartiallySolved.jpg", FlatJpeg(resultW, resultH, ResultColor));
    }
    static bool Near(uint16_t pixel, TColor color)
    {
        uint8_t r, g, b;
        PixelToRGB(pixel, r, g, b);
        return std::abs(r - int(GetRValue(color))) <= 12 && std::abs(g - int(GetGValue(color))) <= 12 &&
               std::abs(b - int(GetBValue(color))) <= 12;
    }
    uint16_t At(int x, int y) { return Frame->ScanLine(y)[x]; }
    // The smallest rectangle holding every pixel that is not the fill (exclusive right
    // and bottom).
    TRect Changed(uint16_t fill)
    {
        TRect r{FrameWidth, FrameHeight, 0, 0};
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x)
                if (At(x, y) != fill) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }
    static constexpr TColor SmallColor = 0xC87828;  // RGB(40, 120, 200)
    static constexpr TColor LargeColor = 0x2850C8;  // RGB(200, 80, 40)
    static constexpr TColor DeathColor = 0x28F0F0;  // RGB(240, 240, 40)
    static constexpr TColor ResultColor = 0x50DC28;  // RGB(40, 220, 80)
};

TEST_F(PopupPainters, TheBasesAndPicturesSitCentredWithTheirTopsMeeting)
{
    WritePictures();
    LoadEndOfLevelPopupsGraphicsData();
    const uint16_t black = PixelBlack;

    // The frame is clipped to the playfield during play; the pop-ups reach over the
    // side panel all the same and leave the clip as they found it.
    const TRect playfield{128, 0, FrameWidth, FrameHeight};
    Frame->ClipRect = playfield;
    Frame->Fill(black);
    CurrentDeathPopup = &GeneralDeath[0];
    DrawDeathPopup();
    EXPECT_EQ(Changed(black), (TRect{119, 88, 521, 392}));
    EXPECT_EQ(Frame->ClipRect, playfield);
    for (const int x : {119, 300, 520}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(Near(At(x, 88), DeathColor));
        EXPECT_TRUE(Near(At(x, 231), DeathColor));
        EXPECT_TRUE(Near(At(x, 232), SmallColor));
        EXPECT_TRUE(Near(At(x, 391), SmallColor));
    }

    for (auto* painter : {&DrawSolvedPopup, &DrawPartiallySolvedPopup}) {
        Frame->Fill(black);
        CurrentResultPopup = painter == &DrawSolvedPopup ? &SolvedPicture : &PartiallySolvedPicture;
        painter();
        EXPECT_EQ(Changed(black), (TRect{107, 62, 533, 418}));
        EXPECT_EQ(Frame->ClipRect, playfield);
        for (const int x : {107, 300, 532}) {
            SCOPED_TRACE(x);
            EXPECT_TRUE(Near(At(x, 62), ResultColor));
            EXPECT_TRUE(Near(At(x, 221), ResultColor));
            EXPECT_TRUE(Near(At(x, 222), LargeColor));
            EXPECT_TRUE(Near(At(x, 417), LargeColor));
        }
    }
}

TEST_F(PopupPainters, APictureNotChosenLeavesTheBaseAlone)
{
    WritePictures();
    LoadEndOfLevelPopupsGraphicsData();
    Frame->Fill(PixelBlack);
    DrawDeathPopup();
    EXPECT_EQ(Changed(PixelBlack), (TRect{119, 88, 521, 392}));
    EXPECT_TRUE(Near(At(300, 88), SmallColor));
    Frame->Fill(PixelBlack);
    DrawSolvedPopup();
    DrawPartiallySolvedPopup();
    EXPECT_EQ(Changed(PixelBlack), (TRect{107, 62, 533, 418}));
    EXPECT_TRUE(Near(At(300, 62), LargeColor));
    // Before the pictures are made, and after they are freed, the painters draw nothing.
    FreeEndOfLevelPopupsGraphicsData();
    CurrentDeathPopup = &GeneralDeath[0];
    CurrentResultPopup = &SolvedPicture;
    Frame->Fill(PixelBlack);
    DrawDeathPopup();
    DrawSolvedPopup();
    EXPECT_EQ(Changed(PixelBlack), (TRect{FrameWidth, FrameHeight, 0, 0}));
    CurrentDib = nullptr;
    DrawDeathPopup();
    DrawPartiallySolvedPopup();
}

// Pictures smaller than their frames draw only what they have; larger ones only their
// frames. Nothing outside is touched.
TEST_F(PopupPainters, PicturesOfTheWrongSizeDrawClipped)
{
    WritePictures(10, 10, 10, 10, 800, 600, 5, 5);
    LoadEndOfLevelPopupsGraphicsData();
    const uint16_t fill = RGBToPixel(10, 20, 30);

    Frame->Fill(fill);
    CurrentDeathPopup = &GeneralDeath[0];
    DrawDeathPopup();
    // The large death picture covers its 402 x 144 frame, the small base its 10 x 10.
    EXPECT_EQ(Changed(fill), (TRect{119, 88, 521, 232}));
    EXPECT_TRUE(Near(At(520, 231), DeathColor));
    EXPECT_EQ(At(300, 240), fill);

    Frame->Fill(fill);
    CurrentResultPopup = &SolvedPicture;
    DrawSolvedPopup();
    EXPECT_EQ(Changed(fill), (TRect{107, 62, 117, 72}));
    EXPECT_TRUE(Near(At(107, 62), ResultColor));
    EXPECT_TRUE(Near(At(111, 66), ResultColor));
    EXPECT_TRUE(Near(At(116, 71), LargeColor));
}

// A picture that cannot be loaded raises out of the painter; the frame is left as the
// drawing target with its clip rectangle, and once the picture is there it draws.
TEST_F(PopupPainters, APictureFailingToLoadRaisesAndTheNextFrameDraws)
{
    WritePictures();
    Dir.Write("Popup_Solved.jpg", "not a picture");
    std::remove((Dir.Path() + "/PopupBase_Small.jpg").c_str());
    LoadEndOfLevelPopupsGraphicsData();
    const TRect playfield{128, 0, FrameWidth, FrameHeight};
    Frame->ClipRect = playfield;
    Frame->Fill(PixelBlack);
    CurrentResultPopup = &SolvedPicture;
    CurrentDeathPopup = &GeneralDeath[0];
    EXPECT_ANY_THROW(DrawSolvedPopup());
    EXPECT_ANY_THROW(DrawDeathPopup());
    EXPECT_EQ(CurrentDib, Frame.get());
    EXPECT_EQ(DibStackDepthUsed(), 0);
    EXPECT_EQ(Frame->ClipRect, playfield);
    // The base was drawn before the picture failed.
    EXPECT_TRUE(Near(At(300, 400), LargeColor));

    WritePictures();
    Frame->Fill(PixelBlack);
    EXPECT_NO_THROW(DrawSolvedPopup());
    EXPECT_TRUE(Near(At(300, 100), ResultColor));
    EXPECT_NO_THROW(DrawDeathPopup());
    EXPECT_TRUE(Near(At(300, 300), SmallColor));
}

// ---- the overlay over a running game

// One way out of a pop-up: the death pop-up or the solved pop-up, and the item chosen
// with Enter (255: Esc).
struct tWayOut {
    const char* Name;
    bool Death;
    uint8_t Item;
};
void PrintTo(const tWayOut& w, std::ostream* os) { *os << w.Name; }

class PopupBalance : public ::testing::TestWithParam<tWayOut> {
protected:
    void SetUp() override
    {
        H = std::make_unique<tEngineHarness>();
        tLevelText level;
        level.Unit("Player", 3, 3).Unit("Exit", 4, 3);
        H->WriteLoose("Levels/A.map", level.Text());
        H->WriteLoose("Levels/B.map", level.Text());
        H->WriteSet("Two.set", {"Level Levels\\A.map", "Level Levels\\B.map"});
        E().LoadLevelSet("Two.set");
        DeathItemSelection = ResultItemSelection = 0;
    }
    void TearDown() override
    {
        H.reset();
        DeathItemSelection = ResultItemSelection = 0;
        CurrentDeathPopup = nullptr;
    }
    tGameEngine& E() { return H->E(); }
    void Play()
    {
        if (E().GameMode == gmPlaying)
            return;
        if (E().GameMode != gmLevelStart && E().GameMode != gmTransition)
            H->StartEntry(0);
        ASSERT_TRUE(H->RunUntil(gmPlaying, 400)) << int(E().GameMode);
        ASSERT_EQ(E().ModeStackDepth, 0);
        ASSERT_TRUE(E().GameRunning);
    }
    void ShowResult()
    {
        for (int32_t i = 0; i < E().LevelSet.Count(); ++i)
            E().SetLevelStatus(i, lsUnsolved);
        H->KeyDown(39);
        ASSERT_TRUE(H->RunUntil(gmLevelEnd, 400));
        H->KeyUp(39);
        H->Tick();
        ASSERT_EQ(E().GameMode, gmSolvedPopup);
        ASSERT_EQ(E().ModeStackDepth, 1);
    }
    void ShowDeath()
    {
        E().SetGameMode(gmDead);
        E().DeadTicks = 45;
        ASSERT_TRUE(H->RunUntil(gmDeathPopup, 100));
        ASSERT_EQ(E().ModeStackDepth, 1);
    }
    void Choose(uint8_t& selection, uint8_t item)
    {
        selection = item;
        if (item == 255) {
            H->Press(27);  // Esc
        } else {
            H->Press(13);
        }
        H->Tick();
    }
    std::unique_ptr<tEngineHarness> H;
};

// Each way out, 50 times over a running level: the mode stack is back at its depth, the
// snapshot is gone with the pop-up, and nothing leaks.
TEST_P(PopupBalance, EveryWayOutLeavesTheOverlayOnce)
{
    const tWayOut p = GetParam();
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NO_FATAL_FAILURE(Play());
        if (p.Death) {
            ASSERT_NO_FATAL_FAILURE(ShowDeath());
            Choose(DeathItemSelection, p.Item);
            ASSERT_EQ(E().GameMode, gmDeathChoiceMade);
            ASSERT_EQ(E().ModeStackDepth, 0);
            // The hero's reset warp signals its end.
            E().ResetWarpDone = true;
            H->Tick();
        } else {
            ASSERT_NO_FATAL_FAILURE(ShowResult());
            Choose(ResultItemSelection, p.Item);
        }
        ASSERT_EQ(E().ModeStackDepth, 0);
        ASSERT_FALSE(E().OverlaySnapshotDib);
        // Out of the level: the menu or the level pick opens without a game behind it.
        const bool leaves = p.Death ? p.Item == 1 || p.Item == 2 || p.Item == 255 : p.Item == 2 || p.Item == 3;
        if (leaves) {
            ASSERT_EQ(E().GameMode, gmTransition);
            const uint8_t target = E().TransitionTarget;
            ASSERT_TRUE(H->RunUntil(target, 40));
            EXPECT_FALSE(E().GameRunning);
            EXPECT_EQ(E().ModeStackDepth, 0);
        }
    }
    ASSERT_NO_FATAL_FAILURE(Play());
}

INSTANTIATE_TEST_SUITE_P(Ways, PopupBalance,
                         ::testing::Values(tWayOut{"DeathTryAgain", true, 0}, tWayOut{"DeathLevelPick", true, 1},
                                           tWayOut{"DeathMenu", true, 2}, tWayOut{"DeathEsc", true, 255},
                                           tWayOut{"ResultMoveOn", false, 0}, tWayOut{"ResultPlayAgain", false, 1},
                                           tWayOut{"ResultLevelPick", false, 2}, tWayOut{"ResultMenu", false, 3},
                                           tWayOut{"ResultEsc", false, 255}),
                         [](const ::testing::TestParamInfo<tWayOut>& i) { return std::string(i.param.Name); });

} // namespace
