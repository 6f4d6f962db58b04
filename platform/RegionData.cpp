// Region data needs no window system: the data tools (which link no windowing) read and
// check it too. Shaping a window is in Regions.cpp.
#include "platform/Regions.h"

namespace {

int32_t ReadInt32(const unsigned char* p)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | p[i];
    return static_cast<int32_t>(v);
}

} // namespace

bool ParseRegionData(const void* data, size_t size, std::vector<TRect>& rects)
{
    rects.clear();
    constexpr size_t kHeader = 32;
    constexpr size_t kRect = 16;
    if (!data || size < kHeader)
        return false;
    const auto* p = static_cast<const unsigned char*>(data);
    if (ReadInt32(p) != static_cast<int32_t>(kHeader) || ReadInt32(p + 4) != 1)
        return false;
    const int32_t count = ReadInt32(p + 8);
    if (count < 0 || static_cast<size_t>(count) > (size - kHeader) / kRect)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        const unsigned char* r = p + kHeader + static_cast<size_t>(i) * kRect;
        const TRect rect{ReadInt32(r), ReadInt32(r + 4), ReadInt32(r + 8), ReadInt32(r + 12)};
        if (!rect.IsEmpty())
            rects.push_back(rect);
    }
    return true;
}

