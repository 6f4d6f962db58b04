// The old wood of the spiders' chapter: moss and leaf litter, hedges, log palisades and
// mossy stone, boardwalks and stepping stones, ferns, stumps and cobwebs.
#include "TileLooks.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

const QColor Moss1(54, 82, 38), Moss2(92, 122, 54);
const QColor Litter1(112, 74, 38), Litter2(164, 116, 58);
const QColor Mud1(64, 50, 38), Mud2(98, 78, 58);
const QColor Needles1(104, 84, 56), Needles2(146, 124, 84);
const QColor Leaf(58, 104, 44), LeafDark(30, 66, 30), LeafLight(110, 156, 70);
const QColor Bark(96, 66, 40), BarkDark(60, 40, 24);
const QColor MossStone(104, 112, 96), FieldStone(124, 112, 98);

void FallenLeaf(QPainter& p, QPointF c, float angle, QColor colour)
{
    p.save();
    p.translate(c);
    p.rotate(angle);
    QPainterPath l;
    l.moveTo(-4, 0);
    l.quadTo(0, -3, 4, 0);
    l.quadTo(0, 3, -4, 0);
    p.setPen(QPen(Shade(colour, 0.5f), 0.6));
    p.setBrush(colour);
    p.drawPath(l);
    p.drawLine(QPointF(-4, 0), QPointF(3, 0));
    p.restore();
}

void Fern(QPainter& p, QPointF c, float size, Rng& rng)
{
    for (int k = 0; k < 5; ++k) {
        const float a = -Pi / 2 + (static_cast<float>(k) - 2) * 0.55f + rng.Range(-0.1f, 0.1f);
        const QPointF tip = c + QPointF(std::cos(a) * size, std::sin(a) * size * 0.9f);
        p.setPen(QPen(LeafDark, 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, tip);
        p.setPen(Qt::NoPen);
        for (int s = 1; s < 6; ++s) {
            const QPointF at = c + (tip - c) * (static_cast<float>(s) / 6.0f);
            const QPointF side(-std::sin(a) * (4.0f - static_cast<float>(s) * 0.5f), std::cos(a) * (4.0f - static_cast<float>(s) * 0.5f));
            p.setBrush(s % 2 ? LeafLight : Leaf);
            p.drawEllipse(at + side * 0.6, 2.2, 1.3);
            p.drawEllipse(at - side * 0.6, 2.2, 1.3);
        }
    }
}

// A wall of dense leaves: many small shaded clumps, lit from the upper left.
void Hedge(QPainter& p, QRect r, int seed, bool trimmed)
{
    Rng rng(static_cast<uint64_t>(seed));
    p.fillRect(r, LeafDark);
    for (int k = 0; k < 26; ++k) {
        const QPointF c(r.left() + rng.Range(-2, 34), r.top() + rng.Range(-2, 34));
        Ball(p, c, rng.Range(4, 6.5f), Mix(LeafDark, Leaf, rng.Range(0.3f, 1.0f)), 0);
    }
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 14; ++k) {
        p.setBrush(QColor(170, 210, 110, 140));
        p.drawEllipse(QPointF(r.left() + rng.Range(0, 32), r.top() + rng.Range(0, 32)), 1.6, 1);
    }
    if (trimmed) {
        CapBand(p, QRectF(r.left(), r.top(), 32, 11), LeafLight, Leaf, LeafDark);
    }
}

void Logs(QPainter& p, QRect r, bool tops, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    p.fillRect(r, BarkDark);
    for (int k = 0; k < 4; ++k) {
        const QRectF log(r.left() + k * 8 + 0.5, r.top() - 4, 7, 40);
        QLinearGradient g(log.topLeft(), log.topRight());
        const QColor c = Shade(Bark, rng.Range(0.85f, 1.1f));
        g.setColorAt(0, Shade(c, 1.3f));
        g.setColorAt(0.5, c);
        g.setColorAt(1, Shade(c, 0.6f));
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(g);
        p.drawRect(log);
        p.setPen(QPen(Shade(c, 0.7f), 0.6));
        for (int s = 0; s < 3; ++s) {
            const float y = r.top() + rng.Range(3, 29);
            p.drawLine(QPointF(log.left() + 1.5, y), QPointF(log.left() + 3.5, y + 3));
        }
        if (tops) {
            // Cut tops, seen a little from above.
            p.setPen(QPen(pal::Ink, 0.8));
            p.setBrush(QColor(196, 156, 100));
            p.drawEllipse(QPointF(log.center().x(), r.top() + 4), 3.4, 2.4);
            p.setPen(QPen(QColor(150, 110, 66), 0.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(log.center().x(), r.top() + 4), 1.6, 1.1);
        }
    }
    p.setPen(QPen(QColor(70, 60, 50), 2));
    p.drawLine(QPointF(r.left(), r.top() + 21), QPointF(r.right() + 1, r.top() + 21));
}

void MossPatches(QPainter& p, QRect r, Rng& rng)
{
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 7; ++k) {
        p.setBrush(QColor(80, 130, 50, 200));
        p.drawEllipse(QPointF(r.left() + rng.Range(2, 30), r.top() + rng.Range(2, 30)), rng.Range(2, 4.5f), rng.Range(1.2f, 2.5f));
    }
}

// Rounded field stones set in dark earth.
void FieldStones(QPainter& p, QRect r, QColor stone, int seed, bool roots)
{
    Rng rng(static_cast<uint64_t>(seed));
    p.fillRect(r, Mud1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const QPointF c(r.left() + 5.5 + x * 10.5 + rng.Range(-1, 1) + (y % 2) * 2, r.top() + 5.5 + y * 10.5 + rng.Range(-1, 1));
            QRadialGradient g(c + QPointF(-2, -2.5), 8);
            const QColor s = Shade(stone, rng.Range(0.85f, 1.15f));
            g.setColorAt(0, Shade(s, 1.3f));
            g.setColorAt(1, Shade(s, 0.7f));
            p.setPen(QPen(Shade(stone, 0.4f), 0.8));
            p.setBrush(g);
            p.drawRoundedRect(QRectF(c.x() - 5.5, c.y() - 5, 11, 10), 4, 4);
        }
    if (roots) {
        p.setPen(QPen(BarkDark, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath root;
        root.moveTo(r.left(), r.top() + rng.Range(8, 24));
        root.cubicTo(QPointF(r.left() + 10, r.top() + rng.Range(0, 32)), QPointF(r.left() + 22, r.top() + rng.Range(0, 32)),
                     QPointF(r.right() + 1, r.top() + rng.Range(8, 24)));
        p.drawPath(root);
        p.setPen(QPen(Bark, 1, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(root);
    }
}

void Stump(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(2, 10), 12, 3);
    p.setPen(QPen(pal::Ink, 1));
    QLinearGradient g(c + QPointF(-11, 0), c + QPointF(11, 0));
    g.setColorAt(0, BarkDark);
    g.setColorAt(0.4, Bark);
    g.setColorAt(1, BarkDark);
    p.setBrush(g);
    p.drawRect(QRectF(c.x() - 11, c.y() - 6, 22, 15));
    p.drawEllipse(QRectF(c.x() - 11, c.y() + 4, 22, 8));
    p.setBrush(QColor(206, 170, 112));
    p.drawEllipse(QRectF(c.x() - 11, c.y() - 11, 22, 10));
    p.setPen(QPen(QColor(160, 120, 72), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(c.x() - 7, c.y() - 9, 14, 6));
    p.drawEllipse(QRectF(c.x() - 3.5, c.y() - 7.5, 7, 3));
}

void Toadstools(QPainter& p, QPointF c)
{
    for (int k = 0; k < 3; ++k) {
        const QPointF m = c + QPointF(k == 0 ? -6 : k == 1 ? 5 : 0, k == 0 ? -2 : k == 1 ? 1 : 7);
        const float s = k == 2 ? 0.7f : 1.0f;
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(QColor(230, 220, 196));
        p.drawRect(QRectF(m.x() - 1.5 * s, m.y(), 3 * s, 6 * s));
        p.setBrush(QColor(160, 110, 60));
        p.drawChord(QRectF(m.x() - 6 * s, m.y() - 4 * s, 12 * s, 9 * s), 0, 180 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(236, 210, 160));
        p.drawEllipse(m + QPointF(-2 * s, -1.5 * s), 1 * s, 0.8 * s);
    }
}

void Cobweb(QPainter& p, QPointF c)
{
    // Anchored in the upper left corner of the cell.
    const QPointF o = c + QPointF(-16, -16);
    p.setPen(QPen(QColor(240, 240, 236, 220), 0.8));
    p.setBrush(Qt::NoBrush);
    const float angles[5] = {0, 0.35f, 0.8f, 1.2f, 1.5707f};
    for (float a : angles)
        p.drawLine(o, o + QPointF(std::cos(a) * 30, std::sin(a) * 30));
    for (int ring = 1; ring <= 4; ++ring) {
        QPainterPath w;
        const float rr = static_cast<float>(ring) * 6.5f;
        w.moveTo(o + QPointF(rr, 0));
        for (int k = 1; k < 5; ++k) {
            const float a0 = angles[k - 1], a1 = angles[k];
            const QPointF mid = o + QPointF(std::cos((a0 + a1) / 2) * rr * 0.86f, std::sin((a0 + a1) / 2) * rr * 0.86f);
            w.quadTo(mid, o + QPointF(std::cos(a1) * rr, std::sin(a1) * rr));
        }
        p.drawPath(w);
    }
}

void Cones(QPainter& p, QPointF c, Rng& rng)
{
    for (int k = 0; k < 3; ++k) {
        const QPointF m = c + QPointF(rng.Range(-9, 9), rng.Range(-7, 9));
        p.save();
        p.translate(m);
        p.rotate(rng.Range(-60, 60));
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(QColor(130, 84, 44));
        p.drawEllipse(QPointF(0, 0), 3.4, 5.2);
        p.setPen(QPen(QColor(190, 140, 80), 0.7));
        for (int s = -1; s <= 1; ++s)
            p.drawLine(QPointF(-3, s * 2.5), QPointF(3, s * 2.5 + 1));
        p.restore();
    }
}
} // namespace

TileLook ForestTiles()
{
    TileLook t;
    t.Name = "ForestTiles.jpg";
    t.Grounds[0] = {Moss1, Moss2, 4, 0.35f};
    t.Grounds[1] = {Litter1, Litter2, 8, 0.6f};
    t.Grounds[2] = {Mud1, Mud2, 4, 0.3f};
    t.Grounds[3] = {Needles1, Needles2, 8, 0.9f};
    t.GroundDetail = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        const QColor leaves[4] = {QColor(196, 120, 40), QColor(170, 60, 30), QColor(214, 170, 60), QColor(130, 90, 40)};
        for (int k = 0; k < 3 + v % 3; ++k)
            FallenLeaf(p, QPointF(r.left() + rng.Range(4, 28), r.top() + rng.Range(4, 28)), rng.Range(0, 180), leaves[(v + k) % 4]);
        if (v % 4 == 1)
            Fern(p, QPointF(r.left() + 16, r.top() + 26), 12, rng);
        if (v % 4 == 3) {
            p.setPen(QPen(BarkDark, 1.4, Qt::SolidLine, Qt::RoundCap));
            const QPointF a(r.left() + rng.Range(3, 12), r.top() + rng.Range(6, 26));
            p.drawLine(a, a + QPointF(rng.Range(12, 18), rng.Range(-5, 5)));
        }
    };
    t.Walls[0] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        Hedge(p, r, i, v >= 8 && v < 12);
        if (v >= 12) {
            p.setPen(Qt::NoPen);
            for (int k = 0; k < 5; ++k)
                Ball(p, QPointF(r.left() + rng.Range(4, 28), r.top() + rng.Range(4, 28)), 1.8f, QColor(190, 40, 60), 0.5f);
        }
    };
    t.Walls[1] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        Logs(p, r, v >= 8 && v < 12, i);
        if (v >= 12)
            MossPatches(p, r, rng);
    };
    t.Walls[2] = [](QPainter& p, QRect r, int v, int i, Rng& rng) { StoneWall(p, r, MossStone, v, i, MossPatches, rng); };
    t.Walls[3] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        FieldStones(p, r, FieldStone, i, v >= 12);
        if (v >= 8 && v < 12) {
            CapBand(p, QRectF(r.left(), r.top(), 32, 10), Moss2, Moss1, LeafDark);
            MossPatches(p, QRect(r.left(), r.top(), 32, 10), rng);
        }
    };
    t.Floors[0] = [](QPainter& p, QRect r, int v, int i, Rng&) { Planks(p, r, v < 8 ? QColor(150, 110, 70) : QColor(120, 96, 70), v % 2 == 1, i); };
    t.Floors[1] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        // Flat stepping stones in moss.
        TextureCell(p, r, {Moss1, Moss2, 4, 0.35f}, 700 + i);
        const int n = v < 8 ? 1 : 2;
        for (int k = 0; k < n * n; ++k) {
            const float s = n == 1 ? 13 : 6.5f;
            const QPointF c(r.left() + (n == 1 ? 16 : 8 + (k % 2) * 16) + rng.Range(-1, 1), r.top() + (n == 1 ? 16 : 8 + (k / 2) * 16) + rng.Range(-1, 1));
            QRadialGradient g(c + QPointF(-s * 0.3, -s * 0.3), s * 1.4);
            g.setColorAt(0, QColor(196, 190, 176));
            g.setColorAt(1, QColor(128, 122, 110));
            p.setPen(QPen(QColor(70, 66, 58), 0.8));
            p.setBrush(g);
            p.drawEllipse(c, s, s * 0.9);
        }
    };
    t.Floors[2] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        Blocks(p, r, QColor(150, 146, 128), QColor(70, 84, 50), 2, 2, v % 2 == 1, i);
        if (v >= 8)
            MossPatches(p, r, rng);
    };
    t.Floors[3] = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        // Log slices laid in earth, or bark chips.
        p.fillRect(r, Mud1);
        if (v < 8) {
            for (int k = 0; k < 4; ++k) {
                const QPointF c(r.left() + 8 + (k % 2) * 16 + rng.Range(-1, 1), r.top() + 8 + (k / 2) * 16 + rng.Range(-1, 1));
                p.setPen(QPen(BarkDark, 1.4));
                p.setBrush(QColor(196, 156, 100));
                p.drawEllipse(c, 7, 7);
                p.setPen(QPen(QColor(160, 120, 72), 0.6));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(c, 4.5, 4.5);
                p.drawEllipse(c, 2, 2);
            }
        } else {
            p.setPen(Qt::NoPen);
            for (int k = 0; k < 40; ++k) {
                p.setBrush(Mix(QColor(110, 70, 40), QColor(176, 120, 70), rng.Unit()));
                p.save();
                p.translate(r.left() + rng.Range(0, 32), r.top() + rng.Range(0, 32));
                p.rotate(rng.Range(0, 180));
                p.drawRect(QRectF(-3, -1.2, 6, 2.4));
                p.restore();
            }
        }
    };
    t.Things[0] = [](QPainter& p, QPointF c, int, Rng& rng) { Fern(p, c + QPointF(0, 10), 16, rng); };
    t.Things[1] = [](QPainter& p, QPointF c, int i, Rng& rng) {
        Rock(p, c + QPointF(0, 1), 12, QColor(60, 64, 56), QColor(120, 124, 110), QColor(180, 184, 166), i);
        MossPatches(p, QRect(static_cast<int>(c.x()) - 10, static_cast<int>(c.y()) - 8, 20, 8), rng);
    };
    t.Things[2] = [](QPainter& p, QPointF c, int, Rng&) { Stump(p, c); };
    t.Things[3] = [](QPainter& p, QPointF c, int, Rng&) {
        // A fallen log lying across the cell.
        Shadow(p, c + QPointF(1, 8), 14, 3);
        p.setPen(QPen(pal::Ink, 1));
        QLinearGradient g(c + QPointF(0, -7), c + QPointF(0, 7));
        g.setColorAt(0, Shade(Bark, 1.3f));
        g.setColorAt(1, BarkDark);
        p.setBrush(g);
        p.drawRect(QRectF(c.x() - 12, c.y() - 6, 22, 12));
        p.setBrush(QColor(200, 160, 104));
        p.drawEllipse(QRectF(c.x() + 6, c.y() - 6, 8, 12));
        p.setPen(QPen(QColor(150, 110, 66), 0.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(c.x() + 8, c.y() - 3, 4, 6));
    };
    t.Things[4] = [](QPainter& p, QPointF c, int, Rng&) { Tuft(p, c, LeafDark, LeafLight); };
    t.Things[5] = [](QPainter& p, QPointF c, int, Rng&) { Toadstools(p, c); };
    t.Things[6] = [](QPainter& p, QPointF c, int i, Rng&) {
        if (i % 2)
            Cobweb(p, c);
        else
            Lantern(p, c);
    };
    t.Things[7] = [](QPainter& p, QPointF c, int, Rng& rng) { Cones(p, c, rng); };
    return t;
}

OverlayLook ForestOverlay()
{
    OverlayLook o;
    o.Name = "ForestOverlay.jpg";
    o.Crown = [](QPainter& p, QPointF centre, int, Rng&) {
        LeafyCrown(p, centre, 10, 17, 19, LeafDark, Leaf);
        for (int k = 0; k < 6; ++k) {
            const float a = 2 * Pi * static_cast<float>(k) / 6 + 0.4f;
            Ball(p, centre + QPointF(std::cos(a) * 9, std::sin(a) * 9), 6, LeafLight, 0);
        }
    };
    o.ArchLight = Shade(MossStone, 1.3f);
    o.Arch = MossStone;
    o.CapLight = Moss2;
    o.Cap = Moss1;
    o.Rail = Bark;
    o.Hanging = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        if (v % 2) {
            Cobweb(p, QRectF(r).center());
            return;
        }
        // Hanging moss.
        for (int k = 0; k < 5; ++k) {
            const float x = r.left() + 3 + k * 6.5f + rng.Range(-1.5f, 1.5f);
            const float len = rng.Range(8, 26);
            QPainterPath m;
            m.moveTo(x - 2, r.top());
            m.quadTo(QPointF(x + rng.Range(-3, 3), r.top() + len * 0.6f), QPointF(x, r.top() + len));
            m.quadTo(QPointF(x + 1, r.top() + len * 0.5f), QPointF(x + 2, r.top()));
            p.setPen(QPen(QColor(60, 80, 40), 0.7));
            p.setBrush(QColor(120, 140, 80));
            p.drawPath(m);
        }
    };
    o.Bush = [](QPainter& p, QPointF c, int, Rng& rng) { Fern(p, c + QPointF(0, 6), 15, rng); };
    return o;
}

} // namespace art
