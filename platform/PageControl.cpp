#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QToolButton>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <string>

#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "platform/QtBridge.h"
#include "platform/WidgetLife.h"

namespace {

constexpr int kFrame = 2;  // the page area's 3D frame
constexpr int kMargin = 2; // between the frame and the pages

// A caption as a tab shows it: "&" marks nothing ("&&" is one "&"), so that the toolkit
// makes no shortcut of it.
QString TabText(const std::string& caption)
{
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                text += "&&";
            ++i;
            if (i < caption.size() && caption[i] != '&')
                text += caption[i];
            continue;
        }
        text += caption[i];
    }
    return ToQString(text);
}

} // namespace

// The tab row: the toolkit's tab bar with fixed tab widths, hot tracking and presses
// that focus the page control.
class PageTabBar : public QTabBar {
public:
    PageTabBar(TPageControl* owner, QWidget* parent) : QTabBar(parent), Owner(owner)
    {
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
        setDrawBase(false);
        setExpanding(false);
        setUsesScrollButtons(true);
        setElideMode(Qt::ElideNone);
        // Over the scrolling buttons the pointer is over no tab.
        for (QToolButton* button : findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
            button->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Enter)
            SetHot(-1);
        return QTabBar::eventFilter(watched, e);
    }

    void SetHot(int index)
    {
        if (!HotTrack)
            index = -1;
        if (index == Hot)
            return;
        if (Hot >= 0 && Hot < count())
            setTabTextColor(Hot, QColor());
        Hot = index;
        if (Hot >= 0) {
            const TColor navy = ColorToRGB(clNavy);
            setTabTextColor(Hot, QColor(GetRValue(navy), GetGValue(navy), GetBValue(navy)));
        }
    }

    TPageControl* Owner; // null once the page control is gone
    int FixedWidth = 0;
    bool HotTrack = false;
    int Hot = -1;
    std::function<void()> Pressed;

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        if (FixedWidth > 0)
            size.setWidth(FixedWidth);
        return size;
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    // The toolkit's tab shapes with each caption centred on its whole tab (narrow tabs
    // keep their captions; the shapes' own padding would cut them).
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        const int current = currentIndex();
        auto drawTab = [&](int i) {
            QStyleOptionTab option;
            initStyleOption(&option, i);
            painter.drawControl(QStyle::CE_TabBarTabShape, option);
            QRect text = option.rect;
            if (i != current)
                text.translate(0, style()->pixelMetric(QStyle::PM_TabBarTabShiftVertical, &option, this));
            painter.setPen(option.palette.color(foregroundRole()));
            painter.drawText(text, Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, option.text);
        };
        for (int i = 0; i < count(); ++i)
            if (i != current && isTabVisible(i))
                drawTab(i);
        if (current >= 0 && isTabVisible(current))
            drawTab(current);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        SetHot(tabAt(e->position().toPoint()));
        QTabBar::mouseMoveEvent(e);
    }
    void leaveEvent(QEvent* e) override
    {
        SetHot(-1);
        QTabBar::leaveEvent(e);
    }
    // A handler run by the press (a cancel mode, OnChange) may free the page control: the
    // bar then lives on until the press is over, with no owner.
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && Pressed)
            Pressed();
        if (Owner)
            QTabBar::mousePressEvent(e);
    }
    // The wheel does not turn the pages.
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }
};

struct TPageControlPrivate {
    QPointer<PageTabBar> Bar;
    bool Syncing = false;
};

// ---------------------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* control)
{
    if (control == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    SetParent(control);
    if (control)
        control->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool on)
{
    if (on == FTabVisible)
        return;
    FTabVisible = on;
    if (FPageControl)
        FPageControl->TabShowingChanged(this);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index)
{
    if (FPageControl)
        FPageControl->MovePage(this, index);
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int index = 0;
    for (const TTabSheet* page : FPageControl->FPages) {
        if (page == this)
            return index;
        if (page->FTabVisible)
            ++index;
    }
    return -1;
}

bool TTabSheet::Visible() const
{
    return TWinControl::Visible() && (!FPageControl || FPageControl->ActivePage() == this);
}

void TTabSheet::TextChanged()
{
    TWinControl::TextChanged();
    if (FPageControl)
        FPageControl->SyncTabs();
}

void TTabSheet::VisibleChanged() { UpdateShown(); }

// ---------------------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner)
    : TWinControl(AOwner), FPriv(std::make_unique<TPageControlPrivate>())
{
    auto* bar = new PageTabBar(this, Widget());
    bar->setFont(ToQFont(Font()));
    bar->Pressed = [this] { TabPressed(); };
    ConnectToProgram(bar, &QTabBar::currentChanged, [this](int index) {
        if (FPriv->Syncing || index < 0 || index >= PageCount())
            return;
        CallProtected([&] { UserSelect(FPages[static_cast<size_t>(index)]); });
    });
    FPriv->Bar = bar;
    bar->show();
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    // The tab bar goes with the window, after this object's own parts: it calls no more.
    // Freed by a handler of the bar's own press, the page control leaves the bar to finish
    // that press (the window waits for it: platform/WidgetLife.h).
    if (PageTabBar* bar = FPriv->Bar) {
        QObject::disconnect(bar, nullptr, nullptr, nullptr);
        bar->Pressed = nullptr;
        bar->Owner = nullptr;
    }
    // The sheets outlive it only as controls without a page control.
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const
{
    if (index < 0 || index >= PageCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FPages[static_cast<size_t>(index)];
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index)
{
    SetActivePage(index >= 0 && index < PageCount() ? FPages[static_cast<size_t>(index)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->FPageControl != this)
        return;
    ChangeActivePage(page);
}

void TPageControl::ChangeActivePage(TTabSheet* page)
{
    if (page == FActivePage)
        return;
    TTabSheet* old = FActivePage;
    // The focus on a control of the page that goes comes to the page control.
    if (TForm* form = ParentForm(); form && old) {
        bool inside = false;
        for (const TControl* c = form->ActiveControl(); c && !inside; c = c->Parent())
            inside = c == old;
        if (inside && TakesFocus() && CanFocus())
            SetFocus();
        form->DefocusControl(old);
    }
    FActivePage = page;
    if (old)
        old->UpdateShown();
    if (page) {
        page->SetBounds(DisplayRect().Left, DisplayRect().Top, DisplayRect().Width(), DisplayRect().Height());
        page->UpdateShown();
        if (QWidget* w = page->FrameWidget())
            w->raise();
    }
    SyncTabs();
}

void TPageControl::UserSelect(TTabSheet* page)
{
    if (!page || page == FActivePage) {
        SyncTabs();
        return;
    }
    ChangeActivePage(page);
    Change();
}

void TPageControl::Change()
{
    if (OnChange)
        OnChange(this);
}

TTabSheet* TPageControl::NextTabPage(TTabSheet* page, bool forward) const
{
    const int count = PageCount();
    if (count == 0)
        return nullptr;
    const auto it = std::find(FPages.begin(), FPages.end(), page);
    int start = it == FPages.end() ? (forward ? count - 1 : 0) : static_cast<int>(it - FPages.begin());
    for (int step = 1; step <= count; ++step) {
        const int i = ((start + (forward ? step : -step)) % count + count) % count;
        if (FPages[static_cast<size_t>(i)]->FTabVisible)
            return FPages[static_cast<size_t>(i)];
    }
    return nullptr;
}

void TPageControl::InsertPage(TTabSheet* page)
{
    FPages.push_back(page);
    page->FPageControl = this;
    const TRect r = DisplayRect();
    page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    if (!FActivePage && page->FTabVisible)
        ChangeActivePage(page);
    else
        page->UpdateShown();
    SyncTabs();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    const auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end())
        return;
    TTabSheet* next = nullptr;
    if (page == FActivePage) {
        next = NextTabPage(page, true);
        if (next == page)
            next = nullptr;
        ChangeActivePage(next);
    }
    FPages.erase(std::find(FPages.begin(), FPages.end(), page));
    page->FPageControl = nullptr;
    page->UpdateShown();
    SyncTabs();
}

void TPageControl::MovePage(TTabSheet* page, int index)
{
    const auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end())
        return;
    FPages.erase(it);
    index = std::clamp(index, 0, PageCount());
    FPages.insert(FPages.begin() + index, page);
    SyncTabs();
}

void TPageControl::TabShowingChanged(TTabSheet* page)
{
    // The active page losing its tab hands over to the page of the tab that takes its place.
    if (page == FActivePage && !page->FTabVisible) {
        TTabSheet* next = nullptr;
        const int at = page->PageIndex();
        for (int i = at + 1; i < PageCount() && !next; ++i)
            if (FPages[static_cast<size_t>(i)]->FTabVisible)
                next = FPages[static_cast<size_t>(i)];
        for (int i = at - 1; i >= 0 && !next; --i)
            if (FPages[static_cast<size_t>(i)]->FTabVisible)
                next = FPages[static_cast<size_t>(i)];
        ChangeActivePage(next);
    } else if (!FActivePage && page->FTabVisible) {
        ChangeActivePage(page);
    }
    SyncTabs();
}

void TPageControl::SyncTabs()
{
    PageTabBar* bar = FPriv->Bar;
    if (!bar)
        return;
    FPriv->Syncing = true;
    bar->SetHot(-1);
    while (bar->count() > PageCount())
        bar->removeTab(bar->count() - 1);
    while (bar->count() < PageCount())
        bar->addTab(QString());
    for (int i = 0; i < PageCount(); ++i) {
        const TTabSheet* page = FPages[static_cast<size_t>(i)];
        bar->setTabText(i, TabText(page->Caption()));
        bar->setTabVisible(i, page->FTabVisible);
    }
    const int active = ActivePageIndex();
    if (active >= 0)
        bar->setCurrentIndex(active);
    FPriv->Syncing = false;
    PlaceParts();
}

int TPageControl::TabRowHeight() const
{
    PageTabBar* bar = FPriv->Bar;
    if (!bar)
        return 0;
    bar->ensurePolished();
    return bar->sizeHint().height();
}

// The frame starts under the lower edge of the tab row, so that the active tab (drawn
// over it) joins its page.
int TPageControl::FrameTop() const { return std::max(0, TabRowHeight() - kFrame); }

TRect TPageControl::DisplayRect() const
{
    const int inset = kFrame + kMargin;
    const int top = FrameTop() + inset;
    return Rect(inset, top, std::max(inset, ClientWidth() - inset), std::max(top, ClientHeight() - inset));
}

void TPageControl::PlaceParts()
{
    if (PageTabBar* bar = FPriv->Bar)
        bar->setGeometry(0, 0, ClientWidth(), TabRowHeight());
    const TRect r = DisplayRect();
    for (TTabSheet* page : FPages)
        page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    Invalidate();
}

void TPageControl::BoundsChanged()
{
    TWinControl::BoundsChanged();
    PlaceParts();
}

void TPageControl::FontChanged()
{
    TWinControl::FontChanged();
    if (PageTabBar* bar = FPriv->Bar)
        bar->setFont(ToQFont(Font()));
    PlaceParts();
}

void TPageControl::EnabledChanged()
{
    TWinControl::EnabledChanged();
    if (PageTabBar* bar = FPriv->Bar)
        bar->SetHot(-1);
}

void TPageControl::SetTabWidth(int width)
{
    width = std::max(0, width);
    if (width == FTabWidth)
        return;
    FTabWidth = width;
    if (PageTabBar* bar = FPriv->Bar) {
        bar->FixedWidth = width;
        // The bar measures its tabs again when their texts change.
        SyncTabs();
        for (int i = 0; i < bar->count(); ++i) {
            const QString text = bar->tabText(i);
            bar->setTabText(i, text + QLatin1Char(' '));
            bar->setTabText(i, text);
        }
    }
}

void TPageControl::SetHotTrack(bool on)
{
    if (on == FHotTrack)
        return;
    FHotTrack = on;
    if (PageTabBar* bar = FPriv->Bar) {
        bar->HotTrack = on;
        bar->SetHot(-1);
    }
}

TRect TPageControl::TabRect(int tabIndex) const
{
    PageTabBar* bar = FPriv->Bar;
    if (!bar || tabIndex < 0)
        return TRect{};
    for (int i = 0; i < PageCount(); ++i)
        if (FPages[static_cast<size_t>(i)]->TabIndex() == tabIndex) {
            const QRect r = bar->tabRect(i).translated(bar->pos());
            return Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        }
    return TRect{};
}

void TPageControl::TabPressed()
{
    SendCancelModes(this, this);
    if (TabStop() && TakesFocus() && CanFocus() && !Focused())
        SetFocus();
}

bool TPageControl::TypedKey(WORD key, char, char, TShiftState shift)
{
    if (shift.Contains(ssCtrl) || shift.Contains(ssAlt))
        return false;
    bool forward = false;
    switch (key) {
    case VK_RIGHT:
    case VK_DOWN: forward = true; break;
    case VK_LEFT:
    case VK_UP: forward = false; break;
    default: return false;
    }
    // The arrows stop at the ends of the row.
    const int from = FActivePage ? FActivePage->PageIndex() : -1;
    for (int i = from + (forward ? 1 : -1); i >= 0 && i < PageCount(); i += forward ? 1 : -1)
        if (FPages[static_cast<size_t>(i)]->FTabVisible) {
            UserSelect(FPages[static_cast<size_t>(i)]);
            break;
        }
    return true;
}

bool TPageControl::DialogKey(WORD Key, TShiftState Shift)
{
    if (Key != VK_TAB || !Shift.Contains(ssCtrl))
        return false;
    TTabSheet* next = NextTabPage(FActivePage, !Shift.Contains(ssShift));
    if (next)
        UserSelect(next);
    return true;
}

void TPageControl::Paint()
{
    TCanvas& c = SurfaceCanvas();
    TRect frame = Rect(0, FrameTop(), ClientWidth(), ClientHeight());
    if (frame.IsEmpty())
        return;
    c.Frame3D(frame, clBtnHighlight, clBlack, 1);
    c.Frame3D(frame, clBtnFace, clBtnShadow, 1);
}

void TPageControl::PaintOwnWidgets(TCanvas& canvas, int x, int y)
{
    PageTabBar* bar = FPriv->Bar;
    if (!bar || bar->isHidden() || bar->width() <= 0 || bar->height() <= 0)
        return;
    // The tab bar draws over the surface under it (it fills no background of its own).
    const TDeviceContextInfo info = DeviceContextInfo(Surface());
    const QImage surface(info.Bits, info.Width, info.Height, info.Pitch, QImage::Format_RGB32);
    QImage part = surface.copy(bar->geometry());
    if (part.isNull())
        return;
    bar->render(&part, QPoint(), QRegion(), QWidget::DrawChildren);
    part = part.convertToFormat(QImage::Format_RGB32);
    auto src = MakeDeviceContext(part.bits(), part.width(), part.height(), static_cast<int32_t>(part.bytesPerLine()), 32);
    BitBlt(canvas.Handle(), x + bar->x(), y + bar->y(), part.width(), part.height(), src.get(), 0, 0, cmSrcCopy);
}

namespace TestHooks {

TRect TabScrollButtonRect(TPageControl* control, bool left)
{
    QWidget* widget = control ? control->Widget() : nullptr;
    if (!widget)
        return TRect{};
    auto* bar = widget->findChild<PageTabBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (!bar)
        return TRect{};
    for (QToolButton* button : bar->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (button->isHidden() || button->arrowType() != (left ? Qt::LeftArrow : Qt::RightArrow))
            continue;
        const QRect r = button->geometry().translated(bar->pos());
        return Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    }
    return TRect{};
}

} // namespace TestHooks
