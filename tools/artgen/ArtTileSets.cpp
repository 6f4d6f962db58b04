// The chapters' tile sets and overlay sets. Every set keeps the slots of "BasicTiles.jpg"
// and "BasicOverlay.jpg", so a level made with one set reads the same with another
// (walls where the level marks its cells solid, floors where it does not):
//   tiles   0 none; 1..15 the main ground in four shades; 16..31 four grounds (main,
//           second, third, fourth); 32..35 main ground with the second on one side
//           (top, bottom, left, right), 36..39 with the third; 40..47 the same the other
//           way round; 48..63 the main ground with small things on it;
//           64..127 walls in four stones of 16: 0..3 small blocks, 4..7 large blocks,
//           8..11 wall tops, 12..15 weathered; 128..191 floors in four kinds of 16;
//           192..255 things on the ground, transparent round them, eight kinds by row
//           (rows 8..15 repeat them).
//   overlay 0 none; groups of 16 by (index / 16) mod 6: tree crowns (four tiles make a
//           crown: 0 its upper left quarter, 1 upper right, 2 lower left, 3 lower right),
//           arches, wall caps, rails, hanging things, bushes.
#include "TileLooks.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

QImage Swatch(const std::function<void(QImage&, QRect)>& paint)
{
    QImage img = NewLayer(32, 32);
    paint(img, QRect(0, 0, 32, 32));
    return img;
}

void EdgeTile(QPainter& p, QRect r, const Ground& a, const Ground& b, int side, int seed)
{
    p.drawImage(r.topLeft(), Swatch([&](QImage& img, QRect s) { EdgeBlend(img, s, a.Dark, a.Light, b.Dark, b.Light, side, seed); }));
}

} // namespace

QImage PaintTiles(const TileLook& look)
{
    QImage img = NewLayer(512, 512);
    QPainter p(&img);
    Smooth(p);
    const Ground* g = look.Grounds;
    for (int i = 1; i < 16; ++i)
        TextureCell(p, TileRect(i), g[0], 100 + i, 0.9f + 0.05f * static_cast<float>(i % 4));
    for (int i = 16; i < 32; ++i)
        TextureCell(p, TileRect(i), g[(i - 16) / 4], 200 + i);
    for (int i = 32; i < 40; ++i)
        EdgeTile(p, TileRect(i), g[0], g[i < 36 ? 1 : 2], i % 4, 300 + i);
    for (int i = 40; i < 48; ++i)
        EdgeTile(p, TileRect(i), g[i < 44 ? 1 : 2], g[0], i % 4, 400 + i);
    Rng rng(9);
    for (int i = 48; i < 64; ++i) {
        const QRect r = TileRect(i);
        TextureCell(p, r, g[0], 500 + i);
        p.save();
        p.setClipRect(r);
        look.GroundDetail(p, r, i - 48, i, rng);
        p.restore();
    }
    for (int i = 64; i < 192; ++i) {
        const QRect r = TileRect(i);
        const int group = ((i - 64) % 64) / 16, v = (i - 64) % 16;
        p.save();
        p.setClipRect(r);
        (i < 128 ? look.Walls : look.Floors)[group](p, r, v, i, rng);
        p.restore();
    }
    for (int i = 192; i < 256; ++i) {
        const QRect r = TileRect(i);
        p.save();
        p.setClipRect(r);
        look.Things[((i - 192) / 4) % 8](p, QRectF(r).center(), i, rng);
        p.restore();
    }
    p.end();
    for (int i = 1; i < 192; ++i)
        Grain(img, TileRect(i), 0.06f, i);
    return img;
}

QImage PaintOverlay(const OverlayLook& look)
{
    QImage ov = NewLayer(512, 512);
    QPainter p(&ov);
    Smooth(p);
    Rng rng(3);
    for (int i = 1; i < 256; ++i) {
        const QRect r = TileRect(i);
        p.save();
        p.setClipRect(r);
        switch ((i / 16) % 6) {
        case 0: {
            const int q = i % 4;
            look.Crown(p, QPointF(r.left() + (q % 2 ? 0 : 32), r.top() + (q / 2 ? 0 : 32)), i, rng);
            break;
        }
        case 1: {
            p.setPen(QPen(pal::Ink, 1));
            QLinearGradient g(QPointF(0, r.top()), QPointF(0, r.bottom()));
            g.setColorAt(0, look.ArchLight);
            g.setColorAt(1, look.Arch);
            p.setBrush(g);
            QPainterPath a;
            a.addRect(QRectF(r.left(), r.top(), 32, 12));
            if (i % 2)
                a.addRect(QRectF(r.left(), r.top(), 8, 32));
            p.drawPath(a.simplified());
            break;
        }
        case 2: CapBand(p, QRectF(r.left(), r.top(), 32, 10 + (i % 3) * 3), look.CapLight, look.Cap, pal::Ink); break;
        case 3:
            p.setPen(QPen(pal::Ink, 1));
            p.setBrush(look.Rail);
            if (i % 2)
                p.drawRect(QRectF(r.left(), r.top() + 2, 32, 5));
            else
                p.drawRect(QRectF(r.left(), r.bottom() - 6, 32, 5));
            p.drawRect(QRectF(r.left() + 13, r.top(), 6, 32).adjusted(0, i % 2 ? 0 : 20, 0, i % 2 ? -20 : 0));
            break;
        case 4: look.Hanging(p, r, i % 16, i, rng); break;
        default: look.Bush(p, QRectF(r).center() + QPointF(0, 6), i, rng); break;
        }
        p.restore();
    }
    p.end();
    return ov;
}

void TextureCell(QPainter& p, QRect r, const Ground& g, int seed, float shade)
{
    p.drawImage(r.topLeft(), Swatch([&](QImage& img, QRect s) {
        Texture(img, s, Shade(g.Dark, shade), Shade(g.Light, shade), g.Scale, seed, g.Speckle);
    }));
}

QColor Mortar(QColor stone)
{
    return Shade(stone, 0.5f);
}

void StoneWall(QPainter& p, QRect r, QColor s, int v, int index, const std::function<void(QPainter&, QRect, Rng&)>& weather, Rng& rng)
{
    if (v < 4)
        Blocks(p, r, s, Mortar(s), 4, 2, true, index);
    else if (v < 8)
        Blocks(p, r, s, Mortar(s), 2, 2, v % 2 == 0, index);
    else if (v < 12) {
        Blocks(p, r, s, Mortar(s), 4, 2, true, index);
        CapBand(p, QRectF(r.left(), r.top(), 32, v % 2 ? 10 : 14), Shade(s, 1.35f), s, Shade(s, 0.45f));
    } else {
        Blocks(p, r, s, Mortar(s), 4, 2, true, index);
        weather(p, r, rng);
    }
}

void Cracks(QPainter& p, QRect r, QColor stone, Rng& rng)
{
    p.setPen(QPen(Shade(stone, 0.4f), 1));
    for (int k = 0; k < 2; ++k) {
        QPointF a(r.left() + rng.Range(4, 28), r.top() + rng.Range(2, 10));
        for (int s = 0; s < 4; ++s) {
            const QPointF b = a + QPointF(rng.Range(-5, 5), rng.Range(4, 8));
            p.drawLine(a, b);
            a = b;
        }
    }
}

void Drift(QPainter& p, QRect r, QColor dark, QColor light, Rng& rng)
{
    QPainterPath d;
    d.moveTo(r.left(), r.bottom() + 1);
    d.lineTo(r.left(), r.bottom() - rng.Range(4, 9));
    d.cubicTo(QPointF(r.left() + 10, r.bottom() - rng.Range(8, 13)), QPointF(r.left() + 22, r.bottom() - rng.Range(2, 7)),
              QPointF(r.right() + 1, r.bottom() - rng.Range(3, 8)));
    d.lineTo(r.right() + 1, r.bottom() + 1);
    d.closeSubpath();
    QLinearGradient g(QPointF(0, r.bottom() - 12), QPointF(0, r.bottom()));
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(d);
}

void Shadow(QPainter& p, QPointF c, float w, float h)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawEllipse(c, w, h);
}

void SquareFloor(QPainter& p, QRect r, QColor a, QColor b, QColor joint, int n, bool checker, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    const float s = 32.0f / static_cast<float>(n);
    p.fillRect(r, joint);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const QColor c = Shade(checker && (x + y) % 2 ? b : a, rng.Range(0.94f, 1.06f));
            QRectF t(r.left() + x * s + 0.6, r.top() + y * s + 0.6, s - 1.2, s - 1.2);
            QLinearGradient g(t.topLeft(), t.bottomRight());
            g.setColorAt(0, Shade(c, 1.08f));
            g.setColorAt(1, Shade(c, 0.94f));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawRect(t);
        }
}

void Urn(QPainter& p, QPointF c, QColor clay, QColor band)
{
    Shadow(p, c + QPointF(1, 12), 9, 2.5);
    QPainterPath u;
    u.moveTo(c + QPointF(-4, -11));
    u.lineTo(c + QPointF(4, -11));
    u.cubicTo(c + QPointF(4, -7), c + QPointF(11, -5), c + QPointF(10, 2));
    u.cubicTo(c + QPointF(9, 9), c + QPointF(5, 12), c + QPointF(0, 12));
    u.cubicTo(c + QPointF(-5, 12), c + QPointF(-9, 9), c + QPointF(-10, 2));
    u.cubicTo(c + QPointF(-11, -5), c + QPointF(-4, -7), c + QPointF(-4, -11));
    QLinearGradient g(c + QPointF(-10, 0), c + QPointF(10, 0));
    g.setColorAt(0, Shade(clay, 0.7f));
    g.setColorAt(0.35, Shade(clay, 1.25f));
    g.setColorAt(1, Shade(clay, 0.6f));
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(g);
    p.drawPath(u);
    p.setPen(QPen(band, 2));
    p.drawLine(c + QPointF(-9, 0), c + QPointF(9, 0));
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(Shade(clay, 0.45f));
    p.drawEllipse(c + QPointF(0, -11), 4.5, 1.6);
}

void Crate(QPainter& p, QPointF c, QColor wood)
{
    QRectF b(c.x() - 12, c.y() - 12, 24, 24);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(wood);
    p.drawRect(b);
    p.setPen(QPen(Shade(wood, 0.5f), 2));
    p.drawRect(b.adjusted(2, 2, -2, -2));
    p.drawLine(b.topLeft() + QPointF(2, 2), b.bottomRight() - QPointF(2, 2));
}

void Pebbles(QPainter& p, QPointF c, QColor a, QColor b, Rng& rng)
{
    for (int k = 0; k < 5; ++k)
        Ball(p, c + QPointF(rng.Range(-10, 10), rng.Range(-8, 10)), rng.Range(2, 3.5f), Mix(a, b, rng.Unit()), 0.8f);
}

void Brazier(QPainter& p, QPointF c, QColor metal, int index)
{
    Shadow(p, c + QPointF(0, 12), 8, 2);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(Shade(metal, 0.7f));
    p.drawRect(QRectF(c.x() - 1.5, c.y(), 3, 12));
    p.drawLine(c + QPointF(-6, 12), c + QPointF(0, 6));
    p.drawLine(c + QPointF(6, 12), c + QPointF(0, 6));
    DrawFlame(p, c + QPointF(0, -6), 11, static_cast<float>(index % 4) / 4.0f, index);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(metal);
    p.drawChord(QRectF(c.x() - 9, c.y() - 6, 18, 12), 180 * 16, 180 * 16);
}

void Tuft(QPainter& p, QPointF c, QColor dark, QColor light)
{
    p.setPen(QPen(dark, 1.5, Qt::SolidLine, Qt::RoundCap));
    for (int k = -3; k <= 3; ++k)
        p.drawLine(c + QPointF(k * 2, 8), c + QPointF(k * 3.5, -6 - (k % 2) * 3));
    p.setPen(QPen(light, 1, Qt::SolidLine, Qt::RoundCap));
    for (int k = -2; k <= 2; ++k)
        p.drawLine(c + QPointF(k * 2 + 1, 8), c + QPointF(k * 3 + 1, -3));
}

void Rock(QPainter& p, QPointF c, float r, QColor dark, QColor mid, QColor light, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    const int n = 7;
    QPolygonF outline;
    for (int i = 0; i < n; ++i) {
        const float a = 2 * Pi * (static_cast<float>(i) + rng.Range(-0.25f, 0.25f)) / n;
        const float rr = r * rng.Range(0.8f, 1.0f);
        outline << c + QPointF(std::cos(a) * rr, std::sin(a) * rr * 0.78f);
    }
    Shadow(p, c + QPointF(1.5, r * 0.7f), r, r * 0.3f);
    QLinearGradient g(c + QPointF(-r, -r), c + QPointF(r, r));
    g.setColorAt(0, light);
    g.setColorAt(0.5, mid);
    g.setColorAt(1, dark);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPolygon(outline);
    // The top face catches the light; the lower ones fall into shade.
    const QPointF top = c + QPointF(-r * 0.1, -r * 0.15);
    QPolygonF lit;
    lit << top;
    for (int i = 3; i <= 6; ++i)
        lit << outline[i % n];
    p.setBrush(QColor(255, 250, 230, 70));
    p.drawPolygon(lit);
    QPolygonF shade;
    shade << top << outline[0] << outline[1] << outline[2];
    p.setBrush(QColor(40, 20, 10, 60));
    p.drawPolygon(shade);
    p.setPen(QPen(Shade(dark, 0.8f), 0.8));
    p.drawLine(top, outline[0]);
    p.drawLine(top, outline[3]);
    p.setPen(QPen(pal::Ink, 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(outline);
}

void Lantern(QPainter& p, QPointF c)
{
    QRadialGradient glow(c, 14);
    glow.setColorAt(0, QColor(255, 220, 120, 150));
    glow.setColorAt(1, QColor(255, 200, 80, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, 14, 14);
    Shadow(p, c + QPointF(0, 11), 6, 1.8f);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(QColor(60, 56, 52));
    p.drawRect(QRectF(c.x() - 5, c.y() + 6, 10, 3));
    p.drawRect(QRectF(c.x() - 4, c.y() - 9, 8, 3));
    p.setBrush(QColor(255, 226, 140));
    p.drawRect(QRectF(c.x() - 4, c.y() - 6, 8, 12));
    p.setPen(QPen(QColor(60, 56, 52), 1.2));
    p.drawLine(c + QPointF(0, -6), c + QPointF(0, 6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 3, c.y() - 14, 6, 8), 0, 180 * 16);
}

void CrystalCluster(QPainter& p, QPointF c, Rng& rng, const QColor (&colours)[3], QColor edge, QColor shine)
{
    Shadow(p, c + QPointF(0, 10), 10, 2.5);
    for (int k = 0; k < 5; ++k) {
        const float a = -Pi / 2 + (static_cast<float>(k) - 2) * 0.42f;
        const float len = rng.Range(10, 16) * (k == 2 ? 1.2f : 1.0f);
        const QPointF base = c + QPointF((static_cast<float>(k) - 2) * 2.5f, 9);
        const QPointF tip = base + QPointF(std::cos(a) * len, std::sin(a) * len);
        const QPointF n(-std::sin(a) * 3, std::cos(a) * 3);
        QPolygonF s;
        s << base + n << base + n + (tip - base) * 0.8 << tip << base - n + (tip - base) * 0.8 << base - n;
        p.setPen(QPen(edge, 0.8));
        p.setBrush(colours[k % 3]);
        p.drawPolygon(s);
        p.setPen(QPen(shine, 0.7));
        p.drawLine(base + n * 0.3, tip);
    }
}

void WriteChapterTileSets(Output& out)
{
    for (const TileLook& look : {DesertTiles(), ForestTiles(), MineTiles(), CastleTiles(), IceTiles(), StarTiles()})
        out.Picture(look.Name, PaintTiles(look), Kind::Keyed);
    for (const OverlayLook& look : {DesertOverlay(), ForestOverlay(), MineOverlay(), CastleOverlay(), IceOverlay(), StarOverlay()})
        out.Picture(look.Name, PaintOverlay(look), Kind::Keyed);
}

} // namespace art
