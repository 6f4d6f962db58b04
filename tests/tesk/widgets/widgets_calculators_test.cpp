// The calculator panel: its buttons, the key sequences and their results, the display's
// limits, the clipboard, the error state and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "platform/Clipbrd.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "platform/System.h"
#include "tesk/widgets/Calculators.h"

namespace {

class Calculators : public WidgetForm {
protected:
    void SetUp() override
    {
        WidgetForm::SetUp();
        // A pressed button is shown for 20 ms of ticks: let them pass at once.
        TestHooks::SetTickCountSource([this] { return Ticks += 5; });
        Panel = new TLocCalculator(Form.get());
        Panel->SetParent(Form.get());
        Panel->SetLeft(10);
        Panel->SetTop(10);
        Panel->OnResult = [this] { ++Results; };
        Panel->OnDisplayChange = [this] { ++DisplayChanges; };
    }
    // Each character through RouteKey.
    void Keys(const std::string& keys)
    {
        for (char c : keys)
            Panel->RouteKey(c);
    }

    uint32_t Ticks = 0;
    TLocCalculator* Panel = nullptr;
    int Results = 0;
    int DisplayChanges = 0;
};

TEST_F(Calculators, TheButtonsOfThePanel)
{
    EXPECT_EQ(Panel->Width(), 98);
    EXPECT_EQ(Panel->Height(), 124);
    EXPECT_EQ(Panel->BevelOuter(), bvNone);
    EXPECT_EQ(Panel->BevelInner(), bvNone);
    EXPECT_FALSE(Panel->Enabled());
    EXPECT_FALSE(Panel->TabStop());
    EXPECT_FALSE(Panel->TakesFocus());
    EXPECT_EQ(Panel->Display(), "0");
    EXPECT_EQ(Panel->Status(), 0);
    EXPECT_EQ(Panel->Precision(), 15);
    EXPECT_TRUE(Panel->BeepOnError());
    EXPECT_EQ(Panel->PendingOperator(), 0);
    EXPECT_EQ(Panel->Font().Name, "MS Sans Serif");
    EXPECT_EQ(Panel->Font().Size(), 8);
    EXPECT_EQ(Panel->Font().Style, fsBold);

    struct Row {
        TCalcBtnKind kind;
        const char* caption;
        int left, top, width;
        TColor colour;
    };
    const Row rows[] = {
        {cbDigit0, "0", 6, 75, 21, clBtnText},    {cbDigit1, "1", 6, 52, 21, clBtnText},
        {cbDigit2, "2", 29, 52, 21, clBtnText},   {cbDigit3, "3", 52, 52, 21, clBtnText},
        {cbDigit4, "4", 6, 29, 21, clBtnText},    {cbDigit5, "5", 29, 29, 21, clBtnText},
        {cbDigit6, "6", 52, 29, 21, clBtnText},   {cbDigit7, "7", 6, 6, 21, clBtnText},
        {cbDigit8, "8", 29, 6, 21, clBtnText},    {cbDigit9, "9", 52, 6, 21, clBtnText},
        {cbSign, "\xB1", 52, 75, 21, clBtnText},  {cbDecimal, ".", 29, 75, 21, clBtnText},
        {cbDivide, "/", 75, 6, 21, clPurple},     {cbMultiply, "*", 75, 29, 21, clPurple},
        {cbSubtract, "-", 75, 52, 21, clPurple},  {cbAdd, "+", 75, 75, 21, clPurple},
        {cbEquals, "=", 52, 98, 44, clPurple},    {cbBackspace, "<-", 29, 98, 21, clMaroon},
        {cbClear, "C", 6, 98, 21, clMaroon},
    };
    int buttons = 0;
    for (int i = 0; i < Panel->ControlCount(); ++i)
        buttons += dynamic_cast<TCalcButton*>(Panel->Controls(i)) != nullptr;
    EXPECT_EQ(buttons, 19);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.caption);
        TCalcButton* b = Panel->Button(r.kind);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Caption(), r.caption);
        EXPECT_EQ(b->Tag(), r.kind - 1);
        EXPECT_EQ(CalcKeyString[b->Tag()], r.kind == cbDecimal ? '.' : CalcKeyString[r.kind - 1]);
        EXPECT_EQ(b->BoundsRect(), Bounds(r.left, r.top, r.width, 21));
        EXPECT_EQ(b->Font().Color, r.colour);
        EXPECT_EQ(b->Font().Name, "MS Sans Serif");
        EXPECT_EQ(b->Style(), bsNew);
        EXPECT_TRUE(b->ParentFont());
    }
    for (TCalcBtnKind k : {cbSqrt, cbPercent, cbReciprocal})
        EXPECT_EQ(Panel->Button(k), nullptr);
    TCalcButton loose(nullptr, cbNone);
    EXPECT_EQ(loose.Tag(), -1);

    // A new font from the parent keeps every caption's colour.
    TFont big = Panel->Font();
    big.SetSize(12);
    big.Color = clGreen;
    Panel->SetFont(big);
    for (const Row& r : rows) {
        EXPECT_EQ(Panel->Button(r.kind)->Font().Color, r.colour) << r.caption;
        EXPECT_EQ(Panel->Button(r.kind)->Font().Size(), 12) << r.caption;
    }
    // The flat look draws the buttons in the old style, and back.
    Panel->SetCtl3D(false);
    EXPECT_EQ(Panel->Button(cbDigit5)->Style(), bsWin31);
    Panel->SetCtl3D(true);
    EXPECT_EQ(Panel->Button(cbDigit5)->Style(), bsNew);
}

TEST_F(Calculators, TheSeparatorButtonShowsTheLocalesSeparator)
{
    DecimalSeparator = ',';
    TLocCalculator comma(Form.get());
    EXPECT_EQ(comma.Button(cbDecimal)->Caption(), ",");
}

TEST_F(Calculators, KeySequences)
{
    struct Row {
        const char* keys;
        const char* display;
        int results; // how often the result was handed on
        int status;
    };
    const Row rows[] = {
        {"12+3=", "15", 1, 0},
        {"50+10%", "55", 1, 0},
        {"50*10%", "5", 1, 0},
        {"200-10%", "180", 1, 0},
        {"1+*2=", "2", 1, 0},
        {"9/0=", "Error", 1, 2},
        {"10\r", "10", 1, 0},
        {"..5", "0.5", 0, 1},
        {",5", "0.5", 0, 1},
        {"3=.", "0.", 1, 1},
        {"9Q", "3", 0, 0},
        {"9q", "3", 0, 0},
        {"4_Q", "Error", 0, 2},
        {"4R", "0.25", 0, 0},
        {"0R", "Error", 0, 2},
        {"5\b", "0", 0, 1},
        {"5_\b", "0", 0, 1},
        {"12\b", "1", 0, 1},
        {"1/3=", "0.333333333333333", 1, 0},
        {"12+3c", "0", 0, 0},
        {"12+3\x1b", "0", 0, 0},
        {"7*6=+1=", "43", 2, 0},
        {"2*3=*=", "6", 2, 0}, // "=" after an operator only replaces it
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.keys);
        Panel->RouteKey('C');
        Results = 0;
        Panel->SetPrecision(15);
        Keys(r.keys);
        EXPECT_EQ(Panel->Display(), r.display);
        EXPECT_EQ(Results, r.results);
        EXPECT_EQ(Panel->Status(), r.status);
    }
}

TEST_F(Calculators, TheErrorStateTakesOnlyClear)
{
    Keys("9/0=");
    ASSERT_EQ(Panel->Display(), "Error");
    const int beeps = TestHooks::BeepCount();
    EXPECT_EQ(Panel->GetDisplayValue(), 0);
    Keys("5+._Q\b");
    EXPECT_EQ(Panel->Display(), "Error");
    EXPECT_EQ(Panel->Status(), 2);
    EXPECT_EQ(TestHooks::BeepCount(), beeps);
    Keys("C");
    EXPECT_EQ(Panel->Display(), "0");
    EXPECT_EQ(Panel->Status(), 0);
    EXPECT_EQ(Panel->PendingOperator(), '=');
    Keys("9/0=");
    Keys("\x1b");
    EXPECT_EQ(Panel->Display(), "0");
    EXPECT_EQ(Panel->Status(), 0);
    Keys("7");
    EXPECT_EQ(Panel->Display(), "7");
}

TEST_F(Calculators, TheDisplayHoldsPrecisionCharacters)
{
    int beeps = TestHooks::BeepCount();
    Keys(std::string(16, '7'));
    EXPECT_EQ(Panel->Display(), std::string(15, '7'));
    EXPECT_EQ(TestHooks::BeepCount(), beeps + 1);

    Keys("C5_");
    ASSERT_EQ(Panel->Display(), "-5");
    beeps = TestHooks::BeepCount();
    Keys(std::string(14, '1'));
    EXPECT_EQ(Panel->Display(), "-5" + std::string(14, '1'));
    EXPECT_EQ(TestHooks::BeepCount(), beeps);
    Keys("1");
    EXPECT_EQ(Panel->Display().size(), 16u);
    EXPECT_EQ(TestHooks::BeepCount(), beeps + 1);

    // The separator counts as a character.
    Keys("C1.");
    Keys(std::string(14, '2'));
    EXPECT_EQ(Panel->Display(), "1." + std::string(13, '2'));

    // Without BeepOnError the digit is dropped in silence.
    Panel->SetBeepOnError(false);
    beeps = TestHooks::BeepCount();
    Keys("C");
    Keys(std::string(20, '3'));
    Keys("9/0=");
    EXPECT_EQ(TestHooks::BeepCount(), beeps);
    Panel->SetBeepOnError(true);

    // At least two characters whatever the precision; the general format shows at most 18.
    struct Row {
        int precision;
        std::string keys;
        std::string display;
    };
    const Row rows[] = {
        {0, "123", "12"},
        {1, "123", "12"},
        {0, "1/3=", "0.33"},
        {255, "1/3=", "0.333333333333333315"},
        {255, std::string(40, '4'), std::string(40, '4')},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.precision);
        Panel->SetPrecision(r.precision);
        Keys("C");
        Keys(r.keys);
        EXPECT_EQ(Panel->Display(), r.display);
    }
}

TEST_F(Calculators, AResultStartsANewNumberWithTheLocalesSeparator)
{
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    Keys("3=.");
    EXPECT_EQ(Panel->Display(), "0,");
    Keys("5+1,5=");
    EXPECT_EQ(Panel->Display(), "2");
    Keys("C1,5*3=");
    EXPECT_EQ(Panel->Display(), "4,5");
    EXPECT_DOUBLE_EQ(Panel->GetDisplayValue(), 4.5);
}

TEST_F(Calculators, TheClipboard)
{
    Keys("12.5");
    Panel->RouteKey(3);
    EXPECT_EQ(Clipboard()->AsText(), "12.5");
    EXPECT_EQ(Panel->Display(), "12.5");

    struct Row {
        char decimal;
        char thousands;
        const char* currency;
        std::string clip;
        const char* display;
    };
    const Row rows[] = {
        {'.', ',', "$", "$12.50", "12.5"},
        {'.', ',', "$", "$ 12.50", "12.5"},
        {'.', ',', "", "$ 12.50", "0"},
        {',', '.', "\xE2\x82\xAC", "12,50 \xE2\x82\xAC", "12,5"},
        {'.', ',', "$", "12,50 \xE2\x82\xAC", "0"},
        {',', ' ', "kr.", "12,5 kr.", "12,5"},
        {'.', ',', "$", "abc", "0"},
        {'.', ',', "$", "1e999", "0"},
        {'.', ',', "$", "-1e999", "0"},
        {'.', ',', "$", "nan", "0"},
        {'.', ',', "$", "inf", "0"},
        {'.', ',', "$", "0x10", "0"},
        {'.', ',', "$", "1 000", "0"},
        {'.', ',', "$", "1e-320", "9.99988867182683E-321"},
        {'.', ',', "$", "  7  ", "7"},
        {'.', ',', "$", std::string(1 << 20, '1'), "0"},
        {'.', ',', "$", "-", "0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.clip.substr(0, 20));
        DecimalSeparator = r.decimal;
        ThousandSeparator = r.thousands;
        CurrencyString = r.currency;
        Keys("C9");
        Clipboard()->SetAsText(r.clip);
        Panel->RouteKey(22);
        EXPECT_EQ(Panel->Display(), r.display);
    }
    // An empty clipboard shows 0 too.
    Keys("C9");
    Clipboard()->Clear();
    Panel->RouteKey(22);
    EXPECT_EQ(Panel->Display(), "0");
}

TEST_F(Calculators, ResultsBeyondTheRangeOfNumbersAreErrors)
{
    struct Row {
        double start;
        const char* keys;
        const char* display;
    };
    const Row rows[] = {
        {1e308, "*10=", "Error"},
        {1e308, "+1=", "1E308"},
        {1e308, "R", "1E-308"},
        {5e-324, "R", "Error"},
        {1e-320, "_", "-9.99988867182683E-321"},
        {-4, "Q", "Error"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.keys);
        Panel->StartWith(r.start);
        Keys(r.keys);
        EXPECT_EQ(Panel->Display(), r.display);
    }
    // 1e308 + 1e308: the right operand pasted while a number is entered.
    Panel->StartWith(1e308);
    Keys("+1");
    Clipboard()->SetAsText("1e308");
    Panel->RouteKey(22);
    ASSERT_EQ(Panel->Display(), "1E308");
    Keys("=");
    EXPECT_EQ(Panel->Display(), "Error");
    EXPECT_EQ(Panel->Status(), 2);
    // A value that is no number starts at 0.
    Panel->StartWith(std::nan(""));
    EXPECT_EQ(Panel->Display(), "0");
    EXPECT_EQ(Panel->Status(), 0);
    EXPECT_EQ(Panel->PendingOperator(), '=');
}

TEST_F(Calculators, TheDisplayChangeIsReported)
{
    DisplayChanges = 0;
    Keys("1");
    EXPECT_EQ(DisplayChanges, 1);
    Keys("2");
    EXPECT_EQ(DisplayChanges, 2);
    Keys("+");
    EXPECT_EQ(DisplayChanges, 2); // the display is unchanged
    Keys("3");
    Keys("=");
    EXPECT_EQ(Panel->Display(), "15");
    EXPECT_EQ(DisplayChanges, 4);
    Panel->SetDisplay(15);
    EXPECT_EQ(DisplayChanges, 4);
}

TEST_F(Calculators, KeysPressTheirButtonsAndTheMouseClicksThem)
{
    auto* edit = PlaceControl<TEdit>(Form.get(), 150, 10, 80, 21);
    edit->SetFocus();
    ASSERT_EQ(Form->ActiveControl(), edit);
    int clicks = 0;
    TCalcButton* seven = Panel->Button(cbDigit7);
    const auto keep = seven->OnClick;
    seven->OnClick = [&](TObject* sender) {
        ++clicks;
        EXPECT_EQ(seven->State(), bsDown); // shown pressed while it acts
        keep(sender);
    };
    Keys("7");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(seven->State(), bsUp);
    EXPECT_EQ(Panel->Display(), "7");

    // Clicks reach the buttons of the disabled panel, and the edit keeps the focus.
    ClickAt(Panel->Button(cbAdd), 5, 5);
    ClickAt(Panel->Button(cbDigit2), 5, 5);
    ClickAt(Panel->Button(cbEquals), 5, 5);
    EXPECT_EQ(Panel->Display(), "9");
    EXPECT_EQ(Results, 1);
    EXPECT_EQ(Form->ActiveControl(), edit);
    // Enabling and disabling keep the window taking clicks.
    Panel->SetEnabled(true);
    Panel->SetEnabled(false);
    ClickAt(Panel->Button(cbClear), 5, 5);
    EXPECT_EQ(Panel->Display(), "0");
    // Tab never stops at the panel.
    TestHooks::KeyStroke(Form.get(), VK_TAB);
    EXPECT_NE(Form->ActiveControl(), Panel);
}

} // namespace
