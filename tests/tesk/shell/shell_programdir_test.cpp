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
    // The program's own folder is then the program folder: a link to the program in a
    // scratch folder, so that the settings it writes stay out of the build.
    ScratchProgramDir dir;
    const std::string program = dir / "tesk";
    std::error_code ec;
    std::filesystem::create_hard_link(std::string(TP_BIN_DIR) + "/tesk", program, ec);
    if (ec)
        std::filesystem::copy_file(std::string(TP_BIN_DIR) + "/tesk", program);
    const ProgramRun run = RunProgram(program, {},
                                      {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", "TP_AUTOCLOSE_MS=200",
                                       "TP_PROGRAM_DIR=" + dir.Path() + "/none"});
    EXPECT_TRUE(std::filesystem::exists(dir / "Config.cfg"));
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_NE(run.Stderr.find("TP_PROGRAM_DIR names no folder"), std::string::npos) << run.Stderr;
}
