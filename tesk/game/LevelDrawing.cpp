// Drawing of the level's tile layers and units into the current surface.
#include "tesk/game/Levels.h"

// The sprite layer is not part of the build yet: until it is, units and tiles draw
// nothing.
void tUnit::DrawAtInitialCell() {}
void tUnit::Draw() {}
void tLevel::DrawTiles(int32_t) {}
void tLevel::DrawOverlay(int32_t) {}
void tLevel::DrawOverlayToCoverMask(int32_t) {}
void tLevel::DrawUnits() {}
void tLevel::DrawUnitsAtInitialCells() {}
void tLevel::DrawBackgroundUnits() {}
void tLevel::DrawSolidMarks() {}
