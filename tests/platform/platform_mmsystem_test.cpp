// Timer events: a one-shot event that has fired is gone, and events left running do not
// keep the program from ending cleanly.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/MMSystem.h"

namespace {

std::atomic<int> Fired{0};

void CountFiring(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    ++Fired;
}

void WaitForFirings(int count)
{
    for (int i = 0; i < 2000 && Fired < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

TEST(TimerEvents, AOneShotEventThatFiredIsGone)
{
    Fired = 0;
    const UINT id = timeSetEvent(5, 0, CountFiring, 0, TIME_ONESHOT);
    ASSERT_NE(id, 0u);
    WaitForFirings(1);
    EXPECT_EQ(Fired, 1);
    for (int i = 0; i < 1000 && timeKillEvent(id) != MMSYSERR_INVALPARAM; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
    EXPECT_EQ(Fired, 1);
}

TEST(TimerEventsDeathTest, TheProgramEndsCleanlyAfterAOneShotEventAndWithOneStillRunning)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Fired = 0;
            timeSetEvent(2, 0, CountFiring, 0, TIME_ONESHOT);
            WaitForFirings(1);
            timeSetEvent(1, 0, CountFiring, 0, TIME_PERIODIC);
            timeSetEvent(100000, 0, CountFiring, 0, TIME_ONESHOT);
            WaitForFirings(3);
            std::exit(Fired >= 3 ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}
