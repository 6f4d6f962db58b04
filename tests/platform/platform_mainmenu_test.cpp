#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"

namespace {

// A control that takes every accelerator offered to it.
struct GreedyControl : TCustomControl {
    using TCustomControl::TCustomControl;
    std::vector<char> Offered;
    bool DialogChar(char Key, TShiftState) override
    {
        Offered.push_back(Key);
        return true;
    }
};

// The editor's window: 460 client pixels high, a check box at the top, its main menu.
struct MenuBarForm : TForm {
    TMainMenu* MainMenu;
    TMenuItem* File;
    TMenuItem* New;
    TMenuItem* Open;
    TMenuItem* Save;
    TMenuItem* SaveAs;
    TMenuItem* Options;
    TMenuItem* StayOnTop;
    TCheckBox* Editing;
    GreedyControl* Greedy;
    std::vector<std::string> Log;

    MenuBarForm()
    {
        SetBorderStyle(bsSingle);
        SetClientWidth(177);
        SetClientHeight(460);
        Editing = PlaceControl<TCheckBox>(this, 8, 8, 70, 17);
        Editing->SetCaption("Editing");
        Greedy = PlaceControl<GreedyControl>(this, 8, 40, 20, 20);
        MainMenu = new TMainMenu(this);
        File = Add(MainMenu->Items(), "&File");
        New = Add(File, "&New");
        Open = Add(File, "&Open...");
        Save = Add(File, "&Save");
        SaveAs = Add(File, "Save &As...");
        Options = Add(MainMenu->Items(), "Options");
        StayOnTop = Add(Options, "Stay on top");
    }
    TMenuItem* Add(TMenuItem* parent, const std::string& caption)
    {
        auto* item = new TMenuItem(this);
        item->SetCaption(caption);
        item->OnClick = [this, caption](TObject*) { Log.push_back(caption); };
        parent->Add(item);
        return item;
    }
    // Opens a menu of the bar by Alt and its letter through the toolkit's own key path,
    // then presses the keys inside the open menu.
    std::vector<TestHooks::TWindowKind> AltWithKeys(WORD letter, std::vector<WORD> keys)
    {
        std::vector<TestHooks::TWindowKind> shown;
        TestHooks::SetWindowShown([&shown, keys](TestHooks::TWindowKind kind) {
            shown.push_back(kind);
            for (WORD k : keys)
                TestHooks::KeyToTopWindow(k);
        });
        TestHooks::KeyToTopWindow(letter, TShiftState{ssAlt});
        TestHooks::SetWindowShown(nullptr);
        return shown;
    }
};

struct ShownMenuBarForm : MenuBarForm {
    ShownMenuBarForm()
    {
        SetMenu(MainMenu);
        Show();
        TestHooks::SetActiveForm(this);
    }
};

} // namespace

TEST(MainMenu, TheBarSitsOutsideTheClientArea)
{
    MenuBarForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    const int heightBefore = f.Height();
    const TPoint clientOnScreen = f.ClientToScreen(Point(0, 0));
    const TPoint boxOnScreen = f.Editing->ClientToScreen(Point(0, 0));

    f.SetMenu(f.MainMenu);
    EXPECT_EQ(f.Menu(), f.MainMenu);
    EXPECT_EQ(f.ClientHeight(), 460);
    EXPECT_EQ(f.ClientWidth(), 177);
    EXPECT_GT(f.Height(), heightBefore + 10) << "the frame grows by the bar";
    EXPECT_EQ(f.Editing->Left(), 8);
    EXPECT_EQ(f.Editing->Top(), 8);
    EXPECT_EQ(TestHooks::ControlToForm(f.Editing, Point(0, 0)), Point(8, 8));
    // The client area moved down the screen by the bar, the check box with it.
    const int bar = f.Height() - heightBefore;
    EXPECT_EQ(f.ClientToScreen(Point(0, 0)), Point(clientOnScreen.X, clientOnScreen.Y + bar));
    EXPECT_EQ(f.Editing->ClientToScreen(Point(0, 0)), Point(boxOnScreen.X, boxOnScreen.Y + bar));
    // A click at the box's client position still reaches it.
    TestHooks::MouseDown(&f, mbLeft, Point(12, 14));
    TestHooks::MouseUp(&f, mbLeft, Point(12, 14));
    EXPECT_TRUE(f.Editing->Checked());

    // Setting the client size keeps the bar outside it.
    f.SetClientHeight(300);
    EXPECT_EQ(f.ClientHeight(), 300);
    EXPECT_EQ(f.Height(), heightBefore - 160 + bar);
    f.SetClientHeight(460);

    // Without the menu the bar goes and the client area stays.
    f.SetMenu(nullptr);
    EXPECT_EQ(f.ClientHeight(), 460);
    EXPECT_EQ(f.Height(), heightBefore);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(Application->ActiveForm(), &f);
}

TEST(MainMenu, AMenuSetBeforeTheFormShowsKeepsTheFormsEvents)
{
    int shows = 0, hides = 0;
    MenuBarForm f;
    f.OnShow = [&](TObject*) { ++shows; };
    f.OnHide = [&](TObject*) { ++hides; };
    f.SetCaption("Editor");
    f.SetMenu(f.MainMenu);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(shows + hides, 0);
    f.Show();
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(f.ClientHeight(), 460);
    // Stay on top at run time (the editor's menu item): no hiding and showing on the way.
    f.SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.ClientHeight(), 460);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(hides, 0);
    f.Hide();
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(f.Caption(), "Editor");
}

TEST(MainMenu, AltAndTheLetterOpenTheMenuThroughTheRealBar)
{
    ShownMenuBarForm f;
    struct Case {
        const char* name;
        std::vector<WORD> keys;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"Down, Enter: the first item", {VK_DOWN, VK_RETURN}, {"&New"}},
        {"Down three times, Enter: the third", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, {"&Save"}},
        {"Esc: nothing", {VK_ESCAPE}, {}},
        {"the item's letter", {'A'}, {"Save &As..."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.Log.clear();
        const auto shown = f.AltWithKeys('F', c.keys);
        EXPECT_EQ(shown, std::vector<TestHooks::TWindowKind>{TestHooks::wkMenuBarMenu});
        EXPECT_EQ(f.Log, c.log);
        EXPECT_FALSE(TestHooks::MenuOpen());
    }
    // The menu takes Alt+F before any control is offered it; other letters go on to them.
    EXPECT_TRUE(f.Greedy->Offered.empty());
    f.AltWithKeys('X', {});
    EXPECT_EQ(f.Greedy->Offered, std::vector<char>{'x'});
}

TEST(MainMenu, AltAndTheLetterFromAFocusedEditAndFromInjectedKeys)
{
    ShownMenuBarForm f;
    auto* edit = PlaceControl<TEdit>(&f, 8, 70, 100, 21);
    edit->SetFocus();
    ASSERT_TRUE(edit->Focused());
    EXPECT_EQ(f.AltWithKeys('F', {VK_DOWN, VK_RETURN}).size(), 1u);
    EXPECT_EQ(f.Log, std::vector<std::string>{"&New"});
    EXPECT_EQ(edit->Text(), "");

    // The form's own key injection takes the same path.
    f.Log.clear();
    TestHooks::SetWindowShown([](TestHooks::TWindowKind) {
        TestHooks::KeyToTopWindow(VK_DOWN);
        TestHooks::KeyToTopWindow(VK_DOWN);
        TestHooks::KeyToTopWindow(VK_RETURN);
    });
    TestHooks::KeyStroke(&f, 'F', TShiftState{ssAlt});
    EXPECT_EQ(f.Log, std::vector<std::string>{"&Open..."});
    EXPECT_TRUE(f.Greedy->Offered.empty());
}

TEST(MainMenu, ChoosingAnItemLeavesCheckedToItsHandler)
{
    ShownMenuBarForm f;
    f.StayOnTop->OnClick = nullptr;
    TestHooks::ChooseMenuItem(f.StayOnTop);
    EXPECT_FALSE(f.StayOnTop->Checked());

    int clicks = 0;
    f.StayOnTop->OnClick = [&](TObject*) {
        ++clicks;
        f.StayOnTop->SetChecked(!f.StayOnTop->Checked());
    };
    TestHooks::ChooseMenuItem(f.StayOnTop);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(f.StayOnTop->Checked());
    // Checked, the item still leaves the change to the handler.
    TestHooks::ChooseMenuItem(f.StayOnTop);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(f.StayOnTop->Checked());
}

TEST(MainMenu, DisabledHiddenAndChangedItems)
{
    ShownMenuBarForm f;
    f.New->SetEnabled(false);
    TestHooks::ChooseMenuItem(f.New);
    EXPECT_TRUE(f.Log.empty());
    f.AltWithKeys('F', {VK_DOWN, VK_RETURN});
    EXPECT_TRUE(f.Log.empty() || f.Log == std::vector<std::string>{"&Open..."}) << "never the disabled item";
    EXPECT_TRUE(std::find(f.Log.begin(), f.Log.end(), "&New") == f.Log.end());

    // A disabled menu of the bar does not open: the letter goes on to the controls.
    f.File->SetEnabled(false);
    f.Log.clear();
    EXPECT_TRUE(f.AltWithKeys('F', {VK_DOWN, VK_RETURN}).empty());
    EXPECT_TRUE(f.Log.empty());
    EXPECT_EQ(f.Greedy->Offered, std::vector<char>{'f'});
    f.File->SetEnabled(true);

    // Items changed while the program runs show at once.
    f.New->SetEnabled(true);
    f.New->SetVisible(false);
    f.Log.clear();
    f.AltWithKeys('F', {VK_DOWN, VK_RETURN});
    EXPECT_EQ(f.Log, std::vector<std::string>{"&Open..."});
    f.New->SetVisible(true);
    auto* recent = f.Add(f.File, "&Recent");
    f.Log.clear();
    f.AltWithKeys('F', {'R'});
    EXPECT_EQ(f.Log, std::vector<std::string>{"&Recent"});
    f.Options->SetCaption("&Options");
    f.Log.clear();
    f.AltWithKeys('O', {VK_DOWN, VK_RETURN});
    EXPECT_EQ(f.Log, std::vector<std::string>{"Stay on top"});
    delete recent;
}

TEST(MainMenu, FreeingItemsAndMenusInUse)
{
    ShownMenuBarForm f;
    const int withBar = f.Height();
    // An item that frees itself from its own OnClick.
    f.Save->OnClick = [&](TObject*) {
        TMenuItem* self = f.Save;
        f.Save = nullptr;
        delete self; // nothing of the handler is used after this
    };
    f.AltWithKeys('F', {'S'});
    EXPECT_EQ(f.Save, nullptr);
    EXPECT_EQ(f.File->Count(), 3);
    f.AltWithKeys('F', {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(f.Log, std::vector<std::string>{"Save &As..."});

    // An empty caption and submenus ten deep do no harm.
    TMenuItem* parent = f.Options;
    for (int i = 0; i < 10; ++i)
        parent = f.Add(parent, i == 5 ? "" : "Deeper");
    f.Log.clear();
    TestHooks::ChooseMenuItem(parent);
    EXPECT_EQ(f.Log, std::vector<std::string>{"Deeper"});

    // A menu freed while the form still shows it takes the bar with it.
    delete f.MainMenu;
    EXPECT_EQ(f.Menu(), nullptr);
    EXPECT_EQ(f.ClientHeight(), 460);
    EXPECT_LT(f.Height(), withBar);
    TestHooks::KeyStroke(&f, 'F', TShiftState{ssAlt});
    EXPECT_EQ(f.Greedy->Offered, std::vector<char>{'f'});
}

TEST(MainMenu, APressOnTheBarOpensItsMenuForTheKeysAndTheMouse)
{
    ShownMenuBarForm f;
    // The bar lies above the client area: at negative client coordinates.
    const int bar = f.ClientToScreen(Point(0, 0)).Y - f.Top();
    ASSERT_GT(bar, 10);
    TestHooks::MouseDown(&f, mbLeft, Point(12, -bar / 2));
    TestHooks::MouseUp(&f, mbLeft, Point(12, -bar / 2));
    ASSERT_TRUE(TestHooks::MenuOpen());
    TestHooks::KeyToTopWindow(VK_DOWN);
    TestHooks::KeyToTopWindow(VK_DOWN);
    TestHooks::KeyToTopWindow(VK_RETURN);
    EXPECT_FALSE(TestHooks::MenuOpen());
    EXPECT_EQ(f.Log, std::vector<std::string>{"&Open..."});
    EXPECT_FALSE(f.Editing->Checked()) << "the press went to the bar only";
}
