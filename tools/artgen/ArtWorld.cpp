// The world: tile sheets, water templates, the water noise map and the backdrop.
#include "Sheets.h"
#include "TileLooks.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

QRgb ToRgb(QColor c)
{
    return qRgb(c.red(), c.green(), c.blue());
}
} // namespace

// Fills a tile with a noisy two-colour texture, tileable over 32 pixels.
void Texture(QImage& img, QRect r, QColor a, QColor b, float scale, int seed, float speckle)
{
    for (int y = 0; y < r.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(r.top() + y));
        for (int x = 0; x < r.width(); ++x) {
            float n = Fbm(static_cast<float>(x) / 32.0f * scale, static_cast<float>(y) / 32.0f * scale, seed, 3,
                          static_cast<int>(scale));
            n += (Hash01(x, y, seed) - 0.5f) * speckle;
            line[r.left() + x] = ToRgb(Mix(a, b, n * 1.4f - 0.2f));
        }
    }
}

// Stone walls and floors: rows of blocks with mortar, shaded per block.
void Blocks(QPainter& p, QRect r, QColor stone, QColor mortar, int rows, int cols, bool offset, int seed, bool bevel)
{
    p.save();
    p.setClipRect(r);
    p.fillRect(r, mortar);
    const float bh = static_cast<float>(r.height()) / static_cast<float>(rows);
    const float bw = static_cast<float>(r.width()) / static_cast<float>(cols);
    Rng rng(static_cast<uint64_t>(seed));
    for (int j = 0; j < rows; ++j)
        for (int i = -1; i <= cols; ++i) {
            const float x = static_cast<float>(r.left()) + bw * static_cast<float>(i) + (offset && (j % 2) ? bw / 2 : 0);
            const float y = static_cast<float>(r.top()) + bh * static_cast<float>(j);
            QRectF b(x + 0.8, y + 0.8, bw - 1.6, bh - 1.6);
            const QColor c = Shade(stone, rng.Range(0.85f, 1.12f));
            QLinearGradient g(b.topLeft(), b.bottomRight());
            g.setColorAt(0, bevel ? Shade(c, 1.18f) : c);
            g.setColorAt(1, bevel ? Shade(c, 0.82f) : c);
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawRoundedRect(b, 1.5, 1.5);
        }
    p.restore();
}

void Planks(QPainter& p, QRect r, QColor wood, bool vertical, int seed)
{
    p.save();
    p.setClipRect(r);
    Rng rng(static_cast<uint64_t>(seed));
    const int n = 4;
    for (int i = 0; i < n; ++i) {
        QRectF b = vertical ? QRectF(r.left() + i * 8, r.top(), 8, 32) : QRectF(r.left(), r.top() + i * 8, 32, 8);
        const QColor c = Shade(wood, rng.Range(0.85f, 1.1f));
        p.setPen(QPen(Shade(wood, 0.55f), 1));
        p.setBrush(c);
        p.drawRect(b.adjusted(0.5, 0.5, -0.5, -0.5));
        p.setPen(QPen(Shade(c, 0.8f), 0.7));
        for (int g = 0; g < 2; ++g) {
            const float o = rng.Range(2, 6);
            if (vertical)
                p.drawLine(QPointF(b.left() + o, b.top() + 2), QPointF(b.left() + o, b.bottom() - 2));
            else
                p.drawLine(QPointF(b.left() + 2, b.top() + o), QPointF(b.right() - 2, b.top() + o));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Shade(wood, 0.5f));
        if (vertical)
            p.drawEllipse(QPointF(b.center().x(), b.top() + rng.Range(6, 26)), 0.9, 0.9);
        else
            p.drawEllipse(QPointF(b.left() + rng.Range(6, 26), b.center().y()), 0.9, 0.9);
    }
    p.restore();
}

QRect TileRect(int index)
{
    const int b = index / 64, j = (index % 64) / 4, k = index % 4;
    return QRect((4 * b + k) * 32, 32 * j, 32, 32);
}

void CapBand(QPainter& p, QRectF cap, QColor light, QColor dark, QColor edge)
{
    QLinearGradient g(cap.topLeft(), cap.bottomLeft());
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(edge, 1));
    p.setBrush(g);
    p.drawRect(cap.adjusted(0, 0, 0, -0.5));
}

void LeafyCrown(QPainter& p, QPointF centre, int clumps, float ring, float heart, QColor dark, QColor light)
{
    for (int k = 0; k < clumps; ++k) {
        const float a = 2 * Pi * static_cast<float>(k) / static_cast<float>(clumps);
        Ball(p, centre + QPointF(std::cos(a) * ring, std::sin(a) * ring), 12, Mix(dark, light, (k % 3) / 2.0f), 1.0f);
    }
    Ball(p, centre, heart, light, 0);
}

void Flower(QPainter& p, QPointF c, QColor petal)
{
    p.setPen(Qt::NoPen);
    p.setBrush(petal);
    for (int k = 0; k < 5; ++k) {
        const float a = 2 * Pi * static_cast<float>(k) / 5;
        p.drawEllipse(c + QPointF(std::cos(a) * 2, std::sin(a) * 2), 1.6, 1.6);
    }
    p.setBrush(QColor(250, 220, 80));
    p.drawEllipse(c, 1.2, 1.2);
}

void Bush(QPainter& p, QPointF c, float r, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    p.setPen(QPen(pal::Ink, 1));
    for (int k = 0; k < 6; ++k) {
        const float a = 2 * Pi * static_cast<float>(k) / 6 + rng.Range(0, 0.5f);
        Ball(p, c + QPointF(std::cos(a) * r * 0.5, std::sin(a) * r * 0.45), r * 0.55f, Mix(pal::GrassDark, pal::Grass, rng.Unit()),
             1.0f);
    }
    Ball(p, c, r * 0.6f, pal::Grass, 0);
}

void EdgeBlend(QImage& img, QRect r, QColor a1, QColor a2, QColor b1, QColor b2, int side, int seed)
{
    for (int y = 0; y < 32; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(r.top() + y));
        for (int x = 0; x < 32; ++x) {
            float along = (side == 0 || side == 1) ? static_cast<float>(x) : static_cast<float>(y);
            float across = side == 0 ? static_cast<float>(y) : side == 1 ? 31.0f - static_cast<float>(y)
                          : side == 2 ? static_cast<float>(x) : 31.0f - static_cast<float>(x);
            const float edge = 12 + (ValueNoise(along / 8.0f, 0, seed, 4, 0) - 0.5f) * 8;
            const float n = Fbm(static_cast<float>(x) / 8.0f, static_cast<float>(y) / 8.0f, seed + 5, 3, 4);
            const QColor ga = Mix(a1, a2, n * 1.4f - 0.2f);
            const QColor gb = Mix(b1, b2, n * 1.4f - 0.2f);
            const float t = std::clamp((across - edge) / 2.5f + 0.5f, 0.0f, 1.0f);
            line[r.left() + x] = ToRgb(Mix(gb, ga, t));
        }
    }
}

// The first chapter's tiles: grass, dirt, sand and gravel, four stones, flagstones,
// cobbles, planks and carpets, and bushes, rocks, barrels and the like.
TileLook BasicTiles()
{
    const QColor dirt1(150, 112, 70), dirt2(112, 80, 48), sand1(222, 200, 146), sand2(190, 164, 110);
    TileLook t;
    t.Name = "BasicTiles.jpg";
    t.Grounds[0] = {pal::GrassDark, pal::GrassLight, 4, 0.3f};
    t.Grounds[1] = {dirt2, dirt1, 4, 0.4f};
    t.Grounds[2] = {sand2, sand1, 4, 0.25f};
    t.Grounds[3] = {QColor(110, 106, 100), QColor(170, 164, 150), 8, 0.9f};
    t.GroundDetail = [](QPainter& p, QRect r, int, int i, Rng& rng) {
        const QColor petals[4] = {QColor(250, 250, 240), QColor(240, 200, 60), QColor(220, 80, 70), QColor(150, 120, 230)};
        for (int k = 0; k < 3 + i % 3; ++k)
            Flower(p, QPointF(r.left() + rng.Range(5, 27), r.top() + rng.Range(5, 27)), petals[(i + k) % 4]);
    };
    const QColor stones[4] = {pal::Stone, QColor(150, 110, 88), QColor(120, 126, 112), QColor(170, 150, 120)};
    for (int g = 0; g < 4; ++g)
        t.Walls[g] = [s = stones[g]](QPainter& p, QRect r, int v, int i, Rng& rng) {
            StoneWall(p, r, s, v, i, [](QPainter& q, QRect c, Rng& m) {
                // Moss on the blocks.
                q.setPen(Qt::NoPen);
                for (int k = 0; k < 6; ++k) {
                    q.setBrush(QColor(90, 140, 50, 200));
                    q.drawEllipse(QPointF(c.left() + m.Range(2, 30), c.top() + m.Range(2, 30)), m.Range(2, 4), m.Range(1, 2.5f));
                }
            }, rng);
        };
    t.Floors[0] = [](QPainter& p, QRect r, int v, int i, Rng&) { Blocks(p, r, QColor(160, 150, 132), QColor(96, 88, 76), 2, 2, v % 2 == 1, i); };
    t.Floors[1] = [](QPainter& p, QRect r, int, int i, Rng&) { Blocks(p, r, QColor(140, 128, 118), QColor(80, 72, 64), 4, 4, true, i, false); };
    t.Floors[2] = [](QPainter& p, QRect r, int v, int i, Rng&) { Planks(p, r, v < 8 ? pal::Wood : QColor(170, 120, 70), v % 2 == 1, i); };
    t.Floors[3] = [](QPainter& p, QRect r, int v, int, Rng&) {
        const QColor a = v < 8 ? QColor(170, 60, 50) : QColor(60, 90, 150);
        p.fillRect(r, a);
        p.setPen(QPen(QColor(230, 190, 90), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(r).adjusted(3, 3, -3, -3));
        p.setPen(QPen(Shade(a, 0.6f), 1));
        p.drawRect(QRectF(r).adjusted(6, 6, -6, -6));
    };
    for (int kind = 0; kind < 8; ++kind)
        t.Things[kind] = [kind](QPainter& p, QPointF c, int i, Rng& rng) {
            switch (kind) {
            case 0: Bush(p, c, 13, i); break;
            case 1: DrawBoulder(p, c + QPointF(0, 3), 9, i); break;
            case 2: {
                // Barrel.
                p.setPen(QPen(pal::Ink, 1));
                QLinearGradient g(QPointF(c.x() - 9, 0), QPointF(c.x() + 9, 0));
                g.setColorAt(0, pal::WoodDark);
                g.setColorAt(0.4, Shade(pal::Wood, 1.2f));
                g.setColorAt(1, pal::WoodDark);
                p.setBrush(g);
                p.drawRoundedRect(QRectF(c.x() - 9, c.y() - 12, 18, 24), 5, 5);
                p.setPen(QPen(QColor(70, 70, 80), 1.5));
                p.drawLine(QPointF(c.x() - 9, c.y() - 6), QPointF(c.x() + 9, c.y() - 6));
                p.drawLine(QPointF(c.x() - 9, c.y() + 6), QPointF(c.x() + 9, c.y() + 6));
                break;
            }
            case 3: {
                // Crate.
                QRectF b(c.x() - 12, c.y() - 12, 24, 24);
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(QColor(176, 130, 74));
                p.drawRect(b);
                p.setPen(QPen(pal::WoodDark, 2));
                p.drawRect(b.adjusted(2, 2, -2, -2));
                p.drawLine(b.topLeft() + QPointF(2, 2), b.bottomRight() - QPointF(2, 2));
                break;
            }
            case 4: {
                // Tuft of tall grass.
                p.setPen(QPen(pal::GrassDark, 1.5, Qt::SolidLine, Qt::RoundCap));
                for (int k = -3; k <= 3; ++k)
                    p.drawLine(c + QPointF(k * 2, 8), c + QPointF(k * 3.5, -6 - (k % 2) * 3));
                p.setPen(QPen(pal::GrassLight, 1, Qt::SolidLine, Qt::RoundCap));
                for (int k = -2; k <= 2; ++k)
                    p.drawLine(c + QPointF(k * 2 + 1, 8), c + QPointF(k * 3 + 1, -3));
                break;
            }
            case 5: {
                // Mushrooms.
                for (int k = 0; k < 2; ++k) {
                    const QPointF m = c + QPointF(k ? 6 : -5, k ? 4 : -1);
                    p.setPen(QPen(pal::Ink, 0.8));
                    p.setBrush(QColor(240, 230, 210));
                    p.drawRect(QRectF(m.x() - 1.5, m.y(), 3, 6));
                    p.setBrush(QColor(200, 50, 40));
                    p.drawChord(QRectF(m.x() - 6, m.y() - 5, 12, 10), 0, 180 * 16);
                    p.setPen(Qt::NoPen);
                    p.setBrush(Qt::white);
                    p.drawEllipse(m + QPointF(-2, -2.5), 1, 1);
                    p.drawEllipse(m + QPointF(2, -3), 0.8, 0.8);
                }
                break;
            }
            case 6: {
                // Torch on a post.
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(pal::WoodDark);
                p.drawRect(QRectF(c.x() - 2, c.y() - 4, 4, 16));
                DrawFlame(p, c + QPointF(0, -8), 9, static_cast<float>(i % 4) / 4.0f, i);
                break;
            }
            default: {
                // Pebbles.
                for (int k = 0; k < 5; ++k)
                    Ball(p, c + QPointF(rng.Range(-10, 10), rng.Range(-8, 10)), rng.Range(2, 3.5f),
                         Mix(pal::Stone, pal::StoneLight, rng.Unit()), 0.8f);
                break;
            }
            }
        };
    return t;
}

// The first chapter's overlay: leafy crowns, grey stone arches and caps, wooden rails,
// vines and bushes.
OverlayLook BasicOverlay()
{
    OverlayLook o;
    o.Name = "BasicOverlay.jpg";
    o.Crown = [](QPainter& p, QPointF centre, int, Rng&) { LeafyCrown(p, centre, 9, 16, 18, pal::GrassDark, pal::Grass); };
    o.ArchLight = pal::StoneLight;
    o.Arch = pal::Stone;
    o.CapLight = Shade(pal::Stone, 1.35f);
    o.Cap = pal::Stone;
    o.Rail = pal::Wood;
    o.Hanging = [](QPainter& p, QRect r, int, int, Rng& rng) {
        for (int k = 0; k < 4; ++k) {
            const float x = static_cast<float>(r.left()) + 4 + static_cast<float>(k) * 8 + rng.Range(-2, 2);
            const float len = rng.Range(10, 30);
            p.setPen(QPen(pal::GrassDark, 2));
            p.drawLine(QPointF(x, r.top()), QPointF(x + rng.Range(-2, 2), r.top() + len));
            p.setPen(Qt::NoPen);
            p.setBrush(pal::Grass);
            for (float y = 4; y < len; y += 6)
                p.drawEllipse(QPointF(x + (static_cast<int>(y) % 12 ? 2 : -2), r.top() + y), 2.2, 1.4);
        }
    };
    o.Bush = [](QPainter& p, QPointF c, int i, Rng&) { Bush(p, c, 12, i); };
    return o;
}

static void WriteWater(Output& out)
{
    // Four 128 x 128 blocks, one per edge style; inside, the template of an edge set
    // (the sides with water beside them) is at x = 32*(Up not in set) + 64*(Right not
    // in set), y = 32*(Down not in set) + 64*(Left not in set). Pure blue animates,
    // magenta lets the tiles show, anything else is shore.
    QImage img = NewLayer(512, 128);
    for (int style = 0; style < 4; ++style)
        for (int set = 0; set < 16; ++set) {
            const bool up = set & 1, right = set & 2, down = set & 4, left = set & 8; // water on that side
            const int tx = 128 * style + (up ? 0 : 32) + (right ? 0 : 64);
            const int ty = (down ? 0 : 32) + (left ? 0 : 64);
            for (int y = 0; y < 32; ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(ty + y));
                for (int x = 0; x < 32; ++x) {
                    // Distance to the nearest dry side, rounded at dry corners; the shore
                    // wobbles along each side with a pattern that repeats every cell so
                    // neighbouring cells join.
                    const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
                    float d = 100;
                    auto wob = [&](float along, int seed) {
                        return style == 3 ? 0.0f : (ValueNoise(along / 8.0f, 0, seed, 4, 0) - 0.5f) * 3.0f;
                    };
                    if (!up)
                        d = std::min(d, fy + wob(fx, 11));
                    if (!down)
                        d = std::min(d, 32 - fy + wob(fx, 12));
                    if (!left)
                        d = std::min(d, fx + wob(fy, 13));
                    if (!right)
                        d = std::min(d, 32 - fx + wob(fy, 14));
                    const float rc = style == 3 ? 0.0f : 10.0f;
                    auto corner = [&](bool dryA, bool dryB, float cx, float cy) {
                        if (dryA && dryB && std::fabs(fx - cx) < rc && std::fabs(fy - cy) < rc) {
                            const float ox = cx < 16 ? cx + rc : cx - rc, oy = cy < 16 ? cy + rc : cy - rc;
                            const bool inside = (cx < 16 ? fx < ox : fx > ox) && (cy < 16 ? fy < oy : fy > oy);
                            if (inside)
                                d = std::min(d, rc - std::hypot(fx - ox, fy - oy));
                        }
                    };
                    corner(!up, !left, 0, 0);
                    corner(!up, !right, 32, 0);
                    corner(!down, !left, 0, 32);
                    corner(!down, !right, 32, 32);
                    QRgb c;
                    const float n = Hash01(x, y, style * 31 + set);
                    switch (style) {
                    case 0: // grassy bank: tiles show beyond a muddy edge and foam
                        if (d < 3)
                            c = Magenta;
                        else if (d < 5.5f)
                            c = ToRgb(Mix(QColor(92, 70, 40), QColor(120, 94, 56), n));
                        else if (d < 7)
                            c = qRgb(196, 224, 232);
                        else
                            c = WaterBlue;
                        break;
                    case 1: // stone rim
                        if (d < 6) {
                            const bool joint = (static_cast<int>((up && down) ? fy : fx) % 8) == 0;
                            const QColor s = Mix(pal::StoneDark, pal::StoneLight, 1 - d / 6.0f + n * 0.2f);
                            c = joint ? ToRgb(Shade(pal::StoneDark, 0.7f)) : ToRgb(s);
                        } else if (d < 7.5f)
                            c = qRgb(60, 72, 70);
                        else
                            c = WaterBlue;
                        break;
                    case 2: // sandy beach
                        if (d < 2)
                            c = Magenta;
                        else if (d < 8)
                            c = ToRgb(Mix(QColor(226, 204, 150), QColor(190, 170, 120), (d - 2) / 6.0f + n * 0.15f));
                        else if (d < 9.5f)
                            c = qRgb(236, 244, 240);
                        else
                            c = WaterBlue;
                        break;
                    default: // square canal edge
                        if (d < 2)
                            c = ToRgb(Shade(pal::StoneDark, 0.8f));
                        else if (d < 3)
                            c = qRgb(70, 84, 90);
                        else
                            c = WaterBlue;
                        break;
                    }
                    line[tx + x] = c == Magenta ? 0u : c;
                }
            }
        }
    out.Picture("WaterTemplates.jpg", img, Kind::Keyed);

    // The grey noise map: 30 frames of 256 x 256, seamless in x and y and looping in
    // time: waves with whole wave numbers and whole turns over the 30 frames. Bright
    // crests become the low values that the water painter shows as sparkles.
    QImage bw(256, 7680, QImage::Format_RGB32);
    struct Wave {
        int Kx, Ky, Turns;
        float Amp, Phase;
    };
    const Wave waves[] = {{1, 2, 1, 1.0f, 0.3f}, {3, -1, -1, 0.8f, 1.7f}, {-2, 3, 2, 0.6f, 4.1f}, {5, 2, -2, 0.45f, 2.2f},
                          {-4, -5, 1, 0.35f, 0.9f}, {7, -3, 3, 0.25f, 5.0f}, {2, 7, -3, 0.2f, 3.3f}, {-9, 4, 2, 0.15f, 1.1f}};
    for (int f = 0; f < 30; ++f)
        for (int y = 0; y < 256; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(bw.scanLine(256 * f + y));
            for (int x = 0; x < 256; ++x) {
                float s = 0, norm = 0;
                for (const Wave& w : waves) {
                    s += w.Amp * std::cos(2 * Pi * (static_cast<float>(w.Kx * x + w.Ky * y) / 256.0f +
                                                    static_cast<float>(w.Turns * f) / 30.0f) + w.Phase);
                    norm += w.Amp;
                }
                s /= norm;                           // -1..1
                const float ridge = 1 - std::fabs(s); // 0..1, 1 on the crests
                float v = 95 + 150 * (1 - ridge * ridge);
                if (ridge > 0.993f)
                    v = 40;                           // sparkle
                const int g = std::clamp(static_cast<int>(std::lround(v)), 0, 255);
                line[x] = qRgb(g, g, g);
            }
        }
    out.Picture("WaterBW.jpg", bw, Kind::Opaque);
}

static void WriteBackdrop(Output& out)
{
    // "Morrowfinch": a sunny meadow with a winding path, seen from above.
    QImage img(512, 480, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 480; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < 512; ++x) {
            const float n = Fbm(static_cast<float>(x) / 48.0f, static_cast<float>(y) / 48.0f, 71, 5);
            const float fine = Hash01(x, y, 72);
            QColor c = Mix(pal::GrassDark, pal::GrassLight, n * 1.5f - 0.25f + (fine - 0.5f) * 0.2f);
            // Path.
            const float px = 256 + std::sin(static_cast<float>(y) / 70.0f) * 90 + (n - 0.5f) * 30;
            const float dist = std::fabs(static_cast<float>(x) - px);
            if (dist < 26)
                c = Mix(c, Mix(QColor(168, 130, 84), QColor(206, 176, 120), n + (fine - 0.5f) * 0.3f),
                        std::clamp((26 - dist) / 6.0f, 0.0f, 1.0f));
            line[x] = qRgb(c.red(), c.green(), c.blue());
        }
    }
    QPainter p(&img);
    Smooth(p);
    Rng rng(74);
    const QColor petals[4] = {QColor(250, 250, 240), QColor(240, 200, 60), QColor(220, 80, 70), QColor(160, 130, 230)};
    for (int k = 0; k < 160; ++k)
        Flower(p, QPointF(rng.Range(4, 508), rng.Range(4, 476)), petals[k % 4]);
    for (int k = 0; k < 14; ++k)
        Ball(p, QPointF(rng.Range(10, 500), rng.Range(10, 470)), rng.Range(3, 6), Mix(pal::Stone, pal::StoneLight, rng.Unit()), 0.8f);
    p.end();
    out.Picture("Morrowfinch.jpg", img, Kind::Opaque);
}

void WriteWorldSheets(Output& out)
{
    out.Picture("BasicTiles.jpg", PaintTiles(BasicTiles()), Kind::Keyed);
    out.Picture("BasicOverlay.jpg", PaintOverlay(BasicOverlay()), Kind::Keyed);
    WriteWater(out);
    WriteBackdrop(out);
}

} // namespace art
