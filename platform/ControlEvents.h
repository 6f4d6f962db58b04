#pragma once
// Qt events handled the same way by every window of the platform, for the platform
// layer's own sources only (this header names Qt types).
class QEvent;
class TForm;
class TWinControl;

// Drag-and-drop of files onto a window: accepts a drag of local files while the window
// accepts files, and hands a drop to its FilesDropped. True when the event was handled.
bool DeliverFileDrop(TWinControl* control, QEvent* event);
// A shortcut override of Alt and a letter that the form's menu bar takes: accepted, so
// that the key comes to the window's key path instead of the toolkit's shortcuts. True
// when the event was taken.
bool TakeMenuShortcut(TForm* form, QEvent* event);
