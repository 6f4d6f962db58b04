#include "tools/levels/LevelPictures.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>

#include "platform/TypInfo.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Misc.h"
#include "tools/levels/LevelSession.h"

namespace {

constexpr int32_t DefaultWallTile = 0x41;
constexpr int32_t DefaultFloorTile = 0x81;

// The characters a level's own legend takes, in this order.
const std::string LegendLetters = "ABCDFGHIJKLMNOPQRTUVWYZacefghijlmnpqrstuvwxyz0123456789";

bool IsFixed(char c)
{
    for (const auto& [fixed, items] : FixedLegend())
        if (fixed == c)
            return true;
    return false;
}

// A property a unit derives (or reads from the level) rather than holds: never shown.
bool Derived(const tUnit& unit, const TPropInfo& prop)
{
    if (prop.Name == "InitialX" || prop.Name == "InitialY")
        return true;
    if (const auto* water = dynamic_cast<const tWater*>(&unit))
        return prop.Name == "Tint" || (prop.Name == "Edge" && water->GetAutoEdge());
    return false;
}

// A unit as a legend item: its kind, then each property that differs from a new unit's.
std::string UnitItem(const tUnit& unit)
{
    std::string item = UnitKindName(unit.ClassType());
    const std::unique_ptr<tUnit> fresh = CreateUnit(unit.ClassType());
    for (const TPropInfo* p : GetPropList(unit.ClassType(), tkProperties)) {
        if (Derived(unit, *p))
            continue;
        const std::string value = PropertyText(unit, *p);
        if (value != PropertyText(*fresh, *p))
            item += " " + p->Name + "=" + value;
    }
    return item;
}

std::string TileHex(int32_t tile)
{
    std::string s = IntToHexStr(tile & 0xFF);
    return s.size() < 2 ? "0" + s : s;
}

// The tiles of a layer that the cells of the kind carry, in ascending order.
std::vector<int32_t> CellTiles(const tLevel& level, bool solid, int32_t tCell::*layer)
{
    std::array<bool, 256> used{};
    for (const tCell& c : level.Cells)
        if ((c.Solid != 0) == solid)
            used[static_cast<size_t>(c.*layer & 0xFF)] = true;
    std::vector<int32_t> tiles;
    for (int32_t t = 0; t < 256; ++t)
        if (used[static_cast<size_t>(t)])
            tiles.push_back(t);
    return tiles;
}

std::string TileList(const std::vector<int32_t>& tiles)
{
    std::string out;
    for (int32_t t : tiles)
        out += (out.empty() ? "" : " ") + TileHex(t);
    return out;
}

// The tile of a list a cell is painted with: a fixed scatter over the list.
int32_t TileFor(const std::vector<int32_t>& tiles, int32_t x, int32_t y)
{
    return tiles[static_cast<size_t>((x * 7 + y * 13 + x * y) % static_cast<int32_t>(tiles.size()))];
}

// A hexadecimal number of 1 to 6 digits (no sign, no prefix); -1 when it is none.
int32_t StrictHex(const std::string& text)
{
    if (text.empty() || text.size() > 6)
        return -1;
    int32_t v = 0;
    for (char c : text) {
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        if (d < 0)
            return -1;
        v = v * 16 + d;
    }
    return v;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::string w;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!w.empty())
                words.push_back(w);
            w.clear();
        } else {
            w += c;
        }
    }
    if (!w.empty())
        words.push_back(w);
    return words;
}

struct tPropertyValue {
    const TPropInfo* Prop = nullptr;
    std::string Value;
};
struct tItem {
    bool Wall = false;
    TClass Kind = nullptr;
    std::string KindName;
    std::vector<tPropertyValue> Values;
};

std::string KindList()
{
    std::string names;
    for (const tUnitRecord& r : UnitKinds)
        names += (names.empty() ? "" : ", ") + r.Name;
    return names;
}

// The items of a legend entry; where names the line for errors.
std::vector<tItem> ReadItems(const std::string& text, const std::string& where)
{
    std::vector<tItem> items;
    const std::vector<std::string> words = Words(text);
    bool expectItem = true;
    for (const std::string& w : words) {
        if (w == "+") {
            if (expectItem)
                throw EToolError(where + "a '+' with no item before it");
            expectItem = true;
            continue;
        }
        if (expectItem) {
            tItem item;
            if (w == "Wall") {
                item.Wall = true;
            } else {
                item.Kind = UnitClassByName(w);
                if (item.Kind == tUnit::StaticClass())
                    throw EToolError(where + "'" + w + "' is no unit kind (Wall, " + KindList() + ")");
                item.KindName = w;
            }
            items.push_back(item);
            expectItem = false;
            continue;
        }
        tItem& item = items.back();
        const size_t eq = w.find('=');
        if (item.Wall || eq == std::string::npos || eq == 0)
            throw EToolError(where + "'" + w + "' is not a property of the item before it (Name=Value)");
        const std::string name = w.substr(0, eq);
        const TPropInfo* prop = FindPropInfo(item.Kind, name);
        if (!prop || name == "InitialX" || name == "InitialY")
            throw EToolError(where + item.KindName + " has no property '" + name + "' a legend sets" +
                             (prop ? " (the picture places the units)" : ""));
        item.Values.push_back({prop, w.substr(eq + 1)});
    }
    if (items.empty() || expectItem)
        throw EToolError(where + (items.empty() ? "an entry with no item" : "a '+' with no item after it"));
    return items;
}

std::string Flattened(std::string message)
{
    for (char& c : message)
        if (c == '\r' || c == '\n')
            c = ' ';
    return message;
}

} // namespace

const std::vector<std::pair<char, std::string>>& FixedLegend()
{
    static const std::vector<std::pair<char, std::string>> legend = {
        {'#', "Wall"},   {'@', "Player"}, {'&', "FakePlayer"}, {'o', "Boulder"}, {'~', "Water"},
        {'=', "Water Boulder=True"},      {'%', "Dirt"},       {'k', "Key"},     {'*', "Jewel"},
        {'E', "Exit"},   {'S', "Snake"},  {'X', "Spider"},     {'b', "CherryBomb"}, {'?', "Info"}};
    return legend;
}

std::string LevelPicture(const tLevel& level)
{
    // The items of each cell: Wall first when solid, then its units in list order.
    std::array<std::string, LevelCells> cells;
    for (int32_t y = 0; y < LevelHeight; ++y)
        for (int32_t x = 0; x < LevelWidth; ++x)
            if (level.Cell(x, y).Solid)
                cells[static_cast<size_t>(y * LevelWidth + x)] = "Wall";
    for (int32_t i = 0; i < level.UnitList.Count(); ++i) {
        const tUnit& u = *level.UnitList[i];
        std::string& c = cells[static_cast<size_t>(u.InitialY * LevelWidth + u.InitialX)];
        c += (c.empty() ? "" : " + ") + UnitItem(u);
    }
    std::map<std::string, char> legend;
    std::vector<std::pair<char, std::string>> added;
    for (const auto& [c, items] : FixedLegend())
        legend[items] = c;
    std::string rows;
    for (int32_t y = 0; y < LevelHeight; ++y) {
        for (int32_t x = 0; x < LevelWidth; ++x) {
            const std::string& items = cells[static_cast<size_t>(y * LevelWidth + x)];
            if (items.empty()) {
                rows += '.';
                continue;
            }
            auto it = legend.find(items);
            if (it == legend.end()) {
                const size_t n = added.size();
                const char c = n < LegendLetters.size() ? LegendLetters[n] : '^';
                it = legend.emplace(items, c).first;
                added.emplace_back(c, items);
            }
            rows += it->second;
        }
        rows += '\n';
    }
    std::string out = "[Misc]\n";
    if (!level.Title.empty())
        out += "Title=" + level.Title + "\n";
    if (!level.Hint.empty())
        out += "Hint=" + level.Hint + "\n";
    out += "Background=" + level.Background + "\n";
    out += "TileSet=" + level.TileSet + "\n";
    out += "OverlayTileSet=" + level.OverlayTileSet + "\n";
    out += "Music=" + level.Music + "\n";
    if (level.WaterTint != DefaultWaterTint)
        out += "WaterTint=" + IntToHexStr(level.WaterTint) + "\n";
    if (const std::vector<int32_t> walls = CellTiles(level, true, &tCell::BaseTile); !walls.empty()) {
        out += "WallTile=" + TileList(walls) + "\n";
        if (const std::vector<int32_t> upper = CellTiles(level, true, &tCell::UpperTile); upper != std::vector<int32_t>{0})
            out += "WallUpperTile=" + TileList(upper) + "\n";
    }
    if (const std::vector<int32_t> floors = CellTiles(level, false, &tCell::BaseTile); !floors.empty())
        out += "FloorTile=" + TileList(floors) + "\n";
    out += "[Picture]\n" + rows;
    if (!added.empty()) {
        out += "[Legend]\n";
        for (const auto& [c, items] : added)
            out += std::string(1, c) + " = " + items + "\n";
    }
    return out;
}

void ReadLevelPicture(const std::string& text, const std::string& name, tLevel& level)
{
    const std::vector<std::string> lines = TextLines(text);
    const auto where = [&](size_t n) { return name + ":" + std::to_string(n + 1) + ": "; };

    struct tMisc {
        std::string Title, Hint, Background = "Morrowfinch.jpg", TileSet = "BasicTiles.jpg",
                                 OverlayTileSet = "BasicOverlay.jpg", Music = "AncientStories2.xm";
        int32_t WaterTint = DefaultWaterTint;
        std::vector<int32_t> WallTile{DefaultWallTile}, WallUpperTile{0}, FloorTile{DefaultFloorTile};
    } misc;
    std::map<std::string, size_t> miscSeen;
    std::map<char, std::pair<std::vector<tItem>, size_t>> legend;
    for (const auto& [c, items] : FixedLegend())
        legend[c] = {ReadItems(items, name + ": "), 0};
    std::vector<size_t> rowLines;
    std::string section;
    size_t pictureLine = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        // A header, unless it is a row of a picture still short of rows.
        const bool row = section == "[Picture]" && rowLines.size() < static_cast<size_t>(LevelHeight) &&
                         line.size() == static_cast<size_t>(LevelWidth);
        if (!row && line.size() > 1 && line.front() == '[' && line.back() == ']') {
            if (line != "[Misc]" && line != "[Picture]" && line != "[Legend]")
                throw EToolError(where(n) + "'" + line + "' is no section of a picture ([Misc], [Picture], [Legend])");
            section = line;
            if (line == "[Picture]")
                pictureLine = n;
            continue;
        }
        if (section == "[Picture]") {
            if (rowLines.size() == static_cast<size_t>(LevelHeight)) {
                if (line.empty())
                    continue;
                throw EToolError(where(n) + "a 16th picture row; a level has 15 rows");
            }
            if (line.size() != static_cast<size_t>(LevelWidth))
                throw EToolError(where(n) + "the picture row " + std::to_string(rowLines.size()) + " has " +
                                 std::to_string(line.size()) + " characters; a row has 16");
            rowLines.push_back(n);
            continue;
        }
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        if (section.empty())
            throw EToolError(where(n) + "text before the first section ([Misc], [Picture], [Legend])");
        if (section == "[Misc]") {
            const size_t eq = line.find('=');
            if (eq == std::string::npos)
                throw EToolError(where(n) + "a line of [Misc] is Key=Value");
            const std::string key = line.substr(0, eq);
            const std::string value = line.substr(eq + 1);
            if (miscSeen.count(key))
                throw EToolError(where(n) + key + " is given twice (line " + std::to_string(miscSeen[key] + 1) + ")");
            miscSeen[key] = n;
            std::string* field = key == "Title"            ? &misc.Title
                                 : key == "Hint"           ? &misc.Hint
                                 : key == "Background"     ? &misc.Background
                                 : key == "TileSet"        ? &misc.TileSet
                                 : key == "OverlayTileSet" ? &misc.OverlayTileSet
                                 : key == "Music"          ? &misc.Music
                                                           : nullptr;
            if (field) {
                *field = value;
                continue;
            }
            std::vector<int32_t>* tiles = key == "WallTile"        ? &misc.WallTile
                                          : key == "WallUpperTile" ? &misc.WallUpperTile
                                          : key == "FloorTile"     ? &misc.FloorTile
                                                                   : nullptr;
            if (key == "WaterTint") {
                misc.WaterTint = StrictHex(value);
                if (misc.WaterTint < 0)
                    throw EToolError(where(n) + "'" + value + "' is not a hexadecimal colour (BBGGRR)");
            } else if (tiles) {
                tiles->clear();
                for (const std::string& w : Words(value)) {
                    const int32_t t = StrictHex(w);
                    if (t < 0 || t > 0xFF)
                        throw EToolError(where(n) + "'" + w + "' is not a hexadecimal tile number (00 to FF)");
                    tiles->push_back(t);
                }
                if (tiles->empty())
                    throw EToolError(where(n) + key + " names no tile");
            } else {
                throw EToolError(where(n) + "'" + key +
                                 "' is no key of [Misc] (Title, Hint, Background, TileSet, OverlayTileSet, Music, "
                                 "WaterTint, WallTile, WallUpperTile, FloorTile)");
            }
            continue;
        }
        // [Legend]
        const char c = line[0];
        size_t at = 1;
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (c == ' ' || c == '\t' || at >= line.size() || line[at] != '=')
            throw EToolError(where(n) + "a legend line is 'c = item + item ...'");
        if (IsFixed(c))
            throw EToolError(where(n) + "'" + std::string(1, c) + "' is a character every picture knows; choose another");
        if (legend.count(c))
            throw EToolError(where(n) + "'" + std::string(1, c) + "' is in the legend already (line " +
                             std::to_string(legend[c].second + 1) + ")");
        legend[c] = {ReadItems(line.substr(at + 1), where(n)), n};
    }
    if (rowLines.size() != static_cast<size_t>(LevelHeight))
        throw EToolError((pictureLine || !rowLines.empty() ? where(pictureLine) : name + ": ") + "the picture has " +
                         std::to_string(rowLines.size()) + " rows; a level has 15" +
                         (section.empty() && rowLines.empty() ? " (no [Picture] section)" : ""));

    level.FreeAllUnits();
    level.Cells.fill(tCell{});
    level.Title = misc.Title;
    level.Hint = misc.Hint;
    level.Background = misc.Background;
    level.TileSet = misc.TileSet;
    level.OverlayTileSet = misc.OverlayTileSet;
    level.Music = misc.Music;
    level.WaterTint = misc.WaterTint;
    int heroes = 0;
    for (int32_t y = 0; y < LevelHeight; ++y) {
        const size_t n = rowLines[static_cast<size_t>(y)];
        for (int32_t x = 0; x < LevelWidth; ++x) {
            const char c = lines[n][static_cast<size_t>(x)];
            const auto it = legend.find(c);
            if (c != '.' && it == legend.end())
                throw EToolError(where(n) + "'" + std::string(1, c) + "' (column " + std::to_string(x) +
                                 ") is in no legend");
            tCell& cell = level.Cell(x, y);
            const bool wall = c != '.' && std::any_of(it->second.first.begin(), it->second.first.end(),
                                                      [](const tItem& i) { return i.Wall; });
            cell.Solid = wall ? 1 : 0;
            cell.BaseTile = TileFor(wall ? misc.WallTile : misc.FloorTile, x, y);
            cell.UpperTile = wall ? TileFor(misc.WallUpperTile, x, y) : 0;
            if (c == '.')
                continue;
            for (const tItem& item : it->second.first) {
                if (item.Wall)
                    continue;
                std::unique_ptr<tUnit> made = CreateUnit(item.Kind);
                made->SetInitialX(x);
                made->SetInitialY(y);
                for (const tPropertyValue& v : item.Values) {
                    const std::string entry = where(it->second.second) + item.KindName + " " + v.Prop->Name + "=" +
                                              v.Value + ": ";
                    bool set = false;
                    try {
                        set = SetPropertyFromText(*made, *v.Prop, v.Value);
                    } catch (const std::exception& e) {
                        throw EToolError(entry + Flattened(e.what()));
                    }
                    if (!set)
                        throw EToolError(entry + "not a value of " + v.Prop->Name);
                }
                if (item.KindName == "Player" && ++heroes > 1)
                    throw EToolError(where(n) + "a second hero (column " + std::to_string(x) +
                                     "); a level has exactly one");
                tUnit* unit = level.AddUnit(std::move(made));
                if (item.KindName == "Player" || item.KindName == "FakePlayer")
                    level.Player = unit;
            }
        }
    }
    if (heroes == 0)
        throw EToolError(where(pictureLine) + "the picture has no hero ('@'); a level has exactly one");
}
