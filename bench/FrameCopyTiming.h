#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tesk/toolkit/Dib16.h"

// Times a piece of work over consecutive runs beside a copy of a whole 640 x 480 frame
// measured in the same run (so that the figures stay comparable on machines of any speed),
// and reports the median of each and their ratio as the benchmark's counters.
namespace benchtiming {

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs work(i) for i = 0 .. runs - 1, each run followed by the frame copy, for every
// iteration of the state; the counters are `timeCounter` (microseconds), "frame_copy_us"
// and `ratioCounter`.
template <typename Work>
void MeasureBesideFrameCopy(benchmark::State& state, int runs, const std::string& timeCounter,
                            const std::string& ratioCounter, Work&& work)
{
    tDib16 copySource(640, 480);
    copySource.ClipRect = TRect{0, 0, 640, 480};
    tDib16 copyTarget(640, 480);
    copyTarget.ClipRect = TRect{0, 0, 640, 480};
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        std::vector<double> timed, copy;
        timed.reserve(runs);
        copy.reserve(runs);
        for (int i = 0; i < runs; ++i) {
            const auto a = Clock::now();
            work(i);
            const auto b = Clock::now();
            copyTarget.CopyBlockFrom(copySource, 0, 0, 640, 480, 0, 0);
            const auto c = Clock::now();
            timed.push_back(std::chrono::duration<double, std::micro>(b - a).count());
            copy.push_back(std::chrono::duration<double, std::micro>(c - b).count());
        }
        const double t = Median(timed);
        const double c = Median(copy);
        state.counters[timeCounter] = t;
        state.counters["frame_copy_us"] = c;
        state.counters[ratioCounter] = t / c;
        benchmark::DoNotOptimize(copyTarget.ScanLine(0)[0]);
    }
}

}  // namespace benchtiming
