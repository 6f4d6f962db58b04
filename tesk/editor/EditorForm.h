#pragma once
// The level editor's window: a small tool window beside the game window that edits the
// level the engine is running. Its pages choose what a press on the playfield does (the
// tile palette with the layer buttons, the overlay palette, the unit kinds and the
// property inspector of the unit picked), the File menu opens and saves level files, and
// the Data and OOT pages show readings of the display, the timing and the early move.
//
// The main window drives it: InitEditor after every set-up of the display and
// FreeEditorData before every teardown (both run again at each rebuild, and the user's
// choices survive them), UpdateStatus after every tick while it is visible, FormKeyDown for
// the keys of the game window (F12 always, the rest while the engine edits) and the
// playfield presses while the engine edits. F12 shows and hides it; "Editing" puts the
// engine into its editing mode.
//
// The inspected unit belongs to the level: the editor lets go of it (and of its rows)
// whenever the level frees it, so nothing here ever points at a freed unit.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "tesk/editor/LevelEditing.h"
#include "tesk/toolkit/Misc.h"

class tDib16;
class tUnit;
class TExSpeedButton;
class TFilenameEdit;

class TEditor : public TForm {
public:
    TEditor();
    ~TEditor() override;

    // ---- the layout
    TCheckBox* Editing = nullptr;
    TCheckBox* ShowSolidDataCheckBox = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TPageControl* PageControl1 = nullptr;
    // Tiles
    TTabSheet* TabSheet1 = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    TScrollBar* ScrollBar1 = nullptr;
    TCheckBox* TileSolidCheckBox = nullptr;
    TExSpeedButton* SpeedButton1 = nullptr;  // layer -1
    TExSpeedButton* SpeedButton2 = nullptr;  // layer 0
    TExSpeedButton* SpeedButton4 = nullptr;  // layer 1
    TExSpeedButton* SpeedButton3 = nullptr;  // no layer
    // Overlay
    TTabSheet* TabSheet2 = nullptr;
    TPaintBox* PaintBox2 = nullptr;
    TScrollBar* ScrollBar2 = nullptr;
    // Objects
    TTabSheet* ObjectTabSheet = nullptr;
    TLabel* SelectedUnitLabel = nullptr;
    TPaintBox* ObjectTemplateBox = nullptr;
    TScrollBar* ObjectTemplateScrollBar = nullptr;
    // Data
    TTabSheet* TabSheet3 = nullptr;
    TCheckBox* ProfilingCheckBox = nullptr;
    TLabel* BlitTimeCaption = nullptr;
    TLabel* DrawTimeCaption = nullptr;
    TLabel* MoveTimeCaption = nullptr;
    TLabel* BlitTimeLabel = nullptr;
    TLabel* DrawTimeLabel = nullptr;
    TLabel* MoveTimeLabel = nullptr;
    TLabel* RedBits = nullptr;
    TLabel* GreenBits = nullptr;
    TLabel* BlueBits = nullptr;
    TLabel* RedMask = nullptr;
    TLabel* GreenMask = nullptr;
    TLabel* BlueMask = nullptr;
    TLabel* DesktopDepthLabel = nullptr;
    TLabel* SoundDriverLabel = nullptr;
    // Vars (no tab)
    TTabSheet* TabSheet4 = nullptr;
    TFilenameEdit* BackGroundFileNameEdit = nullptr;
    TFilenameEdit* TileSetFileNameEdit = nullptr;
    TFilenameEdit* OverlayFileNameEdit = nullptr;
    TFilenameEdit* MusicFileNameEdit = nullptr;
    // OOT
    TTabSheet* OOTDiagnosticsPage = nullptr;
    TPaintBox* OOTDiagnosticsPaintBox = nullptr;
    TCheckBox* OOTEnabledCheckBox = nullptr;
    // Menus and dialogs.
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* new1 = nullptr;
    TMenuItem* Open1 = nullptr;
    TMenuItem* Save1 = nullptr;
    TMenuItem* SaveAs1 = nullptr;
    TMenuItem* Options1 = nullptr;
    TMenuItem* Stayontop1 = nullptr;
    TMenuItem* AdvancedSettings1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;

    // ---- the editor's state
    std::unique_ptr<tDib16> TilePaletteDib;
    int32_t FirstTile = 0;
    int32_t TileColumns = 0;
    int32_t TileRows = 0;
    std::unique_ptr<tDib16> OverlayPaletteDib;
    int32_t FirstOverlayTile = 0;
    int32_t OverlayColumns = 0;
    int32_t OverlayRows = 0;
    // The unit the inspector shows (the level's), or null.
    tUnit* InspectedUnit = nullptr;
    // The inspector's controls, two a row: the caption label, then the editor control.
    tOwnerList<TControl> PropertyRows;
    std::unique_ptr<tDib16> TemplateDib;
    bool TemplateSelected = false;
    int32_t SelectedTile = 16;
    int32_t SelectedOverlayTile = 0;
    // An index of UnitKinds.
    int32_t SelectedTemplate = 0;
    tEditPage EditPage = tEditPage::None;
    uint8_t SavedGameMode = 0;
    tTileLayer TileLayer = tTileLayer::Base;

    // ---- called by the main window
    // After every set-up: the palette and strip pictures made from the sprites just
    // loaded; the first time also the selected tile (16).
    void InitEditor();
    // Before every teardown: the pictures go; the form stays usable and keeps the user's
    // choices.
    void FreeEditorData();
    void UpdateStatus();
    void FormKeyDown(WORD& Key, TShiftState Shift);
    void SelectUnit(tUnit* unit);
    void SetTemplateSelected(bool on);
    void ResetLevel();
    void RefreshInspector();
    // What the pages have chosen for a press on the playfield.
    tEditChoices EditChoices() const;
    // A press on a cell of the playfield while the engine edits; true when it picked a
    // unit to drag.
    bool PlayfieldMouseDown(TMouseButton Button, TPoint cell);
    // The dragged (inspected) unit follows the pointer to a cell.
    void DragUnitTo(TPoint cell);

    // ---- the inspector (rows in name order, a caption label and an editor control each;
    // the control's Tag holds its TPropInfo, 0 for an inert one)
    void RebuildInspector();
    void AddPropertyRow(const TPropInfo& prop);
    void ClearPropertyRows();
    void SetRowsEnabled(bool on);
    // Each apply writes the row's value into the unit, restarts the level and reads the
    // value back; a refused value raises with the reason (the row keeps what was typed).
    void ApplyIntegerRow(TObject* Sender);
    void ApplyFloatRow(TObject* Sender);
    void ApplyEnumRow(TObject* Sender);
    void ApplyStringRow(TObject* Sender);
    void IntegerRowKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FloatRowKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void StringRowKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void StringRowKeyPress(TObject* Sender, char& Key);
    void SwallowKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void SwallowKeyPress(TObject* Sender, char& Key);

    // ---- handlers
    void EditingClick(TObject* Sender);
    void PageControl1Change(TObject* Sender);
    void TileLayerbuttonClick(TObject* Sender);
    void ShowSolidDataCheckBoxClick(TObject* Sender);
    void ProfilingCheckBoxClick(TObject* Sender);
    void OOTEnabledCheckBoxClick(TObject* Sender);
    void new1Click(TObject* Sender);
    void Open1Click(TObject* Sender);
    void Save1Click(TObject* Sender);
    void SaveAs1Click(TObject* Sender);
    void Stayontop1Click(TObject* Sender);
    // Opens the advanced settings dialog; OK puts its choices into effect.
    void AdvancedSettings1Click(TObject* Sender);
    void AfterOpenDialog(TObject* Sender, std::string& Name, bool& Action);
    void BackGroundFileNameEditChange(TObject* Sender);

    // ---- drawing
    void DrawTilePalette();
    void DrawOverlayPalette();
    void DrawTemplateStrip();

    // Where the running level was last saved as or opened from by its whole path, while
    // LevelFileName is still the name given then (Save writes there).
    std::string LevelFilePath() const;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void BuildLayout();
    void BuildTilesPage();
    void BuildOverlayPage();
    void BuildObjectsPage();
    void BuildDataPage();
    void BuildVarsPage();
    void BuildOOTPage();
    void BuildMenu();
    void PlaceBesideMainWindow();
    void FocusMainWindow();
    // The palettes' and strip's pictures (none before InitEditor and after FreeEditorData).
    void MakePictures();
    // Draws the sprites into them: only while the window shows, so that a hidden editor
    // reads no sprite sheet before the game itself draws from it.
    void DrawPictures();
    // Draws a palette again when the level's tile set is no longer the one drawn.
    void FollowTileSets();
    void PaletteMouseDown(bool overlay, int X, int Y);
    void PaletteScrolled(bool overlay);
    void TemplateMouseDown(int X);
    void EnablePages();
    // After a rebuild: the level being edited back in place of the one set-up loaded.
    void RestoreKeptLevel();
    // After a rebuild: the engine as the visible window and its Editing switch want it.
    void TakeUpEditing();
    // Lets go of the inspected unit when the level frees it.
    void UnitsFreed(const tUnit* unit);
    void ListenToLevel();
    // The inspector's steps: one row read again from the unit, the shared apply, and Enter
    // (applies) or Esc (reads the stored value back) in a numeric row.
    void RefreshRow(TControl* control);
    void ApplyRow(TObject* Sender, const std::string& text);
    void NumberRowKeyDown(TObject* Sender, WORD& Key);
    // Counts the clearings of the rows: an apply that outlived its row (the level freed the
    // unit at the restart) touches nothing more.
    uint32_t FRowsCleared = 0;
    // The unit inspected before a display rebuild, found again on the level reloaded.
    struct tInspectedMark {
        TClass Class = nullptr;
        int32_t X = 0;
        int32_t Y = 0;
    };
    tInspectedMark FRebuildMark;
    // The level being edited when a rebuild began (its text and name): set-up starts the
    // level set's entry again, and the level edited comes back in its place.
    std::vector<std::string> FKeptLevel;
    std::string FKeptLevelName;
    bool FInitialised = false;
    // The tile sets the palettes were drawn from.
    std::string FDrawnTileSet;
    std::string FDrawnOverlaySet;
    std::string FSavedPath;
    std::string FSavedName;
};

extern TEditor* Editor;
