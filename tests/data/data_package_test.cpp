// The data package the build makes beside the programs: a real zip that the package
// layer mounts, holding every file of the source data folder byte for byte but the
// designer's pictures and key scripts of the levels.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tesk/toolkit/PackageFiles.h"
#include "tests/support/RunProgram.h"
#include "tests/support/ScratchDir.h"

namespace {

const std::string BinDir = TP_BIN_DIR;
const std::string DataDir = std::string(TP_SOURCE_DIR) + "/data";

class DataPackage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPackageFiles(BinDir);
        ASSERT_TRUE(FileExists(BinDir + "/Base.Tarvol")) << "the build makes the package";
        AddPackage(BinDir + "/Base.Tarvol");
        ASSERT_EQ(Packages().size(), 1u);
    }
    void TearDown() override { ResetPackageFiles(); }
};

TEST_F(DataPackage, HoldsTheSourceDataFilesByteForByte)
{
    const tZipFile& zip = *Packages()[0];
    int fromSource = 0;
    int designers = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(DataDir)) {
        const std::string relative = std::filesystem::relative(e.path(), DataDir).generic_string();
        if (!e.is_regular_file() || relative == "CMakeLists.txt" || relative.front() == '.')
            continue;
        SCOPED_TRACE(relative);
        const std::string ext = e.path().extension().string();
        if (ext == ".pic" || ext == ".keys") {
            EXPECT_EQ(zip.FindEntry(relative), nullptr) << "a designer's file in the package";
            ++designers;
            continue;
        }
        const tZippedFile* entry = zip.FindEntry(relative);
        ASSERT_NE(entry, nullptr);
        tZippedStream member(*entry);
        std::string content(static_cast<size_t>(member.UncompressedSize()), '\0');
        member.ReadBuffer(content.data(), member.UncompressedSize());
        EXPECT_TRUE(content == ScratchDir::Read(e.path().string()));
        ++fromSource;
    }
    EXPECT_GT(fromSource, 0);
    EXPECT_GT(designers, 0);
}

TEST_F(DataPackage, IsARealZipWithStoredAndDeflatedMembersAndNoFolders)
{
    const tZipFile& zip = *Packages()[0];
    bool stored = false;
    bool deflated = false;
    for (int i = 0; i < zip.Count(); ++i) {
        const tZippedFile& e = zip.Entries(i);
        EXPECT_FALSE(e.IsFolder()) << e.Name;
        EXPECT_EQ(e.Name.find('\\'), std::string::npos) << e.Name;
        stored = stored || e.Header.CompressionMethod == 0;
        deflated = deflated || e.Header.CompressionMethod == 8;
    }
    EXPECT_TRUE(stored);
    EXPECT_TRUE(deflated);
    // Found the way the game looks for it.
    EXPECT_TRUE(PackageFileExists("readme.TXT"));
    auto s = OpenPackageFile("ReadMe.txt");
    EXPECT_GT(s->Size(), 0);
}

TEST(DataPacking, ALaterFolderReplacesNamesEqualUpToCase)
{
    // As the build packs generated folders first and the data folder last.
    ScratchDir generated, data, out;
    generated.Write("Samples/Splosh.wav", "generated splosh");
    generated.Write("Samples/Other.wav", "generated other");
    data.Write("samples/SPLOSH.WAV", "data splosh");
    const ProgramRun run = RunProgram("/usr/bin/cmake",
        {"-DZIP=/usr/bin/zip", "-DOUTPUT=" + (out / "Base.Tarvol"), "-DDIRS=" + generated.Path() + "|" + data.Path(),
         "-DSTATE=" + (out / "manifest"), "-P", std::string(TP_SOURCE_DIR) + "/cmake/TpPackData.cmake"},
        {});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
    tZipFile zip(out / "Base.Tarvol");
    ASSERT_EQ(zip.Count(), 2);
    for (auto [name, content] :
         {std::pair{"Samples\\Splosh.wav", "data splosh"}, std::pair{"samples\\other.wav", "generated other"}}) {
        SCOPED_TRACE(name);
        tZippedFile* entry = zip.FindEntry(name);
        ASSERT_NE(entry, nullptr);
        tZippedStream member(*entry);
        std::string bytes(static_cast<size_t>(member.UncompressedSize()), '\0');
        member.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
        EXPECT_EQ(bytes, content);
    }
}

} // namespace
