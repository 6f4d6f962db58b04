#include "tesk/game/Tiles.h"

std::array<tSprite, TileCount> TileSprites;
std::array<tSprite, TileCount> OverlaySprites;
std::string TileSetName;
std::string OverlaySetName;

TPoint TileFrameOrigin(int32_t index)
{
    const int32_t i = index & (TileCount - 1);
    const int32_t strip = i / 64;
    const int32_t row = (i % 64) / 4;
    const int32_t column = i % 4;
    return TPoint{(4 * strip + column) * TileSize, TileSize * row};
}

namespace {

void PointTiles(std::array<tSprite, TileCount>& tiles, const std::string& name)
{
    FindOrLoadDib(name, true);
    for (int32_t i = 0; i < TileCount; ++i) {
        const TPoint at = TileFrameOrigin(i);
        tiles[static_cast<size_t>(i)].SetFrame(name, at.X, at.Y, TileSize, TileSize);
        tiles[static_cast<size_t>(i)].HotSpotX = 0;
        tiles[static_cast<size_t>(i)].HotSpotY = 0;
    }
}

}  // namespace

void CreateTileSprites()
{
    TileSprites.fill(tSprite());
    OverlaySprites.fill(tSprite());
}

void FreeTileSprites()
{
    TileSprites.fill(tSprite());
    OverlaySprites.fill(tSprite());
    TileSetName.clear();
    OverlaySetName.clear();
}

void LoadTileSet(const std::string& name)
{
    TileSetName = name;
    PointTiles(TileSprites, name);
}

void LoadOverlayTileSet(const std::string& name)
{
    OverlaySetName = name;
    PointTiles(OverlaySprites, name);
}
