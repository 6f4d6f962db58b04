// Layers of the card game's window: see-through textured panels and the picture buttons
// (card slots) on them. This part holds what the layers decide without a window: where
// clicks go, and the hover fades of the button layers (every fading button is listed
// with a fade word, and one shared timer steps all of them every 50 ms).
#pragma once

#include <cstdint>
#include <vector>

#include "pelvo/Channels.h"
#include "platform/Types.h"

namespace pelvo {

// The mask level that a layer's texture puts at point p of rect under the placement,
// or -1 where the placement leaves the point bare (or the mask is empty).
int32_t MaskLevelAt(const TChannel& mask, const TRect& rect, TAligns align, TPoint p);

// A see-through layer (colour none) takes a click only on the strong parts of a mask
// laid as a picture or tiles (above aFrameBottom): levels below 64 or above 192.
// Elsewhere the click goes to what lies below.
bool LayerTakesClick(const TChannel& mask, TAligns maskAlign, const TRect& client, TPoint p);

// A button layer takes a click where its mask is above 128, or, without a mask, on its
// glyph placed in the inner rectangle; an empty slot lets clicks through.
bool ButtonTakesClick(const TChannel& mask, const TChannel& glyph, TAligns maskAlign, const TRect& client,
                      const TRect& inner, TPoint p);

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
