#pragma once
// The shadowed label: a window-less caption drawn twice, first in a shadow colour moved
// a few pixels towards one corner, then in the font colour. It sizes itself to its
// caption, aligns it vertically, hands its accelerator to a control, can frame itself
// while that control has the focus, and reports the pointer entering and leaving.
#include <cstdint>
#include <memory>

#include "platform/Controls.h"
#include "tesk/widgets/WidgetSupport.h"

enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

class TExCustomLabel : public TGraphicControl {
public:
    explicit TExCustomLabel(TComponent* AOwner);
    ~TExCustomLabel() override;

    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* control);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    uint8_t ShadowSize() const { return FShadowSize; }
    void SetShadowSize(uint8_t value);
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool value);
    // Without the opaque style the parent shows through.
    bool Transparent() const { return (ControlStyle & csOpaque) == 0; }
    void SetTransparent(bool value);

    bool FocusActive() const { return FFocusActive; }
    bool MouseInControl() const { return FMouseInControl; }
    bool Pressed() const { return FPressed; }

    // Sizes the label to its caption (with AutoSize).
    void AdjustBounds();
    // Recomputes whether the pointer is over the label.
    void UpdateTracking();
    void FocusChanged(TWinControl* NewFocus) override;
    bool DialogChar(char Key, TShiftState Shift) override;
    void Loaded() override;

protected:
    void Paint() override;
    // Draws (or with DT_CALCRECT measures) the caption with its shadow in rect.
    void DrawCaption(TCanvas& canvas, TRect& rect, uint32_t flags);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    void FontChanged() override;
    void TextChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    int LeftMargin = 0;
    int RightMargin = 0;

private:
    uint32_t AlignmentFlag() const;
    TWinControl* FFocusControl = nullptr;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = tlTop;
    TColor FShadowColor = clBtnHighlight;
    uint8_t FShadowSize = 1;
    TShadowPosition FShadowPos = spLeftTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    bool FShowFocus = false;
    bool FFocusActive = false;
    bool FMouseInControl = false;
    bool FPressed = false;
    // False once the label is destroyed (mouse handlers check it after calling out).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TExLabel : public TExCustomLabel {
public:
    using TExCustomLabel::TExCustomLabel;
};
