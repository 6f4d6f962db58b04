#pragma once
// The Qt side of menus, for the platform layer's own sources only (this header names Qt
// types; nothing outside platform/ includes it).
class QAction;
class QMenu;
class TMenuItem;

// The action that shows the item (made when first asked for, kept in step with it).
QAction* MenuAction(TMenuItem* item);
// The menu that shows an item's children (made when first asked for).
QMenu* ItemMenu(TMenuItem* item);
