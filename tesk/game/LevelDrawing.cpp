// Drawing of the level's tile layers and units into the current surface.
#include "tesk/game/EngineParts.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Tiles.h"
#include "tesk/toolkit/Dib16.h"

using engine_parts::tRestore;

namespace {

constexpr int32_t DrawLayers = 4;

void ClipTo(int32_t left)
{
    CurrentDib->ClipRect = TRect{left, 0, CurrentDib->Width, CurrentDib->Height};
}

void DrawTile(std::array<tSprite, TileCount>& sprites, int32_t index, int32_t x, int32_t y)
{
    if (index > 0 && index < TileCount)
        sprites[static_cast<size_t>(index)].Draw(x, y);
}

}  // namespace

void tUnit::DrawAtInitialCell()
{
    if (Sprite && CurrentDib)
        Sprite->Draw(InitialX * 32 + PlayfieldX + 16, InitialY * 32 + 16);
}

void tUnit::Draw()
{
    if (!Sprite || !CurrentDib)
        return;
    // A static picture is recorded for restoring only while it moves.
    tRestore<bool> suspended(CurrentDib->DirtyRectsSuspended);
    if (StaticSprite)
        CurrentDib->DirtyRectsSuspended = !Moving;
    Sprite->Draw(RoundCell(X * 32) + PlayfieldX + 16, RoundCell(Y * 32) + 16);
}

void tLevel::DrawTiles(int32_t x0)
{
    if (!CurrentDib)
        return;
    for (int32_t y = 0; y < LevelHeight; ++y)
        for (int32_t x = 0; x < LevelWidth; ++x) {
            const tCell& c = Cell(x, y);
            DrawTile(TileSprites, c.LowerTile, x0 + x * 32, y * 32);
            DrawTile(TileSprites, c.BaseTile, x0 + x * 32, y * 32);
            DrawTile(TileSprites, c.UpperTile, x0 + x * 32, y * 32);
        }
}

void tLevel::DrawOverlay(int32_t x0)
{
    if (!CurrentDib)
        return;
    tRestore<bool> active(CurrentDib->CoverMaskActive);
    CurrentDib->CoverMaskActive = false;
    for (int32_t y = 0; y < LevelHeight; ++y)
        for (int32_t x = 0; x < LevelWidth; ++x)
            DrawTile(OverlaySprites, Cell(x, y).OverlayTile, x0 + x * 32, y * 32);
}

void tLevel::DrawOverlayToCoverMask(int32_t x0)
{
    if (!CurrentDib)
        return;
    for (int32_t y = 0; y < LevelHeight; ++y)
        for (int32_t x = 0; x < LevelWidth; ++x) {
            const int32_t index = Cell(x, y).OverlayTile;
            if (index > 0 && index < TileCount)
                OverlaySprites[static_cast<size_t>(index)].DrawToCoverMask(x0 + x * 32, y * 32);
        }
}

void tLevel::DrawUnits()
{
    if (!CurrentDib)
        return;
    ClipTo(PlayfieldX);
    for (int32_t layer = 0; layer < DrawLayers; ++layer)
        for (int32_t i = 0; i < UnitList.Count(); ++i) {
            tUnit* u = UnitList[i];
            if (u->DrawLayer == layer && !u->Dead && !u->Held)
                u->Draw();
        }
}

void tLevel::DrawUnitsAtInitialCells()
{
    if (!CurrentDib)
        return;
    ClipTo(PlayfieldX);
    for (int32_t layer = 0; layer < DrawLayers; ++layer)
        for (int32_t i = 0; i < UnitList.Count(); ++i)
            if (UnitList[i]->DrawLayer == layer)
                UnitList[i]->DrawAtInitialCell();
}

void tLevel::DrawBackgroundUnits()
{
    if (!CurrentDib)
        return;
    ClipTo(0);
    tRestore<int32_t> offset(PlayfieldX);
    PlayfieldX = 0;
    for (int32_t layer = 0; layer < DrawLayers; ++layer)
        for (int32_t i = 0; i < UnitList.Count(); ++i) {
            tUnit* u = UnitList[i];
            if (u->DrawLayer == layer && u->PartOfBackground() && !u->Dead && !u->Held)
                u->Draw();
        }
}

void tLevel::DrawSolidMarks()
{
    if (!CurrentDib)
        return;
    const uint16_t mark = RGBToPixel(20, 50, 20);
    for (int32_t y = 0; y < LevelHeight; ++y)
        for (int32_t x = 0; x < LevelWidth; ++x)
            if (Cell(x, y).Solid)
                CurrentDib->AddColor(TRect{PlayfieldX + x * 32, y * 32, PlayfieldX + x * 32 + 32, y * 32 + 32}, mark);
}
