#include "tests/support/ZipFuzzInput.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

} // namespace

void ZipFuzzOneInput(const uint8_t* data, size_t size)
{
    const std::string dir = FuzzDir();
    {
        std::ofstream out(dir + "/Base.Tarvol", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
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
    for (int i = 0; i < zip.Count(); ++i) {
        try {
            ReadMember(zip.Entries(i).Name);
        } catch (const Exception&) {
        }
    }
    ResetPackageFiles();
}
