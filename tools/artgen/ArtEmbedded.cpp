// Resources the Tesk program carries inside itself: widget bitmaps and cursors, the
// level-pick screen's picture buttons, the clear-progress dialog's outline and the
// result forms' buttons. Written as a C++ table for platform/Resources.
#include "Sheets.h"
#include "tools/ResourceTable.h"

#include "platform/Resources.h"

#include <cmath>
#include <cstdio>

namespace art {

namespace {
using Item = tools::ResourceItem;

// Widget glyphs: 16 colours, the bottom-left pixel is the transparent colour.
const QColor Clear(128, 128, 0);

QImage Glyph(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Clear);
    return img;
}

void Dot(QImage& img, int x, int y, QColor c)
{
    if (img.rect().contains(x, y))
        img.setPixel(x, y, c.rgb());
}

QImage FileGlyph()
{
    // An open folder.
    QImage img = Glyph(14, 12);
    const QColor edge(0, 0, 0), body(255, 255, 0), shade(128, 128, 128);
    for (int x = 1; x <= 5; ++x)
        Dot(img, x, 2, edge);
    for (int x = 1; x <= 11; ++x) {
        Dot(img, x, 3, x <= 5 ? body : edge);
        Dot(img, x, 10, edge);
    }
    for (int y = 2; y <= 10; ++y)
        Dot(img, 0, y, edge);
    for (int y = 4; y <= 9; ++y) {
        Dot(img, 11, y, edge);
        for (int x = 1; x <= 10; ++x)
            Dot(img, x, y, y >= 6 ? body : shade);
    }
    for (int x = 3; x <= 13; ++x)
        Dot(img, x, 6, edge);
    for (int y = 6; y <= 10; ++y)
        Dot(img, 13 - (y - 6) / 2, y, edge);
    return img;
}

QImage CalcGlyph(bool disabled)
{
    QImage img = Glyph(14, 12);
    const QColor edge = disabled ? QColor(128, 128, 128) : QColor(0, 0, 0);
    const QColor key = disabled ? QColor(192, 192, 192) : QColor(255, 255, 255);
    for (int x = 2; x <= 11; ++x) {
        Dot(img, x, 0, edge);
        Dot(img, x, 11, edge);
    }
    for (int y = 0; y <= 11; ++y) {
        Dot(img, 2, y, edge);
        Dot(img, 11, y, edge);
    }
    for (int x = 4; x <= 9; ++x)
        Dot(img, x, 2, disabled ? QColor(128, 128, 128) : QColor(0, 128, 0));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            Dot(img, 4 + c * 2, 5 + r * 2, key);
            if (disabled)
                Dot(img, 5 + c * 2, 6 + r * 2, QColor(255, 255, 255));
        }
    return img;
}

QImage Thumb(bool vertical)
{
    // Two frames side by side: normal, pressed or disabled.
    const int fw = vertical ? 21 : 11, fh = vertical ? 11 : 21;
    QImage img(fw * 2, fh, QImage::Format_RGB32);
    img.fill(Clear);
    for (int f = 0; f < 2; ++f) {
        const QColor face = f ? QColor(160, 160, 160) : QColor(192, 192, 192);
        for (int y = 0; y < fh - 1; ++y)
            for (int x = 0; x < fw; ++x) {
                QColor c = face;
                if (x == 0 || y == 0)
                    c = f ? QColor(128, 128, 128) : QColor(255, 255, 255);
                else if (x == fw - 1 || y == fh - 2)
                    c = f ? QColor(255, 255, 255) : QColor(0, 0, 0);
                Dot(img, f * fw + x, y, c);
            }
        // Grip lines.
        for (int k = -1; k <= 1; ++k) {
            if (vertical)
                for (int y = 3; y < fh - 4; ++y)
                    Dot(img, f * fw + fw / 2 + k * 3, y, QColor(128, 128, 128));
            else
                for (int x = 3; x < fw - 3; ++x)
                    Dot(img, f * fw + x, fh / 2 + k * 3, QColor(128, 128, 128));
        }
    }
    return img;
}

QImage Ruler(bool vertical)
{
    const int len = 40, thick = 6;
    QImage img(vertical ? thick : len, vertical ? len : thick, QImage::Format_RGB32);
    img.fill(QColor(192, 192, 192));
    for (int i = 0; i < len; ++i)
        for (int j = 0; j < thick; ++j) {
            QColor c = QColor(192, 192, 192);
            if (j == 0 || (i == 0))
                c = QColor(128, 128, 128);
            else if (j == 1 || i == 1)
                c = QColor(0, 0, 0);
            else if (j == thick - 1 || i == len - 1)
                c = QColor(255, 255, 255);
            else
                c = QColor(224, 224, 224);
            if (vertical)
                img.setPixel(j, i, c.rgb());
            else
                img.setPixel(i, j, c.rgb());
        }
    return img;
}

QImage Hand(bool grabbing)
{
    QImage img = NewLayer(32, 32);
    QPainter p(&img);
    Smooth(p);
    p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    QPainterPath h;
    if (grabbing) {
        h.addRoundedRect(QRectF(8, 10, 16, 14), 5, 5);
        for (int k = 0; k < 4; ++k)
            h.addRoundedRect(QRectF(9 + k * 3.8, 7, 3.8, 7), 1.8, 1.8);
        h.addRoundedRect(QRectF(5, 13, 6, 4), 2, 2);
    } else {
        h.addRoundedRect(QRectF(9, 2, 4.5, 16), 2.2, 2.2);
        for (int k = 0; k < 3; ++k)
            h.addRoundedRect(QRectF(13.2 + k * 3.8, 8 + k * 0.5, 3.8, 10), 1.8, 1.8);
        h.addRoundedRect(QRectF(8.5, 12, 16.5, 13), 5, 5);
        h.addRoundedRect(QRectF(4, 13, 7, 4), 2, 2);
    }
    p.drawPath(h.simplified());
    p.end();
    return img;
}

std::string Jpeg(const QImage& img)
{
    return EncodeJpeg(img.convertToFormat(QImage::Format_RGB32));
}

std::vector<Item> Items()
{
    std::vector<Item> items;
    items.push_back({"FEDITBMP", "BITMAP", EncodeBmp4(FileGlyph())});
    {
        QImage two(28, 12, QImage::Format_RGB32);
        QPainter p(&two);
        p.drawImage(0, 0, CalcGlyph(false));
        p.drawImage(14, 0, CalcGlyph(true));
        p.end();
        items.push_back({"CEDITBMP", "BITMAP", EncodeBmp4(two)});
    }
    items.push_back({"W95_HTB", "BITMAP", EncodeBmp24(Thumb(false))});
    items.push_back({"W95_HRL", "BITMAP", EncodeBmp24(Ruler(false))});
    items.push_back({"W95_VTB", "BITMAP", EncodeBmp24(Thumb(true))});
    items.push_back({"W95_VRL", "BITMAP", EncodeBmp24(Ruler(true))});
    items.push_back({"EX_HANDCUR", "CURSOR", EncodeCursor(Hand(false), 11, 2)});
    items.push_back({"EX_DRAGCUR", "CURSOR", EncodeCursor(Hand(true), 16, 14)});

    // Level-pick screen: two picture buttons of 140 x 24, three faces each.
    const char* props[3] = {"Pic", "PicUp", "PicDown"};
    const int states[3] = {0, 1, 2};
    for (int b = 0; b < 2; ++b)
        for (int k = 0; k < 3; ++k)
            items.push_back({std::string("TForm1.") + (b == 0 ? "BackToMenuButton." : "ClearProgressButton.") + props[k], "RCDATA",
                             Jpeg(ButtonFace(140, 24, b == 0 ? "BACK TO MENU" : "CLEAR PROGRESS", states[k]))});

    // The clear-progress dialog's outline: the rows of its picture's opaque runs.
    {
        const QImage pic = ConfirmDialogPicture().convertToFormat(QImage::Format_ARGB32);
        std::vector<ResourceRect> rects;
        for (int y = 0; y < pic.height(); ++y) {
            int x = 0;
            while (x < pic.width()) {
                while (x < pic.width() && qAlpha(pic.pixel(x, y)) < 128)
                    ++x;
                const int start = x;
                while (x < pic.width() && qAlpha(pic.pixel(x, y)) >= 128)
                    ++x;
                if (x > start)
                    rects.push_back({start, y, x, y + 1});
            }
        }
        items.push_back({"TClearProgressDialog.CoolForm1.Mask2", "RCDATA", EncodeRegionData(rects)});
    }

    // Result forms: up, down, focused and mouse-over pictures of each button.
    struct Button {
        const char* Form;
        const char* Name;
        const char* Caption;
        int Width;
    };
    const Button buttons[] = {
        {"TLevelFailureForm", "ReplayLevelButton", "PLAY AGAIN", 86},
        {"TLevelFailureForm", "PickALevelButton", "PICK A LEVEL", 86},
        {"TLevelFailureForm", "MainMenuButton", "MAIN MENU", 86},
        {"TLevelSuccessForm", "NextLevelButton", "NEXT LEVEL", 86},
        {"TLevelSuccessForm", "PickALevelButton", "PICK A LEVEL", 86},
        {"TLevelSuccessForm", "MainMenuButton", "MAIN MENU", 86},
        {"TLevelPartialSuccessForm", "ReplayLevelButton", "PLAY AGAIN", 86},
        {"TLevelPartialSuccessForm", "NextLevelButton", "NEXT LEVEL", 86},
        {"TLevelPartialSuccessForm", "PickLevelButton", "PICK A LEVEL", 86},
        {"TLevelPartialSuccessForm", "MainMenuButton", "MAIN MENU", 75},
    };
    const struct {
        const char* Prop;
        int State;
    } faces[4] = {{"DefaultUpImage", 0}, {"DefaultDownImage", 2}, {"HasFocusUpImage", 3}, {"MouseOverUpImage", 1}};
    for (const Button& b : buttons)
        for (const auto& f : faces)
            items.push_back({std::string(b.Form) + "." + b.Name + "." + f.Prop, "RCDATA", Jpeg(ButtonFace(b.Width, 44, b.Caption, f.State))});
    return items;
}
} // namespace

std::string EmbeddedResourceSource()
{
    return tools::ResourceTableSource("tools/artgen", Items());
}

} // namespace art
