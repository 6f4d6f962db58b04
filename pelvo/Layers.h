// Layers of the card game's window: see-through textured panels and the picture buttons
// (card slots) on them. This part holds what the layers decide without a window: where
// clicks go, and the hover fades of the button layers (every fading button is listed
// with a fade word, and one shared timer steps all of them every 50 ms).
#pragma once

#include <cstdint>
#include <vector>

#include "pelvo/Channels.h"
#include "platform/Controls.h"
#include "platform/ExtCtrls.h"
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

enum TTextFX : uint8_t { tfxNone, tfxShadow, tfxEmboss };

// A see-through, textured panel. It composes itself from what lies behind it (its parent
// layer and the earlier siblings) when it is see-through (colour none, an offset, or a
// colour with a mask), then its content, its colour over the inner rectangle, its
// caption and its mask texture. The composition is kept in a back buffer and done again
// only after a change marked it dirty.
class TLayer : public TCustomControl {
public:
    explicit TLayer(TComponent* AOwner);
    ~TLayer() override;

    TTextFX CaptionFX() const { return FCaptionFX; }
    void SetCaptionFX(TTextFX fx);
    TTextAlign CaptionAlign() const { return FCaptionAlign; }
    void SetCaptionAlign(TTextAlign align);
    // Inner margins: 0 left, 1 top, 2 right, 3 bottom.
    int32_t Offset(int index) const { return FOffsets[index & 3]; }
    void SetOffset(int index, int32_t value);
    int32_t OffsetLeft() const { return FOffsets[0]; }
    int32_t OffsetTop() const { return FOffsets[1]; }
    int32_t OffsetRight() const { return FOffsets[2]; }
    int32_t OffsetBottom() const { return FOffsets[3]; }
    void SetOffsetLeft(int32_t v) { SetOffset(0, v); }
    void SetOffsetTop(int32_t v) { SetOffset(1, v); }
    void SetOffsetRight(int32_t v) { SetOffset(2, v); }
    void SetOffsetBottom(int32_t v) { SetOffset(3, v); }
    int32_t Outer() const { return FOuter; }
    void SetOuter(int32_t outer);
    // The texture (a mask channel); SetMask copies the given channel.
    TChannel& Mask() { return FMask; }
    const TChannel& Mask() const { return FMask; }
    void SetMask(const TChannel& mask) { FMask.Assign(mask); }
    TChannelAlign MaskAlign() const { return FMaskAlign; }
    void SetMaskAlign(TChannelAlign align);

    bool SeeThrough() const;
    // The client rectangle less the offsets.
    TRect InnerRect() const;
    // Marks this layer and the see-through layers above or inside it that overlap it for
    // composing again; withSelf also repaints this layer's window.
    void Changed(bool withSelf);
    int32_t DirtyCount() const { return FDirtyCount; }

    void AlignControls(TControl* control, TRect& rect) override;
    bool HitTest(int X, int Y) const override;

    // Draws the layer (and, withChildren, the controls inside it) into target with the
    // layer's top-left at origin.
    void RenderTo(TRGBChannel& target, TPoint origin, bool withChildren);

protected:
    virtual bool ExcludeFromBehind(TRect& rect) { (void)rect; return false; }
    virtual bool ExcludeFromFill(TRect& rect);
    virtual void DrawContent(TRGBChannel& target, const TRect& clip, const TRect& inner)
    {
        (void)target; (void)clip; (void)inner;
    }
    virtual void DrawMask(TRGBChannel& target, const TRect& clip, const TRect& client);
    virtual bool UsesBuffer() const { return FMask.Active(); }

    void Paint() override;
    void ColorChanged() override;
    void FontChanged() override;
    void TextChanged() override;
    void VisibleChanged() override;
    void BoundsChanged() override;

private:
    void Compose(TRGBChannel& target, TPoint origin);
    // Sizes the back buffer to the client area and composes it when dirty.
    bool ReadyBuffer();
    void DrawBehind(TRGBChannel& target, TPoint origin);
    void DrawCaption(TRGBChannel& target, const TRect& inner);
    void MarkAbove(TWinControl* level, TControl* changed, const TRect& area);
    void Dirty(const TRect& area, bool includeChildren);

    TTextFX FCaptionFX = tfxNone;
    TTextAlign FCaptionAlign = aCenter;
    int32_t FOffsets[4] = {0, 0, 0, 0};
    int32_t FOuter = 0;
    TChannel FMask{ckMask};
    TChannelAlign FMaskAlign = aFrame;
    TRGBChannel FBackBuffer;
    int32_t FDirtyCount = 0;
};

// A layer showing a picture (a card slot) at a level that fades between GlyphInactive
// and GlyphActive as the mouse leaves and enters.
class TButtonLayer : public TLayer, public TFadeTarget {
public:
    explicit TButtonLayer(TComponent* AOwner);
    ~TButtonLayer() override;

    TChannel& Glyph() { return FGlyph; }
    const TChannel& Glyph() const { return FGlyph; }
    // Copies the picture; a non-empty one sizes the button to it plus the offsets.
    void SetGlyph(const TChannel& glyph) { FGlyph.Assign(glyph); }
    uint8_t GlyphActive() const override { return FGlyphActive; }
    void SetGlyphActive(uint8_t level);
    uint8_t GlyphInactive() const override { return FGlyphInactive; }
    void SetGlyphInactive(uint8_t level);
    uint8_t GlyphLevel() const { return FGlyphLevel; }
    void SetGlyphLevel(uint8_t level) override;
    bool FadeActive = false;
    bool FadeInactive = true;

    bool HitTest(int X, int Y) const override;

protected:
    void DrawContent(TRGBChannel& target, const TRect& clip, const TRect& inner) override;
    void DrawMask(TRGBChannel& target, const TRect& clip, const TRect& client) override;
    bool UsesBuffer() const override { return Mask().Active() || FGlyph.Active(); }
    void MouseEnter() override;
    void MouseLeave() override;

private:
    // Sets the active or inactive level; a slot resting at the old value follows.
    void SetRestingLevel(uint8_t& resting, uint8_t level);

    TChannel FGlyph{ckPicture};
    uint8_t FGlyphActive = 255;
    uint8_t FGlyphInactive = 64;
    uint8_t FGlyphLevel = 64;
};

// The one timer (50 ms) that steps the fades of every button layer.
class THitTimer : public TTimer {
public:
    THitTimer();
    void FadeTo(TButtonLayer* layer, uint32_t word);
    void Remove(TButtonLayer* layer);
    bool Fading(const TButtonLayer* layer) const { return FFades.Contains(layer); }

private:
    TFadeList FFades;
};

// The program's hover timer (made on first use).
THitTimer& HitTimer();

}  // namespace pelvo
