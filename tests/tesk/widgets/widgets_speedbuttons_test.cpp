// The speed button and its glyph images.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "platform/Exceptions.h"
#include "platform/Menus.h"
#include "platform/System.h"
#include "tesk/widgets/SpeedButtons.h"

namespace {

uint32_t Argb(TColor c) { return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

const TColor SectionColours[5] = {RGB(0, 0, 128), RGB(128, 0, 0), RGB(0, 128, 0), RGB(128, 0, 128), RGB(0, 128, 128)};

// A strip of `w` x `h` whose sections (of h pixels) are magenta with pixel (1, 1) of
// each section in its own colour.
TBitmap Strip(int w, int h)
{
    TBitmap b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelColor(x, y, clFuchsia);
    if (h > 1)
        for (int s = 0; s * h + 1 < w; ++s)
            b.SetPixelColor(s * h + 1, 1, SectionColours[s % 5]);
    return b;
}

TEST(GlyphSections, NumGlyphsAndTheImagesOfEachState)
{
    struct Case {
        int width;
        int numGlyphs;
        int up, disabled, down, exclusive, inactive; // section; -1 embossed / grey
    } cases[] = {
        {16, 1, 0, -1, 0, 0, -1}, {32, 2, 0, 1, 0, 0, -1}, {48, 3, 0, 1, 2, 0, -1},
        {64, 4, 0, 1, 2, 3, -1},  {80, 5, 0, 1, 2, 3, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        TExButtonGlyph glyph;
        TBitmap strip = Strip(c.width, 16);
        glyph.SetStrip(&strip);
        ASSERT_EQ(glyph.NumGlyphs(), c.numGlyphs);
        EXPECT_EQ(glyph.TransparentColor(), clFuchsia);
        auto pixel = [&](TExButtonState s) {
            const int index = glyph.BuildStateImage(s);
            EXPECT_NE(index, -1);
            return glyph.GlyphList()->ImagePixel(index, 1, 1);
        };
        const TColor grey0 = glyph.ToGrey(SectionColours[0]);
        EXPECT_EQ(pixel(bsUp), Argb(SectionColours[c.up]));
        if (c.disabled >= 0)
            EXPECT_EQ(pixel(bsDisabled), Argb(SectionColours[c.disabled]));
        else
            EXPECT_EQ(pixel(bsDisabled), Argb(clGray)); // the embossed shadow
        EXPECT_EQ(pixel(bsDown), Argb(SectionColours[c.down]));
        if (c.numGlyphs < 3) {
            EXPECT_EQ(glyph.BuildStateImage(bsDown), glyph.BuildStateImage(bsUp));
        }
        EXPECT_EQ(pixel(bsExclusive), Argb(SectionColours[c.exclusive]));
        EXPECT_EQ(pixel(bsInactive), Argb(c.inactive >= 0 ? SectionColours[c.inactive] : grey0));
        // The magenta around is transparent.
        EXPECT_EQ(glyph.GlyphList()->ImagePixel(glyph.BuildStateImage(bsUp), 5, 5) >> 24, 0u);
        // A built image is returned unchanged.
        EXPECT_EQ(glyph.BuildStateImage(bsUp), glyph.BuildStateImage(bsUp));
    }
    for (int width : {96, 112}) {
        TExButtonGlyph glyph;
        TBitmap strip = Strip(width, 16);
        glyph.SetStrip(&strip);
        EXPECT_EQ(glyph.NumGlyphs(), 1) << width;
    }
    TExButtonGlyph glyph;
    glyph.SetNumGlyphs(3);
    TBitmap odd = Strip(20, 16);
    glyph.SetStrip(&odd);
    EXPECT_EQ(glyph.NumGlyphs(), 3);
    glyph.SetNumGlyphs(200);
    EXPECT_EQ(glyph.NumGlyphs(), 5);
    glyph.SetNumGlyphs(0);
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    TExButtonGlyph none;
    EXPECT_EQ(none.BuildStateImage(bsUp), -1);
}

TEST(GlyphSections, ToGreyKeepsTheTransparentColourAndTheFace)
{
    TExButtonGlyph glyph;
    EXPECT_EQ(glyph.ToGrey(RGB(255, 0, 0)), RGB(76, 76, 76));
    EXPECT_EQ(glyph.ToGrey(RGB(0, 255, 0)), RGB(149, 149, 149));
    EXPECT_EQ(glyph.ToGrey(clFuchsia), clFuchsia);
    EXPECT_EQ(glyph.ToGrey(clBtnFace), ColorToRGB(clBtnFace));
}

TEST(GlyphSections, ListsAreSharedBySizeAndFreedWithTheLastUser)
{
    {
        TExButtonGlyph a, b, c;
        TBitmap s16 = Strip(16, 16);
        TBitmap s20 = Strip(20, 20);
        a.SetStrip(&s16);
        b.SetStrip(&s16);
        c.SetStrip(&s20);
        a.BuildStateImage(bsUp);
        b.BuildStateImage(bsUp);
        b.BuildStateImage(bsDisabled);
        c.BuildStateImage(bsUp);
        ASSERT_NE(GlyphCache(), nullptr);
        EXPECT_EQ(a.GlyphList(), b.GlyphList());
        EXPECT_NE(a.GlyphList(), c.GlyphList());
        EXPECT_EQ(GlyphCache()->ListCount(), 2);
        EXPECT_EQ(a.GlyphList()->InUseCount(), 3);
        // A freed slot is reused before the list grows.
        const int count = a.GlyphList()->Count();
        a.ReleaseImages();
        EXPECT_EQ(b.GlyphList()->InUseCount(), 2);
        a.BuildStateImage(bsUp);
        EXPECT_EQ(a.GlyphList()->Count(), count);
        c.ReleaseImages();
        EXPECT_EQ(GlyphCache()->ListCount(), 1);
    }
    EXPECT_EQ(GlyphCache(), nullptr);
}

TEST(GlyphSections, OddStripsGiveNoImageRatherThanAFault)
{
    struct Case {
        int w, h;
    } cases[] = {{0, 0}, {1, 5000}, {5000, 1}, {3, 16}};
    for (const Case& c : cases) {
        TExButtonGlyph glyph;
        glyph.SetNumGlyphs(5);
        TBitmap strip;
        strip.SetSize(c.w, c.h);
        glyph.SetStrip(&strip);
        for (int s = 0; s < 5; ++s)
            glyph.BuildStateImage(static_cast<TExButtonState>(s));
        if (c.w / glyph.NumGlyphs() == 0) {
            EXPECT_EQ(glyph.BuildStateImage(bsUp), -1) << c.w << "x" << c.h;
        }
    }
}

// ---------------------------------------------------------------------------------------

class SpeedButtons : public WidgetForm {
protected:
    TExSpeedButton* Button(int left, int top, const std::string& caption = "")
    {
        auto* b = PlaceControl<TExSpeedButton>(Form.get(), left, top, 40, 30);
        b->SetCaption(caption);
        return b;
    }
};

TEST_F(SpeedButtons, ConstructionDefaults)
{
    auto* b = new TExSpeedButton(Form.get());
    EXPECT_EQ(b->Width(), 25);
    EXPECT_EQ(b->Height(), 25);
    EXPECT_EQ(b->ControlStyle, csCaptureMouse | csOpaque | csDoubleClicks | csReplicatable);
    EXPECT_TRUE(b->ParentFont());
    EXPECT_FALSE(b->ParentShowHint());
    EXPECT_TRUE(b->ShowHint());
    EXPECT_EQ(b->Layout(), blGlyphTop);
    EXPECT_EQ(b->Spacing(), 1);
    EXPECT_EQ(b->Margin(), -1);
    EXPECT_TRUE(b->MarkDropDown());
    EXPECT_TRUE(b->GrayedInactive());
    EXPECT_EQ(b->InitPause, 500);
    EXPECT_EQ(b->RepeatInterval, 100);
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_NE(Screen->Cursors(crExHand), nullptr);
    b->SetMargin(-5);
    EXPECT_EQ(b->Margin(), -1);
    b->SetMargin(3);
    b->SetMargin(-2);
    EXPECT_EQ(b->Margin(), 3);
    b->SetNumGlyphs(200);
    EXPECT_EQ(b->NumGlyphs(), 5);
}

TEST_F(SpeedButtons, TheCheckerPatternLivesWithTheButtons)
{
    const int before = TExSpeedButton::LiveCount();
    auto* a = Button(0, 0);
    a->SetGroupIndex(1);
    a->SetDown(true);
    a->Repaint();
    ASSERT_NE(TExSpeedButton::ExclusivePattern(), nullptr);
    EXPECT_EQ(TExSpeedButton::LiveCount(), before + 1);
    delete a;
    if (before == 0) {
        EXPECT_EQ(TExSpeedButton::ExclusivePattern(), nullptr);
    }
}

TEST_F(SpeedButtons, GroupsLatchOneButton)
{
    TExSpeedButton* b[3];
    for (int i = 0; i < 3; ++i) {
        b[i] = Button(10 + 50 * i, 10);
        b[i]->SetGroupIndex(1);
    }
    int clicks = 0;
    b[1]->OnClick = [&](TObject*) { ++clicks; };
    b[0]->SetDown(true);
    ClickAt(b[1], 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b[1]->Down());
    EXPECT_FALSE(b[0]->Down());
    EXPECT_FALSE(b[2]->Down());
    EXPECT_EQ(b[1]->State(), bsExclusive);
    b[1]->SetDown(false); // only another member releases it
    EXPECT_TRUE(b[1]->Down());
    ClickAt(b[1], 5, 5); // clicking it again keeps it down
    EXPECT_TRUE(b[1]->Down());
    EXPECT_EQ(clicks, 2);

    // AllowAllUp is copied by every member; then it comes up.
    b[2]->SetAllowAllUp(true);
    EXPECT_TRUE(b[0]->AllowAllUp());
    EXPECT_TRUE(b[1]->AllowAllUp());
    b[1]->SetDown(false);
    EXPECT_FALSE(b[1]->Down());
    EXPECT_EQ(b[1]->State(), bsUp);

    auto* loose = Button(10, 100);
    loose->SetDown(true);
    EXPECT_FALSE(loose->Down());
}

TEST_F(SpeedButtons, AReleaseOutsideDoesNotClickAndTheEdgesOfTheInsideTest)
{
    auto* b = Button(10, 10, "x");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    Press(b, 5, 5);
    EXPECT_EQ(b->State(), bsDown);
    EXPECT_TRUE(b->Dragging());
    Move(b, 5, b->Height()); // the bottom edge still counts as inside
    EXPECT_EQ(b->State(), bsDown);
    Move(b, b->Width(), 5); // the right edge does not
    EXPECT_EQ(b->State(), bsUp);
    Move(b, b->Width() + 20, 5);
    Release(b, b->Width() + 20, 5);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b->State(), bsUp);

    Press(b, 5, 5);
    Release(b, 5, b->Height());
    EXPECT_EQ(clicks, 1);

    // Grouped and down: dragged out it shows latched, released out it stays down.
    auto* g = Button(100, 10);
    g->SetGroupIndex(2);
    g->SetDown(true);
    int gclicks = 0;
    g->OnClick = [&](TObject*) { ++gclicks; };
    Press(g, 5, 5);
    Move(g, 80, 5);
    EXPECT_EQ(g->State(), bsExclusive);
    Release(g, 80, 5);
    EXPECT_EQ(gclicks, 0);
    EXPECT_TRUE(g->Down());
    EXPECT_EQ(g->State(), bsExclusive);
}

TEST_F(SpeedButtons, DoubleClicksReachOnlyALatchedButton)
{
    auto* up = Button(10, 10);
    auto* latched = Button(60, 10);
    latched->SetGroupIndex(1);
    latched->SetDown(true);
    int upClicks = 0, upDouble = 0, latchedDouble = 0;
    up->OnClick = [&](TObject*) { ++upClicks; };
    up->OnDblClick = [&](TObject*) { ++upDouble; };
    latched->OnDblClick = [&](TObject*) { ++latchedDouble; };
    for (TExSpeedButton* b : {up, latched}) {
        ClickAt(b, 5, 5);
        Point_(b, 5, 5);
        TestHooks::MouseDoubleClick(Form.get(), mbLeft, OnForm(b, 5, 5));
        Release(b, 5, 5);
    }
    EXPECT_EQ(upDouble, 0);
    EXPECT_GE(upClicks, 1);
    EXPECT_EQ(latchedDouble, 1);
}

TEST_F(SpeedButtons, AcceleratorsAndModalResults)
{
    auto* go = Button(10, 10, "&Go");
    int clicks = 0;
    go->OnClick = [&](TObject*) { ++clicks; };
    TestHooks::KeyStroke(Form.get(), 'G', TShiftState{ssAlt});
    EXPECT_EQ(clicks, 1);
    go->SetEnabled(false);
    TestHooks::KeyStroke(Form.get(), 'G', TShiftState{ssAlt});
    EXPECT_EQ(clicks, 1);

    TForm dialog;
    dialog.SetBounds(60, 60, 200, 100);
    auto* ok = PlaceControl<TExSpeedButton>(&dialog, 10, 10, 60, 25);
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    TestHooks::SetModalStarted([&](TForm* f) {
        if (f != &dialog)
            return;
        TestHooks::SetApplicationActive(true);
        TestHooks::MouseDown(&dialog, mbLeft, TestHooks::ControlToForm(ok, Point(5, 5)));
        TestHooks::MouseUp(&dialog, mbLeft, TestHooks::ControlToForm(ok, Point(5, 5)));
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
}

TEST_F(SpeedButtons, HeldWithTheTimerItRepeats)
{
    auto* b = Button(10, 10);
    b->SetAllowTimer(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    Press(b, 5, 5);
    ASSERT_NE(b->RepeatTimer(), nullptr);
    EXPECT_TRUE(b->RepeatTimer()->Enabled());
    EXPECT_EQ(b->RepeatTimer()->Interval(), 500u);
    b->RepeatTimer()->Timer();
    EXPECT_EQ(b->RepeatTimer()->Interval(), 100u);
    EXPECT_EQ(clicks, 1);
    b->RepeatTimer()->Timer();
    EXPECT_EQ(clicks, 2);
    Move(b, 100, 5); // off the button: no clicks, the timer goes on
    b->RepeatTimer()->Timer();
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(b->RepeatTimer()->Enabled());
    Move(b, 5, 5);
    b->RepeatTimer()->Timer();
    EXPECT_EQ(clicks, 3);
    Release(b, 5, 5);
    EXPECT_EQ(clicks, 4); // the release inside clicks as usual
    EXPECT_FALSE(b->RepeatTimer()->Enabled());

    // A click that raises stops the repeats.
    b->OnClick = [&](TObject*) {
        ++clicks;
        throw EAbort("stop");
    };
    Press(b, 5, 5);
    b->RepeatTimer()->Timer();
    EXPECT_FALSE(b->RepeatTimer()->Enabled());
    Release(b, 5, 5);
    b->SetAllowTimer(false);
    EXPECT_EQ(b->RepeatTimer(), nullptr);
}

TEST_F(SpeedButtons, PressAndClickWaitsOnTheTickCount)
{
    uint32_t now = 1000;
    int reads = 0;
    TestHooks::SetTickCountSource([&] {
        ++reads;
        const uint32_t t = now;
        now += 5;
        return t;
    });
    auto* b = Button(10, 10);
    int clicks = 0;
    uint32_t clickedAt = 0;
    b->OnClick = [&](TObject*) {
        ++clicks;
        clickedAt = now;
        EXPECT_EQ(b->State(), bsDown);
    };
    PressAndClickButton(b);
    EXPECT_EQ(clicks, 1);
    EXPECT_GE(clickedAt - 1000, 20u);
    EXPECT_EQ(b->State(), bsUp);

    auto* g = Button(60, 10);
    g->SetGroupIndex(1);
    g->SetAllowAllUp(true);
    int gclicks = 0;
    g->OnClick = [&](TObject*) { ++gclicks; };
    PressAndClickButton(g);
    EXPECT_TRUE(g->Down());
    EXPECT_EQ(gclicks, 1);
    PressAndClickButton(g);
    EXPECT_FALSE(g->Down());
    EXPECT_EQ(gclicks, 2);

    // The wait ends at the wrap of the count.
    now = 0xFFFFFFF8u;
    reads = 0;
    PressAndClickButton(b);
    EXPECT_EQ(clicks, 2);
    EXPECT_LE(reads, 4);

    b->SetEnabled(false);
    PressAndClickButton(b);
    EXPECT_EQ(clicks, 2);
    b->SetEnabled(true);
    TPopupMenu menu(Form.get());
    b->SetDropDownMenu(&menu);
    PressAndClickButton(b);
    EXPECT_EQ(clicks, 2);
    b->SetDropDownMenu(nullptr);

    b->OnClick = [&](TObject*) { throw EAbort("no"); };
    EXPECT_THROW(PressAndClickButton(b), EAbort);
    EXPECT_EQ(b->State(), bsUp);
    PressAndClickButton(nullptr);
}

TEST_F(SpeedButtons, FlatButtonsFollowThePointerOnlyInAnActiveApplication)
{
    auto* b = Button(10, 10, "F");
    b->SetFlat(true);
    auto* other = Button(100, 10);
    int enters = 0, leaves = 0;
    b->OnMouseEnter = [&](TObject*) { ++enters; };
    b->OnMouseLeave = [&](TObject*) { ++leaves; };
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), face); // no frame
    Move(b, 5, 5);
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), ColorToRGB(clBtnHighlight));
    Move(other, 5, 5);
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), face);

    // Held: leaving tells nothing until the release.
    Move(b, 5, 5);
    Press(b, 5, 5);
    Move(other, 5, 5);
    EXPECT_EQ(leaves, 1);
    Release(other, 5, 5);
    EXPECT_EQ(leaves, 2);
    EXPECT_FALSE(b->MouseInControl());

    TestHooks::SetApplicationActive(false);
    Move(b, 5, 5);
    EXPECT_EQ(enters, 2);
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), face);
}

TEST_F(SpeedButtons, DropDownMenusPopAtTheButtonsEdge)
{
    auto* b = Button(30, 20, "Menu");
    TPopupMenu menu(Form.get());
    auto* item = new TMenuItem(&menu);
    item->SetCaption("Item");
    int chosen = 0;
    item->OnClick = [&](TObject*) { ++chosen; };
    menu.Items()->Add(item);
    b->SetDropDownMenu(&menu);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    TestHooks::SetPopupMenuAnswer([&](TPopupMenu*, TPoint) { return item; });
    struct Case {
        TExDropDownMenuPos position;
        TPopupAlignment alignment;
        TPoint at; // button coordinates
    } cases[] = {
        {dmpBottom, paLeft, {-1, 30}},  {dmpBottom, paRight, {41, 30}}, {dmpBottom, paCenter, {20, 30}},
        {dmpRight, paLeft, {40, -1}},   {dmpRight, paRight, {-1, -1}},  {dmpRight, paCenter, {20, 30}},
    };
    int n = 0;
    for (const Case& c : cases) {
        b->SetMenuPosition(c.position);
        menu.SetAlignment(c.alignment);
        Press(b, 5, 5);
        ++n;
        ASSERT_EQ(static_cast<int>(TestHooks::PopupMenuLog().size()), n);
        EXPECT_EQ(TestHooks::PopupMenuLog().back().At, b->ClientToScreen(c.at));
        EXPECT_EQ(TestHooks::PopupMenuLog().back().Menu, &menu);
        EXPECT_EQ(chosen, n);
        EXPECT_EQ(b->State(), bsUp);
        EXPECT_FALSE(b->Dragging());
        EXPECT_FALSE(b->MenuTracking());
        EXPECT_EQ(menu.PopupComponent(), b);
        Release(b, 5, 5);
        EXPECT_EQ(clicks, 0);
    }
    menu.SetAutoPopup(false);
    ClickAt(b, 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(static_cast<int>(TestHooks::PopupMenuLog().size()), n);

    auto* owned = new TPopupMenu(Form.get());
    b->SetDropDownMenu(owned);
    delete owned;
    EXPECT_EQ(b->DropDownMenu(), nullptr);
}

TEST_F(SpeedButtons, ThePressThatClosedTheMenuIsDroppedFromTheQueue)
{
    auto* b = Button(30, 20, "Menu");
    TPopupMenu menu(Form.get());
    auto* item = new TMenuItem(&menu);
    menu.Items()->Add(item);
    b->SetDropDownMenu(&menu);
    constexpr UINT press = 0x0201, doubleClick = 0x0203, other = 0x7001;
    TestHooks::SetPopupMenuAnswer([&](TPopupMenu*, TPoint) {
        // What the closing click leaves behind for the button's window.
        PostMessage(Form->Handle(), press, 0, 0);
        PostMessage(Form->Handle(), doubleClick, 0, 0);
        PostMessage(Form->Handle(), other, 0, 0);
        return item;
    });
    Press(b, 5, 5);
    Release(b, 5, 5);
    EXPECT_FALSE(RemovePostedMessage(Form->Handle(), press));
    EXPECT_FALSE(RemovePostedMessage(Form->Handle(), doubleClick));
    EXPECT_TRUE(RemovePostedMessage(Form->Handle(), other));
}

TEST_F(SpeedButtons, FramesOfEachStyleAndState)
{
    const TColor hl = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow), fr = ColorToRGB(clWindowFrame),
                 face = ColorToRGB(clBtnFace);
    struct Case {
        TButtonStyle style;
        bool flat, pressed;
        TColor outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
    } cases[] = {
        {bsNew, false, false, hl, fr, face, sh},   {bsNew, true, false, hl, sh, face, face},
        {bsWin31, false, false, fr, fr, hl, sh},   {bsWin31, true, false, hl, fr, face, face},
        {bsNew, false, true, fr, hl, sh, face},    {bsNew, true, true, fr, hl, face, face},
        {bsWin31, false, true, fr, fr, sh, face},  {bsWin31, true, true, fr, hl, face, face},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n++);
        auto* b = Button(10, 10);
        b->SetStyle(c.style);
        b->SetFlat(c.flat);
        Move(b, 20, 15); // a flat button shows its frame only under the pointer
        if (c.pressed)
            Press(b, 20, 15);
        const int w = b->Width(), h = b->Height();
        EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), c.outerTopLeft);
        EXPECT_EQ(TestHooks::ControlPixel(b, w - 1, h - 1), c.outerBottomRight);
        EXPECT_EQ(TestHooks::ControlPixel(b, 1, 1), c.innerTopLeft);
        EXPECT_EQ(TestHooks::ControlPixel(b, w - 2, h - 2), c.innerBottomRight);
        if (c.pressed)
            Release(b, 20, 15);
        delete b;
    }
    // The automatic style follows the new-style switch.
    auto* b = Button(10, 10);
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), NewStyleControls ? hl : fr);
    NewStyleControls = !NewStyleControls;
    b->Invalidate();
    EXPECT_EQ(TestHooks::ControlPixel(b, 0, 0), NewStyleControls ? hl : fr);
    NewStyleControls = !NewStyleControls;
}

TEST_F(SpeedButtons, TrackingAndStateFollowEnablingAndShowing)
{
    auto* b = Button(10, 10);
    int enters = 0, leaves = 0;
    b->OnMouseEnter = [&](TObject*) { ++enters; };
    b->OnMouseLeave = [&](TObject*) { ++leaves; };
    b->SetEnabled(false);
    Move(b, 5, 5);
    EXPECT_EQ(enters, 0); // a disabled button does not track the pointer
    b->SetEnabled(true);
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(b->MouseInControl());

    // Shown again, the button looks where the pointer went while it was hidden.
    b->SetVisible(false);
    Move(Form.get(), 200, 200);
    b->SetVisible(true);
    EXPECT_EQ(leaves, 1);
    EXPECT_FALSE(b->MouseInControl());
    b->SetVisible(false);
    Point_(b, 5, 5);
    b->SetVisible(true);
    EXPECT_EQ(enters, 2);
    EXPECT_TRUE(b->MouseInControl());

    // Painting a disabled button shows it disabled; enabled again it is latched or up.
    auto* g = Button(60, 10);
    g->SetGroupIndex(4);
    g->SetDown(true);
    for (TExSpeedButton* button : {b, g}) {
        button->SetEnabled(false);
        button->Repaint();
        EXPECT_EQ(button->State(), bsDisabled);
        button->SetEnabled(true);
        button->Repaint();
    }
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_EQ(g->State(), bsExclusive);
}

TEST_F(SpeedButtons, ButtonsFreedFromTheirOwnHandlers)
{
    auto* b = Button(10, 10);
    b->OnClick = [&](TObject*) { delete b; };
    ClickAt(b, 5, 5);

    auto* d = Button(60, 10);
    TPopupMenu menu(Form.get());
    auto* item = new TMenuItem(&menu);
    menu.Items()->Add(item);
    item->OnClick = [&](TObject*) { delete d; };
    d->SetDropDownMenu(&menu);
    TestHooks::SetPopupMenuAnswer([&](TPopupMenu*, TPoint) { return item; });
    Press(d, 5, 5);
    Release(Form.get(), 65, 15);

    auto* held = Button(110, 10);
    TBitmap s = Strip(32, 16);
    held->SetGlyph(&s);
    Press(held, 5, 5);
    TBitmap t = Strip(16, 16);
    held->SetGlyph(&t);
    held->Repaint();
    Release(held, 5, 5);
    EXPECT_EQ(held->NumGlyphs(), 1);
}

struct LayoutCase {
    TButtonLayout layout;
    int margin, spacing;
    bool glyph, caption, mark;
    // Expected positions along and across the axis, as functions of the text size.
    std::function<TPoint(TPoint t)> glyphAt;
    std::function<TPoint(TPoint t)> textAt;
};

TEST_F(SpeedButtons, PlaceGlyphAndTextFollowsTheMarginAndSpacingRules)
{
    TBitmap canvasOwner;
    canvasOwner.SetSize(10, 10);
    TCanvas& canvas = canvasOwner.Canvas();
    const std::string text = "Go";
    const TPoint t = canvas.TextExtent(text);
    const TRect wide = Rect(2, 3, 62, 33); // 60 x 30
    const TRect tall = Rect(2, 3, 42, 63); // 40 x 60
    const LayoutCase cases[] = {
        {blGlyphLeft, -1, -1, true, true, false,
         [](TPoint t) { int m = (60 - 16 - t.X) / 3; return Point(m, 7); },
         [](TPoint t) { int m = (60 - 16 - t.X) / 3; return Point(m + 16 + m, 15 - t.Y / 2); }},
        {blGlyphLeft, 2, -1, true, true, false, [](TPoint) { return Point(2, 7); },
         [](TPoint t) { int s = (60 - 2 - 16) / 2 - t.X / 2; return Point(2 + 16 + s, 15 - t.Y / 2); }},
        {blGlyphLeft, 3, 4, true, true, false, [](TPoint) { return Point(3, 7); },
         [](TPoint t) { return Point(23, 15 - t.Y / 2); }},
        {blGlyphLeft, -1, 4, true, true, false, [](TPoint t) { return Point(30 - (4 + 16 + t.X) / 2, 7); },
         [](TPoint t) { return Point(30 - (4 + 16 + t.X) / 2 + 20, 15 - t.Y / 2); }},
        {blGlyphRight, 3, 4, true, true, false, [](TPoint) { return Point(41, 7); },
         [](TPoint t) { return Point(41 - 4 - t.X, 15 - t.Y / 2); }},
        {blGlyphRight, -1, -1, true, true, false,
         [](TPoint t) { int m = (60 - 16 - t.X) / 3; return Point(60 - m - 16, 7); },
         [](TPoint t) { int m = (60 - 16 - t.X) / 3; return Point(60 - m - 16 - m - t.X, 15 - t.Y / 2); }},
        {blGlyphTop, 3, 4, true, true, false, [](TPoint) { return Point(12, 3); },
         [](TPoint t) { return Point(20 - t.X / 2, 23); }},
        {blGlyphBottom, 3, 4, true, true, false, [](TPoint) { return Point(12, 41); },
         [](TPoint t) { return Point(20 - t.X / 2, 41 - 4 - t.Y); }},
        {blGlyphTop, -1, -1, true, true, false,
         [](TPoint t) { int m = (60 - 16 - t.Y) / 3; return Point(12, m); },
         [](TPoint t) { int m = (60 - 16 - t.Y) / 3; return Point(20 - t.X / 2, m + 16 + m); }},
        // No glyph: no spacing, the caption centred.
        {blGlyphLeft, -1, -1, false, true, false, [](TPoint t) { return Point(30 - t.X / 2, 15); },
         [](TPoint t) { return Point(30 - t.X / 2, 15 - t.Y / 2); }},
        // No caption: the glyph centred.
        {blGlyphLeft, -1, -1, true, false, false, [](TPoint) { return Point(22, 7); },
         [](TPoint) { return Point(38, 15); }},
        // The mark: beside the caption of a left glyph, or widening the glyph.
        {blGlyphLeft, 3, 4, true, true, true, [](TPoint) { return Point(3, 7); },
         [](TPoint t) { return Point(23, 15 - t.Y / 2); }},
        {blGlyphTop, 3, 4, true, true, true, [](TPoint) { return Point(9, 3); },
         [](TPoint t) { return Point(20 - t.X / 2, 23); }},
    };
    TBitmap glyphStrip = Strip(16, 16);
    int n = 0;
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(n++);
        TExButtonGlyph glyph;
        if (c.glyph)
            glyph.SetStrip(&glyphStrip);
        const TRect client = c.layout == blGlyphLeft || c.layout == blGlyphRight ? wide : tall;
        std::string caption = c.caption ? text : "";
        TPoint glyphPos{};
        TRect textBounds{};
        glyph.PlaceGlyphAndText(canvas, client, caption, c.layout, c.margin, c.spacing, c.mark, glyphPos,
                                textBounds);
        const TPoint tt = c.caption ? t : TPoint{};
        const TPoint g = c.glyphAt(tt);
        const TPoint x = c.textAt(tt);
        if (c.glyph) {
            EXPECT_EQ(glyphPos, Point(g.X + client.Left, g.Y + client.Top));
        }
        if (c.caption) {
            EXPECT_EQ(textBounds.Left, x.X + client.Left);
            EXPECT_EQ(textBounds.Top, x.Y + client.Top);
            EXPECT_EQ(textBounds.Width(), t.X);
            EXPECT_EQ(textBounds.Height(), t.Y);
        }
    }
}

TEST_F(SpeedButtons, CaptionsAreShortenedAndCut)
{
    TBitmap owner;
    owner.SetSize(10, 10);
    TCanvas& canvas = owner.Canvas();
    TExButtonGlyph glyph;
    TPoint g{};
    TRect r{};
    std::string caption = "A long caption  ";
    glyph.PlaceGlyphAndText(canvas, Rect(0, 0, 40, 20), caption, blGlyphLeft, -1, -1, false, g, r);
    EXPECT_EQ(caption, EllipsisText("A long caption  ", canvas, 38));
    EXPECT_LE(r.Width(), 38);

    std::string huge(10000, 'w');
    glyph.WordWrap = true;
    glyph.PlaceGlyphAndText(canvas, Rect(0, 0, 40, 20), huge, blGlyphLeft, -1, -1, false, g, r);
    EXPECT_EQ(huge.size(), 255u);

    // Odd captions, sizes and spacings paint without a fault.
    const char* captions[] = {"ends in &", "two\r\nlines", "", "&"};
    auto* b = Button(10, 10);
    for (const char* c : captions) {
        b->SetCaption(c);
        for (TButtonLayout l : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
            b->SetLayout(l);
            b->SetMargin(-5);
            b->SetSpacing(-100);
            b->Repaint();
        }
    }
    b->SetCaption(std::string(10000, 'x'));
    b->Repaint();
    b->SetBounds(10, 10, 0, 0);
    b->Repaint();
    TBitmap tall;
    tall.SetSize(1, 5000);
    b->SetGlyph(&tall);
    b->SetBounds(10, 10, 30, 30);
    b->Repaint();
    TBitmap wide;
    wide.SetSize(5000, 1);
    b->SetGlyph(&wide);
    b->Repaint();
}

TEST_F(SpeedButtons, ColourChangesReleaseTheImages)
{
    auto* b = Button(10, 10);
    TBitmap s = Strip(16, 16);
    b->SetGlyph(&s);
    b->Repaint();
    EXPECT_NE(b->ButtonGlyph().Index(bsUp), -1);
    b->SysColorChange();
    EXPECT_EQ(b->ButtonGlyph().Index(bsUp), -1);
    EXPECT_EQ(b->ButtonGlyph().GlyphList(), nullptr);
    b->SetEnabled(false); // builds the disabled image ahead
    EXPECT_NE(b->ButtonGlyph().Index(bsDisabled), -1);
}

TEST_F(SpeedButtons, TheEditorsLayerButtons)
{
    const char* captions[] = {"-1", "0", "1", "None"};
    const int tags[] = {-1, 0, 1, -100};
    TExSpeedButton* b[4];
    int x = 8;
    for (int i = 0; i < 4; ++i) {
        b[i] = PlaceControl<TExSpeedButton>(Form.get(), x, 8, i == 3 ? 72 : 23, 22);
        x += b[i]->Width() + 2;
        b[i]->SetGroupIndex(1);
        b[i]->SetTag(tags[i]);
        b[i]->SetCaption(captions[i]);
    }
    b[1]->SetDown(true);
    intptr_t layer = 0;
    for (auto* button : b)
        button->OnClick = [&](TObject* sender) { layer = static_cast<TExSpeedButton*>(sender)->Tag(); };
    ClickAt(b[3], 30, 10);
    EXPECT_TRUE(b[3]->Down());
    EXPECT_FALSE(b[1]->Down());
    EXPECT_EQ(layer, -100);
}

} // namespace
