// Tesk runs over a scratch program folder named by TP_PROGRAM_DIR and stops cleanly.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/RunProgram.h"
#include "tests/support/ScratchProgram.h"

TEST(TeskProgramFolder, StartsOverAScratchFolderAndStopsCleanly)
{
    ScratchProgramDir dir;
    const ProgramRun run = RunProgram(std::string(TP_BIN_DIR) + "/tesk", {},
                                      {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", "TP_AUTOCLOSE_MS=200",
                                       dir.Environment()});
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_EQ(run.Stderr.find("TP_PROGRAM_DIR"), std::string::npos) << run.Stderr;
}

TEST(TeskProgramFolder, AFolderThatDoesNotExistIsIgnoredWithOneLine)
{
    ScratchDir dir;
    const ProgramRun run = RunProgram(std::string(TP_BIN_DIR) + "/tesk", {},
                                      {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", "TP_AUTOCLOSE_MS=200",
                                       "TP_PROGRAM_DIR=" + dir.Path() + "/none"});
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_NE(run.Stderr.find("TP_PROGRAM_DIR names no folder"), std::string::npos) << run.Stderr;
}
