// Problem reports are kept once per text for the main window, and the program folder can
// be moved to a scratch folder for tests.
#include <gtest/gtest.h>

#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/ScratchProgram.h"

TEST(ReportProblem, ATextIsKeptOnceHoweverOftenItIsReported)
{
    ForgetReportedProblems();
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i)
        ReportProblem("Cannot write Gromble.Progress");
    ReportProblem("Another one");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(TakeReportedProblems(), (std::vector<std::string>{"Cannot write Gromble.Progress", "Another one"}));
    EXPECT_TRUE(TakeReportedProblems().empty());
    // Every report reaches standard error at once.
    size_t count = 0;
    for (size_t at = err.find("Cannot write"); at != std::string::npos; at = err.find("Cannot write", at + 1))
        ++count;
    EXPECT_EQ(count, 3u);
    // Once taken, the same text is not kept again in this run.
    ReportProblem("Another one");
    EXPECT_TRUE(TakeReportedProblems().empty());
    ForgetReportedProblems();
}

TEST(ProgramFolder, TheTestOverrideMovesTheProgramFolderAndTheDataLookups)
{
    const std::string normal = ApplicationDir();
    {
        ScratchProgramDir dir(false);
        dir.Write("Loose.txt", "x");
        ProgramDirOverride use(dir.Path());
        EXPECT_EQ(ApplicationDir(), dir.Path());
        EXPECT_TRUE(PackageFileExists("Loose.txt"));
    }
    EXPECT_EQ(ApplicationDir(), normal);
    EXPECT_FALSE(PackageFileExists("Loose.txt"));
}
