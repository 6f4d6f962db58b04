// Layers without a window: where clicks go, and the hover fades of the card slots (four
// steps between the two glyph levels, turning back from where they stand).
#include <gtest/gtest.h>

#include <vector>

#include "pelvo/Layers.h"

using namespace pelvo;

namespace {

struct Slot : TFadeTarget {
    uint8_t Active = 255, Inactive = 180, Level = 180;
    std::vector<int> Seen;
    uint8_t GlyphActive() const override { return Active; }
    uint8_t GlyphInactive() const override { return Inactive; }
    void SetGlyphLevel(uint8_t level) override
    {
        Level = level;
        Seen.push_back(level);
    }
};

std::vector<int> Ticks(TFadeList& fades, Slot& slot, int ticks)
{
    slot.Seen.clear();
    for (int i = 0; i < ticks; ++i)
        fades.Tick();
    return slot.Seen;
}

}  // namespace

TEST(HoverFade, FadesTakeFourTicksEachWay)
{
    TFadeList fades;
    Slot slot;
    fades.FadeTo(&slot, FadeInWord);
    EXPECT_EQ(Ticks(fades, slot, 6), (std::vector<int>{198, 217, 236, 255}));
    EXPECT_TRUE(fades.Empty());
    fades.FadeTo(&slot, FadeOutWord);
    EXPECT_EQ(Ticks(fades, slot, 6), (std::vector<int>{236, 217, 198, 180}));
    EXPECT_TRUE(fades.Empty());
}

TEST(HoverFade, LeavingMidFadeTurnsBackFromTheCurrentStep)
{
    TFadeList fades;
    Slot slot;
    fades.FadeTo(&slot, FadeInWord);
    EXPECT_EQ(Ticks(fades, slot, 2), (std::vector<int>{198, 217}));
    fades.FadeTo(&slot, FadeOutWord);  // two steps done, so two to go back
    EXPECT_EQ(Ticks(fades, slot, 3), (std::vector<int>{198, 180}));
    EXPECT_TRUE(fades.Empty());

    // The same direction again restarts the four steps.
    fades.FadeTo(&slot, FadeInWord);
    Ticks(fades, slot, 1);
    fades.FadeTo(&slot, FadeInWord);
    EXPECT_EQ(Ticks(fades, slot, 4), (std::vector<int>{198, 217, 236, 255}));
}

TEST(HoverFade, ManyButtonsAndRemoval)
{
    TFadeList fades;
    Slot a, b, c;
    c.Active = 10;  // a fade down in level truncates toward zero
    c.Inactive = 64;
    fades.FadeTo(&a, FadeInWord);
    fades.FadeTo(&b, FadeInWord);
    fades.FadeTo(&c, FadeInWord);
    fades.Remove(&b);
    EXPECT_FALSE(fades.Contains(&b));
    fades.Tick();
    EXPECT_EQ(a.Level, 198);
    EXPECT_EQ(b.Level, 180);
    EXPECT_EQ(c.Level, 64 + (1 * (10 - 64)) / 4);  // 51
    for (int i = 0; i < 3; ++i)
        fades.Tick();
    EXPECT_EQ(c.Level, 10);
    EXPECT_TRUE(fades.Empty());
}

namespace {

TChannel Levels(int32_t w, int32_t h, uint8_t fill)
{
    TChannel m(ckMask);
    m.SetSize(w, h);
    m.SetActive(true);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *m.PixelAddress(x, y) = fill;
    return m;
}

}  // namespace

TEST(LayerClicks, SeeThroughLayersTakeClicksOnlyOnStrongTexture)
{
    TChannel mask = Levels(4, 4, 127);
    *mask.PixelAddress(1, 2) = 30;
    *mask.PixelAddress(2, 2) = 200;
    *mask.PixelAddress(3, 2) = 150;
    const TRect client = Rect(0, 0, 20, 20);
    struct {
        TAligns align;
        TPoint p;
        bool takes;
    } cases[] = {
        {aTile, {1, 2}, true},    // level 30
        {aTile, {6, 10}, true},   // (2, 2) of another tile: level 200
        {aTile, {9, 14}, true},   // (1, 2) again, in another tile
        {aTile, {3, 2}, false},   // 150 is too weak
        {aTile, {0, 0}, false},   // neutral
        {aLeftUp, {1, 2}, true},
        {aLeftUp, {5, 2}, false}, // beside the single copy
        {aFrame, {1, 2}, false},  // frames never take clicks
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.align) << " at " << c.p.X << "," << c.p.Y);
        EXPECT_EQ(LayerTakesClick(mask, c.align, client, c.p), c.takes);
    }
    EXPECT_FALSE(LayerTakesClick(TChannel(ckMask), aTile, client, {1, 2})) << "no mask lets every click through";
}

TEST(LayerClicks, EmptyCardSlotsLetClicksThrough)
{
    TChannel face(ckPicture);
    face.SetSize(71, 96);
    face.SetActive(true);
    const TRect client = Rect(0, 0, 73, 99);
    const TChannel noMask(ckMask);
    EXPECT_TRUE(ButtonTakesClick(noMask, face, aCenter, client, client, {36, 50}));
    EXPECT_FALSE(ButtonTakesClick(noMask, face, aCenter, client, client, {0, 0})) << "outside the centred face";
    EXPECT_FALSE(ButtonTakesClick(noMask, TChannel(ckPicture), aCenter, client, client, {36, 50}));
    // With a mask, only levels above 128 count.
    TChannel mask = Levels(73, 99, 128);
    EXPECT_FALSE(ButtonTakesClick(mask, face, aCenter, client, client, {36, 50}));
    *mask.PixelAddress(36, 50) = 129;
    EXPECT_TRUE(ButtonTakesClick(mask, face, aCenter, client, client, {36, 50}));
}
