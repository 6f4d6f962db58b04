// The combo edit: its layout, the button and its pictures, its keys and the pop-up.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EditTestSupport.h"
#include "WidgetTestSupport.h"
#include "platform/Clipbrd.h"
#include "platform/Exceptions.h"
#include "platform/StdCtrls.h"
#include "platform/System.h"
#include "tesk/widgets/ComboEdits.h"
#include "tests/support/FormPictures.h"

namespace {

// A pop-up that hands out a text, with a window-less spot inside to press on.
class TextPopup : public TPopupWindow {
public:
    explicit TextPopup(TCustomComboEdit* edit) : TPopupWindow(edit)
    {
        SetBounds(0, 0, 104, 127);
        Spot = new TGraphicControl(this);
        Spot->SetParent(this);
        Spot->SetBounds(10, 10, 30, 30);
    }
    std::string Value = "picked";
    TPopupValue Given;
    bool Raise = false;
    TGraphicControl* Spot = nullptr;
    TPopupValue GetValue() override
    {
        if (Raise)
            throw Exception("no value");
        return Value;
    }
    void SetValue(const TPopupValue& value) override { Given = value; }
};

class PopupEdit : public TCustomComboEdit {
public:
    explicit PopupEdit(TComponent* owner) : TCustomComboEdit(owner)
    {
        FPopup = new TextPopup(this);
        FPopup->OnCloseUp = [this](TObject* sender, bool accept) { ClosePopup(sender, accept); };
    }
    TextPopup* P() const { return static_cast<TextPopup*>(FPopup); }
    int PopupChanges = 0;

protected:
    void PopupChange() override { ++PopupChanges; }
};

class ComboEdits : public WidgetForm {
protected:
    void SetUp() override
    {
        WidgetForm::SetUp();
        TestHooks::SetActiveForm(Form.get());
    }
    template <class T = TCustomComboEdit>
    T* Field(int x = 10, int y = 10, int w = 120, int h = 21)
    {
        return PlaceControl<T>(Form.get(), x, y, w, h);
    }
    TPoint OnEdit(TControl* c, int x, int y) { return OnForm(c, x, y); }
};

TEST_F(ComboEdits, DefaultsOnCreation)
{
    auto* e = new TCustomComboEdit(Form.get());
    EXPECT_TRUE(e->DirectInput());
    EXPECT_EQ(e->ClickKey(), 32808);
    EXPECT_EQ(e->PopupAlign(), epaRight);
    EXPECT_EQ(e->GlyphKind(), gkCustom);
    EXPECT_EQ(e->Height(), 21);
    EXPECT_EQ(e->ButtonWidth(), 21);
    EXPECT_EQ(e->ButtonHolder()->Parent(), e);
    EXPECT_TRUE(e->ButtonHolder()->Visible());
    EXPECT_EQ(e->Button()->Parent(), e->ButtonHolder());
    EXPECT_TRUE(e->Button()->ParentShowHint());
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_FALSE(e->ReadOnly());
    EXPECT_EQ(e->Popup(), nullptr);
}

TEST_F(ComboEdits, TheHolderAndTheEditRectangleFollowTheLook)
{
    struct Case {
        bool newStyle;
        TBorderStyle border;
        bool ctl3d;
        int dx, top, dh; // holder at (Width - bw - dx, top) of height Height - dh
    } cases[] = {
        {false, bsSingle, true, 0, 0, 0},
        {true, bsSingle, true, 4, 0, 4},
        {true, bsSingle, false, 2, 2, 4},
        {true, bsNone, true, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.newStyle << " " << c.border << " " << c.ctl3d);
        NewStyleControls = c.newStyle;
        auto* e = Field(10, 10, 120, 24);
        e->SetBorderStyle(c.border);
        e->SetCtl3D(c.ctl3d);
        e->UpdateControlsPos();
        const int bw = e->ButtonWidth();
        const TRect r = e->ButtonHolder()->BoundsRect();
        EXPECT_EQ(r, Bounds(e->Width() - bw - c.dx, c.top, bw, e->Height() - c.dh));
        EXPECT_EQ(e->Button()->Height(), e->ButtonHolder()->Height());
        EXPECT_EQ(e->EditRect(), Rect(0, 0, e->ClientWidth() - bw - 2, e->ClientHeight() + 1));
        // A new width lays it out again.
        e->SetWidth(150);
        EXPECT_EQ(e->ButtonHolder()->Left(), 150 - bw - c.dx);
        EXPECT_EQ(e->EditRect().Right, e->ClientWidth() - bw - 2);
        delete e;
    }
    NewStyleControls = true;
}

TEST_F(ComboEdits, AFieldLowerThanItsFontsIsRaised)
{
    auto* e = Field(10, 10, 120, 21);
    const int minimum = e->MinimumHeight();
    TBitmap b;
    b.SetSize(1, 1);
    b.Canvas().Font = SystemFont();
    const int system = b.Canvas().TextHeight("0");
    b.Canvas().Font = e->Font();
    const int own = b.Canvas().TextHeight("0");
    EXPECT_EQ(minimum, std::min(system, own) + 4 * GetSystemMetrics(SM_CYBORDER) + 1);
    e->SetHeight(5);
    EXPECT_EQ(e->Height(), minimum);
    e->SetHeight(0);
    EXPECT_EQ(e->Height(), minimum);
    // A font of height 100 counts only as far as the system font.
    TFont big = e->Font();
    big.Height = 100;
    e->SetFont(big);
    EXPECT_EQ(e->MinimumHeight(), system + 5);
    EXPECT_GE(e->Height(), system + 5);
    // A field 0 wide keeps a sound layout.
    e->SetWidth(0);
    EXPECT_GE(e->EditRect().Right, 0);
}

TEST_F(ComboEdits, ButtonWidthIsRefusedAtTheClientWidthAfterConstruction)
{
    auto* e = Field(10, 10, 120, 21);
    e->SetButtonWidth(1);
    EXPECT_FALSE(e->ButtonHolder()->Visible());
    e->SetButtonWidth(0);
    EXPECT_FALSE(e->ButtonHolder()->Visible());
    EXPECT_EQ(e->EditRect().Right, e->ClientWidth() - 2);
    e->SetButtonWidth(30);
    EXPECT_EQ(e->ButtonWidth(), 30);
    EXPECT_TRUE(e->ButtonHolder()->Visible());
    for (int refused : {1000, 10000, e->ClientWidth()}) {
        e->SetButtonWidth(refused);
        EXPECT_EQ(e->ButtonWidth(), 30) << refused;
    }
    e->SetButtonWidth(-5);
    EXPECT_EQ(e->ButtonWidth(), 0);
    EXPECT_FALSE(e->ButtonHolder()->Visible());
}

// The glyph pixel at (x, y) is black.
bool Black(const TBitmap& b, int x, int y) { return b.PixelColor(x, y) == clBlack; }

TEST_F(ComboEdits, ButtonPictureByKind)
{
    auto* e = Field(10, 10, 120, 21);
    e->SetGlyphKind(gkDropDown);
    EXPECT_EQ(e->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(e->Glyph().Width(), 7);
    EXPECT_EQ(e->Glyph().Height(), 4);
    EXPECT_TRUE(Black(e->Glyph(), 0, 0) && Black(e->Glyph(), 6, 0) && Black(e->Glyph(), 3, 3));
    EXPECT_FALSE(Black(e->Glyph(), 0, 3));
    EXPECT_EQ(e->NumGlyphs(), 1);

    struct Case {
        int width, bitmapWidth;
        std::vector<int> dots;
    } cases[] = {{21, 15, {1, 6, 11}}, {16, 10, {0, 4, 8}}, {12, 6, {-1, 2, 5}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        e->SetGlyphKind(gkCustom);
        e->SetButtonWidth(c.width);
        e->SetGlyphKind(gkEllipsis);
        ASSERT_EQ(e->ButtonWidth(), c.width);
        const TBitmap& g = e->Glyph();
        ASSERT_EQ(g.Width(), c.bitmapWidth);
        ASSERT_EQ(g.Height(), 4);
        std::vector<bool> expect(size_t(g.Width()) * 4, false);
        for (int d : c.dots)
            for (int y = 1; y <= 2; ++y)
                for (int x = d; x < d + 2; ++x)
                    if (x >= 0 && x < g.Width())
                        expect[size_t(y * g.Width() + x)] = true;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < g.Width(); ++x)
                EXPECT_EQ(Black(g, x, y), expect[size_t(y * g.Width() + x)]) << x << "," << y;
    }
    // A glyph set by the user makes the kind custom and keeps the width.
    TBitmap own;
    own.SetSize(9, 9);
    e->SetGlyph(&own);
    EXPECT_EQ(e->GlyphKind(), gkCustom);
    EXPECT_EQ(e->Glyph().Width(), 9);
    EXPECT_EQ(e->ButtonWidth(), 12);
}

TEST_F(ComboEdits, ClickKeyActsAsAClickOnlyWithAButton)
{
    auto* e = Field<PopupEdit>();
    int clicks = 0;
    e->OnButtonClick = [&](TObject*) { ++clicks; };
    e->SetFocus();
    e->SetButtonWidth(0);
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(e->PopupOpen());
    e->SetButtonWidth(20);
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(e->PopupOpen());
    // Again: the click closes it accepting.
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Text(), "picked");
}

TEST_F(ComboEdits, EnterAndEscPressTheFormsButtonsOnce)
{
    auto* e = Field();
    auto* ok = PlaceControl<TButton>(Form.get(), 10, 100, 75, 25);
    auto* cancel = PlaceControl<TButton>(Form.get(), 100, 100, 75, 25);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    int oks = 0, cancels = 0, changes = 0;
    ok->OnClick = [&](TObject*) { ++oks; };
    cancel->OnClick = [&](TObject*) { ++cancels; };
    e->SetText("keep");
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetFocus();
    const int beeps = TestHooks::BeepCount();
    TestHooks::KeyStroke(Form.get(), VK_RETURN);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(e->Text(), "keep");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(TestHooks::BeepCount(), beeps);
    TestHooks::KeyStroke(Form.get(), VK_ESCAPE);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(oks, 1);
    EXPECT_TRUE(e->Focused());
}

TEST_F(ComboEdits, DirectInputAndReadOnly)
{
    auto* e = Field();
    int clicks = 0;
    e->OnButtonClick = [&](TObject*) { ++clicks; };
    e->SetFocus();
    e->SetDirectInput(false);
    TypeText(Form.get(), "ab");
    Clipboard()->SetAsText("pasted");
    TestHooks::KeyStroke(Form.get(), 'V', {ssCtrl});
    EXPECT_EQ(e->Text(), "");
    ClickAt(e->Button(), 5, 5);
    EXPECT_EQ(clicks, 1);
    e->SetDirectInput(true);
    TypeText(Form.get(), "ab");
    EXPECT_EQ(e->Text(), "ab");

    e->SetReadOnly(true);
    TypeText(Form.get(), "c");
    TestHooks::KeyStroke(Form.get(), 'V', {ssCtrl});
    EXPECT_EQ(e->Text(), "ab");
    ClickAt(e->Button(), 5, 5);
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    EXPECT_EQ(clicks, 1);
    e->SetButtonAlwaysActive(true);
    ClickAt(e->Button(), 5, 5);
    EXPECT_EQ(clicks, 2);
    // Cut goes no further either.
    e->SelectAll();
    TestHooks::KeyStroke(Form.get(), 'X', {ssCtrl});
    EXPECT_EQ(e->Text(), "ab");
}

TEST_F(ComboEdits, ButtonHintCaretAutoSelectAndDisabledText)
{
    auto* other = Field(10, 60);
    auto* e = Field(10, 10);
    e->SetButtonHint("Pick one");
    Form->SetShowHint(true);
    EXPECT_EQ(e->Button()->Hint(), "Pick one");
    e->SetText("all of it");
    other->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_TAB);
    ASSERT_TRUE(e->Focused());
    EXPECT_TRUE(e->HasFocus());
    EXPECT_EQ(e->SelLength(), 9);
    EXPECT_EQ(e->CaretWidth(), 1);
    EXPECT_TRUE(e->CaretShown());
    other->SetFocus();
    EXPECT_FALSE(e->HasFocus());
    ClickAt(e, 20, 5);
    ASSERT_TRUE(e->Focused());
    EXPECT_EQ(e->SelLength(), 0);
    TFont bold = e->Font();
    bold.Style = fsBold;
    e->SetFont(bold);
    other->SetFocus();
    e->SetFocus();
    EXPECT_EQ(e->CaretWidth(), 2);
    // Without direct input, entering selects nothing.
    e->SetDirectInput(false);
    other->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_TAB);
    ASSERT_TRUE(e->Focused());
    EXPECT_EQ(e->SelLength(), 0);
    // Disabled: the text in grey, and the button disabled with it.
    e->SetEnabled(false);
    EXPECT_FALSE(e->Button()->Enabled());
    const TBitmap picture = DrawControlPicture(*Form);
    // Inside the frame, left of the button: the pixels in grey and in the window text.
    const auto count = [&](const TBitmap& p, TColor colour) {
        int n = 0;
        for (int x = e->Left() + 2; x < e->Left() + e->Width() - e->ButtonWidth() - 4; ++x)
            for (int y = e->Top() + 2; y < e->Top() + e->Height() - 2; ++y)
                n += p.PixelColor(x, y) == ColorToRGB(colour);
        return n;
    };
    EXPECT_GT(count(picture, clGrayText), 10);
    EXPECT_EQ(count(picture, clWindowText), 0);
    // On a grey background the text keeps its own colour.
    e->SetColor(clGrayText);
    EXPECT_GT(count(DrawControlPicture(*Form), clWindowText), 10);
}

TEST_F(ComboEdits, PopupPlacement)
{
    struct Case {
        TSize screen;
        TPoint p;
        TPopupAlign align;
        TPoint at;
    } cases[] = {
        {{800, 600}, {100, 100}, epaRight, {86, 121}},  {{800, 600}, {10, 100}, epaRight, {10, 121}},
        {{800, 600}, {780, 100}, epaRight, {696, 121}}, {{800, 600}, {100, 500}, epaRight, {86, 373}},
        {{800, 600}, {100, 100}, epaLeft, {100, 121}},  {{800, 600}, {750, 100}, epaLeft, {696, 121}},
        {{50, 50}, {10, 10}, epaRight, {0, -117}},      {{800, 600}, {-20, 100}, epaRight, {0, 121}},
        {{80, 600}, {-20, 100}, epaLeft, {0, 121}},
    };
    auto* e = Field<PopupEdit>(0, 0, 90, 21);
    const TPoint origin = Form->ClientToScreen(Point(0, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.X << "," << c.p.Y << " align " << int(c.align));
        TestHooks::SetScreenSize(c.screen);
        e->SetBounds(c.p.X - origin.X, c.p.Y - origin.Y, 90, 21);
        e->SetPopupAlign(c.align);
        EXPECT_EQ(e->PopupPosition(), c.at);
        e->OpenPopup();
        ASSERT_TRUE(e->PopupOpen());
        EXPECT_EQ(Point(e->Popup()->Left(), e->Popup()->Top()), c.at);
        e->ClosePopup(e->Popup(), false);
    }
    TestHooks::SetScreenSize(std::nullopt);
}

TEST_F(ComboEdits, OpeningHandsOverTheTextAndKeepsTheFocus)
{
    auto* e = Field<PopupEdit>();
    e->SetFocus();
    e->OpenPopup();
    EXPECT_TRUE(std::holds_alternative<std::monostate>(e->P()->Given));
    e->ClosePopup(e->Popup(), false);
    e->SetText("start");
    e->OpenPopup(true);
    ASSERT_TRUE(e->PopupOpen());
    EXPECT_EQ(PopupValueText(e->P()->Given), "start");
    TestHooks::RunPostedMessages();
    EXPECT_EQ(Application->ActiveForm(), Form.get());
    EXPECT_TRUE(e->Focused());
    EXPECT_TRUE(e->Popup()->Visible());
    // The disable-edit flag: read-only with the caret hidden, typing goes nowhere.
    EXPECT_FALSE(e->CaretShown());
    TypeText(Form.get(), "x");
    EXPECT_EQ(e->Text(), "start");
    e->ClosePopup(e->Popup(), false);
    EXPECT_TRUE(e->CaretShown());
    TypeText(Form.get(), "x");
    EXPECT_NE(e->Text(), "start");
    // A read-only field opens nothing.
    e->SetReadOnly(true);
    e->OpenPopup();
    EXPECT_FALSE(e->PopupOpen());
}

TEST_F(ComboEdits, EnterAcceptsAndEscClosesWithoutTheFormsButtons)
{
    auto* e = Field<PopupEdit>();
    auto* ok = PlaceControl<TButton>(Form.get(), 10, 100, 75, 25);
    auto* cancel = PlaceControl<TButton>(Form.get(), 100, 100, 75, 25);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    int presses = 0, changes = 0;
    ok->OnClick = cancel->OnClick = [&](TObject*) { ++presses; };
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetFocus();
    e->OpenPopup();
    TestHooks::KeyStroke(Form.get(), VK_ESCAPE);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(changes, 0);
    e->OpenPopup();
    TestHooks::KeyStroke(Form.get(), VK_RETURN);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Text(), "picked");
    EXPECT_TRUE(e->Modified());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(e->SelLength(), 6);
    EXPECT_EQ(presses, 0);
    // Accepting the same text again changes nothing.
    e->OpenPopup();
    TestHooks::KeyStroke(Form.get(), VK_RETURN);
    EXPECT_EQ(changes, 1);
}

TEST_F(ComboEdits, PressesAroundTheOpenPopup)
{
    auto* e = Field<PopupEdit>();
    auto* other = Field(10, 60);
    int clicks = 0;
    e->OnButtonClick = [&](TObject*) { ++clicks; };
    e->SetFocus();
    // A press inside keeps it open; the release on its own area accepts.
    e->OpenPopup();
    TestHooks::MouseDown(e->Popup(), mbLeft, Point(5, 60));
    EXPECT_TRUE(e->PopupOpen());
    TestHooks::MouseUp(e->Popup(), mbLeft, Point(5, 60));
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Text(), "picked");
    // A press on a control inside it keeps it open.
    e->SetText("");
    e->OpenPopup();
    TestHooks::MouseDown(e->Popup(), mbLeft, Point(15, 15));
    TestHooks::MouseUp(e->Popup(), mbLeft, Point(15, 15));
    EXPECT_TRUE(e->PopupOpen());
    // A press on another control closes without accepting.
    Press(other, 5, 5);
    Release(other, 5, 5);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Text(), "");
    // A press on the button closes accepting; the click after it drops nothing down.
    e->SetFocus();
    e->OpenPopup();
    e->P()->Value = "from button";
    ClickAt(e->Button(), 5, 5);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Text(), "from button");
    EXPECT_EQ(clicks, 0);
    // The next click opens it again.
    ClickAt(e->Button(), 5, 5);
    EXPECT_TRUE(e->PopupOpen());
    EXPECT_EQ(clicks, 1);
    // A press on the edit itself closes without accepting.
    e->P()->Value = "unused";
    Press(e, 5, 5);
    Release(e, 5, 5);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Text(), "from button");
}

TEST_F(ComboEdits, APressGoesNoFurtherWhileTheEditCannotGetTheFocus)
{
    auto* e = Field<PopupEdit>();
    auto* other = Field(10, 60);
    int downs = 0;
    e->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    // The focused control refuses to let the focus go while `stay` holds.
    bool stay = true;
    other->OnExit = [&](TObject*) {
        if (stay)
            throw Exception("stay");
    };
    TestHooks::AnswerMessageBoxesWith(mrOk);
    other->SetFocus();
    Press(e, 5, 5);
    Release(e, 5, 5);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(downs, 0);
    stay = false;
    Press(e, 5, 5);
    Release(e, 5, 5);
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(downs, 1);
}

TEST_F(ComboEdits, LeavingTheFieldOrTheFormClosesWithoutAccepting)
{
    auto* e = Field<PopupEdit>();
    Field(10, 60);
    e->SetFocus();
    e->OpenPopup();
    TestHooks::KeyStroke(Form.get(), VK_TAB);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_FALSE(e->Focused());
    EXPECT_EQ(e->Text(), "");
    e->SetFocus();
    e->OpenPopup();
    TForm second;
    second.SetBounds(400, 300, 100, 100);
    second.Show();
    TestHooks::SetActiveForm(&second);
    TestHooks::RunPostedMessages();
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_FALSE(e->Popup()->Visible());
    EXPECT_EQ(e->Text(), "");
}

TEST_F(ComboEdits, TypingWhileOpenRunsThePopupChangeHook)
{
    auto* e = Field<PopupEdit>();
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetFocus();
    e->OpenPopup(false);
    TypeText(Form.get(), "ab");
    EXPECT_EQ(e->PopupChanges, 2);
    EXPECT_EQ(changes, 0);
    e->ClosePopup(e->Popup(), false);
    TypeText(Form.get(), "c");
    EXPECT_EQ(changes, 1);
}

TEST_F(ComboEdits, APopupThatCannotGiveItsValueStillCloses)
{
    auto* e = Field<PopupEdit>();
    e->SetFocus();
    e->SetText("before");
    e->OpenPopup(true);
    e->P()->Raise = true;
    TestHooks::AnswerMessageBoxesWith(mrOk);
    TestHooks::ClearMessageBoxLog();
    TestHooks::KeyStroke(Form.get(), VK_RETURN);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_FALSE(e->Popup()->Visible());
    EXPECT_EQ(e->Text(), "before");
    EXPECT_TRUE(e->CaretShown());
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "no value");
    // Typing works again.
    TypeText(Form.get(), "x");
    EXPECT_NE(e->Text(), "before");
}

TEST_F(ComboEdits, FreedByItsOnChangeWhileAccepting)
{
    // Enter in the edit, and a press on its button, each accept; OnChange frees the field.
    for (const bool byButton : {false, true}) {
        SCOPED_TRACE(byButton ? "button" : "Enter");
        auto* e = Field<PopupEdit>();
        e->SetFocus();
        e->OpenPopup();
        bool freed = false;
        e->OnChange = [&](TObject* sender) {
            freed = true; // before the handler goes with the field
            delete sender;
        };
        if (byButton) {
            const TPoint at = OnForm(e->Button(), 5, 5);
            TestHooks::MouseDown(Form.get(), mbLeft, at);
            TestHooks::MouseUp(Form.get(), mbLeft, at);
        } else
            TestHooks::KeyStroke(Form.get(), VK_RETURN);
        EXPECT_TRUE(freed);
        EXPECT_TRUE(VisiblePopups().empty());
        TestHooks::RunPostedMessages();
    }
}

TEST_F(ComboEdits, FreedOrClosedWhileOpen)
{
    auto* e = Field<PopupEdit>();
    e->SetFocus();
    e->OpenPopup();
    delete e;
    EXPECT_TRUE(VisiblePopups().empty());
    TestHooks::RunPostedMessages();

    auto* f = Field<PopupEdit>();
    f->SetFocus();
    f->OpenPopup();
    Form->Close();
    TestHooks::RunPostedMessages();
    EXPECT_FALSE(f->PopupOpen());
    EXPECT_TRUE(VisiblePopups().empty());
}

} // namespace
