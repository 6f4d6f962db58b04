#include "tesk/editor/EditorForm.h"

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
}

TEditor::~TEditor()
{
    // The main window may outlive the editor at the program's end.
    if (Editor == this)
        Editor = nullptr;
}

void TEditor::InitEditor() {}
void TEditor::UpdateStatus() {}
void TEditor::FormKeyDown(WORD&, TShiftState) {}
void TEditor::FreeEditorData() {}
void TEditor::SetTemplateSelected(bool on) { TemplateSelected = on; }
void TEditor::SelectUnit(tUnit* unit) { InspectedUnit = unit; }
void TEditor::ResetLevel() {}
void TEditor::RefreshInspector() {}
