#include "tesk/toolkit/Random.h"

#include <chrono>

namespace {

constexpr uint64_t Multiplier = 6364136223846793005ull;
constexpr uint64_t Increment = 1442695040888963407ull;  // odd
constexpr uint64_t DefaultSeed = 0x853C49E6748FEA9Bull;

uint64_t State = 0;
bool Seeded = false;

void Seed(uint64_t seed)
{
    State = 0;
    (void)RandomBits();
    State += seed;
    (void)RandomBits();
}

} // namespace

uint32_t RandomBits()
{
    if (!Seeded) {
        Seeded = true;
        Seed(DefaultSeed);
    }
    const uint64_t old = State;
    State = old * Multiplier + Increment;
    const auto xorShifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rotation = static_cast<uint32_t>(old >> 59u);
    return (xorShifted >> rotation) | (xorShifted << ((32u - rotation) & 31u));
}

double Random()
{
    // 53 random bits, so every value is exact and below 1.
    const uint64_t high = RandomBits() >> 5;  // 27 bits
    const uint64_t low = RandomBits() >> 6;   // 26 bits
    return static_cast<double>((high << 26) | low) * (1.0 / 9007199254740992.0);
}

int32_t Random(int32_t n)
{
    if (n <= 0)
        return 0;
    // Multiply-and-shift with rejection of the few low products that would favour some
    // results.
    const auto range = static_cast<uint32_t>(n);
    const uint32_t threshold = (0u - range) % range;
    for (;;) {
        const uint64_t product = static_cast<uint64_t>(RandomBits()) * range;
        if (static_cast<uint32_t>(product) >= threshold)
            return static_cast<int32_t>(product >> 32);
    }
}

void Randomize()
{
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    SetRandomSeed(static_cast<uint64_t>(now));
}

void SetRandomSeed(uint64_t seed)
{
    Seeded = true;
    Seed(seed);
}
