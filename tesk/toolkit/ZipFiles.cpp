#include "tesk/toolkit/ZipFiles.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>

#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/dzlib.h"

namespace {

constexpr uint32_t EndOfDirectorySignature = 0x06054B50;
constexpr uint32_t CentralHeaderSignature = 0x02014B50;
constexpr uint32_t LocalHeaderSignature = 0x04034B50;
constexpr uint32_t Zip64LocatorSignature = 0x07064B50;
constexpr int Zip64LocatorSize = 20;
constexpr int EndOfDirectorySize = 22;
constexpr int CentralHeaderSize = 46;
constexpr int LocalHeaderSize = 30;
// Deflate expands at most 1032-fold (a 2-bit code for a 258-byte match); the slack
// covers block headers.
constexpr int64_t MaxDeflateRatio = 1032;
constexpr int64_t DeflateSlack = 65536;
// The most compressed bytes one read can take.
constexpr int64_t MaxPackedSize = 0x7FFFFFFF;
// General-purpose flag bit 0: the member is encrypted.
constexpr uint16_t EncryptedFlag = 0x0001;

const char* const NotZipFile = "File is not Zip file.";
const char* const NoLocalSignature = "LocalFile Signature not found";
const char* const DamagedDirectory = "Zip directory is damaged";
const char* const Zip64Archive = "Zip64 archives are not supported";
const char* const MemberOutside = "Zip member lies outside the file";
const char* const DamagedMemberSize = "Zip member size is damaged";

EZipError EncryptedMember(const tZippedFile& entry)
{
    return EZipError("Zip member '" + entry.Name + "' is encrypted and cannot be read");
}

EZipError DamagedMember(const std::string& name)
{
    return EZipError("Zip member '" + name + "' is damaged (CRC mismatch)");
}

uint32_t Crc32(const char* data, int64_t size)
{
    uLong crc = crc32(0, nullptr, 0);
    while (size > 0) {
        const uInt n = static_cast<uInt>(std::min<int64_t>(size, 1 << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), n);
        data += n;
        size -= n;
    }
    return static_cast<uint32_t>(crc);
}

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

// The name trimmed of blanks and lower-cased, with "\" made "/" when asked, and a leading
// "./" dropped (with the slashes after it): what entries are indexed and looked up by.
// The key is appended to `keys`; the result views it there.
std::string_view AppendLookupKey(std::string_view name, bool backslashes, std::string& keys)
{
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    name = name.substr(first, name.find_last_not_of(' ') - first + 1);
    const size_t start = keys.size();
    keys.append(name);
    for (size_t i = start; i < keys.size(); ++i) {
        char& c = keys[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (backslashes && c == '\\')
            c = '/';
    }
    size_t skip = start;
    while (keys.size() - skip >= 2 && keys[skip] == '.' && keys[skip + 1] == '/') {
        skip += 2;
        while (skip < keys.size() && keys[skip] == '/')
            ++skip;
    }
    keys.erase(start, skip - start);
    return std::string_view(keys).substr(start);
}

// 32 bits of the key's hash, for the directory's lookup table.
uint64_t KeyHash(std::string_view key)
{
    return std::hash<std::string_view>()(key) & 0xFFFFFFFF;
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

} // namespace

class TZipImage {
public:
    explicit TZipImage(std::string bytes)
        : FString(std::move(bytes)), FData(FString.data()), FSize(static_cast<int64_t>(FString.size()))
    {
    }
    TZipImage(std::unique_ptr<char[]> bytes, int64_t size) : FRaw(std::move(bytes)), FData(FRaw.get()), FSize(size) {}
    const char* Data() const { return FData; }
    int64_t Size() const { return FSize; }

private:
    std::string FString;
    std::unique_ptr<char[]> FRaw;
    const char* FData = nullptr;
    int64_t FSize = 0;
};

namespace {

// Over an archive held in memory, keeping it alive.
class TImageView : public TReadOnlyView {
public:
    explicit TImageView(std::shared_ptr<const TZipImage> image)
        : TReadOnlyView(image->Size()), FImage(std::move(image))
    {
    }
    int32_t Read(void* buffer, int32_t count) override
    {
        if (count <= 0 || FPosition >= FSize)
            return 0;
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, FSize - FPosition));
        std::memcpy(buffer, FImage->Data() + FPosition, static_cast<size_t>(n));
        FPosition += n;
        return n;
    }

private:
    std::shared_ptr<const TZipImage> FImage;
};

// Bytes in memory, not zeroed first (they are read over at once).
std::unique_ptr<char[]> NewBytes(int64_t count)
{
    try {
        return std::unique_ptr<char[]>(new char[static_cast<size_t>(std::max<int64_t>(count, 1))]);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory while expanding memory stream");
    }
}

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
    // A zip64 archive keeps its real counts and offsets elsewhere: its end record holds
    // only markers, and a locator of the zip64 record lies just before it. Such archives
    // are not read (they are not damaged, and the message says so).
    if (count == 0xFFFF || U16(end + 10) == 0xFFFF || U32(end + 12) == 0xFFFFFFFF || dirOffset == 0xFFFFFFFF)
        throw EZipError(Zip64Archive);
    if (size >= EndOfDirectorySize + Zip64LocatorSize) {
        unsigned char locator[4];
        stream.Seek(-(EndOfDirectorySize + Zip64LocatorSize), soFromEnd);
        stream.ReadBuffer(locator, 4);
        if (U32(locator) == Zip64LocatorSignature)
            throw EZipError(Zip64Archive);
    }
    if (count == 0)
        return;
    // The directory lies between its offset and the end-of-directory record.
    const int64_t dirEnd = size - EndOfDirectorySize;
    if (dirOffset > dirEnd)
        throw EZipError(DamagedDirectory);
    TBlockReader reader(stream, dirOffset, dirEnd);
    // Room for the entries the directory's bytes can hold at most.
    const auto room = static_cast<int>(std::min<int64_t>(count, (dirEnd - dirOffset) / CentralHeaderSize));
    FCount = 0;
    FEntries = std::make_unique<tZippedFile[]>(static_cast<size_t>(room));
    // The names take no more than the directory's bytes, so the keys never move.
    FKeys.clear();
    FKeys.reserve(static_cast<size_t>(dirEnd - dirOffset));
    size_t slots = 16;
    while (slots < 2 * static_cast<size_t>(room))
        slots *= 2;
    FSlots.assign(slots, 0);
    int64_t pos = dirOffset;
    for (int i = 0; i < count; ++i) {
        if (dirEnd - pos < CentralHeaderSize || i >= room)
            throw EZipError(DamagedDirectory);
        unsigned char raw[CentralHeaderSize];
        reader.Read(raw, CentralHeaderSize);
        tZippedFile& entry = FEntries[static_cast<size_t>(i)];
        entry.Owner = this;
        entry.Header = DecodeCentralHeader(raw);
        const TZipCentralHeader& h = entry.Header;
        const int64_t variable = int64_t(h.FileNameLength) + h.ExtraFieldLength + h.FileCommentLength;
        if (h.Signature != CentralHeaderSignature || dirEnd - pos - CentralHeaderSize < variable)
            throw EZipError(DamagedDirectory);
        entry.Name = reader.ReadString(h.FileNameLength);
        reader.Read(nullptr, h.ExtraFieldLength);
        entry.Comment = reader.ReadString(h.FileCommentLength);
        entry.FKey = AppendLookupKey(entry.Name, false, FKeys);
        if (entry.FKey.empty() || entry.FKey.back() != '/') {
            const uint64_t hash = KeyHash(entry.FKey);
            uint64_t& slot = FSlots[FindSlot(entry.FKey, hash)];
            if (slot == 0) // else the first of equal keys stays
                slot = hash << 32 | static_cast<uint64_t>(i + 1);
        }
        FCount = i + 1;
        pos += CentralHeaderSize + variable;
    }
}

size_t tZip::FindSlot(std::string_view key, uint64_t hash) const
{
    const size_t mask = FSlots.size() - 1;
    for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
        const uint64_t slot = FSlots[at];
        if (slot == 0 || ((slot >> 32) == hash && FEntries[(slot & 0xFFFFFFFF) - 1].FKey == key))
            return at;
    }
}

tZippedFile& tZip::Entries(int index) const
{
    if (index < 0 || index >= FCount)
        throw std::out_of_range("tZip::Entries");
    return FEntries[static_cast<size_t>(index)];
}

tZippedFile* tZip::FindEntry(const std::string& name) const
{
    std::string keys;
    const std::string_view key = AppendLookupKey(name, true, keys);
    if (key.empty() || key.back() == '/')
        return nullptr; // folders are not files
    if (FSlots.empty())
        return nullptr;
    const uint64_t slot = FSlots[FindSlot(key, KeyHash(key))];
    return slot == 0 ? nullptr : &FEntries[(slot & 0xFFFFFFFF) - 1];
}

// ---- tZipFile ----

tZipFile::tZipFile(const std::string& fileName, int64_t holdUpTo) : FFileName(fileName)
{
    auto file = std::make_shared<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
    const int64_t size = file->Size();
    if (size > std::min(holdUpTo, MaxHeldSize)) {
        FFile = std::move(file);
        ReadDirectory(*FFile);
        return;
    }
    // One read for the whole archive; should the file shrink meanwhile, what was read is
    // the archive.
    std::unique_ptr<char[]> bytes = NewBytes(size);
    const int32_t got = file->ReadAt(0, bytes.get(), static_cast<int32_t>(size));
    FImage = std::make_shared<const TZipImage>(std::move(bytes), got);
    TImageView view(FImage);
    ReadDirectory(view);
}

std::unique_ptr<TStream> tZipFile::OpenStream()
{
    if (FImage)
        return std::make_unique<TImageView>(FImage);
    return std::make_unique<TFileView>(FFile, ArchiveSize());
}

// ---- tZipInMemory ----

tZipInMemory::tZipInMemory(std::string bytes)
{
    FImage = std::make_shared<const TZipImage>(std::move(bytes));
    TImageView view(FImage);
    ReadDirectory(view);
}

std::unique_ptr<TStream> tZipInMemory::OpenStream()
{
    return std::make_unique<TImageView>(FImage);
}

// ---- members ----

namespace {

// Where a member's data lie in its archive and what they hold, every size checked against
// the archive before anything is allocated for it.
struct MemberPlace {
    int64_t DataOffset = 0;
    int64_t Compressed = 0;
    int64_t Uncompressed = 0;
    bool Stored = false;
};

MemberPlace LocateMember(const tZippedFile& entry, TStream& archive)
{
    const TZipCentralHeader& h = entry.Header;
    if (h.Flags & EncryptedFlag)
        throw EncryptedMember(entry);
    const int64_t size = archive.Size();

    const int64_t local = h.LocalHeaderOffset;
    if (size - local < LocalHeaderSize)
        throw EZipError(NoLocalSignature);
    unsigned char raw[LocalHeaderSize];
    archive.SetPosition(local);
    archive.ReadBuffer(raw, LocalHeaderSize);
    if (U32(raw) != LocalHeaderSignature)
        throw EZipError(NoLocalSignature);
    MemberPlace place;
    place.DataOffset = local + LocalHeaderSize + U16(raw + 26) + U16(raw + 28);
    place.Compressed = h.CompressedSize;
    place.Uncompressed = h.UncompressedSize;
    place.Stored = h.CompressionMethod == 0;
    if (place.DataOffset > size || place.Compressed > size - place.DataOffset || place.Compressed > MaxPackedSize)
        throw EZipError(MemberOutside);
    if (place.Uncompressed > MaxMemberSize ||
        (!place.Stored && place.Uncompressed > place.Compressed * MaxDeflateRatio + DeflateSlack))
        throw EZipError(DamagedMemberSize);
    // A stored member cannot give more bytes than it holds: the short read that reading
    // its declared size would meet is reported before anything is allocated for it.
    if (place.Stored && place.Uncompressed > place.Compressed)
        throw EReadError();
    return place;
}

// A member's content: bytes of its own, or a stored member's bytes within an archive
// held in memory (kept alive here). Positions behave as a memory stream's: anywhere from 0
// up to 2^40, a seek outside leaves the position alone, reads past the end give nothing.
class TMemberContent : public TReadOnlyView {
public:
    TMemberContent(std::unique_ptr<char[]> bytes, int64_t size)
        : TReadOnlyView(size), FOwned(std::move(bytes)), FData(FOwned.get())
    {
    }
    TMemberContent(std::shared_ptr<const TZipImage> image, int64_t offset, int64_t size)
        : TReadOnlyView(size), FImage(std::move(image)), FData(FImage->Data() + offset)
    {
    }
    int32_t Read(void* buffer, int32_t count) override
    {
        if (count <= 0 || FPosition >= FSize)
            return 0;
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, FSize - FPosition));
        std::memcpy(buffer, FData + FPosition, static_cast<size_t>(n));
        FPosition += n;
        return n;
    }
    int64_t Seek(int64_t offset, uint16_t origin) override
    {
        constexpr int64_t MaxPosition = int64_t(1) << 40;
        const int64_t base = origin == soFromCurrent ? FPosition : origin == soFromEnd ? FSize : 0;
        if (offset >= -base && offset <= MaxPosition - base)
            FPosition = base + offset;
        return FPosition;
    }
    uint32_t Crc() const { return Crc32(FData, FSize); }

private:
    std::unique_ptr<char[]> FOwned;
    std::shared_ptr<const TZipImage> FImage;
    const char* FData = nullptr;
};

std::unique_ptr<TMemberContent> InflateMember(const char* packed, const MemberPlace& place)
{
    std::unique_ptr<char[]> bytes = NewBytes(place.Uncompressed);
    const size_t produced = RawInflate(packed, static_cast<size_t>(place.Compressed), bytes.get(),
                                       static_cast<size_t>(place.Uncompressed));
    if (produced < static_cast<size_t>(place.Uncompressed))
        throw EReadError();
    return std::make_unique<TMemberContent>(std::move(bytes), place.Uncompressed);
}

} // namespace

namespace {

std::unique_ptr<TMemberContent> ReadMemberContent(const tZippedFile& entry)
{
    if (entry.Owner == nullptr)
        throw EZipError(NoLocalSignature);
    if (const std::shared_ptr<const TZipImage>& image = entry.Owner->Image()) {
        // Straight from the archive's bytes: a stored member is a view of them, a deflated
        // one is inflated from them with no copy between.
        TImageView view(image);
        const MemberPlace place = LocateMember(entry, view);
        if (place.Stored)
            return std::make_unique<TMemberContent>(image, place.DataOffset, place.Uncompressed);
        return InflateMember(image->Data() + place.DataOffset, place);
    }
    const std::unique_ptr<TStream> archive = entry.Owner->OpenStream();
    const MemberPlace place = LocateMember(entry, *archive);
    std::unique_ptr<char[]> packed = NewBytes(place.Compressed);
    archive->SetPosition(place.DataOffset);
    archive->ReadBuffer(packed.get(), static_cast<int32_t>(place.Compressed));
    if (place.Stored)
        return std::make_unique<TMemberContent>(std::move(packed), place.Uncompressed);
    return InflateMember(packed.get(), place);
}

} // namespace

std::unique_ptr<TStream> ReadZippedFile(const tZippedFile& entry)
{
    std::unique_ptr<TMemberContent> content = ReadMemberContent(entry);
    if (content->Crc() != entry.Header.Crc32)
        throw DamagedMember(entry.Name);
    return content;
}

// ---- tZippedStream ----

tZippedStream::tZippedStream(const tZippedFile& entry)
{
    if (entry.Owner == nullptr)
        throw EZipError(NoLocalSignature);
    const std::unique_ptr<TStream> archive = entry.Owner->OpenStream();
    const MemberPlace place = LocateMember(entry, *archive);
    FUncompressedSize = static_cast<int32_t>(place.Uncompressed);
    FExpectedCrc = entry.Header.Crc32;
    FName = entry.Name;
    FCrc = Crc32(nullptr, 0);

    FCompressed = std::make_unique<TMemoryStream>();
    FCompressed->SetSize(place.Compressed);
    archive->SetPosition(place.DataOffset);
    archive->ReadBuffer(FCompressed->Memory(), static_cast<int32_t>(place.Compressed));
    FCompressed->SetPosition(0);
    if (place.Stored) {
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
    const int32_t done = FContent->Read(buffer, count);
    if (FInOrder < 0 || done <= 0 || FInOrder >= FUncompressedSize)
        return done;
    // Only the member's own bytes count: a stored member's data may run past its size.
    const int32_t own = static_cast<int32_t>(std::min<int64_t>(done, FUncompressedSize - FInOrder));
    FCrc = static_cast<uint32_t>(crc32(FCrc, static_cast<const Bytef*>(buffer), static_cast<uInt>(own)));
    FInOrder += own;
    if (FInOrder == FUncompressedSize && FCrc != FExpectedCrc)
        throw DamagedMember(FName);
    return done;
}

int32_t tZippedStream::Write(const void* buffer, int32_t count)
{
    return FContent->Write(buffer, count);
}

int64_t tZippedStream::Seek(int64_t offset, uint16_t origin)
{
    const int64_t at = FContent->Seek(offset, origin);
    if (at != FInOrder) {
        // Read again from the start, the content is checked again; from anywhere else, not.
        FInOrder = at == 0 ? 0 : -1;
        FCrc = Crc32(nullptr, 0);
    }
    return at;
}
