// The level file: reading a text list of sections into a tLevel and writing it back.
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

#include "platform/Streams.h"
#include "tesk/game/Levels.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"

namespace {

const char* const UnsupportedTypeText = "??? Unsuported type ???";

std::string_view TrimSpaces(std::string_view s)
{
    size_t b = 0;
    size_t e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.substr(b, e - b);
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}


// A finite decimal number ("1.5", "-2", "3E7"); "nan" and "inf" are not numbers.
bool ParseNumber(const std::string& text, double& out)
{
    const char* p = text.data();
    const char* end = p + text.size();
    if (p < end && *p == '+')
        ++p;
    if (p == end || *p == '+')
        return false;
    double v = 0;
    const auto r = std::from_chars(p, end, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

// The shortest general form with up to 15 significant digits: "0.1", "2.5E-7", "1E20".
std::string NumberText(double v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    std::string s(buf, r.ptr);
    const size_t e = s.find('e');
    if (e == std::string::npos)
        return s;
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);
    bool negative = false;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        negative = exponent[0] == '-';
        exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent[0] == '0')
        exponent.erase(0, 1);
    return mantissa + "E" + (negative ? "-" : "") + exponent;
}

// Reads the cells of one grid line: the text before each "," (the rest for the last).
template <class Apply>
void ReadGridLine(std::string_view line, Apply apply)
{
    size_t pos = 0;
    for (int32_t x = 0; x < LevelWidth; ++x) {
        std::string cell;
        if (pos <= line.size()) {
            const size_t comma = line.find(',', pos);
            if (comma == std::string_view::npos || x == LevelWidth - 1) {
                cell = std::string(line.substr(pos));
                pos = line.size() + 1;
            } else {
                cell = std::string(line.substr(pos, comma - pos));
                pos = comma + 1;
            }
        }
        apply(x, cell);
    }
}

void CheckGridLines(size_t count, const std::vector<std::string_view>& lines, bool checkLength)
{
    if (count != static_cast<size_t>(LevelHeight) || lines.size() != count)
        throw ELevelLoadError("Not enough lines in [Tiles] chunk");
    if (!checkLength)
        return;
    for (size_t y = 0; y < lines.size(); ++y)
        if (lines[y].size() != 63)
            throw ELevelLoadError("Line " + std::to_string(y + 1) + " in [Tiles] chunk wrong length");
}

}  // namespace

namespace {

// The lines of one section that reading needs. Only these are kept, so a file of
// millions of empty or meaningless lines costs no more than the file itself: a grid
// keeps its first 16 lines (more is an error anyway), [Misc] its "key=value" lines,
// [Units] its Begin, End and "name=value" lines, any other section nothing.
struct tSectionLines {
    std::string Name;
    size_t Count = 0;
    std::vector<std::string_view> Kept;

    void Add(std::string_view line)
    {
        ++Count;
        if (Name == "Tiles" || Name == "Overlay" || Name == "MoreTiles") {
            if (Kept.size() <= static_cast<size_t>(LevelHeight))
                Kept.push_back(line);
        } else if (Name == "Misc") {
            if (line.find('=') != std::string_view::npos)
                Kept.push_back(line);
        } else if (Name == "Units") {
            if (StartsWith(line, "Begin") || StartsWith(line, "End") || line.find('=') != std::string_view::npos)
                Kept.push_back(line);
        }
    }
};

}  // namespace

// Walks the lines: a trimmed line in brackets starts a section; the lines gathered under
// the previous header are read when there are any. Lines before the first header fall
// under an empty name and are ignored.
template <class NextLine>
void tLevel::ReadLines(NextLine nextLine)
{
    FreeAllUnits();
    Cells.fill(tCell{});
    ClaimMap.fill(0);

    tSectionLines section;
    std::string_view raw;
    while (nextLine(raw)) {
        const std::string_view line = TrimSpaces(raw);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            if (section.Count > 0)
                ReadSection(section.Name, section.Count, section.Kept);
            section = tSectionLines();
            section.Name = std::string(line.substr(1, line.size() - 2));
        } else {
            section.Add(line);
        }
    }
    if (section.Count > 0)
        ReadSection(section.Name, section.Count, section.Kept);
}

void tLevel::ReadLevelText(const std::vector<std::string>& lines)
{
    size_t next = 0;
    ReadLines([&](std::string_view& line) {
        if (next >= lines.size())
            return false;
        line = lines[next++];
        return true;
    });
}

void tLevel::ReadLevelText(const std::string& text)
{
    // Lines end with CR LF, LF or CR; a final line end adds no empty line.
    size_t pos = 0;
    ReadLines([&](std::string_view& line) {
        if (pos >= text.size())
            return false;
        const size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            line = std::string_view(text).substr(pos);
            pos = text.size();
        } else {
            line = std::string_view(text).substr(pos, end - pos);
            pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        }
        return true;
    });
}

void tLevel::ReadSection(const std::string& name, size_t count, const std::vector<std::string_view>& lines)
{
    if (name == "Tiles")
        ReadTilesSection(count, lines);
    else if (name == "Overlay")
        ReadOverlaySection(count, lines);
    else if (name == "Units")
        ReadUnitsSection(lines);
    else if (name == "Misc")
        ReadMiscSection(lines);
    else if (name == "MoreTiles")
        ReadMoreTilesSection(count, lines);
}

void tLevel::ReadMiscSection(const std::vector<std::string_view>& lines)
{
    Background = DefaultBackground;
    TileSet = DefaultTileSet;
    OverlayTileSet = DefaultOverlayTileSet;
    Title.clear();
    Hint.clear();
    Music = DefaultMusic;
    WaterTint = DefaultWaterTint;
    for (const std::string_view line : lines) {
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, eq);
        const std::string value(line.substr(eq + 1));
        if (key == "Background")
            Background = value;
        else if (key == "TileSet")
            TileSet = value;
        else if (key == "OverlayTileSet")
            OverlayTileSet = value;
        else if (key == "Title")
            Title = value;
        else if (key == "Hint")
            Hint = value;
        else if (key == "Music")
            Music = value;
        else if (key == "WaterTint")
            WaterTint = HexToInt(value);
    }
}

void tLevel::ReadTilesSection(size_t count, const std::vector<std::string_view>& lines)
{
    CheckGridLines(count, lines, true);
    for (int32_t y = 0; y < LevelHeight; ++y)
        ReadGridLine(lines[static_cast<size_t>(y)], [&](int32_t x, const std::string& cell) {
            const int32_t v = HexToInt(cell);
            Cell(x, y).BaseTile = v & 0xFF;
            Cell(x, y).Solid = static_cast<uint8_t>((v >> 8) & 1);
        });
}

void tLevel::ReadOverlaySection(size_t count, const std::vector<std::string_view>& lines)
{
    CheckGridLines(count, lines, true);
    for (int32_t y = 0; y < LevelHeight; ++y)
        ReadGridLine(lines[static_cast<size_t>(y)], [&](int32_t x, const std::string& cell) {
            Cell(x, y).OverlayTile = HexToInt(cell) & 0xFF;
        });
}

void tLevel::ReadMoreTilesSection(size_t count, const std::vector<std::string_view>& lines)
{
    CheckGridLines(count, lines, false);
    for (int32_t y = 0; y < LevelHeight; ++y)
        ReadGridLine(lines[static_cast<size_t>(y)], [&](int32_t x, const std::string& cell) {
            tCell& c = Cell(x, y);
            c.UpperTile = HexToInt(RightChars(cell, 2)) & 0xFF;
            const std::string rest = DropLastChars(cell, 2);
            c.BaseTile = HexToInt(RightChars(rest, 2)) & 0xFF;
            c.LowerTile = HexToInt(RightChars(DropLastChars(rest, 2), 2)) & 0xFF;
        });
}

void tLevel::ReadUnitsSection(const std::vector<std::string_view>& lines)
{
    const TClass none = tUnit::StaticClass();
    TClass kindClass = none;
    std::string kindName;
    std::vector<std::string_view> props;
    bool playingHero = false;
    for (const std::string_view line : lines) {
        if (StartsWith(line, "Begin")) {
            const size_t space = line.find(' ');
            kindName = std::string(space == std::string_view::npos ? line : line.substr(space + 1));
            kindClass = UnitClassByName(kindName);
            props.clear();
        } else if (!StartsWith(line, "End")) {
            props.push_back(line);
        } else {
            if (kindClass != none) {
                // Built apart and added only when its properties are in: a setter that
                // raises frees the unit and the level keeps no trace of it.
                std::unique_ptr<tUnit> unit = CreateUnit(kindClass);
                ApplyPropertyLines(*unit, props);
                tUnit* added = AddUnit(std::move(unit));
                // A hero double is the level's hero only in a level without a playing one.
                if (kindName == "Player" || (kindName == "FakePlayer" && !playingHero))
                    Player = added;
                playingHero = playingHero || kindName == "Player";
            }
            kindClass = none;
        }
    }
}

const TPropInfo* FindPropInfo(TClass cls, const std::string& name)
{
    for (TClass c = cls; c; c = c->Parent)
        for (const TPropInfo& p : c->OwnProps)
            if (p.Kind() != tkMethod && p.Name == name)
                return &p;
    return nullptr;
}

bool SetPropertyFromText(TPersistent& obj, const TPropInfo& prop, const std::string& text)
{
    switch (prop.Kind()) {
    case tkInteger:
    case tkSet: {
        int64_t v = 0;
        if (!ParseDecimal(text, v) || !OrdValueInRange(prop.PropType, v))
            return false;
        SetOrdProp(obj, prop, v);
        return true;
    }
    case tkChar:
        SetOrdProp(obj, prop, text.empty() ? 0 : static_cast<unsigned char>(text[0]));
        return true;
    case tkEnumeration: {
        // A name that is no member leaves the property as it is.
        const int64_t v = GetEnumValue(prop.PropType, text);
        if (v < 0)
            return false;
        SetOrdProp(obj, prop, v);
        return true;
    }
    case tkFloat: {
        double v = 0;
        if (!ParseNumber(text, v))
            return false;
        SetFloatProp(obj, prop, v);
        return true;
    }
    case tkString:
    case tkLString:
        SetStrProp(obj, prop, text);
        return true;
    default:
        return false;
    }
}

void ApplyUnitProperties(tUnit& unit, const std::vector<std::string>& lines)
{
    std::vector<std::string_view> views(lines.begin(), lines.end());
    ApplyPropertyLines(unit, views);
}

void ApplyPropertyLines(tUnit& unit, const std::vector<std::string_view>& lines)
{
    for (const std::string_view view : lines) {
        std::string line(view);
        std::erase(line, ' ');
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const TPropInfo* prop = FindPropInfo(unit.ClassType(), line.substr(0, eq));
        if (prop)
            SetPropertyFromText(unit, *prop, line.substr(eq + 1));
    }
}

std::string PropertyText(const TPersistent& obj, const TPropInfo& prop)
{
    switch (prop.Kind()) {
    case tkInteger:
    case tkSet:
        return std::to_string(GetOrdProp(obj, prop));
    case tkChar: {
        const int64_t c = GetOrdProp(obj, prop);
        return c == 0 ? std::string() : std::string(1, static_cast<char>(c));
    }
    case tkEnumeration:
        return GetEnumName(prop.PropType, GetOrdProp(obj, prop));
    case tkFloat:
        return NumberText(GetFloatProp(obj, prop));
    case tkString:
    case tkLString:
        return GetStrProp(obj, prop);
    default:
        return UnsupportedTypeText;
    }
}

std::string PropertyLine(const TPersistent& obj, const TPropInfo& prop)
{
    return "   " + prop.Name + " = " + PropertyText(obj, prop);
}

void WriteUnitBlock(const tUnit& unit, std::vector<std::string>& lines)
{
    // Units made during play (warps, shots, explosions) belong to no registered kind: a
    // block for them would have no kind name and read back as nothing.
    const std::string kind = UnitKindName(unit.ClassType());
    if (kind.empty())
        return;
    lines.push_back("Begin " + kind);
    for (const TPropInfo* p : GetPropList(unit.ClassType(), tkProperties))
        lines.push_back(PropertyLine(unit, *p));
    lines.push_back("End " + kind);
}

void tLevel::WriteLevelText(std::vector<std::string>& lines)
{
    lines.push_back("[Misc]");
    WriteMiscSection(lines);
    lines.push_back("[Tiles]");
    WriteTilesSection(lines);
    lines.push_back("[MoreTiles]");
    WriteMoreTilesSection(lines);
    lines.push_back("[Overlay]");
    WriteOverlaySection(lines);
    lines.push_back("[Units]");
    WriteUnitsSection(lines);
}

void tLevel::WriteMiscSection(std::vector<std::string>& lines)
{
    lines.push_back("Background=" + Background);
    lines.push_back("TileSet=" + TileSet);
    lines.push_back("OverlayTileSet=" + OverlayTileSet);
    if (!Title.empty())
        lines.push_back("Title=" + Title);
    if (!Hint.empty())
        lines.push_back("Hint=" + Hint);
    if (!Music.empty())
        lines.push_back("Music=" + Music);
    if (WaterTint != DefaultWaterTint)
        lines.push_back("WaterTint=" + IntToHexStr(WaterTint));
}

namespace {

template <class CellText>
void WriteGrid(std::vector<std::string>& lines, CellText cellText)
{
    for (int32_t y = 0; y < LevelHeight; ++y) {
        std::string line;
        for (int32_t x = 0; x < LevelWidth; ++x) {
            if (x > 0)
                line += ',';
            line += cellText(x, y);
        }
        lines.push_back(std::move(line));
    }
}

std::string Hex(int32_t v, int digits)
{
    return ZeroPad(IntToHexStr(v), digits);
}

}  // namespace

void tLevel::WriteTilesSection(std::vector<std::string>& lines)
{
    WriteGrid(lines, [&](int32_t x, int32_t y) {
        const tCell& c = Cell(x, y);
        return Hex(c.BaseTile + 0x100 * c.Solid, 3);
    });
}

void tLevel::WriteMoreTilesSection(std::vector<std::string>& lines)
{
    WriteGrid(lines, [&](int32_t x, int32_t y) {
        const tCell& c = Cell(x, y);
        return Hex(c.LowerTile, 2) + Hex(c.BaseTile, 2) + Hex(c.UpperTile, 2);
    });
}

void tLevel::WriteOverlaySection(std::vector<std::string>& lines)
{
    WriteGrid(lines, [&](int32_t x, int32_t y) { return Hex(Cell(x, y).OverlayTile, 3); });
}

void tLevel::WriteUnitsSection(std::vector<std::string>& lines)
{
    for (int32_t i = 0; i < UnitList.Count(); ++i)
        WriteUnitBlock(*UnitList[i], lines);
}

void tLevel::LoadFromFile(const std::string& name)
{
    // A file that cannot be opened fails here, before the level changes.
    std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(name);
    LoadFromStream(*stream);
}

void tLevel::LoadFromStream(TStream& stream)
{
    ReadLevelText(stream.ReadToEnd());
}

void tLevel::SaveToStream(TStream& stream)
{
    std::vector<std::string> lines;
    WriteLevelText(lines);
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    stream.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
}

void tLevel::SaveToFile(const std::string& name)
{
    // The file on disk is replaced only once the whole level is written.
    WriteFileReplacing(name, [this](TStream& s) { SaveToStream(s); });
}
