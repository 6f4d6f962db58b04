// The Windows bitmap reader: a file header (BM), an info header, an optional palette and
// the rows, bottom-up (or top-down with a negative height). Uncompressed 1-, 4-, 8-, 16-,
// 24- and 32-bit files and 4- and 8-bit run-length files are read into 24-bit bitmaps.
#include "platform/Graphics.h"
#include "platform/Resources.h"

#include <cstring>

namespace {

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;

[[noreturn]] void Invalid(const std::string& why = "")
{
    throw EInvalidGraphic(why.empty() ? "Bitmap image is not valid"
                                      : "Bitmap image is not valid: " + why);
}

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p(data), n(size) {}
    uint32_t U32(size_t at) const
    {
        Need(at, 4);
        return p[at] | (p[at + 1] << 8) | (p[at + 2] << 16) | (uint32_t(p[at + 3]) << 24);
    }
    uint16_t U16(size_t at) const
    {
        Need(at, 2);
        return static_cast<uint16_t>(p[at] | (p[at + 1] << 8));
    }
    void Need(size_t at, size_t count) const
    {
        if (at > n || count > n - at)
            Invalid("the data is cut short");
    }
    const uint8_t* p;
    size_t n;
};

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

Channel MakeChannel(uint32_t mask)
{
    Channel c;
    c.mask = mask;
    if (!mask)
        return c;
    while (!((mask >> c.shift) & 1u))
        ++c.shift;
    while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1u))
        ++c.bits;
    return c;
}

uint8_t Expand(const Channel& c, uint32_t v)
{
    if (!c.bits)
        return 0;
    uint32_t x = (v & c.mask) >> c.shift;
    if (c.bits >= 8)
        return static_cast<uint8_t>(x >> (c.bits - 8));
    // Scale to 8 bits by repeating the bits (31 in 5 bits gives 255).
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << c.bits) | x;
        filled += c.bits;
    }
    return static_cast<uint8_t>(out >> (filled - 8));
}

void SetBGR(TBitmap& bmp, int32_t x, int32_t y, uint8_t b, uint8_t g, uint8_t r)
{
    uint8_t* row = bmp.ScanLine(y) + 3 * x;
    row[0] = b;
    row[1] = g;
    row[2] = r;
}

// Decodes run-length rows; pixels not written stay black (index 0 of nobody's palette).
void DecodeRle(const uint8_t* data, size_t size, bool four, int32_t width, int32_t height,
               bool topDown, const std::vector<uint32_t>& palette, TBitmap& bmp)
{
    auto put = [&](int32_t x, int32_t row, unsigned index) {
        if (x < 0 || x >= width || row < 0 || row >= height)
            return;
        uint32_t c = index < palette.size() ? palette[index] : 0;
        int32_t y = topDown ? row : height - 1 - row;
        SetBGR(bmp, x, y, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    };
    size_t i = 0;
    int32_t x = 0, row = 0;
    while (row < height) {
        if (i + 2 > size)
            Invalid("the data is cut short");
        unsigned count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count; ++k, ++x)
                put(x, row, four ? ((k & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++row;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // delta
            if (i + 2 > size)
                Invalid("the data is cut short");
            x += data[i];
            row += data[i + 1];
            i += 2;
        } else { // a literal run of `value` pixels, padded to 2 bytes
            size_t bytes = four ? (value + 1) / 2 : value;
            if (i + bytes > size)
                Invalid("the data is cut short");
            for (unsigned k = 0; k < value; ++k, ++x) {
                unsigned idx = four ? ((k & 1) ? data[i + k / 2] & 0x0F : data[i + k / 2] >> 4)
                                    : data[i + k];
                put(x, row, idx);
            }
            i += (bytes + 1) & ~size_t(1);
        }
        if (x > width + 255 * 2)
            Invalid("a run leaves the picture");
    }
}

// Reads a bitmap whose info header starts at `info` inside the block; `pixelOffset` is the
// rows' offset from the start of the block, or 0 for "right after the palette".
void ReadDib(const uint8_t* data, size_t size, size_t info, size_t pixelOffset, TBitmap& out)
{
    Reader r(data, size);
    const uint32_t headerSize = r.U32(info);
    int64_t width, height;
    uint32_t bpp, compression = BI_RGB, colorsUsed = 0;
    size_t paletteEntry = 4;
    uint32_t masks[3] = {0, 0, 0};
    bool haveMasks = false;
    if (headerSize == 12) {
        width = r.U16(info + 4);
        height = static_cast<int16_t>(r.U16(info + 6));
        bpp = r.U16(info + 10);
        paletteEntry = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
               headerSize == 108 || headerSize == 124) {
        r.Need(info, headerSize);
        width = static_cast<int32_t>(r.U32(info + 4));
        height = static_cast<int32_t>(r.U32(info + 8));
        bpp = r.U16(info + 14);
        compression = r.U32(info + 16);
        colorsUsed = r.U32(info + 32);
        if (headerSize >= 52 && headerSize != 64) {
            masks[0] = r.U32(info + 40);
            masks[1] = r.U32(info + 44);
            masks[2] = r.U32(info + 48);
            haveMasks = compression == BI_BITFIELDS;
        }
    } else {
        Invalid("unknown header");
    }
    size_t after = info + headerSize;
    if (compression == BI_BITFIELDS && headerSize == 40) {
        masks[0] = r.U32(after);
        masks[1] = r.U32(after + 4);
        masks[2] = r.U32(after + 8);
        after += 12;
        haveMasks = true;
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0)
        Invalid("it has no pixels");
    if (width > MaxPictureSide || height > MaxPictureSide)
        throw EInvalidGraphic("Bitmap of " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels is too large (at most " +
                              std::to_string(MaxPictureSide) + " x " +
                              std::to_string(MaxPictureSide) + ")");
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (!(compression == BI_RGB || compression == BI_BITFIELDS ||
          (compression == BI_RLE8 && bpp == 8) || (compression == BI_RLE4 && bpp == 4)))
        Invalid("unsupported compression " + std::to_string(compression));
    if (rle && topDown)
        Invalid("a run-length bitmap cannot be top-down");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Invalid("unsupported depth of " + std::to_string(bpp) + " bits");
    if (compression == BI_BITFIELDS && bpp != 16 && bpp != 32)
        Invalid("bit-field masks need 16 or 32 bits");

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        uint32_t count = colorsUsed ? colorsUsed : (1u << bpp);
        if (count > 256)
            Invalid("palette too large");
        r.Need(after, size_t(count) * paletteEntry);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = data + after + i * paletteEntry;
            palette.push_back(e[0] | (e[1] << 8) | (e[2] << 16));
        }
        after += size_t(count) * paletteEntry;
    }
    Channel ch[3];
    if (bpp == 16 || bpp == 32) {
        if (!haveMasks) {
            if (bpp == 16) {
                masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
            } else {
                masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
            }
        }
        for (int i = 0; i < 3; ++i)
            ch[i] = MakeChannel(masks[i]);
    }
    const size_t start = pixelOffset ? pixelOffset : after;
    if (start > size)
        Invalid("the data is cut short");

    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(static_cast<int32_t>(width), static_cast<int32_t>(height));
    const int32_t w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
    if (rle) {
        DecodeRle(data + start, size - start, compression == BI_RLE4, w, h, false, palette, bmp);
        out.Exchange(bmp);
        return;
    }
    const uint64_t stride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    if (stride * uint64_t(height) > size - start)
        Invalid("the pixel data is cut short");
    for (int32_t row = 0; row < h; ++row) {
        const uint8_t* src = data + start + stride * row;
        const int32_t y = topDown ? row : h - 1 - row;
        for (int32_t x = 0; x < w; ++x) {
            uint32_t c;
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                const uint32_t bitPos = static_cast<uint32_t>(x) * bpp;
                const uint32_t byte = src[bitPos / 8];
                const uint32_t idx = (byte >> (8 - bpp - bitPos % 8)) & ((1u << bpp) - 1);
                c = idx < palette.size() ? palette[idx] : 0;
                SetBGR(bmp, x, y, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
                break;
            }
            case 16: {
                uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
                SetBGR(bmp, x, y, Expand(ch[2], v), Expand(ch[1], v), Expand(ch[0], v));
                break;
            }
            case 24:
                SetBGR(bmp, x, y, src[3 * x], src[3 * x + 1], src[3 * x + 2]);
                break;
            default: {
                uint32_t v = src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) |
                             (uint32_t(src[4 * x + 3]) << 24);
                SetBGR(bmp, x, y, Expand(ch[2], v), Expand(ch[1], v), Expand(ch[0], v));
                break;
            }
            }
        }
    }
    out.Exchange(bmp);
}

} // namespace

void TBitmap::LoadFromMemory(const void* data, size_t size)
{
    Assign(nullptr);
    const auto* p = static_cast<const uint8_t*>(data);
    if (size < 14 + 12 || p[0] != 'B' || p[1] != 'M')
        Invalid("not a Windows bitmap");
    Reader r(p, size);
    uint32_t offset = r.U32(10);
    ReadDib(p, size, 14, offset, *this);
}

void TBitmap::LoadFromResourceName(const std::string& name)
{
    const std::string_view bytes = ResourceBytes(name, "BITMAP");
    LoadFromMemory(bytes.data(), bytes.size());
}

void TBitmap::LoadFromDibMemory(const void* data, size_t size)
{
    Assign(nullptr);
    if (size < 12)
        Invalid("not a bitmap");
    ReadDib(static_cast<const uint8_t*>(data), size, 0, 0, *this);
}
