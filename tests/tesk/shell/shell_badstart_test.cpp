// The built program started over damaged or unusual data: the data package missing,
// damaged or not a zip archive, level sets, progress files and damaged members that
// start-up reads. Each ends with its box (the first line as the failure's own text, then
// what a user can act on) and status 1, or starts and stops cleanly; never a crash, a
// hang, a sanitizer report, or a change to a file the program folder already held.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <regex>

#include "tests/support/ZipBuilder.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

std::vector<std::string> BoxLines(const std::string& stderrText)
{
    std::vector<std::string> boxes;
    const std::string mark = "[message box] ";
    for (size_t at = stderrText.find(mark); at != std::string::npos; at = stderrText.find(mark, at + 1)) {
        const size_t end = stderrText.find('\n', at);
        boxes.push_back(stderrText.substr(at + mark.size(), end - at - mark.size()));
    }
    return boxes;
}

// A box's first line, with the address of a set-up failure ("at $1A2B") as "at $...".
std::string FirstLine(const std::string& box)
{
    return std::regex_replace(box.substr(0, box.find('\r')), std::regex(" at \\$[0-9A-F]+$"), " at $...");
}

// What the program folder holds: every entry by its relative name, with its kind and, for
// a file (or a link to one), its size and CRC-32. Pipes are not opened.
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(e.path(), folder).string();
        std::error_code ec;
        std::string kind;
        if (e.is_symlink(ec))
            kind = "link to " + fs::read_symlink(e.path(), ec).string() + ", ";
        if (fs::is_regular_file(e.path(), ec)) {
            const std::string bytes = ScratchDir::Read(e.path().string());
            const uLong crc =
                crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
            kind += "file of " + std::to_string(bytes.size()) + " bytes, CRC " + std::to_string(crc);
        } else if (fs::is_directory(e.path(), ec)) {
            kind += "folder";
        } else {
            kind += fs::exists(e.path(), ec) ? "other" : "nothing";
        }
        entries[name] = kind;
    }
    return entries;
}

// The built package with the CRC-32 of every member under "samples/" spoiled in the
// central directory: the first sound that start-up loads is found damaged.
std::string PackageWithDamagedSamples()
{
    std::string bytes = ScratchDir::Read(ScratchProgramDir::BuiltPackage());
    const auto u16 = [&](size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bytes.at(at))) |
                                             static_cast<unsigned>(static_cast<unsigned char>(bytes.at(at + 1))) << 8; };
    const auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    const size_t end = bytes.size() - 22;
    size_t at = u32(end + 16);
    for (unsigned i = 0, n = u16(end + 10); i < n; ++i) {
        const size_t nameLength = u16(at + 28);
        if (LowerCased(bytes.substr(at + 46, nameLength)).starts_with("samples/"))
            bytes[at + 16] = static_cast<char>(bytes[at + 16] ^ 0x55);
        at += 46 + nameLength + u16(at + 30) + u16(at + 32);
    }
    return bytes;
}

struct StartCase {
    const char* Name;
    bool WithPackage;
    std::function<void(ScratchDir&)> Prepare;
    std::vector<std::string> Args;
    int ExitCode;
    // The first line of the first box ("" when there is no box).
    std::string First;
    // One entry per box expected, a text each holds; "<dir>" stands for the program folder.
    std::vector<std::string> BoxesContain;
    // The window is closed at once (the close waits for set-up), or after the first frame
    // of the menu (what the first tick reports is shown by then).
    bool CloseAfterFirstFrame = false;
};
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.Name; }

class BadStart : public ::testing::TestWithParam<StartCase> {};

const std::string FirstLevel = "Level Levels\\First.map\r\n";

std::string FirstLevelText() { return FirstStepsLevel(); }

const std::string Missing = "The data package \"Base.Tarvol\" beside the program is missing: <dir>/Base.Tarvol";
const std::string NotAZip =
    "The data package \"Base.Tarvol\" beside the program is not a readable zip archive: <dir>/Base.Tarvol";

void WritePackage(ScratchDir& d, const std::string& bytes) { d.Write("Base.Tarvol", bytes); }

} // namespace

TEST_P(BadStart, EndsWithItsBoxAndLeavesTheFolderAsItWas)
{
    const StartCase& c = GetParam();
    ScratchProgramDir dir(c.WithPackage);
    if (c.Prepare)
        c.Prepare(dir);
    const std::map<std::string, std::string> before = Snapshot(dir.Path());
    const ProgramRun run = c.CloseAfterFirstFrame
                               ? RunTesk(dir, c.Args, {"TP_REPORT_FIRST_FRAME=1"}, 150, SIGTERM, "[first frame]")
                               : RunTesk(dir, c.Args, {"TP_AUTOCLOSE_MS=1"}, 150);
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.Signal, 0) << run.Stderr;
    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Stderr;
    for (const char* report : {"Sanitizer", "runtime error:"})
        EXPECT_EQ(run.Stderr.find(report), std::string::npos) << run.Stderr;
    const std::vector<std::string> boxes = BoxLines(run.Stderr);
    ASSERT_EQ(boxes.size(), c.BoxesContain.size()) << run.Stderr;
    if (!boxes.empty()) {
        EXPECT_EQ(FirstLine(boxes[0]), std::regex_replace(c.First, std::regex("<dir>"), dir.Path())) << boxes[0];
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        const std::string expected = std::regex_replace(c.BoxesContain[i], std::regex("<dir>"), dir.Path());
        EXPECT_NE(boxes[i].find(expected), std::string::npos) << boxes[i] << "\n  should hold: " << expected;
    }

    // Every entry the folder held is as it was; a start adds at most the progress file
    // and, when it did not fail, the settings.
    const std::map<std::string, std::string> after = Snapshot(dir.Path());
    for (const auto& [name, kind] : before) {
        const auto it = after.find(name);
        EXPECT_TRUE(it != after.end() && it->second == kind) << name << " was " << kind;
    }
    for (const auto& [name, kind] : after) {
        if (before.count(name) != 0)
            continue;
        const bool allowed = name.ends_with(".Progress") || (c.ExitCode == 0 && name == "Config.cfg");
        EXPECT_TRUE(allowed) << "left behind: " << name << " (" << kind << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Package, BadStart,
    ::testing::Values(
        StartCase{"NoPackage", false, nullptr, {}, 1, "File Missing 'Gromble.Set'.", {Missing}},
        StartCase{"AFolderInPlaceOfThePackage", false,
                  [](ScratchDir& d) { std::filesystem::create_directory(d / "Base.Tarvol"); }, {}, 1,
                  "File Missing 'Gromble.Set'.", {NotAZip + " is a folder"}},
        StartCase{"APipeInPlaceOfThePackage", false,
                  [](ScratchDir& d) { ASSERT_EQ(mkfifo((d / "Base.Tarvol").c_str(), 0644), 0); }, {}, 1,
                  "File Missing 'Gromble.Set'.", {NotAZip + " is not a regular file"}},
        StartCase{"ABrokenLinkInPlaceOfThePackage", false,
                  [](ScratchDir& d) { std::filesystem::create_symlink(d / "Gone.zip", d / "Base.Tarvol"); }, {}, 1,
                  "File Missing 'Gromble.Set'.", {Missing + " is a link to \"<dir>/Gone.zip\", which does not exist"}},
        StartCase{"AnEmptyPackage", false, [](ScratchDir& d) { WritePackage(d, ""); }, {}, 1, "Stream read error",
                  {NotAZip}},
        StartCase{"APackageThatIsNoZip", false, [](ScratchDir& d) { WritePackage(d, std::string(4096, 'x')); }, {},
                  1, "File is not Zip file.", {NotAZip}},
        StartCase{"AZip64Package", false,
                  [](ScratchDir& d) {
                      WritePackage(d, BuildZip({ZipMember("Gromble.set", FirstLevel)}, ZipLayout().WithZip64Locator()));
                  },
                  {}, 1, "Zip64 archives are not supported", {NotAZip}},
        StartCase{"APackageWithADamagedDirectory", false,
                  [](ScratchDir& d) {
                      WritePackage(d, BuildZip({ZipMember("Gromble.set", FirstLevel)}, ZipLayout().WithCount(2)));
                  },
                  {}, 1, "Zip directory is damaged", {NotAZip}},
        // Archives with a comment are refused, as the reader does not look for one.
        StartCase{"APackageWithAComment", false,
                  [](ScratchDir& d) {
                      WritePackage(d, BuildZip({ZipMember("Gromble.set", FirstLevel)},
                                               ZipLayout().WithArchiveComment("made by hand")));
                  },
                  {}, 1, "File is not Zip file.", {NotAZip}},
        // Member names are stored with "/"; one stored with "\" is not found.
        StartCase{"AMemberStoredWithBackslashes", false,
                  [](ScratchDir& d) {
                      WritePackage(d, BuildZip({ZipMember("Gromble.set", FirstLevel),
                                                ZipMember("Levels\\First.map", FirstLevelText())}));
                  },
                  {}, 1, "File Missing 'Levels\\First.map'.", {"File Missing"}},
        StartCase{"APackageWithoutTheSounds", false,
                  [](ScratchDir& d) {
                      WritePackage(d, BuildZip({ZipMember("Gromble.set", FirstLevel),
                                                ZipMember("Levels/First.map", FirstLevelText())}));
                  },
                  {}, 1, "tSample.LoadWav(samples\\TeleportIn.mp3)",
                  {"Cause: File Missing 'samples\\TeleportIn.mp3'."}},
        StartCase{"ADamagedSampleInThePackage", false,
                  [](ScratchDir& d) { WritePackage(d, PackageWithDamagedSamples()); }, {}, 1,
                  "tSample.LoadWav(samples\\TeleportIn.wav)",
                  {"Cause: Zip member 'samples/TeleportIn.wav' is damaged (CRC mismatch)"}}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Data, BadStart,
    ::testing::Values(
        StartCase{"AnEmptySetStartsToTheMenu", true, [](ScratchDir& d) { d.Write("Gromble.set", ""); }, {}, 0, "", {}},
        StartCase{"ASetNamingAMissingLevel", true,
                  [](ScratchDir& d) { d.Write("Gromble.set", "Level Levels\\Nowhere.map\r\n"); }, {}, 1,
                  "File Missing 'Levels\\Nowhere.map'.", {"File Missing"}},
        // A blank line is an entry without a file, and the set is refused.
        StartCase{"ABlankLineInTheSet", true,
                  [](ScratchDir& d) {
                      d.Write("Levels/First.map", FirstLevelText());
                      d.Write("Gromble.set", FirstLevel + "\r\n" + FirstLevel);
                  }, {}, 1,
                  "File Missing ''.", {"File Missing"}},
        StartCase{"TheSetOptionNamingABrokenSet", true,
                  [](ScratchDir& d) { d.Write("Mine.set", "Level Levels\\Nowhere.map\r\n"); }, {"-set", "Mine.set"},
                  1, "File Missing 'Levels\\Nowhere.map'.", {"File Missing"}},
        // A set that does not exist is passed over for the main set.
        StartCase{"TheSetOptionNamingNoFile", true, nullptr, {"Set", "NoSuch.set"}, 0, "", {}},
        StartCase{"TheSetOptionNamingAFolder", true,
                  [](ScratchDir& d) { std::filesystem::create_directory(d / "Folder.set"); }, {"-set:Folder.set"}, 0,
                  "", {}},
        StartCase{"TheSetOptionLeavingTheFolder", true, nullptr, {"-set", "../Gromble.set"}, 0, "", {}},
        StartCase{"TheSetOptionWithAnAbsolutePath", true, nullptr, {"-set", "/etc/passwd"}, 0, "", {}},
        StartCase{"TheSetOptionWithoutAValue", true, nullptr, {"-set"}, 0, "", {}},
        StartCase{"TheSetOptionWithAnEmptyValue", true, nullptr, {"-set:"}, 0, "", {}},
        StartCase{"ASwitchWithTwoDashes", true, nullptr, {"--bitblt", std::string(10240, 'x')}, 0, "", {}},
        StartCase{"AProgressFileOfTheWrongSize", true,
                  [](ScratchDir& d) { d.Write("Gromble.Progress", std::string(5, '\2')); }, {}, 0, "", {}},
        StartCase{"AFolderInPlaceOfTheProgressFile", true,
                  [](ScratchDir& d) { std::filesystem::create_directory(d / "Gromble.Progress"); }, {}, 0,
                  "Could not save the progress \"<dir>/Gromble.Progress\": Is a directory", {"Gromble.Progress"}, true},
        StartCase{"AProgressFileOnlyInThePackage", false,
                  [](ScratchDir& d) {
                      WritePackage(d, BuildZip({ZipMember("Gromble.set", FirstLevel),
                                                ZipMember("Levels/First.map", FirstLevelText()),
                                                ZipMember("Gromble.Progress", std::string(4, '\0'))}));
                  },
                  {}, 1, "Cannot open file \"<dir>/Gromble.Progress\". No such file or directory", {""}},
        StartCase{"AZeroBytePictureBesideTheProgram", true, [](ScratchDir& d) { d.Write("BasicTiles.jpg", ""); }, {},
                  1, "JPEG error: the file is empty at $...", {"Last operation performed: Loading basictiles.jpg"}},
        StartCase{"ACorruptPictureBesideTheProgram", true,
                  [](ScratchDir& d) { d.Write("BasicOverlay.jpg", "\xFF\xD8\xFF\xE0 not really a picture"); }, {}, 1,
                  "JPEG error: Premature end of JPEG file at $...",
                  {"Last operation performed: Loading basicoverlay.jpg"}},
        StartCase{"ACorruptSampleBesideTheProgram", true,
                  [](ScratchDir& d) { d.Write("samples/CollectGem.Wav", "RIFF\x10\0\0\0WAVEjunk"); }, {}, 1,
                  "tSample.LoadWav(samples\\CollectGem.Wav)",
                  {"Cause: the file is not a sound the sound library can read"}}),
    [](const auto& info) { return std::string(info.param.Name); });
