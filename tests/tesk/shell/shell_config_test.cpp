// "Config.cfg": reading with every kind of invalid value and damaged text, writing, and
// the whole program reading it at start and writing it back at close.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tesk/shell/ConfigFile.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

struct Settings {
    bool SoundOn = true;
    int32_t SoundVolume = 5;
    bool MusicOn = true;
    int32_t MusicVolume = 5;
    int32_t SoundDriver = 0;
    int SoundDevice = 2;
    float Brightness = 1.1f;
    bool FullScreen = true;
    bool Dialogs = true;
    bool BitBlt = false;
    bool DontAnimateWater = false;
    bool SystemMemoryBackBuffer = true;
    friend bool operator==(const Settings&, const Settings&) = default;
};
void PrintTo(const Settings& s, std::ostream* os)
{
    *os << "SoundOn " << s.SoundOn << " SoundVolume " << s.SoundVolume << " MusicOn " << s.MusicOn
        << " MusicVolume " << s.MusicVolume << " SoundDriver " << s.SoundDriver << " SoundDevice " << s.SoundDevice
        << " Brightness " << s.Brightness << " FullScreen " << s.FullScreen << " Dialogs " << s.Dialogs
        << " BitBlt " << s.BitBlt << " DontAnimateWater " << s.DontAnimateWater << " SystemMemoryBackBuffer "
        << s.SystemMemoryBackBuffer;
}

Settings Current()
{
    return Settings{SoundOn, SoundVolume, MusicOn, MusicVolume, SoundDriver, SoundDevice, DisplayBrightness,
                    FullScreen, Dialogs, UseBitBlt, DontAnimateWater, SystemMemoryBackBuffer};
}

std::string Invalid(const std::string& name, const std::string& tail)
{
    return "Parameter " + name + " has an invalid value.\r" + tail;
}

struct ReadCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Boxes;
    Settings Expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.Name; }

template <class F>
Settings With(F change)
{
    Settings s;
    change(s);
    return s;
}

class ConfigRead : public ::testing::TestWithParam<ReadCase> {
protected:
    void SetUp() override
    {
        ResetProgramGlobals();
        Override = std::make_unique<ProgramDirOverride>(Dir.Path());
        TestHooks::AnswerMessageBoxesWith(mrOk);
    }
    void TearDown() override
    {
        Override.reset();
        ResetProgramGlobals();
    }
    ScratchProgramDir Dir{false};
    std::unique_ptr<ProgramDirOverride> Override;
};

} // namespace

TEST_P(ConfigRead, ValuesAndMessages)
{
    const ReadCase& c = GetParam();
    Dir.Write("Config.cfg", c.Text);
    ReadConfigFile();
    EXPECT_EQ(BoxTexts(), c.Boxes);
    EXPECT_EQ(Current(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigRead,
    ::testing::Values(
        ReadCase{"Empty", "", {}, Settings{}},
        ReadCase{"EveryKeyValid",
                 "SoundOn=False\r\nSoundVolume=3\r\nMusicOn=false\r\nMusicVolume=10\r\nSoundDriver=-1\r\n"
                 "SoundDevice=0\r\nDisplayBrightness=0.495\r\nFullScreen=FALSE\r\nDialogs=False\r\nBitBlt=True\r\n"
                 "AnimateWater=False\r\nSystemMemoryBackBuffer=False\r\n",
                 {},
                 Settings{false, 3, false, 10, -1, 0, 0.495f, false, false, true, true, false}},
        // Text editors may begin the file with the UTF-8 byte-order mark: the first line
        // reads the same with it (a mark further down stays part of its line, see below).
        ReadCase{"AByteOrderMarkBeforeTheFirstLine",
                 "\xEF\xBB\xBFSoundOn=False\r\nSoundVolume=3\r\nMusicOn=false\r\nMusicVolume=10\r\nSoundDriver=-1\r\n"
                 "SoundDevice=0\r\nDisplayBrightness=0.495\r\nFullScreen=FALSE\r\nDialogs=False\r\nBitBlt=True\r\n"
                 "AnimateWater=False\r\nSystemMemoryBackBuffer=False\r\n",
                 {},
                 Settings{false, 3, false, 10, -1, 0, 0.495f, false, false, true, true, false}},
        ReadCase{"AByteOrderMarkBeforeAnInvalidFirstLine", "\xEF\xBB\xBF SoundVolume = 11\r\n",
                 {Invalid("SoundVolume", "10 used instead.")}, With([](Settings& s) { s.SoundVolume = 10; })},
        ReadCase{"SpacesCapitalsAndLineEnds", " Sound Vol ume = 7 \rMUSICON = TRUE\nbit blt=tRuE\r\n", {},
                 With([](Settings& s) { s.SoundVolume = 7; s.BitBlt = true; })},
        ReadCase{"UnknownRepeatedAndBrokenLines",
                 "Colour=red\r\nSoundVolume=2\r\nSoundVolume=4\r\njunk line\r\n=\r\nSoundVolume=1=2\r\n"
                 "\xEF\xBB\xBFSoundOn=False\r\n\x01\x02\xff\xfe=\x80\r\n",
                 {Invalid("SoundVolume", "Defaulting to 5")},
                 With([](Settings& s) { s.SoundVolume = 5; })},
        ReadCase{"Booleans", "SoundOn=yes\r\nFullScreen=1\r\nDialogs=\r\nAnimateWater\r\nBitBlt=TRUE\r\n",
                 {Invalid("SoundOn", "Defaulting to True"), Invalid("FullScreen", "Defaulting to False"),
                  Invalid("Dialogs", "Defaulting to True"), Invalid("AnimateWater", "Defaulting to True")},
                 With([](Settings& s) { s.FullScreen = false; s.BitBlt = true; })},
        ReadCase{"BooleanDefaultsOfTheInvalidPath",
                 "MusicOn=x\r\nSystemMemoryBackBuffer=x\r\nBitBlt=x\r\nSoundOn=False\r\nSoundOn=x\r\n",
                 {Invalid("MusicOn", "Defaulting to True"), Invalid("SystemMemoryBackBuffer", "Defaulting to True"),
                  Invalid("BitBlt", "Defaulting to False"), Invalid("SoundOn", "Defaulting to True")},
                 Settings{}},
        ReadCase{"Volumes",
                 "SoundVolume=12\r\nMusicVolume=-3\r\n",
                 {Invalid("SoundVolume", "10 used instead."), Invalid("MusicVolume", "0 used instead.")},
                 With([](Settings& s) { s.SoundVolume = 10; s.MusicVolume = 0; })},
        ReadCase{"VolumesThatAreNoIntegers",
                 "SoundVolume=5.5\r\nMusicVolume=99999999999\r\nSoundVolume=\r\nMusicVolume=0x10\r\nSoundVolume=+9\r\n",
                 {Invalid("SoundVolume", "Defaulting to 5"), Invalid("MusicVolume", "Defaulting to 5"),
                  Invalid("SoundVolume", "Defaulting to 5"), Invalid("MusicVolume", "Defaulting to 5")},
                 With([](Settings& s) { s.SoundVolume = 9; })},
        ReadCase{"BrightnessEdges",
                 "DisplayBrightness=0.49\r\n",
                 {},
                 With([](Settings& s) { s.Brightness = 0.49f; })},
        ReadCase{"BrightnessUpperEdge", "DisplayBrightness=2.71\r\n", {},
                 With([](Settings& s) { s.Brightness = 2.71f; })},
        ReadCase{"BrightnessOutOfRange", "DisplayBrightness=0.4\r\nDisplayBrightness=2.72\r\n",
                 {Invalid("DisplayBrightness", "0.5 used instead."), Invalid("DisplayBrightness", "2.7 used instead.")},
                 With([](Settings& s) { s.Brightness = 2.7f; })},
        ReadCase{"BrightnessThatIsNoNumber",
                 "DisplayBrightness=1.5\r\nDisplayBrightness=nan\r\nDisplayBrightness=inf\r\nDisplayBrightness=1e309\r\n"
                 "DisplayBrightness=0,5\r\nDisplayBrightness=0x1p0\r\nDisplayBrightness=1e39\r\n",
                 {Invalid("DisplayBrightness", "Defaulting to 1.5"), Invalid("DisplayBrightness", "Defaulting to 1.5"),
                  Invalid("DisplayBrightness", "Defaulting to 1.5"), Invalid("DisplayBrightness", "Defaulting to 1.5"),
                  Invalid("DisplayBrightness", "Defaulting to 1.5"), Invalid("DisplayBrightness", "Defaulting to 1.5")},
                 With([](Settings& s) { s.Brightness = 1.5f; })},
        ReadCase{"SoundDevices",
                 "SoundDevice=3\r\nSoundDevice=1\r\nSoundDevice=7\r\nSoundDevice=256\r\nSoundDevice=-1\r\n"
                 "SoundDevice=1\r\nSoundDevice=x\r\n",
                 {"Parameter SoundDevice has an invalid Value, defaulting to 0",
                  "Parameter SoundDevice has an invalid Value, defaulting to 0",
                  "Parameter SoundDevice has an invalid Value, defaulting to 0",
                  "Parameter SoundDevice has an invalid Value, defaulting to 0",
                  "Parameter SoundDevice has an invalid Value, defaulting to 0"},
                 With([](Settings& s) { s.SoundDevice = 0; })},
        ReadCase{"SoundDrivers", "SoundDriver=1000\r\n", {}, With([](Settings& s) { s.SoundDriver = 1000; })},
        ReadCase{"SoundDriverThatIsNoInteger", "SoundDriver=-1\r\nSoundDriver=1e3\r\n",
                 {"Parameter SoundDriver has an invalid Value, defaulting to 0"}, Settings{}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ConfigRead, AHugeLineAndAMissingFileAreHarmless)
{
    ReadConfigFile();
    EXPECT_EQ(Current(), Settings{});
    Dir.Write("Config.cfg", "SoundVolume=" + std::string(1 << 20, '7') + "\r\nMusicVolume=2\r\n");
    ReadConfigFile();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Invalid("SoundVolume", "Defaulting to 5")});
    EXPECT_EQ(MusicVolume, 2);
    // A folder of that name is no file.
    std::filesystem::remove(Dir / "Config.cfg");
    std::filesystem::create_directory(Dir / "Config.cfg");
    ReadConfigFile();
    EXPECT_EQ(BoxTexts().size(), 1u);
}

TEST(ConfigWrite, FloatsAreWrittenInTheGeneralFormat)
{
    EXPECT_EQ(ConfigFloatText(1.1f), "1.1");
    EXPECT_EQ(ConfigFloatText(0.495f), "0.495");
    EXPECT_EQ(ConfigFloatText(2.7f), "2.7");
    EXPECT_EQ(ConfigFloatText(0.5f), "0.5");
    EXPECT_EQ(ConfigFloatText(1.23456789f), "1.234568");
}

// ---------------------------------------------------------------------------------------
// The whole program

using ConfigProgram = ShellTest;

TEST_F(ConfigProgram, InvalidValuesAreReportedAtStartAndWrittenBackCorrected)
{
    WriteConfig(
        "soundvolume=12\r\nFull Screen = maybe\r\nSOUNDDEVICE=7\r\nDisplayBrightness=nan\r\nColour=blue\r\n"
        "MusicVolume=3\r\nMusicVolume=4\r\nanimatewater=false\r\nSoundDriver=50\r\nBitBlt=True\r\n");
    Start();
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{Invalid("SoundVolume", "10 used instead."),
                                                    Invalid("FullScreen", "Defaulting to False"),
                                                    "Parameter SoundDevice has an invalid Value, defaulting to 0",
                                                    Invalid("DisplayBrightness", "Defaulting to 1.1")}));
    EXPECT_EQ(Form1->ActiveDisplayType, dtWindowedBitmap);
    EXPECT_EQ(FmodTest::ChosenOutput(), 0);
    TestHooks::ClearMessageBoxLog();
    CloseWindow();
    EXPECT_EQ(ReadConfig(),
              "SoundOn=True\r\nSoundVolume=10\r\nMusicOn=True\r\nMusicVolume=4\r\nSoundDriver=50\r\n"
              "SoundDevice=0\r\nDisplayBrightness=1.1\r\nFullScreen=False\r\nDialogs=True\r\nBitBlt=True\r\n"
              "AnimateWater=False\r\nSystemMemoryBackBuffer=True\r\n");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

TEST_F(ConfigProgram, SwitchesStayInTheSettingsAndTheSetOptionNeedsAFile)
{
    WriteConfig("FullScreen=False\r\nSystemMemoryBackBuffer=False\r\n");
    Start({"-bitblt", "/FULLSCREEN", "-UseSystemMemoryBackBuffer", "-NoVideo", "-Set", "Missing.set"});
    EXPECT_EQ(Form1->ActiveDisplayType, dtFullScreenBitmap);
    EXPECT_TRUE(NoVideo);
    EXPECT_EQ(LevelSetFileName, "Gromble.Set");
    CloseWindow();
    const std::string written = ReadConfig();
    EXPECT_NE(written.find("FullScreen=True\r\n"), std::string::npos);
    EXPECT_NE(written.find("BitBlt=True\r\n"), std::string::npos);
    EXPECT_NE(written.find("SystemMemoryBackBuffer=True\r\n"), std::string::npos);
}

TEST_F(ConfigProgram, TheSetOptionNamesAnExistingSet)
{
    WriteFirstSteps();
    Dir.Write("Mine.set", "Level Levels\\First.map\r\n");
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start({"-set:Mine.set"});
    // An attached value is upper-cased; the file is found whatever its case.
    EXPECT_EQ(LevelSetFileName, "MINE.SET");
}

// A link named "Config.cfg": the settings are read through it, and the file written at
// exit takes the link's place; the file it pointed at is left as it was.
TEST_F(ConfigProgram, ALinkNamedConfigIsReplacedByTheWrittenFileAndItsTargetLeftAlone)
{
    const std::string target = "FullScreen=False\r\nBitBlt=True\r\nMusicVolume=2\r\n";
    Dir.Write("Elsewhere.cfg", target);
    std::filesystem::create_symlink(Dir / "Elsewhere.cfg", Dir / "Config.cfg");
    Start();
    EXPECT_EQ(MusicVolume, 2);
    MusicVolume = 6;
    CloseWindow();
    EXPECT_FALSE(std::filesystem::is_symlink(Dir / "Config.cfg"));
    EXPECT_NE(ReadConfig().find("MusicVolume=6\r\n"), std::string::npos) << ReadConfig();
    EXPECT_NE(ReadConfig().find("BitBlt=True\r\n"), std::string::npos) << ReadConfig();
    EXPECT_EQ(ScratchDir::Read(Dir / "Elsewhere.cfg"), target);
}

// A settings file that cannot be replaced at exit: the error once, the old file as it
// was, and the window still closes.
TEST_F(ConfigProgram, AFailingWriteAtExitIsShownOnceAndTheProgramStillCloses)
{
    const std::string old = "FullScreen=False\r\nBitBlt=True\r\n";
    WriteConfig(old);
    Start();
    // A folder in the way of the new file fails for every user.
    std::filesystem::remove(Dir / "Config.cfg");
    std::filesystem::create_directory(Dir / "Config.cfg");
    Dir.Write("Config.cfg/keep", old);
    ::testing::internal::CaptureStderr();
    CloseWindow();
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_NE(told.find("Config.cfg not written"), std::string::npos) << told;
    EXPECT_EQ(ScratchDir::Read(Dir / "Config.cfg/keep"), old);
}

// A step of the teardown that fails does not cost the settings: they are written after it.
TEST_F(ConfigProgram, TheSettingsAreWrittenAfterAFailingTeardownStep)
{
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    ShowDebugMessages = true;
    MusicVolume = 8;
    TestHooks::SetMessageBoxAnswer([](const TMessageBoxRequest& r) -> TModalResult {
        if (r.Text == "Freeing Graphics data")
            throw Exception("a teardown step failed");
        return mrOk;
    });
    ::testing::internal::CaptureStderr();
    CloseWindow();
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_NE(told.find("a teardown step failed"), std::string::npos) << told;
    EXPECT_NE(ReadConfig().find("MusicVolume=8\r\n"), std::string::npos);
}

// A program folder nobody may write into (not testable as the superuser, who may).
TEST(ConfigReadOnlyFolder, StartUpGoesOnAndTheFailedWritesAreToldOnce)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    ScratchProgramDir dir;
    dir.Write("Config.cfg", "FullScreen=False\r\nBitBlt=True\r\n");
    chmod((dir / "Config.cfg").c_str(), 0444);
    chmod(dir.Path().c_str(), 0555);
    const ProgramRun run = RunTesk(dir, {}, {"TP_AUTOCLOSE_MS=2500"}, 60);
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(UncleanStop(run), "") << run.Stderr;
    EXPECT_EQ(ScratchDir::Read(dir / "Config.cfg"), "FullScreen=False\r\nBitBlt=True\r\n");
    EXPECT_NE(run.Stderr.find("Config.cfg not written"), std::string::npos) << run.Stderr;
    EXPECT_NE(run.Stderr.find("Progress"), std::string::npos) << run.Stderr;
}
