// The choices of the death and level-result pop-ups: hover bands and click boxes, the
// keys, the highlight ramps, the sounds, what each choice does to the engine, the
// selection kept between showings and a pointer outside the frame.
#include "tesk/game/EndOFLevelPopups.h"
#include "tests/tesk/game/SlabTestSupport.h"

namespace {

using namespace slab;

class PopupChoices : public SlabTest {
public:
    // For the cases' input lambdas.
    using SlabTest::Click;
    using SlabTest::Tap;

protected:
    void SetUp() override
    {
        SlabTest::SetUp();
        DeathItemSelection = 0;
        ResultItemSelection = 0;
        ResetEndOfLevelPopupHighlights();
    }
    void TearDown() override
    {
        DeathItemSelection = 0;
        ResultItemSelection = 0;
        ResetEndOfLevelPopupHighlights();
        SlabTest::TearDown();
    }
    // The pop-up over a running game, as the engine opens it: the interrupted mode is
    // pushed and the snapshot taken.
    void Show(uint8_t mode)
    {
        engine.ModeStackDepth = 0;
        engine.OverlaySnapshotDib.reset();
        engine.GameRunning = true;
        engine.SetGameMode(mode == gmDeathPopup ? gmDead : gmLevelEnd);
        engine.BeginPopup();
        engine.SetGameMode(mode);
        engine.FullRedraw = false;
        ASSERT_EQ(engine.ModeStackDepth, 1);
        ASSERT_TRUE(engine.OverlaySnapshotDib);
        Played();
    }
    // The pop-up was left through EndPopup: the stack popped and the snapshot freed.
    void ExpectLeft()
    {
        EXPECT_EQ(engine.ModeStackDepth, 0);
        EXPECT_FALSE(engine.OverlaySnapshotDib);
    }
    void ExpectStillShown(uint8_t mode)
    {
        EXPECT_EQ(engine.GameMode, mode);
        EXPECT_EQ(engine.ModeStackDepth, 1);
        EXPECT_TRUE(engine.OverlaySnapshotDib);
    }
    void DeathTick(int n = 1) { Tick(&tGameEngine::DeathPopupStep, n); }
    void ResultTick(int n = 1) { Tick(&tGameEngine::LevelResultPopupStep, n); }
};

// ---- death pop-up

TEST_F(PopupChoices, DeathHoverBandsSelectInsideTheirRowsAndTheBandOnly)
{
    struct Case {
        int X, Y;
        int Expected;  // -1: unchanged
    } cases[] = {{300, 248, -1}, {300, 249, 0},  {300, 281, 0},  {300, 285, -1}, {300, 289, 1}, {300, 317, 1},
                 {300, 327, 2},  {300, 355, 2},  {300, 356, -1}, {204, 300, -1}, {462, 300, -1}, {205, 300, 1},
                 {461, 300, 1},  {-300, 300, -1}, {1000, 300, -1}, {300, -40, -1}, {300, 100000, -1}};
    Show(gmDeathPopup);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
        for (const uint8_t start : {uint8_t(0), uint8_t(2)}) {
            DeathItemSelection = start;
            MoveMouse(c.X, c.Y);
            DeathTick();
            EXPECT_EQ(DeathItemSelection, c.Expected < 0 ? start : c.Expected);
            EXPECT_EQ(Played(), c.Expected >= 0 && c.Expected != start ? std::vector<std::string>{"mousemove"}
                                                                        : std::vector<std::string>{});
        }
    }
    // A pointer that did not move this tick selects nothing.
    DeathItemSelection = 0;
    engine.MouseX = 300;
    engine.MouseY = 355;
    DeathTick();
    EXPECT_EQ(DeathItemSelection, 0);
    ExpectStillShown(gmDeathPopup);
}

TEST_F(PopupChoices, DeathUpAndDownWrapAndPlayBothSounds)
{
    Show(gmDeathPopup);
    Tap(aUp);
    DeathTick();
    EXPECT_EQ(DeathItemSelection, 2);
    EXPECT_TRUE(PlayedOnly({"move", "mousemove"}));
    Tap(aDown);
    DeathTick();
    EXPECT_EQ(DeathItemSelection, 0);
    EXPECT_TRUE(PlayedOnly({"move", "mousemove"}));
    Tap(aDown);
    DeathTick();
    EXPECT_EQ(DeathItemSelection, 1);
    Played();
    // A hover back onto the row the keys left gives one sound for the tick.
    MoveMouse(300, 300);
    Tap(aDown);
    DeathTick();
    EXPECT_EQ(DeathItemSelection, 2);
    EXPECT_TRUE(PlayedOnly({"move", "mousemove"}));
    MoveMouse(300, 300);
    Tap(aUp);
    DeathTick();
    EXPECT_EQ(DeathItemSelection, 0);
    ExpectStillShown(gmDeathPopup);
}

TEST_F(PopupChoices, DeathHighlightsRampTowardTheSelection)
{
    Show(gmDeathPopup);
    DeathItemSelection = 1;
    DeathItemGlow = {0.5f, 0.0f, 0.02f};
    DeathTick();
    EXPECT_FLOAT_EQ(DeathItemGlow[0], 0.47f);
    EXPECT_FLOAT_EQ(DeathItemGlow[1], 0.05f);
    EXPECT_FLOAT_EQ(DeathItemGlow[2], 0.0f);
    DeathTick(30);
    EXPECT_FLOAT_EQ(DeathItemGlow[0], 0.0f);
    EXPECT_FLOAT_EQ(DeathItemGlow[1], 1.0f);
    // The ramp follows the hover of the same tick, before the keys move the selection.
    MoveMouse(300, 260);
    Tap(aDown);
    DeathTick();
    EXPECT_EQ(DeathItemSelection, 1);
    EXPECT_FLOAT_EQ(DeathItemGlow[0], 0.05f);
    EXPECT_FLOAT_EQ(DeathItemGlow[1], 0.97f);
}

TEST_F(PopupChoices, DeathChoicesLeaveThePopupAndSetThePendingAction)
{
    struct Case {
        const char* Name;
        uint8_t Selection;
        std::function<void(PopupChoices&)> Input;
        uint8_t Action;
    } cases[] = {
        {"Enter on 0", 0, [](PopupChoices& t) { t.Tap(aEnter); }, paTryAgain},
        {"Enter on 1", 1, [](PopupChoices& t) { t.Tap(aEnter); }, paLevelPick},
        {"Enter on 2", 2, [](PopupChoices& t) { t.Tap(aEnter); }, paMenu},
        {"Esc or right button", 0, [](PopupChoices& t) { t.Tap(aBack); }, paMenu},
        {"click outside", 0, [](PopupChoices& t) { t.Click(100, 100); }, paMenu},
        {"click left of the box", 0, [](PopupChoices& t) { t.Click(204, 300); }, paMenu},
        {"click below the box", 0, [](PopupChoices& t) { t.Click(300, 357); }, paMenu},
        {"click outside the frame", 0, [](PopupChoices& t) { t.Click(-20, -20); }, paMenu},
        // Inside the box between two rows: the selection is activated.
        {"click between rows", 1, [](PopupChoices& t) { t.Click(300, 285); }, paLevelPick},
        {"click on the box's corner", 0, [](PopupChoices& t) { t.Click(205, 247); }, paTryAgain},
        {"click on the far corner", 0, [](PopupChoices& t) { t.Click(461, 356); }, paTryAgain},
        // The hover of the tick comes first, then the click activates what it selected.
        {"click on the menu row", 0, [](PopupChoices& t) { t.Click(300, 340); }, paMenu},
        // Esc wins over Enter in one tick.
        {"Esc and Enter", 0, [](PopupChoices& t) {
             t.Tap(aEnter);
             t.Tap(aBack);
         }, paMenu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Show(gmDeathPopup);
        DeathItemSelection = c.Selection;
        engine.PendingAction = 0;
        c.Input(*this);
        DeathTick();
        ExpectLeft();
        EXPECT_EQ(engine.PendingAction, c.Action);
        EXPECT_EQ(engine.GameMode, gmDeathChoiceMade);
        EXPECT_TRUE(engine.GameRunning);
        const std::vector<std::string> played = Played();
        EXPECT_EQ(std::count(played.begin(), played.end(), "select"), 0);
        EXPECT_EQ(std::count(played.begin(), played.end(), "close"), 0);
        EXPECT_EQ(std::count(played.begin(), played.end(), "mainclose"), 0);
    }
}

TEST_F(PopupChoices, ThePopupsKeepTheirSelectionsButStartDark)
{
    Show(gmDeathPopup);
    DeathItemSelection = 2;
    DeathTick(40);
    Tap(aBack);
    DeathTick();
    EXPECT_EQ(engine.GameMode, gmDeathChoiceMade);
    Show(gmDeathPopup);
    EXPECT_EQ(DeathItemSelection, 2);
    EXPECT_EQ(DeathItemGlow, (std::array<float, 3>{}));

    Show(gmSolvedPopup);
    ResultItemSelection = 3;
    ResultTick(40);
    EXPECT_FLOAT_EQ(ResultItemGlow[3], 1.0f);
    Tap(aBack);
    ResultTick();
    Show(gmPartiallySolvedPopup);
    EXPECT_EQ(ResultItemSelection, 3);
    EXPECT_EQ(ResultItemGlow, (std::array<float, 4>{}));
    EXPECT_EQ(DeathItemSelection, 2);
}

// ---- result pop-ups

TEST_F(PopupChoices, ResultHoverBandsSelectInsideTheirRowsAndTheBandOnly)
{
    struct Case {
        int X, Y;
        int Expected;
    } cases[] = {{300, 238, -1}, {300, 239, 0},   {300, 265, 0},    {300, 266, -1}, {300, 275, 1},
                 {300, 303, 1},  {300, 313, 2},   {300, 343, 2},    {300, 353, 3},  {300, 381, 3},
                 {300, 382, -1}, {210, 300, -1},  {446, 300, -1},   {211, 300, 1},  {445, 300, 1},
                 {-1, 300, -1},  {640, 300, -1},  {300, -300, -1}, {300, 480, -1}};
    for (const uint8_t mode : {gmSolvedPopup, gmPartiallySolvedPopup}) {
        Show(mode);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
            for (const uint8_t start : {uint8_t(0), uint8_t(3)}) {
                ResultItemSelection = start;
                MoveMouse(c.X, c.Y);
                ResultTick();
                EXPECT_EQ(ResultItemSelection, c.Expected < 0 ? start : c.Expected);
                EXPECT_EQ(Played(), c.Expected >= 0 && c.Expected != start
                                        ? std::vector<std::string>{"mousemove"}
                                        : std::vector<std::string>{});
            }
        }
        ExpectStillShown(mode);
    }
}

TEST_F(PopupChoices, ResultUpAndDownWrapOverFourItems)
{
    Show(gmSolvedPopup);
    Tap(aUp);
    ResultTick();
    EXPECT_EQ(ResultItemSelection, 3);
    EXPECT_TRUE(PlayedOnly({"move", "mousemove"}));
    Tap(aDown);
    ResultTick();
    EXPECT_EQ(ResultItemSelection, 0);
    EXPECT_TRUE(PlayedOnly({"move", "mousemove"}));
    ResultItemGlow = {1.0f, 0.02f, 0.5f, 0.0f};
    ResultItemSelection = 2;
    ResultTick();
    EXPECT_FLOAT_EQ(ResultItemGlow[0], 0.97f);
    EXPECT_FLOAT_EQ(ResultItemGlow[1], 0.0f);
    EXPECT_FLOAT_EQ(ResultItemGlow[2], 0.55f);
    EXPECT_FLOAT_EQ(ResultItemGlow[3], 0.0f);
    ExpectStillShown(gmSolvedPopup);
}

TEST_F(PopupChoices, BackingOutOfAResultPlaysTheLevelAgain)
{
    struct Case {
        const char* Name;
        std::function<void(PopupChoices&)> Input;
    } cases[] = {
        {"Esc or right button", [](PopupChoices& t) { t.Tap(aBack); }},
        {"click right of the box", [](PopupChoices& t) { t.Click(450, 379); }},
        {"click below the box", [](PopupChoices& t) { t.Click(300, 380); }},
        {"click above the box", [](PopupChoices& t) { t.Click(300, 235); }},
        {"click left of the box", [](PopupChoices& t) { t.Click(209, 300); }},
        {"click outside the frame", [](PopupChoices& t) { t.Click(5000, -5000); }},
        {"Esc and Enter", [](PopupChoices& t) {
             t.Tap(aEnter);
             t.Tap(aBack);
         }},
    };
    for (const uint8_t selection : {uint8_t(0), uint8_t(2), uint8_t(3)})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + " on " + std::to_string(selection));
            Show(gmSolvedPopup);
            ResultItemSelection = selection;
            engine.RestartRequested = false;
            c.Input(*this);
            ResultTick();
            ExpectLeft();
            EXPECT_TRUE(engine.RestartRequested);
            EXPECT_TRUE(engine.FullRedraw);
            EXPECT_TRUE(engine.GameRunning);
            EXPECT_EQ(engine.GameMode, gmLevelEnd);
            // (A click on the row just below the box also hovers the last item.)
            const std::vector<std::string> played = Played();
            EXPECT_EQ(std::count(played.begin(), played.end(), "close"), 1);
            EXPECT_EQ(std::count(played.begin(), played.end(), "select"), 0);
        }
}

TEST_F(PopupChoices, ResultChoicesMoveOnReplayOrLeaveTheLevel)
{
    Frame->SetUseCoverMask(true);
    struct Case {
        uint8_t Selection;
        bool Restart;
        bool Running;
        uint8_t Target;  // 0: no transition
    } cases[] = {{0, false, true, gmNextUnsolvedLevel}, {1, true, true, 0}, {2, false, false, gmLevelPick},
                 {3, false, false, gmMainMenu}};
    for (const uint8_t mode : {gmSolvedPopup, gmPartiallySolvedPopup})
        for (const Case& c : cases)
            for (const bool click : {false, true}) {
                SCOPED_TRACE(std::to_string(mode) + " item " + std::to_string(c.Selection) +
                             (click ? " clicked" : " by Enter"));
                Show(mode);
                Frame->CoverMaskActive = true;
                ResultItemSelection = c.Selection;
                engine.RestartRequested = false;
                if (click)
                    Click(449, 379);  // inside the box, on its corner, below the rows
                else
                    Tap(aEnter);
                ResultTick();
                ExpectLeft();
                EXPECT_EQ(engine.RestartRequested, c.Restart);
                EXPECT_EQ(engine.GameRunning, c.Running);
                if (c.Target) {
                    EXPECT_EQ(engine.GameMode, gmTransition);
                    EXPECT_EQ(engine.TransitionTarget, c.Target);
                    EXPECT_FALSE(Frame->CoverMaskActive);
                } else {
                    EXPECT_EQ(engine.GameMode, gmLevelEnd);
                    EXPECT_TRUE(engine.FullRedraw);
                    // The overlay's end puts the cover mask back for the game.
                    EXPECT_TRUE(Frame->CoverMaskActive);
                }
                EXPECT_TRUE(PlayedOnly({"select"}));
            }
}

// A selection outside its items (never set by the pop-ups themselves) chooses the menu and
// draws nothing out of range.
TEST_F(PopupChoices, ASelectionOutOfRangeChoosesTheMenu)
{
    Show(gmDeathPopup);
    DeathItemSelection = 200;
    DeathTick();
    EXPECT_EQ(DeathItemGlow, (std::array<float, 3>{}));
    Tap(aEnter);
    DeathTick();
    EXPECT_EQ(engine.PendingAction, paMenu);
    Show(gmSolvedPopup);
    ResultItemSelection = 200;
    Tap(aEnter);
    ResultTick();
    EXPECT_EQ(engine.TransitionTarget, gmMainMenu);
    EXPECT_FALSE(engine.GameRunning);
    Show(gmSolvedPopup);
    ResultItemSelection = 4;
    Tap(aUp);
    ResultTick();
    EXPECT_EQ(ResultItemSelection, 3);
}

} // namespace
