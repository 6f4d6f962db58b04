#include "pelvo/Layers.h"

#include <algorithm>

namespace pelvo {

namespace {

int32_t StepsOf(uint32_t word)
{
    // The low bits hold the steps; a step below 0 is kept as a negative count.
    return static_cast<int32_t>(word << 4) >> 4;
}

uint32_t WithSteps(uint32_t word, int32_t steps)
{
    return (word & FadeInBit) | (static_cast<uint32_t>(steps) & (FadeInBit - 1));
}

bool Inside(const TRect& r, TPoint p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

}  // namespace

int32_t MaskLevelAt(const TChannel& mask, const TRect& rect, TAligns align, TPoint p)
{
    if (!mask.Active())
        return -1;
    const int32_t w = mask.Width(), h = mask.Height();
    const TRect place = AlignRect(rect, w, h, align);
    if (!Inside(place, p))
        return -1;
    if (align <= aFrameBottom) {
        if (place.Width() < w || place.Height() < h)
            return -1;
        return *mask.PixelAddress(FrameSource(p.X, place.Left, place.Right, w / 2, w),
                                  FrameSource(p.Y, place.Top, place.Bottom, h / 2, h));
    }
    if (align >= aTile)
        return *mask.PixelAddress((p.X - place.Left) % w, (p.Y - place.Top) % h);
    return *mask.PixelAddress(p.X - place.Left, p.Y - place.Top);
}

bool LayerTakesClick(const TChannel& mask, TAligns maskAlign, const TRect& client, TPoint p)
{
    if (maskAlign <= aFrameBottom)
        return false;
    const int32_t v = MaskLevelAt(mask, client, maskAlign, p);
    return v >= 0 && (v < 64 || v > 192);
}

bool ButtonTakesClick(const TChannel& mask, const TChannel& glyph, TAligns maskAlign, const TRect& client,
                      const TRect& inner, TPoint p)
{
    if (mask.Active())
        return MaskLevelAt(mask, client, maskAlign, p) > 128;
    if (!glyph.Active())
        return false;
    return Inside(AlignRect(inner, glyph.Width(), glyph.Height(), maskAlign), p);
}

bool TFadeList::Contains(const TFadeTarget* target) const
{
    return std::find(FTargets.begin(), FTargets.end(), target) != FTargets.end();
}

void TFadeList::FadeTo(TFadeTarget* target, uint32_t word)
{
    const auto it = std::find(FTargets.begin(), FTargets.end(), target);
    if (it == FTargets.end()) {
        FTargets.push_back(target);
        FWords.push_back(word);
        return;
    }
    uint32_t& current = FWords[static_cast<size_t>(it - FTargets.begin())];
    if ((current & FadeInBit) != (word & FadeInBit)) {
        const int32_t remaining = std::max<int32_t>(StepsOf(current), 0);
        current = WithSteps(word, static_cast<int32_t>(FadeSteps) - remaining);
    } else {
        current = word;
    }
}

void TFadeList::Tick()
{
    for (size_t i = FTargets.size(); i-- > 0;) {
        const int32_t steps = StepsOf(FWords[i]) - 1;
        FWords[i] = WithSteps(FWords[i], steps);
        const int32_t r = std::max(steps, 0);
        const bool fadingIn = (FWords[i] & FadeInBit) != 0;
        const int32_t c = fadingIn ? static_cast<int32_t>(FadeSteps) - r : r;
        TFadeTarget* t = FTargets[i];
        const int32_t inactive = t->GlyphInactive(), active = t->GlyphActive();
        t->SetGlyphLevel(static_cast<uint8_t>(inactive + c * (active - inactive) / static_cast<int32_t>(FadeSteps)));
        if (r == 0) {
            FTargets.erase(FTargets.begin() + static_cast<std::ptrdiff_t>(i));
            FWords.erase(FWords.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void TFadeList::Remove(TFadeTarget* target)
{
    const auto it = std::find(FTargets.begin(), FTargets.end(), target);
    if (it == FTargets.end())
        return;
    FWords.erase(FWords.begin() + (it - FTargets.begin()));
    FTargets.erase(it);
}

}  // namespace pelvo
