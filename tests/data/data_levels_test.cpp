// The level set and the levels the package carries: every level of "Gromble.set" and
// "Blank.map" reads without an error, each with a title and one hero.
#include <gtest/gtest.h>

#include "platform/StringList.h"
#include "tesk/game/Levels.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/TestGameLevel.h"
#include "tests/tesk/game/EngineHarness.h"
#include "tests/tesk/game/TestUnits.h"

namespace {

class PackagedLevels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPackageFiles(TP_BIN_DIR);
        AddPackage(std::string(TP_BIN_DIR) + "/Base.Tarvol");
        RegisterTestKinds();
    }
    void TearDown() override
    {
        UnitKinds.clear();
        ResetPackageFiles();
    }
    static std::vector<std::string> SetLines()
    {
        auto stream = OpenPackageFile("Gromble.set");
        TStringList lines;
        lines.LoadFromStream(*stream);
        std::vector<std::string> out;
        for (int i = 0; i < lines.Count(); ++i)
            out.push_back(lines[i]);
        return out;
    }
};

TEST_F(PackagedLevels, EveryLevelOfTheSetAndTheBlankLevelLoads)
{
    const std::vector<std::string> entries = SetLines();
    ASSERT_EQ(entries.size(), 3u);
    for (const std::string& entry : entries) {
        SCOPED_TRACE(entry);
        EXPECT_EQ(TextBeforeFirst(entry, CharSet(" ")), "Level");
        const std::string file = TextAfterFirst(entry, CharSet(" "));
        EXPECT_EQ(file.find(' '), std::string::npos);
        tLevel level;
        TestGameLevel use(level);
        ASSERT_NO_THROW(level.LoadFromFile(file));
        EXPECT_FALSE(level.Title.empty());
        EXPECT_EQ(level.Background, "Morrowfinch.jpg");
        EXPECT_EQ(level.TileSet, "BasicTiles.jpg");
        EXPECT_EQ(level.OverlayTileSet, "BasicOverlay.jpg");
        EXPECT_NE(level.Player, nullptr);
    }
    tLevel blank;
    TestGameLevel use(blank);
    ASSERT_NO_THROW(blank.LoadFromFile("Blank.map"));
    EXPECT_NE(blank.Player, nullptr);
    EXPECT_EQ(blank.UnitList.Count(), 1);
    EXPECT_TRUE(blank.Title.empty());
}

// The engine loads the built set with its titles, and every level and the blank level
// with their pictures (kinds not registered here are skipped, as the reader does).
TEST(PackagedSet, TheEngineLoadsTheSetAndEveryLevel)
{
    tHarnessOptions options;
    options.RealArt = true;
    tEngineHarness h(options);
    h.E().LoadLevelSet("Gromble.set");
    ASSERT_EQ(h.E().LevelSet.Count(), 3);
    for (int i = 0; i < h.E().LevelSet.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(h.E().LevelTitles[i].empty());
        EXPECT_TRUE(h.E().IsLevelEntry(i));
        const std::string file = TextAfterFirst(h.E().LevelSet[i], CharSet(" "));
        EXPECT_NO_THROW(h.E().LoadLevel(file));
        EXPECT_NE(h.E().Level.Player, nullptr);
    }
    EXPECT_NO_THROW(h.E().NewLevel());
    EXPECT_EQ(h.E().LevelFileName, "Untitled");
    EXPECT_NE(h.E().Level.Player, nullptr);
}

TEST_F(PackagedLevels, TheSetFileHasCrLfLinesAndNoBlankLine)
{
    auto stream = OpenPackageFile("Gromble.set");
    std::string text(static_cast<size_t>(stream->Size()), '\0');
    stream->ReadBuffer(text.data(), static_cast<int32_t>(text.size()));
    EXPECT_EQ(text.find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Video"), std::string::npos);
    size_t lf = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ++lf;
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r');
        }
    EXPECT_EQ(lf, 3u);
}

} // namespace
