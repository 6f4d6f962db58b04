// pelvogen: makes the card game's embedded resources and writes them as a C++ table.
//   pelvogen <table.cpp> [contact-sheet.png]
// The card faces and trump icons are "BITMAP" resources (8-bit BMP files), the layer
// textures "RCDATA" channel streams named after the form's layers, the texts "TEXT".
#include "Pelvogen.h"
#include "tools/ResourceTable.h"

#include <QGuiApplication>
#include <QPainter>

#include <cstdlib>
#include <cstdio>
#include <fstream>

namespace {

using Item = tools::ResourceItem;

std::string CrLf(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n')
            out += '\r';
        out += *p;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pelvogen <table.cpp> [contact-sheet.png]\n");
        return 2;
    }
    // Drawn off screen: no display is needed unless a platform is chosen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    std::vector<Item> items;
    std::vector<QImage> faces;
    for (int suit = 1; suit <= 4; ++suit)
        for (int rank = 1; rank <= 9; ++rank) {
            const QImage face = PaintCard(suit, rank);
            faces.push_back(face);
            items.push_back({"Card" + std::to_string((suit - 1) * 9 + rank), "BITMAP", EightBitBmp(face, true)});
        }
    for (int suit = 1; suit <= 4; ++suit) {
        const QImage icon = PaintTrumpIcon(suit);
        faces.push_back(icon);
        items.push_back({"Card" + std::to_string(36 + suit), "BITMAP", EightBitBmp(icon, true)});
    }
    items.push_back({"TForm1.Layer1.Data", "RCDATA", TextureChannel(60, 70, 11, 5, 4)});
    items.push_back({"TForm1.Layer2.Data", "RCDATA", TextureChannel(100, 70, 23, 4, 3)});
    items.push_back({"TForm1.Layer3.Data", "RCDATA", TextureChannel(100, 70, 37, 6, 2)});
    for (const TextResource& t : Texts())
        items.push_back({t.Name, "TEXT", CrLf(t.Utf8)});

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << tools::ResourceTableSource("tools/pelvogen", items);
    if (!out) {
        std::fprintf(stderr, "pelvogen: cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc > 2) {
        // A sheet of every face as stored (after the reduction to 256 colours).
        QImage sheet(9 * 75 + 4, 5 * 100 + 4 + 150, QImage::Format_RGB32);
        sheet.fill(QColor(40, 90, 55));
        QPainter g(&sheet);
        for (size_t i = 0; i < items.size() && i < 40; ++i) {
            QImage stored;
            stored.loadFromData(reinterpret_cast<const uchar*>(items[i].Bytes.data()), int(items[i].Bytes.size()), "BMP");
            g.drawImage(QPoint(4 + int(i % 9) * 75, 4 + int(i / 9) * 100), stored);
        }
        g.end();
        // Each layer texture tiled over the panel colour by the relief rule (127 neutral).
        for (int t = 0; t < 3; ++t) {
            const std::string& mask = items[40 + size_t(t)].Bytes;
            const int w = t == 0 ? 60 : 100, h = 70, stride = (w + 3) & ~3;
            for (int y = 0; y < 140; ++y)
                for (int x = 0; x < 210; ++x) {
                    const int m = static_cast<unsigned char>(mask[1064 + size_t((h - 1 - y % h) * stride + x % w)]);
                    auto relief = [m](int d) { return m >= 128 ? d + (255 - d) * (m - 128) / 128 : m < 127 ? d * m / 128 : d; };
                    sheet.setPixel(4 + t * 220 + x, 4 + 5 * 100 + y, qRgb(relief(0x99), relief(0xB4), relief(0xD1)));
                }
        }
        sheet.save(argv[2]);
    }
    return 0;
}
