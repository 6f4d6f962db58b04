#include "tesk/game/WaterPainter.h"

#include <algorithm>
#include <memory>

#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"

tWaterGreyMap WaterGreyMap;

void tWaterGreyMap::Load(const std::string& name)
{
    Clear();
    TBitmap rgb;
    {
        TJPEGImage jpeg;
        std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(name);
        jpeg.LoadFromStream(*stream);
        ClosePackageFile(stream);
        jpeg.TakeBitmap(rgb);
    }
    if (rgb.PixelFormat() != pf24bit)
        rgb.SetPixelFormat(pf24bit);
    TBitmap grey;
    grey.SetPixelFormat(pf8bit);
    grey.SetSize(rgb.Width(), rgb.Height());
    const int32_t w = rgb.Width();
    for (int32_t y = 0; y < rgb.Height(); ++y) {
        const uint8_t* src = rgb.ScanLine(y);
        uint8_t* dst = grey.ScanLine(y);
        // The first byte of a 24-bit pixel is its blue level.
        for (int32_t x = 0; x < w; ++x)
            dst[x] = src[3 * x];
    }
    FBitmap.Exchange(grey);
    FRows.reserve(static_cast<size_t>(FBitmap.Height()));
    for (int32_t y = 0; y < FBitmap.Height(); ++y)
        FRows.push_back(FBitmap.ScanLine(y));
}

void tWaterGreyMap::Clear()
{
    FRows.clear();
    TBitmap empty;
    FBitmap.Exchange(empty);
}

TPoint WaterTemplateOrigin(int32_t edgeStyle, uint8_t edge)
{
    const int32_t x = ((edge & 1) ? 0 : 32) + ((edge & 2) ? 0 : 64);
    const int32_t y = ((edge & 4) ? 0 : 32) + ((edge & 8) ? 0 : 64);
    return TPoint{edgeStyle * 128 + x, y};
}

namespace {

// The part of a cell that lies inside the target's clip rectangle and pixels, in cell
// coordinates (columns c0..c1 - 1, rows r0..r1 - 1).
struct CellSpan {
    int32_t X0, Y0;  // the cell's top-left frame pixel
    int32_t C0, C1, R0, R1;
    bool Empty() const { return C0 >= C1 || R0 >= R1; }
};

CellSpan ClipCell(const tDib16& target, int32_t cellX, int32_t cellY, int32_t playfieldX)
{
    CellSpan s{};
    s.X0 = cellX * WaterCellSize + playfieldX;
    s.Y0 = cellY * WaterCellSize;
    const TRect& clip = target.ClipRect;
    const int32_t left = std::max({clip.Left, 0, s.X0});
    const int32_t top = std::max({clip.Top, 0, s.Y0});
    const int32_t right = std::min({clip.Right, target.Width, s.X0 + WaterCellSize});
    const int32_t bottom = std::min({clip.Bottom, target.Height, s.Y0 + WaterCellSize});
    s.C0 = left - s.X0;
    s.C1 = right - s.X0;
    s.R0 = top - s.Y0;
    s.R1 = bottom - s.Y0;
    return s;
}

}  // namespace

bool WaterCellComposable(int32_t cellX, int32_t cellY, int32_t mapWidth, int32_t mapFrameHeight,
                         TPoint origin, int32_t templateWidth, int32_t templateHeight)
{
    const int32_t w = mapWidth, h = mapFrameHeight;
    if (w < WaterCellSize || h < WaterCellSize || cellX < 0 || cellY < 0)
        return false;
    if (origin.X < 0 || origin.Y < 0 || origin.X + WaterCellSize > templateWidth ||
        origin.Y + WaterCellSize > templateHeight)
        return false;
    const int32_t gx = (cellX * WaterCellSize) % w, gy = (cellY * WaterCellSize) % h;
    if (!(gx < (cellX * WaterCellSize + WaterCellSize - 1) % w))
        return false;
    if (!(gy < (cellY * WaterCellSize + WaterCellSize - 1) % h))
        return false;
    // The mirrored reads start half a map further right and must not run past the row.
    return (gx + w / 2) % w + WaterCellSize - 1 < w;
}

bool ComposeWaterCell(tDib16& target, tDib16& templates, TPoint origin, int32_t cellX, int32_t cellY,
                      int32_t playfieldX, int32_t tickCount, tWaterPixels& saved)
{
    const tWaterGreyMap& map = WaterGreyMap;
    if (map.Empty() || !templates.HasSurface() || !target.HasSurface())
        return false;
    const int32_t w = map.Width(), h = map.FrameHeight();
    if (!WaterCellComposable(cellX, cellY, w, h, origin, templates.Width, templates.Height))
        return false;
    const CellSpan s = ClipCell(target, cellX, cellY, playfieldX);
    if (s.Empty())
        return true;

    const int32_t gx = (cellX * WaterCellSize) % w, gy = (cellY * WaterCellSize) % h;
    const int32_t gx3 = (gx + w / 2) % w;
    const int32_t t = tickCount < 0 ? 0 : tickCount;
    const int32_t p1 = (t / 13) % WaterFrames, p2 = ((t + 6) / 13) % WaterFrames;
    const int32_t p3 = ((t + 6) / 12) % WaterFrames, p4 = (t / 12) % WaterFrames;
    const uint16_t blue = RGBToPixel(0, 0, 255), magenta = RGBToPixel(255, 0, 255);

    const size_t coverNeed = static_cast<size_t>(target.Width) * static_cast<size_t>(target.Height);
    const bool covered = target.UseCoverMask && target.CoverMaskActive && target.CoverMask.size() >= coverNeed;
    const int32_t rows = s.R1 - s.R0;
    int32_t dPitch = 0, tPitch = 0;
    uint16_t* dFirst = target.ScanLines(s.Y0 + s.R0, rows, dPitch);
    const uint16_t* tFirst = templates.ScanLines(origin.Y + s.R0, rows, tPitch);
    for (int32_t r = s.R0; r < s.R1; ++r) {
        uint16_t* dst = dFirst + static_cast<ptrdiff_t>(r - s.R0) * dPitch + s.X0;
        const uint16_t* tmpl = tFirst + static_cast<ptrdiff_t>(r - s.R0) * tPitch + origin.X;
        const uint8_t* g1 = map.Row(gy + h * p1 + r) + gx;
        const uint8_t* g2 = map.Row(gy + h * p2 + r) + gx;
        const uint8_t* g3 = map.Row(h * p3 + h - 1 - gy - r) + gx3;
        const uint8_t* g4 = map.Row(h * p4 + h - 1 - gy - r) + gx3;
        const uint8_t* cover =
            covered ? target.CoverMask.data() + static_cast<size_t>(s.Y0 + r) * static_cast<size_t>(target.Width) + s.X0
                    : nullptr;
        uint16_t* keep = saved.data() + r * WaterCellSize;
        for (int32_t c = s.C0; c < s.C1; ++c) {
            uint16_t out = dst[c];
            if (!(cover && cover[c])) {
                const uint16_t v = tmpl[c];
                if (v == blue)
                    out = WaterRamp[static_cast<size_t>(g1[c] + g2[c] + g3[c] + g4[c])];
                else if (v != magenta)
                    out = v;
                dst[c] = out;
            }
            keep[c] = out;
        }
    }
    return true;
}

void RestoreWaterCell(tDib16& target, int32_t cellX, int32_t cellY, int32_t playfieldX,
                      const tWaterPixels& saved)
{
    if (!target.HasSurface())
        return;
    const CellSpan s = ClipCell(target, cellX, cellY, playfieldX);
    if (s.Empty())
        return;
    int32_t pitch = 0;
    uint16_t* first = target.ScanLines(s.Y0 + s.R0, s.R1 - s.R0, pitch);
    for (int32_t r = s.R0; r < s.R1; ++r)
        std::copy(saved.begin() + r * WaterCellSize + s.C0, saved.begin() + r * WaterCellSize + s.C1,
                  first + static_cast<ptrdiff_t>(r - s.R0) * pitch + s.X0 + s.C0);
}
