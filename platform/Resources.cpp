#include "platform/Resources.h"

#include <algorithm>

#include <cstring>
#include <mutex>

namespace {

struct Registry {
    std::mutex Lock;
    std::vector<const EmbeddedResource*> Entries;
};

// Built on first use, so tables that register during static initialisation find it.
Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

int32_t ReadInt32(const char* p)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return static_cast<int32_t>(v);
}

void AppendInt32(std::string& out, int32_t value)
{
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

void RegisterResourceTable(const EmbeddedResource* table, std::size_t count)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.Lock);
    for (std::size_t i = 0; i < count; ++i)
        r.Entries.push_back(&table[i]);
}

std::optional<std::string_view> FindResource(std::string_view name, std::string_view type)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.Lock);
    for (auto it = r.Entries.rbegin(); it != r.Entries.rend(); ++it) {
        const EmbeddedResource* e = *it;
        if (SameText(e->Name, name) && SameText(e->Type, type))
            return std::string_view(reinterpret_cast<const char*>(e->Data), e->Size);
    }
    return std::nullopt;
}

std::vector<const EmbeddedResource*> ListResources(std::string_view type)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.Lock);
    std::vector<const EmbeddedResource*> out;
    for (const EmbeddedResource* e : r.Entries)
        if (type.empty() || SameText(e->Type, type))
            out.push_back(e);
    return out;
}

std::optional<std::vector<ResourceRect>> DecodeRegionData(std::string_view data)
{
    constexpr int64_t HeaderSize = 32;
    constexpr int32_t RectanglesType = 1;
    if (data.size() < 4)
        return std::nullopt;
    const int64_t bytes = ReadInt32(data.data());
    if (bytes == 0)
        return std::vector<ResourceRect>();
    if (bytes < HeaderSize || bytes > static_cast<int64_t>(data.size()) - 4)
        return std::nullopt;
    const char* header = data.data() + 4;
    const int64_t count = ReadInt32(header + 8);
    if (ReadInt32(header) != HeaderSize || ReadInt32(header + 4) != RectanglesType || count < 0 ||
        HeaderSize + count * 16 > bytes)
        return std::nullopt;
    std::vector<ResourceRect> rects;
    rects.reserve(static_cast<std::size_t>(count));
    for (int64_t i = 0; i < count; ++i) {
        const char* p = header + HeaderSize + i * 16;
        ResourceRect rc{ReadInt32(p), ReadInt32(p + 4), ReadInt32(p + 8), ReadInt32(p + 12)};
        if (rc.Right <= rc.Left || rc.Bottom <= rc.Top)
            return std::nullopt;
        rects.push_back(rc);
    }
    return rects;
}

std::string EncodeRegionData(const std::vector<ResourceRect>& rects)
{
    std::string out;
    if (rects.empty()) {
        AppendInt32(out, 0);
        return out;
    }
    ResourceRect bound = rects.front();
    for (const ResourceRect& rc : rects) {
        bound.Left = std::min(bound.Left, rc.Left);
        bound.Top = std::min(bound.Top, rc.Top);
        bound.Right = std::max(bound.Right, rc.Right);
        bound.Bottom = std::max(bound.Bottom, rc.Bottom);
    }
    const int32_t count = static_cast<int32_t>(rects.size());
    AppendInt32(out, 32 + count * 16);
    AppendInt32(out, 32);
    AppendInt32(out, 1);
    AppendInt32(out, count);
    AppendInt32(out, count * 16);
    for (int32_t v : {bound.Left, bound.Top, bound.Right, bound.Bottom})
        AppendInt32(out, v);
    for (const ResourceRect& rc : rects)
        for (int32_t v : {rc.Left, rc.Top, rc.Right, rc.Bottom})
            AppendInt32(out, v);
    return out;
}
