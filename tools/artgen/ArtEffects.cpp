// Explosions, the teleport, spinning treasures, exits and the shared sheet.
#include "Sheets.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

QColor Scaled(QColor c, float k)
{
    k = std::clamp(k, 0.0f, 1.0f);
    return QColor(static_cast<int>(c.red() * k), static_cast<int>(c.green() * k), static_cast<int>(c.blue() * k));
}

// A soft additive blob: hot core, fire colours outward.
void FireBlob(QPainter& p, QPointF c, float r, float heat, float bright)
{
    if (r <= 0.5f || bright <= 0.01f)
        return;
    QRadialGradient g(c, r);
    const QColor core = Mix(QColor(255, 120, 30), QColor(255, 250, 210), heat);
    const QColor mid = Mix(QColor(150, 30, 5), QColor(255, 150, 30), heat);
    g.setColorAt(0, Scaled(core, bright));
    g.setColorAt(0.45, Scaled(mid, bright * 0.85f));
    g.setColorAt(0.8, Scaled(QColor(90, 20, 5), bright * 0.5f));
    g.setColorAt(1, QColor(0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void Additive(QPainter& p)
{
    p.setCompositionMode(QPainter::CompositionMode_Plus);
}
} // namespace

void WriteEffectSheets(Output& out)
{
    {
        // Explosion1: 27 frames of 52 x 54, centre (26, 27), one per tick.
        QImage img = NewOpaque(1404, 54, Qt::black);
        QPainter p(&img);
        Smooth(p);
        Additive(p);
        for (int i = 0; i < 27; ++i) {
            p.save();
            p.setClipRect(QRect(52 * i + 1, 1, 50, 52));
            const float t = static_cast<float>(i) / 26.0f;
            const QPointF c(52 * i + 26, 27);
            const float grow = 1 - std::pow(1 - std::min(1.0f, t * 2.2f), 2.0f);
            const float fade = t < 0.25f ? 1.0f : std::max(0.0f, 1 - (t - 0.25f) / 0.75f);
            FireBlob(p, c, 6 + grow * 17, 1 - t, fade);
            Rng rng(77);
            for (int k = 0; k < 12; ++k) {
                const float a = rng.Range(0, 2 * Pi);
                const float sp = rng.Range(0.6f, 1.0f);
                const float d = grow * 22 * sp;
                FireBlob(p, c + QPointF(std::cos(a) * d, std::sin(a) * d), (4 + 3 * sp) * (1 - t * 0.7f), 0.6f - t * 0.5f,
                         fade * 0.9f);
            }
            p.restore();
        }
        p.end();
        out.Picture("Explosion1.jpg", img, Kind::Additive);
    }
    {
        // FireBall: 28 frames of 160 x 132, hot spot (78, 85); a bomb's blast billowing up.
        QImage img = NewOpaque(160, 3696, Qt::black);
        QPainter p(&img);
        Smooth(p);
        Additive(p);
        for (int i = 0; i < 28; ++i) {
            p.save();
            p.setClipRect(QRect(1, 132 * i + 1, 158, 130));
            const float t = static_cast<float>(i) / 27.0f;
            const QPointF c(78, 132 * i + 85);
            const float grow = 1 - std::pow(1 - std::min(1.0f, t * 1.8f + 0.1f), 2.0f);
            const float fade = t < 0.35f ? 1.0f : std::max(0.0f, 1 - (t - 0.35f) / 0.65f);
            FireBlob(p, c, 14 + grow * 36, 1 - t, fade);
            Rng rng(1234);
            for (int k = 0; k < 26; ++k) {
                const float a = rng.Range(Pi * 0.9f, Pi * 2.1f);
                const float sp = rng.Range(0.3f, 1.0f);
                const float rise = t * 30 * sp;
                const QPointF d(std::cos(a) * grow * 50 * sp, std::sin(a) * grow * 36 * sp - rise);
                FireBlob(p, c + d, (9 + 9 * sp) * (0.6f + grow * 0.6f), 0.8f - t * 0.8f, fade * rng.Range(0.6f, 1.0f));
            }
            // Ground flash.
            FireBlob(p, c + QPointF(0, 12), 10 + grow * 40, 0.2f, fade * 0.5f * (1 - t));
            // Sparks flying out.
            for (int k = 0; k < 14; ++k) {
                const float a = rng.Range(0, 2 * Pi);
                const float d = (10 + t * 70) * rng.Range(0.5f, 1.0f);
                const QPointF s = c + QPointF(std::cos(a) * d, std::sin(a) * d * 0.8f - t * 10);
                p.setPen(QPen(Scaled(QColor(255, 220, 120), fade), 1.6));
                p.drawPoint(s);
            }
            p.restore();
        }
        p.end();
        out.Picture("FireBall.jpg", img, Kind::Additive);
    }
    {
        // Warp: 71 frames of 66 x 30, hot spot (33, 15): a ring of light that flares and
        // fades, with sparkles circling it.
        QImage img = NewOpaque(66, 2130, Qt::black);
        QPainter p(&img);
        Smooth(p);
        Additive(p);
        for (int i = 0; i < 71; ++i) {
            p.save();
            p.setClipRect(QRect(1, 30 * i + 1, 64, 28));
            const float t = static_cast<float>(i) / 70.0f;
            const float env = i == 0 ? 0.0f : (t < 0.2f ? 0.3f + 0.7f * t / 0.2f : std::max(0.0f, 1 - (t - 0.2f) / 0.8f));
            const QPointF c(33, 30 * i + 15);
            QRadialGradient g(c, 30);
            g.setColorAt(0, Scaled(QColor(200, 240, 255), env));
            g.setColorAt(0.5, Scaled(QColor(60, 140, 220), env * 0.8f));
            g.setColorAt(1, Qt::black);
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.save();
            p.translate(c);
            p.scale(1, 0.42);
            p.translate(-c);
            p.drawEllipse(c, 30, 30);
            p.restore();
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Scaled(QColor(150, 230, 255), env), 1.5));
            p.drawEllipse(c, 24 * (0.6f + 0.4f * env), 9 * (0.6f + 0.4f * env));
            for (int k = 0; k < 10; ++k) {
                const float a = 2 * Pi * (static_cast<float>(k) / 10 + t * 3);
                const QPointF s = c + QPointF(std::cos(a) * 26, std::sin(a) * 10 - (k % 3) * 2.0f);
                p.setPen(QPen(Scaled(QColor(255, 255, 220), env), 1));
                p.drawLine(s - QPointF(1.5, 0), s + QPointF(1.5, 0));
                p.drawLine(s - QPointF(0, 1.5), s + QPointF(0, 1.5));
            }
            p.restore();
        }
        p.end();
        out.Picture("Warp.jpg", img, Kind::Additive);
    }
    {
        // SpinningThings: frames of 32 x 24, hot spot (16, 12), stacked per column.
        QImage img = NewLayer(160, 768);
        QPainter p(&img);
        Smooth(p);
        struct Column {
            int X;
            int Frames;
            QColor Colour;
        };
        const Column cols[5] = {{0, 32, QColor()},
                                {32, 32, QColor(48, 110, 224)},
                                {64, 16, QColor(214, 70, 196)},
                                {96, 16, QColor(40, 180, 80)},
                                {128, 13, QColor(240, 200, 40)}};
        for (const Column& col : cols)
            for (int i = 0; i < col.Frames; ++i) {
                const QPointF c(col.X + 16, 24 * i + 12);
                const float spin = static_cast<float>(i) / static_cast<float>(col.Frames);
                if (col.X == 0)
                    DrawKey(p, c, 22, spin);
                else
                    DrawGem(p, c, 18, 18, col.Colour, spin);
            }
        p.end();
        out.Picture("SpinningThings.jpg", img, Kind::Keyed);
    }
    {
        // Exits: 7 frames each, closed (0) to open (6).
        QImage img = NewLayer(224, 256);
        QPainter p(&img);
        Smooth(p);
        for (int f = 0; f < 7; ++f) {
            const float open = static_cast<float>(f) / 6.0f;
            const float x0 = 32.0f * static_cast<float>(f);
            for (int kind = 0; kind < 2; ++kind) {
                // ExitUpDoor (y 0) and ExitDoor (y 64): an arched doorway in its cell with
                // a step into the cell below.
                const float y0 = kind == 0 ? 0 : 64;
                const QColor door = kind == 0 ? QColor(122, 82, 44) : QColor(90, 96, 110);
                QPainterPath arch;
                arch.moveTo(x0 + 2, y0 + 38);
                arch.lineTo(x0 + 2, y0 + 12);
                arch.cubicTo(x0 + 2, y0 - 1, x0 + 30, y0 - 1, x0 + 30, y0 + 12);
                arch.lineTo(x0 + 30, y0 + 38);
                arch.closeSubpath();
                QLinearGradient sg(QPointF(x0, y0), QPointF(x0 + 32, y0 + 38));
                sg.setColorAt(0, pal::StoneLight);
                sg.setColorAt(1, pal::StoneDark);
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(sg);
                p.drawPath(arch);
                QPainterPath inner;
                inner.moveTo(x0 + 6, y0 + 37);
                inner.lineTo(x0 + 6, y0 + 13);
                inner.cubicTo(x0 + 6, y0 + 4, x0 + 26, y0 + 4, x0 + 26, y0 + 13);
                inner.lineTo(x0 + 26, y0 + 37);
                inner.closeSubpath();
                QRadialGradient light(QPointF(x0 + 16, y0 + 26), 16);
                light.setColorAt(0, kind == 0 ? QColor(255, 236, 170) : QColor(200, 240, 255));
                light.setColorAt(1, kind == 0 ? QColor(200, 140, 50) : QColor(80, 140, 190));
                p.setBrush(f == 0 ? QBrush(QColor(30, 22, 18)) : QBrush(light));
                p.drawPath(inner);
                // The door leaf swings inward: it narrows toward the hinge.
                const float leaf = 20 * (1 - open);
                if (leaf > 0.5f) {
                    p.save();
                    p.setClipPath(inner);
                    QLinearGradient dg(QPointF(x0 + 6, 0), QPointF(x0 + 6 + leaf, 0));
                    dg.setColorAt(0, Shade(door, 1.2f));
                    dg.setColorAt(1, Shade(door, 0.7f));
                    p.setBrush(dg);
                    p.drawRect(QRectF(x0 + 6, y0 + 2, leaf, 36));
                    p.setPen(QPen(Shade(door, 0.5f), 1));
                    for (float lx = x0 + 6 + leaf / 3; lx < x0 + 6 + leaf - 1; lx += leaf / 3)
                        p.drawLine(QPointF(lx, y0 + 5), QPointF(lx, y0 + 37));
                    p.setPen(Qt::NoPen);
                    p.setBrush(pal::Gold);
                    p.drawEllipse(QPointF(x0 + 4 + leaf, y0 + 24), 1.4, 1.4);
                    p.restore();
                }
                // Step below the door.
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(pal::Stone);
                p.drawRoundedRect(QRectF(x0 + 3, y0 + 37, 26, 6), 2, 2);
                if (kind == 1) {
                    // A lantern over the main exit that lights as it opens.
                    p.setBrush(Mix(QColor(90, 80, 60), QColor(255, 220, 110), open));
                    p.drawEllipse(QPointF(x0 + 16, y0 + 5), 2.5, 2.5);
                }
            }
            for (int side = 0; side < 2; ++side) {
                // ExitLeft (y 128) and ExitRight (y 160): a portcullis rising from an
                // opening, with an arrow showing the way out.
                const float y0 = side == 0 ? 128 : 160;
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(pal::StoneDark);
                p.drawRect(QRectF(x0 + 1, y0 + 1, 30, 30));
                p.setBrush(Mix(QColor(28, 20, 16), QColor(120, 170, 90), open));
                p.drawRect(QRectF(x0 + 5, y0 + 5, 22, 26));
                const float lift = 22 * open;
                p.setPen(QPen(QColor(70, 70, 80), 2));
                for (int b = 0; b < 4; ++b) {
                    const float bx = x0 + 8 + b * 5.5f;
                    if (26 - lift > 1)
                        p.drawLine(QPointF(bx, y0 + 5), QPointF(bx, y0 + 31 - lift));
                }
                if (26 - lift > 1)
                    p.drawLine(QPointF(x0 + 5, y0 + 29 - lift), QPointF(x0 + 27, y0 + 29 - lift));
                QPolygonF arrow;
                const float dir = side == 0 ? -1.0f : 1.0f;
                const QPointF ac(x0 + 16, y0 + 18);
                arrow << ac + QPointF(dir * 7, 0) << ac + QPointF(0, -5) << ac + QPointF(0, -2) << ac + QPointF(-dir * 6, -2)
                      << ac + QPointF(-dir * 6, 2) << ac + QPointF(0, 2) << ac + QPointF(0, 5);
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(Mix(QColor(150, 120, 60), pal::Gold, open));
                p.drawPolygon(arrow);
            }
            {
                // ExitHatch (y 192), hot spot (16, 45): the hatch lies in the cell (frame
                // rows 29..60); its lid swings up above it.
                const float y0 = 192;
                const QRectF hole(x0 + 4, y0 + 32, 24, 26);
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(pal::StoneDark);
                p.drawRect(hole.adjusted(-2, -2, 2, 2));
                p.setBrush(QColor(24, 18, 14));
                p.drawRect(hole);
                p.setPen(QPen(pal::Wood, 1.5));
                for (int r = 0; r < 4; ++r)
                    p.drawLine(QPointF(x0 + 10, y0 + 36 + r * 6), QPointF(x0 + 22, y0 + 36 + r * 6));
                p.drawLine(QPointF(x0 + 10, y0 + 34), QPointF(x0 + 10, y0 + 58));
                p.drawLine(QPointF(x0 + 22, y0 + 34), QPointF(x0 + 22, y0 + 58));
                // Lid: hinged on the hole's top edge; its height on screen shrinks then
                // grows upward as it turns over.
                const float ang = open * Pi * 0.5f;
                const float h = 26 * std::cos(ang);
                const float up = 26 * std::sin(ang);
                QRectF lid = open < 1 ? QRectF(x0 + 4, y0 + 32, 24, h) : QRectF();
                QRectF lidUp(x0 + 4, y0 + 32 - up, 24, up);
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(pal::Wood);
                if (lid.height() > 1)
                    p.drawRect(lid);
                if (lidUp.height() > 1) {
                    p.setBrush(Shade(pal::Wood, 0.8f));
                    p.drawRect(lidUp);
                }
                p.setPen(QPen(pal::WoodDark, 1));
                if (lid.height() > 4)
                    for (int b = 1; b < 4; ++b)
                        p.drawLine(QPointF(x0 + 4 + b * 6, lid.top() + 1), QPointF(x0 + 4 + b * 6, lid.bottom() - 1));
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(70, 70, 80));
                if (lid.height() > 6)
                    p.drawRect(QRectF(x0 + 14, lid.bottom() - 4, 4, 3));
            }
        }
        p.end();
        out.Picture("Exits.Jpg", img, Kind::Keyed);
    }
}

namespace {
void FillBlack(QPainter& p, QRect r)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(r, Qt::black);
    p.restore();
}

void MenuButton(QPainter& p, QRectF r, float glow, bool pressed)
{
    // A carved wooden plaque with "MENU" on it; the glow warms the letters.
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, pressed ? QColor(120, 78, 38) : QColor(176, 118, 58));
    g.setColorAt(1, pressed ? QColor(88, 54, 26) : QColor(120, 76, 36));
    // The frame around the plaque matches the side panel's recess it sits in.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(196, 156, 100));
    p.drawRect(r);
    p.setPen(QPen(pal::Ink, 2));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(8, 8, -9, -8), 9, 9);
    p.setPen(QPen(QColor(230, 180, 110, pressed ? 60 : 140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(10, 10, -11, -10), 7, 7);
    const QColor text = Mix(QColor(70, 40, 16), QColor(255, 236, 150), glow);
    QFont f = SerifBold(19);
    p.setFont(f);
    const QRectF tr = r.translated(pressed ? 1 : 0, pressed ? 1 : 0);
    if (glow > 0) {
        for (int k = 3; k >= 1; --k)
            OutlinedText(p, tr, Qt::AlignCenter, "MENU", QColor(0, 0, 0, 0), QColor(255, 160, 40, static_cast<int>(60 * glow)),
                         static_cast<float>(k));
    }
    OutlinedText(p, tr, Qt::AlignCenter, "MENU", text, QColor(40, 22, 8), 0.8f);
}
} // namespace

void WriteBaseGfx(Output& out)
{
    QImage img = NewLayer(576, 352);
    QPainter p(&img);
    Smooth(p);
    // Additive cells on black: flames, the sign picture, both fireballs.
    for (int i = 0; i < 7; ++i)
        FillBlack(p, QRect(32 * i, 160, 32, 32));
    FillBlack(p, QRect(64, 224, 32, 32));
    FillBlack(p, QRect(64, 256, 64, 32));
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    const float flameSize[7] = {8, 13, 18, 22, 18, 12, 7};
    for (int i = 0; i < 7; ++i) {
        p.save();
        p.setClipRect(QRect(32 * i + 1, 161, 30, 30));
        DrawFlame(p, QPointF(32 * i + 16, 160 + 16 + 2), flameSize[i], static_cast<float>(i) / 7.0f, 40 + i);
        p.restore();
    }
    {
        // Sign picture (editor view): a glowing "i" on a round plate.
        const QPointF c(80, 240);
        QRadialGradient g(c, 14);
        g.setColorAt(0, QColor(60, 120, 200));
        g.setColorAt(0.8, QColor(30, 60, 120));
        g.setColorAt(1, Qt::black);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, 14, 14);
        p.setBrush(QColor(230, 240, 255));
        p.drawEllipse(c + QPointF(0, -6), 2.2, 2.2);
        p.drawRoundedRect(QRectF(c.x() - 2, c.y() - 2, 4, 10), 1.5, 1.5);
    }
    for (int k = 0; k < 2; ++k) {
        // Fireballs: right (64, 256) and left (96, 256).
        const QPointF c(k == 0 ? 80 : 112, 272);
        const float dir = k == 0 ? 1.0f : -1.0f;
        p.save();
        p.setClipRect(QRect(k == 0 ? 65 : 97, 257, 30, 30));
        for (int t = 0; t < 5; ++t)
            FireBlob(p, c + QPointF(-dir * t * 3.0f, 0), 6.0f - t, 0.5f, 0.8f - t * 0.12f);
        FireBlob(p, c + QPointF(dir * 2, 0), 8, 1.0f, 1.0f);
        p.restore();
    }
    p.restore();

    {
        // Mouse cursor (32, 192): an arrow whose tip is at cell pixel (14, 12).
        const QPointF tip(32 + 14, 192 + 12);
        QPolygonF a;
        a << tip << tip + QPointF(0, 15) << tip + QPointF(4, 11) << tip + QPointF(7, 17) << tip + QPointF(9.5, 16)
          << tip + QPointF(6.5, 10) << tip + QPointF(11, 10);
        p.setPen(QPen(pal::Ink, 1.3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        QLinearGradient g(tip, tip + QPointF(10, 16));
        g.setColorAt(0, QColor(255, 246, 200));
        g.setColorAt(1, pal::Gold);
        p.setBrush(g);
        p.drawPolygon(a);
    }
    DrawBoulder(p, QPointF(16, 240), 13.5f, 9);
    {
        // Slider knob (32, 224): a brass stud.
        Ball(p, QPointF(48, 240), 9, QColor(214, 160, 60), 1.2f);
        p.setPen(QPen(QColor(120, 80, 20), 1));
        p.drawEllipse(QPointF(48, 240), 5, 5);
    }
    {
        // Filled-water cover (96, 224): the water cell plugged with a sunken boulder.
        QRectF r(96, 224, 32, 32);
        QRadialGradient g(r.center(), 22);
        g.setColorAt(0, QColor(132, 120, 96));
        g.setColorAt(1, QColor(86, 78, 62));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(r);
        Rng rng(31);
        for (int k = 0; k < 7; ++k) {
            const QPointF c(rng.Range(100, 124), rng.Range(228, 252));
            Ball(p, c, rng.Range(3, 5.5f), Mix(pal::Stone, pal::StoneDark, rng.Unit()), 0.8f);
        }
    }
    DrawSnake(p, QPointF(16, 256 + 31), 0, false, 0.62f);
    DrawKey(p, QPointF(16, 304), 24, 0);
    DrawGem(p, QPointF(48, 304), 20, 20, QColor(214, 70, 196), 0.1f);
    {
        // Dirt (96, 288): a heap of rubble.
        Rng rng(55);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 80, 50));
        p.drawEllipse(QPointF(112, 308), 14, 8);
        for (int k = 0; k < 12; ++k) {
            const QPointF c(rng.Range(101, 123), rng.Range(298, 312));
            Ball(p, c, rng.Range(2, 4), Mix(QColor(150, 112, 70), QColor(100, 84, 70), rng.Unit()), 0.7f);
        }
    }
    {
        // Water palette picture (128, 288).
        QRectF r(128, 288, 32, 32);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(80, 150, 200));
        g.setColorAt(1, QColor(40, 90, 150));
        p.setPen(QPen(pal::Ink, 1));
        p.setBrush(g);
        p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 4, 4);
        p.setPen(QPen(QColor(200, 235, 255), 1.2));
        for (int k = 0; k < 3; ++k) {
            QPainterPath w;
            const float y = 296 + k * 8.0f;
            w.moveTo(132, y);
            w.cubicTo(137, y - 3, 141, y + 3, 146, y);
            w.cubicTo(150, y - 3, 153, y + 3, 156, y);
            p.setBrush(Qt::NoBrush);
            p.drawPath(w);
        }
    }
    DrawBomb(p, QPointF(16, 338), 9, 0);
    for (int i = 0; i < 3; ++i) {
        // Lit: the fuse sparks.
        const QPointF c(48 + 32 * i, 338);
        DrawBomb(p, c, 9, 0.3f + 0.05f * i);
        const QPointF spark = c + QPointF(9 * 0.3 + (9 * 0.9 - 9 * 0.3) * 0.78, -9 * 0.9 - (9 * 0.7) * 0.78);
        p.setPen(QPen(QColor(255, 230, 120), 1.2));
        for (int r = 0; r < 5; ++r) {
            const float a = 2 * Pi * (static_cast<float>(r) / 5 + static_cast<float>(i) * 0.13f);
            p.drawLine(spark, spark + QPointF(std::cos(a) * 3.5, std::sin(a) * 3.5));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 250, 210));
        p.drawEllipse(spark, 1.6, 1.6);
    }
    for (int i = 0; i < 5; ++i) {
        // Flash: the last fuse turns, the bomb glows hotter.
        const QPointF c(144 + 32 * i, 338);
        const float heat = static_cast<float>(i % 2 == 0 ? 1 : 0.4) * (0.5f + 0.1f * i);
        DrawBomb(p, c, 9 + (i % 2), 0.85f);
        p.setPen(Qt::NoPen);
        QRadialGradient g(c, 10);
        g.setColorAt(0, QColor(255, 240, 180, static_cast<int>(200 * heat)));
        g.setColorAt(1, QColor(255, 120, 40, 0));
        p.setBrush(g);
        p.drawEllipse(c, 10, 10);
    }
    for (int i = 0; i < 2; ++i) {
        // Blast: a bright burst star.
        const QPointF c(304 + 32 * i, 336);
        QPolygonF star;
        const int points = 10;
        for (int k = 0; k < points * 2; ++k) {
            const float a = Pi * static_cast<float>(k) / points + (i ? 0.3f : 0);
            const float r = k % 2 ? 6.0f + 2 * i : 14.5f;
            star << c + QPointF(std::cos(a) * r, std::sin(a) * r);
        }
        p.setPen(QPen(QColor(200, 60, 10), 1));
        QRadialGradient g(c, 15);
        g.setColorAt(0, QColor(255, 255, 230));
        g.setColorAt(0.5, QColor(255, 200, 60));
        g.setColorAt(1, QColor(240, 90, 20));
        p.setBrush(g);
        p.drawPolygon(star);
    }
    // Side-panel menu button: 6 glow frames and the pressed face (opaque).
    for (int i = 0; i < 6; ++i)
        MenuButton(p, QRectF(384, 48 * i, 96, 48), static_cast<float>(i) / 5.0f, false);
    MenuButton(p, QRectF(480, 240, 96, 48), 0.6f, true);
    p.end();
    out.Picture("BaseGfx.jpg", img, Kind::Keyed);
}

} // namespace art
