// The pixel format and the colour tables built from it.
#include <gtest/gtest.h>

#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/GammaFade.h"

namespace {

class ColorTables : public ::testing::Test {
protected:
    void TearDown() override
    {
        DisplayBrightness = 1.1f;
        WaterTint = 0x00A080FF;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
    }
};

uint16_t Pack565(int r, int g, int b) { return static_cast<uint16_t>((r << 11) | (g << 5) | b); }
uint16_t Pack555(int r, int g, int b) { return static_cast<uint16_t>((r << 10) | (g << 5) | b); }

} // namespace

TEST_F(ColorTables, FormatsGiveTheirShiftsAndConversions)
{
    struct Case {
        uint32_t r, g, b;
        int shifts[3], bits[3], divisors[3];
        uint16_t magenta, white;
        uint8_t backR, backG, backB;
    };
    const Case cases[] = {
        {0xF800, 0x07E0, 0x001F, {11, 5, 0}, {5, 6, 5}, {8, 4, 8}, 0xF81F, 0xFFFF, 248, 252, 248},
        {0x7C00, 0x03E0, 0x001F, {10, 5, 0}, {5, 5, 5}, {8, 8, 8}, 0x7C1F, 0x7FFF, 248, 248, 248},
        // Blue on top: the lowest channel is found whatever its colour.
        {0x001F, 0x07E0, 0xF800, {0, 5, 11}, {5, 6, 5}, {8, 4, 8}, 0xF81F, 0xFFFF, 248, 252, 248},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.r);
        SetPixelFormat(c.r, c.g, c.b);
        EXPECT_EQ(PixelFormat.R.Shift, c.shifts[0]);
        EXPECT_EQ(PixelFormat.G.Shift, c.shifts[1]);
        EXPECT_EQ(PixelFormat.B.Shift, c.shifts[2]);
        EXPECT_EQ(PixelFormat.R.Bits, c.bits[0]);
        EXPECT_EQ(PixelFormat.G.Bits, c.bits[1]);
        EXPECT_EQ(PixelFormat.B.Bits, c.bits[2]);
        EXPECT_EQ(PixelFormat.R.Divisor, c.divisors[0]);
        EXPECT_EQ(PixelFormat.G.Divisor, c.divisors[1]);
        EXPECT_EQ(PixelFormat.B.Divisor, c.divisors[2]);
        EXPECT_EQ(RGBToPixel(255, 0, 255), c.magenta);
        EXPECT_EQ(ColorToPixel(0xFF00FF), c.magenta);
        EXPECT_EQ(PixelGreys[0], c.white);
        uint8_t r, g, b;
        PixelToRGB(0xFFFF, r, g, b);
        EXPECT_EQ(r, c.backR);
        EXPECT_EQ(g, c.backG);
        EXPECT_EQ(b, c.backB);
    }
}

TEST_F(ColorTables, ScreenFormatDecidesTheFixedMaskRoutines)
{
    DDPIXELFORMAT f = DefaultPixelFormat;
    SetScreenPixelFormat(f);
    EXPECT_TRUE(Is565);
    f.dwRBitMask = 0x7C00;
    f.dwGBitMask = 0x03E0;
    SetScreenPixelFormat(f);
    EXPECT_FALSE(Is565);
    EXPECT_EQ(RGBToPixel(255, 0, 255), 0x7C1F);
    EXPECT_EQ(BitmapPixelFormat, pf16bit);
}

TEST_F(ColorTables, DarkenAndHalfLightTables)
{
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(DarkenTable[0], 0);
    EXPECT_EQ(DarkenTable[0xFFFF], Pack565(27, 55, 27));
    EXPECT_EQ(DarkenTable[Pack565(3, 7, 4)], Pack565(0, 0, 0));
    EXPECT_EQ(HalfLightTable[0], 0);
    EXPECT_EQ(HalfLightTable[0xFFFF], Pack565(23, 46, 23));
    SetPixelFormat(0x7C00, 0x03E0, 0x001F);
    EXPECT_EQ(DarkenTable[0x7FFF], Pack555(27, 27, 27));
    EXPECT_EQ(DarkenTable[0x8000], 0); // the bit outside the masks is dropped
    EXPECT_EQ(HalfLightTable[0x7FFF], Pack555(23, 23, 23));
}

TEST_F(ColorTables, BrightnessTable)
{
    DisplayBrightness = 1.0f;
    BuildBrightnessTable();
    EXPECT_EQ(BrightnessTable[0], 0);
    EXPECT_EQ(BrightnessTable[128], 129);
    EXPECT_EQ(BrightnessTable[254], 255);
    EXPECT_EQ(BrightnessTable[255], 255);
    for (float brightness : {0.5f, 1.1f, 2.7f}) {
        DisplayBrightness = brightness;
        BuildBrightnessTable();
        EXPECT_EQ(BrightnessTable[255], 255);
        for (int i = 1; i < 256; ++i)
            EXPECT_LE(BrightnessTable[i - 1], BrightnessTable[i]);
    }
    DisplayBrightness = 2.0f;
    BuildBrightnessTable();
    EXPECT_GT(BrightnessTable[64], 64 * 1.5); // lifts the dark tones
    EXPECT_EQ(BrightenColor(0x00FF0000), 0x00FF0000);
}

TEST_F(ColorTables, WaterRamp)
{
    DisplayBrightness = 1.0f;
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    SetWaterTint(0x00A080FF);
    EXPECT_EQ(GetWaterTint(), 0x00A080FF);
    for (int i : {0, 1, 2, 3, 256, 257, 258, 259})
        EXPECT_EQ(WaterRamp[i], 0) << i; // k = 0 and k = 64 are black
    for (int k = 1; k < 64; ++k)
        EXPECT_EQ(WaterRamp[4 * k], 0xFFFF) << k; // full intensity
    uint8_t r, g, b;
    // From k = 65 the ramp rises from black to the saturated tint.
    uint8_t last = 0;
    for (int k = 65; k < 256; ++k) {
        PixelToRGB(WaterRamp[4 * k], r, g, b);
        EXPECT_GE(r, last) << k;
        last = r;
    }
    PixelToRGB(WaterRamp[4 * 65], r, g, b);
    EXPECT_EQ(r, 0);
    PixelToRGB(WaterRamp[4 * 100], r, g, b);
    EXPECT_EQ(r, 144); // log10(101) * 36 * 255 / 128 = 143, brightened to 144
    PixelToRGB(WaterRamp[4 * 125], r, g, b);
    EXPECT_EQ(r, 248); // red saturates at k = 125
    PixelToRGB(WaterRamp[1023], r, g, b);
    EXPECT_EQ(r, 248);
    EXPECT_GT(g, 0);
    SetWaterTint(0);
    for (uint16_t p : WaterRamp)
        EXPECT_EQ(p, 0);
}

TEST(GammaCurve, EndsAndDegenerateCases)
{
    uint8_t curve[32] = {};
    BuildGammaCurve(32, curve, 0.45, 0.5, 2.22);
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[31], 23);
    for (int i = 1; i < 32; ++i)
        EXPECT_LE(curve[i - 1], curve[i]);
    uint8_t untouched[2] = {7, 7};
    BuildGammaCurve(1, untouched, 0.45, 0.5, 2.22);
    BuildGammaCurve(32, nullptr, 0.45, 0.5, 2.22);
    EXPECT_EQ(untouched[0], 7);
    // A doubling of the light saturates at the top.
    uint8_t bright[64] = {};
    BuildGammaCurve(64, bright, 1.0, 2.0, 1.0);
    EXPECT_EQ(bright[63], 63);
    EXPECT_EQ(bright[20], 40);

    uint16_t table[4] = {9, 9, 9, 9};
    BuildPixelGammaTable(TPixelGammaFormat{0, 5, 5, 10, 5, 0}, table, 0.45, 0.5, 2.22);
    BuildPixelGammaTable(TPixelGammaFormat{5, 6, 5, 12, 5, 0}, table, 0.45, 0.5, 2.22); // 17 bits
    EXPECT_EQ(table[1], 9);
}
