// 8-bit bitmaps and level textures in the stored channel form.
#include "Pelvogen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

namespace {

void Put16(std::string& s, uint16_t v)
{
    s += char(v & 0xFF);
    s += char(v >> 8);
}
void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xFF);
}

// Info header, 256 quads and bottom-up rows of indices.
std::string Dib(int w, int h, const std::vector<QRgb>& palette, const std::vector<uint8_t>& pixels,
                bool withFileHeader)
{
    const int stride = (w + 3) & ~3;
    std::string s;
    if (withFileHeader) {
        s += "BM";
        Put32(s, uint32_t(14 + 40 + 1024 + stride * h));
        Put32(s, 0);
        Put32(s, 14 + 40 + 1024);
    }
    Put32(s, 40);
    Put32(s, uint32_t(w));
    Put32(s, uint32_t(h));
    Put16(s, 1);
    Put16(s, 8);
    Put32(s, 0);
    Put32(s, uint32_t(stride * h));
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, 256);
    Put32(s, 0);
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < int(palette.size()) ? palette[size_t(i)] : 0;
        s += char(qBlue(c));
        s += char(qGreen(c));
        s += char(qRed(c));
        s += '\0';
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            s += char(pixels[size_t(y * w + x)]);
        s.append(size_t(stride - w), '\0');
    }
    return s;
}

}  // namespace

std::string EightBitBmp(const QImage& source, bool withFileHeader)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    // The 256 most frequent colours (to 5 bits a channel) become the palette; every pixel
    // takes the nearest entry.
    std::map<uint32_t, std::pair<int, QRgb>> buckets;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            const uint32_t key = uint32_t(qRed(c) >> 3) << 10 | uint32_t(qGreen(c) >> 3) << 5 | uint32_t(qBlue(c) >> 3);
            auto& b = buckets[key];
            if (b.first++ == 0)
                b.second = c;
        }
    std::vector<std::pair<int, QRgb>> byCount;
    for (const auto& [key, b] : buckets)
        byCount.push_back(b);
    std::stable_sort(byCount.begin(), byCount.end(), [](auto& a, auto& b) { return a.first > b.first; });
    std::vector<QRgb> palette;
    for (size_t i = 0; i < byCount.size() && i < 256; ++i)
        palette.push_back(byCount[i].second);
    std::vector<uint8_t> pixels(size_t(w * h));
    std::map<QRgb, uint8_t> nearest;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            auto it = nearest.find(c);
            if (it == nearest.end()) {
                int best = 0;
                long bestD = -1;
                for (size_t i = 0; i < palette.size(); ++i) {
                    const long dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                               db = qBlue(c) - qBlue(palette[i]);
                    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (bestD < 0 || d < bestD) {
                        bestD = d;
                        best = int(i);
                    }
                }
                it = nearest.emplace(c, uint8_t(best)).first;
            }
            pixels[size_t(y * w + x)] = it->second;
        }
    return Dib(w, h, palette, pixels, withFileHeader);
}

std::string TextureChannel(int width, int height, unsigned seed, int grain, int waves)
{
    // A lattice of random values with periods that divide the tile, smoothly
    // interpolated, plus gentle waves of whole periods and a fine grain: every part
    // repeats with the tile, so tiles meet without seams.
    auto hash = [seed](int x, int y) {
        uint32_t v = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
        v ^= v >> 15;
        v *= 0x2C1B3C6Du;
        v ^= v >> 12;
        v *= 0x297A2D39u;
        v ^= v >> 15;
        return double(v & 0xFFFF) / 65535.0;
    };
    auto lattice = [&](double x, double y, int cellsX, int cellsY) {
        const double fx = x * cellsX / width, fy = y * cellsY / height;
        const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        const double tx = fx - x0, ty = fy - y0;
        auto at = [&](int cx, int cy) { return hash(((cx % cellsX) + cellsX) % cellsX, ((cy % cellsY) + cellsY) % cellsY + 1000 * cellsX); };
        auto s = [](double t) { return t * t * (3 - 2 * t); };
        const double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * s(tx);
        const double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * s(tx);
        return a + (b - a) * s(ty) - 0.5;
    };
    std::vector<uint8_t> pixels(size_t(width * height));
    const double pi = 3.14159265358979;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double v = 127.0;
            v += 36.0 * lattice(x, y, 5, 5) + 18.0 * lattice(x, y, 10, 7);
            v += waves * std::sin(2 * pi * (double(x) / width * 2 + double(y) / height * 1));
            v += grain * (hash(x + 7000, y) - 0.5) * 2;
            pixels[size_t(y * width + x)] = uint8_t(std::clamp(int(std::lround(v)), 70, 186));
        }
    // Masks keep a grey ramp as their palette (it is not read back).
    std::vector<QRgb> ramp;
    for (int i = 0; i < 256; ++i)
        ramp.push_back(qRgb(i, i, i));
    return Dib(width, height, ramp, pixels, false);
}
