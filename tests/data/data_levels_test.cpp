// The level set and the levels the package carries: every level of "Gromble.set" and
// "Blank.map" reads without an error, each with a title and one hero.
#include <gtest/gtest.h>

#include "platform/StringList.h"
#include "tesk/game/Levels.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/TestGameLevel.h"
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
