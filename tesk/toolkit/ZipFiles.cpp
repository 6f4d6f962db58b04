#include "tesk/toolkit/ZipFiles.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/dzlib.h"

namespace {

constexpr uint32_t EndOfDirectorySignature = 0x06054B50;
constexpr uint32_t CentralHeaderSignature = 0x02014B50;
constexpr uint32_t LocalHeaderSignature = 0x04034B50;
constexpr int EndOfDirectorySize = 22;
constexpr int CentralHeaderSize = 46;
constexpr int LocalHeaderSize = 30;
// Deflate expands at most 1032-fold (a 2-bit code for a 258-byte match); the slack
// covers block headers.
constexpr int64_t MaxDeflateRatio = 1032;
constexpr int64_t DeflateSlack = 65536;
constexpr int64_t MaxMemberSize = 0x7FFFFFFF;

const char* const NotZipFile = "File is not Zip file.";
const char* const NoLocalSignature = "LocalFile Signature not found";
const char* const DamagedDirectory = "Zip directory is damaged";
const char* const MemberOutside = "Zip member lies outside the file";
const char* const DamagedMemberSize = "Zip member size is damaged";

uint16_t U16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t U32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

TZipCentralHeader DecodeCentralHeader(const unsigned char* p)
{
    TZipCentralHeader h;
    h.Signature = U32(p);
    h.VersionMadeBy = U16(p + 4);
    h.VersionNeeded = U16(p + 6);
    h.Flags = U16(p + 8);
    h.CompressionMethod = U16(p + 10);
    h.Time = U16(p + 12);
    h.Date = U16(p + 14);
    h.Crc32 = U32(p + 16);
    h.CompressedSize = U32(p + 20);
    h.UncompressedSize = U32(p + 24);
    h.FileNameLength = U16(p + 28);
    h.ExtraFieldLength = U16(p + 30);
    h.FileCommentLength = U16(p + 32);
    h.DiskNumberStart = U16(p + 34);
    h.InternalAttributes = U16(p + 36);
    h.ExternalAttributes = U32(p + 38);
    h.LocalHeaderOffset = U32(p + 42);
    return h;
}

std::string LookupKey(const std::string& name)
{
    return LowerCased(TrimBlanks(name));
}

// Reads a stretch of a stream front to back in large blocks, so that the many small
// records of a zip directory cost a handful of reads. A read past `end` raises the
// stream read error.
class TBlockReader {
public:
    TBlockReader(TStream& stream, int64_t pos, int64_t end) : FStream(stream), FPos(pos), FEnd(end) {}
    // Copies the next `count` bytes to `buffer`; with no buffer, passes over them.
    void Read(void* buffer, size_t count)
    {
        char* out = static_cast<char*>(buffer);
        while (count > 0) {
            if (FAt == FBlock.size())
                Refill();
            const size_t n = std::min(count, FBlock.size() - FAt);
            if (out) {
                std::memcpy(out, FBlock.data() + FAt, n);
                out += n;
            }
            FAt += n;
            count -= n;
        }
    }
    std::string ReadString(size_t length)
    {
        std::string s(length, '\0');
        Read(s.data(), length);
        return s;
    }

private:
    static constexpr int64_t BlockSize = 64 * 1024;
    void Refill()
    {
        const int64_t n = std::min(BlockSize, FEnd - FPos);
        if (n <= 0)
            throw EReadError();
        FBlock.resize(static_cast<size_t>(n));
        FStream.SetPosition(FPos);
        FStream.ReadBuffer(FBlock.data(), static_cast<int32_t>(n));
        FPos += n;
        FAt = 0;
    }
    TStream& FStream;
    int64_t FPos;
    int64_t FEnd;
    std::string FBlock;
    size_t FAt = 0;
};

// A read-only stream of a fixed size with a position of its own; seeking anywhere at or
// after the start is allowed, reads past the end come up short.
class TReadOnlyView : public TStream {
public:
    explicit TReadOnlyView(int64_t size) : FSize(size) {}
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t offset, uint16_t origin) override
    {
        const int64_t base = origin == soFromCurrent ? FPosition : origin == soFromEnd ? FSize : 0;
        if (offset >= -base && offset <= std::numeric_limits<int64_t>::max() - base)
            FPosition = base + offset;
        return FPosition;
    }
    int64_t Size() override { return FSize; }

protected:
    const int64_t FSize;
    int64_t FPosition = 0;
};

// Over bytes that someone else keeps alive.
class TByteView : public TReadOnlyView {
public:
    explicit TByteView(const std::string& bytes) : TReadOnlyView(static_cast<int64_t>(bytes.size())), FBytes(bytes) {}
    int32_t Read(void* buffer, int32_t count) override
    {
        if (count <= 0 || FPosition >= FSize)
            return 0;
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, FSize - FPosition));
        std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
        FPosition += n;
        return n;
    }

private:
    const std::string& FBytes;
};

// Over an open file that others read too: it reads at its own position (pread), so views
// never disturb each other. Its size is the archive's size when mounted; should the file
// shrink, reads come up short.
class TFileView : public TReadOnlyView {
public:
    TFileView(std::shared_ptr<TFileStream> file, int64_t size) : TReadOnlyView(size), FFile(std::move(file)) {}
    int32_t Read(void* buffer, int32_t count) override
    {
        const int32_t done = FFile->ReadAt(FPosition, buffer, count);
        FPosition += done;
        return done;
    }

private:
    std::shared_ptr<TFileStream> FFile;
};

} // namespace

// ---- tZip ----

void tZip::ReadDirectory(TStream& stream)
{
    const int64_t size = stream.Size();
    FArchiveSize = size;
    if (size < EndOfDirectorySize)
        throw EReadError();
    unsigned char end[EndOfDirectorySize];
    stream.Seek(-EndOfDirectorySize, soFromEnd);
    stream.ReadBuffer(end, EndOfDirectorySize);
    if (U32(end) != EndOfDirectorySignature)
        throw ENotZipFile(NotZipFile);
    const int count = U16(end + 8);
    const int64_t dirOffset = U32(end + 16);
    if (count == 0)
        return;
    // The directory lies between its offset and the end-of-directory record.
    const int64_t dirEnd = size - EndOfDirectorySize;
    if (dirOffset > dirEnd)
        throw EZipError(DamagedDirectory);
    TBlockReader reader(stream, dirOffset, dirEnd);
    int64_t pos = dirOffset;
    for (int i = 0; i < count; ++i) {
        if (dirEnd - pos < CentralHeaderSize)
            throw EZipError(DamagedDirectory);
        unsigned char raw[CentralHeaderSize];
        reader.Read(raw, CentralHeaderSize);
        auto entry = std::make_unique<tZippedFile>();
        entry->Owner = this;
        entry->Header = DecodeCentralHeader(raw);
        const TZipCentralHeader& h = entry->Header;
        const int64_t variable = int64_t(h.FileNameLength) + h.ExtraFieldLength + h.FileCommentLength;
        if (h.Signature != CentralHeaderSignature || dirEnd - pos - CentralHeaderSize < variable)
            throw EZipError(DamagedDirectory);
        entry->Name = reader.ReadString(h.FileNameLength);
        reader.Read(nullptr, h.ExtraFieldLength);
        entry->Comment = reader.ReadString(h.FileCommentLength);
        entry->FKey = LookupKey(entry->Name);
        if (entry->FKey.empty() || entry->FKey.back() != '/')
            FIndex.emplace(entry->FKey, entry.get()); // keeps the first of equal keys
        FEntries.push_back(std::move(entry));
        pos += CentralHeaderSize + variable;
    }
}

tZippedFile* tZip::FindEntry(const std::string& name) const
{
    std::string wanted = name;
    std::replace(wanted.begin(), wanted.end(), '\\', '/');
    const std::string key = LookupKey(wanted);
    if (key.empty() || key.back() == '/')
        return nullptr; // folders are not files
    const auto it = FIndex.find(key);
    return it == FIndex.end() ? nullptr : it->second;
}

// ---- tZipFile ----

tZipFile::tZipFile(const std::string& fileName)
    : FFileName(fileName), FFile(std::make_shared<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite))
{
    ReadDirectory(*FFile);
}

std::unique_ptr<TStream> tZipFile::OpenStream()
{
    return std::make_unique<TFileView>(FFile, ArchiveSize());
}

// ---- tZipInMemory ----

tZipInMemory::tZipInMemory(std::string bytes) : FBytes(std::move(bytes))
{
    TByteView stream(FBytes);
    ReadDirectory(stream);
}

std::unique_ptr<TStream> tZipInMemory::OpenStream()
{
    return std::make_unique<TByteView>(FBytes);
}

// ---- tZippedStream ----

tZippedStream::tZippedStream(const tZippedFile& entry)
{
    if (entry.Owner == nullptr)
        throw EZipError(NoLocalSignature);
    const std::unique_ptr<TStream> archive = entry.Owner->OpenStream();
    const TZipCentralHeader& h = entry.Header;
    const int64_t size = archive->Size();

    const int64_t local = h.LocalHeaderOffset;
    if (size - local < LocalHeaderSize)
        throw EZipError(NoLocalSignature);
    unsigned char raw[LocalHeaderSize];
    archive->SetPosition(local);
    archive->ReadBuffer(raw, LocalHeaderSize);
    if (U32(raw) != LocalHeaderSignature)
        throw EZipError(NoLocalSignature);
    const int64_t dataOffset = local + LocalHeaderSize + U16(raw + 26) + U16(raw + 28);
    const int64_t compressed = h.CompressedSize;
    const int64_t uncompressed = h.UncompressedSize;
    if (dataOffset > size || compressed > size - dataOffset || compressed > MaxMemberSize)
        throw EZipError(MemberOutside);
    const bool stored = h.CompressionMethod == 0;
    if (uncompressed > MaxMemberSize || (!stored && uncompressed > compressed * MaxDeflateRatio + DeflateSlack))
        throw EZipError(DamagedMemberSize);
    // A stored member cannot give more bytes than it holds: the short read that reading
    // its declared size would meet is reported before anything is allocated for it.
    if (stored && uncompressed > compressed)
        throw EReadError();
    FUncompressedSize = static_cast<int32_t>(uncompressed);

    FCompressed = std::make_unique<TMemoryStream>();
    FCompressed->SetSize(compressed);
    archive->SetPosition(dataOffset);
    archive->ReadBuffer(FCompressed->Memory(), static_cast<int32_t>(compressed));
    FCompressed->SetPosition(0);
    if (stored) {
        FContent = FCompressed.get();
    } else {
        FContentOwned = std::make_unique<TPKDecompressionStream>(*FCompressed);
        FContent = FContentOwned.get();
    }
}

tZippedStream::~tZippedStream()
{
    FContentOwned.reset();
    FCompressed.reset();
}

int32_t tZippedStream::Read(void* buffer, int32_t count)
{
    return FContent->Read(buffer, count);
}

int32_t tZippedStream::Write(const void* buffer, int32_t count)
{
    return FContent->Write(buffer, count);
}

int64_t tZippedStream::Seek(int64_t offset, uint16_t origin)
{
    return FContent->Seek(offset, origin);
}
