#include "tests/support/ZipFuzzInput.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tesk/toolkit/PackageFiles.h"

namespace {

// One private program folder for the whole run, removed at exit.
const std::string& FuzzDir()
{
    // Never freed: the exit handler still needs it after static objects are gone.
    static const std::string* dir = new std::string([] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tp_zipfuzz_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(FuzzDir(), ec);
        });
        return pattern;
    }());
    return *dir;
}

void ReadMember(const std::string& name)
{
    if (!PackageFileExists(name))
        return;
    auto s = OpenPackageFile(name);
    const int64_t size = s->Size();
    std::string bytes(static_cast<size_t>(size), '\0');
    s->ReadBuffer(bytes.data(), static_cast<int32_t>(size));
    if (size > 2) {
        s->SetPosition(size / 2);
        char c = 0;
        s->ReadBuffer(&c, 1);
        if (c != bytes[static_cast<size_t>(size / 2)])
            std::abort(); // the content must not change between reads
    }
}

uint32_t Get(const std::string& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + size_t(i)]);
    return v;
}

void Put(std::string& b, size_t at, int bytes, uint32_t v)
{
    for (int i = 0; i < bytes; ++i)
        b[at + size_t(i)] = static_cast<char>(v >> (8 * i));
}

// An input made of "ZREP", a count (2 bytes), a mode byte and an archive grows into a
// larger archive, so that small inputs reach large entry counts: the archive's first
// directory entry is repeated count times in place of its directory. Mode bit 0 writes 0xFFFF into the end
// record's counts, as archives with more entries than it holds do; bit 1 keeps the
// input's own counts. Any other input, or an archive whose end record or first entry
// does not parse, is taken as it is.
std::string Expand(const uint8_t* data, size_t size)
{
    std::string in(reinterpret_cast<const char*>(data), size);
    if (size < 7 || in.compare(0, 4, "ZREP") != 0)
        return in;
    const uint32_t count = Get(in, 4, 2);
    const unsigned mode = static_cast<unsigned char>(in[6]);
    std::string zip = in.substr(7);
    if (zip.size() < 22)
        return zip;
    const size_t end = zip.size() - 22;
    if (Get(zip, end, 4) != 0x06054B50)
        return zip;
    const size_t dirOffset = Get(zip, end + 16, 4);
    if (dirOffset > end || end - dirOffset < 46 || Get(zip, dirOffset, 4) != 0x02014B50)
        return zip;
    const size_t entrySize = 46 + Get(zip, dirOffset + 28, 2) + Get(zip, dirOffset + 30, 2) + Get(zip, dirOffset + 32, 2);
    if (entrySize > end - dirOffset)
        return zip;
    const std::string entry = zip.substr(dirOffset, entrySize);
    // What lay between the directory and the end record (a zip64 locator, say) stays.
    const size_t dirEnd = dirOffset + Get(zip, end + 12, 4);
    const std::string between = dirEnd >= dirOffset + entrySize && dirEnd <= end ? zip.substr(dirEnd, end - dirEnd) : "";
    std::string tail = zip.substr(end);
    std::string out = zip.substr(0, dirOffset);
    // At most 8 MiB of directory, whatever the count asks for.
    const uint32_t repeats = std::min<uint32_t>(count, static_cast<uint32_t>((size_t(8) << 20) / entry.size()));
    out.reserve(out.size() + entry.size() * repeats + between.size() + tail.size());
    for (uint32_t i = 0; i < repeats; ++i)
        out += entry;
    out += between;
    if (!(mode & 2)) {
        const uint32_t shown = (mode & 1) ? 0xFFFF : repeats;
        Put(tail, 8, 2, shown);
        Put(tail, 10, 2, shown);
        Put(tail, 12, 4, static_cast<uint32_t>(entry.size() * repeats));
    }
    return out + tail;
}

} // namespace

void ZipFuzzOneInput(const uint8_t* data, size_t size)
{
    const std::string dir = FuzzDir();
    {
        const std::string archive = Expand(data, size);
        std::ofstream out(dir + "/Base.Tarvol", std::ios::binary | std::ios::trunc);
        out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
    }
    ResetPackageFiles(dir);
    try {
        AddPackage(dir + "\\Base.Tarvol");
    } catch (const Exception&) {
        return;
    }
    if (Packages().empty())
        std::abort(); // the file exists, so it is mounted or refused
    const tZipFile& zip = *Packages().front();
    std::set<std::string> read; // a repeated entry is read once
    for (int i = 0; i < zip.Count(); ++i) {
        if (!read.insert(zip.Entries(i).Name).second)
            continue;
        try {
            ReadMember(zip.Entries(i).Name);
        } catch (const Exception&) {
        }
    }
    ResetPackageFiles();
}
