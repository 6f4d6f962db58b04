// The slider: values, steps, geometry, mouse, keys and bad input.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include <cmath>
#include <limits>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "platform/Streams.h"
#include "tesk/widgets/Sliders.h"

namespace {

class Sliders : public WidgetForm {
protected:
    TExSlider* Slider(int left = 10, int top = 10)
    {
        auto* s = new TExSlider(Form.get());
        s->SetParent(Form.get());
        s->SetLeft(left);
        s->SetTop(top);
        return s;
    }
};

TEST_F(Sliders, ConstructionDefaults)
{
    TExSlider* s = Slider();
    EXPECT_EQ(s->Width(), 150);
    EXPECT_EQ(s->Height(), 40);
    EXPECT_EQ(s->ControlStyle, csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks);
    EXPECT_TRUE(s->TabStop());
    EXPECT_EQ(s->MinValue(), 0);
    EXPECT_EQ(s->MaxValue(), 100);
    EXPECT_EQ(s->Increment(), 10);
    EXPECT_EQ(s->Value(), 0);
    EXPECT_EQ(s->EdgeSize(), 2);
    EXPECT_EQ(s->NumThumbStates(), 2);
    EXPECT_EQ(s->Options(), soShowFocus | soShowPoints | soSmooth);
    EXPECT_EQ(s->BevelStyle(), bvNone);
    EXPECT_EQ(s->UserImages(), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(s->Image(i).Empty()) << i;
    EXPECT_EQ(s->Ruler().Width(), 150 - 12);
    EXPECT_EQ(s->RulerOrigin().X, 6);
    EXPECT_EQ(s->ThumbRect().Left, 6);
    EXPECT_EQ(s->ThumbRect().Width(), s->ImageHThumb().Width() / 2);
    s->Repaint();
}

} // namespace

namespace {

// Reaches the guarded geometry with ranges the setters refuse.
class OpenSlider : public TExSlider {
public:
    using TExSlider::TExSlider;
    void ForceRange(int min, int max)
    {
        FMinValue = min;
        FMaxValue = max;
    }
    using TExSlider::Relayout;
    using TExSlider::SliderArea;
};

TEST_F(Sliders, ValuesAndSteps)
{
    struct Case {
        int min, max, inc, value;
        int kind;
        int expected;
        int changes;
    } cases[] = {
        {10, 150, 10, 55, skUp, 70, 1},   {10, 150, 10, 55, skDown, 50, 1},
        {10, 150, 10, 65, skUp, 70, 1},   {10, 150, 10, 65, skDown, 50, 1},
        {10, 150, 10, 75, skUp, 90, 1},   {10, 150, 10, 75, skDown, 70, 1},
        {10, 150, 10, 145, skUp, 150, 1}, {10, 150, 10, 10, skDown, 10, 0},
        {10, 150, 20, 10, skUp, 20, 1},   {0, 100, 10, 40, skToMax, 100, 1},
        {0, 100, 10, 40, skToMin, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " kind " + std::to_string(c.kind));
        TExSlider* s = Slider();
        s->SetRange(c.min, c.max);
        s->SetIncrement(c.inc);
        s->SetValue(c.value);
        int changes = 0;
        s->OnChange = [&](TObject*) { ++changes; };
        s->StepBy(c.kind);
        EXPECT_EQ(s->Value(), c.expected);
        EXPECT_EQ(changes, c.changes);
        delete s;
    }
    TExSlider* s = Slider();
    int changes = 0;
    s->OnChange = [&](TObject*) { ++changes; };
    s->SetValue(250);
    EXPECT_EQ(s->Value(), 100);
    s->SetValue(-5);
    EXPECT_EQ(s->Value(), 0);
    EXPECT_EQ(changes, 2);
    s->SetValue(40);
    changes = 0;
    s->SetValue(40);
    EXPECT_EQ(changes, 0);

    s->SetIncrement(30);
    s->SetMaxValue(20);
    EXPECT_EQ(s->Increment(), 20);
    s->SetMaxValue(100);
    s->SetIncrement(10);
    for (int bad : {0, -1, 101}) {
        try {
            s->SetIncrement(bad);
            ADD_FAILURE() << bad;
        } catch (const ERangeError& e) {
            EXPECT_STREQ(e.what(), "Value must be between 1 and 100");
        }
        EXPECT_EQ(s->Increment(), 10);
    }
    s->SetMinValue(100);
    EXPECT_EQ(s->MinValue(), 0);
    s->SetMinValue(150);
    EXPECT_EQ(s->MinValue(), 0);
}

TEST_F(Sliders, KeysStepByOrientation)
{
    TExSlider* s = Slider();
    s->SetFocus();
    struct Case {
        TSliderOrientation orientation;
        WORD key;
        TShiftState shift;
        int expected;
        bool consumed;
    } cases[] = {
        {soHorizontal, VK_HOME, {}, 0, true},    {soHorizontal, VK_END, {}, 100, true},
        {soHorizontal, VK_RIGHT, {}, 60, true},  {soHorizontal, VK_LEFT, {}, 40, true},
        {soHorizontal, VK_UP, {}, 50, false},    {soVertical, VK_UP, {}, 60, true},
        {soVertical, VK_DOWN, {}, 40, true},     {soVertical, VK_RIGHT, {}, 50, false},
        {soHorizontal, VK_RIGHT, {ssShift}, 50, false}, {soHorizontal, VK_HOME, {ssCtrl}, 50, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        s->SetOrientation(c.orientation);
        s->SetValue(50);
        int changed = 0;
        WORD seen = 0;
        s->OnChanged = [&](TObject*) { ++changed; };
        s->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { seen = key; };
        TestHooks::KeyStroke(Form.get(), c.key, c.shift);
        EXPECT_EQ(s->Value(), c.expected);
        EXPECT_EQ(changed, c.consumed ? 1 : 0);
        EXPECT_EQ(seen, c.consumed ? 0 : c.key);
    }
    s->OnChanged = nullptr;
    s->OnKeyDown = nullptr;
    s->SetOrientation(soHorizontal);
    s->ReadOnly = true;
    s->SetValue(50);
    TestHooks::KeyStroke(Form.get(), VK_RIGHT);
    EXPECT_EQ(s->Value(), 50);
}

TEST_F(Sliders, OrientationEdgeSizeAndShortRulers)
{
    TExSlider* s = Slider();
    s->SetOrientation(soVertical);
    EXPECT_EQ(s->Width(), 40);
    EXPECT_EQ(s->Height(), 150);
    EXPECT_EQ(s->Ruler().Height(), 150 - 12);
    s->SetOrientation(soHorizontal);
    EXPECT_EQ(s->Width(), 150);

    const int length = s->ImageHRuler().Width();
    s->SetEdgeSize(length / 2); // 2 v reaches the length: refused
    EXPECT_EQ(s->EdgeSize(), 2);
    s->SetEdgeSize(-1);
    EXPECT_EQ(s->EdgeSize(), 2);
    s->SetEdgeSize(0);
    EXPECT_EQ(s->EdgeSize(), 0);
    s->SetEdgeSize(3);
    EXPECT_EQ(s->EdgeSize(), 3);

    // A ruler image shorter than the edges accepted earlier: only its first piece.
    TBitmap shortRuler;
    shortRuler.SetSize(5, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x)
            shortRuler.SetPixelColor(x, y, x < 4 ? RGB(10 * x + 10, 0, 0) : clFuchsia);
    shortRuler.SetPixelColor(0, 5, clLime); // its transparent colour
    s->SetImageHRuler(&shortRuler);
    EXPECT_EQ(s->UserImages(), 1 << siHRuler);
    ASSERT_EQ(s->Ruler().Width(), 138);
    EXPECT_EQ(s->Ruler().PixelColor(1, 0), RGB(20, 0, 0));
    EXPECT_EQ(s->Ruler().PixelColor(3, 0), clLime); // beyond the first piece: transparent
    EXPECT_EQ(s->Ruler().PixelColor(100, 0), clLime);
    s->Repaint();

    // The composed ruler of a long image repeats its middle and ends with its far edge.
    TBitmap ruler;
    ruler.SetSize(10, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
            ruler.SetPixelColor(x, y, RGB(static_cast<uint8_t>(x * 20 + 1), 0, 0));
    s->SetImageHRuler(&ruler);
    s->SetEdgeSize(2);
    const TBitmap& r = s->Ruler();
    EXPECT_EQ(r.PixelColor(0, 0), RGB(1, 0, 0));
    EXPECT_EQ(r.PixelColor(r.Width() - 1, 0), RGB(181, 0, 0));
    EXPECT_EQ(r.PixelColor(r.Width() - 2, 0), RGB(161, 0, 0));
    EXPECT_EQ(r.PixelColor(8, 0), RGB(41, 0, 0)); // the middle segment 2..7 again
    s->SetImageHRuler(nullptr);
    EXPECT_EQ(s->UserImages(), 0);
}

TEST_F(Sliders, PositionsTicksAndTheEmptyRange)
{
    auto* s = new OpenSlider(Form.get());
    s->SetParent(Form.get());
    const int track = s->TrackRange();
    ASSERT_GT(track, 0);
    for (int v : {0, 25, 50, 100}) {
        const int expected = 6 + static_cast<int>(std::nearbyint(double(track) * v / 100));
        EXPECT_EQ(s->PositionOfValue(v), expected) << v;
    }
    // An exact half rounds to even.
    s->SetRange(0, 2 * track);
    for (int v = 1; v < 8; v += 2)
        EXPECT_EQ(s->PositionOfValue(v), 6 + static_cast<int>(std::nearbyint(v / 2.0))) << v;

    struct TickCase {
        int min, max;
        std::vector<int> values;
    } tickCases[] = {
        {0, 100, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
        {10, 150, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150}},
    };
    for (const TickCase& c : tickCases) {
        s->SetRange(-1000, 1000);
        s->SetRange(c.min, c.max);
        s->SetIncrement(10);
        auto ticks = s->Ticks(10, 3, 5);
        std::vector<int> values;
        for (auto& t : ticks)
            values.push_back(t.Value);
        const int gap = track / static_cast<int>(c.values.size() - 1);
        if (gap >= 4) {
            EXPECT_EQ(values, c.values);
        } else {
            EXPECT_LT(values.size(), c.values.size());
            EXPECT_EQ(values.back(), c.max);
        }
        EXPECT_EQ(ticks.front().Length, 5);
        EXPECT_EQ(ticks.back().Length, 5);
        if (ticks.size() > 2) {
            EXPECT_EQ(ticks[1].Length, 3);
        }
        const int half = s->ThumbSize().X / 2;
        for (auto& t : ticks)
            EXPECT_EQ(t.Position, s->PositionOfValue(t.Value) + half);
    }

    // An empty range: thumb at the origin, value kept, one tick, no division.
    s->SetRange(0, 100);
    s->SetValue(30);
    s->ForceRange(50, 50);
    EXPECT_EQ(s->PositionOfValue(70), 6);
    EXPECT_EQ(s->ValueAtPosition(60), 30);
    EXPECT_EQ(s->Ticks(10, 3, 5).size(), 1u);
    s->Relayout();
    s->Repaint();
    s->ForceRange(60, 40);
    EXPECT_EQ(s->PositionOfValue(70), 6);
    s->Repaint();
}

TEST_F(Sliders, NoTrackLeavesTheValueToTheKeys)
{
    TExSlider* narrow = Slider();
    narrow->SetWidth(20);
    EXPECT_LE(narrow->TrackRange(), 0);
    narrow->SetValue(40);
    const TRect thumb = narrow->ThumbRect();
    EXPECT_EQ(thumb.Left, 6);
    Press(narrow, thumb.Left + 1, thumb.Top + 1);
    Move(narrow, thumb.Left + 8, thumb.Top + 1);
    Release(narrow, thumb.Left + 8, thumb.Top + 1);
    EXPECT_EQ(narrow->Value(), 40);
    narrow->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_RIGHT);
    EXPECT_EQ(narrow->Value(), 50);
    EXPECT_TRUE(narrow->Ticks(10, 3, 5).size() >= 1);
    narrow->Repaint();

    TExSlider* same = Slider(10, 100);
    TBitmap ruler;
    ruler.SetSize(same->ThumbSize().X + 12, 6);
    same->SetImageHRuler(&ruler);
    same->SetWidth(same->ThumbSize().X + 12);
    EXPECT_EQ(same->TrackRange(), 0);
    same->SetValue(20);
    EXPECT_EQ(same->PositionOfValue(80), 6);
    EXPECT_EQ(same->ValueAtPosition(30), 20);
    EXPECT_EQ(same->SnapPosition(40), 6);
    same->Repaint();
}

TEST_F(Sliders, DraggingTheThumb)
{
    TExSlider* s = Slider();
    s->SetRange(10, 150);
    s->SetIncrement(20);
    int changes = 0, changed = 0;
    s->OnChange = [&](TObject*) { ++changes; };
    s->OnChanged = [&](TObject*) { ++changed; };
    {
        // A slider kept out of the focus chain is dragged without taking the focus.
        TExSlider* aside = Slider(10, 120);
        aside->SetTakesFocus(false);
        const TRect a = aside->ThumbRect();
        Press(aside, a.Left + 2, a.Top + 2);
        EXPECT_TRUE(aside->Sliding());
        EXPECT_EQ(Form->ActiveControl(), nullptr);
        Release(aside, a.Left + 2, a.Top + 2);
    }
    TRect t = s->ThumbRect();
    Press(s, t.Left + 2, t.Top + 2);
    EXPECT_TRUE(s->Sliding());
    EXPECT_TRUE(s->ThumbDown());
    EXPECT_EQ(Form->ActiveControl(), s); // a press takes the focus
    std::vector<int> seen;
    for (int dx = 1; dx <= 40; ++dx) {
        Move(s, t.Left + 2 + dx, t.Top + 2, TShiftState{ssLeft});
        seen.push_back(s->Value());
    }
    // Smooth: every pixel gives a value.
    EXPECT_GT(changes, 20);
    EXPECT_EQ(changed, 0);
    Release(s, t.Left + 42, t.Top + 2);
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(s->Sliding());

    // Not smooth: multiples of Increment above MinValue.
    s->SetOptions(soShowPoints);
    s->SetValue(10);
    t = s->ThumbRect();
    Press(s, t.Left + 2, t.Top + 2);
    for (int dx = 1; dx <= 100; dx += 3) {
        Move(s, t.Left + 2 + dx, t.Top + 2, TShiftState{ssLeft});
        EXPECT_EQ((s->Value() - 10) % 20 == 0 || s->Value() == 150, true) << s->Value();
    }
    Release(s, t.Left + 2, t.Top + 2);

    s->ReadOnly = true;
    const int before = s->Value();
    t = s->ThumbRect();
    Press(s, t.Left + 2, t.Top + 2);
    Move(s, t.Left + 60, t.Top + 2, TShiftState{ssLeft});
    Release(s, t.Left + 60, t.Top + 2);
    EXPECT_EQ(s->Value(), before);
    Press(s, s->Width() - 8, t.Top + 2);
    Release(s, s->Width() - 8, t.Top + 2);
    EXPECT_EQ(s->Value(), before);
}

TEST_F(Sliders, VerticalValuesGrowUpwards)
{
    TExSlider* s = Slider();
    s->SetOrientation(soVertical);
    ASSERT_GT(s->TrackRange(), 0);
    // Positions and values map onto each other, the maximum at the top.
    EXPECT_LT(s->PositionOfValue(100), s->PositionOfValue(0));
    for (int v : {0, 30, 70, 100})
        EXPECT_EQ(s->ValueAtPosition(s->PositionOfValue(v)), v) << v;
    s->SetValue(20);
    const TRect t = s->ThumbRect();
    int changed = 0;
    s->OnChanged = [&](TObject*) { ++changed; };
    Press(s, t.Left + 2, t.Top + 2);
    Move(s, t.Left + 2, t.Top + 2 - 30, TShiftState{ssLeft});
    EXPECT_GT(s->Value(), 20);
    EXPECT_NEAR(s->ThumbRect().Top, t.Top - 30, 1); // the thumb follows the pointer
    Release(s, t.Left + 2, t.Top + 2 - 30);
    EXPECT_EQ(changed, 1);
}

TEST_F(Sliders, HoldingTheRulerStepsUntilTheThumbPassesThePointer)
{
    TExSlider* s = Slider();
    int changed = 0;
    s->OnChanged = [&](TObject*) { ++changed; };
    const int x = s->PositionOfValue(35) + 2;
    const int y = s->RulerOrigin().Y + 1;
    Press(s, x, y);
    EXPECT_TRUE(s->RulerPressed());
    EXPECT_EQ(s->Value(), 10);
    EXPECT_TRUE(s->TimerRunning());
    EXPECT_EQ(s->RepeatTimer().Interval(), 400u);
    s->RepeatTimer().Timer();
    EXPECT_EQ(s->Value(), 20);
    s->RepeatTimer().Timer();
    EXPECT_EQ(s->Value(), 30);
    for (int i = 0; i < 5; ++i)
        s->RepeatTimer().Timer();
    EXPECT_LE(s->Value(), 40);
    EXPECT_TRUE(s->TimerRunning());
    EXPECT_EQ(changed, 0);
    Release(s, x, y);
    EXPECT_FALSE(s->TimerRunning());
    EXPECT_FALSE(s->RulerPressed());
    EXPECT_EQ(changed, 1);

    // Freed while its timer runs.
    TExSlider* gone = Slider(10, 100);
    Press(gone, gone->Width() - 10, gone->RulerOrigin().Y + 1);
    EXPECT_TRUE(gone->TimerRunning());
    delete gone;
}

TEST_F(Sliders, TheHandShowsOverTheThumb)
{
    TExSlider* s = Slider();
    const TRect t = s->ThumbRect();
    Move(s, t.Left + 2, t.Top + 2);
    EXPECT_EQ(TestHooks::ShownCursor(s), crExHand);
    Move(s, s->Width() - 5, s->Height() - 3);
    EXPECT_EQ(TestHooks::ShownCursor(s), s->Cursor());
    EXPECT_EQ(s->CursorAt(t.Left + 1, t.Top + 1), crExHand);
}

TEST_F(Sliders, UserImagesRoundTrip)
{
    TExSlider* a = Slider();
    TBitmap thumb;
    thumb.SetSize(12, 20);
    a->SetImageHThumb(&thumb);
    a->SetImageVRuler(&thumb);
    TMemoryStream stream;
    a->WriteUserImages(stream);
    EXPECT_EQ(stream.Size(), 1);
    stream.SetPosition(0);
    TExSlider* b = Slider(10, 100);
    b->ReadUserImages(stream);
    EXPECT_EQ(b->UserImages(), a->UserImages());
    b->Loaded();
    EXPECT_EQ(b->UserImages(), (1 << siHThumb) | (1 << siVRuler));
}

TEST_F(Sliders, BadInputGivesSoundResults)
{
    TExSlider* s = Slider();
    s->SetRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    s->SetIncrement(std::numeric_limits<int>::max());
    EXPECT_EQ(s->Increment(), std::numeric_limits<int>::max());
    s->SetValue(0);
    s->StepBy(skUp);
    s->StepBy(skDown);
    s->StepBy(skToMax);
    EXPECT_EQ(s->Value(), std::numeric_limits<int>::max());
    s->StepBy(skUp);
    s->StepBy(skToMin);
    EXPECT_EQ(s->Value(), std::numeric_limits<int>::min());
    s->StepBy(skDown);
    EXPECT_EQ(s->Value(), std::numeric_limits<int>::min());
    EXPECT_GE(s->Ticks(1, 3, 5).size(), 1u);
    s->SetIncrement(1);
    s->Repaint();
    try {
        s->SetIncrement(0);
        ADD_FAILURE();
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "Value must be between 1 and 4294967295");
    }

    TExSlider* tiny = Slider(0, 0);
    tiny->SetBounds(0, 0, 1, 1);
    tiny->Repaint();
    TExSlider* low = Slider(0, 0);
    low->SetOrientation(soVertical);
    low->SetBounds(0, 0, 40, 10);
    EXPECT_EQ(low->Ruler().Height(), 0);
    low->Repaint();
    TExSlider* odd = Slider(0, 50);
    TBitmap empty;
    odd->SetImageHRuler(&empty);
    odd->Repaint();
    TBitmap one;
    one.SetSize(1, 10);
    odd->SetImageHThumb(&one);
    EXPECT_EQ(odd->ThumbSize().X, 0);
    odd->Repaint();
    TBitmap huge;
    huge.SetSize(400, 10);
    odd->SetImageHThumb(&huge);
    odd->SetValue(70);
    odd->Repaint();
    odd->SetImage(siHThumb, &empty);
    odd->Repaint();
}

TEST_F(Sliders, BevelsThumbsTicksAndChildren)
{
    // The bevel: one pixel of shadow and highlight, swapped between the two styles.
    struct BevelCase {
        TBevelCut style;
        TColor topLeft, bottomRight;
    } bevels[] = {{bvLowered, clBtnShadow, clBtnHighlight}, {bvRaised, clBtnHighlight, clBtnShadow}};
    for (const BevelCase& c : bevels) {
        SCOPED_TRACE(c.style);
        TExSlider* s = Slider();
        s->SetColor(clAqua);
        s->SetBevelStyle(c.style);
        EXPECT_EQ(TestHooks::ControlPixel(s, 0, 20), ColorToRGB(c.topLeft));
        EXPECT_EQ(TestHooks::ControlPixel(s, 75, 0), ColorToRGB(c.topLeft));
        EXPECT_EQ(TestHooks::ControlPixel(s, s->Width() - 1, 20), ColorToRGB(c.bottomRight));
        EXPECT_EQ(TestHooks::ControlPixel(s, 75, s->Height() - 1), ColorToRGB(c.bottomRight));
        EXPECT_EQ(TestHooks::ControlPixel(s, 1, s->Height() - 3), ColorToRGB(clAqua));
        // The parts move inside the bevel; a child aligned to fill stays inside it too.
        EXPECT_EQ(s->RulerOrigin().X, 7);
        auto* child = PlaceControl<TPanel>(s, 0, 0, 10, 10);
        child->SetAlign(alClient);
        EXPECT_EQ(child->BoundsRect(), Rect(1, 1, s->Width() - 1, s->Height() - 1));
        delete s;
    }

    // The thumb's transparent pixels show the slider's colour, not the ruler under it.
    TExSlider* s = Slider();
    s->SetColor(clAqua);
    TBitmap ruler;
    ruler.SetSize(20, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 20; ++x)
            ruler.SetPixelColor(x, y, clNavy);
    ruler.SetPixelColor(0, 29, RGB(1, 2, 3)); // transparent: a colour nothing else uses
    s->SetImageHRuler(&ruler);
    TBitmap thumb;
    thumb.SetSize(20, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            thumb.SetPixelColor(x, y, x < 10 ? clRed : clLime);
    thumb.SetPixelColor(0, 9, clFuchsia); // bottom left: the transparent colour
    s->SetImageHThumb(&thumb);
    const TRect t = s->ThumbRect();
    ASSERT_EQ(t.Width(), 10);
    ASSERT_LT(s->RulerOrigin().Y, t.Bottom); // the ruler lies under the thumb
    EXPECT_EQ(TestHooks::ControlPixel(s, t.Left + 3, t.Top + 3), ColorToRGB(clRed));
    EXPECT_EQ(TestHooks::ControlPixel(s, t.Left, t.Bottom - 1), ColorToRGB(clAqua));
    // Held, the second state shows; one state takes the whole image.
    Press(s, t.Left + 3, t.Top + 3);
    EXPECT_EQ(TestHooks::ControlPixel(s, t.Left + 3, t.Top + 3), ColorToRGB(clLime));
    Release(s, t.Left + 3, t.Top + 3);
    EXPECT_EQ(TestHooks::ControlPixel(s, t.Left + 3, t.Top + 3), ColorToRGB(clRed));
    s->SetNumThumbStates(1);
    EXPECT_EQ(s->ThumbRect().Width(), 20);

    // OnDrawPoints replaces the ticks; DrawTicks draws them from it.
    TExSlider* ticks = Slider(10, 120);
    ticks->SetColor(clAqua);
    const auto marks = ticks->Ticks(ticks->Increment(), 3, 5);
    const int x = marks[1].Position;
    const int base = ticks->TickArea().Top;
    EXPECT_EQ(TestHooks::ControlPixel(ticks, x, base + 1), ColorToRGB(clWindowText));
    int calls = 0;
    ticks->OnDrawPoints = [&](TObject* sender) {
        ++calls;
        EXPECT_EQ(sender, ticks);
    };
    ticks->Invalidate();
    EXPECT_EQ(TestHooks::ControlPixel(ticks, x, base + 1), ColorToRGB(clAqua));
    EXPECT_GE(calls, 1);
    ticks->OnDrawPoints = [&](TObject*) { ticks->DrawTicks(ticks->Increment(), 3, 5); };
    ticks->Invalidate();
    EXPECT_EQ(TestHooks::ControlPixel(ticks, x, base + 1), ColorToRGB(clWindowText));
}

// A slider freed by its own OnChange or OnChanged, in each user action that fires them.
TEST_F(Sliders, FreedByItsOwnHandlers)
{
    enum Action { Key, Drag, ThumbRelease, RulerPress, RulerTick, RulerRelease };
    struct Case {
        Action action;
        bool onChanged; // else OnChange
    } cases[] = {
        {Key, false},          {Key, true},        {Drag, false},        {ThumbRelease, true},
        {RulerPress, false},   {RulerTick, false}, {RulerRelease, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.action) + (c.onChanged ? " OnChanged" : " OnChange"));
        TExSlider* s = Slider();
        s->SetValue(50);
        const TRect t = s->ThumbRect();
        const int rulerX = s->Width() - 10, rulerY = s->RulerOrigin().Y + 1;
        bool armed = c.action != RulerTick && c.action != RulerRelease && c.action != ThumbRelease;
        auto freeIt = [&](TObject*) {
            if (!armed || !s)
                return;
            TExSlider* dead = s;
            s = nullptr;
            delete dead; // frees this handler too: nothing after it
        };
        if (c.onChanged)
            s->OnChanged = freeIt;
        else
            s->OnChange = freeIt;
        switch (c.action) {
        case Key:
            s->SetFocus();
            TestHooks::KeyStroke(Form.get(), VK_RIGHT);
            break;
        case Drag:
            Press(s, t.Left + 2, t.Top + 2);
            Move(Form.get(), 10 + t.Left + 40, 10 + t.Top + 2, TShiftState{ssLeft});
            TestHooks::MouseUp(Form.get(), mbLeft, Point(10 + t.Left + 40, 10 + t.Top + 2));
            break;
        case ThumbRelease:
            Press(s, t.Left + 2, t.Top + 2);
            armed = true;
            TestHooks::MouseUp(Form.get(), mbLeft, Point(10 + t.Left + 2, 10 + t.Top + 2));
            break;
        case RulerPress:
            Press(s, rulerX, rulerY);
            TestHooks::MouseUp(Form.get(), mbLeft, Point(10 + rulerX, 10 + rulerY));
            break;
        case RulerTick:
            Press(s, rulerX, rulerY);
            armed = true;
            s->RepeatTimer().Timer();
            TestHooks::MouseUp(Form.get(), mbLeft, Point(10 + rulerX, 10 + rulerY));
            break;
        case RulerRelease:
            Press(s, rulerX, rulerY);
            armed = true;
            TestHooks::MouseUp(Form.get(), mbLeft, Point(10 + rulerX, 10 + rulerY));
            break;
        }
        EXPECT_EQ(s, nullptr);
        delete s;
    }
}

TEST_F(Sliders, TheGammaSliderOfTheSettingsDialog)
{
    auto* before = PlaceControl<TEdit>(Form.get(), 150, 10, 100, 21);
    TGroupBox* group = PlaceControl<TGroupBox>(Form.get(), 10, 10, 113, 145);
    auto* s = new TExSlider(Form.get());
    s->SetParent(group);
    s->SetRange(10, 150);
    s->SetValue(50);
    s->SetAlign(alBottom);
    EXPECT_EQ(s->Top() + s->Height(), group->ClientHeight());
    EXPECT_EQ(s->Width(), group->ClientWidth());
    int changes = 0, enters = 0;
    s->OnChange = [&](TObject*) { ++changes; };
    s->OnEnter = [&](TObject*) { ++enters; };
    before->SetFocus();
    ASSERT_EQ(Form->ActiveControl(), before);
    TestHooks::KeyStroke(Form.get(), VK_TAB);
    EXPECT_EQ(Form->ActiveControl(), s);
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(s->Focused());
    TestHooks::KeyStroke(Form.get(), VK_RIGHT);
    EXPECT_EQ(s->Value(), 60);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Form->ActiveControl(), s); // the arrow key stepped; the focus stayed
    const TRect t = s->ThumbRect();
    Press(s, t.Left + 2, t.Top + 2);
    Move(s, t.Left + 30, t.Top + 2, TShiftState{ssLeft});
    Release(s, t.Left + 30, t.Top + 2);
    EXPECT_GT(s->Value(), 60);
    EXPECT_GE(changes, 2);
}

} // namespace
