#include "tools/soundgen/Instruments.h"

#include <algorithm>

#include "tools/soundgen/Synth.h"

namespace soundgen {
namespace {

constexpr int kRate = 22050;
// 84 frames per cycle at 22050 Hz is 262.5 Hz, a few cents above middle C.
constexpr int kPeriod = 84;

double PitchOfFrequency(double freq) { return 69.0 + 12.0 * std::log2(freq / 440.0); }

// Sum of harmonics of a waveform that completes `cycles` cycles every `span` frames,
// evaluated at frame i. Being a function of i mod span, it loops seamlessly over span.
double Harmonics(const std::vector<double>& amps, const std::vector<double>& phases, double cycles, double span,
                 size_t i)
{
    double v = 0;
    const double x = kTwoPi * cycles * static_cast<double>(i) / span;
    for (size_t h = 0; h < amps.size(); ++h)
        v += amps[h] * std::sin(x * static_cast<double>(h + 1) + phases[h]);
    return v;
}

std::vector<double> RandomPhases(size_t n, uint32_t seed)
{
    Rng rng(seed);
    std::vector<double> p(n);
    for (double& v : p)
        v = rng.Unit() * kTwoPi;
    return p;
}

Instrument Finish(const char* name, Buf buf, int rate, double basePitch, size_t loopStart, size_t loopEnd,
                  double peakDb = -0.5)
{
    NormalisePeak(buf, peakDb);
    Instrument inst;
    inst.name = name;
    inst.sample.pcm = ToPcm16(buf);
    inst.sample.rate = rate;
    inst.sample.basePitch = basePitch;
    inst.sample.loopStart = static_cast<uint32_t>(loopStart);
    inst.sample.loopEnd = static_cast<uint32_t>(loopEnd);
    return inst;
}

// A sustained tone: an attack of `attackCycles` cycles (where the caller may add
// breath or brightness), then a loop of `loopCycles` cycles. Up to three copies of
// the waveform, detuned by whole cycles per loop, give a slow chorus.
Buf Sustained(const std::vector<double>& amps, int attackCycles, int loopCycles, int voices, uint32_t seed,
              size_t& loopStart, size_t& loopEnd)
{
    // The centre voice carries the tone; the others are quieter and beat against it
    // at different rates (one and two cycles per loop), so the sound shimmers
    // instead of pulsing.
    static const int kOffsets[] = {0, 1, -2};
    static const double kLevels[] = {1.0, 0.45, 0.3};
    const size_t attack = static_cast<size_t>(kPeriod * attackCycles);
    const double span = static_cast<double>(kPeriod) * loopCycles;
    Buf buf(attack + static_cast<size_t>(span));
    for (int v = 0; v < voices && v < 3; ++v) {
        const auto phases = RandomPhases(amps.size(), seed + static_cast<uint32_t>(v));
        const double cycles = loopCycles + kOffsets[v];
        for (size_t i = 0; i < buf.size(); ++i)
            buf[i] += Harmonics(amps, phases, cycles, span, i) * kLevels[v];
    }
    loopStart = attack;
    loopEnd = buf.size();
    return buf;
}

} // namespace

Instrument MakeHarp()
{
    // Plucked string: a burst of soft noise circulating through a delay line with an
    // averaging filter. The loop's delay is kPeriod + 1/2 frames.
    const size_t n = Frames(1.8, kRate);
    Buf buf(n);
    Rng rng(101);
    // A soft pluck: the noise is smoothed twice, so the attack is a warm thump
    // rather than a bright click.
    OnePole soften(1600, kRate), soften2(2400, kRate);
    std::vector<double> line(kPeriod + 1);
    for (double& v : line)
        v = soften2.Process(soften.Process(rng.Bipolar()));
    size_t pos = 0;
    double previous = 0;
    for (size_t i = 0; i < n; ++i) {
        const double out = line[pos];
        const double next = 0.5 * (out + previous) * 0.9985;
        previous = out;
        line[pos] = next;
        pos = (pos + 1) % line.size();
        buf[i] = out;
    }
    RemoveDc(buf);
    // Even out the decay a little (a gentle compressor): the string rings on longer
    // and sits louder in the mix for the same peak.
    // The level is a peak follower that falls by at most 1/e per 50 ms.
    double level = 0;
    for (size_t i = 0; i < static_cast<size_t>(kPeriod) * 2 && i < n; ++i)
        level = std::max(level, std::fabs(buf[i]));
    const double fall = std::exp(-1.0 / (0.05 * kRate));
    for (size_t i = 0; i < n; ++i) {
        level = std::max(std::fabs(buf[i]), level * fall);
        buf[i] *= std::pow(std::max(level, 1e-4), -0.3);
    }
    FadeEdges(buf, kRate, 0.5, 120);
    return Finish("Harp", buf, kRate, PitchOfFrequency(kRate / (kPeriod + 1.5)), 0, 0);
}

Instrument MakeFlute()
{
    size_t loopStart = 0, loopEnd = 0;
    Buf buf = Sustained({1.0, 0.32, 0.14, 0.06, 0.03, 0.015}, 24, 150, 2, 201, loopStart, loopEnd);
    // Breath noise in the attack only, gone before the loop starts.
    Rng rng(202);
    Biquad breath(Biquad::Kind::BandPass, kRate);
    breath.Set(2600, 1.0);
    for (size_t i = 0; i < loopStart; ++i) {
        const double x = 1.0 - static_cast<double>(i) / static_cast<double>(loopStart);
        buf[i] += breath.Process(rng.Bipolar()) * 0.6 * x * x;
    }
    FadeEdges(buf, kRate, 4, 0);
    Instrument inst = Finish("Flute", buf, kRate, PitchOfFrequency(double(kRate) / kPeriod), loopStart, loopEnd);
    inst.volume.points = {{0, 0}, {3, 64}, {12, 50}, {200, 40}};
    inst.volume.sustain = 2;
    inst.fadeout = 900;
    inst.vibratoSweep = 40;
    inst.vibratoDepth = 5;
    inst.vibratoRate = 9;
    return inst;
}

Instrument MakeStrings()
{
    std::vector<double> amps;
    for (int h = 1; h <= 18; ++h)
        amps.push_back(std::exp(-h / 5.0) / h);
    size_t loopStart = 0, loopEnd = 0;
    Buf buf = Sustained(amps, 0, 200, 3, 301, loopStart, loopEnd);
    Instrument inst = Finish("Strings", buf, kRate, PitchOfFrequency(double(kRate) / kPeriod), loopStart, loopEnd);
    inst.volume.points = {{0, 0}, {24, 64}, {60, 56}};
    inst.volume.sustain = 2;
    inst.fadeout = 400;
    inst.vibratoSweep = 80;
    inst.vibratoDepth = 2;
    inst.vibratoRate = 6;
    return inst;
}

namespace {

// Bass harmonics: bright at the pluck, mellow once sustained.
Buf BassWave(int period, double seconds, double brightTau, int loopCycles, size_t& loopStart, size_t& loopEnd)
{
    const int harmonics = 14;
    const auto phases = RandomPhases(harmonics, 401);
    const size_t attack = static_cast<size_t>(period) * static_cast<size_t>(std::ceil(seconds * kRate / period));
    const size_t total = attack + static_cast<size_t>(period * loopCycles);
    Buf buf(total);
    for (size_t i = 0; i < total; ++i) {
        const double t = static_cast<double>(std::min(i, attack)) / kRate;
        // The extra brightness dies away completely by the end of the attack.
        const double bright = std::exp(-t / brightTau) * (1.0 - t / seconds);
        double v = 0;
        const double x = kTwoPi * static_cast<double>(i) / period;
        for (int h = 1; h <= harmonics; ++h) {
            const double steady = std::exp(-(h - 1) / 2.2) / h;
            const double extra = bright * 0.45 / h;
            v += (steady + extra) * std::sin(x * h + phases[static_cast<size_t>(h - 1)]);
        }
        buf[i] = v;
    }
    loopStart = attack;
    loopEnd = total;
    return buf;
}

} // namespace

Instrument MakeBass()
{
    const int period = kPeriod * 4;  // two octaves below middle C
    size_t loopStart = 0, loopEnd = 0;
    Buf buf = BassWave(period, 0.25, 0.06, 8, loopStart, loopEnd);
    FadeEdges(buf, kRate, 2, 0);
    Instrument inst =
        Finish("Bass", buf, kRate, PitchOfFrequency(double(kRate) / period), loopStart, loopEnd);
    inst.volume.points = {{0, 64}, {10, 52}, {40, 44}};
    inst.volume.sustain = 2;
    inst.fadeout = 2500;
    return inst;
}

Instrument MakePluckBass()
{
    const int period = kPeriod * 4;
    size_t loopStart = 0, loopEnd = 0;
    Buf buf = BassWave(period, 0.7, 0.05, 1, loopStart, loopEnd);
    buf.resize(loopStart);
    for (size_t i = 0; i < buf.size(); ++i)
        buf[i] *= std::exp(-static_cast<double>(i) / kRate / 0.35);
    FadeEdges(buf, kRate, 2, 80);
    return Finish("PluckBass", buf, kRate, PitchOfFrequency(double(kRate) / period), 0, 0);
}

Instrument MakeSquareLead()
{
    std::vector<double> amps;
    // A quarter-duty pulse, rolled off so that its top notes stay clear of aliasing.
    for (int h = 1; h <= 14; ++h)
        amps.push_back(std::sin(kPi * h * 0.25) / h * std::exp(-h / 7.0));
    size_t loopStart = 0, loopEnd = 0;
    Buf buf = Sustained(amps, 4, 150, 2, 501, loopStart, loopEnd);
    FadeEdges(buf, kRate, 3, 0);
    return Finish("Square", buf, kRate, PitchOfFrequency(double(kRate) / kPeriod), loopStart, loopEnd);
}

Instrument MakeMarimba()
{
    const double f = double(kRate) / kPeriod;
    Buf buf(Frames(1.0, kRate));
    AddPartial(kRate, buf, 0, f, 1.0, 0.35);
    AddPartial(kRate, buf, 0, f * 3.93, 0.35, 0.06);
    AddPartial(kRate, buf, 0, f * 9.2, 0.08, 0.015);
    Rng rng(601);
    AddNoise(kRate, buf, rng, Biquad::Kind::BandPass, 0, 0.01, 1800, 1800, 1.0, 0.15, 0.0005, 0.003);
    FadeEdges(buf, kRate, 0.3, 100);
    return Finish("Marimba", buf, kRate, PitchOfFrequency(f), 0, 0);
}

// Drums play at their own rate on note C-4 (MIDI 60).
Instrument MakeKick()
{
    Buf buf(Frames(0.4, kRate));
    Rng rng(701);
    AddThump(kRate, buf, 0, 165, 46, 0.032, 1.0, 0.17);
    AddNoise(kRate, buf, rng, Biquad::Kind::LowPass, 0, 0.006, 4000, 4000, 0.7, 0.35, 0.0002, 0.002);
    SoftClip(buf, 2.2);
    FadeEdges(buf, kRate, 0.2, 40);
    return Finish("Kick", buf, kRate, 60, 0, 0);
}

Instrument MakeSnare()
{
    Buf buf(Frames(0.3, kRate));
    Rng rng(702);
    AddThump(kRate, buf, 0, 210, 175, 0.03, 0.55, 0.06);
    AddNoise(kRate, buf, rng, Biquad::Kind::BandPass, 0, 0.3, 3200, 2600, 0.6, 0.9, 0.001, 0.1);
    AddNoise(kRate, buf, rng, Biquad::Kind::HighPass, 0, 0.3, 6000, 6000, 0.7, 0.4, 0.001, 0.06);
    FadeEdges(buf, kRate, 0.2, 40);
    return Finish("Snare", buf, kRate, 60, 0, 0);
}

Instrument MakeClosedHat()
{
    const int rate = 44100;
    Buf buf(Frames(0.07, rate));
    Rng rng(703);
    AddNoise(rate, buf, rng, Biquad::Kind::HighPass, 0, 0.07, 7500, 7500, 0.7, 0.8, 0.0005, 0.018);
    AddNoise(rate, buf, rng, Biquad::Kind::BandPass, 0, 0.07, 10500, 10500, 2.0, 0.5, 0.0005, 0.012);
    FadeEdges(buf, rate, 0.2, 15);
    return Finish("ClosedHat", buf, rate, 60, 0, 0);
}

Instrument MakeOpenHat()
{
    const int rate = 44100;
    Buf buf(Frames(0.35, rate));
    Rng rng(704);
    AddNoise(rate, buf, rng, Biquad::Kind::HighPass, 0, 0.35, 7000, 7000, 0.7, 0.8, 0.001, 0.12);
    AddNoise(rate, buf, rng, Biquad::Kind::BandPass, 0, 0.35, 10000, 9000, 2.0, 0.5, 0.001, 0.08);
    FadeEdges(buf, rate, 0.2, 60);
    return Finish("OpenHat", buf, rate, 60, 0, 0);
}

Instrument MakeFrameDrum()
{
    Buf buf(Frames(0.6, kRate));
    Rng rng(705);
    AddThump(kRate, buf, 0, 115, 82, 0.05, 1.0, 0.22);
    AddPartial(kRate, buf, 0, 82 * 1.59, 0.3, 0.09);
    AddNoise(kRate, buf, rng, Biquad::Kind::BandPass, 0, 0.05, 900, 600, 1.2, 0.5, 0.0005, 0.012);
    FadeEdges(buf, kRate, 0.2, 60);
    return Finish("FrameDrum", buf, kRate, 60, 0, 0);
}

Instrument MakeShaker()
{
    const int rate = 44100;
    Buf buf(Frames(0.13, rate));
    Rng rng(706);
    AddNoise(rate, buf, rng, Biquad::Kind::BandPass, 0, 0.13, 6500, 6000, 1.2, 1.0, 0.014, 0.035);
    FadeEdges(buf, rate, 0.2, 20);
    return Finish("Shaker", buf, rate, 60, 0, 0);
}

} // namespace soundgen
