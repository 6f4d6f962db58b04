// Pictures of the widgets in their states, compared with the references in
// tests/tesk/widgets/files (TP_UPDATE_PICTURES=1 records them again).
#include <gtest/gtest.h>

#include <string>

#include "WidgetTestSupport.h"
#include "platform/ExtCtrls.h"
#include "platform/Keys.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "tesk/widgets/ShadowLabels.h"
#include "tesk/widgets/Sliders.h"
#include "tesk/widgets/SpeedButtons.h"
#include "tests/support/FormPictures.h"

namespace {

// A panel painted with a chequer, for a transparent button to stand on.
class Chequered : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        for (int y = 0; y < Height(); y += 4)
            for (int x = 0; x < Width(); x += 4) {
                Canvas().Brush.Color = ((x + y) / 4) % 2 ? clAqua : clYellow;
                Canvas().FillRect(Rect(x, y, x + 4, y + 4));
            }
    }
};

// A 16 x 16 glyph: a dark arrow on magenta.
TBitmap ArrowGlyph()
{
    TBitmap b;
    b.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            b.SetPixelColor(x, y, clFuchsia);
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 3 + (y < 8 ? y - 2 : 13 - y) * 2 && x < 14; ++x)
            b.SetPixelColor(x, y, y % 2 ? clNavy : clBlack);
    return b;
}

class WidgetPictures : public WidgetForm {};

TEST_F(WidgetPictures, SpeedButtons)
{
    Form->SetClientWidth(420);
    Form->SetClientHeight(150);
    const TBitmap glyph = ArrowGlyph();
    auto button = [&](int x, int y, int w, int h, const std::string& caption) {
        auto* b = PlaceControl<TExSpeedButton>(Form.get(), x, y, w, h);
        b->SetCaption(caption);
        b->SetGlyph(&glyph);
        return b;
    };
    button(8, 8, 50, 40, "Up");
    auto* held = button(62, 8, 50, 40, "Held");
    auto* latched = button(116, 8, 50, 40, "On");
    latched->SetGroupIndex(1);
    auto* disabled = button(170, 8, 50, 40, "Off");
    disabled->SetEnabled(false);
    auto* flat = button(224, 8, 50, 40, "Flat");
    flat->SetFlat(true);
    auto* hover = button(278, 8, 50, 40, "Hover");
    hover->SetFlat(true);
    TPopupMenu menu(Form.get());
    auto* drop = button(332, 8, 60, 40, "Drop");
    drop->SetLayout(blGlyphLeft);
    drop->SetDropDownMenu(&menu);
    menu.SetAutoPopup(false);
    const TButtonLayout layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
    const char* names[] = {"Left", "Right", "Top", "Bottom"};
    for (int i = 0; i < 4; ++i) {
        auto* b = button(8 + 64 * i, 56, 60, 40, names[i]);
        b->SetLayout(layouts[i]);
    }
    auto* panel = PlaceControl<Chequered>(Form.get(), 268, 56, 140, 40);
    auto* clear = PlaceControl<TExSpeedButton>(panel, 6, 6, 60, 28);
    clear->SetCaption("Clear");
    clear->SetTransparent(true);
    clear->SetFlat(true);
    auto* win31 = button(8, 104, 70, 36, "Win31");
    win31->SetStyle(bsWin31);
    win31->SetLayout(blGlyphLeft);
    auto* newLook = button(82, 104, 70, 36, "New");
    newLook->SetStyle(bsNew);
    newLook->SetLayout(blGlyphLeft);
    // Each style latched in a group and held down too, where the two frames differ most.
    auto* win31On = button(156, 104, 50, 36, "On");
    win31On->SetStyle(bsWin31);
    win31On->SetGroupIndex(2);
    auto* newOn = button(210, 104, 50, 36, "On");
    newOn->SetStyle(bsNew);
    newOn->SetGroupIndex(3);
    auto* win31Held = button(264, 104, 50, 36, "Held");
    win31Held->SetStyle(bsWin31);
    auto* newHeld = button(318, 104, 50, 36, "Held");
    newHeld->SetStyle(bsNew);
    TestHooks::RunPostedMessages();

    ClickAt(latched, 10, 10);
    ClickAt(win31On, 10, 10);
    ClickAt(newOn, 10, 10);
    Move(hover, 10, 10);
    ASSERT_TRUE(hover->MouseInControl());
    TBitmap hovered = DrawControlPicture(*Form);
    Press(held, 10, 10);
    ASSERT_EQ(held->State(), bsDown);
    TBitmap picture = DrawControlPicture(*Form);
    CopyPart(picture, hovered, hover->BoundsRect());
    Release(held, 10, 10);
    for (TExSpeedButton* b : {win31Held, newHeld}) {
        Press(b, 10, 10);
        ASSERT_EQ(b->State(), bsDown);
        CopyPart(picture, DrawControlPicture(*Form), b->BoundsRect());
        Release(b, 10, 10);
    }
    ComparePicture(picture, "speedbuttons");
}

TEST_F(WidgetPictures, Sliders)
{
    Form->SetClientWidth(420);
    Form->SetClientHeight(230);
    auto slider = [&](int x, int y) {
        auto* s = new TExSlider(Form.get());
        s->SetParent(Form.get());
        s->SetLeft(x);
        s->SetTop(y);
        return s;
    };
    auto* minimum = slider(8, 8);
    auto* middle = slider(8, 52);
    auto* maximum = slider(8, 96);
    auto* vertical = slider(166, 8);
    vertical->SetOrientation(soVertical);
    auto* focused = slider(214, 8);
    auto* pressed = slider(214, 52);
    pressed->SetTakesFocus(false); // a press leaves the focus on the focused slider
    auto* disabled = slider(214, 96);
    disabled->SetValue(30);
    disabled->SetEnabled(false);
    auto* lowered = slider(8, 140);
    lowered->SetBevelStyle(bvLowered);
    lowered->SetValue(20);
    auto* raised = slider(166, 170);
    raised->SetBevelStyle(bvRaised);
    raised->SetValue(80);
    raised->SetHeight(50);
    auto* shortRuler = slider(8, 184);
    shortRuler->SetWidth(40);
    auto* noPoints = slider(320, 140);
    noPoints->SetWidth(90);
    noPoints->SetOptions(soShowFocus | soSmooth);
    noPoints->SetValue(60);
    TestHooks::RunPostedMessages();

    minimum->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_HOME);
    middle->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_RIGHT);
    for (int i = 0; i < 4; ++i)
        TestHooks::KeyStroke(Form.get(), VK_RIGHT);
    maximum->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_END);
    vertical->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_UP);
    TestHooks::KeyStroke(Form.get(), VK_UP);
    focused->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_RIGHT);
    ASSERT_EQ(middle->Value(), 50);
    const TRect t = pressed->ThumbRect();
    Press(pressed, t.Left + 2, t.Top + 2);
    Move(pressed, t.Left + 40, t.Top + 2, TShiftState{ssLeft});
    ASSERT_TRUE(pressed->ThumbDown());
    ASSERT_EQ(Form->ActiveControl(), focused);
    TBitmap picture = DrawControlPicture(*Form);
    Release(pressed, t.Left + 40, t.Top + 2);
    ComparePicture(picture, "sliders");
}

TEST_F(WidgetPictures, Labels)
{
    Form->SetClientWidth(360);
    Form->SetClientHeight(150);
    auto label = [&](int x, int y, const std::string& caption) {
        auto* l = PlaceControl<TExLabel>(Form.get(), x, y, 65, 17);
        l->SetCaption(caption);
        l->SetShadowColor(clWhite);
        return l;
    };
    label(8, 8, "Default");
    auto* rightBottom = label(100, 8, "Right bottom");
    rightBottom->SetShadowPos(spRightBottom);
    rightBottom->SetShadowSize(2);
    rightBottom->SetShadowColor(clBtnShadow);
    auto* disabledNew = label(8, 40, "Disabled new");
    disabledNew->SetShadowSize(0);
    disabledNew->SetEnabled(false);
    auto* disabledOld = label(100, 40, "Disabled old");
    disabledOld->SetShadowSize(0);
    disabledOld->SetEnabled(false);
    auto* edit = PlaceControl<TEdit>(Form.get(), 280, 8, 70, 21);
    auto* focus = label(200, 8, "&Focus");
    focus->SetFocusControl(edit);
    focus->SetShowFocus(true);
    auto* wrapped = label(200, 40, "");
    wrapped->SetAutoSize(false);
    wrapped->SetBounds(200, 40, 90, 50);
    wrapped->SetWordWrap(true);
    wrapped->SetAlignment(taCenter);
    wrapped->SetColor(clWhite);
    wrapped->SetShadowColor(clSilver);
    wrapped->SetCaption("A caption wrapped and centred");
    const TTextLayout layouts[] = {tlTop, tlCenter, tlBottom};
    const char* names[] = {"Top", "Centre", "Bottom"};
    for (int i = 0; i < 3; ++i) {
        auto* l = label(8 + 64 * i, 90, names[i]);
        l->SetAutoSize(false);
        l->SetBounds(8 + 64 * i, 90, 60, 50);
        l->SetColor(clWhite);
        l->SetShadowColor(clSilver);
        l->SetLayout(layouts[i]);
    }
    TestHooks::RunPostedMessages();
    TestHooks::KeyStroke(Form.get(), 'F', TShiftState{ssAlt});
    ASSERT_TRUE(focus->FocusActive());

    TBitmap picture = DrawControlPicture(*Form);
    NewStyleControls = false;
    disabledOld->Invalidate();
    TBitmap oldStyle = DrawControlPicture(*Form);
    NewStyleControls = true;
    CopyPart(picture, oldStyle, disabledOld->BoundsRect());
    ComparePicture(picture, "labels");
}

} // namespace
