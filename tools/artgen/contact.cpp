// artcontact: lays every generated picture out on one PNG for a person to look at.
//
//   artcontact <data folder> <out.png> [name-filter] [scale]
//
// Keyed pictures are shown over a checkerboard (the magenta key and the ".mask" made
// transparent, as the game draws them); additive ones over black. Not run by the build.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: artcontact <data folder> <out.png> [name-filter] [scale]\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QDir dir(argv[1]);
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
