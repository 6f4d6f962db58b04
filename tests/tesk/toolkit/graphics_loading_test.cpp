// Loading images into surfaces: brightness and key snapping, masks, the named registry,
// reloading on a format change, and damaged files.
#include "tesk/toolkit/Misc.h"
#include "tests/support/PictureFiles.h"
#include "tests/support/ZipBuilder.h"
#include "tests/tesk/toolkit/GraphicsFixture.h"

namespace {

// 32 x 16: four 16 x 8 flat blocks: near-magenta, near-blue, grey and white.
TColor BlockColor(int x, int y)
{
    if (y < 8)
        return x < 16 ? RGB(240, 20, 230) : RGB(20, 20, 230);
    return x < 16 ? RGB(100, 100, 100) : RGB(255, 255, 255);
}

std::string BlockJpeg()
{
    TBitmap b;
    b.SetSize(32, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            b.SetPixelColor(x, y, BlockColor(x, y));
    return EncodeJpeg(b, {100});
}

std::string FlatJpeg(int w, int h, TColor c)
{
    TBitmap b;
    b.SetSize(w, h);
    b.Canvas().Brush.Color = c;
    b.Canvas().FillRect(Rect(0, 0, w, h));
    return EncodeJpeg(b, {100});
}

bool NearPixel(uint16_t p, uint8_t r, uint8_t g, uint8_t b)
{
    uint8_t pr, pg, pb;
    PixelToRGB(p, pr, pg, pb);
    return std::abs(pr - r) <= 8 && std::abs(pg - g) <= 8 && std::abs(pb - b) <= 8;
}

} // namespace

using LoadingTest = GraphicsTest;

TEST_F(LoadingTest, BrightnessPassSnapsNearKeyColours)
{
    struct Case {
        uint8_t r, g, b;
        uint8_t wr, wg, wb;
    };
    DisplayBrightness = 2.0f;
    BuildBrightnessTable();
    const auto& t = BrightnessTable;
    const Case cases[] = {
        {240, 20, 230, 255, 0, 255}, {209, 32, 209, 255, 0, 255}, {20, 20, 230, 0, 0, 255},
        {32, 0, 209, 0, 0, 255},     {100, 20, 230, t[100], t[20], t[230]},
        {240, 33, 230, t[240], t[33], t[230]}, {240, 20, 208, t[240], t[20], t[208]},
        {33, 20, 230, t[33], t[20], t[230]}, {0, 0, 0, 0, 0, 0},
    };
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(static_cast<int>(std::size(cases)), 1);
    for (size_t i = 0; i < std::size(cases); ++i)
        b.SetPixelColor(static_cast<int>(i), 0, RGB(cases[i].r, cases[i].g, cases[i].b));
    DoBrightnessChange(b, BrightnessTable);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(b.PixelColor(static_cast<int>(i), 0), RGB(cases[i].wr, cases[i].wg, cases[i].wb)) << i;

    TBitmap sixteen;
    sixteen.SetPixelFormat(pf16bit);
    sixteen.SetSize(1, 1);
    try {
        DoBrightnessChange(sixteen, BrightnessTable);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Non-24bit bitmap encountered in DoBrightnessChange");
    }
}

TEST_F(LoadingTest, LoadsIntoTheCurrentFormatWithKeysSnapped)
{
    Dir.Write("Blocks.jpg", BlockJpeg());
    tDib16* dib = FindOrLoadDib("Blocks.jpg", true);
    ASSERT_TRUE(dib->Loaded);
    EXPECT_EQ(dib->Width, 32);
    EXPECT_EQ(dib->Height, 16);
    EXPECT_EQ(dib->ClipRect, Rect(0, 0, 32, 16));
    EXPECT_EQ(dib->ScanLine(2)[3], 0xF81F);  // the key colour, exactly
    EXPECT_EQ(dib->ScanLine(2)[20], 0x001F); // exact blue
    EXPECT_TRUE(NearPixel(dib->ScanLine(12)[3], BrightnessTable[100], BrightnessTable[100], BrightnessTable[100]));
    EXPECT_EQ(dib->ScanLine(12)[20], 0xFFFF);

    // Without the brightness pass nothing is snapped.
    tDib16* raw = tDib16::CreateNamed("blocks2.jpg", false);
    Dir.Write("blocks2.jpg", BlockJpeg());
    raw->NoBrightnessChange = true;
    raw->Load();
    EXPECT_NE(raw->ScanLine(2)[3], 0xF81F);
    EXPECT_TRUE(NearPixel(raw->ScanLine(2)[3], 240, 20, 230));
}

TEST_F(LoadingTest, MasksPaintTheKeyWhereTheyAreWhite)
{
    // Masks of every depth, and masks smaller and larger than the 32 x 16 image: white in
    // the left 8 columns.
    struct Case {
        int bpp, w, h;
    };
    const Case cases[] = {{24, 32, 16}, {1, 32, 16}, {4, 32, 16}, {8, 32, 16}, {32, 32, 16}, {24, 4, 4}, {24, 100, 50}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bpp) + " bits, " + std::to_string(c.w) + " x " + std::to_string(c.h));
        const std::string name = "Sprite" + std::to_string(n++) + ".jpg";
        Dir.Write(name, FlatJpeg(32, 16, RGB(100, 150, 50)));
        Dir.Write(name + ".mask", MakeBmpFile(c.w, c.h, c.bpp, [](int x, int) { return x < 8 ? clWhite : clBlack; }));
        tDib16* dib = FindOrLoadDib(name, true);
        EXPECT_EQ(dib->MaskName, name + ".mask");
        const uint16_t image = dib->ScanLine(15)[31];
        EXPECT_TRUE(NearPixel(image, BrightnessTable[100], BrightnessTable[150], BrightnessTable[50]));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x) {
                const bool masked = x < 8 && x < c.w && y < c.h;
                if (masked) {
                    EXPECT_EQ(dib->ScanLine(y)[x], 0xF81F) << x << "," << y;
                } else {
                    EXPECT_NE(dib->ScanLine(y)[x], 0xF81F) << x << "," << y;
                }
            }
    }
    // A mask set on a loaded image applies at once; a missing mask file is fine.
    Dir.Write("late.jpg", FlatJpeg(8, 8, RGB(100, 150, 50)));
    Dir.Write("late.bmp", MakeBmpFile(8, 8, 24, [](int, int y) { return y == 0 ? clWhite : clBlack; }));
    tSprite sprite;
    FindOrLoadDib("late.jpg", true);
    sprite.SetMaskedFrame("late.jpg", "late.bmp", 0, 0, 8, 8);
    EXPECT_EQ(FindDib("late.jpg")->ScanLine(0)[5], 0xF81F);
    EXPECT_NE(FindDib("late.jpg")->ScanLine(1)[5], 0xF81F);
    FindDib("late.jpg")->SetMaskName("nowhere.mask");
}

TEST_F(LoadingTest, RegistryNamesAndOwnership)
{
    Dir.Write("Spider.jpg", FlatJpeg(8, 8, clWhite));
    tDib16* a = FindOrLoadDib("Spider.jpg", false);
    EXPECT_EQ(a->Name, "spider.jpg");
    EXPECT_EQ(a->MaskName, "Spider.jpg.mask");
    EXPECT_FALSE(a->Loaded);
    EXPECT_EQ(FindOrLoadDib("SPIDER.jpg", false), a);
    EXPECT_EQ(FindDib("Spider.JPG"), a);
    EXPECT_FALSE(a->Loaded);
    EXPECT_EQ(FindDib("other.jpg"), nullptr);
    try {
        tDib16::CreateNamed("SpiDer.jpg", false);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Dib16 name 'spider.jpg' Registered twice");
    }
    EXPECT_EQ(DibRegistry().size(), 1u);

    // One-off pictures keep their name as given, are not registered and have no mask.
    Dir.Write("Solo.jpg.mask", MakeBmpFile(8, 8, 24, [](int, int) { return clWhite; }));
    Dir.Write("Solo.jpg", FlatJpeg(8, 8, RGB(100, 150, 50)));
    auto solo = tDib16::CreateFromFile("Solo.jpg");
    EXPECT_EQ(solo->Name, "Solo.jpg");
    EXPECT_TRUE(solo->Loaded);
    EXPECT_NE(solo->ScanLine(0)[0], 0xF81F);
    EXPECT_EQ(FindDib("solo.jpg"), nullptr);

    // Loading twice reads once; unloading frees the pixels and a draw reads them again.
    a->Load();
    std::filesystem::remove(Dir / "Spider.jpg");
    a->Load(); // already loaded: the file is not needed
    a->Unload();
    EXPECT_FALSE(a->HasSurface());
    EXPECT_THROW(a->ScanLine(0), Exception); // no stale row of the freed pixels
    EXPECT_THROW(a->Load(), EFileMissing);
    Dir.Write("Spider.jpg", FlatJpeg(8, 8, clWhite));
    tDib16 frame(8, 8);
    CurrentDib = &frame;
    tSprite s;
    s.SetFrame("spider.jpg", 0, 0, 8, 8);
    s.Draw(4, 4);
    EXPECT_TRUE(a->Loaded);
    EXPECT_EQ(frame.ScanLine(0)[0], 0xFFFF);
    FreeAllDibs();
    EXPECT_TRUE(DibRegistry().empty());
}

TEST_F(LoadingTest, FormatChangeReloadsLoadedImagesOnly)
{
    Dir.Write("key.jpg", FlatJpeg(8, 8, RGB(255, 0, 255)));
    Dir.Write("idle.jpg", FlatJpeg(8, 8, RGB(255, 0, 255)));
    tDib16* loaded = FindOrLoadDib("key.jpg", true);
    tDib16* idle = FindOrLoadDib("idle.jpg", false);
    EXPECT_EQ(loaded->ScanLine(0)[0], 0xF81F);
    DDPIXELFORMAT f = DefaultPixelFormat;
    f.dwRBitMask = 0x7C00;
    f.dwGBitMask = 0x03E0;
    SetScreenPixelFormat(f);
    EXPECT_TRUE(loaded->Loaded);
    EXPECT_EQ(loaded->ScanLine(0)[0], 0x7C1F);
    EXPECT_EQ(loaded->Bitmap().BitFields(), BitFields555);
    EXPECT_FALSE(idle->Loaded);
    EXPECT_FALSE(idle->HasSurface());

    // An image that cannot be read again does not stop the others, and none keeps pixels
    // of the old format.
    Dir.Write("second.jpg", FlatJpeg(8, 8, RGB(255, 0, 255)));
    tDib16* second = FindOrLoadDib("second.jpg", true);
    std::filesystem::remove(Dir / "key.jpg");
    EXPECT_THROW(SetScreenPixelFormat(DefaultPixelFormat), EFileMissing);
    EXPECT_FALSE(loaded->Loaded);
    EXPECT_FALSE(loaded->HasSurface());
    EXPECT_TRUE(second->Loaded);
    EXPECT_EQ(second->ScanLine(0)[0], 0xF81F);
}

TEST_F(LoadingTest, LoadingNamesItsStep)
{
    Dir.Write("Step.jpg", FlatJpeg(8, 8, clWhite));
    tDib16* dib = FindOrLoadDib("Step.jpg", false);
    LastOperation.clear();
    dib->Load();
    EXPECT_EQ(LastOperation, "Loading step.jpg");
    LastOperation = "unchanged";
    dib->Load(); // loaded already: nothing happens
    EXPECT_EQ(LastOperation, "unchanged");
    // A failing load leaves its step for the start-up failure report.
    EXPECT_THROW(FindOrLoadDib("Absent.jpg", true), EFileMissing);
    EXPECT_EQ(LastOperation, "Loading absent.jpg");
}

// Pictures from the data package that lack their end-of-image marker, as some programs
// write them, load with every pixel; a picture cut in half is still refused.
TEST_F(LoadingTest, PackagedPicturesWithoutTheirEndMarkerLoad)
{
    const std::string whole = BlockJpeg();
    Dir.Write("Base.Tarvol", BuildZip({
        ZipMember("whole.jpg", whole).Stored(),
        ZipMember("noend.jpg", whole.substr(0, whole.size() - 2)),
        ZipMember("half.jpg", whole.substr(0, whole.size() / 2)).Stored(),
    }));
    AddPackage(Dir / "Base.Tarvol");
    tDib16* reference = FindOrLoadDib("whole.jpg", true);
    tDib16* noEnd = FindOrLoadDib("noend.jpg", true);
    EXPECT_TRUE(noEnd->Loaded);
    EXPECT_EQ(Pixels(*noEnd), Pixels(*reference));
    tDib16* half = FindOrLoadDib("half.jpg", false);
    EXPECT_THROW(half->Load(), EJPEG);
    EXPECT_FALSE(half->Loaded);
}

TEST_F(LoadingTest, DamagedOrHugeFilesLeaveTheImageNotLoaded)
{
    const std::string good = FlatJpeg(16, 16, RGB(100, 150, 50));
    struct Case {
        const char* what;
        std::string jpeg;
        std::string mask; // empty: no mask file
    };
    const Case cases[] = {
        {"empty file", "", ""},
        {"not a JPEG", "GIF89a not a jpeg", ""},
        {"cut short", good.substr(0, good.size() / 2), ""},
        {"65500 x 65500", WithJpegSize(good, 65500, 65500), ""},
        {"taller than the cap", WithJpegSize(good, 16, 9000), ""},
        {"mask not a bitmap", good, "not a bitmap"},
        {"mask cut short", good, MakeBmpFile(16, 16, 24, [](int, int) { return clWhite; }).substr(0, 100)},
        {"mask too large", good, WithBmpSize(MakeBmpFile(16, 16, 24, [](int, int) { return clWhite; }), 100000, 100000)},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "bad" + std::to_string(n++) + ".jpg";
        Dir.Write(name, c.jpeg);
        if (!c.mask.empty())
            Dir.Write(name + ".mask", c.mask);
        tDib16* dib = FindOrLoadDib(name, false);
        try {
            dib->Load();
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            EXPECT_FALSE(e.Message().empty());
        }
        EXPECT_FALSE(dib->Loaded);
        EXPECT_FALSE(dib->HasSurface());
        EXPECT_THROW(dib->ScanLine(0), Exception);
    }
    EXPECT_THROW(FindOrLoadDib("missing.jpg", true), EFileMissing);
    EXPECT_FALSE(FindDib("missing.jpg")->Loaded);

    // A very tall, thin picture loads: the row table has no fixed size.
    TBitmap tall;
    tall.SetSize(1, 5000);
    Dir.Write("tall.jpg", EncodeJpeg(tall));
    tDib16* t = FindOrLoadDib("tall.jpg", true);
    EXPECT_EQ(t->Height, 5000);
    EXPECT_EQ(t->ScanLine(4999)[0], 0);
}
