// The game's sound effects: one synthesised 16-bit mono sound per file name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

constexpr int kEffectRate = 44100;

struct Effect {
    std::string fileName;      // exact name under "samples/"
    std::vector<int16_t> pcm;  // mono, kEffectRate
    bool looped = false;       // played with a loop over the whole sound
};

// Every effect the game loads at start-up, in a fixed order.
std::vector<Effect> MakeEffects();

} // namespace soundgen
