// The menu font: widths and kerning, where the glyphs land, which cells each glow draws,
// bad captions and bad sheets, and a sample of the real font.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tesk/game/Fonts.h"
#include "tests/support/JpegFiles.h"
#include "tests/tesk/game/ScreenFixture.h"

namespace {

TEST(MenuFontWidth, FollowsTheWidthAndKerningTables)
{
    const struct {
        std::string Text;
        int32_t Width;
    } cases[] = {
        {"A", 25},        // width + 1
        {"AV", 46},       // kerning AV 5
        {"A V", 57},      // kerned across the space, A against V
        {"TO", 50},       // kerning 1
        {"LT", 38},       // kerning 3
        {"menu", 44},     // lower case: four spaces
        {"", 0},
        {"\xC3\xA9", 22}, // the UTF-8 bytes of an e with an acute accent: two spaces
        {" ", 11},
        {"VA", 46},
        {"A  V", 68},     // the letter before the spaces still kerns the one after them
        {"AVA", 66},
        {"0123456789", 210},
        {"!\"#$%&'()*+,-./", 7 + 12 + 22 + 16 + 30 + 34 + 6 + 13 + 13 + 16 + 19 + 8 + 10 + 8 + 16 + 15},
        {":;<=>?@", 7 + 8 + 18 + 19 + 18 + 14 + 30 + 7},
        {"START GAME", 220 - 3}, // TA kerns 3
    };
    for (const auto& c : cases)
        EXPECT_EQ(MenuFontTextWidth(c.Text), c.Width) << '"' << c.Text << '"';
}

TEST(MenuFontWidth, EveryByteOutsideTheCharacterSetIsASpace)
{
    for (int b = 0; b < 256; ++b) {
        if (b >= 33 && b <= 90)
            continue;
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(MenuFontTextWidth(one), 11) << b;
        EXPECT_EQ(MenuFontTextWidth("A" + one + "V"), 57) << b;
        EXPECT_EQ(MenuFontKerning(static_cast<uint8_t>(b), 'A'), 0) << b;
        EXPECT_EQ(MenuFontKerning('A', static_cast<uint8_t>(b)), 0) << b;
    }
    // Pairs outside the capitals never kern, nor do unlisted capital pairs.
    EXPECT_EQ(MenuFontKerning('1', '1'), 0);
    EXPECT_EQ(MenuFontKerning('A', 'A'), 0);
    EXPECT_EQ(MenuFontKerning('V', 'A'), 5);
    EXPECT_EQ(MenuFontKerning('Z', 'O'), 1);
    EXPECT_EQ(MenuFontKerning('O', 'Z'), 0);
}

// Font sheets painted in code, so that every drawn pixel tells which cell it came from.
// Each base cell is transparent but for a 2 x 2 block round its centre, red = column + 1
// (x 11, 75, 139, 203, 267 are columns 0..4); the style-B column also marks the pixel
// right of the block. Each glow cell is transparent but for the 2 x 2 block that lands on
// the same frame pixels, green = column + 1 (x 11 .. 331 are columns 0..5).
class MenuFontCells : public ::testing::Test {
protected:
    void SetUp() override
    {
        Screen = std::make_unique<tScreenFixture>(tScreenFixture::tOptions{false, false});
        Key = RGBToPixel(255, 0, 255);
        RegisterSheet("menufontbase.jpg", 320, 2360, 40, 26, 19, 5, 11);
        RegisterSheet("menufontglow.jpg", 384, 3500, 60, 20, 25, 6, 5);
        LoadFontGraphicsData();
        Screen->Frame->Fill(0);
    }
    void TearDown() override { Screen.reset(); }

    void RegisterSheet(const std::string& name, int w, int h, int rowStep, int firstRow, int centreRow, int columns,
                       int shift)
    {
        auto dib = std::make_unique<tDib16>(w, h);
        dib->Name = name;
        dib->Loaded = true;
        for (int y = 0; y < h; ++y) {
            uint16_t* row = dib->ScanLine(y);
            for (int x = 0; x < w; ++x) {
                row[x] = Key;
                const int column = (x - 11) / 64, cx = (x - 11) % 64;
                const int cy = (y - firstRow) % rowStep;
                if (x < 11 || y < firstRow || column >= columns)
                    continue;
                const bool block = (cx == 20 || cx == 21) && (cy == centreRow - 1 || cy == centreRow);
                const bool styleBMark = shift == 11 && column == 4 && cx == 22 && cy == centreRow;
                if (block || styleBMark)
                    row[x] = static_cast<uint16_t>((column + 1) << shift);
            }
        }
        RegisterDib(std::move(dib));
    }

    // The four pixels round a glyph centre (cx - 1 .. cx, cy - 1 .. cy), top left first:
    // the base column (red) and the glow column (green) of each, -1 for none.
    struct tCell {
        std::array<int, 4> Base, Glow;
    };
    tCell CellAt(int cx, int cy)
    {
        tCell c{};
        const int xs[] = {cx - 1, cx, cx - 1, cx}, ys[] = {cy - 1, cy - 1, cy, cy};
        for (int i = 0; i < 4; ++i) {
            const uint16_t p = Screen->Pixel(xs[i], ys[i]);
            c.Base[static_cast<size_t>(i)] = (p >> 11) - 1;
            c.Glow[static_cast<size_t>(i)] = ((p >> 5) & 63) - 1;
        }
        return c;
    }
    // Frame pixels that are not black, as (x, y).
    std::set<std::pair<int, int>> Drawn()
    {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x)
                if (Screen->Pixel(x, y) != 0)
                    out.insert({x, y});
        return out;
    }

    std::unique_ptr<tScreenFixture> Screen;
    uint16_t Key = 0;
};

TEST_F(MenuFontCells, GlyphsSitOnTheirCentresKernedAcrossSpaces)
{
    DrawMenuText(100, 200, "A V", 0);
    // The A's block round (112, 179), the V's round (142, 179).
    const std::set<std::pair<int, int>> expected{{111, 178}, {112, 178}, {111, 179}, {112, 179},
                                                 {141, 178}, {142, 178}, {141, 179}, {142, 179}};
    EXPECT_EQ(Drawn(), expected);

    // Lower case and other bytes draw nothing but advance as spaces.
    Screen->Frame->Fill(0);
    DrawMenuText(100, 200, "menu\t\xC3\xA9", 0);
    EXPECT_TRUE(Drawn().empty());
    DrawMenuText(100, 200, "a\x01" "A", 0);
    EXPECT_EQ(Drawn(), (std::set<std::pair<int, int>>{{131, 178}, {132, 178}, {131, 179}, {132, 179}}));
}

TEST_F(MenuFontCells, CentredTextStartsHalfItsWidthLeft)
{
    // "00" is 42 wide: it starts at 299, its glyphs centred at 309 and 329, half a
    // pixel per even-width glyph left of the exact centre.
    DrawMenuTextCentred(320, 100, "00", 0);
    EXPECT_EQ(Drawn(), (std::set<std::pair<int, int>>{{308, 78}, {309, 78}, {308, 79}, {309, 79},
                                                      {328, 78}, {329, 78}, {328, 79}, {329, 79}}));
    for (const char* text : {"START GAME", "A V", "I", "MENU..."}) {
        for (const bool marked : {false, true}) {
            Screen->Frame->Fill(0);
            (marked ? DrawMenuTextMarkedCentred : DrawMenuTextCentred)(321, 300, text, 7);
            const auto centred = Screen->Pixels();
            Screen->Frame->Fill(0);
            (marked ? DrawMenuTextMarked : DrawMenuText)(321 - MenuFontTextWidth(text) / 2, 300, text, 7);
            EXPECT_EQ(Screen->Pixels(), centred) << text;
        }
    }
}

TEST_F(MenuFontCells, EachGlowDrawsItsCells)
{
    // Base column and the glow columns of the four pixels (top left, top right, bottom
    // left, bottom right); -1 for no glow.
    const struct {
        int Glow;
        int Base;
        std::array<int, 4> Glows;
    } cases[] = {
        {0, 0, {-1, -1, -1, -1}},
        {1, 0, {5, 5, 5, 5}},  // frame 0: column 5 alone, added
        {2, 0, {5, 4, 5, 5}},  // frame 1: columns 5 and 4, dither 1
        {3, 0, {4, 5, 5, 4}},  // frame 2: dither 0
        {4, 1, {4, 5, 4, 4}},  // frame 3: dither 2, variant 1
        {5, 1, {4, 4, 4, 4}},  // frame 4: column 4 alone
        {12, 3, {2, 3, 2, 2}}, // frame 11: columns 3 and 2, dither 2
        {21, 3, {0, 0, 0, 0}}, // frame 20: column 0 alone, variant 3
        {29, 3, {0, 0, 0, 0}},
        {1000, 3, {0, 0, 0, 0}},
        {-1, 3, {-1, -1, -1, -1}}, // style A: the cells of variant 3
        {-50, 3, {-1, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        Screen->Frame->Fill(0);
        DrawMenuText(100, 200, "A", c.Glow);
        const tCell cell = CellAt(112, 179);
        EXPECT_EQ(cell.Base, (std::array<int, 4>{c.Base, c.Base, c.Base, c.Base})) << "glow " << c.Glow;
        EXPECT_EQ(cell.Glow, c.Glows) << "glow " << c.Glow;
    }
}

TEST_F(MenuFontCells, MarkedTextDrawsTheAlternateStyles)
{
    // Style A is column 3 (x 203), style B column 4 (x 267, with its mark right of the
    // block at (113, 179)).
    const struct {
        int Glow;
        int Base;
        std::array<int, 4> Glows;
        bool StyleBDrawn;
    } cases[] = {
        {10, 3, {3, 2, 3, 3}, false},  // style A + frame 9 (columns 3 and 2, dither 1)
        {9, 4, {3, 3, 3, 3}, true},    // style B + frame 8 (column 3)
        {1, 4, {5, 5, 5, 5}, true},
        {0, 4, {-1, -1, -1, -1}, true}, // style B only
        {-1, 3, {-1, -1, -1, -1}, true}, // style B, then style A over it
    };
    for (const auto& c : cases) {
        Screen->Frame->Fill(0);
        DrawMenuTextMarked(100, 200, "A", c.Glow);
        const tCell cell = CellAt(112, 179);
        EXPECT_EQ(cell.Base, (std::array<int, 4>{c.Base, c.Base, c.Base, c.Base})) << "glow " << c.Glow;
        EXPECT_EQ(cell.Glow, c.Glows) << "glow " << c.Glow;
        EXPECT_EQ(Screen->Pixel(113, 179) == (5u << 11), c.StyleBDrawn) << "glow " << c.Glow;
    }
    // A space draws nothing in either painter.
    Screen->Frame->Fill(0);
    DrawMenuTextMarked(100, 200, " a ", -1);
    DrawMenuTextMarked(100, 200, " a ", 15);
    EXPECT_TRUE(Drawn().empty());
}

TEST_F(MenuFontCells, EveryCharacterHasItsOwnRowAndFreedSpritesDrawNothing)
{
    // Each character's cells are its own row of the sheets: the glyph's block and its
    // glow block land on the glyph centre for all of "!".."Z".
    for (int c = 33; c <= 90; ++c) {
        Screen->Frame->Fill(0);
        DrawMenuText(300, 300, std::string(1, static_cast<char>(c)), 1);
        const int cx = 300 + (MenuFontTextWidth(std::string(1, static_cast<char>(c))) / 2);
        const tCell cell = CellAt(cx, 279);
        EXPECT_EQ(cell.Base[3], 0) << c;
        EXPECT_EQ(cell.Glow[3], 5) << c;
        EXPECT_EQ(Drawn().size(), 4u) << c;
    }
    FreeFontGraphicsData();
    Screen->Frame->Fill(0);
    DrawMenuText(100, 200, "ABC", 5);
    DrawMenuTextMarked(100, 200, "ABC", -1);
    EXPECT_TRUE(Drawn().empty());
}

TEST(MenuFontSheets, TheGlowSheetKeepsItsColoursAndBadSheetsClip)
{
    // Sheets of 64 x 64: far smaller than their cells.
    tScreenFixture screen(tScreenFixture::tOptions{false, false});
    screen.WriteLoose("MenuFontBase.Jpg", MakeJpegFile(64, 64, [](int, int) { return TColor(0x808080); }));
    screen.WriteLoose("MenuFontGlow.Jpg", MakeJpegFile(64, 64, [](int, int) { return TColor(0x808080); }));
    LoadFontGraphicsData();
    tDib16* base = FindDib("MenuFontBase.Jpg");
    tDib16* glow = FindDib("MenuFontGlow.Jpg");
    ASSERT_NE(base, nullptr);
    ASSERT_NE(glow, nullptr);
    EXPECT_TRUE(base->Loaded);
    EXPECT_FALSE(glow->Loaded) << "the glow sheet loads on its first use";
    EXPECT_TRUE(glow->NoBrightnessChange);
    EXPECT_FALSE(base->NoBrightnessChange);

    // Every byte at every glow style, also half outside the frame: only "!" (row 0)
    // has cells inside the sheets at all.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    screen.Frame->Fill(0);
    for (const int g : {-1, 0, 1, 4, 5, 12, 21, 29})
        for (const TPoint at : {TPoint{-20, 30}, TPoint{600, 479}, TPoint{100, 2}, TPoint{-100000, 100}}) {
            DrawMenuText(at.X, at.Y, all, g);
            DrawMenuTextMarked(at.X, at.Y, all, g);
            DrawMenuTextCentred(at.X, at.Y, all, g);
            DrawMenuTextMarkedCentred(at.X, at.Y, all, g);
        }
    EXPECT_TRUE(glow->Loaded);
    // The glow came unbrightened: its grey is as the file has it, the base's brightened.
    uint8_t r, g, b, baseG;
    PixelToRGB(base->ScanLine(10)[10], r, baseG, b);
    PixelToRGB(glow->ScanLine(10)[10], r, g, b);
    EXPECT_NEAR(g, 0x80, 6);
    EXPECT_GT(baseG, g + 6);

    // A glyph drawn where its cells are outside the sheets changes nothing.
    screen.Frame->Fill(0);
    DrawMenuText(300, 300, "Z", 29);
    for (const uint16_t p : screen.Pixels())
        ASSERT_EQ(p, 0);
}

TEST(MenuFontSheets, AMissingBaseSheetIsReported)
{
    tScreenFixture screen(tScreenFixture::tOptions{false, false});
    EXPECT_THROW(LoadFontGraphicsData(), Exception);
    // Nothing half-made is drawn.
    DrawMenuText(100, 100, "ABC", 3);
    for (const uint16_t p : screen.Pixels())
        ASSERT_EQ(p, PixelBlack);
}

TEST(MenuFontPicture, TheRealFontAtEachGlow)
{
    tScreenFixture screen;
    const std::string first = "!\"#$%&'()*+,-./0123456789:;<=>?@A";
    const std::string second = "BCDEFGHIJKLMNOPQRSTUVWXYZ";
    int y = 40;
    for (const int glow : {0, 1, 12, 29, -1}) {
        DrawMenuText(8, y, first, glow);
        DrawMenuText(8, y + 38, second, glow);
        y += 76;
    }
    DrawMenuTextMarked(8, y, first, 5);
    DrawMenuTextMarked(8, y + 38, second, 5);
    screen.ExpectLooksLike("menu_font_sample");
}

} // namespace
