#include "platform/StdCtrls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>

#include <algorithm>
#include <vector>

#include "platform/Application.h"
#include "platform/QtBridge.h"

namespace {

// A canvas for measuring text when no control canvas is at hand.
TCanvas& MeasureCanvas()
{
    static TCanvas canvas;
    return canvas;
}

TColor ParentColorOf(const TControl* c)
{
    return c->Parent() ? c->Parent()->Color() : c->Color();
}

} // namespace

TRect DrawButtonFace(TCanvas& canvas, const TRect& rect, bool pressed, bool isDefault)
{
    TRect r = rect;
    if (isDefault)
        canvas.Frame3D(r, clBlack, clBlack, 1);
    if (pressed) {
        canvas.Frame3D(r, clBtnShadow, clBtnShadow, 1);
    } else {
        canvas.Frame3D(r, clBtnHighlight, clBlack, 1);
        canvas.Frame3D(r, clBtnFace, clBtnShadow, 1);
    }
    canvas.Brush.Color = clBtnFace;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(r);
    return r;
}

// ---------------------------------------------------------------------------------------
// TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle |= csReplicatable;
    SetBounds(0, 0, 65, 17);
}

uint32_t TLabel::DrawTextFlags() const
{
    uint32_t flags = DT_EXPANDTABS;
    flags |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    if (FWordWrap)
        flags |= DT_WORDBREAK;
    return flags;
}

void TLabel::AdjustBounds()
{
    if (!FAutoSize)
        return;
    TCanvas& m = MeasureCanvas();
    m.Font = Font();
    TRect r = Rect(0, 0, FWordWrap ? Width() : 0, 0);
    const std::string text = Caption().empty() ? std::string(" ") : Caption();
    m.DrawText(text, r, DrawTextFlags() | DT_CALCRECT);
    int left = Left();
    if (FAlignment == taRightJustify && !FWordWrap)
        left += Width() - r.Width();
    SetBounds(left, Top(), r.Width(), r.Height());
}

void TLabel::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    Invalidate();
}

void TLabel::SetAutoSize(bool on)
{
    if (on == FAutoSize)
        return;
    FAutoSize = on;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool on)
{
    if (on == FWordWrap)
        return;
    FWordWrap = on;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool on)
{
    if (on == FTransparent)
        return;
    FTransparent = on;
    Invalidate();
}

void TLabel::TextChanged()
{
    AdjustBounds();
    Invalidate();
}

void TLabel::FontChanged()
{
    AdjustBounds();
    Invalidate();
}

void TLabel::Paint()
{
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        c.Brush.Color = ParentColorOf(this);
        c.Brush.Style = bsSolid;
        c.FillRect(r);
    }
    c.Brush.Style = bsClear;
    c.Font = Font();
    if (!Enabled()) {
        TRect shifted = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
        c.Font.Color = clBtnHighlight;
        c.DrawText(Caption(), shifted, DrawTextFlags());
        c.Font.Color = clBtnShadow;
    }
    c.DrawText(Caption(), r, DrawTextFlags());
}

// ---------------------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool on)
{
    if (on == FDefault)
        return;
    FDefault = on;
    Invalidate();
}

bool TButton::WantsDialogKey(WORD Key) const
{
    return Key == VK_SPACE || (Key == VK_RETURN && FDefault) || (Key == VK_ESCAPE && FCancel);
}

void TButton::Click()
{
    if (FModalResult != mrNone)
        if (TForm* form = ParentForm())
            form->SetModalResult(FModalResult);
    TCustomControl::Click();
}

TOwnerDrawState TButton::DrawState() const
{
    TOwnerDrawState s = 0;
    if (FPressed)
        s |= odSelected;
    if (Focused())
        s |= odFocus;
    if (!Enabled())
        s |= odDisabled;
    if (FDefault)
        s |= odDefault;
    return s;
}

void TButton::Paint() { DrawButton(Canvas(), DrawState()); }

void TButton::DrawButton(TCanvas& canvas, TOwnerDrawState state)
{
    const bool down = (state & odSelected) != 0;
    TRect r = DrawButtonFace(canvas, ClientRect(), down, (state & odDefault) || (state & odFocus));
    canvas.Font = Font();
    canvas.Font.Color = (state & odDisabled) ? clGrayText : clBtnText;
    canvas.Brush.Style = bsClear;
    TRect text = r;
    if (down) {
        text.Left += 1;
        text.Top += 1;
        text.Right += 1;
        text.Bottom += 1;
    }
    canvas.DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (state & odFocus) {
        TRect f = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
        canvas.DrawFocusRect(f);
    }
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus())
            SetFocus();
        FMouseHeld = true;
        FPressed = true;
        Repaint();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FMouseHeld) {
        const bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
        if (inside != FPressed) {
            FPressed = inside;
            Repaint();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FMouseHeld) {
        FMouseHeld = false;
        FPressed = false;
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButton::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && Shift == TShiftState{}) {
        Key = 0;
        Click();
    }
}

void TButton::FocusGained() { Invalidate(); }
void TButton::FocusLost() { Invalidate(); }

// ---------------------------------------------------------------------------------------
// Check boxes and radio buttons

namespace {

constexpr int kBoxSize = 13;

void DrawCaptionBeside(TControl* c, TCanvas& canvas, int boxRight)
{
    canvas.Font = c->Font();
    if (!c->Enabled())
        canvas.Font.Color = clGrayText;
    canvas.Brush.Style = bsClear;
    TRect r = Rect(boxRight + 4, 0, c->Width(), c->Height());
    canvas.DrawText(c->Caption(), r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

} // namespace

TCheckBox::TCheckBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetChecked(bool on)
{
    if (on == FChecked)
        return;
    FChecked = on;
    Invalidate();
    TCustomControl::Click();
}

void TCheckBox::Click() { SetChecked(!FChecked); }

void TCheckBox::Paint()
{
    TCanvas& c = Canvas();
    const int top = (Height() - kBoxSize) / 2;
    TRect box = Bounds(0, top, kBoxSize, kBoxSize);
    c.Frame3D(box, clBtnShadow, clBtnHighlight, 1);
    c.Frame3D(box, clBlack, clBtnFace, 1);
    c.Brush.Color = Enabled() ? clWindow : clBtnFace;
    c.Brush.Style = bsSolid;
    c.FillRect(box);
    if (FChecked) {
        // A tick of three short strokes, two pixels thick.
        c.Pen.Color = Enabled() ? clWindowText : clGrayText;
        c.Pen.Width = 1;
        for (int dy = 0; dy < 2; ++dy) {
            c.MoveTo(box.Left + 1, box.Top + 3 + dy);
            c.LineTo(box.Left + 3, box.Top + 5 + dy);
            c.LineTo(box.Left + 8, box.Top + dy);
        }
    }
    DrawCaptionBeside(this, c, kBoxSize);
}

void TCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && CanFocus())
        SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCheckBox::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && Shift == TShiftState{}) {
        Key = 0;
        Click();
    }
}

TRadioButton::TRadioButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool on)
{
    if (on == FChecked)
        return;
    FChecked = on;
    SetTabStop(on);
    Invalidate();
    if (!on)
        return;
    if (TWinControl* p = Parent()) {
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(p->Controls(i)); other && other != this)
                other->SetChecked(false);
    }
    TCustomControl::Click();
}

void TRadioButton::Click() { SetChecked(true); }

void TRadioButton::Paint()
{
    TCanvas& c = Canvas();
    const int top = (Height() - 12) / 2;
    c.Pen.Color = clBtnShadow;
    c.Pen.Width = 1;
    c.Brush.Color = Enabled() ? clWindow : clBtnFace;
    c.Brush.Style = bsSolid;
    c.Ellipse(0, top, 12, top + 12);
    if (FChecked) {
        c.Pen.Color = Enabled() ? clWindowText : clGrayText;
        c.Brush.Color = c.Pen.Color;
        c.Ellipse(4, top + 4, 8, top + 8);
    }
    DrawCaptionBeside(this, c, 12);
}

void TRadioButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && CanFocus())
        SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TRadioButton::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && Shift == TShiftState{}) {
        Key = 0;
        Click();
        return;
    }
    // The arrow keys move to the previous or next radio button of the group (wrapping
    // round), focus it and check it.
    const bool back = Key == VK_LEFT || Key == VK_UP;
    const bool forward = Key == VK_RIGHT || Key == VK_DOWN;
    TWinControl* group = Parent();
    if ((!back && !forward) || Shift != TShiftState{} || !group)
        return;
    std::vector<TRadioButton*> buttons;
    int self = -1;
    for (int i = 0; i < group->ControlCount(); ++i) {
        auto* button = dynamic_cast<TRadioButton*>(group->Controls(i));
        if (button == this)
            self = static_cast<int>(buttons.size());
        if (button && (button == this || button->CanFocus()))
            buttons.push_back(button);
    }
    const int count = static_cast<int>(buttons.size());
    if (self < 0 || count < 2)
        return;
    Key = 0;
    TRadioButton* next = buttons[size_t((self + (forward ? 1 : count - 1)) % count)];
    next->SetFocus();
    next->SetChecked(true);
}

// ---------------------------------------------------------------------------------------
// TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle |= csAcceptsControls;
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::Paint()
{
    TCanvas& c = Canvas();
    c.Font = Font();
    const int th = c.TextHeight("0");
    TRect r = Rect(0, th / 2, Width(), Height());
    c.Frame3D(r, clBtnShadow, clBtnHighlight, 1);
    c.Frame3D(r, clBtnHighlight, clBtnShadow, 1);
    if (!Caption().empty()) {
        c.Brush.Color = Color();
        c.Brush.Style = bsSolid;
        c.TextOut(8, 0, Caption());
    }
}

// ---------------------------------------------------------------------------------------
// Native controls

namespace {

QLineEdit* LineEditOf(const TWinControl* c) { return static_cast<QLineEdit*>(c->Widget()); }
QComboBox* ComboOf(const TWinControl* c) { return static_cast<QComboBox*>(c->Widget()); }
QPlainTextEdit* MemoOf(const TWinControl* c) { return static_cast<QPlainTextEdit*>(c->Widget()); }
QListWidget* ListOf(const TWinControl* c) { return static_cast<QListWidget*>(c->Widget()); }

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            lines.push_back(line);
            line.clear();
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += ch;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void ApplyFont(QWidget* w, const TFont& font) { w->setFont(ToQFont(font)); }

} // namespace

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner, new QLineEdit(), false, false)
{
    SetTabStop(true);
    SetColor(clWindow);
    ApplyFont(Widget(), Font());
    QObject::connect(LineEditOf(this), &QLineEdit::textChanged, [this](const QString&) {
        CallProtected([this] { Change(); });
    });
    SetBounds(0, 0, 121, 21);
}

std::string TEdit::Caption() const { return FromQString(LineEditOf(this)->text()); }

void TEdit::SetCaption(const std::string& text)
{
    const QString q = ToQString(text);
    if (q != LineEditOf(this)->text())
        LineEditOf(this)->setText(q);
}

bool TEdit::ReadOnly() const { return LineEditOf(this)->isReadOnly(); }
void TEdit::SetReadOnly(bool on) { LineEditOf(this)->setReadOnly(on); }
int TEdit::MaxLength() const { return LineEditOf(this)->maxLength() == 32767 ? 0 : LineEditOf(this)->maxLength(); }
void TEdit::SetMaxLength(int length) { LineEditOf(this)->setMaxLength(length > 0 ? length : 32767); }
void TEdit::SelectAll() { LineEditOf(this)->selectAll(); }
void TEdit::Change() { if (OnChange) OnChange(this); }

struct TComboBoxSignals {
    static void Connect(TComboBox* c)
    {
        // Only the user's changes count: code changes run with FQuiet set.
        QObject::connect(ComboOf(c), &QComboBox::currentIndexChanged, [c](int) {
            if (c->FQuiet == 0)
                CallProtected([c] { c->Change(); });
        });
        QObject::connect(ComboOf(c), &QComboBox::editTextChanged, [c](const QString&) {
            if (c->FQuiet == 0 && c->FStyle != csDropDownList)
                CallProtected([c] { c->Change(); });
        });
    }
};

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, new QComboBox(), false, false)
{
    SetTabStop(true);
    SetColor(clWindow);
    ComboOf(this)->setEditable(true);
    ComboOf(this)->setInsertPolicy(QComboBox::NoInsert);
    ApplyFont(Widget(), Font());
    TComboBoxSignals::Connect(this);
    SetBounds(0, 0, 145, 21);
}

void TComboBox::SetStyle(TComboBoxStyle style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    ++FQuiet;
    ComboOf(this)->setEditable(style != csDropDownList);
    --FQuiet;
}

std::vector<std::string> TComboBox::Items() const
{
    std::vector<std::string> items;
    for (int i = 0; i < ComboOf(this)->count(); ++i)
        items.push_back(FromQString(ComboOf(this)->itemText(i)));
    return items;
}

void TComboBox::SetItems(const std::vector<std::string>& items)
{
    ++FQuiet;
    const QString text = ComboOf(this)->currentText();
    ComboOf(this)->clear();
    for (const std::string& item : items)
        ComboOf(this)->addItem(ToQString(item));
    ComboOf(this)->setCurrentIndex(-1);
    if (FStyle != csDropDownList)
        ComboOf(this)->setEditText(text);
    --FQuiet;
}

void TComboBox::AddItem(const std::string& item)
{
    ++FQuiet;
    const QString text = ComboOf(this)->currentText();
    const int index = ComboOf(this)->currentIndex();
    ComboOf(this)->addItem(ToQString(item));
    ComboOf(this)->setCurrentIndex(index);
    if (FStyle != csDropDownList)
        ComboOf(this)->setEditText(text);
    --FQuiet;
}

void TComboBox::ClearItems() { SetItems({}); }

int TComboBox::ItemIndex() const { return ComboOf(this)->currentIndex(); }

void TComboBox::SetItemIndex(int index)
{
    ++FQuiet;
    ComboOf(this)->setCurrentIndex(index >= 0 && index < ComboOf(this)->count() ? index : -1);
    if (index < 0 && FStyle != csDropDownList)
        ComboOf(this)->setEditText(QString());
    --FQuiet;
}

std::string TComboBox::Caption() const { return FromQString(ComboOf(this)->currentText()); }

void TComboBox::SetCaption(const std::string& text)
{
    ++FQuiet;
    const QString q = ToQString(text);
    const int index = ComboOf(this)->findText(q, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (FStyle == csDropDownList) {
        if (index >= 0)
            ComboOf(this)->setCurrentIndex(index);
    } else {
        ComboOf(this)->setCurrentIndex(index);
        ComboOf(this)->setEditText(q);
    }
    --FQuiet;
}

void TComboBox::Change() { if (OnChange) OnChange(this); }

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner, new QPlainTextEdit(), false, false)
{
    SetTabStop(true);
    SetColor(clWindow);
    ApplyFont(Widget(), Font());
    MemoOf(this)->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoOf(this)->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QObject::connect(MemoOf(this), &QPlainTextEdit::textChanged, [this] {
        if (OnChange)
            CallProtected([this] { OnChange(this); });
    });
    SetBounds(0, 0, 185, 89);
}

std::vector<std::string> TMemo::Lines() const { return SplitLines(Caption()); }

void TMemo::SetLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            text += "\r\n";
        text += lines[i];
    }
    SetCaption(text);
}

std::string TMemo::Caption() const
{
    std::string text = FromQString(MemoOf(this)->toPlainText());
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

void TMemo::SetCaption(const std::string& text)
{
    std::string joined;
    const auto lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            joined += '\n';
        joined += lines[i];
    }
    MemoOf(this)->setPlainText(ToQString(joined));
}

bool TMemo::ReadOnly() const { return MemoOf(this)->isReadOnly(); }
void TMemo::SetReadOnly(bool on) { MemoOf(this)->setReadOnly(on); }

void TMemo::SetScrollBars(TScrollStyle bars)
{
    FScrollBars = bars;
    MemoOf(this)->setVerticalScrollBarPolicy((bars == ssVertical || bars == ssBoth) ? Qt::ScrollBarAlwaysOn
                                                                                    : Qt::ScrollBarAlwaysOff);
    MemoOf(this)->setHorizontalScrollBarPolicy((bars == ssHorizontal || bars == ssBoth) ? Qt::ScrollBarAlwaysOn
                                                                                        : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetWordWrap(bool on)
{
    FWordWrap = on;
    MemoOf(this)->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner, new QListWidget(), false, false)
{
    SetTabStop(true);
    SetColor(clWindow);
    ApplyFont(Widget(), Font());
    SetBounds(0, 0, 121, 97);
}

std::vector<std::string> TListBox::Items() const
{
    std::vector<std::string> items;
    for (int i = 0; i < ListOf(this)->count(); ++i)
        items.push_back(FromQString(ListOf(this)->item(i)->text()));
    return items;
}

void TListBox::SetItems(const std::vector<std::string>& items)
{
    ListOf(this)->clear();
    for (const std::string& item : items)
        ListOf(this)->addItem(ToQString(item));
}

int TListBox::ItemIndex() const { return ListOf(this)->currentRow(); }
void TListBox::SetItemIndex(int index) { ListOf(this)->setCurrentRow(index); }

void TListBox::ColorChanged()
{
    QPalette pal = Widget()->palette();
    const TColor rgb = ColorToRGB(Color());
    pal.setColor(QPalette::Base, QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    Widget()->setPalette(pal);
}

// ---------------------------------------------------------------------------------------
// Scroll bars

namespace {
QScrollBar* ScrollBarOf(const TWinControl* c) { return static_cast<QScrollBar*>(c->Widget()); }
} // namespace

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner, new QScrollBar(Qt::Horizontal), false, false)
{
    QScrollBar* bar = ScrollBarOf(this);
    bar->setRange(FMin, FMax);
    bar->setSingleStep(FSmallChange);
    bar->setPageStep(FLargeChange);
    QObject::connect(bar, &QScrollBar::valueChanged, [this](int value) { ValueFromWidget(value); });
    SetTabStop(true);
    SetBounds(0, 0, 121, 17);
}

void TScrollBar::ValueFromWidget(int value)
{
    if (FSyncing || value == FPosition)
        return;
    FPosition = value;
    CallProtected([this] { Change(); });
}

void TScrollBar::SetKind(TScrollBarKind kind)
{
    if (kind == FKind)
        return;
    FKind = kind;
    ScrollBarOf(this)->setOrientation(kind == sbVertical ? Qt::Vertical : Qt::Horizontal);
    SetBounds(Left(), Top(), Height(), Width());
}

void TScrollBar::SetParams(int position, int min, int max)
{
    if (min > max)
        throw EInvalidOperation("Scroll bar range is invalid");
    position = std::clamp(position, min, max);
    const bool moved = position != FPosition;
    FMin = min;
    FMax = max;
    FPosition = position;
    {
        FSyncing = true;
        QScrollBar* bar = ScrollBarOf(this);
        bar->setRange(min, max);
        bar->setValue(position);
        FSyncing = false;
    }
    if (moved)
        Change();
}

void TScrollBar::SetSmallChange(int change)
{
    FSmallChange = std::max(0, change);
    ScrollBarOf(this)->setSingleStep(FSmallChange);
}

void TScrollBar::SetLargeChange(int change)
{
    FLargeChange = std::max(0, change);
    ScrollBarOf(this)->setPageStep(FLargeChange);
}

void TScrollBar::Change()
{
    if (OnChange)
        OnChange(this);
}
