#pragma once
// Qt events handled the same way by every window of the platform, for the platform
// layer's own sources only (this header names Qt types).
class QEvent;
class TWinControl;

// Drag-and-drop of files onto a window: accepts a drag of local files while the window
// accepts files, and hands a drop to its FilesDropped. True when the event was handled.
bool DeliverFileDrop(TWinControl* control, QEvent* event);
