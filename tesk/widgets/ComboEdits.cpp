#include "tesk/widgets/ComboEdits.h"

#include <algorithm>

#include "platform/Files.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"
#include "platform/System.h"
#include "tesk/widgets/WidgetSupport.h"

std::string PopupValueText(const TPopupValue& value)
{
    if (const auto* s = std::get_if<std::string>(&value))
        return *s;
    if (const auto* d = std::get_if<double>(&value))
        return FloatToStr(*d);
    return {};
}

const TBitmap* FileEditGlyph()
{
    static const std::unique_ptr<TBitmap> glyph = LoadResourceBitmap("FEDITBMP");
    return glyph.get();
}

const TBitmap* DropDownGlyph()
{
    static const std::unique_ptr<TBitmap> glyph = [] {
        auto b = std::make_unique<TBitmap>();
        b->SetSize(7, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x)
                b->SetPixelColor(x, y, (x >= y && x < 7 - y) ? clBlack : clWhite);
        return b;
    }();
    return glyph.get();
}

TBitmap EllipsisGlyph(int buttonWidth)
{
    TBitmap b;
    const int width = std::max(1, buttonWidth - 6);
    b.SetSize(width, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixelColor(x, y, clWhite);
    const int w = 2;
    int gap = (width - 3 * w) / 2;
    gap = std::clamp(gap, 1, 3);
    const int first = (width - 3 * w - 2 * gap) / 2;
    for (int dot = 0; dot < 3; ++dot) {
        const int left = first + dot * (gap + w);
        for (int y = 1; y < 1 + w; ++y)
            for (int x = left; x < left + w; ++x)
                if (x >= 0 && x < width)
                    b.SetPixelColor(x, y, clBlack);
    }
    return b;
}

std::string QuotedFileName(const std::string& name)
{
    if (name.find(' ') != std::string::npos && (name.empty() || name[0] != '"'))
        return "\"" + name + "\"";
    return name;
}

// ---------------------------------------------------------------------------------------
// TPopupWindow

TPopupWindow::TPopupWindow(TCustomComboEdit* owner) : TPopupControl(owner), FEdit(owner) {}

void TPopupWindow::Show(TPoint origin) { ShowAt(origin.X, origin.Y); }

void TPopupWindow::CloseUp(bool Accept)
{
    if (OnCloseUp)
        OnCloseUp(this, Accept);
}

void TPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPopupControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft)
        CloseUp(X >= 0 && Y >= 0 && X < ClientWidth() && Y < ClientHeight());
}

// ---------------------------------------------------------------------------------------
// TEditButton

TEditButton::TEditButton(TCustomComboEdit* owner) : TExSpeedButton(owner), FEdit(owner)
{
    SetParentShowHint(true);
}

void TEditButton::Paint()
{
    TExSpeedButton::Paint();
    if (FState == bsDown)
        return;
    TCanvas& c = Canvas();
    c.Pen.Color = NewStyleControls ? clBtnFace : clBtnShadow;
    c.MoveTo(0, 0);
    c.LineTo(0, Height() - 1);
    c.Pen.Color = clBtnHighlight;
    c.MoveTo(1, 1);
    c.LineTo(1, Height() - 2);
}

void TEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    auto alive = FAlive;
    if (Button == mbLeft && FEdit) {
        FNoAction = FEdit->FPopup && FEdit->FPopupOpen;
        if (FEdit->FPopupOpen)
            FEdit->ClosePopup(FEdit->FPopup, true);
        else if (FEdit->TabStop() && FEdit->CanFocus() && !FEdit->Focused())
            FEdit->SetFocus();
        if (!*alive)
            return;
    }
    TExSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TEditButton::Click()
{
    if (FNoAction) {
        FNoAction = false;
        return;
    }
    TExSpeedButton::Click();
}

// ---------------------------------------------------------------------------------------
// TCustomComboEdit

TCustomComboEdit::TCustomComboEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    InitWidgetLibrary();
    FBtnControl = new TWinControl(this);
    FBtnControl->SetBounds(0, 0, 21, 17);
    FBtnControl->SetVisible(true);
    FBtnControl->SetParent(this);
    FButton = new TEditButton(this);
    FButton->SetParent(FBtnControl);
    FButton->SetBounds(0, 0, 21, 17);
    FButton->SetVisible(true);
    FButton->OnClick = [this](TObject*) { EditButtonClick(); };
    SetHeight(21);
    UpdateControlsPos();
    FCreating = false;
}

TCustomComboEdit::~TCustomComboEdit()
{
    *FAlive = false;
    FPopupOpen = false;
    if (FPopup)
        FPopup->Hide();
}

void TCustomComboEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FPopup) {
            FPopup = nullptr;
            FPopupOpen = false;
        }
        if (AComponent == FButton)
            FButton = nullptr;
        if (AComponent == FBtnControl)
            FBtnControl = nullptr;
    }
}

int TCustomComboEdit::ButtonWidth() const { return FButton ? FButton->Width() : 0; }

void TCustomComboEdit::SetButtonWidth(int width)
{
    if (!FButton || !FBtnControl)
        return;
    width = std::max(width, 0);
    if (width != ButtonWidth()) {
        if (FCreating) {
            FBtnControl->SetWidth(width);
            FButton->SetWidth(width);
        } else if (width < ClientWidth()) {
            FButton->SetWidth(width);
            FBtnControl->SetWidth(width);
            UpdateControlsPos();
        }
        FBtnControl->SetVisible(ButtonWidth() > 1);
    }
    // The picture again for the width; the width the kind asks for was taken when the
    // kind was chosen, so a width set afterwards (0 included) stays.
    MakeGlyph(false);
}

const std::string& TCustomComboEdit::ButtonHint() const
{
    static const std::string none;
    return FButton ? FButton->Hint() : none;
}

void TCustomComboEdit::SetButtonHint(const std::string& hint)
{
    if (FButton)
        FButton->SetHint(hint);
}

const TBitmap& TCustomComboEdit::Glyph() const
{
    static const TBitmap none;
    return FButton ? FButton->Glyph() : none;
}

void TCustomComboEdit::SetGlyph(const TBitmap* glyph)
{
    FGlyphKind = gkCustom;
    if (FButton)
        FButton->SetGlyph(glyph);
}

int TCustomComboEdit::NumGlyphs() const { return FButton ? FButton->NumGlyphs() : 1; }

void TCustomComboEdit::SetNumGlyphs(int count)
{
    if (FGlyphKind == gkDropDown || FGlyphKind == gkEllipsis)
        count = 1;
    else if (FGlyphKind == gkDefault)
        count = FDefaultGlyphCount;
    if (FButton)
        FButton->SetNumGlyphs(count);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind)
{
    if (kind == FGlyphKind)
        return;
    FGlyphKind = kind;
    RecreateGlyph();
}

void TCustomComboEdit::RecreateGlyph() { MakeGlyph(true); }

void TCustomComboEdit::MakeGlyph(bool kindWidth)
{
    // Setting the width the kind asks for rebuilds the picture again: not from here.
    if (!FButton || FMakingGlyph)
        return;
    const TFlagScope scope(FMakingGlyph);
    switch (FGlyphKind) {
    case gkDefault:
        if (const TBitmap* glyph = DefaultGlyph()) {
            const int count = std::max(1, FDefaultGlyphCount);
            FButton->SetGlyph(glyph);
            FButton->SetNumGlyphs(count);
            if (kindWidth)
                SetButtonWidth(std::max(glyph->Width() / count + 6, ButtonWidth()));
        }
        break;
    case gkDropDown:
        FButton->SetGlyph(DropDownGlyph());
        FButton->SetNumGlyphs(1);
        if (kindWidth)
            SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
        break;
    case gkEllipsis: {
        const TBitmap glyph = EllipsisGlyph(ButtonWidth());
        FButton->SetGlyph(&glyph);
        FButton->SetNumGlyphs(1);
        break;
    }
    case gkCustom: break;
    }
}

void TCustomComboEdit::ApplyReadOnly() { TCustomMaskEdit::SetReadOnly(FReadOnly || !FDirectInput); }

void TCustomComboEdit::SetDirectInput(bool on)
{
    FDirectInput = on;
    ApplyReadOnly();
    TCustomMaskEdit::SetAutoSelect(FAutoSelect && FDirectInput);
}

void TCustomComboEdit::SetReadOnly(bool on)
{
    if (on == FReadOnly)
        return;
    FReadOnly = on;
    ApplyReadOnly();
}

void TCustomComboEdit::SetAutoSelect(bool on)
{
    FAutoSelect = on;
    TCustomMaskEdit::SetAutoSelect(FAutoSelect && FDirectInput);
}

void TCustomComboEdit::SetAlignment(TAlignment alignment)
{
    if (alignment != TCustomMaskEdit::Alignment())
        TCustomMaskEdit::SetAlignment(alignment);
}

int TCustomComboEdit::MinimumHeight() const
{
    return SmallerTextHeight(Font()) + GetSystemMetrics(SM_CYBORDER) * 4 + 1;
}

void TCustomComboEdit::UpdateControlsPos()
{
    if (!FBtnControl || !FButton || FLayingOut)
        return;
    const TFlagScope scope(FLayingOut);
    const int bw = ButtonWidth();
    TRect r;
    if (!NewStyleControls || BorderStyle() == bsNone)
        r = Bounds(Width() - bw, 0, bw, Height());
    else if (Ctl3D())
        r = Bounds(Width() - bw - 4, 0, bw, Height() - 4);
    else
        r = Bounds(Width() - bw - 2, 2, bw, Height() - 4);
    FBtnControl->SetBounds(r.Left, r.Top, r.Right - r.Left, std::max(0, r.Bottom - r.Top));
    FButton->SetBounds(0, 0, bw, FBtnControl->Height());
    SetEditRect(Rect(0, 0, std::max(0, ClientWidth() - FBtnControl->Width() - 2), ClientHeight() + 1));
}

void TCustomComboEdit::BoundsChanged()
{
    TCustomMaskEdit::BoundsChanged();
    if (FLayingOut)
        return;
    const int minimum = MinimumHeight();
    if (Height() < minimum) {
        SetHeight(minimum);
        return; // the new bounds lay the field out
    }
    UpdateControlsPos();
}

void TCustomComboEdit::FrameChanged()
{
    TCustomMaskEdit::FrameChanged();
    UpdateControlsPos();
}

void TCustomComboEdit::FontChanged()
{
    TCustomMaskEdit::FontChanged();
    if (const int minimum = MinimumHeight(); Height() < minimum)
        SetHeight(minimum);
    UpdateControlsPos();
    if (FHasFocus)
        SetCaretWidth(Font().Style & fsBold ? 2 : 1);
}

void TCustomComboEdit::EnabledChanged()
{
    TCustomMaskEdit::EnabledChanged();
    if (FButton)
        FButton->SetEnabled(Enabled());
}

void TCustomComboEdit::EditButtonClick()
{
    if (!FReadOnly || FButtonAlwaysActive)
        RunButton();
}

void TCustomComboEdit::RunButton()
{
    auto alive = FAlive;
    if (OnButtonClick)
        OnButtonClick(this);
    if (!*alive || !FPopup)
        return;
    if (FPopupOpen)
        ClosePopup(FPopup, true);
    else
        OpenPopup(true);
}

TPoint TCustomComboEdit::PopupPosition() const
{
    const TPoint p = Parent() ? Parent()->ClientToScreen(Point(Left(), Top())) : Point(Left(), Top());
    const int pw = FPopup ? FPopup->Width() : 0;
    const int ph = FPopup ? FPopup->Height() : 0;
    int y = p.Y + Height();
    if (y + ph > Screen->Height())
        y = p.Y - ph;
    int x = 0;
    if (FPopupAlign == epaRight) {
        x = p.X + Width() - pw;
        if (x < 0)
            x = p.X;
    } else {
        x = p.X;
        if (x + pw > Screen->Width())
            x -= pw - Width();
    }
    x = std::max(0, std::min(x, Screen->Width() - pw));
    return Point(x, y);
}

TPopupValue TCustomComboEdit::PopupValueFromText()
{
    const std::string text = Text();
    if (text.empty())
        return {};
    return text;
}

TPopupValue TCustomComboEdit::GetPopupValue() { return FPopup ? FPopup->GetValue() : TPopupValue{}; }

void TCustomComboEdit::SetPopupValue(const TPopupValue& value)
{
    if (FPopup)
        FPopup->SetValue(value);
}

void TCustomComboEdit::AcceptValue(const TPopupValue& value)
{
    const std::string text = PopupValueText(value);
    if (Text() != text) {
        // OnChange may free the field.
        auto alive = FAlive;
        SetText(text);
        if (*alive)
            SetModified(true);
    }
}

void TCustomComboEdit::OpenPopup(bool disableEdit)
{
    if (!FPopup || FReadOnly || FPopupOpen)
        return;
    auto alive = FAlive;
    const TPoint at = PopupPosition();
    SetPopupValue(PopupValueFromText());
    if (!*alive || !FPopup)
        return;
    if (CanFocus())
        SetFocus();
    if (!*alive || !FPopup)
        return;
    FPopup->Show(at);
    FPopupOpen = true;
    if (disableEdit) {
        TCustomMaskEdit::SetReadOnly(true);
        HideCaret();
    }
}

void TCustomComboEdit::ClosePopup(TObject* Sender, bool Accept)
{
    (void)Sender;
    if (!FPopup || !FPopupOpen)
        return;
    auto alive = FAlive;
    if (TControl* capture = GetCaptureControl(); capture && (capture == FPopup || InsidePopup(capture)))
        ReleaseCapture();
    TPopupValue value;
    try {
        value = GetPopupValue();
    } catch (...) {
        if (*alive) {
            if (FPopup)
                FPopup->Hide();
            FPopupOpen = false;
            ApplyReadOnly();
            ShowCaret();
        }
        throw;
    }
    if (!*alive)
        return;
    if (FPopup)
        FPopup->Hide();
    FPopupOpen = false;
    try {
        // Not while the focus is leaving the field: it goes where it was going.
        if (!FLosingFocus && CanFocus()) {
            SetFocus();
            if (*alive && Focused()) {
                SetCaretWidth(Font().Style & fsBold ? 2 : 1);
                ShowCaret();
            }
        }
    } catch (...) {
    }
    if (!*alive)
        return;
    ApplyReadOnly();
    Invalidate();
    if (Accept && AcceptPopup(value) && EditCanModify()) {
        AcceptValue(value);
        if (*alive && Focused())
            SelectAll();
    }
}

bool TCustomComboEdit::InsidePopup(TControl* control) const
{
    if (!FPopup)
        return false;
    for (TControl* c = control; c; c = c->Parent())
        if (c == FPopup)
            return true;
    return false;
}

void TCustomComboEdit::CancelMode(TControl* Sender)
{
    TCustomMaskEdit::CancelMode(Sender);
    if (!*FAlive || !FPopupOpen)
        return;
    if (Sender && (Sender == FPopup || Sender == FButton || InsidePopup(Sender)))
        return;
    ClosePopup(FPopup, false);
}

void TCustomComboEdit::Change()
{
    if (FPopupOpen)
        PopupChange();
    else
        TCustomMaskEdit::Change();
}

void TCustomComboEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    auto alive = FAlive;
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (!*alive || Key == 0)
        return;
    if (FClickKey == ShortCut(Key, Shift) && ButtonWidth() > 0) {
        EditButtonClick();
        Key = 0;
    }
}

void TCustomComboEdit::KeyPress(char& Key)
{
    if (Key == '\r' || Key == 27) {
        if (FPopupOpen) {
            const bool accept = Key == '\r';
            Key = 0;
            ClosePopup(FPopup, accept);
            return;
        }
        auto alive = FAlive;
        const bool enter = Key == '\r';
        // Offered once to the form's Default or Cancel button; the key then goes no
        // further than the edit's own handling (Enter never beeps).
        bool pressed = false;
        if (TForm* form = ParentForm())
            pressed = PressDialogButton(form, enter ? VK_RETURN : VK_ESCAPE);
        if (!*alive) {
            Key = 0;
            return;
        }
        TCustomMaskEdit::KeyPress(Key);
        if (enter || pressed)
            Key = 0;
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

void TCustomComboEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FPopup && Button == mbLeft) {
        auto alive = FAlive;
        if (CanFocus())
            SetFocus();
        if (!*alive || !Focused())
            return;
        if (FPopupOpen)
            ClosePopup(FPopup, false);
        if (!*alive)
            return;
    }
    TCustomMaskEdit::MouseDown(Button, Shift, X, Y);
}

void TCustomComboEdit::FocusGained()
{
    TCustomMaskEdit::FocusGained();
    FHasFocus = true;
    SetCaretWidth(Font().Style & fsBold ? 2 : 1);
    ShowCaret();
}

void TCustomComboEdit::FocusLost()
{
    TCustomMaskEdit::FocusLost();
    FHasFocus = false;
    if (*FAlive && FPopupOpen) {
        const TFlagScope scope(FLosingFocus);
        ClosePopup(FPopup, false);
    }
}

void TCustomComboEdit::CutToClipboard()
{
    if (FDirectInput && !FReadOnly)
        TCustomMaskEdit::CutToClipboard();
}

void TCustomComboEdit::PasteFromClipboard()
{
    if (FDirectInput && !FReadOnly)
        TCustomMaskEdit::PasteFromClipboard();
}

// ---------------------------------------------------------------------------------------
// TFileDirEdit

TFileDirEdit::TFileDirEdit(TComponent* AOwner) : TCustomComboEdit(AOwner)
{
    SetOEMConvert(true);
    SetGlyphKind(gkDefault);
}

void TFileDirEdit::FilesDropped(const std::vector<std::string>& names)
{
    auto alive = FAlive;
    ClearDroppedNames();
    for (const std::string& name : names) {
        ReceptFileDir(name);
        if (!*alive)
            return;
        if (!TakesManyFiles())
            break;
    }
    if (OnDropFiles)
        OnDropFiles(this);
}

void TFileDirEdit::DoBeforeDialog(std::string& name, bool& action)
{
    if (OnBeforeDialog)
        OnBeforeDialog(this, name, action);
}

void TFileDirEdit::DoAfterDialog(std::string& name, bool& action)
{
    if (OnAfterDialog)
        OnAfterDialog(this, name, action);
}

// ---------------------------------------------------------------------------------------
// TFilenameEdit

namespace {
bool AcceptableName(const std::string& name) { return IsAcceptableFileName(ExtractFileName(name)); }
} // namespace

TFilenameEdit::TFilenameEdit(TComponent* AOwner) : TFileDirEdit(AOwner)
{
    CreateEditDialog();
    FDialog->SetTitle("Browse");
    FDialog->SetFilter("All files (*.*)|*.*");
    FDialog->SetOptions({ofHideReadOnly});
}

TFilenameEdit::~TFilenameEdit() = default;

void TFilenameEdit::CreateEditDialog()
{
    std::unique_ptr<TOpenDialog> dialog;
    switch (FDialogKind) {
    case dkOpen: dialog = std::make_unique<TOpenDialog>(); break;
    case dkSave: dialog = std::make_unique<TSaveDialog>(); break;
    case dkOpenPicture: dialog = std::make_unique<TOpenPictureDialog>(); break;
    case dkSavePicture: dialog = std::make_unique<TSavePictureDialog>(); break;
    }
    if (FDialog) {
        dialog->SetDefaultExt(FDialog->DefaultExt());
        dialog->SetFileEditStyle(FDialog->FileEditStyle());
        dialog->SetFileName(FDialog->FileName());
        dialog->SetFilter(FDialog->Filter());
        dialog->SetFilterIndex(FDialog->FilterIndex());
        dialog->SetInitialDir(FDialog->InitialDir());
        dialog->HistoryList() = FDialog->HistoryList();
        dialog->Files() = FDialog->Files();
        dialog->SetOptions(FDialog->Options());
        dialog->SetTitle(FDialog->Title());
    }
    FDialog = std::move(dialog);
}

void TFilenameEdit::SetDialogKind(TFileDialogKind kind)
{
    if (kind == FDialogKind)
        return;
    FDialogKind = kind;
    CreateEditDialog();
}

void TFilenameEdit::SetDialogOptions(TOpenOptions options)
{
    if (options == FDialog->Options())
        return;
    FDialog->SetOptions(options);
    FMultipleDirs = options.Contains(ofAllowMultiSelect);
    if (!FMultipleDirs)
        ClearDroppedNames();
}

std::string TFilenameEdit::FileName() const
{
    const std::string text = Text();
    if (FileExists(text))
        return text;
    return CommandLineArg(text, 0);
}

void TFilenameEdit::SetFileName(const std::string& name)
{
    if (!name.empty() && !AcceptableName(name))
        throw EComboEditError("Invalid file name - " + name);
    SetText(QuotedFileName(name));
    ClearDroppedNames();
}

std::string TFilenameEdit::LongName() const { return LongNameOf(FileName()); }
std::string TFilenameEdit::ShortName() const { return ShortNameOf(FileName()); }

void TFilenameEdit::ClearDroppedNames() { FDialog->Files().clear(); }

void TFilenameEdit::ReceptFileDir(const std::string& name)
{
    if (FMultipleDirs) {
        if (FDialog->Files().empty())
            SetFileName(name);
        FDialog->Files().push_back(name);
    } else {
        SetFileName(name);
    }
}

void TFilenameEdit::RunButton()
{
    auto alive = FAlive;
    TFileDirEdit::RunButton();
    if (!*alive)
        return;
    std::string name = FileName();
    bool action = true;
    DoBeforeDialog(name, action);
    if (!*alive || !action)
        return;
    if (IsAcceptableFileName(name)) {
        const std::string folder = ExtractFilePath(name);
        if (!folder.empty() && DirectoryExists(folder))
            FDialog->SetInitialDir(folder);
        // The name part of an acceptable name is acceptable too, unless it is empty.
        FDialog->SetFileName(ExtractFileName(name).empty() ? std::string() : name);
    }
    FDialog->SetHelpContext(FHelpContext);
    action = FDialog->Execute();
    if (!*alive)
        return;
    if (action)
        name = FDialog->FileName();
    if (CanFocus())
        SetFocus();
    DoAfterDialog(name, action);
    if (!*alive || !action)
        return;
    SetText(QuotedFileName(name));
    FDialog->SetInitialDir(ExtractFilePath(FDialog->FileName()));
}
