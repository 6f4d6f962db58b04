// The mixer's cost: 64 playing channels plus a 32-channel module, rendered for 10
// seconds of audio in device-sized blocks. The counter "realtime" is the fraction of
// real time the mixing takes on one core (0.02 = 2 %). The module alone and the
// channels alone are measured beside it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Fmod.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 10;
constexpr int kBlock = 1024;

void Put16BE(std::vector<uint8_t>& b, unsigned v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}

// A 32-channel tracker module with a note on every channel every other row, from four
// looping instruments: about as busy as game music gets.
std::vector<uint8_t> BusyModule()
{
    const int channels = 32;
    const unsigned words = 512;
    std::vector<uint8_t> b(20, 0);
    for (int i = 0; i < 31; ++i) {
        b.insert(b.end(), 22, 0);
        const bool used = i < 4;
        Put16BE(b, used ? words : 0);
        b.push_back(0);
        b.push_back(used ? 48 : 0);
        Put16BE(b, 0);
        Put16BE(b, used ? words : 1);
    }
    b.push_back(4);
    b.push_back(127);
    for (int i = 0; i < 128; ++i)
        b.push_back(uint8_t(i < 4 ? i : 0));
    b.insert(b.end(), {'3', '2', 'C', 'H'});
    static const unsigned periods[] = {428, 381, 339, 320, 285, 254, 226, 214};
    for (int p = 0; p < 4; ++p)
        for (int row = 0; row < 64; ++row)
            for (int c = 0; c < channels; ++c) {
                if ((row + c) % 2 == 0) {
                    const unsigned period = periods[(row + c + p) % 8] >> (c % 3);
                    const unsigned instrument = 1 + unsigned(c + row) % 4;
                    b.push_back(uint8_t(((instrument & 0x10)) | (period >> 8)));
                    b.push_back(uint8_t(period));
                    b.push_back(uint8_t((instrument & 0x0F) << 4));
                    b.push_back(0);
                } else {
                    b.insert(b.end(), {0, 0, 0, 0});
                }
            }
    for (int s = 0; s < 4; ++s)
        for (unsigned i = 0; i < words * 2; ++i)
            b.push_back(uint8_t(int8_t(std::lrint(90 * std::sin(i * (s + 1) * 6.2831853 / 64)))));
    return b;
}

std::vector<uint8_t> NoiseWav()
{
    const uint32_t frames = kRate;  // one second, looped
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                              16, 0, 0, 0, 1, 0, 1, 0};
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    };
    put32(kRate);
    put32(kRate * 2);
    b.insert(b.end(), {2, 0, 16, 0, 'd', 'a', 't', 'a'});
    put32(frames * 2);
    uint32_t seed = 1;
    for (uint32_t i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int16_t v = int16_t(seed >> 18) - 8192;
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(uint16_t(v) >> 8));
    }
    const uint32_t riff = uint32_t(b.size() - 8);
    std::memcpy(b.data() + 4, &riff, 4);
    return b;
}

void RenderTenSeconds(benchmark::State& state, int channels, bool music)
{
    FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
    FSOUND_Init(kRate, 64, 0);
    const std::vector<uint8_t> wav = NoiseWav();
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_UNMANAGED, reinterpret_cast<const char*>(wav.data()),
                                               FSOUND_LOOP_NORMAL, int(wav.size()));
    const std::vector<uint8_t> tune = BusyModule();
    FMUSIC_MODULE* module = FMUSIC_LoadSongMemory(tune.data(), int(tune.size()));
    if (!sample || !module) {
        state.SkipWithError("cannot load the test sound or module");
        return;
    }
    for (int i = 0; i < channels; ++i) {
        const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
        FSOUND_SetFrequency(channel, 22050 + 617 * i);  // resampled, as most effects are
        FSOUND_SetPan(channel, i % 3 == 0 ? FSOUND_STEREOPAN : i * 4);
        FSOUND_SetVolume(channel, 40 + i);
    }
    if (music)
        FMUSIC_PlaySong(module);
    std::vector<int16_t> out(size_t(kBlock) * 2);
    for (auto _ : state) {
        for (int done = 0; done < kRate * kSeconds; done += kBlock)
            FmodTest::Render(out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    // Time taken per second of audio: the share of one core the mixing needs.
    state.counters["realtime"] =
        benchmark::Counter(double(kSeconds) * double(state.iterations()), benchmark::Counter::kIsRate |
                                                                             benchmark::Counter::kInvert);
    FMUSIC_FreeSong(module);
    FSOUND_Sample_Free(sample);
    FSOUND_Close();
}

void BM_Mix64ChannelsAndModule(benchmark::State& state) { RenderTenSeconds(state, 64, true); }
void BM_Mix64ChannelsOnly(benchmark::State& state) { RenderTenSeconds(state, 64, false); }
void BM_ModuleOnly(benchmark::State& state) { RenderTenSeconds(state, 0, true); }

}  // namespace

BENCHMARK(BM_Mix64ChannelsAndModule)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mix64ChannelsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ModuleOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
