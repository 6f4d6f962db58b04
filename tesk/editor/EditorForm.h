#pragma once
// The level editor's window. This form is a placeholder until the editor is built: it
// is created hidden at start-up, never shows itself, and holds what the main window
// reads and calls while it edits for the editor (the chosen page, layer, tile, overlay
// tile and unit kind, the inspected unit).
#include <cstdint>

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

class tUnit;

class TEditor : public TForm {
public:
    TEditor();
    ~TEditor() override;

    TCheckBox* ProfilingCheckBox = nullptr;
    TCheckBox* TileSolidCheckBox = nullptr;

    // The palette page: 1 tiles, 2 overlay, 3 objects.
    int32_t EditPage = 0;
    // The tile layer: -1 lower, 0 base, 1 upper; below -1 none.
    int32_t TileLayer = 0;
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
};

extern TEditor* Editor;
