#include "platform/Resources.h"
#include "platform/Exceptions.h"
#include "platform/Regions.h"

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

std::string_view ResourceBytes(std::string_view name, std::string_view type)
{
    if (const auto bytes = FindResource(name, type))
        return *bytes;
    throw EResNotFound("Resource " + std::string(name) + " not found");
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
    if (data.size() < 4)
        return std::nullopt;
    const int64_t bytes = ReadInt32(data.data());
    if (bytes == 0)
        return std::vector<ResourceRect>();
    if (bytes < 0 || bytes > static_cast<int64_t>(data.size()) - 4)
        return std::nullopt;
    std::vector<ResourceRect> rects;
    if (!ParseRegionData(data.data() + 4, static_cast<size_t>(bytes), rects))
        return std::nullopt;
    // The parser drops empty and inverted rectangles; a stored shape holds none.
    if (static_cast<int64_t>(rects.size()) != ReadInt32(data.data() + 4 + 8))
        return std::nullopt;
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
