#include "tesk/toolkit/ZipFiles.h"

#include <random>

#include <gtest/gtest.h>

#include "tests/support/ScratchDir.h"
#include "tests/support/ZipBuilder.h"

namespace {

std::string NoisyText(size_t size, unsigned seed)
{
    // Compressible but not trivially so: words from a small vocabulary, random order.
    static const char* const Words[] = {"boulder ", "water ", "snake ", "key\r\n", "jewel ", "spider "};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < size)
        s += Words[rng() % 6];
    s.resize(size);
    return s;
}

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

std::string ReadMember(const tZippedFile& entry)
{
    tZippedStream s(entry);
    std::string out(static_cast<size_t>(s.UncompressedSize()), '\0');
    s.ReadBuffer(out.data(), s.UncompressedSize());
    return out;
}

TEST(ZipReader, FindsMembersByTrimmedCaselessNameWithEitherSeparator)
{
    const tZipInMemory zip(BuildZip({
        ZipMember("Music/", "").Stored(),
        ZipMember("Music/Song.mod", "song"),
        ZipMember(" Spaced.txt  ", "spaced").Stored(),
        ZipMember("dup.TXT", "first"),
        ZipMember("DUP.txt", "second"),
        ZipMember("levels\\Back.map", "back").Stored(),
        // As bsdtar writes names when packing ".".
        ZipMember("./a.txt", "a"),
        ZipMember(".//b.txt", "b").Stored(),
        ZipMember("./", "").Stored(),
        ZipMember("././Sub/./c.txt", "c"),
    }));
    EXPECT_EQ(zip.Count(), 10);
    struct Case {
        const char* asked;
        const char* content; // nullptr: not found
    };
    const Case cases[] = {
        {"Music/Song.mod", "song"},
        {"music\\SONG.MOD", "song"},
        {"  MUSIC\\song.mod ", "song"},
        {"spaced.TXT", "spaced"},
        {"dup.txt", "first"}, // the first of two names equal up to case
        {"Music\\", nullptr}, // folder entries are not files
        {"Music", nullptr},
        {"Song.mod", nullptr},
        {"", nullptr},
        {"levels\\Back.map", nullptr}, // stored names keep their "\"; only requests change
        {"a.txt", "a"},
        {"./A.TXT", "a"},
        {".\\a.txt", "a"},
        {"b.txt", "b"},
        {"sub/./c.txt", "c"}, // only a leading "./" goes
        {"./", nullptr},
        {".", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        const tZippedFile* entry = zip.FindEntry(c.asked);
        ASSERT_EQ(entry != nullptr, c.content != nullptr);
        if (entry) {
            EXPECT_EQ(ReadMember(*entry), c.content);
            EXPECT_EQ(entry->Owner, &zip);
        }
    }
    EXPECT_TRUE(zip.Entries(0).IsFolder());
    EXPECT_FALSE(zip.Entries(1).IsFolder());
}

TEST(ZipReader, StoredAndDeflatedMembersReadBackExactly)
{
    const std::vector<std::pair<std::string, std::string>> contents = {
        {"empty", ""},
        {"one", "x"},
        {"text", NoisyText(100000, 1)},  // many inflate buffers
        {"noise", RandomBytes(20000, 2)}, // deflate cannot shrink it
        {"exact", NoisyText(8192, 3)},   // one buffer exactly
    };
    std::vector<ZipMember> members;
    for (const auto& [name, content] : contents) {
        members.push_back(ZipMember("stored/" + name, content).Stored());
        members.push_back(ZipMember("deflated/" + name, content));
    }
    members.push_back(ZipMember("fast", contents[2].second).WithData(RawDeflate(contents[2].second, 1)));
    const tZipInMemory zip(BuildZip(members));
    for (const auto& [name, content] : contents) {
        for (const char* folder : {"stored/", "deflated/"}) {
            SCOPED_TRACE(folder + name);
            const tZippedFile* entry = zip.FindEntry(folder + name);
            ASSERT_NE(entry, nullptr);
            EXPECT_TRUE(ReadMember(*entry) == content);
        }
    }
    EXPECT_TRUE(ReadMember(*zip.FindEntry("FAST")) == contents[2].second);
}

TEST(ZipReader, ArchiveOnDiskReopensForEveryMemberAndKeepsCommentsAndExtras)
{
    ScratchDir dir;
    const std::string path = dir.Write("Base.Tarvol", BuildZip({
        ZipMember("a.txt", "alpha").WithExtra(std::string("\x55\x54\x05\x00\x01\x00\x00\x00\x00", 9)).WithComment("first"),
        ZipMember("b.txt", "beta").Stored(),
    }));
    const tZipFile zip(dir.Path() + "\\BASE.TARVOL");
    EXPECT_EQ(zip.FileName(), dir.Path() + "\\BASE.TARVOL");
    ASSERT_EQ(zip.Count(), 2);
    EXPECT_EQ(zip.Entries(0).Comment, "first");
    EXPECT_EQ(zip.Entries(0).Header.CompressionMethod, 8);
    EXPECT_EQ(zip.Entries(0).Header.UncompressedSize, 5u);
    EXPECT_EQ(ReadMember(*zip.FindEntry("B.TXT")), "beta");
    EXPECT_EQ(ReadMember(*zip.FindEntry("a.txt")), "alpha");
}

TEST(ZipReader, AZeroEntryArchiveMountsAndFindsNothing)
{
    const tZipInMemory zip(BuildZip({}));
    EXPECT_EQ(zip.Count(), 0);
    EXPECT_EQ(zip.FindEntry("anything"), nullptr);
    // A zero count is believed even when the offset is nonsense.
    const tZipInMemory odd(BuildZip({}, ZipLayout().WithDirectoryOffset(100000)));
    EXPECT_EQ(odd.Count(), 0);
}

TEST(ZippedStream, MemberStreamsSeekLikeTheirContent)
{
    const std::string text = NoisyText(30000, 4);
    const tZipInMemory zip(BuildZip({ZipMember("d", text), ZipMember("s", text).Stored()}));
    for (const char* name : {"d", "s"}) {
        SCOPED_TRACE(name);
        tZippedStream s(*zip.FindEntry(name));
        char buf[100];
        s.Seek(20000, soFromCurrent);
        s.ReadBuffer(buf, 100);
        EXPECT_EQ(std::string(buf, 100), text.substr(20000, 100));
        s.Seek(0, soFromBeginning);
        s.ReadBuffer(buf, 100);
        EXPECT_EQ(std::string(buf, 100), text.substr(0, 100));
    }
}

} // namespace
