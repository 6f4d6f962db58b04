#include "tests/support/JpegFiles.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace {

struct tErrorManager {
    jpeg_error_mgr Base{};
    std::jmp_buf Jump;
};

// Leaves the library by a jump: no exception may cross its C frames.
void JumpOut(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<tErrorManager*>(cinfo->err)->Jump, 1);
}

// Encodes rows of 8-bit RGB; false when the library refused.
bool Encode(int width, int height, const std::vector<unsigned char>& rgb, unsigned char*& buffer, unsigned long& size)
{
    jpeg_compress_struct cinfo{};
    tErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = JumpOut;
    if (setjmp(errors.Jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb.data()) + static_cast<size_t>(cinfo.next_scanline) * 3 * width;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

std::string MakeJpegFile(int width, int height, const std::function<TColor(int x, int y)>& color)
{
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TColor c = color(x, y);
            unsigned char* p = rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
            p[0] = static_cast<unsigned char>(c & 0xFF);
            p[1] = static_cast<unsigned char>((c >> 8) & 0xFF);
            p[2] = static_cast<unsigned char>((c >> 16) & 0xFF);
        }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = Encode(width, height, rgb, buffer, size);
    std::string out = ok ? std::string(reinterpret_cast<const char*>(buffer), size) : std::string();
    std::free(buffer);
    if (!ok)
        throw std::runtime_error("cannot encode a JPEG");
    return out;
}
