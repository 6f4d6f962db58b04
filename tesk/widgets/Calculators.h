#pragma once
// The pop-up calculator of the numeric field: a small four-function calculator under the
// field. The panel (TCalculatorPanel) holds the arithmetic, its display register and a
// set of speed buttons; TLocCalculator is the panel as the pop-up shows it, taking clicks
// but never the keyboard focus, so that the field keeps its caret and its keys.
//
// TPopupCalculator is the pop-up window of a combo edit that holds one such panel.
//
// Keys reach the panel through RouteKey: a key that stands for a button presses and
// clicks that button, any other goes straight to ProcessKey. "=" or Enter hands the
// result to the result callback (the pop-up then closes, taking the value).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ExtCtrls.h"
#include "tesk/widgets/ComboEdits.h"
#include "tesk/widgets/SpeedButtons.h"

// The kinds of the calculator's buttons; the order is that of CalcKeyString.
enum TCalcBtnKind : uint8_t {
    cbNone,
    cbDigit0, cbDigit1, cbDigit2, cbDigit3, cbDigit4, cbDigit5, cbDigit6, cbDigit7, cbDigit8, cbDigit9,
    cbSign,     // "±": change sign
    cbDecimal,  // the decimal separator
    cbDivide, cbMultiply, cbSubtract, cbAdd,
    cbSqrt,     // no button here; "Q" from the keyboard
    cbPercent,  // no button here; "%" from the keyboard
    cbReciprocal, // no button here; "R" from the keyboard
    cbEquals,
    cbBackspace,
    cbClear,
};

// The command characters of the kinds 1..22, in order: a button's Tag is its position
// here (character 8 is Backspace).
inline constexpr char CalcKeyString[] = "0123456789_./*-+Q%R=\bC";

class TCalculatorPanel;

// A speed button of the calculator that knows its kind. Its caption colour follows its
// kind and is set again whenever it takes a new font from its parent.
class TCalcButton : public TExSpeedButton {
public:
    TCalcButton(TComponent* AOwner, TCalcBtnKind kind);
    TCalcBtnKind Kind() const { return FKind; }
    // The caption colour of a kind.
    static TColor KindColor(TCalcBtnKind kind);

protected:
    void FontChanged() override;

private:
    TCalcBtnKind FKind = cbNone;
    bool FRecolouring = false;
};

// The font of the calculator: "MS Sans Serif", 8 points, bold, in the window-text colour.
TFont CalculatorFont();

class TCalculatorPanel : public TPanel {
public:
    explicit TCalculatorPanel(TComponent* AOwner);
    ~TCalculatorPanel() override;

    // The register shown.
    const std::string& Display() const { return FDisplay; }
    // 0: showing a result (the next digit starts a new number); 1: entering a number;
    // 2: error.
    uint8_t Status() const { return FStatus; }
    double Operand() const { return FOperand; }
    // Significant digits (at least 2 are used).
    uint8_t Precision() const { return FPrecision; }
    void SetPrecision(int value);
    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool on) { FBeepOnError = on; }
    // The operator waiting for its right operand (0: none yet).
    char PendingOperator() const { return FPendingOperator; }

    // The display changed; the result is ready ("=", Enter or "%").
    std::function<void()> OnDisplayChange;
    std::function<void()> OnResult;

    // The value shown (0 in the error state).
    double GetDisplayValue() const;
    // Shows a number in the general format with max(2, Precision) digits.
    void SetDisplay(double value);
    void ShowError();
    // A digit or a separator after a result begins a new number.
    void StartNumber();
    // A key as the keyboard gives it: one that stands for a button presses and clicks
    // the button, any other goes to ProcessKey.
    void RouteKey(char key);
    // Acts on one command character.
    void ProcessKey(char key);
    // The result and value exchange of the pop-up: a new calculation starting at value.
    void StartWith(double value);

    // The button of a kind, or null.
    TCalcButton* Button(TCalcBtnKind kind) const;
    // The flat look (false) draws the buttons in the old style.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool on);

    // A click of one of the panel's buttons.
    void ButtonClick(TCalcButton* button);

private:
    void SetText(const std::string& text);
    // Reports a display that changed since the last report.
    void ReportDisplay();
    void Command(char key);
    void ShowResult(double value);
    void Operator(char key);
    void CreateButtons();

    std::string FDisplay = "0";
    uint8_t FStatus = 0;
    double FOperand = 0;
    uint8_t FPrecision = 15;
    bool FBeepOnError = true;
    char FPendingOperator = 0;
    bool FCtl3D = true;
    std::string FReported = "0";
    int FKeyDepth = 0;
    // False once the panel is destroyed (a result handler may free its owner).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The panel as the pop-up shows it: 98 x 124, no bevels of its own, the button face.
// It is disabled as a control (it never takes the focus and Tab never reaches it) while
// its window takes clicks, so its buttons work with the mouse.
class TLocCalculator : public TCalculatorPanel {
public:
    explicit TLocCalculator(TComponent* AOwner);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool on) { FParentCtl3D = on; }

protected:
    void EnabledChanged() override;

private:
    bool FParentCtl3D = true;
};

// The calculator as a combo edit's pop-up: 104 x 127, holding a raised TLocCalculator.
// Its value is the number shown; "=", Enter or "%" close it up taking the result (not
// in the error state), and every change of the display repaints the edit at once, which
// shows the display while the pop-up is open.
class TPopupCalculator : public TPopupWindow {
public:
    explicit TPopupCalculator(TCustomComboEdit* owner);
    ~TPopupCalculator() override;

    TLocCalculator* Calculator() const { return FCalculator; }
    // The number shown (normalised); in the error state a beep and 0.
    TPopupValue GetValue() override;
    // Starts a new calculation at the value (none, or text that is no number: 0).
    void SetValue(const TPopupValue& value) override;
    std::string GetPopupText() override;
    // A character for the calculator (the edit hands on those it does not keep).
    void KeyPress(char& Key) override;
    // Closes up accepting the shown result, unless the calculator is in its error state.
    void AcceptResult();

private:
    TLocCalculator* FCalculator = nullptr;
    // False once the pop-up is destroyed (its result may free the edit that owns it).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// A new calculator pop-up owned by the edit.
TPopupCalculator* CreatePopupCalculator(TCustomComboEdit* edit);
// For a calculator pop-up: its precision (at least 2) and whether errors beep.
void SetupPopupCalculator(TPopupWindow* popup, int precision, bool beep);
