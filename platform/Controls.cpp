#include "platform/Controls.h"

#include <QApplication>
#include <QEnterEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QMimeData>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <QCursor>
#include <QPixmap>

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/Application.h"
#include "platform/ControlEvents.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/PopupWindows.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"
#include "platform/WidgetLife.h"

namespace {

TControl* gCapture = nullptr;

// Watches a control across a call into program code that may free it: the control's
// destructor clears every watch on it.
class ControlWatch {
public:
    explicit ControlWatch(TControl* control) : FControl(control), FNext(gFirst) { gFirst = this; }
    ~ControlWatch()
    {
        ControlWatch** at = &gFirst;
        while (*at != this)
            at = &(*at)->FNext;
        *at = FNext;
    }
    ControlWatch(const ControlWatch&) = delete;
    ControlWatch& operator=(const ControlWatch&) = delete;

    // The control was freed since the watch began.
    bool Gone() const { return FControl == nullptr; }

    static void ControlFreed(const TControl* control)
    {
        for (ControlWatch* w = gFirst; w; w = w->FNext)
            if (w->FControl == control)
                w->FControl = nullptr;
    }

private:
    TControl* FControl = nullptr;
    ControlWatch* FNext = nullptr;
    static inline ControlWatch* gFirst = nullptr;
};

TMouseButton ButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

QColor QtColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

bool BuiltInCursor(TCursor c, Qt::CursorShape& shape)
{
    switch (c) {
    case crDefault:
    case crArrow: shape = Qt::ArrowCursor; return true;
    case crNone: shape = Qt::BlankCursor; return true;
    case crCross: shape = Qt::CrossCursor; return true;
    case crIBeam: shape = Qt::IBeamCursor; return true;
    case crSizeNESW: shape = Qt::SizeBDiagCursor; return true;
    case crSizeNS: shape = Qt::SizeVerCursor; return true;
    case crSizeNWSE: shape = Qt::SizeFDiagCursor; return true;
    case crSizeWE: shape = Qt::SizeHorCursor; return true;
    case crUpArrow: shape = Qt::UpArrowCursor; return true;
    case crHourGlass: shape = Qt::WaitCursor; return true;
    case crDrag: shape = Qt::DragCopyCursor; return true;
    case crNo: shape = Qt::ForbiddenCursor; return true;
    case crHandPoint: shape = Qt::PointingHandCursor; return true;
    case crSizeAll: shape = Qt::SizeAllCursor; return true;
    default: return false;
    }
}

// The Qt cursor of an id, made when first shown.
QCursor QtCursor(TCursor c)
{
    Qt::CursorShape shape;
    if (BuiltInCursor(c, shape))
        return QCursor(shape);
    HCURSOR handle = Screen->Cursors(c);
    if (!handle)
        return QCursor(Qt::ArrowCursor);
    static std::map<HCURSOR, QCursor> made;
    auto it = made.find(handle);
    if (it == made.end()) {
        const TSize size = CursorSize(handle);
        QImage image(size.cx, size.cy, QImage::Format_ARGB32);
        const std::vector<uint32_t>& pixels = CursorPixels(handle);
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                image.setPixel(x, y, pixels[static_cast<size_t>(y * size.cx + x)]);
        const TPoint hot = CursorHotSpot(handle);
        it = made.emplace(handle, QCursor(QPixmap::fromImage(image), hot.X, hot.Y)).first;
    }
    return it->second;
}

// The window of a custom-painted windowed control: shows its surface and hands
// Qt's events to it.
class ControlWidget : public QWidget {
public:
    ControlWidget(TWinControl* control) : Control(control)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }
    TWinControl* Control;

protected:
    void paintEvent(QPaintEvent*) override { Control->PaintEventShow(this); }
};

// Forwards the input events of a windowed control's widget. For native widgets
// (edits, lists) the event goes on to the widget unless a handler swallowed it.
class ControlFilter : public QObject {
public:
    ControlFilter(TWinControl* control, bool native) : Control(control), Native(native) {}
    TWinControl* Control;
    bool Native;
    bool Held = false;
    bool Forwarding = false;

    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::ShortcutOverride:
            // Alt and a letter take the control's key path to the form's menu bar.
            return TakeMenuShortcut(Control->ParentForm(), e);
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(e);
            const bool press = e->type() == QEvent::KeyPress;
            const ControlWatch control(Control);
            const bool swallowed = Control->ControlKey(
                press, KeyCodeFromEvent(*k), press ? KeyCharFromEvent(*k) : 0,
                ShiftStateFromQt(k->modifiers(), QGuiApplication::mouseButtons()), k->isAutoRepeat());
            if (control.Gone())
                return true; // the control (and this filter) was freed by a handler of its key
            // Tab moves the focus as the window system does.
            if (!swallowed && (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab))
                return false;
            return swallowed || !Native;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::MouseButtonDblClick: {
            // A window that takes no mouse input (disabled) leaves the event to Qt.
            if (QWidget* w = Control->Widget(); w && !w->isEnabled())
                return false;
            auto* m = static_cast<QMouseEvent*>(e);
            const QPoint p = m->position().toPoint();
            const bool press = e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick;
            if (press) {
                Forwarding = !Native && !Control->HitTest(p.x(), p.y());
                Held = true;
            }
            // A transparent point: the event belongs to what lies below (the parent);
            // a press there sends the moves and the release after it the same way.
            const bool transparent = Held ? Forwarding : (!Native && !Control->HitTest(p.x(), p.y()));
            if (e->type() == QEvent::MouseButtonRelease) {
                Held = false;
                Forwarding = false;
            }
            TMouseEventKind kind = meMove;
            if (e->type() == QEvent::MouseButtonPress)
                kind = meDown;
            else if (e->type() == QEvent::MouseButtonRelease)
                kind = meUp;
            else if (e->type() == QEvent::MouseButtonDblClick)
                kind = meDouble;
            const TShiftState shift = ShiftStateFromQt(m->modifiers(), m->buttons());
            TWinControl* parent = Control->Parent();
            if (transparent && parent) {
                parent->DispatchMouse(kind, ButtonOf(m->button()), shift, p.x() + Control->Left(),
                                      p.y() + Control->Top());
                return true;
            }
            const ControlWatch control(Control);
            const bool toChild = Control->DispatchMouse(kind, ButtonOf(m->button()), shift, p.x(), p.y());
            if (control.Gone())
                return true;
            // A window-less child of a native control takes its own input.
            return !Native || toChild;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return DeliverFileDrop(Control, e);
        case QEvent::Enter:
            Control->HandleMouseEnter();
            return false;
        case QEvent::Leave:
            Control->DispatchLeave();
            Control->HandleMouseLeave();
            return false;
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
            Control->HandleFocus(e->type() == QEvent::FocusIn,
                                 reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason);
            return false;
        }
        default:
            return false;
        }
    }
};

// Copies what a native widget shows into a context at (x, y).
void BlitWidget(QWidget* widget, HDC dc, int x, int y)
{
    const QImage grab = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto src = MakeDeviceContext(const_cast<uint8_t*>(grab.constBits()), grab.width(), grab.height(),
                                 static_cast<int32_t>(grab.bytesPerLine()), 32);
    BitBlt(dc, x, y, grab.width(), grab.height(), src.get(), 0, 0, cmSrcCopy);
}

bool PointIn(const TControl* c, int x, int y)
{
    return x >= 0 && y >= 0 && x < c->Width() && y < c->Height();
}

} // namespace

struct TWinControlPrivate {
    QPointer<QWidget> Widget;
    QPointer<QWidget> Frame; // the widget placed in the parent, when not Widget itself
    ControlFilter* Filter = nullptr;
    bool CustomPainted = true;
    bool TopLevel = false;
    bool Dirty = true;
    QImage Image;
    TDeviceContextPtr Dc;
    TCanvas Canvas;
    HDC PaintDC = nullptr;       // the context of PaintWithDC while it runs
    TControl* Pressed = nullptr; // the control that got the press (this or a child)
    TControl* Hover = nullptr;   // the window-less child under the pointer
    TCursor Shown = crDefault;   // the cursor the window shows
    bool AcceptFiles = false;
    bool TakesFocus = true;
};

// ---------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl()
{
    if (gCapture == this)
        gCapture = nullptr;
    ControlWatch::ControlFreed(this);
    if (FParent)
        FParent->Remove(this);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == FParent)
        return;
    if (FParent)
        FParent->Remove(this);
    if (parent) {
        parent->Insert(this);
        TakeFromParent();
    }
}

void TControl::TakeFromParent()
{
    if (!FParent)
        return;
    if (FParentFont)
        FontFromParent(FParent->Font());
    if (FParentColor)
        ColorFromParent(FParent->Color());
    if (FParentShowHint)
        ShowHintFromParent(FParent->ShowHint());
}

namespace {

// Passes a change down to the children that take it from their parent.
template <class F>
void ForChildren(TControl* control, F&& f)
{
    if (!control->Windowed())
        return;
    auto* w = static_cast<TWinControl*>(control);
    for (int i = 0; i < w->ControlCount(); ++i)
        f(w->Controls(i));
}

bool SameFont(const TFont& a, const TFont& b)
{
    return a.Name == b.Name && a.Height == b.Height && a.Style == b.Style && a.Color == b.Color &&
           a.Charset == b.Charset;
}

} // namespace

void TControl::FontFromParent(const TFont& font)
{
    if (!SameFont(font, FFont)) {
        FFont = font;
        FontChanged();
    }
    ForChildren(this, [&](TControl* c) {
        if (c->FParentFont)
            c->FontFromParent(FFont);
    });
}

void TControl::ColorFromParent(TColor color)
{
    if (color != FColor) {
        FColor = color;
        ColorChanged();
    }
    ForChildren(this, [&](TControl* c) {
        if (c->FParentColor)
            c->ColorFromParent(FColor);
    });
}

void TControl::ShowHintFromParent(bool on)
{
    if (on != FShowHint) {
        FShowHint = on;
        ApplyHint();
    }
    ForChildren(this, [&](TControl* c) {
        if (c->FParentShowHint)
            c->ShowHintFromParent(FShowHint);
    });
}

void TControl::SetParentFont(bool on)
{
    FParentFont = on;
    if (on && FParent)
        FontFromParent(FParent->Font());
}

void TControl::SetParentColor(bool on)
{
    FParentColor = on;
    if (on && FParent)
        ColorFromParent(FParent->Color());
}

void TControl::SetParentShowHint(bool on)
{
    FParentShowHint = on;
    if (on && FParent)
        ShowHintFromParent(FParent->ShowHint());
}

TForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    const bool resized = width != FWidth || height != FHeight;
    if (!Windowed() && FParent)
        FParent->Invalidate(); // the old place
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    UpdateBounds();
    Invalidate();
    if (FParent && FAlign != alNone)
        FParent->Realign();
    if (resized)
        BoundsChanged();
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    if (!FParent)
        return p;
    return FParent->ClientToScreen(Point(p.X + Left(), p.Y + Top()));
}

TPoint TControl::ScreenToClient(TPoint p) const
{
    const TPoint origin = ClientToScreen(Point(0, 0));
    return Point(p.X - origin.X, p.Y - origin.Y);
}

void TControl::SetAlign(TAlign align)
{
    if (align == FAlign)
        return;
    FAlign = align;
    if (FParent)
        FParent->Realign();
}

namespace {

// A windowed control about to be hidden or disabled gives up the form's focus first.
void Defocus(TControl* control)
{
    if (!control->Windowed())
        return;
    if (TForm* form = control->ParentForm(); form && form != control)
        form->DefocusControl(static_cast<TWinControl*>(control));
}

} // namespace

void TControl::SetVisible(bool visible)
{
    if (visible == FVisible)
        return;
    if (!visible)
        Defocus(this);
    FVisible = visible;
    if (!Windowed() && FParent)
        FParent->Invalidate();
    VisibleChanged();
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    if (!enabled)
        Defocus(this);
    FEnabled = enabled;
    EnabledChanged();
}

void TControl::SetColor(TColor color)
{
    FParentColor = false;
    ColorFromParent(color);
}

void TControl::SetFont(const TFont& font)
{
    FParentFont = false;
    FFont = font;
    FontChanged();
    ForChildren(this, [&](TControl* c) {
        if (c->FParentFont)
            c->FontFromParent(FFont);
    });
}

void TControl::SetCaption(const std::string& caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    TextChanged();
}

void TControl::SetHint(const std::string& hint)
{
    FHint = hint;
    ApplyHint();
}

std::string HintLines(const std::string& hint)
{
    std::string lines;
    lines.reserve(hint.size());
    for (size_t i = 0; i < hint.size(); ++i) {
        if (hint[i] != '\r') {
            lines += hint[i];
            continue;
        }
        lines += '\n';
        if (i + 1 < hint.size() && hint[i + 1] == '\n')
            ++i;
    }
    return lines;
}

void TControl::SetShowHint(bool on)
{
    FParentShowHint = false;
    ShowHintFromParent(on);
}

void TControl::ApplyHint()
{
    // A window shows its own hint; a window-less control's shows through its parent's
    // window while the pointer is over it.
    TWinControl* w = Windowed() ? static_cast<TWinControl*>(this) : FParent;
    if (w && w->Widget())
        w->Widget()->setToolTip(ToQString(w->HintTextAt(-1, -1)));
}

void TControl::SetCursor(TCursor cursor)
{
    if (cursor == FCursor)
        return;
    FCursor = cursor;
    if (Windowed())
        static_cast<TWinControl*>(this)->ShowCursor(cursor);
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    if (menu == FPopupMenu)
        return;
    if (FPopupMenu)
        RemoveFreeNotification(FPopupMenu);
    FPopupMenu = menu;
    if (menu)
        FreeNotification(menu);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::Invalidate() {}

void TControl::SetBoundsAligned(int left, int top, int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    const bool resized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    UpdateBounds();
    Invalidate();
    if (FParent)
        FParent->Invalidate();
    if (resized)
        BoundsChanged();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::Update()
{
    TWinControl* w = Windowed() ? static_cast<TWinControl*>(this) : FParent;
    if (w && w->Widget()) {
        w->RenderSurface();
        w->Widget()->repaint();
    }
}

void TControl::BringToFront()
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (Windowed()) {
        if (QWidget* w = static_cast<TWinControl*>(this)->FrameWidget())
            w->raise();
    }
    FParent->Invalidate();
}

void TControl::SendToBack()
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    if (Windowed()) {
        if (QWidget* w = static_cast<TWinControl*>(this)->FrameWidget())
            w->lower();
    }
    FParent->Invalidate();
}

bool TControl::HitTest(int, int) const { return true; }

bool TControl::MouseCapture() const { return gCapture == this; }

void TControl::SetMouseCapture(bool capture)
{
    if (capture)
        gCapture = this;
    else if (gCapture == this)
        gCapture = nullptr;
    // A pop-up window holding the mouse gets the moves and the release outside it too.
    if (Windowed()) {
        QWidget* w = static_cast<TWinControl*>(this)->Widget();
        if (w && w->window()->property("tpPopup").isValid()) {
            if (capture)
                w->grabMouse();
            else if (QWidget::mouseGrabber() == w)
                w->releaseMouse();
        }
    }
}

void TControl::HandleMouse(TMouseEventKind kind, TMouseButton button, TShiftState shift, int x, int y)
{
    const ControlWatch self(this);
    CallProtected([&] {
        switch (kind) {
        case meDown:
            FPressedInside = button == mbLeft;
            MouseDown(button, shift, x, y);
            break;
        case meDouble:
            shift.Include(ssDouble);
            FPressedInside = button == mbLeft;
            MouseDown(button, shift, x, y);
            if (!self.Gone() && button == mbLeft && (ControlStyle & csDoubleClicks))
                DblClick();
            break;
        case meUp: {
            const bool click = FPressedInside && button == mbLeft && (ControlStyle & csClickEvents) &&
                               PointIn(this, x, y);
            if (button == mbLeft)
                FPressedInside = false;
            MouseUp(button, shift, x, y);
            if (self.Gone())
                break; // freed by its own handler
            if (click)
                Click();
            if (self.Gone())
                break;
            if (button == mbRight && FPopupMenu && FPopupMenu->AutoPopup() && PointIn(this, x, y)) {
                TPopupMenu* menu = FPopupMenu;
                menu->SetPopupComponent(this);
                const TPoint at = ClientToScreen(Point(x, y));
                menu->Popup(at.X, at.Y);
            }
            break;
        }
        case meMove:
            MouseMove(shift, x, y);
            break;
        }
    });
}

void TControl::HandleMouseEnter()
{
    if (FMouseInside)
        return;
    FMouseInside = true;
    CallProtected([this] { MouseEnter(); });
}

void TControl::HandleMouseLeave()
{
    if (!FMouseInside)
        return;
    FMouseInside = false;
    CallProtected([this] { MouseLeave(); });
}

void TControl::Click() { if (OnClick) OnClick(this); }
void TControl::DblClick() { if (OnDblClick) OnDblClick(this); }
void TControl::MouseEnter() { if (OnMouseEnter) OnMouseEnter(this); }
void TControl::MouseLeave() { if (OnMouseLeave) OnMouseLeave(this); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

// ---------------------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TGraphicControl::~TGraphicControl()
{
    if (FParent)
        FParent->Invalidate();
}

void TGraphicControl::Invalidate()
{
    if (FParent && Visible())
        FParent->Invalidate();
}

void TGraphicControl::AttachCanvas(HDC parentSurface)
{
    const TRect want = BoundsRect();
    if (FView && FViewOf == parentSurface && FViewRect == want) {
        FCanvas.SetHandle(FView.get());
        return;
    }
    FView.reset();
    FViewOf = parentSurface;
    FViewRect = want;
    const TDeviceContextInfo info = DeviceContextInfo(parentSurface);
    // A view of the parent's pixels from the control's top-left corner, cut at the
    // parent's right and bottom edges. A control reaching past the parent's top or
    // left edge draws on a scratch picture instead.
    if (want.Left >= 0 && want.Top >= 0 && want.Left < info.Width && want.Top < info.Height) {
        const int w = std::min(want.Width(), info.Width - want.Left);
        const int h = std::min(want.Height(), info.Height - want.Top);
        if (w > 0 && h > 0) {
            uint8_t* origin = info.Bits + static_cast<ptrdiff_t>(want.Top) * info.Pitch +
                              static_cast<ptrdiff_t>(want.Left) * (info.BitsPerPixel / 8);
            FView = MakeDeviceContext(origin, w, h, info.Pitch, info.BitsPerPixel, info.Fields);
        }
    }
    if (!FView) {
        static uint32_t scratch[1];
        FView = MakeDeviceContext(reinterpret_cast<uint8_t*>(scratch), 1, 1, 4, 32);
    }
    FCanvas.SetHandle(FView.get());
}

TCanvas& TGraphicControl::Canvas()
{
    if (FPaintDC) {
        FCanvas.SetHandle(FPaintDC);
        return FCanvas;
    }
    if (FParent) {
        AttachCanvas(FParent->Surface());
        // Drawing outside Paint shows with the parent's next repaint.
        if (QWidget* w = FParent->Widget())
            w->update();
    }
    return FCanvas;
}

void TGraphicControl::PaintControl(HDC parentSurface, TRect)
{
    AttachCanvas(parentSurface);
    CallProtected([this] { Paint(); });
}

namespace {

// Points a canvas (and the field that redirects it) to a context for one paint call.
class PaintRedirect {
public:
    PaintRedirect(HDC& field, TCanvas& canvas, HDC dc) : FField(field), FCanvas(canvas), FOld(field)
    {
        FField = dc;
        FCanvas.SetHandle(dc);
    }
    ~PaintRedirect()
    {
        FField = FOld;
        FCanvas.SetHandle(nullptr);
    }
    PaintRedirect(const PaintRedirect&) = delete;
    PaintRedirect& operator=(const PaintRedirect&) = delete;

private:
    HDC& FField;
    TCanvas& FCanvas;
    HDC FOld;
};

} // namespace

void TGraphicControl::PaintWithDC(HDC dc)
{
    if (!dc)
        return;
    PaintRedirect redirect(FPaintDC, FCanvas, dc);
    CallProtected([this] { Paint(); });
}

// ---------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, new ControlWidget(this), true, false) {}

TWinControl::TWinControl(TComponent* AOwner, QWidget* widget, bool customPainted, bool topLevel)
    : TControl(AOwner), FPriv(std::make_unique<TWinControlPrivate>())
{
    FPriv->Widget = widget;
    FPriv->CustomPainted = customPainted;
    FPriv->TopLevel = topLevel;
    FHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
    widget->setProperty("tpControl", QVariant::fromValue<void*>(this));
    if (!topLevel) {
        // Forms handle their window's events themselves.
        FPriv->Filter = new ControlFilter(this, !customPainted);
        widget->installEventFilter(FPriv->Filter);
        widget->setMouseTracking(true);
        widget->hide();
    }
}

TWinControl::~TWinControl()
{
    DestroyChildren();
    DeallocateHWnd(FHandle);
    if (FParent) {
        FParent->Remove(this);
        FParent = nullptr;
    }
    // The widget goes with its frame (see platform/WidgetLife.h for one still in use).
    if (!FPriv->TopLevel)
        DestroyWidget(FrameWidget());
    delete FPriv->Filter;
}

void TWinControl::DestroyChildren()
{
    // Owned components first (they may be children), then whatever children remain
    // leave the control (their owners free them).
    DestroyComponents();
    while (!FControls.empty())
        FControls.back()->SetParent(nullptr);
}

QWidget* TWinControl::Widget() const { return FPriv->Widget.data(); }

void TWinControl::SetFrameWidget(QWidget* frame)
{
    FPriv->Frame = frame;
    frame->setProperty("tpControl", QVariant::fromValue<void*>(this));
    frame->hide();
    Widget()->setParent(frame);
    Widget()->show();
}

QWidget* TWinControl::FrameWidget() const { return FPriv->Frame ? FPriv->Frame.data() : FPriv->Widget.data(); }

void TWinControl::SetParent(TWinControl* parent)
{
    if (parent == FParent)
        return;
    TControl::SetParent(parent);
    QWidget* w = FrameWidget();
    if (!w || FPriv->TopLevel)
        return;
    w->setParent(parent ? parent->Widget() : nullptr);
    if (!TakesFocus())
        ApplyFocusPolicy();
    UpdateBounds();
    w->setVisible(parent && Visible());
}

void TWinControl::Insert(TControl* child)
{
    FControls.push_back(child);
    child->FParent = this;
    if (child->FAlign != alNone)
        Realign();
    Invalidate();
}

void TWinControl::Remove(TControl* child)
{
    if (TForm* form = ParentForm(); form && child->Windowed())
        form->ControlLeaving(static_cast<TWinControl*>(child));
    FControls.erase(std::remove(FControls.begin(), FControls.end(), child), FControls.end());
    child->FParent = nullptr;
    ChildRemoved(child);
    Invalidate();
}

void TWinControl::ChildRemoved(TControl* child)
{
    if (FPriv->Pressed == child)
        FPriv->Pressed = nullptr;
    if (FPriv->Hover == child)
        FPriv->Hover = nullptr;
}

void TWinControl::UpdateBounds()
{
    QWidget* w = Widget();
    if (w && !FPriv->TopLevel)
        w->setGeometry(TControl::Left(), TControl::Top(), TControl::Width(), TControl::Height());
}

void TWinControl::BoundsChanged()
{
    Realign();
    Invalidate();
}

namespace {
// A window and the child windows showing in it paint afresh.
void InvalidateWindowTree(TWinControl& control)
{
    control.Invalidate();
    for (int i = 0; i < control.ControlCount(); ++i) {
        TControl* c = control.Controls(i);
        if (c->Windowed() && c->Visible())
            InvalidateWindowTree(*static_cast<TWinControl*>(c));
    }
}
} // namespace

void TWinControl::VisibleChanged()
{
    QWidget* w = FrameWidget();
    if (w && !FPriv->TopLevel && FParent)
        w->setVisible(Visible());
    // A child window coming into view is painted again with what it shows now (and so are
    // the windows on it), as the window system asks a window it shows to paint.
    if (Visible() && !FPriv->TopLevel && FParent)
        InvalidateWindowTree(*this);
}

void TWinControl::EnabledChanged()
{
    if (QWidget* w = Widget())
        w->setEnabled(Enabled());
    Invalidate();
}

void EnableWindow(TWinControl* control, bool enable)
{
    if (!enable && control)
        Defocus(control);
    if (QWidget* w = control ? control->Widget() : nullptr)
        w->setEnabled(enable);
}

void TWinControl::SetTabStop(bool on)
{
    if (on == FTabStop)
        return;
    FTabStop = on;
    ApplyFocusPolicy();
}

bool TWinControl::TakesFocus() const
{
    for (const TWinControl* c = this; c; c = c->Parent())
        if (!c->FPriv->TakesFocus)
            return false;
    return true;
}

void TWinControl::SetTakesFocus(bool on)
{
    if (on == FPriv->TakesFocus)
        return;
    FPriv->TakesFocus = on;
    ApplyFocusPolicy();
}

void TWinControl::ApplyFocusPolicy()
{
    QWidget* w = Widget();
    if (!w || FPriv->TopLevel)
        return;
    if (!TakesFocus()) {
        // Native controls have inner widgets of their own: none of them takes the focus.
        w->setFocusPolicy(Qt::NoFocus);
        for (QWidget* inner : w->findChildren<QWidget*>())
            inner->setFocusPolicy(Qt::NoFocus);
    } else {
        w->setFocusPolicy(FTabStop ? Qt::StrongFocus : Qt::NoFocus);
    }
    for (TControl* c : FControls)
        if (c->Windowed())
            static_cast<TWinControl*>(c)->ApplyFocusPolicy();
}

void TWinControl::SetFocus()
{
    if (QWidget* w = Widget()) {
        if (w->window())
            w->window()->activateWindow();
        w->setFocus(Qt::OtherFocusReason);
    }
}

bool TWinControl::Focused() const
{
    QWidget* w = Widget();
    return w && w->hasFocus();
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TWinControl::WndProc(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::DefaultHandler(TMessage& Message) { DefWindowProc(Message); }

void TWinControl::Invalidate()
{
    FPriv->Dirty = true;
    if (QWidget* w = Widget())
        w->update();
}

TCanvas& TWinControl::SurfaceCanvas()
{
    if (FPriv->PaintDC) {
        FPriv->Canvas.SetHandle(FPriv->PaintDC);
        return FPriv->Canvas;
    }
    Surface();
    FPriv->Canvas.SetHandle(FPriv->Dc.get());
    if (QWidget* w = Widget())
        w->update();
    return FPriv->Canvas;
}

HDC TWinControl::Surface()
{
    auto& p = *FPriv;
    const int w = std::max(1, ClientWidth());
    const int h = std::max(1, ClientHeight());
    if (p.Image.isNull() || p.Image.width() != w || p.Image.height() != h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(QtColor(Color() == clNone ? clBtnFace : Color()));
        if (!p.Image.isNull()) {
            QPainter keep(&image);
            keep.drawImage(0, 0, p.Image);
        }
        p.Canvas.SetHandle(nullptr);
        p.Dc.reset();
        p.Image = image;
        p.Dc = MakeDeviceContext(p.Image.bits(), w, h, static_cast<int32_t>(p.Image.bytesPerLine()), 32);
        p.Dirty = true;
    }
    return p.Dc.get();
}

void TWinControl::RenderSurface()
{
    auto& p = *FPriv;
    if (!p.CustomPainted)
        return;
    HDC dc = Surface();
    if (!p.Dirty)
        return;
    p.Dirty = false;
    p.Canvas.SetHandle(dc);
    if (!(ControlStyle & csOpaque) && Color() != clNone) {
        p.Canvas.Brush.Color = Color();
        p.Canvas.Brush.Style = bsSolid;
        p.Canvas.FillRect(ClientRect());
    }
    CallProtected([this] { Paint(); });
    const TRect clip = ClientRect();
    for (size_t i = 0; i < FControls.size(); ++i) {
        TControl* c = FControls[i];
        if (!c->Windowed() && c->Visible() && !IntersectRect(clip, c->BoundsRect()).IsEmpty())
            c->PaintControl(dc, clip);
    }
}

void TWinControl::PaintEventShow(QWidget* widget)
{
    RenderSurface();
    QPainter painter(widget);
    painter.drawImage(0, 0, FPriv->Image);
}

void TWinControl::PaintTo(TCanvas& canvas, int x, int y)
{
    RenderSurface();
    if (!FPriv->CustomPainted) {
        BlitWidget(FrameWidget(), canvas.Handle(), x, y);
        return;
    }
    BitBlt(canvas.Handle(), x, y, ClientWidth(), ClientHeight(), Surface(), 0, 0, cmSrcCopy);
    PaintOwnWidgets(canvas, x, y);
    for (TControl* c : FControls)
        if (c->Windowed() && c->Visible())
            static_cast<TWinControl*>(c)->PaintTo(canvas, x + c->Left(), y + c->Top());
}

void TWinControl::PaintWithDC(HDC dc)
{
    if (!dc)
        return;
    auto& p = *FPriv;
    if (!p.CustomPainted) {
        QWidget* w = FrameWidget();
        if (!w)
            return;
        BlitWidget(w, dc, 0, 0);
        return;
    }
    PaintRedirect redirect(p.PaintDC, p.Canvas, dc);
    if (!(ControlStyle & csOpaque) && Color() != clNone) {
        p.Canvas.Brush.Color = Color();
        p.Canvas.Brush.Style = bsSolid;
        p.Canvas.FillRect(ClientRect());
    }
    CallProtected([this] { Paint(); });
}

void TWinControl::Realign()
{
    TRect rect = ClientRect();
    AlignControls(nullptr, rect);
}

void TWinControl::AlignControls(TControl*, TRect& rect)
{
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : FControls) {
            if (c->FAlign != pass || !c->Visible())
                continue;
            switch (pass) {
            case alTop:
                c->SetBoundsAligned(rect.Left, rect.Top, rect.Width(), c->Height());
                rect.Top += c->Height();
                break;
            case alBottom:
                rect.Bottom -= c->Height();
                c->SetBoundsAligned(rect.Left, rect.Bottom, rect.Width(), c->Height());
                break;
            case alLeft:
                c->SetBoundsAligned(rect.Left, rect.Top, c->Width(), rect.Height());
                rect.Left += c->Width();
                break;
            case alRight:
                rect.Right -= c->Width();
                c->SetBoundsAligned(rect.Right, rect.Top, c->Width(), rect.Height());
                break;
            default:
                c->SetBoundsAligned(rect.Left, rect.Top, rect.Width(), rect.Height());
                break;
            }
        }
    }
}

TControl* TWinControl::ControlAtPos(int x, int y) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->Windowed() || !c->Visible() || !c->Enabled())
            continue;
        const int cx = x - c->Left();
        const int cy = y - c->Top();
        if (PointIn(c, cx, cy) && c->HitTest(cx, cy))
            return c;
    }
    return nullptr;
}

bool TWinControl::DispatchMouse(TMouseEventKind kind, TMouseButton button, TShiftState shift, int x, int y)
{
    auto& p = *FPriv;
    TControl* target = nullptr;
    if (kind == meDown || kind == meDouble) {
        TControl* child = ControlAtPos(x, y);
        target = child ? child : this;
        const ControlWatch self(this);
        SendCancelModes(this, target);
        if (self.Gone())
            return target != this;
        p.Pressed = target;
        gCapture = target;
    } else {
        if (kind == meMove) {
            TControl* under = ControlAtPos(x, y);
            if (under != p.Hover) {
                TControl* old = p.Hover;
                p.Hover = under;
                if (QWidget* w = Widget())
                    w->setToolTip(ToQString(HintTextAt(-1, -1)));
                if (old)
                    old->HandleMouseLeave();
                if (under)
                    under->HandleMouseEnter();
            }
        }
        if (p.Pressed && gCapture == p.Pressed)
            target = p.Pressed;
        else {
            TControl* child = ControlAtPos(x, y);
            target = child ? child : this;
        }
        if (kind == meUp) {
            p.Pressed = nullptr;
            if (gCapture == target)
                gCapture = nullptr;
        }
    }
    const int tx = target == this ? x : x - target->Left();
    const int ty = target == this ? y : y - target->Top();
    if (kind == meMove || kind == meDown) {
        // The cursor query: the control under the pointer (or holding it) decides.
        TCursor cursor = crDefault;
        CallProtected([&] { cursor = target->CursorAt(tx, ty); });
        if (cursor == crDefault && target != this)
            CallProtected([&] { cursor = CursorAt(x, y); });
        ShowCursor(cursor);
    }
    const bool toChild = target != this;
    target->HandleMouse(kind, button, shift, tx, ty);
    return toChild;
}

// Before a press: the pressed window's form (or a pop-up's owner form) cancels its modes,
// and so does the owner form of every pop-up window shown elsewhere.
void SendCancelModes(TWinControl* window, TControl* pressed)
{
    TControl* root = window;
    while (root->Parent())
        root = root->Parent();
    TForm* here = dynamic_cast<TForm*>(root);
    TPopupControl* popup = root->Windowed() ? static_cast<TWinControl*>(root)->AsPopup() : nullptr;
    if (popup)
        here = popup->OwnerForm();
    std::vector<TForm*> done;
    const std::vector<TPopupControl*> before = VisiblePopups();
    for (TPopupControl* other : before) {
        // A cancel mode sent meanwhile may have freed this pop-up.
        const std::vector<TPopupControl*> now = VisiblePopups();
        if (std::find(now.begin(), now.end(), other) == now.end())
            continue;
        TForm* owner = other->OwnerForm();
        if (other == popup || !owner || owner == here ||
            std::find(done.begin(), done.end(), owner) != done.end())
            continue;
        done.push_back(owner);
        owner->SendCancelMode(pressed);
    }
    if (here)
        here->SendCancelMode(pressed);
}

void TWinControl::ShowCursor(TCursor cursor)
{
    auto& p = *FPriv;
    if (cursor == p.Shown)
        return;
    p.Shown = cursor;
    QWidget* w = Widget();
    if (!w)
        return;
    if (cursor == crDefault)
        w->unsetCursor(); // native controls show their own (an edit's I-beam)
    else
        w->setCursor(QtCursor(cursor));
}

TCursor TWinControl::ShownCursor() const { return FPriv->Shown; }

bool TWinControl::WantsCharacters() const { return !FPriv->CustomPainted; }

bool TWinControl::AcceptFiles() const { return FPriv->AcceptFiles; }

void TWinControl::SetAcceptFiles(bool on)
{
    FPriv->AcceptFiles = on;
    if (QWidget* w = Widget())
        w->setAcceptDrops(on || !FPriv->CustomPainted);
}

namespace {

// The local files of a drag, in the order given; other entries are left out.
std::vector<std::string> LocalFiles(const QMimeData* data)
{
    std::vector<std::string> names;
    if (!data || !data->hasUrls())
        return names;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            names.push_back(FromQString(url.toLocalFile()));
    return names;
}

} // namespace

bool TakeMenuShortcut(TForm* form, QEvent* event)
{
    const auto* k = static_cast<QKeyEvent*>(event);
    if (!form ||
        !form->MenuTakesKey(KeyCodeFromEvent(*k), ShiftStateFromQt(k->modifiers(), QGuiApplication::mouseButtons())))
        return false;
    event->accept();
    return true;
}

bool DeliverFileDrop(TWinControl* control, QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    if (!control->AcceptFiles()) {
        if (control->FPriv->CustomPainted) {
            drop->ignore();
            return true;
        }
        return false; // a native control's own drops (text into an edit)
    }
    const std::vector<std::string> names = LocalFiles(drop->mimeData());
    if (names.empty()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        CallProtected([&] { control->FilesDropped(names); });
    return true;
}

namespace {

std::string HintOf(const TControl* c)
{
    if (!c->ShowHint() || c->Hint().empty())
        return {};
    return HintLines(c->Hint());
}

} // namespace

std::string TWinControl::HintTextAt(int x, int y) const
{
    // (-1, -1): where the pointer is now.
    const TControl* under = (x == -1 && y == -1) ? FPriv->Hover : ControlAtPos(x, y);
    if (under) {
        std::string own = HintOf(under);
        if (!own.empty())
            return own;
    }
    return HintOf(this);
}

void TWinControl::DispatchLeave()
{
    if (TControl* old = FPriv->Hover) {
        FPriv->Hover = nullptr;
        old->HandleMouseLeave();
    }
}

void TWinControl::HandleFocus(bool in, bool windowChange)
{
    CallProtected([&] {
        if (in)
            FocusGained();
        else
            FocusLost();
    });
    (void)windowChange; // the form's focused control changes only on a focus arriving
    if (!in)
        return;
    if (TForm* form = ParentForm(); form && form != this)
        form->FocusArrived(this);
}

void NotifyFocusChanged(TWinControl* root, TWinControl* newFocus)
{
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* c = root->Controls(i);
        CallProtected([&] { c->FocusChanged(newFocus); });
        if (c->Windowed())
            NotifyFocusChanged(static_cast<TWinControl*>(c), newFocus);
    }
}

char AccelCharOf(WORD key, TShiftState shift)
{
    if (!shift.Contains(ssAlt) || shift.Contains(ssCtrl))
        return 0;
    if (key >= 'A' && key <= 'Z')
        return static_cast<char>(shift.Contains(ssShift) ? key : key - 'A' + 'a');
    if (key >= '0' && key <= '9')
        return static_cast<char>(key);
    return 0;
}

namespace {

bool OfferDialogChar(TWinControl* root, char c, TShiftState shift)
{
    for (int i = root->ControlCount() - 1; i >= 0; --i) {
        TControl* control = root->Controls(i);
        if (!control->Visible() || !control->Enabled())
            continue;
        bool used = false;
        CallProtected([&] { used = control->DialogChar(c, shift); });
        if (used)
            return true;
        if (control->Windowed() && OfferDialogChar(static_cast<TWinControl*>(control), c, shift))
            return true;
        if (i >= root->ControlCount())
            i = root->ControlCount(); // a handler changed the list
    }
    return false;
}

} // namespace

bool DispatchDialogChar(TForm* form, char c, TShiftState shift)
{
    if (form->MenuDialogChar(c, shift))
        return true;
    return OfferDialogChar(form, c, shift);
}

// Enter and Esc for the form's Default and Cancel buttons.
bool PressDialogButton(TWinControl* root, WORD key)
{
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* c = root->Controls(i);
        if (!c->Visible() || !c->Enabled())
            continue;
        if (c->WantsDialogKey(key)) {
            CallProtected([c] { c->Click(); });
            return true;
        }
        if (c->Windowed() && PressDialogButton(static_cast<TWinControl*>(c), key))
            return true;
    }
    return false;
}

bool TWinControl::ControlKey(bool press, WORD key, char typed, TShiftState shift, bool autoRepeat)
{
    TForm* form = ParentForm();
    bool swallowed = false;
    // A handler may free the control: then the key goes no further.
    const ControlWatch self(this);
    auto gone = [&] {
        if (!self.Gone())
            return false;
        swallowed = true;
        return true;
    };
    CallProtected([&] {
        if (!press) {
            if (autoRepeat)
                return;
            if (form && form != this)
                form->PreviewKeyUp(key, shift);
            if (gone())
                return;
            if (key != 0)
                KeyUp(key, shift);
            swallowed = gone() || key == 0;
            return;
        }
        // Alt with a letter or digit types nothing: it is an accelerator.
        const char accel = AccelCharOf(key, shift);
        if (accel != 0)
            typed = 0;
        if (form && form != this)
            form->PreviewKeyDown(key, shift);
        if (gone())
            return;
        if (key != 0)
            KeyDown(key, shift);
        if (gone())
            return;
        if (key == VK_TAB && shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
            for (TWinControl* c = this; c; c = c->Parent())
                if (c->DialogKey(key, shift)) {
                    swallowed = true;
                    return;
                }
        }
        // Key := 0 swallows the key; the typed character still comes.
        const char original = typed;
        if (typed != 0) {
            if (form && form != this)
                form->PreviewKeyPress(typed);
            if (gone())
                return;
            if (typed != 0)
                KeyPress(typed);
            if (gone())
                return;
        }
        const char offered =
            accel != 0 ? accel : (WantsCharacters() || static_cast<unsigned char>(typed) < 32 ? 0 : typed);
        if (offered != 0 && form && DispatchDialogChar(form, offered, shift)) {
            swallowed = true;
            return;
        }
        if (gone())
            return;
        if (accel != 0) {
            swallowed = true; // Alt and a letter types nothing, even in an edit
            return;
        }
        if (key == 0 || (typed == 0 && (key == VK_RETURN || key == VK_ESCAPE))) {
            swallowed = true;
            return;
        }
        // A character the handlers refused types nothing (Tab still moves the focus).
        if (original != 0 && typed == 0 && original != '\t') {
            swallowed = true;
            return;
        }
        if (TypedKey(key, original, typed, shift)) {
            swallowed = true;
            return;
        }
        if ((key == VK_RETURN || key == VK_ESCAPE) && shift == TShiftState{} && form) {
            // The focused button answers Enter itself; otherwise the form's Default
            // (Enter) or Cancel (Esc) button.
            if (key == VK_RETURN && WantsDialogKey(VK_SPACE)) {
                Click();
                swallowed = true;
            } else {
                swallowed = PressDialogButton(form, key);
            }
        }
    });
    return swallowed;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) { if (OnKeyDown) OnKeyDown(this, Key, Shift); }
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) { if (OnKeyUp) OnKeyUp(this, Key, Shift); }
void TWinControl::KeyPress(char& Key) { if (OnKeyPress) OnKeyPress(this, Key); }
void TWinControl::DoEnter() { if (OnEnter) OnEnter(this); }
void TWinControl::DoExit() { if (OnExit) OnExit(this); }

// ---------------------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

bool IsAccel(char c, const std::string& caption)
{
    const auto lower = [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); };
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i; // a literal "&"
            continue;
        }
        if (lower(caption[i + 1]) == lower(c))
            return true;
        ++i;
    }
    return false;
}

bool NewStyleControls = true;

namespace {
const TestHooks::TResetStep ResetControls([] { NewStyleControls = true; });

// The control of a widget (the nearest widget up the chain that belongs to one).
TWinControl* ControlOfWidget(QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property("tpControl");
        if (v.isValid())
            return static_cast<TWinControl*>(v.value<void*>());
    }
    return nullptr;
}

// The topmost control at a client point of a window: its window-less children (in
// z-order, HitTest asked) or the window itself.
TControl* ControlInWindow(TWinControl* window, TPoint p, bool allowDisabled)
{
    for (int i = window->ControlCount() - 1; i >= 0; --i) {
        TControl* c = window->Controls(i);
        if (c->Windowed() || !c->Visible() || (!allowDisabled && !c->Enabled()))
            continue;
        const int cx = p.X - c->Left(), cy = p.Y - c->Top();
        if (cx >= 0 && cy >= 0 && cx < c->Width() && cy < c->Height() && c->HitTest(cx, cy))
            return c;
    }
    return window;
}

} // namespace

TControl* FindControlAtPos(TPoint screenPoint, bool allowDisabled)
{
    const QPoint global(screenPoint.X, screenPoint.Y);
    // The program's windows from the top of the stacking order down.
    QWidget* top = QApplication::widgetAt(global);
    if (top)
        top = top->window();
    QWidgetList windows = QApplication::topLevelWidgets();
    if (top) {
        windows.removeAll(top);
        windows.prepend(top);
    }
    for (QWidget* win : windows) {
        if (!win->isVisible() || !win->geometry().contains(global))
            continue;
        QWidget* w = win->childAt(win->mapFromGlobal(global));
        TWinControl* control = ControlOfWidget(w ? w : win);
        // Disabled windows and points a window refuses pass to the window below.
        while (control) {
            const TPoint local = control->ScreenToClient(screenPoint);
            if (control->Visible() && (allowDisabled || control->Enabled()) && control->HitTest(local.X, local.Y))
                return ControlInWindow(control, local, allowDisabled);
            control = control->Parent();
        }
    }
    return nullptr;
}

TControl* GetCaptureControl() { return gCapture; }
void SetCaptureControl(TControl* control) { gCapture = control; }
void ReleaseCapture() { gCapture = nullptr; }

namespace TestHooks {

TColor ControlPixel(TControl* control, int x, int y)
{
    if (!control || x < 0 || y < 0 || x >= control->Width() || y >= control->Height())
        return clNone;
    TWinControl* owner = control->Windowed() ? static_cast<TWinControl*>(control) : control->Parent();
    if (!owner)
        return clNone;
    if (!control->Windowed()) {
        x += control->Left();
        y += control->Top();
    }
    owner->RenderSurface();
    TCanvas canvas;
    canvas.SetHandle(owner->Surface());
    return canvas.Pixel(x, y);
}

TCursor ShownCursor(TWinControl* window) { return window ? window->ShownCursor() : crDefault; }

bool DropFiles(TWinControl* window, const std::vector<std::string>& items, TPoint at)
{
    QWidget* w = window ? window->Widget() : nullptr;
    if (!w)
        return false;
    QWidget* target = w->childAt(at.X, at.Y);
    if (!target)
        target = w;
    const QPointF local = target->mapFrom(w, QPointF(at.X, at.Y));
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const std::string& item : items) {
        const QString text = ToQString(item);
        urls.append(item.find("://") != std::string::npos ? QUrl(text) : QUrl::fromLocalFile(text));
    }
    data->setUrls(urls);
    QDragEnterEvent enter(local.toPoint(), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(local, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

std::string HintAt(TWinControl* window, TPoint at)
{
    return window ? window->HintTextAt(at.X, at.Y) : std::string();
}

TPoint ControlToForm(TControl* control, TPoint at)
{
    for (const TControl* c = control; c && c->Parent(); c = c->Parent()) {
        at.X += c->Left();
        at.Y += c->Top();
        if (c->Parent()->Parent()) {
            const TPoint origin = c->Parent()->ClientOrigin();
            at.X += origin.X;
            at.Y += origin.Y;
        }
    }
    return at;
}

} // namespace TestHooks
