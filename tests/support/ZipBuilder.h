#pragma once
// Assembles zip archives byte by byte for tests and fuzz seeds, with every field that a
// damaged archive may get wrong open to override. (The game's own package is made by the
// build with the zip tool; this exists to make broken archives on purpose.)
#include <zlib.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Raw deflate data (no zlib header) of the bytes.
inline std::string RawDeflate(const std::string& bytes, int level = Z_DEFAULT_COMPRESSION)
{
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, bytes.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

struct ZipMember {
    std::string Name;
    std::string Content;
    uint16_t Method = 8; // 0 stores the content; any other value deflates it
    uint16_t Flags = 0;  // general-purpose flags, in both headers
    std::optional<uint32_t> Crc;              // declared in both headers instead of the content's
    std::optional<std::string> Data; // the member's data bytes verbatim instead
    std::string Trailing;            // bytes after the data, counted in the compressed size
    std::optional<uint32_t> CompressedSize;   // declared in both headers
    std::optional<uint32_t> UncompressedSize; // declared in both headers
    std::optional<uint32_t> LocalOffset;      // declared in the central header
    uint32_t LocalSignature = 0x04034B50;
    std::optional<uint16_t> LocalNameLength;
    std::optional<uint16_t> LocalExtraLength;
    std::string Extra;   // in both headers
    std::string Comment; // file comment in the central header

    ZipMember(std::string name, std::string content = {}) : Name(std::move(name)), Content(std::move(content)) {}
    ZipMember& Stored() { return WithMethod(0); }
    ZipMember& WithMethod(uint16_t v) { Method = v; return *this; }
    ZipMember& WithFlags(uint16_t v) { Flags = v; return *this; }
    ZipMember& WithCrc(uint32_t v) { Crc = v; return *this; }
    ZipMember& WithData(std::string v) { Data = std::move(v); return *this; }
    ZipMember& WithTrailing(std::string v) { Trailing = std::move(v); return *this; }
    ZipMember& WithCompressedSize(uint32_t v) { CompressedSize = v; return *this; }
    ZipMember& WithUncompressedSize(uint32_t v) { UncompressedSize = v; return *this; }
    ZipMember& WithLocalOffset(uint32_t v) { LocalOffset = v; return *this; }
    ZipMember& WithLocalSignature(uint32_t v) { LocalSignature = v; return *this; }
    ZipMember& WithLocalLengths(uint16_t name, uint16_t extra) { LocalNameLength = name; LocalExtraLength = extra; return *this; }
    ZipMember& WithExtra(std::string v) { Extra = std::move(v); return *this; }
    ZipMember& WithComment(std::string v) { Comment = std::move(v); return *this; }
};

struct ZipLayout {
    std::string ArchiveComment;
    std::optional<uint16_t> Count; // entries declared in the end record
    std::optional<uint32_t> DirectoryOffset;
    uint32_t EndSignature = 0x06054B50;
    std::optional<uint16_t> NameLength; // every central header's declared name length
    std::optional<uint16_t> ExtraLength; // every central header's declared extra length
    bool Zip64Locator = false; // a zip64 end-of-directory locator before the end record

    ZipLayout& WithArchiveComment(std::string v) { ArchiveComment = std::move(v); return *this; }
    ZipLayout& WithCount(uint16_t v) { Count = v; return *this; }
    ZipLayout& WithDirectoryOffset(uint32_t v) { DirectoryOffset = v; return *this; }
    ZipLayout& WithEndSignature(uint32_t v) { EndSignature = v; return *this; }
    ZipLayout& WithNameLength(uint16_t v) { NameLength = v; return *this; }
    ZipLayout& WithExtraLength(uint16_t v) { ExtraLength = v; return *this; }
    ZipLayout& WithZip64Locator() { Zip64Locator = true; return *this; }
};

inline void PutU16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

inline void PutU32(std::string& out, uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

inline std::string BuildZip(const std::vector<ZipMember>& members, const ZipLayout& layout = ZipLayout())
{
    std::string out;
    std::string central;
    for (const ZipMember& m : members) {
        std::string data = m.Data ? *m.Data : (m.Method == 0 ? m.Content : RawDeflate(m.Content));
        data += m.Trailing;
        const uint32_t crc = m.Crc.value_or(static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(m.Content.data()), static_cast<uInt>(m.Content.size()))));
        const uint32_t csize = m.CompressedSize.value_or(static_cast<uint32_t>(data.size()));
        const uint32_t usize = m.UncompressedSize.value_or(static_cast<uint32_t>(m.Content.size()));
        const uint32_t offset = static_cast<uint32_t>(out.size());

        // The fields from "flags" to "uncompressed size", alike in both headers.
        const auto putShared = [&](std::string& header) {
            PutU16(header, m.Flags);
            PutU16(header, m.Method);
            PutU16(header, 0);
            PutU16(header, 0x21);
            PutU32(header, crc);
            PutU32(header, csize);
            PutU32(header, usize);
        };
        PutU32(out, m.LocalSignature);
        PutU16(out, 20);
        putShared(out);
        PutU16(out, m.LocalNameLength.value_or(static_cast<uint16_t>(m.Name.size())));
        PutU16(out, m.LocalExtraLength.value_or(static_cast<uint16_t>(m.Extra.size())));
        out += m.Name;
        out += m.Extra;
        out += data;

        PutU32(central, 0x02014B50);
        PutU16(central, 20);
        PutU16(central, 20);
        putShared(central);
        PutU16(central, layout.NameLength.value_or(static_cast<uint16_t>(m.Name.size())));
        PutU16(central, layout.ExtraLength.value_or(static_cast<uint16_t>(m.Extra.size())));
        PutU16(central, static_cast<uint16_t>(m.Comment.size()));
        PutU16(central, 0);
        PutU16(central, 0);
        PutU32(central, 0);
        PutU32(central, m.LocalOffset.value_or(offset));
        central += m.Name;
        central += m.Extra;
        central += m.Comment;
    }
    const uint32_t dirOffset = static_cast<uint32_t>(out.size());
    out += central;
    if (layout.Zip64Locator) {
        // Points at a zip64 end record (not written: the locator alone marks the archive).
        PutU32(out, 0x07064B50);
        PutU32(out, 0);
        PutU32(out, static_cast<uint32_t>(out.size()));
        PutU32(out, 0);
        PutU32(out, 1);
    }
    PutU32(out, layout.EndSignature);
    PutU16(out, 0);
    PutU16(out, 0);
    const uint16_t count = layout.Count.value_or(static_cast<uint16_t>(members.size()));
    PutU16(out, count);
    PutU16(out, count);
    PutU32(out, static_cast<uint32_t>(central.size()));
    PutU32(out, layout.DirectoryOffset.value_or(dirOffset));
    PutU16(out, static_cast<uint16_t>(layout.ArchiveComment.size()));
    out += layout.ArchiveComment;
    return out;
}
