// Tesk starts headless, shows its main window and stops cleanly, by its private close
// message and by a close of the window.
#include <gtest/gtest.h>

#include <csignal>

#include <ostream>

#include "tests/support/RunProgram.h"

struct StopCase {
    const char* name;
    std::vector<std::string> env;
};
void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }


class TeskStartStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(TeskStartStop, StopsCleanly)
{
    std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy"};
    env.insert(env.end(), GetParam().env.begin(), GetParam().env.end());
    const ProgramRun run = RunProgram(std::string(TP_BIN_DIR) + "/tesk", {}, env);
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_EQ(run.Stderr.find("[message box]"), std::string::npos) << "an error was shown: " << run.Stderr;
    EXPECT_NE(run.Stderr.find("[autoclose] title \"Gromble\" main form \"\" 640x480 visible"), std::string::npos)
        << run.Stderr;
}

INSTANTIATE_TEST_SUITE_P(Ways, TeskStartStop, ::testing::Values(
    StopCase{"CloseGameMessage", {"TP_AUTOCLOSE_MS=200", "TP_AUTOCLOSE_MESSAGE=0x7819"}},
    StopCase{"WindowClose", {"TP_AUTOCLOSE_MS=200"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Ctrl+C or a logout closes the window as its close button would: a clean end.
TEST(TeskStartStop, ATerminationSignalClosesTheMainWindow)
{
    for (int sig : {SIGINT, SIGTERM}) {
        const ProgramRun run = RunProgram(std::string(TP_BIN_DIR) + "/tesk", {},
                                          {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", "TP_REPORT_RUNNING=1"},
                                          60, sig, "[running]");
        EXPECT_EQ(UncleanStop(run), "") << "signal " << sig << ": " << run.Stderr;
    }
}
