#include <gtest/gtest.h>

#include <climits>

#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"

namespace {

struct BarForm : TForm {
    TScrollBar* Bar;
    TEdit* Edit;
    int Changes = 0;
    BarForm(TScrollBarKind kind, int w, int h)
    {
        SetClientWidth(400);
        SetClientHeight(400);
        Edit = PlaceControl<TEdit>(this, 200, 10, 100, 21);
        Bar = PlaceControl<TScrollBar>(this, 10, 10, 10, 10);
        Bar->SetKind(kind);
        Bar->SetBounds(10, 10, w, h);
        Bar->SetMax(54);
        Bar->OnChange = [this](TObject*) { ++Changes; };
        Show();
        TestHooks::SetActiveForm(this);
    }
    // A point along the bar, from its start, in form coordinates.
    TPoint Along(int offset) const
    {
        const bool vertical = Bar->Kind() == sbVertical;
        const int across = (vertical ? Bar->Width() : Bar->Height()) / 2;
        return vertical ? Point(Bar->Left() + across, Bar->Top() + offset)
                        : Point(Bar->Left() + offset, Bar->Top() + across);
    }
    void Click(TPoint at)
    {
        TestHooks::MouseMove(this, at);
        TestHooks::MouseDown(this, mbLeft, at);
        TestHooks::MouseUp(this, mbLeft, at);
    }
};

} // namespace

TEST(ScrollBar, ArrowsTrackThumbAndCodeChangeThePositionWithOneChangeEach)
{
    struct Case {
        TScrollBarKind kind;
        int w, h;
    };
    for (const Case& c : {Case{sbVertical, 16, 320}, Case{sbHorizontal, 160, 17}}) {
        SCOPED_TRACE(c.kind);
        BarForm f(c.kind, c.w, c.h);
        const int length = c.kind == sbVertical ? c.h : c.w;
        f.Click(f.Along(length - 4)); // the lower (right) arrow
        EXPECT_EQ(f.Bar->Position(), 1);
        EXPECT_EQ(f.Changes, 1);
        f.Bar->SetLargeChange(10);
        f.Click(f.Along(length * 3 / 4)); // the track past the thumb
        EXPECT_EQ(f.Bar->Position(), 11);
        EXPECT_EQ(f.Changes, 2);
        // Drag the thumb to the end.
        f.Bar->SetPosition(0);
        f.Changes = 0;
        const TPoint thumb = f.Along(c.kind == sbVertical ? 22 : 22);
        TestHooks::MouseMove(&f, thumb);
        TestHooks::MouseDown(&f, mbLeft, thumb);
        TestHooks::MouseMove(&f, f.Along(length + 40), {ssLeft});
        TestHooks::MouseUp(&f, mbLeft, f.Along(length + 40));
        EXPECT_EQ(f.Bar->Position(), 54);
        EXPECT_GE(f.Changes, 1);
        f.Changes = 0;
        f.Bar->SetPosition(10);
        EXPECT_EQ(f.Changes, 1);
        f.Bar->SetPosition(10);
        EXPECT_EQ(f.Changes, 1);
        f.Bar->SetMax(5); // moves the position
        EXPECT_EQ(f.Bar->Position(), 5);
        EXPECT_EQ(f.Changes, 2);
        f.Bar->SetPosition(99);
        EXPECT_EQ(f.Bar->Position(), 5);
    }
}

TEST(ScrollBar, RangeErrorsAndTabStop)
{
    BarForm f(sbVertical, 16, 320);
    try {
        f.Bar->SetMin(60);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Scroll bar range is invalid");
    }
    EXPECT_EQ(f.Bar->Min(), 0);
    EXPECT_EQ(f.Bar->Max(), 54);
    EXPECT_THROW(f.Bar->SetParams(0, 10, 5), EInvalidOperation);
    f.Bar->SetParams(0, 0, INT_MAX);
    f.Bar->SetLargeChange(0);
    f.Click(f.Along(200));
    EXPECT_EQ(f.Bar->Position(), 0); // no large change: the track does nothing
    f.Bar->SetLargeChange(1000);
    f.Click(f.Along(200));
    EXPECT_EQ(f.Bar->Position(), 1000);

    f.Bar->SetTabStop(false);
    f.Edit->SetFocus();
    f.Click(f.Along(316));
    EXPECT_TRUE(f.Edit->Focused());
    TestHooks::KeyStroke(&f, VK_TAB);
    EXPECT_FALSE(f.Bar->Focused());
}

TEST(ScrollBar, KeysMoveTheFocusedBarWithOneChangeEach)
{
    struct Case {
        TScrollBarKind kind;
        WORD key;
        int from, to;
    };
    const Case cases[] = {
        {sbVertical, VK_DOWN, 0, 1},      {sbVertical, VK_UP, 5, 4},       {sbVertical, VK_NEXT, 0, 10},
        {sbVertical, VK_PRIOR, 15, 5},    {sbVertical, VK_END, 3, 54},     {sbVertical, VK_HOME, 30, 0},
        {sbHorizontal, VK_RIGHT, 0, 1},   {sbHorizontal, VK_LEFT, 5, 4},   {sbVertical, VK_UP, 0, 0},
        {sbVertical, VK_DOWN, 54, 54},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " key " << c.key << " from " << c.from);
        BarForm f(c.kind, c.kind == sbVertical ? 16 : 160, c.kind == sbVertical ? 160 : 17);
        f.Bar->SetLargeChange(10);
        f.Bar->SetPosition(c.from);
        f.Bar->SetFocus();
        ASSERT_TRUE(f.Bar->Focused());
        f.Changes = 0;
        TestHooks::KeyStroke(&f, c.key);
        EXPECT_EQ(f.Bar->Position(), c.to);
        EXPECT_EQ(f.Changes, c.from == c.to ? 0 : 1);
    }
}
