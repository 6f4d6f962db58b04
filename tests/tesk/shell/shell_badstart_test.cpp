// The built program started over damaged or unusual data: level sets, progress files and
// damaged members that start-up reads. Each ends with the Part's box and status 1, or
// starts and stops cleanly; never a crash, a hang or a sanitizer report.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <ostream>

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

struct StartCase {
    const char* Name;
    bool WithPackage;
    std::function<void(ScratchDir&)> Prepare;
    std::vector<std::string> Args;
    int ExitCode;
    std::vector<std::string> BoxesContain;  // one entry per box expected, a text each holds
    // The window is closed at once (the close waits for set-up), or after the first frame
    // of the menu (what the first tick reports is shown by then).
    bool CloseAfterFirstFrame = false;
};
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.Name; }

class BadStart : public ::testing::TestWithParam<StartCase> {};

const std::string FirstLevel = "Level Levels\\First.map\r\n";

} // namespace

TEST_P(BadStart, EndsAsThePartSays)
{
    const StartCase& c = GetParam();
    ScratchProgramDir dir(c.WithPackage);
    if (c.Prepare)
        c.Prepare(dir);
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
    for (size_t i = 0; i < boxes.size(); ++i)
        EXPECT_NE(boxes[i].find(c.BoxesContain[i]), std::string::npos) << boxes[i];
    // A start that failed writes no settings.
    if (c.ExitCode != 0) {
        EXPECT_FALSE(std::filesystem::exists(dir / "Config.cfg"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Data, BadStart,
    ::testing::Values(
        StartCase{"NoPackage", false, nullptr, {}, 1, {"File Missing 'Gromble.Set'."}},
        StartCase{"AnEmptySetStartsToTheMenu", true, [](ScratchDir& d) { d.Write("Gromble.set", ""); }, {}, 0, {}},
        StartCase{"ASetNamingAMissingLevel", true,
                  [](ScratchDir& d) { d.Write("Gromble.set", "Level Levels\\Nowhere.map\r\n"); }, {}, 1,
                  {"File Missing"}},
        StartCase{"TheSetOptionNamingABrokenSet", true,
                  [](ScratchDir& d) { d.Write("Mine.set", "Level Levels\\Nowhere.map\r\n"); }, {"-set", "Mine.set"},
                  1, {"File Missing"}},
        StartCase{"TheSetOptionNamingAFolder", true,
                  [](ScratchDir& d) { std::filesystem::create_directory(d / "Folder.set"); }, {"-set:Folder.set"}, 0,
                  {}},
        StartCase{"TheSetOptionLeavingTheFolder", true, nullptr, {"-set", "../Gromble.set"}, 0, {}},
        StartCase{"TheSetOptionWithAnAbsolutePath", true, nullptr, {"-set", "/etc/passwd"}, 0, {}},
        StartCase{"TheSetOptionWithoutAValue", true, nullptr, {"-set"}, 0, {}},
        StartCase{"TheSetOptionWithAnEmptyValue", true, nullptr, {"-set:"}, 0, {}},
        StartCase{"ASwitchWithTwoDashes", true, nullptr, {"--bitblt", std::string(10240, 'x')}, 0, {}},
        StartCase{"AProgressFileOfTheWrongSize", true,
                  [](ScratchDir& d) { d.Write("Gromble.Progress", std::string(5, '\2')); }, {}, 0, {}},
        StartCase{"AFolderInPlaceOfTheProgressFile", true,
                  [](ScratchDir& d) { std::filesystem::create_directory(d / "Gromble.Progress"); }, {}, 0,
                  {"Gromble.Progress"}, true},
        StartCase{"AProgressFileOnlyInThePackage", false,
                  [](ScratchDir& d) {
                      const std::string level = ScratchDir::Read(std::string(TP_SOURCE_DIR) + "/data/Levels/First.map");
                      d.Write("Base.Tarvol", BuildZip({ZipMember{"Gromble.set", FirstLevel},
                                                       ZipMember{"Levels/First.map", level},
                                                       ZipMember{"Gromble.Progress", std::string(4, '\0')}}));
                  },
                  {}, 1, {""}},
        StartCase{"AZeroBytePictureBesideTheProgram", true, [](ScratchDir& d) { d.Write("BasicTiles.jpg", ""); }, {},
                  1, {"Last operation performed: "}},
        StartCase{"ACorruptPictureBesideTheProgram", true,
                  [](ScratchDir& d) { d.Write("BasicOverlay.jpg", "\xFF\xD8\xFF\xE0 not really a picture"); }, {}, 1,
                  {"Last operation performed: "}},
        StartCase{"ACorruptSampleBesideTheProgram", true,
                  [](ScratchDir& d) { d.Write("samples/CollectGem.Wav", "RIFF\x10\0\0\0WAVEjunk"); }, {}, 1,
                  {"Last operation performed: "}}),
    [](const auto& info) { return std::string(info.param.Name); });
