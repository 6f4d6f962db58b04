// Every file the game writes (the settings, the progress, a solution, a save slot, a
// level) on a full disk and past the file-size limit: the message names the file and the
// reason in words, the file as it was stays byte for byte, and no temporary file is left.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>

#include "tesk/game/LevelRecorder.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/shell/ConfigFile.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

enum class tCondition { FullDisk, SizeLimit };
const char* ConditionName(tCondition c) { return c == tCondition::FullDisk ? "FullDisk" : "SizeLimit"; }

// Files ending in a temporary name of the safe writer, anywhere below the folder.
std::vector<std::string> TemporaryFiles(const std::string& folder)
{
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        if (e.path().filename().string().find(".tmp") != std::string::npos)
            found.push_back(e.path().string());
    return found;
}

// The program folder on a small file system of its own (a tmpfs, where the test may mount
// one), or the platform's injected write failure in its place.
class WriteFailures : public ShellTest, public ::testing::WithParamInterface<tCondition> {
protected:
    void SetUp() override
    {
        ForgetReportedProblems();
        if (mount("tp-test", Dir.Path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=4m") == 0) {
            Mounted = true;
            std::filesystem::create_symlink(ScratchProgramDir::BuiltPackage(), Dir / "Base.Tarvol");
        }
        ShellTest::SetUp();
    }
    void TearDown() override
    {
        EndCondition();
        ShellTest::TearDown();
        if (Mounted)
            umount2(Dir.Path().c_str(), MNT_DETACH);
        ForgetReportedProblems();
    }

    // The disk full, or no file may grow beyond 0 bytes, until EndCondition.
    void BeginCondition()
    {
        if (GetParam() == tCondition::SizeLimit) {
            getrlimit(RLIMIT_FSIZE, &OldLimit);
            rlimit none = OldLimit;
            none.rlim_cur = 0;
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
            Limited = true;
        } else if (Mounted) {
            FILE* filler = std::fopen((Dir / "filler").c_str(), "wb");
            ASSERT_NE(filler, nullptr);
            const std::string block(65536, 'f');
            while (std::fwrite(block.data(), 1, block.size(), filler) == block.size()) {
            }
            std::fclose(filler);
        } else {
            SetFileWriteFailure(ENOSPC);
        }
    }
    void EndCondition()
    {
        if (Limited)
            setrlimit(RLIMIT_FSIZE, &OldLimit);
        Limited = false;
        SetFileWriteFailure(0);
    }
    std::string Reason() const
    {
        return GetParam() == tCondition::SizeLimit ? "File too large" : "No space left on device";
    }

    bool Mounted = false;
    bool Limited = false;
    rlimit OldLimit{};
};

// A writer: the file it writes (in the program folder), and how to make it write;
// the text it shows or raises is returned.
struct tWriter {
    const char* What;
    std::string File;
    std::function<std::string()> Write;
    std::string Shown;  // "<dir>" and "<reason>" stand for the folder and the reason
};

std::string Raised(const std::function<void()>& write)
{
    try {
        write();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

std::string Reported(const std::function<void()>& write)
{
    write();
    std::string text;
    for (const std::string& p : TakeReportedProblems())
        text += p;
    return text;
}

std::string Filled(std::string text, const std::string& dir, const std::string& reason)
{
    for (const auto& [mark, value] : {std::pair<std::string, std::string>{"<dir>", dir}, {"<reason>", reason}})
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark))
            text.replace(at, mark.size(), value);
    return text;
}

} // namespace

TEST_P(WriteFailures, EveryWriterNamesTheFileAndWhyAndKeepsTheOldFile)
{
    WriteFirstSteps(true);
    setenv("TP_START_ENTRY", "0", 1);
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\nMusicVolume=3\r\n");
    Dir.Write("Solutions/Levels/First.Solution", "an older solution");
    Dir.Write("Save/Slot1.sav", "an older slot");
    Dir.Write("Levels/Mine.map", "[Misc]\r\nTitle=An older level\r\n");
    Start();
    unsetenv("TP_START_ENTRY");
    ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
    ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
    MusicVolume = 9;
    Engine->SetLevelStatus(0, 2);
    tSaveSlot slot{false, "NEWER", "Gromble", 0, 0, 0, 0};

    const std::vector<tWriter> writers = {
        {"progress", "Gromble.Progress", [] { return Reported([] { Engine->SaveProgress(); }); },
         "Could not save the progress \"<dir>/Gromble.Progress\": <reason>"},
        {"solution", "Solutions/Levels/First.Solution",
         [] {
             return Reported([] {
                 Recorder.StartRecording();
                 Engine->LevelEndStep();
             });
         },
         "Could not save the solution \"<dir>/Solutions/Levels/First.Solution\": <reason>"},
        {"save slot", "Save/Slot1.sav", [&] { return Raised([&] { SaveSlotRecord(0, slot); }); },
         "Cannot write file \"<dir>\\Save\\Slot1.sav\". <reason>"},
        {"level", "Levels/Mine.map", [&] { return Raised([&] { Engine->Level.SaveToFile(Dir / "Levels/Mine.map"); }); },
         "Cannot write file \"<dir>/Levels/Mine.map\". <reason>"},
        // Last: the settings are written as the window closes.
        {"settings", "Config.cfg",
         [] {
             TestHooks::ClearMessageBoxLog();
             Form1->Close();
             TestHooks::RunPostedMessages();
             const std::vector<std::string> boxes = BoxTexts();
             return boxes.size() == 1 ? boxes[0] : ::testing::PrintToString(boxes);
         },
         "Could not save the settings \"<dir>/Config.cfg\": <reason>"},
    };
    std::map<std::string, std::string> before;
    for (const tWriter& w : writers)
        before[w.File] = ScratchDir::Read(Dir / w.File);
    ASSERT_FALSE(before["Gromble.Progress"].empty());

    BeginCondition();
    for (const tWriter& w : writers) {
        SCOPED_TRACE(w.What);
        EXPECT_EQ(w.Write(), Filled(w.Shown, Dir.Path(), Reason()));
    }
    EndCondition();
    EXPECT_TRUE(Application->Terminated());
    for (const tWriter& w : writers)
        EXPECT_EQ(ScratchDir::Read(Dir / w.File), before[w.File]) << w.File;
    EXPECT_EQ(TemporaryFiles(Dir.Path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Conditions, WriteFailures, ::testing::Values(tCondition::FullDisk, tCondition::SizeLimit),
                         [](const auto& info) { return std::string(ConditionName(info.param)); });

// The whole program under "ulimit -f 0": the signal of the limit does not end it; each
// write fails as an error, is told, and leaves no empty temporary file behind.
TEST(WriteFailuresProgram, UnderAFileSizeLimitTheProgramEndsCleanlyAndKeepsItsSettings)
{
    ScratchProgramDir dir;
    const std::string old = "FullScreen=False\r\nBitBlt=True\r\n";
    dir.Write("Config.cfg", old);
    const ProgramRun run =
        RunProgram("/bin/sh", {"-c", "ulimit -f 0 && exec \"$0\"", std::string(TP_BIN_DIR) + "/tesk"},
                   {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", dir.Environment(), "TP_AUTOCLOSE_MS=1"}, 150);
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_NE(run.Stderr.find("Could not save the progress \"" + dir.Path() + "/Gromble.Progress\": File too large"),
              std::string::npos)
        << run.Stderr;
    EXPECT_NE(run.Stderr.find("Could not save the settings \"" + dir.Path() + "/Config.cfg\": File too large"),
              std::string::npos)
        << run.Stderr;
    EXPECT_EQ(ScratchDir::Read(dir / "Config.cfg"), old);
    EXPECT_EQ(TemporaryFiles(dir.Path()), std::vector<std::string>{});
}
