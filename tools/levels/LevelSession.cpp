#include "tools/levels/LevelSession.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/Fmod.h"
#include "platform/Forms.h"
#include "platform/StringList.h"
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Players.h"
#include "tesk/game/PopUpForm.h"
#include "tesk/game/SidePanel.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/Tiles.h"
#include "tesk/game/UnitGraphics.h"
#include "tesk/game/UnitSounds.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/Faudio.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tesk/toolkit/Random.h"

namespace fs = std::filesystem;

namespace {

std::string Lowered(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The entry of the folder whose name equals name but for letter case, or folder/name.
fs::path EntryIgnoringCase(const fs::path& folder, const std::string& name)
{
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec))
        if (Lowered(e.path().filename().string()) == Lowered(name))
            return e.path();
    return folder / name;
}

bool SessionOpen = false;

} // namespace

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path))
        throw EToolError(path + ": cannot be read");
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteNewFile(const std::string& path, const std::string& bytes, bool overwrite)
{
    std::error_code ec;
    if (!overwrite && fs::exists(path, ec))
        throw EToolError(path + ": exists already (give --force to replace it)");
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty())
        fs::create_directories(parent, ec);
    // Written beside the file and renamed over it, so a failed write leaves the old one.
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << bytes;
        if (!out)
            throw EToolError(path + ": cannot be written");
    }
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw EToolError(path + ": cannot be written");
    }
}

std::vector<std::string> TextLines(const std::string& text)
{
    TStringList list;
    list.SetText(text);
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list[i]);
    return lines;
}

tLevelSession::tLevelSession(const tSessionData& data)
{
    if (SessionOpen)
        throw EToolError("a level session is open already");
    std::string pattern = (fs::temp_directory_path() / "leveltool_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw EToolError("cannot make a scratch folder under " + fs::temp_directory_path().string());
    FDir = pattern;
    SessionOpen = true;
    try {
        for (const std::string& folder : data.Folders)
            LayOut(folder);
        SetApplicationDirForTests(FDir);
        ResetPackageFiles();
        for (const std::string& package : data.Packages) {
            if (!FileExists(package))
                throw EToolError(package + ": no such package");
            AddPackage(package);
        }

        DisplayBrightness = 1.0f;
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
        InstallPackageFileCallbacks();
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        FSOUND_Init(44100, 64, 0);
        SetRandomSeed(1);
        if (data.Play)
            LoadData();
        FEngine = std::make_unique<tGameEngine>();
        Engine = FEngine.get();
        Engine->AcceptInput = true;
        InitGameEngineData();
        InitPlayerData();
        InitUnitData();
        InitSidePanel();
        InitSlabDialogs();
        // Signs open no window here (and none opens while a solution records or plays).
        PopUpShowHook = [](const std::string&, TPoint, const std::string&) {};
    } catch (...) {
        TearDown();
        throw;
    }
}

void tLevelSession::LoadData()
{
    LoadGameEngineSoundData();
    LoadPlayerSoundData();
    LoadUnitSoundData();
    LoadSidePanelSoundData();
    LoadSlabDialogSoundData();

    FFrame = std::make_unique<tDib16>(FrameWidth, FrameHeight);
    FFrame->ClipRect = TRect{0, 0, FrameWidth, FrameHeight};
    FFrame->RecordDirtyRects = true;
    FFrame->SetUseCoverMask(true);
    FFrame->Fill(PixelBlack);
    CurrentDib = FFrame.get();
    FForm = std::make_unique<TForm>();
    FForm->SetClientWidth(FrameWidth);
    FForm->SetClientHeight(FrameHeight);
    MainFormRef = FForm.get();

    CreateTileSprites();
    LoadGameEngineGraphicsData();
    LoadPlayerGraphicsData();
    LoadUnitGraphicsData();
    LoadSidePanelGraphicsData();
    LoadFontGraphicsData();
    LoadSlabDialogGraphicsData();
    LoadEndOfLevelPopupsGraphicsData();
    LoadTileSet("BasicTiles.jpg");
    LoadOverlayTileSet("BasicOverlay.jpg");
}

tLevelSession::~tLevelSession()
{
    TearDown();
}

void tLevelSession::TearDown()
{
    if (!SessionOpen)
        return;
    PopUpShowHook = nullptr;
    if (FEngine)
        FEngine->SetMusic("");
    StopFuseSounds();
    DoneSlabDialogs();
    FreePlayerData();
    FreeUnitData();
    DoneSidePanel();
    FreeGameEngineData();
    Engine = nullptr;
    FEngine.reset();
    UnitKinds.clear();
    FreeGameEngineGraphicsData();
    FreePlayerGraphicsData();
    FreeUnitGraphicsData();
    FreeSidePanelGraphicsData();
    FreeFontGraphicsData();
    FreeSlabDialogGraphicsData();
    FreeEndOfLevelPopupsGraphicsData();
    FreeTileSprites();
    while (DibStackDepthUsed() > 0)
        PopDib();
    CurrentDib = nullptr;
    MainFormRef = nullptr;
    FForm.reset();
    FFrame.reset();
    FreeAllDibs();
    FreeGameEngineSoundData();
    FreePlayerSoundData();
    FreeUnitSoundData();
    FreeSidePanelSoundData();
    FreeSlabDialogSoundData();
    FSOUND_Close();
    Recorder.Clear();
    ClearCarriedUnits();
    SpeedOffset = 0;
    TicksPerTurn = 12;
    TickInTurn = 0;
    TurnFraction = PreviousTurnFraction = 0;
    LookAheadTicks = LookAheadLength = 0;
    LookAheadProgress = 0;
    PlayfieldX = 128;
    SetApplicationDirForTests(std::nullopt);
    ResetPackageFiles();
    std::error_code ec;
    fs::remove_all(FDir, ec);
    SessionOpen = false;
}

void tLevelSession::LayOut(const std::string& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw EToolError(folder + ": no such folder");
    const fs::path root = fs::absolute(folder);
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const fs::path relative = fs::relative(it->path(), root);
        const std::string leaf = relative.filename().string();
        // The build's own files and hidden ones are not data.
        if (leaf.empty() || leaf[0] == '.' || leaf == "CMakeLists.txt") {
            if (it->is_directory())
                it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file())
            continue;
        // Each folder of the path taken as it exists already, whatever its case.
        fs::path at = FDir;
        for (const fs::path& part : relative.parent_path()) {
            at = EntryIgnoringCase(at, part.string());
            fs::create_directories(at, ec);
        }
        const fs::path target = EntryIgnoringCase(at, leaf);
        fs::remove(target, ec);
        fs::create_symlink(it->path(), target, ec);
        if (ec)
            throw EToolError(target.string() + ": cannot be made");
    }
}

std::string tLevelSession::PathOf(const std::string& relative) const
{
    std::string path = FDir + "/" + relative;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

void tLevelSession::WriteFile(const std::string& relative, const std::string& bytes) const
{
    WriteNewFile(PathOf(relative), bytes, true);
}

std::string tLevelSession::ReadFile(const std::string& relative) const
{
    const std::string path = PathOf(relative);
    std::error_code ec;
    return fs::is_regular_file(path, ec) ? ReadWholeFile(path) : std::string();
}

void tLevelSession::RemoveFile(const std::string& relative) const
{
    std::error_code ec;
    fs::remove(PathOf(relative), ec);
}
