#pragma once
// Picture files made on the spot for tests: Windows bitmaps of any depth and JPEG headers
// patched to claim another size.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Graphics.h"

namespace picture_files_detail {
inline void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
} // namespace picture_files_detail

// A Windows bitmap file of the given depth (1, 4, 8, 16, 24 or 32 bits) whose pixel (x, y)
// (y = 0 the top row) has color(x, y). Depths up to 8 bits use a palette of the colours
// that occur (index 0 the first seen); compression 1 or 2 stores the rows run-length coded
// (absolute runs), compression 3 stores bit-field masks (565 for 16 bits). paletteCount,
// when set, overrides the stored palette size field.
inline std::string MakeBmpFile(int width, int height, int bpp, const std::function<TColor(int, int)>& color,
                               bool topDown = false, uint32_t compression = 0, uint32_t paletteCount = 0)
{
    using namespace picture_files_detail;
    std::vector<TColor> palette;
    std::map<TColor, uint32_t> index;
    if (bpp <= 8) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                TColor c = color(x, y);
                if (!index.count(c)) {
                    index[c] = static_cast<uint32_t>(palette.size());
                    palette.push_back(c);
                }
            }
        while (palette.size() < 2)
            palette.push_back(clBlack);
    }
    std::string pixels;
    const int rowBytes = ((width * bpp + 31) / 32) * 4;
    for (int r = 0; r < height; ++r) {
        const int y = topDown ? r : height - 1 - r;
        std::string row;
        if (compression == 1 || compression == 2) {
            // One absolute run per row (at least 3 pixels), then end of line.
            const bool four = compression == 2;
            row += '\0';
            row += static_cast<char>(width);
            std::string run;
            for (int x = 0; x < width; ++x) {
                uint32_t i = index[color(x, y)];
                if (four) {
                    if (x % 2 == 0)
                        run += static_cast<char>(i << 4);
                    else
                        run.back() = static_cast<char>(run.back() | i);
                } else {
                    run += static_cast<char>(i);
                }
            }
            if (run.size() % 2)
                run += '\0';
            row += run;
            row += '\0';
            row += '\0';
            pixels += row;
            continue;
        }
        std::vector<uint8_t> bytes(static_cast<size_t>(rowBytes), 0);
        for (int x = 0; x < width; ++x) {
            const TColor c = color(x, y);
            const uint8_t R = GetRValue(c), G = GetGValue(c), B = GetBValue(c);
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                const uint32_t bit = static_cast<uint32_t>(x) * bpp;
                bytes[bit / 8] |= static_cast<uint8_t>(index[c] << (8 - bpp - bit % 8));
                break;
            }
            case 16: {
                uint32_t v = compression == 3 ? ((R >> 3) << 11) | ((G >> 2) << 5) | (B >> 3)
                                              : ((R >> 3) << 10) | ((G >> 3) << 5) | (B >> 3);
                bytes[2 * x] = v & 0xFF;
                bytes[2 * x + 1] = v >> 8;
                break;
            }
            case 24:
                bytes[3 * x] = B;
                bytes[3 * x + 1] = G;
                bytes[3 * x + 2] = R;
                break;
            default:
                bytes[4 * x] = B;
                bytes[4 * x + 1] = G;
                bytes[4 * x + 2] = R;
                break;
            }
        }
        pixels.append(bytes.begin(), bytes.end());
    }
    if (compression == 1 || compression == 2) {
        pixels += '\0';
        pixels += '\1';
    }
    std::string info;
    Put32(info, 40);
    Put32(info, static_cast<uint32_t>(width));
    Put32(info, static_cast<uint32_t>(topDown ? -height : height));
    Put16(info, 1);
    Put16(info, static_cast<uint32_t>(bpp));
    Put32(info, compression);
    Put32(info, static_cast<uint32_t>(pixels.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, paletteCount ? paletteCount : static_cast<uint32_t>(palette.size()));
    Put32(info, 0);
    if (compression == 3) {
        if (bpp == 16) {
            Put32(info, 0xF800);
            Put32(info, 0x07E0);
            Put32(info, 0x001F);
        } else {
            Put32(info, 0xFF0000);
            Put32(info, 0x00FF00);
            Put32(info, 0x0000FF);
        }
    }
    for (TColor c : palette) {
        info += static_cast<char>(GetBValue(c));
        info += static_cast<char>(GetGValue(c));
        info += static_cast<char>(GetRValue(c));
        info += '\0';
    }
    std::string file = "BM";
    Put32(file, static_cast<uint32_t>(14 + info.size() + pixels.size()));
    Put32(file, 0);
    Put32(file, static_cast<uint32_t>(14 + info.size()));
    return file + info + pixels;
}

// The JPEG file with the size in its frame header replaced.
inline std::string WithJpegSize(std::string file, int width, int height)
{
    for (size_t i = 2; i + 9 < file.size(); ++i)
        if (static_cast<uint8_t>(file[i]) == 0xFF &&
            (static_cast<uint8_t>(file[i + 1]) & 0xF0) == 0xC0 &&
            static_cast<uint8_t>(file[i + 1]) != 0xC4 && static_cast<uint8_t>(file[i + 1]) != 0xC8 &&
            static_cast<uint8_t>(file[i + 1]) != 0xCC) {
            file[i + 5] = static_cast<char>((height >> 8) & 0xFF);
            file[i + 6] = static_cast<char>(height & 0xFF);
            file[i + 7] = static_cast<char>((width >> 8) & 0xFF);
            file[i + 8] = static_cast<char>(width & 0xFF);
            break;
        }
    return file;
}

// The bitmap file with the size in its info header replaced.
inline std::string WithBmpSize(std::string file, int32_t width, int32_t height)
{
    for (int i = 0; i < 4; ++i) {
        file[18 + i] = static_cast<char>((static_cast<uint32_t>(width) >> (8 * i)) & 0xFF);
        file[22 + i] = static_cast<char>((static_cast<uint32_t>(height) >> (8 * i)) & 0xFF);
    }
    return file;
}

// Two bitmaps of one size and format whose rows hold the same bytes.
inline bool SameBitmaps(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), static_cast<size_t>(std::abs(a.RowBytes()))) != 0)
            return false;
    return true;
}
