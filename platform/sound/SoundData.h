#pragma once
// The loaded forms of sampled sounds and music modules, shared by the decoders, the
// mixer and the sound-library calls.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Fmod.h"

struct openmpt_module;

// A sampled sound: frames of one or two channels, as floats in -1..1.
struct FSOUND_SAMPLE {
    std::vector<float> data;  // interleaved when stereo
    int channels = 1;
    int64_t frames = 0;
    unsigned loopMode = FSOUND_LOOP_OFF;
    int frequency = FSOUND_DEFAULT_RATE;
    int volume = 255;
    int pan = 128;
    int priority = 128;
};

// A music module and its playing state.
struct FMUSIC_MODULE {
    openmpt_module* mod = nullptr;
    bool playing = false;
    signed char paused = 0;
    int masterVolume = 256;
    FMUSIC_CALLBACK zxxCallback = nullptr;
};

namespace sound {

// Decoders over a whole file in memory. They fill a sample (format, frames, rate) and
// return false for data they cannot read; they never throw and never crash on bad
// data.
bool DecodeWav(const uint8_t* data, size_t size, FSOUND_SAMPLE& sample);
// A RIFF WAVE file rebuilt of its first "fmt " and "data" chunks, with 64-bit checks of
// every chunk size: a "data" chunk longer than the file holds is cut to what it holds,
// a "fmt " chunk longer than that, or a file without either chunk, is refused (false).
// The result is at most 30 bytes longer than the file.
bool CleanWavHeader(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
bool DecodeMp3(const uint8_t* data, size_t size, FSOUND_SAMPLE& sample);
// Raw PCM laid out as the mode's format bits say (8/16 bits, mono/stereo, signed
// unless FSOUND_UNSIGNED); a trailing partial frame is dropped.
bool DecodeRaw(const uint8_t* data, size_t size, unsigned mode, FSOUND_SAMPLE& sample);
// Chooses the decoder: raw for FSOUND_LOADRAW, else WAV or MP3 by the data's header.
bool DecodeSample(const uint8_t* data, size_t size, unsigned mode, FSOUND_SAMPLE& sample);
// Bytes per frame of raw data in the given mode.
int RawFrameBytes(unsigned mode);
// Converts frames of raw data into float frames (count = frames * channels values).
void ConvertRaw(const uint8_t* data, int64_t frames, unsigned mode, float* out);

// A libopenmpt module over the file in memory, or nullptr.
openmpt_module* LoadModule(const uint8_t* data, size_t size);

}  // namespace sound
