#include "tools/soundgen/Songs.h"

#include <stdexcept>

#include "tools/soundgen/Compose.h"
#include "tools/soundgen/Instruments.h"

namespace soundgen {
namespace {

// Ends the order list with a jump back to its first entry, on the last row of the
// last pattern played, so that every player loops the tune the same way.
void LoopToStart(Module& m, int channel)
{
    Pattern& last = m.patterns.at(static_cast<size_t>(m.orders.back()));
    Cell& cell = last.At(last.rows - 1, channel);
    if (cell.fx != Fx::None)
        throw std::runtime_error("loop jump cell already holds an effect");
    cell.fx = Fx::JumpToOrder;
    cell.param = 0;
}

// Releases whatever the channels still hold from the pattern before (or, for the
// first pattern, from the end of the tune before it looped).
void ReleaseAtStart(Writer& w, std::initializer_list<int> channels)
{
    for (int ch : channels)
        w.Note(0, ch, kNoteOff, 0, -1);
}

// ---------------------------------------------------------------------------------
// "AncientStories2": a D minor adventure theme. Flute over harp, strings, bass and
// hand drums; 9 patterns of 4 bars at 112 beats per minute (about 77 seconds).

namespace ancient {

enum Channel { Lead, Echo, Harp, BassCh, Pad0, Pad1, Pad2, Kick, Snare, Hat, Frame, Shaker, ChannelCount };
enum Inst { None, IFlute, IHarp, IBass, IStrings, IKick, ISnare, IClosedHat, IOpenHat, IFrameDrum, IShaker };

struct Section {
    const char* chords;
    const char* melody;    // empty: no lead
    const char* bassGrid;
    bool harp, pads, kick, snare, hats, frame, shaker;
    const char* fill;      // snare grid for the last bar, or empty
};

Module Make()
{
    Module m;
    m.title = "Ancient Stories II";
    m.channels = ChannelCount;
    m.speed = 6;
    m.tempo = 112;
    m.panning = {120, 190, 72, 128, 56, 128, 200, 128, 140, 176, 96, 208};
    m.instruments = {MakeFlute(), MakeHarp(), MakeBass(), MakeStrings(), MakeKick(),
                     MakeSnare(), MakeClosedHat(), MakeOpenHat(), MakeFrameDrum(), MakeShaker()};

    const Section sections[] = {
        // Intro: harp and strings, a heartbeat of hand drum.
        {"Dm Dm Bb C", "", "R.......R.......", true, true, false, false, false, true, false, ""},
        {"Dm C Bb C", "D5:6 E5:2 F5:4 A5:4 | G5:6 F5:2 E5:4 C5:4 | D5:6 C5:2 Bb4:4 D5:4 | C5:6 D5:2 E5:8",
         "R..R..R.R.......", true, true, true, false, false, true, true, ""},
        {"Dm C Bb A", "F5:6 E5:2 D5:4 A5:4 | G5:4 A5:2 G5:2 E5:8 | F5:4 D5:4 C5:4 D5:4 | C#5:8 E5:4 A4:4",
         "R..R..R.R.....5.", true, true, true, true, false, true, true, "....X.......X.xx"},
        {"F C Gm Dm", "A5:8 C6:4 A5:4 | G5:8 E5:4 G5:4 | Bb5:6 A5:2 G5:4 F5:4 | A5:12 r:4",
         "R.....R.R.8.5.R.", true, true, true, true, true, false, true, ""},
        {"Bb F Gm A", "F5:4 G5:4 Bb5:4 D6:4 | C6:8 A5:4 F5:4 | G5:4 Bb5:4 D6:4 C6:4 | E5:8 C#5:4 E5:4",
         "R.....R.R.8.5.R.", true, true, true, true, true, false, true, "..x.X.x.X.xxXxXX"},
        {"Dm C Bb C", "D5:6 E5:2 F5:4 A5:4 | G5:6 F5:2 E5:4 C5:4 | D5:6 C5:2 Bb4:4 D5:4 | C5:6 D5:2 E5:4 G5:4",
         "R..R..R.R.8.5...", true, true, true, true, true, true, true, ""},
        {"Dm C Bb A", "F5:6 E5:2 D5:4 A5:4 | G5:4 A5:2 G5:2 E5:8 | F5:4 D5:4 C5:4 D5:4 | C#5:4 E5:4 A5:8",
         "R..R..R.R.8.5...", true, true, true, true, true, true, true, "....X.....x.XxXX"},
        // Break: long flute tones over the harp, no kit.
        {"Bb C Dm Dm", "F5:16 | G5:16 | A5:12 F5:4 | D5:12 r:4", "R...............", true, true, false, false,
         false, true, false, ""},
        // Build back towards the top of the tune.
        {"Bb C A A7", "D5:8 F5:8 | E5:8 G5:8 | A5:8 C#6:8 | E6:12 r:4", "R.....R.R.....R.", true, true, true,
         false, true, true, true, "x.x.x.x.xxxxXXXX"},
    };

    int held[3] = {kNoNote, kNoNote, kNoNote};
    for (const Section& s : sections) {
        Pattern p(64, m.channels);
        Writer w(p);
        const auto chords = ParseChords(s.chords);
        if (s.harp)
            w.Arpeggio(Harp, IHarp, chords, {0, 1, 2, 3, 4, 3, 2, 1}, 2, 57, 46);
        for (int v = 0; v < 3; ++v) {
            if (s.pads) {
                held[v] = w.Pad(Pad0 + v, IStrings, chords, v, 64, 24, held[v], false);
            } else if (held[v] != kNoNote) {
                w.Note(0, Pad0 + v, kNoteOff, 0, -1);
                held[v] = kNoNote;
            }
        }
        w.Bass(BassCh, IBass, chords, s.bassGrid, 41, 54);
        if (*s.melody) {
            w.Melody(Lead, IFlute, s.melody, 64);
            w.Melody(Echo, IFlute, s.melody, 22, 3);
        } else {
            ReleaseAtStart(w, {Lead, Echo});
        }
        if (s.kick)
            w.Drums(Kick, IKick, "X.....x...X.....", 56);
        if (s.snare) {
            w.Drums(Snare, ISnare, "....X.......X...", 56);
            if (*s.fill) {
                Writer fill(p);
                for (int r = 48; r < 64; ++r)
                    p.At(r, Snare) = Cell{};
                std::string grid(48, '.');
                fill.Drums(Snare, ISnare, grid + s.fill, 56);
            }
        }
        if (s.hats) {
            w.Drums(Hat, IClosedHat, "x.o.x.o.x.o.x.o.", 48);
            w.Drums(Hat, IOpenHat, "..............x.", 34);
        }
        if (s.frame)
            w.Drums(Frame, IFrameDrum, "X..x..x.X..x.x..", 50);
        if (s.shaker)
            w.Drums(Shaker, IShaker, "..x...x...x...xx", 38);
        m.patterns.push_back(std::move(p));
    }
    for (size_t i = 0; i < m.patterns.size(); ++i)
        m.orders.push_back(static_cast<int>(i));
    LoopToStart(m, Kick);
    return m;
}

} // namespace ancient

// ---------------------------------------------------------------------------------
// "Zodezodi": a bouncy G major tune for a tracker without envelopes: pulse lead,
// marimba, plucked bass and a kit; 9 patterns at 140 beats per minute (about 62 s).

namespace zodezodi {

enum Channel { Lead, Echo, Arp, BassCh, Mallet, Kick, Snare, Hat, OpenHat, Shaker, ChannelCount };
enum Inst { None, ISquare, IMarimba, IPluckBass, IKick, ISnare, IClosedHat, IOpenHat, IShaker };

struct Section {
    const char* chords;
    const char* melody;
    const char* mallet;   // marimba counter line, or empty
    bool arp, kick, snare, hats;
    const char* fill;
};

Module Make()
{
    Module m;
    m.title = "Zodezodi";
    m.channels = ChannelCount;
    m.speed = 6;
    m.tempo = 140;
    m.mixVolume = 70;
    m.panning = {112, 200, 64, 128, 176, 128, 144, 192, 80, 224};
    m.instruments = {MakeSquareLead(), MakeMarimba(), MakePluckBass(), MakeKick(),
                     MakeSnare(),      MakeClosedHat(), MakeOpenHat(),  MakeShaker()};
    const char* aMelody =
        "D5:2 G5:2 B5:4 A5:2 G5:2 A5:4 | B5:4 G5:2 E5:6 r:4 | E5:2 G5:2 C6:4 A5:2 G5:2 E5:4 | A5:6 F#5:2 D5:4 r:4";
    const char* a2Melody =
        "D5:2 G5:2 B5:4 A5:2 G5:2 D6:4 | E6:4 D6:2 B5:6 G5:4 | A5:2 G5:2 E5:4 F#5:2 A5:2 D6:4 | G5:12 r:4";
    const Section sections[] = {
        {"G G C D", "", "", true, false, false, true, ""},
        {"G Em C D", aMelody, "", true, true, true, true, ""},
        {"G Em C:8 D:8 G", a2Melody, "", true, true, true, true, "....X...X.X.XXXX"},
        {"C D Bm Em", "E5:4 G5:4 C6:6 B5:2 | A5:4 F#5:4 D5:8 | D5:4 F#5:4 B5:6 A5:2 | G5:8 E5:4 r:4",
         "G4:8 E4:8 | F#4:8 A4:8 | F#4:8 D4:8 | E4:16", true, true, true, true, ""},
        {"Am D G:8 Em:8 Am:8 D:8",
         "C6:4 A5:2 B5:2 C6:4 E5:4 | F#5:4 A5:4 D6:8 | B5:4 G5:4 E5:4 G5:4 | A5:8 F#5:4 D5:4",
         "E4:8 A4:8 | A4:8 F#4:8 | G4:8 G4:8 | E4:8 F#4:8", true, true, true, true, "..X...X.X.X.XXXX"},
        {"G Em C D", aMelody, "B4:16 | B4:16 | C5:16 | A4:16", true, true, true, true, ""},
        {"G Em C:8 D:8 G", a2Melody, "B4:16 | G4:16 | A4:16 | B4:16", true, true, true, true, ""},
        // Break: the marimba takes the tune, the lead rests.
        {"Em C G D", "", "B5:8 G5:8 | E5:8 G5:8 | D5:8 G5:8 | F#5:16", false, true, false, true, ""},
        {"Em C Am D", "B5:4 E6:4 D6:4 B5:4 | C6:4 G5:4 E5:8 | A5:4 C6:4 B5:4 A5:4 | F#5:8 A5:4 D6:4", "", true, true,
         true, true, "X.X.X.X.XXXXXXXX"},
    };
    for (const Section& s : sections) {
        Pattern p(64, m.channels);
        Writer w(p);
        const auto chords = ParseChords(s.chords);
        if (s.arp)
            w.Arpeggio(Arp, IMarimba, chords, {0, 2, 1, 3, 2, 4, 3, 1}, 2, 67, 36);
        w.Bass(BassCh, IPluckBass, chords, "R.R.5.R.8.R.5.R.", 43, 48);
        if (*s.melody) {
            w.Melody(Lead, ISquare, s.melody, 46);
            w.Melody(Echo, ISquare, s.melody, 16, 3);
        } else {
            // The pulse lead sustains until cut: a tune ending on a held note would
            // otherwise drone through a section without melody.
            ReleaseAtStart(w, {Lead, Echo});
        }
        if (*s.mallet)
            w.Melody(Mallet, IMarimba, s.mallet, 46);
        if (s.kick)
            w.Drums(Kick, IKick, "X...x...X.x.x...", 38);
        if (s.snare) {
            std::string grid = "....X.......X..x";
            if (*s.fill)
                grid = grid + grid + grid + s.fill;
            w.Drums(Snare, ISnare, grid, 52);
        }
        if (s.hats) {
            w.Drums(Hat, IClosedHat, "x.o.x.o.x.o.x.o.", 36);
            w.Drums(OpenHat, IOpenHat, "......x.......x.", 26);
            w.Drums(Shaker, IShaker, ".o.o.o.o.o.o.o.o", 20);
        }
        m.patterns.push_back(std::move(p));
    }
    for (size_t i = 0; i < m.patterns.size(); ++i)
        m.orders.push_back(static_cast<int>(i));
    LoopToStart(m, Kick);
    return m;
}

} // namespace zodezodi

// ---------------------------------------------------------------------------------
// "EchoingHalls": a slow A minor piece for dark levels. Strings and harp, a bell-like
// marimba, low flute and hand drums; 7 patterns at 92 beats per minute (about 73 s).

namespace halls {

enum Channel { Lead, Echo, Harp, Bell, BassCh, Pad0, Pad1, Pad2, Kick, Frame, Shaker, Spare, ChannelCount };
enum Inst { None, IFlute, IHarp, IMarimba, IBass, IStrings, IKick, IFrameDrum, IShaker };

struct Section {
    const char* chords;
    const char* melody;
    int harpStep;
    bool bass, kick, frame, shaker;
};

Module Make()
{
    Module m;
    m.title = "Echoing Halls";
    m.channels = ChannelCount;
    m.speed = 6;
    m.tempo = 92;
    m.panning = {128, 80, 176, 96, 128, 64, 128, 192, 128, 112, 200, 128};
    m.instruments = {MakeFlute(), MakeHarp(),  MakeMarimba(),   MakeBass(),
                     MakeStrings(), MakeKick(), MakeFrameDrum(), MakeShaker()};
    const char* a1 = "A4:6 C5:2 E5:8 | F5:6 E5:2 C5:8 | D5:6 B4:2 G4:4 B4:4 | E5:12 r:4";
    const char* a2 = "A4:6 C5:2 E5:6 A5:2 | A5:6 G5:2 F5:8 | F5:6 E5:2 D5:4 F5:4 | E5:8 G#4:4 B4:4";
    int held[3] = {kNoNote, kNoNote, kNoNote};
    const Section sections[] = {
        {"Am F G Em", "", 4, false, false, false, false},
        {"Am F G Em", a1, 4, true, false, true, false},
        {"Am F Dm E", a2, 2, true, false, true, true},
        {"F G Am Am", "C6:8 A5:8 | B5:8 G5:8 | A5:4 E5:4 C5:4 E5:4 | A5:12 r:4", 2, true, true, true, true},
        {"Dm Em F E", "D5:4 F5:4 A5:8 | G5:4 E5:4 B4:8 | C5:4 F5:4 A5:4 C6:4 | B5:8 G#5:8", 2, true, true, true,
         true},
        {"Am F G Em", a1, 2, true, true, true, true},
        {"Am F Dm E", "A4:6 C5:2 E5:6 A5:2 | A5:6 G5:2 F5:8 | F5:6 E5:2 D5:4 F5:4 | E5:12 r:4", 4, true, false,
         true, false},
    };
    for (const Section& s : sections) {
        Pattern p(64, m.channels);
        Writer w(p);
        const auto chords = ParseChords(s.chords);
        w.Arpeggio(Harp, IHarp, chords, {0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 2, 3, 4, 3, 2, 1}, s.harpStep, 57, 46);
        w.Arpeggio(Bell, IMarimba, chords, {5, 3, 4, 2}, 16, 60, 40);
        // The strings sound throughout: struck once, then tied from pattern to pattern
        // (the loop back to the start strikes them again).
        for (int v = 0; v < 3; ++v)
            held[v] = w.Pad(Pad0 + v, IStrings, chords, v, 62, 27, held[v], false);
        if (s.bass)
            w.Bass(BassCh, IBass, chords, "R.......R...5...", 40, 54);
        else
            ReleaseAtStart(w, {BassCh});
        if (*s.melody) {
            w.Melody(Lead, IFlute, s.melody, 64);
            w.Melody(Echo, IFlute, s.melody, 24, 4);
        } else {
            ReleaseAtStart(w, {Lead, Echo});
        }
        if (s.kick)
            w.Drums(Kick, IKick, "X.......X.......", 48);
        if (s.frame)
            w.Drums(Frame, IFrameDrum, "X.......x...x.o.", 54);
        if (s.shaker)
            w.Drums(Shaker, IShaker, "..x...x...x...x.", 40);
        m.patterns.push_back(std::move(p));
    }
    for (size_t i = 0; i < m.patterns.size(); ++i)
        m.orders.push_back(static_cast<int>(i));
    LoopToStart(m, Spare);
    return m;
}

} // namespace halls

// ---------------------------------------------------------------------------------
// "Quickstep": a brisk E minor chase for busy levels. Pulse lead over harp, marimba,
// bass and a full kit; 9 patterns at 140 beats per minute (about 62 seconds).

namespace quickstep {

enum Channel { Lead, Echo, Arp, BassCh, Mallet, Kick, Snare, Hat, OpenHat, Shaker, ChannelCount };
enum Inst { None, ISquare, IHarp, IMarimba, IBass, IKick, ISnare, IClosedHat, IOpenHat, IShaker };

struct Section {
    const char* chords;
    const char* melody;
    const char* mallet;
    bool kick, snare, hats;
    const char* fill;
};

Module Make()
{
    Module m;
    m.title = "Quickstep";
    m.channels = ChannelCount;
    m.speed = 6;
    m.tempo = 140;
    m.panning = {128, 72, 184, 128, 88, 128, 144, 176, 96, 208};
    Instrument lead = MakeSquareLead();
    lead.volume.points = {{0, 64}, {6, 54}, {40, 46}};
    lead.volume.sustain = 2;
    lead.fadeout = 1600;
    lead.vibratoSweep = 30;
    lead.vibratoDepth = 3;
    lead.vibratoRate = 12;
    m.instruments = {lead,        MakeHarp(),  MakeMarimba(),   MakeBass(),   MakeKick(),
                     MakeSnare(), MakeClosedHat(), MakeOpenHat(), MakeShaker()};
    const char* a1 = "E5:2 G5:2 B5:2 G5:2 E5:4 B4:4 | C5:2 E5:2 G5:4 E5:4 C5:4 | "
                     "D5:2 F#5:2 A5:4 F#5:4 D5:4 | B4:4 D5:4 F#5:8";
    const char* a2 = "E5:2 G5:2 B5:2 G5:2 E6:4 B5:4 | C6:4 G5:2 A5:2 G5:4 E5:4 | "
                     "A5:4 C6:4 E5:4 A5:4 | F#5:4 A5:4 B5:8";
    const Section sections[] = {
        {"Em C D Bm", "", "", false, false, true, ""},
        {"Em C D Bm", a1, "", true, true, true, ""},
        {"Em C Am B7", a2, "", true, true, true, "....X.....X.XXXX"},
        {"G D Em C", "B5:4 D6:4 B5:4 G5:4 | A5:4 F#5:4 D5:8 | E5:4 G5:4 B5:4 E6:4 | E6:4 D6:4 C6:8",
         "D5:16 | D5:16 | E5:16 | E5:16", true, true, true, ""},
        {"Am Em B7 B7", "C6:4 A5:4 E5:4 A5:4 | G5:4 B5:4 E6:8 | D#6:4 B5:4 F#5:4 A5:4 | B5:12 r:4",
         "C5:16 | B4:16 | B4:16 | A4:16", true, true, true, "..X...X.X.XXXXXX"},
        {"Em C D Bm", a1, "", true, true, true, ""},
        {"Em C Am B7", a2, "", true, true, true, ""},
        // Break: harp and marimba alone over the kick.
        {"Em C D Bm", "", "B5:8 G5:8 | E5:8 G5:8 | F#5:8 A5:8 | D5:16", true, false, false, ""},
        {"Am Em B7 B7", "E5:8 G5:8 | B5:8 E5:8 | D#5:8 F#5:8 | B5:12 r:4", "", true, true, true,
         "X.X.X.X.XXXXXXXX"},
    };
    for (const Section& s : sections) {
        Pattern p(64, m.channels);
        Writer w(p);
        const auto chords = ParseChords(s.chords);
        w.Arpeggio(Arp, IHarp, chords, {0, 1, 2, 3, 1, 2, 3, 4}, 2, 57, 42);
        w.Bass(BassCh, IBass, chords, "R.R8R.R8R.R8R.58", 40, 44);
        if (*s.melody) {
            w.Melody(Lead, ISquare, s.melody, 64);
            w.Melody(Echo, ISquare, s.melody, 20, 3);
        } else {
            ReleaseAtStart(w, {Lead, Echo});
        }
        if (*s.mallet)
            w.Melody(Mallet, IMarimba, s.mallet, 52);
        if (s.kick)
            w.Drums(Kick, IKick, "X.......X.x.....", 48);
        if (s.snare) {
            std::string grid = "....X.......X...";
            if (*s.fill)
                grid = grid + grid + grid + s.fill;
            w.Drums(Snare, ISnare, grid, 62);
        }
        if (s.hats) {
            w.Drums(Hat, IClosedHat, "xoxoxoxoxoxoxoxo", 44);
            w.Drums(OpenHat, IOpenHat, "..............x.", 34);
            w.Drums(Shaker, IShaker, "..o...o...o...o.", 30);
        }
        m.patterns.push_back(std::move(p));
    }
    for (size_t i = 0; i < m.patterns.size(); ++i)
        m.orders.push_back(static_cast<int>(i));
    LoopToStart(m, Shaker);
    return m;
}

} // namespace quickstep

} // namespace

std::vector<Song> MakeSongs()
{
    std::vector<Song> songs;
    songs.push_back({"AncientStories2.xm", ModuleFormat::Xm, ancient::Make()});
    songs.push_back({"Zodezodi.s3m", ModuleFormat::S3m, zodezodi::Make()});
    songs.push_back({"EchoingHalls.xm", ModuleFormat::Xm, halls::Make()});
    songs.push_back({"Quickstep.xm", ModuleFormat::Xm, quickstep::Make()});
    return songs;
}

std::vector<uint8_t> WriteSong(const Song& song)
{
    return song.format == ModuleFormat::Xm ? WriteXm(song.module) : WriteS3m(song.module);
}

} // namespace soundgen
