#include "pelvo/Random.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace pelvo {

std::uint64_t TRandomGenerator::Next()
{
    State += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = State;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int TRandomGenerator::Random(int n)
{
    if (n < 1)
        return 0;
    // Top 32 bits scaled to 0..n - 1.
    const std::uint64_t r = Next() >> 32;
    return static_cast<int>((r * static_cast<std::uint64_t>(n)) >> 32);
}

void TRandomGenerator::Randomize()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    State = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

std::uint32_t TLocalClock::MillisecondsOfDay()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const std::uint32_t seconds = static_cast<std::uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    // A leap second reads as 60; keep the value inside the day.
    return (seconds * 1000u + static_cast<std::uint32_t>(ms)) % MillisecondsPerDay;
}

void TLocalClock::Idle()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void PauseOneSecond(TClock& clock)
{
    const std::uint32_t start = clock.MillisecondsOfDay() % MillisecondsPerDay;
    for (;;) {
        const std::uint32_t now = clock.MillisecondsOfDay() % MillisecondsPerDay;
        // Time since the start, counted across midnight. A clock set back reads as
        // almost a day later, which ends the wait rather than prolonging it.
        const std::uint32_t elapsed = (now + MillisecondsPerDay - start) % MillisecondsPerDay;
        if (elapsed >= 1000)
            return;
        clock.Idle();
    }
}

} // namespace pelvo
