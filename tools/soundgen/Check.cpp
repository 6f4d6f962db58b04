#include "tools/soundgen/Check.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include <libopenmpt/libopenmpt.hpp>

namespace soundgen {

ModuleReport CheckModule(const std::vector<uint8_t>& bytes)
{
    ModuleReport report;
    try {
        openmpt::module mod(bytes);
        report.loaded = true;
        report.seconds = mod.get_duration_seconds();
        constexpr int kRate = 44100;
        constexpr size_t kBlock = 4096;
        std::vector<float> left(kBlock), right(kBlock);
        double sumSquares = 0;
        size_t frames = 0;
        for (;;) {
            const size_t got = mod.read(kRate, kBlock, left.data(), right.data());
            if (got == 0)
                break;
            for (size_t i = 0; i < got; ++i) {
                report.peak = std::max({report.peak, std::fabs(double(left[i])), std::fabs(double(right[i]))});
                sumSquares += double(left[i]) * left[i] + double(right[i]) * right[i];
            }
            frames += got;
            if (frames > static_cast<size_t>(kRate) * 600)
                break;
        }
        report.rms = frames ? std::sqrt(sumSquares / (2.0 * static_cast<double>(frames))) : 0.0;

        // Looping: with endless repeat, playback must go on past one pass and come
        // back round to the first order.
        openmpt::module again(bytes);
        again.set_repeat_count(-1);
        const size_t pass = static_cast<size_t>(report.seconds * kRate);
        size_t played = 0;
        bool wrapped = false;
        while (played < pass + kRate * 2) {
            const size_t got = again.read(kRate, kBlock, left.data(), right.data());
            if (got == 0)
                break;
            played += got;
            if (played > pass && again.get_current_order() == 0)
                wrapped = true;
        }
        report.loops = wrapped && played >= pass + kRate * 2;
    } catch (const std::exception& e) {
        report.error = e.what();
    }
    return report;
}

} // namespace soundgen
