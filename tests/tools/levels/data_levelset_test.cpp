// The level set as shipped: "Gromble.set" in the built package, every level it names and
// every level's solution, replayed through the engine's solution playback, and each
// level's picture and key script in the source data folder. Then the check itself: a
// shipped solution damaged fails it with the level's name, and a set with a fault in
// each level names every one.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/Streams.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Levels.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tools/levels/KeyScripts.h"
#include "tools/levels/LevelPictures.h"
#include "tools/levels/LevelPlays.h"
#include "tools/levels/LevelSession.h"
#include "tools/levels/SetCheck.h"

namespace {

std::string Problems(const std::vector<std::string>& problems)
{
    std::string text;
    for (const std::string& p : problems)
        text += p + "\n";
    return text;
}

bool Mentions(const std::vector<std::string>& problems, const std::string& start, const std::string& what)
{
    for (const std::string& p : problems)
        if (p.rfind(start, 0) == 0 && p.find(what) != std::string::npos)
            return true;
    return false;
}

class LevelSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        tSessionData data;
        data.Packages = {std::string(TP_BIN_DIR) + "/Base.Tarvol"};
        Session = std::make_unique<tLevelSession>(data);
    }
    void TearDown() override { Session.reset(); }
    std::unique_ptr<tLevelSession> Session;
};

} // namespace

TEST_F(LevelSet, TheShippedSetIsSound)
{
    tSetCheckOptions options;
    options.SourceFolder = std::string(TP_SOURCE_DIR) + "/data";
    const std::vector<std::string> problems = CheckLevelSet(*Session, options);
    EXPECT_TRUE(problems.empty()) << Problems(problems);
    EXPECT_GT(Session->E().LevelSet.Count(), 0);
}

// The first entry's and the last entry's shipped solutions, cut short and with the move
// that ends the level turned round, fail the check with the entry, its file and its title.
TEST_F(LevelSet, ADamagedShippedSolutionFailsTheCheckWithTheLevelsName)
{
    Session->E().LoadLevelSet("Gromble.set");
    const int32_t count = Session->E().LevelSet.Count();
    ASSERT_GT(count, 0);
    for (const int32_t entry : {1, count}) {
        const std::string file = EntryLevelFile(Session->E().LevelSet[entry - 1]);
        const std::string solution = SolutionFileName(file);
        const std::string name = "entry " + std::to_string(entry) + " " + file + " \"" +
                                 Session->E().LevelTitles[entry - 1] + "\"";
        auto stream = OpenPackageFile(solution);
        const std::vector<int32_t> shipped = RecordValues(stream->ReadToEnd());
        ASSERT_FALSE(shipped.empty()) << solution;
        std::vector<int32_t> cut(shipped.begin(), shipped.begin() + static_cast<std::ptrdiff_t>(shipped.size() / 2));
        std::vector<int32_t> turned = shipped;
        for (auto v = turned.rbegin(); v != turned.rend(); ++v)
            if (*v != 0) {
                // Up and Down, Left and Right swap (4 <-> 6, 8 <-> 10).
                *v = (*v & 1) | ((*v >> 1) == 2 ? 6 : (*v >> 1) == 3 ? 4 : (*v >> 1) == 4 ? 10 : 8);
                break;
            }
        for (const auto& damaged : {cut, turned}) {
            Session->WriteFile(solution, RecordBytes(damaged));
            tSetCheckOptions options;
            options.Entry = entry;
            const std::vector<std::string> problems = CheckLevelSet(*Session, options);
            EXPECT_TRUE(Mentions(problems, name, "its solution does not end the level")) << Problems(problems);
        }
        Session->RemoveFile(solution);
    }
}

namespace {

// A level of the fixture set: a picture made into a level file, then changed as text.
struct tFaultCase {
    const char* Name;
    std::vector<std::string> Rows;                    // changes to the plain room's rows
    std::vector<std::string> Legend;                  // its legend
    std::function<void(std::string& text)> Edit;      // the level file changed as text
    std::string Script;                               // its key script (none: no solution)
    const char* Problem;                              // what the check says of it ("" none)
};

std::string LevelText(const std::vector<std::string>& rows, const std::vector<std::string>& legend)
{
    std::string picture = "[Misc]\nTitle=Fixture\n[Picture]\n";
    for (const std::string& r : rows)
        picture += r + "\n";
    picture += "[Legend]\n";
    for (const std::string& l : legend)
        picture += l + "\n";
    tLevel level;
    ReadLevelPicture(picture, "fixture.pic", level);
    TMemoryStream stream;
    level.SaveToStream(stream);
    return stream.DataString();
}

void Replace(std::string& text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

std::vector<std::string> Room(const std::string& row7)
{
    std::vector<std::string> rows(15, "#..............#");
    rows.front() = rows.back() = "################";
    rows[7] = row7;
    return rows;
}

} // namespace

TEST_F(LevelSet, EveryFaultOfASetIsNamed)
{
    const std::string sign = "ImageName=Morrowfinch.jpg";
    const std::vector<tFaultCase> cases = {
        {"Sound", Room("#@.......*...E.#"), {}, nullptr, "12R", ""},
        {"NoTitle", Room("#@...........E.#"), {}, [](std::string& t) { Replace(t, "Title=Fixture\r\n", ""); }, "12R",
         "has no title"},
        {"TwoHeroes", Room("#@...........E.#"), {},
         [](std::string& t) { Replace(t, "[Units]\r\n", "[Units]\r\nBegin Player\r\n   InitialX = 3\r\n   InitialY = 3\r\nEnd Player\r\n"); },
         "", "has 2 heroes"},
        {"OnAWall", Room("#@..A........E.#"), {"A = Wall + Key"}, nullptr, "", "Key at (4,7) stands on a wall"},
        {"Shared", Room("#@..A........E.#"), {"A = Boulder + Jewel"}, nullptr, "", "Jewel at (4,7) shares its cell with a Boulder"},
        {"NoExit", Room("#@.............#"), {}, nullptr, "", "has no exit"},
        {"NoBackground", Room("#@...........E.#"), {}, [](std::string& t) { Replace(t, "Morrowfinch.jpg", "Nowhere.jpg"); },
         "12R", "names the picture Nowhere.jpg"},
        {"NoMusic", Room("#@...........E.#"), {},
         [](std::string& t) { Replace(t, "Music=AncientStories2.xm", "Music=Nothing.xm"); }, "12R", "names the music Nothing.xm"},
        {"OddCaption", Room("#@A..........E.#"), {"A = Info Caption=HI~THERE " + sign}, nullptr, "12R",
         "has a caption the menu font does not draw: 'HI~THERE'"},
        {"SpacedCaption", Room("#@A..........E.#"), {"A = Info Caption=HI_THERE " + sign},
         [](std::string& t) { Replace(t, "HI_THERE", "HI THERE"); }, "12R", "has the caption 'HI THERE' with spaces"},
        {"NoSignPicture", Room("#@A..........E.#"), {"A = Info Caption=HI"}, nullptr, "12R", "shows the picture ''"},
        {"WideCaption", Room("#@A..........E.#"), {"A = Info Caption=THIS_CAPTION_IS_FAR_TOO_LONG_TO_FIT_ON_ANY_SIGN_AT_ALL ImageName=Warp.jpg"},
         nullptr, "12R", "is wider than its picture"},
        {"OffTheGrid", Room("#@...........E.#"), {}, [](std::string& t) { Replace(t, "   InitialX = 13\r\n", "   InitialX = 20\r\n"); },
         "", "Exit has InitialX = 20, outside the grid"},
        {"UnknownKind", Room("#@...........E.#"), {},
         [](std::string& t) { Replace(t, "[Units]\r\n", "[Units]\r\nBegin Ghost\r\nEnd Ghost\r\n"); }, "12R",
         "a unit block of no kind the game knows: 'Begin Ghost'"},
        {"BadTrigger", Room("#@A..........E.#"), {"A = Info Caption=HI " + sign},
         [](std::string& t) { Replace(t, "   Trigger = \r\n", "   Trigger = Soon\r\n"); }, "",
         "does not read: Couldn't Interpret Trigger String Bad start to trigger 1"},
        {"NoSolution", Room("#@...........E.#"), {}, nullptr, "", "has no solution Solutions\\Levels\\F\\NoSolution.Solution"},
        {"NotEnded", Room("#@...........E.#"), {}, nullptr, "5R", "its solution does not end the level"},
        {"Killed", Room("#@.......S...E.#"), {}, nullptr, "12R", "its solution gets the hero killed by a snake"},
        {"JewelsLeft", Room("#@...........E.#"), {}, [](std::string& t) { Replace(t, "[Units]\r\n", "[Units]\r\nBegin Jewel\r\n   InitialX = 5\r\n   InitialY = 3\r\nEnd Jewel\r\n"); },
         "12R", "its solution leaves 1 of 1 jewels"},
    };
    std::string set;
    for (const tFaultCase& c : cases) {
        const std::string file = std::string("Levels\\F\\") + c.Name + ".map";
        std::string text = LevelText(c.Rows, c.Legend);
        if (c.Edit)
            c.Edit(text);
        Session->WriteFile(file, text);
        set += "Level " + file + "\r\n";
    }
    // Solutions recorded from the key scripts as the build records them, on the levels
    // before their faults were put in where those would keep them from playing.
    Session->WriteFile("Gromble.set", set);
    Session->E().LoadLevelSet("Gromble.set");
    for (size_t i = 0; i < cases.size(); ++i) {
        if (cases[i].Script.empty())
            continue;
        const tPlayOutcome r = PlayKeyScript(*Session, static_cast<int32_t>(i), ReadKeyScript(cases[i].Script, "k").Turns);
        const std::vector<int32_t> values =
            r.Record.empty() ? std::vector<int32_t>(cases[i].Script == "5R" ? 5 : 12, TurnValue('R')) : RecordValues(r.Record);
        Session->WriteFile(SolutionFileName(std::string("Levels\\F\\") + cases[i].Name + ".map"), RecordBytes(values));
    }
    const std::vector<std::string> problems = CheckLevelSet(*Session, tSetCheckOptions{});
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].Name);
        const std::string entry = "entry " + std::to_string(i + 1) + " Levels\\F\\" + cases[i].Name + ".map";
        if (*cases[i].Problem)
            EXPECT_TRUE(Mentions(problems, entry, cases[i].Problem)) << Problems(problems);
        else
            EXPECT_FALSE(Mentions(problems, entry, "")) << Problems(problems);
    }
    // The shipped solutions in the package belong to no level of this set.
    EXPECT_TRUE(Mentions(problems, "Solutions/Levels/", "belongs to no level of Gromble.set")) << Problems(problems);

    // The set file itself: a line ending in LF alone, a level named twice, a video (which
    // keeps the game from loading the set at all), and a count other than the frozen one.
    Session->WriteFile("Gromble.set", "Level Levels\\F\\Sound.map\r\nLevel Levels\\F\\Sound.map\nVideo Intro.ogv\r\n");
    tSetCheckOptions frozen;
    frozen.Entries = 99;
    const std::vector<std::string> setProblems = CheckLevelSet(*Session, frozen);
    for (const auto& [start, what] : std::vector<std::pair<std::string, std::string>>{
             {"Gromble.set", "line 2 does not end in CR LF"},
             {"Gromble.set entry 2", "Levels\\F\\Sound.map is entry 1 already"},
             {"Gromble.set entry 3", "'Video Intro.ogv' is not a \"Level <file>\" entry"},
             {"Gromble.set", "holds 3 entries; the set is frozen at 99"},
             {"Gromble.set", "the game does not load it: File Missing 'Intro.ogv'."}})
        EXPECT_TRUE(Mentions(setProblems, start, what)) << what << "\n" << Problems(setProblems);
}

// Once the set is complete it must show the whole game: four levels that hold every unit
// kind, exit kind, jewel kind and water edge style between them, every module of the
// package and four backgrounds on three tile sets pass; one plain level is told each kind
// and module it lacks and that its looks are too few.
TEST_F(LevelSet, TheCompleteSetShowsEveryKindAndEveryModule)
{
    std::vector<std::string> modules;
    for (const auto& package : Packages())
        for (int i = 0; i < package->Count(); ++i) {
            const std::string name = package->Entries(i).Name;
            if (name.rfind("Music/", 0) == 0 && name.size() > 6)
                modules.push_back(name.substr(6));
        }
    ASSERT_GE(modules.size(), 2u);
    const char* const backdrops[] = {"Morrowfinch.jpg", "Saffrondune.jpg", "Gloomwood.jpg", "Emberdeep.jpg"};
    const char* const tiles[] = {"BasicTiles.jpg", "DesertTiles.jpg", "ForestTiles.jpg"};
    const size_t levels = std::max<size_t>(4, modules.size());
    std::string set;
    for (size_t i = 0; i < levels; ++i) {
        std::string picture = "[Misc]\nTitle=Fixture\nBackground=" + std::string(backdrops[i % 4]) + "\nTileSet=" + tiles[i % 3] +
                              "\nMusic=" + modules[i % modules.size()] + "\n[Picture]\n";
        std::vector<std::string> rows = Room(i == 0 ? "#@&oSk*E%~X?b..#" : "#@...........E.#");
        if (i == 0)
            rows[3] = "#ABCDFGHIJK....#";
        for (const std::string& r : rows)
            picture += r + "\n";
        picture += "[Legend]\nA = Exit Kind=ExitHatch\nB = Exit Kind=ExitUpDoor\nC = Exit Kind=ExitLeft\nD = Exit Kind=ExitRight\n"
                   "F = Jewel Kind=Yellow_250\nG = Jewel Kind=Magenta_100\nH = Jewel Kind=Green_1000\n"
                   "I = Water EdgeStyle=weTypeB\nJ = Water EdgeStyle=weTypeC\nK = Water EdgeStyle=weTypeA\n";
        tLevel level;
        ReadLevelPicture(picture, "fixture.pic", level);
        TMemoryStream stream;
        level.SaveToStream(stream);
        const std::string file = "Levels\\C\\L" + std::to_string(i) + ".map";
        Session->WriteFile(file, stream.DataString());
        set += "Level " + file + "\r\n";
    }
    auto coverage = [&](const std::string& setText) {
        Session->WriteFile("Gromble.set", setText);
        tSetCheckOptions options;
        options.Coverage = true;
        std::vector<std::string> told;
        for (const std::string& p : CheckLevelSet(*Session, options))
            if (p.rfind("Gromble.set: no level has", 0) == 0 || p.rfind("Gromble.set: its levels use", 0) == 0)
                told.push_back(p);
        return told;
    };
    EXPECT_EQ(coverage(set), std::vector<std::string>{});

    // The second level alone: a plain room.
    const std::vector<std::string> told = coverage("Level Levels\\C\\L1.map\r\n");
    const std::string text = Problems(told);
    for (const char* what : {"unit kinds: 'FakePlayer'", "'CherryBomb'", "exit kinds: 'ExitUpDoor', 'ExitLeft', 'ExitRight', 'ExitHatch'",
                             "jewel kinds: 'Blue_50', 'Magenta_100', 'Yellow_250', 'Green_1000'",
                             "water edge styles: 'weTypeA', 'weTypeB', 'weTypeC', 'weSquare'", "music modules: '",
                             "use 1 backgrounds; the set needs 4 at least", "use 1 tile sets; the set needs 3 at least"})
        EXPECT_NE(text.find(what), std::string::npos) << what << "\n" << text;
    for (const char* present : {"'Player'", "'Exit'", "'ExitDoor'"})
        EXPECT_EQ(text.find(present), std::string::npos) << present << "\n" << text;
}
