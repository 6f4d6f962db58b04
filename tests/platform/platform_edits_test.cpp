#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clipbrd.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/System.h"
#include "platform/TestHooks.h"
#include "tests/support/FormPictures.h"

namespace {

// Types a text through the key hooks: digits, letters, '.', ',', '-' and spaces.
void Type(TForm& form, const std::string& text)
{
    for (char c : text) {
        if (c >= '0' && c <= '9')
            TestHooks::KeyStroke(&form, static_cast<WORD>(c));
        else if (c >= 'a' && c <= 'z')
            TestHooks::KeyStroke(&form, static_cast<WORD>(c - 'a' + 'A'));
        else if (c >= 'A' && c <= 'Z')
            TestHooks::KeyStroke(&form, static_cast<WORD>(c), {ssShift});
        else if (c == '.')
            TestHooks::KeyStroke(&form, VK_OEM_PERIOD);
        else if (c == ',')
            TestHooks::KeyStroke(&form, VK_OEM_COMMA);
        else if (c == '-')
            TestHooks::KeyStroke(&form, VK_OEM_MINUS);
        else if (c == ' ')
            TestHooks::KeyStroke(&form, VK_SPACE);
    }
}

struct EditForm : TForm {
    TEdit* Edit;
    EditForm()
    {
        SetBounds(0, 0, 300, 120);
        Edit = PlaceControl<TEdit>(this, 10, 10, 150, 21);
        Show();
        TestHooks::SetActiveForm(this);
        Edit->SetFocus();
    }
    ~EditForm() override { TestHooks::Reset(); }
};

// An edit whose paste step refuses.
class NoPasteEdit : public TEdit {
public:
    using TEdit::TEdit;
    int Refused = 0;
    void PasteFromClipboard() override { ++Refused; }
};

// A window-less control that counts its clicks and paints itself red.
class Spot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int Clicks = 0;
    void Click() override { ++Clicks; }

protected:
    void Paint() override
    {
        Canvas().Brush.Color = clRed;
        Canvas().FillRect(Rect(0, 0, Width(), Height()));
    }
};

// An edit that draws its own content while Drawing is on.
class DrawnEdit : public TEdit {
public:
    using TEdit::TEdit;
    bool Drawing = false;
    bool OwnerDraws() const override { return Drawing; }
    void DrawContent(TCanvas& canvas) override
    {
        canvas.Brush.Color = clBlue;
        canvas.FillRect(Rect(2, 2, 12, 12));
    }
};

} // namespace

TEST(Edits, TheCharacterKeyPressLeavesIsTheOneTyped)
{
    EditForm f;
    f.Edit->OnKeyPress = [](TObject*, char& key) {
        if (key == '.')
            key = ',';
        else if (key == 'x' || key == 8)
            key = 0;
    };
    int changes = 0;
    f.Edit->OnChange = [&](TObject*) { ++changes; };
    Type(f, ".5x");
    EXPECT_EQ(f.Edit->Text(), ",5");
    EXPECT_EQ(changes, 2);
    TestHooks::KeyStroke(&f, VK_BACK);
    EXPECT_EQ(f.Edit->Text(), ",5");
    EXPECT_EQ(TestHooks::BeepCount(), 0);
    // Without the handler Backspace deletes again.
    f.Edit->OnKeyPress = nullptr;
    TestHooks::KeyStroke(&f, VK_BACK);
    EXPECT_EQ(f.Edit->Text(), ",");
}

TEST(Edits, CtrlLetterCharactersPassThroughKeyPressAndCanBeRefused)
{
    struct Case {
        const char* name;
        WORD key;
        TShiftState shift;
        char seen;          // the character KeyPress gets (0: none)
        std::string text;   // the text after the key, refused by the handler
    };
    const Case cases[] = {
        {"Ctrl+V refused", 'V', {ssCtrl}, 22, "abc"},
        {"Ctrl+X refused", 'X', {ssCtrl}, 24, "abc"},
        {"Shift+Insert is no character", VK_INSERT, {ssShift}, 0, "pasted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditForm f;
        std::vector<char> seen;
        f.Edit->OnKeyPress = [&](TObject*, char& key) {
            seen.push_back(key);
            if (static_cast<unsigned char>(key) < 32)
                key = 0;
        };
        f.Edit->SetText("abc");
        f.Edit->SelectAll();
        Clipboard()->SetAsText("pasted");
        TestHooks::KeyStroke(&f, c.key, c.shift);
        EXPECT_EQ(seen, c.seen ? std::vector<char>{c.seen} : std::vector<char>{});
        EXPECT_EQ(f.Edit->Text(), c.text);
        EXPECT_EQ(Clipboard()->AsText(), "pasted");
    }
}

TEST(Edits, SelectionAndModifiedFlag)
{
    EditForm f;
    int changes = 0;
    f.Edit->OnChange = [&](TObject*) { ++changes; };
    f.Edit->SetText("hello");
    EXPECT_FALSE(f.Edit->Modified());
    EXPECT_EQ(changes, 1);
    f.Edit->SetSelStart(1);
    f.Edit->SetSelLength(3);
    EXPECT_EQ(f.Edit->SelStart(), 1);
    EXPECT_EQ(f.Edit->SelLength(), 3);
    EXPECT_EQ(f.Edit->SelText(), "ell");
    f.Edit->SetSelText("ipp");
    EXPECT_EQ(f.Edit->Text(), "hippo");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(f.Edit->SelStart(), 4);
    EXPECT_EQ(f.Edit->SelLength(), 0);
    f.Edit->SetSelLength(50); // held to the end of the text
    EXPECT_EQ(f.Edit->SelLength(), 1);
    Type(f, "s");
    EXPECT_EQ(f.Edit->Text(), "hipps");
    EXPECT_TRUE(f.Edit->Modified());
    EXPECT_EQ(f.Edit->SelStart(), 5);
    f.Edit->SetModified(false);
    f.Edit->SetText("other");
    EXPECT_FALSE(f.Edit->Modified());
    f.Edit->SetSelStart(-3);
    EXPECT_EQ(f.Edit->SelStart(), 0);
    f.Edit->SetSelStart(99);
    EXPECT_EQ(f.Edit->SelStart(), 5);
}

TEST(Edits, FrameAndClientArea)
{
    struct Case {
        TBorderStyle border;
        bool ctl3d;
        int inset;
    };
    const Case cases[] = {{bsSingle, true, 2}, {bsSingle, false, 1}, {bsNone, true, 0}, {bsNone, false, 0}};
    for (const Case& c : cases) {
        EditForm f;
        f.Edit->SetBorderStyle(c.border);
        f.Edit->SetCtl3D(c.ctl3d);
        EXPECT_EQ(f.Edit->ClientWidth(), 150 - 2 * c.inset);
        EXPECT_EQ(f.Edit->ClientHeight(), 21 - 2 * c.inset);
        const TPoint origin = f.Edit->ClientToScreen(Point(0, 0));
        const TPoint formOrigin = f.ClientToScreen(Point(0, 0));
        EXPECT_EQ(origin.X - formOrigin.X, 10 + c.inset);
        EXPECT_EQ(TestHooks::ControlToForm(f.Edit, Point(0, 0)).X, 10);
        TBitmap picture = DrawControlPicture(f);
        const TColor outer = picture.PixelColor(10, 15);
        if (c.inset == 0)
            EXPECT_EQ(outer, ColorToRGB(clWindow));
        else if (c.inset == 1)
            EXPECT_EQ(outer, ColorToRGB(clWindowFrame));
        else
            EXPECT_EQ(outer, ColorToRGB(clBtnShadow));
    }
}

TEST(Edits, EditRectangleKeepsTextAwayFromAChildThatTakesItsOwnClicks)
{
    EditForm f;
    const int cw = f.Edit->ClientWidth();
    f.Edit->SetEditRect(Rect(0, 0, cw - 21, f.Edit->ClientHeight()));
    EXPECT_EQ(f.Edit->EditRect().Right, cw - 21);
    EXPECT_GT(f.Edit->LeftMargin(), 0);
    EXPECT_GE(f.Edit->RightMargin(), 0);
    auto* spot = new Spot(f.Edit);
    spot->SetParent(f.Edit);
    spot->SetBounds(cw - 19, 2, 16, 14);
    f.Edit->SetText("");
    Type(f, "a long text that is far wider than the edit can show at once");
    TBitmap picture = DrawControlPicture(f);
    // The child shows whole: red all over its bounds, the text never drawn there.
    const TPoint at = TestHooks::ControlToForm(spot, Point(0, 0));
    int red = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 16; ++x)
            red += picture.PixelColor(at.X + x, at.Y + y) == clRed;
    EXPECT_EQ(red, 16 * 14);
    // Text shows left of it, and the gap between them is the edit's colour.
    bool dark = false;
    for (int y = 0; y < 21; ++y)
        for (int x = 12; x < 10 + 2 + cw - 21; ++x)
            dark = dark || picture.PixelColor(x, 10 + y) == clBlack;
    EXPECT_TRUE(dark);
    for (int y = 2; y < 19; ++y)
        EXPECT_EQ(picture.PixelColor(at.X - 1, 10 + y), ColorToRGB(clWindow)) << y;
    const std::string before = f.Edit->Text();
    const TPoint click = TestHooks::ControlToForm(spot, Point(5, 5));
    TestHooks::MouseDown(&f, mbLeft, click);
    TestHooks::MouseUp(&f, mbLeft, click);
    EXPECT_EQ(spot->Clicks, 1);
    EXPECT_EQ(f.Edit->Text(), before);
}

TEST(Edits, ClipboardStepsCanBeRefused)
{
    TForm form;
    form.SetBounds(0, 0, 300, 100);
    auto* edit = PlaceControl<NoPasteEdit>(&form, 10, 10, 150, 21);
    form.Show();
    TestHooks::SetActiveForm(&form);
    edit->SetFocus();
    edit->SetText("keep");
    Clipboard()->SetAsText("pasted");
    TestHooks::KeyStroke(&form, 'V', {ssCtrl});
    TestHooks::KeyStroke(&form, VK_INSERT, {ssShift});
    EXPECT_TRUE(TestHooks::ChooseEditMenuItem(edit, "Paste"));
    EXPECT_EQ(edit->Text(), "keep");
    EXPECT_EQ(edit->Refused, 3);
    // The other steps through the keys: cut, copy, and the base paste.
    edit->SelectAll();
    TestHooks::KeyStroke(&form, 'X', {ssCtrl});
    EXPECT_EQ(edit->Text(), "");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(Clipboard()->AsText(), "keep");
    edit->SetText("abc");
    edit->SelectAll();
    TestHooks::KeyStroke(&form, VK_INSERT, {ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "abc");
    edit->TEdit::PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "abc");
    // A read-only edit never cuts or pastes.
    edit->SetReadOnly(true);
    edit->SelectAll();
    TestHooks::KeyStroke(&form, VK_DELETE, {ssShift});
    edit->TEdit::PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "abc");
    TestHooks::Reset();
}

TEST(Edits, OwnerDrawingReplacesTheTextWhileOn)
{
    TForm form;
    form.SetBounds(0, 0, 300, 100);
    auto* edit = PlaceControl<DrawnEdit>(&form, 10, 10, 150, 21);
    form.Show();
    edit->SetText("WWWW");
    edit->Drawing = true;
    edit->Invalidate();
    TBitmap picture = DrawControlPicture(form);
    const TPoint at = TestHooks::ControlToForm(edit, edit->ClientOrigin());
    EXPECT_EQ(picture.PixelColor(at.X + 5, at.Y + 5), clBlue);
    EXPECT_EQ(picture.PixelColor(at.X + 1, at.Y + 1), ColorToRGB(clWindow));
    int dark = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 17; ++y)
            dark += picture.PixelColor(at.X + x, at.Y + y) == clBlack;
    EXPECT_EQ(dark, 0); // no text drawn by the edit
    edit->Drawing = false;
    edit->Invalidate();
    picture = DrawControlPicture(form);
    EXPECT_NE(picture.PixelColor(at.X + 5, at.Y + 5), clBlue);
    dark = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 17; ++y)
            dark += picture.PixelColor(at.X + x, at.Y + y) == clBlack;
    EXPECT_GT(dark, 0);
}

TEST(Edits, CharCaseAutoSelectAndCaret)
{
    TForm form;
    form.SetBounds(0, 0, 300, 100);
    auto* first = PlaceControl<TEdit>(&form, 10, 10, 100, 21);
    auto* second = PlaceControl<TEdit>(&form, 10, 40, 100, 21);
    form.Show();
    TestHooks::SetActiveForm(&form);
    first->SetFocus();
    first->SetCharCase(ecUpperCase);
    Type(form, "abc");
    EXPECT_EQ(first->Text(), "ABC");
    Clipboard()->SetAsText("xyz");
    TestHooks::KeyStroke(&form, 'V', {ssCtrl});
    EXPECT_EQ(first->Text(), "ABCXYZ");
    first->SetCharCase(ecLowerCase);
    EXPECT_EQ(first->Text(), "abcxyz");

    second->SetText("second");
    TestHooks::KeyStroke(&form, VK_TAB);
    ASSERT_TRUE(second->Focused());
    EXPECT_EQ(second->SelLength(), 6); // Tab selects all
    // A click puts the caret where it lands and selects nothing.
    const TPoint at = TestHooks::ControlToForm(first, Point(3, 5));
    TestHooks::MouseDown(&form, mbLeft, at);
    TestHooks::MouseUp(&form, mbLeft, at);
    ASSERT_TRUE(first->Focused());
    EXPECT_EQ(first->SelLength(), 0);
    // AutoSelect off: Tab selects nothing.
    second->SetAutoSelect(false);
    second->SetSelStart(0);
    TestHooks::KeyStroke(&form, VK_TAB);
    ASSERT_TRUE(second->Focused());
    EXPECT_EQ(second->SelLength(), 0);

    EXPECT_EQ(second->CaretWidth(), 1);
    second->SetCaretWidth(2);
    EXPECT_EQ(second->CaretWidth(), 2);
    second->SetCaretWidth(7);
    EXPECT_EQ(second->CaretWidth(), 2);
    second->HideCaret();
    EXPECT_FALSE(second->CaretShown());
    second->ShowCaret();
    EXPECT_TRUE(second->CaretShown());
    TestHooks::Reset();
}

TEST(Edits, MaskEditStoresItsMask)
{
    TForm form;
    auto* edit = PlaceControl<TCustomMaskEdit>(&form, 0, 0, 100, 21);
    edit->SetEditMask("!99/99/00;1;_");
    EXPECT_EQ(edit->EditMask(), "!99/99/00;1;_");
    edit->SetText("not a date");
    edit->ValidateEdit(); // no checking
    EXPECT_EQ(edit->Text(), "not a date");
    EXPECT_FALSE(edit->OEMConvert());
    edit->SetOEMConvert(true);
    EXPECT_TRUE(edit->OEMConvert());
    EXPECT_TRUE(edit->HideSelection());
}
