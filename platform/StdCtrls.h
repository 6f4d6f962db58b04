#pragma once
// Labels, push buttons, check boxes, radio buttons and group boxes, drawn by the
// platform in the classic look (so their pixels do not depend on a Qt style).
#include "platform/Controls.h"
#include "platform/Forms.h"

// A window-less text. AutoSize (on by default) fits the bounds to the caption;
// WordWrap breaks lines at the width. Without Transparent it fills its bounds with its
// parent's colour first. A disabled label draws its text embossed.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool on);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool on);
    // Text layout flags for the caption.
    uint32_t DrawTextFlags() const;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void AdjustBounds();

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
};

// Owner-draw states of a button.
enum TOwnerDrawStateFlag : uint8_t { odSelected = 1, odFocus = 2, odDisabled = 4, odDefault = 8 };
using TOwnerDrawState = uint8_t;

// Draws a classic push-button face in `rect` (raised, or sunken when pressed) and
// returns the rectangle inside the frame.
TRect DrawButtonFace(TCanvas& canvas, const TRect& rect, bool pressed, bool isDefault);

// A push button. A click sets its form's ModalResult (when its own is not mrNone)
// and fires OnClick. Default: Enter anywhere on the form presses it; Cancel: Esc does.
// Space or Enter presses the focused button. Derived buttons draw themselves by
// overriding DrawButton (the owner-draw hook).
class TButton : public TCustomControl {
public:
    explicit TButton(TComponent* AOwner);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult result) { FModalResult = result; }
    bool Default() const { return FDefault; }
    void SetDefault(bool on);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool on) { FCancel = on; }
    void Click() override;
    // Enter (Default), Esc (Cancel); every button answers VK_SPACE ("I am a button").
    bool WantsDialogKey(WORD Key) const override;
    // The state the button is drawn in.
    TOwnerDrawState DrawState() const;
    bool Pressed() const { return FPressed; }

protected:
    void Paint() override;
    virtual void DrawButton(TCanvas& canvas, TOwnerDrawState state);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void FocusGained() override;
    void FocusLost() override;

private:
    TModalResult FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;
    bool FPressed = false;
    bool FMouseHeld = false;
};

// A check box. Setting Checked (in code or by a click) fires OnClick when it changes.
class TCheckBox : public TCustomControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    virtual void SetChecked(bool on);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment) { FAlignment = alignment; Invalidate(); }
    // A user's click toggles Checked.
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

// A radio button: checking one unchecks the other radio buttons of its parent.
// Checking it (in code or by the user) fires OnClick; the user's choice also focuses
// it (OnEnter).
class TRadioButton : public TCustomControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool on);
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    bool FChecked = false;
};

// A captioned frame around controls.
class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    void Paint() override;
};

enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };

struct TEditPrivate;

// A one-line edit over a QLineEdit. OnChange fires on every change of Text, typed or
// set in code (code relies on the latter).
//
// The frame: BorderStyle bsSingle (the default) with Ctl3D is a sunken two-pixel frame,
// without Ctl3D a one-pixel window-frame line; bsNone has none. ClientWidth and
// ClientHeight, the positions of child controls and the edit rectangle are those of the
// inside of the frame. The text is laid out, scrolled and clicked only inside the edit
// rectangle (SetEditRect); the rest of the client area shows the edit's colour, and child
// controls (windowed or not) may sit there, taking their own mouse input.
//
// Typed characters go through KeyPress first: the character it leaves is the one
// inserted (changed, it is inserted as changed; set to 0, nothing is inserted), Backspace
// and the Ctrl+letter characters included. Cut, copy and paste (Ctrl+X, Ctrl+C, Ctrl+V,
// Shift+Delete, Ctrl+Insert, Shift+Insert and the context menu) run the virtual steps
// below, which an override may refuse or wrap; a read-only edit never cuts or pastes.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);
    ~TEdit() override;
    std::string Caption() const override;
    void SetCaption(const std::string& text) override;
    bool ReadOnly() const;
    void SetReadOnly(bool on);
    int MaxLength() const;
    void SetMaxLength(int length);
    void SelectAll();
    TNotifyEvent OnChange;

    // The selection, in characters.
    int SelStart() const;
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length);
    std::string SelText() const;
    // Replaces the selection as typing would (OnChange fires).
    void SetSelText(const std::string& text);
    // Set by the user's typing, pasting and cutting, not by code setting Text.
    bool Modified() const;
    void SetModified(bool on);

    TAlignment Alignment() const;
    void SetAlignment(TAlignment alignment);
    TBorderStyle BorderStyle() const;
    void SetBorderStyle(TBorderStyle style);
    bool Ctl3D() const;
    void SetCtl3D(bool on);
    int ClientWidth() const override;
    int ClientHeight() const override;
    TPoint ClientToScreen(TPoint p) const override;
    TPoint ClientOrigin() const override;

    // The edit rectangle in client coordinates (the whole client area until set).
    void SetEditRect(const TRect& rect);
    TRect EditRect() const;
    // Pixels between the edit rectangle's edges and the text as laid out.
    int LeftMargin() const;
    int RightMargin() const;
    // Pixels between the client area's top and the top of the text's line as laid out.
    int TopMargin() const;

    // The caret: 1 or 2 pixels wide; hidden or shown (while the edit has the focus).
    void SetCaretWidth(int width);
    int CaretWidth() const;
    void HideCaret();
    void ShowCaret();
    bool CaretShown() const;

    // Entering by Tab or a shortcut selects all (default true).
    bool AutoSelect() const;
    void SetAutoSelect(bool on);
    // Typed and pasted text converted.
    TEditCharCase CharCase() const;
    void SetCharCase(TEditCharCase charCase);
    // The selection shows only while focused (default true).
    bool HideSelection() const;
    void SetHideSelection(bool on);
    // Stored; no effect.
    bool OEMConvert() const;
    void SetOEMConvert(bool on);

    virtual void CutToClipboard();
    virtual void CopyToClipboard();
    virtual void PasteFromClipboard();
    virtual void ClearSelection();

    // While true, the inside of the frame shows what DrawContent draws (on a canvas of the
    // client size, drawn again after Invalidate or Repaint) in place of the text, the
    // selection and the caret.
    virtual bool OwnerDraws() const { return false; }
    virtual void DrawContent(TCanvas& canvas) { (void)canvas; }

    // For the platform layer: the edit's own steps for a key that went through the key
    // handlers.
    bool TypedKey(WORD key, char original, char typed, TShiftState shift) override;
    void ShowContextMenu(TPoint at);

protected:
    virtual void Change();
    // After BorderStyle or Ctl3D changed (the client area moved).
    virtual void FrameChanged() {}
    void UpdateBounds() override;
    void FontChanged() override;
    void ColorChanged() override;
    void EnabledChanged() override;

private:
    friend class EditWidget;
    int FrameWidth() const;
    void ApplyMargins();
    void ApplyPalette();
    void ApplyCaret();
    // Inserts text at the selection as typing does.
    void InsertTyped(const std::string& text);
    std::unique_ptr<TEditPrivate> FEdit;
};

// An edit with an edit mask: the mask is stored and not checked.
class TCustomMaskEdit : public TEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner) : TEdit(AOwner) {}
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& mask) { FEditMask = mask; }
    // The mask check: nothing to check.
    virtual void ValidateEdit() {}

private:
    std::string FEditMask;
};

namespace TestHooks {
// Whether edit carets blink (on by default); pictures of focused edits turn it off so
// that the caret always shows.
void SetCaretBlinking(bool on);
// The actions of an edit's context menu ("Cut", "Copy", "Paste", "Delete",
// "Select All"): triggers one as a user's choice would.
bool ChooseEditMenuItem(TEdit* edit, const std::string& item);
} // namespace TestHooks

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };

// A scroll bar over a QScrollBar. Position stays within Min..Max (setting Max below it
// moves it); Min greater than Max raises EInvalidOperation "Scroll bar range is invalid"
// and changes nothing. OnChange fires whenever Position changes, by the user (arrows,
// clicks in the track, the thumb, the wheel, keys while focused) or by code, and never
// when it stays. TabStop is on by default (off: Tab skips it and a click leaves the
// focus where it is).
class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind kind);
    int Min() const { return FMin; }
    void SetMin(int min) { SetParams(FPosition, min, FMax); }
    int Max() const { return FMax; }
    void SetMax(int max) { SetParams(FPosition, FMin, max); }
    int Position() const { return FPosition; }
    void SetPosition(int position) { SetParams(position, FMin, FMax); }
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int change);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int change);
    void SetParams(int position, int min, int max);
    TNotifyEvent OnChange;

protected:
    virtual void Change();
    // Left and Right step a horizontal bar down and up its range.
    bool TypedKey(WORD key, char original, char typed, TShiftState shift) override;

private:
    void ValueFromWidget(int value);
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FSmallChange = 1;
    int FLargeChange = 1;
    bool FSyncing = false;
};

enum TComboBoxStyle : uint8_t { csDropDown, csSimple, csDropDownList };

// A combo box over a QComboBox. OnChange fires only when the user changes the text or
// the chosen item, never when code sets Text or ItemIndex. Keys typed into the open list go
// through the form's key preview and the box's key handlers first, as the keys of the
// closed box do: a key or character a handler swallows never reaches the list.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle style);
    // The items, one per line (the programs assign whole lists).
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    void AddItem(const std::string& item);
    void ClearItems();
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Caption() const override;
    void SetCaption(const std::string& text) override;
    TNotifyEvent OnChange;

    // For the platform layer: a key typed into the open list; true when a handler
    // swallowed it (or freed the box).
    bool ListKey(bool press, WORD key, char typed, TShiftState shift);

protected:
    virtual void Change();

private:
    friend struct TComboBoxSignals;
    TComboBoxStyle FStyle = csDropDown;
    int FQuiet = 0; // code is changing the widget: no OnChange
};

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line text over a QPlainTextEdit. Lines are kept as given; Text joins them
// with CR LF.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    std::string Caption() const override;
    // Text with CR LF, LF or CR line ends.
    void SetCaption(const std::string& text) override;
    bool ReadOnly() const;
    void SetReadOnly(bool on);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle bars);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool on);
    TNotifyEvent OnChange;

private:
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
};

// A list of lines over a QListWidget.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    int ItemIndex() const;
    void SetItemIndex(int index);

protected:
    void ColorChanged() override;
};
