#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/System.h"
#include "platform/TestHooks.h"

TEST(TickCount, AReplacedClockWrapsAndResetGivesTheRealOneBack)
{
    uint32_t now = 0xFFFFFFF0u;
    TestHooks::SetTickCountSource([&] { return now += 5; });
    const uint32_t first = GetTickCount();
    EXPECT_EQ(first, 0xFFFFFFF5u);
    uint32_t last = first;
    for (int i = 0; i < 4; ++i)
        last = GetTickCount();
    EXPECT_EQ(last, 0x00000009u);
    EXPECT_EQ(last - first, 20u); // differences still count the time passed
    TestHooks::Reset();
    const uint32_t a = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const uint32_t b = GetTickCount();
    EXPECT_GE(b - a, 45u);
    EXPECT_LT(b - a, 2000u);
}
