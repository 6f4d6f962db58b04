// The shadowed label: sizing, shadows, disabled looks, accelerators and focus frames.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "WidgetTestSupport.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "tesk/widgets/ShadowLabels.h"

namespace {

class Labels : public WidgetForm {
protected:
    TExLabel* Label(const std::string& caption, int left = 10, int top = 10)
    {
        auto* l = PlaceControl<TExLabel>(Form.get(), left, top, 65, 17);
        l->SetCaption(caption);
        return l;
    }
};

TEST_F(Labels, ConstructionDefaults)
{
    auto* l = new TExLabel(Form.get());
    EXPECT_EQ(l->Width(), 65);
    EXPECT_EQ(l->Height(), 17);
    EXPECT_TRUE(l->ControlStyle & csOpaque);
    EXPECT_TRUE(l->ControlStyle & csReplicatable);
    EXPECT_FALSE(l->Transparent());
    EXPECT_TRUE(l->ParentFont());
    EXPECT_TRUE(l->AutoSize());
    EXPECT_EQ(l->ShadowSize(), 1);
    EXPECT_EQ(l->ShadowPos(), spLeftTop);
    EXPECT_EQ(l->ShadowColor(), clBtnHighlight);
    EXPECT_TRUE(l->ShowAccelChar());
    EXPECT_FALSE(l->ShowFocus());
    EXPECT_EQ(l->Layout(), tlTop);
}

TEST_F(Labels, AutoSizeMeasuresTheCaptionAndItsShadow)
{
    TBitmap owner;
    owner.SetSize(4, 4);
    TCanvas& measure = owner.Canvas();
    auto* empty = Label("");
    measure.Font = empty->Font();
    empty->Loaded();
    EXPECT_EQ(empty->Width(), measure.TextWidth(" ") + 2);
    EXPECT_EQ(empty->Height(), measure.TextHeight(" "));

    auto* amp = Label("&");
    EXPECT_EQ(amp->Width(), measure.TextWidth(" ") + 2);

    auto* l = Label("Shadow");
    l->SetShadowSize(0);
    const int w0 = l->Width();
    const int h0 = l->Height();
    EXPECT_EQ(w0, measure.TextWidth("Shadow") + 2);
    l->SetShadowPos(spRightBottom);
    l->SetShadowSize(2);
    EXPECT_EQ(l->Width(), w0 + 2);
    EXPECT_EQ(l->Height(), h0 + 2);
    l->SetShadowPos(spLeftTop);
    l->SetShadowSize(0);
    l->SetShadowSize(2);
    EXPECT_EQ(l->Width(), w0);
    EXPECT_EQ(l->Height(), h0);

    auto* right = Label("ab", 100, 60);
    right->SetAlignment(taRightJustify);
    right->SetCaption("ab");
    const int edge = right->Left() + right->Width();
    right->SetCaption("a much longer caption");
    EXPECT_EQ(right->Left() + right->Width(), edge);
    EXPECT_LT(right->Left(), 100);

    auto* fixed = Label("x", 10, 100);
    fixed->SetAutoSize(false);
    fixed->SetBounds(10, 100, 65, 17);
    fixed->SetCaption("a caption longer than the label");
    EXPECT_EQ(fixed->Width(), 65);
}

TEST_F(Labels, TheShadowFallsWhereItIsToldAndDisabledLabelsEngrave)
{
    auto* l = Label("I");
    l->SetColor(clWhite);
    TFont font = l->Font();
    font.Color = clBlack;
    l->SetFont(font);
    l->SetShadowColor(clRed);
    l->SetShadowPos(spRightBottom);
    l->SetShadowSize(2);
    l->SetAutoSize(false);
    l->SetBounds(10, 10, 40, 30);
    auto firstColumn = [&](TColor c) {
        for (int x = 0; x < l->Width(); ++x)
            for (int y = 0; y < l->Height(); ++y)
                if (TestHooks::ControlPixel(l, x, y) == c)
                    return x;
        return -1;
    };
    auto firstRow = [&](TColor c) {
        for (int y = 0; y < l->Height(); ++y)
            for (int x = 0; x < l->Width(); ++x)
                if (TestHooks::ControlPixel(l, x, y) == c)
                    return y;
        return -1;
    };
    ASSERT_GE(firstColumn(clBlack), 0);
    EXPECT_EQ(firstColumn(clRed), firstColumn(clBlack) + 2);
    EXPECT_EQ(firstRow(clRed), firstRow(clBlack) + 2);

    l->SetShadowSize(0);
    l->SetEnabled(false);
    const TColor highlight = ColorToRGB(clBtnHighlight);
    l->SetColor(clBtnFace);
    EXPECT_EQ(firstColumn(highlight), firstColumn(ColorToRGB(clGrayText)) + 1);
    NewStyleControls = false;
    l->Invalidate();
    EXPECT_EQ(firstColumn(highlight), -1);
    NewStyleControls = true;
}

TEST_F(Labels, LayoutsMoveTheCaptionDown)
{
    auto* l = Label("Text");
    l->SetAutoSize(false);
    l->SetBounds(10, 10, 60, 40);
    l->SetColor(clWhite);
    l->SetShadowSize(0);
    TFont font = l->Font();
    font.Color = clBlack;
    l->SetFont(font);
    TBitmap owner;
    owner.SetSize(4, 4);
    owner.Canvas().Font = l->Font();
    const int h = owner.Canvas().TextHeight("Text");
    auto top = [&] {
        for (int y = 0; y < l->Height(); ++y)
            for (int x = 0; x < l->Width(); ++x)
                if (TestHooks::ControlPixel(l, x, y) == clBlack)
                    return y;
        return -1;
    };
    const int atTop = top();
    ASSERT_GE(atTop, 0);
    l->SetLayout(tlBottom);
    EXPECT_EQ(top(), atTop + 40 - h);
    l->SetLayout(tlCenter);
    EXPECT_EQ(top(), atTop + (40 - h) / 2);
}

// The focus frame's dotted pixels: how many pixels of the label's outline differ from
// its colour.
int OutlinePixels(TExLabel* l)
{
    int n = 0;
    const TColor face = ColorToRGB(l->Color());
    for (int x = 0; x < l->Width(); ++x) {
        n += TestHooks::ControlPixel(l, x, 0) != face;
        n += TestHooks::ControlPixel(l, x, l->Height() - 1) != face;
    }
    return n;
}

TEST_F(Labels, TheAcceleratorFocusesTheFocusControl)
{
    auto* first = PlaceControl<TEdit>(Form.get(), 100, 10, 80, 21);
    auto* second = PlaceControl<TEdit>(Form.get(), 100, 40, 80, 21);
    auto* l = Label("&Name");
    l->SetFocusControl(second);
    first->SetFocus();
    ASSERT_EQ(Form->ActiveControl(), first);
    TestHooks::KeyStroke(Form.get(), 'N', TShiftState{ssAlt});
    EXPECT_EQ(Form->ActiveControl(), second);
    EXPECT_EQ(first->Text(), "");

    struct Case {
        const char* name;
        std::function<void()> setUp;
    };
    const Case refused[] = {
        {"another letter", [] {}},
        {"disabled label", [&] { l->SetEnabled(false); }},
        {"no accelerator shown", [&] { l->SetShowAccelChar(false); }},
        {"disabled focus control", [&] { second->SetEnabled(false); }},
        {"no focus control", [&] { l->SetFocusControl(nullptr); }},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        l->SetEnabled(true);
        l->SetShowAccelChar(true);
        second->SetEnabled(true);
        l->SetFocusControl(second);
        first->SetFocus();
        c.setUp();
        TestHooks::KeyStroke(Form.get(), std::string(c.name) == "another letter" ? 'X' : 'N', TShiftState{ssAlt});
        EXPECT_EQ(Form->ActiveControl(), first);
    }
    // A focus control that cannot take the focus still takes the key from the others.
    second->SetEnabled(false);
    l->SetFocusControl(second);
    EXPECT_TRUE(l->DialogChar('n', TShiftState{ssAlt}));
}

TEST_F(Labels, TheFocusFrameFollowsTheFocusControl)
{
    auto* first = PlaceControl<TEdit>(Form.get(), 100, 10, 80, 21);
    auto* target = new TEdit(Form.get());
    target->SetParent(Form.get());
    target->SetBounds(100, 40, 80, 21);
    auto* l = Label("Frame");
    l->SetColor(clBtnFace);
    l->SetShadowSize(0);
    l->SetFocusControl(target);
    l->SetShowFocus(true);
    first->SetFocus();
    EXPECT_FALSE(l->FocusActive());
    EXPECT_EQ(OutlinePixels(l), 0);

    target->SetFocus();
    EXPECT_TRUE(l->FocusActive());
    const int dots = OutlinePixels(l);
    EXPECT_GE(dots, l->Width() - 1); // every other pixel of the top and bottom edges
    l->SetShowFocus(false);
    EXPECT_EQ(OutlinePixels(l), 0);
    l->SetShowFocus(true);
    EXPECT_EQ(OutlinePixels(l), dots);

    first->SetFocus();
    EXPECT_FALSE(l->FocusActive());
    EXPECT_EQ(OutlinePixels(l), 0);

    // Freed while focused: the label forgets it and draws no frame.
    target->SetFocus();
    ASSERT_TRUE(l->FocusActive());
    delete target;
    EXPECT_EQ(l->FocusControl(), nullptr);
    EXPECT_FALSE(l->FocusActive());
    EXPECT_EQ(OutlinePixels(l), 0);
    TestHooks::KeyStroke(Form.get(), 'F', TShiftState{ssAlt});
}

TEST_F(Labels, PrefixesAndTransparency)
{
    TBitmap owner;
    owner.SetSize(4, 4);
    TCanvas& measure = owner.Canvas();
    auto* l = Label("A&B");
    l->SetShadowSize(0);
    measure.Font = l->Font();
    EXPECT_EQ(l->Width(), measure.TextWidth("AB") + 2); // the "&" marks the accelerator
    l->SetShowAccelChar(false);
    l->SetCaption("A&&B"); // a caption change measures again
    l->SetCaption("A&B");
    EXPECT_EQ(l->Width(), measure.TextWidth("A&B") + 2); // shown as text

    // Transparent: the label paints no background of its own.
    l->SetColor(clAqua);
    EXPECT_EQ(TestHooks::ControlPixel(l, l->Width() - 1, 1), ColorToRGB(clAqua));
    l->SetTransparent(true);
    EXPECT_FALSE(l->ControlStyle & csOpaque);
    EXPECT_NE(TestHooks::ControlPixel(l, l->Width() - 1, 1), ColorToRGB(clAqua));
    l->SetTransparent(false);
    EXPECT_TRUE(l->ControlStyle & csOpaque);
}

TEST_F(Labels, FreedByItsOwnMouseHandlers)
{
    for (const bool onRelease : {false, true}) {
        for (const TMouseButton button : {mbLeft, mbRight}) {
            SCOPED_TRACE(std::string(onRelease ? "up " : "down ") + (button == mbLeft ? "left" : "right"));
            TExLabel* l = Label("Gone");
            auto freeIt = [&](TObject*, TMouseButton, TShiftState, int, int) {
                TExLabel* dead = l;
                l = nullptr;
                delete dead; // frees this handler too: nothing after it
            };
            if (onRelease)
                l->OnMouseUp = freeIt;
            else
                l->OnMouseDown = freeIt;
            const TPoint at = OnForm(l, 2, 2);
            Move(l, 2, 2);
            TestHooks::MouseDown(Form.get(), button, at);
            TestHooks::MouseUp(Form.get(), button, at);
            EXPECT_EQ(l, nullptr);
        }
    }
}

TEST_F(Labels, TrackingAndBadInput)
{
    auto* l = Label("Hover");
    auto* other = Label("Other", 10, 100);
    int enters = 0, leaves = 0;
    l->OnMouseEnter = [&](TObject*) { ++enters; };
    l->OnMouseLeave = [&](TObject*) { ++leaves; };
    Move(l, 2, 2);
    EXPECT_EQ(enters, 1);
    Press(l, 2, 2);
    EXPECT_TRUE(l->Pressed());
    Move(other, 2, 2);
    EXPECT_EQ(leaves, 0);
    Release(other, 2, 2);
    EXPECT_FALSE(l->Pressed());
    EXPECT_EQ(leaves, 1);

    l->SetShadowSize(255);
    l->Repaint();
    auto* wrap = Label("");
    wrap->SetWordWrap(true);
    wrap->SetAutoSize(false);
    wrap->SetBounds(0, 0, 0, 17);
    wrap->SetAutoSize(true);
    wrap->SetCaption(std::string(10000, 'x'));
    wrap->Repaint();
}

} // namespace
