#include <gtest/gtest.h>

#include <QCoreApplication>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"

namespace {

using Log = std::vector<std::string>;

class LoggedEdit : public TEdit {
public:
    LoggedEdit(TComponent* owner, std::string name, Log& log) : TEdit(owner), Name(std::move(name)), L(log)
    {
        OnEnter = [this](TObject*) { L.push_back(Name + " enter"); };
        OnExit = [this](TObject*) { L.push_back(Name + " exit"); };
    }
    std::string Name;
    Log& L;

protected:
    void FocusGained() override { L.push_back(Name + " gained"); }
    void FocusLost() override { L.push_back(Name + " lost"); }
    void FocusChanged(TWinControl* to) override
    {
        L.push_back(Name + " changed:" + (to ? to->Name() : "none"));
    }
};

// A window-less control that logs what reaches it and answers its accelerator.
class Probe : public TGraphicControl {
public:
    Probe(TComponent* owner, std::string name, Log& log) : TGraphicControl(owner), Name(std::move(name)), L(log) {}
    std::string Name;
    Log& L;
    bool DialogChar(char Key, TShiftState) override
    {
        if (!IsAccel(Key, Caption()))
            return false;
        L.push_back(Name + " accel " + std::string(1, Key));
        return true;
    }
    void FocusChanged(TWinControl* to) override { L.push_back(Name + " changed:" + (to ? to->Name() : "none")); }
    void CancelMode(TControl* sender) override { L.push_back(Name + " cancel"), (void)sender; }

protected:
    void MouseDown(TMouseButton, TShiftState, int, int) override { L.push_back(Name + " down"); }
    void Click() override { L.push_back(Name + " click"); }
};

// A focusable custom control that logs the form's cancel mode.
class Modal : public TCustomControl {
public:
    Modal(TComponent* owner, Log& log) : TCustomControl(owner), L(log) { SetTabStop(true); }
    Log& L;
    void CancelMode(TControl* sender) override
    {
        L.push_back(std::string("cancel:") + (sender ? sender->Name() : "null"));
    }
};

struct FocusForm : TForm {
    Log L;
    LoggedEdit* One;
    LoggedEdit* Two;
    Probe* Go;
    FocusForm()
    {
        SetClientWidth(300);
        SetClientHeight(200);
        One = Place(new LoggedEdit(this, "one", L), 10, 10);
        Two = Place(new LoggedEdit(this, "two", L), 10, 40);
        Go = new Probe(this, "go", L);
        Go->SetName("go");
        Go->SetCaption("&Go");
        Go->SetParent(this);
        Go->SetBounds(10, 100, 60, 20);
    }
    template <class T>
    T* Place(T* c, int x, int y)
    {
        c->SetName(c->Name);
        c->SetParent(this);
        c->SetBounds(x, y, 100, 21);
        return c;
    }
};

Log Only(const Log& log, const std::string& part)
{
    Log out;
    for (const std::string& s : log)
        if (s.find(part) != std::string::npos)
            out.push_back(s);
    return out;
}

} // namespace

TEST(Focus, TabMovesTheFormsFocusedControlWithExitEnterThenFocusChangedEverywhere)
{
    FocusForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    f.One->SetFocus();
    EXPECT_EQ(f.ActiveControl(), f.One);
    f.L.clear();
    TestHooks::KeyStroke(&f, VK_TAB);
    EXPECT_EQ(f.ActiveControl(), f.Two);
    const Log want = {"one exit", "two enter", "one changed:two", "two changed:two", "go changed:two"};
    Log got;
    for (const std::string& s : f.L)
        if (s.find("gained") == std::string::npos && s.find("lost") == std::string::npos)
            got.push_back(s);
    EXPECT_EQ(got, want);
    EXPECT_EQ(Only(f.L, "lost"), Log{"one lost"});
    EXPECT_EQ(Only(f.L, "gained"), Log{"two gained"});
}

// Past the end of the tab order the focus wraps round: Tab from the last control to the
// first, Shift+Tab from the first to the last, each with its exit and enter.
TEST(Focus, TabWrapsRoundTheEndsOfTheTabOrder)
{
    FocusForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    struct Case {
        LoggedEdit* from;
        TShiftState shift;
        LoggedEdit* to;
    } cases[] = {{f.Two, {}, f.One}, {f.One, {ssShift}, f.Two}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from->Name);
        c.from->SetFocus();
        f.L.clear();
        TestHooks::KeyStroke(&f, VK_TAB, c.shift);
        EXPECT_EQ(f.ActiveControl(), c.to);
        EXPECT_TRUE(c.to->Focused());
        EXPECT_EQ(Only(f.L, "exit"), Log{c.from->Name + " exit"});
        EXPECT_EQ(Only(f.L, "enter"), Log{c.to->Name + " enter"});
    }
    TestHooks::SetActiveForm(nullptr);
}

TEST(Focus, DeactivatingAndActivatingTheFormMovesNoFocus)
{
    FocusForm f;
    TForm other;
    f.Show();
    other.Show();
    TestHooks::SetActiveForm(&f);
    f.Two->SetFocus();
    f.L.clear();
    TestHooks::SetActiveForm(&other);
    TestHooks::SetActiveForm(&f);
    EXPECT_EQ(f.L, (Log{"two lost", "two gained"}));
    EXPECT_TRUE(f.Two->Focused());
    EXPECT_EQ(f.ActiveControl(), f.Two);

    // The focused control is kept while the form is inactive and focused on activation.
    TestHooks::SetActiveForm(&other);
    f.SetActiveControl(f.One);
    EXPECT_EQ(f.ActiveControl(), f.One);
    TestHooks::SetActiveForm(&f);
    EXPECT_TRUE(f.One->Focused());
    EXPECT_THROW(f.SetActiveControl(&other), EInvalidOperation);
}

TEST(Focus, AnExitHandlerThatRaisesKeepsTheFocus)
{
    FocusForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    f.One->SetFocus();
    f.One->OnExit = [](TObject*) { throw Exception("Value must be between 1 and 140"); };
    f.L.clear();
    TestHooks::ClearMessageBoxLog();
    TestHooks::KeyStroke(&f, VK_TAB);
    EXPECT_TRUE(f.One->Focused());
    EXPECT_EQ(f.ActiveControl(), f.One);
    EXPECT_TRUE(Only(f.L, "enter").empty());
    EXPECT_TRUE(Only(f.L, "changed").empty());
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "Value must be between 1 and 140");
    // Freeing the focused control leaves no reference behind.
    delete f.One;
    EXPECT_EQ(f.ActiveControl(), nullptr);
}

TEST(Accelerators, IsAccelMatchesTheMarkedCharacterOnly)
{
    struct Case {
        char c;
        const char* caption;
        bool match;
    };
    const Case cases[] = {{'g', "&Go", true},   {'G', "&go", true},    {'o', "&Go", false},
                          {'g', "G&&o", false}, {'o', "G&&o", false},  {'&', "A&&B", false},
                          {'b', "A&&&B", true}, {'x', "Fi&x&", true},  {'g', "", false},
                          {'g', "Go&", false},  {'1', "&1 line", true}};
    for (const Case& c : cases)
        EXPECT_EQ(IsAccel(c.c, c.caption), c.match) << c.c << " " << c.caption;
}

TEST(Accelerators, AltKeysAndCharactersNobodyTakesReachTheControlThatAnswers)
{
    struct Case {
        const char* name;
        const char* caption;
        bool enabled;
        bool buttonFocused;
        WORD key;
        TShiftState shift;
        Log log;
        const char* editText;
    };
    const Case cases[] = {
        {"Alt+G with the edit focused", "&Go", true, false, 'G', {ssAlt}, {"go accel g"}, ""},
        {"g typed into the edit", "&Go", true, false, 'G', {}, {}, "g"},
        {"g with a button focused", "&Go", true, true, 'G', {}, {"go accel g"}, ""},
        {"a literal ampersand", "G&&o", true, false, 'G', {ssAlt}, {}, ""},
        {"a disabled control is not asked", "&Go", false, false, 'G', {ssAlt}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FocusForm f;
        auto* button = PlaceControl<TButton>(&f, 150, 10, 75, 25);
        button->SetTabStop(true);
        f.Go->SetCaption(c.caption);
        f.Go->SetEnabled(c.enabled);
        f.Show();
        TestHooks::SetActiveForm(&f);
        if (c.buttonFocused)
            button->SetFocus();
        else
            f.One->SetFocus();
        f.L.clear();
        TestHooks::KeyStroke(&f, c.key, c.shift);
        EXPECT_EQ(Only(f.L, "accel"), c.log);
        EXPECT_EQ(f.One->Text(), c.editText);
    }
}

TEST(CancelMode, APressGivesTheFocusedControlTheControlPressedFirst)
{
    Log log;
    TForm f;
    f.SetClientWidth(200);
    f.SetClientHeight(100);
    auto* focused = new Modal(&f, log);
    focused->SetParent(&f);
    focused->SetBounds(0, 0, 50, 50);
    auto* button = new Probe(&f, "button", log);
    button->SetName("button");
    button->SetParent(&f);
    button->SetBounds(100, 10, 50, 20);
    f.Show();
    TestHooks::SetActiveForm(&f);
    focused->SetFocus();
    ASSERT_EQ(f.ActiveControl(), focused);
    log.clear();
    TestHooks::MouseDown(&f, mbLeft, Point(110, 15));
    TestHooks::MouseUp(&f, mbLeft, Point(110, 15));
    EXPECT_EQ(log, (Log{"cancel:button", "button down", "button click"}));
    log.clear();
    TestHooks::SetActiveForm(nullptr);
    EXPECT_EQ(log, Log{"cancel:null"});
    log.clear();
    f.SetLeft(f.Left() + 15);
    TestHooks::RunPostedMessages();
    EXPECT_EQ(log, Log{"cancel:null"});
}

TEST(CancelMode, TheFocusedControlFreeingTheCapturesHolderLeavesNothingToCall)
{
    Log log;
    TForm f;
    f.SetClientWidth(200);
    f.SetClientHeight(100);
    struct Freeing : Modal {
        using Modal::Modal;
        TControl* Victim = nullptr;
        void CancelMode(TControl* sender) override
        {
            Modal::CancelMode(sender);
            delete Victim;
            Victim = nullptr;
        }
    };
    auto* focused = new Freeing(&f, log);
    focused->SetParent(&f);
    focused->SetBounds(0, 0, 50, 50);
    auto* holder = new Modal(&f, log);
    holder->SetParent(&f);
    holder->SetBounds(100, 0, 50, 50);
    f.Show();
    TestHooks::SetActiveForm(&f);
    focused->SetFocus();
    holder->SetMouseCapture(true);
    focused->Victim = holder;
    log.clear();
    f.SendCancelMode(nullptr);
    EXPECT_EQ(log, Log{"cancel:null"});
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST(CancelMode, ResizingHidingAndClosingTheFormCancelWithNoSender)
{
    Log log;
    TForm f;
    f.SetClientWidth(200);
    f.SetClientHeight(100);
    auto* focused = new Modal(&f, log);
    focused->SetParent(&f);
    focused->SetBounds(0, 0, 50, 50);
    struct Step {
        const char* name;
        void (*act)(TForm&);
    };
    const Step steps[] = {
        {"resized", [](TForm& form) { form.SetClientWidth(250); }},
        {"hidden", [](TForm& form) { form.Hide(); }},
        {"closed", [](TForm& form) { form.Close(); }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        f.Show();
        TestHooks::SetActiveForm(&f);
        focused->SetFocus();
        ASSERT_EQ(f.ActiveControl(), focused);
        log.clear();
        s.act(f);
        TestHooks::RunPostedMessages();
        ASSERT_FALSE(log.empty());
        for (const std::string& entry : log)
            EXPECT_EQ(entry, "cancel:null");
    }
}

TEST(ClickableButNeverFocused, APanelOfButtonsTakesClicksWhileTheEditKeepsTheKeys)
{
    for (bool windowEnabled : {true, false}) {
        SCOPED_TRACE(windowEnabled);
        FocusForm f;
        auto* panel = PlaceControl<TPanel>(&f, 150, 10, 100, 100);
        panel->SetTabStop(true);
        panel->SetEnabled(false);
        if (windowEnabled)
            EnableWindow(panel, true);
        panel->SetTakesFocus(false);
        auto* key = new Probe(&f, "key", f.L);
        key->SetParent(panel);
        key->SetBounds(10, 10, 30, 30);
        f.Show();
        TestHooks::SetActiveForm(&f);
        f.One->SetFocus();
        f.L.clear();
        const TPoint at = TestHooks::ControlToForm(key, Point(5, 5));
        TestHooks::MouseDown(&f, mbLeft, at);
        TestHooks::MouseUp(&f, mbLeft, at);
        EXPECT_EQ(Only(f.L, "click"), windowEnabled ? Log{"key click"} : Log{});
        EXPECT_TRUE(f.One->Focused());
        EXPECT_TRUE(Only(f.L, "exit").empty());
        EXPECT_FALSE(panel->Enabled());
        for (int i = 0; i < 4; ++i) {
            TestHooks::KeyStroke(&f, VK_TAB);
            EXPECT_FALSE(panel->Focused());
        }
    }
}

namespace {

struct ThreeButtons : TForm {
    Log L;
    TButton* B[3] = {};
    ThreeButtons()
    {
        SetClientWidth(300);
        SetClientHeight(100);
        for (int i = 0; i < 3; ++i) {
            B[i] = PlaceControl<TButton>(this, 10 + 90 * i, 10, 80, 25);
            const std::string name = std::string(1, char('a' + i));
            B[i]->SetName(name);
            B[i]->SetCaption(name);
            B[i]->OnClick = [this, name](TObject*) { L.push_back(name + " click"); };
            B[i]->OnEnter = [this, name](TObject*) { L.push_back(name + " enter"); };
            B[i]->OnExit = [this, name](TObject*) { L.push_back(name + " exit"); };
        }
    }
};

} // namespace

// A focused button that is disabled, hidden or freed leaves the form with no focused
// control: Enter and Space press nothing (Qt alone would hand the focus on to the next
// button in the chain), and the next Tab starts from the top of the tab order.
TEST(Focus, TheFocusedControlGoneLeavesTheFormWithNoFocusedControl)
{
    enum How { Disabled, Hidden, Freed };
    for (How how : {Disabled, Hidden, Freed}) {
        SCOPED_TRACE(how);
        ThreeButtons f;
        f.Show();
        TestHooks::SetActiveForm(&f);
        f.B[1]->SetFocus();
        ASSERT_EQ(f.ActiveControl(), f.B[1]);
        // The focused button takes Space while it has the focus.
        TestHooks::KeyStroke(&f, VK_SPACE);
        EXPECT_EQ(Only(f.L, "click"), Log{"b click"});
        f.L.clear();
        if (how == Disabled)
            f.B[1]->SetEnabled(false);
        else if (how == Hidden)
            f.B[1]->Hide();
        else
            delete f.B[1];
        EXPECT_EQ(f.ActiveControl(), nullptr);
        EXPECT_FALSE(f.B[0]->Focused());
        EXPECT_FALSE(f.B[2]->Focused());
        if (how != Freed) {
            EXPECT_EQ(f.L, Log{"b exit"});
        }
        f.L.clear();
        for (WORD key : {WORD(VK_RETURN), WORD(VK_SPACE), WORD(VK_RETURN)})
            TestHooks::KeyStroke(&f, key);
        EXPECT_EQ(f.L, Log{}) << "no button was pressed";
        EXPECT_EQ(f.ActiveControl(), nullptr);
        // Tab from nowhere: the first control of the tab order.
        TestHooks::KeyStroke(&f, VK_TAB);
        EXPECT_EQ(f.ActiveControl(), f.B[0]);
        EXPECT_TRUE(f.B[0]->Focused());
        EXPECT_EQ(f.L, Log{"a enter"});
        TestHooks::SetActiveForm(nullptr);
    }
}

// A page hidden while a control on it has the focus: the same.
TEST(Focus, HidingThePanelThatHoldsTheFocusLeavesNoFocusedControl)
{
    ThreeButtons f;
    auto* page = PlaceControl<TPanel>(&f, 10, 50, 200, 40);
    auto* inner = PlaceControl<TButton>(page, 5, 5, 80, 25);
    int clicks = 0;
    inner->OnClick = [&](TObject*) { ++clicks; };
    f.Show();
    TestHooks::SetActiveForm(&f);
    inner->SetFocus();
    ASSERT_EQ(f.ActiveControl(), inner);
    page->Hide();
    EXPECT_EQ(f.ActiveControl(), nullptr);
    TestHooks::KeyStroke(&f, VK_SPACE);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Only(f.L, "click"), Log{});
    // Focus elsewhere is left alone.
    f.B[2]->SetFocus();
    f.B[0]->SetEnabled(false);
    EXPECT_EQ(f.ActiveControl(), f.B[2]);
    EXPECT_TRUE(f.B[2]->Focused());
    TestHooks::SetActiveForm(nullptr);
}

// Input that waited while the program was busy is thrown away; posted messages are not.
TEST(Focus, DiscardPendingInputDropsKeysAndClicksButKeepsPostedMessages)
{
    ThreeButtons f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    f.B[0]->SetFocus();
    int handled = 0;
    HWND window = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == 0x7900)
            ++handled;
    });
    const TPoint at = TestHooks::ControlToForm(f.B[2], Point(10, 10));
    auto click = [&] {
        TestHooks::MouseDown(&f, mbLeft, at);
        TestHooks::MouseUp(&f, mbLeft, at);
    };
    bool ran = false;
    TestHooks::QueueInput([&] {
        ran = true;
        click();
        TestHooks::KeyStroke(&f, VK_SPACE);
    });
    PostMessage(window, 0x7900, 0, 0);
    DiscardPendingInput();
    EXPECT_TRUE(ran);
    EXPECT_EQ(Only(f.L, "click"), Log{});
    EXPECT_EQ(handled, 1) << "the posted message was handled";
    // Input queued afterwards acts as usual.
    TestHooks::QueueInput(click);
    QCoreApplication::processEvents();
    EXPECT_EQ(Only(f.L, "click"), Log{"c click"});
    DeallocateHWnd(window);
    TestHooks::SetActiveForm(nullptr);
}
