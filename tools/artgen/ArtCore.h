// Shared helpers of the picture generator: the palette, the writers (baseline JPEG
// through libjpeg, 1-bit and 16-colour BMP, .cur), noise, and the output list.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

// ---- palette: one warm set for the whole game ----
namespace pal {
inline const QColor Ink(43, 26, 16);          // outlines
inline const QColor Grass(95, 158, 58);
inline const QColor GrassDark(58, 118, 42);
inline const QColor GrassLight(146, 196, 90);
inline const QColor Stone(141, 133, 120);
inline const QColor StoneDark(86, 80, 72);
inline const QColor StoneLight(190, 182, 166);
inline const QColor Sand(216, 192, 138);
inline const QColor Wood(138, 90, 46);
inline const QColor WoodDark(92, 58, 28);
inline const QColor Gold(240, 192, 64);
inline const QColor GoldDark(170, 118, 24);
inline const QColor Skin(240, 200, 160);
inline const QColor Tunic(46, 120, 168);
inline const QColor TunicDark(30, 78, 118);
inline const QColor Parchment(236, 206, 150);
inline const QColor Ember(255, 150, 40);
} // namespace pal

inline const QRgb Magenta = qRgb(255, 0, 255);
inline const QRgb WaterBlue = qRgb(0, 0, 255);

// A transparent ARGB32 canvas (premultiplied) of the given size.
QImage NewLayer(int w, int h);
// An opaque canvas filled with one colour.
QImage NewOpaque(int w, int h, QColor fill);
// A painter with antialiasing on.
void Smooth(QPainter& p);

// Deterministic hash noise in 0..1.
float Hash01(int x, int y, int seed);
// Smooth value noise in 0..1, period (px, py) in cells of size cell.
float ValueNoise(float x, float y, int seed, int periodX = 0, int periodY = 0);
// Fractal noise of a few octaves in about 0..1.
float Fbm(float x, float y, int seed, int octaves = 4, int period = 0);

// A small deterministic random source.
struct Rng {
    uint64_t State;
    explicit Rng(uint64_t seed) : State(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next();
    float Unit();                       // 0..1
    float Range(float a, float b);      // a..b
    int Int(int lo, int hi);            // lo..hi inclusive
};

// Painting helpers.
QColor Mix(QColor a, QColor b, float t);
QColor Shade(QColor c, float f);        // f < 1 darker, > 1 lighter
// Adds a hand-painted grain to every opaque pixel of the image inside the rectangle.
void Grain(QImage& img, QRect r, float amount, int seed);
// A shaded ball (light from the upper left) with an ink outline.
void Ball(QPainter& p, QPointF c, float r, QColor base, float outline = 1.0f);
// Text drawn with an outline (the font must be set).
void OutlinedText(QPainter& p, QRectF r, int flags, const QString& text, QColor fill, QColor edge,
                  float edgeWidth);

// Fonts loaded from the files of fonts-dejavu-core so the output is the same on every
// machine that has them; the default font otherwise.
QFont SansBold(float pixelSize);
QFont Sans(float pixelSize);
QFont SerifBold(float pixelSize);

// ---- output ----
enum class Kind {
    Keyed,     // magenta where transparent, ".mask" companion written beside it
    KeyedNoMask,
    Additive,  // black where empty
    Opaque,
};

class Output {
public:
    explicit Output(std::string dir);
    // Writes a picture as a JPEG. For keyed pictures the layer's alpha decides: pixels at
    // least half covered are opaque (their colour made safe from the key colours), the
    // rest become magenta; a ".mask" (1-bit BMP, white = transparent) is written when
    // maskName is not empty ("" = the picture name + ".mask").
    void Picture(const std::string& name, const QImage& layer, Kind kind, std::string maskName = "");
    // Writes a 1-bit BMP mask made from the alpha of a layer (white where transparent).
    void MaskFromAlpha(const std::string& name, const QImage& layer);
    // Writes raw bytes.
    void File(const std::string& name, const std::string& bytes);
    const std::vector<std::string>& Written() const { return written_; }
    const std::string& Dir() const { return dir_; }
    bool Failed() const { return failed_; }
    void Fail(const std::string& why);

private:
    std::string dir_;
    std::vector<std::string> written_;
    bool failed_ = false;
};

// The picture of a keyed layer as it goes into the JPEG (magenta background, safe colours).
QImage FlattenKeyed(const QImage& layer, bool keepWaterBlue = false);
QImage FlattenOver(const QImage& layer, QColor background);

// Encoders.
std::string EncodeJpeg(const QImage& rgb, int quality = 95);
bool DecodeJpeg(const std::string& bytes, QImage& out);
std::string EncodeBmp1(const QImage& img, std::function<bool(int, int)> white);
std::string EncodeBmp4(const QImage& img);      // 16 colours, palette from the image
std::string EncodeBmp24(const QImage& img);
std::string EncodeCursor(const QImage& argb, int hotX, int hotY);

// Whether an opaque colour would be read back as a key colour by the game's loader.
bool InMagentaBox(QRgb c);
bool InBlueBox(QRgb c);
QRgb SafeOpaque(QRgb c);

} // namespace art
