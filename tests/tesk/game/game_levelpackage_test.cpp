// Level and record files read through the packaged-file system and written to disk.
#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>

#include "TestUnits.h"
#include "tesk/game/LevelRecorder.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipBuilder.h"
#include "tests/support/TestGameLevel.h"

namespace {

const char* const LevelText =
    "[Misc]\r\nBackground=Morrowfinch.jpg\r\nTileSet=BasicTiles.jpg\r\nOverlayTileSet=BasicOverlay.jpg\r\n"
    "Title=Packed\r\n[Units]\r\nBegin Player\r\n   InitialDirection = Up\r\n   InitialX = 4\r\n   InitialY = 2\r\n"
    "End Player\r\n";

class LevelPackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestKinds();
        useLevel.emplace(level);
        ResetPackageFiles(App.Path());
    }
    void TearDown() override
    {
        ResetPackageFiles();
        useLevel.reset();
    }

    ScratchDir App;
    tLevel level;
    std::optional<TestGameLevel> useLevel;
};

TEST_F(LevelPackageTest, LevelsLoadFromAPackageAndSaveToDisk)
{
    App.Write("Base.Tarvol", BuildZip({ZipMember("Levels/First.map", LevelText)}));
    AddPackage(App.Path() + "\\Base.Tarvol");
    level.LoadFromFile("levels\\FIRST.map");
    EXPECT_EQ(level.Title, "Packed");
    ASSERT_NE(level.Player, nullptr);
    EXPECT_EQ(level.Player->InitialX, 4);

    level.SaveToFile(App / "Saved.map");
    const std::string saved = ScratchDir::Read(App / "Saved.map");
    EXPECT_NE(saved.find("\r\n[Units]\r\nBegin Player\r\n   InitialDirection = Up\r\n   InitialX = 4\r\n"),
              std::string::npos);
    // A loose file beside the program overrides the packaged one.
    tLevel again;
    App.Write("Levels/First.map", saved);
    again.LoadFromFile("Levels/First.map");
    std::vector<std::string> a;
    std::vector<std::string> b;
    level.WriteLevelText(a);
    again.WriteLevelText(b);
    EXPECT_EQ(a, b);
}

TEST_F(LevelPackageTest, AMissingLevelFailsBeforeTheLevelChanges)
{
    App.Write("Here.map", LevelText);
    level.LoadFromFile("Here.map");
    EXPECT_THROW(level.LoadFromFile("Nowhere.map"), EFileMissing);
    EXPECT_EQ(level.Title, "Packed");
    EXPECT_EQ(level.UnitList.Count(), 1);
    EXPECT_NE(level.Player, nullptr);
}

TEST_F(LevelPackageTest, SavingIntoAMissingFolderFailsAndKeepsTheOldFile)
{
    App.Write("Keep.map", LevelText);
    level.LoadFromFile("Keep.map");
    EXPECT_THROW(level.SaveToFile(App / "No/Such/Folder/x.map"), Exception);
    chmod(App.Path().c_str(), 0500);
    if (access((App / "probe").c_str(), W_OK) != 0 && geteuid() != 0) {
        EXPECT_THROW(level.SaveToFile(App / "Keep.map"), Exception);
    }
    chmod(App.Path().c_str(), 0700);
    EXPECT_EQ(ScratchDir::Read(App / "Keep.map"), LevelText);
}

TEST_F(LevelPackageTest, RecordFilesLoadFromPackagesAndSaveToDisk)
{
    tRecorder r;
    r.StartRecording();
    for (int32_t v : {3, 5, 8})
        r.RecordValue(v);
    r.Stop();
    r.SaveToFile(App / "Level1.Solution");
    const std::string bytes = ScratchDir::Read(App / "Level1.Solution");
    EXPECT_EQ(bytes.size(), 26u);
    App.Write("Sol.Tarvol", BuildZip({ZipMember("Solutions/Level1.Solution", bytes)}));
    AddPackage(App.Path() + "\\Sol.Tarvol");
    tRecorder loaded;
    loaded.LoadFromFile("Solutions\\level1.solution");
    EXPECT_EQ(loaded.Length(), 3);
    EXPECT_EQ(loaded.Value(2), 8);
    EXPECT_THROW(loaded.LoadFromFile("Solutions\\Missing.Solution"), EFileMissing);
    EXPECT_EQ(loaded.Length(), 3);
}

}  // namespace
