#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/TestHooks.h"

namespace {

struct MenuForm : TForm {
    TPopupMenu* Menu;
    TMenuItem* First;
    TMenuItem* Second;
    TMenuItem* Line;
    TMenuItem* Off;
    TButton* Button;
    std::vector<std::string> Log;

    MenuForm()
    {
        SetClientWidth(300);
        SetClientHeight(200);
        Button = PlaceControl<TButton>(this, 0, 0, 300, 200);
        Button->SetCaption("Under");
        Button->OnClick = [this](TObject*) { Log.push_back("button"); };
        Menu = new TPopupMenu(this);
        First = Add("&First");
        Second = Add("&Second");
        Line = Add("-");
        Off = Add("Off");
        Off->SetEnabled(false);
    }
    TMenuItem* Add(const std::string& caption)
    {
        auto* item = new TMenuItem(this);
        item->SetCaption(caption);
        item->OnClick = [this, caption](TObject*) { Log.push_back(caption); };
        Menu->Items()->Add(item);
        return item;
    }
    // Pops the menu up over the form with keys pressed inside its loop.
    void PopupWithKeys(std::vector<WORD> keys)
    {
        TestHooks::SetWindowShown([keys](TestHooks::TWindowKind kind) {
            EXPECT_EQ(kind, TestHooks::wkPopupMenu);
            for (WORD k : keys)
                TestHooks::KeyToTopWindow(k);
        });
        const TPoint at = ClientToScreen(Point(20, 20));
        Menu->Popup(at.X, at.Y);
        Log.push_back("returned");
    }
};

} // namespace

TEST(PopupMenus, KeysInsideTheRealMenuChooseItsItems)
{
    MenuForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    struct Case {
        const char* name;
        std::vector<WORD> keys;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"Down, Down, Enter: the second item", {VK_DOWN, VK_DOWN, VK_RETURN}, {"&Second", "returned"}},
        {"Esc: nothing", {VK_ESCAPE}, {"returned"}},
        // Down from the second skips the separator and the disabled item, back to the first.
        {"separator and disabled item take no choice", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, {"&First", "returned"}},
        {"the accelerator letter", {'S'}, {"&Second", "returned"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.Log.clear();
        f.PopupWithKeys(c.keys);
        EXPECT_EQ(f.Log, c.log);
    }
    EXPECT_EQ(TestHooks::PopupMenuLog().size(), std::size(cases));
    EXPECT_EQ(TestHooks::PopupMenuLog().back().Menu, f.Menu);
}

TEST(PopupMenus, PostedMessagesRunWhileTheMenuIsOpenAndAnItemFreedMeanwhileLeavesIt)
{
    MenuForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    f.Add("Salt && &Pepper");
    HWND window = AllocateHWnd([&](TMessage&) {
        f.Log.push_back("message");
        delete f.First; // out of the open menu
        f.First = nullptr;
        TestHooks::KeyToTopWindow(VK_DOWN);
        TestHooks::KeyToTopWindow(VK_RETURN);
    });
    TestHooks::SetWindowShown([&](TestHooks::TWindowKind) { PostMessage(window, 0x7001, 0, 0); });
    const TPoint at = f.ClientToScreen(Point(20, 20));
    f.Menu->Popup(at.X, at.Y);
    f.Log.push_back("returned");
    EXPECT_EQ(f.Log, (std::vector<std::string>{"message", "&Second", "returned"}));
    EXPECT_EQ(f.Menu->Items()->Count(), 4);
    DeallocateHWnd(window);

    // "&&" is a literal "&": the letter after the single "&" chooses the item.
    f.Log.clear();
    f.PopupWithKeys({'P'});
    EXPECT_EQ(f.Log, (std::vector<std::string>{"Salt && &Pepper", "returned"}));
}

TEST(PopupMenus, TheAlignmentPlacesTheRealMenuByThePointGiven)
{
    MenuForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    struct Case {
        TPopupAlignment alignment;
        double along; // where along the menu's top edge the point lies: 0 left, 1 right
    };
    for (const Case& c : {Case{paLeft, 0}, Case{paRight, 1}, Case{paCenter, 0.5}}) {
        SCOPED_TRACE(c.alignment);
        f.Menu->SetAlignment(c.alignment);
        QRect shown;
        TestHooks::SetWindowShown([&](TestHooks::TWindowKind) {
            if (QWidget* w = QApplication::activePopupWidget())
                shown = w->geometry();
            TestHooks::KeyToTopWindow(VK_ESCAPE);
        });
        f.Menu->Popup(300, 200);
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown.top(), 200);
        EXPECT_NEAR(shown.left() + c.along * shown.width(), 300, 1) << shown.left() << " " << shown.width();
    }
}

TEST(PopupMenus, ChoosingACheckedItemLeavesCheckedToTheHandler)
{
    MenuForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    f.First->SetChecked(true);
    f.PopupWithKeys({VK_DOWN, VK_RETURN});
    EXPECT_TRUE(f.First->Checked());
    f.First->OnClick = [&](TObject*) { f.First->SetChecked(!f.First->Checked()); };
    TestHooks::ChooseMenuItem(f.First);
    EXPECT_FALSE(f.First->Checked());
    TestHooks::ChooseMenuItem(f.Off); // disabled: nothing
    TestHooks::ChooseMenuItem(f.Line);
    EXPECT_EQ(f.Log, (std::vector<std::string>{"&First", "returned"}));
}

TEST(PopupMenus, APressOutsideTheOpenMenuClosesItAndGoesNoFurther)
{
    MenuForm f;
    f.Show();
    TestHooks::SetActiveForm(&f);
    TestHooks::SetWindowShown([&](TestHooks::TWindowKind) {
        TestHooks::MouseDown(&f, mbLeft, Point(250, 180));
        TestHooks::MouseUp(&f, mbLeft, Point(250, 180));
        EXPECT_FALSE(TestHooks::MenuOpen());
        if (TestHooks::MenuOpen()) // close it rather than hang
            TestHooks::KeyToTopWindow(VK_ESCAPE);
    });
    const TPoint at = f.ClientToScreen(Point(20, 20));
    f.Menu->Popup(at.X, at.Y);
    EXPECT_TRUE(f.Log.empty()) << f.Log.front();
    // The button still clicks afterwards.
    TestHooks::MouseDown(&f, mbLeft, Point(250, 180));
    TestHooks::MouseUp(&f, mbLeft, Point(250, 180));
    EXPECT_EQ(f.Log, std::vector<std::string>{"button"});
}

TEST(PopupMenus, TheAnswerHookTheLogAndHeadlessPopups)
{
    MenuForm f;
    int popups = 0;
    f.Menu->OnPopup = [&](TObject*) { ++popups; };
    f.Menu->SetAlignment(paRight);
    TestHooks::SetPopupMenuAnswer([&](TPopupMenu* menu, TPoint at) {
        EXPECT_EQ(menu, f.Menu);
        EXPECT_EQ(at, Point(5, 6));
        return f.Second;
    });
    f.Menu->Popup(5, 6);
    EXPECT_EQ(f.Log, std::vector<std::string>{"&Second"});
    TestHooks::SetPopupMenuAnswer([&](TPopupMenu*, TPoint) { return f.Off; }); // disabled
    f.Menu->Popup(5, 6);
    TestHooks::SetPopupMenuAnswer(nullptr);
    f.Menu->Popup(7, 8); // headless without an answer: closes at once
    EXPECT_EQ(f.Log, std::vector<std::string>{"&Second"});
    EXPECT_EQ(popups, 3);
    ASSERT_EQ(TestHooks::PopupMenuLog().size(), 3u);
    EXPECT_EQ(TestHooks::PopupMenuLog()[2].At, Point(7, 8));
    EXPECT_EQ(TestHooks::PopupMenuLog()[2].Alignment, paRight);

    // Empty menus and menus of separators only never show, even with the real menu asked for.
    TestHooks::SetWindowShown([](TestHooks::TWindowKind) { ADD_FAILURE() << "an empty menu showed"; });
    TPopupMenu empty;
    empty.Popup(0, 0);
    auto* line = new TMenuItem(&empty);
    line->SetCaption("-");
    empty.Items()->Add(line);
    empty.Popup(0, 0);
}

TEST(PopupMenus, AControlPopsItsMenuUpOnARightReleaseAndForgetsAFreedMenu)
{
    MenuForm f;
    f.Show();
    auto* box = PlaceControl<TPaintBox>(&f, 10, 10, 50, 50);
    f.Button->SetVisible(false);
    box->SetPopupMenu(f.Menu);
    TPoint seen;
    TestHooks::SetPopupMenuAnswer([&](TPopupMenu* menu, TPoint at) {
        seen = at;
        EXPECT_EQ(menu->PopupComponent(), box);
        return f.First;
    });
    TestHooks::MouseDown(&f, mbRight, Point(20, 30));
    EXPECT_TRUE(f.Log.empty()); // not on the press
    TestHooks::MouseUp(&f, mbRight, Point(20, 30));
    EXPECT_EQ(f.Log, std::vector<std::string>{"&First"});
    EXPECT_EQ(seen, box->ClientToScreen(Point(10, 20)));
    f.Menu->SetAutoPopup(false);
    TestHooks::MouseDown(&f, mbRight, Point(20, 30));
    TestHooks::MouseUp(&f, mbRight, Point(20, 30));
    EXPECT_EQ(f.Log.size(), 1u);

    delete f.Menu;
    EXPECT_EQ(box->PopupMenu(), nullptr);
    TestHooks::MouseDown(&f, mbRight, Point(20, 30));
    TestHooks::MouseUp(&f, mbRight, Point(20, 30));
}

TEST(MenuItems, TheTreeChangesAndItemsFreeThemselvesSafely)
{
    TPopupMenu menu;
    TMenuItem* root = menu.Items();
    // Nested submenus ten deep.
    TMenuItem* level = root;
    for (int i = 0; i < 10; ++i) {
        auto* child = new TMenuItem(&menu);
        child->SetCaption("Level " + std::to_string(i));
        level->Add(child);
        level = child;
    }
    EXPECT_EQ(root->Count(), 1);
    EXPECT_EQ(level->Parent()->Parent()->Count(), 1);
    auto* a = new TMenuItem(&menu);
    auto* b = new TMenuItem(&menu);
    root->Insert(0, a);
    root->Add(b);
    EXPECT_EQ(root->IndexOf(a), 0);
    EXPECT_EQ(root->IndexOf(b), 2);
    root->Delete(0); // taken out, not freed
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(root->Count(), 2);
    EXPECT_THROW(root->Items(5), EListError);
    EXPECT_THROW(b->Add(root), EInvalidOperation);

    // An item freed from its own OnClick.
    b->OnClick = [b](TObject*) { delete b; };
    TestHooks::ChooseMenuItem(b);
    EXPECT_EQ(root->Count(), 1);
    TestHooks::RunPostedMessages();
    root->Clear();
    EXPECT_EQ(root->Count(), 0);
    delete a;

    auto* empty = new TMenuItem(&menu);
    empty->SetCaption("");
    root->Add(empty);
    TestHooks::ChooseMenuItem(empty);
}

TEST(PostedMessages, RemovePostedMessageTakesOneQueuedMessageOut)
{
    std::vector<UINT> got;
    HWND window = AllocateHWnd([&](TMessage& m) { got.push_back(m.Msg); });
    ASSERT_TRUE(PostMessage(window, 0x7001, 0, 0));
    ASSERT_TRUE(PostMessage(window, 0x7002, 0, 0));
    ASSERT_TRUE(PostMessage(window, 0x7001, 1, 0));
    EXPECT_EQ(TestHooks::PendingPostedMessages(), 3);
    EXPECT_TRUE(RemovePostedMessage(window, 0x7001));
    EXPECT_EQ(TestHooks::PendingPostedMessages(), 2);
    EXPECT_FALSE(RemovePostedMessage(window, 0x7003));
    EXPECT_FALSE(RemovePostedMessage(nullptr, 0x7002));
    TestHooks::RunPostedMessages();
    EXPECT_EQ(got, (std::vector<UINT>{0x7002, 0x7001}));
    EXPECT_FALSE(RemovePostedMessage(window, 0x7001)); // none queued now
    DeallocateHWnd(window);
}
