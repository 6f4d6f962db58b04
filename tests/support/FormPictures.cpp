#include "tests/support/FormPictures.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Forms.h"
#include "platform/Regions.h"

TBitmap DrawControlPicture(TWinControl& control)
{
    TBitmap picture;
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(control.ClientWidth(), control.ClientHeight());
    control.PaintTo(picture.Canvas(), 0, 0);
    // A shaped window shows nothing outside its shape, whether or not the window system
    // in use can shape windows: those pixels show black, as over a black desktop.
    if (auto* form = dynamic_cast<TForm*>(&control)) {
        const std::vector<TRect> shape = GetWindowRegion(form);
        if (!shape.empty())
            for (int32_t y = 0; y < picture.Height(); ++y)
                for (int32_t x = 0; x < picture.Width(); ++x) {
                    const bool inside = std::any_of(shape.begin(), shape.end(), [x, y](const TRect& r) {
                        return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
                    });
                    if (!inside)
                        picture.SetPixelColor(x, y, clBlack);
                }
    }
    return picture;
}

bool SavePicturePng(const TBitmap& picture, const std::string& path)
{
    if (picture.Empty())
        return false;
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB888);
    for (int32_t y = 0; y < picture.Height(); ++y) {
        uchar* out = image.scanLine(y);
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const TColor c = picture.PixelColor(x, y);
            out[3 * x] = GetRValue(c);
            out[3 * x + 1] = GetGValue(c);
            out[3 * x + 2] = GetBValue(c);
        }
    }
    return image.save(QString::fromStdString(path), "PNG");
}

bool LoadPicturePng(TBitmap& picture, const std::string& path)
{
    picture.SetSize(0, 0);
    QImage image;
    if (!image.load(QString::fromStdString(path), "PNG"))
        return false;
    image = image.convertToFormat(QImage::Format_RGB888);
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const uchar* in = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            picture.SetPixelColor(x, y, RGB(in[3 * x], in[3 * x + 1], in[3 * x + 2]));
    }
    return true;
}

TPictureDifference ComparePictures(const TBitmap& a, const TBitmap& b, int tolerance)
{
    TPictureDifference d;
    d.SameSize = a.Width() == b.Width() && a.Height() == b.Height() && !a.Empty();
    if (!d.SameSize)
        return d;
    d.Total = long(a.Width()) * a.Height();
    for (int32_t y = 0; y < a.Height(); ++y)
        for (int32_t x = 0; x < a.Width(); ++x) {
            const TColor p = a.PixelColor(x, y), q = b.PixelColor(x, y);
            const int diff = std::max({std::abs(GetRValue(p) - GetRValue(q)), std::abs(GetGValue(p) - GetGValue(q)),
                                       std::abs(GetBValue(p) - GetBValue(q))});
            d.Worst = std::max(d.Worst, diff);
            if (diff > tolerance)
                ++d.Differing;
        }
    return d;
}

TPictureDifference CompareWithReference(const TBitmap& picture, const std::string& referencePath, int tolerance)
{
    const char* update = std::getenv("TP_UPDATE_PICTURES");
    if (update && std::strcmp(update, "1") == 0) {
        TPictureDifference none;
        none.SameSize = SavePicturePng(picture, referencePath);
        none.Total = long(picture.Width()) * picture.Height();
        return none;
    }
    TBitmap reference;
    if (!LoadPicturePng(reference, referencePath))
        return TPictureDifference{};
    return ComparePictures(picture, reference, tolerance);
}

void ExpectLikeReference(const TBitmap& picture, const std::string& folder, const std::string& name, int tolerance)
{
    const std::string reference = std::string(TP_SOURCE_DIR) + "/" + folder + "/" + name + ".png";
    const TPictureDifference d = CompareWithReference(picture, reference, tolerance);
    EXPECT_TRUE(d.SameSize) << "no reference picture " << reference << " of the same size";
    EXPECT_LT(d.Fraction(), 0.01) << name << ": " << d.Differing << " of " << d.Total << " pixels differ (worst "
                                  << d.Worst << ")";
    if (!d.SameSize || d.Fraction() >= 0.01)
        SavePicturePng(picture, std::string(TP_BIN_DIR) + "/" + name + ".actual.png");
}
