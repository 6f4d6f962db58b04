#include "platform/StdCtrls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QScrollBar>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>

#include <algorithm>
#include <vector>

#include "platform/Application.h"
#include "platform/Clipbrd.h"
#include "platform/QtBridge.h"
#include "platform/TestHooks.h"
#include "platform/WidgetLife.h"

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

namespace {

QColor QtRgb(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// The caret's width (0 while hidden) for one edit.
class CaretStyle : public QProxyStyle {
public:
    int Width = 1;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_TextCursorWidth)
            return Width;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The frame around an edit's own window.
class EditFrame : public QWidget {
public:
    explicit EditFrame(TEdit* edit) : Edit(edit) { setFocusPolicy(Qt::NoFocus); }
    TEdit* Edit;
    int Border = 2;
    bool Sunken = true;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int w = width(), h = height();
        if (Border == 0)
            return;
        if (!Sunken) {
            p.setPen(QtRgb(clWindowFrame));
            p.drawRect(0, 0, w - 1, h - 1);
            return;
        }
        // The classic sunken edge: shadow and dark shadow at the top and left,
        // highlight and light at the bottom and right.
        p.setPen(QtRgb(clBtnShadow));
        p.drawLine(0, 0, w - 2, 0);
        p.drawLine(0, 0, 0, h - 2);
        p.setPen(QtRgb(clBtnHighlight));
        p.drawLine(0, h - 1, w - 1, h - 1);
        p.drawLine(w - 1, 0, w - 1, h - 1);
        p.setPen(QColor(0, 0, 0));
        p.drawLine(1, 1, w - 3, 1);
        p.drawLine(1, 1, 1, h - 3);
        p.setPen(QtRgb(clBtnFace));
        p.drawLine(1, h - 2, w - 2, h - 2);
        p.drawLine(w - 2, 1, w - 2, h - 2);
    }
};

} // namespace

// The edit's own window: Qt's line edit, with owner drawing, window-less children and
// the edit's own context menu and focus rules on top.
class EditWidget : public QLineEdit {
public:
    explicit EditWidget(TEdit* edit) : Edit(edit) { setFrame(false); }
    TEdit* Edit;

    int TextLeft()
    {
        QStyleOptionFrame opt;
        initStyleOption(&opt);
        const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
        return r.left() + textMargins().left() + 2; // the line edit's own horizontal margin
    }
    int TextRightGap()
    {
        QStyleOptionFrame opt;
        initStyleOption(&opt);
        const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
        return (width() - 1 - r.right()) + textMargins().right() + 2;
    }

    int TextTop()
    {
        QStyleOptionFrame opt;
        initStyleOption(&opt);
        QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
        r = r.marginsRemoved(textMargins());
        const QFontMetrics fm(font());
        return r.top() + (r.height() - fm.height() + 1) / 2;
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        if (Edit->OwnerDraws()) {
            QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
            image.fill(QtRgb(Edit->Color()));
            {
                auto dc = MakeDeviceContext(image.bits(), image.width(), image.height(),
                                            static_cast<int32_t>(image.bytesPerLine()), 32);
                TCanvas canvas;
                canvas.SetHandle(dc.get());
                canvas.Font = Edit->Font();
                canvas.Brush.Color = Edit->Color();
                CallProtected([&] { Edit->DrawContent(canvas); });
                canvas.SetHandle(nullptr);
            }
            QPainter p(this);
            p.drawImage(0, 0, image);
        } else {
            QLineEdit::paintEvent(e);
        }
        // Window-less children over the text, each on the edit's colour.
        for (int i = 0; i < Edit->ControlCount(); ++i) {
            TControl* c = Edit->Controls(i);
            if (c->Windowed() || !c->Visible() || c->Width() <= 0 || c->Height() <= 0)
                continue;
            QImage image(c->Width(), c->Height(), QImage::Format_RGB32);
            image.fill(QtRgb(Edit->Color()));
            auto dc = MakeDeviceContext(image.bits(), image.width(), image.height(),
                                        static_cast<int32_t>(image.bytesPerLine()), 32);
            c->PaintWithDC(dc.get());
            dc.reset();
            QPainter p(this);
            p.drawImage(c->Left(), c->Top(), image);
        }
    }
    void focusInEvent(QFocusEvent* e) override
    {
        const bool hadSelection = hasSelectedText();
        QLineEdit::focusInEvent(e);
        if (!Edit->AutoSelect() && !hadSelection && hasSelectedText())
            deselect();
    }
    void contextMenuEvent(QContextMenuEvent* e) override { Edit->ShowContextMenu(Point(e->pos().x(), e->pos().y())); }
};

struct TEditPrivate {
    QPointer<EditFrame> Frame;
    CaretStyle* Caret = nullptr;
    TAlignment Alignment = taLeftJustify;
    TBorderStyle BorderStyle = bsSingle;
    bool Ctl3D = true;
    bool EditRectSet = false;
    TRect EditRect{};
    int CaretWidth = 1;
    bool CaretHidden = false;
    bool AutoSelect = true;
    TEditCharCase CharCase = ecNormal;
    bool HideSelection = true;
    bool OEMConvert = false;
    bool Modified = false;
};

namespace {
EditWidget* EditOf(const TEdit* e) { return static_cast<EditWidget*>(e->Widget()); }

QString CaseOf(TEditCharCase charCase, const QString& text)
{
    switch (charCase) {
    case ecUpperCase: return text.toUpper();
    case ecLowerCase: return text.toLower();
    default: return text;
    }
}
} // namespace

TEdit::TEdit(TComponent* AOwner)
    : TWinControl(AOwner, new EditWidget(this), false, false), FEdit(std::make_unique<TEditPrivate>())
{
    EditWidget* w = EditOf(this);
    FEdit->Frame = new EditFrame(this);
    SetFrameWidget(FEdit->Frame);
    FEdit->Caret = new CaretStyle();
    w->setStyle(FEdit->Caret);
    SetTabStop(true);
    SetColor(clWindow);
    ApplyFont(w, Font());
    ApplyPalette();
    ConnectToProgram(w, &QLineEdit::textChanged, [this](const QString&) {
        CallProtected([this] { Change(); });
    });
    ConnectToProgram(w, &QLineEdit::textEdited, [this](const QString&) { FEdit->Modified = true; });
    SetBounds(0, 0, 121, 21);
}

TEdit::~TEdit()
{
    DestroyChildren();
    // The caret's style goes now; the window, in its frame, goes with the control.
    if (QWidget* w = Widget())
        w->setStyle(nullptr);
    delete FEdit->Caret;
}

std::string TEdit::Caption() const { return FromQString(EditOf(this)->text()); }

void TEdit::SetCaption(const std::string& text)
{
    const QString q = ToQString(text);
    if (q != EditOf(this)->text())
        EditOf(this)->setText(q);
}

bool TEdit::ReadOnly() const { return EditOf(this)->isReadOnly(); }
void TEdit::SetReadOnly(bool on) { EditOf(this)->setReadOnly(on); }
int TEdit::MaxLength() const { return EditOf(this)->maxLength() == 32767 ? 0 : EditOf(this)->maxLength(); }
void TEdit::SetMaxLength(int length) { EditOf(this)->setMaxLength(length > 0 ? length : 32767); }
void TEdit::SelectAll() { EditOf(this)->selectAll(); }
void TEdit::Change() { if (OnChange) OnChange(this); }

int TEdit::SelStart() const
{
    const EditWidget* w = EditOf(this);
    return w->hasSelectedText() ? w->selectionStart() : w->cursorPosition();
}

void TEdit::SetSelStart(int start)
{
    EditWidget* w = EditOf(this);
    w->deselect();
    w->setCursorPosition(std::clamp(start, 0, static_cast<int>(w->text().size())));
}

int TEdit::SelLength() const { return EditOf(this)->hasSelectedText() ? EditOf(this)->selectionLength() : 0; }

void TEdit::SetSelLength(int length)
{
    EditWidget* w = EditOf(this);
    const int start = SelStart();
    const int size = static_cast<int>(w->text().size());
    w->setSelection(start, std::clamp(length, 0, size - start));
}

std::string TEdit::SelText() const { return FromQString(EditOf(this)->selectedText()); }

void TEdit::SetSelText(const std::string& text) { InsertTyped(text); }

void TEdit::InsertTyped(const std::string& text)
{
    EditWidget* w = EditOf(this);
    // insert() works on a read-only line edit too; the programs' own calls are allowed.
    w->insert(CaseOf(FEdit->CharCase, ToQString(text)));
}

bool TEdit::Modified() const { return FEdit->Modified; }
void TEdit::SetModified(bool on) { FEdit->Modified = on; }

TAlignment TEdit::Alignment() const { return FEdit->Alignment; }

void TEdit::SetAlignment(TAlignment alignment)
{
    FEdit->Alignment = alignment;
    const Qt::Alignment h = alignment == taRightJustify ? Qt::AlignRight
                            : alignment == taCenter     ? Qt::AlignHCenter
                                                        : Qt::AlignLeft;
    EditOf(this)->setAlignment(h | Qt::AlignVCenter);
}

TBorderStyle TEdit::BorderStyle() const { return FEdit->BorderStyle; }

void TEdit::SetBorderStyle(TBorderStyle style)
{
    style = style == bsNone ? bsNone : bsSingle;
    if (style == FEdit->BorderStyle)
        return;
    FEdit->BorderStyle = style;
    UpdateBounds();
    CallProtected([this] { FrameChanged(); });
}

bool TEdit::Ctl3D() const { return FEdit->Ctl3D; }

void TEdit::SetCtl3D(bool on)
{
    if (on == FEdit->Ctl3D)
        return;
    FEdit->Ctl3D = on;
    UpdateBounds();
    CallProtected([this] { FrameChanged(); });
}

int TEdit::FrameWidth() const
{
    if (!FEdit || FEdit->BorderStyle == bsNone)
        return 0;
    return FEdit->Ctl3D ? 2 : 1;
}

int TEdit::ClientWidth() const { return std::max(0, Width() - 2 * FrameWidth()); }
int TEdit::ClientHeight() const { return std::max(0, Height() - 2 * FrameWidth()); }
TPoint TEdit::ClientOrigin() const { return Point(FrameWidth(), FrameWidth()); }

TPoint TEdit::ClientToScreen(TPoint p) const
{
    const int b = FrameWidth();
    if (!Parent())
        return Point(p.X + b, p.Y + b);
    return Parent()->ClientToScreen(Point(p.X + Left() + b, p.Y + Top() + b));
}

void TEdit::SetEditRect(const TRect& rect)
{
    FEdit->EditRectSet = true;
    FEdit->EditRect = rect;
    ApplyMargins();
}

TRect TEdit::EditRect() const
{
    if (!FEdit->EditRectSet)
        return ClientRect();
    return FEdit->EditRect;
}

void TEdit::ApplyMargins()
{
    if (!FEdit)
        return;
    const TRect r = EditRect();
    const int cw = ClientWidth(), ch = ClientHeight();
    EditOf(this)->setTextMargins(std::max(0, r.Left), std::max(0, r.Top), std::max(0, cw - r.Right),
                                 std::max(0, ch - r.Bottom));
}

int TEdit::LeftMargin() const { return EditOf(this)->TextLeft() - std::max(0, EditRect().Left); }

int TEdit::TopMargin() const { return EditOf(this)->TextTop(); }

int TEdit::RightMargin() const
{
    return EditOf(this)->TextRightGap() - std::max(0, ClientWidth() - EditRect().Right);
}

void TEdit::SetCaretWidth(int width)
{
    FEdit->CaretWidth = std::clamp(width, 1, 2);
    ApplyCaret();
}

int TEdit::CaretWidth() const { return FEdit->CaretWidth; }

void TEdit::HideCaret()
{
    FEdit->CaretHidden = true;
    ApplyCaret();
}

void TEdit::ShowCaret()
{
    FEdit->CaretHidden = false;
    ApplyCaret();
}

bool TEdit::CaretShown() const { return !FEdit->CaretHidden; }

void TEdit::ApplyCaret()
{
    EditWidget* w = EditOf(this);
    FEdit->Caret->Width = FEdit->CaretHidden ? 0 : FEdit->CaretWidth;
    // The line edit reads the width when its style changes.
    w->setStyle(nullptr);
    w->setStyle(FEdit->Caret);
    ApplyFont(w, Font());
    ApplyPalette();
    w->update();
}

bool TEdit::AutoSelect() const { return FEdit->AutoSelect; }
void TEdit::SetAutoSelect(bool on) { FEdit->AutoSelect = on; }
TEditCharCase TEdit::CharCase() const { return FEdit->CharCase; }

void TEdit::SetCharCase(TEditCharCase charCase)
{
    if (charCase == FEdit->CharCase)
        return;
    FEdit->CharCase = charCase;
    if (charCase != ecNormal)
        SetCaption(FromQString(CaseOf(charCase, EditOf(this)->text())));
}

bool TEdit::HideSelection() const { return FEdit->HideSelection; }

void TEdit::SetHideSelection(bool on)
{
    FEdit->HideSelection = on;
    ApplyPalette();
}

bool TEdit::OEMConvert() const { return FEdit->OEMConvert; }
void TEdit::SetOEMConvert(bool on) { FEdit->OEMConvert = on; }

void TEdit::CutToClipboard()
{
    EditWidget* w = EditOf(this);
    if (w->isReadOnly() || !w->hasSelectedText())
        return;
    Clipboard()->SetAsText(FromQString(w->selectedText()));
    w->del();
}

void TEdit::CopyToClipboard()
{
    EditWidget* w = EditOf(this);
    if (w->hasSelectedText())
        Clipboard()->SetAsText(FromQString(w->selectedText()));
}

void TEdit::PasteFromClipboard()
{
    EditWidget* w = EditOf(this);
    if (w->isReadOnly() || !Clipboard()->HasFormat(CF_TEXT))
        return;
    QString text = ToQString(Clipboard()->AsText());
    // One line: the text up to the first line break.
    const qsizetype br = text.indexOf(QRegularExpression("[\r\n]"));
    if (br >= 0)
        text.truncate(br);
    w->insert(CaseOf(FEdit->CharCase, text));
}

void TEdit::ClearSelection()
{
    EditWidget* w = EditOf(this);
    if (!w->isReadOnly() && w->hasSelectedText())
        w->del();
}

namespace {
// The clipboard steps of an edit by key: 0 none, 1 cut, 2 copy, 3 paste.
int ClipboardStepOf(WORD key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl), sh = shift.Contains(ssShift), alt = shift.Contains(ssAlt);
    if (alt)
        return 0;
    if (ctrl && !sh) {
        if (key == 'X')
            return 1;
        if (key == 'C' || key == VK_INSERT)
            return 2;
        if (key == 'V')
            return 3;
    }
    if (sh && !ctrl) {
        if (key == VK_DELETE)
            return 1;
        if (key == VK_INSERT)
            return 3;
    }
    return 0;
}
} // namespace

bool TEdit::TypedKey(WORD key, char original, char typed, TShiftState shift)
{
    switch (ClipboardStepOf(key, shift)) {
    case 1: CutToClipboard(); return true;
    case 2: CopyToClipboard(); return true;
    case 3: PasteFromClipboard(); return true;
    default: break;
    }
    EditWidget* w = EditOf(this);
    if (typed == 0 || static_cast<unsigned char>(typed) < 32) {
        if (typed != original && typed == 8 && !w->isReadOnly()) {
            w->backspace();
            return true;
        }
        return typed != original; // changed into another control character: nothing
    }
    const QString as = CaseOf(FEdit->CharCase, ToQString(std::string(1, typed)));
    if (typed == original && as == ToQString(std::string(1, original)))
        return false; // the window types it itself
    if (!w->isReadOnly())
        w->insert(as);
    return true;
}

void TEdit::ShowContextMenu(TPoint at)
{
    QMenu menu;
    for (const char* item : {"Cut", "Copy", "Paste", "Delete", "Select All"}) {
        QAction* a = menu.addAction(QString::fromLatin1(item));
        const std::string name = item;
        QObject::connect(a, &QAction::triggered, [this, name] { TestHooks::ChooseEditMenuItem(this, name); });
    }
    menu.exec(Widget()->mapToGlobal(QPoint(at.X, at.Y)));
}

void TEdit::UpdateBounds()
{
    QWidget* frame = FrameWidget();
    if (!frame || !FEdit)
        return;
    frame->setGeometry(Left(), Top(), Width(), Height());
    const int b = FrameWidth();
    if (FEdit->Frame) {
        FEdit->Frame->Border = b;
        FEdit->Frame->Sunken = FEdit->Ctl3D;
        FEdit->Frame->update();
    }
    Widget()->setGeometry(b, b, ClientWidth(), ClientHeight());
    ApplyMargins();
}

void TEdit::FontChanged()
{
    ApplyFont(Widget(), Font());
    ApplyPalette();
    Invalidate();
}

void TEdit::ColorChanged()
{
    ApplyPalette();
    Invalidate();
}

void TEdit::EnabledChanged()
{
    TWinControl::EnabledChanged();
    ApplyPalette();
}

void TEdit::ApplyPalette()
{
    if (!FEdit)
        return;
    QWidget* w = Widget();
    QPalette pal = w->palette();
    const QColor base = QtRgb(Color() == clNone ? clWindow : Color());
    const QColor text = QtRgb(Font().Color);
    // Disabled text is grey, unless grey is the background: then it keeps its colour.
    const QColor disabled = base == QtRgb(clGrayText) ? text : QtRgb(clGrayText);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(g, QPalette::Base, base);
        pal.setColor(g, QPalette::Window, base);
        pal.setColor(g, QPalette::Text, g == QPalette::Disabled ? disabled : text);
        pal.setColor(g, QPalette::Highlight, QColor(0, 0, 128));
        pal.setColor(g, QPalette::HighlightedText, QColor(255, 255, 255));
    }
    if (FEdit->HideSelection) {
        pal.setColor(QPalette::Inactive, QPalette::Highlight, base);
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
    }
    w->setPalette(pal);
    if (FEdit->Frame) {
        QPalette fp = FEdit->Frame->palette();
        fp.setColor(QPalette::Window, base);
        FEdit->Frame->setPalette(fp);
        FEdit->Frame->setAutoFillBackground(true);
    }
}

namespace {
const TestHooks::TResetStep resetCaretBlinking([] { TestHooks::SetCaretBlinking(true); });
} // namespace

namespace TestHooks {

void SetCaretBlinking(bool on) { QGuiApplication::styleHints()->setCursorFlashTime(on ? 1000 : 0); }

bool ChooseEditMenuItem(TEdit* edit, const std::string& item)
{
    if (!edit)
        return false;
    bool known = true;
    CallProtected([&] {
        if (item == "Cut")
            edit->CutToClipboard();
        else if (item == "Copy")
            edit->CopyToClipboard();
        else if (item == "Paste")
            edit->PasteFromClipboard();
        else if (item == "Delete")
            edit->ClearSelection();
        else if (item == "Select All")
            edit->SelectAll();
        else
            known = false;
    });
    return known;
}

} // namespace TestHooks

namespace {

// Tells whether a component was freed while program code ran.
class ComponentWatch : public TComponent {
public:
    explicit ComponentWatch(TComponent* watched) : FWatched(watched) { FWatched->FreeNotification(this); }
    ~ComponentWatch() override
    {
        if (FWatched)
            FWatched->RemoveFreeNotification(this);
    }
    bool Gone() const { return FWatched == nullptr; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        if (Operation == opRemove && AComponent == FWatched)
            FWatched = nullptr;
        TComponent::Notification(AComponent, Operation);
    }

private:
    TComponent* FWatched;
};

// Hands the keys of a combo box's open list to the box first.
class ComboListKeys : public QObject {
public:
    ComboListKeys(TComboBox* combo, QObject* parent) : QObject(parent), FCombo(combo) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        const bool press = e->type() == QEvent::KeyPress;
        return FCombo->ListKey(press, KeyCodeFromEvent(*k), press ? KeyCharFromEvent(*k) : 0,
                               ShiftStateFromQt(k->modifiers(), QGuiApplication::mouseButtons()));
    }

private:
    TComboBox* FCombo;
};

} // namespace

struct TComboBoxSignals {
    static void Connect(TComboBox* c)
    {
        // Only the user's changes count: code changes run with FQuiet set.
        ConnectToProgram(ComboOf(c), &QComboBox::currentIndexChanged, [c](int) {
            if (c->FQuiet == 0)
                CallProtected([c] { c->Change(); });
        });
        ConnectToProgram(ComboOf(c), &QComboBox::editTextChanged, [c](const QString&) {
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
    QAbstractItemView* list = ComboOf(this)->view();
    list->installEventFilter(new ComboListKeys(this, list));
    SetBounds(0, 0, 145, 21);
}

bool TComboBox::ListKey(bool press, WORD key, char typed, TShiftState shift)
{
    TForm* form = ParentForm();
    // A handler may free the box: then the key goes no further.
    const ComponentWatch self(this);
    bool swallowed = false;
    CallProtected([&] {
        if (!press) {
            if (form)
                form->PreviewKeyUp(key, shift);
            if (!self.Gone() && key != 0)
                KeyUp(key, shift);
            swallowed = self.Gone() || key == 0;
            return;
        }
        if (form)
            form->PreviewKeyDown(key, shift);
        if (!self.Gone() && key != 0)
            KeyDown(key, shift);
        if (self.Gone() || key == 0) {
            swallowed = true;
            return;
        }
        if (typed != 0) {
            if (form)
                form->PreviewKeyPress(typed);
            if (!self.Gone() && typed != 0)
                KeyPress(typed);
            swallowed = self.Gone() || typed == 0;
        }
    });
    return swallowed;
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
    ConnectToProgram(MemoOf(this), &QPlainTextEdit::textChanged, [this] {
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
    ConnectToProgram(bar, &QScrollBar::valueChanged, [this](int value) { ValueFromWidget(value); });
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

bool TScrollBar::TypedKey(WORD key, char, char, TShiftState shift)
{
    // The window's own arrow handling is turned round for horizontal bars (its controls
    // are inverted so that Up, Down and the wheel go the right way on vertical ones).
    if (FKind != sbHorizontal || (key != VK_LEFT && key != VK_RIGHT) || shift.Contains(ssCtrl) ||
        shift.Contains(ssAlt))
        return false;
    ScrollBarOf(this)->triggerAction(key == VK_LEFT ? QAbstractSlider::SliderSingleStepSub
                                                    : QAbstractSlider::SliderSingleStepAdd);
    return true;
}

void TScrollBar::Change()
{
    if (OnChange)
        OnChange(this);
}
