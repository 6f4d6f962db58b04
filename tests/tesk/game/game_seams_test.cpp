// The headers the engine, the unit kinds, the in-game screens and the shell meet at: every
// declared routine links and can be called, and the basics behave as the others rely on.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/ExtCtrls.h"
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Players.h"
#include "tesk/game/PopUpForm.h"
#include "tesk/game/Settings.h"
#include "tesk/game/SidePanel.h"
#include "tesk/game/SlabDialogs.h"
#include "tests/tesk/toolkit/GraphicsFixture.h"

namespace {

class SeamTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        Frame = std::make_unique<tDib16>(FrameWidth, FrameHeight);
        Frame->ClipRect = TRect{0, 0, FrameWidth, FrameHeight};
        CurrentDib = Frame.get();
    }
    void TearDown() override
    {
        CurrentDib = nullptr;
        Frame.reset();
        GraphicsTest::TearDown();
    }
    // Runs each call; an exception of the game's own class is an answer too (a loader
    // asked for a missing file), anything else fails.
    static void CallAll(const std::vector<std::function<void()>>& calls)
    {
        for (size_t i = 0; i < calls.size(); ++i) {
            try {
                calls[i]();
            } catch (const Exception&) {
            }
        }
    }
    std::unique_ptr<tDib16> Frame;
};

TEST_F(SeamTest, EveryRoutineOfTheScreensAndKindsLinksAndRuns)
{
    std::vector<std::string> hookCalls;
    PopUpShowHook = [&](const std::string& image, TPoint, const std::string& caption) {
        hookCalls.push_back(image + "|" + caption);
    };
    CallAll({
        [] { InvalidateSidePanel(); }, [] { DrawSidePanelBackground(); }, [] { RedrawSidePanel(); },
        [] { UpdateSidePanelMouse(TPoint{10, 10}, true, true); }, [] { InitSidePanel(); },
        [] { LoadSidePanelGraphicsData(); }, [] { LoadSidePanelSoundData(); }, [] { FreeSidePanelSoundData(); },
        [] { FreeSidePanelGraphicsData(); }, [] { DoneSidePanel(); },
        [] { (void)MenuFontKerning('A', 'V'); }, [] { (void)MenuFontTextWidth("MENU"); },
        [] { DrawMenuText(10, 40, "A", 0); }, [] { DrawMenuTextCentred(320, 40, "A", 1); },
        [] { DrawMenuTextMarked(10, 40, "A", 2); }, [] { DrawMenuTextMarkedCentred(320, 40, "A", -1); },
        [] { LoadFontGraphicsData(); }, [] { FreeFontGraphicsData(); },
        [] { ChooseDeathPopup("tSpider"); }, [] { ResetEndOfLevelPopupHighlights(); }, [] { DrawDeathPopup(); },
        [] { DrawSolvedPopup(); }, [] { DrawPartiallySolvedPopup(); }, [] { LoadEndOfLevelPopupsGraphicsData(); },
        [] { FreeEndOfLevelPopupsGraphicsData(); },
        [] { ResetSlabHighlights(); }, [] { UnloadSlabImages(); }, [] { DrawOptionsSlab(); }, [] { DrawVideoSlab(); },
        [] { DrawAdvancedVideoSlab(); }, [] { DrawSoundSlab(); }, [] { DrawAdvancedSoundSlab(); },
        [] { DrawSpareSlabA(); }, [] { DrawSpareSlabB(); }, [] { DrawExtrasSlab(); }, [] { DrawInstructionsSlab(); },
        [] { DrawCreditsSlab(); }, [] { DrawHighScoresSlab(); }, [] { DrawLoadGameSlab(); },
        [] { DrawSaveGameSlab(); }, [] { InitSlabDialogs(); }, [] { LoadSlabDialogGraphicsData(); },
        [] { LoadSlabDialogSoundData(); }, [] { FreeSlabDialogSoundData(); }, [] { FreeSlabDialogGraphicsData(); },
        [] { DoneSlabDialogs(); },
        [] { InitPlayerData(); }, [] { LoadPlayerGraphicsData(); }, [] { LoadPlayerSoundData(); },
        [] { FreePlayerSoundData(); }, [] { FreePlayerGraphicsData(); }, [] { FreePlayerData(); },
        [] { InitUnitData(); }, [] { LoadUnitGraphicsData(); }, [] { LoadUnitSoundData(); },
        [] { FreeUnitSoundData(); }, [] { FreeUnitGraphicsData(); }, [] { FreeUnitData(); },
        [] {
            TPopUp popUp;
            popUp.ShowPopUp("Info.jpg", TPoint{1, 2}, "HELLO");
        },
    });
    EXPECT_EQ(hookCalls, std::vector<std::string>{"Info.jpg|HELLO"});
    PopUpShowHook = nullptr;

    // The samples and result pictures exist for the whole run; an empty sample plays nothing.
    for (tGameSample* s : {&MenuMoveSound, &MenuMouseMoveSound, &MenuSelectSound, &MenuCloseSound, &SliderSound,
                           &InvalidOptionSound, &MainMenuOpenSound, &MainMenuCloseSound})
        EXPECT_LE(s->Play(), 0);
    EXPECT_NE(&SolvedPicture, &PartiallySolvedPicture);
    EXPECT_EQ(MainMenuItems[4], "HELP PAGE");
}

TEST_F(SeamTest, TheHeroClassesAndKindsHaveTheirClassInfo)
{
    for (TClass cls : {tActualPlayer::StaticClass(), tFakePlayer::StaticClass(), tOOTPlayer::StaticClass()})
        EXPECT_TRUE(cls->InheritsFrom(tPlayer::StaticClass())) << cls->ClassName;
    for (TClass cls : {tBoulder::StaticClass(), tDirt::StaticClass(), tKey::StaticClass(), tJewel::StaticClass(),
                       tExit::StaticClass(), tSnake::StaticClass(), tSpider::StaticClass(),
                       tCherryBomb::StaticClass(), tInfo::StaticClass()})
        EXPECT_TRUE(cls->InheritsFrom(tPlayerAwareUnit::StaticClass())) << cls->ClassName;
    EXPECT_FALSE(tWater::StaticClass()->InheritsFrom(tPlayerAwareUnit::StaticClass()));

    // A kind asks for the hero through the game level: none without a level or a hero.
    tKey key;
    {
        tGameEngine engine;
        EXPECT_EQ(key.Player(), nullptr);
        auto hero = engine.Level.AddUnit(CreateUnit(tActualPlayer::StaticClass()));
        engine.Level.Player = hero;
        EXPECT_EQ(key.Player(), hero);
    }
    EXPECT_EQ(GameLevel, nullptr);
    EXPECT_EQ(key.Player(), nullptr);
}

TEST_F(SeamTest, EveryEngineMemberLinksAndRuns)
{
    tGameEngine engine;
    Engine = &engine;
    TPaintBox box(nullptr);
    tGameEngine& e = engine;
    CallAll({
        [&] { e.SetGameMode(gmNone); }, [&] { e.PushGameMode(); }, [&] { e.PopGameMode(); },
        [&] { e.StartTransition(gmNone); }, [&] { e.BeginOverlay(); }, [&] { e.EndOverlay(); },
        [&] { e.OpenMenu(); }, [&] { e.CloseMenu(); }, [&] { e.BeginPopup(); }, [&] { e.EndPopup(); },
        [&] { e.Step(); }, [&] { e.DrawFrame(); }, [&] { (void)e.UnitAtCell(0, 0); },
        [&] { e.SetEditMode(false); }, [&] { e.TransitionStep(); },
        [&] { e.MainMenuStep(); }, [&] { e.DeathPopupStep(); }, [&] { e.LevelResultPopupStep(); },
        [&] { e.DrawMainMenu(); }, [&] { e.OptionsMenuStep(); }, [&] { e.VideoOptionsStep(); },
        [&] { e.AdvancedVideoOptionsStep(); }, [&] { e.SoundOptionsStep(); },
        [&] { e.AdvancedSoundOptionsStep(); }, [&] { e.ExtrasMenuStep(); }, [&] { e.InstructionsStep(); },
        [&] { e.CreditsStep(); }, [&] { e.HighScoresStep(); }, [&] { e.LoadGameStep(); },
        [&] { e.SaveGameStep(); },
        [&] { e.RunTurnTick(); }, [&] { e.TakeTurns(); }, [&] { e.HandleSpeedKeys(); },
        [&] { e.StartLookAheadMove(); }, [&] { e.DrawSpeedMessage(); }, [&] { e.DrawLookAheadDiagnostics(); },
        [&] { e.LoadLevel("Missing.map"); }, [&] { e.NewLevel(); }, [&] { e.LoadLevelGraphics(); },
        [&] { e.SetMusic(""); }, [&] { e.SetBackground("Missing.jpg"); }, [&] { e.RestartLevel(false); },
        [&] { e.RestartLevelWithMusic(); }, [&] { e.LevelStartStep(); }, [&] { e.DrawLevelStart(); },
        [&] { e.DrawGameScreen(); }, [&] { e.RedrawAll(); }, [&] { e.CopyBackground(); },
        [&] { e.RestoreBackground(); }, [&] { e.DrawPlayfield(); }, [&] { e.DrawEditorCursor(); },
        [&] { e.UpdateMousePosition(); }, [&] { e.DrawMouseCursor(); }, [&] { e.EraseMouseCursor(); },
        [&] { e.LoadLevelSet("Missing.set"); }, [&] { e.ReadLevelTitles(); }, [&] { e.LoadProgress(); },
        [&] { e.SaveProgress(); }, [&] { e.ClearProgress(); }, [&] { (void)e.GetLevelStatus(0); },
        [&] { e.SetLevelStatus(0, 1); }, [&] { e.RecordLevelResult(); }, [&] { (void)e.AllLevelsSolved(); },
        [&] { (void)e.IsLevelEntry(0); }, [&] { (void)e.IsDummyLevelEntry(0); }, [&] { e.StartCurrentEntry(); },
        [&] { e.StartSetEntry("Nothing here"); }, [&] { e.StartLevelFile("Missing.map"); },
        [&] { e.NextSetEntry(); }, [&] { e.NextUnsolvedEntry(); }, [&] { e.GoToSetEntry(0); },
        [&] { e.LevelEndStep(); }, [&] { e.StartSolutionRecording(); }, [&] { e.PlaySolution(); },
        [&] { (void)e.ProgressFileName(); },
        [&] { DrawArrowKeyState(box.Canvas(), e.LiveInput, 50, 50, 0xA08080, 0x804040); },
        [&] { (void)LevelNumberCaption("Gromble.set", 0); }, [&] { (void)IsContainedDataName("a.map"); },
        [&] { (void)SolutionFileName("a.map"); },
    });
    Engine = nullptr;
}

TEST(SeamBasics, SettingsStartAtTheirDefaults)
{
    EXPECT_TRUE(Dialogs);
    EXPECT_FALSE(DontAnimateWater);
    EXPECT_TRUE(FullScreen);
    EXPECT_FALSE(UseBitBlt);
    EXPECT_FALSE(NoVideo);
    EXPECT_EQ(LevelSetFileName, "Gromble.Set");
}

TEST(SeamBasics, TheStartEntryComesFromTheEnvironment)
{
    const struct {
        const char* value;
        int32_t entry;
    } cases[] = {{"0", 0}, {"2", 2}, {"", -1}, {"x", -1}, {"-1", -1}, {"99999999999", -1}, {"2147483647", 2147483647},
                 {"2147483648", -1}, {" 1", -1}, {"1x", -1}};
    for (const auto& c : cases) {
        setenv("TP_START_ENTRY", c.value, 1);
        EXPECT_EQ(TestStartEntry(), c.entry) << '"' << c.value << '"';
    }
    unsetenv("TP_START_ENTRY");
    EXPECT_EQ(TestStartEntry(), -1);
}

TEST(SeamBasics, TheBusyFlagNestsAndFallsWithAnException)
{
    EXPECT_FALSE(EngineBusy());
    {
        tEngineBusyScope outer;
        {
            tEngineBusyScope inner;
            EXPECT_TRUE(EngineBusy());
        }
        EXPECT_TRUE(EngineBusy());
    }
    EXPECT_FALSE(EngineBusy());
    try {
        tEngineBusyScope scope;
        throw Exception("step failed");
    } catch (const Exception&) {
    }
    EXPECT_FALSE(EngineBusy());
}

} // namespace
