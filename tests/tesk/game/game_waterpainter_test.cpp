// The water painter: the grey map read from its picture, template positions, which cells
// can be composed for unusual map and template sizes, and the composed pixels with
// clipping, the cover mask and the kept copy.
#include "tests/tesk/toolkit/GraphicsFixture.h"

#include "tesk/game/WaterPainter.h"

namespace {

constexpr uint16_t Key = 0xF81F;
constexpr uint16_t Blue = 0x001F;

std::string GreyJpeg(int w, int h, const std::function<TColor(int, int)>& colour)
{
    TBitmap b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelColor(x, y, colour(x, y));
    return EncodeJpeg(b, {100});
}

// A noisy grey map: blue levels that differ from pixel to pixel.
TColor Noise(int x, int y)
{
    const int v = (x * 37 + y * 11 + (x * y) % 23) % 200 + 20;
    return RGB(v, v, v);
}

class WaterPainterTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        Frame = std::make_unique<tDib16>(640, 480);
        FillAll(*Frame, 0x1234);
        Frame->ClipRect = TRect{0, 0, 640, 480};
        CurrentDib = Frame.get();
        SetWaterTint(0x806040);
    }
    void TearDown() override
    {
        WaterGreyMap.Clear();
        Frame.reset();
        GraphicsTest::TearDown();
    }
    void LoadMap(int w, int h, const std::function<TColor(int, int)>& colour = Noise)
    {
        Dir.Write("WaterBW.jpg", GreyJpeg(w, h, colour));
        WaterGreyMap.Load("WaterBW.jpg");
    }
    // A template picture of one 128 x 128 block whose every pixel comes from `pixel`.
    tDib16& Templates(uint16_t (*pixel)(int x, int y), int w = 512, int h = 128)
    {
        tDib16* d = tDib16::CreateNamed("WaterTemplates.jpg", false);
        d->SetWidth(w);
        d->SetHeight(h);
        d->CreateSurface();
        d->ClipRect = TRect{0, 0, w, h};
        d->Loaded = true;
        FillWith(*d, pixel);
        return *d;
    }
    uint16_t At(int x, int y) { return Frame->ScanLine(y)[x]; }
    // The water pixel the painter must make for cell pixel (c, r) at tick t.
    uint16_t Expected(int cellX, int cellY, int c, int r, int t)
    {
        const int w = WaterGreyMap.Width(), h = WaterGreyMap.FrameHeight();
        const int gx = cellX * 32 % w, gy = cellY * 32 % h, gx3 = (gx + w / 2) % w;
        const int p1 = t / 13 % 30, p2 = (t + 6) / 13 % 30, p3 = (t + 6) / 12 % 30, p4 = t / 12 % 30;
        const int g = WaterGreyMap.Row(gy + h * p1 + r)[gx + c] + WaterGreyMap.Row(gy + h * p2 + r)[gx + c] +
                      WaterGreyMap.Row(h * p3 + h - 1 - gy - r)[gx3 + c] +
                      WaterGreyMap.Row(h * p4 + h - 1 - gy - r)[gx3 + c];
        return WaterRamp[static_cast<size_t>(g)];
    }

    std::unique_ptr<tDib16> Frame;
};

TEST_F(WaterPainterTest, GreyMapHoldsTheBlueLevelOfEveryPixel)
{
    // Blue, green and red levels differ; the left half and the right half differ too.
    LoadMap(64, 90, [](int x, int) { return x < 32 ? RGB(200, 120, 40) : RGB(30, 90, 230); });
    ASSERT_FALSE(WaterGreyMap.Empty());
    EXPECT_EQ(WaterGreyMap.Width(), 64);
    EXPECT_EQ(WaterGreyMap.Height(), 90);
    EXPECT_EQ(WaterGreyMap.FrameHeight(), 3);
    EXPECT_EQ(WaterGreyMap.RowCount(), 90);
    for (int y : {0, 45, 89}) {
        EXPECT_NEAR(WaterGreyMap.Row(y)[5], 40, 4) << y;
        EXPECT_NEAR(WaterGreyMap.Row(y)[60], 230, 4) << y;
    }
}

TEST_F(WaterPainterTest, UnreadableGreyMapsFailAndLeaveTheMapEmpty)
{
    LoadMap(64, 64);
    for (const std::string& bytes : {std::string(), std::string("not a picture at all")}) {
        Dir.Write("WaterBW.jpg", bytes);
        EXPECT_ANY_THROW(WaterGreyMap.Load("WaterBW.jpg")) << bytes.size();
        EXPECT_TRUE(WaterGreyMap.Empty());
    }
    EXPECT_ANY_THROW(WaterGreyMap.Load("Missing.jpg"));
}

TEST_F(WaterPainterTest, TemplateOriginFollowsStyleAndOpenSides)
{
    EXPECT_EQ(WaterTemplateOrigin(0, 0), (TPoint{96, 96}));   // a lone cell
    EXPECT_EQ(WaterTemplateOrigin(0, 15), (TPoint{0, 0}));    // water on all sides
    EXPECT_EQ(WaterTemplateOrigin(3, 15), (TPoint{384, 0}));  // weSquare's block
    EXPECT_EQ(WaterTemplateOrigin(1, 1 | 4), (TPoint{128 + 64, 64}));
    EXPECT_EQ(WaterTemplateOrigin(2, 2 | 8), (TPoint{256 + 32, 32}));
}

TEST_F(WaterPainterTest, CellsAreComposedOnlyWhenEveryReadFits)
{
    const TPoint t0{0, 0};
    struct Case {
        int W, FrameH, CellX, CellY;
        bool Composed;
    } cases[] = {
        {256, 256, 0, 0, true},  {256, 256, 15, 14, true}, {256, 256, 7, 9, true},
        {20, 0, 0, 0, false},    {96, 30, 0, 0, false},    {64, 0, 1, 1, false},
        {96, 32, 0, 0, true},    {96, 32, 1, 0, false},    {96, 32, 2, 0, true},
        {100, 40, 0, 0, true},   {100, 40, 0, 1, false},   {100, 40, 3, 0, false},
        {256, 256, -1, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WaterCellComposable(c.CellX, c.CellY, c.W, c.FrameH, t0, 512, 128), c.Composed)
            << c.W << " x " << c.FrameH << " cell " << c.CellX << "," << c.CellY;
    // The template rectangle must lie inside the template picture.
    EXPECT_TRUE(WaterCellComposable(0, 0, 256, 256, {96, 96}, 128, 128));
    EXPECT_FALSE(WaterCellComposable(0, 0, 256, 256, {96, 96}, 100, 100));
    EXPECT_FALSE(WaterCellComposable(0, 0, 256, 256, {384, 0}, 400, 128));
}

TEST_F(WaterPainterTest, SmallMapsAndTemplatesComposeNothing)
{
    tDib16& templates = Templates([](int, int) { return Blue; }, 100, 100);
    for (auto [w, h] : {std::pair{20, 20}, {96, 900}, {64, 29}}) {
        LoadMap(w, h);
        tWaterPixels saved{};
        for (int cy = 0; cy < 15; ++cy)
            for (int cx = 0; cx < 16; ++cx)
                EXPECT_FALSE(ComposeWaterCell(*Frame, templates, {0, 0}, cx, cy, 128, 77, saved));
        EXPECT_EQ(saved, tWaterPixels{});
    }
    LoadMap(256, 7680 / 8);
    tWaterPixels saved{};
    EXPECT_FALSE(ComposeWaterCell(*Frame, templates, {96, 96}, 0, 0, 128, 0, saved));
    EXPECT_TRUE(ComposeWaterCell(*Frame, templates, {64, 64}, 0, 0, 128, 0, saved));
}

TEST_F(WaterPainterTest, ComposedCellAnimatesBlueKeepsMagentaAndDrawsOtherColours)
{
    LoadMap(256, 256 * 30 / 8);  // frame height 32
    // Blue everywhere but a magenta column 3 and a red row 5.
    tDib16& templates = Templates([](int x, int y) -> uint16_t {
        if (x % 32 == 3)
            return Key;
        if (y % 32 == 5)
            return 0xF800;
        return Blue;
    });
    Frame->ScanLine(2 * 32 + 7)[128 + 3 * 32 + 3] = 0x4444;
    tWaterPixels saved{};
    const TPoint origin = WaterTemplateOrigin(3, 0);
    ASSERT_TRUE(ComposeWaterCell(*Frame, templates, origin, 3, 2, 128, 1000, saved));
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c) {
            const uint16_t got = At(128 + 3 * 32 + c, 2 * 32 + r);
            uint16_t want = Expected(3, 2, c, r, 1000);
            if (c == 3)
                want = r == 7 ? 0x4444 : 0x1234;
            else if (r == 5)
                want = 0xF800;
            ASSERT_EQ(got, want) << c << "," << r;
            ASSERT_EQ(saved[static_cast<size_t>(r * 32 + c)], want) << c << "," << r;
        }
    EXPECT_EQ(At(128 + 3 * 32 - 1, 64), 0x1234);  // nothing outside the cell
    EXPECT_EQ(At(128 + 4 * 32, 64), 0x1234);

    // Other ticks read other frames of the map.
    tWaterPixels later{};
    ComposeWaterCell(*Frame, templates, origin, 3, 2, 128, 1013, later);
    EXPECT_EQ(later[1], Expected(3, 2, 1, 0, 1013));
    EXPECT_NE(later, saved);
}

TEST_F(WaterPainterTest, ClippingMovesTemplateGreyAndDestinationAlike)
{
    LoadMap(256, 256 * 30 / 8);
    tDib16& templates = Templates([](int x, int y) -> uint16_t { return (x + y) % 7 == 0 ? 0x07E0 : Blue; });
    tWaterPixels whole{};
    ASSERT_TRUE(ComposeWaterCell(*Frame, templates, {32, 64}, 5, 6, 128, 321, whole));
    FillAll(*Frame, 0x1234);

    Frame->ClipRect = TRect{128 + 5 * 32 + 10, 6 * 32 + 20, 128 + 5 * 32 + 25, 480};
    tWaterPixels clipped{};
    clipped.fill(0x5555);
    ASSERT_TRUE(ComposeWaterCell(*Frame, templates, {32, 64}, 5, 6, 128, 321, clipped));
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c) {
            const bool inside = c >= 10 && c < 25 && r >= 20;
            const size_t i = static_cast<size_t>(r * 32 + c);
            ASSERT_EQ(At(128 + 5 * 32 + c, 6 * 32 + r), inside ? whole[i] : 0x1234) << c << "," << r;
            ASSERT_EQ(clipped[i], inside ? whole[i] : 0x5555) << c << "," << r;
        }

    // Restoring uses the same clipping.
    FillAll(*Frame, 0);
    RestoreWaterCell(*Frame, 5, 6, 128, whole);
    EXPECT_EQ(At(128 + 5 * 32 + 10, 6 * 32 + 20), whole[20 * 32 + 10]);
    EXPECT_EQ(At(128 + 5 * 32 + 9, 6 * 32 + 20), 0);
    EXPECT_EQ(At(128 + 5 * 32 + 10, 6 * 32 + 19), 0);

    // A cell partly below the frame and a cell wholly outside it.
    Frame->ClipRect = TRect{0, 0, 640, 480};
    tWaterPixels edge{};
    EXPECT_TRUE(ComposeWaterCell(*Frame, templates, {0, 0}, 15, 14, 128 + 20, 0, edge));
    EXPECT_TRUE(ComposeWaterCell(*Frame, templates, {0, 0}, 15, 14, 640, 0, edge));
    RestoreWaterCell(*Frame, 15, 14, 640, edge);
}

TEST_F(WaterPainterTest, CoveredPixelsAreLeftAndKept)
{
    LoadMap(256, 256 * 30 / 8);
    tDib16& templates = Templates([](int, int) { return Blue; });
    Frame->SetUseCoverMask(true);
    Frame->CoverMaskActive = true;
    Frame->CoverMask[static_cast<size_t>(3 * Frame->Width + 128 + 4)] = 1;
    Frame->ScanLine(3)[128 + 4] = 0x7777;
    tWaterPixels saved{};
    ASSERT_TRUE(ComposeWaterCell(*Frame, templates, {0, 0}, 0, 0, 128, 50, saved));
    EXPECT_EQ(At(128 + 4, 3), 0x7777);
    EXPECT_EQ(saved[3 * 32 + 4], 0x7777);
    EXPECT_EQ(At(128 + 5, 3), Expected(0, 0, 5, 3, 50));

    // Without covered drawing in force the mask is not looked at.
    Frame->CoverMaskActive = false;
    ComposeWaterCell(*Frame, templates, {0, 0}, 0, 0, 128, 50, saved);
    EXPECT_EQ(At(128 + 4, 3), Expected(0, 0, 4, 3, 50));
}

}  // namespace
