#include "tesk/editor/EditorForm.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Keys.h"
#include "tesk/editor/AdvancedSettingsForms.h"
#include "tesk/editor/LevelFileCommands.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Settings.h"
#include "tesk/game/Tiles.h"
#include "tesk/game/Units.h"
#include "tesk/toolkit/Dib16.h"
#include "tesk/toolkit/PackageFiles.h"
#include "tesk/widgets/ComboEdits.h"
#include "tesk/widgets/SpeedButtons.h"

TEditor* Editor = nullptr;

namespace {

constexpr int32_t CellSize = 32;
constexpr int32_t TemplateSlot = 40;
constexpr WORD KeyA = 'A';

// Frames a selected cell of a palette or the strip: black, white, white, black from the
// outside in, one pixel each.
void DrawSelectionFrame(TCanvas& canvas, int32_t x, int32_t y, int32_t width, int32_t height)
{
    canvas.Brush.Style = bsClear;
    canvas.Pen.Width = 1;
    const TColor colours[] = {clBlack, clWhite, clWhite, clBlack};
    for (int32_t i = 0; i < 4; ++i) {
        canvas.Pen.Color = colours[i];
        canvas.Rectangle(x + i, y + i, x + width - i, y + height - i);
    }
    canvas.Brush.Style = bsSolid;
}

// A memory picture of the box's size, drawn into through CurrentDib.
std::unique_ptr<tDib16> PictureFor(const TControl& box)
{
    auto dib = std::make_unique<tDib16>(box.Width(), box.Height());
    dib->ClipRect = TRect{0, 0, box.Width(), box.Height()};
    return dib;
}

// The 64-bit count of a profiling sample (low and high halves).
uint64_t SampleCount(const TPoint& sample)
{
    return static_cast<uint64_t>(static_cast<uint32_t>(sample.X)) |
           static_cast<uint64_t>(static_cast<uint32_t>(sample.Y)) << 32;
}

TLabel* PlaceLabel(TWinControl* parent, int left, int top, const std::string& caption)
{
    auto* label = PlaceControl<TLabel>(parent, left, top, 0, 13);
    label->SetCaption(caption);
    return label;
}

// A value label whose text ends at x `right`.
TLabel* PlaceValueLabel(TWinControl* parent, int right, int top, int width)
{
    auto* label = PlaceControl<TLabel>(parent, right - width, top, width, 13);
    label->SetAutoSize(false);
    label->SetAlignment(taRightJustify);
    return label;
}

// A vertical bar (a change of kind turns the bar's bounds, so it comes first).
TScrollBar* VerticalScrollBar(TWinControl* parent, int left, int top, int height)
{
    auto* bar = PlaceControl<TScrollBar>(parent, left, top, height, 16);
    bar->SetKind(sbVertical);
    bar->SetBounds(left, top, 16, height);
    return bar;
}

TTabSheet* AddPage(TPageControl* pages, TComponent* owner, const std::string& caption)
{
    auto* page = new TTabSheet(owner);
    page->SetPageControl(pages);
    page->SetCaption(caption);
    return page;
}

TMenuItem* AddItem(TMenuItem* parent, TComponent* owner, const std::string& caption, TNotifyEvent click = {})
{
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->OnClick = std::move(click);
    parent->Add(item);
    return item;
}

} // namespace

// ---------------------------------------------------------------------------------------
// The form

TEditor::TEditor()
{
    SetCaption("Editor");
    SetBorderStyle(bsToolWindow);
    SetBounds(116, 142, 185, 460);
    SetFormStyle(fsStayOnTop);
    SetKeyPreview(true);
    BuildLayout();
    OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { FormKeyDown(Key, Shift); };
    // Set-up of the window itself (the rest waits for InitEditor).
    SetClientHeight(460);
    OOTEnabledCheckBox->SetChecked(LookAheadEnabled);
    ListenToLevel();
}

TEditor::~TEditor()
{
    // The engine may draw on the dial only while the box exists.
    if (OOTDiagnosticsBox == OOTDiagnosticsPaintBox)
        OOTDiagnosticsBox = nullptr;
    if (Engine)
        Engine->Level.OnUnitsFreed = nullptr;
    InspectedUnit = nullptr;
    PropertyRows.Clear();
    // The main window may outlive the editor at the program's end.
    if (Editor == this)
        Editor = nullptr;
}

void TEditor::BuildLayout()
{
    Editing = PlaceControl<TCheckBox>(this, 8, 8, 70, 17);
    Editing->SetCaption("Editing");
    Editing->OnClick = [this](TObject* s) { EditingClick(s); };
    ShowSolidDataCheckBox = PlaceControl<TCheckBox>(this, 81, 8, 90, 17);
    ShowSolidDataCheckBox->SetCaption("Show Solid");
    ShowSolidDataCheckBox->OnClick = [this](TObject* s) { ShowSolidDataCheckBoxClick(s); };

    // The status bar first, so that it takes the bottom edge below the pages.
    StatusBar1 = new TStatusBar(this);
    StatusBar1->SetParent(this);
    for (int width : {60, 50, 50})
        StatusBar1->Panels()->Add()->SetWidth(width);

    PageControl1 = new TPageControl(this);
    PageControl1->SetParent(this);
    PageControl1->SetBounds(0, 32, ClientWidth(), ClientHeight() - 32 - StatusBar1->Height());
    PageControl1->SetAlign(alBottom);
    PageControl1->SetTabWidth(43);
    PageControl1->SetHotTrack(true);
    BuildTilesPage();
    BuildOverlayPage();
    BuildObjectsPage();
    BuildDataPage();
    BuildVarsPage();
    BuildOOTPage();
    PageControl1->SetActivePage(OOTDiagnosticsPage);
    PageControl1->OnChange = [this](TObject* s) { PageControl1Change(s); };
    BuildMenu();

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->SetTitle("Load A Level");
    OpenDialog1->SetDefaultExt("map");
    OpenDialog1->SetFilter("Map files (*.map)|*.map|All files (*.*)|*.*");
    OpenDialog1->SetOptions({ofHideReadOnly, ofNoChangeDir, ofPathMustExist, ofFileMustExist});
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetTitle("Save Current level as");
    SaveDialog1->SetDefaultExt("map");
    SaveDialog1->SetFilter("Map files (*.Map)|*.map|All files (*.*)|*.*");
    SaveDialog1->SetOptions({ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofPathMustExist});
}

void TEditor::BuildTilesPage()
{
    TabSheet1 = AddPage(PageControl1, this, "Tiles");
    TabSheet1->SetEnabled(false);
    PaintBox1 = PlaceControl<TPaintBox>(TabSheet1, 16, 8, 128, 320);
    PaintBox1->ControlStyle |= csOpaque;
    PaintBox1->OnPaint = [this](TObject*) {
        if (TilePaletteDib)
            PaintBox1->Canvas().Draw(0, 0, TilePaletteDib->Bitmap());
    };
    PaintBox1->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int X, int Y) { PaletteMouseDown(false, X, Y); };
    ScrollBar1 = VerticalScrollBar(TabSheet1, 145, 8, 320);
    ScrollBar1->SetTabStop(false);
    ScrollBar1->OnChange = [this](TObject*) { PaletteScrolled(false); };
    TileSolidCheckBox = PlaceControl<TCheckBox>(TabSheet1, 17, 330, 60, 17);
    TileSolidCheckBox->SetCaption("Solid");
    TileSolidCheckBox->SetChecked(true);
    const struct {
        TExSpeedButton** Button;
        const char* Caption;
        intptr_t Tag;
        int Left, Top, Width;
    } buttons[] = {
        {&SpeedButton1, "-1", -1, 89, 334, 25},
        {&SpeedButton2, "0", 0, 114, 334, 24},
        {&SpeedButton4, "1", 1, 138, 334, 23},
        {&SpeedButton3, "None", -100, 89, 352, 72},
    };
    for (const auto& b : buttons) {
        auto* button = PlaceControl<TExSpeedButton>(TabSheet1, b.Left, b.Top, b.Width, 18);
        button->SetCaption(b.Caption);
        button->SetTag(b.Tag);
        button->SetGroupIndex(1);
        button->OnClick = [this](TObject* s) { TileLayerbuttonClick(s); };
        *b.Button = button;
    }
    SpeedButton2->SetDown(true);
}

void TEditor::BuildOverlayPage()
{
    TabSheet2 = AddPage(PageControl1, this, "Overlay");
    TabSheet2->SetEnabled(false);
    PaintBox2 = PlaceControl<TPaintBox>(TabSheet2, 16, 8, 128, 320);
    PaintBox2->ControlStyle |= csOpaque;
    PaintBox2->OnPaint = [this](TObject*) {
        if (OverlayPaletteDib)
            PaintBox2->Canvas().Draw(0, 0, OverlayPaletteDib->Bitmap());
    };
    PaintBox2->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int X, int Y) { PaletteMouseDown(true, X, Y); };
    ScrollBar2 = VerticalScrollBar(TabSheet2, 145, 8, 320);
    ScrollBar2->SetTabStop(false);
    ScrollBar2->OnChange = [this](TObject*) { PaletteScrolled(true); };
}

void TEditor::BuildObjectsPage()
{
    ObjectTabSheet = AddPage(PageControl1, this, "Objects");
    ObjectTabSheet->SetEnabled(false);
    SelectedUnitLabel = PlaceLabel(ObjectTabSheet, 8, 8, "");
    TFont font = SelectedUnitLabel->Font();
    font.Height = -13;
    SelectedUnitLabel->SetFont(font);
    ObjectTemplateBox = PlaceControl<TPaintBox>(ObjectTabSheet, 4, 288, 160, 52);
    ObjectTemplateBox->ControlStyle |= csOpaque;
    ObjectTemplateBox->OnPaint = [this](TObject*) {
        if (TemplateDib)
            ObjectTemplateBox->Canvas().Draw(0, 0, TemplateDib->Bitmap());
    };
    ObjectTemplateBox->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int X, int) { TemplateMouseDown(X); };
    ObjectTemplateScrollBar = PlaceControl<TScrollBar>(ObjectTabSheet, 4, 344, 160, 17);
    ObjectTemplateScrollBar->SetTabStop(false);
    ObjectTemplateScrollBar->SetMax(0);
    ObjectTemplateScrollBar->OnChange = [this](TObject*) {
        DrawTemplateStrip();
        ObjectTemplateBox->Invalidate();
    };
}

void TEditor::BuildDataPage()
{
    TabSheet3 = AddPage(PageControl1, this, "Data");
    ProfilingCheckBox = PlaceControl<TCheckBox>(TabSheet3, 8, 8, 153, 17);
    ProfilingCheckBox->SetCaption("Profile");
    ProfilingCheckBox->OnClick = [this](TObject* s) { ProfilingCheckBoxClick(s); };
    const struct {
        TLabel** Caption;
        TLabel** Value;
        const char* Text;
        int Top;
    } times[] = {
        {&BlitTimeCaption, &BlitTimeLabel, "Blit Time", 32},
        {&DrawTimeCaption, &DrawTimeLabel, "Draw Time", 52},
        {&MoveTimeCaption, &MoveTimeLabel, "Move Time", 72},
    };
    for (const auto& t : times) {
        *t.Caption = PlaceLabel(TabSheet3, 8, t.Top, t.Text);
        (*t.Caption)->SetEnabled(false);
        *t.Value = PlaceValueLabel(TabSheet3, 161, t.Top, 100);
        (*t.Value)->SetVisible(false);
    }
    const struct {
        TLabel** Value;
        const char* Text;
    } format[] = {
        {&RedBits, "Red Bits"},   {&GreenBits, "Green Bits"}, {&BlueBits, "Blue Bits"},
        {&RedMask, "Red Mask"},   {&GreenMask, "Green Mask"}, {&BlueMask, "Blue Mask"},
        {&DesktopDepthLabel, "Desktop Depth"},
    };
    int top = 120;
    for (const auto& f : format) {
        PlaceLabel(TabSheet3, 8, top, f.Text);
        *f.Value = PlaceValueLabel(TabSheet3, 120, top, 40);
        top += 24;
    }
    SoundDriverLabel = PlaceLabel(TabSheet3, 8, 320, "Driver");
}

void TEditor::BuildVarsPage()
{
    TabSheet4 = AddPage(PageControl1, this, "Vars");
    TabSheet4->SetEnabled(false);
    TabSheet4->SetTabVisible(false);
    const std::string jpegs = "JPEG Images|*.jpg";
    const struct {
        TFilenameEdit** Field;
        const char* Caption;
        const char* Text;
        std::string Filter;
    } fields[] = {
        {&BackGroundFileNameEdit, "BackGround", "Morrowfinch.jpg", jpegs},
        {&TileSetFileNameEdit, "Tile Set", "BasicTiles.JPG", jpegs},
        {&OverlayFileNameEdit, "Overlay Tile Set", "BasicTiles.JPG", jpegs},
        {&MusicFileNameEdit, "Music", "Zodezodi.s3m", "Module Music files |*.mod,*.s3m,*.mtm,*.xm|All files (*.*)|*.*"},
    };
    int top = 8;
    for (const auto& f : fields) {
        PlaceLabel(TabSheet4, 8, top, f.Caption);
        auto* field = PlaceControl<TFilenameEdit>(TabSheet4, 8, top + 16, 137, 21);
        field->SetText(f.Text);
        field->SetFilter(f.Filter);
        field->SetDialogOptions({ofHideReadOnly, ofNoChangeDir, ofPathMustExist, ofFileMustExist});
        field->OnAfterDialog = [this](TObject* s, std::string& name, bool& action) { AfterOpenDialog(s, name, action); };
        *f.Field = field;
        top += 48;
    }
    BackGroundFileNameEdit->OnChange = [this](TObject* s) { BackGroundFileNameEditChange(s); };
}

void TEditor::BuildOOTPage()
{
    OOTDiagnosticsPage = AddPage(PageControl1, this, "OOT");
    OOTDiagnosticsPaintBox = PlaceControl<TPaintBox>(OOTDiagnosticsPage, 8, 8, 153, 337);
    OOTEnabledCheckBox = PlaceControl<TCheckBox>(OOTDiagnosticsPage, 8, 352, 100, 17);
    OOTEnabledCheckBox->SetCaption("OOT Enabled");
    OOTEnabledCheckBox->OnClick = [this](TObject* s) { OOTEnabledCheckBoxClick(s); };
}

void TEditor::BuildMenu()
{
    MainMenu1 = new TMainMenu(this);
    File1 = AddItem(MainMenu1->Items(), this, "&File");
    new1 = AddItem(File1, this, "&New", [this](TObject* s) { new1Click(s); });
    Open1 = AddItem(File1, this, "&Open...", [this](TObject* s) { Open1Click(s); });
    Save1 = AddItem(File1, this, "&Save", [this](TObject* s) { Save1Click(s); });
    SaveAs1 = AddItem(File1, this, "Save &As...", [this](TObject* s) { SaveAs1Click(s); });
    Options1 = AddItem(MainMenu1->Items(), this, "Options");
    Stayontop1 = AddItem(Options1, this, "Stay on top", [this](TObject* s) { Stayontop1Click(s); });
    AdvancedSettings1 =
        AddItem(Options1, this, "Advanced Settings...", [this](TObject* s) { AdvancedSettings1Click(s); });
    SetMenu(MainMenu1);
}

// ---------------------------------------------------------------------------------------
// Set-up and teardown with the display

void TEditor::ListenToLevel()
{
    if (Engine)
        Engine->Level.OnUnitsFreed = [this](const tUnit* unit) { UnitsFreed(unit); };
}

void TEditor::UnitsFreed(const tUnit* unit)
{
    if (InspectedUnit && (!unit || unit == InspectedUnit))
        SelectUnit(nullptr);
}

void TEditor::InitEditor()
{
    ListenToLevel();
    OOTDiagnosticsBox = OOTDiagnosticsPaintBox;
    if (!FInitialised) {
        SelectedTile = 16;
        FInitialised = true;
    }
    MakePictures();
    RestoreKeptLevel();
    // The unit inspected before a rebuild, on the level the rebuild reloaded.
    if (!InspectedUnit && FRebuildMark.Class && Engine) {
        const tLevel& level = Engine->Level;
        for (int32_t i = 0; i < level.UnitList.Count(); ++i) {
            tUnit* u = level.UnitList[i];
            if (u->ClassType() == FRebuildMark.Class && u->InitialX == FRebuildMark.X && u->InitialY == FRebuildMark.Y) {
                SelectUnit(u);
                break;
            }
        }
    }
    FRebuildMark = {};
    if (Visible())
        DrawPictures();
    PageControl1Change(PageControl1);
    TakeUpEditing();
}

void TEditor::RestoreKeptLevel()
{
    if (FKeptLevel.empty() || !Engine)
        return;
    std::vector<std::string> kept;
    kept.swap(FKeptLevel);
    Engine->Level.ReadLevelText(kept);
    Engine->LevelFileName = FKeptLevelName;
    Engine->LoadLevelGraphics();
    Engine->RestartLevel(false);
}

void TEditor::TakeUpEditing()
{
    if (!Engine || !Visible())
        return;
    Engine->EditorVisible = true;
    Engine->ShowSolid = ShowSolidDataCheckBox->Checked();
    Engine->SetEditMode(Editing->Checked());
    // The rebuild started the level again in play: it goes back to being edited.
    if (Editing->Checked() && Engine->GameMode != gmEditing) {
        Engine->SetGameMode(gmEditing);
        Engine->SetMusic("");
        Engine->RestartLevel(false);
    }
}

void TEditor::MakePictures()
{
    TilePaletteDib = PictureFor(*PaintBox1);
    TileColumns = PaintBox1->Width() / CellSize;
    TileRows = PaintBox1->Height() / CellSize;
    OverlayPaletteDib = PictureFor(*PaintBox2);
    OverlayColumns = PaintBox2->Width() / CellSize;
    OverlayRows = PaintBox2->Height() / CellSize;
    // The palettes scroll by whole rows over the tiles; the positions the user left stay.
    ScrollBar1->SetMax(std::max(0, TileCount / TileColumns - TileRows));
    ScrollBar2->SetMax(std::max(0, TileCount / OverlayColumns - OverlayRows));
    FirstTile = ScrollBar1->Position() * TileColumns;
    FirstOverlayTile = ScrollBar2->Position() * OverlayColumns;
    TemplateDib = PictureFor(*ObjectTemplateBox);
    ObjectTemplateScrollBar->SetMax(
        std::max(0, static_cast<int>(UnitKinds.size()) - ObjectTemplateBox->Width() / TemplateSlot));
}

void TEditor::DrawPictures()
{
    DrawTilePalette();
    DrawOverlayPalette();
    DrawTemplateStrip();
    PaintBox1->Invalidate();
    PaintBox2->Invalidate();
    ObjectTemplateBox->Invalidate();
}

void TEditor::FreeEditorData()
{
    if (InspectedUnit)
        FRebuildMark = {InspectedUnit->ClassType(), InspectedUnit->InitialX, InspectedUnit->InitialY};
    FKeptLevel.clear();
    if (Engine && Visible() && Editing->Checked()) {
        Engine->Level.WriteLevelText(FKeptLevel);
        FKeptLevelName = Engine->LevelFileName;
    }
    TilePaletteDib.reset();
    OverlayPaletteDib.reset();
    TemplateDib.reset();
    PaintBox1->Invalidate();
    PaintBox2->Invalidate();
    ObjectTemplateBox->Invalidate();
}

// ---------------------------------------------------------------------------------------
// Drawing

namespace {

// Fills the picture and draws rows x columns tiles from `first`, the selected one framed.
void DrawPalette(tDib16* dib, std::array<tSprite, TileCount>& sprites, int32_t first, int32_t selected,
                 int32_t columns, int32_t rows)
{
    if (!dib)
        return;
    tDibTarget target(dib);
    TCanvas& canvas = dib->Canvas();
    canvas.FillRect(TRect{0, 0, dib->Width, dib->Height});
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) {
            const int32_t index = first + r * columns + c;
            const int32_t x = c * CellSize, y = r * CellSize;
            if (index >= 0 && index < TileCount)
                sprites[static_cast<size_t>(index)].Draw(x, y);
            if (index == selected)
                DrawSelectionFrame(canvas, x, y, CellSize, CellSize);
        }
}

} // namespace

void TEditor::DrawTilePalette()
{
    DrawPalette(TilePaletteDib.get(), TileSprites, FirstTile, SelectedTile, TileColumns, TileRows);
    FDrawnTileSet = TileSetName;
}

void TEditor::DrawOverlayPalette()
{
    DrawPalette(OverlayPaletteDib.get(), OverlaySprites, FirstOverlayTile, SelectedOverlayTile, OverlayColumns,
                OverlayRows);
    FDrawnOverlaySet = OverlaySetName;
}

void TEditor::FollowTileSets()
{
    if (TilePaletteDib && FDrawnTileSet != TileSetName) {
        DrawTilePalette();
        PaintBox1->Invalidate();
    }
    if (OverlayPaletteDib && FDrawnOverlaySet != OverlaySetName) {
        DrawOverlayPalette();
        PaintBox2->Invalidate();
    }
}

void TEditor::DrawTemplateStrip()
{
    if (!TemplateDib)
        return;
    tDibTarget target(TemplateDib.get());
    TCanvas& canvas = TemplateDib->Canvas();
    canvas.Brush.Color = RGB(128, 128, 128);
    canvas.FillRect(TRect{0, 0, TemplateDib->Width, TemplateDib->Height});
    const int32_t position = ObjectTemplateScrollBar->Position();
    const int32_t slots = std::min<int32_t>(TemplateDib->Width / TemplateSlot, static_cast<int32_t>(UnitKinds.size()));
    for (int32_t i = 0; i < slots; ++i) {
        const int32_t index = position + i;
        if (index >= static_cast<int32_t>(UnitKinds.size()))
            break;
        if (tSprite* sprite = UnitKinds[static_cast<size_t>(index)].Sprite)
            sprite->Draw(TemplateSlot * i + 20, 24);
        if (TemplateSelected && index == SelectedTemplate)
            DrawSelectionFrame(canvas, TemplateSlot * i, 4, TemplateSlot, TemplateSlot);
    }
}

void TEditor::PaletteMouseDown(bool overlay, int X, int Y)
{
    const int32_t columns = overlay ? OverlayColumns : TileColumns;
    if (columns <= 0 || X < 0 || Y < 0)
        return;
    const int32_t index = (Y / CellSize) * columns + X / CellSize + (overlay ? FirstOverlayTile : FirstTile);
    if (index < 0 || index >= TileCount)
        return;
    if (overlay) {
        SelectedOverlayTile = index;
        DrawOverlayPalette();
        PaintBox2->Invalidate();
    } else {
        SelectedTile = index;
        DrawTilePalette();
        PaintBox1->Invalidate();
    }
}

void TEditor::PaletteScrolled(bool overlay)
{
    if (overlay) {
        FirstOverlayTile = ScrollBar2->Position() * OverlayColumns;
        DrawOverlayPalette();
        PaintBox2->Invalidate();
    } else {
        FirstTile = ScrollBar1->Position() * TileColumns;
        DrawTilePalette();
        PaintBox1->Invalidate();
    }
}

void TEditor::TemplateMouseDown(int X)
{
    if (X < 0)
        return;
    const int32_t index = X / TemplateSlot + ObjectTemplateScrollBar->Position();
    if (index >= static_cast<int32_t>(UnitKinds.size()))
        return;
    if (TemplateSelected && index == SelectedTemplate)
        return;
    SelectedTemplate = index;
    if (Engine)
        Engine->CursorUnitSprite = UnitKinds[static_cast<size_t>(index)].Sprite;
    SetTemplateSelected(true);
}

void TEditor::SetTemplateSelected(bool on)
{
    TemplateSelected = on;
    DrawTemplateStrip();
    ObjectTemplateBox->Invalidate();
}

// ---------------------------------------------------------------------------------------
// Pages, switches and status

void TEditor::PageControl1Change(TObject*)
{
    EditPage = tEditPage::None;
    const bool oot = PageControl1->ActivePage() == OOTDiagnosticsPage;
    if (Engine)
        Engine->ShowLookAheadDiagnostics = oot;
    const TTabSheet* page = PageControl1->ActivePage();
    if (page == TabSheet1)
        EditPage = tEditPage::Tiles;
    else if (page == ObjectTabSheet)
        EditPage = tEditPage::Objects;
    else if (page == TabSheet2)
        EditPage = tEditPage::Overlay;
}

void TEditor::TileLayerbuttonClick(TObject* Sender)
{
    if (auto* button = dynamic_cast<TComponent*>(Sender))
        TileLayer = TileLayerOfTag(button->Tag());
}

void TEditor::EnablePages()
{
    const bool on = Editing->Checked();
    for (TTabSheet* page : {TabSheet1, TabSheet2, TabSheet4, ObjectTabSheet})
        page->SetEnabled(on);
    SetRowsEnabled(on);
}

void TEditor::EditingClick(TObject*)
{
    if (!Engine)
        return;
    const bool on = Editing->Checked();
    Engine->SetEditMode(on);
    if (on) {
        SavedGameMode = Engine->GameMode;
        Engine->SetGameMode(gmEditing);
        Engine->SetMusic("");
    } else {
        Engine->SetGameMode(SavedGameMode);
    }
    EnablePages();
    Engine->RestartLevel(false);
    if (on)
        BackGroundFileNameEdit->SetFileName(Engine->Level.Background);
    else
        FocusMainWindow();
}

void TEditor::ShowSolidDataCheckBoxClick(TObject*)
{
    if (Engine)
        Engine->ShowSolid = ShowSolidDataCheckBox->Checked();
}

void TEditor::ProfilingCheckBoxClick(TObject*)
{
    ProfilingOn = ProfilingCheckBox->Checked();
    for (TLabel* value : {BlitTimeLabel, DrawTimeLabel, MoveTimeLabel})
        value->SetVisible(ProfilingOn);
    for (TLabel* caption : {BlitTimeCaption, DrawTimeCaption, MoveTimeCaption})
        caption->SetEnabled(ProfilingOn);
}

void TEditor::OOTEnabledCheckBoxClick(TObject*)
{
    LookAheadEnabled = OOTEnabledCheckBox->Checked();
}

void TEditor::Stayontop1Click(TObject*)
{
    Stayontop1->SetChecked(!Stayontop1->Checked());
    SetFormStyle(Stayontop1->Checked() ? fsStayOnTop : fsNormal);
}

void TEditor::AdvancedSettings1Click(TObject*)
{
    if (AdvancedSettingsForm)
        AdvancedSettingsForm->Execute();
}

void TEditor::UpdateStatus()
{
    // A level of another tile set came in (opened, or the next of the set).
    FollowTileSets();
    if (TForm* main = Application->MainForm(); main && main != this)
        StatusBar1->Panels()->Items(0)->SetText(std::to_string(main->ClientWidth()) + "," +
                                                 std::to_string(main->ClientHeight()));
    if (Engine) {
        StatusBar1->Panels()->Items(1)->SetText(
            Engine->MouseCellX < 0 ? std::string()
                                   : std::to_string(Engine->MouseCellX) + "," + std::to_string(Engine->MouseCellY));
        StatusBar1->Panels()->Items(2)->SetText(std::to_string(Engine->FrameTicks));
    }
    if (ProfilingOn) {
        const struct {
            TLabel* Label;
            const TPoint& Sample;
        } times[] = {{BlitTimeLabel, BlitTime}, {DrawTimeLabel, DrawTime}, {MoveTimeLabel, MoveTime}};
        for (const auto& t : times)
            t.Label->SetCaption(InsertThousandsCommas(std::to_string(SampleCount(t.Sample))) + " clocks");
    }
    RedMask->SetCaption(IntToHexStr(PixelFormat.R.Mask));
    GreenMask->SetCaption(IntToHexStr(PixelFormat.G.Mask));
    BlueMask->SetCaption(IntToHexStr(PixelFormat.B.Mask));
    RedBits->SetCaption(IntToHexStr(PixelFormat.R.Bits));
    GreenBits->SetCaption(IntToHexStr(PixelFormat.G.Bits));
    BlueBits->SetCaption(IntToHexStr(PixelFormat.B.Bits));
    DesktopDepthLabel->SetCaption(std::to_string(DesktopDepth));
    SoundDriverLabel->SetCaption(SoundDriverText);
}

// ---------------------------------------------------------------------------------------
// Showing and hiding

void TEditor::PlaceBesideMainWindow()
{
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main == this)
        return;
    int x = main->Left() - Width();
    if (x <= 0) {
        if (main->Left() + main->Width() + Width() >= Screen->Width())
            return;
        x = main->Left() + main->Width();
    }
    SetLeft(x);
    SetTop(main->Top());
}

void TEditor::FocusMainWindow()
{
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main != this && main->Visible())
        main->SetFocus();
}

void TEditor::DoShow()
{
    TForm::DoShow();
    PlaceBesideMainWindow();
    DrawPictures();
    if (Engine) {
        Engine->EditorVisible = true;
        Engine->ShowSolid = ShowSolidDataCheckBox->Checked();
        Engine->SetEditMode(Editing->Checked());
    }
}

void TEditor::DoHide()
{
    TForm::DoHide();
    if (Engine) {
        Engine->EditorVisible = false;
        Engine->ShowSolid = false;
        Engine->SetEditMode(false);
    }
}

// ---------------------------------------------------------------------------------------
// Keys and the playfield

void TEditor::FormKeyDown(WORD& Key, TShiftState)
{
    if (Key == VK_F12) {
        SetVisible(!Visible());
        return;
    }
    // Keys typed into the editor's own window never place or delete units.
    if (Active() || !Editing->Checked() || !Engine)
        return;
    if (Key == KeyA) {
        if (SelectedTemplate >= 0 && SelectedTemplate < static_cast<int32_t>(UnitKinds.size()))
            Engine->CursorUnitSprite = UnitKinds[static_cast<size_t>(SelectedTemplate)].Sprite;
        SetTemplateSelected(true);
    } else if (Key == VK_DELETE && EditPage == tEditPage::Objects && InspectedUnit) {
        DeleteUnit(Engine->Level, InspectedUnit);
        SelectUnit(nullptr);
    }
}

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
    if (MoveUnit(Engine->Level, *InspectedUnit, cell.X, cell.Y))
        RefreshInspector();
}

void TEditor::ResetLevel()
{
    if (Engine)
        Engine->Level.Restart();
}

// ---------------------------------------------------------------------------------------
// Level files

std::string TEditor::LevelFilePath() const
{
    if (Engine && !FSavedPath.empty() && Engine->LevelFileName == FSavedName)
        return FSavedPath;
    return Engine ? Engine->LevelFileName : std::string();
}

void TEditor::new1Click(TObject*)
{
    if (!Engine)
        return;
    NewLevelFile(*Engine);
    FocusMainWindow();
}

void TEditor::Open1Click(TObject*)
{
    if (!Engine)
        return;
    OpenDialog1->SetFileName(LevelFilePath());
    if (!OpenDialog1->Execute())
        return;
    const std::string name = MakeRelativeToCurrentDir(OpenDialog1->FileName());
    OpenLevelFile(*Engine, name);
    FSavedPath = OpenDialog1->FileName();
    FSavedName = name;
    FocusMainWindow();
}

void TEditor::Save1Click(TObject* Sender)
{
    if (!Engine)
        return;
    if (Engine->LevelFileName.empty()) {
        SaveAs1Click(Sender);
        return;
    }
    Engine->Level.SaveToFile(LevelFilePath());
}

void TEditor::SaveAs1Click(TObject*)
{
    if (!Engine)
        return;
    SaveDialog1->SetFileName(LevelFilePath());
    if (!SaveDialog1->Execute())
        return;
    const std::string path = SaveDialog1->FileName();
    const std::string name = MakeRelativePath(path, StartupDir());
    SaveLevelAs(*Engine, path, name);
    FSavedPath = path;
    FSavedName = name;
}

void TEditor::AfterOpenDialog(TObject*, std::string& Name, bool&)
{
    // Data files are named from the program's folder, where the game reads them.
    Name = MakeRelativePath(Name, ApplicationDir());
}

void TEditor::BackGroundFileNameEditChange(TObject*)
{
    if (!Engine)
        return;
    const std::string name = BackGroundFileNameEdit->FileName();
    if (name.empty() || !PackageFileExists(name)) {
        if (FileExists(name) && !IsContainedDataName(name))
            throw Exception("'" + name + "' lies outside the program's folder: a level cannot name it.");
        return;
    }
    tLevel& level = Engine->Level;
    const std::string old = level.Background;
    level.Background = name;
    TJPEGImage picture;
    try {
        std::unique_ptr<tPackageFileStream> stream = OpenPackageFile(name);
        const std::string bytes = stream->ReadToEnd();
        picture.LoadFromMemory(bytes.data(), bytes.size());
    } catch (...) {
        // A file that is no picture would make the level unloadable: the name goes again.
        level.Background = old;
        throw;
    }
    if (picture.Width() != 512 || picture.Height() != 480)
        throw Exception("This JPEG is the wrong size.");
    Engine->SetBackground(name);
}

// ---------------------------------------------------------------------------------------
// The inspector's unit

void TEditor::SelectUnit(tUnit* unit)
{
    if (unit == InspectedUnit)
        return;
    InspectedUnit = unit;
    RebuildInspector();
}
