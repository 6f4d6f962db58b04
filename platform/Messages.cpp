#include "platform/Messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include "platform/Application.h"
#include "platform/MessageQueue.h"

namespace {

const QEvent::Type PostedMessageType = static_cast<QEvent::Type>(QEvent::User + 0x781);

std::atomic<int> PendingCount{0};

class PostedMessage : public QEvent {
public:
    PostedMessage(HWND window, const TMessage& message)
        : QEvent(PostedMessageType), Window(window), Message(message)
    {
        ++PendingCount;
    }
    ~PostedMessage() override { --PendingCount; }

    HWND Window;
    TMessage Message;
};

// Delivers posted messages on the UI thread.
class Dispatcher : public QObject {
public:
    bool event(QEvent* e) override;
};

struct Registry {
    std::mutex Lock;
    std::map<HWND, std::shared_ptr<TWndMethod>> Windows;
    Dispatcher* Target = nullptr;
    uintptr_t LastHandle = 0;
};

Registry& Windows()
{
    static Registry r;
    return r;
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
    QCoreApplication::postEvent(r.Target, new PostedMessage(window, TMessage{msg, wParam, lParam, 0}));
    return true;
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
