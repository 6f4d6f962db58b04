// Tile sets and the level's drawing: tile layers, overlay and cover mask, units by layer
// with their flags, background units, solid marks and the cursor sprite.
#include <optional>

#include "tests/tesk/toolkit/GraphicsFixture.h"

#include "tesk/game/Levels.h"
#include "tesk/game/Tiles.h"
#include "tests/support/TestGameLevel.h"

namespace {

constexpr uint16_t Key = 0xF81F;

// The picture value of tile i: i + 1 (never the key colour).
uint16_t TilePixel(int32_t i) { return static_cast<uint16_t>(i + 1); }

class tPainted : public tUnit {
    TP_CLASS(tPainted)
public:
    bool PartOfBackground() const override { return Background; }
    bool Background = false;
};

class LevelDrawingTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        PlayfieldX = 128;
        useLevel.emplace(level);
        tDib16* sheet = Sheet("Tiles.jpg", 512, 512);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                sheet->ScanLine(y)[x] = TilePixel(64 * (x / 128) + 4 * (y / 32) + (x % 128) / 32);
        tDib16* units = Sheet("Units.jpg", 64, 32);
        FillAll(*units, Key);
        for (int y = 8; y < 24; ++y)
            for (int x = 8; x < 24; ++x) {
                units->ScanLine(y)[x] = 0x1111;
                units->ScanLine(y)[x + 32] = 0x2222;
            }
        for (int i = 0; i < 2; ++i) {
            Pictures[i].SetFrame("Units.jpg", 32 * i, 0, 32, 32);
        }
        Frame = std::make_unique<tDib16>(640, 480);
        FillAll(*Frame, 0);
        Frame->SetUseCoverMask(true);
        Frame->ClipRect = TRect{0, 0, 640, 480};
        CurrentDib = Frame.get();
        CreateTileSprites();
    }
    void TearDown() override
    {
        FreeTileSprites();
        useLevel.reset();
        Frame.reset();
        GraphicsTest::TearDown();
    }
    tDib16* Sheet(const std::string& name, int w, int h)
    {
        tDib16* d = tDib16::CreateNamed(name, false);
        d->SetWidth(w);
        d->SetHeight(h);
        d->CreateSurface();
        d->ClipRect = TRect{0, 0, w, h};
        d->Loaded = true;
        return d;
    }
    // The frame pixel at the centre of a playfield cell.
    uint16_t CellPixel(int x, int y, int dx = 16, int dy = 16) { return Frame->ScanLine(y * 32 + dy)[PlayfieldX + x * 32 + dx]; }
    tPainted* Put(int x, int y, int picture, uint8_t layer = 1)
    {
        auto u = std::make_unique<tPainted>();
        u->SetInitialX(x);
        u->SetInitialY(y);
        u->DrawLayer = layer;
        u->Sprite = &Pictures[picture];
        u->Reset();
        return static_cast<tPainted*>(level.AddUnit(std::move(u)));
    }

    std::array<tSprite, 2> Pictures;
    std::unique_ptr<tDib16> Frame;
    tLevel level;
    std::optional<TestGameLevel> useLevel;
};

}  // namespace

TP_CLASS_INFO(tPainted, tUnit)

namespace {

TEST_F(LevelDrawingTest, TileIndexesMapToFourStripsOfSixtyFour)
{
    struct Case {
        int32_t index;
        TPoint origin;
    };
    for (const Case& c : {Case{0, {0, 0}}, Case{3, {96, 0}}, Case{4, {0, 32}}, Case{63, {96, 480}}, Case{64, {128, 0}},
                          Case{130, {256 + 64, 0}}, Case{255, {480, 480}}}) {
        EXPECT_EQ(TileFrameOrigin(c.index), c.origin) << c.index;
    }
    LoadTileSet("tiles.JPG");
    EXPECT_EQ(TileSetName, "tiles.JPG");
    EXPECT_EQ(TileSprites[130].SrcX, 320);
    EXPECT_EQ(TileSprites[130].HotSpotX, 0);
    EXPECT_EQ(TileSprites[130].Width, 32);
    EXPECT_NE(TileSprites[130].Source, nullptr);
}

TEST_F(LevelDrawingTest, TileLayersDrawLowerBaseUpperAndSkipZero)
{
    LoadTileSet("Tiles.jpg");
    level.Cell(0, 0) = tCell{0, 5, 0, 0, 0};
    level.Cell(3, 2) = tCell{1, 5, 6, 0, 0};
    level.Cell(15, 14) = tCell{0, 5, 6, 255, 0};
    level.DrawTiles(PlayfieldX);
    EXPECT_EQ(CellPixel(0, 0), TilePixel(5));
    EXPECT_EQ(CellPixel(3, 2), TilePixel(6));
    EXPECT_EQ(CellPixel(15, 14, 31, 31), TilePixel(255));
    EXPECT_EQ(CellPixel(1, 0), 0);  // no tile
    EXPECT_EQ(Frame->ScanLine(0)[127], 0);
}

TEST_F(LevelDrawingTest, OverlayDrawsUncoveredAndMarksTheCoverMask)
{
    LoadOverlayTileSet("Tiles.jpg");
    EXPECT_EQ(OverlaySetName, "Tiles.jpg");
    level.Cell(2, 2).OverlayTile = 9;
    Frame->CoverMaskActive = true;
    Frame->ClearCoverMask();
    level.DrawOverlayToCoverMask(PlayfieldX);
    EXPECT_EQ(Frame->CoverMask[static_cast<size_t>(80 * 640 + PlayfieldX + 80)], 1);
    EXPECT_EQ(Frame->CoverMask[static_cast<size_t>(80 * 640 + PlayfieldX + 112)], 0);
    // The overlay itself draws over covered pixels; covered drawing is back on after.
    level.DrawOverlay(PlayfieldX);
    EXPECT_EQ(CellPixel(2, 2), TilePixel(9));
    EXPECT_TRUE(Frame->CoverMaskActive);
}

TEST_F(LevelDrawingTest, UnitsDrawByLayerSkippingDeadAndHeldAndClippedToThePlayfield)
{
    tPainted* over = Put(1, 1, 1, 2);
    Put(1, 1, 0, 1);
    tPainted* dead = Put(4, 1, 0);
    tPainted* held = Put(5, 1, 0);
    tPainted* left = Put(0, 3, 0);
    dead->Dead = true;
    held->Held = true;
    left->X = -0.5f;  // half in the side panel
    level.DrawUnits();
    EXPECT_EQ(CellPixel(1, 1), 0x2222);  // the higher layer last
    EXPECT_EQ(CellPixel(4, 1), 0);
    EXPECT_EQ(CellPixel(5, 1), 0);
    EXPECT_EQ(Frame->ScanLine(3 * 32 + 16)[PlayfieldX + 4], 0x1111);
    EXPECT_EQ(Frame->ScanLine(3 * 32 + 16)[PlayfieldX - 4], 0);  // clipped
    EXPECT_EQ(Frame->ClipRect, (TRect{PlayfieldX, 0, 640, 480}));

    // The editor view draws every unit at its initial cell.
    FillAll(*Frame, 0);
    over->X = 9;
    level.DrawUnitsAtInitialCells();
    EXPECT_EQ(CellPixel(1, 1), 0x2222);
    EXPECT_EQ(CellPixel(4, 1), 0x1111);
    EXPECT_EQ(CellPixel(5, 1), 0x1111);
    EXPECT_EQ(CellPixel(9, 1), 0);
}

TEST_F(LevelDrawingTest, BackgroundUnitsDrawAtOffsetZero)
{
    tPainted* bg = Put(2, 0, 0);
    Put(3, 0, 1);
    bg->Background = true;
    level.DrawBackgroundUnits();
    EXPECT_EQ(PlayfieldX, 128);
    EXPECT_EQ(Frame->ScanLine(16)[2 * 32 + 16], 0x1111);
    EXPECT_EQ(Frame->ScanLine(16)[3 * 32 + 16], 0);
    EXPECT_EQ(CellPixel(2, 0), 0);
}

TEST_F(LevelDrawingTest, StaticPicturesAreRecordedOnlyWhileMoving)
{
    tPainted* u = Put(2, 2, 0);
    u->StaticSprite = true;
    Frame->RecordDirtyRects = true;
    level.DrawUnits();
    EXPECT_EQ(Frame->DirtyRectCount, 0);
    u->Moving = true;
    level.DrawUnits();
    EXPECT_EQ(Frame->DirtyRectCount, 1);
    u->StaticSprite = false;
    u->Moving = false;
    level.DrawUnits();
    EXPECT_EQ(Frame->DirtyRectCount, 2);
    EXPECT_FALSE(Frame->DirtyRectsSuspended);
}

TEST_F(LevelDrawingTest, SolidMarksAddGreenToSolidCells)
{
    level.Cell(4, 4).Solid = 1;
    level.DrawSolidMarks();
    EXPECT_EQ(CellPixel(4, 4), RGBToPixel(20, 50, 20));
    EXPECT_EQ(CellPixel(4, 5), 0);
}

TEST_F(LevelDrawingTest, RestartAppliesTheWaterTintAndTheCursorSpriteIsCut)
{
    level.WaterTint = 0x123456;
    level.Restart();
    EXPECT_EQ(GetWaterTint(), 0x123456);
    InitGameEngineData();
    ASSERT_NE(CursorSprite, nullptr);
    EXPECT_EQ(CursorSprite->SrcX, 32);
    EXPECT_EQ(CursorSprite->SrcY, 192);
    EXPECT_EQ(CursorSprite->HotSpotX, 2);
    EXPECT_EQ(CursorSprite->Source, FindDib("BaseGfx.jpg"));
    FreeGameEngineData();
    EXPECT_EQ(CursorSprite, nullptr);
}

TEST_F(LevelDrawingTest, NothingIsDrawnWithoutATarget)
{
    CurrentDib = nullptr;
    Put(1, 1, 0);
    level.Cell(1, 1).Solid = 1;
    level.DrawTiles(0);
    level.DrawOverlay(0);
    level.DrawUnits();
    level.DrawSolidMarks();
    EXPECT_EQ(CellPixel(1, 1), 0);
}

}  // namespace
