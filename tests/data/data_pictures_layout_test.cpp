// Tesk's generated pictures: every file is there under its exact name, is a baseline
// 3-component JPEG of the required size, and its frames are laid out as the game cuts
// them (keyed frames on transparent ground, additive frames on black, no opaque pixel
// that the loader would turn into a key colour).
#include "tests/data/PictureFiles.h"

#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace picturetest;

struct Rect {
    int X, Y, W, H;
};

std::vector<Rect> Grid(int x, int y, int w, int h, int dx, int dy, int n)
{
    std::vector<Rect> r;
    for (int i = 0; i < n; ++i)
        r.push_back({x + dx * i, y + dy * i, w, h});
    return r;
}

enum class Kind { Keyed, Additive, Opaque };

// The playfield's pictures: every tile set and overlay set has the same slots, every
// backdrop covers the playfield, and the signs' pictures share one layout.
const char* const kTileSets[] = {"BasicTiles.jpg", "DesertTiles.jpg", "ForestTiles.jpg", "MineTiles.jpg", "CastleTiles.jpg",
                                 "IceTiles.jpg", "StarTiles.jpg"};
const char* const kOverlaySets[] = {"BasicOverlay.jpg", "DesertOverlay.jpg", "ForestOverlay.jpg", "MineOverlay.jpg",
                                    "CastleOverlay.jpg", "IceOverlay.jpg", "StarOverlay.jpg"};
const char* const kBackdrops[] = {"Morrowfinch.jpg", "Saffrondune.jpg", "Gloomwood.jpg", "Emberdeep.jpg",
                                  "Highkeep.jpg",    "Frostmere.jpg",   "Starfall.jpg"};
const char* const kSigns[] = {"Sign_Walking.jpg",    "Sign_KeyAndExit.jpg", "Sign_Jewels.jpg",     "Sign_Dirt.jpg",
                              "Sign_Boulders.jpg",   "Sign_Water.jpg",      "Sign_PushOrder.jpg",  "Sign_Keys.jpg",
                              "Sign_Snakes.jpg",     "Sign_Spiders.jpg",    "Sign_CherryBombs.jpg", "Sign_Triggers.jpg",
                              "Sign_FakeHero.jpg"};
constexpr int kSignW = 400, kSignH = 300;

// The frame of a tile in a tile picture: four strips of 4 tiles by 16 rows.
Rect TileFrame(int index)
{
    const int b = index / 64, j = (index % 64) / 4, k = index % 4;
    return {(4 * b + k) * 32, 32 * j, 32, 32};
}

struct Sheet {
    std::string Name;
    int W, H;
    Kind Mode;
    std::string MaskName;          // keyed: the mask file the game applies ("" = name + ".mask")
    std::vector<Rect> Frames;      // must hold a picture
    std::vector<Rect> Empty;       // keyed: must be transparent
};

std::vector<Sheet> Sheets()
{
    std::vector<Sheet> s;
    auto add = [&](Sheet sh) { s.push_back(std::move(sh)); };
    auto cat = [](std::vector<Rect> a, const std::vector<Rect>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };

    // The shared sheet: keyed cells, additive cells (checked on black below), buttons.
    add({"BaseGfx.jpg", 576, 352, Kind::Keyed, "",
         cat(cat(Grid(0, 224, 32, 32, 32, 0, 2), {{96, 224, 32, 32}, {0, 256, 32, 32}, {0, 288, 32, 32}, {32, 288, 32, 32},
                                                  {96, 288, 32, 32}, {128, 288, 32, 32}, {32, 192, 32, 32}}),
             cat(Grid(0, 320, 32, 32, 32, 0, 11), cat(Grid(384, 0, 96, 48, 0, 48, 6), {{480, 240, 96, 48}}))),
         {{0, 0, 384, 160}}});
    add({"ZoraWalking.jpg", 128, 1024, Kind::Keyed, "",
         cat(cat(Grid(0, 0, 32, 64, 0, 64, 16), Grid(32, 0, 32, 64, 0, 64, 16)),
             cat(Grid(64, 0, 32, 64, 0, 64, 16), Grid(96, 0, 32, 64, 0, 64, 16))),
         {}});
    add({"ZoraStanding.jpg", 128, 192, Kind::Keyed, "", cat(Grid(0, 0, 32, 64, 0, 64, 3), Grid(96, 0, 32, 64, 0, 64, 3)), {}});
    add({"ZoraDying.jpg", 40, 560, Kind::Keyed, "", Grid(0, 0, 40, 40, 0, 40, 14), {}});
    add({"Snake1.jpg", 64, 1488, Kind::Keyed, "", cat(Grid(0, 0, 32, 48, 0, 48, 31), Grid(32, 0, 32, 48, 0, 48, 31)), {}});
    {
        std::vector<Rect> f;
        for (int row = 0; row < 4; ++row)
            f = cat(f, Grid(0, 26 * row, 36, 26, 36, 0, 10));
        add({"Spider.jpg", 360, 104, Kind::Keyed, "", f, {}});
    }
    add({"SpinningThings.jpg", 160, 768, Kind::Keyed, "",
         cat(cat(Grid(0, 0, 32, 24, 0, 24, 32), Grid(32, 0, 32, 24, 0, 24, 32)),
             cat(cat(Grid(64, 0, 32, 24, 0, 24, 16), Grid(96, 0, 32, 24, 0, 24, 16)), Grid(128, 0, 32, 24, 0, 24, 13))),
         {{64, 384, 64, 384}, {128, 312, 32, 456}}});
    add({"Exits.Jpg", 224, 256, Kind::Keyed, "",
         cat(cat(Grid(0, 0, 32, 64, 32, 0, 7), Grid(0, 64, 32, 64, 32, 0, 7)),
             cat(cat(Grid(0, 128, 32, 32, 32, 0, 7), Grid(0, 160, 32, 32, 32, 0, 7)), Grid(0, 192, 32, 64, 32, 0, 7))),
         {}});
    add({"FireBall.jpg", 160, 3696, Kind::Additive, "", Grid(0, 132 * 2, 160, 132, 0, 132, 20), {}});
    add({"Explosion1.jpg", 1404, 54, Kind::Additive, "", Grid(0, 0, 52, 54, 52, 0, 20), {}});
    add({"Warp.jpg", 66, 2130, Kind::Additive, "", Grid(0, 30, 66, 30, 0, 30, 60), {}});
    add({"WaterTemplates.jpg", 512, 128, Kind::Keyed, "", {}, {}});
    add({"WaterBW.jpg", 256, 7680, Kind::Opaque, "", {}, {}});
    for (const char* name : kTileSets)
        add({name, 512, 512, Kind::Keyed, "", Grid(0, 128, 32, 32, 32, 0, 4), {TileFrame(0)}});
    for (const char* name : kOverlaySets)
        add({name, 512, 512, Kind::Keyed, "", {}, {TileFrame(0)}});
    for (const char* name : kBackdrops)
        add({name, 512, 480, Kind::Opaque, "", {}, {}});
    for (const char* name : kSigns)
        add({name, kSignW, kSignH, Kind::Opaque, "", {}, {}});
    add({"SidePanel.jpg", 128, 480, Kind::Opaque, "", {}, {}});
    {
        std::vector<Rect> f, e;
        for (int g = 0; g < 12; ++g)
            (g == 10 ? e : f) = cat(g == 10 ? e : f, Grid(0, 32 * g, 14, 32, 14, 0, 3));
        add({"LevelDigits.jpg", 42, 384, Kind::Keyed, "", f, e});
    }
    {
        std::vector<Rect> base, glow;
        for (int c = 33; c <= 90; ++c) {
            base = cat(base, Grid(11, 26 + 40 * (c - 33), 42, 38, 64, 0, 5));
            glow = cat(glow, Grid(11, 20 + 60 * (c - 33), 42, 50, 64, 0, 6));
        }
        add({"MenuFontBase.Jpg", 320, 2360, Kind::Keyed, "", base, {}});
        add({"MenuFontGlow.Jpg", 384, 3500, Kind::Additive, "", glow, {}});
    }
    const struct {
        const char* Name;
        int W, H;
    } slabs[] = {{"Menu_Main.Jpg", 392, 366},   {"Menu_Options.jpg", 480, 282}, {"Menu_Sound.jpg", 404, 358},
                 {"Menu_AdvSound.jpg", 464, 322}, {"Menu_Video.jpg", 488, 372},   {"Menu_AdvVideo.jpg", 488, 320},
                 {"CreditsSlab.jpg", 470, 402}, {"PopupBase_Small.jpg", 402, 304}, {"PopupBase_Large.jpg", 426, 356}};
    for (const auto& sl : slabs)
        // Rounded outlines: the corners show the game beneath.
        add({sl.Name, sl.W, sl.H, Kind::Keyed, "", {{sl.W / 2 - 20, sl.H / 2 - 20, 40, 40}}, {{0, 0, 3, 3}, {sl.W - 3, sl.H - 3, 3, 3}}});
    for (int i = 1; i <= 6; ++i)
        add({"Popup_GeneralDeath" + std::to_string(i) + ".Jpg", 402, 144, Kind::Keyed, "PopUpTop_Death.bmp", {{150, 40, 100, 60}},
             {{0, 0, 3, 3}}});
    for (const char* who : {"Snake", "Spider", "Bomb"})
        for (int i = 1; i <= 3; ++i)
            add({std::string("Popup_") + who + "Death" + std::to_string(i) + ".Jpg", 402, 144, Kind::Keyed, "PopUpTop_Death.bmp",
                 {{150, 40, 100, 60}}, {{0, 0, 3, 3}}});
    add({"Popup_Solved.jpg", 426, 160, Kind::Keyed, "PopupTop_LevelCompleted.bmp", {{160, 40, 100, 60}}, {{0, 0, 3, 3}}});
    add({"Popup_PartiallySolved.jpg", 426, 160, Kind::Keyed, "PopupTop_LevelCompleted.bmp", {{160, 40, 100, 60}}, {{0, 0, 3, 3}}});
    add({"Credits.jpg", 320, 0, Kind::Opaque, "", {}, {}});
    add({"Instructions(Page1).jpg", 640, 480, Kind::Opaque, "", {}, {}});
    add({"Instructions(Page2).jpg", 640, 480, Kind::Opaque, "", {}, {}});
    add({"InstructionButtons.jpg", 480, 96, Kind::Opaque, "", {}, {}});
    add({"LevelPickButton.jpg", 144, 70, Kind::Opaque, "", {}, {}});
    for (int i = 1; i <= 9; ++i)
        add({"Bonus" + std::to_string(i) + "Button.jpg", 144, 80, Kind::Opaque, "", {}, {}});
    add({"PickALevelCaption.jpg", 640, 40, Kind::Opaque, "", {}, {}});
    return s;
}

// BaseGfx's additive cells: drawn on black, never keyed.
const Rect kBaseAdditive[] = {{0, 160, 224, 32}, {64, 224, 32, 32}, {64, 256, 64, 32}};

bool InBaseAdditive(int x, int y)
{
    for (const Rect& r : kBaseAdditive)
        if (x >= r.X && x < r.X + r.W && y >= r.Y && y < r.Y + r.H)
            return true;
    return false;
}

class PicturesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(fs::is_directory(ArtDir())) << ArtDir();
    }
};

TEST_F(PicturesTest, EverySheetHasItsSizeFormatAndLayout)
{
    for (const Sheet& sh : Sheets()) {
        SCOPED_TRACE(sh.Name);
        const fs::path path = ArtDir() / sh.Name;
        ASSERT_TRUE(fs::is_regular_file(path)) << "missing";
        Image img;
        ASSERT_TRUE(DecodeJpeg(ReadFile(path), img)) << "not a JPEG";
        EXPECT_EQ(img.Components, 3);
        EXPECT_FALSE(img.Progressive);
        EXPECT_EQ(img.W, sh.W);
        if (sh.H > 0) {
            EXPECT_EQ(img.H, sh.H);
        } else {
            EXPECT_GE(img.H, 270);
        }
        if (img.W != sh.W || (sh.H > 0 && img.H != sh.H))
            continue;

        Mask mask;
        if (sh.Mode == Kind::Keyed) {
            std::string why;
            const std::string maskName = sh.MaskName.empty() ? sh.Name + ".mask" : sh.MaskName;
            ASSERT_TRUE(ReadMask(ReadFile(ArtDir() / maskName), mask, why)) << maskName << ": " << why;
            ASSERT_EQ(mask.W, img.W);
            ASSERT_EQ(mask.H, img.H);
        }
        auto opaque = [&](int x, int y) { return sh.Mode != Kind::Keyed || !mask.At(x, y); };
        const bool water = sh.Name == "WaterTemplates.jpg";

        // No opaque pixel may come out of the loader as a key colour: magenta would be
        // transparent, blue would animate as water (wanted only in the water templates).
        int badKey = 0, badBlue = 0;
        for (int y = 0; y < img.H; ++y)
            for (int x = 0; x < img.W; ++x) {
                if (!opaque(x, y))
                    continue;
                const Rgb& c = img.At(x, y);
                if (sh.Mode == Kind::Additive) {
                    badKey += KeyIn565(c);
                    continue;
                }
                badKey += SnapsToMagenta(c);
                if (!water)
                    badBlue += SnapsToBlue(c);
            }
        EXPECT_EQ(badKey, 0) << "opaque pixels that read as the key colour";
        EXPECT_EQ(badBlue, 0) << "opaque pixels that read as animated water";

        for (const Rect& f : sh.Frames) {
            ASSERT_LE(f.X + f.W, img.W);
            ASSERT_LE(f.Y + f.H, img.H);
            int drawn = 0;
            for (int y = f.Y; y < f.Y + f.H; ++y)
                for (int x = f.X; x < f.X + f.W; ++x) {
                    const Rgb& c = img.At(x, y);
                    if (sh.Mode == Kind::Additive)
                        drawn += c.R + c.G + c.B > 90;
                    else
                        drawn += opaque(x, y) || InBaseAdditive(x, y);
                }
            EXPECT_GE(drawn, 12) << "frame at " << f.X << "," << f.Y << " is empty";
            if (sh.Mode == Kind::Additive) {
                // Black around the frame, so neighbouring frames never bleed in.
                int lit = 0;
                for (int x = f.X; x < f.X + f.W; ++x) {
                    const Rgb& a = img.At(x, f.Y);
                    const Rgb& b = img.At(x, f.Y + f.H - 1);
                    lit += std::max({a.R, a.G, a.B}) > 24;
                    lit += std::max({b.R, b.G, b.B}) > 24;
                }
                for (int y = f.Y; y < f.Y + f.H; ++y) {
                    const Rgb& a = img.At(f.X, y);
                    const Rgb& b = img.At(f.X + f.W - 1, y);
                    lit += std::max({a.R, a.G, a.B}) > 24;
                    lit += std::max({b.R, b.G, b.B}) > 24;
                }
                EXPECT_EQ(lit, 0) << "frame at " << f.X << "," << f.Y << " is not black at its edge";
            }
        }
        for (const Rect& e : sh.Empty) {
            int drawn = 0;
            for (int y = e.Y; y < e.Y + e.H; ++y)
                for (int x = e.X; x < e.X + e.W; ++x)
                    drawn += opaque(x, y);
            EXPECT_EQ(drawn, 0) << "cell at " << e.X << "," << e.Y << " should be transparent";
        }
    }
}

TEST_F(PicturesTest, BaseSheetAdditiveCellsAreOnBlack)
{
    Image img;
    ASSERT_TRUE(DecodeJpeg(ReadFile(ArtDir() / "BaseGfx.jpg"), img));
    Mask mask;
    std::string why;
    ASSERT_TRUE(ReadMask(ReadFile(ArtDir() / "BaseGfx.jpg.mask"), mask, why)) << why;
    for (const Rect& r : kBaseAdditive)
        for (int cx = r.X; cx < r.X + r.W; cx += 32) {
            int lit = 0, masked = 0;
            for (int y = r.Y; y < r.Y + r.H; ++y)
                for (int x = cx; x < cx + 32; ++x) {
                    masked += mask.At(x, y);
                    if (x == cx || x == cx + 31 || y == r.Y || y == r.Y + r.H - 1)
                        lit += std::max({img.At(x, y).R, img.At(x, y).G, img.At(x, y).B}) > 24;
                }
            EXPECT_EQ(masked, 0) << "additive cell at " << cx << "," << r.Y << " is masked";
            EXPECT_EQ(lit, 0) << "additive cell at " << cx << "," << r.Y << " is not black at its edge";
        }
}

TEST_F(PicturesTest, WaterPicturesHoldWhatThePainterReads)
{
    // Templates: a lone cell (96, 96 in each block) has shore on all sides and water in the
    // middle; an open cell (0, 0) is water throughout.
    Image t;
    ASSERT_TRUE(DecodeJpeg(ReadFile(ArtDir() / "WaterTemplates.jpg"), t));
    for (int block = 0; block < 4; ++block) {
        SCOPED_TRACE(block);
        const int bx = 128 * block;
        EXPECT_TRUE(SnapsToBlue(t.At(bx + 96 + 16, 96 + 16)));
        EXPECT_FALSE(SnapsToBlue(t.At(bx + 96, 96 + 16)));
        EXPECT_FALSE(SnapsToBlue(t.At(bx + 96 + 16, 96)));
        int water = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                water += SnapsToBlue(t.At(bx + x, y));
        EXPECT_EQ(water, 32 * 32);
    }
    // The noise map: grey (the loader reads the first byte), mostly above the dark ramp.
    Image bw;
    ASSERT_TRUE(DecodeJpeg(ReadFile(ArtDir() / "WaterBW.jpg"), bw));
    long dark = 0, notGrey = 0;
    for (const Rgb& c : bw.Px) {
        dark += c.B < 65;
        notGrey += std::abs(c.R - c.B) > 6 || std::abs(c.G - c.B) > 6;
    }
    EXPECT_EQ(notGrey, 0);
    EXPECT_LT(dark * 20, static_cast<long>(bw.Px.size()));
    // Seamless: the last row of a frame continues into its first, and so do the columns.
    long seam = 0, inner = 0;
    for (int f = 0; f < 30; f += 7)
        for (int x = 0; x < 256; ++x) {
            seam += std::abs(bw.At(x, 256 * f + 255).B - bw.At(x, 256 * f).B);
            inner += std::abs(bw.At(x, 256 * f + 100).B - bw.At(x, 256 * f + 101).B);
            seam += std::abs(bw.At(255, 256 * f + x).B - bw.At(0, 256 * f + x).B);
            inner += std::abs(bw.At(100, 256 * f + x).B - bw.At(101, 256 * f + x).B);
        }
    EXPECT_LT(seam, inner * 2 + 1000);
}

int OpaqueIn(const Mask& mask, const Rect& r)
{
    int n = 0;
    for (int y = r.Y; y < r.Y + r.H; ++y)
        for (int x = r.X; x < r.X + r.W; ++x)
            n += !mask.At(x, y);
    return n;
}

// The mean colour and the spread of brightness of a frame.
struct Look {
    double R = 0, G = 0, B = 0, Spread = 0;
};

Look LookOf(const Image& img, const Rect& r)
{
    Look l;
    double sum = 0, sq = 0;
    const double n = static_cast<double>(r.W * r.H);
    for (int y = r.Y; y < r.Y + r.H; ++y)
        for (int x = r.X; x < r.X + r.W; ++x) {
            const Rgb& c = img.At(x, y);
            l.R += c.R / n;
            l.G += c.G / n;
            l.B += c.B / n;
            const double lum = 0.3 * c.R + 0.59 * c.G + 0.11 * c.B;
            sum += lum;
            sq += lum * lum;
        }
    l.Spread = std::sqrt(std::max(0.0, sq / n - (sum / n) * (sum / n)));
    return l;
}

// How far apart two tiles look: their colours, and how grainy each is.
double Apart(const Look& a, const Look& b)
{
    return std::sqrt((a.R - b.R) * (a.R - b.R) + (a.G - b.G) * (a.G - b.G) + (a.B - b.B) * (a.B - b.B)) +
           std::fabs(a.Spread - b.Spread);
}

TEST_F(PicturesTest, TileSetsFillTheirSlotsAsTheLevelsUseThem)
{
    for (const char* name : kTileSets) {
        SCOPED_TRACE(name);
        Image img;
        Mask mask;
        std::string why;
        ASSERT_TRUE(DecodeJpeg(ReadFile(ArtDir() / name), img));
        ASSERT_TRUE(ReadMask(ReadFile(ArtDir() / (std::string(name) + ".mask")), mask, why)) << why;
        ASSERT_EQ(mask.W, 512);
        // Grounds, walls and floors cover their whole cell, so no cell a level marks solid
        // or walkable shows what lies beneath; the things of the last strip stand on the
        // layer beneath them and leave it showing round their edges.
        std::string holes, blocks;
        for (int i = 1; i < 256; ++i) {
            const int opaque = OpaqueIn(mask, TileFrame(i));
            if (i < 192 && opaque != 32 * 32)
                holes += " " + std::to_string(i);
            if (i >= 192 && (opaque < 40 || opaque > 32 * 32 - 160))
                blocks += " " + std::to_string(i) + "(" + std::to_string(opaque) + ")";
        }
        EXPECT_EQ(holes, "") << "tiles that do not cover their cell";
        EXPECT_EQ(blocks, "") << "things that are empty or hide their cell";
        // The wall the levels use most stands out from the floor and the ground beside it.
        const Look wall = LookOf(img, TileFrame(65)), floor = LookOf(img, TileFrame(129)), ground = LookOf(img, TileFrame(17));
        EXPECT_GE(Apart(wall, floor), 40.0);
        EXPECT_GE(Apart(wall, ground), 40.0);
        EXPECT_GE(Apart(floor, ground), 20.0);
    }
}

TEST_F(PicturesTest, OverlaySetsLeaveTheUnitsBeneathThemInSight)
{
    for (const char* name : kOverlaySets) {
        SCOPED_TRACE(name);
        Mask mask;
        std::string why;
        ASSERT_TRUE(ReadMask(ReadFile(ArtDir() / (std::string(name) + ".mask")), mask, why)) << why;
        ASSERT_EQ(mask.W, 512);
        std::string wrong;
        for (int i = 1; i < 256; ++i) {
            const int opaque = OpaqueIn(mask, TileFrame(i));
            if (opaque < 20 || opaque > 32 * 32 - 64)
                wrong += " " + std::to_string(i) + "(" + std::to_string(opaque) + ")";
        }
        EXPECT_EQ(wrong, "") << "overlay tiles that are empty or cover their cell";
    }
}

TEST_F(PicturesTest, SignPicturesLeaveTheirCaptionAPlainDarkField)
{
    // The pop-up writes the caption in the menu font's gold, centred 30 pixels above the
    // bottom edge (its letters reach about 44 pixels higher): that band must be dark and
    // plain for the letters to read, and the scene above it must hold a picture.
    for (const char* name : kSigns) {
        SCOPED_TRACE(name);
        Image img;
        ASSERT_TRUE(DecodeJpeg(ReadFile(ArtDir() / name), img));
        ASSERT_EQ(img.W, kSignW);
        ASSERT_EQ(img.H, kSignH);
        const Look band = LookOf(img, {40, kSignH - 76, kSignW - 80, 46});
        int bright = 0;
        for (int y = kSignH - 76; y < kSignH - 30; ++y)
            for (int x = 40; x < kSignW - 40; ++x) {
                const Rgb& c = img.At(x, y);
                bright += 0.3 * c.R + 0.59 * c.G + 0.11 * c.B > 110;
            }
        EXPECT_EQ(bright, 0);
        EXPECT_LT(0.3 * band.R + 0.59 * band.G + 0.11 * band.B, 70.0);
        EXPECT_LT(band.Spread, 12.0);
        EXPECT_GT(LookOf(img, {40, 30, kSignW - 80, 150}).Spread, 15.0) << "no scene";
    }
}

// The same pictures read by the game's own loader from the data package: sizes as the
// table says, the key colour exactly where each mask is white, and the water blue only
// in the water templates.
class PackagedPicturesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DisplayBrightness = 1.1f;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
        Is565 = true;
        CurrentDib = nullptr;
        ResetPackageFiles(TP_BIN_DIR);
        ASSERT_TRUE(fs::is_regular_file(fs::path(TP_BIN_DIR) / "Base.Tarvol"));
        AddPackage(std::string(TP_BIN_DIR) + "/Base.Tarvol");
    }
    void TearDown() override
    {
        CurrentDib = nullptr;
        FreeAllDibs();
        ResetPackageFiles();
    }
};

TEST_F(PackagedPicturesTest, EverySheetLoadsWithItsKeyWhereItsMaskIsWhite)
{
    const uint16_t key = ColorToPixel(0x00FF00FF);
    const uint16_t blue = ColorToPixel(0x00FF0000);
    for (const Sheet& sh : Sheets()) {
        SCOPED_TRACE(sh.Name);
        tDib16* dib = FindOrLoadDib(sh.Name, false);
        ASSERT_NE(dib, nullptr);
        dib->NoBrightnessChange = sh.Name == "Warp.jpg" || sh.Name == "FireBall.jpg" || sh.Name == "MenuFontGlow.Jpg";
        if (!sh.MaskName.empty())
            dib->SetMaskName(sh.MaskName);
        ASSERT_NO_THROW(dib->Load());
        EXPECT_EQ(dib->Width, sh.W);
        if (sh.H > 0) {
            EXPECT_EQ(dib->Height, sh.H);
        }
        Mask mask;
        std::string why;
        if (sh.Mode == Kind::Keyed) {
            const std::string maskName = sh.MaskName.empty() ? sh.Name + ".mask" : sh.MaskName;
            ASSERT_TRUE(ReadMask(ReadFile(ArtDir() / maskName), mask, why)) << why;
            ASSERT_EQ(mask.W, dib->Width);
            ASSERT_EQ(mask.H, dib->Height);
        }
        long wrongKey = 0, blues = 0;
        for (int y = 0; y < dib->Height; ++y) {
            const uint16_t* row = dib->ScanLine(y);
            for (int x = 0; x < dib->Width; ++x) {
                const bool transparent = sh.Mode == Kind::Keyed && mask.At(x, y);
                wrongKey += (row[x] == key) != transparent;
                blues += row[x] == blue;
            }
        }
        EXPECT_EQ(wrongKey, 0) << "pixels keyed where the mask is black, or opaque where it is white";
        if (sh.Name == "WaterTemplates.jpg") {
            EXPECT_GT(blues, 16L * 32 * 32);
        } else {
            EXPECT_EQ(blues, 0);
        }
        dib->Unload();
    }
    // The clear-progress dialog's picture is read without registry or mask.
    std::unique_ptr<tDib16> confirm;
    ASSERT_NO_THROW(confirm = tDib16::CreateFromFile("Popup_ConfirmCP.jpg"));
    EXPECT_EQ(confirm->Width, 402);
    EXPECT_EQ(confirm->Height, 304);
}

} // namespace

TEST_F(PicturesTest, TheCreditsBeginAndEndWithPlainRows)
{
    // At least the window's 16-row edge fade at each end holds only the ground colour, so
    // the scroll starts on an empty window and the text always rises through the fade.
    Image img;
    ASSERT_TRUE(DecodeJpeg(ReadFile(ArtDir() / "Credits.jpg"), img));
    ASSERT_GE(img.H, 64);
    int off = 0;
    for (int y : {0, img.H - 16})
        for (int row = y; row < y + 16; ++row)
            for (int x = 0; x < img.W; ++x) {
                const Rgb& c = img.At(x, row);
                off += std::abs(c.R - 20) > 10 || std::abs(c.G - 12) > 10 || std::abs(c.B - 8) > 10;
            }
    EXPECT_EQ(off, 0);
}
