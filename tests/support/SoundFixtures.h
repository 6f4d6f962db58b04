#pragma once
// Small sound files made by the tests themselves: PCM WAV files and a tracker module
// with a steady tone, as bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace soundfix {

using Bytes = std::vector<uint8_t>;

// A PCM WAV file. values are the frames' samples, interleaved when stereo, in the
// range of the sample size (-128..127 for 8 bits, stored unsigned as WAV does).
Bytes MakeWav(int bits, int channels, int rate, const std::vector<int>& values);
// A mono 16-bit WAV of `frames` frames all at `amplitude`.
Bytes ConstantWav(int amplitude, int frames, int rate = 44100);

// A ProTracker-style module of `channels` channels (4, 8 ... 32) and `orders` orders of
// one pattern each, every channel playing one looping square-wave instrument.
Bytes MakeModule(int channels = 4, int orders = 2);

// Writes bytes to a file; returns false when it cannot.
bool WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace soundfix
