#pragma once
// The numeric field: a combo edit holding a floating-point Value. Typing lets through
// only characters that keep the text a number within its decimals and its sign limit;
// leaving the field parses the text and clamps it to MinValue..MaxValue; while not being
// edited the field shows the value formatted by DisplayFormat. The calculator edit drops
// the pop-up calculator down from its button.
//
// Value is always a finite number: texts that are no number give MinValue, and NaN or an
// infinity set in code change nothing.
#include <string>

#include "tesk/widgets/ComboEdits.h"

// The numeric fields' "CEDITBMP" (two glyphs), loaded on first use, shared and freed at
// program end; null when the resource is missing.
const TBitmap* CalcEditGlyph();

class TCustomNumEdit : public TCustomComboEdit {
public:
    explicit TCustomNumEdit(TComponent* AOwner);

    // Parses the text first; a text that is no number gives MinValue.
    double Value();
    // Clamped without an error; the text is rewritten when the value changes.
    void SetValue(double value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double value);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double value);
    unsigned DecimalPlaces() const { return FDecimalPlaces; }
    void SetDecimalPlaces(unsigned places);
    bool BeepOnError() const { return FBeepOnError; }
    virtual void SetBeepOnError(bool on);
    bool CheckOnExit() const { return FCheckOnExit; }
    void SetCheckOnExit(bool on) { FCheckOnExit = on; }
    bool ZeroEmpty() const { return FZeroEmpty; }
    void SetZeroEmpty(bool on);
    bool FormatOnEditing() const { return FFormatOnEditing; }
    void SetFormatOnEditing(bool on);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& format);
    // The alignment of the value shown while the field is not edited (the edit's own
    // text stays left-aligned unless FormatOnEditing).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    bool EditingText() const { return FEditingText; }
    bool Formatting() const { return FFormatting; }

    // Text set: Value becomes the clamped number of the cleaned text (MinValue when it
    // is no number) and the edit text is written from it.
    void SetCaption(const std::string& text) override;
    void PasteFromClipboard() override;

    // The text forms.
    std::string EditFormat() const;
    std::string DisplayText() const;
    // Trimmed; thousands separators deleted when the two separators differ; "." and ","
    // as the decimal separator unless themselves a separator; "" as "0", "-" as "-0".
    static std::string TextToValText(const std::string& text);
    // Only "+", "-", digits, "E", "e" and the decimal separator, and a number.
    static bool IsValidFloat(const std::string& text, double& value);
    // The integer part grouped by thousands when asked; sign and fraction kept.
    static std::string FormatFloatStr(const std::string& text, bool thousands);
    // Clamped to the limits; with raise, a value that would change raises ERangeError.
    double CheckValue(double value, bool raise) const;
    // Whether a typed character leaves the text with the selection replaced a valid
    // number within the decimals and the sign limit.
    bool IsValidChar(char key) const;

    // The pixels between the client area and the drawn text (x left, y top).
    TPoint EditTextMargins() const;
    bool OwnerDraws() const override;
    void DrawContent(TCanvas& canvas) override;

protected:
    const TBitmap* DefaultGlyph() const override { return CalcEditGlyph(); }
    TPopupValue PopupValueFromText() override;
    void AcceptValue(const TPopupValue& value) override;
    void Change() override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void FontChanged() override;
    void EnabledChanged() override;
    // Writes the edit text from Value (empty for 0 with ZeroEmpty); false when OnChange
    // freed the field.
    bool DataChanged();
    // The edit text Value gives (empty for 0 with ZeroEmpty).
    std::string ValueEditText() const;
    // The number of the cleaned text; raises EConvertError when it is no number.
    double TextNumber() const;
    // Parses the text into Value (clamped); raises EConvertError when it is no number.
    void UpdateData();
    // With CheckOnExit, the raising clamp of the text's number.
    void CheckRange();
    void ReformatEditText();
    // The edit's own text, set without the Text setter's parsing.
    void SetEditText(const std::string& text);
    void SetEditing(bool on);
    // Value set to itself again under new limits.
    void ReClamp();

private:
    TAlignment FAlignment = taRightJustify;
    bool FEditingText = false;
    double FValue = 0;
    double FMinValue = 0;
    double FMaxValue = 0;
    unsigned FDecimalPlaces = 2;
    bool FBeepOnError = true;
    bool FCheckOnExit = false;
    bool FZeroEmpty = true;
    bool FFormatOnEditing = false;
    bool FFormatting = false;
    std::string FDisplayFormat = ",0.##";
};

// The numeric field with the pop-up calculator as its pop-up: the button (or the click
// key) drops it down at the field's value; its result comes back as Value, clamped.
class TExCustomCalcEdit : public TCustomNumEdit {
public:
    explicit TExCustomCalcEdit(TComponent* AOwner);
    ~TExCustomCalcEdit() override;
    void SetBeepOnError(bool on) override;
};

// The calculator edit as forms and the property inspector place it.
class TExCalcEdit : public TExCustomCalcEdit {
public:
    using TExCustomCalcEdit::TExCustomCalcEdit;
};
