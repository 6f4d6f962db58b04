// Level sets: loading a set with its titles and progress, starting entries, level
// numbers, the level end, and the solution recorder's two hot-words.
#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/Files.h"
#include "platform/Streams.h"
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/EngineParts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/game/Settings.h"
#include "tesk/game/SidePanel.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"

using namespace engine_parts;

namespace {

// The part of an entry's file read for its title.
constexpr int64_t TitleSearchLimit = int64_t(1) << 20;

const TCharSet Blanks = CharSet(" ");

// The kind word and the file of an entry line: the text before and after the first
// space (leading blanks skipped).
void SplitEntry(const std::string& line, std::string& kind, std::string& file)
{
    const size_t start = line.find_first_not_of(' ');
    const std::string rest = start == std::string::npos ? std::string() : line.substr(start);
    const size_t space = rest.find(' ');
    kind = rest.substr(0, space);
    file = space == std::string::npos ? std::string() : rest.substr(space + 1);
}

std::string EntryKind(const std::string& line)
{
    std::string kind, file;
    SplitEntry(line, kind, file);
    return TrimBlanks(kind);
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b)
{
    return LowerCased(a) == LowerCased(b);
}

// A file name as the file layer compares them: letter case and the two separators alike.
std::string ComparableName(const std::string& name)
{
    std::string out = LowerCased(name);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

// The name up to its last "." ("" when it has none).
std::string WithoutExtension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

std::string Slashed(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// The title of a level file: the value of the first "Title" line in its first MiB.
std::string ReadTitleOf(const std::string& file)
{
    if (!IsContainedDataName(file))
        throw EFileMissing("File Missing '" + file + "'.");
    std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(file);
    const int64_t size = std::min<int64_t>(stream->Size(), TitleSearchLimit);
    std::string text(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
    if (size > 0)
        stream->ReadBuffer(text.data(), static_cast<int32_t>(size));
    ClosePackageFile(stream);
    TStringList lines;
    lines.SetText(text);
    return lines.Values("Title");
}

// Titles for every entry of a set, read into a new list.
TStringList ReadTitlesOf(const TStringList& set)
{
    TStringList titles;
    for (int i = 0; i < set.Count(); ++i) {
        PumpMessages();
        titles.Add(ReadTitleOf(LastField(set[i], Blanks)));
    }
    return titles;
}

void ReportSaveFailure(const std::string& what, const std::string& path, const std::string& reason)
{
    ReportProblem("Could not save " + what + " \"" + path + "\": " + reason);
}

} // namespace

bool IsContainedDataName(const std::string& name)
{
    if (!name.empty() && (name[0] == '\\' || name[0] == '/'))
        return false;
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = name.find_first_of("\\/", start);
        const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..")
            return false;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return true;
}

std::string SolutionFileName(const std::string& levelName)
{
    return "Solutions\\" + WithoutExtension(levelName) + ".Solution";
}

std::string LevelNumberCaption(const std::string& setName, int32_t entryIndex)
{
    const bool bonus = SameTextIgnoringCase(setName, "Gromble.set") && entryIndex >= 54;
    std::string text = bonus ? std::string(1, 'B') : std::string();
    text.append(std::to_string(bonus ? static_cast<int64_t>(entryIndex) - 53 : static_cast<int64_t>(entryIndex) + 1));
    if (text.size() < 3)
        text.insert(0, 3 - text.size(), ' ');
    return text;
}

// ---- the set and its progress

std::string tGameEngine::ProgressFileName() const
{
    const std::string base = Slashed(WithoutExtension(LevelSetName)) + ".Progress";
    if (!base.empty() && base[0] == '/')
        return base;  // a set given by its full path keeps its progress beside it
    return ApplicationDir() + "/" + base;
}

void tGameEngine::LoadLevelSet(const std::string& name)
{
    tEngineBusyScope busy;
    // Read into temporaries: a set that fails leaves the loaded one as it was.
    TStringList set;
    {
        std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(name);
        set.LoadFromStream(*stream);
        ClosePackageFile(stream);
    }
    for (int i = 0; i < set.Count(); ++i)
        set.SetObjects(i, lsUnsolved);
    TStringList titles = ReadTitlesOf(set);

    std::swap(LevelSet, set);
    std::swap(LevelTitles, titles);
    const std::string oldName = LevelSetName;
    const int32_t oldEntry = EntryIndex;
    const bool oldCompleted = SetCompletedBefore;
    LevelSetName = name;
    EntryIndex = 0;
    try {
        LoadProgress();
    } catch (...) {
        std::swap(LevelSet, set);
        std::swap(LevelTitles, titles);
        LevelSetName = oldName;
        EntryIndex = oldEntry;
        SetCompletedBefore = oldCompleted;
        throw;
    }
}

void tGameEngine::ReadLevelTitles()
{
    tEngineBusyScope busy;
    TStringList titles = ReadTitlesOf(LevelSet);
    std::swap(LevelTitles, titles);
}

void tGameEngine::LoadProgress()
{
    const std::string path = ProgressFileName();
    const std::string relative = WithoutExtension(LevelSetName) + ".Progress";
    if (FileExists(path) || PackageFileExists(relative)) {
        // From disk: a progress file found only in a package cannot be opened.
        TFileStream file(path, fmOpenRead);
        const int64_t count = LevelSet.Count();
        if (file.Size() == 4 * count && count > 0) {
            std::vector<uint8_t> bytes(static_cast<size_t>(4 * count));
            file.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
            for (int i = 0; i < LevelSet.Count(); ++i) {
                const size_t at = static_cast<size_t>(4 * i);
                const auto value = static_cast<int32_t>(static_cast<uint32_t>(bytes[at]) |
                                                        static_cast<uint32_t>(bytes[at + 1]) << 8 |
                                                        static_cast<uint32_t>(bytes[at + 2]) << 16 |
                                                        static_cast<uint32_t>(bytes[at + 3]) << 24);
                // Only 0, 1 and 2 mean something; anything else counts as unsolved.
                LevelSet.SetObjects(i, value >= lsUnsolved && value <= lsSolved ? value : lsUnsolved);
            }
        } else {
            for (int i = 0; i < LevelSet.Count(); ++i)
                LevelSet.SetObjects(i, lsUnsolved);
        }
    } else {
        ClearProgress();
    }
    SetCompletedBefore = AllLevelsSolved();
}

void tGameEngine::SaveProgress()
{
    if (LevelSet.Count() == 0)
        return;
    std::string bytes;
    bytes.reserve(static_cast<size_t>(4 * LevelSet.Count()));
    for (int i = 0; i < LevelSet.Count(); ++i) {
        const auto v = static_cast<uint32_t>(GetLevelStatus(i));
        for (int k = 0; k < 4; ++k)
            bytes.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    }
    const std::string path = ProgressFileName();
    // A progress file that cannot be written is reported; the statuses stay in memory.
    try {
        WriteFileReplacing(path, [&](TStream& s) { s.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size())); });
    } catch (const std::exception& e) {
        ReportSaveFailure("the progress", path, FailureReason(e));
    }
}

void tGameEngine::ClearProgress()
{
    for (int i = 0; i < LevelSet.Count(); ++i)
        LevelSet.SetObjects(i, lsUnsolved);
    SaveProgress();
}

int32_t tGameEngine::GetLevelStatus(int32_t i) const
{
    if (i < 0 || i >= LevelSet.Count())
        return lsUnsolved;
    return static_cast<int32_t>(LevelSet.Objects(i));
}

void tGameEngine::SetLevelStatus(int32_t i, int32_t status)
{
    if (i >= 0 && i < LevelSet.Count())
        LevelSet.SetObjects(i, status);
}

void tGameEngine::RecordLevelResult()
{
    const int32_t result = CollectedGems == LevelGems ? lsSolved : lsPartiallySolved;
    // Only a level started from the set counts for the set's progress.
    if (EntryIndex < 0 || EntryIndex >= LevelSet.Count())
        return;
    std::string kind, file;
    SplitEntry(LevelSet[EntryIndex], kind, file);
    if (ComparableName(file) != ComparableName(LevelFileName))
        return;
    if (GetLevelStatus(EntryIndex) < result)
        SetLevelStatus(EntryIndex, result);
    SaveProgress();
}

bool tGameEngine::AllLevelsSolved() const
{
    for (int i = 0; i < LevelSet.Count(); ++i)
        if (GetLevelStatus(i) != lsSolved)
            return false;
    return true;
}

bool tGameEngine::IsLevelEntry(int32_t i) const
{
    if (i < 0 || i >= LevelSet.Count())
        return false;
    const std::string kind = EntryKind(LevelSet[i]);
    return SameTextIgnoringCase(kind, "Level") || SameTextIgnoringCase(kind, "DummyLevel");
}

bool tGameEngine::IsDummyLevelEntry(int32_t i) const
{
    if (i < 0 || i >= LevelSet.Count())
        return false;
    return SameTextIgnoringCase(EntryKind(LevelSet[i]), "DummyLevel");
}

// ---- starting entries

void tGameEngine::StartCurrentEntry()
{
    tEngineBusyScope busy;
    if (EntryIndex < 0 || EntryIndex >= LevelSet.Count())
        return;
    LevelNumberText = LevelNumberCaption(LevelSetName, EntryIndex);
    StartSetEntry(LevelSet[EntryIndex]);
}

void tGameEngine::StartSetEntry(const std::string& line)
{
    tEngineBusyScope busy;
    // Whatever was stacked over the old entry (a menu, a rebuild's leftovers) goes.
    ModeStackDepth = 0;
    OverlaySnapshotDib.reset();
    UnloadSlabImages();
    GameRunning = true;
    std::string kind, file;
    SplitEntry(line, kind, file);
    const std::string trimmed = TrimBlanks(kind);
    if (SameTextIgnoringCase(trimmed, "Level") || SameTextIgnoringCase(trimmed, "DummyLevel")) {
        try {
            if (!IsContainedDataName(file))
                throw EFileMissing("File Missing '" + file + "'.");
            StartLevelFile(file);
        } catch (const Exception& e) {
            // A level that does not load is not played: back to the level pick.
            ReportProblem(e.Message());
            GameRunning = false;
            StartTransition(gmLevelPick);
            return;
        }
        LevelTitleText = Level.Title.empty() ? "Untitled Level" : Level.Title;
    } else if (kind == "Video") {
        // Only a loose file can be played; the player gets the path found.
        std::string path = file;
        if (IsContainedDataName(file) && FindLooseFile(path)) {
            VideoFileName = path;
            SetGameMode(gmVideo);
        } else {
            VideoFileName = file;
            SetGameMode(gmVideoMissing);
        }
    }
}

void tGameEngine::StartLevelFile(const std::string& file)
{
    MainMenuItems[1] = "PICK A LEVEL";
    LoadLevel(file);
    FullRedraw = true;
    SetMusic(Level.Music);
    if (MusicModule)
        MusicModule->Play();
}

void tGameEngine::NextSetEntry()
{
    if (EntryIndex >= LevelSet.Count() - 1) {
        SetGameMode(gmSetCompleted);
        return;
    }
    ++EntryIndex;
    StartCurrentEntry();
}

void tGameEngine::NextUnsolvedEntry()
{
    if (AllLevelsSolved()) {
        SetGameMode(gmSetCompleted);
        return;
    }
    const int32_t count = LevelSet.Count();
    int32_t i = std::clamp(EntryIndex, 0, count - 1);
    do
        i = (i + 1) % count;
    while (GetLevelStatus(i) == lsSolved);
    EntryIndex = i;
    StartCurrentEntry();
}

void tGameEngine::GoToSetEntry(int32_t i)
{
    tEngineBusyScope busy;
    EntryIndex = i;
    StartCurrentEntry();
}

// ---- level end and solutions

void tGameEngine::LevelEndStep()
{
    if (Recorder.State() == rsPlaying) {
        // A replay ends by playing the level again.
        Recorder.Stop();
        RestartLevelWithMusic();
        return;
    }
    if (Recorder.State() == rsRecording) {
        const std::string relative = SolutionFileName(LevelFileName);
        const std::string path = ApplicationDir() + "/" + Slashed(relative);
        try {
            if (!IsContainedDataName(LevelFileName))
                throw Exception("the level's name leaves the program folder");
            ForceDirectoryPath(ExtractFileDir(path));
            Recorder.SaveToFile(path);
        } catch (const std::exception& e) {
            ReportSaveFailure("the solution", path, FailureReason(e));
        }
        Recorder.Stop();
        RestartLevelWithMusic();
        return;
    }
    RecordLevelResult();
    if (AllLevelsSolved()) {
        if (SetCompletedBefore) {
            GameRunning = false;
            StartTransition(gmLevelPick);
        } else {
            StartTransition(gmSetCompleted);
        }
        return;
    }
    const bool everyGem = CollectedGems == LevelGems;
    EraseMouseCursor();
    if (Dialogs) {
        BeginPopup();
        SetGameMode(everyGem ? gmSolvedPopup : gmPartiallySolvedPopup);
        CurrentResultPopup = everyGem ? &SolvedPicture : &PartiallySolvedPicture;
    } else {
        StartTransition(gmNextUnsolvedLevel);
    }
}

void tGameEngine::StartSolutionRecording()
{
    if (GameMode != gmPlaying)
        return;
    try {
        RestartRequested = true;
        Recorder.StartRecording();
    } catch (...) {
    }
}

void tGameEngine::PlaySolution()
{
    if (GameMode != gmPlaying)
        return;
    // Runs in the window's key handler: nothing may escape.
    try {
        if (!IsContainedDataName(LevelFileName))
            return;
        const std::string name = SolutionFileName(LevelFileName);
        if (!PackageFileExists(name))
            return;
        try {
            Recorder.LoadFromFile(name);
        } catch (const Exception& e) {
            ReportProblem("Could not replay \"" + name + "\": " + e.Message());
            return;
        }
        RestartRequested = true;
        Recorder.StartPlayback();
    } catch (const Exception& e) {
        ReportProblem(e.Message());
    } catch (const std::exception& e) {
        ReportProblem(e.what());
    }
}
