#pragma once
// Reading zip archives (the game's data packages). The central directory is read once
// when an archive is mounted; a member is opened later as a stream holding its bytes in
// memory. An archive file of up to 64 MiB is read whole when mounted and held in memory,
// so opening a member needs no file access at all; a larger one is read member by member
// from the file, kept open while mounted. Members are stored (method 0) or raw deflate
// (any other method). Archives with a comment, zip64 archives (refused whole) and encrypted
// members (refused when opened) are not read; multi-disk archives and data descriptors are
// not supported. A member read to its end is checked against its CRC-32.
//
// Every size and offset read from an archive is checked against the archive's own size
// before it is used, so a damaged archive raises instead of reading or allocating wildly.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Streams.h"

// "File is not Zip file."
class ENotZipFile : public Exception {
public:
    using Exception::Exception;
};
// "LocalFile Signature not found", or a damaged directory or member.
class EZipError : public Exception {
public:
    using Exception::Exception;
};

// The 46-byte central-directory header, as read (little-endian fields decoded).
struct TZipCentralHeader {
    uint32_t Signature = 0;
    uint16_t VersionMadeBy = 0;
    uint16_t VersionNeeded = 0;
    uint16_t Flags = 0;
    uint16_t CompressionMethod = 0;
    uint16_t Time = 0;
    uint16_t Date = 0;
    uint32_t Crc32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t FileNameLength = 0;
    uint16_t ExtraFieldLength = 0;
    uint16_t FileCommentLength = 0;
    uint16_t DiskNumberStart = 0;
    uint16_t InternalAttributes = 0;
    uint32_t ExternalAttributes = 0;
    uint32_t LocalHeaderOffset = 0;
};

class tZip;
// The bytes of a whole archive held in memory (see tZip::Image).
class TZipImage;

// One central-directory entry.
class tZippedFile {
public:
    TZipCentralHeader Header;
    std::string Name;
    std::string Comment;
    tZip* Owner = nullptr;

    // A name ending in "/" is a folder, not a file.
    bool IsFolder() const { return !Name.empty() && Name.back() == '/'; }

private:
    friend class tZip;
    // The name trimmed of blanks and of a leading "./", lower-cased (in the owner's FKeys).
    std::string_view FKey;
};

class tZip {
public:
    tZip() = default;
    tZip(const tZip&) = delete;
    tZip& operator=(const tZip&) = delete;
    virtual ~tZip() = default;

    // Fills the entry list from an open archive stream.
    virtual void ReadDirectory(TStream& stream);
    // A new stream over the whole archive, at any position; the caller owns it.
    virtual std::unique_ptr<TStream> OpenStream() = 0;

    // The first file entry whose name equals the given one once "\" in the request
    // becomes "/", and both are trimmed of blanks and of a leading "./" (as archivers
    // write when packing "."), and compared ignoring case.
    // Folder entries are never found. nullptr when there is none.
    tZippedFile* FindEntry(const std::string& name) const;

    int Count() const { return FCount; }
    // The entry at 0 .. Count() - 1; std::out_of_range elsewhere.
    tZippedFile& Entries(int index) const;
    // The archive's size when its directory was read.
    int64_t ArchiveSize() const { return FArchiveSize; }
    // The whole archive in memory when it is held so, else nullptr.
    const std::shared_ptr<const TZipImage>& Image() const { return FImage; }

protected:
    std::shared_ptr<const TZipImage> FImage;

private:
    // One block of entries, in directory order, sized once for the most the directory's
    // bytes can hold, so that mounting costs the same for each entry however many there are.
    std::unique_ptr<tZippedFile[]> FEntries;
    int FCount = 0;
    std::string FKeys; // every entry's lookup key, one after another, never reallocated
    // Lookup key -> the first entry in directory order with that key (file entries only):
    // an open-addressing table of (key hash << 32 | entry index + 1), 0 for a free slot,
    // at most half full.
    std::vector<uint64_t> FSlots;
    // The slot that holds the key, or the free slot where it would go.
    size_t FindSlot(std::string_view key, uint64_t hash) const;
    int64_t FArchiveSize = 0;
};

// An archive on disk. Every member comes from the same file as the directory that locates
// it, even when the file on disk is replaced meanwhile: a held archive is a copy taken at
// mounting, a larger one stays open for reading while mounted. The name is kept as given.
class tZipFile : public tZip {
public:
    // Archive files up to this size are read whole when mounted.
    static constexpr int64_t MaxHeldSize = int64_t(64) << 20;

    // `holdUpTo` is the largest archive held in memory (0 reads every archive from its file).
    explicit tZipFile(const std::string& fileName, int64_t holdUpTo = MaxHeldSize);
    // A new stream over the archive; several may be open at once.
    std::unique_ptr<TStream> OpenStream() override;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
    std::shared_ptr<TFileStream> FFile; // only for an archive too large to hold
};

// An archive held in memory (archives embedded in the program, tests, fuzzing).
class tZipInMemory : public tZip {
public:
    explicit tZipInMemory(std::string bytes);
    std::unique_ptr<TStream> OpenStream() override;
};

// No member may claim more bytes than this: no file of the game comes near it.
constexpr int64_t MaxMemberSize = int64_t(256) << 20;

// A read-only view of one member, read whole into memory when constructed. Read from its
// start to its end, the content is checked against the member's CRC-32.
class tZippedStream : public TStream {
public:
    explicit tZippedStream(const tZippedFile& entry);
    ~tZippedStream() override;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, uint16_t origin) override;

    // The member's size from the central directory (checked, at most MaxMemberSize).
    int32_t UncompressedSize() const { return FUncompressedSize; }

private:
    std::unique_ptr<TMemoryStream> FCompressed;
    std::unique_ptr<TStream> FContentOwned; // the inflater, for deflated members
    TStream* FContent = nullptr;
    int32_t FUncompressedSize = 0;
    uint32_t FExpectedCrc = 0;
    std::string FName;
    // The CRC-32 of the bytes read so far, while they were read in order from the start.
    uint32_t FCrc = 0;
    int64_t FInOrder = 0; // bytes read in order, or -1 after any other seek
};

// A member's whole content in memory, at position 0: what reading its declared size from
// a tZippedStream gives, with the same checks and errors (a member that gives fewer bytes
// raises the stream read error), read in one go without the copies between and checked
// against the member's CRC-32. The stream is read-only and seeks like a memory stream.
std::unique_ptr<TStream> ReadZippedFile(const tZippedFile& entry);
