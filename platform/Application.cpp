#include "platform/Application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QMouseEvent>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/Dialogs.h"
#include "platform/MessageQueue.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"
#include "platform/WidgetLife.h"

TApplication* Application = nullptr;

namespace {

int MouseKeyCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return VK_LBUTTON;
    case Qt::RightButton: return VK_RBUTTON;
    case Qt::MiddleButton: return VK_MBUTTON;
    default: return -1;
    }
}

// Qt's application object. Every event passes notify: it feeds the key-state table,
// marks a widget receiving it as in use (a handler may free its control), and it is the
// last barrier against an exception reaching Qt.
class AppCore : public QApplication {
public:
    AppCore(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (!(e->type() == QEvent::KeyRelease && k->isAutoRepeat()))
                NoteKeyState(KeyCodeFromEvent(*k), e->type() == QEvent::KeyPress);
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
            NoteKeyState(MouseKeyCode(static_cast<QMouseEvent*>(e)->button()),
                         e->type() != QEvent::MouseButtonRelease);
            break;
        case QEvent::ApplicationDeactivate:
            // Keys released while another program has the keyboard are never seen.
            ClearKeyStates();
            break;
        default:
            break;
        }
        bool handled = false;
        const WidgetInUse use(receiver->isWidgetType() ? receiver : nullptr);
        CallProtected([&] { handled = QApplication::notify(receiver, e); });
        return handled;
    }
};

std::string MessageOf(std::exception_ptr e)
{
    try {
        std::rethrow_exception(e);
    } catch (const Exception& x) {
        return x.Message();
    } catch (const std::exception& x) {
        return x.what();
    } catch (...) {
        return "Unknown exception";
    }
}

// From Initialize (or Run) until Run ends, SIGINT, SIGTERM and SIGHUP (Ctrl+C, a
// logout, a kill) close the main form as its close button would, so the program saves
// and ends cleanly. A second signal while the first is pending ends the program at once.
int SignalPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int sig)
{
    const char byte = static_cast<char>(sig);
    if (SignalPipe[1] < 0 || ::write(SignalPipe[1], &byte, 1) != 1) {
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
    std::signal(sig, SIG_DFL); // a second one is not caught
}

class StopSignals {
public:
    explicit StopSignals(TApplication* app)
    {
        if (::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        FNotifier = std::make_unique<QSocketNotifier>(SignalPipe[0], QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [app] {
            char byte;
            while (::read(SignalPipe[0], &byte, 1) == 1) {
            }
            // A modal window open now is closed first (as its close button would), so
            // that nothing waits for an answer that will not come.
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
            // The main form, or the first form while it is still being created.
            TForm* main = app->MainForm();
            if (!main && !app->Forms().empty())
                main = app->Forms().front();
            if (main)
                main->Widget()->close();
            else
                app->Terminate();
        });
        sigset_t stops;
        sigemptyset(&stops);
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
            std::signal(sig, OnStopSignal);
            sigaddset(&stops, sig);
        }
        // A signal that arrived while they were blocked (a parent's mask) comes now.
        pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
    }
    ~StopSignals()
    {
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            std::signal(sig, SIG_DFL);
        FNotifier.reset();
        for (int& fd : SignalPipe)
            if (fd >= 0) {
                ::close(fd);
                fd = -1;
            }
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    std::unique_ptr<QSocketNotifier> FNotifier;
};

} // namespace

struct TApplication::Impl {
    std::unique_ptr<AppCore> Core;
    std::unique_ptr<QTranslator> Translator;
    std::unique_ptr<StopSignals> Stops;
};

void TApplication::Initialize()
{
    // From here on a stop signal closes the main form (once there is one).
    if (!d->Stops)
        d->Stops = std::make_unique<StopSignals>(this);
}

TApplication::TApplication(int& argc, char** argv) : d(std::make_unique<Impl>())
{
    if (Application)
        throw EInvalidOperation("The application object exists already");
    d->Core = std::make_unique<AppCore>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // A file written past the size limit (ulimit -f) fails with an error the writer
    // reports and cleans up after, instead of the signal ending the program mid-write.
    std::signal(SIGXFSZ, SIG_IGN);
    // Message boxes speak the user's language: the standard buttons ("Yes", "No"...) come
    // from Qt's own translations for the system locale when they are installed.
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        d->Translator = std::move(translator);
    }
    QObject::connect(d->Core.get(), &QGuiApplication::applicationStateChanged, d->Core.get(),
                     [this](Qt::ApplicationState) { CheckActivation(); });
    StartMessageQueue();
    Application = this;
    WatchDisplayChanges(d->Core.get());
}

TApplication::~TApplication()
{
    while (!FForms.empty()) {
        TForm* form = FForms.back();
        FForms.pop_back();
        form->Free();
    }
    FMainForm = nullptr;
    DeleteWidgetsSetAside();
    StopMessageQueue();
    Application = nullptr;
    d->Stops.reset();
    d->Translator.reset();
    d->Core.reset();
}

void TApplication::SetTitle(const std::string& title)
{
    // The program's own boxes carry it. Given to Qt as the display name, it would be
    // appended to every window's caption but the main one ("Editor — Gromble").
    FTitle = title;
}

void TApplication::AddForm(TForm* form)
{
    FForms.push_back(form);
}

void TApplication::FormDestroyed(TForm* form)
{
    std::erase(FForms, form);
    if (FMainForm == form)
        FMainForm = nullptr;
}

void TApplication::Run()
{
    if (FTerminated)
        return;
    if (FMainForm && !FMainForm->Visible())
        FMainForm->Show();
    // A test-only way to stop a program started headless: after TP_AUTOCLOSE_MS
    // milliseconds, post the message TP_AUTOCLOSE_MESSAGE to the main form, or close
    // it as the title bar's close button would when no message is named.
    if (const char* ms = std::getenv("TP_AUTOCLOSE_MS")) {
        const int delay = std::atoi(ms);
        const char* msg = std::getenv("TP_AUTOCLOSE_MESSAGE");
        const UINT number = msg ? static_cast<UINT>(std::strtoul(msg, nullptr, 0)) : 0;
        QTimer::singleShot(std::max(0, delay), d->Core.get(), [this, number] {
            if (!FMainForm)
                return;
            std::fprintf(stderr, "[autoclose] title \"%s\" main form \"%s\" %dx%d %s\n", FTitle.c_str(),
                         FMainForm->Caption().c_str(), FMainForm->ClientWidth(), FMainForm->ClientHeight(),
                         FMainForm->Visible() ? "visible" : "hidden");
            if (number != 0)
                PostMessage(FMainForm->Handle(), number, 0, 0);
            else
                FMainForm->Widget()->close();
        });
    }
    Initialize();
    // Test-only: TP_REPORT_RUNNING says on standard error when the loop runs.
    if (std::getenv("TP_REPORT_RUNNING"))
        QTimer::singleShot(0, d->Core.get(), [] { std::fprintf(stderr, "[running]\n"); });
    FRunning = true;
    while (!FTerminated)
        QApplication::exec();
    FRunning = false;
    d->Stops.reset();
}

void TApplication::Terminate()
{
    FTerminated = true;
    // Leaves every running loop (modal ones too) without closing any window. Outside
    // Run there is no main loop to leave (and telling Qt to leave one then would make
    // every later loop end at once).
    if (FRunning)
        QCoreApplication::exit(0);
    for (TForm* f : FForms)
        f->EndModalLoop();
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool TApplication::Active() const
{
    if (const auto& forced = TestHooks::ApplicationActiveOverride())
        return *forced;
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

TForm* TApplication::ActiveForm() const
{
    if (const auto& forced = TestHooks::ActiveFormOverride())
        return *forced;
    const QWidget* active = QApplication::activeWindow();
    for (TForm* f : FForms)
        if (f->WindowWidget() == active)
            return f;
    return nullptr;
}

void TApplication::CheckActivation()
{
    const bool active = Active();
    if (active == FWasActive)
        return;
    FWasActive = active;
    CallProtected([&] {
        if (active && OnActivate)
            OnActivate(this);
        else if (!active && OnDeactivate)
            OnDeactivate(this);
    });
}

void TApplication::Minimize()
{
    for (TForm* f : FForms)
        if (f->Visible())
            f->WindowWidget()->showMinimized();
}

void TApplication::Restore()
{
    for (TForm* f : FForms)
        if (f->Visible() && f->WindowState() == wsMinimized)
            f->SetWindowState(wsNormal);
}

void TApplication::HandleException(TObject* Sender)
{
    HandleException(Sender, std::current_exception());
}

void TApplication::HandleException(TObject* Sender, std::exception_ptr e)
{
    if (!e)
        return;
    try {
        std::rethrow_exception(e);
    } catch (const EAbort&) {
        return;
    } catch (const Exception& x) {
        if (OnException)
            OnException(Sender, x);
        else
            ShowException(x);
    } catch (...) {
        const Exception x(MessageOf(e));
        if (OnException)
            OnException(Sender, x);
        else
            ShowException(x);
    }
}

void TApplication::ShowException(const Exception& E)
{
    RunMessageBox(TMessageBoxRequest{FTitle, E.Message(), mtError, {mbOK}, {}});
}

void HandleCurrentException() noexcept
{
    const std::exception_ptr e = std::current_exception();
    try {
        if (Application) {
            Application->HandleException(nullptr, e);
            return;
        }
    } catch (...) {
        // The handler failed too: fall through to standard error.
    }
    const std::string text = MessageOf(e);
    std::fprintf(stderr, "%s\n", text.c_str());
}
