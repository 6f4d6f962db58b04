#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"
#include "tests/support/FormPictures.h"

namespace {

// The editor's page control: six sheets, "Vars" without a tab, "OOT" active.
struct PagesForm : TForm {
    TPageControl* Pages;
    TTabSheet* Tiles;
    TTabSheet* Overlay;
    TTabSheet* Objects;
    TTabSheet* Data;
    TTabSheet* Vars;
    TTabSheet* OOT;
    TPaintBox* Palette;
    TCheckBox* Solid;
    TCheckBox* Profile;
    int Changes = 0;

    PagesForm()
    {
        SetBorderStyle(bsSingle);
        SetClientWidth(185);
        SetClientHeight(460);
        Pages = new TPageControl(this);
        Pages->SetParent(this);
        Pages->SetBounds(0, 40, 185, 400);
        Pages->SetAlign(alBottom);
        Pages->SetTabWidth(43);
        Pages->SetHotTrack(true);
        Tiles = Sheet("Tiles", false);
        Overlay = Sheet("Overlay", false);
        Objects = Sheet("Objects", false);
        Data = Sheet("Data", true);
        Vars = Sheet("Vars", false);
        Vars->SetTabVisible(false);
        OOT = Sheet("OOT", true);
        Pages->SetActivePage(OOT);
        Pages->OnChange = [this](TObject*) { ++Changes; };
        Palette = PlaceControl<TPaintBox>(Tiles, 16, 8, 128, 320);
        Palette->OnPaint = [this](TObject*) {
            Palette->Canvas().Brush.Color = clRed;
            Palette->Canvas().FillRect(Rect(0, 0, 128, 320));
        };
        Solid = PlaceControl<TCheckBox>(Tiles, 17, 330, 60, 17);
        Solid->SetCaption("Solid");
        Solid->SetChecked(true);
        Profile = PlaceControl<TCheckBox>(Data, 8, 8, 60, 17);
        Profile->SetCaption("Profile");
        Profile->SetTabStop(true);
    }
    TTabSheet* Sheet(const std::string& caption, bool enabled)
    {
        auto* sheet = new TTabSheet(this);
        sheet->SetPageControl(Pages);
        sheet->SetCaption(caption);
        sheet->SetEnabled(enabled);
        return sheet;
    }
    // A point of a tab in form client coordinates.
    TPoint TabPoint(int tabIndex) const
    {
        const TRect r = Pages->TabRect(tabIndex);
        return TestHooks::ControlToForm(Pages, Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }
    void Click(TPoint at)
    {
        TestHooks::MouseDown(this, mbLeft, at);
        TestHooks::MouseUp(this, mbLeft, at);
    }
    // Scrolls the tab row with its left button until the first tab shows whole.
    void ScrollToFirstTab()
    {
        for (int i = 0; i < 10 && Pages->TabRect(0).Left < 0; ++i) {
            const TRect b = TestHooks::TabScrollButtonRect(Pages, true);
            Click(TestHooks::ControlToForm(Pages, Point((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2)));
        }
    }
};

struct ShownPagesForm : PagesForm {
    ShownPagesForm()
    {
        Show();
        TestHooks::SetActiveForm(this);
    }
};

int CountColour(const TBitmap& picture, TRect r, TColor colour)
{
    int n = 0;
    for (int y = std::max(0, r.Top); y < std::min(picture.Height(), r.Bottom); ++y)
        for (int x = std::max(0, r.Left); x < std::min(picture.Width(), r.Right); ++x)
            n += picture.PixelColor(x, y) == colour;
    return n;
}

TRect OnForm(TControl* c, TRect r)
{
    const TPoint o = TestHooks::ControlToForm(c, Point(0, 0));
    return Rect(r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y);
}

} // namespace

TEST(PageControl, FiveTabsOfTheSetWidthInOneScrollingRow)
{
    ShownPagesForm f;
    EXPECT_EQ(f.Pages->PageCount(), 6);
    EXPECT_EQ(f.Pages->Pages(4), f.Vars);
    EXPECT_THROW(f.Pages->Pages(6), EListError);
    EXPECT_EQ(f.Pages->ActivePage(), f.OOT);
    EXPECT_EQ(f.Pages->ActivePageIndex(), 5);
    const std::vector<int> tabIndexes = {0, 1, 2, 3, -1, 4};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.Pages->Pages(i)->PageIndex(), i);
        EXPECT_EQ(f.Pages->Pages(i)->TabIndex(), tabIndexes[size_t(i)]) << i;
    }
    for (int t = 0; t < 5; ++t) {
        EXPECT_EQ(f.Pages->TabRect(t).Width(), 43) << t;
        EXPECT_EQ(f.Pages->TabRect(t).Top, f.Pages->TabRect(0).Top) << "one row";
        if (t > 0) {
            EXPECT_EQ(f.Pages->TabRect(t).Left, f.Pages->TabRect(t - 1).Right) << t;
        }
    }
    EXPECT_TRUE(f.Pages->TabRect(5).IsEmpty());
    // 5 x 43 pixels do not fit into 185: the row scrolls, and the active tab shows.
    const TRect left = TestHooks::TabScrollButtonRect(f.Pages, true);
    const TRect right = TestHooks::TabScrollButtonRect(f.Pages, false);
    ASSERT_FALSE(left.IsEmpty());
    ASSERT_FALSE(right.IsEmpty());
    EXPECT_LE(right.Right, 185);
    EXPECT_GE(f.Pages->TabRect(4).Left, 0);
    EXPECT_LE(f.Pages->TabRect(4).Right, left.Right);
    f.ScrollToFirstTab();
    EXPECT_GE(f.Pages->TabRect(0).Left, 0);
    EXPECT_LE(f.Pages->TabRect(0).Left, 10);
    EXPECT_EQ(f.Changes, 0) << "scrolling the row changes no page";
    EXPECT_EQ(f.Pages->ActivePage(), f.OOT);

    // The sheets fill the page area: the client area less the tab row and the frame.
    const TRect area = f.Pages->DisplayRect();
    EXPECT_EQ(area.Top, f.Pages->TabRect(4).Bottom + 2) << f.Pages->TabRect(0).Bottom;
    EXPECT_EQ(area.Left, 4);
    EXPECT_EQ(area.Right, 181);
    EXPECT_EQ(area.Bottom, 396);
    EXPECT_EQ(f.OOT->BoundsRect(), area);
    EXPECT_EQ(f.Tiles->BoundsRect(), area);
    // Aligned to the bottom, it follows the form; its pages follow it.
    f.SetClientHeight(500);
    EXPECT_EQ(f.Pages->Top(), 100);
    EXPECT_EQ(f.OOT->Height(), area.Height());
    f.SetClientWidth(200);
    EXPECT_EQ(f.OOT->Width(), area.Width() + 15);
}

TEST(PageControl, OnChangeFiresForTheUsersChangesOnly)
{
    ShownPagesForm f;
    f.ScrollToFirstTab();
    f.Click(f.TabPoint(0));
    EXPECT_EQ(f.Pages->ActivePage(), f.Tiles);
    EXPECT_EQ(f.Changes, 1);
    EXPECT_TRUE(f.Tiles->Visible());
    EXPECT_FALSE(f.OOT->Visible());
    EXPECT_TRUE(f.Pages->Focused()) << "a press on a tab focuses the page control";
    f.Click(f.TabPoint(0));
    EXPECT_EQ(f.Changes, 1) << "the active tab again";

    f.Pages->SetActivePage(f.Data);
    f.Pages->SetActivePageIndex(1);
    EXPECT_EQ(f.Pages->ActivePage(), f.Overlay);
    EXPECT_EQ(f.Changes, 1) << "changes in code fire nothing";

    // Arrow keys on the focused tab row: to the neighbours, past the hidden tab, stopping
    // at the ends.
    struct Case {
        WORD key;
        TShiftState shift;
        TTabSheet* page;
    };
    const Case cases[] = {
        {VK_RIGHT, {}, f.Objects}, {VK_RIGHT, {}, f.Data}, {VK_RIGHT, {}, f.OOT},
        {VK_RIGHT, {}, f.OOT},     {VK_LEFT, {}, f.Data},
    };
    int expected = f.Changes;
    for (const Case& c : cases) {
        const bool moves = f.Pages->ActivePage() != c.page;
        TestHooks::KeyStroke(&f, c.key, c.shift);
        EXPECT_EQ(f.Pages->ActivePage(), c.page);
        expected += moves;
        EXPECT_EQ(f.Changes, expected);
    }
    // Ctrl+Tab and Ctrl+Shift+Tab with the focus on a control of a page, wrapping round.
    f.Profile->SetFocus();
    ASSERT_TRUE(f.Profile->Focused());
    TestHooks::KeyStroke(&f, VK_TAB, TShiftState{ssCtrl});
    EXPECT_EQ(f.Pages->ActivePage(), f.OOT);
    TestHooks::KeyStroke(&f, VK_TAB, TShiftState{ssCtrl});
    EXPECT_EQ(f.Pages->ActivePage(), f.Tiles);
    TestHooks::KeyStroke(&f, VK_TAB, TShiftState{ssCtrl, ssShift});
    EXPECT_EQ(f.Pages->ActivePage(), f.OOT);
    EXPECT_EQ(f.Changes, expected + 3);
}

TEST(PageControl, OnChangeMayFreeThePageControl)
{
    ShownPagesForm f;
    f.ScrollToFirstTab();
    // The handler is the page control's own: it touches nothing once the control is freed.
    f.Pages->OnChange = [&f](TObject*) { delete std::exchange(f.Pages, nullptr); };
    const TPoint at = f.TabPoint(0);
    TestHooks::MouseDown(&f, mbLeft, at);
    EXPECT_EQ(f.Pages, nullptr);
    TestHooks::MouseUp(&f, mbLeft, at);
    EXPECT_EQ(f.ControlCount(), 0);
}

TEST(PageControl, ADisabledSheetCanBeChosenAndPaintsButTakesNoInput)
{
    ShownPagesForm f;
    f.ScrollToFirstTab();
    f.Click(f.TabPoint(0));
    ASSERT_EQ(f.Pages->ActivePage(), f.Tiles);
    EXPECT_FALSE(f.Tiles->Enabled());
    int clicks = 0;
    f.Solid->OnClick = [&](TObject*) { ++clicks; };
    clicks = 0;
    f.Click(TestHooks::ControlToForm(f.Solid, Point(5, 8)));
    EXPECT_TRUE(f.Solid->Checked());
    EXPECT_EQ(clicks, 0);
    // The paint box on the sheet's own surface still paints.
    EXPECT_EQ(TestHooks::ControlPixel(f.Palette, 10, 10), clRed);
    const TBitmap picture = DrawControlPicture(f);
    const TRect box = OnForm(f.Palette, Rect(0, 0, 128, 320));
    EXPECT_EQ(CountColour(picture, box, clRed), 128 * 320);
    // The inactive pages do not show.
    f.Pages->SetActivePage(f.OOT);
    EXPECT_EQ(CountColour(DrawControlPicture(f), box, clRed), 0);
}

TEST(PageControl, HidingTheActiveSheetHidesOnlyItsContent)
{
    ShownPagesForm f;
    f.ScrollToFirstTab();
    f.Click(f.TabPoint(0));
    ASSERT_EQ(f.Changes, 1);
    const TRect box = OnForm(f.Palette, Rect(0, 0, 128, 320));
    const TRect tab = f.Pages->TabRect(0);
    f.Tiles->SetVisible(false);
    EXPECT_EQ(f.Pages->ActivePage(), f.Tiles);
    EXPECT_EQ(f.Pages->TabRect(0), tab);
    EXPECT_EQ(f.Tiles->TabIndex(), 0);
    EXPECT_EQ(CountColour(DrawControlPicture(f), box, clRed), 0);
    f.Tiles->SetVisible(true);
    EXPECT_EQ(f.Pages->ActivePage(), f.Tiles);
    EXPECT_EQ(CountColour(DrawControlPicture(f), box, clRed), 128 * 320);
    EXPECT_EQ(f.Changes, 1);
}

TEST(PageControl, TheTabUnderThePointerShowsItsCaptionInNavy)
{
    ShownPagesForm f;
    f.ScrollToFirstTab();
    const TRect tab = OnForm(f.Pages, f.Pages->TabRect(1));
    EXPECT_EQ(CountColour(DrawControlPicture(f), tab, clNavy), 0);
    TestHooks::MouseMove(&f, f.TabPoint(1));
    EXPECT_GT(CountColour(DrawControlPicture(f), tab, clNavy), 10);
    TestHooks::MouseMove(&f, f.TabPoint(2));
    EXPECT_EQ(CountColour(DrawControlPicture(f), tab, clNavy), 0);
    EXPECT_GT(CountColour(DrawControlPicture(f), OnForm(f.Pages, f.Pages->TabRect(2)), clNavy), 10);
    // Onto a scrolling button, then off the row.
    const TRect button = TestHooks::TabScrollButtonRect(f.Pages, false);
    TestHooks::MouseMove(&f, TestHooks::ControlToForm(f.Pages, Point(button.Left + 3, button.Top + 5)));
    EXPECT_EQ(CountColour(DrawControlPicture(f), OnForm(f.Pages, f.Pages->TabRect(2)), clNavy), 0);
    TestHooks::MouseMove(&f, f.TabPoint(2));
    TestHooks::MouseMove(&f, Point(100, 200));
    EXPECT_EQ(CountColour(DrawControlPicture(f), OnForm(f.Pages, f.Pages->TabRect(2)), clNavy), 0);
    // Without hot tracking nothing changes colour.
    f.Pages->SetHotTrack(false);
    TestHooks::MouseMove(&f, f.TabPoint(1));
    EXPECT_EQ(CountColour(DrawControlPicture(f), tab, clNavy), 0);
}

TEST(PageControl, BadInput)
{
    ShownPagesForm f;
    // A sheet of another page control is refused.
    auto* other = new TPageControl(&f);
    other->SetParent(&f);
    auto* stranger = new TTabSheet(&f);
    stranger->SetPageControl(other);
    EXPECT_EQ(other->ActivePage(), stranger) << "the first page added becomes active";
    f.Pages->SetActivePage(stranger);
    EXPECT_EQ(f.Pages->ActivePage(), f.OOT);

    // A sheet without a tab can be made active in code: it shows, with no tab chosen.
    f.Pages->SetActivePage(f.Vars);
    EXPECT_EQ(f.Pages->ActivePage(), f.Vars);
    EXPECT_TRUE(f.Vars->Visible());
    EXPECT_EQ(f.Vars->TabIndex(), -1);
    EXPECT_FALSE(f.OOT->Visible());
    f.Pages->SetActivePage(nullptr);
    EXPECT_EQ(f.Pages->ActivePage(), nullptr);
    EXPECT_EQ(f.Pages->ActivePageIndex(), -1);
    f.Pages->SetActivePage(f.OOT);

    // Hiding the active page's tab hands over to a neighbour; showing a tab again.
    f.OOT->SetTabVisible(false);
    EXPECT_EQ(f.Pages->ActivePage(), f.Data);
    f.OOT->SetTabVisible(true);
    EXPECT_EQ(f.OOT->TabIndex(), 4);

    // Freeing the active sheet: the next tab's page takes over, without OnChange.
    f.Pages->SetActivePage(f.Data);
    delete f.Data;
    f.Data = nullptr;
    EXPECT_EQ(f.Pages->ActivePage(), f.OOT);
    EXPECT_EQ(f.Pages->PageCount(), 5);
    EXPECT_EQ(f.OOT->TabIndex(), 3);
    EXPECT_EQ(f.Changes, 0);

    // Moving a page.
    f.OOT->SetPageIndex(0);
    EXPECT_EQ(f.Pages->Pages(0), f.OOT);
    EXPECT_EQ(f.OOT->TabIndex(), 0);
    EXPECT_EQ(f.Tiles->TabIndex(), 1);

    // Tab widths: fitted to the captions, and very wide.
    f.Pages->SetTabWidth(0);
    EXPECT_NE(f.Pages->TabRect(0).Width(), f.Pages->TabRect(2).Width()) << "\"OOT\" and \"Overlay\"";
    f.Pages->SetTabWidth(10000);
    EXPECT_EQ(f.Pages->TabRect(1).Width(), 10000);
    EXPECT_FALSE(TestHooks::TabScrollButtonRect(f.Pages, false).IsEmpty());
    f.Pages->SetTabWidth(-5);
    EXPECT_EQ(f.Pages->TabWidth(), 0);

    // The page control freed before its sheets leaves them without one.
    TTabSheet* orphan = f.Tiles;
    delete f.Pages;
    f.Pages = nullptr;
    EXPECT_EQ(orphan->PageControl(), nullptr);
    EXPECT_EQ(orphan->PageIndex(), -1);
    delete orphan;
}
