#include "tesk/editor/EditorForm.h"

#include "tesk/game/GameEngine.h"

TEditor* Editor = nullptr;

TEditor::TEditor()
{
    SetCaption("Editor");
    SetClientWidth(320);
    SetClientHeight(480);
    ProfilingCheckBox = PlaceControl<TCheckBox>(this, 8, 8, 200, 17);
    ProfilingCheckBox->SetCaption("Profile");
    TileSolidCheckBox = PlaceControl<TCheckBox>(this, 8, 32, 200, 17);
    TileSolidCheckBox->SetCaption("Solid");
    TileSolidCheckBox->SetChecked(true);
    ListenToLevel();
}

TEditor::~TEditor()
{
    if (Engine)
        Engine->Level.OnUnitsFreed = nullptr;
    // The main window may outlive the editor at the program's end.
    if (Editor == this)
        Editor = nullptr;
}

void TEditor::ListenToLevel()
{
    if (Engine)
        Engine->Level.OnUnitsFreed = [this](const tUnit* unit) { UnitsFreed(unit); };
}

void TEditor::UnitsFreed(const tUnit* unit)
{
    if (!unit || unit == InspectedUnit)
        SelectUnit(nullptr);
}

void TEditor::InitEditor() { ListenToLevel(); }
void TEditor::UpdateStatus() {}
void TEditor::FormKeyDown(WORD&, TShiftState) {}
void TEditor::FreeEditorData() {}
void TEditor::SetTemplateSelected(bool on) { TemplateSelected = on; }
void TEditor::SelectUnit(tUnit* unit) { InspectedUnit = unit; }
void TEditor::ResetLevel()
{
    if (Engine)
        Engine->Level.Restart();
}

void TEditor::RefreshInspector() {}

tEditChoices TEditor::EditChoices() const
{
    tEditChoices c;
    c.Page = EditPage;
    c.Layer = TileLayer;
    c.Tile = SelectedTile;
    c.Solid = TileSolidCheckBox->Checked();
    c.OverlayTile = SelectedOverlayTile;
    if (TemplateSelected && SelectedTemplate >= 0 && SelectedTemplate < static_cast<int32_t>(UnitKinds.size()))
        c.ArmedKind = UnitKinds[static_cast<size_t>(SelectedTemplate)].UnitClass;
    return c;
}

bool TEditor::PlayfieldMouseDown(TMouseButton Button, TPoint cell)
{
    if (!Engine)
        return false;
    const tCellEdit done = EditCell(Engine->Level, EditChoices(), Button, cell.X, cell.Y);
    if (done.Placed) {
        SetTemplateSelected(false);
        Engine->CursorUnitSprite = nullptr;
        SelectUnit(done.Placed);
    } else if (done.Picked) {
        SelectUnit(done.Picked);
        return true;
    }
    return false;
}

void TEditor::DragUnitTo(TPoint cell)
{
    if (!Engine || !InspectedUnit)
        return;
    MoveUnit(Engine->Level, *InspectedUnit, cell.X, cell.Y);
    RefreshInspector();
}
