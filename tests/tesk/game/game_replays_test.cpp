// Golden replays: fixture levels with the solutions recorded for them, replayed through
// the engine's solution playback (as "brackle" starts it) at the normal speed and at the
// slowest and fastest; a replay passes when the level ends during playback with every
// jewel collected. Damaged solutions (one move changed, cut short, another level's) never
// solve their level. With TP_UPDATE_SOLUTIONS=1 each solution is recorded again from its
// key script through the recording path ("glimmerhound") and written beside its level
// instead of being replayed.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/tesk/game/PlayedLevels.h"

namespace {

namespace fs = std::filesystem;
using namespace played;

struct tReplayCase {
    const char* Name;       // the fixture level's and its solution's file stem
    const char* LevelName;  // the set entry's file
    std::string Script;     // the keys, a turn each, from the turn the hero is active
    // The damaged solution of this level: the turn changed and its new value.
    int32_t ChangedTurn;
    int32_t ChangedValue;
    // The killer of the damaged play's hero (none: the level is merely not solved).
    const char* ChangedKiller;
    // Another level whose solution does not solve this one (a straight walk to the right
    // solves several of these levels, so the pairs are chosen).
    const char* Other;
    friend std::ostream& operator<<(std::ostream& os, const tReplayCase& c) { return os << c.Name; }
};

std::string Times(int n, const std::string& s)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

const std::vector<tReplayCase>& Cases()
{
    static const std::vector<tReplayCase> cases = {
        // The boulder into the pool, the key, the door.
        {"First", "Levels\\First.map", "RRR." + Times(7, "R"), 3, vUp, nullptr, "SnakeRow"},
        // The middle of three pools filled; over it to the key and the door.
        {"BoulderPool", "Levels\\BoulderPool.map", "RRRR." + Times(6, "R"), 2, vDown, nullptr, "First"},
        // Rubble cleared, the four jewels taken on the way to the hatch.
        {"RubbleJewels", "Levels\\RubbleJewels.map", Times(8, "R") + "DD" + Times(5, "L") + "DDRR", 9,
         vRight, nullptr, "BoulderPool"},
        // The left door bumped while the key still lies, then the right one.
        {"TwoExits", "Levels\\TwoExits.map", Times(5, "L") + Times(12, "R"), 7, vLeft, nullptr, "SnakeRow"},
        // Two bombs picked up, one dropped before the boulders; back off while it blows.
        {"BombBoulders", "Levels\\BombBoulders.map",
         "RRRRR*LLL" + Times(26, ".") + "RRRRRRURRRDD", 8, vRight, "tCherryBomb", "TwoExits"},
        // The spider's ring crossed behind it on the way north.
        {"SpiderRing", "Levels\\SpiderRing.map", "RR" + Times(12, ".") + "RRUUUUURRRR", 12, vRight, "tSpider", "BombBoulders"},
        // The snake's row crossed once a boulder is pushed into its line of fire.
        {"SnakeRow", "Levels\\SnakeRow.map", "UDRRUUUUUU", 0, 0, "tSnake", "SpiderRing"},
        // Past a sign that opens on stepping on it and one that opens once the key is taken.
        {"SignPost", "Levels\\SignPost.map", Times(12, "R"), 3, vUp, nullptr, "SnakeRow"},
    };
    return cases;
}

bool UpdatingSolutions()
{
    const char* update = std::getenv("TP_UPDATE_SOLUTIONS");
    return update && std::string(update) == "1";
}

std::string SolutionFixture(const tReplayCase& c) { return FixtureFile(std::string(c.Name) + ".Solution"); }

std::unique_ptr<tPlayedLevel> Open(const tReplayCase& c)
{
    return std::make_unique<tPlayedLevel>(c.LevelName, std::string(c.Name) + ".map");
}

// The values of a record file (empty when it is not one).
std::vector<int32_t> Values(const std::string& bytes)
{
    std::vector<int32_t> out;
    if (bytes.size() < 14 || bytes.compare(0, 10, "TeskRecord") != 0)
        return out;
    for (size_t at = 14; at + 4 <= bytes.size(); at += 4) {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + static_cast<size_t>(k)])) << (8 * k);
        out.push_back(static_cast<int32_t>(v));
    }
    return out;
}
std::string RecordBytes(const std::vector<int32_t>& values)
{
    std::string out = "TeskRecord";
    const auto put = [&](int32_t v) {
        for (int k = 0; k < 4; ++k)
            out += static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    };
    put(static_cast<int32_t>(values.size()));
    for (int32_t v : values)
        put(v);
    return out;
}

// Records the case's script through "glimmerhound"'s path and gives the file written.
std::string RecordSolution(const tReplayCase& c)
{
    auto level = Open(c);
    level->Start();
    EXPECT_EQ(level->E().GameMode, gmPlaying);
    level->E().StartSolutionRecording();
    EXPECT_EQ(Recorder.State(), rsRecording);
    EXPECT_TRUE(level->UntilHeroActive());
    level->Script(c.Script);
    for (int i = 0; i < 3000 && Recorder.State() == rsRecording; ++i)
        level->Tick();
    EXPECT_EQ(Recorder.State(), rsStopped) << "the level did not end: " << level->Trail;
    const std::string file = level->H->ProgramFile(level->SolutionName());
    EXPECT_TRUE(fs::is_regular_file(file)) << file;
    const std::string bytes = fs::is_regular_file(file) ? ScratchDir::Read(file) : std::string();
    // Every turn of the script went into the record as the hero's decision.
    const std::vector<int32_t> values = Values(bytes);
    EXPECT_GE(values.size(), c.Script.size());
    for (size_t i = 0; i < c.Script.size() && i < values.size(); ++i)
        EXPECT_EQ(values[i], ScriptValue(c.Script[i])) << "turn " << i;
    return bytes;
}

struct tReplayOutcome {
    bool LevelEnd = false;      // gmLevelEnd reached while the recorder played back
    bool EveryJewel = false;    // every jewel collected at that moment
    bool Dead = false;          // the hero died (gmDead) first
    std::string Killer;         // the class that killed him
    int32_t Turns = 0;          // turns played from the restart
    int32_t KeysCollected = 0;  // at the end
    size_t PopUps = 0;
};

// Plays the record on the level as the solution under "Solutions", started as the
// "brackle" hot-word starts it, until the level ends, the hero dies, or the record's
// length plus 100 turns have passed.
tReplayOutcome Replay(const tReplayCase& c, const std::string& record, int32_t speed)
{
    tReplayOutcome out;
    auto level = Open(c);
    level->Start();
    EXPECT_EQ(level->E().GameMode, gmPlaying);
    SpeedOffset = speed;
    TicksPerTurn = 12 + speed;
    level->H->WriteLoose(level->SolutionName(), record);
    level->E().PlaySolution();
    EXPECT_TRUE(level->E().RestartRequested);
    EXPECT_EQ(Recorder.State(), rsPlaying);
    const int32_t limit = static_cast<int32_t>(Values(record).size()) + 100;
    level->Tick();
    EXPECT_TRUE(level->RunUntil(gmPlaying, 400));
    int32_t turns = level->E().TurnCount;
    for (int i = 0; i < (limit + 10) * TicksPerTurn && out.Turns <= limit; ++i) {
        level->Tick();
        if (level->E().TurnCount != turns) {
            turns = level->E().TurnCount;
            ++out.Turns;
        }
        if (level->E().GameMode == gmLevelEnd) {
            out.LevelEnd = Recorder.State() == rsPlaying;
            out.EveryJewel = CollectedGems == LevelGems;
            break;
        }
        if (level->E().GameMode == gmDead) {
            out.Dead = true;
            out.Killer = level->Hero() && level->Hero()->Killer ? level->Hero()->Killer->ClassName : "";
            // The recorder stops when the hero dies.
            EXPECT_EQ(Recorder.State(), rsStopped);
            break;
        }
    }
    out.KeysCollected = CollectedKeys;
    out.PopUps = level->PopUps.size();
    return out;
}

class GoldenReplays : public ::testing::TestWithParam<tReplayCase> {};

TEST_P(GoldenReplays, TheRecordedSolutionSolvesTheLevelAtEverySpeed)
{
    const tReplayCase& c = GetParam();
    if (UpdatingSolutions()) {
        const std::string bytes = RecordSolution(c);
        ASSERT_FALSE(bytes.empty());
        std::ofstream(SolutionFixture(c), std::ios::binary) << bytes;
        std::cout << "recorded " << SolutionFixture(c) << " (" << Values(bytes).size() << " turns)\n";
        return;
    }
    ASSERT_TRUE(fs::is_regular_file(SolutionFixture(c))) << "no solution; record with TP_UPDATE_SOLUTIONS=1";
    const std::string record = ScratchDir::Read(SolutionFixture(c));
    ASSERT_FALSE(Values(record).empty());
    int32_t turnsAtNormalSpeed = -1;
    for (const int32_t speed : {0, -6, 6}) {
        SCOPED_TRACE("speed offset " + std::to_string(speed));
        const tReplayOutcome r = Replay(c, record, speed);
        EXPECT_TRUE(r.LevelEnd);
        EXPECT_TRUE(r.EveryJewel);
        EXPECT_FALSE(r.Dead);
        EXPECT_EQ(r.KeysCollected, LevelKeys);
        // No sign opens while a solution plays.
        EXPECT_EQ(r.PopUps, 0u);
        // The rules count turns, not ticks: the same turn ends the level at every speed.
        if (speed == 0)
            turnsAtNormalSpeed = r.Turns;
        else
            EXPECT_EQ(r.Turns, turnsAtNormalSpeed);
    }
}

// One move changed: the hero is killed where the level has something that kills, else
// the level is not solved.
TEST_P(GoldenReplays, ASolutionWithOneMoveChangedDoesNotSolveTheLevel)
{
    const tReplayCase& c = GetParam();
    if (UpdatingSolutions())
        GTEST_SKIP();
    std::vector<int32_t> values = Values(ScratchDir::Read(SolutionFixture(c)));
    ASSERT_GT(values.size(), static_cast<size_t>(c.ChangedTurn));
    ASSERT_NE(values[static_cast<size_t>(c.ChangedTurn)], c.ChangedValue);
    values[static_cast<size_t>(c.ChangedTurn)] = c.ChangedValue;
    const tReplayOutcome r = Replay(c, RecordBytes(values), 0);
    EXPECT_FALSE(r.LevelEnd && r.EveryJewel);
    if (c.ChangedKiller) {
        EXPECT_TRUE(r.Dead);
        EXPECT_EQ(r.Killer, c.ChangedKiller);
        EXPECT_FALSE(r.LevelEnd);
    }
}

// Cut short by its last step (the bump that opens the door): the level never ends.
TEST_P(GoldenReplays, ASolutionCutShortByAStepDoesNotSolveTheLevel)
{
    const tReplayCase& c = GetParam();
    if (UpdatingSolutions())
        GTEST_SKIP();
    std::vector<int32_t> values = Values(ScratchDir::Read(SolutionFixture(c)));
    while (!values.empty() && values.back() == 0)
        values.pop_back();
    ASSERT_FALSE(values.empty());
    values.pop_back();
    const tReplayOutcome r = Replay(c, RecordBytes(values), 0);
    EXPECT_FALSE(r.LevelEnd);
    EXPECT_FALSE(r.Dead);
}

// The solution of another level played on this one.
TEST_P(GoldenReplays, AnotherLevelsSolutionDoesNotSolveTheLevel)
{
    const tReplayCase& c = GetParam();
    if (UpdatingSolutions())
        GTEST_SKIP();
    const std::string other = FixtureFile(std::string(c.Other) + ".Solution");
    const tReplayOutcome r = Replay(c, ScratchDir::Read(other), 0);
    EXPECT_FALSE(r.LevelEnd && r.EveryJewel) << "solved by " << other;
}

// Values no key makes (actions 14 and above, negative values) move nobody and read
// nothing out of range, and once the values run out the hero stands still.
TEST(OddSolutions, ValuesNoKeyMakesAndARecordThatRunsOutLeaveTheHeroStanding)
{
    const tReplayCase& c = Cases()[1];
    ASSERT_STREQ(c.Name, "BoulderPool");
    const std::vector<int32_t> values = {vRight, 28, 29, 31, -1, -2, -4, INT32_MIN, INT32_MAX, 0x7FFFFFFE, vRight};
    auto level = Open(c);
    level->Start();
    level->H->WriteLoose(level->SolutionName(), RecordBytes(values));
    level->E().PlaySolution();
    ASSERT_EQ(Recorder.State(), rsPlaying);
    level->Tick();
    ASSERT_TRUE(level->UntilHeroActive());
    tActualPlayer* hero = level->Hero();
    const int32_t startX = hero->CellX;
    // The first value, the ten odd ones, the last step, then forty turns past the end.
    level->Script(Times(static_cast<int>(values.size()) + 40, "."));
    EXPECT_EQ(level->E().GameMode, gmPlaying);
    EXPECT_EQ(Recorder.State(), rsPlaying);
    EXPECT_EQ(hero->CellX, startX + 2) << level->Trail;
    EXPECT_EQ(hero->CellY, 7);
    EXPECT_TRUE(hero->AtTarget());
}

INSTANTIATE_TEST_SUITE_P(Levels, GoldenReplays, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<tReplayCase>& info) { return std::string(info.param.Name); });

}  // namespace
