#pragma once
// Gamma curves and whole-format pixel tables built from them.
#include <cstdint>

// Channel layout of a 16-bit format, as the pixel tables need it.
struct TPixelGammaFormat {
    int32_t RedBits = 0, GreenBits = 0, BlueBits = 0;
    int32_t RedShift = 0, GreenShift = 0, BlueShift = 0;
};

// Fills curve[0 .. n-1] with Round(((i / m) ^ (1/a) * b) ^ (1/c) * m), m = n - 1, kept to
// 0 .. n-1. Does nothing when n < 2 or the curve is null.
void BuildGammaCurve(int32_t n, uint8_t* curve, double a, double b, double c);
// Maps every pixel of the format through one curve per channel. Does nothing unless each
// channel has 1 to 8 bits and the highest channel ends within 16 bits. Entries whose bits
// fall outside the channels are left as they are.
void BuildPixelGammaTable(const TPixelGammaFormat& format, uint16_t* table, double a, double b,
                          double c);
