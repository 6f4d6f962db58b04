// Helpers of the picture tests: reading the generated JPEGs and 1-bit BMP masks.
#pragma once

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace picturetest {

namespace fs = std::filesystem;

inline fs::path ArtDir()
{
    return fs::path(TP_BIN_DIR).parent_path() / "generated" / "art";
}

inline std::string ReadFile(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

struct Rgb {
    unsigned char R, G, B;
};

struct Image {
    int W = 0, H = 0;
    int Components = 0;
    bool Progressive = false;
    std::vector<Rgb> Px;
    const Rgb& At(int x, int y) const { return Px[static_cast<size_t>(y * W + x)]; }
};

struct JpegErr {
    jpeg_error_mgr Mgr;
    jmp_buf Jump;
};

inline void OnJpegError(j_common_ptr c)
{
    longjmp(reinterpret_cast<JpegErr*>(c->err)->Jump, 1);
}

inline bool DecodeJpeg(const std::string& bytes, Image& out)
{
    jpeg_decompress_struct cinfo{};
    JpegErr err{};
    cinfo.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = OnJpegError;
    if (setjmp(err.Jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    out.Components = cinfo.num_components;
    out.Progressive = cinfo.progressive_mode;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.W = static_cast<int>(cinfo.output_width);
    out.H = static_cast<int>(cinfo.output_height);
    out.Px.resize(static_cast<size_t>(out.W * out.H));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(&out.Px[static_cast<size_t>(cinfo.output_scanline) * static_cast<size_t>(out.W)]);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

inline uint32_t Le(const std::string& s, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return v;
}

// A 1-bit Windows BMP: true where the mask is white (transparent).
struct Mask {
    int W = 0, H = 0;
    std::vector<bool> White;
    bool At(int x, int y) const { return White[static_cast<size_t>(y * W + x)]; }
};

inline bool ReadMask(const std::string& s, Mask& m, std::string& why)
{
    if (s.size() < 62 || s[0] != 'B' || s[1] != 'M') {
        why = "not a BMP";
        return false;
    }
    const uint32_t offset = Le(s, 10, 4);
    m.W = static_cast<int>(Le(s, 18, 4));
    const int32_t h = static_cast<int32_t>(Le(s, 22, 4));
    m.H = std::abs(h);
    if (Le(s, 28, 2) != 1 || Le(s, 30, 4) != 0) {
        why = "not an uncompressed 1-bit BMP";
        return false;
    }
    const size_t stride = static_cast<size_t>((m.W + 31) / 32 * 4);
    if (offset + stride * static_cast<size_t>(m.H) > s.size()) {
        why = "pixel data cut short";
        return false;
    }
    // Palette entry 1 must be white and 0 black for the bits to mean what they say.
    if (Le(s, 54, 3) != 0 || Le(s, 58, 3) != 0xFFFFFF) {
        why = "palette is not black, white";
        return false;
    }
    m.White.assign(static_cast<size_t>(m.W * m.H), false);
    for (int y = 0; y < m.H; ++y) {
        const int row = h > 0 ? m.H - 1 - y : y;
        for (int x = 0; x < m.W; ++x) {
            const unsigned char b = static_cast<unsigned char>(s[offset + stride * static_cast<size_t>(row) + static_cast<size_t>(x / 8)]);
            m.White[static_cast<size_t>(y * m.W + x)] = (b >> (7 - x % 8)) & 1;
        }
    }
    return true;
}

inline bool SnapsToMagenta(const Rgb& c)
{
    return c.G <= 32 && c.B >= 209 && c.R >= 209;
}
inline bool SnapsToBlue(const Rgb& c)
{
    return c.G <= 32 && c.B >= 209 && c.R <= 32;
}
inline bool KeyIn565(const Rgb& c)
{
    return c.R >= 248 && c.G < 4 && c.B >= 248;
}

} // namespace picturetest
