// The sound data as files: every effect the game loads exists under its exact name
// as a short, clean 16-bit mono PCM WAV at a shared loudness, and every module is a
// complete XM or S3M file whose order list ends by jumping back to the start.
#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "tests/data/SoundDataFiles.h"
#include "tests/support/ScratchDir.h"

using namespace sounddata;

namespace {

double Db(double fraction) { return 20.0 * std::log10(std::max(fraction, 1e-9)); }

double PeakOf(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX)
{
    int peak = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak / 32768.0;
}

// Largest RMS over any 50 ms window: how loud a short sound strikes the ear.
double ShortTermRms(const std::vector<int16_t>& s, int rate)
{
    const size_t window = std::min(s.size(), static_cast<size_t>(rate / 20));
    double best = 0;
    for (size_t start = 0; window > 0 && start + window <= s.size(); start += static_cast<size_t>(rate / 100)) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i)
            sum += double(s[i]) * s[i];
        best = std::max(best, std::sqrt(sum / double(window)) / 32768.0);
    }
    return best;
}

Wav LoadEffect(const ExpectedEffect& e)
{
    return ParseWav(ReadBytes(GeneratedDir() + "/samples/" + e.name));
}

}  // namespace

TEST(SoundFiles, TheGeneratorWritesTheSameBytesOnEveryRun)
{
    // The build makes the data afresh each time; a package that changed from build to
    // build without a source change would hide real changes and defeat caching.
    ScratchDir dir;
    const std::string generator = std::string(TP_BIN_DIR) + "/../tools/soundgen/soundgen";
    const std::string command = "\"" + generator + "\" \"" + dir.Path() + "\" --no-check > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const ExpectedEffect& e : ExpectedEffects())
        EXPECT_TRUE(ReadBytes(dir / ("samples/" + std::string(e.name))) ==
                    ReadBytes(GeneratedDir() + "/samples/" + e.name))
            << e.name;
    for (const ExpectedModule& e : ExpectedModules())
        EXPECT_TRUE(ReadBytes(dir / ("Music/" + std::string(e.name))) == ReadBytes(GeneratedDir() + "/Music/" + e.name))
            << e.name;
}

TEST(SoundFiles, TheSamplesFolderHoldsExactlyTheGameSounds)
{
    std::set<std::string> expected, found;
    for (const ExpectedEffect& e : ExpectedEffects())
        expected.insert(e.name);
    for (const auto& entry : std::filesystem::directory_iterator(GeneratedDir() + "/samples"))
        found.insert(entry.path().filename().string());
    // Exact spelling matters: the names are asked for as written ("TelePortOut.wav",
    // "menuClose.wav", ".Wav" for the game's own sounds).
    EXPECT_EQ(found, expected);
}

TEST(SoundFiles, EverySampleIsAShortCleanMonoPcmWav)
{
    for (const ExpectedEffect& e : ExpectedEffects()) {
        SCOPED_TRACE(e.name);
        const Wav w = LoadEffect(e);
        ASSERT_TRUE(w.ok);
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.bits, 16);
        EXPECT_TRUE(w.rate == 44100 || w.rate == 22050) << w.rate;
        ASSERT_GT(w.rate, 0);
        const double seconds = double(w.samples.size()) / w.rate;
        EXPECT_GE(seconds, e.minSeconds);
        EXPECT_LE(seconds, e.maxSeconds);
        ASSERT_FALSE(w.samples.empty());

        // Headroom below full scale, and never silent.
        const double peak = PeakOf(w.samples);
        EXPECT_LE(Db(peak), -2.9);
        EXPECT_GE(Db(peak), -30.0);

        if (!e.looped) {
            // Starts and stops at rest: no click when it is struck or when it ends.
            EXPECT_LE(std::abs(int(w.samples.front())), 100);
            EXPECT_LE(std::abs(int(w.samples.back())), 100);
            const size_t ms = static_cast<size_t>(w.rate / 1000);
            EXPECT_LT(PeakOf(w.samples, 0, ms / 4), 0.05);
            EXPECT_LT(PeakOf(w.samples, w.samples.size() - ms / 4), 0.05);
        }
    }
}

TEST(SoundFiles, EffectsShareOneLoudnessAndTheFrequentOnesStayQuiet)
{
    for (const ExpectedEffect& e : ExpectedEffects()) {
        SCOPED_TRACE(e.name);
        const Wav w = LoadEffect(e);
        ASSERT_TRUE(w.ok);
        const double loud = Db(ShortTermRms(w.samples, w.rate));
        if (e.quiet) {
            EXPECT_LE(loud, -18.0);
            EXPECT_GE(loud, -35.0);
        } else {
            EXPECT_GE(loud, -19.0);
            EXPECT_LE(loud, -5.0);
        }
    }
}

TEST(SoundFiles, TheFuseLoopsWithoutAJumpOrADip)
{
    const auto& all = ExpectedEffects();
    const auto fuse = std::find_if(all.begin(), all.end(), [](const ExpectedEffect& e) { return e.looped; });
    ASSERT_NE(fuse, all.end());
    const Wav w = LoadEffect(*fuse);
    ASSERT_TRUE(w.ok);
    const auto& s = w.samples;
    ASSERT_GT(s.size(), 1000u);

    // The step from the last frame back to the first is no larger than the steps the
    // sound takes anyway.
    std::vector<int> steps;
    for (size_t i = 1; i < s.size(); ++i)
        steps.push_back(std::abs(int(s[i]) - int(s[i - 1])));
    std::sort(steps.begin(), steps.end());
    const int typicalMax = steps[steps.size() * 99 / 100];
    EXPECT_LE(std::abs(int(s.front()) - int(s.back())), typicalMax);

    // The level carries on across the loop point: no fade-in or fade-out at either end.
    const size_t tenth = static_cast<size_t>(w.rate / 10);
    auto rms = [&](size_t from) {
        double sum = 0;
        for (size_t i = from; i < from + tenth; ++i)
            sum += double(s[i]) * s[i];
        return std::sqrt(sum / double(tenth)) / 32768.0;
    };
    const double head = Db(rms(0)), tail = Db(rms(s.size() - tenth)), middle = Db(rms(s.size() / 2 - tenth / 2));
    EXPECT_NEAR(head, middle, 3.0);
    EXPECT_NEAR(tail, middle, 3.0);
}

namespace {

// What the module tests need from a module: its order list, the number of rows of
// each pattern, timing, whether the last pattern played jumps back to order 0, and
// whether the file's parts all lie within it.
struct ModuleShape {
    bool ok = false;
    std::string error;
    std::vector<int> orders;
    std::vector<int> patternRows;
    int speed = 0;
    int tempo = 0;
    int instruments = 0;
    bool lastPatternJumpsToStart = false;
    struct LoopedSample {
        std::vector<int16_t> pcm;
        size_t start = 0, end = 0;  // frames, end exclusive
    };
    std::vector<LoopedSample> loops;

    double SecondsPerPass() const
    {
        double rows = 0;
        for (int o : orders)
            rows += patternRows.at(static_cast<size_t>(o));
        return rows * speed * 2.5 / tempo;
    }
};

ModuleShape ReadXm(const std::vector<uint8_t>& b)
{
    ModuleShape m;
    try {
        if (Le(b, 58, 2) != 0x0104)
            throw std::runtime_error("version");
        const size_t headerSize = Le(b, 60, 4);
        const int songLength = static_cast<int>(Le(b, 64, 2));
        const int channels = static_cast<int>(Le(b, 68, 2));
        const int patterns = static_cast<int>(Le(b, 70, 2));
        m.instruments = static_cast<int>(Le(b, 72, 2));
        m.speed = static_cast<int>(Le(b, 76, 2));
        m.tempo = static_cast<int>(Le(b, 78, 2));
        for (int i = 0; i < songLength; ++i)
            m.orders.push_back(b.at(80 + static_cast<size_t>(i)));
        size_t at = 60 + headerSize;
        std::vector<std::vector<uint8_t>> lastRowEffects(static_cast<size_t>(patterns));
        for (int p = 0; p < patterns; ++p) {
            const size_t len = Le(b, at, 4);
            const int rows = static_cast<int>(Le(b, at + 5, 2));
            const size_t packed = Le(b, at + 7, 2);
            m.patternRows.push_back(rows);
            size_t q = at + len;
            const size_t end = q + packed;
            if (end > b.size())
                throw std::runtime_error("pattern past the end");
            for (int row = 0; row < rows; ++row) {
                for (int ch = 0; ch < channels; ++ch) {
                    uint8_t mask = b.at(q);
                    uint8_t note = 0, inst = 0, fx = 0, param = 0;
                    if (mask & 0x80) {
                        ++q;
                        if (mask & 1) note = b.at(q++);
                        if (mask & 2) inst = b.at(q++);
                        if (mask & 4) q++;  // volume column
                        if (mask & 8) fx = b.at(q++);
                        if (mask & 16) param = b.at(q++);
                    } else {
                        note = b.at(q++);
                        inst = b.at(q++);
                        q++;  // volume column
                        fx = b.at(q++);
                        param = b.at(q++);
                    }
                    if (note > 97 || inst > m.instruments)
                        throw std::runtime_error("bad cell");
                    if (row == rows - 1 && fx == 0x0B && param == 0 &&
                        p == m.orders.back())
                        m.lastPatternJumpsToStart = true;
                }
            }
            if (q != end)
                throw std::runtime_error("pattern size does not match its cells");
            at = end;
        }
        for (int i = 0; i < m.instruments; ++i) {
            const size_t size = Le(b, at, 4);
            const int samples = static_cast<int>(Le(b, at + 27, 2));
            size_t sampleHeaderSize = samples > 0 ? Le(b, at + 29, 4) : 0;
            size_t q = at + size;
            struct Loop {
                size_t length, start, end;
                bool sixteen, looped;
            };
            std::vector<Loop> loops;
            size_t data = 0;
            for (int s = 0; s < samples; ++s) {
                const size_t length = Le(b, q, 4), loopStart = Le(b, q + 4, 4), loopLength = Le(b, q + 8, 4);
                const bool looped = (b.at(q + 14) & 3) != 0;
                if (looped && loopStart + loopLength > length)
                    throw std::runtime_error("loop past the sample end");
                loops.push_back({length, loopStart, loopStart + loopLength, (b.at(q + 14) & 0x10) != 0, looped});
                data += length;
                q += sampleHeaderSize;
            }
            // Sample data: deltas of 16-bit values (all our samples are 16-bit).
            for (const Loop& l : loops) {
                if (q + l.length > b.size())
                    throw std::runtime_error("sample past the end");
                if (l.sixteen && l.looped) {
                    std::vector<int16_t> pcm;
                    int16_t value = 0;
                    for (size_t k = 0; k + 1 < l.length; k += 2) {
                        value = static_cast<int16_t>(value + static_cast<int16_t>(Le(b, q + k, 2)));
                        pcm.push_back(value);
                    }
                    m.loops.push_back({std::move(pcm), l.start / 2, l.end / 2});
                }
                q += l.length;
            }
            at = q;
        }
        if (at != b.size())
            throw std::runtime_error("file size does not match its contents");
        m.ok = true;
    } catch (const std::exception& e) {
        m.error = e.what();
    }
    return m;
}

ModuleShape ReadS3m(const std::vector<uint8_t>& b)
{
    ModuleShape m;
    try {
        const int ordNum = static_cast<int>(Le(b, 32, 2));
        m.instruments = static_cast<int>(Le(b, 34, 2));
        const int patterns = static_cast<int>(Le(b, 36, 2));
        m.speed = b.at(49);
        m.tempo = b.at(50);
        for (int i = 0; i < ordNum; ++i) {
            const int o = b.at(96 + static_cast<size_t>(i));
            if (o == 255)
                break;
            if (o != 254)
                m.orders.push_back(o);
        }
        const size_t instPtrs = 96 + static_cast<size_t>(ordNum);
        const size_t patPtrs = instPtrs + 2 * static_cast<size_t>(m.instruments);
        for (int i = 0; i < m.instruments; ++i) {
            const size_t at = Le(b, instPtrs + 2 * static_cast<size_t>(i), 2) * 16;
            if (std::string(b.begin() + static_cast<long>(at) + 76, b.begin() + static_cast<long>(at) + 80) != "SCRS")
                throw std::runtime_error("instrument signature");
            const size_t data = (size_t(b.at(at + 13)) << 16 | Le(b, at + 14, 2)) * 16;
            const size_t length = Le(b, at + 16, 4);
            const size_t bytesPerFrame = (b.at(at + 31) & 4) ? 2 : 1;
            if (data + length * bytesPerFrame > b.size())
                throw std::runtime_error("sample past the end");
            if ((b.at(at + 31) & 1) && Le(b, at + 24, 4) > length)
                throw std::runtime_error("loop past the sample end");
            if ((b.at(at + 31) & 1) && bytesPerFrame == 2) {
                // Unsigned 16-bit values.
                std::vector<int16_t> pcm;
                for (size_t k = 0; k < length; ++k)
                    pcm.push_back(static_cast<int16_t>(Le(b, data + 2 * k, 2) ^ 0x8000u));
                m.loops.push_back({std::move(pcm), Le(b, at + 20, 4), Le(b, at + 24, 4)});
            }
        }
        for (int p = 0; p < patterns; ++p) {
            const size_t at = Le(b, patPtrs + 2 * static_cast<size_t>(p), 2) * 16;
            size_t q = at + 2;
            m.patternRows.push_back(64);
            for (int row = 0; row < 64; ++row) {
                for (;;) {
                    const uint8_t what = b.at(q++);
                    if (what == 0)
                        break;
                    uint8_t command = 0, info = 0;
                    if (what & 32) {
                        const uint8_t note = b.at(q++);
                        const uint8_t inst = b.at(q++);
                        if ((note != 255 && note != 254 && ((note & 15) > 11 || (note >> 4) > 9)) ||
                            inst > m.instruments)
                            throw std::runtime_error("bad cell");
                    }
                    if (what & 64)
                        q++;
                    if (what & 128) {
                        command = b.at(q++);
                        info = b.at(q++);
                    }
                    if (row == 63 && command == 'B' - 'A' + 1 && info == 0 && p == m.orders.back())
                        m.lastPatternJumpsToStart = true;
                }
            }
            if (q > at + Le(b, at, 2))
                throw std::runtime_error("pattern longer than its length");
        }
        m.ok = true;
    } catch (const std::exception& e) {
        m.error = e.what();
    }
    return m;
}

}  // namespace

TEST(MusicFiles, ModulesAreCompleteAndJumpBackToTheStart)
{
    for (const ExpectedModule& e : ExpectedModules()) {
        SCOPED_TRACE(e.name);
        const auto bytes = ReadBytes(GeneratedDir() + "/Music/" + e.name);
        ASSERT_GT(bytes.size(), 100u);
        const std::string magic(e.magic);
        ASSERT_EQ(std::string(bytes.begin() + static_cast<long>(e.magicAt),
                              bytes.begin() + static_cast<long>(e.magicAt + magic.size())),
                  magic);
        const ModuleShape m = magic == "SCRM" ? ReadS3m(bytes) : ReadXm(bytes);
        ASSERT_TRUE(m.ok) << m.error;
        ASSERT_FALSE(m.orders.empty());
        for (int o : m.orders)
            ASSERT_LT(o, static_cast<int>(m.patternRows.size()));
        EXPECT_GT(m.instruments, 3);
        EXPECT_TRUE(m.lastPatternJumpsToStart);
        EXPECT_GE(m.SecondsPerPass(), e.minSeconds);
        EXPECT_FALSE(m.loops.empty());
    }
}

TEST(MusicFiles, SustainedInstrumentsLoopWithoutAClick)
{
    for (const ExpectedModule& e : ExpectedModules()) {
        const auto bytes = ReadBytes(GeneratedDir() + "/Music/" + e.name);
        const ModuleShape m = std::string(e.magic) == "SCRM" ? ReadS3m(bytes) : ReadXm(bytes);
        ASSERT_TRUE(m.ok) << e.name << ": " << m.error;
        for (size_t i = 0; i < m.loops.size(); ++i) {
            SCOPED_TRACE(std::string(e.name) + " looped sample " + std::to_string(i));
            const auto& l = m.loops[i];
            ASSERT_LT(l.start + 16, l.end);
            ASSERT_LE(l.end, l.pcm.size());
            // The jump from the loop's last frame back to its first is a step the
            // waveform takes anyway.
            std::vector<int> steps;
            for (size_t k = l.start + 1; k < l.end; ++k)
                steps.push_back(std::abs(int(l.pcm[k]) - int(l.pcm[k - 1])));
            std::sort(steps.begin(), steps.end());
            const int typicalMax = steps[steps.size() * 99 / 100];
            EXPECT_LE(std::abs(int(l.pcm[l.start]) - int(l.pcm[l.end - 1])), typicalMax);
        }
    }
}
