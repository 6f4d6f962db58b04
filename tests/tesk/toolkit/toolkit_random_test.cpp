// The game's random generator: one sequence per seed on every build, values in range, an
// even spread.
#include <gtest/gtest.h>

#include <vector>

#include "tesk/toolkit/Random.h"

TEST(Random, ASeedGivesTheRecordedSequence)
{
    SetRandomSeed(42);
    std::vector<uint32_t> bits;
    for (int i = 0; i < 4; ++i)
        bits.push_back(RandomBits());
    EXPECT_EQ(bits, (std::vector<uint32_t>{0xC2F57BD6u, 0x6B07C4A9u, 0x72B7B29Bu, 0x44215383u}));
    SetRandomSeed(42);
    std::vector<int32_t> small;
    for (int i = 0; i < 8; ++i)
        small.push_back(Random(6));
    SetRandomSeed(42);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Random(6), small[static_cast<size_t>(i)]);
}

TEST(Random, ValuesStayInRange)
{
    SetRandomSeed(7);
    for (int32_t n : {1, 3, 2147483647}) {
        int32_t highest = 0;
        for (int i = 0; i < 20000; ++i) {
            const int32_t v = Random(n);
            ASSERT_GE(v, 0);
            ASSERT_LT(v, n);
            highest = std::max(highest, v);
        }
        if (n == 3) {
            EXPECT_EQ(highest, 2);
        }
    }
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    double sum = 0;
    for (int i = 0; i < 10000; ++i) {
        const double v = Random();
        ASSERT_GE(v, 0.0);
        ASSERT_LT(v, 1.0);
        sum += v;
    }
    EXPECT_NEAR(sum / 10000, 0.5, 0.02);
}

TEST(Random, RandomizeLeavesTheFixedSequence)
{
    SetRandomSeed(42);
    const uint32_t fixed = RandomBits();
    Randomize();
    const uint32_t a = RandomBits();
    const uint32_t b = RandomBits();
    EXPECT_FALSE(a == fixed && b == fixed);
}
