#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/TestHooks.h"
#include "tesk/toolkit/MMTimer.h"

namespace {

// A timer whose thread is not started (Interval 0): the tests play the timer thread by
// calling its callback, so every count is exact.
struct DrivenTimer {
    TMMTimer Timer;
    std::vector<int32_t> Deliveries;

    DrivenTimer()
    {
        Timer.SetInterval(0);
        Timer.OnTimer = [this](TObject*, int32_t ticks) { Deliveries.push_back(ticks); };
    }
    void Period() { TMMTimer::TimerCallback(0, 0, reinterpret_cast<DWORD_PTR>(&Timer), 0, 0); }
};

} // namespace

TEST(MMTimer, PeriodsPassingWhileTheUiIsBusyArriveAsOneDelivery)
{
    DrivenTimer t;
    t.Period(); // posts at once with one period
    for (int i = 0; i < 4; ++i)
        t.Period(); // the UI has not handled it yet: these wait
    EXPECT_EQ(TestHooks::PendingPostedMessages(), 1);
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(t.Deliveries, (std::vector<int32_t>{1}));

    t.Period(); // re-armed: the four waiting periods and this one go together
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(t.Deliveries, (std::vector<int32_t>{1, 5}));
}

TEST(MMTimer, DisablingConsumesAQueuedTickWithoutAnEventAndReArms)
{
    DrivenTimer t;
    t.Period();
    t.Timer.SetEnabled(false);
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_TRUE(t.Deliveries.empty());
    EXPECT_FALSE(t.Timer.Running());

    t.Timer.SetEnabled(true);
    t.Timer.SetInterval(0); // keep the thread off; the callback still posts when ready
    t.Period();
    EXPECT_EQ(TestHooks::PendingPostedMessages(), 1);
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(t.Deliveries, (std::vector<int32_t>{1}));
}

TEST(MMTimer, OnlyARealChangeRestartsTheTimer)
{
    TMMTimer timer;
    timer.SetInterval(20);
    ASSERT_TRUE(timer.Running());
    const UINT first = timer.TimerID();
    timer.SetInterval(20);
    EXPECT_EQ(timer.TimerID(), first);
    timer.SetResolution(1);
    EXPECT_EQ(timer.TimerID(), first);
    timer.SetResolution(5);
    EXPECT_NE(timer.TimerID(), first);
    EXPECT_TRUE(timer.Running());
    EXPECT_EQ(timer.Resolution(), 5);
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
}

TEST(MMTimer, ARealTimerDeliversOnTheUiThread)
{
    TMMTimer timer;
    std::atomic<int32_t> total{0};
    std::vector<std::thread::id> threads;
    timer.OnTimer = [&](TObject* sender, int32_t ticks) {
        EXPECT_EQ(sender, &timer);
        EXPECT_GE(ticks, 1);
        total += ticks;
        threads.push_back(std::this_thread::get_id());
    };
    timer.SetInterval(2);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (total < 5 && std::chrono::steady_clock::now() < giveUp) {
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(total.load(), 5);
    for (auto id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(MMTimer, AnExceptionInTheHandlerIsReportedAndTheTimerGoesOn)
{
    TestHooks::AnswerMessageBoxesWith(mrOk);
    DrivenTimer t;
    t.Timer.OnTimer = [&](TObject*, int32_t ticks) {
        t.Deliveries.push_back(ticks);
        throw Exception("Level file broken");
    };
    t.Period();
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "Level file broken");
    t.Period();
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(t.Deliveries.size(), 2u);
}

TEST(MMTimer, MillionsOfPeriodsAgainstATrivialHandlerNeverStall)
{
    DrivenTimer t;
    int64_t delivered = 0;
    t.Timer.OnTimer = [&](TObject*, int32_t ticks) { delivered += ticks; };
    constexpr int Periods = 2'000'000;
    std::atomic<bool> done{false};
    std::thread timerThread([&] {
        for (int i = 0; i < Periods; ++i)
            t.Period();
        done = true;
    });
    while (!done)
        TestHooks::RunPostedMessages();
    timerThread.join();
    ASSERT_TRUE(TestHooks::RunPostedMessages());

    // The handshake is still alive: one more period posts, carrying whatever waited.
    t.Period();
    ASSERT_EQ(TestHooks::PendingPostedMessages(), 1);
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_EQ(delivered, Periods + 1);
}

TEST(MMTimer, DestroyingTheTimerDropsItsQueuedTicks)
{
    bool called = false;
    {
        auto timer = std::make_unique<TMMTimer>();
        timer->SetInterval(1);
        timer->OnTimer = [&](TObject*, int32_t) { called = true; };
        TMMTimer::TimerCallback(0, 0, reinterpret_cast<DWORD_PTR>(timer.get()), 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // let the thread tick too
    }
    ASSERT_TRUE(TestHooks::RunPostedMessages());
    EXPECT_FALSE(called);
}

TEST(MMSystem, KillingStopsTheCallbacksBeforeItReturns)
{
    static std::atomic<int> calls{0};
    calls = 0;
    const UINT id = timeSetEvent(1, 1, [](UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) { ++calls; },
                                 0, TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    while (calls < 3)
        std::this_thread::yield();
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    const int after = calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(calls.load(), after);
    EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
    EXPECT_EQ(timeSetEvent(0, 1, [](UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}, 0, TIME_PERIODIC), 0u);
}

TEST(MMTimerOwner, TheOwningFormFreesARunningTimer)
{
    // The leak checker reports a timer the form did not free; a thread left running
    // after the form went would touch freed memory.
    TForm form;
    auto* timer = new TMMTimer(&form);
    timer->SetInterval(5);
    EXPECT_TRUE(timer->Running());
    EXPECT_EQ(form.Components(0), timer);
}
