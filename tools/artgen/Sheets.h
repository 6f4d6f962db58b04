// The picture groups the generator writes; each writes its files into the output.
#pragma once

#include "ArtCore.h"

namespace art {

// Sprites and effects (hero, creatures, items, explosions, the shared sheet).
void WriteHeroSheets(Output& out);
void WriteCreatureSheets(Output& out);
void WriteEffectSheets(Output& out);
void WriteBaseGfx(Output& out);
// Tiles, water, backdrop.
void WriteWorldSheets(Output& out);
// The chapters' own tile sets, overlay sets and backdrops.
void WriteChapterTileSets(Output& out);
void WriteChapterBackdrops(Output& out);
// The information signs' pictures (painted from the tiles and sprites written before).
void WriteSignPictures(Output& out);
// Menu font, slabs, side panel, pop-ups, level-pick screen, instructions, credits.
void WriteMenuFont(Output& out);
void WriteScreens(Output& out);
void WritePopups(Output& out);

// Shared drawings used by more than one sheet.
enum class Facing { Up, Down, Left, Right };
// The hero standing on (feet) with a walk phase 0..1 (one stride = 0.5), pose 0..2.
void DrawHero(QPainter& p, QPointF feet, Facing dir, float phase, int pose, float scale = 1.0f);
void DrawBoulder(QPainter& p, QPointF c, float r, int seed);
void DrawKey(QPainter& p, QPointF c, float size, float spin);
void DrawGem(QPainter& p, QPointF c, float w, float h, QColor base, float spin);
void DrawBomb(QPainter& p, QPointF c, float r, float fuse);
void DrawSnake(QPainter& p, QPointF base, float sway, bool left, float scale = 1.0f);
void DrawSpider(QPainter& p, QPointF c, float angle, float phase, float scale = 1.0f);
void DrawFlame(QPainter& p, QPointF c, float size, float phase, int seed);

// The clear-progress dialog's picture (402 x 304, transparent outside its outline).
QImage ConfirmDialogPicture();
// A picture button face with a caption (level-pick and result-form buttons).
QImage ButtonFace(int w, int h, const QString& caption, int state);

// Embedded resources of the Tesk program: returns the C++ source of the table.
std::string EmbeddedResourceSource();

} // namespace art
