// The table of picture formats.
#include <gtest/gtest.h>

#include "tesk/toolkit/PictureFormats.h"

namespace {

std::vector<std::string> Items(const TStringList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

} // namespace

TEST(PictureFormats, BuiltInFormatsComeFirstAndExtensionsSplitAtBars)
{
    const auto& table = RegisteredPictures();
    ASSERT_GE(table.size(), 2u);
    EXPECT_EQ(table[0]->PictureClass, &TBitmap::ClassInfo);
    EXPECT_EQ(table[0]->Description, "Windows Bitmap");
    EXPECT_EQ(Items(table[0]->Extensions), (std::vector<std::string>{"bmp"}));
    EXPECT_EQ(table[1]->PictureClass, &TJPEGImage::ClassInfo);
    EXPECT_EQ(table[1]->Description, "JPEG");
    EXPECT_EQ(Items(table[1]->Extensions), (std::vector<std::string>{"jpg", "jpeg"}));
    // The class reference makes pictures of its kind.
    EXPECT_EQ(table[1]->PictureClass->Create()->ClassType(), &TJPEGImage::ClassInfo);

    const size_t before = table.size();
    RegisterPictureClass(&TBitmap::ClassInfo, "Odd", "|a||b|");
    ASSERT_EQ(table.size(), before + 1);
    EXPECT_EQ(Items(table.back()->Extensions), (std::vector<std::string>{"a", "b"}));
    RegisterPictureClass(&TBitmap::ClassInfo, "None", "");
    EXPECT_EQ(table.back()->Extensions.Count(), 0);
}
