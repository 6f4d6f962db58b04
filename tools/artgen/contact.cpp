// artcontact: lays every generated picture out on one PNG for a person to look at.
//
//   artcontact <data folder> <out.png> [name-filter] [scale]
//   artcontact <data folder> <out.png> @font
//   artcontact <data folder> <out.png> @caption [TEXT]
//
// Keyed pictures are shown over a checkerboard (the magenta key and the ".mask" made
// transparent, as the game draws them); additive ones over black. Not run by the build.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {

// Widths of "!" .. "Z" as the menu text code spaces them.
const int GlyphWidth[58] = {7,  12, 22, 16, 30, 34, 6,  13, 13, 16, 19, 8,  10, 8,  16, 20, 20, 20, 20, 20,
                            20, 20, 20, 20, 20, 7,  8,  18, 19, 18, 14, 30, 24, 17, 21, 21, 17, 17, 24, 22,
                            10, 13, 21, 17, 31, 26, 27, 16, 28, 20, 16, 22, 23, 25, 30, 22, 22, 20};

QImage Keyed(const QString& path)
{
    QImage img = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QImage mask(path + ".mask");
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            const bool key = qGreen(c) <= 32 && qBlue(c) >= 209 && qRed(c) >= 209;
            if (key || (!mask.isNull() && qRed(mask.pixel(x, y)) > 128))
                img.setPixel(x, y, 0);
        }
    return img;
}

// Draws a line of the menu font with its centre line at y, from x on, in one column of
// the base sheet, with or without the glow under it; returns the width it took. Codes
// outside "!".."Z" ("_" among them) are spaces, as in the game.
int MenuLine(QPainter& p, const QImage& base, const QImage& glow, int x, int y, const QString& line, int column, bool glowing)
{
    const int x0 = x;
    for (QChar ch : line) {
        const int c = ch.unicode();
        if (c < 33 || c > 90) {
            x += 10;
            continue;
        }
        const int w = GlyphWidth[c - 33];
        const int cx = x + (w + 1) / 2;
        if (glowing) {
            p.setCompositionMode(QPainter::CompositionMode_Plus);
            p.drawImage(QPoint(cx - 21, y - 21 - 25), glow, QRect(11, 20 + 60 * (c - 33), 42, 50));
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        p.drawImage(QPoint(cx - 21, y - 21 - 19), base, QRect(11 + 64 * column, 26 + 40 * (c - 33), 42, 38));
        x += 2 * ((w + 1) / 2);
    }
    return x - x0;
}

// "@font": sample lines in every base look, with a glow under the first look.
int FontSample(const QDir& dir, const char* out)
{
    const QImage base = Keyed(dir.filePath("MenuFontBase.Jpg"));
    const QImage glow = QImage(dir.filePath("MenuFontGlow.Jpg")).convertToFormat(QImage::Format_RGB32);
    const QStringList lines = {"!\"#$%&'()*+,-./0123456789:;<=>?@", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "BACK TO GAME  LEAVE IT ALONE!",
                               "GO TO LEVEL...  WHO CARES?  'BITBLT'"};
    QImage sheet(900, 60 * lines.size() * 6 + 20, QImage::Format_RGB32);
    sheet.fill(QColor(58, 36, 22));
    QPainter p(&sheet);
    int y = 50;
    for (int look = 0; look < 6; ++look)
        for (const QString& line : lines) {
            MenuLine(p, base, glow, 20, y, line, std::min(look, 4), look == 5);
            y += 50;
        }
    p.end();
    return sheet.save(out) ? 0 : 1;
}

// "@caption TEXT": every sign picture with TEXT written on it as the sign's pop-up writes
// its caption (centred 30 pixels above the bottom, fully lit).
int CaptionSample(const QDir& dir, const char* out, const QString& caption)
{
    const QImage base = Keyed(dir.filePath("MenuFontBase.Jpg"));
    const QImage glow = QImage(dir.filePath("MenuFontGlow.Jpg")).convertToFormat(QImage::Format_RGB32);
    const QStringList names = dir.entryList({"Sign_*.jpg"}, QDir::Files, QDir::Name);
    const int w = 400, h = 300, columns = 3;
    QImage sheet(columns * (w + 6), static_cast<int>((names.size() + columns - 1) / columns) * (h + 6) + 1, QImage::Format_RGB32);
    sheet.fill(QColor(60, 60, 70));
    QPainter p(&sheet);
    for (int i = 0; i < names.size(); ++i) {
        const QImage sign = QImage(dir.filePath(names[i])).convertToFormat(QImage::Format_RGB32);
        const QPoint at((i % columns) * (w + 6), (i / columns) * (h + 6));
        p.drawImage(at, sign);
        QImage probe(1, 1, QImage::Format_RGB32);
        QPainter measure(&probe);
        const int width = MenuLine(measure, base, glow, 0, 0, caption, 3, false);
        measure.end();
        p.setClipRect(QRect(at, sign.size()));
        MenuLine(p, base, glow, at.x() + sign.width() / 2 - width / 2, at.y() + sign.height() - 30, caption, 3, true);
        p.setClipping(false);
    }
    p.end();
    return sheet.save(out) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: artcontact <data folder> <out.png> [name-filter] [scale]\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Drawn off screen: no display is needed unless a platform is chosen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    QDir dir(argv[1]);
    if (QString(argv[3 < argc ? 3 : 0]) == "@font")
        return FontSample(dir, argv[2]);
    if (QString(argv[3 < argc ? 3 : 0]) == "@caption")
        return CaptionSample(dir, argv[2], argc > 4 ? QString(argv[4]) : QString("A_SAMPLE_CAPTION!"));
    const QString filter = argc > 3 ? argv[3] : "*";
    const int scale = argc > 4 ? std::max(1, atoi(argv[4])) : 1;
    QStringList names = dir.entryList({filter}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString& n) { return !n.endsWith(".jpg", Qt::CaseInsensitive); }),
                names.end());
    std::vector<std::pair<QString, QImage>> pics;
    for (const QString& n : names) {
        QImage img(dir.filePath(n));
        if (img.isNull())
            continue;
        img = img.convertToFormat(QImage::Format_ARGB32);
        QImage mask(dir.filePath(n + ".mask"));
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                const bool key = qGreen(c) <= 32 && qBlue(c) >= 209 && qRed(c) >= 209;
                const bool masked = !mask.isNull() && mask.valid(x, y) && qRed(mask.pixel(x, y)) > 128;
                if (key || masked)
                    img.setPixel(x, y, 0);
            }
        // ARTCONTACT_ROWS=n shows only the first n rows of every picture.
        const int rows = qEnvironmentVariableIntValue("ARTCONTACT_ROWS");
        if (rows > 0 && rows < img.height())
            img = img.copy(0, 0, img.width(), rows);
        pics.push_back({n, img.scaled(img.width() * scale, img.height() * scale)});
    }
    // Shelf packing into a sheet 1600 wide.
    const int W = 1600;
    int x = 0, y = 0, shelf = 0;
    std::vector<QPoint> at;
    for (auto& [n, img] : pics) {
        const int w = std::min(img.width(), W), h = img.height() + 14;
        if (x + w > W) {
            x = 0;
            y += shelf + 6;
            shelf = 0;
        }
        at.push_back({x, y});
        x += w + 6;
        shelf = std::max(shelf, h);
    }
    QImage sheet(W, y + shelf + 6, QImage::Format_RGB32);
    sheet.fill(QColor(60, 60, 70));
    QPainter p(&sheet);
    for (size_t i = 0; i < pics.size(); ++i) {
        const QImage& img = pics[i].second;
        const QRect r(at[i] + QPoint(0, 14), img.size());
        for (int cy = r.top(); cy < r.bottom(); cy += 8)
            for (int cx = r.left(); cx < r.right(); cx += 8)
                p.fillRect(QRect(cx, cy, 8, 8).intersected(r), ((cx + cy) / 8) % 2 ? QColor(200, 200, 200) : QColor(150, 150, 150));
        p.drawImage(r.topLeft(), img);
        p.setPen(Qt::white);
        p.drawText(at[i] + QPoint(0, 11), pics[i].first);
    }
    p.end();
    return sheet.save(argv[2]) ? 0 : 1;
}
