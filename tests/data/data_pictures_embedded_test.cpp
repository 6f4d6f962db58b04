// The pictures and shapes the Tesk program carries inside itself, as the widgets and
// forms look them up in the resource registry.
#include "tests/data/PictureFiles.h"

#include "platform/Cursors.h"
#include "platform/Forms.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace picturetest;

struct BmpInfo {
    int W = 0, H = 0, Bpp = 0;
};

bool ReadBmpInfo(std::string_view s, BmpInfo& info)
{
    if (s.size() < 54 || s[0] != 'B' || s[1] != 'M')
        return false;
    const std::string str(s);
    if (Le(str, 2, 4) != s.size())
        return false;
    info.W = static_cast<int>(Le(str, 18, 4));
    info.H = std::abs(static_cast<int32_t>(Le(str, 22, 4)));
    info.Bpp = static_cast<int>(Le(str, 28, 2));
    const uint32_t stride = static_cast<uint32_t>((info.W * info.Bpp + 31) / 32 * 4);
    return Le(str, 10, 4) + stride * static_cast<uint32_t>(info.H) <= s.size();
}

TEST(EmbeddedPicturesTest, WidgetBitmapsHaveTheirGlyphLayout)
{
    const struct {
        const char* Name;
        int W, H, Bpp; // 0 = any
    } glyphs[] = {
        {"FEDITBMP", 14, 12, 4},
        {"CEDITBMP", 28, 12, 4},
        {"W95_HTB", 0, 0, 0},
        {"W95_HRL", 0, 0, 0},
        {"W95_VTB", 0, 0, 0},
        {"W95_VRL", 0, 0, 0},
    };
    for (const auto& g : glyphs) {
        SCOPED_TRACE(g.Name);
        auto data = FindResource(g.Name, "BITMAP");
        ASSERT_TRUE(data.has_value());
        BmpInfo info;
        ASSERT_TRUE(ReadBmpInfo(*data, info));
        if (g.W) {
            EXPECT_EQ(info.W, g.W);
            EXPECT_EQ(info.H, g.H);
            EXPECT_EQ(info.Bpp, g.Bpp);
        }
        const std::string name = g.Name;
        if (name.ends_with("TB")) {
            EXPECT_EQ(info.W % 2, 0) << "thumbs hold two frames side by side";
        }
        if (name == "W95_HRL") {
            EXPECT_GT(info.W, 4);
        }
        if (name == "W95_VRL") {
            EXPECT_GT(info.H, 4);
        }
    }
}

TEST(EmbeddedPicturesTest, CursorsCarryTheirHotSpot)
{
    for (const char* name : {"EX_HANDCUR", "EX_DRAGCUR"}) {
        SCOPED_TRACE(name);
        auto data = FindResource(name, "CURSOR");
        ASSERT_TRUE(data.has_value());
        const std::string s(*data);
        ASSERT_GE(s.size(), 22u + 40u);
        EXPECT_EQ(Le(s, 0, 2), 0u);
        EXPECT_EQ(Le(s, 2, 2), 2u) << "type 2 = cursor";
        EXPECT_EQ(Le(s, 4, 2), 1u);
        const unsigned w = static_cast<unsigned char>(s[6]), h = static_cast<unsigned char>(s[7]);
        EXPECT_EQ(w, 32u);
        EXPECT_EQ(h, 32u);
        EXPECT_LT(Le(s, 10, 2), w);
        EXPECT_LT(Le(s, 12, 2), h);
        EXPECT_EQ(Le(s, 18, 4) + Le(s, 14, 4), s.size()) << "image bytes end at the end of the file";
    }
}

TEST(EmbeddedPicturesTest, CursorsLoadAndRegisterWithTheirHotSpots)
{
    const struct {
        const char* Name;
        TCursor Id;
        TPoint Hot;
    } cursors[] = {{"EX_HANDCUR", 14000, {11, 2}}, {"EX_DRAGCUR", 14001, {16, 14}}};
    for (const auto& c : cursors) {
        SCOPED_TRACE(c.Name);
        HCURSOR handle = LoadCursorFromResourceName(c.Name);
        ASSERT_NE(handle, nullptr);
        Screen->SetCursors(c.Id, handle);
        EXPECT_EQ(TestHooks::CursorHotSpot(c.Id), c.Hot);
        EXPECT_EQ(CursorSize(handle), (TSize{32, 32}));
    }
}

TEST(EmbeddedPicturesTest, FormPictureButtonsAreJpegsOfTheirSize)
{
    struct Want {
        std::string Name;
        int W, H;
    };
    std::vector<Want> want;
    for (const char* b : {"BackToMenuButton", "ClearProgressButton"})
        for (const char* p : {"Pic", "PicUp", "PicDown"})
            want.push_back({std::string("TForm1.") + b + "." + p, 140, 24});
    const struct {
        const char* Form;
        const char* Button;
        int W;
    } buttons[] = {{"TLevelFailureForm", "ReplayLevelButton", 86},       {"TLevelFailureForm", "PickALevelButton", 86},
                   {"TLevelFailureForm", "MainMenuButton", 86},          {"TLevelSuccessForm", "NextLevelButton", 86},
                   {"TLevelSuccessForm", "PickALevelButton", 86},        {"TLevelSuccessForm", "MainMenuButton", 86},
                   {"TLevelPartialSuccessForm", "ReplayLevelButton", 86}, {"TLevelPartialSuccessForm", "NextLevelButton", 86},
                   {"TLevelPartialSuccessForm", "PickLevelButton", 86},  {"TLevelPartialSuccessForm", "MainMenuButton", 75}};
    for (const auto& b : buttons)
        for (const char* p : {"DefaultUpImage", "DefaultDownImage", "HasFocusUpImage", "MouseOverUpImage"})
            want.push_back({std::string(b.Form) + "." + b.Button + "." + p, b.W, 44});
    for (const Want& w : want) {
        SCOPED_TRACE(w.Name);
        auto data = FindResource(w.Name, "RCDATA");
        ASSERT_TRUE(data.has_value());
        Image img;
        ASSERT_TRUE(DecodeJpeg(std::string(*data), img));
        EXPECT_EQ(img.W, w.W);
        EXPECT_EQ(img.H, w.H);
        EXPECT_EQ(img.Components, 3);
    }
}

TEST(EmbeddedPicturesTest, ClearProgressDialogShapeFitsItsPicture)
{
    auto data = FindResource("TClearProgressDialog.CoolForm1.Mask2", "RCDATA");
    ASSERT_TRUE(data.has_value());
    auto rects = DecodeRegionData(*data);
    ASSERT_TRUE(rects.has_value());
    ASSERT_FALSE(rects->empty());

    Image pic;
    ASSERT_TRUE(DecodeJpeg(ReadFile(ArtDir() / "Popup_ConfirmCP.jpg"), pic));
    ASSERT_EQ(pic.W, 402);
    ASSERT_EQ(pic.H, 304);
    std::vector<bool> inside(static_cast<size_t>(pic.W * pic.H), false);
    for (const ResourceRect& r : *rects) {
        ASSERT_GE(r.Left, 0);
        ASSERT_GE(r.Top, 0);
        ASSERT_LE(r.Right, pic.W);
        ASSERT_LE(r.Bottom, pic.H);
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                inside[static_cast<size_t>(y * pic.W + x)] = true;
    }
    // The window shows the picture's board and none of its magenta surround; the corners
    // are cut away.
    long shown = 0, keyShown = 0;
    for (int y = 0; y < pic.H; ++y)
        for (int x = 0; x < pic.W; ++x)
            if (inside[static_cast<size_t>(y * pic.W + x)]) {
                ++shown;
                keyShown += SnapsToMagenta(pic.At(x, y)) || SnapsToBlue(pic.At(x, y));
            }
    EXPECT_EQ(keyShown, 0);
    EXPECT_GT(shown, 402L * 304L * 9 / 10);
    EXPECT_FALSE(inside[0]);
    EXPECT_FALSE(inside[static_cast<size_t>(pic.W * pic.H - 1)]);
    // The choices' bands are inside the shape.
    for (int y : {200, 235, 265})
        for (int x : {61, 201, 342})
            EXPECT_TRUE(inside[static_cast<size_t>(y * pic.W + x)]) << x << "," << y;
}

} // namespace
