// Helpers that write music into patterns from short texts: melodies, chord
// progressions turned into bass lines, arpeggios and pads, and drum grids.
#pragma once

#include <string>
#include <vector>

#include "tools/soundgen/Module.h"

namespace soundgen {

struct Chord {
    int root = 0;                // pitch class, 0 = C
    std::vector<int> intervals;  // semitones above the root, rising, within an octave
    int rows = 16;

    // The k-th chord tone counted upwards from `octaveBase`'s root (k may exceed the
    // number of tones: the tones repeat an octave higher).
    int Tone(int k, int octaveBaseMidi) const;
    // Every chord tone in [lo, hi), rising.
    std::vector<int> TonesIn(int lo, int hi) const;
};

// Parses a MIDI note such as "C4", "F#3", "Bb5" (C4 = 60). Throws on bad text.
int ParseNote(const std::string& text);

// Parses chords such as "Dm C Bb:8 A7:8", one bar (16 rows) unless ":rows" is given.
// Qualities: major (nothing), m, 7, m7, maj7, sus2, sus4.
std::vector<Chord> ParseChords(const std::string& text);

class Writer {
public:
    explicit Writer(Pattern& pattern) : p_(pattern) {}

    // Melody text: notes with optional ":rows" lengths ("D5:6 E5:2 F5"), "r" for a
    // rest (the sounding note is released), "-" to hold on; "|" marks bars and is
    // ignored. A length, once given, holds for the following tokens. Notes that would
    // start past the end of the pattern are dropped.
    void Melody(int channel, int instrument, const std::string& text, int volume, int startRow = 0,
                int transpose = 0);

    // Drum grid: one character per row, repeated to fill the pattern: 'X' loud, 'x'
    // normal, 'o' soft, anything else nothing.
    void Drums(int channel, int instrument, const std::string& grid, int volume, int note = 60);

    // Bass line over the chords from a rhythm grid repeated per chord: 'R' root,
    // '5' fifth, '8' root an octave up, '3' third, '-' release, '.' nothing.
    void Bass(int channel, int instrument, const std::vector<Chord>& chords, const std::string& grid, int octaveMidi,
              int volume);

    // Arpeggio: every `step` rows the next chord tone of `sequence` (indices into the
    // chord's tones counted up from octaveMidi's root).
    void Arpeggio(int channel, int instrument, const std::vector<Chord>& chords, const std::vector<int>& sequence,
                  int step, int octaveMidi, int volume);

    // Sustained chord voice: voice `voice` (0 = lowest) of the chord's close position
    // around `centreMidi`. `heldNote` is the note still sounding from the previous
    // pattern (kNoNote: none, the first note strikes the instrument); chord changes
    // only move the pitch, so the envelope does not start again. Released at the end
    // when asked. Returns the note sounding at the end.
    int Pad(int channel, int instrument, const std::vector<Chord>& chords, int voice, int centreMidi, int volume,
            int heldNote, bool releaseAtEnd);

    // Writes one cell field set; out-of-range rows are ignored.
    void Note(int row, int channel, int note, int instrument, int volume);
    void Effect(int row, int channel, Fx fx, int param);

private:
    Pattern& p_;
};

} // namespace soundgen
