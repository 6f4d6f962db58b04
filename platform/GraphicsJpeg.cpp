// The JPEG picture, decoded by libjpeg.
//
// libjpeg reports a fault by calling its error handler, which must not return. The
// handler here jumps back (longjmp) into the small functions below, which hold nothing but
// plain data, so no C++ object is ever skipped; they report failure and the C++ caller
// raises the exception once libjpeg's frames are gone.
#include "platform/Graphics.h"

#include <csetjmp>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool endMissing; // the data ended before the end-of-image marker
};

extern "C" void JpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (level -1) mean damaged data, such as a file cut short: they fail the load too,
// so that a picture is either complete or not loaded at all. One is let pass: the data
// ending before the end-of-image marker, in a Huffman-coded file. Should its scans be
// incomplete, decoding them warns again (of the end of their data) and fails; when every
// row comes out and nothing else was said, the file lacked only its last marker. (An
// arithmetic-coded scan takes a cut as the end of its data without a word, so there it
// stays refused.) Trace messages are ignored.
extern "C" void JpegEmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    if (cinfo->err->msg_code == JWRN_JPEG_EOF && cinfo->is_decompressor &&
        !reinterpret_cast<j_decompress_ptr>(cinfo)->arith_code && !err->endMissing) {
        err->endMissing = true;
        return;
    }
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void JpegOutputMessage(j_common_ptr) {}

struct JpegSession {
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    bool created;
    bool cmyk;
    bool adobeInverted;
};

// Reads the header; on success the image size is in cinfo.image_width / image_height.
bool JpegReadHeader(JpegSession& s, const unsigned char* data, unsigned long size)
{
    std::memset(&s.cinfo, 0, sizeof s.cinfo);
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = JpegErrorExit;
    s.err.pub.emit_message = JpegEmitMessage;
    s.err.pub.output_message = JpegOutputMessage;
    s.err.message[0] = '\0';
    s.err.endMissing = false;
    if (setjmp(s.err.jump))
        return false;
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    // Bound libjpeg's own working memory (whole-image buffers of progressive files).
    s.cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
    jpeg_mem_src(&s.cinfo, data, size);
    jpeg_read_header(&s.cinfo, TRUE);
    return true;
}

bool JpegStart(JpegSession& s)
{
    if (setjmp(s.err.jump))
        return false;
    s.cinfo.dct_method = JDCT_ISLOW;
    if (s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK) {
        s.cinfo.out_color_space = JCS_CMYK;
        s.cmyk = true;
        s.adobeInverted = s.cinfo.saw_Adobe_marker != 0;
    } else {
        s.cinfo.out_color_space = JCS_EXT_BGR;
    }
    jpeg_start_decompress(&s.cinfo);
    return true;
}

// Decodes every row into 24-bit B G R rows; cmykRow holds one row of 4-byte pixels.
bool JpegReadRows(JpegSession& s, unsigned char* bits, long pitch, unsigned char* cmykRow)
{
    if (setjmp(s.err.jump))
        return false;
    const JDIMENSION width = s.cinfo.output_width;
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        unsigned char* row = bits + static_cast<long>(s.cinfo.output_scanline) * pitch;
        JSAMPROW rows[1] = {s.cmyk ? cmykRow : row};
        if (jpeg_read_scanlines(&s.cinfo, rows, 1) != 1)
            return false; // cannot happen with a memory source; refuse rather than loop
        if (s.cmyk) {
            for (JDIMENSION x = 0; x < width; ++x) {
                unsigned c = cmykRow[4 * x], m = cmykRow[4 * x + 1], y = cmykRow[4 * x + 2],
                         k = cmykRow[4 * x + 3];
                if (!s.adobeInverted) {
                    c = 255 - c;
                    m = 255 - m;
                    y = 255 - y;
                    k = 255 - k;
                }
                row[3 * x] = static_cast<unsigned char>(y * k / 255);
                row[3 * x + 1] = static_cast<unsigned char>(m * k / 255);
                row[3 * x + 2] = static_cast<unsigned char>(c * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

void JpegEnd(JpegSession& s)
{
    if (s.created)
        jpeg_destroy_decompress(&s.cinfo);
    s.created = false;
}

// Destroys the session on every way out of the C++ caller.
struct JpegSessionGuard {
    JpegSession& s;
    ~JpegSessionGuard() { JpegEnd(s); }
};

struct JpegEncoder {
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    bool created;
    unsigned char* out;
    unsigned long outSize;
};

// Compresses rows of 3 (or, for CMYK, 4) bytes per pixel, already in the input colour space.
bool JpegCompress(JpegEncoder& e, int width, int height, int components, J_COLOR_SPACE space,
                  const unsigned char* rows, long pitch, int quality, bool progressive,
                  bool grayscale, bool arithmetic)
{
    std::memset(&e.cinfo, 0, sizeof e.cinfo);
    e.cinfo.err = jpeg_std_error(&e.err.pub);
    e.err.pub.error_exit = JpegErrorExit;
    e.err.pub.output_message = JpegOutputMessage;
    e.err.message[0] = '\0';
    if (setjmp(e.err.jump))
        return false;
    jpeg_create_compress(&e.cinfo);
    e.created = true;
    jpeg_mem_dest(&e.cinfo, &e.out, &e.outSize);
    e.cinfo.image_width = static_cast<JDIMENSION>(width);
    e.cinfo.image_height = static_cast<JDIMENSION>(height);
    e.cinfo.input_components = components;
    e.cinfo.in_color_space = space;
    jpeg_set_defaults(&e.cinfo);
    if (grayscale)
        jpeg_set_colorspace(&e.cinfo, JCS_GRAYSCALE);
    if (space == JCS_CMYK) {
        jpeg_set_colorspace(&e.cinfo, JCS_CMYK);
        e.cinfo.write_Adobe_marker = TRUE;
    }
    jpeg_set_quality(&e.cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&e.cinfo);
    if (arithmetic)
        e.cinfo.arith_code = TRUE;
    jpeg_start_compress(&e.cinfo, TRUE);
    while (e.cinfo.next_scanline < e.cinfo.image_height) {
        JSAMPROW row[1] = {const_cast<unsigned char*>(rows + static_cast<long>(e.cinfo.next_scanline) * pitch)};
        jpeg_write_scanlines(&e.cinfo, row, 1);
    }
    jpeg_finish_compress(&e.cinfo);
    return true;
}

struct JpegEncoderGuard {
    JpegEncoder& e;
    ~JpegEncoderGuard()
    {
        if (e.created)
            jpeg_destroy_compress(&e.cinfo);
        std::free(e.out);
    }
};

} // namespace

std::string EncodeJpeg(TBitmap& bitmap, const TJpegEncodeOptions& options)
{
    if (bitmap.Empty())
        throw EJPEG("JPEG error: an empty picture cannot be saved");
    TBitmap rgb;
    rgb.Assign(&bitmap);
    rgb.SetPixelFormat(pf24bit);
    const int w = rgb.Width(), h = rgb.Height();
    std::vector<unsigned char> rows;
    int components = 3;
    J_COLOR_SPACE space = JCS_EXT_BGR;
    long pitch = rgb.RowBytes();
    const unsigned char* data = rgb.ScanLine(0);
    if (options.Cmyk) {
        // Inverted CMYK as Adobe writes it: each stored value is 255 - ink.
        components = 4;
        space = JCS_CMYK;
        pitch = 4L * w;
        rows.resize(static_cast<size_t>(pitch) * h);
        for (int y = 0; y < h; ++y) {
            const unsigned char* src = rgb.ScanLine(y);
            unsigned char* dst = rows.data() + static_cast<long>(y) * pitch;
            for (int x = 0; x < w; ++x) {
                const int b = src[3 * x], g = src[3 * x + 1], r = src[3 * x + 2];
                const int k = std::max({r, g, b});
                dst[4 * x] = static_cast<unsigned char>(k ? r * 255 / k : 0);
                dst[4 * x + 1] = static_cast<unsigned char>(k ? g * 255 / k : 0);
                dst[4 * x + 2] = static_cast<unsigned char>(k ? b * 255 / k : 0);
                dst[4 * x + 3] = static_cast<unsigned char>(k);
            }
        }
        data = rows.data();
    }
    JpegEncoder encoder{};
    JpegEncoderGuard guard{encoder};
    if (!JpegCompress(encoder, w, h, components, space, data, pitch, options.Quality,
                      options.Progressive, options.Grayscale, options.Arithmetic))
        throw EJPEG(std::string("JPEG error: ") + encoder.err.message);
    return std::string(reinterpret_cast<const char*>(encoder.out), encoder.outSize);
}

const TGraphicClassInfo TJPEGImage::ClassInfo{
    "TJPEGImage", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TJPEGImage>(); }};

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

int32_t TJPEGImage::Width() const { return FBitmap.Width(); }
int32_t TJPEGImage::Height() const { return FBitmap.Height(); }
bool TJPEGImage::Empty() const { return FBitmap.Empty(); }

std::unique_ptr<TGraphic> TJPEGImage::Clone() const
{
    auto copy = std::make_unique<TJPEGImage>();
    copy->FBitmap.Assign(&FBitmap);
    copy->Transparent = Transparent;
    return copy;
}

void TJPEGImage::TakeBitmap(TBitmap& target)
{
    target.Exchange(FBitmap);
    FBitmap.Assign(nullptr);
}

void TJPEGImage::LoadFromMemory(const void* data, size_t size)
{
    FBitmap.Assign(nullptr);
    if (size == 0)
        throw EJPEG("JPEG error: the file is empty");
    if (size > 0x7FFFFFFF)
        throw EJPEG("JPEG error: the file is too large");
    JpegSession session{};
    JpegSessionGuard guard{session};
    auto fail = [&session]() {
        throw EJPEG(std::string("JPEG error: ") +
                    (session.err.message[0] ? session.err.message : "the data is damaged"));
    };
    if (!JpegReadHeader(session, static_cast<const unsigned char*>(data),
                        static_cast<unsigned long>(size)))
        fail();
    const JDIMENSION w = session.cinfo.image_width, h = session.cinfo.image_height;
    if (w == 0 || h == 0)
        throw EJPEG("JPEG error: the picture has no pixels");
    if (w > static_cast<JDIMENSION>(MaxPictureSide) || h > static_cast<JDIMENSION>(MaxPictureSide))
        throw EInvalidGraphic("JPEG picture of " + std::to_string(w) + " x " + std::to_string(h) +
                              " pixels is too large (at most " + std::to_string(MaxPictureSide) +
                              " x " + std::to_string(MaxPictureSide) + ")");
    if (!JpegStart(session))
        fail();
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(static_cast<int32_t>(session.cinfo.output_width),
                   static_cast<int32_t>(session.cinfo.output_height));
    std::vector<unsigned char> cmykRow(session.cmyk ? 4 * size_t(session.cinfo.output_width) : 1);
    if (!JpegReadRows(session, bitmap.ScanLine(0), bitmap.RowBytes(), cmykRow.data()))
        fail();
    FBitmap.Exchange(bitmap);
}
