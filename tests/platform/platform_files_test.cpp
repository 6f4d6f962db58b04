#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/ScratchDir.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    ScratchDir Dir;
    std::string At(const std::string& windowsName) const { return Dir.Path() + "\\" + windowsName; }
};

TEST_F(FilesTest, FindsEachComponentWhateverItsCaseAndSeparator)
{
    Dir.Write("Base/Music/Song.MOD", "m");
    Dir.Write("levels/Level1.map", "l");
    struct Case {
        const char* asked;
        const char* real; // relative to the scratch folder; nullptr: not an existing file
    };
    const Case cases[] = {
        {"Base\\Music\\Song.MOD", "Base/Music/Song.MOD"},
        {"base\\music\\song.mod", "Base/Music/Song.MOD"},
        {"BASE/MUSIC\\SONG.mod", "Base/Music/Song.MOD"},
        {"Base\\\\Music//Song.MOD", "Base/Music/Song.MOD"},
        {"LEVELS\\level1.MAP", "levels/Level1.map"},
        {"levels\\.\\Level1.map", "levels/./Level1.map"},
        {"Base\\Music\\..\\..\\levels\\level1.map", "Base/Music/../../levels/Level1.map"},
        {"levels\\Level2.map", nullptr},
        {"Base\\Music", nullptr}, // a folder is not a file
        {"Base\\Music\\Song.MOD\\", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(FileExists(At(c.asked)), c.real != nullptr);
        if (c.real) {
            EXPECT_EQ(ResolvePath(At(c.asked)), Dir / c.real);
        }
    }
    EXPECT_TRUE(DirectoryExists(At("BASE\\music")));
    EXPECT_TRUE(DirectoryExists(At("BASE\\music\\")));
    EXPECT_FALSE(DirectoryExists(At("Base\\Music\\Song.MOD")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_EQ(FileSizeOf(At("base\\music\\song.mod")), 1);
    EXPECT_EQ(FileSizeOf(At("base\\music")), -1);
}

TEST_F(FilesTest, MissingComponentsKeepTheirSpellingAfterTheLastFoundOne)
{
    Dir.Write("Base/x", "");
    EXPECT_EQ(ResolvePath(At("BASE\\New\\Deeper\\File.TXT")), Dir / "Base/New/Deeper/File.TXT");
    EXPECT_EQ(ResolvePath("relative\\name"), "relative/name");
    EXPECT_EQ(ResolvePath(""), "");
}

TEST_F(FilesTest, SeveralNamesEqualUpToCaseResolveToTheSameOneEveryTime)
{
    Dir.Write("dup/abc", "lower");
    Dir.Write("dup/ABC", "upper");
    Dir.Write("dup/Abc", "mixed");
    // An exact spelling wins; otherwise the byte-wise first ("ABC" < "Abc" < "abc").
    EXPECT_EQ(ResolvePath(At("dup\\abc")), Dir / "dup/abc");
    EXPECT_EQ(ResolvePath(At("dup\\Abc")), Dir / "dup/Abc");
    EXPECT_EQ(ResolvePath(At("dup\\aBC")), Dir / "dup/ABC");
    EXPECT_EQ(ResolvePath(At("DUP\\abC")), Dir / "dup/ABC");
}

TEST_F(FilesTest, FifosAndDevicesAreNotFiles)
{
    ASSERT_EQ(mkfifo((Dir / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(FileExists(At("PIPE")));
    EXPECT_FALSE(DirectoryExists(At("pipe")));
    EXPECT_FALSE(DeleteFile(At("pipe")));
    EXPECT_FALSE(FileExists("/dev/null"));
    EXPECT_EQ(FileSizeOf("/dev/null"), -1);
    EXPECT_TRUE(DirectoryExists("\\"));
}

TEST_F(FilesTest, NamesWithANulByteNameNothing)
{
    Dir.Write("a", "a");
    const std::string nul = Dir / std::string("a\0b", 3);
    EXPECT_FALSE(FileExists(nul));
    EXPECT_FALSE(CreateDir(nul));
    EXPECT_FALSE(DeleteFile(nul));
    EXPECT_FALSE(RenameFile(nul, Dir / "c"));
    EXPECT_FALSE(RenameFile(Dir / "a", nul));
    EXPECT_TRUE(FileExists(Dir / "a"));
}

TEST_F(FilesTest, CreatesDeletesAndRenamesThroughCaselessNames)
{
    Dir.Write("Saves/old.txt", "x");
    EXPECT_TRUE(CreateDir(At("SAVES\\Slot")));
    EXPECT_TRUE(DirectoryExists(Dir / "Saves/Slot"));
    EXPECT_FALSE(CreateDir(At("saves\\slot"))); // already there
    EXPECT_FALSE(CreateDir(At("nothere\\sub"))); // no parent

    EXPECT_TRUE(ForceDirectories(At("saves\\A\\B\\C\\")));
    EXPECT_TRUE(DirectoryExists(Dir / "Saves/A/B/C"));
    EXPECT_TRUE(ForceDirectories(At("SAVES\\a\\b")));
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_FALSE(ForceDirectories(At("saves\\old.txt\\sub"))); // a file in the way

    // Renaming onto a file of another spelling replaces it instead of adding a second.
    Dir.Write("Saves/Config.cfg", "old");
    Dir.Write("new.cfg", "new");
    EXPECT_TRUE(RenameFile(At("NEW.CFG"), At("saves\\CONFIG.CFG")));
    EXPECT_EQ(ScratchDir::Read(Dir / "Saves/Config.cfg"), "new");
    EXPECT_FALSE(FileExists(Dir / "new.cfg"));
    EXPECT_FALSE(RenameFile(At("missing"), At("other")));

    EXPECT_TRUE(DeleteFile(At("saves\\OLD.TXT")));
    EXPECT_FALSE(FileExists(Dir / "Saves/old.txt"));
    EXPECT_FALSE(DeleteFile(At("saves\\old.txt")));
    EXPECT_FALSE(DeleteFile(At("saves\\slot"))); // folders are not deleted as files
    EXPECT_TRUE(RemoveDir(At("saves\\slot")));
    EXPECT_FALSE(DirectoryExists(Dir / "Saves/Slot"));
}

// Folders that have not changed for a while have their listings remembered; every change
// made afterwards must still be seen at once.
TEST_F(FilesTest, ChangesToRememberedFoldersAreSeenAtOnce)
{
    Dir.Write("Old/Data/Level.map", "x");
    const auto age = [&](const std::string& relative) {
        const timespec past[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (Dir / relative).c_str(), past, 0), 0);
    };
    age("Old/Data");
    age("Old");
    age("");
    for (int round = 0; round < 2; ++round) { // the second round runs on remembered listings
        EXPECT_TRUE(FileExists(At("OLD\\data\\LEVEL.MAP")));
        EXPECT_FALSE(FileExists(At("old\\data\\new.map")));
        EXPECT_FALSE(FileExists(At("old\\Base\\x")));
    }
    Dir.Write("Old/Data/New.map", "n");
    EXPECT_TRUE(FileExists(At("old\\data\\new.map")));
    ASSERT_TRUE(CreateDir(Dir / "Old/Base"));
    Dir.Write("Old/Base/x", "x");
    EXPECT_TRUE(FileExists(At("old\\base\\X")));
    age("Old/Data");
    EXPECT_TRUE(FileExists(At("old\\data\\level.map")));
    std::filesystem::remove(Dir / "Old/Data/Level.map");
    EXPECT_FALSE(FileExists(At("old\\data\\level.map")));
    // An exact spelling that appears beside a remembered case variant wins at once.
    Dir.Write("Old/Maps/a.map", "lower");
    age("Old/Maps");
    age("Old");
    EXPECT_EQ(ResolvePath(At("old\\MAPS\\a.map")), Dir / "Old/Maps/a.map");
    EXPECT_EQ(ResolvePath(At("old\\MAPS\\a.map")), Dir / "Old/Maps/a.map");
    Dir.Write("Old/MAPS/a.map", "upper");
    EXPECT_EQ(ResolvePath(At("old\\MAPS\\a.map")), Dir / "Old/MAPS/a.map");
    // A folder replaced by another of the same name.
    age("Old/Data");
    EXPECT_TRUE(FileExists(At("old\\data\\new.map")));
    std::filesystem::rename(Dir / "Old/Data", Dir / "Old/Gone");
    std::filesystem::create_directories(Dir / "Old/data");
    EXPECT_FALSE(FileExists(At("old\\data\\new.map")));
    EXPECT_TRUE(FileExists(At("old\\gone\\new.map")));
}

TEST_F(FilesTest, FirstExistingFileTakesTheFirstRegularFileInOrder)
{
    Dir.Write("b/File", "b");
    Dir.Write("c/FILE", "c");
    ASSERT_TRUE(CreateDir(Dir / "a"));
    ASSERT_TRUE(CreateDir(Dir / "a/file"));
    std::string found;
    EXPECT_EQ(FirstExistingFile({At("a\\file"), At("B\\file"), At("c\\file")}, &found), 1);
    EXPECT_EQ(found, Dir / "b/File");
    EXPECT_EQ(FirstExistingFile({At("a\\file"), At("x\\file")}), -1);
    EXPECT_EQ(FirstExistingFile({}), -1);
}

// A remembered search must not outlive what it saw: a name that was something other than
// a regular file may become one without any folder it passed through changing.
TEST_F(FilesTest, RememberedSearchesSeeFilesBehindLinks)
{
    Dir.Write("b/File", "b");
    std::filesystem::create_directories(Dir / "other/t");
    std::filesystem::create_directory_symlink(Dir / "other/t", Dir / "link");
    for (const char* folder : {"", "b", "other"}) {
        const timespec past[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (Dir / folder).c_str(), past, 0), 0);
    }
    const std::vector<std::string> names{At("link"), At("B\\FILE")};
    std::string found;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(FirstExistingFile(names, &found), 1);
        EXPECT_EQ(found, Dir / "b/File");
    }
    std::filesystem::remove(Dir / "other/t");
    Dir.Write("other/t", "t");
    EXPECT_EQ(FirstExistingFile(names, &found), 0);
    EXPECT_EQ(found, Dir / "link");
    std::filesystem::remove(Dir / "other/t");
    EXPECT_EQ(FirstExistingFile(names, &found), 1);
}

TEST(FileNameParts, SplitAtEitherSeparator)
{
    struct Case {
        const char* name;
        const char* path;
        const char* dir;
        const char* file;
        const char* ext;
    };
    const Case cases[] = {
        {"C:\\Games\\Tesk\\Base.Tarvol", "C:\\Games\\Tesk\\", "C:\\Games\\Tesk", "Base.Tarvol", ".Tarvol"},
        {"levels/set.v2\\Level1", "levels/set.v2\\", "levels/set.v2", "Level1", ""},
        {"Config.cfg", "", "", "Config.cfg", ".cfg"},
        {"\\x.a.b", "\\", "\\", "x.a.b", ".b"},
        {"dir\\", "dir\\", "dir", "", ""},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExtractFilePath(c.name), c.path);
        EXPECT_EQ(ExtractFileDir(c.name), c.dir);
        EXPECT_EQ(ExtractFileName(c.name), c.file);
        EXPECT_EQ(ExtractFileExt(c.name), c.ext);
    }
    EXPECT_EQ(ChangeFileExt("Sets\\Gromble.set", ".prg"), "Sets\\Gromble.prg");
    EXPECT_EQ(ChangeFileExt("a.b\\noext", ".x"), "a.b\\noext.x");
    EXPECT_EQ(IncludeTrailingPathDelimiter("dir"), "dir\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter("dir/"), "dir/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("dir\\/"), "dir");
    EXPECT_EQ(ExpandFileName("/a/b\\..\\c/./d"), "/a/c/d");
    EXPECT_EQ(ExpandFileName("\\..\\.."), "/");
}

} // namespace
