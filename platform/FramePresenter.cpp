#include "platform/FramePresenter.h"

#include "platform/Forms.h"

#include <cmath>
#include <cstring>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace {

// Kept by each presenting window as a child object: the last frame, at the window's size
// in device pixels, and the painting of it (one device pixel for one, never smoothed).
class TKeptFrame : public QObject {
public:
    explicit TKeptFrame(QWidget* window) : QObject(window), FWindow(window)
    {
        setObjectName(QStringLiteral("TKeptFrame"));
        window->installEventFilter(this);
        window->setAttribute(Qt::WA_OpaquePaintEvent, true);
    }
    QImage Image;

    // The last frame converted into Image, so that the same frame shown again at the same
    // place costs one comparison (a still menu, a paused game).
    struct TLastFrame {
        bool Valid = false;
        std::vector<uint8_t> Rows;  // width * 2 bytes per row, no padding
        int32_t Width = 0, Height = 0;
        TBitFields Fields{};
        TRect Dest{};
    } Last;

    // True when these pixels at this place are what Image shows already; remembers them
    // otherwise.
    bool Unchanged(const uint8_t* bits, int32_t width, int32_t height, int32_t pitch, const TBitFields& fields,
                   const TRect& dest)
    {
        const size_t rowBytes = static_cast<size_t>(width) * 2;
        const bool sameShape = Last.Valid && Last.Width == width && Last.Height == height && Last.Fields == fields &&
                               Last.Dest == dest;
        if (!sameShape)
            Last.Rows.resize(rowBytes * static_cast<size_t>(height));
        // The rows before the first that differs are kept as they are; from it on, copied.
        int32_t y = 0;
        if (sameShape)
            while (y < height &&
                   std::memcmp(Last.Rows.data() + y * rowBytes, bits + static_cast<ptrdiff_t>(y) * pitch, rowBytes) == 0)
                ++y;
        if (sameShape && y == height)
            return true;
        for (; y < height; ++y)
            std::memcpy(Last.Rows.data() + y * rowBytes, bits + static_cast<ptrdiff_t>(y) * pitch, rowBytes);
        Last.Width = width;
        Last.Height = height;
        Last.Fields = fields;
        Last.Dest = dest;
        Last.Valid = true;
        return false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == FWindow && event->type() == QEvent::Paint) {
            QPainter p(FWindow);
            p.setRenderHint(QPainter::SmoothPixmapTransform, false);
            // Black wherever no frame has been shown yet (also after the window grew).
            const QRect shown = Image.isNull() ? QRect()
                                               : QRect(QPoint(0, 0), Image.deviceIndependentSize().toSize());
            const QRegion uncovered = QRegion(FWindow->rect()) - QRegion(shown);
            for (const QRect& r : uncovered)
                p.fillRect(r, Qt::black);
            if (!Image.isNull())
                p.drawImage(QPointF(0, 0), Image);
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

// A client rectangle in device pixels.
TRect ToDevice(const TRect& r, qreal ratio)
{
    return TRect{static_cast<int32_t>(std::lround(r.Left * ratio)), static_cast<int32_t>(std::lround(r.Top * ratio)),
                 static_cast<int32_t>(std::lround(r.Right * ratio)),
                 static_cast<int32_t>(std::lround(r.Bottom * ratio))};
}

// The kept picture, at the window's present size in device pixels (black when new).
QImage& KeptPicture(QWidget* w, TKeptFrame* kept)
{
    const qreal ratio = w->devicePixelRatioF();
    const QSize device(static_cast<int>(std::lround(w->width() * ratio)),
                       static_cast<int>(std::lround(w->height() * ratio)));
    if (kept->Image.size() != device || kept->Image.devicePixelRatio() != ratio) {
        QImage fresh(device, QImage::Format_RGB32);
        fresh.fill(Qt::black);
        fresh.setDevicePixelRatio(ratio);
        kept->Image = fresh;
        kept->Last.Valid = false;
    }
    return kept->Image;
}

// A window manager makes a window that asked for full screen cover its screen; without
// one (a bare X server) nothing does. The window is placed over the screen by hand only
// once no window manager has done it within a moment: placing it at once would make the
// toolkit forget the full-screen state the window manager is about to apply, and the
// window would later lose its frame and place on the way back.
void CoverScreenWithoutWindowManager(QWidget* top)
{
    const QScreen* screen = top->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QElapsedTimer waited;
        waited.start();
        while (top->geometry() != area && waited.elapsed() < 500)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    if (top->geometry() != area)
        top->setGeometry(area);
}

} // namespace

void PresentFrame(TPresentWindow window, const uint8_t* bits, int32_t width, int32_t height,
                  int32_t pitch, const TBitFields& fields, const TRect* destRect)
{
    auto* w = static_cast<QWidget*>(window);
    if (!w || !bits || width <= 0 || height <= 0)
        return;
    if (w->width() <= 0 || w->height() <= 0)
        return;
    TKeptFrame* kept = KeptFrame(w, true);
    QImage& image = KeptPicture(w, kept);
    const qreal ratio = image.devicePixelRatio();
    const TRect logical = destRect ? *destRect : TRect{0, 0, w->width(), w->height()};
    const TRect dest = ToDevice(logical, ratio);
    const TRect visible = IntersectRect(dest, TRect{0, 0, image.width(), image.height()});
    if (dest.IsEmpty() || visible.IsEmpty())
        return;
    if (kept->Unchanged(bits, width, height, pitch, fields, dest))
        return;
    if (visible == dest) {
        uchar* dst = image.bits() + static_cast<ptrdiff_t>(dest.Top) * image.bytesPerLine() + 4 * dest.Left;
        Convert16To32Stretched(bits, width, height, pitch, fields, dst, dest.Width(), dest.Height(),
                               static_cast<int32_t>(image.bytesPerLine()));
    } else {
        // Only part of the destination lies in the client area: scale into a picture of the
        // whole destination and copy the visible part.
        QImage whole(dest.Width(), dest.Height(), QImage::Format_RGB32);
        Convert16To32Stretched(bits, width, height, pitch, fields, whole.bits(), dest.Width(),
                               dest.Height(), static_cast<int32_t>(whole.bytesPerLine()));
        for (int32_t y = visible.Top; y < visible.Bottom; ++y)
            std::memcpy(image.scanLine(y) + 4 * visible.Left,
                        whole.constScanLine(y - dest.Top) + 4 * (visible.Left - dest.Left),
                        static_cast<size_t>(visible.Width()) * 4);
    }
    w->update();
}

void ShowSurfaceOverFrame(TForm* form, const TRect& rect)
{
    QWidget* w = form ? form->Widget() : nullptr;
    if (!w)
        return;
    TKeptFrame* kept = KeptFrame(w, false);
    if (!kept || kept->Image.isNull()) {
        // No frame covers the surface: it shows as it is.
        w->update();
        return;
    }
    QImage& image = KeptPicture(w, kept);
    kept->Last.Valid = false;
    const TRect client{0, 0, w->width(), w->height()};
    const TRect part = IntersectRect(rect, client);
    if (part.IsEmpty())
        return;
    auto target = MakeDeviceContext(image.bits(), image.width(), image.height(),
                                    static_cast<int32_t>(image.bytesPerLine()), 32);
    StretchBlt(target.get(), ToDevice(part, image.devicePixelRatio()), form->Surface(), part);
    w->update();
}

void ForgetPresentedFrame(TPresentWindow window)
{
    auto* w = static_cast<QWidget*>(window);
    if (!w)
        return;
    if (TKeptFrame* kept = KeptFrame(w, false)) {
        kept->Image = QImage();
        kept->Last.Valid = false;
    }
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
    // The place the window had before it covered the screen, as long as it covers it.
    static const char* const normalPlace = "tpNormalGeometry";
    if (fullScreen && !top->isFullScreen()) {
        if (!top->property(normalPlace).isValid())
            top->setProperty(normalPlace, top->geometry());
        top->showFullScreen();
        CoverScreenWithoutWindowManager(top);
    } else if (!fullScreen) {
        // Given back by the place kept, not by the window's state: without a window
        // manager the window was placed over the screen by hand and never had that state.
        const QVariant place = top->property(normalPlace);
        if (!place.isValid() && !top->isFullScreen())
            return;
        if (top->isFullScreen())
            top->showNormal();
        if (place.isValid() && top->geometry() != place.toRect())
            top->setGeometry(place.toRect());
        top->setProperty(normalPlace, QVariant());
    }
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
