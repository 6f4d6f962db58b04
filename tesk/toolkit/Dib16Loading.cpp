// Loading images into 16-bit surfaces: JPEG decoding, the brightness pass with key
// snapping, conversion to the current format, and the ".mask" companions.
#include <memory>

#include "platform/Streams.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"

namespace {

void Pump() { PumpMessages(); }

// Writes a 24-bit bitmap into 16-bit rows by dropping the low bits of each channel. With
// a brightness table, each pixel first goes through the brightness pass (key snapping
// included, exactly as DoBrightnessChange), in the same sweep.
void Convert24To16(const TBitmap& rgb, tDib16& dib, const std::array<uint8_t, 256>* brightness)
{
    const TPixelFormatInfo& f = PixelFormat;
    uint32_t rt[256], gt[256], bt[256];
    for (int v = 0; v < 256; ++v) {
        const int c = brightness ? (*brightness)[v] : v;
        rt[v] = static_cast<uint32_t>((c / f.R.Divisor) << f.R.Shift);
        gt[v] = static_cast<uint32_t>((c / f.G.Divisor) << f.G.Shift);
        bt[v] = static_cast<uint32_t>((c / f.B.Divisor) << f.B.Shift);
    }
    const uint16_t magenta = RGBToPixel(255, 0, 255), blue = RGBToPixel(0, 0, 255);
    const int32_t w = rgb.Width(), h = rgb.Height();
    int32_t pitch = 0;
    uint16_t* first = dib.ScanLines(0, h, pitch);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* __restrict src = rgb.ScanLine(y);
        uint16_t* __restrict dst = first + static_cast<ptrdiff_t>(y) * pitch;
        if (!brightness) {
            for (int32_t x = 0; x < w; ++x)
                dst[x] = static_cast<uint16_t>(bt[src[3 * x]] + gt[src[3 * x + 1]] + rt[src[3 * x + 2]]);
            continue;
        }
        Pump();
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t b = src[3 * x], g = src[3 * x + 1], r = src[3 * x + 2];
            uint16_t p = static_cast<uint16_t>(bt[b] + gt[g] + rt[r]);
            if (g <= 32 && b >= 209) [[unlikely]] {
                if (r >= 209)
                    p = magenta;
                else if (r <= 32)
                    p = blue;
            }
            dst[x] = p;
        }
    }
}

} // namespace

void DoBrightnessChange(TBitmap& bitmap, const std::array<uint8_t, 256>& table)
{
    if (bitmap.PixelFormat() != pf24bit)
        throw Exception("Non-24bit bitmap encountered in DoBrightnessChange");
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        Pump();
        uint8_t* p = bitmap.ScanLine(y);
        for (int32_t x = 0; x < bitmap.Width(); ++x, p += 3) {
            const uint8_t b = p[0], g = p[1], r = p[2];
            if (g <= 32 && b >= 209 && r >= 209) {
                p[0] = 255;
                p[1] = 0;
                p[2] = 255;
            } else if (g <= 32 && b >= 209 && r <= 32) {
                p[0] = 255;
                p[1] = 0;
                p[2] = 0;
            } else {
                p[0] = table[b];
                p[1] = table[g];
                p[2] = table[r];
            }
        }
    }
}

void tDib16::Load()
{
    if (Loaded)
        return;
    LastOperation = "Loading " + Name;
    Pump();
    try {
        TBitmap rgb;
        {
            TJPEGImage jpeg;
            std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(Name);
            Pump();
            jpeg.LoadFromStream(*stream);
            ClosePackageFile(stream);
            Pump();
            jpeg.TakeBitmap(rgb);
        }
        Pump();
        ReleaseSurface();
        Width = rgb.Width();
        Height = rgb.Height();
        CreateSurface();
        // The brightness pass and the conversion to the surface's format in one sweep.
        Convert24To16(rgb, *this, NoBrightnessChange ? nullptr : &BrightnessTable);
        ClipRect = TRect{0, 0, Width, Height};
        Pump();
        ApplyMask();
        Loaded = true;
    } catch (...) {
        // A picture is either complete or not loaded at all.
        ReleaseSurface();
        Loaded = false;
        throw;
    }
}

void tDib16::Unload()
{
    if (Loaded) {
        ReleaseSurface();
        Loaded = false;
    }
}

void tDib16::SetMaskName(const std::string& name)
{
    MaskName = name;
    if (Loaded)
        ApplyMask();
}

void tDib16::ApplyMask()
{
    Pump();
    if (MaskName.empty() || !PackageFileExists(MaskName))
        return;
    TBitmap mask;
    {
        std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(MaskName);
        mask.LoadFromStream(*stream);
        ClosePackageFile(stream);
    }
    Pump();
    // White mask pixels take the key colour, black ones leave the image: bit by bit,
    // D := (D and not S) or (magenta and S), with S the mask pixel in the image's format.
    TBitmap& bitmap = Bitmap();
    BitBlt(bitmap.Handle(), 0, 0, Width, Height, mask.Handle(), 0, 0, ropPatternWhereSource,
           0xFF00FF);
    Unlock();
}
