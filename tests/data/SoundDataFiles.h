#pragma once
// What the game expects of its sound data: every effect under "samples/" and every
// module under "Music/", with the shape each must have; and small readers for the
// files the sound generator writes.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sounddata {

// The folder the sound generator writes, laid out as the data package is.
inline std::string GeneratedDir() { return std::string(TP_BIN_DIR) + "/../tools/soundgen/data"; }

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ExpectedEffect {
    const char* name;    // exact spelling, as the game asks for it
    double minSeconds;
    double maxSeconds;
    bool looped;         // the burning fuse is looped by the game
    bool quiet;          // played often: kept well below the others
};

// Every sample the game loads at start-up. Lengths: short enough to fit the event
// (a menu tick is over before the next key repeat, a spider step before the next step).
inline const std::vector<ExpectedEffect>& ExpectedEffects()
{
    static const std::vector<ExpectedEffect> effects = {
        {"TeleportIn.wav", 0.3, 1.5, false, false},
        {"TelePortOut.wav", 0.3, 1.5, false, false},
        {"SpiderMunching.Wav", 0.5, 2.0, false, false},
        {"SpiderExplosion.Wav", 0.3, 1.5, false, false},
        {"Splosh.Wav", 0.3, 1.2, false, false},
        {"SlideStone.Wav", 0.15, 0.6, false, false},
        {"CollectKey.Wav", 0.2, 0.8, false, false},
        {"CollectGem.Wav", 0.2, 1.0, false, false},
        {"ClearRubble.Wav", 0.1, 0.4, false, false},
        {"SnakeAngry.Wav", 0.2, 1.0, false, false},
        {"SnakeFire.Wav", 0.2, 1.0, false, false},
        {"Fireball.Wav", 0.3, 1.2, false, false},
        {"SpiderAttack.Wav", 0.2, 1.0, false, false},
        {"SpiderShuffle.Wav", 0.03, 0.2, false, true},
        {"SpiderTrapped.Wav", 0.3, 1.5, false, false},
        {"CherryBombExplosion.Wav", 0.8, 2.5, false, false},
        {"CherryBombFuse.Wav", 0.3, 2.0, true, false},
        {"DropBomb.Wav", 0.1, 0.5, false, false},
        {"CherryBombPickup.Wav", 0.1, 0.5, false, false},
        {"OpeningDoor.Wav", 0.5, 2.0, false, false},
        {"MenuMove.wav", 0.02, 0.15, false, false},
        {"MenuMouseMove.wav", 0.02, 0.1, false, true},
        {"MenuSelect.wav", 0.1, 0.4, false, false},
        {"menuClose.wav", 0.1, 0.4, false, false},
        {"Slider.wav", 0.01, 0.08, false, true},
        {"InvalidOption.wav", 0.1, 0.5, false, false},
        {"MainMenuOpen.wav", 0.15, 0.7, false, false},
        {"MainMenuClose.wav", 0.15, 0.7, false, false},
    };
    return effects;
}

struct ExpectedModule {
    const char* name;
    const char* magic;      // format signature
    size_t magicAt;
    double minSeconds;      // one pass through the order list
};

inline const std::vector<ExpectedModule>& ExpectedModules()
{
    static const std::vector<ExpectedModule> modules = {
        // The default music of every level: a minute or more before it repeats.
        {"AncientStories2.xm", "Extended Module: ", 0, 60.0},
        // The name the level editor offers.
        {"Zodezodi.s3m", "SCRM", 44, 45.0},
        // Further tunes for levels that name their own music.
        {"EchoingHalls.xm", "Extended Module: ", 0, 45.0},
        {"Quickstep.xm", "Extended Module: ", 0, 45.0},
    };
    return modules;
}

// A mono or stereo PCM WAV file, read chunk by chunk.
struct Wav {
    bool ok = false;
    int format = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<int16_t> samples;  // 16-bit files only
};

inline uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | b.at(at + static_cast<size_t>(i));
    return v;
}

inline Wav ParseWav(const std::vector<uint8_t>& b)
{
    Wav w;
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return w;
    bool haveFormat = false, haveData = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
        const size_t size = Le(b, at + 4, 4);
        if (at + 8 + size > b.size())
            return w;
        if (id == "fmt " && size >= 16) {
            w.format = static_cast<int>(Le(b, at + 8, 2));
            w.channels = static_cast<int>(Le(b, at + 10, 2));
            w.rate = static_cast<int>(Le(b, at + 12, 4));
            w.bits = static_cast<int>(Le(b, at + 22, 2));
            haveFormat = true;
        } else if (id == "data" && haveFormat && w.bits == 16) {
            for (size_t i = 0; i + 1 < size; i += 2)
                w.samples.push_back(static_cast<int16_t>(Le(b, at + 8 + i, 2)));
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    w.ok = haveFormat && haveData;
    return w;
}

}  // namespace sounddata
