#include <gtest/gtest.h>

#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"

namespace {

class Watch : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int Fonts = 0;
    int Colours = 0;

protected:
    void FontChanged() override { ++Fonts; }
    void ColorChanged() override { ++Colours; }
};

class Opaque : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    bool HitTest(int X, int) const override { return X >= Width() / 2; } // the left half lets through
};

} // namespace

TEST(ParentProperties, FontAndColourFollowTheParentWhileTheFlagIsOn)
{
    TForm form;
    TPanel* panel = PlaceControl<TPanel>(&form, 0, 0, 200, 100);
    TPanel* inner = PlaceControl<TPanel>(panel, 0, 0, 100, 50);
    inner->SetParentFont(true);
    inner->SetParentColor(true);
    auto* follower = new Watch(&form);
    follower->SetParentFont(true);
    follower->SetParentColor(true);
    follower->SetParent(inner); // takes them on getting a parent
    auto* own = PlaceControl<Watch>(inner, 0, 0, 10, 10);

    TFont big = panel->Font();
    big.Height = -20;
    big.Style = fsBold;
    panel->SetFont(big);
    panel->SetColor(clYellow);
    EXPECT_EQ(inner->Font().Height, -20);
    EXPECT_EQ(follower->Font().Height, -20); // passed down through the inner panel
    EXPECT_EQ(follower->Font().Style, fsBold);
    EXPECT_EQ(follower->Color(), clYellow);
    EXPECT_EQ(follower->Fonts, 1);
    EXPECT_EQ(follower->Colours, 1);
    EXPECT_NE(own->Font().Height, -20);
    EXPECT_EQ(own->Fonts, 0);

    TFont small = follower->Font();
    small.Height = -9;
    follower->SetFont(small); // its own font: the flag goes off
    EXPECT_FALSE(follower->ParentFont());
    follower->SetColor(clRed);
    EXPECT_FALSE(follower->ParentColor());
    big.Height = -30;
    panel->SetFont(big);
    panel->SetColor(clAqua);
    EXPECT_EQ(follower->Font().Height, -9);
    EXPECT_EQ(follower->Color(), clRed);
    EXPECT_EQ(inner->Font().Height, -30);
}

TEST(ParentProperties, HintsOfWindowlessControlsShowThroughTheirWindow)
{
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    form.Show();
    auto* button = PlaceControl<Watch>(&form, 10, 10, 30, 30);
    button->SetHint("Open a level\r\nfrom disk");
    button->SetShowHint(true);
    auto* quiet = PlaceControl<Watch>(&form, 60, 10, 30, 30);
    quiet->SetHint("Not shown");
    form.SetHint("The form");
    form.SetShowHint(true);
    EXPECT_EQ(TestHooks::HintAt(&form, Point(20, 20)), "Open a level\nfrom disk");
    EXPECT_EQ(TestHooks::HintAt(&form, Point(70, 20)), "The form");
    form.SetShowHint(false);
    EXPECT_EQ(TestHooks::HintAt(&form, Point(70, 20)), "");
    // ParentShowHint follows the form.
    quiet->SetParentShowHint(true);
    EXPECT_FALSE(quiet->ShowHint());
    form.SetShowHint(true);
    EXPECT_TRUE(quiet->ShowHint());
    EXPECT_EQ(TestHooks::HintAt(&form, Point(70, 20)), "Not shown");
    button->SetShowHint(false);
    EXPECT_EQ(TestHooks::HintAt(&form, Point(20, 20)), "The form");
}

TEST(ControlAtPos, FindControlAtPosFindsTheTopmostControlAtAScreenPoint)
{
    TForm form;
    form.SetBounds(50, 40, 300, 200);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    form.Show();
    TPanel* panel = PlaceControl<TPanel>(&form, 10, 10, 150, 150);
    auto* disabled = PlaceControl<Watch>(panel, 10, 10, 40, 40);
    disabled->SetEnabled(false);
    auto* seeThrough = PlaceControl<Opaque>(panel, 60, 10, 40, 40);
    TestHooks::RunPostedMessages();
    auto at = [&](TControl* c, int x, int y) { return c->ClientToScreen(Point(x, y)); };
    struct Case {
        const char* name;
        TPoint point;
        bool allowDisabled;
        TControl* want;
    };
    const Case cases[] = {
        {"the panel", at(panel, 120, 120), false, panel},
        {"a disabled control, not allowed", at(disabled, 5, 5), false, panel},
        {"a disabled control, allowed", at(disabled, 5, 5), true, disabled},
        {"the see-through half", at(seeThrough, 5, 5), false, panel},
        {"the solid half", at(seeThrough, 35, 5), false, seeThrough},
        {"the form's background", at(&form, 250, 180), false, &form},
        {"outside every window", Point(-5000, -5000), true, nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindControlAtPos(c.point, c.allowDisabled), c.want) << c.name;
    TestHooks::SetCursorPos(at(seeThrough, 35, 5));
    EXPECT_EQ(FindControlAtPos(GetCursorPos(), false), seeThrough);
}

TEST(ParentProperties, NewStyleControlsIsOnAndResetPutsItBack)
{
    EXPECT_TRUE(NewStyleControls);
    NewStyleControls = false;
    TestHooks::Reset();
    EXPECT_TRUE(NewStyleControls);
}
