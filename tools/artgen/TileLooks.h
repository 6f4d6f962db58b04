// The looks of the chapters' tile sets: what each set paints into the shared slots (see
// ArtTileSets.cpp for the slots), and the painting pieces the looks share.
#pragma once

#include "Sheets.h"
#include "WorldPaint.h"

#include <functional>
#include <string>

namespace art {

struct Ground {
    QColor Dark, Light;
    float Scale = 4, Speckle = 0.3f;
};

using CellPainter = std::function<void(QPainter& p, QRect r, int v, int index, Rng& rng)>;
using ThingPainter = std::function<void(QPainter& p, QPointF c, int index, Rng& rng)>;

struct TileLook {
    std::string Name;
    Ground Grounds[4];
    // Small things over the main ground, tiles 48..63 (v 0..15).
    CellPainter GroundDetail;
    // The four wall groups and the four floor kinds, v 0..15 inside a group.
    CellPainter Walls[4];
    CellPainter Floors[4];
    ThingPainter Things[8];
};

struct OverlayLook {
    std::string Name;
    // A whole crown round its centre; the tiles show a quarter each.
    std::function<void(QPainter& p, QPointF centre, int index, Rng& rng)> Crown;
    QColor ArchLight, Arch;
    QColor CapLight, Cap;
    QColor Rail;
    // Hanging things from the top edge of the tile.
    CellPainter Hanging;
    ThingPainter Bush;
};

// Paints a tile set or an overlay set from its look.
QImage PaintTiles(const TileLook& look);
QImage PaintOverlay(const OverlayLook& look);

// The looks, one pair per chapter.
TileLook BasicTiles();
OverlayLook BasicOverlay();
TileLook DesertTiles();
OverlayLook DesertOverlay();
TileLook ForestTiles();
OverlayLook ForestOverlay();
TileLook MineTiles();
OverlayLook MineOverlay();
TileLook CastleTiles();
OverlayLook CastleOverlay();
TileLook IceTiles();
OverlayLook IceOverlay();
TileLook StarTiles();
OverlayLook StarOverlay();

// ---- pieces the looks share ----
// A cell of noisy ground (tileable over the cell), painted through the painter.
void TextureCell(QPainter& p, QRect r, const Ground& g, int seed, float shade = 1.0f);
QColor Mortar(QColor stone);
// The wall group most sets use: blocks of one stone, with a cap on the wall tops (v 8..11)
// and the set's own weathering on the last four.
void StoneWall(QPainter& p, QRect r, QColor s, int v, int index, const std::function<void(QPainter&, QRect, Rng&)>& weather, Rng& rng);
void Cracks(QPainter& p, QRect r, QColor stone, Rng& rng);
// A drift of loose ground heaped against the foot of a wall.
void Drift(QPainter& p, QRect r, QColor dark, QColor light, Rng& rng);
void Shadow(QPainter& p, QPointF c, float w, float h);
// A plain square tile floor of n x n tiles with thin joints; two tones alternate when
// checker is set.
void SquareFloor(QPainter& p, QRect r, QColor a, QColor b, QColor joint, int n, bool checker, int seed);
void Urn(QPainter& p, QPointF c, QColor clay, QColor band);
void Crate(QPainter& p, QPointF c, QColor wood);
void Pebbles(QPainter& p, QPointF c, QColor a, QColor b, Rng& rng);
void Brazier(QPainter& p, QPointF c, QColor metal, int index);
void Tuft(QPainter& p, QPointF c, QColor dark, QColor light);
// A lit lantern standing on the ground, with its glow.
void Lantern(QPainter& p, QPointF c);
// A cluster of five crystals on the ground, in three alternating colours.
void CrystalCluster(QPainter& p, QPointF c, Rng& rng, const QColor (&colours)[3], QColor edge, QColor shine);
// A rough rock with light and shadow facets.
void Rock(QPainter& p, QPointF c, float r, QColor dark, QColor mid, QColor light, int seed);

} // namespace art
