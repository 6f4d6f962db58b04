#include "platform/PopupWindows.h"

#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>

#include "platform/Forms.h"
#include "platform/WidgetLife.h"

namespace {

std::vector<TPopupControl*>& Shown()
{
    static std::vector<TPopupControl*> shown;
    return shown;
}

// The top-level window: the frame around the control's own window.
class PopupFrame : public QWidget {
public:
    PopupFrame()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_DeleteOnClose, false);
        setAttribute(Qt::WA_QuitOnClose, false);
        setFocusPolicy(Qt::NoFocus);
        setProperty("tpPopup", true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const TColor frame = ColorToRGB(clWindowFrame);
        p.setPen(QColor(GetRValue(frame), GetGValue(frame), GetBValue(frame)));
        p.drawRect(0, 0, width() - 1, height() - 1);
    }
};

} // namespace

struct TPopupControlPrivate {
    QPointer<PopupFrame> Frame;
};

TPopupControl::TPopupControl(TWinControl* owner)
    : TCustomControl(owner), FPopupOwner(owner), FPopup(std::make_unique<TPopupControlPrivate>())
{
    FPopup->Frame = new PopupFrame();
    Widget()->setParent(FPopup->Frame);
    Widget()->show();
    SetTakesFocus(false);
    SetVisible(false);
    if (owner)
        FreeNotification(owner);
}

TPopupControl::~TPopupControl()
{
    auto& shown = Shown();
    shown.erase(std::remove(shown.begin(), shown.end(), this), shown.end());
    DestroyChildren();
    // The frame goes with the control's own window inside it.
    DestroyWidget(FPopup->Frame.data());
}

TForm* TPopupControl::OwnerForm() const { return FPopupOwner ? FPopupOwner->ParentForm() : nullptr; }

void TPopupControl::UpdateBounds()
{
    if (PopupFrame* frame = FPopup ? FPopup->Frame.data() : nullptr) {
        frame->setGeometry(Left(), Top(), Width(), Height());
        Widget()->setGeometry(1, 1, ClientWidth(), ClientHeight());
    }
}

void TPopupControl::VisibleChanged()
{
    auto& shown = Shown();
    shown.erase(std::remove(shown.begin(), shown.end(), this), shown.end());
    if (Visible())
        shown.push_back(this);
    if (PopupFrame* frame = FPopup ? FPopup->Frame.data() : nullptr) {
        UpdateBounds();
        frame->setVisible(Visible());
    }
}

void TPopupControl::ShowAt(int screenX, int screenY)
{
    SetBounds(screenX, screenY, Width(), Height());
    SetVisible(true);
    UpdateBounds();
    if (FPopup->Frame)
        FPopup->Frame->raise();
}

void TPopupControl::Hide() { SetVisible(false); }

std::vector<TPopupControl*> VisiblePopups() { return Shown(); }
