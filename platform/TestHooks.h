#pragma once
// Hooks for headless tests (QT_QPA_PLATFORM=offscreen): answer message boxes and
// modal forms, report the application active, place the pointer, hold keys, inject
// key and mouse events through the same path real events take, and run posted
// messages until none is left. Only tests call these; the programs never do.
#include <functional>
#include <optional>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Keys.h"

namespace TestHooks {

// Message boxes: with an answer function set, no box is shown; the function gets each
// request and returns the answer. Every request is logged either way.
using TMessageBoxAnswer = std::function<TModalResult(const TMessageBoxRequest&)>;
void SetMessageBoxAnswer(TMessageBoxAnswer answer);
// Answers every box with the same result (mrOk answers a box without OK with its
// first button).
void AnswerMessageBoxesWith(TModalResult result);
const std::vector<TMessageBoxRequest>& MessageBoxLog();
void ClearMessageBoxLog();

// Modal forms: called inside the modal loop once it runs (set ModalResult or inject
// keys there to end it).
void SetModalStarted(std::function<void(TForm*)> started);

// The application reports itself active (or not) whatever the window system says;
// nullopt gives the decision back. A change fires the application's OnActivate or
// OnDeactivate as a real one would.
void SetApplicationActive(std::optional<bool> active);

// The form that counts as the platform's active window; it gets its OnActivate (and
// the previous one its OnDeactivate) as from the window system. nullptr: no window of
// the program is active.
void SetActiveForm(TForm* form);
// Gives the decision back to the window system.
void ReleaseActiveForm();

// The screen size Screen reports (the offscreen screen is 800 x 600); nullopt: the real one.
void SetScreenSize(std::optional<TSize> size);

// The depth Screen->BitsPerPixel reports (over TP_DESKTOP_DEPTH); nullopt: the real one.
void SetDesktopDepth(std::optional<int> depth);
// Sends every form the display-change message as the window system's change would, and
// makes the depth hook report depth from then on.
void TriggerDisplayChange(int depth, TSize size);

// The pointer's screen position as GetCursorPos reports it; nullopt: the real one.
void SetCursorPos(std::optional<TPoint> position);

// Holds a key or mouse button (VK_LBUTTON...) down, or releases it, for GetAsyncKeyState.
void SetKeyState(int keyCode, bool down);

// Key events to the form's focused window, built as the window system builds them and
// mapped like real ones (so KeyPreview, characters, auto-repeat and swallowing apply).
// Like the window system's, key and mouse events for a window that a modal window
// blocks are dropped.
void KeyDown(TForm* form, WORD key, TShiftState shift = {}, bool autoRepeat = false);
void KeyUp(TForm* form, WORD key, TShiftState shift = {}, bool autoRepeat = false);
// Press and release.
void KeyStroke(TForm* form, WORD key, TShiftState shift = {});

// Mouse events at a client position of a top-level window (a form or a pop-up window),
// through the path real events take: an open menu and a window holding the mouse get
// them first.
void MouseDown(TWinControl* window, TMouseButton button, TPoint at, TShiftState shift = {});
void MouseUp(TWinControl* window, TMouseButton button, TPoint at, TShiftState shift = {});
void MouseMove(TWinControl* window, TPoint at, TShiftState shift = {});
// The second press of a double click (after a press and a release).
void MouseDoubleClick(TWinControl* window, TMouseButton button, TPoint at, TShiftState shift = {});

// Runs inject (which injects input with the hooks above) the next time the application
// handles its events, as input the window system queued while the program was busy.
void QueueInput(std::function<void()> inject);

// Real menus, file dialogs and message boxes: called once a real pop-up menu, menu-bar
// menu, file dialog or message box has opened and its loop runs, so that a test can act
// inside it (with KeyToTopWindow, or the mouse hooks, which reach an open menu first as
// the window system's grab does). With it set, message boxes that no answer function
// answers open for real, headless too.
enum TWindowKind { wkPopupMenu, wkMenuBarMenu, wkFileDialog, wkMessageBox };
void SetWindowShown(std::function<void(TWindowKind)> shown);
// A key press and release to the program's topmost window (an open menu, a file dialog,
// else the active form's focused control) through Qt's path, shortcuts included.
void KeyToTopWindow(WORD key, TShiftState shift = {});

// The window system's id of the form's top-level window (an X window id under xcb), for
// reading its place back with the window system's own tools.
unsigned long NativeWindowId(TForm* form);

// Handles posted messages (and other pending events) until no posted message is left,
// for at most maxRounds passes. True when the queue ended empty.
bool RunPostedMessages(int maxRounds = 1000);
int PendingPostedMessages();

// Every hook back to its default, the message box log emptied, the application's
// Terminated flag cleared and its events unassigned: a clean start for the next test.
void Reset();

// A step Reset runs as well: each platform source with hooks or globals of its own
// defines one at namespace scope (const TestHooks::TResetStep reset([] { ... });).
struct TResetStep {
    explicit TResetStep(std::function<void()> step);
};

// For the platform layer.
// Runs without a window system (the offscreen platform).
bool Headless();
bool WindowShownHookSet();
// Calls the SetWindowShown hook from the loop about to run.
void NotifyWindowShown(TWindowKind kind);
const std::optional<TForm*>& ActiveFormOverride();
const std::optional<bool>& ApplicationActiveOverride();
const std::optional<TSize>& ScreenSizeOverride();
const std::optional<int>& DesktopDepthOverride();
void NotifyModalStarted(TForm* form);
void FormGone(TForm* form);
bool AnswerMessageBox(const TMessageBoxRequest& request, TModalResult& answer);

} // namespace TestHooks
