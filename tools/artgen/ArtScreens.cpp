// Menu slabs, the side panel, the level-pick screen, instructions and credits.
#include "GameTexts.h"
#include "Sheets.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Pi = std::numbers::pi_v<float>;

const QColor SlabField(58, 36, 22);
const QColor SlabFieldLight(84, 54, 32);

// A carved stone slab with a dark leather field: rounded outline (transparent outside),
// a gold trim, a plain field where the menu text goes.
void Slab(QImage& img, int seed)
{
    const int w = img.width(), h = img.height();
    QPainter p(&img);
    Smooth(p);
    const QRectF outer(1, 1, w - 2, h - 2);
    QLinearGradient sg(outer.topLeft(), outer.bottomRight());
    sg.setColorAt(0, pal::StoneLight);
    sg.setColorAt(0.5, pal::Stone);
    sg.setColorAt(1, pal::StoneDark);
    p.setPen(QPen(pal::Ink, 2));
    p.setBrush(sg);
    p.drawRoundedRect(outer, 26, 26);
    const QRectF field = outer.adjusted(16, 16, -16, -16);
    p.setPen(QPen(pal::GoldDark, 3));
    QRadialGradient fg(field.center(), std::max(field.width(), field.height()) * 0.7);
    fg.setColorAt(0, SlabFieldLight);
    fg.setColorAt(1, SlabField);
    p.setBrush(fg);
    p.drawRoundedRect(field, 14, 14);
    p.setPen(QPen(pal::Gold, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(field.adjusted(3, 3, -3, -3), 11, 11);
    // Gold leaves in the field's corners, clear of the text rows.
    const QPointF corners[4] = {field.topLeft() + QPointF(12, 12), field.topRight() + QPointF(-12, 12),
                                field.bottomLeft() + QPointF(12, -12), field.bottomRight() + QPointF(-12, -12)};
    for (int k = 0; k < 4; ++k) {
        const QPointF c = corners[k];
        const float sx = k % 2 ? -1.0f : 1.0f, sy = k / 2 ? -1.0f : 1.0f;
        QPainterPath leaf;
        leaf.moveTo(c);
        leaf.cubicTo(c + QPointF(sx * 4, sy * -2), c + QPointF(sx * 12, sy * 2), c + QPointF(sx * 14, sy * 6));
        leaf.cubicTo(c + QPointF(sx * 8, sy * 6), c + QPointF(sx * 3, sy * 4), c);
        leaf.moveTo(c);
        leaf.cubicTo(c + QPointF(sx * -2, sy * 4), c + QPointF(sx * 2, sy * 12), c + QPointF(sx * 6, sy * 14));
        leaf.cubicTo(c + QPointF(sx * 6, sy * 8), c + QPointF(sx * 4, sy * 3), c);
        p.setPen(QPen(pal::GoldDark, 0.8));
        p.setBrush(Mix(pal::Gold, pal::GoldDark, 0.3f));
        p.drawPath(leaf);
        Ball(p, c, 2.2f, pal::Gold, 0.6f);
    }
    // Rivets in the stone frame.
    p.setPen(Qt::NoPen);
    for (QPointF c : {QPointF(w / 2.0, 8.5), QPointF(w / 2.0, h - 8.5), QPointF(8.5, h / 2.0), QPointF(w - 8.5, h / 2.0)})
        Ball(p, c, 4, pal::Gold, 0.8f);
    p.end();
    Grain(img, img.rect(), 0.07f, seed);
}

void Groove(QPainter& p, float x0, float x1, float y, int ticks)
{
    // A slider track the knob slides along (knob centres from x0 to x1 at y).
    p.setPen(QPen(QColor(24, 14, 8), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x0 - 6, y), QPointF(x1 + 6, y));
    p.setPen(QPen(QColor(120, 84, 48), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x0 - 6, y + 2), QPointF(x1 + 6, y + 2));
    p.setPen(QPen(pal::GoldDark, 1));
    for (int k = 0; k < ticks; ++k) {
        const float x = x0 + (x1 - x0) * static_cast<float>(k) / static_cast<float>(ticks - 1);
        p.drawLine(QPointF(x, y + 6), QPointF(x, y + 9));
    }
}

void Title(QPainter& p, QRectF r, const QString& text, float size)
{
    p.setFont(SerifBold(size));
    OutlinedText(p, r, Qt::AlignHCenter | Qt::AlignTop, text, QColor(250, 226, 160), QColor(40, 20, 6), 1.4f);
}

void Paper(QImage& img, int seed)
{
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const float n = Fbm(static_cast<float>(x) / 60.0f, static_cast<float>(y) / 60.0f, seed, 4);
            const QColor c = Mix(QColor(214, 178, 118), QColor(244, 222, 170), n * 1.3f - 0.1f + (Hash01(x, y, seed) - 0.5f) * 0.08f);
            line[x] = qRgb(c.red(), c.green(), c.blue());
        }
    }
}

void BodyText(QPainter& p, QRectF r, const QString& text, float size, QColor ink = QColor(60, 34, 14))
{
    p.setFont(Sans(size));
    p.setPen(ink);
    p.drawText(r, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
}
} // namespace

static void WriteSlabs(Output& out)
{
    {
        QImage img = NewLayer(392, 366);
        Slab(img, 1);
        QPainter p(&img);
        Smooth(p);
        // A small crest above the six items (items at local y 113..345).
        Title(p, QRectF(0, 22, 392, 40), "GROMBLE", 30);
        p.end();
        out.Picture("Menu_Main.Jpg", img, Kind::Keyed);
    }
    const struct {
        const char* Name;
        int W, H;
    } plain[] = {{"Menu_Options.jpg", 480, 282}, {"Menu_AdvVideo.jpg", 488, 320}};
    for (const auto& s : plain) {
        QImage img = NewLayer(s.W, s.H);
        Slab(img, s.W);
        out.Picture(s.Name, img, Kind::Keyed);
    }
    {
        QImage img = NewLayer(404, 358);
        Slab(img, 3);
        QPainter p(&img);
        Smooth(p);
        Groove(p, 227, 347, 166, 11);
        Groove(p, 227, 347, 247, 11);
        p.end();
        out.Picture("Menu_Sound.jpg", img, Kind::Keyed);
    }
    {
        QImage img = NewLayer(464, 322);
        Slab(img, 4);
        QPainter p(&img);
        // The device name strips are filled with this colour by the game too.
        p.fillRect(QRect(66, 151, 354, 29), QColor(105, 76, 27));
        p.fillRect(QRect(66, 227, 354, 29), QColor(105, 76, 27));
        p.setPen(QPen(pal::GoldDark, 1));
        p.drawRect(QRect(65, 150, 355, 30));
        p.drawRect(QRect(65, 226, 355, 30));
        p.end();
        out.Picture("Menu_AdvSound.jpg", img, Kind::Keyed);
    }
    {
        QImage img = NewLayer(488, 372);
        Slab(img, 5);
        QPainter p(&img);
        Smooth(p);
        Groove(p, 328, 448, 127, 11);
        p.end();
        out.Picture("Menu_Video.jpg", img, Kind::Keyed);
    }
    {
        QImage img = NewLayer(470, 402);
        Slab(img, 6);
        QPainter p(&img);
        Smooth(p);
        Title(p, QRectF(0, 22, 470, 36), "CREDITS", 24);
        p.setPen(QPen(pal::Gold, 2));
        p.setBrush(QColor(20, 12, 8));
        p.drawRect(QRectF(72, 63, 324, 274));
        p.end();
        out.Picture("CreditsSlab.jpg", img, Kind::Keyed);
    }
    {
        // The scrolling credits: 320 wide, light text on the slab's dark.
        QStringList lines;
        for (const char* line : texts::CreditLines())
            lines << QString::fromUtf8(line);
        const int h = 40 + lines.size() * 30;
        QImage img = NewOpaque(320, h, QColor(20, 12, 8));
        QPainter p(&img);
        Smooth(p);
        float y = 20;
        for (const QString& l : lines) {
            if (l.startsWith('#')) {
                p.setFont(SerifBold(30));
                OutlinedText(p, QRectF(0, y, 320, 40), Qt::AlignHCenter | Qt::AlignTop, l.mid(1), pal::Gold, QColor(60, 30, 10), 1.2f);
                y += 40;
                continue;
            }
            if (l.startsWith('*')) {
                p.setFont(SerifBold(18));
                p.setPen(QColor(240, 190, 90));
                p.drawText(QRectF(0, y, 320, 30), Qt::AlignHCenter | Qt::AlignTop, l.mid(1));
            } else {
                p.setFont(Sans(16));
                p.setPen(QColor(236, 220, 190));
                p.drawText(QRectF(0, y, 320, 30), Qt::AlignHCenter | Qt::AlignTop, l);
            }
            y += 28;
        }
        p.end();
        // Plain rows above the title and below the last line: the window starts empty, the
        // title rises in through the window's faded edge, and between two passes the window
        // stays empty for about two seconds (the game scrolls 25 rows a second).
        const QRgb ground = img.pixel(0, 0);
        int last = img.height() - 1;
        auto plain = [&](int row) {
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, row) != ground)
                    return false;
            return true;
        };
        while (last > 0 && plain(last))
            --last;
        constexpr int BottomRows = 32;
        out.Picture("Credits.jpg", img.copy(0, 0, 320, last + 1 + BottomRows), Kind::Opaque);
    }
}

static void WriteInstructions(Output& out)
{
    for (int page = 1; page <= 2; ++page) {
        QImage img(640, 480, QImage::Format_ARGB32_Premultiplied);
        Paper(img, 90 + page);
        QPainter p(&img);
        Smooth(p);
        p.setPen(QPen(QColor(120, 80, 40), 4));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(8, 8, 624, 464));
        p.setFont(SerifBold(30));
        OutlinedText(p, QRectF(0, 18, 640, 40), Qt::AlignHCenter | Qt::AlignTop,
                     texts::InstructionPages().at(page - 1).Title, QColor(130, 60, 20), QColor(250, 230, 180), 1.5f);
        const std::vector<texts::Entry>& entries = texts::InstructionPages().at(page - 1).Entries;
        const int count = static_cast<int>(entries.size());
        for (int i = 0; i < count; ++i) {
            const float y = 74 + i * 60.0f;
            const QPointF c(64, y + 26);
            p.setPen(QPen(QColor(120, 80, 40), 1.5));
            p.setBrush(QColor(250, 236, 200, 160));
            p.drawRoundedRect(QRectF(c.x() - 26, c.y() - 26, 52, 52), 8, 8);
            switch (entries[i].Icon) {
            case 0: DrawHero(p, c + QPointF(0, 22), Facing::Down, 0, 0, 1.25f); break;
            case 1: DrawBoulder(p, c, 16, 9); break;
            case 2: {
                QLinearGradient g(c - QPointF(0, 20), c + QPointF(0, 20));
                g.setColorAt(0, QColor(90, 160, 210));
                g.setColorAt(1, QColor(40, 90, 150));
                p.setPen(Qt::NoPen);
                p.setBrush(g);
                p.drawRoundedRect(QRectF(c.x() - 20, c.y() - 20, 40, 40), 6, 6);
                p.setPen(QPen(QColor(210, 240, 255), 1.5));
                for (int k = 0; k < 3; ++k)
                    p.drawArc(QRectF(c.x() - 14 + k * 6, c.y() - 12 + k * 9, 16, 8), 0, 180 * 16);
                break;
            }
            case 3: DrawKey(p, c, 34, 0); break;
            case 4: DrawGem(p, c, 28, 28, QColor(48, 110, 224), 0.1f); break;
            case 5: {
                // The door (32 x 38 before scaling) stands inside the 52 x 52 frame.
                p.save();
                p.translate(c.x() - 16 * 1.15, c.y() - 20 * 1.15);
                p.scale(1.15, 1.15);
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(pal::Stone);
                QPainterPath arch;
                arch.moveTo(2, 38);
                arch.lineTo(2, 12);
                arch.cubicTo(2, -1, 30, -1, 30, 12);
                arch.lineTo(30, 38);
                arch.closeSubpath();
                p.drawPath(arch);
                p.setBrush(QColor(255, 230, 160));
                p.drawRoundedRect(QRectF(7, 8, 18, 30), 8, 8);
                p.restore();
                break;
            }
            case 6: DrawSnake(p, c + QPointF(-2, 22), 0.3f, false, 1.0f); break;
            case 7: DrawSpider(p, c, -90, 0.2f, 1.6f); break;
            case 8: DrawBomb(p, c + QPointF(-2, 4), 15, 0.3f); break;
            case 9: {
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(pal::WoodDark);
                p.drawRect(QRectF(c.x() - 2, c.y(), 4, 22));
                p.setBrush(pal::Wood);
                p.drawRoundedRect(QRectF(c.x() - 18, c.y() - 18, 36, 22), 3, 3);
                p.setFont(SerifBold(16));
                p.setPen(QColor(250, 230, 180));
                p.drawText(QRectF(c.x() - 18, c.y() - 18, 36, 22), Qt::AlignCenter, "?");
                break;
            }
            default: {
                p.setFont(SerifBold(34));
                p.setPen(QColor(130, 60, 20));
                p.drawText(QRectF(c.x() - 26, c.y() - 26, 52, 52), Qt::AlignCenter, "!");
                break;
            }
            }
            BodyText(p, QRectF(108, y + 8, 480, 50), entries[i].Text, 17);
        }
        p.setFont(Sans(13));
        p.setPen(QColor(110, 70, 36));
        p.drawText(QRectF(20, 440, 440, 24), Qt::AlignLeft | Qt::AlignVCenter, page == 1 ? "Page 1 of 2" : "Page 2 of 2");
        p.end();
        out.Picture(page == 1 ? "Instructions(Page1).jpg" : "Instructions(Page2).jpg", img, Kind::Opaque);
    }
    {
        // 10 glow frames of 48 x 32 per row: next, back, done.
        QImage img(480, 96, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        Smooth(p);
        for (int row = 0; row < 3; ++row)
            for (int f = 0; f < 10; ++f) {
                const float g = static_cast<float>(f) / 9.0f;
                const QRectF r(48 * f, 32 * row, 48, 32);
                p.fillRect(r, QColor(228, 198, 140));
                p.setPen(QPen(QColor(110, 70, 30), 1.5));
                p.setBrush(Mix(QColor(150, 96, 46), QColor(236, 170, 70), g));
                p.drawRoundedRect(r.adjusted(4, 4, -4, -4), 6, 6);
                const QPointF c = r.center();
                p.setPen(QPen(Mix(QColor(60, 30, 10), QColor(255, 250, 220), g), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.setBrush(Qt::NoBrush);
                if (row == 0) {
                    p.drawLine(c + QPointF(-9, 0), c + QPointF(8, 0));
                    p.drawLine(c + QPointF(2, -6), c + QPointF(8, 0));
                    p.drawLine(c + QPointF(2, 6), c + QPointF(8, 0));
                } else if (row == 1) {
                    p.drawLine(c + QPointF(9, 0), c + QPointF(-8, 0));
                    p.drawLine(c + QPointF(-2, -6), c + QPointF(-8, 0));
                    p.drawLine(c + QPointF(-2, 6), c + QPointF(-8, 0));
                } else {
                    p.drawLine(c + QPointF(-7, 0), c + QPointF(-2, 5));
                    p.drawLine(c + QPointF(-2, 5), c + QPointF(8, -6));
                }
            }
        p.end();
        out.Picture("InstructionButtons.jpg", img, Kind::Opaque);
    }
}

static void WriteSidePanel(Output& out)
{
    QImage img(128, 480, QImage::Format_ARGB32_Premultiplied);
    Paper(img, 120);
    QPainter p(&img);
    Smooth(p);
    // Wooden frame.
    p.setPen(QPen(pal::WoodDark, 6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 3, 122, 474));
    p.setPen(QPen(pal::Wood, 2));
    p.drawRect(QRectF(7, 7, 114, 466));
    // Name plate at the top.
    p.setFont(SerifBold(17));
    OutlinedText(p, QRectF(0, 18, 128, 30), Qt::AlignHCenter | Qt::AlignTop, "GROMBLE", QColor(150, 70, 20), QColor(255, 236, 190),
                 1.2f);
    // Level number slot (x 73..114, y 64..95) with its label.
    p.setFont(SerifBold(13));
    p.setPen(QColor(100, 56, 20));
    p.drawText(QRectF(10, 64, 62, 32), Qt::AlignVCenter | Qt::AlignHCenter, "LEVEL");
    p.setPen(QPen(QColor(140, 96, 50), 1.5));
    p.setBrush(QColor(246, 228, 186));
    p.drawRoundedRect(QRectF(71, 62, 46, 36), 5, 5);
    // Divider under the title area (y 100..200).
    p.setPen(QPen(QColor(150, 104, 56), 1.5));
    p.drawLine(QPointF(20, 206), QPointF(108, 206));
    // Keys (counter at y 244) and jewels (counter at y 311).
    DrawKey(p, QPointF(64, 220), 20, 0);
    p.setPen(QPen(QColor(150, 104, 56), 1.5));
    p.drawLine(QPointF(20, 268), QPointF(108, 268));
    DrawGem(p, QPointF(64, 287), 16, 16, QColor(214, 70, 196), 0.1f);
    p.drawLine(QPointF(20, 334), QPointF(108, 334));
    // The menu button's place (x 16..111, y 415..462) is a darker recess.
    p.setPen(QPen(QColor(130, 90, 50), 1.5));
    p.setBrush(QColor(196, 156, 100));
    p.drawRoundedRect(QRectF(14, 413, 100, 52), 6, 6);
    p.end();
    out.Picture("SidePanel.jpg", img, Kind::Opaque);

    // Level digits: 3 columns of 14 x 32, glyphs 0..9, blank, "B".
    QImage digits = NewLayer(42, 384);
    QPainter d(&digits);
    Smooth(d);
    const QFont f = SansBold(26);
    for (int g = 0; g < 12; ++g) {
        if (g == 10)
            continue;
        const QString ch = g == 11 ? QString("B") : QString::number(g);
        QPainterPath path;
        path.addText(QPointF(0, 0), f, ch);
        const QRectF b = path.boundingRect();
        QTransform t;
        t.scale(11.0 / b.width(), 22.0 / b.height());
        t.translate(-b.left(), -b.top());
        path = t.map(path);
        for (int j = 0; j < 3; ++j) {
            const QPainterPath at = path.translated(14 * j + 1.5, 32 * g + 5);
            d.setPen(QPen(QColor(240, 176, 96), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            d.setBrush(Qt::NoBrush);
            d.drawPath(at);
            d.setPen(Qt::NoPen);
            d.setBrush(QColor(70, 34, 10));
            d.drawPath(at);
        }
    }
    d.end();
    out.Picture("LevelDigits.jpg", digits, Kind::Keyed);
}

static void WriteLevelPick(Output& out)
{
    {
        // Left half normal, right half pressed or solved; the number goes at 3/4 height.
        QImage img(144, 70, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(96, 24, 24));
        QPainter p(&img);
        Smooth(p);
        for (int half = 0; half < 2; ++half) {
            const QRectF r(72 * half + 2, 2, 68, 66);
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0, half ? QColor(140, 190, 110) : pal::StoneLight);
            g.setColorAt(1, half ? QColor(70, 120, 60) : pal::StoneDark);
            p.setPen(QPen(pal::Ink, 1.5));
            p.setBrush(g);
            p.drawRoundedRect(r, 8, 8);
            p.setPen(QPen(half ? QColor(220, 250, 200) : QColor(230, 226, 214), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(r.adjusted(3, 3, -3, -3), 6, 6);
            // Nothing else: the number, drawn over the face by the game, fills it.
        }
        p.end();
        out.Picture("LevelPickButton.jpg", img, Kind::Opaque);
    }
    for (int n = 1; n <= 9; ++n) {
        // 2 x 4 faces of 72 x 20: rows solved, partial, unsolved, selected alternate.
        QImage img(144, 80, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(96, 24, 24));
        QPainter p(&img);
        Smooth(p);
        const QColor rowColour[4] = {QColor(90, 150, 70), QColor(196, 150, 50), pal::Stone, QColor(200, 190, 150)};
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 2; ++col) {
                const QRectF r(72 * col + 1, 20 * row + 1, 70, 18);
                const QColor c = col ? Shade(rowColour[row], 0.75f) : rowColour[row];
                QLinearGradient g(r.topLeft(), r.bottomLeft());
                g.setColorAt(0, Shade(c, 1.25f));
                g.setColorAt(1, Shade(c, 0.8f));
                p.setPen(QPen(pal::Ink, 1));
                p.setBrush(g);
                p.drawRoundedRect(r, 5, 5);
                p.setFont(SansBold(11));
                const QRectF tr = r.translated(col, col);
                p.setPen(row == 3 ? QColor(120, 30, 20) : QColor(30, 16, 6));
                p.drawText(tr, Qt::AlignCenter, QString("BONUS %1").arg(n));
                // Stars for the progress.
                const int stars = row == 0 ? 2 : row == 1 ? 1 : 0;
                for (int s = 0; s < stars; ++s) {
                    QPolygonF star;
                    const QPointF sc(r.left() + 7 + s * 0, r.top() + 9);
                    const QPointF at = s == 0 ? sc : QPointF(r.right() - 7, r.top() + 9);
                    for (int k = 0; k < 10; ++k) {
                        const float a = Pi * static_cast<float>(k) / 5 - Pi / 2;
                        const float rr = k % 2 ? 2.2f : 5.0f;
                        star << at + QPointF(std::cos(a) * rr, std::sin(a) * rr);
                    }
                    p.setPen(QPen(pal::Ink, 0.6));
                    p.setBrush(pal::Gold);
                    p.drawPolygon(star);
                }
            }
        p.end();
        out.Picture("Bonus" + std::to_string(n) + "Button.jpg", img, Kind::Opaque);
    }
    {
        QImage img(640, 40, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&img);
        Smooth(p);
        QLinearGradient g(0, 0, 0, 40);
        g.setColorAt(0, QColor(140, 40, 36));
        g.setColorAt(1, QColor(80, 18, 18));
        p.fillRect(img.rect(), g);
        p.setPen(QPen(pal::Gold, 2));
        p.drawLine(0, 38, 640, 38);
        p.setFont(SerifBold(24));
        OutlinedText(p, QRectF(150, 4, 340, 34), Qt::AlignHCenter | Qt::AlignTop, "PICK A LEVEL", pal::Gold, QColor(40, 10, 6), 1.4f);
        p.end();
        out.Picture("PickALevelCaption.jpg", img, Kind::Opaque);
    }
}

void WriteScreens(Output& out)
{
    WriteSlabs(out);
    WriteInstructions(out);
    WriteSidePanel(out);
    WriteLevelPick(out);
}

} // namespace art
