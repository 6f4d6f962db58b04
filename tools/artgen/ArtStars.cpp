// The starlit glade of the bonus row: night moss and silver gravel, moonstone, amethyst
// and obsidian walls, rune tiles and star mosaics, glowing mushrooms, crystals and orbs.
#include "TileLooks.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

const QColor NightMoss1(38, 62, 70), NightMoss2(74, 104, 100);
const QColor Silver1(116, 124, 148), Silver2(166, 174, 194);
const QColor Bloom1(66, 58, 104), Bloom2(104, 92, 144);
const QColor Loam1(38, 38, 50), Loam2(68, 68, 84);
const QColor Moonstone(150, 160, 188), Obsidian(58, 58, 78);
const QColor Amethyst(128, 84, 176), AmethystLight(196, 160, 236);
const QColor Glow(150, 240, 230), StarGold(246, 214, 110);

void Glimmer(QPainter& p, QPointF c, float r, QColor colour)
{
    QRadialGradient g(c, r);
    QColor a = colour, b = colour;
    a.setAlpha(200);
    b.setAlpha(0);
    g.setColorAt(0, QColor(255, 255, 240, 230));
    g.setColorAt(0.3, a);
    g.setColorAt(1, b);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void StarShape(QPainter& p, QPointF c, float r, QColor fill)
{
    QPolygonF star;
    for (int k = 0; k < 10; ++k) {
        const float a = Pi * static_cast<float>(k) / 5 - Pi / 2;
        const float rr = k % 2 ? r * 0.45f : r;
        star << c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
    }
    p.setPen(QPen(Shade(fill, 0.5f), 0.7));
    p.setBrush(fill);
    p.drawPolygon(star);
}

// A rune carved into stone, lit from within.
void Rune(QPainter& p, QPointF c, float s, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    QPainterPath r;
    r.moveTo(c + QPointF(0, -s));
    r.lineTo(c + QPointF(0, s));
    const int kind = rng.Int(0, 3);
    if (kind == 0) {
        r.moveTo(c + QPointF(0, -s * 0.4f));
        r.lineTo(c + QPointF(s * 0.7f, -s));
        r.moveTo(c + QPointF(0, 0));
        r.lineTo(c + QPointF(-s * 0.7f, -s * 0.6f));
    } else if (kind == 1) {
        r.moveTo(c + QPointF(-s * 0.6f, -s * 0.5f));
        r.lineTo(c + QPointF(s * 0.6f, s * 0.5f));
    } else if (kind == 2) {
        r.moveTo(c + QPointF(0, -s * 0.2f));
        r.lineTo(c + QPointF(s * 0.6f, s * 0.4f));
        r.lineTo(c + QPointF(0, s * 0.9f));
    } else {
        r.moveTo(c + QPointF(-s * 0.6f, -s));
        r.lineTo(c + QPointF(s * 0.6f, s * 0.2f));
        r.moveTo(c + QPointF(s * 0.6f, -s));
        r.lineTo(c + QPointF(-s * 0.6f, s * 0.2f));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 230, 220, 90), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(r);
    p.setPen(QPen(QColor(210, 255, 250), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(r);
}

void CrystalWall(QPainter& p, QRect r, int seed, bool top)
{
    Rng rng(static_cast<uint64_t>(seed));
    p.fillRect(r, Shade(Amethyst, 0.35f));
    for (int k = 0; k < 7; ++k) {
        const QPointF base(r.left() + rng.Range(-2, 34), r.bottom() + 2);
        const float h = rng.Range(18, 36), w = rng.Range(5, 9);
        const float lean = rng.Range(-5, 5);
        QPolygonF s;
        s << base + QPointF(-w, 0) << base + QPointF(-w * 0.8f + lean, -h * 0.8f) << base + QPointF(lean, -h)
          << base + QPointF(w * 0.8f + lean, -h * 0.8f) << base + QPointF(w, 0);
        QLinearGradient g(base + QPointF(-w, 0), base + QPointF(w, 0));
        const QColor c = Shade(Amethyst, rng.Range(0.8f, 1.15f));
        g.setColorAt(0, Shade(c, 1.35f));
        g.setColorAt(0.5, c);
        g.setColorAt(1, Shade(c, 0.6f));
        p.setPen(QPen(Shade(Amethyst, 0.4f), 0.8));
        p.setBrush(g);
        p.drawPolygon(s);
        p.setPen(QPen(QColor(240, 226, 255, 180), 0.8));
        p.drawLine(base + QPointF(-w * 0.4f, 0), base + QPointF(lean - w * 0.2f, -h * 0.85f));
    }
    if (top)
        CapBand(p, QRectF(r.left(), r.top(), 32, 9), AmethystLight, Amethyst, Shade(Amethyst, 0.4f));
}

void StarIron(QPainter& p, QRect r, int v, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    QLinearGradient g(QPointF(r.topLeft()), QPointF(r.bottomRight()));
    g.setColorAt(0, QColor(52, 62, 110));
    g.setColorAt(1, QColor(26, 30, 64));
    p.fillRect(r, g);
    p.setPen(QPen(QColor(150, 160, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5));
    for (QPointF k : {QPointF(r.left() + 4, r.top() + 4), QPointF(r.right() - 3, r.top() + 4), QPointF(r.left() + 4, r.bottom() - 3),
                      QPointF(r.right() - 3, r.bottom() - 3)})
        Ball(p, k, 1.4f, QColor(170, 176, 200), 0.5f);
    const int stars = v < 8 ? 1 : 3;
    for (int k = 0; k < stars; ++k)
        StarShape(p, QPointF(r.left() + (stars == 1 ? 16 : rng.Range(8, 24)), r.top() + (stars == 1 ? 16 : rng.Range(8, 24))),
                  stars == 1 ? 6.5f : 3.2f, StarGold);
    if (v >= 8 && v < 12)
        CapBand(p, QRectF(r.left(), r.top(), 32, 8), QColor(190, 196, 224), QColor(110, 118, 160), pal::Ink);
}

void Mushrooms(QPainter& p, QPointF c)
{
    for (int k = 0; k < 3; ++k) {
        const QPointF m = c + QPointF(k == 0 ? -6 : k == 1 ? 6 : 0, k == 0 ? 0 : k == 1 ? 3 : 8);
        const float s = k == 2 ? 0.7f : 1.0f;
        Glimmer(p, m + QPointF(0, -2 * s), 9 * s, Glow);
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(QColor(210, 220, 230));
        p.drawRect(QRectF(m.x() - 1.5 * s, m.y(), 3 * s, 6 * s));
        p.setBrush(QColor(90, 210, 200));
        p.drawChord(QRectF(m.x() - 6 * s, m.y() - 4 * s, 12 * s, 9 * s), 0, 180 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 255, 250));
        p.drawEllipse(m + QPointF(-2 * s, -1.6 * s), 1.2 * s, 0.8 * s);
    }
}

void Crystals(QPainter& p, QPointF c, Rng& rng)
{
    Glimmer(p, c + QPointF(0, 2), 14, AmethystLight);
    CrystalCluster(p, c, rng, {AmethystLight, Amethyst, AmethystLight}, Shade(Amethyst, 0.45f), QColor(250, 240, 255));
}

void StarLantern(QPainter& p, QPointF c)
{
    Glimmer(p, c + QPointF(0, -2), 15, QColor(170, 200, 255));
    Shadow(p, c + QPointF(0, 12), 6, 1.8f);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(QColor(90, 96, 120));
    p.drawRect(QRectF(c.x() - 1.5, c.y() - 2, 3, 14));
    p.drawRect(QRectF(c.x() - 5, c.y() + 10, 10, 2.5));
    Ball(p, c + QPointF(0, -6), 5.5f, QColor(210, 226, 255), 0.8f);
    StarShape(p, c + QPointF(0, -6), 3, QColor(255, 255, 235));
}

void RuneStone(QPainter& p, QPointF c, int index)
{
    Shadow(p, c + QPointF(1, 12), 9, 2.5f);
    QPainterPath s;
    s.moveTo(c + QPointF(-8, 12));
    s.lineTo(c + QPointF(-9, -6));
    s.quadTo(c + QPointF(0, -16), c + QPointF(9, -6));
    s.lineTo(c + QPointF(8, 12));
    s.closeSubpath();
    QLinearGradient g(c + QPointF(-9, 0), c + QPointF(9, 0));
    g.setColorAt(0, Shade(Moonstone, 1.2f));
    g.setColorAt(1, Shade(Moonstone, 0.6f));
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(g);
    p.drawPath(s);
    Rune(p, c + QPointF(0, 0), 6, index);
}

void Orb(QPainter& p, QPointF c)
{
    Shadow(p, c + QPointF(1, 12), 8, 2.2f);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(Shade(Moonstone, 0.8f));
    QPolygonF stand;
    stand << c + QPointF(-7, 12) << c + QPointF(7, 12) << c + QPointF(4, 3) << c + QPointF(-4, 3);
    p.drawPolygon(stand);
    Glimmer(p, c + QPointF(0, -5), 14, Glow);
    QRadialGradient g(c + QPointF(-2, -8), 9);
    g.setColorAt(0, QColor(240, 255, 252));
    g.setColorAt(0.5, QColor(110, 210, 210));
    g.setColorAt(1, QColor(40, 100, 120));
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(g);
    p.drawEllipse(c + QPointF(0, -5), 7, 7);
}

void SilverGrass(QPainter& p, QPointF c)
{
    Tuft(p, c, QColor(80, 120, 130), QColor(200, 230, 230));
    for (int k = -1; k <= 1; ++k)
        Glimmer(p, c + QPointF(k * 5.5, -8 - (k == 0 ? 3 : 0)), 3, QColor(220, 250, 160));
}
} // namespace

TileLook StarTiles()
{
    TileLook t;
    t.Name = "StarTiles.jpg";
    t.Grounds[0] = {NightMoss1, NightMoss2, 4, 0.3f};
    t.Grounds[1] = {Silver1, Silver2, 8, 0.9f};
    t.Grounds[2] = {Bloom1, Bloom2, 4, 0.35f};
    t.Grounds[3] = {Loam1, Loam2, 8, 0.6f};
    t.GroundDetail = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        for (int k = 0; k < 2 + v % 3; ++k)
            Flower(p, QPointF(r.left() + rng.Range(5, 27), r.top() + rng.Range(5, 27)), k % 2 ? QColor(220, 226, 250) : QColor(190, 170, 240));
        if (v % 4 == 1)
            Glimmer(p, QPointF(r.left() + rng.Range(8, 24), r.top() + rng.Range(8, 24)), 5, QColor(220, 250, 160));
    };
    t.Walls[0] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        StoneWall(p, r, Moonstone, v, i, [i](QPainter& q, QRect c, Rng&) { Rune(q, QRectF(c).center(), 7, i); }, rng);
    };
    t.Walls[1] = [](QPainter& p, QRect r, int v, int i, Rng&) { CrystalWall(p, r, i, v >= 8 && v < 12); };
    t.Walls[2] = [](QPainter& p, QRect r, int v, int i, Rng& rng) {
        StoneWall(p, r, Obsidian, v, i, [](QPainter& q, QRect c, Rng& g) {
            // Silver veins.
            q.setPen(QPen(QColor(200, 210, 236, 200), 0.9));
            QPointF a(c.left(), c.top() + g.Range(4, 28));
            for (int s = 0; s < 5; ++s) {
                const QPointF b = a + QPointF(g.Range(5, 8), g.Range(-5, 5));
                q.drawLine(a, b);
                a = b;
            }
        }, rng);
    };
    t.Walls[3] = [](QPainter& p, QRect r, int v, int i, Rng&) { StarIron(p, r, v, i); };
    t.Floors[0] = [](QPainter& p, QRect r, int v, int i, Rng&) {
        // Slate squares with a rune circle glowing faintly on the odd ones.
        SquareFloor(p, r, QColor(84, 90, 112), QColor(72, 78, 100), QColor(36, 40, 54), v < 8 ? 1 : 2, true, i);
        if ((v / 2) % 2) {
            p.setPen(QPen(QColor(120, 230, 220, 110), 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(r).center(), 10, 10);
            Rune(p, QRectF(r).center(), 4.5f, i);
        }
    };
    t.Floors[1] = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        // A night mosaic: deep blue with gold stars.
        p.fillRect(r, QColor(30, 40, 86));
        p.setPen(QPen(QColor(60, 70, 120), 0.6));
        for (int k = 0; k < 32; k += 8) {
            p.drawLine(QPointF(r.left() + k, r.top()), QPointF(r.left() + k, r.bottom() + 1));
            p.drawLine(QPointF(r.left(), r.top() + k), QPointF(r.right() + 1, r.top() + k));
        }
        if (v < 8)
            StarShape(p, QRectF(r).center(), 8, StarGold);
        for (int k = 0; k < 5; ++k) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(230, 230, 255));
            p.drawEllipse(QPointF(r.left() + rng.Range(2, 30), r.top() + rng.Range(2, 30)), 0.8, 0.8);
        }
    };
    t.Floors[2] = [](QPainter& p, QRect r, int v, int i, Rng&) { Planks(p, r, v < 8 ? QColor(96, 104, 130) : QColor(110, 96, 120), v % 2 == 1, i); };
    t.Floors[3] = [](QPainter& p, QRect r, int v, int, Rng&) {
        // A violet carpet with a silver edge, across or along.
        p.fillRect(r, QColor(88, 50, 120));
        p.save();
        if (v >= 8) {
            p.translate(QRectF(r).center());
            p.rotate(90);
            p.translate(-QRectF(r).center());
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 206, 226));
        p.drawRect(QRectF(r.left() - 1, r.top() + 2, 34, 2));
        p.drawRect(QRectF(r.left() - 1, r.bottom() - 3, 34, 2));
        StarShape(p, QRectF(r).center(), 5, QColor(200, 206, 226));
        p.restore();
    };
    t.Things[0] = [](QPainter& p, QPointF c, int, Rng&) { Mushrooms(p, c); };
    t.Things[1] = [](QPainter& p, QPointF c, int i, Rng&) {
        Rock(p, c + QPointF(0, 1), 12, QColor(60, 64, 90), Moonstone, QColor(220, 228, 246), i);
    };
    t.Things[2] = [](QPainter& p, QPointF c, int, Rng& rng) { Crystals(p, c, rng); };
    t.Things[3] = [](QPainter& p, QPointF c, int, Rng&) { Crate(p, c, QColor(110, 110, 140)); };
    t.Things[4] = [](QPainter& p, QPointF c, int, Rng&) { SilverGrass(p, c); };
    t.Things[5] = [](QPainter& p, QPointF c, int i, Rng&) { RuneStone(p, c, i); };
    t.Things[6] = [](QPainter& p, QPointF c, int, Rng&) { StarLantern(p, c); };
    t.Things[7] = [](QPainter& p, QPointF c, int, Rng&) { Orb(p, c); };
    return t;
}

OverlayLook StarOverlay()
{
    OverlayLook o;
    o.Name = "StarOverlay.jpg";
    o.Crown = [](QPainter& p, QPointF centre, int, Rng& rng) {
        LeafyCrown(p, centre, 9, 16, 18, QColor(30, 56, 70), QColor(56, 92, 100));
        for (int k = 0; k < 5; ++k)
            Glimmer(p, centre + QPointF(rng.Range(-20, 20), rng.Range(-20, 20)), 4, QColor(220, 250, 160));
    };
    o.ArchLight = Shade(Moonstone, 1.3f);
    o.Arch = Moonstone;
    o.CapLight = Shade(Moonstone, 1.35f);
    o.Cap = Moonstone;
    o.Rail = QColor(170, 176, 200);
    o.Hanging = [](QPainter& p, QRect r, int v, int, Rng& rng) {
        // Strings of little lights, or glowing vines.
        for (int k = 0; k < 3; ++k) {
            const float x = r.left() + 6 + k * 10 + rng.Range(-2, 2);
            const float len = rng.Range(10, 26);
            p.setPen(QPen(QColor(70, 100, 110), 1.2));
            p.drawLine(QPointF(x, r.top()), QPointF(x, r.top() + len));
            for (float y = 5; y < len; y += 7)
                Glimmer(p, QPointF(x, r.top() + y), 3.5f, v % 2 ? QColor(220, 250, 160) : Glow);
        }
    };
    o.Bush = [](QPainter& p, QPointF c, int, Rng& rng) {
        // A dark bush with fireflies.
        for (int k = 0; k < 6; ++k) {
            const float a = 2 * Pi * static_cast<float>(k) / 6 + rng.Range(0, 0.5f);
            Ball(p, c + QPointF(std::cos(a) * 6, std::sin(a) * 5.4), 6.6f, Mix(QColor(26, 52, 60), QColor(50, 86, 92), rng.Unit()), 1.0f);
        }
        Ball(p, c, 7, QColor(50, 86, 92), 0);
        for (int k = 0; k < 4; ++k)
            Glimmer(p, c + QPointF(rng.Range(-9, 9), rng.Range(-9, 4)), 3.5f, QColor(220, 250, 160));
    };
    return o;
}

} // namespace art
