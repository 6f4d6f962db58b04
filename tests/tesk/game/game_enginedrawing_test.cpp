// The game screen: the level start, incremental frames against full redraws, the mouse
// and its cursor, the edit view, and pictures that are missing, small or out of place.
#include <filesystem>

#include "tests/tesk/game/EngineHarness.h"

namespace {

// A unit painted into the background picture.
class tDeco : public tUnit {
    TP_CLASS(tDeco)
public:
    tDeco() { Sprite = &harness::GemSprite(); }
    bool PartOfBackground() const override { return true; }
};
TP_CLASS_INFO(tDeco, tUnit)

// A unit whose picture raises when drawn (as a picture missing on first use does).
class tFailing : public tUnit {
    TP_CLASS(tFailing)
public:
    bool PartOfBackground() const override { return Background; }
    void Draw() override
    {
        if (Fail)
            throw EFileMissing("File Missing 'Gone.jpg'.");
    }
    static inline bool Fail = false;
    static inline bool Background = false;
};
TP_CLASS_INFO(tFailing, tUnit)

class EngineDrawing : public ::testing::Test {
protected:
    void Start(tHarnessOptions options = {}, std::function<void(tLevelText&)> change = {})
    {
        H = std::make_unique<tEngineHarness>(std::move(options));
        RegisterUnitKind("Deco", tDeco::StaticClass(), nullptr);
        RegisterUnitKind("Failing", tFailing::StaticClass(), nullptr);
        tLevelText level;
        level.Unit("Player", 3, 3).Unit("Exit", 12, 12).Unit("Deco", 6, 6);
        for (int y = 2; y <= 12; y += 2)
            level.Unit("Bouncer", 1 + y / 2, y, {y % 4 ? "InitialDirection = Right" : "InitialDirection = Left"});
        for (int x = 1; x < 15; ++x)
            level.Overlay[{x, 4}] = 0x11;
        level.Overlay[{6, 6}] = 0x12;
        if (change)
            change(level);
        H->WriteLoose("Levels/One.map", level.Text());
        H->WriteSet("Test.set", {"Level Levels\\One.map"});
        H->E().LoadLevelSet("Test.set");
    }
    void TearDown() override { H.reset(); }
    tGameEngine& E() { return H->E(); }
    // The playfield as a full redraw of the present state draws it.
    std::vector<uint16_t> FullRedrawPlayfield()
    {
        tDib16 reference(FrameWidth, FrameHeight);
        reference.ClipRect = TRect{0, 0, FrameWidth, FrameHeight};
        reference.SetUseCoverMask(true);
        reference.CoverMask = H->Frame->CoverMask;
        {
            tDibTarget target(&reference);
            E().RedrawAll();
        }
        std::vector<uint16_t> out;
        for (int y = 0; y < FrameHeight; ++y)
            out.insert(out.end(), reference.ScanLine(y) + 128, reference.ScanLine(y) + FrameWidth);
        return out;
    }
    std::unique_ptr<tEngineHarness> H;
};

TEST_F(EngineDrawing, TheLevelStartSlidesTheRowsIn)
{
    Start();
    E().GoToSetEntry(0);
    ASSERT_EQ(E().GameMode, gmLevelStart);
    H->Steps(1);
    ASSERT_NE(E().LevelStartDib, nullptr);
    // A picture whose pixel value is its column, so the copied columns show.
    tDib16& picture = *E().LevelStartDib;
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            picture.ScanLine(y)[x] = static_cast<uint16_t>(x + 1);
    const struct {
        int32_t t, row, shown;
        bool fromRight;
    } cases[] = {{1, 1, 20, true}, {1, 5, 0, true}, {3, 5, 500, true}, {5, 9, 553, true},
                 {1, 478, 20, false}, {65, 0, 340, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.t * 1000 + c.row);
        H->Frame->Fill(PixelBlack);
        E().LevelStartTicks = c.t;
        E().DrawLevelStart();
        const uint16_t* row = H->Frame->ScanLine(c.row);
        int shown = 0;
        for (int x = 0; x < FrameWidth; ++x)
            shown += row[x] != PixelBlack;
        EXPECT_EQ(shown, c.shown);
        if (c.shown > 0 && c.fromRight) {
            EXPECT_EQ(row[FrameWidth - c.shown], 1);  // the picture's column 0 ...
            EXPECT_EQ(row[FrameWidth - 1], c.shown);  // ... to column shown - 1
        } else if (c.shown > 0) {
            EXPECT_EQ(row[0], FrameWidth - c.shown + 1);
            EXPECT_EQ(row[c.shown - 1], FrameWidth);
        }
    }
}

TEST_F(EngineDrawing, TheLevelStartLastsAHundredAndOneTicksFromABlackFrame)
{
    Start();
    H->Frame->Fill(RGBToPixel(200, 0, 0));
    E().GoToSetEntry(0);
    H->Tick(1);
    // The first frame: black but for the rows already sliding in.
    int lit = 0;
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            lit += H->FramePixel(x, y) != PixelBlack;
    EXPECT_LT(lit, 20 * 8);
    for (int tick = 2; tick <= 100; ++tick) {
        H->Tick(1);
        ASSERT_EQ(E().GameMode, gmLevelStart) << tick;
    }
    H->Tick(1);
    EXPECT_EQ(E().GameMode, gmPlaying);
    EXPECT_EQ(E().LevelStartDib, nullptr);
    EXPECT_EQ(E().TickCount, 0);
    EXPECT_EQ(E().LevelTicks, 0);
    EXPECT_EQ(E().FrameCount, 1);  // the frame drawn after the step
}

// Every tick's frame equals a full redraw of the same state: units under the overlay,
// units painted into the background, dirty rectangles, touched rows and the edit view.
TEST_F(EngineDrawing, IncrementalFramesEqualAFullRedraw)
{
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(variant);
        tHarnessOptions options;
        options.RecordDirtyRects = variant != 1;
        Start(options);
        H->StartEntry(0);
        if (variant == 2)
            E().SetEditMode(true);
        H->KeyDown(39);
        for (int tick = 0; tick < 200; ++tick) {
            if (tick == 100)
                H->KeyUp(39);
            H->Tick(1);
            const std::vector<uint16_t> incremental = H->Playfield();
            ASSERT_TRUE(incremental == FullRedrawPlayfield()) << "tick " << tick;
        }
        TearDown();
    }
}

TEST_F(EngineDrawing, SidePanelSpritesWhileRecordingKeepThePlayfieldWhole)
{
    Start();
    H->StartEntry(0);
    for (int tick = 0; tick < 30; ++tick) {
        // Something drawn in the side panel strip while rectangles are recorded.
        H->Frame->ClipRect = TRect{0, 0, FrameWidth, FrameHeight};
        harness::GemSprite().Draw(40 + tick, 200);
        H->Tick(1);
        ASSERT_TRUE(H->Playfield() == FullRedrawPlayfield()) << tick;
    }
}

TEST_F(EngineDrawing, TheMouseMapsAStretchedWindowToTheFrame)
{
    Start();
    H->StartEntry(0);
    H->Form->SetClientWidth(1280);
    H->Form->SetClientHeight(960);
    H->Pointer(1279, 959);
    E().UpdateMousePosition();
    EXPECT_EQ(E().MouseX, 639);
    EXPECT_EQ(E().MouseY, 479);
    EXPECT_TRUE(E().MouseMoved);
    E().UpdateMousePosition();
    EXPECT_FALSE(E().MouseMoved);
    // No client area: the position stays, no cell is under it.
    H->Form->SetClientHeight(0);
    H->Pointer(20, 20);
    E().MouseCellX = E().MouseCellY = 3;
    EXPECT_NO_THROW(H->Tick(3));
    EXPECT_EQ(E().MouseX, 639);
    EXPECT_EQ(E().MouseY, 479);
    EXPECT_EQ(E().MouseCellX, -1);
    EXPECT_EQ(E().MouseCellY, -1);
}

TEST_F(EngineDrawing, TheCursorIsSavedAndErasedExactlyInsideTheFrame)
{
    Start();
    H->StartEntry(0);
    const std::vector<TPoint> places = {{0, 0},     {639, 479}, {-5, 200}, {645, 200}, {300, -7},
                                        {300, 490}, {-40, -40}, {700, 600}, {320, 240}, {2, 478}};
    for (const TPoint p : places) {
        SCOPED_TRACE(p.X * 10000 + p.Y);
        H->Pointer(p.X, p.Y);
        H->Tick(1);
        // Erasing gives back the frame as it was before the cursor was drawn.
        const TBitmap before = H->FramePicture();
        ASSERT_TRUE(E().CursorDrawn);
        E().EraseMouseCursor();
        E().DrawMouseCursor();
        E().EraseMouseCursor();
        const TBitmap erased = H->FramePicture();
        E().DrawMouseCursor();
        EXPECT_EQ(E().CursorSaveX, E().MouseX - 14);
        EXPECT_EQ(E().CursorSaveY, E().MouseY - 12);
        EXPECT_EQ(ComparePictures(before, H->FramePicture(), 0).Differing, 0);
        (void)erased;
        // The cursor never enters the dirty list.
        for (int i = 0; i < H->Frame->DirtyRectCount; ++i) {
            const TRect r = H->Frame->DirtyRects[static_cast<size_t>(i)];
            EXPECT_FALSE(r.Left == E().MouseX - 12 && r.Top == E().MouseY - 10);
        }
    }
    // Inside the frame the erased cursor leaves the frame as a full redraw draws it.
    H->Pointer(320, 240);
    H->Tick(1);
    E().EraseMouseCursor();
    EXPECT_TRUE(H->Playfield() == FullRedrawPlayfield());
}

TEST_F(EngineDrawing, TheEditViewShowsTheBareBackgroundWithTheTilesDrawnLive)
{
    Start();
    H->StartEntry(0);
    // A unit held away from its initial cell is found there while editing, by the engine
    // and by the units' own lookup alike, and only then.
    tUnit* hero = E().Level.Player;
    ASSERT_NE(hero, nullptr);
    hero->Held = true;
    EXPECT_EQ(UnitAtCell(hero->InitialX, hero->InitialY), nullptr);
    E().SetEditMode(true);
    EXPECT_TRUE(FindUnitsAtInitialCells());
    EXPECT_EQ(UnitAtCell(hero->InitialX, hero->InitialY), hero);
    EXPECT_EQ(E().UnitAtCell(hero->InitialX, hero->InitialY), hero);
    hero->Held = false;
    // The background is the bare picture again.
    tDib16& back = *E().BackgroundDib;
    int bare = 0;
    for (int y = 40; y < 440; y += 40)
        bare += back.ScanLine(y)[200] == RGBToPixel(0, 0, 0) ? 0 : 1;
    EXPECT_GT(bare, 0);
    // The cell frame in the marking colour and the cursor unit.
    E().EditorVisible = true;
    E().MouseCellX = 5;
    E().MouseCellY = 5;
    E().FullRedraw = true;
    H->Tick(1);
    EXPECT_EQ(H->FramePixel(128 + 5 * 32, 5 * 32), ColorToPixel(EditorCursorColor));
    EXPECT_EQ(H->FramePixel(128 + 5 * 32 + 31, 5 * 32 + 31), ColorToPixel(EditorCursorColor));
    E().SetEditMode(false);
    EXPECT_FALSE(FindUnitsAtInitialCells());
}

TEST_F(EngineDrawing, ABackgroundSmallerThanThePlayfieldLeavesTheRestBlack)
{
    // A 100 x 100 picture as tile set, overlay and background.
    tHarnessOptions options;
    options.Files["Small.jpg"] = MakeJpegFile(100, 100, [](int, int) { return TColor(0x808080); });
    Start(options, [](tLevelText& level) {
        level.Background = level.TileSet = level.OverlayTileSet = "Small.jpg";
        level.BaseTiles[{1, 1}] = 1;
        level.Overlay[{1, 1}] = 1;
    });
    H->StartEntry(0);
    H->KeyDown(40);
    for (int tick = 0; tick < 100; ++tick) {
        H->Tick(1);
        ASSERT_EQ(H->FramePixel(128 + 300, 300), PixelBlack) << tick;
        ASSERT_EQ(H->FramePixel(639, 479), PixelBlack) << tick;
    }
    EXPECT_TRUE(H->Playfield() == FullRedrawPlayfield());
}

TEST_F(EngineDrawing, AMissingBackgroundLeavesNoDanglingPicture)
{
    Start({}, [](tLevelText& level) { level.Background = "Missing.jpg"; });
    H->Frame->Fill(RGBToPixel(255, 255, 255));
    E().GoToSetEntry(0);
    EXPECT_EQ(E().BackgroundDib, nullptr);
    EXPECT_FALSE(E().GameRunning);
    EXPECT_EQ(E().GameMode, gmTransition);
    EXPECT_EQ(E().TransitionTarget, gmLevelPick);
    EXPECT_NE(TakeReportedProblems(), std::vector<std::string>{});
    E().FullRedraw = true;
    E().DrawGameScreen();
    EXPECT_EQ(H->FramePixel(300, 300), PixelBlack);
}

// A picture that fails to load inside a drawing pair (here: a unit whose picture is
// gone) leaves the frame the drawing target, the playfield offset and the pre-drawing
// flag as they were.
TEST_F(EngineDrawing, APictureFailingInsideADrawingPairKeepsTheFrameTheTarget)
{
    Start({}, [](tLevelText& level) { level.Unit("Failing", 9, 9); });
    H->StartEntry(0);
    tFailing::Fail = true;
    for (const bool background : {true, false}) {
        SCOPED_TRACE(background);
        tFailing::Background = background;
        E().FullRedraw = true;
        if (background) {
            EXPECT_THROW(E().SetBackground(E().Level.Background), Exception);
        } else {
            E().RestartLevel(false);
            EXPECT_THROW(H->Steps(1), Exception);
        }
        EXPECT_EQ(CurrentDib, H->Frame.get());
        EXPECT_EQ(DibStackDepthUsed(), 0);
        EXPECT_EQ(PlayfieldX, 128);
        EXPECT_FALSE(E().PreDrawingBackground);
        EXPECT_FALSE(EngineBusy());
    }
    tFailing::Fail = false;
    tFailing::Background = false;
    E().SetBackground(E().Level.Background);
    E().RestartLevel(false);
    EXPECT_TRUE(H->RunUntil(gmPlaying, 200));
}

TEST_F(EngineDrawing, MusicThatIsMissingCorruptOrNamedEmptyLeavesNoModule)
{
    tHarnessOptions options;
    options.Files["Music/Broken.xm"] = "Extended Module: not really";
    options.Files["Music/Empty.xm"] = "";
    Start(options);
    for (const std::string name : {"Missing.xm", "Broken.xm", "Empty.xm", "../x.xm", ""}) {
        SCOPED_TRACE(name);
        E().SetMusic(name);
        EXPECT_EQ(E().MusicModule, nullptr);
        EXPECT_EQ(E().MusicName, "");
    }
    // A folder entry named like the music folder is no module either.
    E().SetMusic("");
    EXPECT_EQ(E().MusicModule, nullptr);
}

TEST_F(EngineDrawing, ARestartDuringAnEarlyMoveStartsWithoutIt)
{
    Start();
    H->StartEntry(0);
    while (TickInTurn != 4)
        H->Steps(1);
    H->Press(40);
    H->Steps(1);
    ASSERT_TRUE(E().LookAheadActive);
    // F6: the hero asks for the restart (its reset warp ends in RestartLevel).
    E().RestartLevel(true);
    EXPECT_FALSE(E().LookAheadActive);
    EXPECT_EQ(LookAheadTicks, 0);
    EXPECT_EQ(E().Input, &E().LiveInput);
    ASSERT_TRUE(H->RunUntil(gmPlaying, 200));
    EXPECT_FALSE(E().LookAheadActive);
}

TEST_F(EngineDrawing, TheEngineGoesCleanlyAfterTheRegistryWasFreed)
{
    for (int way = 0; way < 2; ++way) {
        Start();
        H->StartEntry(0);
        if (way == 0)
            E().BackgroundDib = nullptr;
        FreeAllDibs();
        H->EngineObject.reset();
        Engine = nullptr;
        TearDown();
    }
}

// One reference picture: the playfield of a fixture level with the real tile sets,
// background and overlay and the test units, 30 ticks into play.
TEST_F(EngineDrawing, LooksAsRecordedWithTheRealArt)
{
    tHarnessOptions options;
    options.RealArt = true;
    Start(options, [](tLevelText& level) {
        level.Background = "Morrowfinch.jpg";
        level.TileSet = "BasicTiles.jpg";
        level.OverlayTileSet = "BasicOverlay.jpg";
        for (int x = 1; x < 15; ++x)
            level.BaseTiles[{x, 9}] = 0x91;
        level.Solid = {{7, 7}, {8, 7}};
    });
    H->StartEntry(0);
    H->KeyDown(40);
    H->Tick(30);
    const TBitmap picture = H->FramePicture(TRect{128, 0, FrameWidth, FrameHeight});
    const std::string reference = std::string(TP_SOURCE_DIR) + "/tests/tesk/game/files/engine_playfield.png";
    const TPictureDifference d = CompareWithReference(picture, reference, 8);
    ASSERT_TRUE(d.SameSize) << "no reference picture " << reference;
    EXPECT_LT(d.Fraction(), 0.002) << d.Differing << " pixels differ (worst " << d.Worst << ")";
    if (d.Fraction() >= 0.002)
        SavePicturePng(picture, std::string(TP_BIN_DIR) + "/engine_playfield.actual.png");
}

} // namespace
