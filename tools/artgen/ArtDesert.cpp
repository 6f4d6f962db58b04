// The desert of the snakes' chapter: sand, sandstone and mud brick, terracotta and
// mosaic floors, cacti, urns and bleached bones.
#include "TileLooks.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

const QColor Sand1(214, 176, 112), Sand2(238, 210, 150);
const QColor Clay1(168, 96, 60), Clay2(200, 128, 80);
const QColor Salt1(220, 208, 184), Salt2(244, 236, 218);
const QColor Grit1(150, 124, 92), Grit2(196, 170, 130);
const QColor Sandstone(178, 118, 68), RedStone(170, 88, 62), Limestone(186, 176, 156), Adobe(150, 110, 76);

void Cactus(QPainter& p, QPointF c, int index)
{
    Shadow(p, c + QPointF(2, 12), 8, 2.5);
    const QColor green(92, 140, 70);
    auto arm = [&](QRectF r) {
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, Shade(green, 1.3f));
        g.setColorAt(1, Shade(green, 0.65f));
        p.setPen(QPen(pal::Ink, 1));
        p.setBrush(g);
        p.drawRoundedRect(r, r.width() / 2, r.width() / 2);
    };
    const bool left = index % 2;
    arm(QRectF(c.x() + (left ? -11 : 5), c.y() - 7, 6, 11));
    arm(QRectF(c.x() + (left ? 6 : -11), c.y() - 2, 5, 8));
    arm(QRectF(c.x() - 4, c.y() - 13, 8, 26));
    p.setPen(QPen(QColor(240, 236, 200), 0.8));
    for (int k = 0; k < 5; ++k)
        p.drawPoint(c + QPointF(k % 2 ? 1.5 : -1.5, -10 + k * 5));
    if (index % 4 == 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(236, 96, 120));
        p.drawEllipse(c + QPointF(0, -13), 2.5, 2);
    }
}

void Bones(QPainter& p, QPointF c, Rng& rng)
{
    const QColor bone(240, 230, 206);
    p.setPen(QPen(pal::Ink, 0.9));
    p.setBrush(bone);
    // A small skull and two bones.
    p.drawEllipse(c + QPointF(-3, -2), 6.5, 5.5);
    p.drawRoundedRect(QRectF(c.x() - 7, c.y() + 1, 8, 5), 2, 2);
    p.setBrush(pal::Ink);
    p.drawEllipse(c + QPointF(-5.5, -2), 1.6, 1.8);
    p.drawEllipse(c + QPointF(-0.5, -2), 1.6, 1.8);
    for (int k = 0; k < 2; ++k) {
        const QPointF a = c + QPointF(4 + rng.Range(0, 2), 3 + k * 4), b = a + QPointF(8, k ? -3 : 2);
        p.setPen(QPen(pal::Ink, 3.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
        p.setPen(QPen(bone, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
    }
}

} // namespace

TileLook DesertTiles()
{
    TileLook t;
    t.Name = "DesertTiles.jpg";
    t.Grounds[0] = {Sand1, Sand2, 4, 0.25f};
    t.Grounds[1] = {Clay1, Clay2, 4, 0.35f};
    t.Grounds[2] = {Salt1, Salt2, 4, 0.2f};
    t.Grounds[3] = {Grit1, Grit2, 8, 0.9f};
    t.GroundDetail = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        // Wind ripples, and now and then a shell, a dry sprig or stones.
        p.setPen(QPen(Shade(Sand1, 0.8f), 1.2));
        p.setBrush(Qt::NoBrush);
        for (int k = 0; k < 3; ++k) {
            const float y = r.top() + 6 + k * 10 + rng.Range(-2, 2);
            QPainterPath w;
            w.moveTo(r.left(), y);
            w.cubicTo(QPointF(r.left() + 10, y - 4), QPointF(r.left() + 20, y + 4), QPointF(r.right() + 1, y));
            p.drawPath(w);
        }
        p.setPen(QPen(Shade(Sand2, 1.1f), 0.8));
        for (int k = 0; k < 3; ++k) {
            const float y = r.top() + 7.5f + k * 10;
            p.drawLine(QPointF(r.left() + 4, y), QPointF(r.left() + 12, y - 1.5));
        }
        const QPointF at(r.left() + rng.Range(8, 24), r.top() + rng.Range(8, 24));
        switch (v % 4) {
        case 0: Pebbles(p, at, QColor(170, 130, 90), QColor(220, 190, 150), rng); break;
        case 1: Tuft(p, at + QPointF(0, -2), QColor(150, 130, 70), QColor(200, 180, 110)); break;
        case 2:
            p.setPen(QPen(pal::Ink, 0.8));
            p.setBrush(QColor(246, 222, 200));
            p.drawChord(QRectF(at.x() - 4, at.y() - 3, 8, 8), 0, 180 * 16);
            break;
        default: break;
        }
    };
    auto weather = [](QColor s) {
        return [s](QPainter& p, QRect r, Rng& rng) {
            Cracks(p, r, s, rng);
            Drift(p, r, Sand1, Sand2, rng);
        };
    };
    const QColor stones[4] = {Sandstone, RedStone, Limestone, Adobe};
    for (int g = 0; g < 4; ++g) {
        const QColor s = stones[g];
        if (g == 3) {
            // Mud brick: long bricks with straw, a smooth plaster on the weathered ones.
            t.Walls[g] = [s, weather](QPainter& p, QRect r, int v, int i, Rng& rng) {
                if (v < 12 || v >= 14) {
                    StoneWall(p, r, s, v, i, weather(s), rng);
                    p.setPen(QPen(QColor(230, 200, 120, 160), 0.7));
                    for (int k = 0; k < 10; ++k) {
                        const QPointF a(r.left() + rng.Range(2, 30), r.top() + rng.Range(2, 30));
                        p.drawLine(a, a + QPointF(rng.Range(-3, 3), rng.Range(-1, 1)));
                    }
                } else {
                    p.fillRect(r, Shade(s, 1.15f));
                    Blocks(p, r.adjusted(0, 18, 0, 0), s, Mortar(s), 2, 2, true, i);
                    Cracks(p, r, s, rng);
                }
            };
        } else {
            t.Walls[g] = [s, weather](QPainter& p, QRect r, int v, int i, Rng& rng) { StoneWall(p, r, s, v, i, weather(s), rng); };
        }
    }
    t.Floors[0] = [](QPainter& p, QRect r, int v, int i, Rng&) { Blocks(p, r, QColor(228, 206, 172), QColor(156, 128, 98), 2, 2, v % 2 == 1, i); };
    t.Floors[1] = [](QPainter& p, QRect r, int v, int i, Rng&) {
        // Terracotta: plain squares, or with a small lozenge in the corners.
        SquareFloor(p, r, QColor(196, 104, 64), QColor(176, 90, 56), QColor(120, 70, 44), 2, v >= 8, i);
        if (v % 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(236, 200, 130));
            for (QPointF c : {QPointF(r.left() + 16, r.top() + 16), QPointF(r.left(), r.top()), QPointF(r.right() + 1, r.top()),
                              QPointF(r.left(), r.bottom() + 1), QPointF(r.right() + 1, r.bottom() + 1)}) {
                QPolygonF d;
                d << c + QPointF(0, -3) << c + QPointF(3, 0) << c + QPointF(0, 3) << c + QPointF(-3, 0);
                p.drawPolygon(d);
            }
        }
    };
    t.Floors[2] = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        // Mosaic: a turquoise and gold star on cream, or a border band.
        const QColor cream(236, 222, 186), teal(48, 150, 150), gold(214, 160, 60), rust(176, 84, 56);
        p.fillRect(r, cream);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const int cx = std::abs(x * 2 - 7), cy = std::abs(y * 2 - 7);
                QColor c = cream;
                if (v < 8) {
                    if (cx + cy <= 4)
                        c = teal;
                    else if (cx + cy <= 6)
                        c = gold;
                    else if (cx + cy >= 12)
                        c = rust;
                } else {
                    c = (cy >= 5) ? (v % 2 ? teal : rust) : ((x + y) % 2 ? gold : cream);
                }
                p.fillRect(QRectF(r.left() + x * 4 + 0.4, r.top() + y * 4 + 0.4, 3.2, 3.2), Shade(c, rng.Range(0.92f, 1.06f)));
            }
    };
    t.Floors[3] = [](QPainter& p, QRect r, int v, int, Rng&) {
        // Woven mats: stripes of red and ochre, across or along.
        const QColor a = v < 8 ? QColor(178, 64, 48) : QColor(120, 88, 150);
        const QColor b(226, 170, 80), edge(90, 50, 30);
        p.fillRect(r, a);
        for (int k = 0; k < 4; ++k) {
            QRectF s = v % 2 ? QRectF(r.left() + 3 + k * 8, r.top(), 3, 32) : QRectF(r.left(), r.top() + 3 + k * 8, 32, 3);
            p.fillRect(s, k % 2 ? b : Shade(a, 1.3f));
        }
        p.setPen(QPen(Shade(edge, 1.2f), 0.6));
        for (int k = 0; k < 32; k += 2) {
            if (v % 2)
                p.drawLine(QPointF(r.left(), r.top() + k), QPointF(r.right() + 1, r.top() + k));
            else
                p.drawLine(QPointF(r.left() + k, r.top()), QPointF(r.left() + k, r.bottom() + 1));
        }
    };
    t.Things[0] = [](QPainter& p, QPointF c, int i, Rng&) { Cactus(p, c, i); };
    t.Things[1] = [](QPainter& p, QPointF c, int i, Rng&) { Rock(p, c + QPointF(0, 1), 12, QColor(120, 70, 44), QColor(196, 132, 80), QColor(240, 200, 150), i); };
    t.Things[2] = [](QPainter& p, QPointF c, int i, Rng&) { Urn(p, c, QColor(190, 100, 60), i % 2 ? QColor(40, 120, 120) : QColor(236, 200, 120)); };
    t.Things[3] = [](QPainter& p, QPointF c, int, Rng&) { Crate(p, c, QColor(190, 150, 96)); };
    t.Things[4] = [](QPainter& p, QPointF c, int, Rng&) { Tuft(p, c, QColor(140, 120, 60), QColor(206, 186, 110)); };
    t.Things[5] = [](QPainter& p, QPointF c, int, Rng& rng) { Bones(p, c, rng); };
    t.Things[6] = [](QPainter& p, QPointF c, int i, Rng&) { Brazier(p, c, QColor(170, 120, 60), i); };
    t.Things[7] = [](QPainter& p, QPointF c, int, Rng& rng) { Pebbles(p, c, QColor(170, 120, 80), QColor(230, 200, 150), rng); };
    return t;
}

OverlayLook DesertOverlay()
{
    OverlayLook o;
    o.Name = "DesertOverlay.jpg";
    o.Crown = [](QPainter& p, QPointF centre, int, Rng&) {
        // A palm seen from above: fronds round a brown heart.
        for (int k = 0; k < 8; ++k) {
            const float a = 2 * Pi * static_cast<float>(k) / 8 + 0.2f;
            const QPointF tip = centre + QPointF(std::cos(a) * 30, std::sin(a) * 30);
            const QPointF side(-std::sin(a) * 6, std::cos(a) * 6);
            QPainterPath f;
            f.moveTo(centre);
            f.quadTo((centre + tip) / 2 + side, tip);
            f.quadTo((centre + tip) / 2 - side, centre);
            p.setPen(QPen(pal::Ink, 1));
            p.setBrush(k % 2 ? QColor(80, 140, 60) : QColor(110, 170, 70));
            p.drawPath(f);
            p.setPen(QPen(QColor(50, 100, 40), 0.8));
            p.drawLine(centre, tip);
        }
        Ball(p, centre, 5, QColor(130, 90, 50), 1);
    };
    o.ArchLight = Shade(Sandstone, 1.3f);
    o.Arch = Sandstone;
    o.CapLight = Shade(Sandstone, 1.35f);
    o.Cap = Sandstone;
    o.Rail = QColor(150, 100, 56);
    o.Hanging = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        // An awning of striped cloth, or hanging ropes.
        if (v < 8) {
            QPainterPath a;
            a.moveTo(r.left(), r.top());
            a.lineTo(r.right() + 1, r.top());
            a.lineTo(r.right() + 1, r.top() + 10);
            for (int k = 3; k >= 0; --k)
                a.quadTo(QPointF(r.left() + k * 8 + 4, r.top() + 15), QPointF(r.left() + k * 8, r.top() + 10));
            a.closeSubpath();
            p.setPen(QPen(pal::Ink, 1));
            p.setBrush(v % 2 ? QColor(190, 70, 50) : QColor(60, 140, 140));
            p.drawPath(a);
            p.setPen(QPen(QColor(240, 220, 170), 2));
            p.drawLine(QPointF(r.left(), r.top() + 5), QPointF(r.right() + 1, r.top() + 5));
        } else {
            for (int k = 0; k < 3; ++k) {
                const float x = r.left() + 6 + k * 10 + rng.Range(-2, 2);
                const float len = rng.Range(12, 28);
                p.setPen(QPen(QColor(150, 110, 60), 1.6));
                p.drawLine(QPointF(x, r.top()), QPointF(x, r.top() + len));
                Ball(p, QPointF(x, r.top() + len + 2), 2.5f, QColor(200, 150, 70), 0.8f);
            }
        }
    };
    o.Bush = [](QPainter& p, QPointF c, int i, Rng& rng) {
        // A dry thorn bush.
        p.setPen(QPen(QColor(110, 80, 40), 1.2, Qt::SolidLine, Qt::RoundCap));
        for (int k = 0; k < 9; ++k) {
            const float a = Pi + Pi * static_cast<float>(k) / 8;
            p.drawLine(c + QPointF(0, 4), c + QPointF(std::cos(a) * rng.Range(8, 13), std::sin(a) * rng.Range(8, 14) + 4));
        }
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 12; ++k) {
            p.setBrush(k % 3 ? QColor(150, 150, 70) : QColor(120, 130, 60));
            p.drawEllipse(c + QPointF(rng.Range(-11, 11), rng.Range(-9, 3)), 2.2, 1.6);
        }
        if (i % 2) {
            p.setBrush(QColor(240, 200, 80));
            p.drawEllipse(c + QPointF(rng.Range(-6, 6), rng.Range(-6, 0)), 1.5, 1.5);
        }
    };
    return o;
}
} // namespace art
