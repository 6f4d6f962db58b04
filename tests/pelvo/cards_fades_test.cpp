// Hover fades of the card slots: four steps between the two glyph levels, turning back
// from where they stand.
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
