#include <gtest/gtest.h>

#include <string>

#include "platform/Cursors.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/TestHooks.h"

namespace {

void Put(std::string& s, size_t at, uint32_t v, int size)
{
    if (s.size() < at + static_cast<size_t>(size))
        s.resize(at + static_cast<size_t>(size), '\0');
    for (int i = 0; i < size; ++i)
        s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct CurLayout {
    int Width = 32;
    int Height = 32;
    int Bits = 1;
    int HotX = 11;
    int HotY = 2;
    uint32_t Compression = 0;
};

size_t Rows(int width, int bits) { return static_cast<size_t>((width * bits + 31) / 32 * 4); }

// A ".cur" file of one image: the left half opaque (palette colour 1, red), the right half
// transparent through the AND mask; 32-bit images carry alpha instead.
std::string MakeCur(const CurLayout& c)
{
    std::string s;
    Put(s, 0, 0, 2);
    Put(s, 2, 2, 2);
    Put(s, 4, 1, 2);
    Put(s, 6, static_cast<uint32_t>(c.Width & 0xFF), 1);
    Put(s, 7, static_cast<uint32_t>(c.Height & 0xFF), 1);
    Put(s, 10, static_cast<uint32_t>(c.HotX), 2);
    Put(s, 12, static_cast<uint32_t>(c.HotY), 2);
    const size_t image = 22;
    Put(s, image, 40, 4);
    Put(s, image + 4, static_cast<uint32_t>(c.Width), 4);
    Put(s, image + 8, static_cast<uint32_t>(c.Height * 2), 4);
    Put(s, image + 12, 1, 2);
    Put(s, image + 14, static_cast<uint32_t>(c.Bits), 2);
    Put(s, image + 16, c.Compression, 4);
    size_t at = image + 40;
    const int colours = c.Bits <= 8 ? 1 << c.Bits : 0;
    for (int i = 0; i < colours; ++i, at += 4)
        Put(s, at, i == 1 ? 0xFF0000u : 0u, 4); // colour 1: red (B G R x)
    const size_t xorRow = Rows(c.Width, c.Bits), andRow = Rows(c.Width, 1);
    for (int row = 0; row < c.Height; ++row, at += xorRow) {
        Put(s, at + xorRow - 1, 0, 1);
        for (int x = 0; x < c.Width / 2; ++x) {
            if (c.Bits == 1)
                s[at + static_cast<size_t>(x / 8)] = static_cast<char>(s[at + static_cast<size_t>(x / 8)] | (0x80 >> (x % 8)));
            else if (c.Bits == 8)
                s[at + static_cast<size_t>(x)] = 1;
            else if (c.Bits == 32)
                Put(s, at + static_cast<size_t>(x) * 4, 0xFFFF0000u, 4);
        }
    }
    for (int row = 0; row < c.Height; ++row, at += andRow)
        for (size_t i = 0; i < andRow; ++i)
            Put(s, at + i, 0, 1);
    for (int row = 0; row < c.Height; ++row)
        for (int x = c.Width / 2; x < c.Width; ++x) {
            const size_t byte = at - andRow * static_cast<size_t>(c.Height - row) + static_cast<size_t>(x / 8);
            s[byte] = static_cast<char>(s[byte] | (0x80 >> (x % 8)));
        }
    Put(s, 14, static_cast<uint32_t>(s.size() - image), 4);
    Put(s, 18, static_cast<uint32_t>(image), 4);
    return s;
}

// Registered while the program starts, before any application object exists.
const HCURSOR EarlyCursor = [] {
    HCURSOR c = LoadCursorFromBytes(MakeCur({}));
    Screen->SetCursors(14500, c);
    return c;
}();

class HalfHand : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TCursor CursorAt(int X, int Y) override
    {
        (void)Y;
        return X < Width() / 2 ? TCursor(14500) : Cursor();
    }
};

} // namespace

TEST(Cursors, ACursorFileGivesItsPixelsAndHotSpot)
{
    for (int bits : {1, 8, 32}) {
        SCOPED_TRACE(bits);
        CurLayout layout;
        layout.Bits = bits;
        HCURSOR c = LoadCursorFromBytes(MakeCur(layout));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(CursorSize(c), (TSize{32, 32}));
        EXPECT_EQ(CursorHotSpot(c), Point(11, 2));
        const auto& px = CursorPixels(c);
        EXPECT_EQ(px[0], 0xFFFF0000u);      // opaque red at the left
        EXPECT_EQ(px[31 * 32 + 20], 0u);    // transparent at the right
    }
    EXPECT_EQ(Screen->Cursors(14500), EarlyCursor);
    EXPECT_NE(EarlyCursor, nullptr);
    EXPECT_EQ(TestHooks::CursorHotSpot(14500), Point(11, 2));
    EXPECT_EQ(TestHooks::CursorHotSpot(14999), Point(0, 0));
}

TEST(Cursors, MalformedFilesGiveNullAndNeverReadPastTheirBytes)
{
    const std::string good = MakeCur({});
    for (size_t cut = 0; cut < good.size(); ++cut)
        ASSERT_EQ(LoadCursorFromBytes(std::string_view(good.data(), cut)), nullptr) << cut;

    struct Case {
        const char* name;
        std::string bytes;
    };
    auto with = [&](size_t at, uint32_t v, int size) {
        std::string s = good;
        Put(s, at, v, size);
        return s;
    };
    CurLayout big;
    big.Width = big.Height = 256;
    std::string bigTruncated = MakeCur(big);
    bigTruncated.resize(bigTruncated.size() / 2);
    CurLayout bits2;
    bits2.Bits = 2;
    CurLayout bits64;
    bits64.Bits = 64;
    CurLayout rle;
    rle.Bits = 8;
    rle.Compression = 1;
    const Case cases[] = {
        {"image count 0", with(4, 0, 2)},
        {"image count 65535", with(4, 65535, 2)},
        {"an icon", with(2, 1, 2)},
        {"256 pixels with too little data", bigTruncated},
        {"2 bits per pixel", MakeCur(bits2)},
        {"64 bits per pixel", MakeCur(bits64)},
        {"image offset beyond the end", with(18, static_cast<uint32_t>(good.size()), 4)},
        {"image size beyond the end", with(14, static_cast<uint32_t>(good.size()), 4)},
        {"a run-length compressed image", MakeCur(rle)},
        {"a header claiming more than the image", with(22, 0x7FFFFFFF, 4)},
        {"a huge width", with(26, 0x40000000, 4)},
        {"a negative height", with(30, 0xFFFFFFC0u, 4)},
        {"empty", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoadCursorFromBytes(c.bytes), nullptr) << c.name;

    CurLayout outside;
    outside.HotX = 40;
    outside.HotY = 1000;
    HCURSOR held = LoadCursorFromBytes(MakeCur(outside));
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(CursorHotSpot(held), Point(31, 31));
    EXPECT_EQ(LoadCursorFromResourceName("NO_SUCH_CURSOR"), nullptr);
}

TEST(Cursors, WindowsShowTheCursorOfWhatLiesUnderThePointer)
{
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    form.Show();
    auto* half = PlaceControl<HalfHand>(&form, 10, 10, 40, 20);
    half->SetCursor(crCross);
    auto* box = PlaceControl<TPaintBox>(&form, 100, 10, 20, 20);
    box->SetCursor(crHandPoint);
    TPanel* panel = PlaceControl<TPanel>(&form, 100, 50, 50, 40);
    panel->SetCursor(14500);

    struct Step {
        TPoint at;
        TWinControl* window;
        TCursor shown;
    };
    const Step steps[] = {
        {Point(12, 15), &form, 14500},       // the left half answers the registered hand
        {Point(45, 15), &form, crCross},     // elsewhere the control's own cursor
        {Point(110, 15), &form, crHandPoint}, // a window-less child's cursor
        {Point(5, 80), &form, crDefault},    // the form's own
        {Point(120, 70), panel, 14500},      // a windowed control shows a registered id
    };
    for (const Step& s : steps) {
        TestHooks::MouseMove(&form, s.at);
        EXPECT_EQ(TestHooks::ShownCursor(s.window), s.shown) << s.at.X << "," << s.at.Y;
    }
    // An id nobody registered shows the arrow rather than failing.
    half->SetCursor(14999);
    TestHooks::MouseMove(&form, Point(45, 15));
    EXPECT_EQ(TestHooks::ShownCursor(&form), 14999);
}
