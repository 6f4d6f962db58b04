// Pelvo starts headless, opens its main form and stops cleanly when it is closed.
#include <gtest/gtest.h>

#include "tests/support/RunProgram.h"

TEST(PelvoStartStop, StopsCleanlyOnAWindowClose)
{
    const ProgramRun run = RunProgram(std::string(TP_BIN_DIR) + "/pelvo", {},
                                      {"QT_QPA_PLATFORM=offscreen", "TP_AUTOCLOSE_MS=200"});
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_EQ(run.Stderr.find("[message box]"), std::string::npos) << "an error was shown: " << run.Stderr;
    EXPECT_NE(run.Stderr.find("main form \"Pelvo\" 604x419 visible"), std::string::npos) << run.Stderr;
}
