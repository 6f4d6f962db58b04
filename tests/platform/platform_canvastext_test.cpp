// Text on a canvas: a byte string that is valid UTF-8 is drawn as such, any other is read
// as Windows-1252, as the controls read their captions (so "\xB1" is "±").
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "tests/support/GuiApplication.h"

namespace {

// The pixels of a text drawn in black on white by one of the canvas's text routines.
std::vector<TColor> Drawn(const std::string& text, int how)
{
    TBitmap b;
    b.SetSize(40, 20);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, 40, 20));
    c.Font.Color = clBlack;
    c.Brush.Style = bsClear;
    TRect r = Rect(0, 0, 40, 20);
    if (how == 0)
        c.TextOut(2, 2, text);
    else if (how == 1)
        c.TextRect(r, 2, 2, text);
    else
        c.DrawText(text, r, DT_LEFT | DT_SINGLELINE);
    std::vector<TColor> pixels;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            pixels.push_back(b.PixelColor(x, y));
    return pixels;
}

TEST(CanvasText, BytesThatAreNotUtf8AreWindows1252)
{
    EnsureGuiApplication();
    TBitmap b;
    b.SetSize(4, 4);
    TCanvas& c = b.Canvas();
    EXPECT_EQ(c.TextWidth("\xB1"), c.TextWidth("\xC2\xB1"));
    EXPECT_EQ(c.TextWidth("a\x80"), c.TextWidth("a\xE2\x82\xAC")); // the euro sign
    EXPECT_GT(c.TextWidth("\xB1"), 0);
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        EXPECT_EQ(Drawn("\xB1", how), Drawn("\xC2\xB1", how));
        EXPECT_NE(Drawn("\xB1", how), Drawn("", how));
    }
    TRect r = Rect(0, 0, 100, 100);
    TRect utf8 = r;
    c.DrawText("x\xB1", r, DT_CALCRECT | DT_SINGLELINE);
    c.DrawText("x\xC2\xB1", utf8, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r, utf8);
}

} // namespace
