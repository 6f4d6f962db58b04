#include "tesk/widgets/NumEdits.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "platform/System.h"
#include "tesk/widgets/Calculators.h"
#include "tesk/widgets/WidgetSupport.h"

namespace {

// The number of a cleaned text; false for a text that is no finite number.
bool ReadFinite(const std::string& text, double& value)
{
    double v = 0;
    if (!TryStrToFloat(text, v) || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

} // namespace

const TBitmap* CalcEditGlyph()
{
    static const std::unique_ptr<TBitmap> glyph = LoadResourceBitmap("CEDITBMP");
    return glyph.get();
}

TCustomNumEdit::TCustomNumEdit(TComponent* AOwner) : TCustomComboEdit(AOwner)
{
    FCreating = true;
    SetMaxLength(0);
    TCustomComboEdit::SetAlignment(taLeftJustify);
    FDefaultGlyphCount = 2;
    SetGlyphKind(gkDefault);
    SetButtonWidth(20);
    SetEditText("");
    FCreating = false;
}

// ---------------------------------------------------------------------------------------
// Text forms

std::string TCustomNumEdit::TextToValText(const std::string& text)
{
    std::string s = TrimControls(text);
    if (DecimalSeparator != ThousandSeparator)
        s.erase(std::remove(s.begin(), s.end(), ThousandSeparator), s.end());
    for (char c : {'.', ','})
        if (DecimalSeparator != c && ThousandSeparator != c)
            std::replace(s.begin(), s.end(), c, DecimalSeparator);
    if (s.empty())
        s = "0";
    else if (s == "-")
        s = "-0";
    return s;
}

bool TCustomNumEdit::IsValidFloat(const std::string& text, double& value)
{
    for (char c : text) {
        const bool allowed = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'E' || c == 'e' ||
                             c == DecimalSeparator;
        if (!allowed)
            return false;
    }
    return ReadFinite(text, value);
}

std::string TCustomNumEdit::FormatFloatStr(const std::string& s, bool thousands)
{
    const int length = static_cast<int>(s.size());
    const bool sign = length > 0 && (s[0] == '-' || s[0] == '+');
    const int minSym = sign ? 1 : 0; // 0-based first digit
    int maxSym = length;             // one past the last digit of the integer part
    if (size_t d = s.find(DecimalSeparator); d != std::string::npos)
        maxSym = static_cast<int>(d);
    for (int i = 0; i < length; ++i)
        if (s[size_t(i)] == 'E' || s[size_t(i)] == 'e') {
            maxSym = std::min(maxSym, i);
            break;
        }
    std::string result = s.substr(size_t(std::max(maxSym, 0)));
    int group = 0;
    for (int i = maxSym - 1; i >= minSym; --i) {
        result.insert(result.begin(), s[size_t(i)]);
        ++group;
        if (group == 3 && thousands && i > minSym) {
            group = 0;
            result.insert(result.begin(), ThousandSeparator);
        }
    }
    if (sign)
        result.insert(result.begin(), s[0]);
    return result;
}

std::string TCustomNumEdit::EditFormat() const
{
    std::string format = "0";
    if (FDecimalPlaces > 0)
        format += "." + std::string(std::min<unsigned>(FDecimalPlaces, 255), '#');
    return format;
}

std::string TCustomNumEdit::DisplayText() const
{
    if (FDisplayFormat.empty())
        return FloatToStr(FValue);
    return FormatFloat(FDisplayFormat, FValue);
}

double TCustomNumEdit::CheckValue(double value, bool raise) const
{
    double result = value;
    if (FMaxValue != FMinValue) {
        if (FMaxValue > FMinValue) {
            if (value < FMinValue)
                result = FMinValue;
            else if (value > FMaxValue)
                result = FMaxValue;
        } else if (FMaxValue == 0) {
            if (value < FMinValue)
                result = FMinValue;
        } else if (FMinValue == 0) {
            if (value > FMaxValue)
                result = FMaxValue;
        }
        if (raise && result != value) {
            const int places = static_cast<int>(std::min<unsigned>(FDecimalPlaces, 255));
            throw ERangeError(Format(ReplaceAll("Value must be between %d and %d", "%d", "%.*f"),
                                     {places, FMinValue, places, FMaxValue}));
        }
    }
    return result;
}

bool TCustomNumEdit::IsValidChar(char key) const
{
    std::string s = Text();
    const size_t start = std::min(static_cast<size_t>(std::max(SelStart(), 0)), s.size());
    const size_t length = std::min(static_cast<size_t>(std::max(SelLength(), 0)), s.size() - start);
    s.replace(start, length, 1, key);
    s = TextToValText(s);
    if (size_t dec = s.find(DecimalSeparator); dec != std::string::npos) {
        size_t e = s.find_first_of("Ee");
        const size_t decimals = e != std::string::npos && e > dec ? e - dec : s.size() - dec - 1;
        if (decimals > FDecimalPlaces)
            return false;
    }
    double value = 0;
    if (!IsValidFloat(s, value))
        return false;
    return !(FMinValue >= 0 && FMaxValue > 0 && value < 0);
}

// ---------------------------------------------------------------------------------------
// Value and settings

void TCustomNumEdit::SetEditText(const std::string& text) { TCustomComboEdit::SetCaption(text); }

std::string TCustomNumEdit::ValueEditText() const
{
    return FValue != 0 || !FZeroEmpty ? FormatFloat(EditFormat(), FValue) : std::string();
}

bool TCustomNumEdit::DataChanged()
{
    auto alive = FAlive;
    SetEditText(ValueEditText());
    return *alive;
}

double TCustomNumEdit::TextNumber() const
{
    const std::string text = TextToValText(Text());
    double v = 0;
    if (!ReadFinite(text, v))
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return v;
}

void TCustomNumEdit::UpdateData()
{
    ValidateEdit();
    FValue = CheckValue(TextNumber(), false);
}

void TCustomNumEdit::CheckRange()
{
    if (FCheckOnExit)
        CheckValue(TextNumber(), true);
}

double TCustomNumEdit::Value()
{
    try {
        UpdateData();
    } catch (const Exception&) {
        FValue = FMinValue;
    }
    return FValue;
}

void TCustomNumEdit::SetValue(double value)
{
    if (!std::isfinite(value))
        return;
    const double v = CheckValue(value, false);
    if (v == Value())
        return;
    FValue = v;
    if (DataChanged())
        Invalidate();
}

void TCustomNumEdit::SetMinValue(double value)
{
    if (!std::isfinite(value) || value == FMinValue)
        return;
    FMinValue = value;
    ReClamp();
}

void TCustomNumEdit::SetMaxValue(double value)
{
    if (!std::isfinite(value) || value == FMaxValue)
        return;
    FMaxValue = value;
    ReClamp();
}

void TCustomNumEdit::ReClamp()
{
    const double v = CheckValue(Value(), false);
    if (v != FValue || Text() != ValueEditText()) {
        FValue = v;
        if (DataChanged())
            Invalidate();
    }
}

void TCustomNumEdit::SetCaption(const std::string& text)
{
    double v = FMinValue;
    ReadFinite(TextToValText(text), v);
    FValue = CheckValue(v, false);
    if (DataChanged())
        Invalidate();
}

void TCustomNumEdit::SetDecimalPlaces(unsigned places)
{
    if (places == FDecimalPlaces)
        return;
    FDecimalPlaces = places;
    if (DataChanged())
        Invalidate();
}

void TCustomNumEdit::SetZeroEmpty(bool on)
{
    if (on == FZeroEmpty)
        return;
    FZeroEmpty = on;
    DataChanged();
}

void TCustomNumEdit::SetDisplayFormat(const std::string& format)
{
    if (format == FDisplayFormat)
        return;
    FDisplayFormat = format;
    if (DataChanged())
        Invalidate();
}

void TCustomNumEdit::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    Invalidate();
}

void TCustomNumEdit::SetFormatOnEditing(bool on)
{
    if (on == FFormatOnEditing)
        return;
    FFormatOnEditing = on;
    TCustomComboEdit::SetAlignment(on ? FAlignment : taLeftJustify);
    if (Focused()) {
        if (on) {
            ReformatEditText();
        } else {
            Value();
            DataChanged();
        }
    }
}

void TCustomNumEdit::SetBeepOnError(bool on) { FBeepOnError = on; }

void TCustomNumEdit::ReformatEditText()
{
    const TFlagScope scope(FFormatting);
    std::string s = Text();
    const int oldLength = static_cast<int>(s.size());
    const bool empty = s.empty() || s == "-";
    const int selStart = SelStart();
    if (!empty)
        s = TextToValText(s);
    s = FormatFloatStr(s, FDisplayFormat.find(',') != std::string::npos);
    if (s != Text())
        SetEditText(s);
    if (Focused())
        SetSelStart(std::max(0, selStart + static_cast<int>(s.size()) - oldLength));
}

// ---------------------------------------------------------------------------------------
// Pop-up value

TPopupValue TCustomNumEdit::PopupValueFromText() { return Value(); }

void TCustomNumEdit::AcceptValue(const TPopupValue& value)
{
    double v = 0;
    if (const auto* d = std::get_if<double>(&value))
        v = *d;
    else if (const auto* s = std::get_if<std::string>(&value)) {
        if (!ReadFinite(TextToValText(*s), v))
            return;
    } else
        return;
    const std::string before = Text();
    // OnChange may free the field.
    auto alive = FAlive;
    SetValue(v);
    if (*alive && Text() != before)
        SetModified(true);
}

// ---------------------------------------------------------------------------------------
// Keys, focus and paste

void TCustomNumEdit::KeyPress(char& Key)
{
    if (PopupOpen() && Popup()) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(Key)));
        // The calculator's command characters, Enter and either decimal separator.
        const bool forCalculator = upper == '\r' || upper == ',' || Key == DecimalSeparator ||
                                   std::strchr(CalcKeyString, upper) != nullptr;
        if (Key != 0 && forCalculator) {
            auto alive = FAlive;
            Popup()->PopupKeyPress(Key);
            if (*alive)
                Key = 0;
            return;
        }
    }
    if (Key == '.' || Key == ',')
        Key = DecimalSeparator;
    auto alive = FAlive;
    TCustomComboEdit::KeyPress(Key);
    if (!*alive)
        return;
    if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(Key)) {
        if (FBeepOnError)
            MessageBeep(0);
        Key = 0;
    } else if (Key == 27) {
        Key = 0;
        if (DataChanged())
            SelectAll();
    }
}

void TCustomNumEdit::Change()
{
    if (FFormatting)
        return;
    if (FFormatOnEditing && Focused())
        ReformatEditText();
    TCustomComboEdit::Change();
}

void TCustomNumEdit::SetEditing(bool on)
{
    if (on == FEditingText)
        return;
    FEditingText = on;
    Invalidate();
    const TFlagScope scope(FFormatting);
    DataChanged();
}

void TCustomNumEdit::DoEnter()
{
    SetEditing(true);
    if (FFormatOnEditing)
        ReformatEditText();
    TCustomComboEdit::DoEnter();
}

void TCustomNumEdit::DoExit()
{
    try {
        CheckRange();
        UpdateData();
    } catch (...) {
        SelectAll();
        throw;
    }
    SetEditing(false);
    SetSelStart(0);
    TCustomComboEdit::DoExit();
}

void TCustomNumEdit::PasteFromClipboard()
{
    const std::string before = Text();
    try {
        TCustomComboEdit::PasteFromClipboard();
        UpdateData();
    } catch (const Exception&) {
        SetEditText(before);
        SelectAll();
        if (CanFocus() && !Focused())
            SetFocus();
        if (FBeepOnError)
            MessageBeep(0);
    }
}

void TCustomNumEdit::FontChanged()
{
    TCustomComboEdit::FontChanged();
    Invalidate();
}

void TCustomNumEdit::EnabledChanged()
{
    TCustomComboEdit::EnabledChanged();
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// Painting

bool TCustomNumEdit::OwnerDraws() const { return !(FEditingText && !PopupOpen()); }

TPoint TCustomNumEdit::EditTextMargins() const
{
    if (NewStyleControls) {
        int k = 0;
        if (BorderStyle() == bsSingle)
            k = Ctl3D() ? 1 : 2;
        return Point(LeftMargin() + k, k);
    }
    if (BorderStyle() == bsNone)
        return Point(0, 0);
    const int quarter = SmallerTextHeight(Font()) / 4;
    return Point(quarter, quarter);
}

void TCustomNumEdit::DrawContent(TCanvas& canvas)
{
    const std::string text = PopupOpen() && Popup() ? Popup()->GetPopupText() : DisplayText();
    canvas.Font = Font();
    if (!Enabled() && NewStyleControls && ColorToRGB(Color()) != ColorToRGB(clGrayText))
        canvas.Font.Color = clGrayText;
    canvas.Brush.Color = Color();
    canvas.Brush.Style = bsSolid;
    const TRect r = Rect(0, 0, ClientWidth(), ClientHeight());
    canvas.FillRect(r);
    const TPoint margins = EditTextMargins();
    int textWidth = canvas.TextWidth(text);
    const int button = ButtonHolder() && ButtonHolder()->Visible() ? ButtonWidth() : 0;
    if (button > 0)
        ++textWidth;
    int x = margins.X;
    if (!PopupOpen()) {
        switch (FAlignment) {
        case taLeftJustify: x = margins.X; break;
        case taRightJustify: x = ClientWidth() - button - textWidth - margins.X - 2; break;
        case taCenter: x = (ClientWidth() - button - textWidth) / 2; break;
        }
    }
    canvas.Brush.Style = bsClear;
    canvas.TextRect(r, x, margins.Y, text);
    canvas.Brush.Style = bsSolid;
}

// ---------------------------------------------------------------------------------------
// TExCustomCalcEdit

namespace {
constexpr int CalculatorPrecision = 15;
} // namespace

TExCustomCalcEdit::TExCustomCalcEdit(TComponent* AOwner) : TCustomNumEdit(AOwner)
{
    FPopup = CreatePopupCalculator(this);
    FPopup->OnCloseUp = [this](TObject* sender, bool accept) { ClosePopup(sender, accept); };
    SetupPopupCalculator(FPopup, CalculatorPrecision, BeepOnError());
}

TExCustomCalcEdit::~TExCustomCalcEdit()
{
    if (TPopupWindow* popup = FPopup) {
        popup->OnCloseUp = nullptr;
        if (PopupOpen())
            popup->Hide();
        FPopup = nullptr;
        delete popup;
    }
}

void TExCustomCalcEdit::SetBeepOnError(bool on)
{
    TCustomNumEdit::SetBeepOnError(on);
    if (FPopup)
        SetupPopupCalculator(FPopup, CalculatorPrecision, on);
}
