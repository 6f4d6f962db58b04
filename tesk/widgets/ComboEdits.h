#pragma once
// The combo edit: a one-line edit with a small button at its right end that can drop
// down a pop-up panel under itself, and the file-name fields built on it, whose button
// opens a file dialog.
//
// The button sits in a plain windowed holder inside the edit's client area; the text is
// kept out of the holder by the edit rectangle. A pop-up (TPopupWindow) is a top-level
// window that is never activated: while it is open the edit keeps the focus and the keys,
// Enter closes it taking its value, Esc, a press elsewhere, leaving the field or the form
// losing activation close it without.
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/Keys.h"
#include "platform/PopupWindows.h"
#include "platform/StdCtrls.h"
#include "tesk/widgets/SpeedButtons.h"

class TCustomComboEdit;

// A failure of a combo edit's setters (an invalid file name).
class EComboEditError : public Exception {
public:
    using Exception::Exception;
};

enum TPopupAlign : uint8_t { epaRight, epaLeft };
enum TGlyphKind : uint8_t { gkCustom, gkDefault, gkDropDown, gkEllipsis };
enum TFileDialogKind : uint8_t { dkOpen, dkSave, dkOpenPicture, dkSavePicture };

// The value a pop-up exchanges with its edit: none, a text or a number.
using TPopupValue = std::variant<std::monostate, std::string, double>;
// The text form of a pop-up value ("" for none; numbers in the general format).
std::string PopupValueText(const TPopupValue& value);

using TCloseUpEvent = std::function<void(TObject* Sender, bool Accept)>;

// The frame of a drop-down panel: a pop-up window owned by its edit, hidden until shown.
// A left release on its own client area reports close-up with accept, outside it without.
class TPopupWindow : public TPopupControl {
public:
    explicit TPopupWindow(TCustomComboEdit* owner);
    TCustomComboEdit* Edit() const { return FEdit; }
    // Shows the window with its top-left corner at a screen point, not activated.
    void Show(TPoint origin);
    virtual TPopupValue GetValue() { return {}; }
    virtual void SetValue(const TPopupValue& value) { (void)value; }
    // The text the edit shows for the pop-up while it is open ("" here).
    virtual std::string GetPopupText() { return {}; }
    // A character the edit hands on while the pop-up is open (the pop-up's own key press).
    virtual void PopupKeyPress(char& Key) { KeyPress(Key); }
    // The close-up notification: OnCloseUp with Accept.
    virtual void CloseUp(bool Accept);
    TCloseUpEvent OnCloseUp;

protected:
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TCustomComboEdit* FEdit = nullptr;
};

// The edit's button. Its hint is the edit's ButtonHint (ParentShowHint on). A left press
// while the edit's pop-up is open closes it accepting and swallows the click that
// follows; otherwise it gives the edit the focus. A click runs the edit's button action
// unless the edit is read-only and its button not always active.
class TEditButton : public TExSpeedButton {
public:
    explicit TEditButton(TCustomComboEdit* owner);
    TCustomComboEdit* Edit() const { return FEdit; }
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TCustomComboEdit* FEdit = nullptr;
    bool FNoAction = false;
};

class TCustomComboEdit : public TCustomMaskEdit {
public:
    explicit TCustomComboEdit(TComponent* AOwner);
    ~TCustomComboEdit() override;

    TEditButton* Button() const { return FButton; }
    // The plain windowed holder of the button.
    TWinControl* ButtonHolder() const { return FBtnControl; }

    int ButtonWidth() const;
    void SetButtonWidth(int width);
    const std::string& ButtonHint() const;
    void SetButtonHint(const std::string& hint);
    const TBitmap& Glyph() const;
    // Copies the bitmap (null: none) and makes the kind gkCustom.
    void SetGlyph(const TBitmap* glyph);
    int NumGlyphs() const;
    void SetNumGlyphs(int count);
    TGlyphKind GlyphKind() const { return FGlyphKind; }
    void SetGlyphKind(TGlyphKind kind);
    TShortCut ClickKey() const { return FClickKey; }
    void SetClickKey(TShortCut key) { FClickKey = key; }
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool on);
    // The field's own read-only flag (the edit itself is also read-only without
    // DirectInput or while a pop-up disables it).
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool on);
    bool ButtonAlwaysActive() const { return FButtonAlwaysActive; }
    void SetButtonAlwaysActive(bool on) { FButtonAlwaysActive = on; }
    // The edit's own alignment, set only when it changes.
    void SetAlignment(TAlignment alignment);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool on);
    TPopupAlign PopupAlign() const { return FPopupAlign; }
    void SetPopupAlign(TPopupAlign align) { FPopupAlign = align; }
    bool PopupOpen() const { return FPopupOpen; }
    bool HasFocus() const { return FHasFocus; }
    TPopupWindow* Popup() const { return FPopup; }
    int DefaultGlyphCount() const { return FDefaultGlyphCount; }

    TNotifyEvent OnButtonClick;

    // OnButtonClick; with a pop-up: closes it accepting when open, else drops it down.
    virtual void RunButton();
    // Drops the pop-up down under the edit (only with one, not read-only, not open);
    // with disableEdit the edit is read-only with its caret hidden while it is open.
    virtual void OpenPopup(bool disableEdit = false);
    // Closes the pop-up (only when open), taking its value when accepted.
    void ClosePopup(TObject* Sender, bool Accept);
    // Where OpenPopup puts the pop-up's top-left corner on the screen.
    TPoint PopupPosition() const;

    // The edit's own steps.
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    void CancelMode(TControl* Sender) override;
    // Lays the button and the edit rectangle out again.
    void UpdateControlsPos();
    // Makes the button's picture for GlyphKind, with the width the kind asks for.
    void RecreateGlyph();
    // The smallest height the field keeps for its fonts.
    int MinimumHeight() const;

protected:
    // gkDefault's bitmap (none here); shared, not owned.
    virtual const TBitmap* DefaultGlyph() const { return nullptr; }
    // The pop-up value hooks.
    virtual TPopupValue GetPopupValue();
    virtual void SetPopupValue(const TPopupValue& value);
    virtual bool AcceptPopup(const TPopupValue& value) { (void)value; return true; }
    virtual bool EditCanModify() const { return !FReadOnly; }
    virtual void AcceptValue(const TPopupValue& value);
    virtual void PopupChange() {}
    // The edit's text as the pop-up is opened with (none when empty).
    virtual TPopupValue PopupValueFromText();

    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void FocusGained() override;
    void FocusLost() override;
    void FontChanged() override;
    void EnabledChanged() override;
    void BoundsChanged() override;
    void FrameChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The button's click (read-only check, then RunButton).
    void EditButtonClick();
    // Runs the edit's own read-only state from DirectInput and ReadOnly again.
    void ApplyReadOnly();

    TPopupWindow* FPopup = nullptr;
    int FDefaultGlyphCount = 1;
    // True while the control (or a descendant) is being constructed.
    bool FCreating = true;
    // Null once the field is destroyed (handlers check it after calling out).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

private:
    friend class TEditButton;
    friend class TPopupWindow;
    bool InsidePopup(TControl* control) const;
    // The picture for GlyphKind; with kindWidth the width the kind asks for too.
    void MakeGlyph(bool kindWidth);
    TEditButton* FButton = nullptr;
    TWinControl* FBtnControl = nullptr;
    TShortCut FClickKey = ShortCut(VK_DOWN, {ssAlt});
    bool FReadOnly = false;
    bool FDirectInput = true;
    bool FButtonAlwaysActive = false;
    bool FPopupOpen = false;
    bool FHasFocus = false;
    TPopupAlign FPopupAlign = epaRight;
    TGlyphKind FGlyphKind = gkCustom;
    bool FAutoSelect = true;
    bool FLayingOut = false;
    bool FLosingFocus = false;
    bool FMakingGlyph = false;
};

// The bitmaps of the button pictures: the file fields' "FEDITBMP", loaded on first use,
// shared by every field and freed at program end (null when the resource is missing);
// the drop-down arrow (7 x 4, transparent background).
const TBitmap* FileEditGlyph();
const TBitmap* DropDownGlyph();
// The ellipsis picture for a button of that width.
TBitmap EllipsisGlyph(int buttonWidth);

using TExecOpenDialogEvent = std::function<void(TObject* Sender, std::string& Name, bool& Action)>;

// A file-name field: its button opens a file dialog, files dropped on it (with
// AcceptFiles) become its name.
class TFileDirEdit : public TCustomComboEdit {
public:
    explicit TFileDirEdit(TComponent* AOwner);
    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;
    TNotifyEvent OnDropFiles;

    void FilesDropped(const std::vector<std::string>& names) override;
    virtual void ClearDroppedNames() {}
    // One dropped name, whole.
    virtual void ReceptFileDir(const std::string& name) = 0;

protected:
    const TBitmap* DefaultGlyph() const override { return FileEditGlyph(); }
    void DoBeforeDialog(std::string& name, bool& action);
    void DoAfterDialog(std::string& name, bool& action);
    // Whether the dropped list takes every name (else only the first).
    virtual bool TakesManyFiles() const { return false; }
};

class TFilenameEdit : public TFileDirEdit {
public:
    explicit TFilenameEdit(TComponent* AOwner);
    ~TFilenameEdit() override;

    // The file name of the text: the text itself when such a file exists, else its first
    // command-line token.
    std::string FileName() const;
    // Raises EComboEditError "Invalid file name - <name>" for a name whose name part is
    // not acceptable (the text stays); else the text becomes the name (in double quotes
    // when it holds a space) and the dialog's file list is emptied.
    void SetFileName(const std::string& name);
    std::string LongName() const;
    std::string ShortName() const;

    TFileDialogKind DialogKind() const { return FDialogKind; }
    void SetDialogKind(TFileDialogKind kind);
    TOpenDialog& Dialog() const { return *FDialog; }
    const std::string& DefaultExt() const { return FDialog->DefaultExt(); }
    void SetDefaultExt(const std::string& ext) { FDialog->SetDefaultExt(ext); }
    TFileEditStyle FileEditStyle() const { return FDialog->FileEditStyle(); }
    void SetFileEditStyle(TFileEditStyle style) { FDialog->SetFileEditStyle(style); }
    const std::string& Filter() const { return FDialog->Filter(); }
    void SetFilter(const std::string& filter) { FDialog->SetFilter(filter); }
    int FilterIndex() const { return FDialog->FilterIndex(); }
    void SetFilterIndex(int index) { FDialog->SetFilterIndex(index); }
    const std::string& InitialDir() const { return FDialog->InitialDir(); }
    void SetInitialDir(const std::string& dir) { FDialog->SetInitialDir(dir); }
    std::vector<std::string>& HistoryList() const { return FDialog->HistoryList(); }
    void SetHistoryList(const std::vector<std::string>& list) { FDialog->HistoryList() = list; }
    std::vector<std::string>& Files() const { return FDialog->Files(); }
    TOpenOptions DialogOptions() const { return FDialog->Options(); }
    // ManyFiles follows ofAllowMultiSelect; without it the file list is emptied.
    void SetDialogOptions(TOpenOptions options);
    const std::string& DialogTitle() const { return FDialog->Title(); }
    void SetDialogTitle(const std::string& title) { FDialog->SetTitle(title); }
    bool ManyFiles() const { return FMultipleDirs; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int context) { FHelpContext = context; }

    void RunButton() override;
    void ClearDroppedNames() override;
    void ReceptFileDir(const std::string& name) override;

protected:
    bool TakesManyFiles() const override { return FMultipleDirs; }

private:
    void CreateEditDialog();
    std::unique_ptr<TOpenDialog> FDialog;
    TFileDialogKind FDialogKind = dkOpen;
    bool FMultipleDirs = false;
    int FHelpContext = 0;
};

// A name as the text shows it: in double quotes when it holds a space and does not start
// with one.
std::string QuotedFileName(const std::string& name);
