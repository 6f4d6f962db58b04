// Level sets: entries, titles, progress, level numbers, the level end and its pop-ups,
// solutions recorded and replayed, and the files written on the way.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Messages.h"
#include "tests/tesk/game/EngineHarness.h"

namespace {

namespace fs = std::filesystem;

std::string Int32s(std::initializer_list<int32_t> values)
{
    std::string out;
    for (const int32_t v : values)
        for (int k = 0; k < 4; ++k)
            out += static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    return out;
}

class EngineSets : public ::testing::Test {
protected:
    void SetUp() override { H = std::make_unique<tEngineHarness>(); }
    void TearDown() override { H.reset(); }
    tGameEngine& E() { return H->E(); }
    // Three levels A, B, C: the hero beside the exit, with a gem between in B.
    void WriteThree(const std::string& setName = "Three.set")
    {
        for (const std::string name : {"A", "B", "C"}) {
            tLevelText level;
            level.Title = "Level " + name;
            level.Unit("Player", 3, 3).Unit("Exit", 5, 3);
            if (name == "B")
                level.Unit("Gem", 4, 3);
            H->WriteLoose("Levels/" + name + ".map", level.Text());
        }
        H->WriteSet(setName, {"Level Levels\\A.map", "Level Levels\\B.map", "Level Levels\\C.map"});
    }
    // The level's gem (the list is kept in draw order).
    tUnit* Gem()
    {
        for (int i = 0; i < E().Level.UnitList.Count(); ++i)
            if (dynamic_cast<tTestGem*>(E().Level.UnitList[i]))
                return E().Level.UnitList[i];
        return nullptr;
    }
    std::vector<int32_t> Statuses()
    {
        std::vector<int32_t> out;
        for (int i = 0; i < E().LevelSet.Count(); ++i)
            out.push_back(E().GetLevelStatus(i));
        return out;
    }
    // Plays the entry to its exit (hero walks right) and runs its level end.
    void Finish(int32_t entry)
    {
        H->StartEntry(entry);
        ASSERT_EQ(E().GameMode, gmPlaying);
        H->KeyDown(39);
        ASSERT_TRUE(H->RunUntil(gmLevelEnd, 200));
        H->KeyUp(39);
        H->Steps(1);
    }
    std::unique_ptr<tEngineHarness> H;
};

TEST_F(EngineSets, TheSetLoadsWithItsTitlesAndStatuses)
{
    WriteThree();
    E().LoadLevelSet("Three.set");
    EXPECT_EQ(E().LevelSetName, "Three.set");
    ASSERT_EQ(E().LevelSet.Count(), 3);
    ASSERT_EQ(E().LevelTitles.Count(), 3);
    EXPECT_EQ(E().LevelTitles[1], "Level B");
    EXPECT_EQ(E().EntryIndex, 0);
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 0, 0}));
    // No progress file was there: a zeroed one is written beside the program.
    EXPECT_EQ(ScratchDir::Read(H->ProgramFile("Three.Progress")), std::string(12, '\0'));
    EXPECT_FALSE(fs::exists(std::string(TP_BIN_DIR) + "/Three.Progress"));
    EXPECT_FALSE(E().SetCompletedBefore);
}

TEST_F(EngineSets, ProgressFilesAreReadWhenTheyHaveTheRightSizeAndValues)
{
    WriteThree();
    const struct {
        std::string bytes;
        std::vector<int32_t> statuses;
    } cases[] = {{Int32s({2, 1, 0}), {2, 1, 0}},
                 {Int32s({2, 1, 0}) + "x", {0, 0, 0}},
                 {Int32s({2, 1}) + "xyz", {0, 0, 0}},
                 {"", {0, 0, 0}},
                 {Int32s({3, -1, 0x7FFFFFFF}), {0, 0, 0}},
                 {Int32s({2, 2, 2}), {2, 2, 2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        H->WriteLoose("Three.Progress", c.bytes);
        E().LoadLevelSet("Three.set");
        EXPECT_EQ(Statuses(), c.statuses);
        EXPECT_EQ(E().SetCompletedBefore, c.statuses == std::vector<int32_t>({2, 2, 2}));
        EXPECT_EQ(ScratchDir::Read(H->ProgramFile("Three.Progress")), c.bytes) << "read, not rewritten";
    }
    // A damaged file is rewritten whole at the next level end.
    H->WriteLoose("Three.Progress", "damaged");
    E().LoadLevelSet("Three.set");
    Finish(0);
    EXPECT_EQ(ScratchDir::Read(H->ProgramFile("Three.Progress")), Int32s({2, 0, 0}));
    EXPECT_EQ(E().GetLevelStatus(-1), 0);
    EXPECT_EQ(E().GetLevelStatus(3), 0);
    E().SetLevelStatus(-1, 2);
    E().SetLevelStatus(3, 2);
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{2, 0, 0}));
}

TEST_F(EngineSets, AProgressFileOnlyInThePackageFailsTheSetAndTheOldSetStays)
{
    WriteThree();
    E().LoadLevelSet("Three.set");
    E().SetLevelStatus(1, 1);
    tHarnessOptions options;
    H.reset();
    options.Files["Other.Progress"] = Int32s({1});
    H = std::make_unique<tEngineHarness>(options);
    WriteThree();
    E().LoadLevelSet("Three.set");
    H->WriteLoose("Levels/One.map", tLevelText().Text());
    H->WriteSet("Other.set", {"Level Levels\\One.map"});
    EXPECT_THROW(E().LoadLevelSet("Other.set"), Exception);
    EXPECT_EQ(E().LevelSetName, "Three.set");
    EXPECT_EQ(E().LevelSet.Count(), 3);
    EXPECT_EQ(E().LevelTitles.Count(), 3);
}

TEST_F(EngineSets, ASetWithAMissingEntryFailsAndTheOldSetStays)
{
    WriteThree();
    H->WriteLoose("Three.Progress", Int32s({2, 1, 0}));
    E().LoadLevelSet("Three.set");
    for (const std::vector<std::string>& lines :
         std::vector<std::vector<std::string>>{{"Level Levels\\A.map", "Level Levels\\Missing.map"},
                                               {"Level Levels\\A.map", "", "Level Levels\\B.map"},
                                               {"Level"},
                                               {"Level ..\\x.map"},
                                               {"Level \\abs.map"},
                                               {"Level C:\\a.map"},
                                               {"Level /etc/passwd"}}) {
        SCOPED_TRACE(lines[0] + "|" + (lines.size() > 1 ? lines[1] : ""));
        H->WriteSet("Bad.set", lines);
        EXPECT_THROW(E().LoadLevelSet("Bad.set"), Exception);
        EXPECT_EQ(E().LevelSetName, "Three.set");
        EXPECT_EQ(Statuses(), (std::vector<int32_t>{2, 1, 0}));
        EXPECT_EQ(E().LevelTitles[0], "Level A");
        EXPECT_FALSE(fs::exists(H->ProgramFile("Bad.Progress")));
    }
}

TEST_F(EngineSets, ANamedPipeAsAnEntryDoesNotHang)
{
    WriteThree();
    ASSERT_EQ(mkfifo(H->ProgramFile("Pipe.map").c_str(), 0600), 0);
    H->WriteSet("Pipe.set", {"Level Pipe.map"});
    EXPECT_THROW(E().LoadLevelSet("Pipe.set"), Exception);
}

TEST_F(EngineSets, AnEmptySetIsAllSolvedAndWritesNothing)
{
    H->WriteLoose("Empty.set", "");
    E().LoadLevelSet("Empty.set");
    EXPECT_EQ(E().LevelSet.Count(), 0);
    EXPECT_TRUE(E().AllLevelsSolved());
    EXPECT_TRUE(E().SetCompletedBefore);
    EXPECT_FALSE(fs::exists(H->ProgramFile("Empty.Progress")));
    E().StartCurrentEntry();
    EXPECT_FALSE(E().GameRunning);
    E().NextSetEntry();
    EXPECT_EQ(E().GameMode, gmSetCompleted);
}

TEST_F(EngineSets, KindWordsAndLineEnds)
{
    tLevelText level;
    H->WriteLoose("a.map", level.Text());
    H->WriteLoose("Films/Intro.avi", "not a film");
    H->WriteLoose("Lines.set", "Level a.map\r\n level a.map\nLEVEL a.map\rDummyLevel a.map\r\nVideo Films\\Intro.avi\r\n"
                               "video a.map\r\nNonsense a.map\r\n");
    E().LoadLevelSet("Lines.set");
    ASSERT_EQ(E().LevelSet.Count(), 7);
    const bool levels[] = {true, true, true, true, false, false, false};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(E().IsLevelEntry(i), levels[i]) << i;
        EXPECT_EQ(E().IsDummyLevelEntry(i), i == 3) << i;
    }
    EXPECT_FALSE(E().IsLevelEntry(7));
    EXPECT_FALSE(E().IsLevelEntry(-1));
    // "video" is no video: started, it does nothing.
    E().SetGameMode(gmNone);
    E().GoToSetEntry(5);
    EXPECT_EQ(E().GameMode, gmNone);
    E().GoToSetEntry(6);
    EXPECT_EQ(E().GameMode, gmNone);
    // A loose video plays with its full path.
    E().GoToSetEntry(4);
    EXPECT_EQ(E().GameMode, gmVideo);
    EXPECT_EQ(E().VideoFileName, H->ProgramFile("Films/Intro.avi"));
}

TEST_F(EngineSets, AVideoOnlyInThePackageOrMissingIsSkipped)
{
    tHarnessOptions options;
    options.Files["Packed.avi"] = "film";
    H.reset();
    H = std::make_unique<tEngineHarness>(options);
    tLevelText level;
    H->WriteLoose("a.map", level.Text());
    H->WriteSet("V.set", {"Video Packed.avi", "Level a.map"});
    E().LoadLevelSet("V.set");
    E().GoToSetEntry(0);
    EXPECT_EQ(E().GameMode, gmVideoMissing);
    EXPECT_EQ(E().VideoFileName, "Packed.avi");
    // Mode 8 moves on to the next entry.
    H->Steps(1);
    EXPECT_EQ(E().EntryIndex, 1);
    // A set with a video never counts as all solved.
    E().SetLevelStatus(1, 2);
    EXPECT_FALSE(E().AllLevelsSolved());
}

TEST_F(EngineSets, ALargeVideoIsSearchedForATitleInItsFirstMebibyteOnly)
{
    std::string film(3 << 20, 'x');
    film.replace(2 << 20, 12, "\nTitle=Late\n");
    H->WriteLoose("Big.avi", film);
    H->WriteSet("V.set", {"Video Big.avi"});
    E().LoadLevelSet("V.set");
    EXPECT_EQ(E().LevelTitles[0], "");
}

TEST_F(EngineSets, ManyEntriesLoadAndTheirNumbersStayWhole)
{
    tLevelText level;
    H->WriteLoose("a.map", level.Text());
    std::vector<std::string> lines(1001, "Level a.map");
    H->WriteSet("Many.set", lines);
    E().LoadLevelSet("Many.set");
    EXPECT_EQ(E().LevelSet.Count(), 1001);
    EXPECT_EQ(LevelNumberCaption("Many.set", 999), "1000");
    EXPECT_EQ(LevelNumberCaption("Many.set", 62), " 63");
}

TEST_F(EngineSets, LevelNumbers)
{
    const struct {
        const char* set;
        int32_t index;
        const char* text;
    } cases[] = {{"Gromble.set", 0, "  1"}, {"Gromble.set", 53, " 54"}, {"Gromble.set", 54, " B1"},
                 {"GROMBLE.SET", 55, " B2"}, {"Other.set", 54, " 55"},  {"Gromble.Set", 153, "B100"}};
    for (const auto& c : cases)
        EXPECT_EQ(LevelNumberCaption(c.set, c.index), c.text) << c.set << " " << c.index;
}

TEST_F(EngineSets, StartingAnEntryShowsItsTitleAndNumber)
{
    WriteThree();
    tLevelText untitled;
    untitled.Title.clear();
    H->WriteLoose("Levels/C.map", untitled.Text());
    E().LoadLevelSet("Three.set");
    H->StartEntry(1);
    EXPECT_EQ(LevelTitleText, "Level B");
    EXPECT_EQ(LevelNumberText, "  2");
    EXPECT_EQ(MainMenuItems[1], "PICK A LEVEL");
    EXPECT_EQ(E().LevelFileName, "Levels\\B.map");
    H->StartEntry(2);
    EXPECT_EQ(LevelTitleText, "Untitled Level");
    // Outside the set nothing starts.
    E().GoToSetEntry(3);
    EXPECT_EQ(E().EntryIndex, 3);
    EXPECT_EQ(E().GameMode, gmPlaying);
}

TEST_F(EngineSets, TheLevelEndRecordsTheResultAndShowsItsPopUp)
{
    WriteThree();
    E().LoadLevelSet("Three.set");
    // All gems: solved, the pop-up of a solved level.
    Finish(0);
    EXPECT_EQ(E().GameMode, gmSolvedPopup);
    EXPECT_EQ(CurrentResultPopup, &SolvedPicture);
    EXPECT_EQ(E().ModeStackDepth, 1);
    EXPECT_FALSE(E().CursorDrawn);
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{2, 0, 0}));
    EXPECT_EQ(ScratchDir::Read(H->ProgramFile("Three.Progress")), Int32s({2, 0, 0}));
    // Gems left: partly solved (the hero jumps the gem by walking round it).
    E().ModeStackDepth = 0;
    H->StartEntry(1);
    ASSERT_EQ(E().GameMode, gmPlaying);
    E().Level.FreeUnit(Gem());
    H->KeyDown(39);
    ASSERT_TRUE(H->RunUntil(gmLevelEnd, 200)) << int(E().GameMode) << " " << H->Hero()->CellX;
    H->KeyUp(39);
    H->Steps(1);
    EXPECT_EQ(E().GameMode, gmPartiallySolvedPopup);
    EXPECT_EQ(CurrentResultPopup, &PartiallySolvedPicture);
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{2, 1, 0}));
    // Solving a solved entry again with gems left keeps it solved.
    E().ModeStackDepth = 0;
    E().SetLevelStatus(1, 2);
    H->StartEntry(1);
    E().Level.FreeUnit(Gem());
    H->KeyDown(39);
    ASSERT_TRUE(H->RunUntil(gmLevelEnd, 200));
    H->KeyUp(39);
    H->Steps(1);
    EXPECT_EQ(E().GetLevelStatus(1), 2);
    // Without pop-ups the next unsolved entry follows.
    Dialogs = false;
    E().ModeStackDepth = 0;
    E().SetLevelStatus(1, 1);
    Finish(0);
    EXPECT_EQ(E().GameMode, gmTransition);
    EXPECT_EQ(E().TransitionTarget, gmNextUnsolvedLevel);
    ASSERT_TRUE(H->RunUntil(gmPlaying, 300));
    EXPECT_EQ(E().EntryIndex, 1);
}

TEST_F(EngineSets, TheLastLevelSolvedCompletesTheSetOnceAndLaterLeadsToTheLevelPick)
{
    WriteThree();
    H->WriteLoose("Three.Progress", Int32s({2, 2, 0}));
    E().LoadLevelSet("Three.set");
    Finish(2);
    EXPECT_EQ(E().GameMode, gmTransition);
    EXPECT_EQ(E().TransitionTarget, gmSetCompleted);
    EXPECT_TRUE(E().GameRunning);
    // Loaded complete: the level pick, the game no longer running.
    E().LoadLevelSet("Three.set");
    EXPECT_TRUE(E().SetCompletedBefore);
    Finish(2);
    EXPECT_EQ(E().TransitionTarget, gmLevelPick);
    EXPECT_FALSE(E().GameRunning);
}

TEST_F(EngineSets, TheNextUnsolvedEntryWrapsToTheTop)
{
    WriteThree();
    H->WriteLoose("Three.Progress", Int32s({0, 2, 2}));
    E().LoadLevelSet("Three.set");
    E().EntryIndex = 2;
    E().NextUnsolvedEntry();
    EXPECT_EQ(E().EntryIndex, 0);
    E().SetLevelStatus(0, 2);
    E().NextUnsolvedEntry();
    EXPECT_EQ(E().GameMode, gmSetCompleted);
    // The next entry after the last: set completed.
    E().EntryIndex = 2;
    E().NextSetEntry();
    EXPECT_EQ(E().GameMode, gmSetCompleted);
}

TEST_F(EngineSets, ALevelLoadedApartFromTheSetLeavesTheProgressAlone)
{
    WriteThree();
    E().LoadLevelSet("Three.set");
    H->StartEntry(0);
    const std::string before = ScratchDir::Read(H->ProgramFile("Three.Progress"));
    E().LoadLevel("levels/c.MAP");
    EXPECT_NO_FATAL_FAILURE();
    E().EntryIndex = 1;
    E().LoadLevel("Levels/A.map");
    H->RunUntil(gmPlaying, 200);
    H->KeyDown(39);
    ASSERT_TRUE(H->RunUntil(gmLevelEnd, 200));
    H->KeyUp(39);
    H->Steps(1);
    EXPECT_EQ(ScratchDir::Read(H->ProgramFile("Three.Progress")), before);
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 0, 0}));
    // The same file named in another letter case and separator does count.
    E().ModeStackDepth = 0;
    E().EntryIndex = 0;
    E().LoadLevel("levels/a.MAP");
    H->RunUntil(gmPlaying, 200);
    H->KeyDown(39);
    ASSERT_TRUE(H->RunUntil(gmLevelEnd, 200));
    H->KeyUp(39);
    H->Steps(1);
    EXPECT_EQ(E().GetLevelStatus(0), 2);
}

TEST_F(EngineSets, AProgressFileThatCannotBeWrittenIsReportedOnceAndPlayGoesOn)
{
    WriteThree();
    fs::create_directories(H->ProgramFile("Three.Progress"));
    E().LoadLevelSet("Three.set");
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 0, 0}));
    const std::vector<std::string> reports = TakeReportedProblems();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("Three.Progress"), std::string::npos);
    Finish(0);
    EXPECT_EQ(E().GameMode, gmSolvedPopup);
    EXPECT_EQ(E().GetLevelStatus(0), 2);
    EXPECT_TRUE(fs::is_directory(H->ProgramFile("Three.Progress")));
    // The same failure again is not kept twice.
    E().ClearProgress();
    EXPECT_TRUE(TakeReportedProblems().empty());
    for (const auto& entry : fs::directory_iterator(H->Dir.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(EngineSets, AReadOnlyFolderKeepsTheOldProgressByteForByte)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    WriteThree("Sub/Three.set");
    H->WriteLoose("Sub/Three.Progress", Int32s({1, 0, 0}));
    E().LoadLevelSet("Sub/Three.set");
    chmod(H->ProgramFile("Sub").c_str(), 0500);
    E().SetLevelStatus(0, 2);
    E().SaveProgress();
    chmod(H->ProgramFile("Sub").c_str(), 0700);
    EXPECT_EQ(ScratchDir::Read(H->ProgramFile("Sub/Three.Progress")), Int32s({1, 0, 0}));
    EXPECT_EQ(TakeReportedProblems().size(), 1u);
}

TEST_F(EngineSets, ReadingTheTitlesPumpsMessagesWhileTheEngineIsBusy)
{
    WriteThree();
    bool busyInPump = false;
    bool stepped = false;
    const HWND window = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == 0x7901)
            busyInPump = EngineBusy() && PumpingMessages;
        // A stand-in for the main tick: it leaves the engine alone while busy.
        if (m.Msg == 0x7902 && !PumpingMessages && !EngineBusy()) {
            Engine->Step();
            stepped = true;
        }
    });
    PostMessage(window, 0x7901, 0, 0);
    PostMessage(window, 0x7902, 0, 0);
    const int32_t ticks = E().TickCount;
    E().LoadLevelSet("Three.set");
    EXPECT_TRUE(busyInPump);
    EXPECT_FALSE(stepped);
    EXPECT_EQ(E().TickCount, ticks);
    EXPECT_FALSE(EngineBusy());
    DeallocateHWnd(window);
}

TEST_F(EngineSets, RestartingTheEntryOverAnOpenMenuTwelveTimesLeavesTheMenuWorking)
{
    WriteThree();
    E().LoadLevelSet("Three.set");
    H->StartEntry(0);
    for (int i = 0; i < 12; ++i) {
        E().OpenMenu();
        E().StartCurrentEntry();
        EXPECT_EQ(E().ModeStackDepth, 0);
        EXPECT_EQ(E().OverlaySnapshotDib, nullptr);
    }
    ASSERT_TRUE(H->RunUntil(gmPlaying, 300));
    H->Press(27);
    H->Steps(1);
    EXPECT_EQ(E().GameMode, gmMainMenu);
}

TEST_F(EngineSets, AnEntryThatFailsToLoadEndsInTheLevelPick)
{
    const std::vector<std::pair<std::string, std::string>> levels = {
        {"Short.map", "[Tiles]\r\n000\r\n"},
        {"Trigger.map", tLevelText().Unit("Player", 2, 2).Unit("Sign", 3, 3, {"Trigger = BadOne"}).Text()},
        {"Deleted.map", tLevelText().Unit("Player", 2, 2).Text()}};
    RegisterUnitKind("Sign", tTestSign::StaticClass(), nullptr);
    for (const auto& [name, text] : levels) {
        SCOPED_TRACE(name);
        H->WriteLoose(name, text);
        H->WriteSet("F.set", {"Level " + name});
        E().LoadLevelSet("F.set");
        if (name == "Deleted.map")
            fs::remove(H->ProgramFile(name));
        E().GoToSetEntry(0);
        EXPECT_FALSE(E().GameRunning);
        EXPECT_EQ(E().GameMode, gmTransition);
        EXPECT_EQ(E().TransitionTarget, gmLevelPick);
        EXPECT_FALSE(TakeReportedProblems().empty());
        EXPECT_EQ(CarriedCount, 0);
        // Keys do nothing harmful on what was read.
        H->Press(32);
        H->Press(39);
        EXPECT_NO_THROW(H->Tick(30));
        EXPECT_EQ(E().GameMode, gmLevelPick);
    }
}

TEST_F(EngineSets, ALevelWithoutAHeroIsShownButDoesNotPlay)
{
    tLevelText level;
    level.Unit("Bouncer", 3, 3, {"InitialDirection = Right"});
    H->WriteLoose("NoHero.map", level.Text());
    H->WriteSet("N.set", {"Level NoHero.map"});
    E().LoadLevelSet("N.set");
    H->StartEntry(0);
    ASSERT_EQ(E().GameMode, gmPlaying);
    H->Press(40);
    H->Tick(40);
    EXPECT_EQ(E().Level.UnitList[0]->CellX, 3);
    H->Press(27);
    H->Steps(1);
    EXPECT_EQ(E().GameMode, gmMainMenu);
    // The hero freed during play (as the editor may).
    WriteThree();
    E().LoadLevelSet("Three.set");
    H->StartEntry(0);
    E().Level.FreeUnit(E().Level.Player);
    EXPECT_EQ(E().Level.Player, nullptr);
    H->Press(39);
    EXPECT_NO_THROW(H->Tick(40));
}

TEST_F(EngineSets, NamesALevelGivesThatLeaveTheDataFoldersCountAsMissing)
{
    for (const std::string misc : {"Background=..\\..\\x.jpg", "TileSet=/etc/x.jpg", "OverlayTileSet=C:\\o.jpg"}) {
        SCOPED_TRACE(misc);
        tLevelText level;
        level.Unit("Player", 3, 3);
        level.ExtraMisc.push_back(misc);
        H->WriteLoose("Out.map", level.Text());
        H->WriteSet("Out.set", {"Level Out.map"});
        E().LoadLevelSet("Out.set");
        E().GoToSetEntry(0);
        EXPECT_FALSE(E().GameRunning);
        EXPECT_EQ(E().TransitionTarget, gmLevelPick);
        const std::vector<std::string> reports = TakeReportedProblems();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].find(misc.substr(misc.find('=') + 1)), std::string::npos) << reports[0];
    }
    // Music that leaves the folder: the level plays without music.
    tLevelText level;
    level.Unit("Player", 3, 3);
    level.Music = "../x.xm";
    H->WriteLoose("Out.map", level.Text());
    E().LoadLevelSet("Out.set");
    H->StartEntry(0);
    EXPECT_TRUE(E().GameRunning);
    EXPECT_EQ(E().MusicModule, nullptr);
}

TEST_F(EngineSets, ASetNameWithoutADotKeepsItsProgressInADotProgressFile)
{
    WriteThree("NoDot");
    E().LoadLevelSet("NoDot");
    EXPECT_TRUE(fs::is_regular_file(H->ProgramFile(".Progress")));
    EXPECT_EQ(E().ProgressFileName(), H->ProgramFile(".Progress"));
}

TEST_F(EngineSets, APackagedSolutionReplays)
{
    tHarnessOptions options;
    std::string record = "TeskRecord";
    for (const int32_t v : {1, 10, 10})
        for (int k = 0; k < 4; ++k)
            record += static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    record[10] = 2;
    options.Files["Solutions/Levels/A.Solution"] = record;
    H.reset();
    H = std::make_unique<tEngineHarness>(options);
    WriteThree();
    E().LoadLevelSet("Three.set");
    H->StartEntry(0);
    H->Type("brackle");
    EXPECT_TRUE(E().RestartRequested);
    EXPECT_EQ(Recorder.State(), rsPlaying);
    EXPECT_EQ(Recorder.Length(), 2);
    Recorder.Clear();
}

TEST(EngineMusic, TheMusicIsFreedAndLoadedAgainForAnAudioRestart)
{
    tHarnessOptions options;
    options.RealArt = true;
    tEngineHarness h(options);
    h.E().SetMusic("AncientStories2.xm");
    ASSERT_NE(h.E().MusicModule, nullptr);
    EXPECT_EQ(h.E().MusicName, "AncientStories2.xm");
    const std::string name = h.E().MusicName;
    h.E().SetMusic("");
    EXPECT_EQ(h.E().MusicModule, nullptr);
    EXPECT_EQ(h.E().MusicName, "");
    h.E().SetMusic(name);
    EXPECT_NE(h.E().MusicModule, nullptr);
    h.E().SetMusic("Missing.xm");
    EXPECT_EQ(h.E().MusicModule, nullptr);
}

} // namespace
