#pragma once
// Forms: the top-level windows of the programs, with the class library's names.
//
// Model:
// - A TForm is the top-level windowed control (platform/Controls.h): it owns one
//   top-level QWidget (its window), holds the controls placed on it and paints its
//   surface under them. The widget
//   forwards Qt's events to the form's protected virtual steps (KeyDown, KeyPress,
//   MouseDown, CloseQuery, DoClose, Activate...), always behind the exception barrier
//   (CallProtected, platform/Application.h). Each step's default fires the matching
//   On... event when it is assigned; a derived form overrides a step to add behaviour.
// - Life: the constructor builds the layout (sizes, caption, style); AfterConstruction
//   fires OnCreate; Free fires OnDestroy, then deletes. Application->CreateForm does
//   the first two. The application owns every form (as a form made with the
//   application as its owner): it frees those still alive, last created first, when
//   it ends.
// - Properties are getter/setter pairs: Caption()/SetCaption(), ClientWidth()/
//   SetClientWidth()... Left, Top, Width and Height are the window's frame in screen
//   coordinates; ClientWidth and ClientHeight its inside.
// - Every form has a window handle (Handle) that receives posted and sent messages
//   (platform/Messages.h). WndProc runs the handler registered for the message's
//   number (SetMessageHandler), else DefaultHandler.
// - Keys: a key press gives KeyDown with the virtual-key code (auto-repeat gives
//   further KeyDowns without KeyUps), then KeyPress with the typed character, if any;
//   a release gives KeyUp. Setting Key to 0 in KeyDown or KeyPress swallows it. With
//   KeyPreview on, the form sees every key before the control that has the focus
//   (controls route through PreviewKey...); a form without controls gets them anyway.
// - Closing: Close (also the title bar's close) asks CloseQuery (OnCloseQuery may
//   refuse), then DoClose (OnClose picks the action: caNone, caHide, caFree,
//   caMinimize). Closing the main form ends the program (Application->Terminate).
// - ShowModal shows the form with the other windows blocked and runs a nested message
//   loop (posted messages and timers go on) until ModalResult is set non-zero or the
//   form closes (mrCancel); it then asks CloseQuery/OnClose, hides the form and
//   returns the result.
// - Menu bar: SetMenu shows a main menu's items in a bar above the client area and
//   outside it (ClientWidth, ClientHeight and client coordinates stay; the frame grows by
//   the bar). Alt and an item's letter open its menu before any control sees the
//   character; the key returns once the menu has closed.
#include <map>
#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/Cursors.h"
#include "platform/Keys.h"
#include "platform/Messages.h"
#include "platform/Types.h"

class QWidget;
class QEventLoop;
class TMainMenu;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsStayOnTop };
// The buttons in a form's caption bar.
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = uint8_t;
enum TPosition { poDesigned, poDefault, poScreenCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
public:
    TForm();
    ~TForm() override;

    // Fires OnCreate (an exception from it is shown and swallowed).
    virtual void AfterConstruction();
    // Fires OnDestroy, then deletes the form.
    void Free();
    // Frees the form once the handler that is running returns.
    void Release();

    std::string Caption() const override { return FCaption; }
    void SetCaption(const std::string& caption) override;

    int Left() const override;
    int Top() const override;
    void SetLeft(int left);
    void SetTop(int top);
    // Frame size (the client area plus the border).
    int Width() const override;
    int Height() const override;
    void SetBounds(int left, int top, int width, int height) override;
    // Moves the window's frame to (left, top), also where the window system has it
    // elsewhere than the toolkit thinks (just after a window manager framed it).
    void PlaceFrame(int left, int top);
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    TPoint ClientToScreen(TPoint p) const override;
    TPoint ScreenToClient(TPoint p) const override;
    // The form's own canvas: its surface, under its controls.
    TCanvas& Canvas() { return SurfaceCanvas(); }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle style);
    // A sizeable form offers every button; other borders offer only those asked for.
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons icons);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle style);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition position) { FPosition = position; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool on) { FKeyPreview = on; }
    // The main menu shown in the form's menu bar (null: no bar); free-notified.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* menu);

    bool Visible() const override;
    void SetVisible(bool visible) override;
    // Minimised, maximised or neither. A window that covers the screen keeps covering it
    // when it is made normal (or maximised) again from minimised.
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    void Show();
    void Hide();
    void Close();
    // The form is the platform's active window.
    bool Active() const;
    // The form's focused control, kept while the form is inactive (null: none).
    TWinControl* ActiveControl() const { return FActiveControl; }
    // Focuses the control (when the form is inactive, it is focused once the form is
    // activated).
    void SetActiveControl(TWinControl* control);
    // Gives CancelMode(Sender) to the focused control and to the control holding the
    // mouse capture when that is another one.
    void SendCancelMode(TControl* Sender);
    void SetFocus() override;
    // Brings the form to the front and makes it the active window.
    void BringToFront();

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult result);
    TModalResult ShowModal();
    bool Modal() const { return FModalLoop != nullptr; }

    // Messages by number: handler runs for every message with that number sent or
    // posted to Handle. An empty handler removes the registration.
    void SetMessageHandler(UINT msg, TWndMethod handler);
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // Key routing for controls of the form: with KeyPreview on, a control calls these
    // before handling a key itself (the form may swallow it by zeroing Key).
    void PreviewKeyDown(WORD& Key, TShiftState Shift);
    void PreviewKeyUp(WORD& Key, TShiftState Shift);
    void PreviewKeyPress(char& Key);

    // The client area's widget (for the platform layer).
    QWidget* Widget() const { return FWidget; }
    // The top-level window: the client area's widget, or the window holding it under
    // the menu bar once the form has had a menu.
    QWidget* WindowWidget() const;
    // Alt and a letter go to the form's own key path for its menu bar rather than to
    // the toolkit's shortcuts (for the platform layer).
    bool MenuTakesKey(WORD key, TShiftState shift) const;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnResize;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // Leaves the modal loop without a result (for the platform layer: Terminate).
    void EndModalLoop();

    // For the platform layer: a control's window got the keyboard focus (the form's
    // focused control changes: OnExit, OnEnter, FocusChanged), and a control leaves.
    void FocusArrived(TWinControl* control);
    // Alt and a letter opening a menu of the form's menu bar: true when one opened.
    bool MenuDialogChar(char c, TShiftState shift);
    void ControlLeaving(TWinControl* control);
    // A control is about to be disabled or hidden: when it is or holds the focused
    // control, the form keeps the keyboard with no focused control (OnExit fires, keys
    // go to the form and press nothing, the next Tab starts at the top of the tab order).
    void DefocusControl(TWinControl* control);

    // The widget's events arrive here (for the platform layer).
    void HandleKey(bool press, WORD key, char typed, TShiftState shift, bool autoRepeat);
    void HandleCloseRequest();
    void HandleShown(bool shown);
    void HandleActivation(bool active);
    void HandleResize();

protected:
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void Deactivate();
    virtual void Resize();
    virtual bool CloseQuery();
    virtual void DoClose(TCloseAction& Action);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Puts the client area's widget into a window of its own with room for a menu bar.
    void MakeMenuWindow();
    void ShowMenuBar(bool show);
    // Places the window's frame (a window without a border: its client area).
    void MoveTo(int left, int top);
    void ApplyWindowFlags();
    static void AwaitFrame(QWidget* window);
    void UpdateSizeConstraints();
    void ResizeClient(int width, int height);

    QWidget* FWidget = nullptr;
    QWidget* FWindow = nullptr; // the window around FWidget, once the form has had a menu
    TMainMenu* FMenu = nullptr;
    std::map<UINT, TWndMethod> FMessageHandlers;
    std::string FCaption;
    TBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    bool FKeyPreview = false;
    bool FShownOnce = false;
    TModalResult FModalResult = mrNone;
    QEventLoop* FModalLoop = nullptr;
    TWinControl* FActiveControl = nullptr;
};

// Modal loops running now (modal forms and message boxes), innermost counted too.
int ModalLoopsRunning();
// Counts one modal loop for its lifetime (for the platform layer).
class TModalLoopCount {
public:
    TModalLoopCount();
    ~TModalLoopCount();
    TModalLoopCount(const TModalLoopCount&) = delete;
    TModalLoopCount& operator=(const TModalLoopCount&) = delete;
};

// Private message numbers the platform uses for its own forms' bookkeeping.
constexpr UINT CM_RELEASE = 0xB021;

// The class library's Screen: the size and depth of the screen that holds the main
// window, and the registry of cursors by id (usable before the application object
// exists).
struct TScreen {
    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return 96; }
    // Bits per pixel as the window system reports them; the environment variable
    // TP_DESKTOP_DEPTH (16, 24 or 32) overrides it for a whole run.
    int BitsPerPixel() const;
    void SetCursors(TCursor id, HCURSOR cursor);
    // The cursor registered for the id, or null.
    HCURSOR Cursors(TCursor id) const;
};
extern TScreen* Screen;

// The message every form receives when the screen that holds the main window changes
// its size or depth: wParam the new depth, lParam width | height << 16.
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
// Posts WM_DISPLAYCHANGE with these values to every form (for the platform layer).
void BroadcastDisplayChange(int depth, TSize size);

namespace TestHooks {
// The hot spot of the cursor registered for the id ((0, 0) when none is).
TPoint CursorHotSpot(TCursor id);
} // namespace TestHooks
