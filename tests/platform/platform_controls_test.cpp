#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"

namespace {

TPoint Center(TControl* c)
{
    return TestHooks::ControlToForm(c, Point(c->Width() / 2, c->Height() / 2));
}

void ClickAt(TForm* form, TPoint at)
{
    TestHooks::MouseMove(form, at);
    TestHooks::MouseDown(form, mbLeft, at);
    TestHooks::MouseUp(form, mbLeft, at);
}

// A dialog as the programs build one: a panel holding a paint box, a check box and
// OK/Cancel buttons with modal results.
struct Dialog : TForm {
    TPanel* Panel;
    TPaintBox* Box;
    TCheckBox* Check;
    TButton* Ok;
    TButton* Cancel;
    std::vector<std::string> Log;

    Dialog()
    {
        SetClientWidth(300);
        SetClientHeight(200);
        Panel = PlaceControl<TPanel>(this, 0, 0, 300, 150);
        Panel->SetAlign(alTop);
        Box = PlaceControl<TPaintBox>(Panel, 10, 10, 50, 40);
        Box->OnPaint = [this](TObject*) {
            Box->Canvas().Brush.Color = clRed;
            Box->Canvas().FillRect(Box->ClientRect());
        };
        Check = PlaceControl<TCheckBox>(Panel, 10, 100, 120, 17);
        Check->SetCaption("Remember");
        Check->OnClick = [this](TObject*) { Log.push_back(Check->Checked() ? "checked" : "unchecked"); };
        Ok = PlaceControl<TButton>(this, 120, 160, 75, 25);
        Ok->SetCaption("OK");
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        Ok->OnClick = [this](TObject*) { Log.push_back("ok"); };
        Cancel = PlaceControl<TButton>(this, 210, 160, 75, 25);
        Cancel->SetCaption("Cancel");
        Cancel->SetModalResult(mrCancel);
        Cancel->SetCancel(true);
    }
};

} // namespace

TEST(ControlsEndToEnd, AModalDialogIsPaintedClickedAndClosedByItsButton)
{
    Dialog d;
    TestHooks::SetModalStarted([&](TForm* f) {
        ASSERT_EQ(f, &d);
        EXPECT_EQ(d.Panel->Width(), 300); // aligned to the top, full width
        EXPECT_EQ(TestHooks::ControlPixel(d.Box, 0, 0), clRed);
        EXPECT_EQ(TestHooks::ControlPixel(d.Box, 49, 39), clRed);
        // Outside the paint box the panel's colour shows.
        EXPECT_EQ(TestHooks::ControlPixel(d.Panel, 70, 20), ColorToRGB(clBtnFace));
        ClickAt(&d, Center(d.Check));
        ClickAt(&d, Center(d.Ok));
        if (d.ModalResult() == mrNone)
            d.SetModalResult(mrAbort); // the click was lost: fail rather than hang
    });
    EXPECT_EQ(d.ShowModal(), mrOk);
    EXPECT_TRUE(d.Check->Checked());
    EXPECT_EQ(d.Log, (std::vector<std::string>{"checked", "ok"}));
}

TEST(ControlsEndToEnd, EnterPressesTheDefaultButtonAndEscTheCancelButton)
{
    struct Case {
        WORD Key;
        TModalResult Result;
    };
    for (const Case c : {Case{VK_RETURN, mrOk}, Case{VK_ESCAPE, mrCancel}}) {
        Dialog d;
        TestHooks::SetModalStarted([&](TForm* f) {
            TestHooks::KeyStroke(f, c.Key);
            if (f->ModalResult() == mrNone)
                f->SetModalResult(mrAbort); // the key was lost: fail rather than hang
        });
        EXPECT_EQ(d.ShowModal(), c.Result) << "key " << c.Key;
    }
    // A handler that swallows the key keeps the buttons out of it.
    Dialog d;
    d.SetKeyPreview(true);
    d.OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        if (key == VK_RETURN)
            key = 0;
    };
    TestHooks::SetModalStarted([&](TForm* f) {
        TestHooks::KeyStroke(f, VK_RETURN);
        EXPECT_TRUE(d.Log.empty());
        d.SetModalResult(mrAbort);
    });
    EXPECT_EQ(d.ShowModal(), mrAbort);
}

TEST(ControlsMouse, APressDraggedOutAndReleasedOutsideIsNoClick)
{
    TForm f;
    f.SetClientWidth(200);
    f.SetClientHeight(100);
    auto* button = PlaceControl<TButton>(&f, 10, 10, 60, 30);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    f.Show();
    const TPoint inside = Center(button);
    TestHooks::MouseDown(&f, mbLeft, inside);
    EXPECT_TRUE(button->Pressed());
    TestHooks::MouseMove(&f, Point(150, 80));
    EXPECT_FALSE(button->Pressed()); // drawn up again while the pointer is outside
    TestHooks::MouseUp(&f, mbLeft, Point(150, 80));
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 0);
    ClickAt(&f, inside);
    EXPECT_EQ(clicks, 1);
}

TEST(ControlsMouse, WindowlessControlsGetPressesHoverAndCaptureInZOrder)
{
    TForm f;
    f.SetClientWidth(200);
    f.SetClientHeight(100);
    std::vector<std::string> log;
    auto logged = [&](TControl* c, const std::string& name) {
        c->OnMouseDown = [&log, name](TObject*, TMouseButton, TShiftState s, int x, int y) {
            log.push_back(name + " down " + std::to_string(x) + "," + std::to_string(y) +
                          (s.Contains(ssDouble) ? " double" : ""));
        };
        c->OnMouseUp = [&log, name](TObject*, TMouseButton, TShiftState, int x, int y) {
            log.push_back(name + " up " + std::to_string(x) + "," + std::to_string(y));
        };
        c->OnClick = [&log, name](TObject*) { log.push_back(name + " click"); };
        c->OnDblClick = [&log, name](TObject*) { log.push_back(name + " dblclick"); };
        c->OnMouseEnter = [&log, name](TObject*) { log.push_back(name + " enter"); };
        c->OnMouseLeave = [&log, name](TObject*) { log.push_back(name + " leave"); };
    };
    auto* below = PlaceControl<TPaintBox>(&f, 10, 10, 80, 80);
    auto* above = PlaceControl<TPaintBox>(&f, 50, 10, 80, 80); // later: on top where they overlap
    above->ControlStyle &= ~csDoubleClicks;
    logged(below, "below");
    logged(above, "above");
    f.Show();

    TestHooks::MouseMove(&f, Point(20, 20));
    TestHooks::MouseMove(&f, Point(60, 20));
    TestHooks::MouseDown(&f, mbLeft, Point(60, 20));
    TestHooks::MouseMove(&f, Point(195, 95)); // dragged off: the press holds the mouse
    TestHooks::MouseUp(&f, mbLeft, Point(195, 95));
    EXPECT_EQ(log, (std::vector<std::string>{"below enter", "below leave", "above enter", "above down 10,10",
                                             "above leave", "above up 145,85"}));
    log.clear();
    // A double click: the second press still reaches OnMouseDown; DblClick needs the style.
    for (TPoint at : {Point(20, 20), Point(60, 20)}) {
        TestHooks::MouseMove(&f, at);
        TestHooks::MouseDown(&f, mbLeft, at);
        TestHooks::MouseUp(&f, mbLeft, at);
        TestHooks::MouseDoubleClick(&f, mbLeft, at);
        TestHooks::MouseUp(&f, mbLeft, at);
    }
    EXPECT_EQ(log, (std::vector<std::string>{
                       "below enter", "below down 10,10", "below up 10,10", "below click", "below down 10,10 double",
                       "below dblclick", "below up 10,10", "below click", "below leave", "above enter",
                       "above down 10,10", "above up 10,10", "above click", "above down 10,10 double",
                       "above up 10,10", "above click"}));
}

namespace {

// Lets the mouse through on its left half.
struct HalfTransparent : TPaintBox {
    using TPaintBox::TPaintBox;
    bool HitTest(int X, int) const override { return X >= Width() / 2; }
};

} // namespace

TEST(ControlsMouse, TransparentPointsPassThePressToWhatLiesBelow)
{
    TForm f;
    f.SetClientWidth(200);
    f.SetClientHeight(100);
    auto* below = PlaceControl<TPaintBox>(&f, 0, 0, 200, 100);
    auto* above = PlaceControl<HalfTransparent>(&f, 100, 0, 100, 100);
    std::vector<std::string> log;
    below->OnClick = [&](TObject*) { log.push_back("below"); };
    above->OnClick = [&](TObject*) { log.push_back("above"); };
    // A windowed panel with a transparent left half as well.
    struct Holey : TPanel {
        using TPanel::TPanel;
        bool HitTest(int X, int) const override { return X >= 20; }
    };
    auto* panel = PlaceControl<Holey>(&f, 0, 60, 40, 40);
    panel->OnClick = [&](TObject*) { log.push_back("panel"); };
    f.Show();
    ClickAt(&f, Point(120, 10));
    ClickAt(&f, Point(180, 10));
    ClickAt(&f, Point(5, 70));
    ClickAt(&f, Point(30, 70));
    EXPECT_EQ(log, (std::vector<std::string>{"below", "above", "below", "panel"}));
}

TEST(ControlsLayout, AlignmentSharesTheClientAreaInOrder)
{
    TForm f;
    f.SetClientWidth(300);
    f.SetClientHeight(200);
    struct Case {
        TAlign Align;
        TRect Expected;
    };
    auto* top = PlaceControl<TPanel>(&f, 0, 0, 50, 30);
    auto* bottom = PlaceControl<TPanel>(&f, 0, 0, 50, 20);
    auto* left = PlaceControl<TPanel>(&f, 0, 0, 40, 10);
    auto* client = PlaceControl<TPanel>(&f, 0, 0, 10, 10);
    client->SetAlign(alClient);
    left->SetAlign(alLeft);
    bottom->SetAlign(alBottom);
    top->SetAlign(alTop);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 30));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 180, 300, 200));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 40, 180));
    EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 300, 180));
    // The form growing, or a control hiding, lays them out again.
    f.SetClientHeight(300);
    EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 300, 280));
    top->Hide();
    EXPECT_EQ(client->BoundsRect(), Rect(40, 0, 300, 280));
}

TEST(ControlsState, CheckedFiresOnClickOnlyWhenItChangesAndRadioButtonsExcludeEachOther)
{
    TForm f;
    auto* check = PlaceControl<TCheckBox>(&f, 0, 0, 100, 17);
    int clicks = 0;
    check->OnClick = [&](TObject*) { ++clicks; };
    check->SetChecked(true);
    check->SetChecked(true);
    check->SetChecked(false);
    EXPECT_EQ(clicks, 2);

    auto* group = PlaceControl<TGroupBox>(&f, 0, 20, 200, 100);
    auto* other = PlaceControl<TRadioButton>(&f, 0, 130, 100, 17); // another parent: not in the group
    std::vector<TRadioButton*> radios;
    for (int i = 0; i < 3; ++i)
        radios.push_back(PlaceControl<TRadioButton>(group, 10, 20 + 20 * i, 100, 17));
    other->SetChecked(true);
    radios[0]->SetChecked(true);
    radios[2]->SetChecked(true);
    EXPECT_FALSE(radios[0]->Checked());
    EXPECT_FALSE(radios[1]->Checked());
    EXPECT_TRUE(radios[2]->Checked());
    EXPECT_TRUE(other->Checked());
}

TEST(ControlsPainting, ACanvasDrawnOutsidePaintKeepsItsPixelsUntilTheNextInvalidation)
{
    TForm f;
    f.SetClientWidth(100);
    f.SetClientHeight(100);
    f.SetColor(clBlack);
    auto* box = PlaceControl<TPaintBox>(&f, 20, 20, 30, 30);
    int paints = 0;
    box->OnPaint = [&](TObject*) { ++paints; };
    f.Show();
    EXPECT_EQ(TestHooks::ControlPixel(box, 5, 5), clBlack);
    box->Canvas().Brush.Color = clLime;
    box->Canvas().FillRect(Rect(0, 0, 10, 10));
    const int before = paints;
    EXPECT_EQ(TestHooks::ControlPixel(box, 5, 5), clLime);
    EXPECT_EQ(TestHooks::ControlPixel(box, 15, 15), clBlack);
    EXPECT_EQ(paints, before); // showing what was drawn paints nothing again
    box->Invalidate();
    EXPECT_EQ(TestHooks::ControlPixel(box, 5, 5), clBlack);
    EXPECT_EQ(paints, before + 1);

    // A label fits its caption as the canvas measures it.
    auto* label = PlaceControl<TLabel>(&f, 0, 0, 10, 10);
    label->SetCaption("Hello");
    TCanvas measure;
    measure.Font = label->Font();
    EXPECT_EQ(label->Width(), measure.TextWidth("Hello"));
    EXPECT_EQ(label->Height(), measure.TextHeight("Hello"));
}

namespace {
// Paints itself in one colour, counting its paints.
class TFlatControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    TColor Fill = clRed;
    int Paints = 0;

protected:
    void Paint() override
    {
        ++Paints;
        Canvas().Brush.Color = Fill;
        Canvas().FillRect(ClientRect());
    }
};
} // namespace

TEST(ControlsPainting, AChildWindowShownAgainPaintsWhatItShowsNow)
{
    TForm f;
    f.SetClientWidth(100);
    f.SetClientHeight(100);
    auto* panel = PlaceControl<TPanel>(&f, 0, 0, 80, 80);
    auto* inner = PlaceControl<TFlatControl>(panel, 10, 10, 30, 30);
    f.Show();
    EXPECT_EQ(TestHooks::ControlPixel(inner, 5, 5), clRed);
    const int paints = inner->Paints;
    // Hidden, then shown: the window on the panel paints again, once.
    panel->Hide();
    inner->Fill = clLime;
    panel->Show();
    EXPECT_EQ(TestHooks::ControlPixel(inner, 5, 5), clLime);
    EXPECT_EQ(inner->Paints, paints + 1);
    // The same for the window itself.
    inner->Hide();
    inner->Fill = clBlue;
    inner->Show();
    EXPECT_EQ(TestHooks::ControlPixel(inner, 5, 5), clBlue);
}

TEST(Components, TheOwnerFreesWhatItOwnsAndFreeNotificationClearsReferences)
{
    struct Watcher : TComponent {
        using TComponent::TComponent;
        TComponent* Ref = nullptr;
        void Notification(TComponent* c, TOperation op) override
        {
            if (op == opRemove && c == Ref)
                Ref = nullptr;
        }
    };
    Watcher watcher(nullptr);
    int destroyed = 0;
    struct Counted : TComponent {
        int* Count;
        Counted(TComponent* owner, int* count) : TComponent(owner), Count(count) {}
        ~Counted() override { ++*Count; }
    };
    {
        TForm f;
        auto* owned = new Counted(&f, &destroyed);
        owned->SetName("Timer1");
        new Counted(&f, &destroyed);
        auto* freedEarly = new Counted(&f, &destroyed);
        delete freedEarly; // leaves the owner's list by itself
        EXPECT_EQ(f.ComponentCount(), 2);
        EXPECT_EQ(f.FindComponent("TIMER1"), owned);
        watcher.Ref = owned;
        watcher.FreeNotification(owned);
        // Controls placed on the form go with it too.
        PlaceControl<TButton>(&f, 0, 0, 10, 10);
        PlaceControl<TLabel>(PlaceControl<TPanel>(&f, 0, 0, 50, 50), 0, 0, 10, 10);
    }
    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(watcher.Ref, nullptr);
}

TEST(NativeControls, ChangeEventsFollowTheirOwnRulesAndTextsKeepCrLf)
{
    TForm f;
    auto* edit = PlaceControl<TEdit>(&f, 0, 0, 100, 21);
    auto* combo = PlaceControl<TComboBox>(&f, 0, 30, 100, 21);
    auto* memo = PlaceControl<TMemo>(&f, 0, 60, 100, 80);
    int editChanges = 0;
    int comboChanges = 0;
    edit->OnChange = [&](TObject*) { ++editChanges; };
    combo->OnChange = [&](TObject*) { ++comboChanges; };

    edit->SetText("level1.lev"); // code changes an edit's text: OnChange fires
    edit->SetText("level1.lev");
    EXPECT_EQ(editChanges, 1);
    EXPECT_EQ(edit->Text(), "level1.lev");

    for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
        combo->SetStyle(style);
        combo->SetItems({"None", "WaveOut", "DirectSound"});
        combo->SetItemIndex(0);
        combo->SetText("DirectSound");
        EXPECT_EQ(combo->ItemIndex(), 2);
        EXPECT_EQ(combo->Text(), "DirectSound");
        combo->SetItemIndex(1);
        EXPECT_EQ(combo->Text(), "WaveOut");
    }
    EXPECT_EQ(comboChanges, 0); // never for code

    memo->SetText("first\r\nsecond\nthird");
    EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(memo->Text(), "first\r\nsecond\r\nthird");
}

// Keys typed into a combo box's open list reach its key handlers (and the form's preview)
// first; one they swallow leaves the list where it was, one they let through moves it.
TEST(NativeControls, KeysTypedIntoAnOpenComboListGoThroughTheBoxsHandlersFirst)
{
    TForm f;
    f.SetClientWidth(200);
    f.SetClientHeight(100);
    auto* combo = PlaceControl<TComboBox>(&f, 10, 10, 100, 21);
    combo->SetStyle(csDropDownList);
    combo->SetItems({"Up", "Right", "Down", "Left"});
    combo->SetItemIndex(0);
    f.Show();
    TestHooks::SetActiveForm(&f);
    std::vector<WORD> downs;
    std::vector<char> typed;
    std::vector<WORD> previewed;
    bool swallow = true;
    combo->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        downs.push_back(key);
        if (swallow)
            key = 0;
    };
    combo->OnKeyPress = [&](TObject*, char& key) {
        typed.push_back(key);
        if (swallow)
            key = 0;
    };
    f.SetKeyPreview(true);
    f.OnKeyDown = [&](TObject*, WORD& key, TShiftState) { previewed.push_back(key); };
    auto* q = static_cast<QComboBox*>(combo->Widget());
    q->showPopup();
    QAbstractItemView* list = q->view();
    list->setCurrentIndex(list->model()->index(0, 0));
    const auto press = [&](int qtKey, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(list, &down);
        QKeyEvent up(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(list, &up);
    };
    press(Qt::Key_Down, QString());
    press(Qt::Key_L, "l");
    EXPECT_EQ(list->currentIndex().row(), 0) << "swallowed";
    EXPECT_EQ(downs, (std::vector<WORD>{VK_DOWN, 'L'}));
    EXPECT_EQ(typed, std::vector<char>{}) << "a key swallowed types nothing";
    EXPECT_EQ(previewed, (std::vector<WORD>{VK_DOWN, 'L'}));
    swallow = false;
    press(Qt::Key_Down, QString());
    EXPECT_EQ(list->currentIndex().row(), 1) << "let through";
    q->hidePopup();

    // A handler that frees the box ends the key there.
    bool freed = false;
    combo->OnKeyDown = [&](TObject*, WORD&, TShiftState) {
        freed = true;
        delete combo;  // the handler's own closure goes with it: nothing after this
    };
    q->showPopup();
    press(Qt::Key_Down, QString());
    EXPECT_TRUE(freed);
    TestHooks::RunPostedMessages();
}

// A control freed by one of the handlers of its own key: the key goes no further and
// nothing touches the freed control; the form takes keys as before.
TEST(ControlsKeys, AControlFreedByItsOwnKeyHandlerEndsTheKey)
{
    enum Where { OwnKeyDown, OwnKeyPress, OwnKeyUp, PreviewKeyDown, PreviewKeyPress };
    for (const Where where : {OwnKeyDown, OwnKeyPress, OwnKeyUp, PreviewKeyDown, PreviewKeyPress}) {
        for (const bool native : {true, false}) {
            TForm f;
            f.SetClientWidth(200);
            f.SetClientHeight(100);
            TWinControl* victim = native ? static_cast<TWinControl*>(PlaceControl<TEdit>(&f, 10, 10, 100, 21))
                                         : PlaceControl<TButton>(&f, 10, 10, 75, 25);
            auto* other = PlaceControl<TEdit>(&f, 10, 50, 100, 21);
            int otherKeys = 0;
            other->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++otherKeys; };
            auto freeIt = [&] {
                delete victim;
                victim = nullptr;
            };
            switch (where) {
            case OwnKeyDown: victim->OnKeyDown = [&](TObject*, WORD&, TShiftState) { freeIt(); }; break;
            case OwnKeyPress: victim->OnKeyPress = [&](TObject*, char&) { freeIt(); }; break;
            case OwnKeyUp: victim->OnKeyUp = [&](TObject*, WORD&, TShiftState) { freeIt(); }; break;
            case PreviewKeyDown:
                f.SetKeyPreview(true);
                f.OnKeyDown = [&](TObject*, WORD&, TShiftState) {
                    if (victim)
                        freeIt();
                };
                break;
            case PreviewKeyPress:
                f.SetKeyPreview(true);
                f.OnKeyPress = [&](TObject*, char&) {
                    if (victim)
                        freeIt();
                };
                break;
            }
            f.Show();
            victim->SetFocus();
            TestHooks::KeyStroke(&f, 'A');
            EXPECT_EQ(victim, nullptr) << "case " << where << " native " << native;
            other->SetFocus();
            TestHooks::KeyStroke(&f, 'B');
            EXPECT_EQ(otherKeys, 1) << "case " << where << " native " << native;
        }
    }
}

// A control freed by its own mouse handler gets no click or double click after it.
TEST(ControlsMouse, AControlFreedByItsOwnMouseHandlerGetsNothingMore)
{
    for (const bool windowed : {true, false}) {
        for (const bool doubleClick : {false, true}) {
            TForm f;
            f.SetClientWidth(200);
            f.SetClientHeight(100);
            TControl* victim = windowed ? static_cast<TControl*>(PlaceControl<TPanel>(&f, 10, 10, 60, 30))
                                        : PlaceControl<TPaintBox>(&f, 10, 10, 60, 30);
            victim->ControlStyle |= csClickEvents | csDoubleClicks;
            int after = 0;
            victim->OnClick = [&](TObject*) { after += victim == nullptr; };
            victim->OnDblClick = [&](TObject*) { after += victim == nullptr; };
            auto freeIt = [&](TObject*, TMouseButton, TShiftState shift, int, int) {
                if (victim && (!doubleClick || shift.Contains(ssDouble))) {
                    TControl* dead = victim;
                    victim = nullptr;
                    delete dead;
                }
            };
            if (doubleClick)
                victim->OnMouseDown = freeIt;
            else
                victim->OnMouseUp = freeIt;
            f.Show();
            const TPoint at = Center(victim);
            if (doubleClick) {
                ClickAt(&f, at);
                TestHooks::MouseDoubleClick(&f, mbLeft, at);
            } else {
                ClickAt(&f, at);
            }
            EXPECT_EQ(victim, nullptr) << "windowed " << windowed << " double " << doubleClick;
            EXPECT_EQ(after, 0) << "windowed " << windowed << " double " << doubleClick;
            ClickAt(&f, Point(150, 80)); // the form takes the mouse as before
        }
    }
}

// A control freed by its own change notification, which Qt runs from inside the
// control's window (a line edit's setText, a key typed into it): the control goes at
// once; its window is hidden, leaves the form, and is deleted once Qt has left it. Qt
// itself is not instrumented, so only a build without sanitizers (or valgrind) sees a
// window deleted too early, as a crash.
TEST(ControlsLife, AControlFreedByItsOwnChangeKeepsItsWindowUntilQtHasLeftIt)
{
    enum How { EditByCode, EditByKey, MemoByCode, MemoByKey, ComboByKey, ScrollBarByKey };
    for (const How how : {EditByCode, EditByKey, MemoByCode, MemoByKey, ComboByKey, ScrollBarByKey}) {
        SCOPED_TRACE(how);
        TForm f;
        f.SetClientWidth(300);
        f.SetClientHeight(200);
        TWinControl* victim = nullptr;
        bool freed = false;
        auto freeIt = [&](TObject* sender) {
            freed = true;
            delete sender;
        };
        switch (how) {
        case EditByCode:
        case EditByKey: {
            auto* e = PlaceControl<TEdit>(&f, 10, 10, 120, 21);
            e->OnChange = freeIt;
            victim = e;
            break;
        }
        case MemoByCode:
        case MemoByKey: {
            auto* m = PlaceControl<TMemo>(&f, 10, 10, 120, 60);
            m->OnChange = freeIt;
            victim = m;
            break;
        }
        case ComboByKey: {
            auto* c = PlaceControl<TComboBox>(&f, 10, 10, 120, 21);
            c->SetItems({"one", "two"});
            c->OnChange = freeIt;
            victim = c;
            break;
        }
        case ScrollBarByKey: {
            auto* s = PlaceControl<TScrollBar>(&f, 10, 10, 120, 17);
            s->SetParams(5, 0, 10);
            s->OnChange = freeIt;
            victim = s;
            break;
        }
        }
        auto* other = PlaceControl<TEdit>(&f, 10, 120, 120, 21);
        f.Show();
        TestHooks::SetActiveForm(&f);
        victim->SetFocus();
        const QPointer<QWidget> window = victim->Widget();
        switch (how) {
        case EditByCode: victim->SetText("gone"); break;
        case MemoByCode: victim->SetText("gone"); break;
        case ScrollBarByKey: TestHooks::KeyStroke(&f, VK_RIGHT); break;
        default: TestHooks::KeyStroke(&f, 'A'); break;
        }
        ASSERT_TRUE(freed);
        EXPECT_EQ(f.ControlCount(), 1);
        ASSERT_FALSE(window.isNull());
        EXPECT_FALSE(window->isVisible());
        EXPECT_NE(window->window(), f.Widget());
        QCoreApplication::processEvents();
        EXPECT_TRUE(window.isNull());
        // The form takes keys as before.
        other->SetFocus();
        TestHooks::KeyStroke(&f, 'B');
        EXPECT_EQ(other->Text(), "b");
    }
}
