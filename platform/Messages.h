#pragma once
// Private window messages: a number with two parameters, posted to a window from
// any thread and handled on the UI thread, in the order they were posted (one queue
// for all windows), also inside ProcessMessages and inside nested modal loops.
//
// A window here is anything with a handle: every form has one (TForm::Handle), and
// AllocateHWnd makes a hidden one that only receives messages. A message for a
// window that no longer exists is dropped. An exception escaping a handler goes to
// the application's exception handler (a message box) and the program goes on.
#include <functional>

#include "platform/Types.h"

// The window message of the system menu, and its command that moves a window as a drag
// on its caption does (a form handles it by letting the window system move it).
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_DRAGMOVE = 0xF012;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// The window procedure of a window: receives every message sent or posted to it.
using TWndMethod = std::function<void(TMessage&)>;

// Queues the message for the window. Thread-safe. False when the window does not
// exist or no application is running (the message is then not queued).
bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Takes the first queued message of that number for that window out of the queue
// (thread-safe); true when one was removed.
bool RemovePostedMessage(HWND window, UINT msg);

// Calls the window's procedure at once and returns its Result (UI thread only);
// 0 when the window does not exist.
LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// A hidden window whose procedure is the given method; DeallocateHWnd destroys it
// (messages still queued for it are then dropped). UI thread only.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);

bool IsWindow(HWND window);

// Throws away the keyboard and mouse-button input that has arrived and not been handled
// yet, as after a wait that handled no messages: a click made meanwhile must not act on
// what the program shows now. Posted messages, timers and paints that were waiting are
// handled as usual, and pointer moves still update what is under the pointer; input of
// a modal loop that one of them opens is not touched. UI thread only.
void DiscardPendingInput();

// Default handling of a message nobody handles: Result 0.
inline void DefWindowProc(TMessage& message) { message.Result = 0; }
