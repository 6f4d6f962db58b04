#include "tesk/toolkit/PackageFiles.h"

#include "tesk/toolkit/Misc.h"

namespace {

std::string& ProgramDir()
{
    static std::string dir = ApplicationDir();
    return dir;
}

// The length of the package's folder name: its file name up to, not including, its last
// "." (the whole name when it has none), so "Base.Tarvol" gives the folder "Base".
size_t PackageFolderLength(const tZipFile& package)
{
    const std::string& name = package.FileName();
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name.size() : dot;
}

} // namespace

// ---- the two lists ----

std::vector<std::string>& SearchPaths()
{
    static std::vector<std::string> paths{"", ProgramDir() + "\\"};
    return paths;
}

std::vector<std::unique_ptr<tZipFile>>& Packages()
{
    static std::vector<std::unique_ptr<tZipFile>> packages;
    return packages;
}

void AddPackage(const std::string& fileName)
{
    if (!FileExists(fileName))
        return;
    auto package = std::make_unique<tZipFile>(fileName);
    Packages().push_back(std::move(package));
}

void ResetPackageFiles(const std::string& applicationDir)
{
    Packages().clear();
    ProgramDir() = applicationDir.empty() ? ApplicationDir() : applicationDir;
    SearchPaths() = {"", ProgramDir() + "\\"};
}

// ---- lookups ----

bool FindLooseFile(std::string& name)
{
    const std::vector<std::string>& prefixes = SearchPaths();
    const std::string& program = ProgramDir();
    // Built anew on every call in strings kept from the last, so no memory is allocated
    // once they are long enough.
    thread_local std::vector<std::string> candidates;
    const size_t count = prefixes.size() * (Packages().size() + 1);
    candidates.resize(count);
    size_t next = 0;
    // Candidates in order: the program folder, then each package's folder beside it.
    const auto add = [&](const std::string* folder, size_t folderLength) {
        for (const std::string& prefix : prefixes) {
            std::string& c = candidates[next++];
            c.clear();
            c += program;
            c += '\\';
            if (folder) {
                c.append(*folder, 0, folderLength);
                c += '\\';
            }
            c += prefix;
            c += name;
        }
    };
    add(nullptr, 0);
    for (const auto& package : Packages())
        add(&package->FileName(), PackageFolderLength(*package));
    std::string found;
    if (FirstExistingFile(candidates, &found) < 0)
        return false;
    name = found;
    return true;
}

tZippedFile* FindPackageMember(const std::string& name)
{
    for (const auto& package : Packages())
        for (const std::string& prefix : SearchPaths())
            if (tZippedFile* entry = package->FindEntry(prefix + name))
                return entry;
    return nullptr;
}

bool PackageFileAvailable(const std::string& name)
{
    std::string copy = name;
    return FindLooseFile(copy) || FindPackageMember(name) != nullptr;
}

bool PackageFileExists(const std::string& name)
{
    return PackageFileAvailable(name);
}

// ---- the stream ----

tPackageFileStream::tPackageFileStream(const std::string& name)
{
    // A file the user chose anywhere (the editor's level files) is named by its whole
    // path; data names are relative and searched as below.
    if (!name.empty() && IsPathDelimiterChar(name.front()) && FileExists(name)) {
        FInner = std::make_unique<TFileStream>(name, fmOpenRead | fmShareDenyWrite);
        return;
    }
    std::string found = name;
    if (FindLooseFile(found)) {
        FInner = std::make_unique<TFileStream>(found, fmOpenRead | fmShareDenyWrite);
        return;
    }
    const tZippedFile* entry = FindPackageMember(name);
    if (entry == nullptr)
        throw EFileMissing("File Missing '" + name + "'.");
    FInner = ReadZippedFile(*entry);
}

tPackageFileStream::~tPackageFileStream() = default;

int32_t tPackageFileStream::Read(void* buffer, int32_t count)
{
    return FInner->Read(buffer, count);
}

int32_t tPackageFileStream::Write(const void*, int32_t)
{
    throw EWriteToPackage("Attempted to write to a Packaged file");
}

int64_t tPackageFileStream::Seek(int64_t offset, uint16_t origin)
{
    return FInner->Seek(offset, origin);
}

std::unique_ptr<tPackageFileStream> OpenPackageFile(const std::string& name)
{
    return std::make_unique<tPackageFileStream>(name);
}

void ClosePackageFile(std::unique_ptr<tPackageFileStream>& stream)
{
    stream.reset();
}

void ClosePackageFile(tPackageFileStream* stream)
{
    delete stream;
}

// ---- folders ----

void ForceDirectoryPath(const std::string& path)
{
    if (path.empty())
        throw Exception("Unable to create directory");
    std::string dir = path;
    if (IsPathDelimiterChar(dir.back()))
        dir.pop_back();
    if (dir.empty() || DirectoryExists(dir))
        return;
    // Parents first; the recursion ends at the root or at a relative name's first folder.
    const std::string parent = ExtractFilePath(dir);
    if (!parent.empty() && parent != dir)
        ForceDirectoryPath(parent);
    CreateDir(dir);
}
