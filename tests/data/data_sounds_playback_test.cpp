// The sound data as the game meets it: members of the data package, read through the
// packaged-file lookup into the game's sound wrapper, on the silent output. Every
// effect loads by the name the game asks for and plays out clean, the fuse loops
// seamlessly, and every module plays its whole order list hot but unclipped, then
// loops.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "platform/Fmod.h"
#include "tesk/toolkit/Faudio.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/data/SoundDataFiles.h"
#include "tests/support/ScratchDir.h"

using namespace sounddata;

namespace {

constexpr int kRate = 44100;

class SoundPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        // As the game finds its data: members of "Base.Tarvol", with no loose files
        // beside it (the program folder is an empty one).
        ResetPackageFiles(FEmptyProgramDir.Path());
        AddPackage(std::string(TP_BIN_DIR) + "/Base.Tarvol");
        ASSERT_EQ(Packages().size(), 1u);
        InstallPackageFileCallbacks();
        ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
        ASSERT_TRUE(FSOUND_Init(kRate, 64, 0));
        FSOUND_SetSFXMasterVolume(255);
    }
    void TearDown() override
    {
        FSOUND_Close();
        FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
        ResetPackageFiles();
    }

    ScratchDir FEmptyProgramDir;

    // Renders `frames` stereo frames; returns the left and right samples interleaved.
    static std::vector<int16_t> Render(int frames)
    {
        std::vector<int16_t> out(2 * static_cast<size_t>(frames));
        FmodTest::Render(out.data(), frames);
        return out;
    }

    // Renders `step` frames at a time, at most `maxSteps` times, until the module's order
    // position goes back (back to order 0 with `toStart`). True when it did.
    static bool PlayUntilOrderWraps(tModule& module, int step, int maxSteps, bool toStart)
    {
        int previous = module.GetOrder();
        for (int i = 0; i < maxSteps; ++i) {
            Render(step);
            const int order = module.GetOrder();
            if (order < previous && (!toStart || order == 0))
                return true;
            previous = order;
        }
        return false;
    }
};

// RMS (dBFS) of each `window` frames of interleaved stereo, from frame `from` on.
std::vector<double> LevelsOf(const std::vector<int16_t>& s, size_t from, size_t window, size_t count)
{
    std::vector<double> levels;
    for (size_t w = 0; w < count; ++w) {
        double sum = 0;
        for (size_t i = 2 * (from + w * window); i < 2 * (from + (w + 1) * window) && i < s.size(); ++i)
            sum += double(s[i]) * s[i];
        levels.push_back(10.0 * std::log10(sum / (2.0 * double(window)) / (32768.0 * 32768.0) + 1e-12));
    }
    return levels;
}

int PeakOf(const std::vector<int16_t>& s)
{
    int peak = 0;
    for (int16_t v : s)
        peak = std::max(peak, std::abs(int(v)));
    return peak;
}

}  // namespace

TEST_F(SoundPlayback, EveryEffectLoadsAsTheGameLoadsItAndPlaysOutClean)
{
    for (const ExpectedEffect& e : ExpectedEffects()) {
        SCOPED_TRACE(e.name);
        tSample sample;
        ASSERT_NO_THROW(sample.LoadWav(std::string("samples\\") + e.name));
        int frequency = 0, volume = 0, pan = 0, priority = 0;
        sample.GetDefaults(frequency, volume, pan, priority);
        EXPECT_TRUE(frequency == 44100 || frequency == 22050) << frequency;
        EXPECT_EQ(volume, 255);
        if (e.looped)
            sample.SetLoopMode(FSOUND_LOOP_NORMAL);

        // At full volume with the game's pan: loud, never clipping, and sounding for
        // the length the event wants (rendered in 10 ms steps until it ends).
        const int channel = sample.Play();
        const int step = kRate / 100;
        const int maxSteps = static_cast<int>(e.maxSeconds * 100) + 1;
        int peak = 0, steps = 0;
        FmodChannelState state;
        for (; steps < maxSteps && FmodTest::Channel(channel, state) && state.playing; ++steps)
            peak = std::max(peak, PeakOf(Render(step)));
        EXPECT_LT(peak, 32000);
        EXPECT_GT(peak, 32768 / 40);  // not below -32 dBFS
        if (e.looped) {
            EXPECT_EQ(steps, maxSteps);  // still going
        } else {
            EXPECT_GE(steps / 100.0 + 0.01, e.minSeconds);
            EXPECT_LT(steps, maxSteps);
            // Ended by itself, leaving silence.
            EXPECT_EQ(PeakOf(Render(kRate / 10)), 0);
        }
    }
}

TEST_F(SoundPlayback, TheFusePlaysOnAcrossItsLoopPointWithoutAClick)
{
    const Wav w = ParseWav(ReadBytes(GeneratedDir() + "/samples/CherryBombFuse.Wav"));
    ASSERT_TRUE(w.ok);
    ASSERT_EQ(w.rate, kRate);
    tSample sample;
    sample.LoadWav("samples\\CherryBombFuse.Wav");
    sample.SetLoopMode(FSOUND_LOOP_NORMAL);
    const int channel = sample.Play();

    // Three passes: the output stays busy, and the steps at the loop points are no
    // larger than the sound's own steps.
    const int length = static_cast<int>(w.samples.size());
    const auto out = Render(3 * length);
    std::vector<int> steps;
    for (size_t i = 2; i < out.size(); i += 2)
        steps.push_back(std::abs(int(out[i]) - int(out[i - 2])));
    std::vector<int> sorted = steps;
    std::sort(sorted.begin(), sorted.end());
    const int typicalMax = sorted[sorted.size() * 99 / 100];
    for (int pass = 1; pass < 3; ++pass) {
        const size_t at = static_cast<size_t>(pass * length) - 1;
        EXPECT_LE(steps.at(at), typicalMax) << "loop point " << pass;
    }
    FmodChannelState state;
    EXPECT_TRUE(FmodTest::Channel(channel, state) && state.playing);
    const std::vector<int16_t> lastPass(out.end() - 2 * length, out.end());
    EXPECT_GT(PeakOf(lastPass), 32768 / 10);
}

TEST_F(SoundPlayback, EveryModulePlaysItsOrderListHotAndUnclippedThenLoops)
{
    for (const ExpectedModule& e : ExpectedModules()) {
        SCOPED_TRACE(e.name);
        tModule module;
        ASSERT_NO_THROW(module.Load(std::string("Music\\") + e.name));
        module.Play();
        module.SetMasterVolume(256);

        // One pass at full master volume: close to full scale, never clipping.
        int peak = 0;
        double sumSquares = 0;
        int highestOrder = 0;
        const int chunk = kRate / 2;
        const int chunks = static_cast<int>(e.minSeconds * 2);
        for (int i = 0; i < chunks; ++i) {
            const auto out = Render(chunk);
            peak = std::max(peak, PeakOf(out));
            for (int16_t v : out)
                sumSquares += double(v) * v;
            highestOrder = std::max(highestOrder, module.GetOrder());
        }
        EXPECT_LT(peak, 32700);
        EXPECT_GT(peak, 32768 / 2);  // within 6 dB of full scale
        const double rms = std::sqrt(sumSquares / (2.0 * chunk * chunks)) / 32768.0;
        EXPECT_GT(rms, 0.05);  // music all the way, not a few notes and silence
        EXPECT_GT(highestOrder, 1);

        // Play on until the order list wraps round to its start; the tune goes on.
        EXPECT_TRUE(PlayUntilOrderWraps(module, chunk, 240, false));
        EXPECT_GT(PeakOf(Render(kRate)), 32768 / 10);
        FmodModuleState state;
        ASSERT_TRUE(FmodTest::Module(module.Module(), state));
        EXPECT_TRUE(state.playing);
    }
}

TEST_F(SoundPlayback, EveryModuleSoundsTheSameOnItsSecondPass)
{
    // A clean loop leaves nothing behind: no note left droning from the end of the
    // tune, no channel left silent. The opening seconds of the second pass match the
    // first pass, once the last notes of the first have died away.
    constexpr int kStep = kRate / 100;                      // 10 ms: the wrap is found to this
    constexpr size_t kSpan = static_cast<size_t>(kRate) * 8;  // compared stretch
    for (const ExpectedModule& e : ExpectedModules()) {
        SCOPED_TRACE(e.name);
        tModule module;
        ASSERT_NO_THROW(module.Load(std::string("Music\\") + e.name));
        module.Play();
        module.SetMasterVolume(256);
        const auto first = Render(static_cast<int>(kSpan));
        ASSERT_TRUE(PlayUntilOrderWraps(module, kStep, 200 * 100, true));
        // The wrap happened within the last step: take the second pass from its start,
        // give or take that step, and compare quarter-second levels from 2 s on.
        const auto second = Render(static_cast<int>(kSpan));
        const size_t window = kRate / 4, from = 2 * kRate, count = 20;
        const auto a = LevelsOf(first, from, window, count);
        double best = 1e9;
        for (int shift = -kStep; shift <= kStep; shift += kStep / 5) {
            const auto b = LevelsOf(second, static_cast<size_t>(static_cast<int>(from) - shift), window, count);
            double worst = 0;
            for (size_t i = 0; i < count; ++i)
                worst = std::max(worst, std::fabs(a[i] - b[i]));
            best = std::min(best, worst);
        }
        EXPECT_LT(best, 1.5) << "dB apart at worst";
    }
}
