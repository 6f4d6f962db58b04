#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Regions.h"

namespace {

void Put(std::string& out, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
}

std::string RegionBytes(int32_t headerSize, int32_t type, int32_t count, const std::vector<TRect>& rects)
{
    std::string out;
    Put(out, headerSize);
    Put(out, type);
    Put(out, count);
    Put(out, static_cast<int32_t>(rects.size() * 16));
    for (int i = 0; i < 4; ++i)
        Put(out, 0);
    for (const TRect& r : rects) {
        Put(out, r.Left);
        Put(out, r.Top);
        Put(out, r.Right);
        Put(out, r.Bottom);
    }
    return out;
}

} // namespace

TEST(RegionData, EveryCountIsCheckedAgainstTheBytes)
{
    const std::vector<TRect> two{Rect(0, 0, 10, 5), Rect(2, 5, 8, 9)};
    struct Case {
        const char* Name;
        std::string Bytes;
        bool Ok;
        size_t Rects;
    };
    const Case cases[] = {
        {"two rectangles", RegionBytes(32, 1, 2, two), true, 2},
        {"count 0: no region", RegionBytes(32, 1, 0, {}), true, 0},
        {"count beyond the bytes", RegionBytes(32, 1, 3, two), false, 0},
        {"huge count", RegionBytes(32, 1, 0x7FFFFFFF, two), false, 0},
        {"negative count", RegionBytes(32, 1, -1, two), false, 0},
        {"wrong header size", RegionBytes(28, 1, 2, two), false, 0},
        {"not rectangles", RegionBytes(32, 2, 2, two), false, 0},
        {"short header", RegionBytes(32, 1, 0, {}).substr(0, 31), false, 0},
        {"empty rectangle dropped", RegionBytes(32, 1, 2, {Rect(0, 0, 10, 5), Rect(5, 5, 5, 9)}), true, 1},
    };
    for (const Case& c : cases) {
        std::vector<TRect> rects{Rect(1, 1, 2, 2)};
        EXPECT_EQ(ParseRegionData(c.Bytes.data(), c.Bytes.size(), rects), c.Ok) << c.Name;
        EXPECT_EQ(rects.size(), c.Rects) << c.Name;
    }
    std::vector<TRect> rects;
    const std::string bytes = RegionBytes(32, 1, 2, two);
    ASSERT_TRUE(ParseRegionData(bytes.data(), bytes.size(), rects));
    EXPECT_EQ(rects, two);
}
