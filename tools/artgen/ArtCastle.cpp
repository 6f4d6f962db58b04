// The castle of the signs' chapter: lawns and white gravel, dressed stone, half-timbering,
// brick and bookshelves, marble, carpets and parquet, topiary, busts and candles.
#include "TileLooks.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

const QColor Lawn1(62, 112, 46), Lawn2(100, 150, 64);
const QColor Gravel1(178, 172, 160), Gravel2(222, 218, 206);
const QColor Earth1(116, 86, 58), Earth2(150, 116, 80);
const QColor Bed1(66, 50, 38), Bed2(98, 74, 54);
const QColor Ashlar(132, 134, 146), Plaster(226, 216, 192), RedBrick(156, 74, 56);
const QColor Oak(120, 80, 44), OakDark(76, 48, 24);

void HalfTimber(QPainter& p, QRect r, int v)
{
    p.fillRect(r, Plaster);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 188, 160, 120));
    p.drawRect(QRectF(r.left(), r.top() + 20, 32, 12));
    auto beam = [&](QPointF a, QPointF b) {
        p.setPen(QPen(pal::Ink, 6.5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a, b);
        p.setPen(QPen(Oak, 4.5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a, b);
    };
    beam(QPointF(r.left() + 3, r.top()), QPointF(r.left() + 3, r.bottom() + 1));
    beam(QPointF(r.left(), r.top() + 3), QPointF(r.right() + 1, r.top() + 3));
    if (v % 4 == 1 || v % 4 == 3)
        beam(QPointF(r.left() + 4, r.bottom() - 2), QPointF(r.right() + 1, r.top() + 6));
    if (v % 4 == 2)
        beam(QPointF(r.left(), r.top() + 19), QPointF(r.right() + 1, r.top() + 19));
}

void Books(QPainter& p, QRect r, int seed, bool top)
{
    Rng rng(static_cast<uint64_t>(seed));
    p.fillRect(r, OakDark);
    const QColor spines[6] = {QColor(150, 40, 36), QColor(40, 90, 60), QColor(50, 70, 130), QColor(170, 130, 50), QColor(110, 50, 100),
                              QColor(90, 60, 40)};
    for (int shelf = 0; shelf < 2; ++shelf) {
        const float y0 = r.top() + 2 + shelf * 15, y1 = y0 + 12;
        float x = r.left() + 2;
        while (x < r.right() - 1) {
            const float w = rng.Range(2.5f, 4.5f);
            const float h = rng.Range(8, 12);
            const QColor c = spines[rng.Int(0, 5)];
            p.setPen(QPen(Shade(c, 0.5f), 0.5));
            p.setBrush(c);
            p.drawRect(QRectF(x, y1 - h, std::min(w, static_cast<float>(r.right()) - 1 - x), h));
            p.setPen(QPen(pal::Gold, 0.6));
            p.drawLine(QPointF(x + 0.5, y1 - h + 2), QPointF(x + w - 0.5, y1 - h + 2));
            x += w + 0.3f;
        }
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(Oak);
        p.drawRect(QRectF(r.left(), y1, 32, 2.5));
    }
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(Oak);
    p.drawRect(QRectF(r.left(), r.top(), 2, 32));
    p.drawRect(QRectF(r.right() - 1, r.top(), 2, 32));
    if (top) {
        CapBand(p, QRectF(r.left(), r.top(), 32, 6), Shade(Oak, 1.4f), Oak, pal::Ink);
    }
}

void Parquet(QPainter& p, QRect r, int v, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    const QColor a = v < 8 ? QColor(176, 122, 70) : QColor(140, 96, 58);
    p.fillRect(r, Shade(a, 0.6f));
    // Blocks of three slats, turned by quarters in a basket weave.
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const bool across = (x + y) % 2 == 0;
            for (int k = 0; k < 3; ++k) {
                const float o = static_cast<float>(k) * 16.0f / 3.0f;
                const QRectF s = across ? QRectF(r.left() + x * 16, r.top() + y * 16 + o, 16, 16.0f / 3)
                                        : QRectF(r.left() + x * 16 + o, r.top() + y * 16, 16.0f / 3, 16);
                p.setPen(QPen(Shade(a, 0.55f), 0.6));
                p.setBrush(Shade(a, rng.Range(0.88f, 1.12f)));
                p.drawRect(s);
            }
        }
}

void Marble(QPainter& p, QRect r, int v, int seed)
{
    // Polished stone with veins; an inlaid star on the odd ones.
    const QColor base = v < 8 ? QColor(200, 196, 204) : QColor(120, 130, 150);
    p.drawImage(r.topLeft(), [&] {
        QImage img = NewLayer(32, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const float n = Fbm(static_cast<float>(x) / 10.0f, static_cast<float>(y) / 10.0f, seed, 4, 0);
                const float vein = std::fabs(std::sin((static_cast<float>(x) + static_cast<float>(y) * 0.6f) / 5.0f + n * 6.0f));
                QColor c = Shade(base, 0.92f + n * 0.16f);
                if (vein < 0.08f)
                    c = Shade(base, 0.7f);
                img.setPixel(x, y, qRgb(c.red(), c.green(), c.blue()));
            }
        return img;
    }());
    p.setPen(QPen(Shade(base, 0.6f), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
    if (v % 2) {
        QPolygonF star;
        const QPointF c = QRectF(r).center();
        for (int k = 0; k < 8; ++k) {
            const float a = Pi * static_cast<float>(k) / 4;
            const float rr = k % 2 ? 4.0f : 10.0f;
            star << c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
        }
        p.setPen(QPen(pal::GoldDark, 0.8));
        p.setBrush(v < 8 ? QColor(150, 60, 60) : pal::Gold);
        p.drawPolygon(star);
    }
}

void Runner(QPainter& p, QRect r, int v)
{
    // A carpet runner with a gold edge along two sides: across for v < 8, along else.
    const QColor red(160, 40, 44), blue(52, 70, 130);
    const QColor c = (v % 4) < 2 ? red : blue;
    p.fillRect(r, c);
    p.save();
    if (v >= 8) {
        p.translate(QRectF(r).center());
        p.rotate(90);
        p.translate(-QRectF(r).center());
    }
    p.setPen(Qt::NoPen);
    p.setBrush(pal::Gold);
    p.drawRect(QRectF(r.left() - 1, r.top() + 2, 34, 2.5));
    p.drawRect(QRectF(r.left() - 1, r.bottom() - 3.5, 34, 2.5));
    p.setBrush(Shade(c, 1.3f));
    for (int k = 0; k < 2; ++k) {
        QPolygonF d;
        const QPointF m(r.left() + 8 + k * 16, r.top() + 16);
        d << m + QPointF(0, -6) << m + QPointF(6, 0) << m + QPointF(0, 6) << m + QPointF(-6, 0);
        p.drawPolygon(d);
    }
    p.restore();
}

void Topiary(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(1, 12), 8, 2.2f);
    p.setPen(QPen(pal::Ink, 1));
    QPolygonF pot;
    pot << c + QPointF(-7, 4) << c + QPointF(7, 4) << c + QPointF(5, 12) << c + QPointF(-5, 12);
    p.setBrush(QColor(180, 90, 60));
    p.drawPolygon(pot);
    p.setBrush(QColor(150, 70, 48));
    p.drawRect(QRectF(c.x() - 8, c.y() + 2, 16, 3));
    Ball(p, c + QPointF(0, -6), 8.5f, QColor(60, 120, 50), 1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 190, 90, 150));
    p.drawEllipse(c + QPointF(-3, -10), 3, 2);
}

void Bust(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(1, 12), 9, 2.2f);
    const QColor stone(214, 210, 200);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(Shade(stone, 0.8f));
    p.drawRect(QRectF(c.x() - 7, c.y() + 3, 14, 9));
    p.setBrush(stone);
    p.drawChord(QRectF(c.x() - 9, c.y() - 4, 18, 14), 0, 180 * 16);
    QRadialGradient g(c + QPointF(-2, -9), 8);
    g.setColorAt(0, Shade(stone, 1.2f));
    g.setColorAt(1, Shade(stone, 0.75f));
    p.setBrush(g);
    p.drawEllipse(c + QPointF(0, -7), 5.5, 6.5);
    p.setPen(QPen(Shade(stone, 0.6f), 0.8));
    p.drawLine(c + QPointF(-2.5, -8), c + QPointF(-1, -8));
    p.drawLine(c + QPointF(1, -8), c + QPointF(2.5, -8));
}

void Candles(QPainter& p, QPointF c, int index)
{
    Shadow(p, c + QPointF(0, 12), 7, 2);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(pal::GoldDark);
    p.drawRect(QRectF(c.x() - 1.5, c.y() - 2, 3, 13));
    p.drawEllipse(c + QPointF(0, 11), 5, 1.8);
    p.setPen(QPen(pal::Ink, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 9, c.y() - 10, 18, 12), 180 * 16, 180 * 16);
    p.setPen(QPen(pal::Gold, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - 9, c.y() - 10, 18, 12), 180 * 16, 180 * 16);
    for (int k = -1; k <= 1; ++k) {
        const QPointF b = c + QPointF(k * 9, k == 0 ? -6 : -4);
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(QColor(246, 238, 214));
        p.drawRect(QRectF(b.x() - 1.8, b.y() - 7, 3.6, 7));
        DrawFlame(p, b + QPointF(0, -10), 5, static_cast<float>((index + k) % 4) / 4.0f, index + k);
    }
}

void Chest(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(1, 10), 12, 2.5);
    p.setPen(QPen(pal::Ink, 1));
    QLinearGradient g(c + QPointF(0, -4), c + QPointF(0, 10));
    g.setColorAt(0, Shade(Oak, 1.2f));
    g.setColorAt(1, OakDark);
    p.setBrush(g);
    p.drawRect(QRectF(c.x() - 12, c.y() - 3, 24, 13));
    p.setBrush(Shade(Oak, 1.3f));
    p.drawChord(QRectF(c.x() - 12, c.y() - 10, 24, 14), 0, 180 * 16);
    p.setPen(QPen(pal::GoldDark, 2));
    p.drawLine(c + QPointF(-7, -9), c + QPointF(-7, 10));
    p.drawLine(c + QPointF(7, -9), c + QPointF(7, 10));
    p.setPen(QPen(pal::Ink, 0.8));
    p.setBrush(pal::Gold);
    p.drawRect(QRectF(c.x() - 2.5, c.y() - 4, 5, 6));
}

void BookPile(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(1, 11), 11, 2.5);
    const QColor covers[4] = {QColor(150, 40, 36), QColor(50, 70, 130), QColor(40, 90, 60), QColor(170, 130, 50)};
    for (int k = 0; k < 4; ++k) {
        const QRectF b(c.x() - 11 + (k % 2) * 2 - (k == 2 ? 2 : 0), c.y() + 5 - k * 5, 21 - k, 5);
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(covers[k]);
        p.drawRect(b);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 230, 206));
        p.drawRect(b.adjusted(b.width() - 3, 1, -0.6, -1));
    }
}

void Vase(QPainter& p, QPointF c, int index)
{
    Urn(p, c + QPointF(0, 3), QColor(60, 110, 160), QColor(236, 220, 170));
    const QColor petals[3] = {QColor(230, 60, 80), QColor(250, 220, 90), QColor(250, 250, 240)};
    for (int k = 0; k < 5; ++k) {
        const QPointF f = c + QPointF(-7 + k * 3.5, -11 - (k % 2) * 3);
        p.setPen(QPen(QColor(60, 110, 40), 1));
        p.drawLine(c + QPointF(0, -8), f);
        Flower(p, f, petals[(k + index) % 3]);
    }
}

void Helm(QPainter& p, QPointF c)
{
    // A knight's helm on a stand.
    Shadow(p, c + QPointF(1, 12), 7, 2);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(OakDark);
    p.drawRect(QRectF(c.x() - 1.5, c.y() + 2, 3, 10));
    p.drawRect(QRectF(c.x() - 6, c.y() + 10, 12, 2.5));
    QLinearGradient g(c + QPointF(-8, 0), c + QPointF(8, 0));
    g.setColorAt(0, QColor(110, 114, 124));
    g.setColorAt(0.4, QColor(220, 224, 232));
    g.setColorAt(1, QColor(90, 94, 104));
    p.setBrush(g);
    QPainterPath h;
    h.moveTo(c + QPointF(-7, 4));
    h.lineTo(c + QPointF(-7, -6));
    h.cubicTo(c + QPointF(-7, -14), c + QPointF(7, -14), c + QPointF(7, -6));
    h.lineTo(c + QPointF(7, 4));
    h.closeSubpath();
    p.drawPath(h);
    p.setPen(QPen(pal::Ink, 1.6));
    p.drawLine(c + QPointF(-5, -4), c + QPointF(5, -4));
    p.setPen(QPen(pal::Ink, 0.8));
    for (int k = -1; k <= 1; ++k)
        p.drawLine(c + QPointF(k * 2.5, -1), c + QPointF(k * 2.5, 3));
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(c + QPointF(0, -13), 2.5, 2);
}
} // namespace

TileLook CastleTiles()
{
    TileLook t;
    t.Name = "CastleTiles.jpg";
    t.Grounds[0] = {Lawn1, Lawn2, 4, 0.25f};
    t.Grounds[1] = {Gravel1, Gravel2, 8, 0.9f};
    t.Grounds[2] = {Earth1, Earth2, 4, 0.35f};
    t.Grounds[3] = {Bed1, Bed2, 8, 0.6f};
    t.GroundDetail = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        // Mown stripes with clover, daisies or a clipped edge.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(140, 190, 90, 40));
        p.drawRect(QRectF(r.left(), r.top(), 16, 32));
        if (v % 2) {
            for (int k = 0; k < 4; ++k)
                Flower(p, QPointF(r.left() + rng.Range(4, 28), r.top() + rng.Range(4, 28)), QColor(250, 250, 240));
        } else {
            for (int k = 0; k < 3; ++k) {
                const QPointF c(r.left() + rng.Range(5, 27), r.top() + rng.Range(5, 27));
                p.setBrush(QColor(50, 100, 40));
                for (int l = 0; l < 3; ++l)
                    p.drawEllipse(c + QPointF(std::cos(l * 2.1) * 1.8, std::sin(l * 2.1) * 1.8), 1.6, 1.6);
            }
        }
    };
    t.Walls[0] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        StoneWall(p, r, Ashlar, v, i, [](QPainter& q, QRect c, Rng& g) {
            // Ivy climbing the stones.
            q.setPen(QPen(QColor(40, 80, 30), 1.2));
            QPointF a(c.left() + g.Range(4, 28), c.bottom() + 1);
            for (int s = 0; s < 5; ++s) {
                const QPointF b = a + QPointF(g.Range(-5, 5), -g.Range(4, 7));
                q.drawLine(a, b);
                Ball(q, b, 2.6f, QColor(60, 120, 50), 0.6f);
                a = b;
            }
        }, rng);
    };
    t.Walls[1] = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        HalfTimber(p, r, v);
        if (v >= 8 && v < 12) {
            CapBand(p, QRectF(r.left(), r.top(), 32, 10), QColor(170, 80, 60), QColor(120, 50, 40), pal::Ink);
            p.setPen(QPen(QColor(90, 36, 30), 0.7));
            for (int x = 4; x < 32; x += 6)
                p.drawLine(QPointF(r.left() + x, r.top()), QPointF(r.left() + x, r.top() + 9));
        }
        if (v >= 12)
            Cracks(p, r, Plaster, rng);
    };
    t.Walls[2] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        StoneWall(p, r, RedBrick, v, i, [](QPainter& q, QRect c, Rng& g) {
            // A lit torch bracket on the bricks.
            const QPointF m(c.left() + 16 + g.Range(-3, 3), c.top() + 18);
            q.setPen(QPen(pal::Ink, 1));
            q.setBrush(QColor(60, 56, 52));
            q.drawRect(QRectF(m.x() - 2, m.y() - 4, 4, 10));
            DrawFlame(q, m + QPointF(0, -8), 9, 0.3f, static_cast<int>(m.x()));
        }, rng);
    };
    t.Walls[3] = [](QPainter& p, QRect r, int v, int i, Rng&) { Books(p, r, i, v >= 8 && v < 12); };
    t.Floors[0] = [](QPainter& p, QRect r, int v, int i, Rng&) {
        if (v < 8)
            SquareFloor(p, r, QColor(232, 222, 204), QColor(196, 140, 130), QColor(120, 100, 90), 2, true, i);
        else
            SquareFloor(p, r, QColor(230, 228, 222), QColor(60, 58, 64), QColor(110, 108, 110), 4, true, i);
    };
    t.Floors[1] = [](QPainter& p, QRect r, int v, int, Rng&) { Runner(p, r, v); };
    t.Floors[2] = [](QPainter& p, QRect r, int v, int i, Rng&) { Parquet(p, r, v, i); };
    t.Floors[3] = [](QPainter& p, QRect r, int v, int i, Rng&) { Marble(p, r, v, 900 + i); };
    t.Things[0] = [](QPainter& p, QPointF c, int, Rng&) { Topiary(p, c); };
    t.Things[1] = [](QPainter& p, QPointF c, int, Rng&) { Bust(p, c); };
    t.Things[2] = [](QPainter& p, QPointF c, int i, Rng&) { Candles(p, c, i); };
    t.Things[3] = [](QPainter& p, QPointF c, int, Rng&) { Chest(p, c); };
    t.Things[4] = [](QPainter& p, QPointF c, int, Rng&) { BookPile(p, c); };
    t.Things[5] = [](QPainter& p, QPointF c, int i, Rng&) { Vase(p, c, i); };
    t.Things[6] = [](QPainter& p, QPointF c, int, Rng&) { Helm(p, c); };
    t.Things[7] = [](QPainter& p, QPointF c, int i, Rng&) { Brazier(p, c, QColor(140, 140, 150), i); };
    return t;
}

OverlayLook CastleOverlay()
{
    OverlayLook o;
    o.Name = "CastleOverlay.jpg";
    o.Crown = [](QPainter& p, QPointF centre, int, Rng&) {
        // A clipped round tree: one smooth ball with a few darker clumps.
        Ball(p, centre, 28, QColor(70, 130, 56), 1.2f);
        for (int k = 0; k < 5; ++k) {
            const float a = 2 * Pi * static_cast<float>(k) / 5 + 0.5f;
            Ball(p, centre + QPointF(std::cos(a) * 14, std::sin(a) * 14), 8, QColor(58, 112, 46), 0);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(170, 210, 120, 110));
        p.drawEllipse(centre + QPointF(-9, -11), 9, 6);
    };
    o.ArchLight = Shade(Ashlar, 1.35f);
    o.Arch = Ashlar;
    o.CapLight = Shade(Ashlar, 1.35f);
    o.Cap = Ashlar;
    o.Rail = QColor(70, 70, 78);
    o.Hanging = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        if (v % 2) {
            // A banner.
            const QColor c = v % 4 == 1 ? QColor(160, 40, 44) : QColor(52, 70, 130);
            QPainterPath b;
            b.moveTo(r.left() + 7, r.top());
            b.lineTo(r.left() + 25, r.top());
            b.lineTo(r.left() + 25, r.top() + 26);
            b.lineTo(r.left() + 16, r.top() + 21);
            b.lineTo(r.left() + 7, r.top() + 26);
            b.closeSubpath();
            p.setPen(QPen(pal::Ink, 1));
            p.setBrush(c);
            p.drawPath(b);
            p.setPen(QPen(pal::Gold, 1.2));
            p.drawLine(QPointF(r.left() + 7, r.top() + 3), QPointF(r.left() + 25, r.top() + 3));
            Ball(p, QPointF(r.left() + 16, r.top() + 12), 3, pal::Gold, 0.6f);
        } else {
            // Ivy trailing down.
            for (int k = 0; k < 4; ++k) {
                const float x = r.left() + 4 + k * 8 + rng.Range(-2, 2);
                const float len = rng.Range(10, 26);
                p.setPen(QPen(QColor(40, 80, 30), 1.2));
                p.drawLine(QPointF(x, r.top()), QPointF(x + rng.Range(-2, 2), r.top() + len));
                for (float y = 3; y < len; y += 5)
                    Ball(p, QPointF(x + (static_cast<int>(y) % 10 ? 2 : -2), r.top() + y), 2.2f, QColor(60, 120, 50), 0.5f);
            }
        }
    };
    o.Bush = [](QPainter& p, QPointF c, int i, Rng& rng) {
        Bush(p, c, 12, i);
        for (int k = 0; k < 4; ++k)
            Flower(p, c + QPointF(rng.Range(-8, 8), rng.Range(-8, 4)), QColor(220, 50, 70));
    };
    return o;
}

} // namespace art
