// Small signal toolkit for the sound generator: a seeded noise source, filters,
// envelopes and level helpers. Everything is plain double arithmetic in a fixed order,
// so the same build makes the same bytes every time.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

using Buf = std::vector<double>;

// xorshift32: the same sequence on every machine, unlike std::rand or the
// distributions of <random>.
class Rng {
public:
    explicit Rng(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    uint32_t NextU32()
    {
        uint32_t x = state_;
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        state_ = x;
        return x;
    }
    // Uniform in [0, 1).
    double Unit() { return (NextU32() >> 8) * (1.0 / 16777216.0); }
    // Uniform in [-1, 1).
    double Bipolar() { return Unit() * 2.0 - 1.0; }
    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }

private:
    uint32_t state_ = 0;
};

// Biquad filter (the well-known cookbook forms), with coefficients that may be
// recomputed per sample for sweeps.
class Biquad {
public:
    enum class Kind { LowPass, HighPass, BandPass };

    Biquad(Kind kind, double rate) : kind_(kind), rate_(rate) {}

    void Set(double freq, double q)
    {
        if (freq < 10.0)
            freq = 10.0;
        if (freq > rate_ * 0.45)
            freq = rate_ * 0.45;
        const double w = kTwoPi * freq / rate_;
        const double cw = std::cos(w);
        const double alpha = std::sin(w) / (2.0 * q);
        double b0 = 0, b1 = 0, b2 = 0;
        switch (kind_) {
        case Kind::LowPass:
            b0 = (1 - cw) / 2;
            b1 = 1 - cw;
            b2 = (1 - cw) / 2;
            break;
        case Kind::HighPass:
            b0 = (1 + cw) / 2;
            b1 = -(1 + cw);
            b2 = (1 + cw) / 2;
            break;
        case Kind::BandPass:
            b0 = alpha;
            b1 = 0;
            b2 = -alpha;
            break;
        }
        const double a0 = 1 + alpha;
        b0_ = b0 / a0;
        b1_ = b1 / a0;
        b2_ = b2 / a0;
        a1_ = -2 * cw / a0;
        a2_ = (1 - alpha) / a0;
    }

    double Process(double x)
    {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    Kind kind_;
    double rate_ = 44100;
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One-pole smoother, used for brown noise and slow random modulation.
class OnePole {
public:
    OnePole(double freq, double rate) { Set(freq, rate); }
    void Set(double freq, double rate) { a_ = std::exp(-kTwoPi * freq / rate); }
    double Process(double x)
    {
        z_ = x * (1 - a_) + z_ * a_;
        return z_;
    }

private:
    double a_ = 0, z_ = 0;
};

inline size_t Frames(double seconds, int rate) { return static_cast<size_t>(seconds * rate + 0.5); }

// Exponential decay with time constant tau (seconds), 1 at t = 0.
inline double Decay(double t, double tau) { return t < 0 ? 0.0 : std::exp(-t / tau); }

// Linear attack to 1 over `attack` seconds, then exponential decay.
inline double AttackDecay(double t, double attack, double tau)
{
    if (t < 0)
        return 0;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / tau);
}

// Raised-cosine ramp from 0 (at x <= 0) to 1 (at x >= 1).
inline double Smooth(double x)
{
    if (x <= 0)
        return 0;
    if (x >= 1)
        return 1;
    return 0.5 - 0.5 * std::cos(kPi * x);
}

// Frequency of a MIDI note number.
inline double NoteFreq(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// A sawtooth (-1..1 over one cycle) built from its harmonics below 90% of the Nyquist
// frequency, so that it does not alias. `phase` is in cycles.
inline double Saw(double phase, double freq, int rate)
{
    double v = 0;
    const int harmonics = std::min(48, std::max(1, static_cast<int>(0.45 * rate / freq)));
    for (int h = 1; h <= harmonics; ++h)
        v += std::sin(kTwoPi * h * phase) / h;
    return -2.0 / kPi * v;
}

// Adds `src` into `dst` from frame `at`, scaled; `dst` grows as needed.
void MixInto(Buf& dst, const Buf& src, size_t at, double gain);

// Subtracts the mean, so that the sound has no offset to click on.
void RemoveDc(Buf& buf);

// Fades the first and last few milliseconds to silence so that playback starts and
// stops without a click.
void FadeEdges(Buf& buf, int rate, double inMs, double outMs);

// Scales so that the largest absolute value is the given level in dBFS.
void NormalisePeak(Buf& buf, double dbfs);

// Gentle saturation that keeps small values linear.
void SoftClip(Buf& buf, double drive);

// Makes `buf` (which must hold `loop + fade` frames) loop seamlessly over its first
// `loop` frames: the tail past the loop is cross-faded into the start, then cut off.
void MakeLoop(Buf& buf, size_t loop, size_t fade);

// Converts to 16-bit samples (rounded, clamped).
std::vector<int16_t> ToPcm16(const Buf& buf);

double PeakOf(const Buf& buf);

// Loudness as the ear takes it for short sounds: the largest RMS over any 50 ms
// window (in steps of 10 ms).
double ShortTermRms(const Buf& buf, int rate);

// Scales towards the given short-term loudness (dBFS), but never lets the peak
// above `ceilingDb`.
void NormaliseLoudness(Buf& buf, int rate, double loudDb, double ceilingDb);

// Voices mixed into a buffer from `start` seconds on (all times in seconds).
// A struck partial: a sine with its own decay.
void AddPartial(int rate, Buf& buf, double start, double freq, double amp, double tau);
// A bell-like note: a few partials of a struck bar.
void AddBell(int rate, Buf& buf, double start, double freq, double amp, double tau);
// A sine whose pitch falls from f0 towards f1 (kicks, thuds, explosion bodies).
void AddThump(int rate, Buf& buf, double start, double f0, double f1, double pitchTau, double amp, double tau);
// Filtered noise burst; the filter's centre glides from f0 to f1 over `length`.
void AddNoise(int rate, Buf& buf, Rng& rng, Biquad::Kind kind, double start, double length, double f0, double f1,
              double q, double amp, double attack, double tau);
// Short sine blip with a quick attack and a touch of its octave.
void AddBlip(int rate, Buf& buf, double start, double freq, double amp, double tau, double harmonic = 0.15);


} // namespace soundgen
