#pragma once
// The Qt side of menus, for the platform layer's own sources only (this header names Qt
// types; nothing outside platform/ includes it).
class QAction;
class QMenu;
class QWidget;
class TMenuItem;

// The action that shows the item (made when first asked for, kept in step with it).
QAction* MenuAction(TMenuItem* item);
// The menu that shows an item's children (made when first asked for).
QMenu* ItemMenu(TMenuItem* item);
// Shows the root's items in a menu bar (null: in none), kept in step with them.
void SetMenuBarOf(TMenuItem* root, QWidget* bar);
// Opens the bar's menu of one of its items (an item without children is chosen) and
// returns once the menu has closed.
void OpenMenuBarItem(QWidget* bar, TMenuItem* item);
