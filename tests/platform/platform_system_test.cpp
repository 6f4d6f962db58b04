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

#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"

TEST(Beep, BeepsAreCountedAndResetClearsTheCount)
{
    MessageBeep();
    MessageBeep(0);
    MessageBeep(0x30);
    EXPECT_EQ(TestHooks::BeepCount(), 3);
    TestHooks::Reset();
    EXPECT_EQ(TestHooks::BeepCount(), 0);
    CallProtected([] { throw ERangeError("Value must be between 1 and 140"); });
    ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
    EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text, "Value must be between 1 and 140");
}

TEST(SystemMetrics, FixedValuesAndTheSystemFont)
{
    struct Case {
        int index;
        int want;
    };
    const Case cases[] = {{SM_CXVSCROLL, 16}, {SM_CYHSCROLL, 16}, {SM_CXBORDER, 1}, {SM_CYBORDER, 1},
                          {SM_CXEDGE, 2},     {SM_CYEDGE, 2},     {4, 0},           {-1, 0}, {9999, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(GetSystemMetrics(c.index), c.want) << c.index;
    TestHooks::SetScreenSize(TSize{1024, 768});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    TBitmap b;
    b.SetSize(10, 10);
    b.Canvas().Font = SystemFont();
    EXPECT_EQ(b.Canvas().TextHeight("Xg"), 16);
    EXPECT_EQ(SystemFont().Style, 0);
}
