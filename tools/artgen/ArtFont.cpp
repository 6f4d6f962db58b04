// The menu font: a base sheet of glyphs in five looks and a sheet of soft glows.
#include "Sheets.h"

#include <cmath>

namespace art {

namespace {
// Widths of "!" .. "Z", the same table the menu text code lays out with.
const int GlyphWidth[58] = {7,  12, 22, 16, 30, 34, 6,  13, 13, 16, 19, 8,  10, 8,  16, 20, 20, 20, 20, 20,
                            20, 20, 20, 20, 20, 7,  8,  18, 19, 18, 14, 30, 24, 17, 21, 21, 17, 17, 24, 22,
                            10, 13, 21, 17, 31, 26, 27, 16, 28, 20, 16, 22, 23, 25, 30, 22, 22, 20};

// The outline of one character, centred on (0, 0) of its cell: x scaled to its width,
// the capitals 26 pixels high from y -13 to 13.
QPainterPath GlyphPath(int code)
{
    const QFont font = SansBold(35);
    QPainterPath path;
    path.addText(QPointF(0, 0), font, QString(QChar(code)));
    const QRectF b = path.boundingRect();
    const float capHeight = 35 * 0.729f;
    const float target = static_cast<float>(GlyphWidth[code - 33]) - 2.0f;
    float sx = b.width() > 0 ? target / static_cast<float>(b.width()) : 1.0f;
    sx = std::clamp(sx, 0.55f, 1.5f);
    QTransform t;
    t.translate(0, 13);                 // baseline 13 below the centre
    t.scale(sx, 26.0f / capHeight);
    t.translate(-b.center().x(), 0);
    return t.map(path);
}
} // namespace

void WriteMenuFont(Output& out)
{
    // Looks of the base sheet by column: four brightening golds, then the "marked" green.
    struct Look {
        QColor Top, Bottom, Edge;
    };
    const Look looks[5] = {
        {QColor(226, 178, 96), QColor(168, 112, 44), QColor(52, 28, 10)},
        {QColor(240, 200, 116), QColor(196, 136, 56), QColor(56, 30, 10)},
        {QColor(252, 222, 146), QColor(222, 164, 70), QColor(60, 32, 12)},
        {QColor(255, 246, 200), QColor(246, 196, 96), QColor(70, 38, 14)},
        {QColor(170, 222, 150), QColor(96, 160, 80), QColor(24, 48, 20)},
    };
    QImage base = NewLayer(320, 2360);
    QImage glow = NewOpaque(384, 3500, Qt::black);
    QPainter pb(&base);
    QPainter pg(&glow);
    Smooth(pb);
    Smooth(pg);
    pg.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int code = 33; code <= 90; ++code) {
        const QPainterPath glyph = GlyphPath(code);
        for (int col = 0; col < 5; ++col) {
            const QPointF c(11 + 64 * col + 21, 26 + 40 * (code - 33) + 19);
            const QPainterPath g = glyph.translated(c);
            pb.save();
            pb.setClipRect(QRectF(c.x() - 21, c.y() - 19, 42, 38));
            pb.setPen(QPen(looks[col].Edge, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            pb.setBrush(Qt::NoBrush);
            pb.drawPath(g);
            QLinearGradient fill(c + QPointF(0, -13), c + QPointF(0, 13));
            fill.setColorAt(0, looks[col].Top);
            fill.setColorAt(1, looks[col].Bottom);
            pb.setPen(Qt::NoPen);
            pb.setBrush(fill);
            pb.drawPath(g);
            pb.restore();
        }
        for (int col = 0; col < 6; ++col) {
            // col 0 strongest .. col 5 faintest.
            const float k = static_cast<float>(6 - col) / 6.0f;
            const QPointF c(11 + 64 * col + 21, 20 + 60 * (code - 33) + 25);
            const QPainterPath g = glyph.translated(c);
            pg.save();
            pg.setClipRect(QRectF(c.x() - 20, c.y() - 24, 40, 48));
            const float widths[4] = {11, 8, 5, 2.5f};
            const float amounts[4] = {0.16f, 0.2f, 0.26f, 0.32f};
            for (int w = 0; w < 4; ++w) {
                const float a = amounts[w] * k;
                pg.setPen(QPen(QColor(static_cast<int>(255 * a), static_cast<int>(150 * a), static_cast<int>(50 * a)), widths[w],
                               Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                pg.setBrush(Qt::NoBrush);
                pg.drawPath(g);
            }
            pg.setPen(Qt::NoPen);
            pg.setBrush(QColor(static_cast<int>(120 * k), static_cast<int>(100 * k), static_cast<int>(60 * k)));
            pg.drawPath(g);
            pg.restore();
        }
    }
    pb.end();
    pg.end();
    out.Picture("MenuFontBase.Jpg", base, Kind::Keyed);
    out.Picture("MenuFontGlow.Jpg", glow, Kind::Additive);
}

} // namespace art
