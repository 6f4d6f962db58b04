// Dirty rectangles, block copies, whole-surface operations and lines.
#include "tests/tesk/toolkit/GraphicsFixture.h"

namespace {

uint16_t P(int r, int g, int b) { return static_cast<uint16_t>((r << 11) | (g << 5) | b); }
uint16_t Coord(int x, int y) { return static_cast<uint16_t>(x * 256 + y + 1); }

} // namespace

using PixelOpsTest = GraphicsTest;

TEST_F(PixelOpsTest, DirtyListIsCappedAndRestoredInOrder)
{
    tDib16 frame(64, 64), background(64, 64);
    FillWith(background, [](int x, int y) { return Coord(x, y); });
    frame.RecordDirtyRects = true;
    for (int i = 0; i < 1024; ++i)
        frame.AddDirtyRect(Rect(i % 60, 0, i % 60 + 1, 1));
    EXPECT_EQ(frame.DirtyRectCount, 1023); // the 1024th is dropped
    frame.ClearDirtyRects();
    // Overlapping rectangles restore in recording order; the offset shifts the source.
    frame.AddDirtyRect(Rect(0, 0, 4, 4));
    frame.AddDirtyRect(Rect(2, 2, 6, 6));
    frame.AddDirtyRect(Rect(10, 10, 5, 5)); // inverted: copies nothing
    frame.AddDirtyRect(Rect(60, 60, 70, 70)); // reaches past both surfaces
    frame.RestoreDirtyRects(background, Point(1, 0));
    EXPECT_EQ(frame.DirtyRectCount, 0);
    EXPECT_EQ(frame.ScanLine(0)[0], Coord(1, 0));
    EXPECT_EQ(frame.ScanLine(5)[5], Coord(6, 5));
    EXPECT_EQ(frame.ScanLine(7)[7], 0);
    EXPECT_EQ(frame.ScanLine(63)[62], Coord(63, 63));
    EXPECT_EQ(frame.ScanLine(63)[63], 0); // its source column does not exist
    // Recording off or suspended: nothing is stored.
    frame.DirtyRectsSuspended = true;
    frame.AddDirtyRect(Rect(0, 0, 1, 1));
    frame.DirtyRectsSuspended = false;
    frame.RecordDirtyRects = false;
    frame.AddDirtyRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(frame.DirtyRectCount, 0);
}

TEST_F(PixelOpsTest, BlitFromClipsBothSides)
{
    tDib16 src(16, 16), dst(16, 16);
    FillWith(src, [](int x, int y) { return Coord(x, y); });
    src.ClipRect = Rect(2, 2, 14, 14);
    dst.ClipRect = Rect(4, 4, 12, 12);
    struct Case {
        int sx, sy, w, h, dx, dy;
        int cx, cy; // a copied destination pixel
        uint16_t want;
        int copied;
    };
    const Case cases[] = {
        {5, 5, 4, 4, 6, 6, 6, 6, Coord(5, 5), 16},
        // Destination partly left of / above its clip: the matching source part is taken.
        {5, 5, 4, 4, 2, 3, 4, 4, Coord(7, 6), 6},
        // Source partly left of / above its clip: the destination shifts with it.
        {0, 1, 4, 4, 6, 6, 8, 7, Coord(2, 2), 6},
        // Beyond the right and bottom of both.
        {12, 12, 8, 8, 10, 10, 10, 10, Coord(12, 12), 4},
        {0, 0, 0, 5, 6, 6, -1, -1, 0, 0},
        {20, 20, 4, 4, 6, 6, -1, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sx) + "," + std::to_string(c.sy) + " -> " + std::to_string(c.dx) + "," +
                     std::to_string(c.dy));
        FillAll(dst, 0);
        dst.BlitFrom(src, c.sx, c.sy, c.w, c.h, c.dx, c.dy);
        int copied = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (dst.ScanLine(y)[x]) {
                    ++copied;
                    EXPECT_TRUE(x >= 4 && x < 12 && y >= 4 && y < 12) << x << "," << y;
                    const uint16_t v = dst.ScanLine(y)[x];
                    const int fx = (v - 1) / 256, fy = (v - 1) % 256;
                    EXPECT_EQ(fx - x, c.sx - c.dx); // always the matching source pixel
                    EXPECT_EQ(fy - y, c.sy - c.dy);
                    EXPECT_TRUE(fx >= 2 && fx < 14 && fy >= 2 && fy < 14);
                }
        EXPECT_EQ(copied, c.copied);
        if (c.cx >= 0) {
            EXPECT_EQ(dst.ScanLine(c.cy)[c.cx], c.want);
        }
    }
    // The unclipped copies still stay inside both surfaces.
    FillAll(dst, 0);
    dst.CopyBlockFrom(src, 10, 10, 10, 10, 12, 12);
    EXPECT_EQ(dst.ScanLine(15)[15], Coord(13, 13));
    dst.CopyRectFrom(src, Rect(-2, -2, 3, 3), Point(0, 0));
    EXPECT_EQ(dst.ScanLine(2)[2], Coord(2, 2));
}

TEST_F(PixelOpsTest, FillAndDarkenLeaveTheLastOddColumn)
{
    tDib16 dib(5, 2);
    FillAll(dib, P(31, 63, 31));
    dib.Fill(P(8, 8, 8));
    EXPECT_EQ(dib.ScanLine(1)[3], P(8, 8, 8));
    EXPECT_EQ(dib.ScanLine(1)[4], P(31, 63, 31));
    FillAll(dib, P(31, 63, 31));
    dib.Darken(2);
    EXPECT_EQ(dib.ScanLine(0)[0], P(27, 55, 27));
    EXPECT_EQ(dib.ScanLine(0)[4], P(31, 63, 31));
    dib.Darken(7); // nothing

    tDib16 even(4, 4);
    FillAll(even, P(31, 63, 31));
    even.Darken(0);
    EXPECT_EQ(even.ScanLine(0)[0], P(27, 55, 27));
    EXPECT_EQ(even.ScanLine(0)[1], P(31, 63, 31));
    EXPECT_EQ(even.ScanLine(1)[1], P(27, 55, 27));
    even.Darken(1);
    for (uint16_t p : Pixels(even))
        EXPECT_EQ(p, P(27, 55, 27)); // every pixel darkened once
}

TEST_F(PixelOpsTest, HalfLightGreyAndTint)
{
    tDib16 dib(2, 2);
    FillAll(dib, 0xFFFF);
    dib.HalveLight();
    EXPECT_EQ(dib.ScanLine(1)[1], P(23, 46, 23));

    // Grey comes from the green channel alone.
    dib.ScanLine(0)[0] = P(31, 32, 0);
    dib.ScanLine(0)[1] = P(0, 63, 31);
    dib.Greyscale();
    EXPECT_EQ(dib.ScanLine(0)[0], RGBToPixel(128, 128, 128));
    EXPECT_EQ(dib.ScanLine(0)[1], RGBToPixel(252, 252, 252));

    tDib16 tint(4, 4);
    tint.RecordDirtyRects = true;
    FillAll(tint, P(30, 10, 1));
    tint.ClipRect = Rect(0, 0, 3, 3);
    tint.AddColor(Rect(-5, 1, 9, 9), P(4, 60, 2));
    EXPECT_EQ(tint.DirtyRectCount, 1);
    EXPECT_EQ(tint.DirtyRects[0], Rect(-5, 1, 9, 9)); // recorded before clipping
    EXPECT_EQ(tint.ScanLine(1)[0], P(31, 63, 3));
    EXPECT_EQ(tint.ScanLine(0)[0], P(30, 10, 1));
    EXPECT_EQ(tint.ScanLine(3)[3], P(30, 10, 1));
    const auto before = Pixels(tint);
    tint.AddColor(Rect(0, 0, 4, 4), 0);
    EXPECT_EQ(Pixels(tint), before);
    EXPECT_EQ(tint.DirtyRectCount, 2);
}

TEST_F(PixelOpsTest, ShrinkHalvesAndDarkensMiddleTones)
{
    tDib16 big(640, 480);
    FillAll(big, RGBToPixel(128, 128, 128));
    tDib16 small(1, 1);
    small.ShrinkFrom(big);
    EXPECT_EQ(small.Width, 320);
    EXPECT_EQ(small.Height, 240);
    EXPECT_EQ(small.ClipRect, Rect(0, 0, 320, 240));
    EXPECT_EQ(small.ScanLine(239)[319], RGBToPixel(64, 64, 64));

    tDib16 odd(3, 3);
    FillAll(odd, 0);
    odd.ScanLine(0)[0] = 0xFFFF;
    odd.ScanLine(1)[1] = 0xFFFF;
    odd.ShrinkFrom(odd); // into itself
    EXPECT_EQ(odd.Width, 1);
    // (248 + 248 + 0 + 0) / 4 = 124, squared / 256 = 60; green (252 * 2) / 4 = 126 -> 62.
    EXPECT_EQ(odd.ScanLine(0)[0], RGBToPixel(60, 62, 60));
}

TEST_F(PixelOpsTest, LinesAndFramesStayInsideTheClipRectangle)
{
    tDib16 dib(32, 32);
    dib.RecordDirtyRects = true;
    dib.PenColor = 0xFFFF;
    FillAll(dib, 0);
    dib.FrameRect(0, 0, 32, 32);
    EXPECT_EQ(dib.DirtyRectCount, 1);
    EXPECT_EQ(dib.DirtyRects[0], Rect(0, 0, 32, 32));
    EXPECT_FALSE(dib.DirtyRectsSuspended);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(dib.ScanLine(0)[i], 0xFFFF);
        EXPECT_EQ(dib.ScanLine(31)[i], 0xFFFF);
        EXPECT_EQ(dib.ScanLine(i)[0], 0xFFFF);
        EXPECT_EQ(dib.ScanLine(i)[31], 0xFFFF);
    }
    EXPECT_EQ(dib.ScanLine(1)[1], 0);

    // Lines ending on the clip rectangle's right or bottom edge (exclusive) stop inside.
    tDib16 small(8, 8);
    small.PenColor = 0xFFFF;
    small.ClipRect = Rect(0, 0, 6, 6);
    struct Case {
        int x1, y1, x2, y2;
    };
    const Case cases[] = {{0, 0, 6, 0}, {0, 0, 0, 6}, {0, 0, 6, 6}, {-4, 3, 12, 3}, {3, -9, 3, 40}, {7, 7, 20, 20}, {0, 6, 6, 6}};
    for (const Case& c : cases) {
        FillAll(small, 0);
        small.Line(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(small.PenPos, Point(c.x2, c.y2));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (x >= 6 || y >= 6) {
                    EXPECT_EQ(small.ScanLine(y)[x], 0) << c.x1 << "," << c.y1 << "-" << c.x2 << "," << c.y2;
                }
    }
    FillAll(small, 0);
    small.Line(-4, 3, 12, 3);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(small.ScanLine(3)[x], 0xFFFF);
    FillAll(small, 0);
    small.Line(0, 0, 5, 5);
    small.LineTo(5, 0);
    EXPECT_EQ(small.ScanLine(2)[2], 0xFFFF);
    EXPECT_EQ(small.ScanLine(2)[5], 0xFFFF);
}
