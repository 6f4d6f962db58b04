// The frozen north of the chapter of the fake hero: snow and ice, snowy stone, ice blocks
// and log cabins, fur rugs, snowy pines, snowmen and camp fires.
#include "TileLooks.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

const QColor Snow1(206, 218, 230), Snow2(246, 249, 252);
const QColor Ice1(140, 186, 206), Ice2(196, 226, 238);
const QColor Frozen1(104, 96, 92), Frozen2(146, 138, 132);
const QColor Slush1(150, 156, 164), Slush2(196, 202, 210);
const QColor ColdStone(120, 130, 146), DarkRock(70, 76, 88);
const QColor Log(126, 86, 52), LogDark(78, 52, 30);
const QColor Pine(40, 92, 70), PineDark(24, 60, 46);

// Snow lying on top of a wall tile.
void SnowCap(QPainter& p, QRect r, float depth, Rng& rng)
{
    QPainterPath s;
    s.moveTo(r.left(), r.top());
    s.lineTo(r.right() + 1, r.top());
    s.lineTo(r.right() + 1, r.top() + depth + rng.Range(-1, 1));
    for (int k = 3; k >= 0; --k)
        s.quadTo(QPointF(r.left() + k * 8 + 4, r.top() + depth + rng.Range(1.5f, 4)),
                 QPointF(r.left() + k * 8, r.top() + depth + rng.Range(-1, 1)));
    s.closeSubpath();
    QLinearGradient g(QPointF(0, r.top()), QPointF(0, r.top() + depth + 3));
    g.setColorAt(0, QColor(252, 253, 255));
    g.setColorAt(1, QColor(200, 214, 230));
    p.setPen(QPen(QColor(130, 150, 176), 0.8));
    p.setBrush(g);
    p.drawPath(s);
}

void Icicles(QPainter& p, QRect r, float from, Rng& rng)
{
    for (int k = 0; k < 4; ++k) {
        const float x = r.left() + 4 + k * 8 + rng.Range(-1.5f, 1.5f);
        const float len = rng.Range(4, 10);
        QPolygonF s;
        s << QPointF(x - 2, r.top() + from) << QPointF(x + 2, r.top() + from) << QPointF(x + 0.3, r.top() + from + len);
        p.setPen(QPen(QColor(110, 150, 180), 0.6));
        p.setBrush(QColor(220, 240, 250));
        p.drawPolygon(s);
    }
}

void IceBlocks(QPainter& p, QRect r, int v, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    const int rows = v < 4 ? 4 : 2;
    const float bh = 32.0f / static_cast<float>(rows);
    p.fillRect(r, QColor(96, 140, 170));
    for (int j = 0; j < rows; ++j)
        for (int i = -1; i <= 2; ++i) {
            const float x = r.left() + 16.0f * i + (j % 2 ? 8 : 0);
            const QRectF b(x + 0.8, r.top() + bh * j + 0.8, 14.4, bh - 1.6);
            QLinearGradient g(b.topLeft(), b.bottomRight());
            const QColor c = Shade(QColor(170, 214, 232), rng.Range(0.92f, 1.06f));
            g.setColorAt(0, Shade(c, 1.25f));
            g.setColorAt(1, Shade(c, 0.82f));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawRoundedRect(b, 1.5, 1.5);
            p.setPen(QPen(QColor(255, 255, 255, 200), 1));
            p.drawLine(b.topLeft() + QPointF(2, 2), b.topLeft() + QPointF(6, 2));
        }
}

void LogWall(QPainter& p, QRect r, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    p.fillRect(r, LogDark);
    for (int k = 0; k < 4; ++k) {
        const QRectF log(r.left() - 4, r.top() + k * 8 + 0.5, 40, 7);
        QLinearGradient g(log.topLeft(), log.bottomLeft());
        const QColor c = Shade(Log, rng.Range(0.85f, 1.1f));
        g.setColorAt(0, Shade(c, 1.3f));
        g.setColorAt(1, Shade(c, 0.6f));
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(g);
        p.drawRect(log);
        p.setPen(QPen(Shade(c, 0.7f), 0.6));
        const float x = r.left() + rng.Range(4, 26);
        p.drawLine(QPointF(x, log.top() + 2), QPointF(x + 4, log.top() + 3));
    }
}

void PineTree(QPainter& p, QPointF c, float s)
{
    Shadow(p, c + QPointF(2, 12 * s), 9 * s, 2.5f * s);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(LogDark);
    p.drawRect(QRectF(c.x() - 1.5 * s, c.y() + 6 * s, 3 * s, 6 * s));
    for (int k = 0; k < 3; ++k) {
        const float y = c.y() + 8 * s - k * 7 * s;
        const float w = (11 - k * 3) * s;
        QPolygonF t;
        t << QPointF(c.x() - w, y) << QPointF(c.x() + w, y) << QPointF(c.x(), y - 11 * s);
        p.setPen(QPen(pal::Ink, 1));
        p.setBrush(k % 2 ? Pine : Shade(Pine, 1.15f));
        p.drawPolygon(t);
        // Snow on the boughs.
        QPolygonF sn;
        sn << QPointF(c.x() - w * 0.55, y - 4.5 * s) << QPointF(c.x() + w * 0.4, y - 5.5 * s) << QPointF(c.x(), y - 11 * s);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(244, 248, 252));
        p.drawPolygon(sn);
    }
}

void Snowman(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(2, 12), 10, 2.5);
    Ball(p, c + QPointF(0, 5), 8, QColor(236, 242, 250), 1);
    Ball(p, c + QPointF(0, -6), 5.5f, QColor(240, 246, 252), 1);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::Ink);
    p.drawEllipse(c + QPointF(-2, -7), 0.9, 0.9);
    p.drawEllipse(c + QPointF(2, -7), 0.9, 0.9);
    for (int k = 0; k < 3; ++k)
        p.drawEllipse(c + QPointF(0, 1 + k * 3), 0.8, 0.8);
    p.setBrush(QColor(240, 130, 40));
    QPolygonF nose;
    nose << c + QPointF(0, -5.5) << c + QPointF(5, -4.5) << c + QPointF(0, -4);
    p.drawPolygon(nose);
    p.setPen(QPen(QColor(180, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-4.5, -1.5), c + QPointF(4.5, -1.5));
    p.setPen(QPen(LogDark, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-7, 2), c + QPointF(-12, -3));
    p.drawLine(c + QPointF(7, 2), c + QPointF(12, -2));
}

void CampFire(QPainter& p, QPointF c, int index)
{
    QRadialGradient glow(c + QPointF(0, 2), 15);
    glow.setColorAt(0, QColor(255, 190, 90, 140));
    glow.setColorAt(1, QColor(255, 160, 60, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c + QPointF(0, 2), 15, 15);
    for (int k = 0; k < 6; ++k) {
        const float a = 2 * Pi * static_cast<float>(k) / 6;
        Ball(p, c + QPointF(std::cos(a) * 10, 6 + std::sin(a) * 4), 2.6f, ColdStone, 0.7f);
    }
    p.setPen(QPen(pal::Ink, 3.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-7, 8), c + QPointF(6, 3));
    p.drawLine(c + QPointF(7, 8), c + QPointF(-6, 3));
    p.setPen(QPen(Log, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-7, 8), c + QPointF(6, 3));
    p.drawLine(c + QPointF(7, 8), c + QPointF(-6, 3));
    DrawFlame(p, c + QPointF(0, -3), 13, static_cast<float>(index % 4) / 4.0f, index);
}

void Snowballs(QPainter& p, QPointF c)
{
    const QPointF at[4] = {{-6, 6}, {2, 6}, {-2, 0}, {8, 8}};
    for (const QPointF& o : at)
        Ball(p, c + o, 4, QColor(236, 242, 250), 0.8f);
}

void Rug(QPainter& p, QRect r, int v)
{
    // Woollen rug in red and cream with a zigzag band, or a fur (grey or brown).
    if (v < 8) {
        const QColor red(168, 44, 44), cream(236, 222, 196);
        p.fillRect(r, red);
        p.setPen(Qt::NoPen);
        p.setBrush(cream);
        for (int row : {4, 24}) {
            QPolygonF z;
            for (int k = 0; k <= 8; ++k)
                z << QPointF(r.left() + k * 4, r.top() + row + (k % 2 ? 4 : 0));
            for (int k = 8; k >= 0; --k)
                z << QPointF(r.left() + k * 4, r.top() + row + (k % 2 ? 4 : 0) + 2.5);
            p.drawPolygon(z);
        }
        if (v % 2) {
            QPolygonF d;
            const QPointF m(r.left() + 16, r.top() + 16);
            d << m + QPointF(0, -5) << m + QPointF(5, 0) << m + QPointF(0, 5) << m + QPointF(-5, 0);
            p.drawPolygon(d);
        }
    } else {
        const QColor fur = v % 2 ? QColor(150, 112, 76) : QColor(170, 170, 172);
        p.fillRect(r, fur);
        Rng rng(static_cast<uint64_t>(v) * 31);
        for (int k = 0; k < 70; ++k) {
            const QPointF a(r.left() + rng.Range(-2, 33), r.top() + rng.Range(-2, 33));
            p.setPen(QPen(Shade(fur, rng.Range(0.7f, 1.3f)), 1, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(a, a + QPointF(rng.Range(1, 3), rng.Range(2, 4)));
        }
    }
}
} // namespace

TileLook IceTiles()
{
    TileLook t;
    t.Name = "IceTiles.jpg";
    t.Grounds[0] = {Snow1, Snow2, 4, 0.2f};
    t.Grounds[1] = {Ice1, Ice2, 4, 0.2f};
    t.Grounds[2] = {Frozen1, Frozen2, 4, 0.35f};
    t.Grounds[3] = {Slush1, Slush2, 8, 0.9f};
    t.GroundDetail = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        if (v % 4 == 0) {
            // Boot prints.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(150, 170, 196, 150));
            for (int k = 0; k < 3; ++k)
                p.drawEllipse(QPointF(r.left() + 8 + k * 8, r.top() + 12 + (k % 2) * 8), 2.4, 3.6);
        } else if (v % 4 == 1) {
            Pebbles(p, QPointF(r.left() + 16, r.top() + 18), Frozen1, Frozen2, rng);
        } else if (v % 4 == 2) {
            p.setPen(QPen(LogDark, 1.2, Qt::SolidLine, Qt::RoundCap));
            const QPointF a(r.left() + rng.Range(4, 12), r.top() + rng.Range(8, 24));
            const QPointF b = a + QPointF(rng.Range(10, 16), rng.Range(-4, 4));
            p.drawLine(a, b);
            p.drawLine((a + b) / 2, (a + b) / 2 + QPointF(3, -4));
        }
        // Glints on the snow.
        p.setPen(QPen(QColor(255, 255, 255), 0.8));
        for (int k = 0; k < 3; ++k) {
            const QPointF g(r.left() + rng.Range(3, 29), r.top() + rng.Range(3, 29));
            p.drawLine(g + QPointF(-1.5, 0), g + QPointF(1.5, 0));
            p.drawLine(g + QPointF(0, -1.5), g + QPointF(0, 1.5));
        }
    };
    t.Walls[0] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        StoneWall(p, r, ColdStone, v, i, [](QPainter& q, QRect c, Rng& g) { SnowCap(q, c, 7, g); }, rng);
        if (v >= 8 && v < 12)
            SnowCap(p, r, v % 2 ? 8 : 12, rng);
    };
    t.Walls[1] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        IceBlocks(p, r, v, i);
        if (v >= 8 && v < 12)
            SnowCap(p, r, 8, rng);
        if (v >= 12)
            Icicles(p, r, 0, rng);
    };
    t.Walls[2] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        StoneWall(p, r, DarkRock, v, i, [](QPainter& q, QRect c, Rng& g) { Icicles(q, c, 8, g); }, rng);
        if (v >= 8 && v < 12)
            SnowCap(p, r, v % 2 ? 7 : 10, rng);
    };
    t.Walls[3] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        LogWall(p, r, i);
        if (v >= 8 && v < 12)
            SnowCap(p, r, 9, rng);
        if (v >= 12)
            Icicles(p, r, 0, rng);
    };
    t.Floors[0] = [](QPainter& p, QRect r, int v, int i, Rng&) { Planks(p, r, v < 8 ? QColor(150, 104, 64) : QColor(130, 100, 76), v % 2 == 1, i); };
    t.Floors[1] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        // Polished ice with a cold sheen and a crack or two.
        TextureCell(p, r, {QColor(150, 200, 220), QColor(200, 232, 242), 2, 0.1f}, 1100 + i);
        p.setPen(QPen(QColor(255, 255, 255, 170), 2));
        p.drawLine(QPointF(r.left() + 4, r.top() + 20), QPointF(r.left() + 20, r.top() + 4));
        p.setPen(QPen(QColor(255, 255, 255, 110), 1));
        p.drawLine(QPointF(r.left() + 10, r.top() + 28), QPointF(r.left() + 28, r.top() + 10));
        if (v >= 8) {
            p.setPen(QPen(QColor(90, 140, 170), 0.8));
            QPointF a(r.left() + rng.Range(2, 10), r.top() + rng.Range(2, 10));
            for (int s = 0; s < 4; ++s) {
                const QPointF b = a + QPointF(rng.Range(4, 8), rng.Range(3, 7));
                p.drawLine(a, b);
                a = b;
            }
        }
    };
    t.Floors[2] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        // Big frosted flagstones, and snow blown into a corner now and then.
        Blocks(p, r, QColor(150, 166, 186), QColor(226, 234, 244), 1, 1, false, i);
        if (v >= 8) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(240, 246, 252, 210));
            const QPointF c(r.left() + (v % 4 < 2 ? 4 : 28), r.top() + rng.Range(4, 28));
            p.drawEllipse(c, rng.Range(4, 7), rng.Range(2.5f, 4));
        }
    };
    t.Floors[3] = [](QPainter& p, QRect r, int v, int, Rng&) { Rug(p, r, v); };
    t.Things[0] = [](QPainter& p, QPointF c, int, Rng&) { PineTree(p, c + QPointF(0, -2), 1.0f); };
    t.Things[1] = [](QPainter& p, QPointF c, int i, Rng& rng) {
        Rock(p, c + QPointF(0, 2), 12, QColor(60, 66, 80), QColor(120, 128, 144), QColor(180, 188, 204), i);
        QRect top(static_cast<int>(c.x()) - 10, static_cast<int>(c.y()) - 8, 20, 20);
        p.save();
        p.setClipRect(top);
        SnowCap(p, top, 4, rng);
        p.restore();
    };
    t.Things[2] = [](QPainter& p, QPointF c, int, Rng&) { Snowman(p, c); };
    t.Things[3] = [](QPainter& p, QPointF c, int, Rng& rng) {
        Crate(p, c, QColor(170, 130, 84));
        QRect top(static_cast<int>(c.x()) - 12, static_cast<int>(c.y()) - 13, 24, 24);
        SnowCap(p, top, 4, rng);
    };
    t.Things[4] = [](QPainter& p, QPointF c, int, Rng&) { Tuft(p, c, QColor(120, 120, 100), QColor(200, 204, 196)); };
    t.Things[5] = [](QPainter& p, QPointF c, int, Rng& rng) { CrystalCluster(p, c, rng, {QColor(210, 240, 250), QColor(170, 220, 240), QColor(210, 240, 250)}, QColor(70, 120, 150), QColor(255, 255, 255)); };
    t.Things[6] = [](QPainter& p, QPointF c, int i, Rng&) { CampFire(p, c, i); };
    t.Things[7] = [](QPainter& p, QPointF c, int, Rng&) { Snowballs(p, c); };
    return t;
}

OverlayLook IceOverlay()
{
    OverlayLook o;
    o.Name = "IceOverlay.jpg";
    o.Crown = [](QPainter& p, QPointF centre, int, Rng&) {
        // A snowy fir seen from above: rings of boughs, snow on the upper ones.
        for (int ring = 0; ring < 3; ++ring) {
            const float rr = 28 - ring * 8.0f;
            const int n = 12 - ring * 3;
            for (int k = 0; k < n; ++k) {
                const float a = 2 * Pi * (static_cast<float>(k) + ring * 0.5f) / n;
                const QPointF tip = centre + QPointF(std::cos(a) * rr, std::sin(a) * rr);
                const QPointF side(-std::sin(a) * 6, std::cos(a) * 6);
                QPolygonF b;
                b << centre + side << tip << centre - side;
                p.setPen(QPen(pal::Ink, 0.8));
                p.setBrush(ring == 1 ? Pine : Shade(Pine, 1.1f + 0.1f * ring));
                p.drawPolygon(b);
                if (ring > 0) {
                    p.setPen(Qt::NoPen);
                    p.setBrush(QColor(244, 248, 252, 220));
                    p.drawEllipse(centre + (tip - centre) * 0.7, 3, 2.2);
                }
            }
        }
        Ball(p, centre, 4, QColor(244, 248, 252), 0.6f);
    };
    o.ArchLight = QColor(250, 252, 255);
    o.Arch = ColdStone;
    o.CapLight = QColor(252, 253, 255);
    o.Cap = QColor(196, 210, 228);
    o.Rail = Log;
    o.Hanging = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        Icicles(p, r, 0, rng);
        if (v % 2)
            Icicles(p, r.translated(4, 0), 0, rng);
    };
    o.Bush = [](QPainter& p, QPointF c, int i, Rng&) {
        Bush(p, c, 12, i);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(244, 248, 252));
        p.drawEllipse(c + QPointF(-3, -7), 7, 3.5);
        p.drawEllipse(c + QPointF(5, -4), 4, 2.5);
    };
    return o;
}

} // namespace art
