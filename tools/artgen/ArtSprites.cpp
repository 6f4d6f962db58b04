// The hero, the creatures and the items: small painted sprites readable at 32 x 32.
#include "Sheets.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

const QColor HatColor(128, 84, 40);
const QColor Hair(150, 70, 30);
const QColor Trousers(84, 60, 44);
const QColor Boot(58, 38, 26);
const QColor Belt(96, 60, 28);
const QColor Feather(214, 64, 44);

void Limb(QPainter& p, QPointF a, QPointF b, float w, QColor c)
{
    p.setPen(QPen(pal::Ink, w + 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

void Body(QPainter& p, QRectF r, QColor c)
{
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, Shade(c, 1.25f));
    g.setColorAt(1, Shade(c, 0.7f));
    p.setBrush(g);
    p.setPen(QPen(pal::Ink, 1));
    p.drawRoundedRect(r, 3, 3);
}

// Hat seen from any side: brim and crown with a feather.
void Hat(QPainter& p, QPointF c, bool side, bool back)
{
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(Shade(HatColor, 0.8f));
    p.drawEllipse(c + QPointF(side ? 1 : 0, 0), side ? 9 : 9.5, 2.6);
    QPainterPath crown;
    crown.moveTo(c + QPointF(-5, 0.5));
    crown.cubicTo(c + QPointF(-5, -7), c + QPointF(5, -8), c + QPointF(5, 0.5));
    crown.closeSubpath();
    QLinearGradient g(c + QPointF(-5, 0), c + QPointF(5, 0));
    g.setColorAt(0, Shade(HatColor, 1.3f));
    g.setColorAt(1, Shade(HatColor, 0.75f));
    p.setBrush(g);
    p.drawPath(crown);
    p.setPen(QPen(Belt, 1.4));
    p.drawLine(c + QPointF(-4.6, -1.2), c + QPointF(4.6, -1.2));
    if (!back || side) {
        QPainterPath f;
        const float dir = side ? -1.0f : 1.0f;
        f.moveTo(c + QPointF(3 * dir, -2));
        f.cubicTo(c + QPointF(6 * dir, -6), c + QPointF(9 * dir, -9), c + QPointF(11 * dir, -8));
        f.cubicTo(c + QPointF(8 * dir, -5), c + QPointF(7 * dir, -2), c + QPointF(3 * dir, -1));
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(Feather);
        p.drawPath(f);
    }
}
} // namespace

void DrawHero(QPainter& p, QPointF feet, Facing dir, float phase, int pose, float scale)
{
    p.save();
    p.translate(feet);
    p.scale(scale, scale);
    const bool side = dir == Facing::Left || dir == Facing::Right;
    if (dir == Facing::Left)
        p.scale(-1, 1);
    const float swing = std::sin(2 * Pi * phase);
    const float bob = -std::fabs(std::sin(2 * Pi * phase)) * 1.2f;
    // Feet at (0, 0), head about 34 px above.
    const float hip = -9 + bob;
    const float shoulder = -19 + bob;
    const float headY = -25 + bob;

    // Shadow on the ground.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(QPointF(0, 0.5), 8, 2.5);

    if (side) {
        // Far arm, far leg, body, near leg, near arm; facing right.
        const float legA = swing * 4.5f;
        Limb(p, {-1, shoulder + 2}, {-1 - swing * 4, shoulder + 10}, 3, Shade(pal::Tunic, 0.7f));
        Limb(p, {0, hip}, {-legA, -1.5f + std::max(0.0f, -swing) * -1.5f}, 3.6f, Shade(Trousers, 0.75f));
        p.setPen(QPen(pal::Ink, 1));
        p.setBrush(Shade(Boot, 0.8f));
        p.drawRoundedRect(QRectF(-legA - 2, -2.5f + std::max(0.0f, -swing) * -1.5f, 6, 3), 1.2, 1.2);
        // Backpack.
        p.setBrush(pal::Wood);
        p.drawRoundedRect(QRectF(-8, shoulder + 0.5, 5, 9), 2, 2);
        Body(p, QRectF(-5, shoulder, 10, 12), pal::Tunic);
        p.setBrush(Belt);
        p.drawRect(QRectF(-5, hip - 2.5, 10, 2));
        Limb(p, {0, hip}, {legA, -1.5f + std::max(0.0f, swing) * -1.5f}, 3.6f, Trousers);
        p.setPen(QPen(pal::Ink, 1));
        p.setBrush(Boot);
        p.drawRoundedRect(QRectF(legA - 2, -2.5f + std::max(0.0f, swing) * -1.5f, 6, 3), 1.2, 1.2);
        // Head in profile.
        p.setBrush(pal::Skin);
        p.drawEllipse(QPointF(0.5, headY), 5.5, 6);
        p.setBrush(Hair);
        p.setPen(Qt::NoPen);
        p.drawChord(QRectF(-5, headY - 6, 11, 12), 90 * 16, 130 * 16);
        p.setBrush(pal::Skin);
        p.setPen(QPen(pal::Ink, 0.8));
        p.drawEllipse(QPointF(5.8, headY + 0.8), 1.4, 1.2); // nose
        p.setPen(Qt::NoPen);
        p.setBrush(pal::Ink);
        const float eyeX = pose == 1 ? 2.2f : 3.0f;
        p.drawEllipse(QPointF(eyeX, headY - 0.8), 0.9, pose == 1 ? 0.4 : 1.1);
        Hat(p, QPointF(0, headY - 4.5f), true, false);
        // Near arm.
        float armX = 1 + swing * 4, armY = shoulder + 10;
        if (pose == 2) {
            armX = 6;
            armY = shoulder - 6;
        }
        Limb(p, {1, shoulder + 2}, {armX, armY}, 3, pal::Tunic);
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(pal::Skin);
        p.drawEllipse(QPointF(armX, armY), 1.8, 1.8);
    } else {
        const bool back = dir == Facing::Up;
        const float liftL = std::max(0.0f, swing) * 2.2f;
        const float liftR = std::max(0.0f, -swing) * 2.2f;
        Limb(p, {-3, hip}, {-3, -2 - liftL}, 4, Trousers);
        Limb(p, {3, hip}, {3, -2 - liftR}, 4, Trousers);
        p.setPen(QPen(pal::Ink, 1));
        p.setBrush(Boot);
        p.drawRoundedRect(QRectF(-6, -3.5 - liftL, 5.5, 3.5), 1.2, 1.2);
        p.drawRoundedRect(QRectF(0.5, -3.5 - liftR, 5.5, 3.5), 1.2, 1.2);
        // Arms beside the body.
        float lx = -8, ly = shoulder + 10 + swing * 1.5f, rx = 8, ry = shoulder + 10 - swing * 1.5f;
        if (pose == 2) {
            lx = -10;
            ly = shoulder - 6;
            rx = 10;
            ry = shoulder - 6;
        }
        Limb(p, {-5.5f, shoulder + 2}, {lx, ly}, 3, Shade(pal::Tunic, 0.85f));
        Limb(p, {5.5f, shoulder + 2}, {rx, ry}, 3, Shade(pal::Tunic, 0.85f));
        p.setPen(QPen(pal::Ink, 0.8));
        p.setBrush(pal::Skin);
        p.drawEllipse(QPointF(lx, ly), 1.8, 1.8);
        p.drawEllipse(QPointF(rx, ry), 1.8, 1.8);
        Body(p, QRectF(-6, shoulder, 12, 12), pal::Tunic);
        p.setBrush(Belt);
        p.setPen(QPen(pal::Ink, 1));
        p.drawRect(QRectF(-6, hip - 2.5, 12, 2));
        if (back) {
            p.setBrush(pal::Wood);
            p.drawRoundedRect(QRectF(-4.5, shoulder + 1, 9, 9), 2, 2);
            p.setPen(QPen(pal::WoodDark, 1));
            p.drawLine(QPointF(-4.5, shoulder + 4), QPointF(4.5, shoulder + 4));
        } else {
            p.setBrush(pal::Gold);
            p.drawRect(QRectF(-1.2, hip - 2.8, 2.4, 2.6));
        }
        p.setPen(QPen(pal::Ink, 1));
        p.setBrush(back ? Hair : pal::Skin);
        p.drawEllipse(QPointF(0, headY), 6, 6);
        if (!back) {
            p.setPen(Qt::NoPen);
            p.setBrush(Hair);
            p.drawChord(QRectF(-6, headY - 6, 12, 8), 0, 180 * 16);
            p.setBrush(pal::Ink);
            const float look = pose == 1 ? 1.5f : 0;
            p.drawEllipse(QPointF(-2.2 + look, headY + 0.5), 0.95, 1.2);
            p.drawEllipse(QPointF(2.2 + look, headY + 0.5), 0.95, 1.2);
            p.setBrush(QColor(220, 120, 100));
            p.drawEllipse(QPointF(look * 0.5, headY + 3.3), 1.4, 0.7);
        }
        Hat(p, QPointF(0, headY - 4.5f), false, back);
    }
    p.restore();
}

void WriteHeroSheets(Output& out)
{
    // Columns: Up, Down, Left, Right.
    const Facing cols[4] = {Facing::Up, Facing::Down, Facing::Left, Facing::Right};
    {
        QImage img = NewLayer(128, 1024);
        QPainter p(&img);
        Smooth(p);
        for (int c = 0; c < 4; ++c)
            for (int f = 0; f < 16; ++f)
                DrawHero(p, QPointF(32 * c + 16, 64 * f + 49), cols[c], static_cast<float>(f) / 16.0f, 0);
        p.end();
        out.Picture("ZoraWalking.jpg", img, Kind::Keyed);
    }
    {
        QImage img = NewLayer(128, 192);
        QPainter p(&img);
        Smooth(p);
        for (int c = 0; c < 4; ++c)
            for (int v = 0; v < 3; ++v)
                DrawHero(p, QPointF(32 * c + 16, 64 * v + 49), cols[c], 0, v);
        p.end();
        out.Picture("ZoraStanding.jpg", img, Kind::Keyed);
    }
    {
        // 14 frames of 40 x 40, hot spot (20, 22): the hero spins, falls and rises as a
        // little ghost that fades into sparkles.
        QImage img = NewLayer(40, 560);
        QPainter p(&img);
        Smooth(p);
        for (int i = 0; i < 14; ++i) {
            const QPointF hot(20, 40 * i + 22);
            if (i < 6) {
                p.save();
                p.translate(hot + QPointF(0, 14));
                p.rotate(i * 18.0);
                const Facing turn[4] = {Facing::Down, Facing::Right, Facing::Up, Facing::Left};
                DrawHero(p, QPointF(0, 0), turn[i % 4], 0.1f * static_cast<float>(i), 0, 0.7f - 0.03f * static_cast<float>(i));
                p.restore();
            } else {
                const float t = static_cast<float>(i - 6) / 7.0f;
                // Ghost.
                const float s = 1.0f - t * 0.6f;
                const QPointF g = hot + QPointF(0, 6 - t * 16);
                QPainterPath ghost;
                ghost.moveTo(g + QPointF(-7 * s, 8 * s));
                ghost.cubicTo(g + QPointF(-8 * s, -10 * s), g + QPointF(8 * s, -10 * s), g + QPointF(7 * s, 8 * s));
                ghost.lineTo(g + QPointF(3.5 * s, 5 * s));
                ghost.lineTo(g + QPointF(0, 8 * s));
                ghost.lineTo(g + QPointF(-3.5 * s, 5 * s));
                ghost.closeSubpath();
                p.setPen(QPen(QColor(120, 140, 170), 1));
                p.setBrush(Mix(QColor(236, 240, 248), QColor(170, 190, 220), t));
                p.drawPath(ghost);
                p.setPen(Qt::NoPen);
                p.setBrush(pal::Ink);
                p.drawEllipse(g + QPointF(-2.5 * s, -1 * s), 1.2 * s, 1.6 * s);
                p.drawEllipse(g + QPointF(2.5 * s, -1 * s), 1.2 * s, 1.6 * s);
                // The hat left behind on the ground.
                p.save();
                p.translate(hot + QPointF(0, 13));
                p.scale(0.8, 0.8);
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(HatColor);
                p.drawEllipse(QPointF(0, 0), 9, 2.6);
                p.drawChord(QRectF(-5, -6, 10, 12), 0, 180 * 16);
                p.restore();
                // Sparkles.
                Rng rng(500 + static_cast<uint64_t>(i));
                for (int k = 0; k < 5; ++k) {
                    QPointF sp = g + QPointF(rng.Range(-12, 12), rng.Range(-12, 6));
                    p.setPen(QPen(QColor(255, 240, 160), 1));
                    p.drawLine(sp + QPointF(-2, 0), sp + QPointF(2, 0));
                    p.drawLine(sp + QPointF(0, -2), sp + QPointF(0, 2));
                }
            }
        }
        p.end();
        out.Picture("ZoraDying.jpg", img, Kind::Keyed);
    }
}

// ---- creatures ----

void DrawSnake(QPainter& p, QPointF base, float sway, bool left, float scale)
{
    p.save();
    p.translate(base);
    p.scale(scale, scale);
    if (left)
        p.scale(-1, 1);
    // Base point = bottom centre of the coil; the snake faces right before the mirror.
    const QColor body(74, 160, 64), dark(40, 100, 40), belly(232, 208, 80);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(QPointF(0, -1), 12, 3);
    // Coil: two stacked rings.
    for (int ring = 0; ring < 2; ++ring) {
        const float y = -4 - ring * 5.0f;
        const float rx = 11 - ring * 3.0f;
        QLinearGradient g(QPointF(0, y - 4), QPointF(0, y + 4));
        g.setColorAt(0, Shade(body, 1.3f));
        g.setColorAt(1, dark);
        p.setPen(QPen(pal::Ink, 1));
        p.setBrush(g);
        p.drawEllipse(QPointF(0, y), rx, 4.2);
    }
    // Neck rising from the coil to the head, swaying.
    const QPointF neck0(-2, -13);
    const QPointF head(1 + sway * 3, -31);
    QPainterPath neck;
    neck.moveTo(neck0);
    neck.cubicTo(neck0 + QPointF(-6 - sway * 3, -8), head + QPointF(-8, 8), head);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal::Ink, 7.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(neck);
    p.setPen(QPen(body, 5.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(neck);
    p.setPen(QPen(belly, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(neck.translated(1.2, 0.5));
    // Pattern spots.
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    for (float t = 0.15f; t < 0.9f; t += 0.22f)
        p.drawEllipse(neck.pointAtPercent(t) + QPointF(-1, 0), 1.2, 1.2);
    for (int k = -2; k <= 2; ++k)
        p.drawEllipse(QPointF(k * 4.0, -5), 1.3, 1.0);
    // Head: a wedge pointing right.
    QPainterPath h;
    h.moveTo(head + QPointF(-4, -3.5));
    h.cubicTo(head + QPointF(2, -6), head + QPointF(8, -3), head + QPointF(9, 0));
    h.cubicTo(head + QPointF(8, 3), head + QPointF(2, 4.5), head + QPointF(-4, 3.5));
    h.closeSubpath();
    QLinearGradient hg(head + QPointF(0, -5), head + QPointF(0, 5));
    hg.setColorAt(0, Shade(body, 1.35f));
    hg.setColorAt(1, dark);
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(hg);
    p.drawPath(h);
    // Eye: yellow with a slit.
    p.setBrush(QColor(250, 220, 60));
    p.setPen(QPen(pal::Ink, 0.6));
    p.drawEllipse(head + QPointF(2.5, -1.8), 1.7, 1.7);
    p.setPen(QPen(pal::Ink, 0.9));
    p.drawLine(head + QPointF(2.5, -3.1), head + QPointF(2.5, -0.5));
    // Tongue.
    p.setPen(QPen(QColor(210, 40, 40), 0.9));
    p.drawLine(head + QPointF(9, 0.5), head + QPointF(11, 0.5));
    p.drawLine(head + QPointF(11, 0.5), head + QPointF(12.3, -0.6));
    p.drawLine(head + QPointF(11, 0.5), head + QPointF(12.3, 1.6));
    p.restore();
}

void DrawSpider(QPainter& p, QPointF c, float angle, float phase, float scale)
{
    // Drawn facing right (angle 0), seen from above.
    p.save();
    p.translate(c);
    p.rotate(angle);
    p.scale(scale, scale);
    const QColor leg(44, 30, 40), body(70, 48, 72), mark(220, 50, 40);
    // Eight legs fanning out from the head, front pair reaching forward; alternate legs
    // swing together as it scuttles.
    for (int side = -1; side <= 1; side += 2)
        for (int k = 0; k < 4; ++k) {
            const float swing = std::sin(2 * Pi * phase + ((k + (side > 0 ? 1 : 0)) % 2 ? Pi : 0)) * 0.2f;
            const float a = (0.55f + static_cast<float>(k) * 0.62f + swing);
            const QPointF root(2.5, side * 1.5f);
            const QPointF knee = root + QPointF(std::cos(a) * 7.0f, side * std::sin(a) * 7.0f);
            const float af = a + 0.35f;
            const QPointF foot = knee + QPointF(std::cos(af) * 6.5f, side * std::fabs(std::sin(af)) * 4.5f);
            QPainterPath l;
            l.moveTo(root);
            l.lineTo(knee);
            l.lineTo(foot);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(pal::Ink, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(l);
            p.setPen(QPen(Shade(leg, 1.6f), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(l);
        }
    // Abdomen and head.
    QRadialGradient g(QPointF(-6, -2), 8);
    g.setColorAt(0, Shade(body, 1.6f));
    g.setColorAt(1, Shade(body, 0.6f));
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(g);
    p.drawEllipse(QPointF(-5, 0), 7, 5.5);
    p.setBrush(mark);
    p.setPen(Qt::NoPen);
    QPolygonF hour;
    hour << QPointF(-8, -2) << QPointF(-2, -2) << QPointF(-5, 0) << QPointF(-2, 2) << QPointF(-8, 2) << QPointF(-5, 0);
    p.drawPolygon(hour);
    QRadialGradient hgr(QPointF(3, -1), 4.5);
    hgr.setColorAt(0, Shade(body, 1.5f));
    hgr.setColorAt(1, Shade(body, 0.55f));
    p.setPen(QPen(pal::Ink, 1));
    p.setBrush(hgr);
    p.drawEllipse(QPointF(3.5, 0), 4, 3.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 70, 50));
    p.drawEllipse(QPointF(6, -1.5), 1.0, 1.0);
    p.drawEllipse(QPointF(6, 1.5), 1.0, 1.0);
    p.setBrush(QColor(255, 220, 200));
    p.drawEllipse(QPointF(6.3, -1.8), 0.35, 0.35);
    p.drawEllipse(QPointF(6.3, 1.2), 0.35, 0.35);
    p.restore();
}

void WriteCreatureSheets(Output& out)
{
    {
        // SnakeLeft in column 0, SnakeRight in column 32; 31 sway phases of 32 x 48,
        // hot spot (16, 32): the coil sits in the cell, the head rises above it.
        QImage img = NewLayer(64, 1488);
        QPainter p(&img);
        Smooth(p);
        for (int k = 0; k < 31; ++k) {
            const float sway = static_cast<float>(k) / 15.0f - 1.0f;
            DrawSnake(p, QPointF(16, 48 * k + 46), sway, true);
            DrawSnake(p, QPointF(48, 48 * k + 46), sway, false);
        }
        p.end();
        out.Picture("Snake1.jpg", img, Kind::Keyed);
    }
    {
        // Rows: Left, Right, Up, Down; 10 frames of 36 x 26, hot spot (18, 13).
        QImage img = NewLayer(360, 104);
        QPainter p(&img);
        Smooth(p);
        const float angles[4] = {180, 0, -90, 90};
        for (int r = 0; r < 4; ++r)
            for (int f = 0; f < 10; ++f) {
                const bool vertical = r >= 2;
                p.save();
                p.setClipRect(QRect(36 * f, 26 * r, 36, 26));
                DrawSpider(p, QPointF(36 * f + 18, 26 * r + 13), angles[r], static_cast<float>(f) / 10.0f,
                           vertical ? 0.9f : 0.98f);
                p.restore();
            }
        p.end();
        out.Picture("Spider.jpg", img, Kind::Keyed);
    }
}

// ---- items ----

void DrawBoulder(QPainter& p, QPointF c, float r, int seed)
{
    QPainterPath path;
    Rng rng(static_cast<uint64_t>(seed));
    const int n = 11;
    std::vector<QPointF> pts;
    for (int i = 0; i < n; ++i) {
        const float a = 2 * Pi * static_cast<float>(i) / n;
        const float rr = r * rng.Range(0.88f, 1.0f);
        pts.push_back(c + QPointF(std::cos(a) * rr, std::sin(a) * rr * 0.92f));
    }
    path.moveTo((pts[0] + pts[1]) / 2);
    for (int i = 1; i <= n; ++i)
        path.quadTo(pts[static_cast<size_t>(i % n)], (pts[static_cast<size_t>(i % n)] + pts[static_cast<size_t>((i + 1) % n)]) / 2);
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.45), r * 1.35);
    g.setColorAt(0, pal::StoneLight);
    g.setColorAt(0.55, pal::Stone);
    g.setColorAt(1, pal::StoneDark.darker(130));
    p.setPen(QPen(pal::Ink, 1.2));
    p.setBrush(g);
    p.drawPath(path);
    // Cracks and moss.
    p.setPen(QPen(Shade(pal::StoneDark, 0.8f), 0.9));
    p.drawLine(c + QPointF(-r * 0.1, -r * 0.2), c + QPointF(r * 0.3, r * 0.25));
    p.drawLine(c + QPointF(r * 0.3, r * 0.25), c + QPointF(r * 0.2, r * 0.55));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 140, 60, 170));
    p.drawEllipse(c + QPointF(-r * 0.45, r * 0.45), r * 0.25, r * 0.15);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(c + QPointF(-r * 0.4, -r * 0.45), r * 0.22, r * 0.14);
}

void DrawKey(QPainter& p, QPointF c, float size, float spin)
{
    // spin: 0..1 turn about the vertical axis.
    const float cs = std::cos(2 * Pi * spin);
    const float w = std::max(0.12f, std::fabs(cs));
    p.save();
    p.translate(c);
    p.rotate(-35);
    p.scale(w, 1);
    const float s = size / 24.0f;
    p.scale(s, s);
    const QColor face = cs >= 0 ? pal::Gold : Shade(pal::Gold, 0.8f);
    QLinearGradient g(QPointF(-4, -10), QPointF(4, 10));
    g.setColorAt(0, Shade(face, 1.4f));
    g.setColorAt(0.5, face);
    g.setColorAt(1, pal::GoldDark);
    p.setPen(QPen(pal::Ink, 1.1 / s));
    p.setBrush(g);
    QPainterPath k;
    k.addEllipse(QPointF(0, -7), 5.5, 5.5);
    k.addRect(QRectF(-1.6, -2, 3.2, 14));
    k.addRect(QRectF(1.4, 6, 3.6, 2.2));
    k.addRect(QRectF(1.4, 9.6, 2.8, 2.2));
    k = k.simplified();
    QPainterPath hole;
    hole.addEllipse(QPointF(0, -7), 2.2, 2.2);
    p.drawPath(k.subtracted(hole));
    p.restore();
}

void DrawGem(QPainter& p, QPointF c, float w, float h, QColor base, float spin)
{
    // A brilliant cut seen from the side, turning about its vertical axis: the facets
    // slide across and the width breathes.
    const float cs = std::cos(2 * Pi * spin);
    const float width = w * (0.55f + 0.45f * std::fabs(cs));
    const float top = c.y() - h * 0.45f, girdle = c.y() - h * 0.1f, bottom = c.y() + h * 0.5f;
    const float half = width / 2;
    QPolygonF outline;
    outline << QPointF(c.x() - half * 0.6, top) << QPointF(c.x() + half * 0.6, top) << QPointF(c.x() + half, girdle)
            << QPointF(c.x(), bottom) << QPointF(c.x() - half, girdle);
    p.setPen(QPen(Shade(base, 0.35f), 1));
    p.setBrush(base);
    p.drawPolygon(outline);
    // Facets: vertical stripes whose brightness follows the turn.
    const int facets = 4;
    for (int i = 0; i < facets; ++i) {
        const float a0 = -1 + 2 * static_cast<float>(i) / facets;
        const float a1 = -1 + 2 * static_cast<float>(i + 1) / facets;
        const float light = 0.65f + 0.6f * std::sin(2 * Pi * spin + static_cast<float>(i) * 1.3f) * 0.5f + 0.3f;
        QPolygonF crown;
        crown << QPointF(c.x() + a0 * half * 0.6, top) << QPointF(c.x() + a1 * half * 0.6, top)
              << QPointF(c.x() + a1 * half, girdle) << QPointF(c.x() + a0 * half, girdle);
        QPolygonF pav;
        pav << QPointF(c.x() + a0 * half, girdle) << QPointF(c.x() + a1 * half, girdle) << QPointF(c.x(), bottom);
        p.setPen(Qt::NoPen);
        p.setBrush(Shade(base, light * 1.25f));
        p.drawPolygon(crown);
        p.setBrush(Shade(base, light * 0.8f));
        p.drawPolygon(pav);
    }
    p.setPen(QPen(Shade(base, 0.35f), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(outline);
    p.setPen(QPen(Shade(base, 1.6f), 0.8));
    p.drawLine(QPointF(c.x() - half, girdle), QPointF(c.x() + half, girdle));
    // Glint.
    const float g = std::max(0.0f, std::sin(2 * Pi * spin * 2));
    if (g > 0.3f) {
        const QPointF gp(c.x() - half * 0.3, top + 2);
        p.setPen(QPen(QColor(255, 255, 240), 1));
        p.drawLine(gp + QPointF(-2.5 * g, 0), gp + QPointF(2.5 * g, 0));
        p.drawLine(gp + QPointF(0, -2.5 * g), gp + QPointF(0, 2.5 * g));
    }
}

void DrawBomb(QPainter& p, QPointF c, float r, float fuse)
{
    // A cherry bomb: a red ball with a short green-wrapped fuse; fuse = 0..1 burnt.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawEllipse(c + QPointF(1, r * 0.85), r * 0.9, r * 0.3);
    Ball(p, c, r, QColor(196, 36, 36), 1.2f);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(c + QPointF(-r * 0.4, -r * 0.4), r * 0.25, r * 0.17);
    const QPointF root = c + QPointF(r * 0.3, -r * 0.9);
    const QPointF tip = c + QPointF(r * 0.9, -r * 1.6);
    const QPointF end = root + (tip - root) * (1 - fuse * 0.8f);
    p.setPen(QPen(pal::Ink, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(root, end);
    p.setPen(QPen(QColor(96, 140, 50), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(root, end);
}

void DrawFlame(QPainter& p, QPointF c, float size, float phase, int seed)
{
    Rng rng(static_cast<uint64_t>(seed));
    for (int i = 0; i < 4; ++i) {
        const float s = size * (1.0f - static_cast<float>(i) * 0.2f);
        const float wob = std::sin(2 * Pi * phase + static_cast<float>(i)) * s * 0.12f;
        QPainterPath f;
        const QPointF b = c + QPointF(rng.Range(-1, 1), s * 0.45f);
        f.moveTo(b + QPointF(-s * 0.45f, 0));
        f.cubicTo(b + QPointF(-s * 0.55f, -s * 0.6f), b + QPointF(wob, -s * 0.7f), b + QPointF(wob * 2, -s * 1.1f));
        f.cubicTo(b + QPointF(s * 0.2f, -s * 0.7f), b + QPointF(s * 0.6f, -s * 0.5f), b + QPointF(s * 0.45f, 0));
        f.closeSubpath();
        const QColor cols[4] = {QColor(150, 30, 0), QColor(230, 90, 10), QColor(255, 170, 40), QColor(255, 240, 170)};
        p.setPen(Qt::NoPen);
        p.setBrush(cols[i]);
        p.drawPath(f);
    }
}

} // namespace art
