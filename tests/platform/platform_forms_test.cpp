#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/TestHooks.h"

namespace {

// A form that logs its events as text.
class LoggingForm : public TForm {
public:
    std::vector<std::string> Log;

    LoggingForm()
    {
        SetClientWidth(320);
        SetClientHeight(200);
        OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) {
            Log.push_back("down " + std::to_string(key) + (shift.Contains(ssAlt) ? " alt" : ""));
            if (key == SwallowKey)
                key = 0;
        };
        OnKeyUp = [this](TObject*, WORD& key, TShiftState) { Log.push_back("up " + std::to_string(key)); };
        OnKeyPress = [this](TObject*, char& c) {
            Log.push_back("char " + std::to_string(static_cast<unsigned char>(c)));
        };
        OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            Log.push_back("mdown " + std::to_string(b) + (s.Contains(ssDouble) ? " double" : "") + " " +
                          std::to_string(x) + "," + std::to_string(y));
        };
        OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int, int) {
            Log.push_back("mup " + std::to_string(b));
        };
        OnClick = [this](TObject*) { Log.push_back("click"); };
    }
    WORD SwallowKey = 0xFFFF;
};

} // namespace

struct Probe : TForm {
    static inline Probe* Ref = nullptr;
    static inline bool SawRef = false;
    Probe()
    {
        SetCaption("Pelvo");
        SetClientWidth(604);
        SetClientHeight(419);
        OnCreate = [this](TObject*) { SawRef = (Ref == this); };
    }
};

TEST(CreateForm, TheReferenceIsSetBeforeOnCreateRuns)
{
    Application->CreateForm(Probe::Ref);
    ASSERT_NE(Probe::Ref, nullptr);
    EXPECT_TRUE(Probe::SawRef);
    EXPECT_EQ(Probe::Ref->Caption(), "Pelvo");
    EXPECT_EQ(Probe::Ref->ClientWidth(), 604);
    EXPECT_EQ(Probe::Ref->ClientHeight(), 419);
    EXPECT_FALSE(Probe::Ref->Visible()); // forms start hidden
    Probe::Ref->Free();
}

TEST(CreateForm, AnExceptionFromOnCreateIsShownAndTheFormLives)
{
    struct Failing : TForm {
        Failing() { OnCreate = [](TObject*) { throw Exception("Not enough lines in [Tiles] chunk"); }; }
    };
    TestHooks::AnswerMessageBoxesWith(mrOk);
    Failing* f = nullptr;
    Application->CreateForm(f);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "Not enough lines in [Tiles] chunk");
    f->Free();
}

TEST(FormKeys, KeysGoThroughTheRealMapping)
{
    LoggingForm f;
    TestHooks::KeyStroke(&f, VK_ADD);           // keypad +
    TestHooks::KeyStroke(&f, VK_OEM_PLUS);      // main keyboard = / +
    TestHooks::KeyStroke(&f, VK_RETURN, {ssAlt}); // Alt+Enter: a key-down, no character
    TestHooks::KeyStroke(&f, 'C', {ssCtrl});
    TestHooks::KeyStroke(&f, VK_TAB);
    EXPECT_EQ(f.Log, (std::vector<std::string>{
                         "down 107", "char 43", "up 107",
                         "down 187", "char 61", "up 187",
                         "down 13 alt", "up 13",
                         "down 67", "char 3", "up 67",
                         "down 9", "char 9", "up 9"}));
}

TEST(FormKeys, AutoRepeatGivesKeyDownsWithoutKeyUps)
{
    LoggingForm f;
    TestHooks::KeyDown(&f, VK_LEFT);
    TestHooks::KeyUp(&f, VK_LEFT, {}, true);
    TestHooks::KeyDown(&f, VK_LEFT, {}, true);
    EXPECT_NE(GetAsyncKeyState(VK_LEFT) & 0x8000, 0);
    TestHooks::KeyUp(&f, VK_LEFT);
    EXPECT_EQ(GetAsyncKeyState(VK_LEFT), 0);
    EXPECT_EQ(f.Log, (std::vector<std::string>{"down 37", "down 37", "up 37"}));
}

TEST(FormKeys, ZeroingTheKeyInKeyDownKeepsTheCharacter)
{
    LoggingForm f;
    f.SwallowKey = 'A';
    TestHooks::KeyDown(&f, 'A', {ssShift});
    EXPECT_EQ(f.Log, (std::vector<std::string>{"down 65", "char 65"}));
}

TEST(FormMouse, TheSecondPressOfADoubleClickIsStillAPress)
{
    LoggingForm f;
    TestHooks::MouseDown(&f, mbLeft, {10, 20});
    TestHooks::MouseUp(&f, mbLeft, {10, 20});
    TestHooks::MouseDoubleClick(&f, mbLeft, {10, 20});
    TestHooks::MouseUp(&f, mbLeft, {10, 20});
    EXPECT_NE(GetAsyncKeyState(VK_RBUTTON) & 0x8000, 0x8000);
    TestHooks::MouseDown(&f, mbRight, {5, 5});
    EXPECT_NE(GetAsyncKeyState(VK_RBUTTON) & 0x8000, 0);
    TestHooks::MouseUp(&f, mbRight, {500, 5}); // released outside: no click
    EXPECT_EQ(f.Log, (std::vector<std::string>{"mdown 0 10,20", "mup 0", "click", "mdown 0 double 10,20",
                                               "mup 0", "click", "mdown 1 5,5", "mup 1"}));
}

struct CloseCase {
    const char* name;
    bool canClose;
    TCloseAction action;
    bool visibleAfter;
    bool destroyed;
};
void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }


class CloseTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseTest, CloseQueryThenOnCloseDecide)
{
    bool destroyed = false;
    auto* f = new TForm;
    f->OnCloseQuery = [&](TObject*, bool& c) { c = GetParam().canClose; };
    f->OnClose = [&](TObject*, TCloseAction& a) {
        EXPECT_EQ(a, caHide);
        a = GetParam().action;
    };
    f->OnDestroy = [&](TObject*) { destroyed = true; };
    f->Show();
    f->Close();
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(destroyed, GetParam().destroyed);
    if (!destroyed) {
        EXPECT_EQ(f->Visible(), GetParam().visibleAfter);
        f->Free();
    }
}

INSTANTIATE_TEST_SUITE_P(Closing, CloseTest, ::testing::Values(
    CloseCase{"Refused", false, caHide, true, false},
    CloseCase{"Hidden", true, caHide, false, false},
    CloseCase{"Kept", true, caNone, true, false},
    CloseCase{"Freed", true, caFree, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormMessages, HandlersByNumberAndTheDefaultForTheRest)
{
    struct WithDefault : TForm {
        std::vector<UINT> Defaults;
        void DefaultHandler(TMessage& m) override { Defaults.push_back(m.Msg); }
    } f;
    std::vector<LPARAM> ticks;
    f.SetMessageHandler(0x7800, [&](TMessage& m) { ticks.push_back(m.LParam); });
    PostMessage(f.Handle(), 0x7800, 0, 3);
    PostMessage(f.Handle(), 0x7816, 0, 0);
    PostMessage(f.Handle(), 0x7800, 0, 1);
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(ticks, (std::vector<LPARAM>{3, 1}));
    EXPECT_EQ(f.Defaults, (std::vector<UINT>{0x7816}));
    f.SetMessageHandler(0x7800, nullptr);
    PostMessage(f.Handle(), 0x7800, 0, 9);
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(ticks.size(), 2u);
}

TEST(ShowModal, RunsUntilModalResultAndPostedMessagesGoOnInside)
{
    TForm dialog;
    std::vector<std::string> log;
    dialog.OnClose = [&](TObject*, TCloseAction&) { log.push_back("close"); };
    EXPECT_EQ(ModalLoopsRunning(), 0);
    dialog.SetMessageHandler(0x7800, [&](TMessage& m) {
        log.push_back("tick " + std::to_string(m.LParam));
        EXPECT_EQ(ModalLoopsRunning(), 1);
        if (m.LParam == 2)
            dialog.SetModalResult(101);
        else
            PostMessage(dialog.Handle(), 0x7800, 0, m.LParam + 1);
    });
    TestHooks::SetModalStarted([&](TForm* f) {
        EXPECT_EQ(f, &dialog);
        EXPECT_TRUE(f->Visible());
        PostMessage(f->Handle(), 0x7800, 0, 1);
    });
    EXPECT_EQ(dialog.ShowModal(), 101);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(ModalLoopsRunning(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"tick 1", "tick 2", "close"}));
}

TEST(ShowModal, CloseGivesCancelAndCloseQueryCanRefuse)
{
    TForm dialog;
    int queries = 0;
    dialog.OnCloseQuery = [&](TObject*, bool& c) { c = ++queries > 1; };
    TestHooks::SetModalStarted([](TForm* f) {
        f->Close(); // refused the first time
        PostMessage(f->Handle(), 1, 0, 0);
    });
    dialog.SetMessageHandler(1, [&](TMessage&) { dialog.Close(); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    EXPECT_THROW(
        {
            dialog.Show();
            dialog.ShowModal();
        },
        EInvalidOperation);
}

TEST(FormGeometry, ClientAreaAndScreenMapping)
{
    TForm f;
    f.SetClientWidth(640);
    f.SetClientHeight(480);
    f.SetLeft(30);
    f.SetTop(40);
    f.Show();
    EXPECT_EQ(f.ClientRect(), Rect(0, 0, 640, 480));
    EXPECT_GE(f.Width(), 640);
    const TPoint p = f.ClientToScreen({5, 6});
    EXPECT_EQ(f.ScreenToClient(p), (TPoint{5, 6}));
    f.SetBorderStyle(bsNone);
    EXPECT_TRUE(f.Visible()); // changing the border keeps the window shown
    EXPECT_EQ(f.ClientWidth(), 640);
    // A fixed border keeps the size the user could change, not the program.
    f.SetBorderStyle(bsSingle);
    f.SetClientWidth(604);
    f.SetClientHeight(419);
    EXPECT_EQ(f.ClientRect(), Rect(0, 0, 604, 419));
}

TEST(ActiveForm, TheHookActivatesFormsLikeTheWindowSystem)
{
    TForm a, b;
    std::vector<std::string> log;
    a.OnActivate = [&](TObject*) { log.push_back("a+"); };
    a.OnDeactivate = [&](TObject*) { log.push_back("a-"); };
    b.OnActivate = [&](TObject*) { log.push_back("b+"); };
    TestHooks::SetActiveForm(&a);
    TestHooks::SetActiveForm(&b);
    EXPECT_TRUE(b.Active());
    EXPECT_FALSE(a.Active());
    EXPECT_EQ(Application->ActiveForm(), &b);
    EXPECT_EQ(log, (std::vector<std::string>{"a+", "a-", "b+"}));
    auto* c = new TForm;
    TestHooks::SetActiveForm(c);
    c->Free();
    EXPECT_EQ(Application->ActiveForm(), nullptr);
}

TEST(Hooks, PlaceThePointerAndSizeTheScreen)
{
    TestHooks::SetCursorPos(TPoint{123, 45});
    EXPECT_EQ(GetCursorPos(), (TPoint{123, 45}));
    TestHooks::SetScreenSize(TSize{640, 480});
    EXPECT_EQ(Screen->Width(), 640);
    EXPECT_EQ(Screen->Height(), 480);
    TestHooks::SetScreenSize(std::nullopt);
    EXPECT_GT(Screen->Width(), 0);
}

TEST(ShowModal, TheWindowActiveBeforeGetsTheFocusBack)
{
    TForm main, popup;
    main.Show();
    TestHooks::SetActiveForm(&main);
    TestHooks::ReleaseActiveForm();
    main.SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(Application->ActiveForm(), &main);
    TestHooks::SetModalStarted([](TForm* f) {
        f->SetFocus();
        Application->ProcessMessages();
        EXPECT_TRUE(f->Active());
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(popup.ShowModal(), mrOk);
    Application->ProcessMessages();
    EXPECT_EQ(Application->ActiveForm(), &main);
}

TEST(FormKeys, AnExceptionInAKeyHandlerIsShownAndKeysGoOn)
{
    TestHooks::AnswerMessageBoxesWith(mrOk);
    LoggingForm f;
    f.OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        if (key == VK_F6)
            throw Exception("GameMode Stack overflow");
        f.Log.push_back("down " + std::to_string(key));
    };
    TestHooks::KeyStroke(&f, VK_F6);
    TestHooks::KeyStroke(&f, 'R');
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "GameMode Stack overflow");
    EXPECT_EQ(f.Log, (std::vector<std::string>{"up 117", "down 82", "char 114", "up 82"}));
}
