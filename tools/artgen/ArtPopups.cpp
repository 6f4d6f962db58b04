// End-of-level and death pop-ups and the clear-progress dialog.
#include "Sheets.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

// A dark wooden board with a gold trim; transparent outside its rounded outline.
QImage Board(int w, int h, int seed)
{
    QImage img = NewLayer(w, h);
    QPainter p(&img);
    Smooth(p);
    const QRectF outer(1, 1, w - 2, h - 2);
    QLinearGradient g(outer.topLeft(), outer.bottomLeft());
    g.setColorAt(0, QColor(110, 70, 36));
    g.setColorAt(1, QColor(64, 38, 20));
    p.setPen(QPen(pal::Ink, 2));
    p.setBrush(g);
    p.drawRoundedRect(outer, 22, 22);
    // Planks.
    p.setPen(QPen(QColor(50, 30, 14, 120), 1));
    for (int y = 24; y < h - 10; y += 24)
        p.drawLine(QPointF(12, y), QPointF(w - 12, y));
    p.setPen(QPen(pal::GoldDark, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outer.adjusted(8, 8, -8, -8), 16, 16);
    p.setPen(QPen(pal::Gold, 1));
    p.drawRoundedRect(outer.adjusted(11, 11, -11, -11), 13, 13);
    p.end();
    Grain(img, img.rect(), 0.06f, seed);
    return img;
}

// The outline shared by the pictures that sit on top of a board: a rounded panel.
QPainterPath TopShape(int w, int h)
{
    QPainterPath s;
    s.addRoundedRect(QRectF(6, 6, w - 12, h - 10), 20, 20);
    return s;
}

void Scene(QPainter& p, int w, int h, QColor sky, QColor ground)
{
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, sky);
    g.setColorAt(0.62, Mix(sky, QColor(255, 240, 210), 0.4f));
    g.setColorAt(0.63, ground);
    g.setColorAt(1, Shade(ground, 0.7f));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(0, 0, w, h));
}

void Caption(QPainter& p, QRectF r, const QString& text, float size)
{
    p.setFont(SerifBold(size));
    OutlinedText(p, r, Qt::AlignHCenter | Qt::AlignTop, text, QColor(255, 232, 160), QColor(50, 22, 6), 1.8f);
}

QImage TopPicture(int w, int h, std::function<void(QPainter&)> paint)
{
    QImage img = NewLayer(w, h);
    QPainter p(&img);
    Smooth(p);
    const QPainterPath shape = TopShape(w, h);
    p.setClipPath(shape);
    paint(p);
    p.setClipping(false);
    p.setPen(QPen(pal::Gold, 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.end();
    return img;
}
} // namespace

void WritePopups(Output& out)
{
    out.Picture("PopupBase_Small.jpg", Board(402, 304, 201), Kind::Keyed);
    out.Picture("PopupBase_Large.jpg", Board(426, 356, 202), Kind::Keyed);

    // Death pictures share the outline of "PopUpTop_Death.bmp".
    const int dw = 402, dh = 144;
    struct Death {
        std::string Name;
        QString Text;
        QColor Sky, Ground;
        int Who; // 0 general, 1 snake, 2 spider, 3 bomb
    };
    const Death deaths[] = {
        {"Popup_GeneralDeath1.Jpg", "OUCH!", QColor(150, 170, 200), pal::Grass, 0},
        {"Popup_GeneralDeath2.Jpg", "THAT HURT...", QColor(190, 150, 170), QColor(150, 120, 80), 0},
        {"Popup_GeneralDeath3.Jpg", "DOWN YOU GO!", QColor(120, 140, 190), pal::GrassDark, 0},
        {"Popup_GeneralDeath4.Jpg", "NOT QUITE!", QColor(200, 170, 120), QColor(170, 140, 90), 0},
        {"Popup_GeneralDeath5.Jpg", "OH DEAR.", QColor(140, 160, 150), pal::Grass, 0},
        {"Popup_GeneralDeath6.Jpg", "SO CLOSE!", QColor(170, 150, 200), QColor(120, 110, 100), 0},
        {"Popup_SnakeDeath1.Jpg", "BITTEN!", QColor(150, 190, 140), pal::GrassDark, 1},
        {"Popup_SnakeDeath2.Jpg", "SSSSNAKE!", QColor(190, 200, 130), pal::Grass, 1},
        {"Popup_SnakeDeath3.Jpg", "WATCH THE FANGS", QColor(130, 170, 130), QColor(110, 120, 70), 1},
        {"Popup_SpiderDeath1.Jpg", "CAUGHT!", QColor(110, 100, 130), QColor(90, 80, 80), 2},
        {"Popup_SpiderDeath2.Jpg", "TANGLED UP", QColor(130, 120, 150), QColor(100, 90, 90), 2},
        {"Popup_SpiderDeath3.Jpg", "EIGHT LEGS WIN", QColor(100, 110, 140), QColor(80, 80, 90), 2},
        {"Popup_BombDeath1.Jpg", "KABOOM!", QColor(230, 160, 90), QColor(120, 90, 70), 3},
        {"Popup_BombDeath2.Jpg", "TOO CLOSE!", QColor(240, 190, 110), QColor(130, 100, 70), 3},
        {"Popup_BombDeath3.Jpg", "BLOWN AWAY", QColor(220, 140, 100), QColor(110, 80, 60), 3},
    };
    int index = 0;
    for (const Death& d : deaths) {
        ++index;
        QImage img = TopPicture(dw, dh, [&](QPainter& p) {
            Scene(p, dw, dh, d.Sky, d.Ground);
            Rng rng(static_cast<uint64_t>(index));
            // The fallen hero: his hat on the ground and a ghost rising.
            const QPointF hero(300 + rng.Range(-20, 20), 108);
            p.setPen(QPen(pal::Ink, 1.5));
            p.setBrush(QColor(128, 84, 40));
            p.drawEllipse(hero, 22, 6);
            p.drawChord(QRectF(hero.x() - 12, hero.y() - 14, 24, 28), 0, 180 * 16);
            QPainterPath ghost;
            const QPointF g = hero + QPointF(6, -50);
            ghost.moveTo(g + QPointF(-14, 18));
            ghost.cubicTo(g + QPointF(-16, -22), g + QPointF(16, -22), g + QPointF(14, 18));
            ghost.lineTo(g + QPointF(7, 12));
            ghost.lineTo(g + QPointF(0, 18));
            ghost.lineTo(g + QPointF(-7, 12));
            ghost.closeSubpath();
            p.setPen(QPen(QColor(110, 130, 160), 1.5));
            p.setBrush(QColor(240, 244, 250));
            p.drawPath(ghost);
            p.setPen(Qt::NoPen);
            p.setBrush(pal::Ink);
            p.drawEllipse(g + QPointF(-5, -3), 2.4, 3.2);
            p.drawEllipse(g + QPointF(5, -3), 2.4, 3.2);
            p.drawEllipse(g + QPointF(0, 6), 2.6, 2);
            switch (d.Who) {
            case 1: DrawSnake(p, QPointF(110, 128), 0.5f, false, 2.6f); break;
            case 2: {
                p.setPen(QPen(QColor(240, 240, 240, 200), 1));
                p.setBrush(Qt::NoBrush);
                const QPointF wc(70, 40);
                for (int k = 0; k < 8; ++k) {
                    const float a = 2 * Pi * static_cast<float>(k) / 8;
                    p.drawLine(wc, wc + QPointF(std::cos(a) * 80, std::sin(a) * 80));
                }
                for (int r = 14; r < 80; r += 14)
                    p.drawEllipse(wc, r, r);
                DrawSpider(p, QPointF(130, 80), 160, 0.3f, 3.2f);
                break;
            }
            case 3: {
                QRadialGradient b(QPointF(120, 80), 70);
                b.setColorAt(0, QColor(255, 250, 210));
                b.setColorAt(0.4, QColor(255, 180, 60));
                b.setColorAt(1, QColor(255, 120, 40, 0));
                p.setPen(Qt::NoPen);
                p.setBrush(b);
                p.drawEllipse(QPointF(120, 80), 70, 70);
                for (int k = 0; k < 6; ++k)
                    Ball(p, QPointF(60 + k * 25, 120 + (k % 2) * 6), 7, QColor(90, 80, 80), 1);
                break;
            }
            default: {
                for (int k = 0; k < 3; ++k)
                    DrawBoulder(p, QPointF(60 + k * 40 + rng.Range(-6, 6), 112 - (k % 2) * 8), 16, index * 10 + k);
                break;
            }
            }
            Caption(p, QRectF(0, 16, dw, 40), d.Text, 28);
        });
        out.Picture(d.Name, img, Kind::KeyedNoMask);
        if (index == 1)
            out.MaskFromAlpha("PopUpTop_Death.bmp", img);
    }

    const int sw = 426, sh = 160;
    for (int k = 0; k < 2; ++k) {
        QImage img = TopPicture(sw, sh, [&](QPainter& p) {
            Scene(p, sw, sh, k == 0 ? QColor(120, 180, 230) : QColor(170, 170, 200), pal::Grass);
            // Rays of light behind the treasure.
            p.setPen(Qt::NoPen);
            for (int r = 0; r < 12; ++r) {
                QPainterPath ray;
                const QPointF c(213, 120);
                const float a0 = Pi + Pi * static_cast<float>(r) / 12, a1 = a0 + Pi / 24;
                ray.moveTo(c);
                ray.lineTo(c + QPointF(std::cos(a0) * 300, std::sin(a0) * 300));
                ray.lineTo(c + QPointF(std::cos(a1) * 300, std::sin(a1) * 300));
                ray.closeSubpath();
                p.setBrush(QColor(255, 250, 220, 70));
                p.drawPath(ray);
            }
            DrawHero(p, QPointF(213, 140), Facing::Down, 0, 2, 1.6f);
            const QColor gems[4] = {QColor(48, 110, 224), QColor(214, 70, 196), QColor(40, 180, 80), QColor(240, 200, 40)};
            const int shown = k == 0 ? 4 : 2;
            for (int i = 0; i < shown; ++i)
                DrawGem(p, QPointF(100 + i * 30 + (i >= 2 ? 150 : 0), 128), 22, 22, gems[i], 0.1f * static_cast<float>(i));
            DrawKey(p, QPointF(60, 124), 30, 0);
            DrawKey(p, QPointF(366, 124), 30, 0);
            Caption(p, QRectF(0, 14, sw, 40), k == 0 ? "LEVEL SOLVED!" : "PARTLY SOLVED", 30);
            if (k == 1) {
                p.setFont(Sans(14));
                p.setPen(QColor(40, 22, 8));
                p.drawText(QRectF(0, 54, sw, 20), Qt::AlignHCenter, "Some jewels are still out there...");
            }
        });
        out.Picture(k == 0 ? "Popup_Solved.jpg" : "Popup_PartiallySolved.jpg", img, Kind::KeyedNoMask);
        if (k == 0)
            out.MaskFromAlpha("PopupTop_LevelCompleted.bmp", img);
    }

    out.Picture("Popup_ConfirmCP.jpg", ConfirmDialogPicture(), Kind::KeyedNoMask);
}

QImage ConfirmDialogPicture()
{
    QImage img = Board(402, 304, 203);
    QPainter p(&img);
    Smooth(p);
    p.setFont(SerifBold(21));
    OutlinedText(p, QRectF(0, 30, 402, 34), Qt::AlignHCenter | Qt::AlignTop, "FORGET YOUR PROGRESS?", QColor(255, 232, 160),
                 QColor(40, 18, 6), 1.6f);
    p.setFont(Sans(15));
    p.setPen(QColor(240, 220, 180));
    p.drawText(QRectF(40, 76, 322, 90), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               "Every level of this set will be marked as unsolved again. This cannot be undone.");
    DrawBomb(p, QPointF(201, 166), 12, 0.2f);
    p.end();
    return img;
}

QImage ButtonFace(int w, int h, const QString& caption, int state)
{
    // state 0 normal, 1 mouse over, 2 pressed, 3 focused.
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(70, 20, 20));
    QPainter p(&img);
    Smooth(p);
    const QColor face = state == 1 ? QColor(200, 140, 60) : state == 2 ? QColor(120, 76, 34) : QColor(160, 108, 50);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, Shade(face, state == 2 ? 0.9f : 1.3f));
    g.setColorAt(1, Shade(face, state == 2 ? 1.1f : 0.75f));
    p.setPen(QPen(state == 3 ? pal::Gold : pal::Ink, state == 3 ? 2 : 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 5, 5);
    p.setFont(SansBold(h >= 40 ? 12 : 11));
    const QRectF tr = QRectF(0, 0, w, h).translated(state == 2 ? 1 : 0, state == 2 ? 1 : 0);
    p.setPen(state == 1 ? QColor(255, 246, 210) : QColor(36, 18, 6));
    p.drawText(tr, Qt::AlignCenter | Qt::TextWordWrap, caption);
    p.end();
    return img;
}

} // namespace art
