#include "tools/soundgen/Synth.h"

#include <algorithm>

namespace soundgen {

void MixInto(Buf& dst, const Buf& src, size_t at, double gain)
{
    if (dst.size() < at + src.size())
        dst.resize(at + src.size(), 0.0);
    for (size_t i = 0; i < src.size(); ++i)
        dst[at + i] += src[i] * gain;
}

void RemoveDc(Buf& buf)
{
    if (buf.empty())
        return;
    double sum = 0;
    for (double v : buf)
        sum += v;
    const double mean = sum / static_cast<double>(buf.size());
    for (double& v : buf)
        v -= mean;
}

void FadeEdges(Buf& buf, int rate, double inMs, double outMs)
{
    const size_t n = buf.size();
    const size_t fin = std::min(n, Frames(inMs / 1000.0, rate));
    const size_t fout = std::min(n, Frames(outMs / 1000.0, rate));
    for (size_t i = 0; i < fin; ++i)
        buf[i] *= Smooth(static_cast<double>(i) / static_cast<double>(fin));
    for (size_t i = 0; i < fout; ++i)
        buf[n - 1 - i] *= Smooth(static_cast<double>(i) / static_cast<double>(fout));
}

double PeakOf(const Buf& buf)
{
    double peak = 0;
    for (double v : buf)
        peak = std::max(peak, std::fabs(v));
    return peak;
}

double ShortTermRms(const Buf& buf, int rate)
{
    const size_t window = std::min(buf.size(), Frames(0.05, rate));
    const size_t hop = std::max<size_t>(1, Frames(0.01, rate));
    double best = 0;
    for (size_t start = 0; window > 0 && start + window <= buf.size(); start += hop) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i)
            sum += buf[i] * buf[i];
        best = std::max(best, std::sqrt(sum / static_cast<double>(window)));
    }
    return best;
}

void NormaliseLoudness(Buf& buf, int rate, double loudDb, double ceilingDb)
{
    const double peak = PeakOf(buf);
    const double loud = ShortTermRms(buf, rate);
    if (peak <= 0 || loud <= 0)
        return;
    const double gain = std::min(std::pow(10.0, loudDb / 20.0) / loud, std::pow(10.0, ceilingDb / 20.0) / peak);
    for (double& v : buf)
        v *= gain;
}

void NormalisePeak(Buf& buf, double dbfs)
{
    const double peak = PeakOf(buf);
    if (peak <= 0)
        return;
    const double gain = std::pow(10.0, dbfs / 20.0) / peak;
    for (double& v : buf)
        v *= gain;
}

void SoftClip(Buf& buf, double drive)
{
    for (double& v : buf)
        v = std::tanh(v * drive) / drive;
}

void MakeLoop(Buf& buf, size_t loop, size_t fade)
{
    buf.resize(loop + fade, 0.0);
    // Equal-power cross-fade: the frames just past the loop end fade out over the
    // loop's first frames while those fade in, so the jump from the last frame back
    // to the first continues the waveform.
    for (size_t i = 0; i < fade; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(fade);
        const double in = std::sin(0.5 * kPi * x);
        const double out = std::cos(0.5 * kPi * x);
        buf[i] = buf[i] * in + buf[loop + i] * out;
    }
    buf.resize(loop);
}

std::vector<int16_t> ToPcm16(const Buf& buf)
{
    std::vector<int16_t> out(buf.size());
    for (size_t i = 0; i < buf.size(); ++i) {
        double v = std::round(buf[i] * 32767.0);
        v = std::clamp(v, -32767.0, 32767.0);
        out[i] = static_cast<int16_t>(v);
    }
    return out;
}

// A struck metal or glass partial: a sine with its own decay.
void AddPartial(int rate, Buf& buf, double start, double freq, double amp, double tau)
{
    double phase = 0;
    const size_t first = Frames(start, rate);
    for (size_t i = first; i < buf.size(); ++i) {
        const double t = static_cast<double>(i - first) / rate;
        const double env = AttackDecay(t, 0.002, tau);
        if (t > 0.01 && env < 1e-5)
            break;
        buf[i] += std::sin(phase) * amp * env;
        phase += kTwoPi * freq / rate;
    }
}

// A bell-like note: a few partials of a struck bar.
void AddBell(int rate, Buf& buf, double start, double freq, double amp, double tau)
{
    AddPartial(rate, buf, start, freq, amp, tau);
    AddPartial(rate, buf, start, freq * 2.0, amp * 0.35, tau * 0.6);
    AddPartial(rate, buf, start, freq * 2.76, amp * 0.25, tau * 0.35);
    AddPartial(rate, buf, start, freq * 5.40, amp * 0.10, tau * 0.2);
}

// A pitch-falling sine thump (kicks, thuds, explosion bodies).
void AddThump(int rate, Buf& buf, double start, double f0, double f1, double pitchTau, double amp, double tau)
{
    double phase = 0;
    const size_t first = Frames(start, rate);
    for (size_t i = first; i < buf.size(); ++i) {
        const double t = static_cast<double>(i - first) / rate;
        const double f = f1 + (f0 - f1) * std::exp(-t / pitchTau);
        buf[i] += std::sin(phase) * amp * AttackDecay(t, 0.001, tau);
        phase += kTwoPi * f / rate;
    }
}

// Filtered noise burst; the filter's centre may glide from f0 to f1.
void AddNoise(int rate, Buf& buf, Rng& rng, Biquad::Kind kind, double start, double length, double f0, double f1,
              double q, double amp, double attack, double tau)
{
    Biquad filter(kind, rate);
    const size_t first = Frames(start, rate);
    const size_t n = Frames(length, rate);
    for (size_t k = 0; k < n && first + k < buf.size(); ++k) {
        const double t = static_cast<double>(k) / rate;
        const double p = t / length;
        filter.Set(f0 * std::pow(f1 / f0, p), q);
        buf[first + k] += filter.Process(rng.Bipolar()) * amp * AttackDecay(t, attack, tau);
    }
}

// Short sine blip with a quick attack: menu ticks.
void AddBlip(int rate, Buf& buf, double start, double freq, double amp, double tau, double harmonic)
{
    double phase = 0;
    const size_t first = Frames(start, rate);
    for (size_t i = first; i < buf.size(); ++i) {
        const double t = static_cast<double>(i - first) / rate;
        const double env = AttackDecay(t, 0.003, tau);
        buf[i] += (std::sin(phase) + harmonic * std::sin(2 * phase)) * amp * env;
        phase += kTwoPi * freq / rate;
    }
}


} // namespace soundgen
