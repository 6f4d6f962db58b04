#include "platform/Cursors.h"

#include <QImage>

#include <memory>
#include <mutex>

#include "platform/Resources.h"

struct TCursorImage {
    int32_t Width = 0;
    int32_t Height = 0;
    TPoint HotSpot;
    std::vector<uint32_t> Pixels; // 0xAARRGGBB, top-down
};

namespace {

constexpr int32_t MaxCursorSide = 256;

// A little-endian reader that refuses to read past its bytes.
struct Reader {
    std::string_view Bytes;
    bool Has(size_t offset, size_t count) const
    {
        return offset <= Bytes.size() && count <= Bytes.size() - offset;
    }
    uint32_t U(size_t offset, int size) const
    {
        uint32_t v = 0;
        for (int i = size - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(Bytes[offset + static_cast<size_t>(i)]);
        return v;
    }
};

size_t RowBytes(int64_t width, int bits) { return static_cast<size_t>((width * bits + 31) / 32 * 4); }

bool DecodePng(std::string_view data, TCursorImage& out)
{
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()), "PNG"))
        return false;
    if (image.width() < 1 || image.height() < 1 || image.width() > MaxCursorSide ||
        image.height() > MaxCursorSide)
        return false;
    image = image.convertToFormat(QImage::Format_ARGB32);
    out.Width = image.width();
    out.Height = image.height();
    out.Pixels.resize(static_cast<size_t>(out.Width) * static_cast<size_t>(out.Height));
    for (int y = 0; y < out.Height; ++y)
        for (int x = 0; x < out.Width; ++x)
            out.Pixels[static_cast<size_t>(y) * static_cast<size_t>(out.Width) + static_cast<size_t>(x)] =
                image.pixel(x, y);
    return true;
}

bool DecodeDib(const Reader& r, size_t offset, size_t size, TCursorImage& out)
{
    if (size < 40 || r.U(offset, 4) < 40 || r.U(offset, 4) > size)
        return false;
    const size_t headerSize = r.U(offset, 4);
    const int32_t width = static_cast<int32_t>(r.U(offset + 4, 4));
    const int32_t doubled = static_cast<int32_t>(r.U(offset + 8, 4));
    const uint32_t bits = r.U(offset + 14, 2);
    const uint32_t compression = r.U(offset + 16, 4);
    const uint32_t used = r.U(offset + 32, 4);
    if (compression != 0 || width < 1 || width > MaxCursorSide || doubled < 2 ||
        doubled > 2 * MaxCursorSide || doubled % 2 != 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return false;
    const int32_t height = doubled / 2;
    size_t colours = 0;
    if (bits <= 8) {
        colours = used ? used : (size_t{1} << bits);
        if (colours > (size_t{1} << bits))
            return false;
    }
    const size_t palette = offset + headerSize;
    const size_t xorRow = RowBytes(width, static_cast<int>(bits));
    const size_t andRow = RowBytes(width, 1);
    const size_t xorStart = palette + colours * 4;
    const size_t andStart = xorStart + xorRow * static_cast<size_t>(height);
    const size_t end = andStart + andRow * static_cast<size_t>(height);
    if (end - offset > size || !r.Has(offset, end - offset))
        return false;
    out.Width = width;
    out.Height = height;
    out.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    bool anyAlpha = false;
    for (int32_t y = 0; y < height && bits == 32; ++y)
        for (int32_t x = 0; x < width && !anyAlpha; ++x)
            anyAlpha = r.U(xorStart + static_cast<size_t>(y) * xorRow + static_cast<size_t>(x) * 4 + 3, 1) != 0;
    for (int32_t row = 0; row < height; ++row) {
        const int32_t y = height - 1 - row; // rows are stored bottom-up
        const size_t xr = xorStart + static_cast<size_t>(row) * xorRow;
        const size_t ar = andStart + static_cast<size_t>(row) * andRow;
        for (int32_t x = 0; x < width; ++x) {
            uint32_t rgb = 0, alpha = 0xFF;
            const auto ux = static_cast<size_t>(x);
            if (bits <= 8) {
                const uint32_t byte = r.U(xr + ux * bits / 8, 1);
                const uint32_t shift = 8 - bits - (ux * bits % 8);
                const size_t index = (byte >> shift) & ((1u << bits) - 1);
                if (index >= colours)
                    return false;
                rgb = r.U(palette + index * 4, 3); // B G R: read as 0xRRGGBB
            } else {
                rgb = r.U(xr + ux * (bits / 8), 3);
                if (bits == 32 && anyAlpha)
                    alpha = r.U(xr + ux * 4 + 3, 1);
            }
            const bool masked = (r.U(ar + ux / 8, 1) >> (7 - ux % 8)) & 1;
            if (!anyAlpha && masked)
                alpha = 0; // transparent (a screen-inverting pixel shows nothing either)
            out.Pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + ux] =
                alpha ? (alpha << 24) | rgb : 0;
        }
    }
    return true;
}

std::mutex& StoreLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<std::unique_ptr<TCursorImage>>& Store()
{
    static std::vector<std::unique_ptr<TCursorImage>> store;
    return store;
}

const std::vector<uint32_t>& NoPixels()
{
    static const std::vector<uint32_t> none;
    return none;
}

} // namespace

HCURSOR LoadCursorFromBytes(std::string_view bytes)
{
    const Reader r{bytes};
    if (!r.Has(0, 6) || r.U(0, 2) != 0 || r.U(2, 2) != 2)
        return nullptr;
    const uint32_t count = r.U(4, 2);
    if (count == 0 || !r.Has(6, size_t{16} * count))
        return nullptr;
    const size_t size = r.U(6 + 8, 4);
    const size_t offset = r.U(6 + 12, 4);
    if (!r.Has(offset, size) || size < 8)
        return nullptr;
    auto image = std::make_unique<TCursorImage>();
    const std::string_view data = bytes.substr(offset, size);
    const bool png = data.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8);
    if (png ? !DecodePng(data, *image) : !DecodeDib(r, offset, size, *image))
        return nullptr;
    const int32_t hx = static_cast<int32_t>(r.U(6 + 4, 2));
    const int32_t hy = static_cast<int32_t>(r.U(6 + 6, 2));
    image->HotSpot = Point(std::min(hx, image->Width - 1), std::min(hy, image->Height - 1));
    std::lock_guard<std::mutex> hold(StoreLock());
    Store().push_back(std::move(image));
    return Store().back().get();
}

HCURSOR LoadCursorFromResourceName(const std::string& name)
{
    const auto bytes = FindResource(name, "CURSOR");
    return bytes ? LoadCursorFromBytes(*bytes) : nullptr;
}

TPoint CursorHotSpot(HCURSOR cursor) { return cursor ? cursor->HotSpot : TPoint{}; }
TSize CursorSize(HCURSOR cursor) { return cursor ? TSize{cursor->Width, cursor->Height} : TSize{}; }
const std::vector<uint32_t>& CursorPixels(HCURSOR cursor) { return cursor ? cursor->Pixels : NoPixels(); }
