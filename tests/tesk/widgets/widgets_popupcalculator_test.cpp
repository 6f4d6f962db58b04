// The calculator as a combo edit's pop-up: its window and panel, the value it exchanges
// with the edit, closing up with the result, and a field that drops it down.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "platform/System.h"
#include "tesk/widgets/Calculators.h"
#include "tests/support/FormPictures.h"

namespace {

// A combo edit whose pop-up is the calculator, as the numeric field sets it up; while the
// pop-up is open the characters go to it.
class CalcField : public TCustomComboEdit {
public:
    explicit CalcField(TComponent* owner) : TCustomComboEdit(owner)
    {
        FPopup = CreatePopupCalculator(this);
        FPopup->OnCloseUp = [this](TObject* sender, bool accept) {
            CloseUps.push_back(accept);
            ClosePopup(sender, accept);
        };
    }
    TPopupCalculator* Calc() const { return static_cast<TPopupCalculator*>(FPopup); }
    std::vector<bool> CloseUps;

protected:
    void KeyPress(char& Key) override
    {
        if (PopupOpen() && Key != 0) {
            Calc()->KeyPress(Key);
            Key = 0;
            return;
        }
        TCustomComboEdit::KeyPress(Key);
    }
};

class PopupCalculators : public WidgetForm {
protected:
    void SetUp() override
    {
        WidgetForm::SetUp();
        TestHooks::SetTickCountSource([this] { return Ticks += 5; });
        Field = PlaceControl<CalcField>(Form.get(), 20, 20, 90, 21);
        Popup = Field->Calc();
        Calc = Popup->Calculator();
    }
    void Keys(const std::string& keys)
    {
        for (char c : keys) {
            char k = c;
            Popup->KeyPress(k);
        }
    }
    // Keys typed into the focused field.
    void Type(const std::string& keys)
    {
        for (char c : keys) {
            TShiftState shift;
            WORD key = static_cast<WORD>(c);
            switch (c) {
            case '+': key = VK_ADD; break;
            case '-': key = VK_SUBTRACT; break;
            case '*': key = VK_MULTIPLY; break;
            case '/': key = VK_DIVIDE; break;
            case '.': key = VK_DECIMAL; break;
            case '=': key = VK_OEM_PLUS; break;
            case '%': key = '5', shift = TShiftState{ssShift}; break;
            case '\r': key = VK_RETURN; break;
            case '\x1b': key = VK_ESCAPE; break;
            case '\b': key = VK_BACK; break;
            default: break;
            }
            TestHooks::KeyStroke(Form.get(), key, shift);
        }
    }
    // A press and release on a button of the open pop-up, as the user clicks it.
    void ClickButton(TCalcBtnKind kind)
    {
        const TPoint at = TestHooks::ControlToForm(Calc->Button(kind), Point(5, 5));
        TestHooks::MouseDown(Popup, mbLeft, at);
        TestHooks::MouseUp(Popup, mbLeft, at);
    }

    uint32_t Ticks = 0;
    CalcField* Field = nullptr;
    TPopupCalculator* Popup = nullptr;
    TLocCalculator* Calc = nullptr;
};

TEST_F(PopupCalculators, TheWindowAndItsPanel)
{
    EXPECT_EQ(Popup->Width(), 104);
    EXPECT_EQ(Popup->Height(), 127);
    EXPECT_EQ(Popup->Color(), clBtnFace);
    EXPECT_EQ(Popup->Font().Name, "MS Sans Serif");
    EXPECT_EQ(Popup->Font().Style, fsBold);
    EXPECT_EQ(Popup->Owner(), Field);
    EXPECT_FALSE(Popup->Visible());
    ASSERT_NE(Calc, nullptr);
    EXPECT_EQ(Calc->Parent(), Popup);
    EXPECT_EQ(Calc->Align(), alClient);
    EXPECT_EQ(Calc->BoundsRect(), Rect(0, 0, Popup->ClientWidth(), Popup->ClientHeight()));
    EXPECT_EQ(Calc->BevelOuter(), bvRaised);
    EXPECT_EQ(Calc->Precision(), 15);
    EXPECT_TRUE(Calc->Visible());
    EXPECT_EQ(Calc->Color(), clBtnFace);
    EXPECT_EQ(Calc->Button(cbDigit1)->Font().Name, "MS Sans Serif");
}

TEST_F(PopupCalculators, TheValueExchangedWithTheEdit)
{
    struct Row {
        TPopupValue value;
        const char* display;
    };
    const Row rows[] = {
        {std::monostate{}, "0"},
        {std::string(""), "0"},
        {std::string("12.5"), "12.5"},
        {std::string(" 7 "), "7"},
        {std::string("abc"), "0"},
        {std::string("1e999"), "0"},
        {3.25, "3.25"},
        {-0.0, "0"},
        {std::nan(""), "0"},
        {HUGE_VAL, "0"},
        {1e-320, "9.99988867182683E-321"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.display);
        Keys("5+");
        Popup->SetValue(r.value);
        EXPECT_EQ(Calc->Display(), r.display);
        EXPECT_EQ(Popup->GetPopupText(), r.display);
        EXPECT_EQ(Calc->Status(), 0);
        EXPECT_EQ(Calc->PendingOperator(), '=');
    }
    // A digit after the value starts a new number.
    Popup->SetValue(4.0);
    Keys("2");
    EXPECT_EQ(Calc->Display(), "2");

    // Reading normalises the display.
    Keys("C1.50");
    ASSERT_EQ(Calc->Display(), "1.50");
    TPopupValue v = Popup->GetValue();
    ASSERT_TRUE(std::holds_alternative<double>(v));
    EXPECT_EQ(std::get<double>(v), 1.5);
    EXPECT_EQ(Calc->Display(), "1.5");

    // In the error state: a beep and 0; without BeepOnError no beep.
    Keys("9/0=");
    ASSERT_EQ(Calc->Status(), 2);
    int beeps = TestHooks::BeepCount();
    v = Popup->GetValue();
    EXPECT_EQ(std::get<double>(v), 0);
    EXPECT_EQ(TestHooks::BeepCount(), beeps + 1);
    EXPECT_EQ(Calc->Display(), "Error");
    SetupPopupCalculator(Popup, 15, false);
    beeps = TestHooks::BeepCount();
    EXPECT_EQ(std::get<double>(Popup->GetValue()), 0);
    EXPECT_EQ(TestHooks::BeepCount(), beeps);
}

TEST_F(PopupCalculators, SetupTakesThePrecisionAndTheBeep)
{
    struct Row {
        int precision;
        int used;
    };
    for (const Row& r : {Row{0, 2}, Row{1, 2}, Row{2, 2}, Row{15, 15}, Row{255, 255}, Row{-3, 2}}) {
        SCOPED_TRACE(r.precision);
        SetupPopupCalculator(Popup, r.precision, r.precision % 2 == 0);
        EXPECT_EQ(Calc->Precision(), r.used);
        EXPECT_EQ(Calc->BeepOnError(), r.precision % 2 == 0);
    }
    // Other pop-ups, and none, are left alone.
    TPopupWindow plain(Field);
    SetupPopupCalculator(&plain, 5, true);
    SetupPopupCalculator(nullptr, 5, true);
    EXPECT_EQ(Calc->Precision(), 2);
}

TEST_F(PopupCalculators, TheResultClosesItUpAccepting)
{
    Field->SetFocus();
    TestHooks::KeyStroke(Form.get(), VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(Field->PopupOpen());
    EXPECT_TRUE(Popup->Visible());
    EXPECT_EQ(Form->ActiveControl(), Field);

    struct Row {
        const char* keys;
        std::vector<bool> closeUps;
        const char* text;
    };
    const std::vector<Row> rows = {
        {"12+3=", {true}, "15"},
        {"50+10%", {true}, "55"},
        {"10\r", {true}, "10"},
        {"9/0=", {}, ""},
        {"2*", {}, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.keys);
        Field->SetText("");
        if (!Field->PopupOpen())
            TestHooks::KeyStroke(Form.get(), VK_DOWN, TShiftState{ssAlt});
        ASSERT_TRUE(Field->PopupOpen());
        Field->CloseUps.clear();
        Type(r.keys);
        EXPECT_EQ(Field->CloseUps, r.closeUps);
        EXPECT_EQ(Field->PopupOpen(), r.closeUps.empty());
        if (!r.closeUps.empty()) {
            EXPECT_EQ(Field->Text(), r.text);
            EXPECT_FALSE(Popup->Visible());
        }
    }
}

TEST_F(PopupCalculators, ItsButtonsTakeClicksWhileTheEditKeepsTheFocus)
{
    auto* other = PlaceControl<TEdit>(Form.get(), 150, 20, 80, 21);
    (void)other;
    Field->SetFocus();
    Field->OpenPopup();
    ASSERT_TRUE(Field->PopupOpen());
    ASSERT_EQ(Form->ActiveControl(), Field);
    for (TCalcBtnKind k : {cbDigit1, cbDigit2, cbAdd, cbDigit3})
        ClickButton(k);
    EXPECT_EQ(Calc->Display(), "3");
    EXPECT_TRUE(Field->PopupOpen());
    EXPECT_EQ(Form->ActiveControl(), Field);
    EXPECT_TRUE(Field->CloseUps.empty()); // a press inside keeps it open
    ClickButton(cbEquals);
    EXPECT_FALSE(Field->PopupOpen());
    EXPECT_EQ(Field->Text(), "15");
    EXPECT_EQ(Form->ActiveControl(), Field);
}

TEST_F(PopupCalculators, TheFieldFreedWhileItsPopupIsOpen)
{
    Field->SetFocus();
    Field->OpenPopup();
    Keys("12");
    ASSERT_TRUE(Popup->Visible());
    delete Field;
    Field = nullptr;
    TestHooks::RunPostedMessages();
    EXPECT_TRUE(VisiblePopups().empty());
}

TEST_F(PopupCalculators, TheFieldFreedWhenItsPopupClosesUp)
{
    Field->SetFocus();
    Field->OpenPopup();
    // The result frees the field from inside the calculator's key that gave it.
    Popup->OnCloseUp = [this](TObject*, bool accept) {
        EXPECT_TRUE(accept);
        CalcField* gone = Field;
        Field = nullptr;
        delete gone;
    };
    Keys("12+3\r");
    EXPECT_EQ(Field, nullptr);
    EXPECT_TRUE(VisiblePopups().empty());
}

TEST_F(PopupCalculators, Picture)
{
    Field->SetFocus();
    Field->OpenPopup();
    ASSERT_TRUE(Popup->Visible());
    Keys("12+");
    const TPoint at = TestHooks::ControlToForm(Calc->Button(cbDigit8), Point(5, 5));
    TestHooks::MouseDown(Popup, mbLeft, at);
    ASSERT_EQ(Calc->Button(cbDigit8)->State(), bsDown);
    // The window as the screen shows it: its client area inside its one-pixel frame.
    const TBitmap client = DrawControlPicture(*Popup);
    ASSERT_EQ(client.Width(), Popup->ClientWidth());
    TBitmap picture;
    picture.SetSize(Popup->Width(), Popup->Height());
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            picture.SetPixelColor(x, y, ColorToRGB(clWindowFrame));
    for (int y = 0; y < client.Height(); ++y)
        for (int x = 0; x < client.Width(); ++x)
            picture.SetPixelColor(x + 1, y + 1, client.PixelColor(x, y));
    TestHooks::MouseUp(Popup, mbLeft, at);
    ComparePicture(picture, "calculator");
}

} // namespace
