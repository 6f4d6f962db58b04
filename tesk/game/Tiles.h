#pragma once
// Tile sets: the two pictures a level names (TileSet and OverlayTileSet), each cut into
// 256 tiles of 32 x 32 pixels. The picture is 512 x 512, read as four vertical strips of
// 4 tiles by 16 rows, each strip holding 64 consecutive indexes in row order.
#include <array>
#include <cstdint>
#include <string>

#include "tesk/toolkit/Dib16.h"

constexpr int32_t TileCount = 256;
constexpr int32_t TileSize = 32;

// Tiles are drawn by their top-left corner (hot spot 0, 0).
extern std::array<tSprite, TileCount> TileSprites;
extern std::array<tSprite, TileCount> OverlaySprites;
extern std::string TileSetName;
extern std::string OverlaySetName;

// The top-left corner of a tile in its picture: index 64*b + 4*j + k is at
// ((4*b + k) * 32, 32 * j).
TPoint TileFrameOrigin(int32_t index);

void CreateTileSprites();
void FreeTileSprites();
// Finds or loads the picture at once and points every tile into it.
void LoadTileSet(const std::string& name);
void LoadOverlayTileSet(const std::string& name);
