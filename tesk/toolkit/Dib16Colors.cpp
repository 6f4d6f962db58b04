// The pixel format and the colour tables that depend on it.
#include <cmath>
#include <exception>
#include <vector>

#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/GammaFade.h"
#include "tesk/toolkit/Misc.h"

TPixelFormatInfo PixelFormat;
bool Is565 = false;
uint16_t PixelBlack = 0;
std::array<uint16_t, 16> PixelGreys{};
std::array<uint8_t, 256> BrightnessTable{};
std::array<uint16_t, 65536> DarkenTable{};
std::array<uint16_t, 65536> HalfLightTable{};
int32_t WaterTint = 0x00A080FF;
std::array<uint16_t, 1024> WaterRamp{};
DDPIXELFORMAT DefaultPixelFormat{DDPIXELFORMAT_SIZE, DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0};
float DisplayBrightness = 1.1f;
bool SystemMemoryBackBuffer = true;
TPixelFormat BitmapPixelFormat = pf16bit;

namespace {

// Rounds to nearest, halves to even.
inline double RoundEven(double v) { return std::nearbyint(v); }

} // namespace

TBitFields CurrentBitFields()
{
    return TBitFields{static_cast<uint32_t>(PixelFormat.R.Mask),
                      static_cast<uint32_t>(PixelFormat.G.Mask),
                      static_cast<uint32_t>(PixelFormat.B.Mask)};
}

void SetPixelFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask)
{
    TPixelFormatInfo& f = PixelFormat;
    f.R.Mask = static_cast<int32_t>(redMask);
    f.G.Mask = static_cast<int32_t>(greenMask);
    f.B.Mask = static_cast<int32_t>(blueMask);
    f.R.Bits = CountBits(redMask);
    f.G.Bits = CountBits(greenMask);
    f.B.Bits = CountBits(blueMask);
    for (TChannelFormat* c : {&f.R, &f.G, &f.B})
        c->Divisor = static_cast<int32_t>(RoundEven(std::pow(2.0, 8 - c->Bits)));

    // The lowest channel starts at bit 0; the next is the one with the bit just above it.
    TChannelFormat* order[3] = {&f.B, &f.G, &f.R};
    TChannelFormat* lowest;
    if ((blueMask >> f.B.Bits) == 0)
        lowest = &f.B;
    else if ((greenMask >> f.G.Bits) == 0)
        lowest = &f.G;
    else
        lowest = &f.R;
    lowest->Shift = 0;
    int32_t s = lowest->Bits;
    for (int step = 0; step < 2; ++step) {
        TChannelFormat* next = order[2];
        for (TChannelFormat* c : order)
            if (s < 32 && (static_cast<uint32_t>(c->Mask) >> s) & 1u) {
                next = c;
                break;
            }
        next->Shift = s;
        s += next->Bits;
    }

    PixelBlack = 0;
    PixelGreys[0] = RGBToPixel(255, 255, 255);
    BuildBrightnessTable();
    BuildDarkenTable();
    BuildWaterRamp();
    TPixelGammaFormat gf{f.R.Bits, f.G.Bits, f.B.Bits, f.R.Shift, f.G.Shift, f.B.Shift};
    BuildPixelGammaTable(gf, HalfLightTable.data(), 0.45, 0.5, 2.22);
}

void SetScreenPixelFormat(const DDPIXELFORMAT& format)
{
    BitmapPixelFormat = pf16bit;
    Is565 = format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0 && format.dwBBitMask == 0x001F;
    SetPixelFormat(format.dwRBitMask, format.dwGBitMask, format.dwBBitMask);
    // Every image lets go of its old-format pixels first, so none is left drawing in the
    // old format when another one fails to load again; a failure is reported after the
    // rest have been reloaded (the failed image stays unloaded and is retried when drawn).
    std::vector<tDib16*> reload;
    for (const auto& dib : DibRegistry()) {
        if (dib->Loaded)
            reload.push_back(dib.get());
        dib->ReleaseSurface();
        dib->Loaded = false;
    }
    std::exception_ptr firstFailure;
    for (tDib16* dib : reload) {
        try {
            dib->Load();
        } catch (...) {
            if (!firstFailure)
                firstFailure = std::current_exception();
        }
    }
    if (firstFailure)
        std::rethrow_exception(firstFailure);
}

uint16_t RGBToPixel(uint8_t r, uint8_t g, uint8_t b)
{
    const TPixelFormatInfo& f = PixelFormat;
    return static_cast<uint16_t>(((r / f.R.Divisor) << f.R.Shift) + ((g / f.G.Divisor) << f.G.Shift) +
                                 ((b / f.B.Divisor) << f.B.Shift));
}

void PixelToRGB(uint16_t pixel, uint8_t& r, uint8_t& g, uint8_t& b)
{
    const TPixelFormatInfo& f = PixelFormat;
    r = static_cast<uint8_t>(((pixel & f.R.Mask) >> f.R.Shift) * f.R.Divisor);
    g = static_cast<uint8_t>(((pixel & f.G.Mask) >> f.G.Shift) * f.G.Divisor);
    b = static_cast<uint8_t>(((pixel & f.B.Mask) >> f.B.Shift) * f.B.Divisor);
}

uint16_t ColorToPixel(int32_t color)
{
    return RGBToPixel(static_cast<uint8_t>(color & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
                      static_cast<uint8_t>((color >> 16) & 0xFF));
}

TRGBTriple MakeRGBTriple(uint8_t r, uint8_t g, uint8_t b) { return TRGBTriple{r, g, b}; }

int32_t BrightenColor(int32_t color)
{
    return BrightnessTable[color & 0xFF] | (BrightnessTable[(color >> 8) & 0xFF] << 8) |
           (BrightnessTable[(color >> 16) & 0xFF] << 16);
}

void SetWaterTint(int32_t color)
{
    WaterTint = color;
    BuildWaterRamp();
}

int32_t GetWaterTint() { return WaterTint; }

void BuildBrightnessTable()
{
    const double inv255 = 1.0 / 255.0;
    const double exponent = 1.0 / static_cast<double>(DisplayBrightness);
    for (int i = 0; i < 256; ++i) {
        double t = RoundEven(std::pow(i * inv255, exponent) * 256.0);
        if (t < 0)
            t = 0;
        if (t > 255)
            t = 255;
        BrightnessTable[i] = static_cast<uint8_t>(t);
    }
}

void BuildDarkenTable()
{
    const TPixelFormatInfo& f = PixelFormat;
    const TChannelFormat* chans[3] = {&f.R, &f.G, &f.B};
    int32_t d[3];
    for (int k = 0; k < 3; ++k)
        d[k] = static_cast<int32_t>(RoundEven(std::pow(2.0, chans[k]->Bits) / 8.0));
    for (int32_t p = 0; p < 65536; ++p) {
        int32_t out = 0;
        for (int k = 0; k < 3; ++k) {
            int32_t v = ((p & chans[k]->Mask) >> chans[k]->Shift) - d[k];
            if (v < 0)
                v = 0;
            out += v << chans[k]->Shift;
        }
        DarkenTable[p] = static_cast<uint16_t>(out);
    }
}

void BuildWaterRamp()
{
    const int32_t tint[3] = {WaterTint & 0xFF, (WaterTint >> 8) & 0xFF, (WaterTint >> 16) & 0xFF};
    for (int32_t i = 0; i < 1024; ++i) {
        const int32_t k = i / 4;
        const double L = std::log10(static_cast<double>(k + 1));
        const int32_t e = k - 64;
        uint8_t ch[3];
        for (int c = 0; c < 3; ++c) {
            const double v = RoundEven(L * e * tint[c]);
            if (v == 0)
                ch[c] = 0;
            else if (v < 0)
                ch[c] = 255;
            else
                ch[c] = static_cast<uint8_t>(std::min<int64_t>(255, static_cast<int64_t>(v) / 128));
        }
        WaterRamp[i] = RGBToPixel(BrightnessTable[ch[0]], BrightnessTable[ch[1]], BrightnessTable[ch[2]]);
    }
}

namespace {

struct FormatInitialiser {
    FormatInitialiser() { SetPixelFormat(0xF800, 0x07E0, 0x001F); }
} gFormatInitialiser;

} // namespace
