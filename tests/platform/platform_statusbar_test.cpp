#include <gtest/gtest.h>

#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "tests/support/FormPictures.h"

namespace {

// Pixels of the text colour inside a rectangle of the picture.
int Inked(const TBitmap& picture, TRect r)
{
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            n += picture.PixelColor(x, y) == clBlack;
    return n;
}

TRect InForm(const TStatusBar* bar, TRect r)
{
    return Rect(r.Left + bar->Left(), r.Top + bar->Top(), r.Right + bar->Left(), r.Bottom + bar->Top());
}

} // namespace

TEST(StatusBar, PanelsShowTheirTextsCutAtTheirEdges)
{
    TForm form;
    form.SetBorderStyle(bsSingle);
    form.SetClientWidth(185);
    form.SetClientHeight(100);
    auto* bar = new TStatusBar(&form);
    bar->SetParent(&form);
    EXPECT_EQ(bar->Align(), alBottom);
    EXPECT_EQ(bar->Height(), 19);
    EXPECT_EQ(bar->Top(), 81);
    EXPECT_EQ(bar->Width(), 185);
    const int widths[] = {60, 50, 50};
    const char* texts[] = {"640,480", "3,4", "1234"};
    for (int i = 0; i < 3; ++i) {
        TStatusPanel* p = bar->Panels()->Add();
        p->SetWidth(widths[i]);
        p->SetText(texts[i]);
    }
    form.Show();
    ASSERT_EQ(bar->Panels()->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bar->Panels()->Items(i)->Text(), texts[i]);
    EXPECT_THROW(bar->Panels()->Items(3), EListError);
    EXPECT_EQ(bar->PanelRect(2).Right, bar->ClientWidth()); // the last reaches the right edge
    EXPECT_EQ(bar->PanelRect(0).Width(), 60);

    TBitmap picture = DrawControlPicture(form);
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(Inked(picture, InForm(bar, bar->PanelRect(i))), 10) << texts[i];
    // A text longer than its panel is cut at its edge: nothing in the gap to the next.
    bar->Panels()->Items(0)->SetText("A very long text that cannot fit");
    bar->Panels()->Items(1)->SetText("");
    picture = DrawControlPicture(form);
    const TRect first = bar->PanelRect(0);
    EXPECT_EQ(Inked(picture, InForm(bar, Rect(first.Right - 1, 0, bar->PanelRect(2).Left, 19))), 0);
    EXPECT_GT(Inked(picture, InForm(bar, first)), 10);

    // Bad widths and many panels.
    bar->Panels()->Items(1)->SetWidth(-1);
    EXPECT_EQ(bar->Panels()->Items(1)->Width(), 0);
    for (int i = 0; i < 100; ++i)
        bar->Panels()->Add()->SetText("x");
    DrawControlPicture(form);
    bar->Panels()->Clear();
    EXPECT_EQ(bar->Panels()->Count(), 0);
}

TEST(StatusBar, ASizeGripOnlyOnASizeableForm)
{
    struct Case {
        TBorderStyle style;
        bool grip;
    };
    const Case cases[] = {{bsSizeable, true}, {bsSizeToolWin, true}, {bsSingle, false},
                          {bsDialog, false},  {bsToolWindow, false}, {bsNone, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TForm form;
        form.SetBorderStyle(c.style);
        form.SetClientWidth(185);
        form.SetClientHeight(100);
        auto* bar = new TStatusBar(&form);
        bar->SetParent(&form);
        bar->Panels()->Add()->SetWidth(50);
        form.Show();
        const TBitmap picture = DrawControlPicture(form);
        // The grip's ridges in the bottom-right corner, inside the last panel's frame.
        const int w = bar->Width(), h = bar->Height();
        int ridges = 0;
        for (int y = h - 14; y < h - 1; ++y)
            for (int x = w - 14; x < w - 1; ++x)
                ridges += picture.PixelColor(bar->Left() + x, bar->Top() + y) == ColorToRGB(clBtnShadow);
        EXPECT_EQ(ridges > 0, c.grip) << ridges;
    }
}

TEST(StatusBar, APanelsTextFollowsItsAlignment)
{
    struct Case {
        TAlignment alignment;
        int lowest, highest; // where the text's middle lies, from the panel's left edge
    };
    const Case cases[] = {{taLeftJustify, 0, 20}, {taCenter, 25, 35}, {taRightJustify, 40, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alignment);
        TForm form;
        form.SetBorderStyle(bsSingle);
        form.SetClientWidth(185);
        form.SetClientHeight(100);
        auto* bar = new TStatusBar(&form);
        bar->SetParent(&form);
        TStatusPanel* panel = bar->Panels()->Add();
        panel->SetWidth(60);
        panel->SetText("1234");
        panel->SetAlignment(c.alignment);
        bar->Panels()->Add();
        form.Show();
        const TBitmap picture = DrawControlPicture(form);
        const TRect r = InForm(bar, bar->PanelRect(0));
        int inked = 0, sum = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (picture.PixelColor(x, y) == clBlack) {
                    ++inked;
                    sum += x - r.Left;
                }
        ASSERT_GT(inked, 10);
        EXPECT_GE(sum / inked, c.lowest);
        EXPECT_LE(sum / inked, c.highest);
    }
}
