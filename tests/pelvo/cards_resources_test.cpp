// The embedded card faces, trump icons, layer textures and texts: what the window
// relies on when it loads them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "pelvo/CardImages.h"

using namespace pelvo;

namespace {

bool ValidUtf8(const std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (n < 0 || i + size_t(n) >= s.size() + (n == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + size_t(k)]) >> 6) != 2)
                return false;
        i += size_t(n) + 1;
    }
    return true;
}

}  // namespace

TEST(CardResources, FacesAreDistinct256ColourPicturesOfSlotSize)
{
    TCardImages images;
    images.Load();
    std::set<std::string> seen;
    for (int i = 1; i <= DeckSize; ++i) {
        SCOPED_TRACE(i);
        const TChannel& face = images.CardGlyphs[size_t(i)];
        ASSERT_TRUE(face.Active());
        EXPECT_EQ(face.ChannelKind(), ckPicture);
        EXPECT_EQ(face.Width(), 71);
        EXPECT_EQ(face.Height(), 96);
        // The stored form is a bare bitmap of 40 + 1024 + 72 x 96 bytes.
        EXPECT_EQ(face.SaveToString().size(), 7976u);
        EXPECT_TRUE(seen.insert(face.SaveToString()).second) << "two faces look the same";
        // The centre of the card is light paper or a picture, never left black.
        const uint8_t* paper = face.Palette() + 4 * *face.PixelAddress(35, 3);
        EXPECT_GT(paper[0] + paper[1] + paper[2], 600);
    }
    // Red suits (3 and 4) have red indices, black suits dark ones: compare the reddest
    // colour in each face's top-left corner.
    for (int i = 1; i <= DeckSize; ++i) {
        const TChannel& face = images.CardGlyphs[size_t(i)];
        int reddest = -255;
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 14; ++x) {
                const uint8_t* e = face.Palette() + 4 * *face.PixelAddress(x, y);
                reddest = std::max(reddest, int(e[2]) - int(e[1]));
            }
        EXPECT_EQ(reddest > 100, i > 18) << "face " << i;
    }
    for (int s = 1; s <= SuitCount; ++s) {
        ASSERT_TRUE(images.TrumpPictures[size_t(s)]);
        EXPECT_EQ(images.TrumpPictures[size_t(s)]->Width(), 19);
        EXPECT_EQ(images.TrumpPictures[size_t(s)]->Height(), 19);
    }
}

TEST(CardResources, LayerTexturesTileSeamlesslyWithinTheSafeLevels)
{
    struct {
        const char* layer;
        int w, h;
        size_t stored;
    } cases[] = {{"Layer1", 60, 70, 5264}, {"Layer2", 100, 70, 8064}, {"Layer3", 100, 70, 8064}};
    for (auto c : cases) {
        SCOPED_TRACE(c.layer);
        TChannel mask;
        LoadLayerMask(mask, c.layer);
        ASSERT_TRUE(mask.Active());
        EXPECT_EQ(mask.ChannelKind(), ckMask);
        EXPECT_EQ(mask.Width(), c.w);
        EXPECT_EQ(mask.Height(), c.h);
        EXPECT_EQ(mask.SaveToString().size(), c.stored);
        long inner = 0, seam = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const int v = *mask.PixelAddress(x, y);
                ASSERT_GE(v, 64);
                ASSERT_LE(v, 192);
                const int right = *mask.PixelAddress((x + 1) % c.w, y);
                (x + 1 == c.w ? seam : inner) += std::abs(v - right);
            }
        // The step across the tile edge is no larger than a typical step inside it.
        EXPECT_LE(seam * (c.w - 1), inner * 2);
    }
}

TEST(CardResources, TextsAreRussianUtf8WithCrLfLines)
{
    TCardImages images;
    images.Load();
    struct {
        const std::string* text;
        const char* mustHold;
    } cases[] = {
        {&images.Dossier(1), "ЧАЙНИК"},
        {&images.Dossier(2), "ПРОДВИНУТЫЙ"},
        {&images.Dossier(3), "ПРОФЕССИОНАЛ"},
        {&images.Dossier(4), "СТУДЕНТ"},
        {&images.Help, "6, 7, 8, 9, валет, дама, король, 10, туз"},
        {&images.Help, "4 карты"},
        {&images.Help, "козырь"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.mustHold);
        EXPECT_TRUE(ValidUtf8(*c.text));
        EXPECT_NE(c.text->find(c.mustHold), std::string::npos);
        for (size_t i = 0; i < c.text->size(); ++i) {
            if ((*c.text)[i] == '\n') {
                ASSERT_TRUE(i > 0 && (*c.text)[i - 1] == '\r');
            }
        }
    }
    EXPECT_THROW(LoadTextResource("Nobody"), EResNotFound);
}
