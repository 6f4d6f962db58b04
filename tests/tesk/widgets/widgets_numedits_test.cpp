// The numeric field: typing, clamping, leaving, pasting, the texts it shows, and bad
// numbers of every kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EditTestSupport.h"
#include "WidgetTestSupport.h"
#include "platform/Clipbrd.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "platform/System.h"
#include "tesk/widgets/Calculators.h"
#include "tesk/widgets/NumEdits.h"
#include "tests/support/FormPictures.h"

namespace {

struct Separators {
    char decimal, thousand;
};

class NumEdits : public WidgetForm {
protected:
    void SetUp() override
    {
        WidgetForm::SetUp();
        TestHooks::SetActiveForm(Form.get());
        Other = PlaceControl<TEdit>(Form.get(), 10, 200, 100, 21);
    }
    // A field; Tab from it wraps round to the plain edit made first, to leave it for.
    TCustomNumEdit* Field(int x = 10, int y = 10, int w = 120)
    {
        return PlaceControl<TCustomNumEdit>(Form.get(), x, y, w, 21);
    }
    // A fresh focused field with the given limits.
    TCustomNumEdit* Focused(double min = 0, double max = 0, unsigned places = 2)
    {
        auto* e = Field();
        e->SetMinValue(min);
        e->SetMaxValue(max);
        e->SetDecimalPlaces(places);
        e->SetFocus();
        return e;
    }
    void Paste(const std::string& text)
    {
        Clipboard()->SetAsText(text);
        TestHooks::KeyStroke(Form.get(), 'V', {ssCtrl});
    }
    TEdit* Other = nullptr;
};

TEST_F(NumEdits, Defaults)
{
    auto* e = Field();
    EXPECT_EQ(e->MaxLength(), 0);
    EXPECT_TRUE(e->BeepOnError());
    EXPECT_EQ(e->Alignment(), taRightJustify);
    EXPECT_EQ(e->TCustomComboEdit::Alignment(), taLeftJustify);
    EXPECT_EQ(e->TEdit::Alignment(), taLeftJustify);
    EXPECT_EQ(e->DisplayFormat(), ",0.##");
    EXPECT_EQ(e->DecimalPlaces(), 2u);
    EXPECT_TRUE(e->ZeroEmpty());
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(e->DefaultGlyphCount(), 2);
    EXPECT_EQ(e->GlyphKind(), gkDefault);
    ASSERT_NE(CalcEditGlyph(), nullptr);
    EXPECT_EQ(e->Glyph().Width(), 28);
    EXPECT_EQ(e->NumGlyphs(), 2);
    EXPECT_EQ(e->ButtonWidth(), 20);
    EXPECT_EQ(e->Value(), 0);
    EXPECT_EQ(e->EditFormat(), "0.##");
    e->SetDecimalPlaces(0);
    EXPECT_EQ(e->EditFormat(), "0");
}

TEST_F(NumEdits, Typing)
{
    struct Case {
        const char* what;
        double min, max;
        unsigned places;
        Separators seps;
        bool beep;
        std::vector<std::string> keys; // "<home>", "<right>", "<esc>" or characters
        const char* text;
        int beeps;
    } cases[] = {
        {"third decimal", 0, 0, 2, {'.', ','}, true, {"1.234"}, "1.23", 1},
        {"no decimals", 0, 0, 0, {'.', ','}, true, {"1.5"}, "1.", 1},
        {"minus kept at min 0", 0, 10, 2, {'.', ','}, true, {"-"}, "-", 0},
        {"negative refused", 0, 10, 2, {'.', ','}, true, {"-5"}, "-", 1},
        {"negative allowed", -10, 10, 2, {'.', ','}, true, {"-5"}, "-5", 0},
        {"1e is no number", 0, 0, 2, {'.', ','}, true, {"1e"}, "1", 1},
        {"exponent inserted", 0, 0, 2, {'.', ','}, true, {"15", "<home>", "<right>", "e"}, "1e5", 0},
        {"point as comma", 0, 0, 2, {',', '.'}, true, {"1.5"}, "1,5", 0},
        {"comma as point", 0, 0, 2, {'.', ','}, true, {"1,5"}, "1.5", 0},
        {"no beep", 0, 0, 2, {'.', ','}, false, {"1.234"}, "1.23", 0},
        {"esc restores", 0, 0, 2, {'.', ','}, true, {"12", "<esc>"}, "", 0},
        {"point first", 0, 0, 2, {'.', ','}, true, {"."}, "", 1},
        {"letters", 0, 0, 2, {'.', ','}, true, {"ab"}, "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DecimalSeparator = c.seps.decimal;
        ThousandSeparator = c.seps.thousand;
        auto* e = Focused(c.min, c.max, c.places);
        e->SetBeepOnError(c.beep);
        const int before = TestHooks::BeepCount();
        for (const std::string& k : c.keys) {
            if (k == "<home>")
                TestHooks::KeyStroke(Form.get(), VK_HOME);
            else if (k == "<right>")
                TestHooks::KeyStroke(Form.get(), VK_RIGHT);
            else if (k == "<esc>")
                TestHooks::KeyStroke(Form.get(), VK_ESCAPE);
            else
                TypeText(Form.get(), k);
        }
        EXPECT_EQ(e->Text(), c.text);
        EXPECT_EQ(TestHooks::BeepCount() - before, c.beeps);
        delete e;
    }
    DecimalSeparator = '.';
    ThousandSeparator = ',';
}

TEST_F(NumEdits, EscRestoresTheStoredValueAllSelected)
{
    auto* e = Focused();
    e->SetValue(7.5);
    TypeText(Form.get(), "12");
    TestHooks::KeyStroke(Form.get(), VK_ESCAPE);
    EXPECT_EQ(e->Text(), "7.5");
    EXPECT_EQ(e->SelLength(), 3);
    EXPECT_TRUE(e->Focused());
}

TEST_F(NumEdits, ClampingOnLeaving)
{
    struct Case {
        double min, max;
        const char* typed;
        double value;
    } cases[] = {
        {0, 10, "12", 10},  {0, 10, "-3", 0}, {5, 0, "3", 5},     {5, 0, "1000", 1000}, {0, -5, "3", -5},
        {0, -5, "-10", -10}, {5, -5, "100", 100}, {3, 3, "100", 100}, {3, 3, "-1", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " " << c.typed);
        auto* e = Focused(-1e9, 1e9);
        e->SetMinValue(c.min);
        e->SetMaxValue(c.max);
        e->SetText("");
        e->SelectAll();
        // Typed through the field's own filter where it lets the text through.
        e->SetSelText(c.typed);
        TestHooks::ClearMessageBoxLog();
        Other->SetFocus();
        EXPECT_TRUE(TestHooks::MessageBoxLog().empty());
        EXPECT_FALSE(e->Focused());
        EXPECT_EQ(e->Value(), c.value);
        delete e;
    }
}

TEST_F(NumEdits, CheckOnExitKeepsTheFocusWithTheRangeMessage)
{
    for (char sep : {'.', ','}) {
        SCOPED_TRACE(sep);
        DecimalSeparator = sep;
        ThousandSeparator = sep == '.' ? ',' : '.';
        auto* e = Focused(0, 15);
        e->SetCheckOnExit(true);
        int exits = 0;
        e->OnExit = [&](TObject*) { ++exits; };
        TypeText(Form.get(), "20");
        TestHooks::AnswerMessageBoxesWith(mrOk);
        TestHooks::ClearMessageBoxLog();
        TestHooks::KeyStroke(Form.get(), VK_TAB);
        ASSERT_EQ(TestHooks::MessageBoxLog().size(), 1u);
        EXPECT_EQ(TestHooks::MessageBoxLog()[0].Text,
                  sep == '.' ? "Value must be between 0.00 and 15.00" : "Value must be between 0,00 and 15,00");
        EXPECT_TRUE(e->Focused());
        EXPECT_EQ(e->SelLength(), 2);
        EXPECT_EQ(exits, 0);
        // Without the check 15 is stored and the exit handler reads it.
        e->SetCheckOnExit(false);
        double seen = -1;
        e->OnExit = [&](TObject*) { seen = e->Value(); };
        TestHooks::KeyStroke(Form.get(), VK_TAB);
        EXPECT_FALSE(e->Focused());
        EXPECT_EQ(seen, 15);
        EXPECT_EQ(e->Text(), "15");
        delete e;
    }
    DecimalSeparator = '.';
    ThousandSeparator = ',';
}

TEST_F(NumEdits, DisplayTextsAndZeroEmpty)
{
    auto* e = Field();
    EXPECT_TRUE(e->OwnerDraws());
    EXPECT_EQ(e->DisplayText(), "0");
    e->SetFocus();
    EXPECT_TRUE(e->EditingText());
    EXPECT_FALSE(e->OwnerDraws());
    EXPECT_EQ(e->Text(), "");
    e->SetValue(1234.5);
    EXPECT_EQ(e->Text(), "1234.5");
    EXPECT_EQ(e->DisplayText(), "1,234.5");
    Other->SetFocus();
    EXPECT_FALSE(e->EditingText());
    EXPECT_TRUE(e->OwnerDraws());
    e->SetValue(-0.001);
    EXPECT_EQ(e->DisplayText(), "0");
    e->SetDisplayFormat("");
    e->SetValue(0.1 + 0.2);
    EXPECT_EQ(e->DisplayText(), FloatToStr(0.1 + 0.2));
    e->SetZeroEmpty(false);
    e->SetValue(0);
    EXPECT_EQ(e->Text(), "0");
    // Odd formats show something and never fail.
    for (const char* format : {";;", "\"unclosed", "0.00E+00", "#,##0.00;(#,##0.00);zero"}) {
        e->SetDisplayFormat(format);
        e->SetValue(-12.5);
        EXPECT_NO_THROW(e->DisplayText()) << format;
    }
    // 255 decimals: the edit format shows at most 18.
    e->SetDecimalPlaces(255);
    e->SetValue(1.0 / 3);
    EXPECT_LE(e->Text().size(), 20u);
}

TEST_F(NumEdits, TheFieldsOwnDrawingFrameAndGreyText)
{
    auto* e = Field();
    e->SetValue(88);
    ASSERT_TRUE(e->OwnerDraws());
    // Without 3D a one-pixel window-frame line, the field's colour inside it.
    for (const bool ctl3d : {true, false}) {
        SCOPED_TRACE(ctl3d);
        e->SetCtl3D(ctl3d);
        const TBitmap p = DrawControlPicture(*Form);
        const int y = e->Top() + e->Height() / 2;
        EXPECT_EQ(p.PixelColor(e->Left(), y), ColorToRGB(ctl3d ? clBtnShadow : clWindowFrame));
        EXPECT_EQ(p.PixelColor(e->Left() + 1, y), ColorToRGB(ctl3d ? TColor(clBlack) : e->Color()));
    }
    // Disabled: grey text, unless grey is the background.
    const auto count = [&](TColor colour) {
        const TBitmap p = DrawControlPicture(*Form);
        int n = 0;
        for (int x = e->Left() + 2; x < e->Left() + e->Width() - e->ButtonWidth() - 2; ++x)
            for (int y = e->Top() + 2; y < e->Top() + e->Height() - 2; ++y)
                n += p.PixelColor(x, y) == ColorToRGB(colour);
        return n;
    };
    e->SetEnabled(false);
    EXPECT_GT(count(clGrayText), 5);
    EXPECT_EQ(count(clWindowText), 0);
    e->SetColor(clGrayText);
    EXPECT_GT(count(clWindowText), 5);
}

TEST_F(NumEdits, Paste)
{
    auto* e = Focused();
    e->SetValue(5);
    e->SelectAll();
    const int beeps = TestHooks::BeepCount();
    Paste("12abc");
    EXPECT_EQ(e->Text(), "5");
    EXPECT_EQ(e->SelLength(), 1);
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(TestHooks::BeepCount(), beeps + 1);
    e->SelectAll();
    Paste("1,234.5");
    EXPECT_EQ(e->Value(), 1234.5);
    EXPECT_EQ(TestHooks::BeepCount(), beeps + 1);
}

TEST_F(NumEdits, FormatOnEditingGroupsWhileTyping)
{
    auto* e = Focused();
    e->SetFormatOnEditing(true);
    EXPECT_EQ(e->TEdit::Alignment(), taRightJustify);
    TypeText(Form.get(), "1234567");
    EXPECT_EQ(e->Text(), "1,234,567");
    EXPECT_EQ(e->SelStart(), 9);
    // The caret keeps its distance from the end.
    TestHooks::KeyStroke(Form.get(), VK_HOME);
    TestHooks::KeyStroke(Form.get(), VK_RIGHT);
    TypeText(Form.get(), "9");
    EXPECT_EQ(e->Text(), "19,234,567");
    EXPECT_EQ(int(e->Text().size()) - e->SelStart(), 8);
    EXPECT_EQ(e->Value(), 19234567);
    e->SetFormatOnEditing(false);
    EXPECT_EQ(e->Text(), "19234567");
    EXPECT_EQ(e->TEdit::Alignment(), taLeftJustify);
}

TEST_F(NumEdits, ValueIsAlwaysFinite)
{
    auto* e = Focused();
    e->SetValue(2);
    for (double bad : {std::nan(""), double(INFINITY), -double(INFINITY)}) {
        e->SetValue(bad);
        EXPECT_EQ(e->Value(), 2);
        e->SetMinValue(bad);
        e->SetMaxValue(bad);
        EXPECT_EQ(e->MinValue(), 0);
    }
    e->SetText("");
    TypeText(Form.get(), "3000000000");
    EXPECT_EQ(e->Value(), 3e9);
    e->SelectAll();
    TypeText(Form.get(), "1e999");
    EXPECT_TRUE(std::isfinite(e->Value()));
    EXPECT_EQ(e->Text(), "1999");
    e->SetMinValue(-1e308);
    e->SetMaxValue(1e308);
    e->SetValue(1e308);
    EXPECT_EQ(e->Value(), 1e308);
    e->SetValue(-1e308);
    EXPECT_EQ(e->Value(), -1e308);
}

TEST_F(NumEdits, BadNumbersSetTypedAndPasted)
{
    const std::string digits(10000, '7');
    const std::string withNul("1\0" "2", 3);
    struct Pair {
        Separators seps;
        std::string currency;
    } pairs[] = {
        {{'.', ','}, ""},  {{',', '.'}, "$"}, {{',', ' '}, "\xE2\x82\xAC"}, {{',', '\xA0'}, "kr."},
        {{'.', '.'}, "$"}, {{',', ','}, ""},
    };
    const std::vector<std::string> texts = {"nan", "NaN", "inf", "-inf", "1e999", "-1e999", "1e-999", "", " ", "-",
                                            "+", "--1", "1e", "E5", "0x10", "1,5", "1.5", "1 000", "12,50 \xE2\x82\xAC",
                                            "$ 12.50", digits, withNul};
    for (const Pair& p : pairs) {
        DecimalSeparator = p.seps.decimal;
        ThousandSeparator = p.seps.thousand;
        CurrencyString = p.currency;
        for (const std::string& t : texts) {
            SCOPED_TRACE(testing::Message() << "'" << p.seps.decimal << "' '" << p.seps.thousand << "' "
                                            << t.substr(0, 20));
            auto* e = Focused(-100, 1e6);
            // Set as Text: the cleaned number, else MinValue.
            e->SetText(t);
            double expect = -100;
            double parsed = 0;
            if (TryStrToFloat(TCustomNumEdit::TextToValText(t), parsed))
                expect = std::clamp(parsed, -100.0, 1e6);
            EXPECT_EQ(e->Value(), expect);
            // Pasted over everything: a number or the old text back.
            e->SetValue(5);
            e->SelectAll();
            Paste(t);
            EXPECT_TRUE(std::isfinite(e->Value()));
            EXPECT_TRUE(TryStrToFloat(TCustomNumEdit::TextToValText(e->Text()), parsed)) << e->Text();
            // Typed: whatever the filter lets through is a number.
            e->SetText("");
            TypeText(Form.get(), t.substr(0, 40));
            EXPECT_TRUE(std::isfinite(e->Value()));
            Other->SetFocus();
            EXPECT_FALSE(e->Focused());
            delete e;
        }
    }
    DecimalSeparator = '.';
    ThousandSeparator = ',';
    CurrencyString = "$";
}

TEST_F(NumEdits, SeparatorPairsWhenCleaning)
{
    struct Case {
        Separators seps;
        const char* text;
        const char* cleaned;
    } cases[] = {
        {{'.', ','}, " 1,5 ", "15"},   {{'.', ','}, "1.5", "1.5"},  {{',', '.'}, "1.5", "15"},
        {{',', '.'}, "1,5", "1,5"},    {{',', ' '}, "1 000.5", "1000,5"}, {{',', '\xA0'}, "1.5", "1,5"},
        {{'.', '.'}, "1.5", "1.5"},    {{'.', '.'}, "1,5", "1.5"},  {{',', ','}, "1,5", "1,5"},
        {{',', ','}, "1.5", "1,5"},    {{'.', ','}, "", "0"},       {{'.', ','}, "-", "-0"},
    };
    for (const Case& c : cases) {
        DecimalSeparator = c.seps.decimal;
        ThousandSeparator = c.seps.thousand;
        EXPECT_EQ(TCustomNumEdit::TextToValText(c.text), c.cleaned) << c.text;
    }
    DecimalSeparator = '.';
    ThousandSeparator = ',';
}

TEST_F(NumEdits, OddFieldSettings)
{
    auto* e = Field();
    for (int w : {-5, 0, 1, 10000}) {
        e->SetButtonWidth(w);
        e->SetValue(w);
        EXPECT_EQ(DrawControlPicture(*Form).Width(), Form->ClientWidth());
    }
    e->SetWidth(0);
    e->SetHeight(3);
    EXPECT_EQ(e->Height(), e->MinimumHeight());
    TFont big = e->Font();
    big.Height = 100;
    e->SetFont(big);
    e->Repaint();
}

} // namespace

namespace {

// The property inspector's rows: a calculator edit 90 wide, left-aligned, without a button.
TEST_F(NumEdits, TheInspectorRow)
{
    using Row = TExCalcEdit;
    auto* row = PlaceControl<Row>(Form.get(), 10, 10, 90, 21);
    row->SetAlignment(taLeftJustify);
    row->SetButtonWidth(0);
    int marker = 0;
    row->SetTag(reinterpret_cast<intptr_t>(&marker));
    std::vector<std::string> log;
    row->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        // Enter applies the value read; Esc is left to the field (reading Value would
        // store the typed text).
        if (key == VK_RETURN)
            log.push_back("key 13 value " + FloatToStr(row->Value()));
        else if (key == VK_ESCAPE)
            log.push_back("key 27");
    };
    row->OnExit = [&](TObject*) { log.push_back("exit " + FloatToStr(row->Value())); };
    int clicks = 0;
    row->OnButtonClick = [&](TObject*) { ++clicks; };
    row->SetValue(2);
    EXPECT_EQ(row->Text(), "2");
    EXPECT_TRUE(log.empty());
    row->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(row->PopupOpen());
    row->SelectAll();
    TypeText(Form.get(), "3.9");
    TestHooks::KeyStroke(Form.get(), VK_RETURN);
    EXPECT_EQ(log, (std::vector<std::string>{"key 13 value 3.9"}));
    EXPECT_EQ(row->Value(), 3.9);
    row->SelectAll();
    TypeText(Form.get(), "7");
    TestHooks::KeyStroke(Form.get(), VK_ESCAPE);
    EXPECT_EQ(row->Text(), "3.9");
    EXPECT_EQ(log.back(), "key 27");
    TypeText(Form.get(), "5");
    TestHooks::KeyStroke(Form.get(), VK_TAB);
    EXPECT_EQ(log.back(), "exit 5");
    EXPECT_EQ(reinterpret_cast<int*>(row->Tag()), &marker);
}

} // namespace

namespace {

class CalcEdits : public WidgetForm {
protected:
    void SetUp() override
    {
        WidgetForm::SetUp();
        TestHooks::SetActiveForm(Form.get());
    }
    TExCalcEdit* Field() { return PlaceControl<TExCalcEdit>(Form.get(), 10, 10, 120, 21); }
};

TEST_F(CalcEdits, TheCalculatorDropsDownAndHandsItsResultBack)
{
    struct Case {
        const char* keys;
        double value;
    } cases[] = {
        {"12+3=", 15}, {"50+10%", 55}, {"50*10%", 5}, {"200-10%", 180}, {"1+*2=", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        auto* e = Field();
        int changes = 0;
        e->OnChange = [&](TObject*) { ++changes; };
        e->SetFocus();
        TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
        ASSERT_TRUE(e->PopupOpen());
        ASSERT_NE(dynamic_cast<TPopupCalculator*>(e->Popup()), nullptr);
        TypeText(Form.get(), c.keys);
        EXPECT_FALSE(e->PopupOpen());
        EXPECT_EQ(e->Value(), c.value);
        EXPECT_EQ(changes, 1);
        EXPECT_TRUE(e->Modified());
        EXPECT_TRUE(e->Focused());
        delete e;
    }
}

TEST_F(CalcEdits, EnterEscAndTheErrorState)
{
    auto* e = Field();
    e->SetFocus();
    e->SetValue(4);
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    TypeText(Form.get(), "10");
    TestHooks::KeyStroke(Form.get(), VK_RETURN);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Value(), 10);
    // Esc closes without taking anything.
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    TypeText(Form.get(), "77");
    TestHooks::KeyStroke(Form.get(), VK_ESCAPE);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Value(), 10);
    // Division by zero: the error stays open; the display shows in the field.
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    TypeText(Form.get(), "9/0=");
    EXPECT_TRUE(e->PopupOpen());
    EXPECT_EQ(e->Popup()->GetPopupText(), "Error");
    EXPECT_TRUE(e->OwnerDraws());
    const int beeps = TestHooks::BeepCount();
    EXPECT_EQ(PopupValueText(e->Popup()->GetValue()), "0");
    EXPECT_GT(TestHooks::BeepCount(), beeps);
    TestHooks::KeyStroke(Form.get(), VK_ESCAPE);
    EXPECT_FALSE(e->PopupOpen());
    EXPECT_EQ(e->Value(), 10);
}

TEST_F(CalcEdits, OpeningStartsFromTheValueAndTheResultIsClamped)
{
    auto* e = Field();
    e->SetMinValue(0);
    e->SetMaxValue(10000);
    e->SetFormatOnEditing(true);
    e->SetFocus();
    e->SetValue(1234);
    EXPECT_EQ(e->Text(), "1,234");
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    ASSERT_TRUE(e->PopupOpen());
    EXPECT_EQ(e->Popup()->GetPopupText(), "1234");
    TypeText(Form.get(), "*100=");
    EXPECT_EQ(e->Value(), 10000);
    // BeepOnError reaches the calculator.
    e->SetBeepOnError(false);
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    const int beeps = TestHooks::BeepCount();
    TypeText(Form.get(), "9/0=");
    EXPECT_EQ(TestHooks::BeepCount(), beeps);
    delete e;
}

TEST_F(CalcEdits, FreedByItsOnChangeWhenTheResultComesBack)
{
    auto* e = Field();
    e->SetFocus();
    bool freed = false;
    e->OnChange = [&](TObject* sender) {
        freed = true; // before the handler goes with the field
        delete sender;
    };
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    ASSERT_TRUE(e->PopupOpen());
    TypeText(Form.get(), "12+3=");
    EXPECT_TRUE(freed);
    EXPECT_TRUE(VisiblePopups().empty());
    TestHooks::RunPostedMessages();
}

TEST_F(CalcEdits, FreedWhileTheCalculatorIsOpen)
{
    auto* e = Field();
    e->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_DOWN, {ssAlt});
    ASSERT_TRUE(e->PopupOpen());
    delete e;
    EXPECT_TRUE(VisiblePopups().empty());
    TestHooks::RunPostedMessages();
}

} // namespace
