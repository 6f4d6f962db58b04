#pragma once
// Editing a level in place: what the editor does to the cells and units of the running
// level, each operation on a tLevel and nothing else, so that the editor's window, the
// main window's presses on the playfield and the tests all go through the same code.
//
// The level keeps playing by its own rules: a unit's initial cell is set through its
// setters (which refuse cells off the grid), a property through the published property
// table, and a change that a unit gathers at its reset is followed by a restart of the
// level (tLevel::Restart: counters zeroed, temporary units freed, every unit reset).
#include <cstdint>
#include <string>

#include "platform/Keys.h"
#include "platform/TypInfo.h"
#include "tesk/game/Levels.h"

// The editor's painting pages: what a press on the playfield does.
enum class tEditPage : uint8_t {
    None,     // the Data, Vars and OOT pages: presses change nothing
    Tiles,    // a tile layer and the solid flag
    Overlay,  // the overlay tile
    Objects,  // units: place the armed kind, or pick a unit to inspect and drag
};

// The tile layer the Tiles page paints. None paints the solid flag only. The values are
// the tags of the layer buttons.
enum class tTileLayer : int32_t { Lower = -1, Base = 0, Upper = 1, None = -100 };

// The layer a button tag stands for (None for any tag that is no layer).
tTileLayer TileLayerOfTag(intptr_t tag);

// ---- cells (a cell off the grid is left alone by all of these)

// The left button on the Tiles page: the layer's tile := tile (no tile with the layer
// None), and the solid flag := solid.
void PaintTile(tLevel& level, int32_t x, int32_t y, tTileLayer layer, int32_t tile, bool solid);
// The right button on the Tiles page: the layer's tile := 0 (none with None) and the
// solid flag cleared.
void ClearTile(tLevel& level, int32_t x, int32_t y, tTileLayer layer);
// The Overlay page: the overlay tile := tile (0 clears it).
void SetOverlayTile(tLevel& level, int32_t x, int32_t y, int32_t tile);

// ---- units

// A new unit of the kind (its class's virtual constructor) with its initial cell at
// (x, y), appended to the level and reset. Null (and nothing added) for a cell off the
// grid or a class that cannot be created.
tUnit* PlaceUnit(tLevel& level, TClass kind, int32_t x, int32_t y);
// The unit of the level whose initial cell (x, y) is, first in list order, or null.
// Temporary units (shots, explosions, the hero's arrival warp on its cell) come and go with
// each restart and are no part of the level: they are never picked.
tUnit* PickUnit(const tLevel& level, int32_t x, int32_t y);
// A unit's initial cell := (x, y), each coordinate through its setter (a value off the
// grid is refused and the old one stays); the level restarts when the cell changed. True
// when it did.
bool MoveUnit(tLevel& level, tUnit& unit, int32_t x, int32_t y);
// Takes a unit of the level off it and frees it (the level's OnUnitsFreed hears of it
// first), then restarts the level so that its counters and the units that watch others
// start again without it. The hero may go: the level then plays without one. A unit
// that is not the level's is left alone.
void DeleteUnit(tLevel& level, tUnit* unit);

// The outcome of setting a property: refused with the reason, or applied (a value the
// setter ignores, such as an initial cell off the grid, is no refusal: the property then
// simply reads back as it was).
struct tPropertyEdit {
    bool Applied = false;
    std::string Reason;
};

// Sets a published property of a unit of the level from the text of its row, then
// restarts the level so that the playfield shows the unit as it now is:
// - integers and sets: a number, truncated toward zero and held to the 32-bit range;
// - floats: a number;
// - enumerations (Booleans too): the name of a member, letter case ignored;
// - strings: the text as it is.
// A text that is no number (or no finite one, or no member), a property of another kind
// and a setter that raises all leave the unit as it was (the old value is put back) and
// say why.
tPropertyEdit SetUnitProperty(tLevel& level, tUnit& unit, const TPropInfo& prop, const std::string& text);
// The same for a number already read (what a numeric row holds): a value that is not
// finite is refused; integers and sets are truncated toward zero within the 32-bit range.
tPropertyEdit SetUnitPropertyNumber(tLevel& level, tUnit& unit, const TPropInfo& prop, double value);

// The ordinal a number stands for in an integer row: truncated toward zero, held to the
// 32-bit range; false for a value that is not finite.
bool OrdinalOfNumber(double value, int64_t& ordinal);

// ---- a press on the playfield

// What the editor's pages have chosen for a press.
struct tEditChoices {
    tEditPage Page = tEditPage::None;
    tTileLayer Layer = tTileLayer::Base;
    int32_t Tile = 16;
    bool Solid = true;
    int32_t OverlayTile = 0;
    // The unit kind armed for placing (its class), or null when none is.
    TClass ArmedKind = nullptr;
};

// What a press did on the Objects page.
struct tCellEdit {
    // The unit of the armed kind placed on the cell.
    tUnit* Placed = nullptr;
    // The unit picked at the cell (PickUnit) when no kind was armed: the one to inspect
    // and drag.
    tUnit* Picked = nullptr;
};

// A button pressed on a cell of the playfield while the editor edits:
// - Tiles: left paints (PaintTile), right clears (ClearTile);
// - Overlay: left sets the chosen overlay tile, right clears it;
// - Objects, any button: places the armed kind, else picks the unit whose cell it is.
// Other buttons and pages, and cells off the grid, change nothing.
tCellEdit EditCell(tLevel& level, const tEditChoices& choices, TMouseButton button, int32_t x, int32_t y);
