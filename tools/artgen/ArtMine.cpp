// The old mine of the cherry bombs' chapter: rock and coal dust, rough rock faces and
// timber props, soot-black brick and iron plates, rails and gratings, ore, carts and kegs.
#include "TileLooks.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

const QColor Rock1(70, 62, 56), Rock2(110, 98, 86);
const QColor Coal1(40, 36, 36), Coal2(70, 64, 60);
const QColor Ochre1(146, 104, 58), Ochre2(188, 146, 86);
const QColor Rubble1(98, 90, 82), Rubble2(150, 140, 124);
const QColor Timber(140, 96, 54), TimberDark(88, 58, 30);
const QColor Iron(110, 112, 116), IronDark(60, 62, 66);
const QColor Brick(120, 62, 46);
const QColor Ore(236, 190, 70);

// A face of rough rock: angular lumps packed together.
void RockFace(QPainter& p, QRect r, int seed, QColor tone)
{
    Rng rng(static_cast<uint64_t>(seed));
    p.fillRect(r, Shade(tone, 0.45f));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const QPointF c(r.left() + 5 + x * 11 + rng.Range(-2, 2) + (y % 2) * 3, r.top() + 5 + y * 11 + rng.Range(-2, 2));
            QPolygonF poly;
            const int n = 6;
            for (int k = 0; k < n; ++k) {
                const float a = 2 * Pi * (static_cast<float>(k) + rng.Range(-0.3f, 0.3f)) / n;
                const float rr = rng.Range(6, 8.5f);
                poly << c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
            }
            const QColor s = Shade(tone, rng.Range(0.8f, 1.15f));
            QLinearGradient g(c + QPointF(-7, -7), c + QPointF(7, 7));
            g.setColorAt(0, Shade(s, 1.35f));
            g.setColorAt(1, Shade(s, 0.7f));
            p.setPen(QPen(Shade(tone, 0.35f), 0.8));
            p.setBrush(g);
            p.drawPolygon(poly);
        }
}

void OreSpecks(QPainter& p, QRect r, Rng& rng, int n)
{
    p.setPen(Qt::NoPen);
    for (int k = 0; k < n; ++k) {
        const QPointF c(r.left() + rng.Range(3, 29), r.top() + rng.Range(3, 29));
        p.setBrush(QColor(120, 84, 20));
        p.drawEllipse(c + QPointF(0.6, 0.6), 1.6, 1.3);
        p.setBrush(Ore);
        p.drawEllipse(c, 1.5, 1.2);
        p.setBrush(QColor(255, 246, 200));
        p.drawEllipse(c + QPointF(-0.5, -0.4), 0.6, 0.5);
    }
}

void Beam(QPainter& p, QRectF b, bool across)
{
    QLinearGradient g(b.topLeft(), across ? b.bottomLeft() : b.topRight());
    g.setColorAt(0, Shade(Timber, 1.3f));
    g.setColorAt(1, TimberDark);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(g);
    p.drawRect(b);
    p.setPen(QPen(Shade(TimberDark, 0.8f), 0.6));
    if (across)
        p.drawLine(QPointF(b.left() + 3, b.center().y()), QPointF(b.right() - 3, b.center().y() + 1));
    else
        p.drawLine(QPointF(b.center().x(), b.top() + 3), QPointF(b.center().x() + 1, b.bottom() - 3));
}

void Plates(QPainter& p, QRect r, int v, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    const int n = v < 4 ? 1 : 2;
    const float s = 32.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const QRectF b(r.left() + x * s, r.top() + y * s, s, s);
            QLinearGradient g(b.topLeft(), b.bottomRight());
            const QColor c = Shade(Iron, rng.Range(0.9f, 1.08f));
            g.setColorAt(0, Shade(c, 1.3f));
            g.setColorAt(1, Shade(c, 0.7f));
            p.setPen(QPen(IronDark, 1));
            p.setBrush(g);
            p.drawRect(b.adjusted(0.5, 0.5, -0.5, -0.5));
            for (QPointF k : {b.topLeft() + QPointF(3, 3), b.topRight() + QPointF(-3, 3), b.bottomLeft() + QPointF(3, -3),
                              b.bottomRight() + QPointF(-3, -3)})
                Ball(p, k, 1.3f, Shade(Iron, 1.2f), 0.5f);
        }
    if (v >= 12) {
        // Rust streaks.
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 4; ++k) {
            p.setBrush(QColor(150, 76, 36, 150));
            p.drawEllipse(QPointF(r.left() + rng.Range(4, 28), r.top() + rng.Range(8, 28)), rng.Range(1.5f, 3), rng.Range(3, 6));
        }
    }
}

void Cart(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(1, 11), 13, 2.5);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(IronDark);
    p.drawEllipse(c + QPointF(-7, 9), 3.5, 3.5);
    p.drawEllipse(c + QPointF(7, 9), 3.5, 3.5);
    QPolygonF body;
    body << c + QPointF(-13, -5) << c + QPointF(13, -5) << c + QPointF(10, 8) << c + QPointF(-10, 8);
    QLinearGradient g(c + QPointF(0, -5), c + QPointF(0, 8));
    g.setColorAt(0, Shade(Iron, 1.2f));
    g.setColorAt(1, IronDark);
    p.setBrush(g);
    p.drawPolygon(body);
    // A load of coal and ore.
    for (int k = 0; k < 5; ++k)
        Ball(p, c + QPointF(-9 + k * 4.5, -6 - (k % 2) * 2), 3.2f, k == 2 ? Ore : Coal2, 0.6f);
    p.setPen(QPen(Shade(Iron, 1.4f), 1));
    p.drawLine(c + QPointF(-11, -1), c + QPointF(11, -1));
}

void Keg(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(1, 12), 9, 2.5);
    p.setPen(QPen(pal::Ink, 1));
    QLinearGradient g(QPointF(c.x() - 9, 0), QPointF(c.x() + 9, 0));
    g.setColorAt(0, TimberDark);
    g.setColorAt(0.4, Shade(Timber, 1.2f));
    g.setColorAt(1, TimberDark);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(c.x() - 9, c.y() - 11, 18, 23), 5, 5);
    p.setPen(QPen(IronDark, 1.6));
    p.drawLine(QPointF(c.x() - 9, c.y() - 5), QPointF(c.x() + 9, c.y() - 5));
    p.drawLine(QPointF(c.x() - 9, c.y() + 6), QPointF(c.x() + 9, c.y() + 6));
    // A cherry painted on it: this one holds bombs.
    Ball(p, c + QPointF(0, 0.5), 3.2f, QColor(196, 36, 36), 0.7f);
    p.setPen(QPen(QColor(96, 140, 50), 1.2));
    p.drawLine(c + QPointF(1, -2.5), c + QPointF(3, -5));
}

void Tools(QPainter& p, QPointF c)
{
    // A pick and a shovel leaning crossed.
    p.setPen(QPen(pal::Ink, 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-9, 11), c + QPointF(7, -9));
    p.drawLine(c + QPointF(9, 11), c + QPointF(-6, -8));
    p.setPen(QPen(Timber, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-9, 11), c + QPointF(7, -9));
    p.drawLine(c + QPointF(9, 11), c + QPointF(-6, -8));
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(Iron);
    QPainterPath pick;
    pick.moveTo(c + QPointF(-1, -12));
    pick.quadTo(c + QPointF(7, -12), c + QPointF(13, -6));
    pick.quadTo(c + QPointF(7, -9), c + QPointF(-1, -9.5));
    pick.closeSubpath();
    p.drawPath(pick);
    p.drawRoundedRect(QRectF(c.x() - 11, c.y() - 14, 8, 9), 2, 2);
}

void Coal(QPainter& p, QPointF c, Rng& rng)
{
    for (int k = 0; k < 6; ++k) {
        const QPointF m = c + QPointF(rng.Range(-9, 9), rng.Range(-6, 9));
        Rock(p, m, rng.Range(3, 4.5f), QColor(20, 18, 20), Coal2, QColor(120, 116, 120), k + static_cast<int>(m.x()));
    }
}

} // namespace

TileLook MineTiles()
{
    TileLook t;
    t.Name = "MineTiles.jpg";
    t.Grounds[0] = {Rock1, Rock2, 4, 0.45f};
    t.Grounds[1] = {Coal1, Coal2, 8, 0.6f};
    t.Grounds[2] = {Ochre1, Ochre2, 4, 0.35f};
    t.Grounds[3] = {Rubble1, Rubble2, 8, 0.9f};
    t.GroundDetail = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        if (v % 4 == 0 || v % 4 == 2) {
            // A crack with a faint glow of heat deep inside.
            QPainterPath crack;
            QPointF a(r.left() + rng.Range(0, 8), r.top() + rng.Range(4, 28));
            crack.moveTo(a);
            for (int s = 0; s < 4; ++s) {
                a += QPointF(rng.Range(5, 9), rng.Range(-5, 5));
                crack.lineTo(a);
            }
            p.setPen(QPen(QColor(255, 120, 30, 90), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(crack);
            p.setPen(QPen(QColor(30, 20, 16), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(crack);
            if (v % 4 == 2) {
                p.setPen(QPen(QColor(255, 190, 80), 0.7));
                p.drawPath(crack);
            }
        }
        if (v % 4 == 1)
            OreSpecks(p, r, rng, 4);
        if (v % 4 == 3)
            Pebbles(p, QPointF(r.left() + 16, r.top() + 16), Rubble1, Rubble2, rng);
    };
    t.Walls[0] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        RockFace(p, r, i, QColor(150, 142, 132));
        if (v >= 8 && v < 12) {
            CapBand(p, QRectF(r.left(), r.top(), 32, v % 2 ? 9 : 12), QColor(150, 136, 120), QColor(100, 90, 80), QColor(50, 44, 40));
        }
        if (v >= 12)
            OreSpecks(p, r, rng, 5);
    };
    t.Walls[1] = [](QPainter& p, QRect r, int v, int i, Rng&) {
        // Timber props against the rock: posts at the sides, beams on top.
        RockFace(p, r, i + 40, QColor(136, 126, 114));
        if (v < 8 || v >= 12) {
            Beam(p, QRectF(r.left() + (v % 2 ? 2 : 20), r.top(), 9, 32), false);
        }
        if (v >= 8) {
            Beam(p, QRectF(r.left(), r.top() + 2, 32, 9), true);
        }
        if (v >= 12)
            Lantern(p, QPointF(r.left() + (v % 2 ? 22 : 8), r.top() + 20));
    };
    t.Walls[2] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        StoneWall(p, r, Brick, v, i, [](QPainter& q, QRect c, Rng& g) {
            // Soot climbing the bricks.
            QLinearGradient s(QPointF(0, c.bottom()), QPointF(0, c.top()));
            s.setColorAt(0, QColor(20, 16, 14, 190));
            s.setColorAt(1, QColor(20, 16, 14, 0));
            q.setPen(Qt::NoPen);
            q.setBrush(s);
            q.drawRect(QRectF(c).adjusted(g.Range(0, 6), 0, -g.Range(0, 6), 0));
        }, rng);
    };
    t.Walls[3] = [](QPainter& p, QRect r, int v, int i, Rng&) { Plates(p, r, v, i); };
    t.Floors[0] = [](QPainter& p, QRect r, int v, int i, Rng&) { Planks(p, r, v < 8 ? QColor(112, 80, 50) : QColor(92, 70, 52), v % 2 == 1, i); };
    t.Floors[1] = [](QPainter& p, QRect r, int v, int i, Rng&) {
        // Rails on sleepers over gravel, across (v < 8) or along.
        TextureCell(p, r, {Rubble1, Rubble2, 8, 0.9f}, 800 + i);
        const bool across = v < 8;
        p.save();
        if (!across) {
            p.translate(r.center() + QPointF(0.5, 0.5));
            p.rotate(90);
            p.translate(-(r.center() + QPointF(0.5, 0.5)));
        }
        for (int k = 0; k < 4; ++k) {
            const QRectF s(r.left() + 2 + k * 8, r.top() + 5, 5, 22);
            p.setPen(QPen(pal::Ink, 0.8));
            p.setBrush(QColor(100, 70, 44));
            p.drawRect(s);
        }
        for (float y : {10.0f, 22.0f}) {
            QLinearGradient g(QPointF(0, r.top() + y - 2), QPointF(0, r.top() + y + 2));
            g.setColorAt(0, QColor(200, 200, 206));
            g.setColorAt(1, IronDark);
            p.setPen(QPen(QColor(40, 40, 44), 0.8));
            p.setBrush(g);
            p.drawRect(QRectF(r.left() - 1, r.top() + y - 2, 34, 4));
        }
        p.restore();
    };
    t.Floors[2] = [](QPainter& p, QRect r, int v, int, Rng&) {
        // Checker plate, or a grating over the dark.
        if (v < 8) {
            QLinearGradient g(QPointF(r.topLeft()), QPointF(r.bottomRight()));
            g.setColorAt(0, Shade(Iron, 1.15f));
            g.setColorAt(1, Shade(Iron, 0.85f));
            p.fillRect(r, g);
            p.setPen(QPen(Shade(Iron, 1.45f), 1.4, Qt::SolidLine, Qt::RoundCap));
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) {
                    const QPointF c(r.left() + 4 + x * 8, r.top() + 4 + y * 8);
                    if ((x + y) % 2)
                        p.drawLine(c + QPointF(-2, -2), c + QPointF(2, 2));
                    else
                        p.drawLine(c + QPointF(-2, 2), c + QPointF(2, -2));
                }
            p.setPen(QPen(IronDark, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
        } else {
            p.fillRect(r, QColor(24, 20, 20));
            p.setPen(QPen(Iron, 2.2));
            for (int k = 2; k < 32; k += 6) {
                p.drawLine(QPointF(r.left() + k, r.top()), QPointF(r.left() + k, r.bottom() + 1));
                p.drawLine(QPointF(r.left(), r.top() + k), QPointF(r.right() + 1, r.top() + k));
            }
        }
    };
    t.Floors[3] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        Blocks(p, r, QColor(118, 110, 100), QColor(50, 44, 40), 2, 2, v % 2 == 1, i);
        if (v >= 8) {
            // Scorch marks.
            QRadialGradient s(QPointF(r.left() + rng.Range(8, 24), r.top() + rng.Range(8, 24)), 14);
            s.setColorAt(0, QColor(20, 16, 14, 170));
            s.setColorAt(1, QColor(20, 16, 14, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(s);
            p.drawRect(r);
        }
    };
    t.Things[0] = [](QPainter& p, QPointF c, int i, Rng& rng) {
        Rock(p, c + QPointF(0, 1), 12, QColor(60, 54, 50), QColor(120, 108, 96), QColor(180, 170, 150), i);
        OreSpecks(p, QRect(static_cast<int>(c.x()) - 12, static_cast<int>(c.y()) - 10, 22, 16), rng, 4);
    };
    t.Things[1] = [](QPainter& p, QPointF c, int, Rng&) { Cart(p, c); };
    t.Things[2] = [](QPainter& p, QPointF c, int, Rng&) { Keg(p, c); };
    t.Things[3] = [](QPainter& p, QPointF c, int, Rng&) { Crate(p, c, QColor(150, 108, 64)); };
    t.Things[4] = [](QPainter& p, QPointF c, int, Rng&) { Tools(p, c); };
    t.Things[5] = [](QPainter& p, QPointF c, int, Rng& rng) { CrystalCluster(p, c, rng, {QColor(170, 120, 220), QColor(140, 90, 200), QColor(200, 160, 240)}, QColor(70, 40, 100), QColor(240, 226, 255)); };
    t.Things[6] = [](QPainter& p, QPointF c, int, Rng&) { Lantern(p, c); };
    t.Things[7] = [](QPainter& p, QPointF c, int, Rng& rng) { Coal(p, c, rng); };
    return t;
}

OverlayLook MineOverlay()
{
    OverlayLook o;
    o.Name = "MineOverlay.jpg";
    o.Crown = [](QPainter& p, QPointF centre, int, Rng& rng) {
        // A hanging mass of rock with stalactites, seen from below the ceiling.
        for (int k = 0; k < 9; ++k) {
            const float a = 2 * Pi * static_cast<float>(k) / 9;
            Rock(p, centre + QPointF(std::cos(a) * 16, std::sin(a) * 16), 12, QColor(56, 50, 46), QColor(104, 94, 84),
                 QColor(150, 140, 126), k * 7);
        }
        Rock(p, centre, 17, QColor(60, 54, 50), QColor(112, 100, 90), QColor(160, 150, 134), 99);
        OreSpecks(p, QRect(static_cast<int>(centre.x()) - 14, static_cast<int>(centre.y()) - 14, 28, 28), rng, 3);
    };
    o.ArchLight = Shade(Timber, 1.3f);
    o.Arch = TimberDark;
    o.CapLight = QColor(150, 136, 120);
    o.Cap = QColor(96, 86, 76);
    o.Rail = Timber;
    o.Hanging = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        if (v % 2) {
            // A chain with a hook.
            const float x = r.left() + rng.Range(10, 22);
            p.setPen(QPen(IronDark, 1.6));
            p.setBrush(Qt::NoBrush);
            for (int k = 0; k < 4; ++k)
                p.drawEllipse(QPointF(x, r.top() + 3 + k * 5), k % 2 ? 1.2 : 2.2, 3);
            p.setPen(QPen(Iron, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(x - 4, r.top() + 20, 8, 8), 180 * 16, 200 * 16);
        } else {
            // Stalactites.
            for (int k = 0; k < 4; ++k) {
                const float x = r.left() + 4 + k * 8 + rng.Range(-1.5f, 1.5f);
                const float len = rng.Range(6, 18);
                QPolygonF s;
                s << QPointF(x - 3, r.top()) << QPointF(x + 3, r.top()) << QPointF(x + 0.5, r.top() + len);
                p.setPen(QPen(QColor(50, 44, 40), 0.8));
                p.setBrush(QColor(130, 118, 104));
                p.drawPolygon(s);
            }
        }
    };
    o.Bush = [](QPainter& p, QPointF c, int, Rng& rng) { CrystalCluster(p, c, rng, {QColor(170, 120, 220), QColor(140, 90, 200), QColor(200, 160, 240)}, QColor(70, 40, 100), QColor(240, 226, 255)); };
    return o;
}

} // namespace art
