#include "tesk/toolkit/GammaFade.h"

#include <algorithm>
#include <cmath>
#include <vector>

void BuildGammaCurve(int32_t n, uint8_t* curve, double a, double b, double c)
{
    if (n < 2 || !curve)
        return;
    const int32_t m = n - 1;
    // The reciprocals are single precision, as the tables were always built.
    const float invM = 1.0f / static_cast<float>(m);
    const float invA = static_cast<float>(1.0 / a);
    const float invC = static_cast<float>(1.0 / c);
    for (int32_t i = 0; i < n; ++i) {
        const double v = std::nearbyint(
            std::pow(std::pow(i * static_cast<double>(invM), static_cast<double>(invA)) * b,
                     static_cast<double>(invC)) *
            m);
        int32_t iv = static_cast<int32_t>(v);
        if (v <= 0)
            iv = 0;
        else if (v >= n)
            iv = n - 1;
        curve[i] = static_cast<uint8_t>(iv);
    }
}

void BuildPixelGammaTable(const TPixelGammaFormat& f, uint16_t* table, double a, double b,
                          double c)
{
    if (!table)
        return;
    for (int32_t bits : {f.RedBits, f.GreenBits, f.BlueBits})
        if (bits < 1 || bits > 8)
            return;
    const int32_t top = std::max({f.RedShift + f.RedBits, f.GreenShift + f.GreenBits,
                                  f.BlueShift + f.BlueBits});
    if (top < 1 || top > 16)
        return;
    std::vector<uint8_t> cr(size_t(1) << f.RedBits), cg(size_t(1) << f.GreenBits),
        cb(size_t(1) << f.BlueBits);
    BuildGammaCurve(static_cast<int32_t>(cr.size()), cr.data(), a, b, c);
    BuildGammaCurve(static_cast<int32_t>(cg.size()), cg.data(), a, b, c);
    BuildGammaCurve(static_cast<int32_t>(cb.size()), cb.data(), a, b, c);
    for (uint32_t r = 0; r < cr.size(); ++r)
        for (uint32_t g = 0; g < cg.size(); ++g)
            for (uint32_t bl = 0; bl < cb.size(); ++bl) {
                const uint32_t from = (r << f.RedShift) + (g << f.GreenShift) + (bl << f.BlueShift);
                const uint32_t to = (uint32_t(cr[r]) << f.RedShift) + (uint32_t(cg[g]) << f.GreenShift) +
                                    (uint32_t(cb[bl]) << f.BlueShift);
                table[from & 0xFFFF] = static_cast<uint16_t>(to);
            }
}
