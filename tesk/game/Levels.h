#pragma once
// One level of the puzzle game: 16 x 15 tile cells, the level's named resources, and the
// units that stand on it, with the per-turn and per-tick passes over those units, the
// cell queries and the level's drawing. The text file form (sections [Misc], [Tiles],
// [MoreTiles], [Overlay] and [Units]) is read and written here too.
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exceptions.h"
#include "tesk/game/Units.h"

class TStream;

constexpr int32_t LevelWidth = 16;
constexpr int32_t LevelHeight = 15;
constexpr int32_t LevelCells = LevelWidth * LevelHeight;
constexpr int32_t DefaultWaterTint = 0x806040;
// The names of a level's [Misc] section where it gives none.
inline constexpr const char* DefaultBackground = "Morrowfinch.jpg";
inline constexpr const char* DefaultMusic = "AncientStories2.xm";
inline constexpr const char* DefaultTileSet = "BasicTiles.jpg";
inline constexpr const char* DefaultOverlayTileSet = "BasicOverlay.jpg";

// A level file that cannot be read as one.
class ELevelLoadError : public Exception {
public:
    using Exception::Exception;
};

struct tCell {
    uint8_t Solid = 0;
    int32_t LowerTile = 0;
    int32_t BaseTile = 0;
    int32_t UpperTile = 0;
    int32_t OverlayTile = 0;
};

// The side-panel counters, zeroed at each restart and recounted by the units.
extern int32_t LevelKeys;
extern int32_t CollectedKeys;
extern int32_t LevelGems;
extern int32_t CollectedGems;

// An owning list of units in list order.
class tUnitList {
public:
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    tUnit* operator[](int32_t i) const { return FItems[static_cast<size_t>(i)].get(); }
    tUnit* Add(std::unique_ptr<tUnit> unit);
    int32_t IndexOf(const tUnit* unit) const;
    // Takes the unit out of the list without freeing it; null when it is not a member.
    std::unique_ptr<tUnit> Extract(const tUnit* unit);
    // Sorts with a three-way comparison (unstable).
    template <class Cmp>
    void Sort(Cmp cmp);
    std::vector<std::unique_ptr<tUnit>>& Items() { return FItems; }

private:
    std::vector<std::unique_ptr<tUnit>> FItems;
};

class tLevel {
public:
    tLevel();
    ~tLevel();
    tLevel(const tLevel&) = delete;
    tLevel& operator=(const tLevel&) = delete;

    tCell& Cell(int32_t x, int32_t y) { return Cells[static_cast<size_t>(x * LevelHeight + y)]; }
    const tCell& Cell(int32_t x, int32_t y) const { return Cells[static_cast<size_t>(x * LevelHeight + y)]; }
    static bool InGrid(int32_t x, int32_t y) { return x >= 0 && x < LevelWidth && y >= 0 && y < LevelHeight; }

    // Unit passes.
    void BeginTurn();
    void TakeTurns();
    void MoveUnits();
    void DeathAnimUnits();
    bool AnyUnitWillInteract();
    void PauseUnitSounds();
    void ResumeUnitSounds();
    void ResetUnits();
    void FreeTemporaryUnits();
    void FreeDeadTemporaryUnits();
    void Restart();
    void SortDrawOrder();

    // Cell queries.
    tUnit* UnitAt(int32_t x, int32_t y) const;
    tUnit* UnitHeadingTo(int32_t x, int32_t y) const;
    tUnit* UnitOfClassAt(int32_t x, int32_t y, TClass cls) const;
    tUnit* UnitAtInitialCell(int32_t x, int32_t y) const;

    // Units: adds one (the level owns it), or takes one out and frees it. Freeing also
    // drops every reference the level and the carried queue hold to it.
    tUnit* AddUnit(std::unique_ptr<tUnit> unit);
    void FreeUnit(tUnit* unit);
    void FreeAllUnits();

    // Told whenever units leave the level to be freed, while they still exist: one unit
    // (freed on its own: deleted, or a temporary unit gone at a restart), or null when
    // every unit goes at once (a level read from a file or text, the level's end). Whoever
    // keeps a unit of the level (the editor's inspector) lets go of it here.
    std::function<void(const tUnit* unit)> OnUnitsFreed;

    // Drawing into the current surface.
    void DrawTiles(int32_t x0);
    void DrawOverlay(int32_t x0);
    void DrawOverlayToCoverMask(int32_t x0);
    void DrawUnits();
    void DrawUnitsAtInitialCells();
    void DrawBackgroundUnits();
    void DrawSolidMarks();

    // The level file.
    void LoadFromFile(const std::string& name);
    void LoadFromStream(TStream& stream);
    void SaveToFile(const std::string& name);
    void SaveToStream(TStream& stream);
    void ReadLevelText(const std::vector<std::string>& lines);
    // The same from a whole text with CR LF, LF or CR line ends.
    void ReadLevelText(const std::string& text);
    void WriteLevelText(std::vector<std::string>& lines);

    std::array<std::vector<tUnit*>, LevelHeight> RowLists;
    // A level starts with the names a [Misc] section defaults to, so a level file without
    // one (or an empty file) loads as the first level too.
    std::string Background = DefaultBackground;
    std::string Music = DefaultMusic;
    std::string TileSet = DefaultTileSet;
    std::string OverlayTileSet = DefaultOverlayTileSet;
    std::string Title;
    std::string Hint;
    int32_t WaterTint = DefaultWaterTint;
    std::array<tCell, LevelCells> Cells{};
    std::array<uint8_t, LevelCells> ClaimMap{};
    tUnitList UnitList;
    tUnit* Player = nullptr;
    // ResetUnits passes so far (units that gather data from the whole list once per
    // restart compare it).
    uint32_t ResetCount = 0;

private:
    void DropReferences(const tUnit* unit);
    template <class NextLine>
    void ReadLines(NextLine nextLine);
    void ReadSection(const std::string& name, size_t count, const std::vector<std::string_view>& lines);
    void ReadMiscSection(const std::vector<std::string_view>& lines);
    void ReadTilesSection(size_t count, const std::vector<std::string_view>& lines);
    void ReadMoreTilesSection(size_t count, const std::vector<std::string_view>& lines);
    void ReadOverlaySection(size_t count, const std::vector<std::string_view>& lines);
    void ReadUnitsSection(const std::vector<std::string_view>& lines);
    void WriteMiscSection(std::vector<std::string>& lines);
    void WriteTilesSection(std::vector<std::string>& lines);
    void WriteMoreTilesSection(std::vector<std::string>& lines);
    void WriteOverlaySection(std::vector<std::string>& lines);
    void WriteUnitsSection(std::vector<std::string>& lines);
};

// Draw order: layer first, then the rounded row; -1, 0 or +1.
int CompareDrawOrder(const tUnit* a, const tUnit* b);

// Property lines of unit blocks, shared with the editor.
// Sets the properties of the gathered lines ("Name = value", spaces anywhere removed).
void ApplyUnitProperties(tUnit& unit, const std::vector<std::string>& lines);
void ApplyPropertyLines(tUnit& unit, const std::vector<std::string_view>& lines);
// The published property of exactly that name (case matters); null when none.
const TPropInfo* FindPropInfo(TClass cls, const std::string& name);
// Sets a property from its text by its type kind; false when the text does not convert
// (the property is then unchanged). Setter exceptions pass on.
bool SetPropertyFromText(TPersistent& obj, const TPropInfo& prop, const std::string& text);
// The text of a property's value as a level file writes it.
std::string PropertyText(const TPersistent& obj, const TPropInfo& prop);
// "   Name = value".
std::string PropertyLine(const TPersistent& obj, const TPropInfo& prop);
// Appends "Begin kind", the property lines in name order and "End kind"; nothing for a
// unit of no registered kind.
void WriteUnitBlock(const tUnit& unit, std::vector<std::string>& lines);

template <class Cmp>
void tUnitList::Sort(Cmp cmp)
{
    std::sort(FItems.begin(), FItems.end(),
              [&](const std::unique_ptr<tUnit>& a, const std::unique_ptr<tUnit>& b) { return cmp(a.get(), b.get()) < 0; });
}
