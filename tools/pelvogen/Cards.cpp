// Card faces and trump icons: painted with QPainter, then reduced to 256 colours.
#include "Pelvogen.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <map>

namespace {

// Full colours: the faces are shown dimmed while the pointer is away, so they start from
// a white ground, a saturated red and a true black.
const QColor Ink(0, 0, 0);
const QColor Red(222, 0, 16);
const QColor Gold(240, 184, 16);
const QColor Skin(255, 218, 180);
const QColor Blue(16, 56, 190);
const QColor Green(0, 120, 60);
const QColor Paper(255, 255, 255);

// Suits 1..4: spades, clubs, diamonds, hearts.
bool IsRed(int suit)
{
    return suit >= 3;
}

QPainterPath HeartPath()
{
    // In a unit box (0..1), point down.
    QPainterPath p;
    p.moveTo(0.5, 1.0);
    p.cubicTo(0.25, 0.75, -0.05, 0.55, 0.05, 0.25);
    p.cubicTo(0.13, 0.02, 0.42, 0.0, 0.5, 0.25);
    p.cubicTo(0.58, 0.0, 0.87, 0.02, 0.95, 0.25);
    p.cubicTo(1.05, 0.55, 0.75, 0.75, 0.5, 1.0);
    p.closeSubpath();
    return p;
}

QPainterPath SuitPath(int suit)
{
    QPainterPath p;
    switch (suit) {
    case 1: {  // spade: a heart upside down with a stem
        // Heart turned upside down, a little squat, on top of the stem.
        p = QTransform(1, 0, 0, -0.8, 0, 0.8).map(HeartPath());
        QPainterPath stem;
        stem.moveTo(0.5, 0.55);
        stem.quadTo(0.48, 0.9, 0.28, 1.0);
        stem.lineTo(0.72, 1.0);
        stem.quadTo(0.52, 0.9, 0.5, 0.55);
        p = p.united(stem);
        break;
    }
    case 2: {  // club: three leaves and a stem
        p.addEllipse(QRectF(0.29, 0.0, 0.42, 0.42));
        p.addEllipse(QRectF(0.0, 0.36, 0.42, 0.42));
        p.addEllipse(QRectF(0.58, 0.36, 0.42, 0.42));
        p.addRect(QRectF(0.4, 0.35, 0.2, 0.2));
        QPainterPath stem;
        stem.moveTo(0.5, 0.45);
        stem.quadTo(0.48, 0.9, 0.28, 1.0);
        stem.lineTo(0.72, 1.0);
        stem.quadTo(0.52, 0.9, 0.5, 0.45);
        p = p.united(stem);
        p.setFillRule(Qt::WindingFill);
        break;
    }
    case 3:  // diamond
        p.moveTo(0.5, 0.0);
        p.quadTo(0.68, 0.3, 0.9, 0.5);
        p.quadTo(0.68, 0.7, 0.5, 1.0);
        p.quadTo(0.32, 0.7, 0.1, 0.5);
        p.quadTo(0.32, 0.3, 0.5, 0.0);
        p.closeSubpath();
        break;
    default:
        p = HeartPath();
        break;
    }
    return p;
}

// A pip of the suit centred at (cx, cy), size s; upside down when flipped.
void DrawPip(QPainter& g, int suit, double cx, double cy, double s, bool flipped = false)
{
    g.save();
    g.translate(cx, cy);
    if (flipped)
        g.rotate(180);
    g.translate(-s / 2, -s / 2);
    g.scale(s, s);
    g.setPen(Qt::NoPen);
    g.setBrush(IsRed(suit) ? Red : Ink);
    g.drawPath(SuitPath(suit));
    g.restore();
}

// Pip positions of the number cards on a 3-column grid: (column 0..2, row 0..6 in
// sevenths of the height), for 6, 7, 8, 9 and 10.
struct Pip {
    double col, row;
};
std::vector<Pip> PipLayout(int value)
{
    const std::vector<Pip> six = {{0, 0}, {2, 0}, {0, 3}, {2, 3}, {0, 6}, {2, 6}};
    switch (value) {
    case 6:
        return six;
    case 7: {
        auto v = six;
        v.push_back({1, 1.5});
        return v;
    }
    case 8: {
        auto v = six;
        v.push_back({1, 1.5});
        v.push_back({1, 4.5});
        return v;
    }
    case 9:
        return {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {0, 4}, {2, 4}, {0, 6}, {2, 6}, {1, 3}};
    default:
        return {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {0, 4}, {2, 4}, {0, 6}, {2, 6}, {1, 1}, {1, 5}};
    }
}

// Half of a court figure (the upper half; the card shows it twice, turned).
void DrawCourtHalf(QPainter& g, const QRectF& box, int suit, char court)
{
    const double cx = box.center().x();
    const double top = box.top();
    const double h = box.height();  // the half's height
    // Each suit dresses its own way, so that a glance tells the four apart: spades in
    // blue, clubs in green, diamonds in red with gold, hearts in red with blue.
    const QColor robe = suit == 1 ? Blue : suit == 2 ? Green : Red;
    const QColor trim = suit == 3 ? Gold : suit == 4 ? Blue : Red;
    g.setPen(QPen(Ink, 0.8));
    // Shoulders and robe.
    QPainterPath body;
    body.moveTo(box.left() + 2, box.bottom());
    body.quadTo(box.left() + 2, top + h * 0.62, cx - 7, top + h * 0.6);
    body.lineTo(cx + 7, top + h * 0.6);
    body.quadTo(box.right() - 2, top + h * 0.62, box.right() - 2, box.bottom());
    body.closeSubpath();
    g.setBrush(robe);
    g.drawPath(body);
    // A sash across the robe.
    g.setBrush(trim);
    QPolygonF sash;
    sash << QPointF(cx - 8, top + h * 0.6) << QPointF(cx - 3, top + h * 0.6) << QPointF(cx + 9, box.bottom())
         << QPointF(cx + 3, box.bottom());
    g.drawPolygon(sash);
    // Gold collar.
    g.setBrush(Gold);
    g.drawEllipse(QRectF(cx - 6, top + h * 0.53, 12, 5));
    // Head.
    g.setBrush(Skin);
    g.drawEllipse(QRectF(cx - 5.5, top + h * 0.22, 11, 13));
    // Eyes and mouth.
    g.setPen(Qt::NoPen);
    g.setBrush(Ink);
    g.drawEllipse(QRectF(cx - 3.2, top + h * 0.22 + 5, 1.6, 1.6));
    g.drawEllipse(QRectF(cx + 1.6, top + h * 0.22 + 5, 1.6, 1.6));
    g.setBrush(Red);
    g.drawRect(QRectF(cx - 1.5, top + h * 0.22 + 9.5, 3, 1));
    g.setPen(QPen(Ink, 0.8));
    if (court == 'K') {
        // Crown with three points and a beard.
        QPolygonF crown;
        crown << QPointF(cx - 6, top + h * 0.24) << QPointF(cx - 6, top + 1) << QPointF(cx - 3, top + 5)
              << QPointF(cx, top) << QPointF(cx + 3, top + 5) << QPointF(cx + 6, top + 1)
              << QPointF(cx + 6, top + h * 0.24);
        g.setBrush(Gold);
        g.drawPolygon(crown);
        g.setBrush(QColor(120, 80, 40));
        QPainterPath beard;
        beard.moveTo(cx - 5, top + h * 0.22 + 8);
        beard.quadTo(cx, top + h * 0.22 + 18, cx + 5, top + h * 0.22 + 8);
        beard.quadTo(cx, top + h * 0.22 + 12, cx - 5, top + h * 0.22 + 8);
        g.drawPath(beard);
    } else if (court == 'Q') {
        // Hair and a small crown.
        g.setBrush(QColor(150, 90, 30));
        g.drawChord(QRectF(cx - 7, top + h * 0.16, 14, 12), 0, 180 * 16);
        QPolygonF crown;
        crown << QPointF(cx - 4, top + h * 0.2) << QPointF(cx - 4, top + 3) << QPointF(cx - 2, top + 6)
              << QPointF(cx, top + 2) << QPointF(cx + 2, top + 6) << QPointF(cx + 4, top + 3)
              << QPointF(cx + 4, top + h * 0.2);
        g.setBrush(Gold);
        g.drawPolygon(crown);
        // A flower in her hand.
        g.setBrush(Red);
        g.drawEllipse(QRectF(box.left() + 4, top + h * 0.7, 5, 5));
    } else {
        // The jack: a flat cap with a feather.
        g.setBrush(trim);
        g.drawRect(QRectF(cx - 7, top + h * 0.17, 14, 4));
        g.drawEllipse(QRectF(cx - 5, top + h * 0.06, 10, 7));
        g.setBrush(Gold);
        QPainterPath feather;
        feather.moveTo(cx + 4, top + h * 0.12);
        feather.quadTo(cx + 12, top, cx + 14, top + 2);
        feather.quadTo(cx + 10, top + 4, cx + 4, top + h * 0.16);
        g.drawPath(feather);
    }
    // The suit large beside the head, and once more on the robe in white.
    DrawPip(g, suit, box.right() - 7.5, top + 8.5, 12);
    g.save();
    g.translate(box.left() + 9, top + h * 0.8);
    g.scale(9, 9);
    g.translate(-0.5, -0.5);
    g.setPen(QPen(Ink, 0.08));
    g.setBrush(Paper);
    g.drawPath(SuitPath(suit));
    g.restore();
}

void DrawIndex(QPainter& g, const QString& rank, int suit)
{
    QFont f("DejaVu Sans Condensed");
    f.setPixelSize(rank.size() > 1 ? 12 : 13);
    f.setBold(true);
    f.setStretch(rank.size() > 1 ? 80 : 100);
    g.setFont(f);
    g.setPen(IsRed(suit) ? Red : Ink);
    g.drawText(QRectF(1, 2, 14, 14), Qt::AlignHCenter | Qt::AlignTop, rank);
    DrawPip(g, suit, 8, 21, 8);
}

}  // namespace

QImage PaintCard(int suit, int rank)
{
    static const char* const names[] = {"6", "7", "8", "9", "В", "Д", "К", "10", "Т"};
    const QString label = QString::fromUtf8(names[rank - 1]);
    QImage img(CardWidth, CardHeight, QImage::Format_RGB32);
    // Square corners with a thin border: the face is drawn over any panel colour, so no
    // background may show round its edge.
    img.fill(Paper);
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing);
    g.setRenderHint(QPainter::TextAntialiasing);
    g.setPen(QPen(QColor(90, 90, 96), 1));
    g.setBrush(Qt::NoBrush);
    g.drawRect(QRectF(0.5, 0.5, CardWidth - 1, CardHeight - 1));

    // Indices in two corners, the second turned round.
    DrawIndex(g, label, suit);
    g.save();
    g.translate(CardWidth, CardHeight);
    g.rotate(180);
    DrawIndex(g, label, suit);
    g.restore();

    const QRectF field(17, 8, CardWidth - 34, CardHeight - 16);
    if (rank <= 4 || rank == 8) {
        const int value = rank <= 4 ? rank + 5 : 10;
        for (const Pip& p : PipLayout(value)) {
            const double x = field.left() + 5 + p.col * (field.width() - 10) / 2;
            const double y = field.top() + 6 + p.row * (field.height() - 12) / 6;
            DrawPip(g, suit, x, y, 11, p.row > 3);
        }
    } else if (rank == 9) {
        DrawPip(g, suit, CardWidth / 2.0, CardHeight / 2.0, 30);
    } else {
        const char court = rank == 5 ? 'J' : rank == 6 ? 'Q' : 'K';
        const QRectF frame(15, 9, CardWidth - 30, CardHeight - 18);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(250, 236, 190));
        g.drawRect(frame);
        g.setClipRect(frame);
        const QRectF half(frame.left(), frame.top(), frame.width(), frame.height() / 2);
        DrawCourtHalf(g, half, suit, court);
        g.save();
        g.translate(frame.center());
        g.rotate(180);
        g.translate(-frame.center());
        DrawCourtHalf(g, half, suit, court);
        g.restore();
        g.setClipping(false);
        g.setPen(QPen(Gold.darker(130), 1));
        g.setBrush(Qt::NoBrush);
        g.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
        g.drawLine(QPointF(frame.left(), frame.center().y()), QPointF(frame.right(), frame.center().y()));
    }
    g.end();
    return img;
}

QImage PaintTrumpIcon(int suit)
{
    QImage img(IconSide, IconSide, QImage::Format_RGB32);
    img.fill(Paper);
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(120, 120, 128), 1));
    g.setBrush(Qt::NoBrush);
    g.drawRect(QRectF(0.5, 0.5, IconSide - 1, IconSide - 1));
    DrawPip(g, suit, IconSide / 2.0, IconSide / 2.0, 13);
    g.end();
    return img;
}
