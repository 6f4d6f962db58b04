// Writes the seed corpus of the zip fuzz target: a few sound archives and one archive
// per kind of damage the reader must refuse or survive.
//   make_zip_seeds tests/tesk/toolkit/files/zip-corpus
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ZipBuilder.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_zip_seeds <folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "Level " + std::to_string(i) + " line\r\n";
    const std::string deflated = RawDeflate(text);
    const std::vector<ZipMember> good = {
        ZipMember("Music/", "").Stored(),
        ZipMember("Music/Song.mod", text),
        ZipMember("samples/Boom.wav", "RIFF....WAVE").Stored(),
        ZipMember("Levels\\Level1.map", text),
        ZipMember(" Blank.map ", "").Stored(),
        ZipMember("dup.txt", "first"),
        ZipMember("DUP.TXT", "second"),
    };
    struct Seed {
        const char* name;
        std::string bytes;
    };
    const std::string one = BuildZip({ZipMember("a.txt", text)});
    // Grown by the fuzz body into many entries: "ZREP", a count, a mode byte, the archive.
    auto repeated = [](unsigned count, unsigned mode, const std::string& zip) {
        std::string s = "ZREP";
        s += static_cast<char>(count & 0xFF);
        s += static_cast<char>(count >> 8);
        s += static_cast<char>(mode);
        return s + zip;
    };
    const std::vector<Seed> seeds = {
        {"good", BuildZip(good)},
        {"empty_archive", BuildZip({})},
        {"short", std::string("PK\x05\x06", 4)},
        {"archive_comment", BuildZip({ZipMember("a", "x")}, ZipLayout().WithArchiveComment("hi"))},
        {"count_too_large", BuildZip({ZipMember("a", text)}, ZipLayout().WithCount(3))},
        {"zip64_count", BuildZip({ZipMember("a", text)}, ZipLayout().WithCount(0xFFFF))},
        {"dir_offset_zip64", BuildZip({ZipMember("a", text)}, ZipLayout().WithDirectoryOffset(0xFFFFFFFF))},
        {"name_length_max", BuildZip({ZipMember("a", text)}, ZipLayout().WithNameLength(0xFFFF))},
        {"extra_past_end", BuildZip({ZipMember("a", text)}, ZipLayout().WithExtraLength(300))},
        {"truncated", one.substr(0, one.size() - 30)},
        {"local_offset_past_end", BuildZip({ZipMember("a", text).WithLocalOffset(0x7FFFFFFF)})},
        {"local_signature", BuildZip({ZipMember("a", text).WithLocalSignature(0)})},
        {"local_lengths_past_end", BuildZip({ZipMember("a", text).WithLocalLengths(0xFFFF, 0xFFFF)})},
        {"compressed_size_max", BuildZip({ZipMember("a", text).WithCompressedSize(0xFFFFFFFF)})},
        {"uncompressed_size_max", BuildZip({ZipMember("a", text).WithUncompressedSize(0xFFFFFFFF)})},
        {"uncompressed_size_2g", BuildZip({ZipMember("a", text).WithUncompressedSize(0x80000000)})},
        {"longer_with_junk", BuildZip({ZipMember("a", text).WithTrailing("JUNK").WithUncompressedSize(
                                 static_cast<uint32_t>(text.size() + 10))})},
        {"shorter_than_data", BuildZip({ZipMember("a", text).WithUncompressedSize(5)})},
        {"stored_sizes_differ", BuildZip({ZipMember("a", text).Stored().WithUncompressedSize(
                                    static_cast<uint32_t>(text.size() + 1))})},
        {"methods", BuildZip({ZipMember("m12", text).WithMethod(12), ZipMember("m14", text).WithMethod(14),
                        ZipMember("m99", text).WithMethod(99).WithData(text)})},
        {"flipped_deflate", BuildZip({ZipMember("a", text).WithData(deflated.substr(0, 5) + "\x55" + deflated.substr(6))})},
        {"odd_names", BuildZip({ZipMember("../up", "u"), ZipMember("/abs", "a"), ZipMember("C:\\drive", "c"),
                          ZipMember(std::string("nul\0name", 8), "n"), ZipMember("  blanks  ", "b")})},
        {"repeat_65534_entries", repeated(65534, 0, BuildZip({ZipMember("e.txt", "").Stored()}))},
        {"repeat_ffff_zip64_locator",
         repeated(70, 1, BuildZip({ZipMember("f.txt", "x").Stored()}, ZipLayout().WithZip64Locator()))},
        {"repeat_huge_size_claim",
         repeated(300, 0, BuildZip({ZipMember("big.bin", std::string(4000, '\0')).WithUncompressedSize(0x7FFFFFF0)}))},
    };
    for (const Seed& s : seeds) {
        std::ofstream out(dir + "/" + s.name + ".zip", std::ios::binary | std::ios::trunc);
        out.write(s.bytes.data(), static_cast<std::streamsize>(s.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", s.name);
            return 1;
        }
    }
    std::printf("%zu seeds written to %s\n", seeds.size(), dir.c_str());
    return 0;
}
