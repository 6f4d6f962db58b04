#include "tools/levels/SetCheck.h"

#include <filesystem>
#include <map>
#include <set>

#include "platform/StringList.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tools/levels/KeyScripts.h"
#include "tools/levels/LevelPictures.h"
#include "tools/levels/LevelPlays.h"
#include "tools/levels/LevelSession.h"

namespace fs = std::filesystem;

namespace {

std::string Slashed(std::string name)
{
    for (char& c : name)
        if (c == '\\')
            c = '/';
    return name;
}

std::string Lowered(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Stem(const std::string& levelFile)
{
    const size_t dot = levelFile.rfind('.');
    return dot == std::string::npos ? levelFile : levelFile.substr(0, dot);
}

std::string ReadPackaged(const std::string& name)
{
    auto stream = OpenPackageFile(name);
    std::string text(static_cast<size_t>(stream->Size()), '\0');
    stream->ReadBuffer(text.data(), static_cast<int32_t>(text.size()));
    return text;
}

// What the menu font draws: codes 33 to 90, and "_" where a space is to show.
bool MenuFontDraws(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 33 && u <= 90) || c == '_';
}

// Room left free at each side of a sign's picture beside its caption.
constexpr int32_t CaptionMargin = 20;

// A unit that takes its cell: everything but signs and water filled from the start.
bool TakesItsCell(const tUnit& u)
{
    if (dynamic_cast<const tInfo*>(&u))
        return false;
    if (const auto* water = dynamic_cast<const tWater*>(&u))
        return !water->GetBoulder();
    return true;
}

std::string Cell(int32_t x, int32_t y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; }

class tChecker {
public:
    tChecker(tLevelSession& session, const tSetCheckOptions& options) : S(session), O(options) {}

    // One line each: the game's messages may hold line breaks.
    void Problem(const std::string& where, const std::string& what)
    {
        std::string line = where + ": " + what;
        for (size_t at = line.find_first_of("\r\n"); at != std::string::npos; at = line.find_first_of("\r\n", at)) {
            const size_t end = line.find_first_not_of("\r\n", at);
            line.replace(at, (end == std::string::npos ? line.size() : end) - at, " ");
        }
        Problems.push_back(line);
    }

    // The set file: CR LF lines, "Level" entries only, each level once, the frozen count.
    std::vector<std::string> ReadSet()
    {
        std::vector<std::string> entries;
        std::string text;
        try {
            text = ReadPackaged(O.SetName);
        } catch (const std::exception& e) {
            Problem(O.SetName, e.what());
            return entries;
        }
        std::string line;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                entries.push_back(line);
                line.clear();
                ++i;
            } else if (text[i] == '\r' || text[i] == '\n') {
                Problem(O.SetName, "line " + std::to_string(entries.size() + 1) + " does not end in CR LF");
                entries.push_back(line);
                line.clear();
            } else {
                line += text[i];
            }
        }
        if (!line.empty()) {
            Problem(O.SetName, "the last line does not end in CR LF");
            entries.push_back(line);
        }
        if (O.Entries > 0 && static_cast<int32_t>(entries.size()) != O.Entries)
            Problem(O.SetName, "holds " + std::to_string(entries.size()) + " entries; the set is frozen at " +
                                   std::to_string(O.Entries));
        std::map<std::string, size_t> seen;
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string where = O.SetName + " entry " + std::to_string(i + 1);
            const std::string file = EntryLevelFile(entries[i]);
            if (file.empty()) {
                Problem(where, "'" + entries[i] + "' is not a \"Level <file>\" entry (no videos, no dummy levels)");
                continue;
            }
            const std::string key = Lowered(Slashed(file));
            if (seen.count(key))
                Problem(where, file + " is entry " + std::to_string(seen[key] + 1) + " already");
            seen.emplace(key, i);
        }
        return entries;
    }

    // One level as the game reads it, and what the reader passes over silently.
    void CheckLevel(const std::string& where, const std::string& file)
    {
        std::string text;
        try {
            text = ReadPackaged(file);
        } catch (const std::exception& e) {
            Problem(where, e.what());
            return;
        }
        CheckUnitLines(where, text);
        tLevel level;
        try {
            level.ReadLevelText(text);
        } catch (const std::exception& e) {
            Problem(where, std::string("does not read: ") + e.what());
            return;
        }
        if (level.Title.empty())
            Problem(where, "has no title");
        for (const std::string* picture : {&level.Background, &level.TileSet, &level.OverlayTileSet})
            if (!PackageFileExists(*picture))
                Problem(where, "names the picture " + *picture + ", which the package does not hold");
        if (!level.Music.empty() && !PackageFileExists("Music\\" + level.Music))
            Problem(where, "names the music " + level.Music + ", which the package does not hold");
        Seen["backgrounds"].insert(Lowered(level.Background));
        Seen["tile sets"].insert(Lowered(level.TileSet));
        Seen["music modules"].insert(Lowered(level.Music));
        int heroes = 0, exits = 0;
        std::map<int32_t, const tUnit*> taken;
        for (int32_t i = 0; i < level.UnitList.Count(); ++i) {
            const tUnit& u = *level.UnitList[i];
            const std::string kind = UnitKindName(u.ClassType());
            const std::string at = kind + " at " + Cell(u.InitialX, u.InitialY);
            Seen["unit kinds"].insert(Lowered(kind));
            if (const auto* exit = dynamic_cast<const tExit*>(&u))
                Seen["exit kinds"].insert(Lowered(GetEnumName(&TypeInfo_tExitKind, exit->GetKind())));
            else if (const auto* jewel = dynamic_cast<const tJewel*>(&u))
                Seen["jewel kinds"].insert(Lowered(GetEnumName(&TypeInfo_tJewelkinds, jewel->GetKind())));
            else if (const auto* water = dynamic_cast<const tWater*>(&u))
                Seen["water edge styles"].insert(Lowered(GetEnumName(&TypeInfo_tWaterEdgeStyle, water->GetEdgeStyle())));
            heroes += kind == "Player";
            exits += dynamic_cast<const tExit*>(&u) != nullptr;
            if (level.Cell(u.InitialX, u.InitialY).Solid)
                Problem(where, at + " stands on a wall");
            if (TakesItsCell(u)) {
                const int32_t cell = u.InitialX * LevelHeight + u.InitialY;
                if (const auto it = taken.find(cell); it != taken.end())
                    Problem(where, at + " shares its cell with a " + UnitKindName(it->second->ClassType()));
                else
                    taken.emplace(cell, &u);
            }
            if (const auto* sign = dynamic_cast<const tInfo*>(&u)) {
                if (sign->GetImageName().empty() || !PackageFileExists(sign->GetImageName()))
                    Problem(where, at + " shows the picture '" + sign->GetImageName() +
                                       "', which the package does not hold");
                for (char c : sign->GetCaption())
                    if (!MenuFontDraws(c)) {
                        Problem(where, at + " has a caption the menu font does not draw: '" + sign->GetCaption() +
                                           "' (characters ! to Z, and _ for a space)");
                        break;
                    }
                CheckCaptionWidth(where, at, *sign);
            }
        }
        if (heroes != 1)
            Problem(where, "has " + std::to_string(heroes) + " heroes; a level has exactly one");
        if (exits == 0)
            Problem(where, "has no exit");
        if (!O.SourceFolder.empty())
            CheckSources(where, file, level);
    }

    // The caption is one line across the bottom of the sign's picture: it must fit.
    void CheckCaptionWidth(const std::string& where, const std::string& at, const tInfo& sign)
    {
        if (sign.GetImageName().empty() || !PackageFileExists(sign.GetImageName()))
            return;
        int32_t width = 0;
        try {
            width = FindOrLoadDib(sign.GetImageName(), true)->Width;
        } catch (const std::exception& e) {
            Problem(where, at + " shows the picture " + sign.GetImageName() + ", which does not load: " + e.what());
            return;
        }
        const int32_t text = MenuFontTextWidth(sign.GetCaption());
        if (text > width - 2 * CaptionMargin)
            Problem(where, at + " has the caption '" + sign.GetCaption() + "', " + std::to_string(text) +
                               " pixels wide, which is wider than its picture (" + std::to_string(width) +
                               " pixels, less " + std::to_string(CaptionMargin) + " at each side)");
    }

    // The unit blocks as written: coordinates in the grid, known kinds, captions without
    // spaces (the reader drops every space of a unit line).
    void CheckUnitLines(const std::string& where, const std::string& text)
    {
        bool inUnits = false, inBlock = false;
        std::string kind;
        for (const std::string& raw : TextLines(text)) {
            std::string line = raw;
            while (!line.empty() && line.front() == ' ')
                line.erase(0, 1);
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            if (!line.empty() && line.front() == '[' && line.back() == ']') {
                inUnits = line == "[Units]";
                continue;
            }
            if (!inUnits)
                continue;
            if (line.rfind("Begin", 0) == 0) {
                const size_t space = line.find(' ');
                kind = space == std::string::npos ? "" : line.substr(space + 1);
                inBlock = true;
                if (UnitClassByName(kind) == tUnit::StaticClass())
                    Problem(where, "a unit block of no kind the game knows: '" + line + "'");
                continue;
            }
            if (line.rfind("End", 0) == 0) {
                inBlock = false;
                continue;
            }
            if (!inBlock)
                continue;
            const size_t eq = line.find('=');
            if (eq == std::string::npos)
                continue;
            std::string name = line.substr(0, eq);
            while (!name.empty() && name.back() == ' ')
                name.pop_back();
            std::string value = line.substr(eq + 1);
            while (!value.empty() && value.front() == ' ')
                value.erase(0, 1);
            if (name == "InitialX" || name == "InitialY") {
                const int32_t limit = name == "InitialX" ? LevelWidth : LevelHeight;
                bool ok = !value.empty() && value.size() <= 2;
                for (char c : value)
                    ok = ok && c >= '0' && c <= '9';
                if (!ok || std::stoi(value) >= limit)
                    Problem(where, kind + " has " + name + " = " + value + ", outside the grid");
            } else if (name == "Caption" && value.find(' ') != std::string::npos) {
                Problem(where, kind + " has the caption '" + value +
                                   "' with spaces, which reading drops: write _ where a space is to show");
            }
        }
    }

    // The designer's files beside the level in the source folder.
    void CheckSources(const std::string& where, const std::string& file, const tLevel& level)
    {
        const std::string base = O.SourceFolder + "/";
        std::error_code ec;
        const std::string picture = PictureFileOf(file);
        if (!fs::is_regular_file(base + Slashed(picture), ec))
            Problem(where, "has no picture " + picture + " (make it with leveltool show)");
        else if (ReadWholeFile(base + Slashed(picture)) != LevelPicture(level))
            Problem(where, picture + " is not the level's picture (make it again with leveltool show --force)");
        const std::string keys = KeyScriptFileOf(file);
        if (!fs::is_regular_file(base + Slashed(keys), ec)) {
            Problem(where, "has no key script " + keys);
            return;
        }
        try {
            if (ReadKeyScript(ReadWholeFile(base + Slashed(keys)), keys).Note.empty())
                Problem(where, keys + " has no designer's note (its first line, a # comment)");
        } catch (const std::exception& e) {
            Problem(where, e.what());
        }
    }

    // The designer's files of the source folder's levels that no entry names.
    void CheckStrays(const std::set<std::string>& named)
    {
        std::error_code ec;
        const fs::path root = O.SourceFolder;
        const fs::path levels = root / "Levels";
        if (!fs::is_directory(levels, ec))
            return;
        for (const auto& e : fs::recursive_directory_iterator(levels, ec)) {
            if (!e.is_regular_file())
                continue;
            const std::string ext = Lowered(e.path().extension().string());
            if (ext != ".map" && ext != ".pic" && ext != ".keys")
                continue;
            const std::string relative = fs::relative(e.path(), root).generic_string();
            if (!named.count(Lowered(Slashed(Stem(relative)))))
                Problem(relative, "belongs to no entry of " + O.SetName);
        }
    }

    // Every level's solution replayed, and no solution without a level.
    void CheckSolutions(const std::vector<std::string>& entries)
    {
        try {
            S.E().LoadLevelSet(O.SetName);
        } catch (const std::exception& e) {
            Problem(O.SetName, std::string("the game does not load it: ") + e.what());
            return;
        }
        std::set<std::string> solutions;
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string file = EntryLevelFile(entries[i]);
            if (file.empty())
                continue;
            const std::string solution = SolutionFileName(file);
            solutions.insert(Lowered(Slashed(solution)));
            const std::string where = Where(i, file);
            if (!PackageFileExists(solution)) {
                Problem(where, "has no solution " + solution);
                continue;
            }
            if (!Chosen(i))
                continue;
            const tPlayOutcome r = ReplaySolution(S, static_cast<int32_t>(i));
            const std::string turns = " after " + std::to_string(r.Turns) + " turns";
            if (!r.Started)
                Problem(where, "never comes to play with its solution" + (r.Failure.empty() ? "" : ": " + r.Failure));
            else if (r.End == tPlayOutcome::Killed)
                Problem(where, "its solution gets the hero " + r.EndText() + turns);
            else if (r.End == tPlayOutcome::Running)
                Problem(where, "its solution does not end the level (" + std::to_string(r.Turns) + " turns" +
                                   (r.Failure.empty() ? ")" : "; the game failed: " + r.Failure + ")"));
            else if (!r.SolvedFully())
                Problem(where, "its solution leaves " + std::to_string(r.Jewels - r.JewelsTaken) + " of " +
                                   std::to_string(r.Jewels) + " jewels" + turns);
        }
        for (const auto& package : Packages())
            for (int i = 0; i < package->Count(); ++i) {
                const std::string name = Slashed(package->Entries(i).Name);
                if (Lowered(name).rfind("solutions/", 0) == 0 && !solutions.count(Lowered(name)))
                    Problem(name, "belongs to no level of " + O.SetName);
            }
    }

    // The whole game shown somewhere in the set: what no level has, named.
    void CheckCoverage()
    {
        std::map<std::string, std::vector<std::string>> all;
        for (const tUnitRecord& kind : UnitKinds)
            all["unit kinds"].push_back(kind.Name);
        all["exit kinds"] = TypeInfo_tExitKind.Names;
        all["jewel kinds"] = TypeInfo_tJewelkinds.Names;
        all["water edge styles"] = TypeInfo_tWaterEdgeStyle.Names;
        for (const auto& package : Packages())
            for (int i = 0; i < package->Count(); ++i) {
                const std::string name = Slashed(package->Entries(i).Name);
                if (Lowered(name).rfind("music/", 0) == 0 && name.size() > 6 && name.back() != '/')
                    all["music modules"].push_back(name.substr(6));
            }
        for (const auto& [what, names] : all) {
            std::string missing;
            for (const std::string& name : names)
                if (!Seen[what].count(Lowered(name)) && missing.find("'" + name + "'") == std::string::npos)
                    missing += (missing.empty() ? "'" : ", '") + name + "'";
            if (!missing.empty())
                Problem(O.SetName, "no level has these " + what + ": " + missing);
        }
        for (const auto& [what, least] : {std::pair<std::string, int32_t>{"backgrounds", CoverageBackdrops},
                                          std::pair<std::string, int32_t>{"tile sets", CoverageTileSets}})
            if (static_cast<int32_t>(Seen[what].size()) < least)
                Problem(O.SetName, "its levels use " + std::to_string(Seen[what].size()) + " " + what + "; the set needs " +
                                       std::to_string(least) + " at least");
    }

    bool Chosen(size_t i) const { return O.Entry <= 0 || static_cast<size_t>(O.Entry) == i + 1; }

    std::string Where(size_t i, const std::string& file)
    {
        const std::string title = i < static_cast<size_t>(S.E().LevelTitles.Count()) ? S.E().LevelTitles[static_cast<int32_t>(i)] : "";
        return "entry " + std::to_string(i + 1) + " " + file + (title.empty() ? "" : " \"" + title + "\"");
    }

    tLevelSession& S;
    const tSetCheckOptions& O;
    std::vector<std::string> Problems;
    // What the checked levels hold, by what the coverage counts ("unit kinds", ...), in
    // lower case (the game finds files in any letter case).
    std::map<std::string, std::set<std::string>> Seen;
};

} // namespace

std::string EntryLevelFile(const std::string& line)
{
    const size_t space = line.find(' ');
    if (space == std::string::npos || line.substr(0, space) != "Level")
        return "";
    const std::string file = line.substr(space + 1);
    return file.empty() || file.find(' ') != std::string::npos ? "" : file;
}

std::string PictureFileOf(const std::string& levelFile) { return Stem(levelFile) + ".pic"; }
std::string KeyScriptFileOf(const std::string& levelFile) { return Stem(levelFile) + ".keys"; }

std::vector<std::string> CheckLevelSet(tLevelSession& session, const tSetCheckOptions& options)
{
    tChecker check(session, options);
    const std::vector<std::string> entries = check.ReadSet();
    std::set<std::string> named;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string file = EntryLevelFile(entries[i]);
        if (file.empty())
            continue;
        named.insert(Lowered(Slashed(Stem(file))));
        if (check.Chosen(i))
            check.CheckLevel("entry " + std::to_string(i + 1) + " " + file, file);
    }
    if (!options.SourceFolder.empty())
        check.CheckStrays(named);
    if (!entries.empty())
        check.CheckSolutions(entries);
    if (options.Coverage && options.Entry <= 0)
        check.CheckCoverage();
    return check.Problems;
}
