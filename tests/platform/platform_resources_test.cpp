// The embedded-resource registry: lookups by name and type, and region data.
#include "platform/Resources.h"

#include "platform/Exceptions.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const unsigned char kFirst[] = {1, 2, 3};
const unsigned char kSecond[] = {9};
const unsigned char kText[] = {'h', 'i'};

const EmbeddedResource kTableA[] = {
    {"TestRes_Glyph", "BITMAP", kFirst, sizeof kFirst},
    {"TestRes_Help", "TEXT", kText, sizeof kText},
};
const EmbeddedResource kTableB[] = {
    {"TESTRES_GLYPH", "bitmap", kSecond, sizeof kSecond},
};

TEST(ResourcesTest, LookupIgnoresCaseAndLaterTablesWin)
{
    RegisterResourceTable(kTableA, std::size(kTableA));
    auto text = FindResource("testres_help", "text");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "hi");
    auto glyph = FindResource("TestRes_Glyph", "Bitmap");
    ASSERT_TRUE(glyph.has_value());
    EXPECT_EQ(glyph->size(), 3u);

    RegisterResourceTable(kTableB, std::size(kTableB));
    glyph = FindResource("testres_glyph", "BITMAP");
    ASSERT_TRUE(glyph.has_value());
    EXPECT_EQ(*glyph, std::string(1, '\x09'));

    // Same name, other type; other name; prefix of a name.
    EXPECT_FALSE(FindResource("TestRes_Glyph", "CURSOR").has_value());
    EXPECT_FALSE(FindResource("TestRes_Nothing", "BITMAP").has_value());
    EXPECT_FALSE(FindResource("TestRes_Glyp", "BITMAP").has_value());

    size_t texts = 0;
    for (const EmbeddedResource* e : ListResources("TEXT"))
        if (std::string(e->Name) == "TestRes_Help")
            ++texts;
    EXPECT_EQ(texts, 1u);
}

TEST(ResourcesTest, RegionDataRoundTripsAndRejectsMalformedData)
{
    const std::vector<ResourceRect> rects = {{0, 0, 10, 1}, {2, 1, 8, 2}, {-5, 7, 400, 300}};
    const std::string data = EncodeRegionData(rects);
    ASSERT_EQ(data.size(), 4u + 32u + 16u * rects.size());
    auto back = DecodeRegionData(data);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->size(), rects.size());
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_EQ((*back)[i].Left, rects[i].Left);
        EXPECT_EQ((*back)[i].Top, rects[i].Top);
        EXPECT_EQ((*back)[i].Right, rects[i].Right);
        EXPECT_EQ((*back)[i].Bottom, rects[i].Bottom);
    }
    auto empty = DecodeRegionData(std::string(4, '\0'));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());

    const std::string one = EncodeRegionData({{1, 1, 5, 5}});
    // The header's fields, by byte offset in the data: byte count 0, header size 4,
    // type 8, rectangle count 12.
    auto with = [&](size_t at, char byte) {
        std::string d = one;
        d[at] = byte;
        return d;
    };
    const struct {
        const char* What;
        std::string Data;
    } bad[] = {
        {"no count", std::string(3, '\0')},
        {"byte count beyond the data", one.substr(0, one.size() - 1)},
        {"byte count shorter than a header", with(0, 16)},
        {"negative byte count", with(3, '\x80')},
        {"header of another size", with(4, 40)},
        {"region of another type", with(8, 2)},
        {"more rectangles than bytes", with(12, 2)},
        {"negative rectangle count", with(15, '\x80')},
        {"huge rectangle count", with(15, '\x7f')},
        {"inverted rectangle", EncodeRegionData({{5, 1, 1, 5}})},
        {"empty rectangle", EncodeRegionData({{3, 3, 3, 9}})},
    };
    for (const auto& b : bad)
        EXPECT_FALSE(DecodeRegionData(b.Data).has_value()) << b.What;
}

} // namespace

namespace {

// A 2 x 1 24-bit BMP file: a blue pixel, then a red one.
const unsigned char kTwoPixels[] = {
    'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,             // file header
    40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,  // info header...
    8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    255, 0, 0, 0, 0, 255, 0, 0,                                  // B G R, B G R, padding
};
const EmbeddedResource kPictures[] = {{"TestRes_TwoPixels", "BITMAP", kTwoPixels, sizeof kTwoPixels}};

} // namespace

TEST(ResourcesTest, BitmapsLoadByNameAndAMissingOneIsReported)
{
    RegisterResourceTable(kPictures, std::size(kPictures));
    TBitmap picture;
    picture.LoadFromResourceName("testres_twopixels");
    ASSERT_EQ(picture.Width(), 2);
    ASSERT_EQ(picture.Height(), 1);
    EXPECT_EQ(picture.PixelColor(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(picture.PixelColor(1, 0), RGB(255, 0, 0));

    try {
        picture.LoadFromResourceName("TestRes_Missing");
        ADD_FAILURE() << "a missing resource loaded";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource TestRes_Missing not found");
    }
    EXPECT_THROW(ResourceBytes("TestRes_TwoPixels", "TEXT"), EResNotFound);
}
