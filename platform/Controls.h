#pragma once
// Controls: the class library's control vocabulary over Qt widgets.
//
// - TControl: a rectangle on a parent (a TWinControl) with bounds, visibility,
//   enabled state, colour, font, caption, alignment and mouse events. Setters act only
//   when the value changes; events fire only when assigned. Controls are components:
//   the owner frees them; the parent only places and paints them.
// - TWinControl: a windowed control; it owns one QWidget, child of its parent's. It
//   has a window handle (posted and sent messages), keyboard focus and key events,
//   children in z-order (Controls/ControlCount, last on top) and a retained surface:
//   a 32-bit picture of its client area that Paint draws on. The surface is drawn
//   again only when invalidated (Invalidate, a change of size, Repaint); Qt's own
//   repaints just show it. So a canvas may be drawn on outside Paint, as on the
//   original, and what was drawn stays until the next invalidation.
// - TGraphicControl: a window-less control. It draws into its parent's surface
//   within its bounds (Canvas is a view of that surface) and gets its mouse events
//   through the parent: a press captures the mouse for the control until the release;
//   enter and leave follow the pointer.
// - TCustomControl: a windowed control with a Canvas and a virtual Paint.
// - Mouse rules: a press goes to the topmost visible, enabled control under the
//   pointer whose HitTest accepts the point (a point it refuses goes to what lies
//   below); moves and the release go to the control that got the press. Click fires
//   on a left release inside after a left press inside (csClickEvents), after
//   MouseUp. The second press of a double click reaches MouseDown with ssDouble
//   (whatever the control style); with csDoubleClicks it also fires DblClick. Its
//   release clicks like any other.
// - Keys: the focused windowed control gets them after its form's key preview;
//   Enter presses the form's Default button and Esc its Cancel button unless a
//   handler swallowed the key (Key := 0).
// - Every handler runs behind the exception barrier (CallProtected).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Keys.h"
#include "platform/Messages.h"
#include "platform/Types.h"

class QEvent;
class QWidget;
class TPopupControl;
class TWinControl;
class TForm;
class TPopupMenu;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

using TControlStyle = uint32_t;
constexpr TControlStyle csAcceptsControls = 0x01;
constexpr TControlStyle csCaptureMouse = 0x02;
constexpr TControlStyle csClickEvents = 0x08;
constexpr TControlStyle csDoubleClicks = 0x20;
constexpr TControlStyle csOpaque = 0x40;
constexpr TControlStyle csReplicatable = 0x100;

// Cursor ids: the built-in ones below show the window system's shapes; any other id
// shows the cursor registered for it with Screen->SetCursors (platform/Forms.h), or the
// arrow when none is.
using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// How a mouse event reached a control (for the platform layer).
enum TMouseEventKind : uint8_t { meDown, meUp, meMove, meDouble };

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    // The form the control sits on (itself for a form), or nullptr.
    TForm* ParentForm() const;

    virtual int Left() const { return FLeft; }
    virtual int Top() const { return FTop; }
    virtual int Width() const { return FWidth; }
    virtual int Height() const { return FHeight; }
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    virtual TPoint ClientToScreen(TPoint p) const;
    virtual TPoint ScreenToClient(TPoint p) const;
    // Where the client area starts inside the bounds (inside a frame drawn by the control).
    virtual TPoint ClientOrigin() const { return Point(0, 0); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);

    virtual bool Visible() const { return FVisible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    // The font; after changing its fields call FontChanged (or use SetFont).
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& font);
    virtual std::string Caption() const { return FCaption; }
    virtual void SetCaption(const std::string& caption);
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    // The hint as it was set; a CR LF or a lone CR in it shows as a line break.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool on);
    // Taking the parent's font, colour or ShowHint (off by default): while on, the
    // control follows the parent's value when it gets a parent and whenever the parent's
    // changes (passed down through children that have it on too). Setting the control's
    // own value turns the flag off.
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool on);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool on);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool on);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor cursor);
    // The cursor shown over a client point, asked on every pointer move over the control
    // (crDefault: its window's own cursor).
    virtual TCursor CursorAt(int X, int Y) { (void)X; (void)Y; return Cursor(); }

    TControlStyle ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;

    // The menu a right-button release over the control pops up at the pointer (when
    // its AutoPopup is on); free-notified.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);

    // Marks the control for painting; Repaint paints it at once.
    virtual void Invalidate();
    void Repaint();
    void Refresh() { Repaint(); }
    void Update();
    void BringToFront();
    void SendToBack();

    // False for points (client coordinates) that let the mouse through to what lies below.
    virtual bool HitTest(int X, int Y) const;
    // The pointer is over the control (between MouseEnter and MouseLeave).
    bool MouseInside() const { return FMouseInside; }
    // The control holds the mouse (from a press to the release).
    bool MouseCapture() const;
    void SetMouseCapture(bool capture);

    // Fires OnClick (what a click does); public so that code can click a control.
    virtual void Click();
    // True when the control answers Enter (VK_RETURN) or Esc (VK_ESCAPE) pressed
    // anywhere on its form: a Default or Cancel button.
    virtual bool WantsDialogKey(WORD Key) const { (void)Key; return false; }
    // After every change of the form's focused control (after OnExit and OnEnter ran),
    // every control on the form gets this with the newly focused control (null: none).
    virtual void FocusChanged(TWinControl* NewFocus) { (void)NewFocus; }
    // An accelerator or a character the focused control does not take (see
    // TWinControl::ControlKey); true when the control used it (the key goes no further).
    virtual bool DialogChar(char Key, TShiftState Shift) { (void)Key; (void)Shift; return false; }
    // The form cancels its modes (a press elsewhere, the form deactivated, moved,
    // resized, hidden or closed): Sender is the control pressed, or null.
    virtual void CancelMode(TControl* Sender) { (void)Sender; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // For the platform layer: a mouse event in client coordinates, and the pointer
    // entering or leaving.
    void HandleMouse(TMouseEventKind kind, TMouseButton button, TShiftState shift, int x, int y);
    void HandleMouseEnter();
    void HandleMouseLeave();
    // For the platform layer: draws a window-less control into its parent's surface.
    virtual void PaintControl(HDC parentSurface, TRect parentClip) { (void)parentSurface; (void)parentClip; }
    // The paint message with a context: draws the control itself (not its children) into
    // dc at dc's origin and clip: a windowed control its background (unless csOpaque)
    // and its Paint, a window-less one its Paint, with its Canvas attached to dc for the
    // call.
    virtual void PaintWithDC(HDC dc) { (void)dc; }
    virtual bool Windowed() const { return false; }

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void DblClick();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void EnabledChanged() { Invalidate(); }
    virtual void VisibleChanged() {}
    virtual void ColorChanged() { Invalidate(); }
    virtual void FontChanged() { Invalidate(); }
    virtual void TextChanged() { Invalidate(); }
    // After the bounds changed.
    virtual void BoundsChanged() {}
    // Applies bounds to the window (windowed controls).
    virtual void UpdateBounds() {}

    TWinControl* FParent = nullptr;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TWinControl;
    // Bounds set by the parent's alignment (no new alignment pass).
    void SetBoundsAligned(int left, int top, int width, int height);
    // The parent's font, colour and ShowHint, for the flags that are on.
    void TakeFromParent();
    void FontFromParent(const TFont& font);
    void ColorFromParent(TColor color);
    void ShowHintFromParent(bool on);
    void ApplyHint();
    bool FParentFont = false;
    bool FParentColor = false;
    bool FParentShowHint = false;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    bool FShowHint = false;
    bool FPressedInside = false;
    bool FMouseInside = false;
    TColor FColor = clBtnFace;
    TFont FFont;
    std::string FCaption;
    std::string FHint;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
};

// A window-less control: draws on its parent's surface.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    // A canvas over the control's part of the parent's surface (clipped to it); what is
    // drawn outside Paint shows at once and stays until the parent paints again.
    TCanvas& Canvas();
    void Invalidate() override;
    void PaintControl(HDC parentSurface, TRect parentClip) override;
    void PaintWithDC(HDC dc) override;

protected:
    // Draws the control on Canvas (coordinates relative to the control).
    virtual void Paint() {}

private:
    void AttachCanvas(HDC parentSurface);
    TCanvas FCanvas;
    HDC FPaintDC = nullptr; // the context of PaintWithDC while it runs
    TDeviceContextPtr FView;
    HDC FViewOf = nullptr;
    TRect FViewRect{};
};

struct TWinControlPrivate;

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    void SetParent(TWinControl* parent) override;
    bool Windowed() const override { return true; }

    HWND Handle() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Sends a message to the control's window procedure at once.
    LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    // Children in z-order: the last is on top.
    TControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool on);
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int order) { FTabOrder = order; }
    virtual void SetFocus();
    bool Focused() const;
    bool CanFocus() const;

    void Invalidate() override;
    // The surface as it stands after painting what is invalid (for presentation code).
    HDC Surface();
    // Paints the control and its children into the canvas at (x, y).
    void PaintTo(TCanvas& canvas, int x, int y);
    void PaintWithDC(HDC dc) override;
    // Lays out the children with an Align other than alNone inside `rect` (the client
    // rectangle), in z-order: top, bottom, left, right, then client.
    virtual void AlignControls(TControl* control, TRect& rect);
    void Realign();

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // The control takes typed characters (native edits and lists do); a character typed
    // while a control that does not take them is focused is offered as a dialog
    // character.
    virtual bool WantsCharacters() const;
    // A navigation key (Ctrl+Tab, Ctrl+Shift+Tab) pressed while this control or one
    // inside it has the focus, offered from the focused control up its parents after the
    // key handlers; true when the control used it (the key goes no further).
    virtual bool DialogKey(WORD Key, TShiftState Shift) { (void)Key; (void)Shift; return false; }

    // Dropped files: while on, the window takes drags of local files and hands each drop
    // to FilesDropped (the paths in UTF-8, in the order given, each whole; entries that
    // are not local files are left out, and a drop with none delivers nothing).
    bool AcceptFiles() const;
    void SetAcceptFiles(bool on);
    virtual void FilesDropped(const std::vector<std::string>& names) { (void)names; }

    // Whether the control and its children may take the keyboard focus (default true);
    // with false Tab skips them and a click on them leaves the focus where it is.
    bool TakesFocus() const;
    void SetTakesFocus(bool on);

    // For the platform layer.
    QWidget* Widget() const;
    // A key for this control: the form's preview, dialog keys, then the control.
    // Returns whether the key was swallowed.
    bool ControlKey(bool press, WORD key, char typed, TShiftState shift, bool autoRepeat);
    // A mouse event at a client point: routed to a window-less child or the control.
    // True when a window-less child got it.
    bool DispatchMouse(TMouseEventKind kind, TMouseButton button, TShiftState shift, int x, int y);
    void DispatchLeave();
    // The window gained or lost the keyboard focus; windowChange: because its window was
    // activated or deactivated (the form's focused control stays).
    void HandleFocus(bool in, bool windowChange);
    // Paints what is invalid into the surface (the widget's paint event calls it).
    void RenderSurface();
    void PaintEventShow(QWidget* widget);
    // The window-less child under a client point, or nullptr.
    TControl* ControlAtPos(int x, int y) const;
    void ChildRemoved(TControl* child);
    // The cursor the window shows now.
    TCursor ShownCursor() const;
    // The pop-up window this control is (platform/PopupWindows.h), or null.
    virtual TPopupControl* AsPopup() { return nullptr; }
    // The hint shown with the pointer at a client point (Qt's text).
    std::string HintTextAt(int x, int y) const;

protected:
    // A control over a given widget (forms, native controls); the control owns it.
    TWinControl(TComponent* AOwner, QWidget* widget, bool customPainted, bool topLevel);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // A key press that went through the key handlers and was not swallowed: original is
    // the character the key typed, typed what the handlers left of it. True when the
    // control took care of it (the native window gets nothing).
    virtual bool TypedKey(WORD key, char original, char typed, TShiftState shift)
    {
        (void)key; (void)original; (void)typed; (void)shift;
        return false;
    }
    // OnEnter and OnExit: only when the form's focused control changes. An exception
    // escaping DoExit cancels the move (the focus stays or goes back).
    virtual void DoEnter();
    virtual void DoExit();
    // The control's window gains or loses the keyboard focus, for any reason (its form
    // deactivated or activated included).
    virtual void FocusGained() {}
    virtual void FocusLost() {}
    // Draws the control on its surface canvas (the background is already filled
    // with Color unless csOpaque).
    virtual void Paint() {}
    // Toolkit widgets of the control's own that are not controls (PaintTo draws them over
    // the surface, at the control's client origin (x, y)).
    virtual void PaintOwnWidgets(TCanvas& canvas, int x, int y) { (void)canvas; (void)x; (void)y; }
    TCanvas& SurfaceCanvas();
    void UpdateBounds() override;
    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void DestroyChildren();
    // A native control drawn inside a frame widget of its own: the frame is what sits in
    // the parent (placed, shown, raised and pictured), holding the control's widget.
    void SetFrameWidget(QWidget* frame);
    QWidget* FrameWidget() const;

    HWND FHandle = nullptr;

private:
    friend class TControl;
    friend class TGraphicControl;
    friend class TForm;
    friend void EnableWindow(TWinControl*, bool);
    friend bool DeliverFileDrop(TWinControl*, QEvent*);
    void ApplyFocusPolicy();
    void Insert(TControl* child);
    void Remove(TControl* child);
    void ShowCursor(TCursor cursor);
    std::unique_ptr<TWinControlPrivate> FPriv;
    std::vector<TControl*> FControls;
    bool FTabStop = false;
    int FTabOrder = 0;
};

// A windowed control with its own canvas and a Paint to override.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    TCanvas& Canvas() { return SurfaceCanvas(); }
};

// A hint's text as its tooltip shows it: CR LF and a lone CR become LF.
std::string HintLines(const std::string& hint);

// Sets whether the control's window takes mouse input, apart from its Enabled property
// (which keeps its value; a later change of Enabled sets the window's state again).
void EnableWindow(TWinControl* control, bool enable);

// Accelerators and characters nobody takes: offered to the form's main menu, then to the
// form's visible, enabled controls in z-order from the top, children included, until
// one's DialogChar answers true. True when one did.
bool DispatchDialogChar(TForm* form, char c, TShiftState shift);
// The character of Alt with a letter or digit key (0 for other keys).
char AccelCharOf(WORD key, TShiftState shift);

// Before a press on a control of the window: the cancel modes of the forms concerned.
void SendCancelModes(TWinControl* window, TControl* pressed);

// Calls FocusChanged on every control inside root (at any depth), root excluded.
void NotifyFocusChanged(TWinControl* root, TWinControl* newFocus);

// Clicks the first visible, enabled control on `root` (searched in z-order, children
// included) that answers the dialog key. True when one did.
bool PressDialogButton(TWinControl* root, WORD key);

// The class library's switch of the new-style look (true); tests switch it.
extern bool NewStyleControls;

// The topmost visible control of the program at a screen point, window-less controls
// included, disabled ones only with allowDisabled; points a control's HitTest refuses
// pass to what lies below. Null over no window of the program.
TControl* FindControlAtPos(TPoint screenPoint, bool allowDisabled);

// True when the caption holds "&" followed by c, ignoring ASCII case ("&&" is a literal
// "&", no accelerator).
bool IsAccel(char c, const std::string& caption);

// Window-level capture (the class library's SetCapture family).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
void ReleaseCapture();

// Makes a control of class T owned by parent and placed in it at the given bounds, as a
// stored form layout would.
template <class T>
T* PlaceControl(TWinControl* parent, int left, int top, int width, int height)
{
    T* control = new T(parent);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

// Test helpers that work with any control, windowed or not.
namespace TestHooks {
// The colour of a pixel the control painted, at a client point (after painting what
// is invalid), or clNone outside.
TColor ControlPixel(TControl* control, int x, int y);
// Client point of a control as a client point of its form.
TPoint ControlToForm(TControl* control, TPoint at);
// The cursor id a window shows now (after injected moves).
TCursor ShownCursor(TWinControl* window);
// Drags the items over the window and drops them at a client point through Qt's
// events, as a real drop (paths become file URLs; "scheme://..." texts stay URLs).
// True when the window took the drop.
bool DropFiles(TWinControl* window, const std::vector<std::string>& items, TPoint at);
// The hint the window shows with the pointer resting at a client point (its own, or a
// window-less child's), "" for none; line breaks as "\n".
std::string HintAt(TWinControl* window, TPoint at);
} // namespace TestHooks
