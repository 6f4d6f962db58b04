// The editor used as a player uses it, through injected clicks and keys on the real
// forms: F12, Editing on, a new level, walls painted from the palette, a hero, a boulder,
// water, a key and an exit placed from the strip, the boulder moved in the inspector, Save
// As into a folder outside the program folder, Editing off; then the saved file is opened
// again, played and solved with the arrow keys, and it reads back with the same cells and
// units.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Keys.h"
#include "tesk/game/Units.h"
#include "tesk/widgets/NumEdits.h"
#include "tests/support/ScratchDir.h"
#include "tests/tesk/shell/ShellHarness.h"
#include "tests/tesk/widgets/EditTestSupport.h"

namespace {

class EditorEndToEnd : public ShellTest {
protected:
    void TearDown() override
    {
        unsetenv("TP_START_ENTRY");
        ShellTest::TearDown();
    }
    static TPoint Middle(TControl* control) { return TPoint{control->Width() / 2, control->Height() / 2}; }
    // A left click at a point of a control of the editor's window.
    static void Click(TControl* control, TPoint at)
    {
        const TPoint p = TestHooks::ControlToForm(control, at);
        TestHooks::MouseMove(Editor, p);
        TestHooks::MouseDown(Editor, mbLeft, p);
        TestHooks::MouseUp(Editor, mbLeft, p);
    }
    static void Click(TControl* control) { Click(control, Middle(control)); }
    // A left click on a cell of the playfield in the game window.
    static void ClickCell(int x, int y)
    {
        const TPoint p{128 + 32 * x + 16, 32 * y + 16};
        TestHooks::MouseDown(Form1, mbLeft, p);
        TestHooks::MouseUp(Form1, mbLeft, p);
    }
    // A click on a page's tab, scrolling the tab row to it first.
    static void ClickTab(TTabSheet* page)
    {
        TPageControl* pages = Editor->PageControl1;
        for (int i = 0; i < 8; ++i) {
            const TRect tab = pages->TabRect(page->TabIndex());
            if (tab.Left >= 0 && tab.Right <= pages->Width() - 40) {
                Click(pages, TPoint{(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
                return;
            }
            const TRect button = TestHooks::TabScrollButtonRect(pages, tab.Left < 0);
            Click(pages, TPoint{(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2});
        }
    }
    // Clicks on a scroll bar's arrow at its far end (bottom or right), n times.
    static void StepScrollBar(TScrollBar* bar, int n)
    {
        const TPoint end = bar->Kind() == sbVertical ? TPoint{bar->Width() / 2, bar->Height() - 4}
                                                     : TPoint{bar->Width() - 4, bar->Height() / 2};
        for (int i = 0; i < n; ++i)
            Click(bar, end);
    }
    // Arms the kind of that index of UnitKinds from the strip and places it on the cell.
    static void PlaceKind(int32_t kind, int x, int y)
    {
        TScrollBar* strip = Editor->ObjectTemplateScrollBar;
        // Back to the start, then along to the kind.
        while (strip->Position() > 0) {
            const TPoint start{4, strip->Height() / 2};
            Click(strip, start);
        }
        const int32_t steps = std::min(kind, strip->Max());
        StepScrollBar(strip, steps);
        Click(Editor->ObjectTemplateBox, TPoint{(kind - steps) * 40 + 20, 26});
        ClickCell(x, y);
    }
    static int32_t KindIndex(const std::string& name)
    {
        for (size_t i = 0; i < UnitKinds.size(); ++i)
            if (UnitKinds[i].Name == name)
                return static_cast<int32_t>(i);
        return -1;
    }
    static std::vector<std::string> TextOf(tLevel& level)
    {
        std::vector<std::string> lines;
        level.WriteLevelText(lines);
        return lines;
    }
};

} // namespace

TEST_F(EditorEndToEnd, ALevelBuiltInTheEditorIsSavedOpenedAgainAndSolved)
{
    setenv("TP_START_ENTRY", "0", 1);
    WriteConfig("FullScreen=False\r\nBitBlt=True\r\n");
    Start();
    ASSERT_TRUE(Form1->SetUpDone) << ::testing::PrintToString(BoxTexts());
    ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
    TEditor& e = *Editor;

    // F12 in the game window; Editing on; a new level.
    TestHooks::KeyStroke(Form1, VK_F12);
    ASSERT_TRUE(e.Visible());
    TestHooks::SetActiveForm(Editor);
    Click(e.Editing, TPoint{6, 8});
    ASSERT_TRUE(e.Editing->Checked());
    ASSERT_EQ(Engine->GameMode, gmEditing);
    TestHooks::ChooseMenuItem(e.new1);
    ASSERT_EQ(Engine->LevelFileName, "Untitled");
    Tick();

    // Walls (tile 0x41, solid) round a corridor on row 2 from x 2 to 8.
    ClickTab(e.TabSheet1);
    ASSERT_EQ(e.EditPage, tEditPage::Tiles);
    StepScrollBar(e.ScrollBar1, 16);
    ASSERT_EQ(e.FirstTile, 64);
    Click(e.PaintBox1, TPoint{32 + 16, 16});
    ASSERT_EQ(e.SelectedTile, 0x41);
    ASSERT_TRUE(e.TileSolidCheckBox->Checked());
    for (int x = 1; x <= 9; ++x) {
        ClickCell(x, 1);
        ClickCell(x, 3);
    }
    ClickCell(1, 2);
    ClickCell(9, 2);
    Tick();

    // The units, from the strip; the boulder placed at 5 is moved to 3 in the inspector.
    ClickTab(e.ObjectTabSheet);
    ASSERT_EQ(e.EditPage, tEditPage::Objects);
    PlaceKind(KindIndex("Player"), 2, 2);
    PlaceKind(KindIndex("Water"), 4, 2);
    PlaceKind(KindIndex("Key"), 6, 2);
    PlaceKind(KindIndex("Exit"), 8, 2);
    PlaceKind(KindIndex("Boulder"), 5, 2);
    tUnit* boulder = e.InspectedUnit;
    ASSERT_NE(boulder, nullptr);
    ASSERT_EQ(boulder->ClassType(), tBoulder::StaticClass());
    TControl* column = nullptr;
    for (int i = 0; i + 1 < e.PropertyRows.Count(); i += 2)
        if (e.PropertyRows[i]->Caption() == "InitialX")
            column = e.PropertyRows[i + 1];
    ASSERT_NE(column, nullptr);
    Click(column, TPoint{10, 8});
    TestHooks::KeyStroke(Editor, VK_END);
    TestHooks::KeyStroke(Editor, VK_BACK);
    TypeText(Editor, "3");
    TestHooks::KeyStroke(Editor, VK_RETURN);
    EXPECT_EQ(boulder->InitialX, 3);
    TestHooks::SetActiveForm(Form1);
    Tick();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});

    // Save As outside the program folder, then Editing off.
    ScratchDir outside;
    const std::string saved = outside / "Corridor.map";
    const std::vector<std::string> built = TextOf(Engine->Level);
    TestHooks::SetFileDialogAnswer([&](const TestHooks::TFileDialogRequest&) {
        TestHooks::TFileDialogAnswer a;
        a.Accepted = true;
        a.Names = {saved};
        return a;
    });
    TestHooks::ChooseMenuItem(e.SaveAs1);
    ASSERT_TRUE(FileExists(saved)) << ::testing::PrintToString(BoxTexts());
    TestHooks::SetActiveForm(Editor);
    Click(e.Editing, TPoint{6, 8});
    EXPECT_FALSE(e.Editing->Checked());

    // The file reads back with the same cells and units.
    {
        tLevel check;
        tLevel* const previous = GameLevel;
        GameLevel = &check;
        check.LoadFromFile(saved);
        EXPECT_EQ(TextOf(check), built);
        GameLevel = previous;
    }

    // Opened again in play (after another level) and solved with the arrow keys: the
    // boulder fills the water, the key is taken and the exit left.
    TestHooks::ChooseMenuItem(e.new1);
    TestHooks::ChooseMenuItem(e.Open1);
    ASSERT_EQ(Engine->LevelFileName, saved);
    TestHooks::SetActiveForm(Form1);
    TestHooks::KeyStroke(Form1, VK_F12);
    EXPECT_FALSE(e.Visible());
    ASSERT_TRUE(TickUntil([] { return Engine->GameMode == gmPlaying; }, 300));
    TestHooks::KeyDown(Form1, VK_RIGHT);
    EXPECT_TRUE(TickUntil([] { return Engine->GameMode == gmSolvedPopup; }, 600)) << int(Engine->GameMode);
    TestHooks::KeyUp(Form1, VK_RIGHT);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}
