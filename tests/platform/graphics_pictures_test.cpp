// Bitmaps, the bitmap file reader, the JPEG picture, raster operations and the canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "tests/support/GuiApplication.h"
#include "tests/support/PictureFiles.h"

namespace {

TColor At(const TBitmap& b, int x, int y) { return b.PixelColor(x, y); }

// A picture with four flat quadrants, colours chosen away from anything lossy coding
// could blur into another.
TBitmap Quadrants(int w, int h)
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelColor(x, y, x < w / 2 ? (y < h / 2 ? RGB(200, 40, 40) : RGB(40, 200, 40))
                                            : (y < h / 2 ? RGB(40, 40, 200) : RGB(220, 220, 220)));
    return b;
}

bool Near(TColor a, TColor b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Windows bitmap files

TEST(BitmapFile, ReadsEveryDepthInBothRowOrders)
{
    // A 5 x 3 picture: the left two columns white, the rest black, except a red pixel at
    // (4, 0) in the formats that can hold red.
    struct Case {
        int bpp;
        bool topDown;
        uint32_t compression;
    };
    const Case cases[] = {{1, false, 0}, {1, true, 0},  {4, false, 0}, {4, false, 2},
                          {8, false, 0}, {8, true, 0},  {8, false, 1}, {16, false, 0},
                          {16, false, 3}, {24, false, 0}, {24, true, 0}, {32, false, 0},
                          {32, false, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE("bpp " + std::to_string(c.bpp) + (c.topDown ? " top-down" : "") +
                     " compression " + std::to_string(c.compression));
        const bool hasRed = c.bpp != 1;
        auto color = [&](int x, int y) -> TColor {
            if (hasRed && x == 4 && y == 0)
                return clRed;
            return x < 2 ? clWhite : clBlack;
        };
        std::string file = MakeBmpFile(5, 3, c.bpp, color, c.topDown, c.compression);
        TBitmap b;
        b.LoadFromBytes(file);
        ASSERT_EQ(b.Width(), 5);
        ASSERT_EQ(b.Height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(At(b, x, y), color(x, y)) << x << "," << y;
    }
}

TEST(BitmapFile, BadFilesRaiseAndLeaveTheBitmapEmpty)
{
    const std::string good = MakeBmpFile(4, 4, 24, [](int, int) { return clWhite; });
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::string s = good;
        for (size_t i = 0; i < bytes.size(); ++i)
            s[at + i] = static_cast<char>(bytes[i]);
        return s;
    };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"not a bitmap", "GIF89a........................................"},
        {"header only", good.substr(0, 30)},
        {"pixels cut short", good.substr(0, good.size() - 5)},
        {"zero width", patched(18, {0, 0, 0, 0})},
        {"huge width", patched(18, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"huge height", patched(22, {0x00, 0x00, 0x01, 0x00})},
        {"most negative height", patched(22, {0x00, 0x00, 0x00, 0x80})},
        {"two bits per pixel", patched(28, {2, 0})},
        {"PNG compression", patched(30, {5, 0, 0, 0})},
        {"unknown header size", patched(14, {41, 0, 0, 0})},
        {"palette larger than 256", MakeBmpFile(2, 2, 8, [](int, int) { return clWhite; }, false, 0, 300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap b;
        b.SetSize(2, 2);
        EXPECT_THROW(b.LoadFromBytes(c.bytes), EInvalidGraphic);
        EXPECT_TRUE(b.Empty());
    }
}

TEST(BitmapFile, ReadsFromAStreamAndWithoutAFileHeader)
{
    const std::string file = MakeBmpFile(3, 2, 8, [](int x, int) { return x ? clBlack : clWhite; });
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<int32_t>(file.size()));
    stream.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(stream);
    EXPECT_EQ(At(b, 0, 1), clWhite);
    EXPECT_EQ(At(b, 2, 1), clBlack);

    TBitmap dib;
    dib.LoadFromDibMemory(file.data() + 14, file.size() - 14);
    EXPECT_EQ(At(dib, 0, 0), clWhite);
    EXPECT_EQ(At(dib, 1, 0), clBlack);
    EXPECT_EQ(dib.TransparentColor(), clWhite | clPaletteRelative);
}

// ---------------------------------------------------------------------------------------
// Bitmaps

TEST(Bitmap, RowsArePaddedAndRangeChecked)
{
    TBitmap b;
    b.SetPixelFormat(pf16bit);
    b.SetSize(3, 2);
    EXPECT_EQ(b.RowBytes(), 8);
    EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), 8);
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(b.RowBytes(), 12);
    TBitmap empty;
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, SixteenBitLayoutsDropTheLowBits)
{
    for (auto [fields, magenta, white] : {std::tuple{BitFields565, 0xF81F, 0xFFFF},
                                          std::tuple{BitFields555, 0x7C1F, 0x7FFF}}) {
        TBitmap rgb;
        rgb.SetPixelFormat(pf24bit);
        rgb.SetSize(2, 1);
        rgb.SetPixelColor(0, 0, RGB(255, 0, 255));
        rgb.SetPixelColor(1, 0, RGB(255, 255, 255));
        TBitmap dib;
        dib.SetPixelFormat(pf16bit);
        dib.SetBitFields(fields);
        dib.SetSize(2, 1);
        dib.Canvas().CopyRect(Rect(0, 0, 2, 1), rgb.Canvas(), Rect(0, 0, 2, 1));
        uint16_t px[2];
        std::memcpy(px, dib.ScanLine(0), 4);
        EXPECT_EQ(px[0], magenta);
        EXPECT_EQ(px[1], white);
        // And back: each channel shifted up, 31 becomes 248.
        EXPECT_EQ(dib.PixelColor(1, 0), fields == BitFields565 ? RGB(248, 252, 248) : RGB(248, 248, 248));
    }
}

TEST(RasterOperation, MaskBlitPaintsThePatternWhereTheSourceIsSet)
{
    for (TBitFields fields : {BitFields565, BitFields555}) {
        TBitmap dib;
        dib.SetPixelFormat(pf16bit);
        dib.SetBitFields(fields);
        dib.SetSize(4, 1);
        const uint16_t image[4] = {0x1234, 0x4321, 0x0F0F, 0x5555};
        std::memcpy(dib.ScanLine(0), image, 8);
        TBitmap mask;
        mask.SetPixelFormat(pf24bit);
        mask.SetSize(3, 1); // narrower than the image: the last pixel is left alone
        mask.SetPixelColor(0, 0, clWhite);
        mask.SetPixelColor(1, 0, clBlack);
        mask.SetPixelColor(2, 0, RGB(128, 128, 128));
        BitBlt(dib.Handle(), 0, 0, 4, 1, mask.Handle(), 0, 0, ropPatternWhereSource, 0xFF00FF);
        uint16_t out[4];
        std::memcpy(out, dib.ScanLine(0), 8);
        const uint16_t key = PackPixel16(fields, 255, 0, 255);
        const uint16_t grey = PackPixel16(fields, 128, 128, 128);
        EXPECT_EQ(out[0], (image[0] & ~PackPixel16(fields, 255, 255, 255)) | key);
        EXPECT_EQ(out[1], image[1]);
        EXPECT_EQ(out[2], static_cast<uint16_t>((image[2] & ~grey) | (key & grey)));
        EXPECT_EQ(out[3], image[3]);
    }
}

TEST(Presentation, SixteenBitFramesWidenAndStretchByNearestNeighbour)
{
    // 2 x 2 frame: (31, 0, 0) red, green, blue, white in 565.
    const uint16_t frame[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    uint32_t out[4 * 4];
    Convert16To32Stretched(reinterpret_cast<const uint8_t*>(frame), 2, 2, 4, BitFields565,
                           reinterpret_cast<uint8_t*>(out), 4, 4, 16);
    EXPECT_EQ(out[0] & 0xFFFFFF, 0xF80000u);
    EXPECT_EQ(out[1] & 0xFFFFFF, 0xF80000u);
    EXPECT_EQ(out[2] & 0xFFFFFF, 0x00FC00u);
    EXPECT_EQ(out[3 * 4 + 3] & 0xFFFFFF, 0xF8FCF8u);
    EXPECT_EQ(out[2 * 4 + 0] & 0xFFFFFF, 0x0000F8u);
    // Twice the size: the last pixel comes from the last source pixel.
    std::vector<uint16_t> big(640 * 480, 0);
    big[479 * 640 + 639] = 0xFFFF;
    std::vector<uint32_t> wide(1280 * 960, 0);
    Convert16To32Stretched(reinterpret_cast<const uint8_t*>(big.data()), 640, 480, 1280, BitFields565,
                           reinterpret_cast<uint8_t*>(wide.data()), 1280, 960, 1280 * 4);
    EXPECT_EQ(wide[959 * 1280 + 1279] & 0xFFFFFF, 0xF8FCF8u);
    EXPECT_EQ(wide[957 * 1280 + 1279] & 0xFFFFFF, 0u);
}

// ---------------------------------------------------------------------------------------
// Canvas

class CanvasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureGuiApplication();
    }
};

TEST_F(CanvasTest, ShapesKeepTheirRightAndBottomEdgesOutside)
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(10, 10);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clBlack;
    c.FillRect(Rect(0, 0, 10, 10));
    c.Pen.Color = clWhite;
    c.Brush.Color = clRed;
    c.Rectangle(2, 2, 6, 6);
    EXPECT_EQ(At(b, 2, 2), clWhite);
    EXPECT_EQ(At(b, 5, 5), clWhite);
    EXPECT_EQ(At(b, 3, 3), clRed);
    EXPECT_EQ(At(b, 6, 6), clBlack);
    c.Pen.Color = clLime;
    c.MoveTo(0, 8);
    c.LineTo(5, 8);
    EXPECT_EQ(At(b, 4, 8), clLime);
    EXPECT_EQ(At(b, 5, 8), clBlack); // the end point is not plotted
    EXPECT_EQ(c.PenPos, Point(5, 8));
    c.Brush.Color = clBlue;
    c.FrameRect(Rect(7, 0, 10, 3));
    EXPECT_EQ(At(b, 7, 0), clBlue);
    EXPECT_EQ(At(b, 8, 1), clBlack);
}

TEST_F(CanvasTest, TextLandsInBothSixteenBitLayoutsAndTwentyFourBits)
{
    for (auto [format, fields] : {std::pair{pf16bit, BitFields565}, std::pair{pf16bit, BitFields555},
                                  std::pair{pf24bit, BitFields565}}) {
        TBitmap b;
        b.SetPixelFormat(format);
        b.SetBitFields(fields);
        b.SetSize(60, 30);
        TCanvas& c = b.Canvas();
        c.Brush.Color = clBlack;
        c.FillRect(Rect(0, 0, 60, 30));
        c.Font.Color = clWhite;
        c.Font.Height = 20;
        c.Brush.Style = bsClear;
        const TPoint ext = c.TextExtent("W");
        EXPECT_GT(ext.X, 0);
        EXPECT_GT(ext.Y, 0);
        EXPECT_LE(ext.Y, 20);
        c.TextOut(2, 2, "W");
        const TColor white = format == pf24bit        ? clWhite
                             : fields == BitFields565 ? RGB(248, 252, 248)
                                                      : RGB(248, 248, 248);
        int lit = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x) {
                const TColor p = At(b, x, y);
                EXPECT_TRUE(p == clBlack || p == white) << std::hex << p; // two-coloured text
                lit += p != clBlack;
            }
        EXPECT_GT(lit, 10);
    }
}

TEST_F(CanvasTest, TextOnSixteenBitRowsLightsTheSamePixelsAsOnTwentyFourBits)
{
    // Which pixels each way of writing text lights, on a wide bitmap of each layout.
    auto lit = [](TPixelFormat format, TBitFields fields, int way) {
        TBitmap b;
        b.SetPixelFormat(format);
        b.SetBitFields(fields);
        b.SetSize(640, 60);
        TCanvas& c = b.Canvas();
        c.Brush.Color = clBlack;
        c.FillRect(Rect(0, 0, 640, 60));
        c.Font.Color = clWhite;
        c.Font.Height = 25;
        c.Brush.Style = bsClear;
        TRect r = Rect(30, 5, 400, 50);
        if (way == 0)
            c.TextOut(40, 10, "03/05 Wj");
        else if (way == 1)
            c.TextRect(Rect(0, 0, 70, 60), 40, 10, "03/05 Wj");
        else
            c.DrawText("&03/05 Wj", r, DT_SINGLELINE);
        std::vector<bool> on;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 640; ++x)
                on.push_back(At(b, x, y) != clBlack);
        return on;
    };
    for (int way = 0; way < 3; ++way) {
        const std::vector<bool> reference = lit(pf24bit, BitFields565, way);
        EXPECT_EQ(std::count(reference.begin(), reference.end(), true) > 30, true) << way;
        EXPECT_EQ(lit(pf16bit, BitFields565, way), reference) << "565, way " << way;
        EXPECT_EQ(lit(pf16bit, BitFields555, way), reference) << "555, way " << way;
    }
}

TEST_F(CanvasTest, SolidBrushFillsTheTextCell)
{
    TBitmap b;
    b.SetSize(80, 40);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clBlack;
    c.FillRect(Rect(0, 0, 80, 40));
    c.Brush.Color = clBlue;
    c.Font.Color = clWhite;
    c.TextOut(0, 0, "ab");
    const TPoint ext = c.TextExtent("ab");
    EXPECT_EQ(At(b, ext.X - 1, ext.Y - 1), clBlue);
    EXPECT_EQ(At(b, ext.X, 0), clBlack);
}

// ---------------------------------------------------------------------------------------
// JPEG pictures

TEST(JpegPicture, DecodesEveryCodingTheLibraryOffers)
{
    TBitmap source = Quadrants(32, 16);
    struct Case {
        const char* what;
        TJpegEncodeOptions options;
        bool grey;
    };
    const Case cases[] = {
        {"baseline", {}, false},
        {"progressive", {90, true}, false},
        {"arithmetic", {90, false, false, true}, false},
        {"greyscale", {90, false, true}, true},
        {"cmyk", {90, false, false, false, true}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = EncodeJpeg(source, c.options);
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(file);
        ASSERT_EQ(jpeg.Width(), 32);
        ASSERT_EQ(jpeg.Height(), 16);
        EXPECT_EQ(jpeg.Bitmap().PixelFormat(), pf24bit);
        for (auto [x, y] : {std::pair{3, 3}, std::pair{28, 3}, std::pair{3, 12}, std::pair{28, 12}}) {
            TColor want = source.PixelColor(x, y);
            if (c.grey) {
                int l = (GetRValue(want) * 299 + GetGValue(want) * 587 + GetBValue(want) * 114) / 1000;
                want = RGB(l, l, l);
            }
            EXPECT_TRUE(Near(jpeg.Bitmap().PixelColor(x, y), want, 12))
                << std::hex << jpeg.Bitmap().PixelColor(x, y) << " vs " << want;
        }
    }
}

TEST(JpegPicture, DrawsVerbatimIntoATwentyFourBitBitmap)
{
    TBitmap source = Quadrants(16, 16);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(EncodeJpeg(source));
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(16, 16);
    target.Canvas().Draw(0, 0, jpeg);
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(std::memcmp(target.ScanLine(y), jpeg.Bitmap().ScanLine(y), 48), 0);
}

// The stretches of entropy-coded data of a JPEG file's scans: [first byte, end).
std::vector<std::pair<size_t, size_t>> ScanData(const std::string& file)
{
    std::vector<std::pair<size_t, size_t>> scans;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(file.at(i)); };
    size_t pos = 2; // after the start-of-image marker
    while (pos + 4 <= file.size() && byte(pos) == 0xFF && byte(pos + 1) != 0xD9) {
        const bool scan = byte(pos + 1) == 0xDA;
        pos += 2 + (size_t(byte(pos + 2)) << 8 | byte(pos + 3));
        if (!scan)
            continue;
        // The data run to the next marker that is neither a stuffed zero nor a restart.
        size_t end = pos;
        while (end + 1 < file.size() &&
               !(byte(end) == 0xFF && byte(end + 1) != 0 && (byte(end + 1) < 0xD0 || byte(end + 1) > 0xD7)))
            ++end;
        scans.emplace_back(pos, end);
        pos = end;
    }
    return scans;
}

// A cut inside a scan's data fails the load; a file that lacks only its end-of-image
// marker (in part or whole) loads with every pixel, as does one with two of them. Cuts
// elsewhere load or fail, never crash; a failure leaves the picture empty. An
// arithmetic-coded file is refused whenever it is cut at all, since its scans take a cut
// as their end.
TEST(JpegPicture, DamagedFilesRaiseAndLeaveThePictureEmpty)
{
    TBitmap source = Quadrants(24, 16);
    const std::string good = EncodeJpeg(source);
    const std::string progressive = EncodeJpeg(source, {90, true});
    const std::string arithmetic = EncodeJpeg(source, {90, false, false, true});
    for (const std::string* file : {&good, &progressive, &arithmetic}) {
        SCOPED_TRACE(file == &good ? "baseline" : file == &progressive ? "progressive" : "arithmetic");
        const auto scans = ScanData(*file);
        ASSERT_FALSE(scans.empty());
        ASSERT_EQ(scans.back().second, file->size() - 2);
        TJPEGImage whole;
        whole.LoadFromBytes(*file);
        TJPEGImage doubled;
        doubled.LoadFromBytes(*file + "\xFF\xD9");
        EXPECT_TRUE(SameBitmaps(doubled.Bitmap(), whole.Bitmap()));
        for (size_t cut = 0; cut < file->size(); ++cut) {
            SCOPED_TRACE(cut);
            const bool inScan = std::any_of(scans.begin(), scans.end(), [&](const auto& s) {
                return cut > s.first && cut < s.second;
            });
            const bool markerOnly = cut >= file->size() - 2;
            TJPEGImage jpeg;
            try {
                jpeg.LoadFromBytes(file->substr(0, cut));
                EXPECT_FALSE(inScan);
                EXPECT_TRUE(file != &arithmetic);
                if (markerOnly) {
                    EXPECT_TRUE(SameBitmaps(jpeg.Bitmap(), whole.Bitmap()));
                }
            } catch (const EInvalidGraphic&) {
                EXPECT_FALSE(markerOnly && file != &arithmetic);
                EXPECT_TRUE(jpeg.Empty());
            }
        }
    }
}

TEST(JpegPicture, OddAndRefusedSizes)
{
    // Real pictures of unusual shapes load.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 4098}, std::pair{1, 5000}, std::pair{4098, 1}}) {
        TBitmap b;
        b.SetSize(w, h);
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(EncodeJpeg(b));
        EXPECT_EQ(jpeg.Width(), w);
        EXPECT_EQ(jpeg.Height(), h);
    }
    // Headers claiming sizes the loader refuses, or no pixels at all.
    TBitmap small;
    small.SetSize(8, 8);
    const std::string file = EncodeJpeg(small);
    for (auto [w, h] : {std::pair{65500, 65500}, std::pair{1, 8193}, std::pair{9000, 8}, std::pair{0, 0},
                        std::pair{8, 0}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        TJPEGImage jpeg;
        try {
            jpeg.LoadFromBytes(WithJpegSize(file, w, h));
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_FALSE(e.Message().empty());
        }
        EXPECT_TRUE(jpeg.Empty());
    }
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromBytes("this is not a JPEG file at all");
        ADD_FAILURE();
    } catch (const EJPEG& e) {
        EXPECT_NE(e.Message().find("JPEG"), std::string::npos);
    }
    EXPECT_THROW(jpeg.LoadFromBytes(""), EJPEG);
}

TEST_F(CanvasTest, DrawTextLaysOutByItsFlags)
{
    TBitmap b;
    b.SetSize(200, 100);
    TCanvas& c = b.Canvas();
    c.Font.Height = -11;
    const TPoint open = c.TextExtent("Open");
    // Accelerator marks take no room; "&&" is one ampersand.
    TRect r = Rect(10, 10, 10, 10);
    EXPECT_EQ(c.DrawText("&Open", r, DT_CALCRECT | DT_SINGLELINE), open.Y);
    EXPECT_EQ(r, Rect(10, 10, 10 + open.X, 10 + open.Y));
    r = Rect(0, 0, 0, 0);
    c.DrawText("&&", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Right, c.TextWidth("&"));
    r = Rect(0, 0, 0, 0);
    c.DrawText("&Open", r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.Right, c.TextWidth("&Open"));
    // Word breaks: every line fits the width; explicit line ends count too.
    const int wide = c.TextWidth("three");
    r = Rect(0, 0, wide + 2, 0);
    EXPECT_EQ(c.DrawText("one two three", r, DT_CALCRECT | DT_WORDBREAK), 3 * open.Y);
    EXPECT_LE(r.Width(), wide + 2);
    r = Rect(0, 0, 500, 0);
    EXPECT_EQ(c.DrawText("a\r\nb\nc", r, DT_CALCRECT), 3 * open.Y);

    // Drawn: centred on one line, the accelerator underlined below its character.
    c.Brush.Color = clBlack;
    c.FillRect(Rect(0, 0, 200, 100));
    c.Brush.Style = bsClear;
    c.Font.Color = clWhite;
    r = Rect(0, 0, 200, 100);
    c.DrawText("&Open", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    int minX = 200, maxX = -1, minY = 100, maxY = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (b.PixelColor(x, y) != clBlack) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, 100, open.X / 2.0);
    EXPECT_NEAR((minY + maxY) / 2.0, 50, open.Y / 2.0);
    const int ux = (200 - open.X) / 2;
    EXPECT_EQ(b.PixelColor(ux + 1, maxY), clWhite); // the underline is the lowest row
}

TEST_F(CanvasTest, FocusRectanglesInvertAndThreeDFramesShrink)
{
    TBitmap b;
    b.SetSize(10, 10);
    TCanvas& c = b.Canvas();
    c.Brush.Color = RGB(10, 20, 30);
    c.FillRect(Rect(0, 0, 10, 10));
    c.DrawFocusRect(Rect(1, 1, 9, 9));
    EXPECT_EQ(b.PixelColor(1, 1), RGB(245, 235, 225));
    EXPECT_EQ(b.PixelColor(2, 1), RGB(10, 20, 30));
    EXPECT_EQ(b.PixelColor(4, 4), RGB(10, 20, 30));
    c.DrawFocusRect(Rect(1, 1, 9, 9));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(b.PixelColor(x, y), RGB(10, 20, 30));

    TRect r = Rect(0, 0, 10, 10);
    c.Frame3D(r, clWhite, clGray, 2);
    EXPECT_EQ(r, Rect(2, 2, 8, 8));
    EXPECT_EQ(b.PixelColor(0, 0), clWhite);
    EXPECT_EQ(b.PixelColor(9, 9), clGray);
    EXPECT_EQ(b.PixelColor(9, 0), clGray);
    EXPECT_EQ(b.PixelColor(1, 1), clWhite);
    EXPECT_EQ(b.PixelColor(2, 2), RGB(10, 20, 30));
}

TEST(Picture, HoldsCopiesAndReportsChanges)
{
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TPicture*) { ++changes; };
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    TBitmap source = Quadrants(8, 4);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(EncodeJpeg(source));
    picture.SetGraphic(&jpeg);
    EXPECT_EQ(changes, 1);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_NE(picture.Graphic(), &jpeg); // a copy
    EXPECT_EQ(picture.Graphic()->ClassType(), &TJPEGImage::ClassInfo);
    EXPECT_EQ(picture.Width(), 8);
    TPicture other;
    other.Assign(&picture);
    EXPECT_EQ(other.Height(), 4);
    // Asking for a bitmap replaces a picture of another class with an empty bitmap.
    TBitmap& bitmap = picture.Bitmap();
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(changes, 2);
    picture.Assign(nullptr);
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(other.Width(), 8);
}
