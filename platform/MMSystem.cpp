#include "platform/MMSystem.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct TimerEvent {
    UINT Id = 0;
    std::chrono::milliseconds Period{0};
    bool Periodic = false;
    LPTIMECALLBACK Callback = nullptr;
    DWORD_PTR User = 0;
    std::mutex Lock;
    std::condition_variable Wake;
    bool Stop = false;
    std::thread Thread;

    void Run()
    {
        auto next = Clock::now() + Period;
        std::unique_lock<std::mutex> lock(Lock);
        for (;;) {
            if (Wake.wait_until(lock, next, [this] { return Stop; }))
                return;
            lock.unlock();
            Callback(Id, 0, User, 0, 0);
            lock.lock();
            if (!Periodic || Stop)
                return;
            next += Period;
            // A thread held up for long (a suspended process, a debugger) starts
            // counting afresh rather than firing a burst of stale periods.
            const auto now = Clock::now();
            if (now - next > std::chrono::seconds(1))
                next = now + Period;
        }
    }
};

std::mutex EventsLock;
std::map<UINT, std::shared_ptr<TimerEvent>> Events;
UINT LastId = 0;

} // namespace

UINT timeSetEvent(UINT delay, UINT /*resolution*/, LPTIMECALLBACK callback, DWORD_PTR user,
                  UINT flags)
{
    if (delay == 0 || !callback)
        return 0;
    auto event = std::make_shared<TimerEvent>();
    event->Period = std::chrono::milliseconds(delay);
    event->Periodic = (flags & TIME_PERIODIC) != 0;
    event->Callback = callback;
    event->User = user;
    {
        std::lock_guard<std::mutex> guard(EventsLock);
        do
            ++LastId;
        while (LastId == 0 || Events.count(LastId));
        event->Id = LastId;
        Events[event->Id] = event;
    }
    try {
        event->Thread = std::thread([event] { event->Run(); });
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> guard(EventsLock);
        Events.erase(event->Id);
        return 0;
    }
    return event->Id;
}

MMRESULT timeKillEvent(UINT id)
{
    std::shared_ptr<TimerEvent> event;
    {
        std::lock_guard<std::mutex> guard(EventsLock);
        auto it = Events.find(id);
        if (it == Events.end())
            return MMSYSERR_INVALPARAM;
        event = it->second;
        Events.erase(it);
    }
    {
        std::lock_guard<std::mutex> guard(event->Lock);
        event->Stop = true;
    }
    event->Wake.notify_all();
    if (event->Thread.get_id() == std::this_thread::get_id())
        event->Thread.detach(); // killed from its own callback: it ends when that returns
    else if (event->Thread.joinable())
        event->Thread.join();
    return TIMERR_NOERROR;
}
