// The blank level the editor's New loads, as the package carries it: it reads, holds the
// hero alone and no title, and the engine gives it as "Untitled". The level set itself is
// checked as shipped by the level tools' check (tests/tools/levels).
#include <gtest/gtest.h>

#include "tesk/game/Levels.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/TestGameLevel.h"
#include "tests/tesk/game/EngineHarness.h"
#include "tests/tesk/game/TestUnits.h"

TEST(PackagedLevels, TheBlankLevelReadsWithTheHeroAlone)
{
    ResetPackageFiles(TP_BIN_DIR);
    AddPackage(std::string(TP_BIN_DIR) + "/Base.Tarvol");
    RegisterTestKinds();
    {
        tLevel blank;
        TestGameLevel use(blank);
        ASSERT_NO_THROW(blank.LoadFromFile("Blank.map"));
        EXPECT_NE(blank.Player, nullptr);
        EXPECT_EQ(blank.UnitList.Count(), 1);
        EXPECT_TRUE(blank.Title.empty());
    }
    UnitKinds.clear();
    ResetPackageFiles();
}

TEST(PackagedLevels, TheEngineGivesTheBlankLevelAsUntitled)
{
    tHarnessOptions options;
    options.RealArt = true;
    tEngineHarness h(options);
    EXPECT_NO_THROW(h.E().NewLevel());
    EXPECT_EQ(h.E().LevelFileName, "Untitled");
    EXPECT_NE(h.E().Level.Player, nullptr);
}
