#include "tesk/widgets/Calculators.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Clipbrd.h"
#include "platform/SysUtils.h"
#include "platform/System.h"
#include "tesk/widgets/WidgetSupport.h"

namespace {

struct TButtonPlace {
    TCalcBtnKind Kind;
    int Left, Top, Width;
};

// The buttons of the panel and where they sit; the others work from the keyboard only.
constexpr TButtonPlace ButtonPlaces[] = {
    {cbDigit7, 6, 6, 21},    {cbDigit8, 29, 6, 21},    {cbDigit9, 52, 6, 21},  {cbDivide, 75, 6, 21},
    {cbDigit4, 6, 29, 21},   {cbDigit5, 29, 29, 21},   {cbDigit6, 52, 29, 21}, {cbMultiply, 75, 29, 21},
    {cbDigit1, 6, 52, 21},   {cbDigit2, 29, 52, 21},   {cbDigit3, 52, 52, 21}, {cbSubtract, 75, 52, 21},
    {cbDigit0, 6, 75, 21},   {cbDecimal, 29, 75, 21},  {cbSign, 52, 75, 21},   {cbAdd, 75, 75, 21},
    {cbClear, 6, 98, 21},    {cbBackspace, 29, 98, 21}, {cbEquals, 52, 98, 44},
};

std::string KindCaption(TCalcBtnKind kind)
{
    if (kind >= cbDigit0 && kind <= cbDigit9)
        return std::to_string(kind - cbDigit0);
    switch (kind) {
    case cbSign: return "\xB1";
    case cbDecimal: return std::string(1, DecimalSeparator);
    case cbDivide: return "/";
    case cbMultiply: return "*";
    case cbSubtract: return "-";
    case cbAdd: return "+";
    case cbSqrt: return "sqrt";
    case cbPercent: return "%";
    case cbReciprocal: return "1/x";
    case cbEquals: return "=";
    case cbBackspace: return "<-";
    case cbClear: return "C";
    default: return {};
    }
}

// The command character a button of the kind stands for.
char KindCommand(TCalcBtnKind kind)
{
    if (kind == cbDecimal)
        return DecimalSeparator;
    if (kind >= cbDigit0 && kind <= cbClear)
        return CalcKeyString[kind - 1];
    return 0;
}

char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

TFont CalculatorFont()
{
    TFont font;
    font.Name = "MS Sans Serif";
    font.SetSize(8);
    font.Style = fsBold;
    font.Color = clWindowText;
    return font;
}

// ---------------------------------------------------------------------------------------

TCalcButton::TCalcButton(TComponent* AOwner, TCalcBtnKind kind) : TExSpeedButton(AOwner), FKind(kind)
{
    SetTag(kind >= cbDigit0 && kind <= cbClear ? kind - 1 : -1);
    SetStyle(bsNew);
    SetParentFont(true);
    Font().Color = KindColor(kind);
}

TColor TCalcButton::KindColor(TCalcBtnKind kind)
{
    switch (kind) {
    case cbDivide:
    case cbMultiply:
    case cbSubtract:
    case cbAdd:
    case cbEquals: return clPurple;
    case cbBackspace:
    case cbClear: return clMaroon;
    case cbSqrt:
    case cbPercent:
    case cbReciprocal: return clNavy;
    default: return clBtnText;
    }
}

void TCalcButton::FontChanged()
{
    // The parent's font arrives whole; the caption keeps its kind's colour.
    if (!FRecolouring && ParentFont()) {
        const TFlagScope scope(FRecolouring);
        Font().Color = KindColor(FKind);
    }
    TExSpeedButton::FontChanged();
}

// ---------------------------------------------------------------------------------------

TCalculatorPanel::TCalculatorPanel(TComponent* AOwner) : TPanel(AOwner)
{
    InitWidgetLibrary();
    SetFont(CalculatorFont());
    CreateButtons();
}

TCalculatorPanel::~TCalculatorPanel()
{
    *FAlive = false;
    OnDisplayChange = nullptr;
    OnResult = nullptr;
}

void TCalculatorPanel::CreateButtons()
{
    for (const TButtonPlace& place : ButtonPlaces) {
        auto* b = new TCalcButton(this, place.Kind);
        b->SetParent(this);
        b->SetBounds(place.Left, place.Top, place.Width, 21);
        b->SetCaption(KindCaption(place.Kind));
        b->OnClick = [this, b](TObject*) { ButtonClick(b); };
    }
}

TCalcButton* TCalculatorPanel::Button(TCalcBtnKind kind) const
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TCalcButton*>(Controls(i)); b && b->Kind() == kind)
            return b;
    return nullptr;
}

void TCalculatorPanel::SetPrecision(int value)
{
    FPrecision = static_cast<uint8_t>(std::clamp(value, 0, 255));
}

void TCalculatorPanel::SetCtl3D(bool on)
{
    if (on == FCtl3D)
        return;
    FCtl3D = on;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TCalcButton*>(Controls(i)))
            b->SetStyle(on ? bsNew : bsWin31);
    Invalidate();
}

void TCalculatorPanel::SetText(const std::string& text)
{
    FDisplay = text;
    if (FKeyDepth == 0)
        ReportDisplay();
}

void TCalculatorPanel::ReportDisplay()
{
    if (FDisplay == FReported)
        return;
    FReported = FDisplay;
    if (OnDisplayChange)
        OnDisplayChange();
}

double TCalculatorPanel::GetDisplayValue() const
{
    if (FStatus == 2)
        return 0;
    double value = 0;
    if (!TryStrToFloat(TrimControls(FDisplay), value))
        return 0;
    return value;
}

void TCalculatorPanel::SetDisplay(double value)
{
    if (!std::isfinite(value)) {
        ShowError();
        return;
    }
    const int digits = std::min(MaxOf(2, FPrecision), 18);
    SetText(FloatToStrF(value, ffGeneral, digits, 0));
}

void TCalculatorPanel::ShowError()
{
    FStatus = 2;
    SetText("Error");
    if (FBeepOnError)
        MessageBeep(0);
}

void TCalculatorPanel::StartNumber()
{
    if (FStatus != 0)
        return;
    FStatus = 1;
    SetText("0");
}

void TCalculatorPanel::StartWith(double value)
{
    SetDisplay(std::isfinite(value) ? value : 0);
    FStatus = 0;
    FPendingOperator = '=';
}

void TCalculatorPanel::ButtonClick(TCalcButton* button)
{
    if (button)
        ProcessKey(KindCommand(button->Kind()));
}

void TCalculatorPanel::RouteKey(char key)
{
    if (key == ',' || key == '.' || key == DecimalSeparator)
        key = '.';
    else if (key == 13)
        key = '=';
    else if (key == 27)
        key = 'C';
    key = UpperCase(key);
    const char* at = key != 0 ? std::strchr(CalcKeyString, key) : nullptr;
    // A command character's position in CalcKeyString is its button kind less one.
    if (TCalcButton* b = at ? Button(static_cast<TCalcBtnKind>(at - CalcKeyString + 1)) : nullptr) {
        PressAndClickButton(b);
        return;
    }
    ProcessKey(key);
}

void TCalculatorPanel::ShowResult(double value)
{
    // A result beyond the range of numbers is an error, as a division by zero is.
    if (std::isfinite(value))
        SetDisplay(value);
    else
        ShowError();
}

void TCalculatorPanel::Operator(char key)
{
    if (FStatus == 1) {
        FStatus = 0;
        double y = GetDisplayValue();
        if (key == '%') {
            if (FPendingOperator == '*' || FPendingOperator == '/')
                y = y * 0.01;
            else if (FPendingOperator == '+' || FPendingOperator == '-')
                y = FOperand * y * 0.01;
        }
        switch (FPendingOperator) {
        case '*': ShowResult(FOperand * y); break;
        case '+': ShowResult(FOperand + y); break;
        case '-': ShowResult(FOperand - y); break;
        case '/':
            if (y != 0)
                ShowResult(FOperand / y);
            else
                ShowError();
            break;
        default: break;
        }
    }
    FPendingOperator = key;
    FOperand = GetDisplayValue();
    if ((key == 13 || key == '%' || key == '=') && OnResult) {
        const auto alive = FAlive;
        ReportDisplay();
        if (*alive && OnResult)
            OnResult();
    }
}

void TCalculatorPanel::ProcessKey(char key)
{
    // One key, one report of the display: a new number passes through "0" unseen.
    const auto alive = FAlive;
    ++FKeyDepth;
    try {
        Command(UpperCase(key));
    } catch (...) {
        if (*alive)
            --FKeyDepth;
        throw;
    }
    if (!*alive)
        return;
    --FKeyDepth;
    if (FKeyDepth == 0)
        ReportDisplay();
}

void TCalculatorPanel::Command(char key)
{
    if (FStatus == 2 && key != 'C' && key != 27)
        return;
    if (key == ',' || key == '.' || key == DecimalSeparator) {
        StartNumber();
        if (FDisplay.find(DecimalSeparator) == std::string::npos)
            SetText(FDisplay + DecimalSeparator);
        return;
    }
    if (key >= '0' && key <= '9') {
        StartNumber();
        std::string text = FDisplay == "0" ? std::string() : FDisplay;
        if (text.find('E') != std::string::npos) {
            SetText(text);
            return;
        }
        const size_t minus = text.find('-');
        const size_t limit = static_cast<size_t>(MaxOf(2, FPrecision)) + (minus == std::string::npos ? 0 : minus + 1);
        if (text.size() < limit) {
            SetText(text + key);
        } else {
            SetText(text);
            if (FBeepOnError)
                MessageBeep(0);
        }
        return;
    }
    switch (key) {
    case 3:
        Clipboard()->SetAsText(FDisplay);
        break;
    case 22: {
        double value = 0;
        bool ok = Clipboard()->HasFormat(CF_TEXT);
        if (ok) {
            std::string text = Clipboard()->AsText();
            if (!CurrencyString.empty())
                text = ReplaceAll(text, CurrencyString, "");
            ok = TryStrToFloat(TrimControls(text), value) && std::isfinite(value);
        }
        SetDisplay(ok ? value : 0);
        break;
    }
    case 8:
        StartNumber();
        if (FDisplay.size() == 1 || (FDisplay.size() == 2 && FDisplay[0] == '-'))
            SetText("0");
        else if (!FDisplay.empty())
            SetText(FDisplay.substr(0, FDisplay.size() - 1));
        break;
    case 13:
    case '%':
    case '*':
    case '+':
    case '-':
    case '/':
    case '=':
        Operator(key);
        break;
    case 27:
    case 'C':
        FStatus = 0;
        SetDisplay(0);
        FPendingOperator = '=';
        break;
    case 'Q':
        if (FStatus <= 1) {
            FStatus = 0;
            const double v = GetDisplayValue();
            if (v >= 0)
                SetDisplay(std::sqrt(v));
            else
                ShowError();
        }
        break;
    case 'R':
        if (FStatus <= 1) {
            FStatus = 0;
            const double v = GetDisplayValue();
            if (v != 0)
                ShowResult(1 / v);
            else
                ShowError();
        }
        break;
    case '_':
        SetDisplay(-GetDisplayValue());
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------

TLocCalculator::TLocCalculator(TComponent* AOwner) : TCalculatorPanel(AOwner)
{
    SetBounds(Left(), Top(), 98, 124);
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
    SetColor(clBtnFace);
    SetParentColor(true);
    ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csReplicatable;
    SetTabStop(false);
    SetTakesFocus(false);
    SetEnabled(false);
    EnableWindow(this, true);
}

void TLocCalculator::EnabledChanged()
{
    TCalculatorPanel::EnabledChanged();
    // The control stays out of the focus while its window takes clicks.
    EnableWindow(this, true);
}

// ---------------------------------------------------------------------------------------

TPopupCalculator::TPopupCalculator(TCustomComboEdit* owner) : TPopupWindow(owner)
{
    InitWidgetLibrary();
    SetBounds(Left(), Top(), 104, 127);
    SetColor(clBtnFace);
    SetFont(CalculatorFont());
    FCalculator = new TLocCalculator(this);
    FCalculator->SetParent(this);
    FCalculator->SetAlign(alClient);
    FCalculator->SetBevelOuter(bvRaised);
    FCalculator->SetPrecision(15);
    FCalculator->SetVisible(true);
    FCalculator->OnDisplayChange = [this] {
        if (Edit())
            Edit()->Repaint();
    };
    FCalculator->OnResult = [this] { AcceptResult(); };
}

TPopupCalculator::~TPopupCalculator() { *FAlive = false; }

TPopupValue TPopupCalculator::GetValue()
{
    if (FCalculator->Status() == 2) {
        if (FCalculator->BeepOnError())
            MessageBeep(0);
        return 0.0;
    }
    FCalculator->SetDisplay(FCalculator->GetDisplayValue());
    return FCalculator->GetDisplayValue();
}

void TPopupCalculator::SetValue(const TPopupValue& value)
{
    double number = 0;
    if (const double* d = std::get_if<double>(&value)) {
        number = *d;
    } else if (const std::string* text = std::get_if<std::string>(&value)) {
        if (!TryStrToFloat(TrimControls(*text), number))
            number = 0;
    }
    FCalculator->StartWith(number);
}

std::string TPopupCalculator::GetPopupText() { return FCalculator->Display(); }

void TPopupCalculator::KeyPress(char& Key)
{
    const auto alive = FAlive;
    FCalculator->RouteKey(Key);
    if (*alive)
        TPopupWindow::KeyPress(Key);
}

void TPopupCalculator::AcceptResult()
{
    if (FCalculator->Status() == 2)
        return;
    FCalculator->SetDisplay(FCalculator->GetDisplayValue());
    CloseUp(true);
}

TPopupCalculator* CreatePopupCalculator(TCustomComboEdit* edit) { return new TPopupCalculator(edit); }

void SetupPopupCalculator(TPopupWindow* popup, int precision, bool beep)
{
    auto* calculator = dynamic_cast<TPopupCalculator*>(popup);
    if (!calculator || !calculator->Calculator())
        return;
    calculator->Calculator()->SetPrecision(MaxOf(2, precision));
    calculator->Calculator()->SetBeepOnError(beep);
}
