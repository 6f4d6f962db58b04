// A tracker module in memory, independent of the file format it is written to:
// instruments built from synthesised samples, patterns of note cells, an order list.
// XmWriter and S3mWriter turn it into Extended Module and Scream Tracker 3 files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

struct ModSample {
    std::vector<int16_t> pcm;
    int rate = 22050;
    // Pitch of the recorded waveform as a (fractional) MIDI note: a cell with this
    // note plays the sample at its own rate.
    double basePitch = 60.0;
    // Forward loop [loopStart, loopEnd) in frames; loopEnd 0 means no loop.
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    int volume = 64;   // 0..64
    int pan = 128;     // XM default panning, 0 (left) .. 255 (right)
};

struct Envelope {
    // (tick, level 0..64) points, ticks rising from 0; empty means no envelope.
    std::vector<std::pair<int, int>> points;
    int sustain = -1;  // index of the sustain point, or -1
};

struct Instrument {
    std::string name;
    ModSample sample;
    Envelope volume;     // XM only
    int fadeout = 0;     // XM: volume fade per tick after key-off (0..4095)
    int vibratoDepth = 0;  // XM auto-vibrato (sine), 0 = none
    int vibratoRate = 0;
    int vibratoSweep = 0;
};

enum class Fx : uint8_t {
    None,
    JumpToOrder,  // param: order index
    NoteDelay,    // param: ticks
    Vibrato,      // param: speed << 4 | depth
    VolumeSlide,  // param: up << 4 | down
    SetSpeed,     // param: ticks per row
};

constexpr int kNoNote = 0;
constexpr int kNoteOff = -1;

struct Cell {
    int note = kNoNote;  // MIDI note number, kNoNote or kNoteOff
    int instrument = 0;  // 1-based, 0 = none
    int volume = -1;     // 0..64, -1 = none
    Fx fx = Fx::None;
    int param = 0;
};

struct Pattern {
    int rows = 64;
    int channels = 0;
    std::vector<Cell> cells;  // row-major

    Pattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(static_cast<size_t>(rowCount * channelCount))
    {
    }
    Cell& At(int row, int channel) { return cells.at(static_cast<size_t>(row * channels + channel)); }
    const Cell& At(int row, int channel) const { return cells.at(static_cast<size_t>(row * channels + channel)); }
};

struct Module {
    std::string title;
    int channels = 8;
    int speed = 6;    // ticks per row
    int tempo = 125;  // beats per minute (a tick is 2.5 / tempo seconds)
    int mixVolume = 48;  // S3M master volume, 16..127: the gain of the whole mix
    std::vector<int> panning;  // per channel, 0 (left) .. 255 (right)
    std::vector<Instrument> instruments;
    std::vector<Pattern> patterns;
    std::vector<int> orders;
};

std::vector<uint8_t> WriteXm(const Module& module);
std::vector<uint8_t> WriteS3m(const Module& module);

} // namespace soundgen
