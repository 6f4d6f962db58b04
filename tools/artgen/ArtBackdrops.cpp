// The chapters' backdrops: 512 x 480 grounds seen from above, calm enough to walk on,
// that show wherever a level leaves its cells without tiles.
#include "Sheets.h"
#include "WorldPaint.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;
constexpr int W = 512, H = 480;

QImage Ground(const std::function<QColor(int x, int y)>& colour)
{
    QImage img(W, H, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < H; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const QColor c = colour(x, y);
            line[x] = qRgb(c.red(), c.green(), c.blue());
        }
    }
    return img;
}

float Fx(int v)
{
    return static_cast<float>(v);
}

// The distance of (x, y) from a path winding down the picture round the column cx.
float PathDistance(int x, int y, float cx, float swing, float period, float wobble)
{
    const float px = cx + std::sin(Fx(y) / period) * swing + wobble;
    return std::fabs(Fx(x) - px);
}

QImage Saffrondune()
{
    // Sand in long wind ripples over slow dunes, crossed by a caravan track.
    QImage img = Ground([](int x, int y) {
        const float n = Fbm(Fx(x) / 64.0f, Fx(y) / 64.0f, 81, 5);
        const float dune = Fbm(Fx(x) / 160.0f, Fx(y) / 160.0f, 82, 3);
        const float fine = Hash01(x, y, 83);
        const float ripple = std::sin((Fx(x) * 0.35f + Fx(y) + n * 40.0f) / 4.2f);
        QColor c = Mix(QColor(206, 164, 100), QColor(242, 212, 150), dune * 1.6f - 0.3f + (fine - 0.5f) * 0.12f);
        c = Shade(c, 1.0f + ripple * 0.045f);
        const float dist = PathDistance(x, y, 250, 110, 85, (n - 0.5f) * 30);
        if (dist < 24)
            c = Mix(c, Mix(QColor(176, 132, 84), QColor(204, 162, 108), n + (fine - 0.5f) * 0.3f),
                    std::clamp((24 - dist) / 7.0f, 0.0f, 0.8f));
        return c;
    });
    QPainter p(&img);
    Smooth(p);
    Rng rng(84);
    for (int k = 0; k < 40; ++k)
        Ball(p, QPointF(rng.Range(4, 508), rng.Range(4, 476)), rng.Range(1.5f, 3.5f),
             Mix(QColor(160, 112, 70), QColor(222, 186, 140), rng.Unit()), 0.7f);
    p.setPen(QPen(QColor(150, 126, 70), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int k = 0; k < 26; ++k) {
        const QPointF c(rng.Range(8, 504), rng.Range(8, 472));
        for (int s = -2; s <= 2; ++s)
            p.drawLine(c, c + QPointF(s * 2.2, -rng.Range(3, 6)));
    }
    for (int k = 0; k < 12; ++k) {
        const QPointF c(rng.Range(8, 504), rng.Range(8, 472));
        p.setPen(QPen(pal::Ink, 0.7));
        p.setBrush(QColor(246, 226, 206));
        p.drawChord(QRectF(c.x() - 3, c.y() - 2, 6, 6), 0, 180 * 16);
    }
    p.end();
    return img;
}
QImage Gloomwood()
{
    // A dim forest floor: moss and leaf litter in patches, an earthen path, roots, ferns
    // and fallen leaves.
    QImage img = Ground([](int x, int y) {
        const float n = Fbm(Fx(x) / 48.0f, Fx(y) / 48.0f, 91, 5);
        const float patch = Fbm(Fx(x) / 90.0f, Fx(y) / 90.0f, 92, 3);
        const float fine = Hash01(x, y, 93);
        QColor moss = Mix(QColor(46, 70, 34), QColor(88, 116, 52), n * 1.5f - 0.25f + (fine - 0.5f) * 0.2f);
        const QColor litter = Mix(QColor(96, 66, 36), QColor(150, 104, 54), n * 1.4f - 0.2f + (fine - 0.5f) * 0.4f);
        QColor c = Mix(moss, litter, std::clamp((patch - 0.52f) * 6.0f, 0.0f, 1.0f));
        const float dist = PathDistance(x, y, 270, 120, 75, (n - 0.5f) * 34);
        if (dist < 22)
            c = Mix(c, Mix(QColor(72, 54, 38), QColor(108, 84, 60), n + (fine - 0.5f) * 0.3f),
                    std::clamp((22 - dist) / 6.0f, 0.0f, 0.9f));
        return c;
    });
    QPainter p(&img);
    Smooth(p);
    Rng rng(94);
    // Roots creeping out of the ground, thick at one end and thinning out.
    for (int k = 0; k < 6; ++k) {
        QPointF a(rng.Range(0, 512), rng.Range(0, 480));
        const float dir = rng.Range(0, 2 * Pi);
        float width = rng.Range(4, 6);
        for (int s = 0; s < 5; ++s) {
            const QPointF b = a + QPointF(std::cos(dir + rng.Range(-0.6f, 0.6f)) * 14, std::sin(dir + rng.Range(-0.6f, 0.6f)) * 14);
            p.setPen(QPen(QColor(56, 42, 28), width + 1.2f, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(a, b);
            p.setPen(QPen(QColor(104, 80, 54), width * 0.45f, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(a + QPointF(-0.5, -0.8), b + QPointF(-0.5, -0.8));
            a = b;
            width *= 0.72f;
        }
    }
    const QColor leaves[4] = {QColor(196, 120, 40), QColor(170, 60, 30), QColor(214, 170, 60), QColor(130, 90, 40)};
    for (int k = 0; k < 220; ++k) {
        p.save();
        p.translate(rng.Range(2, 510), rng.Range(2, 478));
        p.rotate(rng.Range(0, 180));
        QPainterPath l;
        l.moveTo(-3.5, 0);
        l.quadTo(0, -2.6, 3.5, 0);
        l.quadTo(0, 2.6, -3.5, 0);
        const QColor c = leaves[k % 4];
        p.setPen(QPen(Shade(c, 0.5f), 0.5));
        p.setBrush(c);
        p.drawPath(l);
        p.restore();
    }
    for (int k = 0; k < 18; ++k) {
        const QPointF c(rng.Range(8, 504), rng.Range(8, 472));
        for (int f = 0; f < 5; ++f) {
            const float a = -Pi / 2 + (static_cast<float>(f) - 2) * 0.6f;
            p.setPen(QPen(QColor(60, 104, 44), 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c, c + QPointF(std::cos(a) * 8, std::sin(a) * 8));
        }
    }
    p.end();
    return img;
}

QImage Emberdeep()
{
    // The rock floor of a deep working: dark stone with seams of coal, pale dust, and
    // cracks that glow with heat from below.
    QImage img = Ground([](int x, int y) {
        const float n = Fbm(Fx(x) / 40.0f, Fx(y) / 40.0f, 101, 5);
        const float big = Fbm(Fx(x) / 120.0f, Fx(y) / 120.0f, 102, 3);
        const float fine = Hash01(x, y, 103);
        QColor c = Mix(QColor(64, 58, 54), QColor(118, 106, 94), n * 1.5f - 0.25f + (fine - 0.5f) * 0.25f);
        if (big < 0.4f)
            c = Mix(c, QColor(40, 36, 36), std::clamp((0.4f - big) * 6.0f, 0.0f, 0.7f));
        if (big > 0.62f)
            c = Mix(c, QColor(150, 118, 76), std::clamp((big - 0.62f) * 5.0f, 0.0f, 0.5f));
        return c;
    });
    QPainter p(&img);
    Smooth(p);
    Rng rng(104);
    for (int k = 0; k < 14; ++k) {
        QPainterPath crack;
        QPointF a(rng.Range(0, 512), rng.Range(0, 480));
        crack.moveTo(a);
        const float dir = rng.Range(0, 2 * Pi);
        for (int s = 0; s < 8; ++s) {
            a += QPointF(std::cos(dir) * 7 + rng.Range(-5, 5), std::sin(dir) * 7 + rng.Range(-5, 5));
            crack.lineTo(a);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 120, 30, 45), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(crack);
        p.setPen(QPen(QColor(255, 140, 40, 70), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(crack);
        p.setPen(QPen(QColor(30, 18, 12), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
        p.drawPath(crack);
        p.setPen(QPen(QColor(255, 200, 90), 0.6, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
        p.drawPath(crack);
    }
    for (int k = 0; k < 60; ++k)
        Ball(p, QPointF(rng.Range(4, 508), rng.Range(4, 476)), rng.Range(1.5f, 3.2f),
             Mix(QColor(70, 64, 60), QColor(150, 140, 126), rng.Unit()), 0.7f);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 50; ++k) {
        const QPointF c(rng.Range(4, 508), rng.Range(4, 476));
        p.setBrush(QColor(236, 190, 70));
        p.drawEllipse(c, 1.2, 1);
        p.setBrush(QColor(255, 246, 200));
        p.drawEllipse(c + QPointF(-0.3, -0.3), 0.5, 0.4);
    }
    p.end();
    return img;
}

QImage Highkeep()
{
    // A castle courtyard: big worn flagstones in courses, moss in the joints.
    QImage img = Ground([](int x, int y) {
        const float n = Fbm(Fx(x) / 30.0f, Fx(y) / 30.0f, 111, 4);
        const float fine = Hash01(x, y, 112);
        const int row = y / 40;
        const int off = (row % 2) * 28;
        const int col = (x + off) / 56;
        const float tone = Hash01(col, row, 113);
        const int jx = (x + off) % 56, jy = y % 40;
        QColor c = Mix(QColor(140, 138, 130), QColor(184, 180, 168), tone * 0.7f + n * 0.5f - 0.1f + (fine - 0.5f) * 0.12f);
        // Worn hollows in the middle of each stone, a light bevel at its upper left.
        if (jx < 2 || jy < 2)
            c = Mix(QColor(70, 84, 50), QColor(96, 110, 62), n);
        else if (jx < 4 || jy < 4)
            c = Shade(c, 1.12f);
        else if (jx > 52 || jy > 36)
            c = Shade(c, 0.82f);
        return c;
    });
    QPainter p(&img);
    Smooth(p);
    Rng rng(114);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 70; ++k) {
        const int row = rng.Int(0, 11), col = rng.Int(0, 9);
        const float x = static_cast<float>(col * 56 - (row % 2) * 28 + rng.Int(0, 1) * 56);
        const float y = static_cast<float>(row * 40 + rng.Int(0, 38));
        p.setBrush(QColor(80, 120, 50, 200));
        p.drawEllipse(QPointF(x + 1, y), rng.Range(2, 4), rng.Range(1.5f, 3));
    }
    p.setPen(QPen(QColor(90, 86, 80), 0.8));
    for (int k = 0; k < 14; ++k) {
        QPointF a(rng.Range(0, 512), rng.Range(0, 480));
        for (int s = 0; s < 4; ++s) {
            const QPointF b = a + QPointF(rng.Range(-6, 6), rng.Range(3, 8));
            p.drawLine(a, b);
            a = b;
        }
    }
    p.end();
    return img;
}

QImage Frostmere()
{
    // Deep snow in soft drifts, blue in their hollows, crossed by a trodden trail, with
    // stones and twigs showing through.
    QImage img = Ground([](int x, int y) {
        const float n = Fbm(Fx(x) / 56.0f, Fx(y) / 56.0f, 121, 5);
        const float drift = Fbm(Fx(x) / 140.0f + Fx(y) / 400.0f, Fx(y) / 90.0f, 122, 3);
        const float fine = Hash01(x, y, 123);
        QColor c = Mix(QColor(190, 206, 224), QColor(248, 250, 253), drift * 1.5f - 0.2f + (n - 0.5f) * 0.3f);
        c = Shade(c, 1.0f + (fine - 0.5f) * 0.03f);
        const float dist = PathDistance(x, y, 240, 100, 95, (n - 0.5f) * 26);
        if (dist < 18)
            c = Mix(c, Mix(QColor(170, 184, 204), QColor(200, 212, 228), n), std::clamp((18 - dist) / 6.0f, 0.0f, 0.85f));
        return c;
    });
    QPainter p(&img);
    Smooth(p);
    Rng rng(124);
    for (int k = 0; k < 16; ++k) {
        const QPointF c(rng.Range(6, 506), rng.Range(6, 474));
        const float r = rng.Range(2.5f, 4.5f);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(150, 166, 190, 120));
        p.drawEllipse(c + QPointF(1, 1.5), r * 1.3f, r * 0.7f);
        QRadialGradient g(c + QPointF(-r * 0.3, -r * 0.4), r * 1.4f);
        g.setColorAt(0, QColor(170, 174, 184));
        g.setColorAt(1, QColor(96, 100, 112));
        p.setPen(QPen(QColor(80, 84, 96), 0.6));
        p.setBrush(g);
        p.drawEllipse(c, r, r * 0.75f);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 252, 255));
        p.drawEllipse(c + QPointF(0, -r * 0.45f), r * 0.9f, r * 0.4f);
    }
    p.setPen(QPen(QColor(90, 66, 44), 1.1, Qt::SolidLine, Qt::RoundCap));
    for (int k = 0; k < 16; ++k) {
        const QPointF a(rng.Range(6, 506), rng.Range(6, 474));
        const QPointF b = a + QPointF(rng.Range(6, 12), rng.Range(-3, 3));
        p.drawLine(a, b);
        p.drawLine((a + b) / 2, (a + b) / 2 + QPointF(2, -3));
    }
    p.setPen(QPen(QColor(255, 255, 255), 0.8));
    for (int k = 0; k < 90; ++k) {
        const QPointF g(rng.Range(2, 510), rng.Range(2, 478));
        p.drawLine(g + QPointF(-1.2, 0), g + QPointF(1.2, 0));
        p.drawLine(g + QPointF(0, -1.2), g + QPointF(0, 1.2));
    }
    p.end();
    return img;
}

QImage Starfall()
{
    // A glade under the night sky: blue-green moss lit by the stars, pale star flowers
    // and motes of light, a silver path of moonlit stones.
    QImage img = Ground([](int x, int y) {
        const float n = Fbm(Fx(x) / 44.0f, Fx(y) / 44.0f, 131, 5);
        const float glow = Fbm(Fx(x) / 110.0f, Fx(y) / 110.0f, 132, 3);
        const float fine = Hash01(x, y, 133);
        QColor c = Mix(QColor(40, 66, 74), QColor(78, 110, 104), n * 1.5f - 0.25f + (fine - 0.5f) * 0.2f);
        c = Mix(c, QColor(90, 84, 130), std::clamp((glow - 0.55f) * 4.0f, 0.0f, 0.5f));
        const float dist = PathDistance(x, y, 256, 90, 80, (n - 0.5f) * 30);
        if (dist < 20)
            c = Mix(c, Mix(QColor(120, 128, 150), QColor(170, 178, 196), n + (fine - 0.5f) * 0.4f),
                    std::clamp((20 - dist) / 6.0f, 0.0f, 0.8f));
        return c;
    });
    QPainter p(&img);
    Smooth(p);
    Rng rng(134);
    for (int k = 0; k < 120; ++k)
        Flower(p, QPointF(rng.Range(4, 508), rng.Range(4, 476)), k % 3 ? QColor(220, 226, 250) : QColor(190, 170, 240));
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 40; ++k) {
        const QPointF c(rng.Range(6, 506), rng.Range(6, 474));
        QRadialGradient g(c, 6);
        g.setColorAt(0, QColor(250, 250, 200, 220));
        g.setColorAt(0.3, QColor(220, 240, 160, 120));
        g.setColorAt(1, QColor(200, 230, 150, 0));
        p.setBrush(g);
        p.drawEllipse(c, 6, 6);
    }
    p.end();
    return img;
}
} // namespace

void WriteChapterBackdrops(Output& out)
{
    out.Picture("Saffrondune.jpg", Saffrondune(), Kind::Opaque);
    out.Picture("Gloomwood.jpg", Gloomwood(), Kind::Opaque);
    out.Picture("Emberdeep.jpg", Emberdeep(), Kind::Opaque);
    out.Picture("Highkeep.jpg", Highkeep(), Kind::Opaque);
    out.Picture("Frostmere.jpg", Frostmere(), Kind::Opaque);
    out.Picture("Starfall.jpg", Starfall(), Kind::Opaque);
}

} // namespace art
