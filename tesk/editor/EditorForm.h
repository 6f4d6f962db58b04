#pragma once
// The level editor's window. This form is a placeholder until the editor is built: it
// is created hidden at start-up, never shows itself, and holds what the main window
// reads and calls while it edits (the chosen page, layer, tile, overlay tile and unit
// kind, the inspected unit, the presses on the playfield).
#include <cstdint>

#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tesk/editor/LevelEditing.h"

class tUnit;

class TEditor : public TForm {
public:
    TEditor();
    ~TEditor() override;

    TCheckBox* ProfilingCheckBox = nullptr;
    TCheckBox* TileSolidCheckBox = nullptr;

    tEditPage EditPage = tEditPage::None;
    tTileLayer TileLayer = tTileLayer::Base;
    int32_t SelectedTile = 16;
    int32_t SelectedOverlayTile = 0;
    // A unit kind is armed for placing, and which (an index of UnitKinds).
    bool TemplateSelected = false;
    int32_t SelectedTemplate = 0;
    tUnit* InspectedUnit = nullptr;

    void InitEditor();
    void UpdateStatus();
    void FormKeyDown(WORD& Key, TShiftState Shift);
    void FreeEditorData();
    void SetTemplateSelected(bool on);
    void SelectUnit(tUnit* unit);
    void ResetLevel();
    void RefreshInspector();

    // What the pages have chosen for a press on the playfield.
    tEditChoices EditChoices() const;
    // A press on a cell of the playfield while the engine edits (the main window's
    // mouse handler); true when it picked a unit to drag.
    bool PlayfieldMouseDown(TMouseButton Button, TPoint cell);
    // The dragged (inspected) unit follows the pointer to a cell.
    void DragUnitTo(TPoint cell);

private:
    // Lets go of the inspected unit when the level frees it.
    void UnitsFreed(const tUnit* unit);
    void ListenToLevel();
};

extern TEditor* Editor;
