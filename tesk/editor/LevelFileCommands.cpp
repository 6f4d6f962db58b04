#include "tesk/editor/LevelFileCommands.h"

#include <vector>

#include "platform/Files.h"
#include "tesk/game/GameEngine.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"

namespace {

// The units' level while a file is read into a level of the editor's own: their setters
// reach their level through GameLevel.
class tOwnLevelScope {
public:
    explicit tOwnLevelScope(tLevel& level) : FSaved(GameLevel) { GameLevel = &level; }
    ~tOwnLevelScope() { GameLevel = FSaved; }
    tOwnLevelScope(const tOwnLevelScope&) = delete;
    tOwnLevelScope& operator=(const tOwnLevelScope&) = delete;

private:
    tLevel* FSaved;
};

// Reads the file as a level without touching the running one: raises for a file that
// cannot be opened, holds no level (a level file always has its [Tiles] grid; text only)
// or whose grids do not read.
void CheckLevelFile(const std::string& name)
{
    if (DirectoryExists(name))
        throw ELevelFileError("'" + name + "' is a folder, not a level file.");
    std::string text;
    {
        std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(name);
        text = stream->ReadToEnd();
    }
    if (text.find("[Tiles]") == std::string::npos || text.find('\0') != std::string::npos)
        throw ELevelFileError("'" + name + "' is not a level file.");
    tLevel trial;
    tOwnLevelScope units(trial);
    trial.ReadLevelText(text);
}

// Runs the load; when it fails after the check, the running level is put back from what
// it was before (its text), under its old name, and the failure passes on.
template <class Load>
void LoadKeepingTheLevel(tGameEngine& engine, const std::string& file, Load load)
{
    CheckLevelFile(file);
    std::vector<std::string> before;
    engine.Level.WriteLevelText(before);
    const std::string oldName = engine.LevelFileName;
    try {
        load();
    } catch (...) {
        try {
            engine.Level.ReadLevelText(before);
            engine.RestartLevel(false);
            engine.LoadLevelGraphics();
        } catch (...) {
        }
        engine.LevelFileName = oldName;
        throw;
    }
}

} // namespace

void OpenLevelFile(tGameEngine& engine, const std::string& name)
{
    LoadKeepingTheLevel(engine, name, [&] { engine.LoadLevel(name); });
}

void NewLevelFile(tGameEngine& engine)
{
    LoadKeepingTheLevel(engine, "Blank.map", [&] { engine.NewLevel(); });
}

void SaveLevelAs(tGameEngine& engine, const std::string& path, const std::string& name)
{
    engine.Level.SaveToFile(path);
    LoadKeepingTheLevel(engine, path, [&] { engine.LoadLevel(path); });
    engine.LevelFileName = name;
}
