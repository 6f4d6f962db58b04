// Pictures of the side panel in play and of the death and level-result pop-ups over a
// game, drawn headless with the real art of "Base.Tarvol" in a 565 frame at brightness 1.1
// and compared with the recorded references in tests/tesk/game/files/screens (record
// again after an intended change of drawing with TP_UPDATE_PICTURES=1 and look at each
// new picture before committing it; a failing comparison leaves <name>.actual.png in the
// build's bin folder).
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/Levels.h"
#include "tesk/game/SidePanel.h"
#include "tests/tesk/game/ScreenFixture.h"

namespace {

const TRect Playfield{128, 0, 640, 480};

// The game behind: the panel picture and a level background in the playfield, with the
// frame clipped to the playfield as play leaves it.
class PanelPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        Screen = std::make_unique<tScreenFixture>();
        InitSidePanel();
        LoadSidePanelGraphicsData();
        LoadEndOfLevelPopupsGraphicsData();
        ResetEndOfLevelPopupHighlights();
        tDib16& frame = *Screen->Frame;
        frame.BlitFrom(*FindOrLoadDib("Morrowfinch.jpg", true), 0, 0, 512, 480, 128, 0);
        frame.ClipRect = Playfield;
    }
    void TearDown() override
    {
        FreeEndOfLevelPopupsGraphicsData();
        FreeSidePanelGraphicsData();
        DoneSidePanel();
        CurrentDeathPopup = CurrentResultPopup = nullptr;
        ResetEndOfLevelPopupHighlights();
        LevelTitleText.clear();
        LevelNumberText = "  1";
        CollectedKeys = LevelKeys = CollectedGems = LevelGems = 0;
        SidePanelMenuClicked = MenuButtonOver = MenuButtonPressedInside = false;
        MenuButtonGlow = 0;
        Screen.reset();
    }
    // The panel drawn whole, as after entering play.
    void DrawPanel()
    {
        DrawSidePanelBackground();
        InvalidateSidePanel();
        RedrawSidePanel();
    }
    // The game behind a pop-up: the panel, then the frame at half light as the overlay's
    // snapshot makes it.
    void DimmedGame()
    {
        LevelTitleText = "THE FIRST STEPS";
        LevelNumberText = "  7";
        CollectedKeys = 1;
        LevelKeys = 2;
        DrawPanel();
        Screen->Frame->HalveLight();
    }
    std::unique_ptr<tScreenFixture> Screen;
};

TEST_F(PanelPictures, TheSidePanelInPlayHoveredAndPressed)
{
    LevelTitleText = "A WALK IN THE GARDEN";
    LevelNumberText = " B1";
    CollectedKeys = 3;
    LevelKeys = 5;
    CollectedGems = 100;
    LevelGems = 120;
    MenuButtonOver = true;
    MenuButtonGlow = 1;
    DrawPanel();
    ASSERT_EQ(SidePanelMessageLines().size(), 2u);
    EXPECT_EQ(Screen->Frame->ClipRect, Playfield);
    Screen->ExpectLooksLike("side_panel_hovered");

    MenuButtonPressedInside = true;
    RedrawSidePanel();
    Screen->ExpectLooksLike("side_panel_pressed");
}

TEST_F(PanelPictures, DeathPopupsWithAGeneralAndASpiderPicture)
{
    DimmedGame();
    const std::vector<uint16_t> game = Screen->Pixels();
    CurrentDeathPopup = &GeneralDeath[0];
    DeathItemGlow = {0, 1, 0};
    DrawDeathPopup();
    EXPECT_EQ(Screen->Frame->ClipRect, Playfield);
    Screen->ExpectLooksLike("death_general_goto");

    for (int y = 0; y < FrameHeight; ++y)
        std::copy_n(game.begin() + y * FrameWidth, FrameWidth, Screen->Frame->ScanLine(y));
    CurrentDeathPopup = &SpiderDeath[1];
    DeathItemGlow = {1, 0, 0};
    DrawDeathPopup();
    Screen->ExpectLooksLike("death_spider");
}

TEST_F(PanelPictures, ResultPopupsWithAnItemAtHalfHighlight)
{
    DimmedGame();
    const std::vector<uint16_t> game = Screen->Pixels();
    const auto draw = [&](void (*painter)(), std::array<float, 4> levels) {
        for (int y = 0; y < FrameHeight; ++y)
            std::copy_n(game.begin() + y * FrameWidth, FrameWidth, Screen->Frame->ScanLine(y));
        ResultItemGlow = levels;
        painter();
        return Screen->Pixels();
    };
    CurrentResultPopup = &SolvedPicture;
    const std::vector<uint16_t> half = draw(DrawSolvedPopup, {0.5f, 0, 0, 0});
    Screen->ExpectLooksLike("solved_half");
    // Half a highlight is glow 14 (14.5 rounds to the even neighbour), not 15.
    EXPECT_EQ(draw(DrawSolvedPopup, {14.0f / 29, 0, 0, 0}), half);
    EXPECT_NE(draw(DrawSolvedPopup, {15.0f / 29, 0, 0, 0}), half);

    CurrentResultPopup = &PartiallySolvedPicture;
    draw(DrawPartiallySolvedPopup, {0, 0.5f, 0, 0});
    Screen->ExpectLooksLike("partly_solved_half");
}

} // namespace
