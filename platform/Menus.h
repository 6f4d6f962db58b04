#pragma once
// Menus: items in a tree, pop-up menus and the form's main menu, over Qt's menus.
//
// - TMenuItem: Caption ("&" marks the accelerator, "&&" is a literal "&", "-" alone is a
//   separator line), Checked (shows a check mark; choosing the item never changes it:
//   its handler does), Enabled, Visible, Tag and OnClick. An item with children is a
//   submenu. Changes show at once, also in an open menu; freeing an item takes it out
//   of its menu. A parent frees its children with it (Clear frees them too; Delete and
//   Remove only take an item out).
// - TPopupMenu: Popup(X, Y) shows the menu at a screen point and returns when it
//   closes, after the chosen item's OnClick has run (a modal loop: posted messages and
//   timers go on meanwhile). A press that closes the menu by landing outside it goes
//   no further.
// - Every OnClick and OnPopup runs behind the exception barrier.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Types.h"

struct TMenuItemPrivate;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner = nullptr);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    // A separator line (Caption "-").
    bool IsLine() const { return FCaption == "-"; }

    // What choosing the item does: fires OnClick.
    virtual void Click();
    TNotifyEvent OnClick;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index outside 0..Count - 1.
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const { return FParent; }
    int IndexOf(const TMenuItem* item) const;
    // Appends or inserts an item (taking it out of the menu it was in).
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes an item out without freeing it.
    void Delete(int index);
    void Remove(TMenuItem* item);
    // Frees every child.
    void Clear();

    // For the platform layer.
    TMenuItemPrivate& Private() const { return *FPriv; }

private:
    void Changed();
    void ChildrenChanged();
    std::unique_ptr<TMenuItemPrivate> FPriv;
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
};

// A menu: the root item whose children are the menu's items.
class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner = nullptr);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems; }

private:
    TMenuItem* FItems = nullptr;
};

enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner = nullptr);
    ~TPopupMenu() override;

    // Where Popup's point is on the menu: its top-left, top-right or top-centre corner.
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment alignment) { FAlignment = alignment; }
    // A control naming this menu pops it up on a right-button release over it.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool on) { FAutoPopup = on; }
    // The control the menu was last popped up for (free-notified).
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* component);

    // Shows the menu at a screen point; returns when it has closed.
    virtual void Popup(int X, int Y);
    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
};

// The form's menu bar (TForm::SetMenu).
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner = nullptr);
};

namespace TestHooks {
// Pop-up menus: with an answer set, no menu is shown and Popup clicks the item answered
// (null: none). Every pop-up is logged either way. Headless without an answer (and
// without SetWindowShown) a menu closes at once choosing nothing.
void SetPopupMenuAnswer(std::function<TMenuItem*(TPopupMenu*, TPoint)> answer);
struct TPopupMenuRecord {
    TPopupMenu* Menu = nullptr;
    TPoint At;
    TPopupAlignment Alignment = paLeft;
};
const std::vector<TPopupMenuRecord>& PopupMenuLog();
// A menu (pop-up or from the menu bar) is open.
bool MenuOpen();
// Triggers an item through its own menu action, as a click on it does (nothing for a
// disabled or hidden item, a separator or a submenu).
void ChooseMenuItem(TMenuItem* item);
} // namespace TestHooks
