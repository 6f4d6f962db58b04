// Extended Module (XM, version 1.04) writer.
//
// Layout: a 60-byte preamble and a header with the order table; every pattern as a
// 9-byte header plus packed cells; every instrument as a header with its sample map
// and envelopes, one 40-byte sample header, then the sample data as 16-bit deltas.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/soundgen/Bytes.h"
#include "tools/soundgen/Module.h"

namespace soundgen {
namespace {

// XM note 49 (C-4) plays a sample with no transpose at 8363 Hz; we map it to MIDI 60.
constexpr int kXmNoteOfMidi60 = 49;

unsigned XmNote(int midi)
{
    if (midi == kNoteOff)
        return 97;
    const int n = midi - 60 + kXmNoteOfMidi60;
    if (n < 1 || n > 96)
        throw std::runtime_error("note out of the XM range");
    return static_cast<unsigned>(n);
}

void XmEffect(const Cell& cell, unsigned& type, unsigned& param)
{
    type = 0;
    param = 0;
    switch (cell.fx) {
    case Fx::None:
        return;
    case Fx::JumpToOrder:
        type = 0x0B;
        param = static_cast<unsigned>(cell.param);
        return;
    case Fx::NoteDelay:
        type = 0x0E;
        param = 0xD0 | (static_cast<unsigned>(cell.param) & 0x0F);
        return;
    case Fx::Vibrato:
        type = 0x04;
        param = static_cast<unsigned>(cell.param);
        return;
    case Fx::VolumeSlide:
        type = 0x0A;
        param = static_cast<unsigned>(cell.param);
        return;
    case Fx::SetSpeed:
        type = 0x0F;
        param = static_cast<unsigned>(cell.param);
        return;
    }
}

void WritePattern(Bytes& out, const Pattern& pattern, const std::vector<int>& panning)
{
    Bytes packed;
    for (int row = 0; row < pattern.rows; ++row) {
        for (int ch = 0; ch < pattern.channels; ++ch) {
            const Cell& c = pattern.At(row, ch);
            unsigned fxType = 0, fxParam = 0;
            XmEffect(c, fxType, fxParam);
            // An instrument number resets the channel to the sample's panning; the
            // channel's own place in the stereo field is restored by an 8xx effect.
            if (c.instrument != 0 && fxType == 0 && ch < static_cast<int>(panning.size())) {
                fxType = 0x08;
                fxParam = static_cast<unsigned>(panning[static_cast<size_t>(ch)]);
            }
            const bool hasNote = c.note != kNoNote;
            const bool hasInst = c.instrument != 0;
            const bool hasVol = c.volume >= 0;
            // A packed cell starts with a mask byte (high bit set) naming the fields
            // that follow: note, instrument, volume column, effect type, parameter.
            unsigned mask = 0x80;
            mask |= hasNote ? 0x01 : 0;
            mask |= hasInst ? 0x02 : 0;
            mask |= hasVol ? 0x04 : 0;
            mask |= fxType ? 0x08 : 0;
            mask |= fxParam ? 0x10 : 0;
            packed.U8(mask);
            if (hasNote)
                packed.U8(XmNote(c.note));
            if (hasInst)
                packed.U8(static_cast<unsigned>(c.instrument));
            if (hasVol)
                packed.U8(0x10 + static_cast<unsigned>(std::min(c.volume, 64)));
            if (fxType)
                packed.U8(fxType);
            if (fxParam)
                packed.U8(fxParam);
        }
    }
    out.U32(9);                                  // pattern header length
    out.U8(0);                                   // packing type
    out.U16(static_cast<unsigned>(pattern.rows));
    out.U16(static_cast<unsigned>(packed.Size()));
    out.Raw(packed.Data());
}

void WriteInstrument(Bytes& out, const Instrument& inst)
{
    const ModSample& s = inst.sample;
    const size_t start = out.Size();
    out.U32(263);                    // instrument header size
    out.Text(inst.name, 22);
    out.U8(0);                       // type
    out.U16(1);                      // one sample
    out.U32(40);                     // sample header size
    for (int i = 0; i < 96; ++i)
        out.U8(0);                   // every note uses sample 0
    // Volume envelope: 12 points of (tick, level); the panning envelope stays empty.
    const auto& pts = inst.volume.points;
    if (pts.size() > 12)
        throw std::runtime_error("too many envelope points");
    for (size_t i = 0; i < 12; ++i) {
        out.U16(i < pts.size() ? static_cast<unsigned>(pts[i].first) : 0);
        out.U16(i < pts.size() ? static_cast<unsigned>(pts[i].second) : 0);
    }
    for (int i = 0; i < 12; ++i) {
        out.U16(0);
        out.U16(32);
    }
    out.U8(static_cast<unsigned>(pts.size()));   // volume points
    out.U8(0);                                   // panning points
    out.U8(inst.volume.sustain < 0 ? 0 : static_cast<unsigned>(inst.volume.sustain));
    out.U8(0);                                   // volume loop start
    out.U8(0);                                   // volume loop end
    out.U8(0);                                   // panning sustain
    out.U8(0);
    out.U8(0);
    unsigned volType = 0;
    if (!pts.empty())
        volType |= 1;
    if (!pts.empty() && inst.volume.sustain >= 0)
        volType |= 2;
    out.U8(volType);
    out.U8(0);                                   // panning type
    out.U8(0);                                   // vibrato type: sine
    out.U8(static_cast<unsigned>(inst.vibratoSweep));
    out.U8(static_cast<unsigned>(inst.vibratoDepth));
    out.U8(static_cast<unsigned>(inst.vibratoRate));
    out.U16(static_cast<unsigned>(inst.fadeout));
    out.Text("", 22);                            // reserved
    if (out.Size() - start != 263)
        throw std::runtime_error("XM instrument header size");

    // Transpose so that the sample's base pitch sounds at its MIDI note: at note C-4
    // the player plays 8363 Hz * 2^(transpose / 12).
    const double semis = 12.0 * std::log2(static_cast<double>(s.rate) / 8363.0) + (60.0 - s.basePitch);
    int relNote = static_cast<int>(std::lround(semis));
    int fine = static_cast<int>(std::lround((semis - relNote) * 128.0));
    fine = std::clamp(fine, -64, 63);
    const bool loop = s.loopEnd > s.loopStart;
    out.U32(static_cast<uint32_t>(s.pcm.size() * 2));
    out.U32(loop ? s.loopStart * 2 : 0);
    out.U32(loop ? (s.loopEnd - s.loopStart) * 2 : 0);
    out.U8(static_cast<unsigned>(s.volume));
    out.U8(static_cast<unsigned>(static_cast<uint8_t>(static_cast<int8_t>(fine))));
    out.U8((loop ? 1u : 0u) | 0x10u);            // forward loop, 16-bit
    out.U8(static_cast<unsigned>(s.pan));
    out.U8(static_cast<unsigned>(static_cast<uint8_t>(static_cast<int8_t>(relNote))));
    out.U8(0);                                   // reserved
    out.Text(inst.name, 22);
    int16_t previous = 0;
    for (int16_t v : s.pcm) {
        out.U16(static_cast<uint16_t>(static_cast<int16_t>(v - previous)));
        previous = v;
    }
}

} // namespace

std::vector<uint8_t> WriteXm(const Module& m)
{
    if (m.orders.empty() || m.orders.size() > 256 || m.patterns.size() > 256 || m.instruments.size() > 128 ||
        m.channels < 1 || m.channels > 32)
        throw std::runtime_error("module does not fit the XM format");
    Bytes out;
    out.Text("Extended Module: ", 17);
    out.Text(m.title, 20);
    out.U8(0x1A);
    out.Text("Tesk soundgen", 20);
    out.U16(0x0104);
    out.U32(276);                                // header size from here
    out.U16(static_cast<unsigned>(m.orders.size()));
    out.U16(0);                                  // restart position
    out.U16(static_cast<unsigned>(m.channels));
    out.U16(static_cast<unsigned>(m.patterns.size()));
    out.U16(static_cast<unsigned>(m.instruments.size()));
    out.U16(1);                                  // linear frequency table
    out.U16(static_cast<unsigned>(m.speed));
    out.U16(static_cast<unsigned>(m.tempo));
    for (size_t i = 0; i < 256; ++i)
        out.U8(i < m.orders.size() ? static_cast<unsigned>(m.orders[i]) : 0);
    for (const Pattern& p : m.patterns) {
        if (p.channels != m.channels)
            throw std::runtime_error("pattern channel count");
        WritePattern(out, p, m.panning);
    }
    for (const Instrument& inst : m.instruments)
        WriteInstrument(out, inst);
    return out.Data();
}

} // namespace soundgen
