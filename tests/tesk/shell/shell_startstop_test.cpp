// The built program, started headless over a scratch program folder: it stops cleanly by
// its private close message, a close of its window and the termination signals, however
// early they come; a damaged package ends it with one box and status 1.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <ostream>

#include "platform/Forms.h"
#include "tests/support/ZipBuilder.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

struct StopCase {
    const char* name;
    std::vector<std::string> env;
};
void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class TeskStartStop : public ::testing::TestWithParam<StopCase> {};

int MessageBoxes(const std::string& stderrText)
{
    int n = 0;
    for (size_t at = stderrText.find("[message box]"); at != std::string::npos;
         at = stderrText.find("[message box]", at + 1))
        ++n;
    return n;
}

} // namespace

TEST_P(TeskStartStop, StopsCleanly)
{
    ScratchProgramDir dir;
    const ProgramRun run = RunTesk(dir, {}, GetParam().env);
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_EQ(MessageBoxes(run.Stderr), 0) << run.Stderr;
    EXPECT_NE(run.Stderr.find("[autoclose] title \"Gromble\" main form \"\" "), std::string::npos) << run.Stderr;
    // A first start without settings is full screen.
    EXPECT_NE(ScratchDir::Read(dir / "Config.cfg").find("FullScreen=True\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Ways, TeskStartStop, ::testing::Values(
    StopCase{"CloseGameMessage", {"TP_AUTOCLOSE_MS=300", "TP_AUTOCLOSE_MESSAGE=0x7819"}},
    StopCase{"WindowClose", {"TP_AUTOCLOSE_MS=300"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Ctrl+C or a logout closes the window as its close button would: a clean end, with the
// settings written.
TEST(TeskStartStop, ATerminationSignalDuringPlayClosesTheWindowAndWritesTheSettings)
{
    for (int sig : {SIGINT, SIGTERM}) {
        ScratchProgramDir dir;
        dir.Write("Config.cfg", "BitBlt=True\r\n");
        const ProgramRun run = RunTesk(dir, {}, {"TP_REPORT_RUNNING=1"}, 60, sig, "[running]", 300);
        EXPECT_EQ(UncleanStop(run), "") << "signal " << sig << ": " << run.Stderr;
        EXPECT_NE(ScratchDir::Read(dir / "Config.cfg").find("BitBlt=True\r\n"), std::string::npos);
        EXPECT_NE(ScratchDir::Read(dir / "Config.cfg").find("SoundOn=True\r\n"), std::string::npos);
    }
}

// A close asked for while the program is still starting is carried out once it can be.
// (A lost one would leave the program running. Each way is a test of its own, so that a
// loaded machine only has to start the program once within a test's time; a clean end
// takes about two seconds, the limit allows for a machine many times slower.)
namespace {

struct EarlyClose {
    const char* Name;
    int SignalAfterMs;            // SIGTERM that long after the start; -1: none
    std::string AutoCloseMs;      // TP_AUTOCLOSE_MS; empty: none
    bool DuringDisplayQuestion;   // a desktop of 24 bits, windowed DirectDraw
};
void PrintTo(const EarlyClose& c, std::ostream* os) { *os << c.Name; }

class EarlyCloses : public ::testing::TestWithParam<EarlyClose> {};

} // namespace

TEST_P(EarlyCloses, ACloseThatArrivesEarlyIsNeverLost)
{
    constexpr int Limit = 150;
    const EarlyClose& c = GetParam();
    ScratchProgramDir dir;
    ProgramRun run;
    if (c.DuringDisplayQuestion) {
        // The question is closed unanswered, set-up goes on and the program ends.
        dir.Write("Config.cfg", "FullScreen=False\r\n");
        run = RunTesk(dir, {}, {"TP_DESKTOP_DEPTH=24", "TP_REPORT_RUNNING=1"}, Limit, SIGTERM, "[running]",
                      c.SignalAfterMs);
    } else if (!c.AutoCloseMs.empty()) {
        run = RunTesk(dir, {}, {"TP_AUTOCLOSE_MS=" + c.AutoCloseMs}, Limit);
    } else {
        run = RunTesk(dir, {}, {}, Limit, SIGTERM, "", c.SignalAfterMs);
    }
    EXPECT_EQ(UncleanStop(run), "") << c.Name << ": " << run.Stderr;
    if (!c.AutoCloseMs.empty()) {
        EXPECT_TRUE(std::filesystem::exists(dir / "Config.cfg")) << c.Name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    TeskStartStop, EarlyCloses,
    ::testing::Values(EarlyClose{"SigtermAtOnce", 0, "", false}, EarlyClose{"SigtermAfter10ms", 10, "", false},
                      EarlyClose{"SigtermAfter20ms", 20, "", false}, EarlyClose{"SigtermAfter50ms", 50, "", false},
                      EarlyClose{"SigtermAfter200ms", 200, "", false},
                      EarlyClose{"SigtermDuringTheDisplayQuestion", 500, "", true},
                      EarlyClose{"AutoCloseAfter1ms", -1, "1", false}, EarlyClose{"AutoCloseAfter5ms", -1, "5", false},
                      EarlyClose{"AutoCloseAfter50ms", -1, "50", false}),
    [](const auto& info) { return std::string(info.param.Name); });

namespace {

std::string BuiltPackageBytes() { return ScratchDir::Read(ScratchProgramDir::BuiltPackage()); }

struct PackageCase {
    const char* name;
    std::string (*bytes)();
};
void PrintTo(const PackageCase& c, std::ostream* os) { *os << c.name; }

class DamagedPackage : public ::testing::TestWithParam<PackageCase> {};

} // namespace

TEST_P(DamagedPackage, EndsTheStartWithOneBoxAndStatusOne)
{
    ScratchProgramDir dir(false);
    dir.Write("Base.Tarvol", GetParam().bytes());
    const ProgramRun run = RunTesk(dir, {}, {"TP_AUTOCLOSE_MS=3000"}, 30);
    EXPECT_EQ(run.ExitCode, 1) << run.Stderr;
    EXPECT_EQ(run.Signal, 0);
    EXPECT_EQ(run.Stderr.find("Sanitizer"), std::string::npos) << run.Stderr;
    EXPECT_EQ(run.Stderr.find("runtime error"), std::string::npos) << run.Stderr;
    EXPECT_EQ(MessageBoxes(run.Stderr), 1) << run.Stderr;
    EXPECT_FALSE(std::filesystem::exists(dir / "Config.cfg"));
}

INSTANTIATE_TEST_SUITE_P(
    Packages, DamagedPackage,
    ::testing::Values(PackageCase{"NotAZip", [] { return std::string("This is not an archive at all.\r\n"); }},
                      PackageCase{"Truncated",
                                  [] {
                                      const std::string all = BuiltPackageBytes();
                                      return all.substr(0, all.size() / 2);
                                  }},
                      PackageCase{"WithAnArchiveComment",
                                  [] {
                                      std::string all = BuiltPackageBytes();
                                      const std::string comment = "A comment after the directory";
                                      // The end record's comment length (its last field).
                                      all[all.size() - 2] = static_cast<char>(comment.size());
                                      all[all.size() - 1] = 0;
                                      return all + comment;
                                  }}),
    [](const auto& info) { return std::string(info.param.name); });
