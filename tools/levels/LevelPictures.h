#pragma once
// Text pictures of levels: what a level holds for play, one character per cell, in a
// text that reads well in a diff. Three sections:
//
//   [Misc]      the level's names as Key=Value lines: Title, Hint, Background, TileSet,
//               OverlayTileSet, Music, WaterTint (hexadecimal), and the tiles a picture is
//               painted with, as lists of hexadecimal tile numbers that the cells take
//               in a fixed scatter: WallTile (41 when not given) with WallUpperTile over
//               it (none when not given), FloorTile (81 when not given).
//   [Picture]   15 rows of exactly 16 characters, top row first.
//   [Legend]    the characters this level adds: "c = item + item ...", where an item is
//               Wall (the cell is solid) or a unit kind with the properties that differ
//               from a new unit's, as Name=Value ("A = Exit Kind=ExitHatch",
//               "B = Info Caption=PUSH_IT ImageName=SignPush.jpg + Key").
//
// Characters every picture knows (FixedLegend): # wall, . floor, @ hero, & fake hero,
// o boulder, ~ water, = water filled from the start, % dirt, k key, * jewel (50),
// E exit (door), S snake, X spider (left wall, facing up), b cherry bomb, ? sign.
// Any unit stands on a floor cell unless its legend entry says Wall.
#include <string>
#include <utility>
#include <vector>

class tLevel;

// The characters every picture knows, each with its items.
const std::vector<std::pair<char, std::string>>& FixedLegend();

// The picture of a level (LF line ends). Characters of the level's own legend are given
// in reading order from A on, one per different cell content.
std::string LevelPicture(const tLevel& level);

// Makes the level of a picture: the grid painted with the picture's wall and floor tiles,
// the units in reading order. Refuses (EToolError "<name>:<line>: ...") a picture of the
// wrong size, a character in no legend, an unknown key, kind, property or value, a
// trigger that does not read, and a level without exactly one hero. Needs the unit kinds
// registered.
void ReadLevelPicture(const std::string& text, const std::string& name, tLevel& level);
