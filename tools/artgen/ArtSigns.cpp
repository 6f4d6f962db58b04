// The pictures of the information signs that teach the game, one idea each. A picture is
// a little scene of the playfield on a wooden board, painted from the game's own tiles
// and sprites, with a dark field along the bottom where the sign's caption goes (the
// pop-up draws it in the menu font, centred 30 pixels above the bottom edge).
#include "Sheets.h"
#include "WorldPaint.h"

#include <QFile>

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

// The whole picture, the scene inside it (8 x 4 cells of the playfield, enlarged) and the
// caption's field.
constexpr int SignW = 400, SignH = 300;
const QRectF SceneRect(24, 20, 352, 176);
constexpr float CellScale = 352.0f / 256.0f;
const QRectF CaptionField(22, 216, 356, 64);

// A picture the generator wrote earlier, with its key colour and mask made transparent.
QImage Written(const Output& out, const std::string& name)
{
    QFile f(QString::fromStdString(out.Dir() + "/" + name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    QImage img;
    if (!DecodeJpeg(std::string(bytes.constData(), static_cast<size_t>(bytes.size())), img))
        return {};
    img = img.convertToFormat(QImage::Format_ARGB32);
    const QImage mask(QString::fromStdString(out.Dir() + "/" + name + ".mask"));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (InMagentaBox(img.pixel(x, y)) || (!mask.isNull() && qRed(mask.pixel(x, y)) > 128))
                img.setPixel(x, y, 0);
    return img;
}

struct Sheets {
    QImage Tiles, Base, Exits, WaterEdges, WaterNoise;
};

// Paints in playfield pixels: cell (x, y) covers (32x, 32y) to (32x + 31, 32y + 31).
class Scene {
public:
    Scene(QPainter& p, const Sheets& s) : P(p), S(s) {}
    QPainter& P;
    const Sheets& S;

    static QPointF Centre(float x, float y) { return QPointF(32 * x + 16, 32 * y + 16); }
    static QPointF Feet(float x, float y) { return QPointF(32 * x + 16, 32 * y + 27); }

    void Tile(int index, int x, int y) const { P.drawImage(QPointF(32 * x, 32 * y), S.Tiles, TileRect(index)); }
    // The meadow: grass, with flowers here and there.
    void Ground() const
    {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                Tile((x * 5 + y * 3) % 7 == 2 ? 48 + (x + y * 8) % 16 : 16 + (x * 3 + y) % 4, x, y);
    }
    void Wall(int x, int y) const { Tile(65, x, y); }
    void Floor(int x, int y) const { Tile(129, x, y); }
    void Dirt(float x, float y) const { P.drawImage(Centre(x, y) - QPointF(16, 16), S.Base, QRect(96, 288, 32, 32)); }
    // Water a boulder has filled.
    void FilledWater(int x, int y) const
    {
        Water(x, y, 1, 1);
        P.drawImage(QPointF(32 * x, 32 * y), S.Base, QRect(96, 224, 32, 32));
    }
    // An exit door, frame 0 closed to 6 open, standing on its cell.
    void Door(float x, float y, int frame) const { P.drawImage(QPointF(32 * x, 32 * y - 32), S.Exits, QRect(32 * frame, 0, 32, 64)); }

    // A pool of w x h cells drawn as the game draws water: the grassy bank's edge
    // pictures, and the water's colours from its grey ripple map and the usual tint.
    void Water(int x0, int y0, int w, int h) const
    {
        const int nh = S.WaterNoise.height() / 30;
        auto grey = [&](int x, int y, int frame) { return qBlue(S.WaterNoise.pixel(x & 255, frame * nh + (y % nh + nh) % nh)); };
        QImage cell(32, 32, QImage::Format_ARGB32);
        for (int cy = y0; cy < y0 + h; ++cy)
            for (int cx = x0; cx < x0 + w; ++cx) {
                const bool up = cy > y0, down = cy < y0 + h - 1, left = cx > x0, right = cx < x0 + w - 1;
                const int tx = (up ? 0 : 32) + (right ? 0 : 64), ty = (down ? 0 : 32) + (left ? 0 : 64);
                for (int r = 0; r < 32; ++r)
                    for (int c = 0; c < 32; ++c) {
                        const QRgb t = S.WaterEdges.pixel(tx + c, ty + r);
                        QRgb out = t;
                        if (qAlpha(t) > 0 && InBlueBox(t)) {
                            const int gx = cx * 32 + c, gy = cy * 32 + r;
                            const int k = (grey(gx, gy, 0) + grey(gx, gy, 3) + grey(gx + 128, nh - 1 - gy, 7) +
                                           grey(gx + 128, nh - 1 - gy, 10)) / 4;
                            const double l = std::log10(static_cast<double>(k + 1)) * (k - 64);
                            auto channel = [&](int tint) { return l < 0 ? 255 : std::min(255, static_cast<int>(l * tint) / 128); };
                            out = SafeOpaque(qRgb(channel(0x40), channel(0x60), channel(0x80)));
                        }
                        cell.setPixel(c, r, out);
                    }
                P.drawImage(QPointF(32 * cx, 32 * cy), cell);
            }
    }

    void Hero(float x, float y, Facing f, float phase = 0, int pose = 0) const { DrawHero(P, Feet(x, y), f, phase, pose); }
    void Boulder(float x, float y, int seed = 7) const { DrawBoulder(P, Centre(x, y), 12, seed); }
    void Key(float x, float y) const { DrawKey(P, Centre(x, y), 22, 0); }
    void Gem(float x, float y, QColor c = QColor(214, 70, 196)) const { DrawGem(P, Centre(x, y) + QPointF(0, 1), 18, 18, c, 0.1f); }
    void Bomb(float x, float y, float fuse = 0) const { DrawBomb(P, Centre(x, y) + QPointF(0, 3), 9, fuse); }

    // A gold arrow with an ink edge from a to b (playfield pixels).
    void Arrow(QPointF a, QPointF b, QColor fill = pal::Gold, float width = 4) const
    {
        const QPointF d = b - a;
        const float len = static_cast<float>(std::hypot(d.x(), d.y()));
        if (len < 1)
            return;
        const QPointF u = d / len, n(-u.y(), u.x());
        const float head = width * 2.4f;
        QPainterPath path;
        path.moveTo(a + n * (width / 2));
        path.lineTo(b - u * head + n * (width / 2));
        path.lineTo(b - u * head + n * head * 0.75f);
        path.lineTo(b);
        path.lineTo(b - u * head - n * head * 0.75f);
        path.lineTo(b - u * head - n * (width / 2));
        path.lineTo(a - n * (width / 2));
        path.closeSubpath();
        P.setPen(QPen(pal::Ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        P.setBrush(fill);
        P.drawPath(path);
    }
    void CellArrow(float x0, float y0, float x1, float y1, QColor fill = pal::Gold) const
    {
        Arrow(Centre(x0, y0), Centre(x1, y1), fill);
    }

    // A key of the keyboard with a label (a letter, or an arrow when the label is empty).
    void KeyCap(QPointF c, const QString& label, float w = 20, int arrow = -1) const
    {
        const QRectF r(c.x() - w / 2, c.y() - 10, w, 20);
        P.setPen(Qt::NoPen);
        P.setBrush(QColor(0, 0, 0, 90));
        P.drawRoundedRect(r.translated(1, 2), 4, 4);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(250, 240, 220));
        g.setColorAt(1, QColor(196, 180, 150));
        P.setPen(QPen(pal::Ink, 1));
        P.setBrush(g);
        P.drawRoundedRect(r, 4, 4);
        P.setPen(QPen(QColor(255, 255, 255, 160), 0.8));
        P.setBrush(Qt::NoBrush);
        P.drawRoundedRect(r.adjusted(2, 1.5, -2, -4), 3, 3);
        if (arrow >= 0) {
            const float a = static_cast<float>(arrow) * Pi / 2;
            const QPointF u(std::sin(a), -std::cos(a)), n(-u.y(), u.x());
            const QPointF m = c + QPointF(0, -1);
            QPolygonF t;
            t << m + u * 5 << m - u * 4 + n * 4.5 << m - u * 4 - n * 4.5;
            P.setPen(Qt::NoPen);
            P.setBrush(QColor(60, 34, 14));
            P.drawPolygon(t);
        } else {
            P.setFont(SansBold(11));
            P.setPen(QColor(60, 34, 14));
            P.drawText(r.adjusted(0, -2, 0, -2), Qt::AlignCenter, label);
        }
    }

    void Star(QPointF c, float r, bool lit) const
    {
        QPolygonF star;
        for (int k = 0; k < 10; ++k) {
            const float a = Pi * static_cast<float>(k) / 5 - Pi / 2;
            const float rr = k % 2 ? r * 0.45f : r;
            star << c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
        }
        P.setPen(QPen(pal::Ink, 1));
        P.setBrush(lit ? pal::Gold : QColor(120, 110, 100));
        P.drawPolygon(star);
        if (lit) {
            P.setPen(Qt::NoPen);
            P.setBrush(QColor(255, 250, 220, 170));
            P.drawEllipse(c + QPointF(-r * 0.2, -r * 0.3), r * 0.25, r * 0.18);
        }
    }

    void Cross(QPointF c, float r = 7) const
    {
        for (int pass = 0; pass < 2; ++pass) {
            P.setPen(QPen(pass ? QColor(220, 50, 40) : pal::Ink, pass ? 3.2 : 5.6, Qt::SolidLine, Qt::RoundCap));
            P.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
            P.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
        }
    }

    void Tick(QPointF c, float r = 7) const
    {
        for (int pass = 0; pass < 2; ++pass) {
            P.setPen(QPen(pass ? QColor(110, 200, 80) : pal::Ink, pass ? 3.2 : 5.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            P.setBrush(Qt::NoBrush);
            QPainterPath t;
            t.moveTo(c + QPointF(-r, 0));
            t.lineTo(c + QPointF(-r * 0.3f, r * 0.7f));
            t.lineTo(c + QPointF(r, -r * 0.8f));
            P.drawPath(t);
        }
    }

    // A round badge with a number, for the order of things.
    void Badge(QPointF c, int n) const
    {
        Ball(P, c, 6.5f, QColor(200, 60, 40), 1);
        P.setFont(SansBold(9));
        P.setPen(QColor(255, 246, 220));
        P.drawText(QRectF(c.x() - 7, c.y() - 7.5, 14, 14), Qt::AlignCenter, QString::number(n));
    }

    // The bright burst of an explosion.
    void Burst(QPointF c, float r) const
    {
        QRadialGradient b(c, r);
        b.setColorAt(0, QColor(255, 250, 210));
        b.setColorAt(0.35, QColor(255, 200, 80));
        b.setColorAt(0.7, QColor(240, 110, 30, 200));
        b.setColorAt(1, QColor(200, 60, 20, 0));
        P.setPen(Qt::NoPen);
        P.setBrush(b);
        QPolygonF s;
        for (int k = 0; k < 16; ++k) {
            const float a = 2 * Pi * static_cast<float>(k) / 16;
            const float rr = k % 2 ? r * 0.55f : r;
            s << c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
        }
        P.drawPolygon(s);
    }

    void Fireball(QPointF c, float len) const
    {
        QLinearGradient g(c - QPointF(len, 0), c + QPointF(4, 0));
        g.setColorAt(0, QColor(255, 120, 20, 0));
        g.setColorAt(0.7, QColor(255, 170, 50, 220));
        g.setColorAt(1, QColor(255, 250, 210));
        P.setPen(Qt::NoPen);
        P.setBrush(g);
        QPainterPath f;
        f.moveTo(c + QPointF(5, 0));
        f.cubicTo(c + QPointF(4, -6), c + QPointF(-len * 0.4, -5), c - QPointF(len, 0));
        f.cubicTo(c + QPointF(-len * 0.4, 5), c + QPointF(4, 6), c + QPointF(5, 0));
        P.drawPath(f);
        P.setBrush(QColor(255, 252, 230));
        P.drawEllipse(c, 3.2, 3.2);
    }
};

// The board: dark wood with a gold trim, the scene in a framed window, the caption field.
QImage Board(int seed, const Sheets& sheets, const std::function<void(Scene&)>& paint)
{
    QImage img = NewLayer(SignW, SignH);
    QPainter p(&img);
    Smooth(p);
    const QRectF all(0, 0, SignW, SignH);
    QLinearGradient g(all.topLeft(), all.bottomLeft());
    g.setColorAt(0, QColor(112, 72, 38));
    g.setColorAt(1, QColor(70, 42, 22));
    p.fillRect(all, g);
    p.setPen(QPen(QColor(50, 30, 14, 120), 1));
    for (int y = 30; y < SignH; y += 30)
        p.drawLine(QPointF(0, y), QPointF(SignW, y));
    p.setPen(QPen(pal::Ink, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(1, 1, -1, -1));
    p.setPen(QPen(pal::GoldDark, 3));
    p.drawRoundedRect(all.adjusted(7, 7, -7, -7), 12, 12);
    p.setPen(QPen(pal::Gold, 1));
    p.drawRoundedRect(all.adjusted(10, 10, -10, -10), 10, 10);

    // The scene, clipped to its window.
    {
        QPainterPath window;
        window.addRoundedRect(SceneRect, 8, 8);
        p.save();
        p.setClipPath(window);
        p.translate(SceneRect.topLeft());
        p.scale(CellScale, CellScale);
        Scene s(p, sheets);
        paint(s);
        p.restore();
        p.setPen(QPen(pal::Ink, 3));
        p.setBrush(Qt::NoBrush);
        p.drawPath(window);
        p.setPen(QPen(pal::Gold, 1.5));
        p.drawRoundedRect(SceneRect.adjusted(-2.5, -2.5, 2.5, 2.5), 10, 10);
    }

    // The caption's field: plain and dark, so the menu font's gold reads on it.
    QRadialGradient fg(CaptionField.center(), CaptionField.width() * 0.6);
    fg.setColorAt(0, QColor(74, 46, 28));
    fg.setColorAt(1, QColor(50, 30, 18));
    p.setPen(QPen(pal::GoldDark, 2));
    p.setBrush(fg);
    p.drawRoundedRect(CaptionField, 10, 10);
    p.setPen(QPen(pal::Gold, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(CaptionField.adjusted(3, 3, -3, -3), 8, 8);
    p.end();
    Grain(img, img.rect(), 0.04f, seed);
    return img;
}

struct Sign {
    const char* Name;
    std::function<void(Scene&)> Paint;
};

std::vector<Sign> Signs()
{
    return {
        {"Sign_Walking.jpg",
         [](Scene& s) {
             // The hero strolls across the meadow; the arrow keys steer him.
             s.Ground();
             s.Hero(2.8f, 2, Facing::Right, 0.25f);
             s.CellArrow(3.5f, 2, 4.5f, 2);
             const QPointF k(192, 64);
             s.KeyCap(k + QPointF(0, -12), "", 20, 0);
             s.KeyCap(k + QPointF(-22, 12), "", 20, 3);
             s.KeyCap(k + QPointF(0, 12), "", 20, 2);
             s.KeyCap(k + QPointF(22, 12), "", 20, 1);
         }},
        {"Sign_KeyAndExit.jpg",
         [](Scene& s) {
             // Take the key, and the door opens for you.
             s.Ground();
             for (int x = 5; x < 8; ++x) {
                 s.Wall(x, 0);
                 for (int y = 1; y < 4; ++y)
                     s.Floor(x, y);
             }
             s.Door(6, 2, 6);
             s.Hero(0.6f, 2, Facing::Right, 0.25f);
             s.Key(2.5f, 2);
             s.CellArrow(1.2f, 2, 2.0f, 2);
             s.CellArrow(3.0f, 2, 5.4f, 2);
         }},
        {"Sign_Jewels.jpg",
         [](Scene& s) {
             // Out with the key alone: partly solved (one star). With every jewel too:
             // solved (two stars).
             s.Ground();
             for (int x = 0; x < 8; ++x) {
                 s.Floor(x, 0);
                 s.Floor(x, 1);
             }
             s.Key(0.5f, 0.6f);
             s.CellArrow(1.1f, 0.6f, 2.7f, 0.6f);
             s.Door(3.3f, 1, 6);
             s.Star(Scene::Centre(5.3f, 0.6f), 9, true);
             s.Star(Scene::Centre(6.3f, 0.6f), 9, false);
             s.Key(0.5f, 2.5f);
             s.Gem(1.3f, 2.5f);
             s.Gem(2.1f, 2.5f, QColor(48, 110, 224));
             s.CellArrow(2.6f, 2.5f, 3.6f, 2.5f);
             s.Door(4.1f, 2.9f, 6);
             s.Star(Scene::Centre(5.6f, 2.5f), 9, true);
             s.Star(Scene::Centre(6.6f, 2.5f), 9, true);
         }},
        {"Sign_Dirt.jpg",
         [](Scene& s) {
             // Dirt is cleared by walking through it.
             s.Ground();
             for (int x = 0; x < 8; ++x) {
                 s.Wall(x, 0);
                 s.Wall(x, 3);
             }
             for (int x = 4; x < 8; ++x) {
                 s.Dirt(x, 1);
                 s.Dirt(x, 2);
             }
             s.Dirt(3, 1);
             s.Hero(3, 2, Facing::Right, 0.25f);
             s.CellArrow(3.5f, 2, 4.5f, 2);
         }},
        {"Sign_Boulders.jpg",
         [](Scene& s) {
             // Push a boulder by walking into it; pushed into a corner it is stuck, and R
             // starts the level again.
             s.Ground();
             s.Hero(0.4f, 1, Facing::Right, 0.25f);
             s.Boulder(1.5f, 1);
             s.CellArrow(2.1f, 1, 3.2f, 1);
             for (int x = 4; x < 8; ++x)
                 s.Wall(x, 0);
             for (int y = 0; y < 4; ++y)
                 s.Wall(7, y);
             s.Boulder(6, 1, 11);
             s.Cross(Scene::Centre(6, 1) + QPointF(10, 10), 5);
             const QPointF r = Scene::Centre(2, 2.9f);
             s.KeyCap(r, "R", 24);
             s.P.setPen(QPen(pal::Ink, 4.5, Qt::SolidLine, Qt::RoundCap));
             s.P.setBrush(Qt::NoBrush);
             const QRectF ring(r.x() + 20, r.y() - 11, 22, 22);
             s.P.drawArc(ring, 60 * 16, 280 * 16);
             s.P.setPen(QPen(pal::Gold, 2.5, Qt::SolidLine, Qt::RoundCap));
             s.P.drawArc(ring, 60 * 16, 280 * 16);
             s.Arrow(ring.center() + QPointF(5, -10.5), ring.center() + QPointF(9, -7), pal::Gold, 2);
         }},
        {"Sign_Water.jpg",
         [](Scene& s) {
             // A boulder pushed into water fills it after the turn, and the way is open.
             s.Ground();
             for (int x = 0; x < 8; ++x)
                 s.Wall(x, 0);
             s.Hero(0.1f, 2, Facing::Right, 0.25f);
             s.Boulder(1.1f, 2);
             s.Water(2, 2, 1, 1);
             s.CellArrow(1.6f, 2, 2.3f, 2);
             s.FilledWater(5, 2);
             s.Hero(5, 2, Facing::Right, 0.25f);
             s.CellArrow(5.6f, 2, 6.8f, 2);
             // The turn's wait: an hourglass.
             const QPointF h = Scene::Centre(3.5f, 2);
             QPainterPath glass;
             glass.moveTo(h + QPointF(-7, -10));
             glass.lineTo(h + QPointF(7, -10));
             glass.lineTo(h + QPointF(1.5, 0));
             glass.lineTo(h + QPointF(7, 10));
             glass.lineTo(h + QPointF(-7, 10));
             glass.lineTo(h + QPointF(-1.5, 0));
             glass.closeSubpath();
             s.P.setPen(QPen(pal::Ink, 1));
             s.P.setBrush(QColor(230, 240, 240, 200));
             s.P.drawPath(glass);
             s.P.setPen(Qt::NoPen);
             s.P.setBrush(pal::Sand);
             QPolygonF sand;
             sand << h + QPointF(-5.5, 9) << h + QPointF(5.5, 9) << h + QPointF(0, 3);
             s.P.drawPolygon(sand);
             s.P.drawRect(QRectF(h.x() - 0.6, h.y() - 1, 1.2, 5));
             s.P.setBrush(pal::Wood);
             s.P.setPen(QPen(pal::Ink, 1));
             s.P.drawRect(QRectF(h.x() - 9, h.y() - 12.5, 18, 3));
             s.P.drawRect(QRectF(h.x() - 9, h.y() + 9.5, 18, 3));
         }},
        {"Sign_PushOrder.jpg",
         [](Scene& s) {
             // Which boulder first? The wrong order walls the way in.
             s.Ground();
             for (int x = 0; x < 8; ++x)
                 s.Wall(x, 0);
             for (int y = 1; y < 4; ++y)
                 s.Wall(7, y);
             s.Wall(4, 2);
             s.Wall(4, 3);
             s.Water(5, 2, 2, 1);
             s.Hero(0.5f, 2, Facing::Right, 0.25f);
             s.Boulder(2, 2, 3);
             s.Boulder(3, 1, 5);
             s.Boulder(5, 1, 8);
             s.Badge(Scene::Centre(3, 1) + QPointF(10, -9), 1);
             s.Badge(Scene::Centre(5, 1) + QPointF(10, -9), 2);
             s.Badge(Scene::Centre(2, 2) + QPointF(10, -9), 3);
             s.CellArrow(3.4f, 1, 4.5f, 1);
             s.CellArrow(5, 1.4f, 5, 2);
             s.CellArrow(2, 2.4f, 2, 3.2f);
         }},
        {"Sign_Keys.jpg",
         [](Scene& s) {
             // Every key must be found before the door opens.
             s.Ground();
             for (int x = 5; x < 8; ++x)
                 for (int y = 0; y < 4; ++y)
                     s.Floor(x, y);
             s.Key(0.6f, 0.7f);
             s.Key(2.2f, 0.7f);
             s.Key(1.4f, 2.4f);
             s.Tick(Scene::Centre(0.6f, 0.7f) + QPointF(10, 10), 5);
             s.Tick(Scene::Centre(2.2f, 0.7f) + QPointF(10, 10), 5);
             s.Tick(Scene::Centre(1.4f, 2.4f) + QPointF(10, 10), 5);
             s.CellArrow(3, 1.6f, 5.4f, 1.6f);
             s.Door(6.3f, 2, 6);
         }},
        {"Sign_Snakes.jpg",
         [](Scene& s) {
             // A snake fires along its row; a boulder in the line of fire stops the fire.
             s.Ground();
             // The line of fire, as far as it reaches.
             for (QLineF l : {QLineF(30, 48, 150, 48), QLineF(30, 112, 240, 112)}) {
                 s.P.setPen(QPen(QColor(120, 30, 10, 160), 4, Qt::DashLine, Qt::RoundCap));
                 s.P.drawLine(l);
                 s.P.setPen(QPen(QColor(255, 150, 50), 2, Qt::DashLine, Qt::RoundCap));
                 s.P.drawLine(l);
             }
             DrawSnake(s.P, Scene::Centre(0.2f, 1) + QPointF(0, 15), 0.3f, false, 1.0f);
             s.Fireball(Scene::Centre(2.3f, 1), 20);
             s.Boulder(5, 1);
             s.Burst(Scene::Centre(4.6f, 1), 9);
             s.Hero(6.3f, 1, Facing::Left);
             s.Tick(Scene::Centre(7.2f, 0.4f), 5);
             DrawSnake(s.P, Scene::Centre(0.2f, 3) + QPointF(0, 15), 0.6f, false, 1.0f);
             s.Fireball(Scene::Centre(3.3f, 3), 22);
             s.Hero(6.3f, 3, Facing::Left);
             s.Cross(Scene::Centre(7.2f, 2.4f), 5);
         }},
        {"Sign_Spiders.jpg",
         [](Scene& s) {
             // A spider keeps a wall at its side and walks round it; stay off its path.
             s.Ground();
             for (int x = 2; x < 6; ++x)
                 s.Wall(x, 1);
             s.Wall(2, 2);
             s.Wall(5, 2);
             s.Wall(3, 2);
             s.Wall(4, 2);
             QPainterPath path;
             path.addRoundedRect(QRectF(32 * 1.5, 32 * 0.5, 32 * 5, 32 * 3), 14, 14);
             s.P.setPen(QPen(QColor(250, 240, 200, 230), 2.4, Qt::DashLine, Qt::RoundCap));
             s.P.setBrush(Qt::NoBrush);
             s.P.drawPath(path);
             s.Arrow(QPointF(32 * 3.2, 16), QPointF(32 * 4.4, 16), pal::Gold, 3);
             s.Arrow(QPointF(32 * 6.5, 32 * 1.6), QPointF(32 * 6.5, 32 * 2.6), pal::Gold, 3);
             s.Arrow(QPointF(32 * 4.6, 32 * 3.5), QPointF(32 * 3.4, 32 * 3.5), pal::Gold, 3);
             DrawSpider(s.P, QPointF(32 * 1.5, 32 * 2.4), -90, 0.3f, 1.5f);
             s.Hero(7.3f, 3, Facing::Left);
         }},
        {"Sign_CherryBombs.jpg",
         [](Scene& s) {
             // Pick a bomb up by walking on it, drop it with Space; its fuse burns down and
             // a bomb next to a blast goes off too.
             s.Ground();
             s.Hero(0.5f, 1, Facing::Right, 0.25f);
             s.Bomb(1.6f, 0.35f, 0.0f);
             s.Bomb(2.3f, 0.35f, 0.0f);
             s.KeyCap(Scene::Centre(2.1f, 1.35f), "SPACE", 40);
             s.CellArrow(2.9f, 1, 3.9f, 1);
             s.Bomb(4.5f, 1, 0.6f);
             DrawFlame(s.P, Scene::Centre(4.5f, 1) + QPointF(9, -13), 6, 0.3f, 3);
             s.Wall(6, 0);
             s.Wall(6, 1);
             s.Wall(7, 1);
             s.Dirt(7, 0);
             // The chain below.
             s.Burst(Scene::Centre(1.5f, 3), 17);
             s.CellArrow(2.1f, 3, 2.9f, 3, QColor(255, 180, 60));
             s.Burst(Scene::Centre(3.5f, 3), 14);
             s.Bomb(3.5f, 2.9f, 0.9f);
             s.CellArrow(4.1f, 3, 4.9f, 3, QColor(255, 180, 60));
             s.Bomb(5.5f, 2.9f, 0.2f);
             s.Boulder(6.6f, 3, 4);
             s.Cross(Scene::Centre(6.6f, 3) + QPointF(8, -8), 4);
         }},
        {"Sign_Triggers.jpg",
         [](Scene& s) {
             // A sign opens when its moment comes: keys taken, jewels found, a place reached.
             s.Ground();
             const QPointF c = Scene::Centre(3.5f, 1.6f);
             // A little pop-up growing out of the sign's cell.
             s.P.setPen(QPen(QColor(255, 240, 190, 160), 1.2, Qt::DashLine));
             s.P.drawLine(Scene::Centre(3.5f, 3), c + QPointF(0, 18));
             s.P.setPen(QPen(pal::Ink, 1.5));
             s.P.setBrush(QColor(112, 72, 38));
             s.P.drawRoundedRect(QRectF(c.x() - 30, c.y() - 30, 60, 46), 5, 5);
             s.P.setPen(QPen(pal::Gold, 1));
             s.P.setBrush(QColor(236, 206, 150));
             s.P.drawRoundedRect(QRectF(c.x() - 25, c.y() - 25, 50, 26), 3, 3);
             s.P.setFont(SerifBold(20));
             s.P.setPen(QColor(130, 60, 20));
             s.P.drawText(QRectF(c.x() - 25, c.y() - 27, 50, 30), Qt::AlignCenter, "!");
             s.P.setPen(QPen(pal::Gold, 2, Qt::SolidLine, Qt::RoundCap));
             s.P.drawLine(c + QPointF(-16, 8), c + QPointF(16, 8));
             // The sign's cell, marked on the ground.
             const QRectF cell(32 * 3 + 16 - 14, 32 * 3 + 2, 28, 28);
             s.P.setPen(QPen(pal::Gold, 2, Qt::DashLine));
             s.P.setBrush(QColor(255, 230, 150, 60));
             s.P.drawRoundedRect(cell, 5, 5);
             // What can open it.
             s.Key(0.5f, 0.7f);
             s.P.setFont(SansBold(12));
             OutlinedText(s.P, QRectF(38, 30, 28, 20), Qt::AlignLeft | Qt::AlignTop, "=0", QColor(255, 240, 200), pal::Ink, 1.2f);
             s.Gem(0.5f, 2.3f);
             OutlinedText(s.P, QRectF(38, 81, 28, 20), Qt::AlignLeft | Qt::AlignTop, "=3", QColor(255, 240, 200), pal::Ink, 1.2f);
             s.Hero(6.2f, 3, Facing::Left, 0.25f);
             s.CellArrow(5.8f, 3, 4.2f, 3);
         }},
        {"Sign_FakeHero.jpg",
         [](Scene& s) {
             // A double of the hero stands still: he cannot be pushed, and only one of
             // the two is you.
             s.Ground();
             for (int x = 0; x < 8; ++x) {
                 s.Wall(x, 0);
                 s.Wall(x, 3);
             }
             s.Hero(1.5f, 2, Facing::Right, 0.25f);
             s.Boulder(2.6f, 2);
             s.CellArrow(3.1f, 1.7f, 3.9f, 1.7f);
             s.Hero(4.5f, 2, Facing::Left, 0, 1);
             s.Cross(Scene::Centre(3.5f, 1.2f), 5);
             // A shimmer round the double.
             s.P.setPen(QPen(QColor(220, 230, 255, 150), 1.4, Qt::DotLine));
             s.P.setBrush(Qt::NoBrush);
             s.P.drawEllipse(Scene::Centre(4.5f, 1.55f), 14, 24);
             s.P.setFont(SerifBold(18));
             OutlinedText(s.P, QRectF(32 * 5.1, 32 * 1.05, 20, 24), Qt::AlignLeft | Qt::AlignTop, "?", QColor(255, 240, 200), pal::Ink,
                          1.4f);
             s.Key(6.5f, 2);
         }},
    };
}
} // namespace

void WriteSignPictures(Output& out)
{
    const Sheets sheets{Written(out, "BasicTiles.jpg"), Written(out, "BaseGfx.jpg"), Written(out, "Exits.Jpg"),
                        Written(out, "WaterTemplates.jpg"), Written(out, "WaterBW.jpg")};
    if (sheets.Tiles.isNull() || sheets.Base.isNull() || sheets.Exits.isNull() || sheets.WaterEdges.isNull() ||
        sheets.WaterNoise.isNull()) {
        out.Fail("the signs need the tiles, the shared sheet and the exits written first");
        return;
    }
    int seed = 600;
    for (const Sign& sign : Signs())
        out.Picture(sign.Name, Board(seed++, sheets, sign.Paint), Kind::Opaque);
}

} // namespace art
