#include "platform/FramePresenter.h"

#include "platform/Forms.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QWidget>

namespace {

// Kept by each presenting window as a child object: the last frame and the painting of it.
class TKeptFrame : public QObject {
public:
    explicit TKeptFrame(QWidget* window) : QObject(window), FWindow(window)
    {
        setObjectName(QStringLiteral("TKeptFrame"));
        window->installEventFilter(this);
        window->setAttribute(Qt::WA_OpaquePaintEvent, true);
    }
    QImage Image;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == FWindow && event->type() == QEvent::Paint) {
            QPainter p(FWindow);
            // Black wherever no frame has been shown yet (also after the window grew).
            const QRegion uncovered = QRegion(FWindow->rect()) - QRegion(Image.rect());
            for (const QRect& r : uncovered)
                p.fillRect(r, Qt::black);
            if (!Image.isNull())
                p.drawImage(0, 0, Image);
            return true;
        }
        return false;
    }

private:
    QWidget* FWindow;
};

TKeptFrame* KeptFrame(QWidget* w, bool create)
{
    auto* kept = w->findChild<TKeptFrame*>(QStringLiteral("TKeptFrame"), Qt::FindDirectChildrenOnly);
    if (!kept && create)
        kept = new TKeptFrame(w);
    return kept;
}

} // namespace

void PresentFrame(TPresentWindow window, const uint8_t* bits, int32_t width, int32_t height,
                  int32_t pitch, const TBitFields& fields, const TRect* destRect)
{
    auto* w = static_cast<QWidget*>(window);
    if (!w || !bits || width <= 0 || height <= 0)
        return;
    TKeptFrame* kept = KeptFrame(w, true);
    const QSize client = w->size();
    if (client.isEmpty())
        return;
    if (kept->Image.size() != client) {
        QImage fresh(client, QImage::Format_RGB32);
        fresh.fill(Qt::black);
        kept->Image = fresh;
    }
    TRect dest = destRect ? *destRect : TRect{0, 0, client.width(), client.height()};
    TRect visible = IntersectRect(dest, TRect{0, 0, client.width(), client.height()});
    if (visible.IsEmpty())
        return;
    if (visible == dest) {
        uchar* dst = kept->Image.bits() + static_cast<ptrdiff_t>(dest.Top) * kept->Image.bytesPerLine() +
                     4 * dest.Left;
        Convert16To32Stretched(bits, width, height, pitch, fields, dst, dest.Width(), dest.Height(),
                               static_cast<int32_t>(kept->Image.bytesPerLine()));
    } else {
        // Only part of the destination lies in the client area: scale into a picture of the
        // whole destination and copy the visible part.
        QImage whole(dest.Width(), dest.Height(), QImage::Format_RGB32);
        Convert16To32Stretched(bits, width, height, pitch, fields, whole.bits(), dest.Width(),
                               dest.Height(), static_cast<int32_t>(whole.bytesPerLine()));
        QPainter p(&kept->Image);
        p.drawImage(QPoint(visible.Left, visible.Top), whole,
                    QRect(visible.Left - dest.Left, visible.Top - dest.Top, visible.Width(),
                          visible.Height()));
    }
    w->update();
}

void ForgetPresentedFrame(TPresentWindow window)
{
    auto* w = static_cast<QWidget*>(window);
    if (!w)
        return;
    if (TKeptFrame* kept = KeptFrame(w, false))
        kept->Image = QImage();
    w->update();
}

TRect WindowClientRect(TPresentWindow window)
{
    auto* w = static_cast<QWidget*>(window);
    if (!w)
        return TRect{};
    return TRect{0, 0, w->width(), w->height()};
}

TPoint WindowClientOrigin(TPresentWindow window)
{
    auto* w = static_cast<QWidget*>(window);
    if (!w)
        return TPoint{};
    QPoint p = w->mapToGlobal(QPoint(0, 0));
    return TPoint{p.x(), p.y()};
}

void SetWindowFullScreen(TPresentWindow window, bool fullScreen)
{
    auto* w = static_cast<QWidget*>(window);
    if (!w)
        return;
    QWidget* top = w->window();
    if (fullScreen && !top->isFullScreen())
        top->showFullScreen();
    else if (!fullScreen && top->isFullScreen())
        top->showNormal();
}

TPresentWindow PresentWindowOf(TForm* form) { return form ? form->Widget() : nullptr; }

void PresentBitmap(TForm* form, TBitmap& frame)
{
    if (!form || frame.Empty() || frame.PixelFormat() != pf16bit)
        return;
    PresentFrame(form->Widget(), frame.ScanLine(0), frame.Width(), frame.Height(), frame.RowBytes(),
                 frame.BitFields());
}

TColor GrabWindowPixel(TPresentWindow window, int32_t x, int32_t y)
{
    auto* w = static_cast<QWidget*>(window);
    if (!w || x < 0 || y < 0 || x >= w->width() || y >= w->height())
        return clNone;
    const QImage image = w->grab(QRect(x, y, 1, 1)).toImage();
    if (image.isNull())
        return clNone;
    const QRgb p = image.pixel(0, 0);
    return RGB(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p)));
}
