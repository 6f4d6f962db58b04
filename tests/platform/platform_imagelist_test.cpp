#include <gtest/gtest.h>

#include "platform/ComCtrls.h"

namespace {

// A strip of two 14 x 12 glyphs on magenta: the first a blue square at (2, 2)-(6, 6),
// the second a green bar in its top row.
TBitmap Strip()
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(28, 12);
    b.Canvas().Brush.Color = clFuchsia;
    b.Canvas().FillRect(Rect(0, 0, 28, 12));
    b.Canvas().Brush.Color = clBlue;
    b.Canvas().FillRect(Rect(2, 2, 6, 6));
    b.Canvas().Brush.Color = clGreen;
    b.Canvas().FillRect(Rect(14, 0, 28, 1));
    return b;
}

TBitmap Chequer(int w, int h)
{
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelColor(x, y, (x + y) % 2 ? clWhite : clBlack);
    return b;
}

struct Glyphs : TImageList {
    Glyphs()
    {
        SetWidth(14);
        SetHeight(12);
    }
};

} // namespace

TEST(ImageList, AStripOnMagentaGivesTransparentGlyphs)
{
    Glyphs list;
    const TBitmap strip = Strip();
    EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target = Chequer(20, 20);
    list.Draw(target.Canvas(), 3, 4, 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool bar = y == 4 && x >= 3 && x < 17;
            const TColor want = bar ? clGreen : (x + y) % 2 ? clWhite : clBlack;
            ASSERT_EQ(target.PixelColor(x, y), want) << x << "," << y;
        }

    // clDefault takes the bottom-left pixel (magenta) as the mask colour too.
    Glyphs byDefault;
    byDefault.AddMasked(strip, clDefault);
    EXPECT_EQ(byDefault.ImagePixel(0, 0, 0), 0u);
    EXPECT_EQ(byDefault.ImagePixel(0, 2, 2), 0xFF0000FFu);

    // Origin and clip of the canvas apply.
    TBitmap clipped = Chequer(20, 20);
    SetViewportOrgEx(clipped.Canvas().Handle(), 5, 0, nullptr);
    IntersectClipRect(clipped.Canvas().Handle(), 0, 0, 4, 20);
    list.Draw(clipped.Canvas(), 0, 0, 0);
    EXPECT_EQ(clipped.PixelColor(7, 2), clBlue);
    EXPECT_EQ(clipped.PixelColor(9, 2), clWhite); // right of the clip: chequer stays
}

TEST(ImageList, ReplaceDeleteMasksAndBadIndexes)
{
    Glyphs list;
    const TBitmap strip = Strip();
    list.AddMasked(strip, clFuchsia);
    TBitmap red;
    red.SetSize(14, 12);
    red.Canvas().Brush.Color = clRed;
    red.Canvas().FillRect(Rect(0, 0, 14, 12));
    list.ReplaceMasked(0, red, clFuchsia);
    EXPECT_EQ(list.ImagePixel(0, 13, 11), 0xFFFF0000u);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.ImagePixel(0, 0, 0), 0xFF008000u); // the green bar moved to index 0

    // A null image adds an empty image that draws nothing.
    EXPECT_EQ(list.Add(nullptr, nullptr), 1);
    TBitmap target = Chequer(20, 20);
    list.Draw(target.Canvas(), 0, 0, 1);
    EXPECT_EQ(target.PixelColor(0, 0), clBlack);
    EXPECT_EQ(target.PixelColor(1, 0), clWhite);

    // White mask pixels are transparent; a bitmap smaller than the list's size leaves the
    // rest transparent.
    TBitmap small;
    small.SetSize(4, 3);
    small.Canvas().Brush.Color = clRed;
    small.Canvas().FillRect(Rect(0, 0, 4, 3));
    TBitmap mask;
    mask.SetSize(4, 3);
    mask.Canvas().Brush.Color = clBlack;
    mask.Canvas().FillRect(Rect(0, 0, 4, 3));
    mask.SetPixelColor(0, 0, clWhite);
    const int i = list.Add(&small, &mask);
    EXPECT_EQ(list.ImagePixel(i, 0, 0), 0u);
    EXPECT_EQ(list.ImagePixel(i, 1, 0), 0xFFFF0000u);
    EXPECT_EQ(list.ImagePixel(i, 5, 0), 0u);
    EXPECT_EQ(list.ImagePixel(i, 0, 5), 0u);

    for (int bad : {-1, list.Count(), 5}) {
        SCOPED_TRACE(bad);
        try {
            list.Draw(target.Canvas(), 0, 0, bad);
            ADD_FAILURE() << "no exception";
        } catch (const EListError& e) {
            EXPECT_NE(e.Message().find("(" + std::to_string(bad) + ")"), std::string::npos) << e.Message();
        }
        EXPECT_THROW(list.Delete(bad), EListError);
        EXPECT_THROW(list.ReplaceMasked(bad, red, clFuchsia), EListError);
    }
    EXPECT_THROW(list.SetWidth(0), EInvalidOperation);
    EXPECT_EQ(list.Width(), 14);
    list.SetWidth(16); // a new size empties the list
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, TheMaskColourInEachFormAndABitmapNarrowerThanTheList)
{
    const TBitmap strip = Strip();
    struct Case {
        const char* name;
        TColor mask;
    };
    const Case cases[] = {
        {"plain", clFuchsia},
        {"with the palette flag", static_cast<TColor>(0x02000000 | clFuchsia)},
        {"the bitmap's transparent colour", strip.TransparentColor()},
        {"clDefault", clDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Glyphs list;
        EXPECT_EQ(list.AddMasked(strip, c.mask), 0);
        ASSERT_EQ(list.Count(), 2);
        EXPECT_EQ(list.ImagePixel(0, 0, 0), 0u);
        EXPECT_EQ(list.ImagePixel(0, 2, 2), 0xFF0000FFu);
        EXPECT_EQ(list.ImagePixel(1, 0, 1), 0u);
        EXPECT_EQ(list.ImagePixel(1, 0, 0), 0xFF008000u);
    }

    // Narrower and lower than the list's size: still one image, transparent beyond.
    TBitmap narrow;
    narrow.SetSize(8, 5);
    narrow.Canvas().Brush.Color = clRed;
    narrow.Canvas().FillRect(Rect(0, 0, 8, 5));
    Glyphs list;
    EXPECT_EQ(list.AddMasked(narrow, clFuchsia), 0);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.ImagePixel(0, 7, 4), 0xFFFF0000u);
    EXPECT_EQ(list.ImagePixel(0, 8, 4), 0u);
    EXPECT_EQ(list.ImagePixel(0, 7, 5), 0u);
    TBitmap target = Chequer(20, 20);
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.PixelColor(7, 4), clRed);
    EXPECT_EQ(target.PixelColor(8, 4), clBlack);
    EXPECT_EQ(target.PixelColor(7, 5), clBlack);
}
