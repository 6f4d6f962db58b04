#include "platform/Streams.h"

#include <sys/stat.h>

#include <cstring>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "tests/support/ScratchDir.h"

namespace {

std::string ReadAll(TStream& s)
{
    std::string out(static_cast<size_t>(s.Size() - s.Position()), '\0');
    s.ReadBuffer(out.data(), static_cast<int32_t>(out.size()));
    return out;
}

// The same sequence of operations on a memory stream and a file stream gives the same
// bytes, positions and sizes.
void ExerciseStream(TStream& s)
{
    s.WriteBuffer("hello world", 11);
    EXPECT_EQ(s.Position(), 11);
    EXPECT_EQ(s.Size(), 11);
    EXPECT_EQ(s.Seek(-5, soFromEnd), 6);
    char buf[16] = {};
    EXPECT_EQ(s.Read(buf, 16), 5);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(s.Read(buf, 16), 0); // at the end
    EXPECT_EQ(s.Seek(-11, soFromCurrent), 0);
    s.SetPosition(6);
    s.WriteBuffer("W", 1);
    s.SetPosition(0);
    EXPECT_EQ(ReadAll(s), "hello World");
    s.SetSize(5);
    EXPECT_EQ(s.Size(), 5);
    EXPECT_EQ(s.Position(), 5);
    s.SetPosition(0);
    EXPECT_EQ(ReadAll(s), "hello");
    std::memset(buf, 0, sizeof buf);
    s.SetPosition(3);
    EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
    s.SetPosition(0);
    try {
        s.ReadBuffer(buf, 6);
        FAIL() << "no read error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    s.SetPosition(0);
    s.ReadBuffer(buf, 0); // nothing asked, nothing raised
}

TEST(MemoryStream, BehavesAsAStream)
{
    TMemoryStream m;
    ExerciseStream(m);
    EXPECT_EQ(std::memcmp(m.Memory(), "hello", 5), 0);
    EXPECT_EQ(m.DataString(), "hello");
}

TEST(MemoryStream, GrowsWithZerosAndRefusesImpossibleSizes)
{
    TMemoryStream m;
    m.Seek(4, soFromBeginning);
    m.WriteBuffer("x", 1);
    EXPECT_EQ(m.DataString(), std::string("\0\0\0\0x", 5));
    EXPECT_EQ(m.Seek(-1, soFromBeginning), 5); // a seek before the start does not move
    m.SetSize(2);
    EXPECT_EQ(m.Position(), 2);
    m.SetSize(4);
    EXPECT_EQ(m.DataString(), std::string(4, '\0'));
    for (int64_t bad : {int64_t(-1), int64_t(1) << 50}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(m.SetSize(bad), EOutOfMemory);
        EXPECT_EQ(m.Size(), 4);
    }
    EXPECT_EQ(m.Write("abc", -3), 0);
    EXPECT_EQ(m.Read(nullptr, -3), 0);
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
}

TEST(MemoryStream, CopiesToAndFromOtherStreams)
{
    TMemoryStream a;
    a.WriteBuffer("0123456789", 10);
    TMemoryStream b;
    b.LoadFromStream(a);
    EXPECT_EQ(b.Position(), 0);
    EXPECT_EQ(b.DataString(), "0123456789");

    TMemoryStream c;
    a.SetPosition(2);
    EXPECT_EQ(c.CopyFrom(a, 3), 3);
    EXPECT_EQ(c.DataString(), "234");
    EXPECT_EQ(c.CopyFrom(a, 0), 10); // 0: the whole source from its start
    EXPECT_EQ(c.DataString(), "2340123456789");
    a.SetPosition(8);
    EXPECT_THROW(c.CopyFrom(a, 5), EReadError);

    TMemoryStream d;
    b.SaveToStream(d);
    b.SaveToStream(d);
    EXPECT_EQ(d.DataString(), "01234567890123456789");
}

class FileStreamTest : public ::testing::Test {
protected:
    ScratchDir Dir;
};

TEST_F(FileStreamTest, BehavesAsAStream)
{
    {
        TFileStream f(Dir.Path() + "\\Data.bin", fmCreate);
        ExerciseStream(f);
    }
    EXPECT_EQ(ScratchDir::Read(Dir / "Data.bin"), "hello");
}

TEST_F(FileStreamTest, OpensThroughCaselessNamesInEachMode)
{
    Dir.Write("Sub/File.TXT", "abc");
    {
        TFileStream r(Dir.Path() + "\\SUB\\file.txt", fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(r.FileName(), Dir.Path() + "\\SUB\\file.txt");
        EXPECT_EQ(ReadAll(r), "abc");
        EXPECT_EQ(r.Write("x", 1), 0);
        EXPECT_THROW(r.WriteBuffer("x", 1), EWriteError);
    }
    {
        TFileStream w(Dir.Path() + "\\sub\\FILE.txt", fmOpenReadWrite);
        w.Seek(0, soFromEnd);
        w.WriteBuffer("de", 2);
    }
    {
        // fmCreate on an existing name in another case empties that file, not a new one.
        TFileStream c(Dir.Path() + "\\sub\\file.TXT", fmCreate);
        EXPECT_EQ(c.Size(), 0);
        c.WriteBuffer("new", 3);
    }
    EXPECT_EQ(ScratchDir::Read(Dir / "Sub/File.TXT"), "new");
}

TEST_F(FileStreamTest, RefusesWhatIsNotARegularFile)
{
    ASSERT_EQ(mkfifo((Dir / "pipe").c_str(), 0600), 0);
    ASSERT_TRUE(CreateDir(Dir / "folder"));
    Dir.Write("x", "x");
    struct Case {
        std::string name;
        uint16_t mode;
    };
    const Case cases[] = {
        {Dir / "missing.txt", fmOpenRead},
        {Dir / "pipe", fmOpenRead}, // must not wait for a writer
        {Dir / "folder", fmOpenRead},
        {"/dev/zero", fmOpenRead},
        {"", fmOpenRead},
        {Dir / std::string("x\0y", 3), fmOpenRead}, // would reach "x"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            TFileStream f(c.name, c.mode);
            ADD_FAILURE() << "opened";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message().rfind("Cannot open file \"" + c.name + "\". ", 0), 0u) << e.Message();
        }
    }
    EXPECT_THROW(TFileStream(Dir / "folder", fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(Dir / "no/such/folder.txt", fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(Dir / std::string("x\0y", 3), fmCreate), EFCreateError);
    EXPECT_EQ(ScratchDir::Read(Dir / "x"), "x");
}

TEST_F(FileStreamTest, ReplacingWritesLeaveTheOldFileWhenWritingFails)
{
    const std::string name = Dir.Write("Config.cfg", "old settings");
    EXPECT_THROW(WriteFileReplacing(Dir.Path() + "\\CONFIG.CFG", [](TStream& s) {
        s.WriteBuffer("half", 4);
        throw EWriteError();
    }),
                 EWriteError);
    EXPECT_EQ(ScratchDir::Read(name), "old settings");

    chmod(name.c_str(), 0640);
    WriteFileReplacing(Dir.Path() + "\\config.cfg", [](TStream& s) { s.WriteBuffer("new settings", 12); });
    EXPECT_EQ(ScratchDir::Read(name), "new settings");
    struct stat st {};
    ASSERT_EQ(stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // Nothing but the one file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 1);
    // A file that cannot be made is named as the caller named it, not by its temporary name.
    const std::string nowhere = Dir.Path() + "\\nofolder\\x";
    try {
        WriteFileReplacing(nowhere, [](TStream&) {});
        ADD_FAILURE() << "written";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + nowhere + "\". No such file or directory");
        EXPECT_EQ(e.Reason(), "No such file or directory");
        EXPECT_EQ(FailureReason(e), "No such file or directory");
    }
    EXPECT_EQ(FailureReason(EWriteError()), "Stream write error");
}

} // namespace
