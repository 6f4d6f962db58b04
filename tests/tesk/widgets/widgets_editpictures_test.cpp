// Pictures of the combo edits and numeric fields in their states, compared with the
// references in tests/tesk/widgets/files (TP_UPDATE_PICTURES=1 records them again).
#include <gtest/gtest.h>

#include <string>

#include "EditTestSupport.h"
#include "WidgetTestSupport.h"
#include "platform/SysUtils.h"
#include "tesk/widgets/ComboEdits.h"
#include "tesk/widgets/NumEdits.h"
#include "tests/support/FormPictures.h"

namespace {

class EditPictures : public WidgetForm {
protected:
    void SetUp() override
    {
        WidgetForm::SetUp();
        TestHooks::SetActiveForm(Form.get());
        TestHooks::SetCaretBlinking(false);
    }
    void TearDown() override
    {
        NewStyleControls = true;
        WidgetForm::TearDown();
    }
};

TEST_F(EditPictures, ComboEdits)
{
    Form->SetClientWidth(300);
    Form->SetClientHeight(180);
    auto file = [&](int x, int y, const std::string& text) {
        auto* e = PlaceControl<TFilenameEdit>(Form.get(), x, y, 137, 21);
        e->SetText(text);
        return e;
    };
    file(8, 8, "Morrowfinch.jpg");
    auto* longName = file(8, 36, "/home/player/levels/a rather long folder name/Zodezodi.s3m");
    auto* focused = file(8, 64, "BasicTiles.JPG");
    auto* disabled = file(8, 92, "Disabled.jpg");
    disabled->SetEnabled(false);
    auto combo = [&](int x, int y, const std::string& text) {
        auto* e = PlaceControl<TCustomComboEdit>(Form.get(), x, y, 137, 21);
        e->SetText(text);
        return e;
    };
    combo(8, 120, "Ellipsis")->SetGlyphKind(gkEllipsis);
    combo(8, 148, "Drop-down")->SetGlyphKind(gkDropDown);
    combo(155, 8, "No button")->SetButtonWidth(0);
    auto* noBorder = combo(155, 36, "No border");
    noBorder->SetGlyphKind(gkEllipsis);
    noBorder->SetBorderStyle(bsNone);
    auto* flat = combo(155, 64, "No 3D");
    flat->SetGlyphKind(gkDropDown);
    flat->SetCtl3D(false);
    NewStyleControls = false;
    auto* old = combo(155, 92, "Old look");
    old->SetGlyphKind(gkEllipsis);
    old->UpdateControlsPos();
    NewStyleControls = true;
    TestHooks::RunPostedMessages();

    // The long name scrolled to its end, then the focus with all selected.
    longName->SetFocus();
    longName->SetSelStart(static_cast<int>(longName->Text().size()));
    focused->SetFocus();
    focused->SelectAll();
    TestHooks::RunPostedMessages();
    ASSERT_TRUE(focused->Focused());
    TBitmap picture = DrawControlPicture(*Form);
    NewStyleControls = false;
    old->Invalidate();
    const TBitmap oldLook = DrawControlPicture(*Form);
    NewStyleControls = true;
    CopyPart(picture, oldLook, old->BoundsRect());
    ComparePicture(picture, "comboedits");
}

TEST_F(EditPictures, NumEdits)
{
    Form->SetClientWidth(300);
    Form->SetClientHeight(148);
    auto field = [&](int x, int y, double value) {
        auto* e = PlaceControl<TCustomNumEdit>(Form.get(), x, y, 137, 21);
        e->SetValue(value);
        return e;
    };
    field(8, 8, 1234.5);
    auto* focused = field(8, 36, 1234.5);
    auto* zeroFocused = field(8, 64, 0);
    field(8, 92, 0);
    field(155, 8, 1234.5)->SetEnabled(false);
    field(155, 36, 1234.5)->SetAlignment(taCenter);
    field(155, 64, 1234.5)->SetAlignment(taLeftJustify);
    TestHooks::RunPostedMessages();
    zeroFocused->SetFocus();
    TestHooks::RunPostedMessages();
    TBitmap picture = DrawControlPicture(*Form);
    // The focused field shows the edit format.
    focused->SetFocus();
    TestHooks::RunPostedMessages();
    ASSERT_EQ(focused->Text(), "1234.5");
    const TBitmap second = DrawControlPicture(*Form);
    CopyPart(picture, second, focused->BoundsRect());
    // The separators swapped.
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    auto* swapped = field(155, 92, 1234.5);
    TestHooks::RunPostedMessages();
    const TBitmap third = DrawControlPicture(*Form);
    DecimalSeparator = '.';
    ThousandSeparator = ',';
    CopyPart(picture, third, swapped->BoundsRect());
    // The calculator open after "1", "2", "+": its display in the field.
    auto* calc = PlaceControl<TExCalcEdit>(Form.get(), 8, 120, 137, 21);
    calc->SetValue(7);
    calc->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    ASSERT_TRUE(calc->PopupOpen());
    TypeText(Form.get(), "12+");
    ASSERT_EQ(calc->Popup()->GetPopupText(), "12");
    TestHooks::RunPostedMessages();
    const TBitmap fourth = DrawControlPicture(*Form);
    CopyPart(picture, fourth, calc->BoundsRect());
    ComparePicture(picture, "numedits");
}

} // namespace
