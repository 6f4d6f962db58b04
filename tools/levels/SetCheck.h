#pragma once
// The check of a level set as the game reads it (through the session's packages and
// loose files): the set file, every level it names, and every level's solution replayed
// through the engine's solution playback.
#include <cstdint>
#include <string>
#include <vector>

class tLevelSession;

// The number of entries of "Gromble.set". The progress file holds one status per entry,
// so once the set is complete its count and order are frozen: then this becomes 63 (six
// chapters of nine and the nine bonus levels) and the check refuses any other count.
// While the set is being written it is 0 and the check takes whatever the set holds.
constexpr int32_t GrombleSetEntries = 0;

struct tSetCheckOptions {
    std::string SetName = "Gromble.set";
    // The count the set must have (0: any).
    int32_t Entries = GrombleSetEntries;
    // Only this entry's level and solution (1 for the first; 0: every entry).
    int32_t Entry = 0;
    // The source data folder the package was made from: each level's picture and key
    // script beside it are checked too (empty: not).
    std::string SourceFolder;
    // Whether the whole set must show the whole game: every unit kind, exit kind, jewel
    // kind, water edge style and music module in some level, and at least
    // CoverageBackdrops backgrounds and CoverageTileSets tile sets. Demanded once the set
    // is complete; looked at only when every entry is checked.
    bool Coverage = GrombleSetEntries > 0;
};

constexpr int32_t CoverageBackdrops = 4;
constexpr int32_t CoverageTileSets = 3;

// Every problem found, each line naming the entry it belongs to; empty when the set is
// sound.
std::vector<std::string> CheckLevelSet(tLevelSession& session, const tSetCheckOptions& options);

// The name of an entry's level file ("Levels\Chapter1\Walk.map"), empty when the entry
// is no "Level" line.
std::string EntryLevelFile(const std::string& line);
// The designer's files beside a level file: its picture and its key script.
std::string PictureFileOf(const std::string& levelFile);
std::string KeyScriptFileOf(const std::string& levelFile);
