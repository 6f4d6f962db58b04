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
        // One render with endless repeat: the first pass is measured, and playback
        // must carry on past it, back round at the first order.
        openmpt::module mod(bytes);
        report.loaded = true;
        report.warnings = mod.get_metadata("warnings");
        report.seconds = mod.get_duration_seconds();
        mod.set_repeat_count(-1);
        constexpr int kRate = 44100;
        constexpr size_t kBlock = 4096;
        std::vector<float> left(kBlock), right(kBlock);
        const size_t pass = static_cast<size_t>(report.seconds * kRate);
        double sumSquares = 0;
        size_t played = 0;
        bool wrapped = false;
        while (played < pass + kRate * 2 && played < static_cast<size_t>(kRate) * 600) {
            const size_t got = mod.read(kRate, kBlock, left.data(), right.data());
            if (got == 0)
                break;
            for (size_t i = 0; i < got && played + i < pass; ++i) {
                report.peak = std::max({report.peak, std::fabs(double(left[i])), std::fabs(double(right[i]))});
                sumSquares += double(left[i]) * left[i] + double(right[i]) * right[i];
            }
            played += got;
            if (played > pass && mod.get_current_order() == 0)
                wrapped = true;
        }
        report.rms = pass ? std::sqrt(sumSquares / (2.0 * static_cast<double>(pass))) : 0.0;
        report.loops = wrapped && played >= pass + kRate * 2;
    } catch (const std::exception& e) {
        report.error = e.what();
    }
    return report;
}

} // namespace soundgen
