// The editor's property inspector: one row per published property of the inspected unit
// on the Objects page, a caption and a control by the property's kind, written back into
// the unit through the one property table the level file uses.
#include "platform/Keys.h"
#include "tesk/editor/EditorForm.h"
#include "tesk/game/GameEngine.h"
#include "tesk/widgets/NumEdits.h"

namespace {

constexpr int RowControlWidth = 90;
constexpr int RowHeight = 20;
// The property list is read into a table of 16380 entries, the last one always empty.
constexpr size_t MaxPropertyRows = 16379;

// The property a row control edits (its Tag), or null for an inert control.
const TPropInfo* RowProperty(TObject* control)
{
    auto* c = dynamic_cast<TComponent*>(control);
    return c ? reinterpret_cast<const TPropInfo*>(c->Tag()) : nullptr;
}

// Hides a control and shows it again on every way out.
class tHiddenMeanwhile {
public:
    explicit tHiddenMeanwhile(TControl* control) : FControl(control) { FControl->SetVisible(false); }
    ~tHiddenMeanwhile() { FControl->SetVisible(true); }
    tHiddenMeanwhile(const tHiddenMeanwhile&) = delete;
    tHiddenMeanwhile& operator=(const tHiddenMeanwhile&) = delete;

private:
    TControl* FControl;
};

template <class T>
T* RowControl(TEditor* owner, TWinControl* page)
{
    auto* control = new T(owner);
    control->SetParent(page);
    return control;
}

} // namespace

void TEditor::ClearPropertyRows()
{
    ++FRowsCleared;
    PropertyRows.Clear();
}

void TEditor::RebuildInspector()
{
    ClearPropertyRows();
    if (!InspectedUnit) {
        SelectedUnitLabel->SetCaption("");
        return;
    }
    SelectedUnitLabel->SetCaption(InspectedUnit->ClassName());
    std::vector<const TPropInfo*> props = GetPropList(InspectedUnit->ClassType(), tkKnownProperties);
    if (props.size() > MaxPropertyRows)
        props.resize(MaxPropertyRows);
    const tHiddenMeanwhile page(ObjectTabSheet);
    for (const TPropInfo* prop : props)
        AddPropertyRow(*prop);
}

void TEditor::AddPropertyRow(const TPropInfo& prop)
{
    const int n = PropertyRows.Count() / 2;
    const bool on = Editing->Checked();
    auto* caption = RowControl<TLabel>(this, ObjectTabSheet);
    caption->SetCaption(prop.Name);
    caption->SetLeft(8);
    caption->SetTop(n * RowHeight + 36);
    caption->SetEnabled(on);
    PropertyRows.Add(caption);

    TControl* control = nullptr;
    switch (prop.Kind()) {
    case tkInteger:
    case tkSet:
    case tkFloat: {
        auto* edit = RowControl<TExCalcEdit>(this, ObjectTabSheet);
        edit->SetWidth(RowControlWidth);
        edit->SetAlignment(taLeftJustify);
        edit->SetButtonWidth(0);
        if (prop.Kind() == tkFloat) {
            edit->OnExit = [this](TObject* s) { ApplyFloatRow(s); };
            edit->OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { FloatRowKeyDown(s, key, shift); };
        } else {
            edit->OnExit = [this](TObject* s) { ApplyIntegerRow(s); };
            edit->OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { IntegerRowKeyDown(s, key, shift); };
        }
        control = edit;
        break;
    }
    case tkEnumeration: {
        auto* combo = RowControl<TComboBox>(this, ObjectTabSheet);
        combo->SetWidth(RowControlWidth);
        // Chosen from the list only: a typed text is never the value.
        combo->SetStyle(csDropDownList);
        std::vector<std::string> names;
        for (int64_t v = prop.PropType->MinValue; v <= prop.PropType->MaxValue; ++v)
            names.push_back(GetEnumName(prop.PropType, v));
        combo->SetItems(names);
        combo->OnChange = [this](TObject* s) { ApplyEnumRow(s); };
        combo->OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { SwallowKeyDown(s, key, shift); };
        combo->OnKeyPress = [this](TObject* s, char& key) { SwallowKeyPress(s, key); };
        control = combo;
        break;
    }
    case tkString:
    case tkLString: {
        auto* edit = RowControl<TEdit>(this, ObjectTabSheet);
        edit->SetWidth(RowControlWidth);
        edit->OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { StringRowKeyDown(s, key, shift); };
        edit->OnKeyPress = [this](TObject* s, char& key) { StringRowKeyPress(s, key); };
        control = edit;
        break;
    }
    default: {
        auto* empty = RowControl<TLabel>(this, ObjectTabSheet);
        empty->SetTransparent(true);
        control = empty;
        break;
    }
    }
    control->SetLeft(ObjectTabSheet->Width() - control->Width() - 4);
    control->SetTop(n * RowHeight + 32);
    if (!dynamic_cast<TLabel*>(control))
        control->SetTag(reinterpret_cast<intptr_t>(&prop));
    control->SetEnabled(on);
    PropertyRows.Add(control);
    RefreshRow(control);
}

void TEditor::SetRowsEnabled(bool on)
{
    for (int i = 0; i < PropertyRows.Count(); ++i)
        PropertyRows[i]->SetEnabled(on);
}

void TEditor::RefreshRow(TControl* control)
{
    const TPropInfo* prop = RowProperty(control);
    if (!prop || !InspectedUnit)
        return;
    const tUnit& unit = *InspectedUnit;
    switch (prop->Kind()) {
    case tkInteger:
    case tkSet: static_cast<TExCalcEdit*>(control)->SetValue(static_cast<double>(GetOrdProp(unit, *prop))); break;
    case tkFloat: static_cast<TExCalcEdit*>(control)->SetValue(GetFloatProp(unit, *prop)); break;
    case tkEnumeration:
        static_cast<TComboBox*>(control)->SetText(GetEnumName(prop->PropType, GetOrdProp(unit, *prop)));
        break;
    case tkString:
    case tkLString: static_cast<TEdit*>(control)->SetText(GetStrProp(unit, *prop)); break;
    default: break;
    }
}

void TEditor::RefreshInspector()
{
    for (int i = 1; i < PropertyRows.Count(); i += 2)
        RefreshRow(PropertyRows[i]);
}

// ---------------------------------------------------------------------------------------
// Applying a row

void TEditor::ApplyRow(TObject* Sender, const std::string& text)
{
    auto* control = dynamic_cast<TControl*>(Sender);
    const TPropInfo* prop = RowProperty(Sender);
    if (!control || !prop || !InspectedUnit || !Engine || PropertyRows.IndexOf(control) < 0)
        return;
    const uint32_t rows = FRowsCleared;
    const tPropertyEdit done = SetUnitProperty(Engine->Level, *InspectedUnit, *prop, text);
    if (rows != FRowsCleared)
        return;  // the restart freed the unit, and the rows with it
    if (!done.Applied)
        throw Exception(done.Reason);
    RefreshRow(control);
}

void TEditor::ApplyIntegerRow(TObject* Sender)
{
    if (auto* edit = dynamic_cast<TExCalcEdit*>(Sender))
        ApplyRow(Sender, TCustomNumEdit::TextToValText(edit->Text()));
}

void TEditor::ApplyFloatRow(TObject* Sender) { ApplyIntegerRow(Sender); }

void TEditor::ApplyEnumRow(TObject* Sender)
{
    if (auto* combo = dynamic_cast<TComboBox*>(Sender))
        ApplyRow(Sender, combo->Text());
}

void TEditor::ApplyStringRow(TObject* Sender)
{
    if (auto* edit = dynamic_cast<TEdit*>(Sender))
        ApplyRow(Sender, edit->Text());
}

// ---------------------------------------------------------------------------------------
// Keys of the rows

void TEditor::NumberRowKeyDown(TObject* Sender, WORD& Key)
{
    if (Key == VK_RETURN)
        ApplyIntegerRow(Sender);
    else if (Key == VK_ESCAPE)
        RefreshRow(dynamic_cast<TControl*>(Sender));
}

void TEditor::IntegerRowKeyDown(TObject* Sender, WORD& Key, TShiftState) { NumberRowKeyDown(Sender, Key); }
void TEditor::FloatRowKeyDown(TObject* Sender, WORD& Key, TShiftState) { NumberRowKeyDown(Sender, Key); }

void TEditor::StringRowKeyDown(TObject* Sender, WORD& Key, TShiftState)
{
    if (Key == VK_RETURN) {
        Key = 0;
        ApplyStringRow(Sender);
    } else if (Key == VK_ESCAPE) {
        RefreshRow(dynamic_cast<TControl*>(Sender));
    }
}

void TEditor::StringRowKeyPress(TObject*, char& Key)
{
    // The Enter that applied types nothing (no beep).
    if (Key == '\r')
        Key = 0;
}

void TEditor::SwallowKeyDown(TObject*, WORD& Key, TShiftState) { Key = 0; }
void TEditor::SwallowKeyPress(TObject*, char& Key) { Key = 0; }
