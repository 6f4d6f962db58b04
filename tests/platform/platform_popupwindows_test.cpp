#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/PopupWindows.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"

namespace {

using Log = std::vector<std::string>;

class Key : public TGraphicControl {
public:
    Key(TComponent* owner, Log& log) : TGraphicControl(owner), L(log) {}
    Log& L;

protected:
    void Click() override { L.push_back("click"); }
    void MouseUp(TMouseButton, TShiftState, int X, int Y) override
    {
        L.push_back("up " + std::to_string(X) + "," + std::to_string(Y));
    }
};

class Field : public TEdit {
public:
    Field(TComponent* owner, Log& log) : TEdit(owner), L(log)
    {
        OnExit = [this](TObject*) { L.push_back("exit"); };
    }
    Log& L;
    void CancelMode(TControl* sender) override
    {
        L.push_back(std::string("cancel:") + (sender ? sender->Name() : "null"));
    }

protected:
    void FocusLost() override { L.push_back("lost"); }
};

} // namespace

TEST(PopupWindows, APopupTakesClicksWhileTheOwnersFormKeepsTheFocus)
{
    Log log;
    TForm form;
    form.SetBounds(100, 100, 300, 200);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    auto* edit = new Field(&form, log);
    edit->SetParent(&form);
    edit->SetBounds(10, 10, 120, 21);
    auto* other = PlaceControl<TButton>(&form, 10, 100, 75, 25);
    other->SetName("other");
    auto* popup = new TPopupControl(edit);
    popup->SetBounds(0, 0, 102, 62);
    auto* key = new Key(popup, log);
    key->SetName("key");
    key->SetParent(popup);
    key->SetBounds(10, 10, 30, 20);
    form.Show();
    TestHooks::SetActiveForm(&form);
    edit->SetFocus();
    log.clear();

    EXPECT_FALSE(popup->Visible());
    popup->ShowAt(400, 300);
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(popup->Left(), 400);
    EXPECT_EQ(popup->Top(), 300);
    EXPECT_EQ(popup->ClientWidth(), 100);
    EXPECT_EQ(popup->ClientHeight(), 60);
    EXPECT_EQ(popup->ClientToScreen(Point(0, 0)), Point(401, 301));
    TestHooks::RunPostedMessages();
    EXPECT_EQ(Application->ActiveForm(), &form);
    EXPECT_TRUE(edit->Focused());
    EXPECT_TRUE(log.empty()) << log.front();

    // Typed keys still reach the edit; a click on the key clicks it and moves no focus.
    TestHooks::KeyStroke(&form, '7');
    EXPECT_EQ(edit->Text(), "7");
    TestHooks::MouseDown(popup, mbLeft, Point(15, 15));
    TestHooks::MouseUp(popup, mbLeft, Point(15, 15));
    EXPECT_EQ(log, (Log{"cancel:key", "up 5,5", "click"}));
    EXPECT_TRUE(edit->Focused());

    // A press elsewhere on the form, and the application losing activation.
    log.clear();
    TestHooks::MouseDown(&form, mbLeft, Point(20, 110));
    TestHooks::MouseUp(&form, mbLeft, Point(20, 110));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "cancel:other");
    edit->SetFocus();
    log.clear();
    TestHooks::SetActiveForm(nullptr);
    EXPECT_EQ(log, (Log{"cancel:null", "lost"})); // no exit: the form's focused control stays
    TestHooks::SetActiveForm(&form);
    edit->SetFocus();

    // With the mouse held, a release outside reaches the pop-up in its client coordinates.
    log.clear();
    TestHooks::MouseDown(popup, mbLeft, Point(15, 15));
    key->SetMouseCapture(false);
    popup->SetMouseCapture(true);
    TestHooks::MouseUp(&form, mbLeft, Point(5, 5));
    popup->SetMouseCapture(false);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("up ", 0), std::string::npos); // the key did not get it
    popup->Hide();
    EXPECT_FALSE(popup->Visible());
}

TEST(PopupWindows, TheCaptureHoldsTheReleaseOutside)
{
    Log log;
    TForm form;
    form.SetBounds(100, 100, 300, 200);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    auto* popup = new TPopupControl(&form);
    int upX = 0, upY = 0;
    popup->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
        upX = X;
        upY = Y;
    };
    popup->SetBounds(0, 0, 52, 52);
    form.Show();
    TestHooks::SetActiveForm(&form);
    popup->ShowAt(500, 500);
    popup->SetMouseCapture(true);
    TestHooks::MouseUp(&form, mbLeft, Point(10, 10));
    popup->SetMouseCapture(false);
    const TPoint formClient = form.ClientToScreen(Point(10, 10));
    EXPECT_EQ(upX, formClient.X - 501);
    EXPECT_EQ(upY, formClient.Y - 501);
    EXPECT_LT(upX, 0);
}

TEST(PopupWindows, PressesOnOtherFormsCancelTheOwnersModesAndThePopupStaysUntilHidden)
{
    Log log;
    TForm form;
    form.SetBounds(100, 100, 300, 200);
    auto* edit = new Field(&form, log);
    edit->SetParent(&form);
    edit->SetBounds(10, 10, 120, 21);
    auto* popup = new TPopupControl(edit);
    popup->SetBounds(0, 0, 40, 30);
    TForm second;
    second.SetBounds(500, 100, 200, 100);
    auto* there = PlaceControl<TButton>(&second, 10, 10, 75, 25);
    there->SetName("there");
    form.Show();
    second.Show();
    TestHooks::SetActiveForm(&form);
    edit->SetFocus();
    popup->ShowAt(150, 150);

    struct Step {
        const char* name;
        void (*act)(TForm& form, TForm& second);
        std::string first; // the first of what the owner's edit logs
    };
    const Step steps[] = {
        {"a press on another form's control",
         [](TForm&, TForm& s) {
             TestHooks::MouseDown(&s, mbLeft, Point(20, 20));
             TestHooks::MouseUp(&s, mbLeft, Point(20, 20));
         },
         "cancel:there"},
        {"the owner's form moved", [](TForm& f, TForm&) { f.SetLeft(f.Left() + 10); }, "cancel:null"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        TestHooks::SetActiveForm(&form);
        edit->SetFocus();
        log.clear();
        s.act(form, second);
        TestHooks::RunPostedMessages();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front(), s.first);
        EXPECT_TRUE(popup->Visible()) << "only its owner hides it";
    }
    popup->Hide();
    EXPECT_FALSE(popup->Visible());
}

// A control whose cancel mode frees another pop-up, as an owner closing a drop-down for
// good might.
class Closer : public TEdit {
public:
    using TEdit::TEdit;
    TPopupControl* Victim = nullptr;
    void CancelMode(TControl*) override
    {
        delete Victim;
        Victim = nullptr;
    }
};

TEST(PopupWindows, APopupFreedByAnotherOwnersCancelModeIsNotTouchedAfterwards)
{
    TForm a, b, c;
    a.SetBounds(0, 0, 200, 100);
    b.SetBounds(220, 0, 200, 100);
    c.SetBounds(440, 0, 200, 100);
    auto* closer = PlaceControl<Closer>(&a, 10, 10, 100, 21);
    auto* field = PlaceControl<TEdit>(&b, 10, 10, 100, 21);
    auto* target = PlaceControl<TButton>(&c, 10, 10, 75, 25);
    auto* first = new TPopupControl(closer);
    first->SetBounds(0, 0, 30, 30);
    auto* second = new TPopupControl(field);
    second->SetBounds(0, 0, 30, 30);
    for (TForm* f : {&a, &b, &c})
        f->Show();
    TestHooks::SetActiveForm(&a);
    closer->SetFocus();
    TestHooks::SetActiveForm(&b);
    field->SetFocus();
    TestHooks::SetActiveForm(&c);
    first->ShowAt(100, 200);
    second->ShowAt(200, 200);
    int clicks = 0;
    target->OnClick = [&](TObject*) { ++clicks; };
    closer->Victim = second;
    // Both pop-ups' owner forms cancel their modes; the first frees the second meanwhile.
    for (int i = 0; i < 2; ++i) {
        TestHooks::MouseDown(&c, mbLeft, Point(20, 20));
        TestHooks::MouseUp(&c, mbLeft, Point(20, 20));
        closer->Victim = nullptr;
    }
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(VisiblePopups(), std::vector<TPopupControl*>{first});
}
