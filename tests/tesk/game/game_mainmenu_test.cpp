// The main menu: its keys, hover rows and click box, the highlight ramp, the sounds, what
// each item does to the engine, the ways back to a running game leaving the overlay once,
// a pointer outside the frame, the painter's layout in pictures of the real art, and a
// picture failing to load while the menu is drawn.
#include <climits>

#include "tesk/game/EngineParts.h"
#include "tesk/game/Fonts.h"
#include "tests/support/FormPictures.h"
#include "tests/support/ScratchProgram.h"
#include "tests/tesk/game/Dib16Pictures.h"
#include "tests/tesk/game/EngineHarness.h"
#include "tests/tesk/game/SlabTestSupport.h"

namespace {

using namespace slab;

using tSounds = std::vector<std::string>;

class MainMenu : public SlabTest {
public:
    using SlabTest::Click;
    using SlabTest::Tap;
    using SlabTest::engine;

protected:
    void TearDown() override
    {
        engine.OverlaySnapshotDib.reset();
        SlabTest::TearDown();
    }
    // The menu as the engine opens it: over a running game (the play mode pushed, the
    // snapshot taken, "BACK TO GAME" selected) or without one ("START GAME" selected).
    void Show(bool overGame)
    {
        engine.ModeStackDepth = 0;
        engine.OverlaySnapshotDib.reset();
        engine.GameRunning = overGame;
        engine.WebLinkRequested = false;
        engine.SetGameMode(gmPlaying);
        engine.BeginOverlay();
        engine.FullRedraw = false;
        ASSERT_EQ(engine.GameMode, gmMainMenu);
        ASSERT_EQ(engine.ModeStackDepth, overGame ? 1 : 0);
        ASSERT_EQ(engine.MenuItem, overGame ? 0 : 1);
        Played();
    }
    void MenuTick(int n = 1) { Tick(&tGameEngine::MainMenuStep, n); }
    void ExpectBackInTheGame()
    {
        EXPECT_EQ(engine.GameMode, gmPlaying);
        EXPECT_EQ(engine.ModeStackDepth, 0);
        EXPECT_FALSE(engine.OverlaySnapshotDib);
    }
    void ExpectMenuOpen()
    {
        EXPECT_EQ(engine.GameMode, gmMainMenu);
        EXPECT_EQ(engine.ModeStackDepth, engine.GameRunning ? 1 : 0);
        EXPECT_TRUE(engine.OverlaySnapshotDib);
    }
};

TEST_F(MainMenu, UpAndDownWrapAndSkipBackToGameWithoutAGame)
{
    struct Case {
        bool Running;
        uint8_t From;
        int Action;
        uint8_t Expected;
    } cases[] = {{false, 5, aDown, 1}, {false, 1, aUp, 5}, {false, 2, aDown, 3}, {false, 3, aUp, 2},
                 {true, 5, aDown, 0},  {true, 0, aUp, 5},  {true, 1, aUp, 0},   {true, 0, aDown, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Running) + " " + std::to_string(c.From) + " " + std::to_string(c.Action));
        Show(c.Running);
        engine.MenuItem = c.From;
        Tap(c.Action);
        MenuTick();
        EXPECT_EQ(engine.MenuItem, c.Expected);
        // The keys play the move sound alone.
        EXPECT_EQ(Played(), tSounds{"move"});
        ExpectMenuOpen();
    }
    // Both in one tick: Down first, then Up.
    Show(false);
    engine.MenuItem = 5;
    Tap(aDown);
    Tap(aUp);
    MenuTick();
    EXPECT_EQ(engine.MenuItem, 5);
    EXPECT_EQ(Played(), (tSounds{"move", "move"}));
}

TEST_F(MainMenu, HoverRowsSelectInsideTheBandAndRowZeroOnlyWithAGame)
{
    struct Case {
        int X, Y;
        int Alone;    // -1: unchanged
        int WithGame;
    } cases[] = {
        {320, 94, -1, -1},        {320, 95, -1, 0},           {320, 131, -1, 0},  {320, 132, -1, 0},
        {320, 169, -1, 0},     {320, 170, 1, 1},           {320, 359, 5, 5},   {320, 360, -1, -1},
        {160, 200, -1, -1},       {480, 200, -1, -1},         {161, 200, 1, 1},   {479, 200, 1, 1},
        // Outside the frame.
        {-300, 200, -1, -1},      {1000, 200, -1, -1},        {320, -40, -1, -1}, {320, 100000, -1, -1},
        {320, INT_MIN, -1, -1},   {320, INT_MAX, -1, -1},     {INT_MIN, 200, -1, -1},
    };
    for (const Case& c : cases) {
        for (const bool running : {false, true}) {
            SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y) + (running ? " with a game" : " alone"));
            const int expected = running ? c.WithGame : c.Alone;
            for (const uint8_t start : {uint8_t(3), uint8_t(5)}) {
                Show(running);
                engine.MenuItem = start;
                MoveMouse(c.X, c.Y);
                MenuTick();
                EXPECT_EQ(engine.MenuItem, expected < 0 ? start : expected);
                EXPECT_EQ(Played(), expected >= 0 && expected != start ? tSounds{"mousemove"} : tSounds{});
                ExpectMenuOpen();
            }
        }
    }
    // A pointer that did not move this tick selects nothing.
    Show(false);
    engine.MouseX = 320;
    engine.MouseY = 250;
    MenuTick();
    EXPECT_EQ(engine.MenuItem, 1);
    EXPECT_TRUE(Played().empty());
}

TEST_F(MainMenu, TheSelectedItemRisesByThirtyAndTheOthersFallByTwenty)
{
    Show(false);
    engine.MenuItem = 2;
    engine.MenuItemGlow = {800, 10, 790, 0, 25, 400};
    MenuTick();
    EXPECT_EQ(engine.MenuItemGlow, (std::array<int32_t, 6>{780, 0, 800, 0, 5, 380}));
    MenuTick(40);
    EXPECT_EQ(engine.MenuItemGlow, (std::array<int32_t, 6>{0, 0, 800, 0, 0, 0}));
    // The ramp follows the selection the tick began with; the hover changes it after.
    MoveMouse(320, 132 + 38 * 4);
    MenuTick();
    EXPECT_EQ(engine.MenuItem, 4);
    EXPECT_EQ(engine.MenuItemGlow[2], 800);
    EXPECT_EQ(engine.MenuItemGlow[4], 0);
    MenuTick();
    EXPECT_EQ(engine.MenuItemGlow[2], 780);
    EXPECT_EQ(engine.MenuItemGlow[4], 30);
}

TEST_F(MainMenu, ItemsDoWhatTheySayAndStayInsideTheOverlay)
{
    struct Case {
        const char* Name;
        bool Running;
        uint8_t Item;
        std::function<void(MainMenu&)> Input;
        uint8_t Mode;
        tSounds Sounds;
        std::function<void(MainMenu&)> Check;
    };
    const auto noCheck = [](MainMenu&) {};
    const auto options = [](MainMenu& t) {
        EXPECT_EQ(OptionsSelection, 0);
        EXPECT_TRUE(t.engine.FullRedraw);
    };
    const auto instructions = [](MainMenu& t) {
        EXPECT_EQ(InstructionsPage, 1);
        EXPECT_EQ(InstructionButtonGlows[0], 0.0f);
        EXPECT_TRUE(t.engine.FullRedraw);
    };
    const auto enter = [](MainMenu& t) { t.Tap(aEnter); };
    const Case cases[] = {
        {"Enter on 1", false, 1, enter, gmLevelPick, {"select"}, noCheck},
        {"Enter on 1 over a game", true, 1, enter, gmLevelPick, {"select"}, noCheck},
        {"Enter on 2", false, 2, enter, gmOptions, {"select"}, options},
        {"Right on 2", true, 2, [](MainMenu& t) { t.Tap(aRight); }, gmOptions, {"select"}, options},
        {"Right on 1", false, 1, [](MainMenu& t) { t.Tap(aRight); }, gmMainMenu, {}, noCheck},
        {"Left on 1 over a game", true, 1, [](MainMenu& t) { t.Tap(aLeft); }, gmMainMenu, {}, noCheck},
        {"Enter on 3", false, 3, enter, gmInstructions, {"select"}, instructions},
        {"Enter on 4", true, 4, enter, gmMainMenu, {"select"},
         [](MainMenu& t) {
             EXPECT_TRUE(t.engine.WebLinkRequested);
             EXPECT_FALSE(t.engine.FullRedraw);
         }},
        {"Enter on 5", false, 5, enter, gmTransition, {"select"},
         [](MainMenu& t) { EXPECT_EQ(t.engine.TransitionTarget, gmExitProgram); }},
        // Inside the click box, below the last row: the selected item.
        {"click at (320, 380) on 3", false, 3, [](MainMenu& t) { t.Click(320, 380); }, gmInstructions, {"select"},
         instructions},
        {"click on the box's corner", false, 2, [](MainMenu& t) { t.Click(161, 130); }, gmOptions, {"select"},
         options},
        {"click on the far corner", false, 4, [](MainMenu& t) { t.Click(479, 394); }, gmMainMenu, {"select"},
         [](MainMenu& t) { EXPECT_TRUE(t.engine.WebLinkRequested); }},
        // The hover of the tick comes first, then the click activates what it selected.
        {"click on the options row", false, 5, [](MainMenu& t) { t.Click(320, 132 + 38 * 2 + 5); }, gmOptions,
         {"mousemove", "select"}, options},
        // Down and Enter in one tick: the item below is activated.
        {"Down and Enter on 2", false, 2, [](MainMenu& t) { t.Tap(aDown); t.Tap(aEnter); }, gmInstructions,
         {"move", "select"}, instructions},
        // Outside the box without a game: nothing.
        {"click at (100, 200) alone", false, 2, [](MainMenu& t) { t.Click(100, 200); }, gmMainMenu, {}, noCheck},
        {"click at (160, 300) alone", false, 2, [](MainMenu& t) { t.Click(160, 300); }, gmMainMenu, {}, noCheck},
        {"click at (300, 395) alone", false, 2, [](MainMenu& t) { t.Click(300, 395); }, gmMainMenu, {}, noCheck},
        {"click outside the frame alone", false, 2, [](MainMenu& t) { t.Click(-5, 100000); }, gmMainMenu, {},
         noCheck},
        // Without a game the click outside is nothing, and Enter in the same tick still counts.
        {"click outside and Enter alone", false, 2, [](MainMenu& t) { t.Click(100, 200); t.Tap(aEnter); },
         gmOptions, {"select"}, options},
        {"click outside and Enter on 4 alone", false, 4, [](MainMenu& t) { t.Tap(aEnter); t.Click(-5, 100000); },
         gmMainMenu, {"select"}, [](MainMenu& t) { EXPECT_TRUE(t.engine.WebLinkRequested); }},
        // Esc and the right button belong to the engine's step, not to the menu.
        {"Esc alone", false, 2, [](MainMenu& t) { t.Tap(aBack); }, gmMainMenu, {}, noCheck},
        {"Esc over a game", true, 0, [](MainMenu& t) { t.Tap(aBack); }, gmMainMenu, {}, noCheck},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Show(c.Running);
        engine.MenuItem = c.Item;
        OptionsSelection = 3;
        InstructionsPage = 2;
        InstructionButtonGlows[0] = 0.9f;
        c.Input(*this);
        MenuTick();
        EXPECT_EQ(engine.GameMode, c.Mode);
        tSounds expected = c.Sounds;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Played(), expected);
        if (c.Check)
            c.Check(*this);
        // None of these leaves the overlay.
        EXPECT_EQ(engine.ModeStackDepth, c.Running ? 1 : 0);
        EXPECT_TRUE(engine.OverlaySnapshotDib);
        EXPECT_EQ(engine.GameRunning, c.Running);
    }
}

TEST_F(MainMenu, EveryWayBackToTheGameClosesTheMenuOnce)
{
    struct Case {
        const char* Name;
        uint8_t Item;
        std::function<void(MainMenu&)> Input;
        tSounds Sounds;
    } cases[] = {
        {"Left on 0", 0, [](MainMenu& t) { t.Tap(aLeft); }, {"mainclose"}},
        {"Enter on 0", 0, [](MainMenu& t) { t.Tap(aEnter); }, {"mainclose", "select"}},
        {"click at (100, 200)", 3, [](MainMenu& t) { t.Click(100, 200); }, {"mainclose", "select"}},
        {"click left of the box", 3, [](MainMenu& t) { t.Click(160, 300); }, {"mainclose", "select"}},
        {"click below the box", 3, [](MainMenu& t) { t.Click(300, 395); }, {"mainclose", "select"}},
        // Above the box, yet on row 0's hover band: selected, then the click goes back.
        {"click above the box", 3, [](MainMenu& t) { t.Click(300, 129); }, {"mainclose", "mousemove", "select"}},
        {"click outside the frame", 3, [](MainMenu& t) { t.Click(-40, -40); }, {"mainclose", "select"}},
        {"click far outside the frame", 3, [](MainMenu& t) { t.Click(INT_MAX, INT_MIN); },
         {"mainclose", "select"}},
        // Left, Enter and a click outside in one tick: still one close.
        {"Left, Enter and a click", 0, [](MainMenu& t) {
             t.Tap(aLeft);
             t.Tap(aEnter);
             t.Click(100, 200);
         }, {"mainclose"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Show(true);
        engine.MenuItem = c.Item;
        c.Input(*this);
        MenuTick();
        ExpectBackInTheGame();
        EXPECT_TRUE(engine.GameRunning);
        EXPECT_EQ(Played(), c.Sounds);
    }
}

// ---- through the engine's step, over a running level

class MainMenuInTheEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        H = std::make_unique<tEngineHarness>();
        tLevelText level;
        level.Unit("Player", 3, 3).Unit("Exit", 12, 12);
        H->WriteLoose("Levels/A.map", level.Text());
        H->WriteSet("One.set", {"Level Levels\\A.map"});
        E().LoadLevelSet("One.set");
    }
    void TearDown() override { H.reset(); }
    tGameEngine& E() { return H->E(); }
    void Play()
    {
        if (E().GameMode != gmPlaying)
            H->StartEntry(0);
        ASSERT_EQ(E().GameMode, gmPlaying);
        ASSERT_EQ(E().ModeStackDepth, 0);
        ASSERT_TRUE(E().GameRunning);
    }
    void Click(int x, int y)
    {
        H->Pointer(x, y);
        H->KeyDown(1);
        H->KeyUp(1);
    }
    std::unique_ptr<tEngineHarness> H;
};

TEST_F(MainMenuInTheEngine, KeysAndPointerDriveTheMenuWithoutAGame)
{
    E().OpenMenu();
    H->Tick();
    ASSERT_EQ(E().GameMode, gmMainMenu);
    EXPECT_EQ(E().MenuItem, 1);
    H->Press(40);  // Down
    H->Tick();
    EXPECT_EQ(E().MenuItem, 2);
    // Esc and the right button do nothing without a game.
    H->Press(27);
    H->KeyDown(2);
    H->KeyUp(2);
    H->Tick();
    EXPECT_EQ(E().GameMode, gmMainMenu);
    // A click outside the box does nothing either.
    Click(50, 50);
    H->Tick();
    EXPECT_EQ(E().GameMode, gmMainMenu);
    EXPECT_EQ(E().MenuItem, 2);
    // The pointer outside the frame selects nothing.
    for (const auto& [x, y] : {std::pair{-10, 200}, {320, -10}, {320, 2000}, {5000, 250}}) {
        H->Pointer(x, y);
        H->Tick();
        EXPECT_EQ(E().MenuItem, 2) << x << "," << y;
    }
    H->Pointer(320, 132 + 38 * 4 + 10);
    H->Tick();
    EXPECT_EQ(E().MenuItem, 4);
    // The help page leaves the menu open.
    Click(320, 132 + 38 * 4 + 10);
    H->Tick();
    EXPECT_TRUE(E().WebLinkRequested);
    EXPECT_EQ(E().GameMode, gmMainMenu);
    // The pointer over row 0 does not select "BACK TO GAME".
    H->Pointer(320, 140);
    H->Tick();
    EXPECT_EQ(E().MenuItem, 4);
    H->Press(38);  // Up
    H->Press(13);  // Enter
    H->Steps();
    EXPECT_EQ(E().GameMode, gmInstructions);
    EXPECT_EQ(InstructionsPage, 1);
}

TEST_F(MainMenuInTheEngine, StartGameOpensTheLevelPickAndExitFadesOut)
{
    E().OpenMenu();
    H->Tick();
    H->Press(13);
    H->Tick();
    EXPECT_EQ(E().GameMode, gmLevelPick);
    E().OpenMenu();
    H->Tick();
    H->Press(38);  // Up from 1: the last item
    H->Tick();
    EXPECT_EQ(E().MenuItem, 5);
    H->Press(13);
    H->Tick();
    EXPECT_EQ(E().GameMode, gmTransition);
    EXPECT_EQ(E().TransitionTarget, gmExitProgram);
    EXPECT_TRUE(H->RunUntil(gmExitProgram, 40));
}

// Each way back to the game, 50 times over a running level: the mode stack is back at its
// depth and the snapshot is gone with the menu.
TEST_F(MainMenuInTheEngine, EveryWayBackLeavesTheOverlayBalanced)
{
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Left on 0", [this] { H->Press(37); }},
        {"Enter on 0", [this] { H->Press(13); }},
        {"click outside the box", [this] { Click(100, 200); }},
        {"Esc", [this] { H->Press(27); }},
    };
    for (const auto& [name, way] : ways) {
        SCOPED_TRACE(name);
        for (int round = 0; round < 50; ++round) {
            SCOPED_TRACE(round);
            ASSERT_NO_FATAL_FAILURE(Play());
            H->Pointer(-1000, -1000);
            H->Press(27);
            H->Tick();
            ASSERT_EQ(E().GameMode, gmMainMenu);
            ASSERT_EQ(E().ModeStackDepth, 1);
            ASSERT_EQ(E().MenuItem, 0);
            H->Tick(3);
            way();
            H->Tick();
            ASSERT_EQ(E().GameMode, gmPlaying);
            ASSERT_EQ(E().ModeStackDepth, 0);
            ASSERT_FALSE(E().OverlaySnapshotDib);
            H->Tick();
        }
    }
}

// Over a running game the option pages, the instructions and the level pick stay inside
// the overlay; coming back to the menu and then to the game pops the one pushed mode.
TEST_F(MainMenuInTheEngine, PagesStayInsideTheOverlay)
{
    ASSERT_NO_FATAL_FAILURE(Play());
    H->Press(27);
    H->Tick();
    for (int step = 0; step < 2; ++step) {
        H->Press(40);
        H->Tick();
    }
    ASSERT_EQ(E().MenuItem, 2);
    H->Press(39);  // Right on "OPTIONS"
    H->Tick();
    EXPECT_EQ(E().GameMode, gmOptions);
    EXPECT_EQ(E().ModeStackDepth, 1);
    H->Press(27);  // back to the menu
    H->Tick();
    EXPECT_EQ(E().GameMode, gmMainMenu);
    EXPECT_EQ(E().ModeStackDepth, 1);
    H->Press(27);  // back to the game
    H->Tick();
    EXPECT_EQ(E().GameMode, gmPlaying);
    EXPECT_EQ(E().ModeStackDepth, 0);
    EXPECT_FALSE(E().OverlaySnapshotDib);
}

// ---- the painter

class MainMenuPictures : public SlabTest {
protected:
    void SetUp() override
    {
        SlabTest::SetUp();
        AddPackage(ScratchProgramDir::BuiltPackage());
        DisplayBrightness = 1.1f;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
        Is565 = true;
        SetRandomSeed(1);
    }
    void TearDown() override
    {
        engine.OverlaySnapshotDib.reset();
        MainMenuItems[1] = "START GAME";
        FreeFontGraphicsData();
        SlabTest::TearDown();
    }
    void LoadGraphics()
    {
        LoadFontGraphicsData();
        LoadSlabDialogGraphicsData();
    }
    // The backdrop of a menu without a game: black.
    void BlackBackdrop()
    {
        engine.GameRunning = false;
        engine.OverlaySnapshotDib = engine_parts::NewFrameSizedDib();
        engine.OverlaySnapshotDib->Fill(PixelBlack);
    }
    // The game behind the menu at half light: the side panel and a level's background.
    void GameBackdrop()
    {
        engine.GameRunning = true;
        engine.OverlaySnapshotDib = engine_parts::NewFrameSizedDib();
        tDib16& backdrop = *engine.OverlaySnapshotDib;
        backdrop.Fill(PixelBlack);
        backdrop.BlitFrom(*FindOrLoadDib("SidePanel.jpg", true), 0, 0, 128, 480, 0, 0);
        backdrop.BlitFrom(*FindOrLoadDib("Morrowfinch.jpg", true), 0, 0, 512, 480, 128, 0);
        backdrop.HalveLight();
    }
    // The frame the engine draws in the menu's mode, right after entering it.
    void Draw()
    {
        engine.GameMode = gmMainMenu;
        engine.InputAllowed = false;  // no mouse cursor in the pictures
        engine.FullRedraw = true;
        engine.DrawFrame();
    }
    void ExpectAsRecorded(const std::string& name)
    {
        const TBitmap picture = Dib16Picture(*Frame, TRect{0, 0, FrameWidth, FrameHeight});
        const std::string reference = std::string(TP_SOURCE_DIR) + "/tests/tesk/game/files/screens/" + name + ".png";
        const TPictureDifference d = CompareWithReference(picture, reference, 24);
        EXPECT_TRUE(d.SameSize) << "no reference picture of that size: " << reference;
        EXPECT_LT(d.Fraction(), 0.01) << name << ": " << d.Differing << " pixels differ (worst " << d.Worst << ")";
        if (!d.SameSize || d.Fraction() >= 0.01)
            SavePicturePng(picture, std::string(TP_BIN_DIR) + "/" + name + ".actual.png");
    }
    std::vector<uint16_t> Pixels(TRect r)
    {
        std::vector<uint16_t> out;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                out.push_back(Frame->ScanLine(y)[x]);
        return out;
    }
    // The smallest rectangle holding every pixel unlike `fill` (empty when none).
    TRect Changed(uint16_t fill)
    {
        TRect r{FrameWidth, FrameHeight, 0, 0};
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x)
                if (Frame->ScanLine(y)[x] != fill) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }
};

TEST_F(MainMenuPictures, WithoutAGameStartGameGlowsFully)
{
    LoadGraphics();
    BlackBackdrop();
    engine.MenuItem = 1;
    engine.MenuItemGlow = {0, 800, 0, 0, 0, 0};
    Draw();
    ExpectAsRecorded("main_menu");
}

TEST_F(MainMenuPictures, OverARunningGameBackToGameAndOptionsWithTheirMarks)
{
    LoadGraphics();
    GameBackdrop();
    // The clip a frame of play leaves: the slab still shows its left rim over the panel.
    Frame->ClipRect = TRect{128, 0, FrameWidth, FrameHeight};
    MainMenuItems[1] = "PICK A LEVEL";
    engine.MenuItem = 2;
    engine.MenuItemGlow = {0, 0, 800, 0, 0, 0};
    Draw();
    ExpectAsRecorded("main_menu_over_game");
}

// The slab sits centred; without a game nothing is drawn on row 0, with one the caption
// and its "<" are.
TEST_F(MainMenuPictures, TheSlabIsCentredAndRowZeroShowsOnlyWithAGame)
{
    WriteSlabPictures();
    LoadGraphics();
    const uint16_t fill = RGBToPixel(10, 20, 30);
    Frame->Fill(fill);
    // Over the side panel's edge too, whatever the playfield's clip; the clip stays.
    const TRect playfield{128, 0, FrameWidth, FrameHeight};
    Frame->ClipRect = playfield;
    engine.GameRunning = false;
    MainMenuItems = {"", "", "", "", "", ""};
    engine.DrawMainMenu();
    EXPECT_EQ(Changed(fill), (TRect{124, 57, 516, 423}));
    // Row 0's letters lie in y 130..167; row 1's start at 168.
    const TRect row0{124, 130, 516, 166};
    const TRect backMark{150, 130, 190, 166};
    const std::vector<uint16_t> slabOnly = Pixels(row0);
    const std::vector<uint16_t> slabUnderMark = Pixels(backMark);
    MainMenuItems = {"BACK TO GAME", "START GAME", "OPTIONS", "INSTRUCTIONS", "HELP PAGE", "EXIT PROGRAM"};
    engine.DrawMainMenu();
    EXPECT_EQ(Pixels(row0), slabOnly);
    engine.GameRunning = true;
    engine.DrawMainMenu();
    EXPECT_NE(Pixels(backMark), slabUnderMark);
    // Everything stays on the slab.
    EXPECT_EQ(Changed(fill), (TRect{124, 57, 516, 423}));
    EXPECT_EQ(Frame->ClipRect, playfield);
}

// A picture that fails to load while the menu is drawn: the error leaves DrawFrame for
// the tick's handler, the frame stays the drawing target with its clip rectangle, and
// once the picture is back the next frame draws the menu.
TEST_F(MainMenuPictures, APictureFailingToLoadRaisesAndTheNextFrameDraws)
{
    LoadGraphics();
    // The glow sheet, loaded again on its next use, is damaged meanwhile.
    FindDib("MenuFontGlow.Jpg")->Unload();
    Dir.Write("MenuFontGlow.Jpg", "not a picture");
    BlackBackdrop();
    engine.MenuItemGlow = {0, 800, 0, 0, 0, 0};
    // The playfield's clip, as a frame of play leaves it.
    const TRect clip{128, 0, FrameWidth, FrameHeight};
    Frame->ClipRect = clip;
    EXPECT_ANY_THROW(Draw());
    EXPECT_EQ(CurrentDib, Frame.get());
    EXPECT_EQ(DibStackDepthUsed(), 0);
    EXPECT_EQ(Frame->ClipRect, clip);
    EXPECT_NO_THROW({
        Frame->GetDC();
        Frame->ReleaseDC();
    });

    std::remove((Dir.Path() + "/MenuFontGlow.Jpg").c_str());
    Frame->Fill(PixelBlack);
    EXPECT_NO_THROW(Draw());
    ExpectAsRecorded("main_menu");
    EXPECT_EQ(Frame->ClipRect, clip);
}

} // namespace
