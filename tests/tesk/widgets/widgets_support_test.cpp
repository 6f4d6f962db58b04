// The widget library's shared routines: cursors, strings, command lines, file names and
// the drawing helpers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "WidgetTestSupport.h"
#include "platform/Cursors.h"
#include "platform/Forms.h"
#include "tesk/widgets/WidgetSupport.h"
#include "tests/support/ScratchDir.h"

namespace {

TEST(WidgetSupport, InitRegistersTheTwoCursorsOnce)
{
    InitWidgetLibrary();
    HCURSOR hand = Screen->Cursors(crExHand);
    HCURSOR drag = Screen->Cursors(crExDrag);
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(CursorHotSpot(hand), (TPoint{11, 2}));
    EXPECT_EQ(CursorHotSpot(drag), (TPoint{16, 14}));
    InitWidgetLibrary();
    EXPECT_EQ(Screen->Cursors(crExHand), hand);
}

TEST(WidgetSupport, IntegersAndRectangles)
{
    EXPECT_EQ(MaxOf(3, 5), 5);
    EXPECT_EQ(MinOf(3, 5), 3);
    EXPECT_EQ(MaxOf(-2, -7), -2);
    EXPECT_EQ(RectWidth(Rect(2, 3, 10, 20)), 8);
    EXPECT_EQ(RectHeight(Rect(2, 3, 10, 20)), 17);
    EXPECT_EQ(PaletteRelativeColor(clBtnFace), 0x02C0C0C0);
    const TRect r = Rect(1, 2, 5, 9);
    struct Case {
        TPoint p;
        bool inside;
    } cases[] = {
        {{1, 2}, true}, {{5, 2}, true}, {{1, 9}, true}, {{5, 9}, true}, {{3, 9}, true},
        {{5, 5}, true}, {{6, 5}, false}, {{3, 10}, false}, {{0, 5}, false}, {{3, 1}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PointInRectInclusive(c.p, r), c.inside) << c.p.X << "," << c.p.Y;
}

TEST(WidgetSupport, StringRoutines)
{
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("ab", "abc", "x"), "ab");
    EXPECT_EQ(ReplaceAll("a.b.c", ".", "::"), "a::b::c");
    EXPECT_EQ(RemoveChar("a&b&&c", '&'), "abc");
    EXPECT_EQ(TrimLeadingSpaces("  \tx  "), "\tx  ");
    EXPECT_EQ(TrimTrailingSpaces("  x\t  "), "  x\t");
    EXPECT_EQ(TrimSpaces("  \tx\t  "), "\tx\t");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimControls(std::string("\t x\r\n\0", 6)), "x");
    EXPECT_EQ(TrimControls(" \t "), "");
    EXPECT_EQ(RepeatChar('x', 0), "");
    EXPECT_EQ(RepeatChar('x', -1), "");
    EXPECT_EQ(RepeatChar('x', 3), "xxx");
    EXPECT_EQ(PassText("Value"), "Value");
}

TEST(WidgetSupport, EllipsisTextShortensOneCharacterAtATime)
{
    TBitmap bitmap;
    bitmap.SetSize(10, 10);
    TCanvas& canvas = bitmap.Canvas();
    const std::string text = "WWWWWWWWWW";
    EXPECT_EQ(EllipsisText(text, canvas, canvas.TextWidth(text)), text);
    EXPECT_EQ(EllipsisText(text, canvas, canvas.TextWidth("WWWWWWWW...")), "WWWWWWWW...");
    EXPECT_EQ(EllipsisText(text, canvas, canvas.TextWidth("WWWWWWWW...") - 1), "WWWWWWW...");
    EXPECT_EQ(EllipsisText(text, canvas, canvas.TextWidth("W...")), "W...");
    EXPECT_EQ(EllipsisText(text, canvas, 0), "...");
    EXPECT_EQ(EllipsisText(text, canvas, -5), "...");
    EXPECT_EQ(EllipsisText("", canvas, 0), "");
    EXPECT_EQ(EllipsisText("", canvas, -5), "");
}

struct TokenCase {
    std::string line;
    std::vector<std::string> tokens;
};

TEST(WidgetSupport, CommandLineTokens)
{
    const std::string longToken(10000, 'q');
    std::string withNul = "x.exe a";
    withNul += '\0';
    withNul += " b";
    const TokenCase cases[] = {
        {"\"C:\\Program Files\\x.exe\" a \"b c\"", {"C:\\Program Files\\x.exe", "a", "b c"}},
        {"x.exe \"\" a", {"x.exe", "a"}},
        {"x.exe a\"\"b", {"x.exe", "ab"}},
        {"x.exe \"abc", {"x.exe", "abc"}},
        {"x.exe " + longToken, {"x.exe", longToken}},
        {"x.exe\ta\rb\x01" "c", {"x.exe", "a", "b", "c"}},
        {"x.exe a\xE9\xFF" "b", {"x.exe", "a\xE9\xFF" "b"}},
        {withNul, {"x.exe", "a"}},
        {"", {}},
        {"   ", {}},
        {"\"\"\"\"", {}},
        {"\"", {}},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 60));
        std::vector<std::string> got;
        std::string token;
        const char* p = c.line.c_str();
        for (;;) {
            p = NextCommandLineToken(p, token);
            if (token.empty())
                break;
            got.push_back(token);
        }
        EXPECT_EQ(got, c.tokens);
        EXPECT_EQ(CountCommandLineArgs(c.line), static_cast<int>(c.tokens.size()));
        for (size_t i = 0; i < c.tokens.size(); ++i)
            EXPECT_EQ(CommandLineArg(c.line, static_cast<int>(i)), c.tokens[i]);
        EXPECT_EQ(CommandLineArg(c.line, static_cast<int>(c.tokens.size())), "");
    }
    EXPECT_EQ(CommandLineArg("x.exe a", 2), "");
    EXPECT_EQ(CommandLineArg("x.exe a", -1), "");
}

TEST(WidgetSupport, SeparateCommandLineQuotesArgumentsWithBlanks)
{
    std::string program = "old";
    std::string params = "old";
    SeparateCommandLine("\"C:\\Program Files\\x.exe\" a \"b c\"", program, params);
    EXPECT_EQ(program, "C:\\Program Files\\x.exe");
    EXPECT_EQ(params, "a \"b c\"");
    SeparateCommandLine("x.exe", program, params);
    EXPECT_EQ(program, "x.exe");
    EXPECT_EQ(params, "");
    for (const char* line : {"", "   ", "\"\""}) {
        SeparateCommandLine(line, program, params);
        EXPECT_EQ(program, "");
        EXPECT_EQ(params, "");
    }
}

TEST(WidgetSupport, FileNames)
{
    EXPECT_FALSE(IsAcceptableFileName(""));
    for (char c : std::string("<>\"[]|"))
        EXPECT_FALSE(IsAcceptableFileName(std::string("a") + c + "b.txt")) << c;
    EXPECT_TRUE(IsAcceptableFileName("dir\\sub/x.txt"));
    EXPECT_TRUE(IsAcceptableFileName("name with spaces.txt"));
    EXPECT_TRUE(IsAcceptableFileName(std::string(300, 'n')));

    ScratchDir dir;
    const std::string folder = dir.Path();
    std::ofstream(folder + "/Hello.Txt") << "x";
    std::filesystem::create_directory(folder + "/Sub");
    EXPECT_EQ(LongNameOf(folder + "/hello.txt"), "Hello.Txt");
    EXPECT_EQ(ShortNameOf(folder + "/HELLO.TXT"), "Hello.Txt");
    EXPECT_EQ(LongNameOf(folder + "/*.TXT"), "Hello.Txt");
    EXPECT_EQ(LongNameOf(folder + "/H?llo.txt"), "Hello.Txt");
    EXPECT_EQ(LongNameOf(folder + "/missing.txt"), "");
    EXPECT_EQ(LongNameOf(folder + "/nofolder/hello.txt"), "");
    EXPECT_EQ(LongNameOf(folder + "/sub"), "Sub"); // a folder is an entry like any other
    EXPECT_EQ(LongNameOf(""), "");
    EXPECT_EQ(LongNameOf(folder + "/" + std::string(300, 'n')), "");
    EXPECT_TRUE(IsDirectory(folder + "/Sub"));
    EXPECT_FALSE(IsDirectory(folder + "/Hello.Txt"));
    EXPECT_FALSE(IsDirectory(folder + "/nofolder"));
}

TEST(WidgetSupport, CheckerPattern)
{
    auto pattern = MakeCheckerPattern(clBtnFace, clBtnHighlight);
    ASSERT_EQ(pattern->Width(), 8);
    ASSERT_EQ(pattern->Height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pattern->PixelColor(x, y), (x % 2 == y % 2) ? 0xFFFFFF : 0xC0C0C0) << x << "," << y;
}

TBitmap Chequer(int w, int h)
{
    TBitmap b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelColor(x, y, (x + y) % 2 ? clBlue : clYellow);
    return b;
}

TEST(WidgetSupport, TransparentStretchCopyKeepsTheDestinationUnderTheMaskColour)
{
    TBitmap source;
    source.SetSize(2, 2);
    source.SetPixelColor(0, 0, clRed);
    source.SetPixelColor(1, 0, clFuchsia);
    source.SetPixelColor(0, 1, clLime);
    source.SetPixelColor(1, 1, clBlack);
    TBitmap dest = Chequer(6, 6);
    TransparentStretchCopy(dest.Handle(), 1, 1, 4, 4, source.Handle(), 0, 0, 2, 2, clFuchsia);
    TBitmap expected = Chequer(6, 6);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const TColor s = source.PixelColor(x / 2, y / 2);
            if (s != clFuchsia)
                expected.SetPixelColor(x + 1, y + 1, s);
        }
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dest.PixelColor(x, y), expected.PixelColor(x, y)) << x << "," << y;

    // The destination's origin and clip apply.
    TBitmap clipped = Chequer(6, 6);
    HDC dc = clipped.Handle();
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, 2, 0, nullptr);
    IntersectClipRect(dc, 0, 0, 2, 6);
    TransparentStretchCopy(dc, 0, 0, 4, 4, source.Handle(), 0, 0, 2, 2, clFuchsia);
    RestoreDC(dc, saved);
    EXPECT_EQ(clipped.PixelColor(2, 0), clRed);
    EXPECT_EQ(clipped.PixelColor(3, 3), clLime);
    EXPECT_EQ(clipped.PixelColor(4, 0), Chequer(6, 6).PixelColor(4, 0));
    EXPECT_EQ(clipped.PixelColor(1, 0), Chequer(6, 6).PixelColor(1, 0));
}

TEST(WidgetSupport, DrawBitmapStretchedTransparentRules)
{
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            bitmap.SetPixelColor(x, y, clRed);
    bitmap.SetPixelColor(0, 1, clLime); // bottom left: the default transparent colour
    bitmap.SetPixelColor(2, 0, clLime);

    TBitmap plain = Chequer(5, 5);
    DrawBitmapStretchedTransparent(plain.Canvas(), bitmap, clNone, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(plain.PixelColor(x, y), bitmap.PixelColor(x, y));

    TBitmap keyed = Chequer(5, 5);
    DrawBitmapStretchedTransparent(keyed.Canvas(), bitmap, clDefault, 1, 1, -1, 0, 0, 0, 0, 5);
    EXPECT_EQ(keyed.PixelColor(1, 1), clRed);
    EXPECT_EQ(keyed.PixelColor(3, 1), Chequer(5, 5).PixelColor(3, 1));
    EXPECT_EQ(keyed.PixelColor(1, 2), Chequer(5, 5).PixelColor(1, 2));
    EXPECT_EQ(keyed.PixelColor(2, 2), clRed);

    TBitmap bykey = Chequer(5, 5);
    DrawBitmapTransparent(bykey.Canvas(), 0, 0, bitmap, clRed | clPaletteRelative);
    EXPECT_EQ(bykey.PixelColor(0, 0), Chequer(5, 5).PixelColor(0, 0));
    EXPECT_EQ(bykey.PixelColor(2, 0), clLime);

    TBitmap part = Chequer(5, 5);
    DrawBitmapRectTransparent(part.Canvas(), 3, 3, Rect(1, 0, 3, 1), bitmap, clLime);
    EXPECT_EQ(part.PixelColor(3, 3), clRed);
    EXPECT_EQ(part.PixelColor(4, 3), Chequer(5, 5).PixelColor(4, 3));

    TBitmap empty;
    TBitmap untouched = Chequer(5, 5);
    DrawBitmapTransparent(untouched.Canvas(), 0, 0, empty, clDefault);
    EXPECT_EQ(untouched.PixelColor(0, 0), Chequer(5, 5).PixelColor(0, 0));
}

TEST(WidgetSupport, EmbossBitmapPaintsTheDarkShapeTwice)
{
    TBitmap glyph;
    glyph.SetSize(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            glyph.SetPixelColor(x, y, clFuchsia);
    glyph.SetPixelColor(1, 1, clBlack);       // dark: in the shape
    glyph.SetPixelColor(2, 1, clWhite);       // light: not in it
    glyph.SetPixelColor(0, 2, RGB(0, 0, 200)); // dark blue: in it
    auto embossed = EmbossBitmap(glyph, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
    ASSERT_EQ(embossed->Width(), 4);
    EXPECT_EQ(embossed->PixelColor(1, 1), 0x808080);
    EXPECT_EQ(embossed->PixelColor(2, 2), 0xFFFFFF); // highlight of (1, 1)
    EXPECT_EQ(embossed->PixelColor(0, 2), 0x808080);
    EXPECT_EQ(embossed->PixelColor(1, 3), 0xFFFFFF);
    EXPECT_EQ(embossed->PixelColor(2, 1), 0xC0C0C0);
    EXPECT_EQ(embossed->PixelColor(3, 3), 0xC0C0C0);
    auto flat = EmbossBitmap(glyph, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, false);
    EXPECT_EQ(flat->PixelColor(2, 2), 0xC0C0C0);
    TBitmap none;
    EXPECT_TRUE(EmbossBitmap(none, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true)->Empty());
}

TEST(WidgetSupport, DrawShadowTextMovesTheShadowAndGrowsTheRectangle)
{
    TBitmap bitmap;
    bitmap.SetSize(80, 40);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Style = bsClear;
    const TPoint extent = canvas.TextExtent("Ab");
    struct Case {
        TShadowPosition position;
        int dx, dy;
    } cases[] = {{spLeftTop, -1, -1}, {spLeftBottom, -1, 1}, {spRightBottom, 1, 1}, {spRightTop, 1, -1}};
    for (const Case& c : cases)
        for (int size : {0, 1, 2}) {
            SCOPED_TRACE(std::to_string(c.position) + " size " + std::to_string(size));
            TRect r = Rect(10, 10, 10, 10);
            const int height = DrawShadowText(canvas, "Ab", r, c.position, clGray, size,
                                              DT_CALCRECT | DT_NOPREFIX);
            EXPECT_EQ(height, extent.Y + size);
            EXPECT_EQ(r.Left, 10 + std::min(0, c.dx * size));
            EXPECT_EQ(r.Top, 10 + std::min(0, c.dy * size));
            EXPECT_EQ(r.Right, 10 + extent.X + std::max(0, c.dx * size));
            EXPECT_EQ(r.Bottom, 10 + extent.Y + std::max(0, c.dy * size));
        }
    TRect plain = Rect(0, 0, 0, 0);
    const int plainHeight = canvas.DrawText("", plain, DT_CALCRECT);
    TRect r = Rect(0, 0, 0, 0);
    EXPECT_EQ(DrawShadowText(canvas, "", r, spRightBottom, clGray, 2, DT_CALCRECT),
              plainHeight > 0 ? plainHeight + 2 : plainHeight);

    // Drawn: the shadow two pixels right and down in its colour, the text over it.
    TBitmap picture;
    picture.SetSize(40, 30);
    TCanvas& pc = picture.Canvas();
    pc.Brush.Color = clWhite;
    pc.FillRect(Rect(0, 0, 40, 30));
    pc.Brush.Style = bsClear;
    pc.Font.Color = clBlack;
    TRect at = Rect(5, 5, 35, 25);
    DrawShadowText(pc, "I", at, spRightBottom, clRed, 2, DT_NOPREFIX);
    int blackLeft = -1, redLeft = -1;
    for (int x = 0; x < 40 && (blackLeft < 0 || redLeft < 0); ++x)
        for (int y = 0; y < 30; ++y) {
            if (picture.PixelColor(x, y) == clBlack && blackLeft < 0)
                blackLeft = x;
            if (picture.PixelColor(x, y) == clRed && redLeft < 0)
                redLeft = x;
        }
    ASSERT_GE(blackLeft, 0);
    ASSERT_GE(redLeft, 0);
    EXPECT_EQ(redLeft, blackLeft + 2);
}

} // namespace

namespace {

// A panel painted with a 4-pixel chequer of yellow and aqua.
class ChequerPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    static TColor At(int x, int y) { return ((x / 4 + y / 4) % 2) ? clAqua : clYellow; }

protected:
    void Paint() override
    {
        for (int y = 0; y < Height(); y += 4)
            for (int x = 0; x < Width(); x += 4) {
                Canvas().Brush.Color = At(x, y);
                Canvas().FillRect(Rect(x, y, x + 4, y + 4));
            }
    }
};

// A window-less control filled with one colour.
class Patch : public TGraphicControl {
public:
    Patch(TComponent* owner, TColor colour) : TGraphicControl(owner), Colour(colour) {}
    TColor Colour;

protected:
    void Paint() override
    {
        Canvas().Brush.Color = Colour;
        Canvas().FillRect(ClientRect());
    }
};

class ParentBackground : public WidgetForm {};

TEST_F(ParentBackground, ThePanelAndTheSiblingsBelowShowThrough)
{
    auto* panel = PlaceControl<ChequerPanel>(Form.get(), 10, 10, 100, 60);
    auto* below = new Patch(Form.get(), clRed);
    below->SetParent(panel);
    below->SetBounds(0, 0, 30, 30);
    auto* hidden = new Patch(Form.get(), clFuchsia);
    hidden->SetParent(panel);
    hidden->SetBounds(20, 10, 40, 30);
    hidden->SetVisible(false);
    auto* control = new Patch(Form.get(), clGreen);
    control->SetParent(panel);
    control->SetBounds(20, 10, 40, 30);
    auto* above = new Patch(Form.get(), clBlue);
    above->SetParent(panel);
    above->SetBounds(50, 0, 30, 30);

    TBitmap b;
    b.SetSize(control->Width(), control->Height());
    b.Canvas().Brush.Color = clBlack;
    b.Canvas().FillRect(Rect(0, 0, b.Width(), b.Height()));
    PaintParentBackground(control, b.Canvas());
    int red = 0, chequer = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const int px = x + control->Left(), py = y + control->Top();
            const bool underBelow = px < 30 && py < 30;
            const TColor want = underBelow ? clRed : ChequerPanel::At(px, py);
            ASSERT_EQ(b.PixelColor(x, y), want) << x << "," << y;
            red += underBelow;
            chequer += !underBelow;
        }
    EXPECT_GT(red, 0);
    EXPECT_GT(chequer, 0);

    // The canvas's own origin and clip stay as they were.
    EXPECT_EQ(GetViewportOrgEx(b.Canvas().Handle()), Point(0, 0));
    // A control without a parent, or a canvas without a context, paints nothing.
    Patch loose(nullptr, clRed);
    PaintParentBackground(&loose, b.Canvas());
    TCanvas empty;
    PaintParentBackground(control, empty);
}

} // namespace
