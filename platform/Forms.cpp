#include "platform/Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/Application.h"
#include "platform/ControlEvents.h"
#include "platform/Menus.h"
#include "platform/MenusQt.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"
#include "platform/WidgetLife.h"

namespace {

TMouseButton ButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

// The window of a form: hands Qt's events to the form.
class FormWidget : public QWidget {
public:
    explicit FormWidget(TForm* form) : QWidget(nullptr), Form(form)
    {
        setAttribute(Qt::WA_DeleteOnClose, false);
        setAttribute(Qt::WA_QuitOnClose, false);
        setAttribute(Qt::WA_OpaquePaintEvent);
        // Never a stop of the tab order itself: Tab past the last control wraps round.
        setFocusPolicy(Qt::ClickFocus);
        setMouseTracking(true);
    }

    TForm* Form;
    // Set while the form frees its controls.
    bool Dying = false;
    // Moving into a window of its own: the hiding and showing that goes with it is not
    // the form's.
    bool Quiet = false;

protected:
    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::ShortcutOverride:
            if (TakeMenuShortcut(Form, e))
                return true;
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            // Straight to the form, before Qt's focus chain can take Tab.
            auto* k = static_cast<QKeyEvent*>(e);
            const bool press = e->type() == QEvent::KeyPress;
            QPointer<QWidget> alive(this);
            Form->HandleKey(press, KeyCodeFromEvent(*k), press ? KeyCharFromEvent(*k) : 0,
                            ShiftStateFromQt(k->modifiers(), QGuiApplication::mouseButtons()),
                            k->isAutoRepeat());
            // With no control focused, Tab starts at the top of the tab order (Shift+Tab
            // at its end), as it would from a focused control.
            const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
            if (alive && press && tab && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                (!focusWidget() || focusWidget() == this))
                focusNextPrevChild(k->key() == Qt::Key_Tab && !(k->modifiers() & Qt::ShiftModifier));
            return true;
        }
        // While a test decides which form is active, the window system's word is not asked.
        case QEvent::WindowActivate:
            if (!TestHooks::ActiveFormOverride())
                Form->HandleActivation(true);
            break;
        case QEvent::WindowDeactivate:
            if (!TestHooks::ActiveFormOverride())
                Form->HandleActivation(false);
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (DeliverFileDrop(Form, e))
                return true;
            break;
        case QEvent::Enter:
            Form->HandleMouseEnter();
            break;
        case QEvent::Leave:
            Form->DispatchLeave();
            Form->HandleMouseLeave();
            break;
        default:
            break;
        }
        return QWidget::event(e);
    }

    // A focused control that goes while the form frees its controls leaves the focus
    // with the window, not with the next control in the chain.
    bool focusNextPrevChild(bool next) override
    {
        if (Dying) {
            setFocus(Qt::OtherFocusReason);
            return true;
        }
        return QWidget::focusNextPrevChild(next);
    }

    void mousePressEvent(QMouseEvent* e) override { Mouse(meDown, e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Mouse(meUp, e); }
    void mouseMoveEvent(QMouseEvent* e) override { Mouse(meMove, e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { Mouse(meDouble, e); }
    void paintEvent(QPaintEvent*) override { Form->PaintEventShow(this); }

    void closeEvent(QCloseEvent* e) override
    {
        // The form decides (and hides itself); Qt never closes the window on its own.
        e->ignore();
        Form->HandleCloseRequest();
    }
    void showEvent(QShowEvent* e) override
    {
        if (!e->spontaneous() && !Quiet)
            Form->HandleShown(true);
    }
    void hideEvent(QHideEvent* e) override
    {
        if (!e->spontaneous() && !Quiet)
            Form->HandleShown(false);
    }
    void resizeEvent(QResizeEvent*) override { Form->HandleResize(); }
    void moveEvent(QMoveEvent*) override { Form->SendCancelMode(nullptr); }

private:
    void Mouse(TMouseEventKind kind, QMouseEvent* e)
    {
        const TShiftState shift = ShiftStateFromQt(e->modifiers(), e->buttons());
        const QPoint p = e->position().toPoint();
        Form->DispatchMouse(kind, ButtonOf(e->button()), shift, p.x(), p.y());
    }
};

// The window of a form with a menu bar: the bar on top, the client area's widget under it.
class MenuWindow : public QWidget {
public:
    MenuWindow(TForm* form, QWidget* client) : QWidget(nullptr), Form(form), Client(client)
    {
        setAttribute(Qt::WA_DeleteOnClose, false);
        setAttribute(Qt::WA_QuitOnClose, false);
        setFocusPolicy(Qt::NoFocus);
        Bar = new QMenuBar(this);
        // Always in the window, never the desktop's global menu.
        Bar->setNativeMenuBar(false);
        Bar->setFocusPolicy(Qt::NoFocus);
        Bar->hide();
    }

    int BarHeight(int width) const
    {
        if (!Bar || Bar->isHidden())
            return 0;
        Bar->ensurePolished();
        const int h = Bar->heightForWidth(width);
        return h > 0 ? h : Bar->sizeHint().height();
    }
    void Place()
    {
        const int bar = BarHeight(width());
        if (Bar)
            Bar->setGeometry(0, 0, width(), bar);
        if (Client)
            Client->setGeometry(0, bar, width(), std::max(0, height() - bar));
    }

    TForm* Form;
    QPointer<QWidget> Client;
    QPointer<QMenuBar> Bar;
    bool Forwarding = false;

protected:
    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            // Keys for the window itself belong to the client area (those the client
            // area passed up stop here).
            if (Client && !Forwarding && !Client->isAncestorOf(QApplication::focusWidget()) &&
                QApplication::focusWidget() != Client) {
                Forwarding = true;
                QApplication::sendEvent(Client, e);
                Forwarding = false;
                return true;
            }
            if (Forwarding)
                return true;
            break;
        default:
            break;
        }
        return QWidget::event(e);
    }
    void resizeEvent(QResizeEvent*) override { Place(); }
    void closeEvent(QCloseEvent* e) override
    {
        e->ignore();
        Form->HandleCloseRequest();
    }
    void moveEvent(QMoveEvent*) override { Form->SendCancelMode(nullptr); }
};

} // namespace

namespace {
TScreen TheScreen;

std::map<TCursor, HCURSOR>& CursorRegistry()
{
    static std::map<TCursor, HCURSOR> registry;
    return registry;
}
} // namespace

// Constant-initialised, so that code running at program start can use it.
TScreen* Screen = &TheScreen;

void TScreen::SetCursors(TCursor id, HCURSOR cursor)
{
    if (cursor)
        CursorRegistry()[id] = cursor;
    else
        CursorRegistry().erase(id);
}

HCURSOR TScreen::Cursors(TCursor id) const
{
    const auto& registry = CursorRegistry();
    const auto it = registry.find(id);
    return it == registry.end() ? nullptr : it->second;
}

TPoint TestHooks::CursorHotSpot(TCursor id) { return ::CursorHotSpot(Screen->Cursors(id)); }

int TScreen::Width() const
{
    if (const auto& size = TestHooks::ScreenSizeOverride())
        return size->cx;
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() const
{
    if (const auto& size = TestHooks::ScreenSizeOverride())
        return size->cy;
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

namespace {

// The screen that holds the main window (the primary one before there is a main window).
const QScreen* MainWindowScreen()
{
    if (Application && Application->MainForm())
        if (const QScreen* s = Application->MainForm()->Widget()->screen())
            return s;
    return QGuiApplication::primaryScreen();
}

std::optional<int> DepthFromEnvironment()
{
    const char* text = std::getenv("TP_DESKTOP_DEPTH");
    if (!text)
        return std::nullopt;
    const std::string value(text);
    if (value == "16" || value == "24" || value == "32")
        return std::stoi(value);
    return std::nullopt;
}

} // namespace

int TScreen::BitsPerPixel() const
{
    if (const auto& depth = TestHooks::DesktopDepthOverride())
        return *depth;
    static const std::optional<int> fromEnvironment = DepthFromEnvironment();
    if (fromEnvironment)
        return *fromEnvironment;
    const QScreen* s = MainWindowScreen();
    return s ? s->depth() : 32;
}

void BroadcastDisplayChange(int depth, TSize size)
{
    if (!Application)
        return;
    const LPARAM packed = static_cast<LPARAM>((static_cast<uint32_t>(size.cx) & 0xFFFFu) |
                                              ((static_cast<uint32_t>(size.cy) & 0xFFFFu) << 16));
    for (TForm* form : Application->Forms())
        PostMessage(form->Handle(), WM_DISPLAYCHANGE, static_cast<WPARAM>(depth), packed);
}

void WatchDisplayChanges(QObject* context)
{
    // The last size and depth told, so that each change is told once.
    struct Last {
        int Depth = 0;
        QSize Size;
    };
    auto last = std::make_shared<Last>();
    auto check = [last] {
        const QScreen* s = MainWindowScreen();
        if (!s)
            return;
        const int depth = Screen->BitsPerPixel();
        const QSize size = s->geometry().size();
        if (depth == last->Depth && size == last->Size)
            return;
        const bool first = last->Depth == 0;
        last->Depth = depth;
        last->Size = size;
        if (!first)
            BroadcastDisplayChange(depth, TSize{size.width(), size.height()});
    };
    check();
    auto watch = [context, check](QScreen* s) {
        QObject::connect(s, &QScreen::geometryChanged, context, [check](const QRect&) { check(); });
    };
    for (QScreen* s : QGuiApplication::screens())
        watch(s);
    auto* app = qGuiApp;
    QObject::connect(app, &QGuiApplication::screenAdded, context, [watch, check](QScreen* s) {
        watch(s);
        check();
    });
    QObject::connect(app, &QGuiApplication::screenRemoved, context, [check](QScreen*) { check(); });
    QObject::connect(app, &QGuiApplication::primaryScreenChanged, context, [check](QScreen*) { check(); });
}

namespace {

QWidget* MakeFormWidget(TForm* form)
{
    if (!QApplication::instance())
        throw EInvalidOperation("A form needs the application object");
    return new FormWidget(form);
}

} // namespace

TForm::TForm() : TWinControl(nullptr, MakeFormWidget(this), true, true)
{
    FWidget = TWinControl::Widget();
    ApplyWindowFlags();
    if (Application)
        Application->AddForm(this);
}

TForm::~TForm()
{
    TestHooks::FormGone(this);
    // The controls go before the window that holds theirs.
    static_cast<FormWidget*>(FWidget)->Dying = true;
    DestroyChildren();
    if (FMenu)
        SetMenuBarOf(FMenu->Items(), nullptr);
    DestroyWidget(FWidget);
    DestroyWidget(FWindow);
    if (Application)
        Application->FormDestroyed(this);
}

void TForm::AfterConstruction()
{
    CallProtected([this] { DoCreate(); });
}

void TForm::Free()
{
    CallProtected([this] { DoDestroy(); });
    delete this;
}

void TForm::Release()
{
    PostMessage(FHandle, CM_RELEASE, 0, 0);
}

void TForm::SetCaption(const std::string& caption)
{
    if (caption == FCaption && !WindowWidget()->windowTitle().isEmpty())
        return;
    FCaption = caption;
    // A window without a caption of its own is titled with the program's name.
    WindowWidget()->setWindowTitle(ToQString(caption.empty() && Application ? Application->Title() : caption));
}

QWidget* TForm::WindowWidget() const { return FWindow ? FWindow : FWidget; }

void TForm::MakeMenuWindow()
{
    if (FWindow)
        return;
    auto* client = static_cast<FormWidget*>(FWidget);
    const bool visible = FWidget->isVisible();
    const QPoint at(Left(), Top());
    const QSize size = FWidget->size();
    const QString title = FWidget->windowTitle();
    const Qt::WindowModality modality = FWidget->windowModality();
    auto* window = new MenuWindow(this, FWidget);
    client->Quiet = true;
    FWidget->setParent(window);
    FWidget->setWindowModality(Qt::NonModal);
    FWidget->setMinimumSize(0, 0);
    FWidget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    FWidget->show();
    FWindow = window;
    window->setFocusProxy(FWidget);
    window->setWindowTitle(title);
    window->setWindowModality(modality);
    ApplyWindowFlags();
    MoveTo(at.x(), at.y());
    ResizeClient(size.width(), size.height());
    if (visible)
        window->show();
    client->Quiet = false;
}

void TForm::ShowMenuBar(bool show)
{
    auto* window = static_cast<MenuWindow*>(FWindow);
    if (!window || !window->Bar)
        return;
    const int w = ClientWidth(), h = ClientHeight();
    window->Bar->setVisible(show);
    ResizeClient(w, h);
}

void TForm::SetMenu(TMainMenu* menu)
{
    if (menu == FMenu)
        return;
    if (FMenu) {
        RemoveFreeNotification(FMenu);
        SetMenuBarOf(FMenu->Items(), nullptr);
    }
    FMenu = menu;
    if (!menu) {
        ShowMenuBar(false);
        return;
    }
    FreeNotification(menu);
    MakeMenuWindow();
    SetMenuBarOf(menu->Items(), static_cast<MenuWindow*>(FWindow)->Bar);
    ShowMenuBar(true);
}

void TForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMenu) {
        // Its items are gone already: only the bar goes.
        FMenu = nullptr;
        ShowMenuBar(false);
    }
}

bool TForm::MenuTakesKey(WORD key, TShiftState shift) const
{
    return FMenu && FWindow && AccelCharOf(key, shift) != 0;
}

// A window without a border is all client area: its place is its client area's (the
// window system may not have caught up yet with a border just taken away).
int TForm::Left() const { return FBorderStyle == bsNone ? WindowWidget()->geometry().x() : WindowWidget()->x(); }
int TForm::Top() const { return FBorderStyle == bsNone ? WindowWidget()->geometry().y() : WindowWidget()->y(); }
void TForm::SetLeft(int left) { MoveTo(left, Top()); }
void TForm::SetTop(int top) { MoveTo(Left(), top); }

void TForm::MoveTo(int left, int top)
{
    QWidget* w = WindowWidget();
    if (FBorderStyle == bsNone)
        w->move(w->pos() + QPoint(left, top) - w->geometry().topLeft());
    else
        w->move(left, top);
}
int TForm::Width() const
{
    return FBorderStyle == bsNone ? WindowWidget()->width() : WindowWidget()->frameGeometry().width();
}
int TForm::Height() const
{
    return FBorderStyle == bsNone ? WindowWidget()->height() : WindowWidget()->frameGeometry().height();
}

void TForm::PlaceFrame(int left, int top)
{
    // Just after a window manager has framed a window, the toolkit's idea of where the
    // window is may lag behind the window system's, and a move to a place it takes for the
    // present one is never sent: the window is moved a pixel off first, so that the place
    // asked for goes to the window system whatever the toolkit thought.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && Visible() && FBorderStyle != bsNone)
        MoveTo(left + 1, top);
    MoveTo(left, top);
}

void TForm::SetBounds(int left, int top, int width, int height)
{
    const int frameW = Width() - ClientWidth();
    const int frameH = Height() - ClientHeight();
    MoveTo(left, top);
    ResizeClient(width - frameW, height - frameH);
}

int TForm::ClientWidth() const { return FWidget->width(); }
int TForm::ClientHeight() const { return FWidget->height(); }

void TForm::SetClientWidth(int width) { ResizeClient(width, FWidget->height()); }
void TForm::SetClientHeight(int height) { ResizeClient(FWidget->width(), height); }

void TForm::ResizeClient(int width, int height)
{
    // A fixed border's size limits go first, or they would stop the change.
    QWidget* w = WindowWidget();
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    width = std::max(0, width);
    height = std::max(0, height);
    if (auto* window = static_cast<MenuWindow*>(FWindow)) {
        window->resize(width, height + window->BarHeight(width));
        window->Place();
    } else {
        w->resize(width, height);
    }
    UpdateSizeConstraints();
    // A hidden window hears of its new size only when shown: lay out the controls now.
    Realign();
    Invalidate();
}

TPoint TForm::ClientToScreen(TPoint p) const
{
    const QPoint q = FWidget->mapToGlobal(QPoint(p.X, p.Y));
    return TPoint{q.x(), q.y()};
}

TPoint TForm::ScreenToClient(TPoint p) const
{
    const QPoint q = FWidget->mapFromGlobal(QPoint(p.X, p.Y));
    return TPoint{q.x(), q.y()};
}

void TForm::SetBorderStyle(TBorderStyle style)
{
    if (style == FBorderStyle)
        return;
    FBorderStyle = style;
    ApplyWindowFlags();
}

void TForm::SetFormStyle(TFormStyle style)
{
    if (style == FFormStyle)
        return;
    FFormStyle = style;
    ApplyWindowFlags();
}

void TForm::SetBorderIcons(TBorderIcons icons)
{
    if (icons == FBorderIcons)
        return;
    FBorderIcons = icons;
    ApplyWindowFlags();
}

void TForm::ApplyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window;
    switch (FBorderStyle) {
    case bsNone: flags |= Qt::FramelessWindowHint; break;
    case bsToolWindow:
    case bsSizeToolWin: flags = Qt::Tool; break;
    case bsDialog: flags = Qt::Dialog; break;
    case bsSingle:
        // A fixed-size window with only the caption buttons asked for.
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        if (FBorderIcons & biSystemMenu)
            flags |= Qt::WindowSystemMenuHint;
        if (FBorderIcons & biMinimize)
            flags |= Qt::WindowMinimizeButtonHint;
        if (FBorderIcons & biMaximize)
            flags |= Qt::WindowMaximizeButtonHint;
        break;
    default: break;
    }
    if (FFormStyle == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    // Changing the flags hides a visible window: show it again. The form itself stays
    // shown all along (no OnHide, no OnShow).
    QWidget* w = WindowWidget();
    auto* client = static_cast<FormWidget*>(FWidget);
    const bool wasVisible = w->isVisible();
    const bool hadFrame = !(w->windowFlags() & Qt::FramelessWindowHint);
    const bool wasQuiet = client->Quiet;
    client->Quiet = true;
    w->setWindowFlags(flags);
    UpdateSizeConstraints();
    if (wasVisible)
        w->show();
    client->Quiet = wasQuiet;
    if (wasVisible && !hadFrame && !(flags & Qt::FramelessWindowHint))
        AwaitFrame(w);
}

void TForm::AwaitFrame(QWidget* w)
{
    // The window manager puts a frame round a window some time after it is shown; until
    // then the frame's place and size are the client area's. A window that gets a frame
    // back waits for it a moment, so that what places it by its frame next (or reads
    // Left, Top, Width and Height) does so with the real one. Without a window manager
    // no frame comes, and the moment passes.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    QElapsedTimer waited;
    waited.start();
    auto framed = [w] {
        // Exposed only once mapped, which the window manager does after it has framed it.
        return w->windowHandle() && w->windowHandle()->isExposed() && w->frameGeometry() != w->geometry();
    };
    while (!framed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

void TForm::UpdateSizeConstraints()
{
    const bool fixed = FBorderStyle == bsSingle || FBorderStyle == bsDialog || FBorderStyle == bsToolWindow;
    QWidget* w = WindowWidget();
    if (fixed) {
        w->setFixedSize(w->size());
    } else {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

bool TForm::Visible() const { return WindowWidget()->isVisible(); }

TWindowState TForm::WindowState() const
{
    const Qt::WindowStates state = WindowWidget()->windowState();
    if (state & Qt::WindowMinimized)
        return wsMinimized;
    if (state & Qt::WindowMaximized)
        return wsMaximized;
    return wsNormal;
}

void TForm::SetWindowState(TWindowState state)
{
    QWidget* w = WindowWidget();
    const Qt::WindowStates now = w->windowState();
    // A window that covers the screen goes back to covering it (Qt's maximised state
    // would drop that).
    const bool covering = now & Qt::WindowFullScreen;
    Qt::WindowStates wanted = now & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (state) {
    case wsMinimized: wanted |= Qt::WindowMinimized; break;
    case wsMaximized:
        if (!covering)
            wanted |= Qt::WindowMaximized;
        break;
    default: break;
    }
    if (wanted == now)
        return;
    w->setWindowState(wanted);
    if (w->isVisible() && !(wanted & Qt::WindowMinimized))
        w->show();
}

void TForm::SetVisible(bool visible)
{
    if (visible)
        Show();
    else
        Hide();
}

void TForm::Show()
{
    if (!FShownOnce && FPosition == poScreenCenter) {
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            const QRect area = s->availableGeometry();
            WindowWidget()->move(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2);
        }
    }
    FShownOnce = true;
    WindowWidget()->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        WindowWidget()->raise();
}

void TForm::Hide() { WindowWidget()->hide(); }

void TForm::Close()
{
    if (Modal()) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: WindowWidget()->showMinimized(); break;
    case caFree: Release(); break;
    default: break;
    }
}

bool TForm::Active() const
{
    if (TestHooks::ActiveFormOverride())
        return *TestHooks::ActiveFormOverride() == this;
    return FWidget->isActiveWindow();
}

void TForm::SetFocus()
{
    FWidget->activateWindow();
    FWidget->setFocus(Qt::OtherFocusReason);
}

void TForm::BringToFront()
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        WindowWidget()->raise();
    FWidget->activateWindow();
}

void TForm::EndModalLoop()
{
    if (FModalLoop)
        FModalLoop->exit();
}

void TForm::SetModalResult(TModalResult result)
{
    FModalResult = result;
    if (FModalLoop && result != mrNone)
        FModalLoop->exit();
}

namespace {
int gModalLoops = 0;
} // namespace

int ModalLoopsRunning() { return gModalLoops; }
TModalLoopCount::TModalLoopCount() { ++gModalLoops; }
TModalLoopCount::~TModalLoopCount() { --gModalLoops; }

TModalResult TForm::ShowModal()
{
    if (Visible() || Modal())
        throw EInvalidOperation("Cannot make a visible window modal");
    const TModalLoopCount counted;
    FModalResult = mrNone;
    QEventLoop loop;
    FModalLoop = &loop;
    WindowWidget()->setWindowModality(Qt::ApplicationModal);
    // The window that was active before gets the focus back afterwards.
    struct Restore {
        TForm* Form;
        TForm* Previous;
        ~Restore()
        {
            Form->FModalLoop = nullptr;
            Form->WindowWidget()->hide();
            Form->WindowWidget()->setWindowModality(Qt::NonModal);
            if (Previous && Previous != Form && Previous->Visible())
                Previous->SetFocus();
        }
    } restore{this, Application ? Application->ActiveForm() : nullptr};
    Show();
    TestHooks::NotifyModalStarted(this);
    for (;;) {
        if (FModalResult == mrNone && !(Application && Application->Terminated()))
            loop.exec();
        if (Application && Application->Terminated()) {
            FModalResult = mrCancel;
            break;
        }
        if (FModalResult == mrNone)
            continue;
        // Ending the loop: the form may still refuse, or keep itself open.
        if (!CloseQuery()) {
            FModalResult = mrNone;
            continue;
        }
        TCloseAction action = caHide;
        DoClose(action);
        if (action == caNone) {
            FModalResult = mrNone;
            continue;
        }
        if (action == caFree)
            Release();
        break;
    }
    return FModalResult;
}

void TForm::SetMessageHandler(UINT msg, TWndMethod handler)
{
    if (handler)
        FMessageHandlers[msg] = std::move(handler);
    else
        FMessageHandlers.erase(msg);
}

void TForm::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_RELEASE) {
        Free();
        return;
    }
    auto it = FMessageHandlers.find(Message.Msg);
    if (it != FMessageHandlers.end()) {
        // A copy: the handler may replace its own registration.
        TWndMethod handler = it->second;
        handler(Message);
        return;
    }
    DefaultHandler(Message);
}

void TForm::DefaultHandler(TMessage& Message)
{
    // A move command starts a move by the window system, which follows the pointer
    // while the button stays down.
    if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_MOVE && FWidget &&
        WindowWidget()->windowHandle())
        WindowWidget()->windowHandle()->startSystemMove();
    DefWindowProc(Message);
}

void TForm::PreviewKeyDown(WORD& Key, TShiftState Shift)
{
    if (FKeyPreview)
        KeyDown(Key, Shift);
}

void TForm::PreviewKeyUp(WORD& Key, TShiftState Shift)
{
    if (FKeyPreview)
        KeyUp(Key, Shift);
}

void TForm::PreviewKeyPress(char& Key)
{
    if (FKeyPreview)
        KeyPress(Key);
}

void TForm::HandleKey(bool press, WORD key, char typed, TShiftState shift, bool autoRepeat)
{
    if (!press) {
        // Auto-repeat comes as release/press pairs: only the presses count.
        if (!autoRepeat)
            CallProtected([&] { KeyUp(key, shift); });
        return;
    }
    const char accel = AccelCharOf(key, shift);
    if (accel != 0)
        typed = 0;
    CallProtected([&] { KeyDown(key, shift); });
    if (typed != 0)
        CallProtected([&] { KeyPress(typed); });
    const char offered = accel != 0 ? accel : static_cast<unsigned char>(typed) < 32 ? 0 : typed;
    if (offered != 0 && DispatchDialogChar(this, offered, shift))
        return;
    if (key != 0 && typed != 0 && (key == VK_RETURN || key == VK_ESCAPE) && shift == TShiftState{})
        PressDialogButton(this, key);
}

void TForm::HandleCloseRequest()
{
    CallProtected([this] { Close(); });
}

void TForm::HandleShown(bool shown)
{
    if (!shown)
        SendCancelMode(nullptr);
    // A modal form hidden by its own code ends its modal loop.
    if (!shown && Modal() && FModalResult == mrNone)
        SetModalResult(mrCancel);
    CallProtected([&] {
        if (shown)
            DoShow();
        else
            DoHide();
    });
}

void TForm::SetActiveControl(TWinControl* control)
{
    if (control == this)
        control = nullptr;
    if (!control) {
        FActiveControl = nullptr;
        return;
    }
    if (control->ParentForm() != this || !control->Widget())
        throw EInvalidOperation("Cannot focus a control of another form");
    if (Active()) {
        control->SetFocus();
        return;
    }
    // Qt remembers the window's focus widget and gives it the focus on activation.
    FActiveControl = control;
    control->Widget()->setFocus(Qt::OtherFocusReason);
}

void TForm::FocusArrived(TWinControl* control)
{
    if (control == FActiveControl)
        return;
    if (TWinControl* old = FActiveControl) {
        if (!CallProtected([old] { old->DoExit(); })) {
            // The move is cancelled: the focus goes back to the control that refused it.
            if (FActiveControl == old && old->Widget())
                old->Widget()->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (FActiveControl != old)
            return; // the handler moved the focus itself
    }
    FActiveControl = control;
    CallProtected([control] { control->DoEnter(); });
    if (FActiveControl == control)
        NotifyFocusChanged(this, control);
}

bool TForm::MenuDialogChar(char c, TShiftState shift)
{
    auto* window = static_cast<MenuWindow*>(FWindow);
    if (!FMenu || !window || !window->Bar || !shift.Contains(ssAlt))
        return false;
    TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (!item->Visible() || !item->Enabled() || item->IsLine() || !IsAccel(c, item->Caption()))
            continue;
        OpenMenuBarItem(window->Bar, item);
        return true;
    }
    return false;
}

void TForm::ControlLeaving(TWinControl* control)
{
    for (TControl* c = FActiveControl; c; c = c->Parent())
        if (c == control) {
            FActiveControl = nullptr;
            return;
        }
}

void TForm::DefocusControl(TWinControl* control)
{
    bool holds = false;
    for (TControl* c = FActiveControl; c && !holds; c = c->Parent())
        holds = c == control;
    // Qt's own idea of the window's focus, in case it moved without the form hearing.
    QWidget* focus = FWidget->focusWidget();
    const bool qtHolds = focus && control->Widget() && (focus == control->Widget() || control->Widget()->isAncestorOf(focus));
    if (!holds && !qtHolds)
        return;
    TWinControl* old = holds ? FActiveControl : nullptr;
    if (holds)
        FActiveControl = nullptr;
    // Left to itself Qt would hand the focus on to the next control in the chain.
    if (qtHolds)
        FWidget->setFocus(Qt::OtherFocusReason);
    if (!old)
        return;
    CallProtected([old] { old->DoExit(); });
    if (!FActiveControl)
        NotifyFocusChanged(this, nullptr);
}

void TForm::SendCancelMode(TControl* Sender)
{
    TControl* focused = FActiveControl;
    if (focused)
        CallProtected([&] { focused->CancelMode(Sender); });
    // Read after the focused control's turn, which may have freed the capture's holder.
    TControl* capture = GetCaptureControl();
    if (capture && capture != focused && capture->ParentForm() == this)
        CallProtected([&] { capture->CancelMode(Sender); });
}

void TForm::HandleActivation(bool active)
{
    if (!active)
        SendCancelMode(nullptr);
    CallProtected([&] {
        if (active)
            Activate();
        else
            Deactivate();
    });
    if (Application)
        Application->CheckActivation();
}

void TForm::HandleResize()
{
    SendCancelMode(nullptr);
    Realign();
    Invalidate();
    CallProtected([this] { Resize(); });
}

void TForm::DoCreate() { if (OnCreate) OnCreate(this); }
void TForm::DoDestroy() { if (OnDestroy) OnDestroy(this); }
void TForm::DoShow() { if (OnShow) OnShow(this); }
void TForm::DoHide() { if (OnHide) OnHide(this); }
void TForm::Activate() { if (OnActivate) OnActivate(this); }
void TForm::Deactivate() { if (OnDeactivate) OnDeactivate(this); }
void TForm::Resize() { if (OnResize) OnResize(this); }

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& Action) { if (OnClose) OnClose(this, Action); }
