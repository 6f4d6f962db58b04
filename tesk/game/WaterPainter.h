#pragma once
// Animated water: the grey noise map and the painter that builds a water cell from its
// edge template and four moving reads of the map.
//
// The grey map is "WaterBW.jpg" reduced to one byte per pixel (its blue level); it holds
// 30 animation frames stacked vertically. A water cell is composed pixel by pixel from a
// 32 x 32 template: pure blue template pixels become WaterRamp[g1 + g2 + g3 + g4] (four
// grey bytes read at frame offsets that move with the tick count), magenta ones leave the
// frame alone, every other colour is drawn as it is. What the cell shows is kept so that
// the frames in between can copy it back instead of composing it again.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Graphics.h"

class tDib16;

constexpr int32_t WaterFrames = 30;
constexpr int32_t WaterCellSize = 32;

// The pixels of one water cell as last composed, row by row (zero until first composed).
using tWaterPixels = std::array<uint16_t, WaterCellSize * WaterCellSize>;

class tWaterGreyMap {
public:
    // Decodes the JPEG picture through the packaged files; on any failure the map is
    // left empty and the error passes on.
    void Load(const std::string& name);
    void Clear();

    bool Empty() const { return FRows.empty(); }
    int32_t Width() const { return FBitmap.Width(); }
    int32_t Height() const { return FBitmap.Height(); }
    // The height of one animation frame: the picture's height div 30.
    int32_t FrameHeight() const { return Height() / WaterFrames; }
    // Row y's first byte (y within 0..Height - 1).
    const uint8_t* Row(int32_t y) const { return FRows[static_cast<size_t>(y)]; }
    int32_t RowCount() const { return static_cast<int32_t>(FRows.size()); }

private:
    TBitmap FBitmap;
    std::vector<const uint8_t*> FRows;
};

// The program's grey map (made by InitUnitData, emptied by FreeUnitData).
extern tWaterGreyMap WaterGreyMap;

// Where a cell's template sits in the template picture: each edge style owns a block of
// 128 x 128 pixels, side by side in style order; inside it the template is chosen by the
// sides that have no water next to them. edge: Up 1, Right 2, Down 4, Left 8.
TPoint WaterTemplateOrigin(int32_t edgeStyle, uint8_t edge);

// Whether the cell at (cellX, cellY) can be composed from a grey map of that size and a
// template at `origin` of a template picture of that size: the template rectangle lies in
// the picture and every grey byte the cell reads lies in the map.
bool WaterCellComposable(int32_t cellX, int32_t cellY, int32_t mapWidth, int32_t mapFrameHeight,
                         TPoint origin, int32_t templateWidth, int32_t templateHeight);

// Composes the cell into `target` at (cellX * 32 + playfieldX, cellY * 32), clipped to the
// target's clip rectangle, and keeps the result in `saved`. Pixels marked in the target's
// cover mask, while covered drawing is in force, are left as they are (and kept as they
// are). Returns false, changing nothing, when the cell cannot be composed.
bool ComposeWaterCell(tDib16& target, tDib16& templates, TPoint origin, int32_t cellX, int32_t cellY,
                      int32_t playfieldX, int32_t tickCount, tWaterPixels& saved);

// Copies the kept pixels back to the cell, with the same clipping.
void RestoreWaterCell(tDib16& target, int32_t cellX, int32_t cellY, int32_t playfieldX,
                      const tWaterPixels& saved);
