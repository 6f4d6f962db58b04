// The slider: values, steps, geometry, mouse, keys and bad input.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
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
