// The engine's modes: the mode stack, menus and pop-ups over the game, transitions, the
// step's order and the frame's painters.
#include "tests/tesk/game/EngineHarness.h"

namespace {

class EngineModes : public ::testing::Test {
protected:
    void SetUp() override
    {
        H = std::make_unique<tEngineHarness>();
        tLevelText level;
        level.Unit("Player", 3, 3).Unit("Exit", 10, 3).Unit("Bouncer", 2, 8, {"InitialDirection = Right"});
        H->WriteLoose("Levels/One.map", level.Text());
        H->WriteSet("Test.set", {"Level Levels\\One.map"});
        H->E().LoadLevelSet("Test.set");
    }
    void TearDown() override { H.reset(); }
    tGameEngine& E() { return H->E(); }
    void Play()
    {
        H->StartEntry(0);
        ASSERT_EQ(E().GameMode, gmPlaying);
    }
    std::unique_ptr<tEngineHarness> H;
};

TEST_F(EngineModes, TheConstructorBindsTheKeysAndTheHotWords)
{
    const struct {
        uint16_t key;
        int action;
    } bindings[] = {{1, 1},  {38, 2},  {40, 3},  {37, 4},   {39, 5},   {32, 6},  {13, 7},  {2, 8}, {27, 8},
                    {117, 9}, {82, 9}, {107, 10}, {109, 11}, {45, 12}, {36, 13}, {187, 0}, {189, 0}};
    for (const auto& b : bindings)
        EXPECT_EQ(E().LiveInput.ActionForKey(b.key), b.action) << b.key;
    EXPECT_EQ(E().Input, &E().LiveInput);
    EXPECT_TRUE(E().InputAllowed);
    EXPECT_EQ(E().MenuItem, 1);
    EXPECT_TRUE(LookAheadEnabled);
    EXPECT_EQ(GameLevel, &E().Level);
    ASSERT_EQ(E().LiveInput.CheatCodes.size(), 2u);
    EXPECT_EQ(E().LiveInput.CheatCodes[0]->Text, "glimmerhound");
    EXPECT_EQ(E().LiveInput.CheatCodes[1]->Text, "brackle");
}

TEST_F(EngineModes, EscOpensTheMenuOverTheGameAndClosesItWhereTheTurnStopped)
{
    Play();
    H->Tick(17);
    std::vector<uint16_t> frame;
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            frame.push_back(H->FramePixel(x, y));
    // The tick's turn timing runs before the menu key is read.
    H->Press(27);
    H->Steps(1);
    const int32_t levelTicks = E().LevelTicks;
    const int32_t tickInTurn = TickInTurn;
    EXPECT_EQ(levelTicks, 18);
    EXPECT_EQ(E().GameMode, gmMainMenu);
    EXPECT_EQ(E().ModeStackDepth, 1);
    EXPECT_EQ(E().ModeStack[0], gmPlaying);
    EXPECT_EQ(E().MenuItem, 0);
    ASSERT_NE(E().OverlaySnapshotDib, nullptr);
    // The snapshot is the frame at half light.
    for (int y = 0; y < FrameHeight; y += 37)
        for (int x = 0; x < FrameWidth; x += 41)
            ASSERT_EQ(E().OverlaySnapshotDib->ScanLine(y)[x],
                      HalfLightTable[frame[static_cast<size_t>(y * FrameWidth + x)]]);
    H->Tick(30);
    EXPECT_EQ(E().LevelTicks, levelTicks);
    EXPECT_EQ(TickInTurn, tickInTurn);
    H->Press(27);
    H->Steps(1);
    EXPECT_EQ(E().GameMode, gmPlaying);
    EXPECT_EQ(E().ModeStackDepth, 0);
    EXPECT_EQ(E().OverlaySnapshotDib, nullptr);
    EXPECT_EQ(E().LevelTicks, levelTicks);
    H->Steps(1);
    EXPECT_EQ(E().LevelTicks, levelTicks + 1);
}

TEST_F(EngineModes, TheMenuKeyIsLeftToTheSlabPagesAndDoesNothingWithoutAGame)
{
    Play();
    // The page's own handler answers Esc; the step opens no menu over it.
    E().SetGameMode(gmOptions);
    H->Press(27);
    H->Steps(1);
    EXPECT_EQ(E().ModeStackDepth, 0);
    EXPECT_EQ(E().OverlaySnapshotDib, nullptr);

    E().SetGameMode(gmPlaying);
    E().GameRunning = false;
    H->Press(27);
    H->Steps(1);
    EXPECT_EQ(E().GameMode, gmPlaying);
}

TEST_F(EngineModes, ElevenPushesFitAndTheTwelfthOverflows)
{
    for (int i = 0; i < 11; ++i)
        E().PushGameMode();
    EXPECT_EQ(E().ModeStackDepth, 11);
    try {
        E().PushGameMode();
        FAIL() << "no overflow";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "GameMode Stack overflow");
    }
    EXPECT_EQ(E().ModeStackDepth, 11);
    for (int i = 0; i < 11; ++i)
        E().PopGameMode();
    try {
        E().PopGameMode();
        FAIL() << "no underflow";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "GameMode Stack underflow");
    }
}

TEST_F(EngineModes, TransitionsDarkenTheFrameForSeventeenFramesAndEndInTheTarget)
{
    Play();
    for (const uint8_t target : {gmMainMenu, gmLevelPick, gmNextUnsolvedLevel}) {
        SCOPED_TRACE(int(target));
        E().ModeStackDepth = 0;
        E().SetGameMode(gmPlaying);
        H->Frame->Fill(RGBToPixel(200, 200, 200));
        E().StartTransition(target);
        EXPECT_EQ(H->Frame->CoverMaskActive, false);
        EXPECT_FALSE(E().InputAllowed);
        uint16_t a = H->FramePixel(300, 200), b = H->FramePixel(301, 200);
        for (int frame = 0; frame < 17; ++frame) {
            ASSERT_EQ(E().GameMode, gmTransition) << frame;
            E().DrawFrame();
            // Each frame darkens the other half of the checkerboard again.
            a = frame % 2 == 0 ? DarkenTable[a] : a;
            b = frame % 2 == 1 ? DarkenTable[b] : b;
            ASSERT_EQ(H->FramePixel(300, 200), a) << frame;
            ASSERT_EQ(H->FramePixel(301, 200), b) << frame;
        }
        EXPECT_EQ(E().TransitionDib, nullptr);
        if (target == gmNextUnsolvedLevel) {
            EXPECT_EQ(E().GameMode, gmNextUnsolvedLevel);
            EXPECT_EQ(E().ModeStackDepth, 0);
        } else {
            EXPECT_EQ(E().GameMode, target);
            // The pop-up began first: the transition's mode was pushed under it.
            EXPECT_EQ(E().ModeStackDepth, 1);
            EXPECT_NE(E().OverlaySnapshotDib, nullptr);
        }
    }
}

TEST_F(EngineModes, DeathModeStopsOnlyAPlayingRecorder)
{
    Play();
    Recorder.StartPlayback();
    E().SetGameMode(gmDead);
    EXPECT_EQ(Recorder.State(), rsStopped);
    Recorder.StartRecording();
    E().DeadTicks = 7;
    E().SetGameMode(gmDead);
    EXPECT_EQ(Recorder.State(), rsRecording);
    EXPECT_EQ(E().DeadTicks, 0);
    Recorder.Clear();
}

TEST_F(EngineModes, TransitionAndLevelStartDrawNoCursor)
{
    Play();
    H->Pointer(300, 200);
    for (const uint8_t mode : {gmTransition, gmLevelStart}) {
        E().SetGameMode(mode);
        EXPECT_FALSE(E().InputAllowed);
        E().DrawMouseCursor();
        EXPECT_FALSE(E().CursorDrawn);
    }
}

TEST_F(EngineModes, TheLevelEndKeysEndTheLevelInTheSameTickAsTheTurnLoopRuns)
{
    for (const bool insertHeld : {true, false}) {
        Play();
        H->Tick(5);
        const int32_t moves = E().LevelTicks;
        H->KeyDown(insertHeld ? 45 : 36);
        H->Press(insertHeld ? 36 : 45);
        H->Steps(1);
        H->KeyUp(insertHeld ? 45 : 36);
        EXPECT_EQ(E().LevelTicks, moves + 1);
        EXPECT_EQ(E().GameMode, gmLevelEnd);
        H->Tick(1);
        EXPECT_NE(E().GameMode, gmLevelEnd);
    }
}

TEST_F(EngineModes, AnArrowLatchedInMidTurnWaitsForTheBoundaryButMenusClearEveryLatch)
{
    LookAheadEnabled = false;
    Play();
    H->Tick(2);
    H->Press(40);
    H->Steps(3);
    EXPECT_TRUE(E().LiveInput.IsLatched(3));
    H->Steps(12);
    EXPECT_FALSE(E().LiveInput.IsLatched(3));
    EXPECT_EQ(H->Hero()->TargetY, 4);

    E().OpenMenu();
    H->Press(40);
    H->Steps(1);
    EXPECT_FALSE(E().LiveInput.IsLatched(3));
}

TEST_F(EngineModes, TheResetWarpsSignalActsOnTheDeathChoice)
{
    for (const uint8_t action : {paMenu, paLevelPick, paTryAgain}) {
        SCOPED_TRACE(int(action));
        Play();
        E().PendingAction = action;
        E().ResetWarpDone = true;
        H->Steps(1);
        EXPECT_FALSE(E().ResetWarpDone);
        if (action == paTryAgain) {
            EXPECT_TRUE(E().GameRunning);
            EXPECT_FALSE(E().RestartRequested);
            EXPECT_EQ(E().GameMode, gmTransition);
            EXPECT_EQ(E().TransitionTarget, gmLevelStart);
            EXPECT_EQ(E().LevelTicks, 0);
        } else {
            EXPECT_FALSE(E().GameRunning);
            EXPECT_EQ(E().GameMode, gmTransition);
            EXPECT_EQ(E().TransitionTarget, action == paMenu ? gmMainMenu : gmLevelPick);
        }
    }
}

TEST_F(EngineModes, TheSidePanelsMenuButtonOpensTheMenuInThePlayModes)
{
    Play();
    for (const uint8_t mode : {gmPlaying, gmDying, gmDead, gmSetCompleted, gmLevelStart}) {
        SCOPED_TRACE(int(mode));
        E().ModeStackDepth = 0;
        E().OverlaySnapshotDib.reset();
        E().SetGameMode(mode);
        SidePanelMenuClicked = true;
        H->Press(38);
        H->Steps(1);
        if (mode == gmLevelStart) {
            EXPECT_TRUE(SidePanelMenuClicked);
            SidePanelMenuClicked = false;
        } else {
            EXPECT_EQ(E().GameMode, gmMainMenu);
            EXPECT_FALSE(SidePanelMenuClicked);
            EXPECT_FALSE(E().LiveInput.IsLatched(2));
        }
    }
}

TEST_F(EngineModes, TheUnusedModesDrawNothing)
{
    Play();
    H->Pointer(-500, -500);
    H->Tick(2);
    for (const uint8_t mode : {uint8_t(28), gmLevelPick, uint8_t(31)}) {
        E().SetGameMode(mode);
        const std::vector<uint16_t> before = H->Playfield();
        const TBitmap picture = H->FramePicture();
        E().DrawFrame();
        EXPECT_EQ(ComparePictures(picture, H->FramePicture(), 0).Differing, 0) << int(mode);
    }
}

// With the real pictures behind it, every mode steps and draws: the stubs and the
// screens that replace them alike.
TEST(EngineModesWithArt, EveryModeStepsAndDraws)
{
    tHarnessOptions options;
    options.RealArt = true;
    tEngineHarness h(options);
    tLevelText level;
    level.Unit("Player", 3, 3).Unit("Exit", 10, 3);
    h.WriteLoose("Levels/One.map", level.Text());
    h.WriteSet("Test.set", {"Level Levels\\One.map"});
    h.E().LoadLevelSet("Test.set");
    h.StartEntry(0);
    for (int mode = 0; mode <= 35; ++mode) {
        SCOPED_TRACE(mode);
        h.E().ModeStackDepth = 0;
        h.E().OverlaySnapshotDib.reset();
        h.E().GameRunning = true;
        h.E().SetGameMode(static_cast<uint8_t>(mode));
        try {
            h.Tick(3);
        } catch (const Exception& e) {
            ADD_FAILURE() << e.Message();
        }
        EXPECT_LE(h.E().ModeStackDepth, 1);
    }
}

TEST_F(EngineModes, AMenuOverAMenuSnapshotsAnew)
{
    Play();
    E().OpenMenu();
    tDib16* first = E().OverlaySnapshotDib.get();
    E().GameRunning = false;
    E().BeginPopup();
    EXPECT_NE(E().OverlaySnapshotDib.get(), nullptr);
    (void)first;
    E().EndPopup();
    EXPECT_EQ(E().OverlaySnapshotDib, nullptr);
}

} // namespace
