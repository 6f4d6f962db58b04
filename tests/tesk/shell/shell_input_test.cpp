// Keys and mouse buttons of the main window: to the engine's live input device, to the
// editor, and, while the editor edits, as editing operations on the level.
#include <gtest/gtest.h>

#include "platform/FramePresenter.h"
#include "platform/Keys.h"
#include "tesk/game/Players.h"
#include "tests/tesk/shell/ShellHarness.h"

namespace {

class Input : public ShellTest {
protected:
    void StartWindowed()
    {
        WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
        Start();
        ASSERT_EQ(Form1->ClientWidth(), 640);
        Engine->GameMode = gmPlaying;
    }
    // The client point in the middle of a playfield cell.
    static TPoint CellPoint(int x, int y) { return TPoint{128 + 32 * x + 16, 32 * y + 16}; }
};

} // namespace

TEST_F(Input, KeysAndButtonsReachTheLiveInputDevice)
{
    StartWindowed();
    TestHooks::KeyDown(Form1, VK_UP);
    EXPECT_TRUE(Engine->LiveInput.IsPressed(2));
    TestHooks::KeyUp(Form1, VK_UP);
    EXPECT_FALSE(Engine->LiveInput.IsPressed(2));
    EXPECT_TRUE(Engine->LiveInput.IsLatched(2));
    TestHooks::MouseDown(Form1, mbRight, CellPoint(3, 3));
    EXPECT_TRUE(Engine->LiveInput.IsPressed(8));
    TestHooks::MouseUp(Form1, mbRight, CellPoint(3, 3));
    EXPECT_FALSE(Engine->LiveInput.IsPressed(8));
    // Typed characters feed the typed text.
    Engine->LiveInput.SetTyping(true);
    TestHooks::KeyStroke(Form1, 'A');
    EXPECT_EQ(Engine->LiveInput.TypedText, "a");
    // A held key is released when the window is activated again.
    TestHooks::KeyDown(Form1, VK_LEFT);
    ASSERT_TRUE(Engine->LiveInput.IsPressed(4));
    TestHooks::SetKeyState(VK_LEFT, false);
    TestHooks::SetActiveForm(nullptr);
    TestHooks::SetActiveForm(Form1);
    EXPECT_FALSE(Engine->LiveInput.IsPressed(4));
    EXPECT_FALSE(Engine->LiveInput.IsLatched(4));
}

// The window system may report the window active only after the press that activated
// it (as after a message box closed): the activation's key reset keeps that click.
TEST_F(Input, TheClickThatActivatesTheWindowSurvivesTheActivation)
{
    StartWindowed();
    struct Case {
        const char* What;
        bool ReleasedFirst;
        bool TickedFirst;
        bool Latched;
        bool Pressed;
    };
    const Case cases[] = {
        {"a click, then the activation", true, false, true, false},
        {"a press held through the activation", false, false, true, true},
        {"a click the engine stepped over before the activation", true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TestHooks::SetActiveForm(nullptr);
        Engine->LiveInput.ResetKeys();
        TestHooks::MouseDown(Form1, mbLeft, CellPoint(3, 3));
        if (c.ReleasedFirst)
            TestHooks::MouseUp(Form1, mbLeft, CellPoint(3, 3));
        if (c.TickedFirst)
            Tick();
        TestHooks::SetActiveForm(Form1);
        EXPECT_EQ(Engine->LiveInput.IsLatched(1), c.Latched);
        EXPECT_EQ(Engine->LiveInput.IsPressed(1), c.Pressed);
        if (!c.ReleasedFirst)
            TestHooks::MouseUp(Form1, mbLeft, CellPoint(3, 3));
        EXPECT_FALSE(Engine->LiveInput.IsPressed(1));
    }
    // A press made while the window was active is not given back by a later activation.
    Engine->LiveInput.ResetKeys();
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(3, 3));
    TestHooks::MouseUp(Form1, mbLeft, CellPoint(3, 3));
    TestHooks::SetActiveForm(nullptr);
    TestHooks::SetActiveForm(Form1);
    EXPECT_FALSE(Engine->LiveInput.IsLatched(1));
}

TEST_F(Input, ControlF1AndF2ToggleTheFrameAnimationAndTheSlowTimer)
{
    StartWindowed();
    const bool frames = FrameByTickAnimation;
    TestHooks::KeyStroke(Form1, VK_F1, TShiftState{ssCtrl});
    EXPECT_EQ(FrameByTickAnimation, !frames);
    TestHooks::KeyStroke(Form1, VK_F1, TShiftState{ssCtrl});
    EXPECT_EQ(FrameByTickAnimation, frames);
    TestHooks::KeyStroke(Form1, VK_F2, TShiftState{ssCtrl});
    EXPECT_TRUE(Form1->SlowTimer);
    EXPECT_EQ(Form1->MMTimer1->Interval(), 40);
    TestHooks::KeyStroke(Form1, VK_F2, TShiftState{ssCtrl});
    EXPECT_FALSE(Form1->SlowTimer);
    EXPECT_EQ(Form1->MMTimer1->Interval(), 20);
    TestHooks::KeyStroke(Form1, VK_F1);
    EXPECT_EQ(FrameByTickAnimation, frames);
}

TEST_F(Input, F12AndEveryKeyWhileEditingGoToTheEditorOnly)
{
    StartWindowed();
    Engine->LiveInput.BindKey(9, VK_F12);
    TestHooks::KeyStroke(Form1, VK_F12);
    EXPECT_FALSE(Engine->LiveInput.IsLatched(9));
    Engine->SetEditMode(true);
    TestHooks::KeyStroke(Form1, VK_UP);
    EXPECT_FALSE(Engine->LiveInput.IsLatched(2));
    Engine->SetEditMode(false);
    TestHooks::KeyStroke(Form1, VK_UP);
    EXPECT_TRUE(Engine->LiveInput.IsLatched(2));
}

// While the editor edits, presses on the playfield edit the level by the editor's page.
TEST_F(Input, PressesOnThePlayfieldEditTheLevelByTheEditorsPage)
{
    StartWindowed();
    Engine->SetEditMode(true);
    tLevel& level = Engine->Level;
    Editor->EditPage = tEditPage::Tiles;
    Editor->TileLayer = tTileLayer::Base;
    Editor->SelectedTile = 21;
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(3, 4));
    TestHooks::MouseUp(Form1, mbLeft, CellPoint(3, 4));
    EXPECT_EQ(level.Cell(3, 4).BaseTile, 21);
    EXPECT_EQ(level.Cell(3, 4).Solid, 1);
    EXPECT_FALSE(Engine->LiveInput.IsLatched(1)) << "an edit is no click of the game";
    Editor->TileLayer = tTileLayer::Upper;
    Editor->TileSolidCheckBox->SetChecked(false);
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(3, 4));
    EXPECT_EQ(level.Cell(3, 4).UpperTile, 21);
    EXPECT_EQ(level.Cell(3, 4).Solid, 0);
    Editor->TileLayer = tTileLayer::Lower;
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(3, 4));
    EXPECT_EQ(level.Cell(3, 4).LowerTile, 21);
    Editor->TileLayer = tTileLayer::Base;
    Editor->TileSolidCheckBox->SetChecked(true);
    TestHooks::MouseDown(Form1, mbRight, CellPoint(3, 4));
    EXPECT_EQ(level.Cell(3, 4).BaseTile, 0);
    EXPECT_EQ(level.Cell(3, 4).UpperTile, 21);
    EXPECT_EQ(level.Cell(3, 4).Solid, 0);
    // No layer chosen: only the solid flag.
    Editor->TileLayer = tTileLayer::None;
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(3, 4));
    EXPECT_EQ(level.Cell(3, 4).BaseTile, 0);
    EXPECT_EQ(level.Cell(3, 4).Solid, 1);

    Editor->EditPage = tEditPage::Overlay;
    Editor->SelectedOverlayTile = 7;
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(15, 14));
    EXPECT_EQ(level.Cell(15, 14).OverlayTile, 7);
    TestHooks::MouseDown(Form1, mbRight, CellPoint(15, 14));
    EXPECT_EQ(level.Cell(15, 14).OverlayTile, 0);

    // Outside the grid (the side panel) nothing changes.
    const std::array<tCell, LevelCells> before = level.Cells;
    Editor->EditPage = tEditPage::Tiles;
    TestHooks::MouseDown(Form1, mbLeft, TPoint{60, 100});
    for (int i = 0; i < LevelCells; ++i)
        EXPECT_EQ(level.Cells[static_cast<size_t>(i)].BaseTile, before[static_cast<size_t>(i)].BaseTile);
}

TEST_F(Input, TheObjectPagePlacesTheArmedKindAndDragsUnits)
{
    StartWindowed();
    Engine->SetEditMode(true);
    tLevel& level = Engine->Level;
    const size_t kinds = UnitKinds.size();
    RegisterUnitKind("Boulder", tBoulder::StaticClass(), nullptr);
    Editor->EditPage = tEditPage::Objects;
    Editor->TemplateSelected = true;
    Editor->SelectedTemplate = static_cast<int32_t>(kinds);
    tSprite cursor;
    Engine->CursorUnitSprite = &cursor;
    const int32_t units = level.UnitList.Count();
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(6, 2));
    TestHooks::MouseUp(Form1, mbLeft, CellPoint(6, 2));
    ASSERT_EQ(level.UnitList.Count(), units + 1);
    tUnit* placed = level.UnitList[units];
    EXPECT_EQ(placed->ClassType(), tBoulder::StaticClass());
    EXPECT_EQ(placed->InitialX, 6);
    EXPECT_EQ(placed->InitialY, 2);
    EXPECT_FALSE(Editor->TemplateSelected);
    EXPECT_EQ(Engine->CursorUnitSprite, nullptr);
    EXPECT_EQ(Editor->InspectedUnit, placed);

    // A press on a unit selects it and drags it while the button is held.
    Editor->InspectedUnit = nullptr;
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(6, 2));
    EXPECT_EQ(Editor->InspectedUnit, placed);
    EXPECT_TRUE(Form1->DraggingUnit);
    TestHooks::MouseMove(Form1, CellPoint(9, 11));
    EXPECT_EQ(placed->InitialX, 9);
    EXPECT_EQ(placed->InitialY, 11);
    // Off the grid the setters refuse the cell.
    TestHooks::MouseMove(Form1, TPoint{20, 20});
    EXPECT_EQ(placed->InitialX, 9);
    EXPECT_EQ(placed->InitialY, 11);
    TestHooks::MouseUp(Form1, mbLeft, CellPoint(9, 11));
    EXPECT_FALSE(Form1->DraggingUnit);
    TestHooks::MouseMove(Form1, CellPoint(1, 1));
    EXPECT_EQ(placed->InitialX, 9);

    // The editor lets go of the inspected unit when the level frees it: a deletion, or
    // every unit at once when a level is read.
    DeleteUnit(level, placed);
    EXPECT_EQ(Editor->InspectedUnit, nullptr);
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(9, 11));
    EXPECT_FALSE(Form1->DraggingUnit) << "nothing is there now";
    Editor->TemplateSelected = true;
    TestHooks::MouseDown(Form1, mbLeft, CellPoint(4, 4));
    ASSERT_NE(Editor->InspectedUnit, nullptr);
    level.ReadLevelText(std::string("[Units]\r\n"));
    EXPECT_EQ(Editor->InspectedUnit, nullptr);
    UnitKinds.resize(kinds);
}

// A window that covers the screen takes it back when the game is activated again.
TEST_F(Input, AMinimisedFullScreenWindowCoversTheScreenAgainOnActivation)
{
    Start();
    ASSERT_EQ(Form1->ActiveDisplayType, dtFullScreenDirectDraw);
    TestHooks::SetApplicationActive(false);
    Tick();
    EXPECT_TRUE(Form1->WasInactive);
    Form1->SetWindowState(wsMinimized);
    Application->ProcessMessages();
    TestHooks::SetApplicationActive(true);
    Application->ProcessMessages();
    EXPECT_FALSE(Form1->WasInactive);
    EXPECT_EQ(Form1->WindowState(), wsNormal);
    EXPECT_EQ(Form1->Left(), 0);
    EXPECT_EQ(Form1->Top(), 0);
    EXPECT_EQ(Form1->ClientWidth(), Screen->Width());
    EXPECT_EQ(Form1->ClientHeight(), Screen->Height());
}
