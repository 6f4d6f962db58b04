// The shadowed label: sizing, shadows, disabled looks, accelerators and focus frames.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "tesk/widgets/ShadowLabels.h"

namespace {

class Labels : public WidgetForm {
protected:
    TExLabel* Label(const std::string& caption, int left = 10, int top = 10)
    {
        auto* l = PlaceControl<TExLabel>(Form.get(), left, top, 65, 17);
        l->SetCaption(caption);
        return l;
    }
};

TEST_F(Labels, ConstructionDefaults)
{
    auto* l = new TExLabel(Form.get());
    EXPECT_EQ(l->Width(), 65);
    EXPECT_EQ(l->Height(), 17);
    EXPECT_TRUE(l->ControlStyle & csOpaque);
    EXPECT_TRUE(l->ControlStyle & csReplicatable);
    EXPECT_FALSE(l->Transparent());
    EXPECT_TRUE(l->ParentFont());
    EXPECT_TRUE(l->AutoSize());
    EXPECT_EQ(l->ShadowSize(), 1);
    EXPECT_EQ(l->ShadowPos(), spLeftTop);
    EXPECT_EQ(l->ShadowColor(), clBtnHighlight);
    EXPECT_TRUE(l->ShowAccelChar());
    EXPECT_FALSE(l->ShowFocus());
    EXPECT_EQ(l->Layout(), tlTop);
}

} // namespace
