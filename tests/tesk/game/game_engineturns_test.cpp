// The turn loop: ticks a turn and the speed keys, the input history, the early move and
// its double, the death pop-up's delay, the speed message and the look-ahead dial.
#include "platform/ExtCtrls.h"
#include "tests/tesk/game/EngineHarness.h"

namespace {

class EngineTurns : public ::testing::Test {
protected:
    void SetUp() override
    {
        H = std::make_unique<tEngineHarness>();
        tLevelText level;
        level.Solid = {{9, 3}};
        level.Unit("Player", 8, 3).Unit("Exit", 12, 10);
        H->WriteLoose("Levels/One.map", level.Text());
        H->WriteSet("Test.set", {"Level Levels\\One.map"});
        H->E().LoadLevelSet("Test.set");
        H->StartEntry(0);
        ASSERT_EQ(H->E().GameMode, gmPlaying);
    }
    void TearDown() override { H.reset(); }
    tGameEngine& E() { return H->E(); }
    // The hero standing on a cell.
    void PlaceHero(int32_t x, int32_t y)
    {
        tUnit* hero = H->Hero();
        hero->EndMove();
        hero->CellX = hero->TargetX = x;
        hero->CellY = hero->TargetY = y;
        hero->X = static_cast<float>(x);
        hero->Y = static_cast<float>(y);
    }
    // Steps to the tick whose TickInTurn is the given one (the next one if equal).
    void StepTo(int32_t tickInTurn)
    {
        do
            H->Steps(1);
        while (TickInTurn != tickInTurn);
    }
    std::unique_ptr<tEngineHarness> H;
};

TEST_F(EngineTurns, SpeedKeysChangeTheTicksOfATurnOnABoundary)
{
    LookAheadEnabled = false;
    const struct {
        std::vector<uint16_t> presses;
        int32_t ticks;
        std::string message;
    } cases[] = {{{}, 12, ""},
                 {{107}, 11, "Game Speed +1"},
                 {{107, 107, 107, 107, 107, 107, 107}, 6, "Game Speed +6"},
                 {{109, 109, 109, 109, 109, 109, 109}, 18, "Game Speed -6"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ticks);
        SpeedOffset = 0;
        TicksPerTurn = 12;
        E().SpeedMessage.clear();
        E().SpeedMessageTicks = 0;
        for (const uint16_t key : c.presses) {
            StepTo(TicksPerTurn - 1);
            H->Press(key);
            H->Steps(1);
            ASSERT_EQ(TickInTurn, 0);
            EXPECT_EQ(E().LevelTicks % TicksPerTurn, 0);
        }
        EXPECT_EQ(TicksPerTurn, c.ticks);
        EXPECT_EQ(12 + SpeedOffset, c.ticks);
        EXPECT_EQ(E().SpeedMessage, c.message);
        if (!c.message.empty()) {
            EXPECT_EQ(E().SpeedMessageTicks, 80);
        }
    }
    // Both in one boundary tick: slower first.
    SpeedOffset = 0;
    TicksPerTurn = 12;
    StepTo(11);
    H->Press(107);
    H->Press(109);
    H->Steps(1);
    EXPECT_EQ(TicksPerTurn, 12);
    EXPECT_EQ(E().SpeedMessage, "Game Speed +0");
    // Pressed in mid-turn: it waits for the boundary.
    StepTo(5);
    H->Press(107);
    H->Steps(1);
    EXPECT_EQ(TicksPerTurn, 12);
    StepTo(0);
    EXPECT_EQ(TicksPerTurn, 11);
    EXPECT_EQ(E().LevelTicks % 11, 0);
}

TEST_F(EngineTurns, TheHistoryShiftsAtEveryBoundary)
{
    LookAheadEnabled = false;
    StepTo(11);
    H->KeyDown(37);
    H->Steps(1);
    EXPECT_TRUE(E().PreviousInput.IsPressed(4));
    EXPECT_FALSE(E().PreviousInput2.IsPressed(4));
    H->KeyUp(37);
    StepTo(0);
    EXPECT_FALSE(E().PreviousInput.IsPressed(4));
    EXPECT_TRUE(E().PreviousInput2.IsPressed(4));
    EXPECT_TRUE(E().TurnBegan);
}

TEST_F(EngineTurns, TheEarlyMoveStartsLateInATurnWhenNothingStandsInItsWay)
{
    const struct {
        int32_t ticksPerTurn;
        int32_t at;
        bool starts;
        int32_t length;
    } cases[] = {{12, 3, false, 0}, {12, 4, true, 20}, {10, 3, true, 17}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        E().LookAheadActive = false;
        E().Input = &E().LiveInput;
        SpeedOffset = c.ticksPerTurn - 12;
        TicksPerTurn = c.ticksPerTurn;
        E().LevelTicks = 0;
        PlaceHero(8, 3);
        StepTo(c.at - 1);
        H->Press(40);
        H->Steps(1);
        ASSERT_EQ(TickInTurn, c.at);
        EXPECT_EQ(E().LookAheadActive, c.starts);
        if (c.starts) {
            EXPECT_EQ(LookAheadLength, c.length);
            EXPECT_EQ(E().Input, &E().PreviousInput2);
            EXPECT_EQ(LookAheadFromX, 8);
            EXPECT_EQ(LookAheadFromY, 3);
            EXPECT_EQ(LookAheadToX, 8);
            EXPECT_EQ(LookAheadToY, 4);
        }
        StepTo(0);
        H->Steps(2 * TicksPerTurn);
    }
}

TEST_F(EngineTurns, TheEarlyMoveWaitsForTheHeroTheUnitsAndTheRecorder)
{
    // Still moving.
    LookAheadEnabled = false;
    H->Press(40);
    StepTo(0);
    ASSERT_FALSE(H->Hero()->AtTarget());
    LookAheadEnabled = true;
    H->Press(40);
    StepTo(6);
    EXPECT_FALSE(E().LookAheadActive);
    StepTo(0);
    H->Steps(2 * TicksPerTurn);
    // At a boundary with an arrow and a speed key: neither acts.
    StepTo(11);
    H->Press(40);
    H->Press(107);
    H->Steps(1);
    EXPECT_FALSE(E().LookAheadActive);
    EXPECT_EQ(TicksPerTurn, 12);
    H->Steps(2 * TicksPerTurn);
    E().LiveInput.ClearLatched(AllActions);
    // A unit that will meet the hero.
    auto* exit = E().Level.UnitList[1];
    ASSERT_NE(exit, nullptr);
    struct tMeeting : tTestExit {
        bool WillInteractWithThePlayerNextTurn() override { return true; }
    };
    auto meeting = std::make_unique<tMeeting>();
    meeting->SetInitialX(1);
    meeting->SetInitialY(1);
    meeting->Reset();
    tUnit* added = E().Level.AddUnit(std::move(meeting));
    StepTo(5);
    H->Press(40);
    H->Steps(1);
    EXPECT_FALSE(E().LookAheadActive);
    E().Level.FreeUnit(added);
    // Recording or replaying: the speed keys are read instead.
    for (const bool recording : {true, false}) {
        if (recording)
            Recorder.StartRecording();
        else
            Recorder.StartPlayback();
        StepTo(5);
        H->Press(40);
        H->Steps(1);
        EXPECT_FALSE(E().LookAheadActive);
        Recorder.Clear();
        E().LiveInput.ClearLatched(AllActions);
    }
    // Into a wall: the target is the hero's own cell.
    StepTo(0);
    PlaceHero(8, 3);
    StepTo(5);
    H->Press(39);
    H->Steps(1);
    EXPECT_FALSE(E().LookAheadActive);
}

TEST_F(EngineTurns, AtTheBoundaryTheHeroMakesTheMoveShownEarly)
{
    StepTo(3);
    H->Press(40);
    H->Steps(1);
    ASSERT_TRUE(E().LookAheadActive);
    const int32_t length = LookAheadLength;
    // The opposite key does not change the move that was shown.
    H->KeyDown(38);
    StepTo(0);
    EXPECT_EQ(H->Hero()->TargetY, 4);
    EXPECT_EQ(H->Hero()->TargetX, 8);
    // The double is drawn between the two cells.
    H->Tick(1);
    const float p = LookAheadProgress;
    EXPECT_NEAR(H->Double->Y, (1 - p) * 3 + p * 4, 1e-5);
    EXPECT_FLOAT_EQ(H->Double->X, 8);
    H->Steps(length);
    EXPECT_FALSE(E().LookAheadActive);
    EXPECT_EQ(E().Input, &E().LiveInput);
    H->KeyUp(38);
}

TEST_F(EngineTurns, TheDeathPopUpOpensOnTheFiftiethTickWithDialogsOn)
{
    for (const bool dialogs : {true, false}) {
        Dialogs = dialogs;
        E().ModeStackDepth = 0;
        E().SetGameMode(gmDead);
        for (int tick = 1; tick <= 60; ++tick) {
            H->Steps(1);
            if (dialogs && tick < 50) {
                ASSERT_EQ(E().GameMode, gmDead) << tick;
            }
            if (dialogs && tick == 50) {
                EXPECT_EQ(E().GameMode, gmDeathPopup);
                EXPECT_EQ(E().ModeStackDepth, 1);
                break;
            }
        }
        if (!dialogs) {
            EXPECT_EQ(E().GameMode, gmDead);
        }
    }
    Dialogs = true;
}

TEST_F(EngineTurns, TheSpeedMessageRecordsTheRectangleOfItsText)
{
    E().SpeedMessage = "Game Speed +3";
    H->Frame->ClearDirtyRects();
    E().DrawSpeedMessage();
    ASSERT_GE(H->Frame->DirtyRectCount, 1);
    TCanvas measure;
    TBitmap bitmap;
    bitmap.SetSize(8, 8);
    measure.SetHandle(bitmap.Handle());
    measure.Font.Name = "MS Sans Serif";
    measure.Font.Height = 20;
    measure.Font.Style = fsBold;
    const int32_t w = measure.TextExtent(E().SpeedMessage).X / 2;
    measure.SetHandle(nullptr);
    const TRect r = H->Frame->DirtyRects[static_cast<size_t>(H->Frame->DirtyRectCount - 1)];
    EXPECT_EQ(r.Left, 320 - w - 1);
    EXPECT_EQ(r.Top, 99);
    EXPECT_EQ(r.Right, 321 + w);
    EXPECT_EQ(r.Bottom, 121);
    // White text inside it.
    bool white = false;
    for (int y = 100; y < 121 && !white; ++y)
        for (int x = r.Left; x < r.Right && !white; ++x)
            white = H->FramePixel(x, y) == RGBToPixel(255, 255, 255);
    EXPECT_TRUE(white);
}

TEST_F(EngineTurns, TheArrowKeyStateShowsHeldAndLatchedActions)
{
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(200, 360);
    TCanvas& canvas = bitmap.Canvas();
    tInputDevice device;
    device.BindKey(2, 38);
    device.BindKey(5, 39);
    device.KeyDown(38);  // up held and latched
    device.Press(5);
    device.Release(5);   // right latched only
    DrawArrowKeyState(canvas, device, 100, 190, 0xA08080, 0x804040);
    EXPECT_EQ(canvas.Pixel(100, 190 - 14), TColor(0xA08080));   // up: held
    EXPECT_EQ(canvas.Pixel(100, 190 + 12), TColor(0x804040));   // down: not held
    EXPECT_EQ(canvas.Pixel(100 - 26, 190 + 12), TColor(0x804040));
    EXPECT_EQ(canvas.Pixel(100 + 26, 190 + 12), TColor(0x804040));
    EXPECT_EQ(canvas.Pixel(100 - 12, 190 - 14), clWhite);        // up: latched outline
    EXPECT_EQ(canvas.Pixel(100 + 14, 190 + 12), clWhite);        // right: latched outline
    EXPECT_EQ(canvas.Pixel(100 - 12, 190 + 12), clBlack);        // down: not latched

    // The dial draws on the editor's box only, and clears the boundary flag.
    E().TurnBegan = true;
    E().ShowLookAheadDiagnostics = true;
    H->Tick(1);
    EXPECT_TRUE(E().TurnBegan);
    TForm form;
    TPaintBox box(&form);
    box.SetParent(&form);
    box.SetBounds(0, 0, 200, 360);
    OOTDiagnosticsBox = &box;
    E().TurnBegan = true;
    E().LookAheadActive = true;
    E().DrawFrame();
    EXPECT_FALSE(E().TurnBegan);
    E().LookAheadActive = false;
    OOTDiagnosticsBox = nullptr;
}

} // namespace
