// The designer's command line, run as a program: the record a play writes is the one the
// game records, the exit status gives the verdict, bad input is refused with its line,
// and no file that exists is replaced without --force.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/RunProgram.h"
#include "tests/support/ScratchDir.h"

namespace {

const std::string Tool = std::string(TP_BIN_DIR) + "/leveltool";

std::string Fixture(const std::string& name)
{
    return std::string(TP_SOURCE_DIR) + "/tests/tesk/game/files/replays/" + name;
}

// Runs leveltool with its standard output joined to its standard error.
ProgramRun RunTool(const std::vector<std::string>& args)
{
    std::vector<std::string> all{"-c", "exec \"$0\" \"$@\" 1>&2", Tool};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram("/bin/sh", all, {}, 180);
}

bool Has(const ProgramRun& run, const std::string& text) { return run.Stderr.find(text) != std::string::npos; }

} // namespace

// The first fixture level played from its key script: the record file is the golden
// solution recorded through the game's own recording path, and the two frames are PNGs.
TEST(LevelTool, APlayWritesTheRecordTheGameRecordsAndTheFrames)
{
    ScratchDir dir;
    dir.Write("First.keys", "# Into the pool, wait, on to the key and the door.\nRRR. 7R\n");
    const ProgramRun run = RunTool({"play", Fixture("First.map"), dir / "First.keys", "--record", dir / "First.Solution",
                                "--first", dir / "first.png", "--last", dir / "last.png"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_TRUE(Has(run, "verdict: solved fully")) << run.Stderr;
    EXPECT_TRUE(Has(run, "outcome: level end after 13 turns")) << run.Stderr;
    EXPECT_TRUE(Has(run, "trail:   (2,7) R(3,7) R(4,7) R(5,7) .(5,7) R(6,7)")) << run.Stderr;
    EXPECT_EQ(ScratchDir::Read(dir / "First.Solution"), ScratchDir::Read(Fixture("First.Solution")));
    for (const char* png : {"first.png", "last.png"})
        EXPECT_EQ(ScratchDir::Read(dir / png).substr(0, 4), "\x89PNG") << png;
}

TEST(LevelTool, TheVerdictOfAPlay)
{
    ScratchDir dir;
    // A jewel off the way to the door.
    std::string picture = "[Picture]\n################\n";
    for (int i = 0; i < 13; ++i)
        picture += i == 6 ? "#@.....E.......#\n" : i == 3 ? "#......*.......#\n" : "#..............#\n";
    dir.Write("jewel.pic", picture + "################\n");
    ASSERT_EQ(RunTool({"make", dir / "jewel.pic", dir / "jewel.map"}).ExitCode, 0);
    struct Case {
        std::string Level;
        const char* Script;
        int Exit;
        std::vector<const char*> Said;
    };
    const Case cases[] = {
        {Fixture("SnakeRow.map"), "UDRRUUUUUU", 0, {"verdict: solved fully", "taken:   1 of 1 keys"}},
        {Fixture("SnakeRow.map"), ".DRRUUUUUU", 1, {"outcome: killed by a snake", "verdict: not solved"}},
        {Fixture("RubbleJewels.map"), "8R 2D 2L", 1, {"outcome: still running", "verdict: not solved"}},
        {Fixture("RubbleJewels.map"), "8R 2D 5L 2D 2R", 0, {"taken:   0 of 0 keys, 4 of 4 jewels", "verdict: solved fully"}},
        {dir / "jewel.map", "6R", 1, {"outcome: level end", "taken:   0 of 0 keys, 0 of 1 jewels", "verdict: solved with jewels left"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Level + " " + c.Script);
        dir.Write("x.keys", std::string(c.Script) + "\n");
        const ProgramRun run = RunTool({"play", c.Level, dir / "x.keys"});
        EXPECT_EQ(run.ExitCode, c.Exit) << run.Stderr;
        for (const char* said : c.Said)
            EXPECT_TRUE(Has(run, said)) << run.Stderr;
    }
}

// Refusals leave every file as it was: nothing is replaced without --force, and a faulty
// picture or script makes nothing.
TEST(LevelTool, NothingIsReplacedWithoutForceAndFaultsNameTheirLine)
{
    ScratchDir dir;
    const std::string picture = "[Picture]\n" + std::string("################\n") +
                                [] {
                                    std::string rows;
                                    for (int i = 0; i < 13; ++i)
                                        rows += i == 6 ? "#@..........E..#\n" : "#..............#\n";
                                    return rows;
                                }() +
                                "################\n";
    dir.Write("a.pic", picture);
    dir.Write("a.map", "mine");
    dir.Write("a.keys", "12R\n");
    dir.Write("bad.keys", "# note\n3R\n2q\n");
    dir.Write("mine.Solution", "mine");
    struct Case {
        const char* What;
        std::vector<std::string> Args;
        int Exit;
        const char* Said;
    };
    const Case refusals[] = {
        {"make over a level", {"make", dir / "a.pic", dir / "a.map"}, 2, "a.map: exists already (give --force"},
        {"show over a file", {"show", Fixture("First.map"), dir / "a.map"}, 2, "a.map: exists already"},
        {"a record over a file", {"play", Fixture("First.map"), dir / "a.keys", "--record", dir / "mine.Solution"}, 2,
         "mine.Solution: exists already"},
        {"a script with no such key", {"play", Fixture("First.map"), dir / "bad.keys"}, 2, "bad.keys:3: 'q' is not a turn"},
        {"a missing level", {"play", dir / "none.map", dir / "a.keys"}, 2, "none.map: cannot be read"},
        {"an unknown option", {"make", "--quick", dir / "a.pic", dir / "b.map"}, 2, "unknown option --quick"},
    };
    for (const Case& c : refusals) {
        SCOPED_TRACE(c.What);
        const ProgramRun run = RunTool(c.Args);
        EXPECT_EQ(run.ExitCode, c.Exit) << run.Stderr;
        EXPECT_TRUE(Has(run, c.Said)) << run.Stderr;
    }
    EXPECT_EQ(ScratchDir::Read(dir / "a.map"), "mine");
    EXPECT_EQ(ScratchDir::Read(dir / "mine.Solution"), "mine");
    EXPECT_FALSE(std::filesystem::exists(dir / "b.map"));

    // A picture without a hero makes no level.
    dir.Write("nohero.pic", std::string(picture).replace(picture.find('@'), 1, "."));
    ProgramRun run = RunTool({"make", dir / "nohero.pic", dir / "nohero.map"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(Has(run, "nohero.pic:1: the picture has no hero")) << run.Stderr;
    EXPECT_FALSE(std::filesystem::exists(dir / "nohero.map"));

    // With --force the level is made, shown back as its picture, and played.
    run = RunTool({"make", dir / "a.pic", dir / "a.map", "--force"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_EQ(ScratchDir::Read(dir / "a.map").substr(0, 8), "[Misc]\r\n");
    run = RunTool({"show", dir / "a.map", dir / "a.again.pic"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_NE(ScratchDir::Read(dir / "a.again.pic").find(picture), std::string::npos);
    run = RunTool({"play", dir / "a.map", dir / "a.keys", "--record", dir / "mine.Solution", "--force"});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_EQ(ScratchDir::Read(dir / "mine.Solution").substr(0, 10), "TeskRecord");
}
