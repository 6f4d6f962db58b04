#include "platform/Regions.h"

#include <QRegion>
#include <QWidget>

#include "platform/Forms.h"

void SetWindowRegion(TForm* form, const std::vector<TRect>& rects)
{
    if (!form || !form->Widget())
        return;
    if (rects.empty()) {
        form->Widget()->clearMask();
        return;
    }
    QRegion region;
    for (const TRect& r : rects)
        region += QRect(r.Left, r.Top, r.Width(), r.Height());
    form->Widget()->setMask(region);
}

std::vector<TRect> GetWindowRegion(TForm* form)
{
    std::vector<TRect> rects;
    if (!form || !form->Widget())
        return rects;
    for (const QRect& r : form->Widget()->mask())
        rects.push_back(Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()));
    return rects;
}
