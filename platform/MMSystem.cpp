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

struct TimerEvent;
void StopAndJoin(TimerEvent& event);

struct TimerEvent {
    void Finished();

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
            if (Stop)
                return;
            if (!Periodic) {
                Finished();
                return;
            }
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
UINT LastId = 0;

// The running events. Whatever is still running when the program ends is stopped and
// its thread joined, so no joinable thread outlives the table.
struct EventTable {
    std::map<UINT, std::shared_ptr<TimerEvent>> Items;
    ~EventTable()
    {
        std::map<UINT, std::shared_ptr<TimerEvent>> left;
        {
            std::lock_guard<std::mutex> guard(EventsLock);
            left.swap(Items);
        }
        for (auto& [id, event] : left)
            StopAndJoin(*event);
    }
};
EventTable Table;
auto& Events = Table.Items;

// A one-shot event that has fired leaves the table and lets its thread go. When a kill
// or the program's end took it out of the table first, that side joins the thread.
void TimerEvent::Finished()
{
    bool mine = false;
    {
        std::lock_guard<std::mutex> guard(EventsLock);
        const auto it = Events.find(Id);
        if (it != Events.end() && it->second.get() == this) {
            Events.erase(it);
            mine = true;
        }
    }
    if (mine)
        Thread.detach();
}

void StopAndJoin(TimerEvent& event)
{
    {
        std::lock_guard<std::mutex> guard(event.Lock);
        event.Stop = true;
    }
    event.Wake.notify_all();
    if (event.Thread.get_id() == std::this_thread::get_id())
        event.Thread.detach(); // killed from its own callback: it ends when that returns
    else if (event.Thread.joinable())
        event.Thread.join();
}

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
        // The thread starts by taking the event's lock, so it sees its own handle.
        std::lock_guard<std::mutex> guard(event->Lock);
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
    StopAndJoin(*event);
    return TIMERR_NOERROR;
}
