#include "platform/Menus.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include <algorithm>

#include "platform/Application.h"
#include "platform/MenusQt.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"

struct TMenuItemPrivate {
    QPointer<QAction> Action;
    QPointer<QMenu> Menu; // for an item with children, made when first shown
    QPointer<QWidget> Bar; // for the root of a form's main menu: the form's menu bar
};

namespace {

struct MenuHooks {
    std::function<TMenuItem*(TPopupMenu*, TPoint)> Answer;
    std::vector<TestHooks::TPopupMenuRecord> Log;
};

MenuHooks& Hooks()
{
    static MenuHooks h;
    return h;
}

const TestHooks::TResetStep ResetMenus([] {
    Hooks().Answer = nullptr;
    Hooks().Log.clear();
});

bool Selectable(const TMenuItem* item)
{
    return item->Visible() && item->Enabled() && !item->IsLine() && item->Count() == 0;
}

void SyncAction(TMenuItem* item)
{
    QAction* a = item->Private().Action;
    if (!a)
        return;
    a->setSeparator(item->IsLine());
    a->setText(ToQString(item->Caption()));
    a->setCheckable(item->Checked());
    a->setChecked(item->Checked());
    a->setEnabled(item->Enabled());
    a->setVisible(item->Visible());
}

void FillWidget(QWidget* widget, TMenuItem* item)
{
    for (QAction* a : widget->actions())
        widget->removeAction(a);
    for (int i = 0; i < item->Count(); ++i)
        widget->addAction(MenuAction(item->Items(i)));
}

void FillMenu(TMenuItem* item)
{
    if (QMenu* menu = item->Private().Menu)
        FillWidget(menu, item);
    if (QWidget* bar = item->Private().Bar)
        FillWidget(bar, item);
}

// The item is one of a menu bar's own menus.
bool OnMenuBar(const TMenuItem* item)
{
    const TMenuItem* root = item->Parent();
    return root && !root->Parent() && root->Private().Bar;
}

// Takes an action out of every menu showing it and frees it once the handler that
// may be running on it has returned.
void Retire(QAction* action)
{
    if (!action)
        return;
    action->disconnect();
    for (QObject* o : action->associatedObjects())
        if (auto* w = qobject_cast<QWidget*>(o))
            w->removeAction(action);
    action->deleteLater();
}

} // namespace

QAction* MenuAction(TMenuItem* item)
{
    auto& p = item->Private();
    if (!p.Action) {
        p.Action = new QAction();
        QObject::connect(p.Action.data(), &QAction::triggered, p.Action.data(), [item] {
            // Choosing a checked item leaves Checked to the handler.
            if (QAction* a = item->Private().Action)
                a->setChecked(item->Checked());
            CallProtected([item] { item->Click(); });
        });
        SyncAction(item);
    }
    if (item->Count() > 0)
        p.Action->setMenu(ItemMenu(item));
    else
        p.Action->setMenu(static_cast<QMenu*>(nullptr));
    return p.Action;
}

QMenu* ItemMenu(TMenuItem* item)
{
    auto& p = item->Private();
    if (!p.Menu) {
        p.Menu = new QMenu();
        p.Menu->setAttribute(Qt::WA_NoMouseReplay);
        QObject::connect(p.Menu.data(), &QMenu::aboutToShow, p.Menu.data(), [item] {
            if (OnMenuBar(item))
                TestHooks::NotifyWindowShown(TestHooks::wkMenuBarMenu);
        });
        FillMenu(item);
    }
    return p.Menu;
}

void SetMenuBarOf(TMenuItem* root, QWidget* bar)
{
    auto& p = root->Private();
    if (p.Bar && p.Bar != bar)
        for (QAction* a : p.Bar->actions())
            p.Bar->removeAction(a);
    p.Bar = bar;
    FillMenu(root);
}

void OpenMenuBarItem(QWidget* bar, TMenuItem* item)
{
    auto* menuBar = qobject_cast<QMenuBar*>(bar);
    if (!menuBar || !item)
        return;
    if (item->Count() == 0) {
        MenuAction(item)->trigger();
        return;
    }
    // Headless, with nobody to act inside it, the menu would never close.
    if (TestHooks::Headless() && !TestHooks::WindowShownHookSet())
        return;
    QPointer<QMenu> menu = ItemMenu(item);
    QPointer<QWidget> focus = QApplication::focusWidget();
    // From a clean state: the bar may still mark the menu that closed last.
    if (menuBar->activeAction())
        menuBar->setActiveAction(nullptr);
    menuBar->setActiveAction(MenuAction(item));
    if (!menu || !menu->isVisible())
        return;
    // As the window system's menu loop: the key that opened the menu returns once it
    // has closed, after the chosen item's OnClick ran.
    QEventLoop loop;
    QObject::connect(menu.data(), &QMenu::aboutToHide, &loop, &QEventLoop::quit);
    QObject::connect(menu.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    // The keyboard goes back to where it was, not to the bar.
    if (menuBar && QApplication::focusWidget() == menuBar) {
        if (focus)
            focus->setFocus(Qt::MenuBarFocusReason);
        else
            menuBar->clearFocus();
    }
}

// ---------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FPriv(std::make_unique<TMenuItemPrivate>()) {}

TMenuItem::~TMenuItem()
{
    if (FParent)
        FParent->Remove(this);
    while (!FItems.empty())
        delete FItems.back();
    Retire(FPriv->Action);
    if (FPriv->Menu)
        FPriv->Menu->deleteLater();
}

void TMenuItem::Changed() { SyncAction(this); }

void TMenuItem::ChildrenChanged()
{
    FillMenu(this);
    if (FPriv->Action)
        MenuAction(this); // gains or loses its submenu
}

void TMenuItem::SetCaption(const std::string& caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    Changed();
}

void TMenuItem::SetChecked(bool checked)
{
    if (checked == FChecked)
        return;
    FChecked = checked;
    Changed();
}

void TMenuItem::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    Changed();
}

void TMenuItem::SetVisible(bool visible)
{
    if (visible == FVisible)
        return;
    FVisible = visible;
    Changed();
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("Menu index out of range (" + std::to_string(index) + ")");
    return FItems[static_cast<size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item || item == this)
        return;
    for (const TMenuItem* p = this; p; p = p->FParent)
        if (p == item)
            throw EInvalidOperation("A menu item cannot hold itself");
    if (item->FParent)
        item->FParent->Remove(item);
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    ChildrenChanged();
}

void TMenuItem::Delete(int index) { Remove(Items(index)); }

void TMenuItem::Remove(TMenuItem* item)
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    item->FParent = nullptr;
    if (QAction* a = item->Private().Action) {
        if (FPriv->Menu)
            FPriv->Menu->removeAction(a);
        if (FPriv->Bar)
            FPriv->Bar->removeAction(a);
    }
    ChildrenChanged();
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        delete FItems.back();
}

// ---------------------------------------------------------------------------------------
// Menus

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {}

TMenu::~TMenu() { delete FItems; }

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* component)
{
    if (component == FPopupComponent)
        return;
    if (FPopupComponent)
        RemoveFreeNotification(FPopupComponent);
    FPopupComponent = component;
    if (component)
        FreeNotification(component);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int X, int Y)
{
    auto& hooks = Hooks();
    hooks.Log.push_back({this, Point(X, Y), FAlignment});
    if (OnPopup && !CallProtected([this] { OnPopup(this); }))
        return;
    if (auto answer = hooks.Answer) {
        TMenuItem* chosen = nullptr;
        CallProtected([&] { chosen = answer(this, Point(X, Y)); });
        if (chosen && Selectable(chosen))
            TestHooks::ChooseMenuItem(chosen);
        return;
    }
    if (!QApplication::instance() || (TestHooks::Headless() && !TestHooks::WindowShownHookSet()))
        return;
    TMenuItem* root = Items();
    bool any = false;
    for (int i = 0; i < root->Count() && !any; ++i)
        any = root->Items(i)->Visible() && !root->Items(i)->IsLine();
    if (!any)
        return; // nothing to choose: no menu shows
    QPointer<QMenu> menu = ItemMenu(root);
    const int width = menu->sizeHint().width();
    int left = X;
    if (FAlignment == paRight)
        left = X - width;
    else if (FAlignment == paCenter)
        left = X - width / 2;
    TestHooks::NotifyWindowShown(TestHooks::wkPopupMenu);
    menu->exec(QPoint(left, Y));
}

// ---------------------------------------------------------------------------------------

namespace TestHooks {

void SetPopupMenuAnswer(std::function<TMenuItem*(TPopupMenu*, TPoint)> answer)
{
    Hooks().Answer = std::move(answer);
}

const std::vector<TPopupMenuRecord>& PopupMenuLog() { return Hooks().Log; }

bool MenuOpen() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }

void ChooseMenuItem(TMenuItem* item)
{
    if (!item || !Selectable(item))
        return;
    MenuAction(item)->trigger();
}

} // namespace TestHooks
