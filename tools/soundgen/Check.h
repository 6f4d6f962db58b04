// Plays each written module through libopenmpt, the module player the game uses,
// and reports what a listener would notice: a module that does not load, silence,
// clipping, a tune too short, or one that stops instead of looping.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

struct ModuleReport {
    bool loaded = false;
    double seconds = 0;       // one pass through the order list
    double peak = 0;          // largest absolute sample of one pass, 1.0 = full scale
    double rms = 0;
    bool loops = false;       // playback goes on past the end, back at the first order
    std::string warnings;     // what the player found odd while loading
    std::string error;
};

ModuleReport CheckModule(const std::vector<uint8_t>& bytes);

} // namespace soundgen
