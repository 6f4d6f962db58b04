#include "ArtCore.h"

#include <QFile>
#include <QFontDatabase>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>

#include <jpeglib.h>

namespace art {

QImage NewLayer(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage NewOpaque(int w, int h, QColor fill)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void Smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

static uint32_t HashInt(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float Hash01(int x, int y, int seed)
{
    uint32_t h = HashInt(static_cast<uint32_t>(x) * 73856093U ^ HashInt(static_cast<uint32_t>(y) * 19349663U ^
                                                                       static_cast<uint32_t>(seed) * 83492791U));
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

static int Wrap(int v, int period)
{
    if (period <= 0)
        return v;
    v %= period;
    return v < 0 ? v + period : v;
}

float ValueNoise(float x, float y, int seed, int periodX, int periodY)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0);
    const float fy = y - static_cast<float>(y0);
    auto s = [](float t) { return t * t * (3 - 2 * t); };
    const float a = Hash01(Wrap(x0, periodX), Wrap(y0, periodY), seed);
    const float b = Hash01(Wrap(x0 + 1, periodX), Wrap(y0, periodY), seed);
    const float c = Hash01(Wrap(x0, periodX), Wrap(y0 + 1, periodY), seed);
    const float d = Hash01(Wrap(x0 + 1, periodX), Wrap(y0 + 1, periodY), seed);
    const float u = s(fx);
    const float v = s(fy);
    return (a * (1 - u) + b * u) * (1 - v) + (c * (1 - u) + d * u) * v;
}

float Fbm(float x, float y, int seed, int octaves, int period)
{
    float sum = 0;
    float amp = 0.5f;
    float norm = 0;
    float f = 1;
    for (int o = 0; o < octaves; ++o) {
        const int per = period > 0 ? static_cast<int>(static_cast<float>(period) * f) : 0;
        sum += amp * ValueNoise(x * f, y * f, seed + o * 101, per, per);
        norm += amp;
        amp *= 0.5f;
        f *= 2;
    }
    return sum / norm;
}

uint32_t Rng::Next()
{
    State ^= State << 13;
    State ^= State >> 7;
    State ^= State << 17;
    return static_cast<uint32_t>(State >> 11);
}

float Rng::Unit()
{
    return static_cast<float>(Next() & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float Rng::Range(float a, float b)
{
    return a + (b - a) * Unit();
}

int Rng::Int(int lo, int hi)
{
    return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1));
}

QColor Mix(QColor a, QColor b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return QColor(static_cast<int>(std::lround(a.red() + (b.red() - a.red()) * t)),
                  static_cast<int>(std::lround(a.green() + (b.green() - a.green()) * t)),
                  static_cast<int>(std::lround(a.blue() + (b.blue() - a.blue()) * t)),
                  static_cast<int>(std::lround(a.alpha() + (b.alpha() - a.alpha()) * t)));
}

QColor Shade(QColor c, float f)
{
    auto ch = [f](int v) {
        float r = f <= 1 ? static_cast<float>(v) * f : static_cast<float>(v) + (255.0f - static_cast<float>(v)) * (f - 1);
        return std::clamp(static_cast<int>(std::lround(r)), 0, 255);
    };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()), c.alpha());
}

void Grain(QImage& img, QRect r, float amount, int seed)
{
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            QRgb c = line[x];
            const int a = qAlpha(c);
            if (a == 0)
                continue;
            const float n = (Fbm(static_cast<float>(x) * 0.35f, static_cast<float>(y) * 0.35f, seed, 3) - 0.5f) * 2 * amount +
                            (Hash01(x, y, seed + 7) - 0.5f) * amount * 0.6f;
            auto adj = [&](int v) { return std::clamp(static_cast<int>(std::lround(static_cast<float>(v) * (1 + n))), 0, a); };
            line[x] = qRgba(adj(qRed(c)), adj(qGreen(c)), adj(qBlue(c)), a);
        }
    }
}

void Ball(QPainter& p, QPointF c, float r, QColor base, float outline)
{
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.4), r * 1.3);
    g.setColorAt(0, Shade(base, 1.45f));
    g.setColorAt(0.5, base);
    g.setColorAt(1, Shade(base, 0.45f));
    p.setBrush(g);
    if (outline > 0)
        p.setPen(QPen(pal::Ink, outline));
    else
        p.setPen(Qt::NoPen);
    p.drawEllipse(c, r, r);
}

void OutlinedText(QPainter& p, QRectF r, int flags, const QString& text, QColor fill, QColor edge, float edgeWidth)
{
    QPainterPath path;
    QFontMetricsF fm(p.font());
    QRectF br = fm.boundingRect(r, flags, text);
    // QPainterPath::addText places the baseline; lay the lines out by hand.
    const QStringList lines = text.split('\n');
    float y = static_cast<float>(br.top() + fm.ascent());
    for (const QString& line : lines) {
        float w = static_cast<float>(fm.horizontalAdvance(line));
        float x;
        if (flags & Qt::AlignHCenter)
            x = static_cast<float>(r.center().x()) - w / 2;
        else if (flags & Qt::AlignRight)
            x = static_cast<float>(r.right()) - w;
        else
            x = static_cast<float>(r.left());
        path.addText(QPointF(x, y), p.font(), line);
        y += static_cast<float>(fm.lineSpacing());
    }
    if (edgeWidth > 0) {
        p.setPen(QPen(edge, edgeWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
}

static QString FontFamily(const char* file)
{
    static std::map<std::string, QString> loaded;
    auto it = loaded.find(file);
    if (it != loaded.end())
        return it->second;
    QString family;
    const QString path = QString("/usr/share/fonts/truetype/dejavu/") + file;
    if (QFile::exists(path)) {
        int id = QFontDatabase::addApplicationFont(path);
        if (id >= 0) {
            QStringList fams = QFontDatabase::applicationFontFamilies(id);
            if (!fams.isEmpty())
                family = fams.first();
        }
    }
    loaded[file] = family;
    return family;
}

static QFont MakeFont(const char* file, float px, bool bold)
{
    QFont f(FontFamily(file));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont SansBold(float px) { return MakeFont("DejaVuSans-Bold.ttf", px, true); }
QFont Sans(float px) { return MakeFont("DejaVuSans.ttf", px, false); }
QFont SerifBold(float px) { return MakeFont("DejaVuSerif-Bold.ttf", px, true); }

// ---- colour keys ----

bool InMagentaBox(QRgb c)
{
    return qGreen(c) <= 32 && qBlue(c) >= 209 && qRed(c) >= 209;
}

bool InBlueBox(QRgb c)
{
    return qGreen(c) <= 32 && qBlue(c) >= 209 && qRed(c) <= 32;
}

// Keeps opaque art well away from both key boxes (with room for the JPEG's error): a
// colour with little green and much blue gets some green.
QRgb SafeOpaque(QRgb c)
{
    int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (g < 60 && b > 170)
        g = 60;
    return qRgb(r, g, b);
}

QImage FlattenKeyed(const QImage& layer, bool keepWaterBlue)
{
    QImage src = layer.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const QRgb c = s[x];
            if (qAlpha(c) < 128)
                d[x] = Magenta;
            else if (keepWaterBlue && (c & 0xFFFFFF) == (WaterBlue & 0xFFFFFF))
                d[x] = WaterBlue;
            else
                d[x] = SafeOpaque(qRgb(qRed(c), qGreen(c), qBlue(c)));
        }
    }
    return out;
}

QImage FlattenOver(const QImage& layer, QColor background)
{
    QImage out(layer.size(), QImage::Format_RGB32);
    out.fill(background);
    QPainter p(&out);
    p.drawImage(0, 0, layer);
    return out;
}

// ---- JPEG ----

namespace {
struct JpegErr {
    jpeg_error_mgr Mgr;
    jmp_buf Jump;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<JpegErr*>(cinfo->err)->Jump, 1);
}
} // namespace

std::string EncodeJpeg(const QImage& image, int quality)
{
    QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo{};
    JpegErr err{};
    cinfo.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = JpegErrorExit;
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    if (setjmp(err.Jump)) {
        jpeg_destroy_compress(&cinfo);
        free(buf);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buf, &size);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    for (int i = 0; i < 3; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;
        cinfo.comp_info[i].v_samp_factor = 1;
    }
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buf), size);
    free(buf);
    return out;
}

bool DecodeJpeg(const std::string& bytes, QImage& out)
{
    jpeg_decompress_struct cinfo{};
    JpegErr err{};
    cinfo.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = JpegErrorExit;
    if (setjmp(err.Jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    QImage img(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), QImage::Format_RGB888);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = img.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    out = img.convertToFormat(QImage::Format_RGB32);
    return true;
}

// ---- BMP ----

static void Put16(std::string& s, unsigned v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

static void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

static std::string BmpHeaders(int w, int h, int bpp, const std::vector<QRgb>& palette, uint32_t imageSize)
{
    std::string s;
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    s += "BM";
    Put32(s, offset + imageSize);
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(w));
    Put32(s, static_cast<uint32_t>(h));
    Put16(s, 1);
    Put16(s, static_cast<unsigned>(bpp));
    Put32(s, 0);
    Put32(s, imageSize);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, static_cast<uint32_t>(palette.size()));
    Put32(s, 0);
    for (QRgb c : palette) {
        s.push_back(static_cast<char>(qBlue(c)));
        s.push_back(static_cast<char>(qGreen(c)));
        s.push_back(static_cast<char>(qRed(c)));
        s.push_back(0);
    }
    return s;
}

std::string EncodeBmp1(const QImage& img, std::function<bool(int, int)> white)
{
    const int w = img.width(), h = img.height();
    const int stride = ((w + 31) / 32) * 4;
    std::string s = BmpHeaders(w, h, 1, {qRgb(0, 0, 0), qRgb(255, 255, 255)}, static_cast<uint32_t>(stride * h));
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < w; ++x)
            if (white(x, y))
                row[static_cast<size_t>(x / 8)] = static_cast<char>(row[static_cast<size_t>(x / 8)] | (0x80 >> (x % 8)));
        s += row;
    }
    return s;
}

std::string EncodeBmp4(const QImage& image)
{
    QImage img = image.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> palette;
    auto index = [&](QRgb c) -> int {
        c |= 0xFF000000;
        for (size_t i = 0; i < palette.size(); ++i)
            if (palette[i] == c)
                return static_cast<int>(i);
        if (palette.size() < 16) {
            palette.push_back(c);
            return static_cast<int>(palette.size() - 1);
        }
        // Nearest existing entry.
        int best = 0, bestD = 1 << 30;
        for (size_t i = 0; i < palette.size(); ++i) {
            int d = std::abs(qRed(c) - qRed(palette[i])) + std::abs(qGreen(c) - qGreen(palette[i])) +
                    std::abs(qBlue(c) - qBlue(palette[i]));
            if (d < bestD) {
                bestD = d;
                best = static_cast<int>(i);
            }
        }
        return best;
    };
    const int w = img.width(), h = img.height();
    std::vector<int> idx(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            idx[static_cast<size_t>(y * w + x)] = index(img.pixel(x, y));
    while (palette.size() < 16)
        palette.push_back(qRgb(0, 0, 0));
    const int stride = ((w * 4 + 31) / 32) * 4;
    std::string s = BmpHeaders(w, h, 4, palette, static_cast<uint32_t>(stride * h));
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            int v = idx[static_cast<size_t>(y * w + x)];
            row[static_cast<size_t>(x / 2)] = static_cast<char>(row[static_cast<size_t>(x / 2)] | (x % 2 ? v : v << 4));
        }
        s += row;
    }
    return s;
}

std::string EncodeBmp24(const QImage& image)
{
    QImage img = image.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const int stride = ((w * 24 + 31) / 32) * 4;
    std::string s = BmpHeaders(w, h, 24, {}, static_cast<uint32_t>(stride * h));
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            QRgb c = img.pixel(x, y);
            row[static_cast<size_t>(x * 3)] = static_cast<char>(qBlue(c));
            row[static_cast<size_t>(x * 3 + 1)] = static_cast<char>(qGreen(c));
            row[static_cast<size_t>(x * 3 + 2)] = static_cast<char>(qRed(c));
        }
        s += row;
    }
    return s;
}

// A .cur file with one 32-bit image and its AND mask.
std::string EncodeCursor(const QImage& image, int hotX, int hotY)
{
    QImage img = image.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    const int andStride = ((w + 31) / 32) * 4;
    const uint32_t dibSize = 40 + static_cast<uint32_t>(w * h * 4 + andStride * h);
    std::string s;
    Put16(s, 0);
    Put16(s, 2); // cursor
    Put16(s, 1);
    s.push_back(static_cast<char>(w & 0xFF));
    s.push_back(static_cast<char>(h & 0xFF));
    s.push_back(0);
    s.push_back(0);
    Put16(s, static_cast<unsigned>(hotX));
    Put16(s, static_cast<unsigned>(hotY));
    Put32(s, dibSize);
    Put32(s, 6 + 16);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(w));
    Put32(s, static_cast<uint32_t>(h * 2));
    Put16(s, 1);
    Put16(s, 32);
    Put32(s, 0);
    Put32(s, static_cast<uint32_t>(w * h * 4 + andStride * h));
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            QRgb c = img.pixel(x, y);
            s.push_back(static_cast<char>(qBlue(c)));
            s.push_back(static_cast<char>(qGreen(c)));
            s.push_back(static_cast<char>(qRed(c)));
            s.push_back(static_cast<char>(qAlpha(c)));
        }
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(andStride), '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(img.pixel(x, y)) < 128)
                row[static_cast<size_t>(x / 8)] = static_cast<char>(row[static_cast<size_t>(x / 8)] | (0x80 >> (x % 8)));
        s += row;
    }
    return s;
}

// ---- output ----

Output::Output(std::string dir) : dir_(std::move(dir)) {}

void Output::Fail(const std::string& why)
{
    std::cerr << "artgen: " << why << "\n";
    failed_ = true;
}

void Output::File(const std::string& name, const std::string& bytes)
{
    const std::string path = dir_ + "/" + name;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f)
        Fail("cannot write " + path);
    written_.push_back(name);
}

void Output::MaskFromAlpha(const std::string& name, const QImage& layer)
{
    QImage a = layer.convertToFormat(QImage::Format_ARGB32);
    File(name, EncodeBmp1(a, [&](int x, int y) { return qAlpha(a.pixel(x, y)) < 128; }));
}

void Output::Picture(const std::string& name, const QImage& layer, Kind kind, std::string maskName)
{
    QImage flat;
    switch (kind) {
    case Kind::Keyed:
    case Kind::KeyedNoMask:
        flat = FlattenKeyed(layer, name == "WaterTemplates.jpg");
        break;
    case Kind::Additive:
        flat = FlattenOver(layer, Qt::black);
        break;
    case Kind::Opaque:
        flat = FlattenOver(layer, Qt::black);
        for (int y = 0; y < flat.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(flat.scanLine(y));
            for (int x = 0; x < flat.width(); ++x)
                line[x] = SafeOpaque(line[x]);
        }
        break;
    }
    const std::string jpeg = EncodeJpeg(flat);
    if (jpeg.empty()) {
        Fail("cannot encode " + name);
        return;
    }
    File(name, jpeg);
    if (kind == Kind::Keyed) {
        if (maskName.empty())
            maskName = name + ".mask";
        MaskFromAlpha(maskName, layer);
    }
    // Read the picture back as the game will and check that no opaque pixel turned into
    // a key colour.
    QImage back;
    if (!DecodeJpeg(jpeg, back) || back.size() != layer.size()) {
        Fail(name + ": does not decode to its own size");
        return;
    }
    if (kind == Kind::Keyed || kind == Kind::KeyedNoMask || kind == Kind::Opaque) {
        QImage a = layer.convertToFormat(QImage::Format_ARGB32);
        const bool water = name == "WaterTemplates.jpg";
        for (int y = 0; y < back.height(); ++y)
            for (int x = 0; x < back.width(); ++x) {
                if (kind != Kind::Opaque && qAlpha(a.pixel(x, y)) < 128)
                    continue;
                if (water && (a.pixel(x, y) & 0xFFFFFF) == (WaterBlue & 0xFFFFFF))
                    continue;
                const QRgb c = back.pixel(x, y);
                if (InMagentaBox(c) || InBlueBox(c)) {
                    Fail(name + ": opaque pixel at " + std::to_string(x) + "," + std::to_string(y) +
                         " reads back as a key colour");
                    return;
                }
            }
    }
}

} // namespace art
