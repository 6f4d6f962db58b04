#include "tools/soundgen/Compose.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace soundgen {
namespace {

int PitchClass(char letter)
{
    switch (letter) {
    case 'C': return 0;
    case 'D': return 2;
    case 'E': return 4;
    case 'F': return 5;
    case 'G': return 7;
    case 'A': return 9;
    case 'B': return 11;
    default: throw std::runtime_error(std::string("bad note letter ") + letter);
    }
}

std::vector<std::string> Tokens(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string t;
    while (in >> t)
        out.push_back(t);
    return out;
}

// Splits "tok:12" into "tok" and 12 (or `fallback` when no length is given).
std::string SplitLength(const std::string& token, int& rows)
{
    const auto colon = token.find(':');
    if (colon == std::string::npos)
        return token;
    rows = std::stoi(token.substr(colon + 1));
    if (rows <= 0)
        throw std::runtime_error("bad length in " + token);
    return token.substr(0, colon);
}

} // namespace

int Chord::Tone(int k, int octaveBaseMidi) const
{
    const int n = static_cast<int>(intervals.size());
    const int base = octaveBaseMidi - ((octaveBaseMidi % 12) - root + 12) % 12;
    const int octave = k >= 0 ? k / n : -((-k + n - 1) / n);
    const int index = k - octave * n;
    return base + 12 * octave + intervals[static_cast<size_t>(index)];
}

std::vector<int> Chord::TonesIn(int lo, int hi) const
{
    std::vector<int> out;
    for (int m = lo; m < hi; ++m) {
        const int rel = ((m - root) % 12 + 12) % 12;
        if (std::find(intervals.begin(), intervals.end(), rel) != intervals.end())
            out.push_back(m);
    }
    return out;
}

int ParseNote(const std::string& text)
{
    if (text.size() < 2)
        throw std::runtime_error("bad note " + text);
    int pc = PitchClass(text[0]);
    size_t i = 1;
    if (text[i] == '#') {
        ++pc;
        ++i;
    } else if (text[i] == 'b') {
        --pc;
        ++i;
    }
    if (i + 1 != text.size() || text[i] < '0' || text[i] > '9')
        throw std::runtime_error("bad note " + text);
    return 12 * (text[i] - '0' + 1) + pc;
}

std::vector<Chord> ParseChords(const std::string& text)
{
    std::vector<Chord> chords;
    for (const std::string& token : Tokens(text)) {
        if (token == "|")
            continue;
        Chord c;
        std::string name = SplitLength(token, c.rows);
        c.root = PitchClass(name.at(0));
        size_t i = 1;
        if (i < name.size() && (name[i] == '#' || name[i] == 'b')) {
            c.root += name[i] == '#' ? 1 : -1;
            ++i;
        }
        c.root = (c.root + 12) % 12;
        const std::string quality = name.substr(i);
        if (quality.empty())
            c.intervals = {0, 4, 7};
        else if (quality == "m")
            c.intervals = {0, 3, 7};
        else if (quality == "7")
            c.intervals = {0, 4, 7, 10};
        else if (quality == "m7")
            c.intervals = {0, 3, 7, 10};
        else if (quality == "maj7")
            c.intervals = {0, 4, 7, 11};
        else if (quality == "sus2")
            c.intervals = {0, 2, 7};
        else if (quality == "sus4")
            c.intervals = {0, 5, 7};
        else
            throw std::runtime_error("bad chord " + token);
        chords.push_back(c);
    }
    return chords;
}

void Writer::Note(int row, int channel, int note, int instrument, int volume)
{
    if (row < 0 || row >= p_.rows)
        return;
    Cell& c = p_.At(row, channel);
    c.note = note;
    c.instrument = note == kNoteOff ? 0 : instrument;
    c.volume = note == kNoteOff ? -1 : volume;
}

void Writer::Effect(int row, int channel, Fx fx, int param)
{
    if (row < 0 || row >= p_.rows)
        return;
    Cell& c = p_.At(row, channel);
    c.fx = fx;
    c.param = param;
}

void Writer::Melody(int channel, int instrument, const std::string& text, int volume, int startRow, int transpose)
{
    int row = startRow;
    int length = 4;
    for (const std::string& token : Tokens(text)) {
        if (token == "|")
            continue;
        const std::string what = SplitLength(token, length);
        if (what == "r")
            Note(row, channel, kNoteOff, 0, -1);
        else if (what != "-")
            Note(row, channel, ParseNote(what) + transpose, instrument, volume);
        row += length;
    }
}

void Writer::Drums(int channel, int instrument, const std::string& grid, int volume, int note)
{
    if (grid.empty())
        return;
    for (int row = 0; row < p_.rows; ++row) {
        const char c = grid[static_cast<size_t>(row) % grid.size()];
        int v = 0;
        if (c == 'X')
            v = volume;
        else if (c == 'x')
            v = volume * 3 / 4;
        else if (c == 'o')
            v = volume / 2;
        else
            continue;
        Note(row, channel, note, instrument, v);
    }
}

void Writer::Bass(int channel, int instrument, const std::vector<Chord>& chords, const std::string& grid,
                  int octaveMidi, int volume)
{
    int row = 0;
    for (const Chord& chord : chords) {
        const int root = chord.Tone(0, octaveMidi);
        for (int r = 0; r < chord.rows; ++r) {
            const char c = grid[static_cast<size_t>(r) % grid.size()];
            int note = kNoNote;
            switch (c) {
            case 'R': note = root; break;
            case '8': note = root + 12; break;
            case '5': note = root + 7; break;
            case '3': note = chord.Tone(1, octaveMidi); break;
            case '-': note = kNoteOff; break;
            default: break;
            }
            if (note != kNoNote)
                Note(row + r, channel, note, instrument, volume);
        }
        row += chord.rows;
    }
}

void Writer::Arpeggio(int channel, int instrument, const std::vector<Chord>& chords, const std::vector<int>& sequence,
                      int step, int octaveMidi, int volume)
{
    int row = 0;
    for (const Chord& chord : chords) {
        for (int r = 0, k = 0; r < chord.rows; r += step, ++k)
            Note(row + r, channel, chord.Tone(sequence[static_cast<size_t>(k) % sequence.size()], octaveMidi),
                 instrument, volume);
        row += chord.rows;
    }
}

int Writer::Pad(int channel, int instrument, const std::vector<Chord>& chords, int voice, int centreMidi, int volume,
                int heldNote, bool releaseAtEnd)
{
    int row = 0;
    int previous = heldNote;
    bool struck = heldNote != kNoNote;
    for (const Chord& chord : chords) {
        const auto tones = chord.TonesIn(centreMidi - 6, centreMidi + 6);
        const int note = tones.at(static_cast<size_t>(voice) % tones.size());
        if (note != previous) {
            if (struck) {
                // A note without an instrument keeps the envelope and volume going.
                if (row >= 0 && row < p_.rows) {
                    Cell& c = p_.At(row, channel);
                    c.note = note;
                    c.instrument = 0;
                    c.volume = -1;
                }
            } else {
                Note(row, channel, note, instrument, volume);
                struck = true;
            }
        }
        previous = note;
        row += chord.rows;
    }
    if (releaseAtEnd && row > 0) {
        Note(row - 1, channel, kNoteOff, 0, -1);
        return kNoNote;
    }
    return previous;
}

} // namespace soundgen
