#include "platform/TestHooks.h"

#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "platform/Application.h"
#include "platform/Fmod.h"
#include "platform/MessageQueue.h"
#include "platform/QtBridge.h"

// Qt's own entry for keys the window system sends: shortcut override, then the
// application's shortcuts (what its test library uses).
bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                  const QString& text, bool autorep, ushort count);

namespace TestHooks {

namespace {

struct State {
    TMessageBoxAnswer Answer;
    std::vector<TMessageBoxRequest> Log;
    std::function<void(TForm*)> ModalStarted;
    std::function<void(TWindowKind)> WindowShown;
    std::optional<bool> ApplicationActive;
    std::optional<TForm*> ActiveForm;
    std::optional<TSize> ScreenSize;
    std::optional<int> DesktopDepth;
    Qt::MouseButtons HeldButtons;
    QPointer<QWidget> Grabber; // the widget that got the press, until the release
    QPointer<QWidget> Under;   // the widget the pointer is over
};

State& Hooks()
{
    static State s;
    return s;
}

Qt::MouseButton QtButton(TMouseButton b)
{
    switch (b) {
    case mbRight: return Qt::RightButton;
    case mbMiddle: return Qt::MiddleButton;
    default: return Qt::LeftButton;
    }
}

QWidget* KeyTarget(TForm* form)
{
    QWidget* w = form->Widget()->focusWidget();
    return w ? w : form->Widget();
}

// A window that a modal window blocks gets no input, as from the window system.
bool BlockedByModal(QWidget* w)
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal && w && modal != w->window() && !modal->isAncestorOf(w);
}

QKeyEvent MakeKeyEvent(QEvent::Type type, WORD key, TShiftState shift, bool autoRepeat)
{
    bool keypad = false;
    const int qtKey = QtKeyFromKeyCode(key, keypad);
    Qt::KeyboardModifiers modifiers = QtModifiersFromShiftState(shift);
    if (keypad)
        modifiers |= Qt::KeypadModifier;
    QString text = QtTextForKeyCode(key, shift);
    if (shift.Contains(ssCtrl) && key >= 'A' && key <= 'Z')
        text = QString(QChar(key - 'A' + 1)); // what X11 reports for Ctrl+letter
    return QKeyEvent(type, qtKey, modifiers, text, autoRepeat);
}

void SendKey(TForm* form, QEvent::Type type, WORD key, TShiftState shift, bool autoRepeat)
{
    if (BlockedByModal(KeyTarget(form)))
        return;
    QKeyEvent e = MakeKeyEvent(type, key, shift, autoRepeat);
    QApplication::sendEvent(KeyTarget(form), &e);
}

// A widget that holds the mouse grab in another window gets the event in its own
// coordinates, as from the window system: an open menu (a press outside closes it and
// goes no further), or a pop-up window's capture.
bool SendToGrab(QWidget* top, QEvent::Type type, Qt::MouseButton button, QPoint local, TShiftState shift)
{
    QWidget* menu = QApplication::activePopupWidget();
    QWidget* receiver = menu && menu != top ? menu : QWidget::mouseGrabber();
    if (!receiver || receiver->window() == top)
        return false;
    const QPointF global = top->mapToGlobal(QPointF(local));
    auto& held = Hooks().HeldButtons;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        held |= button;
    else if (type == QEvent::MouseButtonRelease)
        held &= ~Qt::MouseButtons(button);
    QMouseEvent e(type, receiver->mapFromGlobal(global), global, button, held, QtModifiersFromShiftState(shift));
    QApplication::sendEvent(receiver, &e);
    if (receiver == menu)
        Hooks().Grabber = nullptr; // the press that closed the menu leaves nothing holding the mouse
    return true;
}

void SendMouse(TWinControl* window, QEvent::Type type, Qt::MouseButton button, TPoint at, TShiftState shift)
{
    QWidget* inner = window->Widget();
    QWidget* top = inner->window();
    const QPoint local = inner->mapTo(top, QPoint(at.X, at.Y));
    if (SendToGrab(top, type, button, local, shift))
        return;
    if (BlockedByModal(top))
        return;
    QWidget* under = top->childAt(local);
    if (!under)
        under = top;
    // As the window system does: the pointer entering and leaving widgets, and the
    // widget that got a press keeping the mouse until the release.
    auto& hooks = Hooks();
    if (hooks.Under != under) {
        // Like the window system: the widgets the pointer left get Leave, innermost
        // first, and the ones it entered get Enter, outermost first (a combo box hears
        // the pointer entering its edit field); their common ancestors get neither.
        auto contains = [](QWidget* outer, QWidget* w) {
            for (; w; w = w->parentWidget())
                if (w == outer)
                    return true;
            return false;
        };
        QWidget* old = hooks.Under;
        std::vector<QPointer<QWidget>> leaving;
        for (QWidget* w = old; w && !contains(w, under); w = w->parentWidget())
            leaving.emplace_back(w);
        std::vector<QPointer<QWidget>> entering;
        for (QWidget* w = under; w && !contains(w, old); w = w->parentWidget())
            entering.emplace_back(w);
        hooks.Under = under;
        for (const QPointer<QWidget>& w : leaving) {
            if (!w)
                continue;
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(w, &leave);
        }
        for (auto it = entering.rbegin(); it != entering.rend(); ++it) {
            if (!*it)
                continue;
            QWidget* w = *it;
            QEnterEvent enter(w->mapFrom(top, QPointF(local)), w->mapFrom(top, QPointF(local)),
                              top->mapToGlobal(QPointF(local)));
            QApplication::sendEvent(w, &enter);
        }
    }
    // A grabber taken out of this window (freed by its own press) grabs no more.
    const bool grabbed = hooks.Grabber && hooks.HeldButtons && hooks.Grabber->window() == top;
    QWidget* target = grabbed ? hooks.Grabber.data() : under;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        hooks.Grabber = target;
        // As Qt does for the window system's presses: a native control (an edit, a list)
        // that takes the focus by clicks gets it before the press arrives.
        if (target == under && (under->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus && under->isEnabled() &&
            !under->hasFocus()) {
            const QVariant v = under->property("tpControl");
            auto* control = v.isValid() ? static_cast<TWinControl*>(v.value<void*>()) : nullptr;
            if (control && control->WantsCharacters()) {
                QPointer<QWidget> guard(target);
                const int code = button == Qt::LeftButton ? VK_LBUTTON : button == Qt::RightButton ? VK_RBUTTON : VK_MBUTTON;
                NoteKeyState(code, true);
                under->setFocus(Qt::MouseFocusReason);
                if (!guard)
                    return; // a focus handler took the window away
            }
        }
    }
    const QPointF targetPos = target->mapFrom(top, QPointF(local));
    const QPointF global = top->mapToGlobal(local);
    auto& held = Hooks().HeldButtons;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        held |= button;
    else if (type == QEvent::MouseButtonRelease)
        held &= ~Qt::MouseButtons(button);
    QMouseEvent e(type, targetPos, global, button, held, QtModifiersFromShiftState(shift));
    QApplication::sendEvent(target, &e);
}

} // namespace

void SetMessageBoxAnswer(TMessageBoxAnswer answer) { Hooks().Answer = std::move(answer); }

void AnswerMessageBoxesWith(TModalResult result)
{
    SetMessageBoxAnswer([result](const TMessageBoxRequest& r) -> TModalResult {
        struct Pair {
            TMsgDlgBtn Button;
            TModalResult Result;
        };
        static const Pair Pairs[] = {{mbYes, mrYes}, {mbNo, mrNo}, {mbOK, mrOk}, {mbCancel, mrCancel},
                                     {mbAbort, mrAbort}, {mbRetry, mrRetry}, {mbIgnore, mrIgnore}};
        const TMsgDlgButtons buttons = r.Buttons.Empty() ? TMsgDlgButtons{mbOK} : r.Buttons;
        for (const auto& p : Pairs)
            if (p.Result == result && buttons.Contains(p.Button))
                return result;
        for (const auto& p : Pairs)
            if (buttons.Contains(p.Button))
                return p.Result;
        return result;
    });
}

const std::vector<TMessageBoxRequest>& MessageBoxLog() { return Hooks().Log; }
void ClearMessageBoxLog() { Hooks().Log.clear(); }

bool AnswerMessageBox(const TMessageBoxRequest& request, TModalResult& answer)
{
    auto& h = Hooks();
    h.Log.push_back(request);
    if (!h.Answer)
        return false;
    answer = h.Answer(request);
    return true;
}

void SetModalStarted(std::function<void(TForm*)> started) { Hooks().ModalStarted = std::move(started); }

void NotifyModalStarted(TForm* form)
{
    auto started = Hooks().ModalStarted;
    if (!started || !QApplication::instance())
        return;
    QPointer<QWidget> alive(form->Widget());
    QTimer::singleShot(0, QApplication::instance(), [started, form, alive] {
        if (alive)
            CallProtected([&] { started(form); });
    });
}

void SetWindowShown(std::function<void(TWindowKind)> shown) { Hooks().WindowShown = std::move(shown); }

bool WindowShownHookSet() { return static_cast<bool>(Hooks().WindowShown); }

void NotifyWindowShown(TWindowKind kind)
{
    auto shown = Hooks().WindowShown;
    if (!shown || !QApplication::instance())
        return;
    QTimer::singleShot(0, QApplication::instance(), [shown, kind] { CallProtected([&] { shown(kind); }); });
}

bool Headless() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

void KeyToTopWindow(WORD key, TShiftState shift)
{
    QWidget* target = QApplication::activePopupWidget();
    if (!target)
        target = QApplication::activeModalWidget();
    // A menu that has closed may still count as the active window without a window system.
    if (!target && QApplication::activeWindow() && QApplication::activeWindow()->isVisible())
        target = QApplication::activeWindow();
    if (!target && Application && Application->ActiveForm())
        target = Application->ActiveForm()->Widget();
    if (!target)
        return;
    if (QWidget* focus = target->focusWidget(); focus && !QApplication::activePopupWidget())
        target = focus;
    QPointer<QWidget> alive(target);
    QKeyEvent press = MakeKeyEvent(QEvent::KeyPress, key, shift, false);
    // Shortcuts first (Alt and a menu's letter), as the window system's keys go.
    if (!qt_sendShortcutOverrideEvent(target, press.timestamp(), press.key(), press.modifiers(), press.text(),
                                      false, 1) &&
        alive)
        QApplication::sendEvent(target, &press);
    QWidget* releaseTarget = QApplication::activePopupWidget();
    if (!releaseTarget)
        releaseTarget = alive ? alive.data() : nullptr;
    if (!releaseTarget)
        return;
    QKeyEvent release = MakeKeyEvent(QEvent::KeyRelease, key, shift, false);
    QApplication::sendEvent(releaseTarget, &release);
}

void SetApplicationActive(std::optional<bool> active)
{
    Hooks().ApplicationActive = active;
    if (Application)
        Application->CheckActivation();
}

const std::optional<bool>& ApplicationActiveOverride() { return Hooks().ApplicationActive; }

void SetActiveForm(TForm* form)
{
    TForm* previous = Application ? Application->ActiveForm() : nullptr;
    Hooks().ActiveForm = form;
    if (previous == form)
        return;
    if (previous)
        previous->HandleActivation(false);
    if (form)
        form->HandleActivation(true);
    // Without a window system nothing activates a window, and Qt gives the keyboard focus
    // (and its enter and exit events) only inside the active one: make it active here.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QApplication::setActiveWindow(form ? form->Widget() : nullptr);
}

void ReleaseActiveForm() { Hooks().ActiveForm.reset(); }

void FormGone(TForm* form)
{
    // A freed form is no longer the active window.
    auto& active = Hooks().ActiveForm;
    if (active && *active == form)
        *active = nullptr;
}

const std::optional<TForm*>& ActiveFormOverride() { return Hooks().ActiveForm; }

void SetCursorPos(std::optional<TPoint> position) { CursorPosOverride() = position; }

void SetScreenSize(std::optional<TSize> size) { Hooks().ScreenSize = size; }

void SetDesktopDepth(std::optional<int> depth) { Hooks().DesktopDepth = depth; }
const std::optional<int>& DesktopDepthOverride() { return Hooks().DesktopDepth; }

void TriggerDisplayChange(int depth, TSize size)
{
    Hooks().DesktopDepth = depth;
    BroadcastDisplayChange(depth, size);
}
const std::optional<TSize>& ScreenSizeOverride() { return Hooks().ScreenSize; }

void SetKeyState(int keyCode, bool down) { NoteKeyState(keyCode, down); }

void KeyDown(TForm* form, WORD key, TShiftState shift, bool autoRepeat)
{
    SendKey(form, QEvent::KeyPress, key, shift, autoRepeat);
}

void KeyUp(TForm* form, WORD key, TShiftState shift, bool autoRepeat)
{
    SendKey(form, QEvent::KeyRelease, key, shift, autoRepeat);
}

void KeyStroke(TForm* form, WORD key, TShiftState shift)
{
    KeyDown(form, key, shift);
    KeyUp(form, key, shift);
}

void MouseDown(TWinControl* window, TMouseButton button, TPoint at, TShiftState shift)
{
    SendMouse(window, QEvent::MouseButtonPress, QtButton(button), at, shift);
}

void MouseUp(TWinControl* window, TMouseButton button, TPoint at, TShiftState shift)
{
    SendMouse(window, QEvent::MouseButtonRelease, QtButton(button), at, shift);
}

void MouseMove(TWinControl* window, TPoint at, TShiftState shift)
{
    SendMouse(window, QEvent::MouseMove, Qt::NoButton, at, shift);
}

void MouseDoubleClick(TWinControl* window, TMouseButton button, TPoint at, TShiftState shift)
{
    SendMouse(window, QEvent::MouseButtonDblClick, QtButton(button), at, shift);
}

namespace {

class QueuedInput : public QEvent {
public:
    explicit QueuedInput(std::function<void()> inject)
        : QEvent(static_cast<QEvent::Type>(QEvent::User + 0x782)), Inject(std::move(inject))
    {
    }
    std::function<void()> Inject;
};

class QueuedInputTarget : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User + 0x782)
            return QObject::event(e);
        auto* queued = static_cast<QueuedInput*>(e);
        if (queued->Inject)
            queued->Inject();
        return true;
    }
};

} // namespace

void QueueInput(std::function<void()> inject)
{
    static QueuedInputTarget* target = new QueuedInputTarget; // lives as long as the program
    QCoreApplication::postEvent(target, new QueuedInput(std::move(inject)));
}

bool RunPostedMessages(int maxRounds)
{
    for (int i = 0; i < maxRounds && PendingMessageCount() > 0; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return PendingMessageCount() == 0;
}

int PendingPostedMessages() { return PendingMessageCount(); }

namespace {
std::vector<std::function<void()>>& ResetSteps()
{
    static std::vector<std::function<void()>> steps;
    return steps;
}
} // namespace

TResetStep::TResetStep(std::function<void()> step) { ResetSteps().push_back(std::move(step)); }

void Reset()
{
    for (const auto& step : ResetSteps())
        step();
    auto& h = Hooks();
    h.Answer = nullptr;
    h.Log.clear();
    h.ModalStarted = nullptr;
    h.WindowShown = nullptr;
    h.ApplicationActive.reset();
    h.ActiveForm.reset();
    h.ScreenSize.reset();
    h.DesktopDepth.reset();
    h.HeldButtons = Qt::NoButton;
    h.Grabber = nullptr;
    h.Under = nullptr;
    CursorPosOverride().reset();
    ClearKeyStates();
    FmodTest::SetDeviceNames(std::nullopt);
    FmodTest::UseManualClock(false);
    if (Application) {
        Application->ClearTerminated();
        Application->OnActivate = nullptr;
        Application->OnDeactivate = nullptr;
        Application->OnException = nullptr;
    }
}

unsigned long NativeWindowId(TForm* form)
{
    return form ? static_cast<unsigned long>(form->WindowWidget()->winId()) : 0;
}

} // namespace TestHooks
