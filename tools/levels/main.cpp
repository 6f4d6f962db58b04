// leveltool: the level designer's tools, on the game's own level reader and writer and
// the real engine, headless and silent. See "usage" below, and the README's part on
// making levels.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "platform/Application.h"
#include "platform/Streams.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tools/levels/KeyScripts.h"
#include "tools/levels/LevelPictures.h"
#include "tools/levels/LevelPlays.h"
#include "tools/levels/LevelSession.h"
#include "tools/levels/SetCheck.h"

namespace fs = std::filesystem;

namespace {

const char* const Usage =
    "usage: leveltool <command> ...\n"
    "  make PICTURE LEVEL        the level file of a text picture\n"
    "  show LEVEL [PICTURE]      the text picture of a level file (on standard output\n"
    "                            when no PICTURE is given)\n"
    "  play LEVEL KEYS           plays the key script on the level, recording as the\n"
    "                            game records a solution, and says what came of it\n"
    "       [--record FILE]      writes the record file (the level's .Solution)\n"
    "       [--first PNG] [--last PNG]  pictures of the frame when play starts and ends\n"
    "  check                     checks the level set as packaged: the set file, every\n"
    "                            level, every solution replayed\n"
    "       [--sources DIR]      also each level's picture and key script in DIR (data/)\n"
    "       [--entries N]        the count the set must have (0: any)\n"
    "       [--entry N]          only entry N's level and solution (1 the first)\n"
    "       [--coverage]         also that the whole set shows every unit kind, exit\n"
    "                            kind, jewel kind, water edge style and music module,\n"
    "                            four backgrounds and three tile sets (demanded anyway\n"
    "                            once the set's count is frozen)\n"
    "  solutions OUT             records every level's solution of Gromble.set from its\n"
    "                            key script into OUT/Solutions (the build runs this)\n"
    "options of every command:\n"
    "  --force                   replace files that exist (never done without it)\n"
    "  --package FILE            a data package to read (may be given again); without\n"
    "                            --package or --data, the Base.Tarvol beside leveltool\n"
    "  --data DIR                a folder laid out as the package (may be given again;\n"
    "                            a later one's file over an earlier one's)\n"
    "exit status: 0 done (play: solved fully; check: sound), 1 not (play: not solved\n"
    "fully; check: problems found), 2 bad input or a failure\n";

struct tArgs {
    std::vector<std::string> Positional;
    std::map<std::string, std::string> Options;
    tSessionData Data;
    bool Force = false;
    bool Coverage = false;
};

tArgs ReadArgs(int argc, char** argv)
{
    static const std::set<std::string> valued = {"--record", "--first", "--last", "--sources", "--entries", "--entry"};
    tArgs a;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--force") {
            a.Force = true;
        } else if (arg == "--coverage") {
            a.Coverage = true;
        } else if (arg == "--package" || arg == "--data" || valued.count(arg)) {
            if (i + 1 >= argc)
                throw EToolError(arg + " needs a value");
            const std::string value = argv[++i];
            if (arg == "--package")
                a.Data.Packages.push_back(value);
            else if (arg == "--data")
                a.Data.Folders.push_back(value);
            else
                a.Options[arg] = value;
        } else if (arg.rfind("--", 0) == 0) {
            throw EToolError("unknown option " + arg);
        } else {
            a.Positional.push_back(arg);
        }
    }
    if (a.Data.Packages.empty() && a.Data.Folders.empty()) {
        std::error_code ec;
        const fs::path self = fs::read_symlink("/proc/self/exe", ec);
        a.Data.Packages.push_back((self.parent_path() / "Base.Tarvol").string());
    }
    return a;
}

void Expect(const tArgs& a, size_t least, size_t most)
{
    if (a.Positional.size() < least || a.Positional.size() > most)
        throw EToolError(std::string("wrong number of arguments\n") + Usage);
}

// A count given to an option: decimal digits, at most 4.
int32_t Count(const std::string& text, const std::string& option)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        throw EToolError(option + " needs a number, not '" + text + "'");
    return std::stoi(text);
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string LevelText(tLevel& level)
{
    TMemoryStream stream;
    level.SaveToStream(stream);
    return stream.DataString();
}

int Make(const tArgs& a)
{
    Expect(a, 2, 2);
    const std::string& picture = a.Positional[0];
    const std::string& out = a.Positional[1];
    if (!a.Force && fs::exists(out))
        throw EToolError(out + ": exists already (give --force to replace it)");
    const std::string text = ReadWholeFile(picture);
    tSessionData data = a.Data;
    data.Play = false;
    tLevelSession session(data);
    tLevel level;
    ReadLevelPicture(text, picture, level);
    WriteNewFile(out, LevelText(level), a.Force);
    std::printf("%s: made from %s (%d units)\n", out.c_str(), picture.c_str(), level.UnitList.Count());
    return 0;
}

int Show(const tArgs& a)
{
    Expect(a, 1, 2);
    const std::string& file = a.Positional[0];
    if (a.Positional.size() == 2 && !a.Force && fs::exists(a.Positional[1]))
        throw EToolError(a.Positional[1] + ": exists already (give --force to replace it)");
    const std::string text = ReadWholeFile(file);
    tSessionData data = a.Data;
    data.Play = false;
    tLevelSession session(data);
    tLevel level;
    try {
        level.ReadLevelText(text);
    } catch (const std::exception& e) {
        throw EToolError(file + ": does not read as a level: " + e.what());
    }
    const std::string picture = LevelPicture(level);
    if (a.Positional.size() == 1)
        std::fputs(picture.c_str(), stdout);
    else
        WriteNewFile(a.Positional[1], picture, a.Force);
    return 0;
}

int Play(const tArgs& a)
{
    Expect(a, 2, 2);
    const auto started = std::chrono::steady_clock::now();
    const std::string& file = a.Positional[0];
    const std::string& keys = a.Positional[1];
    const auto option = [&](const char* name) {
        const auto it = a.Options.find(name);
        return it == a.Options.end() ? std::string() : it->second;
    };
    const std::string record = option("--record");
    const tPlayPictures pictures{option("--first"), option("--last")};
    for (const std::string* out : {&record, static_cast<const std::string*>(&pictures.First), &pictures.Last})
        if (!out->empty() && !a.Force && fs::exists(*out))
            throw EToolError(*out + ": exists already (give --force to replace it)");
    const tKeyScript script = ReadKeyScript(ReadWholeFile(keys), keys);
    const std::string levelText = ReadWholeFile(file);
    tLevelSession session(a.Data);
    const std::string name = "Levels\\" + fs::path(file).filename().string();
    session.WriteFile(name, levelText);
    session.WriteFile("Play.set", "Level " + name + "\r\n");
    try {
        session.E().LoadLevelSet("Play.set");
    } catch (const std::exception& e) {
        throw EToolError(file + ": does not load: " + e.what());
    }
    const auto played = std::chrono::steady_clock::now();
    const tPlayOutcome r = PlayKeyScript(session, 0, script.Turns, pictures);
    const double playing = Seconds(played);
    if (!r.Started)
        throw EToolError(file + ": the level never came to play" + (r.Failure.empty() ? " (no hero?)" : ": " + r.Failure));
    std::printf("%s \"%s\": %zu turns of %s\n", file.c_str(), session.E().Level.Title.c_str(), script.Turns.size(),
                keys.c_str());
    std::printf("trail:   %s\n", r.TrailText().c_str());
    std::printf("outcome: %s after %d turns\n", r.EndText().c_str(), r.Turns);
    std::printf("taken:   %d of %d keys, %d of %d jewels\n", r.KeysTaken, r.Keys, r.JewelsTaken, r.Jewels);
    std::printf("verdict: %s\n", r.Verdict().c_str());
    if (!record.empty()) {
        if (r.Record.empty()) {
            std::printf("record:  none (a record is written when the level ends)\n");
        } else {
            WriteNewFile(record, r.Record, a.Force);
            std::printf("record:  %s (%zu turns)\n", record.c_str(), RecordValues(r.Record).size());
        }
    }
    std::printf("time:    %.2f s, %.2f s of it the play\n", Seconds(started), playing);
    return r.SolvedFully() ? 0 : 1;
}

int Check(const tArgs& a)
{
    Expect(a, 0, 0);
    const auto started = std::chrono::steady_clock::now();
    tSetCheckOptions options;
    if (const auto it = a.Options.find("--sources"); it != a.Options.end())
        options.SourceFolder = it->second;
    if (const auto it = a.Options.find("--entries"); it != a.Options.end())
        options.Entries = Count(it->second, "--entries");
    if (const auto it = a.Options.find("--entry"); it != a.Options.end())
        options.Entry = Count(it->second, "--entry");
    options.Coverage = options.Coverage || a.Coverage;
    tLevelSession session(a.Data);
    const std::vector<std::string> problems = CheckLevelSet(session, options);
    for (const std::string& p : problems)
        std::printf("%s\n", p.c_str());
    std::printf("%s: %d entries, %s (%.1f s)\n", options.SetName.c_str(), session.E().LevelSet.Count(),
                problems.empty() ? "sound" : (std::to_string(problems.size()) + " problems").c_str(), Seconds(started));
    return problems.empty() ? 0 : 1;
}

int Solutions(const tArgs& a)
{
    Expect(a, 1, 1);
    const std::string out = a.Positional[0];
    tLevelSession session(a.Data);
    tGameEngine& e = session.E();
    e.LoadLevelSet("Gromble.set");
    int made = 0;
    for (int32_t i = 0; i < e.LevelSet.Count(); ++i) {
        const std::string file = EntryLevelFile(e.LevelSet[i]);
        if (file.empty())
            continue;
        const std::string keys = KeyScriptFileOf(file);
        const std::string where = "entry " + std::to_string(i + 1) + " " + file;
        if (!PackageFileExists(keys)) {
            std::fprintf(stderr, "leveltool: %s has no key script %s: no solution made\n", where.c_str(), keys.c_str());
            continue;
        }
        auto stream = OpenPackageFile(keys);
        const tKeyScript script = ReadKeyScript(stream->ReadToEnd(), keys);
        const tPlayOutcome r = PlayKeyScript(session, i, script.Turns);
        if (!r.SolvedFully())
            std::fprintf(stderr, "leveltool: the key script of %s: %s, %s\n", where.c_str(), r.EndText().c_str(),
                         r.Verdict().c_str());
        if (r.Record.empty())
            continue;
        std::string target = out + "/" + SolutionFileName(file);
        for (char& c : target)
            if (c == '\\')
                c = '/';
        WriteNewFile(target, r.Record, a.Force);
        ++made;
    }
    std::printf("leveltool: %d solutions made\n", made);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::fputs(Usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    TApplication app(argc, argv);
    const std::string command = argv[1];
    try {
        const tArgs args = ReadArgs(argc, argv);
        if (command == "make")
            return Make(args);
        if (command == "show")
            return Show(args);
        if (command == "play")
            return Play(args);
        if (command == "check")
            return Check(args);
        if (command == "solutions")
            return Solutions(args);
        throw EToolError("unknown command " + command + "\n" + Usage);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "leveltool: %s\n", e.what());
        return 2;
    }
}
