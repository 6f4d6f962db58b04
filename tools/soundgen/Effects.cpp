// Each effect is a small recipe of voices (tones, thumps, filtered noise, bells)
// mixed into a buffer at 44100 Hz; MakeEffects then removes any offset, fades the
// edges so nothing clicks, and levels every sound to its loudness. Every noise source
// has its own fixed seed, so each build writes the same bytes.
#include "tools/soundgen/Effects.h"

#include <functional>

#include "tools/soundgen/Synth.h"

namespace soundgen {
namespace {

constexpr double R = kEffectRate;
constexpr double kCeilingDb = -3.0;

Buf Silence(double seconds) { return Buf(Frames(seconds, kEffectRate), 0.0); }

double TimeOf(size_t i) { return static_cast<double>(i) / R; }

Buf Teleport(bool incoming)
{
    const double dur = 0.85;
    Buf buf = Silence(dur);
    Rng rng(incoming ? 11 : 12);
    double p1 = 0, p2 = 0, p3 = 0;
    Biquad sparkle(Biquad::Kind::BandPass, R);
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        const double x = t / dur;
        const double sweep = incoming ? x : 1 - x;
        const double f = 170.0 * std::pow(2.0, 3.3 * sweep);
        p1 += kTwoPi * f / R;
        p2 += kTwoPi * f * 1.503 / R;
        p3 += kTwoPi * f * 2.01 / R;
        const double tone = std::sin(p1) * 0.5 + std::sin(p2) * 0.28 + std::sin(p3) * 0.18;
        const double trem = 0.65 + 0.35 * std::sin(kTwoPi * (14 + 22 * sweep) * t);
        sparkle.Set(3000 + 4000 * sweep, 4);
        const double shimmer = sparkle.Process(rng.Bipolar()) * 0.5;
        const double env = Smooth(t / 0.06) * Smooth((dur - t) / 0.3);
        buf[i] = (tone * trem + shimmer * (0.4 + 0.6 * sweep)) * env;
    }
    return buf;
}

Buf SpiderMunching()
{
    Buf buf = Silence(1.25);
    Rng rng(21);
    for (int k = 0; k < 6; ++k) {
        const double at = 0.02 + k * 0.19 + rng.Range(-0.015, 0.015);
        const double amp = 1.0 - 0.08 * k;
        AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, at, 0.14, 1400, 700, 1.2, amp, 0.004, 0.035);
        AddNoise(kEffectRate, buf, rng, Biquad::Kind::LowPass, at + 0.01, 0.12, 600, 300, 0.8, amp * 0.7, 0.006, 0.05);
        AddThump(kEffectRate, buf, at, 190 + rng.Range(-20, 20), 110, 0.03, amp * 0.5, 0.05);
    }
    return buf;
}

Buf SpiderExplosion()
{
    Buf buf = Silence(0.9);
    Rng rng(22);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::LowPass, 0, 0.9, 5000, 250, 0.9, 1.0, 0.002, 0.2);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, 0.01, 0.25, 900, 500, 2.0, 0.8, 0.003, 0.06);
    AddThump(kEffectRate, buf, 0, 110, 40, 0.05, 0.9, 0.18);
    SoftClip(buf, 1.5);
    return buf;
}

Buf Splosh()
{
    Buf buf = Silence(0.85);
    Rng rng(23);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::HighPass, 0, 0.4, 1800, 1200, 0.7, 0.9, 0.004, 0.08);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, 0, 0.6, 900, 400, 1.0, 1.0, 0.01, 0.14);
    AddThump(kEffectRate, buf, 0, 160, 70, 0.04, 0.5, 0.09);
    // Bubbles: short rising chirps.
    for (int k = 0; k < 9; ++k) {
        const double at = 0.05 + rng.Range(0, 0.5);
        const double f = rng.Range(450, 1200);
        const double amp = 0.35 * (1.0 - at);
        double phase = 0;
        const size_t first = Frames(at, kEffectRate);
        for (size_t i = first; i < buf.size() && i < first + Frames(0.05, kEffectRate); ++i) {
            const double t = TimeOf(i - first);
            phase += kTwoPi * f * (1 + 8 * t) / R;
            buf[i] += std::sin(phase) * amp * AttackDecay(t, 0.002, 0.012);
        }
    }
    return buf;
}

Buf SlideStone()
{
    const double dur = 0.4;
    Buf buf = Silence(dur);
    Rng rng(24);
    OnePole brown(300, R);
    Biquad body(Biquad::Kind::BandPass, R);
    body.Set(320, 0.8);
    Biquad scrape(Biquad::Kind::BandPass, R);
    scrape.Set(2200, 1.5);
    double grain = 1;
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        if (i % 400 == 0)
            grain = 0.55 + 0.45 * rng.Unit();
        const double n = rng.Bipolar();
        const double s = body.Process(brown.Process(n) * 6.0) + scrape.Process(n) * 0.18;
        buf[i] = s * grain * Smooth(t / 0.025) * Smooth((dur - t) / 0.12);
    }
    return buf;
}

Buf CollectKey()
{
    Buf buf = Silence(0.55);
    AddBell(kEffectRate, buf, 0.0, 1975.5, 0.8, 0.18);   // B6
    AddBell(kEffectRate, buf, 0.07, 2637.0, 0.7, 0.22);  // E7
    AddBell(kEffectRate, buf, 0.12, 3135.9, 0.35, 0.15); // G7
    return buf;
}

Buf CollectGem()
{
    Buf buf = Silence(0.8);
    const double notes[] = {88, 92, 95, 100}; // E6 G#6 B6 E7
    for (int k = 0; k < 4; ++k)
        AddBell(kEffectRate, buf, k * 0.055, NoteFreq(notes[k]), 0.6, 0.25);
    Rng rng(25);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::HighPass, 0.15, 0.6, 7000, 9000, 0.7, 0.05, 0.05, 0.2);
    return buf;
}

Buf ClearRubble()
{
    Buf buf = Silence(0.28);
    Rng rng(26);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::LowPass, 0, 0.2, 500, 200, 0.8, 1.0, 0.003, 0.05);
    for (int k = 0; k < 18; ++k) {
        const double at = rng.Range(0, 0.16);
        AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, at, 0.02, rng.Range(1200, 3500), 1000, 2.0,
                 0.9 * (1 - at * 3), 0.0005, 0.004);
    }
    return buf;
}

Buf SnakeAngry()
{
    const double dur = 0.6;
    Buf buf = Silence(dur);
    Rng rng(27);
    Biquad hp(Biquad::Kind::HighPass, R);
    hp.Set(3200, 0.7);
    Biquad bp(Biquad::Kind::BandPass, R);
    bp.Set(6000, 2.0);
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        const double n = rng.Bipolar();
        const double rattle = 0.7 + 0.3 * std::sin(kTwoPi * 13 * t);
        buf[i] = (hp.Process(n) * 0.6 + bp.Process(n)) * rattle * Smooth(t / 0.08) * Smooth((dur - t) / 0.25);
    }
    return buf;
}

Buf SnakeFire()
{
    Buf buf = Silence(0.55);
    Rng rng(28);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, 0, 0.55, 350, 3200, 1.4, 1.0, 0.05, 0.15);
    double phase = 0;
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        phase += kTwoPi * (950 * std::exp(-t * 4) + 200) / R;
        buf[i] += std::sin(phase) * 0.25 * AttackDecay(t, 0.01, 0.12);
    }
    return buf;
}

Buf Fireball()
{
    Buf buf = Silence(0.8);
    Rng rng(29);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::LowPass, 0, 0.8, 2500, 400, 0.9, 1.0, 0.008, 0.22);
    AddThump(kEffectRate, buf, 0, 90, 45, 0.08, 0.7, 0.2);
    for (int k = 0; k < 25; ++k) {
        const double at = rng.Range(0.02, 0.6);
        AddNoise(kEffectRate, buf, rng, Biquad::Kind::HighPass, at, 0.01, 3000, 3000, 0.7, 0.8 * (1 - at), 0.0003, 0.002);
    }
    SoftClip(buf, 1.3);
    return buf;
}

Buf SpiderAttack()
{
    const double dur = 0.5;
    Buf buf = Silence(dur);
    Rng rng(30);
    Biquad bp(Biquad::Kind::BandPass, R);
    double phase = 0;
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        const double f = (650 + 500 * t / dur) * (1 + 0.07 * std::sin(kTwoPi * 24 * t));
        phase += f / R;
        phase -= std::floor(phase);
        const double saw = Saw(phase, f, kEffectRate);
        bp.Set(2200, 1.2);
        const double s = bp.Process(saw + rng.Bipolar() * 0.3);
        buf[i] = s * Smooth(t / 0.02) * Smooth((dur - t) / 0.2);
    }
    return buf;
}

Buf SpiderShuffle()
{
    Buf buf = Silence(0.13);
    Rng rng(31);
    for (int k = 0; k < 3; ++k)
        AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, 0.005 + k * 0.035, 0.03, 3500 - k * 400, 3000, 2.5, 1.0,
                 0.0005, 0.005);
    return buf;
}

Buf SpiderTrapped()
{
    const double dur = 0.95;
    Buf buf = Silence(dur);
    double phase = 0;
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        const double f = (620 * std::pow(250.0 / 620.0, t / dur)) * (1 + 0.04 * std::sin(kTwoPi * 7 * t));
        phase += kTwoPi * f / R;
        const double s = std::sin(phase) + 0.3 * std::sin(3 * phase) + 0.12 * std::sin(5 * phase);
        buf[i] = s * Smooth(t / 0.03) * Smooth((dur - t) / 0.35);
    }
    return buf;
}

Buf CherryBombExplosion()
{
    Buf buf = Silence(1.6);
    Rng rng(32);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::LowPass, 0, 1.6, 7000, 150, 0.8, 1.0, 0.002, 0.35);
    AddThump(kEffectRate, buf, 0, 75, 28, 0.12, 1.2, 0.35);
    for (int k = 0; k < 40; ++k) {
        const double at = rng.Range(0.05, 1.2);
        AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, at, 0.015, rng.Range(1500, 4000), 1500, 1.5,
                 0.5 * (1.3 - at), 0.0003, 0.003);
    }
    SoftClip(buf, 2.0);
    return buf;
}

Buf CherryBombFuse()
{
    // One second of sizzle plus a tail that MakeLoop folds into the start.
    const double loop = 1.0, fade = 0.1;
    Buf buf = Silence(loop + fade);
    Rng rng(33);
    Biquad hp(Biquad::Kind::HighPass, R);
    hp.Set(2500, 0.7);
    Biquad bp(Biquad::Kind::BandPass, R);
    bp.Set(5200, 1.0);
    OnePole flutter(9, R);
    for (size_t i = 0; i < buf.size(); ++i) {
        const double n = rng.Bipolar();
        const double amp = 0.55 + flutter.Process(rng.Bipolar() * 3.0);
        buf[i] = (hp.Process(n) * 0.5 + bp.Process(n)) * amp;
    }
    for (int k = 0; k < 16; ++k) {
        const double at = rng.Range(0.0, loop + fade - 0.02);
        AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, at, 0.012, rng.Range(2000, 5000), 2500, 1.5, 1.2, 0.0003,
                 0.002);
    }
    MakeLoop(buf, Frames(loop, kEffectRate), Frames(fade, kEffectRate));
    return buf;
}

Buf DropBomb()
{
    Buf buf = Silence(0.32);
    Rng rng(34);
    AddThump(kEffectRate, buf, 0, 150, 55, 0.03, 1.0, 0.07);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, 0, 0.08, 450, 300, 1.5, 0.7, 0.001, 0.02);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::LowPass, 0, 0.01, 3000, 3000, 0.7, 0.4, 0.0003, 0.003);
    return buf;
}

Buf CherryBombPickup()
{
    Buf buf = Silence(0.25);
    double phase = 0;
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        phase += kTwoPi * (320 * std::pow(3.0, std::min(t / 0.09, 1.0))) / R;
        buf[i] = (std::sin(phase) + 0.25 * std::sin(2 * phase)) * AttackDecay(t, 0.004, 0.07);
    }
    AddBlip(kEffectRate, buf, 0.09, 1318.5, 0.25, 0.05);
    return buf;
}

Buf OpeningDoor()
{
    const double dur = 1.3;
    Buf buf = Silence(dur);
    Rng rng(35);
    OnePole brown(200, R);
    Biquad body(Biquad::Kind::BandPass, R);
    body.Set(170, 1.0);
    OnePole grainSmooth(25, R);
    double phase = 0;
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        const double grain = 0.6 + grainSmooth.Process(rng.Bipolar() * 2.0);
        const double rumble = body.Process(brown.Process(rng.Bipolar()) * 8.0) * grain;
        const double motorFreq = 80 + 50 * t / dur;
        phase += motorFreq / R;
        phase -= std::floor(phase);
        const double motor = Saw(phase, motorFreq, kEffectRate) * 0.12;
        buf[i] = (rumble + motor) * Smooth(t / 0.1) * Smooth((1.12 - t) / 0.1);
    }
    AddThump(kEffectRate, buf, 1.1, 120, 50, 0.02, 0.9, 0.05);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, 1.1, 0.15, 600, 400, 1.2, 0.5, 0.001, 0.03);
    return buf;
}

Buf MenuMove()
{
    Buf buf = Silence(0.08);
    AddBlip(kEffectRate, buf, 0, 1046.5, 1.0, 0.02);
    return buf;
}

Buf MenuMouseMove()
{
    Buf buf = Silence(0.05);
    AddBlip(kEffectRate, buf, 0, 1568.0, 1.0, 0.012);
    return buf;
}

Buf MenuSelect()
{
    Buf buf = Silence(0.26);
    AddBlip(kEffectRate, buf, 0, 1046.5, 0.8, 0.05, 0.3);
    AddBlip(kEffectRate, buf, 0.07, 1568.0, 0.9, 0.07, 0.3);
    return buf;
}

Buf MenuClose()
{
    Buf buf = Silence(0.24);
    AddBlip(kEffectRate, buf, 0, 1568.0, 0.8, 0.045, 0.3);
    AddBlip(kEffectRate, buf, 0.065, 1046.5, 0.9, 0.06, 0.3);
    return buf;
}

Buf Slider()
{
    Buf buf = Silence(0.035);
    Rng rng(36);
    AddBlip(kEffectRate, buf, 0, 2093.0, 1.0, 0.006, 0.0);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::HighPass, 0, 0.01, 4000, 4000, 0.7, 0.3, 0.0003, 0.002);
    return buf;
}

Buf InvalidOption()
{
    Buf buf = Silence(0.32);
    Biquad lp(Biquad::Kind::LowPass, R);
    lp.Set(1200, 0.7);
    double phase = 0;
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = TimeOf(i);
        phase += 116.5 / R;
        phase -= std::floor(phase);
        const double square = phase < 0.5 ? 1.0 : -1.0;
        const double gate = Smooth((t - 0.0) / 0.005) * Smooth((0.11 - t) / 0.01) +
                            Smooth((t - 0.16) / 0.005) * Smooth((0.3 - t) / 0.02);
        buf[i] = lp.Process(square) * gate;
    }
    return buf;
}

Buf MenuWhoosh(bool opening)
{
    const double dur = opening ? 0.45 : 0.4;
    Buf buf = Silence(dur);
    Rng rng(opening ? 37 : 38);
    AddNoise(kEffectRate, buf, rng, Biquad::Kind::BandPass, 0, dur, opening ? 300 : 4000, opening ? 4000 : 300, 1.2, 0.8,
             opening ? 0.12 : 0.01, 0.12);
    const double up[] = {72, 76, 79, 84};   // C5 E5 G5 C6
    const double down[] = {84, 79, 76, 72};
    for (int k = 0; k < 4; ++k)
        AddBell(kEffectRate, buf, 0.04 + k * 0.045, NoteFreq(opening ? up[k] : down[k]), 0.3, 0.15);
    return buf;
}

struct Recipe {
    const char* fileName;
    std::function<Buf()> make;
    double loudDb;   // short-term loudness of the finished sound, dBFS
    bool looped;
};

} // namespace

std::vector<Effect> MakeEffects()
{
    // Every sound is levelled by its short-term loudness, with peaks never above
    // -3 dBFS: events sit around -12 dBFS, explosions louder, and the frequent ones
    // (spider steps, menu hover, slider) and the continuous fuse lower, so that they
    // do not tire the ear.
    const std::vector<Recipe> recipes = {
        {"TeleportIn.wav", [] { return Teleport(true); }, -12, false},
        {"TelePortOut.wav", [] { return Teleport(false); }, -12, false},
        {"SpiderMunching.Wav", SpiderMunching, -13, false},
        {"SpiderExplosion.Wav", SpiderExplosion, -9, false},
        {"Splosh.Wav", Splosh, -12, false},
        {"SlideStone.Wav", SlideStone, -14, false},
        {"CollectKey.Wav", CollectKey, -12, false},
        {"CollectGem.Wav", CollectGem, -12, false},
        {"ClearRubble.Wav", ClearRubble, -16, false},
        {"SnakeAngry.Wav", SnakeAngry, -16, false},
        {"SnakeFire.Wav", SnakeFire, -12, false},
        {"Fireball.Wav", Fireball, -10, false},
        {"SpiderAttack.Wav", SpiderAttack, -13, false},
        {"SpiderShuffle.Wav", SpiderShuffle, -28, false},
        {"SpiderTrapped.Wav", SpiderTrapped, -13, false},
        {"CherryBombExplosion.Wav", CherryBombExplosion, -6, false},
        {"CherryBombFuse.Wav", CherryBombFuse, -18, true},
        {"DropBomb.Wav", DropBomb, -11, false},
        {"CherryBombPickup.Wav", CherryBombPickup, -12, false},
        {"OpeningDoor.Wav", OpeningDoor, -11, false},
        {"MenuMove.wav", MenuMove, -16, false},
        {"MenuMouseMove.wav", MenuMouseMove, -21, false},
        {"MenuSelect.wav", MenuSelect, -13, false},
        {"menuClose.wav", MenuClose, -14, false},
        {"Slider.wav", Slider, -21, false},
        {"InvalidOption.wav", InvalidOption, -14, false},
        {"MainMenuOpen.wav", [] { return MenuWhoosh(true); }, -13, false},
        {"MainMenuClose.wav", [] { return MenuWhoosh(false); }, -14, false},
    };

    std::vector<Effect> effects;
    for (const Recipe& r : recipes) {
        Buf buf = r.make();
        if (!r.looped) {
            RemoveDc(buf);
            FadeEdges(buf, kEffectRate, 1.5, 6.0);
        }
        NormaliseLoudness(buf, kEffectRate, r.loudDb, kCeilingDb);
        effects.push_back({r.fileName, ToPcm16(buf), r.looped});
    }
    return effects;
}

} // namespace soundgen
