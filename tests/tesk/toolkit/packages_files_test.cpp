#include "tesk/toolkit/PackageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/Params.h"
#include "tesk/toolkit/Misc.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipBuilder.h"

namespace {

// A program folder of its own with "Base.Tarvol" in it, mounted as the game does.
class PackageFilesTest : public ::testing::Test {
protected:
    ScratchDir App;

    void SetUp() override { ResetPackageFiles(App.Path()); }
    void TearDown() override { ResetPackageFiles(); }

    void Mount(const std::vector<ZipMember>& members, const ZipLayout& layout = {})
    {
        App.Write("Base.Tarvol", BuildZip(members, layout));
        AddPackage(App.Path() + "\\Base.Tarvol");
    }

    static std::string ReadAll(const std::string& name)
    {
        auto s = OpenPackageFile(name);
        std::string out(static_cast<size_t>(s->Size()), '\0');
        s->ReadBuffer(out.data(), static_cast<int32_t>(out.size()));
        return out;
    }
};

TEST_F(PackageFilesTest, LooseFilesOverrideThePackageInSearchOrder)
{
    // Relative to the current directory, as the game names its package.
    ASSERT_TRUE(SetCurrentDir(App.Path()));
    App.Write("Base.Tarvol", BuildZip({
        ZipMember("BasicTiles.jpg", "packaged tiles"),
        ZipMember("Music/Song.mod", "packaged song").Stored(),
        ZipMember("Levels/One.map", "packaged level"),
    }));
    AddPackage("Base.Tarvol");
    ASSERT_EQ(Packages().size(), 1u);
    App.Write("basictiles.JPG", "loose tiles");
    App.Write("Base/BasicTiles.jpg", "base-folder tiles");
    App.Write("Base/music/song.MOD", "base-folder song");
    struct Case {
        const char* name;
        const char* content;
    };
    const Case cases[] = {
        {"BasicTiles.jpg", "loose tiles"},          // program folder beats everything
        {"Music\\Song.mod", "base-folder song"},    // "Base" folder beats the member
        {"levels\\ONE.map", "packaged level"},      // only in the package
        {" Levels/One.map ", "packaged level"},     // blanks around the name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(PackageFileExists(c.name));
        EXPECT_EQ(ReadAll(c.name), c.content);
    }
    std::string name = "music\\song.mod";
    ASSERT_TRUE(FindLooseFile(name));
    EXPECT_EQ(name, App / "Base/music/song.MOD");
    EXPECT_EQ(FindPackageMember("Levels\\One.map"), &Packages()[0]->Entries(2));
    EXPECT_FALSE(PackageFileExists("Nothing.txt"));
    ASSERT_TRUE(SetCurrentDir(StartupDir()));
}

// Lookups remember what they found in folders that have not changed for a while; every
// change to the loose files must still be seen by the very next open. Folders are aged
// (their modification time set an hour back) so that each first lookup is remembered.
TEST_F(PackageFilesTest, LooseFileChangesAreSeenByTheNextOpen)
{
    ASSERT_TRUE(SetCurrentDir(App.Path()));
    App.Write("Base.Tarvol", BuildZip({
        ZipMember("Music/Song.mod", "packaged song"),
        ZipMember("Levels/One.map", "packaged level"),
    }));
    AddPackage("Base.Tarvol");
    const auto age = [&](std::initializer_list<const char*> folders) {
        const timespec past[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        for (const char* folder : folders)
            ASSERT_EQ(utimensat(AT_FDCWD, (App / folder).c_str(), past, 0), 0) << folder;
    };
    const auto looseAt = [](std::string name) { return FindLooseFile(name) ? name : std::string("(none)"); };

    // A loose file added after the name was looked up, in a new subfolder.
    age({""});
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(ReadAll("music\\song.mod"), "packaged song");
    App.Write("Music/Song.mod", "loose song");
    EXPECT_EQ(ReadAll("music\\song.mod"), "loose song");

    // Renamed to another letter case: found under its new name at once.
    age({"", "Music"});
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(looseAt("music\\song.mod"), App / "Music/Song.mod");
    std::filesystem::rename(App / "Music/Song.mod", App / "Music/SONG.MOD");
    EXPECT_EQ(looseAt("music\\song.mod"), App / "Music/SONG.MOD");
    EXPECT_EQ(looseAt("Music\\Song.mod"), App / "Music/SONG.MOD");
    // An exact spelling that appears beside it wins.
    age({"", "Music"});
    EXPECT_EQ(looseAt("Music\\Song.mod"), App / "Music/SONG.MOD");
    App.Write("Music/Song.mod", "exact song");
    EXPECT_EQ(ReadAll("Music\\Song.mod"), "exact song");

    // Removed: the packaged member is read again.
    age({"", "Music"});
    EXPECT_EQ(ReadAll("music\\SONG.mod"), "loose song");
    std::filesystem::remove(App / "Music/SONG.MOD");
    std::filesystem::remove(App / "Music/Song.mod");
    EXPECT_EQ(ReadAll("music\\SONG.mod"), "packaged song");
    EXPECT_TRUE(PackageFileExists("music\\SONG.mod"));

    // A "Base" folder made after the lookup, then a program-folder file that beats it.
    age({"", "Music"});
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(ReadAll("Levels\\One.map"), "packaged level");
    App.Write("base/LEVELS/one.map", "base-folder level");
    EXPECT_EQ(ReadAll("Levels\\One.map"), "base-folder level");
    age({"", "base", "base/LEVELS"});
    EXPECT_EQ(ReadAll("Levels\\One.map"), "base-folder level");
    App.Write("levels/ONE.MAP", "program-folder level");
    EXPECT_EQ(ReadAll("Levels\\One.map"), "program-folder level");
    EXPECT_EQ(looseAt("Levels\\One.map"), App / "levels/ONE.MAP");

    // The "Base" folder replaced by an empty one of the same name: back to the package.
    std::filesystem::remove_all(App / "levels");
    age({"", "base", "base/LEVELS"});
    EXPECT_EQ(ReadAll("Levels\\One.map"), "base-folder level");
    std::filesystem::rename(App / "base", App / "old");
    std::filesystem::create_directories(App / "base/LEVELS");
    EXPECT_EQ(ReadAll("Levels\\One.map"), "packaged level");
    EXPECT_FALSE(PackageFileExists("Levels\\Two.map"));
    ASSERT_TRUE(SetCurrentDir(StartupDir()));
}

TEST_F(PackageFilesTest, WithoutAPackageLooseFilesAreStillFound)
{
    AddPackage(App / "Missing.Tarvol"); // skipped silently
    EXPECT_TRUE(Packages().empty());
    App.Write("Sets/Gromble.set", "set");
    EXPECT_TRUE(PackageFileExists("sets\\gromble.SET"));
    EXPECT_EQ(ReadAll("Sets\\Gromble.set"), "set");
}

TEST_F(PackageFilesTest, AnAbsoluteNameOfAnExistingFileOpensThatFileOnly)
{
    Mount({ZipMember("x.map", "member")});
    ScratchDir elsewhere;
    elsewhere.Write("Mine/x.map", "chosen");
    EXPECT_EQ(ReadAll(elsewhere / "Mine/x.map"), "chosen");
    EXPECT_EQ(ReadAll(elsewhere.Path() + "\\Mine\\X.MAP"), "chosen") << "any separator, any letter case";
    // Relative names keep their search; an absolute name that is no file (missing, a
    // folder) is missing.
    EXPECT_EQ(ReadAll("x.map"), "member");
    App.Write("x.map", "loose");
    EXPECT_EQ(ReadAll("x.map"), "loose");
    for (const std::string& name : {elsewhere / "Mine/y.map", elsewhere / "Mine"})
        EXPECT_THROW(OpenPackageFile(name), EFileMissing) << name;
}

TEST_F(PackageFilesTest, FoldersAndFifosAreNotLooseFiles)
{
    Mount({ZipMember("Thing", "member"), ZipMember("Pipe", "member pipe")});
    ASSERT_TRUE(CreateDir(App / "thing"));
    ASSERT_EQ(mkfifo((App / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReadAll("Thing"), "member");
    EXPECT_EQ(ReadAll("Pipe"), "member pipe");
}

TEST_F(PackageFilesTest, MissingNamesAndWritesRaiseTheirTexts)
{
    Mount({ZipMember("a.txt", "a")});
    try {
        OpenPackageFile("Levels\\Nope.map ");
        FAIL() << "opened";
    } catch (const EFileMissing& e) {
        EXPECT_EQ(e.Message(), "File Missing 'Levels\\Nope.map '.");
    }
    App.Write("loose.txt", "l");
    for (const char* name : {"a.txt", "loose.txt"}) {
        auto s = OpenPackageFile(name);
        try {
            s->Write("x", 1);
            ADD_FAILURE() << name;
        } catch (const EWriteToPackage& e) {
            EXPECT_EQ(e.Message(), "Attempted to write to a Packaged file");
        }
        ClosePackageFile(s);
        EXPECT_EQ(s, nullptr);
    }
    EXPECT_EQ(ScratchDir::Read(App / "loose.txt"), "l");
}

TEST_F(PackageFilesTest, PackagedMembersReadAndSeekInAnyOrder)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += std::to_string(i) + ",";
    Mount({ZipMember("data.csv", text)});
    auto s = OpenPackageFile("DATA.CSV");
    EXPECT_EQ(s->Size(), static_cast<int64_t>(text.size()));
    char buf[20];
    for (int64_t pos : {int64_t(15000), int64_t(3), int64_t(text.size() - 20), int64_t(0), int64_t(9999)}) {
        SCOPED_TRACE(pos);
        s->SetPosition(pos);
        s->ReadBuffer(buf, 20);
        EXPECT_EQ(std::string(buf, 20), text.substr(static_cast<size_t>(pos), 20));
    }
    EXPECT_EQ(s->Seek(-10, soFromEnd), static_cast<int64_t>(text.size() - 10));
    EXPECT_EQ(s->Read(buf, 20), 10);
    tPackageFileStream* raw = OpenPackageFile("data.csv").release();
    ClosePackageFile(raw);
}

TEST_F(PackageFilesTest, SeveralPackagesAreSearchedInMountingOrder)
{
    App.Write("Base.Tarvol", BuildZip({ZipMember("shared.txt", "base")}));
    App.Write("Extra.pack", BuildZip({ZipMember("shared.txt", "extra"), ZipMember("own.txt", "own")}));
    ASSERT_TRUE(SetCurrentDir(App.Path()));
    AddPackage("Base.Tarvol");
    AddPackage("extra.PACK");
    EXPECT_EQ(ReadAll("shared.txt"), "base");
    EXPECT_EQ(ReadAll("own.txt"), "own");
    App.Write("Extra/own.txt", "extra folder"); // each package has its own folder
    EXPECT_EQ(ReadAll("own.txt"), "extra folder");
    ASSERT_TRUE(SetCurrentDir(StartupDir()));
}

TEST_F(PackageFilesTest, ForceDirectoryPathCreatesMissingParents)
{
    ForceDirectoryPath(App.Path() + "\\Solutions\\Gromble\\");
    EXPECT_TRUE(DirectoryExists(App / "Solutions/Gromble"));
    ForceDirectoryPath(App.Path() + "\\SOLUTIONS\\gromble\\Deeper"); // existing part in another case
    EXPECT_TRUE(DirectoryExists(App / "Solutions/Gromble/Deeper"));
    ASSERT_TRUE(SetCurrentDir(App.Path()));
    ForceDirectoryPath("ab\\c"); // short relative names too
    EXPECT_TRUE(DirectoryExists(App / "ab/c"));
    ASSERT_TRUE(SetCurrentDir(StartupDir()));
    App.Write("file", "");
    ForceDirectoryPath(App.Path() + "\\file\\sub"); // cannot be made: ignored
    EXPECT_FALSE(DirectoryExists(App / "file/sub"));
    try {
        ForceDirectoryPath("");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to create directory");
    }
}

} // namespace
