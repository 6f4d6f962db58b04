// A damaged picture that is read only when something first draws from it (the cursor and
// unit sheet, the side panel, the slab pages, the blast, the pop-ups): the tick that fails
// on it twice running ends the program after one box naming the picture and the reason,
// and the settings are written as at any close. In the menu and in play, in-process and
// through the built program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

#include "tesk/game/Units.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

// 4 KB that no picture reader takes for a picture.
std::string Garbage()
{
    std::mt19937 random(36);
    std::string bytes(4096, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

struct PictureCase {
    const char* Name;
    const char* File;
    bool InPlay;  // started in the first level of the set, else in the main menu
    // Brings the picture on screen once the game runs.
    std::function<void()> Show;
};
void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.Name; }

class DamagedPicture : public ShellTest, public ::testing::WithParamInterface<PictureCase> {
protected:
    void TearDown() override
    {
        unsetenv("TP_START_ENTRY");
        ShellTest::TearDown();
    }
};

// A cherry bomb going off at the far side of the playfield.
void Blast()
{
    std::unique_ptr<tUnit> unit = CreateUnit(tCherryBomb::StaticClass());
    unit->SetInitialX(13);
    unit->SetInitialY(12);
    auto* bomb = static_cast<tCherryBomb*>(Engine->Level.AddUnit(std::move(unit)));
    bomb->Reset();
    bomb->Detonate();
}

} // namespace

TEST_P(DamagedPicture, OneBoxNamesItAndTheProgramEndsWithItsSettingsWritten)
{
    const PictureCase& c = GetParam();
    Dir.Write(c.File, Garbage());
    if (c.InPlay)
        setenv("TP_START_ENTRY", "0", 1);
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
    MusicVolume = 7;
    if (c.Show)
        c.Show();
    EXPECT_TRUE(TickUntil([] { return !BoxTexts().empty(); }, 400));
    for (int i = 0; i < 5; ++i)
        Tick();

    const std::vector<std::string> boxes = BoxTexts();
    ASSERT_EQ(boxes.size(), 1u) << ::testing::PrintToString(boxes);
    EXPECT_NE(boxes[0].find(" at $"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("\rLast operation performed: Loading " + LowerCased(c.File)), std::string::npos)
        << boxes[0];
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(StartupFailed);
    EXPECT_EQ(Engine, nullptr);
    EXPECT_NE(ReadConfig().find("MusicVolume=7\r\n"), std::string::npos) << ReadConfig();
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, DamagedPicture,
    ::testing::Values(
        PictureCase{"TheUnitSheetInTheMenu", "BaseGfx.jpg", false, nullptr},
        PictureCase{"TheUnitSheetInPlay", "BaseGfx.jpg", true, nullptr},
        PictureCase{"TheSidePanel", "SidePanel.jpg", true, nullptr},
        PictureCase{"TheLevelDigits", "LevelDigits.jpg", true, nullptr},
        PictureCase{"TheWarp", "Warp.jpg", true, nullptr},
        PictureCase{"TheBlast", "FireBall.jpg", true, Blast},
        PictureCase{"TheOptionsSlab", "Menu_Options.jpg", false, [] { Engine->SetGameMode(gmOptions); }},
        PictureCase{"TheCreditsSlab", "CreditsSlab.jpg", false, [] { Engine->SetGameMode(gmCredits); }},
        PictureCase{"TheInstructions", "Instructions(Page1).jpg", false, [] { Engine->SetGameMode(gmInstructions); }},
        PictureCase{"TheLevelEndPopUp", "PopupBase_Large.jpg", true, [] { Engine->SetGameMode(gmLevelEnd); }}),
    [](const auto& info) { return std::string(info.param.Name); });

// The built program, in the menu and in play: the same one box, status 1, no crash.
TEST(DamagedPictureProgram, EndsAfterOneBoxInTheMenuAndInPlay)
{
    for (const bool inPlay : {false, true}) {
        SCOPED_TRACE(inPlay ? "in play" : "in the menu");
        ScratchProgramDir dir;
        dir.Write("BaseGfx.jpg", Garbage());
        std::vector<std::string> env{"TP_AUTOCLOSE_MS=60000"};
        if (inPlay)
            env.push_back("TP_START_ENTRY=0");
        const ProgramRun run = RunTesk(dir, {}, env, 150);
        EXPECT_FALSE(run.TimedOut);
        EXPECT_EQ(run.Signal, 0) << run.Stderr;
        EXPECT_EQ(run.ExitCode, 1) << run.Stderr;
        for (const char* report : {"Sanitizer", "runtime error:"})
            EXPECT_EQ(run.Stderr.find(report), std::string::npos) << run.Stderr;
        const std::string mark = "[message box] ";
        const size_t box = run.Stderr.find(mark);
        ASSERT_NE(box, std::string::npos) << run.Stderr;
        EXPECT_EQ(run.Stderr.find(mark, box + 1), std::string::npos) << run.Stderr;
        EXPECT_NE(run.Stderr.find("Last operation performed: Loading basegfx.jpg", box), std::string::npos)
            << run.Stderr;
        // One line on standard error for the first failing tick, before the box.
        EXPECT_LT(run.Stderr.find("The game's tick failed: "), box) << run.Stderr;
        EXPECT_NE(ScratchDir::Read(dir / "Config.cfg").find("MusicVolume="), std::string::npos);
    }
}
