// Solutions: a play recorded with "glimmerhound" and replayed with "brackle", the files
// written and refused on the way, and solution files that are damaged.
#include <filesystem>

#include "tests/tesk/game/EngineHarness.h"

namespace {

namespace fs = std::filesystem;

// The hero kind under test: the test hero of the harness, registered as "Player".
const std::string HeroKind = "Player";

std::string Record(std::initializer_list<int32_t> values, int32_t count = -2, const std::string& magic = "TeskRecord")
{
    std::string out = magic;
    const auto put = [&](int32_t v) {
        for (int k = 0; k < 4; ++k)
            out += static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    };
    put(count == -2 ? static_cast<int32_t>(values.size()) : count);
    for (const int32_t v : values)
        put(v);
    return out;
}

class EngineSolutions : public ::testing::Test {
protected:
    void SetUp() override
    {
        H = std::make_unique<tEngineHarness>();
        // A winding way to the exit: right along row 3, down the column, right to it.
        tLevelText level;
        level.Title = "Round Trip";
        for (int y = 1; y < 14; ++y)
            if (y != 3)
                level.Solid.push_back({6, y});
        level.Unit(HeroKind, 2, 3).Unit("Exit", 9, 8);
        H->WriteLoose("Levels/RoundTrip.map", level.Text());
        H->WriteSet("Fixture.set", {"Level Levels\\RoundTrip.map"});
        E().LoadLevelSet("Fixture.set");
        H->StartEntry(0);
        ASSERT_EQ(E().GameMode, gmPlaying);
    }
    void TearDown() override { H.reset(); }
    tGameEngine& E() { return H->E(); }
    tUnit* Hero() { return E().Level.Player; }
    struct tVisit {
        int32_t Turn, X, Y;
        friend bool operator==(const tVisit&, const tVisit&) = default;
    };
    // Plays the level to its exit with the arrows given per stretch; Space on some turns.
    std::vector<tVisit> PlayToTheExit()
    {
        std::vector<tVisit> visits;
        const struct {
            uint16_t key;
            int cells;
        } plan[] = {{39, 5}, {40, 5}, {39, 3}, {40, 1}};
        int turn = 0;
        for (const auto& stretch : plan) {
            for (int i = 0; i < stretch.cells && E().GameMode == gmPlaying; ++i) {
                H->KeyDown(stretch.key);
                if (++turn % 3 == 0)
                    H->KeyDown(32);
                const int32_t turns = E().TurnCount;
                while (E().TurnCount == turns && E().GameMode == gmPlaying) {
                    H->Tick(1);
                    EXPECT_FALSE(E().LookAheadActive);
                }
                H->KeyUp(stretch.key);
                H->KeyUp(32);
                visits.push_back({E().TurnCount, Hero()->CellX, Hero()->CellY});
            }
        }
        while (E().GameMode == gmPlaying && visits.size() < 40) {
            const int32_t turns = E().TurnCount;
            while (E().TurnCount == turns && E().GameMode == gmPlaying)
                H->Tick(1);
            visits.push_back({E().TurnCount, Hero()->CellX, Hero()->CellY});
        }
        return visits;
    }
    std::unique_ptr<tEngineHarness> H;
};

TEST_F(EngineSolutions, ARecordedPlayReplaysTurnForTurn)
{
    H->Type("glimmerhound");
    EXPECT_TRUE(E().RestartRequested);
    EXPECT_EQ(Recorder.State(), rsRecording);
    H->Tick(1);
    ASSERT_TRUE(H->RunUntil(gmPlaying, 300));
    H->Hero()->Turns.clear();
    const std::vector<tVisit> played = PlayToTheExit();
    ASSERT_EQ(E().GameMode, gmLevelEnd);
    const std::vector<tTestHero::tTurn> recordedTurns = H->Hero()->Turns;
    const int32_t endTurn = E().TurnCount;
    H->Steps(1);
    // Saved, stopped, and the level begins again.
    EXPECT_EQ(Recorder.State(), rsStopped);
    EXPECT_EQ(E().GameMode, gmTransition);
    EXPECT_EQ(E().TransitionTarget, gmLevelStart);
    const std::string file = H->ProgramFile("Solutions/Levels/RoundTrip.Solution");
    ASSERT_TRUE(fs::is_regular_file(file));
    const std::string bytes = ScratchDir::Read(file);
    ASSERT_GE(bytes.size(), 14u);
    EXPECT_EQ(bytes.substr(0, 10), "TeskRecord");
    const auto count = static_cast<int32_t>(static_cast<uint8_t>(bytes[10]) | static_cast<uint8_t>(bytes[11]) << 8);
    ASSERT_EQ(count, static_cast<int32_t>(recordedTurns.size()));
    bool spaceSeen = false;
    for (int32_t i = 0; i < count; ++i) {
        const size_t at = 14 + 4 * static_cast<size_t>(i);
        const int32_t v = static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8;
        EXPECT_EQ(v, recordedTurns[static_cast<size_t>(i)].Value) << i;
        spaceSeen = spaceSeen || (v & 1);
    }
    EXPECT_TRUE(spaceSeen);
    // The progress is left alone by a recording.
    EXPECT_EQ(E().GetLevelStatus(0), 0);

    ASSERT_TRUE(H->RunUntil(gmPlaying, 300));
    H->Type("brackle");
    EXPECT_EQ(Recorder.State(), rsPlaying);
    H->Tick(1);
    ASSERT_TRUE(H->RunUntil(gmPlaying, 300));
    H->Hero()->Turns.clear();
    std::vector<tVisit> replayed;
    while (E().GameMode == gmPlaying && replayed.size() < 60) {
        const int32_t turns = E().TurnCount;
        while (E().TurnCount == turns && E().GameMode == gmPlaying) {
            H->Tick(1);
            EXPECT_FALSE(E().LookAheadActive);
        }
        replayed.push_back({E().TurnCount, Hero()->CellX, Hero()->CellY});
    }
    ASSERT_EQ(E().GameMode, gmLevelEnd);
    EXPECT_EQ(E().TurnCount, endTurn);
    EXPECT_TRUE(replayed == played);
    ASSERT_EQ(H->Hero()->Turns.size(), recordedTurns.size());
    for (size_t i = 0; i < recordedTurns.size(); ++i)
        EXPECT_EQ(H->Hero()->Turns[i].Value, recordedTurns[i].Value) << i;
    // A replay ends by playing the level again, progress untouched.
    H->Steps(1);
    EXPECT_EQ(Recorder.State(), rsStopped);
    EXPECT_EQ(E().TransitionTarget, gmLevelStart);
    EXPECT_EQ(E().GetLevelStatus(0), 0);
}

TEST_F(EngineSolutions, TheHotWordsActInPlayOnlyAndNeedASolution)
{
    H->Type("brackle");
    EXPECT_FALSE(E().RestartRequested);
    EXPECT_EQ(Recorder.State(), rsIdle);
    E().SetGameMode(gmDead);
    H->Type("glimmerhound");
    EXPECT_FALSE(E().RestartRequested);
    EXPECT_EQ(Recorder.State(), rsIdle);
}

TEST_F(EngineSolutions, DamagedSolutionFilesAreReportedAndNothingRestarts)
{
    const std::vector<std::string> damaged = {
        "TeskRec",
        Record({}, 0, "NotARecord"),
        Record({}, -1),
        Record({1, 2}, 5),
        Record({}, 8194),
        Record({}, 0x7FFFFFFF),
    };
    for (const std::string& bytes : damaged) {
        SCOPED_TRACE(bytes.size());
        H->WriteLoose("Solutions/Levels/RoundTrip.Solution", bytes);
        ForgetReportedProblems();
        H->Type("brackle");
        EXPECT_FALSE(E().RestartRequested);
        EXPECT_NE(Recorder.State(), rsPlaying);
        EXPECT_EQ(TakeReportedProblems().size(), 1u);
    }
}

TEST_F(EngineSolutions, OddButReadableSolutionsReplayToTheirEnd)
{
    for (const std::string& bytes : {Record({}), Record({10, 28, -4, 0x7FFFFFFF, 10}), Record({10}) + "trailing"}) {
        SCOPED_TRACE(bytes.size());
        H->WriteLoose("Solutions/Levels/RoundTrip.Solution", bytes);
        ASSERT_TRUE(H->RunUntil(gmPlaying, 300));
        H->Type("brackle");
        if (!E().RestartRequested) {
            EXPECT_EQ(TakeReportedProblems().size(), 1u);
            continue;
        }
        EXPECT_NO_THROW(H->Tick(200));
        Recorder.Clear();
    }
}

TEST_F(EngineSolutions, SolutionNamesThatLeaveTheFolderAreRefused)
{
    EXPECT_EQ(SolutionFileName("Sub\\c.lev"), "Solutions\\Sub\\c.Solution");
    EXPECT_EQ(SolutionFileName("noext"), "Solutions\\.Solution");
    for (const std::string name : {"..\\x.lev", "C:\\a\\b.map", "/abs/c.map", "a/../../b.map"})
        EXPECT_FALSE(IsContainedDataName(name)) << name;
    for (const std::string name : {"Sub\\c.lev", "noext", "a..b.map", "Levels/x.map"})
        EXPECT_TRUE(IsContainedDataName(name)) << name;

    for (const std::string name : {"..\\x.lev", "C:\\a\\b.map", "Sub\\c.lev", "noext"}) {
        SCOPED_TRACE(name);
        ForgetReportedProblems();
        E().LevelFileName = name;
        Recorder.StartRecording();
        Recorder.RecordValue(10);
        E().SetGameMode(gmLevelEnd);
        H->Steps(1);
        EXPECT_EQ(Recorder.State(), rsStopped);
        EXPECT_EQ(E().GameMode, gmTransition);
        const bool refused = !IsContainedDataName(name);
        EXPECT_EQ(TakeReportedProblems().size(), refused ? 1u : 0u);
        if (!refused) {
            EXPECT_TRUE(fs::is_regular_file(H->ProgramFile("Solutions/" + (name == "noext" ? std::string(".Solution")
                                                                                             : "Sub/c.Solution"))));
        }
        ASSERT_TRUE(H->RunUntil(gmPlaying, 300));
    }
    EXPECT_FALSE(fs::exists(H->Dir.Path() + "/../x.Solution"));
}

TEST_F(EngineSolutions, ASolutionThatCannotBeWrittenIsReportedAndThePlayGoesOn)
{
    for (const std::string blocker : {"Solutions", "Solutions/Levels"}) {
        SCOPED_TRACE(blocker);
        fs::remove_all(H->ProgramFile("Solutions"));
        if (blocker == "Solutions/Levels")
            fs::create_directories(H->ProgramFile("Solutions"));
        H->WriteLoose(blocker, "a file where a folder should be");
        ForgetReportedProblems();
        Recorder.StartRecording();
        Recorder.RecordValue(10);
        E().SetGameMode(gmLevelEnd);
        H->Steps(1);
        EXPECT_EQ(TakeReportedProblems().size(), 1u);
        EXPECT_EQ(Recorder.State(), rsStopped);
        EXPECT_EQ(E().GameMode, gmTransition);
        EXPECT_EQ(ScratchDir::Read(H->ProgramFile(blocker)), "a file where a folder should be");
        ASSERT_TRUE(H->RunUntil(gmPlaying, 300));
    }
}

} // namespace
