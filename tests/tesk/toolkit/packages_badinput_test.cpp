// Damaged packages: every case ends in a clear exception (or a defined result), never a
// crash, a hang or an allocation the archive's own size does not justify.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "tesk/toolkit/PackageFiles.h"
#include "tesk/toolkit/dzlib.h"
#include "tests/support/AllocationWatch.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipBuilder.h"

namespace {

enum class Raises { Nothing, ReadError, NotZip, ZipError, Compression };

const char* Describe(Raises r)
{
    switch (r) {
    case Raises::Nothing: return "nothing";
    case Raises::ReadError: return "EReadError";
    case Raises::NotZip: return "ENotZipFile";
    case Raises::ZipError: return "EZipError";
    case Raises::Compression: return "ECompressionError";
    }
    return "?";
}

// Runs f and names what it raised.
Raises Outcome(const std::function<void()>& f, std::string* message = nullptr)
{
    try {
        f();
        return Raises::Nothing;
    } catch (const EReadError& e) {
        if (message)
            *message = e.Message();
        return Raises::ReadError;
    } catch (const ENotZipFile& e) {
        if (message)
            *message = e.Message();
        return Raises::NotZip;
    } catch (const EZipError& e) {
        if (message)
            *message = e.Message();
        return Raises::ZipError;
    } catch (const ECompressionError& e) {
        if (message)
            *message = e.Message();
        return Raises::Compression;
    }
}

class BadPackages : public ::testing::Test {
protected:
    ScratchDir App;
    void SetUp() override { ResetPackageFiles(App.Path()); }
    void TearDown() override { ResetPackageFiles(); }

    // Packages are held in memory when mounted, or read member by member from their file
    // when this is false (as a package too large to hold is): both must behave alike.
    bool Held = true;

    Raises MountOutcome(const std::string& bytes, std::string* message = nullptr)
    {
        ResetPackageFiles(App.Path());
        App.Write("Base.Tarvol", bytes);
        return Outcome([&] {
            if (Held)
                AddPackage(App / "Base.Tarvol");
            else
                Packages().push_back(std::make_unique<tZipFile>(App / "Base.Tarvol", 0));
            EXPECT_EQ(Packages().back()->Image() != nullptr, Held);
        }, message);
    }

    // Mounts, then opens and reads "m" whole; the content read lands in `content`.
    Raises OpenOutcome(const ZipMember& member, std::string* content = nullptr, std::string* message = nullptr)
    {
        const std::string bytes = BuildZip({ZipMember("first", "1"), member});
        EXPECT_EQ(MountOutcome(bytes), Raises::Nothing);
        return Outcome([&] {
            auto s = OpenPackageFile(member.Name);
            std::string out(static_cast<size_t>(s->Size()), '\0');
            s->ReadBuffer(out.data(), static_cast<int32_t>(out.size()));
            if (content)
                *content = out;
        }, message);
    }
};

TEST_F(BadPackages, DamagedDirectoriesAreRefusedAtMount)
{
    const std::string good = BuildZip({ZipMember("a.txt", "alpha"), ZipMember("b.txt", "beta")});
    const uint32_t goodDirOffset = [&] {
        uint32_t v = 0;
        std::memcpy(&v, good.data() + good.size() - 6, 4);
        return v;
    }();
    struct Case {
        const char* what;
        std::string bytes;
        Raises expected;
        // Zip64 archives are refused as such, not as damaged ones.
        bool zip64 = false;
    };
    const Case cases[] = {
        {"empty file", "", Raises::ReadError},
        {"21 bytes", std::string(21, 'P'), Raises::ReadError},
        {"wrong end signature", BuildZip({ZipMember("a")}, ZipLayout().WithEndSignature(0x06054B51)), Raises::NotZip},
        {"archive comment", BuildZip({ZipMember("a")}, ZipLayout().WithArchiveComment("made by hand")), Raises::NotZip},
        {"more entries than there are", BuildZip({ZipMember("a")}, ZipLayout().WithCount(2)), Raises::ZipError},
        {"zip64 entry count", BuildZip({ZipMember("a")}, ZipLayout().WithCount(0xFFFF)), Raises::ZipError, true},
        {"directory beyond the end", BuildZip({ZipMember("a")}, ZipLayout().WithDirectoryOffset(100000)), Raises::ZipError},
        {"directory offset 2^31", BuildZip({ZipMember("a")}, ZipLayout().WithDirectoryOffset(0x80000000)), Raises::ZipError},
        {"zip64 directory offset", BuildZip({ZipMember("a")}, ZipLayout().WithDirectoryOffset(0xFFFFFFFF)), Raises::ZipError,
         true},
        {"zip64 offset, no entries", BuildZip({}, ZipLayout().WithDirectoryOffset(0xFFFFFFFF)), Raises::ZipError, true},
        {"zip64 locator", BuildZip({ZipMember("a")}, ZipLayout().WithZip64Locator()), Raises::ZipError, true},
        {"zip64 locator, 0xFFFF count", BuildZip({ZipMember("a")}, ZipLayout().WithZip64Locator().WithCount(0xFFFF)),
         Raises::ZipError, true},
        {"directory offset inside a member", BuildZip({ZipMember("a", "xxxxxxxxxx")}, ZipLayout().WithDirectoryOffset(5)),
         Raises::ZipError},
        {"name length 65535", BuildZip({ZipMember("a")}, ZipLayout().WithNameLength(0xFFFF)), Raises::ZipError},
        {"extra runs past the end", BuildZip({ZipMember("a")}, ZipLayout().WithExtraLength(200)), Raises::ZipError},
        {"truncated mid-name", good.substr(0, goodDirOffset + 48) + good.substr(good.size() - 22), Raises::ZipError},
        {"good", good, Raises::Nothing},
    };
    for (const Case& c : cases) {
        for (const bool held : {true, false}) {
            Held = held;
            SCOPED_TRACE(std::string(c.what) + (held ? ", held" : ", from the file"));
            std::string message;
            const Raises got = MountOutcome(c.bytes, &message);
            EXPECT_EQ(got, c.expected) << Describe(got) << " " << message;
            if (got == Raises::NotZip) {
                EXPECT_EQ(message, "File is not Zip file.");
            }
            if (got == Raises::ReadError) {
                EXPECT_EQ(message, "Stream read error");
            }
            if (got == Raises::ZipError) {
                EXPECT_EQ(message, c.zip64 ? "Zip64 archives are not supported" : "Zip directory is damaged");
            }
        }
    }
}

// More than 65,535 entries, as Python's zipfile writes them: the end record holds 0xFFFF,
// the real count is in the zip64 record. The archive is refused whole, not mounted in part;
// 65,534 entries, the most a plain archive holds, mount whole.
TEST_F(BadPackages, Zip64ArchivesAreRefusedWhole)
{
    std::vector<ZipMember> members;
    for (int i = 0; i < 65534; ++i)
        members.push_back(ZipMember("f" + std::to_string(i)).Stored());
    members.back().Content = "last";
    ASSERT_EQ(MountOutcome(BuildZip(members)), Raises::Nothing);
    const tZipFile& plain = *Packages().back();
    EXPECT_EQ(plain.Count(), 65534);
    for (int i = 0; i < plain.Count(); ++i)
        EXPECT_EQ(ReadZippedFile(plain.Entries(i))->Size(), i == 65533 ? 4 : 0);
    EXPECT_EQ(plain.FindEntry("F65533"), &plain.Entries(65533));

    for (int i = 65534; i < 70000; ++i)
        members.push_back(ZipMember("f" + std::to_string(i)).Stored());
    for (const bool locator : {true, false}) {
        SCOPED_TRACE(locator ? "with a locator" : "count alone");
        ZipLayout layout = ZipLayout().WithCount(0xFFFF);
        if (locator)
            layout.WithZip64Locator();
        std::string message;
        EXPECT_EQ(MountOutcome(BuildZip(members, layout), &message), Raises::ZipError);
        EXPECT_EQ(message, "Zip64 archives are not supported");
        EXPECT_TRUE(Packages().empty());
    }
}

std::string FlipByte(std::string bytes, size_t at)
{
    bytes.at(at) = static_cast<char>(bytes.at(at) ^ 0x10);
    return bytes;
}

uint32_t Crc(const std::string& bytes)
{
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

TEST_F(BadPackages, DamagedMembersRaiseWhenOpenedAndAllocateNothingFirst)
{
    const std::string text(5000, 'z');
    const uint32_t big = 0x80000000;
    struct Case {
        const char* what;
        ZipMember member;
        Raises expected;
        const char* message; // nullptr: not checked
    };
    const Case cases[] = {
        {"local header beyond the end", ZipMember("m", "x").WithLocalOffset(1000000), Raises::ZipError,
         "LocalFile Signature not found"},
        {"local offset 0xFFFFFFFF", ZipMember("m", "x").WithLocalOffset(0xFFFFFFFF), Raises::ZipError,
         "LocalFile Signature not found"},
        {"wrong local signature", ZipMember("m", "x").WithLocalSignature(0x04034B51), Raises::ZipError,
         "LocalFile Signature not found"},
        {"local name and extra past the end", ZipMember("m", "x").WithLocalLengths(0xFFFF, 0xFFFF), Raises::ZipError, nullptr},
        {"compressed size 0xFFFFFFFF", ZipMember("m", text).WithCompressedSize(0xFFFFFFFF), Raises::ZipError,
         nullptr},
        {"compressed size past the end", ZipMember("m", text).WithCompressedSize(400), Raises::ZipError,
         nullptr},
        {"uncompressed size 0xFFFFFFFF", ZipMember("m", text).WithUncompressedSize(0xFFFFFFFF),
         Raises::ZipError, "Zip member size is damaged"},
        {"uncompressed size 2^31", ZipMember("m", text).WithUncompressedSize(big), Raises::ZipError, nullptr},
        {"stored, uncompressed size 2^31", ZipMember("m", text).Stored().WithUncompressedSize(big),
         Raises::ZipError, nullptr},
        {"beyond any deflate ratio", ZipMember("m", text).WithUncompressedSize(50000000), Raises::ZipError,
         nullptr},
        // The deflate data end before the declared size, and junk follows them: the read
        // comes up short instead of spinning forever.
        {"declared 10 bytes longer, junk after the data", ZipMember("m", text).WithTrailing("JUNK").WithUncompressedSize(5010), Raises::ReadError, "Stream read error"},
        {"declared longer, data cut short", ZipMember("m", text).WithData(RawDeflate(text).substr(0, 10)),
         Raises::ReadError, nullptr},
        {"stored, declared larger than its data", ZipMember("m", text).Stored().WithUncompressedSize(5001), Raises::ReadError, nullptr},
        {"method 12", ZipMember("m", text).WithMethod(12).WithData(std::string(100, '\xFF')), Raises::Compression, "error"},
        {"method 99", ZipMember("m", text).WithMethod(99).WithData("\x07"),
         Raises::Compression, "error"},
        {"encrypted, stored", ZipMember("m", text).Stored().WithFlags(1), Raises::ZipError,
         "Zip member 'm' is encrypted and cannot be read"},
        {"encrypted, deflated", ZipMember("m", text).WithFlags(0x41), Raises::ZipError,
         "Zip member 'm' is encrypted and cannot be read"},
        {"stored, wrong CRC", ZipMember("m", text).Stored().WithCrc(0x12345678), Raises::ZipError,
         "Zip member 'm' is damaged (CRC mismatch)"},
        // A stored deflate block with a flipped bit in its bytes inflates without a word.
        {"deflated, flipped bits", ZipMember("m", text).WithData(FlipByte(RawDeflate(text, 0), 2500)),
         Raises::ZipError, "Zip member 'm' is damaged (CRC mismatch)"},
        {"deflated, declared smaller than the data", ZipMember("m", text).WithUncompressedSize(4),
         Raises::ZipError, "Zip member 'm' is damaged (CRC mismatch)"},
    };
    for (const Case& c : cases) {
        for (const bool held : {true, false}) {
            Held = held;
            SCOPED_TRACE(std::string(c.what) + (held ? ", held" : ", from the file"));
            std::string message;
            const Raises got = OpenOutcome(c.member, nullptr, &message);
            EXPECT_EQ(got, c.expected) << Describe(got) << " " << message;
            if (c.message) {
                EXPECT_EQ(message, c.message);
            }
        }
    }
}

TEST_F(BadPackages, OddButReadableMembersGiveDefinedContent)
{
    const std::string text = "0123456789abcdef";
    struct Case {
        const char* what;
        ZipMember member;
        std::string content;
    };
    const Case cases[] = {
        {"declared smaller than the data", ZipMember("m", text).WithUncompressedSize(4).WithCrc(Crc("0123")), "0123"},
        {"stored, declared smaller", ZipMember("m", text).Stored().WithUncompressedSize(3).WithCrc(Crc("012")), "012"},
        {"method 14 holding deflate data", ZipMember("m", text).WithMethod(14), text},
        {"name with dots and a drive", ZipMember("C:/../m", text), text},
        {"name with a leading slash", ZipMember("/m", text), text},
    };
    for (const Case& c : cases) {
        for (const bool held : {true, false}) {
            Held = held;
            SCOPED_TRACE(std::string(c.what) + (held ? ", held" : ", from the file"));
            std::string content;
            EXPECT_EQ(OpenOutcome(c.member, &content), Raises::Nothing);
            EXPECT_EQ(content, c.content);
        }
    }
    // An embedded NUL is part of the name, not its end.
    const std::string nulName("a\0b", 3);
    EXPECT_EQ(MountOutcome(BuildZip({ZipMember(nulName, "nul")})), Raises::Nothing);
    EXPECT_FALSE(PackageFileExists("a"));
    EXPECT_TRUE(PackageFileExists(nulName));
}

// Archives written by the zip tool with a password: stored or deflated, every member is
// refused with a word of why, never handed over as its ciphertext.
TEST_F(BadPackages, MembersEncryptedByTheZipToolAreRefused)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "Level " + std::to_string(i) + "\r\n";
    ScratchDir work;
    work.Write("plain.txt", text);
    work.Write("store.txt", text);
    const std::string zipTool = "cd '" + work.Path() + "' && zip -q -X -e -P x ";
    ASSERT_EQ(std::system((zipTool + "secret.zip plain.txt").c_str()), 0);
    ASSERT_EQ(std::system((zipTool + "-0 secret.zip store.txt").c_str()), 0);
    ASSERT_EQ(MountOutcome(ScratchDir::Read(work / "secret.zip")), Raises::Nothing);
    for (const char* name : {"plain.txt", "store.txt"}) {
        SCOPED_TRACE(name);
        std::string message;
        EXPECT_EQ(Outcome([&] { OpenPackageFile(name); }, &message), Raises::ZipError);
        EXPECT_EQ(message, std::string("Zip member '") + name + "' is encrypted and cannot be read");
    }
}

// A member may claim no more than 256 MiB: a 3 MB deflated member claiming nearly 2 GiB
// (which the deflate ratio alone would let pass) is refused at once, before any
// allocation for its content.
TEST_F(BadPackages, HugeSizeClaimsAreRefusedBeforeAllocating)
{
    std::mt19937 rng(7);
    std::string noise(3 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(rng());
    for (const bool stored : {false, true}) {
        ZipMember member = ZipMember("m").WithData(noise).WithUncompressedSize(0x7FFFFFF0);
        if (stored)
            member.Stored().WithUncompressedSize(0x7FFFFFF0);
        SCOPED_TRACE(stored ? "stored" : "deflated");
        const size_t peakBefore = PeakResidentBytes();
        std::string message;
        const auto start = std::chrono::steady_clock::now();
        Raises got = Raises::Nothing;
        const size_t largest = LargestAllocationDuring([&] { got = OpenOutcome(member, nullptr, &message); });
        // Refused at once; the bound only catches a hang, as the machine may be loaded.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        EXPECT_EQ(got, Raises::ZipError);
        EXPECT_EQ(message, "Zip member size is damaged");
        if (AllocationsWatched()) {
            EXPECT_LT(largest, size_t(64) << 20);
        }
        EXPECT_LT(PeakResidentBytes() - peakBefore, size_t(256) << 20);
    }
}

TEST_F(BadPackages, FlippedBitsNeverCrash)
{
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += "row " + std::to_string(i % 37) + "\r\n";
    const std::string good = BuildZip({ZipMember("a", text), ZipMember("b", text).Stored()});
    // Flip one bit at a time across the whole archive: whatever each copy does, it must
    // end in a result or one of the reader's exceptions, the same whether the package is
    // held in memory or read from its file.
    for (size_t i = 0; i < good.size(); i += 5) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ (1 << (i % 8)));
        SCOPED_TRACE(i);
        std::string seen[2];
        for (const bool held : {true, false}) {
            Held = held;
            std::string& summary = seen[held ? 0 : 1];
            summary = Describe(MountOutcome(bad));
            if (Packages().empty())
                continue;
            for (const char* name : {"a", "b"}) {
                std::string out;
                summary += std::string(" ") + Describe(Outcome([&] {
                    if (PackageFileExists(name)) {
                        auto s = OpenPackageFile(name);
                        out.assign(static_cast<size_t>(s->Size()), '\0');
                        s->ReadBuffer(out.data(), static_cast<int32_t>(out.size()));
                    }
                })) + " " + out;
            }
        }
        EXPECT_EQ(seen[0], seen[1]);
    }
}

} // namespace
