#pragma once
// The packaged-file system: every data file of Tesk is read through here. A name is
// looked up first as a loose file on disk, then as a member of the mounted packages
// (zip archives such as "Base.Tarvol"), so a loose file overrides the packaged copy.
//
// Loose-file candidates, first hit wins: ApplicationDir\P\name for each search prefix P,
// then ApplicationDir\<package name without its extension>\P\name for each package (so
// "Base\" beside "Base.Tarvol"). Members: each package in mounting order, each prefix in
// order. The prefixes are "" and ApplicationDir + "\" (the second never matches a loose
// file, as the first already probes the program folder; it is kept so the search order
// stays the same). Names take "\" or "/" separators and ignore letter case.
//
// The layer only reads; files the game writes are written by their owners with the
// platform's file streams. All calls belong on the UI thread.
#include <memory>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Streams.h"
#include "tesk/toolkit/ZipFiles.h"

// "File Missing '<name>'."
class EFileMissing : public Exception {
public:
    using Exception::Exception;
};
// "Attempted to write to a Packaged file"
class EWriteToPackage : public Exception {
public:
    using Exception::Exception;
};

// A read-only stream over a loose file (streamed from disk) or a package member (its
// whole content in memory, so any seek and read order is cheap).
class tPackageFileStream : public TStream {
public:
    // Raises EFileMissing when the name is found nowhere, or the archive reader's or
    // inflater's exception for a damaged member.
    explicit tPackageFileStream(const std::string& name);
    ~tPackageFileStream() override;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override; // EWriteToPackage
    int64_t Seek(int64_t offset, uint16_t origin) override;
    int64_t Size() override { return FInner->Size(); }

private:
    std::unique_ptr<TStream> FInner;
};

// The search prefixes, in order (see above).
std::vector<std::string>& SearchPaths();
// The mounted packages, in mounting order; the list owns them.
std::vector<std::unique_ptr<tZipFile>>& Packages();

// Mounts an archive when the file exists (a relative name is taken against the current
// directory); a missing file is skipped silently, a damaged one raises.
void AddPackage(const std::string& fileName);
// Unmounts every package and restores the search prefixes for the given program folder
// (ApplicationDir when empty). For reloading data and for tests.
void ResetPackageFiles(const std::string& applicationDir = {});

// On success `name` becomes the path of the file found.
bool FindLooseFile(std::string& name);
tZippedFile* FindPackageMember(const std::string& name);
bool PackageFileAvailable(const std::string& name);
// The call the game uses to ask whether a data file exists.
bool PackageFileExists(const std::string& name);

// Opens a data file for reading; the caller owns the stream. An absolute name that is an
// existing regular file opens that file directly (a level file chosen by the user).
std::unique_ptr<tPackageFileStream> OpenPackageFile(const std::string& name);
void ClosePackageFile(std::unique_ptr<tPackageFileStream>& stream);
void ClosePackageFile(tPackageFileStream* stream);

// Creates a folder and any missing parents; failures to create are ignored (check with
// DirectoryExists). An empty path raises Exception "Unable to create directory".
void ForceDirectoryPath(const std::string& path);
