// Layers of the card game's window. This part holds the hover fades of the button
// layers: every fading button is listed with a fade word, and one shared timer steps
// all of them every 50 ms.
#pragma once

#include <cstdint>
#include <vector>

namespace pelvo {

// The glyph levels a fading button moves between.
class TFadeTarget {
public:
    virtual ~TFadeTarget() = default;
    virtual uint8_t GlyphActive() const = 0;
    virtual uint8_t GlyphInactive() const = 0;
    virtual void SetGlyphLevel(uint8_t level) = 0;
};

// A fade word: bit 28 set = towards the active level; the low bits = steps remaining.
constexpr uint32_t FadeInBit = 1u << 28;
constexpr uint32_t FadeSteps = 4;
constexpr uint32_t FadeInWord = FadeInBit | FadeSteps;
constexpr uint32_t FadeOutWord = FadeSteps;
constexpr int FadeIntervalMs = 50;

// The list of fading buttons behind the shared timer.
class TFadeList {
public:
    // Starts or turns a fade. A listed button fading the other way turns back from where
    // it stands; one fading the same way starts its steps again; others are appended.
    void FadeTo(TFadeTarget* target, uint32_t word);
    // One timer tick: every listed button, last to first, takes a step; finished ones
    // leave the list.
    void Tick();
    void Remove(TFadeTarget* target);
    bool Empty() const { return FTargets.empty(); }
    bool Contains(const TFadeTarget* target) const;

private:
    std::vector<TFadeTarget*> FTargets;
    std::vector<uint32_t> FWords;
};

}  // namespace pelvo
