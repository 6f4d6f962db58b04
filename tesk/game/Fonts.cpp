#include "tesk/game/Fonts.h"

#include <algorithm>
#include <array>

#include "tesk/toolkit/Dib16.h"

namespace {

constexpr uint8_t FirstChar = 33;
constexpr uint8_t LastChar = 90;
constexpr int32_t CharCount = LastChar - FirstChar + 1;
constexpr int32_t GlowFrames = 21;
constexpr const char* BaseSheet = "MenuFontBase.Jpg";
constexpr const char* GlowSheet = "MenuFontGlow.Jpg";

// Every byte outside "!".."Z" is drawn and measured as a space.
constexpr uint8_t Mapped(uint8_t c) { return c >= FirstChar && c <= LastChar ? c : ' '; }

// Advance widths by character code ("!".."Z"); a space is 10.
constexpr std::array<uint8_t, CharCount> GlyphWidths{
    7,  12, 22, 16, 30, 34, 6,                                      // ! " # $ % & '
    13, 13, 16, 19, 8,  10, 8,  16,                                 // ( ) * + , - . /
    20, 20, 20, 20, 20, 20, 20, 20, 20, 20,                         // 0..9
    7,  8,  18, 19, 18, 14, 30,                                     // : ; < = > ? @
    24, 17, 21, 21, 17, 17, 24, 22, 10, 13, 21, 17, 31,             // A..M
    26, 27, 16, 28, 20, 16, 22, 23, 25, 30, 22, 22, 20};            // N..Z

int32_t CharWidth(uint8_t c)
{
    c = Mapped(c);
    return c == ' ' ? 10 : GlyphWidths[static_cast<size_t>(c - FirstChar)];
}

// Pixels the second capital of a pair moves left.
using tKerningTable = std::array<std::array<uint8_t, 26>, 26>;
constexpr tKerningTable MakeKerning()
{
    tKerningTable t{};
    struct Pair {
        char A, B;
        uint8_t K;
    };
    constexpr Pair pairs[] = {
        {'A', 'V', 5}, {'V', 'A', 5},
        {'A', 'T', 3}, {'A', 'W', 3}, {'A', 'Y', 3}, {'L', 'T', 3}, {'L', 'V', 3}, {'L', 'Y', 3},
        {'T', 'A', 3}, {'W', 'A', 3}, {'Y', 'A', 3},
        {'L', 'C', 2}, {'L', 'G', 2}, {'L', 'O', 2}, {'L', 'W', 2}, {'O', 'V', 2}, {'P', 'A', 2},
        {'V', 'C', 2}, {'V', 'G', 2}, {'V', 'O', 2},
        {'A', 'C', 1}, {'A', 'G', 1}, {'A', 'O', 1}, {'D', 'A', 1}, {'D', 'T', 1}, {'D', 'V', 1},
        {'D', 'Y', 1}, {'M', 'A', 1}, {'O', 'A', 1}, {'O', 'T', 1}, {'O', 'Y', 1}, {'T', 'O', 1},
        {'Z', 'O', 1}};
    for (const Pair& p : pairs)
        t[static_cast<size_t>(p.A - 'A')][static_cast<size_t>(p.B - 'A')] = p.K;
    return t;
}
constexpr tKerningTable Kerning = MakeKerning();

// The sprites of one character: four brightness variants, the two alternate styles and
// the glow frames, faintest first. A space keeps empty sprites.
struct tGlyph {
    std::array<tSprite, 4> Base;
    tSprite StyleA;
    tSprite StyleB;
    std::array<tSprite, GlowFrames> Glow;
};
// Index 0 is the space; 1.. are "!".."Z".
std::array<tGlyph, CharCount + 1> Glyphs;

tGlyph& GlyphOf(uint8_t c)
{
    c = Mapped(c);
    return Glyphs[c == ' ' ? 0 : static_cast<size_t>(c - FirstChar + 1)];
}

// The walk shared by the two painters: calls draw(centreX, c) for each character with
// the centre of its cell. A letter after a space is kerned against the letter before it.
template <class F>
void WalkText(int32_t x, const std::string& text, F draw)
{
    uint8_t previous = 0;
    for (const char ch : text) {
        const uint8_t c = Mapped(static_cast<uint8_t>(ch));
        const int32_t half = (CharWidth(c) + 1) / 2;
        x += half - MenuFontKerning(previous, c);
        if (c != ' ')
            previous = c;
        draw(x, c);
        x += half;
    }
}

int32_t GlowFrame(int32_t glow) { return std::min(glow - 1, GlowFrames - 1); }

} // namespace

int32_t MenuFontKerning(uint8_t first, uint8_t second)
{
    if (first < 'A' || first > 'Z' || second < 'A' || second > 'Z')
        return 0;
    return Kerning[static_cast<size_t>(first - 'A')][static_cast<size_t>(second - 'A')];
}

int32_t MenuFontTextWidth(const std::string& text)
{
    int32_t total = 0;
    uint8_t previous = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = Mapped(static_cast<uint8_t>(text[i]));
        total += CharWidth(c) + 1;
        if (i + 1 == text.size())
            break;
        const uint8_t next = Mapped(static_cast<uint8_t>(text[i + 1]));
        if (c == ' ') {
            total -= MenuFontKerning(previous, next);
        } else {
            total -= MenuFontKerning(c, next);
            previous = c;
        }
    }
    return total;
}

void DrawMenuText(int32_t x, int32_t y, const std::string& text, int32_t glow)
{
    const int32_t centreY = y - 21;
    const int32_t frame = GlowFrame(glow);
    const size_t variant = static_cast<size_t>(std::clamp(glow / 4, 0, 3));
    WalkText(x, text, [&](int32_t cx, uint8_t c) {
        if (c == ' ')
            return;
        tGlyph& g = GlyphOf(c);
        if (glow < 0) {
            g.StyleA.Draw(cx, centreY);
            return;
        }
        g.Base[variant].Draw(cx, centreY);
        if (glow != 0)
            g.Glow[static_cast<size_t>(frame)].Draw(cx, centreY);
    });
}

void DrawMenuTextCentred(int32_t x, int32_t y, const std::string& text, int32_t glow)
{
    DrawMenuText(x - MenuFontTextWidth(text) / 2, y, text, glow);
}

void DrawMenuTextMarked(int32_t x, int32_t y, const std::string& text, int32_t glow)
{
    const int32_t centreY = y - 21;
    const int32_t frame = GlowFrame(glow);
    WalkText(x, text, [&](int32_t cx, uint8_t c) {
        if (c == ' ')
            return;
        tGlyph& g = GlyphOf(c);
        (glow > 9 ? g.StyleA : g.StyleB).Draw(cx, centreY);
        if (glow > 0)
            g.Glow[static_cast<size_t>(frame)].Draw(cx, centreY);
        else if (glow < 0)
            g.StyleA.Draw(cx, centreY);
    });
}

void DrawMenuTextMarkedCentred(int32_t x, int32_t y, const std::string& text, int32_t glow)
{
    DrawMenuTextMarked(x - MenuFontTextWidth(text) / 2, y, text, glow);
}

void LoadFontGraphicsData()
{
    FreeFontGraphicsData();
    FindOrLoadDib(BaseSheet, true);
    tDib16* glowSheet = FindOrLoadDib(GlowSheet, false);
    // The glow is added to what lies beneath: the display brightness must not lift it.
    glowSheet->NoBrightnessChange = true;
    static constexpr uint8_t Dither[4] = {0, 1, 0, 2};
    for (int32_t c = FirstChar; c <= LastChar; ++c) {
        tGlyph& g = GlyphOf(static_cast<uint8_t>(c));
        const int32_t baseY = 26 + 40 * (c - FirstChar);
        const int32_t glowY = 20 + 60 * (c - FirstChar);
        for (int32_t v = 0; v < 4; ++v)
            g.Base[static_cast<size_t>(v)].SetFrame(BaseSheet, 11 + 64 * v, baseY, 42, 38);
        // Style A shares its cells with base variant 3: the disabled look is the
        // brightest plain glyph.
        g.StyleA.SetFrame(BaseSheet, 203, baseY, 42, 38);
        g.StyleB.SetFrame(BaseSheet, 267, baseY, 42, 38);
        for (int32_t f = 0; f < GlowFrames; ++f) {
            tSprite& s = g.Glow[static_cast<size_t>(f)];
            const int32_t k = f / 4, m = f % 4;
            const int32_t x1 = 11 + 64 * (5 - k);
            if (m == 0) {
                s.SetFrame(GlowSheet, x1, glowY, 42, 50);
                s.DrawMode = 2;
            } else {
                s.SetFrame2(GlowSheet, GlowSheet, x1, glowY, 11 + 64 * (4 - k), glowY, 42, 50);
                s.DrawMode = 3;
                s.DitherPattern = Dither[m];
            }
        }
    }
}

void FreeFontGraphicsData()
{
    for (tGlyph& g : Glyphs)
        g = tGlyph();
}
