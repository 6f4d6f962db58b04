// Painting helpers of the playfield's pictures, shared by the basic world and the
// chapters' looks.
#pragma once

#include "ArtCore.h"

namespace art {

// The 32 x 32 frame of a tile index in a 512 x 512 tile picture: four vertical strips
// of 4 tiles by 16 rows, each strip holding 64 consecutive indexes in row order.
QRect TileRect(int index);

// Fills a tile with a noisy two-colour texture, tileable over 32 pixels.
void Texture(QImage& img, QRect r, QColor a, QColor b, float scale, int seed, float speckle = 0.0f);
// Stone walls and floors: rows of blocks with mortar, shaded per block.
void Blocks(QPainter& p, QRect r, QColor stone, QColor mortar, int rows, int cols, bool offset, int seed, bool bevel = true);
// Four boards across a tile, with grain and a nail each.
void Planks(QPainter& p, QRect r, QColor wood, bool vertical, int seed);
// The lit top band of a wall (a cap or a coping) over the tile's upper edge.
void CapBand(QPainter& p, QRectF cap, QColor light, QColor dark, QColor edge);
// A tree crown seen from above: a ring of leafy clumps round a heart, lit from the upper
// left.
void LeafyCrown(QPainter& p, QPointF centre, int clumps, float ring, float heart, QColor dark, QColor light);
void Flower(QPainter& p, QPointF c, QColor petal);
void Bush(QPainter& p, QPointF c, float r, int seed);
// Ground a (a1..a2) with a soft, wavy edge of ground b (b1..b2) toward one side: 0 top,
// 1 bottom, 2 left, 3 right.
void EdgeBlend(QImage& img, QRect r, QColor a1, QColor a2, QColor b1, QColor b2, int side, int seed);

} // namespace art
