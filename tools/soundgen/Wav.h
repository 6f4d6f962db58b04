// RIFF WAVE writer: 16-bit mono PCM.
#pragma once

#include <cstdint>
#include <vector>

namespace soundgen {

std::vector<uint8_t> MakeWav(const std::vector<int16_t>& pcm, int rate);

} // namespace soundgen
