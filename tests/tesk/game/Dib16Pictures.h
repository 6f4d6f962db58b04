#pragma once
// A 16-bit surface (or a part of it) as a 24-bit picture, each channel as PixelToRGB
// gives it, for comparisons with stored reference pictures.
#include <cstdint>

#include "platform/Graphics.h"
#include "tesk/toolkit/Dib16.h"

inline TBitmap Dib16Picture(tDib16& dib, TRect area)
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(area.Right - area.Left, area.Bottom - area.Top);
    for (int y = area.Top; y < area.Bottom; ++y) {
        uint8_t* row = b.ScanLine(y - area.Top);
        const uint16_t* from = dib.ScanLine(y);
        for (int x = area.Left; x < area.Right; ++x) {
            uint8_t r, g, bl;
            PixelToRGB(from[x], r, g, bl);
            uint8_t* p = row + 3 * (x - area.Left);
            p[0] = bl;
            p[1] = g;
            p[2] = r;
        }
    }
    return b;
}
