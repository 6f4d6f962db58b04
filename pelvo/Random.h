// The card game's source of chance and its clock. Both are abstract so that a game
// can be replayed from a fixed sequence of draws and the one-second pause can be
// driven by a simulated clock.
#pragma once

#include <cstdint>

namespace pelvo {

class TRandomSource {
public:
    virtual ~TRandomSource() = default;
    // A uniformly distributed integer 0..n - 1 (0 when n is below 1).
    virtual int Random(int n) = 0;
    // Seeds the generator from the clock.
    virtual void Randomize() {}
};

// The program's pseudo-random generator (splitmix64).
class TRandomGenerator : public TRandomSource {
public:
    explicit TRandomGenerator(std::uint64_t seed = 0) : State(seed) {}
    void Seed(std::uint64_t seed) { State = seed; }
    int Random(int n) override;
    void Randomize() override;

private:
    std::uint64_t Next();
    std::uint64_t State = 0;
};

constexpr std::uint32_t MillisecondsPerDay = 86'400'000;

class TClock {
public:
    virtual ~TClock() = default;
    // The local time of day in milliseconds, 0..MillisecondsPerDay - 1.
    virtual std::uint32_t MillisecondsOfDay() = 0;
    // Called between two readings while waiting.
    virtual void Idle() {}
};

// The local wall clock.
class TLocalClock : public TClock {
public:
    std::uint32_t MillisecondsOfDay() override;
    void Idle() override;
};

// Waits until 1000 ms have passed by the clock, handling nothing meanwhile. The wait
// ends after one second also when midnight passes during it.
void PauseOneSecond(TClock& clock);

} // namespace pelvo
