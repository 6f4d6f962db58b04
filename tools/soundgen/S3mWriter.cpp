// Scream Tracker 3 module (S3M) writer.
//
// Layout: a 96-byte header, the order list, paragraph pointers (offset / 16) to the
// instruments and patterns, the default panning table; then each instrument (80 bytes),
// each packed pattern and the sample data (unsigned 16-bit), all on 16-byte boundaries.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/soundgen/Bytes.h"
#include "tools/soundgen/Module.h"

namespace soundgen {
namespace {

constexpr size_t kHeaderSize = 0x60;
constexpr size_t kInstrumentSize = 0x50;

unsigned S3mNote(int midi)
{
    if (midi == kNoteOff)
        return 254;  // note cut
    const int octave = midi / 12 - 1;  // MIDI 60 is octave 4, C: played at the C2 speed
    if (octave < 0 || octave > 9)
        throw std::runtime_error("note out of the S3M range");
    return static_cast<unsigned>(octave << 4 | (midi % 12));
}

void S3mEffect(const Cell& cell, unsigned& command, unsigned& info)
{
    command = 0;
    info = 0;
    switch (cell.fx) {
    case Fx::None:
        return;
    case Fx::JumpToOrder:
        command = 'B' - 'A' + 1;
        info = static_cast<unsigned>(cell.param);
        return;
    case Fx::NoteDelay:
        command = 'S' - 'A' + 1;
        info = 0xD0 | (static_cast<unsigned>(cell.param) & 0x0F);
        return;
    case Fx::Vibrato:
        command = 'H' - 'A' + 1;
        info = static_cast<unsigned>(cell.param);
        return;
    case Fx::VolumeSlide:
        command = 'D' - 'A' + 1;
        info = static_cast<unsigned>(cell.param);
        return;
    case Fx::SetSpeed:
        command = 'A' - 'A' + 1;
        info = static_cast<unsigned>(cell.param);
        return;
    }
}

// The C2 speed field holds at most 65535 Hz. A sample whose middle C would need a
// faster rate is stored at half (or a quarter of) that rate and its notes are written
// an octave (or two) higher, which sounds the same.
double C2Speed(const ModSample& s, int& octaveShift)
{
    double c2spd = s.rate * std::pow(2.0, (60.0 - s.basePitch) / 12.0);
    octaveShift = 0;
    while (c2spd > 65535.0) {
        c2spd /= 2;
        ++octaveShift;
    }
    return c2spd;
}

std::vector<uint8_t> PackPattern(const Pattern& p, const std::vector<int>& octaveShift)
{
    if (p.rows != 64)
        throw std::runtime_error("S3M patterns have 64 rows");
    Bytes data;
    for (int row = 0; row < 64; ++row) {
        for (int ch = 0; ch < p.channels; ++ch) {
            const Cell& c = p.At(row, ch);
            unsigned command = 0, info = 0;
            S3mEffect(c, command, info);
            const bool noteOrInst = c.note != kNoNote || c.instrument != 0;
            const bool vol = c.volume >= 0;
            if (!noteOrInst && !vol && command == 0)
                continue;
            // What byte: channel in the low five bits; 32 = note and instrument follow,
            // 64 = volume follows, 128 = command and info follow.
            unsigned what = static_cast<unsigned>(ch) & 31;
            what |= noteOrInst ? 32 : 0;
            what |= vol ? 64 : 0;
            what |= command ? 128 : 0;
            data.U8(what);
            if (noteOrInst) {
                int note = c.note;
                if (note > 0 && c.instrument > 0 && static_cast<size_t>(c.instrument) <= octaveShift.size())
                    note += 12 * octaveShift[static_cast<size_t>(c.instrument - 1)];
                data.U8(note == kNoNote ? 255 : S3mNote(note));
                data.U8(static_cast<unsigned>(c.instrument));
            }
            if (vol)
                data.U8(static_cast<unsigned>(std::min(c.volume, 64)));
            if (command) {
                data.U8(command);
                data.U8(info);
            }
        }
        data.U8(0);  // end of row
    }
    Bytes out;
    out.U16(static_cast<unsigned>(data.Size() + 2));  // length including this word
    out.Raw(data.Data());
    return out.Data();
}

} // namespace

std::vector<uint8_t> WriteS3m(const Module& m)
{
    if (m.orders.empty() || m.orders.size() > 254 || m.patterns.size() > 100 || m.instruments.size() > 99 ||
        m.channels < 1 || m.channels > 16)
        throw std::runtime_error("module does not fit the S3M format");

    std::vector<unsigned> orders(m.orders.begin(), m.orders.end());
    orders.push_back(255);  // end of song
    if (orders.size() % 2 != 0)
        orders.push_back(255);

    Bytes out;
    out.Text(m.title, 28);
    out.U8(0x1A);
    out.U8(16);               // type: ST3 module
    out.U16(0);
    out.U16(static_cast<unsigned>(orders.size()));
    out.U16(static_cast<unsigned>(m.instruments.size()));
    out.U16(static_cast<unsigned>(m.patterns.size()));
    out.U16(0);               // flags
    out.U16(0x1320);          // made with version 3.20
    out.U16(2);               // samples are unsigned
    out.Text("SCRM", 4);
    out.U8(64);               // global volume
    out.U8(static_cast<unsigned>(m.speed));
    out.U8(static_cast<unsigned>(m.tempo));
    out.U8(0x80 | (static_cast<unsigned>(std::clamp(m.mixVolume, 16, 127))));  // stereo, master volume
    out.U8(0);                // ultra-click removal
    out.U8(252);              // the default panning table follows the pointers
    out.Text("", 8);
    out.U16(0);               // no special data
    for (int ch = 0; ch < 32; ++ch) {
        if (ch < m.channels) {
            const int pan = ch < static_cast<int>(m.panning.size()) ? m.panning[ch] : 128;
            // Left channels L1..L8 are 0..7, right ones R1..R8 are 8..15.
            out.U8(pan < 128 ? static_cast<unsigned>(ch / 2 % 8) : static_cast<unsigned>(8 + ch / 2 % 8));
        } else {
            out.U8(255);      // unused
        }
    }
    if (out.Size() != kHeaderSize)
        throw std::runtime_error("S3M header size");
    for (unsigned o : orders)
        out.U8(o);
    const size_t instPtrAt = out.Size();
    for (size_t i = 0; i < m.instruments.size(); ++i)
        out.U16(0);
    const size_t patPtrAt = out.Size();
    for (size_t i = 0; i < m.patterns.size(); ++i)
        out.U16(0);
    for (int ch = 0; ch < 32; ++ch) {
        const int pan = ch < static_cast<int>(m.panning.size()) ? m.panning[ch] : 128;
        out.U8(ch < m.channels ? 0x20u | static_cast<unsigned>(pan >> 4) : 0u);
    }

    // Instrument headers and patterns come first, so that their 16-bit paragraph
    // pointers stay small; the sample data (24-bit pointers) follows them.
    std::vector<size_t> instAt;
    std::vector<int> octaveShift(m.instruments.size(), 0);
    for (size_t i = 0; i < m.instruments.size(); ++i) {
        const Instrument& inst = m.instruments[i];
        const ModSample& s = inst.sample;
        out.PadTo(16);
        const size_t at = out.Size();
        instAt.push_back(at);
        out.PatchU16(instPtrAt + 2 * i, static_cast<unsigned>(at / 16));
        const bool loop = s.loopEnd > s.loopStart;
        out.U8(1);                                   // sampled instrument
        out.Text(inst.name, 12);
        out.U8(0);                                   // sample pointer, patched below
        out.U16(0);
        out.U32(static_cast<uint32_t>(s.pcm.size()));
        out.U32(loop ? s.loopStart : 0);
        out.U32(loop ? s.loopEnd : 0);
        out.U8(static_cast<unsigned>(s.volume));
        out.U8(0);
        out.U8(0);                                   // not packed
        out.U8((loop ? 1u : 0u) | 4u);               // loop, 16-bit
        // Rate at which the sample plays for middle C.
        const double c2spd = C2Speed(s, octaveShift[i]);
        out.U32(static_cast<uint32_t>(std::lround(c2spd)));
        out.Text("", 12);
        out.Text(inst.name, 28);
        out.Text("SCRS", 4);
        if (out.Size() - at != kInstrumentSize)
            throw std::runtime_error("S3M instrument size");
    }
    for (size_t i = 0; i < m.patterns.size(); ++i) {
        if (m.patterns[i].channels != m.channels)
            throw std::runtime_error("pattern channel count");
        out.PadTo(16);
        if (out.Size() / 16 > 0xFFFF)
            throw std::runtime_error("S3M patterns too large for their pointers");
        out.PatchU16(patPtrAt + 2 * i, static_cast<unsigned>(out.Size() / 16));
        out.Raw(PackPattern(m.patterns[i], octaveShift));
    }
    for (size_t i = 0; i < m.instruments.size(); ++i) {
        out.PadTo(16);
        const size_t para = out.Size() / 16;
        if (para > 0xFFFFFF)
            throw std::runtime_error("S3M file too large for its pointers");
        out.PatchU8(instAt[i] + 13, static_cast<unsigned>(para >> 16));
        out.PatchU16(instAt[i] + 14, static_cast<unsigned>(para & 0xFFFF));
        for (int16_t v : m.instruments[i].sample.pcm)
            out.U16(static_cast<uint16_t>(v) ^ 0x8000u);
    }
    out.PadTo(16);
    return out.Data();
}

} // namespace soundgen
