#pragma once
// Small visual components the forms place from their stored layouts: a custom-drawn
// colour button (the level-pick buttons) and a check box and a combo box that report
// the mouse entering and leaving them.
#include <functional>

#include "platform/Controls.h"
#include "platform/StdCtrls.h"

// Called after the button drew its frame and face, with the state it drew.
using TColorButtonPaintEvent =
    std::function<void(TObject* Sender, TCanvas& Canvas, bool Down, bool HeldDown)>;

// A button drawn from colours: a raised frame when up, a sunken one when Down (set in
// code) or HeldDown (the left button is held over it). The face is filled with
// HilightColor while held, else FaceColor. A press captures the mouse; while the left
// button stays down HeldDown follows whether the pointer is over the button (its edges
// included); the release clears it. Clicks are the ordinary ones: a release outside
// does not click.
class TColorButton : public TCustomControl {
public:
    explicit TColorButton(TComponent* AOwner);

    int BorderSize() const { return FBorderSize; }
    void SetBorderSize(int size);
    TColor FaceColor() const { return FFaceColor; }
    void SetFaceColor(TColor color);
    TColor TopLeftColor() const { return FTopLeftColor; }
    void SetTopLeftColor(TColor color);
    TColor BottomRightColor() const { return FBottomRightColor; }
    void SetBottomRightColor(TColor color);
    TColor HilightColor() const { return FHilightColor; }
    void SetHilightColor(TColor color);
    bool HeldDown() const { return FHeldDown; }
    void SetHeldDown(bool on);
    bool Down() const { return FDown; }
    void SetDown(bool on);

    // Whether the inside is filled, and whether anything is drawn up or down.
    bool DrawFace = true;
    bool DrawWhenUp = true;
    bool DrawWhenDown = true;

    TColorButtonPaintEvent OnPaint;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void SetColorProp(TColor& field, TColor color);
    void SetFlagProp(bool& field, bool on);
    int FBorderSize = 1;
    TColor FFaceColor = clBtnFace;
    TColor FTopLeftColor = clBtnHighlight;
    TColor FBottomRightColor = clBtnShadow;
    TColor FHilightColor = clBtnFace;
    bool FHeldDown = false;
    bool FDown = false;
};

// A check box whose OnMouseEnter and OnMouseLeave fire (sender: the check box) when
// the pointer enters or leaves it (the control layer reports both for every control).
class tQuibCheckBox : public TCheckBox {
public:
    explicit tQuibCheckBox(TComponent* AOwner) : TCheckBox(AOwner) {}
};

// A combo box whose OnMouseEnter and OnMouseLeave fire (sender: the combo box) when
// the pointer enters or leaves it.
class tQuibComboBox : public TComboBox {
public:
    explicit tQuibComboBox(TComponent* AOwner) : TComboBox(AOwner) {}
};
