// Layer controls in a window: composing from the parent and the earlier siblings,
// captions with their effects, card slots sized by their pictures and fading on the
// shared hover timer, and clicks passing through the see-through parts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "pelvo/Layers.h"
#include "platform/Forms.h"
#include "platform/TestHooks.h"

using namespace pelvo;

namespace {

template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height, TColor color = clNone)
{
    T* c = PlaceControl<T>(parent, left, top, width, height);
    if (color != clNone)
        c->SetColor(color);
    return c;
}

TLayer* Glass(TWinControl* parent, int left, int top, int width, int height)
{
    TLayer* layer = Place<TLayer>(parent, left, top, width, height);
    layer->SetColor(clNone);
    return layer;
}

TChannel Filled(uint8_t kind, int32_t w, int32_t h, uint8_t level)
{
    TChannel c(kind);
    c.SetSize(w, h);
    c.Allocate();
    for (int i = 0; i < 256; ++i)
        for (int k = 0; k < 3; ++k)
            c.Palette()[i * 4 + k] = static_cast<uint8_t>(i);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *c.PixelAddress(x, y) = level;
    return c;
}

struct Table : ::testing::Test {
    Table()
    {
        Form.SetClientWidth(200);
        Form.SetClientHeight(150);
        Form.SetColor(clRed);
    }
    void TearDown() override { TestHooks::Reset(); }
    TPoint At(TControl* c, TPoint p) { return TestHooks::ControlToForm(c, p); }
    void Click(TPoint at)
    {
        TestHooks::MouseMove(&Form, at);
        TestHooks::MouseDown(&Form, mbLeft, at);
        TestHooks::MouseUp(&Form, mbLeft, at);
    }
    TForm Form;
};

}  // namespace

TEST_F(Table, SeeThroughLayersShowTheParentAndTheEarlierSiblingsOnly)
{
    TLayer* back = Place<TLayer>(&Form, 0, 0, 120, 120, clBlue);
    Place<TLayer>(back, 10, 10, 20, 20, clLime);
    TLayer* glass = Glass(back, 0, 0, 60, 60);
    Place<TLayer>(back, 40, 40, 10, 10, clWhite);  // above the glass: not behind it
    TLayer* onForm = Glass(&Form, 130, 0, 30, 30);
    TLayer* dark = Glass(&Form, 160, 0, 30, 30);
    dark->SetMaskAlign(aTile);
    dark->SetMask(Filled(ckMask, 4, 4, 0));  // relief level 0 darkens to black
    Form.Show();

    struct Case {
        TControl* Layer;
        TPoint P;
        TColor Expected;
    } cases[] = {
        {glass, {5, 5}, clBlue},    // the parent layer
        {glass, {15, 15}, clLime},  // an earlier sibling
        {glass, {45, 45}, clBlue},  // a later sibling is not composed in
        {onForm, {5, 5}, clRed},    // a plain parent: its colour
        {dark, {5, 5}, clBlack},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TestHooks::ControlPixel(c.Layer, c.P.X, c.P.Y), c.Expected) << c.P.X << "," << c.P.Y;

    // A change below shows through the see-through layers above it.
    back->SetColor(clWhite);
    EXPECT_EQ(TestHooks::ControlPixel(glass, 5, 5), clWhite);
}

TEST_F(Table, OffsetsFrameTheColourAndTheAlignedChildren)
{
    TLayer* back = Place<TLayer>(&Form, 0, 0, 100, 100, clBlue);
    TLayer* framed = Place<TLayer>(back, 0, 0, 50, 50, clLime);
    framed->SetOffsetLeft(5);
    framed->SetOffsetTop(3);
    framed->SetOuter(2);
    TLayer* child = Place<TLayer>(framed, 0, 0, 10, 10, clWhite);
    child->SetAlign(alClient);
    Form.Show();
    EXPECT_EQ(child->BoundsRect(), Rect(7, 5, 48, 48));
    EXPECT_EQ(TestHooks::ControlPixel(framed, 2, 20), clBlue) << "the margin shows what lies behind";
    EXPECT_EQ(TestHooks::ControlPixel(framed, 6, 20), clLime);
}

TEST_F(Table, CaptionsDrawTheirEffectsAtTheirPlace)
{
    struct Case {
        TTextFX FX;
        TTextAlign Align;
        bool Black, White;
        int MinX, MaxX, MinY, MaxY;  // where the caption's own colour must lie
    } cases[] = {
        {tfxNone, aLeft, false, false, 0, 60, 20, 60},
        {tfxShadow, aRight, true, false, 140, 200, 20, 60},
        {tfxEmboss, aUp, true, true, 60, 140, 0, 40},
        {tfxEmboss, aDown, true, true, 60, 140, 40, 80},
    };
    for (const Case& c : cases) {
        TForm form;
        TLayer* layer = Place<TLayer>(&form, 0, 0, 200, 80, clBlue);
        TFont font = layer->Font();
        font.Color = clLime;
        font.Height = -24;
        font.Style = fsBold;
        layer->SetFont(font);
        layer->SetCaption("MW");
        layer->SetCaptionFX(c.FX);
        layer->SetCaptionAlign(c.Align);
        form.Show();
        bool black = false, white = false;
        int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 200; ++x) {
                const TColor p = TestHooks::ControlPixel(layer, x, y);
                black |= p == clBlack;
                white |= p == clWhite;
                if (p == clLime) {
                    minX = std::min(minX, x), maxX = std::max(maxX, x);
                    minY = std::min(minY, y), maxY = std::max(maxY, y);
                }
            }
        SCOPED_TRACE(static_cast<int>(c.Align));
        EXPECT_EQ(black, c.Black);
        EXPECT_EQ(white, c.White);
        ASSERT_GE(maxX, 0) << "caption drawn";
        EXPECT_GE(minX, c.MinX);
        EXPECT_LE(maxX, c.MaxX);
        EXPECT_GE(minY, c.MinY);
        EXPECT_LE(maxY, c.MaxY);
    }
}

TEST_F(Table, CardSlotsTakeTheSizeOfTheirPictureAndDrawItAtTheGlyphLevel)
{
    TLayer* back = Place<TLayer>(&Form, 0, 0, 150, 150, clBlack);
    auto* slot = Place<TButtonLayer>(back, 10, 10, 73, 99);
    slot->SetGlyph(TChannel(ckPicture));
    EXPECT_EQ(slot->BoundsRect(), Rect(10, 10, 83, 109)) << "an empty picture keeps the size";
    slot->SetGlyph(Filled(ckPicture, 71, 96, 200));
    EXPECT_EQ(slot->BoundsRect(), Rect(10, 10, 81, 106));
    slot->SetOffsetLeft(2);
    slot->SetOffsetBottom(3);
    slot->SetGlyph(Filled(ckPicture, 71, 96, 200));
    EXPECT_EQ(slot->BoundsRect(), Rect(10, 10, 83, 109));
    Form.Show();

    const auto grey = [](int v) { return static_cast<TColor>(v | v << 8 | v << 16); };
    EXPECT_EQ(slot->GlyphLevel(), 64);
    EXPECT_EQ(TestHooks::ControlPixel(slot, 5, 5), grey(200 * 64 >> 8));
    EXPECT_EQ(TestHooks::ControlPixel(slot, 1, 5), clBlack) << "the offset shows the layer below";
    slot->SetGlyphInactive(180);  // resting at the inactive level: follows at once
    EXPECT_EQ(slot->GlyphLevel(), 180);
    EXPECT_EQ(TestHooks::ControlPixel(slot, 5, 5), grey(200 * 180 >> 8));
    slot->SetGlyphActive(250);  // not at the active level: stays
    EXPECT_EQ(slot->GlyphLevel(), 180);
}

TEST_F(Table, HoverFadesRunOnTheSharedTimerAndTurnBack)
{
    TLayer* back = Place<TLayer>(&Form, 0, 0, 200, 150, clBlack);
    auto* a = Place<TButtonLayer>(back, 10, 10, 50, 50);
    auto* b = Place<TButtonLayer>(back, 100, 10, 50, 50);
    for (TButtonLayer* s : {a, b}) {
        s->SetGlyph(Filled(ckPicture, 50, 50, 255));
        s->SetGlyphInactive(180);
    }
    Form.Show();
    const TPoint away = Point(190, 140);
    TestHooks::MouseMove(&Form, away);

    // Entering jumps (no fade in by default); leaving fades in four ticks.
    TestHooks::MouseMove(&Form, At(a, {25, 25}));
    EXPECT_EQ(a->GlyphLevel(), 255);
    TestHooks::MouseMove(&Form, away);
    EXPECT_TRUE(HitTimer().Enabled());
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
        HitTimer().Timer();
        seen.push_back(a->GlyphLevel());
    }
    EXPECT_EQ(seen, (std::vector<int>{236, 217, 198, 180}));
    EXPECT_FALSE(HitTimer().Enabled()) << "the timer stops once nothing fades";

    // On and off within two ticks: the fade turns back from where it stands, and both
    // slots step on the one timer.
    a->FadeActive = true;
    TestHooks::MouseMove(&Form, At(a, {25, 25}));
    HitTimer().Timer();
    HitTimer().Timer();
    EXPECT_EQ(a->GlyphLevel(), 217);
    TestHooks::MouseMove(&Form, At(b, {25, 25}));  // leaves a, enters b
    EXPECT_EQ(b->GlyphLevel(), 255);
    TestHooks::MouseMove(&Form, away);
    HitTimer().Timer();
    EXPECT_EQ(a->GlyphLevel(), 198);
    EXPECT_EQ(b->GlyphLevel(), 236);
    EXPECT_TRUE(HitTimer().Fading(b));
    delete b;  // a destroyed slot leaves the timer
    HitTimer().Timer();
    EXPECT_EQ(a->GlyphLevel(), 180);
    EXPECT_FALSE(HitTimer().Enabled());
}

TEST_F(Table, ClicksPassThroughTransparentPoints)
{
    TLayer* back = Place<TLayer>(&Form, 0, 0, 200, 150, clBlue);
    int backClicks = 0, slotClicks = 0, glassClicks = 0, solidClicks = 0;
    back->OnClick = [&](TObject*) { ++backClicks; };
    auto* slot = Place<TButtonLayer>(back, 10, 10, 71, 96);
    slot->OnClick = [&](TObject*) { ++slotClicks; };
    TLayer* glass = Glass(back, 100, 10, 40, 40);
    glass->OnClick = [&](TObject*) { ++glassClicks; };
    TLayer* solid = Place<TLayer>(back, 150, 10, 40, 40, clLime);
    solid->OnClick = [&](TObject*) { ++solidClicks; };
    Form.Show();

    const std::function<void()> steps[] = {
        [&] { Click(At(slot, {30, 30})); },  // an empty slot
        [&] { Click(At(glass, {20, 20})); },  // see-through, no mask
        [&] { Click(At(solid, {20, 20})); },
        [&] {
            slot->SetGlyph(Filled(ckPicture, 71, 96, 9));
            Click(At(slot, {30, 30}));
        },
        [&] {
            glass->SetMaskAlign(aTile);
            glass->SetMask(Filled(ckMask, 2, 2, 250));  // strong texture: takes the click
            Click(At(glass, {20, 20}));
        },
        [&] {
            glass->SetMask(Filled(ckMask, 2, 2, 150));  // weak texture: lets it through
            Click(At(glass, {20, 20}));
        },
    };
    const int expected[][4] = {{1, 0, 0, 0}, {2, 0, 0, 0}, {2, 0, 0, 1}, {2, 1, 0, 1}, {2, 1, 1, 1}, {3, 1, 1, 1}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i]();
        EXPECT_EQ(backClicks, expected[i][0]) << i;
        EXPECT_EQ(slotClicks, expected[i][1]) << i;
        EXPECT_EQ(glassClicks, expected[i][2]) << i;
        EXPECT_EQ(solidClicks, expected[i][3]) << i;
    }
}
