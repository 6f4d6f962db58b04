#include "platform/Messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <list>
#include <map>
#include <memory>
#include <mutex>

#include "platform/Application.h"
#include "platform/MessageQueue.h"

namespace {

const QEvent::Type PostedMessageType = static_cast<QEvent::Type>(QEvent::User + 0x781);

std::atomic<int> PendingCount{0};

// A queued message as RemovePostedMessage sees it.
struct Pending {
    HWND Window = nullptr;
    UINT Msg = 0;
    bool Removed = false;
};

class PostedMessage : public QEvent {
public:
    PostedMessage(HWND window, const TMessage& message, std::shared_ptr<Pending> entry)
        : QEvent(PostedMessageType), Window(window), Message(message), Entry(std::move(entry))
    {
        ++PendingCount;
    }
    ~PostedMessage() override;

    HWND Window;
    TMessage Message;
    std::shared_ptr<Pending> Entry;
};

// Delivers posted messages on the UI thread.
class Dispatcher : public QObject {
public:
    bool event(QEvent* e) override;
};

struct Registry {
    std::recursive_mutex Lock; // recursive: Qt may free a message while it is being posted
    std::map<HWND, std::shared_ptr<TWndMethod>> Windows;
    Dispatcher* Target = nullptr;
    uintptr_t LastHandle = 0;
    std::list<std::shared_ptr<Pending>> Queue; // in the order posted
};

Registry& Windows()
{
    static Registry r;
    return r;
}

PostedMessage::~PostedMessage()
{
    auto& r = Windows();
    std::lock_guard lock(r.Lock);
    if (!Entry->Removed)
        --PendingCount;
    auto it = std::find(r.Queue.begin(), r.Queue.end(), Entry);
    if (it != r.Queue.end())
        r.Queue.erase(it);
}

std::shared_ptr<TWndMethod> MethodOf(HWND window)
{
    auto& r = Windows();
    std::lock_guard lock(r.Lock);
    auto it = r.Windows.find(window);
    return it == r.Windows.end() ? nullptr : it->second;
}

bool Dispatcher::event(QEvent* e)
{
    if (e->type() != PostedMessageType)
        return QObject::event(e);
    auto* posted = static_cast<PostedMessage*>(e);
    {
        auto& r = Windows();
        std::lock_guard lock(r.Lock);
        if (posted->Entry->Removed)
            return true;
    }
    if (auto method = MethodOf(posted->Window)) {
        TMessage message = posted->Message;
        CallProtected([&] { (*method)(message); });
    }
    return true;
}

} // namespace

bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& r = Windows();
    std::lock_guard lock(r.Lock);
    if (!r.Target || r.Windows.find(window) == r.Windows.end())
        return false;
    auto entry = std::make_shared<Pending>(Pending{window, msg, false});
    r.Queue.push_back(entry);
    QCoreApplication::postEvent(r.Target, new PostedMessage(window, TMessage{msg, wParam, lParam, 0}, entry));
    return true;
}

bool RemovePostedMessage(HWND window, UINT msg)
{
    auto& r = Windows();
    std::lock_guard lock(r.Lock);
    for (const auto& entry : r.Queue)
        if (!entry->Removed && entry->Window == window && entry->Msg == msg) {
            entry->Removed = true;
            --PendingCount;
            return true;
        }
    return false;
}

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto method = MethodOf(window);
    if (!method)
        return 0;
    TMessage message{msg, wParam, lParam, 0};
    CallProtected([&] { (*method)(message); });
    return message.Result;
}

HWND AllocateHWnd(TWndMethod method)
{
    auto& r = Windows();
    std::lock_guard lock(r.Lock);
    HWND window = reinterpret_cast<HWND>(++r.LastHandle);
    r.Windows[window] = std::make_shared<TWndMethod>(std::move(method));
    return window;
}

void DeallocateHWnd(HWND window)
{
    std::shared_ptr<TWndMethod> gone; // released outside the lock
    auto& r = Windows();
    std::lock_guard lock(r.Lock);
    auto it = r.Windows.find(window);
    if (it != r.Windows.end()) {
        gone = std::move(it->second);
        r.Windows.erase(it);
    }
}

bool IsWindow(HWND window)
{
    return MethodOf(window) != nullptr;
}

void StartMessageQueue()
{
    auto& r = Windows();
    std::lock_guard lock(r.Lock);
    if (!r.Target)
        r.Target = new Dispatcher;
}

void StopMessageQueue()
{
    Dispatcher* target = nullptr;
    {
        auto& r = Windows();
        std::lock_guard lock(r.Lock);
        target = r.Target;
        r.Target = nullptr;
    }
    delete target; // drops the messages still queued for it
}

int PendingMessageCount()
{
    return PendingCount.load();
}

namespace {

bool IsKeyOrButtonInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// Eats key and button input delivered at the loop level it was made at.
class InputEater : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        return IsKeyOrButtonInput(e->type()) && QThread::currentThread()->loopLevel() == Level;
    }
    int Level = QThread::currentThread()->loopLevel();
};

} // namespace

void DiscardPendingInput()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    InputEater eater;
    app->installEventFilter(&eater);
    // Twice: input that the first pass read from the window system may come in two steps.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(&eater);
}
