// Stored pixel channels (format, bad input) and the blend arithmetic on small fixtures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pelvo/Channels.h"
#include "tests/support/ChannelFuzzInput.h"

using namespace pelvo;

namespace {

void Put32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = char(v >> (8 * i));
}

// An info-header stream of w x h, bits per pixel and colours used as given, with full
// palette and pixel bytes (pixel = index, palette entry i = (i, 255 - i, i / 2)).
std::string InfoStream(int32_t w, int32_t h, uint16_t bpp = 8, uint32_t used = 256, size_t pixelBytes = SIZE_MAX)
{
    std::string s(40, '\0');
    Put32(s, 0, 40);
    Put32(s, 4, uint32_t(w));
    Put32(s, 8, uint32_t(h));
    s[14] = char(bpp);
    Put32(s, 32, used);
    const uint32_t n = used == 0 ? 256 : std::min<uint32_t>(used, 256);
    for (uint32_t i = 0; i < n; ++i) {
        s += char(i);
        s += char(255 - i);
        s += char(i / 2);
        s += '\0';
    }
    const size_t image = w > 0 && h > 0 ? size_t((w + 3) & ~3) * size_t(h) : 0;
    for (size_t i = 0; i < std::min(image, pixelBytes); ++i)
        s += char(i * 7);
    return s;
}

TChannel Mask(int32_t w, int32_t h, std::vector<uint8_t> levels)  // levels top-down, row by row
{
    TChannel m(ckMask);
    m.SetSize(w, h);
    m.SetActive(true);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *m.PixelAddress(x, y) = levels[size_t(y * w + x)];
    return m;
}

TRGBChannel Target(int32_t w, int32_t h, uint8_t fill)
{
    TRGBChannel t;
    t.SetSize(w, h);
    t.SetActive(true);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k)
                t.PixelAddress(x, y)[k] = fill;
    return t;
}

}  // namespace

TEST(ChannelStream, EmptyChannelIsFourZeroBytesBothWays)
{
    TChannel ch;
    EXPECT_EQ(ch.SaveToString(), std::string(4, '\0'));
    TChannel loaded;
    int changes = 0;
    loaded.OnChange = [&](TObject*) { ++changes; };
    loaded.LoadFromMemory("\0\0\0\0", 4);
    EXPECT_FALSE(loaded.Active());
}

TEST(ChannelStream, InfoHeaderRoundTripsByteExactForPicturesAndMasks)
{
    for (int32_t w : {1, 5, 60, 71}) {
        SCOPED_TRACE(w);
        const std::string stored = InfoStream(w, 3);
        TChannel picture(ckPicture);
        picture.LoadFromMemory(stored.data(), stored.size());
        ASSERT_TRUE(picture.Active());
        EXPECT_EQ(picture.SaveToString(), stored);
        // Bottom-up rows: the first stored row is the bottom line.
        EXPECT_EQ(*picture.PixelAddress(0, 2), uint8_t(stored[1064]));
        EXPECT_EQ(picture.Palette()[4 * 10 + 1], 245);
        TChannel mask(ckMask);
        mask.LoadFromMemory(stored.data(), stored.size());
        EXPECT_EQ(mask.Palette()[4 * 10 + 1], 0) << "a mask skips its palette";
    }
}

TEST(ChannelStream, PaletteCountsAndCoreHeader)
{
    // Colours used 0 means 256 quads.
    const std::string zero = InfoStream(4, 2, 8, 0);
    TChannel a;
    a.LoadFromMemory(zero.data(), zero.size());
    EXPECT_EQ(a.Palette()[4 * 255], 255);
    // 16 stored quads: the rest of the palette stays 0, pixels follow directly.
    const std::string few = InfoStream(4, 2, 8, 16);
    TChannel b;
    b.LoadFromMemory(few.data(), few.size());
    EXPECT_EQ(b.Palette()[4 * 15 + 1], 240);
    EXPECT_EQ(b.Palette()[4 * 16 + 1], 0);
    EXPECT_EQ(*b.PixelAddress(1, 1), 7);
    // Core header: 16-bit sizes and 256 triples.
    std::string core = {12, 0, 0, 0, 3, 0, 2, 0, 1, 0, 8, 0};
    for (int i = 0; i < 256; ++i)
        core += {char(i), char(1), char(2)};
    core += std::string(8, '\x2A');
    TChannel c;
    c.LoadFromMemory(core.data(), core.size());
    ASSERT_TRUE(c.Active());
    EXPECT_EQ(c.Width(), 3);
    EXPECT_EQ(c.Palette()[4 * 9], 9);
    EXPECT_EQ(c.Palette()[4 * 9 + 2], 2);
    EXPECT_EQ(c.Palette()[4 * 9 + 3], 0);
}

TEST(ChannelStream, MalformedStreamsAreRefusedWithAChannelError)
{
    const std::string not256 = "Channels support 256-colors bitmaps only!";
    const std::string format = "Invalid stream format!";
    auto withHeaderSize = [](uint32_t size) {
        std::string s = InfoStream(4, 4);
        Put32(s, 0, size);
        return s;
    };
    struct Case {
        const char* name;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"header size 4", withHeaderSize(4), format},
        {"header size 41", withHeaderSize(41), format},
        {"4 bits per pixel", InfoStream(4, 4, 4, 16), not256},
        {"24 bits per pixel", InfoStream(4, 4, 24, 0), not256},
        {"core header, 4 bits", std::string{12, 0, 0, 0, 3, 0, 2, 0, 1, 0, 4, 0} + std::string(800, 'x'), not256},
        {"257 colours", InfoStream(4, 4, 8, 257), format},
        {"2^31 colours", InfoStream(4, 4, 8, 0x80000000u), format},
        {"width 0", InfoStream(0, 4), format},
        {"height 0", InfoStream(4, 0), format},
        {"negative width", InfoStream(-4, 4), format},
        {"top-down height", InfoStream(4, -4), format},
        {"width 70000", InfoStream(70000, 1, 8, 256, 64), format},
        {"height 70000", InfoStream(1, 70000, 8, 256, 64), format},
        {"truncated pixels", InfoStream(8, 8, 8, 256, 63), format},
        {"truncated palette", InfoStream(8, 8).substr(0, 300), format},
        {"truncated header", std::string{40, 0, 0, 0, 1, 0}, format},
        {"no header size", std::string{40, 0}, format},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TChannel ch;
        try {
            ch.LoadFromMemory(c.bytes.data(), c.bytes.size());
            ADD_FAILURE() << "accepted";
        } catch (const EChannelError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_FALSE(ch.Active());
    }
}

TEST(ChannelAssign, CopiesContentsAndBlankingNotifiesOnce)
{
    const std::string stored = InfoStream(5, 2);
    TChannel source;
    source.LoadFromMemory(stored.data(), stored.size());
    TChannel copy(ckMask);
    copy.Assign(source);
    EXPECT_EQ(copy.ChannelKind(), ckMask) << "the kind is not copied";
    copy.SetChannelKind(ckPicture);
    EXPECT_TRUE(copy.SameContents(source));

    int changes = 0;
    copy.OnChange = [&](TObject*) { ++changes; };
    copy.Assign(TChannel());
    EXPECT_FALSE(copy.Active());
    EXPECT_EQ(changes, 1);
}

TEST(ChannelBlend, PerByteRules)
{
    struct {
        uint8_t d, m, expected;
    } relief[] = {{77, 127, 77}, {77, 0, 0}, {0, 255, 253}, {200, 255, 254}, {100, 192, 177}, {100, 64, 50}, {100, 128, 100}};
    for (auto c : relief) {
        SCOPED_TRACE(testing::Message() << int(c.d) << " with level " << int(c.m));
        EXPECT_EQ(BlendRelief(c.d, c.m), c.expected);
        TRGBChannel t = Target(1, 1, c.d);
        t.DrawMaskRelief(Rect(0, 0, 1, 1), 0, 0, Mask(1, 1, {c.m}));
        EXPECT_EQ(t.PixelAddress(0, 0)[1], c.expected);
    }
    EXPECT_EQ(BlendPicture(0, 255, 180), 179);
    EXPECT_EQ(BlendPicture(200, 10, 0), 200);
    EXPECT_EQ(BlendMasked(40, 220, 255, 255), 220);
    EXPECT_EQ(BlendMasked(0, 255, 128, 255), 127);
    EXPECT_EQ(BlendMasked(100, 0, 255, 128), 50);
}

TEST(ChannelBlend, PicturesGoThroughThePaletteAndMasksMustMatchInSize)
{
    // A 2 x 1 picture: pixel 0 -> palette 0 (0, 255, 0), pixel 1 -> palette 9 (9, 246, 4).
    std::string stored = InfoStream(2, 1);
    stored[1064] = 0;
    stored[1065] = 9;
    TChannel picture;
    picture.LoadFromMemory(stored.data(), stored.size());

    TRGBChannel t = Target(3, 1, 0);
    t.DrawPicture(Rect(0, 0, 3, 1), 1, 0, picture, 180);
    EXPECT_EQ(t.PixelAddress(0, 0)[1], 0) << "outside the placement";
    EXPECT_EQ(t.PixelAddress(1, 0)[1], 179);
    EXPECT_EQ(t.PixelAddress(2, 0)[0], BlendPicture(0, 9, 180));

    TRGBChannel u = Target(2, 1, 10);
    u.DrawPictureMasked(Rect(0, 0, 2, 1), 0, 0, picture, Mask(2, 1, {255, 0}), 255);
    EXPECT_EQ(u.PixelAddress(0, 0)[1], 255);
    EXPECT_EQ(u.PixelAddress(1, 0)[1], 10);
    TRGBChannel v = Target(2, 1, 10);
    v.DrawPictureMasked(Rect(0, 0, 2, 1), 0, 0, picture, Mask(1, 1, {255}), 255);
    EXPECT_EQ(v.PixelAddress(0, 0)[1], 10) << "a mask of another size draws nothing";
    v.DrawPicture(Rect(0, 0, 2, 1), 0, 0, Mask(1, 1, {255}), 255);
    EXPECT_EQ(v.PixelAddress(0, 0)[1], 10) << "a mask is no picture";

    TRGBChannel w = Target(2, 1, 100);
    w.DrawMaskColor(Rect(0, 0, 2, 1), 0, 0, Mask(2, 1, {255, 128}), 0x0000FF, 10);
    EXPECT_EQ(w.PixelAddress(0, 0)[2], 255) << "full level takes the colour whatever the alpha";
    EXPECT_EQ(w.PixelAddress(0, 0)[0], 0);
    EXPECT_EQ(w.PixelAddress(1, 0)[2], uint8_t(((255 - 100) * 128 * 10 + 100 * 65536) >> 16));
}

TEST(ChannelBlend, FramesStretchTheMiddleAndStayInsideEvenMasks)
{
    // A 4 x 4 mask (even: no column or row 2 x half) over a 7 x 6 rectangle.
    std::vector<uint8_t> levels(16);
    for (int i = 0; i < 16; ++i)
        levels[size_t(i)] = uint8_t(i * 4);
    const TChannel mask = Mask(4, 4, levels);
    TRGBChannel t = Target(7, 6, 128);
    t.DrawMaskFrame(Rect(0, 0, 7, 6), Rect(0, 0, 7, 6), mask);
    auto at = [&](int x, int y) { return t.PixelAddress(x, y)[0]; };
    auto level = [&](int mx, int my) { return BlendRelief(128, levels[size_t(my * 4 + mx)]); };
    EXPECT_EQ(at(0, 0), level(0, 0));
    EXPECT_EQ(at(1, 1), level(1, 1));
    EXPECT_EQ(at(3, 3), level(2, 2)) << "the middle repeats column and row half";
    EXPECT_EQ(at(6, 0), level(3, 0)) << "clamped to the last column";
    EXPECT_EQ(at(5, 0), level(3, 0));
    EXPECT_EQ(at(0, 5), level(0, 3));
    // A rectangle smaller than the mask draws nothing.
    TRGBChannel u = Target(3, 3, 128);
    u.DrawMaskFrame(Rect(0, 0, 3, 3), Rect(0, 0, 3, 3), mask);
    EXPECT_EQ(u.PixelAddress(0, 0)[0], 128);
}

TEST(ChannelBlend, TexturesTileFromThePlacementCorner)
{
    const TChannel mask = Mask(2, 2, {0, 127, 127, 255});
    TRGBChannel t = Target(5, 5, 100);
    t.DrawTexture(Rect(1, 1, 5, 5), Rect(0, 0, 5, 5), aTile, mask, clNone);
    EXPECT_EQ(t.PixelAddress(0, 0)[0], 100) << "outside the clip";
    EXPECT_EQ(t.PixelAddress(2, 2)[0], 0);
    EXPECT_EQ(t.PixelAddress(3, 3)[0], BlendRelief(100, 255));
    EXPECT_EQ(t.PixelAddress(4, 4)[0], 0);
    EXPECT_EQ(t.PixelAddress(3, 2)[0], 100);
    // One copy, coloured, at the bottom right.
    TRGBChannel u = Target(5, 5, 100);
    u.DrawTexture(Rect(0, 0, 5, 5), Rect(0, 0, 5, 5), aRightDown, mask, 0xFFFFFF);
    EXPECT_EQ(u.PixelAddress(4, 4)[0], 255);
    EXPECT_EQ(u.PixelAddress(3, 3)[0], 100);
    EXPECT_EQ(u.PixelAddress(2, 2)[0], 100);
}

TEST(ChannelAlign, PlacementsInARectangle)
{
    const TRect r = Rect(10, 20, 110, 70);  // 100 x 50
    struct {
        TAligns align;
        TRect expected;
    } cases[] = {
        {aFrame, r},
        {aTile, r},
        {aFrameLeft, Rect(10, 20, 30, 70)},
        {aFrameBottom, Rect(10, 60, 110, 70)},
        {aCenter, Rect(50, 40, 70, 50)},
        {aLeftUp, Rect(10, 20, 30, 30)},
        {aRightDown, Rect(90, 60, 110, 70)},
        {aDown, Rect(50, 60, 70, 70)},
        {aScale, r},
    };
    for (auto c : cases) {
        SCOPED_TRACE(int(c.align));
        EXPECT_EQ(AlignRect(r, 20, 10, c.align), c.expected);
    }
    EXPECT_EQ(AlignRect(r, 20, 20, aScale), Rect(35, 20, 85, 70));
    EXPECT_EQ(AlignRect(r, 30, 10, aScale), Rect(10, 28, 110, 61)) << "33.3 rounds to 33";
}

TEST(ChannelFuzzCorpus, EveryInputLoadsOrIsRefusedCleanly)
{
    const std::filesystem::path dir = std::filesystem::path(TP_SOURCE_DIR) / "tests/pelvo/files/channel-corpus";
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ChannelFuzzOneInput(bytes.data(), bytes.size());
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "the corpus is missing";
}
