#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/GuiApplication.h"

namespace {

constexpr TColor Paper = clWhite;
constexpr TColor Ink = clRed;

struct Sheet {
    TBitmap bitmap;
    Sheet(int w = 40, int h = 30)
    {
        bitmap.SetPixelFormat(pf32bit);
        bitmap.SetSize(w, h);
        bitmap.Canvas().Brush.Color = Paper;
        bitmap.Canvas().FillRect(Rect(0, 0, w, h));
        bitmap.Canvas().Brush.Color = Ink;
    }
    HDC dc() { return bitmap.Canvas().Handle(); }
    TCanvas& canvas() { return bitmap.Canvas(); }
    // The device pixels that are not paper.
    TRect Inked() const
    {
        TRect box{bitmap.Width(), bitmap.Height(), 0, 0};
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (bitmap.PixelColor(x, y) != Paper) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box.IsEmpty() ? TRect{} : box;
    }
    int InkedCount() const
    {
        int n = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                n += bitmap.PixelColor(x, y) != Paper;
        return n;
    }
};

struct DrawCase {
    const char* name;
    std::function<void(Sheet&)> draw;
    TRect inked;    // bounding box of what changed
    int inkedCount; // -1: not checked
};

} // namespace

TEST(DeviceContextState, OriginAndClipShapeWhatEveryFillDraws)
{
    const DrawCase cases[] = {
        {"origin (-5,-7) moves a fill to the corner",
         [](Sheet& s) {
             SetViewportOrgEx(s.dc(), -5, -7, nullptr);
             s.canvas().FillRect(Rect(5, 7, 10, 10));
         },
         Rect(0, 0, 5, 3), 15},
        {"window origin is the origin with the sign turned",
         [](Sheet& s) {
             SetWindowOrgEx(s.dc(), 5, 7, nullptr);
             s.canvas().FillRect(Rect(5, 7, 10, 10));
         },
         Rect(0, 0, 5, 3), 15},
        {"an excluded middle stays as it was",
         [](Sheet& s) {
             EXPECT_EQ(ExcludeClipRect(s.dc(), 10, 10, 30, 20), COMPLEXREGION);
             s.canvas().FillRect(Rect(0, 0, 40, 30));
             EXPECT_EQ(s.bitmap.PixelColor(10, 10), Paper);
             EXPECT_EQ(s.bitmap.PixelColor(29, 19), Paper);
             EXPECT_EQ(s.bitmap.PixelColor(9, 10), Ink);
             EXPECT_EQ(s.bitmap.PixelColor(30, 19), Ink);
         },
         Rect(0, 0, 40, 30), 40 * 30 - 20 * 10},
        {"a clip outside the context draws nothing",
         [](Sheet& s) {
             EXPECT_EQ(IntersectClipRect(s.dc(), 50, 50, 60, 60), NULLREGION);
             s.canvas().FillRect(Rect(0, 0, 40, 30));
             s.canvas().TextOut(0, 0, "Hello");
             s.canvas().Pen.Color = Ink;
             s.canvas().MoveTo(0, 0);
             s.canvas().LineTo(39, 29);
         },
         TRect{}, 0},
        {"inverted and empty clip rectangles clip everything",
         [](Sheet& s) {
             EXPECT_EQ(IntersectClipRect(s.dc(), 20, 20, 10, 10), NULLREGION);
             s.canvas().FillRect(Rect(0, 0, 40, 30));
         },
         TRect{}, 0},
        {"an empty exclusion changes nothing",
         [](Sheet& s) {
             EXPECT_EQ(ExcludeClipRect(s.dc(), 20, 20, 20, 25), SIMPLEREGION);
             EXPECT_EQ(ExcludeClipRect(s.dc(), 20, 20, 10, 10), SIMPLEREGION);
             s.canvas().FillRect(Rect(0, 0, 40, 30));
         },
         Rect(0, 0, 40, 30), 1200},
        {"the clip is in device pixels: a later origin does not move it",
         [](Sheet& s) {
             IntersectClipRect(s.dc(), 0, 0, 10, 10);
             SetViewportOrgEx(s.dc(), 5, 5, nullptr);
             s.canvas().FillRect(Rect(0, 0, 40, 30));
         },
         Rect(5, 5, 10, 10), 25},
        {"a far origin clips everything without overflow",
         [](Sheet& s) {
             SetViewportOrgEx(s.dc(), 1 << 30, -(1 << 30), nullptr);
             OffsetViewportOrgEx(s.dc(), 1 << 30, -(1 << 30), nullptr);
             IntersectClipRect(s.dc(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
             s.canvas().FillRect(Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
             s.canvas().TextOut(0, 0, "far");
             s.canvas().Ellipse(0, 0, 10, 10);
             TRect box;
             GetClipBox(s.dc(), box);
             EXPECT_TRUE(box.IsEmpty());
         },
         TRect{}, 0},
        {"pixels, lines, rectangles and ellipses follow the origin and clip",
         [](Sheet& s) {
             SetViewportOrgEx(s.dc(), 10, 10, nullptr);
             IntersectClipRect(s.dc(), 0, 0, 10, 10);
             s.canvas().SetPixel(-1, -1, Ink); // clipped
             s.canvas().SetPixel(0, 0, Ink);
             EXPECT_EQ(s.canvas().Pixel(0, 0), Ink);
             EXPECT_EQ(s.canvas().Pixel(-1, -1), clNone);
             s.canvas().Pen.Color = Ink;
             s.canvas().MoveTo(-10, 5);
             s.canvas().LineTo(30, 5);
             s.canvas().Rectangle(5, 5, 30, 30);
             s.canvas().Ellipse(-20, -20, 8, 8);
             s.canvas().DrawFocusRect(Rect(-5, -5, 20, 20));
         },
         Rect(10, 10, 20, 20), -1},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet s;
        c.draw(s);
        EXPECT_EQ(s.Inked(), c.inked);
        if (c.inkedCount >= 0) {
            EXPECT_EQ(s.InkedCount(), c.inkedCount);
        }
    }
}

TEST(DeviceContextState, EveryOtherCanvasOperationStaysInsideTheClipAtTheOrigin)
{
    // Each draws well past logical (0, 0)-(10, 10), the clip, with the origin at (10, 10):
    // only device (10, 10)-(20, 20) may change, and something there must.
    TBitmap solid;
    solid.SetPixelFormat(pf32bit);
    solid.SetSize(50, 50);
    solid.Canvas().Brush.Color = Ink;
    solid.Canvas().FillRect(Rect(0, 0, 50, 50));
    struct Case {
        const char* name;
        std::function<void(TCanvas&)> draw;
    };
    const Case cases[] = {
        {"FrameRect", [](TCanvas& c) { c.FrameRect(Rect(-5, 5, 30, 30)); }},
        {"Frame3D",
         [](TCanvas& c) {
             TRect r = Rect(5, -5, 30, 30);
             c.Frame3D(r, Ink, Ink, 2);
         }},
        {"TextRect",
         [](TCanvas& c) {
             c.Font.Color = Ink;
             c.TextRect(Rect(-10, -10, 30, 30), -3, -3, "WWWWWWWW");
         }},
        {"Draw", [&](TCanvas& c) { c.Draw(-20, -20, solid); }},
        {"StretchDraw", [&](TCanvas& c) { c.StretchDraw(Rect(-10, -10, 30, 30), solid); }},
        {"CopyRect", [&](TCanvas& c) { c.CopyRect(Rect(-10, -10, 30, 30), solid.Canvas(), Rect(0, 0, 40, 40)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet s;
        SetViewportOrgEx(s.dc(), 10, 10, nullptr);
        IntersectClipRect(s.dc(), 0, 0, 10, 10);
        c.draw(s.canvas());
        const TRect inked = s.Inked();
        EXPECT_FALSE(inked.IsEmpty());
        EXPECT_GE(inked.Left, 10);
        EXPECT_GE(inked.Top, 10);
        EXPECT_LE(inked.Right, 20);
        EXPECT_LE(inked.Bottom, 20);
    }
}

TEST(DeviceContextState, SaveAndRestoreTakeOriginAndClipTogether)
{
    Sheet s;
    HDC dc = s.dc();
    TPoint old;
    EXPECT_EQ(SaveDC(dc), 1);
    SetViewportOrgEx(dc, 3, 4, &old);
    EXPECT_EQ(old, Point(0, 0));
    IntersectClipRect(dc, 0, 0, 10, 10);
    EXPECT_EQ(SaveDC(dc), 2);
    SetViewportOrgEx(dc, 7, 8, &old);
    EXPECT_EQ(old, Point(3, 4));
    IntersectClipRect(dc, 0, 0, 2, 2);
    EXPECT_EQ(SaveDC(dc), 3);
    EXPECT_EQ(s.canvas().ClipRect(), Rect(0, 0, 2, 2));

    EXPECT_TRUE(RestoreDC(dc, -1)); // back to level 2's state, level 3 gone
    EXPECT_EQ(GetViewportOrgEx(dc), Point(7, 8));
    EXPECT_FALSE(RestoreDC(dc, 3));
    EXPECT_TRUE(RestoreDC(dc, 2));
    EXPECT_EQ(GetViewportOrgEx(dc), Point(3, 4));
    TRect box;
    EXPECT_EQ(GetClipBox(dc, box), SIMPLEREGION);
    EXPECT_EQ(box, Rect(0, 0, 10, 10));
    SetViewportOrgEx(dc, 0, 0, nullptr);
    GetClipBox(dc, box);
    EXPECT_EQ(box, Rect(3, 4, 13, 14)); // the clip stays in device pixels
    EXPECT_TRUE(RestoreDC(dc, 1));
    EXPECT_EQ(GetViewportOrgEx(dc), Point(0, 0));
    EXPECT_EQ(s.canvas().ClipRect(), Rect(0, 0, 40, 30));
    EXPECT_FALSE(RestoreDC(dc, 1));
    EXPECT_FALSE(RestoreDC(dc, 0));
    EXPECT_FALSE(RestoreDC(dc, -1));
    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
}

TEST(DeviceContextState, CopiesAndTextHonourOriginAndClip)
{
    EnsureGuiApplication();
    Sheet source(10, 10);
    source.canvas().FillRect(Rect(0, 0, 10, 10));

    Sheet blit;
    SetViewportOrgEx(blit.dc(), 20, 0, nullptr);
    IntersectClipRect(blit.dc(), 0, 0, 5, 30);
    BitBlt(blit.dc(), 0, 0, 10, 10, source.dc(), 0, 0, cmSrcCopy);
    EXPECT_EQ(blit.Inked(), Rect(20, 0, 25, 10));

    // The source's origin moves where it is read.
    Sheet half(10, 10);
    half.canvas().FillRect(Rect(5, 0, 10, 10));
    SetViewportOrgEx(half.dc(), 5, 0, nullptr);
    Sheet shifted;
    BitBlt(shifted.dc(), 0, 0, 10, 10, half.dc(), 0, 0, cmSrcCopy);
    EXPECT_EQ(shifted.Inked(), Rect(0, 0, 5, 10));

    Sheet stretch;
    SetWindowOrgEx(stretch.dc(), -2, -2, nullptr);
    ExcludeClipRect(stretch.dc(), 0, 0, 40, 10);
    StretchBlt(stretch.dc(), Rect(0, 0, 20, 20), source.dc(), Rect(0, 0, 10, 10));
    EXPECT_EQ(stretch.Inked(), Rect(2, 12, 22, 22));

    Sheet text;
    text.canvas().Font.Color = Ink;
    text.canvas().Brush.Style = bsClear;
    SetViewportOrgEx(text.dc(), 10, 5, nullptr);
    IntersectClipRect(text.dc(), 0, 0, 8, 40);
    text.canvas().TextOut(0, 0, "WWWW");
    const TRect t = text.Inked();
    EXPECT_FALSE(t.IsEmpty());
    EXPECT_GE(t.Left, 10);
    EXPECT_LE(t.Right, 18);
    EXPECT_GE(t.Top, 5);

    Sheet drawn;
    drawn.canvas().Font.Color = Ink;
    drawn.canvas().Brush.Style = bsClear;
    SetViewportOrgEx(drawn.dc(), 0, 15, nullptr);
    TRect r = Rect(0, 0, 40, 15);
    drawn.canvas().DrawText("WWWWWWWWWW", r, DT_SINGLELINE);
    EXPECT_GE(drawn.Inked().Top, 15);
    ExcludeClipRect(drawn.dc(), -100, -100, 100, 100);
    const int before = drawn.InkedCount();
    drawn.canvas().DrawText("Hidden", r, DT_SINGLELINE);
    drawn.canvas().Draw(0, 0, source.bitmap);
    EXPECT_EQ(drawn.InkedCount(), before);
}

namespace {

class Swatch : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int Paints = 0;

protected:
    void Paint() override
    {
        ++Paints;
        Canvas().Brush.Color = clBlue;
        Canvas().FillRect(Rect(0, 0, Width() / 2, Height()));
        Canvas().Pen.Color = clLime;
        Canvas().MoveTo(0, Height() - 1);
        Canvas().LineTo(Width(), Height() - 1);
    }
};

} // namespace

TEST(DeviceContextState, PaintWithDCDrawsTheControlItselfAtTheContextsOrigin)
{
    EnsureGuiApplication();
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(120);
    TPanel* panel = PlaceControl<TPanel>(&form, 10, 10, 100, 80);
    panel->SetColor(clYellow);
    Swatch* swatch = PlaceControl<Swatch>(panel, 12, 9, 30, 20);
    TPanel* inner = PlaceControl<TPanel>(panel, 60, 40, 20, 20);
    inner->SetColor(clRed);

    // The window-less control into a bitmap with origin (-Left, -Top) gives the pixels
    // of its part of the parent's surface.
    TBitmap parentSized;
    parentSized.SetPixelFormat(pf32bit);
    parentSized.SetSize(panel->ClientWidth(), panel->ClientHeight());
    SetViewportOrgEx(parentSized.Canvas().Handle(), swatch->Left(), swatch->Top(), nullptr);
    TBitmap own;
    own.SetPixelFormat(pf32bit);
    own.SetSize(swatch->Width(), swatch->Height());
    own.Canvas().Brush.Color = clYellow; // what lies under it
    own.Canvas().FillRect(Rect(0, 0, own.Width(), own.Height()));
    swatch->PaintWithDC(own.Canvas().Handle());
    for (int y = 0; y < swatch->Height(); ++y)
        for (int x = 0; x < swatch->Width(); ++x)
            ASSERT_EQ(own.PixelColor(x, y), TestHooks::ControlPixel(swatch, x, y)) << x << "," << y;
    // And at an origin, clipped.
    IntersectClipRect(parentSized.Canvas().Handle(), 0, 0, 5, 30);
    swatch->PaintWithDC(parentSized.Canvas().Handle());
    EXPECT_EQ(parentSized.PixelColor(swatch->Left(), swatch->Top()), clBlue);
    EXPECT_EQ(parentSized.PixelColor(swatch->Left() + 6, swatch->Top()), clBlack);
    // Its own Canvas goes back to the parent's surface afterwards.
    swatch->Canvas().Brush.Color = clFuchsia;
    swatch->Canvas().FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(TestHooks::ControlPixel(swatch, 0, 0), clFuchsia);

    // A panel draws its colour and bevel, none of its children.
    TBitmap panelPicture;
    panelPicture.SetPixelFormat(pf32bit);
    panelPicture.SetSize(panel->Width(), panel->Height());
    panel->PaintWithDC(panelPicture.Canvas().Handle());
    EXPECT_EQ(panelPicture.PixelColor(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(panelPicture.PixelColor(99, 79), ColorToRGB(clBtnShadow));
    EXPECT_EQ(panelPicture.PixelColor(swatch->Left() + 1, swatch->Top() + 1), clYellow);
    EXPECT_EQ(panelPicture.PixelColor(inner->Left() + 5, inner->Top() + 5), clYellow);

    TBitmap empty;
    swatch->PaintWithDC(empty.Canvas().Handle()); // a 0 x 0 bitmap: nothing to draw into
    panel->PaintWithDC(empty.Canvas().Handle());
    panel->PaintWithDC(nullptr);
}
