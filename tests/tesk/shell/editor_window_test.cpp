// The editor's window over the running game: its layout, showing and hiding with F12
// beside the game window, the Editing switch, the palettes and the unit-kind strip, the
// pages, the keys of the game window while editing, the level files with their dialogs
// (and what bad files and failed writes leave), the background field, the status and Data
// page, and the pictures made again at every rebuild of the display.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "platform/Keys.h"
#include "tesk/editor/AdvancedSettingsForms.h"
#include "tesk/editor/LevelFileCommands.h"
#include "tesk/game/Players.h"
#include "tesk/game/Tiles.h"
#include "tesk/game/Units.h"
#include "tesk/widgets/ComboEdits.h"
#include "tesk/widgets/SpeedButtons.h"
#include "tests/support/FormPictures.h"
#include "tests/support/JpegFiles.h"
#include "tests/tesk/shell/ShellHarness.h"
#include "tests/tesk/shell/ShellTestSupport.h"

namespace {

class EditorWindow : public ShellTest {
protected:
    void TearDown() override
    {
        unsetenv("TP_START_ENTRY");
        TestHooks::SetScreenSize(std::nullopt);
        ShellTest::TearDown();
    }
    // Windowed in "First Steps", the first level of the set, playing.
    void StartPlaying()
    {
        WriteFirstSteps(true);
        setenv("TP_START_ENTRY", "0", 1);
        WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
        Start();
        ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
        ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
    }
    // F12 in the game window, which keeps the keyboard.
    void ShowEditor()
    {
        TestHooks::KeyStroke(Form1, VK_F12);
        ASSERT_TRUE(Editor->Visible());
        TestHooks::SetActiveForm(Form1);
    }
    void EditingOn()
    {
        Editor->Editing->SetChecked(true);
        ASSERT_EQ(Engine->GameMode, gmEditing);
    }
    void Page(TTabSheet* page)
    {
        Editor->PageControl1->SetActivePage(page);
        Editor->PageControl1Change(Editor->PageControl1);
    }
    // A press and release at a client point of a control of the editor.
    void ClickIn(TControl* control, TPoint at, TMouseButton button = mbLeft)
    {
        const TPoint p = TestHooks::ControlToForm(control, at);
        TestHooks::MouseDown(Editor, button, p);
        TestHooks::MouseUp(Editor, button, p);
    }
    static TPoint CellPoint(int x, int y) { return TPoint{128 + 32 * x + 16, 32 * y + 16}; }
    void PressCell(int x, int y, TMouseButton button = mbLeft)
    {
        TestHooks::MouseDown(Form1, button, CellPoint(x, y));
        TestHooks::MouseUp(Form1, button, CellPoint(x, y));
    }
    // The running level as its file text.
    static std::vector<std::string> LevelText()
    {
        std::vector<std::string> lines;
        Engine->Level.WriteLevelText(lines);
        return lines;
    }
    static int32_t KindIndex(const std::string& name)
    {
        for (size_t i = 0; i < UnitKinds.size(); ++i)
            if (UnitKinds[i].Name == name)
                return static_cast<int32_t>(i);
        return -1;
    }
    static uint16_t At(tDib16& dib, int x, int y) { return dib.ScanLine(y)[x]; }
    // The selection frame (black, white, white, black) starts at (x, y), across a left edge
    // or, with down, across a top edge.
    static bool Framed(tDib16& dib, int x, int y, bool down = false)
    {
        const uint16_t expected[] = {RGBToPixel(0, 0, 0), RGBToPixel(255, 255, 255), RGBToPixel(255, 255, 255),
                                     RGBToPixel(0, 0, 0)};
        for (int i = 0; i < 4; ++i)
            if (At(dib, down ? x : x + i, down ? y + i : y) != expected[i])
                return false;
        return true;
    }
    // The level's tile text of a cell in a level file's [Tiles] section.
    static std::string TileText(const std::string& file, int x, int y)
    {
        size_t at = file.find("[Tiles]");
        for (int row = 0; row <= y && at != std::string::npos; ++row)
            at = file.find('\n', at + 1);
        if (at == std::string::npos)
            return {};
        return file.substr(at + 1 + static_cast<size_t>(x) * 4, 3);
    }
    // Answers the next file dialog with the name (and logs the request).
    static void AnswerFileDialog(const std::string& name)
    {
        TestHooks::SetFileDialogAnswer([name](const TestHooks::TFileDialogRequest&) {
            TestHooks::TFileDialogAnswer a;
            a.Accepted = true;
            a.Names = {name};
            return a;
        });
    }
};

} // namespace

TEST_F(EditorWindow, TheLayoutHasEveryControlAtItsPlaceWithItsCaption)
{
    StartPlaying();
    TEditor& e = *Editor;
    EXPECT_EQ(e.Caption(), "Editor");
    EXPECT_EQ(e.ClientHeight(), 460);
    EXPECT_EQ(e.FormStyle(), fsStayOnTop);
    EXPECT_TRUE(e.KeyPreview());
    EXPECT_FALSE(e.Visible()) << "hidden until F12";
    const struct {
        TControl* Control;
        const char* Caption;
        int Left, Top;
    } places[] = {
        {e.Editing, "Editing", 8, 8},
        {e.ShowSolidDataCheckBox, "Show Solid", 81, 8},
        {e.PaintBox1, "", 16, 8},
        {e.ScrollBar1, "", 145, 8},
        {e.TileSolidCheckBox, "Solid", 17, 330},
        {e.SpeedButton1, "-1", 89, 334},
        {e.SpeedButton2, "0", 114, 334},
        {e.SpeedButton4, "1", 138, 334},
        {e.SpeedButton3, "None", 89, 352},
        {e.PaintBox2, "", 16, 8},
        {e.ScrollBar2, "", 145, 8},
        {e.SelectedUnitLabel, "", 8, 8},
        {e.ObjectTemplateBox, "", 4, 288},
        {e.ObjectTemplateScrollBar, "", 4, 344},
        {e.ProfilingCheckBox, "Profile (disabled in this build)", 8, 8},
        {e.SoundDriverLabel, nullptr, 8, 320},
        {e.OOTDiagnosticsPaintBox, "", 8, 8},
        {e.OOTEnabledCheckBox, "OOT Enabled", 8, 352},
    };
    for (const auto& p : places) {
        SCOPED_TRACE(p.Left * 1000 + p.Top);
        if (p.Caption) {
            EXPECT_EQ(p.Control->Caption(), p.Caption);
        }
        EXPECT_EQ(p.Control->Left(), p.Left);
        EXPECT_EQ(p.Control->Top(), p.Top);
    }
    EXPECT_EQ(e.PaintBox1->Width(), 128);
    EXPECT_EQ(e.PaintBox1->Height(), 320);
    EXPECT_EQ(e.ObjectTemplateBox->Width(), 160);
    EXPECT_EQ(e.ObjectTemplateBox->Height(), 52);
    EXPECT_EQ(e.SpeedButton3->Width(), 72);
    for (TScrollBar* bar : {e.ScrollBar1, e.ScrollBar2}) {
        EXPECT_EQ(bar->Width(), 16);
        EXPECT_EQ(bar->Height(), 320);
    }
    EXPECT_EQ(e.ObjectTemplateScrollBar->Width(), 160);
    EXPECT_EQ(e.ObjectTemplateScrollBar->Height(), 17);
    EXPECT_EQ(e.OOTDiagnosticsPaintBox->Width(), 153);
    EXPECT_EQ(e.OOTDiagnosticsPaintBox->Height(), 337);
    EXPECT_TRUE(e.SpeedButton2->Down());
    EXPECT_TRUE(e.TileSolidCheckBox->Checked());
    EXPECT_EQ(e.ScrollBar1->Kind(), sbVertical);
    EXPECT_EQ(e.ObjectTemplateScrollBar->Kind(), sbHorizontal);
    EXPECT_FALSE(e.ScrollBar1->TabStop());

    // The pages, in order; the painting pages and Vars (which has no tab) start disabled,
    // the OOT page is the active one.
    const std::vector<std::string> captions{"Tiles", "Overlay", "Objects", "Data", "Vars", "OOT"};
    ASSERT_EQ(e.PageControl1->PageCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(e.PageControl1->Pages(i)->Caption(), captions[static_cast<size_t>(i)]);
    for (TTabSheet* off : {e.TabSheet1, e.TabSheet2, e.ObjectTabSheet, e.TabSheet4})
        EXPECT_FALSE(off->Enabled()) << off->Caption();
    EXPECT_TRUE(e.TabSheet3->Enabled());
    EXPECT_FALSE(e.TabSheet4->TabVisible());
    EXPECT_EQ(e.PageControl1->ActivePage(), e.OOTDiagnosticsPage);
    EXPECT_EQ(e.PageControl1->TabWidth(), 43);
    EXPECT_EQ(e.PageControl1->Align(), alBottom);

    // The Vars fields, the status bar, the menus and the dialogs.
    EXPECT_EQ(e.BackGroundFileNameEdit->Text(), "Morrowfinch.jpg");
    EXPECT_EQ(e.TileSetFileNameEdit->Text(), "BasicTiles.JPG");
    EXPECT_EQ(e.MusicFileNameEdit->Filter(), "Module Music files |*.mod,*.s3m,*.mtm,*.xm|All files (*.*)|*.*");
    EXPECT_EQ(e.OverlayFileNameEdit->Width(), 137);
    ASSERT_EQ(e.StatusBar1->Panels()->Count(), 3);
    EXPECT_EQ(e.StatusBar1->Panels()->Items(0)->Width(), 60);
    EXPECT_EQ(e.StatusBar1->Panels()->Items(1)->Width(), 50);
    EXPECT_EQ(e.Menu(), e.MainMenu1);
    const std::vector<std::string> file{"&New", "&Open...", "&Save", "Save &As..."};
    ASSERT_EQ(e.File1->Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(e.File1->Items(i)->Caption(), file[static_cast<size_t>(i)]);
    EXPECT_EQ(e.Options1->Caption(), "Options");
    EXPECT_EQ(e.Options1->Items(0), e.Stayontop1);
    EXPECT_EQ(e.Stayontop1->Caption(), "Stay on top");
    EXPECT_FALSE(e.Stayontop1->Checked());
    EXPECT_EQ(e.Options1->Items(1), e.AdvancedSettings1);
    EXPECT_EQ(e.AdvancedSettings1->Caption(), "Advanced Settings...");
    EXPECT_EQ(e.OpenDialog1->Title(), "Load A Level");
    EXPECT_EQ(e.SaveDialog1->Title(), "Save Current level as");
    EXPECT_EQ(e.SaveDialog1->DefaultExt(), "map");
    EXPECT_TRUE(e.SaveDialog1->Options().Contains(ofOverwritePrompt));
    EXPECT_TRUE(e.OpenDialog1->Options().Contains(ofFileMustExist));
}

TEST_F(EditorWindow, F12ShowsTheEditorBesideTheGameWindowAndHidesItFromEitherWindow)
{
    StartPlaying();
    TestHooks::SetScreenSize(TSize{1600, 1000});
    Form1->SetLeft(400);
    Form1->SetTop(50);
    ShowEditor();
    EXPECT_EQ(Editor->Left(), 400 - Editor->Width());
    EXPECT_EQ(Editor->Top(), 50);
    EXPECT_TRUE(Engine->EditorVisible);
    EXPECT_FALSE(Engine->ShowSolid);
    EXPECT_FALSE(Engine->EditMode());
    // F12 in the editor's own window hides it, also while editing; hiding leaves the
    // editing mode but not the game mode it saved.
    EditingOn();
    Editor->ShowSolidDataCheckBox->SetChecked(true);
    EXPECT_TRUE(Engine->ShowSolid);
    TestHooks::SetActiveForm(Editor);
    TestHooks::KeyStroke(Editor, VK_F12);
    EXPECT_FALSE(Editor->Visible());
    EXPECT_FALSE(Engine->EditorVisible);
    EXPECT_FALSE(Engine->ShowSolid);
    EXPECT_FALSE(Engine->EditMode());
    EXPECT_EQ(Engine->GameMode, gmEditing);

    // No room on the left: on the right when it fits there, else where it was.
    TestHooks::SetActiveForm(Form1);
    Form1->SetLeft(0);
    TestHooks::KeyStroke(Form1, VK_F12);
    ASSERT_TRUE(Editor->Visible());
    EXPECT_EQ(Editor->Left(), Form1->Width());
    EXPECT_TRUE(Engine->EditMode()) << "showing takes up the Editing switch again";
    EXPECT_TRUE(Engine->ShowSolid);
    TestHooks::KeyStroke(Form1, VK_F12);
    EXPECT_FALSE(Editor->Visible());
    TestHooks::SetScreenSize(TSize{Form1->Width() + Editor->Width(), 1000});
    Editor->SetLeft(33);
    TestHooks::KeyStroke(Form1, VK_F12);
    EXPECT_EQ(Editor->Left(), 33);
}

TEST_F(EditorWindow, EditingSavesTheGameModeStopsTheMusicAndEnablesThePagesWhileOn)
{
    StartPlaying();
    ShowEditor();
    ASSERT_NE(Engine->MusicModule, nullptr);
    Tick(30);
    EditingOn();
    EXPECT_TRUE(Engine->EditMode());
    EXPECT_EQ(Editor->SavedGameMode, gmPlaying);
    EXPECT_EQ(Engine->MusicModule, nullptr);
    EXPECT_EQ(Engine->TickCount, 0) << "the level restarted";
    for (TTabSheet* page : {Editor->TabSheet1, Editor->TabSheet2, Editor->ObjectTabSheet, Editor->TabSheet4})
        EXPECT_TRUE(page->Enabled()) << page->Caption();
    Tick(10);
    EXPECT_EQ(Engine->GameMode, gmEditing) << "nothing plays while editing";

    Editor->Editing->SetChecked(false);
    EXPECT_FALSE(Engine->EditMode());
    EXPECT_EQ(Engine->GameMode, gmLevelStart) << "the saved mode, then straight into the level start";
    for (TTabSheet* page : {Editor->TabSheet1, Editor->TabSheet2, Editor->ObjectTabSheet, Editor->TabSheet4})
        EXPECT_FALSE(page->Enabled()) << page->Caption();
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
}

TEST_F(EditorWindow, ThePalettesShowTheTilesFramedAtTheSelectionAndScrollByRows)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    TEditor& e = *Editor;
    EXPECT_EQ(e.SelectedTile, 16);
    EXPECT_EQ(e.TileColumns, 4);
    EXPECT_EQ(e.TileRows, 10);
    EXPECT_EQ(e.ScrollBar1->Max(), 54);
    EXPECT_EQ(e.ScrollBar2->Max(), 54);
    ASSERT_NE(e.TilePaletteDib, nullptr);
    // Tile 16 is the first of the fifth row: framed black, white, white, black.
    tDib16& tiles = *e.TilePaletteDib;
    EXPECT_TRUE(Framed(tiles, 0, 4 * 32 + 10));
    EXPECT_TRUE(Framed(tiles, 10, 4 * 32, true)) << "along the top too";

    Page(e.TabSheet1);
    ClickIn(e.PaintBox1, TPoint{3 * 32 + 5, 2 * 32 + 5});
    EXPECT_EQ(e.SelectedTile, 2 * 4 + 3);
    EXPECT_TRUE(Framed(tiles, 3 * 32, 2 * 32 + 10));
    EXPECT_FALSE(Framed(tiles, 0, 4 * 32 + 10)) << "the old frame went";
    // Scrolled to the end, the last row holds tiles 252..255.
    e.ScrollBar1->SetPosition(e.ScrollBar1->Max());
    EXPECT_EQ(e.FirstTile, 216);
    ClickIn(e.PaintBox1, TPoint{3 * 32 + 5, 9 * 32 + 5});
    EXPECT_EQ(e.SelectedTile, 255);
    PressCell(5, 5);
    EXPECT_EQ(Engine->Level.Cell(5, 5).BaseTile, 255);

    Page(e.TabSheet2);
    e.ScrollBar2->SetPosition(1);
    ClickIn(e.PaintBox2, TPoint{5, 5});
    EXPECT_EQ(e.SelectedOverlayTile, 4);
    PressCell(6, 6);
    EXPECT_EQ(Engine->Level.Cell(6, 6).OverlayTile, 4);
    PressCell(6, 6, mbRight);
    EXPECT_EQ(Engine->Level.Cell(6, 6).OverlayTile, 0);

    // A level of other tile sets comes in: the next tick shows them, and the first again
    // when it goes back.
    const auto pixels = [](tDib16& dib) {
        std::vector<uint16_t> all;
        for (int y = 0; y < dib.Height; ++y)
            all.insert(all.end(), dib.ScanLine(y), dib.ScanLine(y) + dib.Width);
        return all;
    };
    const std::vector<uint16_t> basicTiles = pixels(tiles);
    const std::vector<uint16_t> basicOverlay = pixels(*e.OverlayPaletteDib);
    const auto tileSets = [this](const char* tiles, const char* overlay) {
        Engine->Level.TileSet = tiles;
        Engine->Level.OverlayTileSet = overlay;
        Engine->LoadLevelGraphics();
        Tick();
    };
    tileSets("IceTiles.jpg", "IceOverlay.jpg");
    EXPECT_NE(pixels(tiles), basicTiles);
    EXPECT_NE(pixels(*e.OverlayPaletteDib), basicOverlay);
    tileSets("BasicTiles.jpg", "BasicOverlay.jpg");
    EXPECT_EQ(pixels(tiles), basicTiles);
    EXPECT_EQ(pixels(*e.OverlayPaletteDib), basicOverlay);
}

TEST_F(EditorWindow, TheLayerButtonsAndPagesChooseWhatAPressPaints)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    TEditor& e = *Editor;
    const struct {
        TTabSheet* Page;
        tEditPage Edit;
        bool Dial;
    } pages[] = {{e.TabSheet1, tEditPage::Tiles, false}, {e.TabSheet2, tEditPage::Overlay, false},
                 {e.ObjectTabSheet, tEditPage::Objects, false}, {e.TabSheet3, tEditPage::None, false},
                 {e.TabSheet4, tEditPage::None, false}, {e.OOTDiagnosticsPage, tEditPage::None, true}};
    for (const auto& p : pages) {
        Page(p.Page);
        EXPECT_EQ(e.EditPage, p.Edit) << p.Page->Caption();
        EXPECT_EQ(Engine->ShowLookAheadDiagnostics, p.Dial) << p.Page->Caption();
    }
    // A click on a tab changes the page as well.
    Page(e.TabSheet3);
    const TRect tab = e.PageControl1->TabRect(e.ObjectTabSheet->TabIndex());
    ASSERT_GE(tab.Left, 0) << "the tab shows";
    ClickIn(e.PageControl1, TPoint{tab.Left + 5, (tab.Top + tab.Bottom) / 2});
    EXPECT_EQ(e.PageControl1->ActivePage(), e.ObjectTabSheet);
    EXPECT_EQ(e.EditPage, tEditPage::Objects);
    Page(e.TabSheet1);

    const struct {
        TExSpeedButton* Button;
        tTileLayer Layer;
    } layers[] = {{e.SpeedButton1, tTileLayer::Lower}, {e.SpeedButton4, tTileLayer::Upper},
                  {e.SpeedButton3, tTileLayer::None}, {e.SpeedButton2, tTileLayer::Base}};
    for (const auto& l : layers) {
        ClickIn(l.Button, TPoint{5, 5});
        EXPECT_EQ(e.TileLayer, l.Layer) << l.Button->Caption();
        EXPECT_TRUE(l.Button->Down());
    }
    // With the layer None a left press sets only the flag from "Solid", a right press
    // clears only the flag.
    ClickIn(e.SpeedButton3, TPoint{5, 5});
    tCell& cell = Engine->Level.Cell(4, 4);
    const int32_t base = cell.BaseTile;
    cell.Solid = 0;
    PressCell(4, 4);
    EXPECT_EQ(cell.Solid, 1);
    PressCell(4, 4, mbRight);
    EXPECT_EQ(cell.Solid, 0);
    EXPECT_EQ(cell.BaseTile, base);
}

TEST_F(EditorWindow, TheStripArmsAKindThatTheNextPressPlacesAndTheKeyAArmsItAgain)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    TEditor& e = *Editor;
    Page(e.ObjectTabSheet);
    const int kinds = static_cast<int>(UnitKinds.size());
    EXPECT_EQ(e.ObjectTemplateScrollBar->Max(), kinds - 4);
    ClickIn(e.ObjectTemplateBox, TPoint{45, 20});
    EXPECT_TRUE(e.TemplateSelected);
    EXPECT_EQ(e.SelectedTemplate, 1);
    EXPECT_EQ(Engine->CursorUnitSprite, UnitKinds[1].Sprite);
    // Framed in the strip, 40 wide and high from y 4.
    ASSERT_NE(e.TemplateDib, nullptr);
    EXPECT_TRUE(Framed(*e.TemplateDib, 40, 20));
    EXPECT_TRUE(Framed(*e.TemplateDib, 60, 4, true));
    EXPECT_FALSE(Framed(*e.TemplateDib, 0, 20));
    // The armed kind again: nothing; another: armed at once.
    Engine->CursorUnitSprite = nullptr;
    ClickIn(e.ObjectTemplateBox, TPoint{45, 20});
    EXPECT_EQ(Engine->CursorUnitSprite, nullptr);
    e.ObjectTemplateScrollBar->SetPosition(e.ObjectTemplateScrollBar->Max());
    ClickIn(e.ObjectTemplateBox, TPoint{125, 20});
    EXPECT_EQ(e.SelectedTemplate, kinds - 1);
    const int32_t boulder = KindIndex("Boulder");
    e.ObjectTemplateScrollBar->SetPosition(boulder);
    ClickIn(e.ObjectTemplateBox, TPoint{5, 20});
    EXPECT_EQ(e.SelectedTemplate, boulder);

    // The press places it and disarms the strip: the next press picks instead.
    const int32_t units = Engine->Level.UnitList.Count();
    PressCell(7, 3);
    ASSERT_EQ(Engine->Level.UnitList.Count(), units + 1);
    tUnit* placed = Engine->Level.UnitList[units];
    EXPECT_EQ(placed->InitialX, 7);
    EXPECT_EQ(placed->InitialY, 3);
    EXPECT_EQ(placed->ClassType(), tBoulder::StaticClass());
    EXPECT_FALSE(e.TemplateSelected);
    EXPECT_EQ(Engine->CursorUnitSprite, nullptr);
    EXPECT_EQ(e.InspectedUnit, placed);
    EXPECT_EQ(e.SelectedUnitLabel->Caption(), "tBoulder");
    PressCell(8, 3);
    EXPECT_EQ(Engine->Level.UnitList.Count(), units + 1);
    // "A" in the game window arms the last kind again, on any page.
    Page(e.TabSheet3);
    TestHooks::KeyStroke(Form1, 'A');
    EXPECT_TRUE(e.TemplateSelected);
    EXPECT_EQ(Engine->CursorUnitSprite, UnitKinds[static_cast<size_t>(boulder)].Sprite);
    // Slots beyond the last kind are ignored.
    const std::vector<tUnitRecord> all = UnitKinds;
    e.SetTemplateSelected(false);
    UnitKinds.resize(3);
    e.ObjectTemplateScrollBar->SetPosition(0);
    ClickIn(e.ObjectTemplateBox, TPoint{125, 20});
    EXPECT_FALSE(e.TemplateSelected);
    UnitKinds = all;
}

TEST_F(EditorWindow, DeleteRemovesTheInspectedUnitOnlyFromTheGameWindowWhileEditing)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    TEditor& e = *Editor;
    Page(e.ObjectTabSheet);
    tLevel& level = Engine->Level;
    tUnit* hero = level.Player;
    ASSERT_NE(hero, nullptr);
    PressCell(hero->InitialX, hero->InitialY);
    ASSERT_EQ(e.InspectedUnit, hero);
    const int32_t units = level.UnitList.Count();
    // Typed into the editor's own window: nothing goes.
    TestHooks::SetActiveForm(Editor);
    TestHooks::KeyStroke(Editor, VK_DELETE);
    EXPECT_EQ(level.UnitList.Count(), units);
    TestHooks::SetActiveForm(Form1);
    // On another page: nothing goes either.
    Page(e.TabSheet1);
    TestHooks::KeyStroke(Form1, VK_DELETE);
    EXPECT_EQ(level.UnitList.Count(), units);
    // The hero may go; nothing keeps pointing at it, and the level plays without one.
    Page(e.ObjectTabSheet);
    TestHooks::KeyStroke(Form1, VK_DELETE);
    EXPECT_LT(level.UnitList.Count(), units);
    EXPECT_EQ(level.Player, nullptr);
    EXPECT_EQ(e.InspectedUnit, nullptr);
    EXPECT_EQ(e.SelectedUnitLabel->Caption(), "");
    Editor->Editing->SetChecked(false);
    Tick(200);
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(EditorWindow, NewOpenSaveAndSaveAsUseTheirDialogsAndNames)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    TEditor& e = *Editor;
    // New, then Save: the file "Untitled" in the program folder.
    TestHooks::ChooseMenuItem(e.new1);
    EXPECT_EQ(Engine->LevelFileName, "Untitled");
    EXPECT_EQ(Engine->GameMode, gmEditing);
    TestHooks::ChooseMenuItem(e.Save1);
    EXPECT_TRUE(FileExists(Dir / "Untitled"));

    // Save As into a folder outside the program folder: written exactly there, and the
    // level runs from it.
    ScratchDir outside;
    ASSERT_TRUE(CreateDir(outside / "Mine"));
    PaintTile(Engine->Level, 3, 3, tTileLayer::Base, 0x41, true);
    const std::string chosen = outside / "Mine/Walls.map";
    AnswerFileDialog(chosen);
    TestHooks::ChooseMenuItem(e.SaveAs1);
    ASSERT_FALSE(TestHooks::FileDialogLog().empty());
    const TestHooks::TFileDialogRequest request = TestHooks::FileDialogLog().back();
    EXPECT_TRUE(request.Save);
    EXPECT_EQ(request.Title, "Save Current level as");
    EXPECT_EQ(request.FileName, "Untitled");
    ASSERT_TRUE(FileExists(chosen)) << ::testing::PrintToString(BoxTexts());
    EXPECT_FALSE(FileExists(Dir / "Mine/Walls.map"));
    EXPECT_EQ(Engine->LevelFileName, MakeRelativePath(chosen, StartupDir()));
    EXPECT_EQ(Engine->Level.Cell(3, 3).BaseTile, 0x41);
    EXPECT_EQ(e.LevelFilePath(), chosen);
    // Save writes to the same file.
    EXPECT_EQ(TileText(ScratchDir::Read(chosen), 4, 3), "081");
    PaintTile(Engine->Level, 4, 3, tTileLayer::Base, 0x41, true);
    TestHooks::ChooseMenuItem(e.Save1);
    EXPECT_EQ(TileText(ScratchDir::Read(chosen), 4, 3), "141");

    // Open it again (from the program's New level) and play it.
    TestHooks::ChooseMenuItem(e.new1);
    ASSERT_NE(Engine->Level.Cell(4, 3).BaseTile, 0x41);
    AnswerFileDialog(chosen);
    TestHooks::ChooseMenuItem(e.Open1);
    const TestHooks::TFileDialogRequest open = TestHooks::FileDialogLog().back();
    EXPECT_FALSE(open.Save);
    EXPECT_EQ(open.Title, "Load A Level");
    EXPECT_EQ(Engine->LevelFileName, chosen) << "outside the program folder the whole path";
    EXPECT_EQ(Engine->Level.Cell(4, 3).BaseTile, 0x41);
    Editor->Editing->SetChecked(false);
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

TEST_F(EditorWindow, AFileThatIsNoLevelLeavesTheRunningLevelAsItWasAndSaysWhy)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    ScratchDir files;
    files.Write("damaged.map", "[Tiles]\r\n141,141\r\n");
    files.Write("picture.map", SolidJpeg(16, 16));
    files.Write("notes.map", "just some words\r\n");
    ASSERT_TRUE(CreateDir(files / "folder.map"));
    tLevel& level = Engine->Level;
    PaintTile(level, 2, 2, tTileLayer::Upper, 9, false);
    const std::vector<std::string> before = LevelText();
    const std::string name = Engine->LevelFileName;
    const tUnit* hero = level.Player;
    const struct {
        std::string Path;
        const char* Reason;
    } cases[] = {
        {files / "damaged.map", "Not enough lines in [Tiles] chunk"},
        {files / "missing.map", "File Missing"},
        {files / "folder.map", "is a folder"},
        {files / "picture.map", "is not a level file"},
        {files / "notes.map", "is not a level file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        TestHooks::ClearMessageBoxLog();
        EXPECT_THROW(OpenLevelFile(*Engine, c.Path), Exception);
        try {
            OpenLevelFile(*Engine, c.Path);
        } catch (const Exception& x) {
            EXPECT_NE(x.Message().find(c.Reason), std::string::npos) << x.Message();
        }
        EXPECT_EQ(LevelText(), before);
        EXPECT_EQ(Engine->LevelFileName, name);
        EXPECT_EQ(level.Player, hero) << "the same units";
        EXPECT_EQ(Engine->GameMode, gmEditing);
    }
    // Through the menu the message is shown.
    AnswerFileDialog(files / "notes.map");
    TestHooks::ChooseMenuItem(Editor->Open1);
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_NE(BoxTexts()[0].find("is not a level file"), std::string::npos);
    EXPECT_EQ(ScratchDir::Read(files / "damaged.map"), "[Tiles]\r\n141,141\r\n") << "nothing written";
    Editor->Editing->SetChecked(false);
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
}

TEST_F(EditorWindow, AFailedSaveKeepsTheOldFileAndTheRunningLevel)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    ScratchDir files;
    files.Write("Kept/level.map", "old contents");
    const std::string target = files / "Kept/level.map";
    const std::vector<std::string> before = LevelText();
    const std::string name = Engine->LevelFileName;
    const auto saveAs = [&] {
        TestHooks::ClearMessageBoxLog();
        AnswerFileDialog(target);
        TestHooks::ChooseMenuItem(Editor->SaveAs1);
        // The dialog asks before replacing the file; then the writer's message.
        ASSERT_EQ(BoxTexts().size(), 2u) << ::testing::PrintToString(BoxTexts());
        EXPECT_NE(BoxTexts()[0].find("already exists"), std::string::npos);
        EXPECT_EQ(LevelText(), before);
        EXPECT_EQ(Engine->LevelFileName, name);
        EXPECT_EQ(ScratchDir::Read(target), "old contents");
    };
    // A write that fails part-way (a file-size limit, so it fails for root too).
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    saveAs();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    // A folder made read-only (root writes there anyway).
    if (geteuid() != 0 && chmod((files / "Kept").c_str(), 0500) == 0) {
        saveAs();
        chmod((files / "Kept").c_str(), 0700);
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(files / "Kept"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"level.map"}) << "no temporary file left";
}

TEST_F(EditorWindow, TheBackgroundFieldTakesOnlyAJpegOfThePlayfieldsSize)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    tLevel& level = Engine->Level;
    EXPECT_EQ(Editor->BackGroundFileNameEdit->Text(), level.Background) << "Editing takes the level's";
    const std::string old = level.Background;
    tDib16* const backdrop = Engine->BackgroundDib;
    Dir.Write("Wide.jpg", SolidJpeg(640, 480));
    Dir.Write("Fits.jpg", SolidJpeg(512, 480, clBlue));
    Dir.Write("Words.jpg", "no picture");
    Dir.Write("Huge.jpg", SolidJpeg(9000, 8));
    // A missing file: nothing happens.
    Editor->BackGroundFileNameEdit->SetText("Nowhere.jpg");
    EXPECT_EQ(level.Background, old);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
    // No picture, too large a picture: the reader's message, the name not kept.
    for (const char* bad : {"Words.jpg", "Huge.jpg"}) {
        TestHooks::ClearMessageBoxLog();
        Editor->BackGroundFileNameEdit->SetText(bad);
        EXPECT_EQ(BoxTexts().size(), 1u) << bad;
        EXPECT_EQ(level.Background, old) << bad;
        EXPECT_EQ(Engine->BackgroundDib, backdrop);
    }
    // The wrong size: said, the name kept, the old backdrop still on screen.
    TestHooks::ClearMessageBoxLog();
    Editor->BackGroundFileNameEdit->SetText("Wide.jpg");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"This JPEG is the wrong size."});
    EXPECT_EQ(level.Background, "Wide.jpg");
    EXPECT_EQ(Engine->BackgroundDib, backdrop);
    // The right size becomes the backdrop; chosen in the field's dialog, it is named from
    // the program's folder, where the game reads it.
    AnswerFileDialog(Dir / "Fits.jpg");
    Editor->BackGroundFileNameEdit->RunButton();
    EXPECT_EQ(Editor->BackGroundFileNameEdit->Text(), "Fits.jpg");
    EXPECT_EQ(level.Background, "Fits.jpg");
    ASSERT_NE(Engine->BackgroundDib, nullptr);
    EXPECT_EQ(Engine->BackgroundDib->Name, "fits.jpg");
}

TEST_F(EditorWindow, TheStatusBarAndTheDataPageShowTheReadings)
{
    StartPlaying();
    ShowEditor();
    Engine->MouseCellX = 3;
    Engine->MouseCellY = 4;
    Tick();
    TEditor& e = *Editor;
    EXPECT_EQ(e.StatusBar1->Panels()->Items(0)->Text(), "640,480");
    EXPECT_EQ(e.StatusBar1->Panels()->Items(2)->Text(), std::to_string(Engine->FrameTicks));
    Engine->MouseCellX = -1;
    e.UpdateStatus();
    EXPECT_EQ(e.StatusBar1->Panels()->Items(1)->Text(), "");
    Engine->MouseCellX = 3;
    Engine->MouseCellY = 4;
    e.UpdateStatus();
    EXPECT_EQ(e.StatusBar1->Panels()->Items(1)->Text(), "3,4");
    EXPECT_EQ(e.RedMask->Caption(), IntToHexStr(PixelFormat.R.Mask));
    EXPECT_EQ(e.GreenBits->Caption(), IntToHexStr(PixelFormat.G.Bits));
    EXPECT_EQ(e.DesktopDepthLabel->Caption(), std::to_string(DesktopDepth));
    EXPECT_EQ(e.SoundDriverLabel->Caption(), SoundDriverText);
    EXPECT_FALSE(e.BlitTimeLabel->Visible());
    EXPECT_FALSE(e.BlitTimeCaption->Enabled());
    e.ProfilingCheckBox->SetChecked(true);
    EXPECT_TRUE(ProfilingOn);
    EXPECT_TRUE(e.BlitTimeLabel->Visible());
    EXPECT_TRUE(e.MoveTimeCaption->Enabled());
    BlitTime = TPoint{1234567, 0};
    e.UpdateStatus();
    EXPECT_EQ(e.BlitTimeLabel->Caption(), "1,234,567 clocks");
    BlitTime = TPoint{0, 1};
    e.UpdateStatus();
    EXPECT_EQ(e.BlitTimeLabel->Caption(), "4,294,967,296 clocks");
    BlitTime = TPoint{};
    e.ProfilingCheckBox->SetChecked(false);
    EXPECT_FALSE(ProfilingOn);

    // Stay on top: the first choice checks the item and keeps the window on top, the
    // second makes it a normal window.
    TestHooks::ChooseMenuItem(e.Stayontop1);
    EXPECT_TRUE(e.Stayontop1->Checked());
    EXPECT_EQ(e.FormStyle(), fsStayOnTop);
    TestHooks::ChooseMenuItem(e.Stayontop1);
    EXPECT_FALSE(e.Stayontop1->Checked());
    EXPECT_EQ(e.FormStyle(), fsNormal);

    // The OOT page: the engine's dial box and the early-move switch.
    EXPECT_EQ(OOTDiagnosticsBox, e.OOTDiagnosticsPaintBox);
    EXPECT_TRUE(e.OOTEnabledCheckBox->Checked());
    e.OOTEnabledCheckBox->SetChecked(false);
    EXPECT_FALSE(LookAheadEnabled);
    e.OOTEnabledCheckBox->SetChecked(true);
    EXPECT_TRUE(LookAheadEnabled);
}

// The display is rebuilt twice (Alt+Enter) with the editor open on each page, a kind
// armed and a unit inspected: the pictures are made again and the choices stay.
TEST_F(EditorWindow, RebuildsOfTheDisplayMakeThePicturesAgainAndKeepTheChoices)
{
    StartPlaying();
    ShowEditor();
    TEditor& e = *Editor;
    for (TTabSheet* page : {e.TabSheet1, e.TabSheet2, e.ObjectTabSheet, e.TabSheet3, e.OOTDiagnosticsPage}) {
        SCOPED_TRACE(page->Caption());
        EditingOn();
        Page(e.ObjectTabSheet);
        e.SetTemplateSelected(false);
        tUnit* hero = Engine->Level.Player;
        ASSERT_NE(hero, nullptr);
        PressCell(hero->InitialX, hero->InitialY);
        ASSERT_EQ(e.InspectedUnit, hero);
        ClickIn(e.ObjectTemplateBox, TPoint{85, 20});
        const int32_t kind = e.SelectedTemplate;
        ASSERT_TRUE(e.TemplateSelected);
        Page(e.TabSheet1);
        e.ScrollBar1->SetPosition(3);
        e.ScrollBar2->SetPosition(5);
        ClickIn(e.PaintBox1, TPoint{40, 40});
        const int32_t tile = e.SelectedTile;
        ASSERT_EQ(tile, 17);
        ClickIn(e.SpeedButton4, TPoint{5, 5});
        Page(page);
        e.Editing->SetChecked(false);
        ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
        for (int round = 0; round < 2; ++round) {
            TestHooks::KeyStroke(Form1, VK_RETURN, TShiftState{ssAlt});
            TestHooks::RunPostedMessages();
            ASSERT_TRUE(Form1->SetUpDone);
            ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
        }
        EXPECT_NE(e.TilePaletteDib, nullptr);
        EXPECT_NE(e.OverlayPaletteDib, nullptr);
        EXPECT_NE(e.TemplateDib, nullptr);
        EXPECT_EQ(e.SelectedTile, tile);
        EXPECT_EQ(e.ScrollBar1->Position(), 3);
        EXPECT_EQ(e.FirstTile, 12);
        EXPECT_EQ(e.FirstOverlayTile, 20);
        EXPECT_TRUE(e.TemplateSelected);
        EXPECT_EQ(e.SelectedTemplate, kind);
        EXPECT_EQ(e.TileLayer, tTileLayer::Upper);
        EXPECT_EQ(e.PageControl1->ActivePage(), page);
        // The level was read again: the hero inspected is the new level's.
        ASSERT_NE(e.InspectedUnit, nullptr);
        EXPECT_EQ(e.InspectedUnit, Engine->Level.Player);
        EXPECT_EQ(OOTDiagnosticsBox, e.OOTDiagnosticsPaintBox);
        // The palette shows tiles again (not only the background colour).
        bool drawn = false;
        for (int x = 0; x < 128 && !drawn; ++x)
            drawn = At(*e.TilePaletteDib, x, 20) != RGBToPixel(255, 255, 255);
        EXPECT_TRUE(drawn);
    }
}

// A rebuild of the display while editing (a display choice taken in the advanced settings
// from the editor's menu) starts the set's entry again; the level being edited comes back
// in its place, with its name, still edited, the unit inspected found again.
TEST_F(EditorWindow, ARebuildWhileEditingKeepsTheLevelBeingEdited)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    TEditor& e = *Editor;
    Page(e.TabSheet1);
    ClickIn(e.PaintBox1, TPoint{40, 40});
    const int32_t tile = e.SelectedTile;
    PressCell(5, 5);
    ASSERT_EQ(Engine->Level.Cell(5, 5).BaseTile, tile);
    Page(e.ObjectTabSheet);
    ClickIn(e.ObjectTemplateBox, TPoint{85, 20});
    PressCell(7, 3);
    tUnit* placed = e.InspectedUnit;
    ASSERT_NE(placed, nullptr);
    const TClass kind = placed->ClassType();
    Engine->LevelFileName = "Edited.map";
    const std::vector<std::string> edited = LevelText();

    TestHooks::SetModalStarted([](TForm* form) {
        if (form == AdvancedSettingsForm) {
            auto& d = *AdvancedSettingsForm;
            d.UseBitBltCheckBox->SetChecked(!d.UseBitBltCheckBox->Checked());
            d.SetModalResult(mrOk);
        } else if (form == QueryDisplayForm) {
            form->SetModalResult(mrRunWindowed);
        }
    });
    TestHooks::ChooseMenuItem(e.AdvancedSettings1);
    TestHooks::RunPostedMessages();
    TestHooks::SetModalStarted(nullptr);
    ASSERT_TRUE(Form1->SetUpDone);
    Tick();
    EXPECT_EQ(LevelText(), edited);
    EXPECT_EQ(Engine->Level.Cell(5, 5).BaseTile, tile);
    EXPECT_EQ(Engine->LevelFileName, "Edited.map");
    EXPECT_EQ(Engine->GameMode, gmEditing);
    EXPECT_TRUE(Engine->EditMode());
    ASSERT_NE(e.InspectedUnit, nullptr);
    EXPECT_EQ(e.InspectedUnit->ClassType(), kind);
    EXPECT_EQ(e.InspectedUnit->InitialX, 7);
    EXPECT_EQ(e.InspectedUnit->InitialY, 3);
    EXPECT_GE(Engine->Level.UnitList.IndexOf(e.InspectedUnit), 0);
}

// Every way the level frees its units leaves the editor holding none of them.
TEST_F(EditorWindow, NoWayOfReplacingOrFreeingUnitsLeavesTheEditorHoldingOne)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    TEditor& e = *Editor;
    Page(e.ObjectTabSheet);
    ScratchDir files;
    const std::string saved = files / "saved.map";
    const auto inspectHero = [&] {
        tUnit* hero = Engine->Level.Player;
        ASSERT_NE(hero, nullptr);
        PressCell(hero->InitialX, hero->InitialY);
        ASSERT_EQ(e.InspectedUnit, hero);
    };
    const struct {
        const char* Way;
        std::function<void()> Run;
    } ways[] = {
        {"New", [&] { TestHooks::ChooseMenuItem(e.new1); }},
        {"Save As",
         [&] {
             AnswerFileDialog(saved);
             TestHooks::ChooseMenuItem(e.SaveAs1);
         }},
        {"Open",
         [&] {
             AnswerFileDialog(saved);
             TestHooks::ChooseMenuItem(e.Open1);
         }},
        {"a reload of the data", [&] { SendMessage(Form1->Handle(), WM_RELOADDATA, 0, 0); }},
        {"Delete", [&] { TestHooks::KeyStroke(Form1, VK_DELETE); }},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.Way);
        if (!Engine->Level.Player)
            TestHooks::ChooseMenuItem(e.new1);
        if (!Engine->Level.Player) {
            e.SelectedTemplate = KindIndex("Player");
            TestHooks::KeyStroke(Form1, 'A');
            PressCell(2, 2);
        }
        inspectHero();
        w.Run();
        if (std::string(w.Way) == "a reload of the data") {
            // The rebuild reads the level again: the unit inspected is one of the new
            // level's (found at the same initial cell) or none.
            EXPECT_TRUE(!e.InspectedUnit || Engine->Level.UnitList.IndexOf(e.InspectedUnit) >= 0);
            continue;
        }
        EXPECT_EQ(e.InspectedUnit, nullptr);
        EXPECT_EQ(e.SelectedUnitLabel->Caption(), "");
        Tick(3);
    }
    // A temporary unit freed at a restart.
    auto warp = std::make_unique<tWarp>();
    warp->SetInitialX(14);
    warp->SetInitialY(13);
    tUnit* temporary = Engine->Level.AddUnit(std::move(warp));
    PressCell(14, 13);
    EXPECT_EQ(e.InspectedUnit, nullptr) << "a press never picks a temporary unit";
    e.SelectUnit(temporary);
    e.ResetLevel();
    EXPECT_EQ(e.InspectedUnit, nullptr);
}

// A window without a client area to speak of: the playfield cell is (-1, -1) and a
// press changes nothing.
TEST_F(EditorWindow, AClientAreaOfNoHeightEditsNothing)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    Page(Editor->TabSheet1);
    Form1->SetClientHeight(0);
    const std::vector<std::string> before = LevelText();
    TestHooks::MouseDown(Form1, mbLeft, TPoint{300, 0});
    TestHooks::MouseUp(Form1, mbLeft, TPoint{300, 0});
    EXPECT_EQ(Form1->ClientCell(300, 0), (TPoint{-1, -1}));
    EXPECT_EQ(LevelText(), before);
    Tick(3);
    EXPECT_EQ(Editor->StatusBar1->Panels()->Items(1)->Text(), "");
}

// Each page as the user sees it while editing: the tile palette with the layer buttons,
// the overlay palette, the Objects page inspecting a sign with a kind armed in the strip,
// the Data readings and the OOT dial.
TEST_F(EditorWindow, EachPageLooksAsRecorded)
{
    StartPlaying();
    ShowEditor();
    EditingOn();
    TEditor& e = *Editor;
    Page(e.ObjectTabSheet);
    const int32_t info = KindIndex("Info");
    e.ObjectTemplateScrollBar->SetPosition(info);
    ClickIn(e.ObjectTemplateBox, TPoint{40 * (info - e.ObjectTemplateScrollBar->Position()) + 5, 20});
    PressCell(9, 6);
    ASSERT_NE(e.InspectedUnit, nullptr);
    ASSERT_EQ(e.SelectedUnitLabel->Caption(), "tInfo");
    ClickIn(e.ObjectTemplateBox, TPoint{45, 20});
    ASSERT_TRUE(e.TemplateSelected);
    const struct {
        TTabSheet* Page;
        const char* Name;
    } pages[] = {
        {e.TabSheet1, "editor_tiles"},   {e.TabSheet2, "editor_overlay"}, {e.ObjectTabSheet, "editor_objects"},
        {e.TabSheet3, "editor_data"},    {e.OOTDiagnosticsPage, "editor_oot"},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.Name);
        Page(p.Page);
        Tick();
        ExpectLikeReference(DrawControlPicture(e), "tests/tesk/shell/files", p.Name);
    }
}
